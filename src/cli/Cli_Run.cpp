#include "cli/Cli.h"

#include "lang/Lang_Table.h"
#include "live/Live_Engine.h"
#include "live/Live_Setup.h"
#include "platform/Error.h"
#include "platform/Files.h"
#include "platform/Int_Conv.h"

#include <QEventLoop>
#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <map>

#ifdef Q_OS_UNIX
#include <csignal>
#include <fcntl.h>
#include <unistd.h>
#endif
#ifdef Q_OS_WIN
#include <atomic>
#include <windows.h>
#endif

QString Run_Usage() {
    return QStringLiteral(
        "Usage: tessaro-cli run DIR --seconds N [--json-lines] [--allow-writes] [--set CH=V ...]\n"
        "\n"
        "Dry run: sends the Modbus TCP requests of the configuration folder DIR from this\n"
        "computer to the real slaves, as the converter would, for N seconds (a decimal number\n"
        "such as 0.5 is accepted), and shows what the converter's 512-byte data array would hold.\n"
        "The table is the one the converter uses (the read table for DMX OUT, the write table\n"
        "for DMX IN); rows that the editor's check refuses are not run and are listed.\n"
        "\n"
        "It prints one line per change of a request's state (answered first, failed,\n"
        "suspended, recovered) and a summary at the end; Ctrl-C ends the run early with the\n"
        "summary. --json-lines prints one JSON object per line instead: one per event and a\n"
        "final \"summary\" object with the data array and every request's counters.\n"
        "\n"
        "  --allow-writes  needed to run a write table: its requests change real equipment\n"
        "  --set CH=V      sets channel CH (1..512) of the data array to V (0..255) before the\n"
        "                  run; may be repeated\n"
        "\n"
        "Exit status 0 when every request got at least one good answer and, at the end of the\n"
        "run, none is suspended and no request's last attempt failed; 1 otherwise (the summary\n"
        "names those requests) or when nothing could be run; 2 for a wrong argument or a write\n"
        "table without --allow-writes.\n");
}

namespace {

struct Run_Arguments {
    QString dir;
    double seconds = -1;
    bool json = false;
    bool allow_writes = false;
    std::map<int, int> sets; // channel -> value
};

// A number of seconds: decimal, above 0, at most a day.
std::optional<double> Parse_Seconds(const QString& text) {
    bool ok = false;
    const double value = text.toDouble(&ok); // QString::toDouble ignores the locale
    if (!ok || !std::isfinite(value) || value <= 0 || value > 86400)
        return std::nullopt;
    return value;
}

// "CH=V" with CH 1..512 and V 0..255.
std::optional<std::pair<int, int>> Parse_Set(const QString& text) {
    const int equals = text.indexOf(QLatin1Char('='));
    if (equals < 0)
        return std::nullopt;
    const auto channel = Parse_Int(text.left(equals));
    const auto value = Parse_Int(text.mid(equals + 1));
    if (!channel || !value || *channel < 1 || *channel > Data_Array_Size || *value < 0 ||
        *value > 255)
        return std::nullopt;
    return std::pair{*channel, *value};
}

// Ctrl-C (and a termination request) while the run lasts: the handler only writes a byte to a
// pipe, which the event loop reads.
class Interrupt_Watch {
public:
    explicit Interrupt_Watch(QEventLoop& loop) {
#ifdef Q_OS_UNIX
        if (::pipe(fds_) != 0)
            return;
        for (int fd : fds_) {
            ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
            ::fcntl(fd, F_SETFD, FD_CLOEXEC);
        }
        write_fd_ = fds_[1];
        notifier_ = std::make_unique<QSocketNotifier>(fds_[0], QSocketNotifier::Read);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, &loop, [this, &loop] {
            char byte;
            while (::read(fds_[0], &byte, 1) > 0) {
            }
            interrupted_ = true;
            loop.quit();
        });
        struct sigaction action {};
        action.sa_handler = &Interrupt_Watch::On_Signal;
        sigemptyset(&action.sa_mask);
        ::sigaction(SIGINT, &action, &old_int_);
        ::sigaction(SIGTERM, &action, &old_term_);
        installed_ = true;
#elif defined(Q_OS_WIN)
        // The console's Ctrl-C, Ctrl-Break and close come on a thread of their own: the loop is
        // asked to quit through its queue.
        console_event_.store(false);
        loop_.store(&loop);
        installed_ = SetConsoleCtrlHandler(&Interrupt_Watch::On_Console_Event, TRUE) != 0;
#else
        Q_UNUSED(loop);
#endif
    }
    ~Interrupt_Watch() {
#ifdef Q_OS_UNIX
        if (installed_) {
            ::sigaction(SIGINT, &old_int_, nullptr);
            ::sigaction(SIGTERM, &old_term_, nullptr);
        }
        write_fd_ = -1;
        notifier_.reset();
        for (int fd : fds_)
            if (fd >= 0)
                ::close(fd);
#elif defined(Q_OS_WIN)
        if (installed_)
            SetConsoleCtrlHandler(&Interrupt_Watch::On_Console_Event, FALSE);
        loop_.store(nullptr);
#endif
    }
    bool Interrupted() const {
#ifdef Q_OS_WIN
        return interrupted_ || console_event_.load();
#else
        return interrupted_;
#endif
    }

private:
#ifdef Q_OS_UNIX
    static void On_Signal(int) {
        const int saved = errno;
        if (write_fd_ >= 0) {
            const char byte = 1;
            [[maybe_unused]] const auto written = ::write(write_fd_, &byte, 1);
        }
        errno = saved;
    }
    static inline volatile sig_atomic_t write_fd_ = -1;
    int fds_[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> notifier_;
    struct sigaction old_int_ {};
    struct sigaction old_term_ {};
    bool installed_ = false;
#elif defined(Q_OS_WIN)
    static BOOL WINAPI On_Console_Event(DWORD event) {
        if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT)
            return FALSE;
        QEventLoop* loop = loop_.load();
        if (!loop)
            return FALSE;
        console_event_.store(true);
        QMetaObject::invokeMethod(loop, &QEventLoop::quit, Qt::QueuedConnection);
        return TRUE;
    }
    static inline std::atomic<QEventLoop*> loop_{nullptr};
    static inline std::atomic<bool> console_event_{false};
    bool installed_ = false;
#endif
    bool interrupted_ = false;
};

QString Fixed(double value, int decimals) {
    return QString::number(value, 'f', decimals);
}

QString Round_Trip_Ms(std::int64_t us) {
    return Fixed(static_cast<double>(us) / 1000.0, 1);
}

QString Event_Name(Live_Event::Kind kind) {
    switch (kind) {
    case Live_Event::Kind::Answered:
        return QStringLiteral("answered");
    case Live_Event::Kind::Failed:
        return QStringLiteral("failed");
    case Live_Event::Kind::Suspended:
        return QStringLiteral("suspended");
    case Live_Event::Kind::Recovered:
        return QStringLiteral("recovered");
    }
    return {};
}

QString Json_Error(const Live_Error& error, const Lang_Table& lang) {
    if (error.kind == Live_Error::Kind::None)
        return QStringLiteral("null");
    QString text = QStringLiteral("{\"kind\": ") + Json_String(Live_Error_Key(error.kind));
    if (error.kind == Live_Error::Kind::Exception)
        text += QStringLiteral(", \"exception_code\": ") + QString::number(error.code);
    return text + QStringLiteral(", \"message\": ") + Json_String(Live_Error_Text(error, lang)) +
           QLatin1Char('}');
}

// The fields that name a request in a JSON object.
QString Json_Request(const Live_Engine& engine, int i) {
    const Device_Request& r = engine.Requests()[static_cast<size_t>(i)];
    return QStringLiteral("\"slot\": %1, \"mnemonic\": %2, \"slave\": %3, \"unit\": %4")
        .arg(r.slot)
        .arg(Json_String(r.mnemonic), Json_String(engine.Slave_Of(i)))
        .arg(r.slave_id);
}

// "row 3  10.0.0.7:502 unit 1 (Boiler)"
QString Text_Request(const Live_Engine& engine, int i) {
    const Device_Request& r = engine.Requests()[static_cast<size_t>(i)];
    QString text =
        QStringLiteral("row %1  %2 unit %3").arg(r.slot).arg(engine.Slave_Of(i)).arg(r.slave_id);
    if (!r.mnemonic.trimmed().isEmpty())
        text += QStringLiteral(" (") + r.mnemonic + QLatin1Char(')');
    return text;
}

QString Slave_List(const Live_Engine& engine) {
    QStringList slaves;
    for (int i = 0; i < static_cast<int>(engine.Requests().size()); ++i) {
        const QString slave = engine.Slave_Of(i) + QStringLiteral(" unit ") +
                              QString::number(engine.Requests()[static_cast<size_t>(i)].slave_id);
        if (!slaves.contains(slave))
            slaves.append(slave);
    }
    return slaves.join(QStringLiteral(", "));
}

// Why a request is not answering at the end of the run; None when it answers.
enum class Failing { None, Suspended, Last_Attempt_Failed, No_Answer };

Failing Failing_At_End(const Live_Request_State& s) {
    if (s.suspended)
        return Failing::Suspended;
    if (s.errors_in_row > 0)
        return Failing::Last_Attempt_Failed;
    if (s.answered == 0)
        return Failing::No_Answer;
    return Failing::None;
}

QString Failing_Key(Failing failing) {
    switch (failing) {
    case Failing::Suspended:
        return QStringLiteral("suspended");
    case Failing::Last_Attempt_Failed:
        return QStringLiteral("last_attempt_failed");
    case Failing::No_Answer:
        return QStringLiteral("no_answer");
    case Failing::None:
        break;
    }
    return {};
}

// "suspended after 3 errors in a row, after 12 good answers; last error: time-out (200 ms)"
QString Failing_Text(const Live_Request_State& s, const Lang_Table& lang) {
    QString text;
    switch (Failing_At_End(s)) {
    case Failing::Suspended:
        text = QStringLiteral("suspended after %1 errors in a row").arg(s.errors_in_row);
        break;
    case Failing::Last_Attempt_Failed:
        text = s.errors_in_row == 1
                   ? QStringLiteral("its last attempt failed")
                   : QStringLiteral("its last %1 attempts failed").arg(s.errors_in_row);
        break;
    case Failing::No_Answer:
        return QStringLiteral("no answer came back during the run");
    case Failing::None:
        return {};
    }
    text += s.answered == 0 ? QStringLiteral(", never answered")
                            : QStringLiteral(", after %1 good %2")
                                  .arg(s.answered)
                                  .arg(QLatin1String(s.answered == 1 ? "answer" : "answers"));
    if (s.last_error.kind != Live_Error::Kind::None)
        text += QStringLiteral("; last error: ") + Live_Error_Text(s.last_error, lang);
    return text;
}

// The summary table: one line per request, columns padded to their widest cell.
void Print_Table(QTextStream& out, const Live_Engine& engine, const Lang_Table& lang) {
    QList<QStringList> rows;
    rows.append({QStringLiteral("row"), QStringLiteral("slave"), QStringLiteral("unit"),
                 QStringLiteral("fn"), QStringLiteral("sent"), QStringLiteral("answered"),
                 QStringLiteral("failed"), QStringLiteral("in row"), QStringLiteral("rtt ms"),
                 QStringLiteral("suspended"), QStringLiteral("last error"),
                 QStringLiteral("mnemonic")});
    for (int i = 0; i < static_cast<int>(engine.Requests().size()); ++i) {
        const Device_Request& r = engine.Requests()[static_cast<size_t>(i)];
        const Live_Request_State& s = engine.States()[static_cast<size_t>(i)];
        rows.append(
            {QString::number(r.slot), engine.Slave_Of(i), QString::number(r.slave_id),
             QString::number(r.function_code), QString::number(s.sent), QString::number(s.answered),
             QString::number(s.failed), QString::number(s.errors_in_row),
             s.round_trip_us < 0 ? QStringLiteral("-") : Round_Trip_Ms(s.round_trip_us),
             QLatin1String(s.suspended ? "yes" : "no"),
             s.last_error.kind == Live_Error::Kind::None ? QStringLiteral("-")
                                                         : Live_Error_Text(s.last_error, lang),
             r.mnemonic});
    }
    const int columns = static_cast<int>(rows.first().size());
    std::vector<int> widths(static_cast<size_t>(columns), 0);
    for (const QStringList& row : rows)
        for (int c = 0; c < columns; ++c)
            widths[static_cast<size_t>(c)] =
                std::max(widths[static_cast<size_t>(c)], static_cast<int>(row[c].size()));
    // Numbers right-aligned, texts left-aligned; the last column is not padded.
    const auto numeric = [](int c) { return c == 0 || (c >= 2 && c <= 8); };
    for (const QStringList& row : rows) {
        QString line;
        for (int c = 0; c < columns; ++c) {
            if (c)
                line += QStringLiteral("  ");
            const int width = widths[static_cast<size_t>(c)];
            line += numeric(c)         ? row[c].rightJustified(width)
                    : c == columns - 1 ? row[c]
                                       : row[c].leftJustified(width);
        }
        while (line.endsWith(QLatin1Char(' ')))
            line.chop(1);
        out << line << '\n';
    }
}

// The channels the requests cover, 16 to a line.
void Print_Data(QTextStream& out, const Live_Engine& engine) {
    std::vector<bool> covered(Data_Array_Size, false);
    for (const Device_Request& r : engine.Requests())
        for (int b = r.position; b <= r.Last_Byte(); ++b)
            covered[static_cast<size_t>(b)] = true;
    out << "Data array (channel: values of the channels the requests use):\n";
    for (int line = 0; line < Data_Array_Size; line += 16) {
        bool any = false;
        for (int b = line; b < line + 16; ++b)
            any = any || covered[static_cast<size_t>(b)];
        if (!any)
            continue;
        out << QString::number(line + 1).rightJustified(5) << ':';
        for (int b = line; b < line + 16; ++b)
            out << (covered[static_cast<size_t>(b)]
                        ? QString::number(engine.Data()[static_cast<size_t>(b)]).rightJustified(4)
                        : QStringLiteral("   ."));
        out << '\n';
    }
}

} // namespace

int Verb_Run(const QStringList& arguments, Cli_Streams streams) {
    Run_Arguments args;
    const auto usage = [&](const QString& why) {
        streams.err << "tessaro-cli run: " << why << "\n\n" << Run_Usage();
        return Exit_Usage;
    };
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            streams.out << Run_Usage();
            return Exit_Ok;
        }
        if (argument == QLatin1String("--json-lines")) {
            args.json = true;
        } else if (argument == QLatin1String("--allow-writes")) {
            args.allow_writes = true;
        } else if (argument == QLatin1String("--seconds")) {
            if (i + 1 >= arguments.size() || args.seconds > 0)
                return usage(QStringLiteral("--seconds needs one number of seconds"));
            const auto seconds = Parse_Seconds(arguments[++i]);
            if (!seconds)
                return usage(QStringLiteral("\"%1\" is not a number of seconds above 0 (at most "
                                            "86400)")
                                 .arg(arguments[i]));
            args.seconds = *seconds;
        } else if (argument == QLatin1String("--set")) {
            if (i + 1 >= arguments.size())
                return usage(QStringLiteral("--set needs CH=V"));
            const auto set = Parse_Set(arguments[++i]);
            if (!set)
                return usage(QStringLiteral("\"%1\" is not CH=V with a channel 1..512 and a "
                                            "value 0..255")
                                 .arg(arguments[i]));
            args.sets[set->first] = set->second;
        } else if (argument.startsWith(QLatin1Char('-')) || !args.dir.isEmpty()) {
            return usage(QStringLiteral("unexpected argument \"%1\"").arg(argument));
        } else {
            args.dir = argument;
        }
    }
    if (args.dir.isEmpty())
        return usage(QStringLiteral("the configuration folder is missing"));
    if (args.seconds <= 0)
        return usage(QStringLiteral("--seconds is missing"));
    args.dir = Resolve_Configuration_Dir(args.dir);
    if (!Folder_Exists(args.dir)) {
        streams.err << "tessaro-cli run: the configuration folder \"" << args.dir
                    << "\" does not exist\n";
        return Exit_Failed;
    }

    Lang_Table lang;
    lang.Load_Default_Texts();
    Live_Setup setup;
    try {
        setup = Load_Live_Setup(args.dir, lang);
    } catch (const Tessaro_Error& error) {
        streams.err << "tessaro-cli run: " << error.Message() << '\n';
        return Exit_Failed;
    }
    const bool write = setup.list.table == Access_Kind::Write;
    QTextStream& out = streams.out;

    Live_Engine engine;
    engine.Set_Plan(setup.list.table, setup.list.requests, setup.timing, setup.defaults);
    for (const auto& [channel, value] : args.sets)
        engine.Set_Byte(channel - 1, static_cast<std::uint8_t>(value));
    const int count = static_cast<int>(setup.list.requests.size());

    const QString table_name = QLatin1String(write ? "write" : "read");
    if (args.json) {
        out << "{\"event\": \"start\", \"table\": " << Json_String(table_name)
            << ", \"requests\": " << count << ", \"connections\": " << engine.Connection_Count()
            << ", \"timeout_ms\": " << setup.timing.timeout_ms
            << ", \"cyclic_ms\": " << setup.timing.cyclic_ms << ", \"seconds\": " << args.seconds
            << "}\n";
        for (const Refused_Request& refused : setup.list.refused)
            out << "{\"event\": \"refused\", \"slot\": " << refused.slot
                << ", \"message\": " << Json_String(refused.message) << "}\n";
    } else {
        out << "Dry run of " << args.dir << ": the " << table_name << " table (DMX "
            << (write ? "IN" : "OUT") << "), " << count << (count == 1 ? " request" : " requests")
            << " on " << engine.Connection_Count()
            << (engine.Connection_Count() == 1 ? " connection" : " connections") << ", time-out "
            << setup.timing.timeout_ms << " ms, cyclic delay " << setup.timing.cyclic_ms << " ms, "
            << args.seconds << " s\n";
        for (const Refused_Request& refused : setup.list.refused)
            out << "row " << refused.slot << " not run: " << refused.message << '\n';
    }
    out.flush();
    if (count == 0) {
        streams.err << "tessaro-cli run: the " << table_name
                    << " table has no enabled row that passes the checks: nothing to run\n";
        return Exit_Failed;
    }
    if (write && !args.allow_writes) {
        streams.err << "tessaro-cli run: this configuration uses the write table (DMX IN): a dry "
                       "run writes to "
                    << Slave_List(engine)
                    << ". Nothing was sent. Add --allow-writes to write to them.\n";
        return Exit_Usage;
    }

    QObject::connect(&engine, &Live_Engine::Event, [&](const Live_Event& event) {
        const Live_Request_State& s = engine.States()[static_cast<size_t>(event.request)];
        const QString seconds = Fixed(static_cast<double>(event.at_ms) / 1000.0, 3);
        if (args.json) {
            out << "{\"event\": " << Json_String(Event_Name(event.kind))
                << ", \"time_ms\": " << event.at_ms << ", " << Json_Request(engine, event.request);
            if (event.kind == Live_Event::Kind::Failed)
                out << ", \"error\": " << Json_Error(s.last_error, lang);
            else if (event.kind == Live_Event::Kind::Suspended)
                out << ", \"errors_in_row\": " << s.errors_in_row;
            else
                out << ", \"round_trip_ms\": " << Round_Trip_Ms(s.round_trip_us);
            out << "}\n";
        } else {
            out << seconds.rightJustified(9) << " s  " << Text_Request(engine, event.request)
                << ": ";
            switch (event.kind) {
            case Live_Event::Kind::Answered:
                out << "answered first, round trip " << Round_Trip_Ms(s.round_trip_us) << " ms";
                break;
            case Live_Event::Kind::Failed:
                out << "failed: " << Live_Error_Text(s.last_error, lang);
                break;
            case Live_Event::Kind::Suspended:
                out << "suspended after " << s.errors_in_row << " errors in a row";
                break;
            case Live_Event::Kind::Recovered:
                out << "recovered, round trip " << Round_Trip_Ms(s.round_trip_us) << " ms";
                break;
            }
            out << '\n';
        }
        out.flush();
    });

    QEventLoop loop;
    Interrupt_Watch interrupt(loop);
    QTimer end;
    end.setSingleShot(true);
    end.setTimerType(Qt::PreciseTimer);
    QObject::connect(&end, &QTimer::timeout, &loop, &QEventLoop::quit);
    engine.Allow_Writes(args.allow_writes);
    engine.Start();
    end.start(static_cast<int>(std::llround(args.seconds * 1000.0)));
    loop.exec();
    const std::int64_t elapsed_ms = engine.Elapsed_Ms();
    engine.Stop();

    // The run is good only when every request answers at its end: a slave that went down in the
    // middle of the run fails it even though its requests answered before.
    int never = 0;
    std::vector<int> failing;
    for (int i = 0; i < count; ++i) {
        const Live_Request_State& s = engine.States()[static_cast<size_t>(i)];
        never += s.answered == 0 ? 1 : 0;
        if (Failing_At_End(s) != Failing::None)
            failing.push_back(i);
    }
    const bool ok = failing.empty();
    const QString elapsed = Fixed(static_cast<double>(elapsed_ms) / 1000.0, 3);
    if (args.json) {
        out << "{\"event\": \"summary\", \"seconds\": " << elapsed
            << ", \"interrupted\": " << (interrupt.Interrupted() ? "true" : "false")
            << ", \"ok\": " << (ok ? "true" : "false") << ", \"table\": " << Json_String(table_name)
            << ", \"data\": [";
        for (int b = 0; b < Data_Array_Size; ++b)
            out << (b ? ", " : "") << engine.Data()[static_cast<size_t>(b)];
        out << "], \"requests\": [";
        for (int i = 0; i < count; ++i) {
            const Device_Request& r = engine.Requests()[static_cast<size_t>(i)];
            const Live_Request_State& s = engine.States()[static_cast<size_t>(i)];
            out << (i ? ", " : "") << '{' << Json_Request(engine, i)
                << ", \"function\": " << r.function_code << ", \"sent\": " << s.sent
                << ", \"answered\": " << s.answered << ", \"failed\": " << s.failed
                << ", \"errors_in_row\": " << s.errors_in_row << ", \"round_trip_ms\": "
                << (s.round_trip_us < 0 ? QStringLiteral("null") : Round_Trip_Ms(s.round_trip_us))
                << ", \"suspended\": " << (s.suspended ? "true" : "false")
                << ", \"last_error\": " << Json_Error(s.last_error, lang) << '}';
        }
        out << "], \"failing\": [";
        for (size_t k = 0; k < failing.size(); ++k) {
            const int i = failing[k];
            const Live_Request_State& s = engine.States()[static_cast<size_t>(i)];
            out << (k ? ", " : "") << '{' << Json_Request(engine, i)
                << ", \"reason\": " << Json_String(Failing_Key(Failing_At_End(s)))
                << ", \"answered\": " << s.answered << ", \"errors_in_row\": " << s.errors_in_row
                << ", \"last_error\": " << Json_Error(s.last_error, lang) << '}';
        }
        out << "], \"refused\": [";
        for (size_t i = 0; i < setup.list.refused.size(); ++i)
            out << (i ? ", " : "") << "{\"slot\": " << setup.list.refused[i].slot
                << ", \"message\": " << Json_String(setup.list.refused[i].message) << '}';
        out << "]}\n";
    } else {
        out << "\nSummary after " << elapsed << " s"
            << (interrupt.Interrupted() ? " (interrupted)" : "") << ":\n";
        Print_Table(out, engine, lang);
        out << '\n';
        Print_Data(out, engine);
        out << '\n';
        if (ok) {
            out << "Every request got a good answer.\n";
        } else {
            out << failing.size() << " of " << count
                << (count == 1 ? " request is" : " requests are")
                << " not answering at the end of the run:\n";
            for (int i : failing)
                out << "  " << Text_Request(engine, i) << ": "
                    << Failing_Text(engine.States()[static_cast<size_t>(i)], lang) << '\n';
            if (never > 0)
                out << never << " of " << count << " requests never got a good answer.\n";
        }
    }
    out.flush();
    return ok ? Exit_Ok : Exit_Failed;
}
