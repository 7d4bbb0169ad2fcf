// The profile-file reader over any bytes: every key it lists reads back, and a value written
// to the file reads back while every other key keeps its value.
#include "FuzzSupport.h"

#include "platform/ini/IniFile.h"

#include <QHash>
#include <QPair>
#include <algorithm>

namespace {

bool Writable(const QString &section, const QString &key, const QString &value)
{
    const auto oneLine = [](const QString &s) { return !s.contains(QLatin1Char('\n')) && !s.contains(QLatin1Char('\r')); };
    const QString k = key.trimmed();
    const bool quoted = value.size() >= 2 && (value.front() == QLatin1Char('"') || value.front() == QLatin1Char('\'')) &&
                        value.back() == value.front();
    return oneLine(section) && oneLine(key) && oneLine(value) && !section.contains(QLatin1Char(']')) &&
           !section.trimmed().isEmpty() && !k.isEmpty() && !k.startsWith(QLatin1Char('[')) &&
           !key.contains(QLatin1Char('=')) && value == value.trimmed() && !quoted;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    TFuzzInput input(data, size);
    const QString section = input.TextField();
    const QString key = input.TextField();
    const QString value = input.TextField();
    const QString fileName = FuzzFile(QStringLiteral("profile.ini"), input.Rest());

    QHash<QPair<QString, QString>, QString> before;
    {
        const TIniFile ini(fileName);
        const QStringList sections = ini.ReadSections();
        for (const QString &s : sections) {
            VX_CHECK(ini.SectionExists(s));
            for (const QString &k : ini.ReadSection(s)) {
                VX_CHECK(ini.ValueExists(s, k));
                const QString v = ini.ReadString(s, k, QStringLiteral("\x01missing"));
                VX_CHECK(v != QStringLiteral("\x01missing"));
                // Letter case never matters for names.
                const auto ascii = [](const QString &t) { return std::all_of(t.cbegin(), t.cend(), [](QChar c) { return c.unicode() < 128; }); };
                if (ascii(s) && ascii(k))
                    VX_CHECK(ini.ReadString(s.toUpper(), k.toUpper(), QString()) == v);
                if (!before.contains({s.toLower(), k.toLower()}))
                    before.insert({s.toLower(), k.toLower()}, v);
                ini.ReadInteger(s, k, 0);
                ini.ReadBool(s, k, false);
            }
        }
    }
    // Writing back a value the file holds leaves every byte of it as it was.
    if (!before.isEmpty()) {
        QFile file(fileName);
        VX_CHECK(file.open(QIODevice::ReadOnly));
        const QByteArray original = file.readAll();
        file.close();
        TIniFile ini(fileName);
        const auto first = before.cbegin();
        VX_CHECK(ini.WriteString(first.key().first, first.key().second, first.value()));
        VX_CHECK(file.open(QIODevice::ReadOnly));
        VX_CHECK(file.readAll() == original);
    }
    if (!Writable(section, key, value))
        return 0;

    TIniFile ini(fileName);
    VX_CHECK(ini.WriteString(section, key, value));
    VX_CHECK(ini.ReadString(section, key, QStringLiteral("\x01missing")) == value);
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        if (it.key().first == section.trimmed().toLower() && it.key().second == key.trimmed().toLower())
            continue;
        VX_CHECK(ini.ReadString(it.key().first, it.key().second, QString()) == it.value());
    }
    const int number = int(qHash(value) & 0x7FFFFFFF) - 0x40000000;
    VX_CHECK(ini.WriteInteger(section, key, number));
    VX_CHECK(ini.ReadInteger(section, key, number + 1) == number);
    VX_CHECK(ini.WriteBool(section, key, true));
    VX_CHECK(ini.ReadBool(section, key, false));
    return 0;
}
