// Sorting sibling lists, moving and copying nodes within and between trees.
#include "controls/tree/LazyTree.h"
#include "controls/tree/LazyTreeStream.h"

#include <QBuffer>

namespace controls {

// --- sorting ------------------------------------------------------------------------------------

int TBaseLazyTree::DoCompare(PLazyNode Node1, PLazyNode Node2, TColumnIndex Column)
{
    int result = 0;
    if (OnCompareNodes)
        OnCompareNodes(this, Node1, Node2, Column, result);
    return result;
}

PLazyNode TBaseLazyTree::MergeSortSiblings(PLazyNode& Rest, uint32_t Count, TColumnIndex Column, TSortDirection Direction,
                                           std::exception_ptr& Failure)
{
    if (Count == 1) {
        PLazyNode single = Rest;
        Rest = Rest->NextSibling;
        single->NextSibling = nullptr;
        return single;
    }
    PLazyNode a = MergeSortSiblings(Rest, Count / 2, Column, Direction, Failure);
    PLazyNode b = MergeSortSiblings(Rest, (Count + 1) / 2, Column, Direction, Failure);
    // Ties keep A's node first (A came first), so the sort is stable both ways; a cancelled
    // sort compares everything equal and keeps what is left in its order. A comparison that
    // raises is kept for the caller and the sort ends like a cancelled one, so the list it
    // leaves holds every node.
    TLazyNode head;
    PLazyNode tail = &head;
    while (a && b) {
        int result = 0;
        if (!Failure && !OperationCanceled()) {
            try {
                result = DoCompare(a, b, Column);
            } catch (...) {
                Failure = std::current_exception();
            }
        }
        const bool takeB = Direction == sdAscending ? result > 0 : result < 0;
        if (takeB) {
            tail->NextSibling = b;
            b = b->NextSibling;
        } else {
            tail->NextSibling = a;
            a = a->NextSibling;
        }
        tail = tail->NextSibling;
    }
    tail->NextSibling = a ? a : b;
    return head.NextSibling;
}

void TBaseLazyTree::RelinkSortedChildren(PLazyNode Parent, PLazyNode First)
{
    Parent->FirstChild = First;
    PLazyNode previous = nullptr;
    uint32_t index = 0;
    for (PLazyNode run = First; run; run = run->NextSibling) {
        run->PrevSibling = previous;
        run->Index = index++;
        previous = run;
    }
    Parent->LastChild = previous;
}

void TBaseLazyTree::SortLevel(PLazyNode Node, TColumnIndex Column, TSortDirection Direction, bool DoInit)
{
    if (DoInit) {
        if (Node->ChildCount == 0)
            InitChildren(Node);
        else
            ValidateChildren(Node, false);
    }
    if (Node->ChildCount < 2)
        return;
    StartOperation(okSortNode);
    std::exception_ptr failure;
    PLazyNode rest = Node->FirstChild;
    PLazyNode first = MergeSortSiblings(rest, Node->ChildCount, Column, Direction, failure);
    RelinkSortedChildren(Node, first);
    EndOperation(okSortNode);
    InvalidateCache();
    if (failure)
        std::rethrow_exception(failure);
}

void TBaseLazyTree::Sort(PLazyNode Node, TColumnIndex Column, TSortDirection Direction, bool DoInit)
{
    InterruptValidation();
    if (FStates.contains(tsEditPending)) {
        StopTimer(2);
        DoStateChange({}, {tsEditPending});
    }
    if (FStates.contains(tsEditing) && !DoEndEdit())
        return;
    if (!Node)
        Node = FRoot;
    if (!Node->States.contains(vsHasChildren))
        return;
    SortLevel(Node, Column, Direction, DoInit);
    if (FUpdateCount == 0) {
        ValidateCache();
        Invalidate();
    }
}

bool TBaseLazyTree::CanCompareNodes() const { return bool(OnCompareNodes); }

bool TBaseLazyTree::AutoSortWanted() const
{
    return FOptions->AutoOptions().contains(toAutoSort) && FHeader->SortColumn() >= NoColumn && CanCompareNodes();
}

void TBaseLazyTree::AutoSort(PLazyNode Node, bool DoInit)
{
    if (FUpdateCount == 0 && AutoSortWanted())
        Sort(Node, FHeader->SortColumn(), FHeader->SortDirection(), DoInit);
}

void TBaseLazyTree::SortTree(TColumnIndex Column, TSortDirection Direction, bool DoInit)
{
    if (FRoot->TotalCount <= 2)
        return;
    // The count is raised by hand, not through BeginUpdate: the end of an update bracket sorts
    // the tree, and its own bracket must not sort again.
    ++FUpdateCount;
    auto lower = [this] {
        if (FUpdateCount > 0)
            --FUpdateCount;
    };
    try {
        if (Column >= NoColumn) {
            InterruptValidation();
            StartOperation(okSortTree);
            try {
                const bool autoSort = FOptions->AutoOptions().contains(toAutoSort);
                // Level by level without recursion: a deep tree costs no stack.
                std::vector<PLazyNode> pending{FRoot};
                while (!pending.empty() && !OperationCanceled()) {
                    PLazyNode node = pending.back();
                    pending.pop_back();
                    // A level is initialised before it is compared, so nodes whose content
                    // comes from OnInitNode are sorted by that content.
                    SortLevel(node, Column, Direction, DoInit && node->ChildCount > 0);
                    for (PLazyNode child = node->LastChild; child; child = child->PrevSibling) {
                        if (DoInit && !child->States.contains(vsInitialized))
                            InitNode(child);
                        if (!child->States.contains(vsInitialized) || child->ChildCount == 0)
                            continue;
                        // Collapsed children are put in order when they expand.
                        if (autoSort && !child->States.contains(vsExpanded))
                            continue;
                        pending.push_back(child);
                    }
                }
            } catch (...) {
                EndOperation(okSortTree);
                throw;
            }
            EndOperation(okSortTree);
        }
        InvalidateCache();
    } catch (...) {
        lower();
        throw;
    }
    lower();
    if (FUpdateCount == 0) {
        ValidateCache();
        Invalidate();
    }
}

void SortNodeArrayByAddress(TNodeArray& Nodes, int L, int R)
{
    // Quicksort on the unsigned pointer values: pivot in the middle, scans from both ends,
    // recursion into the left part and a loop on the right.
    auto key = [](PLazyNode n) { return reinterpret_cast<uintptr_t>(n); };
    while (L < R) {
        int i = L;
        int j = R;
        const uintptr_t pivot = key(Nodes[size_t((L + R) / 2)]);
        while (i <= j) {
            while (key(Nodes[size_t(i)]) < pivot)
                ++i;
            while (key(Nodes[size_t(j)]) > pivot)
                --j;
            if (i <= j) {
                std::swap(Nodes[size_t(i)], Nodes[size_t(j)]);
                ++i;
                --j;
            }
        }
        if (L < j)
            SortNodeArrayByAddress(Nodes, L, j);
        L = i;
    }
}

// --- moving and copying -------------------------------------------------------------------------

PLazyNode TBaseLazyTree::InsertRecords(const QByteArray& Records, TBaseLazyTree* Tree, PLazyNode Target,
                                       TLTNodeAttachMode Mode, bool Copying)
{
    PLazyNode last = nullptr;
    TLazyTreeStreamReader reader(Records);
    Tree->BeginUpdate();
    try {
        Tree->FNodeChunkBuffer = std::make_unique<QBuffer>();
        PLazyNode anchor = Target;
        TLTNodeAttachMode mode = Mode;
        while (reader.Remaining() > 0) {
            PLazyNode node = Tree->MakeNewNode();
            Tree->InternalConnectNode(node, anchor, Tree, mode);
            Tree->InternalAddFromStream(reader, TreeStreamVersion, node);
            if (Copying) {
                if (DoNodeCopying(node, Target == Tree->FRoot ? nullptr : Target)) {
                    DoNodeCopied(node);
                    last = node;
                } else {
                    Tree->DeleteNode(node);
                    continue;
                }
            } else {
                DoNodeMoved(node);
                last = node;
            }
            // The next record follows this one, so a group keeps its order whatever the mode.
            anchor = node;
            mode = amInsertAfter;
        }
        Tree->FNodeChunkBuffer.reset();
    } catch (...) {
        Tree->FNodeChunkBuffer.reset();
        Tree->EndUpdate();
        throw;
    }
    Tree->EndUpdate();
    return last;
}

TBaseLazyTree* TBaseLazyTree::ResolveTarget(PLazyNode& Target, TLTNodeAttachMode& Mode)
{
    // No target is this tree's top level, first; a tree's root takes children, not siblings.
    TBaseLazyTree* tree = this;
    if (!Target) {
        Target = FRoot;
        Mode = amAddChildFirst;
    } else {
        tree = OwnerTreeOfNode(Target);
    }
    if (Target == tree->FRoot) {
        if (Mode == amInsertBefore)
            Mode = amAddChildFirst;
        else if (Mode == amInsertAfter)
            Mode = amAddChildLast;
    }
    return tree;
}

void TBaseLazyTree::MoveTo(PLazyNode Source, PLazyNode Target, TLTNodeAttachMode Mode, bool ChildrenOnly)
{
    LtAssert(!Source || Source == FRoot || OwnerTreeOfNode(Source) == this, "The source tree must contain the source node.");
    const bool meaningful = Target != Source || (ChildrenOnly && (Mode == amInsertBefore || Mode == amInsertAfter));
    if (!meaningful || Mode == amNoWhere || !Source || Source == FRoot || FOptions->MiscOptions().contains(toReadOnly))
        return;
    TBaseLazyTree* targetTree = ResolveTarget(Target, Mode);
    if (Target != targetTree->FRoot && !Target->States.contains(vsInitialized))
        targetTree->InitNode(Target);
    if (Target->States.contains(vsHasChildren) && Target->ChildCount == 0)
        targetTree->InitChildren(Target);

    bool moved = false;
    PLazyNode askedTarget = Target == targetTree->FRoot ? nullptr : Target;
    if (targetTree == this) {
        if (DoNodeMoving(Source, askedTarget)) {
            if (Target != Source && HasAsParent(Target, Source))
                throw ELazyTreeError(QStringLiteral("Target node cannot be a child node of the node to be moved."), 2001);
            InterruptValidation();
            auto moveOne = [&](PLazyNode node, bool reindex) {
                InternalDisconnectNode(node, true, reindex);
                InternalConnectNode(node, Target, this, Mode);
                DoNodeMoved(node);
            };
            if (!ChildrenOnly) {
                moveOne(Source, true);
            } else {
                // The children keep their order: modes that put each one right at the target
                // take them last to first.
                const bool backwards = Mode == amAddChildFirst || Mode == amInsertAfter;
                std::vector<PLazyNode> children;
                for (PLazyNode c = Source->FirstChild; c; c = c->NextSibling)
                    if (c != Target)
                        children.push_back(c);
                if (backwards)
                    std::reverse(children.begin(), children.end());
                for (PLazyNode c : children)
                    moveOne(c, true);
            }
            moved = true;
        }
    } else if (DoNodeMoving(Source, askedTarget)) {
        QByteArray records;
        WriteRecords(records, Source, ChildrenOnly);
        InsertRecords(records, targetTree, Target, Mode, false);
        BeginUpdate();
        try {
            if (ChildrenOnly)
                DeleteChildren(Source, false);
            else
                DeleteNode(Source);
        } catch (...) {
            EndUpdate();
            throw;
        }
        EndUpdate();
        moved = true;
    }
    InvalidateCache();
    if (FUpdateCount == 0 && moved) {
        ValidateCache();
        UpdateScrollBars(true);
        Invalidate();
        if (targetTree != this)
            targetTree->Invalidate();
    }
    StructureChange(Source == FRoot ? nullptr : (moved && targetTree != this ? nullptr : Source), crNodeMoved);
}

void TBaseLazyTree::MoveTo(PLazyNode Node, TBaseLazyTree* Tree, TLTNodeAttachMode Mode, bool ChildrenOnly)
{
    if (Tree)
        MoveTo(Node, Tree->FRoot, Mode, ChildrenOnly);
}

PLazyNode TBaseLazyTree::CopyTo(PLazyNode Source, PLazyNode Target, TLTNodeAttachMode Mode, bool ChildrenOnly)
{
    LtAssert(!Source || Source == FRoot || OwnerTreeOfNode(Source) == this, "The source tree must contain the source node.");
    if (Mode == amNoWhere || !Source || Source == FRoot)
        return nullptr;
    TBaseLazyTree* targetTree = ResolveTarget(Target, Mode);
    if (targetTree->FOptions->MiscOptions().contains(toReadOnly))
        return nullptr;
    QByteArray records;
    WriteRecords(records, Source, ChildrenOnly);
    PLazyNode last = InsertRecords(records, targetTree, Target, Mode, true);
    targetTree->InvalidateCache();
    if (targetTree->FUpdateCount == 0) {
        targetTree->ValidateCache();
        targetTree->UpdateScrollBars(true);
        targetTree->Invalidate();
    }
    targetTree->StructureChange(Source, crNodeCopied);
    return ChildrenOnly ? (Target == targetTree->FRoot ? nullptr : Target) : last;
}

PLazyNode TBaseLazyTree::CopyTo(PLazyNode Source, TBaseLazyTree* Tree, TLTNodeAttachMode Mode, bool ChildrenOnly)
{
    return Tree ? CopyTo(Source, Tree->FRoot, Mode, ChildrenOnly) : nullptr;
}

} // namespace controls
