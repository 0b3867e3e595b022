// Highlighting and marking inside cell texts, and the checking of cells through an attached
// checker component.
//
// Tagging a cell escapes its text as HTML ("&", the double quote, "<" and ">" become entities)
// and wraps every occurrence of the text in the tag, so that the mini-HTML renderer shows the
// cell as it was with the occurrences lit. Occurrences are looked for in the cell's own text,
// never inside the entities the escaping makes ("amp" is no occurrence in "a & b"), and only
// cells that hold one change. Untagging works on the cells that hold the tag: it removes every
// level of tags, and after each level decodes the entities that level's escaping added - tags
// first, entities second, so that a text that itself reads "&lt;" comes back exactly.
#include "controls/grid/core/ExtStringGrid.h"
#include "controls/grid/html/HTMLUtil.h"

#include <algorithm>

namespace controls::grid {

namespace {

const QString kHighlightTag = QStringLiteral("hi");
const QString kMarkTag = QStringLiteral("e");

QString OpenTag(const QString& tag) { return QLatin1Char('<') + tag + QLatin1Char('>'); }
QString CloseTag(const QString& tag) { return QStringLiteral("</") + tag + QLatin1Char('>'); }

bool HoldsTag(const QString& text, const QString& tag)
{
    return text.contains(OpenTag(tag), Qt::CaseInsensitive) || text.contains(CloseTag(tag), Qt::CaseInsensitive);
}

QString Tagged(const QString& s, const QString& text, const QString& tag, bool doCase)
{
    QString result;
    AddHighlightTags(s, text, tag, result, doCase);
    return result;
}

// The escaped text with every occurrence of find wrapped in the tag; the text itself when
// there is none.
QString EscapedAndTagged(const QString& text, const QString& find, const QString& tag, bool doCase)
{
    const Qt::CaseSensitivity cs = doCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    qsizetype at = text.indexOf(find, 0, cs);
    if (find.isEmpty() || at < 0)
        return text;
    QString out;
    qsizetype from = 0;
    while (at >= 0) {
        out += EncodeHTMLEntities(text.mid(from, at - from), false);
        out += OpenTag(tag) + EncodeHTMLEntities(text.mid(at, find.size()), false) + CloseTag(tag);
        from = at + find.size();
        at = text.indexOf(find, from, cs);
    }
    out += EncodeHTMLEntities(text.mid(from), false);
    return out;
}

// One level of tagging undone: the tags go, then that level's entities.
QString UntagOnce(const QString& text, const QString& tag)
{
    QString s = text;
    s.remove(OpenTag(tag), Qt::CaseInsensitive);
    s.remove(CloseTag(tag), Qt::CaseInsensitive);
    return DecodeHTMLEntities(s, false);
}

} // namespace

QString TExtStringGrid::HilightText(bool doCase, const QString& s, const QString& text)
{
    return Tagged(s, text, kHighlightTag, doCase);
}

QString TExtStringGrid::UnHilightText(const QString& s) { return RemoveHighlightTags(s, kHighlightTag); }

QString TExtStringGrid::MarkText(bool doCase, const QString& s, const QString& text)
{
    return Tagged(s, text, kMarkTag, doCase);
}

QString TExtStringGrid::UnMarkText(const QString& s) { return RemoveHighlightTags(s, kMarkTag); }

void TExtStringGrid::TagRange(int fromCol, int fromRow, int toCol, int toRow, bool doCase, const QString& hiText,
                              const QString& tag)
{
    if (hiText.isEmpty())
        return;
    for (int r = std::max(fromRow, 0); r <= toRow; ++r)
        for (int c = std::max(fromCol, 0); c <= toCol; ++c) {
            if (!IsBaseCell(c, r))
                continue;
            const QString text = GetCellEx(c, r);
            const QString tagged = EscapedAndTagged(text, hiText, tag, doCase);
            if (tagged != text)
                SetCellEx(c, r, tagged);
        }
}

void TExtStringGrid::UntagRange(int fromCol, int fromRow, int toCol, int toRow, const QString& tag)
{
    for (int r = std::max(fromRow, 0); r <= toRow; ++r)
        for (int c = std::max(fromCol, 0); c <= toCol; ++c) {
            if (!IsBaseCell(c, r))
                continue;
            QString text = GetCellEx(c, r);
            if (!HoldsTag(text, tag))
                continue;
            while (HoldsTag(text, tag))
                text = UntagOnce(text, tag);
            SetCellEx(c, r, text);
        }
}

// --- the ranges -----------------------------------------------------------------------------------
// Rows of a column: all of them with doFixed, else the data rows. Columns of a row: all shown ones
// with doFixed, else the data columns; withHidden adds the hidden columns' room at the end.

namespace {

struct TSpan {
    int From, To;
};

TSpan RowSpan(const TExtStringGrid& g, bool doFixed)
{
    return doFixed ? TSpan{0, g.RowCount() - 1} : TSpan{g.FixedRows(), g.RowCount() - g.FixedFooters() - 1};
}

TSpan ColSpan(const TExtStringGrid& g, bool doFixed, bool withHidden)
{
    const int hidden = withHidden ? g.NumHiddenColumns() : 0;
    return doFixed ? TSpan{0, g.ColCount() + hidden - 1}
                   : TSpan{g.FixedCols(), g.ColCount() + hidden - g.FixedRightCols() - 1};
}

} // namespace

void TExtStringGrid::HilightInCell(bool doCase, int col, int row, const QString& hiText)
{
    TagRange(col, row, col, row, doCase, hiText, kHighlightTag);
}

void TExtStringGrid::HilightInCol(bool doFixed, bool doCase, int col, const QString& hiText)
{
    const TSpan rows = RowSpan(*this, doFixed);
    TagRange(col, rows.From, col, rows.To, doCase, hiText, kHighlightTag);
}

void TExtStringGrid::HilightInRow(bool doFixed, bool doCase, int row, const QString& hiText)
{
    const TSpan cols = ColSpan(*this, doFixed, false);
    TagRange(cols.From, row, cols.To, row, doCase, hiText, kHighlightTag);
}

void TExtStringGrid::HilightInGrid(bool doFixed, bool doCase, const QString& hiText)
{
    const TSpan rows = RowSpan(*this, doFixed), cols = ColSpan(*this, doFixed, !doFixed);
    TagRange(cols.From, rows.From, cols.To, rows.To, doCase, hiText, kHighlightTag);
}

void TExtStringGrid::MarkInCell(bool doCase, int col, int row, const QString& hiText)
{
    TagRange(col, row, col, row, doCase, hiText, kMarkTag);
}

void TExtStringGrid::MarkInCol(bool doFixed, bool doCase, int col, const QString& hiText)
{
    const TSpan rows = RowSpan(*this, doFixed);
    TagRange(col, rows.From, col, rows.To, doCase, hiText, kMarkTag);
}

void TExtStringGrid::MarkInRow(bool doFixed, bool doCase, int row, const QString& hiText)
{
    const TSpan cols = ColSpan(*this, doFixed, false);
    TagRange(cols.From, row, cols.To, row, doCase, hiText, kMarkTag);
}

void TExtStringGrid::MarkInGrid(bool doFixed, bool doCase, const QString& hiText)
{
    const TSpan rows = RowSpan(*this, doFixed), cols = ColSpan(*this, doFixed, false);
    TagRange(cols.From, rows.From, cols.To, rows.To, doCase, hiText, kMarkTag);
}

void TExtStringGrid::UnHilightInCell(int col, int row) { UntagRange(col, row, col, row, kHighlightTag); }

void TExtStringGrid::UnHilightInCol(bool doFixed, int col)
{
    const TSpan rows = RowSpan(*this, doFixed);
    UntagRange(col, rows.From, col, rows.To, kHighlightTag);
}

void TExtStringGrid::UnHilightInRow(bool doFixed, int row)
{
    const TSpan cols = ColSpan(*this, doFixed, true);
    UntagRange(cols.From, row, cols.To, row, kHighlightTag);
}

void TExtStringGrid::UnHilightInGrid(bool doFixed)
{
    const TSpan rows = RowSpan(*this, doFixed), cols = ColSpan(*this, doFixed, true);
    UntagRange(cols.From, rows.From, cols.To, rows.To, kHighlightTag);
}

void TExtStringGrid::UnMarkInCell(int col, int row) { UntagRange(col, row, col, row, kMarkTag); }

void TExtStringGrid::UnMarkInCol(bool doFixed, int col)
{
    const TSpan rows = RowSpan(*this, doFixed);
    UntagRange(col, rows.From, col, rows.To, kMarkTag);
}

void TExtStringGrid::UnMarkInRow(bool doFixed, int row)
{
    const TSpan cols = ColSpan(*this, doFixed, true);
    UntagRange(cols.From, row, cols.To, row, kMarkTag);
}

void TExtStringGrid::UnMarkInGrid(bool doFixed)
{
    const TSpan rows = RowSpan(*this, doFixed), cols = ColSpan(*this, doFixed, true);
    UntagRange(cols.From, rows.From, cols.To, rows.To, kMarkTag);
}

// --- cell checking --------------------------------------------------------------------------------

bool TExtStringGrid::CheckCell(int col, int row)
{
    TExtStringGridCheck* checker = CellChecker.data();
    if (!checker)
        return true;
    const QString before = UnMarkText(GetCellEx(col, row));
    if (checker->GotoCell) {
        const int c = DisplColIndex(col);
        if (c >= 0 && c < ColCount() && row >= 0 && row < RowCount()) {
            SetRow(row);
            SetCol(c);
            ScrollInView(c, row);
        }
    }
    QString result = before;
    if (checker->UseCorrect)
        result = checker->Correct(col, row, before);
    if (checker->UseMarkError)
        result = checker->MarkError(col, row, before);
    SetCellEx(col, row, result);
    return result == before;
}

bool TExtStringGrid::CheckCells(int fromCol, int fromRow, int toCol, int toRow)
{
    TExtStringGridCheck* checker = CellChecker.data();
    if (!checker)
        return true;
    checker->StartCheck();
    const int keepRow = Row(), keepCol = Col();
    bool all = true;
    for (int r = fromRow; r <= toRow; ++r)
        for (int c = fromCol; c <= toCol; ++c)
            all = CheckCell(c, r) && all;
    // The checker may be detached by its own events.
    if (TExtStringGridCheck* still = CellChecker.data()) {
        still->StopCheck();
        if (still->GotoCell) {
            SetRow(keepRow);
            SetCol(keepCol);
        }
    }
    return all;
}

bool TExtStringGrid::CheckCol(bool doFixed, int col)
{
    const TSpan rows = RowSpan(*this, doFixed);
    return CheckCells(col, rows.From, col, rows.To);
}

bool TExtStringGrid::CheckRow(bool doFixed, int row)
{
    const TSpan cols = ColSpan(*this, doFixed, false);
    return CheckCells(cols.From, row, cols.To, row);
}

bool TExtStringGrid::CheckGrid(bool doFixed)
{
    const TSpan rows = RowSpan(*this, doFixed), cols = ColSpan(*this, doFixed, false);
    return CheckCells(cols.From, rows.From, cols.To, rows.To);
}

} // namespace controls::grid
