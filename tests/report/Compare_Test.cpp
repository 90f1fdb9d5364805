#include "image/Project_Fixture.h"
#include "image/USaveBincc.h"
#include "report/Configuration_Compare.h"
#include "support/Test_Files.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

// A configuration folder: DMX OUT, gateway disabled, two read requests (the second disabled),
// one write request, and three DMX channels with names.
struct Plant_Files {
    QString par_gen = Par_Gen_Standard("1", "512", "0");
    QString read_rows = Access_Row(Section::Read, {{"Mnemonic", "Pump"}}) +
                        Access_Row(Section::Read, {{"Enable", "N"}, {"Mnemonic", "Spare"}});
    QString write_rows = Access_Row(Section::Write);
    QString dmx = "<DMX_Default_Values><Row Default_Value=\"1\" Mnemonic=\"Stage\"/>"
                  "<Row Default_Value=\"2\" Mnemonic=\"\"/><Row Default_Value=\"3\" "
                  "Mnemonic=\"Foyer\"/></DMX_Default_Values>";
};

class Compare : public ::testing::Test {
protected:
    QString Write(const QString& name, const Plant_Files& files) {
        const QString dir = folder.File(name);
        QDir().mkpath(dir);
        Write_Text(dir + "/ParGen.xml", files.par_gen);
        Write_Text(dir + "/ModbusTCPM_SetAccess.xml",
                   Access_File(files.read_rows, files.write_rows));
        Write_Text(dir + "/DMX_Default_Values.xml", files.dmx);
        return dir;
    }
    QStringList Lines(const QString& a, const QString& b) {
        QStringList lines;
        for (const Difference& d :
             Compare_Configurations(Load_Compare_Input(a), Load_Compare_Input(b)))
            lines.append(Difference_Line(d));
        return lines;
    }
    Temp_Folder folder;
};

TEST_F(Compare, FoldersDifferOutsideTheImageInTheirFilesSection) {
    const QString base = Write("A", Plant_Files());
    const struct {
        const char* what;
        void (*change)(Plant_Files&);
        QStringList lines;
    } cases[] = {
        {"the name of a request",
         [](Plant_Files& f) { f.read_rows.replace("\"Pump\"", "\"Pump 2\""); },
         {"files: read row 1 (Pump): Mnemonic \"Pump\" -> \"Pump 2\""}},
        {"a disabled row",
         [](Plant_Files& f) {
             f.read_rows = Access_Row(Section::Read, {{"Mnemonic", "Pump"}}) +
                           Access_Row(Section::Read,
                                      {{"Enable", "N"}, {"Mnemonic", "Spare"}, {"Port", "503"}});
         },
         {"files: read row 2 (Spare): Port \"502\" -> \"503\""}},
        {"a disabled row added",
         [](Plant_Files& f) {
             f.read_rows += Access_Row(Section::Read, {{"Enable", ""}});
         },
         {"files: read row 3: only in B"}},
        {"a row disabled",
         [](Plant_Files& f) { f.read_rows.replace("Enable=\"Y\"", "Enable=\"N\""); },
         {"settings: Request_Count 1 -> 0", "request 0 (Pump): only in A",
          "files: read row 1 (Pump): Enable \"Y\" -> \"N\""}},
        {"the table the device does not use",
         [](Plant_Files& f) { f.write_rows.replace("PollTime=\"1000\"", "PollTime=\"20\""); },
         {"files: write row 1: PollTime \"1000\" -> \"20\""}},
        {"a DMX channel's name",
         [](Plant_Files& f) { f.dmx.replace("Foyer", "Hall"); },
         {"files: DMX channel 3: Mnemonic \"Foyer\" -> \"Hall\""}},
        {"the gateway while it is disabled",
         [](Plant_Files& f) {
             f.par_gen.replace("<Modbus_TCP_Master_GAT4>1<", "<Modbus_TCP_Master_GAT4>254<");
         },
         {"files: ParGen.xml: Modbus_TCP_Master_GAT4 \"1\" -> \"254\""}},
        {"the gateway enabled",
         [](Plant_Files& f) {
             f.par_gen.replace("<Modbus_TCP_Master_EN_GAT>0<", "<Modbus_TCP_Master_EN_GAT>1<");
         },
         {"settings: Gateway 255.255.255.255 -> 192.168.0.1"}},
        {"numbers written otherwise, which the device gets the same",
         [](Plant_Files& f) {
             f.read_rows = Access_Row(Section::Read, {{"Mnemonic", "Pump"}, {"Port", "0502"}}) +
                           Access_Row(Section::Read, {{"Enable", "N"}, {"Mnemonic", "Spare"}});
             f.dmx.replace("Default_Value=\"1\"", "Default_Value=\"001\"");
         },
         {}},
    };
    for (const auto& c : cases) {
        Plant_Files files;
        c.change(files);
        const QString other = Write("B", files);
        const QStringList lines = Lines(base, other);
        EXPECT_EQ(lines, c.lines) << c.what << ":\n" << lines.join('\n').toStdString();
    }
}

TEST_F(Compare, AnImageHasNoFilesSectionAndNoNames) {
    const QString a = Write("A", Plant_Files());
    Plant_Files renamed;
    renamed.read_rows.replace("\"Pump\"", "\"Pump 2\"");
    renamed.read_rows.replace("Position=\"1\"", "Position=\"9\"");
    const QString b = Write("B", renamed);
    Write_Bytes(folder.File("b.bin"), Compile_Configuration(b));
    Write_Bytes(folder.File("a.bin"), Compile_Configuration(a));

    EXPECT_EQ(Lines(a, folder.File("b.bin")), QStringList{"request 0 (Pump): Position 1 -> 9"});
    EXPECT_EQ(Lines(folder.File("a.bin"), b), QStringList{"request 0 (Pump 2): Position 1 -> 9"});
    EXPECT_EQ(Lines(folder.File("a.bin"), folder.File("b.bin")),
              QStringList{"request 0: Position 1 -> 9"});
}

TEST_F(Compare, ACorruptedChecksumIsTold) {
    const QString a = Write("A", Plant_Files());
    QByteArray bank = Compile_Configuration(a);
    bank[32768 + 2044] = char(bank[32768 + 2044] + 1);
    Write_Bytes(folder.File("bad.bin"), bank);
    const QStringList lines = Lines(a, folder.File("bad.bin"));
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines[0].startsWith("settings: Checksum ")) << lines[0].toStdString();
    EXPECT_TRUE(lines[0].contains("(computed ")) << lines[0].toStdString();
}

TEST_F(Compare, RequestsArePairedByEntryWithTheNamesOfTheirRows) {
    // With DMX IN the write rows are compiled; the disabled row takes no entry.
    Plant_Files files;
    files.par_gen = Par_Gen_Standard("0", "512", "0");
    files.write_rows = Access_Row(Section::Write, {{"Enable", "N"}, {"Mnemonic", "Off"}}) +
                       Access_Row(Section::Write, {{"Mnemonic", "Fan"}});
    const Compare_Input a = Load_Compare_Input(Write("A", files));
    ASSERT_EQ(a.Sources.size(), 1u);
    EXPECT_EQ(a.Sources[0], (Request_Source{2, "Fan"}));
    EXPECT_EQ(a.Used_Kind, Access_Kind::Write);

    files.write_rows.replace("Address=\"0\"", "Address=\"7\"");
    EXPECT_EQ(Lines(folder.File("A"), Write("B", files)),
              (QStringList{"request 0 (Fan): Address 0 -> 7",
                           "files: write row 1 (Off): Address \"0\" -> \"7\""}));
}

} // namespace
