#include "controls/grid/dropdown/ListDropDownShared.h"

#include "controls/grid/dropdown/rules/DropDownDraw.h"
#include "controls/grid/dropdown/rules/LookupLogic.h"
#include "platform/draw/Graphics.h"
#include "platform/grid/Keys.h"
#include "platform/grid/StringGrid.h"

#include <QStyle>

namespace controls::grid::dropdown {

using namespace platform;

void TListDropDownLook::ApplyListSelectionStyle(TExtCustomDropDown& d, TSelectionColorStyle style)
{
    if (style == scOffice2007) {
        LineColor = 0xF1EDEB;
        FixedLineColor = 0xD1BBA4;
        d.SelectionColor = d.SelectionColorTo = 0x5EC1F1;
    } else if (style == scWindowsVista || style == scWindows7) {
        d.SelectionColor = d.SelectionColorTo = 0xEACAB6;
        LineColor = 0xECECF0;
        FixedLineColor = 0xD4D2D1;
    }
}

void TListDropDownLook::ApplyListGridStyle(TExtCustomDropDown& d, const TListGridStyleColors& r)
{
    HeaderColor = r.header;
    HeaderColorTo = r.headerTo;
    d.SetSelectionColorStyle(r.selection);
    if (r.font)
        HeaderFontColor = *r.font;
    LineColor = r.line;
    FixedLineColor = r.fixedLine;
    if (r.selectionColor)
        d.SelectionColor = d.SelectionColorTo = *r.selectionColor;
    SelectionTextColor = r.selectionText;
}

void TListCompletion::Changed(TExtCustomDropDown& d, bool matchCase, int& itemIndex)
{
    m_itemChange = false;
    if (!WorkMode)
        return;
    d.SetIsModified(!d.GetText().isEmpty());
    const TCompletion c = CompleteText(d.GetText(), d.InputSelStart(), LookupItems, matchCase);
    if (c.matched) {
        itemIndex = m_itemIdx = c.index;
        m_itemSel = c.keyLength;
        d.SetText(c.text);
        // Set after the write, whose own change notice clears it: the key's release takes the
        // item's own letter case.
        m_itemChange = true;
        d.InputSetSel(d.GetText().length(), c.keyLength);
    } else if (c.cutBack) {
        d.SetText(c.text);
        d.InputSetCaret(d.GetText().length());
    }
}

bool TListCompletion::TakeRelease(int& index, int& selStart)
{
    if (!m_itemChange)
        return false;
    m_itemChange = false;
    index = m_itemIdx;
    selStart = m_itemSel;
    return true;
}

void TListCompletion::KeyPressed(quint16 key) { WorkMode = !(key == VK_BACK || key == VK_ESCAPE || key == VK_DELETE); }

int ItemsColumnWidth(const TDropDownColumn& column, int index, const TDropDownItems& items, const TImageList* images)
{
    Bitmap probe(1, 1);
    Canvas c(probe);
    c.font().font = column.Font;
    int widest = 0;
    for (int i = 0; i < items.Count(); ++i) {
        const QString text = items[i]->TextAt(index);
        int w = text.isEmpty() ? 0 : GetTextSize(c, text).width() + 6;
        if (column.ColumnType == ctImage && items[i]->ImageIndex >= 0 && images)
            w += images->Width() + 4;
        widest = std::max(widest, w);
    }
    return widest;
}

void AutoSizeItemColumns(TDropDownColumns& columns, const TDropDownItems& items, const TImageList* images, int index,
                         const std::function<void(int, int)>& setWidth)
{
    for (int i = index < 0 ? 0 : index; i < columns.Count() && (index < 0 || i == index); ++i) {
        if (!columns[i]->AutoSize)
            continue;
        columns[i]->Width = ItemsColumnWidth(*columns[i], i, items, images);
        setWidth(i, columns[i]->Width);
    }
}

bool HasWrappedColumn(const TDropDownColumns& columns)
{
    for (int i = 0; i < columns.Count(); ++i)
        if (columns[i]->Wordwrap)
            return true;
    return false;
}

int WrappedRowHeight(const TDropDownColumns& columns, const std::function<int(int)>& width,
                     const std::function<QString(int)>& text)
{
    Bitmap probe(1, 1);
    Canvas c(probe);
    int h = 24;
    for (int col = 0; col < columns.Count(); ++col) {
        if (!columns[col]->Wordwrap)
            continue;
        c.font().font = columns[col]->Font;
        Rect r{0, 0, width(col), 1000};
        c.drawText(text(col), r, DT_CALCRECT | DT_WORDBREAK);
        h = std::max(h, r.height() + 6);
    }
    return h;
}

int GridTotalWidth(const TStringGrid& grid, bool allRowsVisible)
{
    int w = 0;
    for (int i = 0; i < grid.colCount(); ++i)
        w += grid.colWidths(i);
    if (!allRowsVisible)
        w += grid.style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    return w;
}

void SizeGridColumnsTo(TStringGrid& grid, int count, int width, bool allRowsVisible)
{
    std::vector<int> widths;
    for (int i = 0; i < count && i < grid.colCount(); ++i)
        widths.push_back(grid.colWidths(i));
    if (!allRowsVisible)
        width -= grid.style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const std::vector<int> scaled = ScaleColumnWidths(widths, width);
    for (size_t i = 0; i < scaled.size(); ++i)
        grid.setColWidths(int(i), scaled[i]);
}

} // namespace controls::grid::dropdown
