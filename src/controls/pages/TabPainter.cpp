// The tab strip painter of TExtPageControl: everything the control shows but its pages.
#include "controls/pages/ExtPageControl.h"

#include "platform/draw/Frames.h"
#include "platform/draw/Graphics.h"
#include "platform/draw/Region.h"

#include <QPalette>
#include <cmath>
#include <optional>

namespace controls {

using platform::Canvas;
using platform::Color;
using platform::Rect;

namespace {

constexpr Color kGrey = platform::rgb(128, 128, 128);

int roundEven(double v) { return int(std::nearbyint(v)); }

void line(Canvas& c, int x1, int y1, int x2, int y2)
{
    c.moveTo(x1, y1);
    c.lineTo(x2, y2);
}

void path(Canvas& c, std::initializer_list<QPoint> points)
{
    bool first = true;
    for (const QPoint& p : points) {
        if (first)
            c.moveTo(p.x(), p.y());
        else
            c.lineTo(p.x(), p.y());
        first = false;
    }
}

void setPen(Canvas& c, Color color)
{
    c.pen().color = color;
    c.pen().style = platform::PenStyle::Solid;
    c.pen().width = 1;
}

void fill(Canvas& c, const Rect& r, Color color)
{
    c.brush() = platform::Brush{color, platform::BrushStyle::Solid};
    c.fillRect(r);
}

// A part of a bitmap as a bitmap of its own (pixels outside the source stay white).
platform::Bitmap part(const platform::Bitmap& b, int x, int y, int w, int h)
{
    platform::Bitmap out(std::max(w, 0), std::max(h, 0));
    if (w <= 0 || h <= 0)
        return out;
    out.image() = b.image().copy(x, y, w, h);
    return out;
}

} // namespace

// --- drawing routines ---------------------------------------------------------------------------

void DrawPageGradient(Canvas& canvas, Color from, Color to, int steps, const Rect& r, bool horizontal)
{
    if (steps <= 0)
        steps = 1;
    const Color a = platform::colorToRgb(from);
    const Color b = platform::colorToRgb(to);
    const double size = double(horizontal ? r.right - r.left : r.bottom - r.top) / steps;
    const int bandSize = roundEven(size);
    for (int n = 0; n < steps; ++n) {
        const auto channel = [&](int ca, int cb) { return roundEven(ca + double(n) * (cb - ca) / steps); };
        const Color c = platform::rgb(channel(platform::redOf(a), platform::redOf(b)),
                                      channel(platform::greenOf(a), platform::greenOf(b)),
                                      channel(platform::blueOf(a), platform::blueOf(b)));
        setPen(canvas, c);
        canvas.brush() = platform::Brush{c, platform::BrushStyle::Solid};
        const int start = roundEven(n * size);
        if (horizontal)
            canvas.rectangle(Rect{r.left + start, r.top, r.left + start + bandSize + 1, r.bottom});
        else
            canvas.rectangle(Rect{r.left, r.top + start, r.right, r.top + start + bandSize + 1});
    }
}

void StretchBlitTransparent(Canvas& target, const platform::Bitmap& bitmap, int x, int y, int width, int height,
                            int sourceX, int sourceY, int sourceWidth, int sourceHeight, Color transparent)
{
    if (width <= 0 || height <= 0 || sourceWidth <= 0 || sourceHeight <= 0 || bitmap.isEmpty())
        return;
    // The source is left as it was: the part is copied out and scaled on its own.
    platform::Bitmap piece = part(bitmap, sourceX, sourceY, sourceWidth, sourceHeight);
    if (sourceWidth != width || sourceHeight != height)
        piece.image() = piece.image().scaled(width, height, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    piece.setTransparent(true);
    piece.setTransparentColor(platform::colorToRgb(transparent));
    target.draw(x, y, piece);
}

void BlitTransparent(Canvas& target, const platform::Bitmap& bitmap, int x, int y, int width, int height, int sourceX,
                     int sourceY, Color transparent)
{
    StretchBlitTransparent(target, bitmap, x, y, width, height, sourceX, sourceY, width, height, transparent);
}

void DrawTabBitmapVertical(const platform::Bitmap& bitmap, Canvas& canvas, int x, int y, int total)
{
    if (bitmap.isEmpty())
        return;
    const int h = bitmap.height();
    const int w = bitmap.width();
    const Color t = bitmap.pixel(0, h - 1);
    const int half = h / 2;
    BlitTransparent(canvas, bitmap, x, y, w, half, 0, 0, t);
    StretchBlitTransparent(canvas, bitmap, x, y + half, w, total - h, 0, half - 1, w, 2, t);
    BlitTransparent(canvas, bitmap, x, y + half + total - h, w, half, 0, half, t);
}

void DrawTabBitmapHorizontal(const platform::Bitmap& bitmap, Canvas& canvas, int x, int y, int total)
{
    if (bitmap.isEmpty())
        return;
    const int h = bitmap.height();
    const int w = bitmap.width();
    const Color t = bitmap.pixel(0, h - 1);
    const int half = w / 2;
    BlitTransparent(canvas, bitmap, x, y, half, h, 0, 0, t);
    StretchBlitTransparent(canvas, bitmap, x + half, y, total - w, h, half - 1, 0, 2, h, t);
    BlitTransparent(canvas, bitmap, x + half + total - w, y, half, h, half, 0, t);
}

// --- close button -------------------------------------------------------------------------------

bool TExtPageControl::PtInCloseButton(int pageIndex, int x, int y) const
{
    const Rect r = TabRectOfPage(pageIndex);
    if (r.isEmpty())
        return false;
    const int lm = m_tabMargin.leftMargin();
    const int tm = m_tabMargin.topMargin();
    Rect box;
    if (m_tabPosition == TTabPosition::tpLeft) {
        const int c = r.bottom - tm + (m_tabBackGroundActive.isEmpty() ? 0 : m_tabOverlap);
        box = Rect{r.left + lm + 2 + (m_tabBackGroundActive.isEmpty() ? 0 : 2), c - 13, r.left + lm + 14, c - 2};
    } else {
        box = Rect{r.left + lm + 2, r.top + tm + 2, r.left + lm + 14, r.top + tm + 13};
    }
    return box.contains(x, y);
}

namespace {

enum class CloseLook { Normal, Hot, Down };

// The top-left corner of the drawn box on a tab.
QPoint closeBoxOrigin(TTabPosition position, const Rect& r, int lm, int tm, int la, int overlap, bool hot)
{
    switch (position) {
    case TTabPosition::tpLeft: return QPoint(r.left + lm + la + 2, r.bottom - tm + overlap - 13);
    case TTabPosition::tpRight:
        return hot ? QPoint(r.left + lm + 2, r.top + tm + 2) : QPoint(r.left + lm - la + 4, r.top + tm + 2);
    default: return QPoint(r.left + lm + 2, r.top + tm + la + 2);
    }
}

void drawCross(Canvas& c, QPoint o, Color fillColor, Color outline, Color cross)
{
    const int x = o.x();
    const int y = o.y();
    setPen(c, outline);
    c.brush() = platform::Brush{fillColor, platform::BrushStyle::Solid};
    c.rectangle(Rect{x, y, x + 12, y + 11});
    setPen(c, cross);
    line(c, x + 3, y + 7, x + 9, y + 2);
    line(c, x + 4, y + 7, x + 8, y + 2);
    line(c, x + 3, y + 3, x + 9, y + 8);
    line(c, x + 4, y + 3, x + 8, y + 8);
}

} // namespace

void TExtPageControl::DrawCloseGlyph(Canvas& canvas, QPoint topLeft)
{
    if (m_closeGlyph.isEmpty())
        return;
    const int w = std::min(12, m_closeGlyph.width());
    const int h = std::min(11, m_closeGlyph.height());
    BlitTransparent(canvas, m_closeGlyph, topLeft.x(), topLeft.y(), w, h, 0, 0,
                    m_closeGlyph.pixel(0, m_closeGlyph.height() - 1));
}

void TExtPageControl::DrawCloseButton(Canvas& canvas, const Rect& tabRect, bool isActive)
{
    const int overlap = m_tabBackGroundActive.isEmpty() ? 0 : m_tabOverlap;
    const QPoint o = closeBoxOrigin(m_tabPosition, tabRect, m_tabMargin.leftMargin(), m_tabMargin.topMargin(),
                                    isActive ? m_lowerActive : 0, overlap, false);
    if (!m_closeGlyph.isEmpty())
        DrawCloseGlyph(canvas, o);
    else
        drawCross(canvas, o, platform::clWhite, kGrey, platform::clBlack);
}

void TExtPageControl::DrawCloseButtonHot(Canvas& canvas, const Rect& tabRect)
{
    const int overlap = m_tabBackGroundActive.isEmpty() ? 0 : m_tabOverlap;
    const QPoint o = closeBoxOrigin(m_tabPosition, tabRect, m_tabMargin.leftMargin(), m_tabMargin.topMargin(),
                                    m_lowerActive, overlap, true);
    if (!m_closeGlyph.isEmpty())
        DrawCloseGlyph(canvas, o);
    else
        drawCross(canvas, o, platform::clWhite, platform::clBlack, kGrey);
}

void TExtPageControl::DrawCloseButtonDown(Canvas& canvas, const Rect& tabRect)
{
    const int overlap = m_tabBackGroundActive.isEmpty() ? 0 : m_tabOverlap;
    const QPoint o = closeBoxOrigin(m_tabPosition, tabRect, m_tabMargin.leftMargin(), m_tabMargin.topMargin(),
                                    m_lowerActive, overlap, false);
    if (!m_closeGlyph.isEmpty())
        DrawCloseGlyph(canvas, o);
    else
        drawCross(canvas, o, platform::rgb(192, 192, 192), platform::clBlack, platform::clBlack);
}

void TExtPageControl::DrawFocusFrame(Canvas& canvas, Rect r, bool isActive, int overlap)
{
    if (!isActive || !m_showFocus || !hasFocus())
        return;
    canvas.pen() = platform::Pen{platform::clBlack, 1, platform::PenStyle::Dot};
    canvas.brush().style = platform::BrushStyle::Clear;
    if (m_tabPosition == TTabPosition::tpLeft || m_tabPosition == TTabPosition::tpRight)
        canvas.rectangle(Rect{r.left + 5, r.top + 3, r.right - 5, r.bottom - overlap - 3});
    else
        canvas.rectangle(Rect{r.left + 5, r.top + 3, r.right - overlap - 5, r.bottom - 3});
    canvas.pen().style = platform::PenStyle::Solid;
}

// --- the strip ----------------------------------------------------------------------------------

void TExtPageControl::PaintTabs(Canvas& canvas)
{
    const int W = width();
    const int H = height();
    const TTabPosition pos = m_tabPosition;
    const bool vertical = pos == TTabPosition::tpLeft || pos == TTabPosition::tpRight;
    const Color parentColor = parentWidget() ? platform::fromQColor(parentWidget()->palette().color(QPalette::Window))
                                             : platform::clBtnFace;
    const platform::Font controlFont{font(), m_fontColor, 0};
    canvas.setFont(controlFont);

    if (m_tabBorder3D) {
        // The plain raised tabs of a classic strip, and a raised frame round the pages.
        fill(canvas, Rect{0, 0, W, H}, parentColor);
        Rect frame = displayRect().inflated(4, 4);
        platform::DrawEdge(canvas, frame, platform::EDGE_RAISED, platform::BF_RECT);
        for (int t = 0; t < int(m_tabs.size()); ++t) {
            Rect r = tabRect(t);
            if (t == m_tabIndex)
                r = r.inflated(vertical ? 0 : 2, vertical ? 2 : 0);
            fill(canvas, r, platform::clBtnFace);
            Rect edge = r;
            platform::DrawEdge(canvas, edge, platform::EDGE_RAISED, platform::BF_RECT);
            canvas.brush().style = platform::BrushStyle::Clear;
            Rect text = r;
            canvas.drawText(m_tabs[size_t(t)].first, text, platform::DT_SINGLELINE | platform::DT_CENTER | platform::DT_VCENTER);
        }
        return;
    }

    // 1-2: extents of the strip; the area of every tab wiped in the parent's colour.
    const int firstTabTop = m_tabs.empty() ? 0 : tabRect(0).top;
    int maxB = 0, minT = firstTabTop, minL = W, maxR = 0;
    bool anyTab = false;
    for (int i = PageCount() - 1; i >= 0; --i) {
        const TExtTabSheet* p = m_pages[size_t(i)];
        if (!p->tabVisible() || !p->tabShowing())
            continue;
        anyTab = true;
        Rect r = TabRectOfPage(i);
        maxB = std::max(maxB, r.bottom);
        minT = std::min(minT, r.top);
        minL = std::min(minL, r.left);
        maxR = std::max(maxR, r.right);
        r.right += 2;
        switch (pos) {
        case TTabPosition::tpTop: r.left -= 2; r.top -= 2; break;
        case TTabPosition::tpBottom: r.left -= 2; r.bottom += 2; break;
        case TTabPosition::tpLeft: r.left -= 2; r.top -= 2; r.bottom += 2; r.right -= 2; break;
        case TTabPosition::tpRight: r.top -= 2; r.bottom += 2; break;
        }
        fill(canvas, r, parentColor);
    }
    if (!anyTab) {
        maxB = 2;
        minT = H - 2;
        maxR = 2;
        minL = W - 2;
    }

    // 3: the end of a single-line strip.
    if (!m_multiLine) {
        if (pos == TTabPosition::tpTop) {
            fill(canvas, Rect{W - 35, 0, W, maxB}, m_color);
            setPen(canvas, platform::clWhite);
            line(canvas, std::max(maxR, W - 35), maxB, W, maxB);
        } else if (pos == TTabPosition::tpBottom) {
            fill(canvas, Rect{W - 35, minT, W, H}, m_color);
            setPen(canvas, platform::cl3DDkShadow);
            line(canvas, std::max(maxR, W - 35), minT - 1, W, minT - 1);
        }
    }

    // 4: the strip's background.
    switch (pos) {
    case TTabPosition::tpLeft: fill(canvas, Rect{0, 0, maxR, H - 1}, m_tabBackGroundColor); break;
    case TTabPosition::tpRight: fill(canvas, Rect{minL, 0, W, H - 1}, m_tabBackGroundColor); break;
    case TTabPosition::tpBottom: fill(canvas, Rect{0, minT, W, H}, m_tabBackGroundColor); break;
    case TTabPosition::tpTop: fill(canvas, Rect{0, 0, W, maxB}, m_tabBackGroundColor); break;
    }

    // 5: a page coloured apart from the control colours a 3-pixel frame round the page area.
    const TExtTabSheet* active = m_activePage;
    const bool colouredPage = active && (active->colorTo() != platform::clNone ||
                                         platform::colorToRgb(active->color()) != platform::colorToRgb(m_color));
    const int v = m_tabSheet3D ? 1 : 0;
    if (colouredPage) {
        std::vector<Rect> strips;
        switch (pos) {
        case TTabPosition::tpTop:
            strips = {Rect{1, maxB + v, W - 1, maxB + 4}, Rect{1, maxB + v, 4, H - 1}, Rect{W - 4, maxB + v, W - 1, H - 1},
                      Rect{1, H - 4, W - 1, H - 1}};
            break;
        case TTabPosition::tpBottom:
            strips = {Rect{1, minT - 4, W - 1, minT - v}, Rect{1, 1, 4, minT - v}, Rect{W - 4, 1, W - 1, minT - v},
                      Rect{1, 1, W - 1, 4}};
            break;
        case TTabPosition::tpLeft:
            strips = {Rect{maxR + v, 1, maxR + 4, H - 1}, Rect{maxR + v, 1, W - 1, 4}, Rect{maxR + v, H - 4, W - 1, H - 1},
                      Rect{W - 4, 1, W - 1, H - 1}};
            break;
        case TTabPosition::tpRight:
            strips = {Rect{minL - 4, 1, minL - v, H - 2}, Rect{1, 1, 4, H - 2}, Rect{1, 1, minL - v, 4},
                      Rect{1, H - 4, minL - v, H - 2}};
            break;
        }
        platform::Region clip;
        for (const Rect& r : strips)
            clip = platform::CombineRgn(clip, platform::Region(r), platform::RGN_OR);
        const int saved = canvas.saveState();
        canvas.selectClipRegion(&clip);
        const Rect client{0, 0, W, H};
        if (active->colorTo() == platform::clNone) {
            if (platform::colorToRgb(active->color()) != platform::colorToRgb(m_color)) {
                setPen(canvas, active->color());
                fill(canvas, client, active->color());
            }
        } else {
            DrawPageGradient(canvas, active->color(), active->colorTo(), 16, client, false);
            setPen(canvas, active->color());
            switch (pos) {
            case TTabPosition::tpTop: fill(canvas, Rect{1, maxB + 1, W - 1, maxB + 4}, active->color()); break;
            case TTabPosition::tpBottom: fill(canvas, Rect{1, 1, W - 1, 4}, active->color()); break;
            case TTabPosition::tpLeft: fill(canvas, Rect{maxR + v, 1, W - 1, 4}, active->color()); break;
            case TTabPosition::tpRight: fill(canvas, Rect{1, 1, minL - v, 4}, active->color()); break;
            }
        }
        canvas.restoreState(saved);
        canvas.selectClipRegion(nullptr);
    }

    // 6: the page outline, the rounded corners and the line between strip and page.
    int split = 0;
    if (!m_tabSheet3D) {
        const Color border = m_tabSheetBorderColor;
        const Color body = m_color;
        switch (pos) {
        case TTabPosition::tpTop:
            setPen(canvas, border);
            line(canvas, 0, maxB, 0, H);
            line(canvas, 0, H - 1, W, H - 1);
            line(canvas, W - 1, H - 2, W - 1, maxB);
            line(canvas, 0, maxB, W, maxB);
            if (!colouredPage) {
                setPen(canvas, body);
                line(canvas, 1, H - 2, W - 1, H - 2);
                line(canvas, W - 2, H - 2, W - 2, maxB);
            }
            break;
        case TTabPosition::tpBottom:
            setPen(canvas, border);
            line(canvas, 0, 0, 0, minT);
            line(canvas, 0, minT - 1, W, minT - 1);
            line(canvas, W - 1, minT - 1, W - 1, 0);
            line(canvas, 0, 0, W, 0);
            if (!colouredPage) {
                setPen(canvas, body);
                line(canvas, 1, minT - 2, W - 1, minT - 2);
                line(canvas, W - 2, minT - 2, W - 2, 0);
            }
            break;
        case TTabPosition::tpLeft:
            setPen(canvas, border);
            line(canvas, maxR, 0, maxR, H);
            line(canvas, maxR, H - 2, W - 2, H - 2);
            line(canvas, W - 2, H, W - 2, 0);
            line(canvas, W - 2, 0, maxR, 0);
            setPen(canvas, body);
            line(canvas, maxR, H - 1, W - 1, H - 1);
            line(canvas, W - 1, H - 1, W - 1, -1);
            break;
        case TTabPosition::tpRight:
            setPen(canvas, border);
            line(canvas, 0, 0, 0, H);
            line(canvas, 0, H, minL, H);
            line(canvas, minL - 1, H, minL - 1, 0);
            line(canvas, minL - 1, 0, 0, 0);
            setPen(canvas, body);
            line(canvas, 0, H - 1, minL, H - 1);
            if (!colouredPage)
                line(canvas, minL - 2, H - 3, minL - 2, 0);
            break;
        }
        if (m_roundEdges) {
            switch (pos) {
            case TTabPosition::tpTop:
                setPen(canvas, body);
                path(canvas, {{0, H - 4}, {0, H - 1}, {4, H - 1}});
                path(canvas, {{W - 4, H - 1}, {W - 1, H - 1}, {W - 1, H - 5}});
                setPen(canvas, border);
                line(canvas, 1, H - 4, 1, H - 2);
                line(canvas, 2, H - 2, 4, H - 2);
                line(canvas, W - 4, H - 2, W - 2, H - 2);
                line(canvas, W - 2, H - 3, W - 2, H - 5);
                break;
            case TTabPosition::tpBottom:
                setPen(canvas, body);
                path(canvas, {{0, 3}, {0, 0}, {5, 0}});
                path(canvas, {{W - 1, 3}, {W - 1, 0}, {W - 5, 0}});
                setPen(canvas, border);
                line(canvas, 1, 3, 1, 1);
                line(canvas, 2, 1, 5, 0);
                line(canvas, W - 2, 3, W - 2, 1);
                line(canvas, W - 3, 1, W - 5, 1);
                break;
            case TTabPosition::tpLeft:
                setPen(canvas, body);
                path(canvas, {{W - 5, H - 2}, {W - 2, H - 2}, {W - 2, H - 6}});
                path(canvas, {{W - 2, 3}, {W - 2, 0}, {W - 6, 0}});
                setPen(canvas, border);
                line(canvas, W - 5, H - 3, W - 3, H - 3);
                line(canvas, W - 3, H - 4, W - 3, H - 6);
                line(canvas, W - 3, 3, W - 3, 1);
                line(canvas, W - 4, 1, W - 6, 1);
                break;
            case TTabPosition::tpRight:
                setPen(canvas, body);
                path(canvas, {{0, 3}, {0, 0}, {5, 0}});
                path(canvas, {{0, H - 5}, {0, H - 2}, {4, H - 2}});
                setPen(canvas, border);
                line(canvas, 1, 3, 1, 1);
                line(canvas, 2, 1, 5, 0);
                line(canvas, 1, H - 5, 1, H - 3);
                line(canvas, 2, H - 3, 4, H - 3);
                break;
            }
        }
        if (!m_tabSplitLine && PageCount() > 0) {
            split = 1;
            Color pen = m_color;
            if (colouredPage)
                pen = pos == TTabPosition::tpBottom && active->colorTo() != platform::clNone ? active->colorTo()
                                                                                            : active->color();
            setPen(canvas, pen);
            const int ov = m_tabOverlap;
            switch (pos) {
            case TTabPosition::tpTop: line(canvas, 2, maxB, maxR + ov, maxB); break;
            case TTabPosition::tpBottom: line(canvas, 2, minT - 1, maxR + ov, minT - 1); break;
            case TTabPosition::tpLeft: {
                const int extra = m_tabStyle == TTabStyle::tsClassic && !m_tabBackGround.isEmpty() ? 2 : 0;
                line(canvas, maxR, 2, maxR, maxB + ov + extra);
                break;
            }
            case TTabPosition::tpRight: line(canvas, minL - 1, maxB + ov - 1, minL - 1, 2); break;
            }
        }
    }

    // 7: the tabs, last to first.
    const int lm = m_tabMargin.leftMargin();
    const int tm = m_tabMargin.topMargin();
    struct Deferred {
        int page = -1;
        Rect r;
        Rect stripRect;
        int tx = 0, ty = 0;
    };
    std::optional<Deferred> deferred;
    // 7.7: close button, image and caption in the canvas font; `deferredLook`: the caption in
    // the page's text colour whatever the position.
    const auto drawContent = [&](TExtTabSheet* p, const Rect& stripRect, const Rect& r, int tx, int ty, bool isActive,
                                 bool deferredLook, int overlap) {
        if (p->showClose())
            DrawCloseButton(canvas, stripRect, isActive);
        if (p->imageIndex() >= 0 && m_images) {
            switch (pos) {
            case TTabPosition::tpLeft:
                m_images->Draw(canvas, tx, ty - 14, p->imageIndex());
                ty -= m_images->Height();
                break;
            case TTabPosition::tpRight:
                m_images->Draw(canvas, tx - 14, ty, p->imageIndex());
                ty += m_images->Height();
                break;
            default:
                m_images->Draw(canvas, tx - 2, ty, p->imageIndex());
                tx += m_images->Width();
                break;
            }
        }
        Color textColor = p->textColor();
        if (!deferredLook && (pos == TTabPosition::tpBottom || (pos == TTabPosition::tpTop && isActive)))
            textColor = m_activeFont.color;
        if (!p->tabEnable())
            textColor = kGrey;
        canvas.font().color = textColor;
        canvas.brush().style = platform::BrushStyle::Clear;
        canvas.setBkMode(platform::BkMode::Transparent);
        if (vertical) {
            canvas.textOut(tx, ty, p->caption());
        } else {
            Rect text{tx, ty, r.right, r.bottom};
            canvas.drawText(p->caption(), text, platform::DT_SINGLELINE | platform::DT_NOCLIP);
        }
        if (isActive)
            canvas.setFont(controlFont);
        DrawFocusFrame(canvas, r, isActive, overlap);
    };

    for (int i = PageCount() - 1; i >= 0; --i) {
        TExtTabSheet* p = m_pages[size_t(i)];
        if (!p->tabVisible() || !p->tabShowing())
            continue;
        const bool isActive = p == active;
        const Rect stripRect = TabRectOfPage(i);
        Rect r = stripRect;
        const int la = isActive ? m_lowerActive : 0;

        // 7.1 colours.
        Color c1 = p->tabColor();
        Color c2 = p->tabColorTo();
        TGradientDirection dir = p->tabGradientDirection();
        if (isActive && m_activeColor != platform::clNone) {
            c1 = m_activeColor;
            c2 = m_activeColorTo;
        } else if (i == m_hoverTab && (m_tabHoverColor != platform::clNone || m_tabHoverColorTo != platform::clNone)) {
            c1 = m_tabHoverColor;
            c2 = m_tabHoverColorTo;
            dir = p->hoverGradientDirection();
        }
        const bool gradient = c2 != platform::clNone;
        const bool horizontalGradient = dir == TGradientDirection::gdHorizontal;
        const bool picture = !m_tabBackGround.isEmpty();

        // 7.2 text position and fill.
        int tx = 0, ty = 0;
        switch (pos) {
        case TTabPosition::tpLeft:
            tx = r.left + 1 + la;
            ty = r.bottom - (p->showClose() ? 17 : 4);
            break;
        case TTabPosition::tpRight:
            tx = r.right - 1 - la;
            ty = r.top + (p->showClose() ? 17 : 4);
            break;
        case TTabPosition::tpBottom:
            tx = r.left + (p->showClose() ? 18 : 4);
            ty = isActive ? r.top + m_lowerActive + 1 : r.top;
            break;
        case TTabPosition::tpTop:
            tx = r.left + (p->showClose() ? 18 : 4);
            ty = isActive ? r.top + m_lowerActive + 1 : r.top + 1;
            break;
        }
        if (!picture) {
            switch (pos) {
            case TTabPosition::tpLeft: r.left -= 1; break;
            case TTabPosition::tpBottom: r.bottom += 1; break;
            case TTabPosition::tpTop: r.top -= 1; break;
            case TTabPosition::tpRight: break;
            }
            if (gradient) {
                switch (pos) {
                case TTabPosition::tpLeft:
                    r.right -= 1;
                    if (!horizontalGradient)
                        r.bottom -= 1;
                    break;
                case TTabPosition::tpRight:
                    if (!isActive && !horizontalGradient)
                        r.bottom -= 1;
                    break;
                case TTabPosition::tpBottom:
                    if (horizontalGradient)
                        r.right -= 1;
                    else
                        r.bottom -= 1;
                    break;
                case TTabPosition::tpTop:
                    r.bottom -= 1;
                    if (horizontalGradient)
                        r.right -= 1;
                    break;
                }
                DrawPageGradient(canvas, c1, c2, 16, r, horizontalGradient);
            } else if (c1 != platform::clNone) {
                fill(canvas, r, c1);
            }
            if (pos == TTabPosition::tpRight)
                r.right += 1;

            // 7.3 / 7.4 outline.
            canvas.brush().style = platform::BrushStyle::Clear;
            setPen(canvas, m_tabBorderColor);
            if (m_tabStyle == TTabStyle::tsDotNet) {
                if (isActive) {
                    switch (pos) {
                    case TTabPosition::tpLeft:
                        path(canvas, {{r.right, r.top}, {r.left, r.top}, {r.left, r.bottom}, {r.right, r.bottom}});
                        break;
                    case TTabPosition::tpRight:
                        path(canvas, {{r.left - 1, r.top}, {r.right - 1, r.top}, {r.right - 1, r.bottom}, {r.left - 1, r.bottom}});
                        break;
                    case TTabPosition::tpBottom:
                        path(canvas, {{r.left, r.top - 1}, {r.left, r.bottom}, {r.right, r.bottom}, {r.right, r.top - 1}});
                        break;
                    case TTabPosition::tpTop:
                        path(canvas, {{r.left, r.bottom}, {r.left, r.top}, {r.right, r.top}, {r.right, r.bottom}});
                        break;
                    }
                } else {
                    switch (pos) {
                    case TTabPosition::tpLeft: line(canvas, r.right, r.top, r.right, r.bottom); break;
                    case TTabPosition::tpRight: line(canvas, r.left - 1, r.top, r.left - 1, r.bottom); break;
                    case TTabPosition::tpBottom: line(canvas, r.left, r.top - 1, r.right, r.top - 1); break;
                    case TTabPosition::tpTop: line(canvas, r.left, r.bottom, r.right, r.bottom); break;
                    }
                    const bool nextIsActive = FindNextPage(p, true, true) == active;
                    const bool reachesEnd = vertical ? r.bottom >= H - 3 : r.right >= W - 3;
                    if (!nextIsActive || reachesEnd) {
                        setPen(canvas, m_activeColor);
                        if (vertical) {
                            line(canvas, r.left + 2, r.bottom - 2, r.right - 2, r.bottom - 2);
                            line(canvas, r.left + 2, r.bottom - 3, r.right - 2, r.bottom - 3);
                        } else {
                            line(canvas, r.right - 2, r.bottom - 3, r.right - 2, r.top + 2);
                            line(canvas, r.right - 3, r.bottom - 3, r.right - 3, r.top + 2);
                        }
                    }
                }
            } else {
                if (isActive) {
                    switch (pos) {
                    case TTabPosition::tpLeft:
                        path(canvas, {{r.right - 1, r.top}, {r.left, r.top}, {r.left, r.bottom}, {r.right, r.bottom}});
                        break;
                    case TTabPosition::tpRight:
                        path(canvas, {{r.left, r.top}, {r.right - 1, r.top}, {r.right - 1, r.bottom}, {r.left - 1, r.bottom}});
                        break;
                    case TTabPosition::tpBottom:
                        path(canvas, {{r.left, r.top}, {r.left, r.bottom}, {r.right, r.bottom}, {r.right, r.top - 1}});
                        break;
                    case TTabPosition::tpTop:
                        path(canvas, {{r.left, r.bottom - 1}, {r.left, r.top}, {r.right, r.top}, {r.right, r.bottom}});
                        break;
                    }
                } else {
                    bool reachesPage = false;
                    switch (pos) {
                    case TTabPosition::tpLeft: reachesPage = r.right >= maxR; break;
                    case TTabPosition::tpRight: reachesPage = r.left <= minL; break;
                    case TTabPosition::tpBottom: reachesPage = r.top <= minT; break;
                    case TTabPosition::tpTop: reachesPage = r.bottom >= maxB; break;
                    }
                    if (!reachesPage)
                        split = 0;
                    const int longer = (vertical ? r.bottom < H - 5 : r.right < W - 5) ? 1 : 0;
                    Rect box;
                    switch (pos) {
                    case TTabPosition::tpLeft: box = Rect{r.left, r.top, r.right + 1 + split, r.bottom + longer}; break;
                    case TTabPosition::tpRight: box = Rect{r.left - 1 - split, r.top, r.right, r.bottom + longer}; break;
                    case TTabPosition::tpBottom: box = Rect{r.left, r.top - 1 - split, r.right + longer, r.bottom}; break;
                    case TTabPosition::tpTop: box = Rect{r.left, r.top, r.right + longer, r.bottom + 1 + split}; break;
                    }
                    canvas.rectangle(box);
                    if (!m_tabSheet3D && !m_tabSplitLine)
                        split = 1;
                    if (pos == TTabPosition::tpBottom)
                        ty += 2;
                }
            }
        } else {
            // 7.5 a picture instead of fills and outlines.
            switch (pos) {
            case TTabPosition::tpLeft: tx -= 2; ty -= 3; break;
            case TTabPosition::tpRight: tx -= std::max(m_tabHeight, 0) / 3; ty -= 3; break;
            case TTabPosition::tpBottom: ty += 3; break;
            case TTabPosition::tpTop: break;
            }
        }

        // 7.6 font and margins.
        platform::Font tabFont = isActive ? m_activeFont : controlFont;
        tabFont.orientation = pos == TTabPosition::tpLeft ? 900 : pos == TTabPosition::tpRight ? -900 : 0;
        if (pos == TTabPosition::tpLeft) {
            tx += lm;
            ty -= tm;
            if (!m_tabBackGroundActive.isEmpty())
                ty += m_tabOverlap + 3;
        } else {
            tx += lm;
            ty += tm;
        }

        if (picture) {
            if (isActive && !m_tabBackGroundActive.isEmpty()) {
                deferred = Deferred{i, r, stripRect, tx, ty};
                continue;
            }
            const int length = vertical ? r.bottom + m_tabOverlap - r.top + 3 : r.right + m_tabOverlap - r.left + 2;
            switch (pos) {
            case TTabPosition::tpLeft: DrawTabBitmapVertical(m_tabBackGround, canvas, r.left, r.top, length); break;
            case TTabPosition::tpRight: DrawTabBitmapVertical(m_tabBackGround, canvas, r.left - 1, r.top - 2, length); break;
            case TTabPosition::tpBottom: DrawTabBitmapHorizontal(m_tabBackGround, canvas, r.left - 2, r.top - 1, length); break;
            case TTabPosition::tpTop: DrawTabBitmapHorizontal(m_tabBackGround, canvas, r.left - 1, r.top - 2, length); break;
            }
        }

        // 7.7 content; an inactive tab leaves its font on the canvas.
        canvas.font() = tabFont;
        drawContent(p, stripRect, r, tx, ty, isActive, false, 0);
    }

    // 8: the deferred active tab with its own picture, in the font the last tab left.
    if (deferred) {
        TExtTabSheet* p = m_pages[size_t(deferred->page)];
        const Rect& r = deferred->r;
        int x = 0, y = 0;
        if (m_lowerActive < 1) {
            switch (pos) {
            case TTabPosition::tpTop: x = r.left - 2; y = r.top - 2; break;
            case TTabPosition::tpBottom: x = r.left - 2; y = r.top - 1; break;
            case TTabPosition::tpLeft: x = r.left; y = r.top; break;
            case TTabPosition::tpRight: x = r.left - 1; y = r.top - 2; break;
            }
        } else {
            switch (pos) {
            case TTabPosition::tpTop: x = r.left - 2; y = r.top - 1; break;
            case TTabPosition::tpBottom: x = r.left - 2; y = r.top - 3; break;
            case TTabPosition::tpLeft: x = r.left + 1; y = r.top; break;
            case TTabPosition::tpRight: x = r.left - 3; y = r.top - 2; break;
            }
        }
        const int length = vertical ? r.bottom + m_tabOverlap - r.top + 3 : r.right + m_tabOverlap - r.left + 2;
        if (vertical)
            DrawTabBitmapVertical(m_tabBackGroundActive, canvas, x, y, length);
        else
            DrawTabBitmapHorizontal(m_tabBackGroundActive, canvas, x, y, length);
        const int ty = pos == TTabPosition::tpBottom ? deferred->ty - 2 : deferred->ty;
        drawContent(p, deferred->stripRect, r, deferred->tx, ty, true, true, m_tabOverlap);
    }

    // 9: the hover outline of a tab that is not the active one.
    if (m_hoverTab >= 0 && m_tabHoverBorder != platform::clNone && GetPage(m_hoverTab) != active) {
        Rect r = TabRectOfPage(m_hoverTab);
        if (!r.isEmpty()) {
            setPen(canvas, m_tabHoverBorder);
            canvas.brush().style = platform::BrushStyle::Clear;
            switch (pos) {
            case TTabPosition::tpTop:
                r.top -= 1;
                if (r.right > W - 5)
                    r.right -= 1;
                path(canvas, {{r.left, r.bottom - 2}, {r.left, r.top}, {r.right, r.top}, {r.right, r.bottom - 1}});
                break;
            case TTabPosition::tpBottom:
                if (r.right > W - 5)
                    r.right -= 1;
                path(canvas, {{r.left, r.top + 1}, {r.left, r.bottom}, {r.right, r.bottom}, {r.right, r.top}});
                break;
            case TTabPosition::tpLeft:
                r.left -= 1;
                r.top -= 2;
                if (r.bottom > H - 5)
                    r.bottom -= 1;
                path(canvas, {{r.right - 1, r.top + 2}, {r.left, r.top + 2}, {r.left, r.bottom}, {r.right, r.bottom}});
                break;
            case TTabPosition::tpRight:
                r.left += 1;
                if (r.bottom > H - 5)
                    r.bottom -= 1;
                path(canvas, {{r.left, r.top}, {r.right, r.top}, {r.right, r.bottom}, {r.left - 1, r.bottom}});
                break;
            }
        }
    }

    // The active tab's close button under the pointer, or pressed.
    if (active && active->showClose()) {
        const Rect r = TabRectOfPage(active->pageIndex());
        if (m_closePressed)
            DrawCloseButtonDown(canvas, r);
        else if (m_hoverClosedButton)
            DrawCloseButtonHot(canvas, r);
    }
}

} // namespace controls
