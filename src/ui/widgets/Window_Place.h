#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// Where a window goes beside a dialog so that it hides as little of it as it can: right of the
// dialog, tops aligned, when it fits there; else below it, left edges aligned; else wherever in
// the area it covers the least of the dialog (of places that cover as much, the first of: right
// of it, below it, left of it, above it, the others). The window always lies inside the area:
// moved in from its edges, and at the area's top left where it is larger than the area.
// dialog: the dialog's frame on the screen; window: the frame size of the window to place;
// area: the screen's available area. Returns the top left of the window's frame.
QPoint Place_Beside(const QRect& dialog, const QSize& window, const QRect& area);
