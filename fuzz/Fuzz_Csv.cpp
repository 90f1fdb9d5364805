// The spreadsheet importer of the request tables and the DMX default values: the same bytes as a
// read table, a write table and a DMX table of 512 channels. A file is taken whole or refused
// with a problem naming the file, its line and column. What is taken loses nothing: every row
// stays in the used part of the table, survives the next save and load of the project file
// unchanged, and exports and imports again to the same rows.

#include "Fuzz_Support.h"
#include "access/Access_File.h"
#include "comm/DMX_Default_Table.h"
#include "exchange/Table_Csv.h"
#include "platform/Error.h"

namespace {

const Csv_Header_Titles& Titles(Csv_Table table) {
    static const std::vector<Lang_Table> languages{English_Texts()};
    static const Csv_Header_Titles read(Csv_Table::Read, languages);
    static const Csv_Header_Titles write(Csv_Table::Write, languages);
    static const Csv_Header_Titles dmx(Csv_Table::DMX, languages);
    return table == Csv_Table::Read ? read : table == Csv_Table::Write ? write : dmx;
}

void Check_Problem(const Csv_Problem& problem) {
    FUZZ_REQUIRE(problem.line >= 1 && problem.column >= 1,
                 QStringLiteral("line %1, column %2").arg(problem.line).arg(problem.column));
    const QString message =
        Csv_Problem_Message(QStringLiteral("/data/in.csv"), problem, English_Texts());
    FUZZ_REQUIRE(message.contains(QLatin1String("in.csv")), Shown(message));
}

QString Row_Text(const QStringList& row) {
    return Shown(row.join(QLatin1Char('|')));
}

void Access(const QByteArray& bytes, Access_Kind kind) {
    const Access_Csv_Import imported =
        Import_Access_Csv(bytes, kind, Titles(Csv_Table_Of(kind)), English_Texts());
    if (imported.problem) {
        FUZZ_REQUIRE(imported.rows.empty(), QString::number(imported.rows.size()));
        Check_Problem(*imported.problem);
        return;
    }
    const int count = static_cast<int>(imported.rows.size());
    FUZZ_REQUIRE(count <= Access_Slot_Count, QString::number(count));
    Access_Table access;
    Request_Table& table = access.Table(kind);
    Replace_Access_Rows(table, imported.rows);
    FUZZ_REQUIRE(table.Used_Count() == count,
                 QStringLiteral("%1 rows, %2 in the used part").arg(count).arg(table.Used_Count()));

    // The next OK of the dialog saves them; the next showing reads them back.
    const QString path =
        Write_Fuzz_File(QStringLiteral("ModbusTCPM_SetAccess.xml"), Access_File_Bytes(access));
    Access_Table again;
    try {
        Load_Access_File(path, again);
    } catch (const Tessaro_Error& error) {
        FUZZ_REQUIRE(false, error.Message());
    }
    for (int slot = 1; slot <= count; ++slot) {
        const QStringList& row = imported.rows[static_cast<size_t>(slot - 1)];
        FUZZ_REQUIRE(again.Table(kind).Row(slot) == row,
                     QStringLiteral("slot %1: [%2] saved and read back as [%3]")
                         .arg(slot)
                         .arg(Row_Text(row), Row_Text(again.Table(kind).Row(slot))));
    }
    FUZZ_REQUIRE(again.Table(kind).Used_Count() == count, QString::number(count));

    const Access_Csv_Import round_trip =
        Import_Access_Csv(Export_Access_Csv(table, English_Texts(), Csv_Separator::Semicolon), kind,
                          Titles(Csv_Table_Of(kind)), English_Texts());
    FUZZ_REQUIRE(!round_trip.problem, QStringLiteral("the exported file is refused"));
    FUZZ_REQUIRE(round_trip.rows == imported.rows, QStringLiteral("exported and imported again, "
                                                                  "the rows changed"));
}

void DMX(const QByteArray& bytes) {
    const int channels = DMX_Default_Table::Max_Channels;
    const DMX_Csv_Import imported =
        Import_DMX_Csv(bytes, channels, Titles(Csv_Table::DMX), English_Texts());
    if (imported.problem) {
        FUZZ_REQUIRE(imported.rows.empty(), QString::number(imported.rows.size()));
        Check_Problem(*imported.problem);
        return;
    }
    FUZZ_REQUIRE(imported.rows.size() <= static_cast<size_t>(channels),
                 QString::number(imported.rows.size()));
    const DMX_Default_Table table = DMX_Table_From_Rows(channels, imported.rows);

    const QString pargen = Remove_Fuzz_File(QStringLiteral("ParGen.xml"));
    const QString path =
        Write_Fuzz_File(QStringLiteral("DMX_Default_Values.xml"), DMX_Defaults_Bytes(table));
    DMX_Load_Problems problems;
    const DMX_Default_Table again = Load_DMX_Defaults(pargen, path, problems);
    FUZZ_REQUIRE(!problems.Values_Error, *problems.Values_Error);
    for (int i = 0; i < channels; ++i)
        FUZZ_REQUIRE(again.Rows[i] == table.Rows[i],
                     QStringLiteral("channel %1: [%2|%3] saved and read back as [%4|%5]")
                         .arg(i + 1)
                         .arg(Shown(table.Rows[i].Default_Value), Shown(table.Rows[i].Mnemonic),
                              Shown(again.Rows[i].Default_Value), Shown(again.Rows[i].Mnemonic)));

    const DMX_Csv_Import round_trip =
        Import_DMX_Csv(Export_DMX_Csv(table, English_Texts(), Csv_Separator::Tab), channels,
                       Titles(Csv_Table::DMX), English_Texts());
    FUZZ_REQUIRE(!round_trip.problem, QStringLiteral("the exported file is refused"));
    FUZZ_REQUIRE(DMX_Table_From_Rows(channels, round_trip.rows) == table,
                 QStringLiteral("exported and imported again, the rows changed"));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes = Fuzz_Bytes(data, size);
    Access(bytes, Access_Kind::Read);
    Access(bytes, Access_Kind::Write);
    DMX(bytes);
    return 0;
}
