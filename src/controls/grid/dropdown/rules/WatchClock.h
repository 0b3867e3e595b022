#pragma once
// The analogue clock without its window: its look (TWatchAppearance) with the twelve preset looks
// and the sixteen colour schemes, its clock mode (TWatchSettings), the face geometry, the hands'
// angles and ends, the hour and minute a click sets, and the clock itself (TWatchClock): setting
// hour and minute with or without the animated approach, the morning flag, the keys and running
// mode. Times are day fractions (TDateTime); angles run clockwise from twelve o'clock.
#include "controls/grid/dropdown/rules/DropDownTypes.h"
#include "platform/core/DateTime.h"
#include "platform/core/Persistent.h"
#include "platform/draw/Canvas.h"
#include "platform/draw/Graphics.h"

#include <QPoint>
#include <QRect>
#include <array>
#include <functional>
#include <optional>
#include <utility>

namespace controls::grid::dropdown {

using platform::TDateTime;

enum TWatchStyle {
    wsClassic, wsTower, wsFluorescent, wsEmerald, wsBlueStar, wsFuchsia, wsBlack, wsBlackWhite, wsGray,
    wsSuperNova, wsSports, wsSmooth
};
enum TWatchShape { wsCircle, wsRect, wsRoundRect };
enum TPointerStyle { psLine, psShortLine, psPointer, psLineArrow };
enum TTickMarks { tmAll, tmHours, tmQuartHours, tmNone };
enum THourMarkStyle { hmsLine, hmsQuartDblLine };
enum TWatchGradient { wgRadial, wgVertical, wgDiagonalForward, wgDiagonalBackward };
enum TAMPMFrame { apRect, apRoundRect };

class TWatchAppearance : public platform::TPersistent {
public:
    TWatchAppearance();
    // Back to the initial look (fonts and picture included); no change notice.
    void Reset();
    void Assign(const platform::TPersistent* source) override;
    // Raised by every change made through Changed (the watch repaints).
    std::function<void()> OnChange;
    void Changed()
    {
        if (OnChange)
            OnChange();
    }

    int Size = 0; // 0 or less: the smaller client side less 20
    TWatchShape Shape = wsCircle;
    Color BackgroundColor = 0xFFFFFF;
    Color BackgroundColorTo = clNone;
    TWatchGradient BackgroundGradient = wgVertical;
    Color BorderColor = 0x000000;
    int BorderWidth = 4;
    platform::Picture Picture;
    platform::Font HourFont;
    platform::Font AMPMFont;
    Color AMPMColor = 0xFFFFFF;
    Color AMPMBorderColor = 0x000000;
    TAMPMFrame AMPMFrame = apRect;
    Color HourPointer = 0x000000;
    Color HourPointerShadow = platform::clBtnShadow;
    int HourPointerSize = 4;
    Color MinutePointer = 0x000000;
    Color MinutePointerShadow = platform::clBtnShadow;
    int MinutePointerSize = 3;
    Color SecondPointer = 0x0000FF;
    int SecondPointerSize = 1;
    TPointerStyle PointerStyle = psLine;
    Color HourColor = 0x000000;
    int HourMarkLength = 0;
    int HourMarkWidth = 1;
    THourMarkStyle HourMarkStyle = hmsLine;
    Color MinuteColor = 0x808080;
    int MinuteMarkLength = 0;
    int MinuteMarkWidth = 1;
    TTickMarks TickMarks = tmAll;
    int CenterPointSize = 4;
    Color CenterPointColor = 0x000000;
    Color CenterPointBorderColor = clNone;
    Color CenterPointOuterBorderColor = clNone;
};

class TWatchSettings : public platform::TPersistent {
public:
    bool Auto() const { return m_auto; }
    void SetAuto(bool on);
    bool Second() const { return m_second; }
    void SetSecond(bool on);
    int TimeOffset() const { return m_timeOffset; }
    void SetTimeOffset(int minutes);
    std::function<void()> OnChange;
    void Assign(const platform::TPersistent* source) override;

private:
    void changed()
    {
        if (OnChange)
            OnChange();
    }
    bool m_auto = false;
    bool m_second = true;
    int m_timeOffset = 0;
};

// What a preset look sets besides the appearance.
struct TWatchStyleExtras {
    std::optional<bool> showAMPM;
    std::optional<bool> showNumbers;
    std::optional<bool> animation;
    std::optional<int> animationFactor;
};
// Resets the appearance and applies the preset; width and height are the watch's.
TWatchStyleExtras ApplyWatchStyle(TWatchAppearance& a, TWatchStyle style, int width, int height);
// The colour scheme of a component style (tsCustom only darkens the fonts and the outer ring).
void ApplyWatchComponentStyle(TWatchAppearance& a, TVekkoStyle style);

// --- geometry ------------------------------------------------------------------------------------------

struct TWatchGeometry {
    QRect face;   // the face square
    QPoint center;
    int radius = 0;
};
TWatchGeometry WatchGeometry(int width, int height, int size);
// The point at angle (degrees clockwise from twelve) and distance r, rounded to pixels.
QPoint WatchPoint(QPoint center, double angleDegrees, double r);
// A hand from tail fraction t behind the centre to tip fraction f of the radius.
std::pair<QPoint, QPoint> HandLine(QPoint center, int radius, double angleDegrees, double tail, double tip);
// The angles of the three hands of a time.
struct THandAngles {
    double hour, minute, second;
};
THandAngles HandAngles(int hour, int minute, int second);
// The minute (0..59) and hour (0..23, in the half of the day of `am`) of a click.
int MinuteAtPoint(QPoint center, int x, int y);
int HourAtPoint(QPoint center, int x, int y, bool am);

// --- the clock -----------------------------------------------------------------------------------------

class TWatchClock {
public:
    TWatchSettings Settings;
    bool Animation = true;
    // Divisor of the animation steps; 0 or less counts as 1.
    int AnimationFactor = 10;
    bool ShowAMPM = true;
    Color AMPMColor = 0xFFFFFF;
    bool Loading = false;

    // The view's side: repaint the hands, repaint all, slide the AM/PM box, run or stop the
    // animation timer; OnChange when a hand reached its target. Now gives the system time.
    std::function<void()> RepaintHands;
    std::function<void()> PaintAll;
    std::function<void(bool toPM)> SlideAMPM;
    std::function<void(bool run)> AnimationTimer;
    // Raised when a hand reached the place it was sent to: at the end of an animation, or at
    // once for a change made without one.
    std::function<void()> OnChange;
    std::function<TDateTime()> Now;

    TDateTime Time() const { return m_time; }
    bool AM() const { return m_am; }
    // The time shown: the system time plus TimeOffset in running mode, else Time.
    TDateTime CurrentTime() const;
    void SetTime(TDateTime t);
    void InternalSetTime(TDateTime t);
    void SetHour(int hour);
    // Raises EConvertError "Invalid time" for 60 or more.
    void SetMinute(int minute);
    void SetAM(bool am);
    // One tick of the animation timer.
    void AnimationStep();
    // The clock's keys (A, P, Page Up, Page Down, End, Home, Left, Right).
    void HandleKey(quint16 key);
    // The mouse button released at a point: outside the face's circle it sets the minute, on the
    // AM/PM box it switches the half of the day, elsewhere on the face it sets the hour.
    void ClickAt(const TWatchGeometry& g, const QRect& ampmBox, int x, int y);
    // The settings changed: running mode follows Auto.
    void SettingsChanged();
    bool HourAnimating() const { return m_hourAnimating; }
    int CurrentHourTo() const { return m_hourTo; }
    int CurrentMinuteTo() const { return m_minuteTo; }

private:
    int Factor() const { return AnimationFactor > 0 ? AnimationFactor : 1; }
    void SetParts(int hour, int minute, int second, int msec);

    TDateTime m_time = 0;
    bool m_am = true;
    int m_hourTo = 0;
    int m_minuteTo = 0;
    int m_minuteFrom = 0;
    bool m_hourAnimating = false;
    bool m_internalCall = false;
    bool m_internalSet = false;
};

} // namespace controls::grid::dropdown
