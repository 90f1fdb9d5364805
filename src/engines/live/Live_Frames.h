#pragma once

#include <QByteArray>
#include <QModbusRequest>
#include <QModbusResponse>
#include <array>
#include <cstdint>
#include <vector>

#include "access/Device_Requests.h"

// The Modbus PDUs of the converter's requests, and where their data meet the converter's data
// array. Registers take two bytes of the array each, high byte first; Swap exchanges the two bytes
// of every register. Bits take one bit each, from bit Start Bit of the byte at Position onward
// into the following bytes; bit 0 is the lowest bit of a byte. Writes read the array the same way.

inline constexpr int Data_Array_Size = 512;
using Data_Array = std::array<std::uint8_t, Data_Array_Size>;

// A run of array bytes, first..last; empty when first > last.
struct Byte_Range {
    int first = Data_Array_Size;
    int last = -1;
    bool Empty() const { return first > last; }
    void Add(int index) {
        first = index < first ? index : first;
        last = index > last ? index : last;
    }
};

// The read request of a row of either table: its own function code for a read row; for a write
// row the read-back of its target (coils with function 1, registers with function 3).
QModbusRequest Read_Pdu(const Device_Request& request);
// The function code Read_Pdu uses.
std::uint8_t Read_Function(const Device_Request& request);

// The write request of a write row (function 5, 6, 15 or 16) with the data the array holds for it.
QModbusRequest Write_Pdu(const Device_Request& request, const Data_Array& data);

// True when a normal (not exception) answer is what the request asks for: for a read the same
// function and the expected byte count with that many data bytes; for a write the slave's echo
// (the whole request for functions 5 and 6, address and quantity for 15 and 16).
bool Answer_Fits(const QModbusRequest& sent, const QModbusResponse& answer, int npoint);

// Writes the data of a read answer that Answer_Fits accepted (its byte count first) into the
// array; bits not addressed by the request keep their values. Gives the bytes whose value changed.
Byte_Range Land_Answer(const Device_Request& request, const QByteArray& answer_data,
                       Data_Array& data);

// The values the request's span of the array holds, read as the request lays them out: one
// register value (0..65535) or one bit (0 or 1) per point.
std::vector<std::uint16_t> Values_In_Array(const Device_Request& request, const Data_Array& data);
