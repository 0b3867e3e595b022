#pragma once
// TLTHeader: the header of one tree. It owns the columns (LazyTreeColumns.h) and everything of
// the strip above the rows: visibility (hoVisible), height and its limits, font, style,
// background, images, options, the main, auto-size and sort columns, the fixed-area
// constraints and the state of the header's mouse interaction.
//
// The strip. On the platform the strip lay in the tree window's non-client area; here it is a
// child widget of the tree (HeaderStrip()) placed in the viewport margin above the rows, so
// the rows keep their client coordinates. The header works in tree client coordinates, in
// which the strip lies above y = 0 (y from -Height to -1); header coordinates add Height to y.
// The strip hands its mouse events to HandleMessage as the non-client messages (NCMouseMove,
// NCLButtonDown...); the tree hands its own mouse, key, focus and size events to HandleMessage
// first whenever a header state is set (tracking, dragging), and Size after every resize.
//
// No-column mode (the program's scan trees): with an empty collection UseColumns is false,
// MainColumn reads -1 whatever is stored, and column queries answer for an empty collection
// (-2 from the first/last/next/previous queries and ColumnFromPosition(point), -1 from
// ColumnFromPosition(position), the whole row from GetColumnBounds(-1), 0 from TotalWidth and
// GetVisibleFixedWidth, Indent from GetScrollWidth). hoVisible is not among the default
// options, so the strip is not shown and no header interaction can start.
//
// Sorting by the header: setting SortColumn or SortDirection sorts the tree
// (SortTree(SortColumn, SortDirection)) when toAutoSort is in the tree's auto options or
// hoHeaderClickAutoSort is set, and no update is open; with hoHeaderClickAutoSort a left click
// on a column makes it the sort column (or inverts the direction when it already is), and the
// sort column shows its sort glyph under hoShowSortGlyphs.
//
// Mouse (LazyTreeHeaderMouse.cpp): hover tracking with hot drawing (hoHotTrack), clicks and
// double clicks (OnHeaderClick, OnHeaderDblClick), column check boxes, border dragging to
// resize a column (hoColumnResize; the border can be grabbed from 2 pixels left to 4 right of
// it with the default tolerance 8), double click on a border to fit the column
// (hoDblClickResize), bottom-edge dragging and double click for the height (hoHeightResize,
// hoHeightDblClickResize), dragging a column to another position with a translucent image
// and a drop mark (hoDrag), the automatic column menu on a right click
// (hoAutoColumnPopupMenu), Escape and focus loss ending any of these.
//
// Binary stream (SaveToStream / LoadFromStream, all values little-endian 32-bit):
//   header   = marker -1, version 6, columns, AutoSizeIndex, Background, Height, Options,
//              Style, font colour, font height (negative: pixels), font name (byte count, then
//              UTF-8), font pitch, font style (bit 0 bold, 1 italic, 2 underline, 3 strike
//              out), MainColumn (as stored), SortColumn, SortDirection, ParentFont, MaxHeight,
//              MinHeight, DefaultHeight, the four constraint percentages (MaxHeight, MaxWidth,
//              MinHeight, MinWidth)
//   columns  = count N, N column records, N position entries (index at each position),
//              DefaultWidth
//   column   = text (code unit count, UTF-16LE), hint (same), Width, MinWidth, MaxWidth,
//              Style, ImageIndex, Layout, Margin, Spacing, BiDiMode, Options (16 bits widened),
//              Tag, Alignment, Color, CaptionAlignment (only with coUseCaptionAlignment)
//   Older versions are read: a stream without the marker (first value not negative) is
//   version -1; Tag and Alignment need version > 0, Color > 1, CaptionAlignment > 5, the
//   collection's DefaultWidth > 4, MainColumn/SortColumn/SortDirection > 0, ParentFont and the
//   height limits and constraints > 4; version 2 keeps the low 8 option bits, versions below
//   2 keep bits 0-3 and move bits 4-6 up one place (coParentColor clear).
//   Reading is bounded: texts and counts larger than the bytes left, a position array that is
//   not a permutation of 0..N-1 (replaced by the identity order), or a stream that ends early
//   all end in ELazyTreeError ("Stream read error" for a short stream) with the header's
//   options restored; a negative column count loads no columns.
#include "controls/tree/LazyTreeColors.h"
#include "controls/tree/LazyTreeColumns.h"
#include "controls/tree/TreeTypes.h"
#include "platform/core/Persistent.h"
#include "platform/draw/Color.h"

#include <QCursor>
#include <QFont>
#include <QImage>
#include <QPoint>
#include <QWidget>
#include <memory>

class QMenu;
class QIODevice;

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

// No header is higher than this (heights from streams are kept within it).
constexpr int MaxHeaderHeight = 10000;

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

// What a header click hit.
enum TLTHeaderHitPosition : uint8_t { hhiNoWhere, hhiOnColumn, hhiOnIcon, hhiOnCheckbox };
using TLTHeaderHitPositions = TSet<TLTHeaderHitPosition, uint8_t>;
struct TLTHeaderHitInfo {
    int X = 0;
    int Y = 0;
    TMouseButton Button = mbLeft;
    TShiftState Shift;
    TColumnIndex Column = NoColumn;
    TLTHeaderHitPositions HitPosition;
};

// What painting asks the owner to draw (advanced owner draw) and tells it.
enum THeaderPaintElement : uint8_t { hpeBackground, hpeDropMark, hpeHeaderGlyph, hpeSortGlyph, hpeText };
using THeaderPaintElements = TSet<THeaderPaintElement, uint8_t>;
struct THeaderPaintInfo {
    platform::Canvas* TargetCanvas = nullptr;
    TLazyTreeColumn* Column = nullptr;
    platform::Rect PaintRectangle;
    platform::Rect TextRectangle;
    bool IsHoverIndex = false;
    bool IsDownIndex = false;
    bool IsEnabled = false;
    bool ShowHeaderGlyph = false;
    bool ShowSortGlyph = false;
    bool ShowRightBorder = false;
    TLTDropMarkMode DropMark = dmmNone;
    QPoint GlyphPos;
    QPoint SortGlyphPos;
};

// The window messages the header interprets (client coordinates in Pos).
enum class THeaderMessage : uint8_t {
    NCMouseMove,
    Timer, // the hover timer (3)
    NCLButtonDown,
    LButtonDown,
    MouseMove,
    NCLButtonUp,
    LButtonUp,
    NCLButtonDblClk,
    NCRButtonDblClk,
    NCMButtonDblClk,
    LButtonDblClk,
    NCRButtonDown,
    NCMButtonDown,
    NCRButtonUp,
    NCMButtonUp,
    SetCursor,
    Size,
    KillFocus,
    KeyDownEscape,
    ParentFontChanged,
    BiDiModeChanged,
};
struct TLTHeaderMessage {
    THeaderMessage Msg = THeaderMessage::NCMouseMove;
    QPoint Pos;
    TShiftState Shift;
    int Result = 0;
};

// The translucent picture of a dragged column.
class TLTColumnDragImage {
public:
    ~TLTColumnDragImage();
    void Prepare(const QImage& Picture, QPoint ImagePosition, QPoint HotSpot, bool Restricted);
    void Show();
    void MoveTo(QPoint P);
    void End();
    bool Visible() const { return FVisible; }
    QPoint ImagePosition() const { return FImagePosition; }
    const QImage& Picture() const { return FPicture; }

private:
    QImage FPicture;
    QPoint FImagePosition;
    QPoint FHotSpot;
    QPoint FStart;
    bool FRestricted = false;
    bool FVisible = false;
    std::unique_ptr<QWidget> FWindow;
};

// The strip widget: paints the header and hands the mouse to it.
class THeaderStrip : public QWidget {
public:
    explicit THeaderStrip(TBaseLazyTree* tree);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    bool Send(THeaderMessage msg, QMouseEvent* event);
    TBaseLazyTree* FTree;
};

class TLTHeader : public platform::TPersistent {
public:
    explicit TLTHeader(TBaseLazyTree* owner);
    ~TLTHeader() override;

    TBaseLazyTree* Treeview() const { return FOwner; }
    TLazyTreeColumns& Columns() { return *FColumns; }
    const TLazyTreeColumns& Columns() const { return *FColumns; }

    // --- properties -------------------------------------------------------------------------
    TColumnIndex AutoSizeIndex() const { return FAutoSizeIndex; }
    void SetAutoSizeIndex(TColumnIndex value);
    platform::Color Background() const { return FBackgroundColor; }
    void SetBackground(platform::Color value);
    int DefaultHeight() const { return FDefaultHeight; }
    void SetDefaultHeight(int value);
    const QFont& Font() const { return FFont; }
    void SetFont(const QFont& font);
    platform::Color FontColor() const { return FFontColor; }
    void SetFontColor(platform::Color value);
    TLTFixedAreaConstraints& FixedAreaConstraints() { return *FFixedAreaConstraints; }
    int Height() const { return FHeight; }
    void SetHeight(int value);
    platform::TImageList* Images() const { return FImages; }
    void SetImages(platform::TImageList* images);
    // -1 whenever there are no columns, whatever is stored.
    TColumnIndex MainColumn() const;
    TColumnIndex StoredMainColumn() const { return FMainColumn; }
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
    TLTColumnDragImage& DragImage() { return FDragImage; }
    QPoint TrackPoint() const { return FTrackPoint; }
    // The cursor the header asks for over the strip (the tree's cursor when none).
    QCursor Cursor() const { return FCursor; }

    bool UseColumns() const { return FColumns->Count() > 0; }
    int ColumnCount() const { return FColumns->Count(); }

    void Assign(const platform::TPersistent* source) override;
    void ChangeScale(int M, int D);
    virtual bool CanWriteColumns() const { return true; }

    // --- column queries (LazyTreeColumns.h) -----------------------------------------------
    bool IsValidColumn(TColumnIndex column) const { return FColumns->IsValidColumn(column); }
    // A valid column with coAllowFocus.
    bool AllowFocus(TColumnIndex column) const;
    TColumnIndex GetFirstVisibleColumn(bool ConsiderAllowFocus = false) const
    {
        return FColumns->GetFirstVisibleColumn(ConsiderAllowFocus);
    }
    TColumnIndex GetLastVisibleColumn(bool ConsiderAllowFocus = false) const
    {
        return FColumns->GetLastVisibleColumn(ConsiderAllowFocus);
    }
    TColumnIndex GetNextVisibleColumn(TColumnIndex column, bool ConsiderAllowFocus = false) const
    {
        return FColumns->GetNextVisibleColumn(column, ConsiderAllowFocus);
    }
    TColumnIndex GetPreviousVisibleColumn(TColumnIndex column, bool ConsiderAllowFocus = false) const
    {
        return FColumns->GetPreviousVisibleColumn(column, ConsiderAllowFocus);
    }
    TColumnIndex ColumnFromPosition(QPoint p, bool Relative = true) const { return FColumns->ColumnFromPosition(p, Relative); }
    TColumnIndex ColumnFromPosition(TColumnPosition position) const { return FColumns->ColumnFromPosition(position); }
    // Left and right of a column in client coordinates; a negative index is the whole row.
    void GetColumnBounds(TColumnIndex column, int& left, int& right) const { FColumns->GetColumnBounds(column, left, right); }
    int TotalWidth() const { return FColumns->TotalWidth(); }
    int GetVisibleFixedWidth() const { return FColumns->GetVisibleFixedWidth(); }
    int GetScrollWidth() const { return FColumns->GetScrollWidth(); }

    // --- widths -----------------------------------------------------------------------------
    // Fits the columns at positions RangeStartCol..RangeEndCol (all for -1) to their content.
    void AutoFitColumns(bool Animated = true, TSmartAutoFitType SmartAutoFitType = smaUseColumnOption,
                        int RangeStartCol = -1, int RangeEndCol = -1);
    // Spreads ChangeBy over the columns of index RangeStartCol..RangeEndCol that have all of
    // Options, within their limits; returns the change made.
    int ResizeColumns(int ChangeBy, TColumnIndex RangeStartCol, TColumnIndex RangeEndCol,
                      TLTColumnOptions Options = TLTColumnOptions{coVisible});
    // Every resizable visible column gets its last width back.
    void RestoreColumns();

    // --- the strip ----------------------------------------------------------------------------
    bool InHeader(QPoint p) const;
    bool InHeaderSplitterArea(QPoint p) const;
    void Invalidate(TColumnIndex column = NoColumn, bool expandToBorder = false);
    void RecalculateHeader();
    // The tree's resize: constraints, auto-size column, spring columns.
    bool HandleResize();
    // The constraints and height limits, applied when the tree window exists.
    void ApplyFixedAreaConstraints();
    // The window messages of the header; true when it consumed the message.
    virtual bool HandleMessage(TLTHeaderMessage& Message);
    // The column whose border lies under the client point: FTrackIndex and FTrackPoint.
    virtual bool DetermineSplitterIndex(QPoint P);
    void DoSetSortColumn(TColumnIndex Value);

    // --- binary stream ------------------------------------------------------------------------
    static constexpr int StreamVersion = 6;
    void SaveToStream(QIODevice& Stream) const;
    virtual void LoadFromStream(QIODevice& Stream);

    // --- dispatchers of the tree's header events ----------------------------------------------
    void DoAfterAutoFitColumn(TColumnIndex Column);
    void DoAfterColumnWidthTracking(TColumnIndex Column);
    void DoAfterHeightTracking();
    bool DoBeforeAutoFitColumn(TColumnIndex Column, TSmartAutoFitType& SmartAutoFitType);
    void DoBeforeColumnWidthTracking(TColumnIndex Column, TShiftState Shift);
    void DoBeforeHeightTracking(TShiftState Shift);
    void DoCanSplitterResize(QPoint P, bool& Allowed);
    bool DoColumnWidthDblClickResize(TColumnIndex Column, QPoint P, TShiftState Shift);
    bool DoColumnWidthTracking(TColumnIndex Column, TShiftState Shift, QPoint& TrackPoint, QPoint P);
    QMenu* DoGetPopupMenu(TColumnIndex Column, QPoint P);
    bool DoHeightTracking(QPoint& P, TShiftState Shift);
    bool DoHeightDblClickResize(QPoint& P, TShiftState Shift);

private:
    friend class TLazyTreeColumns;
    friend class TLazyTreeColumn;
    friend class TBaseLazyTree;
    void ConstraintsChanged();
    void FontChanged();
    void SpringColumns();
    bool ColumnBorderHit(QPoint P);
    bool BottomEdgeHit(QPoint P);
    void StartColumnDrag(QPoint P);
    void MoveColumnDrag(QPoint P);
    void StopTracking();

    TBaseLazyTree* FOwner;
    std::unique_ptr<TLazyTreeColumns> FColumns;
    int FHeight = 19;
    QFont FFont;
    platform::Color FFontColor = platform::clWindowText;
    int FFontPitch = 0;
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
    TLTColumnDragImage FDragImage;
    int FLastWidth = 0;
    THeaderStates FStates;
    QPoint FDragStart;
    QPoint FTrackStart;
    QPoint FTrackPoint;
    QCursor FCursor;
};

} // namespace controls
