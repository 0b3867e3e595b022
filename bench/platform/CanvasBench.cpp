// Cost of what a grid does for every visible cell: fill its background, frame it and draw its
// text (a short single line, and a word-broken one with an ellipsis), and of one themed check
// box. A window of 40 rows and 10 columns paints 400 such cells.
#include "platform/draw/Canvas.h"
#include "platform/draw/Frames.h"
#include "platform/draw/Theme.h"

#include "common/GuiApp.h"

#include <benchmark/benchmark.h>

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

} // namespace
