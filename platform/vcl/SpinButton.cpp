#include "platform/vcl/SpinButton.h"

#include <QToolButton>
#include <QVBoxLayout>

TSpinButton::TSpinButton(const QString &name, QWidget *parent)
    : QWidget(parent), FUpButton(new QToolButton(this)), FDownButton(new QToolButton(this))
{
    setObjectName(name);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
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
