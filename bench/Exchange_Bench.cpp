// Spreadsheet export and import of both request tables with all 512 rows used, as the access
// dialog does them: the CSV files written and read, the header matched against every shipped
// language, the rows put into the tables.
#include "exchange/Table_Csv.h"
#include "platform/Files.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

void Fill(Request_Table& table) {
    const bool read = table.Kind() == Access_Kind::Read;
    for (int s = 1; s <= Access_Slot_Count; ++s) {
        const QStringList row =
            read ? QStringList{"Y",
                               QStringLiteral("192.168.%1.%2").arg(s / 250).arg(s % 250 + 1),
                               "502",
                               "1",
                               "Holding Register",
                               QString::number(s),
                               "1",
                               "1000",
                               "3",
                               QString::number(s % 256 * 2),
                               "",
                               "N",
                               QStringLiteral("Boiler %1, \"supply\" temperature").arg(s)}
                 : QStringList{"Y",
                               QStringLiteral("192.168.%1.%2").arg(s / 250).arg(s % 250 + 1),
                               "502",
                               "1",
                               "Coil Status",
                               QString::number(s),
                               "8",
                               "0",
                               "Y",
                               "N",
                               "3",
                               QString::number(s - 1),
                               "0",
                               "N",
                               QStringLiteral("Lamp group %1; hall A").arg(s)};
        for (int field = 1; field <= table.Field_Count(); ++field)
            table.Set_Field(s, field, row[field - 1]);
    }
}

QString File_Of(const QTemporaryDir& folder, Access_Kind kind) {
    return folder.filePath(kind == Access_Kind::Read ? "read.csv" : "write.csv");
}

void BM_Export_2x512_Rows(benchmark::State& state) {
    QTemporaryDir folder;
    Lang_Table lang;
    lang.Load_Default_Texts();
    Access_Table access;
    Fill(access.Read);
    Fill(access.Write);
    for (auto _ : state)
        for (const Access_Kind kind : {Access_Kind::Read, Access_Kind::Write})
            if (Write_File_Atomic(
                    File_Of(folder, kind),
                    Export_Access_Csv(access.Table(kind), lang, Csv_Separator::Semicolon)))
                state.SkipWithError("the file could not be written");
}
BENCHMARK(BM_Export_2x512_Rows)->Unit(benchmark::kMillisecond);

void BM_Import_2x512_Rows(benchmark::State& state) {
    QTemporaryDir folder;
    Lang_Table lang;
    lang.Load_Default_Texts();
    {
        Access_Table access;
        Fill(access.Read);
        Fill(access.Write);
        for (const Access_Kind kind : {Access_Kind::Read, Access_Kind::Write})
            Write_File_Atomic(File_Of(folder, kind), Export_Access_Csv(access.Table(kind), lang,
                                                                       Csv_Separator::Semicolon));
    }
    Access_Table access;
    for (auto _ : state) {
        std::vector<Lang_Table> languages = Languages_Of_Folder(QStringLiteral(TESSARO_LANG_DIR));
        languages.push_back(lang);
        for (const Access_Kind kind : {Access_Kind::Read, Access_Kind::Write}) {
            const Csv_Header_Titles titles(Csv_Table_Of(kind), languages);
            const Access_Csv_Import imported =
                Import_Access_Csv(Read_File_Bytes(File_Of(folder, kind)), kind, titles, lang);
            if (imported.problem || imported.rows.size() != 512)
                state.SkipWithError("the file was not imported");
            Replace_Access_Rows(access.Table(kind), imported.rows);
        }
    }
    if (access.Read.Used_Count() != 512 || access.Write.Used_Count() != 512)
        state.SkipWithError("the tables do not hold 512 rows each");
}
BENCHMARK(BM_Import_2x512_Rows)->Unit(benchmark::kMillisecond);

// The same without reading the language files: the parse and the shape checks alone.
void BM_Import_2x512_Rows_Parse_Only(benchmark::State& state) {
    Lang_Table lang;
    lang.Load_Default_Texts();
    Access_Table source;
    Fill(source.Read);
    Fill(source.Write);
    const QByteArray files[] = {Export_Access_Csv(source.Read, lang, Csv_Separator::Comma),
                                Export_Access_Csv(source.Write, lang, Csv_Separator::Comma)};
    const Csv_Header_Titles titles[] = {Csv_Header_Titles(Csv_Table::Read, std::span(&lang, 1)),
                                        Csv_Header_Titles(Csv_Table::Write, std::span(&lang, 1))};
    for (auto _ : state)
        for (int t = 0; t < 2; ++t) {
            const Access_Csv_Import imported = Import_Access_Csv(
                files[t], t == 0 ? Access_Kind::Read : Access_Kind::Write, titles[t], lang);
            benchmark::DoNotOptimize(imported.rows.data());
        }
}
BENCHMARK(BM_Import_2x512_Rows_Parse_Only)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
