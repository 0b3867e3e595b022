#pragma once
// TDropDownInput: the typed input of a drop-down edit, written on an abstract edit box so that it
// runs without a window. The drop-down control (ExtDropDown.h) is this class over its edit
// window; tests run it over a plain text buffer.
//
// The edit text is Prefix + value + Suffix. GetText gives the value: the prefix taken off when the
// text begins with it, and as many characters as the suffix has taken off the end. Caret and
// selection count in the whole edit text, from 0; the value runs from Length(Prefix) to
// ValueEnd(). Decimal and thousand separators are those of the current format settings, read at
// each use.
//
// Typed characters (WMChar) pass the edit type's filter:
//   etString, etPassword   everything ("*" shows for every character of a password)
//   etNumeric              digits; "-" toggles a leading minus sign when Signed
//   etFloat                digits, the decimal separator once (never with Precision 0; typed again
//                          it jumps the caret behind the one there), thousand separators only
//                          exactly three places from the nearest one, "-" toggles the sign; no more
//                          decimals than Precision (a digit then overwrites the next one)
//   etMoney                as etFloat; thousand separators are put back after every key
//   etUppercase/LowerCase  the character in that case; etMixedCase re-cases the value as words
//   etRange                digits and the separators ",", "-", ";" (never two together, never first)
//   etHex                  digits, A-F, a-f and "-"
//   etAlphaNumeric         digits and Latin letters; etValidChars the characters of ValidChars
// Backspace, Tab and Return pass every filter; Return never reaches the text. LengthLimit caps the
// digits before the decimal separator. Home, End, Left, Right, Delete and Backspace keep the caret
// out of the prefix and the suffix. A paste goes through the same type rules (etRange and etHex
// never take one). Leaving the control (KillFocus) re-formats float and money values and fills an
// empty number with 0 unless AllowNumericNullValue.
//
// Change notifications: every change the user makes to the text (typing, Backspace, Delete, cut,
// paste by the box) reaches EnChange, which runs Change unless a block was set for it
// (FBlockChange: set when a keystroke replaces the whole value); every text the control writes
// itself runs Change at once, before the write returns, and puts the caret at 0. Writing the text
// the box already holds changes nothing and notifies nothing.
#include "controls/grid/dropdown/rules/DropDownTypes.h"
#include "platform/grid/Keys.h"

#include <QChar>
#include <QString>
#include <functional>

namespace controls::grid::dropdown {

using platform::TShiftState;
using platform::TWMKey;

// Number classification of the input filter: 0 integer, 1 float, 2 text, 5 hexadecimal. Empty
// text is 2.
int DetectEditNumberType(const QString& text);
QString StripThousandSeparators(const QString& text);
bool IsRangeSeparator(QChar ch);
int HexDigitValue(QChar ch);
// Characters that are not hex digits count as 0; the sum wraps at 32 bits.
int HexToInt(const QString& text);
// The text, or its upper-case form (locale rules) unless keepCase.
QString CaseText(const QString& text, bool keepCase);
// Hexadecimal digits of value in upper case, at least `digits`; a negative value shows its 32-bit
// (is64 false) or 64-bit two's complement.
QString IntToHex(qint64 value, int digits, bool is64);

// Clipboard events: value is the text concerned; allow false stops the operation.
using TClipboardEvent = std::function<void(QObject* sender, const QString& value, bool& allow)>;

class TDropDownInput {
public:
    TDropDownInput() = default;
    virtual ~TDropDownInput() = default;
    TDropDownInput(const TDropDownInput&) = delete;
    TDropDownInput& operator=(const TDropDownInput&) = delete;

    // --- value ---------------------------------------------------------------------------------
    QString GetText() const;
    // Writes a value: an empty number becomes "0", float and money values get Precision
    // decimals, hex is upper-cased; the text becomes Prefix + value + Suffix, the value is
    // remembered as the one to restore, and the control is no longer modified.
    virtual void SetText(const QString& value);
    // Writes the whole edit text as given (no type handling, nothing remembered).
    void SetEditText(const QString& text) { WriteEditText(text); }
    QString OldText() const { return FOldText; }

    double GetFloatValue() const;
    void SetFloatValue(double value);
    void SetIntValue(int value);
    // Thousand separators taken out, then converted; 0 for what is no number.
    static double TextToFloat(const QString& text);
    void FormatMoneyText();

    bool GetIsModified() const { return FIsModified; }
    void SetIsModified(bool value);

    void SelectAll();
    void SelectBeforeDecimal();
    void SelectAfterDecimal();
    // Position just after the value in the edit text.
    int ValueEnd() const;
    // Caret and selection in the whole edit text.
    int InputSelStart() const { return BoxSelStart(); }
    int InputSelLength() const { return BoxSelLength(); }
    void InputSetCaret(int pos) { BoxSetSel(pos, pos); }
    void InputSetSel(int anchor, int caret) { BoxSetSel(anchor, caret); }

    // --- settings --------------------------------------------------------------------------------
    TDropDownEditType EditType() const { return FEditType; }
    void SetEditType(TDropDownEditType type);
    int Precision() const { return FPrecision; }
    void SetPrecision(int precision);
    QString Prefix;
    QString Suffix;
    int LengthLimit = 0;
    bool Signed = false;
    QString ValidChars;
    bool ExcelStyleDecimalSeparator = false;
    bool AutoThousandSeparator = true;
    bool AllowNumericNullValue = false;
    bool CanUndo = true;
    bool DefaultHandling = true;
    bool ReturnIsTab = false;
    bool EditorEnabled() const { return FEditorEnabled; }
    virtual void SetEditorEnabled(bool on) { FEditorEnabled = on; }

    TClipboardEvent OnClipboardCopy;
    TClipboardEvent OnClipboardCut;
    TClipboardEvent OnClipboardPaste;

    // --- messages ----------------------------------------------------------------------------------
    // WM_CHAR: the character filter.
    virtual void WMChar(TWMKey& msg);
    // WM_KEYDOWN: the popup keys and the value's caret rules; the rest goes to the box.
    virtual void WMKeyDown(TWMKey& msg, TShiftState shift);
    // WM_LBUTTONDOWN with the character index under the point; false: the press is not passed on
    // (it went down inside the selection, which stays).
    bool LButtonDown(int charIndex);
    // WM_LBUTTONUP with the character index under the point, after the box's own handling.
    void LButtonUpBefore(int charIndex);
    void LButtonUpAfter();
    void WMCut();
    void WMCopy();
    void WMPaste();
    // WM_KILLFOCUS: the value rules of leaving the control.
    void KillFocusRules();
    // The box reports a change the user made to the text.
    void EnChange();

    // The framework's key handling of the control: KeyDown opens and closes the popup with Alt+Up
    // and Alt+Down; KeyPress turns Return into nothing.
    virtual void KeyDown(quint16& key, TShiftState shift);
    virtual void KeyPress(QChar& key);
    // The text changed.
    virtual void Change() { ChangeEvent(); }

    // Flags the filter keeps (read by descendants and tests).
    bool BlockChange() const { return FBlockChange; }
    void SetBlockChange(bool on) { FBlockChange = on; }

protected:
    // --- the edit box -----------------------------------------------------------------------------
    virtual QString BoxText() const = 0;
    // Replaces the whole text; the caret goes to 0 and the box is no longer modified. Only called
    // with a text that differs.
    virtual void BoxWrite(const QString& text) = 0;
    virtual int BoxSelStart() const = 0;
    virtual int BoxSelLength() const = 0;
    // Selects from anchor to caret (caret before anchor for a selection made backwards).
    virtual void BoxSetSel(int anchor, int caret) = 0;
    virtual bool BoxModified() const = 0;
    virtual void BoxSetModified(bool on) = 0;
    // The box's own handling of a typed character (insert, Backspace, clipboard control keys),
    // running EnChange when the text changed.
    virtual void BoxChar(QChar ch) = 0;
    // The box's own handling of a key: KeyDown (and with it OnKeyDown) and then, for a key left,
    // the caret moves and deletions of the box.
    virtual void BoxKeyDown(quint16& key, TShiftState shift) = 0;
    virtual void BoxCut() = 0;
    virtual void BoxCopy() = 0;
    virtual bool BoxClipboardHasText() const = 0;
    virtual QString BoxClipboardText() const = 0;
    virtual bool BoxReadOnly() const = 0;
    virtual int BoxMaxLength() const = 0;

    // --- the control around it (defaults for a control without a window) ------------------------
    virtual bool CtrlDown() const { return false; }
    // Alt held now (the key state, also for keys sent to the control by its popup).
    virtual bool AltDown() const { return false; }
    virtual bool IsLoading() const { return false; }
    virtual bool IsDesigning() const { return false; }
    virtual bool ControlEnabled() const { return true; }
    virtual bool Focused() const { return true; }
    virtual bool HasParentWindow() const { return false; }
    virtual bool ParentKeyPreview() const { return false; }
    virtual bool EditVisible() const { return true; }
    // Posts a key press (down) or release to the parent window, or a key press to the control.
    virtual void PostKeyToParent(quint16 /*key*/, bool /*down*/) {}
    virtual void PostKeyToSelf(quint16 /*key*/) {}
    // The password character was switched on or off.
    virtual void PasswordChanged(bool /*on*/) {}
    // The raised events: OnKeyDown, OnKeyPress, OnChange.
    virtual void KeyDownEvent(quint16& /*key*/, TShiftState /*shift*/) {}
    virtual void KeyPressEvent(QChar& /*key*/) {}
    virtual void ChangeEvent() {}
    // The value is painted by the control while the editor is off.
    virtual void DrawEditContent() {}
    virtual QObject* EventSender() { return nullptr; }

    // The popup (Part of the control): nothing without one.
    virtual bool IsDroppedDown() const { return false; }
    virtual void DoShowDropDown() {}
    virtual void DoHideDropDown(bool /*cancel*/) {}

    // Writes a whole edit text as the control writes it (Change runs at once when it differs).
    void WriteEditText(const QString& text);
    // The character as the framework hands it on: KeyPress, then the box.
    void FrameworkChar(QChar ch);
    void SetCaret(int pos) { BoxSetSel(pos, pos); }
    // Writes Prefix + value + Suffix.
    void WriteValue(const QString& value) { WriteEditText(Prefix + value + Suffix); }

    // Helpers of the filter.
    int IntegerPartEnd(const QString& text) const;
    int DecimalPosition() const;
    bool DecimalsFull(const QString& value, int caret) const;
    bool ThousandSeparatorMisplaced(const QString& value, int caret) const;
    bool IsNumberType() const { return FEditType == etNumeric || FEditType == etFloat || FEditType == etMoney; }
    // Keeps a typed character or a deletion out of the prefix and the suffix: the selection is cut
    // back to the value; fsInFixedText (nothing changed) when a deletion would take only fixed
    // text - a selection wholly in one, or the caret standing in one.
    enum TFixedSelection { fsInValue, fsClamped, fsInFixedText };
    TFixedSelection KeepSelectionInValue(bool deleting);

    TDropDownEditType FEditType = etString;
    int FPrecision = 0;
    bool FEditorEnabled = true;
    bool FBlockChange = false;
    bool FIsModified = false;
    bool FBlockCopy = false;
    bool FButtonDown = false;
    QString FOldText;

private:
    // The edit type's step of the filter; false when the step ended the message itself.
    bool TypeStep(QChar& k);
    void ToggleSign(bool numericRule);
    void PopupKeysAtEnd(quint16 key);
};

} // namespace controls::grid::dropdown
