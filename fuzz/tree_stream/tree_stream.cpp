// Tree streams come from files, the clipboard and drops. Any bytes load without a crash or a
// leak; a stream that loads leaves a tree whose counts agree with its nodes, and what the tree
// then writes loads back to the very same bytes.
#include "TreeFuzzSupport.h"
#include "controls/tree/LazyStringTree.h"

#include <QApplication>
#include <QBuffer>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace {

using namespace controls;

// Keeps the position-cache worker alive between inputs.
TLazyStringTree* anchor = nullptr;

std::unique_ptr<TLazyStringTree> makeTree()
{
    auto tree = treefuzz::makeTextTree();
    // User chunks: a handler that reads a little, to walk the bounded chunk device.
    tree->OnLoadNode = [](TBaseLazyTree*, PLazyNode, QIODevice& stream) { (void)stream.read(3); };
    return tree;
}

using treefuzz::countsAgree;

QByteArray load(TBaseLazyTree& tree, const QByteArray& bytes, bool& ok)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    ok = true;
    try {
        tree.LoadFromStream(buffer);
    } catch (const ELazyTreeError&) {
        ok = false;
    }
    return ok ? tree.SaveToBytes() : QByteArray();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    new QApplication(*argc, *argv);
    anchor = TBaseLazyTree::create<TLazyStringTree>();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    auto tree = makeTree();
    bool ok = false;
    const QByteArray saved = load(*tree, bytes, ok);
    if (!ok)
        return 0;
    if (!countsAgree(*tree))
        std::abort();
    auto again = makeTree();
    bool reloaded = false;
    if (load(*again, saved, reloaded) != saved || !reloaded || !countsAgree(*again))
        std::abort();
    return 0;
}
