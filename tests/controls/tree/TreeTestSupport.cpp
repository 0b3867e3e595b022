#include "TreeTestSupport.h"

#include <new>

namespace treetest {

NamedTree::NamedTree()
    : tree(TBaseLazyTree::create<TBaseLazyTree>())
{
    tree->SetNodeDataSize(int(sizeof(QString)));
    tree->OnFreeNode = [this](TBaseLazyTree* sender, PLazyNode node) {
        auto* s = reinterpret_cast<QString*>(NodeDataAddress(node));
        freed << (s->isNull() ? QStringLiteral("?") : *s);
        s->~QString();
        (void)sender;
    };
}

NamedTree::~NamedTree() { delete tree; }

PLazyNode NamedTree::add(const QString& path)
{
    const qsizetype at = path.lastIndexOf(QLatin1Char('/'));
    if (at < 0)
        return add(nullptr, path);
    return add(find(path.left(at)), path.mid(at + 1));
}

PLazyNode NamedTree::add(PLazyNode parent, const QString& name)
{
    PLazyNode n = tree->AddChild(parent);
    this->name(n, name);
    return n;
}

void NamedTree::name(PLazyNode node, const QString& name)
{
    auto* s = static_cast<QString*>(tree->GetNodeData(node));
    *s = name; // the zeroed data is an empty QString
}

QString NamedTree::nameOf(PLazyNode node)
{
    if (!node)
        return QStringLiteral("-");
    return *reinterpret_cast<QString*>(NodeDataAddress(node));
}

PLazyNode NamedTree::find(const QString& name)
{
    for (PLazyNode n = tree->GetFirstNoInit(); n; n = tree->GetNextNoInit(n))
        if (nameOf(n) == name)
            return n;
    return nullptr;
}

QString NamedTree::names()
{
    QStringList out;
    for (PLazyNode n = tree->GetFirstNoInit(); n; n = tree->GetNextNoInit(n))
        out << nameOf(n);
    return out.join(QLatin1Char(','));
}

QString namesOf(NamedTree& t, std::initializer_list<PLazyNode> nodes)
{
    QStringList out;
    for (PLazyNode n : nodes)
        out << t.nameOf(n);
    return out.join(QLatin1Char(','));
}

namespace {

struct Checker {
    TBaseLazyTree& tree;
    QString error;
    uint32_t visible = 0;
    uint32_t selected = 0;

    void fail(const QString& what)
    {
        if (error.isEmpty())
            error = what;
    }

    // Returns the node's TotalCount as counted.
    uint32_t walk(PLazyNode node, bool shownInPlace)
    {
        const bool isRoot = node == tree.RootNode();
        uint32_t count = 1;
        uint32_t childCount = 0;
        uint64_t childHeights = 0;
        PLazyNode previous = nullptr;
        uint32_t index = 0;
        for (PLazyNode c = node->FirstChild; c; c = c->NextSibling) {
            if (c->Parent != node)
                fail(QStringLiteral("a child's parent link is wrong"));
            if (c->PrevSibling != previous)
                fail(QStringLiteral("a previous-sibling link is wrong"));
            if (c->Index != index)
                fail(QStringLiteral("index %1 where %2 was due").arg(c->Index).arg(index));
            const bool childShown = shownInPlace && node->States.contains(vsExpanded) && c->States.contains(vsVisible);
            if (childShown && tree.IsEffectivelyVisible(c))
                ++visible;
            if (c->States.contains(vsSelected))
                ++selected;
            count += walk(c, childShown);
            if (c->States.contains(vsVisible))
                childHeights += c->TotalHeight;
            previous = c;
            ++index;
            ++childCount;
        }
        if (node->LastChild != previous)
            fail(QStringLiteral("LastChild is not the last child"));
        if (node->ChildCount != childCount)
            fail(QStringLiteral("ChildCount %1 with %2 children").arg(node->ChildCount).arg(childCount));
        if (node->TotalCount != count)
            fail(QStringLiteral("TotalCount %1 where %2 was due").arg(node->TotalCount).arg(count));
        if (childCount > 0 && !node->States.contains(vsHasChildren))
            fail(QStringLiteral("a node with children lacks vsHasChildren"));
        uint64_t height;
        if (isRoot)
            height = tree.DefaultNodeHeight() + childHeights;
        else
            height = (tree.IsEffectivelyFiltered(node) ? 0 : node->NodeHeight) +
                     (node->States.contains(vsExpanded) ? childHeights : 0);
        if (node->TotalHeight != height)
            fail(QStringLiteral("TotalHeight %1 where %2 was due").arg(node->TotalHeight).arg(height));
        if (node->States.contains(vsSelected)) {
            int at = 0;
            if (!tree.FindNodeInSelection(node, at))
                fail(QStringLiteral("a node with vsSelected is not in the selection"));
        }
        return count;
    }
};

} // namespace

QString checkInvariants(TBaseLazyTree& tree)
{
    Checker c{tree, {}, 0, 0};
    c.walk(tree.RootNode(), true);
    if (c.visible != tree.VisibleCount())
        c.fail(QStringLiteral("VisibleCount %1 where %2 nodes show").arg(tree.VisibleCount()).arg(c.visible));
    if (c.selected != tree.SelectedCount())
        c.fail(QStringLiteral("SelectedCount %1 with %2 nodes selected").arg(tree.SelectedCount()).arg(c.selected));
    const uint32_t range = tree.RootNode()->TotalHeight + tree.BottomSpace() - tree.RootNode()->NodeHeight;
    if (tree.RangeY() != range)
        c.fail(QStringLiteral("RangeY %1 where %2 was due").arg(tree.RangeY()).arg(range));
    return c.error;
}

} // namespace treetest
