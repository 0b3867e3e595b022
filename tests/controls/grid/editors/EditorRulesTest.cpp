#include "controls/grid/editors/EditorRules.h"

#include "platform/core/DateTime.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using namespace controls::grid;
using platform::EncodeDate;
using platform::EncodeTime;
using platform::TFormatSettings;

namespace {

QString iso(TDateTime dt)
{
    int y, m, d, h, n, s, ms;
    platform::DecodeDate(dt, y, m, d);
    platform::DecodeTime(dt, h, n, s, ms);
    return QString::asprintf("%04d-%02d-%02d %02d:%02d:%02d", y, m, d, h, n, s);
}

TFormatSettings commaLocale()
{
    TFormatSettings fs;
    fs.DecimalSeparator = u',';
    fs.ThousandSeparator = u'.';
    fs.DateSeparator = u'.';
    fs.ShortDateFormat = QStringLiteral("dd.mm.yyyy");
    return fs;
}

} // namespace

TEST(SpinRules, ValidCharactersPerKind)
{
    const TFormatSettings dot; // "." decimal, "," thousands, "/" date, ":" time
    struct Case {
        TXgrSpinType type;
        const char* text;
        int selStart, selLength;
        char16_t key;
        bool valid;
        int precision = 0;
        bool enabled = true;
    };
    const Case cases[] = {
        // integers: digits, one leading minus, Backspace; no separators, no other control keys
        {sptNormal, "12", 2, 0, u'3', true},
        {sptNormal, "12", 2, 0, u'\u00b2', true}, // a superscript digit is a number character
        {sptNormal, "12", 2, 0, u'a', false},
        {sptNormal, "12", 2, 0, u'.', false},
        {sptNormal, "12", 2, 0, u',', false},
        {sptNormal, "12", 2, 0, u':', false},
        {sptNormal, "12", 0, 0, u'-', true},
        {sptNormal, "12", 1, 0, u'-', false},
        {sptNormal, "-12", 0, 0, u'-', false},
        {sptNormal, "-12", 0, 1, u'-', true}, // the selected minus is replaced
        {sptNormal, "12", 2, 0, 8, true},
        {sptNormal, "12", 2, 0, 3, false}, // Ctrl+C is no number character
        {sptNormal, "12", 2, 0, 13, false},
        // floats: one decimal separator, no thousands, at most Precision decimals
        {sptFloat, "1", 1, 0, u'.', true},
        {sptFloat, "1.5", 3, 0, u'.', false},
        {sptFloat, "1.5", 1, 1, u'.', true},
        {sptFloat, "1.5", 3, 0, u',', false},
        {sptFloat, "1.2", 3, 0, u'5', true, 2},
        {sptFloat, "1.25", 4, 0, u'7', false, 2},
        {sptFloat, "1.25", 0, 0, u'7', true, 2}, // before the separator any number of digits
        {sptFloat, "1.25", 1, 0, u'7', true, 2}, // just before the separator too
        {sptFloat, "1.25", 3, 1, u'7', true, 2}, // replacing a selected decimal
        {sptFloat, "1.5", 3, 0, u':', false},
        {sptFloat, "1.5", 3, 0, u'/', false},
        {sptFloat, "1.5", 3, 0, 27, true},
        // dates: digits and date separators; no time separator
        {sptDate, "1/2", 3, 0, u'/', true},
        {sptDate, "1/2", 3, 0, u':', false},
        {sptDate, "1/2", 3, 0, u'x', false},
        // times: at most two time separators; no date separator
        {sptTime, "12", 2, 0, u':', true},
        {sptTime, "12:30", 5, 0, u':', true},
        {sptTime, "12:30:15", 8, 0, u':', false},
        {sptTime, "12:30", 5, 0, u'/', false},
        // without EditorEnabled only control characters pass, Backspace not
        {sptNormal, "12", 2, 0, u'3', false, 0, false},
        {sptNormal, "12", 2, 0, 8, false, 0, false},
        {sptTime, "12", 2, 0, 3, true, 0, false},
        {sptFloat, "1", 1, 0, 1, true, 0, false},
    };
    for (const Case& c : cases) {
        TSpinCharContext ctx;
        ctx.text = QString::fromLatin1(c.text);
        ctx.selStart = c.selStart;
        ctx.selLength = c.selLength;
        ctx.spinType = c.type;
        ctx.precision = c.precision;
        ctx.editorEnabled = c.enabled;
        EXPECT_EQ(SpinIsValidChar(QChar(c.key), ctx, dot), c.valid)
            << "type " << c.type << " text '" << c.text << "' key " << int(c.key) << " at " << c.selStart;
    }
}

TEST(SpinRules, SeparatorsFollowTheLocale)
{
    const TFormatSettings comma = commaLocale(); // "," decimal, "." thousands and dates
    TSpinCharContext ctx;
    ctx.spinType = sptFloat;
    ctx.text = QStringLiteral("1");
    ctx.selStart = 1;
    EXPECT_TRUE(SpinIsValidChar(u',', ctx, comma));
    // "." is both the thousand and the date separator here: refused in a float editor.
    EXPECT_FALSE(SpinIsValidChar(u'.', ctx, comma));
    ctx.text = QStringLiteral("1,5");
    ctx.selStart = 3;
    EXPECT_FALSE(SpinIsValidChar(u',', ctx, comma));
    ctx.spinType = sptDate;
    ctx.text = QStringLiteral("1");
    ctx.selStart = 1;
    EXPECT_TRUE(SpinIsValidChar(u'.', ctx, comma));
    // A time separator that is also a number character passes in number editors only.
    TFormatSettings odd;
    odd.TimeSeparator = u'.';
    odd.ThousandSeparator = u' ';
    ctx.spinType = sptFloat;
    ctx.text = QStringLiteral("1");
    EXPECT_TRUE(SpinIsValidChar(u'.', ctx, odd));
    ctx.spinType = sptDate;
    EXPECT_FALSE(SpinIsValidChar(u'.', ctx, odd));

    EXPECT_DOUBLE_EQ(SpinTextToFloat(QStringLiteral("2,5"), 0, comma), 2.5);
    EXPECT_EQ(SpinFloatToText(2.5, 2, comma), "2,50");
    EXPECT_EQ(SpinFloatToText(2.5, 0, comma), "2,5");
}

TEST(SpinRules, ReadingAndClampingValues)
{
    const TFormatSettings fs;
    EXPECT_EQ(SpinTextToInt("", 7), 0);
    EXPECT_EQ(SpinTextToInt("  ", 7), 0);
    EXPECT_EQ(SpinTextToInt(" 42 ", 7), 42);
    EXPECT_EQ(SpinTextToInt("-3", 7), -3);
    EXPECT_EQ(SpinTextToInt("12a", 7), 7);
    EXPECT_EQ(SpinTextToInt("1.5", 7), 7);
    // A float text that is no number reads as the float minimum.
    EXPECT_DOUBLE_EQ(SpinTextToFloat("abc", -2.5, fs), -2.5);
    EXPECT_DOUBLE_EQ(SpinTextToFloat("", -2.5, fs), -2.5);
    EXPECT_DOUBLE_EQ(SpinTextToFloat("1.25", -2.5, fs), 1.25);
    EXPECT_EQ(SpinFloatToText(0.1 + 0.2, 0, fs), "0.3");
    EXPECT_EQ(SpinFloatToText(1.0 / 3, 3, fs), "0.333");

    struct {
        int v, lo, hi, expected;
    } ints[] = {{150, 0, 100, 100}, {-5, 0, 100, 0}, {50, 0, 100, 50}, {150, 0, 0, 150}, {-9, 3, 3, -9}};
    for (const auto& c : ints)
        EXPECT_EQ(SpinClampInt(c.v, c.lo, c.hi), c.expected) << c.v << " in " << c.lo << ".." << c.hi;
    EXPECT_DOUBLE_EQ(SpinClampFloat(100.0, 0, 100), 100.0);
    EXPECT_DOUBLE_EQ(SpinClampFloat(100.5, 0, 100), 100.0);
    EXPECT_DOUBLE_EQ(SpinClampFloat(-0.5, 0, 100), 0.0);
    EXPECT_DOUBLE_EQ(SpinClampFloat(1e9, 5, 5), 1e9);
    const TDateTime lo = EncodeDate(2024, 1, 1), hi = EncodeDate(2024, 12, 31);
    EXPECT_EQ(SpinClampDate(EncodeDate(2023, 6, 1), lo, hi), lo);
    EXPECT_EQ(SpinClampDate(EncodeDate(2025, 6, 1), lo, hi), hi);
    EXPECT_EQ(SpinClampDate(EncodeDate(2025, 6, 1), 0, 0), EncodeDate(2025, 6, 1));
}

TEST(SpinRules, DateFieldStepsAcrossMonthAndYearEnds)
{
    const TFormatSettings dmy; // dd/mm/yyyy
    TFormatSettings mdy;
    mdy.ShortDateFormat = QStringLiteral("mm/dd/yyyy");
    struct Case {
        const TFormatSettings* fs;
        TDateTime date;
        int caret; // in the text "dd/mm/yyyy" (or "mm/dd/yyyy"): 0-2 first, 3-5 second, 6- third
        bool up;
        const char* expected;
    };
    const TDateTime leap = EncodeDate(2024, 2, 29) + EncodeTime(10, 30, 0, 0);
    const Case cases[] = {
        {&dmy, EncodeDate(2024, 1, 31), 0, true, "2024-02-01 00:00:00"},  // day over the month end
        {&dmy, EncodeDate(2024, 1, 1), 2, false, "2023-12-31 00:00:00"},  // day back over the year
        {&dmy, EncodeDate(2024, 1, 31), 3, true, "2024-02-29 00:00:00"},  // month: cut to 29 Feb
        {&dmy, EncodeDate(2023, 1, 31), 5, true, "2023-02-28 00:00:00"},
        {&dmy, EncodeDate(2024, 12, 15), 4, true, "2025-01-15 00:00:00"}, // month over the year
        {&dmy, EncodeDate(2024, 3, 31), 4, false, "2024-02-29 00:00:00"},
        {&dmy, leap, 6, true, "2025-02-28 10:30:00"},  // year from 29 Feb: cut, time kept
        {&dmy, leap, 9, false, "2023-02-28 10:30:00"},
        {&dmy, EncodeDate(2024, 5, 5), 10, true, "2025-05-05 00:00:00"},
        {&mdy, EncodeDate(2024, 1, 31), 0, true, "2024-02-29 00:00:00"}, // month first
        {&mdy, EncodeDate(2024, 1, 31), 3, true, "2024-02-01 00:00:00"}, // then the day
        {&dmy, EncodeDate(1, 1, 1), 0, false, "0001-01-01 00:00:00"},    // no day before the first
    };
    for (const Case& c : cases) {
        const QString text = platform::DateToStr(c.date, *c.fs);
        EXPECT_EQ(iso(SpinStepDate(c.date, text, c.caret, c.up, *c.fs)), QString::fromLatin1(c.expected))
            << text.toStdString() << " caret " << c.caret << (c.up ? " up" : " down");
    }
}

TEST(SpinRules, TimeFieldSteps)
{
    const TFormatSettings fs; // hh:nn:ss
    struct Case {
        const char* text;
        int caret;
        bool up;
        TSpinTimeSteps steps;
        const char* expected; // time of day of the written value
    };
    const Case cases[] = {
        {"23:30:00", 0, true, {}, "00:30:00"}, // over midnight the text shows the time of day
        {"00:00:00", 1, false, {}, "23:00:00"}, // below midnight from 24:00
        {"10:00:00", 3, true, {}, "10:01:00"},
        {"10:00:00", 5, false, {}, "09:59:00"},
        {"10:00:00", 6, true, {}, "10:00:01"},
        {"10:00:00", 6, true, {1, 1, 15, true}, "10:00:15"},
        {"10:00:00", 7, true, {1, 5, 1, false}, "10:05:00"}, // without seconds: minutes
        {"10:00", 4, true, {2, 1, 1, false}, "10:01:00"},
        {"10:00", 2, true, {2, 1, 1, false}, "12:00:00"},
        {"00:00:30", 7, false, {1, 1, 45, true}, "23:59:45"},
    };
    for (const Case& c : cases) {
        TDateTime t = 0;
        ASSERT_TRUE(platform::TryStrToTime(QString::fromLatin1(c.text), t, fs));
        const TDateTime v = SpinStepTime(t, QString::fromLatin1(c.text), c.caret, c.up, c.steps, fs);
        EXPECT_EQ(platform::FormatDateTime(QStringLiteral("hh:nn:ss"), v, fs), QString::fromLatin1(c.expected))
            << c.text << " caret " << c.caret << (c.up ? " up" : " down");
        EXPECT_GE(v, 0.0);
    }
}

TEST(UnitRules, SplittingAValueAtItsUnit)
{
    struct Case {
        QStringList units;
        const char* value;
        bool found;
        const char* text;
        const char* unit;
    };
    const Case cases[] = {
        {{"mm", "m"}, "12mm", true, "12", "mm"},
        {{"mm", "m"}, "5m", true, "5", "m"},
        {{"m", "mm"}, "12mm", true, "12", "mm"}, // "m" first occurs at position 3: not the end
        {{"m"}, "m5m", false, "", ""},            // the first "m" is not the end
        {{"kWh", "Wh", "W"}, "12.5kWh", true, "12.5", "kWh"},
        {{"Wh", "kWh"}, "12.5kWh", true, "12.5k", "Wh"}, // list order decides
        {{"kWh"}, "12.5 kWh", true, "12.5 ", "kWh"},
        {{"V", "A"}, "230", false, "", ""},
        {{}, "1", false, "", ""},
    };
    for (const Case& c : cases) {
        QString text = QStringLiteral("before"), unit = QStringLiteral("u");
        const bool found = SplitTextAndUnit(QString::fromLatin1(c.value), c.units, text, unit);
        EXPECT_EQ(found, c.found) << c.value;
        if (c.found) {
            EXPECT_EQ(text, QString::fromLatin1(c.text)) << c.value;
            EXPECT_EQ(unit, QString::fromLatin1(c.unit)) << c.value;
        } else {
            EXPECT_EQ(text, "before");
            EXPECT_EQ(unit, "u");
        }
    }
}

TEST(PickerRules, WhereATypedDigitMovesTheInput)
{
    const TDateParts d0{2024, 3, 15};
    const TDateParts day{2024, 3, 12}, month{2024, 4, 15}, year{2025, 3, 15};
    struct Case {
        const char* format;
        TDateParts now;
        TShiftAction withTime; // the picker with a time field
        TShiftAction grid;     // the grid's date picker
    };
    const Case cases[] = {
        {"dd/MM/yyyy", day, TShiftAction::NextField, TShiftAction::NextField},
        {"dd/MM/yyyy", month, TShiftAction::NextField, TShiftAction::NextField},
        {"dd/MM/yyyy", year, TShiftAction::TimeField, TShiftAction::None}, // the last field
        {"dd/MM/yyyy", d0, TShiftAction::None, TShiftAction::None},
        {"yyyy-MM-dd", day, TShiftAction::TimeField, TShiftAction::None},
        {"yyyy-MM-dd", year, TShiftAction::NextField, TShiftAction::NextField},
        {"MM/dd/yyyy", month, TShiftAction::NextField, TShiftAction::NextField},
        {"", day, TShiftAction::NextField, TShiftAction::NextField},
        {"", month, TShiftAction::NextField, TShiftAction::NextField},
        {"", year, TShiftAction::TimeField, TShiftAction::None},
        {"", d0, TShiftAction::None, TShiftAction::None},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DateTimePickerShift(QString::fromLatin1(c.format), d0, c.now), c.withTime) << c.format;
        EXPECT_EQ(GridDatePickerShift(QString::fromLatin1(c.format), d0, c.now), c.grid) << c.format;
    }
    EXPECT_EQ(TimePickerShift({10, 20, 30}, {10, 20, 30}), TShiftAction::None);
    EXPECT_EQ(TimePickerShift({10, 20, 30}, {11, 20, 30}), TShiftAction::NextField);
    EXPECT_EQ(TimePickerShift({10, 20, 30}, {10, 20, 31}), TShiftAction::NextField);
}
