#include "controls/button/FxButton.h"
#include "controls/grid/column/ColumnGrid.h"
#include "support/FakeDialogs.h"
#include "support/TableFiles.h"
#include "support/TempDir.h"
#include "tables/j1939/window/PgnDialogs.h"
#include "workspace/LangTexts.h"
#include "workspace/Workspace.h"

#include <gtest/gtest.h>

using namespace tables;
using namespace tables::j1939;
using testing_support::dataFile;
using testing_support::FakeMessageBoxes;
using testing_support::TempDir;
namespace tf = testing_support::tables;

namespace {

class PgnDialogsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        workspace::Default_Texts();
        scoped->Path_J1939_Rec_Frames = dir.file(QStringLiteral("J1939_Rec_Frames.xml"));
        scoped->Path_J1939_Send_Frames = dir.file(QStringLiteral("J1939_Send_Frames.xml"));
    }
    void TearDown() override { platform::setModalDriver(previous_); }
    void user(std::function<void(TPgnTableDialog&)> act)
    {
        previous_ = platform::setModalDriver([act](platform::Form& f) { act(static_cast<TPgnTableDialog&>(f)); });
    }

    workspace::ScopedWorkspace scoped{13};
    TempDir dir;
    FakeMessageBoxes boxes;
    platform::ModalDriver previous_;
};

} // namespace

TEST_F(PgnDialogsTest, TheTablesReadTheirFilesAndCountTheBytesAnewAtEachOk)
{
    TFReceiveJ1939 rec;
    EXPECT_EQ(rec.objectName(), QStringLiteral("FReceiveJ1939"));
    EXPECT_EQ(rec.size(), QSize(800, 337));
    EXPECT_EQ(rec.windowTitle(), QStringLiteral("Receive J1939 Frames"));
    EXPECT_EQ(rec.grid(0)->RowCount(), 63);
    EXPECT_EQ(rec.grid(0)->Columns().Items(6)->Header(), QString::fromUtf8("N\xC2\xB0 Byte"));
    EXPECT_EQ(rec.grid(0)->Columns().Items(4)->Editor(), controls::grid::edDataCheckBox);
    TFTransmitJ1939 send;
    EXPECT_EQ(send.windowTitle(), QStringLiteral("Transmit J1939 Frames"));
    EXPECT_EQ(send.grid(0)->Columns().Items(7)->ComboItems().Strings(0), QStringLiteral("On Data Change"));

    // Five rows of 100 transport bytes each: 500 fit. A missing "TP" reads as "N" (8 bytes).
    tf::Rows rows;
    for (int i = 0; i < 5; ++i)
        rows.push_back(tf::j1939TransmitRow({.pgn = QString::number(i), .tp = "Y", .tpNByte = "100"}));
    rows.push_back(tf::without(tf::j1939TransmitRow({.pgn = "9"}), "TP"));
    dir.write(QStringLiteral("J1939_Send_Frames.xml"), tf::j1939Xml(rows));
    user([](TPgnTableDialog& t) {
        EXPECT_EQ(t.byteLimit(), 512);
        EXPECT_EQ(t.grid(0)->Cells(5, 6), QStringLiteral("N"));
        t.Btn_OK->click(); // 508 bytes
        EXPECT_EQ(t.modalResult(), platform::mrOk);
    });
    EXPECT_EQ(send.showModal(), platform::mrOk);
    EXPECT_TRUE(boxes.texts().isEmpty()) << boxes.texts().join('|').toStdString();

    // An OK refused after 500 bytes were counted, then a second OK: each counts the bytes anew.
    user([](TPgnTableDialog& t) {
        t.grid(0)->SetCells(1, 6, QStringLiteral("9"));
        t.Btn_OK->click();
        EXPECT_EQ(t.modalResult(), 0);
        t.grid(0)->SetCells(1, 6, QStringLiteral("6"));
        t.Btn_OK->click();
    });
    EXPECT_EQ(send.showModal(), platform::mrOk);
    EXPECT_EQ(boxes.texts(), QStringList{"Error in row 6!! Priority must be between 0 and 7"});
    EXPECT_EQ(dir.read(QStringLiteral("J1939_Send_Frames.xml")).count("<row "), 6);
}
