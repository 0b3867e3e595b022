// The string grid at the scale of the benchmarks: 1,000,000 rows of 8 columns filled through
// Cells, against the same texts in a QStandardItemModel under a QTableView of the same size.
// For seeded random rows the grid makes the row current and paints offscreen; the view scrolls
// to the row and paints the same way. Reported: time per jump and paint, heap bytes per row
// (glibc's allocator statistics around each fill), and both as grid over view (targets: at most
// 1.0 each, in the same run).
#include "controls/grid/core/ExtStringGrid.h"

#include <QApplication>
#include <QHeaderView>
#include <QPixmap>
#include <QStandardItemModel>
#include <QTableView>
#include <QWidget>
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <memory>
#include <chrono>
#include <random>

namespace {

constexpr int kRows = 1'000'000;
constexpr int kCols = 8;
constexpr int kWidth = 780;
constexpr int kHeight = 580;

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
    return mallinfo2().uordblks;
}

QString cellText(int c, int r) { return QStringLiteral("R%1C%2").arg(r).arg(c); }

struct Scene {
    std::unique_ptr<QWidget> gridWindow;
    controls::grid::TExtStringGrid* grid = nullptr;
    std::unique_ptr<QWidget> viewWindow;
    QStandardItemModel* model = nullptr;
    QTableView* view = nullptr;
    double gridBytesPerRow = 0;
    double viewBytesPerRow = 0;
    double gridJumpPaintNs = 0;
    double viewJumpPaintNs = 0;

    Scene()
    {
        ensureApp();
        gridWindow = std::make_unique<QWidget>();
        gridWindow->resize(kWidth + 20, kHeight + 20);
        const size_t beforeGrid = heapInUse();
        grid = new controls::grid::TExtStringGrid(gridWindow.get());
        grid->setGeometry(0, 0, kWidth, kHeight);
        grid->SetColCount(kCols);
        grid->SetRowCount(kRows);
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kCols; ++c)
                grid->SetCells(c, r, cellText(c, r));
        gridBytesPerRow = double(heapInUse() - beforeGrid) / kRows;
        gridWindow->show();

        viewWindow = std::make_unique<QWidget>();
        viewWindow->resize(kWidth + 20, kHeight + 20);
        const size_t beforeView = heapInUse();
        model = new QStandardItemModel(kRows, kCols, viewWindow.get());
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kCols; ++c)
                model->setItem(r, c, new QStandardItem(cellText(c, r)));
        view = new QTableView(viewWindow.get());
        view->setModel(model);
        view->setGeometry(0, 0, kWidth, kHeight);
        view->verticalHeader()->setDefaultSectionSize(grid->DefaultRowHeight());
        viewBytesPerRow = double(heapInUse() - beforeView) / kRows;
        viewWindow->show();
        QApplication::processEvents();
    }
};

Scene& scene()
{
    static Scene* s = new Scene;
    return *s;
}

void BM_GridJumpPaint(benchmark::State& state)
{
    Scene& s = scene();
    std::mt19937 random(12345);
    std::uniform_int_distribution<int> rows(1, kRows - 1);
    for (auto _ : state) {
        s.grid->SetRow(rows(random));
        QPixmap shot = s.grid->viewport()->grab();
        benchmark::DoNotOptimize(shot);
    }
    state.counters["bytes_per_row"] = s.gridBytesPerRow;
    state.counters["jump_paint_ns"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate |
                                                                                         benchmark::Counter::kInvert);
}

void BM_ViewJumpPaint(benchmark::State& state)
{
    Scene& s = scene();
    std::mt19937 random(12345);
    std::uniform_int_distribution<int> rows(1, kRows - 1);
    for (auto _ : state) {
        const QModelIndex index = s.model->index(rows(random), 1);
        s.view->setCurrentIndex(index);
        s.view->scrollTo(index);
        QPixmap shot = s.view->viewport()->grab();
        benchmark::DoNotOptimize(shot);
    }
    state.counters["bytes_per_row"] = s.viewBytesPerRow;
    state.counters["jump_paint_ns"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate |
                                                                                         benchmark::Counter::kInvert);
}

// Runs both measurements again in one loop of the same length and reports grid over view.
void BM_GridOverView(benchmark::State& state)
{
    Scene& s = scene();
    constexpr int kJumps = 200;
    auto timeJumps = [](auto&& jump) {
        std::mt19937 random(777);
        std::uniform_int_distribution<int> rows(1, kRows - 1);
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < kJumps; ++i)
            jump(rows(random));
        return std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - start).count() / kJumps;
    };
    for (auto _ : state) {
        s.gridJumpPaintNs = timeJumps([&](int r) {
            s.grid->SetRow(r);
            QPixmap shot = s.grid->viewport()->grab();
            benchmark::DoNotOptimize(shot);
        });
        s.viewJumpPaintNs = timeJumps([&](int r) {
            const QModelIndex index = s.model->index(r, 1);
            s.view->setCurrentIndex(index);
            s.view->scrollTo(index);
            QPixmap shot = s.view->viewport()->grab();
            benchmark::DoNotOptimize(shot);
        });
    }
    state.counters["jump_paint_grid_over_view"] = s.gridJumpPaintNs / s.viewJumpPaintNs;
    state.counters["bytes_per_row_grid_over_view"] = s.gridBytesPerRow / s.viewBytesPerRow;
    state.counters["grid_bytes_per_row"] = s.gridBytesPerRow;
    state.counters["view_bytes_per_row"] = s.viewBytesPerRow;
}

} // namespace

BENCHMARK(BM_GridJumpPaint)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ViewJumpPaint)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GridOverView)->Iterations(1)->Unit(benchmark::kMillisecond);
