#include "Project_Fixture.h"
#include "image/USaveBincc.h"
#include "platform/Error.h"
#include "support/Test_Files.h"

#include <QDir>
#include <QSet>
#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <memory>

namespace {

class Bank_Image : public ::testing::Test {
protected:
    void Write(const char* name, const QString& xml) { Write_Text(folder.File(name), xml); }
    QByteArray Compile() { return Compile_Configuration(folder.Path()); }
    // The 32 bytes of request entry i.
    static QByteArray Record(const QByteArray& bank, int i) { return bank.mid(32 * i, 32); }

    Temp_Folder folder;
};

std::uint32_t Settings_U32(const QByteArray& bank, int block_offset) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | Byte_At(bank, 32768 + block_offset + i);
    return value;
}

std::uint32_t Sum_Of_Settings(const QByteArray& bank) {
    std::uint32_t sum = 0;
    for (int i = 0; i < 2044; ++i)
        sum += Byte_At(bank, 32768 + i);
    return sum;
}

TEST(Settings_Block_Layout, CoversTheBlockWithoutGapOrOverlapAndNamesEveryField) {
    std::uint32_t next = 0;
    std::uint32_t settings_bytes = 0;
    QSet<QString> names;
    for (const Settings_Field& field : Settings_Block_Layout) {
        EXPECT_EQ(field.Offset, next) << field.Name;
        next = field.Offset + field.Size();
        const QString name = QString::fromLatin1(field.Name);
        EXPECT_FALSE(name.isEmpty() || names.contains(name)) << field.Offset;
        names.insert(name);
        if (field.Source != Settings_Source::Unused && field.Source != Settings_Source::Checksum)
            settings_bytes += field.Size();
    }
    EXPECT_EQ(next, 2048u);
    // The settings fields of the record, with the 60 unused bytes at 1852 between them.
    EXPECT_EQ(settings_bytes, 1984u);
    const auto unused = std::find_if(
        Settings_Block_Layout.begin(), Settings_Block_Layout.end(),
        [](const Settings_Field& field) { return field.Source == Settings_Source::Unused; });
    ASSERT_NE(unused, Settings_Block_Layout.end());
    EXPECT_EQ(unused->Offset, 1852);
    EXPECT_EQ(unused->Size(), 60u);
    EXPECT_EQ(Settings_Block_Layout.back().Source, Settings_Source::Checksum);
    EXPECT_EQ(Settings_Block_Layout.back().Offset, 2044);
}

TEST_F(Bank_Image, WithoutProjectFilesHoldsTheFixedSettingsAndTheirSum) {
    const QByteArray bank = Compile();
    ASSERT_EQ(bank.size(), 35328);
    // Every non-zero byte of the settings block, by block offset.
    const std::map<int, int> expected = {
        {0, 72},   {1, 232}, {2, 1},    {12, 128},  {13, 37},  {16, 8},     {40, 192},  {41, 168},
        {42, 0},   {43, 10}, {44, 255}, {45, 255},  {46, 255}, {48, 255},   {49, 255},  {50, 255},
        {51, 255}, {52, 16}, {53, 39},  {54, 17},   {55, 39},  {56, 17},    {57, 39},   {60, 128},
        {61, 37},  {64, 8},  {198, 6},  {436, 8},   {437, 8},  {438, 8},    {439, 8},   {440, 8},
        {441, 8},  {442, 8}, {443, 8},  {481, 136}, {482, 6},  {2044, 113}, {2045, 12},
    };
    for (int i = 0; i < 2048; ++i) {
        const auto it = expected.find(i);
        EXPECT_EQ(Byte_At(bank, 32768 + i), it == expected.end() ? 0 : it->second)
            << "block offset " << i;
    }
    EXPECT_EQ(Sum_Of_Settings(bank), 3185u);
    EXPECT_EQ(bank.mid(34812, 4), QByteArray("\x71\x0C\x00\x00", 4));
    EXPECT_EQ(bank.left(32768), QByteArray(32768, '\0'));
    EXPECT_EQ(bank.mid(34816), QByteArray(512, '\0'));
}

TEST_F(Bank_Image, ParGenSettingsEnterTheBlockAndItsSum) {
    struct Case {
        const char* en_gat;
        std::uint32_t sum;
        QByteArray gateway;
    };
    for (const Case& c : {Case{"1", 2858, QByteArray("\xC0\xA8\x00\x01", 4)},
                          Case{"0", 3517, QByteArray("\xFF\xFF\xFF\xFF", 4)}}) {
        Write("ParGen.xml", Par_Gen_Standard("1", "512", c.en_gat));
        const QByteArray bank = Compile();
        ASSERT_EQ(bank.size(), 35328);
        EXPECT_EQ(Settings_U32(bank, 2044), c.sum) << c.en_gat;
        EXPECT_EQ(Sum_Of_Settings(bank), c.sum);
        EXPECT_EQ(Settings_U32(bank, 32), 1000u);
        EXPECT_EQ(Settings_U32(bank, 36), 100u);
        EXPECT_EQ(bank.mid(32768 + 40, 12),
                  QByteArray("\xC0\xA8\x00\x05\xFF\xFF\xFF\x00", 8) + c.gateway);
        // DMX IN count 0, DMX OUT count 512.
        EXPECT_EQ(bank.mid(32768 + 476, 4), QByteArray("\x00\x00\x00\x02", 4));
    }
}

TEST_F(Bank_Image, StoresReadAndWriteRequestsByteForByte) {
    Write("ParGen.xml", Par_Gen_Standard("1", "512", "0"));
    Write("ModbusTCPM_SetAccess.xml", Access_File(Access_Row(Section::Read), ""));
    QByteArray bank = Compile();
    EXPECT_EQ(Record(bank, 0).toHex(' '), "01 00 00 00 e8 03 00 00 01 03 00 00 0a 00 f6 01 14 00 "
                                          "a8 c0 00 00 00 00 03 00 00 00 00 00 14 00");
    EXPECT_EQ(Settings_U32(bank, 72), 1u);
    EXPECT_EQ(bank.mid(32, 32768 - 32), QByteArray(32768 - 32, '\0'));

    Write("ParGen.xml", Par_Gen_Standard("0", "512", "0"));
    Write("ModbusTCPM_SetAccess.xml",
          Access_File("", Access_Row(Section::Write, {{"IP_Address", "10.0.0.7"},
                                                      {"Slave_ID", "7"},
                                                      {"Type", "Coil Status"},
                                                      {"Address", "100"},
                                                      {"NPoint", "10"},
                                                      {"PollTime", "500"},
                                                      {"OnChange", "Y"},
                                                      {"MaxError", "0"},
                                                      {"Position", "5"},
                                                      {"Bit", "2"}})));
    bank = Compile();
    EXPECT_EQ(Record(bank, 0).toHex(' '), "05 00 02 00 f4 01 00 00 07 0f 64 00 0a 00 f6 01 07 00 "
                                          "00 0a 00 00 00 00 00 00 00 00 00 00 02 01");
    // The same record decoded from the bytes.
    const Request_Record read = Read_Request_Record(
        std::span(reinterpret_cast<const std::uint8_t*>(bank.constData()), Bank_Size), 0);
    EXPECT_EQ(read.Position, 5);
    EXPECT_EQ(read.Bit, 2);
    EXPECT_EQ(read.PollTime, 500u);
    EXPECT_EQ(read.Function_Code, 15);
    EXPECT_EQ(read.IP_Word, 0x0A000007u);
    EXPECT_EQ(read.Request_Flags, Flag_On_Change);
}

TEST_F(Bank_Image, TakesUpTo1024EnabledRequestsAndRefusesMore) {
    QString rows;
    for (int i = 0; i < 1024; ++i)
        rows += Access_Row(Section::Read, {{"Address", QByteArray::number(i).constData()}});
    // Disabled rows take no entry.
    rows += Access_Row(Section::Read, {{"Enable", "N"}});
    Write("ModbusTCPM_SetAccess.xml", Access_File(rows, ""));
    const QByteArray bank = Compile();
    ASSERT_EQ(bank.size(), 35328);
    EXPECT_EQ(Settings_U32(bank, 72), 1024u);
    EXPECT_EQ(Byte_At(bank, 32 * 1023 + 10) | Byte_At(bank, 32 * 1023 + 11) << 8, 1023);
    EXPECT_EQ(Byte_At(bank, 32 * 1023 + 9), 3);

    Write("ModbusTCPM_SetAccess.xml", Access_File(rows + Access_Row(Section::Read), ""));
    try {
        Compile();
        FAIL() << "1025 requests compiled";
    } catch (const Tessaro_Error& error) {
        EXPECT_EQ(error.Message(), "ModbusTCPM_SetAccess.xml: Modbus_Read holds more than 1024 "
                                   "enabled requests; the device takes at most 1024");
    }
}

TEST_F(Bank_Image, TheSettingsSumFollowsOnlyTheSettings) {
    Write("ModbusTCPM_SetAccess.xml", Access_File(Access_Row(Section::Read), ""));
    Write("DMX_Default_Values.xml", DMX_File({"1", "2"}));
    const QByteArray first = Compile();
    Write("ModbusTCPM_SetAccess.xml",
          Access_File(Access_Row(Section::Read, {{"NPoint", "100"}, {"Port", "503"}}), ""));
    Write("DMX_Default_Values.xml", DMX_File({"200", "2", "9"}));
    const QByteArray second = Compile();
    EXPECT_NE(first.left(32), second.left(32));
    EXPECT_EQ(second.mid(34816, 3), QByteArray("\xC8\x02\x09", 3));
    EXPECT_EQ(first.mid(32768, 2048), second.mid(32768, 2048));
}

TEST_F(Bank_Image, EveryNamedFieldReadsBackFromTheBytes) {
    Write("ParGen.xml", Par_Gen_Standard("0", "100", "1"));
    Write("ModbusTCPM_SetAccess.xml",
          Access_File("", Access_Row(Section::Write) + Access_Row(Section::Write)));
    const auto image = std::make_unique<Image_Record>();
    Bank_Buffer buffer;
    Compile_Bank(Project_Files::In_Folder(folder.Path()), *image, buffer);
    ASSERT_EQ(buffer.Length, 35328u);
    const QByteArray bank = buffer.Used_Bytes();
    for (const Settings_Field& field : Settings_Block_Layout) {
        if (field.Source == Settings_Source::Checksum)
            continue;
        for (int i = 0; i < field.Count; ++i)
            ASSERT_EQ(Read_Settings_Element(bank, field, i), Settings_Element(*image, field, i))
                << field.Name << "[" << i << "]";
    }
    EXPECT_EQ(image->Settings.DMX_IN_Channels, 100);
    EXPECT_EQ(image->Settings.Request_Count, 2u);
    EXPECT_EQ(Read_Settings_Element(bank, Settings_Block_Layout.back(), 0),
              Byte_Sum(buffer.Used().subspan(32768, 2044)));
}

TEST_F(Bank_Image, ACompileStartsFromScratch) {
    Write("ParGen.xml", Par_Gen_Standard("1", "512", "1"));
    Write("ModbusTCPM_SetAccess.xml",
          Access_File(Access_Row(Section::Read) + Access_Row(Section::Read), ""));
    Write("DMX_Default_Values.xml", DMX_File({"7", "7", "7"}));
    const auto image = std::make_unique<Image_Record>();
    Bank_Buffer buffer;
    Compile_Bank(Project_Files::In_Folder(folder.Path()), *image, buffer);
    for (const char* name : {"ParGen.xml", "ModbusTCPM_SetAccess.xml", "DMX_Default_Values.xml"})
        QFile::remove(folder.File(name));
    Compile_Bank(Project_Files::In_Folder(folder.Path()), *image, buffer);
    EXPECT_EQ(buffer.Used_Bytes(), Compile());
    EXPECT_EQ(buffer.Used_Bytes().mid(32768 + 40, 4), QByteArray("\xC0\xA8\x00\x0A", 4));
}

TEST_F(Bank_Image, SaveWritesTheImageAndMakesAMissingBinFolder) {
    Bank_Buffer buffer;
    const auto image = std::make_unique<Image_Record>();
    Compile_Bank(Project_Files::In_Folder(folder.Path()), *image, buffer);
    ASSERT_FALSE(QDir(folder.File("bin")).exists());
    Save_Bank_File(folder.Path(), buffer);
    EXPECT_EQ(Read_Bytes(folder.File("bin/bank.bin")), Compile());
    // Replaced completely by the next save.
    Write_Bytes(folder.File("bin/bank.bin"), QByteArray(40000, 'x'));
    Save_Bank_File(folder.Path(), buffer);
    EXPECT_EQ(Read_Bytes(folder.File("bin/bank.bin")), Compile());
}

TEST_F(Bank_Image, SaveReportsAFileThatCannotBeWritten) {
    Bank_Buffer buffer;
    const auto image = std::make_unique<Image_Record>();
    Compile_Bank(Project_Files::In_Folder(folder.Path()), *image, buffer);
    struct Case {
        const char* what;
        void (*arrange)(const Temp_Folder&);
        const char* message_start;
    };
    const Case cases[] = {
        {"a file in the place of bin",
         [](const Temp_Folder& f) { Write_Bytes(f.File("bin"), "x"); },
         "bank.bin: cannot be written: the folder \""},
        {"a folder in the place of bank.bin",
         [](const Temp_Folder& f) { QDir().mkpath(f.File("bin/bank.bin")); },
         "bank.bin: cannot be written: "},
    };
    for (const Case& c : cases) {
        Temp_Folder project;
        c.arrange(project);
        try {
            Save_Bank_File(project.Path(), buffer);
            ADD_FAILURE() << c.what << ": no error";
        } catch (const Tessaro_Error& error) {
            EXPECT_TRUE(error.Message().startsWith(c.message_start))
                << c.what << ": " << error.Message().toStdString();
        }
    }
}

TEST(Compile_Configuration, RefusesAFolderThatDoesNotExist) {
    Temp_Folder folder;
    try {
        Compile_Configuration(folder.File("Gone"));
        FAIL() << "compiled a missing folder";
    } catch (const Tessaro_Error& error) {
        EXPECT_EQ(error.Message(),
                  "The configuration folder \"" + folder.File("Gone") + "\" does not exist");
    }
    EXPECT_FALSE(QDir(folder.File("Gone")).exists());
}

} // namespace
