#pragma once
// Asks users to support the author and lists the ways to send money; some labels open payment
// pages in the browser.
#include "platform/vcl/Controls.h"

class TMainForm;

class TFormDonate : public TForm
{
    Q_OBJECT
public:
    // A dialog of mainForm, in its language; it frees itself when closed.
    explicit TFormDonate(TMainForm *mainForm);

    TLabel *Label1 = nullptr;
    TLabel *Label2 = nullptr;
    TLabel *Label3 = nullptr;
    TLabel *Label4 = nullptr;
    TLabel *Label5 = nullptr;
    TLabel *Label6 = nullptr;
    TLabel *Label7 = nullptr;
    TLabel *Label8 = nullptr;
    TLabel *Label9 = nullptr;
    TLabel *Label10 = nullptr;
    TLabel *Label11 = nullptr;
    TLabel *Label12 = nullptr;
    TLabel *Label13 = nullptr;
    TMemo *Memo1 = nullptr;
    TButton *Button1 = nullptr;

    void FormCreate();
    void dfdsff();
    void Label6Click();
    void Label5Click();
    void Label10Click();
    // No label is bound to it; the page stays reachable for a caller that wants it.
    void Label8Click();
    void Button1Click() { close(); }

private:
    bool English() const;

    TMainForm *FMainForm;
};
