// Drops on the grid through its drop target (the handlers Qt's drag events reach): which
// handler a drag's formats reach, text with inserted rows, the grid's own cells, RTF and URLs,
// CSV files by name, column moves and hidden columns from a list, refusals by the events, the
// drop effect from the keys, and the exchange data a drag or the clipboard carries.
#include "IoFixture.h"
#include "controls/grid/input/GridDropTarget.h"
#include "controls/grid/io/CellStream.h"
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

struct DropWindow {
    QWidget window;
    TExtStringGridInput* grid = new TExtStringGridInput(&window);
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
