#include "controls/grid/util/ExtDraw.h"

#include "platform/core/Errors.h"
#include "platform/core/Format.h"
#include "platform/draw/Frames.h"
#include "platform/draw/TextFit.h"
#include "platform/draw/Theme.h"
#include "platform/text/Text.h"

#include <QFontMetrics>
#include <QImage>
#include <QPalette>
#include <QPixmap>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace controls::grid {

using platform::Brush;
using platform::BrushStyle;
using platform::clNone;
using platform::colorToRgb;
using platform::Pen;
using platform::PenStyle;

namespace {

int nearest(double v) { return int(platform::roundHalfEven(v)); }

void penAndBrush(Canvas& canvas, Color c)
{
    canvas.pen().color = c;
    canvas.pen().style = PenStyle::Solid;
    canvas.brush().color = c;
    canvas.brush().style = BrushStyle::Solid;
}

void line(Canvas& canvas, int x1, int y1, int x2, int y2)
{
    canvas.moveTo(x1, y1);
    canvas.lineTo(x2, y2);
}

} // namespace

void DrawSelectionBlock(Canvas& canvas, Color color, Color colorTo, Color mirrorColor, Color mirrorColorTo,
                        Color innerTopColor, Color innerBottomColor, Color borderColor, Color cornerColor,
                        Color backColor, const Rect& rect, int side)
{
    const int L = rect.left, T = rect.top, R = rect.right - 1, B = rect.bottom - 2;
    const int mid = T + (B - T) / 2;
    const bool leftEdge = side == 0 || side == 1;
    const bool rightEdge = side == 0 || side == 2;
    canvas.pen().style = PenStyle::Solid;
    canvas.pen().width = 1;

    canvas.pen().color = innerTopColor;
    line(canvas, L, T + 1, R, T + 1);
    if (leftEdge)
        line(canvas, L + 1, T + 1, L + 1, mid);
    if (rightEdge)
        line(canvas, R - 2, T + 1, R - 2, mid);

    canvas.pen().color = innerBottomColor;
    line(canvas, L, B - 1, R, B - 1);
    if (leftEdge)
        line(canvas, L + 1, mid, L + 1, B - 1);
    if (rightEdge)
        line(canvas, R - 2, mid, R - 2, B - 1);

    const int leftInset = (side == 2 || side == 3) ? 0 : 2;
    const int rightInset = (side == 1 || side == 3) ? 0 : 2;

    canvas.pen().color = borderColor;
    line(canvas, L + leftInset, T, R - rightInset, T);
    line(canvas, L + leftInset, B, R - rightInset, B);
    if (rightEdge)
        line(canvas, R - 1, T + 2, R - 1, B - 1);
    if (leftEdge)
        line(canvas, L, T + 2, L, B - 1);

    if (leftEdge) {
        for (auto [x, y] : {std::pair{L + 1, T}, {L + 1, T + 1}, {L, T + 1}, {L + 1, B}, {L + 1, B - 1}, {L, B - 1}})
            canvas.setPixel(x, y, cornerColor);
        canvas.setPixel(L, T, backColor);
        canvas.setPixel(L, B, backColor);
    }
    if (rightEdge) {
        for (auto [x, y] : {std::pair{R - 2, T}, {R - 2, T + 1}, {R - 1, T + 1}, {R - 2, B}, {R - 2, B - 1}, {R - 1, B - 1}})
            canvas.setPixel(x, y, cornerColor);
        canvas.setPixel(R - 1, T, backColor);
        canvas.setPixel(R - 1, B, backColor);
    }

    const Rect f{L + leftInset, T + 2, R - rightInset, B - 1};
    if (colorTo == clNone) {
        penAndBrush(canvas, color);
        canvas.fillRect(f);
    } else if (mirrorColor == clNone) {
        DrawGradient(canvas, color, colorTo, 16, f, false);
    } else {
        const int half = f.top + (f.bottom - f.top) / 2;
        DrawGradient(canvas, color, colorTo, 16, Rect{f.left, f.top, f.right, half}, false);
        DrawGradient(canvas, mirrorColor, mirrorColorTo, 16, Rect{f.left, half, f.right, f.bottom}, false);
    }
}

void DrawGradient(Canvas& canvas, Color fromColor, Color toColor, int steps, const Rect& rect, bool horizontal)
{
    Rect r = rect;
    if (r.top == r.bottom)
        return;
    if (r.bottom < r.top)
        std::swap(r.top, r.bottom);
    const Color from = colorToRgb(fromColor);
    const Color to = colorToRgb(toColor);
    if (from == clNone || to == clNone) {
        penAndBrush(canvas, from == clNone && to != clNone ? to : from);
        canvas.rectangle(r);
        return;
    }
    const int span = horizontal ? r.right - r.left - 1 : r.bottom - r.top - 1;
    const int n = std::max(1, std::min(steps, span));
    const double step = double(span) / n;
    const int start = horizontal ? r.left : r.top;
    const int end = horizontal ? r.right : r.bottom;
    const int dr = platform::redOf(to) - platform::redOf(from);
    const int dg = platform::greenOf(to) - platform::greenOf(from);
    const int db = platform::blueOf(to) - platform::blueOf(from);
    for (int i = 0; i <= n; ++i) {
        const Color c = platform::rgb(platform::redOf(from) + nearest(double(i) * dr / n),
                                      platform::greenOf(from) + nearest(double(i) * dg / n),
                                      platform::blueOf(from) + nearest(double(i) * db / n));
        const int p = start + int(i * step);
        const int q = std::min(end, p + int(step + 1));
        penAndBrush(canvas, c);
        if (horizontal)
            canvas.rectangle(Rect{p, r.top, q, r.bottom});
        else
            canvas.rectangle(Rect{r.left, p, r.right, q});
    }
}

void DrawGradientBackground(Canvas& canvas, const Rect& r, Color color, Color colorTo, Color mirrorColor,
                            Color mirrorColorTo, bool vertical, Color borderColor, bool sideLinesOnly, bool fill)
{
    if (fill && color != clNone) {
        if (mirrorColor == clNone && colorTo == clNone) {
            penAndBrush(canvas, color);
            canvas.pen().width = 1;
            canvas.fillRect(Rect{r.left, r.top, r.right, r.bottom + 1});
        } else if (mirrorColor == clNone) {
            DrawGradient(canvas, color, colorTo, 128, r, !vertical);
        } else if (vertical) {
            const int half = r.top + r.height() / 2;
            DrawGradient(canvas, color, colorTo, 128, Rect{r.left, r.top, r.right, half}, false);
            DrawGradient(canvas, mirrorColor, mirrorColorTo, 128, Rect{r.left, half, r.right, r.bottom}, false);
        } else {
            const int half = r.left + r.width() / 2;
            DrawGradient(canvas, color, colorTo, 128, Rect{r.left, r.top, half, r.bottom}, true);
            DrawGradient(canvas, mirrorColor, mirrorColorTo, 128, Rect{half, r.top, r.right, r.bottom}, true);
        }
    }
    if (borderColor == clNone)
        return;
    if (sideLinesOnly) {
        canvas.pen().color = borderColor;
        canvas.pen().style = PenStyle::Solid;
        line(canvas, r.left, r.top, r.left, r.bottom);
        line(canvas, r.right - 1, r.top, r.right - 1, r.bottom);
    } else {
        canvas.brush().color = borderColor;
        canvas.brush().style = BrushStyle::Solid;
        canvas.frameRect(r);
    }
}

Color InterpolateColor(Color fromColor, Color toColor, int rangeStart, int rangeEnd, int position)
{
    if (toColor == clNone || rangeEnd == rangeStart)
        return fromColor;
    const Color from = colorToRgb(fromColor);
    const Color to = colorToRgb(toColor);
    const double range = double(rangeEnd - rangeStart);
    auto channel = [&](int f, int t) { return f + nearest((t - f) / range * position); };
    return platform::rgb(channel(platform::redOf(from), platform::redOf(to)),
                         channel(platform::greenOf(from), platform::greenOf(to)),
                         channel(platform::blueOf(from), platform::blueOf(to)));
}

void FillRectColor(Canvas& canvas, const Rect& r, Color c)
{
    canvas.brush().color = c;
    canvas.brush().style = BrushStyle::Solid;
    canvas.fillRect(r);
}

void DrawBitmapTransparent(Canvas& canvas, const platform::Bitmap& bitmap, Color backColor, const Rect& r)
{
    if (bitmap.isEmpty())
        return;
    platform::Bitmap source = bitmap;
    source.setTransparent(true);
    source.setTransparentColor(bitmap.pixel(0, 0));
    platform::Bitmap merged(bitmap.width(), bitmap.height(), backColor);
    {
        Canvas c(merged);
        c.draw(0, 0, source);
    }
    canvas.draw(r.left, r.top, merged);
}

void DrawResourceBitmapTransparent(Canvas& canvas, Color backColor, const Rect& r, const QString& name)
{
    const QImage image(QStringLiteral(":/grid/") + name + QStringLiteral(".png"));
    if (image.isNull())
        return;
    DrawBitmapTransparent(canvas, platform::Bitmap(image), backColor, r);
}

void DrawErrorUnderline(Canvas& canvas, const QString& text, const Rect& r, int lineOffset, int firstChar,
                        int charCount)
{
    // Character positions as a single-line edit with its one-pixel margin lays them out. Past
    // the cell's right edge nothing shows: a long text is measured no further, and the zigzag
    // ends there.
    const platform::TextFit fit(canvas.font().font);
    const int reach = r.width() + 8;
    auto xOf = [&](int index) { return 1 + fit.widthUpTo(QStringView(text).left(std::min<qsizetype>(index, text.size())), reach); };
    const int length = int(text.size());
    const int sy = 0;
    int sx = 0;
    if (firstChar < length)
        sx = xOf(std::max(0, firstChar));
    else
        sx = xOf(length) + 4;
    int ex = 0;
    const int ey = sy;
    if (firstChar + charCount < length)
        ex = xOf(std::max(0, firstChar + charCount - 1));
    else
        ex = xOf(std::max(0, length - 1)) + 4;
    ex = std::min(ex, reach);

    canvas.pen().color = platform::clRed;
    canvas.pen().width = 2;
    canvas.pen().style = PenStyle::Solid;
    canvas.moveTo(r.left + sx, r.top + sy + lineOffset + 3);
    int level = 3;
    int x = sx;
    while (x <= ex) {
        level = level == 0 ? 3 : 0;
        canvas.lineTo(r.left + x + 3, r.top + ey + lineOffset + level);
        x += 3;
    }
    canvas.lineTo(r.left + x + 3, r.top + ey + lineOffset + (level == 0 ? 3 : 0));
    canvas.pen().width = 1;
}

void DrawRangeIndicator(Canvas& canvas, const Rect& rect, int value, int range, bool showValue, Color negColor,
                        Color posColor)
{
    if (range <= 0)
        return;
    const Rect r = rect.inflated(-2, -2);
    const int half = r.width() / 2;
    const int center = r.left + half;
    const int v = std::clamp(value, -range, range);
    const int length = nearest(double(half) * v / range);
    if (v < 0) {
        penAndBrush(canvas, negColor);
        canvas.rectangle(Rect{center + length, r.top, center, r.bottom});
    } else {
        penAndBrush(canvas, posColor);
        canvas.rectangle(Rect{center, r.top, center + length, r.bottom});
    }
    if (showValue) {
        const QString s = platform::intToStr(value);
        canvas.setBkMode(platform::BkMode::Transparent);
        Rect tr = r;
        canvas.drawText(s, tr, platform::DT_CENTER | platform::DT_VCENTER | platform::DT_SINGLELINE);
    }
}

void DrawProgressBar(Canvas& canvas, const Rect& rect, Color color, Color textColor, Color remainColor,
                     Color remainTextColor, double position, int marginX, int marginY, int min, int max,
                     const QString& format, Color borderColor, bool printing)
{
    const Color background = canvas.brush().color;
    penAndBrush(canvas, color);
    canvas.font().color = textColor;

    QString text;
    int percent = 0;
    if (format.isEmpty()) {
        percent = nearest(position);
        text = platform::intToStr(percent) + QLatin1Char('%');
    } else {
        try {
            if (format.contains(u'd') || format.contains(u'u'))
                text = platform::Format(format, {nearest(position)});
            else
                text = platform::Format(format, {position});
        } catch (const platform::EConvertError&) {
            text = format;
        }
        percent = max == min ? 0 : nearest((position - min) * 100.0 / (max - min));
    }
    percent = std::clamp(percent, 0, 100);

    Rect r = rect.inflated(-marginX, -marginY);
    const int doneRight = r.left + nearest(double(r.width()) * percent / 100.0);
    const int x = r.left + (r.width() - canvas.textWidth(text)) / 2;
    const int y = r.top + (r.height() - canvas.textHeight(text) * (printing ? -1 : 1)) / 2;

    canvas.textRect(Rect{r.left, r.top, doneRight, r.bottom}, x, y, text);
    penAndBrush(canvas, remainColor);
    canvas.font().color = remainTextColor;
    canvas.textRect(Rect{doneRight, r.top, r.right, r.bottom}, x, y, text);

    canvas.brush().color = borderColor;
    canvas.pen().color = background;
    r = r.inflated(1, 1);
    if (borderColor != clNone)
        canvas.frameRect(r);
    canvas.brush().color = background;
    r = r.inflated(1, 1);
    canvas.frameRect(r);
}

void DrawProgressPie(Canvas& canvas, const Rect& r, Color color, int percent, bool printing)
{
    canvas.pen().color = platform::clGray;
    canvas.pen().width = 1;
    canvas.pen().style = PenStyle::Solid;
    canvas.ellipse(r);
    const int cx = r.left + r.width() / 2;
    const int cy = r.top + r.height() / 2;
    const double a = percent / 100.0 * 2 * std::numbers::pi;
    canvas.moveTo(cx, r.top);
    canvas.lineTo(cx, cy);
    canvas.lineTo(cx + nearest((r.width() + 1) * 0.5 * std::sin(a)), cy - nearest((r.height() + 1) * 0.5 * std::cos(a)));
    canvas.brush().color = color;
    canvas.brush().style = BrushStyle::Solid;
    if (percent != 0)
        canvas.floodFill(cx + 1, printing ? r.top - 2 : r.top + 2, platform::clGray, platform::fsBorder);
}

namespace {

// A segment of a styled bar: from `from` over `length` pixels along the bar (from the bottom
// upwards when vertical), across the band [across0, across1).
void styledSegment(Canvas& canvas, const Rect& area, bool vertical, int from, int length, int inset, Color c,
                   Color cTo, const TProgressLook& look)
{
    if (length <= 0)
        return;
    Rect s;
    if (vertical)
        s = Rect{area.left + inset, area.bottom - from - length, area.right - inset, area.bottom - from};
    else
        s = Rect{area.left + from, area.top + inset, area.left + from + length, area.bottom - inset};
    if (look.ShowGradient) {
        if (vertical) {
            const int half = s.left + s.width() / 2;
            DrawGradient(canvas, cTo, c, look.Steps, Rect{s.left, s.top, half, s.bottom}, true);
            DrawGradient(canvas, c, cTo, look.Steps, Rect{half, s.top, s.right, s.bottom}, true);
        } else {
            const int half = s.top + s.height() / 2;
            DrawGradient(canvas, cTo, c, look.Steps, Rect{s.left, s.top, s.right, half}, false);
            DrawGradient(canvas, c, cTo, look.Steps, Rect{s.left, half, s.right, s.bottom}, false);
        }
    } else {
        penAndBrush(canvas, c);
        canvas.rectangle(s);
    }
}

} // namespace

void DrawStyledProgressBar(Canvas& canvas, const Rect& r, int position, const TProgressLook& look)
{
    const bool vertical = look.Vertical;
    const Color borderPen = look.ShowBorder ? look.BorderColor : look.UnCompleteColor;
    canvas.brush().color = look.UnCompleteColor;
    canvas.brush().style = look.UnCompleteColor == clNone ? BrushStyle::Clear : BrushStyle::Solid;
    canvas.pen().color = borderPen;
    canvas.pen().style = PenStyle::Solid;
    canvas.pen().width = 1;
    canvas.rectangle(r);
    const int usable = (vertical ? r.height() : r.width()) - 2;

    if (position > 0) {
        if (look.Stacked) {
            const int len0 = nearest(std::min(position, look.Level1Perc) / 100.0 * usable);
            styledSegment(canvas, r, vertical, 1, len0, 1, look.Level0Color, look.Level0ColorTo, look);
            int len1 = 0;
            if (position >= look.Level1Perc) {
                len1 = nearest((std::min(position, look.Level2Perc) - look.Level1Perc) / 100.0 * usable);
                styledSegment(canvas, r, vertical, 1 + len0, len1, 1, look.Level1Color, look.Level1ColorTo, look);
            }
            if (position >= look.Level2Perc) {
                const int len2 = position == 100 ? usable - len0 - len1
                                                 : nearest((position - look.Level2Perc) / 100.0 * usable);
                styledSegment(canvas, r, vertical, 1 + len0 + len1, len2, 1, look.Level3Color, look.Level3ColorTo,
                              look);
            }
        } else {
            Color c = look.Level3Color, cTo = look.Level3ColorTo;
            if (position < look.Level1Perc) {
                c = look.Level0Color;
                cTo = look.Level0ColorTo;
            } else if (position < look.Level2Perc) {
                c = look.Level1Color;
                cTo = look.Level1ColorTo;
            } else if (position < 100) {
                c = look.Level2Color;
                cTo = look.Level2ColorTo;
            }
            if (look.CompletionSmooth) {
                styledSegment(canvas, r, vertical, 1, nearest(position / 100.0 * usable), 1, c, cTo, look);
            } else {
                const int t = nearest(double(position) * usable / 100.0);
                if (t > 9) {
                    for (int k = 0; k < t / 9; ++k)
                        styledSegment(canvas, r, vertical, 2 + 9 * k, 7, 2, c, cTo, look);
                    if (t % 9 > 2)
                        styledSegment(canvas, r, vertical, 2 + 9 * (t / 9), t % 9 - 1, 2, c, cTo, look);
                } else if (t > 1) {
                    styledSegment(canvas, r, vertical, 2, t - 1, 2, c, cTo, look);
                }
                canvas.brush().style = BrushStyle::Clear;
            }
        }
    }

    if (look.ShowPercentage) {
        canvas.brush().style = BrushStyle::Clear;
        canvas.setBkMode(platform::BkMode::Transparent);
        QFont f = canvas.font().font;
        f.setFamily(look.Font.family());
        f.setPointSize(look.Font.pointSize() > 0 ? look.Font.pointSize() : f.pointSize());
        f.setBold(look.Font.bold());
        f.setItalic(look.Font.italic());
        f.setUnderline(look.Font.underline());
        f.setStrikeOut(look.Font.strikeOut());
        canvas.font().font = f;
        canvas.font().color = look.CompleteFontColor;
        const QString s = platform::intToStr(position) + QLatin1Char('%');
        const int tw = canvas.textWidth(s);
        const int th = canvas.textHeight(s);
        const int cx = r.left + r.width() / 2;
        const int cy = r.top + r.height() / 2;
        if (!vertical) {
            canvas.textOut(r.left + (r.width() - tw) / 2, r.top + (r.height() - th) / 2, s);
        } else {
            const int orientation = canvas.font().orientation;
            canvas.font().orientation = 900;
            canvas.textOut(cx - th / 2, cy + tw / 2, s);
            canvas.font().orientation = orientation;
        }
    }

    canvas.pen().color = borderPen;
    canvas.brush().style = BrushStyle::Clear;
    canvas.rectangle(r);
}

void DrawShape(Canvas& canvas, int x, int y, int width, int height, int shape, Color brushColor, Color penColor)
{
    canvas.brush().color = brushColor;
    canvas.brush().style = BrushStyle::Solid;
    canvas.pen().color = penColor;
    canvas.pen().style = PenStyle::Solid;
    int w = width, h = height;
    if (shape == csCircle || shape == csSquare || shape == csRoundSquare)
        w = h = std::min(width, height);
    const int w2 = w / 2, h2 = h / 2;
    const int we = w & ~1, he = h & ~1;
    const int wq = we / 4, hq = he / 4;
    auto star = [&](int k) {
        const double a = k * std::numbers::pi / 5;
        const double rx = k % 2 == 0 ? double(w2) : w2 / 3.0;
        const double ry = k % 2 == 0 ? double(h2) : h2 / 3.0;
        return QPoint(x + w2 + nearest(std::sin(a) * rx), y + h2 - nearest(std::cos(a) * ry));
    };
    switch (shape) {
    case csRectangle:
    case csSquare:
        canvas.rectangle(Rect{x + 1, y + 1, x + w - 1, y + h - 1});
        break;
    case csCircle:
    case csEllips:
        canvas.ellipse(Rect{x, y, x + w, y + h});
        break;
    case csTriangleLeft:
        canvas.polygon({QPoint(x + w, y), QPoint(x + w, y + h), QPoint(x, y + h2)});
        break;
    case csTriangleRight:
        canvas.polygon({QPoint(x, y), QPoint(x, y + h), QPoint(x + w, y + h2)});
        break;
    case csTriangleUp:
        canvas.polygon({QPoint(x, y + h), QPoint(x + w, y + h), QPoint(x + w2, y)});
        break;
    case csTriangleDown:
        canvas.polygon({QPoint(x, y), QPoint(x + w, y), QPoint(x + w2, y + h)});
        break;
    case csDiamond:
        canvas.polygon({QPoint(x, y + h2), QPoint(x + w2, y), QPoint(x + 2 * w2, y + h2), QPoint(x + w2, y + 2 * h2)});
        break;
    case csLineVert:
        canvas.rectangle(Rect{x + w2, y, x + w2 + 1, y + h});
        break;
    case csLineHorz:
        canvas.rectangle(Rect{x, y + h2, x + w, y + h2 + 1});
        break;
    case csRoundRect:
    case csRoundSquare:
        canvas.roundRect(Rect{x, y, x + w, y + h}, 10, 10);
        break;
    case csStar: {
        std::vector<QPoint> pts;
        for (int k = 0; k < 10; ++k)
            pts.push_back(star(k));
        canvas.polygon(pts);
        break;
    }
    case csHalfStar: {
        std::vector<QPoint> pts;
        for (int k : {0, 5, 6, 7, 8, 9})
            pts.push_back(star(k));
        canvas.polygon(pts);
        break;
    }
    case csArrowUp:
        canvas.polygon({QPoint(x, y + h2), QPoint(x + we / 2, y), QPoint(x + we, y + h2), QPoint(x + 3 * wq, y + h2),
                        QPoint(x + 3 * wq, y + h), QPoint(x + wq, y + h), QPoint(x + wq, y + h2)});
        break;
    case csArrowDown:
        canvas.polygon({QPoint(x, y + h2), QPoint(x + we / 2, y + h), QPoint(x + we, y + h2),
                        QPoint(x + 3 * wq, y + h2), QPoint(x + 3 * wq, y), QPoint(x + wq, y), QPoint(x + wq, y + h2)});
        break;
    case csArrowLeft:
        canvas.polygon({QPoint(x, y + he / 2), QPoint(x + w2, y), QPoint(x + w2, y + hq), QPoint(x + w, y + hq),
                        QPoint(x + w, y + 3 * hq), QPoint(x + w2, y + 3 * hq), QPoint(x + w2, y + he)});
        break;
    case csArrowRight:
        canvas.polygon({QPoint(x + w, y + he / 2), QPoint(x + w2, y), QPoint(x + w2, y + hq), QPoint(x, y + hq),
                        QPoint(x, y + 3 * hq), QPoint(x + w2, y + 3 * hq), QPoint(x + w2, y + he)});
        break;
    default:
        break;
    }
}

namespace {

const TColorTone& toneOf(const TColorTones& tones, int state)
{
    switch (state) {
    case btsHot:
        return tones.Hover;
    case btsPressed:
        return tones.Selected;
    case btsDisabled:
        return tones.Disabled;
    default:
        return tones.Background;
    }
}

// Draws a themed part; false when the style adapter has no theme (then the caller draws the
// classic frame control).
bool themed(Canvas& canvas, QWidget* window, const char* cls, int part, int state, const Rect& r)
{
    const platform::HTHEME theme = platform::OpenThemeData(window, QString::fromLatin1(cls));
    if (!theme)
        return false;
    platform::DrawThemeBackground(theme, canvas, part, state, r);
    platform::CloseThemeData(theme);
    return true;
}

} // namespace

void DrawDropDownButton(Canvas& canvas, QWidget* window, const Rect& rect, int look, int state, const TColorTones& tones)
{
    Rect r{rect.right - 17 - 2, rect.top + 1, rect.right - 2, rect.bottom - 1};
    if (look == blTones) {
        r.left += 3;
        const auto& tone = toneOf(tones, state);
        penAndBrush(canvas, tone.BrushColor);
        canvas.rectangle(r);
        canvas.pen().color = tones.Background.BorderColor;
        line(canvas, r.left + 1, r.top, r.left + 1, r.bottom);
        penAndBrush(canvas, tones.Background.TextColor);
        canvas.polygon({QPoint(r.left + 5, r.top + 8), QPoint(r.left + 11, r.top + 8), QPoint(r.left + 8, r.top + 11)});
        return;
    }
    if (look == blTheme
        && themed(canvas, window, "combobox", platform::CP_DROPDOWNBUTTON,
                  state == btsDisabled ? platform::CBXS_DISABLED : platform::CBXS_NORMAL, r))
        return;
    unsigned flags = platform::DFCS_SCROLLCOMBOBOX;
    if (state == btsDisabled)
        flags |= platform::DFCS_INACTIVE;
    if (look == blFlat)
        flags |= platform::DFCS_FLAT;
    platform::DrawFrameControl(canvas, r, platform::DFC_SCROLL, flags);
}

void DrawPushButton(Canvas& canvas, QWidget* window, const Rect& rect, int look, int state, const TColorTones& tones)
{
    Rect r = rect;
    if (look == blTones) {
        const auto& tone = toneOf(tones, state);
        canvas.brush().color = tone.BrushColor;
        canvas.brush().style = BrushStyle::Solid;
        canvas.pen().color = tone.BorderColor;
        canvas.pen().style = PenStyle::Solid;
        canvas.rectangle(r);
        return;
    }
    const int themeState = state == btsHot       ? platform::PBS_HOT
                           : state == btsPressed  ? platform::PBS_PRESSED
                           : state == btsDisabled ? platform::PBS_DISABLED
                                                 : platform::PBS_NORMAL;
    if (look == blTheme && themed(canvas, window, "button", platform::BP_PUSHBUTTON, themeState, r))
        return;
    unsigned flags = platform::DFCS_BUTTONPUSH;
    if (state == btsHot)
        flags |= platform::DFCS_HOT;
    else if (state == btsPressed)
        flags |= platform::DFCS_PUSHED;
    else if (state == btsDisabled)
        flags |= platform::DFCS_INACTIVE;
    if (look == blFlat)
        flags |= platform::DFCS_FLAT;
    platform::DrawFrameControl(canvas, r, platform::DFC_BUTTON, flags);
}

void DrawSpinButtons(Canvas& canvas, QWidget* window, const Rect& rect, int look, int state, const TColorTones& tones)
{
    const Rect col{rect.right - 15 - 1, rect.top - 1, rect.right - 1, rect.bottom - 1};
    const int mid = col.top + col.height() / 2;
    if (look == blTheme) {
        const int s = state == btsDisabled ? platform::UPS_DISABLED : platform::UPS_NORMAL;
        const Rect up{col.left, col.top, col.right, mid};
        const Rect down{col.left, mid, col.right, col.bottom};
        if (themed(canvas, window, "spin", platform::SPNP_UP, s, up)) {
            themed(canvas, window, "spin", platform::SPNP_DOWN, s, down);
            return;
        }
    }
    Rect up{col.left, col.top, col.right, mid};
    Rect down{col.left, mid + 1, col.right, col.bottom};
    if (look == blTones) {
        penAndBrush(canvas, toneOf(tones, state).BrushColor);
        canvas.rectangle(up);
        canvas.rectangle(down);
        penAndBrush(canvas, platform::clBlack);
        canvas.polygon({QPoint(up.left + 5, up.top + 5), QPoint(up.left + 9, up.top + 5), QPoint(up.left + 7, up.top + 3)});
        const int t = down.top;
        canvas.polygon({QPoint(down.left + 5, t + 1), QPoint(down.left + 9, t + 1), QPoint(down.left + 7, t + 3)});
        return;
    }
    unsigned extra = state == btsDisabled ? platform::DFCS_INACTIVE : 0;
    if (look == blFlat)
        extra |= platform::DFCS_FLAT;
    platform::DrawFrameControl(canvas, up, platform::DFC_SCROLL, platform::DFCS_SCROLLUP | extra);
    platform::DrawFrameControl(canvas, down, platform::DFC_SCROLL, platform::DFCS_SCROLLDOWN | extra);
}

void DrawSmallDownTriangle(Canvas& canvas, int x, int y, Color c)
{
    penAndBrush(canvas, c);
    canvas.polygon({QPoint(x - 3, y), QPoint(x + 3, y), QPoint(x, y + 3)});
}

bool CallSetLayeredWindowAttributes(QWidget* window, Color /*key*/, int alpha, unsigned flags)
{
    if (window && (flags & LWA_ALPHA))
        window->setWindowOpacity(std::clamp(alpha, 0, 255) / 255.0);
    return true;
}

bool CallUpdateLayeredWindow(QWidget* window, const QPoint& pos, const QImage& image, int alpha)
{
    if (!window)
        return true;
    window->move(pos);
    if (!image.isNull()) {
        window->resize(image.size());
        QPalette pal = window->palette();
        pal.setBrush(QPalette::Window, QBrush(QPixmap::fromImage(image)));
        window->setPalette(pal);
        window->setAutoFillBackground(true);
    }
    window->setWindowOpacity(std::clamp(alpha, 0, 255) / 255.0);
    return true;
}

} // namespace controls::grid
