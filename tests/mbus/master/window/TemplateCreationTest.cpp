#include "MasterFixture.h"
#include "controls/button/FxButton.h"
#include "controls/grid/column/ColumnGrid.h"
#include "mbus/master/window/UTemplate_Creation.h"
#include "support/QtPrinters.h"

#include <QFile>
#include <QLabel>
#include <QTabWidget>
#include <gtest/gtest.h>

using namespace mbus::master;
using master_test::MasterProject;
using platform::MsgAnswer;
using testing_support::dataFile;

namespace {

class TemplateCreationTest : public ::testing::Test {
protected:
    TemplateCreationTest() { w.FormShowForTest(); }

    // Types a row into a grid from column `from` on.
    static void typeRow(TExtColumnGrid* g, int row, const QStringList& cells, int from = 1)
    {
        for (int k = 0; k < cells.size(); ++k)
            g->SetCells(from + k, row, cells[k]);
    }
    QStringList row(TExtColumnGrid* g, int r) const
    {
        QStringList cells;
        for (int c = 0; c < g->ColCount(); ++c)
            cells << g->Cells(c, r);
        return cells;
    }

    MasterProject project{1002};
    struct Window : TFTemplate_Creation {
        void FormShowForTest() { FormShow(); }
    } w;
};

const QStringList kNodeState{"0", "0", "4", "0", "13", "0", "0", "", "", "0", "NS xx'yy'zzz'", "Node State"};
const QStringList kIdent{"0", "0", "4", "0", "23", "0", "0", "", "", "0", "IN xx'yy'zzz'", "Identification Number"};
const QStringList kFlow{"1", "19", "4", "0", "2", "1", "2", "10FB", "62", "3", "Flow xx'.yy'.zzz' m3/h", "Flow rate"};
const QStringList kRequest{"1", "5", "105BFE5916", "3", "229", "0", "1"};

} // namespace

TEST_F(TemplateCreationTest, CreatingTheWindowBuildsNoControl)
{
    TFTemplate_Creation fresh;
    EXPECT_FALSE(fresh.controlsBuilt());
    EXPECT_EQ(fresh.ACG_BACnet, nullptr);
    EXPECT_EQ(fresh.size(), QSize(1083, 337));
    EXPECT_EQ(fresh.windowTitle(), QStringLiteral("Template Creation"));
    EXPECT_EQ(fresh.Hint_BACnet.size(), 12);
}

TEST_F(TemplateCreationTest, LaysOutTwoPagesOfGridsAndEightButtons)
{
    EXPECT_EQ(w.size(), QSize(1083, 337));
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Template Creation"));
    EXPECT_EQ(w.L_SW_Code->text(), QStringLiteral("GX-TEST"));
    EXPECT_EQ(w.L_SW_Desc->text(), QStringLiteral("Create a New M-Bus Device Template"));
    EXPECT_EQ(w.PageControl1->tabText(0), QStringLiteral("BACnet Objects"));
    EXPECT_EQ(w.PageControl1->tabText(1), QStringLiteral("M-Bus Requests"));
    EXPECT_EQ(w.ACG_BACnet->ColCount(), 13);
    EXPECT_EQ(w.ACG_BACnet->RowCount(), 2001);
    EXPECT_EQ(w.ACG_MBus->ColCount(), 8);
    EXPECT_EQ(w.ACG_MBus->RowCount(), 2001);
    EXPECT_EQ(w.ACG_BACnet->Columns().Items(8)->Header(), QStringLiteral("Write Frame"));
    EXPECT_EQ(w.ACG_MBus->Columns().Items(0)->Header(), QStringLiteral("Step"));
    const QStringList captions{"Create Template", "Cancel", "Delete Row", "Insert Row", "Copy Row", "Paste Row",
                               "Import CSV", "Erase"};
    const controls::TFxButton* buttons[] = {w.Btn_Create_Template, w.Btn_Cancel, w.Btn_DelRow, w.Btn_InsRow,
                                            w.Btn_CopyRow,         w.Btn_PasteRow, w.Btn_Import, w.Btn_Erase};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(buttons[i]->caption(), captions[i]);
        EXPECT_EQ(buttons[i]->geometry().topLeft(), QPoint(16 + 118 * i, 6));
    }
    EXPECT_EQ(w.Btn_Erase->hint(), QStringLiteral("Erase all teh fields in the table"));

    // Header hints: the objects' from column 1, the requests' from column 0; none below.
    QString hint;
    w.ACG_BACnet->OnGridHint(w.ACG_BACnet, 0, 12, hint);
    EXPECT_EQ(hint, QStringLiteral("Description of the BACnet Object"));
    hint.clear();
    w.ACG_BACnet->OnGridHint(w.ACG_BACnet, 0, 0, hint);
    w.ACG_BACnet->OnGridHint(w.ACG_BACnet, 1, 3, hint);
    EXPECT_TRUE(hint.isEmpty());
    w.ACG_MBus->OnGridHint(w.ACG_MBus, 0, 0, hint);
    EXPECT_EQ(hint, QStringLiteral("Step of M-Bus Request List"));
}

TEST_F(TemplateCreationTest, EveryShowingStartsWithEmptyNumberedTablesOnTheObjectsPage)
{
    typeRow(w.ACG_BACnet, 5, kFlow);
    typeRow(w.ACG_MBus, 2000, kRequest);
    w.ACG_MBus->SetCells(0, 3, "x");
    w.PageControl1->setCurrentIndex(1);
    w.Btn_CopyRowClick();
    EXPECT_TRUE(w.Do_Copy_MBus());
    w.FormShowForTest();
    EXPECT_FALSE(w.Do_Copy_MBus());
    EXPECT_EQ(w.PageControl1->currentIndex(), 0);
    EXPECT_EQ(row(w.ACG_BACnet, 5), (QStringList{"5", "", "", "", "", "", "", "", "", "", "", "", ""}));
    EXPECT_EQ(w.ACG_MBus->Cells(0, 3), QStringLiteral("3"));
    EXPECT_EQ(w.ACG_MBus->Cells(0, 2000), QStringLiteral("2000"));
    EXPECT_TRUE(w.ACG_MBus->Cells(1, 2000).isEmpty());
}

TEST_F(TemplateCreationTest, TheCsvImportFillsTheRowsTheFileGives)
{
    // The row below the file's lines and the blank line's row keep what they held.
    typeRow(w.ACG_BACnet, 3, {"keep"});
    typeRow(w.ACG_BACnet, 5, {"below"});
    project.files.choose(QStringLiteral(VN_TEST_DATA_DIR "/mbus/master/objects.csv"));
    project.boxes.answer(MsgAnswer::Yes);
    w.Btn_ImportClick();
    EXPECT_EQ(project.boxes.texts(), QStringList{"Do you want to overwrite the table?"});
    ASSERT_EQ(project.files.requests().size(), 1u);
    EXPECT_EQ(project.files.requests()[0].filter, QStringLiteral("CSV File (*.csv)"));
    EXPECT_EQ(row(w.ACG_BACnet, 1),
              (QStringList{"1", "0", "0", "4", "0", "13", "0", "0", "", "95", "0", "NS xx'yy'zzz'", "Node State"}));
    EXPECT_EQ(w.ACG_BACnet->Cells(12, 2), QStringLiteral("Identification Number"));
    EXPECT_EQ(w.ACG_BACnet->Cells(1, 3), QStringLiteral("keep"));
    // A Windows-1252 file; the fields beyond the last column are dropped.
    EXPECT_EQ(row(w.ACG_BACnet, 4),
              (QStringList{"4", "1", "19", "4", "0", "2", "0", "2", "10FB", "62", "3", "Temp xx'.yy'.zzz'",
                           QStringLiteral("Temp\u00E9rature")}));
    EXPECT_EQ(w.ACG_BACnet->Cells(1, 5), QStringLiteral("below"));

    // On the requests page the first field fills the step column.
    w.PageControl1->setCurrentIndex(1);
    project.files.choose(QStringLiteral(VN_TEST_DATA_DIR "/mbus/master/requests.csv"));
    project.boxes.answer(MsgAnswer::Yes);
    w.Btn_ImportClick();
    EXPECT_EQ(row(w.ACG_MBus, 2), (QStringList{"2", "2", "5", "107BFE7916", "3", "229", "0", "1"}));
}

TEST_F(TemplateCreationTest, AnImportThatIsRefusedOrCannotBeReadChangesNoRow)
{
    typeRow(w.ACG_BACnet, 1, kFlow);
    const QStringList before = row(w.ACG_BACnet, 1);
    // Cancel in the file dialog; a file that is gone; No to the question.
    w.Btn_ImportClick();
    project.files.choose(project.dir.file("gone.csv"));
    w.Btn_ImportClick();
    project.files.choose(QStringLiteral(VN_TEST_DATA_DIR "/mbus/master/objects.csv"));
    project.boxes.answer(MsgAnswer::No);
    w.Btn_ImportClick();
    EXPECT_EQ(project.boxes.texts(), (QStringList{"File not exists", "Do you want to overwrite the table?"}));
    // A header-only file changes nothing either.
    project.boxes.clear();
    project.files.choose(project.dir.write("header.csv", "Frame;Position\r\n"));
    project.boxes.answer(MsgAnswer::Yes);
    w.Btn_ImportClick();
    EXPECT_EQ(row(w.ACG_BACnet, 1), before);
    // A file that cannot be read: an error naming it.
    project.boxes.clear();
    EXPECT_FALSE(w.Import_CSV(w.ACG_BACnet, project.dir.file("gone.csv"), 1));
    ASSERT_EQ(project.boxes.texts().size(), 1);
    EXPECT_TRUE(project.boxes.texts()[0].startsWith("The file gone.csv cannot be read: ")) << project.boxes.texts()[0].toStdString();
    EXPECT_EQ(row(w.ACG_BACnet, 1), before);
}

TEST_F(TemplateCreationTest, LinesBeyondTheLastRowAreReportedNotImported)
{
    QByteArray csv = "header\n";
    for (int i = 1; i <= 2003; ++i)
        csv += QByteArray::number(i) + ";x\n";
    EXPECT_TRUE(w.Import_CSV(w.ACG_BACnet, project.dir.write("big.csv", csv), 1));
    EXPECT_EQ(w.ACG_BACnet->Cells(1, 2000), QStringLiteral("2000"));
    EXPECT_EQ(project.boxes.texts(),
              QStringList{"The table has 2000 rows: 3 lines of the file beyond them were not imported."});
}

TEST_F(TemplateCreationTest, CreateTemplateWritesTheGoldenFileUnderTheChosenName)
{
    typeRow(w.ACG_BACnet, 1, kNodeState);
    typeRow(w.ACG_BACnet, 2, kIdent);
    typeRow(w.ACG_BACnet, 3, kFlow);
    typeRow(w.ACG_MBus, 1, kRequest);
    w.ACG_MBus->SetCells(0, 1, "9"); // the step column does not count
    const QString path = project.templateFile("Heat.xml");
    int asked = 0;
    w.askTemplateName = [&]() -> std::optional<QString> {
        ++asked;
        return path;
    };
    w.Btn_Create_TemplateClick();
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(project.boxes.texts().isEmpty()) << project.boxes.texts().join("|").toStdString();
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(master_test::canonicalXml(f.readAll()),
              master_test::canonicalXml(dataFile("mbus/master/Template_Created.xml")));
    EXPECT_TRUE(w.List_BACnet.empty() && w.List_MBus.empty());
    // The window stays open and keeps the tables.
    EXPECT_EQ(w.ACG_BACnet->Cells(1, 3), QStringLiteral("1"));
}

TEST_F(TemplateCreationTest, AFailedCheckOrACancelledNameWritesNothing)
{
    typeRow(w.ACG_BACnet, 1, kNodeState);
    typeRow(w.ACG_BACnet, 2, kFlow);
    int asked = 0;
    w.askTemplateName = [&]() -> std::optional<QString> {
        ++asked;
        return std::nullopt;
    };
    w.Btn_Create_TemplateClick();
    EXPECT_EQ(project.boxes.texts(),
              QStringList{"[BACnet Objects] Error row 2!! Frame must be 0 for the first and second row (Node State "
                          "and Identification Number)"});
    EXPECT_EQ(asked, 0);
    typeRow(w.ACG_BACnet, 2, kIdent);
    w.Btn_Create_TemplateClick();
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(QDir(workspace::ws().Template_Dir).isEmpty());
    EXPECT_TRUE(w.List_BACnet.empty());

    // Two empty tables make a template too; a file that cannot be written is reported.
    w.FormShowForTest();
    project.boxes.clear();
    w.askTemplateName = [&]() -> std::optional<QString> { return project.dir.file("no/such/folder/T.xml"); };
    w.Btn_Create_TemplateClick();
    ASSERT_EQ(project.boxes.texts().size(), 1);
    EXPECT_TRUE(project.boxes.texts()[0].startsWith("The file T.xml cannot be written")) << project.boxes.texts()[0].toStdString();
    w.askTemplateName = [&]() -> std::optional<QString> { return project.templateFile("Empty.xml"); };
    w.Btn_Create_TemplateClick();
    QFile empty(project.templateFile("Empty.xml"));
    ASSERT_TRUE(empty.open(QIODevice::ReadOnly));
    const QByteArray bytes = empty.readAll();
    EXPECT_TRUE(bytes.contains("<List_Variables />") || bytes.contains("<List_Variables/>")) << bytes.toStdString();
    EXPECT_FALSE(bytes.contains("<Var>"));
}

TEST_F(TemplateCreationTest, RowButtonsWorkOnTheGridOfThePageShown)
{
    typeRow(w.ACG_BACnet, 1, kNodeState);
    typeRow(w.ACG_BACnet, 2, kIdent);
    w.ACG_BACnet->MoveToCell(3, 2);
    w.Btn_CopyRowClick();
    EXPECT_TRUE(w.Do_Copy_BACnet());
    EXPECT_FALSE(w.Do_Copy_MBus());

    // A row copied from the objects cannot be pasted into the requests.
    w.PageControl1->setCurrentIndex(1);
    w.ACG_MBus->MoveToCell(1, 1);
    w.Btn_PasteRowClick();
    EXPECT_EQ(project.boxes.texts(), QStringList{"Error!!! Copy a valid row before Paste it"});
    EXPECT_TRUE(w.ACG_MBus->Cells(1, 1).isEmpty());

    // Back on the objects page: paste onto row 1 asks first.
    w.PageControl1->setCurrentIndex(0);
    w.ACG_BACnet->MoveToCell(1, 1);
    project.boxes.clear();
    project.boxes.answer(MsgAnswer::Yes);
    w.Btn_PasteRowClick();
    EXPECT_EQ(project.boxes.texts(), QStringList{"Row Already used. Do you want to overwrite the values?"});
    EXPECT_EQ(w.ACG_BACnet->Cells(5, 1), QStringLiteral("23"));

    // Insert at row 1 without a question; the numbers stay.
    project.boxes.clear();
    w.Btn_InsRowClick();
    EXPECT_TRUE(project.boxes.texts().isEmpty());
    EXPECT_EQ(row(w.ACG_BACnet, 1), (QStringList{"1", "", "", "", "", "", "", "", "", "", "", "", ""}));
    EXPECT_EQ(w.ACG_BACnet->Cells(0, 2), QStringLiteral("2"));
    EXPECT_EQ(w.ACG_BACnet->Cells(5, 3), QStringLiteral("23"));

    // Delete asks with the row number; No keeps the row.
    w.Btn_DelRowClick();
    EXPECT_EQ(project.boxes.texts(), QStringList{"Are you sure to delete the Row number 1"});
    EXPECT_TRUE(w.ACG_BACnet->Cells(1, 1).isEmpty());
    project.boxes.answer(MsgAnswer::Yes);
    w.Btn_DelRowClick();
    EXPECT_EQ(w.ACG_BACnet->Cells(5, 1), QStringLiteral("23"));

    // Erase asks; Yes empties the table of the page shown only.
    typeRow(w.ACG_MBus, 1, kRequest);
    project.boxes.clear();
    w.Btn_EraseClick();
    EXPECT_EQ(project.boxes.texts(), QStringList{"Are you sure to erase this table?"});
    EXPECT_EQ(w.ACG_BACnet->Cells(5, 1), QStringLiteral("23"));
    project.boxes.answer(MsgAnswer::Yes);
    w.Btn_EraseClick();
    EXPECT_TRUE(w.ACG_BACnet->Cells(5, 1).isEmpty());
    EXPECT_EQ(w.ACG_MBus->Cells(1, 1), QStringLiteral("1"));
}

TEST_F(TemplateCreationTest, AClickOnARowNumberSelectsTheWholeRow)
{
    w.ACG_BACnet->OnClickCell(w.ACG_BACnet, 7, 0);
    const auto sel = w.ACG_BACnet->Selection();
    EXPECT_EQ(sel.Top, 7);
    EXPECT_EQ(sel.Bottom, 7);
    EXPECT_EQ(sel.Left, 1);
    EXPECT_EQ(sel.Right, 12);
}
