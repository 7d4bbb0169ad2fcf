// The in-memory INI of the translation text files over any bytes: its written form reads back
// to itself, a value written reads back, and an integer written reads back.
#include "FuzzSupport.h"

#include "lang/MemIni.h"

#include <QBuffer>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    TFuzzInput input(data, size);
    const QString section = input.TextField();
    const QString key = input.TextField();
    const QString value = input.TextField();
    const int number = int(uint32_t(input.Byte()) << 24 | uint32_t(input.Byte()) << 16 | uint32_t(input.Byte()) << 8 | input.Byte());
    QByteArray bytes = input.Rest();
    QBuffer buffer(&bytes);
    VX_CHECK(buffer.open(QIODevice::ReadOnly));

    TlcMemIniFile ini;
    ini.ReadFromStream(buffer);
    QStringList written;
    ini.GetStrings(written);
    // Keys of equal names come out latest first, so each reading turns their order round: two
    // readings give the written form back.
    const auto reread = [](const QStringList &lines) {
        TlcMemIniFile copy;
        copy.SetStrings(lines);
        QStringList result;
        copy.GetStrings(result);
        return result;
    };
    const QStringList rewritten = reread(written);
    VX_CHECK(rewritten.size() == written.size());
    VX_CHECK(reread(rewritten) == written);

    QStringList sections;
    ini.ReadSections(sections);
    for (const QString &s : sections) {
        QStringList names;
        QStringList values;
        ini.ReadSection(s, names);
        ini.ReadSectionValues(s, values);
        VX_CHECK(names.size() == values.size());
        for (const QString &name : names)
            ini.ReadInteger(s, name, 0);
    }

    // Names hold no "=" and start no comment; a section name is one line.
    if (key.contains(QLatin1Char('=')) || key.startsWith(QLatin1Char(';')) || section.contains(QLatin1Char('\n')))
        return 0;
    ini.WriteString(section, key, value);
    VX_CHECK(ini.ReadString(section, key, QStringLiteral("\x01missing")) == value);
    ini.WriteInteger(section, key, number);
    VX_CHECK(ini.ReadInteger(section, key, number ^ 1) == number);
    ini.WriteBool(section, key, false);
    VX_CHECK(!ini.ReadBool(section, key, true));
    // Equal names are all kept, the file's duplicates among them.
    for (int i = 0; i <= written.size(); ++i)
        ini.DeleteKey(section, key);
    VX_CHECK(ini.ReadString(section, key, QStringLiteral("\x01missing")) == QStringLiteral("\x01missing"));
    ini.EraseSection(section);
    VX_CHECK(!ini.SectionExists(section));
    return 0;
}
