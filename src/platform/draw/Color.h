#pragma once
// Colour values as the controls store them: 32 bits, red in the lowest byte, then green, then
// blue. Two special forms:
//   - clNone (0x1FFFFFFF) means "no colour"; it is never drawn.
//   - FF in the top byte names a system colour by its index in the low byte (clBtnFace is
//     0xFF00000F); it is turned into RGB through colorToRgb() before any blending or drawing.
// System colours resolve through a fixed table (the usual light desktop scheme) so that every
// machine and every test draws the same pixels; setSystemColor() can change an entry.
#include <QColor>
#include <QString>
#include <cstdint>

namespace platform {

using Color = uint32_t;

constexpr Color rgb(int r, int g, int b)
{
    return Color(r & 0xFF) | (Color(g & 0xFF) << 8) | (Color(b & 0xFF) << 16);
}
constexpr Color systemColor(int index) { return 0xFF000000u | Color(index & 0xFF); }

constexpr Color clNone = 0x1FFFFFFFu;
// "The platform's default" in image-list and similar calls.
constexpr Color clDefault = 0x20000000u;

// The sixteen standard colours and four more with names.
constexpr Color clBlack = rgb(0, 0, 0);
constexpr Color clMaroon = rgb(128, 0, 0);
constexpr Color clGreen = rgb(0, 128, 0);
constexpr Color clOlive = rgb(128, 128, 0);
constexpr Color clNavy = rgb(0, 0, 128);
constexpr Color clPurple = rgb(128, 0, 128);
constexpr Color clTeal = rgb(0, 128, 128);
constexpr Color clGray = rgb(128, 128, 128);
constexpr Color clSilver = rgb(192, 192, 192);
constexpr Color clRed = rgb(255, 0, 0);
constexpr Color clLime = rgb(0, 255, 0);
constexpr Color clYellow = rgb(255, 255, 0);
constexpr Color clBlue = rgb(0, 0, 255);
constexpr Color clFuchsia = rgb(255, 0, 255);
constexpr Color clAqua = rgb(0, 255, 255);
constexpr Color clWhite = rgb(255, 255, 255);
constexpr Color clLtGray = clSilver;
constexpr Color clDkGray = clGray;
constexpr Color clMoneyGreen = rgb(192, 220, 192);
constexpr Color clSkyBlue = rgb(166, 202, 240);
constexpr Color clCream = rgb(255, 251, 240);
constexpr Color clMedGray = rgb(160, 160, 164);

// System colour indexes (the platform's numbering; 25 has no name).
enum SystemColorIndex : int {
    COLOR_SCROLLBAR = 0,
    COLOR_BACKGROUND = 1,
    COLOR_ACTIVECAPTION = 2,
    COLOR_INACTIVECAPTION = 3,
    COLOR_MENU = 4,
    COLOR_WINDOW = 5,
    COLOR_WINDOWFRAME = 6,
    COLOR_MENUTEXT = 7,
    COLOR_WINDOWTEXT = 8,
    COLOR_CAPTIONTEXT = 9,
    COLOR_ACTIVEBORDER = 10,
    COLOR_INACTIVEBORDER = 11,
    COLOR_APPWORKSPACE = 12,
    COLOR_HIGHLIGHT = 13,
    COLOR_HIGHLIGHTTEXT = 14,
    COLOR_BTNFACE = 15,
    COLOR_BTNSHADOW = 16,
    COLOR_GRAYTEXT = 17,
    COLOR_BTNTEXT = 18,
    COLOR_INACTIVECAPTIONTEXT = 19,
    COLOR_BTNHIGHLIGHT = 20,
    COLOR_3DDKSHADOW = 21,
    COLOR_3DLIGHT = 22,
    COLOR_INFOTEXT = 23,
    COLOR_INFOBK = 24,
    COLOR_HOTLIGHT = 26,
    COLOR_GRADIENTACTIVECAPTION = 27,
    COLOR_GRADIENTINACTIVECAPTION = 28,
    COLOR_MENUHILIGHT = 29,
    COLOR_MENUBAR = 30,
};

constexpr Color clScrollBar = systemColor(COLOR_SCROLLBAR);
constexpr Color clBackground = systemColor(COLOR_BACKGROUND);
constexpr Color clActiveCaption = systemColor(COLOR_ACTIVECAPTION);
constexpr Color clInactiveCaption = systemColor(COLOR_INACTIVECAPTION);
constexpr Color clMenu = systemColor(COLOR_MENU);
constexpr Color clWindow = systemColor(COLOR_WINDOW);
constexpr Color clWindowFrame = systemColor(COLOR_WINDOWFRAME);
constexpr Color clMenuText = systemColor(COLOR_MENUTEXT);
constexpr Color clWindowText = systemColor(COLOR_WINDOWTEXT);
constexpr Color clCaptionText = systemColor(COLOR_CAPTIONTEXT);
constexpr Color clActiveBorder = systemColor(COLOR_ACTIVEBORDER);
constexpr Color clInactiveBorder = systemColor(COLOR_INACTIVEBORDER);
constexpr Color clAppWorkSpace = systemColor(COLOR_APPWORKSPACE);
constexpr Color clHighlight = systemColor(COLOR_HIGHLIGHT);
constexpr Color clHighlightText = systemColor(COLOR_HIGHLIGHTTEXT);
constexpr Color clBtnFace = systemColor(COLOR_BTNFACE);
constexpr Color clBtnShadow = systemColor(COLOR_BTNSHADOW);
constexpr Color clGrayText = systemColor(COLOR_GRAYTEXT);
constexpr Color clBtnText = systemColor(COLOR_BTNTEXT);
constexpr Color clInactiveCaptionText = systemColor(COLOR_INACTIVECAPTIONTEXT);
constexpr Color clBtnHighlight = systemColor(COLOR_BTNHIGHLIGHT);
constexpr Color cl3DDkShadow = systemColor(COLOR_3DDKSHADOW);
constexpr Color cl3DLight = systemColor(COLOR_3DLIGHT);
constexpr Color clInfoText = systemColor(COLOR_INFOTEXT);
constexpr Color clInfoBk = systemColor(COLOR_INFOBK);
constexpr Color clHotLight = systemColor(COLOR_HOTLIGHT);
constexpr Color clGradientActiveCaption = systemColor(COLOR_GRADIENTACTIVECAPTION);
constexpr Color clGradientInactiveCaption = systemColor(COLOR_GRADIENTINACTIVECAPTION);
constexpr Color clMenuHighlight = systemColor(COLOR_MENUHILIGHT);
constexpr Color clMenuBar = systemColor(COLOR_MENUBAR);

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

// Colour texts as stored in settings and layout files: the name of a named colour ("clRed",
// "clWindow", "clNone", "clDefault"), otherwise "$" and eight upper-case hexadecimal digits of
// the value ("$00BBGGRR", "$FF000019" for system colour 25).
QString ColorToString(Color c);
// Reads a name (in any letter case) or a number by the program's integer rule ("$00FF8000",
// "255", "-1"). Anything else raises EConvertError.
Color StringToColor(const QString& s);
// A colour name alone (any letter case): false when the text names no colour.
bool IdentToColor(const QString& name, Color& c);

} // namespace platform
