#include "app/ui/FretBoard.h"

#include "app/core/Fretboard.h"
#include "app/ui/ChordDiagram.h"
#include "app/ui/MainUnit.h"
#include "app/ui/WindowEvents.h"
#include "lang/lcComp.h"

#include <QFontMetrics>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

namespace {

constexpr int ImageWidth = 722;
constexpr int ImageHeight = 177;
constexpr int ImageTop = 50;
constexpr int WoodLeft = 16;
// The neck's first string lines up with the names of string 1.
constexpr int WoodTop = 18;

// The nearest installed face stands in for a missing one.
QFont FontOf(const QString &family, int pointSize)
{
    QFont font(family);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(pointSize);
    return font;
}

// A picture of the program's resources, the double-size drawing on a dense screen.
QPixmap PictureFor(const QString &name, qreal ratio)
{
    const QString path = TCanvasImage::PicturePath(name, ratio);
    QPixmap picture(path);
    if (path.endsWith(QLatin1String("@2x.png")))
        picture.setDevicePixelRatio(2.0);
    return picture;
}

// Text with its top-left corner at (x, y), as the neck's layout is measured.
void TextOut(QPainter &p, int x, int y, const QString &text)
{
    p.drawText(QRect(x, y, 200, 40), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, text);
}

} // namespace

TFormFretboard::TFormFretboard(TMainForm *mainForm) : TForm(QStringLiteral("FormFretboard")), FMainForm(mainForm)
{
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    setAttribute(Qt::WA_DeleteOnClose);
    SetCaption(QStringLiteral("Гриф гитары"));
    setFixedSize(723, 260);

    Label1 = new TLabel(QStringLiteral("Label1"), this);
    Label1->SetCaption(QStringLiteral("Расположение нот на грифе гитары"));
    QFont title(QStringLiteral("Arial"));
    title.setStyleHint(QFont::SansSerif);
    title.setPixelSize(24);
    title.setBold(true);
    Label1->SetFont(title);
    Label1->SetTextColor(QColor(0, 128, 0));
    Label1->setGeometry(10, 10, 703, 32);

    ImageFon = new QLabel(this);
    ImageFon->setObjectName(QStringLiteral("ImageFon"));
    ImageFon->setGeometry(0, ImageTop, ImageWidth, ImageHeight);

    Label2 = new TLabel(QStringLiteral("Label2"), this);
    QFont legend = Label2->font();
    legend.setBold(true);
    Label2->SetFont(legend);
    Label2->setGeometry(10, ImageTop + ImageHeight + 6, 703, 22);

    WindowEvents::OnClick(ImageFon, [this] { ImageFonClick(); });
    WindowEvents::OnClick(Label1, [this] { Label1Click(); });
    // The neck is drawn once, at the density of the screen the window opens on: the main
    // window's, which need not be the first screen.
    if (mainForm)
        setScreen(mainForm->screen());
    FormCreate();
    if (mainForm)
        move(mainForm->frameGeometry().center() - rect().center());
}

bool TFormFretboard::English() const
{
    return FMainForm && FMainForm->lcLang && FMainForm->lcLang->Language() == QLatin1String("English");
}

bool TFormFretboard::West() const
{
    return FMainForm && FMainForm->EastWestRG && FMainForm->EastWestRG->ItemIndex() == 1;
}

bool TFormFretboard::Flats() const
{
    return FMainForm && FMainForm->OptionsFlats && FMainForm->OptionsFlats->Checked();
}

void TFormFretboard::FormCreate()
{
    // Qt lays the window out in logical pixels, so it keeps its size at every screen density.
    if (English()) {
        SetCaption(QStringLiteral("Guitar fretboard"));
        Label1->SetCaption(QStringLiteral("Notes on guitar fretboard"));
    }
    DrawFretboard();
    DrawNotes();
    SetLegend();
}

void TFormFretboard::DrawFretboard()
{
    const qreal ratio = devicePixelRatioF();
    FPicture = QPixmap(QSize(ImageWidth, ImageHeight) * ratio);
    FPicture.setDevicePixelRatio(ratio);
    // The names keep their navy and maroon; on a dark desktop the paper under them turns light.
    FPicture.fill(PaperFor({QColor(0, 0, 128), QColor(128, 0, 0)}, palette().color(QPalette::Window)));
    QPainter p(&FPicture);
    p.setFont(FontOf(QStringLiteral("Tahoma"), 8));
    p.setPen(QColor(0, 0, 128));
    static const char *const openStrings[Fretboard::StringCount] = {"E ", "H ", "G ", "D ", "A ", "E "};
    for (int i = 0; i < Fretboard::StringCount; ++i)
        TextOut(p, 5, ImageTop - 28 + Fretboard::StringPitch * i, QLatin1String(openStrings[i]));
    p.setPen(QColor(128, 0, 0));
    const QFontMetrics metrics(p.font());
    for (int fret = 1; fret <= Fretboard::ShownFrets; ++fret) {
        const QString roman = Fretboard::RomanFret(fret);
        TextOut(p, Fretboard::FretNumberX(fret, metrics.horizontalAdvance(roman)), 0, roman);
    }
    p.drawPixmap(WoodLeft, WoodTop, PictureFor(QStringLiteral("Wood"), ratio));
    p.end();
    ImageFon->setPixmap(FPicture);
}

void TFormFretboard::DrawNotes()
{
    const QPixmap marker = PictureFor(QStringLiteral("NoteMarker"), FPicture.devicePixelRatio());
    const bool west = West();
    const bool flats = Flats();
    QPainter p(&FPicture);
    p.setFont(FontOf(QStringLiteral("Arial"), 8));
    p.setPen(Qt::black);
    for (int string = 1; string <= Fretboard::StringCount; ++string)
        for (int fret = 1; fret <= Fretboard::ShownFrets; ++fret) {
            p.drawPixmap(Fretboard::MarkerPos(string, fret), marker);
            const QString name = Fretboard::ShownNote(string, fret, west, flats);
            const QPoint at = Fretboard::NamePos(name, string, fret);
            TextOut(p, at.x(), at.y(), name);
        }
    p.end();
    ImageFon->setPixmap(FPicture);
}

void TFormFretboard::SetLegend()
{
    const QString legend = Fretboard::Legend(English(), West(), Flats());
    // The window keeps its size: under a large desktop font the legend gets smaller letters
    // rather than losing its end past the window's edge.
    QFont font = Label2->font();
    for (int step = 0; step < 64; ++step) {
        const QFontMetrics metrics(font);
        if (metrics.horizontalAdvance(legend) <= Label2->width() && metrics.height() <= Label2->height())
            break;
        if (font.pixelSize() > 6)
            font.setPixelSize(font.pixelSize() - 1);
        else if (font.pointSizeF() > 5)
            font.setPointSizeF(font.pointSizeF() - 0.5);
        else
            break;
    }
    Label2->SetFont(font);
    Label2->SetCaption(legend);
}

void TFormFretboard::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        FormClick();
    TForm::mouseReleaseEvent(event);
}
