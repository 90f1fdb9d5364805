#pragma once

#include <QAbstractTableModel>
#include <vector>

#include "access/Device_Requests.h"

class Live_Engine;
class Lang_Table;

// The requests of a dry run as the window lists them: one row per request of the engine, in slot
// order, then one row per refused row with the editor's message. The counters are read from the
// engine when a view asks; Refresh_Rows tells the views which rows changed, so a busy run never
// redraws the whole table.
class Dry_Run_Model : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column {
        Slot,
        Mnemonic,
        Slave,
        Sent,
        Answered,
        Errors_In_Row,
        Last_Error,
        Round_Trip,
        Suspended,
        Column_Count
    };

    Dry_Run_Model(const Live_Engine& engine, const Lang_Table& lang, QObject* parent);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // After the engine got a new plan: its requests and the rows that were refused.
    void Reset(std::vector<Refused_Request> refused);
    // The rows of these requests changed (indices of the engine's requests, in any order).
    void Refresh_Rows(std::vector<int> requests);
    // Column titles from the string table.
    void Retext();

    int Request_Rows() const { return requests_; }

private:
    const Live_Engine& engine_;
    const Lang_Table& lang_;
    std::vector<Refused_Request> refused_;
    int requests_ = 0;
};
