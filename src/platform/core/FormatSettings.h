#pragma once
// The number and date formats the conversions use: separators, date and time formats, names of
// months and days. One process-wide set is current; it starts as the fixed default below on
// every machine (so files and tests mean the same everywhere) and can be replaced, for example
// by a test that wants "," as decimal separator. Every routine that formats or reads numbers or
// dates also takes an explicit set.
#include <QChar>
#include <QString>
#include <array>

namespace platform {

struct TFormatSettings {
    QChar DecimalSeparator = QLatin1Char('.');
    QChar ThousandSeparator = QLatin1Char(',');
    QChar DateSeparator = QLatin1Char('/');
    QChar TimeSeparator = QLatin1Char(':');
    // Between the fields of a separated-text list ("CSV" on the clipboard).
    QChar ListSeparator = QLatin1Char(',');
    QString ShortDateFormat = QStringLiteral("dd/mm/yyyy");
    QString LongDateFormat = QStringLiteral("dddd, d mmmm yyyy");
    QString ShortTimeFormat = QStringLiteral("hh:nn");
    QString LongTimeFormat = QStringLiteral("hh:nn:ss");
    QString TimeAMString = QStringLiteral("AM");
    QString TimePMString = QStringLiteral("PM");
    // Two-digit years read as the year within this many years before the current one and
    // (100 - this) after it; 0 reads them in the current century.
    int TwoDigitYearCenturyWindow = 50;
    std::array<QString, 12> ShortMonthNames{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::array<QString, 12> LongMonthNames{"January", "February", "March",     "April",   "May",      "June",
                                           "July",    "August",   "September", "October", "November", "December"};
    // Sunday first.
    std::array<QString, 7> ShortDayNames{"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    std::array<QString, 7> LongDayNames{"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
};

// The fixed default: "." decimal, "," thousands, "/" and ":" separators, "dd/mm/yyyy" and
// "hh:nn:ss", English names.
const TFormatSettings& DefaultFormatSettings();
// The current set.
const TFormatSettings& FormatSettings();
void SetFormatSettings(const TFormatSettings& settings);
// Back to the fixed default.
void ResetFormatSettings();

} // namespace platform
