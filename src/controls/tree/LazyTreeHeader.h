#pragma once
// TLTHeader: the header of one tree, here in its no-column mode, which is how the program's
// trees run. The collection of columns is always empty, so:
//   - UseColumns is false and MainColumn reads -1 whatever is stored; the tree paints one cell
//     per row, column -1, across the whole row;
//   - hoVisible is not among the default options and the strip is never shown: the header
//     rectangle has no height, Invalidate does nothing, InHeader and InHeaderSplitterArea are
//     false for every point, so no header click, drag or splitter tracking can happen;
//   - column queries answer for an empty collection: the first/last/next/previous (visible)
//     column queries and ColumnFromPosition(point) give -2, ColumnFromPosition(position) -1,
//     GetColumnBounds of a negative index the whole row (0 .. client width), TotalWidth and
//     GetVisibleFixedWidth 0, GetScrollWidth the tree's Indent, IsValidColumn false;
//   - SortColumn clamps to the last column index, so it stays -1 and never sorts;
//     AutoSizeIndex is stored but auto-sizing has nothing to size.
// Columns, header painting, header mouse handling and header streaming belong to the column
// mode, which this control does not build.
#include "controls/tree/LazyTreeColors.h"
#include "controls/tree/TreeTypes.h"
#include "platform/core/Persistent.h"
#include "platform/draw/Color.h"

#include <QFont>
#include <QPoint>
#include <memory>

class QMenu;

namespace platform {
class TImageList;
}

namespace controls {

class TBaseLazyTree;

enum TLTHeaderOption : uint8_t {
    hoAutoResize,
    hoColumnResize,
    hoDblClickResize,
    hoDrag,
    hoHotTrack,
    hoOwnerDraw,
    hoRestrictDrag,
    hoShowHint,
    hoShowImages,
    hoShowSortGlyphs,
    hoVisible,
    hoAutoSpring,
    hoFullRepaintOnResize,
    hoDisableAnimatedResize,
    hoHeightResize,
    hoHeightDblClickResize,
    hoHeaderClickAutoSort,
    hoAutoColumnPopupMenu,
};
using TLTHeaderOptions = TSet<TLTHeaderOption, uint32_t>;

enum TLTHeaderStyle : uint8_t { hsThickButtons, hsFlatButtons, hsPlates };
enum TSortDirection : uint8_t { sdAscending, sdDescending };

enum THeaderState : uint8_t {
    hsAutoSizing,
    hsDragging,
    hsDragPending,
    hsLoading,
    hsColumnWidthTracking,
    hsColumnWidthTrackPending,
    hsHeightTracking,
    hsHeightTrackPending,
    hsResizing,
    hsScaling,
    hsNeedScaling,
};
using THeaderStates = TSet<THeaderState, uint16_t>;

class TLTHeader : public platform::TPersistent {
public:
    explicit TLTHeader(TBaseLazyTree* owner);
    ~TLTHeader() override;

    TBaseLazyTree* Treeview() const { return FOwner; }

    // --- properties -------------------------------------------------------------------------
    TColumnIndex AutoSizeIndex() const { return FAutoSizeIndex; }
    void SetAutoSizeIndex(TColumnIndex value) { FAutoSizeIndex = value; }
    platform::Color Background() const { return FBackgroundColor; }
    void SetBackground(platform::Color value);
    int DefaultHeight() const { return FDefaultHeight; }
    void SetDefaultHeight(int value);
    const QFont& Font() const { return FFont; }
    void SetFont(const QFont& font);
    TLTFixedAreaConstraints& FixedAreaConstraints() { return *FFixedAreaConstraints; }
    int Height() const { return FHeight; }
    void SetHeight(int value);
    platform::TImageList* Images() const { return FImages; }
    void SetImages(platform::TImageList* images);
    // -1 whenever there are no columns, whatever is stored.
    TColumnIndex MainColumn() const;
    void SetMainColumn(TColumnIndex value);
    int MaxHeight() const { return FMaxHeight; }
    void SetMaxHeight(int value);
    int MinHeight() const { return FMinHeight; }
    void SetMinHeight(int value);
    TLTHeaderOptions Options() const { return FOptions; }
    void SetOptions(TLTHeaderOptions value);
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool value);
    QMenu* PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(QMenu* menu) { FPopupMenu = menu; }
    TColumnIndex SortColumn() const { return FSortColumn; }
    void SetSortColumn(TColumnIndex value);
    TSortDirection SortDirection() const { return FSortDirection; }
    void SetSortDirection(TSortDirection value);
    int SplitterHitTolerance() const { return fSplitterHitTolerance; }
    void SetSplitterHitTolerance(int value) { fSplitterHitTolerance = value; }
    TLTHeaderStyle Style() const { return FStyle; }
    void SetStyle(TLTHeaderStyle value);
    THeaderStates States() const { return FStates; }

    bool UseColumns() const { return false; }
    int ColumnCount() const { return 0; }

    void Assign(const platform::TPersistent* source) override;

    // --- column queries (an empty collection) -----------------------------------------------
    bool IsValidColumn(TColumnIndex) const { return false; }
    bool AllowFocus(TColumnIndex column) const { return IsValidColumn(column); }
    TColumnIndex GetFirstVisibleColumn() const { return InvalidColumn; }
    TColumnIndex GetLastVisibleColumn() const { return InvalidColumn; }
    TColumnIndex GetNextVisibleColumn(TColumnIndex) const { return InvalidColumn; }
    TColumnIndex GetPreviousVisibleColumn(TColumnIndex) const { return InvalidColumn; }
    TColumnIndex ColumnFromPosition(QPoint) const { return InvalidColumn; }
    TColumnIndex ColumnFromPosition(TColumnPosition) const { return NoColumn; }
    // Left and right of a column in tree coordinates; a negative index is the whole row.
    void GetColumnBounds(TColumnIndex column, int& left, int& right) const;
    int TotalWidth() const { return 0; }
    int GetVisibleFixedWidth() const { return 0; }
    int GetScrollWidth() const;

    // --- the strip ----------------------------------------------------------------------------
    bool InHeader(QPoint p) const;
    bool InHeaderSplitterArea(QPoint p) const;
    void Invalidate(TColumnIndex column = NoColumn, bool expandToBorder = false);
    void RecalculateHeader();
    // Window messages the header sees first; in the no-column mode it consumes none. A resize
    // re-applies the height limits and fixed-area constraints and recomputes the strip.
    bool HandleResize();
    // The constraints and height limits, applied when the tree window exists.
    void ApplyFixedAreaConstraints();

private:
    void ConstraintsChanged();

    TBaseLazyTree* FOwner;
    int FHeight = 19;
    QFont FFont;
    bool FParentFont = false;
    TLTHeaderOptions FOptions{hoColumnResize, hoDrag, hoShowSortGlyphs};
    TLTHeaderStyle FStyle = hsThickButtons;
    platform::Color FBackgroundColor = platform::clBtnFace;
    TColumnIndex FAutoSizeIndex = 0;
    QMenu* FPopupMenu = nullptr;
    TColumnIndex FMainColumn = -1;
    int FMaxHeight = 10000;
    int FMinHeight = 10;
    int FDefaultHeight = 19;
    std::unique_ptr<TLTFixedAreaConstraints> FFixedAreaConstraints;
    platform::TImageList* FImages = nullptr;
    int fSplitterHitTolerance = 8;
    TColumnIndex FSortColumn = -1;
    TSortDirection FSortDirection = sdAscending;
    THeaderStates FStates;
};

} // namespace controls
