// The stored byte form of the translation data: sections of lines in UTF-16LE (older data: 8-bit).
#include "lang/lcComp.h"

#include "lang/MemIni.h"
#include "platform/text/AnsiText.h"

#include <array>

namespace {

const QChar StoredCR{char16_t(25)};
const QChar StoredLF{char16_t(26)};
const QString UnicodeSuffix = QStringLiteral("_Unicode");

void AppendUtf16(QByteArray &out, const QString &text)
{
    out.reserve(out.size() + text.size() * 2);
    for (QChar c : text) {
        out.append(char(c.unicode() & 0xFF));
        out.append(char(c.unicode() >> 8));
    }
}

// The type a header names, or -1; unicode tells which of the two spellings it was. Asked of every
// line of the data, so the names are made once.
int HeaderType(const QString &line, bool &unicode)
{
    static const std::array<QString, StringsTypeCount> names = [] {
        std::array<QString, StringsTypeCount> made;
        for (int type = 0; type < StringsTypeCount; ++type)
            made[size_t(type)] = StringsTypeName(type);
        return made;
    }();
    const QStringView text(line);
    for (int type = 0; type < StringsTypeCount; ++type)
        if (text.compare(names[size_t(type)], Qt::CaseInsensitive) == 0) {
            unicode = false;
            return type;
        }
    if (!text.endsWith(UnicodeSuffix, Qt::CaseInsensitive))
        return -1;
    const QStringView stem = text.chopped(UnicodeSuffix.size());
    for (int type = 0; type < StringsTypeCount; ++type)
        if (stem.compare(names[size_t(type)], Qt::CaseInsensitive) == 0) {
            unicode = true;
            return type;
        }
    return -1;
}

} // namespace

namespace lcStream {

QByteArray WriteTranslationData(const TLists &lists)
{
    QByteArray out;
    for (int type = 0; type < StringsTypeCount; ++type) {
        const QStringList *list = lists[size_t(type)];
        if (!list)
            continue;
        AppendUtf16(out, StringsTypeName(type) + UnicodeSuffix + QStringLiteral("\r\n"));
        QString text;
        for (QString line : *list) {
            line.replace(QLatin1Char('\r'), StoredCR);
            line.replace(QLatin1Char('\n'), StoredLF);
            text += line + QStringLiteral("\r\n");
        }
        if (!text.isEmpty())
            AppendUtf16(out, text);
    }
    return out;
}

} // namespace lcStream

QByteArray TlcCustomLang::WriteTranslationData() const
{
    lcStream::TLists lists{};
    for (int type = 0; type < StringsTypeCount; ++type)
        lists[size_t(type)] = GetStringsList(type);
    return lcStream::WriteTranslationData(lists);
}

bool TlcCustomLang::ReadTranslationData(const QByteArray &data)
{
    QString text;
    const bool wide = data.size() >= 2 && data[1] == '\0';
    if (wide) {
        text.resize(data.size() / 2);
        for (qsizetype i = 0; i < text.size(); ++i)
            text[i] = QChar(char16_t(uchar(data[2 * i]) | (uchar(data[2 * i + 1]) << 8)));
    } else if (data.size() >= 2) {
        // Kept byte for byte here; each language's own code page decodes it below.
        text = QString::fromLatin1(data);
    }
    const QStringList lines = SplitIniLines(text);
    bool unicodeSeen = false;
    // Only the lists the data names are decoded below: the others keep their texts untouched.
    std::array<bool, StringsTypeCount> named{};
    const QString ownerPrefix = FOwner ? OwnerClassName() + Delim() : QString();
    qsizetype i = 0;
    while (i < lines.size()) {
        bool unicode = false;
        const int type = HeaderType(lines[i], unicode);
        if (type < 0 || i == lines.size() - 1) {
            ++i;
            continue;
        }
        unicodeSeen = unicodeSeen || unicode;
        ++i;
        QStringList *list = GetStringsList(type);
        // Only a running inherited form adds to what its ancestor's data left; the designer and a
        // component read for its lists take the data as the whole list.
        const bool merge = FIsInheritedOwner && !FTemporary;
        if (list && (!merge || FDesigning))
            list->clear();
        if (list && !named[size_t(type)] && !wide) {
            // Held lines join 8-bit data as their bytes in the default code page, so that they are
            // decoded with the data's lines and come back as they were.
            for (QString &line : *list)
                line = QString::fromLatin1(AnsiText::ToWindows1251(line));
        }
        if (list)
            named[size_t(type)] = true;
        for (; i < lines.size(); ++i) {
            bool ignored = false;
            if (HeaderType(lines[i], ignored) >= 0)
                break;
            if (!list)
                continue;
            QString line = lines[i];
            line.replace(StoredCR, QLatin1Char('\r'));
            line.replace(StoredLF, QLatin1Char('\n'));
            const bool ownerLine = !ownerPrefix.isEmpty() && line.startsWith(ownerPrefix);
            if (merge) {
                const int k = lcText::FindKeyIndex(*list, line, Delim());
                if (k < 0) {
                    list->insert(ownerLine ? 0 : list->size(), line);
                } else {
                    const QString merged = lcText::MergeLines((*list)[k], line, Delim());
                    list->removeAt(k);
                    list->insert(k, merged);
                }
            } else {
                list->insert(ownerLine ? 0 : list->size(), line);
            }
        }
    }
    RefreshCharSets();
    if (wide)
        return false;
    for (int type = 0; type < StringsTypeCount; ++type) {
        QStringList *list = GetStringsList(type);
        if (!list || !named[size_t(type)])
            continue;
        const bool perLanguage = !unicodeSeen && type != stFonts && type != stCharSets;
        for (QString &line : *list)
            line = perLanguage ? DecodeLine(line) : AnsiText::FromWindows1251(line.toLatin1());
    }
    return !unicodeSeen;
}

namespace {

// The fields of a line, each ended by the delimiter, in one pass: looking each language up from
// the start of the line took the languages times the line, minutes for a long line of many.
// Text after the last delimiter is no field.
struct TFields
{
    QStringList parts;
    TFields(const QString &line, QChar delim) : parts(line.split(delim)) {}
    QString operator[](int k) const { return k < parts.size() - 1 ? parts[k] : QString(); }
};

} // namespace

QString TlcCustomLang::DecodeLine(const QString &line) const
{
    QString bytes = line;
    bytes.remove(QChar(0));
    const TFields fields(bytes, Delim());
    QString result = AnsiText::FromWindows1251(fields[0].toLatin1()) + Delim();
    for (int k = 1; k <= FNumOfLanguages; ++k) {
        const QByteArray field = fields[k].toLatin1();
        const int charSet = k - 1 < int(FCharSetTable.size()) ? FCharSetTable[size_t(k - 1)] : 1;
        result += (FStoreAsUTF8 ? lcCharSets::UTF8BytesToText(field)
                                : lcCharSets::StringToWideWithCharSet(field, charSet)) +
                  Delim();
    }
    return result;
}

QByteArray TlcCustomLang::EncodeLine(const QString &line) const
{
    const char delim = char(FLangDelim);
    const TFields fields(line, Delim());
    QByteArray result = AnsiText::ToWindows1251(fields[0]) + delim;
    for (int k = 1; k <= FNumOfLanguages; ++k) {
        const QString field = fields[k];
        const int charSet = k - 1 < int(FCharSetTable.size()) ? FCharSetTable[size_t(k - 1)] : 1;
        result += (FStoreAsUTF8 ? lcCharSets::TextToUTF8Bytes(field)
                                : lcCharSets::WideToStringWithCharSet(field, charSet)) +
                  delim;
    }
    return result;
}
