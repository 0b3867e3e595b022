#include "platform/draw/Frames.h"

#include <algorithm>

namespace platform {

namespace {

void fill(Canvas& c, const Rect& r, Color color)
{
    if (r.isEmpty())
        return;
    const Brush keep = c.brush();
    c.brush() = Brush{color, BrushStyle::Solid};
    c.fillRect(r);
    c.brush() = keep;
}

// One ring of an edge on the given sides: the top and left lines in `topLeft`, the bottom and
// right lines in `bottomRight`, which also take the corners the two share.
void ring(Canvas& c, const Rect& r, unsigned sides, Color topLeft, Color bottomRight)
{
    if (r.isEmpty())
        return;
    if (sides & BF_TOP)
        fill(c, Rect{r.left, r.top, r.right - ((sides & BF_RIGHT) ? 1 : 0), r.top + 1}, topLeft);
    if (sides & BF_LEFT)
        fill(c, Rect{r.left, r.top, r.left + 1, r.bottom - ((sides & BF_BOTTOM) ? 1 : 0)}, topLeft);
    if (sides & BF_BOTTOM)
        fill(c, Rect{r.left, r.bottom - 1, r.right, r.bottom}, bottomRight);
    if (sides & BF_RIGHT)
        fill(c, Rect{r.right - 1, r.top, r.right, r.bottom}, bottomRight);
}

Rect inset(const Rect& r, unsigned sides, int by = 1)
{
    Rect i = r;
    if (sides & BF_LEFT)
        i.left += by;
    if (sides & BF_TOP)
        i.top += by;
    if (sides & BF_RIGHT)
        i.right -= by;
    if (sides & BF_BOTTOM)
        i.bottom -= by;
    return i;
}

bool drawEdge(Canvas& c, Rect& r, unsigned edge, unsigned flags)
{
    if (flags & BF_DIAGONAL)
        return false;
    const unsigned sides = flags & BF_RECT;
    const bool soft = flags & BF_SOFT;
    Rect work = r;
    if (edge & BDR_OUTER) {
        Color tl, br;
        if (flags & BF_MONO)
            tl = br = clWindowFrame;
        else if (flags & BF_FLAT)
            tl = br = clBtnShadow;
        else if (edge & BDR_RAISEDOUTER)
            tl = soft ? clBtnHighlight : cl3DLight, br = cl3DDkShadow;
        else
            tl = soft ? cl3DDkShadow : clBtnShadow, br = clBtnHighlight;
        ring(c, work, sides, tl, br);
        work = inset(work, sides);
    }
    if (edge & BDR_INNER) {
        Color tl, br;
        if (flags & BF_MONO)
            tl = br = clWindow;
        else if (flags & BF_FLAT)
            tl = br = clBtnFace;
        else if (edge & BDR_RAISEDINNER)
            tl = soft ? cl3DLight : clBtnHighlight, br = clBtnShadow;
        else
            tl = soft ? clBtnShadow : cl3DDkShadow, br = cl3DLight;
        ring(c, work, sides, tl, br);
        work = inset(work, sides);
    }
    if (flags & BF_MIDDLE)
        fill(c, work, (flags & BF_MONO) ? clWindow : clBtnFace);
    if (flags & BF_ADJUST)
        r = work;
    return true;
}

Rect centredSquare(const Rect& r)
{
    const int s = std::min(r.width(), r.height());
    const int x = r.left + (r.width() - s) / 2;
    const int y = r.top + (r.height() - s) / 2;
    return Rect{x, y, x + s, y + s};
}

// The classic check mark: seven columns, each three pixels high, falling then rising.
void checkMark(Canvas& c, const Rect& box, Color color)
{
    static const int firstRow[7] = {2, 3, 4, 3, 2, 1, 0};
    const int x0 = box.left + (box.width() - 7) / 2;
    const int y0 = box.top + (box.height() - 7) / 2;
    for (int i = 0; i < 7; ++i)
        fill(c, Rect{x0 + i, y0 + firstRow[i], x0 + i + 1, y0 + firstRow[i] + 3}, color);
}

void checkBox(Canvas& c, const Rect& r, unsigned state)
{
    Rect box = centredSquare(r);
    Rect inside = box;
    if (state & DFCS_MONO) {
        ring(c, box, BF_RECT, clWindowFrame, clWindowFrame);
        inside = inset(box, BF_RECT);
    } else if (state & DFCS_FLAT) {
        ring(c, box, BF_RECT, clBtnShadow, clBtnShadow);
        inside = inset(box, BF_RECT);
    } else {
        drawEdge(c, inside, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    }
    const bool threeState = (state & DFCS_BUTTON3STATE) && (state & DFCS_CHECKED);
    if (!(state & DFCS_TRANSPARENT))
        fill(c, inside, (state & (DFCS_PUSHED | DFCS_INACTIVE)) || threeState ? clBtnFace : clWindow);
    if (state & DFCS_CHECKED)
        checkMark(c, box, (state & DFCS_INACTIVE) || threeState ? clBtnShadow : clWindowText);
}

void radioButton(Canvas& c, const Rect& r, unsigned state)
{
    const Rect box = centredSquare(r);
    const int s = box.width();
    if (s <= 0)
        return;
    const double cx = box.left + (s - 1) / 2.0, cy = box.top + (s - 1) / 2.0, radius = s / 2.0;
    auto inside = [&](int x, int y, double shrink) {
        const double a = radius - shrink;
        if (a <= 0)
            return false;
        const double dx = (x - cx) / a, dy = (y - cy) / a;
        return dx * dx + dy * dy <= 1.0 + 1e-9;
    };
    const bool flat = state & (DFCS_FLAT | DFCS_MONO);
    const Color outerTL = (state & DFCS_MONO) ? clWindowFrame : clBtnShadow;
    const Color outerBR = flat ? outerTL : clBtnHighlight;
    const Color middle = (state & (DFCS_PUSHED | DFCS_INACTIVE)) ? clBtnFace : clWindow;
    const Color dot = (state & DFCS_INACTIVE) ? clBtnShadow : clWindowText;
    const double dotShrink = radius - s / 6.0;
    for (int y = box.top; y < box.bottom; ++y)
        for (int x = box.left; x < box.right; ++x) {
            if (!inside(x, y, 0))
                continue;
            const bool topLeft = (x - cx) + (y - cy) < 0;
            Color color;
            if (!inside(x, y, 1))
                color = topLeft ? outerTL : outerBR;
            else if (!flat && !inside(x, y, 2))
                color = topLeft ? cl3DDkShadow : cl3DLight;
            else if ((state & DFCS_CHECKED) && inside(x, y, dotShrink))
                color = dot;
            else if (state & DFCS_TRANSPARENT)
                continue;
            else
                color = middle;
            fill(c, Rect{x, y, x + 1, y + 1}, color);
        }
}

// The face of a push button or scroll button; returns its inside.
Rect buttonFace(Canvas& c, const Rect& r, unsigned state, bool scroll)
{
    Rect inside = r;
    const bool pushed = state & (DFCS_PUSHED | (scroll ? 0u : DFCS_CHECKED));
    if (state & DFCS_MONO) {
        ring(c, r, BF_RECT, clWindowFrame, clWindowFrame);
        inside = inset(r, BF_RECT);
    } else if (state & DFCS_FLAT) {
        if ((state & DFCS_HOT) && !pushed)
            ring(c, r, BF_RECT, clBtnHighlight, clBtnShadow);
        else
            ring(c, r, BF_RECT, clBtnShadow, clBtnShadow);
        inside = inset(r, BF_RECT);
    } else if (pushed && scroll) {
        ring(c, r, BF_RECT, clBtnShadow, clBtnShadow);
        inside = inset(r, BF_RECT);
    } else if (pushed) {
        ring(c, r, BF_RECT, cl3DDkShadow, cl3DDkShadow);
        ring(c, inset(r, BF_RECT), BF_RECT, clBtnShadow, clBtnShadow);
        inside = inset(r, BF_RECT, 2);
    } else {
        drawEdge(c, inside, EDGE_RAISED, BF_RECT | BF_SOFT | BF_ADJUST);
    }
    if (!(state & DFCS_TRANSPARENT))
        fill(c, inside, (state & DFCS_MONO) ? clWindow : clBtnFace);
    return inside;
}

// A filled arrow of height k centred in r, pointing the way of a scroll button.
void triangle(Canvas& c, const Rect& r, int k, unsigned direction, int dx, int dy, Color color)
{
    const bool vertical = direction == DFCS_SCROLLUP || direction == DFCS_SCROLLDOWN || direction == DFCS_SCROLLCOMBOBOX;
    const int w = vertical ? 2 * k - 1 : k, h = vertical ? k : 2 * k - 1;
    const int x0 = r.left + (r.width() - w) / 2 + dx;
    const int y0 = r.top + (r.height() - h) / 2 + dy;
    for (int i = 0; i < k; ++i) {
        // Row (or column) i counted from the triangle's base.
        const int len = 2 * (k - 1 - i) + 1;
        switch (direction) {
        case DFCS_SCROLLUP:
            fill(c, Rect{x0 + i, y0 + k - 1 - i, x0 + i + len, y0 + k - i}, color);
            break;
        case DFCS_SCROLLLEFT:
            fill(c, Rect{x0 + k - 1 - i, y0 + i, x0 + k - i, y0 + i + len}, color);
            break;
        case DFCS_SCROLLRIGHT:
            fill(c, Rect{x0 + i, y0 + i, x0 + i + 1, y0 + i + len}, color);
            break;
        default: // down and the combo box
            fill(c, Rect{x0 + i, y0 + i, x0 + i + len, y0 + i + 1}, color);
            break;
        }
    }
}

} // namespace

bool DrawEdge(Canvas& canvas, Rect& r, unsigned edge, unsigned flags)
{
    canvas.log(QStringLiteral("DrawEdge %1 $%2 $%3").arg(logRect(r)).arg(edge, 0, 16).arg(flags, 0, 16));
    Canvas::QuietScope quiet(canvas);
    return drawEdge(canvas, r, edge, flags);
}

bool DrawFrameControl(Canvas& canvas, Rect& r, unsigned type, unsigned state)
{
    canvas.log(QStringLiteral("DrawFrameControl %1 %2 $%3").arg(logRect(r)).arg(type).arg(state, 0, 16));
    Canvas::QuietScope quiet(canvas);
    if (r.isEmpty())
        return false;
    const unsigned kind = state & 0xFF;
    if (type == DFC_BUTTON) {
        if (kind & DFCS_BUTTONPUSH) {
            const Rect inside = buttonFace(canvas, r, state, false);
            if (state & DFCS_ADJUSTRECT)
                r = inside;
            return true;
        }
        if (kind & DFCS_BUTTONRADIO) {
            radioButton(canvas, r, state);
            return true;
        }
        if (kind == DFCS_BUTTONCHECK || kind == DFCS_BUTTON3STATE) {
            checkBox(canvas, r, state);
            return true;
        }
        return false;
    }
    if (type == DFC_SCROLL) {
        if (kind != DFCS_SCROLLUP && kind != DFCS_SCROLLDOWN && kind != DFCS_SCROLLLEFT && kind != DFCS_SCROLLRIGHT &&
            kind != DFCS_SCROLLCOMBOBOX)
            return false;
        const bool pushed = state & DFCS_PUSHED;
        const Rect inside = buttonFace(canvas, r, state, true);
        const int shift = pushed && !(state & (DFCS_FLAT | DFCS_MONO)) ? 1 : 0;
        const Rect arrowArea = Rect{inside.left + shift, inside.top + shift, inside.right + shift, inside.bottom + shift};
        const int k = std::max(2, std::min(r.width(), r.height()) / 4);
        if (state & DFCS_INACTIVE) {
            triangle(canvas, arrowArea, k, kind, 1, 1, clBtnHighlight);
            triangle(canvas, arrowArea, k, kind, 0, 0, clBtnShadow);
        } else {
            triangle(canvas, arrowArea, k, kind, 0, 0, clBtnText);
        }
        return true;
    }
    return false;
}

} // namespace platform
