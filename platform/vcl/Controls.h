#pragma once
// Thin subclasses of Qt widgets that carry the property names the program's texts and settings
// are keyed by (Caption, Hint, Items, Lines, Font, ItemIndex, Checked, Position, Tag). The
// localization engine finds them by name through the meta-object system, so each one is a
// Q_PROPERTY; Qt's own lower-case properties are not part of that set.
#include <QAction>
#include <QCheckBox>
#include <QColor>
#include <QComboBox>
#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QStringList>
#include <QTabWidget>
#include <QToolButton>
#include <QWidget>
#include <functional>
#include <initializer_list>

class QButtonGroup;
class QVBoxLayout;

// Caption, Hint, Font and Tag for a widget whose caption is its text().
#define VX_TEXT_PROPERTIES(Base)                                                                   \
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)                                      \
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)                                               \
    Q_PROPERTY(QFont Font READ Font WRITE SetFont)                                                 \
    Q_PROPERTY(int Tag READ Tag WRITE SetTag)                                                      \
public:                                                                                            \
    QString Caption() const { return Base::text(); }                                               \
    void SetCaption(const QString &value) { Base::setText(value); }                                \
    QString Hint() const { return Base::toolTip(); }                                               \
    void SetHint(const QString &value) { Base::setToolTip(value); }                                \
    QFont Font() const { return Base::font(); }                                                    \
    void SetFont(const QFont &value) { Base::setFont(value); }                                     \
    int Tag() const { return FTag; }                                                               \
    void SetTag(int value) { FTag = value; }                                                       \
                                                                                                   \
private:                                                                                           \
    int FTag = 0;

// Hint, Font and Tag for a widget without a caption.
#define VX_HINT_PROPERTIES(Base)                                                                   \
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)                                               \
    Q_PROPERTY(QFont Font READ Font WRITE SetFont)                                                 \
    Q_PROPERTY(int Tag READ Tag WRITE SetTag)                                                      \
public:                                                                                            \
    QString Hint() const { return Base::toolTip(); }                                               \
    void SetHint(const QString &value) { Base::setToolTip(value); }                                \
    QFont Font() const { return Base::font(); }                                                    \
    void SetFont(const QFont &value) { Base::setFont(value); }                                     \
    int Tag() const { return FTag; }                                                               \
    void SetTag(int value) { FTag = value; }                                                       \
                                                                                                   \
private:                                                                                           \
    int FTag = 0;

class TLabel : public QLabel
{
    Q_OBJECT
    VX_TEXT_PROPERTIES(QLabel)
public:
    explicit TLabel(const QString &name, QWidget *parent);

    // A coloured (and for links underlined) text, set through the palette and font: a style
    // sheet would put the whole window through the style-sheet machinery.
    // The colour is kept readable on the label's background, also after the desktop's colours
    // change: a dark desktop palette would otherwise hide a dark text.
    void SetTextColor(const QColor &color, bool underline = false);

protected:
    void changeEvent(QEvent *event) override;

private:
    void ApplyTextColor();
    QColor FTextColor;
};

// Whether text in ink stands out enough from paper to be read.
bool Readable(const QColor &ink, const QColor &paper);
// Ink, lightened on dark paper or darkened on light paper just enough to be read there.
QColor ReadableOn(const QColor &ink, const QColor &paper);
// Paper when every ink reads on it, else white: for pictures whose ink colours are fixed.
QColor PaperFor(std::initializer_list<QColor> inks, const QColor &paper);

class TButton : public QPushButton
{
    Q_OBJECT
    VX_TEXT_PROPERTIES(QPushButton)
public:
    explicit TButton(const QString &name, QWidget *parent);

protected:
    void keyPressEvent(QKeyEvent *event) override;
};

class TSpeedButton : public QToolButton
{
    Q_OBJECT
    VX_TEXT_PROPERTIES(QToolButton)
public:
    explicit TSpeedButton(const QString &name, QWidget *parent);
};

class TCheckBox : public QCheckBox
{
    Q_OBJECT
    VX_TEXT_PROPERTIES(QCheckBox)
    Q_PROPERTY(bool Checked READ Checked WRITE SetChecked)
public:
    explicit TCheckBox(const QString &name, QWidget *parent);
    bool Checked() const { return isChecked(); }
    void SetChecked(bool value) { setChecked(value); }
};

class TGroupBox : public QGroupBox
{
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    VX_HINT_PROPERTIES(QGroupBox)
public:
    explicit TGroupBox(const QString &name, QWidget *parent);
    QString Caption() const { return title(); }
    void SetCaption(const QString &value) { setTitle(value); }
};

// A titled group of radio buttons, one per line of Items; ItemIndex -1 selects none.
class TRadioGroup : public QGroupBox
{
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(QStringList Items READ Items WRITE SetItems)
    Q_PROPERTY(int ItemIndex READ ItemIndex WRITE SetItemIndex)
    VX_HINT_PROPERTIES(QGroupBox)
public:
    explicit TRadioGroup(const QString &name, QWidget *parent);
    QString Caption() const { return title(); }
    void SetCaption(const QString &value) { setTitle(value); }
    QStringList Items() const;
    // Writes the texts over the existing buttons; the selection is kept.
    void SetItems(const QStringList &items);
    int ItemIndex() const;
    void SetItemIndex(int index);

signals:
    // The user or the program changed the selection.
    void Click();

private:
    QButtonGroup *FGroup;
    QVBoxLayout *FLayout;
    int FClickedIndex = -1; // the item Click last reported
};

// Items, ItemIndex and Text as the list box of the chord page and the option pages use them.
class TComboBox : public QComboBox
{
    Q_OBJECT
    Q_PROPERTY(QStringList Items READ Items WRITE SetItems)
    Q_PROPERTY(int ItemIndex READ ItemIndex WRITE SetItemIndex)
    Q_PROPERTY(QString Text READ Text WRITE SetText)
    VX_HINT_PROPERTIES(QComboBox)
public:
    explicit TComboBox(const QString &name, QWidget *parent, bool editable = false);
    QStringList Items() const;
    // Writes the lines over the existing items, appending or removing at the end; the index is kept.
    void SetItems(const QStringList &items);
    int ItemIndex() const { return currentIndex(); }
    void SetItemIndex(int index) { setCurrentIndex(index); }
    QString Text() const { return currentText(); }
    void SetText(const QString &value);
    // The index of the item equal to text ignoring case, or -1.
    int IndexOfText(const QString &text) const;

protected:
    void keyPressEvent(QKeyEvent *event) override;
};

class TEdit : public QLineEdit
{
    Q_OBJECT
    Q_PROPERTY(QString Text READ Text WRITE SetText)
    VX_HINT_PROPERTIES(QLineEdit)
public:
    explicit TEdit(const QString &name, QWidget *parent);
    QString Text() const { return text(); }
    void SetText(const QString &value) { setText(value); }
};

class TMemo : public QPlainTextEdit
{
    Q_OBJECT
    Q_PROPERTY(QStringList Lines READ Lines WRITE SetLines)
    Q_PROPERTY(QString Text READ Text WRITE SetText)
    Q_PROPERTY(bool WordWrap READ WordWrap WRITE SetWordWrap)
    VX_HINT_PROPERTIES(QPlainTextEdit)
public:
    explicit TMemo(const QString &name, QWidget *parent);
    QStringList Lines() const;
    void SetLines(const QStringList &lines);
    // The document's own text: no-break spaces and every other character kept.
    QString Text() const;
    void SetText(const QString &value);
    bool WordWrap() const { return lineWrapMode() != QPlainTextEdit::NoWrap; }
    void SetWordWrap(bool value) { setLineWrapMode(value ? WidgetWidth : NoWrap); }

    // When set, text from the clipboard, the mouse selection or a drop goes here instead of
    // straight into the editor; moved is true for a drag inside the editor itself.
    std::function<void(const QString &text, bool moved)> OnInsertText;

    // Text offered as text: Qt also reads a list of files or links as text, but that is no song.
    static bool HoldsText(const QMimeData *data);

protected:
    QMimeData *createMimeDataFromSelection() const override;
    bool canInsertFromMimeData(const QMimeData *source) const override;
    void insertFromMimeData(const QMimeData *source) override;
    void dropEvent(QDropEvent *event) override;

private:
    bool FDropFromSelf = false;
};

class TTrackBar : public QSlider
{
    Q_OBJECT
    Q_PROPERTY(int Position READ Position WRITE SetPosition)
    VX_HINT_PROPERTIES(QSlider)
public:
    explicit TTrackBar(const QString &name, QWidget *parent, int min, int max, int position);
    int Position() const { return value(); }
    void SetPosition(int value) { setValue(value); }
};

class TPageControl : public QTabWidget
{
    Q_OBJECT
    VX_HINT_PROPERTIES(QTabWidget)
public:
    explicit TPageControl(const QString &name, QWidget *parent);
};

// A page of a TPageControl; its Caption is the tab's text.
class TTabSheet : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    VX_HINT_PROPERTIES(QWidget)
public:
    TTabSheet(const QString &name, TPageControl *pages, const QString &caption);
    QString Caption() const;
    void SetCaption(const QString &value);

private:
    TPageControl *FPages;
};

// Window captions keyed by the form's own Caption.
class TForm : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    VX_HINT_PROPERTIES(QWidget)
public:
    explicit TForm(const QString &name, QWidget *parent = nullptr);
    QString Caption() const { return windowTitle(); }
    void SetCaption(const QString &value) { setWindowTitle(value); }
};

// A menu command whose Caption and Hint the localization engine reaches by name; give it the
// component name the texts are keyed by.
class TMenuItem : public QAction
{
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
public:
    TMenuItem(const QString &name, QObject *parent, const QString &caption = QString());
    QString Caption() const { return text(); }
    void SetCaption(const QString &value) { setText(value); }
    QString Hint() const { return statusTip(); }
    void SetHint(const QString &value) { setStatusTip(value); }
};
