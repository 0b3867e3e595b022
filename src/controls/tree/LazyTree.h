#pragma once
// TBaseLazyTree: a tree view that keeps only the shape of the tree. Every node is one heap
// block holding its links, counts, heights, states and a fixed-size area of the caller's data
// (NodeDataSize bytes); texts, images and initial states come from the owner through events
// when the tree first needs them. A tree of a million nodes costs its node blocks and nothing
// more: children can be created uninitialised in bulk (SetChildCount, RootNodeCount) and every
// node carries running totals (TotalCount, TotalHeight) so that counting, positions and the
// scroll range are computed along one path, never over all nodes.
//
// Create trees with TBaseLazyTree::create<T>(parent): construction runs in two steps, the
// constructor chain, then AfterConstruction, which makes the hidden root once every class of
// the chain has reserved its internal node data. Properties are set afterwards in code; a
// window that wants the "store only, complete later" behaviour of loading wraps its settings
// in BeginLoading() / Loaded().
//
// Structure, in brief:
//   - a hidden root that is never shown, never passed to events as a real node and never
//     deleted; operations that take a parent accept nullptr for the top level;
//   - invariants after every caller-facing operation outside BeginUpdate/EndUpdate: sibling
//     lists are doubly linked with Index 0, 1, 2...; ChildCount counts the linked children;
//     TotalCount = 1 + the children's; TotalHeight = own height (0 when effectively filtered)
//     + the visible children's totals when expanded; vsHasChildren whenever ChildCount > 0;
//     VisibleCount = the nodes that are effectively and fully visible;
//   - contract violations throw ELazyTreeAssertion with fixed English messages ("Node must not
//     be nil.");
//   - the scrolling range is the root's TotalHeight + BottomSpace - the root's own height.
//
// Window side (a QAbstractScrollArea): the "window" exists once HandleNeeded() ran, which the
// first show does; before that every step that needs a window (timers, repaints, scroll bars)
// is skipped, so the structure can be driven headless. The platform messages map to Qt events:
// paint, resize, key press and release (the typed text is the character message), mouse
// buttons, double clicks, moves, wheel, focus in and out, enter and leave; timers 1-8 are
// platform::Timer objects addressed by their id, so tests run them on the program clock; the
// scroll-bar notification is the signal scrollBarsChanged(). Not carried over: the
// accessibility object query, window recreation and OLE set-up; the platform tree control's
// item queries are the plain functions GetNextItem, GetItemRect and GetItem.
#include "controls/tree/LazyTreeAnimation.h"
#include "controls/tree/LazyTreeClasses.h"
#include "controls/tree/LazyTreeColors.h"
#include "controls/tree/LazyTreeEvents.h"
#include "controls/tree/LazyTreeHeader.h"
#include "controls/tree/LazyTreeOptions.h"
#include "controls/tree/LazyTreeStream.h"
#include "controls/tree/LazyTreeTransfer.h"
#include "controls/tree/TreeTypes.h"
#include "platform/draw/Canvas.h"
#include "platform/draw/Color.h"
#include "platform/draw/Geometry.h"
#include "platform/draw/Graphics.h"
#include "platform/draw/PatternBrush.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QCursor>
#include <QSize>
#include <QString>
#include <algorithm>
#include <array>
#include <atomic>
#include <exception>
#include <functional>
#include <memory>

class QMenu;
class QAccessibleInterface;
class QBuffer;
class QIODevice;

namespace platform {
class Timer;
class TImageList;
class PrintSurface;
} // namespace platform

namespace controls {

class TBaseLazyTree;
class TLazyTreeHintWindow;

// The callback of IterateSubtree.
using TLTGetNodeProc = std::function<void(TBaseLazyTree* Sender, PLazyNode Node, void* Data, bool& Abort)>;

enum TLZLazyNodeEnumerationMode : uint8_t {
    vneAll,
    vneChecked,
    vneChild,
    vneCutCopy,
    vneInitialized,
    vneLeaf,
    vneLevel,
    vneNoInit,
    vneSelected,
    vneVisible,
    vneVisibleChild,
    vneVisibleNoInitChild,
    vneVisibleNoInit,
};

// A walk over nodes usable in range-for loops: `for (PLazyNode n : tree->Nodes()) ...`.
struct TLTLazyNodeEnumeration;
class TLTLazyNodeEnumerator {
public:
    explicit TLTLazyNodeEnumerator(const TLTLazyNodeEnumeration* enumeration) : FEnumeration(enumeration) {}
    bool MoveNext();
    PLazyNode Current() const { return FNode; }

    // range-for
    PLazyNode operator*() const { return FNode; }
    TLTLazyNodeEnumerator& operator++()
    {
        MoveNext();
        return *this;
    }
    bool operator!=(const TLTLazyNodeEnumerator&) const { return FCanModeNext; }

private:
    PLazyNode FNode = nullptr;
    bool FCanModeNext = true;
    const TLTLazyNodeEnumeration* FEnumeration;
};

struct TLTLazyNodeEnumeration {
    TLZLazyNodeEnumerationMode FMode = vneAll;
    TBaseLazyTree* FTree = nullptr;
    bool FConsiderChildrenAbove = false;
    PLazyNode FNode = nullptr;
    uint32_t FNodeLevel = 0;
    TCheckState FState = csUncheckedNormal;
    bool FIncludeFiltered = false;

    TLTLazyNodeEnumerator GetEnumerator() const { return TLTLazyNodeEnumerator(this); }
    PLazyNode GetNext(PLazyNode node) const; // the first node for nullptr
    TLTLazyNodeEnumerator begin() const
    {
        TLTLazyNodeEnumerator e(this);
        e.MoveNext();
        return e;
    }
    TLTLazyNodeEnumerator end() const { return TLTLazyNodeEnumerator(this); }
};

// Offset update options of DoSetOffsetXY.
enum TOffsetUpdateOption : uint8_t { ouRepaintHeader, ouRepaintScrollBars, ouScrollClientArea, ouUpdateFrame };
using TOffsetUpdateOptions = TSet<TOffsetUpdateOption, uint8_t>;
constexpr TOffsetUpdateOptions DefaultScrollUpdateFlags{ouRepaintHeader, ouRepaintScrollBars, ouScrollClientArea,
                                                        ouUpdateFrame};

// Scroll-bar codes of the scroll messages.
enum TScrollCode : int {
    SB_LINEUP = 0,
    SB_LINEDOWN = 1,
    SB_PAGEUP = 2,
    SB_PAGEDOWN = 3,
    SB_THUMBPOSITION = 4,
    SB_THUMBTRACK = 5,
    SB_TOP = 6,
    SB_BOTTOM = 7,
    SB_ENDSCROLL = 8,
};
constexpr int SB_HORZ = 0;
constexpr int SB_VERT = 1;

// One image of a cell: which, where, and from which list.
enum CellImageSlot : uint8_t { ciNormal, ciState, ciCheck, ciOverlay };
struct CellImageInfo {
    int Index = -1;
    int XPos = 0;
    int YPos = 0;
    bool Ghosted = false;
    platform::TImageList* Images = nullptr;
};

// What one paint cycle knows about the node and cell it paints.
struct TLTPaintInfo {
    platform::Canvas* Canvas = nullptr;
    TLTInternalPaintOptions PaintOptions;
    PLazyNode Node = nullptr;
    TColumnIndex Column = NoColumn;
    TColumnPosition Position = 0;
    platform::Rect CellRect;
    platform::Rect ContentRect;
    int NodeWidth = 0;
    platform::Alignment Alignment = platform::Alignment::taLeftJustify;
    platform::Alignment CaptionAlignment = platform::Alignment::taLeftJustify;
    TBiDiMode BidiMode = bdLeftToRight;
    // Origin of the line pattern, in device pixels of the canvas.
    QPoint BrushOrigin;
    std::array<CellImageInfo, 4> ImageInfo;
    // The row bitmap the canvas paints on (nullptr when painting straight to the target).
    platform::Bitmap* RowBitmap = nullptr;
};

// The item questions of the platform's tree control (GetNextItem, GetItem).
enum TLTNextItemCode : int {
    TVGN_ROOT = 0,
    TVGN_NEXT = 1,
    TVGN_PREVIOUS = 2,
    TVGN_PARENT = 3,
    TVGN_CHILD = 4,
    TVGN_FIRSTVISIBLE = 5,
    TVGN_NEXTVISIBLE = 6,
    TVGN_PREVIOUSVISIBLE = 7,
    TVGN_DROPHILITE = 8,
    TVGN_CARET = 9,
    TVGN_LASTVISIBLE = 10,
};
constexpr unsigned TVIF_TEXT = 0x1;
constexpr unsigned TVIF_IMAGE = 0x2;
constexpr unsigned TVIF_STATE = 0x8;
constexpr unsigned TVIF_HANDLE = 0x10;
constexpr unsigned TVIF_SELECTEDIMAGE = 0x20;
constexpr unsigned TVIF_CHILDREN = 0x40;
constexpr unsigned TVIS_FOCUSED = 0x1;
constexpr unsigned TVIS_SELECTED = 0x2;
constexpr unsigned TVIS_CUT = 0x4;
constexpr unsigned TVIS_DROPHILITED = 0x8;
constexpr unsigned TVIS_EXPANDED = 0x20;
struct TLTItemInfo {
    unsigned mask = 0;
    PLazyNode hItem = nullptr;
    unsigned state = 0;
    unsigned stateMask = 0;
    QString pszText;
    int cchTextMax = 0;
    int iImage = 0;
    int iSelectedImage = 0;
    int cChildren = 0;
};

// Sorts Nodes[L..R] by pointer value (the selection is kept in that order).
void SortNodeArrayByAddress(TNodeArray& Nodes, int L, int R);
// The shift, ctrl and alt keys of a set of keyboard modifiers.
TShiftState ShiftStateOf(Qt::KeyboardModifiers Modifiers);

class TBaseLazyTree : public QAbstractScrollArea {
    Q_OBJECT
public:
    // Default height of a node row, in pixels.
    static constexpr uint32_t DefaultNodeHeightValue = 18;
    static constexpr int ChangeTimer = 5;
    static constexpr int StructureChangeTimer = 6;

    explicit TBaseLazyTree(QWidget* parent = nullptr);
    ~TBaseLazyTree() override;

    // Two-step creation: every tree is made this way.
    template <typename T, typename... Args>
    static T* create(Args&&... args)
    {
        T* tree = new T(std::forward<Args>(args)...);
        tree->AfterConstruction();
        return tree;
    }
    virtual void AfterConstruction();

    // "Loading": while it lasts, property writers only store their values; Loaded completes
    // what they deferred (root node count, header clamps).
    void BeginLoading() { FLoading = true; }
    virtual void Loaded();
    bool IsLoading() const { return FLoading; }
    bool IsDestroying() const { return FDestroying; }

    // The class name without namespace, as the assertion texts use it.
    QString ClassName() const;

    // === node model =============================================================================

    PLazyNode RootNode() const { return FRoot; }
    uint32_t RootNodeCount() const { return FRoot->ChildCount; }
    void SetRootNodeCount(uint32_t value);
    // Initialises the whole tree and returns the number of real nodes.
    uint32_t TotalCount();
    uint32_t VisibleCount() const { return FVisibleCount; }
    int NodeDataSize() const { return FNodeDataSize; }
    void SetNodeDataSize(int value);
    uint32_t DefaultNodeHeight() const { return FDefaultNodeHeight; }
    void SetDefaultNodeHeight(uint32_t value);

    virtual PLazyNode AddChild(PLazyNode Parent, void* UserData = nullptr);
    PLazyNode AddChild(PLazyNode Parent, ILazyTreeReference* UserData);
    PLazyNode InsertNode(PLazyNode Node, TLTNodeAttachMode Mode, void* UserData = nullptr);
    void DeleteNode(PLazyNode Node);
    void DeleteChildren(PLazyNode Node, bool ResetHasChildren = false);
    virtual void DeleteSelectedNodes();
    virtual void Clear();

    uint32_t ChildCount(PLazyNode Node) const;
    virtual void SetChildCount(PLazyNode Node, uint32_t NewChildCount);
    bool ChildrenInitialized(PLazyNode Node) const;
    bool HasChildren(PLazyNode Node) const;
    void SetHasChildren(PLazyNode Node, bool Value);
    bool Expanded(PLazyNode Node) const;
    void SetExpanded(PLazyNode Node, bool Value);
    bool IsVisible(PLazyNode Node);
    void SetVisible(PLazyNode Node, bool Value);
    bool IsFiltered(PLazyNode Node) const;
    void SetFiltered(PLazyNode Node, bool Value);
    bool IsDisabled(PLazyNode Node) const;
    void SetDisabled(PLazyNode Node, bool Value);
    bool MultiLine(PLazyNode Node) const;
    void SetMultiline(PLazyNode Node, bool Value);
    uint32_t NodeHeight(PLazyNode Node);
    void SetNodeHeight(PLazyNode Node, uint32_t Value);
    PLazyNode NodeParent(PLazyNode Node) const;
    uint8_t VerticalAlignment(PLazyNode Node) const;
    void SetVerticalAlignment(PLazyNode Node, uint32_t Value);
    bool FullyVisible(PLazyNode Node) const;
    void SetFullyVisible(PLazyNode Node, bool Value);
    bool VisiblePath(PLazyNode Node) const;
    void SetVisiblePath(PLazyNode Node, bool Value);
    bool IsEffectivelyFiltered(PLazyNode Node) const;
    bool IsEffectivelyVisible(PLazyNode Node) const;
    bool Selected(PLazyNode Node) const;
    void SetSelected(PLazyNode Node, bool Value);

    void* GetNodeData(PLazyNode Node);
    template <typename T>
    T* GetNodeData(PLazyNode Node)
    {
        return static_cast<T*>(GetNodeData(Node));
    }
    void SetNodeData(PLazyNode pNode, void* pUserData);
    void SetNodeData(PLazyNode pNode, ILazyTreeReference* pUserData);
    uint32_t GetNodeLevel(PLazyNode Node) const;
    uint32_t AbsoluteIndex(PLazyNode Node);
    bool HasAsParent(PLazyNode Node, PLazyNode PotentialParent) const;

    // === initialisation =========================================================================

    void ValidateNode(PLazyNode Node, bool Recursive);
    void ValidateChildren(PLazyNode Node, bool Recursive);
    void InitRecursive(PLazyNode Node, uint32_t Levels = UINT32_MAX, bool pVisibleOnly = true);
    virtual void ReinitNode(PLazyNode Node, bool Recursive);
    virtual void ReinitChildren(PLazyNode Node, bool Recursive);
    virtual void ResetNode(PLazyNode Node);

    // === navigation =============================================================================

    PLazyNode GetFirst(bool ConsiderChildrenAbove = false);
    PLazyNode GetFirstNoInit(bool ConsiderChildrenAbove = false);
    PLazyNode GetNext(PLazyNode Node, bool ConsiderChildrenAbove = false);
    PLazyNode GetNextNoInit(PLazyNode Node, bool ConsiderChildrenAbove = false);
    PLazyNode GetLast(PLazyNode Node = nullptr, bool ConsiderChildrenAbove = false);
    PLazyNode GetLastNoInit(PLazyNode Node = nullptr, bool ConsiderChildrenAbove = false);
    PLazyNode GetPrevious(PLazyNode Node, bool ConsiderChildrenAbove = false);
    PLazyNode GetPreviousNoInit(PLazyNode Node, bool ConsiderChildrenAbove = false);
    PLazyNode GetFirstChild(PLazyNode Node);
    PLazyNode GetFirstChildNoInit(PLazyNode Node);
    PLazyNode GetLastChild(PLazyNode Node);
    PLazyNode GetLastChildNoInit(PLazyNode Node);
    PLazyNode GetNextSibling(PLazyNode Node);
    PLazyNode GetNextSiblingNoInit(PLazyNode Node);
    PLazyNode GetPreviousSibling(PLazyNode Node);
    PLazyNode GetPreviousSiblingNoInit(PLazyNode Node);
    PLazyNode GetNextVisibleSibling(PLazyNode Node, bool IncludeFiltered = false);
    PLazyNode GetNextVisibleSiblingNoInit(PLazyNode Node, bool IncludeFiltered = false);
    PLazyNode GetPreviousVisibleSibling(PLazyNode Node, bool IncludeFiltered = false);
    PLazyNode GetPreviousVisibleSiblingNoInit(PLazyNode Node, bool IncludeFiltered = false);
    PLazyNode GetFirstVisibleChild(PLazyNode Node, bool IncludeFiltered = false);
    PLazyNode GetFirstVisibleChildNoInit(PLazyNode Node, bool IncludeFiltered = false);
    PLazyNode GetLastVisibleChild(PLazyNode Node, bool IncludeFiltered = false);
    PLazyNode GetLastVisibleChildNoInit(PLazyNode Node, bool IncludeFiltered = false);
    PLazyNode GetFirstVisible(PLazyNode Node = nullptr, bool ConsiderChildrenAbove = true, bool IncludeFiltered = false);
    PLazyNode GetFirstVisibleNoInit(PLazyNode Node = nullptr, bool ConsiderChildrenAbove = true,
                                    bool IncludeFiltered = false);
    PLazyNode GetNextVisible(PLazyNode Node, bool ConsiderChildrenAbove = true);
    PLazyNode GetNextVisibleNoInit(PLazyNode Node, bool ConsiderChildrenAbove = true);
    PLazyNode GetPreviousVisible(PLazyNode Node, bool ConsiderChildrenAbove = true);
    PLazyNode GetPreviousVisibleNoInit(PLazyNode Node, bool ConsiderChildrenAbove = true);
    PLazyNode GetLastVisible(PLazyNode Node = nullptr, bool ConsiderChildrenAbove = true, bool IncludeFiltered = false);
    PLazyNode GetLastVisibleNoInit(PLazyNode Node = nullptr, bool ConsiderChildrenAbove = true,
                                   bool IncludeFiltered = false);
    PLazyNode GetVisibleParent(PLazyNode Node, bool IncludeFiltered = false);
    PLazyNode GetFirstLeaf();
    PLazyNode GetNextLeaf(PLazyNode Node);
    PLazyNode GetPreviousLeaf(PLazyNode Node);
    PLazyNode GetFirstLevel(uint32_t NodeLevel);
    PLazyNode GetNextLevel(PLazyNode Node, uint32_t NodeLevel);
    PLazyNode GetPreviousLevel(PLazyNode Node, uint32_t NodeLevel);
    PLazyNode GetFirstInitialized(bool ConsiderChildrenAbove = false);
    PLazyNode GetNextInitialized(PLazyNode Node, bool ConsiderChildrenAbove = false);
    PLazyNode GetPreviousInitialized(PLazyNode Node, bool ConsiderChildrenAbove = false);
    PLazyNode GetLastInitialized(PLazyNode Node = nullptr, bool ConsiderChildrenAbove = false);
    PLazyNode GetFirstChecked(TCheckState State = csCheckedNormal, bool ConsiderChildrenAbove = false);
    PLazyNode GetNextChecked(PLazyNode Node, TCheckState State, bool ConsiderChildrenAbove = false);
    PLazyNode GetNextChecked(PLazyNode Node, bool ConsiderChildrenAbove = false);
    PLazyNode GetPreviousChecked(PLazyNode Node, TCheckState State = csCheckedNormal, bool ConsiderChildrenAbove = false);
    PLazyNode GetFirstCutCopy(bool ConsiderChildrenAbove = false);
    PLazyNode GetNextCutCopy(PLazyNode Node, bool ConsiderChildrenAbove = false);
    PLazyNode GetPreviousCutCopy(PLazyNode Node, bool ConsiderChildrenAbove = false);
    PLazyNode GetFirstSelected(bool ConsiderChildrenAbove = false);
    PLazyNode GetNextSelected(PLazyNode Node, bool ConsiderChildrenAbove = false);
    PLazyNode GetPreviousSelected(PLazyNode Node, bool ConsiderChildrenAbove = false);

    TLTLazyNodeEnumeration Nodes(bool ConsiderChildrenAbove = false);
    TLTLazyNodeEnumeration CheckedNodes(TCheckState State = csCheckedNormal, bool ConsiderChildrenAbove = false);
    TLTLazyNodeEnumeration ChildNodes(PLazyNode Node);
    TLTLazyNodeEnumeration CutCopyNodes(bool ConsiderChildrenAbove = false);
    TLTLazyNodeEnumeration InitializedNodes(bool ConsiderChildrenAbove = false);
    TLTLazyNodeEnumeration LeafNodes();
    TLTLazyNodeEnumeration LevelNodes(uint32_t NodeLevel);
    TLTLazyNodeEnumeration NoInitNodes(bool ConsiderChildrenAbove = false);
    TLTLazyNodeEnumeration SelectedNodes(bool ConsiderChildrenAbove = false);
    TLTLazyNodeEnumeration VisibleNodes(PLazyNode Node = nullptr, bool ConsiderChildrenAbove = true,
                                        bool IncludeFiltered = false);
    TLTLazyNodeEnumeration VisibleChildNodes(PLazyNode Node, bool IncludeFiltered = false);
    TLTLazyNodeEnumeration VisibleChildNoInitNodes(PLazyNode Node, bool IncludeFiltered = false);
    TLTLazyNodeEnumeration VisibleNoInitNodes(PLazyNode Node = nullptr, bool ConsiderChildrenAbove = true,
                                              bool IncludeFiltered = false);

    PLazyNode IterateSubtree(PLazyNode Node, const TLTGetNodeProc& Callback, void* Data, TLazyNodeStates Filter = {},
                             bool DoInit = false, bool ChildNodesOnly = false);
    TNodeArray GetSortedSelection(bool Resolve);
    TNodeArray GetSortedCutCopySet(bool Resolve);

    // The node covering a pixel row (client y with Relative, else tree y); X is not used.
    PLazyNode GetNodeAt(int X, int Y);
    PLazyNode GetNodeAt(QPoint P) { return GetNodeAt(P.x(), P.y()); }
    PLazyNode GetNodeAt(int X, int Y, bool Relative, int& NodeTop);
    // A node's top in tree coordinates (the sum of the visible heights before it).
    int GetNodeTop(PLazyNode Node) const;

    // === position cache =========================================================================
    //
    // Trees with more than CacheStride visible nodes keep every CacheStride-th visible node with
    // its absolute top, built by the shared worker thread (LazyTreeWorker.h) after structural
    // changes. While the tree has tsUseCache, GetNodeAt and GetNodeTop start from the nearest
    // entry and walk at most CacheStride nodes; otherwise they descend through the running
    // totals.
    static constexpr uint32_t CacheStride = 2000;
    const TCache& PositionCache() const { return FPositionCache; }
    // ceil(VisibleCount / CacheStride), 0 when fewer than 2 nodes are visible.
    uint32_t GetCacheLength() const;
    // The last entry whose node does not come after Node (document order), with its top;
    // nullptr and 0 when there is none.
    PLazyNode FindCacheEntryForNode(PLazyNode Node, uint32_t& CurrentPos) const;
    // The last entry whose top is at most Position; nullptr and 0 when there is none.
    PLazyNode FindCacheEntryAtPosition(uint32_t Position, uint32_t& CurrentPos) const;
    PLazyNode lastEntryBefore(TCache::const_iterator It, uint32_t& CurrentPos) const;
    // The order of two nodes: 0 for the same node, negative when Node1 comes first.
    int CompareNodeOrder(PLazyNode Node1, PLazyNode Node2, bool ConsiderChildrenAbove) const;

    // === sorting, moving and copying (LazyTreeSort.cpp) =========================================
    //
    // Sorting is a stable merge sort of a sibling list asking OnCompareNodes (equal nodes keep
    // their order in both directions); a long sort can be cancelled (CancelOperation), which
    // leaves the remaining order as it is and the tree valid. Moves inside one tree keep the
    // nodes; moves and copies between trees, and every copy, travel as records of the tree
    // stream (LazyTreeStream.h) and make new nodes. Moving a node under itself raises
    // ELazyTreeError 2001. When only the children are moved or copied they keep their order
    // for every attach mode.

    // Sorts Node's children (nullptr: the top level); DoInit initialises them first.
    virtual void Sort(PLazyNode Node, TColumnIndex Column, TSortDirection Direction, bool DoInit = true);
    // Sorts every level (with toAutoSort the children of collapsed nodes are left alone).
    virtual void SortTree(TColumnIndex Column, TSortDirection Direction, bool DoInit = true);
    void MoveTo(PLazyNode Source, PLazyNode Target, TLTNodeAttachMode Mode, bool ChildrenOnly);
    void MoveTo(PLazyNode Node, TBaseLazyTree* Tree, TLTNodeAttachMode Mode, bool ChildrenOnly);
    PLazyNode CopyTo(PLazyNode Source, PLazyNode Target, TLTNodeAttachMode Mode, bool ChildrenOnly);
    PLazyNode CopyTo(PLazyNode Source, TBaseLazyTree* Tree, TLTNodeAttachMode Mode, bool ChildrenOnly);
    // Moves Node to become Value's last child.
    void SetNodeParent(PLazyNode Node, PLazyNode Value) { MoveTo(Node, Value, amAddChildLast, false); }

    // === streaming (LazyTreeStream.h describes the bytes) =======================================

    // Header, count, the records of Node (or of every top-level node), then OnSaveTree.
    virtual void SaveToStream(QIODevice& Stream, PLazyNode Node = nullptr);
    // The same without OnSaveTree, as bytes.
    QByteArray SaveToBytes(PLazyNode Node = nullptr);
    // Writes the whole file at once (temporary file and rename); ELazyTreeError when it fails.
    void SaveToFile(const QString& FileName);
    // Replaces the tree by the stream's nodes (nothing under toReadOnly); a refused stream
    // leaves the tree unchanged. Reads from the device's position; OnLoadTree then reads what
    // follows the records.
    virtual void LoadFromStream(QIODevice& Stream);
    virtual void LoadFromFile(const QString& FileName);
    // Adds the stream's nodes as last children of TargetNode (the root for the top level).
    void AddFromStream(QIODevice& Stream, PLazyNode TargetNode);

    // === check states ===========================================================================

    TCheckState CheckState(PLazyNode Node) const { return Node->CheckState; }
    void SetCheckState(PLazyNode Node, TCheckState Value);
    TCheckType CheckType(PLazyNode Node) const { return Node->CheckType; }
    void SetCheckType(PLazyNode Node, TCheckType Value);
    uint32_t CheckedCount();
    void SetCheckStateForAll(TCheckState aCheckState, bool pSelectedOnly, bool pExcludeDisabled = true);
    void ClearChecked();

    // === update batching ========================================================================

    virtual void BeginUpdate();
    virtual void EndUpdate();
    uint32_t UpdateCount() const { return FUpdateCount; }
    void BeginSynch();
    void EndSynch();
    uint32_t ChangeDelay() const { return FChangeDelay; }
    void SetChangeDelay(uint32_t value) { FChangeDelay = value; }
    TLazyTreeStates TreeStates() const { return FStates; }
    void ClearSelection() { ClearSelection(true); }
    void CancelOperation();
    bool OperationCanceled() const { return FOperationCanceled && FOperationCount > 0; }
    uint32_t OperationCount() const { return FOperationCount; }
    void StartOperation(TLTOperationKind OperationKind);
    void EndOperation(TLTOperationKind OperationKind);

    // === expanding and collapsing ===============================================================

    void ToggleNode(PLazyNode Node);
    virtual void FullExpand(PLazyNode Node = nullptr);
    virtual void FullCollapse(PLazyNode Node = nullptr);
    PLazyNode TopNode();
    void SetTopNode(PLazyNode Node);
    PLazyNode BottomNode();
    void SetBottomNode(PLazyNode Node);
    uint32_t AnimationDuration() const { return FAnimationDuration; }
    void SetAnimationDuration(uint32_t value);
    // The animation driver: Callback(Step, StepSize) returns whether to go on.
    virtual void Animate(uint32_t Steps, uint32_t Duration, const std::function<bool(int Step, int StepSize)>& Callback);

    // === selection and focus ====================================================================

    uint32_t SelectedCount() const { return uint32_t(FSelectionCount); }
    virtual void AddToSelection(PLazyNode Node);
    virtual void AddToSelection(const TNodeArray& NewItems, int NewLength, bool ForceInsert = false);
    virtual void RemoveFromSelection(PLazyNode Node);
    void SelectAll(bool VisibleOnly);
    void InvertSelection(bool VisibleOnly);
    virtual void SelectNodes(PLazyNode StartNode, PLazyNode EndNode, bool AddOnly);
    virtual void ToggleSelection(PLazyNode StartNode, PLazyNode EndNode);
    virtual void UnselectNodes(PLazyNode StartNode, PLazyNode EndNode);
    bool FindNodeInSelection(PLazyNode Node, int& Index, int LowBound = -1, int HighBound = -1) const;
    void EnsureNodeSelected();
    void EnsureNodeFocused();
    bool SelectionLocked() const { return FSelectionLocked; }
    void SetSelectionLocked(bool value) { FSelectionLocked = value; }
    PLazyNode RangeAnchor() const { return FRangeAnchor; }
    PLazyNode NextNodeToSelect() const { return FNextNodeToSelect; }
    int LastSelectionLevel() const { return FLastSelectionLevel; }

    PLazyNode FocusedNode() const { return FFocusedNode; }
    void SetFocusedNode(PLazyNode Value);
    TColumnIndex FocusedColumn() const { return FFocusedColumn; }
    void SetFocusedColumn(TColumnIndex Value);
    void SetFocusedNodeAndColumn(PLazyNode Node, TColumnIndex Column);
    PLazyNode HotNode() const { return FCurrentHotNode; }
    PLazyNode DropTargetNode() const { return FDropTargetNode; }

    // === options and properties =================================================================

    TCustomLazyTreeOptions& TreeOptions() { return *FOptions; }
    const TCustomLazyTreeOptions& TreeOptions() const { return *FOptions; }
    void SetTreeOptions(const TCustomLazyTreeOptions& options) { FOptions->Assign(&options); }
    TLTHeader& Header() { return *FHeader; }
    const TLTHeader& Header() const { return *FHeader; }
    TLTColors& Colors() { return *FColors; }
    const TLTColors& Colors() const { return *FColors; }
    TScrollBarOptions& ScrollBarOptions() { return *FScrollBarOptions; }

    platform::Alignment Alignment() const { return FAlignment; }
    void SetAlignment(platform::Alignment value);
    uint32_t AutoExpandDelay() const { return FAutoExpandDelay; }
    void SetAutoExpandDelay(uint32_t value) { FAutoExpandDelay = value; }
    uint32_t AutoScrollDelay() const { return FAutoScrollDelay; }
    void SetAutoScrollDelay(uint32_t value) { FAutoScrollDelay = value; }
    uint32_t AutoScrollInterval() const { return FAutoScrollInterval; }
    void SetAutoScrollInterval(uint32_t value) { FAutoScrollInterval = std::clamp<uint32_t>(value, 1, 1000); }
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle value);
    uint32_t BottomSpace() const { return FBottomSpace; }
    void SetBottomSpace(uint32_t value);
    TLTButtonFillMode ButtonFillMode() const { return FButtonFillMode; }
    void SetButtonFillMode(TLTButtonFillMode value);
    TLTButtonStyle ButtonStyle() const { return FButtonStyle; }
    void SetButtonStyle(TLTButtonStyle value);
    TCheckImageKind CheckImageKind() const { return FCheckImageKind; }
    void SetCheckImageKind(TCheckImageKind value);
    platform::TImageList* CustomCheckImages() const { return FCustomCheckImages; }
    void SetCustomCheckImages(platform::TImageList* value);
    // The check image list in use (a shared list, the custom list, or none).
    platform::TImageList* CheckImages() const { return FCheckImages; }
    platform::Color Color() const { return FColor; }
    void SetColor(platform::Color value);
    TLTDrawSelectionMode DrawSelectionMode() const { return FDrawSelectionMode; }
    void SetDrawSelectionMode(TLTDrawSelectionMode value) { FDrawSelectionMode = value; }
    uint32_t EditDelay() const { return FEditDelay; }
    void SetEditDelay(uint32_t value) { FEditDelay = value; }
    QString EmptyListMessage() const { return FEmptyListMessage; }
    void SetEmptyListMessage(const QString& value);
    // Whether the tree shows hints at all.
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool value) { FShowHint = value; }
    THintAnimationType HintAnimation() const { return FHintAnimation; }
    void SetHintAnimation(THintAnimationType value) { FHintAnimation = value; }
    TLTHintMode HintMode() const { return FHintMode; }
    void SetHintMode(TLTHintMode value) { FHintMode = value; }
    QCursor HotCursor() const { return FHotCursor; }
    void SetHotCursor(const QCursor& value) { FHotCursor = value; }
    platform::TImageList* Images() const { return FImages; }
    void SetImages(platform::TImageList* value);
    platform::TImageList* StateImages() const { return FStateImages; }
    void SetStateImages(platform::TImageList* value);
    TLTIncrementalSearch IncrementalSearch() const { return FIncrementalSearch; }
    void SetIncrementalSearch(TLTIncrementalSearch value);
    TLTSearchDirection IncrementalSearchDirection() const { return FSearchDirection; }
    void SetIncrementalSearchDirection(TLTSearchDirection value) { FSearchDirection = value; }
    TLTSearchStart IncrementalSearchStart() const { return FSearchStart; }
    void SetIncrementalSearchStart(TLTSearchStart value) { FSearchStart = value; }
    uint32_t IncrementalSearchTimeout() const { return FSearchTimeout; }
    void SetIncrementalSearchTimeout(uint32_t value) { FSearchTimeout = value; }
    QString SearchBuffer() const { return FSearchBuffer; }
    uint32_t Indent() const { return FIndent; }
    void SetIndent(uint32_t value);
    TLTLineMode LineMode() const { return FLineMode; }
    void SetLineMode(TLTLineMode value);
    TLTLineStyle LineStyle() const { return FLineStyle; }
    void SetLineStyle(TLTLineStyle value);
    int Margin() const { return FMargin; }
    void SetMargin(int value);
    TLTNodeAlignment NodeAlignment() const { return FNodeAlignment; }
    void SetNodeAlignment(TLTNodeAlignment value);
    uint8_t SelectionBlendFactor() const { return FSelectionBlendFactor; }
    void SetSelectionBlendFactor(uint8_t value) { FSelectionBlendFactor = value; }
    uint32_t SelectionCurveRadius() const { return FSelectionCurveRadius; }
    void SetSelectionCurveRadius(uint32_t value);
    int TextMargin() const { return FTextMargin; }
    void SetTextMargin(int value);
    bool WantTabs() const { return FWantTabs; }
    void SetWantTabs(bool value) { FWantTabs = value; }
    TLTDragType DragType() const { return FDragType; }
    void SetDragType(TLTDragType value) { FDragType = value; }
    TDragOperations DragOperations() const { return FDragOperations; }
    TLTDragImageKind DragImageKind() const { return FDragImageKind; }
    int DragHeight() const { return FDragHeight; }
    int DragWidth() const { return FDragWidth; }
    TLTNodeAttachMode DefaultPasteMode() const { return FDefaultPasteMode; }
    QMenu* PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(QMenu* menu) { FPopupMenu = menu; }
    // The tree always paints through its own off-screen rows.
    bool DoubleBuffered() const { return true; }
    void SetDoubleBuffered(bool) {}
    void Assign(const TBaseLazyTree* Source);
    // With toAutoChangeScale, DefaultNodeHeight becomes at least the height of "Tg".
    virtual void AutoScale();

    // === scrolling ==============================================================================

    int OffsetX() const { return FOffsetX; }
    int OffsetY() const { return FOffsetY; }
    QPoint OffsetXY() const { return QPoint(FOffsetX, FOffsetY); }
    void SetOffsetX(int value);
    void SetOffsetY(int value);
    void SetOffsetXY(QPoint value);
    int EffectiveOffsetX() const { return FEffectiveOffsetX; }
    uint32_t RangeX() const { return FRangeX; }
    uint32_t RangeY() const { return FRangeY; }
    virtual bool DoSetOffsetXY(QPoint Value, TOffsetUpdateOptions Options, const platform::Rect* ClipRect = nullptr);
    void UpdateHorizontalRange();
    void UpdateVerticalRange();
    void UpdateRanges();
    void UpdateHorizontalScrollBar(bool DoRepaint);
    void UpdateVerticalScrollBar(bool DoRepaint);
    virtual void UpdateScrollBars(bool DoRepaint);
    bool ScrollIntoView(PLazyNode Node, bool Center, bool Horizontally = false);
    bool ScrollIntoView(TColumnIndex Column, bool Center);
    // The platform's scroll messages, by code.
    void HandleVScroll(int code);
    void HandleHScroll(int code);
    virtual int ComputeRTLOffset(bool ExcludeScrollBar = false);
    // Client area of the window.
    int ClientWidth() const;
    int ClientHeight() const;
    platform::Rect ClientRect() const { return platform::Rect{0, 0, ClientWidth(), ClientHeight()}; }
    // (0, 0, max(client width, RangeX), max(client height, RangeY)).
    platform::Rect GetTreeRect() const;

    // === painting ===============================================================================

    // Paints the window `Window` of the whole tree image (tree coordinates) into TargetCanvas
    // with its top-left corner at Target.
    virtual void PaintTree(platform::Canvas& TargetCanvas, const platform::Rect& Window, QPoint Target,
                           TLTInternalPaintOptions PaintOptions, platform::PixelFormat PixelFormat = platform::PixelFormat::pf24bit);
    platform::Picture& Background() { return FBackground; }
    void SetBackground(const platform::Picture& picture);
    int BackgroundOffsetX() const { return FBackgroundOffsetX; }
    int BackgroundOffsetY() const { return FBackgroundOffsetY; }
    void SetBackgroundOffset(int index, int value);
    // The check image index of a node (-1 for none).
    virtual int GetCheckImage(PLazyNode Node, TCheckType ImgCheckType = ctNone, TCheckState ImgCheckState = csUncheckedNormal,
                              bool ImgEnabled = true);
    virtual platform::TImageList* GetCheckImageListFor(TCheckImageKind Kind);
    // The tree-line image of a node; returns its selected ancestors below the root.
    virtual int DetermineLineImageAndSelectLevel(PLazyNode Node, TLineImage& LineImage);
    void ComputeVerticalAlignments(bool ShowImages, bool ShowStateImages, PLazyNode Node, int& VAlign, int& ButtonY);
    const platform::PatternRows& LinePattern() const { return FLinePattern; }
    const platform::Bitmap& PlusBitmap() const { return FPlusBM; }
    const platform::Bitmap& MinusBitmap() const { return FMinusBM; }

    // === geometry ===============================================================================

    void GetHitTestInfoAt(int X, int Y, bool Relative, THitInfo& HitInfo);
    platform::Rect GetDisplayRect(PLazyNode Node, TColumnIndex Column, bool TextOnly, bool Unclipped = false,
                                  bool ApplyCellContentMargin = false);
    virtual int GetMaxRightExtend();
    virtual void MeasureItemHeight(platform::Canvas* Canvas, PLazyNode Node);
    virtual QSize GetImageSize(PLazyNode Node) const;
    bool HasImage(PLazyNode Node, TLTImageKind Kind, TColumnIndex Column);
    int GlyphWidth() const { return FButtonSize.width(); }
    int GlyphHeight() const { return FButtonSize.height(); }

    // === the platform tree control's item questions =============================================

    // The item `Code` names, relative to Item where the code needs one.
    PLazyNode GetNextItem(int Code, PLazyNode Item);
    // False for a node that is not shown in place; otherwise R becomes its display rectangle.
    bool GetItemRect(PLazyNode Item, bool TextOnly, platform::Rect& R);
    // Fills what Info.mask asks for; false without TVIF_HANDLE or an item.
    bool GetItem(TLTItemInfo& Info);
    // The font, text rectangle and text of a cell (the string tree fills them).
    virtual void GetTextInfo(PLazyNode Node, TColumnIndex Column, QFont& AFont, platform::Rect& R, QString& Text);

    // === window =================================================================================

    bool HandleAllocated() const { return FHandleAllocated; }
    // Creates the tree's "window" (themes, glyphs, scroll bars) when it does not exist yet.
    void HandleNeeded();
    bool Focused() const;
    bool IsEmpty() const { return FRoot->ChildCount == 0; }
    bool UseRightToLeftReading() const { return FBiDiMode != bdLeftToRight; }
    TBiDiMode BiDiMode() const { return FBiDiMode; }
    void SetBiDiMode(TBiDiMode value) { FBiDiMode = value; }
    void Invalidate();
    virtual platform::Rect InvalidateNode(PLazyNode Node);
    void InvalidateChildren(PLazyNode Node, bool Recursive);
    void InvalidateColumn(TColumnIndex Column);
    void InvalidateToBottom(PLazyNode Node);
    void RepaintNode(PLazyNode Node);
    // The platform::Timer behind window timer `id` (1..8), created on first use.
    platform::Timer* WindowTimer(int id);
    void SetWindowTimer(int id, uint32_t ms);
    void StopTimer(int id);
    // What a firing of window timer `id` does.
    virtual void WMTimer(int id);
    // The header rectangle (inside the frame, above the rows) and the strip widget that shows
    // it; the rows' viewport starts below it.
    void UpdateHeaderRect();
    platform::Rect HeaderRect() const { return FHeaderRect; }
    QWidget* HeaderStrip() const;
    // The columns the header's collection makes (descendants give their own class).
    virtual std::unique_ptr<TLazyTreeColumn> GetColumnClass(TLazyTreeColumns* Owner);
    // The width the widest visible cell of a column needs (smart: only the rows in view).
    virtual int GetMaxColumnWidth(TColumnIndex Column, bool UseSmartColumnWidth = false);
    // A column's width changed (-1: several): remeasure, scroll range, repaint, OnColumnResize.
    virtual void DoColumnResize(TColumnIndex Column);
    // The keyboard's shift, ctrl and alt now.
    TShiftState CurrentShiftState() const;
    // Tree client coordinates to the screen and back.
    QPoint ClientToScreen(QPoint P) const;
    QPoint ScreenToClient(QPoint P) const;
    // The accessibility objects of the tree and of its focused item, made by the registered
    // providers (LazyTreeAccessibility.h) when the platform asks for them.
    QAccessibleInterface* Accessible() const { return FAccessible; }
    QAccessibleInterface* AccessibleItem() const { return FAccessibleItem; }
    void SetAccessible(QAccessibleInterface* tree, QAccessibleInterface* item)
    {
        FAccessible = tree;
        FAccessibleItem = item;
    }
    const TToggleAnimation& LastToggleAnimation() const { return FLastToggleAnimation; }

    // === input ==================================================================================

    // The platform's mouse drag threshold: a drag or rubber band starts beyond it.
    static constexpr int kDragThreshold = 5;
    // What the key handling does with a key (Qt key code) and its shift state.
    void WMKeyDown(int CharCode, TShiftState Shift, const QString& Text);
    void WMKeyUp(int Key);
    virtual void HandleIncrementalSearch(int CharCode);
    virtual void HandleMouseDown(TMouseButton Button, TShiftState Keys, int X, int Y, THitInfo& HitInfo);
    virtual void HandleMouseUp(TMouseButton Button, TShiftState Keys, int X, int Y, THitInfo& HitInfo);
    virtual void HandleMouseDblClick(TMouseButton Button, TShiftState Keys, int X, int Y, THitInfo& HitInfo);
    virtual void HandleHotTrack(int X, int Y);
    virtual void HandleMouseWheel(int WheelDelta, TShiftState Shift);
    void MouseMove(TShiftState Shift, int X, int Y);
    // The window's cancel-mode message: stops timers, searches, rubber bands and pending drags.
    void CancelMode();
    virtual void StartWheelPanning(QPoint Position);
    virtual void StopWheelPanning();
    // The name of the panning image and cursor in use ("LT_MOVEALL"...), empty when none.
    QString PanningImageName() const { return FPanningImageName; }
    QString PanningCursorName() const { return FPanningCursorName; }
    QWidget* PanningWindow() const { return FPanningWindow; }
    platform::Rect NewSelRect() const { return FNewSelRect; }
    int LastHelpContext() const { return FLastHelpContext; }
    // Sounds the "no match" of an incremental search; tests replace it.
    std::function<void()> MessageBeep = [] { QApplication::beep(); };
    QCursor Cursor() const { return FCursor; }
    void SetCursor(const QCursor& cursor) { FCursor = cursor; }

    // === in-place editing (LazyTreeEdit.cpp) ===================================================
    //
    // One cell at a time is edited through an ILTEditLink. F2, a slow second click
    // (toEditOnClick, EditDelay ms) or a double click (toEditOnDblClick) on the focused cell
    // starts it when CanEdit allows; states: tsEditPending while the edit timer runs, tsEditing
    // while the editor is up.

    // Focuses Node and edits it in Column (-1 without header columns); whether the tree is
    // editing afterwards. Asserts a node and a valid column.
    bool EditNode(PLazyNode Node, TColumnIndex Column);
    // toEditable, enabled, not toReadOnly, the column editable; then OnEditing decides.
    virtual bool CanEdit(PLazyNode Node, TColumnIndex Column);
    // Applies a running edit (true when nothing runs); false when the editor refuses.
    bool EndEditNode();
    // Drops a running edit (true when nothing runs).
    bool CancelEditNode();
    bool IsEditing() const { return FStates.contains(tsEditing); }
    ILTEditLink* EditLink() const { return FEditLink.get(); }
    TColumnIndex EditColumn() const { return FEditColumn; }
    void SetEditColumn(TColumnIndex Column) { FEditColumn = Column; }
    // Edits the focused node in the edit column (what the edit timer and F2 run).
    virtual void DoEdit();
    virtual bool DoEndEdit();
    virtual bool DoCancelEdit();
    // Places the editor over the focused cell's text.
    virtual void UpdateEditBounds();

    // === clipboard and data transfer (LazyTreeClipboard.cpp, LazyTreeTransfer.h) ==============

    TClipboardFormats& ClipboardFormats() { return *FClipboardFormats; }
    // The formats of the registry this tree offers, then OnGetUserClipboardFormats' additions.
    virtual void GetNativeClipboardFormats(TFormatEtcArray& Formats);
    // Puts the selection on the clipboard and marks it (copy pending); nothing without one.
    void CopyToClipboard();
    // The same for a cut (not under toReadOnly): a paste elsewhere removes the nodes.
    void CutToClipboard();
    // Inserts the clipboard's nodes at the focused node by DefaultPasteMode; false when there
    // were none or under toReadOnly. ELazyTreeError 2007 when the clipboard cannot be read.
    bool PasteFromClipboard();
    // Makes the clipboard keep plain copies of what this tree put there and ends the pending
    // cut or copy.
    void FlushClipboard();
    void MarkCutCopyNodes();
    void CancelCutOrCopy();
    void FinishCutOrCopy();
    // The tree of this process that made the data (nullptr for none or another process).
    TBaseLazyTree* GetTreeFromDataObject(const QMimeData* DataObject) const;
    // Renders one format for a data object of this tree ("Lazy Tree Data" here, the rest
    // through OnRenderOLEData; the string tree adds its text formats).
    virtual HRESULT RenderOLEData(const TFormatEtc& FormatEtcIn, TStgMedium& Medium, bool ForClipboard);
    // Inserts the "Lazy Tree Data" of DataObject at TargetNode by Mode; Optimized moves the
    // nodes of Source (a tree of this process) instead of copying them. False when the data
    // holds no nodes, is refused as malformed, or the tree is read-only.
    bool ProcessOLEData(TBaseLazyTree* Source, const QMimeData* DataObject, PLazyNode TargetNode, TLTNodeAttachMode Mode,
                        bool Optimized);
    void SetDefaultPasteMode(TLTNodeAttachMode value) { FDefaultPasteMode = value; }
    // Whether an export takes Node, by TreeOptions().ExportMode().
    bool IsNodeExportable(PLazyNode Node);

    // === drag and drop (LazyTreeDragDrop.cpp) =================================================

    // Starts a drag of the selection: at once, or once the mouse has moved beyond Threshold
    // (-1: the platform's threshold).
    void BeginDrag(bool Immediate, int Threshold = -1);
    bool Dragging() const;
    TLTDragManager& DragManager();
    TLTDragImage& DragImage() { return *FDragImage; }
    bool CanShowDragImage() const { return FDragImageKind != diNoImage; }
    // Move within the same tree, copy from elsewhere; Ctrl, Shift and Alt choose; always within
    // AllowedEffects.
    virtual unsigned SuggestDropEffect(QObject* Source, TShiftState Shift, QPoint Pt, unsigned AllowedEffects);
    virtual TDropMode DetermineDropMode(QPoint P, THitInfo& HitInfo, const platform::Rect& NodeRect);
    // For OnDragDrop: moves or copies the dragged nodes to TargetNode by Mode; a move between
    // trees of this process reports no effect back, as the nodes have moved already.
    bool ProcessDrop(const QMimeData* DataObject, PLazyNode TargetNode, unsigned& Effect, TLTNodeAttachMode Mode);
    // The target side of a drag (Pt in screen coordinates).
    HRESULT DragEnter(TShiftState KeyState, QPoint Pt, unsigned& Effect);
    HRESULT DragOver(QObject* Source, TShiftState KeyState, TDragState State, QPoint Pt, unsigned& Effect);
    void DragLeave();
    HRESULT DragDrop(const QMimeData* DataObject, TShiftState KeyState, QPoint Pt, unsigned& Effect);
    void DragFinished();
    TDropMode LastDropMode() const { return FLastDropMode; }
    unsigned LastDragEffect() const { return FLastDragEffect; }
    const TNodeArray& DragSelection() const { return FDragSelection; }
    void SetDragOperations(TDragOperations value) { FDragOperations = value; }
    void SetDragImageKind(TLTDragImageKind value) { FDragImageKind = value; }
    void SetDragWidth(int value) { FDragWidth = value; }
    void SetDragHeight(int value) { FDragHeight = value; }

    // === hints (LazyTreeHint.cpp) =============================================================

    // The hint request at a client point: whether a hint shows, with what the framework needs
    // (FHintData is filled for the hint window).
    bool HintRequest(QPoint CursorPos, THintInfo& Info);
    virtual TLTHintKind GetDefaultHintKind() const { return vhkText; }
    TLTHintKind DoGetHintKind(PLazyNode Node, TColumnIndex Column);
    // The hint and tooltip texts of a node; the base answers the control's hint.
    virtual QString DoGetNodeHint(PLazyNode Node, TColumnIndex Column, TLTHintLineBreakStyle& LineBreakStyle);
    virtual QString DoGetNodeTooltip(PLazyNode Node, TColumnIndex Column, TLTHintLineBreakStyle& LineBreakStyle);
    THintAnimationType DoGetAnimationType() const;
    const TLTHintData& HintData() const { return FHintData; }
    platform::Rect LastHintRect() const { return FLastHintRect; }
    // The hint window shown now (nullptr when none).
    TLazyTreeHintWindow* HintWindow() const;
    // The hint pause of the framework for this tree: 0 in hmTooltip mode and over a header
    // column hint, else the application's.
    int HintPause() const;
    // Hides the hint shown now (if any) and forgets its rectangle.
    void HideHint();

    // === printing (LazyTreePrint.cpp) =========================================================

    // Prints every node as far as expanded (and the header when PrintHeader and it is visible)
    // scaled by the font heights of screen and printer, cut into pages row by row, on a
    // surface of the platform's printing (a printer, a PDF file, a preview).
    void Print(platform::PrintSurface& Printer, bool PrintHeader);
    // The picture, the part of it one page takes and the pages across and down.
    TLTPrintLayout PrintLayout(platform::PrintSurface& Printer, bool PrintHeader) const;

    // Declares every event and its dispatcher.
    LT_DECLARE_EVENTS(LT_BASE_EVENTS)
    LT_DECLARE_EVENTS(LT_TRANSFER_EVENTS)

Q_SIGNALS:
    // Sent after every change of the scroll bars or offsets.
    void scrollBarsChanged();

protected:
    // Descendants with their own options class give its maker (the class factory of the
    // options).
    using OptionsFactory = std::unique_ptr<TCustomLazyTreeOptions> (*)(TBaseLazyTree* owner);
    TBaseLazyTree(QWidget* parent, OptionsFactory makeOptions);

    friend class TCustomLazyTreeOptions;
    friend class TLTColors;
    friend class TScrollBarOptions;
    friend class TLTHeader;
    friend class TLazyTreeColumns;
    friend class TLazyTreeColumn;
    friend class THeaderStrip;
    friend class TLazyTreeHintWindow;
    friend class TLTDragManager;
    friend class TWorkerThread;
    friend struct TLTLazyNodeEnumeration;

    // --- node blocks ------------------------------------------------------------------------
    PLazyNode MakeNewNode();
    // One zero-filled node block; throws std::bad_alloc when there is no memory.
    virtual void* AllocateNodeBlock(size_t Size);
    void FreeNodeBlock(PLazyNode Node);
    void CreateRootNode();
    uint32_t AllocateInternalDataArea(uint32_t Size);
    // The bytes of an internal area reserved at `offset`.
    std::byte* InternalData(PLazyNode Node, uint32_t Offset) const;
    void InternalConnectNode(PLazyNode Node, PLazyNode Destination, TBaseLazyTree* Target, TLTNodeAttachMode Mode);
    void InternalDisconnectNode(PLazyNode Node, bool KeepFocus, bool Reindex = true, bool ParentClearing = false);
    uint32_t CountVisibleChildren(PLazyNode Node) const;
    int CountLevelDifference(PLazyNode Node1, PLazyNode Node2) const;
    void DetermineHiddenChildrenFlag(PLazyNode Node);
    void DetermineHiddenChildrenFlagAllNodes();
    void PropagateTotalCount(PLazyNode Node, int64_t Value, bool Relative);
    void PropagateTotalHeight(PLazyNode Node, int64_t Value, bool Relative);
    void RecountTotals(PLazyNode Node);
    void RecomputeTotalHeights(PLazyNode Node);
    void ClearTempCache();
    void InternalCacheNode(PLazyNode Node);
    bool IsRoot(PLazyNode Node) const { return Node == FRoot; }
    // The hidden root's owning tree, from any node.
    static TBaseLazyTree* OwnerTreeOfNode(PLazyNode Node);
    void DeleteNodeInternal(PLazyNode Node, bool Reindex, bool ParentClearing);

    virtual void DoFreeNode(PLazyNode Node);
    virtual void DoGetNodeDataSize(int& Size);

    // --- initialisation ---------------------------------------------------------------------
    virtual void InitNode(PLazyNode Node);
    virtual void InitChildren(PLazyNode Node);
    virtual bool DoInitChildren(PLazyNode Node, uint32_t& ChildCount);

    // --- navigation helpers -----------------------------------------------------------------
    bool HasVisibleNextSibling(PLazyNode Node) const;
    bool HasVisiblePreviousSibling(PLazyNode Node) const;
    bool IsFirstVisibleChild(PLazyNode Parent, PLazyNode Node) const;
    bool IsLastVisibleChild(PLazyNode Parent, PLazyNode Node) const;
    bool ChildrenAboveOrder(bool ConsiderChildrenAbove) const;
    // Walk steps without initialisation.
    PLazyNode NextInDocumentOrder(PLazyNode Node, bool DoInit);
    PLazyNode PreviousInDocumentOrder(PLazyNode Node, bool DoInit);
    PLazyNode NextChildrenAbove(PLazyNode Node, bool DoInit);
    PLazyNode PreviousChildrenAbove(PLazyNode Node, bool DoInit);
    PLazyNode DeepestFirstDescendant(PLazyNode Node, bool DoInit);
    PLazyNode DeepestLastDescendant(PLazyNode Node, bool DoInit);
    PLazyNode NextVisibleImpl(PLazyNode Node, bool ConsiderChildrenAbove, bool DoInit);
    PLazyNode PreviousVisibleImpl(PLazyNode Node, bool ConsiderChildrenAbove, bool DoInit);

    // --- position cache (LazyTreeCache.cpp, worker in LazyTreeWorker.h) -------------------
    // Marks the cache out of date (after every change of node positions).
    void InvalidateCache();
    // Interrupts a running build, then queues the tree with the worker when the cache is out of
    // date and more than CacheStride nodes are visible.
    virtual void ValidateCache();
    // Stops a build of this tree and waits until the worker has let go of it; a build that was
    // running is marked out of date again.
    void InterruptValidation();
    // The rebuild itself; runs on the worker thread and reads nodes only. It is not virtual: a
    // tree is destroyed from its most derived class down, and a call through the tree's table
    // of virtual functions from the worker would race with that.
    bool DoValidateCache();
    // The worker's state message (entered and left states as TChangeStateBit sets).
    void ChangeTreeStatesAsync(uint8_t EnterStates, uint8_t LeaveStates);
    // The height of a node for the cache walk; measures on the user-interface thread when needed.
    uint32_t CacheNodeHeight(PLazyNode Node);

    TCache FPositionCache;
    // Mirrors tsStopValidation for the worker, which never reads FStates.
    std::atomic<bool> FStopValidationRequested{false};
    // Taken on the user-interface thread when the tree is queued, read by the worker.
    uint32_t FCacheVisibleCount = 0;
    bool FCacheVariableHeight = false;
    // Set while the user-interface thread handles a message of the worker for this tree, and
    // while it measures a node for the worker.
    bool FServingWorker = false;
    bool FMeasuringForWorker = false;

    // --- sorting and streaming ---------------------------------------------------------------
    virtual int DoCompare(PLazyNode Node1, PLazyNode Node2, TColumnIndex Column);
    // Whether DoCompare can tell two nodes apart: an OnCompareNodes handler is assigned (a class
    // that compares in its own DoCompare answers true as well). The automatic sorts leave a
    // tree that cannot compare alone: every comparison would say "equal", so they could change
    // no order and would only initialise every node the lazy tree has not needed yet.
    virtual bool CanCompareNodes() const;
    PLazyNode MergeSortSiblings(PLazyNode& Rest, uint32_t Count, TColumnIndex Column, TSortDirection Direction,
                                std::exception_ptr& Failure);
    void RelinkSortedChildren(PLazyNode Parent, PLazyNode First);
    void SortLevel(PLazyNode Node, TColumnIndex Column, TSortDirection Direction, bool DoInit);
    // Automatic sorting after nodes are added or a node expands: toAutoSort with a header sort
    // column that names a column or the whole node (-1) in a tree that can compare, never
    // inside an update bracket (the bracket's end sorts the tree once).
    bool AutoSortWanted() const;
    void AutoSort(PLazyNode Node, bool DoInit);
    // What follows the addition of a child to Parent outside an update bracket: the cache, the
    // pending structure change, the automatic sort, the repaint and the scroll bars.
    void FinishAddChild(PLazyNode Parent);
    // The tree that owns Target (nullptr: this tree's root with amAddChildFirst), with sibling
    // modes at a root turned into child modes.
    TBaseLazyTree* ResolveTarget(PLazyNode& Target, TLTNodeAttachMode& Mode);
    // Copies the records of Source (or of its children) into Target of Tree by Mode, asking
    // this tree about each copy when Copying; returns the last node made.
    PLazyNode InsertRecords(const QByteArray& Records, TBaseLazyTree* Tree, PLazyNode Target, TLTNodeAttachMode Mode,
                            bool Copying);
    virtual void WriteNode(TLazyTreeStreamWriter& Stream, PLazyNode Node);
    virtual void WriteChunks(TLazyTreeStreamWriter& Stream, PLazyNode Node);
    virtual void ReadNode(TLazyTreeStreamReader& Stream, int Version, PLazyNode Node);
    virtual bool ReadChunk(TLazyTreeStreamReader& Stream, int Version, PLazyNode Node, int ChunkType, int ChunkSize);
    void InternalAddFromStream(TLazyTreeStreamReader& Stream, int Version, PLazyNode Node);
    void SkipNode(TLazyTreeStreamReader& Stream);
    static void FinishChunkHeader(TLazyTreeStreamWriter& Stream, qsizetype StartPos, qsizetype EndPos);
    // The records of Node, or of its children, appended to Out.
    void WriteRecords(QByteArray& Out, PLazyNode Node, bool ChildrenOnly);
    void ReadStream(QIODevice& Stream, PLazyNode TargetNode, bool Replace);
    // The device OnSaveNode writes to and OnLoadNode reads from, while a stream is written or read.
    std::unique_ptr<QBuffer> FNodeChunkBuffer;
    int FStreamDepth = 0;

    // --- notifications ----------------------------------------------------------------------
    virtual void Change(PLazyNode Node);
    virtual void StructureChange(PLazyNode Node, TChangeReason Reason);
    virtual void AdviseChangeEvent(bool IsStructureChange, PLazyNode Node, TChangeReason Reason);
    virtual void DoChange(PLazyNode Node);
    virtual void DoStructureChange(PLazyNode Node, TChangeReason Reason);
    virtual void DoStateChange(TLazyTreeStates Enter, TLazyTreeStates Leave = {});
    void SetRedrawSuppressed(bool Updating);
    virtual void ClearSelection(bool Notify);

    // --- checks -----------------------------------------------------------------------------
    virtual TCheckState DetermineNextCheckState(TCheckType CheckType, TCheckState CheckState);
    virtual bool DoChecking(PLazyNode Node, TCheckState& NewCheckState);
    virtual void DoCheckClick(PLazyNode Node, TCheckState NewCheckState);
    virtual bool CheckParentCheckState(PLazyNode Node, TCheckState NewCheckState);
    bool ApplyCheckState(PLazyNode Node, TCheckState Value);

    // --- toggling ---------------------------------------------------------------------------
    virtual void DoCollapsed(PLazyNode Node);
    bool ToggleAnimationStep(int Step, int StepSize);
    void RunToggleAnimation(TToggleAnimation& animation, int distance1, int distance2);
    // The animation running now (nullptr when none) and the last one that ran.
    std::unique_ptr<TToggleAnimation> FToggleAnimation;
    TToggleAnimation FLastToggleAnimation;

    // --- selection and focus ----------------------------------------------------------------
    bool InsertIntoSelection(PLazyNode Node, bool ForceInsert);
    bool InsertIntoSelection(TNodeArray& NewItems, int NewLength, bool ForceInsert);
    virtual void InternalRemoveFromSelection(PLazyNode Node);
    virtual void InternalClearSelection();
    void PackArray();
    void ResetRangeAnchor();
    void UpdateNextNodeToSelect(PLazyNode Node);
    virtual bool DoFocusChanging(PLazyNode OldNode, PLazyNode NewNode, TColumnIndex OldColumn, TColumnIndex NewColumn);
    virtual void DoFocusNode(PLazyNode Node, bool Ask);
    virtual void DoFocusChange(PLazyNode Node, TColumnIndex Column);
    static bool IsMarked(PLazyNode Node) { return (reinterpret_cast<uintptr_t>(Node) & 1) != 0; }

    // --- input ------------------------------------------------------------------------------
    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    bool viewportEvent(QEvent* e) override;
    // Hands a mouse message to the header; true when it took it.
    bool HeaderFirst(THeaderMessage Msg, QPoint P, TShiftState Shift);
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void ScrollBarAction(int Bar, int Action);
    void CommandKey(int CharCode, TShiftState Shift, const QString& Text);
    void NavigationKey(int CharCode, TShiftState Shift);
    virtual bool DoDragAllowed(PLazyNode Node, TColumnIndex Column);
    // Where a drag that was armed by a press starts, once the mouse has moved far enough; the
    // drag itself belongs to drag and drop.
    virtual void DoDragging(QPoint P);
    virtual bool CanResizeNodeHeight(QPoint P, PLazyNode Node, TColumnIndex Column);
    bool CalculateSelectionRect(int X, int Y);
    virtual bool ApplyRubberBandSelection(int X, int Y);
    virtual void ApplyClickSelection(PLazyNode LastFocused, PLazyNode NewNode, TShiftState Shift, bool DragPending);
    void UpdateCursor(int X, int Y);
    bool CanAutoScroll() const;
    TScrollDirections DetermineScrollDirections(int X, int Y);
    virtual void DoAutoScroll(int X, int Y);
    virtual void DoTimerScroll();
    virtual void AdjustPanningCursor(int X, int Y);
    virtual void DoPopupMenu(PLazyNode Node, TColumnIndex Column, QPoint Position);
    bool HasPopupMenu(PLazyNode Node, TColumnIndex Column, QPoint Pos);

    QPoint FLastClickPos;
    int FDragThreshold = kDragThreshold;
    PLazyNode FHeightTrackNode = nullptr;
    TColumnIndex FHeightTrackColumn = NoColumn;
    QPoint FHeightTrackPoint;
    TScrollDirections FScrollDirections;
    QWidget* FPanningWindow = nullptr;
    QString FPanningImageName;
    QString FPanningCursorName;
    TShiftState FDrawSelShiftState;
    platform::Rect FNewSelRect;
    platform::Rect FLastSelRect;
    TColumnIndex FHeaderClickColumn = InvalidColumn;
    QCursor FCursor;
    int FLastHelpContext = 0;
    platform::Canvas* FTargetCanvas = nullptr;
    platform::Color FLineColor = platform::clBtnShadow;

    // --- events with more than a call -------------------------------------------------------
    virtual bool DoKeyAction(int& CharCode, TShiftState& Shift);
    virtual int DoIncrementalSearch(PLazyNode Node, const QString& Text);
    virtual void DoMeasureItem(platform::Canvas* Canvas, PLazyNode Node, int& NodeHeight);
    virtual void DoShowScrollBar(int Bar, bool Show);
    virtual QMenu* DoGetPopupMenu(PLazyNode Node, TColumnIndex Column, QPoint Position);
    virtual int DoGetNodeWidth(PLazyNode Node, TColumnIndex Column, platform::Canvas* Canvas = nullptr);
    virtual int DoGetNodeExtraWidth(PLazyNode Node, TColumnIndex Column, platform::Canvas* Canvas = nullptr);
    virtual bool ColumnIsEmpty(PLazyNode Node, TColumnIndex Column);
    virtual platform::TImageList* DoGetImageIndex(PLazyNode Node, TLTImageKind Kind, TColumnIndex Column, bool& Ghosted,
                                                  int& Index);
    virtual void DoBeforeCellPaint(platform::Canvas& Canvas, PLazyNode Node, TColumnIndex Column,
                                   TLTCellPaintMode CellPaintMode, const platform::Rect& CellRect,
                                   platform::Rect& ContentRect);
    virtual QPoint DoGetCellContentMargin(PLazyNode Node, TColumnIndex Column,
                                  TLTCellContentMarginType MarginType = ccmtAllSides);
    virtual void DetermineHitPositionLTR(THitInfo& HitInfo, int Offset, int Right, platform::Alignment Alignment);
    virtual void DetermineHitPositionRTL(THitInfo& HitInfo, int Offset, int Right, platform::Alignment Alignment);
    // Indentation of a node's content in a column (levels times Indent in the main column).
    int NodeIndentation(PLazyNode Node, TColumnIndex Column) const;
    int CheckImageWidth() const;
    int TextHeight() const;
    virtual void MainColumnChanged();

    // --- in-place editing (LazyTreeEdit.cpp) -------------------------------------------------
    // The editor of a cell: none, then OnCreateEditor's (the string tree makes its own).
    virtual ILTEditLinkPtr DoCreateEditor(PLazyNode Node, TColumnIndex Column);
    virtual bool DoCanEdit(PLazyNode Node, TColumnIndex Column, bool Allowed);
    ILTEditLinkPtr FEditLink;

    // --- clipboard, drag and drop (LazyTreeClipboard.cpp, LazyTreeDragDrop.cpp) -------------
    virtual HRESULT DoRenderOLEData(const TFormatEtc& FormatEtcIn, TStgMedium& Medium, bool ForClipboard);
    virtual bool DoDragOver(QObject* Source, TShiftState Shift, TDragState State, QPoint Pt, TDropMode Mode,
                            unsigned& Effect);
    virtual void DoDragExpand();
    virtual void PrepareDragImage(QPoint HotSpot);
    // The tree's node records of Nodes (each with its subtree).
    QByteArray NodeRecords(const TNodeArray& Nodes);
    // The framework's end-of-drag notification: OnEndDrag, then DragFinished.
    void DoEndDragNotification(QObject* Target, int X, int Y);
    // The drag loop of a framework (in-process) drag.
    void DoVCLDragging();
    bool HandleDragEvent(QEvent* e);
    // The mouse buttons the tree holds as pressed on it.
    TShiftState ButtonStates() const;
    std::unique_ptr<TClipboardFormats> FClipboardFormats;
    std::shared_ptr<TLTDragManager> FDragManager;
    std::unique_ptr<TLTDragImage> FDragImage;
    TNodeArray FDragSelection;
    unsigned FLastDragEffect = 0;
    unsigned FVCLDragEffect = 0;
    PLazyNode FLastVCLDropTarget = nullptr;
    uint32_t FDragScrollStart = 0;
    bool FVCLDragCarriesNoData = false;

    // --- hints (LazyTreeHint.cpp) -------------------------------------------------------------
    TLTHintData FHintData;
    platform::Rect FLastHintRect;
    // The hint window (a TLazyTreeHintWindow), made on the first hint.
    QPointer<QWidget> FHintWindow;
    TLazyTreeHintWindow* HintWindowOrNew();
    void ShowHintAt(QPoint ClientPos, bool Immediate);

    // --- painting ---------------------------------------------------------------------------
    virtual void Paint();
    virtual void PrepareCell(TLTPaintInfo& PaintInfo, int WindowOrgX, int MaxWidth);
    // One cell of a row: images, indentation, grid lines, decoration, tree lines, content.
    void PaintCell(TLTPaintInfo& info, const platform::Rect& Window, TLTPaintOptions paint, int vAlign, int buttonY,
                   int buttonX, int indentSize, const TLineImage& lineImage, bool showImages, bool showStateImages,
                   bool showCheckImages, bool isMainColumn, bool useThemes, bool useColumns, int paintWidth);
    virtual void EraseNodeRow(TLTPaintInfo& PaintInfo, bool UseBackground, bool Floating, platform::Rect R);
    virtual void PaintSelectionRectangle(platform::Canvas& Target, int WindowOrgX, const platform::Rect& SelectionRect,
                                         platform::Rect TargetRect, platform::Bitmap* Bits);
    virtual void DoPaintDropMark(platform::Canvas& Canvas, PLazyNode Node, const platform::Rect& R);
    virtual void DoPaintNode(TLTPaintInfo& PaintInfo);
    virtual void AdjustPaintCellRect(TLTPaintInfo& PaintInfo, TColumnIndex& NextNonEmpty);
    virtual void PaintTreeLines(TLTPaintInfo& PaintInfo, int VAlign, int IndentSize, const TLineImage& LineImage);
    void DrawTreeLineSegment(TLTPaintInfo& PaintInfo, int X, int Y, int H, int VAlign, TLTLineType Style, bool Reverse);
    virtual void DrawDottedHLine(TLTPaintInfo& PaintInfo, int Left, int Right, int Top);
    virtual void DrawDottedVLine(TLTPaintInfo& PaintInfo, int Top, int Bottom, int Left, bool UseSelectedBkColor = false);
    virtual void PaintNodeButton(platform::Canvas& Canvas, PLazyNode Node, TColumnIndex Column, const platform::Rect& CellRect,
                                 int ButtonX, int ButtonY, TBiDiMode BidiMode);
    virtual void PaintCheckImage(platform::Canvas& Canvas, const CellImageInfo& ImageInfo, bool Selected);
    virtual void GetImageIndex(TLTPaintInfo& PaintInfo, TLTImageKind Kind, CellImageSlot Slot,
                               platform::TImageList* DefaultImages);
    virtual void AdjustImageBorder(platform::TImageList* Images, TBiDiMode BidiMode, int VAlign, platform::Rect& R,
                                   CellImageInfo& ImageInfo);
    virtual void PaintImage(TLTPaintInfo& PaintInfo, CellImageSlot Slot, bool DoOverlay);
    void PaintToggleAnimation(platform::Canvas& canvas, const platform::Rect& updateRect);
    void PaintTiledBackground(platform::Canvas& Canvas, QPoint Offset, const platform::Rect& R);
    void PaintStaticBackground(platform::Canvas& Canvas, QPoint Offset, const platform::Rect& R);
    void paintEvent(QPaintEvent* event) override;
    platform::Rect FUpdateRect;
    platform::Picture FBackground;
    int FBackgroundOffsetX = 0;
    int FBackgroundOffsetY = 0;
    platform::Bitmap FPlusBM;
    platform::Bitmap FHotPlusBM;
    platform::Bitmap FMinusBM;
    platform::Bitmap FHotMinusBM;
    platform::Bitmap FSelectedHotPlusBM;
    platform::Bitmap FSelectedHotMinusBM;
    platform::PatternRows FLinePattern = platform::kDottedPattern;

    // --- window -----------------------------------------------------------------------------
    virtual void CreateWnd();
    virtual void BuildButtonAndLineBitmaps(bool NeedButtons, bool NeedLines);
    void RedrawFrame();
    void ImageListChange();
    QSize FButtonSize{9, 9};

    // --- state ------------------------------------------------------------------------------
    PLazyNode FRoot = nullptr;
    int FNodeDataSize = -1;
    uint32_t FTotalInternalDataSize = 0;
    uint32_t FDefaultNodeHeight = DefaultNodeHeightValue;
    uint32_t FVisibleCount = 0;
    uint32_t FUpdateCount = 0;
    uint32_t FSynchUpdateCount = 0;
    TLazyTreeStates FStates;
    TNodeArray FTempNodeCache;
    uint32_t FTempNodeCount = 0;

    uint32_t FChangeDelay = 0;
    PLazyNode FLastChangedNode = nullptr;
    PLazyNode FLastStructureChangeNode = nullptr;
    TChangeReason FLastStructureChangeReason = crIgnore;
    uint32_t FOperationCount = 0;
    bool FOperationCanceled = false;

    uint32_t FCheckPropagationCount = 0;
    PLazyNode FCheckNode = nullptr;
    TCheckState FPendingCheckState = csUncheckedNormal;

    TNodeArray FSelection;
    int FSelectionCount = 0;
    bool FSelectionLocked = false;
    PLazyNode FRangeAnchor = nullptr;
    PLazyNode FNextNodeToSelect = nullptr;
    int FLastSelectionLevel = -1;
    TNodeArray FSingletonNodeArray;
    PLazyNode FFocusedNode = nullptr;
    TColumnIndex FFocusedColumn = NoColumn;
    TColumnIndex FEditColumn = NoColumn;
    PLazyNode FCurrentHotNode = nullptr;
    TColumnIndex FCurrentHotColumn = NoColumn;
    bool FHotNodeButtonHit = false;
    PLazyNode FDropTargetNode = nullptr;
    TDropMode FLastDropMode = dmNowhere;
    PLazyNode FLastSearchNode = nullptr;
    PLazyNode FLastDragTarget = nullptr;
    QString FSearchBuffer;

    int FOffsetX = 0;
    int FOffsetY = 0;
    int FEffectiveOffsetX = 0;
    uint32_t FRangeX = 0;
    uint32_t FRangeY = 0;
    uint32_t FBottomSpace = 0;

    std::unique_ptr<TCustomLazyTreeOptions> FOptions;
    std::unique_ptr<TLTHeader> FHeader;
    std::unique_ptr<TLTColors> FColors;
    std::unique_ptr<TScrollBarOptions> FScrollBarOptions;

    platform::Alignment FAlignment = platform::Alignment::taLeftJustify;
    uint32_t FAnimationDuration = 200;
    uint32_t FAutoExpandDelay = 1000;
    uint32_t FAutoScrollDelay = 1000;
    uint32_t FAutoScrollInterval = 1;
    TBorderStyle FBorderStyle = bsSingle;
    TLTButtonFillMode FButtonFillMode = fmTreeColor;
    TLTButtonStyle FButtonStyle = bsRectangle;
    TCheckImageKind FCheckImageKind = ckSystemDefault;
    platform::TImageList* FCheckImages = nullptr;
    platform::TImageList* FCustomCheckImages = nullptr;
    platform::TImageList* FImages = nullptr;
    platform::TImageList* FStateImages = nullptr;
    platform::Color FColor = platform::clWindow;
    TLTDrawSelectionMode FDrawSelectionMode = smDottedRectangle;
    uint32_t FEditDelay = 1000;
    QString FEmptyListMessage;
    THintAnimationType FHintAnimation = hatSystemDefault;
    TLTHintMode FHintMode = hmDefault;
    bool FShowHint = true;
    QCursor FHotCursor;
    TLTIncrementalSearch FIncrementalSearch = isNone;
    TLTSearchDirection FSearchDirection = sdForward;
    TLTSearchStart FSearchStart = ssFocusedNode;
    uint32_t FSearchTimeout = 1000;
    uint32_t FIndent = 18;
    TLTLineMode FLineMode = lmNormal;
    TLTLineStyle FLineStyle = lsDotted;
    int FMargin = 4;
    TLTNodeAlignment FNodeAlignment = naProportional;
    uint8_t FSelectionBlendFactor = 128;
    uint32_t FSelectionCurveRadius = 0;
    int FTextMargin = 4;
    bool FWantTabs = false;
    TLTDragType FDragType = dtOLE;
    TDragOperations FDragOperations{doCopy, doMove};
    TLTDragImageKind FDragImageKind = diComplete;
    int FDragHeight = 350;
    int FDragWidth = 200;
    TLTNodeAttachMode FDefaultPasteMode = amAddChildLast;
    QMenu* FPopupMenu = nullptr;
    TBiDiMode FBiDiMode = bdLeftToRight;

    bool FLoading = false;
    bool FDestroying = false;
    bool FHandleAllocated = false;
    platform::Rect FHeaderRect;
    THeaderStrip* FHeaderStrip = nullptr;
    std::array<platform::Timer*, 9> FTimers{};
    QAccessibleInterface* FAccessible = nullptr;
    QAccessibleInterface* FAccessibleItem = nullptr;
};

} // namespace controls
