#pragma once
// TExtTimePickerDropDown: a drop-down for a time of day. The edit shows "12:34:56" (or "12:34"
// without seconds) under an edit mask; Up and Down step the field under the caret (Up counts
// down, wrapping); a complete typed time is taken over. The popup shows the analogue clock
// (TExtWatch), and optionally a time field under it: a click on the clock sets the hour or the
// minute and the edit follows. Return or a click elsewhere keeps the clock's time, Escape puts
// back the time the popup opened with. A typed field out of range (25:00) is refused and the
// time stays.
#include "controls/grid/dropdown/ExtDropDown.h"
#include "controls/grid/dropdown/Watch.h"

#include <QTimeEdit>

namespace controls::grid::dropdown {

class TExtTimePickerDropDown : public TExtCustomDropDown {
    Q_OBJECT

public:
    explicit TExtTimePickerDropDown(QWidget* parent = nullptr);
    ~TExtTimePickerDropDown() override;

    TDateTime Time() const { return m_time; }
    void SetTime(TDateTime t);
    bool ShowSeconds() const { return m_showSeconds; }
    void SetShowSeconds(bool on);
    bool ShowTimePicker = false;
    TWatchAppearance& WatchAppearance() { return m_watchAppearance; }
    void SetWatchAppearance(const TWatchAppearance& a) { m_watchAppearance.Assign(&a); }
    TWatchSettings& WatchSettings() { return m_watchSettings; }
    void SetWatchSettings(const TWatchSettings& s) { m_watchSettings.Assign(&s); }
    bool ShowWatchAMPM = true;
    bool ShowWatchNumbers = true;
    bool Animation = true;
    int AnimationFactor = 10;
    NotifyEvent OnTimeChange;

    TExtWatch* Watch() const { return m_watch; }
    QWidget* Panel() const { return m_panel; }
    QTimeEdit* TimePicker() const { return m_picker; }

    void SetTimeHour(int hour);
    void SetTimeMinute(int minute);
    void SetTimeSecond(int second);
    QString FormatTimeText(int hour, int minute, int second) const;

    void CreateDropDownForm() override;
    void BeforeDropDown() override;
    void DoHideDropDown(bool cancel) override;
    void DropUpDone() override;
    void DropDownFormKeyDown(quint16& key, TShiftState shift) override;
    void DropDownFormKeyUp(quint16& key, TShiftState shift) override;
    void ControlKeyDown(quint16& key, TShiftState shift) override;
    void ControlKeyUp(quint16& key, TShiftState shift) override;
    void ControlKeyPress(QChar& key) override;
    void SetComponentStyle(TVekkoStyle style) override;
    void KeyDown(quint16& key, TShiftState shift) override;
    void Change() override;

private:
    void WriteTimeText(const QString& text);
    void WatchChanged();
    void SetParts(int hour, int minute, int second);

    TDateTime m_time = 0;
    bool m_showSeconds = true;
    TWatchAppearance m_watchAppearance;
    TWatchSettings m_watchSettings;
    QWidget* m_panel = nullptr;
    TExtWatch* m_watch = nullptr;
    QTimeEdit* m_picker = nullptr;
    bool m_internalCall = false;
    bool m_cancelling = false;
    TDateTime m_openTime = 0;
};

} // namespace controls::grid::dropdown
