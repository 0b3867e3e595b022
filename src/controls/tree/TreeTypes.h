#pragma once
// Plain types of the lazy tree: small bit sets over enumerations, the node record, the state
// and option enumerations and the values that events pass.
#include <QString>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <vector>

namespace controls {

// A set of enumeration values kept in the bits of `Bits` (value n is bit n).
template <typename E, typename Bits>
class TSet {
public:
    constexpr TSet() = default;
    constexpr TSet(E e) : m_bits(bit(e)) {} // NOLINT: a single value is a set of one
    constexpr TSet(std::initializer_list<E> values)
    {
        for (E e : values)
            m_bits |= bit(e);
    }
    static constexpr TSet fromBits(Bits b)
    {
        TSet s;
        s.m_bits = b;
        return s;
    }
    constexpr Bits bits() const { return m_bits; }
    constexpr bool contains(E e) const { return (m_bits & bit(e)) != 0; }
    constexpr bool empty() const { return m_bits == 0; }
    constexpr TSet& operator+=(TSet o)
    {
        m_bits |= o.m_bits;
        return *this;
    }
    constexpr TSet& operator-=(TSet o)
    {
        m_bits &= Bits(~o.m_bits);
        return *this;
    }
    constexpr TSet& operator*=(TSet o)
    {
        m_bits &= o.m_bits;
        return *this;
    }
    friend constexpr TSet operator+(TSet a, TSet b) { return fromBits(Bits(a.m_bits | b.m_bits)); }
    friend constexpr TSet operator-(TSet a, TSet b) { return fromBits(Bits(a.m_bits & Bits(~b.m_bits))); }
    friend constexpr TSet operator*(TSet a, TSet b) { return fromBits(Bits(a.m_bits & b.m_bits)); }
    friend constexpr bool operator==(TSet a, TSet b) { return a.m_bits == b.m_bits; }
    // a <= b: every member of a is in b.
    friend constexpr bool operator<=(TSet a, TSet b) { return (a.m_bits & Bits(~b.m_bits)) == 0; }
    static constexpr Bits bit(E e) { return Bits(Bits(1) << unsigned(e)); }

private:
    Bits m_bits = 0;
};

// --- node states ---------------------------------------------------------------------------------

enum TLazyNodeState : uint8_t {
    vsInitialized,
    vsChecking,
    vsCutOrCopy,
    vsDisabled,
    vsDeleting,
    vsExpanded,
    vsHasChildren,
    vsVisible,
    vsSelected,
    vsOnFreeNodeCallRequired,
    vsAllChildrenHidden,
    vsReleaseCallOnUserDataRequired,
    vsMultiline,
    vsHeightMeasured,
    vsToggling,
    vsFiltered,
    vsInitializing,
};
using TLazyNodeStates = TSet<TLazyNodeState, uint32_t>;

// The states field of a node. The position cache's worker thread reads the states of nodes
// (visibility, expansion, filtering) while the user-interface thread may change other bits of
// the same word (selection, initialisation, measuring). Every access is therefore a relaxed
// atomic load or store: the same machine code as a plain access on the processors we build for,
// and no data race in the language's terms. Read-modify-write steps are a load and a store, as
// only the user-interface thread writes.
class TNodeStatesField {
public:
    TNodeStatesField() = default;
    TNodeStatesField(TLazyNodeStates s) : m_bits(s.bits()) {} // NOLINT: a field holds a set
    TNodeStatesField& operator=(TLazyNodeStates s)
    {
        store(s.bits());
        return *this;
    }
    operator TLazyNodeStates() const { return TLazyNodeStates::fromBits(load()); } // NOLINT
    TLazyNodeStates get() const { return TLazyNodeStates::fromBits(load()); }
    uint32_t bits() const { return load(); }
    bool contains(TLazyNodeState e) const { return (load() & TLazyNodeStates::bit(e)) != 0; }
    bool empty() const { return load() == 0; }
    TNodeStatesField& operator+=(TLazyNodeStates s)
    {
        store(load() | s.bits());
        return *this;
    }
    TNodeStatesField& operator-=(TLazyNodeStates s)
    {
        store(load() & ~s.bits());
        return *this;
    }
    TNodeStatesField& operator*=(TLazyNodeStates s)
    {
        store(load() & s.bits());
        return *this;
    }
    friend TLazyNodeStates operator+(const TNodeStatesField& a, TLazyNodeStates b) { return a.get() + b; }
    friend TLazyNodeStates operator-(const TNodeStatesField& a, TLazyNodeStates b) { return a.get() - b; }
    friend TLazyNodeStates operator*(const TNodeStatesField& a, TLazyNodeStates b) { return a.get() * b; }
    friend bool operator==(const TNodeStatesField& a, TLazyNodeStates b) { return a.get() == b; }
    friend bool operator<=(TLazyNodeStates a, const TNodeStatesField& b) { return a <= b.get(); }

private:
    uint32_t load() const { return __atomic_load_n(&m_bits, __ATOMIC_RELAXED); }
    void store(uint32_t v) { __atomic_store_n(&m_bits, v, __ATOMIC_RELAXED); }
    uint32_t m_bits = 0;
};

enum TLazyNodeInitState : uint8_t {
    ivsDisabled,
    ivsExpanded,
    ivsHasChildren,
    ivsMultiline,
    ivsSelected,
    ivsFiltered,
    ivsReInit,
};
using TLazyNodeInitStates = TSet<TLazyNodeInitState, uint8_t>;

enum TCheckType : uint8_t { ctNone, ctTriStateCheckBox, ctCheckBox, ctRadioButton, ctButton };
enum TCheckState : uint8_t {
    csUncheckedNormal,
    csUncheckedPressed,
    csCheckedNormal,
    csCheckedPressed,
    csMixedNormal,
    csMixedPressed,
    csUncheckedDisabled,
    csCheckedDisabled,
    csMixedDisabled,
};

// Derived tests and mappings of a check state.
bool IsDisabledState(TCheckState s);
bool IsCheckedState(TCheckState s);
TCheckState PressedState(TCheckState s);
TCheckState UnpressedState(TCheckState s);
TCheckState EnabledState(TCheckState s);
TCheckState ToggledState(TCheckState s);

// --- the node record ----------------------------------------------------------------------------

// Interface references kept in a node's user data: counted up when stored, released when the
// node is freed (the node then carries vsReleaseCallOnUserDataRequired).
class ILazyTreeReference {
public:
    virtual void AddRef() = 0;
    virtual void Release() = 0;

protected:
    ~ILazyTreeReference() = default;
};

// One node. The fields keep the order and widths of the stored record; in memory the header is
// followed, on a boundary that suits any type, by the caller's user data (NodeDataSize bytes),
// then by the internal areas that descendant classes reserve. The first slot of the user data
// is pointer-sized: SetData and the AddChild/InsertNode user-data argument store a pointer there.
struct TLazyNode {
    uint32_t Index = 0;
    uint32_t ChildCount = 0;
    uint16_t NodeHeight = 0;
    TNodeStatesField States;
    uint8_t Align = 0;
    TCheckState CheckState = csUncheckedNormal;
    TCheckType CheckType = ctNone;
    uint8_t Dummy = 0;
    uint32_t TotalCount = 0;
    uint32_t TotalHeight = 0;
    TLazyNode* Parent = nullptr;
    TLazyNode* PrevSibling = nullptr;
    TLazyNode* NextSibling = nullptr;
    TLazyNode* FirstChild = nullptr;
    TLazyNode* LastChild = nullptr;

    // Marks the node vsOnFreeNodeCallRequired and gives its user data (not checked against
    // NodeDataSize).
    void* GetData();
    template <typename T>
    T* GetData()
    {
        return static_cast<T*>(GetData());
    }
    // Stores the pointer in the first slot of the user data.
    void SetData(void* userData);
    void SetData(ILazyTreeReference* reference);
};
static_assert(sizeof(TNodeStatesField) == 4 && sizeof(TLazyNodeStates) == 4 && sizeof(TCheckState) == 1 && sizeof(TCheckType) == 1,
              "the node record keeps the widths of its fields");
using PLazyNode = TLazyNode*;
using TNodeArray = std::vector<PLazyNode>;

// One entry of a tree's position cache: a visible node and its top in tree coordinates.
struct TCacheEntry {
    PLazyNode Node = nullptr;
    uint32_t AbsoluteTop = 0;
};
using TCache = std::vector<TCacheEntry>;

inline bool IsAssigned(const TLazyNode* node) { return node != nullptr; }

// Offset of the user data inside a node block.
constexpr std::size_t kNodeDataOffset =
    (sizeof(TLazyNode) + alignof(std::max_align_t) - 1) / alignof(std::max_align_t) * alignof(std::max_align_t);
// The user-data slot of SetData and AddChild.
constexpr int kUserDataSlotSize = int(sizeof(void*));

inline std::byte* NodeDataAddress(TLazyNode* node) { return reinterpret_cast<std::byte*>(node) + kNodeDataOffset; }

// --- tree states --------------------------------------------------------------------------------

enum TLazyTreeState : uint8_t {
    tsCancelHintAnimation,
    tsChangePending,
    tsCheckPropagation,
    tsCollapsing,
    tsToggleFocusedSelection,
    tsClearPending,
    tsClipboardFlushing,
    tsCopyPending,
    tsCutPending,
    tsDrawSelPending,
    tsDrawSelecting,
    tsEditing,
    tsEditPending,
    tsExpanding,
    tsNodeHeightTracking,
    tsNodeHeightTrackPending,
    tsHint,
    tsInAnimation,
    tsIncrementalSearching,
    tsIncrementalSearchPending,
    tsIterating,
    tsKeyCheckPending,
    tsLeftButtonDown,
    tsLeftDblClick,
    tsMouseCheckPending,
    tsMiddleButtonDown,
    tsMiddleDblClick,
    tsNeedRootCountUpdate,
    tsOLEDragging,
    tsOLEDragPending,
    tsPainting,
    tsRightButtonDown,
    tsRightDblClick,
    tsPopupMenuShown,
    tsScrolling,
    tsScrollPending,
    tsSizing,
    tsStopValidation,
    tsStructureChangePending,
    tsSynchMode,
    tsThumbTracking,
    tsToggling,
    tsUpdateHiddenChildrenNeeded,
    tsUpdating,
    tsUseCache,
    tsUserDragObject,
    tsUseThemes,
    tsValidating,
    tsPreviouslySelectedLocked,
    tsValidationNeeded,
    tsVCLDragging,
    tsVCLDragPending,
    tsVCLDragFinished,
    tsWheelPanning,
    tsWheelScrolling,
    tsWindowCreating,
    tsUseExplorerTheme,
};
using TLazyTreeStates = TSet<TLazyTreeState, uint64_t>;

enum TChangeReason : uint8_t { crIgnore, crAccumulated, crChildAdded, crChildDeleted, crNodeAdded, crNodeCopied, crNodeMoved };
enum TLTNodeAttachMode : uint8_t { amNoWhere, amInsertBefore, amInsertAfter, amAddChildFirst, amAddChildLast };
enum TLTUpdateState : uint8_t { usBegin, usBeginSynch, usSynch, usUpdate, usEnd, usEndSynch };
enum TLTOperationKind : uint8_t { okAutoFitColumns, okGetMaxColumnWidth, okSortNode, okSortTree, okExport, okExpand };

// --- option sets --------------------------------------------------------------------------------

enum TLTPaintOption : uint8_t {
    toHideFocusRect,
    toHideSelection,
    toHotTrack,
    toPopupMode,
    toShowBackground,
    toShowButtons,
    toShowDropmark,
    toShowHorzGridLines,
    toShowRoot,
    toShowTreeLines,
    toShowVertGridLines,
    toThemeAware,
    toUseBlendedImages,
    toGhostedIfUnfocused,
    toFullVertGridLines,
    toAlwaysHideSelection,
    toUseBlendedSelection,
    toStaticBackground,
    toChildrenAbove,
    toFixedIndent,
    toUseExplorerTheme,
    toHideTreeLinesIfThemed,
    toShowFilteredNodes,
};
using TLTPaintOptions = TSet<TLTPaintOption, uint32_t>;

enum TLTAnimationOption : uint8_t { toAnimatedToggle, toAdvancedAnimatedToggle };
using TLTAnimationOptions = TSet<TLTAnimationOption, uint8_t>;

enum TLTAutoOption : uint8_t {
    toAutoDropExpand,
    toAutoExpand,
    toAutoScroll,
    toAutoScrollOnExpand,
    toAutoSort,
    toAutoSpanColumns,
    toAutoTristateTracking,
    toAutoHideButtons,
    toAutoDeleteMovedNodes,
    toDisableAutoscrollOnFocus,
    toAutoChangeScale,
    toAutoFreeOnCollapse,
    toDisableAutoscrollOnEdit,
    toAutoBidiColumnOrdering,
};
using TLTAutoOptions = TSet<TLTAutoOption, uint16_t>;

enum TLTSelectionOption : uint8_t {
    toDisableDrawSelection,
    toExtendedFocus,
    toFullRowSelect,
    toLevelSelectConstraint,
    toMiddleClickSelect,
    toMultiSelect,
    toRightClickSelect,
    toSiblingSelectConstraint,
    toCenterScrollIntoView,
    toSimpleDrawSelection,
    toAlwaysSelectNode,
    toRestoreSelection,
};
using TLTSelectionOptions = TSet<TLTSelectionOption, uint16_t>;

enum TLTMiscOption : uint8_t {
    toAcceptOLEDrop,
    toCheckSupport,
    toEditable,
    toFullRepaintOnResize,
    toGridExtensions,
    toInitOnSave,
    toReportMode,
    toToggleOnDblClick,
    toWheelPanning,
    toReadOnly,
    toVariableNodeHeight,
    toFullRowDrag,
    toNodeHeightResize,
    toNodeHeightDblClickResize,
    toEditOnClick,
    toEditOnDblClick,
    toReverseFullExpandHotKey,
};
using TLTMiscOptions = TSet<TLTMiscOption, uint32_t>;

enum TLTExportMode : uint8_t { emAll, emChecked, emUnchecked, emVisibleDueToExpansion, emSelected };

// --- other enumerations of the control ----------------------------------------------------------

enum TCheckImageKind : uint8_t {
    ckLightCheck,
    ckDarkCheck,
    ckLightTick,
    ckDarkTick,
    ckFlat,
    ckXP,
    ckCustom,
    ckSystemFlat,
    ckSystemDefault,
};
enum TLTImageKind : uint8_t { ikNormal, ikSelected, ikState, ikOverlay };
enum TLTLineType : uint8_t { ltNone, ltBottomRight, ltTopDown, ltTopDownRight, ltRight, ltTopRight, ltLeft, ltLeftBottom };
using TLineImage = std::vector<TLTLineType>;
enum TLTLineStyle : uint8_t { lsCustomStyle, lsDotted, lsSolid };
enum TLTLineMode : uint8_t { lmNormal, lmBands };
enum TLTButtonStyle : uint8_t { bsRectangle, bsTriangle };
enum TLTButtonFillMode : uint8_t { fmTreeColor, fmWindowColor, fmShaded, fmTransparent };
enum TLTNodeAlignment : uint8_t { naFromBottom, naFromTop, naProportional };
enum TLTDrawSelectionMode : uint8_t { smDottedRectangle, smBlendedRectangle };
enum TLTIncrementalSearch : uint8_t { isAll, isNone, isInitializedOnly, isVisibleOnly };
enum TLTSearchDirection : uint8_t { sdForward, sdBackward };
enum TLTSearchStart : uint8_t { ssAlwaysStartOver, ssLastHit, ssFocusedNode };
enum THintAnimationType : uint8_t { hatNone, hatFade, hatSlide, hatSystemDefault };
enum TLTHintMode : uint8_t { hmDefault, hmHint, hmHintAndDefault, hmTooltip };
enum TLTDragImageKind : uint8_t { diComplete, diMainColumnOnly, diNoImage };
enum TLTDragType : uint8_t { dtOLE, dtVCL };
enum TDragOperation : uint8_t { doCopy, doMove, doLink };
using TDragOperations = TSet<TDragOperation, uint8_t>;
enum TBorderStyle : uint8_t { bsNone, bsSingle };
enum TBiDiMode : uint8_t { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };
enum TDropMode : uint8_t { dmNowhere, dmAbove, dmOnNode, dmBelow };
enum TItemEraseAction : uint8_t { eaColor, eaDefault, eaNone };
enum TLTCellPaintMode : uint8_t { cpmPaint, cpmGetContentMargin };
enum TLTCellContentMarginType : uint8_t { ccmtAllSides, ccmtTopLeftOnly, ccmtBottomRightOnly };
enum TScrollStyle : uint8_t { ssNone, ssHorizontal, ssVertical, ssBoth };
enum TScrollBarStyle : uint8_t { sbmRegular, sbm3D };
enum TScrollDirection : uint8_t { sdLeft, sdUp, sdRight, sdDown };
using TScrollDirections = TSet<TScrollDirection, uint8_t>;

enum TShiftStateMember : uint8_t { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSet<TShiftStateMember, uint8_t>;

enum TMouseButton : uint8_t { mbLeft, mbRight, mbMiddle };

// Column indexes: -1 no column, -2 none found.
using TColumnIndex = int32_t;
constexpr TColumnIndex NoColumn = -1;
constexpr TColumnIndex InvalidColumn = -2;
using TColumnPosition = uint32_t;

enum THitPosition : uint8_t {
    hiAbove,
    hiBelow,
    hiNowhere,
    hiOnItem,
    hiOnItemButton,
    hiOnItemButtonExact,
    hiOnItemCheckbox,
    hiOnItemIndent,
    hiOnItemLabel,
    hiOnItemLeft,
    hiOnItemRight,
    hiOnNormalIcon,
    hiOnStateIcon,
    hiToLeft,
    hiToRight,
    hiUpperSplitter,
    hiLowerSplitter,
};
using THitPositions = TSet<THitPosition, uint32_t>;

struct THitInfo {
    PLazyNode HitNode = nullptr;
    THitPositions HitPositions;
    TColumnIndex HitColumn = NoColumn;
    int HitPointX = 0;
    int HitPointY = 0;
};

enum TLTInternalPaintOption : uint8_t {
    poBackground,
    poColumnColor,
    poDrawFocusRect,
    poDrawSelection,
    poDrawDropMark,
    poGridLines,
    poMainOnly,
    poSelectedOnly,
    poUnbuffered,
};
using TLTInternalPaintOptions = TSet<TLTInternalPaintOption, uint16_t>;

// Text kinds of the string tree.
enum TVSTTextType : uint8_t { ttNormal, ttStatic };
// The nodes an export or a clipboard text walks.
enum TVSTTextSourceType : uint8_t { tstAll, tstInitialized, tstSelected, tstCutCopySet, tstVisible, tstChecked };
enum TLTExportType : uint8_t { etNone, etRTF, etHTML, etText, etExcel, etWord, etCustom };
enum TLTHintLineBreakStyle : uint8_t { hlbDefault, hlbForceSingleLine, hlbForceMultiLine };
enum TLTHintKind : uint8_t { vhkText, vhkOwnerDraw };
enum TLTDragMoveRestriction : uint8_t { dmrNone, dmrHorizontalOnly, dmrVerticalOnly };
// What a drag over the tree is doing when OnDragOver asks.
enum TDragState : uint8_t { dsDragEnter, dsDragLeave, dsDragMove };

} // namespace controls
