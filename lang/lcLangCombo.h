#pragma once
// A drop-down list of the languages of a localization component, each drawn as a small flag and
// the language's name in a font of its own. It never switches the language itself: its owner does
// that from the change of the selection.
#include <QImage>
#include <QPointer>
#include <QRect>
#include <functional>
#include <memory>
#include <vector>

#include "platform/vcl/Controls.h"
#include "platform/vcl/Properties.h"

class TlcCustomLang;
class TlcLangCombo;
class TlcLangDispatcher;
class QPainter;

// One language of the list, item 0 for language 1.
class TLanguageInfo : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString FontName READ FontName WRITE SetFontName)
    Q_PROPERTY(int FontCharset READ FontCharset WRITE SetFontCharset)
    Q_PROPERTY(QImage FlagImage READ FlagImage WRITE SetFlagImage)
    Q_PROPERTY(QString LanguageName READ LanguageName WRITE SetLanguageName)
public:
    explicit TLanguageInfo(TlcLangCombo *combo);

    QString FontName() const { return FFontName; }
    void SetFontName(const QString &value);
    int FontCharset() const { return FFontCharset; }
    void SetFontCharset(int value);
    QImage FlagImage() const { return FFlagImage; }
    void SetFlagImage(const QImage &value);
    // Empty: the item shows the component's own name of the language.
    QString LanguageName() const { return FLanguageName; }
    void SetLanguageName(const QString &value) { FLanguageName = value; }

private:
    void Repaint();

    TlcLangCombo *FCombo;
    QString FFontName = QStringLiteral("Tahoma");
    int FFontCharset = VclFont::DEFAULT_CHARSET;
    QImage FFlagImage;
    QString FLanguageName;
};

class TLanguageInfos : public TCollection
{
    Q_OBJECT
public:
    explicit TLanguageInfos(TlcLangCombo *combo);
    int Count() const override { return int(FItems.size()); }
    QObject *Item(int index) const override;
    TLanguageInfo *Items(int index) const { return static_cast<TLanguageInfo *>(Item(index)); }
    TLanguageInfo *Add();
    void DeleteLast();
    // Copies the other collection's items into this one.
    void Assign(const TLanguageInfos &source);

private:
    TlcLangCombo *FCombo;
    std::vector<TLanguageInfo *> FItems; // children of this collection
};

class TlcLangCombo : public TComboBox
{
    Q_OBJECT
    Q_PROPERTY(TLanguageInfos *LanguageInfos READ LanguageInfos)
    Q_PROPERTY(int ItemHeight READ ItemHeight WRITE SetItemHeight)
public:
    explicit TlcLangCombo(const QString &name, QWidget *parent);
    ~TlcLangCombo() override;

    TlcCustomLang *lcLang() const { return FLang; }
    void SetlcLang(TlcCustomLang *value);
    TlcLangDispatcher *lcLangDispatcher() const;
    void SetlcLangDispatcher(TlcLangDispatcher *value);
    TLanguageInfos *LanguageInfos() const { return FLanguageInfos; }
    void SetLanguageInfos(const TLanguageInfos &value) { FLanguageInfos->Assign(value); }
    int ItemHeight() const { return FItemHeight; }
    void SetItemHeight(int value);

    // The form has been built: the list is rebuilt and the active language selected.
    void Loaded();
    void UpdateItems();

    // Painting of one item; the state flags are those of OwnerDrawState.
    enum TOwnerDrawState { odSelected = 1, odFocused = 16 };
    void DrawItem(QPainter &painter, int index, const QRect &rect, int state);
    // The height of an item.
    int MeasureItem(int index) const;

    std::function<void(TlcLangCombo *, QPainter &, int index, const QRect &rect, int state)> OnDrawItem;
    std::function<void(TlcLangCombo *, int index, int &height)> OnMeasureItem;

    void showPopup() override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QStringList SourceNames() const;

    QPointer<TlcCustomLang> FLang;
    QPointer<QObject> FDispatcher; // a TlcLangDispatcher
    TLanguageInfos *FLanguageInfos;
    int FItemHeight = 16;
    bool FLoading = true;
};
