#include "live/Live_Probe.h"

#include "lang/Lang_Table.h"

#include <QTimer>

namespace {

// Values and channels shown in one message at most; the rest is counted.
constexpr int Shown_Registers = 32;
constexpr int Shown_Bits = 256;
constexpr int Shown_Channels = 64;

QString Type_Name(std::uint8_t read_function) {
    switch (read_function) {
    case 1:
        return QStringLiteral("Coil Status");
    case 2:
        return QStringLiteral("Input Status");
    case 3:
        return QStringLiteral("Holding Register");
    default:
        return QStringLiteral("Input Register");
    }
}

QString Hex_16(std::uint16_t value) {
    return QStringLiteral("0x") +
           QString::number(value, 16).rightJustified(4, QLatin1Char('0')).toUpper();
}

} // namespace

Device_Request Probe_Request(const Device_Request& row) {
    Device_Request probe = row;
    probe.function_code = Read_Function(row);
    probe.table = Access_Kind::Read;
    return probe;
}

Live_Probe::Live_Probe(QObject* parent)
    : QObject(parent) {
    connect(&engine_, &Live_Engine::Request_Changed, this, &Live_Probe::On_Changed);
}

void Live_Probe::Start(const Device_Request& row, const Live_Timing& timing,
                       const Data_Array& defaults) {
    Cancel();
    result_ = {};
    result_.sent = Probe_Request(row);
    result_.sent.max_error = 0;
    engine_.Set_Plan(Access_Kind::Read, {result_.sent}, timing, defaults);
    busy_ = engine_.Start();
}

void Live_Probe::Cancel() {
    ++generation_;
    busy_ = false;
    engine_.Stop();
}

void Live_Probe::On_Changed() {
    if (!busy_)
        return;
    const Live_Request_State& state = engine_.States().front();
    if (state.answered + state.failed == 0)
        return;
    engine_.Stop();
    busy_ = false;
    result_.error = state.answered > 0 ? Live_Error{} : state.last_error;
    result_.round_trip_us = state.round_trip_us;
    result_.data = engine_.Data();
    result_.values = Values_In_Array(result_.sent, result_.data);
    // The receiver may open a message box: it hears of the result from the event loop, not from
    // inside the client's signal.
    const int generation = generation_;
    QTimer::singleShot(0, this, [this, generation] {
        if (generation == generation_ && !busy_)
            emit Finished();
    });
}

QString Probe_Message(const Device_Request& row, const Probe_Result& result,
                      const Lang_Table& lang) {
    const Device_Request& sent = result.sent;
    QString text = lang[930].arg(
        QString::number(row.slot), row.ip_address + QLatin1Char(':') + QString::number(row.port),
        QString::number(row.slave_id), Type_Name(sent.function_code), QString::number(row.address),
        QString::number(row.npoint), QString::number(sent.function_code));
    if (row.table == Access_Kind::Write)
        text += QLatin1Char('\n') + lang[933].arg(sent.function_code);
    if (result.error.kind != Live_Error::Kind::None)
        return text + QLatin1Char('\n') + Live_Error_Text(result.error, lang);

    text +=
        QStringLiteral("\n\n") +
        lang[931].arg(QString::number(static_cast<double>(result.round_trip_us) / 1000.0, 'f', 1));
    const int count = static_cast<int>(result.values.size());
    const auto more = [&](int shown, int total) {
        if (total > shown)
            text += QLatin1Char('\n') + lang[934].arg(total - shown);
    };
    if (sent.bit_type) {
        const int shown = std::min(count, Shown_Bits);
        for (int k = 0; k < shown; ++k) {
            if (k % 16 == 0)
                text += QLatin1Char('\n') + QString::number(sent.address + k) + QStringLiteral(":");
            text += (k % 8 == 0 ? QStringLiteral("  ") : QStringLiteral(" ")) +
                    QString::number(result.values[static_cast<size_t>(k)]);
        }
        more(shown, count);
    } else {
        const int shown = std::min(count, Shown_Registers);
        for (int k = 0; k < shown; ++k) {
            const std::uint16_t value = result.values[static_cast<size_t>(k)];
            text += (k % 4 == 0 ? QStringLiteral("\n") : QStringLiteral("    ")) +
                    QString::number(sent.address + k) + QStringLiteral(": ") +
                    QString::number(value) + QStringLiteral(" (") + Hex_16(value) +
                    QLatin1Char(')');
        }
        more(shown, count);
    }

    const int first = sent.position;
    const int last = sent.Last_Byte();
    text += QStringLiteral("\n\n") +
            lang[932].arg(QString::number(first + 1), QString::number(last + 1));
    const int channels = last - first + 1;
    const int shown = std::min(channels, Shown_Channels);
    for (int k = 0; k < shown; ++k)
        text += (k % 8 == 0 ? QStringLiteral("\n") : QStringLiteral(",  ")) +
                QString::number(first + k + 1) + QStringLiteral(" = ") +
                QString::number(result.data[static_cast<size_t>(first + k)]);
    more(shown, channels);
    return text;
}
