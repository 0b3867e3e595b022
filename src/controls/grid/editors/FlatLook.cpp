#include "controls/grid/editors/FlatLook.h"

#include "platform/draw/Frames.h"
#include "platform/draw/Theme.h"

namespace controls::grid {

using platform::Canvas;
using platform::clNone;
using platform::Rect;

namespace {

constexpr Color kDisabledThemedBorder = platform::rgb(127, 157, 185);

void frame(Canvas& canvas, const Rect& r, Color c)
{
    canvas.brush() = platform::Brush{c, platform::BrushStyle::Solid};
    canvas.frameRect(r);
}

} // namespace

void DrawFlatControlBorder(Canvas& canvas, int width, int height, const TFlatBorder& b)
{
    Rect r{0, 0, width, height};
    if (!b.enabled && b.themed && !b.disabledBorder) {
        frame(canvas, r, kDisabledThemedBorder);
        return;
    }
    if (b.borderColor != clNone && !(b.hasFocus && b.focusBorderColor != clNone)) {
        frame(canvas, r, b.borderColor);
        return;
    }
    if (b.focusBorderColor != clNone) {
        if (b.hasFocus)
            frame(canvas, r, b.focusBorderColor);
        return;
    }
    // The flat ring: the parent's colour outside (the button face while active), the control's
    // own colour inside.
    const Color outer = b.focusBorderActive ? platform::clBtnFace : b.parentColor;
    if (b.focusBorderActive) {
        platform::DrawEdge(canvas, r, platform::BDR_SUNKENOUTER, platform::BF_RECT | platform::BF_ADJUST);
        frame(canvas, r, outer);
        r = r.inflated(-1, -1);
        frame(canvas, r, b.controlColor);
    } else {
        frame(canvas, r, outer);
        r = r.inflated(-1, -1);
        r.right -= b.buttonWidth;
        frame(canvas, r, outer);
        r = r.inflated(-1, -1);
        frame(canvas, r, b.controlColor);
        r.right += b.buttonWidth;
    }
    if (b.flat && b.flatLineColor != clNone) {
        canvas.pen() = platform::Pen{b.flatLineColor, 1, platform::PenStyle::Solid};
        canvas.moveTo(r.left - 2, height - 1);
        canvas.lineTo(r.right - b.buttonWidth - 1, height - 1);
    }
}

void DrawFlatButtonFrame(Canvas& canvas, int width, int height, int buttonWidth, bool active, bool raisedEdge,
                         bool dropped)
{
    canvas.excludeClipRect(Rect{width - buttonWidth + 4, 4, width - 4, height - 4});
    Rect r{0, 0, width, height};
    r.left += width - buttonWidth - 2;
    r = r.inflated(-2, -2);
    if (active) {
        if (raisedEdge) {
            Rect e = r;
            platform::DrawEdge(canvas, e, platform::EDGE_RAISED, platform::BF_RECT | (dropped ? platform::BF_FLAT : 0u));
        }
    } else {
        r.top += 1;
        r.bottom -= 1;
        r.right -= 1;
        canvas.brush() = platform::Brush{platform::clBtnFace, platform::BrushStyle::Solid};
        canvas.fillRect(r);
    }
    canvas.excludeClipRect(r);
}

void DrawDropButton(Canvas& canvas, QWidget* window, int width, int height, int buttonWidth, const TDropButton& b,
                    bool pickerShape)
{
    Rect r{0, 0, width, height};
    r.left += width - buttonWidth + 2;
    r = r.inflated(-1, -1);
    if (b.buttonColor == clNone) {
        if (b.visualStyles) {
            const platform::HTHEME theme = platform::OpenThemeData(window, QStringLiteral("combobox"));
            int state = platform::CBXS_NORMAL;
            if (!b.enabled)
                state = platform::CBXS_DISABLED;
            else if (b.mouseDown && b.dropped)
                state = platform::CBXS_PRESSED;
            else if (!b.mouseDown && b.hover && !b.dropped)
                state = platform::CBXS_HOT;
            platform::DrawThemeBackground(theme, canvas, platform::CP_DROPDOWNBUTTON, state, r);
            platform::CloseThemeData(theme);
        } else {
            if (!pickerShape) {
                r.left -= 4;
                r.top += 1;
                r.bottom -= 1;
            }
            platform::DrawFrameControl(canvas, r, platform::DFC_SCROLL,
                                       b.enabled ? platform::DFCS_SCROLLCOMBOBOX | platform::DFCS_FLAT
                                                 : platform::DFCS_SCROLLCOMBOBOX | platform::DFCS_INACTIVE);
        }
        return;
    }
    // Own colours; a hot or down colour that is not set leaves the one before it.
    Color face = b.buttonColor;
    if (b.hover && b.buttonColorHot != clNone)
        face = b.buttonColorHot;
    if (b.hover && b.mouseDown && b.buttonColorDown != clNone)
        face = b.buttonColorDown;
    const int arrowShift = pickerShape ? 1 : 0;
    if (pickerShape) {
        canvas.brush() = platform::Brush{face, platform::BrushStyle::Solid};
        canvas.fillRect(Rect{r.left + 2, r.top, r.right, r.bottom});
    } else {
        r.left -= 1;
        r.top += 1;
        r.right -= 1;
        r.bottom -= 1;
        canvas.brush() = platform::Brush{face, platform::BrushStyle::Solid};
        canvas.fillRect(r);
    }
    if (b.buttonBorderColor != clNone) {
        canvas.pen() = platform::Pen{b.buttonBorderColor, 1, platform::PenStyle::Solid};
        canvas.moveTo(r.left, r.top);
        canvas.lineTo(r.left, r.bottom);
    }
    Color arrow = b.mouseDown && b.buttonTextColorDown != clNone ? b.buttonTextColorDown : b.buttonTextColor;
    if (arrow == clNone)
        arrow = platform::clBtnText;
    canvas.pen() = platform::Pen{arrow, 1, platform::PenStyle::Solid};
    canvas.brush() = platform::Brush{arrow, platform::BrushStyle::Solid};
    const int l = r.left + arrowShift, t = r.top;
    canvas.polygon({QPoint(l + 4, t + 7), QPoint(l + 10, t + 7), QPoint(l + 7, t + 10)});
}

} // namespace controls::grid
