#include "controls/grid/dropdown/rules/PopupPlacement.h"

namespace controls::grid::dropdown {

QPoint PlacePopup(QPoint anchor, int editHeight, QSize popup, TDropPosition position, const QRect& screen,
                  const QRect& workArea)
{
    const int h = popup.height(), w = popup.width();
    const int belowTop = anchor.y() + editHeight - 1;
    const int aboveTop = anchor.y() - h;
    bool below = true;
    if (position == dpUp)
        below = false;
    else if (position == dpAuto)
        below = anchor.y() + h < screen.top() + screen.height();
    int x = anchor.x();
    int y = below ? belowTop : aboveTop;
    const int workRight = workArea.left() + workArea.width();
    if (workArea.left() >= 0 && x + w > workRight && x < workRight)
        x = workRight - w;

    // Inside the work area of the edit's screen.
    const int workBottom = workArea.top() + workArea.height();
    if (y + h > workBottom && aboveTop >= workArea.top())
        y = aboveTop;
    else if (y < workArea.top() && belowTop + h <= workBottom)
        y = belowTop;
    if (y + h > workBottom)
        y = workBottom - h;
    if (y < workArea.top())
        y = workArea.top();
    if (x + w > workRight)
        x = workRight - w;
    if (x < workArea.left())
        x = workArea.left();
    return QPoint(x, y);
}

} // namespace controls::grid::dropdown
