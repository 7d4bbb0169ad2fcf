#include "platform/vcl/SpinButton.h"

#include <QKeyEvent>
#include <QStyleOptionFocusRect>
#include <QStylePainter>
#include <QToolButton>
#include <QVBoxLayout>

TSpinButton::TSpinButton(const QString &name, QWidget *parent)
    : QWidget(parent), FUpButton(new QToolButton(this)), FDownButton(new QToolButton(this))
{
    setObjectName(name);
    // Reached by Tab and moved by the arrow keys; the margin leaves room for the focus frame.
    setFocusPolicy(Qt::TabFocus);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->setSpacing(0);
    for (QToolButton *button : {FUpButton, FDownButton}) {
        button->setAutoRepeat(true);
        button->setFixedSize(18, 11);
        button->setFocusPolicy(Qt::NoFocus);
        layout->addWidget(button);
    }
    FUpButton->setArrowType(Qt::UpArrow);
    FDownButton->setArrowType(Qt::DownArrow);
    connect(FUpButton, &QToolButton::clicked, this, &TSpinButton::UpClick);
    connect(FDownButton, &QToolButton::clicked, this, &TSpinButton::DownClick);
}

void TSpinButton::keyPressEvent(QKeyEvent *event)
{
    if (event->modifiers() & ~Qt::KeypadModifier) {
        QWidget::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
    case Qt::Key_Up:
        emit UpClick();
        break;
    case Qt::Key_Down:
        emit DownClick();
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

void TSpinButton::hideEvent(QHideEvent *event)
{
    // A hidden arrow never sees its release (the window went to the tray or the page changed
    // under the held button): left down, it would go on repeating its click.
    LetGo();
    QWidget::hideEvent(event);
}

bool TSpinButton::event(QEvent *event)
{
    // Nor does one whose window a message box blocks, such as the one its own click opened when
    // the device failed: every repeat would open one more.
    if (event->type() == QEvent::WindowBlocked)
        LetGo();
    return QWidget::event(event);
}

void TSpinButton::LetGo()
{
    FUpButton->setDown(false);
    FDownButton->setDown(false);
}

void TSpinButton::paintEvent(QPaintEvent *)
{
    if (!hasFocus())
        return;
    QStylePainter painter(this);
    QStyleOptionFocusRect option;
    option.initFrom(this);
    painter.drawPrimitive(QStyle::PE_FrameFocusRect, option);
}
