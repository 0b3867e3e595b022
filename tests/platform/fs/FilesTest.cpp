#include "platform/fs/Files.h"
#include "support/TempDir.h"

#include <QFile>
#include <QDir>
#include <gtest/gtest.h>

using namespace platform;
using testing_support::TempDir;

TEST(Files, WriteThenReadWhole)
{
    TempDir t;
    const QString p = t.file(QStringLiteral("a.bin"));
    const QByteArray bytes("\x00\x01\xFF", 3);
    QString err;
    ASSERT_TRUE(writeWholeFile(p, bytes, &err)) << err.toStdString();
    EXPECT_EQ(readWholeFile(p), bytes);
    ASSERT_TRUE(writeWholeFile(p, QByteArray("new")));
    EXPECT_EQ(readWholeFile(p), QByteArray("new"));
    // No temporary file is left beside it.
    EXPECT_EQ(QDir(t.path()).entryList(QDir::Files), QStringList{QStringLiteral("a.bin")});
}

TEST(Files, FailedWriteKeepsThePreviousFile)
{
    TempDir t;
    const QString p = t.write(QStringLiteral("keep.xml"), "old");
    QFile::setPermissions(p, QFileDevice::ReadOwner);
    QString err;
    EXPECT_FALSE(writeWholeFile(p, "new", &err));
    EXPECT_FALSE(err.isEmpty());
    EXPECT_EQ(readWholeFile(p), QByteArray("old"));
    QFile::setPermissions(p, QFileDevice::ReadOwner | QFileDevice::WriteOwner);

    EXPECT_FALSE(writeWholeFile(t.file(QStringLiteral("missing/x.bin")), "x", &err));
    EXPECT_FALSE(writeWholeFile(QString(), "x", &err));
}

TEST(Files, ReadErrors)
{
    TempDir t;
    QString err;
    EXPECT_FALSE(readWholeFile(t.file(QStringLiteral("none")), &err).has_value());
    EXPECT_FALSE(readWholeFile(t.path(), &err).has_value()); // a folder is no file
    EXPECT_FALSE(readWholeFile(QString(), &err).has_value());
}

TEST(Files, ReadWithALimitRefusesOnlyLongerFiles)
{
    TempDir t;
    const QString p = t.write(QStringLiteral("l.lng"), "12345");
    QString err;
    EXPECT_EQ(readWholeFile(p, &err, 5), QByteArray("12345"));
    EXPECT_EQ(readWholeFile(p, &err, 6), QByteArray("12345"));
    EXPECT_FALSE(readWholeFile(p, &err, 4).has_value());
    EXPECT_FALSE(err.isEmpty());
    EXPECT_FALSE(readWholeFile(p, nullptr, 0).has_value());
    EXPECT_EQ(readWholeFile(t.write(QStringLiteral("empty"), ""), nullptr, 0), QByteArray());
}

TEST(Files, JoinNeverReachesTheRoot)
{
    EXPECT_EQ(joinPath(QString(), QStringLiteral("/ParGen.xml")), QString());
    EXPECT_EQ(joinPath(QStringLiteral("/p"), QStringLiteral("/ParGen.xml")), QStringLiteral("/p/ParGen.xml"));
    EXPECT_EQ(joinPath(QStringLiteral("/p/"), QStringLiteral("bin")), QStringLiteral("/p/bin"));
    EXPECT_FALSE(fileExists(QString()));
    EXPECT_FALSE(folderExists(QString()));
    EXPECT_FALSE(makeFolder(QString()));
}
