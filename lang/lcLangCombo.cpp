#include "lang/lcLangCombo.h"

#include "lang/lcComp.h"
#include "lang/lcDispatcher.h"

#include <QAbstractItemView>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QStylePainter>

namespace {

// The list's rows are painted by the combo itself.
class TLangComboDelegate : public QStyledItemDelegate
{
public:
    explicit TLangComboDelegate(TlcLangCombo *combo) : QStyledItemDelegate(combo), FCombo(combo) {}

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        int state = 0;
        if (option.state & QStyle::State_Selected)
            state |= TlcLangCombo::odSelected;
        if (option.state & QStyle::State_HasFocus)
            state |= TlcLangCombo::odFocused;
        painter->save();
        FCombo->DrawItem(*painter, index.row(), option.rect, state);
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        return {option.rect.width(), FCombo->MeasureItem(index.row())};
    }

private:
    TlcLangCombo *FCombo;
};

} // namespace

TLanguageInfo::TLanguageInfo(TlcLangCombo *combo) : FCombo(combo) {}

void TLanguageInfo::Repaint()
{
    if (FCombo)
        FCombo->update();
}

void TLanguageInfo::SetFontName(const QString &value)
{
    if (value == FFontName)
        return;
    FFontName = value;
    Repaint();
}

void TLanguageInfo::SetFontCharset(int value)
{
    if (value == FFontCharset)
        return;
    FFontCharset = value;
    Repaint();
}

void TLanguageInfo::SetFlagImage(const QImage &value)
{
    FFlagImage = value;
    Repaint();
}

TLanguageInfos::TLanguageInfos(TlcLangCombo *combo) : TCollection(combo), FCombo(combo)
{
    setObjectName(QStringLiteral("LanguageInfos"));
}

QObject *TLanguageInfos::Item(int index) const
{
    return index >= 0 && index < Count() ? FItems[size_t(index)] : nullptr;
}

TLanguageInfo *TLanguageInfos::Add()
{
    auto *info = new TLanguageInfo(FCombo);
    info->setParent(this);
    FItems.push_back(info);
    return info;
}

void TLanguageInfos::DeleteLast()
{
    if (FItems.empty())
        return;
    delete FItems.back();
    FItems.pop_back();
}

void TLanguageInfos::Assign(const TLanguageInfos &source)
{
    if (&source == this)
        return;
    while (!FItems.empty())
        DeleteLast();
    for (int i = 0; i < source.Count(); ++i) {
        TLanguageInfo *info = Add();
        const TLanguageInfo *from = source.Items(i);
        info->SetFontName(from->FontName());
        info->SetFontCharset(from->FontCharset());
        info->SetFlagImage(from->FlagImage());
        info->SetLanguageName(from->LanguageName());
    }
}

TlcLangCombo::TlcLangCombo(const QString &name, QWidget *parent)
    : TComboBox(name, parent), FLanguageInfos(new TLanguageInfos(this))
{
}

void TlcLangCombo::showPopup()
{
    // The list's painter is set when the list first opens: setting it makes the list, which a
    // window that never opens it need not build at start.
    if (!dynamic_cast<TLangComboDelegate *>(itemDelegate()))
        setItemDelegate(new TLangComboDelegate(this));
    TComboBox::showPopup();
}

TlcLangCombo::~TlcLangCombo() = default;

void TlcLangCombo::SetlcLang(TlcCustomLang *value)
{
    FLang = value;
    UpdateItems();
}

void TlcLangCombo::SetItemHeight(int value)
{
    FItemHeight = value;
    update();
}

TlcLangDispatcher *TlcLangCombo::lcLangDispatcher() const
{
    return static_cast<TlcLangDispatcher *>(FDispatcher.data());
}

void TlcLangCombo::SetlcLangDispatcher(TlcLangDispatcher *value)
{
    FDispatcher = value;
    UpdateItems();
}

QStringList TlcLangCombo::SourceNames() const
{
    // A dispatcher speaks for every component it links, so it wins over a single one.
    if (FDispatcher)
        return lcLangDispatcher()->LangNames();
    return FLang ? FLang->LangNames() : QStringList();
}

void TlcLangCombo::UpdateItems()
{
    const bool blocked = blockSignals(true);
    clear();
    if (!FLang && !FDispatcher) {
        blockSignals(blocked);
        return;
    }
    const QStringList names = SourceNames();
    while (FLanguageInfos->Count() > names.size())
        FLanguageInfos->DeleteLast();
    while (FLanguageInfos->Count() < names.size())
        FLanguageInfos->Add();
    for (int i = 0; i < FLanguageInfos->Count(); ++i) {
        const QString own = FLanguageInfos->Items(i)->LanguageName();
        addItem(own.isEmpty() ? names[i] : own);
    }
    // A rebuilt list has no selection until the owner gives one.
    setCurrentIndex(-1);
    blockSignals(blocked);
    if (!FLoading)
        update();
}

void TlcLangCombo::Loaded()
{
    FLoading = false;
    UpdateItems();
    if (FDispatcher || FLang) {
        const bool blocked = blockSignals(true);
        setCurrentIndex((FDispatcher ? lcLangDispatcher()->ActiveLanguage() : FLang->ActiveLanguage()) - 1);
        blockSignals(blocked);
    }
}

void TlcLangCombo::DrawItem(QPainter &painter, int index, const QRect &rect, int state)
{
    if (OnDrawItem) {
        OnDrawItem(this, painter, index, rect, state);
        return;
    }
    const bool highlighted = state & (odSelected | odFocused);
    painter.fillRect(rect, palette().brush(highlighted ? QPalette::Highlight : QPalette::Base));
    if (index < 0 || index >= FLanguageInfos->Count())
        return;
    const TLanguageInfo *info = FLanguageInfos->Items(index);
    QFont itemFont = font();
    itemFont.setFamily(info->FontName());
    painter.setFont(itemFont);
    if (!info->FlagImage().isNull())
        painter.drawImage(QPoint(rect.left() + 1, rect.top() + 2), info->FlagImage());
    QString text = info->LanguageName();
    if (text.isEmpty())
        text = SourceNames().value(index);
    painter.setPen(palette().color(highlighted ? QPalette::HighlightedText : QPalette::Text));
    const QFontMetrics metrics(itemFont);
    painter.drawText(QPoint(rect.left() + 23, rect.top() + 1 + metrics.ascent()), text);
}

int TlcLangCombo::MeasureItem(int index) const
{
    int height = FItemHeight;
    if (OnMeasureItem) {
        OnMeasureItem(const_cast<TlcLangCombo *>(this), index, height);
        return height;
    }
    return std::max(height, fontMetrics().height() + 3);
}

void TlcLangCombo::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText.clear();
    option.currentIcon = QIcon();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    const QRect field = style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    if (currentIndex() >= 0)
        DrawItem(painter, currentIndex(), field, hasFocus() ? odFocused : 0);
}
