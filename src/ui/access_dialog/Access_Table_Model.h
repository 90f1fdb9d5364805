#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QStringList>

#include "access/Access_Table.h"

// One request table as the window shows it: 512 rows, column 0 the slot number (read only),
// columns 1.. the fields of Request_Table, read and written in place. Cell colours follow the
// field groups; the header carries the column titles and their hints.
class Access_Table_Model : public QAbstractTableModel {
    Q_OBJECT
public:
    Access_Table_Model(Request_Table& table, QObject* parent);

    Request_Table& Table() { return table_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Column titles and hints, by column; missing items are empty.
    void Set_Header(const QStringList& titles, const QStringList& hints);

    // Row operations on the table (slot 1..512) that refresh the view.
    void Insert_Row(int slot);
    void Delete_Row(int slot);
    // Call around any change of the whole table made behind the model's back (reset, load).
    void Begin_Reload() { beginResetModel(); }
    void End_Reload() { endResetModel(); }

    // The cell colour of a column.
    QColor Column_Colour(int column) const;

private:
    void Rows_Changed(int first_slot);

    Request_Table& table_;
    QStringList titles_;
    QStringList hints_;
};
