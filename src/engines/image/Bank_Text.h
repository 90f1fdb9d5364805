#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <span>
#include <string_view>

#include "image/Bank_Layout.h"

// The texts in which the program shows the values of an image, shared by everything that decodes
// one (the dump and the compare of the command-line companion), so that a value reads the same
// wherever it is shown.

// The bytes of an image held in a byte array.
std::span<const std::uint8_t> Bank_Bytes(const QByteArray& bank);

// The Modbus function of a request record's Function_Code ("Read Holding Registers", ...).
QString Function_Name(int code);

// A slave address word (first octet in the top 8 bits) as "a.b.c.d".
QString Dotted_Address(std::uint32_t word);

// The names of the bits set in Request_Flags: OnChange, Swap, OnCMD.
QStringList Request_Flag_Names(std::uint8_t flags);

// A request field's value as the dump shows it: IP_Word dotted, Function_Code with its function
// name in brackets, Request_Flags with its flag names in square brackets, the rest as a number.
QString Request_Field_Text(std::string_view name, std::uint32_t value);

// The converter's address, mask and gateway: shown dotted.
bool Is_Address_Field(const Settings_Field& field);

// A settings field of an image of Bank_Size bytes as text: dotted for the addresses, "N x V" for a
// run of equal elements, else the elements separated by blanks.
QString Settings_Field_Text(std::span<const std::uint8_t> bank, const Settings_Field& field);

// The field of the settings block that holds a value.
const Settings_Field& Settings_Field_Of(Settings_Source source);
