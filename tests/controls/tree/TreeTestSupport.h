#pragma once
// Shared pieces of the tree tests: a tree whose nodes carry their name as a QString in the
// user data (constructed in place, destroyed in OnFreeNode, so AddressSanitizer sees every
// leak and double free), lookups by name, an event log, and a checker of the structure's
// invariants computed by brute force.
#include "controls/tree/LazyTree.h"

#include <QString>
#include <QStringList>
#include <memory>

namespace treetest {

using namespace controls;

class NamedTree {
public:
    NamedTree();
    ~NamedTree();
    NamedTree(const NamedTree&) = delete;
    NamedTree& operator=(const NamedTree&) = delete;

    TBaseLazyTree* operator->() { return tree; }
    TBaseLazyTree& operator*() { return *tree; }

    // Adds a child named `name` ("A/B" means: under the node named A, a node named B).
    PLazyNode add(const QString& path);
    PLazyNode add(PLazyNode parent, const QString& name);
    // Names a node that was made without one (by SetChildCount or InsertNode).
    void name(PLazyNode node, const QString& name);
    // The node of that name (nullptr when there is none).
    PLazyNode find(const QString& name);
    QString nameOf(PLazyNode node);
    // "A,A1,A2,B": the names of the nodes in document order.
    QString names();

    TBaseLazyTree* tree;
    QStringList freed;
    QStringList log;
};

// An interface reference that counts its references (starting at 1, its owner's).
class CountedReference : public ILazyTreeReference {
public:
    int count = 1;
    void AddRef() override { ++count; }
    void Release() override { --count; }
};

// "" when the invariants hold, else what is wrong.
QString checkInvariants(TBaseLazyTree& tree);

// The names of a list of nodes, joined by ",", "-" for nullptr.
QString namesOf(NamedTree& t, std::initializer_list<PLazyNode> nodes);

} // namespace treetest
