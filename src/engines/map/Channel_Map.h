#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "access/Access_Table.h"
#include "access/Device_Requests.h"
#include "comm/DMX_Default_Table.h"
#include "lang/Lang_Table.h"

// The channel map: which request of the table that the converter uses owns which byte of its
// 512-byte data array, that is which DMX channel (byte k is channel k + 1), with what collides,
// what lies beyond the channel count, what is requested twice, which rows are left out and how
// much each slave is asked. It is built from the tables and files exactly as the editors hold
// them, and it only informs: nothing here changes a table or a file.

inline constexpr int Map_Channel_Count = 512;

// What the map takes from ParGen.xml and DMX_Default_Values.xml.
struct Map_Settings {
    // The table the converter uses: the read table for DMX OUT, the write table for DMX IN.
    Access_Kind table = Access_Kind::Read;
    // DMX_Num_Channels as it stands (a hand-edited file may hold a count outside 24..512).
    int channel_count = Map_Channel_Count;
    // Modbus_TCP_Master_TimeOut and Modbus_TCP_Master_Cyclic in ms; their defaults (1000, 100)
    // when the element is missing or not a number.
    int timeout_ms = 1000;
    int cyclic_ms = 100;
    // The DMX default values as the DMX editor shows them (one row per channel of the count).
    DMX_Default_Table defaults;
    // The default value of each channel, 0..255, or -1 where the channel has no row or its text
    // is not a value from 0 to 255.
    std::array<int, Map_Channel_Count> default_values{};

    // Sets defaults and default_values.
    void Set_Defaults(DMX_Default_Table table);
};

// Reads the two files as their editors read them. Throws Tessaro_Error naming a file that
// exists but cannot be read.
Map_Settings Load_Map_Settings(const QString& pargen_path, const QString& dmx_path);

enum class Map_Severity { Error, Warning, Information };

enum class Map_Finding_Kind {
    Overlap,         // read table: two requests store into the same byte or bit (error)
    Refused_Row,     // an enabled row the editor refuses: left out of the map (error)
    Beyond_Count,    // bytes of a request at or above the channel count (warning)
    Same_Slave_Data, // requests to the same data of one slave (warning)
    Uncovered,       // channels below the count without a request (information)
};

struct Map_Finding {
    Map_Severity severity = Map_Severity::Information;
    Map_Finding_Kind kind = Map_Finding_Kind::Uncovered;
    std::vector<int> slot_numbers; // ascending; empty for uncovered channels
    // The channels it names, 1..512, or 0 and 0 when it names none (a refused row, data twice).
    int first_channel = 0;
    int last_channel = 0;
    // Overlap: the bits of each byte that collide (bit 0 is 0x01); 0xFF where whole bytes do.
    std::uint8_t bits = 0;
    // Same slave data: the slave, its unit identifier, the type and the addresses asked twice.
    QString slave; // "10.0.0.7:502"
    int slave_id = 0;
    QString type; // as the Type list shows it: "Holding Register"
    int first_address = 0;
    int last_address = 0;
    // Refused row: the editor's message.
    QString message;
    // One line for the user, in the language the map was built with.
    QString text;
};

// A request that occupies a channel, and which bits of it (0xFF for a register's byte).
struct Channel_Owner {
    int request = 0; // index into Channel_Map::requests
    std::uint8_t bits = 0;
};

struct Map_Channel {
    int first_owner = 0; // into Channel_Map::owners
    int owner_count = 0;
    bool overlap = false;      // two of its owners collide (read table only)
    bool beyond_count = false; // the channel lies above the channel count
    int default_value = -1;    // as Map_Settings::default_values
};

// The requests to one slave (address and port) and what they ask of it: an estimate from the
// configuration alone.
struct Slave_Load {
    QString ip_address;
    quint32 ip_word = 0;
    int port = 0;
    int requests = 0;
    // The sum of 1000 / poll time over the requests with a poll time above 0.
    double requests_per_second = 0;
    // Requests with a poll time of 0: sent as fast as the converter can.
    int as_fast_as_possible = 0;
    // One round of its requests when the slave never answers: requests x reply time-out.
    std::int64_t worst_round_ms = 0;

    QString Name() const { return ip_address + QLatin1Char(':') + QString::number(port); }
};

struct Channel_Map {
    Access_Kind table = Access_Kind::Read;
    int channel_count = Map_Channel_Count;
    int timeout_ms = 1000;
    int cyclic_ms = 100;
    // The requests on the map, in slot order, and the rows left out.
    std::vector<Device_Request> requests;
    std::vector<Refused_Request> refused;
    // Channel c at index c - 1.
    std::array<Map_Channel, Map_Channel_Count> channels{};
    std::vector<Channel_Owner> owners;
    // Errors first, then warnings, then information.
    std::vector<Map_Finding> findings;
    // By address, then port.
    std::vector<Slave_Load> slaves;
    // The mnemonics of the DMX default values, channel 1 first (as many as the table has rows).
    QStringList dmx_mnemonics;

    // The owners of channel 1..512 in slot order.
    std::span<const Channel_Owner> Owners(int channel) const;
    const Map_Channel& Channel(int channel) const {
        return channels[static_cast<size_t>(channel - 1)];
    }
    const Device_Request& Request_Of(const Channel_Owner& owner) const {
        return requests[static_cast<size_t>(owner.request)];
    }
    int Count(Map_Severity severity) const;
    bool Has_Errors() const { return Count(Map_Severity::Error) > 0; }
    // The first channel a slot's request occupies, or 0 when the slot is not on the map.
    int First_Channel_Of_Slot(int slot) const;
};

// The map of the table that settings.table names; the other table is not looked at. Texts are
// taken from lang.
Channel_Map Build_Channel_Map(const Access_Table& access, const Map_Settings& settings,
                              const Lang_Table& lang);

// The map of a configuration folder, its three files read as the editors read them. Throws
// Tessaro_Error naming a file that exists but cannot be read.
Channel_Map Load_Channel_Map(const QString& dir, const Lang_Table& lang);

// The coils, inputs or registers of a request that feed a channel (or that a channel feeds).
struct Channel_Addresses {
    int first = 0;
    int last = 0;
};
Channel_Addresses Addresses_In_Channel(const Device_Request& request, int channel);

// The Type as the Type list shows it ("HOLDING REGISTER" -> "Holding Register").
QString Type_Display_Name(const QString& type);

// "3", "3-4", "0-1, 5": the set bits of a mask as ranges.
QString Bit_Ranges(std::uint8_t bits);
// "17" or "17-32".
QString Channel_Range(int first, int last);

// Several lines about one channel: the channel, each owner with its mnemonic, Type, the
// addresses that feed it and for bit types the bits, the overlap, the default value and whether
// it lies beyond the channel count. In the language of lang.
QString Channel_Description(const Channel_Map& map, int channel, const Lang_Table& lang);

// One line about a channel, as a screen reader speaks the map's cell: the channel, each owner's
// row and mnemonic, then the overlap, "no request" with the default value, and whether it lies
// beyond the channel count: "Channel 4: Row 1 Dim, Row 2 Relays, Overlap". In the language of
// lang.
QString Channel_Spoken_Text(const Channel_Map& map, int channel, const Lang_Table& lang);

// The text form, in English but for the findings (in the language the map was built with):
// the compact map (16 channels a line: the owning slot, "." for none, "!!" for an overlap), the
// findings and the load per slave. Channel_Map_Text joins the three.
QString Channel_Map_Grid_Text(const Channel_Map& map);
QString Channel_Map_Findings_Text(const Channel_Map& map);
QString Channel_Map_Load_Text(const Channel_Map& map);
QString Channel_Map_Text(const Channel_Map& map);

// "error", "warning", "information"; "overlap", "refused_row", "beyond_count",
// "same_slave_data", "uncovered".
const char* Severity_Name(Map_Severity severity);
const char* Finding_Kind_Name(Map_Finding_Kind kind);
// "as fast as possible", "12.5" or "12.5 + 2 as fast as possible" (English).
QString Rate_Text(const Slave_Load& load);
