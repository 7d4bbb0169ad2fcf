#pragma once
// Names the localization engine recognises in other code: its component classes and the calls
// through which a program asks for a message.
#include <QString>
#include <QStringList>

namespace lcConsts {

// "TlcLang", "TlcLangLinked", "TlcLangRT", "TlcLangRTSE", "TlcLangTLV".
const QStringList &LangClassNames();
inline int LangClassCount() { return int(LangClassNames().size()); }

// "GetText(", "GetTextOrDefault(", "GetTextC(", "GetTextOrDefaultC(", "GetTextW(",
// "GetTextOrDefaultW(".
const QStringList &LookupFunctionPrefixes();

// The version every component reports and writes.
inline const QString Version = QStringLiteral("6.5.0.2");

} // namespace lcConsts
