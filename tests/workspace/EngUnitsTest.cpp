#include <QSet>
#include <climits>
#include <gtest/gtest.h>

#include "support/QtPrinters.h"
#include "workspace/EngUnits.h"

using workspace::Desc_Unit;
using workspace::engUnitCategories;

TEST(EngUnits, NamesOfNumbers)
{
    struct Case {
        int number;
        const char* name;
    } cases[] = {
        {0, "square-meters"},
        {62, "degrees-Celsius"},
        {63, "degrees-Kelvin"},
        {95, "no-units"},
        {141, "watts-per-square-meter-degree-kelvin"},
        {153, "newton"},
        {176, "volts-per-degree-Kelvin"},
        {207, "per-mille"},
        {234, "pH"},
        {236, "minutes-per-degree-kelvin"},
        {237, "unknown"},
        {300, "unknown"},
        {-1, "unknown"},
        {INT_MIN, "unknown"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Desc_Unit(c.number), QLatin1String(c.name)) << c.number;
}

TEST(EngUnits, EveryNumberHasOneNameAndOneCategory)
{
    const auto& cats = engUnitCategories();
    ASSERT_EQ(cats.size(), 23u);
    QSet<int> seen;
    QSet<QString> names;
    for (const auto& c : cats)
        for (int n : c.units) {
            EXPECT_FALSE(seen.contains(n)) << n << " in two categories";
            seen.insert(n);
            names.insert(Desc_Unit(n));
        }
    EXPECT_EQ(seen.size(), workspace::kEngUnitCount);
    EXPECT_EQ(names.size(), workspace::kEngUnitCount) << "names are distinct";
    EXPECT_FALSE(names.contains(QStringLiteral("unknown")));
}

TEST(EngUnits, CategoriesInPickerOrder)
{
    const auto& cats = engUnitCategories();
    EXPECT_STREQ(cats.front().name, "Acceleration");
    EXPECT_STREQ(cats.back().name, "Other");
    // Position in the list gives the number: Temperature's second unit, Other's thirtieth,
    // Force's first.
    EXPECT_STREQ(cats[16].name, "Temperature");
    EXPECT_EQ(cats[16].units.at(1), 63);
    EXPECT_EQ(cats[22].units.at(29), 207);
    EXPECT_STREQ(cats[7].name, "Force");
    EXPECT_EQ(cats[7].units.at(0), 153);
    EXPECT_STREQ(cats[21].name, "Volumetric Flow");
    EXPECT_EQ(cats[21].units.size(), 13u);
}
