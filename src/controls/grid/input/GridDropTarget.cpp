#include "controls/grid/input/GridDropTarget.h"

#include "controls/grid/base/GridControls.h"
#include "controls/grid/input/GridInput.h"
#include "controls/grid/io/CellStream.h"
#include "controls/grid/io/Clipboard.h"
#include "controls/grid/io/Csv.h"
#include "controls/grid/io/Office.h"

namespace controls::grid {

TGridDropTarget::TGridDropTarget(TExtStringGridInput* grid) : platform::DropTarget(grid->viewport()), m_grid(grid) {}

TGridDropTarget::~TGridDropTarget()
{
    delete m_arwL.data();
    delete m_arwD.data();
    delete m_arwU.data();
}

bool TGridDropTarget::ArrowsShown() const
{
    return (m_arwL && m_arwL->isVisible()) || (m_arwD && m_arwD->isVisible()) || (m_arwU && m_arwU->isVisible());
}

void TGridDropTarget::target(QPoint screen, int& col, int& row, bool& append) const
{
    TExtStringGridInput& g = *m_grid;
    append = false;
    const QPoint p = g.viewport()->mapFromGlobal(screen);
    g.mouseToCell(p.x(), p.y(), col, row);
    if (row < 0 && g.DragDropSettings.OleEntireRows && g.DragDropSettings.OleAppendRows && g.RowCount() > 0) {
        const platform::Rect last = g.CellRect(g.FixedCols(), g.RowCount() - 1);
        if (p.y() >= last.bottom && p.x() >= 0 && p.x() < g.viewport()->width()) {
            col = g.FixedCols();
            row = g.RowCount() - 1;
            append = true;
        }
    }
}

void TGridDropTarget::hideArrows()
{
    for (TArrowWindow* a : {m_arwL.data(), m_arwD.data(), m_arwU.data()})
        if (a)
            a->hide();
}

void TGridDropTarget::DragMouseLeave()
{
    hideArrows();
}

void TGridDropTarget::DragMouseMove(QPoint screen, bool& allow, platform::DropFormats formats)
{
    TExtStringGridInput& g = *m_grid;
    int c = -1, r = -1;
    bool append = false;
    const bool colDrag = formats & platform::dfCol;
    if (!colDrag)
        target(screen, c, r, append);
    else {
        const QPoint p = g.viewport()->mapFromGlobal(screen);
        g.mouseToCell(p.x(), p.y(), c, r);
    }
    allow = allow && c >= 0 && r >= 0;
    const QPoint p = g.viewport()->mapFromGlobal(screen);
    if (allow && !colDrag) {
        // Auto-scroll: over the header row (or the top 8 pixels of a grid without one) up, over
        // the row that shows only in part down; sideways at most once per two ticks of the grid
        // timer, so that columns do not fly past.
        if ((r == 0 && g.topRow() > g.FixedRows()) || (g.FixedRows() == 0 && p.y() < 8 && g.topRow() > 0))
            g.setTopRow(g.topRow() - 1);
        else if (r >= g.topRow() + g.visibleRowCount() && r < g.RowCount())
            g.setTopRow(g.topRow() + 1);
        if (g.m_timerTicks % 2 == 0) {
            ++g.m_timerTicks;
            if (c == 0 && g.leftCol() > g.FixedCols())
                g.setLeftCol(g.leftCol() - 1);
            else if (c >= g.leftCol() + g.visibleColCount() && c < g.ColCount())
                g.setLeftCol(g.leftCol() + 1);
        }
    }
    if (colDrag) {
        if (c < 0 && p.x() >= 0 && p.y() >= 0) {
            c = g.ColCount();
            r = 0;
            allow = true;
        } else {
            allow = allow && r < g.FixedRows() && c >= g.FixedCols();
        }
    } else if (r >= 0 && r < g.FixedRows() && !(g.FixedRowAlways() && g.RowCount() == 1)) {
        allow = false;
    }
    if (formats & (platform::dfFile | platform::dfGridCells))
        allow = true;
    if (g.OnOleDragOver)
        g.OnOleDragOver(&g, r, c, allow);
    allow = allow && ((c >= 0 && r >= 0) || (formats & platform::dfFile));
    // The arrows: above and below a column position, or left of the target row.
    hideArrows();
    if (!allow || c < 0 || r < 0)
        return;
    auto place = [&](QPointer<TArrowWindow>& arrow, TArrowDirection dir, QPoint at) {
        if (!arrow)
            arrow = new TArrowWindow(g.window(), dir);
        arrow->move(g.window()->mapFromGlobal(at));
        arrow->show();
        arrow->raise();
    };
    if (colDrag) {
        const int cc = std::min(c, g.ColCount() - 1);
        const platform::Rect rc = g.CellRect(cc, 0);
        const int x = c >= g.ColCount() ? rc.right : rc.left;
        place(m_arwD, arrDown, g.viewport()->mapToGlobal(QPoint(x, rc.top - 8)));
        place(m_arwU, arrUp, g.viewport()->mapToGlobal(QPoint(x, rc.bottom)));
    } else {
        const int row = g.FixedRowAlways() && g.RowCount() == 1 ? 1 : r;
        const platform::Rect rc = g.CellRect(g.DragDropSettings.OleEntireRows ? g.FixedCols() : c, std::min(row, g.RowCount() - 1));
        QPoint at = g.viewport()->mapToGlobal(QPoint(rc.left - 10, rc.top));
        if (append)
            at.ry() += rc.height();
        place(m_arwL, arrLeft, at);
    }
}

void TGridDropTarget::DropText(QPoint screen, const QString& text)
{
    TExtStringGridInput& g = *m_grid;
    int c = -1, r = -1;
    bool append = false;
    target(screen, c, r, append);
    if (c < 0 || r < 0)
        return;
    const QPoint extent = io::TextExtent(text);
    // The extent counts line breaks less one: the dropped lines are one more.
    const int lines = std::max(1, extent.y() + 1);
    if (g.options().testFlag(platform::goRowSelect))
        c = g.DragDropSettings.OleEntireRows ? 0 : g.FixedCols();
    bool allow = true;
    if (g.OnOleDrop)
        g.OnOleDrop(&g, r, c, text, allow);
    if (!allow)
        return;
    // Rows of this grid's own drag that the inserted rows push down are removed at their new
    // place after the move (the row-selection flags of disjunct row selection move with their
    // rows when the rows are inserted). Without inserted rows nothing moves.
    if (r <= g.m_dropSelection.Top && g.DragDropSettings.OleRemoveRows && g.m_dropSelection.Top >= 0
        && g.DragDropSettings.OleInsertRows && !append) {
        g.m_dropSelection.Top += lines;
        g.m_dropSelection.Bottom += lines;
    }
    if (g.FixedRowAlways() && g.RowCount() == 1 && r == 0)
        r = 1;
    const int top = g.topRow();
    if (g.DragDropSettings.OleInsertRows) {
        if (append) {
            g.SetRowCount(g.RowCount() + lines);
            ++r;
        } else {
            g.InsertRows(r, lines);
        }
        g.setTopRow(top > g.FixedRows() ? top + (append ? 0 : lines) : top);
    }
    int rows = 0, cols = 0;
    io::PasteText(g, c, r, rows, cols, text);
    const int left = std::max(c, g.FixedCols());
    const int width = std::max(1, extent.x() - (g.options().testFlag(platform::goRowSelect) ? g.FixedCols() : 0));
    const TGridRect block{left, r, std::min(g.ColCount() - 1, left + width - 1), std::min(g.RowCount() - 1, r + lines - 1)};
    g.SetSelection(block);
    hideArrows();
    if (g.OnOleDropped)
        g.OnOleDropped(&g, block);
}

void TGridDropTarget::DropStream(QPoint screen, const QByteArray& stream)
{
    TExtStringGridInput& g = *m_grid;
    int c = -1, r = -1;
    bool append = false;
    target(screen, c, r, append);
    if (c >= 0 && r >= 0)
        io::LoadAtPointFromBinStream(g, QPoint(c, r), stream, 0, {}, false);
    hideArrows();
    if (g.OnOleDropped)
        g.OnOleDropped(&g, g.Selection());
}

void TGridDropTarget::DropRTF(QPoint screen, const QString& rtf)
{
    intoCell(screen, rtf, m_grid->OnOleDrop);
}

void TGridDropTarget::DropURL(QPoint screen, const QString& url)
{
    intoCell(screen, url, m_grid->OnOleDropURL);
}

void TGridDropTarget::intoCell(QPoint screen, const QString& text,
                               const std::function<void(TExtStringGridInput*, int, int, const QString&, bool&)>& event)
{
    TExtStringGridInput& g = *m_grid;
    int c = -1, r = -1;
    bool append = false;
    target(screen, c, r, append);
    bool allow = true;
    if (event)
        event(&g, r, c, text, allow);
    if (allow && c >= 0 && r >= 0)
        g.SetCells(g.RealColIndex(c), r, text);
    hideArrows();
}

void TGridDropTarget::DropFiles(QPoint screen, const QStringList& files)
{
    TExtStringGridInput& g = *m_grid;
    hideArrows();
    if (files.size() != 1)
        return;
    const QString name = files.first();
    int c = -1, r = -1;
    bool append = false;
    target(screen, c, r, append);
    bool allow = true;
    if (g.OnOleDropFile)
        g.OnOleDropFile(&g, r, c, name, allow);
    if (!allow)
        return;
    const QString upper = name.toUpper();
    if (upper.contains(QLatin1String(".CSV"))) {
        bool load = true;
        if (g.OnOleDrop)
            g.OnOleDrop(&g, -1, -1, name, load);
        if (load)
            io::LoadFromCSV(g, name);
    }
    if (upper.contains(QLatin1String(".XLS"))) {
        bool load = true;
        if (g.OnOleDrop)
            g.OnOleDrop(&g, -1, -1, name, load);
        if (load)
            io::LoadFromXLS(g, name);
    }
}

void TGridDropTarget::DropCol(QPoint screen, int col)
{
    TExtStringGridInput& g = *m_grid;
    const QPoint p = g.viewport()->mapFromGlobal(screen);
    int c = -1, r = -1;
    g.mouseToCell(p.x(), p.y(), c, r);
    if (c < 0)
        c = g.ColCount();
    hideArrows();
    const bool enh = g.EnhRowColMove;
    if (g.m_oleDragCol != -1) {
        if (g.m_oleDragList)
            g.m_oleDragList(g.m_oleDragIndex);
        g.UnHideColumn(g.m_oleDragCol);
        const int from = g.DisplColIndex(g.m_oleDragCol);
        g.EnhRowColMove = true;
        if (from >= 0 && from != std::min(c, g.ColCount() - 1))
            g.MoveColumn(from, std::min(c, g.ColCount() - 1));
        g.EnhRowColMove = enh;
        g.m_oleDragCol = -1;
    } else if (g.DragDropSettings.OleColumnReorder && col >= 0 && col < g.ColCount()) {
        c = std::min(c, g.ColCount() - 1);
        if (col != c) {
            g.EnhRowColMove = true;
            g.MoveColumn(col, c);
            g.EnhRowColMove = enh;
        }
    }
    if (g.OnOleDropCol)
        g.OnOleDropCol(&g, r, c, col);
}

} // namespace controls::grid
