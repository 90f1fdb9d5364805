#include "grid/Channel_Grid.h"
#include "support/Reader_Events.h"

#include <QAccessible>
#include <QApplication>
#include <QHelpEvent>
#include <QImage>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>
#include <QVBoxLayout>
#include <gtest/gtest.h>
#include <vector>

namespace {

// A grid that keeps the regions it was asked to paint.
class Recording_Grid : public Channel_Grid {
public:
    std::vector<QRegion> painted;

protected:
    void paintEvent(QPaintEvent* event) override {
        painted.push_back(event->region());
        Channel_Grid::paintEvent(event);
    }
};

Grid_Cell Owned(int slot) {
    Grid_Cell cell;
    cell.text = QString::number(slot);
    cell.background = Slot_Colour(slot);
    return cell;
}

// A pixel inside a cell, clear of its frame and its text.
QColor Inside(const QImage& image, const QRect& cell) {
    return image.pixelColor(cell.topLeft() + QPoint(3, 3));
}

TEST(Channel_Grid_Paint, DrawsEachCellInItsColours) {
    std::vector<Grid_Cell> cells(Grid_Cell_Count);
    cells[0] = Owned(1);
    cells[1] = Owned(2);
    cells[2] = Owned(3);
    cells[2].alert = true;
    cells[3] = Owned(4);
    cells[3].greyed = true;
    cells[4].text = "0"; // a channel without a request
    cells[5].greyed = true;
    QImage image(1000, 420, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    const Grid_Layout layout = Layout_Channel_Grid(image.rect(), QFont("Verdana", 8));
    Paint_Channel_Grid(painter, layout, cells, 6);
    painter.end();

    EXPECT_EQ(Inside(image, layout.Cell_Rect(0)), Slot_Colour(1));
    EXPECT_EQ(Inside(image, layout.Cell_Rect(1)), Slot_Colour(2));
    EXPECT_NE(Slot_Colour(1), Slot_Colour(2));
    EXPECT_EQ(Inside(image, layout.Cell_Rect(2)), Alert_Colour());
    EXPECT_EQ(Inside(image, layout.Cell_Rect(4)), Empty_Cell_Colour());
    // Greyed: mostly grey, whatever lies under it.
    for (int i : {3, 5}) {
        const QColor grey = Inside(image, layout.Cell_Rect(i));
        EXPECT_LT(std::abs(grey.lightness() - Greyed_Colour().lightness()), 30) << i;
        EXPECT_LT(grey.hslSaturation(), 60) << i;
    }
    // The current channel has a dark frame.
    EXPECT_LT(image.pixelColor(layout.Cell_Rect(6).topLeft() + QPoint(1, 6)).lightness(), 60);
    // Every cell lies under its own rectangle, and the cells tile the grid without gaps.
    int area = 0;
    for (int i = 0; i < Grid_Cell_Count; ++i) {
        const QRect rect = layout.Cell_Rect(i);
        EXPECT_EQ(layout.Cell_At(rect.center()), i);
        EXPECT_EQ(layout.Cell_At(rect.topLeft()), i);
        EXPECT_EQ(layout.Cell_At(rect.bottomRight()), i);
        area += rect.width() * rect.height();
    }
    EXPECT_EQ(area, layout.cells.width() * layout.cells.height());
    EXPECT_EQ(layout.Cell_At(layout.cells.topLeft() - QPoint(1, 1)), -1);
}

TEST(Channel_Grid_Paint, TextStaysReadableOnEverySlotColour) {
    for (int slot = 1; slot <= 512; ++slot) {
        const QColor background = Slot_Colour(slot);
        const QColor text = Readable_Text_Colour(background);
        EXPECT_GT(std::abs(background.lightness() - text.lightness()), 100) << slot;
    }
    EXPECT_EQ(Readable_Text_Colour(Alert_Colour()), QColor(Qt::white));
}

class Channel_Grid_Widget : public ::testing::Test {
protected:
    Channel_Grid_Widget() {
        grid.resize(1000, 420);
        grid.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&grid));
        Settle();
    }
    void Settle() {
        QApplication::processEvents();
        grid.painted.clear();
    }
    Recording_Grid grid;
};

TEST_F(Channel_Grid_Widget, SettingACellRepaintsThatCellAlone) {
    grid.Set_Cell(40, Owned(7));
    QApplication::processEvents();
    ASSERT_EQ(grid.painted.size(), 1u);
    EXPECT_EQ(grid.painted[0], QRegion(grid.Cell_Rect(40)));
    EXPECT_EQ(grid.Cell(40), Owned(7));

    // The same cell again, or a new tooltip alone: nothing to draw.
    Settle();
    grid.Set_Cell(40, Owned(7));
    Grid_Cell with_tooltip = Owned(7);
    with_tooltip.tooltip = "Channel 40";
    grid.Set_Cell(40, with_tooltip);
    QApplication::processEvents();
    EXPECT_TRUE(grid.painted.empty());
    EXPECT_EQ(grid.Cell(40).tooltip, "Channel 40");

    // All cells at once, two of them new: those two.
    std::vector<Grid_Cell> cells(Grid_Cell_Count);
    for (int i = 0; i < Grid_Cell_Count; ++i)
        cells[static_cast<size_t>(i)] = grid.Cell(i + 1);
    cells[0] = Owned(1);
    cells[511] = Owned(2);
    Settle();
    grid.Set_Cells(cells);
    QApplication::processEvents();
    QRegion painted;
    for (const QRegion& region : grid.painted)
        painted += region;
    EXPECT_EQ(painted, QRegion(grid.Cell_Rect(1)) + QRegion(grid.Cell_Rect(512)));
}

TEST_F(Channel_Grid_Widget, ClicksAndKeysChooseAChannel) {
    QSignalSpy current(&grid, &Channel_Grid::Current_Channel_Changed);
    QSignalSpy activated(&grid, &Channel_Grid::Channel_Double_Clicked);
    QTest::mouseClick(&grid, Qt::LeftButton, {}, grid.Cell_Rect(35).center());
    EXPECT_EQ(grid.Current_Channel(), 35);
    ASSERT_EQ(current.size(), 1);
    EXPECT_EQ(current[0][0].toInt(), 35);
    EXPECT_TRUE(activated.isEmpty());

    QTest::mouseDClick(&grid, Qt::LeftButton, {}, grid.Cell_Rect(70).center());
    ASSERT_EQ(activated.size(), 1);
    EXPECT_EQ(activated[0][0].toInt(), 70);
    EXPECT_EQ(grid.Current_Channel(), 70);

    grid.setFocus();
    // From channel 70, in row 65-96 and column +5.
    struct Step {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int channel;
    };
    const Step steps[] = {
        {Qt::Key_Right, {}, 71},     {Qt::Key_Up, {}, 39},
        {Qt::Key_Left, {}, 38},      {Qt::Key_Down, {}, 70},
        {Qt::Key_PageDown, {}, 486},                          // the bottom row of the column
        {Qt::Key_Down, {}, 486},     {Qt::Key_PageUp, {}, 6}, // the top row
        {Qt::Key_Up, {}, 6},         {Qt::Key_End, {}, 512},
        {Qt::Key_Down, {}, 512},     {Qt::Key_Right, {}, 512},
        {Qt::Key_Home, {}, 1},       {Qt::Key_Left, {}, 1},
        {Qt::Key_Down, {}, 33},      {Qt::Key_Left, {}, 32}, // on into the row above
        {Qt::Key_Right, {}, 33},     {Qt::Key_End, Qt::ControlModifier, 512},
        {Qt::Key_PageUp, {}, 32},    {Qt::Key_Home, Qt::ControlModifier, 1},
    };
    for (const Step& step : steps) {
        QTest::keyClick(&grid, step.key, step.modifiers);
        EXPECT_EQ(grid.Current_Channel(), step.channel) << step.key << " to " << step.channel;
    }
    QTest::keyClick(&grid, Qt::Key_Return);
    ASSERT_EQ(activated.size(), 2);
    EXPECT_EQ(activated[1][0].toInt(), 1);
    // The labels are no channel.
    QTest::mouseDClick(&grid, Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_EQ(activated.size(), 2);
}

TEST_F(Channel_Grid_Widget, ShowsTheTooltipOfTheCellUnderTheMouse) {
    Grid_Cell cell = Owned(3);
    cell.tooltip = "Channel 100\nRow 3";
    grid.Set_Cell(100, cell);
    // Cells without a tooltip of their own ask the source, when the tooltip is shown.
    std::vector<int> asked;
    grid.Set_Tooltip_Source([&](int channel) {
        asked.push_back(channel);
        return QStringLiteral("from the source %1").arg(channel);
    });
    const auto hover = [&](int channel) {
        const QPoint at = grid.Cell_Rect(channel).center();
        QHelpEvent help(QEvent::ToolTip, at, grid.mapToGlobal(at));
        QApplication::sendEvent(&grid, &help);
        return QToolTip::text();
    };
    EXPECT_EQ(hover(100), "Channel 100\nRow 3");
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(hover(101), "from the source 101");
    EXPECT_EQ(asked, std::vector<int>{101});
    QToolTip::hideText();
}

// A grid in a window with a button before it, as the windows hold it.
class Grid_For_Reader : public ::testing::Test {
protected:
    Grid_For_Reader() {
        auto* layout = new QVBoxLayout(&window);
        button = new QPushButton("Before", &window);
        grid = new Channel_Grid(&window);
        layout->addWidget(button);
        layout->addWidget(grid);
        window.resize(1000, 460);
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
        window.activateWindow();
        QApplication::processEvents();
        table = QAccessible::queryAccessibleInterface(grid);
    }
    QAccessibleInterface* Cell_Of(int channel) { return table->child(channel - 1); }

    QWidget window;
    QPushButton* button = nullptr;
    Channel_Grid* grid = nullptr;
    QAccessibleInterface* table = nullptr;
    Reader_Events events;
};

TEST_F(Grid_For_Reader, IsATableOfTheChannels) {
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->role(), QAccessible::Table);
    QAccessibleTableInterface* rows = table->tableInterface();
    ASSERT_NE(rows, nullptr);
    EXPECT_EQ(rows->rowCount(), 16);
    EXPECT_EQ(rows->columnCount(), 32);
    EXPECT_EQ(table->childCount(), 512);
    EXPECT_EQ(rows->rowDescription(2), "65");
    EXPECT_EQ(rows->columnDescription(5), "+5");

    Grid_Cell cell = Owned(4);
    cell.tooltip = "Channel 70\nRow 4";
    grid->Set_Cell(70, cell);
    // Row 3 (65-96), column +5: child 69, the same interface each time.
    QAccessibleInterface* seventy = rows->cellAt(2, 5);
    ASSERT_NE(seventy, nullptr);
    EXPECT_EQ(seventy, Cell_Of(70));
    EXPECT_EQ(table->indexOfChild(seventy), 69);
    EXPECT_EQ(seventy->parent(), table);
    EXPECT_EQ(seventy->role(), QAccessible::Cell);
    QAccessibleTableCellInterface* place = seventy->tableCellInterface();
    ASSERT_NE(place, nullptr);
    EXPECT_EQ(place->rowIndex(), 2);
    EXPECT_EQ(place->columnIndex(), 5);
    EXPECT_EQ(place->table(), table);
    EXPECT_EQ(rows->cellAt(16, 0), nullptr);
    EXPECT_EQ(rows->cellAt(0, 32), nullptr);

    // Without a spoken source: the channel and the cell's text; the tooltip describes it.
    EXPECT_EQ(seventy->text(QAccessible::Name), "70: 4");
    EXPECT_EQ(seventy->text(QAccessible::Description), "Channel 70\nRow 4");
    EXPECT_EQ(Cell_Of(71)->text(QAccessible::Name), "71");
    // The window's source is asked when the reader asks.
    int asked = 0;
    grid->Set_Spoken_Source([&](int channel) {
        ++asked;
        return QStringLiteral("spoken %1").arg(channel);
    });
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(seventy->text(QAccessible::Name), "spoken 70");
    EXPECT_EQ(asked, 1);

    // Where the cell lies on the screen, and the cell under a point of the screen.
    const QRect on_screen(grid->mapToGlobal(grid->Cell_Rect(70).topLeft()),
                          grid->Cell_Rect(70).size());
    EXPECT_EQ(seventy->rect(), on_screen);
    EXPECT_EQ(table->childAt(on_screen.center().x(), on_screen.center().y()), seventy);
}

TEST_F(Grid_For_Reader, TabAndKeysMoveTheCurrentCellAndTellTheReader) {
    button->setFocus(Qt::OtherFocusReason);
    QApplication::processEvents();
    events.Clear();
    // Coming to the grid with Tab makes channel 1 current; the reader is told of its cell after
    // the grid's own focus.
    QTest::keyClick(&window, Qt::Key_Tab);
    ASSERT_TRUE(grid->hasFocus());
    EXPECT_EQ(grid->Current_Channel(), 1);
    QApplication::processEvents();
    ASSERT_FALSE(events.All().empty());
    const Reader_Event& last = events.All().back();
    EXPECT_EQ(last.type, QAccessible::Focus);
    EXPECT_EQ(last.object, grid);
    EXPECT_EQ(last.child, 0);
    EXPECT_EQ(table->focusChild(), Cell_Of(1));
    EXPECT_TRUE(Cell_Of(1)->state().focused);
    EXPECT_TRUE(Cell_Of(1)->state().selected);

    events.Clear();
    QTest::keyClick(grid, Qt::Key_Down);
    EXPECT_EQ(grid->Current_Channel(), 33);
    EXPECT_EQ(events.Of(QAccessible::SelectionRemove, grid, 0).size(), 1u);
    EXPECT_EQ(events.Of(QAccessible::SelectionAdd, grid, 32).size(), 1u);
    ASSERT_EQ(events.Of(QAccessible::Focus, grid).size(), 1u);
    EXPECT_EQ(events.Of(QAccessible::Focus, grid)[0].child, 32);
    EXPECT_FALSE(Cell_Of(1)->state().selected);
    EXPECT_EQ(table->tableInterface()->selectedCells(), QList<QAccessibleInterface*>{Cell_Of(33)});

    // Enter does what a double click does; so does the cell's press action, once the reader's
    // call has returned.
    QSignalSpy activated(grid, &Channel_Grid::Channel_Double_Clicked);
    QTest::keyClick(grid, Qt::Key_Return);
    ASSERT_EQ(activated.size(), 1);
    EXPECT_EQ(activated[0][0].toInt(), 33);
    QTest::keyClick(grid, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(activated.size(), 2);
    QAccessibleActionInterface* actions = Cell_Of(40)->actionInterface();
    ASSERT_NE(actions, nullptr);
    ASSERT_TRUE(actions->actionNames().contains(QAccessibleActionInterface::pressAction()));
    actions->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(activated.size(), 2);
    QApplication::processEvents();
    ASSERT_EQ(activated.size(), 3);
    EXPECT_EQ(activated[2][0].toInt(), 40);
    EXPECT_EQ(grid->Current_Channel(), 40);

    // Without the focus the current cell is still selected, no longer focused.
    button->setFocus(Qt::OtherFocusReason);
    EXPECT_TRUE(Cell_Of(40)->state().selected);
    EXPECT_FALSE(Cell_Of(40)->state().focused);
    EXPECT_EQ(table->focusChild(), nullptr);
}

TEST_F(Grid_For_Reader, ChangesAreAnnouncedOncePerTurnOfTheEventLoop) {
    grid->setFocus();
    grid->Set_Current_Channel(5);
    QApplication::processEvents();
    events.Clear();
    // A burst of values, as a busy run gives between two redraws: nothing at once, then one
    // name change of the current cell and one change of the table's data.
    for (int value = 0; value < 50; ++value) {
        Grid_Cell cell;
        cell.text = QString::number(value);
        grid->Set_Cell(5, cell);
        grid->Set_Cell(200, cell);
    }
    EXPECT_TRUE(events.All().empty());
    QApplication::processEvents();
    const auto named = events.Of(QAccessible::NameChanged, grid);
    ASSERT_EQ(named.size(), 1u);
    EXPECT_EQ(named[0].child, 4);
    EXPECT_EQ(named[0].name, "5: 49");
    const auto changed = events.Of(QAccessible::TableModelChanged, grid);
    ASSERT_EQ(changed.size(), 1u);

    // A colour alone tells nothing; another cell changes only the table's data.
    events.Clear();
    Grid_Cell coloured = grid->Cell(5);
    coloured.background = Slot_Colour(9);
    grid->Set_Cell(5, coloured);
    QApplication::processEvents();
    EXPECT_TRUE(events.All().empty());
    Grid_Cell other;
    other.text = "7";
    grid->Set_Cell(300, other);
    QApplication::processEvents();
    EXPECT_TRUE(events.Of(QAccessible::NameChanged, grid).empty());
    EXPECT_EQ(events.Of(QAccessible::TableModelChanged, grid).size(), 1u);
}

TEST_F(Grid_For_Reader, TheFocusIsDrawn) {
    grid->Set_Current_Channel(70);
    button->setFocus();
    QApplication::processEvents();
    const QRect cell = grid->Cell_Rect(70);
    const QRect cells = grid->Layout().cells;
    const QImage unfocused = grid->grab().toImage();
    grid->setFocus();
    QApplication::processEvents();
    const QImage focused = grid->grab().toImage();
    // The white line inside the dark frame of the current cell, and the focus line around the
    // cells, show only with the focus.
    const QPoint inner = cell.topLeft() + QPoint(4, cell.height() / 2);
    EXPECT_EQ(focused.pixelColor(inner), QColor(Qt::white));
    EXPECT_NE(unfocused.pixelColor(inner), QColor(Qt::white));
    EXPECT_LT(focused.pixelColor(cell.topLeft() + QPoint(2, cell.height() / 2)).lightness(), 60);
    const QPoint edge = cells.topLeft() + QPoint(-1, cells.height() / 2);
    EXPECT_EQ(focused.pixelColor(edge), Focus_Colour());
    EXPECT_NE(unfocused.pixelColor(edge), Focus_Colour());
}

} // namespace
