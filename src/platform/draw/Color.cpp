#include "platform/draw/Color.h"

#include "platform/core/Conversions.h"
#include "platform/core/Errors.h"

#include <array>

namespace platform {

namespace {

// The usual light desktop scheme.
std::array<Color, 31> g_system = {
    rgb(200, 200, 200), // 0 scroll bar
    rgb(0, 0, 0),       // 1 background
    rgb(153, 180, 209), // 2 active caption
    rgb(191, 205, 219), // 3 inactive caption
    rgb(240, 240, 240), // 4 menu
    rgb(255, 255, 255), // 5 window
    rgb(100, 100, 100), // 6 window frame
    rgb(0, 0, 0),       // 7 menu text
    rgb(0, 0, 0),       // 8 window text
    rgb(0, 0, 0),       // 9 caption text
    rgb(180, 180, 180), // 10 active border
    rgb(244, 247, 252), // 11 inactive border
    rgb(171, 171, 171), // 12 app workspace
    rgb(0, 120, 215),   // 13 highlight
    rgb(255, 255, 255), // 14 highlight text
    rgb(240, 240, 240), // 15 button face
    rgb(160, 160, 160), // 16 button shadow
    rgb(109, 109, 109), // 17 gray text
    rgb(0, 0, 0),       // 18 button text
    rgb(0, 0, 0),       // 19 inactive caption text
    rgb(255, 255, 255), // 20 button highlight
    rgb(105, 105, 105), // 21 3-D dark shadow
    rgb(227, 227, 227), // 22 3-D light
    rgb(0, 0, 0),       // 23 info text
    rgb(255, 255, 225), // 24 info background
    rgb(0, 0, 0),       // 25 (unused)
    rgb(0, 102, 204),   // 26 hot light
    rgb(185, 209, 234), // 27 gradient active caption
    rgb(215, 228, 242), // 28 gradient inactive caption
    rgb(0, 120, 215),   // 29 menu highlight
    rgb(240, 240, 240), // 30 menu bar
};

} // namespace

Color colorToRgb(Color c)
{
    if (c == clNone)
        return clNone;
    if (isSystemColor(c)) {
        const unsigned idx = c & 0xFF;
        return idx < g_system.size() ? g_system[idx] : clBlack;
    }
    return c & 0x00FFFFFFu;
}

void setSystemColor(int index, Color rgbValue)
{
    if (index >= 0 && index < int(g_system.size()))
        g_system[size_t(index)] = rgbValue & 0x00FFFFFFu;
}

QColor toQColor(Color c)
{
    const Color v = colorToRgb(c);
    if (v == clNone)
        return QColor();
    return QColor(redOf(v), greenOf(v), blueOf(v));
}

Color fromQColor(const QColor& c)
{
    if (!c.isValid())
        return clNone;
    return rgb(c.red(), c.green(), c.blue());
}

namespace {

struct NamedColor {
    Color value;
    const char* name;
};

// When two names share a value (clSilver and clLtGray) the first in this list is written.
constexpr NamedColor kNamedColors[] = {
    {clBlack, "clBlack"},
    {clMaroon, "clMaroon"},
    {clGreen, "clGreen"},
    {clOlive, "clOlive"},
    {clNavy, "clNavy"},
    {clPurple, "clPurple"},
    {clTeal, "clTeal"},
    {clGray, "clGray"},
    {clSilver, "clSilver"},
    {clRed, "clRed"},
    {clLime, "clLime"},
    {clYellow, "clYellow"},
    {clBlue, "clBlue"},
    {clFuchsia, "clFuchsia"},
    {clAqua, "clAqua"},
    {clWhite, "clWhite"},
    {clMoneyGreen, "clMoneyGreen"},
    {clSkyBlue, "clSkyBlue"},
    {clCream, "clCream"},
    {clMedGray, "clMedGray"},
    {clActiveBorder, "clActiveBorder"},
    {clActiveCaption, "clActiveCaption"},
    {clAppWorkSpace, "clAppWorkSpace"},
    {clBackground, "clBackground"},
    {clBtnFace, "clBtnFace"},
    {clBtnHighlight, "clBtnHighlight"},
    {clBtnShadow, "clBtnShadow"},
    {clBtnText, "clBtnText"},
    {clCaptionText, "clCaptionText"},
    {clDefault, "clDefault"},
    {clGradientActiveCaption, "clGradientActiveCaption"},
    {clGradientInactiveCaption, "clGradientInactiveCaption"},
    {clGrayText, "clGrayText"},
    {clHighlight, "clHighlight"},
    {clHighlightText, "clHighlightText"},
    {clHotLight, "clHotLight"},
    {clInactiveBorder, "clInactiveBorder"},
    {clInactiveCaption, "clInactiveCaption"},
    {clInactiveCaptionText, "clInactiveCaptionText"},
    {clInfoBk, "clInfoBk"},
    {clInfoText, "clInfoText"},
    {clMenu, "clMenu"},
    {clMenuBar, "clMenuBar"},
    {clMenuHighlight, "clMenuHighlight"},
    {clMenuText, "clMenuText"},
    {clNone, "clNone"},
    {clScrollBar, "clScrollBar"},
    {cl3DDkShadow, "cl3DDkShadow"},
    {cl3DLight, "cl3DLight"},
    {clWindow, "clWindow"},
    {clWindowFrame, "clWindowFrame"},
    {clWindowText, "clWindowText"},
    {clLtGray, "clLtGray"},
    {clDkGray, "clDkGray"},
};

} // namespace

QString ColorToString(Color c)
{
    for (const NamedColor& n : kNamedColors)
        if (n.value == c)
            return QString::fromLatin1(n.name);
    return QLatin1Char('$') + QStringLiteral("%1").arg(c, 8, 16, QLatin1Char('0')).toUpper();
}

bool IdentToColor(const QString& name, Color& c)
{
    for (const NamedColor& n : kNamedColors)
        if (name.compare(QLatin1String(n.name), Qt::CaseInsensitive) == 0) {
            c = n.value;
            return true;
        }
    return false;
}

Color StringToColor(const QString& s)
{
    Color c = 0;
    if (IdentToColor(s, c))
        return c;
    return Color(uint32_t(StrToInt(s)));
}

} // namespace platform
