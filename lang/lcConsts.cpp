#include "lang/lcConsts.h"

namespace lcConsts {

const QStringList &LangClassNames()
{
    static const QStringList names = {QStringLiteral("TlcLang"), QStringLiteral("TlcLangLinked"),
                                      QStringLiteral("TlcLangRT"), QStringLiteral("TlcLangRTSE"),
                                      QStringLiteral("TlcLangTLV")};
    return names;
}

const QStringList &LookupFunctionPrefixes()
{
    static const QStringList prefixes = {QStringLiteral("GetText("),  QStringLiteral("GetTextOrDefault("),
                                         QStringLiteral("GetTextC("), QStringLiteral("GetTextOrDefaultC("),
                                         QStringLiteral("GetTextW("), QStringLiteral("GetTextOrDefaultW(")};
    return prefixes;
}

} // namespace lcConsts
