#include "controls/button/FxButton.h"
#include "controls/grid/column/ColumnGrid.h"
#include "support/FakeDialogs.h"
#include "support/TableFiles.h"
#include "support/TempDir.h"
#include "tables/devicenet/window/DeviceNetDialogs.h"
#include "workspace/LangTexts.h"
#include "workspace/Workspace.h"

#include <QLabel>
#include <QSplitter>
#include <QTabWidget>
#include <gtest/gtest.h>

using namespace tables;
using namespace tables::devicenet;
using platform::MsgAnswer;
using testing_support::dataFile;
using testing_support::FakeMessageBoxes;
using testing_support::TempDir;
namespace tf = testing_support::tables;

namespace {

class DeviceNetDialogsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        workspace::Default_Texts();
        scoped->SW_Code = QStringLiteral("GS30110");
        scoped->Path_DNETM_Net = dir.file(QStringLiteral("DNETM_Net.xml"));
        scoped->Path_DNETM_DefOff = dir.file(QStringLiteral("DNETM_DefOff.xml"));
    }
    void TearDown() override { platform::setModalDriver(previous_); }

    template <typename Dialog>
    void user(std::function<void(Dialog&)> act)
    {
        previous_ = platform::setModalDriver([act](platform::Form& f) { act(static_cast<Dialog&>(f)); });
    }
    SlaveList saved()
    {
        SlaveList list = Load_Slave_DN(scoped->Path_DNETM_Net);
        EXPECT_EQ(Load_Offset_Slave_DN(list, scoped->Path_DNETM_DefOff), QString());
        return list;
    }

    workspace::ScopedWorkspace scoped{10};
    TempDir dir;
    FakeMessageBoxes boxes;
    platform::ModalDriver previous_;
};

} // namespace

TEST_F(DeviceNetDialogsTest, TheNetworkTableChecksSavesAndMovesTheOffsetsWithItsRows)
{
    TFDNet d;
    EXPECT_EQ(d.objectName(), QStringLiteral("FDNet"));
    EXPECT_EQ(d.size(), QSize(609, 337));
    EXPECT_EQ(d.windowTitle(), QStringLiteral("DeviceNet Network"));
    TExtColumnGrid* g = d.grid(0);
    EXPECT_EQ(g->objectName(), QStringLiteral("XGR"));
    EXPECT_EQ(g->RowCount(), 65);
    EXPECT_EQ(g->Columns().Items(0)->Width(), 45);
    EXPECT_EQ(g->Columns().Items(2)->Header(), QStringLiteral("N BYTE IN"));

    dir.write(QStringLiteral("DNETM_Net.xml"), dataFile(QStringLiteral("tables/DNETM_Net.xml")));
    dir.write(QStringLiteral("DNETM_DefOff.xml"), dataFile(QStringLiteral("tables/DNETM_DefOff.xml")));
    user<TFDNet>([](TFDNet& t) {
        TExtColumnGrid* x = t.grid(0);
        EXPECT_EQ(x->Cells(1, 2), QStringLiteral("$3F"));
        x->SetCells(1, 3, QStringLiteral("64"));
        t.Btn_OK->click();
        EXPECT_EQ(t.modalResult(), 0);
        x->SetCells(1, 3, QStringLiteral("2"));
        // The drive (row 1) removed: the valves move up and keep their offsets.
        x->MoveToCell(1, 1);
        t.Btn_DelRowClick();
        t.Btn_OK->click();
    });
    boxes.answer(MsgAnswer::Ok);
    boxes.answer(MsgAnswer::Yes);
    EXPECT_EQ(d.showModal(), platform::mrOk);
    EXPECT_EQ(boxes.texts(), (QStringList{"Error in row 3!! ID must be 0 or 63", "Are you sure to delete the Row number 1"}));
    const SlaveList s = saved();
    ASSERT_EQ(s.slaves.size(), 2u);
    EXPECT_EQ(s.slaves[0].ID, 63);
    EXPECT_EQ(s.slaves[0].List_ByteOUT, (QStringList{"101", "5999", "None"}));
    EXPECT_EQ(s.slaves[1].List_ByteIN, (QStringList{"100", "None"}));
}

TEST_F(DeviceNetDialogsTest, TheOffsetsKeepEditsWhileSwitchingSlavesAndRefuseSharedOutputs)
{
    TFDefOffset d;
    EXPECT_EQ(d.objectName(), QStringLiteral("FDefOffset"));
    EXPECT_EQ(d.size(), QSize(482, 610));
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Define Offset"));
    EXPECT_FALSE(d.controlsBuilt());
    d.ensureControls();
    EXPECT_EQ(d.L_SW_Desc->text(), QStringLiteral("Define DeviceNet Offset"));
    EXPECT_EQ(d.Splitter1->handleWidth(), 3);
    EXPECT_EQ(d.Panel1->height(), 162);
    EXPECT_EQ(d.PageControl1->tabText(1), QStringLiteral("Byte OUT"));
    EXPECT_EQ(d.ACG_DN_Slaves->Columns().Items(3)->Header(), QStringLiteral("Mnemonic"));
    EXPECT_EQ(d.ACG_ByteOUT->Columns().Items(1)->Header(), QStringLiteral("Offset"));

    dir.write(QStringLiteral("DNETM_Net.xml"), dataFile(QStringLiteral("tables/DNETM_Net.xml")));
    user<TFDefOffset>([](TFDefOffset& t) {
        EXPECT_EQ(t.ACG_DN_Slaves->RowCount(), 4);
        EXPECT_EQ(t.ACG_DN_Slaves->Cells(0, 2), QStringLiteral("$3F"));
        EXPECT_EQ(t.Slave_Before_Select, 0);
        EXPECT_EQ(t.ACG_ByteIN->RowCount(), 5);
        EXPECT_EQ(t.ACG_ByteIN->Cells(0, 4), QStringLiteral("3"));
        EXPECT_EQ(t.ACG_ByteOUT->Cells(1, 2), QStringLiteral("None"));
        EXPECT_EQ(t.ACG_ByteOUT->Columns().Items(1)->ComboItems().Count(), 6001);
        EXPECT_EQ(t.ACG_ByteOUT->Columns().Items(1)->ComboItems().Strings(6000), QStringLiteral("5999"));
        t.ACG_ByteOUT->SetCells(1, 1, QStringLiteral("7"));
        t.ACG_ByteOUT->SetCells(2, 1, QStringLiteral("Command"));
        // The second slave has no input byte: an empty page with its header.
        t.ACG_DN_Slaves->SetRow(2);
        EXPECT_EQ(t.Slave_Before_Select, 1);
        EXPECT_EQ(t.ACG_ByteIN->RowCount(), 1);
        EXPECT_EQ(t.ACG_ByteOUT->RowCount(), 4);
        t.ACG_ByteOUT->SetCells(1, 3, QStringLiteral("7"));
        // Back to the first: its edits are there.
        t.ACG_DN_Slaves->SetRow(1);
        t.ACG_DN_SlavesClick();
        EXPECT_EQ(t.ACG_ByteOUT->Cells(1, 1), QStringLiteral("7"));
        EXPECT_EQ(t.ACG_ByteOUT->Cells(2, 1), QStringLiteral("Command"));
        t.bitbtn1Click();
        EXPECT_EQ(t.modalResult(), 0);
        t.ACG_ByteOUT->SetCells(1, 1, QStringLiteral("8"));
        t.bitbtn1Click();
    });
    EXPECT_EQ(d.showModal(), platform::mrOk);
    EXPECT_EQ(boxes.texts(), QStringList{"Error in ByteOUT! The same byte of BACnet is used in two bytes DeviceNet.\n\r"
                                         "( First ID = 1 Byte = 0, Second ID = 63 Byte = 2)"});
    const SlaveList s = saved();
    EXPECT_EQ(s.slaves[0].List_ByteOUT, (QStringList{"8", "None"}));
    EXPECT_EQ(s.slaves[0].List_ByteOUT_M, (QStringList{"Command", ""}));
    EXPECT_EQ(s.slaves[1].List_ByteOUT, (QStringList{"None", "None", "7"}));
    EXPECT_EQ(s.slaves[2].List_ByteIN, (QStringList{"None", "None"}));
    const QByteArray file = dir.read(QStringLiteral("DNETM_DefOff.xml"));
    EXPECT_TRUE(file.contains("<Nodo_DNET>\n    <ByteIN />\n    <ByteOUT>")) << file.constData();
    EXPECT_TRUE(file.endsWith("<!--SW_VERSION = 1.000-->\n"));
}

TEST_F(DeviceNetDialogsTest, LoadFaultsAndACountMismatchAreToldBeforeTheOffsetsShow)
{
    TFDefOffset d;
    // No network: no slave, empty byte grids, OK writes the root and the comment only.
    user<TFDefOffset>([](TFDefOffset& t) {
        EXPECT_EQ(t.ACG_DN_Slaves->RowCount(), 1);
        EXPECT_EQ(t.ACG_ByteIN->RowCount(), 1);
        t.bitbtn1Click();
    });
    EXPECT_EQ(d.showModal(), platform::mrOk);
    EXPECT_EQ(dir.read(QStringLiteral("DNETM_DefOff.xml")), QByteArray("<Define_Offset />\n<!--SW_VERSION = 1.000-->\n"));

    // Three nodes for two slaves; an offset outside the array in the second.
    dir.write(QStringLiteral("DNETM_Net.xml"), tf::dnetNetXml({tf::dnetSlaveRow("1", "1", "1"), tf::dnetSlaveRow("2", "1", "1")}));
    dir.write(QStringLiteral("DNETM_DefOff.xml"),
              tf::dnetDefOffXml({{{tf::dnetOffsetRow("3")}, {}}, {{}, {tf::dnetOffsetRow("6000")}}, {}}));
    user<TFDefOffset>([](TFDefOffset& t) {
        EXPECT_EQ(t.ACG_ByteIN->Cells(1, 1), QStringLiteral("3"));
        t.bitbtn1Click(); // answered No: nothing written
        EXPECT_EQ(t.modalResult(), 0);
        t.Btn_Cancel->click();
    });
    const QByteArray before = dir.read(QStringLiteral("DNETM_DefOff.xml"));
    d.showModal();
    ASSERT_EQ(boxes.texts().size(), 2);
    EXPECT_EQ(boxes.texts()[0],
              QStringLiteral("DNETM_DefOff.xml, slave 2 (ID 2), ByteOUT byte 0: the attribute \"Offset\" must be \"None\" or "
                             "a position between 0 and 5999, not 6000."));
    EXPECT_TRUE(boxes.texts()[1].endsWith(QStringLiteral("Replace it?")));
    EXPECT_EQ(dir.read(QStringLiteral("DNETM_DefOff.xml")), before);

    dir.write(QStringLiteral("DNETM_DefOff.xml"), tf::dnetDefOffXml({{}, {}, {}}));
    boxes.clear();
    user<TFDefOffset>([](TFDefOffset& t) { t.Btn_Cancel->click(); });
    d.showModal();
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].kind, platform::MsgKind::Information);
    EXPECT_TRUE(boxes.shown()[0].text.startsWith(QStringLiteral("Warning! DNETM_DefOff.xml holds the offsets of 3 slaves, but DNETM_Net.xml lists 2.")));
}
