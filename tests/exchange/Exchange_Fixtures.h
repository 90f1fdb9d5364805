#pragma once

#include "access/Access_Table.h"
#include "comm/DMX_Default_Table.h"

#include <QString>
#include <QStringList>

// Texts that a CSV file must carry through unchanged: separators, quotes, every kind of line
// break, blanks at either end, tabs, non-ASCII letters and texts that spreadsheet programs like
// to reinterpret.
inline QStringList Awkward_Texts() {
    return {QStringLiteral("a,b"),
            QStringLiteral("semi;colon"),
            QStringLiteral("say \"hi\""),
            QStringLiteral("\""),
            QStringLiteral("two\r\nlines"),
            QStringLiteral("line\nfeed"),
            QStringLiteral("carriage\rreturn"),
            QStringLiteral("  leading and trailing  "),
            QStringLiteral("\ttabbed\tin\t"),
            QString::fromUtf8(
                "\xc3\x9cmlaut \xc3\xa9t\xc3\xa9 \xe6\xb8\xa9\xe5\xba\xa6 \xf0\x9f\x92\xa1"),
            QStringLiteral("=SUM(A1)"),
            QStringLiteral("0012"),
            QStringLiteral(""),
            QStringLiteral(" "),
            QStringLiteral("\"quoted\",\"twice\";")};
}

// A read table with all 512 slots used: every Type, enabled, disabled and unticked rows, register
// rows with an empty Start Bit and the awkward texts in the Mnemonic and other free fields.
inline void Fill_Read_Table(Request_Table& table) {
    const QStringList types = Access_Type_Names(Access_Kind::Read);
    const QStringList awkward = Awkward_Texts();
    for (int s = 1; s <= Access_Slot_Count; ++s) {
        const QString type = types[s % types.size()];
        const bool bits = s % types.size() < 2;
        table.Set_Field(s, 1, s % 5 == 0 ? "N" : (s % 7 == 0 ? "" : "Y"));
        table.Set_Field(s, 2, QStringLiteral("10.0.%1.%2").arg(s / 250).arg(s % 250 + 1));
        table.Set_Field(s, 3, s % 11 == 0 ? " 502" : "502");
        table.Set_Field(s, 4, QString::number(s % 247 + 1));
        table.Set_Field(s, 5, type);
        table.Set_Field(s, 6, QString::number(s * 3));
        table.Set_Field(s, 7, bits ? "8" : "2");
        table.Set_Field(s, 8, QString::number(100 + s));
        table.Set_Field(s, 9, "3");
        table.Set_Field(s, 10, QString::number(s % 500));
        table.Set_Field(s, 11, bits ? QString::number(s % 8) : QString());
        table.Set_Field(s, 12, s % 2 ? "Y" : "N");
        table.Set_Field(s, 13, awkward[s % awkward.size()]);
    }
}

// A write table of 30 rows with every field kind: On Change and the hidden On CMD ticked, not
// ticked and empty (as in rows the user inserted), both Types, empty Start Bits.
inline void Fill_Write_Table(Request_Table& table) {
    const QStringList awkward = Awkward_Texts();
    const QStringList ticks = {"Y", "N", ""};
    for (int s = 1; s <= 30; ++s) {
        const bool coils = s % 2;
        table.Set_Field(s, 1, ticks[s % 3]);
        table.Set_Field(s, 2, QStringLiteral("192.168.1.%1").arg(s));
        table.Set_Field(s, 3, "502");
        table.Set_Field(s, 4, QString::number(s));
        table.Set_Field(s, 5, coils ? "Coil Status" : "Holding Register");
        table.Set_Field(s, 6, QString::number(s * 10));
        table.Set_Field(s, 7, coils ? "16" : "4");
        table.Set_Field(s, 8, s % 4 ? "0" : "250");
        table.Set_Field(s, 9, ticks[(s + 1) % 3]);
        table.Set_Field(s, 10, ticks[(s + 2) % 3]);
        table.Set_Field(s, 11, "5");
        table.Set_Field(s, 12, QString::number(s * 8));
        table.Set_Field(s, 13, coils ? QString::number(s % 8) : QString());
        table.Set_Field(s, 14, ticks[s % 3]);
        table.Set_Field(s, 15, awkward[s % awkward.size()]);
    }
}

// The texts of every slot of a table, slot by slot.
inline QList<QStringList> All_Rows(const Request_Table& table) {
    QList<QStringList> rows;
    for (int s = 1; s <= Access_Slot_Count; ++s)
        rows.append(table.Row(s));
    return rows;
}
