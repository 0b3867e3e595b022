// "Lazy Tree Data" comes from the clipboard and from drops, so from any program. Any bytes are
// either refused whole - the tree that was to take them stays exactly as it was - or taken
// whole, leaving a tree whose counts agree with its nodes. The same bytes read as a tree
// reference never name a tree.
#include "TreeFuzzSupport.h"
#include "controls/tree/LazyStringTree.h"
#include "controls/tree/LazyTreeTransfer.h"
#include "platform/exchange/NamedFormats.h"

#include <QApplication>
#include <QMimeData>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace {

using namespace controls;

TLazyStringTree* anchor = nullptr;

std::unique_ptr<TLazyStringTree> makeTree()
{
    auto tree = treefuzz::makeTextTree();
    for (const char* name : {"A", "B"}) {
        PLazyNode n = tree->AddChild(nullptr);
        *static_cast<QString*>(tree->GetNodeData(n)) = QString::fromLatin1(name);
    }
    return tree;
}

using treefuzz::countsAgree;

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
    if (ResolveTreeReference(bytes) != nullptr)
        std::abort();
    auto tree = makeTree();
    const QByteArray before = tree->SaveToBytes();
    const bool readable = ReadTreeDataPayload(bytes).has_value();
    QMimeData mime;
    mime.setData(platform::mimeTypeOfFormat(QStringLiteral("Lazy Tree Data")), bytes);
    const bool taken = tree->ProcessOLEData(nullptr, &mime, tree->GetFirst(), amAddChildLast, false);
    if (taken != readable || !countsAgree(*tree))
        std::abort();
    if (!taken && tree->SaveToBytes() != before)
        std::abort();
    return 0;
}
