#pragma once
// TXgrSpinEdit: the grid's spin editor, a one-line edit with a pair of arrow buttons
// (TXgrSpinButton) at its right edge that steps an integer, a float, a date or a time of day
// (SpinType). The text is the value in the locale's form (format settings read at each use):
// reading a value parses the text (an integer that does not convert reads as MinValue, a float
// as MinFloatValue, a date as MinDateValue, "0" or an empty date text as now, a time as 0);
// writing one brings it within its limits (equal limits mean none) and formats it.
//
// Keys: Up and Down step once, Page Up and Page Down step (a float by IncrementFloatPage);
// these four never reach KeyDown. A date steps the field under the caret (day, month or year in
// the order of the short date format), a time the hours, minutes or seconds under the caret.
// Typed characters pass IsValidChar (SpinIsValidChar of EditorRules.h) or are dropped with a
// beep; without EditorEnabled the value changes only by stepping (no typing, Backspace, Delete,
// paste or cut). With ExcelStyleDecimalSeparator the keypad's decimal key types the locale's
// decimal separator; with ReturnIsTab Enter moves on as Tab. Leaving the editor writes a value
// that lies outside its limits back clamped. Stepping a read-only editor only beeps.
//
// The arrow buttons are TExtTimerSpeedButtons: a click steps once when the button is released
// over itself; held down, a button steps after 400 ms and then every 100 ms.
#include "controls/grid/editors/EditorRules.h"
#include "controls/grid/editors/MaskEdit.h"
#include "controls/grid/editors/SpeedButton.h"
#include "platform/draw/Canvas.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace controls::grid {

enum TSpinDirection { spVertical, spHorizontal };
enum TButtonDirection { bdLeft, bdRight, bdUp, bdDown };
enum TEditAlign { eaLeft, eaRight, eaCenter };
enum TTimeBtnStateFlag : unsigned { tbFocusRect = 1u << 0, tbAllowTimer = 1u << 1 };
Q_DECLARE_FLAGS(TTimeBtnState, TTimeBtnStateFlag)
Q_DECLARE_OPERATORS_FOR_FLAGS(TTimeBtnState)

class TXgrSpinButton;

// An auto-repeat speed button: pressed, it shows down while the mouse is over it; released over
// itself it clicks. With tbAllowTimer a repeat timer starts at the press (400 ms, then 100 ms):
// each tick clicks while the button is down and holds the mouse.
class TExtTimerSpeedButton : public TSpeedButton {
    Q_OBJECT

public:
    explicit TExtTimerSpeedButton(TXgrSpinButton* owner);

    TTimeBtnState TimeBtnState;
    TButtonDirection ButtonDirection = bdUp;
    bool IsWinXP = false;
    bool Transparent = false;
    std::function<void(TExtTimerSpeedButton* sender)> OnMouseDown;

    bool HasMouse() const { return Hot(); }
    // The arrow drawn on a plain button; none: the built-in 9 x 6 arrow of its direction.
    platform::Bitmap Glyph;
    int NumGlyphs = 1;
    // The repeat timer (none before the first press).
    QTimer* RepeatTimer() const { return m_repeatTimer; }
    // One tick of the repeat timer.
    void TimerExpired();

protected:
    void MouseDown() override;
    void MouseUp(bool over) override;
    void paintEvent(QPaintEvent* e) override;

private:
    void PaintGlyph(platform::Canvas& canvas, const platform::Rect& r);

    TXgrSpinButton* m_owner;
    QTimer* m_repeatTimer = nullptr;
};

// The pair of arrow buttons: up above down (vertical) or down left of up (horizontal).
class TXgrSpinButton : public QWidget {
    Q_OBJECT

public:
    using NotifyEvent = std::function<void(QObject* sender)>;

    explicit TXgrSpinButton(QWidget* parent = nullptr);

    TExtTimerSpeedButton* UpButton() const { return m_up; }
    TExtTimerSpeedButton* DownButton() const { return m_down; }
    TExtTimerSpeedButton* FocusedButton() const { return m_focusedButton; }
    TSpinDirection Direction() const { return m_direction; }
    void SetDirection(TSpinDirection direction);
    bool IsWinXP() const { return m_isWinXP; }
    void SetIsWinXP(bool on);
    // The arrows of the buttons; an empty bitmap brings back the built-in arrow.
    const platform::Bitmap& UpGlyph() const { return m_up->Glyph; }
    void SetUpGlyph(const platform::Bitmap& glyph);
    const platform::Bitmap& DownGlyph() const { return m_down->Glyph; }
    void SetDownGlyph(const platform::Bitmap& glyph);
    // The control that takes the focus when a button is pressed.
    QPointer<QWidget> FocusControl;
    NotifyEvent OnUpClick;
    NotifyEvent OnDownClick;
    Color ButtonColor = platform::clNone;
    Color ButtonColorHot = platform::clNone;
    Color ButtonColorDown = platform::clNone;
    Color ButtonTextColor = platform::clNone;
    Color ButtonTextColorHot = platform::clNone;
    Color ButtonTextColorDown = platform::clNone;
    Color ButtonBorderColor = platform::clNone;
    // Lays the two buttons out in the control's size.
    void AdjustSize();

protected:
    void resizeEvent(QResizeEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    void ButtonMouseDown(TExtTimerSpeedButton* button);
    void ButtonClick(TExtTimerSpeedButton* button);

    TExtTimerSpeedButton* m_up;
    TExtTimerSpeedButton* m_down;
    TExtTimerSpeedButton* m_focusedButton;
    TSpinDirection m_direction = spVertical;
    bool m_isWinXP = false;
};

class TXgrSpinEdit : public TExtMaskEdit {
    Q_OBJECT

public:
    explicit TXgrSpinEdit(QWidget* parent = nullptr);
    ~TXgrSpinEdit() override;

    TXgrSpinButton* Button() const { return m_button; }

    int Value() const;
    void SetValue(int value);
    double FloatValue() const;
    void SetFloatValue(double value);
    TDateTime DateValue() const;
    void SetDateValue(TDateTime value);
    TDateTime TimeValue() const;
    void SetTimeValue(TDateTime value);
    TXgrSpinType SpinType() const { return m_spinType; }
    void SetSpinType(TXgrSpinType type);
    int Precision() const { return m_precision; }
    void SetPrecision(int digits);
    TSpinDirection Direction() const { return m_direction; }
    void SetDirection(TSpinDirection direction);
    bool EditorEnabled() const { return m_editorEnabled; }
    void SetEditorEnabled(bool on) { m_editorEnabled = on; }
    TEditAlign EditAlign() const { return m_editAlign; }
    void SetEditAlign(TEditAlign align);
    bool IsWinXP() const { return m_isWinXP; }
    void SetIsWinXP(bool on);
    bool SpinFlat() const { return m_spinFlat; }
    void SetSpinFlat(bool on);
    bool SpinTransparent() const { return m_spinTransparent; }
    void SetSpinTransparent(bool on);
    void SetBorderStyle(TBorderStyle style) override;
    // The least height the editor takes for its font and border.
    int MinHeight() const;

    int MinValue = 0;
    int MaxValue = 100;
    double MinFloatValue = 0.0;
    double MaxFloatValue = 100.0;
    TDateTime MinDateValue = 0;
    TDateTime MaxDateValue = 0;
    int Increment = 1;
    double IncrementFloat = 0.1;
    double IncrementFloatPage = 1.0;
    int IncrementSeconds = 1;
    int IncrementMinutes = 1;
    int IncrementHours = 1;
    bool ReturnIsTab = false;
    bool ExcelStyleDecimalSeparator = false;
    bool ShowSeconds = true;
    bool AllowEmptyValue = false;
    // The month comes before the day in the short date format (set when a date is stepped).
    bool UsDates() const { return m_usDates; }

    virtual void IncreaseValue(bool page);
    virtual void DecreaseValue(bool page);
    virtual bool IsValidChar(QChar key);
    virtual void UpClick(QObject* sender);
    virtual void DownClick(QObject* sender);

    // Loading from a description: the date and time setters only store their value until Loaded.
    void BeginLoading() { m_loading = true; }
    virtual void Loaded();

protected:
    void WMKeyDown(TWMKey& msg) override;
    void WMChar(TWMKey& msg) override;
    void KeyDown(quint16& key, TShiftState shift) override;
    void KeyPress(QChar& key) override;
    void WMPaste() override;
    void WMCut() override;
    void DoEnter() override;
    void DoExit() override;
    void resizeEvent(QResizeEvent* e) override;

    void SetEditRect();

private:
    void StepValue(bool up, bool page);
    void SetTextKeepCaret(const QString& text);
    TSpinTimeSteps TimeSteps() const;

    TXgrSpinButton* m_button;
    TXgrSpinType m_spinType = sptNormal;
    int m_precision = 0;
    TSpinDirection m_direction = spVertical;
    bool m_editorEnabled = true;
    TEditAlign m_editAlign = eaLeft;
    bool m_isWinXP = false;
    bool m_spinFlat = false;
    bool m_spinTransparent = false;
    bool m_usDates = false;
    bool m_loading = false;
    TDateTime m_dateValue = 0;
    TDateTime m_timeValue = 0;
};

} // namespace controls::grid
