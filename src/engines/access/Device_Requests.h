#pragma once

#include <QString>
#include <cstdint>
#include <variant>
#include <vector>

#include "access/Access_Check.h"
#include "access/Access_Table.h"
#include "lang/Lang_Table.h"

// The requests that the converter runs: the enabled rows of the used part of the one table its
// DMX role selects (the read table for DMX OUT, the write table for DMX IN), with every field
// converted. A row that the editor's check refuses is not a request; it is listed with the
// editor's message instead, so that nothing built on this list ever guesses at a wrong row.

struct Device_Request {
    Access_Kind table = Access_Kind::Read;
    int slot = 0; // 1..512
    QString mnemonic;
    quint32 ip_word = 0;   // a.b.c.d as (a << 24) | (b << 16) | (c << 8) | d
    QString ip_address;    // dotted, as the converter connects to it ("10.0.0.7")
    int port = 0;          // 0..65535
    int slave_id = 0;      // 1..247, the Modbus unit identifier
    QString type;          // upper-cased: "COIL STATUS", "INPUT STATUS", "HOLDING REGISTER", ...
    bool bit_type = false; // coils or inputs: one bit of the data array per point
    std::uint8_t function_code = 0; // as the image holds it
    int address = 0;                // first coil, input or register, 0..65535
    int npoint = 0;                 // number of coils, inputs or registers
    std::int64_t poll_time = 0;     // milliseconds
    std::int64_t max_error = 0;     // failures in a row before the request is suspended
    int position = 0;               // first byte of the data array, 0..511
    int start_bit = 0;              // first bit in that byte for bit types (0..7), else 0
    bool swap = false;              // registers: the two bytes of each register exchanged
    bool on_change = false;         // write table: also sent at once when one of its bytes changed
    bool on_cmd = false;            // write table: the hidden On CMD flag

    // The last byte of the data array the request occupies (channel = byte + 1).
    int Last_Byte() const;
    // The number of data array bytes from Position to Last_Byte.
    int Byte_Span() const { return Last_Byte() - position + 1; }
    // The last coil, input or register address the request reaches (may pass 65535).
    int Last_Address() const { return address + npoint - 1; }
};

// A row of the used table that the editor's check refuses.
struct Refused_Request {
    Access_Kind table = Access_Kind::Read;
    int slot = 0;
    int rule = 0;    // the first rule that fails, 1..11
    QString message; // the editor's message for it, in the table's language
};

struct Device_Request_List {
    Access_Kind table = Access_Kind::Read; // the table the converter uses
    std::vector<Device_Request> requests;  // in slot order
    std::vector<Refused_Request> refused;  // in slot order
};

// The requests of one table: enabled rows of its used part, each checked as the editor checks
// it; passing rows converted, failing rows listed with their message.
Device_Request_List Device_Requests(const Request_Table& table, const Lang_Table& lang);

// One slot of a table, checked as the editor checks an enabled row of the used part (whatever its
// Enable text and place in the table) and converted as Device_Requests converts it; the refusal
// with the editor's message when the check fails.
std::variant<Device_Request, Refused_Request> Device_Request_At(const Request_Table& table,
                                                                int slot, const Lang_Table& lang);
