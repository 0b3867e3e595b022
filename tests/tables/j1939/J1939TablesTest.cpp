#include "support/TableChecks.h"
#include "support/TableFiles.h"
#include "support/TempDir.h"
#include "tables/j1939/J1939Files.h"
#include "tables/j1939/J1939Tables.h"
#include "workspace/LangTexts.h"
#include "workspace/Workspace.h"

#include <gtest/gtest.h>

using namespace tables;
using namespace tables::j1939;
using testing_support::dataFile;
using testing_support::TempDir;
namespace tf = testing_support::tables;

namespace {

class J1939TablesTest : public ::testing::Test {
protected:
    void SetUp() override { workspace::Default_Texts(); }
    workspace::ScopedWorkspace scoped{13};
    TempDir dir;
};

const tf::Cells kReceive{{"DP", "0"}, {"PGN", "65262"}, {"SA", "0"}, {"TP", "N"}, {"Delete", "N"}};
const tf::Cells kTransmit{{"Priority", "6"}, {"DP", "0"},        {"PGN", "65262"},
                          {"SA", "0"},       {"TP", "N"},        {"T_Type", "On Data Change"}};

// The message for these rows (rows 1, 2, ...), each a valid row with its cells changed.
QString check(Direction d, const std::vector<tf::Cells>& rows)
{
    const TableDescription& desc = j1939Table(d);
    std::vector<RowCells> cells;
    for (const tf::Cells& set : rows)
        cells.push_back(tf::rowOf(desc, 0, d == Direction::Receive ? kReceive : kTransmit, set));
    int total = 0;
    return tf::checkMessage(desc, 0, cells, [&](const RowView& r) { return checkJ1939Row(r, d, total); });
}

struct Case {
    std::vector<tf::Cells> rows;
    const char* message; // nullptr: passes
};

void runCases(Direction d, std::initializer_list<Case> cases)
{
    int i = 0;
    for (const Case& c : cases) {
        EXPECT_EQ(check(d, c.rows), c.message ? QString::fromUtf8(c.message) : QString()) << "case " << i;
        ++i;
    }
}

} // namespace

TEST_F(J1939TablesTest, ReceiveChecksTransportAndTheTotal)
{
    std::vector<tf::Cells> plain62(62, tf::Cells{});
    runCases(Direction::Receive,
             {
                 {{{}}, nullptr},
                 {{{{"DP", ""}}}, "Error in row 1!! Data Page must be 0 or 1"},
                 {{{{"DP", "anything"}}}, nullptr}, // any text loaded from a file passes
                 {{{{"PGN", "0xFFFF"}}}, nullptr},
                 {{{{"PGN", "$FFFF"}}}, nullptr},
                 {{{{"PGN", "0x10000"}}}, "Error in row 1!! PGN must be between 0x0000 and 0xFFFF"},
                 {{{{"PGN", " "}}}, "Error in row 1!! PGN must be between 0x0000 and 0xFFFF"}, // blanks are a used row
                 {{{{"SA", "239"}}}, nullptr},
                 {{{{"SA", "240"}}}, "Error in row 1!! Source Address must be between 0 and 239"},
                 // Without the transport protocol the start and count are not looked at: 8 bytes.
                 {{{{"TP", "N"}, {"TP_Start", "x"}, {"TP_NByte", "9999"}}}, nullptr},
                 {{{{"TP", "y"}, {"TP_Start", "x"}}}, nullptr}, // only "Y" ticks
                 {{{{"TP", "Y"}, {"TP_Start", "1785"}, {"TP_NByte", "0"}}}, nullptr},
                 {{{{"TP", "Y"}, {"TP_Start", "1786"}, {"TP_NByte", "0"}}}, "Error in row 1!! Start Byte must be between 0 and 1785"},
                 {{{{"TP", "Y"}, {"TP_Start", "1000"}, {"TP_NByte", "786"}}},
                  "Error in row 1!! Start Byte plus Number Bytes must be between 0 and 1785"},
                 {{{{"TP", "Y"}, {"TP_Start", "0"}, {"TP_NByte", "-1"}}},
                  "Error in row 1!! Start Byte plus Number Bytes must be between 0 and 1785"},
                 {{{{"TP", "Y"}, {"TP_Start", "5"}, {"TP_NByte", "2147483647"}}},
                  "Error in row 1!! Start Byte plus Number Bytes must be between 0 and 1785"},
                 // 600 bytes fit 1785 but not the 512 of the total, whose message has no row.
                 {{{{"TP", "Y"}, {"TP_Start", "0"}, {"TP_NByte", "600"}}}, "Error!! Too many bytes of data, the max number is 512"},
                 {{{}, {{"TP", "Y"}, {"TP_Start", "0"}, {"TP_NByte", "504"}}}, nullptr},
                 {{{}, {{"TP", "Y"}, {"TP_Start", "0"}, {"TP_NByte", "505"}}, {{"SA", "999"}}},
                  "Error!! Too many bytes of data, the max number is 512"},
             });
    EXPECT_EQ(check(Direction::Receive, plain62), QString()); // 62 x 8 = 496 bytes
}

TEST_F(J1939TablesTest, TransmitChecksPriorityCountsTypeAndTimer)
{
    runCases(Direction::Transmit,
             {
                 {{{}}, nullptr},
                 {{{{"Priority", "8"}}}, "Error in row 1!! Priority must be between 0 and 7"},
                 {{{{"Priority", ""}}}, "Error in row 1!! Priority must be between 0 and 7"},
                 {{{{"DP", ""}}}, "Error in row 1!! Data Page must be 0 or 1"},
                 {{{{"PGN", "0x1FFFF"}}}, nullptr},
                 {{{{"PGN", "0x20000"}}}, "Error in row 1!! PGN must be between 0x00000 and 0x1FFFF"},
                 {{{{"SA", "-1"}}}, "Error in row 1!! Source Address must be between 0 and 239"},
                 {{{{"TP", "Y"}, {"TP_NByte", "512"}}}, nullptr},
                 {{{{"TP", "Y"}, {"TP_NByte", "513"}}}, "Error in row 1!! Num Byte must be between 0 and 512"},
                 {{{}, {}, {}, {{"TP", "Y"}, {"TP_NByte", "600"}}}, "Error in row 4!! Num Byte must be between 0 and 512"},
                 {{{{"TP", "Y"}, {"TP_NByte", "300"}}, {{"TP", "Y"}, {"TP_NByte", "300"}}},
                  "Error!! Too many bytes of data, the max number is 512"},
                 {{{{"T_Type", ""}}}, "Error in row 1!! Transmition Type must be \"On Data Change\" or \"On Timer\""},
                 {{{{"T_Type", " on timer "}, {"SendTimer", "1"}}}, nullptr},
                 {{{{"T_Type", "On Timer"}, {"SendTimer", "0"}}}, "Error in row 1!! Send Timer must be between 1 and 65535 ms"},
                 {{{{"T_Type", "On Timer"}, {"SendTimer", "65536"}}}, "Error in row 1!! Send Timer must be between 1 and 65535 ms"},
                 {{{{"T_Type", "On Data Change"}, {"SendTimer", ""}}}, nullptr},
             });
}

TEST_F(J1939TablesTest, AnEmptyPgnEndsCheckAndSaveWhateverTheRowsBelowHold)
{
    const TableDescription& desc = j1939Table(Direction::Receive);
    TableModel m = TableModel::fresh(desc, kRows);
    m.sections[0][0] = tf::rowOf(desc, 0, kReceive);
    m.sections[0][2] = tf::rowOf(desc, 0, kReceive, {{"SA", "999"}});
    int total = 0;
    EXPECT_TRUE(Controllo_dati(desc, m, [&](const RowView& r) { return checkJ1939Row(r, Direction::Receive, total); }).ok);
    EXPECT_EQ(tableXml(desc, m, 13).count("<row "), 1);
}

TEST_F(J1939TablesTest, TheEditorReadsThroughThePlainReaderWithItsDefaults)
{
    // The columns of the editor are the reader's attributes, in order.
    for (Direction d : {Direction::Receive, Direction::Transmit}) {
        QStringList attributes;
        for (const ColumnDescription& c : j1939Table(d).sections[0].columns)
            attributes << c.attribute;
        EXPECT_EQ(attributes, d == Direction::Receive ? receiveAttributes() : transmitAttributes());
    }
    const QString path = dir.write(
        QStringLiteral("J1939_Rec_Frames.xml"),
        tf::j1939Xml({tf::without(tf::without(tf::j1939ReceiveRow({.pgn = "1"}), "TP"), "Delete"),
                      tf::without(tf::j1939ReceiveRow({.pgn = "2"}), "Mnemonic")}));
    const LoadResult r = loadJ1939(Direction::Receive, path);
    EXPECT_TRUE(r.exists);
    EXPECT_FALSE(r.damaged());
    EXPECT_EQ(r.model.cell(0, 1, 4), QStringLiteral("N")); // Transport Protocol
    EXPECT_EQ(r.model.cell(0, 1, 7), QStringLiteral("N")); // Cancel Data
    EXPECT_EQ(r.model.cell(0, 2, 2), QStringLiteral("2"));
    EXPECT_EQ(r.model.rowCount(0), kRows);

    // More rows than the grid: the first 62 shown, the rest counted.
    tf::Rows many;
    for (int i = 0; i < 70; ++i)
        many.push_back(tf::j1939TransmitRow({.pgn = QString::number(i)}));
    dir.write(QStringLiteral("J1939_Send_Frames.xml"), tf::j1939Xml(many));
    const LoadResult t = loadJ1939(Direction::Transmit, dir.file(QStringLiteral("J1939_Send_Frames.xml")));
    EXPECT_EQ(t.notShown[0], 8);
    EXPECT_EQ(t.model.cell(0, 62, 3), QStringLiteral("61"));
    EXPECT_FALSE(t.warning.isEmpty());

    // No file: empty and not there; a damaged one: its message.
    EXPECT_FALSE(loadJ1939(Direction::Receive, dir.file(QStringLiteral("none.xml"))).exists);
    dir.write(QStringLiteral("bad.xml"), "<Receive_J1939><row PGN=\"1\"></Receive>");
    EXPECT_TRUE(loadJ1939(Direction::Receive, dir.file(QStringLiteral("bad.xml"))).damaged());
}

TEST_F(J1939TablesTest, TheGoldenFilesLoadPassAndSaveBackEqual)
{
    for (Direction d : {Direction::Receive, Direction::Transmit}) {
        const QString name = d == Direction::Receive ? QStringLiteral("J1939_Rec_Frames.xml") : QStringLiteral("J1939_Send_Frames.xml");
        const QByteArray golden = dataFile(QStringLiteral("tables/") + name);
        const LoadResult r = loadJ1939(d, dir.write(name, golden));
        ASSERT_FALSE(r.damaged()) << r.error.toStdString();
        int total = 0;
        const CheckResult c = Controllo_dati(j1939Table(d), r.model, [&](const RowView& v) { return checkJ1939Row(v, d, total); });
        EXPECT_TRUE(c.ok) << c.message.toStdString();
        EXPECT_EQ(tableXml(j1939Table(d), r.model, 13), golden) << name.toStdString();
    }
}
