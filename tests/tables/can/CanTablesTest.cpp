#include "image/CanImage.h"
#include "image/ParGenRecord.h"
#include "support/TableChecks.h"
#include "support/TableFiles.h"
#include "support/TempDir.h"
#include "tables/can/CanTables.h"
#include "tables/frame/RowOrigins.h"
#include "workspace/LangTexts.h"
#include "workspace/Workspace.h"

#include <gtest/gtest.h>

using namespace tables;
using namespace tables::can;
using testing_support::dataFile;
using testing_support::TempDir;
namespace tf = testing_support::tables;

namespace {

class CanTablesTest : public ::testing::Test {
protected:
    void SetUp() override { workspace::Default_Texts(); }
    workspace::ScopedWorkspace scoped{7};
    TempDir dir;
};

const tf::Cells kReceive{{"Cob_Id", "256"}, {"Type", "2.0A (11 bits)"}, {"Dimension", "8"}, {"TimeOut", "1000"},
                         {"Mnemonic", "m"}};
const tf::Cells kSend{{"Cob_Id", "256"},       {"Type", "2.0A (11 bits)"}, {"Dimension", "8"},
                      {"Send_Type", "On Timer"}, {"Timer_Send", "500"},    {"Mnemonic", "m"}};

QString check(Direction d, const tf::Cells& set, int rowNumber = 1)
{
    const TableDescription& desc = canFramesTable(d);
    const tf::Cells& defaults = d == Direction::Receive ? kReceive : kSend;
    std::vector<RowCells> rows(size_t(rowNumber - 1), tf::rowOf(desc, 0, defaults));
    rows.push_back(tf::rowOf(desc, 0, defaults, set));
    return tf::checkMessage(desc, 0, rows, [d](const RowView& r) { return checkCanFrameRow(r, d); });
}

} // namespace

TEST_F(CanTablesTest, FrameChecksGiveTheirMessagesInOrder)
{
    const QString k11 = QStringLiteral("!! CAN Cob-Id must be between 0x000 and 0x7FF");
    const QString k29 = QStringLiteral("!! CAN Cob-Id must be between 0x000 and 0x1FFFFFFF");
    const QString kType = QStringLiteral("!! Cob-Id Type must be 2.0A (11 bits) or 2.0B (29 bits)");
    const QString kDim = QStringLiteral("!! CAN Dimension must be between 1 and 8");
    const QString kTime = QStringLiteral("!! TimeOut must be between 0 and 10000000 ms");
    const QString kZero = QStringLiteral("!! CAN Cob-Id must not be 0: a frame with Cob-Id 0 ends the saved table");
    struct Case {
        tf::Cells set;
        QString message; // after "Error row 1"; empty: passes
    };
    const Case cases[] = {
        {{{"Cob_Id", "2047"}}, {}},
        {{{"Cob_Id", "0x7FF"}}, {}},
        {{{"Cob_Id", "$7FF"}}, {}},
        {{{"Cob_Id", "x7ff"}}, {}},
        {{{"Cob_Id", "2048"}}, k11},
        {{{"Cob_Id", "0x800"}}, k11},
        {{{"Cob_Id", "-1"}}, k11},
        {{{"Cob_Id", "abc"}}, k11},
        {{{"Cob_Id", "   "}}, k11}, // blanks are a key: the row is checked
        {{{"Cob_Id", "   "}, {"Type", ""}}, kType},
        {{{"Cob_Id", "-1"}, {"Type", "  "}}, kType},
        {{{"Cob_Id", "0x1FFFFFFF"}, {"Type", "2.0B (29 bits)"}}, {}},
        {{{"Cob_Id", "$1FFFFFFF"}, {"Type", "2.0B (29 bits)"}}, {}},
        {{{"Cob_Id", "0x20000000"}, {"Type", "2.0B (29 bits)"}}, k29},
        {{{"Cob_Id", "-1"}, {"Type", "2.0B (29 bits)"}}, k29},
        // The list's text in another case or with blanks is still 11-bit; any other text is 29-bit.
        {{{"Cob_Id", "2048"}, {"Type", " 2.0a (11 BITS) "}}, k11},
        {{{"Cob_Id", "2048"}, {"Type", "extended"}}, {}},
        {{{"Cob_Id", "0"}}, kZero},
        {{{"Cob_Id", "0x0"}, {"Type", "2.0B (29 bits)"}, {"Dimension", "0"}}, kZero},
        {{{"Dimension", "0"}}, kDim},
        {{{"Dimension", "9"}}, kDim},
        {{{"Dimension", "1"}, {"TimeOut", "10000000"}}, {}},
        {{{"TimeOut", "10000001"}}, kTime},
        {{{"TimeOut", "-1"}}, kTime},
        {{{"TimeOut", ""}}, kTime},
    };
    for (const Case& c : cases) {
        const QString expected = c.message.isEmpty() ? QString() : QStringLiteral("Error row 1") + c.message;
        EXPECT_EQ(check(Direction::Receive, c.set), expected) << c.set.front().second;
    }
    // The send table checks Timer Send in place of the time-out; Send Frame Type is free.
    EXPECT_EQ(check(Direction::Send, {{"Timer_Send", "10000001"}, {"TimeOut", "-5"}}),
              QStringLiteral("Error row 1") + kTime);
    EXPECT_EQ(check(Direction::Send, {{"Send_Type", ""}, {"Timer_Send", "0"}}), QString());
    EXPECT_EQ(check(Direction::Send, {{"Cob_Id", "2048"}}, 500), QStringLiteral("Error row 500") + k11);
}

TEST_F(CanTablesTest, TheKeyIsNotTrimmedSoABlankCobIdIsSavedAndAnEmptyOneEndsTheTable)
{
    const TableDescription& desc = canFramesTable(Direction::Receive);
    TableModel m = TableModel::fresh(desc, kFrameCapacity);
    m.sections[0][0] = tf::rowOf(desc, 0, kReceive);
    m.sections[0][1] = tf::rowOf(desc, 0, kReceive, {{"Cob_Id", " 7"}});
    m.sections[0][3] = tf::rowOf(desc, 0, kReceive, {{"Cob_Id", "9"}});
    EXPECT_EQ(usedRows(desc, m, 0), (std::vector<int>{1, 2}));
    const QByteArray xml = tableXml(desc, m, 7);
    EXPECT_EQ(xml.count("<row "), 2);
    EXPECT_TRUE(xml.contains("Cob_Id=\" 7\"")) << xml.constData();
    EXPECT_TRUE(xml.endsWith("<!--SW_VERSION = 1.201-->\n"));
}

TEST_F(CanTablesTest, TheGoldenFramesAndMapsLoadAndSaveBackEqual)
{
    for (Direction d : {Direction::Receive, Direction::Send}) {
        const bool rec = d == Direction::Receive;
        const QString frames = rec ? QStringLiteral("tables/CAN_Rec_Frames.xml") : QStringLiteral("tables/CAN_Send_Frames.xml");
        const QString info = rec ? QStringLiteral("tables/CAN_Rec_Info.xml") : QStringLiteral("tables/CAN_Send_Info.xml");
        const QByteArray golden = dataFile(frames);
        const LoadResult r = loadTableBytes(canFramesTable(d), golden, frames, kFrameCapacity);
        ASSERT_FALSE(r.damaged()) << r.error.toStdString();
        EXPECT_TRUE(r.warning.isEmpty());
        EXPECT_EQ(tableXml(canFramesTable(d), r.model, 7), golden) << frames.toStdString();
        // Every frame passes its checks.
        const CheckResult c = Controllo_dati(canFramesTable(d), r.model,
                                             [d](const RowView& row) { return checkCanFrameRow(row, d); });
        EXPECT_TRUE(c.ok) << c.message.toStdString();

        const QString framesPath = dir.write(QStringLiteral("frames.xml"), golden);
        const QString infoPath = dir.write(QStringLiteral("info.xml"), dataFile(info));
        const ByteMap map = loadByteMap(d, framesPath, infoPath);
        ASSERT_TRUE(map.error.isEmpty()) << map.error.toStdString();
        EXPECT_EQ(map.mapRows, int(map.Data_arr.size()));
        EXPECT_EQ(byteMapXml(d, map.Data_arr, 7), dataFile(info)) << info.toStdString();
    }
}

TEST_F(CanTablesTest, TheImageBuilderReadsWhatTheEditorsWrote)
{
    // The golden frames and maps as the editors save them, then the image's frame table.
    const QString recFrames = dir.write(QStringLiteral("CAN_Rec_Frames.xml"), dataFile(QStringLiteral("tables/CAN_Rec_Frames.xml")));
    const QString sendFrames = dir.write(QStringLiteral("CAN_Send_Frames.xml"), dataFile(QStringLiteral("tables/CAN_Send_Frames.xml")));
    const QString recInfo = dir.file(QStringLiteral("CAN_Rec_Info.xml"));
    const QString sendInfo = dir.file(QStringLiteral("CAN_Send_Info.xml"));
    dir.write(QStringLiteral("in.xml"), dataFile(QStringLiteral("tables/CAN_Rec_Info.xml")));
    dir.write(QStringLiteral("out.xml"), dataFile(QStringLiteral("tables/CAN_Send_Info.xml")));
    QString error;
    const ByteMap rec = loadByteMap(Direction::Receive, recFrames, dir.file(QStringLiteral("in.xml")));
    const ByteMap send = loadByteMap(Direction::Send, sendFrames, dir.file(QStringLiteral("out.xml")));
    ASSERT_TRUE(saveByteMap(Direction::Receive, rec.Data_arr, recInfo, 7, &error)) << error.toStdString();
    ASSERT_TRUE(saveByteMap(Direction::Send, send.Data_arr, sendInfo, 7, &error)) << error.toStdString();

    auto table = std::make_unique<image::CanFrameTable>();
    image::Clear_CAN_Frames(*table);
    image::ParGenStd p;
    image::Load_CAN_Frames(*table, p, {recFrames, sendFrames, recInfo, sendInfo});
    const size_t frames = rec.Data_arr.size() + send.Data_arr.size();
    ASSERT_EQ(p.CAN_Frame_Count, frames);
    for (size_t i = 0; i < frames; ++i) {
        const bool isRec = i < rec.Data_arr.size();
        const TRecInfo& f = isRec ? rec.Data_arr[i] : send.Data_arr[i - rec.Data_arr.size()];
        const image::CanFrameRecord& r = (*table)[i];
        EXPECT_EQ(r.Direction, isRec ? 0 : 1);
        EXPECT_EQ(r.Cob_Id, (std::array<uint32_t, 5>{291, 0x98FF0001u, 0x7FF, 1537, 0x9FFFFFFFu})[i]);
        // The frame sent on data change has no timer, whatever its cell held.
        EXPECT_EQ(r.Send_Timer, (std::array<uint32_t, 5>{0, 0, 0, 500, 0})[i]);
        EXPECT_EQ(r.Data_Length, f.Dim);
        for (int k = 0; k < 8; ++k)
            EXPECT_EQ(r.Position[size_t(k)], k < f.Dim ? f.PosB[size_t(k)] : kNoPosition) << i << " byte " << k + 1;
    }
}

TEST_F(CanTablesTest, AByteMapTakesThePositionsOfTheUsedBytesAndStopsAtTheFirstFault)
{
    const QString frames = dir.write(
        QStringLiteral("CAN_Rec_Frames.xml"),
        tf::canReceiveFramesXml({tf::canReceiveFrame({.cobId = "10", .dimension = "3"}),
                                 tf::canReceiveFrame({.cobId = "0x20", .dimension = "8"}),
                                 tf::canReceiveFrame({.cobId = "30", .dimension = "2"})}));
    const QString info = dir.file(QStringLiteral("CAN_Rec_Info.xml"));

    // No map file: every byte none, no warning.
    ByteMap m = loadByteMap(Direction::Receive, frames, info);
    EXPECT_EQ(m.cobIds, (QStringList{"10", "0x20", "30"}));
    ASSERT_EQ(m.Data_arr.size(), 3u);
    EXPECT_EQ(m.Data_arr[0].Dim, 3);
    EXPECT_EQ(m.Data_arr[1].PosB[7], kNoPosition);
    EXPECT_TRUE(m.error.isEmpty());
    EXPECT_TRUE(mapCountWarning(Direction::Receive, m).isEmpty());

    // Fewer map rows than frames; a value beyond the Dimension is not taken.
    dir.write(QStringLiteral("CAN_Rec_Info.xml"), tf::canReceiveInfoXml({tf::canInfoRow({0, 1, 2, 3, 4, 5, 6, 7}),
                                                                       tf::canInfoRow({5999})}));
    m = loadByteMap(Direction::Receive, frames, info);
    EXPECT_EQ(m.Data_arr[0].PosB, (std::array<uint16_t, 8>{0, 1, 2, kNoPosition, kNoPosition, kNoPosition, kNoPosition, kNoPosition}));
    EXPECT_EQ(m.Data_arr[1].PosB[0], 5999);
    EXPECT_EQ(m.Data_arr[2].PosB[0], kNoPosition);
    EXPECT_EQ(mapCountWarning(Direction::Receive, m),
              QStringLiteral("Warning! CAN_Rec_Info.xml holds the byte maps of 2 frames, but CAN_Rec_Frames.xml lists "
                             "3. Each map belongs to the frame at its position: check that every frame shows its own "
                             "map before pressing OK."));
    // The map written back has one row per frame and 65535 beyond each Dimension.
    const QByteArray written = byteMapXml(Direction::Receive, m.Data_arr, 7);
    EXPECT_EQ(written.count("<row "), 3);
    EXPECT_TRUE(written.contains("<row B1=\"0\" B2=\"1\" B3=\"2\" B4=\"65535\" B5=\"65535\" B6=\"65535\" B7=\"65535\" B8=\"65535\" />"))
        << written.constData();

    // A used byte that is not a position stops the map there; an unused one is never read.
    struct Bad {
        QByteArray row2;
        QString named;
    };
    for (const Bad& b : {Bad{"B1=\"7\" B2=\"x\"", "\"x\""}, Bad{"B1=\"6000\"", "\"6000\""}, Bad{"B1=\"-1\"", "\"-1\""},
                         Bad{"B2=\"3\"", "\"\""}}) {
        dir.write(QStringLiteral("CAN_Rec_Info.xml"),
                  "<Receive_Frames_Info><row B1=\"1\" B2=\"2\" B3=\"3\" B4=\"zz\"/><row " + b.row2 +
                      "/><row B1=\"9\"/></Receive_Frames_Info>");
        m = loadByteMap(Direction::Receive, frames, info);
        EXPECT_TRUE(m.error.contains(b.named)) << m.error.toStdString();
        EXPECT_TRUE(m.error.contains(QStringLiteral("of frame 2"))) << m.error.toStdString();
        EXPECT_EQ(m.Data_arr[0].PosB[2], 3);
        EXPECT_EQ(m.Data_arr[2].PosB[0], kNoPosition);
    }
    // A frame whose Dimension is not a number ends the frames.
    dir.write(QStringLiteral("CAN_Rec_Frames.xml"),
              tf::canReceiveFramesXml({tf::canReceiveFrame({.cobId = "10", .dimension = "3"}),
                                       tf::canReceiveFrame({.cobId = "11", .dimension = "three"})}));
    m = loadByteMap(Direction::Receive, frames, info);
    EXPECT_EQ(m.cobIds, QStringList{"10"});
    EXPECT_TRUE(m.error.contains(QStringLiteral("\"three\" of frame 2"))) << m.error.toStdString();
}

TEST_F(CanTablesTest, TypedPositionsAndTheirRefusal)
{
    struct Case {
        const char* typed;
        std::optional<uint16_t> taken;
    };
    for (const Case& c : {Case{"none", kNoPosition}, Case{"NONE", kNoPosition}, Case{" None ", kNoPosition},
                          Case{"", kNoPosition}, Case{"  ", kNoPosition}, Case{"0", 0}, Case{"5999", 5999},
                          Case{"$10", 16}, Case{"6000", std::nullopt}, Case{"-1", std::nullopt}, Case{"abc", std::nullopt},
                          Case{"n", std::nullopt}, Case{"non", std::nullopt}, Case{"65535", std::nullopt}})
        EXPECT_EQ(bytePosition(QLatin1String(c.typed)), c.taken) << c.typed;
    EXPECT_EQ(bytePositionError(Direction::Receive, 1), QStringLiteral("Error Byte 1!! Value have to be between 0 to 5999 or none"));
    EXPECT_EQ(bytePositionError(Direction::Send, 8), QStringLiteral("Error Byte 8!! Value have to be between 0 to 5999 or none"));
    workspace::ws().Lang_Texts[621] = QStringLiteral(" oder keins");
    EXPECT_EQ(bytePositionError(Direction::Send, 2), QStringLiteral("Error Byte 2!! Value have to be between 0 to 5999 oder keins"));
}

TEST_F(CanTablesTest, TheDuplicateMessageNamesTheLaterByteFirst)
{
    ByteMap m;
    m.cobIds = {QStringLiteral("0x100"), QStringLiteral("0x200"), QStringLiteral("300")};
    m.Data_arr.resize(3);
    m.Data_arr[0].PosB[0] = 10;
    m.Data_arr[0].PosB[1] = 5999;
    m.Data_arr[1].PosB[0] = 11;
    m.Data_arr[2].PosB[0] = 12;
    EXPECT_EQ(Controlla_dati(m), std::nullopt);
    m.Data_arr[1].PosB[1] = 10; // byte 2 of the second frame on byte 1 of the first
    EXPECT_EQ(Controlla_dati(m), QStringLiteral("Error!! The Byte 10 is used in COB ID 0x200 in Byte 2 and in COB ID 0x100 in Byte 1"));
    m.Data_arr[1].PosB[1] = kNoPosition;
    m.Data_arr[2].PosB[7] = 5999; // the highest position takes part too
    EXPECT_EQ(Controlla_dati(m), QStringLiteral("Error!! The Byte 5999 is used in COB ID 300 in Byte 8 and in COB ID 0x100 in Byte 2"));
}

TEST_F(CanTablesTest, MovingTheMapRowsWithTheFrames)
{
    const QString info = dir.write(QStringLiteral("CAN_Send_Info.xml"),
                                   tf::canSendInfoXml({tf::canInfoRow({1}), tf::canInfoRow({2}), tf::canInfoRow({3})}));
    QString error;
    // Frame 1 deleted, a frame inserted before the old third: old rows 1 and 2, a new one.
    ASSERT_TRUE(moveByteMapRows(Direction::Send, info, {1, RowOrigins::kNew, 2}, 7, &error)) << error.toStdString();
    const LoadResult moved = loadTable(canInfoTable(Direction::Send), info, kFrameCapacity);
    ASSERT_FALSE(moved.damaged()) << moved.error.toStdString();
    ASSERT_EQ(moved.rowsRead[0], 3);
    EXPECT_EQ(moved.model.sections[0][0], (RowCells{"2", "65535", "65535", "65535", "65535", "65535", "65535", "65535"}));
    EXPECT_EQ(moved.model.sections[0][1], RowCells(8, QStringLiteral("65535")));
    EXPECT_EQ(moved.model.cell(0, 3, 1), QStringLiteral("3"));
    // A damaged map is left to the map dialog to report.
    dir.write(QStringLiteral("CAN_Send_Info.xml"), "<Send_Frames_Info><row B1=\"1\"");
    EXPECT_TRUE(moveByteMapRows(Direction::Send, info, {RowOrigins::kNew}, 7, &error));
    EXPECT_EQ(dir.read(QStringLiteral("CAN_Send_Info.xml")), QByteArray("<Send_Frames_Info><row B1=\"1\""));
    // No map file: nothing is made.
    EXPECT_TRUE(moveByteMapRows(Direction::Receive, dir.file(QStringLiteral("none.xml")), {0}, 7, &error));
    EXPECT_FALSE(dir.exists(QStringLiteral("none.xml")));
}
