#include "live/Live_Frames.h"

namespace {

void Put_16(QByteArray& pdu, int value) {
    pdu.append(static_cast<char>((value >> 8) & 0xFF));
    pdu.append(static_cast<char>(value & 0xFF));
}

std::uint8_t Byte_At(const QByteArray& bytes, int index) {
    return static_cast<std::uint8_t>(bytes.at(index));
}

bool Bit_At(const Data_Array& data, int position, int bit) {
    return (data[static_cast<size_t>(position + bit / 8)] >> (bit % 8)) & 1;
}

// The two array bytes of register i, in the order high byte, low byte.
std::uint16_t Register_At(const Device_Request& request, const Data_Array& data, int i) {
    const std::uint8_t first = data[static_cast<size_t>(request.position + 2 * i)];
    const std::uint8_t second = data[static_cast<size_t>(request.position + 2 * i + 1)];
    return request.swap ? static_cast<std::uint16_t>((second << 8) | first)
                        : static_cast<std::uint16_t>((first << 8) | second);
}

} // namespace

std::uint8_t Read_Function(const Device_Request& request) {
    if (request.table == Access_Kind::Read)
        return request.function_code;
    return request.bit_type ? 1 : 3;
}

QModbusRequest Read_Pdu(const Device_Request& request) {
    QByteArray data;
    data.reserve(4);
    Put_16(data, request.address);
    Put_16(data, request.npoint);
    return QModbusRequest(static_cast<QModbusPdu::FunctionCode>(Read_Function(request)), data);
}

QModbusRequest Write_Pdu(const Device_Request& request, const Data_Array& data) {
    QByteArray pdu;
    const int fc = request.function_code;
    pdu.reserve(5 + request.Byte_Span() + 2);
    Put_16(pdu, request.address);
    if (fc == 5) {
        Put_16(pdu, Bit_At(data, request.position, request.start_bit) ? 0xFF00 : 0x0000);
    } else if (fc == 6) {
        Put_16(pdu, Register_At(request, data, 0));
    } else if (fc == 15) {
        Put_16(pdu, request.npoint);
        const int bytes = (request.npoint + 7) / 8;
        pdu.append(static_cast<char>(bytes));
        for (int b = 0; b < bytes; ++b) {
            int packed = 0;
            for (int k = 0; k < 8 && b * 8 + k < request.npoint; ++k)
                if (Bit_At(data, request.position, request.start_bit + b * 8 + k))
                    packed |= 1 << k;
            pdu.append(static_cast<char>(packed));
        }
    } else {
        Put_16(pdu, request.npoint);
        pdu.append(static_cast<char>(2 * request.npoint));
        for (int i = 0; i < request.npoint; ++i)
            Put_16(pdu, Register_At(request, data, i));
    }
    return QModbusRequest(static_cast<QModbusPdu::FunctionCode>(fc), pdu);
}

bool Answer_Fits(const QModbusRequest& sent, const QModbusResponse& answer, int npoint) {
    if (answer.isException() || answer.functionCode() != sent.functionCode())
        return false;
    const QByteArray& got = answer.data();
    switch (sent.functionCode()) {
    case QModbusPdu::ReadCoils:
    case QModbusPdu::ReadDiscreteInputs: {
        const int count = (npoint + 7) / 8;
        return got.size() == 1 + count && Byte_At(got, 0) == count;
    }
    case QModbusPdu::ReadHoldingRegisters:
    case QModbusPdu::ReadInputRegisters: {
        const int count = 2 * npoint;
        return got.size() == 1 + count && Byte_At(got, 0) == count;
    }
    case QModbusPdu::WriteSingleCoil:
    case QModbusPdu::WriteSingleRegister:
        return got == sent.data();
    case QModbusPdu::WriteMultipleCoils:
    case QModbusPdu::WriteMultipleRegisters:
        return got == sent.data().left(4);
    default:
        return false;
    }
}

Byte_Range Land_Answer(const Device_Request& request, const QByteArray& answer_data,
                       Data_Array& data) {
    Byte_Range changed;
    const auto set = [&](int index, std::uint8_t value) {
        std::uint8_t& byte = data[static_cast<size_t>(index)];
        if (byte != value) {
            byte = value;
            changed.Add(index);
        }
    };
    if (request.bit_type) {
        for (int k = 0; k < request.npoint; ++k) {
            const bool on = (Byte_At(answer_data, 1 + k / 8) >> (k % 8)) & 1;
            const int bit = request.start_bit + k;
            const int index = request.position + bit / 8;
            const std::uint8_t mask = static_cast<std::uint8_t>(1u << (bit % 8));
            const std::uint8_t old = data[static_cast<size_t>(index)];
            set(index, static_cast<std::uint8_t>(on ? old | mask : old & ~mask));
        }
    } else {
        for (int i = 0; i < request.npoint; ++i) {
            const std::uint8_t high = Byte_At(answer_data, 1 + 2 * i);
            const std::uint8_t low = Byte_At(answer_data, 2 + 2 * i);
            const int at = request.position + 2 * i;
            set(at, request.swap ? low : high);
            set(at + 1, request.swap ? high : low);
        }
    }
    return changed;
}

std::vector<std::uint16_t> Values_In_Array(const Device_Request& request, const Data_Array& data) {
    std::vector<std::uint16_t> values;
    values.reserve(static_cast<size_t>(request.npoint));
    for (int k = 0; k < request.npoint; ++k)
        values.push_back(request.bit_type ? Bit_At(data, request.position, request.start_bit + k)
                                          : Register_At(request, data, k));
    return values;
}
