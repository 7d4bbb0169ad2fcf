#pragma once
// A song or help text in a large resizable window. Chords Ctrl+clicked here play as in the song
// editor; edits go back to the song editor when the window closes, never to the help text.
#include "app/ui/WindowEvents.h"
#include "platform/vcl/Controls.h"

class QMenu;
class TMainForm;

class TFormPreview : public TForm
{
    Q_OBJECT
public:
    explicit TFormPreview(TMainForm *mainForm);

    TMemo *MemoPreview = nullptr;
    QMenu *PopupMenuFake = nullptr;

    // Shows a text; a song text is the transposer page's, and goes back there when edited here.
    void Fill(const QString &text, bool fromSongText);
    bool FromSongText() const { return FFromSongText; }
    // Edits made here go to the song editor, unless the editor's song changed since it was shown.
    void GiveBackEdits();

    void FormShow();
    void FormKeyDown(int key, Qt::KeyboardModifiers shift);
    void FormMouseWheel(int delta, Qt::KeyboardModifiers shift);
    void FormClose();
    void ChangeFontSize(int delta);

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    TMainForm *FMainForm;
    bool FFromSongText = false;
    // The song text as the editor held it when it was last shown here.
    QString FFilledText;
    bool FClosed = false;
    WindowEvents::TWheelNotches FWheel;
};
