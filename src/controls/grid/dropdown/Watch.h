#pragma once
// TExtWatch: the analogue clock control of the time picker's popup (rules/WatchClock.h has the
// clock's rules). The face, marks, numerals and AM/PM box are drawn once into a background
// cache; a time change draws only the hands over a copy of it. A click sets the minute (outside
// the face's circle), the hour (on the face, in the current half of the day) or the half of the
// day (the AM/PM box, which slides from AM to PM); with Animation the hands approach their new
// place step by step. Settings.Auto runs the clock on the system time.
#include "controls/grid/dropdown/rules/WatchClock.h"
#include "controls/grid/style/ExtStyle.h"
#include "platform/ui/Timer.h"

#include <QWidget>
#include <functional>

namespace controls::grid::dropdown {

class TExtWatch : public QWidget, public controls::grid::IVekkoStyle {
    Q_OBJECT

public:
    explicit TExtWatch(QWidget* parent = nullptr);
    ~TExtWatch() override;

    TWatchClock& Clock() { return m_clock; }
    TWatchAppearance& Appearance() { return m_appearance; }
    void SetAppearance(const TWatchAppearance& a) { m_appearance.Assign(&a); }
    TWatchSettings& Settings() { return m_clock.Settings; }
    void SetSettings(const TWatchSettings& s) { m_clock.Settings.Assign(&s); }
    TDateTime Time() const { return m_clock.Time(); }
    void SetTime(TDateTime t) { m_clock.SetTime(t); }
    void SetHour(int hour) { m_clock.SetHour(hour); }
    void SetMinute(int minute) { m_clock.SetMinute(minute); }
    bool Animation() const { return m_clock.Animation; }
    void SetAnimation(bool on) { m_clock.Animation = on; }
    int AnimationFactor() const { return m_clock.AnimationFactor; }
    void SetAnimationFactor(int f) { m_clock.AnimationFactor = f; }
    bool ShowAMPM() const { return m_clock.ShowAMPM; }
    void SetShowAMPM(bool on);
    bool ShowNumbers() const { return m_showNumbers; }
    void SetShowNumbers(bool on);
    TWatchStyle Style() const { return m_style; }
    void SetStyle(TWatchStyle style);
    void SetComponentStyle(TVekkoStyle style) override;
    std::function<void(QObject*)> OnChange;

    // The clock's keys, as the time picker hands them on while its popup shows.
    void HandleKey(quint16 key);
    TWatchGeometry Geometry() const { return WatchGeometry(width(), height(), m_appearance.Size); }
    // The AM/PM box (empty without ShowAMPM).
    QRect AMPMRect() const;
    platform::Timer* AnimationTimer() const { return m_animationTimer; }
    platform::Timer* RunningTimer() const { return m_runningTimer; }
    // Draws the whole clock on a canvas as the window shows it.
    void PaintAll(platform::Canvas& c);

protected:
    void paintEvent(QPaintEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;

private:
    void DrawBackground(platform::Canvas& c);
    void DrawMarks(platform::Canvas& c);
    void DrawNumbers(platform::Canvas& c);
    void DrawAMPM(platform::Canvas& c);
    void DrawHands(platform::Canvas& c);
    void Slide(bool toPM);

    TWatchClock m_clock;
    TWatchAppearance m_appearance;
    bool m_showNumbers = true;
    TWatchStyle m_style = wsClassic;
    platform::Timer* m_runningTimer;
    platform::Timer* m_animationTimer;
    // During the AM/PM slide: how far the box has moved (pixels), and towards which text.
    int m_slide = -1;
    bool m_slideToPM = false;
};

} // namespace controls::grid::dropdown
