#include "support/TableChecks.h"
#include "support/TableFiles.h"
#include "support/TempDir.h"
#include "tables/devicenet/DeviceNetTables.h"
#include "tables/frame/RowOrigins.h"
#include "workspace/LangTexts.h"
#include "workspace/Workspace.h"

#include <gtest/gtest.h>

using namespace tables;
using namespace tables::devicenet;
using testing_support::dataFile;
using testing_support::TempDir;
namespace tf = testing_support::tables;

namespace {

class DeviceNetTablesTest : public ::testing::Test {
protected:
    void SetUp() override { workspace::Default_Texts(); }
    workspace::ScopedWorkspace scoped{10};
    TempDir dir;
};

const tf::Cells kSlave{{"ID", "1"}, {"NB_IN", "4"}, {"NB_OUT", "2"}, {"Mnemonic", "m"}};

QString check(const tf::Cells& set, int rowNumber = 1)
{
    std::vector<RowCells> rows(size_t(rowNumber - 1), tf::rowOf(dnetTable(), 0, kSlave));
    rows.push_back(tf::rowOf(dnetTable(), 0, kSlave, set));
    return tf::checkMessage(dnetTable(), 0, rows, checkDNetRow);
}

} // namespace

TEST_F(DeviceNetTablesTest, NetworkChecks)
{
    struct Case {
        tf::Cells set;
        const char* message;
    };
    const Case cases[] = {
        {{{"ID", "63"}}, nullptr},
        {{{"ID", "$3F"}}, nullptr},
        {{{"ID", "0x3F"}}, nullptr},
        {{{"ID", "0"}, {"NB_IN", "65535"}, {"NB_OUT", "0"}}, nullptr},
        {{{"ID", "64"}}, "Error in row 1!! ID must be 0 or 63"},
        {{{"ID", "-1"}}, "Error in row 1!! ID must be 0 or 63"},
        {{{"ID", "one"}}, "Error in row 1!! ID must be 0 or 63"},
        {{{"ID", " "}}, "Error in row 1!! ID must be 0 or 63"}, // a blank is a used row
        {{{"NB_IN", "65536"}}, "Error in row 1!! Number Byte IN must be 0 or 65535"},
        {{{"NB_OUT", ""}}, "Error in row 1!! Number Byte OUT must be 0 or 65535"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(check(c.set), c.message ? QString::fromUtf8(c.message) : QString()) << c.set.front().second;
    EXPECT_EQ(check({{"ID", "64"}}, 3), QStringLiteral("Error in row 3!! ID must be 0 or 63"));
    EXPECT_EQ(check({{"NB_OUT", "-5"}}, 64), QStringLiteral("Error in row 64!! Number Byte OUT must be 0 or 65535"));
    EXPECT_EQ(check({}, 64), QString()); // two rows with the same ID pass
}

TEST_F(DeviceNetTablesTest, TheOutputClashMessageIsComposedOfItsTexts)
{
    EXPECT_EQ(clashMessage(OffsetClash{1, 1, 2, 0, 7, false}),
              QStringLiteral("Error in ByteOUT! The same byte of BACnet is used in two bytes DeviceNet.\n\r"
                             "( First ID = 1 Byte = 1, Second ID = 2 Byte = 0)"));
    EXPECT_EQ(clashMessage(OffsetClash{-1, -1, 4, 2, 6000, true}),
              QStringLiteral("Error in ByteOUT! The position 6000 of ID 4 Byte 2 lies outside the BACnet array (0 to 5999)."));
    EXPECT_EQ(nodeCountWarning(2, 2), QString());
    EXPECT_EQ(nodeCountWarning(3, 2),
              QStringLiteral("Warning! DNETM_DefOff.xml holds the offsets of 3 slaves, but DNETM_Net.xml lists 2. The "
                             "offsets belong to the slave at their position: check that every slave shows its own "
                             "offsets before pressing OK."));
}

TEST_F(DeviceNetTablesTest, TheGoldenFilesLoadAndSaveBackEqual)
{
    const QByteArray netGolden = dataFile(QStringLiteral("tables/DNETM_Net.xml"));
    const QByteArray offGolden = dataFile(QStringLiteral("tables/DNETM_DefOff.xml"));
    const QString net = dir.write(QStringLiteral("DNETM_Net.xml"), netGolden);
    const QString off = dir.write(QStringLiteral("DNETM_DefOff.xml"), offGolden);

    NetTable read;
    const LoadResult r = loadDNet(net, &read);
    ASSERT_FALSE(r.damaged()) << r.error.toStdString();
    EXPECT_EQ(read.rows.size(), 3u);
    EXPECT_TRUE(Controllo_dati(dnetTable(), r.model, checkDNetRow).ok);
    EXPECT_EQ(tableXml(dnetTable(), r.model, 10), netGolden);

    SlaveList slaves = Load_Slave_DN(net);
    int nodes = -1;
    ASSERT_EQ(Load_Offset_Slave_DN(slaves, off, &nodes), QString());
    EXPECT_EQ(nodes, 3);
    EXPECT_EQ(Check_Data(slaves.slaves), std::nullopt); // inputs may share positions, outputs do not
    EXPECT_EQ(offsetsXml(slaves.slaves), offGolden);
}

TEST_F(DeviceNetTablesTest, MovingTheOffsetNodesWithTheSlaves)
{
    const QString net = dir.write(QStringLiteral("DNETM_Net.xml"), dataFile(QStringLiteral("tables/DNETM_Net.xml")));
    const QString off = dir.write(QStringLiteral("DNETM_DefOff.xml"), dataFile(QStringLiteral("tables/DNETM_DefOff.xml")));
    const NetTable before = readNetTable(net);
    // The first slave deleted, a slave inserted between the other two.
    QString error;
    ASSERT_TRUE(moveOffsetNodes(before, QStringLiteral("DNETM_Net.xml"), off, {1, RowOrigins::kNew, 2}, &error));
    dir.write(QStringLiteral("DNETM_Net.xml"),
              tf::dnetNetXml({tf::dnetSlaveRow("63", "0", "3"), tf::dnetSlaveRow("9", "1", "1"), tf::dnetSlaveRow("1", "2", "0")}));
    SlaveList after = Load_Slave_DN(net);
    int nodes = 0;
    ASSERT_EQ(Load_Offset_Slave_DN(after, off, &nodes), QString());
    EXPECT_EQ(nodes, 3);
    EXPECT_EQ(after.slaves[0].List_ByteOUT, (QStringList{"101", "5999", "None"}));
    EXPECT_EQ(after.slaves[1].List_ByteIN, QStringList{"None"});
    EXPECT_EQ(after.slaves[1].List_ByteOUT, QStringList{"None"});
    EXPECT_EQ(after.slaves[2].List_ByteIN, (QStringList{"100", "None"}));

    // Nothing is made without an offsets file, and a damaged one is left as it is.
    EXPECT_TRUE(moveOffsetNodes(before, QStringLiteral("DNETM_Net.xml"), dir.file(QStringLiteral("none.xml")), {0}, &error));
    EXPECT_FALSE(dir.exists(QStringLiteral("none.xml")));
    dir.write(QStringLiteral("DNETM_DefOff.xml"), "<Define_Offset><Nodo_DNET>");
    EXPECT_TRUE(moveOffsetNodes(before, QStringLiteral("DNETM_Net.xml"), off, {1, 0}, &error));
    EXPECT_EQ(dir.read(QStringLiteral("DNETM_DefOff.xml")), QByteArray("<Define_Offset><Nodo_DNET>"));
}
