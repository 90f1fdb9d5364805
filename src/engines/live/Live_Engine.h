#pragma once

#include <QElapsedTimer>
#include <QModbusRequest>
#include <QObject>
#include <cstdint>
#include <memory>
#include <vector>

#include "access/Device_Requests.h"
#include "live/Live_Error.h"
#include "live/Live_Frames.h"
#include "live/Live_Setup.h"

// The counters of one request during a run.
struct Live_Request_State {
    std::uint64_t sent = 0;     // requests that went out
    std::uint64_t answered = 0; // good answers: the data of a read, the echo of a write
    std::uint64_t failed = 0;   // every failure, exception answers included
    std::int64_t errors_in_row = 0;
    Live_Error last_error;           // kept after the request recovers
    std::int64_t round_trip_us = -1; // of the last answer from the slave, -1 before the first
    bool suspended = false;          // failed Max Error times in a row; not sent again this run
};

// A change of a request's state.
struct Live_Event {
    enum class Kind {
        Answered,  // its first good answer of the run
        Failed,    // a failure after a good answer or at the start (not every failure in a row)
        Suspended, // Max Error failures in a row
        Recovered, // a good answer after failures
    };
    Kind kind = Kind::Answered;
    int request = 0;        // index into Requests()
    std::int64_t at_ms = 0; // since the start of the run
};

// Runs the requests of one table against their Modbus TCP slaves as the converter would, in the
// Qt event loop (no thread of its own): one connection per slave address and port, one request in
// flight per connection, the requests of a connection served in turn by their due time, the
// cyclic delay between two requests on one connection and each request due again Poll Time after
// its previous one ended. Read answers land in the data array; write requests send what the array
// holds. Writes go out only after Allow_Writes(true).
class Live_Engine : public QObject {
    Q_OBJECT
public:
    explicit Live_Engine(QObject* parent = nullptr);
    ~Live_Engine() override;

    // What to run; only while stopped. The data array starts as initial.
    void Set_Plan(Access_Kind table, std::vector<Device_Request> requests,
                  const Live_Timing& timing, const Data_Array& initial);
    // Permission to send the write table (off by default).
    void Allow_Writes(bool allowed) { writes_allowed_ = allowed; }
    // The pause before a connection that could not be made is tried again.
    void Set_Reconnect_Pause(int ms) { reconnect_pause_ms_ = ms; }
    int Reconnect_Pause() const { return reconnect_pause_ms_; }
    static constexpr int Default_Reconnect_Pause_Ms = 1000;

    // Starts the run with fresh counters; false when there is no request or the plan writes
    // without permission. The data array keeps what Set_Plan and Set_Byte put into it.
    bool Start();
    // Ends the run: connections closed, requests in flight dropped; the counters stay.
    void Stop();
    bool Running() const { return running_; }

    Access_Kind Table() const { return table_; }
    const std::vector<Device_Request>& Requests() const { return requests_; }
    const std::vector<Live_Request_State>& States() const { return states_; }
    const Data_Array& Data() const { return data_; }
    const Live_Timing& Timing() const { return timing_; }
    // Slaves by address and port, in the order of their first request.
    int Connection_Count() const { return static_cast<int>(links_.size()); }
    // "10.0.0.7:502" of the connection of a request.
    QString Slave_Of(int request) const;
    // Milliseconds since Start (of the last run while stopped).
    std::int64_t Elapsed_Ms() const;
    // Requests that ended (good or failed) since Start.
    std::uint64_t Completed() const { return completed_; }

    // Changes one byte of the data array. During a run of the write table, the On Change requests
    // that send the byte become due at once.
    void Set_Byte(int index, std::uint8_t value);

signals:
    void Event(const Live_Event& event);
    // A request's counters changed.
    void Request_Changed(int request);
    // Bytes first..last of the data array may have changed.
    void Bytes_Changed(int first, int last);

private:
    struct Link;

    std::int64_t Now_Ms() const { return clock_.elapsed(); }
    std::int64_t Now_Us() const { return clock_.nsecsElapsed() / 1000; }
    void Schedule(Link& link);
    void Defer(Link& link);
    void On_Timer(Link& link);
    void Open(Link& link);
    void Send(Link& link, int request);
    void On_Reply(Link& link);
    void On_State(Link& link, int state);
    void Connect_Failed(Link& link, const Live_Error& error);
    void Connection_Lost(Link& link);
    Live_Error Link_Error(const Link& link) const;
    void Release_Reply(Link& link);
    void Drop_Client(Link& link);
    void End_Request(Link& link, int request, const Live_Error& error, std::int64_t now_ms);

    Access_Kind table_ = Access_Kind::Read;
    std::vector<Device_Request> requests_;
    std::vector<Live_Request_State> states_;
    std::vector<QModbusRequest> read_pdus_;
    std::vector<std::int64_t> due_ms_;
    std::vector<std::uint64_t> turn_; // when each request last went out, counted in sends
    std::uint64_t turns_ = 0;
    std::vector<char> change_pending_;
    std::vector<std::unique_ptr<Link>> links_;
    std::vector<int> link_of_;
    Live_Timing timing_;
    Data_Array data_{};
    QElapsedTimer clock_;
    std::uint64_t completed_ = 0;
    int reconnect_pause_ms_ = Default_Reconnect_Pause_Ms;
    bool writes_allowed_ = false;
    bool running_ = false;
};
