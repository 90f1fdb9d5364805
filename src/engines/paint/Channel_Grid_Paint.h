#pragma once

#include <QColor>
#include <QFont>
#include <QPoint>
#include <QRect>
#include <QRegion>
#include <QString>
#include <span>

class QPainter;

// The picture of the 512 DMX channels as a grid of 32 columns and 16 rows, channel 1 at the top
// left, 32 channels a row. Above the cells stand the column offsets (+0 .. +31), left of them the
// first channel of each row, so channel = row label + column label. Drawing needs QtGui only:
// the grid widget, pictures and reports all draw it with these functions.

inline constexpr int Grid_Columns = 32;
inline constexpr int Grid_Rows = 16;
inline constexpr int Grid_Cell_Count = Grid_Columns * Grid_Rows; // 512

// What one channel's cell shows.
struct Grid_Cell {
    QString text;        // drawn in the middle
    QColor background;   // invalid: the plain colour of a cell without content
    QColor text_colour;  // invalid: dark or white, whichever reads better on the background
    bool greyed = false; // drawn pale and grey (beyond the channel count)
    bool alert = false;  // drawn red with white text (an overlap, a failed channel)
    bool marked = false; // outlined (the channels of the request in hand)
    QString tooltip;     // not drawn; shown by the widget over the cell

    bool operator==(const Grid_Cell&) const = default;
};

// Where the labels and cells of a grid lie inside an area.
struct Grid_Layout {
    QRect area;
    QRect cells;          // the 32 x 16 cells
    int label_width = 0;  // room of the row labels left of the cells
    int label_height = 0; // room of the column labels above the cells
    QFont font;           // of the cell texts
    QFont label_font;

    // The cell of a channel index 0..511 (an empty rectangle outside).
    QRect Cell_Rect(int index) const;
    // The channel index 0..511 under a point, or -1.
    int Cell_At(QPoint point) const;
};

// The layout of a grid in area, with texts in base_font (made smaller where cells are narrow).
Grid_Layout Layout_Channel_Grid(const QRect& area, const QFont& base_font);

// Draws the labels and the cells (512 of them) into the layout's area. current: a channel index
// drawn with a dark frame, or -1. focused: the grid has the keyboard focus; the current cell then
// gets a wider frame with a white line inside it, and the cells a focus line around them. Only the
// cells and labels that meet dirty are drawn; an empty dirty region draws everything.
void Paint_Channel_Grid(QPainter& painter, const Grid_Layout& layout,
                        std::span<const Grid_Cell> cells, int current = -1,
                        const QRegion& dirty = QRegion(), bool focused = false);

// The colour of the focus line around the cells of a focused grid.
QColor Focus_Colour();

// The colours of the map.
// A colour of its own for each row of a request table (slot 1..512): hues a golden angle apart,
// so that neighbouring rows differ clearly, light enough for dark text.
QColor Slot_Colour(int slot);
QColor Alert_Colour();      // red
QColor Greyed_Colour();     // grey of the channels beyond the count
QColor Empty_Cell_Colour(); // pale: a channel without a request
QColor Quiet_Text_Colour(); // grey text: a default value in an empty cell
// The colour a cell's text is drawn in on a background.
QColor Readable_Text_Colour(const QColor& background);
