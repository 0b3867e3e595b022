// Copy, cut and paste through the system clipboard (the offscreen platform keeps it in the
// process): the text of a range, merged and disjunct selections, the grid cell format, HTML,
// the text parser with growth, insertion, events and editability, the smart fills, and the
// keyboard shortcuts.
#include "IoFixture.h"
#include "controls/grid/io/Clipboard.h"
#include "controls/grid/util/ExtUtil.h"
#include "platform/core/DateTime.h"

#include <QApplication>
#include <QMimeData>
#include <QTest>
#include <cstring>
#include <memory>

using namespace iotest;
using namespace controls::grid::io;

namespace {

std::unique_ptr<TExtStringGridInput> editingGrid(int cols, int rows)
{
    auto g = plainGrid(cols, rows);
    g->setOptions(g->options() | platform::goEditing | platform::goRangeSelect);
    return g;
}

void fillNames(TExtStringGrid& g)
{
    for (int r = 0; r < g.RowCount(); ++r)
        for (int c = 0; c < g.ColCount(); ++c)
            g.SetCells(c, r, QStringLiteral("%1%2").arg(QChar(u'a' + c)).arg(r));
}

} // namespace

TEST(Clipboard, TextOfARange)
{
    auto g = editingGrid(6, 4);
    fillNames(*g);
    EXPECT_EQ(RectToText(*g, TGridRect{1, 1, 1, 1}, false), "b1");
    EXPECT_EQ(RectToText(*g, TGridRect{0, 0, 1, 1}, false), "a0\tb0\r\na1\tb1\r\n");
    EXPECT_EQ(g->ClipTopLeft, QPoint(0, 0));
    // A line break inside a cell copies as one LF inside quotes.
    g->SetCells(2, 2, QStringLiteral("x\r\ny"));
    EXPECT_EQ(RectToText(*g, TGridRect{2, 2, 2, 2}, false), "\"x\ny\"");
    // Disjunct columns 2 and 4 of a range up to column 5: each row ends with a TAB.
    g->MouseActions.SetDisjunctColSelect(true);
    g->SetColSelect(2, true);
    g->SetColSelect(4, true);
    EXPECT_EQ(RectToText(*g, TGridRect{1, 0, 5, 1}, true), "c0\te0\t\r\nc1\te1\t\r\n");
}

TEST(Clipboard, CopyWidensOverMergedCellsAndPutsTheFormats)
{
    auto g = editingGrid(5, 5);
    fillNames(*g);
    g->MergeCells(1, 1, 2, 2);
    g->SetSelection(TGridRect{2, 2, 3, 3});
    g->Navigation.AllowFmtClipboard = true;
    CopySelectionToClipboard(*g);
    EXPECT_EQ(g->Selection().Left, 1);
    EXPECT_EQ(g->Selection().Top, 1);
    const platform::ExchangeData d = platform::clipboardData();
    EXPECT_TRUE(d.has(platform::ExchangeFormat::GridCells));
    EXPECT_EQ(d.text(), "b1\tb1\td1\r\nb1\tb1\td2\r\nb3\tc3\td3\r\n");
    EXPECT_EQ(g->ClipLastOp, coCopy);
}

TEST(Clipboard, GridFormatPasteCarriesLooksAndHonoursReadOnlyCells)
{
    auto a = editingGrid(3, 3);
    fillNames(*a);
    a->SetColors(1, 1, 0x0000FF);
    a->Navigation.AllowFmtClipboard = true;
    a->SetSelection(TGridRect{0, 0, 1, 1});
    CopySelectionToClipboard(*a);
    auto b = editingGrid(4, 4);
    b->Navigation.AllowFmtClipboard = true;
    b->SetReadOnly(3, 3, true);
    b->SetCells(3, 3, QStringLiteral("locked"));
    int rows = 0, cols = 0;
    EXPECT_EQ(PasteAt(*b, 2, 2, rows, cols), 4);
    EXPECT_EQ(b->Cells(2, 2), "a0");
    EXPECT_NE(b->Colors(3, 3), 0x0000FFu);
    EXPECT_EQ(b->Cells(3, 3), "locked");
    EXPECT_EQ(b->Cells(2, 3), "a1");
    // Pasted at the origin the look travels.
    PasteAt(*b, 0, 0, rows, cols);
    EXPECT_EQ(b->Colors(1, 1), 0x0000FFu);
}

TEST(Clipboard, HtmlOnTheClipboardKeepsPlainTextPlain)
{
    auto g = editingGrid(2, 2);
    fillNames(*g);
    g->SetCells(0, 0, QStringLiteral("\u00E9<b>"));
    CopyToClipBoardAsHTML(*g);
    const platform::ExchangeData d = platform::clipboardData();
    EXPECT_EQ(d.text(), "\u00E9<b>\tb0\r\na1\tb1\r\n");
    const QString html = QString::fromUtf8(d.bytes(platform::ExchangeFormat::Html));
    EXPECT_FALSE(d.text().contains("Version:"));
    EXPECT_TRUE(html.contains("\u00E9&lt;b&gt;"));
    // The wrapped form under its own type: the header's offsets count UTF-8 bytes, so the bytes
    // between StartFragment and EndFragment are the HTML itself, and StartHTML..EndHTML the
    // whole document, even with non-ASCII text before the fragment's end.
    std::unique_ptr<QMimeData> mime(d.toMimeData());
    ASSERT_TRUE(mime->hasFormat("application/x-varnetor-html-format"));
    const QByteArray wrapped = mime->data("application/x-varnetor-html-format");
    ASSERT_TRUE(wrapped.startsWith("Version:1.0\r\nStartHTML:"));
    auto offset = [&](const char* key) {
        const qsizetype at = wrapped.indexOf(key);
        return at < 0 ? -1 : wrapped.mid(at + qsizetype(strlen(key)), 8).toInt();
    };
    const int startFragment = offset("StartFragment:"), endFragment = offset("EndFragment:");
    const int startHtml = offset("StartHTML:"), endHtml = offset("EndHTML:");
    EXPECT_EQ(wrapped.mid(startFragment, endFragment - startFragment), d.bytes(platform::ExchangeFormat::Html));
    EXPECT_TRUE(wrapped.mid(startHtml).startsWith("<!DOCTYPE"));
    EXPECT_EQ(endHtml, wrapped.size());
    EXPECT_TRUE(wrapped.left(endHtml).endsWith("</html>"));
    // Read back from Qt's container, both forms are there.
    const platform::ExchangeData back = platform::ExchangeData::fromMimeData(mime.get());
    EXPECT_EQ(back.bytes(platform::ExchangeFormat::HtmlFormat), wrapped);
}

TEST(Clipboard, PasteTextGrowsInsertsAndAsksPerCell)
{
    auto g = editingGrid(2, 2);
    int rows = 0, cols = 0;
    EXPECT_EQ(PasteText(*g, 1, 1, rows, cols, "a\tb\tc\r\nd\te\tf"), 6);
    EXPECT_EQ(g->ColCount(), 4);
    EXPECT_EQ(g->RowCount(), 3);
    EXPECT_EQ(g->Cells(3, 2), "f");
    EXPECT_EQ(rows, 2);
    EXPECT_EQ(cols, 3);

    auto noGrow = editingGrid(2, 2);
    noGrow->Navigation.AllowClipboardColGrow = false;
    PasteText(*noGrow, 1, 0, rows, cols, "x\ty\tz");
    EXPECT_EQ(noGrow->ColCount(), 2);
    EXPECT_EQ(noGrow->Cells(1, 0), "x");

    auto veto = editingGrid(3, 1);
    veto->OnClipboardBeforePasteCell = [](QObject*, int c, int, QString& v, bool& allow) {
        allow = c != 1;
        v = v.toUpper();
    };
    PasteText(*veto, 0, 0, rows, cols, "p\tq\tr");
    EXPECT_EQ(veto->Cells(0, 0), "P");
    EXPECT_EQ(veto->Cells(1, 0), "");
    EXPECT_EQ(veto->Cells(2, 0), "R");

    auto ins = editingGrid(1, 3);
    ins->SetCells(0, 0, QStringLiteral("old"));
    ins->Navigation.ClipboardPasteAction = paInsert;
    PasteText(*ins, 0, 0, rows, cols, "n1\r\nn2\r\n");
    EXPECT_EQ(ins->Cells(0, 0), "n1");
    EXPECT_EQ(ins->Cells(0, 1), "n2");
    EXPECT_EQ(ins->Cells(0, 2), "old");

    // A quoted field holding an LF pastes without its quotes; an LF-only text (other programs
    // here) still pastes as rows.
    auto q = editingGrid(2, 3);
    PasteText(*q, 0, 0, rows, cols, "\"one\ntwo\"\tz\nnext");
    EXPECT_EQ(q->Cells(0, 0), "one\ntwo");
    EXPECT_EQ(q->Cells(1, 0), "z");
    EXPECT_EQ(q->Cells(0, 1), "next");

    // Without editing nothing is pasted.
    auto ro = makeGrid(2, 2);
    EXPECT_EQ(PasteText(*ro, 0, 0, rows, cols, "x"), 0);
    EXPECT_EQ(TextExtent("a\tb\r\nc\r\n"), QPoint(2, 1));
    EXPECT_EQ(TextExtent("a"), QPoint(1, 0));
}

TEST(Clipboard, SmartFillsOfASelection)
{
    auto g = editingGrid(3, 8);
    g->Navigation.AllowSmartClipboard = true;
    // A spreadsheet's one cell (text ending in CR LF) into one cell: that value only.
    platform::setClipboardText("v\r\n");
    g->SetSelection(TGridRect{0, 0, 0, 0});
    PasteSelectionFromClipboard(*g);
    EXPECT_EQ(g->Cells(0, 0), "v");
    EXPECT_EQ(g->Cells(0, 1), "");
    // One value into five cells.
    platform::setClipboardText("same");
    g->SetSelection(TGridRect{1, 0, 1, 4});
    PasteSelectionFromClipboard(*g);
    for (int r = 0; r <= 4; ++r)
        EXPECT_EQ(g->Cells(1, r), "same");
    // 1 and 2 continue to 5; a read-only cell keeps its text but the series goes on past it.
    g->SetReadOnly(2, 3, true);
    g->SetCells(2, 3, QStringLiteral("ro"));
    platform::setClipboardText("1\r\n2");
    g->SetSelection(TGridRect{2, 0, 2, 4});
    PasteSelectionFromClipboard(*g);
    EXPECT_EQ(g->Cells(2, 2), "3");
    EXPECT_EQ(g->Cells(2, 3), "ro");
    EXPECT_EQ(g->Cells(2, 4), "5");

    // Dates: the 15th of two months continues by months; 31 January and 29 February by 29 days.
    using platform::EncodeDate;
    auto dates = editingGrid(1, 4);
    dates->Navigation.AllowSmartClipboard = true;
    platform::setClipboardText(platform::DateToStr(EncodeDate(2024, 1, 15)) + "\r\n"
                               + platform::DateToStr(EncodeDate(2024, 2, 15)));
    dates->SetSelection(TGridRect{0, 0, 0, 3});
    PasteSelectionFromClipboard(*dates);
    EXPECT_EQ(dates->Cells(0, 3), platform::DateToStr(EncodeDate(2024, 4, 15)));
    platform::setClipboardText(platform::DateToStr(EncodeDate(2024, 1, 31)) + "\r\n"
                               + platform::DateToStr(EncodeDate(2024, 2, 29)));
    PasteSelectionFromClipboard(*dates);
    EXPECT_EQ(dates->Cells(0, 2), platform::DateToStr(EncodeDate(2024, 3, 29)));
}

TEST(Clipboard, CutEmptiesEditableCellsAndUndoesInOneStep)
{
    auto g = editingGrid(3, 3);
    fillNames(*g);
    g->SetReadOnly(1, 1, true);
    TExtGridUndoRedo undo;
    g->SetUndoRedo(&undo);
    g->SetSelection(TGridRect{0, 0, 1, 1});
    CutSelectionToClipboard(*g);
    EXPECT_EQ(platform::clipboardData().text(), "a0\tb0\r\na1\tb1\r\n");
    EXPECT_EQ(g->Cells(0, 0), "");
    EXPECT_EQ(g->Cells(1, 1), "b1");
    EXPECT_EQ(g->ClipLastOp, coCut);
    undo.Undo();
    EXPECT_EQ(g->Cells(0, 0), "a0");
    EXPECT_EQ(g->Cells(1, 0), "b0");
    g->SetUndoRedo(nullptr);
}

TEST(Clipboard, ShortcutsCopyAndPasteBetweenGrids)
{
    QWidget window;
    auto* a = new TExtStringGridInput(&window);
    auto* b = new TExtStringGridInput(&window);
    a->setGeometry(0, 0, 300, 200);
    b->setGeometry(310, 0, 300, 200);
    for (auto* g : {a, b}) {
        g->SetColCount(4);
        g->SetRowCount(4);
        g->SetFixedRows(0);
        g->SetFixedCols(0);
        g->setOptions(g->options() | platform::goEditing | platform::goRangeSelect);
        g->Navigation.AllowClipboardShortCuts = true;
    }
    fillNames(*a);
    window.show();
    QApplication::setActiveWindow(&window);
    a->SetSelection(TGridRect{1, 1, 2, 2});
    a->setFocus();
    QTest::keyClick(a, Qt::Key_C, Qt::ControlModifier);
    b->MoveToCell(0, 0);
    b->setFocus();
    QTest::keyClick(b, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(b->Cells(0, 0), "b1");
    EXPECT_EQ(b->Cells(1, 1), "c2");
    EXPECT_EQ(b->Cells(2, 2), "");
    // With the shortcuts off, Ctrl+C copies nothing.
    platform::setClipboardText("before");
    a->Navigation.AllowClipboardShortCuts = false;
    a->setFocus();
    QTest::keyClick(a, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(platform::clipboardData().text(), "before");
}

TEST(Clipboard, CellsWithLineBreaksTabsAndQuotesPasteBackWhole)
{
    auto a = editingGrid(3, 3);
    fillNames(*a);
    const QStringList cells{"bare\nLF", "a\tTAB", "\"quoted\"", "say \"hi\"", "CR\r\nLF", "\"a\"\nb\"", "lone\rCR", "", "end"};
    for (int i = 0; i < 9; ++i)
        a->SetCells(i % 3, i / 3, cells[i]);
    EXPECT_EQ(RectToText(*a, TGridRect{0, 0, 1, 0}, false), "\"bare\nLF\"\t\"a\tTAB\"");
    EXPECT_EQ(RectToText(*a, TGridRect{2, 1, 2, 1}, false), "\"\"\"a\"\"\nb\"\"\"");
    const QString text = RectToText(*a, TGridRect{0, 0, 2, 2}, false);
    auto b = editingGrid(3, 3);
    int rows = 0, cols = 0;
    EXPECT_EQ(PasteText(*b, 0, 0, rows, cols, text), 10);
    EXPECT_EQ(b->RowCount(), 3) << "no row more than copied";
    for (int i = 0; i < 9; ++i) {
        // Line breaks inside a cell travel as LF.
        const QString want = QString(cells[i]).replace("\r\n", "\n").replace(u'\r', u'\n');
        EXPECT_EQ(b->Cells(i % 3, i / 3), want) << i;
    }
    // What spreadsheets put on the clipboard: doubled quotes inside a quoted field.
    PasteText(*b, 0, 0, rows, cols, "\"x \"\"y\"\"\nz\"\t\"\"\"lead\"");
    EXPECT_EQ(b->Cells(0, 0), "x \"y\"\nz");
    EXPECT_EQ(b->Cells(1, 0), "\"lead");
    EXPECT_EQ(TextExtent("\"a\tb\"\tc\r\nd\r\n"), QPoint(2, 1)); // a TAB inside quotes parts no fields
}

TEST(Clipboard, PastedRowsEmptyTheirEmptyLastCells)
{
    auto g = editingGrid(2, 3);
    fillNames(*g);
    int rows = 0, cols = 0;
    // Two copied rows whose last cells are empty: the old texts there go.
    PasteText(*g, 0, 0, rows, cols, "x\t\r\ny\t\r\n");
    EXPECT_EQ(g->Cells(0, 0), "x");
    EXPECT_EQ(g->Cells(1, 0), "");
    EXPECT_EQ(g->Cells(1, 1), "");
    EXPECT_EQ(g->Cells(1, 2), "b2") << "the empty rest after the last line break stores nothing";
    // One copied row (no line break) with an empty last cell.
    fillNames(*g);
    PasteText(*g, 0, 2, rows, cols, "z\t");
    EXPECT_EQ(g->Cells(0, 2), "z");
    EXPECT_EQ(g->Cells(1, 2), "");
    // A single value without a line break stores only itself.
    PasteText(*g, 0, 1, rows, cols, "only");
    EXPECT_EQ(g->Cells(1, 1), "b1");
    // SetSelectionAsText stores the same fields.
    fillNames(*g);
    g->SetSelection(TGridRect{0, 0, 0, 0});
    SetSelectionAsText(*g, "s\t\r\nt\t");
    EXPECT_EQ(g->Cells(1, 0), "");
    EXPECT_EQ(g->Cells(1, 1), "");
}

TEST(Clipboard, WideCodedFieldsGoToTheWideEvents)
{
    auto g = editingGrid(2, 1);
    QStringList log;
    g->OnClipboardBeforePasteWideCell = [&](QObject*, int c, int r, QString& v, bool&) {
        log << QStringLiteral("before wide %1,%2 %3").arg(c).arg(r).arg(v);
        v += QStringLiteral("!");
    };
    g->OnClipboardAfterPasteWideCell = [&](QObject*, int c, int r, const QString& v) {
        log << QStringLiteral("after wide %1,%2 %3").arg(c).arg(r).arg(v);
    };
    g->OnClipboardBeforePasteCell = [&](QObject*, int c, int, QString& v, bool&) { log << QStringLiteral("before %1 %2").arg(c).arg(v); };
    g->OnClipboardAfterPasteCell = [&](QObject*, int c, int, const QString& v) { log << QStringLiteral("after %1 %2").arg(c).arg(v); };
    int rows = 0, cols = 0;
    PasteText(*g, 0, 0, rows, cols, "plain\t" + EncodeWideCellText(QStringLiteral("\u03A9 wide")));
    EXPECT_EQ(log, QStringList({"before 0 plain", "after 0 plain", "before wide 1,0 \u03A9 wide",
                                "after wide 1,0 \u03A9 wide!"}));
    EXPECT_EQ(DecodeWideCellText(g->Cells(1, 0)), "\u03A9 wide!");
}

namespace {

// A grid that logs the paste's steps.
class HookGrid : public TExtStringGridInput {
public:
    QStringList calls;
    void BeforePaste() override { calls << QStringLiteral("before"); }
    void AfterPaste() override { calls << QStringLiteral("after"); }
    void PasteRangeModified(QPoint from, const TGridRect& to, int operation) override
    {
        calls << QStringLiteral("range from %1,%2 to %3,%4-%5,%6 op %7")
                     .arg(from.x())
                     .arg(from.y())
                     .arg(to.Left)
                     .arg(to.Top)
                     .arg(to.Right)
                     .arg(to.Bottom)
                     .arg(operation);
        TExtStringGridInput::PasteRangeModified(from, to, operation);
    }
};

} // namespace

TEST(Clipboard, PasteCallsTheGridsPasteSteps)
{
    HookGrid g;
    g.resize(600, 400);
    g.SetColCount(4);
    g.SetRowCount(4);
    g.SetFixedRows(0);
    g.SetFixedCols(0);
    g.setOptions(g.options() | platform::goEditing | platform::goRangeSelect);
    g.ShowModified.Enabled = true;
    fillNames(g);
    // A text paste reports its range with the top-left of the last copy.
    g.SetSelection(TGridRect{1, 0, 1, 0});
    CopySelectionToClipboard(g);
    platform::setClipboardText("p\tq\r\nr\ts");
    int rows = 0, cols = 0;
    PasteAt(g, 2, 2, rows, cols);
    EXPECT_EQ(g.calls, QStringList{"range from 1,0 to 2,2-3,3 op 1"});
    EXPECT_TRUE(g.RowModified(2));
    EXPECT_TRUE(g.RowModified(3));
    EXPECT_FALSE(g.RowModified(1));
    // The grid cell format: the steps around it; the copy's top-left only for this grid's cells.
    g.calls.clear();
    g.Navigation.AllowFmtClipboard = true;
    g.SetSelection(TGridRect{0, 0, 1, 0});
    CutSelectionToClipboard(g);
    PasteAt(g, 1, 3, rows, cols);
    EXPECT_EQ(g.calls, QStringList({"before", "range from 0,0 to 1,3-2,3 op 0", "after"}));
    auto other = editingGrid(2, 1);
    other->Navigation.AllowFmtClipboard = true;
    other->SetSelection(TGridRect{0, 0, 1, 0});
    CopySelectionToClipboard(*other);
    g.calls.clear();
    PasteAt(g, 0, 0, rows, cols);
    EXPECT_EQ(g.calls, QStringList({"before", "range from -1,-1 to 0,0-1,0 op 0", "after"}));
    // A fill of the selection with one value.
    g.calls.clear();
    g.Navigation.AllowFmtClipboard = false;
    g.Navigation.AllowSmartClipboard = true;
    platform::setClipboardText("v");
    g.SetSelection(TGridRect{3, 0, 3, 1});
    g.ClipLastOp = coCopy;
    PasteSelectionFromClipboard(g);
    EXPECT_EQ(g.calls, QStringList({"range from 0,0 to 3,0-3,0 op 1", "before", "range from 0,0 to 3,0-3,0 op 1",
                                    "range from 0,0 to 3,1-3,1 op 1", "after"}));
    EXPECT_EQ(g.Cells(3, 1), "v");
}

TEST(Clipboard, FillTakesTheCheckBoxOfTheRowShownWhileRowsAreHidden)
{
    auto g = editingGrid(1, 6);
    for (int r = 0; r < 6; ++r)
        g->AddCheckBox(0, r, false, false);
    g->SetCheckBoxState(0, 1, true);
    g->HideRow(1);
    // Shown rows 1..3 are the real rows 2..4, all unchecked; the hidden real row 1 is checked.
    g->Navigation.AllowSmartClipboard = true;
    platform::setClipboardText(g->CheckFalse);
    g->SetSelection(TGridRect{0, 1, 0, 3});
    PasteSelectionFromClipboard(*g);
    for (int real = 2; real <= 4; ++real) {
        bool state = true;
        ASSERT_TRUE(g->GetCheckBoxState(0, real, state)) << real;
        EXPECT_FALSE(state) << "real row " << real << " takes the pasted cell's state";
    }
    g->UnHideRowsAll();
    bool hidden = false;
    g->GetCheckBoxState(0, 1, hidden);
    EXPECT_TRUE(hidden);
}
