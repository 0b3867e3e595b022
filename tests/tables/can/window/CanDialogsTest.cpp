#include "controls/button/FxButton.h"
#include "controls/grid/column/ColumnGrid.h"
#include "platform/ui/controls/Controls.h"
#include "support/FakeDialogs.h"
#include "support/TableFiles.h"
#include "support/TempDir.h"
#include "tables/can/window/CanDialogs.h"
#include "workspace/LangTexts.h"
#include "workspace/Workspace.h"

#include <QLabel>
#include <QListWidget>
#include <QTest>
#include <gtest/gtest.h>

using namespace tables;
using namespace tables::can;
using platform::MsgAnswer;
using testing_support::FakeMessageBoxes;
using testing_support::TempDir;
namespace tf = testing_support::tables;

namespace {

class CanDialogsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        workspace::Default_Texts();
        workspace::Workspace& w = *scoped;
        w.SW_Code = QStringLiteral("GS30107");
        w.Path_CAN_Rec_Frames = dir.file(QStringLiteral("CAN_Rec_Frames.xml"));
        w.Path_CAN_Send_Frames = dir.file(QStringLiteral("CAN_Send_Frames.xml"));
        w.Path_CAN_Rec_Info = dir.file(QStringLiteral("CAN_Rec_Info.xml"));
        w.Path_CAN_Send_Info = dir.file(QStringLiteral("CAN_Send_Info.xml"));
    }
    void TearDown() override { platform::setModalDriver(previous_); }

    template <typename Dialog>
    void user(std::function<void(Dialog&)> act)
    {
        previous_ = platform::setModalDriver([act](platform::Form& f) { act(static_cast<Dialog&>(f)); });
    }
    void frames(Direction d, const std::vector<QString>& dims)
    {
        tf::Rows rows;
        int id = 0x100;
        for (const QString& dim : dims)
            rows.push_back(d == Direction::Receive ? tf::canReceiveFrame({.cobId = QString::number(id++), .dimension = dim})
                                                   : tf::canSendFrame({.cobId = QString::number(id++), .dimension = dim}));
        dir.write(d == Direction::Receive ? QStringLiteral("CAN_Rec_Frames.xml") : QStringLiteral("CAN_Send_Frames.xml"),
                  d == Direction::Receive ? tf::canReceiveFramesXml(rows) : tf::canSendFramesXml(rows));
    }
    ByteMap savedMap(Direction d)
    {
        const bool rec = d == Direction::Receive;
        return loadByteMap(d, rec ? scoped->Path_CAN_Rec_Frames : scoped->Path_CAN_Send_Frames,
                           rec ? scoped->Path_CAN_Rec_Info : scoped->Path_CAN_Send_Info);
    }

    workspace::ScopedWorkspace scoped{7};
    TempDir dir;
    FakeMessageBoxes boxes;
    platform::ModalDriver previous_;
};

const QStringList kFrameCells{"256", "2.0A (11 bits)", "2", "1000", "Boiler"};

} // namespace

TEST_F(CanDialogsTest, TheFrameTablesHaveTheirShapeAndRefuseACobIdOfZero)
{
    TFCAN_Rec_Frames d;
    EXPECT_EQ(d.objectName(), QStringLiteral("FCAN_Rec_Frames"));
    EXPECT_EQ(d.size(), QSize(759, 337));
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Receive CAN Frames"));
    TExtColumnGrid* g = d.grid(0);
    EXPECT_EQ(g->RowCount(), 501);
    EXPECT_EQ(g->Columns().Items(0)->Width(), 64);
    EXPECT_EQ(g->DefaultRowHeight(), 21);
    EXPECT_EQ(g->Columns().Items(2)->ComboItems().Count(), 2);
    EXPECT_EQ(g->Columns().Items(5)->Header(), QStringLiteral("Mnemonic"));
    EXPECT_EQ(d.PageControl1, nullptr);
    EXPECT_EQ(d.Btn_CopyRow, nullptr);

    TFCAN_Send_Frame s;
    EXPECT_EQ(s.windowTitle(), QStringLiteral("Send CAN Frames"));
    EXPECT_EQ(s.grid(0)->Columns().Items(4)->Header(), QStringLiteral("Send Frame Type"));
    EXPECT_EQ(s.grid(0)->Columns().Items(4)->ComboItems().Strings(1), QStringLiteral("On Timer"));

    user<TFCAN_Rec_Frames>([](TFCAN_Rec_Frames& t) {
        for (int c = 1; c <= 5; ++c)
            t.grid(0)->SetCells(c, 1, kFrameCells[c - 1]);
        for (int c = 1; c <= 5; ++c)
            t.grid(0)->SetCells(c, 2, kFrameCells[c - 1]);
        t.grid(0)->SetCells(1, 2, QStringLiteral("0"));
        t.Btn_OK->click();
        EXPECT_EQ(t.modalResult(), 0);
        t.grid(0)->SetCells(1, 2, QStringLiteral("0x7FF"));
        t.Btn_OK->click();
    });
    EXPECT_EQ(d.showModal(), platform::mrOk);
    EXPECT_EQ(boxes.texts(),
              QStringList{"Error row 2!! CAN Cob-Id must not be 0: a frame with Cob-Id 0 ends the saved table"});
    EXPECT_EQ(savedMap(Direction::Receive).cobIds, (QStringList{"256", "0x7FF"}));
}

TEST_F(CanDialogsTest, InsertingAndDeletingFramesMovesTheirByteMapsWithThem)
{
    frames(Direction::Receive, {"1", "1", "1"});
    dir.write(QStringLiteral("CAN_Rec_Info.xml"),
              tf::canReceiveInfoXml({tf::canInfoRow({10}), tf::canInfoRow({20}), tf::canInfoRow({30})}));
    TFCAN_Rec_Frames d;
    // Cancel after moving rows leaves the map as it was.
    user<TFCAN_Rec_Frames>([](TFCAN_Rec_Frames& t) {
        t.grid(0)->MoveToCell(1, 1);
        t.Btn_DelRowClick();
        t.Btn_Cancel->click();
    });
    boxes.answer(MsgAnswer::Yes);
    d.showModal();
    EXPECT_EQ(savedMap(Direction::Receive).Data_arr[0].PosB[0], 10);

    // Frame 1 deleted, a new frame inserted before the old third.
    user<TFCAN_Rec_Frames>([](TFCAN_Rec_Frames& t) {
        TExtColumnGrid* g = t.grid(0);
        g->MoveToCell(1, 1);
        t.Btn_DelRowClick();
        g->MoveToCell(1, 2);
        t.Btn_InsRowClick();
        const QStringList cells{"0x300", "2.0A (11 bits)", "1", "0", "New"};
        for (int c = 1; c <= 5; ++c)
            g->SetCells(c, 2, cells[c - 1]);
        t.Btn_OK->click();
    });
    boxes.answer(MsgAnswer::Yes);
    EXPECT_EQ(d.showModal(), platform::mrOk);
    const ByteMap m = savedMap(Direction::Receive);
    ASSERT_EQ(m.cobIds, (QStringList{"257", "0x300", "258"}));
    EXPECT_EQ(m.Data_arr[0].PosB[0], 20);
    EXPECT_EQ(m.Data_arr[1].PosB[0], kNoPosition);
    EXPECT_EQ(m.Data_arr[2].PosB[0], 30);
    EXPECT_EQ(m.mapRows, 3);
}

TEST_F(CanDialogsTest, TheReceiveMapShowsTakesAndChecksItsBytes)
{
    frames(Direction::Receive, {"3", "8"});
    TF_Rec_Info d;
    EXPECT_EQ(d.objectName(), QStringLiteral("F_Rec_Info"));
    EXPECT_EQ(d.size(), QSize(654, 508));
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Receive CAN Frames Info"));
    // Creating the window makes no control; they come with the first show.
    EXPECT_FALSE(d.controlsBuilt());
    EXPECT_EQ(d.ListBox1, nullptr);
    d.ensureControls();
    EXPECT_EQ(d.ListBox1->geometry(), QRect(8, 88, 169, 377));
    EXPECT_EQ(d.Panel[7]->geometry(), QRect(184, 88 + 48 * 7, 457, 41));
    EXPECT_EQ(d.Edit[0]->geometry(), QRect(208, 13, 57, 19));
    EXPECT_EQ(d.L_Line[1]->text(), QStringLiteral("Byte 2 of frame CAN go to byte"));
    EXPECT_EQ(d.L_NotInUse[0]->text(), QStringLiteral("Not in use"));
    EXPECT_EQ(d.P_Button->geometry(), QRect(0, 468, 654, 40));

    user<TF_Rec_Info>([](TF_Rec_Info& t) {
        EXPECT_EQ(t.ListBox1->count(), 2);
        EXPECT_EQ(t.selectedFrame(), 0);
        // Dimension 3: lines 4 .. 8 not in use.
        EXPECT_TRUE(t.Panel[2]->isEnabled());
        EXPECT_FALSE(t.Panel[3]->isEnabled());
        EXPECT_FALSE(t.L_NotInUse[3]->isHidden());
        EXPECT_TRUE(t.L_NotInUse[2]->isHidden());
        EXPECT_EQ(t.Edit[3]->text(), QStringLiteral("none"));
        // "none" in any case, blanks or nothing unmap; 0 and 5999 are taken.
        for (const char* typed : {"none", "NONE", " None ", ""}) {
            t.Edit[0]->setText(QLatin1String(typed));
            EXPECT_TRUE(t.EditExit(1));
            EXPECT_EQ(t.Data_arr[0].PosB[0], kNoPosition);
        }
        t.Edit[0]->setText(QStringLiteral("5999"));
        EXPECT_TRUE(t.EditExit(1));
        t.Edit[1]->setText(QStringLiteral("0"));
        EXPECT_TRUE(t.EditExit(2));
        // A refused text keeps the stored position.
        for (const char* typed : {"6000", "-1", "abc"}) {
            t.Edit[0]->setText(QLatin1String(typed));
            EXPECT_FALSE(t.EditExit(1));
            EXPECT_EQ(t.Data_arr[0].PosB[0], 5999);
        }
        // A position typed, then another frame clicked: it stays with the frame it was typed for.
        t.Edit[2]->setText(QStringLiteral("12"));
        t.EditExit(3); // the edit loses the focus to the list
        t.ListBox1->setCurrentRow(1);
        EXPECT_EQ(t.selectedFrame(), 1);
        EXPECT_EQ(t.Data_arr[0].PosB[2], 12);
        EXPECT_TRUE(t.Panel[7]->isEnabled());
        // Byte 2 of the second frame on byte 2 of the first: refused at OK, the later byte first.
        t.Edit[1]->setText(QStringLiteral("0"));
        t.bitbtn1Click();
        EXPECT_EQ(t.modalResult(), 0);
        t.Edit[1]->setText(QStringLiteral("none"));
        t.bitbtn1Click();
    });
    EXPECT_EQ(d.showModal(), platform::mrOk);
    EXPECT_EQ(boxes.texts(), (QStringList{"Error Byte 1!! Value have to be between 0 to 5999 or none",
                                          "Error Byte 1!! Value have to be between 0 to 5999 or none",
                                          "Error Byte 1!! Value have to be between 0 to 5999 or none",
                                          "Error!! The Byte 0 is used in COB ID 257 in Byte 2 and in COB ID 256 in Byte 2"}));
    const ByteMap m = savedMap(Direction::Receive);
    EXPECT_EQ(m.Data_arr[0].PosB, (std::array<uint16_t, 8>{5999, 0, 12, kNoPosition, kNoPosition, kNoPosition, kNoPosition, kNoPosition}));
    EXPECT_TRUE(dir.read(QStringLiteral("CAN_Rec_Info.xml")).contains(
        "<row B1=\"5999\" B2=\"0\" B3=\"12\" B4=\"65535\" B5=\"65535\" B6=\"65535\" B7=\"65535\" B8=\"65535\" />"));
}

TEST_F(CanDialogsTest, OkTakesTheLineBeingTypedAndARefusedOneKeepsTheDialogOpen)
{
    frames(Direction::Receive, {"2"});
    TF_Rec_Info d;
    user<TF_Rec_Info>([](TF_Rec_Info& t) {
        t.Edit[1]->setText(QStringLiteral("7000"));
        t.bitbtn1Click();
        EXPECT_EQ(t.modalResult(), 0);
        t.Edit[1]->setText(QStringLiteral("44"));
        t.bitbtn1Click();
    });
    EXPECT_EQ(d.showModal(), platform::mrOk);
    EXPECT_EQ(boxes.texts(), QStringList{"Error Byte 2!! Value have to be between 0 to 5999 or none"});
    EXPECT_EQ(savedMap(Direction::Receive).Data_arr[0].PosB[1], 44);
}

TEST_F(CanDialogsTest, TheSendMapTakesEveryChangeAndRefusesEachWrongKeystroke)
{
    frames(Direction::Send, {"2", "2"});
    TF_Sen_Info d;
    d.ensureControls();
    EXPECT_EQ(d.L_Line[0]->text(), QStringLiteral("Byte 1 of frame CAN is the byte"));
    user<TF_Sen_Info>([this](TF_Sen_Info& t) {
        t.Edit[0]->setText(QString());
        t.Edit[0]->setFocus();
        QTest::keyClicks(t.Edit[0], QStringLiteral("12"));
        EXPECT_EQ(t.Data_arr[0].PosB[0], 12);
        // Typed letter by letter, "none" is refused at each of its first three letters.
        t.Edit[1]->setText(QString());
        QTest::keyClicks(t.Edit[1], QStringLiteral("none"));
        EXPECT_EQ(boxes.texts().size(), 3);
        EXPECT_EQ(t.Data_arr[0].PosB[1], kNoPosition);
        // A digit that takes the number past 5999 is refused at once; the stored value stays.
        t.Edit[1]->setText(QStringLiteral("599"));
        QTest::keyClicks(t.Edit[1], QStringLiteral("9"));
        EXPECT_EQ(t.Data_arr[0].PosB[1], 5999);
        QTest::keyClicks(t.Edit[1], QStringLiteral("9"));
        EXPECT_EQ(t.Data_arr[0].PosB[1], 5999);
        EXPECT_EQ(boxes.texts().size(), 4);
        // Pasting "none" or clearing the edit raises nothing.
        t.Edit[1]->setText(QStringLiteral("none"));
        t.Edit[1]->setText(QString());
        EXPECT_EQ(boxes.texts().size(), 4);
        // The send side has no duplicate check: the second frame takes position 12 too.
        t.ListBox1->setCurrentRow(1);
        t.Edit[0]->setText(QStringLiteral("12"));
        t.bitbtn1Click();
    });
    EXPECT_EQ(d.showModal(), platform::mrOk);
    EXPECT_EQ(boxes.texts().front(), QStringLiteral("Error Byte 2!! Value have to be between 0 to 5999 or none"));
    const ByteMap m = savedMap(Direction::Send);
    EXPECT_EQ(m.Data_arr[0].PosB[0], 12);
    EXPECT_EQ(m.Data_arr[1].PosB[0], 12);
}

TEST_F(CanDialogsTest, WithoutFramesTheLinesAreOffAndOkWritesAnEmptyMap)
{
    TF_Rec_Info d;
    user<TF_Rec_Info>([](TF_Rec_Info& t) {
        EXPECT_EQ(t.ListBox1->count(), 0);
        EXPECT_EQ(t.selectedFrame(), -1);
        for (QWidget* p : t.Panel)
            EXPECT_FALSE(p->isEnabled());
        t.bitbtn1Click();
    });
    EXPECT_EQ(d.showModal(), platform::mrOk);
    EXPECT_TRUE(boxes.texts().isEmpty());
    EXPECT_EQ(dir.read(QStringLiteral("CAN_Rec_Info.xml")), QByteArray("<Receive_Frames_Info />\n<!--SW_VERSION = 1.201-->\n"));
}

TEST_F(CanDialogsTest, AMapOfAnotherFrameCountIsAnnouncedBeforeItShows)
{
    frames(Direction::Send, {"1", "1", "1"});
    dir.write(QStringLiteral("CAN_Send_Info.xml"), tf::canSendInfoXml({tf::canInfoRow({1}), tf::canInfoRow({2})}));
    TF_Sen_Info d;
    user<TF_Sen_Info>([](TF_Sen_Info& t) { t.Btn_Cancel->click(); });
    EXPECT_EQ(d.showModal(), platform::mrCancel);
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].kind, platform::MsgKind::Information);
    EXPECT_TRUE(boxes.shown()[0].text.startsWith(QStringLiteral("Warning! CAN_Send_Info.xml holds the byte maps of 2 frames")));

    // A damaged map: its error, and OK asks before replacing the file.
    dir.write(QStringLiteral("CAN_Send_Info.xml"), "<Send_Frames_Info><row B1=\"x\"/></Send_Frames_Info>");
    boxes.clear();
    user<TF_Sen_Info>([](TF_Sen_Info& t) {
        t.bitbtn1Click(); // answered No
        EXPECT_EQ(t.modalResult(), 0);
        t.Btn_Cancel->click();
    });
    d.showModal();
    ASSERT_EQ(boxes.texts().size(), 3);
    EXPECT_TRUE(boxes.texts()[0].contains(QStringLiteral("byte 1 of frame 1 holds \"x\"")));
    EXPECT_TRUE(boxes.texts()[2].endsWith(QStringLiteral("Replace it?")));
    EXPECT_EQ(dir.read(QStringLiteral("CAN_Send_Info.xml")), QByteArray("<Send_Frames_Info><row B1=\"x\"/></Send_Frames_Info>"));
}
