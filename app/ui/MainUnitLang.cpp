// The interface language: the form's localization component, the language box, the first-start
// choice and Qt's own dialog texts.
#include "app/ui/MainUnit.h"
#include "app/ui/UnitPreview.h"

#include "app/ui/ChordDiagram.h"
#include "app/ui/PngPicture.h"
#include "lang/lcComp.h"
#include "lang/lcLangCombo.h"

#include <QBoxLayout>
#include <QCoreApplication>
#include <QFile>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <algorithm>

namespace {

const QString TranslationDataResource = QStringLiteral(":/lang/MainForm.TranslationData");

QString FlagPath(const QString &name)
{
    return QStringLiteral(":/lang/flag_%1.png").arg(name);
}

QImage Flag(const QString &name)
{
    return PngPicture::Read(FlagPath(name));
}

} // namespace

void TMainForm::PrefetchPictures()
{
    const qreal dpr = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->devicePixelRatio() : 1.0;
    PngPicture::Prefetch({TCanvasImage::PicturePath(QStringLiteral("Fon"), dpr),
                          TCanvasImage::PicturePath(QStringLiteral("FonLeft"), dpr),
                          TCanvasImage::PicturePath(QStringLiteral("Nota"), dpr), FlagPath(QStringLiteral("ru")),
                          FlagPath(QStringLiteral("en"))});
}

void TMainForm::CreateLanguageComponent()
{
    lcLang = new TlcLang(this);
    lcLang->BeginLoad();
    lcLang->SetNumOfLanguages(2);
    lcLang->SetLangNames({QStringLiteral("Russian"), QStringLiteral("English")});
    QFile data(TranslationDataResource);
    if (data.open(QIODevice::ReadOnly))
        lcLang->ReadTranslationData(data.readAll());
    // The designed texts are Russian; nothing is applied until the language changes.
    lcLang->Loaded();
}

void TMainForm::CreateLanguageOptions(QWidget *page, QBoxLayout *layout)
{
    auto *combo = new TlcLangCombo(QStringLiteral("LangComboBox"), page);
    combo->SetItemHeight(18);
    // Every language is as tall as the flags need, or as its name needs under a large desktop
    // font, as a form scaled to it would have. Measured when the list opens: the font is not
    // loaded at start for a page nobody sees yet.
    combo->OnMeasureItem = [](TlcLangCombo *box, int index, int &height) {
        QFont names = box->font();
        if (const TLanguageInfo *info = box->LanguageInfos()->Items(index))
            names.setFamily(info->FontName());
        height = std::max(height, QFontMetrics(names).height() + 3);
    };
    TLanguageInfo *russian = combo->LanguageInfos()->Add();
    russian->SetFlagImage(Flag(QStringLiteral("ru")));
    russian->SetLanguageName(QStringLiteral("Русский"));
    combo->LanguageInfos()->Add()->SetFlagImage(Flag(QStringLiteral("en")));
    combo->SetlcLang(lcLang);
    combo->Loaded();
    LangComboBox = combo;
    layout->addWidget(combo);
    connect(combo, &QComboBox::activated, this, [this] { LangComboBoxChange(); });
}

int TMainForm::ActiveLanguage() const
{
    return lcLang ? lcLang->ActiveLanguage() : 1;
}

QString TMainForm::Ids(int id) const
{
    return lcLang ? lcLang->GetTextOrDefault(QStringLiteral("IDS_%1").arg(id)) : QString();
}

void TMainForm::SetLanguage()
{
    const QLocale::Language system = QLocale::system().language();
    const bool russian = system == QLocale::Russian || system == QLocale::Ukrainian || system == QLocale::Belarusian;
    LangComboBox->SetItemIndex(russian ? 0 : 1);
    // The notation goes with the language, as when it is chosen: the designed East notation would
    // have an English first start read B as si flat.
    EastWestRG->SetItemIndex(LangComboBox->ItemIndex());
}

void TMainForm::ApplyStartLanguage()
{
    const int language = LangComboBox->ItemIndex() + 1;
    // The pass sets aside the lines of components it does not find: the pages built later
    // take theirs from this copy.
    if (FLaterPagesPending && language != lcLang->ActiveLanguage())
        for (int type = 0; type < StringsTypeCount; ++type) {
            const QStringList *list = lcLang->GetStringsList(type);
            FTranslationLines.push_back(list ? *list : QStringList());
        }
    lcLang->SetActiveLanguage(language);
    ApplyQtTranslation();
}

void TMainForm::ApplyQtTranslation()
{
    // Qt's own texts are English already: their Russian file is read when first needed.
    if (!FQtTranslator && lcLang->ActiveLanguage() != 1)
        return;
    if (!FQtTranslator) {
        FQtTranslator = new QTranslator(this);
        const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
        if (!FQtTranslator->load(QStringLiteral("qtbase_ru"), folder))
            return;
    }
    if (FQtTranslator->isEmpty())
        return;
    QCoreApplication::removeTranslator(FQtTranslator);
    if (lcLang->ActiveLanguage() == 1)
        QCoreApplication::installTranslator(FQtTranslator);
}

void TMainForm::LangComboBoxChange()
{
    // Pages still to be built would miss the switch.
    BuildLaterPages();
    lcLang->SetActiveLanguage(LangComboBox->ItemIndex() + 1);
    ApplyQtTranslation();
    FillRootList(Root);
    FillRootList(SrcComboBox);
    // Russian goes with the East notation, English with the West.
    EastWestRG->SetItemIndex(LangComboBox->ItemIndex());
    if (SrcComboBox && SrcComboBox->ItemIndex() >= 0)
        SrcComboBoxChange();
    LoadHelp();
    // The preview stays open beside the window: its caption switches too.
    if (FormPreview)
        FormPreview->FormShow();
}
