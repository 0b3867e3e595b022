#include "support/TempDir.h"
#include "tables/plain/PlainTable.h"

#include <gtest/gtest.h>

using namespace tables;

namespace {

struct Pair {
    QString A;
    QString B = QStringLiteral("N");
};

const TextColumn<Pair> kColumns[] = {{"A", &Pair::A}, {"B", &Pair::B}};

} // namespace

TEST(PlainTable, EveryElementOfTheRootIsARowWithTheDefaultsOfMissingAttributes)
{
    testing_support::TempDir dir;
    const QString path = dir.write(QStringLiteral("t.xml"),
                                   "<?xml version=\"1.0\"?><!-- v --><T><row A=\"1\" B=\"\"/><other B=\"Y\" C=\"x\"/>"
                                   "<row A=\" 3 &amp; 4 \"/></T>");
    const PlainTable<Pair> t = readPlainTable(path, kColumns);
    EXPECT_TRUE(t.error.isEmpty()) << t.error.toStdString();
    ASSERT_EQ(t.rows.size(), 3u);
    EXPECT_EQ(t.rows[0].A, QStringLiteral("1"));
    EXPECT_EQ(t.rows[0].B, QString());
    EXPECT_EQ(t.rows[1].A, QString());
    EXPECT_EQ(t.rows[1].B, QStringLiteral("Y"));
    EXPECT_EQ(t.rows[2].A, QStringLiteral(" 3 & 4 "));
    EXPECT_EQ(t.rows[2].B, QStringLiteral("N"));
}

TEST(PlainTable, NoFileIsAnEmptyTableAndADamagedOneAMessageNamingIt)
{
    testing_support::TempDir dir;
    const PlainTable<Pair> none = readPlainTable(dir.file(QStringLiteral("none.xml")), kColumns);
    EXPECT_TRUE(none.rows.empty());
    EXPECT_TRUE(none.error.isEmpty());

    const QString bad = dir.write(QStringLiteral("bad.xml"), "<T><row A=\"1\"/><row A=\"2\"></T>");
    const PlainTable<Pair> t = readPlainTable(bad, kColumns);
    EXPECT_TRUE(t.rows.empty());
    EXPECT_TRUE(t.error.startsWith(QStringLiteral("The file bad.xml cannot be read: "))) << t.error.toStdString();

    const QString empty = dir.write(QStringLiteral("empty.xml"), "<?xml version=\"1.0\"?>");
    EXPECT_TRUE(readPlainTable(empty, kColumns).error.startsWith(QStringLiteral("The file empty.xml cannot be read: ")));
}
