#pragma once
// The time text of the time picker drop-down: two-digit fields joined by the time separator
// ("12:34:56", or "12:34" without seconds), the edit mask that holds them, the field under the
// caret that Up and Down step, and the reading of a typed text.
#include <QChar>
#include <QString>
#include <optional>

namespace controls::grid::dropdown {

// The number with a leading "0" when it has one digit.
QString TwoDigits(int value);
QString FormatTimeText(int hour, int minute, int second, bool showSeconds, QChar separator);
// "!90" + separator + "00" (+ separator + "00") + ";1; ".
QString TimeEditMask(bool showSeconds, QChar separator);

struct TTimeFields {
    int hour = 0, minute = 0, second = 0;
};
// The fields of a whole time text (blanks read as zeros), or nothing when the text is not one:
// wrong length, wrong separators, other characters than digits. The fields are not checked
// against their ranges.
std::optional<TTimeFields> ParseTimeText(const QString& text, bool showSeconds, QChar separator);

enum TTimeField { tfHour, tfMinute, tfSecond };
// The field the caret (0-based) stands in.
TTimeField TimeFieldAt(const QString& text, int caret, bool showSeconds, QChar separator);

} // namespace controls::grid::dropdown
