#pragma once

#include <array>
#include <cstdint>

// The device configuration compiled from the three project files of a configuration: the request
// table, the DMX default values and the settings that the configurator sets. Every compile
// rebuilds it from scratch.

inline constexpr int Request_Table_Entries = 1024;
inline constexpr int DMX_Channels = 512;

// Where the image lies in the device's flash, and where its DMX default block lies there.
inline constexpr std::uint32_t Image_Flash_Address = 0x60000;
inline constexpr std::uint32_t DMX_Default_Block_Flash_Address = 0x68800;

// One Modbus TCP request of the device, in the order of its 32 bytes in the image.
struct Request_Record {
    std::uint16_t Position = 0; // byte index in the converter's data array
    std::uint16_t Bit = 0;      // first bit inside the byte at Position
    std::uint32_t PollTime = 0; // ms between two requests
    std::uint8_t Slave_ID = 0;
    std::uint8_t Function_Code = 0; // Modbus function code; 0: type not recognised
    std::uint16_t Address = 0;
    std::uint16_t NPoint = 0;
    std::uint16_t Port = 0;
    std::uint32_t IP_Word = 0; // first octet in the top 8 bits
    std::uint32_t MaxError = 0;
    std::uint8_t Byte_Count = 0;
    std::uint8_t Request_Flags = 0;

    bool operator==(const Request_Record&) const = default;
};

// Bits of Request_Flags.
inline constexpr std::uint8_t Flag_On_Change = 0x01; // write requests only
inline constexpr std::uint8_t Flag_Swap = 0x04;
inline constexpr std::uint8_t Flag_On_CMD = 0x10; // write requests only

// The settings that the configurator sets, in their order in the settings block. Every other
// field of the block holds a fixed value (see Bank_Layout.h).
struct Image_Settings {
    std::uint32_t Modbus_TCP_Master_TimeOut = 0; // ms
    std::uint32_t Modbus_TCP_Master_Cyclic = 0;  // ms between two requests
    std::array<std::uint8_t, 4> IP_Address{192, 168, 0, 10};
    std::array<std::uint8_t, 4> Subnet_Mask{255, 255, 255, 0};
    std::array<std::uint8_t, 4> Gateway{255, 255, 255, 255};
    std::uint32_t Request_Count = 0;
    std::uint32_t Image_Flash_Address = 0;
    std::uint16_t DMX_IN_Channels = 0;
    std::uint16_t DMX_OUT_Channels = 0;

    bool operator==(const Image_Settings&) const = default;
};

struct Image_Record {
    std::array<Request_Record, Request_Table_Entries> Request_Table{};
    // Entry 0 is DMX channel 1.
    std::array<std::uint8_t, DMX_Channels> DMX_Default_Bytes{};
    Image_Settings Settings;
    // The DMX line is an output: the read requests are loaded, else the write requests. Not part
    // of the image bytes.
    bool DMX_Out = true;
};

// Every settings field takes its initial value; the request table, the DMX defaults and DMX_Out
// stay as they are.
void Set_Image_Defaults(Image_Record& image);
// All 512 DMX default values become 0.
void Clear_Image_DMX_Defaults(Image_Record& image);
// All 1024 request records become all zero.
void Clear_Request_Table(Image_Record& image);
