// Scrolling a cell into view, the scroll-bar settings, bars that stay visible, and the
// proportional thumbs.
#include "controls/grid/core/ExtStringGrid.h"

#include <QStyle>
#include <algorithm>

namespace controls::grid {

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
