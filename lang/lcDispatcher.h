#pragma once
// Ties the localization components of several forms together: one set of language names, one
// active language, one veto round before every switch, and a translation file each component
// loads as it links.
#include "lang/lcComp.h"

#include <QObject>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

class TLCBFileManager;

class TlcLangDispatcher : public QObject
{
    Q_OBJECT
public:
    explicit TlcLangDispatcher(QObject *owner = nullptr);
    ~TlcLangDispatcher() override;

    void Link(TlcCustomLang *lang);
    void Unlink(TlcCustomLang *lang);
    int LinkedCount() const { return int(FLinked.size()); }
    TlcCustomLang *Linked(int index) const { return FLinked[size_t(index)]; }

    int ActiveLanguage() const { return FActiveLanguage; }
    // Every linked component's range is checked first: a refused value changes nothing.
    void SetActiveLanguage(int value);
    int NumOfLanguages() const { return FNumOfLanguages; }
    void SetNumOfLanguages(int value);
    const QStringList &LangNames() const { return FLangNames; }
    void SetLangNames(const QStringList &value);
    const QString &Language() const { return FLanguage; }
    void SetLanguage(const QString &value);
    int DefaultLanguage() const { return FDefaultLanguage; }
    void SetDefaultLanguage(int value);
    bool UseDefaultLanguage() const { return FUseDefaultLanguage; }
    void SetUseDefaultLanguage(bool value);
    // A translation file (text or .LCB) every component loads as it links.
    QString FileName;
    TTestModeInfo TestModeInfo;
    bool Designing = false;
    bool Loading = false;

    std::function<void(QObject *sender, TlcCustomLang *lang)> OnLinkToDispatcher;
    std::function<void(QObject *sender, int newLanguage, bool &allowChange)> OnLanguageChanging;
    std::function<void(QObject *sender)> OnLanguageChanged;

    TLCBFileManager *CachedManager() const { return FManager.get(); }

private:
    std::vector<TlcCustomLang *> FLinked;
    QStringList FLangNames{QStringLiteral("Language N1")};
    QString FLanguage;
    int FActiveLanguage = 1;
    int FNumOfLanguages = 1;
    int FDefaultLanguage = 1;
    bool FUseDefaultLanguage = false;
    std::unique_ptr<TLCBFileManager> FManager;
};

// Fills a linked component from a LCB file and applies its language.
void LoadLinkedFromLCB(TlcCustomLang *lang, const QString &fileName);
