// The text helpers of the localization engine over any text: comma text read back gives the
// same items and a list written as comma text reads back to itself; delimited fields put back
// together give the line.
#include "FuzzSupport.h"

#include "lang/MemIni.h"
#include "lang/lcComp.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    TFuzzInput input(data, size);
    const QChar delim(char16_t(input.Byte() % 4 + 1));
    QStringList list;
    for (int i = 0; i < 16 && input.Remaining() > 0; ++i)
        list.append(input.TextField());
    const QString text = list.join(QString());

    const QStringList items = lcText::FromCommaText(text);
    VX_CHECK(lcText::FromCommaText(lcText::CommaText(items)) == items);
    VX_CHECK(lcText::FromCommaText(lcText::CommaText(list)) == list);

    const int fields = lcText::CountChar(text, delim);
    QString joined;
    for (int n = 0; n < fields; ++n)
        joined += GetDelimitedItem(text, delim, n) + delim;
    VX_CHECK(text.startsWith(joined));
    VX_CHECK(GetDelimitedItem(text, delim, fields).isEmpty());

    VX_CHECK(lcText::DecodeEscapes(text).size() <= text.size());
    VX_CHECK(lcText::JoinText(lcText::SplitText(text + delim, delim), delim, false) == text + delim);
    return 0;
}
