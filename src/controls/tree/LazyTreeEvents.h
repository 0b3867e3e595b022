#pragma once
// The events of the lazy tree and their dispatchers, from one table.
//
// Every event is an std::function member On<Name> whose first argument is the tree that fires
// it; every event is fired through one overridable dispatcher Do<Name>. A row of the table says
// what the dispatcher does:
//   NOTIFY(Name, (parameters), (arguments))  Do<Name>(parameters) fires the event when it is
//                                            assigned, and nothing else.
//   ALLOW(Name, (parameters), (arguments))   the event gets a trailing `bool& Allowed` preset
//                                            to true; Do<Name>(parameters) returns it.
//   ONLY(Name, (parameters))                 the event member alone; the dispatcher is written
//                                            by hand because it does more (its comment in
//                                            LazyTree.h says what).
// The expansion lives in TBaseLazyTree (LT_DECLARE_EVENTS); derived trees add their own
// tables the same way.
#include <QCursor>
#include <QPoint>
#include <functional>
#include <memory>
#include <vector>

class QIODevice;
class QMimeData;
class QObject;

#define LT_STRIP(...) __VA_ARGS__
#define LT_WITH_SENDER(...) TBaseLazyTree* Sender __VA_OPT__(, ) __VA_ARGS__
#define LT_ARGS_WITH_THIS(...) this __VA_OPT__(, ) __VA_ARGS__

// clang-format off
#define LT_BASE_EVENTS(NOTIFY, ALLOW, ONLY)                                                                            \
    /* node life and structure */                                                                                     \
    ONLY(FreeNode, (PLazyNode Node))                                                                                  \
    ONLY(GetNodeDataSize, (int& NodeDataSize))                                                                        \
    NOTIFY(InitNode, (PLazyNode ParentNode, PLazyNode Node, TLazyNodeInitStates& InitialStates),                      \
           (ParentNode, Node, InitialStates))                                                                         \
    ONLY(InitChildren, (PLazyNode Node, uint32_t& ChildCount))                                                        \
    NOTIFY(ResetNode, (PLazyNode Node), (Node))                                                                       \
    ONLY(StructureChange, (PLazyNode Node, TChangeReason Reason))                                                     \
    ONLY(Change, (PLazyNode Node))                                                                                    \
    ONLY(StateChange, (TLazyTreeStates Enter, TLazyTreeStates Leave))                                                 \
    NOTIFY(Updating, (TLTUpdateState State), (State))                                                                 \
    NOTIFY(StartOperation, (TLTOperationKind OperationKind), (OperationKind))                                         \
    NOTIFY(EndOperation, (TLTOperationKind OperationKind), (OperationKind))                                           \
    /* sorting, moving, copying and streaming */                                                                      \
    ONLY(CompareNodes, (PLazyNode Node1, PLazyNode Node2, TColumnIndex Column, int& Result))                          \
    ALLOW(NodeMoving, (PLazyNode Node, PLazyNode Target), (Node, Target))                                             \
    ALLOW(NodeCopying, (PLazyNode Node, PLazyNode Target), (Node, Target))                                            \
    NOTIFY(NodeMoved, (PLazyNode Node), (Node))                                                                       \
    NOTIFY(NodeCopied, (PLazyNode Node), (Node))                                                                      \
    NOTIFY(SaveNode, (PLazyNode Node, QIODevice& Stream), (Node, Stream))                                             \
    NOTIFY(LoadNode, (PLazyNode Node, QIODevice& Stream), (Node, Stream))                                             \
    NOTIFY(SaveTree, (QIODevice& Stream), (Stream))                                                                   \
    NOTIFY(LoadTree, (QIODevice& Stream), (Stream))                                                                   \
    /* header and columns */                                                                                          \
    NOTIFY(AfterAutoFitColumn, (TColumnIndex Column), (Column))                                                       \
    NOTIFY(AfterAutoFitColumns, (), ())                                                                               \
    NOTIFY(AfterColumnWidthTracking, (TColumnIndex Column), (Column))                                                 \
    NOTIFY(AfterHeaderHeightTracking, (), ())                                                                         \
    ONLY(BeforeAutoFitColumn, (TColumnIndex Column, TSmartAutoFitType& SmartAutoFitType, bool& Allowed))              \
    NOTIFY(BeforeAutoFitColumns, (TSmartAutoFitType& SmartAutoFitType), (SmartAutoFitType))                           \
    NOTIFY(BeforeColumnWidthTracking, (TColumnIndex Column, TShiftState Shift), (Column, Shift))                      \
    NOTIFY(BeforeHeaderHeightTracking, (TShiftState Shift), (Shift))                                                  \
    NOTIFY(BeforeGetMaxColumnWidth, (TColumnIndex Column, bool& UseSmartColumnWidth), (Column, UseSmartColumnWidth))  \
    NOTIFY(AfterGetMaxColumnWidth, (TColumnIndex Column, int& MaxWidth), (Column, MaxWidth))                          \
    ONLY(CanSplitterResizeColumn, (QPoint P, TColumnIndex Column, bool& Allowed))                                     \
    ONLY(CanSplitterResizeHeader, (QPoint P, bool& Allowed))                                                          \
    ALLOW(ColumnWidthDblClickResize, (TColumnIndex Column, TShiftState Shift, QPoint P), (Column, Shift, P))          \
    ALLOW(ColumnWidthTracking, (TColumnIndex Column, TShiftState Shift, QPoint& TrackPoint, QPoint P),                \
          (Column, Shift, TrackPoint, P))                                                                             \
    ALLOW(HeaderHeightTracking, (QPoint& P, TShiftState Shift), (P, Shift))                                           \
    ALLOW(HeaderHeightDblClickResize, (QPoint& P, TShiftState Shift), (P, Shift))                                     \
    ONLY(ColumnResize, (TColumnIndex Column))                                                                         \
    NOTIFY(ColumnVisibilityChanged, (TColumnIndex Column, bool Visible), (Column, Visible))                           \
    NOTIFY(GetHeaderCursor, (QCursor& Cursor), (Cursor))                                                              \
    NOTIFY(HeaderClick, (const TLTHeaderHitInfo& HitInfo), (HitInfo))                                                 \
    NOTIFY(HeaderDblClick, (const TLTHeaderHitInfo& HitInfo), (HitInfo))                                              \
    NOTIFY(HeaderDragged, (TColumnIndex Column, TColumnPosition OldPosition), (Column, OldPosition))                  \
    NOTIFY(HeaderDraggedOut, (TColumnIndex Column, QPoint DropPosition), (Column, DropPosition))                      \
    ALLOW(HeaderDragging, (TColumnIndex Column), (Column))                                                            \
    NOTIFY(HeaderDraw, (platform::Canvas& HeaderCanvas, TLazyTreeColumn* Column, const platform::Rect& R, bool Hover, \
                        bool Pressed, TLTDropMarkMode DropMark),                                                      \
           (HeaderCanvas, Column, R, Hover, Pressed, DropMark))                                                       \
    NOTIFY(HeaderDrawQueryElements, (THeaderPaintInfo& PaintInfo, THeaderPaintElements& Elements),                     \
           (PaintInfo, Elements))                                                                                     \
    NOTIFY(AdvancedHeaderDraw, (THeaderPaintInfo& PaintInfo, THeaderPaintElements Elements), (PaintInfo, Elements))   \
    NOTIFY(HeaderMouseDown, (TMouseButton Button, TShiftState Shift, int X, int Y), (Button, Shift, X, Y))            \
    NOTIFY(HeaderMouseUp, (TMouseButton Button, TShiftState Shift, int X, int Y), (Button, Shift, X, Y))              \
    NOTIFY(HeaderMouseMove, (TShiftState Shift, int X, int Y), (Shift, X, Y))                                         \
    /* checks */                                                                                                      \
    ONLY(Checking, (PLazyNode Node, TCheckState& NewState, bool& Allowed))                                            \
    NOTIFY(Checked, (PLazyNode Node), (Node))                                                                         \
    /* expanding and collapsing */                                                                                    \
    ALLOW(Expanding, (PLazyNode Node), (Node))                                                                        \
    ALLOW(Collapsing, (PLazyNode Node), (Node))                                                                       \
    NOTIFY(Expanded, (PLazyNode Node), (Node))                                                                        \
    ONLY(Collapsed, (PLazyNode Node))                                                                                 \
    /* selection and focus */                                                                                         \
    NOTIFY(AddToSelection, (PLazyNode Node), (Node))                                                                  \
    NOTIFY(RemoveFromSelection, (PLazyNode Node), (Node))                                                             \
    ONLY(FocusChanging, (PLazyNode OldNode, PLazyNode NewNode, TColumnIndex OldColumn, TColumnIndex NewColumn,        \
                         bool& Allowed))                                                                              \
    NOTIFY(FocusChanged, (PLazyNode Node, TColumnIndex Column), (Node, Column))                                       \
    /* keyboard */                                                                                                    \
    ONLY(KeyAction, (int& CharCode, TShiftState& Shift, bool& DoDefault))                                             \
    ONLY(IncrementalSearch, (PLazyNode Node, const QString& SearchText, int& Result))                                  \
    NOTIFY(GetHelpContext, (PLazyNode Node, TColumnIndex Column, int& HelpContext), (Node, Column, HelpContext))      \
    /* mouse */                                                                                                       \
    NOTIFY(NodeClick, (const THitInfo& HitInfo), (HitInfo))                                                           \
    NOTIFY(NodeDblClick, (const THitInfo& HitInfo), (HitInfo))                                                        \
    NOTIFY(ColumnClick, (TColumnIndex Column, TShiftState Shift), (Column, Shift))                                    \
    NOTIFY(ColumnDblClick, (TColumnIndex Column, TShiftState Shift), (Column, Shift))                                 \
    NOTIFY(HotChange, (PLazyNode OldNode, PLazyNode NewNode), (OldNode, NewNode))                                     \
    NOTIFY(GetCursor, (QCursor& Cursor), (Cursor))                                                                    \
    NOTIFY(MouseEnter, (), ())                                                                                        \
    NOTIFY(MouseLeave, (), ())                                                                                        \
    ONLY(GetPopupMenu, (PLazyNode Node, TColumnIndex Column, QPoint P, bool& AskParent, QMenu*& PopupMenu))           \
    ALLOW(CanSplitterResizeNode, (QPoint P, PLazyNode Node, TColumnIndex Column), (P, Node, Column))                  \
    ALLOW(NodeHeightTracking, (PLazyNode Node, TColumnIndex Column, TShiftState Shift, QPoint& TrackPoint, QPoint P), \
          (Node, Column, Shift, TrackPoint, P))                                                                       \
    ALLOW(NodeHeightDblClickResize, (PLazyNode Node, TColumnIndex Column, TShiftState Shift, QPoint P),               \
          (Node, Column, Shift, P))                                                                                   \
    ONLY(DragAllowed, (PLazyNode Node, TColumnIndex Column, bool& Allowed))                                           \
    /* scrolling */                                                                                                   \
    NOTIFY(Scroll, (int DeltaX, int DeltaY), (DeltaX, DeltaY))                                                        \
    ONLY(ShowScrollBar, (int Bar, bool Show))                                                                         \
    /* painting */                                                                                                    \
    NOTIFY(BeforePaint, (platform::Canvas& TargetCanvas), (TargetCanvas))                                             \
    NOTIFY(AfterPaint, (platform::Canvas& TargetCanvas), (TargetCanvas))                                              \
    ONLY(BeforeItemPaint, (platform::Canvas& TargetCanvas, PLazyNode Node, const platform::Rect& ItemRect,            \
                           bool& CustomDraw))                                                                         \
    NOTIFY(BeforeItemErase, (platform::Canvas& TargetCanvas, PLazyNode Node, const platform::Rect& ItemRect,          \
                             platform::Color& ItemColor, TItemEraseAction& EraseAction),                              \
           (TargetCanvas, Node, ItemRect, ItemColor, EraseAction))                                                    \
    NOTIFY(AfterItemErase, (platform::Canvas& TargetCanvas, PLazyNode Node, const platform::Rect& ItemRect),          \
           (TargetCanvas, Node, ItemRect))                                                                            \
    NOTIFY(AfterItemPaint, (platform::Canvas& TargetCanvas, PLazyNode Node, const platform::Rect& ItemRect),          \
           (TargetCanvas, Node, ItemRect))                                                                            \
    ONLY(BeforeCellPaint, (platform::Canvas& TargetCanvas, PLazyNode Node, TColumnIndex Column,                       \
                           TLTCellPaintMode CellPaintMode, const platform::Rect& CellRect, platform::Rect& ContentRect)) \
    NOTIFY(AfterCellPaint, (platform::Canvas& TargetCanvas, PLazyNode Node, TColumnIndex Column,                      \
                            const platform::Rect& CellRect),                                                          \
           (TargetCanvas, Node, Column, CellRect))                                                                    \
    ONLY(PaintBackground, (platform::Canvas& TargetCanvas, const platform::Rect& R, bool& Handled))                    \
    NOTIFY(BeforeDrawTreeLine, (PLazyNode Node, int Level, int& PosX), (Node, Level, PosX))                           \
    ONLY(GetImageIndex, (PLazyNode Node, TLTImageKind Kind, TColumnIndex Column, bool& Ghosted, int& ImageIndex))      \
    ONLY(GetImageIndexEx, (PLazyNode Node, TLTImageKind Kind, TColumnIndex Column, bool& Ghosted, int& ImageIndex,    \
                           platform::TImageList*& ImageList))                                                         \
    NOTIFY(GetLineStyle, (const uint16_t*& Bits), (Bits))                                                             \
    ONLY(PrepareButtonBitmaps, (platform::Bitmap& PlusBM, platform::Bitmap& PlusHotBM,                                \
                                platform::Bitmap& PlusSelectedHotBM, platform::Bitmap& MinusBM,                       \
                                platform::Bitmap& MinusHotBM, platform::Bitmap& MinusSelectedHotBM, QSize& Size))     \
    ONLY(MeasureItem, (platform::Canvas& TargetCanvas, PLazyNode Node, int& NodeHeight))
// clang-format on

// The events of editing, clipboard, drag and drop, hints and export.
// clang-format off
#define LT_TRANSFER_EVENTS(NOTIFY, ALLOW, ONLY)                                                                        \
    /* in-place editing */                                                                                            \
    ONLY(Editing, (PLazyNode Node, TColumnIndex Column, bool& Allowed))                                               \
    NOTIFY(EditCancelled, (TColumnIndex Column), (Column))                                                            \
    NOTIFY(Edited, (PLazyNode Node, TColumnIndex Column), (Node, Column))                                             \
    ONLY(CreateEditor, (PLazyNode Node, TColumnIndex Column, ILTEditLinkPtr& EditLink))                               \
    /* clipboard and data objects */                                                                                  \
    NOTIFY(GetUserClipboardFormats, (TFormatEtcArray& Formats), (Formats))                                            \
    ONLY(RenderOLEData, (const TFormatEtc& FormatEtcIn, TStgMedium& Medium, bool ForClipboard, HRESULT& Result))      \
    /* drag and drop */                                                                                               \
    ONLY(DragOver, (QObject* Source, TShiftState Shift, TDragState State, QPoint Pt, TDropMode Mode,                  \
                    unsigned& Effect, bool& Accept))                                                                  \
    NOTIFY(DragDrop, (QObject* Source, const QMimeData* DataObject, const std::vector<uint16_t>& Formats,             \
                      TShiftState Shift, QPoint Pt, unsigned& Effect, TDropMode Mode),                                \
           (Source, DataObject, Formats, Shift, Pt, Effect, Mode))                                                    \
    ONLY(CreateDragManager, (std::shared_ptr<TLTDragManager>& DragManager))                                           \
    ONLY(CreateDataObject, (QMimeData*& DataObject))                                                                  \
    NOTIFY(StartDrag, (QObject*& DragObject), (DragObject))                                                           \
    NOTIFY(EndDrag, (QObject* Target, int X, int Y), (Target, X, Y))                                                  \
    /* hints */                                                                                                       \
    ONLY(GetHintKind, (PLazyNode Node, TColumnIndex Column, TLTHintKind& Kind))                                       \
    NOTIFY(GetHintSize, (PLazyNode Node, TColumnIndex Column, platform::Rect& R), (Node, Column, R))                  \
    NOTIFY(DrawHint, (platform::Canvas& HintCanvas, PLazyNode Node, const platform::Rect& R, TColumnIndex Column),    \
           (HintCanvas, Node, R, Column))                                                                             \
    /* export */                                                                                                      \
    NOTIFY(BeforeTreeExport, (TLTExportType ExportType), (ExportType))                                                \
    NOTIFY(AfterTreeExport, (TLTExportType ExportType), (ExportType))                                                 \
    NOTIFY(BeforeHeaderExport, (TLTExportType ExportType), (ExportType))                                              \
    NOTIFY(AfterHeaderExport, (TLTExportType ExportType), (ExportType))                                               \
    NOTIFY(BeforeColumnExport, (TLTExportType ExportType, TLazyTreeColumn* Column), (ExportType, Column))             \
    NOTIFY(ColumnExport, (TLTExportType ExportType, TLazyTreeColumn* Column), (ExportType, Column))                   \
    NOTIFY(AfterColumnExport, (TLTExportType ExportType, TLazyTreeColumn* Column), (ExportType, Column))              \
    ALLOW(BeforeNodeExport, (TLTExportType ExportType, PLazyNode Node), (ExportType, Node))                           \
    ALLOW(NodeExport, (TLTExportType ExportType, PLazyNode Node), (ExportType, Node))                                 \
    ALLOW(AfterNodeExport, (TLTExportType ExportType, PLazyNode Node), (ExportType, Node))
// clang-format on

#define LT_DECLARE_EVENT_MEMBER(Name, PARAMS) std::function<void(LT_WITH_SENDER PARAMS)> On##Name;

#define LT_DECLARE_NOTIFY(Name, PARAMS, ARGS)                                                                          \
    LT_DECLARE_EVENT_MEMBER(Name, PARAMS)                                                                             \
    virtual void Do##Name PARAMS                                                                                      \
    {                                                                                                                 \
        if (On##Name)                                                                                                 \
            On##Name(LT_ARGS_WITH_THIS ARGS);                                                                         \
    }

#define LT_ALLOW_PARAMS(...) (__VA_ARGS__ __VA_OPT__(, ) bool& Allowed)
#define LT_DECLARE_ALLOW(Name, PARAMS, ARGS) LT_DECLARE_ALLOW_(Name, PARAMS, LT_ALLOW_PARAMS PARAMS, ARGS)
#define LT_DECLARE_ALLOW_(Name, PARAMS, EVENT_PARAMS, ARGS)                                                            \
    std::function<void(LT_WITH_SENDER EVENT_PARAMS)> On##Name;                                                        \
    virtual bool Do##Name PARAMS                                                                                      \
    {                                                                                                                 \
        bool Allowed = true;                                                                                          \
        if (On##Name)                                                                                                 \
            On##Name(LT_ARGS_WITH_THIS ARGS, Allowed);                                                                \
        return Allowed;                                                                                               \
    }

#define LT_DECLARE_ONLY(Name, PARAMS) LT_DECLARE_EVENT_MEMBER(Name, PARAMS)

#define LT_DECLARE_EVENTS(TABLE) TABLE(LT_DECLARE_NOTIFY, LT_DECLARE_ALLOW, LT_DECLARE_ONLY)
