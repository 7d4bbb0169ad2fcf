#pragma once
// The help page's look-out bar: a vertical stack of pages, each under a header painted with a
// gradient; clicking a header opens its page and closes the others, so that the headers above the
// open page sit at the top, those after it at the bottom, and the open page fills the rest.
#include <QAbstractButton>
#include <QList>
#include <QWidget>

class QVBoxLayout;
class TVxLookOut;

// A clickable header bar; its caption is LabelCaption, so that the window's texts reach it.
class TVxGradientHeader : public QAbstractButton
{
    Q_OBJECT
    Q_PROPERTY(QString LabelCaption READ LabelCaption WRITE SetLabelCaption)
public:
    TVxGradientHeader(const QString &name, QWidget *parent);
    QString LabelCaption() const { return text(); }
    void SetLabelCaption(const QString &value);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
};

// One page: its header on top and one content widget below, shown only while the page is open.
class TVxLookOutPage : public QWidget
{
    Q_OBJECT
public:
    TVxLookOutPage(const QString &name, TVxLookOut *lookOut);
    TVxGradientHeader *Header() const { return FHeader; }
    QWidget *Content() const { return FContent; }
    void SetContent(QWidget *content);
    bool IsOpen() const;

private:
    friend class TVxLookOut;
    void SetOpen(bool open);
    TVxGradientHeader *FHeader;
    QWidget *FContent = nullptr;
    QVBoxLayout *FLayout;
};

class TVxLookOut : public QWidget
{
    Q_OBJECT
public:
    TVxLookOut(const QString &name, QWidget *parent);
    // headerName names the page's header, caption is the header's text.
    TVxLookOutPage *AddPage(const QString &name, const QString &headerName, const QString &caption);
    TVxLookOutPage *ActivePage() const { return FActivePage; }
    // A page of another look-out, or none, opens the last page.
    void SetActivePage(TVxLookOutPage *page);
    const QList<TVxLookOutPage *> &Pages() const { return FPages; }

private:
    QList<TVxLookOutPage *> FPages;
    TVxLookOutPage *FActivePage = nullptr;
    QVBoxLayout *FLayout;
};
