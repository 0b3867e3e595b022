#include "image/TableFile.h"
#include "platform/text/Text.h"
#include "platform/text/UserError.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace image;
using testing_support::TempDir;

namespace {
std::string_view view(const QByteArray& b) { return std::string_view(b.constData(), static_cast<size_t>(b.size())); }
} // namespace

TEST(TableFile, NumbersFollowTheProgramsIntegerRule)
{
    // The UTF-8 reading the tables use must agree with the rule on QString for every text.
    const char* texts[] = {"0",          "-0",          "12",          "-12",          "007",
                           "2147483647", "2147483648",  "-2147483648", "-2147483649",  " 12",
                           "12 ",        "+5",          "$FF",         "x10",          "0x10",
                           "",           "-",           "1.5",         "--1",          "4294967297",
                           "999999999999999999", "9999999999999999999", "abc", "$FFFFFFFF", "\xD9\xA1\xD9\xA2",
                           "0X1f", "+$ff", "  -7", "-$FFFFFFFF", "$100000000", "-9223372036854775808", "\xEF\xBC\x91"};
    for (const char* t : texts) {
        const QByteArray b(t);
        const QString q = QString::fromUtf8(b);
        EXPECT_EQ(platform::toInt(view(b)), platform::toInt(q)) << '"' << t << '"';
        EXPECT_EQ(platform::toInt64(view(b)), platform::toInt64(q)) << '"' << t << '"';
    }
}

TEST(TableFile, UpperCaseComparisonChangesOnlyAsciiLetters)
{
    const struct {
        const char* text;
        const char* word;
    } cases[] = {{"y", "Y"},         {"Y", "Y"},           {" Y", "Y"},       {"little", "LITTLE"},
                 {"LiTtLe", "LITTLE"}, {"analog input", "ANALOG INPUT"}, {"\xC3\xBF", "Y"}, {"", ""},
                 {"x 100", "X 100"}, {"yy", "Y"}};
    for (const auto& c : cases) {
        const QByteArray b(c.text);
        EXPECT_EQ(equalsUpperAscii(view(b), c.word),
                  platform::upperAscii(QString::fromUtf8(b)) == QLatin1String(c.word))
            << c.text;
    }
}

TEST(TableFile, RowValuesFindAttributesInAnyOrderAndTellMissingFromEmpty)
{
    TempDir dir;
    QByteArray many = "<T><S><row ";
    for (int i = 0; i < 30; ++i)
        many += QByteArray("a") + QByteArray::number(i) + "=\"" + QByteArray::number(i * 10) + "\" ";
    many += "e=\"\" u=\"\xC3\xA9t\xC3\xA9\"/><other x=\"1\"/><!-- c --></S></T>";
    const TableFile file(dir.write(QStringLiteral("t.xml"), many));
    const std::vector<TableRow> rows = file.section("S");
    ASSERT_EQ(rows.size(), 2u); // elements of any name, comments passed over
    const RowValues r(rows[0]);
    EXPECT_EQ(r.requiredInt("a29"), 290);
    EXPECT_EQ(r.requiredInt("a0"), 0);
    EXPECT_EQ(r.requiredInt("a25"), 250);
    EXPECT_EQ(r.requiredInt("a3"), 30);
    EXPECT_EQ(r.text("e"), QString());
    EXPECT_EQ(r.text("missing"), std::nullopt);
    EXPECT_EQ(r.text("u"), QStringLiteral("\u00E9t\u00E9"));
    EXPECT_EQ(r.intOr("e", 7), 7);
    EXPECT_EQ(r.intOr("a1", 7), 10);
    EXPECT_EQ(RowValues(rows[1]).requiredInt("x"), 1);
    EXPECT_THROW(r.requiredInt("a"), platform::UserError);
}

TEST(TableFile, RowsWithAttributesInAnotherOrderOrMissingReadTheirOwnValues)
{
    // The lookup starts where the same name stood in the previous row; rows that differ from
    // their neighbours must still give their own values.
    TempDir dir;
    const QByteArray xml = "<T><S>"
                           "<row a=\"1\" b=\"2\" c=\"3\"/>"
                           "<row c=\"30\" a=\"10\" b=\"20\"/>"
                           "<row b=\"200\"/>"
                           "<row a=\"1000\" b=\"2000\" c=\"3000\" d=\"4000\"/>"
                           "<row d=\"40000\" ab=\"x\" a=\"10000\"/>"
                           "</S></T>";
    const TableFile file(dir.write(QStringLiteral("t.xml"), xml));
    const std::vector<TableRow> rows = file.section("S");
    ASSERT_EQ(rows.size(), 5u);
    const int expectedA[] = {1, 10, -1, 1000, 10000};
    const int expectedB[] = {2, 20, 200, 2000, -1};
    const int expectedC[] = {3, 30, -1, 3000, -1};
    for (int pass = 0; pass < 2; ++pass) // the second pass starts with the hints the first left
        for (size_t i = 0; i < rows.size(); ++i) {
            SCOPED_TRACE(i);
            const RowValues r(rows[i]);
            EXPECT_EQ(r.intOr("c", -1), expectedC[i]);
            EXPECT_EQ(r.intOr("a", -1), expectedA[i]);
            EXPECT_EQ(r.intOr("b", -1), expectedB[i]);
        }
}

TEST(TableFile, SectionElementsOfOneNameAreNumberedAmongThemselvesAndAMissingSectionHasNone)
{
    TempDir dir;
    const QByteArray xml = "<T><S><note/><row a=\"1\"/><other a=\"x\"/><row a=\"2\"/></S><R/></T>";
    const TableFile file(dir.write(QStringLiteral("t.xml"), xml));
    const std::vector<TableRow> rows = file.sectionElements("S", "row");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].number(), 1);
    EXPECT_EQ(rows[1].number(), 2);
    EXPECT_EQ(RowValues(rows[1]).requiredInt("a"), 2);
    EXPECT_EQ(rows[1].place(), QStringLiteral("t.xml, section \"S\", row 2"));
    EXPECT_EQ(RowValues(rows[1]).errorText("b", QStringLiteral("is missing.")),
              QStringLiteral("t.xml, section \"S\", row 2: the attribute \"b\" is missing."));
    EXPECT_EQ(file.section("S").size(), 4u);
    EXPECT_TRUE(file.sectionElements("R", "row").empty());
    EXPECT_TRUE(file.sectionElements("Missing", "row").empty());
    EXPECT_THROW(file.section("Missing"), platform::UserError);
    EXPECT_EQ(file.rootRows()[1].place(), QStringLiteral("t.xml, row 2"));
}

TEST(TableFile, RequiredTextsNameTheRowAndDefaultedTextsFillOnlyMissingAttributes)
{
    TempDir dir;
    const TableFile file(dir.write(QStringLiteral("t.xml"), "<T><row a=\"x\" e=\"\"/></T>"));
    const std::vector<TableRow> rows = file.rootRows();
    ASSERT_EQ(rows.size(), 1u);
    const RowValues r(rows[0]);
    EXPECT_EQ(r.requiredRaw("a"), "x");
    EXPECT_EQ(r.requiredRaw("e"), "");
    EXPECT_EQ(r.rawOr("e", "d"), "");
    EXPECT_EQ(r.rawOr("m", "d"), "d");
    try {
        r.requiredRaw("m");
        ADD_FAILURE() << "no error";
    } catch (const platform::UserError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("t.xml, row 1: the attribute \"m\" is missing."));
    }
}
