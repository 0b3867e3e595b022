#include "controls/grid/dropdown/rules/TimeText.h"
#include "controls/grid/dropdown/rules/WatchClock.h"
#include "platform/core/Errors.h"
#include "platform/grid/Keys.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using namespace controls::grid;
using namespace controls::grid::dropdown;
using namespace platform;

namespace {

QString HMS(TDateTime t)
{
    int h = 0, m = 0, s = 0, ms = 0;
    DecodeTime(t, h, m, s, ms);
    return QStringLiteral("%1:%2:%3").arg(h, 2, 10, QLatin1Char('0')).arg(m, 2, 10, QLatin1Char('0')).arg(s, 2, 10, QLatin1Char('0'));
}

// Runs the animation timer until the clock stops it (or a bound).
struct Clock {
    TWatchClock c;
    bool timer = false;
    int changes = 0;
    Clock(bool animation)
    {
        c.Animation = animation;
        c.AnimationTimer = [this](bool run) { timer = run; };
        c.OnChange = [this] { ++changes; };
    }
    void RunAnimation()
    {
        for (int i = 0; timer && i < 200; ++i)
            c.AnimationStep();
        ASSERT_FALSE(timer);
    }
};

TEST(WatchGeometry, FaceCentreAndHands)
{
    const TWatchGeometry g = WatchGeometry(180, 180, 0);
    EXPECT_EQ(g.face, QRect(10, 10, 160, 160));
    EXPECT_EQ(g.center, QPoint(90, 90));
    EXPECT_EQ(g.radius, 80);
    const TWatchGeometry wide = WatchGeometry(300, 100, 0);
    EXPECT_EQ(wide.face, QRect(110, 10, 80, 80));
    EXPECT_EQ(WatchGeometry(180, 180, 500).face.width(), 180); // a size is held to the control
    const THandAngles a = HandAngles(15, 30, 20);
    EXPECT_DOUBLE_EQ(a.hour, 105);
    EXPECT_DOUBLE_EQ(a.minute, 180);
    EXPECT_DOUBLE_EQ(a.second, 120);
    const auto hand = HandLine(g.center, g.radius, 90, 0.1, 0.5);
    EXPECT_EQ(hand.first, QPoint(82, 90));
    EXPECT_EQ(hand.second, QPoint(130, 90));
    const auto twelve = HandLine(g.center, g.radius, 0, 0.1, 0.7);
    EXPECT_EQ(twelve.first, QPoint(90, 98));
    EXPECT_EQ(twelve.second, QPoint(90, 34));
    EXPECT_EQ(WatchPoint(g.center, 180, 40), QPoint(90, 130));
}

TEST(WatchGeometry, MinuteAndHourOfAClick)
{
    const QPoint c(90, 90);
    const struct {
        int x, y, minute;
    } cases[] = {
        {90, 10, 0},   {170, 90, 15}, {90, 170, 30}, {10, 90, 45},
        {91, 10, 0},   {89, 10, 0},   {80, 10, 59},  {100, 10, 1},
        {150, 30, 7},  {130, 130, 23}, {90, 90, 23},
    };
    for (const auto& t : cases)
        EXPECT_EQ(MinuteAtPoint(c, t.x, t.y), t.minute) << t.x << "," << t.y;
    // Just left of twelve: the morning half gives 0, the afternoon half 12, as just right of it.
    EXPECT_EQ(HourAtPoint(c, 80, 10, true), 0);
    EXPECT_EQ(HourAtPoint(c, 80, 10, false), 12);
    EXPECT_EQ(HourAtPoint(c, 100, 10, false), 12);
    EXPECT_EQ(HourAtPoint(c, 170, 90, true), 3);
    EXPECT_EQ(HourAtPoint(c, 170, 90, false), 15);
}

TEST(WatchClock, DirectSettingAndInvalidMinute)
{
    Clock k(false);
    k.c.SetHour(13);
    EXPECT_EQ(HMS(k.c.Time()), QStringLiteral("13:00:00"));
    EXPECT_FALSE(k.c.AM());
    k.c.SetMinute(45);
    EXPECT_EQ(HMS(k.c.Time()), QStringLiteral("13:45:00"));
    EXPECT_THROW(k.c.SetMinute(60), EConvertError);
    try {
        k.c.SetMinute(60);
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Invalid time"));
    }
    EXPECT_EQ(HMS(k.c.Time()), QStringLiteral("13:45:00"));
    k.c.SetHour(24); // out of range: nothing
    EXPECT_EQ(HMS(k.c.Time()), QStringLiteral("13:45:00"));
    k.c.SetMinute(0); // passing twelve forward carries into the hour
    EXPECT_EQ(HMS(k.c.Time()), QStringLiteral("14:00:00"));
    EXPECT_EQ(k.changes, 3); // every direct change reports itself
    k.c.HandleKey(VK_HOME);
    EXPECT_EQ(k.changes, 4);
}

TEST(WatchClock, AnimatedHandsReachTheirTargetAndReportOnce)
{
    Clock k(true);
    k.c.SetHour(7);
    EXPECT_TRUE(k.timer);
    EXPECT_EQ(HMS(k.c.Time()), QStringLiteral("00:00:00")); // nothing moves before the timer
    k.RunAnimation();
    EXPECT_EQ(HMS(k.c.Time()), QStringLiteral("07:00:00"));
    EXPECT_EQ(k.changes, 1);
    k.c.SetMinute(50);
    k.RunAnimation();
    EXPECT_EQ(HMS(k.c.Time()), QStringLiteral("07:50:00"));
    k.c.SetMinute(0); // forward through twelve into the next hour
    k.RunAnimation();
    EXPECT_EQ(HMS(k.c.Time()), QStringLiteral("08:00:00"));
    EXPECT_EQ(k.changes, 3);
}

TEST(WatchClock, ZeroOrNegativeAnimationFactorCountsAsOne)
{
    for (int factor : {0, -5}) {
        Clock k(true);
        k.c.AnimationFactor = factor;
        k.c.SetHour(9);
        k.RunAnimation();
        EXPECT_EQ(HMS(k.c.Time()), QStringLiteral("09:00:00")) << factor;
    }
}

TEST(WatchClock, Keys)
{
    const struct {
        const char* start;
        quint16 key;
        const char* result;
    } cases[] = {
        {"23:59:00", VK_RIGHT, "00:00:00"}, {"10:00:00", VK_LEFT, "09:59:00"}, {"00:00:00", VK_LEFT, "23:59:00"},
        {"10:20:00", VK_RIGHT, "10:21:00"}, {"23:10:00", VK_PRIOR, "00:10:00"}, {"00:10:00", VK_NEXT, "23:10:00"},
        {"05:10:00", VK_PRIOR, "06:10:00"}, {"05:10:00", VK_END, "05:00:00"},  {"05:10:00", VK_HOME, "12:10:00"},
        {"15:10:00", 'A', "03:10:00"},      {"03:10:00", 'P', "15:10:00"},     {"03:10:00", 'A', "03:10:00"},
        {"03:10:00", VK_UP, "03:10:00"},
    };
    for (const auto& t : cases) {
        Clock k(false);
        const QStringList f = QString::fromUtf8(t.start).split(u':');
        k.c.SetTime(EncodeTime(f[0].toInt(), f[1].toInt(), f[2].toInt(), 0));
        k.c.HandleKey(t.key);
        EXPECT_EQ(HMS(k.c.Time()), QString::fromUtf8(t.result)) << t.start << " key " << t.key;
    }
}

TEST(WatchClock, ClickToSet)
{
    Clock k(false);
    const TWatchGeometry g = WatchGeometry(180, 180, 0);
    const QRect ampm(75, 110, 30, 14);
    k.c.ClickAt(g, ampm, 90, 2); // above the face circle: the minute
    EXPECT_EQ(HMS(k.c.Time()), QStringLiteral("00:00:00"));
    k.c.ClickAt(g, ampm, 178, 90); // right, outside the circle: minute 15
    EXPECT_EQ(HMS(k.c.Time()), QStringLiteral("00:15:00"));
    k.c.ClickAt(g, ampm, 140, 90); // inside the face: the hour, morning kept
    EXPECT_EQ(HMS(k.c.Time()), QStringLiteral("03:15:00"));
    k.c.ClickAt(g, ampm, 90, 115); // the AM/PM box: afternoon
    EXPECT_EQ(HMS(k.c.Time()), QStringLiteral("15:15:00"));
    EXPECT_FALSE(k.c.AM());
    k.c.ClickAt(g, ampm, 40, 90); // nine o'clock in the afternoon half
    EXPECT_EQ(HMS(k.c.Time()), QStringLiteral("21:15:00"));
    k.c.ClickAt(g, ampm, 170, 170); // a corner outside the circle: minute, not hour
    EXPECT_EQ(HMS(k.c.Time()), QStringLiteral("21:23:00"));
}

TEST(WatchClock, RunningModeIgnoresClicksAndKeys)
{
    Clock k(false);
    const TDateTime fixed = EncodeTime(10, 20, 30, 0);
    k.c.Now = [&] { return fixed; };
    k.c.Settings.SetTimeOffset(60);
    k.c.Settings.SetAuto(true);
    k.c.SettingsChanged();
    EXPECT_EQ(HMS(k.c.CurrentTime()), QStringLiteral("11:20:30"));
    k.c.HandleKey(VK_PRIOR);
    k.c.ClickAt(WatchGeometry(180, 180, 0), QRect(), 140, 90);
    EXPECT_EQ(HMS(k.c.CurrentTime()), QStringLiteral("11:20:30"));
}

TEST(WatchLooks, PresetsAndSchemes)
{
    TWatchAppearance a;
    EXPECT_EQ(a.HourFont.font.family(), QStringLiteral("Tahoma"));
    a.BorderWidth = 9;
    auto x = ApplyWatchStyle(a, wsSuperNova, 180, 180);
    EXPECT_EQ(a.BorderWidth, 4); // reset first
    EXPECT_EQ(a.HourMarkLength, 40);
    EXPECT_EQ(a.MinuteMarkLength, 60);
    EXPECT_EQ(a.BorderColor, clNone);
    EXPECT_FALSE(*x.showAMPM);
    x = ApplyWatchStyle(a, wsSports, 180, 180);
    EXPECT_EQ(a.CenterPointSize, 50);
    x = ApplyWatchStyle(a, wsTower, 180, 180);
    EXPECT_FALSE(x.showAMPM.has_value()); // the tower leaves ShowAMPM as it is
    EXPECT_EQ(a.AMPMColor, 0xB1F0FEu);
    EXPECT_TRUE(a.HourFont.font.bold());
    x = ApplyWatchStyle(a, wsClassic, 180, 180);
    EXPECT_EQ(*x.animationFactor, 10);
    EXPECT_EQ(a.HourFont.font.family(), QStringLiteral("Comic Sans MS"));
    EXPECT_EQ(a.HourFont.font.pointSize(), 10);

    TWatchAppearance s;
    s.HourFont.color = 0x123456;
    s.BackgroundColor = 0x654321;
    ApplyWatchComponentStyle(s, tsCustom);
    EXPECT_EQ(s.HourFont.color, 0u);
    EXPECT_EQ(s.CenterPointOuterBorderColor, 0u);
    EXPECT_EQ(s.BackgroundColor, 0x654321u);
    ApplyWatchComponentStyle(s, tsWindowsVista);
    EXPECT_EQ(s.BackgroundColorTo, 0xFFFAF0u);
    EXPECT_EQ(s.MinutePointer, 0xFEDF9Au);
    ApplyWatchComponentStyle(s, tsOffice2007Obsidian);
    EXPECT_EQ(s.AMPMFont.color, 0xF2F1F0u);
    ApplyWatchComponentStyle(s, tsOffice2010Silver);
    EXPECT_EQ(s.HourPointerShadow, 0xC0C0C0u);
}

TEST(TimeText, FormatParseAndFields)
{
    EXPECT_EQ(FormatTimeText(1, 2, 3, true, u':'), QStringLiteral("01:02:03"));
    EXPECT_EQ(FormatTimeText(12, 34, 0, false, u':'), QStringLiteral("12:34"));
    EXPECT_EQ(TimeEditMask(true, u':'), QStringLiteral("!90:00:00;1; "));
    EXPECT_EQ(TimeEditMask(false, u'.'), QStringLiteral("!90.00;1; "));
    const struct {
        const char* text;
        bool seconds;
        bool ok;
        int h, m, s;
    } cases[] = {
        {"12:34", false, true, 12, 34, 0},  {"12:34:56", true, true, 12, 34, 56}, {"12:3", false, false, 0, 0, 0},
        {"1a:34:56", true, false, 0, 0, 0}, {"12 34 56", true, false, 0, 0, 0},  {"25:00", false, true, 25, 0, 0},
        {"12: 4: 6", true, true, 12, 4, 6}, {" 9:05:01", true, false, 0, 0, 0},   {"12:34:56", false, false, 0, 0, 0},
        {"12:34", true, false, 0, 0, 0},
    };
    for (const auto& c : cases) {
        const auto f = ParseTimeText(QString::fromUtf8(c.text), c.seconds, u':');
        ASSERT_EQ(f.has_value(), c.ok) << c.text;
        if (f) {
            EXPECT_EQ(f->hour, c.h) << c.text;
            EXPECT_EQ(f->minute, c.m) << c.text;
            EXPECT_EQ(f->second, c.s) << c.text;
        }
    }
    const TTimeField fields[9] = {tfHour, tfHour, tfHour, tfMinute, tfMinute, tfMinute, tfSecond, tfSecond, tfSecond};
    for (int caret = 0; caret < 9; ++caret)
        EXPECT_EQ(TimeFieldAt(QStringLiteral("12:34:56"), caret, true, u':'), fields[caret]) << caret;
    EXPECT_EQ(TimeFieldAt(QStringLiteral("12:34:56"), 7, false, u':'), tfMinute);
}

} // namespace
