#include "controls/tree/LazyTreeUtils.h"
#include "platform/draw/Graphics.h"

#include <QPainter>
#include <QStringList>
#include <QTransform>
#include <algorithm>

namespace controls {

using platform::Canvas;
using platform::Rect;

Rect NormalizeRect(const Rect& R)
{
    return Rect{std::min(R.left, R.right), std::min(R.top, R.bottom), std::max(R.left, R.right),
                std::max(R.top, R.bottom)};
}

void SetCanvasOrigin(Canvas& Canvas, int X, int Y)
{
    if (Canvas.painter().isActive())
        Canvas.painter().setWorldTransform(QTransform::fromTranslate(-X, -Y));
}

QPoint CanvasOrigin(Canvas& Canvas)
{
    const QTransform t = Canvas.painter().worldTransform();
    return QPoint(int(-t.dx()), int(-t.dy()));
}

void ClipCanvasToRect(Canvas& Canvas, const Rect& ClipRect, const platform::Region* VisibleRegion)
{
    platform::Region region(ClipRect);
    if (VisibleRegion)
        region = platform::CombineRgn(region, *VisibleRegion, platform::RGN_AND);
    Canvas.selectClipRegion(&region);
}

void MeasureTextRect(Canvas& Canvas, const QString& Text, Rect& R, unsigned DrawFormat)
{
    R.right = R.left + 1;
    R.bottom = R.top + 1;
    Canvas.drawText(Text, R, DrawFormat | platform::DT_CALCRECT);
}

QString ShortenTextWithEllipsis(Canvas& Canvas, const QString& S, int Width, int EllipsisWidth)
{
    if (S.isEmpty() || Width <= 0)
        return QString();
    const QString ellipsis = QStringLiteral("...");
    if (EllipsisWidth == 0)
        EllipsisWidth = Canvas.textWidth(ellipsis);
    int low = 0;
    int high = int(S.size());
    while (high > low) {
        const int mid = (low + high + 1) / 2;
        const int w = EllipsisWidth + Canvas.textWidth(S.left(mid));
        if (w <= Width)
            low = mid;
        else
            high = mid - 1;
    }
    if (low == S.size())
        return S;
    if (EllipsisWidth < Width)
        return S.left(low) + ellipsis;
    return QString();
}

QString WrapCaptionText(Canvas& Canvas, const QString& Caption, const Rect& R, unsigned DrawFormat, bool ReverseWords)
{
    const QString caption = Caption.trimmed();
    if (caption.isEmpty())
        return QString();
    const int maxWidth = R.width();
    QStringList words = caption.split(QLatin1Char(' '));
    if (ReverseWords)
        std::reverse(words.begin(), words.end());
    auto fits = [&](const QString& text) {
        Rect r{0, 0, 0, 0};
        MeasureTextRect(Canvas, text, r, DrawFormat);
        return r.width() <= maxWidth;
    };
    QStringList lines;
    QString line;
    int i = 0;
    while (i < words.size()) {
        const QString& word = words[i];
        const QString candidate = line.isEmpty() ? word
                                  : ReverseWords ? word + QLatin1Char(' ') + line
                                                 : line + QLatin1Char(' ') + word;
        if (fits(candidate)) {
            line = candidate;
            ++i;
            continue;
        }
        if (line.isEmpty()) {
            // A word wider than the line: the longest part that fits, at least one character.
            int n = 1;
            while (n < word.size() && fits(ReverseWords ? word.right(n + 1) : word.left(n + 1)))
                ++n;
            lines << (ReverseWords ? word.right(n) : word.left(n));
            words[i] = ReverseWords ? word.left(word.size() - n) : word.mid(n);
            if (words[i].isEmpty())
                ++i;
            continue;
        }
        lines << line;
        line.clear();
    }
    if (!line.isEmpty())
        lines << line;
    return lines.join(QLatin1Char('\n'));
}

void AlphaBlendRect(const platform::Bitmap* Source, platform::Bitmap& Destination, const Rect& R, QPoint Target,
                    TAlphaBlendMode Mode, int ConstantAlpha, int Bias)
{
    if (R.isEmpty())
        return;
    auto saturate = [](int v) { return std::clamp(v, 0, 255); };
    if (Mode == abmConstantAlphaAndColor) {
        const platform::Color c = platform::colorToRgb(platform::Color(Bias));
        // Pixel bytes in memory: blue, green, red, alpha.
        const int color[4] = {platform::blueOf(c), platform::greenOf(c), platform::redOf(c), 0};
        const int a = ConstantAlpha;
        for (int y = std::max(R.top, 0); y < std::min(R.bottom, Destination.height()); ++y) {
            uint32_t* line = Destination.scanLine(y);
            for (int x = std::max(R.left, 0); x < std::min(R.right, Destination.width()); ++x) {
                uint32_t p = line[x];
                uint32_t out = 0;
                for (int b = 0; b < 4; ++b) {
                    const int d = int((p >> (8 * b)) & 0xFF);
                    out |= uint32_t(saturate((color[b] * a + d * (256 - a)) >> 8)) << (8 * b);
                }
                line[x] = out;
            }
        }
        return;
    }
    if (!Source)
        return;
    for (int k = 0; k < R.height(); ++k) {
        const int sy = R.top + k;
        const int dy = Target.y() + k;
        if (sy < 0 || sy >= Source->height() || dy < 0 || dy >= Destination.height())
            continue;
        const uint32_t* src = Source->scanLine(sy);
        uint32_t* dst = Destination.scanLine(dy);
        for (int i = 0; i < R.width(); ++i) {
            const int sx = R.left + i;
            const int dx = Target.x() + i;
            if (sx < 0 || sx >= Source->width() || dx < 0 || dx >= Destination.width())
                continue;
            const uint32_t s = src[sx];
            const uint32_t d = dst[dx];
            int a = ConstantAlpha;
            if (Mode == abmPerPixelAlpha)
                a = int(s >> 24);
            else if (Mode == abmMasterAlpha)
                a = (ConstantAlpha * int(s >> 24)) >> 8;
            uint32_t out = 0;
            for (int b = 0; b < 4; ++b) {
                const int sv = int((s >> (8 * b)) & 0xFF);
                const int dv = int((d >> (8 * b)) & 0xFF);
                const int blended = (dv * (256 - a) + sv * a) >> 8;
                out |= uint32_t(saturate(blended + Bias)) << (8 * b);
            }
            dst[dx] = out;
        }
    }
}

void DrawImageSaturated(const platform::TImageList& ImageList, Canvas& Canvas, int X, int Y, int Index)
{
    ImageList.DrawEx(Canvas, Index, X, Y, 0, 0, 0, 0, platform::ILD_NORMAL, platform::ILS_SATURATE);
}

void DrawImageEnabledOrSaturated(const platform::TImageList& ImageList, int Index, Canvas& Canvas, int X, int Y,
                                 unsigned Style, bool Enabled)
{
    if (Enabled)
        ImageList.DrawEx(Canvas, Index, X, Y, 0, 0, platform::ColorToImageListColor(ImageList.BkColor),
                         platform::ColorToImageListColor(ImageList.BlendColor), Style);
    else
        DrawImageSaturated(ImageList, Canvas, X, Y, Index);
}

bool ProcessorHasMMX()
{
#if defined(__x86_64__) || defined(__i386__)
    return __builtin_cpu_supports("mmx");
#else
    return false;
#endif
}

} // namespace controls
