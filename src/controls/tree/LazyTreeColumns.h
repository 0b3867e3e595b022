#pragma once
// The columns of a tree's header: TLazyTreeColumn (one column) and TLazyTreeColumns (the
// collection the header owns). This is the one place that knows column geometry: the tree's
// painting, hit testing, scrolling and the header's painting and mouse handling ask it.
//
// Indexes and positions. A column's index (its place in the collection) is its identity
// everywhere in the tree (events, node cells, MainColumn, SortColumn, focus). Its position is
// its place in the left-to-right display order; the position array maps positions to
// indexes. -1 means no column, -2 (InvalidColumn) is what a query answers when it finds none.
//
// Geometry. Each column caches its left edge (FLeft: the sum of the widths of the visible
// columns at earlier positions, without scrolling; a hidden column gets the edge where it
// would be and adds nothing). The edges are recomputed in one pass whenever positions,
// widths or visibility change, and not at all inside BeginUpdate/EndUpdate, which defer the
// work to the outermost EndUpdate. Left() is the scrolled edge (fixed columns, coFixed, do
// not scroll).
//
// Widths. The Width setter clamps to [MinWidth, MaxWidth], or, for a visible fixed column, to
// the fixed-area constraints of the header; it keeps the previous width for RestoreLastWidth.
// Under the header's hoAutoResize the auto-size column (AutoSizeIndex, else the last index)
// takes the client width the other visible columns leave, within its limits; setting its
// width directly changes nothing. AnimatedResize scrolls the picture towards the new width
// in 32 steps (unless hoDisableAnimatedResize or coDisableAnimatedResize) and then sets it.
//
// Change notification. A setter that changes what is drawn calls Changed(), which runs the
// collection's Update(column) unless the collection is inside BeginUpdate; structural changes
// (Add, Delete, Clear, Assign, EndUpdate) run Update(nullptr). Update keeps the position
// array as long as the collection, recomputes the edges, makes the main column 0 when it was
// negative and columns exist, re-fits the auto-size column and invalidates. Deleting a column
// moves every index above it down by one in the position array and in the hover, down, track
// and click columns and the header's AutoSizeIndex, MainColumn (0 when the main column itself
// goes and others remain) and SortColumn (-1 when the sort column goes).
//
// Loading (the tree's BeginLoading/Loaded, or the header's hsLoading while a stream is read):
// positions are stored as given and fixed afterwards (FixLoadedPositions); Update does no
// auto-sizing or redrawing.
#include "controls/tree/TreeTypes.h"
#include "platform/draw/Canvas.h"
#include "platform/draw/Color.h"
#include "platform/draw/Geometry.h"

#include <QPoint>
#include <QString>
#include <memory>
#include <vector>

class QIODevice;

namespace controls {

class TBaseLazyTree;
class TLTHeader;
class TLazyTreeColumns;
class TLTHeaderPopupMenu;
class TLazyTreeStreamReader;
struct THeaderPaintInfo;

enum TLTColumnOption : uint8_t {
    coAllowClick,
    coDraggable,
    coEnabled,
    coParentBidiMode,
    coParentColor,
    coResizable,
    coShowDropMark,
    coVisible,
    coAutoSpring,
    coFixed,
    coSmartResize,
    coAllowFocus,
    coDisableAnimatedResize,
    coWrapCaption,
    coUseCaptionAlignment,
    coEditable,
};
using TLTColumnOptions = TSet<TLTColumnOption, uint16_t>;
// coAllowClick, coDraggable, coEnabled, coParentBidiMode, coParentColor, coResizable,
// coShowDropMark, coVisible, coAllowFocus, coEditable.
constexpr TLTColumnOptions DefaultColumnOptions = TLTColumnOptions::fromBits(0x88FF);
// Bounds that keep every sum of widths, margins and spacings far from overflowing: a width (and
// its limits) within 0..MaxColumnWidth, margins and spacings within +-MaxColumnSpacing, and at
// most MaxColumnCount columns read from a stream.
constexpr int MaxColumnWidth = 100000;
constexpr int MaxColumnSpacing = 10000;
constexpr int MaxColumnCount = 10000;

enum TLazyTreeColumnStyle : uint8_t { vsText, vsOwnerDraw };
enum TLTHeaderColumnLayout : uint8_t { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
enum TSmartAutoFitType : uint8_t { smaAllColumns, smaNoColumn, smaUseColumnOption };
enum TLTDropMarkMode : uint8_t { dmmNone, dmmLeft, dmmRight };
enum TSortDirection : uint8_t { sdAscending, sdDescending };

class TLazyTreeColumn {
public:
    // Joins the collection at the last position, with the collection's DefaultWidth.
    explicit TLazyTreeColumn(TLazyTreeColumns* Collection);
    virtual ~TLazyTreeColumn();
    TLazyTreeColumn(const TLazyTreeColumn&) = delete;
    TLazyTreeColumn& operator=(const TLazyTreeColumn&) = delete;

    TLazyTreeColumns* Owner() const { return FOwner; }
    TColumnIndex Index() const { return FIndex; }

    platform::Alignment Alignment() const { return FAlignment; }
    void SetAlignment(platform::Alignment Value);
    TBiDiMode BiDiMode() const { return FBiDiMode; }
    void SetBiDiMode(TBiDiMode Value);
    // FCaptionAlignment with coUseCaptionAlignment, otherwise Alignment.
    platform::Alignment CaptionAlignment() const;
    void SetCaptionAlignment(platform::Alignment Value);
    // The caption as last wrapped for drawing (coWrapCaption).
    QString CaptionText() const { return FCaptionText; }
    TCheckType CheckType() const { return FCheckType; }
    void SetCheckType(TCheckType Value);
    TCheckState CheckState() const { return FCheckState; }
    void SetCheckState(TCheckState Value);
    bool CheckBox() const { return FCheckBox; }
    void SetCheckBox(bool Value);
    platform::Color Color() const { return FColor; }
    void SetColor(platform::Color Value);
    TSortDirection DefaultSortDirection() const { return FDefaultSortDirection; }
    void SetDefaultSortDirection(TSortDirection Value) { FDefaultSortDirection = Value; }
    QString Hint() const { return FHint; }
    void SetHint(const QString& Value) { FHint = Value; }
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    TLTHeaderColumnLayout Layout() const { return FLayout; }
    void SetLayout(TLTHeaderColumnLayout Value);
    int Margin() const { return FMargin; }
    void SetMargin(int Value);
    int MaxWidth() const { return FMaxWidth; }
    void SetMaxWidth(int Value);
    int MinWidth() const { return FMinWidth; }
    void SetMinWidth(int Value);
    TLTColumnOptions Options() const { return FOptions; }
    void SetOptions(TLTColumnOptions Value);
    TColumnPosition Position() const { return FPosition; }
    void SetPosition(TColumnPosition Value);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int Value);
    TLazyTreeColumnStyle Style() const { return FStyle; }
    void SetStyle(TLazyTreeColumnStyle Value);
    intptr_t Tag() const { return FTag; }
    void SetTag(intptr_t Value) { FTag = Value; }
    virtual QString GetText() const { return FText; }
    virtual void SetText(const QString& Value);
    QString Text() const { return GetText(); }
    int Width() const { return FWidth; }
    void SetWidth(int Value);

    // The scrolled left edge (fixed columns do not scroll).
    int Left() const;
    // FLeft and FLeft + width.
    void UnscrolledBounds(int& Left, int& Right) const;
    int UnscrolledLeft() const { return FLeft; }
    // The header rectangle of the tree narrowed to the column (unscrolled).
    platform::Rect GetRect() const;
    bool UseRightToLeftReading() const { return FBiDiMode != bdLeftToRight; }
    // The text when every character is at most U+00FF, otherwise "Column <index>".
    QString GetDisplayName() const;
    bool Equals(const TLazyTreeColumn* Other) const;
    virtual void Assign(const TLazyTreeColumn* Source);
    void ParentBiDiModeChanged();
    void ParentColorChanged();
    void RestoreLastWidth();
    int LastWidth() const { return FLastWidth; }
    bool BonusPixel() const { return FBonusPixel; }
    float SpringRest() const { return FSpringRest; }
    bool HasImage() const { return FHasImage; }
    platform::Rect ImageRect() const { return FImageRect; }

    // The binary column record (LazyTreeHeader.h describes it).
    void SaveToStream(QIODevice& Stream) const;
    void LoadFromStream(TLazyTreeStreamReader& Stream, int Version);

protected:
    void Changed();
    TBaseLazyTree* Tree() const;
    TLTHeader* Header() const;

private:
    friend class TLazyTreeColumns;
    friend class TLTHeader;

    TLazyTreeColumns* FOwner;
    TColumnIndex FIndex = 0;
    QString FText;
    QString FHint;
    int FLeft = 0;
    int FWidth = 50;
    TColumnPosition FPosition = 0;
    int FMinWidth = 10;
    int FMaxWidth = 10000;
    TLazyTreeColumnStyle FStyle = vsText;
    int FImageIndex = -1;
    TBiDiMode FBiDiMode = bdLeftToRight;
    TLTHeaderColumnLayout FLayout = blGlyphLeft;
    int FMargin = 4;
    int FSpacing = 3;
    TLTColumnOptions FOptions = DefaultColumnOptions;
    intptr_t FTag = 0;
    platform::Alignment FAlignment = platform::Alignment::taLeftJustify;
    platform::Alignment FCaptionAlignment = platform::Alignment::taLeftJustify;
    int FLastWidth = 50;
    platform::Color FColor = platform::clWindow;
    bool FBonusPixel = false;
    float FSpringRest = 0;
    QString FCaptionText;
    bool FCheckBox = false;
    TCheckType FCheckType = ctCheckBox;
    TCheckState FCheckState = csUncheckedNormal;
    platform::Rect FImageRect;
    bool FHasImage = false;
    TSortDirection FDefaultSortDirection = sdAscending;
};

class TLazyTreeColumns {
public:
    explicit TLazyTreeColumns(TLTHeader* Header);
    virtual ~TLazyTreeColumns();
    TLazyTreeColumns(const TLazyTreeColumns&) = delete;
    TLazyTreeColumns& operator=(const TLazyTreeColumns&) = delete;

    TLTHeader* Header() const { return FHeader; }
    TBaseLazyTree* Tree() const;
    int Count() const { return int(FItems.size()); }
    // The column of an index; platform::EListError for an index outside 0..Count-1.
    TLazyTreeColumn* Items(TColumnIndex Index) const;
    TLazyTreeColumn* operator[](TColumnIndex Index) const { return Items(Index); }
    int DefaultWidth() const { return FDefaultWidth; }
    void SetDefaultWidth(int Value) { FDefaultWidth = Value; }

    virtual TLazyTreeColumn* Add();
    // Removes the column (with the index adjustments described above).
    void Delete(TColumnIndex Index);
    virtual void Clear();
    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();
    bool Updating() const { return FUpdateCount > 0; }
    virtual void Assign(const TLazyTreeColumns* Source);
    bool Equals(const TLazyTreeColumns* Other) const;

    // The column at a point (x relative to the tree's client left, y in header coordinates);
    // -2 when none. Relative: x is scrolled (except over the fixed columns).
    TColumnIndex ColumnFromPosition(QPoint P, bool Relative = true) const;
    // The column index at a display position, -1 outside the array.
    TColumnIndex ColumnFromPosition(TColumnPosition PositionIndex) const;
    // The column under x (scrolled when Relative) with its left and right; -2 when none.
    TColumnIndex ColumnAndBoundsAt(QPoint P, int& Left, int& Right, bool Relative = true) const;
    // Scrolled bounds; a negative index is the whole row (0 .. client width).
    void GetColumnBounds(TColumnIndex Column, int& Left, int& Right) const;
    TColumnIndex GetFirstColumn() const;
    TColumnIndex GetNextColumn(TColumnIndex Column) const;
    TColumnIndex GetPreviousColumn(TColumnIndex Column) const;
    TColumnIndex GetFirstVisibleColumn(bool ConsiderAllowFocus = false) const;
    TColumnIndex GetLastVisibleColumn(bool ConsiderAllowFocus = false) const;
    TColumnIndex GetNextVisibleColumn(TColumnIndex Column, bool ConsiderAllowFocus = false) const;
    TColumnIndex GetPreviousVisibleColumn(TColumnIndex Column, bool ConsiderAllowFocus = false) const;
    std::vector<TLazyTreeColumn*> GetVisibleColumns() const;
    int GetVisibleFixedWidth() const;
    // The average width of the visible non-fixed columns (halves to even); the tree's Indent
    // without any.
    int GetScrollWidth() const;
    bool IsValidColumn(TColumnIndex Column) const { return Column >= 0 && Column < Count(); }
    int TotalWidth() const;
    const std::vector<TColumnIndex>& PositionToIndex() const { return FPositionToIndex; }
    void AnimatedResize(TColumnIndex Column, int NewWidth);
    // The pixels the last animated resize moved the picture per step ((new - old) div 32).
    int LastAnimationStep() const { return FLastAnimationStep; }

    // The mouse state of the header (LazyTreeHeader.h).
    TColumnIndex HoverIndex() const { return FHoverIndex; }
    TColumnIndex DownIndex() const { return FDownIndex; }
    TColumnIndex TrackIndex() const { return FTrackIndex; }
    TColumnIndex ClickIndex() const { return FClickIndex; }
    TColumnIndex DropTarget() const { return FDropTarget; }
    bool DropBefore() const { return FDropBefore; }
    TColumnIndex DragIndex() const { return FDragIndex; }
    bool CheckBoxHit() const { return FCheckBoxHit; }
    // The automatic column menu made by the last right click (nullptr before one).
    TLTHeaderPopupMenu* ColumnPopupMenu() const { return FColumnPopupMenu.get(); }

    // Painting (LazyTreeHeaderPaint.cpp): the header strip R (window coordinates of the header
    // rectangle) through the header bitmap; and the part R of the header image at Target.
    virtual void PaintHeader(platform::Canvas& Target, const platform::Rect& R, int HOffset);
    virtual void PaintHeader(platform::Canvas& TargetCanvas, platform::Rect R, QPoint Target, int RTLOffset = 0);
    // The caption in Bounds: shortened with "..." when it does not fit (unless wrapped), in the
    // header font colour (HeaderHotColor when Hot), embossed when disabled.
    void DrawCaption(platform::Canvas& Canvas, QString Caption, platform::Rect Bounds, bool Enabled, bool Hot,
                     unsigned DrawFormat, bool WrapCaption);
    // Where caption, image (or check box) and sort glyph of a column go inside Client.
    void LayoutHeaderContent(platform::Canvas& Canvas, TLazyTreeColumn* Column, const platform::Rect& Client,
                             THeaderPaintInfo& Info, unsigned DrawFormat);

    // The binary collection (LazyTreeHeader.h).
    void SaveToStream(QIODevice& Stream) const;
    void LoadFromStream(TLazyTreeStreamReader& Stream, int Version);

    // Mouse (LazyTreeHeaderMouse.cpp).
    virtual void HandleClick(QPoint P, TMouseButton Button, bool DblClick, bool Force);
    virtual void DoCanSplitterResize(QPoint P, TColumnIndex Column, bool& Allowed);
    bool BorderResizeAllowed(QPoint P, TColumnIndex Column);
    TColumnIndex UpdateDownColumn(QPoint P);
    bool UpdateHoverColumn(QPoint P);

    // Recomputes FPosition and FLeft of every column (not while loading, nor inside
    // BeginUpdate unless forced).
    void RecalculateLefts(bool Force = false);
    void FitAutoSizeColumn(bool Force = false);
    void FixLoadedPositions();
    void SetOrder(bool RightToLeft);

protected:
    friend class TLazyTreeColumn;
    friend class TLTHeader;
    virtual void Update(TLazyTreeColumn* Item);
    virtual void Notify(TLazyTreeColumn* Item, bool Removed);
    virtual std::unique_ptr<TLazyTreeColumn> NewColumn();
    void SyncPositionArray();
    TColumnIndex StepToVisibleColumn(TColumnIndex Column, bool ConsiderAllowFocus, int Step) const;
    void InvalidateColumn(TColumnIndex Column);
    void RemoveColumn(TLazyTreeColumn* Column);

private:
    TLTHeader* FHeader;
    std::vector<std::unique_ptr<TLazyTreeColumn>> FItems;
    int FUpdateCount = 0;
    TColumnIndex FHoverIndex = NoColumn;
    TColumnIndex FDownIndex = NoColumn;
    TColumnIndex FTrackIndex = NoColumn;
    TColumnIndex FClickIndex = NoColumn;
    bool FCheckBoxHit = false;
    std::vector<TColumnIndex> FPositionToIndex;
    int FDefaultWidth = 50;
    bool FNeedPositionsFix = false;
    bool FClearing = false;
    std::unique_ptr<TLTHeaderPopupMenu> FColumnPopupMenu;
    TColumnIndex FDragIndex = 0;
    TColumnIndex FDropTarget = NoColumn;
    bool FDropBefore = false;
    platform::Bitmap FHeaderBitmap;
    int FLastAnimationStep = 0;
};

} // namespace controls
