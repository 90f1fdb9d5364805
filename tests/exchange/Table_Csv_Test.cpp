#include "Exchange_Fixtures.h"
#include "access/Access_File.h"
#include "exchange/Table_Csv.h"
#include "lang/Language_File.h"
#include "support/Test_Files.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <gtest/gtest.h>

namespace {

const QByteArray Bom = "\xEF\xBB\xBF";

Lang_Table English() {
    Lang_Table lang;
    lang.Load_Default_Texts();
    return lang;
}

std::string S(const QString& text) {
    return text.toStdString();
}

class Table_Csv : public ::testing::Test {
protected:
    Table_Csv()
        : lang(English())
        , read_titles(Csv_Table::Read, std::span(&lang, 1))
        , write_titles(Csv_Table::Write, std::span(&lang, 1))
        , dmx_titles(Csv_Table::DMX, std::span(&lang, 1)) {}

    const Csv_Header_Titles& Titles(Access_Kind kind) const {
        return kind == Access_Kind::Read ? read_titles : write_titles;
    }
    Access_Csv_Import Import(const QByteArray& bytes, Access_Kind kind = Access_Kind::Read) {
        return Import_Access_Csv(bytes, kind, Titles(kind), lang);
    }
    // A file of the read table: the English header, then the lines, each ended by end.
    static QByteArray Read_File(const QList<QByteArray>& lines, const QByteArray& end = "\r\n") {
        QByteArray bytes = "Enable,Slave IP Address,Port,Slave ID,Type,Address,NPoint,Poll Time,"
                           "Max Error,Position,Start Bit,Swap,Mnemonic" +
                           end;
        for (const QByteArray& line : lines)
            bytes += line + end;
        return bytes;
    }
    static QByteArray Read_Line(int n) {
        return "Y,10.0.0." + QByteArray::number(n) + ",502,1,Holding Register,0,1,100,3,0,,N,r" +
               QByteArray::number(n);
    }

    Lang_Table lang;
    Csv_Header_Titles read_titles;
    Csv_Header_Titles write_titles;
    Csv_Header_Titles dmx_titles;
};

// Export and import give back exactly the project file the table came from, with every
// separator.
TEST_F(Table_Csv, RoundTripGivesTheSameProjectFile) {
    Access_Table original;
    Fill_Read_Table(original.Read);
    Fill_Write_Table(original.Write);
    const QByteArray project = Access_File_Bytes(original);

    for (const Csv_Separator separator :
         {Csv_Separator::Comma, Csv_Separator::Semicolon, Csv_Separator::Tab}) {
        SCOPED_TRACE(Separator_Char(separator));
        Access_Table copy;
        for (const Access_Kind kind : {Access_Kind::Read, Access_Kind::Write}) {
            const QByteArray csv = Export_Access_Csv(original.Table(kind), lang, separator);
            const Access_Csv_Import imported = Import(csv, kind);
            ASSERT_FALSE(imported.problem)
                << S(Csv_Problem_Message("f.csv", *imported.problem, lang));
            Replace_Access_Rows(copy.Table(kind), imported.rows);
        }
        EXPECT_EQ(copy.Read.Used_Count(), 512);
        EXPECT_EQ(copy.Write.Used_Count(), 30);
        EXPECT_EQ(Access_File_Bytes(copy), project);
    }
}

// The texts also come back from the project file that the import leads to.
TEST_F(Table_Csv, AwkwardTextsSurviveTheFileAndTheProjectFile) {
    Temp_Folder folder;
    Access_Table original;
    Fill_Write_Table(original.Write);
    const QByteArray csv = Export_Access_Csv(original.Write, lang, Csv_Separator::Semicolon);
    Write_Bytes(folder.File("w.csv"), csv);

    const Access_Csv_Import imported = Import(Read_Bytes(folder.File("w.csv")), Access_Kind::Write);
    ASSERT_FALSE(imported.problem);
    Access_Table copy;
    Replace_Access_Rows(copy.Write, imported.rows);
    Save_Access_File(folder.File("ModbusTCPM_SetAccess.xml"), copy);
    Access_Table loaded;
    Load_Access_File(folder.File("ModbusTCPM_SetAccess.xml"), loaded);
    EXPECT_EQ(All_Rows(loaded.Write), All_Rows(original.Write));
    for (const QString& text : Awkward_Texts()) {
        bool found = false;
        for (int s = 1; s <= 30; ++s)
            found = found || loaded.Write.Field(s, 15) == text;
        EXPECT_TRUE(found) << S(text);
    }
}

TEST_F(Table_Csv, FileIsUtf8WithBomCrLfAndQuotesOnlyWhereNeeded) {
    Request_Table table(Access_Kind::Read);
    table.Set_Field(1, 2, "10.0.0.1");
    table.Set_Field(1, 5, "Coil Status");
    table.Set_Field(1, 13, QString::fromUtf8("a;b \"c\" \xc3\xa9"));
    table.Set_Field(2, 2, "10.0.0.2");
    table.Set_Field(2, 13, " x");
    table.Set_Field(3, 13, "not exported: the table ends at slot 3");
    EXPECT_EQ(Export_Access_Csv(table, lang, Csv_Separator::Comma),
              Bom + "Enable,Slave IP Address,Port,Slave ID,Type,Address,NPoint,Poll Time,"
                    "Max Error,Position,Start Bit,Swap,Mnemonic\r\n"
                    "Y,10.0.0.1,,,Coil Status,,,,,,,,\"a;b \"\"c\"\" \xc3\xa9\"\r\n"
                    "Y,10.0.0.2,,,,,,,,,,,\" x\"\r\n");
    EXPECT_EQ(Export_Access_Csv(table, lang, Csv_Separator::Semicolon).split('\n')[1],
              "Y;10.0.0.1;;;Coil Status;;;;;;;;\"a;b \"\"c\"\" \xc3\xa9\"\r");

    // The DMX table: every channel, its number first.
    DMX_Default_Table dmx = DMX_Default_Table::With_Channels(3);
    dmx.Rows[1] = {"128", "Dimmer\t2"};
    EXPECT_EQ(Export_DMX_Csv(dmx, lang, Csv_Separator::Tab),
              Bom + "Channel\tDefault Value\tMnemonic\r\n1\t0\t\r\n2\t128\t\"Dimmer\t2\"\r\n"
                    "3\t0\t\r\n");
}

// The same rows, as different programs write them.
TEST_F(Table_Csv, ReadsTheFilesOfSpreadsheetPrograms) {
    // The separator is written as |, the line end as ~.
    const QByteArray file = "Enable|Slave IP Address|Port|Slave ID|Type|Address|NPoint|Poll Time|"
                            "Max Error|Position|Start Bit|Swap|Mnemonic~"
                            "Y|10.0.0.1|502|1|Holding Register|0|1|100|3|0||N|Caf\xc3\xa9 "
                            "\xe2\x82\xac~"
                            "N|10.0.0.2|502|2|Coil Status|8|16|100|3|2|7|N|\"a;b,c\tz\"~"
                            "Y|10.0.0.3|502|3|Input Register|0|2|100|3|4||Y|\"x \"\"y\"\"~z\"~";
    const auto written = [&](char separator, const QByteArray& end) {
        return QByteArray(file).replace('|', separator).replace("~", end);
    };
    const QByteArray excel = Bom + written(';', "\r\n");
    QByteArray no_end = written(',', "\n");
    no_end.chop(1);
    // Windows-1252: é is 0xE9 and € 0x80.
    const QByteArray cp1252 =
        written(',', "\r\n").replace("\xc3\xa9", "\xe9").replace("\xe2\x82\xac", "\x80");
    // "Unicode text" of spreadsheet programs: UTF-16 with a byte-order mark, tab separated.
    QStringEncoder utf16(QStringEncoder::Utf16LE, QStringEncoder::Flag::WriteBom);
    const QByteArray unicode_text = utf16.encode(QString::fromUtf8(written('\t', "\r\n")));

    const struct {
        const char* name;
        QByteArray bytes;
        const char* end;
    } files[] = {{"semicolon, BOM, CR LF", excel, "\r\n"},
                 {"comma, LF, no BOM, last line without end", no_end, "\n"},
                 {"Windows-1252", cp1252, "\r\n"},
                 {"UTF-16 with tabs", unicode_text, "\r\n"}};
    for (const auto& f : files) {
        SCOPED_TRACE(f.name);
        const Access_Csv_Import imported = Import(f.bytes);
        ASSERT_FALSE(imported.problem) << S(Csv_Problem_Message("f.csv", *imported.problem, lang));
        ASSERT_EQ(imported.rows.size(), 3u);
        EXPECT_EQ(imported.rows[0][10], "");
        EXPECT_EQ(imported.rows[1][10], "7");
        EXPECT_EQ(imported.rows[0][12], QString::fromUtf8("Caf\xc3\xa9 \xe2\x82\xac"));
        EXPECT_EQ(imported.rows[1][12], "a;b,c\tz");
        EXPECT_EQ(imported.rows[2][12], "x \"y\"" + QString::fromLatin1(f.end) + "z");
    }
}

// Headers in another language, the attribute names of the project file, any case and blanks.
TEST_F(Table_Csv, AcceptsTheTitlesOfEveryLanguageAndTheAttributeNames) {
    const std::vector<Lang_Table> languages = Languages_Of_Folder(QStringLiteral(TESSARO_LANG_DIR));
    ASSERT_GE(languages.size(), 5u);
    const Csv_Header_Titles titles(Csv_Table::Write, languages);
    const QByteArray row = "Y,10.0.0.1,502,1,Coil Status,0,1,0,N,N,3,0,0,N,m\r\n";
    QStringList headers = {"Enable, IP_Address,PORT,slave_id,Type,Address,NPoint,PollTime,"
                           "OnChange,OnCMD,MaxError,Position,Bit,Swap,Mnemonic"};
    for (const Lang_Table& language : languages)
        headers.append(Csv_Titles(Csv_Table::Write, language).join(','));
    for (const QString& header : headers) {
        SCOPED_TRACE(S(header));
        const Access_Csv_Import imported = Import_Access_Csv(Bom + header.toUtf8() + "\r\n" + row,
                                                             Access_Kind::Write, titles, lang);
        ASSERT_FALSE(imported.problem) << S(Csv_Problem_Message("f.csv", *imported.problem, lang));
        EXPECT_EQ(imported.rows.size(), 1u);
    }
    // The Italian titles are among them, and "Porta" is not a read table's Slave ID.
    EXPECT_TRUE(headers.join('|').contains("Porta"));
    const Access_Csv_Import wrong =
        Import_Access_Csv(Read_File({}).replace("Slave ID", "Porta"), Access_Kind::Read,
                          Csv_Header_Titles(Csv_Table::Read, languages), lang);
    ASSERT_TRUE(wrong.problem);
    EXPECT_EQ(wrong.problem->kind, Csv_Problem::Kind::Unknown_Title);
    EXPECT_EQ(wrong.problem->column, 4);
    EXPECT_EQ(wrong.problem->detail, "Slave ID");
}

// Spreadsheet programs append lines of empty cells: they are no rows. Anywhere else a row
// without a Slave IP Address would end the table and lose the rows after it.
TEST_F(Table_Csv, BlankLinesAtTheEndAreNoRows) {
    const QByteArray blank = ",,,,,,,,,,,,";
    const Access_Csv_Import trailing =
        Import(Read_File({Read_Line(1), Read_Line(2), blank, blank, "", blank}));
    ASSERT_FALSE(trailing.problem);
    EXPECT_EQ(trailing.rows.size(), 2u);

    Request_Table table(Access_Kind::Read);
    Fill_Read_Table(table);
    Replace_Access_Rows(table, trailing.rows);
    EXPECT_EQ(table.Used_Count(), 2);
    EXPECT_EQ(table.Row(2).join('|'), "Y|10.0.0.2|502|1|Holding Register|0|1|100|3|0||N|r2");
    for (int s = 3; s <= Access_Slot_Count; ++s)
        ASSERT_EQ(table.Row(s), Request_Table(Access_Kind::Read).Row(s)) << s;
}

// Every refused file names the line and the column; nothing of it is taken.
TEST_F(Table_Csv, RefusesFilesOfTheWrongShapeNamingLineAndColumn) {
    using K = Csv_Problem::Kind;
    QList<QByteArray> many;
    for (int n = 1; n <= 513; ++n)
        many.append(Read_Line(n));
    // Row 10 begins on line 12: the header takes line 1, rows 1 to 9 lines 2 to 11 (row 3 two).
    QList<QByteArray> twelve;
    for (int n = 1; n <= 9; ++n)
        twelve.append(n == 3 ? "Y,10.0.0.3,502,1,Holding Register,0,1,100,3,0,,N,\"two\r\nlines\""
                             : Read_Line(n));
    twelve.append("Y,10.0.0.10,502,1,Holding Register,0,1,100,3,0,,N,\"never\r\nclosed");
    const struct {
        const char* name;
        QByteArray bytes;
        K kind;
        int line;
        int column;
        const char* detail;
    } cases[] = {
        {"a column missing on line 7",
         Read_File({Read_Line(1), Read_Line(2), Read_Line(3), Read_Line(4), Read_Line(5),
                    "Y,10.0.0.6,502,1,Holding Register,0,1,100,3,0,,N"}),
         K::Column_Count, 7, 13, "13"},
        {"a column too many", Read_File({Read_Line(1) + ",extra"}), K::Column_Count, 2, 14, "13"},
        {"a header of the write table", Read_File({}).replace("Max Error", "On Change,Max Error"),
         K::Column_Count, 1, 14, "13"},
        {"more than 512 rows", Read_File(many), K::Too_Many_Rows, 514, 1, "512"},
        {"an unterminated quote at line 12, after a field of two lines", Read_File(twelve),
         K::Open_Quote, 12, 13, ""},
        {"text after a closing quote", Read_File({Read_Line(1), "Y,\"10.0.0.2\"x,502"}),
         K::Stray_Quote, 3, 2, ""},
        {"a quote inside a field", Read_File({"Y,10.0\"0.1,502"}), K::Stray_Quote, 2, 2, ""},
        {"an empty Slave IP Address before further rows",
         Read_File({Read_Line(1), "Y,  ,502,1,Holding Register,0,1,100,3,0,,N,gap", Read_Line(3)}),
         K::Empty_IP_Address, 3, 2, ""},
        {"an empty Slave IP Address in the last row",
         Read_File({Read_Line(1), "Y,,502,1,Holding Register,0,1,100,3,0,,N,last"}),
         K::Empty_IP_Address, 3, 2, ""},
        {"a blank line between rows", Read_File({Read_Line(1), ",,,,,,,,,,,,", Read_Line(3)}),
         K::Empty_IP_Address, 3, 2, ""},
        {"an unknown title", Read_File({}).replace("Poll Time", "Poll"), K::Unknown_Title, 1, 8,
         "Poll Time"},
        {"a control character", Read_File({Read_Line(1) + QByteArray("\0x", 2)}),
         K::Control_Character, 2, 13, ""},
        {"an empty file", QByteArray(), K::Empty_File, 1, 1, ""},
        {"a byte-order mark and empty lines only", Bom + "\r\n\r\n", K::Empty_File, 1, 1, ""},
        {"a DMX file", "Channel,Default Value,Mnemonic\r\n1,0,\r\n", K::Column_Count, 1, 4, "13"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Access_Csv_Import imported = Import(c.bytes);
        ASSERT_TRUE(imported.problem);
        EXPECT_EQ(imported.problem->kind, c.kind);
        EXPECT_EQ(imported.problem->line, c.line);
        EXPECT_EQ(imported.problem->column, c.column);
        EXPECT_EQ(imported.problem->detail, c.detail);
        EXPECT_TRUE(imported.rows.empty());
    }
}

TEST_F(Table_Csv, MessagesNameTheFileLineAndColumn) {
    const Csv_Problem problem{Csv_Problem::Kind::Column_Count, 7, 13, "13"};
    EXPECT_EQ(Csv_Problem_Message("/plant/hall.csv", problem, lang),
              "Cannot import /plant/hall.csv\nLine 7, column 13: the line does not have the "
              "number of columns of the table, which is 13");
    Lang_Table italian = English();
    QString version;
    ASSERT_TRUE(Load_Lang_File(italian, QStringLiteral(TESSARO_LANG_DIR "/Italiano.lng"), version));
    EXPECT_EQ(Csv_Problem_Message("/p/a.csv", {Csv_Problem::Kind::Open_Quote, 12, 3, {}}, italian),
              QString::fromUtf8("Impossibile importare /p/a.csv\nRiga 12, colonna 3: un testo tra "
                                "virgolette non \xc3\xa8 chiuso: manca la virgoletta di chiusura"));
}

TEST_F(Table_Csv, DmxChannelsRunFromOneAndTheRestBecomeZero) {
    DMX_Default_Table original = DMX_Default_Table::With_Channels(24);
    for (int r = 0; r < 24; ++r)
        original.Rows[static_cast<size_t>(r)] = {QString::number(r * 10), Awkward_Texts()[r % 15]};
    for (const Csv_Separator separator : {Csv_Separator::Comma, Csv_Separator::Tab}) {
        const DMX_Csv_Import imported =
            Import_DMX_Csv(Export_DMX_Csv(original, lang, separator), 24, dmx_titles, lang);
        ASSERT_FALSE(imported.problem);
        EXPECT_EQ(DMX_Defaults_Bytes(DMX_Table_From_Rows(24, imported.rows)),
                  DMX_Defaults_Bytes(original));
    }

    const QByteArray three = "Default_Value;channel;x\r\n";
    const DMX_Csv_Import fewer = Import_DMX_Csv(
        "Channel;Default Value;Mnemonic\n1;5;a\n 2;6;b\n3;7;\n", 512, dmx_titles, lang);
    ASSERT_FALSE(fewer.problem);
    const DMX_Default_Table table = DMX_Table_From_Rows(512, fewer.rows);
    ASSERT_EQ(table.Row_Count(), 512);
    EXPECT_EQ(table.Rows[1], (DMX_Default_Row{"6", "b"}));
    EXPECT_EQ(table.Rows[3], DMX_Default_Row{});
    EXPECT_EQ(table.Rows[511], DMX_Default_Row{});

    using K = Csv_Problem::Kind;
    const struct {
        const char* name;
        QByteArray bytes;
        int channels;
        K kind;
        int line;
        int column;
        const char* detail;
    } refused[] = {
        {"channels out of order", "Channel,Default Value,Mnemonic\n1,0,\n2,0,\n4,0,\n", 512,
         K::Channel_Order, 4, 1, "3"},
        {"a channel that is no number", "Channel,Default Value,Mnemonic\n1,0,\nx,0,\n", 512,
         K::Channel_Order, 3, 1, "2"},
        {"a channel beyond the channel count", "Channel,Default Value,Mnemonic\n1,0,\n2,0,\n3,0,\n",
         2, K::Channel_Beyond, 4, 1, "2"},
        {"a title of another column", three, 512, K::Unknown_Title, 1, 1, "Channel"},
        {"a read table's file", Read_File({Read_Line(1)}), 512, K::Column_Count, 1, 4, "3"},
    };
    for (const auto& c : refused) {
        SCOPED_TRACE(c.name);
        const DMX_Csv_Import imported = Import_DMX_Csv(c.bytes, c.channels, dmx_titles, lang);
        ASSERT_TRUE(imported.problem);
        EXPECT_EQ(imported.problem->kind, c.kind);
        EXPECT_EQ(imported.problem->line, c.line);
        EXPECT_EQ(imported.problem->column, c.column);
        EXPECT_EQ(imported.problem->detail, c.detail);
        EXPECT_TRUE(imported.rows.empty());
    }
}

} // namespace
