// The grid's side of its search bar: making the bar, applying the SearchFooter settings to it,
// and the bar's actions - searching as the text is typed, the next and the previous match,
// highlighting every match, closing.
//
// The bar takes 32 pixels of its own below the rows (the rows' area shrinks by them), so the
// scroll rules that keep a hit or the last row from hiding behind it hold by construction:
// LastRowAboveSearchFooter answers from the geometry, ScrollAboveSearchFooter finds nothing to
// scroll.
#include "controls/grid/paint/GridPaint.h"

#include <QApplication>
#include <QMargins>
#include <algorithm>

namespace controls::grid {

namespace {
constexpr Color kNotFoundColor = 0x0000FF; // red
} // namespace

void TExtStringGridPaint::CreateSearchPanel()
{
    m_searchPanel = new TSearchPanel(this);
    m_searchPanel->hide();
    m_searchPanel->OnEditChange = [this](TSearchPanel*) { SearchFooterEditChange(); };
    m_searchPanel->OnForwardClick = [this](TSearchPanel*) { SearchFooterFindNext(); };
    m_searchPanel->OnBackwardClick = [this](TSearchPanel*) { SearchFooterFindPrev(); };
    m_searchPanel->OnExitClick = [this](TSearchPanel*) { SearchFooterClose(); };
    m_searchPanel->OnHighlightClick = [this](TSearchPanel*) { SearchFooterHighlight(); };
    m_searchPanel->CreateWnd();
}

void TExtStringGridPaint::CreateWnd()
{
    TExtStringGrid::CreateWnd();
    // Settings made while the grid was being loaded reach the bar now.
    UpdateSearchFooter();
    if (OnCreatedSearchFooter)
        OnCreatedSearchFooter(this);
}

void TExtStringGridPaint::ApplySearchPanel()
{
    TSearchPanel* p = m_searchPanel;
    if (!p)
        return;
    const TSearchPanelLayout& l = m_searchLayout;
    const TSearchFooter& f = SearchFooter;
    p->SetColor(f.Color());
    p->SetColorTo(f.ColorTo());
    p->setFont(f.Font());
    QFont plain = f.Font();
    plain.setBold(false);
    plain.setItalic(false);
    plain.setUnderline(false);
    plain.setStrikeOut(false);
    p->HiliteButton()->setFont(plain);
    p->FindNextCaption = f.FindNextCaption();
    p->FindPrevCaption = f.FindPrevCaption();
    p->MatchCaseCaption = f.MatchCaseCaption();
    p->HighLightCaption = f.HighLightCaption();
    p->HintFindNext = f.HintFindNext();
    p->HintFindPrev = f.HintFindPrev();
    p->HintClose = f.HintClose();
    p->HintHighLight = f.HintHighlight();
    p->ApplyTexts();
    for (TExtGridButton* b : {p->ForwardButton(), p->BackwardButton(), p->HiliteButton()})
        b->SetFlat(l.FlatButtons);
    p->HiliteButton()->setVisible(l.HighLight);
    p->ExitButton()->setVisible(l.Close);
    p->MatchCase()->setVisible(l.MatchCase);
    p->BackwardButton()->setVisible(l.FindPrev);
    p->ForwardButton()->setVisible(l.FindNext);
    p->PlaceParts();

    // The rows' area gives up the bar's room (and a floating footer's).
    const int footer = FloatingFooter.Visible ? std::max(0, FloatingFooter.Height - 1) : 0;
    const int bottom = footer + (l.Visible ? TSearchPanel::kHeight : 0);
    QMargins m = viewportMargins();
    if (m.bottom() != bottom) {
        m.setBottom(bottom);
        setViewportMargins(m);
    }
    p->setVisible(l.Visible);
    p->Place();
    if (l.Visible) {
        p->raise();
        ScrollAboveSearchFooter();
    } else if (p->isAncestorOf(QApplication::focusWidget())) {
        setFocus(Qt::OtherFocusReason);
    }
}

TFindParams TExtStringGridPaint::SearchFooterParams(TSearchFooterAction action)
{
    const TSearchFooter& f = SearchFooter;
    TFindParams p{fnAutoGoto};
    if (action == saFindPrevious)
        p.Include(fnBackward);
    if (m_searchPanel->HiliteButton()->Down())
        p.Include(fnIgnoreHTMLTags);
    if (m_searchPanel->MatchCase()->Checked())
        p.Include(fnMatchCase);
    if (f.SearchActiveColumnOnly())
        p.Include(fnFindInCurrentCol);
    if (f.SearchMatchStart())
        p.Include(fnMatchStart);
    if (action == saFindFirst && f.SearchFixedCells())
        p.Include(fnIncludeFixed);
    if (action == saFindFirst && f.SearchHiddenRows())
        p.Include(fnIncludeHiddenRows);
    // The previous match walks the same order as the next one.
    if (f.SearchDirection() == sdLeftRight)
        p.Include(fnDirectionLeftRight);
    if (f.SearchColumn() >= 0 && f.SearchColumn() < ColCount()) {
        p.Include(fnFindInPresetCol);
        FindCol = f.SearchColumn();
    }
    return p;
}

void TExtStringGridPaint::HighlightSearchMatches(bool on, const QString& text)
{
    const int col = SearchFooter.SearchColumn();
    const bool matchCase = m_searchPanel->MatchCase()->Checked();
    if (on) {
        if (col != -1)
            HilightInCol(false, matchCase, col, text);
        else
            HilightInGrid(false, matchCase, text);
    } else {
        if (col != -1)
            UnHilightInCol(false, col);
        else
            UnHilightInGrid(false);
    }
}

void TExtStringGridPaint::SetSearchEditColor(Color c) { m_searchPanel->SetEditColor(c); }

void TExtStringGridPaint::SearchFooterAction(const QString& text, int col, int row, TSearchFooterAction action)
{
    if (OnSearchFooterAction)
        OnSearchFooterAction(this, text, col, row, action);
}

void TExtStringGridPaint::SearchFooterEditChange()
{
    const QString text = m_searchPanel->Edit()->text();
    if (OnSearchEditChange) {
        bool defaultSearch = true;
        OnSearchEditChange(this, text, defaultSearch);
        if (!defaultSearch)
            return;
    }
    if (!SearchFooter.AutoSearch())
        return;
    const TFindParams params = SearchFooterParams(saFindFirst);
    const bool highlight = m_searchPanel->HiliteButton()->Down() || SearchFooter.AlwaysHighLight();
    if (highlight)
        HighlightSearchMatches(false, text);
    if (text.isEmpty()) {
        SetSearchEditColor(platform::clWindow);
        return;
    }
    SearchCell = Find(QPoint(-1, -1), text, params);
    // A search through the hidden rows gives a real row; the next and the previous match walk
    // the shown rows, so they go on from the hit's shown row (not from the shown row that happens
    // to carry the same number).
    if (SearchCell.y() >= 0 && params.Has(fnIncludeHiddenRows) && !IsHiddenRow(SearchCell.y()))
        SearchCell.setY(DisplRowIndex(SearchCell.y()));
    SearchFooterAction(text, SearchCell.x(), SearchCell.y(), saFindFirst);
    if (SearchCell.x() < 0) {
        SetSearchEditColor(kNotFoundColor);
        return;
    }
    SetSearchEditColor(platform::clWindow);
    ScrollInView(Col(), Row());
    if (highlight)
        HighlightSearchMatches(true, text);
}

void TExtStringGridPaint::SearchFooterFindNext() { SearchFooterStep(saFindNext); }

void TExtStringGridPaint::SearchFooterFindPrev() { SearchFooterStep(saFindPrevious); }

void TExtStringGridPaint::SearchFooterStep(TSearchFooterAction action)
{
    const QString text = m_searchPanel->Edit()->text();
    // Without automatic search a changed text starts over at the first (last) cell.
    if (!SearchFooter.AutoSearch()) {
        if (text != SearchFooter.LastSearch)
            SearchCell = QPoint(-1, -1);
        SearchFooter.LastSearch = text;
    }
    SearchCell = Find(SearchCell, text, SearchFooterParams(action));
    if (SearchCell.x() >= 0)
        ScrollInView(Col(), Row());
    SearchFooterAction(text, SearchCell.x(), SearchCell.y(), action);
    m_searchPanel->update();
}

void TExtStringGridPaint::SearchFooterHighlight()
{
    HighlightSearchMatches(m_searchPanel->HiliteButton()->Down(), m_searchPanel->Edit()->text());
}

void TExtStringGridPaint::SearchFooterClose()
{
    if (OnSearchFooterClose)
        OnSearchFooterClose(this);
    SearchFooter.SetVisible(false);
}

bool TExtStringGridPaint::FocusSearchFooter()
{
    if (!SearchFooter.Visible() || !m_searchPanel)
        return false;
    m_searchPanel->Edit()->setFocus(Qt::ShortcutFocusReason);
    m_searchPanel->Edit()->selectAll();
    return true;
}

bool TExtStringGridPaint::LastRowAboveSearchFooter()
{
    if (!SearchFooter.Visible() || TopRow() + visibleRowCount() < RowCount() - 1)
        return false;
    // The bar's top is the bottom of the rows' area.
    const Rect r = CellRect(leftCol(), RowCount() - 1);
    return r.bottom < viewport()->height() + 2;
}

void TExtStringGridPaint::ScrollAboveSearchFooter()
{
    if (!SearchFooter.Visible() || viewport()->height() <= DefaultRowHeight())
        return;
    const int last = RowCount() - 1;
    while (Row() <= last && TopRow() < last) {
        const Rect r = CellRect(leftCol(), last);
        if (r.isEmpty() || r.bottom < viewport()->height() + 2)
            return;
        const int top = TopRow();
        SetTopRow(top + 1);
        if (TopRow() == top)
            return;
    }
}

} // namespace controls::grid
