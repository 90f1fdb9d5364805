#include "access/Access_Check.h"

#include "platform/Int_Conv.h"
#include "platform/Text.h"

#include <cstdint>

namespace {

// The rules of one table: message entries and bounds.
struct Table_Rules {
    int entry_first; // entry of rule 1; rule k uses entry_first + k - 1
    QStringList types;
    QStringList bit_types;
    int npoint_bits;
    int npoint_registers;
    int poll_min;
};

const Table_Rules& Rules_Of(Access_Kind kind) {
    static const Table_Rules read{675,
                                  {QStringLiteral("COIL STATUS"), QStringLiteral("INPUT STATUS"),
                                   QStringLiteral("HOLDING REGISTER"),
                                   QStringLiteral("INPUT REGISTER")},
                                  {QStringLiteral("COIL STATUS"), QStringLiteral("INPUT STATUS")},
                                  2000,
                                  125,
                                  1};
    static const Table_Rules write{
        686,
        {QStringLiteral("COIL STATUS"), QStringLiteral("HOLDING REGISTER")},
        {QStringLiteral("COIL STATUS")},
        1968,
        123,
        0};
    return kind == Access_Kind::Read ? read : write;
}

constexpr int Max_Time = 100000000;

std::int32_t Number(const QString& text) {
    return To_Int(text, -1);
}

bool In_Range(std::int64_t value, std::int64_t low, std::int64_t high) {
    return value >= low && value <= high;
}

// Applies the rules to one enabled row; report gets each failing rule with the bound that its
// message ends with (or nothing). Stops early when report returns false.
template <typename Report>
void Check_Row(const Request_Table& table, int slot, int nbyte, Report&& report) {
    const Access_Layout& f = table.Layout();
    const Table_Rules& rules = Rules_Of(table.Kind());
    const auto text = [&](int field) -> const QString& { return table.Field(slot, field); };

    const QString type = text(f.Type);
    const bool bit_type = rules.bit_types.contains(Trim_Text(type).toUpper());
    const std::int64_t npoint = Number(text(f.NPoint));
    const std::int64_t position = Number(text(f.Position));
    const int npoint_max = bit_type ? rules.npoint_bits : rules.npoint_registers;
    const std::optional<std::int32_t> start_bit = Parse_Int(text(f.Bit));

    const auto check = [&](int rule, bool passes, std::optional<int> bound = std::nullopt) {
        return passes || report(rule, bound);
    };
    // Each check returns false when the walk is to stop.
    if (!check(1, !Check_IP_Address(text(f.IP_Address))))
        return;
    if (!check(2, In_Range(Number(text(f.Port)), 0, 65535)))
        return;
    if (!check(3, In_Range(Number(text(f.Slave_ID)), 1, 247)))
        return;
    // The Type must be one of the listed types exactly (any case): a misspelt or blank-padded
    // type would reach the device as an unknown request.
    if (!check(4, rules.types.contains(type.toUpper())))
        return;
    if (!check(5, In_Range(Number(text(f.Address)), 0, 65535)))
        return;
    if (!check(6, In_Range(npoint, 1, npoint_max), npoint_max))
        return;
    if (!check(7, In_Range(Number(text(f.PollTime)), rules.poll_min, Max_Time)))
        return;
    if (!check(8, In_Range(Number(text(f.MaxError)), 0, Max_Time)))
        return;
    if (!check(9, In_Range(position, 0, nbyte - 1), nbyte - 1))
        return;
    // Bits start at a bit 0..7 of the byte at Position; registers ignore the Start Bit.
    if (!check(10, !bit_type || (start_bit && In_Range(*start_bit, 0, 7))))
        return;
    // The last byte of the data array that the request occupies.
    const std::int64_t last =
        bit_type ? position + (npoint + start_bit.value_or(0) - 1) / 8 : position + 2 * npoint - 1;
    check(11, last < nbyte);
}

QString Message(const Lang_Table& lang, Access_Kind kind, int slot, int rule,
                std::optional<int> bound) {
    QString message =
        lang.Text(674) + QString::number(slot) + lang.Text(Rules_Of(kind).entry_first + rule - 1);
    if (bound)
        message += QString::number(*bound);
    return message;
}

// Walks the enabled rows of the used part of both tables, the read table first.
template <typename Report>
void Check_Tables(const Access_Table& table, int NByte_IN, int NByte_OUT, Report&& report) {
    for (const Request_Table* requests : {&table.Read, &table.Write}) {
        const int nbyte = requests->Kind() == Access_Kind::Read ? NByte_IN : NByte_OUT;
        const int used = requests->Used_Count();
        for (int slot = 1; slot <= used; ++slot) {
            if (!requests->Is_Enabled(slot))
                continue;
            bool go_on = true;
            Check_Row(*requests, slot, nbyte, [&](int rule, std::optional<int> bound) {
                go_on = report(requests->Kind(), slot, rule, bound);
                return go_on;
            });
            if (!go_on)
                return;
        }
    }
}

} // namespace

std::optional<QString> Controllo_dati(const Access_Table& table, const Lang_Table& lang,
                                      int NByte_IN, int NByte_OUT) {
    std::optional<QString> first;
    Check_Tables(table, NByte_IN, NByte_OUT,
                 [&](Access_Kind kind, int slot, int rule, std::optional<int> bound) {
                     first = Message(lang, kind, slot, rule, bound);
                     return false;
                 });
    return first;
}

std::vector<Access_Failure> All_Access_Failures(const Access_Table& table, const Lang_Table& lang,
                                                int NByte_IN, int NByte_OUT) {
    std::vector<Access_Failure> failures;
    Check_Tables(table, NByte_IN, NByte_OUT,
                 [&](Access_Kind kind, int slot, int rule, std::optional<int> bound) {
                     failures.push_back({kind, slot, rule, Message(lang, kind, slot, rule, bound)});
                     return true;
                 });
    return failures;
}

std::optional<Access_Failure> First_Row_Failure(const Request_Table& table, int slot,
                                                const Lang_Table& lang, int nbyte) {
    std::optional<Access_Failure> first;
    Check_Row(table, slot, nbyte, [&](int rule, std::optional<int> bound) {
        first = Access_Failure{table.Kind(), slot, rule,
                               Message(lang, table.Kind(), slot, rule, bound)};
        return false;
    });
    return first;
}

bool Check_IP_Address(const QString& IP_Address) {
    if (IP_Address.isEmpty())
        return true;
    QString rest = IP_Address;
    bool invalid = false;
    for (int i = 0; i < 4; ++i) {
        QString field;
        if (i < 3) {
            // The text before the next dot (none without a dot); the rest goes on.
            const qsizetype dot = rest.indexOf(QLatin1Char('.'));
            if (dot >= 0) {
                field = rest.left(dot);
                rest = rest.mid(dot + 1);
            }
        } else {
            field = rest;
        }
        if (!In_Range(Number(field), 0, 255))
            invalid = true;
    }
    return invalid;
}
