#pragma once

#include <QByteArray>
#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "image/Image_Record.h"

// The bytes of bank.bin, the configuration image that the device takes as it stands: the request
// table, the settings block closed by its byte sum, and the DMX default block. No header, no
// gaps; every number unsigned and little-endian.

inline constexpr std::uint32_t Request_Record_Size = 32;
inline constexpr std::uint32_t Request_Table_Offset = 0;
inline constexpr std::uint32_t Request_Table_Size = Request_Table_Entries * Request_Record_Size;
inline constexpr std::uint32_t Settings_Block_Offset = Request_Table_Offset + Request_Table_Size;
inline constexpr std::uint32_t Settings_Block_Size = 2048;
// The 32-bit sum of the block's bytes before it, at this offset inside the block.
inline constexpr std::uint32_t Settings_Checksum_Offset = 2044;
inline constexpr std::uint32_t DMX_Block_Offset = Settings_Block_Offset + Settings_Block_Size;
inline constexpr std::uint32_t DMX_Block_Size = DMX_Channels;
inline constexpr std::uint32_t Bank_Size = DMX_Block_Offset + DMX_Block_Size; // 35328

// The fields of a request record with their offsets in its 32 bytes, in record order:
// visit(name, offset, member) for each; the width is the member's size. The bytes 20 to 23 and
// 28 to 29 are reserved and always 0.
template <typename Record, typename Visit> void For_Each_Request_Field(Record& r, Visit&& visit) {
    visit("Position", 0, r.Position);
    visit("Bit", 2, r.Bit);
    visit("PollTime", 4, r.PollTime);
    visit("Slave_ID", 8, r.Slave_ID);
    visit("Function_Code", 9, r.Function_Code);
    visit("Address", 10, r.Address);
    visit("NPoint", 12, r.NPoint);
    visit("Port", 14, r.Port);
    visit("IP_Word", 16, r.IP_Word);
    visit("MaxError", 24, r.MaxError);
    visit("Byte_Count", 30, r.Byte_Count);
    visit("Request_Flags", 31, r.Request_Flags);
}

// Entry index of the request table of an image of Bank_Size bytes.
Request_Record Read_Request_Record(std::span<const std::uint8_t> bank, int index);

// What a field of the settings block holds.
enum class Settings_Source : std::uint8_t {
    Fixed,  // Value in every element; the configurator never changes it
    Unused, // zero bytes with no field in the image record
    Modbus_TCP_Master_TimeOut,
    Modbus_TCP_Master_Cyclic,
    IP_Address,
    Subnet_Mask,
    Gateway,
    Request_Count,
    Image_Flash_Address,
    DMX_IN_Channels,
    DMX_OUT_Channels,
    Checksum,
};

// One field of the settings block: Count elements of Width bytes from Offset (counted from the
// start of the block).
struct Settings_Field {
    const char* Name;
    std::uint16_t Offset;
    std::uint8_t Width;
    std::uint16_t Count;
    Settings_Source Source;
    std::uint32_t Value = 0; // of each element of a fixed field

    constexpr std::uint32_t Size() const { return std::uint32_t{Width} * Count; }
};

// The settings block field by field, in byte order. Fields that the device defines but this
// configurator never sets are named after their offset.
inline constexpr auto Settings_Block_Layout = std::to_array<Settings_Field>({
    {"Fixed_0000", 0, 4, 1, Settings_Source::Fixed, 125000},
    {"Fixed_0004", 4, 4, 2, Settings_Source::Fixed, 0},
    {"Fixed_0012", 12, 4, 1, Settings_Source::Fixed, 9600},
    {"Fixed_0016", 16, 2, 1, Settings_Source::Fixed, 8},
    {"Fixed_0018", 18, 2, 1, Settings_Source::Fixed, 0},
    {"Fixed_0020", 20, 4, 3, Settings_Source::Fixed, 0},
    {"Modbus_TCP_Master_TimeOut", 32, 4, 1, Settings_Source::Modbus_TCP_Master_TimeOut},
    {"Modbus_TCP_Master_Cyclic", 36, 4, 1, Settings_Source::Modbus_TCP_Master_Cyclic},
    {"IP_Address", 40, 1, 4, Settings_Source::IP_Address},
    {"Subnet_Mask", 44, 1, 4, Settings_Source::Subnet_Mask},
    {"Gateway", 48, 1, 4, Settings_Source::Gateway},
    {"Application_Port", 52, 2, 1, Settings_Source::Fixed, 10000},
    {"Fixed_0054", 54, 2, 1, Settings_Source::Fixed, 10001},
    {"Fixed_0056", 56, 2, 1, Settings_Source::Fixed, 10001},
    {"Fixed_0058", 58, 2, 1, Settings_Source::Fixed, 0},
    {"Fixed_0060", 60, 4, 1, Settings_Source::Fixed, 9600},
    {"Fixed_0064", 64, 2, 1, Settings_Source::Fixed, 8},
    {"Fixed_0066", 66, 2, 1, Settings_Source::Fixed, 0},
    {"Fixed_0068", 68, 4, 1, Settings_Source::Fixed, 0},
    {"Request_Count", 72, 4, 1, Settings_Source::Request_Count},
    {"Fixed_0076", 76, 4, 1, Settings_Source::Fixed, 0},
    {"Fixed_0080", 80, 1, 20, Settings_Source::Fixed, 0},
    {"Fixed_0100", 100, 1, 4, Settings_Source::Fixed, 0},
    {"Fixed_0104", 104, 2, 2, Settings_Source::Fixed, 0},
    {"Fixed_0108", 108, 4, 5, Settings_Source::Fixed, 0},
    {"Fixed_0128", 128, 1, 4, Settings_Source::Fixed, 0},
    {"Fixed_0132", 132, 4, 16, Settings_Source::Fixed, 0},
    {"Image_Flash_Address", 196, 4, 1, Settings_Source::Image_Flash_Address},
    {"Fixed_0200", 200, 4, 14, Settings_Source::Fixed, 0},
    {"Fixed_0256", 256, 1, 4, Settings_Source::Fixed, 0},
    {"Fixed_0260", 260, 4, 2, Settings_Source::Fixed, 0},
    {"Fixed_0268", 268, 2, 2, Settings_Source::Fixed, 0},
    {"Fixed_0272", 272, 4, 1, Settings_Source::Fixed, 0},
    {"Fixed_0276", 276, 4, 7, Settings_Source::Fixed, 0},
    {"Fixed_0304", 304, 4, 21, Settings_Source::Fixed, 0},
    {"Fixed_0388", 388, 1, 12, Settings_Source::Fixed, 0}, // three groups of 4 bytes
    {"Fixed_0400", 400, 4, 6, Settings_Source::Fixed, 0},
    {"Fixed_0424", 424, 1, 12, Settings_Source::Fixed, 0},
    {"Fixed_0436", 436, 1, 8, Settings_Source::Fixed, 8},
    {"Fixed_0444", 444, 4, 4, Settings_Source::Fixed, 0},
    {"Fixed_0460", 460, 2, 8, Settings_Source::Fixed, 0},
    {"DMX_IN_Channels", 476, 2, 1, Settings_Source::DMX_IN_Channels},
    {"DMX_OUT_Channels", 478, 2, 1, Settings_Source::DMX_OUT_Channels},
    {"DMX_Default_Block_Address", 480, 4, 1, Settings_Source::Fixed,
     DMX_Default_Block_Flash_Address},
    {"Fixed_0484", 484, 4, 2, Settings_Source::Fixed, 0},
    {"Fixed_0492", 492, 1, 32, Settings_Source::Fixed, 0},
    {"Fixed_0524", 524, 1, 256, Settings_Source::Fixed, 0},
    {"Fixed_0780", 780, 4, 256, Settings_Source::Fixed, 0},
    {"Fixed_1804", 1804, 4, 1, Settings_Source::Fixed, 0},
    {"Fixed_1808", 1808, 1, 20, Settings_Source::Fixed, 0}, // five groups of 4 bytes
    {"Fixed_1828", 1828, 1, 8, Settings_Source::Fixed, 0},
    {"Fixed_1836", 1836, 1, 8, Settings_Source::Fixed, 0},
    {"Fixed_1844", 1844, 4, 2, Settings_Source::Fixed, 0},
    {"Unused_1852", 1852, 4, 15, Settings_Source::Unused},
    {"Fixed_1912", 1912, 1, 128, Settings_Source::Fixed, 0},
    {"Fixed_2040", 2040, 4, 1, Settings_Source::Fixed, 0},
    {"Checksum", Settings_Checksum_Offset, 4, 1, Settings_Source::Checksum},
});

// The value of element index of a field as the image record gives it (the checksum reads 0:
// it is computed while the block is written).
std::uint32_t Settings_Element(const Image_Record& image, const Settings_Field& field, int index);

// The value of element index of a field in an image of Bank_Size bytes, as the device reads it.
std::uint32_t Read_Settings_Element(std::span<const std::uint8_t> bank, const Settings_Field& field,
                                    int index);
std::uint32_t Read_Settings_Element(const QByteArray& bank, const Settings_Field& field, int index);

// The unsigned 32-bit sum of the bytes, each taken as 0 to 255.
std::uint32_t Byte_Sum(std::span<const std::uint8_t> bytes);

// The compiled image: a fixed buffer and the number of bytes used.
struct Bank_Buffer {
    static constexpr std::uint32_t Capacity = 131072;
    std::vector<std::uint8_t> Bytes = std::vector<std::uint8_t>(Capacity);
    std::uint32_t Length = 0;

    std::span<const std::uint8_t> Used() const { return {Bytes.data(), Length}; }
    QByteArray Used_Bytes() const;
};

// The 1024 request records from the current length; the length grows by 32768.
void Serialize_Request_Table(const Image_Record& image, Bank_Buffer& buffer);
// The settings block at start, closed by its byte sum; returns start + 2048.
std::uint32_t Serialize_Settings_Block(const Image_Record& image, Bank_Buffer& buffer,
                                       std::uint32_t start);
// The 512 DMX default bytes at start; returns start + 512.
std::uint32_t Append_DMX_Defaults(const Image_Record& image, Bank_Buffer& buffer,
                                  std::uint32_t start);
