#pragma once
// The working values of one DrawCellContents call, shared by its steps (text, borders, graphic).
#include "controls/grid/paint/GridPaint.h"

namespace controls::grid {

struct TExtStringGridPaint::CellPaint {
    int ACol = 0;
    int ARow = 0;
    int RCol = 0;
    int SelRow = 0;
    TGridDrawState State;
    Rect CellRect;
    TCellFormat Format;
    TCellGraphicInfo Graphic;
    int TextWidth = 0;
    int ScrollOffset = 0;
    bool FilterGlyph = false;
    Color SavedBrushColor = platform::clNone;
    Color SavedFontColor = platform::clNone;
    bool IsFixedCell = false;
};

} // namespace controls::grid
