#include "platform/core/Conversions.h"
#include "platform/core/Errors.h"
#include "platform/core/Format.h"

#include "support/QtPrinters.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using namespace platform;

namespace {

// Installs format settings for one test and puts the default back afterwards.
struct SettingsScope {
    explicit SettingsScope(const TFormatSettings& s) { SetFormatSettings(s); }
    ~SettingsScope() { ResetFormatSettings(); }
};

TFormatSettings commaDecimal()
{
    TFormatSettings fs;
    fs.DecimalSeparator = QLatin1Char(',');
    fs.ThousandSeparator = QLatin1Char('.');
    return fs;
}

} // namespace

TEST(Conversions, StrictAndDefaultIntegers)
{
    EXPECT_EQ(StrToInt(QStringLiteral(" -42")), -42);
    EXPECT_EQ(StrToInt(QStringLiteral("$FF")), 255);
    EXPECT_EQ(StrToIntDef(QStringLiteral("4 2"), 7), 7);
    int32_t v = 99;
    EXPECT_FALSE(TryStrToInt(QStringLiteral("12a"), v));
    EXPECT_EQ(v, 99); // untouched on failure
    EXPECT_TRUE(TryStrToInt(QStringLiteral("12"), v));
    EXPECT_EQ(v, 12);
    EXPECT_EQ(StrToInt64(QStringLiteral("9000000000")), 9000000000LL);
    try {
        StrToInt(QStringLiteral("abc"));
        FAIL() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("'abc' is not a valid integer value"));
    }
    EXPECT_THROW(StrToInt(QString()), EConvertError);
    EXPECT_THROW(StrToInt(QStringLiteral("2147483648")), EConvertError);
}

TEST(Conversions, FloatsUnderPointAndCommaSettings)
{
    struct Case {
        const char* text;
        bool pointOk;
        double pointValue;
        bool commaOk;
        double commaValue;
    };
    const Case cases[] = {
        {"1.5", true, 1.5, false, 0},
        {"1,5", false, 0, true, 1.5},
        {"  -2.25  ", true, -2.25, false, 0},
        {"+3", true, 3, true, 3},
        {".5", true, 0.5, false, 0},
        {"5.", true, 5, false, 0},
        {"1e3", true, 1000, true, 1000},
        {"1,5E-2", false, 0, true, 0.015},
        {"1.2.3", false, 0, false, 0},
        {"1,234.5", false, 0, false, 0}, // no thousand separators
        {"1e", false, 0, false, 0},
        {"e5", false, 0, false, 0},
        {".", false, 0, false, 0},
        {"", false, 0, false, 0},
        {"-", false, 0, false, 0},
        {"1e999", false, 0, false, 0}, // beyond a double
        {"INF", false, 0, false, 0},
        {"12abc", false, 0, false, 0},
        {"\t1", false, 0, false, 0},
    };
    const TFormatSettings point;
    const TFormatSettings comma = commaDecimal();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const QString s = QString::fromLatin1(c.text);
        double v = -7;
        EXPECT_EQ(TryStrToFloat(s, v, point), c.pointOk);
        if (c.pointOk) {
            EXPECT_DOUBLE_EQ(v, c.pointValue);
        }
        v = -7;
        EXPECT_EQ(TryStrToFloat(s, v, comma), c.commaOk);
        if (c.commaOk) {
            EXPECT_DOUBLE_EQ(v, c.commaValue);
        }
        EXPECT_DOUBLE_EQ(StrToFloatDef(s, -1, point), c.pointOk ? c.pointValue : -1);
    }
    try {
        StrToFloat(QStringLiteral("x1"));
        FAIL() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("'x1' is not a valid floating point value"));
    }
    // The process-wide settings are what the short forms read.
    SettingsScope scope(comma);
    EXPECT_DOUBLE_EQ(StrToFloat(QStringLiteral("2,5")), 2.5);
    EXPECT_THROW(StrToFloat(QStringLiteral("2.5")), EConvertError);
}

TEST(Conversions, FloatToText)
{
    const TFormatSettings point;
    struct Case {
        double value;
        TFloatFormat format;
        int precision, digits;
        const char* text;
    };
    const Case cases[] = {
        {0.1 + 0.2, ffGeneral, 15, 0, "0.3"},
        {1.5, ffGeneral, 15, 0, "1.5"},
        {-1234.5, ffGeneral, 15, 0, "-1234.5"},
        {100, ffGeneral, 15, 0, "100"},
        {0, ffGeneral, 15, 0, "0"},
        {1e20, ffGeneral, 15, 0, "1E20"},
        {1.5e-7, ffGeneral, 15, 0, "1.5E-7"},
        {0.0001, ffGeneral, 15, 0, "0.0001"},
        {0.00001, ffGeneral, 15, 0, "1E-5"},
        {123456789012345.0, ffGeneral, 15, 0, "123456789012345"},
        {1234567890123456.0, ffGeneral, 15, 0, "1.23456789012346E15"},
        {2.0 / 3.0, ffGeneral, 4, 0, "0.6667"},
        {1e20, ffGeneral, 15, 3, "1E020"},
        {0.125, ffFixed, 18, 2, "0.13"}, // halves away from zero, on the decimal value
        {2.675, ffFixed, 18, 2, "2.67"}, // 2.67499999... in binary
        {-0.001, ffFixed, 18, 2, "0.00"}, // no negative zero
        {2.5, ffFixed, 18, 0, "3"},
        {0.05, ffFixed, 18, 1, "0.1"},
        {99.995, ffFixed, 18, 2, "100.00"},
        {1234567.891, ffNumber, 18, 2, "1,234,567.89"},
        {-999.5, ffNumber, 18, 0, "-1,000"},
        {1.5, ffExponent, 15, 3, "1.50000000000000E+000"},
        {-1234.5, ffExponent, 3, 3, "-1.23E+003"},
        {0.000125, ffExponent, 2, 2, "1.3E-04"},
        {std::numeric_limits<double>::quiet_NaN(), ffGeneral, 15, 0, "NAN"},
        {-std::numeric_limits<double>::infinity(), ffFixed, 18, 2, "-INF"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(FloatToStrF(c.value, c.format, c.precision, c.digits, point), QString::fromLatin1(c.text));
    }
    EXPECT_EQ(FloatToStr(1.25, commaDecimal()), QStringLiteral("1,25"));
    EXPECT_EQ(FloatToStrF(1234.5, ffNumber, 18, 1, commaDecimal()), QStringLiteral("1.234,5"));
}

TEST(Format, Specifiers)
{
    const TFormatSettings point;
    const TFormatSettings comma = commaDecimal();
    struct Case {
        const char* format;
        std::initializer_list<FormatArg> args;
        const TFormatSettings* fs;
        const char* text;
    };
    const Case cases[] = {
        {"%s%.8d", {"StartHTML:", 97}, &point, "StartHTML:00000097"},
        {"%.8d", {-97}, &point, "-00000097"},
        {"%.2f", {3.14159}, &comma, "3,14"},
        {"%.2f", {3.14159}, &point, "3.14"},
        {"%5.1f", {3.14159}, &point, "  3.1"},
        {"%-6.1f|", {3.14159}, &point, "3.1   |"},
        {"%f", {2.0}, &point, "2.00"},
        {"%x", {255}, &point, "FF"},
        {"%.4x", {255}, &point, "00FF"},
        {"%x", {-1}, &point, "FFFFFFFF"},
        {"%x", {-1LL}, &point, "FFFFFFFFFFFFFFFF"},
        {"%u", {-1}, &point, "4294967295"},
        {"%d items", {50}, &point, "50 items"},
        {"%5d|%-5d|", {42, 42}, &point, "   42|42   |"},
        {"%05d", {42}, &point, "   42"}, // the width pads with blanks
        {"%.3s", {"abcdef"}, &point, "abc"},
        {"%8s", {"ab"}, &point, "      ab"},
        {"100%%", {}, &point, "100%"},
        {"%e", {1.5}, &point, "1.50000000000000E+000"},
        {"%.3e", {1234.5}, &point, "1.23E+003"},
        {"%g", {0.5}, &point, "0.5"},
        {"%g", {1e20}, &point, "1E020"},
        {"%n", {1234567.891}, &comma, "1.234.567,89"},
        {"%.1n", {1234.56}, &point, "1,234.6"},
        {"%D %S %F", {1, "x", 1.0}, &point, "1 x 1.00"}, // type letters in either case
        {"%d", {1, 2, 3}, &point, "1"},                   // extra arguments ignored
        {"no specifiers", {}, &point, "no specifiers"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.format);
        EXPECT_EQ(Format(QString::fromLatin1(c.format), c.args, *c.fs), QString::fromLatin1(c.text));
    }
}

TEST(Format, ArgumentsThatDoNotFitRaise)
{
    struct Case {
        const char* format;
        std::initializer_list<FormatArg> args;
    };
    const Case cases[] = {
        {"%d", {1.5}},        // float for an integer
        {"%x", {"ff"}},       // text for an integer
        {"%f", {1}},          // integer for a float
        {"%.2f", {"3.14"}},   // text for a float
        {"%s", {42}},         // number for a text
        {"%d", {}},           // missing argument
        {"%s%s", {"a"}},      // second argument missing
        {"%", {1}},           // unfinished
        {"%5", {1}},          // no type
        {"%k", {1}},          // unknown type
        {"%0:s", {"a"}},      // index not supported
        {"%*d", {3, 1}},      // star not supported
        {"%99999d", {1}},     // absurd width
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.format);
        EXPECT_THROW(Format(QString::fromLatin1(c.format), c.args), EConvertError);
    }
    try {
        Format(QStringLiteral("%d"), {1.5});
        FAIL() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Format '%d' invalid or incompatible with argument"));
    }
    try {
        Format(QStringLiteral("%s-%d"), {"a"});
        FAIL() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("No argument for format '%s-%d'"));
    }
}

TEST(Conversions, LocaleCaseAndOrder)
{
    // One character for one: "ß" keeps its place, so positions found in the upper-cased text
    // hold in the original.
    EXPECT_EQ(AnsiUpperCase(QStringLiteral("straße àéü")), QStringLiteral("STRAßE ÀÉÜ"));
    EXPECT_EQ(AnsiUpperCase(QStringLiteral("straße")).size(), 6);
    EXPECT_EQ(AnsiLowerCase(QStringLiteral("ÀB")), QStringLiteral("àb"));
    EXPECT_EQ(AnsiUpperCase(QString::fromUtf8("\xf0\x90\x90\xa8")), QString::fromUtf8("\xf0\x90\x90\x80")); // Deseret, outside the BMP

    EXPECT_EQ(AnsiCompareText(QStringLiteral("abc"), QStringLiteral("ABC")), 0);
    EXPECT_TRUE(AnsiSameText(QStringLiteral("Éte"), QStringLiteral("éTE")));
    EXPECT_LT(AnsiCompareText(QStringLiteral("apple"), QStringLiteral("Banana")), 0); // not by code
    EXPECT_LT(AnsiCompareText(QStringLiteral("é"), QStringLiteral("f")), 0);
    EXPECT_LT(AnsiCompareStr(QStringLiteral("a"), QStringLiteral("A")), 0);
    EXPECT_LT(AnsiCompareStr(QStringLiteral("A"), QStringLiteral("b")), 0);
    EXPECT_GT(AnsiCompareStr(QStringLiteral("b"), QStringLiteral("a")), 0);
    EXPECT_NE(AnsiCompareStr(QStringLiteral("a"), QStringLiteral("A")), 0);
}
