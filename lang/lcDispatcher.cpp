#include "lang/lcDispatcher.h"

#include "lang/lcLcb.h"

#include <QFileInfo>

TlcLangDispatcher::TlcLangDispatcher(QObject *owner) : QObject(owner)
{
    FLanguage.clear();
}

TlcLangDispatcher::~TlcLangDispatcher()
{
    while (!FLinked.empty()) {
        TlcCustomLang *lang = FLinked.back();
        FLinked.pop_back();
        if (lang->FDispatcher == this)
            lang->FDispatcher = nullptr;
    }
}

void TlcLangDispatcher::Unlink(TlcCustomLang *lang)
{
    const auto at = std::find(FLinked.begin(), FLinked.end(), lang);
    if (at != FLinked.end())
        FLinked.erase(at);
    if (lang && lang->FDispatcher == this)
        lang->FDispatcher = nullptr;
}

void TlcLangDispatcher::Link(TlcCustomLang *lang)
{
    if (!lang || std::find(FLinked.begin(), FLinked.end(), lang) != FLinked.end())
        return;
    FLinked.push_back(lang);
    lang->FDispatcher = this;
    lang->SetNumOfLanguages(FNumOfLanguages);
    lang->FLangNames = FLangNames;
    lang->FLanguage = FLanguage;
    if (Designing) {
        lang->SetActiveLanguage(FActiveLanguage);
        lang->RefreshCharSets();
        return;
    }
    if (OnLinkToDispatcher)
        OnLinkToDispatcher(this, lang);
    QString name = FileName;
    if (!name.isEmpty() && !QFileInfo::exists(name))
        name = QFileInfo(name).absoluteFilePath();
    if (name.isEmpty() || !QFileInfo(name).isFile()) {
        lang->SetActiveLanguage(FActiveLanguage);
    } else {
        lang->FActiveLanguage = std::clamp(FActiveLanguage, 1, lang->FNumOfLanguages);
        if (QFileInfo(name).suffix().toUpper() == QLatin1String("LCB")) {
            if (!FManager)
                FManager = std::make_unique<TLCBFileManager>();
            LoadLinkedFromLCB(lang, name);
        } else {
            lang->LoadAllFromTextFile(name, true);
        }
        FLangNames = lang->LangNames();
        FNumOfLanguages = lang->NumOfLanguages();
    }
    lang->RefreshCharSets();
}

void LoadLinkedFromLCB(TlcCustomLang *lang, const QString &fileName)
{
    if (!lang || !lang->Owner())
        return;
    TlcLangDispatcher *dispatcher = lang->LangDispatcher();
    TLCBFileManager own;
    TLCBFileManager *manager = &own;
    if (dispatcher && dispatcher->CachedManager() && dispatcher->FileName.compare(fileName, Qt::CaseInsensitive) == 0)
        manager = dispatcher->CachedManager();
    manager->LoadLCBFile(lang, lang->OwnerClassName(), fileName);
    lang->RebuildStringsCollections();
    lang->ChangeLanguage();
}

void TlcLangDispatcher::SetActiveLanguage(int value)
{
    if (value == FActiveLanguage)
        return;
    // No language has a number below one, linked components or not.
    if (value < 1)
        throw ELanguageError(QStringLiteral("%1 - is not a valid property value!\rValue must be within [1..%2]!")
                                 .arg(value)
                                 .arg(FNumOfLanguages));
    // Every component must take the value before any of them switches.
    const std::vector<TlcCustomLang *> linked = FLinked;
    for (TlcCustomLang *lang : linked)
        lang->CheckLanguageRange(value);
    bool allowChange = true;
    if (OnLanguageChanging)
        OnLanguageChanging(this, value, allowChange);
    if (!allowChange)
        return;
    for (TlcCustomLang *lang : linked) {
        allowChange = true;
        if (lang->OnLanguageChanging)
            lang->OnLanguageChanging(lang, value, allowChange);
        if (!allowChange)
            return;
    }
    FActiveLanguage = value;
    for (TlcCustomLang *lang : linked) {
        struct TSwitch
        {
            TlcCustomLang *lang;
            ~TSwitch() { lang->SetDispatcherSwitch(false); }
        } guard{lang};
        lang->SetDispatcherSwitch(true);
        lang->SetActiveLanguage(value);
    }
    if (!Loading && FLangNames.size() >= value)
        FLanguage = FLangNames[value - 1];
    if (OnLanguageChanged)
        OnLanguageChanged(this);
}

void TlcLangDispatcher::SetNumOfLanguages(int value)
{
    if (value < 1)
        throw ELanguageError(QString::number(value) +
                             QStringLiteral(" - is not a valid property value !\rValue must be more than ZERO !"));
    FNumOfLanguages = value;
    while (FLangNames.size() < value)
        FLangNames.append(QStringLiteral("Language N%1").arg(FLangNames.size() + 1));
    while (FLangNames.size() > value)
        FLangNames.removeLast();
    if (FActiveLanguage > value)
        FActiveLanguage = value;
    for (TlcCustomLang *lang : std::vector<TlcCustomLang *>(FLinked))
        lang->SetNumOfLanguages(value);
}

void TlcLangDispatcher::SetLangNames(const QStringList &value)
{
    FLangNames = value;
    // The count follows the names before any component is told of them.
    SetNumOfLanguages(std::max(1, int(value.size())));
    if (FLangNames.size() > FActiveLanguage - 1)
        FLanguage = FLangNames[FActiveLanguage - 1];
    for (TlcCustomLang *lang : std::vector<TlcCustomLang *>(FLinked)) {
        lang->FLangNames = FLangNames;
        lang->SetLanguage(FLanguage);
    }
}

void TlcLangDispatcher::SetLanguage(const QString &value)
{
    if (value == FLanguage)
        return;
    const qsizetype index = [&] {
        for (qsizetype i = 0; i < FLangNames.size(); ++i)
            if (FLangNames[i].compare(value, Qt::CaseInsensitive) == 0)
                return i;
        return qsizetype(-1);
    }();
    if (!FLangNames.isEmpty() && index < 0)
        throw ELanguageError(QStringLiteral("Language name shall be included in LangNames property!"));
    if (FLangNames.isEmpty() || Loading || index + 1 == FActiveLanguage) {
        FLanguage = value;
        return;
    }
    SetActiveLanguage(int(index) + 1);
}

void TlcLangDispatcher::SetDefaultLanguage(int value)
{
    if (value < 1 || value > FNumOfLanguages || value == FDefaultLanguage)
        return;
    FDefaultLanguage = value;
    for (TlcCustomLang *lang : FLinked)
        lang->SetDefaultLanguage(value);
}

void TlcLangDispatcher::SetUseDefaultLanguage(bool value)
{
    if (value == FUseDefaultLanguage)
        return;
    FUseDefaultLanguage = value;
    for (TlcCustomLang *lang : FLinked)
        lang->SetUseDefaultLanguage(value);
}
