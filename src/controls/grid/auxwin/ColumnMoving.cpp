// Moving columns and rows by mouse with EnhRowColMove: while a header is dragged the grid shows
// a floating copy of it (or, with DragDropSettings.ShowCells, an image of the dragged cells),
// green arrows at the place it would land, a drag or no-drop cursor, and scrolls when the mouse
// passes its edges; OnColumnMove / OnRowMove may stop the move at every step and
// OnColumnMoving / OnRowMoving refuse the place under the mouse. The release decides: on an
// allowed data column (row) other than the dragged one the column (row) moves there
// (MoveColumn / MoveRow), otherwise nothing moves.
#include "controls/grid/auxwin/GridAux.h"

#include "controls/grid/base/GridControls.h"

namespace controls::grid {

using platform::TGridState;

namespace {
enum { kUp, kDown, kLeft, kRight };
} // namespace

void TExtStringGridAux::EndMoveWindows()
{
    if (m_moveButton) {
        m_moveButton->setEnabled(false);
        m_moveButton->hide();
    }
    m_moveForm.reset();
    for (TArrowWindow* a : m_arrows)
        if (a)
            a->hide();
    viewport()->unsetCursor();
}

void TExtStringGridAux::MoveFeedback(int x, int y)
{
    const TGridState st = gridState();
    const bool colMove = st == TGridState::gsColMoving;
    if ((!colMove && st != TGridState::gsRowMoving) || m_designing || m_moveCell < 0)
        return;
    bool allow = true;
    if (colMove && OnColumnMove)
        OnColumnMove(this, m_moveCell, allow);
    if (!colMove && OnRowMove)
        OnRowMove(this, m_moveCell, allow);
    if (!allow) {
        killWindowTimer(kScrollTimerId);
        setGridState(TGridState::gsNormal);
        m_moveDragging = false;
        EndMoveWindows();
        return;
    }
    if (RowCount() <= 1 || QPoint(x, y) == m_movePress || !EnhRowColMove)
        return;
    allow = true;
    if (!m_moveDragging) {
        m_moveDragging = true;
        if (OnStartBlockFocus)
            OnStartBlockFocus(this);
    }
    int c = -1, r = -1;
    mouseToCell(x, y, c, r);

    // What is dragged: the header's copy, or an image of the cells.
    if (colMove && m_moveCell >= FixedCols() && r >= 0) {
        if (DragDropSettings.ShowCells && !m_moveForm)
            m_moveForm.reset(SelectionToForm(
                TGridRect{m_moveCell, 0, m_moveCell, std::min(RowCount() - 1, TopRow() + visibleRowCount() - FixedRows())}));
        m_moveButton->SetCaption(Cells(RealColIndex(m_moveCell), 0));
        m_moveButton->resize(colWidths(m_moveCell), rowHeights(r));
    } else if (!colMove && m_moveCell >= FixedRows() && c >= 0) {
        if (DragDropSettings.ShowCells && !m_moveForm)
            m_moveForm.reset(SelectionToForm(
                TGridRect{0, m_moveCell, std::min(ColCount() - 1, leftCol() + visibleColCount() - FixedCols()), m_moveCell}));
        m_moveButton->SetCaption(Cells(0, m_moveCell));
        m_moveButton->resize(colWidths(c), rowHeights(m_moveCell));
    }
    QPoint place = viewport()->mapToGlobal(QPoint(x - m_moveOfsX, y - m_moveOfsY));
    if (m_moveForm) {
        if (layoutDirection() == Qt::RightToLeft)
            place.rx() -= colWidths(0);
        m_moveForm->move(place);
        m_moveForm->show();
    } else {
        m_moveButton->move(place);
    }

    if (colMove) {
        if (m_moveColInd >= FixedCols() && m_moveColInd < ColCount() && c >= 0) {
            const Rect cell = cellRect(m_moveColInd, 0);
            const int edge = m_moveColInd < m_moveCell ? cell.left : cell.right;
            const QPoint top = viewport()->mapToGlobal(QPoint(edge - 5, cell.top - 8));
            const QPoint bottom = viewport()->mapToGlobal(QPoint(edge - 5, cell.bottom));
            m_arrows[kDown]->move(top);
            m_arrows[kUp]->move(bottom);
            const bool shown = m_moveColInd - leftCol() < visibleColCount();
            m_arrows[kDown]->setVisible(shown);
            m_arrows[kUp]->setVisible(shown);
        } else {
            m_arrows[kDown]->hide();
            m_arrows[kUp]->hide();
        }
        m_moveColInd = c;
        m_moveRowInd = 0;
        if (OnColumnMoving)
            OnColumnMoving(this, m_moveColInd, allow);
    } else {
        const bool footerRow = FloatingFooter.Visible && FloatingFooter.FooterStyle == fsFixedLastRow
                               && m_moveRowInd == RowCount() - 1;
        const bool dataRow = m_moveRowInd >= FixedRows() && m_moveRowInd < RowCount()
                             && m_moveRowInd - TopRow() < visibleRowCount();
        if (!footerRow && dataRow && r >= 0) {
            const Rect cell = cellRect(0, m_moveRowInd);
            const int edge = m_moveRowInd < m_moveCell ? cell.top : cell.bottom;
            m_arrows[kLeft]->move(viewport()->mapToGlobal(QPoint(cell.left - 10, edge - 5)));
            m_arrows[kRight]->move(viewport()->mapToGlobal(QPoint(cell.right, edge - 5)));
        }
        m_arrows[kLeft]->setVisible(!footerRow && dataRow && r >= 0);
        m_arrows[kRight]->setVisible(!footerRow && dataRow && r >= 0);
        m_moveColInd = 0;
        m_moveRowInd = r;
        if (OnRowMoving)
            OnRowMoving(this, m_moveRowInd, allow);
    }

    // Scrolling at the edges.
    const platform::TGridDrawInfo info = calcDrawInfo();
    if (colMove && visibleColCount() + FixedCols() < ColCount()) {
        if (x < info.Horz.FixedBoundary && leftCol() > FixedCols()) {
            setLeftCol(leftCol() - 1);
            invalidate();
        } else if (x > viewport()->width() && leftCol() + visibleColCount() < ColCount()) {
            setLeftCol(leftCol() + 1);
            invalidate();
        }
    } else if (!colMove && visibleRowCount() + FixedRows() < RowCount()) {
        if (y < info.Vert.FixedBoundary && TopRow() > FixedRows()) {
            SetTopRow(TopRow() - 1);
            invalidate();
        } else if (y > viewport()->height() && TopRow() + visibleRowCount() < RowCount()) {
            SetTopRow(TopRow() + 1);
            invalidate();
        }
    }

    if (!m_moveButton->isVisible() && !DragDropSettings.ShowCells) {
        m_moveButton->show();
        m_moveButton->raise();
    }
    m_moveButton->setEnabled(true);
    m_moveButton->update();
    m_moveAllow = allow;
    viewport()->setCursor(allow ? Qt::DragMoveCursor : Qt::ForbiddenCursor);
}

bool TExtStringGridAux::MoveDrop(int x, int y)
{
    const TGridState st = gridState();
    const bool colMove = st == TGridState::gsColMoving;
    if ((!colMove && st != TGridState::gsRowMoving) || !EnhRowColMove || !m_moveDragging)
        return false;
    EndMoveWindows();
    if (OnEndBlockFocus)
        OnEndBlockFocus(this);
    int c = -1, r = -1;
    mouseToCell(x, y, c, r);
    killWindowTimer(kScrollTimerId);
    setGridState(TGridState::gsNormal);
    m_moveDragging = false;
    m_mouseDownMove = false;
    if (m_moveAllow) {
        if (colMove && m_moveCell >= 0 && c >= FixedCols() && c != m_moveCell)
            MoveColumn(m_moveCell, c);
        else if (!colMove && m_moveCell >= 0 && r >= FixedRows() && r != m_moveCell)
            MoveRow(m_moveCell, r);
    } else if (colMove) {
        invalidateRow(0);
    } else {
        invalidateCol(0);
    }
    m_moveCell = -1;
    return true;
}

} // namespace controls::grid
