// The grid's exchange formats at scale, in one run: 1,000,000 rows of 8 columns saved and
// loaded again through the binary cell stream (GridStreamRoundTrip) and through CSV
// (GridCsvRoundTrip), against the same texts written with QDataStream and read back into a grid
// of the same size (QtDataStreamRoundTrip). Targets: cell stream over QDataStream at most 2,
// CSV over QDataStream at most 3.
#include "common/GuiApp.h"
#include "controls/grid/input/GridInput.h"
#include "controls/grid/io/CellStream.h"
#include "controls/grid/io/Csv.h"

#include <QDataStream>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

constexpr int kRows = 1'000'000;
constexpr int kCols = 8;

using controls::grid::TExtStringGridInput;

std::unique_ptr<TExtStringGridInput> emptyGrid()
{
    auto g = std::make_unique<TExtStringGridInput>();
    g->SetFixedRows(0);
    g->SetFixedCols(0);
    return g;
}

TExtStringGridInput& source()
{
    static TExtStringGridInput* grid = [] {
        bench_common::ensureGuiApp();
        auto* g = emptyGrid().release();
        g->SetColCount(kCols);
        g->SetRowCount(kRows);
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kCols; ++c)
                g->SetGridCell(c, r, QStringLiteral("R%1C%2 text").arg(r).arg(c));
        return g;
    }();
    return *grid;
}

void GridStreamRoundTrip(benchmark::State& state)
{
    TExtStringGridInput& src = source();
    for (auto _ : state) {
        const QByteArray bytes = controls::grid::io::SaveToBinStream(src);
        auto target = emptyGrid();
        controls::grid::io::LoadFromBinStream(*target, bytes);
        benchmark::DoNotOptimize(target->Cells(kCols - 1, kRows - 1));
        state.counters["bytes"] = double(bytes.size());
    }
}

void QtDataStreamRoundTrip(benchmark::State& state)
{
    TExtStringGridInput& src = source();
    for (auto _ : state) {
        QByteArray bytes;
        {
            QDataStream out(&bytes, QIODevice::WriteOnly);
            out << qint32(kCols) << qint32(kRows);
            for (int r = 0; r < kRows; ++r)
                for (int c = 0; c < kCols; ++c)
                    out << src.GetGridCell(c, r);
        }
        auto target = emptyGrid();
        QDataStream in(bytes);
        qint32 cols = 0, rows = 0;
        in >> cols >> rows;
        target->SetColCount(cols);
        target->SetRowCount(rows);
        QString t;
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < cols; ++c) {
                in >> t;
                target->SetGridCell(c, r, t);
            }
        benchmark::DoNotOptimize(target->Cells(kCols - 1, kRows - 1));
        state.counters["bytes"] = double(bytes.size());
    }
}

void GridCsvRoundTrip(benchmark::State& state)
{
    TExtStringGridInput& src = source();
    for (auto _ : state) {
        const QByteArray bytes = controls::grid::io::SaveToCSVString(src).toUtf8();
        auto target = emptyGrid();
        target->Delimiter = u',';
        controls::grid::io::LoadFromCSVStream(*target, bytes);
        benchmark::DoNotOptimize(target->Cells(kCols - 1, kRows - 1));
        state.counters["bytes"] = double(bytes.size());
    }
}

BENCHMARK(QtDataStreamRoundTrip)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(GridStreamRoundTrip)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(GridCsvRoundTrip)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
