#include "Access_Fixtures.h"
#include "access/Access_File.h"
#include "platform/Error.h"
#include "support/Schema_Check.h"
#include "support/Test_Files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

const QByteArray Empty_File = "<Modbus_TCP_Master_Rules><Modbus_Read/><Modbus_Write/>"
                              "</Modbus_TCP_Master_Rules><!--SW_VERSION = 1.001-->";

class Access_File : public ::testing::Test {
protected:
    QString Path() const { return folder.File("ModbusTCPM_SetAccess.xml"); }
    // Loads text into a freshly reset table; the error message, or "" when it loaded.
    QString Load(const QByteArray& content) {
        Write_Bytes(Path(), content);
        loaded.Reset_Access_Table();
        try {
            Load_Access_File(Path(), loaded);
        } catch (const Tessaro_Error& error) {
            return error.Message();
        }
        return {};
    }
    void Save_And_Reload() {
        Save_Access_File(Path(), access);
        loaded.Reset_Access_Table();
        Load_Access_File(Path(), loaded);
    }

    Temp_Folder folder;
    Access_Table access;
    Access_Table loaded;
};

TEST_F(Access_File, IsWrittenExactlyWithEveryAttributeInOrderAndEscaped) {
    EXPECT_EQ(Access_File_Bytes(access), Empty_File);

    QStringList read = Valid_Read_Row();
    read[12] = "A&B <\"x\"> 'q'";
    Set_Row(access.Read, 1, read);
    QStringList write = Valid_Write_Row();
    write[0] = "N";
    write[14] = QString::fromUtf8("\xc3\xa9 \xc3\xbc ");
    Set_Row(access.Write, 1, write);
    Save_Access_File(Path(), access);
    EXPECT_EQ(Read_Bytes(Path()),
              QByteArray("<Modbus_TCP_Master_Rules><Modbus_Read>"
                         "<row Enable=\"Y\" IP_Address=\"192.168.1.10\" Port=\"502\" Slave_ID=\"1\""
                         " Type=\"Holding Register\" Address=\"0\" NPoint=\"10\" PollTime=\"100\""
                         " MaxError=\"3\" Position=\"0\" Bit=\"\" Swap=\"N\""
                         " Mnemonic=\"A&amp;B &lt;&quot;x&quot;&gt; 'q'\"/></Modbus_Read>"
                         "<Modbus_Write>"
                         "<row Enable=\"N\" IP_Address=\"192.168.1.11\" Port=\"502\" Slave_ID=\"2\""
                         " Type=\"Coil Status\" Address=\"0\" NPoint=\"8\" PollTime=\"0\""
                         " OnChange=\"Y\" OnCMD=\"N\" MaxError=\"3\" Position=\"0\" Bit=\"0\""
                         " Swap=\"N\" Mnemonic=\"\xc3\xa9 \xc3\xbc \"/></Modbus_Write>"
                         "</Modbus_TCP_Master_Rules><!--SW_VERSION = 1.001-->"));
    Save_And_Reload();
    EXPECT_EQ(loaded.Read.Row(1), read);
    EXPECT_EQ(loaded.Write.Row(1), write);
}

TEST_F(Access_File, SavesOnlyTheUsedPart) {
    for (const char* slot4 : {"", "   "}) {
        access.Reset_Access_Table();
        for (int slot : {1, 2, 3, 5}) {
            Set_Row(access.Read, slot, Valid_Read_Row());
            Set_Row(access.Write, slot, Valid_Write_Row());
        }
        access.Read.Set_Field(4, 2, slot4);
        access.Write.Set_Field(4, 2, slot4);
        Save_And_Reload();
        EXPECT_EQ(Read_Text(Path()).count("<row "), 6) << '"' << slot4 << '"';
        EXPECT_EQ(loaded.Read.Used_Count(), 3);
        EXPECT_EQ(loaded.Write.Used_Count(), 3);
        EXPECT_EQ(loaded.Read.Row(5), access.Read.Row(6)) << "slot 5 is gone";
        EXPECT_EQ(loaded.Write.Row(5), access.Write.Row(6));
    }
}

TEST_F(Access_File, KeepsTextsAsTheyStand) {
    // Disabled rows, an empty Start Bit, blanks around texts, an inserted row with empty Enable
    // and On CMD: all saved and read back unchanged.
    QStringList read = Valid_Read_Row();
    read[0] = "N";
    read[1] = " 10.0.0.1 ";
    read[12] = "  two  blanks \x01\t\n ";
    Set_Row(access.Read, 1, read);
    access.Read.Set_Field(2, 1, "");
    Set_Row(access.Read, 2, Valid_Read_Row());
    access.Write.Insert_Row(1);
    QStringList write = Valid_Write_Row();
    write[0] = "";
    write[9] = "";
    write[12] = "";
    Set_Row(access.Write, 1, write);
    access.Write.Set_Field(2, 10, "Y");
    Set_Row(access.Write, 2, Valid_Write_Row());
    access.Write.Set_Field(2, 10, "Y");
    Save_And_Reload();
    for (int slot : {1, 2, 3}) {
        EXPECT_EQ(loaded.Read.Row(slot), access.Read.Row(slot)) << slot;
        EXPECT_EQ(loaded.Write.Row(slot), access.Write.Row(slot)) << slot;
    }
    EXPECT_TRUE(Read_Text(Path()).contains("<row Enable=\"\" IP_Address=\"192.168.1.11\""));
}

TEST_F(Access_File, OlderFilesWithoutEnableSwapOrOnCmdLoadWithDefaults) {
    ASSERT_EQ(Load("<Modbus_TCP_Master_Rules><Modbus_Read>"
                   "<row IP_Address=\"1.2.3.4\" Port=\"502\" Slave_ID=\"1\" Type=\"Coil Status\""
                   " Address=\"0\" NPoint=\"1\" PollTime=\"1\" MaxError=\"0\" Position=\"0\""
                   " Bit=\"0\" Mnemonic=\"m\"/></Modbus_Read><Modbus_Write>"
                   "<row IP_Address=\"1.2.3.5\" Port=\"502\" Slave_ID=\"1\" Type=\"Coil Status\""
                   " Address=\"0\" NPoint=\"1\" PollTime=\"1\" OnChange=\"Y\" MaxError=\"0\""
                   " Position=\"0\" Bit=\"0\" Mnemonic=\"m\"/></Modbus_Write>"
                   "</Modbus_TCP_Master_Rules>"),
              "");
    EXPECT_EQ(loaded.Read.Row(1), QStringList({"Y", "1.2.3.4", "502", "1", "Coil Status", "0", "1",
                                               "1", "0", "0", "0", "N", "m"}));
    EXPECT_EQ(loaded.Write.Row(1), QStringList({"Y", "1.2.3.5", "502", "1", "Coil Status", "0", "1",
                                                "1", "Y", "N", "0", "0", "0", "N", "m"}));
    EXPECT_EQ(loaded.Write.Row(2),
              QStringList({"Y", "", "", "", "", "", "", "", "", "", "", "", "", "", ""}));
}

TEST_F(Access_File, ReadsRowsByPositionAndAttributesByExactName) {
    // Any element name counts as a row; a declaration and a comment before the root are passed
    // over; the root's name is not checked; extra attributes are ignored.
    const QString row = "Enable=\"N\" IP_Address=\"1.2.3.4\" Port=\"1\" Slave_ID=\"2\" Type=\"t\" "
                        "Address=\"3\" NPoint=\"4\" PollTime=\"5\" MaxError=\"6\" Position=\"7\" "
                        "Bit=\"8\" Swap=\"Y\" Mnemonic=\"9\" port=\"x\" Extra=\"x\"";
    ASSERT_EQ(Load(QStringLiteral("<?xml version=\"1.0\"?><!--c--><Other><Modbus_Write/>"
                                  "<Modbus_Read><row %1/><item %1/></Modbus_Read></Other>")
                       .arg(row)
                       .toUtf8()),
              "");
    const QStringList expected{"N", "1.2.3.4", "1", "2", "t", "3", "4",
                               "5", "6",       "7", "8", "Y", "9"};
    EXPECT_EQ(loaded.Read.Row(1), expected);
    EXPECT_EQ(loaded.Read.Row(2), expected);
    EXPECT_EQ(loaded.Read.Used_Count(), 2);
}

TEST_F(Access_File, ReportsWhatIsMissingAndWhere) {
    const QString full_read = "IP_Address=\"1\" Port=\"1\" Slave_ID=\"1\" Type=\"1\" Address=\"1\" "
                              "NPoint=\"1\" PollTime=\"1\" MaxError=\"1\" Position=\"1\" Bit=\"1\" "
                              "Mnemonic=\"1\"";
    const struct {
        QString content;
        QString message;
    } cases[] = {
        {"<Modbus_TCP_Master_Rules><Modbus_Read><row " + full_read + "/><row " + full_read +
             "/><row " + QString(full_read).remove("Port=\"1\" ") +
             "/></Modbus_Read><Modbus_Write/></Modbus_TCP_Master_Rules>",
         "ModbusTCPM_SetAccess.xml: Modbus_Read row 3: attribute Port is missing"},
        {"<R><Modbus_Read/><Modbus_Write><row Enable=\"Y\" IP_Address=\"1\" Port=\"1\" "
         "Slave_ID=\"1\" Type=\"1\" Address=\"1\" NPoint=\"1\" PollTime=\"1\" OnCMD=\"Y\"/>"
         "</Modbus_Write></R>",
         "ModbusTCPM_SetAccess.xml: Modbus_Write row 1: attribute OnChange is missing"},
        {"<R><Modbus_Read><row " + QString(full_read).remove(" Mnemonic=\"1\"") +
             "/></Modbus_Read><Modbus_Write/></R>",
         "ModbusTCPM_SetAccess.xml: Modbus_Read row 1: attribute Mnemonic is missing"},
        {"<R><Modbus_Read><row " + full_read + "/><!--note--></Modbus_Read><Modbus_Write/></R>",
         "ModbusTCPM_SetAccess.xml: Modbus_Read row 2: not a row element"},
        {"<R><Modbus_Write/></R>", "ModbusTCPM_SetAccess.xml: the element Modbus_Read is missing"},
        {"<R><Modbus_Read/></R>", "ModbusTCPM_SetAccess.xml: the element Modbus_Write is missing"},
        {"<!--only a comment-->", "ModbusTCPM_SetAccess.xml: not a well-formed XML file (line 1, "
                                  "column 22): No document element found"},
        {"<R><Modbus_Read/><Modbus_Write></R>",
         "ModbusTCPM_SetAccess.xml: not a well-formed XML file (line 1, column 34): "
         "Start-end tags mismatch"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Load(c.content.toUtf8()).toStdString(), c.message.toStdString());
}

TEST_F(Access_File, AFailedLoadKeepsTheRowsReadBeforeTheFailure) {
    QString rows;
    for (int i = 0; i < 2; ++i)
        rows += "<row IP_Address=\"1.1.1.1\" Port=\"1\" Slave_ID=\"1\" Type=\"t\" Address=\"1\" "
                "NPoint=\"1\" PollTime=\"1\" MaxError=\"1\" Position=\"1\" Bit=\"1\" "
                "Mnemonic=\"m\"/>";
    rows += "<row Enable=\"N\" IP_Address=\"2.2.2.2\"/>";
    EXPECT_NE(Load(("<R><Modbus_Read>" + rows + "</Modbus_Read><Modbus_Write/></R>").toUtf8()), "");
    EXPECT_EQ(loaded.Read.Field(2, 2), "1.1.1.1");
    EXPECT_EQ(loaded.Read.Field(3, 1), "N");
    EXPECT_EQ(loaded.Read.Field(3, 2), "2.2.2.2");
    EXPECT_EQ(loaded.Read.Field(3, 3), "");
    EXPECT_EQ(loaded.Read.Row(4), Access_Table().Read.Row(4));
}

TEST_F(Access_File, RefusesASectionLongerThanTheTable) {
    QByteArray rows;
    for (int i = 0; i < 513; ++i)
        rows += "<row Enable=\"Y\"/>";
    EXPECT_EQ(Load("<R><Modbus_Read/><Modbus_Write>" + rows + "</Modbus_Write></R>"),
              "ModbusTCPM_SetAccess.xml: Modbus_Write holds 513 rows, more than the 512 of the "
              "table");
    QByteArray full;
    for (int i = 0; i < 512; ++i)
        full += "<row Enable=\"N\" IP_Address=\"1\" Port=\"1\" Slave_ID=\"1\" Type=\"t\" "
                "Address=\"1\" NPoint=\"1\" PollTime=\"1\" MaxError=\"1\" Position=\"1\" "
                "Bit=\"1\" Mnemonic=\"m\"/>";
    EXPECT_EQ(Load("<R><Modbus_Read>" + full + "</Modbus_Read><Modbus_Write/></R>"), "");
    EXPECT_EQ(loaded.Read.Used_Count(), 512);
}

TEST_F(Access_File, WithoutAFileTheTablesStayAsTheyAre) {
    Set_Row(access.Read, 1, Valid_Read_Row());
    Load_Access_File(folder.File("none.xml"), access);
    EXPECT_EQ(access.Read.Row(1), Valid_Read_Row());
}

TEST_F(Access_File, AFailedSaveNamesTheFileAndKeepsTheOldOne) {
    // A folder where the file should be cannot be replaced.
    ASSERT_TRUE(QDir().mkpath(Path()));
    try {
        Save_Access_File(Path(), access);
        FAIL() << "no error";
    } catch (const Tessaro_Error& error) {
        EXPECT_TRUE(error.Message().startsWith("ModbusTCPM_SetAccess.xml: cannot be written: "))
            << error.what();
    }
    EXPECT_TRUE(QFileInfo(Path()).isDir());
}

TEST_F(Access_File, WhatIsWrittenMatchesTheSchema) {
    Set_Row(access.Read, 1, Valid_Read_Row());
    Set_Row(access.Write, 1, Valid_Write_Row());
    Set_Row(access.Write, 2, Valid_Write_Row());
    for (const Access_Table* table : {&loaded, &access}) {
        Save_Access_File(Path(), *table);
        Expect_Valid_Xml(Path(), "ModbusTCPM_SetAccess.xsd");
    }
}

TEST(Access_DMX_Role, ChoosesTheTableTheDeviceUses) {
    Temp_Folder folder;
    const QString path = folder.File("ParGen.xml");
    EXPECT_EQ(Access_Kind_For_DMX(path), Access_Kind::Read) << "no file";
    const struct {
        const char* content;
        Access_Kind kind;
    } cases[] = {
        {"<Par_Gen><DMX_DMX>1</DMX_DMX></Par_Gen>", Access_Kind::Read},
        {"<Par_Gen><DMX_DMX>0</DMX_DMX></Par_Gen>", Access_Kind::Write},
        {"<Par_Gen><DMX_DMX> 1</DMX_DMX></Par_Gen>", Access_Kind::Write},
        {"<Par_Gen><DMX_DMX></DMX_DMX></Par_Gen>", Access_Kind::Write},
        {"<Par_Gen><DMX_Num_Channels>100</DMX_Num_Channels></Par_Gen>", Access_Kind::Read},
        {"<X><DMX_DMX>0<a/></DMX_DMX></X>", Access_Kind::Read},
        {"<!--c--><X><DMX_DMX>0</DMX_DMX><DMX_DMX>1</DMX_DMX></X>", Access_Kind::Write},
    };
    for (const auto& c : cases) {
        Write_Text(path, c.content);
        EXPECT_EQ(Access_Kind_For_DMX(path), c.kind) << c.content;
    }
    Write_Text(path, "<Par_Gen><DMX_DMX>0</Par_Gen>");
    EXPECT_THROW(Access_Kind_For_DMX(path), Tessaro_Error);
}

} // namespace
