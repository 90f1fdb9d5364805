#include "Live_Rows.h"
#include "Test_Slave.h"
#include "access/Access_File.h"
#include "access_dialog/UModbus_TCP_Master_Set_Access.h"
#include "support/Recording_Messages.h"
#include "support/Test_Files.h"

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

constexpr auto Holding = QModbusDataUnit::HoldingRegisters;

class Test_Row : public ::testing::Test {
protected:
    Test_Row() {
        ctx.lang.Load_Default_Texts();
        ctx.messages = &messages;
        ctx.state.SW_Code = "VC40362";
        ctx.state.Project_Dir = folder.Path();
        ctx.state.Set_Files();
    }
    ~Test_Row() override {
        if (window)
            window->hide();
    }

    // The configuration on disk, then the window shown on its row 1 (slot 1).
    void Show(const char* dmx, const QStringList& row, const char* values = nullptr) {
        Write_Text(ctx.state.ParGen_File,
                   QStringLiteral("<Par_Gen><DMX_DMX>%1</DMX_DMX><Modbus_TCP_Master_TimeOut>300"
                                  "</Modbus_TCP_Master_TimeOut></Par_Gen>")
                       .arg(dmx));
        if (values)
            Write_Text(ctx.state.DMX_Default_Values_File, values);
        Access_Table access;
        access.Reset_Access_Table();
        Put_Row(QString(dmx) == "1" ? access.Read : access.Write, 1, row);
        Save_Access_File(ctx.state.ModbusTCPM_SetAccess_File, access);
        window = std::make_unique<TFModbus_TCP_Master_Set_Access>(ctx, nullptr);
        window->show();
        QApplication::processEvents();
        QTableView* table = window->Active_Table();
        table->setCurrentIndex(table->model()->index(0, 2));
    }
    // Test Row pressed; waits for its message.
    Recording_Messages::Entry Press() {
        messages.Clear();
        QTest::mouseClick(window->Btn_Test_Row, Qt::LeftButton);
        EXPECT_TRUE(Wait_For([&] { return !messages.record.empty(); }));
        EXPECT_TRUE(window->Btn_Test_Row->isEnabled());
        return messages.record.empty() ? Recording_Messages::Entry{} : messages.record.back();
    }

    Temp_Folder folder;
    Recording_Messages messages;
    App_Context ctx;
    std::unique_ptr<TFModbus_TCP_Master_Set_Access> window;
};

TEST_F(Test_Row, TheButtonStandsRightOfTheSpecifiedButtons) {
    TFModbus_TCP_Master_Set_Access dialog(ctx, nullptr);
    Styled_Button* button = dialog.findChild<Styled_Button*>("Btn_Test_Row");
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->parentWidget()->objectName(), "P_Button");
    EXPECT_EQ(button->geometry(), QRect(818, 6, 90, 28));
    EXPECT_EQ(button->text(), "Test Row");
    EXPECT_EQ(button->Hint(), "Send the request of the selected row once and show the answer");
    EXPECT_EQ(dialog.findChild<Styled_Button*>("Btn_PasteRow")->geometry(), QRect(606, 6, 110, 28));
}

TEST_F(Test_Row, AReadRowShowsTheValuesAndWhereTheyLand) {
    Test_Slave slave;
    ASSERT_TRUE(slave.Listen());
    slave.Set(Holding, 7, 1234);
    slave.Set(Holding, 8, 0xBEEF);
    Show("1",
         Read_Row({.port = slave.Port(), .address = 7, .npoint = 2, .position = 4, .swap = true}));
    const auto entry = Press();
    EXPECT_EQ(entry.kind, Recording_Messages::Kind::Information);
    const QString text = entry.text;
    EXPECT_TRUE(text.startsWith(
        QStringLiteral(
            "Row 1: 127.0.0.1:%1, unit 1, Holding Register from address 7, 2 points (function 3)")
            .arg(slave.Port())))
        << text.toStdString();
    EXPECT_TRUE(text.contains("7: 1234 (0x04D2)")) << text.toStdString();
    EXPECT_TRUE(text.contains("8: 48879 (0xBEEF)")) << text.toStdString();
    // Swapped: 0x04D2 lands as D2 04, 0xBEEF as EF BE on channels 5..8.
    EXPECT_TRUE(
        text.contains("In the data array: channels 5 to 8\n5 = 210,  6 = 4,  7 = 239,  8 = 190"))
        << text.toStdString();
    EXPECT_EQ(slave.Writes(), 0);
}

TEST_F(Test_Row, AWriteRowIsOnlyReadBack) {
    Test_Slave slave;
    ASSERT_TRUE(slave.Listen());
    for (int i = 0; i < 3; ++i)
        slave.Set(QModbusDataUnit::Coils, 10 + i, i == 1 ? 0 : 1);
    // The array would send 1s from the default values: nothing of it may reach the slave.
    Show("0",
         Write_Row({.port = slave.Port(),
                    .type = "Coil Status",
                    .address = 10,
                    .npoint = 3,
                    .position = 0,
                    .bit = 6}),
         "<DMX_Default_Values><Row Default_Value=\"255\" Mnemonic=\"\"/>"
         "<Row Default_Value=\"255\" Mnemonic=\"\"/></DMX_Default_Values>");
    const auto entry = Press();
    EXPECT_EQ(entry.kind, Recording_Messages::Kind::Information);
    EXPECT_TRUE(entry.text.contains("Coil Status from address 10, 3 points (function 1)"))
        << entry.text.toStdString();
    EXPECT_TRUE(
        entry.text.contains("Read back only (function 1): nothing was written to the slave."));
    EXPECT_TRUE(entry.text.contains("10:  1 0 1")) << entry.text.toStdString();
    EXPECT_EQ(slave.Writes(), 0);
    EXPECT_EQ(slave.Get(QModbusDataUnit::Coils, 11), 0);
}

TEST_F(Test_Row, ErrorsAreShownByName) {
    Test_Slave slave;
    ASSERT_TRUE(slave.Listen());
    Show("1", Read_Row({.port = slave.Port(), .address = 99, .npoint = 5}));
    const auto exception = Press();
    EXPECT_EQ(exception.kind, Recording_Messages::Kind::Error);
    EXPECT_TRUE(exception.text.endsWith("\nModbus exception 2 (Illegal data address)"))
        << exception.text.toStdString();

    window->hide();
    Silent_Slave silent;
    Show("1", Read_Row({.port = silent.Port()}));
    const auto timeout = Press();
    EXPECT_EQ(timeout.kind, Recording_Messages::Kind::Error);
    EXPECT_TRUE(timeout.text.endsWith("\ntime-out (300 ms)")) << timeout.text.toStdString();
}

TEST_F(Test_Row, ARowTheCheckRefusesIsNotSent) {
    Silent_Slave silent;
    Show("1", Read_Row({.port = silent.Port(), .npoint = 126}));
    messages.Clear();
    QTest::mouseClick(window->Btn_Test_Row, Qt::LeftButton);
    EXPECT_EQ(messages.Texts(),
              QStringList{"Error row 1!! [Modbus Read] NPoint must be between 1 and 125"});
    EXPECT_FALSE(window->Testing_Row());
    QApplication::processEvents();
    EXPECT_EQ(silent.Connections(), 0);
}

TEST_F(Test_Row, ClosingTheWindowDropsTheTest) {
    Silent_Slave silent;
    Show("1", Read_Row({.port = silent.Port()}));
    messages.Clear();
    QTest::mouseClick(window->Btn_Test_Row, Qt::LeftButton);
    EXPECT_TRUE(window->Testing_Row());
    EXPECT_FALSE(window->Btn_Test_Row->isEnabled());
    ASSERT_TRUE(Wait_For([&] { return silent.Connections() == 1; }));
    window->hide();
    EXPECT_FALSE(window->Testing_Row());
    EXPECT_TRUE(window->Btn_Test_Row->isEnabled());
    // Longer than the time-out: no message comes.
    QTest::qWait(600);
    EXPECT_TRUE(messages.record.empty()) << messages.Texts().join('|').toStdString();
}

} // namespace
