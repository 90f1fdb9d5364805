#pragma once

#include <QByteArray>
#include <QString>

#include "access/Access_Table.h"

// ModbusTCPM_SetAccess.xml: the root Modbus_TCP_Master_Rules with the sections Modbus_Read and
// Modbus_Write, one row element per slot of the used part, every field an attribute.

// Fills the tables from the file; does nothing when there is no file. Both sections are read.
// Throws Tessaro_Error naming the file, the section, the row and the attribute when the file is
// not XML, lacks its root or a section, a row lacks a required attribute or a section holds more
// rows than a table has slots. Slots read before the failure keep their new values.
void Load_Access_File(const QString& path, Access_Table& table);

// The file's content for the tables: the used part of each table, disabled rows included, texts
// as they stand.
QByteArray Access_File_Bytes(const Access_Table& table);

// Writes the file in one step; throws Tessaro_Error naming the file and the reason, and the old
// file stays as it was.
void Save_Access_File(const QString& path, const Access_Table& table);

// The table that the device uses, after the DMX role (DMX_DMX) in ParGen.xml: the read table for
// "1" (DMX OUT), for a missing file and for a file without the element; the write table for any
// other text. Throws Tessaro_Error when the file exists but is not XML.
Access_Kind Access_Kind_For_DMX(const QString& pargen_path);
