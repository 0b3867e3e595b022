#include "platform/text/Text.h"

#include <QStringList>
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using namespace platform;

TEST(IntegerRule, AcceptsAndRejects)
{
    struct Case {
        const char* text;
        std::optional<int32_t> value;
    };
    const Case cases[] = {
        {"0", 0},
        {"42", 42},
        {"$10", 16},
        {"x1f", 31},
        {"X1F", 31},
        {"0x10", 16},
        {"0XfF", 255},
        {" -5", -5},
        {"   +7", 7},
        {"-$10", -16},
        {"2147483647", 2147483647},
        {"-2147483648", INT32_MIN},
        {"$FFFFFFFF", -1}, // hexadecimal wraps like a 32-bit register
        {"$7FFFFFFF", 2147483647},
        {"5 ", std::nullopt},
        {"", std::nullopt},
        {" ", std::nullopt},
        {"-", std::nullopt},
        {"$", std::nullopt},
        {"0x", std::nullopt},
        {"2147483648", std::nullopt},
        {"-2147483649", std::nullopt},
        {"99999999999999999999", std::nullopt},
        {"$100000000", std::nullopt},
        {"1.5", std::nullopt},
        {"12a", std::nullopt},
        {"\t5", std::nullopt},
        {"--5", std::nullopt},
        {"$G", std::nullopt},
        {"$@", std::nullopt},
        {"0000000000000000000000042", 42}, // more digits than 64 bits hold, value small
        {"$00000000000000000000FF", 255},
        {"18446744073709551617", std::nullopt}, // 2^64 + 1
        {"$1FFFFFFFF", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(toInt(QString::fromLatin1(c.text)), c.value);
        EXPECT_EQ(toInt(std::string_view(c.text)), c.value); // the UTF-8 reading
    }
    EXPECT_EQ(toIntDef(QStringLiteral("abc"), -1), -1);
    EXPECT_EQ(toIntDef(QStringLiteral("$10"), -1), 16);
}

TEST(IntegerRule, SixtyFourBit)
{
    EXPECT_EQ(toInt64(QStringLiteral("9223372036854775807")), INT64_MAX);
    EXPECT_EQ(toInt64(QStringLiteral("-9223372036854775808")), INT64_MIN);
    EXPECT_EQ(toInt64(QStringLiteral("9223372036854775808")), std::nullopt);
    EXPECT_EQ(toInt64(QStringLiteral("4294967296")), 4294967296LL);
    EXPECT_EQ(toInt64(QStringLiteral("$7FFFFFFFFFFFFFFF")), INT64_MAX);
    EXPECT_EQ(toInt64(QStringLiteral("$8000000000000000")), std::nullopt);
    EXPECT_EQ(toInt64(QStringLiteral("$FFFFFFFFFFFFFFFF")), std::nullopt);
    EXPECT_EQ(toInt64(QStringLiteral("0000000000009223372036854775807")), INT64_MAX);
    EXPECT_EQ(toInt64(std::string_view("0000000000009223372036854775808")), std::nullopt);
    EXPECT_EQ(toInt64(std::string_view("-9223372036854775808")), INT64_MIN);
    EXPECT_EQ(toInt64Def(QStringLiteral("x"), 7), 7);
}

TEST(FloatRule, AcceptsPlainNumbersOnly)
{
    EXPECT_EQ(toFloat(QStringLiteral("1.5")), 1.5);
    EXPECT_EQ(toFloat(QStringLiteral("-2")), -2.0);
    EXPECT_EQ(toFloat(QStringLiteral("1E3")), 1000.0);
    EXPECT_EQ(toFloat(QStringLiteral(" 1.5")), std::nullopt);
    EXPECT_EQ(toFloat(QStringLiteral("1,5")), std::nullopt);
    EXPECT_EQ(toFloat(QStringLiteral("")), std::nullopt);
    EXPECT_EQ(toFloat(QStringLiteral("inf")), std::nullopt);
    EXPECT_EQ(toFloatDef(QStringLiteral("nan"), 3.0), 3.0);
}

TEST(TextHelpers, TrimAndCase)
{
    EXPECT_EQ(trim(QStringLiteral(" \t a b \r\n")), QStringLiteral("a b"));
    EXPECT_EQ(trimLeft(QStringLiteral("  a ")), QStringLiteral("a "));
    EXPECT_EQ(trimRight(QStringLiteral("  a ")), QStringLiteral("  a"));
    EXPECT_EQ(trim(QStringLiteral("")), QString());
    // Only a-z changes: accented letters keep their case, as in the gateway's files.
    EXPECT_EQ(upperAscii(QStringLiteral("auth priv \u00e9")), QStringLiteral("AUTH PRIV \u00e9"));
    EXPECT_EQ(lowerAscii(QStringLiteral("AuthPriv")), QStringLiteral("authpriv"));
}

TEST(TextHelpers, RoundHalfToEven)
{
    const std::pair<double, int64_t> cases[] = {
        {0.5, 0}, {1.5, 2}, {2.5, 2}, {3.5, 4}, {-0.5, 0}, {-1.5, -2}, {-2.5, -2},
        {2.4999, 2}, {2.5001, 3}, {-2.6, -3}, {1e9 + 0.5, 1000000000},
    };
    for (auto [v, r] : cases) {
        SCOPED_TRACE(v);
        EXPECT_EQ(roundHalfEven(v), r);
    }
}

TEST(TextHelpers, HexAndDecimal)
{
    EXPECT_EQ(intToHex(0x1A, 4), QStringLiteral("001A"));
    EXPECT_EQ(intToHex(0x12345, 2), QStringLiteral("12345"));
    EXPECT_EQ(intToStr(-12), QStringLiteral("-12"));
}

TEST(Cp1252, RoundTripsEveryByte)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    const QString decoded = decodeCp1252(all);
    EXPECT_EQ(decoded[0x80], QChar(0x20AC));
    EXPECT_EQ(decoded[0x9F], QChar(0x0178));
    EXPECT_EQ(decoded[0xB6], QChar(0x00B6));
    EXPECT_EQ(decoded[0x81], QChar(0x0081));
    EXPECT_EQ(encodeCp1252(decoded), all);
}

TEST(Cp1252, UnmappableBecomesQuestionMark)
{
    EXPECT_EQ(encodeCp1252(QStringLiteral("a\u20ACb\u4E2D")), QByteArray("a\x80" "b?"));
}

TEST(TextFiles, ByteOrderMarkSelectsEncoding)
{
    EXPECT_EQ(decodeTextFile(QByteArray("\xEF\xBB\xBFSTR1 =\xC3\xA9")), QStringLiteral("STR1 =\u00e9"));
    EXPECT_EQ(decodeTextFile(QByteArray("\xFF\xFEO\0K\0", 6)), QStringLiteral("OK"));
    EXPECT_EQ(decodeTextFile(QByteArray("\xFE\xFF\0O\0K", 6)), QStringLiteral("OK"));
    // No mark: Windows-1252, so a lone 0xE9 is e acute, not broken UTF-8.
    EXPECT_EQ(decodeTextFile(QByteArray("caf\xE9")), QStringLiteral("caf\u00e9"));
    // An odd trailing byte of UTF-16 is dropped, not read past.
    EXPECT_EQ(decodeTextFile(QByteArray("\xFF\xFEO\0K", 5)), QStringLiteral("O"));
    EXPECT_EQ(detectBom(QByteArray("\xEF\xBB")).encoding, TextEncoding::Ansi);
}

TEST(TextFiles, SplitsAtEveryLineEnd)
{
    EXPECT_EQ(splitLines(QStringLiteral("a\r\nb\nc\rd")), (QStringList{"a", "b", "c", "d"}));
    EXPECT_EQ(splitLines(QStringLiteral("a\n\nb\n")), (QStringList{"a", "", "b"}));
    EXPECT_TRUE(splitLines(QString()).isEmpty());
}

TEST(TextHelpers, CsvFieldsAreQuotedOnlyWhenAReaderWouldSplitThem)
{
    struct Case {
        const char* field;
        const char* written;
    } cases[] = {
        {"Supply temperature", "Supply temperature"},
        {"", ""},
        {"Valve; percent", "\"Valve; percent\""},
        {"12\" pipe", "\"12\"\" pipe\""},
        {"\"", "\"\"\"\""},
        {"two\nlines", "\"two\nlines\""},
        {"cr\rhere", "\"cr\rhere\""},
        {"a,b", "a,b"}, // another separator's character stays
    };
    for (const Case& c : cases)
        EXPECT_EQ(csvField(QString::fromUtf8(c.field)), QString::fromUtf8(c.written)) << c.field;
    EXPECT_EQ(csvField(QStringLiteral("a,b"), QLatin1Char(',')), QStringLiteral("\"a,b\""));

    // The spacing after a separator is left out before a quoted field, where a reader would
    // otherwise take the quote for text.
    EXPECT_EQ(csvJoin({"x", "a;b", "y"}), QStringLiteral("x;\"a;b\";y"));
    EXPECT_EQ(csvJoin({"x", "a;b", "y"}, QLatin1Char(';'), QStringLiteral(" ")), QStringLiteral("x;\"a;b\"; y"));
    EXPECT_EQ(csvJoin({"only"}), QStringLiteral("only"));
    EXPECT_EQ(csvJoin({}), QString());
}
