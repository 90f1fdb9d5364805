// The channel map from the main window: the step button beside Set Access, gated like the
// editing steps, showing the saved files and refreshed after the steps that change them.
#include "Map_Fixtures.h"
#include "access/Access_File.h"
#include "access_dialog/UModbus_TCP_Master_Set_Access.h"
#include "map_window/UChannel_Map.h"
#include "shell/Scripted_App.h"

#include <QApplication>
#include <QDir>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class Main_Window_Map : public Scripted_App {
protected:
    // Starts with the configuration "Plant" open: two read requests, 48 channels.
    void Start_With_Configuration() {
        QDir().mkpath(folder.File("PROJECTS/Plant/bin"));
        Write_Text(folder.File("Tessaro.xml"), "<Conf_Settings><lastproj><projectname>Plant"
                                               "</projectname></lastproj></Conf_Settings>");
        Write_Text(folder.File("PROJECTS/Plant/ParGen.xml"),
                   "<Par_Gen><DMX_Num_Channels>48</DMX_Num_Channels></Par_Gen>");
        Access_Table access;
        Place(access.Read, 1, {.npoint = "2", .position = "0"});
        Place(access.Read, 2, {.address = "9", .position = "10", .ip = "10.0.0.2"});
        Save_Access_File(folder.File("PROJECTS/Plant/ModbusTCPM_SetAccess.xml"), access);
        Start();
        ASSERT_EQ(State().Project_Dir, folder.File("PROJECTS/Plant"));
    }
    TFChannel_Map* Map() { return window->Channel_Map_Window(); }
};

TEST_F(Main_Window_Map, TheButtonStandsBesideSetAccess) {
    Start();
    auto* button = Child<Styled_Button>(*window, "Btn_Channel_Map");
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->geometry(), QRect(258, 200, 170, 36));
    EXPECT_EQ(button->text(), "Channel Map");
    EXPECT_EQ(button->toolTip(), "Show which request owns which DMX channel");
    EXPECT_FALSE(button->icon().isNull());
    EXPECT_EQ(Child<QWidget>(*window, "Btn_ModM_SetAccess")->geometry(), QRect(80, 200, 170, 36));
}

TEST_F(Main_Window_Map, NeedsAnOpenConfiguration) {
    Start();
    Click("Btn_Channel_Map");
    ASSERT_EQ(messages.record.size(), 1u);
    EXPECT_EQ(messages.record[0].kind, Recording_Messages::Kind::Error);
    EXPECT_EQ(messages.record[0].text, "Error! Project not Valid");
    EXPECT_EQ(Map(), nullptr);
    EXPECT_TRUE(shown.isEmpty());
}

TEST_F(Main_Window_Map, ShowsTheSavedFilesAndFollowsTheSteps) {
    Start_With_Configuration();
    Click("Btn_Channel_Map");
    ASSERT_NE(Map(), nullptr);
    EXPECT_TRUE(Map()->isVisible());
    EXPECT_FALSE(Map()->Follows_Table());
    EXPECT_TRUE(Map()->L_Source->text().endsWith("Shows the saved files of the configuration"));
    EXPECT_EQ(Map()->Grid_Channels->Cell(11).text, "2");
    EXPECT_TRUE(Map()->Grid_Channels->Cell(49).greyed);
    EXPECT_TRUE(messages.record.empty()) << Messages_Text();

    // Set Access moves row 2 and confirms: the map shows the saved change.
    scripts["TFModbus_TCP_Master_Set_Access"] = [](QDialog& dialog) {
        auto* read = Child<QTableView>(dialog, "ACG_Modbus_Read");
        read->model()->setData(read->model()->index(1, Layout_Of(Access_Kind::Read).Position),
                               "20");
        Child<QPushButton>(dialog, "Btn_OK")->click();
    };
    Click("Btn_ModM_SetAccess");
    EXPECT_EQ(Map()->Grid_Channels->Cell(11).text, "0");
    EXPECT_EQ(Map()->Grid_Channels->Cell(21).text, "2");
    // Set Communication lowers the channel count.
    Write_Text(State().ParGen_File, "<Par_Gen><DMX_Num_Channels>24</DMX_Num_Channels></Par_Gen>");
    Click("Btn_Prm_Gen");
    EXPECT_TRUE(Map()->Grid_Channels->Cell(25).greyed);
}

TEST_F(Main_Window_Map, ADoubleClickOpensSetAccessAtTheRow) {
    Start_With_Configuration();
    Click("Btn_Channel_Map");
    ASSERT_NE(Map(), nullptr);
    int current_row = -1;
    scripts["TFModbus_TCP_Master_Set_Access"] = [&](QDialog& dialog) {
        current_row = static_cast<TFModbus_TCP_Master_Set_Access&>(dialog).Current_Row();
    };
    Channel_Grid* grid = Map()->Grid_Channels;
    QTest::mouseDClick(grid, Qt::LeftButton, {}, grid->Cell_Rect(12).center());
    EXPECT_EQ(shown, QStringList{"TFModbus_TCP_Master_Set_Access"});
    EXPECT_EQ(current_row, 1);
    // The next showing from the step button starts at the top again.
    Click("Btn_ModM_SetAccess");
    EXPECT_EQ(current_row, 0);
}

TEST_F(Main_Window_Map, FollowsALanguageChange) {
    Start_With_Configuration();
    Click("Btn_Channel_Map");
    ASSERT_NE(Map(), nullptr);
    App_Context& ctx = app->Context();
    ctx.lang.Set_Text(700, "Mappa canali");
    ctx.lang.Set_Text(702, "Mostra i canali");
    ctx.lang.Set_Text(716, ": nessuna richiesta");
    ctx.lang.Set_Text(955, "Giro peggiore (ms)");
    window->Change_Language();
    auto* button = Child<Styled_Button>(*window, "Btn_Channel_Map");
    EXPECT_EQ(button->text(), "Mappa canali");
    EXPECT_EQ(button->toolTip(), "Mostra i canali");
    EXPECT_EQ(Map()->windowTitle(), "Mappa canali");
    EXPECT_EQ(Map()->LV_Load->headerItem()->text(3), "Giro peggiore (ms)");
    const int last = Map()->LV_Findings->topLevelItemCount() - 1;
    EXPECT_EQ(Map()->LV_Findings->topLevelItem(last)->text(0), "Channels 13-48: nessuna richiesta");
}

TEST_F(Main_Window_Map, AnUnreadableFileIsReportedAndNoMapOpens) {
    Start_With_Configuration();
    Write_Text(State().ModbusTCPM_SetAccess_File, "<Modbus_TCP_Master_Rules>");
    Click("Btn_Channel_Map");
    ASSERT_EQ(messages.record.size(), 1u);
    EXPECT_TRUE(messages.record[0].text.startsWith("ModbusTCPM_SetAccess.xml: "))
        << Messages_Text();
    EXPECT_TRUE(Map() == nullptr || !Map()->isVisible());
}

} // namespace
