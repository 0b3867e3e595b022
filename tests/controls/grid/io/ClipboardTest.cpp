// Copy, cut and paste through the system clipboard (the offscreen platform keeps it in the
// process): the text of a range, merged and disjunct selections, the grid cell format, HTML,
// the text parser with growth, insertion, events and editability, the smart fills, and the
// keyboard shortcuts.
#include "IoFixture.h"
#include "controls/grid/io/Clipboard.h"
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
