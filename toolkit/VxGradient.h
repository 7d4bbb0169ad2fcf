#pragma once
// A stepped colour gradient in one of six shapes, rendered once per size into a cached image, and
// a header panel made of a gradient with a label on it that acts as one clickable control.
#include "toolkit/VxControls.h"

#include <QImage>
#include <QList>

class QLabel;

enum TVxGradientStyle { grFilled, grEllipse, grHorizontal, grVertical, grPyramid, grMount };

// One shape of a rendered gradient, drawn in order over the buffer.
struct TVxGradientBand {
    enum TShape { Fill, Ellipse, Rectangle, RoundRect };
    TShape shape;
    QRect rect;
    QRgb color;
    bool operator==(const TVxGradientBand &) const = default;
};

// Colour of band i of n between start and end; halves round to the even neighbour.
QRgb GradientBandColor(QRgb start, QRgb end, int n, int i);
// The shapes that render a width x height gradient, from the first drawn to the last.
QList<TVxGradientBand> GradientBands(TVxGradientStyle style, QRgb start, QRgb end, int steps, int width, int height);

class TVxGradient : public TVxExGraphicControl
{
    Q_OBJECT
    Q_PROPERTY(int Style READ Style WRITE SetStyleInt)
    Q_PROPERTY(uint StartColor READ StartColor WRITE SetStartColor)
    Q_PROPERTY(uint EndColor READ EndColor WRITE SetEndColor)
    Q_PROPERTY(int Steps READ Steps WRITE SetSteps)
public:
    explicit TVxGradient(QWidget *parent = nullptr);
    TVxGradientStyle Style() const { return FStyle; }
    void SetStyle(TVxGradientStyle value);
    TColor StartColor() const { return FStartColor; }
    void SetStartColor(TColor value);
    TColor EndColor() const { return FEndColor; }
    void SetEndColor(TColor value);
    int Steps() const { return FSteps; }
    void SetSteps(int value);
    // The size the cached image was rendered for; 0 wide after a property change.
    QSize BufferSize() const { return {FBufferWidth, FBufferHeight}; }
    const QImage &Buffer() const { return FBuffer; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void ColorChanged() override;
    void ParentColorChanged() override;

private:
    void SetStyleInt(int value) { SetStyle(TVxGradientStyle(qBound(0, value, int(grMount)))); }
    void Invalidate();
    void Render();

    TVxGradientStyle FStyle = grHorizontal;
    TColor FStartColor = clBlue;
    TColor FEndColor = clBlack;
    quint16 FSteps = 100;
    QImage FBuffer;
    int FBufferWidth = 0;
    int FBufferHeight = 0;
};

class TVxGradientHeaderPanel : public TVxExCustomControl
{
    Q_OBJECT
    Q_PROPERTY(QString LabelCaption READ LabelCaption WRITE SetLabelCaption)
    Q_PROPERTY(QString LabelHint READ LabelHint WRITE SetLabelHint)
    Q_PROPERTY(QString GradientHint READ GradientHint WRITE SetGradientHint)
    Q_PROPERTY(QFont LabelFont READ LabelFont WRITE SetLabelFont)
public:
    explicit TVxGradientHeaderPanel(QWidget *parent = nullptr);

    TVxGradient *Gradient() const { return FGradient; }
    QLabel *Label() const { return FLabel; }

    TColor GradientStartColor() const;
    void SetGradientStartColor(TColor value);
    TColor GradientEndColor() const;
    void SetGradientEndColor(TColor value);
    int GradientSteps() const;
    void SetGradientSteps(int value);
    TVxGradientStyle GradientStyle() const;
    void SetGradientStyle(TVxGradientStyle value);
    QCursor GradientCursor() const;
    void SetGradientCursor(const QCursor &value);
    QString GradientHint() const;
    void SetGradientHint(const QString &value);

    int LabelLeft() const { return FLabelLeft; }
    void SetLabelLeft(int value);
    int LabelTop() const;
    void SetLabelTop(int value);
    QCursor LabelCursor() const;
    void SetLabelCursor(const QCursor &value);
    QString LabelHint() const;
    void SetLabelHint(const QString &value);
    QString LabelCaption() const;
    void SetLabelCaption(const QString &value);
    TColor LabelColor() const { return FLabelColor; }
    void SetLabelColor(TColor value);
    QFont LabelFont() const;
    void SetLabelFont(const QFont &value);
    Qt::Alignment LabelAlignment() const;
    void SetLabelAlignment(Qt::Alignment value);
    bool ShowHint() const { return FHint; }
    void SetShowHint(bool value);

Q_SIGNALS:
    void OnClick(QObject *sender);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void BoundsChanged() override;
    void ColorChanged() override;
    void ParentColorChanged() override;
    bool HintShow(THintInfo &info) override;

private:
    void AdjustLabelWidth();
    void ApplyLabelInk();

    TVxGradient *FGradient;
    QLabel *FLabel;
    int FLabelLeft = 10;
    bool FHint = false;
    TColor FLabelColor = clNone;
    bool FPressed = false;
};
