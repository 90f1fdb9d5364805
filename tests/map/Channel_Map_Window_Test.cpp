// The channel map opened from the access dialog: colours and tooltips of a small table, an edit
// followed at once, a double click that selects the row, both windows usable while the dialog is
// modal, and the map closing with the dialog.
#include "Map_Fixtures.h"
#include "access/Access_File.h"
#include "access_dialog/UModbus_TCP_Master_Set_Access.h"
#include "map_window/UChannel_Map.h"
#include "support/Reader_Events.h"
#include "support/Recording_Messages.h"
#include "support/Test_Files.h"
#include "widgets/Window_Place.h"

#include <QAccessible>
#include <QApplication>
#include <QPointer>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>

// Readable texts in failure messages.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace {

class Map_Window : public ::testing::Test {
protected:
    Map_Window() {
        ctx.lang.Load_Default_Texts();
        ctx.messages = &messages;
        ctx.state.SW_Code = "VC40362";
        ctx.state.Project_Dir = folder.Path();
        ctx.state.Set_Files();
        // DMX OUT, 32 channels; rows 1 and 2 collide on channel 4, row 3 runs past the count.
        Write_Text(ctx.state.ParGen_File, "<Par_Gen><DMX_DMX>1</DMX_DMX><DMX_Num_Channels>32"
                                          "</DMX_Num_Channels></Par_Gen>");
        QStringList values(32, "0");
        values[9] = "200";
        QString dmx = "<DMX_Default_Values>";
        for (const QString& value : values)
            dmx += "<Row Default_Value=\"" + value + "\" Mnemonic=\"\"/>";
        Write_Text(ctx.state.DMX_Default_Values_File, dmx + "</DMX_Default_Values>");
        Access_Table access;
        Place(access.Read, 1, {.address = "10", .npoint = "2", .position = "0", .mnemonic = "Dim"});
        Place(access.Read, 2,
              {.type = "Coil Status",
               .address = "5",
               .npoint = "3",
               .position = "3",
               .bit = "2",
               .ip = "10.0.0.2",
               .mnemonic = "Relays"});
        Place(access.Read, 3, {.npoint = "2", .position = "30", .ip = "10.0.0.3"});
        Save_Access_File(ctx.state.ModbusTCPM_SetAccess_File, access);
    }
    ~Map_Window() override {
        if (dialog)
            dialog->hide();
    }
    // The access dialog shown as the main window shows it, without a modal loop, and its map.
    TFChannel_Map* Open_Map() {
        dialog = std::make_unique<TFModbus_TCP_Master_Set_Access>(ctx, nullptr);
        dialog->show();
        QApplication::processEvents();
        dialog->Btn_Channel_Map->click();
        QApplication::processEvents();
        return dialog->Channel_Map_Window();
    }
    void Set_Cell(int row, int column, const QString& text) {
        QAbstractItemModel* model = dialog->ACG_Modbus_Read->model();
        model->setData(model->index(row, column), text, Qt::EditRole);
    }
    QColor Painted(TFChannel_Map* map, int channel) {
        const QImage image = map->Grid_Channels->grab().toImage();
        return image.pixelColor(map->Grid_Channels->Cell_Rect(channel).topLeft() + QPoint(3, 3));
    }
    std::string Messages_Text() const { return messages.Texts().join(" | ").toStdString(); }

    Temp_Folder folder;
    Recording_Messages messages;
    App_Context ctx;
    std::unique_ptr<TFModbus_TCP_Master_Set_Access> dialog;
};

TEST_F(Map_Window, ButtonSitsRightOfPasteRow) {
    dialog = std::make_unique<TFModbus_TCP_Master_Set_Access>(ctx, nullptr);
    Styled_Button* button = dialog->Btn_Channel_Map;
    EXPECT_EQ(button->objectName(), "Btn_Channel_Map");
    EXPECT_EQ(button->parentWidget(), dialog->P_Button);
    EXPECT_EQ(button->geometry(), QRect(724, 6, 90, 28));
    EXPECT_EQ(button->text(), "Map");
    EXPECT_EQ(button->toolTip(), "Show which DMX channels the requests of this table use");
    EXPECT_EQ(dialog->Btn_PasteRow->geometry(), QRect(606, 6, 110, 28));
}

TEST_F(Map_Window, ShowsTheColoursAndTooltipsOfTheTable) {
    TFChannel_Map* map = Open_Map();
    ASSERT_NE(map, nullptr);
    EXPECT_TRUE(map->isVisible());
    EXPECT_FALSE(map->isModal());
    EXPECT_TRUE(map->Follows_Table());
    EXPECT_EQ(map->windowTitle(), "Channel Map");
    EXPECT_EQ(map->L_Source->text(),
              "Modbus Read   \u00b7   Channel count: 32   \u00b7   Follows the table being edited, "
              "saved or not");
    Channel_Grid* grid = map->Grid_Channels;
    EXPECT_EQ(grid->Cell(1).text, "1");
    EXPECT_EQ(grid->Cell(1).background, Slot_Colour(1));
    EXPECT_EQ(grid->Cell(33).text, "3");
    EXPECT_EQ(grid->Cell(33).background, Slot_Colour(3));
    EXPECT_TRUE(grid->Cell(4).alert) << "rows 1 and 2 on channel 4";
    EXPECT_EQ(grid->Cell(4).text, "!!");
    EXPECT_EQ(grid->Cell(10).text, "200") << "the default value of a channel without request";
    EXPECT_FALSE(grid->Cell(10).background.isValid());
    EXPECT_FALSE(grid->Cell(32).greyed);
    EXPECT_TRUE(grid->Cell(33).greyed);
    EXPECT_TRUE(grid->Cell(100).greyed);
    EXPECT_EQ(grid->Cell(100).text, "");

    // What the user sees.
    EXPECT_EQ(Painted(map, 1), Slot_Colour(1));
    EXPECT_EQ(Painted(map, 4), Alert_Colour());
    EXPECT_EQ(Painted(map, 10), Empty_Cell_Colour());

    EXPECT_EQ(grid->Tooltip(4), "Channel 4\n"
                                "Row 1: Dim\n"
                                "    Holding Register 11\n"
                                "Row 2: Relays\n"
                                "    Coil Status 5-7, bits 2-4\n"
                                "Overlap\n"
                                "Default value 0");
    EXPECT_EQ(grid->Tooltip(33), "Channel 33\nRow 3\n    Holding Register 1\n"
                                 "Beyond the channel count");

    QStringList findings;
    for (int i = 0; i < map->LV_Findings->topLevelItemCount(); ++i)
        findings.append(map->LV_Findings->topLevelItem(i)->text(0));
    EXPECT_EQ(findings,
              QStringList({"Channel 4, bits 2-4: rows 1, 2 store into the same data; the later "
                           "one wins",
                           "Channels 33-34: row 3 lies beyond the channel count (32): the DMX "
                           "line never carries these channels",
                           "Channels 5-30: no request, the DMX default value applies"}));
    ASSERT_EQ(map->LV_Load->topLevelItemCount(), 3);
    EXPECT_EQ(map->LV_Load->topLevelItem(0)->text(0), "10.0.0.2:502");
    EXPECT_EQ(map->LV_Load->topLevelItem(2)->text(2), "10.0");
    EXPECT_EQ(map->LV_Load->topLevelItem(2)->text(3), "1000");
    EXPECT_TRUE(messages.record.empty()) << Messages_Text();
}

TEST_F(Map_Window, FollowsEditsInTheAccessTable) {
    TFChannel_Map* map = Open_Map();
    ASSERT_NE(map, nullptr);
    Channel_Grid* grid = map->Grid_Channels;
    // Row 2 moves to byte 20: the overlap is gone and channel 21 is row 2's.
    Set_Cell(1, Layout_Of(Access_Kind::Read).Position, "20");
    QApplication::processEvents();
    EXPECT_FALSE(grid->Cell(4).alert);
    EXPECT_EQ(grid->Cell(4).text, "1");
    EXPECT_EQ(grid->Cell(21).text, "2");
    EXPECT_FALSE(map->Map().Has_Errors());

    // A row made wrong is left out and listed; deleting it moves the rows below up.
    Set_Cell(0, Layout_Of(Access_Kind::Read).Port, "x");
    QApplication::processEvents();
    EXPECT_EQ(grid->Cell(1).text, "0");
    EXPECT_EQ(map->LV_Findings->topLevelItem(0)->text(0),
              "Left out of the map: Error row 1!! [Modbus Read] Port must be between 0 and 65535");
    dialog->ACG_Modbus_Read->setCurrentIndex(dialog->ACG_Modbus_Read->model()->index(0, 2));
    messages.answers = {true};
    dialog->Btn_DelRowClick();
    QApplication::processEvents();
    EXPECT_EQ(grid->Cell(21).text, "1") << "row 2 is row 1 now";
    EXPECT_TRUE(map->Map().refused.empty());
    // An inserted empty row ends the table there, as it does for saving and checking.
    dialog->Btn_InsRowClick();
    QApplication::processEvents();
    EXPECT_TRUE(map->Map().requests.empty());
    EXPECT_EQ(grid->Cell(21).text, "0");
    // Nothing was saved on the way.
    Access_Table saved;
    Load_Access_File(ctx.state.ModbusTCPM_SetAccess_File, saved);
    EXPECT_EQ(saved.Read.Field(2, Layout_Of(Access_Kind::Read).Position), "3");
}

TEST_F(Map_Window, ADoubleClickSelectsTheRowOfTheRequest) {
    TFChannel_Map* map = Open_Map();
    ASSERT_NE(map, nullptr);
    Channel_Grid* grid = map->Grid_Channels;
    QTableView* table = dialog->ACG_Modbus_Read;
    const auto selected_rows = [&] {
        QList<int> rows;
        for (const QModelIndex& index : table->selectionModel()->selectedIndexes())
            if (!rows.contains(index.row()))
                rows.append(index.row());
        return rows;
    };
    QTest::mouseDClick(grid, Qt::LeftButton, {}, grid->Cell_Rect(33).center());
    EXPECT_EQ(table->currentIndex().row(), 2);
    EXPECT_EQ(selected_rows(), QList<int>{2});
    EXPECT_EQ(table->selectionModel()->selectedIndexes().size(), 14) << "the whole row";
    // Two rows on one channel: the first.
    QTest::mouseDClick(grid, Qt::LeftButton, {}, grid->Cell_Rect(4).center());
    EXPECT_EQ(table->currentIndex().row(), 0);
    // A channel without a request changes nothing.
    QTest::mouseDClick(grid, Qt::LeftButton, {}, grid->Cell_Rect(20).center());
    EXPECT_EQ(table->currentIndex().row(), 0);

    // A finding: the row it names first.
    QTreeWidget* findings = map->LV_Findings;
    QTreeWidgetItem* beyond = findings->topLevelItem(1);
    const QRect rect = findings->visualItemRect(beyond);
    QTest::mouseClick(findings->viewport(), Qt::LeftButton, {}, rect.center());
    EXPECT_EQ(grid->Current_Channel(), 33) << "a click shows where it is";
    EXPECT_TRUE(grid->Cell(34).marked);
    EXPECT_FALSE(grid->Cell(32).marked);
    QTest::mouseDClick(findings->viewport(), Qt::LeftButton, {}, rect.center());
    EXPECT_EQ(table->currentIndex().row(), 2);
}

TEST_F(Map_Window, AClickMarksTheChannelsOfTheRequest) {
    TFChannel_Map* map = Open_Map();
    ASSERT_NE(map, nullptr);
    Channel_Grid* grid = map->Grid_Channels;
    QTest::mouseClick(grid, Qt::LeftButton, {}, grid->Cell_Rect(2).center());
    for (int channel = 1; channel <= 6; ++channel)
        EXPECT_EQ(grid->Cell(channel).marked, channel <= 4) << channel;
    QTest::mouseClick(grid, Qt::LeftButton, {}, grid->Cell_Rect(33).center());
    for (int channel = 1; channel <= 40; ++channel)
        EXPECT_EQ(grid->Cell(channel).marked, channel >= 31 && channel <= 34) << channel;
    // The request grows in the table: the marks follow it.
    Set_Cell(2, Layout_Of(Access_Kind::Read).NPoint, "3");
    QApplication::processEvents();
    for (int channel = 1; channel <= 40; ++channel)
        EXPECT_EQ(grid->Cell(channel).marked, channel >= 31 && channel <= 36) << channel;
}

TEST_F(Map_Window, BothWindowsTakeInputWhileTheDialogIsModal) {
    dialog = std::make_unique<TFModbus_TCP_Master_Set_Access>(ctx, nullptr);
    bool map_clicked = false;
    bool table_clicked = false;
    QTimer::singleShot(0, dialog.get(), [&] {
        dialog->Btn_Channel_Map->click();
        TFChannel_Map* map = dialog->Channel_Map_Window();
        if (!map) {
            dialog->reject();
            return;
        }
        if (!QTest::qWaitForWindowExposed(map)) {
            dialog->reject();
            return;
        }
        // Both clicks go through the window system as a user's do: a window that the modal
        // dialog blocks drops them.
        Channel_Grid* grid = map->Grid_Channels;
        QTest::mouseClick(map->windowHandle(), Qt::LeftButton, {},
                          grid->mapTo(map, grid->Cell_Rect(40).center()));
        map_clicked = grid->Current_Channel() == 40;
        QTableView* table = dialog->ACG_Modbus_Read;
        const QRect cell = table->visualRect(table->model()->index(2, 3));
        QTest::mouseClick(dialog->windowHandle(), Qt::LeftButton, {},
                          table->viewport()->mapTo(dialog.get(), cell.center()));
        table_clicked = table->currentIndex() == table->model()->index(2, 3);
        dialog->reject();
    });
    dialog->exec();
    EXPECT_TRUE(map_clicked);
    EXPECT_TRUE(table_clicked);
}

TEST_F(Map_Window, ClosesWithTheDialogAndStartsAfreshAtTheNextShowing) {
    QPointer<TFChannel_Map> map = Open_Map();
    ASSERT_FALSE(map.isNull());
    Set_Cell(1, Layout_Of(Access_Kind::Read).Position, "20");
    QApplication::processEvents();
    EXPECT_FALSE(map->Grid_Channels->Cell(4).alert);
    dialog->Btn_Cancel->click();
    QApplication::processEvents();
    EXPECT_TRUE(map.isNull() || !map->isVisible());
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(map.isNull());
    EXPECT_EQ(dialog->Channel_Map_Window(), nullptr);

    // Reopened, it shows the file again, not the cancelled edits.
    dialog->show();
    QApplication::processEvents();
    dialog->Btn_Channel_Map->click();
    ASSERT_NE(dialog->Channel_Map_Window(), nullptr);
    EXPECT_TRUE(dialog->Channel_Map_Window()->Grid_Channels->Cell(4).alert);
}

TEST_F(Map_Window, AnUnreadableDefaultValuesFileIsReportedAndNoMapOpens) {
    Write_Text(ctx.state.DMX_Default_Values_File, "<DMX_Default_Values><Row>");
    EXPECT_EQ(Open_Map(), nullptr);
    ASSERT_EQ(messages.record.size(), 1u);
    EXPECT_TRUE(messages.record[0].text.startsWith("DMX_Default_Values.xml: ")) << Messages_Text();
    EXPECT_TRUE(dialog->isVisible()) << "the table can still be edited";
}

TEST_F(Map_Window, FollowsTheLanguage) {
    ctx.lang.Set_Text(700, "Kanalplan");
    ctx.lang.Set_Text(717, "Überlappung");
    ctx.lang.Set_Text(704, "Kanal ");
    TFChannel_Map* map = Open_Map();
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(map->windowTitle(), "Kanalplan");
    EXPECT_EQ(map->L_Legend_Overlap->text(), "Überlappung");
    EXPECT_TRUE(map->Grid_Channels->Tooltip(4).startsWith("Kanal 4\n"));
    EXPECT_TRUE(map->LV_Findings->topLevelItem(0)->text(0).startsWith("Kanal 4, bits 2-4"));
}

TEST_F(Map_Window, TheGridSpeaksEachChannelAndEnterSelectsItsRow) {
    TFChannel_Map* map = Open_Map();
    ASSERT_NE(map, nullptr);
    Channel_Grid* grid = map->Grid_Channels;
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(grid);
    ASSERT_NE(table, nullptr);
    ASSERT_NE(table->tableInterface(), nullptr);
    EXPECT_EQ(table->childCount(), 512);
    EXPECT_EQ(table->text(QAccessible::Name), "DMX channels");
    EXPECT_TRUE(table->text(QAccessible::Description)
                    .endsWith("Enter selects the row of the channel's request in the access "
                              "table."));
    const auto name = [&](int channel) {
        return table->child(channel - 1)->text(QAccessible::Name);
    };
    EXPECT_EQ(name(1), "Channel 1: Row 1 Dim");
    EXPECT_EQ(name(4), "Channel 4: Row 1 Dim, Row 2 Relays, Overlap");
    EXPECT_EQ(name(10), "Channel 10: no request, Default value 200");
    EXPECT_EQ(name(33), "Channel 33: Row 3, Beyond the channel count");
    EXPECT_EQ(name(100), "Channel 100: no request, Beyond the channel count");
    EXPECT_EQ(table->tableInterface()->cellAt(0, 3)->text(QAccessible::Description),
              grid->Tooltip(4));

    // The names follow the table as it is edited, and the language.
    Set_Cell(1, Layout_Of(Access_Kind::Read).Mnemonic, "Lamps");
    QApplication::processEvents();
    EXPECT_EQ(name(4), "Channel 4: Row 1 Dim, Row 2 Lamps, Overlap");
    ctx.lang.Set_Text(704, "Kanal ");
    ctx.lang.Set_Text(959, "Zeile ");
    ctx.lang.Set_Text(717, "Überlappung");
    map->Set_Lang();
    EXPECT_EQ(name(4), "Kanal 4: Zeile 1 Dim, Zeile 2 Lamps, Überlappung");

    // From the keyboard: channel 33 is row 3, Enter selects it in the access table.
    grid->setFocus();
    grid->Set_Current_Channel(1);
    QTest::keyClick(grid, Qt::Key_Down);
    EXPECT_EQ(grid->Current_Channel(), 33);
    QTest::keyClick(grid, Qt::Key_Return);
    EXPECT_EQ(dialog->ACG_Modbus_Read->currentIndex().row(), 2);
}

TEST_F(Map_Window, TabRunsFromTheGridToTheListsAndClose) {
    TFChannel_Map* map = Open_Map();
    ASSERT_NE(map, nullptr);
    map->activateWindow();
    map->Grid_Channels->setFocus();
    QApplication::processEvents();
    ASSERT_TRUE(map->Grid_Channels->hasFocus());
    const QWidget* order[] = {map->LV_Findings, map->LV_Load, map->Btn_Close, map->Grid_Channels};
    for (const QWidget* next : order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), next) << next->objectName().toStdString();
    }
}

// Opened from the access dialog, the map stands beside it (Place_Beside on the screen of the
// test), keeps the place the user gives it while it stays open, and is placed again when it is
// opened again.
TEST_F(Map_Window, OpensBesideTheDialogAndKeepsThePlaceTheUserGives) {
    TFChannel_Map* map = Open_Map();
    ASSERT_NE(map, nullptr);
    const QRect area = dialog->screen()->availableGeometry();
    const QRect placed = map->frameGeometry();
    EXPECT_EQ(placed.topLeft(), Place_Beside(dialog->frameGeometry(), placed.size(), area));
    // Inside the available area along each side where it fits (the offscreen screen of Windows
    // is narrower than the map), at the area's start along a side where it does not.
    const auto inside = [](int start, int length, int area_start, int area_length) {
        return length > area_length
                   ? start == area_start
                   : start >= area_start && start + length <= area_start + area_length;
    };
    EXPECT_TRUE(inside(placed.x(), placed.width(), area.x(), area.width()) &&
                inside(placed.y(), placed.height(), area.y(), area.height()))
        << placed.x() << "," << placed.y() << " " << placed.width() << "x" << placed.height()
        << " in " << area.x() << "," << area.y() << " " << area.width() << "x" << area.height();

    // Moved by the user: pressing Map again only brings it to the front.
    map->move(area.topLeft() + QPoint(7, 9));
    QApplication::processEvents();
    const QPoint moved = map->pos();
    dialog->Btn_Channel_Map->click();
    QApplication::processEvents();
    EXPECT_EQ(map->pos(), moved);
    // Closed and opened again: beside the dialog again, wherever the dialog went.
    map->Btn_Close->click();
    QApplication::processEvents();
    dialog->move(dialog->pos() + QPoint(-3, 5));
    QApplication::processEvents();
    dialog->Btn_Channel_Map->click();
    QApplication::processEvents();
    EXPECT_TRUE(map->isVisible());
    EXPECT_EQ(map->frameGeometry().topLeft(),
              Place_Beside(dialog->frameGeometry(), map->frameGeometry().size(), area));
    EXPECT_NE(map->pos(), moved);
}

} // namespace
