#include "access_dialog/Access_Table_Model.h"

Access_Table_Model::Access_Table_Model(Request_Table& table, QObject* parent)
    : QAbstractTableModel(parent)
    , table_(table) {}

int Access_Table_Model::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Access_Slot_Count;
}

int Access_Table_Model::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : table_.Column_Count();
}

QColor Access_Table_Model::Column_Colour(int column) const {
    const Access_Layout& f = table_.Layout();
    if (column == 0)
        return QColor(0xF0, 0xF0, 0xF0); // the fixed column
    if (column == f.Enable)
        return QColor(0xFF, 0xD8, 0xB0);
    if (column >= f.IP_Address && column <= f.NPoint)
        return QColor(0xE0, 0xFA, 0xFE);
    if (column >= f.PollTime && column <= f.MaxError)
        return QColor(0xA8, 0xFF, 0xA8);
    if (column == f.Position || column == f.Bit)
        return QColor(0xFC, 0xD6, 0xF4);
    if (column == f.Swap)
        return QColor(0xFF, 0xFF, 0xA8);
    return QColor(Qt::white);
}

QVariant Access_Table_Model::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= Access_Slot_Count || index.column() >= columnCount())
        return {};
    const int slot = index.row() + 1;
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        if (index.column() == 0)
            return QString::number(slot);
        return table_.Field(slot, index.column());
    case Qt::BackgroundRole:
        return Column_Colour(index.column());
    case Qt::TextAlignmentRole:
        if (index.column() == 0)
            return int(Qt::AlignCenter);
        return int(Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return {};
    }
}

bool Access_Table_Model::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !index.isValid() || index.column() < 1 ||
        index.column() >= columnCount() || index.row() >= Access_Slot_Count)
        return false;
    const QString text = value.toString();
    const int slot = index.row() + 1;
    if (table_.Field(slot, index.column()) == text)
        return true;
    table_.Set_Field(slot, index.column(), text);
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    return true;
}

Qt::ItemFlags Access_Table_Model::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    const Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() == 0)
        return flags;
    // Check boxes are toggled by their delegate, not edited as text.
    if (Access_Fields(table_.Kind())[static_cast<size_t>(index.column() - 1)].editor ==
        Access_Editor::Check_Box)
        return flags;
    return flags | Qt::ItemIsEditable;
}

QVariant Access_Table_Model::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (role) {
    case Qt::DisplayRole:
        return titles_.value(section);
    case Qt::ToolTipRole: {
        const QString hint = hints_.value(section);
        return hint.isEmpty() ? QVariant() : QVariant(hint);
    }
    default:
        return {};
    }
}

void Access_Table_Model::Set_Header(const QStringList& titles, const QStringList& hints) {
    titles_ = titles;
    hints_ = hints;
    emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
}

void Access_Table_Model::Rows_Changed(int first_slot) {
    emit dataChanged(index(first_slot - 1, 1), index(Access_Slot_Count - 1, columnCount() - 1),
                     {Qt::DisplayRole, Qt::EditRole});
}

void Access_Table_Model::Insert_Row(int slot) {
    if (slot < 1 || slot > Access_Slot_Count)
        return;
    table_.Insert_Row(slot);
    Rows_Changed(slot);
}

void Access_Table_Model::Delete_Row(int slot) {
    if (slot < 1 || slot > Access_Slot_Count)
        return;
    table_.Delete_Row(slot);
    Rows_Changed(slot);
}
