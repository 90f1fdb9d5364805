#include "Cli_Run.h"
#include "image/Project_Fixture.h"
#include "image/USaveBincc.h"
#include "support/Test_Files.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

namespace {

class Cli_Image : public ::testing::Test {
protected:
    // A configuration for DMX output with one read request.
    void Write_Configuration() {
        Write_Text(folder.File("Plant/ParGen.xml"), Par_Gen_Standard("1", "512", "1"));
        Write_Text(folder.File("Plant/ModbusTCPM_SetAccess.xml"),
                   Access_File(Access_Row(Section::Read), ""));
        Write_Text(folder.File("Plant/DMX_Default_Values.xml"), DMX_File({"7", "300"}));
    }
    Temp_Folder folder;
};

TEST_F(Cli_Image, CompileWritesTheBytesOfUpdateDevice) {
    Write_Configuration();
    const QByteArray expected = Compile_Configuration(folder.File("Plant"));
    ASSERT_EQ(expected.size(), 35328);

    const Cli_Result to_bin = Run_Cli_Program({"compile", folder.File("Plant")});
    ASSERT_EQ(to_bin.status, 0) << to_bin.err.toStdString();
    EXPECT_EQ(Read_Bytes(folder.File("Plant/bin/bank.bin")), expected);
    EXPECT_TRUE(to_bin.out.endsWith("bank.bin: 35328 bytes written\n"));

    const Cli_Result to_file =
        Run_Cli_Program({"compile", folder.File("Plant"), "-o", folder.File("other.bin")});
    ASSERT_EQ(to_file.status, 0) << to_file.err.toStdString();
    EXPECT_EQ(Read_Bytes(folder.File("other.bin")), expected);
}

TEST_F(Cli_Image, CompileGivesTheReferenceImageOfTheWholeFlow) {
    // The project files the editors wrote in the end-to-end flow, and the image checked byte by
    // byte there.
    const QString project = TESSARO_TEST_DATA "/End_To_End";
    const Cli_Result result = Run_Cli_Program({"compile", project, "-o", folder.File("e2e.bin")});
    ASSERT_EQ(result.status, 0) << result.err.toStdString();
    const QByteArray reference = Read_Bytes(TESSARO_TEST_DATA "/End_To_End_Bank.bin");
    ASSERT_EQ(reference.size(), 35328);
    EXPECT_EQ(Read_Bytes(folder.File("e2e.bin")), reference);
    EXPECT_EQ(Run_Cli_Program({"check", project}).out,
              "ParGen.xml: OK\nDMX_Default_Values.xml: OK\nModbusTCPM_SetAccess.xml: OK\n");
}

TEST_F(Cli_Image, ACompileErrorWritesNothing) {
    Write_Configuration();
    Write_Text(folder.File("Plant/ModbusTCPM_SetAccess.xml"),
               Access_File(Access_Row(Section::Read, {{"Slave_ID", nullptr}}), ""));
    Write_Bytes(folder.File("old.bin"), "previous image");
    const Cli_Result result =
        Run_Cli_Program({"compile", folder.File("Plant"), "-o", folder.File("old.bin")});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "ModbusTCPM_SetAccess.xml: Modbus_Read row 1: Slave_ID is missing\n");
    EXPECT_EQ(Read_Bytes(folder.File("old.bin")), QByteArray("previous image"));
    EXPECT_EQ(Run_Cli_Program({"compile", folder.File("Plant")}).status, 1);
    EXPECT_FALSE(QFile::exists(folder.File("Plant/bin/bank.bin")));

    const Cli_Result missing = Run_Cli_Program({"compile", folder.File("Nowhere")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_FALSE(missing.err.isEmpty());
}

TEST_F(Cli_Image, DumpShowsTheDefaultImage) {
    QDir().mkpath(folder.File("Empty"));
    ASSERT_EQ(Run_Cli_Program({"compile", folder.File("Empty")}).status, 0);
    const Cli_Result result = Run_Cli_Program({"dump", folder.File("Empty/bin/bank.bin")});
    ASSERT_EQ(result.status, 0) << result.err.toStdString();
    for (const char* line : {"Size: 35328 bytes (the size of an image)\n",
                             "Settings checksum: stored 3185, computed 3185 (matches)\n",
                             "  IP_Address = 192.168.0.10\n", "  Subnet_Mask = 255.255.255.0\n",
                             "  Gateway = 255.255.255.255\n", "  Image_Flash_Address = 393216\n",
                             "  DMX_Default_Block_Address = 428032\n", "  Fixed_0436 = 8 x 8\n",
                             "  Unused_1852 = 15 x 0\n", "Requests: 0\n",
                             "  497-512: 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0\n"})
        EXPECT_TRUE(result.out.contains(line)) << line << "\n" << result.out.toStdString();
}

TEST_F(Cli_Image, DumpShowsTheRequestsAsJson) {
    Write_Configuration();
    ASSERT_EQ(Run_Cli_Program({"compile", folder.File("Plant")}).status, 0);
    const Cli_Result text = Run_Cli_Program({"dump", folder.File("Plant/bin/bank.bin")});
    EXPECT_TRUE(text.out.contains(
        "  0: Position=1 Bit=0 PollTime=1000 Slave_ID=1 Function_Code=3 (Read Holding Registers) "
        "Address=0 NPoint=10 Port=502 IP_Word=192.168.0.20 MaxError=3 Byte_Count=20 "
        "Request_Flags=0 []\n"))
        << text.out.toStdString();
    EXPECT_TRUE(text.out.contains("    1- 16: 7 44 0"));

    const Cli_Result json = Run_Cli_Program({"dump", folder.File("Plant/bin/bank.bin"), "--json"});
    ASSERT_EQ(json.status, 0);
    const QJsonObject image = QJsonDocument::fromJson(json.out.toUtf8()).object();
    EXPECT_EQ(image["size"].toInt(), 35328);
    EXPECT_TRUE(image["checksum"].toObject()["matches"].toBool());
    const QJsonObject settings = image["settings"].toObject();
    EXPECT_EQ(settings["IP_Address"].toString(), "192.168.0.5");
    EXPECT_EQ(settings["Gateway"].toString(), "192.168.0.1");
    EXPECT_EQ(settings["DMX_OUT_Channels"].toInt(), 512);
    EXPECT_EQ(settings["Modbus_TCP_Master_TimeOut"].toInt(), 1000);
    EXPECT_EQ(settings["Fixed_0436"].toArray().size(), 8);
    const QJsonArray requests = image["requests"].toArray();
    ASSERT_EQ(requests.size(), 1);
    const QJsonObject request = requests[0].toObject();
    EXPECT_EQ(request["Function_Code"].toInt(), 3);
    EXPECT_EQ(request["Function_Name"].toString(), "Read Holding Registers");
    EXPECT_EQ(request["IP_Word"].toDouble(), double(0xC0A80014u));
    EXPECT_EQ(request["IP_Address"].toString(), "192.168.0.20");
    EXPECT_EQ(request["Byte_Count"].toInt(), 20);
    EXPECT_EQ(image["dmx_defaults"].toArray()[1].toInt(), 44);
}

TEST_F(Cli_Image, DumpReportsACorruptedImage) {
    Write_Configuration();
    ASSERT_EQ(Run_Cli_Program({"compile", folder.File("Plant")}).status, 0);
    QByteArray bank = Read_Bytes(folder.File("Plant/bin/bank.bin"));
    bank[32768 + 40] = char(10); // the first octet of the address, without its sum
    Write_Bytes(folder.File("bad.bin"), bank);
    const Cli_Result result = Run_Cli_Program({"dump", folder.File("bad.bin")});
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(result.out.contains("(MISMATCH: the image is corrupted)"))
        << result.out.toStdString();
    EXPECT_TRUE(result.out.contains("  IP_Address = 10.168.0.5\n"));

    Write_Bytes(folder.File("short.bin"), bank.left(1000));
    const Cli_Result shorter = Run_Cli_Program({"dump", folder.File("short.bin")});
    EXPECT_EQ(shorter.status, 1);
    EXPECT_TRUE(shorter.out.contains("Size: 1000 bytes (not an image"));
}

} // namespace
