#pragma once

#include <QAbstractTableModel>
#include <QStringList>

#include "comm/DMX_Default_Table.h"

// The DMX default values as a table of three columns: the channel number (read only), the
// default value and the mnemonic (edited as plain text, kept exactly as typed). The header
// carries the column titles and, over the two edited columns, their hints.
class DMX_Table_Model : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Channel_Column = 0, Value_Column = 1, Mnemonic_Column = 2, Column_Count = 3 };

    explicit DMX_Table_Model(QObject* parent = nullptr);

    void Set_Table(DMX_Default_Table table);
    const DMX_Default_Table& Table() const { return table_; }

    // The titles of the three columns.
    void Set_Header_Texts(const QStringList& titles);
    // The hints over the columns after the channel column, in column order.
    void Set_Header_Hints(const QStringList& hints);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    DMX_Default_Table table_;
    QStringList titles_;
    QStringList hints_;
};
