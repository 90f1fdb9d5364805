#include "access_dialog/UComon.h"

#include "access_dialog/Table_Delegates.h"
#include "context/App_Context.h"
#include "platform/Text.h"

#include <QHeaderView>
#include <QKeyEvent>

Tessaro_Table::Tessaro_Table(QWidget* parent, const char* name)
    : QTableView(parent) {
    setObjectName(QString::fromLatin1(name));
    setItemDelegate(new Table_Cell_Delegate(this));
}

void Tessaro_Table::keyPressEvent(QKeyEvent* event) {
    if (Key_Press(event->key())) {
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

bool Tessaro_Table::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    last_trigger_ = trigger;
    const bool result = QTableView::edit(index, trigger, event);
    last_trigger_ = NoEditTriggers;
    return result;
}

void Tessaro_Table::Commit_Open_Editor() {
    if (state() != EditingState || !open_editor_)
        return;
    QWidget* editor = open_editor_;
    open_editor_ = nullptr;
    commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
}

bool Table_Enter_Next_Field(QTableView& table, int key, const App_Context& ctx) {
    if (!ctx.state.Enable_Jump_Field_Tables || (key != Qt::Key_Return && key != Qt::Key_Enter))
        return false;
    const QAbstractItemModel* model = table.model();
    const QModelIndex current = table.currentIndex();
    if (!model || !current.isValid() || current.column() < 1)
        return true;
    const int columns = model->columnCount();
    const auto displayed_from = [&](int column) {
        while (column < columns && table.isColumnHidden(column))
            ++column;
        return column;
    };
    int row = current.row();
    int column = displayed_from(current.column() + 1);
    if (column >= columns) {
        column = displayed_from(1);
        row = row + 1 < model->rowCount() ? row + 1 : 0;
    }
    if (column < columns)
        table.setCurrentIndex(model->index(row, column));
    return true;
}

void Table_Auto_Size_Column(QTableView& table, int row, int column, const App_Context& ctx) {
    if (!ctx.state.Double_Click_Auto_Size || row != Header_Row)
        return;
    table.resizeColumnToContents(column);
}

void Table_Copy_Row(const QTableView& table, int row, App_Context& ctx) {
    const QAbstractItemModel* model = table.model();
    ctx.Row_Copy_Buffer.clear();
    for (int column = 1; column < model->columnCount(); ++column)
        ctx.Row_Copy_Buffer.append(model->index(row, column).data(Qt::EditRole).toString());
}

bool Is_Check_Box_Column(const QTableView& table, int column) {
    return qobject_cast<const Check_Box_Delegate*>(table.itemDelegateForColumn(column)) != nullptr;
}

void Table_Paste_Row(QTableView& table, int row, bool copied, App_Context& ctx) {
    QWidget* window = table.window();
    if (!copied) {
        ctx.messages->Error(window, ctx.Text(902));
        return;
    }
    QAbstractItemModel* model = table.model();
    const int columns = model->columnCount();
    if (columns != ctx.Row_Copy_Buffer.size() + 1) {
        ctx.messages->Error(window, ctx.Text(901));
        return;
    }
    bool used = false;
    for (int column = 1; column < columns && !used; ++column)
        used = !Is_Check_Box_Column(table, column) &&
               !Trim_Text(model->index(row, column).data(Qt::EditRole).toString()).isEmpty();
    if (used && !ctx.messages->Confirm(window, ctx.Text(900)))
        return;
    for (int column = 1; column < columns; ++column)
        model->setData(model->index(row, column), ctx.Row_Copy_Buffer[column - 1], Qt::EditRole);
}
