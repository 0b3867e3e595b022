#pragma once
// TDateTimePicker: the platform's date-and-time picker control, as the program's editors use it.
// It shows a date or a time of day (Kind) as a row of fields laid out by Format, and edits one
// field at a time:
//   - Left and Right move between the fields (the literals between them are skipped); a click
//     selects the field under the mouse;
//   - Up and Down step the selected field, wrapping within its range (a day within its month);
//   - digits type into the selected field: a digit that may still be followed by another one
//     (a "1" in a day field) is held until the next digit, a field change or the focus leaving;
//     a digit that completes the field (a "4" in a day field, the second digit, the fourth digit
//     of a four-digit year) sets it at once; "a" and "p" set the AM/PM field;
//   - with DateMode dmComboBox (dates) F4 or Alt+Down drops a calendar down, whose chosen day
//     becomes the date; with dmUpDown, and for times, an up-down pair steps the field instead;
//   - with ShowCheckbox a check box stands before the fields: Space or a click on it toggles
//     Checked, and typing or stepping a field checks it.
// The value never leaves MinDate..MaxDate (0 = no limit on that side).
//
// Format letters: d dd (day), ddd dddd (day name), M MM (month), MMM MMMM (month name), y yy
// yyyy (year; yyy is read as yyyy), h hh (hour 1-12), H HH (hour 0-23), m mm (minute), s ss
// (second), t tt (AM/PM), 'text' (literal); any other character stands for itself. An empty
// Format is the locale's short date format (dates) or long time format (times), read at each
// use.
//
// Keys arrive in the platform's order: WMKeyDown -> KeyDown (OnKeyDown) -> the control's own
// key handling; WMChar -> KeyPress (OnKeyPress) -> the control's own typing. A handler that sets
// the key to 0 consumes it. Tab moves the focus on unless WantSpecialKey claims it.
//
// The calendar drops down below the control, at its left edge (CalAlignment dtaLeft) or its
// right edge (dtaRight), in the colours of CalColors: BackColor around the days, MonthBackColor
// behind them, TextColor for the month's days, TrailingTextColor for the days of the months
// before and after, TitleBackColor for the title bar (and the chosen day), TitleTextColor for its
// text; the day names stand in the title colour on the month's background. WeekNumbers adds the
// week numbers before the weeks; ShowTodayCircle rings today's date; ShowToday adds the line
// "Today: <date>" under the calendar, whose click chooses today.
//
// With ParseInput, F2 opens a text field over the fields: the user types a date (or a time) as
// text, Enter or leaving the field hands it over (DTN_USERSTRING), Escape drops it. The default
// handling of DTN_USERSTRING reads the text by the format settings (a date and an optional time,
// or a time) and hands it to OnUserInput, which may change the value and whether it is taken;
// a text that is no date is taken only when OnUserInput allows it. A value taken is the user's
// change (clamped, checked, DTN_DATETIMECHANGE).
//
// Notifications to the owner go through WMNotify (DTN_DATETIMECHANGE with GDT_VALID, or
// GDT_NONE when the check box was cleared; DTN_DROPDOWN; DTN_CLOSEUP; DTN_USERSTRING); its default
// handling raises OnChange, OnDropDown and OnCloseUp. Setting a value or the check box from code
// goes through SetSystemTime (DTM_SETSYSTEMTIME) and sends no notification.
#include "platform/core/DateTime.h"
#include "platform/draw/Canvas.h"
#include "platform/draw/Color.h"
#include "platform/grid/Keys.h"

#include <QLineEdit>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <vector>

class QCalendarWidget;
class QFrame;

namespace platform {

enum TDateTimeKind { dtkDate, dtkTime };
enum TDTDateMode { dmComboBox, dmUpDown };

constexpr int DTN_CLOSEUP = -753;
constexpr int DTN_DROPDOWN = -754;
constexpr int DTN_DATETIMECHANGE = -759;
constexpr int DTN_USERSTRING = -745;
constexpr int GDT_VALID = 0;
constexpr int GDT_NONE = 1;

struct TDTNotify {
    int Code = 0;
    int Flags = GDT_VALID;
    qintptr Result = 0;
    // DTN_USERSTRING: the text typed, and the value it gives (taken when Flags is GDT_VALID).
    QString UserString;
    TDateTime Value = 0;
};

enum TDTCalAlignment { dtaLeft, dtaRight };

// The drop-down calendar's colours.
struct TMonthCalColors {
    Color BackColor = clWindow;
    Color TextColor = clWindowText;
    Color TitleBackColor = clActiveCaption;
    Color TitleTextColor = clWhite;
    Color MonthBackColor = clWhite;
    Color TrailingTextColor = clInactiveCaptionText;
};

class TDateTimePicker : public QWidget {
    Q_OBJECT

public:
    using NotifyEvent = std::function<void(QObject* sender)>;
    using KeyEvent = std::function<void(QObject* sender, quint16& key, TShiftState shift)>;
    using KeyPressEvent = std::function<void(QObject* sender, QChar& key)>;

    // One field (or literal) of the layout.
    enum class FieldKind { Literal, Day, DayName, Month, MonthName, Year, Hour12, Hour24, Minute, Second, AmPm };
    struct Field {
        FieldKind kind = FieldKind::Literal;
        int letters = 0; // how many format letters name it
        QString literal;
    };

    explicit TDateTimePicker(QWidget* parent = nullptr);
    ~TDateTimePicker() override;

    TDateTimeKind Kind() const { return m_kind; }
    void SetKind(TDateTimeKind kind);
    TDTDateMode DateMode() const { return m_dateMode; }
    void SetDateMode(TDTDateMode mode);
    QString Format() const { return m_format; }
    void SetFormat(const QString& format);
    // The value: whole days and the time of day.
    TDateTime DateTime() const { return m_value; }
    void SetDateTime(TDateTime value);
    TDateTime Date() const;
    void SetDate(TDateTime value);
    TDateTime Time() const;
    void SetTime(TDateTime value);
    TDateTime MinDate() const { return m_minDate; }
    void SetMinDate(TDateTime value);
    TDateTime MaxDate() const { return m_maxDate; }
    void SetMaxDate(TDateTime value);
    bool ShowCheckbox() const { return m_showCheckbox; }
    void SetShowCheckbox(bool on);
    bool Checked() const { return m_checked; }
    void SetChecked(bool on);
    bool DroppedDown() const;
    void SetDroppedDown(bool down);
    // The text the control shows (without digits still being typed).
    QString Text() const;
    // The fields of the current format, and the index (into it) of the selected one.
    std::vector<Field> Fields() const;
    int SelectedField() const { return m_selected; }
    void SelectField(int index);
    // The input as in a new window: nothing typed, the first field selected.
    void ResetInput();
    Color GetColor() const { return m_color; }
    virtual void SetColor(Color c);
    // The calendar while it is dropped down.
    QCalendarWidget* Calendar() const;
    // Width of the drop-down button or the up-down pair at the right edge.
    int ButtonWidth() const { return m_buttonWidth; }
    void SetButtonWidth(int width);
    bool Ctl3D = true;
    // The drop-down calendar (see the header comment); read each time it drops down.
    TDTCalAlignment CalAlignment = dtaLeft;
    TMonthCalColors CalColors;
    bool WeekNumbers = false;
    bool ShowToday = true;
    bool ShowTodayCircle = true;
    // Typed text through F2 (see the header comment).
    bool ParseInput = false;
    using UserInputEvent = std::function<void(QObject* sender, const QString& text, TDateTime& value, bool& allow)>;
    UserInputEvent OnUserInput;
    // The text field of ParseInput while it is open.
    QLineEdit* InputEdit() const { return m_inputEdit; }

    NotifyEvent OnChange;
    NotifyEvent OnDropDown;
    NotifyEvent OnCloseUp;
    NotifyEvent OnClick;
    NotifyEvent OnEnter;
    NotifyEvent OnExit;
    KeyEvent OnKeyDown;
    KeyEvent OnKeyUp;
    KeyPressEvent OnKeyPress;

    // The fields a format gives, and the format the locale's formats give for a kind.
    static std::vector<Field> ParseFormat(const QString& format);
    static QString LocaleFormat(TDateTimeKind kind);

protected:
    virtual void WMKeyDown(TWMKey& msg);
    virtual void KeyDown(quint16& key, TShiftState shift);
    virtual void WMChar(TWMKey& msg);
    virtual void KeyPress(QChar& key);
    virtual void WMKeyUp(TWMKey& msg);
    virtual void KeyUp(quint16& key, TShiftState shift);
    virtual void WMNotify(TDTNotify& msg);
    virtual void Change();
    virtual void DropDown();
    virtual void CloseUp();
    virtual void DoEnter();
    virtual void DoExit();
    // DTM_SETSYSTEMTIME: the value (GDT_VALID) or a cleared check box (GDT_NONE).
    virtual void SetSystemTime(int flag, TDateTime value);
    // Keeps a value without touching what is being typed, the check box or the owner.
    void StoreValue(TDateTime value);
    virtual bool WantSpecialKey(quint16 key);
    // The control's own handling of a key and of a character.
    void DefaultKeyDown(quint16 key, TShiftState shift);
    void DefaultChar(QChar ch);
    // Sends a notification to the owner (WMNotify).
    void Notify(int code, int flags = GDT_VALID);
    // The rectangles of the parts.
    Rect ButtonRect() const;
    Rect CheckBoxRect() const;
    Rect FieldsRect() const;
    // Paints the check box, the fields and the button (the border is the descendants').
    void PaintControl(Canvas& canvas);
    TShiftState KeyShift() const { return m_keyShift; }

    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    std::vector<Field> CurrentFields() const;
    bool Editable(const Field& f) const;
    int FirstEditable() const;
    void MoveField(int step);
    void StepField(int step);
    void CommitPending();
    // Sets the value as the user's change: clamped, checked, notified.
    void UserValue(TDateTime value);
    QString FieldText(const Field& f, TDateTime value) const;
    bool FieldValue(const Field& f, int digits, TDateTime& value) const;
    int FieldMaxDigits(const Field& f) const;
    int FieldMax(const Field& f) const;
    TDateTime Clamp(TDateTime value) const;
    void ShowCalendar();
    void CalendarClosed();
    void OpenInput();
    // The text field closes: its text is handed over (DTN_USERSTRING) unless dropped.
    void CloseInput(bool take);
    // The value a typed text gives, by the format settings; false when it gives none.
    bool ReadUserString(const QString& text, TDateTime& value) const;

    TDateTimeKind m_kind = dtkDate;
    TDTDateMode m_dateMode = dmComboBox;
    QString m_format;
    TDateTime m_value = 0;
    TDateTime m_minDate = 0;
    TDateTime m_maxDate = 0;
    bool m_showCheckbox = false;
    bool m_checked = true;
    int m_selected = -1;
    QString m_pending;
    Color m_color = clWindow;
    int m_buttonWidth = 19;
    TShiftState m_keyShift;
    QPointer<QFrame> m_popup;
    QCalendarWidget* m_calendar = nullptr;
    bool m_droppedDown = false;
    QPointer<QLineEdit> m_inputEdit;
    bool m_inputFocusMove = false; // the focus moves between the control and its text field
    std::vector<std::pair<int, int>> m_fieldX; // x range of each field as painted
};

} // namespace platform
