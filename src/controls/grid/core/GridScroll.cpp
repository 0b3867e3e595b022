// Scrolling a cell into view, the scroll-bar settings, bars that stay visible, and the
// proportional thumbs.
#include "controls/grid/core/ExtStringGrid.h"

#include <QCursor>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QLabel>
#include <QStyle>
#include <QTimer>
#include <algorithm>
#include <cstdlib>

namespace controls::grid {

namespace {
// a x b / c, rounded to the nearest integer (halves away from zero); 0 when c is 0.
int mulDiv(int a, int b, int c)
{
    if (c == 0)
        return 0;
    const qint64 n = qint64(a) * qint64(b);
    const qint64 q = (std::abs(n) + std::abs(qint64(c)) / 2) / std::abs(qint64(c));
    return int((n < 0) != (c < 0) ? -q : q);
}
} // namespace

void TExtStringGrid::ScrollInView(int colIndex, int rowIndex)
{
    if (colIndex >= colCount() || rowIndex >= rowCount() || colIndex < 0 || rowIndex < 0)
        return;
    int l = leftCol();
    int t = topRow();
    const int visibleCols = visibleColCount();
    const int visibleRows = visibleRowCount();
    if (colIndex < leftCol() || colIndex >= leftCol() + visibleCols) {
        SetCol(colIndex);
        l = std::max(fixedCols(), colIndex - visibleCols / 2);
    }
    if (rowIndex < topRow() || rowIndex >= topRow() + visibleRows) {
        SetRow(rowIndex);
        t = std::max(fixedRows(), rowIndex - visibleRows / 2);
    }
    l = std::min(l, colCount() + 1 - visibleCols);
    if (fixedCols() + visibleCols < colCount())
        setLeftCol(l);
    t = std::min(t, rowCount() + 1 - visibleRows);
    if (fixedRows() + visibleRows < rowCount())
        SetTopRow(t);
}

// --- thumb drags -------------------------------------------------------------------------------

void TExtStringGrid::thumbHint(platform::TScrollCode code, const QString& format, int index)
{
    // While the thumb is dragged the hint names where it would go; the end of the drag hides it.
    if (code == platform::TScrollCode::SB_ENDSCROLL) {
        HideGridHint();
    } else if (code == platform::TScrollCode::SB_THUMBTRACK) {
        QString hint = format.arg(index);
        if (OnScrollHint)
            OnScrollHint(this, index, hint);
        ShowGridHint(hint, QCursor::pos() + QPoint(10, 0));
    }
}

void TExtStringGrid::wmHScroll(platform::TScrollCode code, int pos)
{
    using platform::TScrollCode;
    const int c = mulDiv(pos, colCount() - visibleColCount() - fixedCols(), 127) + fixedCols();
    if (ScrollHints == shHorizontal || ScrollHints == shBoth)
        thumbHint(code, QStringLiteral("Col : %1"), c);
    if (code == TScrollCode::SB_THUMBTRACK && ScrollSynch)
        setLeftCol(std::clamp(c, fixedCols(), std::max(fixedCols(), colCount() - 1)));
    if (fixedCols() == 0 && c >= col())
        setEditorMode(false);
    TBaseGrid::wmHScroll(code, pos);
}

void TExtStringGrid::wmVScroll(platform::TScrollCode code, int pos)
{
    using platform::TScrollCode;
    const int r = mulDiv(pos, rowCount() - visibleRowCount() - fixedRows(), 127) + fixedRows();
    if (ScrollHints == shVertical || ScrollHints == shBoth)
        thumbHint(code, QStringLiteral("Row : %1"), r);
    if (code == TScrollCode::SB_THUMBTRACK && ScrollSynch)
        SetTopRow(std::clamp(r, fixedRows(), std::max(fixedRows(), rowCount() - 1)));
    TBaseGrid::wmVScroll(code, pos);
}

// --- the hint window -------------------------------------------------------------------------------

void TExtStringGrid::ShowGridHint(const QString& text, QPoint globalPos)
{
    auto* label = qobject_cast<QLabel*>(m_gridHint.data());
    if (!label) {
        label = new QLabel(this, Qt::ToolTip | Qt::FramelessWindowHint);
        label->setTextFormat(Qt::RichText);
        label->setMargin(2);
        m_gridHint = label;
    }
    const QColor c = platform::toQColor(HintColor);
    label->setStyleSheet(QStringLiteral("QLabel { background: %1; border: 1px solid black; }").arg(c.name()));
    label->setText(text);
    label->setMaximumWidth(200);
    label->adjustSize();
    label->move(globalPos);
    label->show();
}

void TExtStringGrid::HideGridHint()
{
    if (m_gridHint)
        m_gridHint->hide();
}

bool TExtStringGrid::GridHintShown() const { return m_gridHint && m_gridHint->isVisible(); }

QString TExtStringGrid::GridHintText() const
{
    const auto* label = qobject_cast<const QLabel*>(m_gridHint.data());
    return label && label->isVisible() ? label->text() : QString();
}

// --- drag scrolling ----------------------------------------------------------------------------------

void TExtStringGrid::DragScrollOver(QPoint pos)
{
    if (!DragScrollOptions.Active) {
        DragScrollStop();
        return;
    }
    const TDragScrollMargins& m = DragScrollOptions.Margins;
    const QWidget* area = viewport();
    unsigned dir = 0;
    if (pos.y() < m.TopMargin)
        dir |= dsdUp;
    else if (pos.y() > area->height() - m.BottomMargin)
        dir |= dsdDown;
    if (pos.x() < m.LeftMargin)
        dir |= dsdLeft;
    else if (pos.x() > area->width() - m.RightMargin)
        dir |= dsdRight;
    if (dir == 0) {
        DragScrollStop();
        return;
    }
    if (!m_dragScrollTimer) {
        m_dragScrollTimer = new QTimer(this);
        connect(m_dragScrollTimer, &QTimer::timeout, this, [this] { DragScrollStep(); });
    }
    if (!m_dragScrollTimer->isActive() || m_dragScrollDir != 0)
        m_dragScrollTimer->start(DragScrollOptions.Delays.InitialDelay);
    m_dragScrollDir = dir;
}

void TExtStringGrid::DragScrollStop()
{
    m_dragScrollDir = 0;
    if (m_dragScrollTimer)
        m_dragScrollTimer->stop();
}

bool TExtStringGrid::DragScrollTimerActive() const { return m_dragScrollTimer && m_dragScrollTimer->isActive(); }

void TExtStringGrid::DragScrollStep()
{
    if (!DragScrollOptions.Active) {
        DragScrollStop();
        return;
    }
    if (m_dragScrollTimer)
        m_dragScrollTimer->setInterval(DragScrollOptions.Delays.RepeatDelay);
    unsigned dir = m_dragScrollDir;
    bool canScroll = true;
    if (OnDragScroll)
        OnDragScroll(this, topRow(), leftCol(), dir, canScroll);
    if (!canScroll)
        return;
    if ((dir & dsdUp) && topRow() > fixedRows())
        setTopRow(topRow() - 1);
    else if ((dir & dsdDown) && topRow() + visibleRowCount() < rowCount())
        setTopRow(topRow() + 1);
    if ((dir & dsdLeft) && leftCol() > fixedCols())
        setLeftCol(leftCol() - 1);
    else if ((dir & dsdRight) && visibleColCount() + leftCol() < colCount())
        setLeftCol(leftCol() + 1);
}

void TExtStringGrid::dragEnterEvent(QDragEnterEvent* e)
{
    // A drag is followed only for scrolling; dropping here is not offered.
    if (!DragScrollOptions.Active) {
        TBaseGrid::dragEnterEvent(e);
        return;
    }
    e->accept();
    DragScrollOver(viewport()->mapFrom(this, e->position().toPoint()));
}

void TExtStringGrid::dragMoveEvent(QDragMoveEvent* e)
{
    DragScrollOver(e->position().toPoint());
    e->ignore();
}

void TExtStringGrid::dragLeaveEvent(QDragLeaveEvent* e)
{
    DragScrollStop();
    TBaseGrid::dragLeaveEvent(e);
}

void TExtStringGrid::dropEvent(QDropEvent* e)
{
    DragScrollStop();
    e->ignore();
}

void TExtStringGrid::SetScrollType(TScrollType t)
{
    // Flat and thin scroll bars are drawn by the standard bars here; the Metro indicators are
    // the grid's auxiliary windows (ScrollTypeChanged).
    const bool changed = t != m_scrollType;
    m_scrollType = t;
    if (changed)
        ScrollTypeChanged();
}

void TExtStringGrid::SetScrollProportional(bool on)
{
    m_scrollProportional = on;
    if (on) {
        UpdateProportionalVScroll();
        UpdateProportionalHScroll();
    }
}

void TExtStringGrid::SetScrollBarAlways(TScrollBarAlways v)
{
    m_scrollBarAlways = v;
    UpdateScrollBarsAlways(true);
}

void TExtStringGrid::SetScrollBars(platform::TScrollStyle s)
{
    m_scrollBarsStyle = s;
    setScrollBars(s);
}

void TExtStringGrid::UpdateScrollBarsAlways(bool hideUnused)
{
    if (IsLoading())
        return;
    const bool rowsFit = visibleRowCount() + fixedRows() >= rowCount();
    const bool colsFit = visibleColCount() + fixedCols() >= colCount();
    using platform::TScrollBarKind;
    if (m_scrollBarAlways != saNone) {
        const bool vert = m_scrollBarAlways == saVert || m_scrollBarAlways == saBoth;
        const bool horz = m_scrollBarAlways == saHorz || m_scrollBarAlways == saBoth;
        if (rowsFit) {
            showScrollBar(TScrollBarKind::sbVertical, vert);
            enableScrollBar(TScrollBarKind::sbVertical, false);
        } else {
            enableScrollBar(TScrollBarKind::sbVertical, true);
        }
        if (colsFit) {
            showScrollBar(TScrollBarKind::sbHorizontal, horz);
            enableScrollBar(TScrollBarKind::sbHorizontal, false);
        } else {
            enableScrollBar(TScrollBarKind::sbHorizontal, true);
        }
    } else if (hideUnused) {
        if (rowsFit)
            showScrollBar(TScrollBarKind::sbVertical, false);
        if (colsFit)
            showScrollBar(TScrollBarKind::sbHorizontal, false);
    }
}

bool TExtStringGrid::ProportionalThumb(double r, int& nMax, int& nPage)
{
    const float rf = float(r);
    if (rf >= 0.9999f)
        return false;
    nMax = int((127.0f + rf) / (1.0f - rf));
    nPage = nMax - 126;
    return true;
}

void TExtStringGrid::UpdateProportionalHScroll()
{
    if (IsLoading() || !m_scrollProportional || m_scrollLock)
        return;
    const int lw = GridLineWidth();
    int fixedExtent = lw, scrollExtent = lw, before = lw;
    for (int c = 0; c < fixedCols(); ++c)
        fixedExtent += lw + colWidths(c);
    for (int c = fixedCols(); c < colCount(); ++c) {
        scrollExtent += lw + colWidths(c);
        if (c < leftCol())
            before += lw + colWidths(c);
    }
    const int wd = width();
    if (scrollExtent <= 0)
        return;
    const double r = double(wd - fixedExtent) / scrollExtent;
    int nMax = 0, nPage = 0;
    if (scrollExtent + fixedExtent - wd < 5 || !ProportionalThumb(r, nMax, nPage))
        return;
    platform::TScrollInfo info = getScrollInfo(platform::TScrollBarKind::sbHorizontal);
    info.nMax = nMax;
    info.nPage = nPage;
    if (wd < scrollExtent)
        info.nPos = int(double(before) / (scrollExtent - wd) * 128);
    setScrollInfo(platform::TScrollBarKind::sbHorizontal, info);
}

void TExtStringGrid::UpdateProportionalVScroll()
{
    if (IsLoading() || !m_scrollProportional || m_scrollLock)
        return;
    if (visibleRowCount() + fixedRows() >= rowCount())
        return;
    const int lw = GridLineWidth();
    int fixedExtent = lw, scrollExtent = lw, before = lw;
    for (int r = 0; r < fixedRows(); ++r)
        fixedExtent += lw + rowHeights(r);
    for (int r = fixedRows(); r < rowCount(); ++r) {
        scrollExtent += lw + rowHeights(r);
        if (r < topRow())
            before += lw + rowHeights(r);
    }
    if (scrollExtent == 0)
        return;
    const int h = height();
    const double ratio = double(h - fixedExtent) / scrollExtent;
    int nMax = 0, nPage = 0;
    if (!ProportionalThumb(ratio, nMax, nPage))
        return;
    platform::TScrollInfo info = getScrollInfo(platform::TScrollBarKind::sbVertical);
    info.nMax = nMax;
    info.nPage = nPage;
    info.nPos = h < scrollExtent ? int(double(before) / (scrollExtent - h) * 128) : 127;
    setScrollInfo(platform::TScrollBarKind::sbVertical, info);
}

} // namespace controls::grid
