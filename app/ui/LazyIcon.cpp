#include "app/ui/LazyIcon.h"

#include <QApplication>
#include <QIconEngine>
#include <QPainter>
#include <memory>

namespace {

// Copies of the icon share one look-up.
struct TLookUp
{
    std::function<QIcon()> find;
    QIcon icon;
    bool done = false;

    const QIcon &Icon()
    {
        if (!done) {
            done = true;
            icon = find();
            find = nullptr;
        }
        return icon;
    }
};

class TDeferredIconEngine : public QIconEngine
{
public:
    explicit TDeferredIconEngine(std::shared_ptr<TLookUp> lookUp) : FLookUp(std::move(lookUp)) {}

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        FLookUp->Icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return FLookUp->Icon().pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State state, qreal scale) override
    {
        return FLookUp->Icon().pixmap(size, scale, mode, state);
    }
    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return FLookUp->Icon().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return FLookUp->Icon().availableSizes(mode, state);
    }
    QString iconName() override { return FLookUp->Icon().name(); }
    // Until it is looked up the icon counts as present: buttons keep the room for it.
    bool isNull() override { return FLookUp->done && FLookUp->icon.isNull(); }
    QString key() const override { return QStringLiteral("deferred"); }
    QIconEngine *clone() const override { return new TDeferredIconEngine(FLookUp); }

private:
    std::shared_ptr<TLookUp> FLookUp;
};

} // namespace

namespace LazyIcon {

QIcon Deferred(std::function<QIcon()> lookUp)
{
    auto shared = std::make_shared<TLookUp>();
    shared->find = std::move(lookUp);
    return QIcon(new TDeferredIconEngine(std::move(shared)));
}

QIcon Standard(QStyle::StandardPixmap which)
{
    return Deferred([which] { return QApplication::style()->standardIcon(which); });
}

} // namespace LazyIcon
