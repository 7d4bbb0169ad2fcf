// The options page's about group: the guitar that opens the fretboard window, the version, the
// web and mail links and the donate button.
#include "app/ui/MainUnit.h"

#include "app/ui/FretBoard.h"
#include "app/ui/UnitDonate.h"
#include "app/ui/WindowEvents.h"
#include "platform/vcl/Application.h"
#include "toolkit/VxGIF.h"
#include "toolkit/VxTypes.h"

#include <QBoxLayout>
#include <QFile>
#include <QPainter>
#include <QPixmap>
#include <QPointer>

namespace {

const QString AuthorMail = QStringLiteral("mailto:author@veltrasomin.example.org?subject=Vexo%20Veltrasomin");
const QString SitePage = QStringLiteral("https://veltrasomin.example.org/");
const QString DownloadPage = QStringLiteral("https://veltrasomin.example.org/download");
const QString ChordEditorArchive = QStringLiteral("https://veltrasomin.example.org/chord-editor/chord-editor.zip");

TLabel *AddLink(QWidget *page, QBoxLayout *layout, const char *name, const char *caption, std::function<void()> open)
{
    auto *label = new TLabel(QLatin1String(name), page);
    label->SetCaption(QString::fromUtf8(caption));
    label->setCursor(Qt::PointingHandCursor);
    label->setStyleSheet(QStringLiteral("color: #0000cc; text-decoration: underline"));
    WindowEvents::OnClick(label, std::move(open));
    layout->addWidget(label);
    return label;
}

// The guitar is a GIF drawn by our own picture class; a damaged one leaves the place empty.
QPixmap GuitarPicture(qreal ratio)
{
    QFile file(QStringLiteral(":/Guitar.gif"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    try {
        TVxGIFImage gif;
        gif.LoadFromData(file.readAll());
        const QSize size(gif.Width(), gif.Height());
        QPixmap pixmap(size * ratio);
        pixmap.setDevicePixelRatio(ratio);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        gif.Draw(painter, QRect(QPoint(0, 0), size));
        return pixmap;
    } catch (const EVxException &) {
        return {};
    }
}

} // namespace

void TMainForm::CreateWindowLinks(QWidget *page, QBoxLayout *layout)
{
    AboutGroupBox = new TGroupBox(QStringLiteral("AboutGroupBox"), page);
    AboutGroupBox->SetCaption(QStringLiteral("О программе"));
    layout->addWidget(AboutGroupBox);
    auto *row = new QHBoxLayout(AboutGroupBox);

    GuitarImage = new TLabel(QStringLiteral("GuitarImage"), AboutGroupBox);
    GuitarImage->setPixmap(GuitarPicture(GuitarImage->devicePixelRatioF()));
    GuitarImage->SetHint(QStringLiteral("Ноты на грифе гитары"));
    GuitarImage->setCursor(Qt::PointingHandCursor);
    WindowEvents::OnClick(GuitarImage, [this] { GuitarImageClick(); });
    row->addWidget(GuitarImage, 0, Qt::AlignTop);

    auto *links = new QVBoxLayout;
    row->addLayout(links, 1);
    LabelVersionInfo = new TLabel(QStringLiteral("LabelVersionInfo"), AboutGroupBox);
    links->addWidget(LabelVersionInfo);
    EmailLabel = AddLink(AboutGroupBox, links, "EmailLabel", "Написать автору", [this] { EmailLabelClick(); });
    Label13 = AddLink(AboutGroupBox, links, "Label13", "Сайт программы", [this] { Label13Click(); });
    Label14 = AddLink(AboutGroupBox, links, "Label14", "Скачать новую версию", [this] { k(); });
    Label8 = AddLink(AboutGroupBox, links, "Label8", "Скачать редактор базы аккордов", [this] { Label8Click(); });
    SpeedButtonDonate = new TSpeedButton(QStringLiteral("SpeedButtonDonate"), AboutGroupBox);
    SpeedButtonDonate->SetCaption(QStringLiteral("Отблагодарить автора"));
    connect(SpeedButtonDonate, &QToolButton::clicked, this, [this] { SpeedButtonDonateClick(); });
    links->addWidget(SpeedButtonDonate, 0, Qt::AlignLeft);
    links->addStretch(1);
}

void TMainForm::GuitarImageClick()
{
    // The window belongs to the application, not to this form; it is released once closed.
    QPointer<TFormFretboard> fretboard = new TFormFretboard(this);
    WindowEvents::ShowModal(fretboard);
    delete fretboard.data();
}

void TMainForm::SpeedButtonDonateClick()
{
    // The window frees itself when closed.
    WindowEvents::ShowModal(new TFormDonate(this));
}

void TMainForm::EmailLabelClick()
{
    Application::OpenUrl(AuthorMail);
}

void TMainForm::Label13Click()
{
    Application::OpenUrl(SitePage);
}

void TMainForm::k()
{
    Application::OpenUrl(DownloadPage);
}

void TMainForm::Label8Click()
{
    Application::OpenUrl(ChordEditorArchive);
}
