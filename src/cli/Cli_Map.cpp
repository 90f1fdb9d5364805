#include "cli/Cli.h"

#include "map/Channel_Map.h"
#include "platform/Error.h"
#include "platform/Files.h"

#include <bit>

QString Map_Usage() {
    return QStringLiteral(
        "Usage: tessaro-cli map DIR [--json]\n"
        "\n"
        "Shows which request of the configuration folder DIR owns which DMX channel: the table\n"
        "the converter uses (the read table for DMX OUT, the write table for DMX IN), its enabled\n"
        "rows placed on the 512 channels of the data array (byte k is channel k + 1), 16\n"
        "channels a line; then the findings (overlapping requests, channels beyond the channel\n"
        "count, slave data requested twice, rows the access editor refuses, channels without a\n"
        "request) and an estimate of the load per slave. --json prints one JSON object with the\n"
        "arrays channels (512), findings and slaves.\n"
        "Exit status 0, or 1 when a finding is an error or a file cannot be read.\n");
}

namespace {

QString Number(double value) {
    // Up to three decimals, without trailing zeros: 12.5, 4, 0.333.
    QString text = QString::number(value, 'f', 3);
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return text;
}

QString Int_Array(const std::vector<int>& values) {
    QStringList items;
    for (int value : values)
        items.append(QString::number(value));
    return QLatin1Char('[') + items.join(QStringLiteral(", ")) + QLatin1Char(']');
}

std::vector<int> Bits_Of(std::uint8_t mask) {
    std::vector<int> bits;
    for (int b = 0; b < 8; ++b)
        if (mask & (1u << b))
            bits.push_back(b);
    return bits;
}

QString Request_Json(const Device_Request& r) {
    QString json =
        QStringLiteral("{\"slot\": %1, \"mnemonic\": ").arg(r.slot) + Json_String(r.mnemonic) +
        QStringLiteral(", \"ip_address\": ") + Json_String(r.ip_address) +
        QStringLiteral(", \"port\": %1, \"slave_id\": %2, \"type\": ").arg(r.port).arg(r.slave_id) +
        Json_String(Type_Display_Name(r.type)) +
        QStringLiteral(", \"address\": %1, \"npoint\": %2, \"poll_time_ms\": %3, "
                       "\"position\": %4")
            .arg(r.address)
            .arg(r.npoint)
            .arg(r.poll_time)
            .arg(r.position);
    if (r.bit_type)
        json += QStringLiteral(", \"start_bit\": %1").arg(r.start_bit);
    return json + QStringLiteral(", \"first_channel\": %1, \"last_channel\": %2}")
                      .arg(r.position + 1)
                      .arg(r.Last_Byte() + 1);
}

QString Channel_Json(const Channel_Map& map, int channel) {
    const Map_Channel& c = map.Channel(channel);
    QStringList owners;
    for (const Channel_Owner& owner : map.Owners(channel)) {
        const Device_Request& r = map.Request_Of(owner);
        QString json =
            QStringLiteral("{\"slot\": %1, \"mnemonic\": ").arg(r.slot) + Json_String(r.mnemonic);
        if (r.bit_type)
            json += QStringLiteral(", \"bits\": ") + Int_Array(Bits_Of(owner.bits));
        owners.append(json + QLatin1Char('}'));
    }
    return QStringLiteral("{\"channel\": %1, \"owners\": [").arg(channel) +
           owners.join(QStringLiteral(", ")) + QStringLiteral("], \"overlap\": ") +
           QLatin1String(c.overlap ? "true" : "false") + QStringLiteral(", \"beyond_count\": ") +
           QLatin1String(c.beyond_count ? "true" : "false") +
           QStringLiteral(", \"default_value\": ") +
           (c.default_value >= 0 ? QString::number(c.default_value) : QStringLiteral("null")) +
           QLatin1Char('}');
}

QString Finding_Json(const Map_Finding& f) {
    QString json = QStringLiteral("{\"severity\": \"%1\", \"kind\": \"%2\", \"slots\": ")
                       .arg(QLatin1String(Severity_Name(f.severity)),
                            QLatin1String(Finding_Kind_Name(f.kind))) +
                   Int_Array(f.slot_numbers);
    if (f.first_channel > 0)
        json += QStringLiteral(", \"first_channel\": %1, \"last_channel\": %2")
                    .arg(f.first_channel)
                    .arg(f.last_channel);
    if (f.kind == Map_Finding_Kind::Overlap && f.bits != 0xFF)
        json += QStringLiteral(", \"bits\": ") + Int_Array(Bits_Of(f.bits));
    if (f.kind == Map_Finding_Kind::Same_Slave_Data)
        json += QStringLiteral(", \"slave\": ") + Json_String(f.slave) +
                QStringLiteral(", \"slave_id\": %1, \"type\": ").arg(f.slave_id) +
                Json_String(f.type) +
                QStringLiteral(", \"first_address\": %1, \"last_address\": %2")
                    .arg(f.first_address)
                    .arg(f.last_address);
    if (f.kind == Map_Finding_Kind::Refused_Row)
        json += QStringLiteral(", \"message\": ") + Json_String(f.message);
    return json + QStringLiteral(", \"text\": ") + Json_String(f.text) + QLatin1Char('}');
}

QString Slave_Json(const Slave_Load& load) {
    return QStringLiteral("{\"slave\": ") + Json_String(load.Name()) +
           QStringLiteral(", \"ip_address\": ") + Json_String(load.ip_address) +
           QStringLiteral(", \"port\": %1, \"requests\": %2, \"requests_per_second\": %3, "
                          "\"as_fast_as_possible\": %4, \"worst_round_ms\": %5}")
               .arg(load.port)
               .arg(load.requests)
               .arg(Number(load.requests_per_second))
               .arg(load.as_fast_as_possible)
               .arg(load.worst_round_ms);
}

QString Map_Json(const Channel_Map& map) {
    const auto list = [](const QStringList& items) {
        if (items.isEmpty())
            return QStringLiteral("[]");
        return QStringLiteral("[\n    ") + items.join(QStringLiteral(",\n    ")) +
               QStringLiteral("\n  ]");
    };
    QStringList requests;
    for (const Device_Request& r : map.requests)
        requests.append(Request_Json(r));
    QStringList channels;
    for (int channel = 1; channel <= Map_Channel_Count; ++channel)
        channels.append(Channel_Json(map, channel));
    QStringList findings;
    for (const Map_Finding& f : map.findings)
        findings.append(Finding_Json(f));
    QStringList slaves;
    for (const Slave_Load& load : map.slaves)
        slaves.append(Slave_Json(load));
    const bool read = map.table == Access_Kind::Read;
    return QStringLiteral("{\n  \"table\": \"%1\",\n  \"dmx\": \"%2\",\n  \"channel_count\": %3,\n"
                          "  \"reply_timeout_ms\": %4,\n  \"cyclic_delay_ms\": %5,\n"
                          "  \"errors\": %6,\n  \"warnings\": %7,\n  \"information\": %8,\n")
               .arg(QLatin1String(read ? "read" : "write"), QLatin1String(read ? "OUT" : "IN"))
               .arg(map.channel_count)
               .arg(map.timeout_ms)
               .arg(map.cyclic_ms)
               .arg(map.Count(Map_Severity::Error))
               .arg(map.Count(Map_Severity::Warning))
               .arg(map.Count(Map_Severity::Information)) +
           QStringLiteral("  \"requests\": ") + list(requests) +
           QStringLiteral(",\n  \"channels\": ") + list(channels) +
           QStringLiteral(",\n  \"findings\": ") + list(findings) +
           QStringLiteral(",\n  \"slaves\": ") + list(slaves) + QStringLiteral("\n}\n");
}

} // namespace

int Verb_Map(const QStringList& arguments, Cli_Streams streams) {
    QString dir;
    bool json = false;
    for (const QString& argument : arguments) {
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            streams.out << Map_Usage();
            return Exit_Ok;
        }
        if (argument == QLatin1String("--json")) {
            json = true;
        } else if (argument.startsWith(QLatin1Char('-')) || !dir.isEmpty()) {
            streams.err << "tessaro-cli map: unexpected argument \"" << argument << "\"\n\n"
                        << Map_Usage();
            return Exit_Usage;
        } else {
            dir = argument;
        }
    }
    if (dir.isEmpty()) {
        streams.err << "tessaro-cli map: the configuration folder is missing\n\n" << Map_Usage();
        return Exit_Usage;
    }
    if (!Folder_Exists(dir)) {
        streams.err << "tessaro-cli map: the configuration folder \"" << dir
                    << "\" does not exist\n";
        return Exit_Failed;
    }
    Lang_Table lang;
    lang.Load_Default_Texts();
    Channel_Map map;
    try {
        map = Load_Channel_Map(dir, lang);
    } catch (const Tessaro_Error& error) {
        streams.err << error.Message() << '\n';
        return Exit_Failed;
    }
    streams.out << (json ? Map_Json(map) : Channel_Map_Text(map));
    return map.Has_Errors() ? Exit_Failed : Exit_Ok;
}
