#include "controls/button/FxButton.h"
#include "controls/grid/column/ColumnGrid.h"
#include "support/FakeDialogs.h"
#include "support/TableFiles.h"
#include "support/TempDir.h"
#include "tables/knx/KnxTables.h"
#include "tables/knx/window/KnxAccess.h"
#include "workspace/LangTexts.h"
#include "workspace/Workspace.h"

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

using namespace tables;
using namespace tables::knx;
using platform::MsgAnswer;
using testing_support::FakeMessageBoxes;
using testing_support::TempDir;
namespace tf = testing_support::tables;

namespace {

class KnxAccessTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        workspace::Default_Texts();
        scoped->Path_KNX_SetAccess = dir.file(QStringLiteral("KNX_SetAccess.xml"));
    }
    void TearDown() override { platform::setModalDriver(previous_); }
    void user(std::function<void(TFKNXAccess&)> act)
    {
        previous_ = platform::setModalDriver([act](platform::Form& f) { act(static_cast<TFKNXAccess&>(f)); });
    }

    workspace::ScopedWorkspace scoped{16};
    TempDir dir;
    FakeMessageBoxes boxes;
    platform::ModalDriver previous_;
};

} // namespace

TEST_F(KnxAccessTest, OneGridTheHiddenReadGridAndFixedCopyCaptions)
{
    TFKNXAccess d;
    EXPECT_EQ(d.objectName(), QStringLiteral("FKNXAccess"));
    EXPECT_EQ(d.size(), QSize(1141, 337));
    EXPECT_EQ(d.windowTitle(), QStringLiteral("KNX Set Access"));
    EXPECT_EQ(d.ACG_KNX_in_Read, nullptr); // built with the other controls, at the first show
    d.ensureControls();
    EXPECT_EQ(d.PageControl1, nullptr);
    EXPECT_EQ(d.grid(0)->objectName(), QStringLiteral("ACG_KNX_in_Write"));
    EXPECT_EQ(d.grid(0)->ColCount(), 17);
    EXPECT_EQ(d.grid(0)->Columns().Items(0)->Header(), QStringLiteral("N"));
    EXPECT_EQ(d.grid(0)->Columns().Items(KnxOnCommand)->Header(), QStringLiteral("OnCMD"));
    ASSERT_NE(d.Btn_CopyRow, nullptr);
    EXPECT_EQ(d.Btn_CopyRow->caption(), QStringLiteral("Copy Row"));
    EXPECT_EQ(d.Btn_PasteRow->caption(), QStringLiteral("Paste Row"));
    ASSERT_NE(d.ACG_KNX_in_Read, nullptr);
    EXPECT_FALSE(d.ACG_KNX_in_Read->isVisibleTo(&d));
    EXPECT_EQ(d.ACG_KNX_in_Read->Columns().Items(5)->Header(), QStringLiteral("TimeOut"));

    // A change of language relabels both grids; Copy Row and Paste Row keep their captions.
    workspace::ws().Lang_Texts[947] = QStringLiteral("Zeile einfuegen");
    workspace::ws().Lang_Texts[960] = QStringLiteral("Zeitlimit");
    workspace::ws().Lang_Texts[978] = QStringLiteral("Laenge");
    d.Set_Lang();
    EXPECT_EQ(d.Btn_InsRow->caption(), QStringLiteral("Zeile einfuegen"));
    EXPECT_EQ(d.ACG_KNX_in_Read->Columns().Items(5)->Header(), QStringLiteral("Zeitlimit"));
    EXPECT_EQ(d.grid(0)->Columns().Items(KnxLength)->Header(), QStringLiteral("Laenge"));
    EXPECT_EQ(d.Btn_CopyRow->caption(), QStringLiteral("Copy Row"));
}

// Showing loads the write section, shows every loaded priority as a list text and leaves fresh
// rows as they are; OK writes the read section empty again.
TEST_F(KnxAccessTest, ShowingLoadsTheWriteRowsAndOkSavesThem)
{
    dir.write(QStringLiteral("KNX_SetAccess.xml"),
              tf::tableXml("BACnet_to_KNX",
                           {{"KNX_in_Read", {tf::knxRow({.mnemonic = "by hand"})}},
                            {"KNX_in_Write", {tf::knxRow({.priority = "NORMAL"}), tf::knxRow({.priority = "low", .position = "5"})}}},
                           {}, "SW_VERSION = 1.009"));
    TFKNXAccess d;
    user([](TFKNXAccess& t) {
        TExtColumnGrid* g = t.grid(0);
        EXPECT_EQ(g->RowCount(), 513);
        EXPECT_EQ(g->Columns().Items(KnxPosition)->ComboItems().Count(), 1439);
        EXPECT_EQ(g->Columns().Items(KnxPosition)->ComboItems().Strings(1438), QStringLiteral("1438"));
        EXPECT_EQ(g->Cells(KnxPriority, 1), QStringLiteral("Normal"));
        EXPECT_EQ(g->Cells(KnxPriority, 2), QStringLiteral("Low"));
        EXPECT_EQ(g->Cells(KnxPriority, 3), QString());
        EXPECT_EQ(g->Cells(KnxEnable, 512), QStringLiteral("Y"));
        EXPECT_EQ(t.ACG_KNX_in_Read->Cells(0, 512), QStringLiteral("512"));
        EXPECT_EQ(t.ACG_KNX_in_Read->Cells(1, 1), QString()); // never loaded
        t.Btn_OK->click();
    });
    EXPECT_EQ(d.showModal(), platform::mrOk);
    EXPECT_TRUE(boxes.texts().isEmpty()) << boxes.texts().join('\n').toStdString();
    const QByteArray file = dir.read(QStringLiteral("KNX_SetAccess.xml"));
    EXPECT_TRUE(file.startsWith("<BACnet_to_KNX>\n  <KNX_in_Read />\n  <KNX_in_Write>\n")) << file.constData();
    EXPECT_FALSE(file.contains("by hand"));
    EXPECT_EQ(file.count("Priority=\"Normal\""), 1);
    EXPECT_EQ(file.count("Priority=\"Low\""), 1);
}

// A click on a row's number selects the row; Delete Row then asks for that row.
TEST_F(KnxAccessTest, AClickOnTheRowNumberSelectsTheRow)
{
    dir.write(QStringLiteral("KNX_SetAccess.xml"),
              tf::knxXml({tf::knxRow({.mnemonic = "a"}), tf::knxRow({.mnemonic = "b"}), tf::knxRow({.mnemonic = "c"})}));
    TFKNXAccess d;
    boxes.answer(MsgAnswer::Yes);
    user([](TFKNXAccess& t) {
        TExtColumnGrid* g = t.grid(0);
        t.show();
        QApplication::processEvents();
        const platform::Rect r = g->CellRect(0, 2);
        QTest::mouseClick(g->viewport(), Qt::LeftButton, Qt::NoModifier,
                          QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2));
        QApplication::processEvents();
        EXPECT_EQ(g->Row(), 2);
        EXPECT_EQ(g->Selection(), (platform::TGridRect{1, 2, 16, 2}));
        t.Btn_DelRowClick();
        EXPECT_EQ(g->Cells(KnxMnemonic, 2), QStringLiteral("c"));
        // A click on a data cell selects only that cell.
        t.ACG_KNX_in_WriteClickCell(1, 3);
        EXPECT_EQ(g->Row(), 2);
        t.Btn_Cancel->click();
    });
    d.showModal();
    EXPECT_EQ(boxes.texts(), QStringList{QStringLiteral("Are you sure to delete the Row number 2")});
}

// A row fails with the message of its first fault; once mended, OK saves.
TEST_F(KnxAccessTest, OkShowsTheFirstFaultThenSaves)
{
    TFKNXAccess d;
    user([this](TFKNXAccess& t) {
        TExtColumnGrid* g = t.grid(0);
        const QStringList row = {"Y", "1.1.1", "1/2/3", "Write", "Normal", "None", "N", "N", "N", "Y", "N", "", "1437",
                                 "7", "10", "Bits"};
        for (int c = 1; c <= row.size(); ++c)
            g->SetCells(c, 1, row[c - 1]);
        t.Btn_OK->click();
        EXPECT_EQ(boxes.texts().last(),
                  QStringLiteral("Error row 1!! [KNX in Write] Position plus Length must be minor or equal to 1439"));
        g->SetCells(KnxPosition, 1, QStringLiteral("1436"));
        g->SetRow(1);
        t.Btn_CopyRowClick();
        g->SetRow(2);
        t.Btn_PasteRowClick();
        g->SetCells(KnxDestination, 2, QStringLiteral("1.2"));
        t.Btn_OK->click();
        EXPECT_EQ(boxes.texts().last(), QStringLiteral("Error row 2!! [KNX in Write] Destination Address must be a valid "
                                                       "KNX Individual Address (Ex. 15.15.255)"));
        g->SetCells(KnxEnable, 2, QStringLiteral("N"));
        t.Btn_OK->click();
    });
    EXPECT_EQ(d.showModal(), platform::mrOk);
    EXPECT_EQ(boxes.texts().size(), 2);
    EXPECT_EQ(dir.read(QStringLiteral("KNX_SetAccess.xml")).count("<row "), 2);
}

// The frame's protections hold here too: a file whose row lacks a required attribute names the
// file and the row and is replaced only when the user agrees; a filled row below an empty source
// address is dropped only when the user agrees.
TEST_F(KnxAccessTest, DamagedFilesAndDroppedRowsAreAskedAbout)
{
    dir.write(QStringLiteral("KNX_SetAccess.xml"),
              tf::knxXml({tf::knxRow({.mnemonic = "a"}), tf::without(tf::knxRow({.mnemonic = "b"}), "Length")}));
    TFKNXAccess d;
    boxes.answer(MsgAnswer::Ok);  // the load's error
    boxes.answer(MsgAnswer::No);  // replace the damaged file? No
    boxes.answer(MsgAnswer::Yes); // drop row 3? Yes
    boxes.answer(MsgAnswer::Yes); // replace? Yes
    user([](TFKNXAccess& t) {
        TExtColumnGrid* g = t.grid(0);
        EXPECT_EQ(g->Cells(KnxMnemonic, 1), QStringLiteral("a"));
        EXPECT_EQ(g->Cells(KnxSource, 2), QString()); // the load stopped at row 2
        t.Btn_OK->click();
        EXPECT_EQ(t.modalResult(), platform::mrNone);
        g->SetCells(KnxMnemonic, 3, QStringLiteral("below an empty row"));
        t.Btn_OK->click();
    });
    EXPECT_EQ(d.showModal(), platform::mrOk);
    ASSERT_EQ(boxes.texts().size(), 4);
    EXPECT_EQ(boxes.texts()[0], QStringLiteral("Error! The file KNX_SetAccess.xml: row 2 of KNX_in_Write lacks the "
                                               "attribute Length; the rows from there on were not loaded."));
    EXPECT_TRUE(boxes.texts()[1].startsWith(QStringLiteral("The file KNX_SetAccess.xml could not be read whole.")));
    EXPECT_TRUE(boxes.texts()[2].startsWith(QStringLiteral("Row 3 of KNX_in_Write follows an empty row")))
        << boxes.texts()[2].toStdString();
    const QByteArray file = dir.read(QStringLiteral("KNX_SetAccess.xml"));
    EXPECT_EQ(file.count("<row "), 1);
    EXPECT_FALSE(file.contains("below an empty row"));
}
