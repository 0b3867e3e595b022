#pragma once
// The pocket calculator of the calculator drop-down, on the drop-down's typed input (etFloat or,
// with thousand separators, etMoney): the running value and pending operator, the memory, the
// keypad's buttons and the keys typed in the edit and in the open popup.
//
// An operator applies the operator pressed before it (so "12 + 3 =" shows 15.00 with Precision
// 2); "=" applies the pending one and keeps the result as the next left operand; "%" shows the
// left operand times the value over 100 without touching the pending operator. Division by 0,
// the square root of a negative value and 1/0 show "Error", which the next operation reads as 0.
// Every number text is read through the guarded conversion: "Error", a lone "-", thousand
// separators or an empty text never stop the calculator, they read as the number they show or 0.
// A result that is no finite number sets the running value to 0.
//
// Keypad tags: digits 0-9, 10 +, 11 -, 12 *, 13 /, 14 +/-, 15 decimal separator, 16 C, 17 =,
// 18 %, 30 the blank key (clears like C), 31 Back, 32 CE, 33 MC, 34 MR, 35 MS, 36 M+, 37 sqrt,
// 38 1/x.
#include "controls/grid/dropdown/rules/DropDownTypes.h"
#include "controls/grid/dropdown/rules/EditInput.h"
#include "platform/draw/Geometry.h"

#include <QString>
#include <array>
#include <functional>

namespace controls::grid::dropdown {

using platform::Rect;

class TCalculatorEngine {
public:
    explicit TCalculatorEngine(TDropDownInput& edit);

    // The edit's maximum length (0: none).
    std::function<int()> MaxLength;
    // Called before every key or button is handled.
    std::function<void()> BeforeCalcAction;
    // Closes the open popup, cancelled or not.
    std::function<void(bool cancelled)> HidePopup;
    // The popup form is shown now.
    std::function<bool()> PopupVisible;

    // --- state --------------------------------------------------------------------------------------
    // 0 while whole digits are typed; after the separator the divisor of the next digit (a real
    // number, so that any number of typed decimals only makes it smaller, never wraps it).
    double Decim = 0;
    bool Newval = false;  // the next digit starts a new number
    double Prevval = 0;   // the left operand
    int Prevop = -1;      // pending operator: -1 none, 0 add, 1 multiply, 2 subtract, 3 divide
    bool CalcClosed = true; // the popup has never been shown
    double MVal = 0;      // the memory

    // --- operations ---------------------------------------------------------------------------------
    void ApplyOperation();
    void DoAdd();
    void DoSubtract();
    void DoMultiply();
    void DoDivide();
    void DoEquals();
    void DoPercent();
    // The popup opens: the next digit starts a new number. The value and the pending operation are
    // remembered, and a cancelled close (Escape) puts them back: every digit is written through
    // the edit's SetText, so the edit's own "last value" is always the current one.
    void PopupOpening();
    void PopupClosed(bool cancelled);
    // A keypad button with this tag.
    void ButtonClick(int tag);
    // A character typed while the popup is open, after the edit has had it.
    void PopupKeyPress(QChar key);
    // A key pressed while the popup is open, after the edit has had it.
    void PopupKeyDown(quint16 key);
    // The edit's KeyPress; baseKeyPress is the drop-down's own (for what the calculator leaves).
    void EditKeyPress(QChar& key, const std::function<void(QChar&)>& baseKeyPress);
    // A character typed into the edit while no popup shows that is one of the calculator's own
    // keys (Return, "=", "%", "*", "+", "-", "/", "C"): it works at once, before the input filter
    // (which would drop it). True when the character was such a key.
    bool ClosedEditKey(QChar key);
    // After the edit's own key-down: Delete on an empty or "Error" text shows 0.
    void EditKeyDownAfter(quint16 key);

    double Value();
    void SetValue(double value);
    // A number text read as the calculator reads it: thousand separators out, 0 for no number.
    static double TextValue(const QString& text);

private:
    // Return, "=", "%", "*", "+", "-", "/", "C" and "c" of the closed edit.
    bool OperatorKey(QChar key);
    bool PopupShown() const;
    bool AtMaxLength() const;
    void WriteNumber(double value);

    TDropDownInput& m_edit;
    QString m_openText;
    double m_openPrevval = 0;
    int m_openPrevop = -1;
};

// The keypad of the calculator: 28 buttons in this order.
struct TCalcButtonDef {
    const char* caption;
    const char* name;
    int tag;
    bool special; // shown in the special text colour
};
extern const std::array<TCalcButtonDef, 28> kCalculatorButtons;

// The button rectangles of the keypad in a client area, shrunk by the offsets (ArrangeButtons).
std::array<Rect, 28> ArrangeCalculatorButtons(const Rect& client, int offsetX, int offsetY);

} // namespace controls::grid::dropdown
