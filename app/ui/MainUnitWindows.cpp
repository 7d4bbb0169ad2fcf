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
#include <QEvent>
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
    label->SetTextColor(QColor(0x00, 0x00, 0xcc), true);
    WindowEvents::OnClick(label, std::move(open));
    layout->addWidget(label);
    return label;
}

QByteArray GuitarData()
{
    QFile file(QStringLiteral(":/Guitar.gif"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The picture's size as its header gives it, read without decoding it; 0 x 0 for a damaged header
// or one larger than any window the picture could sit in.
QSize GuitarHeaderSize(const QByteArray &data)
{
    constexpr int Largest = 1024;
    if (data.size() < 10 || !data.startsWith("GIF"))
        return QSize(0, 0);
    const auto word = [&data](int at) { return int(quint8(data[at])) | int(quint8(data[at + 1])) << 8; };
    const QSize size(word(6), word(8));
    return size.width() <= Largest && size.height() <= Largest ? size : QSize(0, 0);
}

// The guitar is a GIF drawn by our own picture class; a damaged one leaves the place empty.
QPixmap GuitarPicture(const QByteArray &data, qreal ratio)
{
    try {
        TVxGIFImage gif;
        gif.LoadFromData(data);
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

// Decoding the guitar costs as much as building a page, and it lies on a page that is not shown
// at start: it is drawn when its label is first shown and only holds its place until then.
class TGuitarOnShow : public QObject
{
public:
    explicit TGuitarOnShow(QLabel *label) : QObject(label), FLabel(label)
    {
        FData = GuitarData();
        label->setMinimumSize(GuitarHeaderSize(FData));
        label->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == FLabel && event->type() == QEvent::Show) {
            FLabel->removeEventFilter(this);
            FLabel->setPixmap(GuitarPicture(FData, FLabel->devicePixelRatioF()));
            FLabel->setMinimumSize(0, 0);
            FData.clear();
        }
        return false;
    }

private:
    QLabel *FLabel;
    QByteArray FData;
};

} // namespace

void TMainForm::CreateWindowLinks(QWidget *page, QBoxLayout *layout)
{
    AboutGroupBox = new TGroupBox(QStringLiteral("AboutGroupBox"), page);
    AboutGroupBox->SetCaption(QStringLiteral("О программе"));
    layout->addWidget(AboutGroupBox);
    auto *row = new QHBoxLayout(AboutGroupBox);

    GuitarImage = new TLabel(QStringLiteral("GuitarImage"), AboutGroupBox);
    new TGuitarOnShow(GuitarImage);
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
    WindowEvents::ShowModal(fretboard, this);
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
