#include "Live_Rows.h"
#include "live/Live_Error.h"
#include "live/Live_Frames.h"

#include <gtest/gtest.h>

namespace {

Device_Request Request(Access_Kind kind, const Row_Values& row) {
    const auto requests = Requests_Of(kind, {row});
    EXPECT_EQ(requests.size(), 1u);
    return requests.empty() ? Device_Request{} : requests.front();
}

QByteArray Bytes(std::initializer_list<int> values) {
    QByteArray bytes;
    for (int v : values)
        bytes.append(static_cast<char>(v));
    return bytes;
}

Data_Array Filled(std::uint8_t value) {
    Data_Array data;
    data.fill(value);
    return data;
}

// Registers land two bytes each at Position, high byte first unless Swap exchanges them; the
// bytes around them keep their values.
TEST(Live_Frames, RegistersLandHighByteFirstOrSwapped) {
    const struct {
        bool swap;
        std::array<int, 4> bytes;
    } cases[] = {{false, {0x12, 0x34, 0xAB, 0xCD}}, {true, {0x34, 0x12, 0xCD, 0xAB}}};
    for (const auto& c : cases) {
        const Device_Request r =
            Request(Access_Kind::Read,
                    {.type = "Input Register", .npoint = 2, .position = 20, .swap = c.swap});
        Data_Array data = Filled(7);
        const Byte_Range changed = Land_Answer(r, Bytes({4, 0x12, 0x34, 0xAB, 0xCD}), data);
        EXPECT_EQ(changed.first, 20);
        EXPECT_EQ(changed.last, 23);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(data[static_cast<size_t>(20 + i)], c.bytes[static_cast<size_t>(i)])
                << "swap " << c.swap << " byte " << i;
        EXPECT_EQ(data[19], 7);
        EXPECT_EQ(data[24], 7);
        // Reading the array back the same way gives the registers.
        EXPECT_EQ(Values_In_Array(r, data), (std::vector<std::uint16_t>{0x1234, 0xABCD}));
    }
}

// Bits run from bit Start Bit of the byte at Position into the next byte; the bits of those
// bytes that the request does not address keep their values.
TEST(Live_Frames, BitsStartAtTheStartBitAndSpanBytes) {
    const Device_Request r =
        Request(Access_Kind::Read, {.type = "Coil Status", .npoint = 6, .position = 100, .bit = 5});
    Data_Array data{};
    data[100] = 0b0000'1111; // bits 0..3 are not the request's
    data[101] = 0b1111'0000; // bits 4..7 are not the request's
    // Coils 0..5 = 1 0 1 1 0 1: packed low bit first.
    const Byte_Range changed = Land_Answer(r, Bytes({1, 0b10'1101}), data);
    // Coils 0..2 go to bits 5..7 of byte 100, coils 3..5 to bits 0..2 of byte 101.
    EXPECT_EQ(data[100], 0b1010'1111);
    EXPECT_EQ(data[101], 0b1111'0101);
    EXPECT_EQ(changed.first, 100);
    EXPECT_EQ(changed.last, 101);
    EXPECT_EQ(Values_In_Array(r, data), (std::vector<std::uint16_t>{1, 0, 1, 1, 0, 1}));

    // The same answer again changes nothing.
    EXPECT_TRUE(Land_Answer(r, Bytes({1, 0b10'1101}), data).Empty());
}

// A write sends what the array holds at Position, laid out as a read would land it.
TEST(Live_Frames, WritesTakeTheirDataFromTheArray) {
    Data_Array data{};
    data[10] = 0x12;
    data[11] = 0x34;
    data[12] = 0x56;
    data[13] = 0x78;
    data[30] = 0b1010'0000; // bits 5..7: 1 0 1
    data[31] = 0b0000'0011; // bits 0..1: 1 1
    const struct {
        Row_Values row;
        int function;
        QByteArray pdu_data;
    } cases[] = {
        {{.type = "Holding Register", .address = 5, .npoint = 1, .position = 10},
         6,
         Bytes({0, 5, 0x12, 0x34})},
        {{.type = "Holding Register", .address = 5, .npoint = 1, .position = 10, .swap = true},
         6,
         Bytes({0, 5, 0x34, 0x12})},
        {{.type = "Holding Register", .address = 300, .npoint = 2, .position = 10},
         16,
         Bytes({0x01, 0x2C, 0, 2, 4, 0x12, 0x34, 0x56, 0x78})},
        {{.type = "Coil Status", .address = 7, .npoint = 1, .position = 30, .bit = 5},
         5,
         Bytes({0, 7, 0xFF, 0})},
        {{.type = "Coil Status", .address = 7, .npoint = 1, .position = 30, .bit = 6},
         5,
         Bytes({0, 7, 0, 0})},
        {{.type = "Coil Status", .address = 0, .npoint = 5, .position = 30, .bit = 5},
         15,
         Bytes({0, 0, 0, 5, 1, 0b1'1101})},
    };
    for (const auto& c : cases) {
        const Device_Request r = Request(Access_Kind::Write, c.row);
        const QModbusRequest pdu = Write_Pdu(r, data);
        EXPECT_EQ(pdu.functionCode(), c.function);
        EXPECT_EQ(pdu.data().toHex(' '), c.pdu_data.toHex(' ')) << c.function;
        EXPECT_TRUE(pdu.isValid());
    }
}

TEST(Live_Frames, AnswersMustFitTheRequest) {
    const Device_Request registers =
        Request(Access_Kind::Read, {.type = "Holding Register", .address = 3, .npoint = 2});
    const QModbusRequest read = Read_Pdu(registers);
    EXPECT_EQ(read.functionCode(), QModbusPdu::ReadHoldingRegisters);
    EXPECT_EQ(read.data().toHex(' '), "00 03 00 02");
    const auto answer = [](QModbusPdu::FunctionCode fc, const QByteArray& data) {
        return QModbusResponse(fc, data);
    };
    EXPECT_TRUE(
        Answer_Fits(read, answer(QModbusPdu::ReadHoldingRegisters, Bytes({4, 1, 2, 3, 4})), 2));
    // Too few data bytes, a wrong byte count, another function.
    EXPECT_FALSE(
        Answer_Fits(read, answer(QModbusPdu::ReadHoldingRegisters, Bytes({4, 1, 2, 3})), 2));
    EXPECT_FALSE(Answer_Fits(read, answer(QModbusPdu::ReadHoldingRegisters, Bytes({2, 1, 2})), 2));
    EXPECT_FALSE(
        Answer_Fits(read, answer(QModbusPdu::ReadInputRegisters, Bytes({4, 1, 2, 3, 4})), 2));

    // A write's good answer is its echo.
    const Device_Request coils = Request(
        Access_Kind::Write, {.type = "Coil Status", .address = 9, .npoint = 10, .position = 0});
    const QModbusRequest write = Write_Pdu(coils, Data_Array{});
    EXPECT_TRUE(
        Answer_Fits(write, answer(QModbusPdu::WriteMultipleCoils, Bytes({0, 9, 0, 10})), 10));
    EXPECT_FALSE(
        Answer_Fits(write, answer(QModbusPdu::WriteMultipleCoils, Bytes({0, 9, 0, 9})), 10));

    // The read-back of a write row: coils with function 1, registers with function 3.
    EXPECT_EQ(Read_Pdu(coils).functionCode(), QModbusPdu::ReadCoils);
    EXPECT_EQ(Read_Pdu(Request(Access_Kind::Write, {.type = "Holding Register", .npoint = 3}))
                  .functionCode(),
              QModbusPdu::ReadHoldingRegisters);
}

TEST(Live_Frames, ErrorsReadAsTheirNames) {
    Lang_Table lang;
    lang.Load_Default_Texts();
    const struct {
        Live_Error error;
        const char* text;
    } cases[] = {
        {{Live_Error::Kind::Exception, 1, {}}, "Modbus exception 1 (Illegal function)"},
        {{Live_Error::Kind::Exception, 2, {}}, "Modbus exception 2 (Illegal data address)"},
        {{Live_Error::Kind::Exception, 3, {}}, "Modbus exception 3 (Illegal data value)"},
        {{Live_Error::Kind::Exception, 4, {}}, "Modbus exception 4 (Slave device failure)"},
        {{Live_Error::Kind::Exception, 11, {}},
         "Modbus exception 11 (Gateway target device failed to respond)"},
        {{Live_Error::Kind::Exception, 9, {}}, "Modbus exception 9"},
        {{Live_Error::Kind::Timeout, 300, {}}, "time-out (300 ms)"},
        {{Live_Error::Kind::Refused, 0, {}}, "connection refused"},
        {{Live_Error::Kind::Connection, 0, "Network unreachable"},
         "connection failed: Network unreachable"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Live_Error_Text(c.error, lang), c.text);
}

} // namespace
