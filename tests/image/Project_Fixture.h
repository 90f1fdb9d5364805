#pragma once

#include <QByteArray>
#include <QString>
#include <initializer_list>
#include <utility>

// Project files for the image tests, written the way the editors write them.

enum class Section { Read, Write };

// Changes to the attributes of a row: a value replaces the attribute's value (or adds it), a
// null value removes the attribute.
using Row_Changes = std::initializer_list<std::pair<const char*, const char*>>;

// A row element holding a valid, enabled request of the section with the changes applied. The
// unchanged read row is a holding-register request of 10 registers from address 0 of slave 1 at
// 192.168.0.20:502, polled every 1000 ms, 3 errors allowed, stored at position 1.
QString Access_Row(Section section, Row_Changes changes = {});

// ModbusTCPM_SetAccess.xml with the two sections, each the concatenation of its rows.
QString Access_File(const QString& read_rows, const QString& write_rows);

// ParGen.xml with the given elements (name, text), in that order.
QString Par_Gen_File(std::initializer_list<std::pair<const char*, const char*>> elements);

// ParGen.xml as the Set Communication dialog writes it: DMX OUT (dmx_dmx "1") or IN ("0").
QString Par_Gen_Standard(const char* dmx_dmx, const char* channels, const char* en_gat);

// DMX_Default_Values.xml with one row per value.
QString DMX_File(const QStringList& values);

// The byte at file offset of a compiled image, as a number.
inline int Byte_At(const QByteArray& bank, int offset) {
    return static_cast<unsigned char>(bank.at(offset));
}
