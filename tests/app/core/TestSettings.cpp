#include "app/core/Settings.h"
#include "platform/ini/IniFile.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using Settings::TSettings;

const Settings::TLimits Limits{2, 13, 4, 5};

// Every option away from the designed value.
TSettings Changed()
{
    TSettings s;
    s.top = -40;
    s.left = 1700;
    s.volumePos = 100;
    s.durationPos = 0;
    s.langComboBox = 1;
    s.instList = 12;
    s.deviceList = 3;
    s.eastWestRG = 1;
    s.optionsFlats = false;
    s.optionsShowNotes = false;
    s.optionsShowHints = false;
    s.optionsSaveBMP = true;
    s.optionsTrayIcon = false;
    s.optionsCheckText = false;
    s.optionsShowChordName = false;
    s.optionsAlwaysOnTop = true;
    s.rightHand = false;
    s.leftHand = true;
    s.activePage = 4;
    s.fontName = QStringLiteral("DejaVu Sans Mono");
    s.fontSize = 72;
    s.globalShortcut = QStringLiteral("Meta+Alt+K");
    s.popUpChordNormal = false;
    s.popUpChordHigher = true;
    return s;
}

struct TSettingsFile : ::testing::Test
{
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("veltrasomin_settings.ini"));

    void Write(const QByteArray &bytes)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }
    QByteArray Read() const
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    TSettings Load(const TSettings &current = TSettings()) const
    {
        return Settings::Load(TIniFile(path), current, Limits);
    }
};

TEST_F(TSettingsFile, EveryOptionSurvivesSaveAndLoad)
{
    TSettings other = TSettings();
    other.top = 0;
    other.left = 0;
    other.fontName = QStringLiteral("Курьер Моно"); // kept as UTF-8 on disk
    other.globalShortcut = QString();               // no hot key
    for (const TSettings &saved : {Changed(), other, TSettings()}) {
        ASSERT_TRUE(Settings::Save(path, saved, false));
        // Loaded over values that differ in every field, so no field can pass by staying put.
        const TSettings start = saved == Changed() ? TSettings() : Changed();
        EXPECT_EQ(Load(start), saved);
    }
}

TEST_F(TSettingsFile, WritesEveryKeyInItsPlace)
{
    TSettings s;
    s.top = 120;
    s.left = -8;
    ASSERT_TRUE(Settings::Save(path, s, false));
    EXPECT_EQ(Read(), QByteArray("[POSITION]\n"
                                 "Top=120\n"
                                 "Left=-8\n"
                                 "\n"
                                 "[OPTIONS]\n"
                                 "Volume_Pos=70\n"
                                 "Duration_Pos=5\n"
                                 "LangComboBox=0\n"
                                 "InstList=2\n"
                                 "DeviceList=0\n"
                                 "EastWestRG=0\n"
                                 "OptionsFlats=1\n"
                                 "OptionsShowNotes=1\n"
                                 "OptionsShowHints=1\n"
                                 "OptionsSaveBMP=0\n"
                                 "OptionsTrayIcon=1\n"
                                 "OptionsCheckText=1\n"
                                 "OptionsShowChordName=1\n"
                                 "OptionsAlwaysOnTop=0\n"
                                 "RightHand=1\n"
                                 "LeftHand=0\n"
                                 "ActivePage=0\n"
                                 "FontName=Courier New\n"
                                 "FontSize=9\n"
                                 "PopUpChordNormal=1\n"
                                 "PopUpChordHigher=0\n"
                                 "\n"
                                 "[SHORTCUTS]\n"
                                 "GlobalShortcut=Ctrl+Shift+F10\n"));
    s.fontName = QStringLiteral("Evil\nInjected=1");
    ASSERT_TRUE(Settings::Save(path, s, false));
    EXPECT_TRUE(Read().contains("FontName=Evil Injected=1\n"));
}

TEST_F(TSettingsFile, MissingKeysKeepTheCurrentValues)
{
    const TSettings current = Changed();
    EXPECT_EQ(Load(current), current); // no file at all
    Write("");
    EXPECT_EQ(Load(current), current);

    Write("[OPTIONS]\nEastWestRG=1\n");
    TSettings western;
    western.eastWestRG = 1;
    EXPECT_EQ(Load(), western);

    Write("[options]\neastwestrg = 0\n[Shortcuts]\nGlobalShortcut=\n");
    TSettings expected = current;
    expected.eastWestRG = 0;
    expected.globalShortcut = QString();
    EXPECT_EQ(Load(current), expected);
}

TEST_F(TSettingsFile, ValuesOutOfRangeOrUnreadableKeepTheControl)
{
    struct { const char *section, *line; int TSettings::*field; int expected; } cases[] = {
        {"OPTIONS", "Volume_Pos=101", &TSettings::volumePos, 70},
        {"OPTIONS", "Volume_Pos=-1", &TSettings::volumePos, 70},
        {"OPTIONS", "Volume_Pos=0", &TSettings::volumePos, 0},
        {"OPTIONS", "Volume_Pos=$64", &TSettings::volumePos, 100},
        {"OPTIONS", "Volume_Pos=loud", &TSettings::volumePos, 70},
        {"OPTIONS", "Volume_Pos=50%", &TSettings::volumePos, 70},
        {"OPTIONS", "Duration_Pos=1000", &TSettings::durationPos, 5},
        {"OPTIONS", "Duration_Pos=99999999999999", &TSettings::durationPos, 5},
        {"OPTIONS", "Duration_Pos=100", &TSettings::durationPos, 100},
        {"OPTIONS", "LangComboBox=2", &TSettings::langComboBox, 0},
        {"OPTIONS", "LangComboBox=-1", &TSettings::langComboBox, 0},
        {"OPTIONS", "LangComboBox=1", &TSettings::langComboBox, 1},
        {"OPTIONS", "InstList=13", &TSettings::instList, 2},
        {"OPTIONS", "InstList=12", &TSettings::instList, 12},
        {"OPTIONS", "DeviceList=4", &TSettings::deviceList, 0},
        {"OPTIONS", "DeviceList=-1", &TSettings::deviceList, 0},
        {"OPTIONS", "DeviceList=3", &TSettings::deviceList, 3},
        {"OPTIONS", "EastWestRG=2", &TSettings::eastWestRG, 0},
        {"OPTIONS", "ActivePage=5", &TSettings::activePage, 0},
        {"OPTIONS", "ActivePage=4", &TSettings::activePage, 4},
        {"OPTIONS", "FontSize=5", &TSettings::fontSize, 5},
        {"OPTIONS", "FontSize=73", &TSettings::fontSize, 9},
        {"OPTIONS", "FontSize=0", &TSettings::fontSize, 9},
        {"OPTIONS", "FontSize=72", &TSettings::fontSize, 72},
        {"OPTIONS", "FontSize=9.5", &TSettings::fontSize, 9},
        {"POSITION", "Top=-32000", &TSettings::top, -32000}, // placed on a screen by the window
        {"POSITION", "Left=abc", &TSettings::left, 0},
        {"POSITION", "Top=2147483647", &TSettings::top, 16777216},
        {"POSITION", "Left=-2147483648", &TSettings::left, -16777216},
        {"OPTIONS", "Top=77", &TSettings::top, 0},            // wrong section
    };
    for (const auto &c : cases) {
        Write(QByteArray("[") + c.section + "]\n" + c.line + "\n");
        EXPECT_EQ(Load().*c.field, c.expected) << c.line;
    }
    Write("[OPTIONS]\nFontName=\nOptionsFlats=maybe\nOptionsSaveBMP=2\n");
    const TSettings loaded = Load();
    EXPECT_EQ(loaded.fontName, QStringLiteral("Courier New"));
    EXPECT_TRUE(loaded.optionsFlats);
    EXPECT_TRUE(loaded.optionsSaveBMP);
}

TEST_F(TSettingsFile, RadioPairsEndWithOneItemChecked)
{
    struct { const char *text; bool first, second; } cases[] = {
        {"RightHand=1\nLeftHand=1\n", false, true}, // the later item wins
        {"RightHand=0\nLeftHand=0\n", true, false}, // none checked: the current pair stays
        {"RightHand=0\nLeftHand=1\n", false, true},
        {"RightHand=1\nLeftHand=0\n", true, false},
        {"LeftHand=1\n", false, true},
        {"RightHand=0\n", true, false},
    };
    for (const auto &c : cases) {
        Write(QByteArray("[OPTIONS]\n") + c.text);
        const TSettings hands = Load();
        EXPECT_EQ(hands.rightHand, c.first) << c.text;
        EXPECT_EQ(hands.leftHand, c.second) << c.text;
        QByteArray popUp = c.text;
        popUp.replace("RightHand", "PopUpChordNormal").replace("LeftHand", "PopUpChordHigher");
        Write("[OPTIONS]\n" + popUp);
        const TSettings octave = Load();
        EXPECT_EQ(octave.popUpChordNormal, c.first) << popUp.constData();
        EXPECT_EQ(octave.popUpChordHigher, c.second) << popUp.constData();
    }
    // From a current state with the second item checked, none checked keeps that.
    Write("[OPTIONS]\nRightHand=0\nLeftHand=0\n");
    EXPECT_TRUE(Load(Changed()).leftHand);
    EXPECT_FALSE(Load(Changed()).rightHand);
}

TEST_F(TSettingsFile, DamagedFilesGiveUsableSettings)
{
    QByteArray noise(64 * 1024, '\0');
    QRandomGenerator random(20240611);
    for (char &byte : noise)
        byte = char(random.bounded(256));
    const QByteArray damaged[] = {
        noise,
        QByteArray("[OPTIONS]\nVolume_Pos=4", 22),                    // cut short after a digit
        QByteArray("[OPTIONS\nVolume_Pos=40\nInstList=\0\0\0", 35),   // unclosed header, NUL bytes
        QByteArray("\xFF\xFE[\0O\0P\0T\0", 10),                      // UTF-16 mark, truncated
        QByteArray("[OPTIONS]\n" + QByteArray(100000, '=') + "\nFontSize=10\n"),
    };
    for (const QByteArray &bytes : damaged) {
        Write(bytes);
        const TSettings s = Load();
        EXPECT_GE(s.volumePos, 0);
        EXPECT_LE(s.volumePos, 100);
        EXPECT_GE(s.instList, 0);
        EXPECT_LT(s.instList, Limits.instruments);
        EXPECT_GE(s.deviceList, 0);
        EXPECT_LT(s.deviceList, Limits.devices);
        EXPECT_GE(s.fontSize, Settings::MinFontSize);
        EXPECT_LE(s.fontSize, Settings::MaxFontSize);
        EXPECT_FALSE(s.fontName.isEmpty());
        EXPECT_NE(s.rightHand, s.leftHand);
    }
    Write(damaged[1]);
    EXPECT_EQ(Load().volumePos, 4);
    Write(damaged[4]);
    EXPECT_EQ(Load().fontSize, 10);

    // The next close heals the file.
    Write(noise);
    ASSERT_TRUE(Settings::Save(path, Changed(), false));
    EXPECT_EQ(Load(), Changed());
}

TEST_F(TSettingsFile, ReadsAFileWrittenOnWindows)
{
    QFile fixture(QStringLiteral(VX_TEST_DATA "/settings_windows1251.ini"));
    ASSERT_TRUE(fixture.open(QIODevice::ReadOnly));
    const QByteArray bytes = fixture.readAll();
    ASSERT_TRUE(bytes.contains("\r\n"));
    Write(bytes);

    TSettings expected;
    expected.top = 184;
    expected.left = 312;
    expected.volumePos = 55;
    expected.durationPos = 0;
    expected.langComboBox = 1;
    expected.instList = 8;
    expected.deviceList = 0;
    expected.eastWestRG = 1;
    expected.optionsFlats = false;
    expected.optionsShowNotes = false;
    expected.optionsShowHints = false;
    expected.optionsSaveBMP = true;
    expected.optionsTrayIcon = false;
    expected.optionsCheckText = false;
    expected.optionsShowChordName = false;
    expected.optionsAlwaysOnTop = true;
    expected.rightHand = false;
    expected.leftHand = true;
    expected.activePage = 2;
    expected.fontName = QStringLiteral("Моноширинный");
    expected.fontSize = 12;
    expected.globalShortcut = QStringLiteral("Ctrl+Alt+F10"); // honoured as written
    expected.popUpChordNormal = false;
    expected.popUpChordHigher = true;
    EXPECT_EQ(Load(), expected);

    // Nothing changed, nothing rewritten: CRLF and Windows-1251 stay.
    ASSERT_TRUE(Settings::Save(path, expected, false));
    EXPECT_EQ(Read(), bytes);
    expected.volumePos = 60;
    ASSERT_TRUE(Settings::Save(path, expected, false));
    EXPECT_EQ(Read(), QByteArray(bytes).replace("Volume_Pos=55", "Volume_Pos=60"));
}

TEST_F(TSettingsFile, KeepsWhatTheUserWroteAroundTheKeys)
{
    Write("; kept by hand\r\n"
          "[options]\r\n"
          "MyOwnKey=keep me\r\n"
          "volume_pos = 55\r\n"
          "FontName=\"Courier New\"\r\n"
          "\r\n"
          "[Extra]\r\n"
          "Anything=1\r\n");
    TSettings s = Load();
    s.volumePos = 60;
    ASSERT_TRUE(Settings::Save(path, s, false));
    const QByteArray written = Read();
    EXPECT_TRUE(written.startsWith("; kept by hand\r\n[options]\r\nMyOwnKey=keep me\r\nVolume_Pos=60\r\n"
                                   "FontName=\"Courier New\"\r\nDuration_Pos=5\r\n"))
        << written.constData();
    EXPECT_TRUE(written.contains("\r\n[Extra]\r\nAnything=1\r\n"));
    EXPECT_EQ(written.count("\n"), written.count("\r\n"));
    EXPECT_EQ(Load(), s);
}

TEST_F(TSettingsFile, KeepsTheStoredPlaceWhenAskedTo)
{
    TSettings s;
    s.top = 1;
    s.left = 2;
    Write("[POSITION]\nTop=184\nLeft= 312 \n[OPTIONS]\nVolume_Pos=10\n");
    ASSERT_TRUE(Settings::Save(path, s, true));
    EXPECT_TRUE(Read().startsWith("[POSITION]\nTop=184\nLeft= 312 \n[OPTIONS]\nVolume_Pos=70\n")) << Read().constData();

    Write("[POSITION]\nLeft=9\n");
    ASSERT_TRUE(Settings::Save(path, s, true));
    EXPECT_TRUE(Read().startsWith("[POSITION]\nLeft=9\n\n[OPTIONS]\n")) << Read().constData();

    QFile::remove(path);
    ASSERT_TRUE(Settings::Save(path, s, true));
    EXPECT_TRUE(Read().startsWith("[OPTIONS]\n")) << Read().constData();
    EXPECT_EQ(Load(Changed()).top, Changed().top);

    ASSERT_TRUE(Settings::Save(path, s, false));
    EXPECT_TRUE(Read().contains("\n[POSITION]\nTop=1\nLeft=2\n")) << Read().constData();
}

TEST_F(TSettingsFile, AnUnwritableFolderLeavesNothingBehind)
{
    const QString missing = dir.filePath(QStringLiteral("no such folder/veltrasomin_settings.ini"));
    EXPECT_FALSE(Settings::Save(missing, Changed(), false));
    EXPECT_FALSE(QFile::exists(missing));

    // A failed save keeps the old file whole: a folder in the file's place cannot be replaced.
    Write("[OPTIONS]\nVolume_Pos=33\n");
    const QString blocked = dir.filePath(QStringLiteral("blocked.ini"));
    ASSERT_TRUE(QDir().mkpath(blocked));
    EXPECT_FALSE(Settings::Save(blocked, Changed(), false));
    EXPECT_EQ(Load().volumePos, 33);
}

TEST(SettingsPlaceTest, PutsTheWindowWhereItCanBeReached)
{
    const QList<QRect> one = {QRect(0, 0, 1920, 1080)};
    const QList<QRect> two = {QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 1024)};
    const QSize size(800, 600);
    struct { QList<QRect> screens; QPoint stored; QSize size; QPoint expected; } cases[] = {
        {one, {100, 100}, size, {100, 100}},
        {one, {3000, 100}, size, {1120, 100}},       // the screen once to the right is gone
        {one, {-700, 50}, size, {-700, 50}},         // 100 pixels of title still on screen
        {one, {-701, 50}, size, {0, 50}},
        {one, {100, -20}, size, {100, -20}},         // ten pixels of title still on screen
        {one, {100, -21}, size, {100, 0}},
        {one, {100, 1075}, size, {100, 480}},
        {one, {-5000, -5000}, QSize(2500, 1500), {0, 0}}, // larger than the screen
        {two, {2000, 500}, size, {2000, 500}},
        {two, {2000, 1050}, size, {2000, 424}},      // below the smaller screen: onto it
        {two, {5000, 300}, size, {2400, 300}},
        {{}, {-9000, 9000}, size, {-9000, 9000}},    // no screens known: nothing to measure
        {one, {2147483647, -2147483647 - 1}, size, {1120, 0}},
        {one, {-2147483647 - 1, 2147483647}, QSize(2147483647, 2147483647), {0, 0}},
        {{}, {2147483647, 0}, size, {16777216, 0}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(Settings::VisiblePosition(c.stored, c.size, c.screens), c.expected)
            << c.stored.x() << "," << c.stored.y();
}

} // namespace
