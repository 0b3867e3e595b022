// Walking the nodes: first/next/previous/last in document order or with children above their
// parent, visible, checked, selected, leaf, level and initialised walks, enumerations,
// IterateSubtree, and the positions of rows computed from the running totals.
#include "controls/tree/LazyTree.h"

namespace controls {

namespace {
constexpr const char* kNotRoot = "Node must not be the hidden root node.";
} // namespace

bool TBaseLazyTree::ChildrenAboveOrder(bool ConsiderChildrenAbove) const
{
    return ConsiderChildrenAbove && FOptions->PaintOptions().contains(toChildrenAbove);
}

// --- plain walks ------------------------------------------------------------------------------

PLazyNode TBaseLazyTree::DeepestFirstDescendant(PLazyNode Node, bool DoInit)
{
    for (;;) {
        if (DoInit) {
            if (!Node->States.contains(vsInitialized))
                InitNode(Node);
            if (Node->States.contains(vsHasChildren) && Node->ChildCount == 0)
                InitChildren(Node);
        }
        if (!Node->FirstChild)
            return Node;
        Node = Node->FirstChild;
    }
}

PLazyNode TBaseLazyTree::DeepestLastDescendant(PLazyNode Node, bool DoInit)
{
    for (;;) {
        if (DoInit) {
            if (Node != FRoot && !Node->States.contains(vsInitialized))
                InitNode(Node);
            if (Node->States.contains(vsHasChildren) && Node->ChildCount == 0)
                InitChildren(Node);
        }
        if (!Node->LastChild)
            return Node;
        Node = Node->LastChild;
    }
}

PLazyNode TBaseLazyTree::NextInDocumentOrder(PLazyNode Node, bool DoInit)
{
    if (DoInit) {
        if (!Node->States.contains(vsInitialized))
            InitNode(Node);
        if (Node->States.contains(vsHasChildren) && Node->ChildCount == 0)
            InitChildren(Node);
    }
    if (Node->FirstChild)
        return Node->FirstChild;
    while (Node != FRoot) {
        if (Node->NextSibling)
            return Node->NextSibling;
        Node = Node->Parent;
    }
    return nullptr;
}

PLazyNode TBaseLazyTree::PreviousInDocumentOrder(PLazyNode Node, bool /*DoInit*/)
{
    if (Node->PrevSibling)
        return Node->PrevSibling;
    return Node->Parent == FRoot ? nullptr : Node->Parent;
}

PLazyNode TBaseLazyTree::NextChildrenAbove(PLazyNode Node, bool DoInit)
{
    if (Node->NextSibling)
        return DeepestFirstDescendant(Node->NextSibling, DoInit);
    return Node->Parent == FRoot ? nullptr : Node->Parent;
}

PLazyNode TBaseLazyTree::PreviousChildrenAbove(PLazyNode Node, bool DoInit)
{
    if (DoInit && Node->States.contains(vsHasChildren) && Node->ChildCount == 0)
        InitChildren(Node);
    if (Node->LastChild)
        return Node->LastChild;
    for (; Node != FRoot; Node = Node->Parent)
        if (Node->PrevSibling)
            return Node->PrevSibling;
    return nullptr;
}

PLazyNode TBaseLazyTree::GetFirst(bool ConsiderChildrenAbove)
{
    PLazyNode result = FRoot->FirstChild;
    if (result && ChildrenAboveOrder(ConsiderChildrenAbove))
        result = DeepestFirstDescendant(result, true);
    if (result && !result->States.contains(vsInitialized))
        InitNode(result);
    return result;
}

PLazyNode TBaseLazyTree::GetFirstNoInit(bool ConsiderChildrenAbove)
{
    PLazyNode result = FRoot->FirstChild;
    if (result && ChildrenAboveOrder(ConsiderChildrenAbove))
        result = DeepestFirstDescendant(result, false);
    return result;
}

PLazyNode TBaseLazyTree::GetNext(PLazyNode Node, bool ConsiderChildrenAbove)
{
    if (!Node)
        return nullptr;
    LtAssert(Node != FRoot, kNotRoot);
    PLazyNode result = ChildrenAboveOrder(ConsiderChildrenAbove) ? NextChildrenAbove(Node, true)
                                                                  : NextInDocumentOrder(Node, true);
    if (result && !result->States.contains(vsInitialized))
        InitNode(result);
    return result;
}

PLazyNode TBaseLazyTree::GetNextNoInit(PLazyNode Node, bool ConsiderChildrenAbove)
{
    if (!Node)
        return nullptr;
    LtAssert(Node != FRoot, kNotRoot);
    return ChildrenAboveOrder(ConsiderChildrenAbove) ? NextChildrenAbove(Node, false) : NextInDocumentOrder(Node, false);
}

PLazyNode TBaseLazyTree::GetLast(PLazyNode Node, bool ConsiderChildrenAbove)
{
    if (!Node)
        Node = FRoot;
    PLazyNode result;
    if (ChildrenAboveOrder(ConsiderChildrenAbove)) {
        if (Node->States.contains(vsHasChildren) && Node->ChildCount == 0)
            InitChildren(Node);
        result = Node->LastChild;
    } else {
        result = DeepestLastDescendant(Node, true);
        if (result == Node)
            result = nullptr;
    }
    if (result && !result->States.contains(vsInitialized))
        InitNode(result);
    return result;
}

PLazyNode TBaseLazyTree::GetLastNoInit(PLazyNode Node, bool ConsiderChildrenAbove)
{
    if (!Node)
        Node = FRoot;
    if (ChildrenAboveOrder(ConsiderChildrenAbove))
        return Node->LastChild;
    PLazyNode result = DeepestLastDescendant(Node, false);
    return result == Node ? nullptr : result;
}

PLazyNode TBaseLazyTree::GetPrevious(PLazyNode Node, bool ConsiderChildrenAbove)
{
    if (!Node)
        return nullptr;
    LtAssert(Node != FRoot, kNotRoot);
    PLazyNode result;
    if (ChildrenAboveOrder(ConsiderChildrenAbove)) {
        result = PreviousChildrenAbove(Node, true);
    } else if (Node->PrevSibling) {
        result = DeepestLastDescendant(Node->PrevSibling, true);
    } else {
        result = Node->Parent == FRoot ? nullptr : Node->Parent;
    }
    if (result && !result->States.contains(vsInitialized))
        InitNode(result);
    return result;
}

PLazyNode TBaseLazyTree::GetPreviousNoInit(PLazyNode Node, bool ConsiderChildrenAbove)
{
    if (!Node)
        return nullptr;
    LtAssert(Node != FRoot, kNotRoot);
    if (ChildrenAboveOrder(ConsiderChildrenAbove))
        return PreviousChildrenAbove(Node, false);
    if (Node->PrevSibling)
        return DeepestLastDescendant(Node->PrevSibling, false);
    return Node->Parent == FRoot ? nullptr : Node->Parent;
}

// --- children and siblings ----------------------------------------------------------------------

PLazyNode TBaseLazyTree::GetFirstChild(PLazyNode Node)
{
    if (!Node)
        Node = FRoot;
    if (Node != FRoot && !Node->States.contains(vsInitialized))
        InitNode(Node);
    if (Node->States.contains(vsHasChildren) && Node->ChildCount == 0)
        InitChildren(Node);
    PLazyNode result = Node->FirstChild;
    if (result && !result->States.contains(vsInitialized))
        InitNode(result);
    return result;
}

PLazyNode TBaseLazyTree::GetFirstChildNoInit(PLazyNode Node)
{
    if (!Node)
        Node = FRoot;
    return Node->States.contains(vsHasChildren) ? Node->FirstChild : nullptr;
}

PLazyNode TBaseLazyTree::GetLastChild(PLazyNode Node)
{
    if (!Node)
        Node = FRoot;
    if (Node != FRoot && !Node->States.contains(vsInitialized))
        InitNode(Node);
    if (Node->States.contains(vsHasChildren) && Node->ChildCount == 0)
        InitChildren(Node);
    PLazyNode result = Node->LastChild;
    if (result && !result->States.contains(vsInitialized))
        InitNode(result);
    return result;
}

PLazyNode TBaseLazyTree::GetLastChildNoInit(PLazyNode Node)
{
    if (!Node)
        Node = FRoot;
    return Node->States.contains(vsHasChildren) ? Node->LastChild : nullptr;
}

PLazyNode TBaseLazyTree::GetNextSibling(PLazyNode Node)
{
    if (!Node)
        return nullptr;
    PLazyNode result = Node->NextSibling;
    if (result && !result->States.contains(vsInitialized))
        InitNode(result);
    return result;
}

PLazyNode TBaseLazyTree::GetNextSiblingNoInit(PLazyNode Node) { return Node ? Node->NextSibling : nullptr; }

PLazyNode TBaseLazyTree::GetPreviousSibling(PLazyNode Node)
{
    if (!Node)
        return nullptr;
    PLazyNode result = Node->PrevSibling;
    if (result && !result->States.contains(vsInitialized))
        InitNode(result);
    return result;
}

PLazyNode TBaseLazyTree::GetPreviousSiblingNoInit(PLazyNode Node) { return Node ? Node->PrevSibling : nullptr; }

namespace {
bool qualifiesVisibleSibling(const TBaseLazyTree* tree, PLazyNode n, bool includeFiltered)
{
    return n->States.contains(vsVisible) && (includeFiltered || !tree->IsEffectivelyFiltered(n));
}
} // namespace

PLazyNode TBaseLazyTree::GetNextVisibleSiblingNoInit(PLazyNode Node, bool IncludeFiltered)
{
    LtAssert(Node && Node != FRoot, "Invalid parameter.");
    PLazyNode result = Node->NextSibling;
    while (result && !qualifiesVisibleSibling(this, result, IncludeFiltered))
        result = result->NextSibling;
    return result;
}

PLazyNode TBaseLazyTree::GetNextVisibleSibling(PLazyNode Node, bool IncludeFiltered)
{
    LtAssert(Node && Node != FRoot, "Invalid parameter.");
    PLazyNode result = Node;
    for (;;) {
        result = result->NextSibling;
        if (!result)
            return nullptr;
        if (!result->States.contains(vsInitialized))
            InitNode(result);
        if (qualifiesVisibleSibling(this, result, IncludeFiltered))
            return result;
    }
}

PLazyNode TBaseLazyTree::GetPreviousVisibleSiblingNoInit(PLazyNode Node, bool IncludeFiltered)
{
    LtAssert(Node && Node != FRoot, "Invalid parameter.");
    PLazyNode result = Node->PrevSibling;
    while (result && !qualifiesVisibleSibling(this, result, IncludeFiltered))
        result = result->PrevSibling;
    return result;
}

PLazyNode TBaseLazyTree::GetPreviousVisibleSibling(PLazyNode Node, bool IncludeFiltered)
{
    LtAssert(Node && Node != FRoot, "Invalid parameter.");
    PLazyNode result = Node;
    for (;;) {
        result = result->PrevSibling;
        if (!result)
            return nullptr;
        if (!result->States.contains(vsInitialized))
            InitNode(result);
        if (qualifiesVisibleSibling(this, result, IncludeFiltered))
            return result;
    }
}

PLazyNode TBaseLazyTree::GetFirstVisibleChild(PLazyNode Node, bool IncludeFiltered)
{
    PLazyNode result = GetFirstChild(Node);
    if (result && !qualifiesVisibleSibling(this, result, IncludeFiltered))
        result = GetNextVisibleSibling(result, IncludeFiltered);
    return result;
}

PLazyNode TBaseLazyTree::GetFirstVisibleChildNoInit(PLazyNode Node, bool IncludeFiltered)
{
    PLazyNode result = GetFirstChildNoInit(Node);
    if (result && !qualifiesVisibleSibling(this, result, IncludeFiltered))
        result = GetNextVisibleSiblingNoInit(result, IncludeFiltered);
    return result;
}

PLazyNode TBaseLazyTree::GetLastVisibleChild(PLazyNode Node, bool IncludeFiltered)
{
    if (!Node)
        Node = FRoot;
    if (Node != FRoot && !(FullyVisible(Node) && Node->States.contains(vsExpanded)))
        return nullptr;
    PLazyNode result = GetLastChild(Node);
    if (result && !qualifiesVisibleSibling(this, result, IncludeFiltered))
        result = GetPreviousVisibleSibling(result, IncludeFiltered);
    if (result && !result->States.contains(vsInitialized))
        InitNode(result);
    return result;
}

PLazyNode TBaseLazyTree::GetLastVisibleChildNoInit(PLazyNode Node, bool IncludeFiltered)
{
    if (!Node)
        Node = FRoot;
    if (Node != FRoot && !(FullyVisible(Node) && Node->States.contains(vsExpanded)))
        return nullptr;
    PLazyNode result = GetLastChildNoInit(Node);
    if (result && !qualifiesVisibleSibling(this, result, IncludeFiltered))
        result = GetPreviousVisibleSiblingNoInit(result, IncludeFiltered);
    return result;
}

// --- visible walks ------------------------------------------------------------------------------
//
// A node is shown in place when it has vsVisible and every ancestor below the root is expanded
// and has vsVisible. The walks pass over nodes shown in place and skip the subtrees of the
// others; effectively filtered nodes are passed (their own row is not shown) but their
// children are.

namespace {

// The topmost node on the path from the top level down to `node` that breaks its visibility:
// an ancestor (or the node) without vsVisible, or a collapsed strict ancestor. nullptr when the
// node is shown in place.
PLazyNode visibilityBreak(PLazyNode root, PLazyNode node)
{
    // Collect the path top-down without allocating: walk up, remembering the topmost break.
    PLazyNode result = nullptr;
    for (PLazyNode n = node; n != root; n = n->Parent) {
        if (!n->States.contains(vsVisible))
            result = n;
        else if (n != node && !n->States.contains(vsExpanded))
            result = n;
    }
    return result;
}

} // namespace

PLazyNode TBaseLazyTree::NextVisibleImpl(PLazyNode Node, bool ConsiderChildrenAbove, bool DoInit)
{
    const bool above = ChildrenAboveOrder(ConsiderChildrenAbove);
    // The next node shown in place after `n`, `n` and its subtree being passed (or, with
    // descend, its children still to come in document order).
    auto stepDocument = [&](PLazyNode n, bool descend) -> PLazyNode {
        if (descend && n->States.contains(vsExpanded)) {
            if (DoInit && n->States.contains(vsHasChildren) && n->ChildCount == 0)
                InitChildren(n);
            if (n->FirstChild)
                return n->FirstChild;
        }
        while (n != FRoot) {
            if (n->NextSibling)
                return n->NextSibling;
            n = n->Parent;
        }
        return nullptr;
    };
    auto descendFirst = [&](PLazyNode n) -> PLazyNode {
        for (;;) {
            if (!n->States.contains(vsExpanded))
                return n;
            if (DoInit && n->States.contains(vsHasChildren) && n->ChildCount == 0)
                InitChildren(n);
            PLazyNode c = n->FirstChild;
            while (c && !c->States.contains(vsVisible))
                c = c->NextSibling;
            if (!c)
                return n;
            n = c;
        }
    };
    auto stepAbove = [&](PLazyNode n) -> PLazyNode {
        PLazyNode s = n->NextSibling;
        while (s && !s->States.contains(vsVisible))
            s = s->NextSibling;
        if (s)
            return descendFirst(s);
        return n->Parent == FRoot ? nullptr : n->Parent;
    };

    PLazyNode candidate;
    if (PLazyNode broken = visibilityBreak(FRoot, Node)) {
        if (above)
            candidate = broken->States.contains(vsVisible) ? broken : stepAbove(broken);
        else
            candidate = stepDocument(broken, false);
    } else {
        candidate = above ? stepAbove(Node) : stepDocument(Node, true);
    }
    while (candidate) {
        if (DoInit && !candidate->States.contains(vsInitialized))
            InitNode(candidate);
        if (!candidate->States.contains(vsVisible)) {
            candidate = above ? stepAbove(candidate) : stepDocument(candidate, false);
            continue;
        }
        if (IsEffectivelyFiltered(candidate)) {
            candidate = above ? stepAbove(candidate) : stepDocument(candidate, true);
            continue;
        }
        return candidate;
    }
    return nullptr;
}

PLazyNode TBaseLazyTree::PreviousVisibleImpl(PLazyNode Node, bool ConsiderChildrenAbove, bool DoInit)
{
    const bool above = ChildrenAboveOrder(ConsiderChildrenAbove);
    auto lastVisibleChild = [&](PLazyNode n) -> PLazyNode {
        if (!n->States.contains(vsExpanded))
            return nullptr;
        if (DoInit && n->States.contains(vsHasChildren) && n->ChildCount == 0)
            InitChildren(n);
        PLazyNode c = n->LastChild;
        while (c && !c->States.contains(vsVisible))
            c = c->PrevSibling;
        return c;
    };
    auto descendLast = [&](PLazyNode n) -> PLazyNode {
        while (PLazyNode c = lastVisibleChild(n))
            n = c;
        return n;
    };
    // Document order: the previous visible sibling's last shown descendant, else the parent.
    auto stepDocument = [&](PLazyNode n) -> PLazyNode {
        PLazyNode s = n->PrevSibling;
        while (s && !s->States.contains(vsVisible))
            s = s->PrevSibling;
        if (s)
            return descendLast(s);
        return n->Parent == FRoot ? nullptr : n->Parent;
    };
    // Children above: the last shown child, else the previous visible sibling, else that of the
    // nearest ancestor that has one. `descend` is false for a node whose subtree is passed.
    auto stepAbove = [&](PLazyNode n, bool descend) -> PLazyNode {
        if (descend)
            if (PLazyNode c = lastVisibleChild(n))
                return c;
        for (; n != FRoot; n = n->Parent) {
            PLazyNode s = n->PrevSibling;
            while (s && !s->States.contains(vsVisible))
                s = s->PrevSibling;
            if (s)
                return s;
        }
        return nullptr;
    };

    PLazyNode candidate;
    if (PLazyNode broken = visibilityBreak(FRoot, Node)) {
        if (above)
            candidate = stepAbove(broken, false);
        else
            candidate = broken->States.contains(vsVisible) ? broken : stepDocument(broken);
    } else {
        candidate = above ? stepAbove(Node, true) : stepDocument(Node);
    }
    while (candidate) {
        if (DoInit && !candidate->States.contains(vsInitialized))
            InitNode(candidate);
        if (!candidate->States.contains(vsVisible)) {
            candidate = above ? stepAbove(candidate, false) : stepDocument(candidate);
            continue;
        }
        if (IsEffectivelyFiltered(candidate)) {
            candidate = above ? stepAbove(candidate, true) : stepDocument(candidate);
            continue;
        }
        return candidate;
    }
    return nullptr;
}

PLazyNode TBaseLazyTree::GetNextVisible(PLazyNode Node, bool ConsiderChildrenAbove)
{
    if (!Node)
        return nullptr;
    LtAssert(Node != FRoot, kNotRoot);
    return NextVisibleImpl(Node, ConsiderChildrenAbove, true);
}

PLazyNode TBaseLazyTree::GetNextVisibleNoInit(PLazyNode Node, bool ConsiderChildrenAbove)
{
    if (!Node)
        return nullptr;
    LtAssert(Node != FRoot, kNotRoot);
    return NextVisibleImpl(Node, ConsiderChildrenAbove, false);
}

PLazyNode TBaseLazyTree::GetPreviousVisible(PLazyNode Node, bool ConsiderChildrenAbove)
{
    if (!Node)
        return nullptr;
    LtAssert(Node != FRoot, kNotRoot);
    return PreviousVisibleImpl(Node, ConsiderChildrenAbove, true);
}

PLazyNode TBaseLazyTree::GetPreviousVisibleNoInit(PLazyNode Node, bool ConsiderChildrenAbove)
{
    if (!Node)
        return nullptr;
    LtAssert(Node != FRoot, kNotRoot);
    return PreviousVisibleImpl(Node, ConsiderChildrenAbove, false);
}

namespace {
// Shared by the first-visible forms: `init` tells whether results are initialised.
template <typename Tree>
PLazyNode firstVisible(Tree* tree, PLazyNode root, PLazyNode node, bool above, bool includeFiltered, bool init,
                       auto&& initChildren, auto&& initNode, auto&& nextVisible)
{
    if (!node)
        node = root;
    if (init && node->States.contains(vsHasChildren) && node->ChildCount == 0)
        initChildren(node);
    PLazyNode result = node->FirstChild;
    if (above) {
        while (result && !result->States.contains(vsVisible))
            result = result->NextSibling;
        while (result && result->States.contains(vsExpanded)) {
            if (init && result->States.contains(vsHasChildren) && result->ChildCount == 0)
                initChildren(result);
            PLazyNode c = result->FirstChild;
            while (c && !c->States.contains(vsVisible))
                c = c->NextSibling;
            if (!c)
                break;
            result = c;
        }
    } else {
        while (result && !result->States.contains(vsVisible)) {
            if (result->NextSibling) {
                result = result->NextSibling;
            } else {
                PLazyNode p = result->Parent;
                result = nullptr;
                while (p != root && !result) {
                    result = p->NextSibling;
                    p = p->Parent;
                }
            }
        }
    }
    if (result && init && !result->States.contains(vsInitialized))
        initNode(result);
    if (result && !includeFiltered && tree->IsEffectivelyFiltered(result))
        result = nextVisible(result);
    return result;
}
} // namespace

PLazyNode TBaseLazyTree::GetFirstVisible(PLazyNode Node, bool ConsiderChildrenAbove, bool IncludeFiltered)
{
    return firstVisible(
        this, FRoot, Node, ChildrenAboveOrder(ConsiderChildrenAbove), IncludeFiltered, true,
        [this](PLazyNode n) { InitChildren(n); }, [this](PLazyNode n) { InitNode(n); },
        [&](PLazyNode n) { return GetNextVisible(n, ConsiderChildrenAbove); });
}

PLazyNode TBaseLazyTree::GetFirstVisibleNoInit(PLazyNode Node, bool ConsiderChildrenAbove, bool IncludeFiltered)
{
    return firstVisible(
        this, FRoot, Node, ChildrenAboveOrder(ConsiderChildrenAbove), IncludeFiltered, false,
        [this](PLazyNode n) { InitChildren(n); }, [this](PLazyNode n) { InitNode(n); },
        [&](PLazyNode n) { return GetNextVisibleNoInit(n, ConsiderChildrenAbove); });
}

PLazyNode TBaseLazyTree::GetLastVisible(PLazyNode Node, bool ConsiderChildrenAbove, bool IncludeFiltered)
{
    PLazyNode result = GetLastVisibleNoInit(Node, ConsiderChildrenAbove, IncludeFiltered);
    if (result) {
        // Initialise the result and its uninitialised ancestors below Node.
        PLazyNode stop = Node ? Node : FRoot;
        for (PLazyNode n = result; n && n != stop && n != FRoot; n = n->Parent)
            if (!n->States.contains(vsInitialized))
                InitNode(n);
    }
    return result;
}

PLazyNode TBaseLazyTree::GetLastVisibleNoInit(PLazyNode Node, bool ConsiderChildrenAbove, bool IncludeFiltered)
{
    PLazyNode start = Node ? Node : FRoot;
    if (start != FRoot && !(FullyVisible(start) && start->States.contains(vsExpanded)))
        return nullptr;
    const bool above = ChildrenAboveOrder(ConsiderChildrenAbove);
    auto lastVisibleChild = [](PLazyNode n) -> PLazyNode {
        if (!n->States.contains(vsExpanded))
            return nullptr;
        PLazyNode c = n->LastChild;
        while (c && !c->States.contains(vsVisible))
            c = c->PrevSibling;
        return c;
    };
    PLazyNode result = lastVisibleChild(start);
    if (!above) {
        while (result) {
            PLazyNode c = lastVisibleChild(result);
            if (!c)
                break;
            result = c;
        }
    }
    // Backwards past filtered nodes, but not out of Node's subtree.
    while (result && !IncludeFiltered && IsEffectivelyFiltered(result)) {
        result = GetPreviousVisibleNoInit(result, ConsiderChildrenAbove);
        if (result && start != FRoot && (result == start || !HasAsParent(result, start)))
            return nullptr;
    }
    return result;
}

PLazyNode TBaseLazyTree::GetVisibleParent(PLazyNode Node, bool IncludeFiltered)
{
    LtAssert(Node != nullptr, "Node must not be nil.");
    LtAssert(Node != FRoot, kNotRoot);
    PLazyNode result = Node->Parent;
    while (result != FRoot && (!FullyVisible(result) || (!IncludeFiltered && IsEffectivelyFiltered(result))))
        result = result->Parent;
    return result;
}

// --- leaves and levels --------------------------------------------------------------------------

PLazyNode TBaseLazyTree::GetFirstLeaf()
{
    PLazyNode result = GetFirst();
    while (result && result->States.contains(vsHasChildren))
        result = GetNext(result);
    return result;
}

PLazyNode TBaseLazyTree::GetNextLeaf(PLazyNode Node)
{
    PLazyNode result = GetNext(Node);
    while (result && result->States.contains(vsHasChildren))
        result = GetNext(result);
    return result;
}

PLazyNode TBaseLazyTree::GetPreviousLeaf(PLazyNode Node)
{
    PLazyNode result = Node ? GetPrevious(Node) : GetLast();
    while (result) {
        if (!result->States.contains(vsInitialized))
            InitNode(result);
        if (result->States.contains(vsHasChildren) && result->ChildCount == 0)
            InitChildren(result);
        if (!result->States.contains(vsHasChildren))
            return result;
        result = GetPrevious(result);
    }
    return nullptr;
}

PLazyNode TBaseLazyTree::GetFirstLevel(uint32_t NodeLevel)
{
    PLazyNode result = GetFirstNoInit();
    while (result && GetNodeLevel(result) != NodeLevel)
        result = GetNextNoInit(result);
    if (result && !result->States.contains(vsInitialized))
        InitNode(result);
    return result;
}

PLazyNode TBaseLazyTree::GetNextLevel(PLazyNode Node, uint32_t NodeLevel)
{
    if (!Node || Node == FRoot)
        return nullptr;
    auto skipSubtree = [this](PLazyNode n) -> PLazyNode {
        while (n != FRoot) {
            if (n->NextSibling)
                return n->NextSibling;
            n = n->Parent;
        }
        return nullptr;
    };
    PLazyNode result = GetNodeLevel(Node) >= NodeLevel ? skipSubtree(Node) : NextInDocumentOrder(Node, false);
    while (result) {
        const uint32_t level = GetNodeLevel(result);
        if (level == NodeLevel)
            break;
        result = level < NodeLevel ? NextInDocumentOrder(result, false) : skipSubtree(result);
    }
    if (result && !result->States.contains(vsInitialized))
        InitNode(result);
    return result;
}

PLazyNode TBaseLazyTree::GetPreviousLevel(PLazyNode Node, uint32_t NodeLevel)
{
    if (!Node || Node == FRoot)
        return nullptr;
    PLazyNode result = GetPreviousNoInit(Node);
    while (result && GetNodeLevel(result) != NodeLevel)
        result = GetPreviousNoInit(result);
    if (result && !result->States.contains(vsInitialized))
        InitNode(result);
    return result;
}

// --- filtered walks -----------------------------------------------------------------------------

PLazyNode TBaseLazyTree::GetFirstInitialized(bool ConsiderChildrenAbove)
{
    PLazyNode result = GetFirstNoInit(ConsiderChildrenAbove);
    if (result && !result->States.contains(vsInitialized))
        result = GetNextInitialized(result, ConsiderChildrenAbove);
    return result;
}

PLazyNode TBaseLazyTree::GetNextInitialized(PLazyNode Node, bool ConsiderChildrenAbove)
{
    PLazyNode result = Node;
    do
        result = GetNextNoInit(result, ConsiderChildrenAbove);
    while (result && !result->States.contains(vsInitialized));
    return result;
}

PLazyNode TBaseLazyTree::GetPreviousInitialized(PLazyNode Node, bool ConsiderChildrenAbove)
{
    PLazyNode result = Node;
    do
        result = GetPreviousNoInit(result, ConsiderChildrenAbove);
    while (result && !result->States.contains(vsInitialized));
    return result;
}

PLazyNode TBaseLazyTree::GetLastInitialized(PLazyNode Node, bool ConsiderChildrenAbove)
{
    PLazyNode result = GetLastNoInit(Node, ConsiderChildrenAbove);
    if (result && !result->States.contains(vsInitialized))
        result = GetPreviousInitialized(result, ConsiderChildrenAbove);
    return result;
}

PLazyNode TBaseLazyTree::GetFirstChecked(TCheckState State, bool ConsiderChildrenAbove)
{
    PLazyNode result = GetFirstNoInit(ConsiderChildrenAbove);
    while (result && result->CheckState != State)
        result = GetNextNoInit(result, ConsiderChildrenAbove);
    if (result && !result->States.contains(vsInitialized))
        InitNode(result);
    return result;
}

PLazyNode TBaseLazyTree::GetNextChecked(PLazyNode Node, TCheckState State, bool ConsiderChildrenAbove)
{
    if (!Node || Node == FRoot)
        return GetFirstChecked(State, ConsiderChildrenAbove);
    PLazyNode result = GetNextNoInit(Node, ConsiderChildrenAbove);
    while (result && result->CheckState != State)
        result = GetNextNoInit(result, ConsiderChildrenAbove);
    if (result && !result->States.contains(vsInitialized))
        InitNode(result);
    return result;
}

PLazyNode TBaseLazyTree::GetNextChecked(PLazyNode Node, bool ConsiderChildrenAbove)
{
    return GetNextChecked(Node, csCheckedNormal, ConsiderChildrenAbove);
}

PLazyNode TBaseLazyTree::GetPreviousChecked(PLazyNode Node, TCheckState State, bool ConsiderChildrenAbove)
{
    PLazyNode result = (!Node || Node == FRoot) ? GetLastNoInit(nullptr, ConsiderChildrenAbove)
                                                 : GetPreviousNoInit(Node, ConsiderChildrenAbove);
    while (result && result->CheckState != State)
        result = GetPreviousNoInit(result, ConsiderChildrenAbove);
    if (result && !result->States.contains(vsInitialized))
        InitNode(result);
    return result;
}

PLazyNode TBaseLazyTree::GetFirstCutCopy(bool ConsiderChildrenAbove) { return GetNextCutCopy(nullptr, ConsiderChildrenAbove); }

PLazyNode TBaseLazyTree::GetNextCutCopy(PLazyNode Node, bool ConsiderChildrenAbove)
{
    if (!FStates.contains(tsCutPending) && !FStates.contains(tsCopyPending))
        return nullptr;
    PLazyNode result = (!Node || Node == FRoot) ? GetFirstNoInit(ConsiderChildrenAbove)
                                                 : GetNextNoInit(Node, ConsiderChildrenAbove);
    while (result && !result->States.contains(vsCutOrCopy))
        result = GetNextNoInit(result, ConsiderChildrenAbove);
    if (result && !result->States.contains(vsInitialized))
        InitNode(result);
    return result;
}

PLazyNode TBaseLazyTree::GetPreviousCutCopy(PLazyNode Node, bool ConsiderChildrenAbove)
{
    if (!FStates.contains(tsCutPending) && !FStates.contains(tsCopyPending))
        return nullptr;
    PLazyNode result = (!Node || Node == FRoot) ? GetLastNoInit(nullptr, ConsiderChildrenAbove)
                                                 : GetPreviousNoInit(Node, ConsiderChildrenAbove);
    while (result && !result->States.contains(vsCutOrCopy))
        result = GetPreviousNoInit(result, ConsiderChildrenAbove);
    if (result && !result->States.contains(vsInitialized))
        InitNode(result);
    return result;
}

PLazyNode TBaseLazyTree::GetFirstSelected(bool ConsiderChildrenAbove) { return GetNextSelected(nullptr, ConsiderChildrenAbove); }

PLazyNode TBaseLazyTree::GetNextSelected(PLazyNode Node, bool ConsiderChildrenAbove)
{
    if (FSelectionCount == 0)
        return nullptr;
    PLazyNode result = (!Node || Node == FRoot) ? GetFirstNoInit(ConsiderChildrenAbove)
                                                 : GetNextNoInit(Node, ConsiderChildrenAbove);
    while (result && !result->States.contains(vsSelected))
        result = GetNextNoInit(result, ConsiderChildrenAbove);
    if (result && !result->States.contains(vsInitialized))
        InitNode(result);
    return result;
}

PLazyNode TBaseLazyTree::GetPreviousSelected(PLazyNode Node, bool ConsiderChildrenAbove)
{
    if (FSelectionCount == 0)
        return nullptr;
    PLazyNode result = (!Node || Node == FRoot) ? GetLastNoInit(nullptr, ConsiderChildrenAbove)
                                                 : GetPreviousNoInit(Node, ConsiderChildrenAbove);
    while (result && !result->States.contains(vsSelected))
        result = GetPreviousNoInit(result, ConsiderChildrenAbove);
    if (result && !result->States.contains(vsInitialized))
        InitNode(result);
    return result;
}

// --- sibling visibility tests -------------------------------------------------------------------

bool TBaseLazyTree::HasVisibleNextSibling(PLazyNode Node) const
{
    for (PLazyNode n = Node->NextSibling; n; n = n->NextSibling)
        if (IsEffectivelyVisible(n))
            return true;
    return false;
}

bool TBaseLazyTree::HasVisiblePreviousSibling(PLazyNode Node) const
{
    for (PLazyNode n = Node->PrevSibling; n; n = n->PrevSibling)
        if (IsEffectivelyVisible(n))
            return true;
    return false;
}

bool TBaseLazyTree::IsFirstVisibleChild(PLazyNode Parent, PLazyNode Node) const
{
    for (PLazyNode n = Parent->FirstChild; n; n = n->NextSibling)
        if (IsEffectivelyVisible(n))
            return n == Node;
    return false;
}

bool TBaseLazyTree::IsLastVisibleChild(PLazyNode Parent, PLazyNode Node) const
{
    for (PLazyNode n = Parent->LastChild; n; n = n->PrevSibling)
        if (IsEffectivelyVisible(n))
            return n == Node;
    return false;
}

// --- subtree iteration and sorted sets ----------------------------------------------------------

PLazyNode TBaseLazyTree::IterateSubtree(PLazyNode Node, const TLTGetNodeProc& Callback, void* Data,
                                        TLazyNodeStates Filter, bool DoInit, bool ChildNodesOnly)
{
    LtAssert(Node != FRoot, kNotRoot);
    TLTGetNodeProc callback = Callback; // held for the whole walk
    const bool wasIterating = FStates.contains(tsIterating);
    DoStateChange({tsIterating});
    PLazyNode result = nullptr;
    try {
        PLazyNode stop = nullptr;
        if (Node) {
            for (PLazyNode n = Node; n && n != FRoot && !stop; n = n->Parent)
                stop = n->NextSibling;
            if (DoInit && !Node->States.contains(vsInitialized))
                InitNode(Node);
        } else {
            Node = GetFirstNoInit();
        }
        if (ChildNodesOnly && Node) {
            if (DoInit && Node->States.contains(vsHasChildren) && Node->ChildCount == 0)
                InitChildren(Node);
            Node = Node->FirstChild ? Node->FirstChild : stop;
        }
        bool abort = false;
        while (Node && Node != stop) {
            if (Filter.empty() || Filter <= Node->States) {
                callback(this, Node, Data, abort);
                if (abort) {
                    result = Node;
                    break;
                }
            }
            Node = DoInit ? GetNext(Node) : GetNextNoInit(Node);
        }
    } catch (...) {
        if (!wasIterating)
            DoStateChange({}, {tsIterating});
        throw;
    }
    if (!wasIterating)
        DoStateChange({}, {tsIterating});
    return result;
}

TNodeArray TBaseLazyTree::GetSortedSelection(bool Resolve)
{
    TNodeArray result;
    if (FSelectionCount == 0)
        return result;
    result.reserve(size_t(FSelectionCount));
    PLazyNode run = FRoot->FirstChild;
    while (run) {
        if (run->States.contains(vsSelected)) {
            result.push_back(run);
            if (Resolve) {
                // Leave the subtree of a listed node.
                PLazyNode n = run;
                run = nullptr;
                while (n != FRoot && !run) {
                    run = n->NextSibling;
                    n = n->Parent;
                }
                continue;
            }
        }
        run = GetNextNoInit(run);
    }
    return result;
}

TNodeArray TBaseLazyTree::GetSortedCutCopySet(bool Resolve)
{
    TNodeArray result;
    PLazyNode run = FRoot->FirstChild;
    while (run) {
        if (run->States.contains(vsCutOrCopy)) {
            if (result.size() == result.capacity())
                result.reserve(result.empty() ? 100 : result.size() + result.size() / 10 + 1);
            result.push_back(run);
            if (Resolve) {
                PLazyNode n = run;
                run = nullptr;
                while (n != FRoot && !run) {
                    run = n->NextSibling;
                    n = n->Parent;
                }
                continue;
            }
        }
        run = GetNextNoInit(run);
    }
    return result;
}

// --- enumerations -------------------------------------------------------------------------------

bool TLTLazyNodeEnumerator::MoveNext()
{
    if (!FCanModeNext)
        return false;
    FNode = FEnumeration->GetNext(FNode);
    FCanModeNext = FNode != nullptr;
    return FCanModeNext;
}

PLazyNode TLTLazyNodeEnumeration::GetNext(PLazyNode node) const
{
    TBaseLazyTree* t = FTree;
    const bool above = FConsiderChildrenAbove;
    switch (FMode) {
    case vneAll:
        return node ? t->GetNext(node, above) : t->GetFirst(above);
    case vneChecked:
        return node ? t->GetNextChecked(node, FState, above) : t->GetFirstChecked(FState, above);
    case vneChild:
        return node ? t->GetNextSibling(node) : t->GetFirstChild(FNode);
    case vneCutCopy:
        return node ? t->GetNextCutCopy(node, above) : t->GetFirstCutCopy(above);
    case vneInitialized:
        return node ? t->GetNextInitialized(node, above) : t->GetFirstInitialized(above);
    case vneLeaf:
        return node ? t->GetNextLeaf(node) : t->GetFirstLeaf();
    case vneLevel:
        return node ? t->GetNextLevel(node, FNodeLevel) : t->GetFirstLevel(FNodeLevel);
    case vneNoInit:
        return node ? t->GetNextNoInit(node, above) : t->GetFirstNoInit(above);
    case vneSelected:
        return node ? t->GetNextSelected(node, above) : t->GetFirstSelected(above);
    case vneVisible:
        if (node)
            return t->GetNextVisible(node, true);
        return t->GetFirstVisible(FNode, above, FIncludeFiltered);
    case vneVisibleChild:
        return node ? t->GetNextVisibleSibling(node, FIncludeFiltered) : t->GetFirstVisibleChild(FNode, FIncludeFiltered);
    case vneVisibleNoInitChild:
        return node ? t->GetNextVisibleSiblingNoInit(node, FIncludeFiltered)
                    : t->GetFirstVisibleChildNoInit(FNode, FIncludeFiltered);
    case vneVisibleNoInit:
        if (node)
            return t->GetNextVisibleNoInit(node, above);
        return t->GetFirstVisibleNoInit(FNode, above, FIncludeFiltered);
    }
    return nullptr;
}

namespace {
TLTLazyNodeEnumeration makeEnumeration(TBaseLazyTree* tree, TLZLazyNodeEnumerationMode mode, bool above = false,
                                       PLazyNode node = nullptr)
{
    TLTLazyNodeEnumeration e;
    e.FMode = mode;
    e.FTree = tree;
    e.FConsiderChildrenAbove = above;
    e.FNode = node;
    return e;
}
} // namespace

TLTLazyNodeEnumeration TBaseLazyTree::Nodes(bool ConsiderChildrenAbove) { return makeEnumeration(this, vneAll, ConsiderChildrenAbove); }

TLTLazyNodeEnumeration TBaseLazyTree::CheckedNodes(TCheckState State, bool ConsiderChildrenAbove)
{
    auto e = makeEnumeration(this, vneChecked, ConsiderChildrenAbove);
    e.FState = State;
    return e;
}

TLTLazyNodeEnumeration TBaseLazyTree::ChildNodes(PLazyNode Node) { return makeEnumeration(this, vneChild, false, Node); }

TLTLazyNodeEnumeration TBaseLazyTree::CutCopyNodes(bool ConsiderChildrenAbove)
{
    return makeEnumeration(this, vneCutCopy, ConsiderChildrenAbove);
}

TLTLazyNodeEnumeration TBaseLazyTree::InitializedNodes(bool ConsiderChildrenAbove)
{
    return makeEnumeration(this, vneInitialized, ConsiderChildrenAbove);
}

TLTLazyNodeEnumeration TBaseLazyTree::LeafNodes() { return makeEnumeration(this, vneLeaf); }

TLTLazyNodeEnumeration TBaseLazyTree::LevelNodes(uint32_t NodeLevel)
{
    auto e = makeEnumeration(this, vneLevel);
    e.FNodeLevel = NodeLevel;
    return e;
}

TLTLazyNodeEnumeration TBaseLazyTree::NoInitNodes(bool ConsiderChildrenAbove)
{
    return makeEnumeration(this, vneNoInit, ConsiderChildrenAbove);
}

TLTLazyNodeEnumeration TBaseLazyTree::SelectedNodes(bool ConsiderChildrenAbove)
{
    return makeEnumeration(this, vneSelected, ConsiderChildrenAbove);
}

TLTLazyNodeEnumeration TBaseLazyTree::VisibleNodes(PLazyNode Node, bool ConsiderChildrenAbove, bool IncludeFiltered)
{
    auto e = makeEnumeration(this, vneVisible, ConsiderChildrenAbove, Node);
    e.FIncludeFiltered = IncludeFiltered;
    return e;
}

TLTLazyNodeEnumeration TBaseLazyTree::VisibleChildNodes(PLazyNode Node, bool IncludeFiltered)
{
    auto e = makeEnumeration(this, vneVisibleChild, false, Node);
    e.FIncludeFiltered = IncludeFiltered;
    return e;
}

TLTLazyNodeEnumeration TBaseLazyTree::VisibleChildNoInitNodes(PLazyNode Node, bool IncludeFiltered)
{
    auto e = makeEnumeration(this, vneVisibleNoInitChild, false, Node);
    e.FIncludeFiltered = IncludeFiltered;
    return e;
}

TLTLazyNodeEnumeration TBaseLazyTree::VisibleNoInitNodes(PLazyNode Node, bool ConsiderChildrenAbove, bool IncludeFiltered)
{
    auto e = makeEnumeration(this, vneVisibleNoInit, ConsiderChildrenAbove, Node);
    e.FIncludeFiltered = IncludeFiltered;
    return e;
}

// --- positions from the totals ------------------------------------------------------------------
//
// Every node carries the height of its shown subtree, so the row at a given y is found by
// descending from the root and skipping whole sibling subtrees, and a node's top by adding
// the totals of the siblings before it on its path: both cost the depth times the siblings,
// never the number of nodes.

namespace {
int ownRowHeight(const TBaseLazyTree* tree, PLazyNode n) { return tree->IsEffectivelyFiltered(n) ? 0 : n->NodeHeight; }
} // namespace

int TBaseLazyTree::GetNodeTop(PLazyNode Node) const
{
    if (FStates.contains(tsUseCache) && !FPositionCache.empty() && Node && Node != FRoot && FullyVisible(Node) &&
        !IsEffectivelyFiltered(Node)) {
        // From the nearest entry before the node, at most a stride of rows.
        auto* self = const_cast<TBaseLazyTree*>(this);
        uint32_t pos = 0;
        PLazyNode run = FindCacheEntryForNode(Node, pos);
        if (!run)
            run = self->GetFirstVisibleNoInit(nullptr, true);
        int64_t top = pos;
        for (uint32_t steps = 0; run && steps <= 2 * CacheStride; ++steps) {
            if (run == Node)
                return int(top);
            top += run->NodeHeight;
            run = self->GetNextVisibleNoInit(run, true);
        }
    }
    const bool above = FOptions->PaintOptions().contains(toChildrenAbove);
    int64_t top = 0;
    PLazyNode n = Node;
    if (above && n->States.contains(vsExpanded)) {
        // The node's row comes after its shown children.
        top += int64_t(n->TotalHeight) - ownRowHeight(this, n);
    }
    while (n != FRoot) {
        for (PLazyNode s = n->PrevSibling; s; s = s->PrevSibling)
            if (s->States.contains(vsVisible))
                top += s->TotalHeight;
        PLazyNode p = n->Parent;
        if (p != FRoot && !above)
            top += ownRowHeight(this, p);
        n = p;
    }
    return int(top);
}

PLazyNode TBaseLazyTree::GetNodeAt(int X, int Y)
{
    int top = 0;
    return GetNodeAt(X, Y, true, top);
}

PLazyNode TBaseLazyTree::GetNodeAt(int /*X*/, int Y, bool Relative, int& NodeTop)
{
    if (Y < 0)
        Y = 0;
    int64_t y = Relative ? int64_t(Y) - FOffsetY : Y;
    if (FStates.contains(tsUseCache) && !FPositionCache.empty()) {
        // From the entry at or above y, at most a stride of rows.
        uint32_t pos = 0;
        PLazyNode node = y >= 0 && y <= int64_t(UINT32_MAX) ? FindCacheEntryAtPosition(uint32_t(y), pos) : nullptr;
        if (!node)
            node = GetFirstVisibleNoInit(nullptr, true);
        int64_t top = pos;
        while (node) {
            const int64_t h = NodeHeight(node);
            if (y < top + h) {
                NodeTop = int(Relative ? top + FOffsetY : top);
                return node;
            }
            top += h;
            node = GetNextVisibleNoInit(node, true);
        }
        return nullptr;
    }
    const bool above = FOptions->PaintOptions().contains(toChildrenAbove);
    int64_t top = 0;
    PLazyNode parent = FRoot;
    for (;;) {
        PLazyNode found = nullptr;
        for (PLazyNode c = parent->FirstChild; c; c = c->NextSibling) {
            if (!c->States.contains(vsVisible))
                continue;
            if (y < top + int64_t(c->TotalHeight)) {
                found = c;
                break;
            }
            top += c->TotalHeight;
        }
        if (!found)
            return nullptr;
        const int own = ownRowHeight(this, found);
        const int64_t childrenHeight = int64_t(found->TotalHeight) - own;
        if (above) {
            if (y < top + childrenHeight) {
                parent = found;
                continue;
            }
            top += childrenHeight;
        } else if (y >= top + own) {
            top += own;
            parent = found;
            continue;
        }
        NodeTop = int(Relative ? top + FOffsetY : top);
        return found;
    }
}

} // namespace controls
