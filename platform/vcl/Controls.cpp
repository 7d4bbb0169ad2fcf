#include "platform/vcl/Controls.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QRadioButton>
#include <QTextBlock>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <memory>

TLabel::TLabel(const QString &name, QWidget *parent) : QLabel(parent) { setObjectName(name); }

namespace {

double Luminance(const QColor &color)
{
    auto linear = [](double channel) {
        return channel <= 0.03928 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
    };
    const QColor rgb = color.toRgb();
    return 0.2126 * linear(rgb.redF()) + 0.7152 * linear(rgb.greenF()) + 0.0722 * linear(rgb.blueF());
}

// The contrast large text needs to be read comfortably.
constexpr double ReadableContrast = 3.0;

} // namespace

bool Readable(const QColor &ink, const QColor &paper)
{
    const double a = Luminance(ink) + 0.05;
    const double b = Luminance(paper) + 0.05;
    return std::max(a, b) / std::min(a, b) >= ReadableContrast;
}

QColor ReadableOn(const QColor &ink, const QColor &paper)
{
    if (Readable(ink, paper))
        return ink;
    const QColor towards = Luminance(paper) < 0.18 ? QColor(Qt::white) : QColor(Qt::black);
    const QColor from = ink.toRgb();
    QColor mixed = from;
    for (int step = 1; step <= 16 && !Readable(mixed, paper); ++step) {
        const double t = step / 16.0;
        mixed = QColor::fromRgbF(float(from.redF() + (towards.redF() - from.redF()) * t),
                                 float(from.greenF() + (towards.greenF() - from.greenF()) * t),
                                 float(from.blueF() + (towards.blueF() - from.blueF()) * t));
    }
    return mixed;
}

QColor PaperFor(std::initializer_list<QColor> inks, const QColor &paper)
{
    for (const QColor &ink : inks)
        if (!Readable(ink, paper))
            return QColor(Qt::white);
    return paper;
}

void TLabel::SetTextColor(const QColor &color, bool underline)
{
    FTextColor = color;
    ApplyTextColor();
    if (underline) {
        QFont underlined = font();
        underlined.setUnderline(true);
        setFont(underlined);
    }
}

void TLabel::ApplyTextColor()
{
    if (!FTextColor.isValid())
        return;
    // Only the text colour is the label's own; the rest follows the desktop.
    QPalette colours = palette();
    colours.setResolveMask(0);
    bool changed = false;
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        const QColor shown = ReadableOn(FTextColor, colours.color(group, QPalette::Window));
        changed = changed || colours.color(group, QPalette::WindowText) != shown;
        colours.setColor(group, QPalette::WindowText, shown);
    }
    // Setting the palette sends another palette change; an unchanged colour ends the round.
    if (changed)
        setPalette(colours);
}

void TLabel::changeEvent(QEvent *event)
{
    QLabel::changeEvent(event);
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::ApplicationPaletteChange)
        ApplyTextColor();
}

TButton::TButton(const QString &name, QWidget *parent) : QPushButton(parent) { setObjectName(name); }

void TButton::keyPressEvent(QKeyEvent *event)
{
    // A focused button is pressed by Enter as well as by Space, in any window.
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && mods == Qt::NoModifier) {
        click();
        return;
    }
    QPushButton::keyPressEvent(event);
}

TSpeedButton::TSpeedButton(const QString &name, QWidget *parent) : QToolButton(parent)
{
    setObjectName(name);
    setAutoRaise(true);
}

TCheckBox::TCheckBox(const QString &name, QWidget *parent) : QCheckBox(parent) { setObjectName(name); }

TGroupBox::TGroupBox(const QString &name, QWidget *parent) : QGroupBox(parent) { setObjectName(name); }

TRadioGroup::TRadioGroup(const QString &name, QWidget *parent)
    : QGroupBox(parent), FGroup(new QButtonGroup(this)), FLayout(new QVBoxLayout(this))
{
    setObjectName(name);
    FGroup->setExclusive(true);
    // A click on the item already chosen changes nothing and is not reported.
    connect(FGroup, &QButtonGroup::idClicked, this, [this](int id) {
        if (id == FClickedIndex)
            return;
        FClickedIndex = id;
        emit Click();
    });
}

QStringList TRadioGroup::Items() const
{
    QStringList items;
    for (QAbstractButton *button : FGroup->buttons())
        items.append(button->text());
    return items;
}

void TRadioGroup::SetItems(const QStringList &items)
{
    const int index = ItemIndex();
    QList<QAbstractButton *> buttons = FGroup->buttons();
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (i < buttons.size()) {
            buttons[i]->setText(items[i]);
        } else {
            auto *button = new QRadioButton(items[i], this);
            FGroup->addButton(button, int(i));
            FLayout->addWidget(button);
        }
    }
    for (qsizetype i = buttons.size() - 1; i >= items.size(); --i) {
        FGroup->removeButton(buttons[i]);
        delete buttons[i];
    }
    if (index < items.size())
        SetItemIndex(index);
}

int TRadioGroup::ItemIndex() const
{
    return FGroup->checkedId();
}

void TRadioGroup::SetItemIndex(int index)
{
    FClickedIndex = index;
    if (index == ItemIndex())
        return;
    if (QAbstractButton *button = FGroup->button(index)) {
        button->setChecked(true);
    } else if (QAbstractButton *checked = FGroup->checkedButton()) {
        FGroup->setExclusive(false);
        checked->setChecked(false);
        FGroup->setExclusive(true);
    }
    emit Click();
}

TComboBox::TComboBox(const QString &name, QWidget *parent, bool editable) : QComboBox(parent)
{
    setObjectName(name);
    setEditable(editable);
    if (editable)
        setInsertPolicy(QComboBox::NoInsert);
    setMaxVisibleItems(30);
}

void TComboBox::keyPressEvent(QKeyEvent *event)
{
    // A list would search its items for the tab character; Ctrl+Tab belongs to the pages around it.
    if ((event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab) &&
        (event->modifiers() & Qt::ControlModifier)) {
        event->ignore();
        return;
    }
    QComboBox::keyPressEvent(event);
}

QStringList TComboBox::Items() const
{
    QStringList items;
    items.reserve(count());
    for (int i = 0; i < count(); ++i)
        items.append(itemText(i));
    return items;
}

void TComboBox::SetItems(const QStringList &items)
{
    const int index = currentIndex();
    const bool blocked = blockSignals(true);
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (i < count())
            setItemText(int(i), items[i]);
        else
            addItem(items[i]);
    }
    while (count() > items.size())
        removeItem(count() - 1);
    setCurrentIndex(index < count() ? index : -1);
    blockSignals(blocked);
}

void TComboBox::SetText(const QString &value)
{
    if (isEditable()) {
        setEditText(value);
        return;
    }
    setCurrentIndex(findText(value, Qt::MatchFixedString));
}

int TComboBox::IndexOfText(const QString &text) const
{
    for (int i = 0; i < count(); ++i)
        if (itemText(i).compare(text, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

TEdit::TEdit(const QString &name, QWidget *parent) : QLineEdit(parent) { setObjectName(name); }

TMemo::TMemo(const QString &name, QWidget *parent) : QPlainTextEdit(parent) { setObjectName(name); }

QStringList TMemo::Lines() const
{
    QStringList lines;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next())
        lines.append(block.text());
    return lines;
}

void TMemo::SetLines(const QStringList &lines)
{
    setPlainText(lines.join(QLatin1Char('\n')));
}

QString TMemo::Text() const
{
    // toPlainText() turns no-break spaces into spaces; the raw text keeps them.
    QString text = document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return text;
}

void TMemo::SetText(const QString &value)
{
    setPlainText(value);
}

namespace {

// A selection as copied: its text is the document's own, its other forms are Qt's, made when asked.
class TSelectionMimeData : public QMimeData
{
public:
    TSelectionMimeData(QMimeData *formatted, const QString &text) : FFormatted(formatted), FText(text) {}
    QStringList formats() const override { return FFormatted->formats(); }

protected:
    QVariant retrieveData(const QString &format, QMetaType type) const override
    {
        if (format == QLatin1String("text/plain"))
            return FText;
        if (!FFormatted->hasFormat(format))
            return QMimeData::retrieveData(format, type);
        return FFormatted->data(format);
    }

private:
    std::unique_ptr<QMimeData> FFormatted;
    QString FText;
};

} // namespace

QMimeData *TMemo::createMimeDataFromSelection() const
{
    // Qt's plain text of a selection turns no-break spaces into spaces.
    QString text = textCursor().selectedText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return new TSelectionMimeData(QPlainTextEdit::createMimeDataFromSelection(), text);
}

bool TMemo::HoldsText(const QMimeData *data)
{
    if (!data)
        return false;
    // Each form asked for apart would ask another program's clipboard again, and one that never
    // answers holds the window each time.
    const QStringList formats = data->formats();
    return formats.contains(QStringLiteral("text/plain")) || formats.contains(QStringLiteral("text/plain;charset=utf-8"));
}

bool TMemo::canInsertFromMimeData(const QMimeData *source) const
{
    return HoldsText(source) && QPlainTextEdit::canInsertFromMimeData(source);
}

void TMemo::insertFromMimeData(const QMimeData *source)
{
    if (!HoldsText(source))
        return;
    if (OnInsertText)
        OnInsertText(source->text(), FDropFromSelf);
    else
        QPlainTextEdit::insertFromMimeData(source);
}

void TMemo::dropEvent(QDropEvent *event)
{
    const auto *from = qobject_cast<const QWidget *>(event->source());
    FDropFromSelf = from && (from == this || isAncestorOf(from));
    QPlainTextEdit::dropEvent(event);
    FDropFromSelf = false;
}

TTrackBar::TTrackBar(const QString &name, QWidget *parent, int min, int max, int position)
    : QSlider(Qt::Horizontal, parent)
{
    setObjectName(name);
    setRange(min, max);
    setValue(position);
}

TPageControl::TPageControl(const QString &name, QWidget *parent) : QTabWidget(parent) { setObjectName(name); }

TTabSheet::TTabSheet(const QString &name, TPageControl *pages, const QString &caption)
    : QWidget(pages), FPages(pages)
{
    setObjectName(name);
    pages->addTab(this, caption);
}

QString TTabSheet::Caption() const
{
    return FPages->tabText(FPages->indexOf(const_cast<TTabSheet *>(this)));
}

void TTabSheet::SetCaption(const QString &value)
{
    FPages->setTabText(FPages->indexOf(this), value);
}

TForm::TForm(const QString &name, QWidget *parent) : QWidget(parent) { setObjectName(name); }

TMenuItem::TMenuItem(const QString &name, QObject *parent, const QString &caption) : QAction(caption, parent)
{
    setObjectName(name);
}
