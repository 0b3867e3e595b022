#include "controls/button/FxButton.h"
#include "controls/grid/column/ColumnGrid.h"
#include "support/FakeDialogs.h"
#include "support/TempDir.h"
#include "tables/frame/window/TableDialog.h"
#include "workspace/LangTexts.h"
#include "workspace/Workspace.h"

#include <QFile>
#include <QLabel>
#include <QTabWidget>
#include <gtest/gtest.h>

using namespace tables;
using platform::MsgAnswer;
using testing_support::FakeMessageBoxes;
using testing_support::TempDir;

namespace {

// Pages "Modbus Read" / "Modbus Write" (texts 389, 390), three columns each, capacity 5; a row
// fails its check when its key is "bad".
TableDescription testTable(const QString& path)
{
    TableDescription s;
    s.window = {.className = QStringLiteral("FTest"), .captionText = 383, .descText = 384, .clientWidth = 700};
    s.buttons = {.ok = 385, .cancel = 386, .delRow = 387, .insRow = 388};
    s.deleteQuestionText = 441;
    s.path = [path] { return path; };
    s.root = QStringLiteral("Root");
    s.comments = {{0, QStringLiteral("SW_VERSION = 1.702")}};
    s.capacity = 5;
    s.limits = {20, 10};
    for (const auto& [element, page] : {std::pair{"Read", 389}, std::pair{"Write", 390}}) {
        SectionDescription sec{.element = QLatin1String(element), .pageText = page, .keyColumn = 1};
        sec.columns = {{.headerText = 392, .attribute = QStringLiteral("Key"), .width = 80, .colour = 0xE0FAFE},
                       {.headerText = 398, .attribute = QStringLiteral("Position"), .editor = Editor::ComboList,
                        .fill = element == std::string_view("Read") ? ListFill::BytesIn : ListFill::BytesOut},
                       {.headerText = 400, .attribute = QStringLiteral("Flag"), .editor = Editor::DataCheckBox,
                        .absent = QStringLiteral("N")}};
        s.sections.push_back(sec);
    }
    return s;
}

class TestDialog : public TTableDialog {
public:
    using TTableDialog::TTableDialog;
    using TTableDialog::FormShow;

protected:
    std::optional<Failure> checkRow(const RowView& r) override
    {
        if (r.trimmed(1) == QLatin1String("bad"))
            return Failure{418, 419};
        return std::nullopt;
    }
};

class TableDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        workspace::Default_Texts();
        scoped->SW_Code = QStringLiteral("VN-0");
    }
    QString file() const { return dir.file(QStringLiteral("t.xml")); }

    workspace::ScopedWorkspace scoped{0};
    TempDir dir;
    FakeMessageBoxes boxes;
};

} // namespace

TEST_F(TableDialogTest, LaysOutTitlePagesGridsAndTheButtonPanel)
{
    TestDialog d(testTable(file()));
    EXPECT_EQ(d.size(), QSize(700, 337));
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Set Access"));
    // Created, the dialog has no control yet; the first show (or asking for them) builds them.
    EXPECT_FALSE(d.controlsBuilt());
    EXPECT_EQ(d.findChildren<QWidget*>().size(), 0);
    EXPECT_EQ(d.Btn_OK, nullptr);
    d.ensureControls();
    EXPECT_EQ(d.L_SW_Code->text(), QStringLiteral("VN-0"));
    EXPECT_EQ(d.L_SW_Desc->text(), QStringLiteral("Set Access Modbus Master"));
    EXPECT_EQ(d.P_Title->geometry(), QRect(0, 0, 700, 69));
    EXPECT_EQ(d.P_Button->geometry(), QRect(0, 297, 700, 40));
    ASSERT_NE(d.PageControl1, nullptr);
    EXPECT_EQ(d.PageControl1->count(), 2);
    EXPECT_EQ(d.PageControl1->tabText(1), QStringLiteral("Modbus Write"));
    int left = 16;
    for (controls::TFxButton* b : {d.Btn_OK, d.Btn_Cancel, d.Btn_DelRow, d.Btn_InsRow}) {
        EXPECT_EQ(b->geometry(), QRect(left, 6, 110, 28)) << b->objectName().toStdString();
        left += 118;
    }
    EXPECT_EQ(d.Btn_OK->caption(), QStringLiteral("OK"));
    EXPECT_EQ(d.Btn_CopyRow, nullptr);
    TExtColumnGrid* g = d.grid(0);
    EXPECT_EQ(g->RowCount(), 6);
    EXPECT_EQ(g->ColCount(), 4);
    EXPECT_EQ(g->Columns().Items(1)->Header(), QStringLiteral("Slave ID"));
    EXPECT_EQ(g->Columns().Items(1)->Width(), 80);
    EXPECT_EQ(g->Columns().Items(1)->GetColor(), platform::rgb(0xE0, 0xFA, 0xFE));
    EXPECT_EQ(g->Columns().Items(3)->Editor(), controls::grid::edDataCheckBox);
    EXPECT_TRUE(g->options().testFlag(platform::goColSizing)) << "header borders size the columns";
    EXPECT_EQ(g->fixedRows(), 1);
}

TEST_F(TableDialogTest, ShowingLoadsTheFileAndFillsThePositionListsAndOkSavesItBack)
{
    dir.write(QStringLiteral("t.xml"),
              "<Root><Read><row Key=\"1\" Position=\"3\" Flag=\"Y\"/><row Key=\"2\" Position=\"4\"/></Read>"
              "<Write><row Key=\"w\" Position=\"9\" Flag=\"N\"/></Write></Root><!--SW_VERSION = 1.702-->");
    TestDialog d(testTable(file()));
    d.setCurrentSection(1);
    d.FormShow();
    EXPECT_TRUE(boxes.texts().isEmpty());
    EXPECT_EQ(d.currentSection(), 0);
    EXPECT_EQ(d.focusWidget(), d.grid(0)) << "typing goes to the first grid";
    EXPECT_EQ(QPoint(d.grid(0)->Col(), d.grid(0)->Row()), QPoint(1, 1));
    EXPECT_EQ(d.grid(0)->Cells(0, 5), QStringLiteral("5"));
    EXPECT_EQ(d.grid(0)->Cells(3, 2), QStringLiteral("N"));
    EXPECT_EQ(d.grid(1)->Cells(1, 1), QStringLiteral("w"));
    EXPECT_EQ(d.grid(0)->Columns().Items(2)->ComboItems().Count(), 20);
    EXPECT_EQ(d.grid(1)->Columns().Items(2)->ComboItems().Count(), 10);
    EXPECT_EQ(d.grid(1)->Columns().Items(2)->ComboItems().Strings(9), QStringLiteral("9"));

    d.grid(1)->SetCells(1, 2, QStringLiteral("x"));
    d.Btn_OKClick();
    EXPECT_EQ(d.modalResult(), platform::mrOk);
    EXPECT_EQ(dir.read(QStringLiteral("t.xml")),
              QByteArray("<Root>\n  <Read>\n    <row Key=\"1\" Position=\"3\" Flag=\"Y\" />\n"
                         "    <row Key=\"2\" Position=\"4\" Flag=\"N\" />\n  </Read>\n  <Write>\n"
                         "    <row Key=\"w\" Position=\"9\" Flag=\"N\" />\n    <row Key=\"x\" Position=\"\" Flag=\"\" />\n"
                         "  </Write>\n</Root>\n<!--SW_VERSION = 1.702-->\n"));
}

TEST_F(TableDialogTest, AFailingCheckShowsItsMessageAndWritesNothing)
{
    TestDialog d(testTable(file()));
    d.FormShow();
    d.grid(1)->SetCells(1, 1, QStringLiteral("ok"));
    d.grid(1)->SetCells(1, 2, QStringLiteral(" bad"));
    d.Btn_OKClick();
    EXPECT_EQ(boxes.texts(), QStringList{"Error row 2!! [Modbus Read] Slave ID must be between 1 and 247"});
    EXPECT_EQ(d.modalResult(), platform::mrNone);
    EXPECT_EQ(d.currentSection(), 0); // the page does not change
    EXPECT_FALSE(dir.exists(QStringLiteral("t.xml")));
}

TEST_F(TableDialogTest, AFailedWriteNamesTheFileAndTheDialogStaysOpen)
{
    TestDialog d(testTable(dir.file(QStringLiteral("missing/t.xml"))));
    d.FormShow();
    d.grid(0)->SetCells(1, 1, QStringLiteral("1"));
    d.Btn_OKClick();
    ASSERT_EQ(boxes.texts().size(), 1);
    EXPECT_TRUE(boxes.texts()[0].startsWith(QStringLiteral("Error! The file t.xml cannot be written: ")));
    EXPECT_EQ(d.modalResult(), platform::mrNone);
    EXPECT_EQ(d.grid(0)->Cells(1, 1), QStringLiteral("1"));
}

TEST_F(TableDialogTest, InsertRowAsksBeforeTheFilledLastRowIsLost)
{
    TestDialog d(testTable(file()));
    d.FormShow();
    TExtColumnGrid* g = d.grid(0);
    for (int r = 1; r <= 5; ++r)
        g->SetCells(1, r, QString::number(r * 10));
    g->MoveToCell(1, 2);
    d.Btn_InsRowClick();
    EXPECT_EQ(boxes.texts(), QStringList{"The last row (5) holds values that Insert Row would lose. Insert anyway?"});
    EXPECT_EQ(g->Cells(1, 2), QStringLiteral("20")); // No: nothing changed
    EXPECT_EQ(g->Cells(1, 5), QStringLiteral("50"));
    boxes.answer(MsgAnswer::Yes);
    d.Btn_InsRowClick();
    EXPECT_EQ(g->Cells(1, 2), QString());
    EXPECT_EQ(g->Cells(1, 5), QStringLiteral("40"));
    // With an empty last row no question is asked.
    g->SetCells(1, 5, QString());
    boxes.clear();
    d.Btn_InsRowClick();
    EXPECT_TRUE(boxes.texts().isEmpty());
    EXPECT_EQ(g->Cells(1, 5), QStringLiteral("30"));
}

TEST_F(TableDialogTest, DeleteRowAsksWithTheRowNumber)
{
    TestDialog d(testTable(file()));
    d.FormShow();
    TExtColumnGrid* g = d.grid(0);
    g->SetCells(1, 1, QStringLiteral("a"));
    g->SetCells(1, 2, QStringLiteral("b"));
    g->MoveToCell(1, 1);
    d.Btn_DelRowClick();
    EXPECT_EQ(boxes.texts(), QStringList{"Are you sure to delete the Row number 1"});
    EXPECT_EQ(g->Cells(1, 1), QStringLiteral("a"));
    boxes.answer(MsgAnswer::Yes);
    d.Btn_DelRowClick();
    EXPECT_EQ(g->Cells(1, 1), QStringLiteral("b"));
}

TEST_F(TableDialogTest, OkAsksBeforeDroppingFilledRowsBelowAnEmptyKey)
{
    TestDialog d(testTable(file()));
    d.FormShow();
    d.grid(0)->SetCells(1, 1, QStringLiteral("1"));
    d.grid(0)->SetCells(2, 3, QStringLiteral("7")); // row 2 is empty, row 3 holds a Position
    d.Btn_OKClick();
    EXPECT_EQ(boxes.texts(),
              QStringList{"Row 3 of Modbus Read follows an empty row: it and the rows below it will not be saved. "
                          "Save anyway?"});
    EXPECT_FALSE(dir.exists(QStringLiteral("t.xml")));
    EXPECT_EQ(d.modalResult(), platform::mrNone);
    boxes.answer(MsgAnswer::Yes);
    d.Btn_OKClick();
    EXPECT_EQ(d.modalResult(), platform::mrOk);
    EXPECT_EQ(dir.read(QStringLiteral("t.xml")).count("<row "), 1);
}

TEST_F(TableDialogTest, OkAsksBeforeDroppingARowInUseWhoseKeyIsEmpty)
{
    // Row 2 filled in every cell but its key (the Modbus TCP row without its Slave IP Address).
    {
        TestDialog d(testTable(file()));
        d.FormShow();
        d.grid(1)->SetCells(1, 1, QStringLiteral("1"));
        d.grid(1)->SetCells(2, 2, QStringLiteral("7"));
        d.grid(1)->SetCells(3, 2, QStringLiteral("Y"));
        d.grid(1)->SetCells(2, 4, QStringLiteral("3")); // below it as well: one question only
        d.Btn_OKClick();
        EXPECT_EQ(boxes.texts(), QStringList{"Row 2 of Modbus Write holds values but its Slave ID is empty: it and the "
                                             "rows below it will not be saved. Save anyway?"});
        EXPECT_FALSE(dir.exists(QStringLiteral("t.xml")));
        EXPECT_EQ(d.modalResult(), platform::mrNone);
        boxes.clear();
        boxes.answer(MsgAnswer::Yes);
        d.Btn_OKClick();
        EXPECT_EQ(boxes.texts().size(), 1);
        EXPECT_EQ(d.modalResult(), platform::mrOk);
        EXPECT_EQ(dir.read(QStringLiteral("t.xml")).count("<row "), 1);
    }
    // A row with only its check box ticked holds no values: no question.
    {
        boxes.clear();
        QFile::remove(file());
        TestDialog d(testTable(file()));
        d.FormShow();
        d.grid(0)->SetCells(1, 1, QStringLiteral("1"));
        d.grid(0)->SetCells(3, 2, QStringLiteral("Y"));
        d.Btn_OKClick();
        EXPECT_TRUE(boxes.texts().isEmpty());
        EXPECT_EQ(d.modalResult(), platform::mrOk);
    }
    // A table that skips rows without a key asks for any of them, and names only that row.
    {
        boxes.clear();
        QFile::remove(file());
        TableDescription desc = testTable(file());
        desc.skipEmptyKeys = true;
        TestDialog d(desc);
        d.FormShow();
        d.grid(0)->SetCells(1, 1, QStringLiteral("1"));
        d.grid(0)->SetCells(1, 3, QStringLiteral("2"));
        d.grid(0)->SetCells(2, 4, QStringLiteral("5"));
        d.Btn_OKClick();
        EXPECT_EQ(boxes.texts(), QStringList{"Row 4 of Modbus Read holds values but its Slave ID is empty: it will not "
                                             "be saved. Save anyway?"});
        EXPECT_EQ(d.modalResult(), platform::mrNone);
    }
}

TEST_F(TableDialogTest, ADamagedFileIsReportedAndReplacedOnlyWhenTheUserAgrees)
{
    const QByteArray damaged("<Root>\n<Read>\n<row Key=\"1\" Position=\"0\" Flag=\"Y\"/>\n</Write></Root>");
    dir.write(QStringLiteral("t.xml"), damaged);
    TestDialog d(testTable(file()));
    d.FormShow();
    ASSERT_EQ(boxes.texts().size(), 1);
    EXPECT_TRUE(boxes.texts()[0].startsWith(QStringLiteral("Error! The file t.xml cannot be read (line 4): ")))
        << boxes.texts()[0].toStdString();
    boxes.clear();
    d.grid(0)->SetCells(1, 1, QStringLiteral("1"));
    d.Btn_OKClick();
    EXPECT_EQ(boxes.texts(), QStringList{"The file t.xml could not be read whole. Saving replaces it with the table "
                                         "as shown. Replace it?"});
    EXPECT_EQ(dir.read(QStringLiteral("t.xml")), damaged);
    boxes.answer(MsgAnswer::Yes);
    d.Btn_OKClick();
    EXPECT_EQ(d.modalResult(), platform::mrOk);
    EXPECT_TRUE(dir.read(QStringLiteral("t.xml")).startsWith("<Root>\n  <Read>\n    <row Key=\"1\""));
}

TEST_F(TableDialogTest, TheCloseBoxAndCancelLeaveTheFileAlone)
{
    TestDialog d(testTable(file()));
    d.FormShow();
    d.grid(0)->SetCells(1, 1, QStringLiteral("1"));
    d.Btn_Cancel->click();
    EXPECT_EQ(d.modalResult(), platform::mrCancel);
    EXPECT_FALSE(dir.exists(QStringLiteral("t.xml")));
}

// A grid with a hidden column: the header hint and the fit on a double click belong to the
// column under the mouse, not to the one after it.
TEST_F(TableDialogTest, HintsAndTheColumnFitFollowTheColumnPastAHiddenOne)
{
    TableDescription s;
    s.window = {.className = QStringLiteral("FHints"), .captionText = 2100, .descText = 2101, .clientWidth = 600};
    s.buttons = {.ok = 2102, .cancel = 2103};
    s.path = [this] { return file(); };
    s.root = QStringLiteral("Root");
    s.capacity = 3;
    s.autoSizeOnDoubleClick = true;
    SectionDescription sec{.element = QString(), .keyColumn = 1};
    sec.columns = {{.headerText = 2115, .attribute = QStringLiteral("A"), .hintText = 2120},
                   {.headerText = 2116, .attribute = QStringLiteral("B"), .hidden = true, .hintText = 2121},
                   {.headerText = 2117, .attribute = QStringLiteral("C"), .width = 40, .hintText = 2122},
                   {.headerText = 2118, .attribute = QStringLiteral("D"), .width = 40, .hintText = 2123}};
    s.sections = {sec};
    TestDialog d(s);
    d.FormShow();
    TExtColumnGrid* g = d.grid(0);
    ASSERT_EQ(g->ColCount(), 4); // column "B" hidden: C is shown second
    ASSERT_EQ(g->DisplColIndex(3), 2);

    // The grid asks for a header hint by the real column (as its tool tip does).
    QString hint;
    g->GetCellHint(3, 0, hint);
    EXPECT_EQ(hint, QStringLiteral("Insert the SubNet Mask of BBMD"));

    // The double click names the shown column; the fit widens that one.
    workspace::ws().Opt_Double_Click_Auto_Size = 1;
    g->SetCells(3, 1, QStringLiteral("a text far wider than forty pixels"));
    const int widthC = g->colWidths(2), widthD = g->colWidths(3);
    g->OnDblClickCell(nullptr, 0, 2);
    EXPECT_GT(g->colWidths(2), widthC);
    EXPECT_EQ(g->colWidths(3), widthD);
}

// At every showing the keys go to the grid of the page shown, also after a showing ended with a
// button (which took the focus when pressed): the user types into the current cell at once.
TEST_F(TableDialogTest, EveryShowingGivesTheKeysToTheGridOfThePageShown)
{
    TableDescription desc = testTable(file());
    desc.firstPageOnShow = false;
    TestDialog d(desc);
    QWidget* keys = nullptr;
    int page = 0;
    const platform::ModalDriver previous = platform::setModalDriver([&](platform::Form&) {
        keys = d.focusWidget();
        d.setCurrentSection(page);
        d.Btn_Cancel->setFocus(Qt::MouseFocusReason); // pressed
        d.Btn_Cancel->click();
    });
    d.showModal();
    EXPECT_EQ(keys, d.grid(0));
    page = 1;
    d.showModal(); // left on the second page
    EXPECT_EQ(keys, d.grid(0));
    d.showModal();
    EXPECT_EQ(keys, d.grid(1)) << "the page left is shown again, with the keys in its grid";
    platform::setModalDriver(previous);
}
