// Cost of what a grid does for every visible cell: fill its background, frame it and draw its
// text (a short single line, and a word-broken one with an ellipsis), and of one themed check
// box. A window of 40 rows and 10 columns paints 400 such cells.
#include "platform/draw/Canvas.h"
#include "platform/core/Errors.h"
#include "platform/draw/Frames.h"
#include "platform/draw/Graphics.h"
#include "platform/draw/TextFit.h"
#include "platform/draw/Theme.h"

#include "common/GuiApp.h"

#include <benchmark/benchmark.h>
#include <QtEndian>
#include <chrono>

namespace {

using namespace platform;

QFont cellFont()
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(11);
    return f;
}

void BM_CellSingleLine(benchmark::State& state)
{
    bench_common::ensureGuiApp();
    Bitmap b(120, 22);
    Canvas c(b);
    c.font() = Font{cellFont(), clWindowText};
    c.brush() = Brush{clWindow, BrushStyle::Solid};
    for (auto _ : state) {
        c.fillRect(Rect{0, 0, 120, 22});
        Rect r{2, 2, 118, 20};
        c.setBkMode(BkMode::Transparent);
        c.drawText(QStringLiteral("ANALOG INPUT 1234"), r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_EXPANDTABS);
    }
}
BENCHMARK(BM_CellSingleLine);

void BM_CellWordBreakEllipsis(benchmark::State& state)
{
    bench_common::ensureGuiApp();
    Bitmap b(120, 40);
    Canvas c(b);
    c.font() = Font{cellFont(), clWindowText};
    c.brush().style = BrushStyle::Clear;
    for (auto _ : state) {
        Rect r{2, 2, 118, 38};
        c.drawText(QStringLiteral("Flow temperature of the return line, meter 12, storage 3"), r,
                   DT_WORDBREAK | DT_EDITCONTROL | DT_END_ELLIPSIS | DT_NOPREFIX);
    }
}
BENCHMARK(BM_CellWordBreakEllipsis);

void BM_ClassicCheckBox(benchmark::State& state)
{
    bench_common::ensureGuiApp();
    Bitmap b(20, 20);
    Canvas c(b);
    for (auto _ : state) {
        Rect r{3, 3, 16, 16};
        DrawFrameControl(c, r, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED);
    }
}
BENCHMARK(BM_ClassicCheckBox);

void BM_ThemedCheckBox(benchmark::State& state)
{
    bench_common::ensureGuiApp();
    Bitmap b(20, 20);
    Canvas c(b);
    for (auto _ : state) {
        const HTHEME h = OpenThemeData(nullptr, QStringLiteral("button"));
        DrawThemeBackground(h, c, BP_CHECKBOX, CBS_CHECKEDNORMAL, Rect{3, 3, 16, 16});
        CloseThemeData(h);
    }
}
BENCHMARK(BM_ThemedCheckBox);

// A word without a blank, `units` long, laid out and painted as cells and captions do: its
// measured size broken like an edit control at a cell's width (every line of it), drawn in a
// single-line cell, a word-broken cell with an ellipsis, a right-aligned cell, and cut with
// "..." to a cell's width. The lines must cost what reading the word costs: a megabyte at most
// 16 times (goal: 32) what 64 KiB costs. The 1 MiB case measures the 64 KiB case in the same run
// and reports the ratio as ratio_1MiB_per_64KiB.
QString longWord(qsizetype units)
{
    QString s;
    s.reserve(units);
    for (int i = 0; s.size() < units; ++i)
        s += QLatin1Char(char('a' + (i * 7) % 26));
    return s;
}

void layOutAndPaint(Canvas& c, const QString& word)
{
    Rect calc{0, 0, 116, 0};
    benchmark::DoNotOptimize(c.drawText(word, calc, DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX | DT_CALCRECT));
    c.fillRect(Rect{0, 0, 120, 60});
    Rect single{2, 2, 118, 20};
    c.drawText(word, single, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_EXPANDTABS);
    Rect wrapped{2, 20, 118, 58};
    c.drawText(word, wrapped, DT_WORDBREAK | DT_EDITCONTROL | DT_END_ELLIPSIS | DT_NOPREFIX);
    Rect right{2, 40, 118, 58};
    c.drawText(word, right, DT_SINGLELINE | DT_RIGHT | DT_NOPREFIX);
    benchmark::DoNotOptimize(c.textFit().elide(word, 116));
}

struct WordCanvas {
    Bitmap bitmap{120, 60};
    Canvas canvas{bitmap};
    WordCanvas()
    {
        canvas.font() = Font{cellFont(), clWindowText};
        canvas.brush() = Brush{clWindow, BrushStyle::Solid};
        canvas.setBkMode(BkMode::Transparent);
    }
};

double secondsPerLayout(Canvas& c, const QString& word, int times)
{
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < times; ++i)
        layOutAndPaint(c, word);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / times;
}

void BM_LayoutWord64KiB(benchmark::State& state)
{
    bench_common::ensureGuiApp();
    WordCanvas w;
    const QString word = longWord(64 * 1024);
    for (auto _ : state)
        layOutAndPaint(w.canvas, word);
}
BENCHMARK(BM_LayoutWord64KiB)->Name("layout/Word64KiB")->Unit(benchmark::kMillisecond);

void BM_LayoutWord1MiB(benchmark::State& state)
{
    bench_common::ensureGuiApp();
    WordCanvas w;
    const QString big = longWord(1024 * 1024);
    const QString small = longWord(64 * 1024);
    double bigSeconds = 0, smallSeconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        layOutAndPaint(w.canvas, big);
        bigSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.PauseTiming();
        smallSeconds += secondsPerLayout(w.canvas, small, 4);
        state.ResumeTiming();
    }
    state.counters["ratio_1MiB_per_64KiB"] = bigSeconds / smallSeconds;
}
BENCHMARK(BM_LayoutWord1MiB)->Name("layout/Word1MiB")->Unit(benchmark::kMillisecond);

// A 70-byte bitmap file whose header asks for 5000 x 5000 pixels, rows top to bottom (negative
// height) or bottom to top: both must be refused at once, without making the picture (the
// top-down one cost half a second and 141 MB). Counter: top_down_per_bottom_up, goal about 1.
QByteArray bitmapHeaderOnly(qint32 height)
{
    QByteArray b(70, '\0');
    b[0] = 'B';
    b[1] = 'M';
    qToLittleEndian<quint32>(70, b.data() + 2);
    qToLittleEndian<quint32>(54, b.data() + 10);
    qToLittleEndian<quint32>(40, b.data() + 14);
    qToLittleEndian<qint32>(5000, b.data() + 18);
    qToLittleEndian<qint32>(height, b.data() + 22);
    qToLittleEndian<quint16>(1, b.data() + 26);
    qToLittleEndian<quint16>(32, b.data() + 28);
    return b;
}

double refuse(const QByteArray& data)
{
    const auto start = std::chrono::steady_clock::now();
    try {
        Picture p;
        p.LoadFromData(data);
    } catch (const Exception&) {
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_BitmapHeaderTopDown(benchmark::State& state)
{
    bench_common::ensureGuiApp();
    const QByteArray topDown = bitmapHeaderOnly(-5000), bottomUp = bitmapHeaderOnly(5000);
    double down = 0, up = 0;
    for (auto _ : state) {
        down += refuse(topDown);
        state.PauseTiming();
        up += refuse(bottomUp);
        state.ResumeTiming();
    }
    state.counters["top_down_per_bottom_up"] = down / up;
}
BENCHMARK(BM_BitmapHeaderTopDown)->Name("picture/TopDownBitmap70Bytes")->Unit(benchmark::kMicrosecond);

} // namespace
