#pragma once
// Themed parts of tree views, in the shape of the visual-styles parts the tree draws: the
// expand/collapse glyph (normal and hot, closed and opened) and the item backgrounds of the
// explorer look (hot, selected, selected without focus, hot and selected). They are drawn by
// the widget style (QStyle) of the window, or of the application, and only while
// IsThemeActive() holds; otherwise nothing is drawn and the calls answer false.
#include "platform/draw/Canvas.h"

#include <QSize>

class QWidget;

namespace platform {

enum TreeViewParts { TVP_TREEITEM = 1, TVP_GLYPH = 2, TVP_BRANCH = 3, TVP_HOTGLYPH = 4 };
enum GlyphStates { GLPS_CLOSED = 1, GLPS_OPENED = 2 };
enum TreeItemStates {
    TREIS_NORMAL = 1,
    TREIS_HOT = 2,
    TREIS_SELECTED = 3,
    TREIS_DISABLED = 4,
    TREIS_SELECTEDNOTFOCUS = 5,
    TREIS_HOTSELECTED = 6
};

// Draws the part inside r (clipped to it).
bool DrawTreeViewPart(QWidget* window, Canvas& canvas, int part, int state, const Rect& r);
// The size the style gives a part (the glyph is 9 by 9 pixels); an empty size for a part that
// has none or while themes are off.
QSize TreeViewPartSize(QWidget* window, int part, int state);

} // namespace platform
