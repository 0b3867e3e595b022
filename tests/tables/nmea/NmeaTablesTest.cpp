#include "support/TableChecks.h"
#include "support/TableFiles.h"
#include "support/TempDir.h"
#include "tables/nmea/NmeaFiles.h"
#include "tables/nmea/NmeaTables.h"
#include "workspace/LangTexts.h"
#include "workspace/Workspace.h"

#include <gtest/gtest.h>

using namespace tables;
using namespace tables::nmea;
using testing_support::dataFile;
using testing_support::TempDir;
namespace tf = testing_support::tables;

namespace {

class NmeaTablesTest : public ::testing::Test {
protected:
    void SetUp() override { workspace::Default_Texts(); }
    workspace::ScopedWorkspace scoped{14};
    TempDir dir;
};

const tf::Cells kReceive{{"PGN", "129025"}, {"SA", "0"}, {"TP", "N"}, {"FP", "N"}, {"Delete", "N"}};
const tf::Cells kTransmit{{"Priority", "6"}, {"PGN", "127250"}, {"SA", "0"},
                          {"TP", "N"},       {"FP", "N"},       {"T_Type", "On Data Change"}};

QString check(Direction d, const std::vector<tf::Cells>& rows)
{
    const TableDescription& desc = nmeaTable(d);
    std::vector<RowCells> cells;
    for (const tf::Cells& set : rows)
        cells.push_back(tf::rowOf(desc, 0, d == Direction::Receive ? kReceive : kTransmit, set));
    int total = 0;
    return tf::checkMessage(desc, 0, cells, [&](const RowView& r) { return checkNmeaRow(r, d, total); });
}

struct Case {
    Direction d;
    std::vector<tf::Cells> rows;
    const char* message; // nullptr: passes
};

} // namespace

TEST_F(NmeaTablesTest, FastPacketTransportPgnAndTotals)
{
    const Direction R = Direction::Receive, T = Direction::Transmit;
    const Case cases[] = {
        {R, {{}}, nullptr},
        {R, {{{"PGN", "0x1FFFF"}}}, nullptr},
        {R, {{{"PGN", "0x20000"}}}, "Error in row 1!! PGN must be between 0x00000 and 0x1FFFF"},
        {R, {{{"SA", "240"}}}, "Error in row 1!! Source Address must be between 0 and 239"},
        {R, {{{"FP", "Y"}, {"TP_Start", "200"}, {"TP_NByte", "23"}}}, nullptr},
        {R, {{{"FP", "Y"}, {"TP_Start", "200"}, {"TP_NByte", "24"}}}, "Error in row 1!! Start Byte plus Number Bytes must be between 0 and 223"},
        {R, {{{"FP", "Y"}, {"TP_Start", "224"}, {"TP_NByte", "0"}}}, "Error in row 1!! Start Byte must be between 0 and 223"},
        // Both ticked: the transport protocol's bounds apply.
        {R, {{{"FP", "Y"}, {"TP", "Y"}, {"TP_Start", "200"}, {"TP_NByte", "24"}}}, nullptr},
        {R, {{{"FP", "Y"}, {"TP", "Y"}, {"TP_Start", "1786"}, {"TP_NByte", "0"}}}, "Error in row 1!! Start Byte must be between 0 and 1785"},
        {R, {{{"TP", "Y"}, {"TP_Start", "1000"}, {"TP_NByte", "786"}}}, "Error in row 1!! Start Byte plus Number Bytes must be between 0 and 1785"},
        {R, {{{"FP", "Y"}, {"TP_Start", "0"}, {"TP_NByte", "223"}}, {{"TP", "Y"}, {"TP_Start", "0"}, {"TP_NByte", "290"}}},
         "Error!! Too many bytes of data, the max number is 512"},
        {T, {{}}, nullptr},
        {T, {{{"Priority", "-1"}}}, "Error in row 1!! Priority must be between 0 and 7"},
        {T, {{{"PGN", "0x20000"}}}, "Error in row 1!! PGN must be between 0x00000 and 0x1FFFF"},
        {T, {{{"SA", "x"}}}, "Error in row 1!! Source Address must be between 0 and 239"},
        {T, {{{"FP", "Y"}, {"TP_NByte", "223"}}}, nullptr},
        {T, {{{"FP", "Y"}, {"TP_NByte", "224"}}}, "Error in row 1!! Num Byte must be between 0 and 223"},
        {T, {{{"FP", "Y"}, {"TP", "Y"}, {"TP_NByte", "512"}}}, nullptr},
        {T, {{{"TP", "Y"}, {"TP_NByte", "513"}}}, "Error in row 1!! Num Byte must be between 0 and 512"},
        {T, {{{"FP", "Y"}, {"TP_NByte", "223"}}, {{"TP", "Y"}, {"TP_NByte", "290"}}}, "Error!! Too many bytes of data, the max number is 512"},
        {T, {{{"T_Type", "Sometimes"}}}, "Error in row 1!! Transmition Type must be \"On Data Change\" or \"On Timer\""},
        {T, {{{"T_Type", "On Timer"}, {"SendTimer", ""}}}, "Error in row 1!! Send Timer must be between 1 and 65535 ms"},
    };
    int i = 0;
    for (const Case& c : cases) {
        EXPECT_EQ(check(c.d, c.rows), c.message ? QString::fromUtf8(c.message) : QString()) << "case " << i;
        ++i;
    }
}

TEST_F(NmeaTablesTest, TheTransmitSaveStopsAtTheFirstEmptyPgnWhateverThePriorityBelowHolds)
{
    const TableDescription& desc = nmeaTable(Direction::Transmit);
    TableModel m = TableModel::fresh(desc, kRows);
    m.sections[0][0] = tf::rowOf(desc, 0, kTransmit);
    m.sections[0][1] = tf::rowOf(desc, 0, kTransmit, {{"PGN", ""}});
    m.sections[0][2] = tf::rowOf(desc, 0, kTransmit);
    EXPECT_EQ(tableXml(desc, m, 14).count("<row "), 1);
}

TEST_F(NmeaTablesTest, TheGoldenFilesLoadThroughThePlainReaderPassAndSaveBackEqual)
{
    for (Direction d : {Direction::Receive, Direction::Transmit}) {
        QStringList attributes;
        for (const ColumnDescription& c : nmeaTable(d).sections[0].columns)
            attributes << c.attribute;
        EXPECT_EQ(attributes, d == Direction::Receive ? receiveAttributes() : transmitAttributes());

        const QString name = d == Direction::Receive ? QStringLiteral("NMEA_Rec_Frames.xml") : QStringLiteral("NMEA_Send_Frames.xml");
        const QByteArray golden = dataFile(QStringLiteral("tables/") + name);
        const LoadResult r = loadNmea(d, dir.write(name, golden));
        ASSERT_FALSE(r.damaged()) << r.error.toStdString();
        int total = 0;
        const CheckResult c = Controllo_dati(nmeaTable(d), r.model, [&](const RowView& v) { return checkNmeaRow(v, d, total); });
        EXPECT_TRUE(c.ok) << c.message.toStdString();
        EXPECT_EQ(tableXml(nmeaTable(d), r.model, 14), golden) << name.toStdString();
    }
    // A row without FP loads unticked.
    const QString path = dir.write(QStringLiteral("x.xml"), tf::nmeaXml({tf::without(tf::nmeaReceiveRow({}), "FP")}));
    EXPECT_EQ(loadNmea(Direction::Receive, path).model.cell(0, 1, 4), QStringLiteral("N"));
}
