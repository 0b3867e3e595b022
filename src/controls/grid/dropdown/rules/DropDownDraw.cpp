#include "controls/grid/dropdown/rules/DropDownDraw.h"

#include "controls/grid/html/HTMLDraw.h"
#include "platform/draw/Graphics.h"
#include "platform/text/Text.h"

#include <cmath>

namespace controls::grid::dropdown {

using namespace platform;

namespace {
int Red(Color c) { return int(c & 0xFF); }
int Green(Color c) { return int((c >> 8) & 0xFF); }
int Blue(Color c) { return int((c >> 16) & 0xFF); }
int RoundEven(double v) { return int(roundHalfEven(v)); }
} // namespace

void DrawGradientSteps(Canvas& canvas, Color colorFrom, Color colorTo, bool horizontal, const Rect& rIn, int steps)
{
    if (steps <= 0)
        steps = 1;
    const Color from = colorToRgb(colorFrom), to = colorToRgb(colorTo);
    Rect r = rIn;
    if (horizontal)
        r.right -= 1;
    else
        r.bottom -= 1;
    const double span = horizontal ? double(r.right - r.left) : double(r.bottom - r.top);
    const double s = span / steps;
    canvas.pen().style = PenStyle::Solid;
    canvas.pen().width = 1;
    canvas.brush().style = BrushStyle::Solid;
    for (int i = 0; i < steps; ++i) {
        const Color c = rgb(Red(from) + RoundEven(double(i) * (Red(to) - Red(from)) / steps),
                            Green(from) + RoundEven(double(i) * (Green(to) - Green(from)) / steps),
                            Blue(from) + RoundEven(double(i) * (Blue(to) - Blue(from)) / steps));
        canvas.pen().color = c;
        canvas.brush().color = c;
        const int start = (RoundEven(i * s) % 65536);
        const int length = RoundEven(s) + 1;
        if (horizontal)
            canvas.rectangle(Rect{r.left + start, r.top, r.left + start + length, rIn.bottom});
        else
            canvas.rectangle(Rect{r.left, r.top + start, rIn.right, r.top + start + length});
    }
}

Color BlendColors(Color color1, Color color2, int percent)
{
    if (percent >= 100)
        return color1;
    if (percent <= 0)
        return color2;
    const Color a = colorToRgb(color1), b = colorToRgb(color2);
    const double p = percent / 100.0;
    return rgb(RoundEven(p * Red(a) + (1 - p) * Red(b)), RoundEven(p * Green(a) + (1 - p) * Green(b)),
               RoundEven(p * Blue(a) + (1 - p) * Blue(b)));
}

Color AdjustColorPercent(Color color, int dR, int dG, int dB)
{
    const Color c = colorToRgb(color);
    auto channel = [](int value, int d) {
        if (value != 0)
            return RoundEven(std::min(100, d + 100) / 100.0 * value);
        return std::max(0, d);
    };
    return rgb(channel(Red(c), dR), channel(Green(c), dG), channel(Blue(c), dB));
}

void DrawGradientFace(Canvas& canvas, const Rect& r, Color color, TGradientDirection direction, int borderWidth,
                      Color borderColor, Color colorTo)
{
    if (colorTo != clNone) {
        DrawGradientSteps(canvas, color, colorTo, direction == gdHorizontal, r, 80);
    } else if (color != clNone) {
        canvas.brush().style = BrushStyle::Solid;
        canvas.brush().color = color;
        canvas.fillRect(r);
    }
    if (borderColor != clNone && borderWidth > 0) {
        canvas.brush().style = BrushStyle::Clear;
        canvas.pen().style = PenStyle::Solid;
        canvas.pen().color = borderColor;
        canvas.pen().width = borderWidth;
        canvas.rectangle(r);
        canvas.pen().width = 1;
    }
}

void DrawImageAndText(Canvas& canvas, const Rect& r, const QString& text, int imageIndex, const TImageList* images)
{
    Rect textRect = r;
    bool imageDrawn = false;
    if (imageIndex >= 0 && images) {
        images->Draw(canvas, r.left + 4, r.top + (r.height() - images->Height()) / 2, imageIndex, true);
        textRect.left = r.left + images->Width() + 8;
        imageDrawn = true;
    }
    if (!text.isEmpty()) {
        unsigned flags = DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS;
        if (!imageDrawn)
            flags |= DT_CENTER;
        canvas.drawText(text, textRect, flags);
    }
}

void DrawGlyphOnColor(Canvas& canvas, const Bitmap& glyph, Color color, const Rect& r)
{
    if (glyph.isEmpty())
        return;
    Bitmap face(glyph.width(), glyph.height(), colorToRgb(color));
    {
        Canvas c(face);
        Bitmap copy = glyph;
        copy.setTransparent(true);
        copy.setTransparentColor(glyph.pixel(0, 0));
        c.draw(0, 0, copy);
    }
    canvas.stretchDraw(r, face);
}

QSize GetTextSize(Canvas& canvas, const QString& text)
{
    if (text.isEmpty())
        return QSize(0, 0);
    Rect r{0, 0, 1000, 500};
    canvas.drawText(text, r, DT_CALCRECT | DT_SINGLELINE);
    return QSize(r.width(), r.height());
}

QString ShortenText(Canvas& canvas, const QString& text, int maxWidth, bool ellipsis)
{
    if (GetTextSize(canvas, text).width() <= maxWidth)
        return text;
    for (int n = text.length() - 1; n >= 0; --n) {
        const QString candidate = text.left(n) + (ellipsis ? QStringLiteral("...") : QString());
        if (GetTextSize(canvas, candidate).width() < maxWidth)
            return candidate;
    }
    return text;
}

QSize DrawHTMLText(Canvas& canvas, const QString& text, const Rect& r, QWidget* window, bool draw,
                   const TImageList* images)
{
    if (text.isEmpty())
        return QSize(0, 0);
    THTMLDrawParams params;
    params.Images = images;
    params.CalcOnly = !draw;
    params.Window = window;
    THTMLDrawResult result;
    HTMLDrawText(canvas, text, r, params, result);
    return QSize(result.TextWidth, result.TextHeight);
}

} // namespace controls::grid::dropdown
