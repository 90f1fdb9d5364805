// What differs on Windows: the echo through the Windows API, the updater Flashlink.exe, names and
// paths as Windows writes them, files that another program holds open, and CR LF line ends.
// Every echo of these tests goes to 127.0.0.1.
#include "comm_dialog/UParGen.h"
#include "image/USaveBincc.h"
#include "lang/Lang_Table.h"
#include "lang/Language_File.h"
#include "main_window/Tessaro_App.h"
#include "platform/Error.h"
#include "platform/Icmp_Echo.h"
#include "platform/Program_Launcher.h"
#include "state/Configurations.h"
#include "state/Program_Folders.h"
#include "state/Settings.h"
#include "state/Startup.h"
#include "support/Recording_Messages.h"
#include "support/Test_Files.h"
#include "update/Flashlink_File.h"
#include "update_dialog/UBoot.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace {

const QString End_To_End = QStringLiteral(TESSARO_TEST_DATA "/End_To_End");
const QString End_To_End_Bank = QStringLiteral(TESSARO_TEST_DATA "/End_To_End_Bank.bin");
const QStringList Project_File_Names = {"ParGen.xml", "DMX_Default_Values.xml",
                                        "ModbusTCPM_SetAccess.xml"};

// A name in several scripts, with blanks, as a user on site may give a configuration.
const QString Non_Ascii_Name = QString::fromUtf8("Bühne Süd – Ωμέγα 東京");

// Copies the three files of the full configuration into folder, each passed through change.
void Copy_End_To_End(const QString& folder,
                     const std::function<QByteArray(QByteArray)>& change = {}) {
    ASSERT_TRUE(QDir().mkpath(folder + "/bin"));
    for (const QString& name : Project_File_Names) {
        const QByteArray bytes = Read_Bytes(End_To_End + "/" + name);
        Write_Bytes(folder + "/" + name, change ? change(bytes) : bytes);
    }
}

// A program that holds a file open as a viewer or a spreadsheet program does: others may read
// it, but not write, replace or delete it, until the holder ends.
class File_Holder {
public:
    explicit File_Holder(const QString& path) {
        process_.start(QStringLiteral(WINDOWS_HELPER), {"hold", QDir::toNativeSeparators(path)});
        EXPECT_TRUE(process_.waitForStarted(30000));
        EXPECT_TRUE(process_.waitForReadyRead(30000));
        const QByteArray said = process_.readAllStandardOutput();
        EXPECT_TRUE(said.startsWith("held")) << said.toStdString();
    }
    ~File_Holder() { Release(); }
    void Release() {
        if (process_.state() == QProcess::NotRunning)
            return;
        process_.closeWriteChannel();
        EXPECT_TRUE(process_.waitForFinished(30000));
    }

private:
    QProcess process_;
};

// The stand-in for the updater, copied into folder as Flashlink.exe.
QString Put_Stand_In_Updater(const QString& folder) {
    const QString program = Updater_Program_Path(folder);
    EXPECT_EQ(program, folder + "/Flashlink.exe");
    EXPECT_TRUE(QFile::copy(QStringLiteral(WINDOWS_HELPER), program));
    return program;
}

// The configurator's tessaro-cli, copied into a program folder so that PROJECTS beside it are
// that folder's.
QString Put_Cli(const QString& folder) {
    const QString program = folder + "/tessaro-cli.exe";
    EXPECT_TRUE(QFile::copy(QStringLiteral(TESSARO_CLI), program));
    return program;
}

struct Run_Result {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

Run_Result Run_Windows_Program(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    Run_Result result;
    if (!process.waitForFinished(120000)) {
        ADD_FAILURE() << "did not finish: " << program.toStdString();
        return result;
    }
    result.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

TEST(Windows_Echo, LoopbackAnswersThroughTheWindowsApi) {
    Icmp_Echo echo;
    for (int i = 0; i < 2; ++i) {
        const Echo_Report report = echo.Echo("127.0.0.1", "127.0.0.1", 400);
        ASSERT_EQ(report.status, Echo_Report::Status::Reply) << report.reason.toStdString();
        EXPECT_EQ(report.method, "IcmpSendEcho");
        EXPECT_EQ(report.bytes_received, 9);
    }
    const Echo_Report bad = echo.Echo("127.0.0", "x", 400);
    EXPECT_EQ(bad.status, Echo_Report::Status::Bad_Address);
    EXPECT_TRUE(bad.reason.contains("is not an IPv4 address")) << bad.reason.toStdString();
}

// The whole road of "Update Device" in a program folder: the image is compiled, the device
// (127.0.0.1) answers the echo through the Windows API, Flashlink.xml is written beside
// Flashlink.exe, which is started without parameters and waited for.
TEST(Windows_Updater, UpdateDeviceStartsFlashlinkExeWithItsParameterFileBesideIt) {
    Temp_Folder folder;
    Recording_Messages messages;
    Put_Stand_In_Updater(folder.Path());
    Write_Text(folder.File("Flashlink.wait"), "500");
    Tessaro_App app(folder.Path(), &messages, [](App_Context& context) {
        context.launcher = std::make_shared<Qt_Program_Launcher>(60000);
    });
    App_Context& ctx = app.Context();
    ASSERT_EQ(Create_New_Project_Folder(ctx.state, "Hall A"), New_Project_Result::Created);
    Copy_End_To_End(ctx.state.Project_Dir);

    TFBoot* boot = app.Windows().Boot;
    qint64 waited = -1;
    ctx.Show_Modal = [&](QDialog&) {
        boot->show();
        const QStringList address = {"127", "0", "0", "1"};
        for (int i = 0; i < 4; ++i)
            boot->findChild<QLineEdit*>(QStringLiteral("E_IP%1").arg(i + 1))->setText(address[i]);
        QElapsedTimer clock;
        clock.start();
        boot->findChild<QPushButton*>("Btn_Update")->click();
        waited = clock.elapsed();
        boot->hide();
        return int(QDialog::Rejected);
    };
    app.Main_Window().Btn_Click(app.Main_Window().findChild<QObject*>("Btn_CreateBin"));

    EXPECT_TRUE(messages.record.empty()) << messages.Texts().join("|").toStdString();
    EXPECT_EQ(Read_Bytes(Bank_File_Path(ctx.state.Project_Dir)), Read_Bytes(End_To_End_Bank));
    // The dialog waited for the updater.
    EXPECT_GE(waited, 500);
    const QString ran = Read_Text(folder.File("Flashlink.ran"));
    ASSERT_TRUE(ran.startsWith("arguments 0\n")) << ran.toStdString();
    const QString xml = Read_Text(folder.File("Flashlink.xml"));
    EXPECT_TRUE(ran.endsWith(xml)) << "the updater read another file";
    EXPECT_TRUE(xml.contains("<IP_Address_Dev>127.0.0.1</IP_Address_Dev>"));
    // Full Windows paths, with the drive and backslashes.
    const QString native = QDir::toNativeSeparators(folder.Path());
    EXPECT_TRUE(xml.contains("<Ope_FileName>" + native + "\\MASTER\\Fw40362.sim</Ope_FileName>"))
        << xml.toStdString();
    EXPECT_TRUE(xml.contains("<Ope_FileName>" + native +
                             "\\PROJECTS\\Hall A\\bin\\bank.bin</Ope_FileName>"))
        << xml.toStdString();
    EXPECT_EQ(native.mid(1, 2), ":\\");
}

TEST(Windows_Updater, TheLauncherWaitsForTheProgramAndTellsWhyOneDoesNotStart) {
    Temp_Folder folder;
    const QString program = Put_Stand_In_Updater(folder.Path());
    Write_Text(folder.File("Flashlink.wait"), "600");
    Qt_Program_Launcher launcher(60000);
    QElapsedTimer clock;
    clock.start();
    const Launch_Report report = launcher.Launch(program, QString(), false);
    EXPECT_TRUE(report.Started) << report.Reason.toStdString();
    EXPECT_GE(clock.elapsed(), 600);
    EXPECT_TRUE(Read_Text(folder.File("Flashlink.ran")).startsWith("arguments 0\n"));

    // A program that is not there, and a file that is no program.
    ASSERT_TRUE(QDir().mkpath(folder.File("other")));
    Write_Text(folder.File("other/Flashlink.exe"), "not a program\r\n");
    for (const QString& path :
         {folder.File("missing/Flashlink.exe"), folder.File("other/Flashlink.exe")}) {
        const Launch_Report failed = launcher.Launch(path, QString(), false);
        EXPECT_FALSE(failed.Started) << path.toStdString();
        EXPECT_FALSE(failed.Reason.isEmpty()) << path.toStdString();
    }
}

// A configuration named in several scripts is created, compiled, remembered in Tessaro.xml and
// opened again at the next start.
TEST(Windows_Names, AConfigurationNamedInAnyScriptWorksLikeAnyOther) {
    Temp_Folder folder;
    App_State state;
    Init_Folders(state, folder.Path(), QString());
    ASSERT_EQ(Create_New_Project_Folder(state, Non_Ascii_Name), New_Project_Result::Created);
    EXPECT_EQ(Existing_Configurations(state.Projects_Dir), QStringList{Non_Ascii_Name});
    Copy_End_To_End(state.Project_Dir);

    Bank_Buffer buffer;
    const auto image = std::make_unique<Image_Record>();
    Compile_Bank(state, *image, buffer);
    Save_Bank_File(state, buffer);
    EXPECT_EQ(Read_Bytes(folder.File("PROJECTS/" + Non_Ascii_Name + "/bin/bank.bin")),
              Read_Bytes(End_To_End_Bank));

    ASSERT_FALSE(Save_Setting(state).has_value());
    App_State next;
    Init_Folders(next, folder.Path(), QString());
    EXPECT_FALSE(Load_Setting(next).has_value());
    EXPECT_EQ(next.Project_Name, Non_Ascii_Name);
    EXPECT_TRUE(Reopen_Last_Project(next));
    EXPECT_EQ(next.Project_Dir, state.Project_Dir);
}

// Windows stores "Hall A." as "Hall A" and keeps device names for itself: such a name is refused
// as New refuses any name that is no plain folder name, and nothing is created.
TEST(Windows_Names, NamesThatWindowsWouldChangeAreRefused) {
    Temp_Folder folder;
    App_State state;
    Init_Folders(state, folder.Path(), QString());
    for (const char* name : {"Hall A.", "Hall A ", "CON", "con.txt", "Nul", "LPT1", "COM9.xml",
                             "a?b", "a:b", "a<b>", "a|b", "a*", "a\"b", "tab\tname"}) {
        EXPECT_EQ(Create_New_Project_Folder(state, QString::fromUtf8(name)),
                  New_Project_Result::Not_Valid)
            << name;
    }
    EXPECT_TRUE(Existing_Configurations(state.Projects_Dir).isEmpty());
    for (const char* name : {"COM10", "Console", "Hall.A", " Hall A", "LPT"})
        EXPECT_EQ(Create_New_Project_Folder(state, QString::fromUtf8(name)),
                  New_Project_Result::Created)
            << name;
    EXPECT_EQ(Existing_Configurations(state.Projects_Dir).size(), 5);
}

// tessaro-cli takes the name from the Windows command line and prints the path in UTF-8.
TEST(Windows_Names, TessaroCliCompilesAConfigurationByItsName) {
    Temp_Folder folder;
    const QString cli = Put_Cli(folder.Path());
    const QString project = folder.File("PROJECTS/" + Non_Ascii_Name);
    Copy_End_To_End(project);
    const Run_Result result = Run_Windows_Program(cli, {"compile", Non_Ascii_Name});
    EXPECT_EQ(result.status, 0) << result.err.toStdString();
    const QString bank = QDir::toNativeSeparators(project + "/bin/bank.bin");
    EXPECT_EQ(QString::fromUtf8(result.out).trimmed(), bank + ": 35328 bytes written");
    EXPECT_EQ(Read_Bytes(project + "/bin/bank.bin"), Read_Bytes(End_To_End_Bank));
}

TEST(Windows_Paths, DriveLettersAndBackslashesAreFoldersLikeAnyOther) {
    const struct {
        const char* exe_dir;
        const char* plain;
    } folders[] = {
        {"C:\\Tessaro", "C:/Tessaro"},
        {"C:\\Tessaro\\", "C:/Tessaro"},
        {"D:\\Sites\\Hall A\\Tessaro\\", "D:/Sites/Hall A/Tessaro"},
        {"C:/Tessaro/", "C:/Tessaro"},
    };
    for (const auto& f : folders) {
        const Program_Folders decided = Decide_Program_Folders(f.exe_dir, QString());
        EXPECT_FALSE(decided.Installed) << f.exe_dir;
        EXPECT_EQ(decided.Exe_Dir, f.plain) << f.exe_dir;
        EXPECT_EQ(decided.Data_Dir, f.plain) << f.exe_dir;
    }
    EXPECT_EQ(Firmware_File_Path("C:/Tessaro/MASTER"), "C:\\Tessaro\\MASTER\\Fw40362.sim");
    EXPECT_EQ(Bank_File_Full_Path("C:/Tessaro/PROJECTS/Hall A"),
              "C:\\Tessaro\\PROJECTS\\Hall A\\bin\\bank.bin");
    EXPECT_EQ(Updater_Program_Path("C:/Tessaro"), "C:/Tessaro/Flashlink.exe");

    // An installed tree given with backslashes: the program in bin, the shipped files in
    // share\tessaro, the user's files in the roaming application data folder.
    Temp_Folder root;
    ASSERT_TRUE(QDir().mkpath(root.File("Tessaro/bin")));
    ASSERT_TRUE(QDir().mkpath(root.File("Tessaro/share/tessaro/LANGUAGE")));
    const Program_Folders installed =
        Decide_Program_Folders(QDir::toNativeSeparators(root.File("Tessaro/bin")) + "\\",
                               "C:\\users\\ann\\AppData\\Roaming\\Tessaro\\");
    EXPECT_TRUE(installed.Installed);
    EXPECT_EQ(installed.Exe_Dir, root.File("Tessaro/bin"));
    EXPECT_EQ(installed.Data_Dir, "C:/users/ann/AppData/Roaming/Tessaro");
    EXPECT_EQ(installed.Shipped_Language_Dir, root.File("Tessaro/share/tessaro/LANGUAGE"));
}

TEST(Windows_Paths, TheUsersDataFolderIsInTheRoamingApplicationData) {
    const QString name = QCoreApplication::applicationName();
    QCoreApplication::setApplicationName(QString::fromLatin1(Application_Name));
    const QString location = User_Data_Location();
    QCoreApplication::setApplicationName(name);
    const QString appdata = QDir::fromNativeSeparators(qEnvironmentVariable("APPDATA"));
    ASSERT_FALSE(appdata.isEmpty());
    EXPECT_EQ(location, appdata + "/Tessaro");
}

TEST(Windows_Paths, TessaroCliTakesPathsWithDriveAndBackslashes) {
    Temp_Folder folder;
    const QString project = folder.File("Hall A");
    Copy_End_To_End(project);
    const QString output = QDir::toNativeSeparators(folder.File("out.bin"));
    ASSERT_EQ(output.mid(1, 2), ":\\");
    const Run_Result result = Run_Windows_Program(
        QStringLiteral(TESSARO_CLI), {"compile", QDir::toNativeSeparators(project), "-o", output});
    EXPECT_EQ(result.status, 0) << result.err.toStdString();
    EXPECT_EQ(QString::fromUtf8(result.out).trimmed(), output + ": 35328 bytes written");
    EXPECT_EQ(Read_Bytes(output), Read_Bytes(End_To_End_Bank));
}

// Windows does not let a file be replaced while another program holds it open without sharing
// it: the save says so, with the file's name and the system's reason, and the file on disk stays
// whole.
TEST(Windows_Held_File, ABankBinHeldOpenIsReportedAndKeptWhole) {
    Temp_Folder folder;
    Copy_End_To_End(folder.Path());
    const QString bank = Bank_File_Path(folder.Path());
    Write_Bytes(bank, "the image of yesterday");
    Bank_Buffer buffer;
    const auto image = std::make_unique<Image_Record>();
    Compile_Bank(Project_Files::In_Folder(folder.Path()), *image, buffer);
    {
        File_Holder holder(bank);
        try {
            Save_Bank_File(folder.Path(), buffer);
            ADD_FAILURE() << "the save of a file held open did not fail";
        } catch (const Tessaro_Error& error) {
            const QString text = error.Message();
            EXPECT_TRUE(text.startsWith("bank.bin: cannot be written: ")) << text.toStdString();
            EXPECT_GT(text.size(), QString("bank.bin: cannot be written: ").size());
        }
        EXPECT_EQ(Read_Bytes(bank), "the image of yesterday");
        EXPECT_EQ(QDir(folder.File("bin")).entryList(QDir::Files), QStringList{"bank.bin"});
    }
    // Once the other program lets go, the save goes through.
    Save_Bank_File(folder.Path(), buffer);
    EXPECT_EQ(Read_Bytes(bank), Read_Bytes(End_To_End_Bank));
}

TEST(Windows_Held_File, AProjectFileHeldOpenKeepsTheDialogOpenWithTheEntries) {
    Temp_Folder folder;
    Recording_Messages messages;
    App_Context ctx;
    ctx.lang.Load_Default_Texts();
    ctx.messages = &messages;
    ctx.state.SW_Code = "VC40362";
    ctx.state.Project_Dir = folder.Path();
    ctx.state.Set_Files();
    const QByteArray before = Read_Bytes(End_To_End + "/ParGen.xml");
    Write_Bytes(ctx.state.ParGen_File, before);
    TFParGen dialog(ctx, nullptr);
    dialog.show();
    auto* delay = dialog.findChild<QLineEdit*>("E_CD_Modbus_TCP_Master");
    ASSERT_NE(delay, nullptr);
    delay->setText("250");
    auto* ok = dialog.findChild<QPushButton*>("Btn_OK");
    {
        File_Holder holder(ctx.state.ParGen_File);
        ok->click();
        ASSERT_EQ(messages.record.size(), 1u);
        EXPECT_EQ(messages.record[0].kind, Recording_Messages::Kind::Error);
        EXPECT_TRUE(messages.record[0].text.startsWith("ParGen.xml: cannot be written: "))
            << messages.record[0].text.toStdString();
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(delay->text(), "250");
        EXPECT_EQ(Read_Bytes(ctx.state.ParGen_File), before);
        EXPECT_EQ(QDir(folder.Path()).entryList(QDir::Files), QStringList{"ParGen.xml"});
    }
    messages.Clear();
    ok->click();
    EXPECT_TRUE(messages.record.empty()) << messages.Texts().join("|").toStdString();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(Read_Text(ctx.state.ParGen_File).contains("250"));
}

// Files as Notepad writes them: a byte-order mark and CR LF between the lines.
QByteArray As_Notepad_Writes(QByteArray bytes) {
    bytes.replace("><", ">\r\n<");
    return "\xEF\xBB\xBF" + bytes + "\r\n";
}

TEST(Windows_Crlf, ProjectFilesWithCrLfCompileToTheSameImage) {
    Temp_Folder folder;
    Copy_End_To_End(folder.Path(), As_Notepad_Writes);
    ASSERT_TRUE(Read_Bytes(folder.File("ParGen.xml")).contains("\r\n"));
    EXPECT_EQ(Compile_Configuration(folder.Path()), Read_Bytes(End_To_End_Bank));
}

TEST(Windows_Crlf, ALanguageFileWithCrLfGivesTextsWithoutLineEnds) {
    Temp_Folder folder;
    const QString path = folder.File("Deutsch.lng");
    Write_Bytes(path,
                "\xEF\xBB\xBF//VERSION 2.1\r\nSTR 1 = Konfigurator\r\nSTR 2 = B\xC3\xBChne\r\n"
                "STR 3 = \xC2\xB6"
                "Ende \xC2\xB6\r\n\r\n");
    Lang_Table table;
    table.Load_Default_Texts();
    QString version;
    ASSERT_TRUE(Load_Lang_File(table, path, version));
    EXPECT_EQ(version, "2.1");
    EXPECT_EQ(table[1], "Konfigurator");
    EXPECT_EQ(table[2], QString::fromUtf8("Bühne"));
    EXPECT_EQ(table[3], "Ende ");
}

TEST(Windows_Crlf, AnAddressPastedWithItsLineEndFillsTheFourBoxes) {
    Temp_Folder folder;
    App_Context ctx;
    Recording_Messages messages;
    ctx.lang.Load_Default_Texts();
    ctx.messages = &messages;
    ctx.state.Exe_Dir = folder.Path();
    TFBoot boot(ctx, nullptr);
    boot.show();
    auto* first = boot.findChild<QLineEdit*>("E_IP1");
    ASSERT_NE(first, nullptr);
    first->selectAll();
    first->insert("192.168.0.5\r\n");
    QStringList boxes;
    for (int i = 1; i <= 4; ++i)
        boxes << boot.findChild<QLineEdit*>(QStringLiteral("E_IP%1").arg(i))->text();
    EXPECT_EQ(boxes, (QStringList{"192", "168", "0", "5"}));
}

} // namespace
