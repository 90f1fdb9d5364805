#include "comm/DMX_Table_Model.h"

DMX_Table_Model::DMX_Table_Model(QObject* parent)
    : QAbstractTableModel(parent) {}

void DMX_Table_Model::Set_Table(DMX_Default_Table table) {
    beginResetModel();
    table_ = std::move(table);
    endResetModel();
}

void DMX_Table_Model::Set_Header_Texts(const QStringList& titles) {
    titles_ = titles;
    emit headerDataChanged(Qt::Horizontal, 0, Column_Count - 1);
}

void DMX_Table_Model::Set_Header_Hints(const QStringList& hints) {
    hints_ = hints;
    emit headerDataChanged(Qt::Horizontal, 0, Column_Count - 1);
}

int DMX_Table_Model::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : table_.Row_Count();
}

int DMX_Table_Model::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Column_Count;
}

QVariant DMX_Table_Model::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= table_.Row_Count() || index.column() >= Column_Count)
        return {};
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    const DMX_Default_Row& row = table_.Rows[static_cast<size_t>(index.row())];
    switch (index.column()) {
    case Channel_Column:
        return QString::number(index.row() + 1);
    case Value_Column:
        return row.Default_Value;
    default:
        return row.Mnemonic;
    }
}

bool DMX_Table_Model::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !index.isValid() || index.row() >= table_.Row_Count())
        return false;
    DMX_Default_Row& row = table_.Rows[static_cast<size_t>(index.row())];
    if (index.column() == Value_Column)
        row.Default_Value = value.toString();
    else if (index.column() == Mnemonic_Column)
        row.Mnemonic = value.toString();
    else
        return false;
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    return true;
}

Qt::ItemFlags DMX_Table_Model::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() != Channel_Column)
        flags |= Qt::ItemIsEditable;
    return flags;
}

QVariant DMX_Table_Model::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (section < 0 || section >= Column_Count)
        return {};
    if (role == Qt::DisplayRole)
        return section < titles_.size() ? titles_[section] : QString();
    // Only the header cells of the edited columns carry a hint.
    if (role == Qt::ToolTipRole && section > Channel_Column && section - 1 < hints_.size())
        return hints_[section - 1];
    return {};
}
