// Reading binary translation files and the component images inside them.
#include "lang/lcLcb.h"

#include "lang/lcComp.h"
#include "platform/text/AnsiText.h"

#include <QtEndian>

namespace {

const QString BadFormat = QStringLiteral("Unrecognized stream format!");
const QString ReadError = QStringLiteral("Stream read error");

// The value tags of the class library's component stream.
enum TValueType : uchar {
    vaNull, vaList, vaInt8, vaInt16, vaInt32, vaExtended, vaString, vaIdent, vaFalse, vaTrue, vaBinary, vaSet,
    vaLString, vaNil, vaCollection, vaSingle, vaCurrency, vaDate, vaWString, vaInt64, vaUTF8String, vaDouble,
};

constexpr int MaxDepth = 16;
// Items of one list, set or collection. A form's translation component holds a few hundred; an
// item can be a single byte in the file yet takes a hundred in memory, so a 64 MiB file of nothing
// else would take gigabytes.
constexpr qsizetype MaxItems = 65536;

void CheckItemCount(qsizetype count)
{
    if (count >= MaxItems)
        throw ElcException(BadFormat);
}

struct TValue
{
    uchar type = vaNull;
    qint64 integer = 0;
    QString text;
    QByteArray bytes;
    QStringList strings; // the texts of a list of strings
};

// A cursor over untrusted bytes: every read is checked against what is left.
class TReader
{
public:
    TReader(const QByteArray &data, qsizetype pos) : FData(data), FPos(pos) {}
    qsizetype Pos() const { return FPos; }
    qsizetype Left() const { return FData.size() - FPos; }
    void Need(qsizetype count) const
    {
        if (count < 0 || count > Left())
            throw ElcException(ReadError);
    }
    uchar Byte()
    {
        Need(1);
        return uchar(FData[FPos++]);
    }
    uchar Peek() const
    {
        Need(1);
        return uchar(FData[FPos]);
    }
    QByteArray Bytes(qsizetype count)
    {
        Need(count);
        const QByteArray result = FData.mid(FPos, count);
        FPos += count;
        return result;
    }
    quint16 U16()
    {
        const QByteArray b = Bytes(2);
        return qFromLittleEndian<quint16>(b.constData());
    }
    qint32 I32()
    {
        const QByteArray b = Bytes(4);
        return qFromLittleEndian<qint32>(b.constData());
    }
    // A length-prefixed 8-bit text in the system code page.
    QString ShortString() { return AnsiText::FromWindows1251(Bytes(Byte())); }
    qsizetype Length32()
    {
        const qint32 length = I32();
        Need(length);
        return length;
    }

private:
    const QByteArray &FData;
    qsizetype FPos;
};

void ReadProperties(TReader &reader, int depth, const std::function<void(const QString &, TValue &)> &take);

TValue ReadValue(TReader &reader, int depth)
{
    if (depth > MaxDepth)
        throw ElcException(BadFormat);
    TValue value;
    value.type = reader.Byte();
    switch (value.type) {
    case vaNull:
    case vaFalse:
    case vaTrue:
    case vaNil: break;
    case vaList:
        while (reader.Peek() != vaNull) {
            CheckItemCount(value.strings.size());
            const TValue item = ReadValue(reader, depth + 1);
            value.strings.append(item.text);
        }
        reader.Byte();
        break;
    case vaInt8: value.integer = qint8(reader.Byte()); break;
    case vaInt16: value.integer = qint16(reader.U16()); break;
    case vaInt32: value.integer = reader.I32(); break;
    case vaExtended: reader.Bytes(10); break;
    case vaString:
    case vaIdent:
        value.bytes = reader.Bytes(reader.Byte());
        value.text = AnsiText::FromWindows1251(value.bytes);
        break;
    case vaBinary: value.bytes = reader.Bytes(reader.Length32()); break;
    case vaSet:
        for (QString name = reader.ShortString(); !name.isEmpty(); name = reader.ShortString()) {
            CheckItemCount(value.strings.size());
            value.strings.append(name);
        }
        break;
    case vaLString:
        value.bytes = reader.Bytes(reader.Length32());
        value.text = AnsiText::FromWindows1251(value.bytes);
        break;
    case vaCollection:
        while (reader.Peek() != vaNull) {
            CheckItemCount(value.strings.size());
            const uchar tag = reader.Peek();
            if (tag == vaInt8 || tag == vaInt16 || tag == vaInt32)
                ReadValue(reader, depth + 1); // the item's order number
            if (reader.Byte() != vaList)
                throw ElcException(BadFormat);
            ReadProperties(reader, depth + 1, [&](const QString &, TValue &) {});
            value.strings.append(QString());
        }
        reader.Byte();
        break;
    case vaSingle: reader.Bytes(4); break;
    case vaCurrency:
    case vaDate:
    case vaDouble: reader.Bytes(8); break;
    case vaWString: {
        const qint32 count = reader.I32();
        if (count < 0 || count > reader.Left() / 2)
            throw ElcException(ReadError);
        const QByteArray raw = reader.Bytes(qsizetype(count) * 2);
        value.text.resize(count);
        for (qint32 i = 0; i < count; ++i)
            value.text[i] = QChar(char16_t(uchar(raw[2 * i]) | (uchar(raw[2 * i + 1]) << 8)));
        break;
    }
    case vaInt64: {
        const QByteArray b = reader.Bytes(8);
        value.integer = qFromLittleEndian<qint64>(b.constData());
        break;
    }
    case vaUTF8String: value.text = QString::fromUtf8(reader.Bytes(reader.Length32())); break;
    default: throw ElcException(BadFormat);
    }
    return value;
}

void ReadProperties(TReader &reader, int depth, const std::function<void(const QString &, TValue &)> &take)
{
    while (reader.Peek() != vaNull) {
        const QString name = reader.ShortString();
        if (name.isEmpty())
            throw ElcException(BadFormat);
        TValue value = ReadValue(reader, depth);
        take(name, value);
    }
    reader.Byte();
}

// The items of the ExtendedTranslations collection, read property by property.
void ReadExtendedItems(TReader &reader, TLcbImage &image)
{
    if (reader.Byte() != vaCollection)
        throw ElcException(BadFormat);
    while (reader.Peek() != vaNull) {
        CheckItemCount(qsizetype(image.ExtendedTranslations.size()));
        const uchar tag = reader.Peek();
        if (tag == vaInt8 || tag == vaInt16 || tag == vaInt32)
            ReadValue(reader, 1);
        if (reader.Byte() != vaList)
            throw ElcException(BadFormat);
        TLcbImage::TItem item;
        ReadProperties(reader, 2, [&](const QString &name, TValue &value) {
            if (name.compare(QLatin1String("Identifier"), Qt::CaseInsensitive) == 0)
                item.Identifier = value.text;
            else if (name.compare(QLatin1String("PropertyType"), Qt::CaseInsensitive) == 0)
                item.PropertyType = std::max(0, TypeKindFromName(value.text));
            else if (name.compare(QLatin1String("ValuesEx"), Qt::CaseInsensitive) == 0) {
                item.Values = ReadValuesEx(value.type == vaBinary ? value.bytes : QByteArray(), &item.EightBitValues);
                item.OlderValuesEx = !item.EightBitValues.isEmpty();
            } else if (name.compare(QLatin1String("Values"), Qt::CaseInsensitive) == 0) {
                item.Values = value.text;
                item.EightBitValues = value.type == vaString || value.type == vaLString ? value.bytes : QByteArray();
                item.OlderValuesEx = false;
            }
        });
        image.ExtendedTranslations.push_back(item);
    }
    reader.Byte();
}

} // namespace

QString ReadValuesEx(const QByteArray &bytes, QByteArray *eightBit)
{
    if (eightBit)
        eightBit->clear();
    if (bytes.isEmpty())
        return {};
    QString text((bytes.size() + 1) / 2, QChar(0));
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char16_t part = char16_t(uchar(bytes[i]) << ((i % 2) * 8));
        text[i / 2] = QChar(char16_t(text[i / 2].unicode() | part));
    }
    static const QString signature = QString(QChar(0x044F)) + QChar(0x044E);
    if (text.startsWith(signature))
        return text.mid(2);
    // The older form: the characters' bytes, zero bytes dropped, in the system code page.
    QByteArray narrow;
    for (QChar c : text) {
        if (c.unicode() & 0xFF)
            narrow.append(char(c.unicode() & 0xFF));
        if (c.unicode() >> 8)
            narrow.append(char(c.unicode() >> 8));
    }
    if (eightBit)
        *eightBit = narrow;
    return AnsiText::FromWindows1251(narrow);
}

TLcbImage ReadLcbComponent(const QByteArray &data, qsizetype offset)
{
    if (offset < 0 || offset > data.size())
        throw ElcException(ReadError);
    TReader reader(data, offset);
    if (reader.Bytes(4) != "TPF0")
        throw ElcException(BadFormat);
    TLcbImage image;
    uchar prefix = reader.Peek();
    if ((prefix & 0xF0) == 0xF0) {
        reader.Byte();
        if (prefix & 0x02)
            ReadValue(reader, 1); // position among the parent's children
    }
    image.ClassName = reader.ShortString();
    image.Name = reader.ShortString();
    while (reader.Peek() != vaNull) {
        const QString name = reader.ShortString();
        if (name.isEmpty())
            throw ElcException(BadFormat);
        if (name.compare(QLatin1String("ExtendedTranslations"), Qt::CaseInsensitive) == 0) {
            ReadExtendedItems(reader, image);
            continue;
        }
        const TValue value = ReadValue(reader, 1);
        auto is = [&](const char *property) { return name.compare(QLatin1String(property), Qt::CaseInsensitive) == 0; };
        const bool integer = value.type == vaInt8 || value.type == vaInt16 || value.type == vaInt32;
        if (is("NumOfLanguages") && integer)
            image.NumOfLanguages = int(std::clamp<qint64>(value.integer, 1, 4096));
        else if (is("ActiveLanguage") && integer)
            image.ActiveLanguage = int(std::clamp<qint64>(value.integer, 1, 4096));
        else if (is("LangDelim") && integer)
            image.LangDelim = int(value.integer & 0xFF);
        else if (is("StoreAsUTF8"))
            image.StoreAsUTF8 = value.type == vaTrue;
        else if ((is("LangNames.Strings") || is("LangNames")) && value.type == vaList) {
            image.LangNames = value.strings;
            image.HasLangNames = true;
        } else if (is("Language"))
            image.Language = value.text;
        else if (is("TranslationData") && value.type == vaBinary)
            image.TranslationData = value.bytes;
    }
    reader.Byte();
    // A translation component owns no components; anything else is not one of ours.
    if (reader.Byte() != vaNull)
        throw ElcException(BadFormat);
    return image;
}

TLCBFileManager::TLCBFileManager() : FHeader(HeaderText()) {}

const QByteArray &TLCBFileManager::HeaderText()
{
    static const QByteArray header = QByteArray("LCB file: TlcLang binary translation data") + '\0';
    return header;
}

void TLCBFileManager::AssignTo(TLCBFileManager &dest) const
{
    dest.FHeader = FHeader;
    dest.FNamesBlock = FNamesBlock;
    dest.Names = Names;
    dest.Text = Text;
}

void TLCBFileManager::LoadLCBFile(TlcCustomLang *component, const QString &ownerClassName, const QString &fileName)
{
    LoadLCBStream(component, ownerClassName, lcText::ReadFileWhole(fileName));
}

void TLCBFileManager::LoadLCBStream(TlcCustomLang *component, const QString &ownerClassName, const QByteArray &stream)
{
    QByteArray header;
    qsizetype pos = 0;
    while (pos < stream.size() - 2) {
        header.append(stream[pos++]);
        if (header.endsWith('\0'))
            break;
    }
    if (header != FHeader)
        throw ElcException(BadFormat);
    TReader reader(stream, pos);
    const quint16 count = reader.U16();
    const quint16 namesLength = reader.U16();
    FNamesBlock.clear();
    if (namesLength > 0) {
        const QStringList names = AnsiText::FromWindows1251(reader.Bytes(namesLength)).split(QStringLiteral("\r\n"));
        for (const QString &name : names)
            if (!FNamesBlock.contains(name))
                FNamesBlock.append(name);
        FNamesBlock.sort(Qt::CaseInsensitive);
    }
    qint64 offset = -1;
    for (int entry = 0; entry < count && offset < 0; ++entry) {
        const QString name = AnsiText::FromWindows1251(reader.Bytes(reader.U16()));
        const quint32 at = quint32(reader.I32());
        if (name == ownerClassName)
            offset = at;
    }
    if (offset < 0 || !component)
        return;
    if (offset >= stream.size())
        throw ElcException(ReadError);
    const TLcbImage image = ReadLcbComponent(stream, qsizetype(offset));

    // The image is read into a throw-away component first, so a fault leaves the target whole.
    std::unique_ptr<TlcLang> temp = TlcCustomLang::CreateTemporary(component->Owner());
    TlcCustomLang &t = *temp;
    t.FLoading = true;
    t.FNumOfLanguages = image.NumOfLanguages;
    t.FLangDelim = image.LangDelim;
    t.FStoreAsUTF8 = image.StoreAsUTF8;
    if (image.HasLangNames)
        t.FLangNames = image.LangNames;
    while (t.FLangNames.size() < t.FNumOfLanguages)
        t.FLangNames.append(QStringLiteral("Language N%1").arg(t.FLangNames.size() + 1));
    t.FActiveLanguage = std::min(image.ActiveLanguage, t.FNumOfLanguages);
    if (!image.Language.isEmpty())
        t.SetLanguage(image.Language);
    const bool eightBitData = t.ReadTranslationData(image.TranslationData);
    // Item texts kept in 8 bits are in each language's own code page, as the lines of 8-bit data are.
    std::vector<QString> values;
    for (const TLcbImage::TItem &item : image.ExtendedTranslations)
        values.push_back(item.OlderValuesEx || (eightBitData && !item.EightBitValues.isEmpty())
                             ? t.DecodeLine(QLatin1Char(' ') + t.Delim() + QString::fromLatin1(item.EightBitValues)).mid(2)
                             : item.Values);
    t.FLoading = false;
    component->FStoreAsUTF8 = t.FStoreAsUTF8;
    if (t.FLangDelim != component->FLangDelim)
        t.SetLangDelim(component->FLangDelim);
    const QString ownerPrefix = component->Owner() ? component->OwnerClassName() + component->Delim() : QString();
    for (int type = 0; type < StringsTypeCount; ++type) {
        QStringList *target = component->GetStringsList(type);
        const QStringList *source = t.GetStringsList(type);
        if (!target || !source)
            continue;
        *target = *source;
        if ((type == stCaptions || type == stHints || type == stFonts || type == stCharSets) && !ownerPrefix.isEmpty())
            for (qsizetype i = 1; i < target->size(); ++i)
                if ((*target)[i].startsWith(ownerPrefix)) {
                    target->move(i, 0);
                    break;
                }
    }
    component->SetLangNames(t.FLangNames);
    component->FExtended.Clear();
    for (size_t i = 0; i < image.ExtendedTranslations.size(); ++i) {
        const TLcbImage::TItem &item = image.ExtendedTranslations[i];
        TlcExtendedItem &added = component->FExtended.Add();
        added.SetIdentifier(item.Identifier);
        added.PropertyType = component->GetPropertyKind(item.Identifier);
        added.Values = values[i];
        if (image.LangDelim != component->FLangDelim)
            added.Values.replace(QChar(char16_t(image.LangDelim)), component->Delim());
    }
}
