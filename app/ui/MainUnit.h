#pragma once
// The main window. Its methods live in several files by page and concern: MainUnit.cpp (start-up
// and close), MainUnitChord.cpp (the chord page); every algorithm they run over the widgets is a
// plain function in app/core.
#include <QString>
#include <QStringList>
#include <memory>

#include "platform/vcl/Controls.h"

class TIniFile;
class TVxDataEmbedded;
class TVxMultiStringHolder;
class QBoxLayout;
class QCloseEvent;

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
    QString currentScheme12;                  // the scheme drawn last
    QString playList;                         // notes of the drawn scheme, string 6 first: "E3,H3,...," or "none"
    int previousTransposerStep = 0;
    QString versionText;
};

class TMainForm : public TForm
{
    Q_OBJECT
public:
    // dataFolder empty: chosen from the program's folder and the environment. arguments are the
    // command-line arguments after the program name.
    explicit TMainForm(const QString &dataFolder = QString(), const QStringList &arguments = QStringList());
    ~TMainForm() override;

    const TMainState &State() const { return FState; }
    // "/MIN" asked for the window to start hidden.
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

    // options page
    TRadioGroup *EastWestRG = nullptr;
    TCheckBox *OptionsFlats = nullptr;
    TComboBox *LangComboBox = nullptr;

    // non-visual
    TVxDataEmbedded *VxDataEmbed = nullptr;
    TVxDataEmbedded *VxDataEmbed_User = nullptr;
    TVxMultiStringHolder *VxMultiString = nullptr;

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
    void FormCreate();
    void FormClose();
    bool WriteDefaultFiles();
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

    TMainState FState;
    QStringList FArguments;
    bool FStartHidden = false;
};
