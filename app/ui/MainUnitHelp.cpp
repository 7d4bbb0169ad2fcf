// The help page: the help text in the interface language, the version history, the songbook,
// and F1 with the help file when one lies in the data folder.
#include "app/ui/MainUnit.h"
#include "platform/vcl/Application.h"

#include "toolkit/VxGradient.h"
#include "toolkit/VxLookOut.h"
#include "lang/lcComp.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QMouseEvent>
#include <QPointer>
#include <QUrl>
#include <QVBoxLayout>

namespace {

QString ResourceText(const QString &name)
{
    QFile file(QStringLiteral(":/") + name);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

// Clicks on the help link and double clicks in the help text; neither widget has a signal for them.
// The watched widgets are only compared, never called: they may be half destroyed when their last
// events arrive.
class THelpPageEvents : public QObject
{
public:
    THelpPageEvents(TMainForm *form, QWidget *helpText, QWidget *helpLink)
        : QObject(form), FForm(form), FHelpText(helpText), FHelpLink(helpLink)
    {
        helpText->installEventFilter(this);
        helpLink->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == FHelpText && event->type() == QEvent::MouseButtonDblClick &&
            !(static_cast<QMouseEvent *>(event)->modifiers() & Qt::ControlModifier))
            FForm->HelpMemoDblClick();
        if (watched == FHelpLink && event->type() == QEvent::MouseButtonRelease &&
            static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
            FForm->LabelOpenHelpClick();
        return false;
    }

private:
    TMainForm *FForm;
    QPointer<QWidget> FHelpText;
    QPointer<QWidget> FHelpLink;
};

// The captions' font of the look-out's pages and headers.
// The Windows "MS Sans Serif" is a bitmap font no Linux desktop has: asking for it by name only
// sent the font system searching through every installed font for a stand-in, which is the
// desktop's own font anyway.
QFont SmallCaptionFont()
{
    QFont font = QApplication::font();
    font.setPixelSize(11);
    return font;
}

const QStringList HistoryLines = {
    QStringLiteral("Версия 1.4.5"),
    QStringLiteral("- Первый выпуск для Linux."),
    QStringLiteral("- Аппликатуры аккордов с диаграммой и звуком, тюнер, транспонирование текстов песен."),
    QStringLiteral("- Файлы программы лежат в её папке или в ~/.local/share/vexo-veltrasomin."),
};

} // namespace

void TMainForm::CreateHelpPage()
{
    auto *layout = new QVBoxLayout(HelpTab);
    layout->setContentsMargins(2, 2, 2, 2);
    LabelOpenHelp = new TLabel(QStringLiteral("LabelOpenHelp"), HelpTab);
    LabelOpenHelp->SetCaption(QStringLiteral("Открыть файл справки"));
    LabelOpenHelp->SetTextColor(Qt::blue, true);
    LabelOpenHelp->setCursor(Qt::PointingHandCursor);
    LabelOpenHelp->hide(); // shown while a help file lies in the data folder
    layout->addWidget(LabelOpenHelp);

    VxLookOut = new TVxLookOut(HelpTab);
    VxLookOut->setObjectName(QStringLiteral("VxLookOut"));
    VxLookOut->SetBorderStyle(bsNone);
    VxLookOut->SetColor(clBtnFace);
    layout->addWidget(VxLookOut, 1);
    const struct {
        TVxLookOutPage *TMainForm::*page;
        TMemo *TMainForm::*memo;
        TVxGradientHeaderPanel *TMainForm::*header;
        const char *pageName;
        const char *memoName;
        const char *headerName;
        int headerHeight;
        const char *caption;
    } pages[] = {
        {&TMainForm::HelpPage, &TMainForm::HelpMemo, &TMainForm::VxGradientHeader1, "HelpPage", "HelpMemo",
         "VxGradientHeader1", 19, "Справка"},
        {&TMainForm::HistoryPage, &TMainForm::HistoryMemo, &TMainForm::VxGradientHeader2, "HistoryPage",
         "HistoryMemo", "VxGradientHeader2", 19, "История версий"},
        {&TMainForm::SongbookPage, &TMainForm::SongbookMemo, &TMainForm::VxGradientHeader3, "SongbookPage",
         "SongbookMemo", "VxGradientHeader3", 17, "Песенник"},
    };
    for (const auto &each : pages) {
        auto *page = new TVxLookOutPage(VxLookOut);
        page->setObjectName(QLatin1String(each.pageName));
        page->SetImageSize(isSmall);
        page->SetColor(clWhite);
        page->SetHighlightFont(SmallCaptionFont());
        auto *header = new TVxGradientHeaderPanel(page);
        header->setObjectName(QLatin1String(each.headerName));
        header->setFixedHeight(each.headerHeight);
        header->SetGradientCursor(Qt::PointingHandCursor);
        header->SetLabelCursor(Qt::PointingHandCursor);
        header->SetGradientStartColor(clActiveCaption);
        header->SetGradientStyle(grHorizontal);
        header->SetLabelTop(3);
        header->SetLabelFont(SmallCaptionFont());
        header->SetLabelCaption(QString::fromUtf8(each.caption));
        connect(header, &TVxGradientHeaderPanel::OnClick, this,
                [this](QObject *sender) { VxGradientHeader1Click(sender); });
        auto *memo = new TMemo(QLatin1String(each.memoName), page);
        memo->setReadOnly(true);
        // The header covers the page's own caption bar; the text starts below that bar.
        auto *column = new QVBoxLayout(page);
        column->setContentsMargins(0, 0, 0, 0);
        column->setSpacing(0);
        column->addWidget(header);
        column->addSpacing(TVxLookOutPage::CaptionHeight - each.headerHeight);
        column->addWidget(memo, 1);
        this->*each.page = page;
        this->*each.memo = memo;
        this->*each.header = header;
    }
    HistoryMemo->SetLines(HistoryLines);
    QFont fixed(QStringLiteral("Monospace"));
    fixed.setStyleHint(QFont::TypeWriter);
    SongbookMemo->SetFont(fixed); // the chords stand over their syllables
    SongbookMemo->SetWordWrap(false);
    SongbookMemo->SetText(ResourceText(QStringLiteral("Songbook.txt")));
    VxLookOut->SetActivePage(HelpPage);
    new THelpPageEvents(this, HelpMemo->viewport(), LabelOpenHelp);
}

void TMainForm::LoadHelp()
{
    // The help page may be built after the window shows.
    if (!HelpMemo)
        return;
    const bool english = lcLang->Language() == QLatin1String("English");
    HelpMemo->SetText(ResourceText(english ? QStringLiteral("Helpeng.txt") : QStringLiteral("Helprus.txt")));
    LabelOpenHelp->setVisible(QFileInfo::exists(HelpFileName()));
}

QString TMainForm::HelpFileName() const
{
    const bool english = lcLang->Language() == QLatin1String("English");
    return FState.dataFolder + (english ? QStringLiteral("help_en.chm") : QStringLiteral("help.chm"));
}

void TMainForm::ActionHelpExecute()
{
    const QString fileName = HelpFileName();
    if (QFileInfo::exists(fileName) && Application::OpenUrl(QUrl::fromLocalFile(fileName).toString()))
        return;
    PageControl->setCurrentWidget(HelpTab);
    VxLookOut->SetActivePage(HelpPage);
}

void TMainForm::LabelOpenHelpClick()
{
    ActionHelpExecute();
}

void TMainForm::VxGradientHeader1Click(QObject *Sender)
{
    const QString name = Sender ? Sender->objectName() : QString();
    TVxLookOutPage *const pages[] = {HelpPage, HistoryPage, SongbookPage};
    const int number = name.isEmpty() ? 0 : name.back().digitValue();
    if (number >= 1 && number <= 3)
        pages[number - 1]->Click();
}

void TMainForm::HelpMemoDblClick()
{
    MemoTranspDblClick(HelpMemo);
}
