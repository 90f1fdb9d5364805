#include "grid/Channel_Grid.h"

#include <QApplication>
#include <QHelpEvent>
#include <QImage>
#include <QPaintEvent>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>
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
    const std::pair<Qt::Key, int> keys[] = {
        {Qt::Key_Right, 71}, {Qt::Key_Up, 39},    {Qt::Key_Left, 38}, {Qt::Key_Down, 70},
        {Qt::Key_End, 512},  {Qt::Key_Down, 512}, {Qt::Key_Home, 1},  {Qt::Key_Left, 1}};
    for (const auto& [key, channel] : keys) {
        QTest::keyClick(&grid, key);
        EXPECT_EQ(grid.Current_Channel(), channel) << key;
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

} // namespace
