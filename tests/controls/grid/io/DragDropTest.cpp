// Drops on the grid through its drop target (the handlers Qt's drag events reach): which
// handler a drag's formats reach, text with inserted rows, the grid's own cells, RTF and URLs,
// CSV files by name, column moves and hidden columns from a list, refusals by the events, the
// drop effect from the keys, and the exchange data a drag or the clipboard carries.
#include "IoFixture.h"
#include "OutsideReaders.h"
#include "controls/grid/auxwin/GridAux.h"
#include "controls/grid/input/GridDropTarget.h"
#include "controls/grid/io/CellStream.h"
#include "controls/grid/io/Office.h"
#include "platform/exchange/DropTarget.h"
#include "support/TempDir.h"

#include <QApplication>
#include <QMimeData>

using namespace iotest;
using platform::DropEffect;
using platform::ExchangeData;
using platform::ExchangeFormat;
using testing_support::TempDir;

namespace {

// The grid with its auxiliary windows (which draw the drag pictures), its mouse and timer
// handlers open to the tests.
struct OpenGrid : TExtStringGridAux {
    using TExtStringGridAux::TExtStringGridAux;
    using TExtStringGridAux::mouseDown;
    using TExtStringGridAux::mouseMove;
    using TExtStringGridAux::wmTimer;
};

struct DropWindow {
    QWidget window;
    OpenGrid* grid = new OpenGrid(&window);
    DropWindow(int cols = 5, int rows = 8)
    {
        window.resize(640, 420);
        grid->setGeometry(0, 0, 620, 400);
        grid->SetColCount(cols);
        grid->SetRowCount(rows);
        grid->setOptions(grid->options() | platform::goEditing);
        grid->DragDropSettings.SetOleDropTarget(true);
        window.show();
        QApplication::processEvents();
    }
    QPoint at(int col, int row) const
    {
        const platform::Rect r = grid->CellRect(col, row);
        return grid->viewport()->mapToGlobal(QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2));
    }
    DropEffect drop(const ExchangeData& d, QPoint p, bool ctrl = false)
    {
        return grid->OleDropTarget()->Drop(d, ctrl, true, p);
    }
};

ExchangeData text(const QString& t)
{
    ExchangeData d;
    d.setText(t);
    return d;
}

} // namespace

// A target that records which handler a drop reached.
class RecordingTarget : public platform::DropTarget {
public:
    using platform::DropTarget::DropTarget;
    QStringList calls;

protected:
    void DropText(QPoint, const QString& t) override { calls << "text:" + t; }
    void DropStream(QPoint, const QByteArray&) override { calls << "stream"; }
    void DropCol(QPoint, int c) override { calls << QString("col:%1").arg(c); }
    void DropRTF(QPoint, const QString&) override { calls << "rtf"; }
    void DropFiles(QPoint, const QStringList& f) override { calls << "files:" + f.join(','); }
    void DropURL(QPoint, const QString& u) override { calls << "url:" + u; }
};

TEST(DragDrop, EachFormatReachesItsHandler)
{
    QWidget w;
    RecordingTarget t(&w);
    ExchangeData both = text("abc");
    both.setColumn(3);
    t.AcceptCols = true;
    t.Drop(both, false, true, QPoint());
    EXPECT_EQ(t.calls, QStringList{"col:3"}); // a column and text: the column only
    t.calls.clear();
    ExchangeData rtfOnly;
    rtfOnly.setBytes(ExchangeFormat::Rtf, "{\\rtf1 x}");
    EXPECT_EQ(t.DragEnter(rtfOnly, false, true, QPoint()), DropEffect::None); // RTF switch off
    platform::setDropRTFFlag(true);
    EXPECT_EQ(t.DragEnter(rtfOnly, false, true, QPoint()), DropEffect::Move);
    EXPECT_EQ(t.DragEnter(rtfOnly, true, true, QPoint()), DropEffect::Copy);
    platform::setDropRTFFlag(false);
    ExchangeData mixed = text("t");
    mixed.setBytes(ExchangeFormat::GridCells, "x");
    mixed.setUrls({QUrl::fromLocalFile("/tmp/a.csv"), QUrl("https://example.org/")});
    t.Drop(mixed, false, false, QPoint());
    EXPECT_EQ(t.calls, (QStringList{"stream", "files:/tmp/a.csv", "url:https://example.org/"}));
}

TEST(DragDrop, MimeDataCarriesEveryFormatAndFilesAreNotText)
{
    ExchangeData d = text("plain");
    d.setBytes(ExchangeFormat::GridCells, "cells");
    d.setBytes(ExchangeFormat::Html, "<b>h</b>");
    d.setColumn(2);
    std::unique_ptr<QMimeData> mime(d.toMimeData());
    EXPECT_TRUE(mime->hasFormat("application/x-varnetor-grid-cells"));
    const ExchangeData back = ExchangeData::fromMimeData(mime.get());
    EXPECT_EQ(back.text(), "plain");
    EXPECT_EQ(back.bytes(ExchangeFormat::GridCells), "cells");
    EXPECT_EQ(back.column(), 2);
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile("/tmp/x.csv")});
    files.setText("file:///tmp/x.csv");
    const ExchangeData f = ExchangeData::fromMimeData(&files);
    EXPECT_EQ(f.files(), QStringList{"/tmp/x.csv"});
    EXPECT_FALSE(f.has(ExchangeFormat::Text));
}

TEST(DragDrop, TextDropsPasteAndInsertRows)
{
    DropWindow w;
    w.grid->SetCells(1, 3, QStringLiteral("below"));
    w.grid->DragDropSettings.OleInsertRows = true;
    TGridRect dropped{};
    w.grid->OnOleDropped = [&](TExtStringGridInput*, const TGridRect& r) { dropped = r; };
    const int top = w.grid->topRow();
    EXPECT_EQ(w.drop(text("a\tb\r\nc\td\r\ne\tf\r\n"), w.at(1, 3)), DropEffect::Move);
    EXPECT_EQ(w.grid->Cells(1, 3), "a");
    EXPECT_EQ(w.grid->Cells(2, 5), "f");
    EXPECT_EQ(w.grid->Cells(1, 6), "below");
    EXPECT_EQ(w.grid->topRow(), top);
    EXPECT_EQ(dropped.Top, 3);
    EXPECT_EQ(dropped.Bottom, 5);
    // Refused by the event: nothing changes.
    w.grid->OnOleDrop = [](TExtStringGridInput*, int, int, const QString&, bool& allow) { allow = false; };
    w.drop(text("no"), w.at(2, 2));
    EXPECT_EQ(w.grid->Cells(2, 2), "");
}

TEST(DragDrop, CellsRtfUrlsAndFiles)
{
    DropWindow w;
    auto source = makeGrid(2, 2);
    source->SetCells(0, 0, QStringLiteral("s00"));
    source->SetColors(1, 1, 0xFF);
    QByteArray cells;
    controls::grid::io::SaveRectToBinStream(*source, TGridRect{0, 0, 1, 1}, cells);
    ExchangeData d;
    d.setBytes(ExchangeFormat::GridCells, cells);
    w.drop(d, w.at(2, 2));
    EXPECT_EQ(w.grid->Cells(2, 2), "s00");
    EXPECT_EQ(w.grid->Colors(3, 3), 0xFFu);

    ExchangeData url;
    url.setUrls({QUrl("https://example.org/x")});
    w.drop(url, w.at(1, 1));
    EXPECT_EQ(w.grid->Cells(1, 1), "https://example.org/x");

    TempDir dir;
    dir.write("report.csv.bak", "x;y\r\nz;w\r\n");
    ExchangeData file;
    file.setUrls({QUrl::fromLocalFile(dir.file("report.csv.bak"))});
    w.drop(file, w.at(1, 1));
    EXPECT_EQ(w.grid->Cells(1, 1), "w"); // the name holds ".CSV": loaded as CSV
    ExchangeData two;
    two.setUrls({QUrl::fromLocalFile(dir.file("a.csv")), QUrl::fromLocalFile(dir.file("b.csv"))});
    w.drop(two, w.at(1, 1)); // more than one file: nothing
    EXPECT_EQ(w.grid->Cells(1, 1), "w");
    // A drop outside the cells: refused while dragging, except for files and grid cells.
    bool allowed = true;
    w.grid->OleDropTarget()->DragEnter(text("x"), false, true, QPoint(-500, -500));
    EXPECT_EQ(w.grid->OleDropTarget()->DragOver(false, true, QPoint(-500, -500)), DropEffect::None);
    (void)allowed;
    w.grid->OleDropTarget()->DragEnter(file, false, true, QPoint(-500, -500));
    EXPECT_NE(w.grid->OleDropTarget()->DragOver(false, true, QPoint(-500, -500)), DropEffect::None);
    w.grid->OleDropTarget()->DragLeave();
    EXPECT_FALSE(w.grid->OleDropTarget()->ArrowsShown());
}

TEST(DragDrop, WorkbookFilesGoToTheSpreadsheetReader)
{
    TempDir dir;
    bool ok = false;
    const QString out = runPython(QStringLiteral("import xlwt, sys\n"
                                                 "b = xlwt.Workbook()\n"
                                                 "s = b.add_sheet('Data')\n"
                                                 "s.write(0, 0, 'Name')\n"
                                                 "s.write(1, 1, 'from the workbook')\n"
                                                 "b.save(sys.argv[1])\n"),
                                  {dir.file("meters.xls")}, &ok);
    ASSERT_TRUE(ok) << out.toStdString();
    DropWindow w(3, 3);
    QStringList refusedNames;
    w.grid->OnOleDrop = [&](TExtStringGridInput*, int row, int col, const QString& data, bool& allow) {
        EXPECT_EQ(row, -1);
        EXPECT_EQ(col, -1);
        if (data.endsWith(QLatin1String("refused.xls")))
            allow = false;
        refusedNames << data;
    };
    ExchangeData file;
    file.setUrls({QUrl::fromLocalFile(dir.file("meters.xls"))});
    w.drop(file, w.at(1, 1));
    EXPECT_EQ(w.grid->Cells(1, 1), "from the workbook");
    // OnOleDrop refuses by the name: the grid stays as it is.
    QFile::copy(dir.file("meters.xls"), dir.file("refused.xls"));
    w.grid->SetCells(1, 1, QStringLiteral("kept"));
    file.setUrls({QUrl::fromLocalFile(dir.file("refused.xls"))});
    w.drop(file, w.at(1, 1));
    EXPECT_EQ(w.grid->Cells(1, 1), "kept");
    // A name ending in XLSX holds ".XLS": the spreadsheet reader gets it and reads either
    // format by its content.
    auto source = makeGrid(2, 2);
    source->SetCells(0, 0, QStringLiteral("Name"));
    source->SetCells(1, 1, QStringLiteral("new"));
    controls::grid::io::SaveToXLS(*source, dir.file("book.xlsx"));
    file.setUrls({QUrl::fromLocalFile(dir.file("book.xlsx"))});
    w.drop(file, w.at(1, 1));
    EXPECT_EQ(w.grid->Cells(1, 1), "new");
    // A file that is neither: the reader's error reaches the caller of the drop; the cells stay.
    w.grid->SetCells(1, 1, QStringLiteral("kept"));
    QFile::copy(dir.file("meters.xls"), dir.file("cut.xls"));
    QFile::resize(dir.file("cut.xls"), 700);
    file.setUrls({QUrl::fromLocalFile(dir.file("cut.xls"))});
    EXPECT_ANY_THROW(w.drop(file, w.at(1, 1)));
    EXPECT_EQ(w.grid->Cells(1, 1), "kept");
    EXPECT_EQ(refusedNames.size(), 4);
}

TEST(DragDrop, ColumnsMoveAndHiddenColumnsComeBack)
{
    DropWindow w(6, 3);
    for (int c = 0; c < 6; ++c)
        w.grid->SetCells(c, 0, QStringLiteral("h%1").arg(c));
    w.grid->DragDropSettings.OleColumnDragDrop = true;
    w.grid->DragDropSettings.OleColumnReorder = true;
    w.grid->DragDropSettings.SetOleDropTarget(false);
    w.grid->DragDropSettings.SetOleDropTarget(true);
    ExchangeData col;
    col.setColumn(1);
    int reported = -1;
    w.grid->OnOleDropCol = [&](TExtStringGridInput*, int, int, int c) { reported = c; };
    w.drop(col, w.at(4, 0));
    EXPECT_EQ(w.grid->Cells(4, 0), "h1");
    EXPECT_EQ(reported, 1);
    // A hidden column dragged out of a list is shown where it is dropped and leaves the list.
    w.grid->HideColumn(2);
    int removed = -1;
    w.grid->OleColumnDragStart(2, 5, [&](int index) { removed = index; });
    ExchangeData hidden;
    hidden.setColumn(0);
    w.drop(hidden, w.at(1, 0));
    EXPECT_EQ(removed, 5);
    EXPECT_FALSE(w.grid->IsHiddenColumn(2));
}

namespace {

// Runs the grid's drags without a person: records what each drag carried and answers with an
// effect (after telling the source about the effects a target would offer), optionally
// dropping the data somewhere first.
struct DragRecorder {
    std::vector<platform::DragRequest> drags;
    DropEffect answer = DropEffect::Move;
    std::function<void(const platform::DragRequest&)> dropAt;
    platform::DragRunner previous;
    DragRecorder()
    {
        previous = platform::setDragRunner([this](const platform::DragRequest& r) {
            drags.push_back(r);
            if (r.effectChanged) {
                r.effectChanged(DropEffect::Copy);
                r.effectChanged(answer);
            }
            if (dropAt)
                dropAt(r);
            return answer;
        });
    }
    ~DragRecorder() { platform::setDragRunner(previous); }
};

QPoint centre(TExtStringGridInput& g, int col, int row)
{
    const platform::Rect r = g.CellRect(col, row);
    return QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

// Presses in a cell and moves the mouse far enough to start a drag.
void dragFrom(OpenGrid& g, int col, int row)
{
    const QPoint p = centre(g, col, row);
    g.mouseDown(platform::TMouseButton::mbLeft, platform::ssLeft, p.x(), p.y());
    g.mouseMove(platform::ssLeft, p.x() + 12, p.y() + 9);
}

} // namespace

TEST(DragDrop, ADragFromASelectionCarriesItsCellsAndTheirPicture)
{
    DropWindow w;
    for (int r = 1; r < 8; ++r)
        for (int c = 1; c < 5; ++c)
            w.grid->SetCells(c, r, QStringLiteral("%1%2").arg(QChar('a' + c)).arg(r));
    w.grid->DragDropSettings.OleDropSource = true;
    w.grid->Navigation.AllowFmtClipboard = true;
    w.grid->SetSelection(TGridRect{1, 2, 2, 3});
    QStringList events;
    w.grid->OnOleDragStart = [&](TExtStringGridInput*, int row, int col) { events << QString("start %1,%2").arg(col).arg(row); };
    w.grid->OnOleDragStop = [&](TExtStringGridInput*, DropEffect e) { events << QString("stop %1").arg(int(e)); };
    {
        DragRecorder rec;
        dragFrom(*w.grid, 2, 3);
        ASSERT_EQ(rec.drags.size(), 1u);
        const platform::DragRequest& d = rec.drags[0];
        EXPECT_EQ(d.data.text(), "b2\tc2\r\nb3\tc3");
        EXPECT_TRUE(d.allowMove);
        // The grid's own cells go with the text; another grid takes them at its drop point.
        auto other = makeGrid(4, 4);
        controls::grid::io::LoadAtPointFromBinStream(*other, QPoint(0, 0), d.data.bytes(ExchangeFormat::GridCells), 0,
                                                    {}, false);
        EXPECT_EQ(other->Cells(1, 1), "c3");
        // The picture: the block as it shows (one pixel over each edge), half transparent,
        // 4 pixels right of and below the mouse.
        const platform::Rect a = w.grid->CellRect(1, 2), b = w.grid->CellRect(2, 3);
        EXPECT_EQ(d.image.image.size(), QSize(b.right - a.left + 1, b.bottom - a.top + 1));
        EXPECT_EQ(qAlpha(d.image.image.pixel(5, 5)), 192);
        EXPECT_EQ(d.image.hotSpot, QPoint(-4, -4));
        // The move took the dragged cells away.
        EXPECT_EQ(w.grid->Cells(1, 2), "");
        EXPECT_EQ(w.grid->Cells(2, 3), "");
        EXPECT_EQ(w.grid->Cells(3, 3), "d3");
        EXPECT_EQ(w.grid->OleLastEffect(), DropEffect::Move);
    }
    EXPECT_EQ(events, (QStringList{"start 2,3", "stop 2"}));
    // A cancelled drag changes nothing and reports no stop.
    events.clear();
    w.grid->SetSelection(TGridRect{3, 4, 4, 5});
    {
        DragRecorder rec;
        rec.answer = DropEffect::None;
        dragFrom(*w.grid, 3, 4);
        ASSERT_EQ(rec.drags.size(), 1u);
    }
    EXPECT_EQ(w.grid->Cells(3, 4), "d4");
    EXPECT_EQ(events, QStringList{"start 3,4"});
    // Refused by OnOleDrag: no drag at all.
    w.grid->OnOleDrag = [](TExtStringGridInput*, int, int, const QString&, bool& allow) { allow = false; };
    {
        DragRecorder rec;
        dragFrom(*w.grid, 3, 4);
        EXPECT_TRUE(rec.drags.empty());
    }
}

TEST(DragDrop, AColumnDragShowsTheHeaderAsAFloatingButtonWithoutShowCells)
{
    DropWindow w;
    w.grid->SetCells(2, 0, QStringLiteral("Header"));
    w.grid->setColWidths(2, 90);
    w.grid->DragDropSettings.OleDropSource = true;
    w.grid->DragDropSettings.OleColumnDragDrop = true;
    w.grid->DragDropSettings.ShowCells = false;
    DragRecorder rec;
    dragFrom(*w.grid, 2, 0);
    ASSERT_EQ(rec.drags.size(), 1u);
    const platform::DragRequest& d = rec.drags[0];
    EXPECT_EQ(d.data.column(), 2);
    EXPECT_EQ(d.image.image.size(), QSize(90, w.grid->rowHeights(0)));
    EXPECT_EQ(d.image.hotSpot, QPoint(0, w.grid->rowHeights(0))); // bottom-left corner at the mouse
    // With ShowCells the picture is the column's visible cells instead.
    w.grid->DragDropSettings.ShowCells = true;
    dragFrom(*w.grid, 2, 0);
    ASSERT_EQ(rec.drags.size(), 2u);
    EXPECT_EQ(rec.drags[1].image.image.width(), 91);
    EXPECT_GT(rec.drags[1].image.image.height(), 3 * w.grid->rowHeights(1));
}

TEST(DragDrop, RowsMovedWithinTheGridLeaveFromWhereTheDropPutThem)
{
    auto names = [](TExtStringGridInput& g) {
        QStringList n;
        for (int r = 1; r < g.RowCount(); ++r)
            n << g.Cells(1, r);
        return n.join(' ');
    };
    struct Case {
        bool disjunct;
        bool insertRows;
        const char* after;
    };
    // Rows 4 and 5 (or the rows flagged 4 and 6) are dragged onto row 1.
    const Case cases[] = {
        {false, true, "r4 r5 r1 r2 r3 r6 r7"},
        {true, true, "r4 r6 r1 r2 r3 r5 r7"},
        // Without inserted rows the drop writes over rows 1 and 2 and nothing moves: the rows
        // that leave are the dragged ones where they were.
        {false, false, "r4 r5 r3 r6 r7"},
    };
    for (const Case& k : cases) {
        DropWindow w(3, 8);
        for (int r = 1; r < 8; ++r)
            w.grid->SetCells(1, r, QStringLiteral("r%1").arg(r));
        w.grid->setOptions(w.grid->options() | platform::goRowSelect);
        w.grid->DragDropSettings.OleDropSource = true;
        w.grid->DragDropSettings.OleRemoveRows = true;
        w.grid->DragDropSettings.OleInsertRows = k.insertRows;
        w.grid->MouseActions.SetDisjunctRowSelect(k.disjunct);
        if (k.disjunct) {
            w.grid->SetRowSelect(4, true);
            w.grid->SetRowSelect(6, true);
            w.grid->SetSelection(TGridRect{1, 4, 2, 4});
        } else {
            w.grid->SetSelection(TGridRect{1, 4, 2, 5});
        }
        DragRecorder rec;
        rec.dropAt = [&](const platform::DragRequest& r) { w.drop(r.data, w.at(1, 1)); };
        dragFrom(*w.grid, 1, 4);
        ASSERT_EQ(rec.drags.size(), 1u);
        EXPECT_EQ(names(*w.grid), QString::fromLatin1(k.after)) << k.disjunct << k.insertRows;
    }
}

TEST(DragDrop, AutoScrollSidewaysAtMostOncePerTwoTimerTicks)
{
    DropWindow w(30, 40);
    for (int c = 0; c < 30; ++c)
        w.grid->setColWidths(c, 80);
    auto* target = w.grid->OleDropTarget();
    target->DragEnter(text("x"), false, true, w.at(1, 1));
    // A point in the column that shows only in part, at the right edge.
    const int right = w.grid->leftCol() + w.grid->visibleColCount();
    const platform::Rect edge = w.grid->CellRect(right, 2);
    ASSERT_LT(edge.left, w.grid->viewport()->width());
    const QPoint p = w.grid->viewport()->mapToGlobal(
        QPoint((edge.left + w.grid->viewport()->width()) / 2, (edge.top + edge.bottom) / 2));
    const int left = w.grid->leftCol();
    target->DragOver(false, true, p); // an even tick count: one column
    EXPECT_EQ(w.grid->leftCol(), left + 1);
    target->DragOver(false, true, p); // the same tick: none
    EXPECT_EQ(w.grid->leftCol(), left + 1);
    w.grid->wmTimer(TExtStringGridInput::kGridTimerId);
    target->DragOver(false, true, p);
    EXPECT_EQ(w.grid->leftCol(), left + 2);
    // Upwards over the header row: every move, whatever the ticks.
    w.grid->setTopRow(10);
    const platform::Rect header = w.grid->CellRect(3, 0);
    const QPoint h = w.grid->viewport()->mapToGlobal(QPoint(header.left + 5, header.top + 3));
    target->DragOver(false, true, h);
    target->DragOver(false, true, h);
    EXPECT_EQ(w.grid->topRow(), 8);
    target->DragLeave();
}
