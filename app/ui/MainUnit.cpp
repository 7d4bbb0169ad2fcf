#include "app/ui/MainUnit.h"

#include "VxVersion.h"
#include "app/core/ChordBase.h"
#include "app/core/DataFolder.h"
#include "lang/lcComp.h"
#include "platform/ini/IniFile.h"
#include "platform/vcl/Application.h"
#include "toolkit/VxBalloonHint.h"
#include "toolkit/VxDataEmbedded.h"
#include "toolkit/VxStringHolder.h"

#include <QCloseEvent>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>
#include <future>
#include <system_error>

namespace {

// Calls back once, at the first paint of the widget it watches, and then goes.
class TFirstPaintWatch : public QObject
{
public:
    TFirstPaintWatch(QObject *watched, std::function<void()> painted) : QObject(watched), FPainted(std::move(painted))
    {
        watched->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && FPainted) {
            const std::function<void()> painted = std::move(FPainted);
            FPainted = nullptr;
            deleteLater();
            painted();
        }
        return false;
    }

private:
    std::function<void()> FPainted;
};

} // namespace

TMainForm::TMainForm(const QString &dataFolder, const QStringList &arguments, TPageBuilding building)
    : TForm(QStringLiteral("MainForm")), FLaterPagesPending(building == LaterPagesAfterShow), FArguments(arguments)
{
    FState.dataFolder = dataFolder;
    if (!FState.dataFolder.isEmpty() && !FState.dataFolder.endsWith(QLatin1Char('/')))
        FState.dataFolder += QLatin1Char('/');
    CreateComponents();
    FormCreate();
}

TMainForm::~TMainForm()
{
    // Pages removed while the window is destroyed must not run the page handlers.
    if (PageControl)
        PageControl->disconnect(this);
    // The pages go while the form is still whole: the last events of a closing list or editor
    // still reach the form's handlers and event filters.
    delete PageControl;
    PageControl = nullptr;
}

void TMainForm::CreateComponents()
{
    // Their data is read from the program only when a file is to be written from it.
    VxDataEmbed = new TVxDataEmbedded(QStringLiteral("VxDataEmbed"), this);
    VxDataEmbed_User = new TVxDataEmbedded(QStringLiteral("VxDataEmbed_User"), this);
    VxMultiString = new TVxMultiStringHolder(QStringLiteral("VxMultiString"), this);
    VxMultiString->LoadFromResource(QStringLiteral(":/VxMultiString.txt"));
    // Before the options: the hints option's filter must see tool tips before the balloons do.
    VxBalloonHint = new TVxBalloonHint(this);
    VxBalloonHint->setObjectName(QStringLiteral("VxBalloonHint"));
    VxBalloonHint->SetUseBalloonAsApplicationHint(true);

    CreateLanguageComponent();
    CreateTrayComponents();
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    PageControl = new TPageControl(QStringLiteral("PageControl"), this);
    layout->addWidget(PageControl);
    MainTab = new TTabSheet(QStringLiteral("MainTab"), PageControl, QStringLiteral("Аккорды"));
    TuningTab = new TTabSheet(QStringLiteral("TuningTab"), PageControl, QStringLiteral("Тюнер"));
    MiscTab = new TTabSheet(QStringLiteral("MiscTab"), PageControl, QStringLiteral("Транспонирование"));
    OptionsTab = new TTabSheet(QStringLiteral("OptionsTab"), PageControl, QStringLiteral("Настройки"));
    HelpTab = new TTabSheet(QStringLiteral("HelpTab"), PageControl, QStringLiteral("Справка"));
    connect(PageControl, &QTabWidget::currentChanged, this, [this](int index) {
        // A page not built yet is built the moment it is chosen.
        const QWidget *page = PageControl->widget(index);
        if (!FLaterPagesPending || (page != TuningTab && page != MiscTab && page != HelpTab))
            return;
        BuildLaterPages();
        if (page == MiscTab)
            MiscTabShow();
    });

    CreateOptionsPage();
    CreateChordPage();
    if (!FLaterPagesPending)
        CreateLaterPages();
    CreateActions();
}

void TMainForm::CreateLaterPages()
{
    CreateTunerPage();
    CreateTransposerPage();
    CreateHelpPage();
}

void TMainForm::BuildLaterPages()
{
    if (!FLaterPagesPending)
        return;
    FLaterPagesPending = false;
    CreateLaterPages();
    ApplyLaterPageSettings(FSettings);
    TranslateLaterPages();
    // What the start did for these pages after the language was applied.
    LoadHelp();
    RefreshTuningNotes();
    FillRootList(SrcComboBox);
    FillTuningsList();
}

void TMainForm::TranslateLaterPages()
{
    // Empty when the start applied no language, or applied it with every page built.
    if (FTranslationLines.empty())
        return;
    // The start's pass set aside the lines of the components it did not find; they are back.
    for (int type = 0; type < StringsTypeCount; ++type)
        if (QStringList *list = lcLang->GetStringsList(type))
            *list = FTranslationLines[size_t(type)];
    FTranslationLines.clear();
    const std::array<const QObject *, 3> pages{TuningTab, MiscTab, HelpTab};
    auto onLaterPage = [&pages](const QObject *object) {
        for (const QObject *parent = object->parent(); parent; parent = parent->parent())
            if (std::find(pages.begin(), pages.end(), parent) != pages.end())
                return true;
        return false;
    };
    // Everything else keeps the texts the program gave it since the start.
    QStringList others{QString::fromLatin1(metaObject()->className())};
    for (const QObject *child : findChildren<QObject *>())
        if (!child->objectName().isEmpty() && !onLaterPage(child))
            others.append(child->objectName());
    const QStringList kept = lcLang->DoNotTranslate();
    lcLang->SetDoNotTranslate(kept + others);
    lcLang->ChangeLanguage();
    lcLang->SetDoNotTranslate(kept);
}

void TMainForm::BuildLaterPagesAfterFirstPaint()
{
    if (!FLaterPagesPending)
        return;
    if (!isVisible()) {
        QTimer::singleShot(0, this, [this] { BuildLaterPages(); });
        return;
    }
    // The pages come in the loop's next turn after the first paint, so they never delay it.
    new TFirstPaintWatch(this, [this] { QTimer::singleShot(0, this, [this] { BuildLaterPages(); }); });
}

void TMainForm::CreateOptionsPage()
{
    // Two columns keep the window as low as the chord page needs.
    auto *columns = new QHBoxLayout(OptionsTab);
    auto *left = new QVBoxLayout;
    auto *right = new QVBoxLayout;
    columns->addLayout(left, 1);
    columns->addLayout(right, 1);
    CreateNotationOptions(OptionsTab, left);
    CreateLanguageOptions(OptionsTab, left);
    CreateDiagramOptions(OptionsTab, left);
    CreateWindowOptions(OptionsTab, left);
    left->addStretch(1);
    CreateSoundOptions(OptionsTab, right);
    CreateWindowLinks(OptionsTab, right);
    right->addStretch(1);
}

void TMainForm::CreateNotationOptions(QWidget *page, QBoxLayout *layout)
{
    EastWestRG = new TRadioGroup(QStringLiteral("EastWestRG"), page);
    EastWestRG->SetCaption(QStringLiteral("Нотация"));
    EastWestRG->SetItems({QStringLiteral("H - си, B - си бемоль"), QStringLiteral("B - си, Bb - си бемоль")});
    EastWestRG->SetItemIndex(0);
    layout->addWidget(EastWestRG);
    OptionsFlats = new TCheckBox(QStringLiteral("OptionsFlats"), page);
    OptionsFlats->SetCaption(QStringLiteral("Бемоли вместо диезов"));
    OptionsFlats->SetChecked(true);
    layout->addWidget(OptionsFlats);
    connect(OptionsFlats, &QCheckBox::toggled, this, [this] { OptionsFlatsClick(); });
    connect(EastWestRG, &TRadioGroup::Click, this, [this] { EastWestRGClick(); });
}

namespace {

struct TPrefetchedBase {
    QString path;
    std::future<std::unique_ptr<TIniFile>> file;
};

TPrefetchedBase &PrefetchedBase()
{
    static TPrefetchedBase prefetched;
    return prefetched;
}

std::unique_ptr<TIniFile> OpenChordBase(const QString &path)
{
    TPrefetchedBase &prefetched = PrefetchedBase();
    if (prefetched.file.valid()) {
        std::unique_ptr<TIniFile> file = prefetched.file.get();
        if (prefetched.path == path)
            return file;
    }
    return std::make_unique<TIniFile>(path);
}

TVxDataEmbedded *Filled(TVxDataEmbedded *data, const QString &resource)
{
    if (data->Size() == 0)
        data->LoadFromResource(resource);
    return data;
}

} // namespace

void TMainForm::PrefetchChordBase()
{
    const QString path = DataFolder::ChooseDataFolder() + DataFolder::ChordBaseName;
    PrefetchedBase().path = path;
    try {
        PrefetchedBase().file = std::async(std::launch::async, [path] {
            auto file = std::make_unique<TIniFile>(path);
            // The first read parses the whole file; one changed since is parsed again when next read.
            file->SectionExists(QStringLiteral("Version"));
            return file;
        });
    } catch (const std::system_error &) {
        // No thread to spare: the start opens the base itself.
    }
}

TVxDataEmbedded *TMainForm::EmbeddedBase()
{
    return Filled(VxDataEmbed, QStringLiteral(":/veltrasomin_chords.ini"));
}

TVxDataEmbedded *TMainForm::EmbeddedUserFile()
{
    return Filled(VxDataEmbed_User, QStringLiteral(":/user_chords.ini"));
}

bool TMainForm::WriteDefaultFiles()
{
    const QString base = FState.dataFolder + DataFolder::ChordBaseName;
    const QString user = FState.dataFolder + DataFolder::UserFileName;
    // A base that cannot be written is reported by the caller, and then nothing else is tried; a
    // user file that cannot be written is only missing, but the user is told why.
    try {
        if (!QFileInfo::exists(base))
            EmbeddedBase()->DataSaveToFile(base);
    } catch (const EVxException &) {
    }
    if (!QFileInfo(base).isFile())
        return false;
    if (!QFileInfo::exists(user))
        SaveDefaultFile(EmbeddedUserFile(), user);
    return true;
}

bool TMainForm::SaveDefaultFile(TVxDataEmbedded *data, const QString &fileName)
{
    try {
        data->DataSaveToFile(fileName);
        return true;
    } catch (const EVxException &e) {
        Application::MessageBox(e.Message(), Ids(188), Application::MB_ICONWARNING, this);
        return false;
    }
}

void TMainForm::FormCreate()
{
    if (FState.dataFolder.isEmpty())
        FState.dataFolder = DataFolder::ChooseDataFolder();
    IniText::RemoveStaleTemporaries(FState.dataFolder, {DataFolder::ChordBaseName, DataFolder::UserFileName,
                                                        DataFolder::SettingsName});

    if (!WriteDefaultFiles()) {
        Application::MessageBox(Ids(0), Ids(1), Application::MB_ICONERROR, this);
        Application::Terminate(1);
        return;
    }
    const QString basePath = FState.dataFolder + DataFolder::ChordBaseName;
    FState.chordBase = OpenChordBase(basePath);
    if (FState.chordBase->ReadString(QStringLiteral("Version"), QStringLiteral("Number"), QStringLiteral("1")) !=
        ChordBase::CurrentBaseVersion) {
        // When the new base cannot be written the old one stays in use.
        SaveDefaultFile(EmbeddedBase(), basePath);
    }
    const QString userPath = FState.dataFolder + DataFolder::UserFileName;
    if (QFileInfo(userPath).isFile())
        FState.userFile = std::make_unique<TIniFile>(userPath);

    ListMidiDevices();
    ShowTrackBarLabels();
    if (QFileInfo::exists(FState.dataFolder + DataFolder::SettingsName))
        LoadSettings();
    else
        SetLanguage();
    ApplyStartLanguage();
    LoadHelp();
    LoadUserChordTypes();
    RefreshTuningNotes();
    FillRootList(Root);
    FillRootList(SrcComboBox);
    FillBassList();

    FState.currentChordType = QStringLiteral("maj");
    ShowChord(FindChordSchemes());
    FillTuningsList();
    if (!FArguments.isEmpty() && FArguments.first().toUpper() == QLatin1String("/MIN"))
        HideToTray();

    FState.previousTransposerStep = 11;
    FState.canonicalChordType = ChordType->Text();
    FState.versionText = QStringLiteral(VX_FILE_VERSION);
    LabelVersionInfo->SetCaption(FState.versionText);
    SetCaption(QStringLiteral("Vexo Veltrasomin ") + FState.versionText);
    // The transposer page shown from the start showed its hint before the caption above.
    if (PageControl->currentWidget() == MiscTab)
        MiscTabShow();
}

void TMainForm::closeEvent(QCloseEvent *event)
{
    FormClose();
    event->accept();
}

void TMainForm::FormClose()
{
    FState.chordBase.reset();
    FState.userFile.reset();
    FState.schemes.clear();
    SaveSettings();
}

