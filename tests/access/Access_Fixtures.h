#pragma once

#include "access/Access_Table.h"

#include <QStringList>

// Rows that pass every check, field by field (field 1 first).
inline QStringList Valid_Read_Row() {
    return {"Y", "192.168.1.10", "502", "1", "Holding Register", "0", "10", "100", "3", "0", "",
            "N", "Boiler"};
}
inline QStringList Valid_Write_Row() {
    return {"Y", "192.168.1.11", "502", "2", "Coil Status", "0", "8", "0", "Y", "N", "3", "0", "0",
            "N", "Lamps"};
}

inline void Set_Row(Request_Table& table, int slot, const QStringList& row) {
    for (int field = 1; field <= row.size(); ++field)
        table.Set_Field(slot, field, row[field - 1]);
}
