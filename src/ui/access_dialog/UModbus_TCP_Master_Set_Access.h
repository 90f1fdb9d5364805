#pragma once

#include <QLabel>
#include <QPointer>
#include <QStringList>
#include <QTabWidget>

#include "access/Access_Table.h"
#include "access/Device_Requests.h"
#include "access_dialog/Access_Table_Model.h"
#include "access_dialog/UComon.h"
#include "context/App_Context.h"
#include "platform/File_Fingerprint.h"
#include "widgets/Styled_Button.h"
#include "widgets/Tessaro_Dialog.h"

class List_Delegate;
class Live_Probe;
class Spreadsheet_Button;
class TFChannel_Map;

// The Modbus TCP master requests of the open configuration: the read table (DMX OUT) or the
// write table (DMX IN) after the DMX role in ParGen.xml; both are loaded, checked on OK and saved
// to ModbusTCPM_SetAccess.xml.
//
// Handlers take model rows (Header_Row for the header) and model columns, which are the fields
// of Access_Table; the write table's On CMD column (10) is kept but never shown.
class TFModbus_TCP_Master_Set_Access : public Tessaro_Dialog {
    Q_OBJECT
public:
    TFModbus_TCP_Master_Set_Access(App_Context& context, QWidget* parent);
    ~TFModbus_TCP_Master_Set_Access() override;

    // Texts from the string table; runs once, when the window is created.
    void Set_Lang();
    // Each showing: both tables reloaded from the file, the page of the DMX role. False after a
    // file could not be read: the error has been shown and the window closes again.
    bool FormShow();

    void Btn_OKClick();
    void Btn_DelRowClick();
    void Btn_InsRowClick();
    void Btn_CopyRowClick();
    void Btn_PasteRowClick();
    // Sends the request of the current row once, without waiting (a write row only reads its
    // target back), and shows the answer or the error when it comes; a row that the check refuses
    // shows the check's message and sends nothing.
    void Btn_Test_RowClick();
    // Test Row is waiting for an answer.
    bool Testing_Row() const;
    // The spreadsheet menu: the table on the visible page to a CSV file, or replaced by one.
    void Spreadsheet_Export();
    void Spreadsheet_Import();

    // Opens the channel map beside the dialog; it follows the table on the visible page.
    void Btn_Channel_MapClick();

    // Makes a row (1..512) of the table on the visible page current and selects it, as a click
    // on its number does, and brings the dialog to the front.
    void Select_Slot(int slot);
    // The row to select when the dialog is shown next (0 for none); for the map of the main
    // window.
    void Select_Slot_On_Show(int slot) { select_slot_on_show_ = slot; }
    // The channel map opened from this showing, or nullptr.
    TFChannel_Map* Channel_Map_Window() const;

    void ClickCell(QTableView* sender, int ARow, int ACol);
    void Grid_DblClickCell(QTableView* sender, int ARow, int ACol);
    QString SGA_GridHint(const QTableView* sender, int ARow, int ACol) const;
    bool SGA_KeyPress(QTableView* sender, int Key);

    // The table on the visible page and its current row (a model row, -1 when none).
    Tessaro_Table* Active_Table() const;
    int Current_Row() const;

    Access_Table& Table() { return access_; }

    QWidget* P_Title = nullptr;
    QLabel* L_SW_Code = nullptr;
    QLabel* L_SW_Desc = nullptr;
    QTabWidget* PageControl1 = nullptr;
    QWidget* TS_Modbus_Read = nullptr;
    QWidget* TS_Modbus_Write = nullptr;
    Tessaro_Table* ACG_Modbus_Read = nullptr;
    Tessaro_Table* ACG_Modbus_Write = nullptr;
    QWidget* P_Button = nullptr;
    Styled_Button* Btn_OK = nullptr;
    Styled_Button* Btn_Cancel = nullptr;
    Styled_Button* Btn_DelRow = nullptr;
    Styled_Button* Btn_InsRow = nullptr;
    Styled_Button* Btn_CopyRow = nullptr;
    Styled_Button* Btn_PasteRow = nullptr;
    Styled_Button* Btn_Test_Row = nullptr;
    Spreadsheet_Button* Btn_Spreadsheet = nullptr;
    Styled_Button* Btn_Channel_Map = nullptr;

    QStringList Hint_Read;
    QStringList Hint_Write;
    bool Do_Copy_In_Read = false;
    bool Do_Copy_In_Write = false;
    int NByte_IN = Access_Slot_Count;
    int NByte_OUT = Access_Slot_Count;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void FormCreate();
    Tessaro_Table* Build_Table(QWidget* page, const char* name, Access_Table_Model* model,
                               List_Delegate*& positions);
    void Show_Page(Access_Kind kind);
    Access_Table_Model* Model_Of(const QTableView* table) const;
    void Commit_Edits();
    void Test_Row_Finished();
    void Table_Changed();
    void Close_Channel_Map();

    App_Context& ctx_;
    Access_Table access_;
    Access_Table_Model* read_model_ = nullptr;
    Access_Table_Model* write_model_ = nullptr;
    List_Delegate* read_positions_ = nullptr;
    List_Delegate* write_positions_ = nullptr;
    Live_Probe* probe_ = nullptr;
    Device_Request probe_row_;
    QPointer<TFChannel_Map> channel_map_;
    int select_slot_on_show_ = 0;

    // ModbusTCPM_SetAccess.xml as it was when the window read it; OK asks before it overwrites
    // another program's change. (ParGen.xml, read for the page, is not written here.)
    File_Fingerprint loaded_file_;
};
