// Painting one screen of a 1,000,000-row column grid whose cells all hold short mini-HTML
// ("<B>12.5</B> °C", drawn by the HTML renderer) against the same grid holding the plain text
// ("12.5 °C"). Each iteration scrolls to a seeded random row and paints the viewport offscreen.
// Reported: time per screen of each, and GridPaintHtml / GridPaintPlain measured in one loop of
// the same length (target: at most 3).
#include "common/GuiApp.h"
#include "controls/grid/column/ColumnGrid.h"

#include <QApplication>
#include <QPixmap>
#include <QWidget>
#include <benchmark/benchmark.h>
#include <chrono>
#include <memory>
#include <random>

namespace {

constexpr int kRows = 1'000'000;
constexpr int kCols = 6;
constexpr int kWidth = 780;
constexpr int kHeight = 580;

struct GridScene {
    std::unique_ptr<QWidget> window;
    controls::grid::TExtColumnGrid* grid = nullptr;

    explicit GridScene(const QString& text)
    {
        bench_common::ensureGuiApp();
        window = std::make_unique<QWidget>();
        window->resize(kWidth + 20, kHeight + 20);
        grid = new controls::grid::TExtColumnGrid(window.get());
        grid->setGeometry(0, 0, kWidth, kHeight);
        grid->SetColCount(kCols);
        grid->SetRowCount(kRows);
        for (int r = 1; r < kRows; ++r) {
            grid->SetCells(0, r, QString::number(r));
            for (int c = 1; c < kCols; ++c)
                grid->SetCells(c, r, text);
        }
        window->show();
        QApplication::processEvents();
    }

    void paintAt(int row)
    {
        grid->SetTopRow(row);
        QPixmap shot = grid->viewport()->grab();
        benchmark::DoNotOptimize(shot);
    }
};

GridScene& htmlScene()
{
    static GridScene* s = new GridScene(QStringLiteral("<B>12.5</B> \u00B0C"));
    return *s;
}

GridScene& plainScene()
{
    static GridScene* s = new GridScene(QStringLiteral("12.5 \u00B0C"));
    return *s;
}

void paintLoop(benchmark::State& state, GridScene& s)
{
    std::mt19937 random(4242);
    std::uniform_int_distribution<int> rows(1, kRows - 40);
    for (auto _ : state)
        s.paintAt(rows(random));
}

void BM_GridPaintHtml(benchmark::State& state) { paintLoop(state, htmlScene()); }
void BM_GridPaintPlain(benchmark::State& state) { paintLoop(state, plainScene()); }

// Both again in loops of the same length, one after the other, and the ratio.
void BM_GridPaintHtmlOverPlain(benchmark::State& state)
{
    GridScene& html = htmlScene();
    GridScene& plain = plainScene();
    constexpr int kScreens = 200;
    auto time = [](GridScene& s) {
        std::mt19937 random(99);
        std::uniform_int_distribution<int> rows(1, kRows - 40);
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < kScreens; ++i)
            s.paintAt(rows(random));
        return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count() / kScreens;
    };
    double htmlUs = 0, plainUs = 0;
    for (auto _ : state) {
        htmlUs = time(html);
        plainUs = time(plain);
    }
    state.counters["html_us_per_screen"] = htmlUs;
    state.counters["plain_us_per_screen"] = plainUs;
    state.counters["GridPaintHtml_over_GridPaintPlain"] = htmlUs / plainUs;
}

} // namespace

BENCHMARK(BM_GridPaintHtml)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GridPaintPlain)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GridPaintHtmlOverPlain)->Iterations(3)->Unit(benchmark::kMillisecond);
