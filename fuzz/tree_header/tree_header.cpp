// Header streams are kept with a tree's settings. Any bytes load without a crash; a stream
// that is refused leaves the columns and options alone, and one that loads gives a header
// whose stream loads into another tree as equal columns.
#include "controls/tree/LazyTree.h"

#include <QApplication>
#include <QBuffer>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace {

using namespace controls;

TBaseLazyTree* anchor = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    new QApplication(*argc, *argv);
    anchor = TBaseLazyTree::create<TBaseLazyTree>();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::unique_ptr<TBaseLazyTree> tree(TBaseLazyTree::create<TBaseLazyTree>());
    tree->Header().Columns().Add()->SetText(QStringLiteral("Before"));
    const TLTHeaderOptions options = tree->Header().Options();
    QBuffer buffer;
    buffer.setData(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    buffer.open(QIODevice::ReadOnly);
    try {
        tree->Header().LoadFromStream(buffer);
    } catch (const ELazyTreeError&) {
        if (tree->Header().Columns().Count() != 1 || tree->Header().Options() != options)
            std::abort();
        return 0;
    }
    // The positions are a permutation of the columns.
    const auto& positions = tree->Header().Columns().PositionToIndex();
    std::vector<bool> seen(positions.size(), false);
    for (TColumnIndex index : positions) {
        if (index < 0 || size_t(index) >= seen.size() || seen[size_t(index)])
            std::abort();
        seen[size_t(index)] = true;
    }
    QBuffer out;
    out.open(QIODevice::ReadWrite);
    tree->Header().SaveToStream(out);
    std::unique_ptr<TBaseLazyTree> other(TBaseLazyTree::create<TBaseLazyTree>());
    out.seek(0);
    try {
        other->Header().LoadFromStream(out);
    } catch (const ELazyTreeError&) {
        std::abort();
    }
    if (!other->Header().Columns().Equals(&tree->Header().Columns()))
        std::abort();
    return 0;
}
