#pragma once
// The rules of the cell editors' controls that depend on nothing but their inputs, so that
// they are tested without a window: which characters the spin editor takes, how it reads,
// clamps and writes its values, how it steps the field of a date or time under the caret, how
// a value with a unit is split, and where a date picker's input moves after a typed digit.
//
// Separators and date formats come from the format settings passed in (the editors pass the
// current ones, read at each use).
#include "platform/core/DateTime.h"
#include "platform/core/FormatSettings.h"

#include <QChar>
#include <QString>
#include <QStringList>
#include <functional>

namespace controls::grid {

using platform::TDateTime;

// The kind of value a spin editor steps: integer, floating-point number, date, time of day.
enum TXgrSpinType { sptNormal, sptFloat, sptDate, sptTime };

// The platform's default beep for a refused key. Tests replace the handler to count beeps;
// SetMessageBeepHandler answers the handler it replaced (nullptr is the system beep).
void MessageBeep();
std::function<void()> SetMessageBeepHandler(std::function<void()> handler);

// --- the spin editor -------------------------------------------------------------------------

// The spin editor's state when a character arrives.
struct TSpinCharContext {
    QString text;
    int selStart = 0;  // caret, or start of the selection (0-based)
    int selLength = 0;
    TXgrSpinType spinType = sptNormal;
    int precision = 0; // digits after the decimal separator of a float editor; 0 = any
    bool editorEnabled = true;
};

// Whether a typed character may reach the spin editor's text. Digits (any Unicode number), the
// four separators and "-" are candidates; the time separator only in time editors (or where it
// doubles as a number sign or separator in number editors), the date separator only in date
// editors (the same exception); one "-", at the start; an integer editor takes digits, "-" and
// Backspace only; a float editor at most one decimal separator, no thousand separator, and at
// most `precision` digits after the separator; a time editor at most two time separators.
// Without EditorEnabled only control characters other than Backspace pass.
bool SpinIsValidChar(QChar key, const TSpinCharContext& ctx, const platform::TFormatSettings& fs);

// Whether a text is a value of the kind (an integer, a number in the locale's format, a date in
// its short date format, a time of day); the empty text counts as one (no value yet).
bool SpinTextIsValue(const QString& text, TXgrSpinType type, const platform::TFormatSettings& fs);

// Limits: equal limits mean no limit.
int SpinClampInt(int value, int minValue, int maxValue);
// A float at or below the minimum is the minimum, at or above the maximum the maximum.
double SpinClampFloat(double value, double minValue, double maxValue);
TDateTime SpinClampDate(TDateTime value, TDateTime minValue, TDateTime maxValue);

// The integer of a spin editor's text: 0 for an empty text, minValue for one that is no integer.
int SpinTextToInt(const QString& text, int minValue);
// The number of a spin editor's text in the locale's number format: minFloat for a text that is
// no number (the empty text included).
double SpinTextToFloat(const QString& text, double minFloat, const platform::TFormatSettings& fs);
// A float as the spin editor writes it: `precision` decimals (fixed, 15 significant digits), or
// the shortest general form when precision is 0.
QString SpinFloatToText(double value, int precision, const platform::TFormatSettings& fs);

// The date after one step (up or down) of the field under the caret of the text: the first
// field lies before the first date separator, the second before the next one, the third after
// it; the fields are month, day, year when the short date format puts the month before the day,
// else day, month, year. A day step moves a day; a month step a month and a year step a year,
// each with the day cut to the length of the target month (29 February a year on is
// 28 February); the time of day stays.
TDateTime SpinStepDate(TDateTime date, const QString& text, int caret, bool up, const platform::TFormatSettings& fs);

struct TSpinTimeSteps {
    int hours = 1;
    int minutes = 1;
    int seconds = 1;
    bool showSeconds = true;
};
// The time to write after one step of the field under the caret: hours before the first time
// separator, seconds (with ShowSeconds) from the second one on, else minutes. Up adds the step;
// down subtracts it and continues below midnight from 24:00 (0:00 minus an hour is 23:00).
TDateTime SpinStepTime(TDateTime time, const QString& text, int caret, bool up, const TSpinTimeSteps& steps,
                       const platform::TFormatSettings& fs);

// --- the unit editor ---------------------------------------------------------------------------

// Splits "12.5kWh" at the first unit of the list (in list order) that ends the value, where
// the unit's first occurrence must be that end ("m5m" does not end with "m" in this sense).
// False, with text and unit untouched, when no unit ends the value.
bool SplitTextAndUnit(const QString& value, const QStringList& units, QString& text, QString& unit);

// --- field advance of the date and time pickers --------------------------------------------------

struct TDateParts {
    int year = 0, month = 0, day = 0;
    bool operator==(const TDateParts&) const = default;
};
struct TTimeParts {
    int hour = 0, minute = 0, second = 0;
    bool operator==(const TTimeParts&) const = default;
};
TDateParts DatePartsOf(TDateTime value);
TTimeParts TimePartsOf(TDateTime value);

enum class TShiftAction {
    None,      // the input stays in its field
    NextField, // the picker moves on to its next field
    TimeField, // the embedded time field takes the focus
};

// The date-and-time picker with a time field: with a format whose last letter names the field
// that changed (d/D day, m/M month, y/Y year) the time field takes the focus, any other change
// moves to the next field; without a format a changed day or month moves on, a changed year
// goes to the time field.
TShiftAction DateTimePickerShift(const QString& format, const TDateParts& before, const TDateParts& now);
// The grid's date picker: a change moves to the next field, except a change of the field the
// format's last letter names (the last field); without a format only a changed day or month
// moves on.
TShiftAction GridDatePickerShift(const QString& format, const TDateParts& before, const TDateParts& now);
// Time pickers: a changed hour, minute or second moves on.
TShiftAction TimePickerShift(const TTimeParts& before, const TTimeParts& now);

} // namespace controls::grid
