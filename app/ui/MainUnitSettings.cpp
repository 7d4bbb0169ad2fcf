// The settings file and the window options: every choice is read at start and written at close.
// Controls are found by their names, so an option whose control the window lacks keeps the value
// the file gave it.
#include "app/ui/MainUnit.h"

#include "app/core/DataFolder.h"
#include "app/ui/UnitPreview.h"
#include "platform/desktop/WindowPlace.h"
#include "platform/ini/IniFile.h"
#include "toolkit/VxAppHotKey.h"
#include "toolkit/VxTrayIcon.h"

#include <QAction>
#include <QApplication>
#include <QBoxLayout>
#include <QEvent>
#include <QKeySequence>
#include <QScreen>
#include <limits>

namespace {

// While hints are off, no tool tip reaches any widget.
class THintFilter : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *, QEvent *event) override { return event->type() == QEvent::ToolTip; }
};

template <class T>
T *Control(const QWidget *form, const char *name)
{
    return form->findChild<T *>(QLatin1String(name));
}

void ReadCheck(const QWidget *form, const char *name, bool &value)
{
    if (const auto *box = Control<QCheckBox>(form, name))
        value = box->isChecked();
    else if (const auto *item = Control<QAction>(form, name))
        value = item->isChecked();
}

void WriteCheck(const QWidget *form, const char *name, bool value)
{
    if (auto *box = Control<QCheckBox>(form, name))
        box->setChecked(value); // runs the option's handler when the state changes
    else if (auto *item = Control<QAction>(form, name))
        item->setChecked(value);
}

void ReadIndex(const QWidget *form, const char *name, int &value)
{
    if (const auto *list = Control<QComboBox>(form, name))
        value = list->currentIndex();
    else if (const auto *group = Control<TRadioGroup>(form, name))
        value = group->ItemIndex();
}

void WriteIndex(const QWidget *form, const char *name, int value)
{
    if (auto *list = Control<QComboBox>(form, name))
        list->setCurrentIndex(value);
    else if (auto *group = Control<TRadioGroup>(form, name))
        group->SetItemIndex(value);
}

int ListCount(const QWidget *form, const char *name, int otherwise)
{
    const auto *list = Control<QComboBox>(form, name);
    return list ? list->count() : otherwise;
}

// The stored place is the window's inside; the desktop's title bar, which the user grabs the window
// by, sits above it. Its height is the desktop's, unknown until the window is first shown.
constexpr int TitleBarRoom = 30;

// The screens the window can stand on. A display of several X screens (":0.1") lists the others
// too, each counted from 0,0 as well, though no window of ours goes there.
QList<QRect> ScreenAreas()
{
    QList<QRect> areas;
    const QScreen *primary = QGuiApplication::primaryScreen();
    for (const QScreen *screen : primary ? primary->virtualSiblings() : QGuiApplication::screens())
        areas.append(screen->availableGeometry());
    return areas;
}

} // namespace

void TMainForm::CreateWindowOptions(QWidget *page, QBoxLayout *layout)
{
    const struct { TCheckBox *TMainForm::*field; const char *name; const char *caption; bool checked; } options[] = {
        {&TMainForm::OptionsShowHints, "OptionsShowHints", "Показывать подсказки", true},
        {&TMainForm::OptionsTrayIcon, "OptionsTrayIcon", "Сворачивать в область уведомлений", true},
        {&TMainForm::OptionsCheckText, "OptionsCheckText", "Проверять нотацию текста песни", true},
        {&TMainForm::OptionsAlwaysOnTop, "OptionsAlwaysOnTop", "Поверх всех окон", false},
    };
    for (const auto &option : options) {
        auto *box = new TCheckBox(QLatin1String(option.name), page);
        box->SetCaption(QString::fromUtf8(option.caption));
        box->SetChecked(option.checked);
        layout->addWidget(box);
        this->*option.field = box;
    }
    FHintFilter = new THintFilter(this);
    connect(OptionsShowHints, &QCheckBox::toggled, this, [this] { OptionsShowHintsClick(); });
    connect(OptionsTrayIcon, &QCheckBox::toggled, this, [this] { OptionsTrayIconClick(); });
    connect(OptionsAlwaysOnTop, &QCheckBox::toggled, this, [this] { OptionsAlwaysOnTopClick(); });
}

void TMainForm::OptionsShowHintsClick()
{
    if (OptionsShowHints->Checked())
        qApp->removeEventFilter(FHintFilter);
    else
        qApp->installEventFilter(FHintFilter);
}

void TMainForm::PlaceInside(const QPoint &topLeft)
{
    // setGeometry places the inside of the window, where move() may place the frame; it must
    // not keep the window from taking its natural size when it is first shown.
    const bool sized = testAttribute(Qt::WA_Resized);
    setGeometry(QRect(topLeft, size()));
    setAttribute(Qt::WA_Resized, sized);
}

void TMainForm::OptionsAlwaysOnTopClick()
{
    const bool shown = isVisible();
    const QRect place(WindowPlace::InsideOnScreen(windowHandle()).value_or(geometry().topLeft()), size());
    const bool sized = testAttribute(Qt::WA_Resized);
    setWindowFlag(Qt::WindowStaysOnTopHint, OptionsAlwaysOnTop->Checked());
    // A window whose flags change is hidden and made anew by the toolkit; bring it back where
    // it was, as large as it was.
    if (shown) {
        setGeometry(place);
        setAttribute(Qt::WA_Resized, sized);
        show();
    }
}

void TMainForm::OptionsTrayIconClick()
{
    VxTrayIcon->SetActive(OptionsTrayIcon->Checked());
}

Settings::TSettings TMainForm::ControlSettings() const
{
    Settings::TSettings s = FSettings;
    // The place of the window's inside, not of its frame: the frame is the window manager's,
    // unknown until the window is mapped, and a place stored one way and restored the other
    // creeps by the title bar's height on every start.
    // Asked of the display while the window is on screen: a window manager may report the place of
    // a window kept on top a title bar lower than it stands (icewm).
    const QPoint inside = WindowPlace::InsideOnScreen(windowHandle()).value_or(geometry().topLeft());
    s.top = inside.y();
    s.left = inside.x();
    if (const auto *volume = Control<QSlider>(this, "VolumeTrackBar"))
        s.volumePos = volume->value();
    if (const auto *duration = Control<QSlider>(this, "DurationTrackBar"))
        s.durationPos = duration->value();
    ReadIndex(this, "LangComboBox", s.langComboBox);
    ReadIndex(this, "InstList", s.instList);
    ReadIndex(this, "DeviceList", s.deviceList);
    ReadIndex(this, "EastWestRG", s.eastWestRG);
    ReadCheck(this, "OptionsFlats", s.optionsFlats);
    ReadCheck(this, "OptionsShowNotes", s.optionsShowNotes);
    ReadCheck(this, "OptionsShowHints", s.optionsShowHints);
    ReadCheck(this, "OptionsSaveBMP", s.optionsSaveBMP);
    ReadCheck(this, "OptionsTrayIcon", s.optionsTrayIcon);
    ReadCheck(this, "OptionsCheckText", s.optionsCheckText);
    ReadCheck(this, "OptionsShowChordName", s.optionsShowChordName);
    ReadCheck(this, "OptionsAlwaysOnTop", s.optionsAlwaysOnTop);
    ReadCheck(this, "RightHand", s.rightHand);
    ReadCheck(this, "LeftHand", s.leftHand);
    s.activePage = PageControl->currentIndex();
    if (const auto *memo = Control<QWidget>(this, "MemoTransp")) {
        s.fontName = memo->font().family();
        if (memo->font().pointSize() > 0)
            s.fontSize = memo->font().pointSize();
    }
    ReadCheck(this, "PopUpChordNormal", s.popUpChordNormal);
    ReadCheck(this, "PopUpChordHigher", s.popUpChordHigher);
    s.globalShortcut = TVxApplicationHotKey::ShortCutToText(VxAppHotKey->HotKey());
    return s;
}

void TMainForm::ApplySettings(const Settings::TSettings &s)
{
    FSettings = s;
    if (auto *volume = Control<QSlider>(this, "VolumeTrackBar"))
        volume->setValue(s.volumePos);
    if (auto *duration = Control<QSlider>(this, "DurationTrackBar"))
        duration->setValue(s.durationPos);
    WriteIndex(this, "LangComboBox", s.langComboBox);
    WriteIndex(this, "InstList", s.instList);
    WriteIndex(this, "DeviceList", s.deviceList);
    WriteIndex(this, "EastWestRG", s.eastWestRG);
    WriteCheck(this, "OptionsFlats", s.optionsFlats);
    WriteCheck(this, "OptionsShowNotes", s.optionsShowNotes);
    WriteCheck(this, "OptionsShowHints", s.optionsShowHints);
    WriteCheck(this, "OptionsSaveBMP", s.optionsSaveBMP);
    WriteCheck(this, "OptionsCheckText", s.optionsCheckText);
    WriteCheck(this, "OptionsTrayIcon", s.optionsTrayIcon);
    WriteCheck(this, "OptionsShowChordName", s.optionsShowChordName);
    WriteCheck(this, "OptionsAlwaysOnTop", s.optionsAlwaysOnTop);
    WriteCheck(this, "RightHand", s.rightHand);
    WriteCheck(this, "LeftHand", s.leftHand);
    PageControl->setCurrentIndex(s.activePage);
    ApplyLaterPageSettings(s);
    // A key refused before is tried again with the stored one.
    VxAppHotKey->SetHotKey(TVxApplicationHotKey::TextToShortCut(s.globalShortcut));
    VxAppHotKey->SetActive(true);
}

void TMainForm::ApplyLaterPageSettings(const Settings::TSettings &s)
{
    if (auto *memo = Control<QWidget>(this, "MemoTransp")) {
        QFont font = memo->font();
        font.setFamily(s.fontName);
        font.setPointSize(s.fontSize);
        memo->setFont(font);
    }
    WriteCheck(this, "PopUpChordNormal", s.popUpChordNormal);
    WriteCheck(this, "PopUpChordHigher", s.popUpChordHigher);
}

void TMainForm::LoadSettings()
{
    Settings::TLimits limits;
    limits.languages = ListCount(this, "LangComboBox", limits.languages);
    limits.instruments = ListCount(this, "InstList", limits.instruments);
    // Without the device list the stored device is only carried over to the next save.
    limits.devices = ListCount(this, "DeviceList", std::numeric_limits<int>::max());
    limits.pages = PageControl->count();
    const TIniFile file(FState.dataFolder + DataFolder::SettingsName);
    Settings::TSettings loaded = Settings::Load(file, ControlSettings(), limits);
    // A text that names no single key gives no hot key at all.
    loaded.globalShortcut =
        TVxApplicationHotKey::ShortCutToText(TVxApplicationHotKey::TextToShortCut(loaded.globalShortcut));
    // Without a whole stored place (a key missing, or one that is no number) the desktop places the
    // window, as on a first start; a window never shown has no place of its own to fall back on.
    const QString position = QStringLiteral("POSITION");
    const auto stored = [&file, &position](const QString &key) {
        // A number reads the same whatever the default.
        return file.ReadInteger(position, key, 0) == file.ReadInteger(position, key, 1);
    };
    if (stored(QStringLiteral("Top")) && stored(QStringLiteral("Left"))) {
        const QPoint place(loaded.left, loaded.top - TitleBarRoom);
        const auto framed = [this] { return frameGeometry().size() + QSize(0, TitleBarRoom); };
        QPoint visible = Settings::VisiblePosition(place, framed(), ScreenAreas());
        // A place pulled onto a screen (its monitor gone, a smaller screen) must hold the window
        // at the size it is shown with, not at the toolkit's first guess, which is smaller.
        if (visible != place && !testAttribute(Qt::WA_Resized)) {
            adjustSize();
            setAttribute(Qt::WA_Resized, false);
            visible = Settings::VisiblePosition(place, framed(), ScreenAreas());
        }
        PlaceInside(visible + QPoint(0, TitleBarRoom));
    }
    ApplySettings(loaded);
}

void TMainForm::SaveSettings()
{
    FSettings = ControlSettings();
    // The main window was moved to make room for an open preview; that place is not the user's.
    // A preview hidden into the notification area with the window is still open.
    bool previewOpen = false;
    for (const QWidget *window : QApplication::topLevelWidgets())
        previewOpen = previewOpen || (window->objectName() == QLatin1String("FormPreview") &&
                                      (window->isVisible() || window == FormPreview));
    // A window never on screen (started hidden and ended from the notification area) has no place
    // of its own: the corner it stands at would put its title bar above the screen next time.
    const bool neverShown = !windowHandle();
    // Where the desktop tells no window its place, the one stored (from an X11 session) stands.
    Settings::Save(FState.dataFolder + DataFolder::SettingsName, FSettings,
                   previewOpen || neverShown || !WindowPlace::Known());
}
