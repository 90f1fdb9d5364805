#include "image/Bank_Layout.h"

#include <algorithm>
#include <stdexcept>
#include <type_traits>

namespace {

// The fields follow one another without gap or overlap and fill the block, the checksum last.
constexpr bool Layout_Fills_The_Block() {
    std::uint32_t next = 0;
    for (const Settings_Field& field : Settings_Block_Layout) {
        if (field.Offset != next || field.Count == 0)
            return false;
        if (field.Width != 1 && field.Width != 2 && field.Width != 4)
            return false;
        next += field.Size();
    }
    const Settings_Field& last = Settings_Block_Layout.back();
    return next == Settings_Block_Size && last.Source == Settings_Source::Checksum &&
           last.Offset == Settings_Checksum_Offset;
}
static_assert(Layout_Fills_The_Block());
static_assert(Bank_Size == 35328);

// Writes value lowest byte first.
void Put(std::uint8_t* out, std::uint32_t value, int width) {
    for (int i = 0; i < width; ++i)
        out[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint32_t Get(const std::uint8_t* in, int width) {
    std::uint32_t value = 0;
    for (int i = width - 1; i >= 0; --i)
        value = (value << 8) | in[i];
    return value;
}

// Room for size more bytes at start.
std::uint8_t* Room(Bank_Buffer& buffer, std::uint32_t start, std::uint32_t size) {
    if (start > Bank_Buffer::Capacity || size > Bank_Buffer::Capacity - start)
        throw std::logic_error("bank buffer overflow");
    return buffer.Bytes.data() + start;
}

void Write_Request_Record(const Request_Record& r, std::uint8_t* out) {
    std::fill(out, out + Request_Record_Size, std::uint8_t{0});
    For_Each_Request_Field(r, [out](const char*, int offset, const auto& member) {
        Put(out + offset, member, sizeof member);
    });
}

} // namespace

std::uint32_t Settings_Element(const Image_Record& image, const Settings_Field& field, int index) {
    const Image_Settings& s = image.Settings;
    switch (field.Source) {
    case Settings_Source::Fixed:
        return field.Value;
    case Settings_Source::Unused:
    case Settings_Source::Checksum:
        return 0;
    case Settings_Source::Modbus_TCP_Master_TimeOut:
        return s.Modbus_TCP_Master_TimeOut;
    case Settings_Source::Modbus_TCP_Master_Cyclic:
        return s.Modbus_TCP_Master_Cyclic;
    case Settings_Source::IP_Address:
        return s.IP_Address.at(index);
    case Settings_Source::Subnet_Mask:
        return s.Subnet_Mask.at(index);
    case Settings_Source::Gateway:
        return s.Gateway.at(index);
    case Settings_Source::Request_Count:
        return s.Request_Count;
    case Settings_Source::Image_Flash_Address:
        return s.Image_Flash_Address;
    case Settings_Source::DMX_IN_Channels:
        return s.DMX_IN_Channels;
    case Settings_Source::DMX_OUT_Channels:
        return s.DMX_OUT_Channels;
    }
    return 0;
}

std::uint32_t Read_Settings_Element(std::span<const std::uint8_t> bank, const Settings_Field& field,
                                    int index) {
    const std::uint32_t at = Settings_Block_Offset + field.Offset + field.Width * index;
    if (index < 0 || index >= field.Count || bank.size() < at + field.Width)
        throw std::out_of_range("settings element outside the image");
    return Get(bank.data() + at, field.Width);
}

std::uint32_t Read_Settings_Element(const QByteArray& bank, const Settings_Field& field,
                                    int index) {
    return Read_Settings_Element(std::span(reinterpret_cast<const std::uint8_t*>(bank.constData()),
                                           static_cast<std::size_t>(bank.size())),
                                 field, index);
}

Request_Record Read_Request_Record(std::span<const std::uint8_t> bank, int index) {
    const std::uint32_t at = Request_Table_Offset + Request_Record_Size * index;
    if (index < 0 || index >= Request_Table_Entries || bank.size() < at + Request_Record_Size)
        throw std::out_of_range("request record outside the image");
    Request_Record record;
    For_Each_Request_Field(record, [&](const char*, int offset, auto& member) {
        member = static_cast<std::remove_reference_t<decltype(member)>>(
            Get(bank.data() + at + offset, sizeof member));
    });
    return record;
}

std::uint32_t Byte_Sum(std::span<const std::uint8_t> bytes) {
    std::uint32_t sum = 0;
    for (const std::uint8_t byte : bytes)
        sum += byte;
    return sum;
}

QByteArray Bank_Buffer::Used_Bytes() const {
    return QByteArray(reinterpret_cast<const char*>(Bytes.data()), Length);
}

void Serialize_Request_Table(const Image_Record& image, Bank_Buffer& buffer) {
    std::uint8_t* out = Room(buffer, buffer.Length, Request_Table_Size);
    for (const Request_Record& record : image.Request_Table) {
        Write_Request_Record(record, out);
        out += Request_Record_Size;
    }
    buffer.Length += Request_Table_Size;
}

std::uint32_t Serialize_Settings_Block(const Image_Record& image, Bank_Buffer& buffer,
                                       std::uint32_t start) {
    std::uint8_t* block = Room(buffer, start, Settings_Block_Size);
    for (const Settings_Field& field : Settings_Block_Layout) {
        if (field.Source == Settings_Source::Checksum)
            continue;
        for (int i = 0; i < field.Count; ++i)
            Put(block + field.Offset + field.Width * i, Settings_Element(image, field, i),
                field.Width);
    }
    const std::uint32_t sum = Byte_Sum({block, Settings_Checksum_Offset});
    Put(block + Settings_Checksum_Offset, sum, 4);
    return start + Settings_Block_Size;
}

std::uint32_t Append_DMX_Defaults(const Image_Record& image, Bank_Buffer& buffer,
                                  std::uint32_t start) {
    std::uint8_t* out = Room(buffer, start, DMX_Block_Size);
    for (const std::uint8_t value : image.DMX_Default_Bytes)
        *out++ = value;
    return start + DMX_Block_Size;
}
