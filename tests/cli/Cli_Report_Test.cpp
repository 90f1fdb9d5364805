#include "Cli_Run.h"
#include "image/Project_Fixture.h"
#include "support/Test_Files.h"

#include <QDir>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

class Cli_Report : public ::testing::Test {
protected:
    Cli_Report() {
        QDir().mkpath(folder.File("Plant"));
        Write_Text(folder.File("Plant/ParGen.xml"), Par_Gen_Standard("1", "64", "1"));
        Write_Text(folder.File("Plant/ModbusTCPM_SetAccess.xml"),
                   Access_File(Access_Row(Section::Read, {{"Mnemonic", "Stage dimmers"}}), ""));
    }
    Temp_Folder folder;
};

TEST_F(Cli_Report, WritesAPdfWithoutADisplay) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_RUNTIME_DIR"})
        environment.remove(name);
    const QString pdf = folder.File("plant.pdf");
    const Cli_Result result =
        Run_Cli_Program({"report", folder.File("Plant"), "-o", pdf}, environment);
    ASSERT_EQ(result.status, 0) << result.err.toStdString();
    EXPECT_TRUE(result.out.startsWith(QDir::toNativeSeparators(pdf) + ": report written ("))
        << result.out.toStdString();
    EXPECT_TRUE(result.out.endsWith(" pages)\n"));
    EXPECT_EQ(result.err, "");
    QProcess text;
    text.start("pdftotext", {pdf, "-"});
    ASSERT_TRUE(text.waitForFinished(30000));
    const QString content = QString::fromUtf8(text.readAllStandardOutput());
    EXPECT_TRUE(content.contains("Stage dimmers"));
    EXPECT_TRUE(content.contains("Page 1 / "));
    // Nothing written into the configuration.
    EXPECT_EQ(QDir(folder.File("Plant")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
              (QStringList{"ModbusTCPM_SetAccess.xml", "ParGen.xml"}));
}

TEST_F(Cli_Report, WritesHtmlInTheLanguageOfAFile) {
    const QString html = folder.File("plant.html");
    const Cli_Result result =
        Run_Cli_Program({"report", folder.File("Plant"), "--language",
                         TESSARO_TEST_DATA "/../../lang/Deutsch.lng", "-o", html});
    ASSERT_EQ(result.status, 0) << result.err.toStdString();
    EXPECT_EQ(result.out, QDir::toNativeSeparators(html) + ": report written\n");
    EXPECT_TRUE(Read_Text(html).contains("<h1>Inbetriebnahmebericht</h1>"));
}

TEST_F(Cli_Report, RefusesWrongArgumentsAndUnreadableInputs) {
    const QString dir = folder.File("Plant");
    const struct {
        QStringList arguments;
        int status;
        QString error; // the start of standard error
    } cases[] = {
        {{"report", dir}, 2, "tessaro-cli report: the report file is missing"},
        {{"report", "-o", folder.File("a.pdf")},
         2,
         "tessaro-cli report: the configuration folder is missing"},
        {{"report", dir, "-o", folder.File("a.txt")},
         2,
         "tessaro-cli report: \"" + folder.File("a.txt") +
             "\": the report file must end in .pdf or .html"},
        {{"report", dir, "-o", folder.File("a.pdf"), "--brief"},
         2,
         "tessaro-cli report: unexpected argument \"--brief\""},
        {{"report", folder.File("Nowhere"), "-o", folder.File("a.pdf")},
         1,
         "The configuration folder \"" + folder.File("Nowhere") + "\" does not exist\n"},
        {{"report", dir, "-o", folder.File("gone/a.pdf")}, 1, "a.pdf: cannot be written: "},
        {{"report", dir, "-o", folder.File("a.pdf"), "--language", folder.File("none.lng")},
         1,
         "none.lng: cannot be read\n"},
    };
    for (const auto& c : cases) {
        const Cli_Result result = Run_Cli_Program(c.arguments);
        EXPECT_EQ(result.status, c.status) << c.arguments.join(' ').toStdString();
        EXPECT_TRUE(result.err.startsWith(c.error)) << result.err.toStdString();
        EXPECT_EQ(result.out, "");
    }
    EXPECT_FALSE(QFile::exists(folder.File("a.pdf")));
    EXPECT_TRUE(Run_Cli_Program({"report", "--help"})
                    .out.startsWith("Usage: tessaro-cli report DIR -o FILE.pdf|FILE.html"));
}

} // namespace
