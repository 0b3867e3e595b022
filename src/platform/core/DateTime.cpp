#include "platform/core/DateTime.h"

#include "platform/core/Errors.h"
#include "platform/process/Clock.h"
#include "platform/text/Text.h"

#include <cmath>
#include <cstdlib>

namespace platform {

namespace {

constexpr int64_t kMsPerDay = 86400000;
constexpr int64_t kMinSerial = -693593; // 0001-01-01
constexpr int64_t kMaxSerial = 2958465; // 9999-12-31
constexpr int64_t kUnixEpochSerial = 25569; // 1970-01-01

// Days since 1970-01-01 of a date of the proleptic Gregorian calendar, and back.
int64_t daysFromCivil(int64_t y, int m, int d)
{
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void civilFromDays(int64_t z, int& year, int& month, int& day)
{
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    day = int(doy - (153 * mp + 2) / 5 + 1);
    month = int(mp < 10 ? mp + 3 : mp - 9);
    year = int(yoe + era * 400 + (month <= 2));
}

// The serial as whole days and milliseconds of the day, rounded to the millisecond; false
// outside the date range.
bool toTimeStamp(TDateTime dt, int64_t& days, int64_t& msOfDay)
{
    if (!std::isfinite(dt) || dt < double(kMinSerial - 1) || dt > double(kMaxSerial + 1))
        return false;
    const int64_t t = roundHalfEven(dt * double(kMsPerDay));
    days = t / kMsPerDay; // towards zero: the time of day counts forwards also before 1899-12-30
    msOfDay = std::llabs(t) % kMsPerDay;
    return days >= kMinSerial && days <= kMaxSerial;
}

} // namespace

bool IsLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int DaysInAMonth(int year, int month)
{
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    return days[month - 1] + (month == 2 && IsLeapYear(year) ? 1 : 0);
}

bool TryEncodeDate(int year, int month, int day, TDateTime& date)
{
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInAMonth(year, month))
        return false;
    date = double(daysFromCivil(year, month, day) + kUnixEpochSerial);
    return true;
}

TDateTime EncodeDate(int year, int month, int day)
{
    TDateTime d = 0;
    if (!TryEncodeDate(year, month, day, d))
        throw EConvertError(QStringLiteral("Invalid argument to date encode"));
    return d;
}

bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& time)
{
    if (hour < 0 || hour > 23 || min < 0 || min > 59 || sec < 0 || sec > 59 || msec < 0 || msec > 999)
        return false;
    time = double(((int64_t(hour) * 60 + min) * 60 + sec) * 1000 + msec) / double(kMsPerDay);
    return true;
}

TDateTime EncodeTime(int hour, int min, int sec, int msec)
{
    TDateTime t = 0;
    if (!TryEncodeTime(hour, min, sec, msec, t))
        throw EConvertError(QStringLiteral("Invalid argument to time encode"));
    return t;
}

TDateTime ComposeDateTime(TDateTime date, TDateTime time)
{
    const double whole = std::trunc(date);
    const double fraction = std::fabs(time - std::trunc(time));
    return whole < 0 ? whole - fraction : whole + fraction;
}

void DecodeDate(TDateTime dt, int& year, int& month, int& day)
{
    int64_t days = 0, ms = 0;
    if (!toTimeStamp(dt, days, ms)) {
        year = month = day = 0;
        return;
    }
    civilFromDays(days - kUnixEpochSerial, year, month, day);
}

void DecodeTime(TDateTime dt, int& hour, int& min, int& sec, int& msec)
{
    int64_t days = 0, ms = 0;
    if (!toTimeStamp(dt, days, ms)) {
        hour = min = sec = msec = 0;
        return;
    }
    msec = int(ms % 1000);
    sec = int(ms / 1000 % 60);
    min = int(ms / 60000 % 60);
    hour = int(ms / 3600000);
}

int DayOfWeek(TDateTime dt)
{
    int64_t days = 0, ms = 0;
    if (!toTimeStamp(dt, days, ms))
        return 0;
    // Serial 0 was a Saturday.
    return int(((days % 7) + 7 + 6) % 7) + 1;
}

TDateTime IncMonth(TDateTime dt, int months)
{
    int y = 0, m = 0, d = 0;
    DecodeDate(dt, y, m, d);
    if (y == 0)
        throw EConvertError(QStringLiteral("Invalid argument to date encode"));
    int64_t total = int64_t(y) * 12 + (m - 1) + months;
    const int64_t ny = total >= 0 ? total / 12 : (total - 11) / 12;
    const int nm = int(total - ny * 12) + 1;
    if (ny < 1 || ny > 9999)
        throw EConvertError(QStringLiteral("Invalid argument to date encode"));
    d = std::min(d, DaysInAMonth(int(ny), nm));
    return ComposeDateTime(EncodeDate(int(ny), nm, d), dt);
}

// --- formatting -------------------------------------------------------------------------------

namespace {

bool startsWithNoCase(const QString& s, qsizetype at, const char* word)
{
    const QString w = QString::fromLatin1(word);
    return s.mid(at, w.size()).compare(w, Qt::CaseInsensitive) == 0;
}

QString number(int v, int digits)
{
    QString t = QString::number(v);
    while (t.size() < digits)
        t.prepend(QLatin1Char('0'));
    return t;
}

struct Fields {
    int year = 0, month = 0, day = 0, hour = 0, min = 0, sec = 0, msec = 0, dow = 0;
};

void appendFormat(QString& out, const QString& f, const Fields& v, const TFormatSettings& fs, int depth)
{
    if (depth > 2) // a date format that names itself ("ddddd" inside ShortDateFormat)
        return;
    QChar lastLetter;
    bool use12 = false;
    const qsizetype n = f.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar starter = f[i++];
        QChar token = starter.toUpper();
        if (token.unicode() >= u'A' && token.unicode() <= u'Z') {
            if (token == QLatin1Char('M') && lastLetter == QLatin1Char('H'))
                token = QLatin1Char('N');
            lastLetter = token;
        }
        auto count = [&]() {
            int c = 1;
            while (i < n && f[i] == starter) {
                ++i;
                ++c;
            }
            return c;
        };
        switch (token.unicode()) {
        case u'Y':
            out += count() <= 2 ? number(v.year % 100, 2) : number(v.year, 4);
            break;
        case u'M': {
            const int c = count();
            if (c <= 2)
                out += number(v.month, c);
            else if (v.month >= 1)
                out += c == 3 ? fs.ShortMonthNames[size_t(v.month - 1)] : fs.LongMonthNames[size_t(v.month - 1)];
            break;
        }
        case u'D': {
            const int c = count();
            if (c <= 2)
                out += number(v.day, c);
            else if (c <= 4) {
                if (v.dow >= 1)
                    out += c == 3 ? fs.ShortDayNames[size_t(v.dow - 1)] : fs.LongDayNames[size_t(v.dow - 1)];
            } else {
                appendFormat(out, c == 5 ? fs.ShortDateFormat : fs.LongDateFormat, v, fs, depth + 1);
            }
            break;
        }
        case u'H': {
            const int c = std::min(count(), 2);
            // A 12-hour clock when an am/pm marker follows before the next hour letter.
            bool quoted = false;
            for (qsizetype p = i; p < n; ++p) {
                const QChar ch = f[p];
                if (ch == QLatin1Char('\'') || ch == QLatin1Char('"')) {
                    quoted = !quoted;
                } else if (!quoted && (ch == QLatin1Char('h') || ch == QLatin1Char('H'))) {
                    break;
                } else if (!quoted && (ch == QLatin1Char('a') || ch == QLatin1Char('A'))) {
                    if (startsWithNoCase(f, p, "AM/PM") || startsWithNoCase(f, p, "A/P") || startsWithNoCase(f, p, "AMPM"))
                        use12 = true;
                    break;
                }
            }
            int h = v.hour;
            if (use12)
                h = h == 0 ? 12 : (h > 12 ? h - 12 : h);
            out += number(h, c);
            break;
        }
        case u'N':
            out += number(v.min, std::min(count(), 2));
            break;
        case u'S':
            out += number(v.sec, std::min(count(), 2));
            break;
        case u'Z':
            out += number(v.msec, std::min(count(), 3));
            break;
        case u'T':
            appendFormat(out, count() == 1 ? fs.ShortTimeFormat : fs.LongTimeFormat, v, fs, depth + 1);
            break;
        case u'C':
            count();
            appendFormat(out, fs.ShortDateFormat, v, fs, depth + 1);
            if (v.hour != 0 || v.min != 0 || v.sec != 0) {
                out += QLatin1Char(' ');
                appendFormat(out, fs.LongTimeFormat, v, fs, depth + 1);
            }
            break;
        case u'A': {
            const qsizetype p = i - 1;
            if (startsWithNoCase(f, p, "AM/PM")) {
                out += f.mid(v.hour >= 12 ? p + 3 : p, 2);
                i = p + 5;
                use12 = true;
            } else if (startsWithNoCase(f, p, "A/P")) {
                out += f.mid(v.hour >= 12 ? p + 2 : p, 1);
                i = p + 3;
                use12 = true;
            } else if (startsWithNoCase(f, p, "AMPM")) {
                out += v.hour < 12 ? fs.TimeAMString : fs.TimePMString;
                i = p + 4;
                use12 = true;
            } else {
                out += starter;
            }
            break;
        }
        case u'/':
            out += fs.DateSeparator;
            break;
        case u':':
            out += fs.TimeSeparator;
            break;
        case u'\'':
        case u'"': {
            const qsizetype start = i;
            while (i < n && f[i] != starter)
                ++i;
            out += f.mid(start, i - start);
            if (i < n)
                ++i;
            break;
        }
        default:
            out += starter;
        }
    }
}

} // namespace

QString FormatDateTime(const QString& format, TDateTime dt, const TFormatSettings& fs)
{
    Fields v;
    DecodeDate(dt, v.year, v.month, v.day);
    DecodeTime(dt, v.hour, v.min, v.sec, v.msec);
    v.dow = DayOfWeek(dt);
    QString out;
    appendFormat(out, format.isEmpty() ? QStringLiteral("c") : format, v, fs, 0);
    return out;
}

QString FormatDateTime(const QString& format, TDateTime dt) { return FormatDateTime(format, dt, FormatSettings()); }

QString DateToStr(TDateTime dt, const TFormatSettings& fs) { return FormatDateTime(QStringLiteral("ddddd"), dt, fs); }
QString DateToStr(TDateTime dt) { return DateToStr(dt, FormatSettings()); }
QString TimeToStr(TDateTime dt, const TFormatSettings& fs) { return FormatDateTime(QStringLiteral("tt"), dt, fs); }
QString TimeToStr(TDateTime dt) { return TimeToStr(dt, FormatSettings()); }
QString DateTimeToStr(TDateTime dt, const TFormatSettings& fs) { return FormatDateTime(QStringLiteral("c"), dt, fs); }
QString DateTimeToStr(TDateTime dt) { return DateTimeToStr(dt, FormatSettings()); }

// --- reading ----------------------------------------------------------------------------------

namespace {

enum class DateOrder { MDY, DMY, YMD };

DateOrder dateOrder(const QString& shortDateFormat)
{
    for (QChar c : shortDateFormat) {
        switch (c.toUpper().unicode()) {
        case u'E':
        case u'Y':
            return DateOrder::YMD;
        case u'M':
            return DateOrder::MDY;
        case u'D':
            return DateOrder::DMY;
        default:
            break;
        }
    }
    return DateOrder::MDY;
}

struct Scanner {
    const QString& s;
    qsizetype pos = 0;

    void blanks()
    {
        while (pos < s.size() && s[pos] == QLatin1Char(' '))
            ++pos;
    }
    bool number(int& value, int& digits)
    {
        blanks();
        qsizetype i = pos;
        int v = 0;
        while (i < s.size() && s[i].unicode() >= u'0' && s[i].unicode() <= u'9' && v < 1000) {
            v = v * 10 + (s[i].unicode() - u'0');
            ++i;
        }
        if (i == pos)
            return false;
        digits = int(i - pos);
        value = v;
        pos = i;
        return true;
    }
    bool ch(QChar c)
    {
        blanks();
        if (pos < s.size() && s[pos] == c) {
            ++pos;
            return true;
        }
        return false;
    }
};

} // namespace

namespace {

// A date at the scanner in the order of the short date format; the scanner stops after it.
bool scanDate(Scanner& sc, TDateTime& date, const TFormatSettings& fs)
{
    const DateOrder order = dateOrder(fs.ShortDateFormat);
    int n1 = 0, n2 = 0, n3 = 0, l1 = 0, l2 = 0, l3 = 0;
    if (!sc.number(n1, l1) || !sc.ch(fs.DateSeparator) || !sc.number(n2, l2))
        return false;
    int y = 0, m = 0, d = 0;
    if (sc.ch(fs.DateSeparator)) {
        if (!sc.number(n3, l3))
            return false;
        int yearDigits = l3;
        switch (order) {
        case DateOrder::MDY:
            y = n3, m = n1, d = n2;
            break;
        case DateOrder::DMY:
            y = n3, m = n2, d = n1;
            break;
        case DateOrder::YMD:
            y = n1, m = n2, d = n3, yearDigits = l1;
            break;
        }
        if (yearDigits <= 2) {
            const int centuryBase = clock().now().date().year() - fs.TwoDigitYearCenturyWindow;
            y += centuryBase / 100 * 100;
            if (fs.TwoDigitYearCenturyWindow > 0 && y < centuryBase)
                y += 100;
        }
    } else {
        y = clock().now().date().year();
        if (order == DateOrder::DMY)
            d = n1, m = n2;
        else
            m = n1, d = n2;
    }
    sc.ch(fs.DateSeparator);
    return TryEncodeDate(y, m, d, date);
}

// "am"/"pm" (or the format settings' names) at the scanner, ignoring case: -1 none, 0 am, 1 pm.
int scanAmPm(Scanner& sc, const TFormatSettings& fs)
{
    sc.blanks();
    const QString rest = sc.s.mid(sc.pos);
    const QString names[4] = {fs.TimeAMString, fs.TimePMString, QStringLiteral("AM"), QStringLiteral("PM")};
    for (int i = 0; i < 4; ++i)
        if (!names[i].isEmpty() && rest.startsWith(names[i], Qt::CaseInsensitive)) {
            sc.pos += names[i].size();
            return i % 2;
        }
    return -1;
}

// A time of day at the scanner: hours and minutes, optional seconds and milliseconds, an
// optional am/pm mark.
bool scanTime(Scanner& sc, TDateTime& time, const TFormatSettings& fs)
{
    int h = 0, n = 0, sec = 0, ms = 0, digits = 0;
    if (!sc.number(h, digits) || !sc.ch(fs.TimeSeparator) || !sc.number(n, digits))
        return false;
    if (sc.ch(fs.TimeSeparator)) {
        if (!sc.number(sec, digits))
            return false;
        if (sc.ch(fs.DecimalSeparator) && !sc.number(ms, digits))
            return false;
    }
    const int ampm = scanAmPm(sc, fs);
    if (ampm >= 0) {
        if (h < 1 || h > 12)
            return false;
        h = h % 12 + (ampm == 1 ? 12 : 0);
    }
    return TryEncodeTime(h, n, sec, ms, time);
}

} // namespace

bool TryStrToDate(const QString& s, TDateTime& date, const TFormatSettings& fs)
{
    Scanner sc{s};
    TDateTime d = 0;
    if (!scanDate(sc, d, fs))
        return false;
    sc.blanks();
    if (sc.pos != s.size())
        return false;
    date = d;
    return true;
}

bool TryStrToTime(const QString& s, TDateTime& time, const TFormatSettings& fs)
{
    Scanner sc{s};
    TDateTime t = 0;
    if (!scanTime(sc, t, fs))
        return false;
    sc.blanks();
    if (sc.pos != s.size())
        return false;
    time = t;
    return true;
}

bool TryStrToDateTime(const QString& s, TDateTime& value, const TFormatSettings& fs)
{
    Scanner sc{s};
    TDateTime d = 0, t = 0;
    if (!scanDate(sc, d, fs)) {
        // A time alone is a time on day 0.
        return TryStrToTime(s, value, fs);
    }
    sc.blanks();
    if (sc.pos != s.size() && !scanTime(sc, t, fs))
        return false;
    sc.blanks();
    if (sc.pos != s.size())
        return false;
    value = ComposeDateTime(d, t);
    return true;
}

TDateTime StrToDate(const QString& s, const TFormatSettings& fs)
{
    TDateTime d = 0;
    if (!TryStrToDate(s, d, fs))
        throw EConvertError(QStringLiteral("'%1' is not a valid date").arg(s));
    return d;
}

TDateTime StrToDate(const QString& s) { return StrToDate(s, FormatSettings()); }

// --- the clock --------------------------------------------------------------------------------

TDateTime DateTimeFromQDateTime(const QDateTime& dt)
{
    const QDate d = dt.date();
    const QTime t = dt.time();
    TDateTime date = 0, time = 0;
    if (!TryEncodeDate(d.year(), d.month(), d.day(), date))
        return 0;
    TryEncodeTime(t.hour(), t.minute(), t.second(), t.msec(), time);
    return ComposeDateTime(date, time);
}

TDateTime Now() { return DateTimeFromQDateTime(clock().now()); }
TDateTime Date() { return std::trunc(Now()); }
TDateTime Time()
{
    const TDateTime n = Now();
    return n - std::trunc(n);
}

} // namespace platform
