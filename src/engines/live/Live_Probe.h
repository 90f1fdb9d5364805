#pragma once

#include <QObject>
#include <optional>

#include "access/Device_Requests.h"
#include "live/Live_Engine.h"

class Lang_Table;

// What one request sent once got back.
struct Probe_Result {
    Device_Request sent; // the read request that went out (a write row's read-back)
    Live_Error error;    // Kind::None for a good answer
    std::int64_t round_trip_us = -1;
    Data_Array data{};                 // the data array with the answer landed in it
    std::vector<std::uint16_t> values; // one per point: register values or bits
};

// The read request Test Row sends for a row of either table: a read row as it stands, a write row
// as the read-back of its target (coils with function 1, registers with function 3).
Device_Request Probe_Request(const Device_Request& row);

// Test Row: sends the read request of one row once, in the event loop, and reports the answer or
// the error. Never writes.
class Live_Probe : public QObject {
    Q_OBJECT
public:
    explicit Live_Probe(QObject* parent = nullptr);

    // Sends the request for row; defaults is the data array the answer lands in. A probe that is
    // still running is cancelled first.
    void Start(const Device_Request& row, const Live_Timing& timing, const Data_Array& defaults);
    // Drops the request; Finished is not emitted.
    void Cancel();
    bool Busy() const { return busy_; }
    const Probe_Result& Result() const { return result_; }

signals:
    // From the event loop, once per Start that was not cancelled.
    void Finished();

private:
    void On_Changed();

    Live_Engine engine_;
    Probe_Result result_;
    bool busy_ = false;
    int generation_ = 0;
};

// The message Test Row shows: the row's request, then the values (registers in decimal and hex,
// bits as 0/1) and the channels of the data array they land on, or the error.
QString Probe_Message(const Device_Request& row, const Probe_Result& result,
                      const Lang_Table& lang);
