#include "platform/fs/Files.h"
#include "platform/fs/TextLines.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace platform;
using testing_support::TempDir;

TEST(TextLines, EveryLineEndsInCrLfInTheChosenEncoding)
{
    const QStringList lines{QStringLiteral("caf\u00E9;1"), QString(), QStringLiteral("\u20AC")};
    EXPECT_EQ(encodeTextLines(lines, LinesEncoding::Cp1252),
              QByteArray("caf\xE9;1\r\n\r\n\x80\r\n"));
    EXPECT_EQ(encodeTextLines(lines, LinesEncoding::Utf8Bom),
              QByteArray("\xEF\xBB\xBF" "caf\xC3\xA9;1\r\n\r\n\xE2\x82\xAC\r\n"));
    EXPECT_EQ(encodeTextLines({}, LinesEncoding::Cp1252), QByteArray());
    // A character the code page lacks is replaced, never dropped.
    EXPECT_EQ(encodeTextLines({QStringLiteral("\u4E2D")}, LinesEncoding::Cp1252), QByteArray("?\r\n"));
}

TEST(TextLines, FailedWriteNamesTheReasonAndKeepsNothingHalfWritten)
{
    TempDir t;
    const QString p = t.file(QStringLiteral("out.csv"));
    QString err;
    ASSERT_TRUE(writeTextLines(p, {QStringLiteral("a")}, LinesEncoding::Cp1252, &err));
    EXPECT_EQ(readWholeFile(p), QByteArray("a\r\n"));
    EXPECT_FALSE(writeTextLines(t.file(QStringLiteral("missing/out.csv")), {QStringLiteral("b")},
                                LinesEncoding::Cp1252, &err));
    EXPECT_FALSE(err.isEmpty());
    EXPECT_EQ(readWholeFile(p), QByteArray("a\r\n"));
}
