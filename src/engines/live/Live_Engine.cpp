#include "live/Live_Engine.h"

#include <QModbusReply>
#include <QModbusTcpClient>
#include <QTcpSocket>
#include <QTimer>
#include <algorithm>
#include <climits>
#include <map>
#include <optional>

// One connection: a slave address and port, its requests and the client that reaches it. A client
// serves one connection attempt; a new one is made for the next.
struct Live_Engine::Link {
    enum class State { Closed, Connecting, Open };

    QString host;
    quint16 port = 0;
    std::vector<int> members;
    QModbusTcpClient* client = nullptr;
    QTcpSocket* socket = nullptr; // the client's socket, for the reason of a failure
    State state = State::Closed;
    // Waits for the next due request, for a connection or (below the client's shortest time-out)
    // for an answer.
    QTimer timer;
    bool own_reply_timeout = false;
    int in_flight = -1;
    QModbusReply* reply = nullptr;
    QModbusRequest sent;
    std::int64_t sent_at_us = 0;
    std::int64_t free_at_ms = 0;    // the cyclic delay after the last request ended
    std::int64_t connect_at_ms = 0; // the pause after a connection that could not be made
};

Live_Engine::Live_Engine(QObject* parent)
    : QObject(parent) {}

Live_Engine::~Live_Engine() {
    Stop();
}

void Live_Engine::Set_Plan(Access_Kind table, std::vector<Device_Request> requests,
                           const Live_Timing& timing, const Data_Array& initial) {
    Stop();
    table_ = table;
    requests_ = std::move(requests);
    timing_ = timing;
    data_ = initial;
    const size_t count = requests_.size();
    states_.assign(count, {});
    due_ms_.assign(count, 0);
    turn_.assign(count, 0);
    change_pending_.assign(count, 0);
    read_pdus_.clear();
    read_pdus_.reserve(count);
    for (const Device_Request& request : requests_)
        read_pdus_.push_back(Read_Pdu(request));

    links_.clear();
    link_of_.assign(count, -1);
    std::map<std::pair<quint32, int>, int> by_slave;
    for (size_t i = 0; i < count; ++i) {
        const Device_Request& request = requests_[i];
        const auto key = std::pair{request.ip_word, request.port};
        auto found = by_slave.find(key);
        if (found == by_slave.end()) {
            auto link = std::make_unique<Link>();
            link->host = request.ip_address;
            link->port = static_cast<quint16>(request.port);
            link->timer.setSingleShot(true);
            Link* raw = link.get();
            connect(&link->timer, &QTimer::timeout, this, [this, raw] { On_Timer(*raw); });
            found = by_slave.emplace(key, static_cast<int>(links_.size())).first;
            links_.push_back(std::move(link));
        }
        link_of_[i] = found->second;
        links_[static_cast<size_t>(found->second)]->members.push_back(static_cast<int>(i));
    }
}

bool Live_Engine::Start() {
    if (running_)
        return true;
    if (requests_.empty() || (table_ == Access_Kind::Write && !writes_allowed_))
        return false;
    std::fill(states_.begin(), states_.end(), Live_Request_State{});
    std::fill(due_ms_.begin(), due_ms_.end(), 0);
    std::fill(turn_.begin(), turn_.end(), 0);
    turns_ = 0;
    std::fill(change_pending_.begin(), change_pending_.end(), 0);
    completed_ = 0;
    for (auto& link : links_) {
        link->free_at_ms = 0;
        link->connect_at_ms = 0;
    }
    clock_.start();
    running_ = true;
    for (auto& link : links_)
        Defer(*link);
    return true;
}

void Live_Engine::Stop() {
    if (!running_)
        return;
    running_ = false;
    for (auto& link : links_) {
        link->timer.stop();
        Release_Reply(*link);
        Drop_Client(*link);
    }
}

QString Live_Engine::Slave_Of(int request) const {
    if (request < 0 || request >= static_cast<int>(link_of_.size()))
        return {};
    const Link& link = *links_[static_cast<size_t>(link_of_[static_cast<size_t>(request)])];
    return link.host + QLatin1Char(':') + QString::number(link.port);
}

std::int64_t Live_Engine::Elapsed_Ms() const {
    return clock_.isValid() ? clock_.elapsed() : 0;
}

void Live_Engine::Defer(Link& link) {
    // Never send from inside the client's own signals: the next request goes from the event loop.
    if (running_ && !link.reply && link.state != Link::State::Connecting)
        link.timer.start(0);
}

void Live_Engine::On_Timer(Link& link) {
    if (!running_)
        return;
    if (link.state == Link::State::Connecting) {
        Connect_Failed(link, {Live_Error::Kind::Timeout, timing_.Effective_Timeout(), {}});
        return;
    }
    if (link.reply) {
        // An answer that did not come within a time-out shorter than the client's own.
        const int request = link.in_flight;
        Release_Reply(link);
        End_Request(link, request, {Live_Error::Kind::Timeout, timing_.Effective_Timeout(), {}},
                    Now_Ms());
        return;
    }
    Schedule(link);
}

void Live_Engine::Schedule(Link& link) {
    if (!running_ || link.reply || link.state == Link::State::Connecting)
        return;
    // The request due first; of requests due at the same time, the one that went out longest ago.
    int next = -1;
    for (const int i : link.members) {
        const size_t k = static_cast<size_t>(i);
        if (states_[k].suspended)
            continue;
        if (next < 0 || due_ms_[k] < due_ms_[static_cast<size_t>(next)] ||
            (due_ms_[k] == due_ms_[static_cast<size_t>(next)] &&
             turn_[k] < turn_[static_cast<size_t>(next)]))
            next = i;
    }
    if (next < 0) {
        // Every request of the slave is suspended: the connection is no longer needed.
        Drop_Client(link);
        return;
    }
    const std::int64_t now = Now_Ms();
    const std::int64_t due = due_ms_[static_cast<size_t>(next)];
    if (link.state == Link::State::Closed) {
        const std::int64_t at = std::max(due, link.connect_at_ms);
        if (at > now)
            link.timer.start(static_cast<int>(std::min<std::int64_t>(at - now, INT_MAX)));
        else
            Open(link);
        return;
    }
    const std::int64_t at = std::max(due, link.free_at_ms);
    if (at > now)
        link.timer.start(static_cast<int>(std::min<std::int64_t>(at - now, INT_MAX)));
    else
        Send(link, next);
}

void Live_Engine::Open(Link& link) {
    auto* client = new QModbusTcpClient(this);
    client->setConnectionParameter(QModbusDevice::NetworkAddressParameter, link.host);
    client->setConnectionParameter(QModbusDevice::NetworkPortParameter, link.port);
    const int timeout = timing_.Effective_Timeout();
    client->setTimeout(timeout);
    client->setNumberOfRetries(0);
    // The client keeps its own time-out above a minimum; a shorter one is watched here.
    link.own_reply_timeout = client->timeout() != timeout;
    link.client = client;
    link.socket = client->findChild<QTcpSocket*>();
    link.state = Link::State::Connecting;
    Link* raw = &link;
    connect(client, &QModbusDevice::stateChanged, this,
            [this, raw](QModbusDevice::State state) { On_State(*raw, state); });
    link.timer.start(timeout);
    if (!client->connectDevice() && link.client == client)
        Connect_Failed(link, {Live_Error::Kind::Connection, 0, client->errorString()});
}

void Live_Engine::On_State(Link& link, int state) {
    if (!running_)
        return;
    if (state == QModbusDevice::ConnectedState && link.state == Link::State::Connecting) {
        link.state = Link::State::Open;
        link.timer.stop();
        Defer(link);
    } else if (state == QModbusDevice::UnconnectedState) {
        if (link.state == Link::State::Connecting)
            Connect_Failed(link, Link_Error(link));
        else if (link.state == Link::State::Open)
            Connection_Lost(link);
    }
}

Live_Error Live_Engine::Link_Error(const Link& link) const {
    if (!link.socket)
        return {Live_Error::Kind::Closed, 0, {}};
    switch (link.socket->error()) {
    case QAbstractSocket::ConnectionRefusedError:
        return {Live_Error::Kind::Refused, 0, {}};
    case QAbstractSocket::RemoteHostClosedError:
    case QAbstractSocket::UnknownSocketError:
        return {Live_Error::Kind::Closed, 0, {}};
    case QAbstractSocket::SocketTimeoutError:
        return {Live_Error::Kind::Timeout, timing_.Effective_Timeout(), {}};
    default:
        return {Live_Error::Kind::Connection, 0, link.socket->errorString()};
    }
}

void Live_Engine::Connect_Failed(Link& link, const Live_Error& error) {
    Drop_Client(link);
    const std::int64_t now = Now_Ms();
    link.connect_at_ms = now + reconnect_pause_ms_;
    // Every request that was waiting for this connection fails with its error.
    for (const int i : link.members)
        if (!states_[static_cast<size_t>(i)].suspended && due_ms_[static_cast<size_t>(i)] <= now)
            End_Request(link, i, error, now);
    Defer(link);
}

void Live_Engine::Connection_Lost(Link& link) {
    const Live_Error error = Link_Error(link);
    const int request = link.in_flight;
    Release_Reply(link);
    Drop_Client(link);
    // The connection is made again as soon as a request is due.
    link.connect_at_ms = 0;
    if (request >= 0)
        End_Request(link, request, error, Now_Ms());
    else
        Defer(link);
}

void Live_Engine::Release_Reply(Link& link) {
    if (!link.reply)
        return;
    disconnect(link.reply, nullptr, this, nullptr);
    link.reply->deleteLater();
    link.reply = nullptr;
    link.in_flight = -1;
}

void Live_Engine::Drop_Client(Link& link) {
    link.state = Link::State::Closed;
    link.socket = nullptr;
    if (!link.client)
        return;
    QModbusTcpClient* client = link.client;
    link.client = nullptr;
    disconnect(client, nullptr, this, nullptr);
    client->disconnectDevice();
    client->deleteLater();
}

void Live_Engine::Send(Link& link, int request) {
    const Device_Request& r = requests_[static_cast<size_t>(request)];
    link.sent = table_ == Access_Kind::Write ? Write_Pdu(r, data_)
                                             : read_pdus_[static_cast<size_t>(request)];
    const std::int64_t now_us = Now_Us();
    if (!link.sent.isValid()) {
        // A request without a function the client can send (the table's check lets none
        // through): it fails without going out, and the connection stays.
        End_Request(link, request,
                    {Live_Error::Kind::Connection, 0, QStringLiteral("invalid request")},
                    now_us / 1000);
        return;
    }
    QModbusReply* reply = link.client->sendRawRequest(link.sent, r.slave_id);
    if (!reply) {
        // The request could not be written: the connection is made again after the pause.
        const Live_Error error{Live_Error::Kind::Connection, 0, link.client->errorString()};
        Drop_Client(link);
        link.connect_at_ms = now_us / 1000 + reconnect_pause_ms_;
        End_Request(link, request, error, now_us / 1000);
        return;
    }
    ++states_[static_cast<size_t>(request)].sent;
    turn_[static_cast<size_t>(request)] = ++turns_;
    link.reply = reply;
    link.in_flight = request;
    link.sent_at_us = now_us;
    Link* raw = &link;
    connect(reply, &QModbusReply::finished, this, [this, raw] { On_Reply(*raw); });
    if (link.own_reply_timeout)
        link.timer.start(timing_.Effective_Timeout());
    else
        link.timer.stop();
    if (reply->isFinished())
        On_Reply(link);
}

void Live_Engine::On_Reply(Link& link) {
    QModbusReply* reply = link.reply;
    if (!reply || !running_)
        return;
    const int request = link.in_flight;
    const Device_Request& r = requests_[static_cast<size_t>(request)];
    Release_Reply(link);
    const std::int64_t now_us = Now_Us();
    Live_Request_State& state = states_[static_cast<size_t>(request)];

    Live_Error error;
    bool answer = false; // the slave answered
    switch (reply->error()) {
    case QModbusDevice::NoError: {
        answer = true;
        const QModbusResponse response = reply->rawResult();
        if (!Answer_Fits(link.sent, response, r.npoint)) {
            error = {Live_Error::Kind::Bad_Answer, 0, {}};
        } else if (table_ == Access_Kind::Read) {
            const Byte_Range changed = Land_Answer(r, response.data(), data_);
            if (!changed.Empty())
                emit Bytes_Changed(changed.first, changed.last);
        }
        break;
    }
    case QModbusDevice::ProtocolError: {
        // An exception answer; its first data byte is the exception code. (The client keeps the
        // function code of an exception sign-extended, so it is not read here.)
        answer = true;
        const QByteArray data = reply->rawResult().data();
        if (data.isEmpty())
            error = {Live_Error::Kind::Bad_Answer, 0, {}};
        else
            error = {Live_Error::Kind::Exception, static_cast<std::uint8_t>(data.at(0)), {}};
        break;
    }
    case QModbusDevice::TimeoutError:
        error = {Live_Error::Kind::Timeout, timing_.Effective_Timeout(), {}};
        break;
    case QModbusDevice::ReplyAbortedError:
        error = Link_Error(link);
        break;
    default:
        error = {Live_Error::Kind::Connection, 0, reply->errorString()};
        break;
    }
    if (answer)
        state.round_trip_us = now_us - link.sent_at_us;
    End_Request(link, request, error, now_us / 1000);
}

void Live_Engine::End_Request(Link& link, int request, const Live_Error& error,
                              std::int64_t now_ms) {
    const size_t i = static_cast<size_t>(request);
    Live_Request_State& state = states_[i];
    const Device_Request& r = requests_[i];
    ++completed_;
    std::optional<Live_Event::Kind> event;
    if (error.kind == Live_Error::Kind::None) {
        ++state.answered;
        if (state.answered == 1)
            event = Live_Event::Kind::Answered;
        else if (state.errors_in_row > 0)
            event = Live_Event::Kind::Recovered;
        state.errors_in_row = 0;
    } else {
        ++state.failed;
        ++state.errors_in_row;
        state.last_error = error;
        if (state.errors_in_row == 1)
            event = Live_Event::Kind::Failed;
    }
    due_ms_[i] = now_ms + r.poll_time;
    if (change_pending_[i]) {
        change_pending_[i] = 0;
        due_ms_[i] = now_ms;
    }
    link.free_at_ms = now_ms + timing_.cyclic_ms;
    if (event)
        emit Event({*event, request, now_ms});
    if (error.kind != Live_Error::Kind::None && r.max_error > 0 &&
        state.errors_in_row >= r.max_error && !state.suspended) {
        state.suspended = true;
        emit Event({Live_Event::Kind::Suspended, request, now_ms});
    }
    emit Request_Changed(request);
    Defer(link);
}

void Live_Engine::Set_Byte(int index, std::uint8_t value) {
    if (index < 0 || index >= Data_Array_Size || data_[static_cast<size_t>(index)] == value)
        return;
    data_[static_cast<size_t>(index)] = value;
    emit Bytes_Changed(index, index);
    if (!running_ || table_ != Access_Kind::Write)
        return;
    const std::int64_t now = Now_Ms();
    for (size_t i = 0; i < requests_.size(); ++i) {
        const Device_Request& r = requests_[i];
        if (!r.on_change || states_[i].suspended || index < r.position || index > r.Last_Byte())
            continue;
        Link& link = *links_[static_cast<size_t>(link_of_[i])];
        if (link.in_flight == static_cast<int>(i))
            change_pending_[i] = 1;
        else
            due_ms_[i] = std::min(due_ms_[i], now);
        Defer(link);
    }
}
