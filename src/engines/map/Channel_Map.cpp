#include "map/Channel_Map.h"

#include "access/Access_File.h"
#include "comm/Comm_Settings.h"
#include "platform/Int_Conv.h"

#include <QStringList>
#include <algorithm>
#include <bit>
#include <tuple>

namespace {

// Entries of the string table.
enum Entry : int {
    E_Channel = 704,
    E_Channels = 705,
    E_Bit = 706,
    E_Bits = 707,
    E_Rows = 708,
    E_Row = 709,
    E_Overlap = 710,
    E_Beyond = 711,
    E_Beyond_End = 712,
    E_Same_Data = 713,
    E_Slave_ID = 714,
    E_Left_Out = 715,
    E_Uncovered = 716,
    E_Overlap_Legend = 717,
    E_Beyond_Legend = 718,
    E_Default_Value = 958,
    E_Slot = 959,
    E_No_Request = 987,
};

// The bits of data array byte k that a request occupies.
std::uint8_t Byte_Bits(const Device_Request& r, int k) {
    if (!r.bit_type)
        return 0xFF;
    const int first_bit = r.position * 8 + r.start_bit;
    const int last_bit = first_bit + r.npoint - 1;
    const int low = std::max(first_bit, 8 * k) - 8 * k;
    const int high = std::min(last_bit, 8 * k + 7) - 8 * k;
    if (low > high)
        return 0;
    return static_cast<std::uint8_t>((0xFFu >> (7 - high)) & (0xFFu << low));
}

// The bytes of the data array a request occupies, kept inside the array.
std::pair<int, int> Byte_Span(const Device_Request& r) {
    return {std::clamp(r.position, 0, Map_Channel_Count - 1),
            std::clamp(r.Last_Byte(), 0, Map_Channel_Count - 1)};
}

QString Where(const Lang_Table& lang, int first, int last) {
    return (first == last ? lang.Text(E_Channel) : lang.Text(E_Channels)) +
           Channel_Range(first, last);
}

QString Where_Bits(const Lang_Table& lang, std::uint8_t bits) {
    if (bits == 0xFF)
        return {};
    return (std::has_single_bit(static_cast<unsigned>(bits)) ? lang.Text(E_Bit)
                                                             : lang.Text(E_Bits)) +
           Bit_Ranges(bits);
}

QString Rows_Text(const Lang_Table& lang, const std::vector<int>& slot_list) {
    QStringList numbers;
    for (int slot : slot_list)
        numbers.append(QString::number(slot));
    return (slot_list.size() == 1 ? lang.Text(E_Row) : lang.Text(E_Rows)) +
           numbers.join(QStringLiteral(", "));
}

QString Address_Range(int first, int last) {
    return first == last ? QString::number(first)
                         : QString::number(first) + QLatin1Char('-') + QString::number(last);
}

// Overlaps of the read table: runs of channels with the same colliding rows and bits.
void Find_Overlaps(Channel_Map& map, const Lang_Table& lang, std::vector<Map_Finding>& out) {
    Map_Finding run;
    bool open = false;
    const auto close = [&] {
        if (!open)
            return;
        run.text = Where(lang, run.first_channel, run.last_channel) + Where_Bits(lang, run.bits) +
                   Rows_Text(lang, run.slot_numbers) + lang.Text(E_Overlap);
        out.push_back(std::move(run));
        run = Map_Finding();
        open = false;
    };
    std::vector<int> colliding;
    for (int channel = 1; channel <= Map_Channel_Count; ++channel) {
        const auto owners = map.Owners(channel);
        std::uint8_t seen = 0;
        std::uint8_t collide = 0;
        for (const Channel_Owner& owner : owners) {
            collide |= seen & owner.bits;
            seen |= owner.bits;
        }
        if (collide == 0) {
            close();
            continue;
        }
        map.channels[static_cast<size_t>(channel - 1)].overlap = true;
        colliding.clear();
        for (const Channel_Owner& owner : owners)
            if (owner.bits & collide)
                colliding.push_back(map.Request_Of(owner).slot);
        if (open && run.last_channel == channel - 1 && run.bits == collide &&
            run.slot_numbers == colliding) {
            run.last_channel = channel;
            continue;
        }
        close();
        open = true;
        run.severity = Map_Severity::Error;
        run.kind = Map_Finding_Kind::Overlap;
        run.slot_numbers = colliding;
        run.first_channel = run.last_channel = channel;
        run.bits = collide;
    }
    close();
}

// Requests to the same slave, unit, Type and addresses: groups of requests whose address ranges
// overlap one after the other.
void Find_Same_Slave_Data(const Channel_Map& map, const Lang_Table& lang,
                          std::vector<Map_Finding>& out) {
    std::vector<int> order(map.requests.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = static_cast<int>(i);
    const auto key = [&](int i) {
        const Device_Request& r = map.requests[static_cast<size_t>(i)];
        return std::tie(r.ip_word, r.port, r.slave_id, r.type, r.address, r.slot);
    };
    std::sort(order.begin(), order.end(), [&](int a, int b) { return key(a) < key(b); });
    const auto same_data = [&](const Device_Request& a, const Device_Request& b) {
        return a.ip_word == b.ip_word && a.port == b.port && a.slave_id == b.slave_id &&
               a.type == b.type;
    };
    size_t i = 0;
    while (i < order.size()) {
        const Device_Request& first = map.requests[static_cast<size_t>(order[i])];
        std::vector<int> group{first.slot};
        int reach = first.Last_Address();
        int twice_first = 0;
        int twice_last = -1;
        size_t j = i + 1;
        for (; j < order.size(); ++j) {
            const Device_Request& next = map.requests[static_cast<size_t>(order[j])];
            if (!same_data(first, next) || next.address > reach)
                break;
            // Addresses from next.address up to the lower end are asked a second time.
            const int twice_end = std::min(next.Last_Address(), reach);
            if (twice_last < twice_first) {
                twice_first = next.address;
                twice_last = twice_end;
            } else {
                twice_first = std::min(twice_first, next.address);
                twice_last = std::max(twice_last, twice_end);
            }
            reach = std::max(reach, next.Last_Address());
            group.push_back(next.slot);
        }
        if (group.size() > 1) {
            std::sort(group.begin(), group.end());
            Map_Finding f;
            f.severity = Map_Severity::Warning;
            f.kind = Map_Finding_Kind::Same_Slave_Data;
            f.slot_numbers = std::move(group);
            f.slave = first.ip_address + QLatin1Char(':') + QString::number(first.port);
            f.slave_id = first.slave_id;
            f.type = Type_Display_Name(first.type);
            f.first_address = twice_first;
            f.last_address = twice_last;
            f.text = f.slave + lang.Text(E_Slave_ID) + QString::number(f.slave_id) +
                     QStringLiteral(", ") + f.type + QLatin1Char(' ') +
                     Address_Range(f.first_address, f.last_address) +
                     Rows_Text(lang, f.slot_numbers) + lang.Text(E_Same_Data);
            out.push_back(std::move(f));
        }
        i = j;
    }
    // In the order of their first row.
    std::stable_sort(out.begin(), out.end(), [](const Map_Finding& a, const Map_Finding& b) {
        return a.slot_numbers.front() < b.slot_numbers.front();
    });
}

void Find_Load(Channel_Map& map) {
    std::vector<const Device_Request*> sorted;
    sorted.reserve(map.requests.size());
    for (const Device_Request& r : map.requests)
        sorted.push_back(&r);
    std::stable_sort(sorted.begin(), sorted.end(), [](const auto* a, const auto* b) {
        return std::tie(a->ip_word, a->port) < std::tie(b->ip_word, b->port);
    });
    for (const Device_Request* r : sorted) {
        if (map.slaves.empty() || map.slaves.back().ip_word != r->ip_word ||
            map.slaves.back().port != r->port) {
            Slave_Load load;
            load.ip_address = r->ip_address;
            load.ip_word = r->ip_word;
            load.port = r->port;
            map.slaves.push_back(load);
        }
        Slave_Load& load = map.slaves.back();
        ++load.requests;
        if (r->poll_time > 0)
            load.requests_per_second += 1000.0 / static_cast<double>(r->poll_time);
        else
            ++load.as_fast_as_possible;
        load.worst_round_ms += map.timeout_ms;
    }
}

QString Padded(const QString& text, int width) {
    return text.leftJustified(width, QLatin1Char(' '));
}

QString Right(const QString& text, int width) {
    return text.rightJustified(width, QLatin1Char(' '));
}

QString Plural(qsizetype n, const char* one, const char* many) {
    return QString::number(n) + QLatin1Char(' ') + QLatin1String(n == 1 ? one : many);
}

const char* Table_Name(Access_Kind kind) {
    return kind == Access_Kind::Read ? "read table (DMX OUT)" : "write table (DMX IN)";
}

} // namespace

void Map_Settings::Set_Defaults(DMX_Default_Table table) {
    defaults = std::move(table);
    default_values.fill(-1);
    const int rows = std::min(defaults.Row_Count(), Map_Channel_Count);
    for (int i = 0; i < rows; ++i) {
        const int value = To_Int(defaults.Rows[static_cast<size_t>(i)].Default_Value, -1);
        default_values[static_cast<size_t>(i)] = value >= 0 && value <= 255 ? value : -1;
    }
}

Map_Settings Load_Map_Settings(const QString& pargen_path, const QString& dmx_path) {
    Map_Settings settings;
    const Comm_Settings comm = Load_Comm_Settings(pargen_path);
    settings.table = Access_Kind_For_DMX(pargen_path);
    settings.channel_count = Load_DMX_Channel_Count(pargen_path);
    const int timeout = To_Int(comm.Modbus_TCP_Master_TimeOut, -1);
    settings.timeout_ms = timeout >= 0 ? timeout : 1000;
    const int cyclic = To_Int(comm.Modbus_TCP_Master_Cyclic, -1);
    settings.cyclic_ms = cyclic >= 0 ? cyclic : 100;
    settings.Set_Defaults(Load_DMX_Defaults(pargen_path, dmx_path));
    return settings;
}

std::span<const Channel_Owner> Channel_Map::Owners(int channel) const {
    if (channel < 1 || channel > Map_Channel_Count)
        return {};
    const Map_Channel& c = channels[static_cast<size_t>(channel - 1)];
    return std::span<const Channel_Owner>(owners).subspan(static_cast<size_t>(c.first_owner),
                                                          static_cast<size_t>(c.owner_count));
}

int Channel_Map::Count(Map_Severity severity) const {
    return static_cast<int>(std::count_if(findings.begin(), findings.end(),
                                          [&](const auto& f) { return f.severity == severity; }));
}

int Channel_Map::First_Channel_Of_Slot(int slot) const {
    for (const Device_Request& r : requests)
        if (r.slot == slot)
            return Byte_Span(r).first + 1;
    return 0;
}

Channel_Map Build_Channel_Map(const Access_Table& access, const Map_Settings& settings,
                              const Lang_Table& lang) {
    Channel_Map map;
    map.table = settings.table;
    map.channel_count = settings.channel_count;
    map.timeout_ms = settings.timeout_ms;
    map.cyclic_ms = settings.cyclic_ms;
    for (const DMX_Default_Row& row : settings.defaults.Rows)
        map.dmx_mnemonics.append(row.Mnemonic);

    Device_Request_List list = Device_Requests(access.Table(settings.table), lang);
    map.requests = std::move(list.requests);
    map.refused = std::move(list.refused);

    for (int i = 0; i < Map_Channel_Count; ++i) {
        Map_Channel& channel = map.channels[static_cast<size_t>(i)];
        channel.default_value = settings.default_values[static_cast<size_t>(i)];
        channel.beyond_count = i + 1 > settings.channel_count;
    }

    // The owners of each channel, in one array: count, place, fill (in slot order).
    for (const Device_Request& r : map.requests) {
        const auto [first, last] = Byte_Span(r);
        for (int k = first; k <= last; ++k)
            ++map.channels[static_cast<size_t>(k)].owner_count;
    }
    std::array<int, Map_Channel_Count> next{};
    int total = 0;
    for (int k = 0; k < Map_Channel_Count; ++k) {
        map.channels[static_cast<size_t>(k)].first_owner = total;
        next[static_cast<size_t>(k)] = total;
        total += map.channels[static_cast<size_t>(k)].owner_count;
    }
    map.owners.resize(static_cast<size_t>(total));
    for (size_t i = 0; i < map.requests.size(); ++i) {
        const Device_Request& r = map.requests[i];
        const auto [first, last] = Byte_Span(r);
        for (int k = first; k <= last; ++k)
            map.owners[static_cast<size_t>(next[static_cast<size_t>(k)]++)] = {static_cast<int>(i),
                                                                               Byte_Bits(r, k)};
    }

    std::vector<Map_Finding> errors;
    std::vector<Map_Finding> warnings;
    // Several write requests may send the same byte; only stores into it collide.
    if (map.table == Access_Kind::Read)
        Find_Overlaps(map, lang, errors);
    for (const Refused_Request& refused : map.refused) {
        Map_Finding f;
        f.severity = Map_Severity::Error;
        f.kind = Map_Finding_Kind::Refused_Row;
        f.slot_numbers = {refused.slot};
        f.message = refused.message;
        f.text = lang.Text(E_Left_Out) + refused.message;
        errors.push_back(std::move(f));
    }
    for (const Device_Request& r : map.requests) {
        const auto [first, last] = Byte_Span(r);
        if (last + 1 <= settings.channel_count)
            continue;
        Map_Finding f;
        f.severity = Map_Severity::Warning;
        f.kind = Map_Finding_Kind::Beyond_Count;
        f.slot_numbers = {r.slot};
        f.first_channel = std::max(first + 1, settings.channel_count + 1);
        f.last_channel = last + 1;
        f.text = Where(lang, f.first_channel, f.last_channel) + Rows_Text(lang, f.slot_numbers) +
                 lang.Text(E_Beyond) + QString::number(settings.channel_count) +
                 lang.Text(E_Beyond_End);
        warnings.push_back(std::move(f));
    }
    std::vector<Map_Finding> same;
    Find_Same_Slave_Data(map, lang, same);
    std::move(same.begin(), same.end(), std::back_inserter(warnings));

    map.findings = std::move(errors);
    std::move(warnings.begin(), warnings.end(), std::back_inserter(map.findings));
    const int covered_up_to = std::clamp(settings.channel_count, 0, Map_Channel_Count);
    for (int channel = 1; channel <= covered_up_to; ++channel) {
        if (map.Channel(channel).owner_count > 0)
            continue;
        int last = channel;
        while (last < covered_up_to && map.Channel(last + 1).owner_count == 0)
            ++last;
        Map_Finding f;
        f.severity = Map_Severity::Information;
        f.kind = Map_Finding_Kind::Uncovered;
        f.first_channel = channel;
        f.last_channel = last;
        f.text = Where(lang, channel, last) + lang.Text(E_Uncovered);
        map.findings.push_back(std::move(f));
        channel = last;
    }

    Find_Load(map);
    return map;
}

Channel_Map Load_Channel_Map(const QString& dir, const Lang_Table& lang) {
    const Map_Settings settings = Load_Map_Settings(
        dir + QStringLiteral("/ParGen.xml"), dir + QStringLiteral("/DMX_Default_Values.xml"));
    Access_Table access;
    access.Reset_Access_Table();
    Load_Access_File(dir + QStringLiteral("/ModbusTCPM_SetAccess.xml"), access);
    return Build_Channel_Map(access, settings, lang);
}

Channel_Addresses Addresses_In_Channel(const Device_Request& r, int channel) {
    const int k = channel - 1;
    if (!r.bit_type) {
        const int address = r.address + (k - r.position) / 2;
        return {address, address};
    }
    const std::uint8_t bits = Byte_Bits(r, k);
    if (bits == 0)
        return {r.address, r.address - 1};
    const int first_bit = r.position * 8 + r.start_bit;
    const int low = std::countr_zero(static_cast<unsigned>(bits));
    const int high = 7 - std::countl_zero(static_cast<std::uint8_t>(bits));
    return {r.address + 8 * k + low - first_bit, r.address + 8 * k + high - first_bit};
}

QString Type_Display_Name(const QString& type) {
    for (Access_Kind kind : {Access_Kind::Read, Access_Kind::Write})
        for (const QString& name : Access_Type_Names(kind))
            if (name.compare(type, Qt::CaseInsensitive) == 0)
                return name;
    return type;
}

QString Bit_Ranges(std::uint8_t bits) {
    QStringList parts;
    int b = 0;
    while (b < 8) {
        if (!(bits & (1u << b))) {
            ++b;
            continue;
        }
        int e = b;
        while (e + 1 < 8 && (bits & (1u << (e + 1))))
            ++e;
        parts.append(Address_Range(b, e));
        b = e + 1;
    }
    return parts.join(QStringLiteral(", "));
}

QString Channel_Range(int first, int last) {
    return Address_Range(first, last);
}

QString Channel_Description(const Channel_Map& map, int channel, const Lang_Table& lang) {
    if (channel < 1 || channel > Map_Channel_Count)
        return {};
    const Map_Channel& c = map.Channel(channel);
    QStringList lines{lang.Text(E_Channel) + QString::number(channel)};
    for (const Channel_Owner& owner : map.Owners(channel)) {
        const Device_Request& r = map.Request_Of(owner);
        QString line = lang.Text(E_Slot) + QString::number(r.slot);
        if (!r.mnemonic.isEmpty())
            line += QStringLiteral(": ") + r.mnemonic;
        lines.append(line);
        const Channel_Addresses a = Addresses_In_Channel(r, channel);
        QString source = QStringLiteral("    ") + Type_Display_Name(r.type) + QLatin1Char(' ') +
                         Address_Range(a.first, a.last);
        if (r.bit_type)
            source += (std::has_single_bit(static_cast<unsigned>(owner.bits)) ? lang.Text(E_Bit)
                                                                              : lang.Text(E_Bits)) +
                      Bit_Ranges(owner.bits);
        lines.append(source);
    }
    if (c.overlap)
        lines.append(lang.Text(E_Overlap_Legend));
    if (c.default_value >= 0) {
        QString line = lang.Text(E_Default_Value) + QString::number(c.default_value);
        const QString& mnemonic = map.dmx_mnemonics.value(channel - 1);
        if (!mnemonic.isEmpty())
            line += QStringLiteral(" (") + mnemonic + QLatin1Char(')');
        lines.append(line);
    }
    if (c.beyond_count)
        lines.append(lang.Text(E_Beyond_Legend));
    return lines.join(QLatin1Char('\n'));
}

QString Channel_Spoken_Text(const Channel_Map& map, int channel, const Lang_Table& lang) {
    if (channel < 1 || channel > Map_Channel_Count)
        return {};
    const Map_Channel& c = map.Channel(channel);
    QStringList parts;
    for (const Channel_Owner& owner : map.Owners(channel)) {
        const Device_Request& r = map.Request_Of(owner);
        QString part = lang.Text(E_Slot) + QString::number(r.slot);
        if (!r.mnemonic.trimmed().isEmpty())
            part += QLatin1Char(' ') + r.mnemonic.trimmed();
        parts.append(part);
    }
    if (c.overlap)
        parts.append(lang.Text(E_Overlap_Legend));
    if (c.owner_count == 0) {
        parts.append(lang.Text(E_No_Request));
        if (c.default_value >= 0 && !c.beyond_count)
            parts.append(lang.Text(E_Default_Value) + QString::number(c.default_value));
    }
    if (c.beyond_count)
        parts.append(lang.Text(E_Beyond_Legend));
    return lang.Text(E_Channel) + QString::number(channel) + QStringLiteral(": ") +
           parts.join(QStringLiteral(", "));
}

const char* Severity_Name(Map_Severity severity) {
    switch (severity) {
    case Map_Severity::Error:
        return "error";
    case Map_Severity::Warning:
        return "warning";
    case Map_Severity::Information:
        return "information";
    }
    return "";
}

const char* Finding_Kind_Name(Map_Finding_Kind kind) {
    switch (kind) {
    case Map_Finding_Kind::Overlap:
        return "overlap";
    case Map_Finding_Kind::Refused_Row:
        return "refused_row";
    case Map_Finding_Kind::Beyond_Count:
        return "beyond_count";
    case Map_Finding_Kind::Same_Slave_Data:
        return "same_slave_data";
    case Map_Finding_Kind::Uncovered:
        return "uncovered";
    }
    return "";
}

QString Rate_Text(const Slave_Load& load) {
    const QString rate = QString::number(load.requests_per_second, 'f', 1);
    if (load.as_fast_as_possible == 0)
        return rate;
    if (load.as_fast_as_possible == load.requests)
        return QStringLiteral("as fast as possible");
    return rate + QStringLiteral(" + ") + QString::number(load.as_fast_as_possible) +
           QStringLiteral(" as fast as possible");
}

QString Channel_Map_Grid_Text(const Channel_Map& map) {
    QString out = QStringLiteral("Channel map of the ") + QLatin1String(Table_Name(map.table)) +
                  QStringLiteral(": channel count ") + QString::number(map.channel_count) +
                  QStringLiteral(", ") + Plural(map.requests.size(), "request", "requests");
    if (!map.refused.empty())
        out += QStringLiteral(", ") + Plural(map.refused.size(), "row", "rows") +
               QStringLiteral(" left out");
    out += QStringLiteral(
        "\nEach cell: the row of the request that owns the channel; . no request (the DMX "
        "default value);\n!! overlap; + several requests; * beyond the channel count; - beyond "
        "the channel count, no request\n\n");
    const auto empty_beyond = [&](int first) {
        for (int channel = first; channel < first + 16; ++channel)
            if (!map.Channel(channel).beyond_count || !map.Owners(channel).empty())
                return false;
        return true;
    };
    for (int row = 0; row < Map_Channel_Count / 16; ++row) {
        const int first = row * 16 + 1;
        // Lines beyond the channel count without a request make one line.
        if (empty_beyond(first)) {
            int last_row = row;
            while (last_row + 1 < Map_Channel_Count / 16 && empty_beyond((last_row + 1) * 16 + 1))
                ++last_row;
            if (last_row > row) {
                out += Right(QString::number(first), 3) + QLatin1Char('-') +
                       QString::number(last_row * 16 + 16) +
                       QStringLiteral("    - (beyond the channel count, no request)\n");
                row = last_row;
                continue;
            }
        }
        out += Right(QString::number(first), 3) + QLatin1Char('-') +
               Padded(QString::number(first + 15), 3) + QLatin1Char(' ');
        for (int channel = first; channel < first + 16; ++channel) {
            const Map_Channel& c = map.Channel(channel);
            const auto owners = map.Owners(channel);
            QString cell;
            if (owners.empty()) {
                cell = c.beyond_count ? QStringLiteral("-") : QStringLiteral(".");
            } else {
                cell = c.overlap ? QStringLiteral("!!")
                                 : QString::number(map.Request_Of(owners.front()).slot);
                if (!c.overlap && owners.size() > 1)
                    cell += QLatin1Char('+');
                if (c.beyond_count)
                    cell += QLatin1Char('*');
            }
            out += Right(cell, 5);
        }
        out += QLatin1Char('\n');
    }
    return out;
}

QString Channel_Map_Findings_Text(const Channel_Map& map) {
    if (map.findings.empty())
        return QStringLiteral("Findings: none\n");
    QString out = QStringLiteral("Findings: ") +
                  Plural(map.Count(Map_Severity::Error), "error", "errors") + QStringLiteral(", ") +
                  Plural(map.Count(Map_Severity::Warning), "warning", "warnings") +
                  QStringLiteral(", ") + QString::number(map.Count(Map_Severity::Information)) +
                  QStringLiteral(" information\n");
    for (const Map_Finding& f : map.findings)
        out += QStringLiteral("  ") + Padded(QLatin1String(Severity_Name(f.severity)), 13) +
               f.text + QLatin1Char('\n');
    return out;
}

QString Channel_Map_Load_Text(const Channel_Map& map) {
    if (map.slaves.empty())
        return QStringLiteral("Load per slave: no requests\n");
    QString out = QStringLiteral("Load per slave (an estimate from the poll times; worst round = "
                                 "requests x reply time-out of ") +
                  QString::number(map.timeout_ms) + QStringLiteral(" ms):\n") +
                  QStringLiteral("  ") + Padded(QStringLiteral("Slave"), 22) +
                  Right(QStringLiteral("Requests"), 9) + Right(QStringLiteral("Worst round"), 14) +
                  QStringLiteral("  Requests/s\n");
    double total_rate = 0;
    int total_fast = 0;
    for (const Slave_Load& load : map.slaves) {
        out += QStringLiteral("  ") + Padded(load.Name(), 22) +
               Right(QString::number(load.requests), 9) +
               Right(QString::number(load.worst_round_ms) + QStringLiteral(" ms"), 14) +
               QStringLiteral("  ") + Rate_Text(load) + QLatin1Char('\n');
        total_rate += load.requests_per_second;
        total_fast += load.as_fast_as_possible;
    }
    out += QStringLiteral("All slaves: ") +
           Plural(static_cast<qsizetype>(map.requests.size()), "request", "requests") +
           QStringLiteral(", ") + QString::number(total_rate, 'f', 1) +
           QStringLiteral(" requests/s");
    if (total_fast > 0)
        out += QStringLiteral(" + ") + QString::number(total_fast) +
               QStringLiteral(" as fast as possible");
    if (map.cyclic_ms > 0)
        out += QStringLiteral("; the cyclic delay of ") + QString::number(map.cyclic_ms) +
               QStringLiteral(" ms between two requests allows at most ") +
               QString::number(1000.0 / map.cyclic_ms, 'f', 1) + QStringLiteral(" requests/s");
    out += QLatin1Char('\n');
    return out;
}

QString Channel_Map_Text(const Channel_Map& map) {
    return Channel_Map_Grid_Text(map) + QLatin1Char('\n') + Channel_Map_Findings_Text(map) +
           QLatin1Char('\n') + Channel_Map_Load_Text(map);
}
