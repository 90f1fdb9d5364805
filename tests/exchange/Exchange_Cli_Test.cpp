// tessaro-cli export and import, run as a user runs them.

#include "Cli_Run.h"
#include "Exchange_Fixtures.h"
#include "access/Access_File.h"
#include "exchange/Table_Csv.h"
#include "lang/Language_File.h"
#include "support/Test_Files.h"

#include <QDir>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

std::string S(const QString& text) {
    return text.toStdString();
}

// The bytes a run writes to standard output, as they stand (a decoded text loses the
// byte-order mark).
QByteArray Output_Bytes(const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral(TESSARO_CLI), arguments);
    if (!process.waitForFinished(60000))
        ADD_FAILURE() << "tessaro-cli did not finish";
    return process.readAllStandardOutput();
}

class Exchange_Cli : public ::testing::Test {
protected:
    Exchange_Cli() {
        QDir().mkpath(Dir());
        lang.Load_Default_Texts();
    }
    QString Dir() const { return folder.File("Plant"); }
    QString Access_Path() const { return Dir() + "/ModbusTCPM_SetAccess.xml"; }
    QString DMX_Path() const { return Dir() + "/DMX_Default_Values.xml"; }
    Cli_Result Run(const QStringList& arguments) { return Run_Cli_Program(arguments); }
    // A valid configuration: 512 read requests, 30 write requests, 24 channels.
    void Write_Project() {
        Fill_Read_Table(access.Read);
        Fill_Write_Table(access.Write);
        Save_Access_File(Access_Path(), access);
        Write_Text(Dir() + "/ParGen.xml",
                   "<Par_Gen><DMX_Num_Channels>24</DMX_Num_Channels></Par_Gen>");
        DMX_Default_Table dmx = DMX_Default_Table::With_Channels(24);
        for (int r = 0; r < 24; ++r)
            dmx.Rows[static_cast<size_t>(r)] = {QString::number(r * 10), Awkward_Texts()[r % 15]};
        Save_DMX_Defaults(DMX_Path(), dmx);
    }

    Temp_Folder folder;
    Lang_Table lang;
    Access_Table access;
};

TEST_F(Exchange_Cli, ExportThenImportKeepsTheProjectFilesByteForByte) {
    Write_Project();
    const QByteArray access_file = Read_Bytes(Access_Path());
    const QByteArray dmx_file = Read_Bytes(DMX_Path());
    const struct {
        const char* table;
        const char* separator;
        const char* written;
    } runs[] = {
        {"read", "comma", "ModbusTCPM_SetAccess.xml: 512 rows of the read table imported"},
        {"write", "semicolon", "ModbusTCPM_SetAccess.xml: 30 rows of the write table imported"},
        {"dmx", "tab", "DMX_Default_Values.xml: 24 of 24 channels imported"}};
    for (const auto& run : runs) {
        SCOPED_TRACE(run.table);
        const QString csv = folder.File(QStringLiteral("%1.csv").arg(run.table));
        const Cli_Result exported =
            Run({"export", Dir(), "--table", run.table, "-o", csv, "--separator", run.separator});
        ASSERT_EQ(exported.status, 0) << S(exported.err);
        EXPECT_TRUE(exported.out.isEmpty());
        // Without -o the same bytes go to standard output.
        EXPECT_EQ(
            Output_Bytes({"export", Dir(), "--table", run.table, "--separator", run.separator}),
            Read_Bytes(csv));
        EXPECT_TRUE(Read_Bytes(csv).startsWith("\xEF\xBB\xBF"));

        const Cli_Result imported = Run({"import", Dir(), "--table", run.table, csv});
        ASSERT_EQ(imported.status, 0) << S(imported.err);
        EXPECT_EQ(
            S(imported.out),
            S(QDir::toNativeSeparators(Dir() + "/" + QString::fromLatin1(run.written)) + "\n"));
        EXPECT_EQ(Read_Bytes(Access_Path()), access_file);
        EXPECT_EQ(Read_Bytes(DMX_Path()), dmx_file);
    }
}

// Import replaces one table and keeps the other as the file held it.
TEST_F(Exchange_Cli, ImportReplacesOneTableOnly) {
    Write_Project();
    Request_Table two(Access_Kind::Read);
    two.Set_Field(1, 2, "127.0.0.1");
    two.Set_Field(1, 1, "N");
    two.Set_Field(2, 2, "127.0.0.2");
    two.Set_Field(2, 1, "N");
    Write_Bytes(folder.File("two.csv"), Export_Access_Csv(two, lang, Csv_Separator::Comma));
    const Cli_Result result = Run({"import", Dir(), "--table", "read", folder.File("two.csv")});
    ASSERT_EQ(result.status, 0) << S(result.err);
    Access_Table expected = access;
    expected.Read = two;
    EXPECT_EQ(Read_Bytes(Access_Path()), Access_File_Bytes(expected));
}

// The table that the import would give must pass the dialog's checks, else nothing is written;
// so must the file itself and the project files.
TEST_F(Exchange_Cli, ImportWritesNothingWhenRefused) {
    Write_Project();
    const QByteArray access_file = Read_Bytes(Access_Path());
    const QByteArray dmx_file = Read_Bytes(DMX_Path());
    Request_Table wrong(Access_Kind::Read);
    Fill_Read_Table(wrong);
    wrong.Set_Field(2, 1, "Y");
    wrong.Set_Field(2, 3, "70000");
    wrong.Set_Field(4, 1, "Y");
    wrong.Set_Field(4, 4, "0");
    Write_Bytes(folder.File("wrong.csv"), Export_Access_Csv(wrong, lang, Csv_Separator::Comma));
    Write_Bytes(folder.File("dmx.csv"), "Channel,Default Value,Mnemonic\r\n1,0,\r\n2,300,\r\n");
    Write_Bytes(folder.File("short.csv"), "Channel,Default Value,Mnemonic\r\n1,0\r\n");

    const struct {
        const char* name;
        QStringList arguments;
        QString err;
    } cases[] = {
        {"a table that fails the checks",
         {"import", Dir(), "--table", "read", folder.File("wrong.csv")},
         "Error row 2!! [Modbus Read] Port must be between 0 and 65535\n"
         "Error row 4!! [Modbus Read] Slave ID must be between 1 and 247\n"
         "Nothing was written.\n"},
        {"DMX values that fail the checks",
         {"import", Dir(), "--table", "dmx", folder.File("dmx.csv")},
         "Error row 2!! Default Value must be between 0 and 255\nNothing was written.\n"},
        {"a file of the wrong shape",
         {"import", Dir(), "--table", "dmx", folder.File("short.csv")},
         "Cannot import " + QDir::toNativeSeparators(folder.File("short.csv")) +
             "\nLine 2, column 3: the line does not have the number of columns of the table, "
             "which is 3\n"},
        {"a missing file",
         {"import", Dir(), "--table", "write", folder.File("none.csv")},
         "Cannot import " + QDir::toNativeSeparators(folder.File("none.csv")) +
             "\nnone.csv: cannot be read: No such file or directory\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Cli_Result result = Run(c.arguments);
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(S(result.err), S(c.err));
        EXPECT_TRUE(result.out.isEmpty());
        EXPECT_EQ(Read_Bytes(Access_Path()), access_file);
        EXPECT_EQ(Read_Bytes(DMX_Path()), dmx_file);
    }

    // A project file that cannot be read stops both verbs.
    Write_Bytes(Access_Path(), "<Modbus_TCP_Master_Rules><Modbus_Read>");
    Write_Bytes(folder.File("two.csv"), Export_Access_Csv(access.Write, lang, Csv_Separator::Tab));
    for (const QStringList& arguments :
         {QStringList{"import", Dir(), "--table", "write", folder.File("two.csv")},
          QStringList{"export", Dir(), "--table", "write"}}) {
        const Cli_Result result = Run(arguments);
        EXPECT_EQ(result.status, 1);
        EXPECT_TRUE(result.err.startsWith("ModbusTCPM_SetAccess.xml")) << S(result.err);
        EXPECT_EQ(Read_Bytes(Access_Path()), "<Modbus_TCP_Master_Rules><Modbus_Read>");
    }
}

// Titles in a language file's words, for the export and for the import.
TEST_F(Exchange_Cli, LanguageOptionGivesTheTitlesOfThatLanguage) {
    Write_Project();
    const QString italian = QStringLiteral(TESSARO_LANG_DIR "/Italiano.lng");
    const Cli_Result exported =
        Run({"export", Dir(), "--table", "dmx", "--language", italian, "-o", folder.File("i.csv")});
    ASSERT_EQ(exported.status, 0) << S(exported.err);
    const QByteArray csv = Read_Bytes(folder.File("i.csv"));
    Lang_Table lang_it = lang;
    QString version;
    ASSERT_TRUE(Load_Lang_File(lang_it, italian, version));
    EXPECT_TRUE(csv.startsWith("\xEF\xBB\xBF" +
                               Csv_Titles(Csv_Table::DMX, lang_it).join(',').toUtf8() + "\r\n"));
    EXPECT_NE(lang_it[505], lang[505]);
    const Cli_Result imported =
        Run({"import", Dir(), "--table", "dmx", folder.File("i.csv"), "--language", italian});
    EXPECT_EQ(imported.status, 0) << S(imported.err);
}

TEST_F(Exchange_Cli, WrongArgumentsGiveTheUsage) {
    const struct {
        QStringList arguments;
        const char* why;
    } cases[] = {
        {{"export", Dir()}, "--table is missing"},
        {{"export", Dir(), "--table", "dmx512"}, "--table must be read, write or dmx"},
        {{"export", Dir(), "--table", "read", "--separator", "pipe"},
         "--separator must be comma, semicolon or tab"},
        {{"export", "--table", "read"}, "the configuration folder is missing"},
        {{"import", Dir(), "--table", "read"}, "the CSV file is missing"},
        {{"import", Dir(), "--table", "read", "a.csv", "-o", "b"}, "unexpected argument \"-o\""},
        {{"import", Dir(), "--table", "read", "a.csv", "b.csv"}, "unexpected argument \"b.csv\""},
        {{"export", Dir(), "--table"}, "--table needs one value"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(S(c.arguments.join(' ')));
        const Cli_Result result = Run(c.arguments);
        EXPECT_EQ(result.status, 2);
        const QString verb = c.arguments.first();
        EXPECT_TRUE(result.err.startsWith("tessaro-cli " + verb + ": " + c.why + "\n\nUsage: "))
            << S(result.err);
    }
    for (const char* verb : {"export", "import"}) {
        const Cli_Result help = Run({verb, "--help"});
        EXPECT_EQ(help.status, 0);
        EXPECT_TRUE(help.out.startsWith(QStringLiteral("Usage: tessaro-cli %1 DIR").arg(verb)));
    }
    const Cli_Result usage = Run({"--help"});
    EXPECT_TRUE(usage.out.contains("  export DIR --table read|write|dmx"));
    EXPECT_TRUE(usage.out.contains("  import DIR --table read|write|dmx FILE"));
}

} // namespace
