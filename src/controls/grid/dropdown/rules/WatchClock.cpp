#include "controls/grid/dropdown/rules/WatchClock.h"

#include "platform/core/Errors.h"
#include "platform/grid/Keys.h"
#include "platform/text/Text.h"

#include <cmath>
#include <numbers>

namespace controls::grid::dropdown {

using namespace platform;

namespace {

platform::Font MakeFont(const QString& family, int size, bool bold = false, Color color = clWindowText)
{
    platform::Font f;
    f.font.setFamily(family);
    f.font.setPointSize(size);
    f.font.setBold(bold);
    f.color = color;
    return f;
}

void SetFamily(platform::Font& f, const QString& family, bool bold = false)
{
    f.font.setFamily(family);
    f.font.setBold(bold);
}

int Round(double v) { return int(roundHalfEven(v)); }
double Rad(double degrees) { return degrees * std::numbers::pi / 180.0; }

} // namespace

TWatchAppearance::TWatchAppearance() { Reset(); }

void TWatchAppearance::Reset()
{
    Size = 0;
    Shape = wsCircle;
    BackgroundColor = 0xFFFFFF;
    BackgroundColorTo = clNone;
    BackgroundGradient = wgVertical;
    BorderColor = 0x000000;
    BorderWidth = 4;
    Picture.clear();
    HourFont = MakeFont(QStringLiteral("Tahoma"), 8);
    AMPMFont = MakeFont(QStringLiteral("Tahoma"), 10);
    AMPMColor = 0xFFFFFF;
    AMPMBorderColor = 0x000000;
    AMPMFrame = apRect;
    HourPointer = 0x000000;
    HourPointerShadow = clBtnShadow;
    HourPointerSize = 4;
    MinutePointer = 0x000000;
    MinutePointerShadow = clBtnShadow;
    MinutePointerSize = 3;
    SecondPointer = 0x0000FF;
    SecondPointerSize = 1;
    PointerStyle = psLine;
    HourColor = 0x000000;
    HourMarkLength = 0;
    HourMarkWidth = 1;
    HourMarkStyle = hmsLine;
    MinuteColor = 0x808080;
    MinuteMarkLength = 0;
    MinuteMarkWidth = 1;
    TickMarks = tmAll;
    CenterPointSize = 4;
    CenterPointColor = 0x000000;
    CenterPointBorderColor = clNone;
    CenterPointOuterBorderColor = clNone;
}

void TWatchAppearance::Assign(const platform::TPersistent* source)
{
    const auto* s = dynamic_cast<const TWatchAppearance*>(source);
    if (!s) {
        platform::TPersistent::Assign(source);
        return;
    }
    auto notice = OnChange;
    *this = *s;
    OnChange = notice;
    Changed();
}

void TWatchSettings::SetAuto(bool on)
{
    if (on == m_auto)
        return;
    m_auto = on;
    changed();
}

void TWatchSettings::SetSecond(bool on)
{
    if (on == m_second)
        return;
    m_second = on;
    changed();
}

void TWatchSettings::SetTimeOffset(int minutes)
{
    if (minutes == m_timeOffset)
        return;
    m_timeOffset = minutes;
    changed();
}

void TWatchSettings::Assign(const platform::TPersistent* source)
{
    const auto* s = dynamic_cast<const TWatchSettings*>(source);
    if (!s) {
        platform::TPersistent::Assign(source);
        return;
    }
    m_second = s->m_second;
    m_timeOffset = s->m_timeOffset;
    SetAuto(s->m_auto);
}

TWatchStyleExtras ApplyWatchStyle(TWatchAppearance& a, TWatchStyle style, int width, int height)
{
    a.Reset();
    TWatchStyleExtras x;
    const QString sans = QStringLiteral("MS Sans Serif");
    const int side = std::min(width, height);
    switch (style) {
    case wsClassic:
        SetFamily(a.AMPMFont, sans);
        a.HourFont = MakeFont(QStringLiteral("Comic Sans MS"), 10, true, a.HourFont.color);
        a.HourMarkLength = 8;
        a.HourPointer = 0x000000;
        a.HourPointerShadow = clBtnShadow;
        a.HourPointerSize = 5;
        a.MinutePointerShadow = clBtnShadow;
        a.MinuteMarkLength = 4;
        x.animation = true;
        x.animationFactor = 10;
        x.showAMPM = true;
        x.showNumbers = true;
        break;
    case wsTower:
        SetFamily(a.AMPMFont, sans);
        a.AMPMFrame = apRect;
        a.BorderWidth = 1;
        a.BackgroundColor = 0xB1F0FE;
        a.BackgroundGradient = wgDiagonalForward;
        a.CenterPointColor = 0x002BD5;
        a.CenterPointSize = 6;
        a.HourFont.color = clWindowText;
        SetFamily(a.HourFont, QStringLiteral("Century"), true);
        a.HourPointer = 0x000000;
        a.HourPointerShadow = clBtnShadow;
        a.HourPointerSize = 5;
        a.MinutePointerShadow = clBtnShadow;
        a.SecondPointer = 0x002BD5;
        a.Shape = wsRect;
        a.PointerStyle = psPointer;
        a.BackgroundColorTo = 0x5BCCE8;
        a.AMPMColor = a.BackgroundColor;
        a.TickMarks = tmHours;
        x.showNumbers = false;
        break;
    case wsFluorescent:
        a.AMPMFont = MakeFont(sans, 10);
        a.AMPMFrame = apRoundRect;
        a.BorderColor = 0xFF3E3E;
        a.BackgroundColor = a.BackgroundColorTo = 0x000000;
        a.CenterPointColor = 0xFF3E3E;
        a.CenterPointBorderColor = 0x000000;
        a.CenterPointOuterBorderColor = 0x000000;
        a.CenterPointSize = 20;
        a.HourFont = MakeFont(sans, 8);
        a.HourColor = 0xFF3E3E;
        a.HourMarkLength = 10;
        a.HourPointer = 0xFF3E3E;
        a.HourPointerShadow = clBtnShadow;
        a.HourPointerSize = 2;
        a.MinuteColor = 0xFF3E3E;
        a.MinutePointer = 0xFF3E3E;
        a.MinutePointerShadow = clBtnShadow;
        a.MinutePointerSize = 2;
        a.Shape = wsRoundRect;
        a.HourMarkWidth = 2;
        a.HourMarkStyle = hmsQuartDblLine;
        a.TickMarks = tmHours;
        x.showAMPM = false;
        x.showNumbers = false;
        break;
    case wsEmerald:
        a.AMPMFont.color = 0xA00000;
        SetFamily(a.AMPMFont, sans);
        a.AMPMFrame = apRoundRect;
        a.BorderColor = a.BackgroundColor = 0x3AE800;
        a.BackgroundColorTo = 0x000000;
        a.BackgroundGradient = wgDiagonalForward;
        a.CenterPointBorderColor = 0x40FF00;
        a.CenterPointColor = 0x38E100;
        a.CenterPointSize = 16;
        SetFamily(a.HourFont, sans);
        a.HourFont.color = a.BackgroundColor;
        a.HourPointer = 0x40FF00;
        a.HourPointerShadow = clBtnShadow;
        a.HourPointerSize = 5;
        a.MinutePointer = 0x40FF00;
        a.MinutePointerShadow = clBtnShadow;
        a.Shape = wsRect;
        a.PointerStyle = psPointer;
        a.AMPMColor = clNone;
        a.CenterPointOuterBorderColor = 0x000000;
        a.HourMarkStyle = hmsQuartDblLine;
        a.HourColor = a.BackgroundColor;
        a.SecondPointer = 0x00FFFF;
        a.TickMarks = tmHours;
        x.showAMPM = false;
        x.showNumbers = false;
        break;
    case wsBlueStar:
        a.AMPMFont = MakeFont(sans, 10, false, 0xA00000);
        a.AMPMBorderColor = clNone;
        a.AMPMFrame = apRoundRect;
        a.BorderColor = a.BackgroundColor = 0xFFD5D5;
        a.BackgroundColorTo = 0xA00000;
        a.BackgroundGradient = wgRadial;
        a.HourFont = MakeFont(sans, 8, false, a.BackgroundColor);
        a.HourPointer = 0xA00000;
        a.HourPointerShadow = clBtnShadow;
        a.HourPointerSize = 5;
        a.MinutePointer = 0xA00000;
        a.MinutePointerShadow = clBtnShadow;
        a.Shape = wsRoundRect;
        a.PointerStyle = psPointer;
        a.AMPMColor = clNone;
        x.showAMPM = true;
        x.showNumbers = true;
        break;
    case wsFuchsia:
        a.AMPMFont = MakeFont(sans, 10);
        a.AMPMFrame = apRoundRect;
        a.BorderColor = 0xFFD0FF;
        a.BackgroundColor = a.BackgroundColorTo = 0x000000;
        a.CenterPointBorderColor = 0xDD68DD;
        a.CenterPointSize = 20;
        a.HourFont = MakeFont(sans, 8);
        a.HourColor = 0xFFD0FF;
        a.HourMarkLength = 10;
        a.HourPointer = 0xFFD0FF;
        a.HourPointerShadow = clBtnShadow;
        a.HourPointerSize = 2;
        a.MinuteColor = 0xFFD0FF;
        a.MinutePointer = 0xFFD0FF;
        a.MinutePointerShadow = clBtnShadow;
        a.MinutePointerSize = 2;
        a.Shape = wsRect;
        a.CenterPointOuterBorderColor = 0x000000;
        a.HourMarkWidth = 2;
        a.HourMarkStyle = hmsQuartDblLine;
        a.SecondPointer = 0xDD68DD;
        a.TickMarks = tmQuartHours;
        x.showAMPM = false;
        x.showNumbers = false;
        break;
    case wsBlack:
        SetFamily(a.AMPMFont, sans);
        a.BackgroundColor = 0x202020;
        a.BackgroundColorTo = clNone;
        a.BorderColor = 0x000000;
        a.CenterPointBorderColor = a.CenterPointOuterBorderColor = a.CenterPointColor = 0xFFFFFF;
        a.HourColor = 0x585858;
        a.HourFont = MakeFont(QStringLiteral("Century Gothic"), 11, false, 0xFFFFFF);
        a.HourPointer = 0xFFFFFF;
        a.HourPointerShadow = clBtnShadow;
        a.HourPointerSize = 5;
        a.MinuteColor = 0x585858;
        a.MinutePointer = 0xFFFFFF;
        a.MinutePointerShadow = clBtnShadow;
        a.MinuteMarkLength = 4;
        x.showAMPM = false;
        x.showNumbers = true;
        break;
    case wsBlackWhite:
        a.BackgroundColor = 0xFFFFFF;
        a.BackgroundColorTo = clNone;
        a.BorderColor = 0x000000;
        a.BorderWidth = 8;
        a.CenterPointBorderColor = a.CenterPointOuterBorderColor = a.CenterPointColor = 0x000000;
        a.CenterPointSize = 8;
        a.HourColor = 0x585858;
        a.HourFont = MakeFont(QStringLiteral("Century Gothic"), 14, true, 0x000000);
        a.HourPointer = 0x000000;
        a.HourPointerShadow = clBtnShadow;
        a.HourPointerSize = 5;
        a.MinutePointer = 0x000000;
        a.MinutePointerShadow = clBtnShadow;
        a.MinuteMarkLength = 4;
        a.SecondPointer = 0x000080;
        a.PointerStyle = psPointer;
        a.TickMarks = tmQuartHours;
        x.showAMPM = false;
        x.showNumbers = true;
        break;
    case wsGray:
        a.AMPMFont = MakeFont(sans, 10, a.AMPMFont.font.bold(), a.AMPMFont.color);
        a.BackgroundColor = 0xD1D1D1;
        a.BackgroundColorTo = 0x6C6C6C;
        a.BackgroundGradient = wgRadial;
        a.BorderColor = a.CenterPointBorderColor = 0x454545;
        a.CenterPointColor = 0x000000;
        a.CenterPointOuterBorderColor = clNone;
        a.HourColor = 0x000000;
        a.HourFont = MakeFont(QStringLiteral("Comic Sans MS"), 8, false, a.HourFont.color);
        a.HourPointer = 0x4E4E4E;
        a.HourPointerShadow = clNone;
        a.HourPointerSize = 1;
        a.MinuteColor = 0x808080;
        a.MinutePointer = 0x4E4E4E;
        a.MinutePointerShadow = clNone;
        a.MinutePointerSize = 1;
        a.SecondPointer = 0x0000FF;
        x.showAMPM = true;
        x.showNumbers = true;
        break;
    case wsSuperNova:
        a.BackgroundColorTo = 0xD1D3D3;
        a.BorderColor = clNone;
        a.CenterPointOuterBorderColor = 0x000000;
        a.CenterPointSize = 10;
        a.HourMarkLength = Round(side / 4.5) & 0xFF;
        a.HourPointer = 0x000000;
        a.HourPointerShadow = clBtnShadow;
        a.MinuteColor = 0x808080;
        a.MinuteMarkLength = (side / 3) & 0xFF;
        a.MinutePointer = 0x000000;
        x.showAMPM = false;
        x.showNumbers = false;
        break;
    case wsSports:
        a.BackgroundColor = 0x000000;
        a.BackgroundColorTo = clNone;
        a.BorderColor = 0x000000;
        a.BorderWidth = 1;
        a.CenterPointBorderColor = 0xFF0000;
        a.CenterPointOuterBorderColor = 0x000000;
        a.CenterPointColor = 0x191919;
        a.CenterPointSize = Round(side / 3.6) & 0xFF;
        a.HourColor = 0xABB0B1;
        a.HourFont = MakeFont(QStringLiteral("Times New Roman"), 9, false, 0x797979);
        a.HourPointer = 0x0000FF;
        a.HourPointerShadow = clNone;
        a.HourPointerSize = 2;
        a.MinuteColor = 0x808080;
        a.MinutePointer = 0x00FFFF;
        a.MinutePointerSize = 2;
        a.MinutePointerShadow = clNone;
        a.MinuteMarkLength = 1;
        a.SecondPointer = 0x188BFE;
        a.TickMarks = tmQuartHours;
        x.showAMPM = false;
        x.showNumbers = true;
        break;
    case wsSmooth:
        a.BackgroundColor = 0xFFFFFF;
        a.BackgroundColorTo = 0xABB0B1;
        a.BorderColor = 0x585858;
        a.BorderWidth = 1;
        a.CenterPointBorderColor = 0x000000;
        a.CenterPointOuterBorderColor = 0x4A4A4A;
        a.CenterPointColor = 0xFFFFFF;
        a.CenterPointSize = 6;
        a.HourColor = 0xABB0B1;
        a.HourFont = MakeFont(QStringLiteral("Times New Roman"), 9, false, 0x797979);
        a.HourPointer = 0x4A4A4A;
        a.HourPointerShadow = 0xB2B2B2;
        a.HourPointerSize = 2;
        a.MinuteColor = 0x808080;
        a.MinutePointer = 0x4A4A4A;
        a.MinutePointerSize = 2;
        a.MinutePointerShadow = 0xB2B2B2;
        a.MinuteMarkLength = 1;
        a.SecondPointer = 0x4A4A4A;
        a.TickMarks = tmQuartHours;
        x.showAMPM = false;
        x.showNumbers = true;
        break;
    }
    return x;
}

void ApplyWatchComponentStyle(TWatchAppearance& a, TVekkoStyle style)
{
    a.CenterPointOuterBorderColor = 0x000000;
    a.HourFont.color = 0x000000;
    a.AMPMFont.color = 0x000000;
    struct Row {
        Color ampmBorder, ampm, background, backgroundTo, border, cpBorder, cpColor, marks, second, shadows;
    };
    auto row = [](Color ab, Color am, Color bg, Color bd, Color cpb, Color cpc, Color mk, Color sc, Color sh) {
        return Row{ab, am, bg, bg, bd, cpb, cpc, mk, sc, sh};
    };
    Row r{};
    switch (style) {
    case tsOffice2003Blue:
        r = row(0x962D00, 0xD68759, 0xFFD2AF, 0xD68759, 0xD68759, 0xD68759, 0xD68759, 0xFFFFFF, 0xFFFFFF);
        break;
    case tsOffice2003Silver:
        r = row(0x962D00, 0xBDA4A5, 0xE6D8D8, 0xBDA4A5, 0xBDA4A5, 0xBDA4A5, 0xBDA4A5, 0xFFFFFF, 0xFFFFFF);
        break;
    case tsOffice2003Olive:
        r = row(0x962D00, 0x82C0AF, 0xB9EAE1, 0x82C0AF, 0x82C0AF, 0x82C0AF, 0x82C0AF, 0xFFFFFF, 0xFFFFFF);
        break;
    case tsOffice2003Classic:
        r = row(0x962D00, 0x808080, 0xF2F2F2, 0x808080, 0x808080, 0x808080, 0x808080, 0x808080, 0xFFFFFF);
        break;
    case tsOffice2007Luna:
        r = row(0xF0DED0, 0xF0DED0, 0xFFEFE3, 0xF0DED0, 0xFFEFE3, 0xFFEFE3, 0x723708, 0x723708, 0xFFFFFF);
        break;
    case tsOffice2007Obsidian:
        r = row(0xF2F1F0, 0x5C534C, 0x5C534C, 0xF2F1F0, 0xFFEFE3, 0xFFEFE3, 0xF2F1F0, 0xF2F1F0, 0xFFFFFF);
        a.HourFont.color = a.AMPMFont.color = 0xF2F1F0;
        break;
    case tsWindowsXP:
        r = row(0x000000, clBtnFace, clBtnFace, 0x000000, 0x000000, 0x000000, 0x000000, 0x000000, 0xFFFFFF);
        break;
    case tsWhidbey:
        r = row(0x7E9898, 0xF5F9FA, 0xF5F9FA, 0x7E9898, 0x7E9898, 0x7E9898, 0x7E9898, 0x7E9898, 0xFFFFFF);
        break;
    case tsOffice2007Silver:
        r = row(0xE8E0DB, 0xF8F4F1, 0xF8F4F1, 0xE8E0DB, 0xE8E0DB, 0x74706F, 0x74706F, 0x74706F, 0xFFFFFF);
        break;
    case tsWindowsVista:
        r = row(0xFEDF9A, 0xFFFDF9, 0xFFFDF9, 0xFEDF9A, 0xFEDF9A, 0xFEDF9A, 0xFEDF9A, 0xFEDF9A, 0xFFFFFF);
        r.backgroundTo = 0xFFFAF0;
        break;
    case tsWindows7:
        r = row(0xFBD6B8, 0xFDFBFA, 0xFDFBFA, 0xFBD6B8, 0xFBD6B8, 0xFBD6B8, 0xFBD6B8, 0xFBD6B8, 0xFFFFFF);
        r.backgroundTo = 0xFDF3EB;
        break;
    case tsTerminal:
        r = row(0x808080, clBtnFace, clBtnFace, 0x808080, 0x808080, 0x808080, 0x808080, 0x808080, 0xFFFFFF);
        break;
    case tsOffice2010Blue:
        r = row(0xC7B29F, 0xF0DAC7, 0xFDF6EF, 0xC7B29F, 0xC7B29F, 0xC7B29F, 0xC7B29F, 0xC7B29F, 0xFFFFFF);
        break;
    case tsOffice2010Silver:
        r = row(0xD2CDC8, 0xEDE5E0, 0xFFFFFF, 0xD2CDC8, 0xD2CDC8, 0xD2CDC8, 0xD2CDC8, 0xD2CDC8, 0xC0C0C0);
        break;
    case tsOffice2010Black:
        r = row(0x6D6D6D, 0x919191, 0xBFBFBF, 0x6D6D6D, 0x6D6D6D, 0x6D6D6D, 0x6D6D6D, 0x6D6D6D, 0xFFFFFF);
        break;
    case tsCustom:
        a.Changed();
        return;
    }
    a.AMPMBorderColor = r.ampmBorder;
    a.AMPMColor = r.ampm;
    a.BackgroundColor = r.background;
    a.BackgroundColorTo = r.backgroundTo;
    a.BorderColor = r.border;
    a.CenterPointBorderColor = r.cpBorder;
    a.CenterPointColor = r.cpColor;
    a.HourColor = a.MinuteColor = a.HourPointer = a.MinutePointer = r.marks;
    a.SecondPointer = r.second;
    a.HourPointerShadow = a.MinutePointerShadow = r.shadows;
    a.Changed();
}

// --- geometry ------------------------------------------------------------------------------------------

TWatchGeometry WatchGeometry(int width, int height, int size)
{
    const int s = size > 0 ? std::min({size, width, height}) : std::min(width, height) - 20;
    TWatchGeometry g;
    g.face = QRect((width - s) / 2, (height - s) / 2, s, s);
    g.center = QPoint(g.face.left() + s / 2, g.face.top() + s / 2);
    g.radius = s / 2;
    return g;
}

QPoint WatchPoint(QPoint c, double angleDegrees, double r)
{
    const double a = Rad(angleDegrees);
    return QPoint(Round(c.x() + r * std::sin(a)), Round(c.y() - r * std::cos(a)));
}

std::pair<QPoint, QPoint> HandLine(QPoint c, int radius, double angleDegrees, double tail, double tip)
{
    const double a = Rad(angleDegrees);
    const double s = std::sin(a), co = std::cos(a);
    return {QPoint(Round(c.x() - radius * tail * s), Round(c.y() + radius * tail * co)),
            QPoint(Round(c.x() + radius * tip * s), Round(c.y() - radius * tip * co))};
}

THandAngles HandAngles(int hour, int minute, int second)
{
    return THandAngles{(hour % 12) * 30.0 + minute / 12.0 * 6.0, minute * 6.0, second * 6.0};
}

int MinuteAtPoint(QPoint c, int x, int y)
{
    double dy = std::abs(double(c.y() - y)), dx = std::abs(double(c.x() - x));
    if (dy == 0)
        dy = 1;
    if (dx == 0)
        dx = 1;
    const int k = Round(std::atan(dy / dx) * 180.0 / std::numbers::pi / 6.0);
    int m = 0;
    if (x >= c.x() && y >= c.y())
        m = 15 + k;
    else if (x <= c.x() && y >= c.y())
        m = 45 - k;
    else if (x <= c.x() && y <= c.y())
        m = 45 + k;
    else
        m = 15 - k;
    return (m < 0 || m > 59) ? 0 : m;
}

int HourAtPoint(QPoint c, int x, int y, bool am)
{
    const int n = Round(MinuteAtPoint(c, x, y) / 5.0);
    if (n == 0 || n == 12)
        return am ? 0 : 12;
    return am ? n : n + 12;
}

// --- the clock -----------------------------------------------------------------------------------------

TDateTime TWatchClock::CurrentTime() const
{
    if (Settings.Auto())
        return (Now ? Now() : platform::Now()) + Settings.TimeOffset() / 1440.0;
    return m_time;
}

void TWatchClock::InternalSetTime(TDateTime t)
{
    if (t != m_time)
        m_time = t;
    int h = 0, m = 0, s = 0, ms = 0;
    DecodeTime(CurrentTime(), h, m, s, ms);
    m_internalSet = true;
    SetAM(h < 12);
    m_internalSet = false;
}

void TWatchClock::SetTime(TDateTime t)
{
    if (t == m_time)
        return;
    InternalSetTime(t);
    if (RepaintHands)
        RepaintHands();
}

void TWatchClock::SetParts(int hour, int minute, int second, int msec)
{
    const double day = std::trunc(m_time);
    InternalSetTime(day + EncodeTime(hour, minute, second, msec));
}

void TWatchClock::SetHour(int hour)
{
    if (hour < 0 || hour > 23)
        return;
    int h = 0, m = 0, s = 0, ms = 0;
    DecodeTime(CurrentTime(), h, m, s, ms);
    if (hour == h)
        return;
    if (Animation && !m_internalCall && !Loading) {
        m_hourTo = hour;
        m_hourAnimating = true;
        if (AnimationTimer)
            AnimationTimer(true);
        return;
    }
    // A change made directly (not a step of the animation) reports itself too.
    if (!m_internalCall)
        m_hourTo = hour;
    SetParts(hour, m, s, ms);
    if (RepaintHands)
        RepaintHands();
    if (hour == m_hourTo && OnChange)
        OnChange();
}

void TWatchClock::SetMinute(int minute)
{
    if (minute >= 60 || minute < 0)
        throw EConvertError(QStringLiteral("Invalid time"));
    int h = 0, m = 0, s = 0, ms = 0;
    DecodeTime(CurrentTime(), h, m, s, ms);
    if (minute == m)
        return;
    if (Animation && !m_internalCall && !Loading) {
        m_minuteTo = minute;
        m_hourAnimating = false;
        m_minuteFrom = m;
        if (AnimationTimer)
            AnimationTimer(true);
        return;
    }
    if (!Animation)
        m_minuteFrom = m;
    if (!m_internalCall)
        m_minuteTo = minute;
    if (minute == 0 && m_minuteFrom > 30) {
        h = (h + 1) % 24;
        m_minuteFrom = 0;
    }
    SetParts(h, minute, s, ms);
    if (RepaintHands)
        RepaintHands();
    if (minute == m_minuteTo && OnChange)
        OnChange();
}

void TWatchClock::SetAM(bool am)
{
    if (am == m_am)
        return;
    m_am = am;
    if (Animation && ShowAMPM && AMPMColor != clNone && !m_internalSet && SlideAMPM)
        SlideAMPM(!am);
    if (PaintAll)
        PaintAll();
}

void TWatchClock::AnimationStep()
{
    if (!Animation || Loading)
        return;
    int h = 0, m = 0, s = 0, ms = 0;
    DecodeTime(CurrentTime(), h, m, s, ms);
    auto stop = [this] {
        if (AnimationTimer)
            AnimationTimer(false);
    };
    m_internalCall = true;
    if (m_hourAnimating) {
        const int step = Round(std::abs(m_hourTo - h) / double(Factor()));
        if (std::abs(h - m_hourTo) < 1) {
            SetHour(m_hourTo);
            stop();
        } else {
            const int move = std::max(step, 1);
            SetHour(h < m_hourTo ? std::min(h + move, m_hourTo) : std::max(h - move, m_hourTo));
        }
    } else {
        const bool throughTwelve = m_minuteTo == 0 && m > 30;
        const int step = Round((throughTwelve ? std::abs(60 - m) : std::abs(m_minuteTo - m)) / double(Factor()));
        if (std::abs(m - m_minuteTo) < 1) {
            SetMinute(m_minuteTo);
            stop();
        } else {
            int move = std::max(step, 1);
            if (m >= m_minuteTo && !throughTwelve)
                move = -move;
            int value = m + move;
            if (value >= 60)
                value = 0;
            if (!throughTwelve && ((move > 0 && value > m_minuteTo) || (move < 0 && value < m_minuteTo)))
                value = m_minuteTo;
            SetMinute(value);
        }
    }
    m_internalCall = false;
}

void TWatchClock::HandleKey(quint16 key)
{
    if (Settings.Auto())
        return;
    int h = 0, m = 0, s = 0, ms = 0;
    DecodeTime(CurrentTime(), h, m, s, ms);
    if (key == u'A' && h >= 12)
        SetHour(h - 12);
    if (key == u'P' && h < 12)
        SetHour(h + 12);
    auto internal = [this](int hour) {
        m_hourTo = hour;
        m_internalCall = true;
        SetHour(hour);
        m_internalCall = false;
    };
    switch (key) {
    case platform::VK_PRIOR:
        if (h == 23)
            internal(0);
        else
            SetHour(h + 1);
        break;
    case platform::VK_NEXT:
        if (h == 0)
            internal(23);
        else
            SetHour(h - 1);
        break;
    case platform::VK_END:
        SetMinute(0);
        break;
    case platform::VK_HOME:
        internal(12);
        break;
    case platform::VK_LEFT:
        if (m == 0)
            SetTime(std::trunc(m_time) + EncodeTime(h == 0 ? 23 : h - 1, 59, s, ms));
        else
            SetMinute(m - 1);
        break;
    case platform::VK_RIGHT:
        SetMinute(m == 59 ? 0 : m + 1);
        break;
    default:
        break;
    }
}

void TWatchClock::ClickAt(const TWatchGeometry& g, const QRect& ampmBox, int x, int y)
{
    if (Settings.Auto())
        return;
    const double rx = g.face.width() / 2.0, ry = g.face.height() / 2.0;
    const double ex = g.face.left() + rx, ey = g.face.top() + ry;
    const bool inFace = rx > 0 && ry > 0 &&
                        ((x - ex) * (x - ex)) / (rx * rx) + ((y - ey) * (y - ey)) / (ry * ry) <= 1.0;
    if (!inFace) {
        SetMinute(MinuteAtPoint(g.center, x, y));
        return;
    }
    if (ampmBox.isValid() && ampmBox.contains(x, y)) {
        if (Animation)
            SetAM(!m_am);
        int h = 0, m = 0, s = 0, ms = 0;
        DecodeTime(CurrentTime(), h, m, s, ms);
        m_internalCall = true;
        m_hourTo = h < 12 ? h + 12 : h - 12;
        SetHour(m_hourTo);
        m_internalCall = false;
        return;
    }
    SetHour(HourAtPoint(g.center, x, y, m_am));
}

void TWatchClock::SettingsChanged()
{
    if (Settings.Auto()) {
        const TDateTime now = Now ? Now() : platform::Now();
        SetTime(now);
        int h = 0, m = 0, s = 0, ms = 0;
        DecodeTime(now, h, m, s, ms);
        m_internalSet = true;
        SetAM(h < 12);
        m_internalSet = false;
    }
    if (PaintAll)
        PaintAll();
}

} // namespace controls::grid::dropdown
