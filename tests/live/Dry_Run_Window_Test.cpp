// The dry run window: opened from the main window like the editing steps, running the saved
// configuration against slaves of the test on 127.0.0.1.
#include "Live_Rows.h"
#include "Test_Slave.h"
#include "access/Access_File.h"
#include "dry_run_window/UDry_Run.h"
#include "project_dialogs/UOpenConf.h"
#include "shell/Scripted_App.h"
#include "support/Reader_Events.h"

#include <QAbstractItemModelTester>
#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

constexpr auto Holding = QModbusDataUnit::HoldingRegisters;

class Dry_Run_Window : public Scripted_App {
protected:
    // Starts with the configuration "Plant" open: its role, rows and default values.
    void Start_With(const char* dmx, Access_Kind kind, const std::vector<Row_Values>& rows,
                    const QString& defaults = {}) {
        QDir().mkpath(folder.File("PROJECTS/Plant/bin"));
        Write_Text(folder.File("Tessaro.xml"), "<Conf_Settings><lastproj><projectname>Plant"
                                               "</projectname></lastproj></Conf_Settings>");
        Write_Text(folder.File("PROJECTS/Plant/ParGen.xml"),
                   QStringLiteral("<Par_Gen><DMX_DMX>%1</DMX_DMX><DMX_Num_Channels>100"
                                  "</DMX_Num_Channels><Modbus_TCP_Master_TimeOut>200"
                                  "</Modbus_TCP_Master_TimeOut><Modbus_TCP_Master_Cyclic>0"
                                  "</Modbus_TCP_Master_Cyclic></Par_Gen>")
                       .arg(dmx));
        if (!defaults.isEmpty())
            Write_Text(folder.File("PROJECTS/Plant/DMX_Default_Values.xml"), defaults);
        Access_Table access;
        access.Reset_Access_Table();
        int slot = 0;
        for (const Row_Values& row : rows)
            Put_Row(access.Table(kind), ++slot,
                    kind == Access_Kind::Read ? Read_Row(row) : Write_Row(row));
        Save_Access_File(folder.File("PROJECTS/Plant/ModbusTCPM_SetAccess.xml"), access);
        Start();
        ASSERT_EQ(State().Project_Dir, folder.File("PROJECTS/Plant"));
        Click("Btn_Dry_Run");
        ASSERT_NE(Window(), nullptr);
    }
    TFDry_Run* Window() { return window->Dry_Run_Window(); }
    const Live_Request_State& Request(int i) { return Window()->Engine().States()[size_t(i)]; }
    QString Cell(int row, int column) {
        const QAbstractItemModel* model = Window()->LV_Requests->model();
        return model->index(row, column).data().toString();
    }
};

TEST_F(Dry_Run_Window, TheButtonStandsInTheStepRowsAndNeedsAConfiguration) {
    Start();
    auto* button = Child<Styled_Button>(*window, "Btn_Dry_Run");
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->geometry(), QRect(258, 244, 170, 36));
    EXPECT_EQ(button->text(), "Dry Run");
    EXPECT_EQ(button->toolTip(),
              "Send the requests of the configuration to the real slaves and watch the data array");
    EXPECT_FALSE(button->icon().isNull());
    EXPECT_EQ(Child<QWidget>(*window, "Btn_DMX_Default")->geometry(), QRect(80, 244, 170, 36));

    Click("Btn_Dry_Run");
    EXPECT_EQ(messages.Texts(), QStringList{"Error! Project not Valid"});
    EXPECT_EQ(Window(), nullptr);
}

TEST_F(Dry_Run_Window, ARunShowsTheDataArrayAndTheRequests) {
    Test_Slave slave;
    ASSERT_TRUE(slave.Listen());
    slave.Set(Holding, 0, 0x0A0B);
    const quint16 closed = Free_Port();
    Start_With(
        "1", Access_Kind::Read,
        {{.port = slave.Port(), .npoint = 1, .poll = 10, .position = 4, .mnemonic = "Boiler"},
         {.port = slave.Port(), .npoint = 200},
         {.port = closed, .max_error = 1, .position = 20}},
        "<DMX_Default_Values><Row Default_Value=\"9\" Mnemonic=\"\"/></DMX_Default_Values>");
    TFDry_Run* w = Window();
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->windowTitle(), "Dry Run");
    EXPECT_EQ(w->L_SW_Desc->text(), "Dry run: the Modbus TCP requests sent from this computer");
    QAbstractItemModelTester tester(w->LV_Requests->model(),
                                    QAbstractItemModelTester::FailureReportingMode::Warning);

    ASSERT_TRUE(w->Btn_StartClick());
    EXPECT_FALSE(w->Btn_Start->isEnabled());
    EXPECT_TRUE(w->Btn_Stop->isEnabled());
    QSignalSpy resets(w->LV_Requests->model(), &QAbstractItemModel::modelReset);
    ASSERT_TRUE(Wait_For([&] { return Request(0).answered >= 3 && Request(1).suspended; }));
    w->Refresh();

    // The register landed on channels 5 and 6 and flashes; channel 1 keeps its default value.
    EXPECT_EQ(w->Grid_Channels->Cell(5).text, "10");
    EXPECT_EQ(w->Grid_Channels->Cell(6).text, "11");
    EXPECT_EQ(w->Grid_Channels->Cell(5).background, QColor(0xFF, 0xD6, 0x00));
    EXPECT_EQ(w->Grid_Channels->Cell(1).text, "9");
    EXPECT_TRUE(w->Grid_Channels->Cell(101).greyed); // beyond the 100 channels
    // The failing request's channels are marked.
    EXPECT_TRUE(w->Grid_Channels->Cell(21).alert);
    EXPECT_TRUE(w->Grid_Channels->Tooltip(5).contains("Row 1: 127.0.0.1:"));

    // Requests in slot order, then the row that was not run.
    EXPECT_EQ(Cell(0, Dry_Run_Model::Slot), "1");
    EXPECT_EQ(Cell(0, Dry_Run_Model::Mnemonic), "Boiler");
    EXPECT_EQ(Cell(0, Dry_Run_Model::Slave),
              QStringLiteral("127.0.0.1:%1, ID 1").arg(slave.Port()));
    EXPECT_EQ(Cell(0, Dry_Run_Model::Errors_In_Row), "0");
    EXPECT_EQ(Cell(1, Dry_Run_Model::Slot), "3");
    EXPECT_EQ(Cell(1, Dry_Run_Model::Last_Error), "connection refused");
    EXPECT_FALSE(Cell(1, Dry_Run_Model::Suspended).isEmpty());
    EXPECT_EQ(Cell(2, Dry_Run_Model::Slot), "2");
    EXPECT_EQ(Cell(2, Dry_Run_Model::Last_Error),
              "Not run: Error row 2!! [Modbus Read] NPoint must be between 1 and 125");
    EXPECT_EQ(w->LV_Requests->model()->headerData(6, Qt::Horizontal).toString(), "Last error");
    // The table follows the run by changed rows, never by resetting.
    EXPECT_EQ(resets.count(), 0);
    EXPECT_TRUE(w->L_Status->text().startsWith("Running: 2 requests on 2 connections, "));

    // The flash ends.
    ASSERT_TRUE(
        Wait_For([&] { return w->Grid_Channels->Cell(5).background != QColor(0xFF, 0xD6, 0x00); }));

    // Closing the window stops the run.
    w->Btn_Close->click();
    EXPECT_FALSE(w->isVisible());
    EXPECT_FALSE(w->Engine().Running());
    EXPECT_EQ(w->L_Status->text(), "Stopped");
    EXPECT_TRUE(messages.record.empty()) << Messages_Text();
}

TEST_F(Dry_Run_Window, AWriteTableWritesOnlyAfterTheUserConfirmed) {
    Test_Slave slave;
    ASSERT_TRUE(slave.Listen());
    Start_With("0", Access_Kind::Write,
               {{.port = slave.Port(),
                 .address = 3,
                 .npoint = 1,
                 .poll = 100000,
                 .position = 0,
                 .on_change = true}},
               "<DMX_Default_Values><Row Default_Value=\"1\" Mnemonic=\"\"/>"
               "<Row Default_Value=\"2\" Mnemonic=\"\"/></DMX_Default_Values>");
    TFDry_Run* w = Window();
    messages.answers = {false};
    EXPECT_FALSE(w->Btn_StartClick());
    ASSERT_EQ(messages.record.size(), 1u);
    EXPECT_EQ(messages.record[0].kind, Recording_Messages::Kind::Confirm);
    EXPECT_EQ(messages.record[0].text,
              QStringLiteral("This configuration uses the write table (DMX IN). The dry run sends "
                             "the channels of the data array to these slaves, which changes real "
                             "equipment:\n\n127.0.0.1:%1, ID 1\n\nStart writing to them?")
                  .arg(slave.Port()));
    EXPECT_FALSE(w->Engine().Running());
    QApplication::processEvents();
    EXPECT_EQ(slave.Requests(), 0);
    // The grid cannot be edited while nothing runs.
    EXPECT_FALSE(w->Edit_Channel(1));

    messages.answers = {true};
    ASSERT_TRUE(w->Btn_StartClick());
    ASSERT_TRUE(Wait_For([&] { return Request(0).answered >= 1; }));
    EXPECT_EQ(slave.Get(Holding, 3), 0x0102);

    // Typing on channel 2 opens its editor; Enter sends the new value at once (On Change).
    w->Grid_Channels->Set_Current_Channel(2);
    QTest::keyClick(w->Grid_Channels, Qt::Key_7);
    ASSERT_TRUE(w->E_Value->isVisible());
    EXPECT_EQ(w->E_Value->text(), "7");
    QTest::keyClicks(w->E_Value, "7");
    QTest::keyClick(w->E_Value, Qt::Key_Return);
    EXPECT_FALSE(w->E_Value->isVisible());
    EXPECT_EQ(w->Grid_Channels->Cell(2).text, "77");
    ASSERT_TRUE(Wait_For([&] { return Request(0).answered >= 2; }));
    EXPECT_EQ(slave.Get(Holding, 3), 0x014D);

    // A double click opens the editor too; Escape leaves the value.
    QTest::mouseDClick(w->Grid_Channels, Qt::LeftButton, {},
                       w->Grid_Channels->Cell_Rect(1).center());
    ASSERT_TRUE(w->E_Value->isVisible());
    EXPECT_EQ(w->E_Value->text(), "1");
    QTest::keyClick(w->E_Value, Qt::Key_Escape);
    EXPECT_FALSE(w->E_Value->isVisible());
    EXPECT_EQ(w->Engine().Data()[0], 1);
    w->Btn_StopClick();
    EXPECT_EQ(slave.Writes(), 2);
}

TEST_F(Dry_Run_Window, ProblemsAreShownAndNothingRuns) {
    Start_With("1", Access_Kind::Read, {{.port = 1502, .npoint = 300}});
    TFDry_Run* w = Window();
    EXPECT_FALSE(w->Btn_StartClick());
    EXPECT_EQ(messages.Texts(),
              QStringList{"Nothing to run: no enabled row of the table the converter uses passes "
                          "the checks."});
    EXPECT_EQ(Cell(0, Dry_Run_Model::Slot), "1");

    messages.Clear();
    Write_Text(State().ModbusTCPM_SetAccess_File, "<Modbus_TCP_Master_Rules>");
    EXPECT_FALSE(w->Btn_StartClick());
    ASSERT_EQ(messages.record.size(), 1u);
    EXPECT_TRUE(messages.record[0].text.startsWith("ModbusTCPM_SetAccess.xml")) << Messages_Text();
    EXPECT_FALSE(w->Engine().Running());
}

TEST_F(Dry_Run_Window, HelpSaysWhatADryRunAssumes) {
    Start_With("1", Access_Kind::Read, {});
    Window()->Btn_Help->click();
    ASSERT_EQ(messages.record.size(), 1u);
    EXPECT_EQ(messages.record[0].kind, Recording_Messages::Kind::Information);
    EXPECT_TRUE(messages.record[0].text.startsWith("What a dry run assumes."));
    EXPECT_TRUE(messages.record[0].text.contains("\n\n\u2022 The data array starts with the DMX "
                                                 "default values."));
}

TEST_F(Dry_Run_Window, FollowsALanguageChange) {
    Start_With("1", Access_Kind::Read, {{.port = 1502, .npoint = 300}});
    EXPECT_FALSE(Window()->Btn_StartClick());
    App_Context& ctx = app->Context();
    for (const auto& [index, text] :
         std::initializer_list<std::pair<int, const char*>>{{720, "Prova a secco"},
                                                            {723, "Avvia"},
                                                            {732, "Ultimo errore"},
                                                            {739, "Non eseguita: "}})
        ctx.lang.Set_Text(index, text);
    window->Change_Language();
    EXPECT_EQ(Window()->windowTitle(), "Prova a secco");
    EXPECT_EQ(Window()->Btn_Start->text(), "Avvia");
    EXPECT_EQ(Child<Styled_Button>(*window, "Btn_Dry_Run")->text(), "Prova a secco");
    EXPECT_EQ(Window()->LV_Requests->model()->headerData(6, Qt::Horizontal).toString(),
              "Ultimo errore");
    EXPECT_TRUE(Cell(0, Dry_Run_Model::Last_Error).startsWith("Non eseguita: Error row 1"));
}

TEST_F(Dry_Run_Window, OpeningAnotherConfigurationStopsTheRun) {
    Test_Slave slave;
    ASSERT_TRUE(slave.Listen());
    Start_With("1", Access_Kind::Read, {{.port = slave.Port(), .poll = 10}});
    ASSERT_TRUE(Window()->Btn_StartClick());
    QDir().mkpath(folder.File("PROJECTS/Other"));
    scripts["TFOpenConf"] = [](QDialog& dialog) {
        static_cast<TFOpenConf&>(dialog).Name_Conf = "Other";
        dialog.accept();
    };
    Click("Btn_Open");
    EXPECT_EQ(State().Project_Dir, folder.File("PROJECTS/Other"));
    EXPECT_FALSE(Window()->Engine().Running());
}

// Counts the paints of a widget.
class Paint_Counter : public QObject {
public:
    explicit Paint_Counter(QWidget* widget) { widget->installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

TEST_F(Dry_Run_Window, AScreenReaderHearsTheValuesTheRowsAndTheSuspendedWord) {
    Test_Slave slave;
    ASSERT_TRUE(slave.Listen());
    slave.Set(Holding, 0, 0x0A0B);
    const quint16 closed = Free_Port();
    Start_With(
        "1", Access_Kind::Read,
        {{.port = slave.Port(), .npoint = 1, .poll = 10, .position = 4, .mnemonic = "Boiler"},
         {.port = closed, .max_error = 1, .position = 20}},
        "<DMX_Default_Values><Row Default_Value=\"9\" Mnemonic=\"\"/></DMX_Default_Values>");
    TFDry_Run* w = Window();
    QAccessibleInterface* grid = QAccessible::queryAccessibleInterface(w->Grid_Channels);
    ASSERT_NE(grid, nullptr);
    ASSERT_NE(grid->tableInterface(), nullptr);
    EXPECT_EQ(grid->childCount(), 512);
    EXPECT_EQ(grid->text(QAccessible::Name), "DMX channels");
    EXPECT_TRUE(grid->text(QAccessible::Description).endsWith("changes the channel's value."));
    const auto name = [&](int channel) {
        return grid->child(channel - 1)->text(QAccessible::Name);
    };
    EXPECT_EQ(name(5), "Channel 5") << "nothing run yet";

    ASSERT_TRUE(w->Btn_StartClick());
    ASSERT_TRUE(Wait_For([&] { return Request(0).answered >= 1 && Request(1).suspended; }));
    w->Refresh();
    EXPECT_EQ(name(5), "Channel 5: 10, Row 1 Boiler");
    EXPECT_EQ(name(1), "Channel 1: 9, no request");
    EXPECT_EQ(name(21), "Channel 21: 0, Row 2, suspended, failed: connection refused");
    EXPECT_EQ(name(101), "Channel 101: 0, no request, Beyond the channel count");
    EXPECT_EQ(grid->child(4)->text(QAccessible::Description), w->Grid_Channels->Tooltip(5));

    // The Suspended column: the glyph with a word, and the word alone for a reader, in the
    // table's own accessible cells too.
    const QAbstractItemModel* model = w->LV_Requests->model();
    const QModelIndex suspended = model->index(1, Dry_Run_Model::Suspended);
    const QModelIndex running = model->index(0, Dry_Run_Model::Suspended);
    EXPECT_EQ(suspended.data().toString(), "\u2716 yes");
    EXPECT_EQ(suspended.data(Qt::AccessibleTextRole).toString(), "yes");
    EXPECT_EQ(running.data().toString(), "");
    EXPECT_EQ(running.data(Qt::AccessibleTextRole).toString(), "no");
    QAccessibleInterface* requests = QAccessible::queryAccessibleInterface(w->LV_Requests);
    ASSERT_NE(requests, nullptr);
    ASSERT_NE(requests->tableInterface(), nullptr);
    QAccessibleInterface* cell = requests->tableInterface()->cellAt(1, Dry_Run_Model::Suspended);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->text(QAccessible::Name), "yes");

    // In the language of the program.
    App_Context& ctx = app->Context();
    ctx.lang.Set_Text(985, "ja");
    ctx.lang.Set_Text(988, "ausgesetzt");
    ctx.lang.Set_Text(704, "Kanal ");
    window->Change_Language();
    EXPECT_EQ(suspended.data(Qt::AccessibleTextRole).toString(), "ja");
    EXPECT_EQ(suspended.data().toString(), "\u2716 ja");
    EXPECT_TRUE(name(21).startsWith("Kanal 21: 0, Row 2, ausgesetzt, ")) << name(21).toStdString();
    w->Btn_StopClick();
}

// A busy run changes the current channel at every answer; the reader hears it as the grid is
// redrawn, not at every answer.
TEST_F(Dry_Run_Window, ValueChangesAreAnnouncedNoMoreOftenThanTheGridIsDrawn) {
    Test_Slave slave;
    ASSERT_TRUE(slave.Listen());
    Start_With("1", Access_Kind::Read,
               {{.port = slave.Port(), .npoint = 1, .poll = 1, .position = 0}});
    TFDry_Run* w = Window();
    w->Grid_Channels->Set_Current_Channel(2);
    Reader_Events events;
    Paint_Counter painted(w->Grid_Channels);
    // The slave's register changes all the time.
    quint16 value = 0;
    QTimer changer;
    QObject::connect(&changer, &QTimer::timeout, [&] { slave.Set(Holding, 0, ++value); });
    changer.start(1);
    int answers_changed = 0;
    QObject::connect(&w->Engine(), &Live_Engine::Bytes_Changed,
                     [&](int first, int last) { answers_changed += first <= 1 && last >= 1; });
    ASSERT_TRUE(w->Btn_StartClick()) << Messages_Text();
    ASSERT_TRUE(Wait_For([&] { return answers_changed >= 60; }, 20000));
    changer.stop();
    w->Btn_StopClick();
    QApplication::processEvents();

    const auto named = events.Of(QAccessible::NameChanged, w->Grid_Channels, 1);
    EXPECT_GE(named.size(), 1u);
    EXPECT_LE(static_cast<int>(named.size()), painted.paints);
    EXPECT_LT(static_cast<int>(named.size()), answers_changed);
    for (const Reader_Event& event : named)
        EXPECT_TRUE(event.name.startsWith("Channel 2: ")) << event.name.toStdString();
}

} // namespace
