#include "Cli_Run.h"
#include "image/Project_Fixture.h"
#include "support/Test_Files.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

class Cli_Check : public ::testing::Test {
protected:
    Cli_Check() { QDir().mkpath(folder.File("Plant")); }
    void Write(const char* name, const QString& xml) {
        Write_Text(folder.File("Plant/") + name, xml);
    }
    Cli_Result Check(QStringList options = {}) {
        return Run_Cli_Program(QStringList{"check", folder.File("Plant")} + options);
    }
    Temp_Folder folder;
};

TEST_F(Cli_Check, AFolderWithoutFilesPassesOnTheDefaults) {
    const Cli_Result result = Check();
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "ParGen.xml: missing (defaults apply)\n"
                          "DMX_Default_Values.xml: missing (defaults apply)\n"
                          "ModbusTCPM_SetAccess.xml: missing (defaults apply)\n");
}

TEST_F(Cli_Check, ValidFilesPass) {
    Write("ParGen.xml", Par_Gen_Standard("1", "24", "1"));
    Write("DMX_Default_Values.xml", DMX_File({"0", "255", "7"}));
    Write("ModbusTCPM_SetAccess.xml",
          Access_File(Access_Row(Section::Read), Access_Row(Section::Write)));
    const Cli_Result result = Check();
    EXPECT_EQ(result.status, 0) << result.out.toStdString();
    EXPECT_EQ(result.out, "ParGen.xml: OK\nDMX_Default_Values.xml: OK\n"
                          "ModbusTCPM_SetAccess.xml: OK\n");
}

TEST_F(Cli_Check, ReportsTheFirstFailureOfEachFileOrEveryOneWithAll) {
    Write("ParGen.xml", Par_Gen_File({{"DMX_Num_Channels", "600"},
                                      {"Modbus_TCP_Master_Cyclic", "-1"},
                                      {"Modbus_TCP_Master_GAT2", "999"}}));
    QStringList values(600, "0");
    values[4] = "";
    values[8] = "300";
    values[550] = "x"; // beyond the 512 rows of the table
    Write("DMX_Default_Values.xml", DMX_File(values));
    Write("ModbusTCPM_SetAccess.xml",
          Access_File(Access_Row(Section::Read, {{"Enable", "N"}, {"Port", "x"}}) +
                          Access_Row(Section::Read, {{"Port", "70000"}, {"Position", "600"}}),
                      Access_Row(Section::Write, {{"Type", "Coil Status"}, {"NPoint", "1969"}})));
    const Cli_Result first = Check();
    EXPECT_EQ(first.status, 1);
    EXPECT_EQ(first.out,
              "ParGen.xml: Error DMX!! Channel Number must be between 24 and 512\n"
              "DMX_Default_Values.xml: Error row 5!! Default Value must be between 0 and 255\n"
              "ModbusTCPM_SetAccess.xml: Error row 2!! [Modbus Read] Port must be between 0 and "
              "65535\n");

    const Cli_Result all = Check({"--all"});
    EXPECT_EQ(all.status, 1);
    EXPECT_EQ(all.out,
              "ParGen.xml: Error DMX!! Channel Number must be between 24 and 512\n"
              "ParGen.xml: Error Modbus TCP Master!! Cyclic Delay must be between 0 and 10000ms\n"
              "DMX_Default_Values.xml: Error row 5!! Default Value must be between 0 and 255\n"
              "DMX_Default_Values.xml: Error row 9!! Default Value must be between 0 and 255\n"
              "ModbusTCPM_SetAccess.xml: Error row 2!! [Modbus Read] Port must be between 0 and "
              "65535\n"
              "ModbusTCPM_SetAccess.xml: Error row 2!! [Modbus Read] Position must be between 0 "
              "and 511\n"
              "ModbusTCPM_SetAccess.xml: Error row 2!! [Modbus Read] Too many bytes to save "
              "starting from the Position indicate\n"
              "ModbusTCPM_SetAccess.xml: Error row 1!! [Modbus Write] NPoint must be between 1 "
              "and 1968\n");
}

TEST_F(Cli_Check, SpeaksTheLanguageOfALanguageFile) {
    Write("ParGen.xml", Par_Gen_File({{"DMX_Num_Channels", "23"}}));
    Write_Text(folder.File("Italiano.lng"),
               "STR414 = Errore DMX!! Il numero di canali deve essere tra 24 e 512\n");
    const Cli_Result result = Check({"--language", folder.File("Italiano.lng")});
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(result.out.startsWith(
        "ParGen.xml: Errore DMX!! Il numero di canali deve essere tra 24 e 512\n"))
        << result.out.toStdString();
}

TEST_F(Cli_Check, AFileThatCannotBeReadFails) {
    Write("ParGen.xml", "<Par_Gen><DMX_DMX>1</DMX_DMX>");
    Write("ModbusTCPM_SetAccess.xml",
          Access_File(Access_Row(Section::Read) + Access_Row(Section::Read, {{"Port", nullptr}}),
                      ""));
    const Cli_Result result = Check();
    EXPECT_EQ(result.status, 1);
    const QStringList lines = result.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3) << result.out.toStdString();
    EXPECT_TRUE(lines[0].startsWith("ParGen.xml: not a well-formed XML file (line 1"))
        << lines[0].toStdString();
    EXPECT_EQ(lines[1], "DMX_Default_Values.xml: missing (defaults apply)");
    EXPECT_EQ(lines[2], "ModbusTCPM_SetAccess.xml: Modbus_Read row 2: attribute Port is missing");
}

TEST_F(Cli_Check, WrongArgumentsAndMissingFolders) {
    EXPECT_EQ(Run_Cli_Program({"check"}).status, 2);
    EXPECT_EQ(Run_Cli_Program({"check", folder.File("Plant"), "--language"}).status, 2);
    EXPECT_EQ(Run_Cli_Program({"check", folder.File("Plant"), "extra"}).status, 2);
    const Cli_Result missing = Run_Cli_Program({"check", folder.File("Nowhere")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(missing.err.contains("does not exist"));
    const Cli_Result no_language =
        Run_Cli_Program({"check", folder.File("Plant"), "--language", folder.File("none.lng")});
    EXPECT_EQ(no_language.status, 1);
    EXPECT_EQ(no_language.err, "none.lng: cannot be read\n");
}

} // namespace
