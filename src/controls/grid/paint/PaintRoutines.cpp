#include "controls/grid/paint/PaintRoutines.h"

#include "platform/draw/TextFit.h"
#include "platform/text/Text.h"

#include <QFontMetrics>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace controls::grid {

using platform::clNone;
using platform::colorToRgb;

Color BlendColors(Color a, Color b, int percent)
{
    if (percent >= 100)
        return a;
    if (percent <= 0 || a == clNone)
        return b;
    if (b == clNone)
        return a;
    const Color x = colorToRgb(a);
    const Color y = colorToRgb(b);
    const double f = percent / 100.0;
    auto mix = [f](int p, int q) {
        return int(std::min<int64_t>(255, platform::roundHalfEven(f * p + (1.0 - f) * q)));
    };
    return platform::rgb(mix(platform::redOf(x), platform::redOf(y)), mix(platform::greenOf(x), platform::greenOf(y)),
                         mix(platform::blueOf(x), platform::blueOf(y)));
}

Color BlendColorsIf(Color a, Color b, bool flag, int percent) { return flag ? BlendColors(a, b, percent) : a; }

double ClampPercent(double value) { return value < 0 ? 0 : (value > 100 ? 100 : value); }

void DrawGradientSteps(platform::Canvas& canvas, Color a, Color b, bool horizontal, const Rect& r, int steps)
{
    if (r.isEmpty())
        return;
    Color from = colorToRgb(a);
    Color to = colorToRgb(b);
    if (from == clNone)
        from = to;
    if (to == clNone)
        to = from;
    if (from == clNone)
        return;
    const int start = horizontal ? r.left : r.top;
    const int span = horizontal ? r.width() : r.height();
    const int n = std::clamp(steps, 1, span);
    for (int i = 0; i < n; ++i) {
        const double t = n == 1 ? 0.0 : double(i) / (n - 1);
        auto channel = [t](int p, int q) { return int(platform::roundHalfEven(p + (q - p) * t)); };
        const Color c = platform::rgb(channel(platform::redOf(from), platform::redOf(to)),
                                      channel(platform::greenOf(from), platform::greenOf(to)),
                                      channel(platform::blueOf(from), platform::blueOf(to)));
        // Band i covers [start + i x span / n, start + (i + 1) x span / n).
        const int p = start + int(int64_t(i) * span / n);
        const int q = start + int(int64_t(i + 1) * span / n);
        canvas.brush() = platform::Brush{c, platform::BrushStyle::Solid};
        canvas.fillRect(horizontal ? Rect{p, r.top, q, r.bottom} : Rect{r.left, p, r.right, q});
    }
}

TCellTextFlags CellTextFlags(int lineCount, bool wordWrap, bool multiLineCells, bool enhTextSize,
                             platform::Alignment hAlign, TVAlignment vAlign)
{
    using namespace platform;
    TCellTextFlags result;
    unsigned f = DT_EDITCONTROL;
    if (lineCount == 1 && !wordWrap) {
        result.firstLineOnly = true;
        f = DT_SINGLELINE;
        if (enhTextSize)
            f |= DT_END_ELLIPSIS;
    }
    if (wordWrap && !multiLineCells && enhTextSize)
        f |= DT_END_ELLIPSIS;
    f |= DT_EXPANDTABS | DT_NOPREFIX;
    switch (hAlign) {
    case Alignment::taLeftJustify: f |= DT_LEFT; break;
    case Alignment::taRightJustify: f |= DT_RIGHT; break;
    case Alignment::taCenter: f |= DT_CENTER; break;
    }
    switch (vAlign) {
    case vtaTop: f |= DT_TOP; break;
    case vtaCenter: f |= DT_VCENTER; break;
    case vtaBottom: f |= DT_BOTTOM; break;
    }
    if (wordWrap || multiLineCells)
        f |= DT_WORDBREAK | DT_EDITCONTROL;
    else
        f |= DT_SINGLELINE;
    result.flags = f;
    return result;
}

void ShrinkFontToWidth(QFont& font, const QString& text, int width)
{
    // Each size measures no more of a long text than fits the width.
    if (platform::TextFit(font).fits(text, width))
        return;
    const bool points = font.pointSizeF() > 0;
    const double full = points ? font.pointSizeF() : font.pixelSize();
    QFont smaller = font;
    for (double size = full - 0.5; size >= full * 0.8; size -= 0.5) {
        if (points)
            smaller.setPointSizeF(size);
        else
            smaller.setPixelSize(int(size));
        if (platform::TextFit(smaller).fits(text, width)) {
            font = smaller;
            return;
        }
    }
}

QPoint RotatedTextOrigin(const Rect& rect, platform::Alignment hAlign, TVAlignment vAlign, int a, int b, int c,
                         int d, int angle)
{
    using platform::Alignment;
    const int w = rect.width();
    const int h = rect.height();
    const int quadrant = angle <= 90 ? 1 : angle <= 180 ? 2 : angle <= 270 ? 3 : 4;
    int left = rect.left;
    int top = rect.top;
    switch (quadrant) {
    case 1:
        left = hAlign == Alignment::taLeftJustify    ? rect.left
               : hAlign == Alignment::taRightJustify ? rect.right - d - c
                                                     : rect.left + (w - c - d) / 2;
        top = vAlign == vtaTop ? rect.top + b : vAlign == vtaBottom ? rect.bottom - a : rect.top + b - (a + b - h) / 2;
        break;
    case 2:
        left = hAlign == Alignment::taLeftJustify    ? rect.left + d
               : hAlign == Alignment::taRightJustify ? rect.right - c
                                                     : rect.right - (c + w - d) / 2;
        top = vAlign == vtaTop      ? rect.top + a + b
              : vAlign == vtaBottom ? rect.bottom
                                    : rect.top + a + b - (a + b - h) / 2;
        break;
    case 3:
        left = hAlign == Alignment::taLeftJustify    ? rect.left + c + d
               : hAlign == Alignment::taRightJustify ? rect.right
                                                     : rect.right - (w - c - d) / 2;
        top = vAlign == vtaTop ? rect.top + a : vAlign == vtaBottom ? rect.bottom - b : rect.top + a - (a + b - h) / 2;
        break;
    default:
        left = hAlign == Alignment::taLeftJustify    ? rect.left + c
               : hAlign == Alignment::taRightJustify ? rect.right - d
                                                     : rect.left + (c + w - d) / 2;
        top = vAlign == vtaTop ? rect.top : vAlign == vtaBottom ? rect.bottom - a - b : rect.top - (a + b - h) / 2;
        break;
    }
    return {left, top};
}

QSize RotatedTextSize(int width, int height, int angle)
{
    const double rad = angle * std::numbers::pi / 180.0;
    const int ys = std::abs(int(height * std::sin(rad)));
    const int xc = std::abs(int(width * std::cos(rad)));
    const int yc = std::abs(int(height * std::cos(rad)));
    const int xs = std::abs(int(width * std::sin(rad)));
    return QSize(std::abs(ys - xc) + 12, std::abs(yc - xs) + 12);
}

Color BandColor(int row, int fixedRows, int totalLength, int primaryLength, Color primary, Color secondary,
                Color gridColor)
{
    if (totalLength <= 0)
        return gridColor;
    int pos = (row - fixedRows) % totalLength;
    if (pos < 0)
        pos += totalLength;
    return pos < primaryLength ? primary : secondary;
}

} // namespace controls::grid
