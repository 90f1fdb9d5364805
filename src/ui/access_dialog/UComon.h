#pragma once

#include <QPointer>
#include <QTableView>
#include <functional>

struct App_Context;

// Editing aids shared by the program's editable tables. A table here is a QTableView over a model
// whose column 0 is the row number (shown, never edited) and whose columns 1 to the last hold the
// row's texts (Qt::EditRole), hidden columns included. Rows are model rows; Header_Row stands for
// the header.

inline constexpr int Header_Row = -1;

// An editable table of the program: its key presses reach the window's handler first, also while
// a cell editor is open, so that the window may take the Enter key.
class Tessaro_Table : public QTableView {
    Q_OBJECT
public:
    Tessaro_Table(QWidget* parent, const char* name);
    using QTableView::edit;

    // The window's key handler; true when it consumed the key.
    std::function<bool(Tessaro_Table& table, int key)> On_Key_Press;
    bool Key_Press(int key) { return On_Key_Press && On_Key_Press(*this, key); }

    // How the cell editor now being opened was asked for.
    EditTrigger Last_Edit_Trigger() const { return last_trigger_; }

    bool Is_Editing() const { return state() == EditingState; }
    // Writes the text of an open cell editor into the model and closes the editor.
    void Commit_Open_Editor();
    // Called by the table's delegates for every cell editor they create.
    void Editor_Opened(QWidget* editor) { open_editor_ = editor; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;

private:
    EditTrigger last_trigger_ = NoEditTriggers;
    QPointer<QWidget> open_editor_;
};

// With Enable_Jump_Field_Tables on, Enter (Return or the keypad's Enter) moves to the next
// displayed cell of the row, after the last to column 1 of the next row, after the last row to
// row 1; the key is then consumed (true), also when nothing moved. Otherwise false: the key
// reaches the table as usual.
bool Table_Enter_Next_Field(QTableView& table, int key, const App_Context& ctx);

// With Double_Click_Auto_Size on, a double click on a header cell (row Header_Row) fits the
// column to its widest text; any other double click does nothing here.
void Table_Auto_Size_Column(QTableView& table, int row, int column, const App_Context& ctx);

// Puts the texts of columns 1 to the last of the row, hidden ones included, into the row copy
// buffer.
void Table_Copy_Row(const QTableView& table, int row, App_Context& ctx);

// Pastes the row copy buffer into the row. copied: the caller holds a copy made from this table.
// Errors (entry 902 without a copy, 901 for a buffer of another width) change nothing; a row with
// text in a cell that is not a check box is overwritten only after the user confirms (entry 900).
void Table_Paste_Row(QTableView& table, int row, bool copied, App_Context& ctx);

// A column whose cells are edited as check boxes.
bool Is_Check_Box_Column(const QTableView& table, int column);
