#include "Project_Fixture.h"
#include "image/Image_Loaders.h"
#include "platform/Error.h"
#include "support/Test_Files.h"

#include <gtest/gtest.h>
#include <memory>

namespace {

using Bytes4 = std::array<std::uint8_t, 4>;

class Image_Loaders : public ::testing::Test {
protected:
    Image_Loaders()
        : image(std::make_unique<Image_Record>()) {
        Set_Image_Defaults(*image);
    }
    QString Path(const char* name) const { return folder.File(name); }

    Image_Settings Settings_From(const QString& par_gen) {
        Write_Text(Path("ParGen.xml"), par_gen);
        Load_Image_Settings(*image, Path("ParGen.xml"));
        return image->Settings;
    }
    // Loads the request rows of one section; DMX_Out as the section needs it.
    void Requests_From(Section section, const QString& rows) {
        image->DMX_Out = section == Section::Read;
        Write_Text(Path("ModbusTCPM_SetAccess.xml"),
                   section == Section::Read ? Access_File(rows, "") : Access_File("", rows));
        Load_Image_Requests(*image, Path("ModbusTCPM_SetAccess.xml"));
    }
    Request_Record One_Request(Section section, Row_Changes changes) {
        Requests_From(section, Access_Row(section, changes));
        EXPECT_EQ(image->Settings.Request_Count, 1u);
        return image->Request_Table[0];
    }
    // The message of the error that the rows raise.
    QString Request_Error(Section section, const QString& rows) {
        try {
            Requests_From(section, rows);
        } catch (const Tessaro_Error& error) {
            return error.Message();
        }
        return "no error";
    }

    Temp_Folder folder;
    std::unique_ptr<Image_Record> image;
};

TEST_F(Image_Loaders, WithoutParGenTheSettingsKeepTheirInitialValues) {
    image->DMX_Out = false;
    Load_Image_Settings(*image, Path("ParGen.xml"));
    const Image_Settings& s = image->Settings;
    EXPECT_TRUE(image->DMX_Out);
    EXPECT_EQ(s.Image_Flash_Address, 0x60000u);
    EXPECT_EQ(s.IP_Address, (Bytes4{192, 168, 0, 10}));
    EXPECT_EQ(s.Subnet_Mask, (Bytes4{255, 255, 255, 0}));
    EXPECT_EQ(s.Gateway, (Bytes4{255, 255, 255, 255}));
    EXPECT_EQ(s.Modbus_TCP_Master_TimeOut, 0u);
    EXPECT_EQ(s.Modbus_TCP_Master_Cyclic, 0u);
    EXPECT_EQ(s.DMX_IN_Channels, 0);
    EXPECT_EQ(s.DMX_OUT_Channels, 0);
}

TEST_F(Image_Loaders, EachSettingFallsBackOnItsOwn) {
    // A declaration and a comment before the root do not hide it.
    const Image_Settings s =
        Settings_From("<?xml version=\"1.0\" encoding=\"UTF-8\"?><!--saved by hand-->"
                      "<Par_Gen><DMX_Num_Channels>abc</DMX_Num_Channels>"
                      "<Modbus_TCP_Master_Cyclic>250</Modbus_TCP_Master_Cyclic>"
                      "<Modbus_TCP_Master_IP4><x/></Modbus_TCP_Master_IP4>"
                      "<Modbus_TCP_Master_SM4>128</Modbus_TCP_Master_SM4>"
                      "<Modbus_TCP_Master_SM4>0</Modbus_TCP_Master_SM4></Par_Gen>");
    EXPECT_TRUE(image->DMX_Out);
    EXPECT_EQ(s.DMX_OUT_Channels, 512);
    EXPECT_EQ(s.DMX_IN_Channels, 0);
    EXPECT_EQ(s.Modbus_TCP_Master_TimeOut, 1000u);
    EXPECT_EQ(s.Modbus_TCP_Master_Cyclic, 250u);
    EXPECT_EQ(s.IP_Address, (Bytes4{192, 168, 0, 5}));
    EXPECT_EQ(s.Subnet_Mask, (Bytes4{255, 255, 255, 128}));
    EXPECT_EQ(s.Gateway, (Bytes4{255, 255, 255, 255}));
    EXPECT_EQ(s.Image_Flash_Address, 0x60000u);
}

TEST_F(Image_Loaders, TheDMXRoleSelectsTheChannelCountAndTheRequests) {
    struct Case {
        const char* dmx_dmx;
        bool out;
        int in_channels, out_channels;
    };
    for (const Case& c : {Case{"0", false, 100, 0}, Case{"1", true, 0, 100},
                          Case{"2", false, 0, 100}, Case{"x", true, 0, 100}}) {
        const Image_Settings s =
            Settings_From(Par_Gen_File({{"DMX_DMX", c.dmx_dmx}, {"DMX_Num_Channels", "100"}}));
        EXPECT_EQ(image->DMX_Out, c.out) << c.dmx_dmx;
        EXPECT_EQ(s.DMX_IN_Channels, c.in_channels) << c.dmx_dmx;
        EXPECT_EQ(s.DMX_OUT_Channels, c.out_channels) << c.dmx_dmx;
    }
}

TEST_F(Image_Loaders, OnlyGatewayEnabledWithExactlyOneKeepsTheGateway) {
    struct Case {
        const char* en_gat;
        Bytes4 gateway;
    };
    for (const Case& c : {Case{"1", {192, 168, 0, 1}}, Case{"0", {255, 255, 255, 255}},
                          Case{"Y", {255, 255, 255, 255}}, Case{" 1", {255, 255, 255, 255}},
                          Case{"", {255, 255, 255, 255}}})
        EXPECT_EQ(Settings_From(Par_Gen_Standard("1", "512", c.en_gat)).Gateway, c.gateway)
            << '"' << c.en_gat << '"';
}

TEST_F(Image_Loaders, SettingsAreCutToTheirWidth) {
    const Image_Settings s = Settings_From(Par_Gen_File({{"DMX_Num_Channels", "70000"},
                                                         {"Modbus_TCP_Master_TimeOut", "-1"},
                                                         {"Modbus_TCP_Master_IP1", "300"},
                                                         {"Modbus_TCP_Master_SM2", "-1"}}));
    EXPECT_EQ(s.DMX_OUT_Channels, 70000 - 65536);
    EXPECT_EQ(s.Modbus_TCP_Master_TimeOut, 0xFFFFFFFFu);
    EXPECT_EQ(s.IP_Address, (Bytes4{44, 168, 0, 5}));
    EXPECT_EQ(s.Subnet_Mask, (Bytes4{255, 255, 255, 0}));
}

TEST_F(Image_Loaders, AFileThatIsNotXMLEndsTheCompile) {
    for (const char* name : {"ParGen.xml", "DMX_Default_Values.xml", "ModbusTCPM_SetAccess.xml"})
        Write_Text(Path(name), "<Par_Gen><DMX_DMX>1</Par_Gen>");
    const auto message = [](auto&& load) {
        try {
            load();
        } catch (const Tessaro_Error& error) {
            return error.Message();
        }
        return QString("no error");
    };
    EXPECT_TRUE(message([&] {
                    Load_Image_Settings(*image, Path("ParGen.xml"));
                }).startsWith("ParGen.xml: not a well-formed XML file (line 1, column "));
    EXPECT_TRUE(message([&] {
                    Load_Image_DMX_Defaults(*image, Path("DMX_Default_Values.xml"));
                }).startsWith("DMX_Default_Values.xml: not a well-formed XML file"));
    EXPECT_TRUE(message([&] {
                    Load_Image_Requests(*image, Path("ModbusTCPM_SetAccess.xml"));
                }).startsWith("ModbusTCPM_SetAccess.xml: not a well-formed XML file"));
}

TEST_F(Image_Loaders, DMXDefaultsTakeTheFirst512RowsCutToAByte) {
    QStringList values = {"300", "-1", "x", "", "255", "12"};
    while (values.size() < 600)
        values.append("1");
    QString xml = DMX_File(values);
    // A row without the attribute reads 0; a comment takes a channel's place and reads 0 too.
    xml.replace("<Row Default_Value=\"12\" Mnemonic=\"\"/>", "<Row Mnemonic=\"a\"/><!--x-->");
    Write_Text(Path("DMX_Default_Values.xml"), xml);
    image->DMX_Default_Bytes.fill(9);
    Load_Image_DMX_Defaults(*image, Path("DMX_Default_Values.xml"));
    const auto& d = image->DMX_Default_Bytes;
    EXPECT_EQ((std::vector<int>(d.begin(), d.begin() + 7)),
              (std::vector<int>{44, 255, 0, 0, 255, 0, 0}));
    EXPECT_EQ(d[7], 1);
    EXPECT_EQ(d[511], 1);

    // Fewer rows than channels: the rest stay 0.
    Clear_Image_DMX_Defaults(*image);
    Write_Text(Path("DMX_Default_Values.xml"), DMX_File({"5", "6", "7"}));
    Load_Image_DMX_Defaults(*image, Path("DMX_Default_Values.xml"));
    EXPECT_EQ(d[2], 7);
    EXPECT_EQ(std::count(d.begin() + 3, d.end(), 0), 509);
}

TEST_F(Image_Loaders, OnlyEnabledRowsTakeAnEntryInFileOrder) {
    struct Case {
        const char* enable; // nullptr: no attribute (a file of an older version)
        bool enabled;
    };
    const Case cases[] = {{"Y", true},  {"y", true},  {" y ", true}, {nullptr, true},
                          {"n", false}, {"N", false}, {"", false},   {"YES", false}};
    QString rows;
    std::vector<int> expected;
    for (int i = 0; i < 8; ++i) {
        const QByteArray address = QByteArray::number(i);
        rows += Access_Row(Section::Read,
                           {{"Enable", cases[i].enable}, {"Address", address.constData()}});
        if (cases[i].enabled)
            expected.push_back(i);
    }
    Requests_From(Section::Read, rows);
    ASSERT_EQ(image->Settings.Request_Count, expected.size());
    for (std::size_t k = 0; k < expected.size(); ++k)
        EXPECT_EQ(image->Request_Table[k].Address, expected[k]) << k;
    EXPECT_EQ(image->Request_Table[expected.size()], Request_Record());
}

TEST_F(Image_Loaders, OnlyTheSectionOfTheDMXRoleIsRead) {
    const QString broken = Access_Row(Section::Read, {{"Slave_ID", "x"}});
    Write_Text(Path("ModbusTCPM_SetAccess.xml"),
               Access_File(broken + broken, Access_Row(Section::Write, {{"Address", "77"}})));
    image->DMX_Out = false;
    Load_Image_Requests(*image, Path("ModbusTCPM_SetAccess.xml"));
    EXPECT_EQ(image->Settings.Request_Count, 1u);
    EXPECT_EQ(image->Request_Table[0].Address, 77);

    Write_Text(Path("ModbusTCPM_SetAccess.xml"),
               "<Modbus_TCP_Master_Rules><Modbus_Read/></Modbus_TCP_Master_Rules>");
    EXPECT_THROW(
        {
            try {
                Load_Image_Requests(*image, Path("ModbusTCPM_SetAccess.xml"));
            } catch (const Tessaro_Error& error) {
                EXPECT_EQ(error.Message(),
                          "ModbusTCPM_SetAccess.xml: the element \"Modbus_Write\" is missing");
                throw;
            }
        },
        Tessaro_Error);

    QFile::remove(Path("ModbusTCPM_SetAccess.xml"));
    image->Settings.Request_Count = 5;
    Load_Image_Requests(*image, Path("ModbusTCPM_SetAccess.xml"));
    EXPECT_EQ(image->Settings.Request_Count, 0u);
}

TEST_F(Image_Loaders, TheSlaveAddressTakesFourNumbersWithBlanksAround) {
    EXPECT_EQ(One_Request(Section::Read, {{"IP_Address", " 10 . 0 . 0 . 7 "}}).IP_Word,
              0x0A000007u);
    EXPECT_EQ(One_Request(Section::Read, {{"IP_Address", "192.168.1.300"}}).IP_Word, 0xC0A8012Cu);

    const QString where = "ModbusTCPM_SetAccess.xml: Modbus_Write row 4: ";
    for (const char* ip : {"10.0.7", "10.0.0.x", "10..0.7", "10.0.0.7.1", "10 0 0 7"}) {
        const QString rows = Access_Row(Section::Write) + Access_Row(Section::Write) +
                             Access_Row(Section::Write, {{"Enable", "N"}}) +
                             Access_Row(Section::Write, {{"IP_Address", ip}});
        EXPECT_EQ(Request_Error(Section::Write, rows),
                  where + "IP_Address \"" + QString::fromLatin1(ip) + "\" is not four numbers");
    }
    EXPECT_EQ(Request_Error(Section::Read, Access_Row(Section::Read, {{"IP_Address", nullptr}})),
              "ModbusTCPM_SetAccess.xml: Modbus_Read row 1: IP_Address is missing");
}

TEST_F(Image_Loaders, UnguardedValuesThatDoNotConvertEndTheCompile) {
    struct Case {
        const char* attribute;
        const char* value; // nullptr: attribute missing
        const char* message;
    };
    const Case cases[] = {
        {"Slave_ID", nullptr, "Slave_ID is missing"},
        {"Slave_ID", "x1", "Slave_ID \"x1\" is not an integer"},
        {"NPoint", "", "NPoint is empty"},
        {"Address", "12 ", "Address \"12 \" is not an integer"},
        {"Address", "99999999999", "Address \"99999999999\" is out of range"},
        {"PollTime", "99999999999999999999", "PollTime \"99999999999999999999\" is out of range"},
        {"MaxError", nullptr, "MaxError is missing"},
        {"Position", "0x10", "Position \"0x10\" is not an integer"},
    };
    for (const Case& c : cases) {
        const QString rows = Access_Row(Section::Read, {{"Enable", "N"}, {"Slave_ID", "x"}}) +
                             Access_Row(Section::Read, {{c.attribute, c.value}});
        EXPECT_EQ(Request_Error(Section::Read, rows),
                  QString("ModbusTCPM_SetAccess.xml: Modbus_Read row 2: ") + c.message);
    }
}

TEST_F(Image_Loaders, ACommentAmongTheRequestsTakesARowAndEndsTheCompile) {
    // The access editor reads every child of a section as a slot, so a comment would shift the
    // rows against what the editor shows; the compile names it instead.
    const QString rows = Access_Row(Section::Read) + "<!--spare-->" + Access_Row(Section::Read);
    EXPECT_EQ(Request_Error(Section::Read, rows),
              "ModbusTCPM_SetAccess.xml: Modbus_Read row 2: a comment or text stands where a row "
              "element belongs");
}

TEST_F(Image_Loaders, PortAndStartBitFallBack) {
    EXPECT_EQ(One_Request(Section::Read, {{"Port", nullptr}}).Port, 502);
    EXPECT_EQ(One_Request(Section::Read, {{"Port", "abc"}}).Port, 502);
    EXPECT_EQ(One_Request(Section::Read, {{"Port", "70000"}}).Port, 70000 - 65536);
    // Register rows are saved with an empty start bit.
    EXPECT_EQ(One_Request(Section::Read, {{"Bit", ""}}).Bit, 0);
    EXPECT_EQ(One_Request(Section::Write, {{"Bit", nullptr}}).Bit, 0);
    EXPECT_EQ(One_Request(Section::Write, {{"Type", "Coil Status"}, {"Bit", "7"}}).Bit, 7);
}

TEST_F(Image_Loaders, NumbersAreCutToTheirFieldWidth) {
    const Request_Record r = One_Request(Section::Read, {{"Slave_ID", "257"},
                                                         {"Address", "-1"},
                                                         {"PollTime", "4294967297"},
                                                         {"MaxError", "-1"},
                                                         {"Position", "65537"}});
    EXPECT_EQ(r.Slave_ID, 1);
    EXPECT_EQ(r.Address, 65535);
    EXPECT_EQ(r.PollTime, 1u);
    EXPECT_EQ(r.MaxError, 0xFFFFFFFFu);
    EXPECT_EQ(r.Position, 1);
}

TEST_F(Image_Loaders, FunctionCodeAndByteCountFollowTheTypeAndNPoint) {
    struct Case {
        Section section;
        const char* type;
        const char* npoint;
        int function_code, byte_count;
    };
    const Case cases[] = {
        {Section::Read, "Coil Status", "10", 1, 2},
        {Section::Read, "Input Status", "16", 2, 2},
        {Section::Read, "Input Status", "17", 2, 3},
        {Section::Read, "Holding Register", "10", 3, 20},
        {Section::Read, "Input Register", "1", 4, 2},
        {Section::Read, "holding register", "10", 3, 20},
        {Section::Read, "Holding  Register", "10", 0, 20},
        {Section::Read, " Holding Register", "10", 0, 20},
        {Section::Read, "Holding Register", "128", 3, 0},
        {Section::Read, "Coil Status", "2000", 1, 250},
        {Section::Write, "Coil Status", "1", 5, 1},
        {Section::Write, "Coil Status", "10", 15, 2},
        {Section::Write, "coil status", "1968", 15, 246},
        {Section::Write, "Holding Register", "1", 6, 2},
        {Section::Write, "Holding Register", "3", 16, 6},
        {Section::Write, "Input Status", "3", 0, 6},
        {Section::Write, "", "3", 0, 6},
    };
    for (const Case& c : cases) {
        const Request_Record r = One_Request(c.section, {{"Type", c.type}, {"NPoint", c.npoint}});
        EXPECT_EQ(r.Function_Code, c.function_code) << c.type << " " << c.npoint;
        EXPECT_EQ(r.Byte_Count, c.byte_count) << c.type << " " << c.npoint;
        EXPECT_EQ(r.NPoint, QByteArray(c.npoint).toInt());
    }
}

TEST_F(Image_Loaders, RequestFlagsComeFromSwapOnChangeAndOnCMD) {
    struct Case {
        Section section;
        const char* swap;
        const char* on_change;
        const char* on_cmd;
        int flags;
    };
    const Case cases[] = {
        {Section::Read, "Y", nullptr, nullptr, 0x04},
        {Section::Read, "y", nullptr, nullptr, 0x00},
        {Section::Read, " Y", nullptr, nullptr, 0x00},
        {Section::Read, "N", "Y", "Y", 0x00}, // read rows have no such flags
        {Section::Write, "y", "N", "N", 0x04},
        {Section::Write, "N", "y", "N", 0x01},
        {Section::Write, "N", "N", "Y", 0x10},
        {Section::Write, "Y", "Y", "y", 0x15},
        {Section::Write, nullptr, nullptr, nullptr, 0x00},
        {Section::Write, "N", " Y", "", 0x00},
    };
    for (const Case& c : cases) {
        const Request_Record r = One_Request(
            c.section, {{"Swap", c.swap}, {"OnChange", c.on_change}, {"OnCMD", c.on_cmd}});
        EXPECT_EQ(r.Request_Flags, c.flags)
            << (c.swap ? c.swap : "-") << (c.on_change ? c.on_change : "-")
            << (c.on_cmd ? c.on_cmd : "-");
    }
}

} // namespace
