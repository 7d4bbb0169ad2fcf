#pragma once
// The main window. Its methods live in several files by page and concern: MainUnit.cpp (start-up
// and close), MainUnitChord.cpp (the chord page); every algorithm they run over the widgets is a
// plain function in app/core.
#include <QString>
#include <QStringList>
#include <array>
#include <memory>
#include <vector>
#include <QPointer>

#include "platform/vcl/Controls.h"
#include "app/core/Settings.h"
#include "platform/vcl/SpinButton.h"

class TIniFile;
class TVxDataEmbedded;
class TVxMultiStringHolder;
class QBoxLayout;
class QCloseEvent;
class QTranslator;
class TlcLang;
class QAction;
class QMenu;
class TCanvasImage;
class QTableWidget;
class TFormPreview;
class TMidiGen;
class TVxTrayIcon;
class TVxApplicationHotKey;
class TActionList;
class TVxLookOut;
class TVxLookOutPage;
class TVxGradientHeaderPanel;
class TVxBalloonHint;

// What the main window's unit keeps besides its components.
struct TMainState
{
    QString dataFolder;                       // ends with "/"
    std::unique_ptr<TIniFile> chordBase;
    std::unique_ptr<TIniFile> userFile;       // only when the user file existed at start-up
    QStringList schemes;                      // fingerings of the current chord
    int schemeCount = 0;
    int currentScheme = 0;                    // 1-based
    QString currentChordType;                 // e.g. "maj" or "m7/C#"
    QString canonicalChordType;
    QString currentScheme12;                  // the scheme drawn last, as the list holds it
    QString shownScheme;                      // the same as drawn: relative frets when rewritten
    QString playList;                         // notes of the drawn scheme, string 6 first: "E3,H3,...," or "none"
    QString noteNames;                        // note names of the drawn scheme, string 1 first: "ECGECxx"
    std::array<int, 6> dotPositions{};        // string 1 first: fret, 0 open, 99 muted
    int lowestFret = 0;                       // of the last scheme measured
    int highestFret = 0;
    int previousTransposerStep = 11;          // the step the song text stands at; 11 is "="
    int songNotation = 0;                     // the notation the song text was moved in
    QString songAtNoStep;                     // the song text as it stood at "="
    QString songAsMoved;                      // the song text as the last step left it
    bool songMovesFromNoStep = false;         // nobody changed the song since it stood at "="
    QString versionText;
};

class TMainForm : public TForm
{
    Q_OBJECT
public:
    // dataFolder empty: chosen from the program's folder and the environment. arguments are the
    // command-line arguments after the program name.
    // LaterPagesAfterShow leaves the tuner, transposer and help pages for BuildLaterPages, unless
    // the window starts on one of them: the first paint shows the chord or options page sooner.
    enum TPageBuilding { AllPagesNow, LaterPagesAfterShow };
    explicit TMainForm(const QString &dataFolder = QString(), const QStringList &arguments = QStringList(),
                       TPageBuilding building = AllPagesNow);
    ~TMainForm() override;
    // Builds the pages left for later, in the state a window that built them at once has.
    void BuildLaterPages();
    // BuildLaterPages once the window has painted itself, or at once when it is not shown.
    void BuildLaterPagesAfterFirstPaint();
    bool LaterPagesBuilt() const { return !FLaterPagesPending; }

    // Starts decoding, beside the window's building, the pictures its first paint shows.
    static void PrefetchPictures();
    // Starts reading, beside the window's building, the chord base of the data folder a window
    // without a folder of its own chooses; that window takes it instead of reading the base.
    static void PrefetchChordBase();

    const TMainState &State() const { return FState; }
    // "/MIN" asked for the window to start hidden; it is already hidden or minimized then, and
    // must not be shown.
    bool StartsHidden() const { return FStartHidden; }
    // "IDS_<n>" in the active language.
    QString Ids(int id) const;
    // The language the texts are in: 1 Russian, 2 English.
    int ActiveLanguage() const;

    // Chord base lookup over the chord page's lists; returns the first scheme.
    QString FindChordSchemes();
    // Checks a scheme before it is drawn; a malformed one shows the error box and ends the program.
    bool ValidateScheme(const QString &scheme);
    void LoadUserChordTypes();
    void ShowChord(const QString &scheme);

    // Chord page handlers.
    void RootChange();
    void ChordTypeChange();
    void BassChange();
    void ButtonNextClick();
    void ButtonBackClick();
    void OptionsFlatsClick();
    void FillRootList(TComboBox *combo);
    void FillBassList();
    // The canonical name of a typed chord type; empty when it has none.
    QString CanonicalChordType(const QString &text) const;

    // Chord diagram and copying.
    // Draws the current entry of the scheme list again.
    void ShowCurrentChord();
    // Shows the first scheme whose Roman fret label is roman (padding ignored).
    void ShowChordWithFretNumber(const QString &roman);
    void BassDropDown();
    void RightHandClick();
    void LeftHandClick();
    void ChordNetBtnClick();
    void CopyChordAsText();
    void CopyChordAsBitmap();
    void LabelTypeDblClick();
    void LabelTypeContextPopup(const QPoint &pos);
    void ClickMenuItem(const QString &caption);
    void ShowChordNameLabel();
    TLabel *LabelType = nullptr;
    TLabel *IntervalLabel = nullptr;
    TSpeedButton *ChordNetBtn = nullptr;
    TCanvasImage *Back = nullptr;
    TCanvasImage *PB = nullptr;
    QMenu *ChordPopUp = nullptr;
    QAction *RightHand = nullptr;
    QAction *LeftHand = nullptr;
    QMenu *PopupMenu1 = nullptr;
    TCheckBox *OptionsShowNotes = nullptr;
    TCheckBox *OptionsShowChordName = nullptr;
    TCheckBox *OptionsSaveBMP = nullptr;

    // Tuner page: the row of a shared handler is the sender's Tag.
    void TuningsListChange();
    void SBStr1DownClick(QObject *Sender);
    void SBStr1UpClick(QObject *Sender);
    void SBAllDownClick();
    void SBAllUpClick();
    void SpeedButton1Click(QObject *Sender);
    void TuningTabHide();
    void ApplyTuningNotes();
    // The notation changed: tuner, root lists and transposer follow it.
    void EastWestRGClick();
    TComboBox *TuningsList = nullptr;
    TSpinButton *SBAll = nullptr;

    // Window options; every option's state survives in the settings file.
    void OptionsShowHintsClick();
    void OptionsAlwaysOnTopClick();
    void OptionsTrayIconClick();
    TCheckBox *OptionsShowHints = nullptr;
    TCheckBox *OptionsTrayIcon = nullptr;
    TCheckBox *OptionsCheckText = nullptr;
    TCheckBox *OptionsAlwaysOnTop = nullptr;

    // The fretboard and donation windows, the web links and the version (MainUnitWindows.cpp).
    void GuitarImageClick();
    void SpeedButtonDonateClick();
    void EmailLabelClick();
    void Label13Click();
    void k(); // the click of Label14
    void Label8Click();
    TGroupBox *AboutGroupBox = nullptr;
    TLabel *GuitarImage = nullptr;
    TLabel *LabelVersionInfo = nullptr;
    TLabel *EmailLabel = nullptr;
    TLabel *Label13 = nullptr;
    TLabel *Label14 = nullptr;
    TLabel *Label8 = nullptr;
    TSpeedButton *SpeedButtonDonate = nullptr;

    // Transposer page.
    void SrcComboBoxChange();
    void FormatShift();
    void DestComboBoxChange();
    // Moves the song text from the previous step to the selected one.
    void TransposeMemo();
    // Moves the song text from the step it stands at to the given one, reading it in a notation.
    void MoveSongText(int step, int notation);
    void SpeedButtonDefaultClick();
    void CopyBitBtnClick();
    void PopupMenuTranspPopup();
    void PopUpOpenFileClick();
    void PopUpSaveClick();
    void PopUpPasteClick();
    // Every way text enters the song editor but typing: the length limit, and for text from
    // elsewhere the reset of the steps and the notation check.
    void InsertSongText(const QString &text, bool newText);
    qsizetype SongTextRoom() const;
    QString OpenDialogFilter() const;
    void PopUpDeleteClick();
    void PopUpFontClick();
    void PopUpPreviewClick();
    // Loads a song text file into the editor; false with a message when it is refused or unreadable.
    bool OpenSongFile(const QString &fileName);
    // encoding: 0 UTF-8, 1 UTF-16, 2 Windows-1251. False with a message when it cannot be written.
    bool SaveSongFile(const QString &fileName, int encoding);
    // The encoding the save dialog offers first: UTF-16 after a song that came with a byte-order mark.
    int SongSaveEncoding() const { return FSongUnicode ? 1 : 0; }
    static qint64 FileSizeOf(const QString &fileName);
    void ChangeMemoFontSize(TMemo *memo, int delta);
    // Opens the one preview window with Sender's text and font (the caller leaves out Ctrl+double-clicks).
    void MemoTranspDblClick(TMemo *Sender);
    // A Ctrl+click at caretIndex of a song text shows and plays the chord there.
    void MemoTranspMouseDown(TMemo *Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int caretIndex);
    void CheckSongText(const QString &text);
    void ShowNotationHint();
    void MiscTabShow();
    void MiscTabHide();
    // The notation or the accidentals changed: the key list and the table follow.
    void TransposerNotationChanged();
    TComboBox *SrcComboBox = nullptr;
    TComboBox *DestComboBox = nullptr;
    TSpeedButton *SpeedButtonDefault = nullptr;
    TButton *CopyBitBtn = nullptr;
    TPageControl *PageControlTransp = nullptr;
    TTabSheet *TabSheetTable = nullptr;
    TTabSheet *TabSheetText = nullptr;
    QTableWidget *StringGrid = nullptr;
    TMemo *MemoTransp = nullptr;
    QMenu *PopupMenuTransp = nullptr;
    QAction *PopUpOpenFile = nullptr;
    QAction *PopUpCut = nullptr;
    QAction *PopUpCopy = nullptr;
    QAction *PopUpPaste = nullptr;
    QAction *PopUpDelete = nullptr;
    QAction *PopUpUndo = nullptr;
    QAction *PopUpSelectAll = nullptr;
    QAction *PopUpSave = nullptr;
    QAction *PopUpFont = nullptr;
    QAction *PopUpChordNormal = nullptr;
    QAction *PopUpChordHigher = nullptr;
    QAction *PopUpPreview = nullptr;
    // The one preview window; empty while none is open.
    QPointer<TFormPreview> FormPreview;

    // Components.
    TPageControl *PageControl = nullptr;
    TTabSheet *MainTab = nullptr;
    TTabSheet *TuningTab = nullptr;
    TTabSheet *MiscTab = nullptr;
    TTabSheet *OptionsTab = nullptr;
    TTabSheet *HelpTab = nullptr;

    // chord page
    TComboBox *Root = nullptr;
    TComboBox *ChordType = nullptr;
    TComboBox *Bass = nullptr;
    TSpeedButton *ButtonNext = nullptr;
    TSpeedButton *ButtonBack = nullptr;
    TSpeedButton *PlayChordBtn = nullptr;

    // Playing chords (MainUnitPlay.cpp).
    TMidiGen *MidiGen = nullptr;
    TComboBox *DeviceList = nullptr;
    TComboBox *InstList = nullptr;
    TTrackBar *VolumeTrackBar = nullptr;
    TLabel *VolLabel = nullptr;
    TTrackBar *DurationTrackBar = nullptr;
    TLabel *DurLabel = nullptr;
    QAction *ActionPlay = nullptr;
    // Prepares the tone generator from the sound options; shows the device errors.
    void SetupMidi();
    // Plays the drawn fingering; sender MemoTransp plays it longer and with the song-text octave.
    void PlayChordBtnClick(QObject *sender);
    void DurationTrackBarChange();
    void VolumeTrackBarChange();
    // A key released in the song text ends the chord a Ctrl+click started.
    void MemoTranspKeyUp();
    void MainTabShow();
    void MainTabHide();

    // Keyboard (MainUnitKeys.cpp): the chord page's keys work only while it shows; the general
    // keys always. FormKeyDown sees every key of the window before the focused control.
    TActionList *ActionListChord = nullptr;
    TActionList *ActionListGeneral = nullptr;
    QAction *ActionNext = nullptr;
    QAction *ActionBack = nullptr;
    QAction *ActionRootDown = nullptr;
    QAction *ActionRootUp = nullptr;
    QAction *ActionChordTypeDown = nullptr;
    QAction *ActionChordTypeUp = nullptr;
    QAction *ActionCopy = nullptr;
    QAction *ActionHelp = nullptr;
    QAction *ActionEscape = nullptr;
    void ActionPlayExecute();
    void ActionNextExecute();
    void ActionBackExecute();
    void ActionRootDownExecute();
    void ActionRootUpExecute();
    void ActionChordTypeDownExecute();
    void ActionChordTypeUpExecute();
    void ActionCopyExecute();
    void ActionEscapeExecute();
    void FormKeyDown(int Key, Qt::KeyboardModifiers Shift);

    // Help page (MainUnitHelp.cpp).
    TVxLookOut *VxLookOut = nullptr;
    TVxLookOutPage *HelpPage = nullptr;
    TVxLookOutPage *HistoryPage = nullptr;
    TVxLookOutPage *SongbookPage = nullptr;
    TVxGradientHeaderPanel *VxGradientHeader1 = nullptr;
    TVxGradientHeaderPanel *VxGradientHeader2 = nullptr;
    TVxGradientHeaderPanel *VxGradientHeader3 = nullptr;
    // Shows every hint of the program as a balloon.
    TVxBalloonHint *VxBalloonHint = nullptr;
    TMemo *HelpMemo = nullptr;
    TMemo *HistoryMemo = nullptr;
    TMemo *SongbookMemo = nullptr;
    TLabel *LabelOpenHelp = nullptr;
    void ActionHelpExecute();
    void LabelOpenHelpClick();
    void VxGradientHeader1Click(QObject *Sender);
    void HelpMemoDblClick();
    // The help file of the active language in the data folder, whether it exists or not.
    QString HelpFileName() const;

    // options page
    TRadioGroup *EastWestRG = nullptr;
    TCheckBox *OptionsFlats = nullptr;
    TComboBox *LangComboBox = nullptr;

    // Language (MainUnitLang.cpp): lcLang holds every text in Russian (1) and English (2).
    void LangComboBoxChange();
    TlcLang *lcLang = nullptr;

    // non-visual
    TVxDataEmbedded *VxDataEmbed = nullptr;
    TVxDataEmbedded *VxDataEmbed_User = nullptr;
    TVxMultiStringHolder *VxMultiString = nullptr;

    // Notification-area icon, its menu and the global hot key (MainUnitTray.cpp).
    void PopUpOpenClick();
    void PopUpExitClick();
    void VxAppHotKeyHotKey();
    TVxTrayIcon *VxTrayIcon = nullptr;
    TVxApplicationHotKey *VxAppHotKey = nullptr;
    QMenu *PopupMenu = nullptr;
    TMenuItem *PopUpOpen = nullptr;
    TMenuItem *PopUpExit = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void CreateComponents();
    void CreateChordPage();
    void CreateOptionsPage();
    // Each group of the options page is built by the file of its feature.
    void CreateNotationOptions(QWidget *page, QBoxLayout *layout);
    void CreateSoundOptions(QWidget *page, QBoxLayout *layout);
    void CreateLanguageOptions(QWidget *page, QBoxLayout *layout);
    void CreateLanguageComponent();
    // Start-up: the chosen language is applied, with Qt's own texts following it.
    void ApplyStartLanguage();
    void ApplyQtTranslation();
    QTranslator *FQtTranslator = nullptr;
    void CreateDiagramOptions(QWidget *page, QBoxLayout *layout);
    void FormCreate();
    void FormClose();
    bool WriteDefaultFiles();
    TVxDataEmbedded *EmbeddedBase();
    TVxDataEmbedded *EmbeddedUserFile();
    bool SaveDefaultFile(TVxDataEmbedded *data, const QString &fileName);

    // Start-up steps that later parts of the program fill.
    void ListMidiDevices();
    void ShowTrackBarLabels();
    void LoadSettings();
    void SaveSettings();
    void SetLanguage();
    void LoadHelp();
    void RefreshTuningNotes();
    void FillTuningsList();
    void HideToTray();
    void CreateTrayComponents();

    void CreateTransposerPage();
    void CreateActions();
    void CreateHelpPage();
    void CreateTunerPage();
    void CreateLaterPages();
    // The language of the later pages alone; the rest of the window keeps its texts.
    void TranslateLaterPages();
    bool FLaterPagesPending = false;
    // The translation lines as read, for the pages a start leaves for later.
    std::vector<QStringList> FTranslationLines;
    void StepTunerString(QObject *Sender, int (*step)(int));
    std::array<int, 6> FStringNotes{}; // tuner strings 1..6 as indexes of C1 .. H6

    void CreateWindowOptions(QWidget *page, QBoxLayout *layout);
    void CreateWindowLinks(QWidget *page, QBoxLayout *layout);
    Settings::TSettings ControlSettings() const;
    void ApplySettings(const Settings::TSettings &settings);
    // The options whose controls lie on the later pages.
    void ApplyLaterPageSettings(const Settings::TSettings &settings);
    void PlaceInside(const QPoint &topLeft);
    // The last loaded or saved options; they stand in for controls the window lacks.
    Settings::TSettings FSettings;
    QObject *FHintFilter = nullptr;

    TMainState FState;
    QStringList FArguments;
    bool FStartHidden = false;
    bool FSongUnicode = false; // the last song opened began with a byte-order mark
    // Set while an Esc key is closing a list or menu, which Esc then does nothing more for.
    bool FEscapeClosesPopup = false;
    friend class TEscapeWatch;
};
