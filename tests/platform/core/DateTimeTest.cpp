#include "platform/core/DateTime.h"
#include "platform/core/Errors.h"

#include "support/FakeProcess.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {

QString iso(TDateTime dt)
{
    int y, m, d, h, n, s, ms;
    DecodeDate(dt, y, m, d);
    DecodeTime(dt, h, n, s, ms);
    return QString::asprintf("%04d-%02d-%02dT%02d:%02d:%02d.%03d", y, m, d, h, n, s, ms);
}

} // namespace

TEST(DateTime, SerialsMatchTheCalendar)
{
    // Expected texts from Python: datetime(1899, 12, 30) + timedelta(days=serial).
    struct Case {
        double serial;
        const char* iso;
    };
    const Case cases[] = {
        {0, "1899-12-30T00:00:00.000"},
        {1, "1899-12-31T00:00:00.000"},
        {2.75, "1900-01-01T18:00:00.000"},
        {36526, "2000-01-01T00:00:00.000"},
        {-1, "1899-12-29T00:00:00.000"},
        {-36522, "1800-01-01T00:00:00.000"},
        {-693593, "0001-01-01T00:00:00.000"},
        {2958465.5, "9999-12-31T12:00:00.000"},
        {60, "1900-02-28T00:00:00.000"}, // 1900 is no leap year
        {61, "1900-03-01T00:00:00.000"},
        {45000.123456, "2023-03-15T02:57:46.598"},
        {43831.999988426, "2020-01-01T23:59:59.000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.iso);
        EXPECT_EQ(iso(c.serial), QString::fromLatin1(c.iso));
        if (c.serial == std::trunc(c.serial)) {
            const QString s = QString::fromLatin1(c.iso);
            EXPECT_EQ(EncodeDate(s.mid(0, 4).toInt(), s.mid(5, 2).toInt(), s.mid(8, 2).toInt()), c.serial);
        }
    }
    // Before the epoch the time of day still counts forwards from the day's start.
    EXPECT_EQ(iso(-1.25), QStringLiteral("1899-12-29T06:00:00.000"));
    EXPECT_EQ(ComposeDateTime(EncodeDate(1899, 12, 29), EncodeTime(6, 0, 0, 0)), -1.25);
    EXPECT_EQ(ComposeDateTime(EncodeDate(2000, 1, 1), EncodeTime(12, 0, 0, 0)), 36526.5);
    // A hair below midnight rounds to the next day.
    EXPECT_EQ(iso(1.9999999999), QStringLiteral("1900-01-01T00:00:00.000"));
    // Outside the range: zeros, no error.
    EXPECT_EQ(iso(1e12), QStringLiteral("0000-00-00T00:00:00.000"));
    EXPECT_EQ(iso(std::nan("")), QStringLiteral("0000-00-00T00:00:00.000"));
    EXPECT_EQ(DayOfWeek(0), 7);     // Saturday
    EXPECT_EQ(DayOfWeek(36526), 7); // 2000-01-01 was a Saturday too
    EXPECT_EQ(DayOfWeek(-1), 6);
}

TEST(DateTime, ImpossibleDatesAndTimesRaise)
{
    struct Case {
        int y, m, d;
    };
    const Case bad[] = {{2021, 2, 29}, {2020, 4, 31}, {2020, 13, 1}, {2020, 0, 1}, {0, 1, 1}, {10000, 1, 1}, {2020, 1, 0}};
    for (const Case& c : bad) {
        SCOPED_TRACE(testing::Message() << c.y << "-" << c.m << "-" << c.d);
        TDateTime d = -5;
        EXPECT_FALSE(TryEncodeDate(c.y, c.m, c.d, d));
        EXPECT_EQ(d, -5);
        EXPECT_THROW(EncodeDate(c.y, c.m, c.d), EConvertError);
    }
    EXPECT_NO_THROW(EncodeDate(2020, 2, 29));
    EXPECT_THROW(EncodeTime(24, 0, 0, 0), EConvertError);
    EXPECT_THROW(EncodeTime(0, 60, 0, 0), EConvertError);
    EXPECT_THROW(EncodeTime(0, 0, 0, 1000), EConvertError);
    try {
        EncodeDate(2020, 4, 31);
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Invalid argument to date encode"));
    }
}

TEST(DateTime, IncMonthClampsTheDay)
{
    struct Case {
        const char* from;
        int months;
        const char* to;
    };
    const TDateTime noonJan31 = ComposeDateTime(EncodeDate(2020, 1, 31), EncodeTime(12, 30, 0, 0));
    EXPECT_EQ(iso(IncMonth(noonJan31)), QStringLiteral("2020-02-29T12:30:00.000"));
    EXPECT_EQ(iso(IncMonth(noonJan31, 13)), QStringLiteral("2021-02-28T12:30:00.000"));
    EXPECT_EQ(iso(IncMonth(noonJan31, -2)), QStringLiteral("2019-11-30T12:30:00.000"));
    EXPECT_EQ(iso(IncMonth(noonJan31, -13)), QStringLiteral("2018-12-31T12:30:00.000"));
    EXPECT_EQ(iso(IncMonth(-1.25, 1)), QStringLiteral("1900-01-29T06:00:00.000"));
    EXPECT_THROW(IncMonth(EncodeDate(9999, 12, 1)), EConvertError);
    EXPECT_THROW(IncMonth(EncodeDate(1, 1, 1), -1), EConvertError);
    EXPECT_THROW(IncMonth(1e12), EConvertError);
}

TEST(DateTime, FormattingAndReading)
{
    const TFormatSettings fs; // dd/mm/yyyy, hh:nn:ss
    const TDateTime dt = ComposeDateTime(EncodeDate(2024, 3, 5), EncodeTime(14, 7, 9, 45));
    struct Case {
        const char* format;
        const char* text;
    };
    const Case cases[] = {
        {"d/m/yy", "5/3/24"},
        {"dd.mm.yyyy", "05.03.2024"},
        {"ddd dddd", "Tue Tuesday"},
        {"mmm mmmm", "Mar March"},
        {"hh:mm", "14:07"}, // m after h: minutes
        {"h:n:s.zzz", "14:7:9.045"},
        {"hh:nn:ss.z", "14:07:09.45"},
        {"hh:nn am/pm", "02:07 pm"},
        {"h A/P", "2 P"},
        {"hh ampm", "02 PM"},
        {"'at' hh \"o'clock\"", "at 14 o'clock"},
        {"ddddd", "05/03/2024"},
        {"t | tt", "14:07 | 14:07:09"},
        {"c", "05/03/2024 14:07:09"},
        {"YYYY-MM-DD", "2024-03-05"},
        {"x", "x"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.format);
        EXPECT_EQ(FormatDateTime(QString::fromLatin1(c.format), dt, fs), QString::fromUtf8(c.text));
    }
    EXPECT_EQ(FormatDateTime(QStringLiteral("c"), EncodeDate(2024, 3, 5), fs), QStringLiteral("05/03/2024"));
    EXPECT_EQ(FormatDateTime(QStringLiteral("hh am/pm"), EncodeTime(0, 0, 0, 0), fs), QStringLiteral("12 am"));
    EXPECT_EQ(DateToStr(dt, fs), QStringLiteral("05/03/2024"));
    EXPECT_EQ(TimeToStr(dt, fs), QStringLiteral("14:07:09"));

    TFormatSettings us;
    us.ShortDateFormat = QStringLiteral("m/d/yyyy");
    us.DateSeparator = QLatin1Char('-');
    EXPECT_EQ(DateToStr(dt, us), QStringLiteral("3-5-2024"));

    // Reading follows the order of the short date format.
    EXPECT_EQ(StrToDate(QStringLiteral("05/03/2024"), fs), EncodeDate(2024, 3, 5));
    EXPECT_EQ(StrToDate(QStringLiteral(" 5 / 3 / 2024 "), fs), EncodeDate(2024, 3, 5));
    EXPECT_EQ(StrToDate(QStringLiteral("3-5-2024"), us), EncodeDate(2024, 3, 5));
    TFormatSettings ymd;
    ymd.ShortDateFormat = QStringLiteral("yyyy.mm.dd");
    ymd.DateSeparator = QLatin1Char('.');
    EXPECT_EQ(StrToDate(QStringLiteral("2024.03.05"), ymd), EncodeDate(2024, 3, 5));
    EXPECT_EQ(StrToDate(DateToStr(dt, ymd), ymd), EncodeDate(2024, 3, 5));
}

TEST(DateTime, YearsFromTheClockAndBadDates)
{
    testing_support::FakeClock clock; // a fixed date in 2024
    const int year = clock.now().date().year();
    const TFormatSettings fs;
    int y, m, d;
    DecodeDate(StrToDate(QStringLiteral("7/8"), fs), y, m, d); // no year: this year
    EXPECT_EQ(y, year);
    EXPECT_EQ(m, 8);
    EXPECT_EQ(d, 7);
    // Two-digit years fall within 50 years before and 49 after the current one.
    const int future = (year + 10) % 100, past = (year + 60) % 100;
    DecodeDate(StrToDate(QStringLiteral("1/1/%1").arg(future, 2, 10, QLatin1Char('0')), fs), y, m, d);
    EXPECT_EQ(y, year + 10);
    DecodeDate(StrToDate(QStringLiteral("1/1/%1").arg(past, 2, 10, QLatin1Char('0')), fs), y, m, d);
    EXPECT_EQ(y, year - 40);
    DecodeDate(StrToDate(QStringLiteral("1/1/0024"), fs), y, m, d); // four digits: as written
    EXPECT_EQ(y, 24);
    EXPECT_DOUBLE_EQ(Date(), std::trunc(Now()));
    EXPECT_EQ(Now(), DateTimeFromQDateTime(clock.now()));

    const char* bad[] = {"31/04/2024", "32/1/2024", "1/13/2024", "abc", "", "1/2/3/4", "1-2-2024",
                         "1/2/2024x", "/1/2024", "1//2024", "12345/1/2024", "29/02/2023"};
    for (const char* s : bad) {
        SCOPED_TRACE(s);
        TDateTime out = -3;
        EXPECT_FALSE(TryStrToDate(QString::fromLatin1(s), out, fs));
        EXPECT_THROW(StrToDate(QString::fromLatin1(s), fs), EConvertError);
    }
    try {
        StrToDate(QStringLiteral("31/04/2024"), fs);
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("'31/04/2024' is not a valid date"));
    }
}

TEST(DateTime, ReadingTimesAndDatesWithTimes)
{
    const TFormatSettings& fs = DefaultFormatSettings();
    const struct {
        const char* text;
        const char* iso; // nullptr: refused
    } times[] = {
        {"12:30", "1899-12-30T12:30:00.000"},   {"7:05:09", "1899-12-30T07:05:09.000"},
        {" 23:59:59 ", "1899-12-30T23:59:59.000"}, {"1:02:03.250", "1899-12-30T01:02:03.250"},
        {"12:00 am", "1899-12-30T00:00:00.000"}, {"1:15 PM", "1899-12-30T13:15:00.000"},
        {"24:00", nullptr},  {"12:60", nullptr}, {"13:00 pm", nullptr}, {"12", nullptr},
        {"12:30x", nullptr}, {"", nullptr},      {"0:00:61", nullptr},
    };
    for (const auto& c : times) {
        SCOPED_TRACE(c.text);
        TDateTime t = -7;
        const bool ok = TryStrToTime(QString::fromLatin1(c.text), t, fs);
        EXPECT_EQ(ok, c.iso != nullptr);
        if (c.iso) {
            EXPECT_EQ(iso(t), QString::fromLatin1(c.iso));
        } else {
            EXPECT_EQ(t, -7) << "a refused text leaves the value alone";
        }
    }
    const struct {
        const char* text;
        const char* iso;
    } dateTimes[] = {
        {"05/03/2024 14:30", "2024-03-05T14:30:00.000"},
        {"05/03/2024", "2024-03-05T00:00:00.000"},
        {"29/02/2024 0:00:01", "2024-02-29T00:00:01.000"},
        {"8:15", "1899-12-30T08:15:00.000"},
        {"05/03/2024 25:00", nullptr},
        {"05/03/2024 x", nullptr},
        {"31/04/2024 10:00", nullptr},
    };
    for (const auto& c : dateTimes) {
        SCOPED_TRACE(c.text);
        TDateTime v = -7;
        const bool ok = TryStrToDateTime(QString::fromLatin1(c.text), v, fs);
        EXPECT_EQ(ok, c.iso != nullptr);
        if (c.iso) {
            EXPECT_EQ(iso(v), QString::fromLatin1(c.iso));
        }
    }
}
