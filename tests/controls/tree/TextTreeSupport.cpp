#include "TextTreeSupport.h"

#include <QDataStream>
#include <new>

namespace treetest {

TextTree::TextTree(int columns)
    : tree(TBaseLazyTree::create<TLazyStringTree>())
{
    tree->SetNodeDataSize(int(sizeof(QStringList)));
    tree->OnInitNode = [](TBaseLazyTree*, PLazyNode, PLazyNode, TLazyNodeInitStates&) {};
    tree->OnFreeNode = [](TBaseLazyTree*, PLazyNode node) {
        reinterpret_cast<QStringList*>(NodeDataAddress(node))->~QStringList();
    };
    tree->OnGetText = [](TBaseLazyTree*, PLazyNode node, TColumnIndex column, TVSTTextType type, QString& text) {
        if (type == ttNormal)
            text = reinterpret_cast<QStringList*>(NodeDataAddress(node))->value(column < 0 ? 0 : column);
    };
    tree->OnNewText = [this](TBaseLazyTree*, PLazyNode node, TColumnIndex column, const QString& text) {
        QStringList& list = texts(node);
        const int index = column < 0 ? 0 : column;
        while (list.size() <= index)
            list << QString();
        list[index] = text;
        log << QStringLiteral("new text ") + text;
    };
    tree->OnSaveNode = [](TBaseLazyTree*, PLazyNode node, QIODevice& stream) {
        QDataStream out(&stream);
        out << *reinterpret_cast<QStringList*>(NodeDataAddress(node));
    };
    tree->OnLoadNode = [](TBaseLazyTree* sender, PLazyNode node, QIODevice& stream) {
        QDataStream in(&stream);
        QStringList list;
        in >> list;
        *static_cast<QStringList*>(sender->GetNodeData(node)) = list;
    };
    // The captions are in the user chunk already.
    tree->StringTreeOptions().SetStringOptions({toAutoAcceptEditChange});
    for (int c = 0; c < columns; ++c) {
        TLazyTreeColumn* column = tree->Header().Columns().Add();
        column->SetText(QStringLiteral("C%1").arg(c));
        column->SetWidth(100);
    }
    if (columns > 0)
        tree->Header().SetOptions(tree->Header().Options() + hoVisible);
}

TextTree::~TextTree() { tree.reset(); }

QStringList& TextTree::texts(PLazyNode node) { return *reinterpret_cast<QStringList*>(NodeDataAddress(node)); }

PLazyNode TextTree::add(PLazyNode parent, const QStringList& list)
{
    PLazyNode node = tree->AddChild(parent);
    new (NodeDataAddress(node)) QStringList(list);
    tree->GetNodeData(node); // the node now frees its data
    return node;
}

PLazyNode TextTree::add(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    PLazyNode parent = slash < 0 ? nullptr : find(path.left(slash).section(QLatin1Char('/'), -1));
    return add(parent, QStringList{path.mid(slash + 1)});
}

PLazyNode TextTree::find(const QString& text)
{
    for (PLazyNode n = tree->GetFirstNoInit(); n; n = tree->GetNextNoInit(n))
        if (texts(n).value(0) == text)
            return n;
    return nullptr;
}

QString TextTree::shapeOf(PLazyNode parent)
{
    QStringList parts;
    for (PLazyNode c = parent->FirstChild; c; c = c->NextSibling) {
        QString part = texts(c).value(0);
        if (c->FirstChild)
            part += QLatin1Char('(') + shapeOf(c) + QLatin1Char(')');
        parts << part;
    }
    return parts.join(QLatin1Char(','));
}

QString TextTree::shape() { return shapeOf(tree->RootNode()); }

} // namespace treetest
