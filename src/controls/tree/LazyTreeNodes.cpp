// Node blocks, linking and unlinking, running totals, and initialisation on demand.
#include "controls/tree/LazyTree.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace controls {

namespace {

constexpr uint32_t roundUp(uint32_t n, uint32_t step) { return (n + step - 1) / step * step; }

// The root is the node whose next sibling is itself.
bool isRootNode(const TLazyNode* n) { return n->NextSibling == n; }

// Bytes of user data a node block reserves (rounded so that the internal areas stay aligned).
uint32_t userDataSpan(int nodeDataSize) { return nodeDataSize > 0 ? roundUp(uint32_t(nodeDataSize), 8) : 0; }

} // namespace

// --- the node record ----------------------------------------------------------------------------

void* TLazyNode::GetData()
{
    States += vsOnFreeNodeCallRequired;
    return NodeDataAddress(this);
}

void TLazyNode::SetData(void* userData)
{
    std::memcpy(NodeDataAddress(this), &userData, sizeof(void*));
    States += vsOnFreeNodeCallRequired;
}

void TLazyNode::SetData(ILazyTreeReference* reference)
{
    if (reference)
        reference->AddRef();
    std::memcpy(NodeDataAddress(this), &reference, sizeof(void*));
    States += TLazyNodeStates{vsOnFreeNodeCallRequired, vsReleaseCallOnUserDataRequired};
}

// --- node blocks --------------------------------------------------------------------------------

PLazyNode TBaseLazyTree::MakeNewNode()
{
    if (FNodeDataSize == -1)
        DoGetNodeDataSize(FNodeDataSize);
    const size_t size = kNodeDataOffset + userDataSpan(FNodeDataSize) + FTotalInternalDataSize;
    void* block = AllocateNodeBlock(size);
    auto* node = new (block) TLazyNode();
    node->TotalCount = 1;
    node->TotalHeight = FDefaultNodeHeight;
    node->NodeHeight = uint16_t(FDefaultNodeHeight);
    node->States = vsVisible;
    node->Align = 50;
    return node;
}

void* TBaseLazyTree::AllocateNodeBlock(size_t Size)
{
    void* block = std::calloc(1, Size);
    if (!block)
        throw std::bad_alloc();
    return block;
}

void TBaseLazyTree::FreeNodeBlock(PLazyNode Node) { std::free(Node); }

void TBaseLazyTree::CreateRootNode()
{
    if (FRoot)
        return;
    void* block = std::calloc(1, kNodeDataOffset + FTotalInternalDataSize);
    if (!block)
        throw std::bad_alloc();
    FRoot = new (block) TLazyNode();
    FRoot->PrevSibling = FRoot;
    FRoot->NextSibling = FRoot;
    FRoot->Parent = reinterpret_cast<PLazyNode>(this);
    FRoot->States = TLazyNodeStates{vsInitialized, vsExpanded, vsHasChildren, vsVisible};
    FRoot->TotalCount = 1;
    FRoot->TotalHeight = FDefaultNodeHeight;
    FRoot->NodeHeight = uint16_t(FDefaultNodeHeight);
    FRoot->Align = 50;
}

uint32_t TBaseLazyTree::AllocateInternalDataArea(uint32_t Size)
{
    LtAssert(!FRoot || FRoot->ChildCount == 0, "Internal data allocation must be done before any node is created.");
    const uint32_t result = uint32_t(kNodeDataOffset) + FTotalInternalDataSize;
    const uint32_t oldSize = uint32_t(kNodeDataOffset) + FTotalInternalDataSize;
    FTotalInternalDataSize += roundUp(Size, 4);
    if (!FRoot) {
        CreateRootNode();
        return result;
    }
    // The root keeps its contents; the new bytes are zeroed.
    const size_t newSize = kNodeDataOffset + FTotalInternalDataSize;
    void* block = std::calloc(1, newSize);
    if (!block)
        throw std::bad_alloc();
    std::memcpy(block, FRoot, oldSize);
    std::free(FRoot);
    FRoot = static_cast<PLazyNode>(block);
    FRoot->PrevSibling = FRoot;
    FRoot->NextSibling = FRoot;
    return result;
}

std::byte* TBaseLazyTree::InternalData(PLazyNode Node, uint32_t Offset) const
{
    const uint32_t span = Node == FRoot ? 0 : userDataSpan(FNodeDataSize);
    return reinterpret_cast<std::byte*>(Node) + span + Offset;
}

TBaseLazyTree* TBaseLazyTree::OwnerTreeOfNode(PLazyNode Node)
{
    LtAssert(Node != nullptr, "Node must not be nil.");
    while (!isRootNode(Node))
        Node = Node->Parent;
    return reinterpret_cast<TBaseLazyTree*>(Node->Parent);
}

void TBaseLazyTree::DoGetNodeDataSize(int& Size)
{
    Size = kUserDataSlotSize;
    if (OnGetNodeDataSize)
        OnGetNodeDataSize(this, Size);
}

// --- running totals -----------------------------------------------------------------------------

void TBaseLazyTree::PropagateTotalCount(PLazyNode Node, int64_t Value, bool Relative)
{
    if (!Relative)
        Value -= Node->TotalCount;
    if (Value == 0)
        return;
    for (;;) {
        Node->TotalCount = uint32_t(int64_t(Node->TotalCount) + Value);
        if (isRootNode(Node))
            break;
        Node = Node->Parent;
    }
}

void TBaseLazyTree::PropagateTotalHeight(PLazyNode Node, int64_t Value, bool Relative)
{
    if (!Relative)
        Value -= Node->TotalHeight;
    if (Value != 0) {
        Node->TotalHeight = uint32_t(int64_t(Node->TotalHeight) + Value);
        while (Node->States.contains(vsVisible) && !isRootNode(Node) && Node->Parent &&
               Node->Parent->States.contains(vsExpanded)) {
            Node = Node->Parent;
            Node->TotalHeight = uint32_t(int64_t(Node->TotalHeight) + Value);
        }
    }
    UpdateVerticalRange();
}

void TBaseLazyTree::RecountTotals(PLazyNode Node)
{
    for (PLazyNode c = Node->FirstChild; c; c = c->NextSibling) {
        RecountTotals(c);
        Node->TotalCount += c->TotalCount;
    }
}

void TBaseLazyTree::RecomputeTotalHeights(PLazyNode Node)
{
    for (PLazyNode c = Node->FirstChild; c; c = c->NextSibling) {
        RecomputeTotalHeights(c);
        if (Node->States.contains(vsExpanded) && c->States.contains(vsVisible))
            Node->TotalHeight += c->TotalHeight;
    }
}

uint32_t TBaseLazyTree::CountVisibleChildren(PLazyNode Node) const
{
    if (!Node->States.contains(vsExpanded))
        return 0;
    uint32_t count = 0;
    for (PLazyNode c = Node->FirstChild; c; c = c->NextSibling)
        if (c->States.contains(vsVisible))
            count += CountVisibleChildren(c) + (IsEffectivelyVisible(c) ? 1 : 0);
    return count;
}

int TBaseLazyTree::CountLevelDifference(PLazyNode Node1, PLazyNode Node2) const
{
    LtAssert(Node1 && Node2, "Both nodes must be Assigned.");
    return int(GetNodeLevel(Node2)) - int(GetNodeLevel(Node1));
}

void TBaseLazyTree::DetermineHiddenChildrenFlag(PLazyNode Node)
{
    if (Node->ChildCount > 0 && Node->FirstChild) {
        bool anyVisible = false;
        for (PLazyNode c = Node->FirstChild; c && !anyVisible; c = c->NextSibling)
            anyVisible = IsEffectivelyVisible(c);
        if (anyVisible)
            Node->States -= vsAllChildrenHidden;
        else
            Node->States += vsAllChildrenHidden;
    } else if (Node->States.contains(vsHasChildren)) {
        Node->States -= vsAllChildrenHidden;
    } else {
        Node->States += vsAllChildrenHidden;
    }
}

void TBaseLazyTree::DetermineHiddenChildrenFlagAllNodes()
{
    for (PLazyNode n = GetFirstNoInit(); n; n = GetNextNoInit(n))
        DetermineHiddenChildrenFlag(n);
}

void TBaseLazyTree::ClearTempCache()
{
    FTempNodeCache.clear();
    FTempNodeCount = 0;
}

void TBaseLazyTree::InternalCacheNode(PLazyNode Node)
{
    if (FTempNodeCount == FTempNodeCache.size()) {
        const size_t grow = FTempNodeCache.empty() ? 100 : FTempNodeCache.size() / 10 + 1;
        FTempNodeCache.resize(FTempNodeCache.size() + grow);
    }
    FTempNodeCache[FTempNodeCount++] = Node;
}

// --- node properties ----------------------------------------------------------------------------

bool TBaseLazyTree::IsEffectivelyFiltered(PLazyNode Node) const
{
    return Node && Node->States.contains(vsFiltered) && !FOptions->PaintOptions().contains(toShowFilteredNodes);
}

bool TBaseLazyTree::IsEffectivelyVisible(PLazyNode Node) const
{
    return Node && Node->States.contains(vsVisible) && !IsEffectivelyFiltered(Node);
}

bool TBaseLazyTree::FullyVisible(PLazyNode Node) const
{
    LtAssert(Node != nullptr, "Invalid parameter.");
    if (!Node->States.contains(vsVisible))
        return false;
    if (Node == FRoot)
        return true;
    for (PLazyNode p = Node->Parent; p != FRoot; p = p->Parent)
        if (!p->States.contains(vsExpanded) || !p->States.contains(vsVisible))
            return false;
    return true;
}

bool TBaseLazyTree::VisiblePath(PLazyNode Node) const
{
    LtAssert(Node && Node != FRoot, "Invalid parameters.");
    for (PLazyNode p = Node->Parent; p != FRoot; p = p->Parent)
        if (!p->States.contains(vsExpanded) || !p->States.contains(vsVisible))
            return false;
    return true;
}

uint32_t TBaseLazyTree::ChildCount(PLazyNode Node) const { return Node ? Node->ChildCount : FRoot->ChildCount; }

bool TBaseLazyTree::ChildrenInitialized(PLazyNode Node) const
{
    if (!Node)
        Node = FRoot;
    return !(Node->States.contains(vsHasChildren) && Node->ChildCount == 0);
}

bool TBaseLazyTree::HasChildren(PLazyNode Node) const
{
    return (Node ? Node : FRoot)->States.contains(vsHasChildren);
}

void TBaseLazyTree::SetHasChildren(PLazyNode Node, bool Value)
{
    if (!Node || FOptions->MiscOptions().contains(toReadOnly))
        return;
    if (Value) {
        Node->States += vsHasChildren;
    } else {
        Node->States -= vsHasChildren;
        DeleteChildren(Node);
    }
}

bool TBaseLazyTree::Expanded(PLazyNode Node) const { return Node && Node->States.contains(vsExpanded); }

void TBaseLazyTree::SetExpanded(PLazyNode Node, bool Value)
{
    if (!Node || Node == FRoot)
        return;
    if (Value != Node->States.contains(vsExpanded))
        ToggleNode(Node);
}

bool TBaseLazyTree::IsVisible(PLazyNode Node)
{
    if (!Node)
        Node = FRoot;
    if (!Node->States.contains(vsInitialized))
        InitNode(Node);
    return Node->States.contains(vsVisible);
}

bool TBaseLazyTree::IsFiltered(PLazyNode Node) const { return Node && Node->States.contains(vsFiltered); }

bool TBaseLazyTree::IsDisabled(PLazyNode Node) const { return Node && Node->States.contains(vsDisabled); }

void TBaseLazyTree::SetDisabled(PLazyNode Node, bool Value)
{
    if (!Node || Value == Node->States.contains(vsDisabled))
        return;
    if (Value)
        Node->States += vsDisabled;
    else
        Node->States -= vsDisabled;
    if (FUpdateCount == 0)
        InvalidateNode(Node);
}

bool TBaseLazyTree::MultiLine(PLazyNode Node) const { return Node && Node != FRoot && Node->States.contains(vsMultiline); }

void TBaseLazyTree::SetMultiline(PLazyNode Node, bool Value)
{
    if (!Node || Node == FRoot || Value == Node->States.contains(vsMultiline))
        return;
    if (Value)
        Node->States += vsMultiline;
    else
        Node->States -= vsMultiline;
    if (FUpdateCount == 0)
        InvalidateNode(Node);
}

uint32_t TBaseLazyTree::NodeHeight(PLazyNode Node)
{
    if (!Node || Node == FRoot)
        return 0;
    if (FOptions->MiscOptions().contains(toVariableNodeHeight) && !Node->States.contains(vsDeleting)) {
        if (!Node->States.contains(vsInitialized))
            InitNode(Node);
        MeasureItemHeight(nullptr, Node);
    }
    return Node->NodeHeight;
}

void TBaseLazyTree::SetNodeHeight(PLazyNode Node, uint32_t Value)
{
    if (!Node || Node == FRoot || Node->NodeHeight == uint16_t(Value) || FOptions->MiscOptions().contains(toReadOnly))
        return;
    InterruptValidation();
    const int old = Node->NodeHeight;
    Node->NodeHeight = uint16_t(Value);
    if (IsEffectivelyFiltered(Node))
        return;
    PropagateTotalHeight(Node, int(Node->NodeHeight) - old, true);
    UpdateEditBounds();
    InvalidateCache();
    if (!FStates.contains(tsValidating) && FullyVisible(Node) && !IsEffectivelyFiltered(Node) && FUpdateCount == 0 &&
        !FStates.contains(tsPainting) && !FStates.contains(tsSizing)) {
        ValidateCache();
        InvalidateToBottom(Node);
        UpdateScrollBars(true);
    }
}

PLazyNode TBaseLazyTree::NodeParent(PLazyNode Node) const
{
    if (!Node || Node == FRoot || Node->Parent == FRoot)
        return nullptr;
    return Node->Parent;
}

uint8_t TBaseLazyTree::VerticalAlignment(PLazyNode Node) const { return Node ? Node->Align : 0; }

void TBaseLazyTree::SetVerticalAlignment(PLazyNode Node, uint32_t Value)
{
    if (!Node)
        return;
    Node->Align = uint8_t(std::min<uint32_t>(Value, 100));
    if (FullyVisible(Node) && !IsEffectivelyFiltered(Node))
        InvalidateNode(Node);
}

void TBaseLazyTree::SetVisible(PLazyNode Node, bool Value)
{
    LtAssert(Node && Node != FRoot, "Invalid parameter.");
    if (Value == Node->States.contains(vsVisible))
        return;
    InterruptValidation();
    bool needRepaint = false;
    PLazyNode parent = Node->Parent;
    if (Value) {
        Node->States += vsVisible;
        if (parent->States.contains(vsExpanded))
            PropagateTotalHeight(parent, Node->TotalHeight, true);
        if (VisiblePath(Node)) {
            FVisibleCount += CountVisibleChildren(Node) + (IsEffectivelyVisible(Node) ? 1 : 0);
            needRepaint = true;
        }
        if (!IsEffectivelyFiltered(Node))
            parent->States -= vsAllChildrenHidden;
    } else {
        if (parent->States.contains(vsExpanded))
            PropagateTotalHeight(parent, -int64_t(Node->TotalHeight), true);
        if (VisiblePath(Node)) {
            FVisibleCount -= CountVisibleChildren(Node) + (IsEffectivelyVisible(Node) ? 1 : 0);
            needRepaint = true;
        }
        Node->States -= vsVisible;
        if (FUpdateCount > 0)
            DoStateChange({tsUpdateHiddenChildrenNeeded});
        else
            DetermineHiddenChildrenFlag(parent);
    }
    InvalidateCache();
    if (needRepaint && FUpdateCount == 0) {
        ValidateCache();
        UpdateScrollBars(true);
        Invalidate();
    }
}

void TBaseLazyTree::SetFiltered(PLazyNode Node, bool Value)
{
    LtAssert(Node && Node != FRoot, "Invalid parameter.");
    if (!Node->States.contains(vsInitialized))
        InitNode(Node);
    if (Value == Node->States.contains(vsFiltered))
        return;
    InterruptValidation();
    bool needRepaint = false;
    const bool showFiltered = FOptions->PaintOptions().contains(toShowFilteredNodes);
    if (Value) {
        if (!showFiltered) {
            // The row leaves the totals while the flag is still clear, so NodeHeight reads the
            // height the totals hold.
            const int64_t h = NodeHeight(Node);
            if (!Node->States.contains(vsHasChildren) && Node->States.contains(vsInitializing))
                PropagateTotalHeight(Node, 0, false);
            else
                PropagateTotalHeight(Node, -h, true);
            if (FullyVisible(Node)) {
                --FVisibleCount;
                needRepaint = true;
            }
        }
        Node->States += vsFiltered;
        if (!showFiltered) {
            if (FUpdateCount > 0)
                DoStateChange({tsUpdateHiddenChildrenNeeded});
            else
                DetermineHiddenChildrenFlag(Node->Parent);
        }
    } else {
        Node->States -= vsFiltered;
        if (!showFiltered) {
            PropagateTotalHeight(Node, NodeHeight(Node), true);
            if (FullyVisible(Node)) {
                ++FVisibleCount;
                needRepaint = true;
            }
        }
        if (Node->States.contains(vsVisible))
            Node->Parent->States -= vsAllChildrenHidden;
    }
    InvalidateCache();
    if (needRepaint && FUpdateCount == 0) {
        ValidateCache();
        UpdateScrollBars(true);
        Invalidate();
    }
}

void* TBaseLazyTree::GetNodeData(PLazyNode Node)
{
    if (!Node || Node == FRoot)
        return nullptr;
    LtAssert(FNodeDataSize > 0, "NodeDataSize not initialized.");
    return Node->GetData();
}

void TBaseLazyTree::SetNodeData(PLazyNode pNode, void* pUserData)
{
    LtAssert(FNodeDataSize >= kUserDataSlotSize,
             ClassName() + QStringLiteral(": Cannot set initial user data because there is not enough user data space allocated."));
    pNode->SetData(pUserData);
}

void TBaseLazyTree::SetNodeData(PLazyNode pNode, ILazyTreeReference* pUserData)
{
    LtAssert(FNodeDataSize >= kUserDataSlotSize,
             ClassName() + QStringLiteral(": Cannot set initial user data because there is not enough user data space allocated."));
    pNode->SetData(pUserData);
}

uint32_t TBaseLazyTree::GetNodeLevel(PLazyNode Node) const
{
    uint32_t level = 0;
    if (!Node || Node == FRoot)
        return 0;
    for (PLazyNode p = Node->Parent; p != FRoot; p = p->Parent)
        ++level;
    return level;
}

uint32_t TBaseLazyTree::AbsoluteIndex(PLazyNode Node)
{
    uint32_t result = 0;
    if (!Node || Node == FRoot)
        return 0;
    while (Node && Node != FRoot) {
        if (!Node->States.contains(vsInitialized))
            InitNode(Node);
        if (Node->PrevSibling) {
            Node = Node->PrevSibling;
            result += Node->TotalCount;
        } else {
            Node = Node->Parent;
            if (Node != FRoot)
                ++result;
        }
    }
    return result;
}

bool TBaseLazyTree::HasAsParent(PLazyNode Node, PLazyNode PotentialParent) const
{
    if (!Node || !PotentialParent || Node == PotentialParent)
        return false;
    if (PotentialParent == FRoot)
        return true;
    for (PLazyNode p = Node->Parent; p && p != FRoot; p = p->Parent)
        if (p == PotentialParent)
            return true;
    return false;
}

void TBaseLazyTree::SetNodeDataSize(int value)
{
    value = std::max(value, -1);
    if (value == FNodeDataSize)
        return;
    FNodeDataSize = value;
    if (FLoading)
        return;
    // Every node is freed with its OnFreeNode and the same number of fresh root nodes made.
    const uint32_t count = FRoot->ChildCount;
    Clear();
    SetRootNodeCount(count);
}

void TBaseLazyTree::SetRootNodeCount(uint32_t value)
{
    if (FLoading) {
        FRoot->ChildCount = value;
        DoStateChange({tsNeedRootCountUpdate});
        return;
    }
    if (value == FRoot->ChildCount)
        return;
    BeginUpdate();
    try {
        InterruptValidation();
        SetChildCount(FRoot, value);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

uint32_t TBaseLazyTree::TotalCount()
{
    ValidateNode(FRoot, true);
    return FRoot->TotalCount - 1;
}

// --- linking ------------------------------------------------------------------------------------

void TBaseLazyTree::InternalConnectNode(PLazyNode Node, PLazyNode Destination, TBaseLazyTree* Target,
                                        TLTNodeAttachMode Mode)
{
    if (Mode != amNoWhere)
        Target->InterruptValidation();
    Node->States -= TLazyNodeStates{vsChecking, vsCutOrCopy, vsDeleting};
    PLazyNode P = nullptr;
    switch (Mode) {
    case amNoWhere:
        return;
    case amInsertBefore: {
        Node->PrevSibling = Destination->PrevSibling;
        Node->NextSibling = Destination;
        Destination->PrevSibling = Node;
        Node->Parent = Destination->Parent;
        Node->Index = Destination->Index;
        if (Node->PrevSibling)
            Node->PrevSibling->NextSibling = Node;
        else
            Node->Parent->FirstChild = Node;
        for (PLazyNode run = Destination; run; run = run->NextSibling)
            ++run->Index;
        P = Node->Parent;
        break;
    }
    case amInsertAfter: {
        Node->NextSibling = Destination->NextSibling;
        Destination->NextSibling = Node;
        Node->PrevSibling = Destination;
        Node->Parent = Destination->Parent;
        if (Node->NextSibling)
            Node->NextSibling->PrevSibling = Node;
        else
            Node->Parent->LastChild = Node;
        uint32_t index = Destination->Index + 1;
        for (PLazyNode run = Node; run; run = run->NextSibling)
            run->Index = index++;
        P = Node->Parent;
        break;
    }
    case amAddChildFirst: {
        Node->PrevSibling = nullptr;
        Node->NextSibling = Destination->FirstChild;
        if (Destination->FirstChild)
            Destination->FirstChild->PrevSibling = Node;
        else
            Destination->LastChild = Node;
        Destination->FirstChild = Node;
        Node->Parent = Destination;
        Node->Index = 0;
        for (PLazyNode run = Node->NextSibling; run; run = run->NextSibling)
            ++run->Index;
        P = Destination;
        break;
    }
    case amAddChildLast: {
        Node->NextSibling = nullptr;
        Node->PrevSibling = Destination->LastChild;
        if (Destination->LastChild)
            Destination->LastChild->NextSibling = Node;
        else
            Destination->FirstChild = Node;
        Destination->LastChild = Node;
        Node->Parent = Destination;
        Node->Index = Node->PrevSibling ? Node->PrevSibling->Index + 1 : 0;
        P = Destination;
        break;
    }
    }
    ++P->ChildCount;
    P->States += vsHasChildren;
    Target->PropagateTotalCount(P, Node->TotalCount, true);
    if (P->States.contains(vsExpanded) && Node->States.contains(vsVisible))
        Target->PropagateTotalHeight(P, Node->TotalHeight, true);
    if (Target->FullyVisible(Node))
        Target->FVisibleCount += Target->CountVisibleChildren(Node) + (Target->IsEffectivelyVisible(Node) ? 1 : 0);
    if (P != Target->FRoot) {
        if (Target->IsEffectivelyVisible(Node))
            P->States -= vsAllChildrenHidden;
        else if (P->ChildCount == 1)
            P->States += vsAllChildrenHidden;
    }
}

void TBaseLazyTree::InternalDisconnectNode(PLazyNode Node, bool KeepFocus, bool Reindex, bool ParentClearing)
{
    LtAssert(Node && Node != FRoot, "Node must neither be nil nor the root node.");
    if (Node == FFocusedNode && !KeepFocus) {
        DoFocusNode(nullptr, false);
        DoFocusChange(FFocusedNode, FFocusedColumn);
    }
    if (Node == FRangeAnchor)
        ResetRangeAnchor();
    PLazyNode P = Node->Parent;
    if (P != FRoot && !ParentClearing) {
        if (FUpdateCount > 0)
            DoStateChange({tsUpdateHiddenChildrenNeeded});
        else
            DetermineHiddenChildrenFlag(P);
    }
    if (Node->States.contains(vsDeleting))
        return;

    InterruptValidation();
    Node->States -= vsChecking;
    const bool wasFullyVisible = FullyVisible(Node);
    --P->ChildCount;
    const bool adjustHeight = P->States.contains(vsExpanded) && Node->States.contains(vsVisible);
    if (P->ChildCount == 0) {
        P->States -= TLazyNodeStates{vsAllChildrenHidden, vsHasChildren};
        if (P != FRoot && P->States.contains(vsExpanded))
            P->States -= vsExpanded;
    }
    PropagateTotalCount(P, -int64_t(Node->TotalCount), true);
    if (adjustHeight)
        PropagateTotalHeight(P, -int64_t(Node->TotalHeight), true);
    if (wasFullyVisible)
        FVisibleCount -= CountVisibleChildren(Node) + (IsEffectivelyVisible(Node) ? 1 : 0);

    if (Node->PrevSibling)
        Node->PrevSibling->NextSibling = Node->NextSibling;
    else
        P->FirstChild = Node->NextSibling;
    if (Node->NextSibling) {
        Node->NextSibling->PrevSibling = Node->PrevSibling;
        if (Reindex) {
            uint32_t index = Node->Index;
            for (PLazyNode run = Node->NextSibling; run; run = run->NextSibling)
                run->Index = index++;
        }
    } else {
        P->LastChild = Node->PrevSibling;
    }
}

// --- creating nodes -----------------------------------------------------------------------------

PLazyNode TBaseLazyTree::AddChild(PLazyNode Parent, void* UserData)
{
    if (FOptions->MiscOptions().contains(toReadOnly))
        return nullptr;
    CancelEditNode();
    if (!Parent)
        Parent = FRoot;
    if (!Parent->States.contains(vsInitialized))
        InitNode(Parent);
    ++FUpdateCount;
    try {
        SetChildCount(Parent, Parent->ChildCount + 1);
        Parent->States -= vsAllChildrenHidden;
    } catch (...) {
        --FUpdateCount;
        throw;
    }
    --FUpdateCount;
    PLazyNode result = Parent->LastChild;
    if (UserData) {
        SetNodeData(result, UserData);
    }
    FinishAddChild(Parent);
    return result;
}

void TBaseLazyTree::FinishAddChild(PLazyNode Parent)
{
    InvalidateCache();
    if (FUpdateCount == 0) {
        ValidateCache();
        if (FStates.contains(tsStructureChangePending)) {
            if (Parent == FRoot)
                StructureChange(nullptr, crChildAdded);
            else
                StructureChange(Parent, crChildAdded);
        }
        AutoSort(Parent, true);
        InvalidateToBottom(Parent);
        UpdateScrollBars(true);
    }
}

PLazyNode TBaseLazyTree::AddChild(PLazyNode Parent, ILazyTreeReference* UserData)
{
    if (UserData)
        LtAssert(FNodeDataSize == -1 || FNodeDataSize >= kUserDataSlotSize,
                 ClassName() + QStringLiteral(": Cannot set initial user data because there is not enough user data space allocated."));
    // The reference is stored before the steps that follow an addition (the automatic sort
    // compares the new node by it).
    PLazyNode result = nullptr;
    ++FUpdateCount;
    try {
        result = AddChild(Parent, static_cast<void*>(nullptr));
        if (result && UserData)
            SetNodeData(result, UserData);
    } catch (...) {
        --FUpdateCount;
        throw;
    }
    --FUpdateCount;
    if (result)
        FinishAddChild(result->Parent);
    return result;
}

PLazyNode TBaseLazyTree::InsertNode(PLazyNode Node, TLTNodeAttachMode Mode, void* UserData)
{
    if (Mode == amNoWhere)
        return nullptr;
    CancelEditNode();
    if (!Node)
        Node = FRoot;
    PLazyNode result = MakeNewNode();
    if (Node == FRoot) {
        if (Mode == amInsertBefore)
            Mode = amAddChildFirst;
        else if (Mode == amInsertAfter)
            Mode = amAddChildLast;
    }
    if ((Mode == amAddChildFirst || Mode == amAddChildLast) && !Node->States.contains(vsInitialized))
        InitNode(Node);
    InternalConnectNode(result, Node, this, Mode);
    if (UserData)
        SetNodeData(result, UserData);
    InvalidateCache();
    if (FUpdateCount == 0) {
        AutoSort(Mode == amAddChildFirst || Mode == amAddChildLast ? Node : Node->Parent, true);
        UpdateScrollBars(true);
        if (Mode == amInsertBefore)
            InvalidateToBottom(result);
        else
            InvalidateToBottom(Node);
    }
    StructureChange(result, crNodeAdded);
    return result;
}

void TBaseLazyTree::SetChildCount(PLazyNode Node, uint32_t NewChildCount)
{
    if (FOptions->MiscOptions().contains(toReadOnly))
        return;
    if (!Node)
        Node = FRoot;
    if (NewChildCount == 0) {
        DeleteChildren(Node, false);
        return;
    }
    if (NewChildCount == Node->ChildCount)
        return;
    InterruptValidation();
    if (NewChildCount > Node->ChildCount) {
        const uint32_t count = NewChildCount - Node->ChildCount;
        uint32_t index = Node->LastChild ? Node->LastChild->Index + 1 : 0;
        if (!Node->LastChild)
            Node->States += vsHasChildren;
        Node->States -= TLazyNodeStates{vsAllChildrenHidden, vsHeightMeasured};
        const bool countVisible = Node->States.contains(vsExpanded) && FullyVisible(Node);
        const bool variableHeight = FOptions->MiscOptions().contains(toVariableNodeHeight);
        // The counts grow with every node made, so an allocation that fails part of the way
        // leaves them true to the nodes that exist.
        int64_t runningHeight = Node->TotalHeight;
        uint32_t made = 0;
        try {
            for (; made < count; ++made) {
                PLazyNode child = MakeNewNode();
                child->Index = index++;
                child->PrevSibling = Node->LastChild;
                if (Node->LastChild)
                    Node->LastChild->NextSibling = child;
                else
                    Node->FirstChild = child;
                child->Parent = Node;
                Node->LastChild = child;
                ++Node->ChildCount;
                if (countVisible)
                    ++FVisibleCount;
                if (variableHeight)
                    NodeHeight(child);
                runningHeight += child->TotalHeight;
            }
        } catch (...) {
            if (Node->States.contains(vsExpanded))
                PropagateTotalHeight(Node, runningHeight, false);
            PropagateTotalCount(Node, made, true);
            if (Node->ChildCount == 0)
                Node->States -= vsHasChildren;
            InvalidateCache();
            throw;
        }
        if (Node->States.contains(vsExpanded))
            PropagateTotalHeight(Node, runningHeight, false);
        PropagateTotalCount(Node, count, true);
        // The sort initialises the children first, so the comparisons see what OnInitNode
        // gives them.
        AutoSort(Node, true);
        InvalidateCache();
    } else {
        uint32_t remove = Node->ChildCount - NewChildCount;
        while (remove-- > 0 && Node->LastChild)
            DeleteNode(Node->LastChild);
    }
    if (FUpdateCount == 0) {
        ValidateCache();
        UpdateScrollBars(true);
        Invalidate();
    }
    StructureChange(Node == FRoot ? nullptr : Node, crChildAdded);
}

// --- deleting nodes -----------------------------------------------------------------------------

void TBaseLazyTree::DeleteNode(PLazyNode Node) { DeleteNodeInternal(Node, true, false); }

void TBaseLazyTree::DeleteNodeInternal(PLazyNode Node, bool Reindex, bool ParentClearing)
{
    if (!Node || Node == FRoot || FOptions->MiscOptions().contains(toReadOnly))
        return;
    LtAssert(!FStates.contains(tsIterating), "Deleting nodes during tree iteration leads to invalid pointers.");
    PLazyNode parent = Node->Parent;
    if (!ParentClearing)
        StructureChange(parent == FRoot ? nullptr : parent, crChildDeleted);
    const QPoint oldOffset(FOffsetX, FOffsetY);
    if (Node->States.contains(vsSelected)) {
        if (FUpdateCount > 0) {
            InternalRemoveFromSelection(Node);
        } else {
            const bool wasSynch = FStates.contains(tsSynchMode);
            DoStateChange({tsSynchMode});
            try {
                RemoveFromSelection(Node);
            } catch (...) {
                if (!wasSynch)
                    DoStateChange({}, {tsSynchMode});
                throw;
            }
            if (!wasSynch)
                DoStateChange({}, {tsSynchMode});
            InvalidateToBottom(parent);
        }
    } else {
        InvalidateToBottom(parent);
    }
    if (FStates.contains(tsHint))
        DoStateChange({}, {tsHint});
    if (!ParentClearing)
        InterruptValidation();
    DeleteChildren(Node, false);
    InternalDisconnectNode(Node, false, Reindex, false);
    DoFreeNode(Node);
    if (ParentClearing)
        return;
    DetermineHiddenChildrenFlag(parent);
    InvalidateCache();
    if (FUpdateCount == 0) {
        ValidateCache();
        UpdateScrollBars(true);
        if (oldOffset != QPoint(FOffsetX, FOffsetY))
            Invalidate();
    }
}

void TBaseLazyTree::DeleteChildren(PLazyNode Node, bool ResetHasChildren)
{
    if (!Node)
        return;
    if (Node->ChildCount == 0 || FOptions->MiscOptions().contains(toReadOnly)) {
        if (ResetHasChildren)
            Node->States -= vsHasChildren;
        return;
    }
    LtAssert(!FStates.contains(tsIterating), "Deleting nodes during tree iteration leads to invalid pointers.");
    const QPoint oldOffset(FOffsetX, FOffsetY);
    ++FUpdateCount;
    try {
        InterruptValidation();
        const bool parentVisible = Node == FRoot || (FullyVisible(Node) && Node->States.contains(vsExpanded));
        PLazyNode child = Node->LastChild;
        while (child) {
            PLazyNode previous = child->PrevSibling;
            if (parentVisible && IsEffectivelyVisible(child))
                --FVisibleCount;
            child->States += vsDeleting;
            if (previous)
                previous->NextSibling = nullptr;
            // The child is unlinked from the list as it goes, so an exception leaves no
            // pointer to a freed block behind.
            Node->LastChild = previous;
            if (!previous)
                Node->FirstChild = nullptr;
            --Node->ChildCount;
            DeleteNodeInternal(child, false, true);
            child = previous;
        }
        if (ResetHasChildren)
            Node->States -= vsHasChildren;
        if (Node != FRoot)
            Node->States -= vsExpanded;
        Node->ChildCount = 0;
        if (Node == FRoot || Node->States.contains(vsDeleting)) {
            Node->TotalHeight = Node == FRoot ? FDefaultNodeHeight : Node->NodeHeight + FDefaultNodeHeight;
            Node->TotalCount = 1;
            UpdateVerticalRange();
        } else {
            // A filtered node keeps no row in the totals.
            PropagateTotalHeight(Node, IsEffectivelyFiltered(Node) ? 0 : NodeHeight(Node), false);
            PropagateTotalCount(Node, 1, false);
        }
        Node->FirstChild = nullptr;
        Node->LastChild = nullptr;
    } catch (...) {
        --FUpdateCount;
        throw;
    }
    --FUpdateCount;
    InvalidateCache();
    if (FUpdateCount == 0) {
        PackArray();
        ValidateCache();
        UpdateScrollBars(true);
        if (oldOffset != QPoint(FOffsetX, FOffsetY))
            Invalidate();
        else
            InvalidateToBottom(Node);
        if (FStates.contains(tsChangePending)) {
            DoChange(FLastChangedNode);
            EnsureNodeSelected();
        }
    }
    StructureChange(Node, crChildDeleted);
}

void TBaseLazyTree::DeleteSelectedNodes()
{
    if (FSelectionCount == 0 || FOptions->MiscOptions().contains(toReadOnly))
        return;
    BeginUpdate();
    try {
        TNodeArray nodes = GetSortedSelection(true);
        for (int i = int(nodes.size()) - 1; i >= 1; --i)
            DeleteNodeInternal(nodes[size_t(i)], nodes[size_t(i)]->Parent != nodes[size_t(i - 1)]->Parent, false);
        if (!nodes.empty())
            DeleteNodeInternal(nodes[0], true, false);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TBaseLazyTree::Clear()
{
    if (!((FRoot->ChildCount > 0 && !FOptions->MiscOptions().contains(toReadOnly)) || FDestroying))
        return;
    BeginUpdate();
    try {
        InterruptValidation();
        CancelEditNode();
        if (FStates.contains(tsCutPending) || FStates.contains(tsCopyPending))
            DoStateChange({}, {tsCutPending, tsCopyPending});
        ClearSelection(true);
        FFocusedNode = nullptr;
        FCurrentHotNode = nullptr;
        FDropTargetNode = nullptr;
        FLastChangedNode = nullptr;
        FRangeAnchor = nullptr;
        FCheckNode = nullptr;
        FLastDragTarget = nullptr;
        FLastSearchNode = nullptr;
        FNextNodeToSelect = nullptr;
        DeleteChildren(FRoot, true);
        FOffsetX = 0;
        FOffsetY = 0;
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TBaseLazyTree::DoFreeNode(PLazyNode Node)
{
    if (Node == FLastChangedNode)
        FLastChangedNode = nullptr;
    if (Node == FCurrentHotNode)
        FCurrentHotNode = nullptr;
    if (Node == FDropTargetNode)
        FDropTargetNode = nullptr;
    if (Node == FLastStructureChangeNode)
        FLastStructureChangeNode = nullptr;
    if (Node == FNextNodeToSelect)
        FNextNodeToSelect = Node->Parent == FRoot ? nullptr : Node->Parent;
    // A pending check or search must not outlive its node.
    if (Node == FCheckNode) {
        FCheckNode = nullptr;
        DoStateChange({}, {tsMouseCheckPending, tsKeyCheckPending});
    }
    if (Node == FLastSearchNode)
        FLastSearchNode = nullptr;
    if (Node == FLastDragTarget)
        FLastDragTarget = nullptr;
    if (Node == FHeightTrackNode) {
        FHeightTrackNode = nullptr;
        DoStateChange({}, {tsNodeHeightTrackPending, tsNodeHeightTracking});
    }
    if (Node->States.contains(vsInitialized) || Node->States.contains(vsOnFreeNodeCallRequired)) {
        if (OnFreeNode)
            OnFreeNode(this, Node);
    }
    if (Node->States.contains(vsReleaseCallOnUserDataRequired)) {
        ILazyTreeReference* reference = nullptr;
        std::memcpy(&reference, NodeDataAddress(Node), sizeof(void*));
        if (reference)
            reference->Release();
    }
    FreeNodeBlock(Node);
    if (FUpdateCount == 0)
        EnsureNodeSelected();
}

// --- initialisation -----------------------------------------------------------------------------

void TBaseLazyTree::InitNode(PLazyNode Node)
{
    Node->States += vsInitializing;
    try {
        TLazyNodeInitStates initStates;
        if (Node->States.contains(vsInitialized))
            initStates = ivsReInit;
        Node->States += vsInitialized;
        DoInitNode(Node->Parent == FRoot ? nullptr : Node->Parent, Node, initStates);
        if (initStates.contains(ivsDisabled))
            Node->States += vsDisabled;
        if (initStates.contains(ivsHasChildren))
            Node->States += vsHasChildren;
        if (initStates.contains(ivsSelected)) {
            FSingletonNodeArray.assign(1, Node);
            InsertIntoSelection(FSingletonNodeArray, 1, false);
        }
        if (initStates.contains(ivsMultiline))
            Node->States += vsMultiline;
        if (initStates.contains(ivsFiltered)) {
            const bool wasFiltered = Node->States.contains(vsFiltered);
            if (!wasFiltered)
                InterruptValidation();
            Node->States += vsFiltered;
            if (!FOptions->PaintOptions().contains(toShowFilteredNodes) &&
                !(initStates.contains(ivsReInit) && wasFiltered)) {
                PropagateTotalHeight(Node, -int64_t(Node->NodeHeight), true);
                if (FullyVisible(Node))
                    --FVisibleCount;
                if (FUpdateCount == 0)
                    UpdateScrollBars(true);
            }
        }
        if (Node->States.contains(vsExpanded) != initStates.contains(ivsExpanded)) {
            if (initStates.contains(ivsExpanded))
                ToggleNode(Node);
            else if (Node->States.contains(vsHasChildren))
                InitChildren(Node);
        }
    } catch (...) {
        Node->States -= vsInitializing;
        throw;
    }
    Node->States -= vsInitializing;
}

bool TBaseLazyTree::DoInitChildren(PLazyNode Node, uint32_t& ChildCount)
{
    if (!OnInitChildren)
        return false;
    OnInitChildren(this, Node, ChildCount);
    return true;
}

void TBaseLazyTree::InitChildren(PLazyNode Node)
{
    if (!Node || Node == FRoot || !Node->States.contains(vsHasChildren))
        return;
    uint32_t count = Node->ChildCount;
    if (DoInitChildren(Node, count)) {
        SetChildCount(Node, count);
        if (count == 0)
            Node->States -= vsHasChildren;
    }
}

void TBaseLazyTree::ValidateNode(PLazyNode Node, bool Recursive)
{
    if (!Node)
        Node = FRoot;
    else if (!Node->States.contains(vsInitialized))
        InitNode(Node);
    if (Recursive) {
        if (Node->States.contains(vsHasChildren) && Node->ChildCount == 0)
            InitChildren(Node);
        for (PLazyNode child = Node->FirstChild; child;) {
            PLazyNode next = child->NextSibling;
            ValidateNode(child, true);
            child = next;
        }
    }
}

void TBaseLazyTree::ValidateChildren(PLazyNode Node, bool Recursive)
{
    if (!Node)
        Node = FRoot;
    if (Node->States.contains(vsHasChildren) && Node->ChildCount == 0)
        InitChildren(Node);
    for (PLazyNode child = Node->FirstChild; child;) {
        PLazyNode next = child->NextSibling;
        ValidateNode(child, Recursive);
        child = next;
    }
}

void TBaseLazyTree::InitRecursive(PLazyNode Node, uint32_t Levels, bool pVisibleOnly)
{
    if (!Node)
        Node = FRoot;
    else if (!Node->States.contains(vsInitialized))
        InitNode(Node);
    if (Levels == 0 || (pVisibleOnly && !Node->States.contains(vsExpanded)))
        return;
    for (PLazyNode child = Node->FirstChild; child; child = child->NextSibling)
        InitRecursive(child, Levels - 1, pVisibleOnly);
}

void TBaseLazyTree::ReinitNode(PLazyNode Node, bool Recursive)
{
    if (!Node || Node == FRoot)
        return;
    Node->States -= TLazyNodeStates{vsChecking, vsCutOrCopy, vsDeleting, vsHeightMeasured};
    if (Node->States.contains(vsInitialized))
        InitNode(Node);
    if (Recursive)
        ReinitChildren(Node, true);
}

void TBaseLazyTree::ReinitChildren(PLazyNode Node, bool Recursive)
{
    if (!Node)
        Node = FRoot;
    InitChildren(Node);
    for (PLazyNode child = Node->FirstChild; child; child = child->NextSibling)
        ReinitNode(child, Recursive);
}

void TBaseLazyTree::ResetNode(PLazyNode Node)
{
    CancelEditNode();
    if (!Node || Node == FRoot) {
        Clear();
        return;
    }
    DoResetNode(Node);
    DeleteChildren(Node, false);
    Node->States -= TLazyNodeStates{vsInitialized, vsChecking, vsCutOrCopy, vsDeleting, vsExpanded, vsHasChildren,
                                    vsHeightMeasured};
    InvalidateNode(Node);
}

} // namespace controls
