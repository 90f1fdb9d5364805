// The whole road of a configuration, driven through the windows as a user drives them: a first
// start on an empty folder, a new configuration, its communication settings, one read request
// and a few DMX defaults, "Update Device" with a real echo to the loopback address and a fake
// updater beside the executable, Close, and a second start that reopens the configuration.
#include "Scripted_App.h"
#include "access/Access_File.h"
#include "comm/Comm_Settings.h"
#include "comm/DMX_Default_Table.h"
#include "state/Settings.h"
#include "support/Schema_Check.h"
#include "support/Test_Scripts.h"
#include "update/Flashlink_File.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>
#include <initializer_list>
#include <memory>

namespace {

// The image that the flow below compiles. Every byte of it is checked by hand against the
// layout of bank.bin in End_To_End_Reference.HoldsTheHandCheckedBytes.
const QString Reference_Image = QStringLiteral(TESSARO_TEST_DATA "/End_To_End_Bank.bin");

constexpr int Bank_Size = 35328;
constexpr int Settings_Offset = 32768;
constexpr int DMX_Offset = 34816;

// The first offset at which two images differ, -1 when they are equal.
qsizetype First_Difference(const QByteArray& a, const QByteArray& b) {
    const qsizetype common = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < common; ++i)
        if (a[i] != b[i])
            return i;
    return a.size() == b.size() ? -1 : common;
}

// Selects what an edit holds and types text over it.
void Type_Over(QLineEdit* edit, const QString& text) {
    ASSERT_NE(edit, nullptr);
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, text);
    ASSERT_EQ(edit->text(), text);
}

// Opens the editor of a table cell and types text into it, or picks the text from a list
// editor, then closes the editor with the Enter key.
void Type_In_Cell(QTableView* table, int row, int column, const QString& text) {
    ASSERT_NE(table, nullptr);
    const QModelIndex index = table->model()->index(row, column);
    table->setCurrentIndex(index);
    table->edit(index);
    QWidget* editor = table->indexWidget(index);
    ASSERT_NE(editor, nullptr) << row << "," << column;
    if (auto* list = qobject_cast<QComboBox*>(editor)) {
        const int item = list->findText(text);
        ASSERT_GE(item, 0) << text.toStdString();
        list->setCurrentIndex(item);
    } else {
        auto* line = qobject_cast<QLineEdit*>(editor);
        ASSERT_NE(line, nullptr);
        line->selectAll();
        QTest::keyClicks(line, text);
    }
    // Enter ends the editor; the table takes its text as soon as events are processed.
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();
    ASSERT_EQ(table->indexWidget(index), nullptr) << "the editor is closed";
    ASSERT_EQ(index.data(Qt::EditRole).toString(), text) << row << "," << column;
}

class End_To_End : public Scripted_App {
protected:
    End_To_End() {
        // The fake updater records that it ran, with how many arguments, and keeps a copy of the
        // parameter file it was given.
        Write_Script(Updater_Program_Path(folder.Path()),
                     "echo \"ran with $# arguments\" >> '" + folder.File("updater.log") +
                         "'\ncp '" + folder.File("Flashlink.xml") + "' '" +
                         folder.File("updater-saw.xml") + "'\n");
    }
    // The real echo client (this test only ever pings 127.0.0.1) and the real launcher.
    void Start() {
        Scripted_App::Start(
            [](App_Context& ctx) { ctx.launcher = std::make_shared<Qt_Program_Launcher>(20000); });
    }
    QString Project_File(const QString& name) const {
        return folder.File(QStringLiteral("PROJECTS/Plant A/") + name);
    }
};

TEST_F(End_To_End, FromAFirstStartToAnUpdatedDeviceAndBack) {
    // ---- first start on an empty folder
    Start();
    for (const char* sub : {"MASTER", "PROJECTS", "LANGUAGE"})
        EXPECT_TRUE(QDir(folder.File(sub)).exists()) << sub;
    EXPECT_EQ(Label("L_Name_Conf"), "None Configuration Opened ");

    // ---- Step 1: New Configuration
    scripts["TFNew_Project"] = [](QDialog& dialog) {
        QTest::keyClicks(Child<QLineEdit>(dialog, "E_New_Proj"), "Plant A");
        Child<QPushButton>(dialog, "Btn_OK")->click();
    };
    Click("Btn_New");
    ASSERT_TRUE(QDir(folder.File("PROJECTS/Plant A/bin")).exists());
    EXPECT_EQ(Label("L_Name_Conf"), "Opened Configuration of the Converter : ");
    EXPECT_EQ(Label("L_Name_Conf_L2"), "Plant A");

    // ---- Step 2: Set Communication. DMX OUT stays; 64 channels, a time-out of 2500 ms, the
    // address 192.168.0.77 and the gateway switched on.
    scripts["TFParGen"] = [](QDialog& dialog) {
        EXPECT_EQ(Child<QComboBox>(dialog, "CB_DMX_DMX")->currentText(), "OUT");
        Type_Over(Child<QLineEdit>(dialog, "E_DMX_Num_Channel"), "64");
        Type_Over(Child<QLineEdit>(dialog, "E_TO_Modbus_TCP_Master"), "2500");
        Type_Over(Child<QLineEdit>(dialog, "E_IP4_Modbus_TCP_Master"), "77");
        Child<QCheckBox>(dialog, "CB_En_GAT_Modbus_TCP_Master")->click();
        Child<QPushButton>(dialog, "Btn_OK")->click();
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
    };
    Click("Btn_Prm_Gen");
    Comm_Settings comm;
    comm.DMX_Num_Channels = "64";
    comm.Modbus_TCP_Master_TimeOut = "2500";
    comm.Modbus_TCP_Master_IP4 = "77";
    comm.Modbus_TCP_Master_EN_GAT = "1";
    EXPECT_EQ(Load_Comm_Settings(Project_File("ParGen.xml")), comm);

    // ---- Step 3: Set Access. The DMX role shows the read table; one request typed into slot 1.
    const QStringList request = {
        "Y", "192.168.0.20", "502", "17", "Holding Register", "40", "10", "1000", "3", "4", "0",
        "Y", "Boiler temps"};
    scripts["TFModbus_TCP_Master_Set_Access"] = [&request](QDialog& dialog) {
        auto* read = Child<QTableView>(dialog, "ACG_Modbus_Read");
        ASSERT_TRUE(read->isVisible());
        EXPECT_EQ(read->model()->index(0, 1).data(Qt::EditRole).toString(), "Y");
        for (int column = 2; column <= 13; ++column)
            if (column != 12)
                Type_In_Cell(read, 0, column, request[column - 1]);
        // Swap is a check box: the space bar ticks it.
        read->setFocus();
        read->setCurrentIndex(read->model()->index(0, 12));
        QTest::keyClick(read, Qt::Key_Space);
        Child<QPushButton>(dialog, "Btn_OK")->click();
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
    };
    Click("Btn_ModM_SetAccess");
    EXPECT_TRUE(messages.record.empty()) << Messages_Text();
    Access_Table access;
    Load_Access_File(Project_File("ModbusTCPM_SetAccess.xml"), access);
    EXPECT_EQ(access.Read.Row(1), request);
    EXPECT_EQ(access.Read.Used_Count(), 1);
    EXPECT_EQ(access.Write.Used_Count(), 0);

    // ---- Step 4: DMX Default Value. The table has the 64 channels; three values and a name.
    scripts["TFDMXDefVal"] = [](QDialog& dialog) {
        auto* grid = Child<QTableView>(dialog, "ACG_DMX_Def_Val");
        ASSERT_EQ(grid->model()->rowCount(), 64);
        Type_In_Cell(grid, 0, 1, "255");
        Type_In_Cell(grid, 0, 2, "Dimmer 1");
        Type_In_Cell(grid, 1, 1, "128");
        Type_In_Cell(grid, 63, 1, "7");
        Child<QPushButton>(dialog, "Btn_OK")->click();
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
    };
    Click("Btn_DMX_Default");
    const DMX_Default_Table dmx =
        Load_DMX_Defaults(Project_File("ParGen.xml"), Project_File("DMX_Default_Values.xml"));
    ASSERT_EQ(dmx.Row_Count(), 64);
    EXPECT_EQ(dmx.Rows[0], (DMX_Default_Row{"255", "Dimmer 1"}));
    EXPECT_EQ(dmx.Rows[1], (DMX_Default_Row{"128", ""}));
    EXPECT_EQ(dmx.Rows[2], (DMX_Default_Row{"0", ""}));
    EXPECT_EQ(dmx.Rows[63], (DMX_Default_Row{"7", ""}));

    // ---- Step 5: Update Device. The image is written before the update dialog opens; the
    // dialog pings 127.0.0.1 with the real echo client and starts the updater.
    QByteArray image_at_dialog;
    scripts["TFBoot"] = [&](QDialog& dialog) {
        image_at_dialog = Read_Bytes(Project_File("bin/bank.bin"));
        const char* boxes[] = {"E_IP1", "E_IP2", "E_IP3", "E_IP4"};
        const char* parts[] = {"127", "0", "0", "1"};
        // Never the default device address: the boxes are set before anything is sent.
        for (int i = 0; i < 4; ++i)
            Type_Over(Child<QLineEdit>(dialog, boxes[i]), parts[i]);
        Child<QPushButton>(dialog, "Btn_Update")->click();
        EXPECT_TRUE(dialog.isVisible()) << "the dialog stays open after the update";
    };
    Click("Btn_CreateBin");
    EXPECT_TRUE(messages.record.empty()) << Messages_Text();
    EXPECT_EQ(shown.last(), "TFBoot");

    const QByteArray reference = Read_Bytes(Reference_Image);
    ASSERT_EQ(reference.size(), Bank_Size);
    ASSERT_EQ(image_at_dialog.size(), Bank_Size);
    EXPECT_EQ(First_Difference(image_at_dialog, reference), -1);

    EXPECT_EQ(Read_Text(folder.File("updater.log")), "ran with 0 arguments\n");
    const QString handed = Read_Text(folder.File("updater-saw.xml"));
    EXPECT_TRUE(handed.contains("<IP_Address_Dev>127.0.0.1</IP_Address_Dev>"))
        << handed.toStdString();
    EXPECT_TRUE(handed.contains("<Ope_FileName>" +
                                QDir::toNativeSeparators(Project_File("bin/bank.bin")) +
                                "</Ope_FileName>"))
        << handed.toStdString();
    EXPECT_EQ(app->Context().state.Last_IP_Address, "127.0.0.1");

    // ---- Close: the settings file keeps the configuration and the address.
    Click("Btn_Close");
    EXPECT_FALSE(window->isVisible());
    App_State saved;
    saved.Exe_Dir = folder.Path();
    EXPECT_EQ(Load_Setting(saved), std::nullopt);
    EXPECT_EQ(saved.Project_Name, "Plant A");
    EXPECT_EQ(saved.Last_IP_Address, "127.0.0.1");
    EXPECT_EQ(saved.Language, "English");

    // Every XML file of the flow has the form its schema gives.
    Expect_Valid_Xml(Project_File("ParGen.xml"), "ParGen.xsd");
    Expect_Valid_Xml(Project_File("ModbusTCPM_SetAccess.xml"), "ModbusTCPM_SetAccess.xsd");
    Expect_Valid_Xml(Project_File("DMX_Default_Values.xml"), "DMX_Default_Values.xsd");
    Expect_Valid_Xml(folder.File("Flashlink.xml"), "Flashlink.xsd");
    Expect_Valid_Xml(folder.File("Tessaro.xml"), "Tessaro.xsd");

    // ---- Second start: the configuration is open again, its files are read again, and the
    // update dialog offers the address that answered.
    app.reset();
    shown.clear();
    Start();
    EXPECT_EQ(Label("L_Name_Conf"), "Opened Configuration of the Converter : ");
    EXPECT_EQ(Label("L_Name_Conf_L2"), "Plant A");
    EXPECT_EQ(app->Context().state.Project_Dir, folder.File("PROJECTS/Plant A"));

    QString time_out;
    scripts["TFParGen"] = [&](QDialog& dialog) {
        time_out = Child<QLineEdit>(dialog, "E_TO_Modbus_TCP_Master")->text();
    };
    Click("Btn_Prm_Gen");
    EXPECT_EQ(time_out, "2500");

    QStringList boxes_shown;
    scripts["TFBoot"] = [&](QDialog& dialog) {
        for (const char* box : {"E_IP1", "E_IP2", "E_IP3", "E_IP4"})
            boxes_shown.append(Child<QLineEdit>(dialog, box)->text());
    };
    Click("Btn_CreateBin");
    EXPECT_EQ(boxes_shown, QStringList({"127", "0", "0", "1"}));
    EXPECT_EQ(First_Difference(Read_Bytes(Project_File("bin/bank.bin")), reference), -1);
    EXPECT_EQ(Read_Text(folder.File("updater.log")), "ran with 0 arguments\n") << "not run again";
    EXPECT_TRUE(messages.record.empty()) << Messages_Text();
    EXPECT_EQ(shown, QStringList({"TFParGen", "TFBoot"}));
}

// The reference image, byte by byte, from the values the flow above types and the layout of
// bank.bin: one 32-byte request record, the settings block with its byte sum, the DMX bytes;
// every other byte is zero.
TEST(End_To_End_Reference, HoldsTheHandCheckedBytes) {
    const QByteArray image = Read_Bytes(Reference_Image);
    ASSERT_EQ(image.size(), Bank_Size);

    QByteArray expected(Bank_Size, '\0');
    const auto put = [&expected](int offset, std::initializer_list<int> bytes) {
        for (int byte : bytes)
            expected[offset++] = static_cast<char>(byte);
    };
    // Request record 0: Position 4, Bit 0, PollTime 1000, Slave_ID 17, function 3 (holding
    // registers), Address 40, NPoint 10, Port 502, IP 192.168.0.20 (stored 20, 0, 168, 192),
    // MaxError 3, Byte_Count 20, flags 0x04 (Swap).
    put(0, {0x04, 0x00, 0x00, 0x00, 0xE8, 0x03, 0x00, 0x00, 0x11, 0x03, 0x28,
            0x00, 0x0A, 0x00, 0xF6, 0x01, 0x14, 0x00, 0xA8, 0xC0, 0x00, 0x00,
            0x00, 0x00, 0x03, 0x00, 0x00, 0x00, 0x00, 0x00, 0x14, 0x04});
    // Settings block.
    const int s = Settings_Offset;
    put(s + 0, {0x48, 0xE8, 0x01, 0x00});   // 125000
    put(s + 12, {0x80, 0x25, 0x00, 0x00});  // 9600
    put(s + 16, {0x08, 0x00});              // 8
    put(s + 32, {0xC4, 0x09, 0x00, 0x00});  // time-out 2500 ms
    put(s + 36, {0x64, 0x00, 0x00, 0x00});  // cyclic delay 100 ms
    put(s + 40, {192, 168, 0, 77});         // converter address
    put(s + 44, {255, 255, 255, 0});        // subnet mask
    put(s + 48, {192, 168, 0, 1});          // gateway, enabled
    put(s + 52, {0x10, 0x27});              // 10000
    put(s + 54, {0x11, 0x27, 0x11, 0x27});  // 10001, 10001
    put(s + 60, {0x80, 0x25, 0x00, 0x00});  // 9600
    put(s + 64, {0x08, 0x00});              // 8
    put(s + 72, {0x01, 0x00, 0x00, 0x00});  // one request
    put(s + 196, {0x00, 0x00, 0x06, 0x00}); // image flash address 0x60000
    put(s + 436, {8, 8, 8, 8, 8, 8, 8, 8});
    put(s + 476, {0x00, 0x00});             // DMX IN channels
    put(s + 478, {0x40, 0x00});             // DMX OUT channels: 64
    put(s + 480, {0x00, 0x88, 0x06, 0x00}); // 0x68800
    // The byte sum of block offsets 0 to 2043: 305 + 165 + 8 + 205 + 100 + 437 + 765 + 361 + 55
    // + 56 + 56 + 165 + 8 + 1 + 6 + 64 + 64 + 142 = 2963 = 0x0B93.
    put(s + 2044, {0x93, 0x0B, 0x00, 0x00});
    // DMX defaults: channel 1 255, channel 2 128, channel 64 7.
    put(DMX_Offset, {255, 128});
    put(DMX_Offset + 63, {7});

    EXPECT_EQ(First_Difference(image, expected), -1);
    quint32 sum = 0;
    for (int i = s; i < s + 2044; ++i)
        sum += static_cast<quint8>(image[i]);
    EXPECT_EQ(sum, 2963u);
}

} // namespace
