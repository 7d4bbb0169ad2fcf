#pragma once
// A pair of small arrow buttons, up above down, that report which one was clicked; held down,
// an arrow repeats its click.
#include <QWidget>

class QToolButton;

class TSpinButton : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(int Tag READ Tag WRITE SetTag)
public:
    explicit TSpinButton(const QString &name, QWidget *parent);
    QString Hint() const { return toolTip(); }
    void SetHint(const QString &value) { setToolTip(value); }
    int Tag() const { return FTag; }
    void SetTag(int value) { FTag = value; }

    QToolButton *UpButton() const { return FUpButton; }
    QToolButton *DownButton() const { return FDownButton; }

signals:
    void UpClick();
    void DownClick();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    bool event(QEvent *event) override;

private:
    void LetGo();
    int FTag = 0;
    QToolButton *FUpButton;
    QToolButton *FDownButton;
};
