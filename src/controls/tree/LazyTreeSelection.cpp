// The selection (an array of nodes ordered by address, kept equal to the nodes' vsSelected
// flags), the range anchor and the focused node and column.
#include "controls/tree/LazyTree.h"

#include <QApplication>
#include <QThread>
#include <algorithm>

namespace controls {

namespace {
PLazyNode marked(PLazyNode n) { return reinterpret_cast<PLazyNode>(reinterpret_cast<uintptr_t>(n) | 1); }
} // namespace

bool TBaseLazyTree::FindNodeInSelection(PLazyNode Node, int& Index, int LowBound, int HighBound) const
{
    int low = LowBound < 0 ? 0 : LowBound;
    int high = HighBound < 0 ? FSelectionCount - 1 : HighBound;
    bool found = false;
    while (low <= high) {
        const int mid = (low + high) / 2;
        const uintptr_t entry = reinterpret_cast<uintptr_t>(FSelection[size_t(mid)]);
        if (entry < reinterpret_cast<uintptr_t>(Node)) {
            low = mid + 1;
        } else {
            high = mid - 1;
            if (entry == reinterpret_cast<uintptr_t>(Node)) {
                found = true;
                low = mid;
            }
        }
    }
    Index = low;
    return found;
}

void TBaseLazyTree::PackArray()
{
    if (FSelectionCount == 0)
        return;
    int to = 0;
    for (int from = 0; from < FSelectionCount; ++from)
        if (!IsMarked(FSelection[size_t(from)]))
            FSelection[size_t(to++)] = FSelection[size_t(from)];
    FSelectionCount = to;
    FSelection.resize(size_t(to));
}

bool TBaseLazyTree::InsertIntoSelection(PLazyNode Node, bool ForceInsert)
{
    LtAssert(Node != nullptr, "Node must not be nil!");
    FSingletonNodeArray.assign(1, Node);
    return InsertIntoSelection(FSingletonNodeArray, 1, ForceInsert);
}

bool TBaseLazyTree::InsertIntoSelection(TNodeArray& NewItems, int NewLength, bool ForceInsert)
{
    NewLength = std::min<int>(NewLength, int(NewItems.size()));
    int accepted = 0;
    if (ForceInsert) {
        for (int i = 0; i < NewLength; ++i) {
            NewItems[size_t(i)]->States += vsSelected;
            DoAddToSelection(NewItems[size_t(i)]);
        }
        accepted = NewLength;
    } else {
        const bool levelConstraint = FOptions->SelectionOptions().contains(toLevelSelectConstraint);
        const bool siblingConstraint = FOptions->SelectionOptions().contains(toSiblingSelectConstraint);
        if (NewLength > 0) {
            if (levelConstraint && FLastSelectionLevel == -1)
                FLastSelectionLevel = int(GetNodeLevel(NewItems[0]));
            if (siblingConstraint && !FRangeAnchor)
                FRangeAnchor = NewItems[0];
        }
        for (int i = 0; i < NewLength; ++i) {
            PLazyNode n = NewItems[size_t(i)];
            bool refused = n->States.contains(vsDisabled) || n->States.contains(vsSelected);
            if (!refused && levelConstraint && int(GetNodeLevel(n)) != FLastSelectionLevel)
                refused = true;
            if (!refused && siblingConstraint && FRangeAnchor && n->Parent != FRangeAnchor->Parent)
                refused = true;
            if (refused)
                continue;
            n->States += vsSelected;
            DoAddToSelection(n);
            NewItems[size_t(accepted++)] = n;
        }
    }
    if (accepted == 0)
        return false;
    std::sort(NewItems.begin(), NewItems.begin() + accepted,
              [](PLazyNode a, PLazyNode b) { return reinterpret_cast<uintptr_t>(a) < reinterpret_cast<uintptr_t>(b); });
    // Merge from the back so that the array stays ordered by address.
    const int oldCount = FSelectionCount;
    FSelection.resize(size_t(oldCount + accepted));
    int i = oldCount - 1;
    int j = accepted - 1;
    int k = oldCount + accepted - 1;
    while (j >= 0) {
        if (i >= 0 && reinterpret_cast<uintptr_t>(FSelection[size_t(i)]) > reinterpret_cast<uintptr_t>(NewItems[size_t(j)]))
            FSelection[size_t(k--)] = FSelection[size_t(i--)];
        else
            FSelection[size_t(k--)] = NewItems[size_t(j--)];
    }
    FSelectionCount = oldCount + accepted;
    LtAssert(FSelectionCount == int(FSelection.size()), "Fixing issue #487 seems to ahve caused a problem here.");
    return true;
}

void TBaseLazyTree::AddToSelection(PLazyNode Node)
{
    LtAssert(Node != nullptr, "Node must not be nil!");
    if (FSelectionLocked)
        return;
    FSingletonNodeArray.assign(1, Node);
    if (InsertIntoSelection(FSingletonNodeArray, 1, false)) {
        if (FSelectionCount == 1)
            SetFocusedNode(Node);
        InvalidateNode(Node);
        Change(Node);
    }
}

void TBaseLazyTree::AddToSelection(const TNodeArray& NewItems, int NewLength, bool ForceInsert)
{
    if (FSelectionLocked)
        return;
    TNodeArray items(NewItems.begin(), NewItems.begin() + std::min<int>(NewLength, int(NewItems.size())));
    const int before = FSelectionCount;
    if (!InsertIntoSelection(items, int(items.size()), ForceInsert))
        return;
    if (FSelectionCount - before == 1) {
        InvalidateNode(items[0]);
        Change(items[0]);
    } else {
        Invalidate();
        Change(nullptr);
    }
}

void TBaseLazyTree::InternalRemoveFromSelection(PLazyNode Node)
{
    int index;
    if (!FindNodeInSelection(Node, index))
        return;
    Node->States -= vsSelected;
    FSelection[size_t(index)] = marked(Node);
    DoRemoveFromSelection(Node);
    AdviseChangeEvent(false, Node, crIgnore);
}

void TBaseLazyTree::RemoveFromSelection(PLazyNode Node)
{
    LtAssert(Node != nullptr, "Node must not be nil!");
    LtAssert(QThread::currentThread() == thread(), ClassName() + QStringLiteral(".RemoveFromSelection() must only be called from UI thread."));
    if (FSelectionLocked || !Node->States.contains(vsSelected))
        return;
    int index;
    if (!FindNodeInSelection(Node, index))
        return;
    Node->States -= vsSelected;
    FSelection.erase(FSelection.begin() + index);
    --FSelectionCount;
    if (FSelectionCount == 0)
        ResetRangeAnchor();
    if (FSelectionCount <= 1)
        UpdateNextNodeToSelect(Node);
    DoRemoveFromSelection(Node);
    Change(Node);
}

void TBaseLazyTree::UpdateNextNodeToSelect(PLazyNode Node)
{
    if (!FOptions->SelectionOptions().contains(toAlwaysSelectNode))
        return;
    if (Node->NextSibling)
        FNextNodeToSelect = Node->NextSibling;
    else if (Node->PrevSibling)
        FNextNodeToSelect = Node->PrevSibling;
    else if (Node->Parent != FRoot)
        FNextNodeToSelect = Node->Parent;
    else
        FNextNodeToSelect = Node->FirstChild;
}

void TBaseLazyTree::InternalClearSelection()
{
    if (FUpdateCount > 0)
        PackArray();
    for (int i = FSelectionCount - 1; i >= 0; --i) {
        PLazyNode n = FSelection[size_t(i)];
        n->States -= vsSelected;
        DoRemoveFromSelection(n);
    }
    ResetRangeAnchor();
    FSelection.clear();
    FSelectionCount = 0;
    DoStateChange({}, {tsClearPending});
}

void TBaseLazyTree::ClearSelection(bool Notify)
{
    if (FSelectionLocked || FSelectionCount == 0 || FDestroying)
        return;
    if (FUpdateCount == 0 && FHandleAllocated && FVisibleCount > 0) {
        int selected = FSelectionCount;
        int top = 0;
        PLazyNode n = GetNodeAt(0, 0, true, top);
        const int h = ClientHeight();
        while (n && selected > 0 && top < h) {
            const int bottom = top + int(n->NodeHeight);
            if (n->States.contains(vsSelected)) {
                viewport()->update(QRect(0, top, ClientWidth(), bottom - top));
                --selected;
            }
            top = bottom;
            n = GetNextVisibleNoInit(n, true);
        }
    }
    InternalClearSelection();
    if (Notify)
        Change(nullptr);
}

void TBaseLazyTree::ResetRangeAnchor()
{
    FRangeAnchor = FFocusedNode;
    FLastSelectionLevel = -1;
}

// --- ranges and whole-tree operations -----------------------------------------------------------

void TBaseLazyTree::SelectNodes(PLazyNode StartNode, PLazyNode EndNode, bool AddOnly)
{
    LtAssert(EndNode != nullptr, "EndNode must not be nil!");
    if (FSelectionLocked)
        return;
    if (!StartNode || !FullyVisible(StartNode)) {
        StartNode = StartNode ? GetPreviousVisible(StartNode, true) : nullptr;
        if (!StartNode)
            StartNode = GetFirstVisible(nullptr, true, true);
    }
    if (!StartNode)
        return;
    PLazyNode first = StartNode;
    PLazyNode last = EndNode;
    if (CompareNodeOrder(first, last, true) > 0)
        std::swap(first, last);
    PLazyNode savedAnchor = FRangeAnchor;
    if (!AddOnly)
        InternalClearSelection();
    ClearTempCache();
    for (PLazyNode n = first; n; n = GetNextVisible(n, true)) {
        InternalCacheNode(n);
        if (n == last)
            break;
    }
    InsertIntoSelection(FTempNodeCache, int(FTempNodeCount), false);
    ClearTempCache();
    if (savedAnchor && savedAnchor->States.contains(vsSelected))
        FRangeAnchor = savedAnchor;
}

void TBaseLazyTree::ToggleSelection(PLazyNode StartNode, PLazyNode EndNode)
{
    LtAssert(EndNode != nullptr, "EndNode must not be nil!");
    if (FSelectionLocked)
        return;
    if (!StartNode)
        StartNode = FRoot->FirstChild;
    else if (!FullyVisible(StartNode))
        StartNode = GetPreviousVisible(StartNode, true);
    if (!StartNode || StartNode == EndNode)
        return;
    PLazyNode first = StartNode;
    PLazyNode last = EndNode;
    if (CompareNodeOrder(first, last, true) > 0)
        std::swap(first, last);
    ClearTempCache();
    auto toggle = [this](PLazyNode n) {
        if (n->States.contains(vsSelected))
            InternalRemoveFromSelection(n);
        else
            InternalCacheNode(n);
    };
    if (!FRangeAnchor || CompareNodeOrder(first, FRangeAnchor, true) < 0)
        toggle(first);
    for (PLazyNode n = GetNextVisible(first, true); n && n != last; n = GetNextVisible(n, true))
        toggle(n);
    if (!FRangeAnchor || CompareNodeOrder(last, FRangeAnchor, true) > 0)
        toggle(last);
    PackArray();
    if (FRangeAnchor && !FRangeAnchor->States.contains(vsSelected))
        InternalCacheNode(FRangeAnchor);
    InsertIntoSelection(FTempNodeCache, int(FTempNodeCount), false);
    ClearTempCache();
}

void TBaseLazyTree::UnselectNodes(PLazyNode StartNode, PLazyNode EndNode)
{
    LtAssert(EndNode != nullptr, "EndNode must not be nil!");
    if (FSelectionLocked)
        return;
    if (!StartNode) {
        StartNode = FRoot->FirstChild;
    } else if (!FullyVisible(StartNode)) {
        PLazyNode prev = GetPreviousVisible(StartNode, true);
        StartNode = prev ? prev : FRoot->FirstChild;
    }
    if (!StartNode)
        return;
    PLazyNode first = StartNode;
    PLazyNode last = EndNode;
    if (CompareNodeOrder(first, last, true) > 0)
        std::swap(first, last);
    for (PLazyNode n = first; n; n = GetNextVisible(n, true)) {
        InternalRemoveFromSelection(n);
        if (n == last)
            break;
    }
    PackArray();
}

void TBaseLazyTree::SelectAll(bool VisibleOnly)
{
    if (!FOptions->SelectionOptions().contains(toMultiSelect) || FSelectionLocked)
        return;
    ClearTempCache();
    PLazyNode n = VisibleOnly ? GetFirstVisible(nullptr, true) : GetFirst();
    while (n) {
        if (!n->States.contains(vsSelected))
            InternalCacheNode(n);
        n = VisibleOnly ? GetNextVisible(n, true) : GetNext(n);
    }
    AddToSelection(FTempNodeCache, int(FTempNodeCount), false);
    ClearTempCache();
    Invalidate();
}

void TBaseLazyTree::InvertSelection(bool VisibleOnly)
{
    if (!FOptions->SelectionOptions().contains(toMultiSelect) || FSelectionLocked)
        return;
    ClearTempCache();
    bool removed = false;
    PLazyNode n = VisibleOnly ? GetFirstVisibleNoInit(nullptr, true) : GetFirstNoInit();
    while (n) {
        if (n->States.contains(vsSelected)) {
            InternalRemoveFromSelection(n);
            removed = true;
        } else {
            InternalCacheNode(n);
        }
        n = VisibleOnly ? GetNextVisibleNoInit(n, true) : GetNextNoInit(n);
    }
    PackArray();
    bool added = false;
    if (FTempNodeCount > 0)
        added = InsertIntoSelection(FTempNodeCache, int(FTempNodeCount), false);
    ClearTempCache();
    Invalidate();
    if (added)
        Change(nullptr);
    else if (removed)
        Change(nullptr);
    if (FSelectionCount == 0)
        FNextNodeToSelect = nullptr;
}

int TBaseLazyTree::CompareNodeOrder(PLazyNode Node1, PLazyNode Node2, bool ConsiderChildrenAbove) const
{
    LtAssert(Node1 && Node2, "Nodes must never be nil.");
    if (Node1 == Node2)
        return 0;
    const bool above = ConsiderChildrenAbove && FOptions->PaintOptions().contains(toChildrenAbove);
    if (HasAsParent(Node1, Node2))
        return above ? -1 : 1;
    if (HasAsParent(Node2, Node1))
        return above ? 1 : -1;
    uint32_t level1 = GetNodeLevel(Node1);
    uint32_t level2 = GetNodeLevel(Node2);
    while (level1 > level2) {
        Node1 = Node1->Parent;
        --level1;
    }
    while (level2 > level1) {
        Node2 = Node2->Parent;
        --level2;
    }
    while (Node1->Parent != Node2->Parent) {
        Node1 = Node1->Parent;
        Node2 = Node2->Parent;
    }
    // Only the sign tells; indexes far apart must not overflow it.
    return Node1->Index < Node2->Index ? -1 : Node1->Index > Node2->Index ? 1 : 0;
}

// --- the selected property ----------------------------------------------------------------------

bool TBaseLazyTree::Selected(PLazyNode Node) const { return Node && Node->States.contains(vsSelected); }

void TBaseLazyTree::SetSelected(PLazyNode Node, bool Value)
{
    if (FSelectionLocked || !Node || Node == FRoot || Value == Node->States.contains(vsSelected))
        return;
    const bool multi = FOptions->SelectionOptions().contains(toMultiSelect);
    if (Value) {
        if (FSelectionCount == 0)
            FRangeAnchor = Node;
        if (!multi)
            ClearSelection();
        AddToSelection(Node);
        if (!multi)
            SetFocusedNode(Node);
        if (!FRangeAnchor)
            FRangeAnchor = Node;
    } else {
        RemoveFromSelection(Node);
        if (FSelectionCount == 0)
            ResetRangeAnchor();
    }
    if (FullyVisible(Node) && !IsEffectivelyFiltered(Node))
        InvalidateNode(Node);
}

void TBaseLazyTree::EnsureNodeFocused()
{
    if (FFocusedNode)
        return;
    PLazyNode n = GetFirstSelected();
    if (!n)
        n = GetFirstVisible(nullptr, true);
    if (n)
        SetFocusedNode(n);
}

void TBaseLazyTree::EnsureNodeSelected()
{
    if (!FOptions->SelectionOptions().contains(toAlwaysSelectNode) || IsEmpty() || FSelectionLocked ||
        FSelectionCount > 0 || FDestroying)
        return;
    PLazyNode n = FNextNodeToSelect;
    if (!n && Focused())
        n = GetFirstVisible(nullptr, true);
    if (!n)
        return;
    SetSelected(n, true);
    EnsureNodeFocused();
    if (PLazyNode first = GetFirstSelected())
        ScrollIntoView(first, false);
}

// --- focus --------------------------------------------------------------------------------------

bool TBaseLazyTree::DoFocusChanging(PLazyNode OldNode, PLazyNode NewNode, TColumnIndex OldColumn, TColumnIndex NewColumn)
{
    bool allowed = OldColumn == NewColumn || FHeader->AllowFocus(NewColumn);
    if (OnFocusChanging)
        OnFocusChanging(this, OldNode, NewNode, OldColumn, NewColumn, allowed);
    return allowed;
}

void TBaseLazyTree::DoFocusChange(PLazyNode Node, TColumnIndex Column) { DoFocusChanged(Node, Column); }

void TBaseLazyTree::DoFocusNode(PLazyNode Node, bool Ask)
{
    if (FStates.contains(tsEditing))
        return;
    if (Node == FRoot)
        Node = nullptr;
    if (Node != FFocusedNode && (!Ask || DoFocusChanging(FFocusedNode, Node, FFocusedColumn, FFocusedColumn))) {
        PLazyNode old = FFocusedNode;
        if (old) {
            if (FOptions->AutoOptions().contains(toAutoExpand) && Node && Node->Parent == old->Parent &&
                old->States.contains(vsExpanded))
                ToggleNode(old);
            else
                InvalidateNode(old);
        }
        FFocusedNode = Node;
    }
    if (FFocusedNode) {
        if (FHeader->UseColumns() && !FHeader->IsValidColumn(FFocusedColumn))
            FFocusedColumn = FHeader->MainColumn();
        if (FOptions->AutoOptions().contains(toAutoExpand) && !FFocusedNode->States.contains(vsExpanded))
            ToggleNode(FFocusedNode);
        InvalidateNode(FFocusedNode);
        if (FUpdateCount == 0 && !FOptions->AutoOptions().contains(toDisableAutoscrollOnFocus)) {
            const bool center = FOptions->SelectionOptions().contains(toCenterScrollIntoView) &&
                                QApplication::mouseButtons() == Qt::NoButton;
            ScrollIntoView(FFocusedNode, center, !FOptions->SelectionOptions().contains(toFullRowSelect));
        }
    }
    if (FSelectionCount == 0)
        ResetRangeAnchor();
}

void TBaseLazyTree::SetFocusedNode(PLazyNode Value)
{
    PLazyNode was = FFocusedNode;
    DoFocusNode(Value, true);
    if (FFocusedNode == Value && was != FFocusedNode)
        DoFocusChange(FFocusedNode, FFocusedColumn);
}

void TBaseLazyTree::SetFocusedColumn(TColumnIndex Value)
{
    if (FFocusedColumn == Value || !DoFocusChanging(FFocusedNode, FFocusedNode, FFocusedColumn, Value))
        return;
    CancelEditNode();
    InvalidateColumn(FFocusedColumn);
    InvalidateColumn(Value);
    FFocusedColumn = Value;
    if (FFocusedNode && !FOptions->AutoOptions().contains(toDisableAutoscrollOnFocus)) {
        if (ScrollIntoView(FFocusedNode, FOptions->SelectionOptions().contains(toCenterScrollIntoView), true))
            InvalidateNode(FFocusedNode);
    }
    if (FDropTargetNode)
        InvalidateNode(FDropTargetNode);
    DoFocusChange(FFocusedNode, FFocusedColumn);
}

void TBaseLazyTree::SetFocusedNodeAndColumn(PLazyNode Node, TColumnIndex Column)
{
    if (!FHeader->AllowFocus(Column))
        Column = FFocusedColumn;
    const TColumnIndex oldColumn = FFocusedColumn;
    PLazyNode oldNode = FFocusedNode;
    FFocusedColumn = Column;
    DoFocusNode(Node, true);
    if (FFocusedNode == Node) {
        CancelEditNode();
        if (oldNode != FFocusedNode || oldColumn != FFocusedColumn)
            DoFocusChange(FFocusedNode, FFocusedColumn);
    } else {
        FFocusedColumn = oldColumn;
    }
}

} // namespace controls
