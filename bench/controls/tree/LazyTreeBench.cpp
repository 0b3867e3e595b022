// The lazy tree against Qt's QTreeView over a QStandardItemModel, in the same run, on the same
// viewport: 1,000 top-level nodes with 1,000 children each, 8 bytes of data per node, texts
// from OnGetText (the model holds the same texts as items).
//
// Counters (tree / view, lower is better) and their targets:
//   expand_per_view     expand everything, then one paint          <= 0.2
//   collapse_per_view   collapse everything, then one paint        <= 0.1
//   jump_per_view       bring a random node into view and paint    <= 1.0
//   bytes_per_view      heap per node after building (mallinfo2)   <= 0.5
#include "controls/tree/LazyStringTree.h"

#include <QApplication>
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

struct Pair {
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

Pair& pair()
{
    // Kept to the end of the process, like the application: widgets destroyed by the exit
    // handlers would reach Qt's own objects (the accessibility cache) after they are gone.
    static Pair& p = *new Pair;
    if (p.tree)
        return p;
    ensureApp();
    const double nodes = double(kTop) * (kChildren + 1);
    size_t before = heapInUse();
    p.tree.reset(TBaseLazyTree::create<TLazyStringTree>());
    TLazyStringTree* tree = p.tree.get();
    tree->SetNodeDataSize(sizeof(NodeData));
    tree->SetAnimationDuration(0);
    tree->OnGetText = [](TBaseLazyTree*, PLazyNode n, TColumnIndex, TVSTTextType type, QString& text) {
        if (type != ttNormal)
            return;
        const auto* d = reinterpret_cast<const NodeData*>(NodeDataAddress(n));
        text = d->level == 0 ? topText(d->index) : childText(d->index);
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
    QStandardItem* root = p.model->invisibleRootItem();
    for (int i = 0; i < kTop; ++i) {
        auto* top = new QStandardItem(topText(i));
        QList<QStandardItem*> children;
        children.reserve(kChildren);
        for (int j = 0; j < kChildren; ++j)
            children << new QStandardItem(childText(j));
        top->appendRows(children);
        root->appendRow(top);
    }
    p.viewBytesPerNode = double(heapInUse() - before) / nodes;

    p.view = std::make_unique<QTreeView>();
    p.view->setHeaderHidden(true);
    p.view->setUniformRowHeights(true);
    p.view->setModel(p.model.get());
    p.view->resize(kWidth, kHeight);
    p.view->show();
    tree->resize(kWidth, kHeight);
    tree->show();
    QApplication::processEvents();
    return p;
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
    Pair& p = pair();
    p.tree->FullExpand();
    p.view->expandAll();
    QApplication::processEvents();
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
}
BENCHMARK(BM_JumpAndPaintPerView)->Iterations(2)->Unit(benchmark::kMillisecond);

} // namespace
