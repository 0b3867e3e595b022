#include "controls/tree/LazyTreeUtils.h"
#include "platform/draw/Graphics.h"
#include "platform/draw/TextFit.h"

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
    // The longest prefix that fits beside the ellipsis, measured no further than the width.
    const qsizetype low = Canvas.textFit().fit(S, Width - EllipsisWidth);
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
    // A caption without prefixes or line breaks is measured no further than the width: a word
    // of a megabyte costs what shows of it. (Every line is made of the caption's words.)
    const bool plain = ((DrawFormat & platform::DT_NOPREFIX) || !caption.contains(u'&')) &&
                       !(DrawFormat & platform::DT_WORDBREAK) &&
                       (!(DrawFormat & platform::DT_EXPANDTABS) || !caption.contains(u'\t')) &&
                       !caption.contains(u'\r') && !caption.contains(u'\n');
    auto fits = [&](QStringView text) {
        if (plain)
            return Canvas.textFit().fits(text, maxWidth);
        Rect r{0, 0, 0, 0};
        MeasureTextRect(Canvas, text.toString(), r, DrawFormat);
        return r.width() <= maxWidth;
    };
    // How many characters of a word wider than the line go on a line: the longest part that
    // fits (the word's start, or its end with ReverseWords), at least one character.
    auto piece = [&](QStringView word) -> qsizetype {
        if (!ReverseWords && plain)
            return std::max<qsizetype>(1, Canvas.textFit().fit(word, maxWidth));
        qsizetype lo = 1, hi = word.size(); // fits(lo) is taken as true, fits(hi) is known false
        while (hi - lo > 1) {
            const qsizetype mid = lo + (hi - lo) / 2;
            if (fits(ReverseWords ? word.right(mid) : word.left(mid)))
                lo = mid;
            else
                hi = mid;
        }
        return lo;
    };
    QStringList lines;
    QString line;
    int i = 0;
    // What is left of words[i] after the pieces of it already on lines.
    QStringView word = words.isEmpty() ? QStringView() : QStringView(words[0]);
    while (i < words.size()) {
        if (line.isEmpty() ? fits(word)
                           : fits(ReverseWords ? word.toString() + QLatin1Char(' ') + line
                                               : line + QLatin1Char(' ') + word.toString())) {
            line = line.isEmpty() ? word.toString()
                   : ReverseWords ? word.toString() + QLatin1Char(' ') + line
                                  : line + QLatin1Char(' ') + word.toString();
            if (++i < words.size())
                word = QStringView(words[i]);
            continue;
        }
        if (line.isEmpty()) {
            const qsizetype n = piece(word);
            lines << (ReverseWords ? word.right(n) : word.left(n)).toString();
            word = ReverseWords ? word.first(word.size() - n) : word.mid(n);
            if (word.isEmpty() && ++i < words.size())
                word = QStringView(words[i]);
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
