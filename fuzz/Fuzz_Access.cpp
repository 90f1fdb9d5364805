// ModbusTCPM_SetAccess.xml with the checks of the access dialog. A file that cannot be read is an
// error naming the file; the checks of a table that was read name rows of the used part with a
// first failure equal to the dialog's message; a loaded table saves and reloads to the same
// table (the used part of each, row for row, and nothing after it); and a table that the dialog
// accepts compiles, with one request for each enabled row of the side of the DMX role.

#include "Fuzz_Support.h"
#include "access/Access_Check.h"
#include "access/Access_File.h"
#include "image/Bank_Layout.h"
#include "image/USaveBincc.h"
#include "lang/Lang_Table.h"
#include "platform/Error.h"

#include <QtEndian>

namespace {

const char* Name(Access_Kind kind) {
    return kind == Access_Kind::Read ? "read" : "write";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString path =
        Write_Fuzz_File(QStringLiteral("ModbusTCPM_SetAccess.xml"), Fuzz_Bytes(data, size));
    Access_Table table;
    try {
        Load_Access_File(path, table);
    } catch (const Tessaro_Error& error) {
        FUZZ_REQUIRE(error.Message().startsWith(QLatin1String("ModbusTCPM_SetAccess.xml: ")),
                     error.Message());
        return 0;
    }

    const std::vector<Access_Failure> failures = All_Access_Failures(table, English_Texts());
    const auto first = Controllo_dati(table, English_Texts());
    FUZZ_REQUIRE(first.has_value() == !failures.empty(), first.value_or(QString()));
    if (first)
        FUZZ_REQUIRE(*first == failures.front().message, *first);
    for (const Access_Failure& failure : failures) {
        const Request_Table& side = table.Table(failure.table);
        FUZZ_REQUIRE(failure.slot >= 1 && failure.slot <= side.Used_Count() &&
                         side.Is_Enabled(failure.slot) && failure.rule >= 1 && failure.rule <= 11,
                     QStringLiteral("%1 table, slot %2, rule %3: %4")
                         .arg(QString::fromLatin1(Name(failure.table)))
                         .arg(failure.slot)
                         .arg(failure.rule)
                         .arg(failure.message));
    }

    const QByteArray written = Access_File_Bytes(table);
    Write_Fuzz_File(QStringLiteral("ModbusTCPM_SetAccess.xml"), written);
    Access_Table again;
    try {
        Load_Access_File(path, again);
    } catch (const Tessaro_Error& error) {
        FUZZ_REQUIRE(false, error.Message());
    }
    const Access_Table empty;
    for (const Access_Kind kind : {Access_Kind::Read, Access_Kind::Write}) {
        const Request_Table& before = table.Table(kind);
        const Request_Table& after = again.Table(kind);
        const int used = before.Used_Count();
        FUZZ_REQUIRE(after.Used_Count() == used,
                     QStringLiteral("%1 table: %2 used slots, %3 read back")
                         .arg(QString::fromLatin1(Name(kind)))
                         .arg(used)
                         .arg(after.Used_Count()));
        for (int slot = 1; slot <= Access_Slot_Count; ++slot) {
            const QStringList expected =
                slot <= used ? before.Row(slot) : empty.Table(kind).Row(slot);
            FUZZ_REQUIRE(
                after.Row(slot) == expected,
                QStringLiteral("%1 table, slot %2: [%3] read back as [%4]")
                    .arg(QString::fromLatin1(Name(kind)))
                    .arg(slot)
                    .arg(expected.join(QLatin1Char('|')), after.Row(slot).join(QLatin1Char('|'))));
        }
    }
    FUZZ_REQUIRE(Access_File_Bytes(again) == written, QStringLiteral("written twice differently"));

    if (first)
        return 0;
    // The dialog accepted the tables: "Update Device" compiles the file it saved. (A row whose
    // Enable is a lower-case "y", which only a hand-edited file holds, is left out of the
    // dialog's checks but compiled.)
    for (const Access_Kind kind : {Access_Kind::Read, Access_Kind::Write}) {
        const Request_Table& side = table.Table(kind);
        int enabled = 0;
        for (int slot = 1; slot <= side.Used_Count(); ++slot) {
            const QString enable = side.Field(slot, side.Layout().Enable).trimmed();
            if (enable.compare(QLatin1String("Y"), Qt::CaseInsensitive) == 0 &&
                enable != QLatin1String("Y"))
                return 0;
            enabled += side.Is_Enabled(slot) ? 1 : 0;
        }
        Write_Fuzz_File(QStringLiteral("ParGen.xml"),
                        kind == Access_Kind::Read ? "<Par_Gen><DMX_DMX>1</DMX_DMX></Par_Gen>"
                                                  : "<Par_Gen><DMX_DMX>0</DMX_DMX></Par_Gen>");
        QByteArray bank;
        try {
            bank = Compile_Configuration(Fuzz_Folder());
        } catch (const Tessaro_Error& error) {
            FUZZ_REQUIRE(false, QStringLiteral("%1 table accepted, compile failed: %2")
                                    .arg(QString::fromLatin1(Name(kind)), error.Message()));
        }
        const auto count =
            qFromLittleEndian<std::uint32_t>(bank.constData() + Settings_Block_Offset + 72);
        FUZZ_REQUIRE(count == static_cast<std::uint32_t>(enabled),
                     QStringLiteral("%1 table: %2 enabled rows, %3 requests")
                         .arg(QString::fromLatin1(Name(kind)))
                         .arg(enabled)
                         .arg(count));
    }
    return 0;
}
