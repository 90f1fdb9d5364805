#pragma once

#include <QString>
#include <QStringList>

#include "context/App_Context.h"
#include "context/Main_Form.h"
#include "widgets/Tessaro_Dialog.h"

class QCheckBox;
class QLabel;
class QTabWidget;
class QWidget;
class Styled_Button;
class Version_Checker;

// Software Options: the language of the windows (chosen among the language files, six to a
// page, each with its flag), the internet and update-check options, the table options and an
// immediate check for a newer version.
class TFSoftOptions : public Tessaro_Dialog {
    Q_OBJECT
public:
    static constexpr int Slot_Count = 6;

    TFSoftOptions(App_Context& context, QWidget* parent);

    void Set_Lang();

    // Fills SL_Languages from the LANGUAGE folder and shows page 1.
    void Create_Lang_List();
    // Shows page p of the languages: the six slots, the page label and the navigation.
    void Update_Lang_Page(int p);
    // Enables the connection controls that the check boxes allow.
    void Update_CheckBox();

    void FormShow();
    // Shared by Btn_Prev and Btn_Next.
    void Btn_NextClick(QObject* sender);
    // Shared by the six pictures and the six labels.
    void LangClick(QObject* sender);
    // The click on slot 1 to 6 of the page shown.
    void LangClick(int slot);
    // Shared by the four check boxes.
    void CB_En_ConClick();
    void Btn_OKClick();
    void Btn_Check_UpdateClick();
    void LL_Check_UpdateLinkClick(const QString& link);

    // True while the check started by Btn_Check_Update waits for its answer.
    bool Check_Running() const;

    // The language files found, each with its extension, sorted.
    QStringList SL_Languages;
    // The page of languages shown, from 1.
    int Show_Page = 1;
    // The language chosen in the dialog; App_State takes it on OK.
    QString Language_In_Use;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

public slots:
    void done(int result) override;

private:
    void Build_Controls();
    // The main window when it is the dialog's parent.
    Main_Form* Main_Window() const;
    // Re-texts the windows that follow a language change.
    void Apply_Language_Change();
    void Show_Version_Result(bool newer);
    QString Page_Caption(int page, int pages) const;
    bool Load_Flag(QLabel* picture, const QString& language) const;

    App_Context& ctx_;
    Version_Checker* version_checker_ = nullptr;
    // The list has been built at least once (the page label then follows the page shown).
    bool list_built_ = false;
    // A language was applied since the dialog opened: Cancel brings back the one in force.
    bool language_applied_ = false;

    QWidget* P_Title = nullptr;
    QLabel* L_SW_Code = nullptr;
    QLabel* L_SW_Desc = nullptr;
    QTabWidget* PC_Options = nullptr;
    QWidget* TS_Language = nullptr;
    QWidget* TS_Con_Options = nullptr;
    QWidget* TS_Soft_Settings = nullptr;
    QLabel* L_Sel_Lang = nullptr;
    QLabel* I_L[Slot_Count] = {};
    QLabel* L_L[Slot_Count] = {};
    Styled_Button* Btn_Prev = nullptr;
    QLabel* L_Page_Lang = nullptr;
    Styled_Button* Btn_Next = nullptr;
    QCheckBox* CB_En_Con = nullptr;
    QCheckBox* CB_Update = nullptr;
    Styled_Button* Btn_Check_Update = nullptr;
    QLabel* LL_Check_Update = nullptr;
    QCheckBox* CB_Soft_Set_Jump_Table = nullptr;
    QCheckBox* CB_DoubleClick_Auto_Size = nullptr;
    QWidget* P_Button = nullptr;
    Styled_Button* Btn_OK = nullptr;
    Styled_Button* Btn_Cancel = nullptr;
};
