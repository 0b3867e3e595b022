#pragma once
// The painter of the animated button's face: background, edge, caption, glyph and drop-down
// arrow for each of the six styles, with its helpers. Keeps no state; draws on any canvas.
#include "platform/draw/Canvas.h"
#include "platform/draw/Color.h"

#include <QString>

namespace controls {

enum class TFxButtonStyle;
enum class TFxButtonLayout;

// Everything one face depends on. The face covers (0, 0) to (width, height).
struct ButtonFace {
    int width = 0;
    int height = 0;
    int step = 0;                         // highlight in eighths of hotTrackColor, 0..8
    int imageCount = 0;                   // images in the glyph strip
    const platform::Bitmap* glyph = nullptr; // strip: normal, disabled, pressed, hot
    bool pressed = false;
    bool hot = false;                     // pointer on the button or focused
    bool noBackground = false;
    bool enabled = true;
    bool flat = false;                    // edge only while hot or pressed
    bool wordWrap = false;                // break the caption instead of shortening it
    bool dropDown = false;                // draw the drop-down arrow
    TFxButtonStyle style{};
    platform::Color faceColor = platform::clBtnFace;
    platform::Color downColor = platform::clNone;
    platform::Color hotTrackColor = platform::clNone;
    platform::Color lightColor = platform::clWhite;
    platform::Color shadowColor = platform::rgb(128, 128, 128);
    platform::Font font;
    TFxButtonLayout layout{};
    QString caption;
    platform::Alignment alignment = platform::Alignment::taCenter;
};

// Paints the face on the canvas.
void DrawButtonFace(platform::Canvas& canvas, const ButtonFace& face);

// Fills (left, top) .. (right, bottom) with 32 horizontal bands going from `from` at the top to
// `to` at the bottom. Leaves the pen as it was.
void DrawButtonGradient(platform::Canvas& canvas, platform::Color from, platform::Color to,
                        int left, int top, int right, int bottom);

// step/8 of hotTrack mixed into face, per channel, rounded half to even.
platform::Color BlendHotTrackColor(platform::Color face, platform::Color hotTrack, int step);

// Draws the imageWidth x imageHeight image at (sourceX, sourceY) of the strip at (x, y),
// leaving out the strip's transparent colour (its bottom-left pixel). A source beyond the
// strip draws the first image.
void DrawTransparentGlyph(platform::Canvas& canvas, const platform::Bitmap& glyph, int x, int y,
                          int sourceX, int sourceY, int imageWidth, int imageHeight);

// The 5 by 3 drop-down arrow (black on fuchsia, fuchsia transparent).
const platform::Bitmap& dropDownArrow();

} // namespace controls
