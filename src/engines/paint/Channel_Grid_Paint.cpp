#include "paint/Channel_Grid_Paint.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <array>
#include <cmath>

namespace {

const QColor Line_Colour(0xD2, 0xCE, 0xBC);
const QColor Label_Colour(0x80, 0x80, 0x80);
const QColor Mark_Colour(0x1E, 0x5B, 0xC6);
const QColor Current_Colour(0x20, 0x20, 0x20);

// Column c's left edge (c = 32 gives the right edge), spread evenly over the cells' width.
int Column_Edge(const QRect& cells, int c) {
    return cells.left() + static_cast<int>((static_cast<qint64>(cells.width()) * c) / Grid_Columns);
}

int Row_Edge(const QRect& cells, int r) {
    return cells.top() + static_cast<int>((static_cast<qint64>(cells.height()) * r) / Grid_Rows);
}

QColor Blend(const QColor& a, const QColor& b, double share_of_b) {
    const auto mix = [&](int x, int y) { return static_cast<int>(x + (y - x) * share_of_b + 0.5); };
    return QColor(mix(a.red(), b.red()), mix(a.green(), b.green()), mix(a.blue(), b.blue()));
}

void Paint_Cell(QPainter& painter, const Grid_Cell& cell, const QRect& rect, bool current,
                bool focused) {
    QColor background = cell.background.isValid() ? cell.background : Empty_Cell_Colour();
    QColor text = cell.text_colour.isValid() ? cell.text_colour : Readable_Text_Colour(background);
    if (cell.alert) {
        background = Alert_Colour();
        text = Qt::white;
    }
    if (cell.greyed) {
        background = Blend(background, Greyed_Colour(), 0.8);
        text = Blend(text, Greyed_Colour(), 0.5);
    }
    painter.fillRect(rect, background);
    painter.setPen(Line_Colour);
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
    if (!cell.text.isEmpty()) {
        painter.setPen(text);
        painter.drawText(rect, Qt::AlignCenter, cell.text);
    }
    if (current && focused) {
        // The focus frame: dark and wide, with a white line inside, so that it shows on every
        // colour of a cell (a mark shows as the dashes of the white line).
        painter.setBrush(Qt::NoBrush);
        QPen outer(Current_Colour, 3);
        outer.setJoinStyle(Qt::MiterJoin);
        painter.setPen(outer);
        painter.drawRect(QRectF(rect).adjusted(2.5, 2.5, -2.5, -2.5));
        QPen inner(QColor(Qt::white), 1);
        inner.setJoinStyle(Qt::MiterJoin);
        if (cell.marked)
            inner.setStyle(Qt::DashLine);
        painter.setPen(inner);
        painter.drawRect(QRectF(rect).adjusted(4.5, 4.5, -4.5, -4.5));
    } else if (current || cell.marked) {
        QPen pen(current ? Current_Colour : Mark_Colour, 2);
        pen.setJoinStyle(Qt::MiterJoin);
        if (current && cell.marked)
            pen.setStyle(Qt::DashLine);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(rect).adjusted(1.5, 1.5, -1.5, -1.5));
    }
}

} // namespace

QRect Grid_Layout::Cell_Rect(int index) const {
    if (index < 0 || index >= Grid_Cell_Count)
        return {};
    const int c = index % Grid_Columns;
    const int r = index / Grid_Columns;
    const int left = Column_Edge(cells, c);
    const int top = Row_Edge(cells, r);
    return QRect(left, top, Column_Edge(cells, c + 1) - left, Row_Edge(cells, r + 1) - top);
}

int Grid_Layout::Cell_At(QPoint point) const {
    if (!cells.contains(point))
        return -1;
    int c = static_cast<int>((static_cast<qint64>(point.x() - cells.left()) * Grid_Columns) /
                             std::max(1, cells.width()));
    int r = static_cast<int>((static_cast<qint64>(point.y() - cells.top()) * Grid_Rows) /
                             std::max(1, cells.height()));
    c = std::clamp(c, 0, Grid_Columns - 1);
    r = std::clamp(r, 0, Grid_Rows - 1);
    // Edges are rounded down: step to the neighbour when the point lies past this cell.
    if (point.x() >= Column_Edge(cells, c + 1) && c + 1 < Grid_Columns)
        ++c;
    if (point.y() >= Row_Edge(cells, r + 1) && r + 1 < Grid_Rows)
        ++r;
    return r * Grid_Columns + c;
}

Grid_Layout Layout_Channel_Grid(const QRect& area, const QFont& base_font) {
    Grid_Layout layout;
    layout.area = area;
    layout.label_font = base_font;
    const QFontMetrics label_metrics(layout.label_font);
    layout.label_width = label_metrics.horizontalAdvance(QStringLiteral("512")) + 8;
    layout.label_height = label_metrics.height() + 4;
    layout.cells = QRect(area.left() + layout.label_width, area.top() + layout.label_height,
                         std::max(0, area.width() - layout.label_width),
                         std::max(0, area.height() - layout.label_height));
    // The cell text: "512+" must fit a cell; narrow cells take a smaller font, down to 6 points.
    layout.font = base_font;
    const int room = layout.cells.width() / Grid_Columns - 3;
    qreal size = base_font.pointSizeF();
    while (size > 6 && QFontMetrics(layout.font).horizontalAdvance(QStringLiteral("512+")) > room) {
        size -= 0.5;
        layout.font.setPointSizeF(size);
    }
    return layout;
}

void Paint_Channel_Grid(QPainter& painter, const Grid_Layout& layout,
                        std::span<const Grid_Cell> cells, int current, const QRegion& dirty,
                        bool focused) {
    painter.save();
    const auto wanted = [&](const QRect& rect) {
        return dirty.isEmpty() || dirty.intersects(rect);
    };

    painter.setFont(layout.label_font);
    painter.setPen(Label_Colour);
    for (int c = 0; c < Grid_Columns; ++c) {
        const QRect label(Column_Edge(layout.cells, c), layout.area.top(),
                          Column_Edge(layout.cells, c + 1) - Column_Edge(layout.cells, c),
                          layout.label_height);
        if (wanted(label))
            painter.drawText(label, Qt::AlignCenter, QStringLiteral("+%1").arg(c));
    }
    for (int r = 0; r < Grid_Rows; ++r) {
        const QRect label(layout.area.left(), Row_Edge(layout.cells, r), layout.label_width - 4,
                          Row_Edge(layout.cells, r + 1) - Row_Edge(layout.cells, r));
        if (wanted(label))
            painter.drawText(label, Qt::AlignRight | Qt::AlignVCenter,
                             QString::number(r * Grid_Columns + 1));
    }

    painter.setFont(layout.font);
    const int count = std::min<int>(static_cast<int>(cells.size()), Grid_Cell_Count);
    for (int i = 0; i < count; ++i) {
        const QRect rect = layout.Cell_Rect(i);
        if (wanted(rect))
            Paint_Cell(painter, cells[static_cast<size_t>(i)], rect, i == current, focused);
    }
    if (focused && !layout.cells.isEmpty()) {
        // Over the outer edge lines of the cells, left and above in the labels' room.
        painter.setPen(QPen(Focus_Colour(), 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(layout.cells.adjusted(-1, -1, -1, -1));
    }
    painter.restore();
}

QColor Slot_Colour(int slot) {
    // The golden angle keeps every run of neighbouring rows far apart on the colour wheel.
    const double hue = std::fmod(static_cast<double>(slot) * 137.50776405, 360.0);
    const QColor colour = QColor::fromHsvF(static_cast<float>(hue / 360.0), 0.42f, 0.97f);
    // As a picture holds it: eight bits a component.
    return QColor(colour.red(), colour.green(), colour.blue());
}

QColor Focus_Colour() {
    return QColor(0x1F, 0x5F, 0xBF);
}

QColor Alert_Colour() {
    return QColor(0xD9, 0x2D, 0x20);
}

QColor Greyed_Colour() {
    return QColor(0xC4, 0xC4, 0xC4);
}

QColor Empty_Cell_Colour() {
    return QColor(0xFD, 0xFC, 0xF7);
}

QColor Quiet_Text_Colour() {
    return QColor(0x8C, 0x8C, 0x8C);
}

QColor Readable_Text_Colour(const QColor& background) {
    // The text colour of the higher contrast ratio, with relative luminance after sRGB.
    static const std::array<double, 256> linear = [] {
        std::array<double, 256> table{};
        for (int i = 0; i < 256; ++i) {
            const double c = i / 255.0;
            table[static_cast<size_t>(i)] =
                c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
        }
        return table;
    }();
    const auto luminance = [](const QColor& colour) {
        const QColor rgb = colour.toRgb();
        return 0.2126 * linear[static_cast<size_t>(rgb.red())] +
               0.7152 * linear[static_cast<size_t>(rgb.green())] +
               0.0722 * linear[static_cast<size_t>(rgb.blue())];
    };
    static const QColor dark(0x20, 0x20, 0x20);
    static const double dark_luminance = luminance(dark);
    const double l = luminance(background);
    const double against_dark = (l + 0.05) / (dark_luminance + 0.05);
    const double against_white = 1.05 / (l + 0.05);
    return against_dark >= against_white ? dark : QColor(Qt::white);
}
