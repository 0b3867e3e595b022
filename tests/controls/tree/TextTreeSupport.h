#pragma once
// A string tree whose nodes carry their cell texts (one per column) in their user data: the
// texts travel with the nodes through streams, the clipboard and drops (OnSaveNode and
// OnLoadNode), OnNewText stores an edited text, and OnFreeNode destroys them, so
// AddressSanitizer sees every leak and double free. Nodes are found by their first text and the
// shape of the tree is written as "A(A1,A2),B".
#include "controls/tree/LazyStringTree.h"

#include <QString>
#include <QStringList>
#include <memory>

namespace treetest {

using namespace controls;

class TextTree {
public:
    // `columns` header columns named C0, C1, ... (0: no columns).
    explicit TextTree(int columns = 0);
    ~TextTree();
    TextTree(const TextTree&) = delete;
    TextTree& operator=(const TextTree&) = delete;

    TLazyStringTree* operator->() { return tree.get(); }
    TLazyStringTree& operator*() { return *tree; }

    // A node with its texts ("A/B" as path: under the node whose first text is A).
    PLazyNode add(PLazyNode parent, const QStringList& texts);
    PLazyNode add(const QString& path);
    PLazyNode find(const QString& text);
    QStringList& texts(PLazyNode node);
    QString shape();
    QString shapeOf(PLazyNode parent);

    std::unique_ptr<TLazyStringTree> tree;
    QStringList log;
};

} // namespace treetest
