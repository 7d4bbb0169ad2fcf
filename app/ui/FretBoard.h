#pragma once
// Every note of the guitar neck in the note spelling of the main window's options, with a
// legend of the solfège names. Any click closes it.
#include "platform/vcl/Controls.h"

#include <QPixmap>

class QLabel;
class QCloseEvent;
class QMouseEvent;
class TMainForm;

class TFormFretboard : public TForm
{
    Q_OBJECT
public:
    // Reads the language and notation from mainForm and centres on it; the window has no parent.
    explicit TFormFretboard(TMainForm *mainForm);

    QLabel *ImageFon = nullptr;
    TLabel *Label1 = nullptr;
    TLabel *Label2 = nullptr;

    void FormCreate();
    void DrawFretboard();
    void DrawNotes();
    void SetLegend();
    void ImageFonClick() { close(); }
    void FormClick() { close(); }
    void Label1Click() { close(); }

    // The neck as drawn, in logical pixels.
    const QPixmap &Picture() const { return FPicture; }

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    bool English() const;
    bool West() const;
    bool Flats() const;

    TMainForm *FMainForm;
    QPixmap FPicture;
};
