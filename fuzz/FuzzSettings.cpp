// The settings file over any bytes: whatever it holds, every option read lies in its control's
// range, and the settings written back read back unchanged.
#include "FuzzSupport.h"

#include "app/core/Settings.h"
#include "platform/ini/IniFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString fileName = FuzzFile(QStringLiteral("veltrasomin_settings.ini"), QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    const Settings::TLimits limits;
    const Settings::TSettings defaults;
    const Settings::TSettings read = Settings::Load(TIniFile(fileName), defaults, limits);

    VX_CHECK(read.volumePos >= 0 && read.volumePos <= Settings::MaxTrackBarPosition);
    VX_CHECK(read.durationPos >= 0 && read.durationPos <= Settings::MaxTrackBarPosition);
    VX_CHECK(read.langComboBox >= 0 && read.langComboBox < limits.languages);
    VX_CHECK(read.instList >= 0 && read.instList < limits.instruments);
    VX_CHECK(read.deviceList >= 0 && read.deviceList < limits.devices);
    VX_CHECK(read.eastWestRG == 0 || read.eastWestRG == 1);
    VX_CHECK(read.activePage >= 0 && read.activePage < limits.pages);
    VX_CHECK(read.fontSize >= Settings::MinFontSize && read.fontSize <= Settings::MaxFontSize);
    VX_CHECK(!read.fontName.isEmpty());
    VX_CHECK(read.rightHand != read.leftHand);
    VX_CHECK(read.popUpChordNormal != read.popUpChordHigher);

    // A value is one trimmed line; what cannot be stored so is not expected back.
    Settings::TSettings expected = read;
    for (QString *text : {&expected.fontName, &expected.globalShortcut}) {
        text->replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
        *text = text->trimmed();
        if (text->size() >= 2 && (text->front() == QLatin1Char('"') || text->front() == QLatin1Char('\'')) &&
            text->back() == text->front())
            return 0;
    }
    if (expected.fontName.isEmpty())
        return 0;
    VX_CHECK(Settings::Save(fileName, read, false));
    const Settings::TSettings again = Settings::Load(TIniFile(fileName), Settings::TSettings(), limits);
    VX_CHECK(again == expected);

    // Keeping the position keeps what the file held.
    VX_CHECK(Settings::Save(fileName, defaults, true));
    const Settings::TSettings kept = Settings::Load(TIniFile(fileName), Settings::TSettings(), limits);
    VX_CHECK(kept.top == read.top && kept.left == read.left);
    return 0;
}
