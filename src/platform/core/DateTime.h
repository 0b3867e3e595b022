#pragma once
// Date-time serials: a double whose whole part counts days from 30 December 1899 and whose
// fraction is the time of day (0 = 1899-12-30 00:00, 2.75 = 1900-01-01 18:00, 36526 =
// 2000-01-01). Before that day the whole part counts backwards and the fraction is still the
// time of day: -1.25 is 1899-12-29 06:00. Decoding rounds to whole milliseconds first, so a
// value a hair below midnight reads as the next day at 00:00.
//
// Dates run from 0001-01-01 to 9999-12-31. Encoding an impossible date or time (month 13,
// 31 April, 24:00) and reading text that is not a date raise EConvertError; decoding a serial
// outside the range gives zeros.
#include "platform/core/FormatSettings.h"

#include <QDateTime>
#include <QString>
#include <cstdint>

namespace platform {

using TDateTime = double;

bool IsLeapYear(int year);
int DaysInAMonth(int year, int month); // 0 for a month outside 1..12

bool TryEncodeDate(int year, int month, int day, TDateTime& date);
TDateTime EncodeDate(int year, int month, int day);
bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& time);
TDateTime EncodeTime(int hour, int min, int sec, int msec);
// A date and a time of day as one serial, right also before 1899-12-30.
TDateTime ComposeDateTime(TDateTime date, TDateTime time);

void DecodeDate(TDateTime dt, int& year, int& month, int& day);
void DecodeTime(TDateTime dt, int& hour, int& min, int& sec, int& msec);
// 1 = Sunday .. 7 = Saturday; 0 outside the range.
int DayOfWeek(TDateTime dt);

// The same day and time `months` later (earlier when negative); a day beyond the end of the
// target month becomes its last day. A result outside the date range raises EConvertError.
TDateTime IncMonth(TDateTime dt, int months = 1);

// Formats with the letters of the format settings' conventions (letters in either case):
//   d dd ddd dddd ddddd(short date) dddddd(long date)   m mm mmm mmmm   yy yyyy
//   h hh   n nn   s ss   z zzz   t(short time) tt(long time)   c(short date, long time)
//   am/pm a/p ampm (12-hour clock for h)   / (date separator)   : (time separator)
//   "text" or 'text' (literal)
// An "m" right after an hour letter means minutes. Any other character stands for itself.
QString FormatDateTime(const QString& format, TDateTime dt);
QString FormatDateTime(const QString& format, TDateTime dt, const TFormatSettings& fs);
QString DateToStr(TDateTime dt);
QString DateToStr(TDateTime dt, const TFormatSettings& fs);
QString TimeToStr(TDateTime dt);
QString TimeToStr(TDateTime dt, const TFormatSettings& fs);
QString DateTimeToStr(TDateTime dt);
QString DateTimeToStr(TDateTime dt, const TFormatSettings& fs);

// Reads a date in the order of the short date format (day, month, year; month, day, year; or
// year, month, day): numbers separated by the date separator, blanks around them allowed. With
// two numbers the year is the current one. A year of one or two digits is placed by the
// two-digit century window. Anything else raises EConvertError "'<text>' is not a valid date".
TDateTime StrToDate(const QString& s);
TDateTime StrToDate(const QString& s, const TFormatSettings& fs);
bool TryStrToDate(const QString& s, TDateTime& date, const TFormatSettings& fs);
// A time of day: hours and minutes separated by the time separator, optional seconds (and
// milliseconds after the decimal separator), an optional AM/PM mark (the format settings'
// names or "AM"/"PM", any letter case; the hour is then 1..12). Blanks around the numbers.
bool TryStrToTime(const QString& s, TDateTime& time, const TFormatSettings& fs);
// A date as TryStrToDate reads it, optionally followed by a time as TryStrToTime reads it; a
// time alone is read as a time on day 0.
bool TryStrToDateTime(const QString& s, TDateTime& value, const TFormatSettings& fs);

// Local date and time of the program's clock (platform::clock(), so tests can fix it).
TDateTime Now();
TDateTime Date();
TDateTime Time();
TDateTime DateTimeFromQDateTime(const QDateTime& dt);

} // namespace platform
