#include "controls/button/FxButtonFace.h"

#include "controls/button/FxButton.h"
#include "platform/draw/TextFit.h"
#include "platform/text/Text.h"

#include <algorithm>

namespace controls {

using namespace platform;

Color BlendHotTrackColor(Color face, Color hotTrack, int step)
{
    const Color f = colorToRgb(face);
    const Color h = colorToRgb(hotTrack);
    if (h == clNone)
        return f;
    if (f == clNone)
        return h;
    const double k = std::clamp(step, 0, TFxButton::kHotTrackSteps) / double(TFxButton::kHotTrackSteps);
    auto mix = [k](int a, int b) { return int(roundHalfEven((1.0 - k) * a + k * b)); };
    return rgb(mix(redOf(f), redOf(h)), mix(greenOf(f), greenOf(h)), mix(blueOf(f), blueOf(h)));
}

void DrawButtonGradient(Canvas& canvas, Color from, Color to, int left, int top, int right, int bottom)
{
    const Color a = colorToRgb(from);
    const Color b = colorToRgb(to);
    if (a == clNone || b == clNone)
        return;
    const Brush keep = canvas.brush();
    const int d = bottom - top;
    for (int i = 0; i < 32; ++i) {
        const int y0 = top + (i * d) / 31;
        const int y1 = std::min(bottom, y0 + d / 31 + 1);
        auto channel = [i](int x, int y) { return int(roundHalfEven(x + i * (y - x) / 31.0)); };
        canvas.brush() = Brush{rgb(channel(redOf(a), redOf(b)), channel(greenOf(a), greenOf(b)),
                                   channel(blueOf(a), blueOf(b))),
                               BrushStyle::Solid};
        canvas.fillRect(Rect{left, y0, right, y1});
    }
    canvas.brush() = keep;
}

void DrawTransparentGlyph(Canvas& canvas, const Bitmap& glyph, int x, int y, int sourceX, int sourceY,
                          int imageWidth, int imageHeight)
{
    if (glyph.isEmpty() || imageWidth <= 0 || imageHeight <= 0)
        return;
    Bitmap strip = glyph;
    strip.setTransparent(false);
    Bitmap image = strip;
    image.setSize(imageWidth, imageHeight); // keeps the strip's left part: the first image
    {
        Canvas c(image);
        c.draw(-sourceX, -sourceY, strip);
    }
    image.setTransparent(true);
    image.setTransparentColor(clNone); // the bottom-left pixel
    canvas.draw(x, y, image);
}

const Bitmap& dropDownArrow()
{
    static const Bitmap arrow = [] {
        Bitmap b(5, 3, clFuchsia);
        for (int row = 0; row < 3; ++row)
            for (int x = row; x < 5 - row; ++x)
                b.setPixel(x, row, clBlack);
        b.setTransparent(true);
        return b;
    }();
    return arrow;
}

void DrawButtonFace(Canvas& canvas, const ButtonFace& in)
{
    const int w = in.width;
    const int h = in.height;
    const TFxButtonStyle style = in.style;
    const bool enabled = in.enabled;
    const bool pressed = in.pressed && enabled; // a disabled face is never drawn pressed
    const int off = (pressed && style != TFxButtonStyle::bsEncarta) ? 1 : 0;
    const Color light = colorToRgb(in.lightColor);
    const Color shadow = colorToRgb(in.shadowColor);

    Color face = colorToRgb(in.faceColor);
    if (enabled && in.hotTrackColor != clNone)
        face = BlendHotTrackColor(face, in.hotTrackColor, in.step);
    if (pressed && in.downColor != clNone)
        face = colorToRgb(in.downColor);

    // Background.
    if (style == TFxButtonStyle::bsShape) {
        canvas.brush() = Brush{clFuchsia, BrushStyle::Solid};
        canvas.fillRect(Rect{-1, -1, w + 1, h + 1});
    } else if (!in.noBackground) {
        canvas.brush() = Brush{face, BrushStyle::Solid};
        switch (style) {
        case TFxButtonStyle::bsNormal:
        case TFxButtonStyle::bsEncarta:
        case TFxButtonStyle::bsOld:
            canvas.fillRect(Rect{-1, -1, w + 1, h + 1});
            break;
        case TFxButtonStyle::bsModern:
            DrawButtonGradient(canvas, light, face, 2, 2, w - 2, h / 4 + off);
            DrawButtonGradient(canvas, face, light, 2, h / 4 + off, w - 2, h - 1);
            break;
        default: // bsQuicken fills with its edge
            break;
        }
    }
    canvas.brush().style = BrushStyle::Clear;

    // Edge.
    auto pen = [&](Color c) { canvas.pen() = Pen{c, 1, PenStyle::Solid}; };
    switch (style) {
    case TFxButtonStyle::bsNormal:
    case TFxButtonStyle::bsEncarta:
    case TFxButtonStyle::bsOld: {
        if (in.flat && !(enabled && (in.hot || pressed)))
            break;
        if (style == TFxButtonStyle::bsOld) {
            const Color dark = colorToRgb(cl3DDkShadow);
            pen(shadow);
            if (pressed) {
                canvas.moveTo(1, h - 3);
                canvas.lineTo(1, 1);
                canvas.lineTo(w - 2, 1);
            } else {
                canvas.moveTo(w - 2, 0);
                canvas.lineTo(w - 2, h - 2);
                canvas.lineTo(0, h - 2);
            }
            pen(pressed ? dark : light);
            canvas.moveTo(0, h - 1);
            canvas.lineTo(0, 0);
            canvas.lineTo(w - 1, 0);
            pen(pressed ? light : dark);
            canvas.lineTo(w - 1, h - 1);
            canvas.lineTo(-1, h - 1);
        } else {
            pen(pressed ? shadow : light);
            canvas.moveTo(0, h - 1);
            canvas.lineTo(0, 0);
            canvas.lineTo(w - 1, 0);
            pen(pressed ? light : shadow);
            canvas.lineTo(w - 1, h - 1);
            canvas.lineTo(0, h - 1);
        }
        break;
    }
    case TFxButtonStyle::bsModern:
        pen(pressed ? shadow : face);
        canvas.rectangle(Rect{1, 1, w - 1, h - 1});
        pen(shadow);
        canvas.roundRect(Rect{0, 0, w, h}, 6, 6);
        break;
    case TFxButtonStyle::bsQuicken:
        canvas.pen().style = PenStyle::Clear;
        canvas.brush() = Brush{face, BrushStyle::Solid};
        canvas.roundRect(Rect{0, 1, w, h}, 4, 4);
        canvas.brush().style = BrushStyle::Clear;
        pen(shadow);
        canvas.moveTo(4, 0);
        canvas.lineTo(w - 5, 0);
        canvas.moveTo(4, h - 1);
        canvas.lineTo(w - 5, h - 1);
        break;
    case TFxButtonStyle::bsShape:
        break;
    }

    // Font.
    canvas.font() = in.font;
    if (style == TFxButtonStyle::bsEncarta && pressed)
        canvas.font().font.setBold(true);

    // Glyph image: normal 0, disabled 1, pressed 2, hot 3.
    int index = 0;
    if (!enabled) {
        index = 1;
    } else {
        if (in.hot && in.imageCount > 3)
            index = 3;
        if (pressed && in.imageCount > 2)
            index = 2;
    }
    const bool haveGlyph = in.glyph && !in.glyph->isEmpty();
    // The image height is the strip's even when the count leaves no image width: the caption
    // then still makes room for the glyph above or below it, though nothing is drawn there.
    const int imageW = (haveGlyph && in.imageCount > 0) ? in.glyph->width() / in.imageCount : 0;
    const int imageH = haveGlyph ? in.glyph->height() : 0;
    const int sourceX = index * imageW;

    unsigned format = DT_WORDBREAK;
    if (in.alignment == Alignment::taRightJustify)
        format |= DT_RIGHT;
    else if (in.alignment == Alignment::taCenter)
        format |= DT_CENTER;

    QString caption = in.caption;
    auto shorten = [&](int available) {
        if (in.wordWrap)
            return;
        // The longest start of the caption that fits, measured no further than the room.
        caption.truncate(canvas.textFit().fit(caption, available));
    };
    // Size of the caption: one line, or broken into lines at the available width.
    auto measure = [&](int available, int& tw, int& th) {
        if (caption.isEmpty()) {
            tw = th = 0;
        } else if (in.wordWrap) {
            Rect m{0, 0, std::max(1, available), 0};
            canvas.drawText(caption, m, format | DT_CALCRECT);
            tw = m.width();
            th = m.height();
        } else {
            tw = canvas.textWidth(caption);
            th = canvas.textHeight(caption);
        }
    };

    if (style == TFxButtonStyle::bsShape) {
        const int available = std::max(0, w - 8);
        shorten(available);
        Rect m{0, 0, std::max(1, available), 0};
        const int th = caption.isEmpty() ? 0 : canvas.drawText(caption, m, DT_WORDBREAK | DT_CENTER | DT_CALCRECT);
        if (haveGlyph)
            DrawTransparentGlyph(canvas, *in.glyph, (w - imageW) / 2, (h - imageH) / 2, sourceX, 0, imageW, imageH);
        Rect r{off, (h - th) / 2 + off, w, h};
        canvas.drawText(caption, r, DT_WORDBREAK | DT_CENTER);
    } else {
        int available = 0, textLeft = 0, textTop = 0, glyphX = 0, glyphY = 0, tw = 0, th = 0;
        const int textGap = caption.isEmpty() ? 0 : 4;
        if (in.layout == TFxButtonLayout::blGlyphLeft || in.layout == TFxButtonLayout::blGlyphRight) {
            available = w - 8;
            if (imageW > 0)
                available -= imageW + 4;
            available = std::max(0, available);
            shorten(available);
            measure(available, tw, th);
            textTop = (h - th) / 2 + off;
            textLeft = off + 4;
            glyphY = (h - imageH) / 2 + off;
            const int used = caption.isEmpty() ? 0 : tw + textGap;
            if (in.layout == TFxButtonLayout::blGlyphLeft) {
                if (imageW > 0)
                    textLeft += imageW + 4;
                glyphX = off + 4;
                if (!in.wordWrap) {
                    if (in.alignment == Alignment::taRightJustify)
                        glyphX = w - 4 - imageW - used + off;
                    else if (in.alignment == Alignment::taCenter)
                        glyphX = (w - imageW) / 2 + off - used / 2;
                }
            } else {
                glyphX = textLeft + used;
                if (!in.wordWrap) {
                    if (in.alignment == Alignment::taRightJustify)
                        glyphX = w - 4 + off - imageW;
                    else if (in.alignment == Alignment::taCenter)
                        glyphX = (w - imageW) / 2 + off + used / 2;
                }
            }
        } else {
            available = std::max(0, w - 8);
            shorten(available);
            measure(available, tw, th);
            const int block = th + (imageH > 0 ? imageH + 4 : 0);
            const int c = (h - block) / 2;
            textLeft = off + 4;
            if (in.layout == TFxButtonLayout::blGlyphTop) {
                textTop = c + imageH + off;
                glyphY = c + off;
            } else {
                textTop = c + off;
                glyphY = c + th + off;
            }
            if (in.alignment == Alignment::taLeftJustify)
                glyphX = off + 4;
            else if (in.alignment == Alignment::taRightJustify)
                glyphX = w - imageW - 4 + off;
            else
                glyphX = (w - imageW) / 2 + off;
        }
        if (!enabled)
            canvas.font().color = rgb(128, 128, 128);
        Rect r{textLeft, textTop, textLeft + available, textTop + th};
        if (!caption.isEmpty())
            canvas.drawText(caption, r, format);
        if (haveGlyph)
            DrawTransparentGlyph(canvas, *in.glyph, glyphX, glyphY, sourceX, 0, imageW, imageH);
    }

    if (in.dropDown)
        canvas.draw(w - 11, h / 2 - 1, dropDownArrow());
}

} // namespace controls
