#include "state/Settings.h"
#include "support/Schema_Check.h"
#include "support/Test_Files.h"

#include <gtest/gtest.h>

namespace {

class Settings_File : public ::testing::Test {
protected:
    void SetUp() override { state.Exe_Dir = folder.Path(); }
    void Write(const QString& xml) { Write_Text(state.Settings_File(), xml); }
    Temp_Folder folder;
    App_State state;
};

TEST_F(Settings_File, MissingGivesTheDefaults) {
    state.Project_Name = "x";
    state.Enable_Update = true;
    EXPECT_EQ(Load_Setting(state), std::nullopt);
    EXPECT_EQ(state.Project_Name, "");
    EXPECT_EQ(state.Last_IP_Address, "192.168.2.205");
    EXPECT_EQ(state.Language, "English");
    EXPECT_FALSE(state.Enable_Internet || state.Enable_Update || state.Enable_Jump_Field_Tables ||
                 state.Double_Click_Auto_Size);
}

TEST_F(Settings_File, IsWrittenExactly) {
    state.Project_Name = "Plant A";
    state.Last_IP_Address = "10.0.0.7";
    state.Language = "Italiano";
    state.Enable_Internet = true;
    state.Double_Click_Auto_Size = true;
    ASSERT_EQ(Save_Setting(state), std::nullopt);
    EXPECT_EQ(Read_Bytes(state.Settings_File()),
              QByteArray("<Conf_Settings><lastproj><projectname>Plant A</projectname></lastproj>"
                         "<lastipadd><ipaddress>10.0.0.7</ipaddress></lastipadd>"
                         "<lastlang><language>Italiano</language></lastlang>"
                         "<lastinternet><enable_internet>1</enable_internet>"
                         "<enable_update>0</enable_update>"
                         "<enable_jump_field_tables>0</enable_jump_field_tables>"
                         "<Double_Click_Auto_Size>1</Double_Click_Auto_Size></lastinternet>"
                         "</Conf_Settings>"));
}

TEST_F(Settings_File, MatchesTheSchema) {
    for (const char* name : {"", "Plant & <Hall>"}) {
        state.Project_Name = name;
        ASSERT_EQ(Save_Setting(state), std::nullopt);
        Expect_Valid_Xml(state.Settings_File(), "Tessaro.xsd");
    }
}

TEST_F(Settings_File, RoundTripsEveryValue) {
    state.Project_Name = QString::fromUtf8("Impianto \xc3\xa8 & <Z> \xe6\x97\xa5");
    state.Last_IP_Address = " 192.168.000.1 ";
    state.Language = "Deutsch";
    state.Enable_Update = true;
    state.Enable_Jump_Field_Tables = true;
    ASSERT_EQ(Save_Setting(state), std::nullopt);
    App_State read;
    read.Exe_Dir = state.Exe_Dir;
    EXPECT_EQ(Load_Setting(read), std::nullopt);
    EXPECT_EQ(read.Project_Name, state.Project_Name);
    EXPECT_EQ(read.Last_IP_Address, state.Last_IP_Address);
    EXPECT_EQ(read.Language, "Deutsch");
    EXPECT_FALSE(read.Enable_Internet);
    EXPECT_TRUE(read.Enable_Update);
    EXPECT_TRUE(read.Enable_Jump_Field_Tables);
    EXPECT_FALSE(read.Double_Click_Auto_Size);
}

TEST_F(Settings_File, AnEmptyNameIsAnEmptyElement) {
    ASSERT_EQ(Save_Setting(state), std::nullopt);
    EXPECT_TRUE(Read_Text(state.Settings_File()).contains("<lastproj><projectname/></lastproj>"));
    state.Project_Name = "x";
    Load_Setting(state);
    EXPECT_EQ(state.Project_Name, "");
}

TEST_F(Settings_File, ReadsEachValueOnItsOwn) {
    // No lastinternet group; flags "true" and "1 " are false; the first language counts.
    Write("<Conf_Settings><lastlang><language>Deutsch</language><language>Italiano</language>"
          "</lastlang><lastipadd><ipaddress>10.1.1.1</ipaddress></lastipadd></Conf_Settings>");
    Load_Setting(state);
    EXPECT_EQ(state.Language, "Deutsch");
    EXPECT_EQ(state.Last_IP_Address, "10.1.1.1");
    EXPECT_EQ(state.Project_Name, "");
    EXPECT_FALSE(state.Enable_Internet);

    Write("<Other><lastinternet><enable_internet>true</enable_internet>"
          "<enable_update>1 </enable_update><enable_jump_field_tables>1</enable_jump_field_tables>"
          "</lastinternet><lastproj><projectname><b/></projectname></lastproj></Other>");
    Load_Setting(state);
    EXPECT_FALSE(state.Enable_Internet);
    EXPECT_FALSE(state.Enable_Update);
    EXPECT_TRUE(state.Enable_Jump_Field_Tables);
    EXPECT_FALSE(state.Double_Click_Auto_Size);
    EXPECT_EQ(state.Project_Name, ""); // not plain text
    EXPECT_EQ(state.Language, "English");
}

TEST_F(Settings_File, ReadsPastADeclarationOrCommentBeforeTheRoot) {
    Write("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!-- saved by hand -->\n<Conf_Settings>"
          "<lastproj><projectname>Plant</projectname></lastproj>"
          "<lastinternet><enable_internet>1</enable_internet></lastinternet></Conf_Settings>\n");
    Load_Setting(state);
    EXPECT_EQ(state.Project_Name, "Plant");
    EXPECT_TRUE(state.Enable_Internet);
    // The next save writes the file in the program's own form.
    ASSERT_EQ(Save_Setting(state), std::nullopt);
    EXPECT_TRUE(Read_Text(state.Settings_File()).startsWith("<Conf_Settings><lastproj>"));
}

TEST_F(Settings_File, NotWellFormedGivesTheDefaultsAndAReason) {
    Write("<Conf_Settings><lastproj><projectname>Plant</projectname>");
    state.Language = "Deutsch";
    const auto problem = Load_Setting(state);
    ASSERT_TRUE(problem.has_value());
    EXPECT_TRUE(problem->startsWith("Tessaro.xml: not a well-formed XML file"))
        << problem->toStdString();
    EXPECT_EQ(state.Project_Name, "");
    EXPECT_EQ(state.Language, "English");
}

TEST_F(Settings_File, AFailedSaveNamesTheFile) {
    state.Exe_Dir = folder.File("missing");
    const auto error = Save_Setting(state);
    ASSERT_TRUE(error.has_value());
    EXPECT_TRUE(error->startsWith("Tessaro.xml: cannot be written: ")) << error->toStdString();
}

} // namespace
