#pragma once
// The geometry and selection rules of the colour picker's three panels:
//   - the colour cube: 127 hexagonal cells in 13 rows (7 to 13 to 7 cells) forming one large
//     hexagon around the white cell 64; a point hits the first cell whose centre lies within 6
//     pixels;
//   - the spectrum: a 128 x 128 picture with two swatches below it (the picked and the hot
//     colour);
//   - the theme palette: 60 colour boxes, ten base colours over five rows of their shades, the
//     shade rows drawn as joined strips (TColorBoxModel).
#include "controls/grid/dropdown/rules/DropDownTypes.h"
#include "platform/draw/Geometry.h"
#include "platform/grid/Keys.h"

#include <QPoint>
#include <QSize>
#include <array>
#include <functional>
#include <vector>

namespace controls::grid::dropdown {

using platform::Rect;

// --- colour cube ---------------------------------------------------------------------------------------

struct TCubeCell {
    QPoint center;
    Color color;
};
// Cell n (1..127) is element n - 1.
const std::array<TCubeCell, 127>& CubeCells();
// The cell whose centre lies within 6 pixels of the point (the first in cell order), or -1.
int CubeCellAtPos(int x, int y);
// The six corners of a hexagon pointed at top and bottom: half height 2a, half width b.
std::array<QPoint, 6> CubeHexagon(QPoint center, int a, int b);
constexpr int kCubePanelWidth = 182;
constexpr int kCubePanelHeight = 160;

// The picked colour of the cube: the cell, or the first cell holding the colour, or none.
struct TCubeSelection {
    Color SelectedColor = clNone;
    int SelectedIndex = -1;
    void Set(Color color, int index);
};

// --- spectrum ----------------------------------------------------------------------------------------------

struct TSpectrumLayout {
    QSize panel;
    Rect picture;
    Rect selectedSwatch;
    Rect hotSwatch;
};
TSpectrumLayout ArrangeSpectrum();

// --- theme palette -----------------------------------------------------------------------------------------

// How a box joins the boxes above and below it in its column.
enum TItemPos { ipStandAlone, ipTop, ipMiddle, ipBottom };

struct TColorBox {
    Color color = clNone;
    bool enabled = true;
    Rect rect;
    TItemPos pos = ipStandAlone;
};

class TColorBoxModel {
public:
    std::vector<TColorBox> Items;
    int ItemIndex = -1;
    int ItemHot = -1;
    int OffSetX = 4;
    int OffSetY = 4;
    int Columns = 10;
    int ColumnGap = 4;
    int ColorBoxWidth = 12;
    int ColorBoxHeight = 12;
    Color SelectedColor = clNone;

    // The view: a box must be drawn again (invalidated) or drawn at once; a box was selected.
    std::function<void(int index)> InvalidateBox;
    std::function<void(int index)> DrawBox;
    std::function<void()> OnItemSelect;

    // The 60 theme colours, replacing the boxes.
    void AddThemeColors();
    // Places the boxes; the size the selector needs (100 x 50 without boxes).
    QSize ArrangeBoxes();
    int BoxAtPos(int x, int y) const;

    void SetItemIndex(int index);
    void SetItemHot(int index);
    void SetSelectedColor(Color color);
    void SelectFirst();
    void SelectLast();
    void SelectNext();
    void SelectPrevious();
    void HotNext();
    void HotPrevious();
    // Page Up, Home, Page Down, End, Left, Right, Up, Down of the picker.
    void HandleKey(quint16 key, bool editorEnabled, bool droppedDown);
    void MouseDown(int x, int y);
    void MouseMove(int x, int y);
    void MouseLeave() { SetItemHot(-1); }

private:
    bool Valid(int index) const { return index >= 0 && index < int(Items.size()); }
};

} // namespace controls::grid::dropdown
