// Cost of one button face: what every hover, press, focus change and fade tick repaints.
#include "controls/button/FxButton.h"
#include "controls/button/FxButtonFace.h"

#include "common/GuiApp.h"

#include <QApplication>
#include <benchmark/benchmark.h>

namespace {

using namespace controls;
using namespace platform;

void BM_DrawButtonFace(benchmark::State& state)
{
    bench_common::ensureGuiApp();
    Bitmap glyph(36, 18, clFuchsia);
    ButtonFace f;
    f.width = 75;
    f.height = 25;
    f.step = 8;
    f.imageCount = 2;
    f.glyph = &glyph;
    f.hot = true;
    f.style = TFxButtonStyle::bsEncarta;
    f.faceColor = rgb(248, 247, 237);
    f.hotTrackColor = clYellow;
    f.downColor = rgb(255, 128, 0);
    f.font = Font{QApplication::font(), clBlack};
    f.layout = TFxButtonLayout::blGlyphLeft;
    f.caption = QStringLiteral("Cancel");
    Bitmap target(75, 25);
    for (auto _ : state) {
        Canvas c(target);
        DrawButtonFace(c, f);
        benchmark::DoNotOptimize(target.image().constBits());
    }
}
BENCHMARK(BM_DrawButtonFace);

void BM_RenderButton(benchmark::State& state)
{
    bench_common::ensureGuiApp();
    QWidget window;
    auto* b = new TFxButton(&window);
    b->setStyle(TFxButtonStyle::bsModern);
    b->setCaption(QStringLiteral("Options"));
    for (auto _ : state)
        benchmark::DoNotOptimize(b->renderFace());
}
BENCHMARK(BM_RenderButton);

} // namespace
