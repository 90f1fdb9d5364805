// DMX_Default_Values.xml, read by the DMX Default Value dialog for the 512 channels of a
// configuration without ParGen.xml. A file that cannot be read is an error naming the file (and
// the dialog's form reports it and shows every channel at 0); the checks name rows that exist;
// the file the dialog writes reads back as the same table.

#include "Fuzz_Support.h"
#include "comm/DMX_Default_Table.h"
#include "lang/Lang_Table.h"
#include "platform/Error.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString pargen = Remove_Fuzz_File(QStringLiteral("ParGen.xml"));
    const QString path =
        Write_Fuzz_File(QStringLiteral("DMX_Default_Values.xml"), Fuzz_Bytes(data, size));

    DMX_Load_Problems problems;
    const DMX_Default_Table table = Load_DMX_Defaults(pargen, path, problems);
    FUZZ_REQUIRE(!problems.ParGen_Error, *problems.ParGen_Error);
    FUZZ_REQUIRE(table.Row_Count() == DMX_Default_Table::Max_Channels,
                 QString::number(table.Row_Count()));
    try {
        const DMX_Default_Table strict = Load_DMX_Defaults(pargen, path);
        FUZZ_REQUIRE(!problems.Values_Error, *problems.Values_Error);
        FUZZ_REQUIRE(strict == table, QStringLiteral("the two forms read other tables"));
    } catch (const Tessaro_Error& error) {
        FUZZ_REQUIRE(problems.Values_Error == error.Message(), error.Message());
        FUZZ_REQUIRE(error.Message().startsWith(QLatin1String("DMX_Default_Values.xml: ")),
                     error.Message());
        FUZZ_REQUIRE(table == DMX_Default_Table::With_Channels(DMX_Default_Table::Max_Channels),
                     QStringLiteral("an unreadable file left values in the table"));
    }

    const std::vector<int> failing = DMX_Failing_Rows(table);
    int previous = 0;
    for (const int row : failing) {
        FUZZ_REQUIRE(row > previous && row <= table.Row_Count(), QString::number(row));
        previous = row;
    }
    FUZZ_REQUIRE(Controllo_dati(table, English_Texts()).has_value() == !failing.empty(),
                 QString::number(failing.size()));

    Write_Fuzz_File(QStringLiteral("DMX_Default_Values.xml"), DMX_Defaults_Bytes(table));
    DMX_Load_Problems again_problems;
    const DMX_Default_Table again = Load_DMX_Defaults(pargen, path, again_problems);
    FUZZ_REQUIRE(!again_problems.Values_Error, *again_problems.Values_Error);
    for (int i = 0; i < table.Row_Count(); ++i)
        FUZZ_REQUIRE(again.Rows[i] == table.Rows[i],
                     QStringLiteral("row %1: \"%2\" \"%3\" read back as \"%4\" \"%5\"")
                         .arg(i + 1)
                         .arg(table.Rows[i].Default_Value, table.Rows[i].Mnemonic,
                              again.Rows[i].Default_Value, again.Rows[i].Mnemonic));
    return 0;
}
