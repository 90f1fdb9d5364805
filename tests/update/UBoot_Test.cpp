#include "main_window/Tessaro_App.h"
#include "support/Recording_Messages.h"
#include "support/Test_Files.h"
#include "support/Test_Scripts.h"
#include "update/Flashlink_File.h"
#include "update_dialog/UBoot.h"
#include "widgets/Look.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <cerrno>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>
#include <tuple>
#include <vector>

static void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

// Every echo of these tests goes to a fake or to a loopback address.

namespace {

Echo_Report Answered() {
    Echo_Report report;
    report.status = Echo_Report::Status::Reply;
    report.bytes_received = 9;
    return report;
}

Echo_Report Not_Answered() {
    return Echo_Report();
}

// Answers echo requests as the test says; answer gets the number of the request and the time
// since the first one.
class Fake_Echo : public Echo_Client {
public:
    Echo_Report Echo(const QString& address, const QByteArray& data, int timeout_ms) override {
        if (addresses.empty())
            since_first.start();
        addresses.push_back(address);
        this->data.push_back(data);
        timeouts.push_back(timeout_ms);
        return answer(static_cast<int>(addresses.size()) - 1, since_first.elapsed());
    }

    std::function<Echo_Report(int, qint64)> answer = [](int, qint64) { return Answered(); };
    std::vector<QString> addresses;
    std::vector<QByteArray> data;
    std::vector<int> timeouts;
    QElapsedTimer since_first;
};

class Fake_Launcher : public Program_Launcher {
public:
    void Start_Program(const QString& program, const QString& parameters, bool hidden) override {
        calls.emplace_back(program, parameters, hidden);
    }
    std::vector<std::tuple<QString, QString, bool>> calls;
};

class Boot_Dialog : public ::testing::Test {
protected:
    void SetUp() override {
        ctx.messages = &messages;
        ctx.echo_client = echo;
        ctx.launcher = launcher;
        ctx.lang.Load_Default_Texts();
        App_State& state = ctx.state;
        state.Exe_Dir = folder.Path();
        state.Master_Dir = folder.File("MASTER");
        state.Project_Dir = folder.File("PROJECTS/Plant 1");
        state.SW_Code = "VC40362";
        // The update looks for the updater's file before the (fake) launcher starts it.
        Write_Script(Updater_Program_Path(folder.Path()), "exit 0\n");
        boot = std::make_unique<TFBoot>(ctx, nullptr);
    }

    template <typename T = QWidget> T* Control(const char* name) {
        T* control = boot->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(control, nullptr) << name;
        return control;
    }
    QLineEdit* Box(int i) { return Control<QLineEdit>(("E_IP" + std::to_string(i + 1)).c_str()); }
    QStringList Boxes() { return {Box(0)->text(), Box(1)->text(), Box(2)->text(), Box(3)->text()}; }
    void Set_Boxes(const QStringList& texts) {
        for (int i = 0; i < 4; ++i)
            Box(i)->setText(texts[i]);
    }
    QComboBox* Options() { return Control<QComboBox>("CB_Update_Options"); }
    QCheckBox* Read_Back() { return Control<QCheckBox>("CB_Update_Option_Read_Back"); }
    void Reopen() {
        boot->hide();
        boot->show();
    }

    Temp_Folder folder;
    Recording_Messages messages;
    std::shared_ptr<Fake_Echo> echo = std::make_shared<Fake_Echo>();
    std::shared_ptr<Fake_Launcher> launcher = std::make_shared<Fake_Launcher>();
    App_Context ctx;
    std::unique_ptr<TFBoot> boot;
};

TEST_F(Boot_Dialog, StacksItsFourPanelsInA449By230Window) {
    boot->show();
    EXPECT_EQ(boot->size(), QSize(449, 230));
    EXPECT_EQ(boot->minimumSize(), boot->maximumSize());
    const struct {
        const char* name;
        QRect geometry;
    } panels[] = {{"P_Title", {0, 0, 449, 69}},
                  {"P_IP_Address", {0, 69, 449, 49}},
                  {"P_Options", {0, 118, 449, 72}},
                  {"P_Button", {0, 190, 449, 40}}};
    for (const auto& panel : panels)
        EXPECT_EQ(Control(panel.name)->geometry(), panel.geometry) << panel.name;
    EXPECT_EQ(Control<QLabel>("L_SW_Code")->parentWidget()->objectName(), "P_Title");
    EXPECT_EQ(Box(3)->parentWidget()->objectName(), "P_IP_Address");
    EXPECT_EQ(Read_Back()->parentWidget()->objectName(), "P_Options");
    EXPECT_EQ(Control("Btn_Update")->parentWidget()->objectName(), "P_Button");

    // Keyboard order: the four boxes, the list, the check box, Cancel, Update.
    QStringList order;
    QWidget* widget = Box(0);
    do {
        if (widget->focusPolicy() & Qt::TabFocus)
            order << widget->objectName();
        widget = widget->nextInFocusChain();
    } while (widget != Box(0));
    EXPECT_EQ(order, QStringList({"E_IP1", "E_IP2", "E_IP3", "E_IP4", "CB_Update_Options",
                                  "CB_Update_Option_Read_Back", "Btn_Cancel", "Btn_Update"}));
}

TEST_F(Boot_Dialog, TakesItsTextsFromTheTableAtEveryShowing) {
    boot->show();
    EXPECT_EQ(boot->windowTitle(), "Update Device by Ethernet (UDP)");
    EXPECT_EQ(Control<QLabel>("L_SW_Code")->text(), "VC40362");
    EXPECT_EQ(Control<QLabel>("L_SW_Desc")->text(), "Update Device Using the Ethernet Port");
    EXPECT_EQ(Control<QLabel>("L_IP_Address")->text(), "Insert the IP Address of Device");
    EXPECT_EQ(Control<QLabel>("L_Update_Option")->text(), "Select Update Options");
    EXPECT_EQ(Read_Back()->text(), "Read Back");
    EXPECT_EQ(Control<QPushButton>("Btn_Cancel")->text(), "Cancel");
    EXPECT_EQ(Control<QPushButton>("Btn_Update")->text(), "Execute Update Firmware");
    const struct {
        const char* name;
        const char* hint;
    } hints[] = {
        {"E_IP1", "Insert first byte of IP Address"},
        {"E_IP2", "Insert second byte of IP Address"},
        {"E_IP3", "Insert third byte of IP Address"},
        {"E_IP4", "Insert fourth byte of IP Address"},
        {"CB_Update_Options", "Select the operation to do in update"},
        {"CB_Update_Option_Read_Back",
         "Enable or disable the possibility to read back the Firmware/Configuration"},
        {"Btn_Cancel", "Exit without to do the Update"},
        {"Btn_Update", "Start the update of Device"},
    };
    for (const auto& h : hints)
        EXPECT_EQ(look::Hint_Of(Control(h.name)), h.hint) << h.name;
    const auto entries = [this] {
        QStringList items;
        for (int i = 0; i < Options()->count(); ++i)
            items << Options()->itemText(i);
        return items;
    };
    EXPECT_EQ(entries(), QStringList({"Firmware + Configuration", "Firmware", "Configuration"}));

    // Another language shows from the next showing on, without lengthening the list.
    ctx.lang.Set_Text(802, "Aggiornamento");
    ctx.lang.Set_Text(815, "Firmware + Configurazione");
    ctx.state.Update_Option_Index = 1;
    EXPECT_EQ(boot->windowTitle(), "Update Device by Ethernet (UDP)");
    Reopen();
    EXPECT_EQ(boot->windowTitle(), "Aggiornamento");
    EXPECT_EQ(entries(), QStringList({"Firmware + Configurazione", "Firmware", "Configuration"}));
    EXPECT_EQ(Options()->currentIndex(), 1);
    boot->Set_Lang();
    EXPECT_EQ(Options()->count(), 3);
    EXPECT_EQ(Options()->currentIndex(), 0);
}

TEST_F(Boot_Dialog, FillsTheBoxesFromTheLastAddressWhenItSplits) {
    EXPECT_EQ(Boxes(), QStringList({"0", "0", "0", "0"}));
    const struct {
        const char* last;
        QStringList boxes;
    } cases[] = {
        {"192.168.2.205", {"192", "168", "2", "205"}},
        {"010.001.2.3", {"010", "001", "2", "3"}},
        {"192.168.2", {"7", "7", "7", "7"}},
        {"192.168.2.256", {"7", "7", "7", "7"}},
        {"192.168.b.5", {"7", "7", "7", "7"}},
        {"1.2.3.4.5", {"7", "7", "7", "7"}},
        {"", {"7", "7", "7", "7"}},
    };
    for (const auto& c : cases) {
        boot->hide();
        Set_Boxes({"7", "7", "7", "7"});
        ctx.state.Last_IP_Address = QString::fromLatin1(c.last);
        boot->show();
        EXPECT_EQ(Boxes(), c.boxes) << c.last;
    }
    EXPECT_EQ(boot->focusWidget(), Box(0));
    EXPECT_EQ(Box(0)->selectedText(), Box(0)->text());
}

TEST_F(Boot_Dialog, SelectsTheRememberedOptionAndReadBack) {
    boot->show();
    EXPECT_EQ(Options()->currentIndex(), 0);
    EXPECT_FALSE(Read_Back()->isChecked());
    ctx.state.Update_Option_Index = 2;
    ctx.state.Update_Read_Back = true;
    Reopen();
    EXPECT_EQ(Options()->currentIndex(), 2);
    EXPECT_TRUE(Read_Back()->isChecked());
}

TEST_F(Boot_Dialog, ThePointKeyMovesThroughTheFourBoxes) {
    ctx.state.Last_IP_Address = "192.168.2.205";
    boot->show();
    boot->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(boot.get()));
    ASSERT_EQ(QApplication::focusWidget(), Box(0));
    for (const char key : QByteArray("10.0.0.7.."))
        QTest::keyClick(QApplication::focusWidget(), key);
    EXPECT_EQ(Boxes(), QStringList({"10", "0", "0", "7"}));
    EXPECT_EQ(QApplication::focusWidget(), Box(3));

    // Other keys are the box's own: no digit filter.
    QTest::keyClicks(Box(1), "x");
    EXPECT_EQ(Box(1)->text(), "0x");
}

TEST_F(Boot_Dialog, AWholeAddressPastedIntoTheFirstBoxFillsAllFour) {
    boot->show();
    Box(0)->selectAll();
    Box(0)->insert("10.1.2.3");
    emit Box(0)->textEdited(Box(0)->text());
    EXPECT_EQ(Boxes(), QStringList({"10", "1", "2", "3"}));
}

TEST_F(Boot_Dialog, ADeviceThatAnswersEveryEchoIsFoundAfterTwo) {
    boot->show();
    Set_Boxes({"127", "0", "0", "1"});
    EXPECT_TRUE(boot->Send_Ping());
    EXPECT_EQ(boot->ping_res, 1);
    EXPECT_EQ(echo->addresses, std::vector<QString>(2, "127.0.0.1"));
    EXPECT_EQ(echo->data, std::vector<QByteArray>(2, "127.0.0.1"));
    EXPECT_EQ(echo->timeouts, std::vector<int>(2, 400));
}

TEST_F(Boot_Dialog, ADeviceThatAnswersOnlyTheFirstEchoIsNotFoundAfter5s) {
    echo->answer = [](int request, qint64) {
        QThread::msleep(5);
        return request == 0 ? Answered() : Not_Answered();
    };
    boot->show();
    Set_Boxes({"127", "0", "0", "1"});
    QElapsedTimer clock;
    clock.start();
    boot->Btn_UpdateClick();
    EXPECT_GE(clock.elapsed(), 5000);
    EXPECT_LT(clock.elapsed(), 6500);
    EXPECT_GT(echo->addresses.size(), 3u);
    EXPECT_EQ(boot->ping_res, 2);
    ASSERT_EQ(messages.record.size(), 1u);
    EXPECT_EQ(messages.record[0].kind, Recording_Messages::Kind::Warning);
    EXPECT_EQ(messages.record[0].text, "Device Not Found!");
    // Nothing is stored, written or started.
    EXPECT_EQ(ctx.state.Last_IP_Address, "192.168.2.205");
    EXPECT_FALSE(QFile::exists(folder.File("Flashlink.xml")));
    EXPECT_TRUE(launcher->calls.empty());
}

TEST_F(Boot_Dialog, ADeviceThatAnswersTheLastEchoBeforeTheLimitIsFound) {
    // Requests time out at once until 4.7 s; the one sent then gets its reply at 5.05 s, when
    // the check has run out of time.
    echo->answer = [](int, qint64 since_first) {
        if (since_first < 4700) {
            QThread::msleep(5);
            return Not_Answered();
        }
        QThread::msleep(static_cast<unsigned long>(std::max<qint64>(0, 5050 - since_first)));
        return Answered();
    };
    boot->show();
    Set_Boxes({"127", "0", "0", "1"});
    boot->Btn_UpdateClick();
    EXPECT_TRUE(messages.record.empty()) << messages.Texts().join("|").toStdString();
    EXPECT_EQ(boot->ping_res, 1);
    EXPECT_EQ(launcher->calls.size(), 1u);
}

TEST_F(Boot_Dialog, AnEmptyFirstBoxIsAnAddressErrorWithoutARequest) {
    int sockets_opened = 0;
    Icmp_Echo::System system;
    system.Open_Socket = [&sockets_opened](int) {
        ++sockets_opened;
        return -EPERM;
    };
    ctx.echo_client = std::make_shared<Icmp_Echo>(system);
    boot->show();
    Set_Boxes({"", "0", "0", "1"});
    boot->Btn_UpdateClick();
    EXPECT_EQ(sockets_opened, 0);
    EXPECT_EQ(boot->ping_res, 0);
    ASSERT_EQ(messages.record.size(), 1u);
    EXPECT_EQ(messages.record[0].kind, Recording_Messages::Kind::Error);
    EXPECT_EQ(messages.record[0].text, "Error!!! Check the Ip Address");
    EXPECT_TRUE(launcher->calls.empty());
}

TEST_F(Boot_Dialog, AnEchoTheSystemRefusesShowsItsReasonUnderTheMessage) {
    echo->answer = [](int, qint64) {
        Echo_Report report;
        report.status = Echo_Report::Status::Failed;
        report.reason = "The system does not permit this user to send ICMP echo requests";
        return report;
    };
    boot->show();
    Set_Boxes({"127", "0", "0", "1"});
    boot->Btn_UpdateClick();
    ASSERT_EQ(messages.record.size(), 1u);
    EXPECT_EQ(messages.record[0].kind, Recording_Messages::Kind::Error);
    EXPECT_EQ(messages.record[0].text, "Error!!! Check the Ip Address\nThe system does not "
                                       "permit this user to send ICMP echo requests");
}

TEST_F(Boot_Dialog, AnUpdateRemembersTheChoicesWritesTheFileAndStartsTheUpdater) {
    boot->show();
    Set_Boxes({"127", " 0", "00", "1"});
    Options()->setCurrentIndex(2);
    Read_Back()->setChecked(true);
    Control<QPushButton>("Btn_Update")->click();

    EXPECT_TRUE(messages.record.empty()) << messages.Texts().join("|").toStdString();
    EXPECT_EQ(ctx.state.Last_IP_Address, "127. 0.00.1");
    EXPECT_EQ(ctx.state.Update_Option_Index, 2);
    EXPECT_TRUE(ctx.state.Update_Read_Back);
    Flashlink_Request expected;
    expected.IP_Address = "127. 0.00.1";
    expected.Update_Option = 2;
    expected.Read_Back = true;
    expected.Master_Dir = ctx.state.Master_Dir;
    expected.Project_Dir = ctx.state.Project_Dir;
    EXPECT_EQ(Read_Bytes(folder.File("Flashlink.xml")), Flashlink_Bytes(expected));
    ASSERT_EQ(launcher->calls.size(), 1u);
    EXPECT_EQ(launcher->calls[0],
              std::make_tuple(Updater_Program_Path(folder.Path()), QString(), false));
    EXPECT_TRUE(boot->isVisible());

    // Reopened later, the dialog shows what was used; Cancel without an update keeps it.
    for (int i = 0; i < 2; ++i) {
        Set_Boxes({"9", "9", "9", "9"});
        Options()->setCurrentIndex(0);
        Read_Back()->setChecked(false);
        Control<QPushButton>("Btn_Cancel")->click();
        EXPECT_FALSE(boot->isVisible());
        EXPECT_EQ(boot->result(), QDialog::Rejected);
        boot->show();
        EXPECT_EQ(Boxes(), QStringList({"127", "0", "00", "1"}));
        EXPECT_EQ(Options()->currentIndex(), 2);
        EXPECT_TRUE(Read_Back()->isChecked());
    }
}

TEST_F(Boot_Dialog, ASecondClickWhileTheCheckRunsIsIgnored) {
    QPushButton* update = Control<QPushButton>("Btn_Update");
    echo->answer = [update](int request, qint64) {
        if (request == 0)
            QTimer::singleShot(0, update, &QPushButton::click);
        return Answered();
    };
    boot->show();
    Set_Boxes({"127", "0", "0", "1"});
    update->click();
    EXPECT_EQ(echo->addresses.size(), 2u);
    EXPECT_EQ(launcher->calls.size(), 1u);
    EXPECT_TRUE(messages.record.empty());
    EXPECT_FALSE(boot->Busy());
}

TEST_F(Boot_Dialog, WhileTheCheckRunsTheAddressAndOptionsCannotChange) {
    bool locked = false;
    echo->answer = [this, &locked](int request, qint64) {
        if (request == 0) {
            locked = Box(0)->isReadOnly() && Box(3)->isReadOnly() && !Options()->isEnabled() &&
                     !Read_Back()->isEnabled();
            QTest::keyClicks(Box(3), "9");
        }
        return Answered();
    };
    boot->show();
    Set_Boxes({"127", "0", "0", "1"});
    boot->Btn_UpdateClick();
    EXPECT_TRUE(locked);
    EXPECT_EQ(ctx.state.Last_IP_Address, "127.0.0.1");
    EXPECT_FALSE(Box(0)->isReadOnly());
    EXPECT_TRUE(Options()->isEnabled());
    EXPECT_TRUE(Read_Back()->isEnabled());
}

TEST_F(Boot_Dialog, ClosingTheDialogDuringTheCheckDropsTheUpdate) {
    TFBoot* dialog = boot.get();
    echo->answer = [dialog](int, qint64) {
        QTimer::singleShot(0, dialog, &QDialog::reject);
        return Answered();
    };
    boot->show();
    Set_Boxes({"127", "0", "0", "1"});
    boot->Btn_UpdateClick();
    EXPECT_FALSE(boot->isVisible());
    EXPECT_EQ(echo->addresses.size(), 1u);
    EXPECT_TRUE(messages.record.empty());
    EXPECT_TRUE(launcher->calls.empty());
    EXPECT_EQ(ctx.state.Last_IP_Address, "192.168.2.205");
    EXPECT_FALSE(QFile::exists(folder.File("Flashlink.xml")));
}

TEST_F(Boot_Dialog, AParameterFileThatCannotBeWrittenIsShownAndNothingStarts) {
    ctx.state.Exe_Dir = folder.File("gone");
    boot->show();
    Set_Boxes({"127", "0", "0", "1"});
    Control<QPushButton>("Btn_Update")->click();
    ASSERT_EQ(messages.record.size(), 1u);
    EXPECT_EQ(messages.record[0].kind, Recording_Messages::Kind::Error);
    EXPECT_TRUE(messages.record[0].text.startsWith("Flashlink.xml: cannot be written: "))
        << messages.record[0].text.toStdString();
    EXPECT_TRUE(launcher->calls.empty());
    EXPECT_TRUE(boot->isVisible());
    EXPECT_FALSE(boot->Busy());
    EXPECT_FALSE(Box(0)->isReadOnly());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// After a successful ping, an updater that is not where it is looked for is reported with the
// places searched; the address is remembered, Flashlink.xml written and the launch asked for
// all the same.
TEST_F(Boot_Dialog, AMissingUpdaterIsReportedWithThePlacesSearched) {
    QFile::remove(Updater_Program_Path(folder.Path()));
    const QString bin = folder.File("usr/bin");
    const QString data = folder.File("home/Tessaro");
    const struct {
        const char* name;
        bool installed;
        QString exe_dir;
        QString data_dir;
        QString searched;
        QString parameter_file;
    } cases[] = {
        {"program folder", false, folder.Path(), QString(), "    " + folder.Path(),
         folder.File("Flashlink.xml")},
        {"installed program", true, bin, data, "    " + bin + "\n    " + data,
         data + "/Flashlink.xml"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QDir().mkpath(bin);
        QDir().mkpath(data);
        messages.Clear();
        ctx.state.Installed = c.installed;
        ctx.state.Exe_Dir = c.exe_dir;
        ctx.state.Data_Dir = c.data_dir;
        ctx.state.Last_IP_Address = "192.168.2.205";
        boot->show();
        Set_Boxes({"127", "0", "0", "1"});
        Control<QPushButton>("Btn_Update")->click();

        ASSERT_EQ(messages.record.size(), 1u);
        EXPECT_EQ(messages.record[0].kind, Recording_Messages::Kind::Error);
        // The updater's name and the folders as the system writes them (Flashlink.exe and
        // backslashes on Windows).
        EXPECT_EQ(messages.record[0].text,
                  "The updater was not found: " + Updater_Program_Name() + "\nLooked for it in:\n" +
                      QDir::toNativeSeparators(c.searched) +
                      "\nPut the updater supplied with the device there and start the update "
                      "again.\nParameter file written: " +
                      QDir::toNativeSeparators(c.parameter_file));
        // The launch is still asked for where the updater belongs, as without the report.
        ASSERT_EQ(launcher->calls.size(), 1u);
        EXPECT_EQ(std::get<0>(launcher->calls[0]), Updater_Program_Path(c.exe_dir));
        launcher->calls.clear();
        EXPECT_EQ(ctx.state.Last_IP_Address, "127.0.0.1");
        EXPECT_TRUE(Read_Text(c.parameter_file).contains("<IP_Address_Dev>127.0.0.1<"));
        EXPECT_TRUE(QDir(bin).isEmpty());
        EXPECT_TRUE(boot->isVisible());
        EXPECT_FALSE(boot->Busy());
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        QFile::remove(c.parameter_file);
    }
}

// An updater that exists but cannot be started: the system's reason is shown.
TEST_F(Boot_Dialog, AnUpdaterThatCannotStartIsReportedWithTheSystemsReason) {
    ctx.launcher = std::make_shared<Qt_Program_Launcher>(20000);
    const QString program = Updater_Program_Path(folder.Path());
    QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner);
    boot->show();
    Set_Boxes({"127", "0", "0", "1"});
    Control<QPushButton>("Btn_Update")->click();
    ASSERT_EQ(messages.record.size(), 1u);
    EXPECT_EQ(messages.record[0].kind, Recording_Messages::Kind::Error);
    const QStringList lines = messages.record[0].text.split('\n');
    ASSERT_EQ(lines.size(), 3) << messages.record[0].text.toStdString();
    EXPECT_EQ(lines[0], "The updater could not be started: " + program);
    EXPECT_TRUE(lines[1].startsWith("Reason: ")) << lines[1].toStdString();
    EXPECT_TRUE(lines[1].contains("Permission denied")) << lines[1].toStdString();
    EXPECT_EQ(lines[2], "Parameter file written: " + folder.File("Flashlink.xml"));
    EXPECT_TRUE(QFile::exists(folder.File("Flashlink.xml")));
    EXPECT_EQ(ctx.state.Last_IP_Address, "127.0.0.1");
}

// An installed program starts the updater of the user's data folder when none lies beside the
// executable, and writes Flashlink.xml beside it, where the updater reads it.
TEST_F(Boot_Dialog, AnInstalledProgramStartsTheUpdaterInTheDataFolder) {
    ctx.launcher = std::make_shared<Qt_Program_Launcher>(20000);
    const QString bin = folder.File("usr/bin");
    const QString data = folder.File("home/Tessaro");
    QDir().mkpath(bin);
    ctx.state.Installed = true;
    ctx.state.Exe_Dir = bin;
    ctx.state.Data_Dir = data;
    Write_Script(Updater_Program_Path(data),
                 "cp \"$(dirname \"$0\")/Flashlink.xml\" '" + folder.File("seen.xml") + "'\n");
    boot->show();
    Set_Boxes({"127", "0", "0", "1"});
    Control<QPushButton>("Btn_Update")->click();
    EXPECT_TRUE(messages.record.empty()) << messages.Texts().join("|").toStdString();
    EXPECT_TRUE(Read_Text(folder.File("seen.xml")).contains("<IP_Address_Dev>127.0.0.1<"));
    EXPECT_TRUE(QDir(bin).isEmpty());
}

// The whole road from the main window's "Update Device" step: a real echo to the loopback
// address and a fake updater beside the executable.
TEST(Update_Device, OpensTheUpdateDialogWhichStartsTheUpdaterBesideTheExecutable) {
    Temp_Folder folder;
    Recording_Messages messages;
    const QString log = folder.File("updater.log");
    Write_Script(Updater_Program_Path(folder.Path()), "echo \"run $#\" >> '" + log + "'\ncp '" +
                                                          folder.File("Flashlink.xml") + "' '" +
                                                          folder.File("seen.xml") + "'\n");
    Tessaro_App app(folder.Path(), &messages, [](App_Context& context) {
        context.launcher = std::make_shared<Qt_Program_Launcher>(20000);
    });
    App_Context& ctx = app.Context();
    ctx.state.Project_Name = "Plant 1";
    ctx.state.Project_Dir = ctx.state.Project_Folder("Plant 1");
    ctx.state.Set_Files();
    ASSERT_TRUE(QDir().mkpath(ctx.state.Project_Dir + "/bin"));

    TFBoot* boot = app.Windows().Boot;
    boot->Form_Type = 0;
    int shown = 0;
    ctx.Show_Modal = [&](QDialog& dialog) {
        EXPECT_EQ(&dialog, boot);
        EXPECT_EQ(boot->Form_Type, 1);
        ++shown;
        boot->show();
        const QStringList address = {"127", "0", "0", "1"};
        for (int i = 0; i < 4; ++i)
            boot->findChild<QLineEdit*>(QStringLiteral("E_IP%1").arg(i + 1))->setText(address[i]);
        boot->findChild<QPushButton*>("Btn_Update")->click();
        boot->hide();
        return int(QDialog::Rejected);
    };
    app.Main_Window().Btn_Click(app.Main_Window().findChild<QObject*>("Btn_CreateBin"));

    EXPECT_EQ(shown, 1);
    EXPECT_TRUE(messages.record.empty()) << messages.Texts().join("|").toStdString();
    EXPECT_EQ(Read_Text(log), "run 0\n");
    EXPECT_TRUE(Read_Text(folder.File("seen.xml")).contains("<IP_Address_Dev>127.0.0.1<"));
    EXPECT_EQ(ctx.state.Last_IP_Address, "127.0.0.1");
}

TEST(Update_Device, TheMainWindowStartsProgramsThroughTheLauncher) {
    Temp_Folder folder;
    Recording_Messages messages;
    auto launcher = std::make_shared<Fake_Launcher>();
    Tessaro_App app(folder.Path(), &messages,
                    [launcher](App_Context& context) { context.launcher = launcher; });
    app.Main_Window().Start_Program("/opt/tool", "-x 1", true);
    ASSERT_EQ(launcher->calls.size(), 1u);
    EXPECT_EQ(launcher->calls[0], std::make_tuple(QString("/opt/tool"), QString("-x 1"), true));
}

} // namespace
