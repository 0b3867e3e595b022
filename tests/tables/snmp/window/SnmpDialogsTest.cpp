#include "controls/button/FxButton.h"
#include "controls/grid/column/ColumnGrid.h"
#include "support/FakeDialogs.h"
#include "support/TableFiles.h"
#include "support/TempDir.h"
#include "tables/snmp/SnmpTables.h"
#include "tables/snmp/window/SnmpDialogs.h"
#include "workspace/LangTexts.h"
#include "workspace/Workspace.h"

#include <QApplication>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

using namespace tables;
using namespace tables::snmp;
using platform::MsgAnswer;
using testing_support::FakeMessageBoxes;
using testing_support::TempDir;
namespace tf = testing_support::tables;

namespace {

class SnmpDialogsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        workspace::Default_Texts();
        scoped->Path_SNMP_Manager = dir.file(QStringLiteral("SNMP_Manager.xml"));
        scoped->Path_SNMP_Trap = dir.file(QStringLiteral("SNMP_Trap.xml"));
    }
    void TearDown() override { platform::setModalDriver(previous_); }

    // Plays the user of the dialog once it is shown.
    void user(std::function<void(TTableDialog&)> act)
    {
        previous_ = platform::setModalDriver([act](platform::Form& f) { act(static_cast<TTableDialog&>(f)); });
    }

    static QStringList column0(TExtColumnGrid* g, int rows)
    {
        QStringList l;
        for (int r = 1; r <= rows; ++r)
            l << g->Cells(0, r);
        return l;
    }

    // A press on the check box of a cell, as the mouse gives it.
    static void clickCheckBox(TTableDialog& d, TExtColumnGrid* g, int col, int row)
    {
        d.show();
        QApplication::processEvents();
        const platform::Rect r = g->CellRect(col, row);
        QTest::mouseClick(g->viewport(), Qt::LeftButton, Qt::NoModifier,
                          QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2));
        QApplication::processEvents();
    }

    workspace::ScopedWorkspace scoped{19};
    TempDir dir;
    FakeMessageBoxes boxes;
    platform::ModalDriver previous_;
};

} // namespace

TEST_F(SnmpDialogsTest, ManagerWindowColumnsListsAndHints)
{
    TFSNMPManagerAccess d;
    EXPECT_EQ(d.objectName(), QStringLiteral("FSNMPManagerAccess"));
    EXPECT_EQ(d.size(), QSize(1190, 337));
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Set SNMP Manager Access"));
    d.ensureControls();
    EXPECT_EQ(d.PageControl1, nullptr);
    ASSERT_NE(d.Btn_PasteRow, nullptr);
    EXPECT_EQ(d.Btn_OK->hint(), QStringLiteral("Confirm and Save the current configuration of SNMP Manager Request"));
    EXPECT_EQ(d.Btn_PasteRow->hint(), QStringLiteral("Paste the fields in the selected row"));
    TExtColumnGrid* g = d.grid(0);
    EXPECT_EQ(g->objectName(), QStringLiteral("ACG_SNMP"));
    EXPECT_EQ(g->ColCount(), 22);
    EXPECT_EQ(g->Columns().Items(14)->Header(), QStringLiteral("Convertion"));
    EXPECT_EQ(g->Columns().Items(21)->Header(), QStringLiteral("Mnemonic"));
    QString hint;
    g->OnGridHint(nullptr, 0, MgrAuthMode, hint);
    EXPECT_EQ(hint, QStringLiteral("Select the Authority Mode (only if Security Level is set to \"Auth No Priv\" or \"Auth Priv\""));
    hint.clear();
    g->OnGridHint(nullptr, 3, MgrAuthMode, hint);
    EXPECT_EQ(hint, QString()); // data cells keep the grid's own hint
    user([](TTableDialog& t) {
        TExtColumnGrid* g = t.grid(0);
        EXPECT_EQ(g->RowCount(), 497);
        EXPECT_EQ(g->Cells(MgrEnable, 496), QStringLiteral("Y"));
        EXPECT_EQ(g->Columns().Items(MgrPosition)->ComboItems().Count(), 1440);
        EXPECT_EQ(g->Columns().Items(MgrPosition)->ComboItems().Strings(1439), QStringLiteral("1439"));
        EXPECT_EQ(t.focusWidget(), g);
        t.Btn_Cancel->click();
    });
    d.showModal();
}

// A new user's first rows: a copied row pasted below, the copy's address changed, a version-3
// request completed after the check named what it missed.
TEST_F(SnmpDialogsTest, ManagerRowsAreCopiedCheckedAndSaved)
{
    TFSNMPManagerAccess d;
    boxes.answer(MsgAnswer::Ok);
    user([this](TTableDialog& t) {
        TExtColumnGrid* g = t.grid(0);
        const QStringList row = {"Y", "192.168.2.20", "1", "Kelpie", "1.3.6.1.2.1.1.3.0", "Int", "Get", "N", "N", "Y",
                                 "1000", "0", "4", "None", "", "", "", "", "", "", "Uptime"};
        for (int c = 1; c <= 21; ++c)
            g->SetCells(c, 1, row[c - 1]);
        g->SetRow(2);
        t.Btn_PasteRowClick(); // nothing copied since the showing
        EXPECT_EQ(boxes.texts(), QStringList{QStringLiteral("Error!!! Copy a valid row before Paste it")});
        g->SetRow(1);
        t.Btn_CopyRowClick();
        g->SetRow(2);
        t.Btn_PasteRowClick();
        EXPECT_EQ(g->Cells(MgrMnemonic, 2), QStringLiteral("Uptime"));
        g->SetCells(MgrIp, 2, QStringLiteral("10.0.0.7"));
        g->SetCells(MgrVersion, 2, QStringLiteral("3"));
        g->SetCells(MgrUser, 2, QStringLiteral("monitor"));
        g->SetCells(MgrAuthPass, 2, QStringLiteral("authPass1"));
        g->SetCells(MgrPrivPass, 2, QStringLiteral("privPass1"));
        g->SetCells(MgrSecurityLevel, 2, QStringLiteral("NoAuth NoPriv"));
        g->SetCells(MgrPrivPass, 2, QStringLiteral("priv"));
        t.Btn_OK->click();
        EXPECT_EQ(boxes.texts().last(), QStringLiteral("Error row 2!! Priv Pass string must have at least 8 characters"));
        g->SetCells(MgrPrivPass, 2, QStringLiteral("privPass1"));
        t.Btn_OK->click();
    });
    EXPECT_EQ(d.showModal(), platform::mrOk);
    EXPECT_EQ(boxes.texts().size(), 2);
    const QByteArray file = dir.read(QStringLiteral("SNMP_Manager.xml"));
    EXPECT_EQ(file.count("<row "), 2);
    EXPECT_TRUE(file.contains("IP_Address=\"10.0.0.7\" Version=\"3\"")) << file.constData();
    EXPECT_TRUE(file.startsWith("<SNMP_Agent_Access>\n  <row Enable=\"Y\""));
    EXPECT_TRUE(file.endsWith("</SNMP_Agent_Access>\n<!--SW_VERSION = 1.201-->\n"));

    // Reopened: the rows are back; a paste needs a new copy.
    boxes.clear();
    user([](TTableDialog& t) {
        EXPECT_EQ(t.grid(0)->Cells(MgrUser, 2), QStringLiteral("monitor"));
        t.grid(0)->SetRow(3);
        t.Btn_PasteRowClick();
        EXPECT_EQ(t.grid(0)->Cells(MgrIp, 3), QString());
        t.Btn_Cancel->click();
    });
    d.showModal();
    EXPECT_EQ(boxes.texts(), QStringList{QStringLiteral("Error!!! Copy a valid row before Paste it")});
}

TEST_F(SnmpDialogsTest, TrapWindowPagesHintsAndLists)
{
    TFSNMP_Trap_Access d;
    EXPECT_EQ(d.size(), QSize(1256, 337));
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Set SNMP Access"));
    d.ensureControls();
    ASSERT_NE(d.PageControl1, nullptr);
    EXPECT_EQ(d.PageControl1->tabText(0), QStringLiteral("SNMP Read"));
    EXPECT_EQ(d.PageControl1->tabText(1), QStringLiteral("SNMP Write"));
    EXPECT_EQ(d.Btn_CopyRow->hint(), QStringLiteral("Copy all Fields of the Selected Row"));
    EXPECT_EQ(d.grid(TrapRead)->ColCount(), 15);
    EXPECT_EQ(d.grid(TrapWrite)->ColCount(), 10);
    QString hint;
    d.grid(TrapRead)->OnGridHint(nullptr, 0, TrConversion, hint);
    EXPECT_EQ(hint, QStringLiteral("Select the Data Conversion from Float to Int"));
    d.grid(TrapWrite)->OnGridHint(nullptr, 0, TwConversion, hint);
    EXPECT_EQ(hint, QStringLiteral("Select the Data Conversion from Int to Float"));

    // The page the user left stays current at the next showing.
    user([](TTableDialog& t) {
        EXPECT_EQ(t.currentSection(), TrapRead);
        EXPECT_EQ(t.grid(TrapRead)->RowCount(), 257);
        EXPECT_EQ(t.grid(TrapWrite)->Columns().Items(TwPosition)->ComboItems().Count(), 1024);
        EXPECT_EQ(t.grid(TrapRead)->Columns().Items(TrBit)->ComboItems().Count(), 8);
        t.setCurrentSection(TrapWrite);
        t.Btn_Cancel->click();
    });
    d.showModal();
    user([](TTableDialog& t) {
        EXPECT_EQ(t.currentSection(), TrapWrite);
        t.Btn_Cancel->click();
    });
    d.showModal();
}

// Column 0 numbers the enabled rows: at the showing, and at once when an Enable box is clicked;
// Delete Row leaves the numbers until then.
TEST_F(SnmpDialogsTest, TrapIndexFollowsTheEnableColumn)
{
    dir.write(QStringLiteral("SNMP_Trap.xml"),
              tf::snmpTrapXml({tf::trapReadRow({.description = "a"}), tf::trapReadRow({.enable = "N", .description = "b"}),
                               tf::trapReadRow({.description = "c"}), tf::trapReadRow({.description = "d"})},
                              {tf::trapWriteRow({.description = "w"})}));
    TFSNMP_Trap_Access d;
    boxes.answer(MsgAnswer::Yes); // delete
    user([this](TTableDialog& t) {
        TExtColumnGrid* read = t.grid(TrapRead);
        // Enabled rows without a community name are numbered too.
        EXPECT_EQ(column0(read, 6), (QStringList{"1", "", "2", "3", "4", "5"}));
        EXPECT_EQ(column0(t.grid(TrapWrite), 2), (QStringList{"1", "2"}));
        clickCheckBox(t, read, TrEnable, 3);
        EXPECT_EQ(read->Cells(TrEnable, 3), QStringLiteral("N"));
        EXPECT_EQ(column0(read, 6), (QStringList{"1", "", "", "2", "3", "4"}));
        clickCheckBox(t, read, TrEnable, 2);
        EXPECT_EQ(column0(read, 6), (QStringList{"1", "2", "", "3", "4", "5"}));
        // The write grid is numbered on its own.
        EXPECT_EQ(column0(t.grid(TrapWrite), 2), (QStringList{"1", "2"}));
        read->SetRow(1);
        t.Btn_DelRowClick();
        EXPECT_EQ(read->Cells(TrDescription, 1), QStringLiteral("b"));
        EXPECT_EQ(column0(read, 3), (QStringList{"1", "2", ""}));
        t.Btn_Cancel->click();
    });
    d.showModal();
    EXPECT_EQ(boxes.texts(), QStringList{QStringLiteral("Are you sure to delete the Row number 1")});
}

// A row is pasted only into the grid it was copied from; the check spans both grids.
TEST_F(SnmpDialogsTest, TrapCopyPastePerGridAndDescriptionsOverBothGrids)
{
    TFSNMP_Trap_Access d;
    user([this](TTableDialog& t) {
        TExtColumnGrid* read = t.grid(TrapRead);
        TExtColumnGrid* write = t.grid(TrapWrite);
        const QStringList r = {"Y", "Kelpie", "Int", "Y", "N", "N", "", "0", "0", "8", "tank", "192.168.2.10", "None", ""};
        for (int c = 1; c <= r.size(); ++c)
            read->SetCells(c, 1, r[c - 1]);
        read->SetRow(1);
        t.Btn_CopyRowClick();
        t.setCurrentSection(TrapWrite);
        write->SetRow(1);
        t.Btn_PasteRowClick(); // copied in the other grid
        EXPECT_EQ(write->Cells(TwCommunity, 1), QString());
        const QStringList w = {"Y", "Brindle", "Int", "4", "0", "8", "tank", "None", ""};
        for (int c = 1; c <= w.size(); ++c)
            write->SetCells(c, 1, w[c - 1]);
        t.Btn_OK->click();
        EXPECT_EQ(boxes.texts().last(), QStringLiteral("Error!! The Descriptions must be all differents"));
        write->SetCells(TwDescription, 1, QStringLiteral("tankCommand"));
        t.Btn_OK->click();
    });
    EXPECT_EQ(d.showModal(), platform::mrOk);
    EXPECT_EQ(boxes.texts(), (QStringList{QStringLiteral("Error!!! Copy a valid row before Paste it"),
                                          QStringLiteral("Error!! The Descriptions must be all differents")}));
    const QByteArray file = dir.read(QStringLiteral("SNMP_Trap.xml"));
    EXPECT_TRUE(file.contains("<SNMP_Trap_Write>\n    <row Enable=\"Y\" Community_Name=\"Brindle\"")) << file.constData();
    EXPECT_TRUE(file.endsWith("<!--SW_VERSION = 1.302-->\n"));
}

// A file without one of its sections: the other section loads, the user is told, and OK asks
// before the file is replaced.
TEST_F(SnmpDialogsTest, TrapFileMissingASectionKeepsTheOther)
{
    dir.write(QStringLiteral("SNMP_Trap.xml"),
              tf::tableXml("SNMP_Trap", {{"SNMP_Trap_Write", {tf::trapWriteRow({.description = "w"})}}}));
    TFSNMP_Trap_Access d;
    user([](TTableDialog& t) {
        EXPECT_EQ(t.grid(TrapWrite)->Cells(TwDescription, 1), QStringLiteral("w"));
        t.Btn_OK->click(); // No to the question
        t.Btn_Cancel->click();
    });
    EXPECT_EQ(d.showModal(), platform::mrCancel);
    ASSERT_EQ(boxes.texts().size(), 2);
    EXPECT_EQ(boxes.texts()[0], QStringLiteral("Error! The file SNMP_Trap.xml has no section SNMP_Trap_Read."));
    EXPECT_TRUE(boxes.texts()[1].startsWith(QStringLiteral("The file SNMP_Trap.xml could not be read whole.")));
    EXPECT_FALSE(dir.read(QStringLiteral("SNMP_Trap.xml")).contains("SNMP_Trap_Read"));
}
