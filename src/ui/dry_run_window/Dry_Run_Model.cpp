#include "dry_run_window/Dry_Run_Model.h"

#include "lang/Lang_Table.h"
#include "live/Live_Engine.h"

#include <QColor>
#include <algorithm>

namespace {

// The words of the Suspended column.
constexpr int Suspended_Yes = 985;
constexpr int Suspended_No = 986;

// Row colours: a request failing now, a suspended request, a row that was not run.
QColor Failing_Colour() {
    return QColor(0xFF, 0xE8, 0xC8);
}
QColor Suspended_Colour() {
    return QColor(0xFF, 0xC8, 0xC8);
}
QColor Refused_Colour() {
    return QColor(0xE4, 0xE4, 0xE4);
}

} // namespace

Dry_Run_Model::Dry_Run_Model(const Live_Engine& engine, const Lang_Table& lang, QObject* parent)
    : QAbstractTableModel(parent)
    , engine_(engine)
    , lang_(lang) {}

int Dry_Run_Model::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : requests_ + static_cast<int>(refused_.size());
}

int Dry_Run_Model::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Column_Count;
}

QVariant Dry_Run_Model::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= Column_Count)
        return {};
    const int row = index.row();
    const int column = index.column();
    if (row >= requests_) {
        const Refused_Request& refused = refused_[static_cast<size_t>(row - requests_)];
        switch (role) {
        case Qt::DisplayRole:
            if (column == Slot)
                return refused.slot;
            if (column == Last_Error)
                return lang_[739] + refused.message;
            return {};
        case Qt::ToolTipRole:
            return column == Last_Error ? refused.message : QVariant();
        case Qt::BackgroundRole:
            return Refused_Colour();
        case Qt::TextAlignmentRole:
            return column == Slot ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant();
        default:
            return {};
        }
    }

    const Device_Request& r = engine_.Requests()[static_cast<size_t>(row)];
    const Live_Request_State& s = engine_.States()[static_cast<size_t>(row)];
    switch (role) {
    case Qt::DisplayRole:
        switch (column) {
        case Slot:
            return r.slot;
        case Mnemonic:
            return r.mnemonic;
        case Slave:
            return QStringLiteral("%1, ID %2").arg(engine_.Slave_Of(row)).arg(r.slave_id);
        case Sent:
            return QString::number(s.sent);
        case Answered:
            return QString::number(s.answered);
        case Errors_In_Row:
            return QString::number(s.errors_in_row);
        case Last_Error:
            return Live_Error_Text(s.last_error, lang_);
        case Round_Trip:
            return s.round_trip_us < 0
                       ? QString()
                       : QString::number(static_cast<double>(s.round_trip_us) / 1000.0, 'f', 1);
        case Suspended:
            // The glyph stands out in the column; the word says it.
            return s.suspended ? QStringLiteral("\u2716 ") + lang_[Suspended_Yes] : QString();
        default:
            return {};
        }
    case Qt::AccessibleTextRole:
        if (column == Suspended)
            return s.suspended ? lang_[Suspended_Yes] : lang_[Suspended_No];
        return {};
    case Qt::ToolTipRole:
        return column == Last_Error ? Live_Error_Text(s.last_error, lang_) : QVariant();
    case Qt::TextAlignmentRole:
        if (column == Mnemonic || column == Slave || column == Last_Error)
            return QVariant(Qt::AlignLeft | Qt::AlignVCenter);
        if (column == Suspended)
            return Qt::AlignCenter;
        return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    case Qt::BackgroundRole:
        if (s.suspended)
            return Suspended_Colour();
        if (s.errors_in_row > 0)
            return Failing_Colour();
        return {};
    default:
        return {};
    }
}

QVariant Dry_Run_Model::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= Column_Count)
        return {};
    return lang_[726 + section];
}

void Dry_Run_Model::Reset(std::vector<Refused_Request> refused) {
    beginResetModel();
    refused_ = std::move(refused);
    requests_ = static_cast<int>(engine_.Requests().size());
    endResetModel();
}

void Dry_Run_Model::Refresh_Rows(std::vector<int> requests) {
    std::sort(requests.begin(), requests.end());
    requests.erase(std::unique(requests.begin(), requests.end()), requests.end());
    // One signal per run of neighbouring rows.
    size_t i = 0;
    while (i < requests.size()) {
        size_t j = i;
        while (j + 1 < requests.size() && requests[j + 1] == requests[j] + 1)
            ++j;
        if (requests[i] >= 0 && requests[j] < requests_)
            emit dataChanged(
                index(requests[i], 0), index(requests[j], Column_Count - 1),
                {Qt::DisplayRole, Qt::BackgroundRole, Qt::ToolTipRole, Qt::AccessibleTextRole});
        i = j + 1;
    }
}

void Dry_Run_Model::Retext() {
    emit headerDataChanged(Qt::Horizontal, 0, Column_Count - 1);
}
