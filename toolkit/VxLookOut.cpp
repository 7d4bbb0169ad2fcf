#include "toolkit/VxLookOut.h"

#include <QLinearGradient>
#include <QPainter>
#include <QVBoxLayout>

namespace {

constexpr int HeaderHeight = 20;

} // namespace

TVxGradientHeader::TVxGradientHeader(const QString &name, QWidget *parent) : QAbstractButton(parent)
{
    setObjectName(name);
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setFocusPolicy(Qt::NoFocus);
}

void TVxGradientHeader::SetLabelCaption(const QString &value)
{
    setText(value);
    update();
}

QSize TVxGradientHeader::sizeHint() const
{
    return QSize(fontMetrics().horizontalAdvance(text()) + 16, HeaderHeight);
}

void TVxGradientHeader::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QLinearGradient gradient(rect().topLeft(), rect().topRight());
    // Navy fading to the window colour, brighter under the pointer.
    const QColor start = underMouse() ? QColor(40, 70, 170) : QColor(0, 0, 128);
    gradient.setColorAt(0, start);
    gradient.setColorAt(1, palette().color(QPalette::Window));
    painter.fillRect(rect(), gradient);
    QFont bold = font();
    bold.setBold(true);
    painter.setFont(bold);
    painter.setPen(Qt::white);
    painter.drawText(rect().adjusted(6, 0, -4, 0), Qt::AlignVCenter | Qt::AlignLeft, text());
}

void TVxGradientHeader::enterEvent(QEnterEvent *event)
{
    update();
    QAbstractButton::enterEvent(event);
}

void TVxGradientHeader::leaveEvent(QEvent *event)
{
    update();
    QAbstractButton::leaveEvent(event);
}

TVxLookOutPage::TVxLookOutPage(const QString &name, TVxLookOut *lookOut)
    : QWidget(lookOut), FHeader(new TVxGradientHeader(QString(), this)), FLayout(new QVBoxLayout(this))
{
    setObjectName(name);
    FLayout->setContentsMargins(0, 0, 0, 0);
    FLayout->setSpacing(0);
    FLayout->addWidget(FHeader);
}

void TVxLookOutPage::SetContent(QWidget *content)
{
    if (FContent)
        FLayout->removeWidget(FContent);
    FContent = content;
    if (!FContent)
        return;
    FContent->setParent(this);
    FLayout->addWidget(FContent, 1);
    FContent->setVisible(IsOpen());
}

bool TVxLookOutPage::IsOpen() const
{
    const auto *lookOut = qobject_cast<const TVxLookOut *>(parentWidget());
    return lookOut && lookOut->ActivePage() == this;
}

void TVxLookOutPage::SetOpen(bool open)
{
    if (FContent)
        FContent->setVisible(open);
    // A closed page is only its header and gives all room to the open one.
    setSizePolicy(QSizePolicy::Preferred, open ? QSizePolicy::Expanding : QSizePolicy::Fixed);
}

TVxLookOut::TVxLookOut(const QString &name, QWidget *parent) : QWidget(parent), FLayout(new QVBoxLayout(this))
{
    setObjectName(name);
    FLayout->setContentsMargins(0, 0, 0, 0);
    FLayout->setSpacing(1);
}

TVxLookOutPage *TVxLookOut::AddPage(const QString &name, const QString &headerName, const QString &caption)
{
    auto *page = new TVxLookOutPage(name, this);
    page->Header()->setObjectName(headerName);
    page->Header()->SetLabelCaption(caption);
    FPages.append(page);
    FLayout->addWidget(page);
    if (!FActivePage)
        SetActivePage(page);
    else
        page->SetOpen(false);
    return page;
}

void TVxLookOut::SetActivePage(TVxLookOutPage *page)
{
    if (!FPages.contains(page))
        page = FPages.isEmpty() ? nullptr : FPages.last();
    FActivePage = page;
    for (TVxLookOutPage *each : FPages) {
        each->SetOpen(each == page);
        FLayout->setStretchFactor(each, each == page ? 1 : 0);
    }
}
