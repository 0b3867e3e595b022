#include "controls/button/FxButton.h"
#include "controls/grid/column/ColumnGrid.h"
#include "support/FakeDialogs.h"
#include "support/TableFiles.h"
#include "support/TempDir.h"
#include "tables/dmx/DmxTables.h"
#include "tables/dmx/window/DmxDefVal.h"
#include "workspace/LangTexts.h"
#include "workspace/Workspace.h"

#include <gtest/gtest.h>

using namespace tables;
using namespace tables::dmx;
using platform::MsgAnswer;
using testing_support::FakeMessageBoxes;
using testing_support::TempDir;
namespace tf = testing_support::tables;

namespace {

class DmxDefValTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        workspace::Default_Texts();
        scoped->Path_ParGen = dir.file(QStringLiteral("ParGen.xml"));
        scoped->Path_DMX_Default_Values = dir.file(QStringLiteral("DMX_Default_Values.xml"));
    }
    void TearDown() override { platform::setModalDriver(previous_); }
    void user(std::function<void(TTableDialog&)> act)
    {
        previous_ = platform::setModalDriver([act](platform::Form& f) { act(static_cast<TTableDialog&>(f)); });
    }
    void writeChannels(int n)
    {
        tf::Rows rows;
        for (int i = 1; i <= n; ++i)
            rows.push_back(tf::dmxRow(QString::number(i % 256), QStringLiteral("ch%1").arg(i)));
        dir.write(QStringLiteral("DMX_Default_Values.xml"), tf::dmxXml(rows));
    }

    workspace::ScopedWorkspace scoped{18};
    TempDir dir;
    FakeMessageBoxes boxes;
    platform::ModalDriver previous_;
};

} // namespace

TEST_F(DmxDefValTest, OneRowPerChannelWithOkAndCancelOnly)
{
    TFDMXDefVal d;
    EXPECT_EQ(d.objectName(), QStringLiteral("FDMXDefVal"));
    EXPECT_EQ(d.size(), QSize(475, 337));
    EXPECT_EQ(d.windowTitle(), QStringLiteral("DMX Default Value"));
    d.ensureControls();
    EXPECT_EQ(d.Btn_DelRow, nullptr);
    EXPECT_EQ(d.Btn_InsRow, nullptr);
    EXPECT_EQ(d.Btn_CopyRow, nullptr);
    TExtColumnGrid* g = d.grid(0);
    EXPECT_EQ(g->objectName(), QStringLiteral("ACG_DMX_Def_Val"));
    EXPECT_EQ(g->Columns().Items(0)->Width(), 100);
    EXPECT_EQ(g->Columns().Items(0)->Header(), QStringLiteral("Channel"));
    EXPECT_EQ(g->Columns().Items(1)->Header(), QStringLiteral("Default Value"));
    // Without general parameters: 512 channels, each "0".
    user([](TTableDialog& t) {
        EXPECT_EQ(t.grid(0)->RowCount(), 513);
        EXPECT_EQ(t.grid(0)->Cells(0, 512), QStringLiteral("512"));
        EXPECT_EQ(t.grid(0)->Cells(DmxValue, 512), QStringLiteral("0"));
        t.Btn_OK->click();
    });
    EXPECT_EQ(d.showModal(), platform::mrOk);
    EXPECT_EQ(dir.read(QStringLiteral("DMX_Default_Values.xml")).count("<Row Default_Value=\"0\" Mnemonic=\"\" />"), 512);
}

// 24 channels of a file of 512: the first 24 are shown, the user is told how many are not, and OK
// asks before it writes 24.
TEST_F(DmxDefValTest, FewerChannelsThanTheFileAsksBeforeDroppingTheRest)
{
    dir.write(QStringLiteral("ParGen.xml"), tf::parGenXml({{"DMX_Num_Channels", "24"}}));
    writeChannels(512);
    TFDMXDefVal d;
    user([](TTableDialog& t) {
        EXPECT_EQ(t.grid(0)->RowCount(), 25);
        EXPECT_EQ(t.grid(0)->Cells(DmxMnemonic, 24), QStringLiteral("ch24"));
        t.Btn_OK->click(); // No: nothing written
        EXPECT_EQ(t.modalResult(), platform::mrNone);
        t.Btn_OK->click(); // Yes
    });
    boxes.answer(MsgAnswer::Ok);  // the warning at the showing
    boxes.answer(MsgAnswer::No);
    boxes.answer(MsgAnswer::Yes);
    EXPECT_EQ(d.showModal(), platform::mrOk);
    ASSERT_EQ(boxes.texts().size(), 3);
    EXPECT_EQ(boxes.texts()[0], QStringLiteral("Warning! The file DMX_Default_Values.xml holds 488 rows more than the table "
                                               "shows; they are not shown and OK would not save them."));
    EXPECT_EQ(boxes.texts()[1], QStringLiteral("The file DMX_Default_Values.xml holds 488 rows more than the table shows. "
                                               "Saving removes them. Save anyway?"));
    EXPECT_EQ(dir.read(QStringLiteral("DMX_Default_Values.xml")).count("<Row "), 24);

    // More channels than the file: the new ones show "0", and every channel is written.
    dir.write(QStringLiteral("ParGen.xml"), tf::parGenXml({{"DMX_Num_Channels", "30"}}));
    boxes.clear();
    user([](TTableDialog& t) {
        EXPECT_EQ(t.grid(0)->RowCount(), 31);
        EXPECT_EQ(t.grid(0)->Cells(DmxValue, 25), QStringLiteral("0"));
        t.grid(0)->SetCells(DmxValue, 26, QStringLiteral("256"));
        t.Btn_OK->click();
        t.grid(0)->SetCells(DmxValue, 26, QStringLiteral("255"));
        t.Btn_OK->click();
    });
    EXPECT_EQ(d.showModal(), platform::mrOk);
    EXPECT_EQ(boxes.texts(), QStringList{QStringLiteral("Error row 26!! Default Value must be between 0 and 255")});
    const QByteArray file = dir.read(QStringLiteral("DMX_Default_Values.xml"));
    EXPECT_EQ(file.count("<Row "), 30);
    EXPECT_TRUE(file.contains("<Row Default_Value=\"255\" Mnemonic=\"\" />\n  <Row Default_Value=\"0\""));
}
