#include "Cli_Run.h"
#include "support/Test_Files.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

namespace {

const QByteArray Sample_File = "\xef\xbb\xbf// Sample\r\n"
                               "//version 2.05\r\n"
                               "STR12 = Info /#/ a comment\r\n"
                               "STR5=Text\r\n"
                               "STR1000 = out of range\r\n"
                               "STR 9 = \xc2\xb6 Nessuna \xc2\xb6 tail\r\n"
                               "STR10 =\r\n"
                               "STR11 = /#/ only a comment\r\n"
                               "STR12 = Informazioni\r\n"
                               "str13 = lower case\r\n"
                               "//VERSION 3\r\n";

TEST(Cli_Lang, ReportsWhatEachLineDid) {
    Temp_Folder folder;
    Write_Bytes(folder.File("Italiano.lng"), Sample_File);
    const Cli_Result result = Run_Cli_Program({"lang", folder.File("Italiano.lng")});
    ASSERT_EQ(result.status, 0) << result.err.toStdString();
    const QString& out = result.out;
    EXPECT_TRUE(out.startsWith("Version: 2.05\n")) << out.toStdString();
    EXPECT_TRUE(out.contains("Entries set: 2\n  9 = \" Nessuna \"\n  12 = \"Informazioni\"\n"))
        << out.toStdString();
    EXPECT_TRUE(
        out.contains("STR lines that changed nothing: 4\n"
                     "  line 4: \"STR5=Text\": the index field is not a number\n"
                     "  line 5: \"STR1000 = out of range\": index 1000 is outside 0 to 999\n"
                     "  line 7: \"STR10 =\": the text after \"=\" is empty\n"
                     "  line 8: \"STR11 = /#/ only a comment\": the text is empty once the "
                     "\"/#/\" comment is cut\n"))
        << out.toStdString();
    // Entries 9 and 12 are set; 10, 11 and 13 are shown and stay English; 407 is never shown.
    EXPECT_TRUE(out.contains("  10 = \"Use Step1 to open or create new configuration\"\n"));
    EXPECT_TRUE(out.contains("  13 = \"Options\"\n"));
    EXPECT_FALSE(out.contains("  12 = \"Information\"\n"));
    EXPECT_FALSE(out.contains("  407 = "));
}

TEST(Cli_Lang, PrintsTheWholeTableAsJson) {
    Temp_Folder folder;
    Write_Bytes(folder.File("Italiano.lng"), Sample_File);
    const Cli_Result result = Run_Cli_Program({"lang", folder.File("Italiano.lng"), "--json"});
    ASSERT_EQ(result.status, 0) << result.err.toStdString();
    EXPECT_TRUE(result.out.startsWith("{\"version\": \"2.05\", \"entries\": [\"Begin\", "));
    const QJsonObject object = QJsonDocument::fromJson(result.out.toUtf8()).object();
    const QJsonArray entries = object.value("entries").toArray();
    ASSERT_EQ(entries.size(), 1000);
    EXPECT_EQ(entries[9].toString(), " Nessuna ");
    EXPECT_EQ(entries[12].toString(), "Informazioni");
    EXPECT_EQ(entries[1].toString(), "Step 1");
    EXPECT_EQ(entries[27].toString(), " ");
    EXPECT_EQ(entries[404].toString(), " DMX ");
}

TEST(Cli_Lang, WithoutAVersionLineSaysSo) {
    Temp_Folder folder;
    Write_Text(folder.File("x.lng"), "STR0 = Start\n");
    const Cli_Result text = Run_Cli_Program({"lang", folder.File("x.lng")});
    EXPECT_TRUE(text.out.startsWith("Version: none\n"));
    const Cli_Result json = Run_Cli_Program({"lang", folder.File("x.lng"), "--json"});
    EXPECT_TRUE(json.out.startsWith("{\"version\": \"NO VER.\", "));
}

TEST(Cli_Usage, WrongArgumentsGiveStatusTwoAndTheUsage) {
    const std::pair<QStringList, const char*> cases[] = {
        {{}, "Usage: tessaro-cli VERB"},
        {{"bogus"}, "unknown verb \"bogus\""},
        {{"lang"}, "the language file is missing"},
        {{"lang", "a.lng", "--bogus"}, "unexpected argument \"--bogus\""},
    };
    for (const auto& [arguments, message] : cases) {
        const Cli_Result result = Run_Cli_Program(arguments);
        EXPECT_EQ(result.status, 2) << arguments.join(' ').toStdString();
        EXPECT_TRUE(result.err.contains(message)) << result.err.toStdString();
        EXPECT_TRUE(result.out.isEmpty());
    }
    const Cli_Result help = Run_Cli_Program({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.contains("Verbs:"));
    const Cli_Result lang_help = Run_Cli_Program({"lang", "--help"});
    EXPECT_EQ(lang_help.status, 0);
    EXPECT_TRUE(lang_help.out.startsWith("Usage: tessaro-cli lang FILE.lng"));
}

TEST(Cli_Lang, AnUnreadableFileFails) {
    const Cli_Result result = Run_Cli_Program({"lang", "/nonexistent/x.lng"});
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(result.err.startsWith("x.lng: cannot be read: ")) << result.err.toStdString();
}

} // namespace
