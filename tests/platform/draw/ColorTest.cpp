#include "platform/core/Errors.h"
#include "platform/draw/Color.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using namespace platform;

TEST(ColorText, NamesAndHexValues)
{
    struct Case {
        Color color;
        const char* text;
    };
    const Case cases[] = {
        {clWindow, "clWindow"},
        {clNone, "clNone"},
        {clDefault, "clDefault"},
        {clRed, "clRed"},
        {clSilver, "clSilver"}, // also clLtGray: the first name is written
        {clGray, "clGray"},
        {clInfoBk, "clInfoBk"},
        {cl3DDkShadow, "cl3DDkShadow"},
        {clMenuBar, "clMenuBar"},
        {clScrollBar, "clScrollBar"},
        {rgb(0x11, 0x22, 0x33), "$00332211"},
        {0xFF000019u, "$FF000019"}, // system colour 25 has no name
        {0x02FFFFFFu, "$02FFFFFF"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ColorToString(c.color), QString::fromLatin1(c.text));
        EXPECT_EQ(StringToColor(QString::fromLatin1(c.text)), c.color);
    }
    // Every named system colour 0..30 but 25 round-trips by its name.
    for (int i = 0; i <= 30; ++i) {
        SCOPED_TRACE(i);
        const QString name = ColorToString(systemColor(i));
        EXPECT_EQ(name.startsWith(QLatin1String("cl")), i != 25);
        EXPECT_EQ(StringToColor(name), systemColor(i));
    }
    EXPECT_EQ(StringToColor(QStringLiteral("CLWINDOW")), clWindow);
    EXPECT_EQ(StringToColor(QStringLiteral("clLtGray")), clSilver);
    EXPECT_EQ(StringToColor(QStringLiteral("255")), clRed);
    EXPECT_EQ(StringToColor(QStringLiteral("-1")), 0xFFFFFFFFu);
    Color c = 0;
    EXPECT_FALSE(IdentToColor(QStringLiteral("$00FF0000"), c));
    for (const char* bad : {"clWindowz", "", "$", "red", "$1FFFFFFFF", "12 "}) {
        SCOPED_TRACE(bad);
        EXPECT_THROW(StringToColor(QString::fromLatin1(bad)), EConvertError);
    }
}
