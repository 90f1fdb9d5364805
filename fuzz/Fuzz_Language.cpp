// A language file: decoded (byte-order mark, UTF-8, else Windows-1252), split into lines and
// applied line by line over the English texts. Every line is applied or refused without harm,
// the table keeps its 1000 entries, and loading the same bytes from a file gives the same table.

#include "Fuzz_Support.h"
#include "lang/Language_File.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes = Fuzz_Bytes(data, size);
    const QString text = Decode_Text_File(bytes);
    const QStringList lines = Split_Text_Lines(text);
    qsizetype characters = 0;
    for (const QString& line : lines) {
        FUZZ_REQUIRE(!line.contains(QLatin1Char('\r')) && !line.contains(QLatin1Char('\n')), line);
        characters += line.size();
    }
    FUZZ_REQUIRE(characters <= text.size(), QString::number(characters));

    Lang_Table table = English_Texts();
    Lang_File_State state;
    const QChar pilcrow(0x00B6);
    for (const QString& line : lines) {
        const Lang_Line_Result result = Apply_Lang_Line(table, line, state);
        if (result.kind != Lang_Line_Result::Kind::Set)
            continue;
        FUZZ_REQUIRE(result.index >= 0 && result.index < Lang_Table::Default_Count, line);
        FUZZ_REQUIRE(table[result.index] == result.text, line);
        FUZZ_REQUIRE(!result.text.contains(pilcrow), line);
        FUZZ_REQUIRE(!result.text.contains(QLatin1String("/#/")), line);
    }
    FUZZ_REQUIRE(table.Lang_Count() == Lang_Table::Default_Count,
                 QString::number(table.Lang_Count()));

    Lang_Table from_file = English_Texts();
    QString version = QStringLiteral("NO VER.");
    const QString path = Write_Fuzz_File(QStringLiteral("Fuzz.lng"), bytes);
    FUZZ_REQUIRE(Load_Lang_File(from_file, path, version), path);
    FUZZ_REQUIRE(from_file.Texts() == table.Texts(), QStringLiteral("the file gave other texts"));
    FUZZ_REQUIRE(version == (state.version_found ? state.version : QStringLiteral("NO VER.")),
                 version);
    return 0;
}
