// The base grid at scale: painting, hit-testing and scrolling touch only the visible cells,
// so their cost must not grow with the row count (compare the 100 and 1,000,000 row runs);
// filling and deleting are single passes over the rows.
#include "platform/grid/StringGrid.h"

#include <QApplication>
#include <QWidget>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

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

using namespace platform;

class ExposedGrid : public TStringGrid {
public:
    using TStringGrid::TStringGrid;
    using TStringGrid::wmVScroll;
};

struct Shown {
    std::unique_ptr<QWidget> window;
    ExposedGrid* grid = nullptr;

    explicit Shown(int rows)
    {
        ensureApp();
        window = std::make_unique<QWidget>();
        window->resize(800, 600);
        grid = new ExposedGrid(window.get());
        grid->setGeometry(0, 0, 780, 580);
        grid->setColCount(8);
        grid->setRowCount(rows);
        window->show();
        QApplication::processEvents();
    }
};

void fillVisibleAndAround(TStringGrid* g, int fromRow, int count)
{
    for (int r = fromRow; r < fromRow + count && r < g->rowCount(); ++r)
        for (int c = 0; c < g->colCount(); ++c)
            g->setCells(c, r, QStringLiteral("cell %1/%2").arg(c).arg(r));
}

void BM_PaintVisibleCells(benchmark::State& state)
{
    Shown s(int(state.range(0)));
    const int middle = int(state.range(0)) / 2;
    s.grid->setTopRow(middle);
    fillVisibleAndAround(s.grid, s.grid->topRow(), 40);
    for (auto _ : state) {
        QImage img = s.grid->viewport()->grab().toImage();
        benchmark::DoNotOptimize(img.constBits());
    }
}
BENCHMARK(BM_PaintVisibleCells)->Arg(100)->Arg(1'000'000)->Unit(benchmark::kMicrosecond);

void BM_MouseToCell(benchmark::State& state)
{
    Shown s(int(state.range(0)));
    s.grid->setTopRow(int(state.range(0)) / 2);
    const int x = s.grid->clientWidth() - 10;
    const int y = s.grid->clientHeight() - 5;
    for (auto _ : state) {
        int col = 0, row = 0;
        s.grid->mouseToCell(x, y, col, row);
        benchmark::DoNotOptimize(col + row);
    }
}
BENCHMARK(BM_MouseToCell)->Arg(100)->Arg(1'000'000);

void BM_ScrollPageDownAndBack(benchmark::State& state)
{
    Shown s(int(state.range(0)));
    s.grid->setTopRow(int(state.range(0)) / 2);
    for (auto _ : state) {
        s.grid->wmVScroll(TScrollCode::SB_PAGEDOWN, 0);
        s.grid->wmVScroll(TScrollCode::SB_PAGEUP, 0);
    }
}
BENCHMARK(BM_ScrollPageDownAndBack)->Arg(100)->Arg(1'000'000);

void BM_FillEveryCell(benchmark::State& state)
{
    const int rows = int(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        Shown s(rows);
        state.ResumeTiming();
        fillVisibleAndAround(s.grid, 0, rows);
        benchmark::DoNotOptimize(s.grid->cellStore().textCount());
        state.PauseTiming();
        s.window.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * rows * 8);
}
BENCHMARK(BM_FillEveryCell)->Arg(10'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_DeleteFirstRow(benchmark::State& state)
{
    const int rows = int(state.range(0));
    Shown s(rows + 1000);
    fillVisibleAndAround(s.grid, 0, rows);
    for (auto _ : state)
        s.grid->deleteRow(1);
}
BENCHMARK(BM_DeleteFirstRow)->Arg(10'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace
