#include "widgets/Window_Place.h"

#include <algorithm>
#include <array>

namespace {

// The top left of a window of size inside area nearest to at.
QPoint Inside(QPoint at, const QSize& size, const QRect& area) {
    const int x = std::max(area.left(), std::min(at.x(), area.right() - size.width() + 1));
    const int y = std::max(area.top(), std::min(at.y(), area.bottom() - size.height() + 1));
    return {x, y};
}

qint64 Covered(const QRect& dialog, QPoint at, const QSize& size) {
    const QRect covered = dialog.intersected(QRect(at, size));
    return covered.isEmpty() ? 0 : static_cast<qint64>(covered.width()) * covered.height();
}

} // namespace

QPoint Place_Beside(const QRect& dialog, const QSize& window, const QRect& area) {
    const QPoint right(dialog.right() + 1, dialog.top());
    const QPoint below(dialog.left(), dialog.bottom() + 1);
    const bool fits_right =
        right.x() >= area.left() && right.x() + window.width() - 1 <= area.right();
    const bool fits_below =
        below.y() >= area.top() && below.y() + window.height() - 1 <= area.bottom();
    if (fits_right)
        return Inside(right, window, area);
    if (fits_below)
        return Inside(below, window, area);

    // Neither: the place of all that covers the least. What a place covers is the product of
    // what it covers across and down, and each is least against the dialog or an edge of the
    // area: the least lies among those places.
    const QPoint left(dialog.left() - window.width(), dialog.top());
    const QPoint above(dialog.left(), dialog.top() - window.height());
    const std::array<int, 4> xs = {dialog.right() + 1, dialog.left() - window.width(),
                                   area.right() - window.width() + 1, area.left()};
    const std::array<int, 5> ys = {dialog.top(), dialog.bottom() + 1,
                                   dialog.top() - window.height(), area.top(),
                                   area.bottom() - window.height() + 1};
    QPoint best = Inside(right, window, area);
    qint64 least = Covered(dialog, best, window);
    const auto consider = [&](QPoint at) {
        const QPoint place = Inside(at, window, area);
        const qint64 covered = Covered(dialog, place, window);
        if (covered < least) {
            least = covered;
            best = place;
        }
    };
    consider(below);
    consider(left);
    consider(above);
    for (const int y : ys)
        for (const int x : xs)
            consider(QPoint(x, y));
    return best;
}
