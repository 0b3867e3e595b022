#pragma once
// Colour values as the controls store them: 32 bits, red in the lowest byte, then green, then
// blue. Two special forms:
//   - clNone (0x1FFFFFFF) means "no colour"; it is never drawn.
//   - FF in the top byte names a system colour by its index in the low byte (clBtnFace is
//     0xFF00000F); it is turned into RGB through colorToRgb() before any blending or drawing.
// System colours resolve through a fixed table (the usual light desktop scheme) so that every
// machine and every test draws the same pixels; setSystemColor() can change an entry.
#include <QColor>
#include <cstdint>

namespace platform {

using Color = uint32_t;

constexpr Color rgb(int r, int g, int b)
{
    return Color(r & 0xFF) | (Color(g & 0xFF) << 8) | (Color(b & 0xFF) << 16);
}
constexpr Color systemColor(int index) { return 0xFF000000u | Color(index & 0xFF); }

constexpr Color clNone = 0x1FFFFFFFu;
constexpr Color clBlack = rgb(0, 0, 0);
constexpr Color clWhite = rgb(255, 255, 255);
constexpr Color clGray = rgb(128, 128, 128);
constexpr Color clSilver = rgb(192, 192, 192);
constexpr Color clRed = rgb(255, 0, 0);
constexpr Color clYellow = rgb(255, 255, 0);
constexpr Color clFuchsia = rgb(255, 0, 255);
constexpr Color clSkyBlue = rgb(166, 202, 240);

// System colour indexes (the platform's numbering).
enum SystemColorIndex : int {
    COLOR_WINDOW = 5,
    COLOR_WINDOWTEXT = 8,
    COLOR_HIGHLIGHT = 13,
    COLOR_HIGHLIGHTTEXT = 14,
    COLOR_BTNFACE = 15,
    COLOR_BTNSHADOW = 16,
    COLOR_GRAYTEXT = 17,
    COLOR_BTNTEXT = 18,
    COLOR_BTNHIGHLIGHT = 20,
    COLOR_3DDKSHADOW = 21,
    COLOR_3DLIGHT = 22,
};

constexpr Color clWindow = systemColor(COLOR_WINDOW);
constexpr Color clWindowText = systemColor(COLOR_WINDOWTEXT);
constexpr Color clHighlight = systemColor(COLOR_HIGHLIGHT);
constexpr Color clHighlightText = systemColor(COLOR_HIGHLIGHTTEXT);
constexpr Color clBtnFace = systemColor(COLOR_BTNFACE);
constexpr Color clBtnShadow = systemColor(COLOR_BTNSHADOW);
constexpr Color clGrayText = systemColor(COLOR_GRAYTEXT);
constexpr Color clBtnText = systemColor(COLOR_BTNTEXT);
constexpr Color clBtnHighlight = systemColor(COLOR_BTNHIGHLIGHT);
constexpr Color cl3DDkShadow = systemColor(COLOR_3DDKSHADOW);
constexpr Color cl3DLight = systemColor(COLOR_3DLIGHT);

constexpr int redOf(Color c) { return int(c & 0xFF); }
constexpr int greenOf(Color c) { return int((c >> 8) & 0xFF); }
constexpr int blueOf(Color c) { return int((c >> 16) & 0xFF); }

inline bool isSystemColor(Color c) { return (c & 0xFF000000u) == 0xFF000000u; }

// The RGB value of a colour: system colours through the table, clNone stays clNone, any other
// value keeps its low 24 bits.
Color colorToRgb(Color c);
// Changes one entry of the system colour table (index 0..30).
void setSystemColor(int index, Color rgbValue);

// Resolved colour as Qt's colour (clNone gives an invalid QColor).
QColor toQColor(Color c);
Color fromQColor(const QColor& c);

} // namespace platform
