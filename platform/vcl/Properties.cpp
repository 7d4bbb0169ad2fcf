#include "platform/vcl/Properties.h"

#include <QVariant>
#include <QWidget>

namespace VclProperties {

namespace {

// Qt's own classes all carry the Q prefix; everything else in the chain is ours.
bool IsQtClass(const QMetaObject *meta)
{
    return meta->className()[0] == 'Q';
}

} // namespace

QList<QMetaProperty> Published(const QObject *object)
{
    QList<QMetaProperty> result;
    if (!object)
        return result;
    for (const QMetaObject *meta = object->metaObject(); meta; meta = meta->superClass()) {
        if (IsQtClass(meta))
            continue;
        for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i)
            result.append(meta->property(i));
    }
    return result;
}

QMetaProperty Find(const QObject *object, const QString &name)
{
    if (!object || name.isEmpty())
        return {};
    for (const QMetaObject *meta = object->metaObject(); meta; meta = meta->superClass()) {
        if (IsQtClass(meta))
            continue;
        for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i) {
            const QMetaProperty property = meta->property(i);
            if (QLatin1String(property.name()).compare(name, Qt::CaseInsensitive) == 0)
                return property;
        }
    }
    return {};
}

bool IsReadWrite(const QMetaProperty &property)
{
    return property.isValid() && property.isReadable() && property.isWritable();
}

QObject *ObjectValue(const QObject *object, const QMetaProperty &property)
{
    if (!object || !property.isValid() || !(property.metaType().flags() & QMetaType::PointerToQObject))
        return nullptr;
    return qvariant_cast<QObject *>(property.read(object));
}

} // namespace VclProperties

namespace VclFont {

namespace {
constexpr const char *CharsetKey = "_vx_font_charset";
}

int Charset(const QObject *object)
{
    const QVariant value = object ? object->property(CharsetKey) : QVariant();
    return value.isValid() ? value.toInt() : DEFAULT_CHARSET;
}

void SetCharset(QObject *object, int charset)
{
    if (object)
        object->setProperty(CharsetKey, charset);
}

bool ParentFont(const QObject *object)
{
    const auto *widget = qobject_cast<const QWidget *>(object);
    return widget && !widget->testAttribute(Qt::WA_SetFont);
}

} // namespace VclFont
