// The lazy tree against Qt's QTreeView over a QStandardItemModel, in the same run, on the same
// viewport: 1,000 top-level nodes with 1,000 children each, 8 bytes of data per node, texts
// from OnGetText (the model holds the same texts as items).
//
// Counters (tree / view, lower is better) and their targets:
//   expand_per_view     expand everything, then one paint          <= 0.2
//   collapse_per_view   collapse everything, then one paint        <= 0.1
//   jump_per_view       bring a random node into view and paint,   <= 1.0
//                       8 columns on both sides (counter columns)
//   bytes_per_view      heap per node after building (mallinfo2)   <= 0.5
//   sort_per_qt         LazyTreeSort / QtTreeSort: 1,000,000       <= 0.5
//                       children of the root sorted by their text
// and LazyTreeStreamRoundTrip: the 1,000,000-node tree with its captions saved to a stream and
// loaded back, reported in MB/s (MB_per_s).
//
// Every tree here is built inside one update bracket. With toAutoSort (on by default) a tree
// that compares its nodes sorts the parent after each AddChild made outside a bracket, which a
// million-node build could not afford; inside a bracket nothing sorts until the bracket ends,
// and then the tree is sorted once. LazyTreeAutoSortedBuild measures that: 1,000,000 AddChild
// calls in a bracket (build_ms) and its end with the one sort (end_update_ms), compared with
// the explicit sort of LazyTreeSort (end_update_per_sort, about 1 plus initialising the nodes).
// The trees without a comparison are never sorted automatically.
#include "controls/tree/LazyStringTree.h"

#include <QApplication>
#include <QBuffer>
#include <QHeaderView>
#include <QStandardItemModel>
#include <QTreeView>
#include <benchmark/benchmark.h>
#include <chrono>
#include <malloc.h>
#include <memory>
#include <random>

namespace {

using namespace controls;
using Clock = std::chrono::steady_clock;

constexpr int kTop = 1000;
constexpr int kChildren = 1000;
constexpr int kWidth = 400;
constexpr int kHeight = 600;

void ensureApp()
{
    // Kept to the end of the process: an application destroyed by the exit handlers would
    // outlive the platform plugin it uses.
    static QApplication* app = nullptr;
    if (!app) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "bench";
        static char* argv[] = {name, nullptr};
        app = new QApplication(argc, argv);
    }
}

size_t heapInUse()
{
    malloc_trim(0);
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

QString topText(int i) { return QStringLiteral("Primary Address = %1 - Meter").arg(i); }
QString childText(int i) { return QStringLiteral("Storage Number = %1").arg(i); }
// The text of a cell: the tree column in column 0 (or without columns), values in the others.
QString cellText(int level, int index, int column)
{
    if (column <= 0)
        return level == 0 ? topText(index) : childText(index);
    return QStringLiteral("Value %1.%2").arg(index).arg(column);
}

struct Pair {
    int columns = 0;
    std::unique_ptr<TLazyStringTree> tree;
    std::unique_ptr<QStandardItemModel> model;
    std::unique_ptr<QTreeView> view;
    double treeBytesPerNode = 0;
    double viewBytesPerNode = 0;
};

// The 8 bytes of a node: its number among its siblings and whether it is a meter.
struct NodeData {
    int32_t index;
    int32_t level;
};

// The pair with `columns` columns (1: no header columns in the tree, a hidden header in the
// view); a pair of another width is freed first.
Pair& pair(int columns = 1)
{
    // Kept to the end of the process like the application: widgets destroyed by the exit
    // handlers would outlive the platform plugin they use.
    static Pair& p = *new Pair;
    if (p.tree && p.columns == columns)
        return p;
    p = Pair{};
    p.columns = columns;
    ensureApp();
    const double nodes = double(kTop) * (kChildren + 1);
    size_t before = heapInUse();
    p.tree.reset(TBaseLazyTree::create<TLazyStringTree>());
    TLazyStringTree* tree = p.tree.get();
    tree->SetNodeDataSize(sizeof(NodeData));
    tree->SetAnimationDuration(0);
    tree->OnGetText = [](TBaseLazyTree*, PLazyNode n, TColumnIndex column, TVSTTextType type, QString& text) {
        if (type != ttNormal)
            return;
        const auto* d = reinterpret_cast<const NodeData*>(NodeDataAddress(n));
        text = cellText(d->level, d->index, column);
    };
    tree->BeginUpdate();
    for (int i = 0; i < kTop; ++i) {
        PLazyNode top = tree->AddChild(nullptr);
        *tree->GetNodeData<NodeData>(top) = NodeData{i, 0};
        tree->SetChildCount(top, kChildren);
        int j = 0;
        for (PLazyNode c = top->FirstChild; c; c = c->NextSibling)
            *reinterpret_cast<NodeData*>(NodeDataAddress(c)) = NodeData{j++, 1};
    }
    tree->EndUpdate();
    p.treeBytesPerNode = double(heapInUse() - before) / nodes;

    before = heapInUse();
    p.model = std::make_unique<QStandardItemModel>();
    p.model->setColumnCount(columns);
    QStandardItem* root = p.model->invisibleRootItem();
    auto row = [&](int level, int index) {
        QList<QStandardItem*> cells;
        for (int c = 0; c < columns; ++c)
            cells << new QStandardItem(cellText(level, index, c));
        return cells;
    };
    for (int i = 0; i < kTop; ++i) {
        QList<QStandardItem*> top = row(0, i);
        for (int j = 0; j < kChildren; ++j)
            top[0]->appendRow(row(1, j));
        root->appendRow(top);
    }
    p.viewBytesPerNode = double(heapInUse() - before) / nodes;

    p.view = std::make_unique<QTreeView>();
    p.view->setHeaderHidden(columns == 1);
    p.view->setUniformRowHeights(true);
    p.view->setModel(p.model.get());
    p.view->resize(kWidth, kHeight);
    p.view->show();
    if (columns > 1) {
        // The same columns in the tree, as wide as the view's sections, the header shown.
        TLTHeader& header = tree->Header();
        for (int c = 0; c < columns; ++c) {
            TLazyTreeColumn* column = header.Columns().Add();
            column->SetText(QStringLiteral("Column %1").arg(c));
            column->SetWidth(p.view->header()->sectionSize(c));
        }
        header.SetOptions(header.Options() + hoVisible);
    }
    tree->resize(kWidth, kHeight);
    tree->show();
    QApplication::processEvents();
    return p;
}

// Lets the tree's worker build its position cache.
void waitForCache(TBaseLazyTree& tree)
{
    const auto deadline = Clock::now() + std::chrono::seconds(30);
    while (!tree.TreeStates().contains(tsUseCache) && Clock::now() < deadline)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
}

template <typename F>
double msOf(const F& f)
{
    const auto start = Clock::now();
    f();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void BM_BytesPerNode(benchmark::State& state)
{
    Pair& p = pair();
    for (auto _ : state)
        benchmark::DoNotOptimize(p.tree.get());
    state.counters["tree_bytes_per_node"] = p.treeBytesPerNode;
    state.counters["view_bytes_per_node"] = p.viewBytesPerNode;
    state.counters["bytes_per_view"] = p.treeBytesPerNode / p.viewBytesPerNode;
}
BENCHMARK(BM_BytesPerNode)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_ExpandAllPerView(benchmark::State& state)
{
    Pair& p = pair();
    double treeMs = 0;
    double viewMs = 0;
    for (auto _ : state) {
        p.tree->FullCollapse();
        p.view->collapseAll();
        QApplication::processEvents();
        treeMs += msOf([&] {
            p.tree->FullExpand();
            p.tree->viewport()->repaint();
        });
        viewMs += msOf([&] {
            p.view->expandAll();
            p.view->viewport()->repaint();
        });
    }
    state.counters["tree_ms"] = treeMs / double(state.iterations());
    state.counters["view_ms"] = viewMs / double(state.iterations());
    state.counters["expand_per_view"] = treeMs / viewMs;
}
BENCHMARK(BM_ExpandAllPerView)->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_CollapseAllPerView(benchmark::State& state)
{
    Pair& p = pair();
    double treeMs = 0;
    double viewMs = 0;
    for (auto _ : state) {
        p.tree->FullExpand();
        p.view->expandAll();
        p.tree->viewport()->repaint();
        p.view->viewport()->repaint();
        treeMs += msOf([&] {
            p.tree->FullCollapse();
            p.tree->viewport()->repaint();
        });
        viewMs += msOf([&] {
            p.view->collapseAll();
            p.view->viewport()->repaint();
        });
    }
    state.counters["tree_ms"] = treeMs / double(state.iterations());
    state.counters["view_ms"] = viewMs / double(state.iterations());
    state.counters["collapse_per_view"] = treeMs / viewMs;
}
BENCHMARK(BM_CollapseAllPerView)->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_JumpAndPaintPerView(benchmark::State& state)
{
    constexpr int columns = 8;
    Pair& p = pair(columns);
    p.tree->FullExpand();
    p.view->expandAll();
    QApplication::processEvents();
    waitForCache(*p.tree);
    // The same seeded targets for both: (meter, record).
    std::mt19937 random(20240601);
    std::uniform_int_distribution<int> top(0, kTop - 1);
    std::uniform_int_distribution<int> child(0, kChildren - 1);
    std::vector<std::pair<int, int>> targets(200);
    for (auto& t : targets)
        t = {top(random), child(random)};
    std::vector<PLazyNode> treeTops;
    for (PLazyNode n = p.tree->RootNode()->FirstChild; n; n = n->NextSibling)
        treeTops.push_back(n);
    double treeMs = 0;
    double viewMs = 0;
    for (auto _ : state) {
        for (const auto& [t, c] : targets) {
            PLazyNode node = treeTops[size_t(t)]->FirstChild;
            for (int i = 0; i < c; ++i)
                node = node->NextSibling;
            const QModelIndex index = p.model->index(c, 0, p.model->index(t, 0));
            treeMs += msOf([&] {
                p.tree->ScrollIntoView(node, true);
                p.tree->viewport()->repaint();
            });
            viewMs += msOf([&] {
                p.view->scrollTo(index, QAbstractItemView::PositionAtCenter);
                p.view->viewport()->repaint();
            });
        }
    }
    const double jumps = double(state.iterations()) * double(targets.size());
    state.counters["tree_ms"] = treeMs / jumps;
    state.counters["view_ms"] = viewMs / jumps;
    state.counters["jump_per_view"] = treeMs / viewMs;
    state.counters["columns"] = columns;
    state.counters["cache_entries"] = double(p.tree->PositionCache().size());
}
BENCHMARK(BM_JumpAndPaintPerView)->Iterations(2)->Unit(benchmark::kMillisecond);

// --- sorting 1,000,000 siblings by text -----------------------------------------------------

constexpr int kSorted = 1000000;

// The same texts for both sides, in the same random order.
const std::vector<QString>& sortTexts()
{
    static std::vector<QString> texts = [] {
        std::vector<QString> t;
        t.reserve(kSorted);
        std::mt19937 random(4242);
        for (int i = 0; i < kSorted; ++i)
            t.push_back(QStringLiteral("Meter %1 record %2").arg(random() % 100000, 5, 10, QLatin1Char('0')).arg(random() % 1000));
        return t;
    }();
    return texts;
}

double gLazySortMs = 0;

void LazyTreeSort(benchmark::State& state)
{
    ensureApp();
    const std::vector<QString>& texts = sortTexts();
    double ms = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<TLazyStringTree> tree(TBaseLazyTree::create<TLazyStringTree>());
        tree->SetNodeDataSize(sizeof(int32_t));
        tree->BeginUpdate();
        tree->SetRootNodeCount(kSorted);
        int32_t i = 0;
        for (PLazyNode n = tree->RootNode()->FirstChild; n; n = n->NextSibling)
            *reinterpret_cast<int32_t*>(NodeDataAddress(n)) = i++;
        tree->EndUpdate();
        // The text of a node comes from the caller, who compares two of them.
        tree->OnCompareNodes = [&texts](TBaseLazyTree*, PLazyNode a, PLazyNode b, TColumnIndex, int& result) {
            result = texts[size_t(*reinterpret_cast<const int32_t*>(NodeDataAddress(a)))].compare(
                texts[size_t(*reinterpret_cast<const int32_t*>(NodeDataAddress(b)))]);
        };
        state.ResumeTiming();
        ms += msOf([&] { tree->Sort(nullptr, 0, sdAscending, false); });
        state.PauseTiming();
        tree.reset();
        state.ResumeTiming();
    }
    gLazySortMs = ms / double(state.iterations());
    state.counters["tree_ms"] = gLazySortMs;
}
BENCHMARK(LazyTreeSort)->Iterations(1)->Unit(benchmark::kMillisecond);

void QtTreeSort(benchmark::State& state)
{
    ensureApp();
    const std::vector<QString>& texts = sortTexts();
    double ms = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto model = std::make_unique<QStandardItemModel>();
        QList<QStandardItem*> items;
        items.reserve(kSorted);
        for (const QString& text : texts)
            items << new QStandardItem(text);
        model->invisibleRootItem()->appendRows(items);
        QTreeView view;
        view.setHeaderHidden(true);
        view.setUniformRowHeights(true);
        view.setModel(model.get());
        state.ResumeTiming();
        ms += msOf([&] { model->sort(0, Qt::AscendingOrder); });
        state.PauseTiming();
        view.setModel(nullptr);
        model.reset();
        state.ResumeTiming();
    }
    const double qtMs = ms / double(state.iterations());
    state.counters["view_ms"] = qtMs;
    if (gLazySortMs > 0)
        state.counters["sort_per_qt"] = gLazySortMs / qtMs;
}
BENCHMARK(QtTreeSort)->Iterations(1)->Unit(benchmark::kMillisecond);

void LazyTreeAutoSortedBuild(benchmark::State& state)
{
    ensureApp();
    const std::vector<QString>& texts = sortTexts();
    double buildMs = 0;
    double endMs = 0;
    for (auto _ : state) {
        std::unique_ptr<TLazyStringTree> tree(TBaseLazyTree::create<TLazyStringTree>());
        tree->SetNodeDataSize(int(sizeof(void*)));
        // The number of a node's text travels as AddChild's user data.
        auto text = [&texts](PLazyNode n) -> const QString& {
            return texts[size_t(*reinterpret_cast<const intptr_t*>(NodeDataAddress(n)))];
        };
        tree->OnCompareNodes = [&text](TBaseLazyTree*, PLazyNode a, PLazyNode b, TColumnIndex, int& result) {
            result = text(a).compare(text(b));
        };
        buildMs += msOf([&] {
            tree->BeginUpdate();
            for (intptr_t i = 0; i < kSorted; ++i)
                tree->AddChild(nullptr, reinterpret_cast<void*>(i));
        });
        endMs += msOf([&] { tree->EndUpdate(); });
        state.PauseTiming();
        bool ordered = true;
        for (PLazyNode n = tree->RootNode()->FirstChild; n && n->NextSibling && ordered; n = n->NextSibling)
            ordered = text(n) <= text(n->NextSibling);
        if (!ordered)
            state.SkipWithError("the bracket's end left the nodes unsorted");
        tree.reset();
        state.ResumeTiming();
    }
    state.counters["build_ms"] = buildMs / double(state.iterations());
    state.counters["end_update_ms"] = endMs / double(state.iterations());
    if (gLazySortMs > 0)
        state.counters["end_update_per_sort"] = endMs / double(state.iterations()) / gLazySortMs;
}
BENCHMARK(LazyTreeAutoSortedBuild)->Iterations(1)->Unit(benchmark::kMillisecond);

// --- the stream -----------------------------------------------------------------------------

void LazyTreeStreamRoundTrip(benchmark::State& state)
{
    Pair& p = pair(1);
    TLazyStringTree* tree = p.tree.get();
    // Captions carry the texts (loading hands them to OnNewText, which a caller keeps) and the
    // user chunk the 8 bytes of node data.
    tree->OnNewText = [](TBaseLazyTree*, PLazyNode, TColumnIndex, const QString&) {};
    tree->OnSaveNode = [](TBaseLazyTree*, PLazyNode n, QIODevice& s) {
        s.write(reinterpret_cast<const char*>(NodeDataAddress(n)), sizeof(NodeData));
    };
    tree->OnLoadNode = [](TBaseLazyTree*, PLazyNode n, QIODevice& s) {
        s.read(reinterpret_cast<char*>(NodeDataAddress(n)), sizeof(NodeData));
    };
    QByteArray bytes;
    double ms = 0;
    for (auto _ : state) {
        ms += msOf([&] {
            QBuffer out(&bytes);
            out.open(QIODevice::WriteOnly | QIODevice::Truncate);
            tree->SaveToStream(out);
            out.close();
            QBuffer in(&bytes);
            in.open(QIODevice::ReadOnly);
            tree->LoadFromStream(in);
        });
    }
    const double seconds = ms / 1000.0 / double(state.iterations());
    state.counters["stream_bytes"] = double(bytes.size());
    state.counters["nodes"] = double(tree->RootNode()->TotalCount - 1);
    state.counters["MB_per_s"] = double(bytes.size()) / 1e6 / seconds;
}
BENCHMARK(LazyTreeStreamRoundTrip)->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace
