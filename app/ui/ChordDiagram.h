#pragma once
// The chord diagram's two pictures and the strokes drawn on them: the frame `Back` with string
// names, note names and the Roman fret label, and the neck `PB` with the fretboard picture,
// finger dots, muted marks and the barre.
#include <QHash>
#include <QPixmap>
#include <QStringList>
#include <QWidget>
#include <functional>

#include "app/core/Diagram.h"

class QPainter;

// A picture control with its own canvas, drawn at the screen's pixel density; the widget shows
// the canvas as it stands.
class TCanvasImage : public QWidget
{
    Q_OBJECT
public:
    TCanvasImage(const QString &name, QWidget *parent, QSize size);
    // The canvas, made again (white) when the pixel density changed since it was drawn.
    QPixmap &Canvas();
    // A picture of the program's resources at this canvas's density ("Fon", "Nota").
    const QPixmap &Picture(const QString &name);
    // The resource Picture reads for that name at that density.
    static QString PicturePath(const QString &name, qreal dpr);
    // Called when the window moved to a screen of another density and the canvas was made again.
    void SetRedraw(std::function<void()> redraw) { FRedraw = std::move(redraw); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPixmap FCanvas;
    QHash<QString, QPixmap> FPictures;
    std::function<void()> FRedraw;
};

namespace DiagramPaint {

// The fonts the diagram writes with; the nearest installed face stands in for a missing one.
QFont NameFont();
QFont RomanFont();
QFont ChordNameFont();

// Writes text with its top-left corner at (x, y) over a white cell, hiding what was there.
void TextOut(QPainter &p, int x, int y, const QString &text, const QColor &colour, const QFont &font);

void ClearBack(QPainter &back);
void DrawRomanFret(QPainter &back, const QString &label, bool rightHand);
void DrawStringNames(QPainter &back, const QStringList &names, int pbLeft, bool rightHand);
void DrawMutedMark(QPainter &back, QPainter &pb, int i, int pbLeft, bool rightHand);
void DrawNoteNames(QPainter &back, const QStringList &names, int pbLeft, bool rightHand);
// With note names off, the side where they go stays blank.
void ClearNoteSide(QPainter &back, bool rightHand);
void DrawDot(QPainter &pb, const QPixmap &nota, int position, int string, bool rightHand);
void DrawBarre(QPainter &pb, const Diagram::TBarre &barre, bool rightHand);

// The diagram as a picture for the clipboard: the frame with the neck on it, cropped to the
// used part, white turned into the window colour; with a chord name above it when one is given.
// Without note names their empty side is left out, on the left for the left hand.
// The window colour for that picture, or white when the diagram's names would not read on it.
QColor PicturePaper(const QColor &window);
QPixmap ChordPicture(const QPixmap &back, const QPixmap &pb, QPoint pbPos, bool showNotes, bool rightHand,
                     const QColor &window, bool withName, const QString &chordName);

} // namespace DiagramPaint
