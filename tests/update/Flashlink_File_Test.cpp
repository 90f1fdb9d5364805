#include "platform/Error.h"
#include "state/App_State.h"
#include "support/Schema_Check.h"
#include "support/Test_Files.h"
#include "update/Flashlink_File.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

const char* const Head =
    "<Flashlink><Version>1000</Version><Title>Velmora - VC40362 Flashlink</Title>"
    "<IP_Address_Dev>";
const char* const After_Address =
    "</IP_Address_Dev><Application_Port>10000</Application_Port><Boot_Port>2008</Boot_Port>"
    "<Boot_Port_Sec>2007</Boot_Port_Sec><Address_Protection>0x78000</Address_Protection>"
    "<Protections><Protection>0x177</Protection></Protections><Operations>";
const char* const Tail = "</Operations></Flashlink>";

QString Firmware_Operation(const QString& read_back, const QString& go_to_app) {
    return "<Operation><Ope_Protection_Enabled/><Ope_GoToBoot_Before>0</Ope_GoToBoot_Before>"
           "<Ope_GoToApp_Before>0</Ope_GoToApp_Before><Ope_IP_Address/><Ope_Port>2008</Ope_Port>"
           "<Ope_Port_Sec>2007</Ope_Port_Sec><Ope_Erase_Memory>0</Ope_Erase_Memory>"
           "<Ope_FileName>/opt/tessaro/MASTER/Fw40362.sim</Ope_FileName>"
           "<Ope_Start_Address>0x8000</Ope_Start_Address><Ope_Memory_Type>0</Ope_Memory_Type>"
           "<Ope_Bank_Type>1</Ope_Bank_Type><Ope_Read_Back>" +
           read_back +
           "</Ope_Read_Back><Ope_Write_CSS>1</Ope_Write_CSS>"
           "<Ope_Address_CSS>0x78100</Ope_Address_CSS><Ope_Command_CSS>0x0B</Ope_Command_CSS>"
           "<Ope_GoToApp_After>" +
           go_to_app + "</Ope_GoToApp_After></Operation>";
}

QString Configuration_Operation(const QString& read_back) {
    return "<Operation><Ope_Protection_Enabled/><Ope_GoToBoot_Before>0</Ope_GoToBoot_Before>"
           "<Ope_GoToApp_Before>0</Ope_GoToApp_Before><Ope_IP_Address/><Ope_Port>2008</Ope_Port>"
           "<Ope_Port_Sec>2007</Ope_Port_Sec><Ope_Erase_Memory>0</Ope_Erase_Memory>"
           "<Ope_FileName>/opt/tessaro/PROJECTS/Plant 1/bin/bank.bin</Ope_FileName>"
           "<Ope_Start_Address>0x60000</Ope_Start_Address><Ope_Memory_Type>0</Ope_Memory_Type>"
           "<Ope_Bank_Type>2</Ope_Bank_Type><Ope_Read_Back>" +
           read_back +
           "</Ope_Read_Back><Ope_Write_CSS>0</Ope_Write_CSS>"
           "<Ope_Address_CSS>0x50100</Ope_Address_CSS><Ope_Command_CSS>0x0B</Ope_Command_CSS>"
           "<Ope_GoToApp_After>1</Ope_GoToApp_After></Operation>";
}

Flashlink_Request Request(int option, bool read_back, const QString& address = "192.168.0.5") {
    Flashlink_Request request;
    request.IP_Address = address;
    request.Update_Option = option;
    request.Read_Back = read_back;
    request.Master_Dir = "/opt/tessaro/MASTER";
    request.Project_Dir = "/opt/tessaro/PROJECTS/Plant 1";
    return request;
}

QString Document(const QString& address, const QString& operations) {
    return QString::fromLatin1(Head) + address + QString::fromLatin1(After_Address) + operations +
           QString::fromLatin1(Tail);
}

TEST(Flashlink_File, HoldsTheOperationsOfEachUpdateOption) {
    const struct {
        int option;
        bool read_back;
        QString operations;
    } cases[] = {
        // Firmware first; the device starts its application after the last operation only.
        {0, true, Firmware_Operation("1", "0") + Configuration_Operation("1")},
        {0, false, Firmware_Operation("0", "0") + Configuration_Operation("0")},
        {1, false, Firmware_Operation("0", "1")},
        {1, true, Firmware_Operation("1", "1")},
        {2, false, Configuration_Operation("0")},
        {2, true, Configuration_Operation("1")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(QString::fromUtf8(Flashlink_Bytes(Request(c.option, c.read_back))),
                  Document("192.168.0.5", c.operations))
            << "option " << c.option << " read back " << c.read_back;
}

TEST(Flashlink_File, WritesTheAddressAsTyped) {
    for (const QString address : {"192.168.0.5", " 192.168.000.5", "010.1.1.1 ", "a&b<c>.1.1.1"}) {
        const QString text = QString::fromUtf8(Flashlink_Bytes(Request(2, false, address)));
        QString escaped = address;
        escaped.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;");
        EXPECT_TRUE(text.contains("<IP_Address_Dev>" + escaped + "</IP_Address_Dev>"))
            << text.toStdString();
    }
}

TEST(Flashlink_File, NamesTheFilesByTheirFullPaths) {
    Temp_Folder folder;
    Flashlink_Request request = Request(0, false);
    request.Master_Dir = folder.File("MASTER");
    request.Project_Dir = folder.File("PROJECTS/Hall B ü");
    const QString text = QString::fromUtf8(Flashlink_Bytes(request));
    EXPECT_TRUE(text.contains("<Ope_FileName>" +
                              QDir::toNativeSeparators(folder.File("MASTER/Fw40362.sim")) +
                              "</Ope_FileName>"));
    EXPECT_TRUE(text.contains(
        "<Ope_FileName>" + QDir::toNativeSeparators(folder.File("PROJECTS/Hall B ü/bin/bank.bin")) +
        "</Ope_FileName>"));

    // A relative folder is made full against the current folder.
    EXPECT_EQ(Bank_File_Full_Path("PROJECTS/X"),
              QDir::toNativeSeparators(QDir::currentPath() + "/PROJECTS/X/bin/bank.bin"));
}

TEST(Flashlink_File, ReplacesTheFileBesideTheExecutable) {
    Temp_Folder folder;
    const QString path = Flashlink_File_Path(folder.Path());
    EXPECT_EQ(path, folder.File("Flashlink.xml"));
    Write_Text(path, "old content that is longer than nothing");
    Write_Flashlink_File(path, Request(1, true));
    EXPECT_EQ(Read_Text(path), Document("192.168.0.5", Firmware_Operation("1", "1")));

    // A well-formed document of the updater's element tree, for every update option.
    for (const int option : {0, 1, 2}) {
        Write_Flashlink_File(path, Request(option, option == 0));
        Expect_Valid_Xml(path, "Flashlink.xsd");
    }
}

TEST(Flashlink_File, AFileThatCannotBeWrittenIsAnErrorAndLeavesNothingBehind) {
    Temp_Folder folder;
    const QString path = folder.File("missing folder/Flashlink.xml");
    try {
        Write_Flashlink_File(path, Request(0, false));
        FAIL() << "no error";
    } catch (const Tessaro_Error& error) {
        EXPECT_TRUE(error.Message().startsWith("Flashlink.xml: cannot be written: "))
            << error.Message().toStdString();
    }
    EXPECT_FALSE(QFile::exists(path));
}

TEST(Flashlink_File, TheUpdaterLiesBesideTheExecutable) {
#ifdef Q_OS_WIN
    EXPECT_EQ(Updater_Program_Path("C:/Tessaro"), "C:/Tessaro/Flashlink.exe");
#else
    EXPECT_EQ(Updater_Program_Path("/opt/tessaro"), "/opt/tessaro/Flashlink");
#endif
}

// The updater is looked for beside the executable, then in the data folder of an installed
// program; its parameter file goes beside the updater found, else where the updater would be
// put: beside the executable of a program folder, into the data folder of an installed one.
TEST(Updater_Lookup, LooksBesideTheExecutableThenInTheDataFolder) {
    const struct {
        const char* name;
        bool installed;
        bool beside_exe;
        bool in_data;
        const char* program;        // "exe", "data" or "" for none
        const char* parameter_file; // "exe" or "data"
        int searched;
    } cases[] = {
        {"program folder with its updater", false, true, false, "exe", "exe", 1},
        {"program folder without updater", false, false, false, "", "exe", 1},
        {"program folder: the data folder is the program folder", false, false, true, "", "exe", 1},
        {"installed, updater beside the executable", true, true, false, "exe", "exe", 2},
        {"installed, updater in the data folder", true, false, true, "data", "data", 2},
        {"installed, both: beside the executable first", true, true, true, "exe", "exe", 2},
        {"installed, no updater", true, false, false, "", "data", 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Temp_Folder root;
        App_State state;
        state.Exe_Dir = root.File("bin");
        state.Installed = c.installed;
        state.Data_Dir = c.installed ? root.File("data") : state.Exe_Dir;
        QDir().mkpath(state.Exe_Dir);
        QDir().mkpath(root.File("data"));
        if (c.beside_exe)
            Write_Text(Updater_Program_Path(state.Exe_Dir), "#!/bin/sh\n");
        if (c.in_data)
            Write_Text(Updater_Program_Path(root.File("data")), "#!/bin/sh\n");
        const auto folder = [&](const QString& which) {
            return which == "exe" ? state.Exe_Dir : root.File("data");
        };

        const Updater_Lookup lookup = Find_Updater(state);
        EXPECT_EQ(lookup.Found(), *c.program != 0);
        EXPECT_EQ(lookup.Program, *c.program ? Updater_Program_Path(folder(c.program)) : "");
        EXPECT_EQ(lookup.Parameter_File, Flashlink_File_Path(folder(c.parameter_file)));
        QStringList searched{state.Exe_Dir};
        if (c.searched == 2)
            searched.append(root.File("data"));
        EXPECT_EQ(lookup.Searched, searched);
    }
}

TEST(Updater_Lookup, AFolderNamedLikeTheUpdaterIsNoUpdater) {
    Temp_Folder folder;
    QDir().mkpath(Updater_Program_Path(folder.Path()));
    const Updater_Lookup lookup = Find_Updater({folder.Path()}, folder.Path());
    EXPECT_FALSE(lookup.Found());
    EXPECT_EQ(lookup.Parameter_File, folder.File("Flashlink.xml"));
}

} // namespace
