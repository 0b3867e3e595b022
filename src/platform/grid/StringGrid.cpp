#include "platform/grid/StringGrid.h"

#include "platform/grid/InplaceEdit.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <QResizeEvent>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>
#include <QWheelEvent>
#include <algorithm>

namespace platform {

namespace {

const QString kIndexOutOfRange = QStringLiteral("Grid index out of range");

[[noreturn]] void invalidOp(const QString& message) { throw EInvalidGridOperation(message); }

// a x b / c in 64 bits, truncated toward zero; 0 when c is 0.
int mulDiv(int a, int b, int c)
{
    if (c == 0)
        return 0;
    return int((qint64(a) * qint64(b)) / qint64(c));
}

// Keeps a cell position on its row/column across a move from `from` to `to`.
void moveAdjust(int& pos, int from, int to)
{
    if (pos == from) {
        pos = to;
        return;
    }
    const int lo = std::min(from, to);
    const int hi = std::max(from, to);
    if (pos >= lo && pos <= hi)
        pos += from > to ? 1 : -1;
}

TGridRect normalized(TGridCoord a, TGridCoord b)
{
    return TGridRect{std::min(a.X, b.X), std::min(a.Y, b.Y), std::max(a.X, b.X), std::max(a.Y, b.Y)};
}

bool isDialogKey(const QKeyEvent* e)
{
    return e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter || e->key() == Qt::Key_Escape;
}

} // namespace

// --- construction ----------------------------------------------------------------------------

TStringGrid::TStringGrid(QWidget* parent)
    : QAbstractScrollArea(parent)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAutoFillBackground(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    for (TScrollBarKind kind : {TScrollBarKind::sbHorizontal, TScrollBarKind::sbVertical}) {
        QScrollBar* b = qtBar(kind);
        b->setRange(0, 0);
        b->setSingleStep(1);
        b->setPageStep(0);
        b->setFocusPolicy(Qt::NoFocus);
        b->installEventFilter(this);
        connect(b, &QAbstractSlider::actionTriggered, this, [this, kind](int action) { scrollBarAction(kind, action); });
        connect(b, &QAbstractSlider::sliderReleased, this, [this, kind]() {
            sendScrollCode(kind, TScrollCode::SB_THUMBPOSITION, qtBar(kind)->sliderPosition());
        });
    }
    m_focusConnection = connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
        auto inside = [this](QWidget* w) { return w && (w == this || isAncestorOf(w)); };
        if (old == this && now != this)
            wmKillFocus(now);
        if (inside(old) && !inside(now))
            doExit();
        if (!inside(old) && inside(now))
            doEnter();
        if (now == this && old != this)
            wmSetFocus(old);
    });
    initialize();
    resize(320, 120);
}

TStringGrid::~TStringGrid()
{
    // The focus leaves the grid while Qt takes the widget apart; the grid's handlers must not
    // run then. The editor and the timers are children and go with the widget.
    disconnect(m_focusConnection);
}

void TStringGrid::initialize()
{
    m_topLeft = TGridCoord{m_fixedCols, m_fixedRows};
    m_current = m_topLeft;
    m_anchor = m_current;
    if (m_options.testFlag(goRowSelect))
        m_anchor.X = m_colCount - 1;
}

// --- cells ---------------------------------------------------------------------------------

QString TStringGrid::cells(int col, int row) const { return m_cells.text(col, row); }

void TStringGrid::setCells(int col, int row, const QString& value)
{
    m_cells.setText(col, row, value);
    invalidateCell(col, row);
    // A write from code to the cell being edited shows in the editor; the editor's own
    // writes (setEditText) come back here with m_editUpdate raised and are left alone.
    if (m_editUpdate == 0 && col == m_inplaceCol && row == m_inplaceRow)
        invalidateEditor();
}

void* TStringGrid::objects(int col, int row) const { return m_cells.object(col, row); }

void TStringGrid::setObjects(int col, int row, void* object) { m_cells.setObject(col, row, object); }

// --- dimensions ----------------------------------------------------------------------------

void TStringGrid::setColCount(int value)
{
    if (value == m_colCount)
        return;
    if (value < 1)
        value = 1;
    if (value <= m_fixedCols)
        setFixedCols(value - 1);
    changeSize(value, m_rowCount);
    if (m_options.testFlag(goRowSelect)) {
        m_anchor.X = m_colCount - 1;
        invalidate();
    }
}

void TStringGrid::setRowCount(int value)
{
    if (value == m_rowCount)
        return;
    if (value < 1)
        value = 1;
    if (value <= m_fixedRows)
        setFixedRows(value - 1);
    changeSize(m_colCount, value);
}

void TStringGrid::setFixedCols(int value)
{
    if (value < 0)
        invalidOp(kIndexOutOfRange);
    if (value >= m_colCount)
        invalidOp(QStringLiteral("Fixed column count must be less than column count"));
    if (value == m_fixedCols)
        return;
    m_fixedCols = value;
    initialize();
    updateScrollRange();
    if (m_editorMode && m_inplaceEdit)
        invalidateEditor();
    invalidateGrid();
}

void TStringGrid::setFixedRows(int value)
{
    if (value < 0)
        invalidOp(kIndexOutOfRange);
    if (value >= m_rowCount)
        invalidOp(QStringLiteral("Fixed row count must be less than row count"));
    if (value == m_fixedRows)
        return;
    m_fixedRows = value;
    initialize();
    updateScrollRange();
    if (m_editorMode && m_inplaceEdit)
        invalidateEditor();
    invalidateGrid();
}

void TStringGrid::changeSize(int newColCount, int newRowCount)
{
    const int oldColCount = m_colCount;
    const int oldRowCount = m_rowCount;
    m_colCount = newColCount;
    m_rowCount = newRowCount;
    if (m_fixedCols >= m_colCount)
        m_fixedCols = m_colCount - 1;
    if (m_fixedRows >= m_rowCount)
        m_fixedRows = m_rowCount - 1;
    if (!m_colWidths.empty())
        m_colWidths.resize(size_t(m_colCount), m_defaultColWidth);
    if (!m_rowHeights.empty())
        m_rowHeights.resize(size_t(m_rowCount), m_defaultRowHeight);
    if (!m_tabStops.empty())
        m_tabStops.resize(size_t(m_colCount), 1);

    TGridCoord coord = m_current;
    coord.Y = std::min(coord.Y, m_rowCount - 1);
    coord.X = std::min(coord.X, m_colCount - 1);
    if (coord != m_current)
        moveCurrent(coord.X, coord.Y, true, true);
    if (m_current.X >= m_colCount || m_current.Y >= m_rowCount) {
        // SelectCell refused the move, but the old cell no longer exists: the current cell
        // cannot stay outside the grid.
        m_current = coord;
        m_anchor = coord;
        if (m_options.testFlag(goRowSelect))
            m_anchor.X = m_colCount - 1;
    }
    if (m_anchor != coord)
        moveAnchor(coord);
    m_anchor.X = std::min(m_anchor.X, m_colCount - 1);
    m_anchor.Y = std::min(m_anchor.Y, m_rowCount - 1);
    invalidateGrid();
    updateScrollRange();
    sizeChanged(oldColCount, oldRowCount);
}

void TStringGrid::ensureExtents(std::vector<int>& extents, int count, int defaultValue)
{
    if (extents.empty())
        extents.assign(size_t(count), defaultValue);
}

void TStringGrid::setDefaultColWidth(int value)
{
    m_colWidths.clear();
    m_defaultColWidth = std::max(0, value);
    colWidthsChanged();
    invalidateGrid();
}

void TStringGrid::setDefaultRowHeight(int value)
{
    m_rowHeights.clear();
    m_defaultRowHeight = std::max(0, value);
    rowHeightsChanged();
    invalidateGrid();
}

int TStringGrid::colWidths(int index) const
{
    if (m_colWidths.empty() || index < 0 || index >= int(m_colWidths.size()))
        return m_defaultColWidth;
    return m_colWidths[size_t(index)];
}

void TStringGrid::setColWidths(int index, int value)
{
    if (index < 0 || index >= m_colCount)
        invalidOp(kIndexOutOfRange);
    value = std::max(0, value);
    if (colWidths(index) == value)
        return;
    ensureExtents(m_colWidths, m_colCount, m_defaultColWidth);
    m_colWidths[size_t(index)] = value;
    colWidthsChanged();
    invalidateGrid();
}

int TStringGrid::rowHeights(int index) const
{
    if (m_rowHeights.empty() || index < 0 || index >= int(m_rowHeights.size()))
        return m_defaultRowHeight;
    return m_rowHeights[size_t(index)];
}

void TStringGrid::setRowHeights(int index, int value)
{
    if (index < 0 || index >= m_rowCount)
        invalidOp(kIndexOutOfRange);
    value = std::max(0, value);
    if (rowHeights(index) == value)
        return;
    ensureExtents(m_rowHeights, m_rowCount, m_defaultRowHeight);
    m_rowHeights[size_t(index)] = value;
    rowHeightsChanged();
    invalidateGrid();
}

bool TStringGrid::tabStops(int index) const
{
    if (m_tabStops.empty() || index < 0 || index >= int(m_tabStops.size()))
        return true;
    return m_tabStops[size_t(index)] != 0;
}

void TStringGrid::setTabStops(int index, bool value)
{
    if (index < 0 || index >= m_colCount)
        invalidOp(kIndexOutOfRange);
    if (m_tabStops.empty()) {
        if (value)
            return;
        m_tabStops.assign(size_t(m_colCount), 1);
    }
    m_tabStops[size_t(index)] = value ? 1 : 0;
}

void TStringGrid::setGridLineWidth(int value)
{
    value = std::max(0, value);
    if (value == m_gridLineWidth)
        return;
    m_gridLineWidth = value;
    updateScrollRange();
    invalidateGrid();
}

void TStringGrid::setOptions(TGridOptions value)
{
    if (value == m_options)
        return;
    if (value.testFlag(goRowSelect))
        value &= ~TGridOptions(goAlwaysShowEditor);
    m_options = value;
    if (!m_editorMode) {
        if (value.testFlag(goAlwaysShowEditor))
            showEditor();
        else
            hideEditor();
    }
    if (value.testFlag(goRowSelect))
        moveCurrent(m_current.X, m_current.Y, true, false);
    updateScrollRange();
    invalidateGrid();
}

void TStringGrid::setScrollBars(TScrollStyle value)
{
    if (value == m_scrollBars)
        return;
    m_scrollBars = value;
    applyScrollBar(TScrollBarKind::sbHorizontal);
    applyScrollBar(TScrollBarKind::sbVertical);
    updateScrollRange();
}

void TStringGrid::setBorderStyle(TBorderStyle value)
{
    if (value == m_borderStyle)
        return;
    m_borderStyle = value;
    if (value == TBorderStyle::bsSingle) {
        setFrameStyle(QFrame::Panel | QFrame::Sunken);
        setLineWidth(2);
    } else {
        setFrameStyle(QFrame::NoFrame);
    }
}

void TStringGrid::setColor(Color value)
{
    m_color = value;
    invalidate();
}

void TStringGrid::setFixedColor(Color value)
{
    m_fixedColor = value;
    invalidate();
}

void TStringGrid::setDefaultDrawing(bool value)
{
    m_defaultDrawing = value;
    invalidate();
}

int TStringGrid::clientWidth() const { return viewport()->width(); }
int TStringGrid::clientHeight() const { return viewport()->height(); }

// --- layout ----------------------------------------------------------------------------------

TGridDrawInfo TStringGrid::calcDrawInfo() const
{
    TGridDrawInfo d;
    auto calcAxis = [this](TGridAxisDrawInfo& a, bool lines, int fixedCount, int first, int count, int extent,
                           auto extentOf) {
        a.EffectiveLineWidth = lines ? m_gridLineWidth : 0;
        a.FixedCellCount = fixedCount;
        a.FirstGridCell = first;
        a.GridCellCount = count;
        a.GridExtent = extent;
        a.FixedBoundary = 0;
        for (int i = 0; i < fixedCount; ++i)
            a.FixedBoundary += extentOf(i) + a.EffectiveLineWidth;
        a.GridBoundary = a.FixedBoundary;
        a.FullVisBoundary = a.FixedBoundary;
        a.LastFullVisibleCell = first;
        for (int i = first; i < count; ++i) {
            a.GridBoundary += extentOf(i) + a.EffectiveLineWidth;
            if (a.GridBoundary > a.GridExtent + a.EffectiveLineWidth) {
                a.GridBoundary = a.GridExtent;
                break;
            }
            a.LastFullVisibleCell = i;
            a.FullVisBoundary = a.GridBoundary;
        }
    };
    calcAxis(d.Horz, (m_options & (goFixedVertLine | goVertLine)) != 0, m_fixedCols, m_topLeft.X, m_colCount,
             clientWidth(), [this](int i) { return colWidths(i); });
    calcAxis(d.Vert, (m_options & (goFixedHorzLine | goHorzLine)) != 0, m_fixedRows, m_topLeft.Y, m_rowCount,
             clientHeight(), [this](int i) { return rowHeights(i); });
    return d;
}

int TStringGrid::visibleColCount() const
{
    const TGridDrawInfo d = calcDrawInfo();
    return d.Horz.LastFullVisibleCell - m_topLeft.X + 1;
}

int TStringGrid::visibleRowCount() const
{
    const TGridDrawInfo d = calcDrawInfo();
    return d.Vert.LastFullVisibleCell - m_topLeft.Y + 1;
}

TGridCoord TStringGrid::calcMaxTopLeft(TGridCoord coord, const TGridDrawInfo& info) const
{
    auto calcMaxCell = [](const TGridAxisDrawInfo& a, int start, auto extentOf) {
        int result = start;
        int line = a.GridExtent + a.EffectiveLineWidth;
        for (int i = start; i >= a.FixedCellCount; --i) {
            const int extent = extentOf(i);
            if (extent > 0) {
                line -= extent + a.EffectiveLineWidth;
                if (line < a.FixedBoundary) {
                    if (result == start && extentOf(start) <= 0)
                        result = i;
                    break;
                }
                result = i;
            }
        }
        return result;
    };
    return TGridCoord{calcMaxCell(info.Horz, coord.X, [this](int i) { return colWidths(i); }),
                      calcMaxCell(info.Vert, coord.Y, [this](int i) { return rowHeights(i); })};
}

Rect TStringGrid::cellRect(int col, int row) const
{
    if (col < 0 || row < 0 || col >= m_colCount || row >= m_rowCount)
        return Rect{};
    const TGridDrawInfo info = calcDrawInfo();
    if (col > info.Horz.LastFullVisibleCell + 1 || row > info.Vert.LastFullVisibleCell + 1)
        return Rect{};

    // Start of a cell on its axis, 0 when it starts beyond the client area.
    auto pos = [](const TGridAxisDrawInfo& a, int line, auto extentOf) {
        int result = 0;
        int start = 0;
        if (line >= a.FixedCellCount) {
            if (line >= a.FirstGridCell)
                result = a.FixedBoundary;
            start = a.FirstGridCell;
        }
        for (int i = start; i < line; ++i) {
            result += extentOf(i) + a.EffectiveLineWidth;
            if (result > a.GridExtent)
                return 0;
        }
        return result;
    };
    auto axis = [&pos](const TGridAxisDrawInfo& a, int cell, int& from, int& to, auto extentOf) {
        if (cell >= a.FixedCellCount && cell < a.FirstGridCell)
            return false; // scrolled out of view
        int last = cell;
        if (last > a.LastFullVisibleCell) {
            last = a.LastFullVisibleCell;
            if (last < a.GridCellCount - 1)
                ++last;
            if (pos(a, last, extentOf) == 0)
                --last;
        }
        if (last < cell)
            return false;
        from = pos(a, cell, extentOf);
        to = from + extentOf(cell);
        if (to > a.GridExtent)
            to = a.GridExtent;
        return to > from || extentOf(cell) == 0;
    };
    Rect r;
    if (!axis(info.Horz, col, r.left, r.right, [this](int i) { return colWidths(i); }))
        return Rect{};
    if (!axis(info.Vert, row, r.top, r.bottom, [this](int i) { return rowHeights(i); }))
        return Rect{};
    return r;
}

TGridCoord TStringGrid::mouseCoord(int x, int y) const
{
    TGridCoord c = calcCoordFromPoint(x, y, calcDrawInfo());
    if (c.X < 0 || c.Y < 0)
        c = TGridCoord{-1, -1};
    return c;
}

TGridCoord TStringGrid::calcCoordFromPoint(int x, int y, const TGridDrawInfo& info) const
{
    auto calc = [](const TGridAxisDrawInfo& a, int n, auto extentOf) {
        if (n < 0)
            return -1;
        int start, stop, line;
        if (n < a.FixedBoundary) {
            start = 0;
            stop = a.FixedCellCount - 1;
            line = 0;
        } else {
            start = a.FirstGridCell;
            stop = a.GridCellCount - 1;
            line = a.FixedBoundary;
        }
        for (int i = start; i <= stop; ++i) {
            line += extentOf(i) + a.EffectiveLineWidth;
            if (n < line)
                return i;
        }
        return -1;
    };
    return TGridCoord{calc(info.Horz, x, [this](int i) { return colWidths(i); }),
                      calc(info.Vert, y, [this](int i) { return rowHeights(i); })};
}

void TStringGrid::mouseToCell(int x, int y, int& col, int& row) const
{
    const TGridCoord c = mouseCoord(x, y);
    col = c.X;
    row = c.Y;
}

// --- current cell and selection ---------------------------------------------------------------

TGridRect TStringGrid::selection() const { return normalized(m_current, m_anchor); }

void TStringGrid::setSelection(const TGridRect& value)
{
    const TGridRect oldSel = selection();
    m_anchor = TGridCoord{value.Left, value.Top};
    m_current = TGridCoord{value.Right, value.Bottom};
    selectionMoved(oldSel);
}

void TStringGrid::setCol(int value)
{
    if (value != m_current.X)
        focusCell(value, m_current.Y, true);
}

void TStringGrid::setRow(int value)
{
    if (value != m_current.Y)
        focusCell(m_current.X, value, true);
}

void TStringGrid::setLeftCol(int value)
{
    if (value != m_topLeft.X)
        moveTopLeft(value, m_topLeft.Y);
}

void TStringGrid::setTopRow(int value)
{
    if (value != m_topLeft.Y)
        moveTopLeft(m_topLeft.X, value);
}

void TStringGrid::moveCurrent(int col, int row, bool moveAnchorToo, bool show)
{
    if (col < 0 || row < 0 || col >= m_colCount || row >= m_rowCount)
        invalidOp(kIndexOutOfRange);
    if (!selectCell(col, row))
        return;
    const TGridRect oldSel = selection();
    const TGridCoord oldCurrent = m_current;
    m_current = TGridCoord{col, row};
    if (!m_options.testFlag(goAlwaysShowEditor))
        hideEditor();
    if (moveAnchorToo || !m_options.testFlag(goRangeSelect)) {
        m_anchor = m_current;
        if (m_options.testFlag(goRowSelect))
            m_anchor.X = m_colCount - 1;
    }
    if (m_options.testFlag(goRowSelect))
        m_current.X = m_fixedCols;
    if (show)
        clampInView(m_current);
    selectionMoved(oldSel);
    invalidateCell(oldCurrent.X, oldCurrent.Y);
    invalidateCell(col, row);
}

void TStringGrid::moveAnchor(TGridCoord newAnchor)
{
    if ((m_options & (goRangeSelect | goEditing)) == TGridOptions(goRangeSelect)) {
        const TGridRect oldSel = selection();
        m_anchor = newAnchor;
        if (m_options.testFlag(goRowSelect))
            m_anchor.X = m_colCount - 1;
        clampInView(newAnchor);
        selectionMoved(oldSel);
    } else {
        moveCurrent(newAnchor.X, newAnchor.Y, true, true);
    }
}

void TStringGrid::focusCell(int col, int row, bool moveAnchorToo)
{
    moveCurrent(col, row, moveAnchorToo, true);
    updateEdit();
    click();
}

void TStringGrid::clampInView(TGridCoord coord)
{
    const TGridDrawInfo info = calcDrawInfo();
    if (coord.X > info.Horz.LastFullVisibleCell || coord.Y > info.Vert.LastFullVisibleCell ||
        coord.X < m_topLeft.X || coord.Y < m_topLeft.Y) {
        const TGridCoord maxTopLeft = calcMaxTopLeft(coord, info);
        TGridCoord next = m_topLeft;
        if (coord.X < m_topLeft.X)
            next.X = coord.X;
        else if (coord.X > info.Horz.LastFullVisibleCell)
            next.X = maxTopLeft.X;
        if (coord.Y < m_topLeft.Y)
            next.Y = coord.Y;
        else if (coord.Y > info.Vert.LastFullVisibleCell)
            next.Y = maxTopLeft.Y;
        // Fixed cells are always in view; the top-left cell is a scrollable one.
        next.X = std::max(next.X, m_fixedCols);
        next.Y = std::max(next.Y, m_fixedRows);
        moveTopLeft(next.X, next.Y);
    }
}

void TStringGrid::moveTopLeft(int left, int top)
{
    const TGridDrawInfo info = calcDrawInfo();
    const TGridCoord maxTopLeft = calcMaxTopLeft(TGridCoord{m_colCount - 1, m_rowCount - 1}, info);
    left = std::max(m_fixedCols, std::min(left, maxTopLeft.X));
    top = std::max(m_fixedRows, std::min(top, maxTopLeft.Y));
    if (left == m_topLeft.X && top == m_topLeft.Y)
        return;
    const TGridCoord old = m_topLeft;
    m_topLeft = TGridCoord{left, top};
    topLeftMoved(old);
}

void TStringGrid::topLeftMoved(TGridCoord)
{
    updateScrollPos();
    invalidate();
    topLeftChanged();
}

void TStringGrid::selectionMoved(const TGridRect& oldSel)
{
    // Repaint the old and the new selection (with their lines).
    auto area = [this](const TGridRect& s) {
        const Rect a = cellRect(std::max(s.Left, 0), std::max(s.Top, 0));
        const TGridDrawInfo info = calcDrawInfo();
        Rect b = cellRect(std::min(s.Right, info.Horz.LastFullVisibleCell + 1),
                          std::min(s.Bottom, info.Vert.LastFullVisibleCell + 1));
        QRect r;
        if (!a.isEmpty())
            r = a.toQRect();
        if (!b.isEmpty())
            r = r.united(b.toQRect());
        // Cells of the selection above/left of the view: extend to the scrollable edge.
        if (s.Left < m_topLeft.X && s.Right >= m_topLeft.X)
            r = r.united(QRect(info.Horz.FixedBoundary, r.top(), 1, std::max(r.height(), 1)));
        if (s.Top < m_topLeft.Y && s.Bottom >= m_topLeft.Y)
            r = r.united(QRect(r.left(), info.Vert.FixedBoundary, std::max(r.width(), 1), 1));
        return r.adjusted(0, 0, m_gridLineWidth, m_gridLineWidth);
    };
    const QRect before = area(oldSel);
    const QRect after = area(selection());
    if (!before.isEmpty())
        viewport()->update(before);
    if (!after.isEmpty())
        viewport()->update(after);
}

// --- structure -------------------------------------------------------------------------------

void TStringGrid::moveColumn(int fromIndex, int toIndex)
{
    if (fromIndex < 0 || toIndex < 0 || fromIndex >= m_colCount || toIndex >= m_colCount)
        invalidOp(kIndexOutOfRange);
    if (fromIndex == toIndex)
        return;
    moveAdjust(m_current.X, fromIndex, toIndex);
    moveAdjust(m_anchor.X, fromIndex, toIndex);
    moveAdjust(m_inplaceCol, fromIndex, toIndex);
    invalidateGridRect(TGridRect{std::min(fromIndex, toIndex), 0, std::max(fromIndex, toIndex), m_rowCount - 1});
    columnMoved(fromIndex, toIndex);
    updateEdit();
}

void TStringGrid::moveRow(int fromIndex, int toIndex)
{
    if (fromIndex < 0 || toIndex < 0 || fromIndex >= m_rowCount || toIndex >= m_rowCount)
        invalidOp(kIndexOutOfRange);
    if (fromIndex == toIndex)
        return;
    moveAdjust(m_current.Y, fromIndex, toIndex);
    moveAdjust(m_anchor.Y, fromIndex, toIndex);
    moveAdjust(m_inplaceRow, fromIndex, toIndex);
    invalidateGridRect(TGridRect{0, std::min(fromIndex, toIndex), m_colCount - 1, std::max(fromIndex, toIndex)});
    rowMoved(fromIndex, toIndex);
    updateEdit();
}

void TStringGrid::deleteColumn(int index)
{
    if (index < 0 || index >= m_colCount)
        invalidOp(kIndexOutOfRange);
    moveColumn(index, m_colCount - 1);
    setColCount(m_colCount - 1);
}

void TStringGrid::deleteRow(int index)
{
    if (index < 0 || index >= m_rowCount)
        invalidOp(kIndexOutOfRange);
    moveRow(index, m_rowCount - 1);
    setRowCount(m_rowCount - 1);
}

// --- row blocks ------------------------------------------------------------------------------

void TStringGrid::rotateRowBlock(int first, int middle, int last)
{
    if (first < 0 || middle < first || last < middle || last > m_rowCount)
        invalidOp(kIndexOutOfRange);
    if (first == middle || middle == last)
        return;
    m_cells.rotateRows(first, middle, last);
    rotateRowHeights(first, middle, last);
    invalidateGrid();
}

void TStringGrid::insertRowBlock(int first, int count)
{
    if (first < 0 || first > m_rowCount || count < 0)
        invalidOp(kIndexOutOfRange);
    if (count == 0)
        return;
    const int old = m_rowCount;
    m_cells.insertRows(first, count, old);
    if (!m_rowHeights.empty())
        m_rowHeights.insert(m_rowHeights.begin() + first, size_t(count), m_defaultRowHeight);
    setRowCount(old + count);
    if (!m_rowHeights.empty())
        rowHeightsChanged();
    invalidateGrid();
}

void TStringGrid::deleteRowBlock(int first, int count)
{
    if (first < 0 || count < 0 || first + count > m_rowCount || count >= m_rowCount)
        invalidOp(kIndexOutOfRange);
    if (count == 0)
        return;
    const int old = m_rowCount;
    m_cells.removeRows(first, count, old);
    if (!m_rowHeights.empty())
        m_rowHeights.erase(m_rowHeights.begin() + first, m_rowHeights.begin() + first + count);
    setRowCount(old - count);
    if (!m_rowHeights.empty())
        rowHeightsChanged();
    invalidateGrid();
}

TTakenRows TStringGrid::takeRowBlock(const std::vector<int>& rows)
{
    if (rows.empty())
        return {};
    if (rows.back() >= m_rowCount || int(rows.size()) >= m_rowCount)
        invalidOp(kIndexOutOfRange);
    const int old = m_rowCount;
    TTakenRows taken;
    taken.cells = m_cells.takeRows(rows, old);
    if (!m_rowHeights.empty()) {
        taken.heights.reserve(rows.size());
        for (int r : rows)
            taken.heights.push_back(m_rowHeights[size_t(r)]);
        // Close up the heights the same way: one pass from the first taken row.
        size_t j = 0;
        int write = rows.front();
        for (int r = rows.front(); r < old; ++r) {
            if (j < rows.size() && rows[j] == r) {
                ++j;
                continue;
            }
            m_rowHeights[size_t(write++)] = m_rowHeights[size_t(r)];
        }
    }
    setRowCount(old - int(rows.size()));
    if (!m_rowHeights.empty())
        rowHeightsChanged();
    invalidateGrid();
    return taken;
}

void TStringGrid::putRowBlock(const std::vector<int>& positions, TTakenRows rows)
{
    if (positions.size() != rows.size() || (!rows.heights.empty() && rows.heights.size() != rows.size()))
        invalidOp(kIndexOutOfRange);
    if (positions.empty())
        return;
    const int old = m_rowCount;
    const int k = int(positions.size());
    for (size_t i = 0; i < positions.size(); ++i)
        if (positions[i] < 0 || positions[i] >= old + k || (i > 0 && positions[i] <= positions[i - 1]))
            invalidOp(kIndexOutOfRange);
    bool heights = !m_rowHeights.empty();
    for (int h : rows.heights)
        heights = heights || (h > 0 && h != m_defaultRowHeight);
    m_cells.putRows(positions, std::move(rows.cells), old);
    setRowCount(old + k);
    if (heights) {
        ensureExtents(m_rowHeights, m_rowCount, m_defaultRowHeight);
        // Spread from the bottom: each old row moves down past the places below it.
        int src = old - 1;
        int j = k - 1;
        for (int dst = m_rowCount - 1; dst >= positions.front(); --dst) {
            if (j >= 0 && positions[size_t(j)] == dst) {
                const int h = rows.height(size_t(j));
                m_rowHeights[size_t(dst)] = h > 0 ? h : m_defaultRowHeight;
                --j;
            } else {
                m_rowHeights[size_t(dst)] = m_rowHeights[size_t(src--)];
            }
        }
        rowHeightsChanged();
    }
    invalidateGrid();
}

void TStringGrid::rotateRowHeights(int first, int middle, int last)
{
    if (first < 0 || middle < first || last < middle || last > m_rowCount)
        invalidOp(kIndexOutOfRange);
    if (m_rowHeights.empty() || first == middle || middle == last)
        return;
    std::rotate(m_rowHeights.begin() + first, m_rowHeights.begin() + middle, m_rowHeights.begin() + last);
    rowHeightsChanged();
    invalidateGrid();
}

void TStringGrid::permuteRowBlock(int first, const std::vector<int>& order)
{
    if (first < 0 || first + int(order.size()) > m_rowCount)
        invalidOp(kIndexOutOfRange);
    m_cells.permuteRows(first, order);
    if (!m_rowHeights.empty()) {
        const std::vector<int> before(m_rowHeights.begin() + first, m_rowHeights.begin() + first + int(order.size()));
        for (size_t i = 0; i < order.size(); ++i)
            m_rowHeights[size_t(first) + i] = before[size_t(order[i])];
        rowHeightsChanged();
    }
    invalidateGrid();
}

void TStringGrid::columnMoved(int fromIndex, int toIndex)
{
    m_cells.moveColumn(fromIndex, toIndex);
    if (onColumnMoved)
        onColumnMoved(this, fromIndex, toIndex);
}

void TStringGrid::rowMoved(int fromIndex, int toIndex)
{
    m_cells.moveRow(fromIndex, toIndex);
    if (onRowMoved)
        onRowMoved(this, fromIndex, toIndex);
}

// --- hooks ---------------------------------------------------------------------------------

bool TStringGrid::selectCell(int col, int row)
{
    bool result = true;
    if (onSelectCell)
        onSelectCell(this, col, row, result);
    return result;
}

void TStringGrid::topLeftChanged()
{
    if (m_editorMode && m_inplaceEdit)
        m_inplaceEdit->updateLoc(cellRect(m_current.X, m_current.Y));
    if (onTopLeftChanged)
        onTopLeftChanged(this);
}

void TStringGrid::drawCell(int col, int row, const Rect& rect, TGridDrawState state)
{
    if (m_defaultDrawing) {
        Canvas& c = canvas();
        Rect r{rect.left + 2, rect.top + 2, rect.right, rect.bottom};
        const Brush saved = c.brush();
        c.brush().style = BrushStyle::Clear;
        c.drawText(cells(col, row), r, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
        c.setBrush(saved);
    }
    if (onDrawCell)
        onDrawCell(this, col, row, rect, state);
}

void TStringGrid::colWidthsChanged()
{
    updateScrollRange();
    updateEdit();
}

void TStringGrid::rowHeightsChanged()
{
    updateScrollRange();
    updateEdit();
}

void TStringGrid::sizeChanged(int, int) {}

void TStringGrid::click()
{
    if (onClick)
        onClick(this);
}

void TStringGrid::dblClick()
{
    if (onDblClick)
        onDblClick(this);
}

void TStringGrid::doEnter()
{
    if (onEnter)
        onEnter(this);
}

void TStringGrid::doExit()
{
    if (onExit)
        onExit(this);
}

void TStringGrid::resized()
{
    if (onResize)
        onResize(this);
}

// --- editing -------------------------------------------------------------------------------

TInplaceEdit* TStringGrid::createEditor() { return new TInplaceEdit(this); }

bool TStringGrid::isActiveControl() const
{
    const QWidget* f = window()->focusWidget();
    return f && (f == this || isAncestorOf(f));
}

bool TStringGrid::canEditShow()
{
    return (m_options & (goRowSelect | goEditing)) == TGridOptions(goEditing) && m_editorMode &&
           (m_options.testFlag(goAlwaysShowEditor) || isActiveControl());
}

bool TStringGrid::canEditModify() { return m_canEditModify; }
bool TStringGrid::canEditAcceptKey(QChar) { return true; }
bool TStringGrid::canGridAcceptKey(quint16, TShiftState) { return true; }

QString TStringGrid::getEditText(int col, int row)
{
    QString result = cells(col, row);
    if (onGetEditText)
        onGetEditText(this, col, row, result);
    return result;
}

void TStringGrid::setEditText(int col, int row, const QString& value)
{
    ++m_editUpdate;
    try {
        if (value != cells(col, row))
            setCells(col, row, value);
    } catch (...) {
        --m_editUpdate;
        throw;
    }
    --m_editUpdate;
    if (onSetEditText)
        onSetEditText(this, col, row, value);
}

int TStringGrid::getEditLimit() { return 0; }

QString TStringGrid::getEditMask(int col, int row)
{
    QString result;
    if (onGetEditMask)
        onGetEditMask(this, col, row, result);
    return result;
}

void TStringGrid::editorChanged() { updateText(); }

void TStringGrid::setEditorMode(bool value)
{
    if (!value) {
        hideEditor();
    } else {
        showEditor();
        if (m_inplaceEdit)
            m_inplaceEdit->deselect();
    }
}

void TStringGrid::showEditor()
{
    m_editorMode = true;
    updateEdit();
}

void TStringGrid::hideEditor()
{
    m_editorMode = false;
    hideEdit();
}

void TStringGrid::showEditorChar(QChar ch)
{
    showEditor();
    if (!m_inplaceEdit)
        return;
    // The character goes to the editor at once, before any key already waiting in the queue:
    // posted, a fast typist's next key could reach the new editor first ("Fan" became "aFn").
    TWMKey msg{ch.unicode(), 0, 0};
    m_inplaceEdit->wmChar(msg);
}

void TStringGrid::updateEdit()
{
    if (!canEditShow())
        return;
    auto loadEditor = [this]() {
        m_inplaceCol = m_current.X;
        m_inplaceRow = m_current.Y;
        m_inplaceEdit->updateContents();
        m_canEditModify = m_inplaceEdit->maxLength() != -1;
        m_inplaceEdit->selectAll();
    };
    if (!m_inplaceEdit) {
        m_inplaceEdit = createEditor();
        loadEditor();
    } else if (m_current.X != m_inplaceCol || m_current.Y != m_inplaceRow) {
        hideEdit();
        loadEditor();
    }
    if (canEditShow())
        m_inplaceEdit->moveTo(cellRect(m_current.X, m_current.Y));
}

void TStringGrid::hideEdit()
{
    if (!m_inplaceEdit)
        return;
    try {
        updateText();
    } catch (...) {
        m_inplaceCol = -1;
        m_inplaceRow = -1;
        m_inplaceEdit->hideEditor();
        throw;
    }
    m_inplaceCol = -1;
    m_inplaceRow = -1;
    m_inplaceEdit->hideEditor();
}

void TStringGrid::updateText()
{
    if (m_inplaceEdit && m_inplaceCol != -1 && m_inplaceRow != -1)
        setEditText(m_inplaceCol, m_inplaceRow, m_inplaceEdit->text());
}

void TStringGrid::invalidateEditor()
{
    m_inplaceCol = -1;
    m_inplaceRow = -1;
    updateEdit();
}

// --- repainting ------------------------------------------------------------------------------

void TStringGrid::invalidateCell(int col, int row) { invalidateGridRect(TGridRect{col, row, col, row}); }

void TStringGrid::invalidateRow(int row) { invalidateGridRect(TGridRect{0, row, m_colCount - 1, row}); }

void TStringGrid::invalidateCol(int col) { invalidateGridRect(TGridRect{col, 0, col, m_rowCount - 1}); }

bool TStringGrid::mayBeVisible(const TGridRect& rect) const
{
    // A quick answer without laying out the visible cells: blocks wholly above/left of the
    // view, or (with uniform sizes) wholly below/right of what the client area can hold, are
    // out of view. Anything else is decided by the layout.
    auto axis = [](int lo, int hi, int fixed, int first, bool uniform, int extent, int size) {
        if (hi < fixed)
            return true;
        if (hi < first && lo >= fixed)
            return false;
        if (uniform && size > 0) {
            const int mostCells = extent / size + 2;
            if (lo > first + mostCells)
                return false;
        }
        return true;
    };
    const int lwH = (m_options & (goFixedVertLine | goVertLine)) ? m_gridLineWidth : 0;
    const int lwV = (m_options & (goFixedHorzLine | goHorzLine)) ? m_gridLineWidth : 0;
    return axis(rect.Left, rect.Right, m_fixedCols, m_topLeft.X, m_colWidths.empty(), clientWidth(),
                m_defaultColWidth + lwH) &&
           axis(rect.Top, rect.Bottom, m_fixedRows, m_topLeft.Y, m_rowHeights.empty(), clientHeight(),
                m_defaultRowHeight + lwV);
}

void TStringGrid::invalidateGridRect(const TGridRect& rect)
{
    if (rect.Left > rect.Right || rect.Top > rect.Bottom)
        return;
    if (!viewport()->isVisible() || !viewport()->updatesEnabled() || !mayBeVisible(rect))
        return;
    const TGridDrawInfo info = calcDrawInfo();
    // The visible part of the block: clamp it to the cells on screen.
    auto clampAxis = [](const TGridAxisDrawInfo& a, int lo, int hi, int& outLo, int& outHi) {
        const int lastShown = std::min(a.LastFullVisibleCell + 1, a.GridCellCount - 1);
        if (hi < 0 || lo > lastShown)
            return false;
        if (lo >= a.FixedCellCount && lo < a.FirstGridCell) {
            if (hi < a.FirstGridCell)
                return false;
            lo = a.FirstGridCell;
        }
        outLo = std::max(lo, 0);
        outHi = std::min(hi, lastShown);
        // A block over the fixed and the scrolled-away cells: its visible cells run on.
        if (outLo < a.FixedCellCount && outHi >= a.FixedCellCount && outHi < a.FirstGridCell)
            outHi = a.FixedCellCount - 1;
        return outLo <= outHi;
    };
    int l, r, t, b;
    if (!clampAxis(info.Horz, rect.Left, rect.Right, l, r) || !clampAxis(info.Vert, rect.Top, rect.Bottom, t, b))
        return;
    const Rect a = cellRect(l, t);
    const Rect z = cellRect(r, b);
    QRect area;
    if (!a.isEmpty())
        area = a.toQRect();
    if (!z.isEmpty())
        area = area.united(z.toQRect());
    if (r >= m_topLeft.X && l < m_topLeft.X)
        area = area.united(QRect(info.Horz.FixedBoundary, area.top(), 1, std::max(1, area.height())));
    if (b >= m_topLeft.Y && t < m_topLeft.Y)
        area = area.united(QRect(area.left(), info.Vert.FixedBoundary, std::max(1, area.width()), 1));
    if (area.isEmpty())
        return;
    viewport()->update(area.adjusted(0, 0, info.Horz.EffectiveLineWidth, info.Vert.EffectiveLineWidth));
}

void TStringGrid::invalidateGrid() { invalidate(); }

void TStringGrid::invalidate() { viewport()->update(); }

Canvas& TStringGrid::canvas()
{
    if (!m_canvas)
        invalidOp(QStringLiteral("The grid's canvas exists only while the grid paints"));
    return *m_canvas;
}

// --- painting ------------------------------------------------------------------------------

void TStringGrid::paintEvent(QPaintEvent* e)
{
    Canvas c(viewport());
    m_canvas = &c;
    m_paintRect = e->rect();
    try {
        paint();
    } catch (...) {
        m_canvas = nullptr;
        throw;
    }
    m_canvas = nullptr;
}

void TStringGrid::paint()
{
    Canvas& c = canvas();
    const TGridDrawInfo info = calcDrawInfo();
    const int gw = info.Horz.GridBoundary;
    const int gh = info.Vert.GridBoundary;
    const int fw = info.Horz.FixedBoundary;
    const int fh = info.Vert.FixedBoundary;

    if (info.Horz.EffectiveLineWidth > 0 || info.Vert.EffectiveLineWidth > 0) {
        Color lineColor = clSilver;
        if (colorToRgb(m_color) == clSilver)
            lineColor = clGray;
        const bool fixedV = m_options.testFlag(goFixedVertLine);
        const bool fixedH = m_options.testFlag(goFixedHorzLine);
        drawLines(fixedV, fixedH, 0, 0, Rect{0, 0, fw, fh}, clBlack, m_fixedColor, info);
        drawLines(fixedV, fixedH, m_topLeft.X, 0, Rect{fw, 0, gw, fh}, clBlack, m_fixedColor, info);
        drawLines(fixedV, fixedH, 0, m_topLeft.Y, Rect{0, fh, fw, gh}, clBlack, m_fixedColor, info);
        drawLines(m_options.testFlag(goVertLine), m_options.testFlag(goHorzLine), m_topLeft.X, m_topLeft.Y,
                  Rect{fw, fh, gw, gh}, lineColor, m_color, info);
    }

    const TGridRect sel = selection();
    drawCells(0, 0, 0, 0, fw, fh, m_fixedColor, gdFixed, info, sel);
    drawCells(m_topLeft.X, 0, fw, 0, gw, fh, m_fixedColor, gdFixed, info, sel);
    drawCells(0, m_topLeft.Y, 0, fh, fw, gh, m_fixedColor, gdFixed, info, sel);
    drawCells(m_topLeft.X, m_topLeft.Y, fw, fh, gw, gh, m_color, TGridDrawState(), info, sel);

    if (m_options.testFlag(goRowSelect) && m_defaultDrawing && isActiveControl()) {
        const Rect a = cellRect(std::max(sel.Left, m_topLeft.X), std::max(sel.Top, m_topLeft.Y));
        const Rect b = cellRect(std::min(sel.Right, info.Horz.LastFullVisibleCell + 1),
                                std::min(sel.Bottom, info.Vert.LastFullVisibleCell + 1));
        if (!a.isEmpty() && !b.isEmpty())
            c.drawFocusRect(Rect{a.left, a.top, b.right, b.bottom});
    }

    // The client area right of and below the cells.
    c.brush() = Brush{m_color, BrushStyle::Solid};
    if (gw < info.Horz.GridExtent)
        c.fillRect(Rect{gw, 0, info.Horz.GridExtent, gh});
    if (gh < info.Vert.GridExtent)
        c.fillRect(Rect{0, gh, info.Horz.GridExtent, info.Vert.GridExtent});

    drawSizingLine(info);
    drawMove();
}

void TStringGrid::drawLines(bool doHorz, bool doVert, int col, int row, const Rect& bounds, Color onColor,
                            Color offColor, const TGridDrawInfo& info)
{
    Canvas& c = canvas();
    const int lw = info.Horz.EffectiveLineWidth;
    if (lw > 0) {
        c.brush() = Brush{doHorz ? onColor : offColor, BrushStyle::Solid};
        int x = bounds.left;
        for (int i = col; i < m_colCount && x < bounds.right; ++i) {
            x += colWidths(i);
            c.fillRect(Rect{x, bounds.top, x + lw, bounds.bottom});
            x += lw;
        }
    }
    const int lh = info.Vert.EffectiveLineWidth;
    if (lh > 0) {
        c.brush() = Brush{doVert ? onColor : offColor, BrushStyle::Solid};
        int y = bounds.top;
        for (int i = row; i < m_rowCount && y < bounds.bottom; ++i) {
            y += rowHeights(i);
            c.fillRect(Rect{bounds.left, y, bounds.right, y + lh});
            y += lh;
        }
    }
}

void TStringGrid::drawCells(int col, int row, int startX, int startY, int stopX, int stopY, Color fill,
                            TGridDrawState include, const TGridDrawInfo& info, const TGridRect& sel)
{
    Canvas& c = canvas();
    const bool focused = isActiveControl();
    int curRow = row;
    Rect where;
    where.top = startY;
    while (where.top < stopY && curRow < m_rowCount) {
        int curCol = col;
        where.left = startX;
        where.bottom = where.top + rowHeights(curRow);
        while (where.left < stopX && curCol < m_colCount) {
            where.right = where.left + colWidths(curCol);
            if (where.right > where.left && where.bottom > where.top && m_paintRect.intersects(where.toQRect())) {
                TGridDrawState state = include;
                if (focused && curRow == m_current.Y && curCol == m_current.X)
                    state |= gdFocused;
                if (sel.contains(curCol, curRow))
                    state |= gdSelected;
                if (!state.testFlag(gdFocused) || !m_options.testFlag(goEditing) || !m_editorMode) {
                    if (m_defaultDrawing) {
                        c.font() = Font{font(), clWindowText};
                        if (state.testFlag(gdSelected) &&
                            (!state.testFlag(gdFocused) || (m_options & (goDrawFocusSelected | goRowSelect)))) {
                            c.brush() = Brush{clHighlight, BrushStyle::Solid};
                            c.font().color = clHighlightText;
                        } else {
                            c.brush() = Brush{fill, BrushStyle::Solid};
                        }
                        c.fillRect(where);
                    }
                    drawCell(curCol, curRow, where, state);
                    if (m_defaultDrawing && state.testFlag(gdFixed)) {
                        // A raised edge around fixed cells.
                        const Brush saved = c.brush();
                        if (m_options.testFlag(goFixedVertLine)) {
                            c.brush() = Brush{clBtnHighlight, BrushStyle::Solid};
                            c.fillRect(Rect{where.left, where.top, where.left + 1, where.bottom});
                            c.brush() = Brush{clBtnShadow, BrushStyle::Solid};
                            c.fillRect(Rect{where.right - 1, where.top, where.right, where.bottom});
                        }
                        if (m_options.testFlag(goFixedHorzLine)) {
                            c.brush() = Brush{clBtnHighlight, BrushStyle::Solid};
                            c.fillRect(Rect{where.left, where.top, where.right, where.top + 1});
                            c.brush() = Brush{clBtnShadow, BrushStyle::Solid};
                            c.fillRect(Rect{where.left, where.bottom - 1, where.right, where.bottom});
                        }
                        c.setBrush(saved);
                    }
                    if (m_defaultDrawing && state.testFlag(gdFocused) &&
                        (m_options & (goEditing | goAlwaysShowEditor)) != (goEditing | goAlwaysShowEditor) &&
                        !m_options.testFlag(goRowSelect))
                        c.drawFocusRect(where);
                }
            }
            where.left = where.right + info.Horz.EffectiveLineWidth;
            ++curCol;
        }
        where.top = where.bottom + info.Vert.EffectiveLineWidth;
        ++curRow;
    }
}

void TStringGrid::drawSizingLine(const TGridDrawInfo& info)
{
    if (m_gridState != TGridState::gsColSizing && m_gridState != TGridState::gsRowSizing)
        return;
    QPainter& p = canvas().painter();
    p.save();
    p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    QPen pen(Qt::white);
    pen.setStyle(Qt::DotLine);
    pen.setWidth(1);
    p.setPen(pen);
    if (m_gridState == TGridState::gsRowSizing)
        p.drawLine(0, m_sizingPos, info.Horz.GridBoundary, m_sizingPos);
    else
        p.drawLine(m_sizingPos, 0, m_sizingPos, info.Vert.GridBoundary);
    p.restore();
}

void TStringGrid::drawMove()
{
    if (m_gridState != TGridState::gsColMoving && m_gridState != TGridState::gsRowMoving)
        return;
    if (m_movePos < 0)
        return;
    QPainter& p = canvas().painter();
    p.save();
    p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    QPen pen(Qt::white);
    pen.setStyle(Qt::DotLine);
    pen.setWidth(5);
    p.setPen(pen);
    if (m_gridState == TGridState::gsRowMoving) {
        const Rect r = cellRect(0, m_movePos);
        const int y = m_movePos > m_moveIndex ? r.bottom : r.top;
        p.drawLine(0, y, clientWidth(), y);
    } else {
        const Rect r = cellRect(m_movePos, 0);
        const int x = m_movePos > m_moveIndex ? r.right : r.left;
        p.drawLine(x, 0, x, clientHeight());
    }
    p.restore();
}

// --- keyboard ------------------------------------------------------------------------------

int TStringGrid::wmGetDlgCode()
{
    int result = DLGC_WANTARROWS;
    if (m_options.testFlag(goRowSelect))
        return result;
    if (m_options.testFlag(goTabs))
        result |= DLGC_WANTTAB;
    if (m_options.testFlag(goEditing))
        result |= DLGC_WANTCHARS;
    return result;
}

void TStringGrid::wmKeyDown(TWMKey& msg)
{
    quint16 key = msg.CharCode;
    keyDown(key, m_keyState);
    msg.CharCode = key;
}

void TStringGrid::wmKeyUp(TWMKey& msg)
{
    quint16 key = msg.CharCode;
    keyUp(key, m_keyState);
    msg.CharCode = key;
}

void TStringGrid::wmChar(TWMKey& msg)
{
    const QChar ch(char16_t(msg.CharCode));
    if (m_options.testFlag(goEditing) && (msg.CharCode == 8 || msg.CharCode >= 32)) {
        showEditorChar(ch);
        return;
    }
    QChar key = ch;
    keyPress(key);
    msg.CharCode = key.unicode();
}

void TStringGrid::keyDown(quint16& key, TShiftState shift)
{
    if (onKeyDown)
        onKeyDown(this, key, shift);
    if (!canGridAcceptKey(key, shift))
        key = 0;
    TGridCoord newCurrent = m_current;
    TGridCoord newTopLeft = m_topLeft;
    TGridDrawInfo info = calcDrawInfo();
    // A page is the cells fully visible now.
    const int pageWidth = std::max(1, info.Horz.LastFullVisibleCell - m_topLeft.X + 1);
    const int pageHeight = std::max(1, info.Vert.LastFullVisibleCell - m_topLeft.Y + 1);
    const bool rowSelect = m_options.testFlag(goRowSelect);
    if (shift.testFlag(ssCtrl)) {
        switch (key) {
        case VK_UP: --newTopLeft.Y; break;
        case VK_DOWN: ++newTopLeft.Y; break;
        case VK_LEFT:
            if (!rowSelect) {
                newCurrent.X -= pageWidth;
                newTopLeft.X -= pageWidth;
            }
            break;
        case VK_RIGHT:
            if (!rowSelect) {
                newCurrent.X += pageWidth;
                newTopLeft.X += pageWidth;
            }
            break;
        case VK_PRIOR: newCurrent.Y = m_topLeft.Y; break;
        case VK_NEXT: newCurrent.Y = info.Vert.LastFullVisibleCell; break;
        case VK_HOME:
            newCurrent.X = m_fixedCols;
            newCurrent.Y = m_fixedRows;
            break;
        case VK_END:
            newCurrent.X = m_colCount - 1;
            newCurrent.Y = m_rowCount - 1;
            break;
        default: break;
        }
    } else {
        switch (key) {
        case VK_UP: --newCurrent.Y; break;
        case VK_DOWN: ++newCurrent.Y; break;
        case VK_LEFT:
            if (rowSelect)
                --newCurrent.Y;
            else
                --newCurrent.X;
            break;
        case VK_RIGHT:
            if (rowSelect)
                ++newCurrent.Y;
            else
                ++newCurrent.X;
            break;
        case VK_NEXT:
            newCurrent.Y += pageHeight;
            newTopLeft.Y += pageHeight;
            break;
        case VK_PRIOR:
            newCurrent.Y -= pageHeight;
            newTopLeft.Y -= pageHeight;
            break;
        case VK_HOME:
            if (rowSelect)
                newCurrent.Y = m_fixedRows;
            else
                newCurrent.X = m_fixedCols;
            break;
        case VK_END:
            if (rowSelect)
                newCurrent.Y = m_rowCount - 1;
            else
                newCurrent.X = m_colCount - 1;
            break;
        case VK_TAB:
            if (!shift.testFlag(ssAlt)) {
                // One pass over the columns at most: a grid without any tab stop stays put.
                const int start = m_current.X;
                const bool backward = shift.testFlag(ssShift);
                int guard = 0;
                do {
                    if (backward) {
                        --newCurrent.X;
                        if (newCurrent.X < m_fixedCols) {
                            newCurrent.X = m_colCount - 1;
                            --newCurrent.Y;
                            if (newCurrent.Y < m_fixedRows)
                                newCurrent.Y = m_rowCount - 1;
                        }
                    } else {
                        ++newCurrent.X;
                        if (newCurrent.X >= m_colCount) {
                            newCurrent.X = m_fixedCols;
                            ++newCurrent.Y;
                            if (newCurrent.Y >= m_rowCount)
                                newCurrent.Y = m_fixedRows;
                        }
                    }
                } while (!tabStops(newCurrent.X) && newCurrent.X != start && ++guard <= m_colCount);
                shift &= ~TShiftState(ssShift);
            }
            break;
        case VK_F2: setEditorMode(true); break;
        default: break;
        }
    }
    info = calcDrawInfo();
    const TGridCoord maxTopLeft = calcMaxTopLeft(TGridCoord{m_colCount - 1, m_rowCount - 1}, info);
    newTopLeft.X = std::max(m_fixedCols, std::min(newTopLeft.X, maxTopLeft.X));
    newTopLeft.Y = std::max(m_fixedRows, std::min(newTopLeft.Y, maxTopLeft.Y));
    if (newTopLeft != m_topLeft)
        moveTopLeft(newTopLeft.X, newTopLeft.Y);
    newCurrent.X = std::max(m_fixedCols, std::min(newCurrent.X, m_colCount - 1));
    newCurrent.Y = std::max(m_fixedRows, std::min(newCurrent.Y, m_rowCount - 1));
    if (newCurrent != m_current)
        focusCell(newCurrent.X, newCurrent.Y, !shift.testFlag(ssShift));
}

void TStringGrid::keyUp(quint16& key, TShiftState shift)
{
    if (onKeyUp)
        onKeyUp(this, key, shift);
}

void TStringGrid::keyPress(QChar& key)
{
    if (onKeyPress)
        onKeyPress(this, key);
    if (!m_options.testFlag(goAlwaysShowEditor) && key.unicode() == 13) {
        if (m_editorMode)
            hideEditor();
        else
            showEditor();
        key = QChar();
    }
}

bool TStringGrid::offerDialogKey(QKeyEvent* e)
{
    QWidget* w = window();
    if (!w || w == this)
        return false;
    QKeyEvent copy(e->type(), e->key(), e->modifiers(), e->text(), e->isAutoRepeat(), ushort(e->count()));
    copy.setAccepted(false);
    QCoreApplication::sendEvent(w, &copy);
    return copy.isAccepted();
}

void TStringGrid::dispatchKeyPress(QKeyEvent* e)
{
    m_keyState = shiftStateOf(e->modifiers());
    const unsigned keyData = keyDataOf(*e);
    if (const quint16 vk = virtualKeyOf(*e)) {
        TWMKey down{vk, keyData, 0};
        wmKeyDown(down);
    }
    // As on the platform, the characters of the key arrive whatever the key-down did.
    for (const QChar ch : charsOf(*e)) {
        TWMKey msg{ch.unicode(), keyData, 0};
        wmChar(msg);
    }
}

bool TStringGrid::event(QEvent* e)
{
    if (e->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        const bool tab = k->key() == Qt::Key_Tab || k->key() == Qt::Key_Backtab;
        if (tab && !(k->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) && (wmGetDlgCode() & DLGC_WANTTAB)) {
            keyPressEvent(k);
            return true;
        }
    }
    return QAbstractScrollArea::event(e);
}

void TStringGrid::keyPressEvent(QKeyEvent* e)
{
    if (isDialogKey(e) && !(wmGetDlgCode() & DLGC_WANTALLKEYS) && offerDialogKey(e)) {
        e->accept();
        return;
    }
    dispatchKeyPress(e);
    e->accept();
}

void TStringGrid::keyReleaseEvent(QKeyEvent* e)
{
    m_keyState = shiftStateOf(e->modifiers());
    if (const quint16 vk = virtualKeyOf(*e)) {
        TWMKey up{vk, keyDataOf(*e), 0};
        wmKeyUp(up);
    }
    e->accept();
}

// --- mouse ---------------------------------------------------------------------------------

TWMMouse TStringGrid::mouseMessage(QMouseEvent* e)
{
    m_keyState = shiftStateOf(e->modifiers(), e->buttons());
    const QPoint p = e->position().toPoint();
    m_lastMouse = p;
    return TWMMouse{m_keyState, p.x(), p.y(), 0};
}

void TStringGrid::mousePressEvent(QMouseEvent* e)
{
    TWMMouse m = mouseMessage(e);
    switch (e->button()) {
    case Qt::LeftButton: wmLButtonDown(m); break;
    case Qt::RightButton: wmRButtonDown(m); break;
    case Qt::MiddleButton: wmMButtonDown(m); break;
    default: break;
    }
    e->accept();
}

void TStringGrid::mouseReleaseEvent(QMouseEvent* e)
{
    TWMMouse m = mouseMessage(e);
    switch (e->button()) {
    case Qt::LeftButton: wmLButtonUp(m); break;
    case Qt::RightButton: wmRButtonUp(m); break;
    case Qt::MiddleButton: wmMButtonUp(m); break;
    default: break;
    }
    e->accept();
}

void TStringGrid::mouseDoubleClickEvent(QMouseEvent* e)
{
    TWMMouse m = mouseMessage(e);
    switch (e->button()) {
    case Qt::LeftButton: wmLButtonDblClk(m); break;
    case Qt::RightButton:
        m.Keys |= ssDouble;
        wmRButtonDown(m);
        break;
    case Qt::MiddleButton: wmMButtonDown(m); break;
    default: break;
    }
    e->accept();
}

void TStringGrid::mouseMoveEvent(QMouseEvent* e)
{
    TWMMouse m = mouseMessage(e);
    wmMouseMove(m);
    e->accept();
}

void TStringGrid::wheelEvent(QWheelEvent* e)
{
    m_keyState = shiftStateOf(e->modifiers(), e->buttons());
    const QPoint p = e->position().toPoint();
    int delta = e->angleDelta().y();
    if (delta == 0)
        delta = e->angleDelta().x();
    TWMMouseWheel m{m_keyState, delta, p.x(), p.y(), 0};
    wmMouseWheel(m);
    e->accept();
}

void TStringGrid::wmLButtonDown(TWMMouse& msg) { mouseDown(TMouseButton::mbLeft, msg.Keys, msg.XPos, msg.YPos); }
void TStringGrid::wmLButtonUp(TWMMouse& msg) { mouseUp(TMouseButton::mbLeft, msg.Keys, msg.XPos, msg.YPos); }
void TStringGrid::wmLButtonDblClk(TWMMouse& msg)
{
    mouseDown(TMouseButton::mbLeft, msg.Keys | ssDouble, msg.XPos, msg.YPos);
}
void TStringGrid::wmRButtonDown(TWMMouse& msg) { mouseDown(TMouseButton::mbRight, msg.Keys, msg.XPos, msg.YPos); }
void TStringGrid::wmRButtonUp(TWMMouse& msg) { mouseUp(TMouseButton::mbRight, msg.Keys, msg.XPos, msg.YPos); }
void TStringGrid::wmMButtonDown(TWMMouse& msg) { mouseDown(TMouseButton::mbMiddle, msg.Keys, msg.XPos, msg.YPos); }
void TStringGrid::wmMButtonUp(TWMMouse& msg) { mouseUp(TMouseButton::mbMiddle, msg.Keys, msg.XPos, msg.YPos); }

void TStringGrid::wmMouseMove(TWMMouse& msg)
{
    m_lastMouse = msg.pos();
    wmSetCursor(msg.XPos, msg.YPos);
    mouseMove(msg.Keys, msg.XPos, msg.YPos);
}

void TStringGrid::wmSetCursor(int x, int y)
{
    TGridState state = m_gridState;
    if (state == TGridState::gsNormal) {
        int index, pos, ofs;
        calcSizingState(x, y, state, index, pos, ofs, calcDrawInfo());
    }
    if (state == TGridState::gsRowSizing)
        viewport()->setCursor(Qt::SplitVCursor);
    else if (state == TGridState::gsColSizing)
        viewport()->setCursor(Qt::SplitHCursor);
    else
        viewport()->unsetCursor();
}

void TStringGrid::calcSizingState(int x, int y, TGridState& state, int& index, int& sizingPos, int& sizingOfs,
                                  const TGridDrawInfo& info)
{
    state = TGridState::gsNormal;
    index = -1;
    sizingPos = 0;
    sizingOfs = 0;
    auto calcAxisState = [&](const TGridAxisDrawInfo& a, int pos, TGridState newState, auto extentOf) {
        int line = a.FixedBoundary;
        int range = a.EffectiveLineWidth;
        int back = 0;
        if (range < 7) {
            range = 7;
            back = (range - a.EffectiveLineWidth) >> 1;
        }
        for (int i = a.FirstGridCell; i < a.GridCellCount; ++i) {
            line += extentOf(i);
            if (line > a.GridBoundary)
                break;
            if (pos >= line - back && pos <= line - back + range) {
                state = newState;
                sizingPos = line;
                sizingOfs = line - pos;
                index = i;
                return;
            }
            line += a.EffectiveLineWidth;
        }
        // The edge of the client area sizes the cell that reaches beyond it.
        if (a.GridBoundary == a.GridExtent && pos >= a.GridExtent - back && pos <= a.GridExtent &&
            a.LastFullVisibleCell + 1 < a.GridCellCount) {
            state = newState;
            sizingPos = a.GridExtent;
            sizingOfs = a.GridExtent - pos;
            index = a.LastFullVisibleCell + 1;
        }
    };
    if (!(m_options & (goColSizing | goRowSizing)))
        return;
    if (x > info.Horz.FixedBoundary && m_options.testFlag(goColSizing)) {
        if (y >= info.Vert.FixedBoundary)
            return;
        calcAxisState(info.Horz, x, TGridState::gsColSizing, [this](int i) { return colWidths(i); });
    } else if (y > info.Vert.FixedBoundary && m_options.testFlag(goRowSizing)) {
        if (x >= info.Horz.FixedBoundary)
            return;
        calcAxisState(info.Vert, y, TGridState::gsRowSizing, [this](int i) { return rowHeights(i); });
    }
}

void TStringGrid::mouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    hideEdit();
    if (isVisible() && isEnabled()) {
        setFocus(Qt::MouseFocusReason);
        if (!isActiveControl())
            return;
    }
    m_lastMouse = QPoint(x, y);
    if (button == TMouseButton::mbLeft && shift.testFlag(ssDouble)) {
        dblClick();
    } else if (button == TMouseButton::mbLeft) {
        const TGridDrawInfo info = calcDrawInfo();
        calcSizingState(x, y, m_gridState, m_sizingIndex, m_sizingPos, m_sizingOfs, info);
        if (m_gridState != TGridState::gsNormal) {
            viewport()->update();
        } else {
            const TGridCoord hit = mouseCoord(x, y);
            if (hit.X >= m_fixedCols && hit.Y >= m_fixedRows) {
                if (m_options.testFlag(goEditing)) {
                    if (hit == m_current) {
                        showEditor();
                    } else {
                        moveCurrent(hit.X, hit.Y, true, true);
                        updateEdit();
                    }
                    click();
                } else {
                    m_gridState = TGridState::gsSelecting;
                    setWindowTimer(kScrollTimerId, kScrollTimerMs);
                    if (shift.testFlag(ssShift))
                        moveAnchor(hit);
                    else
                        moveCurrent(hit.X, hit.Y, true, true);
                }
            } else if (m_options.testFlag(goRowMoving) && hit.X >= 0 && hit.X < m_fixedCols && hit.Y >= m_fixedRows) {
                m_moveIndex = hit.Y;
                m_movePos = m_moveIndex;
                m_gridState = TGridState::gsRowMoving;
                setWindowTimer(kScrollTimerId, kScrollTimerMs);
                viewport()->update();
            } else if (m_options.testFlag(goColMoving) && hit.Y >= 0 && hit.Y < m_fixedRows && hit.X >= m_fixedCols) {
                m_moveIndex = hit.X;
                m_movePos = m_moveIndex;
                m_gridState = TGridState::gsColMoving;
                setWindowTimer(kScrollTimerId, kScrollTimerMs);
                viewport()->update();
            }
        }
    }
    if (onMouseDown)
        onMouseDown(this, button, shift, x, y);
}

void TStringGrid::mouseMove(TShiftState shift, int x, int y)
{
    TGridDrawInfo info = calcDrawInfo();
    switch (m_gridState) {
    case TGridState::gsSelecting: {
        const TGridCoord hit = mouseCoord(x, y);
        if (hit.X >= m_fixedCols && hit.Y >= m_fixedRows && hit.X <= info.Horz.LastFullVisibleCell + 1 &&
            hit.Y <= info.Vert.LastFullVisibleCell + 1 && hit != m_anchor)
            moveAnchor(hit);
        break;
    }
    case TGridState::gsColMoving:
    case TGridState::gsRowMoving: {
        // A move follows the mouse along its own axis only: a column header dragged along the
        // header row, a row header along the row headers.
        const TGridCoord hit = calcCoordFromPoint(x, y, info);
        if (m_gridState == TGridState::gsColMoving) {
            if (hit.X >= m_fixedCols && hit.X <= info.Horz.LastFullVisibleCell + 1)
                moveAndScroll(x, hit.X, info, true);
        } else if (hit.Y >= m_fixedRows && hit.Y <= info.Vert.LastFullVisibleCell + 1) {
            moveAndScroll(y, hit.Y, info, false);
        }
        break;
    }
    case TGridState::gsRowSizing:
    case TGridState::gsColSizing: {
        const int old = m_sizingPos;
        m_sizingPos = (m_gridState == TGridState::gsRowSizing ? y : x) + m_sizingOfs;
        if (old != m_sizingPos)
            viewport()->update();
        break;
    }
    default: break;
    }
    if (onMouseMove)
        onMouseMove(this, shift, x, y);
}

void TStringGrid::moveAndScroll(int mouse, int cellHit, TGridDrawInfo& info, bool horizontal)
{
    TGridAxisDrawInfo* axis = horizontal ? &info.Horz : &info.Vert;
    if (cellHit == m_movePos)
        return;
    if (m_movePos == axis->FixedCellCount && mouse < axis->FixedBoundary)
        return;
    if (m_movePos == axis->GridCellCount - 1 && mouse > axis->GridBoundary)
        return;
    const TScrollBarKind bar = horizontal ? TScrollBarKind::sbHorizontal : TScrollBarKind::sbVertical;
    if (mouse < axis->FixedBoundary) {
        if (m_movePos > axis->FixedCellCount) {
            modifyScrollBar(bar, TScrollCode::SB_LINEUP, 0);
            info = calcDrawInfo();
            axis = horizontal ? &info.Horz : &info.Vert;
        }
        cellHit = axis->FirstGridCell;
    } else if (mouse >= axis->FullVisBoundary) {
        if (m_movePos == axis->LastFullVisibleCell && m_movePos < axis->GridCellCount - 1) {
            modifyScrollBar(bar, TScrollCode::SB_LINEDOWN, 0);
            info = calcDrawInfo();
            axis = horizontal ? &info.Horz : &info.Vert;
        }
        cellHit = axis->LastFullVisibleCell;
    } else if (cellHit < 0) {
        cellHit = m_movePos;
    }
    if (cellHit != m_movePos) {
        m_movePos = cellHit;
        viewport()->update();
    }
}

void TStringGrid::mouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    try {
        switch (m_gridState) {
        case TGridState::gsSelecting:
            mouseMove(shift, x, y);
            killWindowTimer(kScrollTimerId);
            updateEdit();
            click();
            break;
        case TGridState::gsRowSizing:
        case TGridState::gsColSizing: {
            const TGridDrawInfo info = calcDrawInfo();
            const bool cols = m_gridState == TGridState::gsColSizing;
            const TGridAxisDrawInfo& a = cols ? info.Horz : info.Vert;
            int start = a.FixedBoundary;
            for (int i = a.FirstGridCell; i < m_sizingIndex; ++i)
                start += (cols ? colWidths(i) : rowHeights(i)) + a.EffectiveLineWidth;
            const int newSize = m_sizingPos - start;
            m_gridState = TGridState::gsNormal;
            viewport()->update();
            if (newSize > 1 && m_sizingIndex >= 0) {
                if (cols && m_sizingIndex < m_colCount)
                    setColWidths(m_sizingIndex, newSize);
                else if (!cols && m_sizingIndex < m_rowCount)
                    setRowHeights(m_sizingIndex, newSize);
            }
            break;
        }
        case TGridState::gsColMoving:
        case TGridState::gsRowMoving: {
            const bool cols = m_gridState == TGridState::gsColMoving;
            killWindowTimer(kScrollTimerId);
            m_gridState = TGridState::gsNormal;
            viewport()->update();
            if (m_moveIndex != m_movePos && m_movePos >= 0) {
                if (cols)
                    moveColumn(m_moveIndex, m_movePos);
                else
                    moveRow(m_moveIndex, m_movePos);
            }
            updateEdit();
            break;
        }
        default: updateEdit(); break;
        }
        if (onMouseUp)
            onMouseUp(this, button, shift, x, y);
    } catch (...) {
        m_gridState = TGridState::gsNormal;
        throw;
    }
    m_gridState = TGridState::gsNormal;
}

void TStringGrid::cancelMode()
{
    if (m_gridState == TGridState::gsNormal)
        return;
    killWindowTimer(kScrollTimerId);
    m_gridState = TGridState::gsNormal;
    viewport()->update();
}

void TStringGrid::wmTimer(int id)
{
    if (id == kScrollTimerId)
        scrollTimerTick();
}

void TStringGrid::scrollTimerTick()
{
    if (m_gridState != TGridState::gsSelecting && m_gridState != TGridState::gsRowMoving &&
        m_gridState != TGridState::gsColMoving)
        return;
    const QPoint p = m_lastMouse;
    TGridDrawInfo info = calcDrawInfo();
    const TGridCoord hit = calcCoordFromPoint(p.x(), p.y(), info);
    switch (m_gridState) {
    case TGridState::gsColMoving: moveAndScroll(p.x(), hit.X, info, true); break;
    case TGridState::gsRowMoving: moveAndScroll(p.y(), hit.Y, info, false); break;
    case TGridState::gsSelecting: {
        TGridCoord next = m_anchor;
        if (p.x() < info.Horz.FixedBoundary) {
            if (m_anchor.X > m_fixedCols)
                --next.X;
        } else if (p.x() > info.Horz.FullVisBoundary) {
            if (m_anchor.X < m_colCount - 1)
                ++next.X;
        }
        if (p.y() < info.Vert.FixedBoundary) {
            if (m_anchor.Y > m_fixedRows)
                --next.Y;
        } else if (p.y() > info.Vert.FullVisBoundary) {
            if (m_anchor.Y < m_rowCount - 1)
                ++next.Y;
        }
        if (next != m_anchor)
            moveAnchor(next);
        break;
    }
    default: break;
    }
}

bool TStringGrid::doMouseWheel(TShiftState shift, int wheelDelta, QPoint mousePos)
{
    bool result = false;
    m_wheelAccumulator += wheelDelta;
    while (std::abs(m_wheelAccumulator) >= WHEEL_DELTA) {
        if (m_wheelAccumulator < 0) {
            m_wheelAccumulator += WHEEL_DELTA;
            result = doMouseWheelDown(shift, mousePos);
        } else {
            m_wheelAccumulator -= WHEEL_DELTA;
            result = doMouseWheelUp(shift, mousePos);
        }
    }
    return result;
}

bool TStringGrid::doMouseWheelDown(TShiftState shift, QPoint mousePos)
{
    bool handled = false;
    if (onMouseWheelDown)
        onMouseWheelDown(this, shift, mousePos, handled);
    if (!handled) {
        if (m_current.Y < m_rowCount - 1)
            setRow(m_current.Y + 1);
        handled = true;
    }
    return handled;
}

bool TStringGrid::doMouseWheelUp(TShiftState shift, QPoint mousePos)
{
    bool handled = false;
    if (onMouseWheelUp)
        onMouseWheelUp(this, shift, mousePos, handled);
    if (!handled) {
        if (m_current.Y > m_fixedRows)
            setRow(m_current.Y - 1);
        handled = true;
    }
    return handled;
}

void TStringGrid::wmMouseWheel(TWMMouseWheel& msg)
{
    msg.Result = doMouseWheel(msg.Keys, msg.WheelDelta, QPoint(msg.XPos, msg.YPos)) ? 1 : 0;
}

// --- focus and size --------------------------------------------------------------------------

void TStringGrid::wmSetFocus(QWidget* previous)
{
    const bool fromEditor = m_inplaceEdit && previous && (previous == m_inplaceEdit || m_inplaceEdit->isAncestorOf(previous));
    if (!fromEditor) {
        invalidateGridRect(selection());
        updateEdit();
    }
}

void TStringGrid::wmKillFocus(QWidget* next)
{
    invalidateGridRect(selection());
    const bool toEditor = m_inplaceEdit && next && (next == m_inplaceEdit || m_inplaceEdit->isAncestorOf(next));
    if (m_inplaceEdit && !toEditor)
        m_inplaceEdit->hideEditor();
}

void TStringGrid::focusInEvent(QFocusEvent* e) { QAbstractScrollArea::focusInEvent(e); }
void TStringGrid::focusOutEvent(QFocusEvent* e) { QAbstractScrollArea::focusOutEvent(e); }

void TStringGrid::resizeEvent(QResizeEvent* e)
{
    QAbstractScrollArea::resizeEvent(e);
    // A new size of the control itself, not the client area changing because a scroll bar
    // came or went: the bars are already part of the layout that showed or hid them.
    if (size() != m_lastSize) {
        m_lastSize = size();
        wmSize();
    }
}

void TStringGrid::wmSize()
{
    updateScrollRange();
    resized();
}

bool TStringGrid::viewportEvent(QEvent* e)
{
    if (e->type() == QEvent::Leave) {
        viewport()->unsetCursor();
        cmMouseLeave();
    }
    return QAbstractScrollArea::viewportEvent(e);
}

void TStringGrid::cmMouseLeave() {}

void TStringGrid::scrollContentsBy(int, int)
{
    // The grid scrolls by cells through its top-left cell, never by moving pixels.
}

// --- scroll bars ---------------------------------------------------------------------------

QScrollBar* TStringGrid::qtBar(TScrollBarKind bar) const
{
    return bar == TScrollBarKind::sbHorizontal ? horizontalScrollBar() : verticalScrollBar();
}

bool TStringGrid::wantsScrollBar(TScrollBarKind bar) const
{
    switch (m_scrollBars) {
    case TScrollStyle::ssBoth: return true;
    case TScrollStyle::ssHorizontal: return bar == TScrollBarKind::sbHorizontal;
    case TScrollStyle::ssVertical: return bar == TScrollBarKind::sbVertical;
    case TScrollStyle::ssNone: return false;
    }
    return false;
}

TScrollInfo TStringGrid::getScrollInfo(TScrollBarKind bar) const { return m_bars[int(bar)].info; }

void TStringGrid::setScrollInfo(TScrollBarKind bar, const TScrollInfo& info)
{
    BarState& s = m_bars[int(bar)];
    s.info = info;
    if (s.info.nMax < s.info.nMin)
        s.info.nMax = s.info.nMin;
    s.info.nPage = std::clamp(s.info.nPage, 0, s.info.nMax - s.info.nMin + 1);
    const int top = s.info.nPage > 0 ? s.info.nMax - s.info.nPage + 1 : s.info.nMax;
    s.info.nPos = std::clamp(s.info.nPos, s.info.nMin, std::max(s.info.nMin, top));
    s.visible = s.info.nMax > s.info.nMin && s.info.nPage <= s.info.nMax - s.info.nMin;
    applyScrollBar(bar);
}

int TStringGrid::getScrollPos(TScrollBarKind bar) const { return m_bars[int(bar)].info.nPos; }

void TStringGrid::setScrollPos(TScrollBarKind bar, int pos)
{
    TScrollInfo info = m_bars[int(bar)].info;
    info.nPos = pos;
    const bool visible = m_bars[int(bar)].visible;
    setScrollInfo(bar, info);
    // Setting the position alone never shows or hides the bar.
    m_bars[int(bar)].visible = visible;
    applyScrollBar(bar);
}

void TStringGrid::showScrollBar(TScrollBarKind bar, bool show)
{
    m_bars[int(bar)].visible = show;
    applyScrollBar(bar);
}

void TStringGrid::enableScrollBar(TScrollBarKind bar, bool enable)
{
    m_bars[int(bar)].enabled = enable;
    applyScrollBar(bar);
}

bool TStringGrid::scrollBarVisible(TScrollBarKind bar) const
{
    return m_bars[int(bar)].visible && wantsScrollBar(bar);
}

bool TStringGrid::scrollBarEnabled(TScrollBarKind bar) const { return m_bars[int(bar)].enabled; }

void TStringGrid::applyScrollBar(TScrollBarKind bar)
{
    const BarState& s = m_bars[int(bar)];
    QScrollBar* b = qtBar(bar);
    const int top = std::max(s.info.nMin, s.info.nPage > 0 ? s.info.nMax - s.info.nPage + 1 : s.info.nMax);
    b->setRange(s.info.nMin, top);
    b->setPageStep(s.info.nPage);
    if (!b->isSliderDown())
        b->setValue(s.info.nPos);
    b->setEnabled(s.enabled);
    const Qt::ScrollBarPolicy policy = scrollBarVisible(bar) ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff;
    if (bar == TScrollBarKind::sbHorizontal) {
        if (horizontalScrollBarPolicy() != policy)
            setHorizontalScrollBarPolicy(policy);
    } else if (verticalScrollBarPolicy() != policy) {
        setVerticalScrollBarPolicy(policy);
    }
}

void TStringGrid::updateScrollPos()
{
    const TGridDrawInfo info = calcDrawInfo();
    const TGridCoord maxTopLeft = calcMaxTopLeft(TGridCoord{m_colCount - 1, m_rowCount - 1}, info);
    auto set = [this](TScrollBarKind bar, int pos) {
        BarState& s = m_bars[int(bar)];
        if (s.info.nPos == pos)
            return;
        s.info.nPos = pos;
        applyScrollBar(bar);
    };
    set(TScrollBarKind::sbHorizontal, mulDiv(m_topLeft.X - m_fixedCols, 127, maxTopLeft.X - m_fixedCols));
    set(TScrollBarKind::sbVertical, mulDiv(m_topLeft.Y - m_fixedRows, 127, maxTopLeft.Y - m_fixedRows));
}

void TStringGrid::updateScrollRange()
{
    if (m_inScrollRange)
        return;
    m_inScrollRange = true;
    const TGridCoord oldTopLeft = m_topLeft;
    // Which bars are needed, judged on the area without bars, then again with the bars that
    // the first judgement asks for (a bar takes room from the other axis).
    const int hExtent = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, horizontalScrollBar());
    const int vExtent = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, verticalScrollBar());
    const int fullW = viewport()->width() + (verticalScrollBar()->isVisibleTo(this) ? vExtent : 0);
    const int fullH = viewport()->height() + (horizontalScrollBar()->isVisibleTo(this) ? hExtent : 0);
    auto maxFor = [this](int w, int h) {
        // The largest top-left cell for a client area of w x h (it needs only the extents
        // and the fixed part of the layout).
        TGridDrawInfo info = calcDrawInfo();
        info.Horz.GridExtent = w;
        info.Vert.GridExtent = h;
        return calcMaxTopLeft(TGridCoord{m_colCount - 1, m_rowCount - 1}, info);
    };
    bool needH = false;
    bool needV = false;
    for (int round = 0; round < 3; ++round) {
        const int w = fullW - (needV ? vExtent : 0);
        const int h = fullH - (needH ? hExtent : 0);
        const TGridCoord m = maxFor(w, h);
        const bool nh = wantsScrollBar(TScrollBarKind::sbHorizontal) && m.X > m_fixedCols;
        const bool nv = wantsScrollBar(TScrollBarKind::sbVertical) && m.Y > m_fixedRows;
        if (nh == needH && nv == needV)
            break;
        needH = nh;
        needV = nv;
    }
    setScrollInfo(TScrollBarKind::sbHorizontal, TScrollInfo{0, needH ? 127 : 0, 0, m_bars[0].info.nPos, 0});
    setScrollInfo(TScrollBarKind::sbVertical, TScrollInfo{0, needV ? 127 : 0, 0, m_bars[1].info.nPos, 0});
    // The bars may have changed the client area: keep the top-left cell within its range.
    const TGridCoord maxTopLeft = calcMaxTopLeft(TGridCoord{m_colCount - 1, m_rowCount - 1}, calcDrawInfo());
    m_topLeft.X = std::max(m_fixedCols, std::min(m_topLeft.X, maxTopLeft.X));
    m_topLeft.Y = std::max(m_fixedRows, std::min(m_topLeft.Y, maxTopLeft.Y));
    m_inScrollRange = false;
    updateScrollPos();
    if (m_topLeft != oldTopLeft)
        topLeftMoved(oldTopLeft);
}

void TStringGrid::modifyScrollBar(TScrollBarKind bar, TScrollCode code, int pos)
{
    const TGridDrawInfo info = calcDrawInfo();
    const TGridCoord maxTopLeft = calcMaxTopLeft(TGridCoord{m_colCount - 1, m_rowCount - 1}, info);
    const bool horz = bar == TScrollBarKind::sbHorizontal;
    const int minValue = horz ? m_fixedCols : m_fixedRows;
    const int maxValue = horz ? maxTopLeft.X : maxTopLeft.Y;
    const int current = horz ? m_topLeft.X : m_topLeft.Y;
    auto pageUp = [&]() {
        const TGridCoord back = calcMaxTopLeft(m_topLeft, info);
        return std::max(1, current - (horz ? back.X : back.Y));
    };
    auto pageDown = [&]() {
        return std::max(1, (horz ? info.Horz.LastFullVisibleCell : info.Vert.LastFullVisibleCell) - current);
    };
    int next = current;
    switch (code) {
    case TScrollCode::SB_LINEUP: next = current - 1; break;
    case TScrollCode::SB_LINEDOWN: next = current + 1; break;
    case TScrollCode::SB_PAGEUP: next = current - pageUp(); break;
    case TScrollCode::SB_PAGEDOWN: next = current + pageDown(); break;
    case TScrollCode::SB_THUMBPOSITION:
    case TScrollCode::SB_THUMBTRACK:
        if (code == TScrollCode::SB_THUMBTRACK && !m_options.testFlag(goThumbTracking))
            return;
        next = minValue + mulDiv(pos, maxValue - minValue, 127);
        break;
    case TScrollCode::SB_BOTTOM: next = maxValue; break;
    case TScrollCode::SB_TOP: next = minValue; break;
    case TScrollCode::SB_ENDSCROLL: return;
    }
    next = std::max(minValue, std::min(maxValue, next));
    if (next != current) {
        if (horz)
            moveTopLeft(next, m_topLeft.Y);
        else
            moveTopLeft(m_topLeft.X, next);
    }
    updateScrollPos();
}

void TStringGrid::wmHScroll(TScrollCode code, int pos) { modifyScrollBar(TScrollBarKind::sbHorizontal, code, pos); }
void TStringGrid::wmVScroll(TScrollCode code, int pos) { modifyScrollBar(TScrollBarKind::sbVertical, code, pos); }

void TStringGrid::sendScrollCode(TScrollBarKind bar, TScrollCode code, int pos)
{
    m_bars[int(bar)].info.nTrackPos = pos;
    if (bar == TScrollBarKind::sbHorizontal)
        wmHScroll(code, pos);
    else
        wmVScroll(code, pos);
}

void TStringGrid::scrollBarAction(TScrollBarKind bar, int action)
{
    QScrollBar* b = qtBar(bar);
    TScrollCode code;
    switch (action) {
    case QAbstractSlider::SliderSingleStepAdd: code = TScrollCode::SB_LINEDOWN; break;
    case QAbstractSlider::SliderSingleStepSub: code = TScrollCode::SB_LINEUP; break;
    case QAbstractSlider::SliderPageStepAdd: code = TScrollCode::SB_PAGEDOWN; break;
    case QAbstractSlider::SliderPageStepSub: code = TScrollCode::SB_PAGEUP; break;
    case QAbstractSlider::SliderToMinimum: code = TScrollCode::SB_TOP; break;
    case QAbstractSlider::SliderToMaximum: code = TScrollCode::SB_BOTTOM; break;
    case QAbstractSlider::SliderMove:
        if (!b->isSliderDown())
            return;
        code = TScrollCode::SB_THUMBTRACK;
        break;
    default: return;
    }
    const int pos = b->sliderPosition();
    sendScrollCode(bar, code, pos);
    // The bar shows what the grid made of the action, not what the slider computed.
    if (!b->isSliderDown())
        b->setSliderPosition(m_bars[int(bar)].info.nPos);
}

bool TStringGrid::eventFilter(QObject* watched, QEvent* e)
{
    for (TScrollBarKind bar : {TScrollBarKind::sbHorizontal, TScrollBarKind::sbVertical}) {
        QScrollBar* b = qtBar(bar);
        if (watched != b)
            continue;
        if (e->type() == QEvent::MouseButtonRelease) {
            // Let the bar finish the click first (a thumb drag ends with its position), then
            // tell the end of the scroll.
            b->removeEventFilter(this);
            QCoreApplication::sendEvent(b, e);
            b->installEventFilter(this);
            sendScrollCode(bar, TScrollCode::SB_ENDSCROLL, b->sliderPosition());
            applyScrollBar(bar);
            return true;
        }
        if (e->type() == QEvent::Wheel) {
            wheelEvent(static_cast<QWheelEvent*>(e));
            return true;
        }
    }
    return QAbstractScrollArea::eventFilter(watched, e);
}

// --- timers --------------------------------------------------------------------------------

void TStringGrid::setWindowTimer(int id, int intervalMs)
{
    QTimer*& t = m_timers[id];
    if (!t) {
        t = new QTimer(this);
        connect(t, &QTimer::timeout, this, [this, id]() { wmTimer(id); });
    }
    t->start(intervalMs);
}

void TStringGrid::killWindowTimer(int id)
{
    const auto it = m_timers.find(id);
    if (it != m_timers.end() && it->second)
        it->second->stop();
}

bool TStringGrid::windowTimerActive(int id) const
{
    const auto it = m_timers.find(id);
    return it != m_timers.end() && it->second && it->second->isActive();
}

int TStringGrid::windowTimerInterval(int id) const
{
    const auto it = m_timers.find(id);
    return it != m_timers.end() && it->second ? it->second->interval() : 0;
}

} // namespace platform
