#pragma once
// What the tree harnesses share: a string tree whose nodes keep their caption as a QString in
// their user data, and the check that a tree's counts agree with its nodes.
#include "controls/tree/LazyStringTree.h"

#include <memory>

namespace treefuzz {

using namespace controls;

inline std::unique_ptr<TLazyStringTree> makeTextTree()
{
    std::unique_ptr<TLazyStringTree> tree(TBaseLazyTree::create<TLazyStringTree>());
    tree->SetNodeDataSize(int(sizeof(QString)));
    tree->OnFreeNode = [](TBaseLazyTree*, PLazyNode node) { reinterpret_cast<QString*>(NodeDataAddress(node))->~QString(); };
    tree->OnGetText = [](TBaseLazyTree*, PLazyNode node, TColumnIndex, TVSTTextType, QString& text) {
        text = *reinterpret_cast<QString*>(NodeDataAddress(node));
    };
    tree->OnNewText = [](TBaseLazyTree* sender, PLazyNode node, TColumnIndex, const QString& text) {
        *static_cast<QString*>(sender->GetNodeData(node)) = text;
    };
    return tree;
}

// Every node counted once in the root's total, and the visible ones in VisibleCount.
inline bool countsAgree(TBaseLazyTree& tree)
{
    uint32_t nodes = 0;
    for (PLazyNode n = tree.GetFirstNoInit(); n; n = tree.GetNextNoInit(n))
        ++nodes;
    uint32_t visible = 0;
    for (PLazyNode n = tree.GetFirstVisibleNoInit(nullptr, true); n; n = tree.GetNextVisibleNoInit(n, true))
        ++visible;
    return nodes + 1 == tree.RootNode()->TotalCount && visible == tree.VisibleCount();
}

} // namespace treefuzz
