#pragma once

#include "access/Access_Table.h"
#include "access/Device_Requests.h"
#include "lang/Lang_Table.h"

#include <QStringList>

// Request rows for the dry-run tests, as a user types them, toward a slave on 127.0.0.1.
struct Row_Values {
    quint16 port = 502;
    const char* type = "Holding Register";
    int address = 0;
    int npoint = 1;
    int poll = 100;
    int max_error = 0;
    int position = 0;
    int bit = 0;
    bool swap = false;
    bool on_change = false;
    int unit = 1;
    const char* mnemonic = "";
};

inline QStringList Read_Row(const Row_Values& s) {
    return {"Y",
            "127.0.0.1",
            QString::number(s.port),
            QString::number(s.unit),
            s.type,
            QString::number(s.address),
            QString::number(s.npoint),
            QString::number(s.poll),
            QString::number(s.max_error),
            QString::number(s.position),
            QString::number(s.bit),
            s.swap ? "Y" : "N",
            s.mnemonic};
}

inline QStringList Write_Row(const Row_Values& s) {
    return {"Y",
            "127.0.0.1",
            QString::number(s.port),
            QString::number(s.unit),
            s.type,
            QString::number(s.address),
            QString::number(s.npoint),
            QString::number(s.poll),
            s.on_change ? "Y" : "N",
            "N",
            QString::number(s.max_error),
            QString::number(s.position),
            QString::number(s.bit),
            s.swap ? "Y" : "N",
            s.mnemonic};
}

inline void Put_Row(Request_Table& table, int slot, const QStringList& row) {
    for (int field = 1; field <= row.size(); ++field)
        table.Set_Field(slot, field, row[field - 1]);
}

// The requests of rows put into slots 1, 2, ... of a table of the kind.
inline std::vector<Device_Request> Requests_Of(Access_Kind kind,
                                               const std::vector<Row_Values>& rows) {
    Request_Table table(kind);
    table.Reset();
    int slot = 0;
    for (const Row_Values& row : rows)
        Put_Row(table, ++slot, kind == Access_Kind::Read ? Read_Row(row) : Write_Row(row));
    Lang_Table lang;
    lang.Load_Default_Texts();
    Device_Request_List list = Device_Requests(table, lang);
    return list.requests;
}
