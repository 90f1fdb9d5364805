#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

#include "comm/Comm_Settings.h"
#include "context/App_Context.h"
#include "platform/File_Fingerprint.h"
#include "widgets/Styled_Button.h"
#include "widgets/Tessaro_Dialog.h"

// The Set Communication dialog: the converter's DMX role and channel count, its IP address,
// subnet mask, optional default gateway, Modbus reply time-out and cyclic delay. It reads
// ParGen.xml each time it is shown, checks every number on OK and then writes the file. Both
// groups of fields fold up to their caption line and stay folded between showings.
class TFParGen : public Tessaro_Dialog {
    Q_OBJECT
public:
    TFParGen(App_Context& context, QWidget* parent);

    void Set_Lang();
    // Lays out the groups, the buttons and the window height from the two expansion flags.
    void Move_GroupBoxs();
    void Collapse_Expand_Creation();
    // Checks the fields; shows the message of the first failure and gives false.
    bool Controllo_Dati();

    void FormShow();
    void FormActivate();
    void Btn_OKClick();
    void Btn_CancelClick();
    // The pressed collapse or expand button tells the group.
    void Btn_GB_Collapse(QObject* sender);
    void Btn_GB_Expande(QObject* sender);
    void On_Change();
    void On_Click();

    // The settings as the controls show them.
    Comm_Settings Read_Controls() const;
    void Fill_Controls(const Comm_Settings& settings);

    // The user changed a field since the dialog was last shown.
    bool Is_Change = false;
    // The groups are expanded; kept while the program runs.
    bool GB_DMX_Visible = true;
    bool GB_Modbus_TCP_Master_Visible = true;

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Build_Controls();
    QLineEdit* Add_Edit(QWidget* group, const char* name, int left, int top, int width);
    Styled_Button* Add_Fold_Button(QWidget* group, const char* name, bool expand);
    void Add_Address_Row(QWidget* group, int top, const char* const names[4], QLineEdit* edits[4]);
    // Controls of a group below its caption line: out of the tab order while it is folded.
    void Set_Lower_Controls_Reachable(QGroupBox* group, bool reachable);
    bool Save();

    App_Context& ctx_;
    // The file was there but could not be read when the dialog was shown: keep it as a backup
    // before it is replaced.
    bool keep_unreadable_file_ = false;
    // ParGen.xml as it was when the dialog read it; OK asks before it overwrites another
    // program's change.
    File_Fingerprint loaded_file_;

    QLabel* L_SW_Code = nullptr;
    QLabel* L_SW_Desc = nullptr;

    QGroupBox* GB_DMX = nullptr;
    QLabel* L_DMX_DMX = nullptr;
    QComboBox* CB_DMX_DMX = nullptr;
    QLabel* L_DMX_Num_Channal = nullptr;
    QLineEdit* E_DMX_Num_Channel = nullptr;
    Styled_Button* Btn_DMX_Collapse = nullptr;
    Styled_Button* Btn_DMX_Expande = nullptr;

    QGroupBox* GB_Modbus_TCP_Master = nullptr;
    QLabel* L_Modbus_TCP_Master_IP_Add = nullptr;
    QLabel* L_Modbus_TCP_Master_SM_Add = nullptr;
    QCheckBox* CB_En_GAT_Modbus_TCP_Master = nullptr;
    QLabel* L_ModbusTCPMaster_TimeOut = nullptr;
    QLabel* L_ModbusTCPMaster_CyclicDelay = nullptr;
    QLineEdit* E_IP[4] = {};
    QLineEdit* E_SM[4] = {};
    QLineEdit* E_GAT[4] = {};
    QLineEdit* E_TO_Modbus_TCP_Master = nullptr;
    QLineEdit* E_CD_Modbus_TCP_Master = nullptr;
    Styled_Button* Btn_Modbus_TCP_Master_Collapse = nullptr;
    Styled_Button* Btn_Modbus_TCP_Master_Expande = nullptr;

    Styled_Button* Btn_OK = nullptr;
    Styled_Button* Btn_Cancel = nullptr;

    // The twelve address edits in the order a typed "." moves through them.
    QList<QLineEdit*> address_edits_;
    // Focus policies of the lower controls of a folded group, restored when it unfolds.
    QHash<QWidget*, Qt::FocusPolicy> parked_focus_;
};
