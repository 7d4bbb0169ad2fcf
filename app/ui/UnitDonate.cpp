#include "app/ui/UnitDonate.h"

#include "app/ui/MainUnit.h"
#include "app/ui/WindowEvents.h"
#include "lang/lcComp.h"
#include "platform/vcl/Application.h"

#include <QVBoxLayout>

#include <algorithm>

namespace {

const QString CardPage = QStringLiteral("https://veltrasomin.example.org/donate/card");
const QString SmsPage = QStringLiteral("https://veltrasomin.example.org/donate/sms");
const QString OnlinePage = QStringLiteral("https://veltrasomin.example.org/donate/online");
const QString TransferPage = QStringLiteral("https://veltrasomin.example.org/donate/transfer");
const QString TransferPageEnglish = QStringLiteral("https://veltrasomin.example.org/en/donate/transfer");
const QString OtherPage = QStringLiteral("https://veltrasomin.example.org/donate/other");

void MakeLink(TLabel *label, std::function<void()> open)
{
    label->setCursor(Qt::PointingHandCursor);
    label->SetTextColor(QColor(0x00, 0x00, 0xcc), true);
    WindowEvents::OnClick(label, std::move(open));
}

} // namespace

TFormDonate::TFormDonate(TMainForm *mainForm) : TForm(QStringLiteral("FormDonate"), mainForm), FMainForm(mainForm)
{
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    setAttribute(Qt::WA_DeleteOnClose);
    SetCaption(QStringLiteral("Отблагодарить автора"));
    auto *layout = new QVBoxLayout(this);
    layout->setSpacing(3);
    const auto label = [this, layout](const char *name, const char *caption) {
        auto *created = new TLabel(QLatin1String(name), this);
        created->SetCaption(QString::fromUtf8(caption));
        created->setWordWrap(true);
        layout->addWidget(created);
        return created;
    };
    Label2 = label("Label2", "Если у Вас есть возможность  материально");
    Label3 = label("Label3", "помочь автору программы, то Вы можете");
    Label4 = label("Label4", "это сделать одним из нижеперечисленных способов.");
    layout->addSpacing(6);
    Label1 = label("Label1", "Через платёжную систему Veltrasomin Pay:");
    QFont heading = Label1->font();
    heading.setBold(true);
    Label1->SetFont(heading);
    Label7 = label("Label7", "https://veltrasomin.example.org/donate/card");
    Memo1 = new TMemo(QStringLiteral("Memo1"), this);
    Memo1->setReadOnly(true);
    Memo1->SetLines({QStringLiteral("USD: VP-1000-0000-0001"), QStringLiteral("EUR: VP-1000-0000-0002"),
                     QStringLiteral("RUB: VP-1000-0000-0003")});
    Memo1->setFixedHeight(Memo1->fontMetrics().lineSpacing() * 3 + 12);
    layout->addWidget(Memo1);
    layout->addSpacing(6);
    Label9 = label("Label9", "Вы также можете");
    Label6 = label("Label6", "ОТПРАВИТЬ ПЛАТНОЕ SMS СООБЩЕНИЕ");
    Label12 = label("Label12", "или просто перевести деньги через любую систему");
    Label10 = label("Label10", "денежных переводов");
    Label8 = label("Label8", "либо");
    Label5 = label("Label5", "ПОДДЕРЖАТЬ АВТОРА ЧЕРЕЗ ОНЛАЙН-КАССУ");
    layout->addSpacing(6);
    Label13 = label("Label13", "сообщите, пожалуйста, мне о произведенной оплате");
    Label11 = label("Label11", "Заранее благодарю!");
    Button1 = new TButton(QStringLiteral("Button1"), this);
    Button1->SetCaption(QStringLiteral("Закрыть"));
    layout->addWidget(Button1, 0, Qt::AlignHCenter);

    MakeLink(Label7, [this] { dfdsff(); });
    MakeLink(Label6, [this] { Label6Click(); });
    MakeLink(Label10, [this] { Label10Click(); });
    MakeLink(Label5, [this] { Label5Click(); });
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });

    FormCreate();
    setFixedWidth(352);
    adjustSize();
    // adjustSize stops at two thirds of the screen, which a large desktop font passes: the lines
    // would then be drawn over each other.
    setFixedHeight(std::max(height(), layout->totalHeightForWidth(width())));
    if (mainForm)
        move(mainForm->frameGeometry().center() - rect().center());
}

bool TFormDonate::English() const
{
    return FMainForm && FMainForm->lcLang && FMainForm->lcLang->Language() == QLatin1String("English");
}

void TFormDonate::FormCreate()
{
    if (!English())
        return;
    SetCaption(QStringLiteral("Please donate"));
    const struct { TLabel *label; const char *caption; } english[] = {
        {Label2, "If you wish to donate any sum of money"},
        {Label3, "to encourage the further development of the program,"},
        {Label4, "you can do it in one of the following ways:"},
        {Label1, "Through the Veltrasomin Pay payment system:"},
        {Label11, "Thanks in advance"},
        {Label9, "You can also"},
        {Label6, "SEND A PAID SMS"},
        {Label12, "you can also transfer money via"},
        {Label10, "a variety of money transfer systems"},
        {Label8, "Or..."},
        {Label13, "Please, let me know about your payment"},
        {Label5, "DONATE THROUGH THE ONLINE CHECKOUT"},
    };
    for (const auto &text : english)
        text.label->SetCaption(QLatin1String(text.caption));
    Button1->SetCaption(QStringLiteral("Close"));
}

void TFormDonate::dfdsff()
{
    Application::OpenUrl(CardPage);
}

void TFormDonate::Label6Click()
{
    Application::OpenUrl(SmsPage);
}

void TFormDonate::Label5Click()
{
    Application::OpenUrl(OnlinePage);
}

void TFormDonate::Label10Click()
{
    Application::OpenUrl(English() ? TransferPageEnglish : TransferPage);
}

void TFormDonate::Label8Click()
{
    Application::OpenUrl(OtherPage);
}
