// The help page: the help text in the interface language, the version history, the songbook,
// and F1 with the help file when one lies in the data folder.
#include "app/ui/MainUnit.h"
#include "platform/vcl/Application.h"

#include "toolkit/VxLookOut.h"
#include "lang/lcComp.h"

#include <QFile>
#include <QFileInfo>
#include <QMouseEvent>
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
// The watched widgets are kept here: events still arrive while the window is being destroyed,
// when its memo is no longer a memo and no member of the window may be touched.
class THelpPageEvents : public QObject
{
public:
    explicit THelpPageEvents(TMainForm *form)
        : QObject(form), FForm(form), FHelpText(form->HelpMemo->viewport()), FOpenHelp(form->LabelOpenHelp)
    {
        FHelpText->installEventFilter(this);
        FOpenHelp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == FHelpText && event->type() == QEvent::MouseButtonDblClick &&
            !(static_cast<QMouseEvent *>(event)->modifiers() & Qt::ControlModifier))
            FForm->HelpMemoDblClick();
        if (watched == FOpenHelp && event->type() == QEvent::MouseButtonRelease &&
            static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
            FForm->LabelOpenHelpClick();
        return false;
    }

private:
    TMainForm *FForm;
    QObject *FHelpText;
    QObject *FOpenHelp;
};

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
    LabelOpenHelp->setStyleSheet(QStringLiteral("color: blue; text-decoration: underline"));
    LabelOpenHelp->setCursor(Qt::PointingHandCursor);
    LabelOpenHelp->hide(); // shown while a help file lies in the data folder
    layout->addWidget(LabelOpenHelp);

    VxLookOut = new TVxLookOut(QStringLiteral("VxLookOut"), HelpTab);
    layout->addWidget(VxLookOut, 1);
    const struct {
        TVxLookOutPage *TMainForm::*page;
        TMemo *TMainForm::*memo;
        const char *pageName;
        const char *memoName;
        const char *caption;
    } pages[] = {
        {&TMainForm::HelpPage, &TMainForm::HelpMemo, "HelpPage", "HelpMemo", "Справка"},
        {&TMainForm::HistoryPage, &TMainForm::HistoryMemo, "HistoryPage", "HistoryMemo", "История версий"},
        {&TMainForm::SongbookPage, &TMainForm::SongbookMemo, "SongbookPage", "SongbookMemo", "Песенник"},
    };
    int number = 0;
    for (const auto &each : pages) {
        ++number;
        TVxLookOutPage *page = VxLookOut->AddPage(QLatin1String(each.pageName),
                                                  QStringLiteral("VxGradientHeader%1").arg(number),
                                                  QString::fromUtf8(each.caption));
        auto *memo = new TMemo(QLatin1String(each.memoName), page);
        memo->setReadOnly(true);
        page->SetContent(memo);
        this->*each.page = page;
        this->*each.memo = memo;
        TVxGradientHeader *header = page->Header();
        connect(header, &QAbstractButton::clicked, this, [this, header] { VxGradientHeader1Click(header); });
    }
    HistoryMemo->SetLines(HistoryLines);
    QFont fixed(QStringLiteral("Monospace"));
    fixed.setStyleHint(QFont::TypeWriter);
    SongbookMemo->SetFont(fixed); // the chords stand over their syllables
    SongbookMemo->SetWordWrap(false);
    SongbookMemo->SetText(ResourceText(QStringLiteral("Songbook.txt")));
    VxLookOut->SetActivePage(HelpPage);
    new THelpPageEvents(this);
}

void TMainForm::LoadHelp()
{
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
        VxLookOut->SetActivePage(pages[number - 1]);
}

void TMainForm::HelpMemoDblClick()
{
    MemoTranspDblClick(HelpMemo);
}
