#include "platform/fs/Files.h"
#include "support/TempDir.h"

#include <QFile>
#include <QDir>
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

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

// A save killed between writing and renaming leaves its complete temporary file. Our
// temporary files carry a name of their own; the next save into the folder removes those of
// ended processes, and leaves other files, and those of a running process, alone.
TEST(Files, StaleTemporaryFilesAreRemovedByTheNextSave)
{
    TempDir t;
    t.write(QStringLiteral("bank1.bin"), "old");
    const QString stale = QStringLiteral(".bank1.bin.~vn999999999.Ab12Cd"); // no such process
    const QString running = QStringLiteral(".bank2.bin.~vn1.Xy34Zw");       // process 1 runs
    const QString foreign = QStringLiteral("bank1.bin.Ab12Cd");             // not ours
    for (const QString& n : {stale, running, foreign})
        t.write(n, "complete copy");
    EXPECT_TRUE(isWriteTempName(stale));
    EXPECT_FALSE(isWriteTempName(foreign));
    EXPECT_FALSE(isWriteTempName(QStringLiteral("bank1.bin")));

    QString err;
    ASSERT_TRUE(writeWholeFile(t.file(QStringLiteral("bank2.bin")), "new", &err)) << err.toStdString();
    QStringList left = QDir(t.path()).entryList(QDir::Files | QDir::Hidden);
    left.sort();
    QStringList expected{running, QStringLiteral("bank1.bin"), foreign, QStringLiteral("bank2.bin")};
    expected.sort();
    EXPECT_EQ(left, expected);
}

TEST(Files, WriteKeepsThePermissionsOfTheFileItReplaces)
{
    TempDir t;
    const QString p = t.write(QStringLiteral("x.xml"), "old");
    ASSERT_TRUE(QFile::setPermissions(p, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther));
    const QFileDevice::Permissions before = QFile::permissions(p);
    ASSERT_TRUE(writeWholeFile(p, "new"));
    EXPECT_EQ(QFile::permissions(p), before);
    EXPECT_EQ(readWholeFile(p), QByteArray("new"));
}

// A full disk is reported in the system's words, and the previous file stays.
TEST(Files, FullDiskIsReportedAsSuch)
{
    TempDir t;
    const QString mount = t.file(QStringLiteral("small"));
    ASSERT_TRUE(QDir().mkpath(mount));
    const QByteArray m = QFile::encodeName(mount);
    if (std::system(("mount -t tmpfs -o size=16k tmpfs '" + m.toStdString() + "' 2>/dev/null").c_str()) != 0)
        GTEST_SKIP() << "no small file system can be mounted here";
    const QString p = joinPath(mount, QStringLiteral("bank1.bin"));
    ASSERT_TRUE(writeWholeFile(p, "old"));
    QString err;
    EXPECT_FALSE(writeWholeFile(p, QByteArray(1 << 20, 'x'), &err));
    EXPECT_EQ(err, QStringLiteral("No space left on device"));
    EXPECT_EQ(readWholeFile(p), QByteArray("old"));
    EXPECT_EQ(QDir(mount).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("bank1.bin")});
    (void)std::system(("umount '" + m.toStdString() + "'").c_str());
}

// Memory follows the file, not the limit: a small language file under a large limit.
TEST(Files, ReadingASmallFileUnderALargeLimitReservesLittle)
{
    TempDir t;
    const QString p = t.write(QStringLiteral("English.lng"), "STR0 =Begin\r\n");
    const std::optional<QByteArray> data = readWholeFile(p, nullptr, 64 * 1024 * 1024);
    ASSERT_TRUE(data.has_value());
    EXPECT_EQ(*data, QByteArray("STR0 =Begin\r\n"));
    EXPECT_LT(data->capacity(), 4096);
}
