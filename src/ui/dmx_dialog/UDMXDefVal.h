#pragma once

#include <QLabel>
#include <QStringList>

#include "comm/DMX_Table_Model.h"
#include "context/App_Context.h"
#include "platform/File_Fingerprint.h"
#include "widgets/Styled_Button.h"
#include "widgets/Tessaro_Dialog.h"

class DMX_Grid;
class Spreadsheet_Button;

// The DMX Default Value dialog: one row per DMX channel with its default value (0 to 255) and a
// free description. The row count follows the channel count of ParGen.xml; the table is read
// from DMX_Default_Values.xml each time the dialog is shown and written back on OK.
class TFDMXDefVal : public Tessaro_Dialog {
    Q_OBJECT
public:
    TFDMXDefVal(App_Context& context, QWidget* parent);

    void Set_Lang();
    void FormShow();
    void Btn_OKClick();
    void Btn_CancelClick();
    // Checks every default value; shows the message of the first failing row and gives false.
    bool Controllo_dati();
    // The spreadsheet menu: the table to a CSV file, or replaced by one.
    void Spreadsheet_Export();
    void Spreadsheet_Import();

    DMX_Table_Model* Model() const { return model_; }

    // The hints over the header cells of the default value and mnemonic columns.
    QStringList Hint_Grid;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Build_Controls();
    bool Save();

    App_Context& ctx_;
    DMX_Table_Model* model_ = nullptr;
    // DMX_Default_Values.xml was there but could not be read when the dialog was shown: keep it
    // as a backup before it is replaced.
    bool keep_unreadable_file_ = false;
    // DMX_Default_Values.xml as it was when the dialog read it; OK asks before it overwrites
    // another program's change.
    File_Fingerprint loaded_file_;

    QWidget* P_Title = nullptr;
    QLabel* L_SW_Code = nullptr;
    QLabel* L_SW_Desc = nullptr;
    DMX_Grid* ACG_DMX_Def_Val = nullptr;
    QWidget* P_Button = nullptr;
    Styled_Button* Btn_OK = nullptr;
    Styled_Button* Btn_Cancel = nullptr;
    Spreadsheet_Button* Btn_Spreadsheet = nullptr;
};
