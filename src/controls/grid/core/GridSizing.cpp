// Sizing columns and rows to their contents, fitting columns into the width, stretching one
// column to fill the client area, and the width and height change notifications.
#include "controls/grid/core/ExtStringGrid.h"

#include "controls/grid/html/HTMLUtil.h"
#include "controls/grid/util/ExtUtil.h"
#include "platform/core/Errors.h"
#include "platform/draw/Graphics.h"
#include "platform/text/Text.h"

#include <QFontMetrics>
#include <QStyle>
#include <algorithm>

namespace controls::grid {

namespace {
int nearest(double v) { return int(platform::roundHalfEven(v)); }
} // namespace

QSize TExtStringGrid::GetCellTextSize(int c, int r)
{
    QString text = Cells(RealColIndex(c), r);
    if (EnableHTML && GetTextKind(text, true) == 1)
        text = StripHTMLTags(text);
    if (text.isEmpty())
        return QSize(0, 0);
    const platform::Font f = r < fixedRows() || c < fixedCols() ? platform::Font{m_fixedFont, FontColor(), 0}
                                                               : GetCellFont(RealColIndex(c), r);
    const QFontMetrics fm(f.font);
    // Lines end at CR LF, CR or LF; each is measured where it lies in the text.
    int w = 0;
    int lines = 0;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] != u'\r' && text[i] != u'\n')
            continue;
        w = std::max(w, fm.horizontalAdvance(QString::fromRawData(text.constData() + start, i - start)));
        ++lines;
        if (i + 1 < text.size() && text[i] == u'\r' && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    return QSize(w, lines * fm.height());
}

bool TExtStringGrid::PlainColumnMeasure(int, int) { return false; }

int TExtStringGrid::PlainTextWidth(int, int, int, const QString&, TTextMeasureCache&) { return -1; }

QSize TExtStringGrid::GetCellGraphicSize(int c, int r)
{
    TCellGraphic* g = GetCellGraphic(RealColIndex(c), r);
    const TCellType t = g ? g->CellType : GetCellType(RealColIndex(c), r);
    switch (t) {
    case ctCheckBox:
    case ctDataCheckBox:
    case ctVirtCheckBox:
    case ctRowCheckBox:
    case ctTriStateCheckBox:
        return QSize(ControlLook.CheckSize() + 4, ControlLook.CheckSize());
    case ctRadioButton:
        return QSize(ControlLook.RadioSize() + 4, ControlLook.RadioSize());
    case ctBitmap:
    case ctBitButton:
        if (g && g->Bitmap)
            return QSize(g->Bitmap->width(), g->Bitmap->height());
        break;
    case ctPicture:
    case ctFilePicture: {
        QPoint size;
        g->GetPictureSize(colWidths(c), r < rowCount() ? rowHeights(r) : defaultRowHeight(), true, size);
        return QSize(size.x(), size.y());
    }
    case ctImageList:
    case ctDataImage:
        if (m_gridImages)
            return QSize(m_gridImages->Width(), m_gridImages->Height());
        break;
    case ctButton:
        if (g)
            return QSize(g->CellIndex & 0xFFFF, int(unsigned(g->CellIndex) >> 16));
        break;
    default:
        break;
    }
    return QSize(0, 0);
}

void TExtStringGrid::UpdateColSize(int c, int& width)
{
    if (OnUpdateColumnSize)
        OnUpdateColumnSize(this, c, width);
}

void TExtStringGrid::UpdateAutoColSize(int c, int& width)
{
    if (OnUpdateColumnSize)
        OnUpdateColumnSize(this, c, width);
}

void TExtStringGrid::DoAutoSizeCol(int c, bool growOnly)
{
    if (c < 0 || c >= colCount())
        return;
    const int real = RealColIndex(c);
    int first = 0, last = rowCount() - 1;
    if (ColumnSize.Rows == arNormal) {
        first = fixedRows();
        last = rowCount() - m_fixedFooters - 1;
    } else if (ColumnSize.Rows == arFixed) {
        last = fixedRows() - 1;
    }
    const int lw = GridLineWidth();
    // One cell measured the full way: graphic, text as painted, the extras of the cell.
    auto measure = [&](int r) {
        if (IsXMergedCell(real, r))
            return 0;
        int w = GetCellGraphicSize(c, r).width() + GetCellTextSize(c, r).width();
        if (ControlLook.DropDownAlwaysVisible() && HasComboBox(real, r))
            w += 16;
        if (r == SortSettings.Row && r < fixedRows() && SortSettings.Show && c == SortSettings.Column)
            w += 10;
        if (TCellGraphic* g = GetCellGraphic(real, r); g && g->CellHAlign == haFull)
            w = GetCellGraphicSize(c, r).width() - (2 * lw + XYOffset.x() + 2);
        return w;
    };
    int widest = 0;
    if (first <= last && !ControlLook.DropDownAlwaysVisible() && PlainColumnMeasure(c, real)) {
        // Only the rows the store holds can be wider than nothing; a cell without properties is
        // measured with its row class's metrics, the others (and the sort row) the full way.
        TTextMeasureCache cache;
        std::vector<int> full;
        cellStore().forEachRow(first, last + 1, [&](int r, const platform::GridRow& cells) {
            if (cells.object(real)) {
                full.push_back(r);
            } else if (const QString* text = cells.findText(real)) {
                const int w = PlainTextWidth(c, real, r, *text, cache);
                if (w < 0)
                    full.push_back(r);
                else
                    widest = std::max(widest, w);
            }
            return true;
        });
        if (SortSettings.Show && SortSettings.Row >= first && SortSettings.Row <= last)
            full.push_back(SortSettings.Row);
        for (int r : full)
            widest = std::max(widest, measure(r));
    } else {
        for (int r = first; r <= last; ++r)
            widest = std::max(widest, measure(r));
    }
    const int room = XYOffsetTopLeftOnly ? XYOffset.x() : 2 * XYOffset.x();
    int width = widest + room + 2 * lw + 2;
    if (growOnly && colWidths(c) >= width)
        return;
    UpdateAutoColSize(c, width);
    setColWidths(c, ClampToLimits(width, MinColWidth, MaxColWidth));
}

void TExtStringGrid::AutoSizeCol(int c, int padding)
{
    DoAutoSizeCol(c, SizeGrowOnly);
    if (padding != 0 && c >= 0 && c < colCount())
        setColWidths(c, ClampToLimits(colWidths(c) + padding, MinColWidth, MaxColWidth));
}

void TExtStringGrid::AutoSizeColumns(bool doFixedCols, int padding)
{
    const int first = doFixedCols ? 0 : fixedCols();
    const int last = doFixedCols ? colCount() - 1 : colCount() - m_fixedRightCols - 1;
    for (int c = first; c <= last; ++c) {
        AutoSizeCol(c, 0);
        if (padding != 0)
            setColWidths(c, ClampToLimits(colWidths(c) + padding, MinColWidth, MaxColWidth));
    }
}

void TExtStringGrid::AutoSizeRow(int r, int padding)
{
    if (r < 0 || r >= rowCount())
        return;
    const int lw = GridLineWidth();
    int highest = 0;
    for (int c = 0; c < colCount(); ++c) {
        const int real = RealColIndex(c);
        if (IsYMergedCell(real, r) || IsIgnoredColumn(real))
            continue;
        if (IsMergedNonBaseCell(real, r))
            continue;
        TCellGraphic* g = GetCellGraphic(real, r);
        const TCellType t = g ? g->CellType : GetCellType(real, r);
        if (t == ctCheckBox || t == ctDataCheckBox || t == ctVirtCheckBox || t == ctRadioButton) {
            highest = std::max(highest, defaultRowHeight());
            continue;
        }
        int th = GetCellTextSize(c, r).height();
        int gh = GetCellGraphicSize(c, r).height();
        if (g && g->CellVAlign == vaFull)
            gh = th == 0 ? defaultRowHeight() : 0;
        highest = std::max(highest, th + gh);
    }
    const int room = XYOffsetTopLeftOnly ? XYOffset.y() + 2 : 2 * XYOffset.y();
    const int h = highest + room + 2 * lw;
    if (SizeGrowOnly && rowHeights(r) >= h)
        return;
    setRowHeights(r, ClampToLimits(h, MinRowHeight, MaxRowHeight));
    if (padding != 0)
        setRowHeights(r, ClampToLimits(rowHeights(r) + padding, MinRowHeight, MaxRowHeight));
}

void TExtStringGrid::SetRowHeightForLines(int r, int lines, int padding)
{
    if (r < 0 || r >= rowCount())
        return;
    const int th = QFontMetrics(GetCellFont(RealColIndex(fixedCols()), r).font).height();
    setRowHeights(r, ClampToLimits(padding + std::max(1, lines) * (th + th / 8), MinRowHeight, MaxRowHeight));
}

void TExtStringGrid::AutoSizeRows(bool doFixedRows, int padding)
{
    if (rowCount() == 0)
        return;
    for (int r = doFixedRows ? 0 : fixedRows(); r < rowCount(); ++r) {
        if (m_wordWrapEx) {
            AutoSizeRow(r, 0);
            if (padding != 0)
                setRowHeights(r, ClampToLimits(rowHeights(r) + padding, MinRowHeight, MaxRowHeight));
        } else {
            int lines = 1;
            for (int c = 0; c < colCount(); ++c)
                lines = std::max(lines, LinesInCell(RealColIndex(c), r));
            SetRowHeightForLines(r, Multilinecells ? lines : 1, padding);
        }
    }
    UpdateScrollBarsAlways(true);
}

void TExtStringGrid::AutoSizeCells(bool doFixedCells, int paddingX, int paddingY)
{
    for (int c = doFixedCells ? 0 : fixedCols(); c < colCount(); ++c) {
        int w = SizeGrowOnly ? colWidths(c) : 0;
        for (int r = doFixedCells ? 0 : fixedRows(); r < rowCount(); ++r) {
            const QSize text = GetCellTextSize(c, r);
            const QSize graphic = GetCellGraphicSize(c, r);
            const int width = text.width() + graphic.width() + paddingX + XYOffset.x();
            const int height = text.height() + graphic.height() + paddingY + XYOffset.y();
            const int real = RealColIndex(c);
            if (!IsXMergedCell(real, r) && width > w) {
                const int clamped = ClampToLimits(width, MinColWidth, MaxColWidth);
                if (clamped > w) {
                    setColWidths(c, clamped);
                    w = clamped;
                }
            }
            if (!IsYMergedCell(real, r) && height > rowHeights(r)) {
                const int clamped = ClampToLimits(height, MinRowHeight, MaxRowHeight);
                if (clamped > rowHeights(r))
                    setRowHeights(r, clamped);
            }
        }
    }
}

void TExtStringGrid::AutoFitColumns(bool doFixedCells)
{
    const bool allRowsVisible = visibleRowCount() + fixedRows() >= rowCount();
    const int sbWidth = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const int sb = m_scrollBarAlways == saVert ||
                           (m_scrollBarsStyle != platform::TScrollStyle::ssNone && !allRowsVisible)
                       ? sbWidth
                       : 0;
    const int bd = borderStyle() == platform::TBorderStyle::bsSingle ? 2 * frameWidth() : 0;
    int first = 0, last = colCount() - 1;
    int w = width();
    if (!doFixedCells) {
        first = fixedCols();
        last = colCount() - m_fixedRightCols - 1;
        for (int c = 0; c < fixedCols(); ++c)
            w -= colWidths(c);
        for (int c = colCount() - m_fixedRightCols; c < colCount(); ++c)
            w -= colWidths(c);
    }
    int lines = 0;
    if (options().testFlag(platform::goVertLine))
        lines = GridLineWidth() * (colCount() - fixedCols() - m_fixedRightCols);
    if (options().testFlag(platform::goFixedVertLine) && doFixedCells)
        lines += fixedCols() + m_fixedRightCols;
    if (colCount() < 2) {
        setColWidths(0, width() - sb - 5);
        return;
    }
    if (last < first)
        return;
    long long sum = 0;
    for (int c = first; c <= last; ++c)
        sum += colWidths(c);
    if (sum == w - sb - bd)
        return;
    // Columns without any width give no proportion to keep: they stay as they are.
    if (sum <= 0)
        return;
    const double f = double(w - sb - bd - lines) / double(sum);
    long long target = 0;
    for (int c = first; c <= last; ++c)
        target += nearest(colWidths(c) * f);
    std::vector<int> widths;
    for (int c = first; c <= last; ++c)
        widths.push_back(std::max(0, nearest(double(colWidths(c)) * double(target) / double(sum))));
    for (int c = first; c <= last; ++c)
        setColWidths(c, widths[size_t(c - first)]);
    long long fitted = 0;
    for (int c = first; c <= last; ++c)
        fitted += colWidths(c);
    int rest = int(w - (fitted + sb + bd));
    const int n = last - first + 1;
    if (n < rest && n > 1) {
        for (int c = first; c <= last; ++c)
            setColWidths(c, colWidths(c) + rest / n);
        rest %= n;
    }
    int widest = first;
    for (int c = first; c <= last; ++c)
        if (colWidths(c) > colWidths(widest))
            widest = c;
    setColWidths(widest, std::max(0, colWidths(widest) + rest));
}

void TExtStringGrid::SizeToCols()
{
    int w = 0;
    for (int c = 0; c < colCount(); ++c)
        w += colWidths(c);
    resize(w + (width() - viewport()->width()), height());
}

void TExtStringGrid::SizeToRows()
{
    int h = 0;
    for (int r = 0; r < rowCount(); ++r)
        h += rowHeights(r);
    resize(width(), h + (height() - viewport()->height()));
}

void TExtStringGrid::SizeToCells()
{
    const platform::TScrollStyle keep = m_scrollBarsStyle;
    SetScrollBars(platform::TScrollStyle::ssNone);
    SizeToCols();
    SizeToRows();
    SetScrollBars(keep);
}

void TExtStringGrid::StretchColumn(int index)
{
    if (IsLoading() || Destroying())
        return;
    if (index >= colCount())
        throw platform::Exception(QStringLiteral("Stretch column index out of range"));
    if (colCount() == 0 || !ColumnSize.Stretch() || m_isColChanging)
        return;
    if (index < 0)
        index = colCount() - 1;
    m_isColChanging = true;
    const int client = clientWidth();
    if (colCount() == 1) {
        setColWidths(0, client);
    } else {
        int others = 0;
        for (int c = 0; c < colCount(); ++c)
            if (c != index)
                others += colWidths(c);
        if (client > others)
            setColWidths(index, client - others - 1);
        else if (leftCol() == fixedCols())
            setColWidths(index, defaultColWidth());
    }
    m_colChgFlg = true;
    m_isColChanging = false;
}

void TExtStringGrid::SetAutoSize(bool on)
{
    m_autoSize = on;
    if (on && !IsLoading())
        AutoSizeColumns(false, 10);
}

void TExtStringGrid::colWidthsChanged()
{
    if (m_colChgFlg && ColumnSize.Stretch() && !m_isColChanging && !IsLoading() && !Destroying())
        StretchColumn(ColumnSize.StretchColumn);
    TBaseGrid::colWidthsChanged();
}

void TExtStringGrid::rowHeightsChanged() { TBaseGrid::rowHeightsChanged(); }

} // namespace controls::grid
