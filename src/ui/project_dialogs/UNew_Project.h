#pragma once

#include <QLabel>
#include <QLineEdit>

#include "context/App_Context.h"
#include "widgets/Styled_Button.h"
#include "widgets/Tessaro_Dialog.h"

// Asks for the name of a new configuration, creates its folder under PROJECTS with the folder
// bin, and makes it the open configuration. OK means the configuration exists and is open.
class TFNew_Project : public Tessaro_Dialog {
    Q_OBJECT
public:
    TFNew_Project(App_Context& context, QWidget* parent);

    // Each showing starts with an empty name field that has the focus.
    void FormShow();
    // Enter in the name field acts as OK; key is a Qt key code or the character 13. True when the
    // key was taken.
    bool E_New_ProjKeyPress(int key);
    // Checks the name, creates the configuration and closes with OK, or reports the refused name
    // and stays open with the name as typed.
    void Btn_OKClick();
    void Set_Lang();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    App_Context& ctx_;

    QWidget* P_Title = nullptr;
    QLabel* L_SW_Code = nullptr;
    QLabel* L_SW_Desc = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* E_New_Proj = nullptr;
    QWidget* P_Button = nullptr;
    Styled_Button* Btn_OK = nullptr;
    Styled_Button* Btn_Cancel = nullptr;
};
