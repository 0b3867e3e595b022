#pragma once
// Where a drop-down's popup opens: below the edit (overlapping its bottom pixel row) when it fits
// on the screen, otherwise above it with its bottom on the edit's top edge; dpDown and dpUp force
// one side. A popup that passes the right edge of the work area is moved left to end there. Then
// the popup is kept inside the work area of the screen that holds the edit: one that would still
// leave it at the bottom or top opens on the other side of the edit, one too wide is moved right
// to the work area's left edge, and what still does not fit is held at the work area's top.
#include "controls/grid/dropdown/rules/DropDownTypes.h"

#include <QPoint>
#include <QRect>
#include <QSize>

namespace controls::grid::dropdown {

// anchor: the edit's top-left corner on the screen; screen: the geometry of the screen holding the
// edit; workArea: that screen's work area.
QPoint PlacePopup(QPoint anchor, int editHeight, QSize popup, TDropPosition position, const QRect& screen,
                  const QRect& workArea);

} // namespace controls::grid::dropdown
