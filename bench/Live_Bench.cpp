// The dry run under full load: 1024 read requests over 4 Modbus TCP slaves on 127.0.0.1, Poll Time
// 0 and no cyclic delay, for 5 seconds, by the engine alone and with the dry run window showing
// it (offscreen). Reports the requests answered per second and the longest stall of the event
// loop (the longest gap between two ticks of a 1 ms timer). The slaves run in a thread of their
// own, as real slaves are other machines, and change their registers every 20 ms so that the
// window has channels to repaint.
#include "Bench_Support.h"
#include "dry_run_window/UDry_Run.h"
#include "live/Live_Engine.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QModbusTcpServer>
#include <QSemaphore>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <memory>
#include <vector>

namespace {

constexpr int Slave_Count = 4;
constexpr int Request_Count = 1024;
constexpr int Run_Ms = 5000;

// Four slaves with 256 holding registers each, served by one thread.
class Slave_Thread : public QThread {
public:
    std::vector<quint16> ports;

    void Start() {
        start();
        ready_.acquire();
    }
    void Stop() {
        quit();
        wait();
    }

protected:
    void run() override {
        std::vector<std::unique_ptr<QModbusTcpServer>> servers;
        for (int i = 0; i < Slave_Count; ++i) {
            auto server = std::make_unique<QModbusTcpServer>();
            QModbusDataUnitMap map;
            map.insert(QModbusDataUnit::HoldingRegisters,
                       {QModbusDataUnit::HoldingRegisters, 0, 256});
            server->setMap(map);
            server->setServerAddress(1);
            for (int a = 0; a < 256; ++a)
                server->setData(QModbusDataUnit::HoldingRegisters, static_cast<quint16>(a),
                                static_cast<quint16>(a * 257));
            for (int attempt = 0; attempt < 5; ++attempt) {
                QTcpServer probe;
                probe.listen(QHostAddress::LocalHost, 0);
                const quint16 port = probe.serverPort();
                probe.close();
                server->setConnectionParameter(QModbusDevice::NetworkAddressParameter,
                                               QStringLiteral("127.0.0.1"));
                server->setConnectionParameter(QModbusDevice::NetworkPortParameter, port);
                if (server->connectDevice()) {
                    ports.push_back(port);
                    break;
                }
            }
            servers.push_back(std::move(server));
        }
        QTimer change;
        int step = 0;
        QObject::connect(&change, &QTimer::timeout, [&] {
            ++step;
            for (auto& server : servers)
                for (int a = step % 8; a < 256; a += 8)
                    server->setData(QModbusDataUnit::HoldingRegisters, static_cast<quint16>(a),
                                    static_cast<quint16>(a * 257 + step));
        });
        change.start(20);
        ready_.release();
        exec();
    }

private:
    QSemaphore ready_;
};

std::vector<Device_Request> Requests(const std::vector<quint16>& ports) {
    std::vector<Device_Request> requests;
    for (int i = 0; i < Request_Count; ++i) {
        Device_Request r;
        r.table = Access_Kind::Read;
        r.slot = i + 1;
        r.ip_word = 0x7F000001;
        r.ip_address = QStringLiteral("127.0.0.1");
        r.port = ports[static_cast<size_t>(i % Slave_Count)];
        r.slave_id = 1;
        r.type = QStringLiteral("HOLDING REGISTER");
        r.function_code = 3;
        r.address = (i / Slave_Count) % 256;
        r.npoint = 1;
        r.poll_time = 0;
        r.max_error = 0;
        r.position = (i % 256) * 2;
        requests.push_back(r);
    }
    return requests;
}

// The longest gap between two ticks of a 1 ms timer while it runs.
class Stall_Meter {
public:
    Stall_Meter() {
        timer_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            const qint64 now = clock_.nsecsElapsed();
            longest_ns_ = std::max(longest_ns_, now - last_ns_);
            last_ns_ = now;
        });
        clock_.start();
        timer_.start(1);
    }
    double Longest_Ms() const { return static_cast<double>(longest_ns_) / 1e6; }

private:
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 last_ns_ = 0;
    qint64 longest_ns_ = 0;
};

void Report(benchmark::State& state, const Live_Engine& engine, const Stall_Meter& meter) {
    const double seconds = static_cast<double>(engine.Elapsed_Ms()) / 1000.0;
    std::uint64_t answered = 0, failed = 0;
    for (const Live_Request_State& s : engine.States()) {
        answered += s.answered;
        failed += s.failed;
    }
    state.counters["requests_per_s"] = static_cast<double>(answered) / seconds;
    state.counters["failed"] = static_cast<double>(failed);
    state.counters["stall_ms"] = meter.Longest_Ms();
    if (failed > 0)
        state.SkipWithError("requests failed");
}

void BM_Dry_Run_1024_Requests_4_Slaves(benchmark::State& state) {
    Slave_Thread slaves;
    slaves.Start();
    if (slaves.ports.size() != Slave_Count) {
        slaves.Stop();
        state.SkipWithError("the slaves could not listen");
        return;
    }
    const std::vector<Device_Request> requests = Requests(slaves.ports);
    for (auto _ : state) {
        Live_Engine engine;
        engine.Set_Plan(Access_Kind::Read, requests, {1000, 0}, Data_Array{});
        QEventLoop loop;
        QTimer::singleShot(Run_Ms, &loop, &QEventLoop::quit);
        Stall_Meter meter;
        engine.Start();
        loop.exec();
        engine.Stop();
        Report(state, engine, meter);
    }
    slaves.Stop();
}
BENCHMARK(BM_Dry_Run_1024_Requests_4_Slaves)
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

// The same run shown by the dry run window: grid, flashing channels, the table of requests.
void BM_Dry_Run_Window_1024_Requests_4_Slaves(benchmark::State& state) {
    Slave_Thread slaves;
    slaves.Start();
    if (slaves.ports.size() != Slave_Count) {
        slaves.Stop();
        state.SkipWithError("the slaves could not listen");
        return;
    }
    QTemporaryDir folder;
    Silent_Messages messages;
    App_Context ctx;
    ctx.lang.Load_Default_Texts();
    ctx.messages = &messages;
    ctx.state.Project_Dir = folder.path();
    ctx.state.Set_Files();
    Live_Setup setup;
    setup.list.table = Access_Kind::Read;
    setup.list.requests = Requests(slaves.ports);
    setup.timing = {1000, 0};
    for (auto _ : state) {
        TFDry_Run window(ctx, nullptr);
        window.show();
        QEventLoop loop;
        QTimer::singleShot(Run_Ms, &loop, &QEventLoop::quit);
        Stall_Meter meter;
        if (!window.Run_Setup(setup)) {
            state.SkipWithError(qPrintable("not started: " + messages.last_error));
            break;
        }
        loop.exec();
        window.Btn_StopClick();
        Report(state, window.Engine(), meter);
        window.hide();
    }
    slaves.Stop();
}
BENCHMARK(BM_Dry_Run_Window_1024_Requests_4_Slaves)
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

} // namespace
