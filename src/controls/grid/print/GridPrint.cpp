#include "controls/grid/print/GridPrint.h"

#include "controls/grid/html/HTMLUtil.h"
#include "controls/grid/util/ExtUtil.h"
#include "platform/core/DateTime.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPageSize>
#include <climits>
#include <cmath>

namespace controls::grid::print {

namespace {

constexpr int kUnknownCount = INT_MAX;

QColor qcolor(Color c)
{
    return platform::toQColor(c);
}

} // namespace

TGridPrinter::TGridPrinter(TExtStringGridPaint& grid) : m_grid(grid) {}

QFont TGridPrinter::mapped(const QFont& f, double scale) const
{
    QFont m = f;
    const int points = std::max(1, FontPointSize(f));
    m.setPixelSize(std::max(1, int(points * 254.0 / 72.0 * scale)));
    return m;
}

bool TGridPrinter::rowPrinted(int row, bool selectedOnly) const
{
    if (!selectedOnly)
        return true;
    const TPrintSettings& s = m_grid.PrintSettings;
    if (row < m_grid.FixedRows() && s.FixedCellsAlways)
        return true;
    if (m_grid.MouseActions.DisjunctRowSelect())
        return m_grid.RowSelect(row);
    const TGridRect sel = m_grid.Selection();
    return row >= sel.Top && row <= sel.Bottom;
}

bool TGridPrinter::colPrinted(int col, bool selectedOnly) const
{
    if (!selectedOnly || m_grid.MouseActions.DisjunctRowSelect())
        return true;
    if (col < m_grid.FixedCols() && m_grid.PrintSettings.FixedCellsAlways)
        return true;
    if (m_grid.MouseActions.DisjunctColSelect())
        return m_grid.ColSelect(col);
    const TGridRect sel = m_grid.Selection();
    return col >= sel.Left && col <= sel.Right;
}

QSize TGridPrinter::MeasureCell(int col, int row)
{
    const TPrintSettings& s = m_grid.PrintSettings;
    QString text;
    const TCellType type = m_grid.GetCellType(col, row);
    if (type != ctDataCheckBox && type != ctDataImage && type != ctVirtCheckBox && type != ctRowCheckBox)
        text = m_grid.GetFormattedCell(col, row);
    if (m_grid.EnableHTML && GetTextKind(text, true) == 1)
        text = StripHTMLTags(text);
    TCellFormat f;
    f.font = platform::Font{s.Font, platform::clBlack, 0};
    TGridDrawState state;
    m_grid.GetVisualProperties(m_grid.DisplColIndex(col), row, state, true, false, true, f);
    const QFontMetricsF fm(mapped(f.font.font, FontScaleFactor));
    if (text.isEmpty())
        text = QStringLiteral("gh");
    const QStringList lines = m_grid.Multilinecells ? text.split(QStringLiteral("\r\n")) : QStringList{text.section(u'\r', 0, 0)};
    double w = 0;
    for (const QString& l : lines)
        w = std::max(w, fm.horizontalAdvance(l));
    const int h = int(std::ceil(fm.height())) * int(lines.size());
    QSize size(int(std::ceil(w)), h);
    if (s.UseFixedWidth)
        size.setWidth(s.FixedWidth);
    return size;
}

int TGridPrinter::PrintRowHeight(int row)
{
    const TPrintSettings& s = m_grid.PrintSettings;
    if (s.NoAutoSizeRow)
        return int(std::lround(m_grid.rowHeights(row) * m_unit)) - 4;
    if (s.UseFixedHeight)
        return s.FixedHeight;
    if (row == m_cachedRow)
        return m_cachedHeight;
    int h = 0;
    for (int c = m_rect.Left; c <= m_rect.Right; ++c) {
        const int rc = m_grid.RealColIndex(c);
        if (m_grid.IsYMergedCell(rc, row))
            continue;
        h = std::max(h, MeasureCell(rc, row).height());
    }
    if (h <= 0)
        h = m_th;
    h += h / 8;
    if (OnPrintSetRowHeight)
        OnPrintSetRowHeight(row, h);
    m_cachedRow = row;
    m_cachedHeight = h;
    return h;
}

int TGridPrinter::DrawPrintedRow(int y, int firstCol, int lastCol, int row)
{
    const TPrintSettings& s = m_grid.PrintSettings;
    const int height = 2 * m_p + PrintRowHeight(row) + s.RowSpacing;
    if (!drawing() || !inRange(m_pageNr) || lastCol < firstCol)
        return height;
    QPainter& p = *m_painter;
    std::vector<int> cols;
    if (m_repeatCols && firstCol >= m_grid.FixedCols())
        for (int c = 0; c < m_grid.FixedCols(); ++c)
            cols.push_back(c);
    for (int c = firstCol; c <= lastCol; ++c)
        cols.push_back(c);
    for (int c : cols) {
        const int rc = m_grid.RealColIndex(c);
        if (!m_grid.IsBaseCell(rc, row))
            continue;
        const QPoint span = m_grid.CellSpan(rc, row);
        int width = 0;
        for (int k = 0; k <= std::max(0, span.x()) && c + k <= std::max(lastCol, c); ++k)
            width += m_grid.MaxWidths[size_t(c + k)] + m_spacing;
        int cellHeight = height;
        for (int k = 1; k <= span.y() && row + k < m_grid.RowCount(); ++k)
            cellHeight += 2 * m_p + PrintRowHeight(row + k) + s.RowSpacing;
        const QRect r(m_grid.Indents[size_t(c)], y, width, cellHeight);
        TCellFormat f;
        f.font = platform::Font{s.Font, platform::clBlack, 0};
        f.brush.color = platform::clWhite;
        TGridDrawState state;
        m_grid.GetVisualProperties(c, row, state, true, false, true, f);
        if (f.brush.color != platform::clNone && f.brush.style != platform::BrushStyle::Clear)
            p.fillRect(r, qcolor(f.brush.color));
        // Lines by the border setting.
        const TPrintBorders b = s.Borders;
        const bool all = b == pbSingle || b == pbDouble;
        const bool horz = all || b == pbHorizontal || b == pbAroundHorizontal;
        const bool vert = all || b == pbVertical || b == pbAroundVertical;
        p.setPen(QPen(qcolor(s.BorderColor), 2));
        if (horz) {
            p.drawLine(r.topLeft(), r.topRight());
            p.drawLine(r.bottomLeft(), r.bottomRight());
        }
        if (vert) {
            p.drawLine(r.topLeft(), r.bottomLeft());
            p.drawLine(r.topRight(), r.bottomRight());
        }
        QString text;
        const TCellType type = m_grid.GetCellType(rc, row);
        if (type != ctDataCheckBox && type != ctDataImage && type != ctVirtCheckBox && type != ctRowCheckBox)
            text = m_grid.GetFormattedCell(rc, row);
        if (m_grid.EnableHTML && GetTextKind(text, true) == 1)
            text = StripHTMLTags(text);
        const QFont font = mapped(f.font.font, FontScaleFactor);
        p.setFont(font);
        p.setPen(qcolor(f.font.color == platform::clNone ? platform::clBlack : f.font.color));
        const QFontMetricsF fm(font);
        const QStringList lines =
            m_grid.Multilinecells ? text.split(QStringLiteral("\r\n")) : QStringList{text.section(u'\r', 0, 0)};
        double ty = y + m_p;
        for (const QString& line : lines) {
            const double tw = fm.horizontalAdvance(line);
            double tx = r.left() + m_margin;
            if (f.alignment == platform::Alignment::taRightJustify)
                tx = r.right() - m_margin - tw;
            else if (f.alignment == platform::Alignment::taCenter)
                tx = r.left() + (r.width() - tw) / 2;
            p.drawText(QPointF(tx, ty + fm.ascent()), line);
            ty += fm.height() + s.RowSpacing;
        }
    }
    return height;
}

void TGridPrinter::headerFooter(int pageNr, int pageColNr, bool columnPages, int pageCount)
{
    const TPrintSettings& s = m_grid.PrintSettings;
    QString slots[7];
    auto add = [&](TPrintPosition pos, const QString& item) {
        if (pos == ppNone || item.isEmpty())
            return;
        QString& slot = slots[pos];
        slot = slot.isEmpty() ? item : (pos == ppTopLeft || pos == ppBottomLeft ? item + u' ' + slot : slot + u' ' + item);
    };
    const platform::TDateTime now = platform::Now();
    add(s.Time, platform::FormatDateTime(QStringLiteral("hh:nn"), now));
    add(s.Date, platform::FormatDateTime(s.DateFormat, now));
    QString number;
    if (columnPages)
        number = QStringLiteral("%1-%2").arg(pageNr).arg(pageColNr);
    else if (!s.PageNumSep.isEmpty() && pageCount > 1 && pageCount != kUnknownCount)
        number = QStringLiteral("%1%2%3").arg(m_pageNr + s.PageNumberOffset).arg(s.PageNumSep).arg(pageCount + s.MaxPagesOffset);
    else
        number = QString::number(m_pageNr + s.PageNumberOffset);
    if (OnPrintGetPageNum)
        OnPrintGetPageNum(m_pageNr, pageColNr, number);
    add(s.PageNr, (s.PagePrefix + u' ' + number + u' ' + s.PageSuffix).trimmed());
    QStringList titleLines;
    for (int i = 0; i < s.TitleLines.Count(); ++i)
        titleLines << s.TitleLines.Strings(i);
    add(s.Title, !s.TitleText.isEmpty() ? s.TitleText : titleLines.value(0));
    LastPageTexts.clear();
    for (int pos = ppTopLeft; pos <= ppBottomCenter; ++pos)
        if (!slots[pos].isEmpty())
            LastPageTexts << slots[pos];
    if (!drawing() || !inRange(m_pageNr))
        return;
    QPainter& p = *m_painter;
    p.setPen(Qt::black);
    for (int pos = ppTopLeft; pos <= ppBottomCenter; ++pos) {
        if (slots[pos].isEmpty())
            continue;
        const bool top = pos <= ppTopCenter;
        const QFont font = mapped(top ? s.HeaderFont : s.FooterFont, 1.0);
        p.setFont(font);
        const QFontMetricsF fm(font);
        const double tw = fm.horizontalAdvance(slots[pos]);
        double x = s.LeftSize;
        if (pos == ppTopRight || pos == ppBottomRight)
            x = m_pageWidth - tw - s.RightSize - 20;
        else if (pos == ppTopCenter || pos == ppBottomCenter)
            x = (m_pageWidth - tw) / 2;
        const double y = top ? s.HeaderSize : m_pageHeight - s.FooterSize - m_fh - m_p;
        p.drawText(QPointF(x, y + fm.ascent()), slots[pos]);
        // Title lines after the first, one text height further down each.
        if (pos == s.Title && s.TitleText.isEmpty())
            for (qsizetype i = 1; i < titleLines.size(); ++i)
                p.drawText(QPointF(x, y + fm.ascent() + i * fm.height()), titleLines[i]);
    }
}

void TGridPrinter::frame(int y1, int y2, int firstCol, int lastCol, bool repeatCols)
{
    if (!drawing() || !inRange(m_pageNr))
        return;
    const TPrintSettings& s = m_grid.PrintSettings;
    QPainter& p = *m_painter;
    const int x1 = repeatCols ? m_grid.Indents[0] : m_grid.Indents[size_t(firstCol)];
    const int x2 = m_grid.Indents[size_t(lastCol)] + m_grid.MaxWidths[size_t(lastCol)] + m_spacing;
    QPen pen(Qt::black, s.Borders == pbDouble ? 10 : 2);
    const Qt::PenStyle styles[] = {Qt::SolidLine, Qt::DashLine, Qt::DotLine, Qt::DashDotLine, Qt::DashDotDotLine,
                                   Qt::NoPen, Qt::SolidLine};
    pen.setStyle(styles[std::clamp(int(s.BorderStyle), 0, 6)]);
    p.setPen(pen);
    const TPrintBorders b = s.Borders;
    if (b == pbAround || b == pbAroundVertical || b == pbAroundHorizontal)
        p.drawRect(QRect(QPoint(x1, y1), QPoint(x2, y2)));
    if (b == pbDouble || b == pbHorizontal || b == pbAroundHorizontal)
        p.drawLine(x1, y2, x2, y2);
    if ((b == pbDouble || b == pbVertical || b == pbAroundVertical) && repeatCols)
        for (int c = 0; c < m_grid.FixedCols(); ++c)
            p.drawLine(m_grid.Indents[size_t(c)], y1, m_grid.Indents[size_t(c)], y2);
}

int TGridPrinter::run(platform::PrintSurface* surface, TPrintMode mode, QSizeF paper, bool selectedOnly)
{
    TPrintSettings& s = m_grid.PrintSettings;
    m_mode = mode;
    m_painter = surface && (mode == TPrintMode::Print || mode == TPrintMode::Preview) ? &surface->Painter() : nullptr;
    FontScaleFactor = 1.0;
    m_cachedRow = -1;
    const double gridDpi = m_grid.logicalDpiX() > 0 ? m_grid.logicalDpiX() : 96.0;
    m_unit = 254.0 / gridDpi;
    {
        const QFontMetricsF body(mapped(s.Font, 1.0));
        m_th = int(std::ceil(body.height()));
        m_p = m_th / 8;
        m_margin = int(body.horizontalAdvance(QStringLiteral("g"))) / 2;
        m_hh = int(std::ceil(QFontMetricsF(mapped(s.HeaderFont, 1.0)).height()));
        m_fh = int(std::ceil(QFontMetricsF(mapped(s.FooterFont, 1.0)).height()));
    }
    m_pageWidth = int(paper.width());
    m_pageHeight = int(paper.height());
    PrintPageRect = QRect(0, 0, m_pageWidth, m_pageHeight);
    m_spacing = s.UseFixedWidth ? 0 : s.ColumnSpacing + 20;

    const size_t n = size_t(std::max(m_grid.ColCount(), m_rect.Right + 1)) + 1;
    m_grid.MaxWidths.assign(std::max<size_t>(n, 512), 0);
    m_grid.Indents.assign(std::max<size_t>(n, 512), 0);
    auto measureColumns = [&]() {
        for (int c = m_rect.Left; c <= m_rect.Right; ++c) {
            if (!colPrinted(c, selectedOnly))
                continue;
            const int rc = m_grid.RealColIndex(c);
            int w = 0;
            if (s.NoAutoSize) {
                w = int(std::lround(m_grid.colWidths(c) * m_unit));
            } else {
                auto take = [&](int r) {
                    if (!m_grid.IsXMergedCell(rc, r))
                        w = std::max(w, MeasureCell(rc, r).width());
                };
                for (int r = m_rect.Top; r <= m_rect.Bottom; ++r)
                    if (rowPrinted(r, selectedOnly))
                        take(r);
                if (s.RepeatFixedRows)
                    for (int r = 0; r < m_grid.FixedRows(); ++r)
                        take(r);
            }
            m_grid.MaxWidths[size_t(c)] = w;
        }
        if (s.RepeatFixedCols)
            for (int c = 0; c < m_grid.FixedCols() && c < m_rect.Left; ++c) {
                int w = 0;
                for (int r = m_rect.Top; r <= m_rect.Bottom; ++r)
                    w = std::max(w, MeasureCell(m_grid.RealColIndex(c), r).width());
                m_grid.MaxWidths[size_t(c)] = w;
            }
    };
    measureColumns();
    double fit = 1.0;
    if (s.FitToPage != fpNever) {
        double total = 0, spacing = 0;
        for (int c = m_rect.Left; c <= m_rect.Right; ++c) {
            total += (colPrinted(c, selectedOnly) ? m_grid.MaxWidths[size_t(c)] : 0) + m_spacing;
            spacing += m_spacing;
        }
        if (total != spacing)
            fit = (m_pageWidth - s.RightSize - s.LeftSize - spacing) / (total - spacing);
        bool allow = true;
        if (s.FitToPage == fpShrink && fit > 1)
            fit = 1;
        if (s.FitToPage == fpGrow && fit < 1)
            fit = 1;
        if (s.FitToPage == fpCustom && OnFitToPage)
            OnFitToPage(fit, allow);
        if (!allow || fit <= 0)
            fit = 1;
        if (fit != 1) {
            for (size_t c = 0; c < m_grid.MaxWidths.size(); ++c)
                m_grid.MaxWidths[c] = int(m_grid.MaxWidths[c] * fit);
            FontScaleFactor = fit;
            m_cachedRow = -1;
        }
    }
    for (int c = m_rect.Left; c <= m_rect.Right; ++c)
        if (OnPrintSetColumnWidth)
            OnPrintSetColumnWidth(c, m_grid.MaxWidths[size_t(c)]);

    m_grid.ExportNotification(esExportStart, m_rect.Top);
    int first = m_rect.Left;
    m_pageNr = 1;
    int colPageNr = 0;
    bool cancelled = false;
    bool columnPages = false;
    // Whether there will be more than one column page is known from the first one.
    auto topHeight = [&]() {
        const bool top = (s.Time >= ppTopLeft && s.Time <= ppTopCenter) || (s.Date >= ppTopLeft && s.Date <= ppTopCenter)
                         || (s.PageNr >= ppTopLeft && s.PageNr <= ppTopCenter)
                         || (s.Title >= ppTopLeft && s.Title <= ppTopCenter);
        int e = top ? m_p + m_hh + s.HeaderSize : s.HeaderSize;
        if (top && s.TitleLines.Count() > 1 && s.Title >= ppTopLeft && s.Title <= ppTopCenter)
            e += (s.TitleLines.Count() - 1) * m_hh;
        return e;
    };
    auto bottomHeight = [&]() {
        const bool bottom = s.Time >= ppBottomLeft || s.Date >= ppBottomLeft || s.PageNr >= ppBottomLeft
                            || s.Title >= ppBottomLeft;
        int g = bottom ? 2 * (m_p + m_fh) + s.FooterSize : m_p + m_fh + s.FooterSize;
        if (bottom && s.TitleLines.Count() > 1 && s.Title >= ppBottomLeft)
            g += (s.TitleLines.Count() - 1) * m_fh;
        return g;
    };
    auto beginPage = [&](int nr) {
        m_pageNr = nr;
        if (drawing() && inRange(nr) && nr > PageFrom && m_mode == TPrintMode::Print)
            surface->NewPage();
        if (drawing() && inRange(nr) && m_mode == TPrintMode::Preview && nr > PageFrom)
            surface->NewPage();
        if (drawing() && inRange(nr) && OnPrintPage)
            OnPrintPage(m_painter, nr, m_pageWidth, m_pageHeight);
    };
    if (drawing() && inRange(1) && OnPrintPage)
        OnPrintPage(m_painter, 1, m_pageWidth, m_pageHeight);
    const int pageCount = FastPrint && (m_mode == TPrintMode::Print) ? kUnknownCount : PrintNrOfPages;
    while (first <= m_rect.Right && !cancelled) {
        ++colPageNr;
        m_repeatCols = m_grid.FixedCols() > 0 && s.RepeatFixedCols && (colPageNr > 1 || m_rect.Left > m_grid.FixedCols());
        int fixedWidth = 0;
        if (m_repeatCols)
            for (int c = 0; c < m_grid.FixedCols(); ++c)
                fixedWidth += m_grid.MaxWidths[size_t(c)] + m_spacing;
        int used = fixedWidth;
        int last = first - 1;
        for (int c = first; c <= m_rect.Right; ++c) {
            const int w = (colPrinted(c, selectedOnly) ? m_grid.MaxWidths[size_t(c)] : 0) + m_spacing;
            if (used + w > m_pageWidth - s.RightSize && last >= first)
                break;
            used += w;
            last = c;
        }
        if (last < m_rect.Right)
            columnPages = true;
        m_firstCol = first;
        m_lastCol = last;
        PrintPageWidth = used;
        PrintColStart = first;
        PrintColEnd = last;
        const int start = s.Centered ? 0 : s.LeftSize;
        int x = start;
        for (int c = 0; c < m_grid.FixedCols() && m_repeatCols; ++c) {
            m_grid.Indents[size_t(c)] = x;
            x += m_grid.MaxWidths[size_t(c)] + m_spacing;
        }
        x = start;
        for (int c = first; c <= last; ++c) {
            m_grid.Indents[size_t(c)] = x;
            if (colPrinted(c, selectedOnly))
                x += m_grid.MaxWidths[size_t(c)] + m_spacing;
        }
        m_grid.Indents[size_t(last) + 1] = x;
        const int shift = s.Centered && used < m_pageWidth ? (m_pageWidth - used) / 2 : 0;
        for (int c = 0; c < m_grid.FixedCols() && m_repeatCols; ++c)
            m_grid.Indents[size_t(c)] += shift;
        for (int c = first; c <= last + 1; ++c)
            m_grid.Indents[size_t(c)] += shift + fixedWidth;

        const int e = topHeight();
        const int g = bottomHeight();
        int rowPageNr = 0;
        int r = m_rect.Top;
        bool pageOpen = false;
        int y = 0;
        int rowsOnPage = 0;
        while (r <= m_rect.Bottom && !cancelled) {
            if (!rowPrinted(r, selectedOnly)) {
                ++r;
                continue;
            }
            m_grid.ExportNotification(m_rect.Top <= m_grid.FixedRows() ? esExportNewRow : esExportSelRow, r);
            if (!pageOpen) {
                pageOpen = true;
                ++rowPageNr;
                rowsOnPage = 0;
                y = e;
                headerFooter(rowPageNr, colPageNr, columnPages, pageCount);
                y += s.TitleSpacing;
                if (r != 0 && s.RepeatFixedRows && m_grid.FixedRows() > 0 && (rowPageNr > 1 || m_rect.Top >= m_grid.FixedRows()))
                    for (int fr = 0; fr < m_grid.FixedRows(); ++fr)
                        y += DrawPrintedRow(y, first, last, fr);
            }
            const int h = 2 * m_p + PrintRowHeight(r) + s.RowSpacing;
            // A row goes whole to the next page; a row taller than a page prints alone.
            if (y + h <= m_pageHeight - g || rowsOnPage == 0) {
                DrawPrintedRow(y, first, last, r);
                y += h;
                ++r;
                ++rowsOnPage;
            }
            int next = r;
            while (next <= m_rect.Bottom && !rowPrinted(next, selectedOnly))
                ++next;
            bool forced = false;
            if (OnPrintNewPage)
                OnPrintNewPage(r, forced);
            const bool fits = next > m_rect.Bottom || y + 2 * m_p + PrintRowHeight(next) + s.RowSpacing <= m_pageHeight - g;
            if ((!fits || forced) && next <= m_rect.Bottom) {
                frame(e + s.TitleSpacing, y + m_p / 2, first, last, m_repeatCols);
                if (OnPrintPageDone && drawing())
                    OnPrintPageDone(r, m_pageNr);
                if (OnPrintCancel && drawing())
                    OnPrintCancel(m_pageNr, cancelled);
                pageOpen = false;
                if (cancelled)
                    break;
                if (FastPrint && m_pageNr - 1 > PageFrom && !drawing()) {
                    cancelled = true;
                    break;
                }
                beginPage(m_pageNr + 1);
            }
        }
        if (pageOpen) {
            frame(e + s.TitleSpacing, y + m_p / 2, first, last, m_repeatCols);
            if (OnPrintPageDone && drawing())
                OnPrintPageDone(r, m_pageNr);
            if (OnPrintCancel && drawing() && !cancelled)
                OnPrintCancel(m_pageNr, cancelled);
        }
        first = last + 1;
        if (first <= m_rect.Right && !cancelled)
            beginPage(m_pageNr + 1);
    }
    FontScaleFactor = 1.0;
    m_grid.ExportNotification(esExportDone, -1);
    m_painter = nullptr;
    return m_pageNr;
}

int TGridPrinter::CountPages(QSizeF paper, const TGridRect& rect, bool selectedOnly)
{
    m_rect = rect;
    PageFrom = 1;
    PageTo = INT_MAX;
    return run(nullptr, TPrintMode::CountPrint, paper, selectedOnly);
}

int TGridPrinter::PrintRect(platform::PrintSurface& surface, const TGridRect& rect)
{
    m_rect = rect;
    const QSizeF paper = surface.PageSize();
    int pages = FastPrint ? kUnknownCount : CountPages(paper, rect);
    m_rect = rect;
    PageFrom = 1;
    PageTo = pages;
    PrintNrOfPages = pages;
    if (OnPrintStart) {
        OnPrintStart(pages, PageFrom, PageTo);
        if (PageFrom <= 0 || PageTo <= 0 || PageTo < PageFrom)
            return 0;
        PrintNrOfPages = PageTo;
    }
    return run(&surface, TPrintMode::Print, paper, false);
}

int TGridPrinter::Print(platform::PrintSurface& surface)
{
    return PrintRect(surface, TGridRect{0, 0, m_grid.ColCount() - 1, m_grid.RowCount() - 1});
}

int TGridPrinter::PrintSelection(platform::PrintSurface& surface)
{
    return PrintRect(surface, m_grid.Selection());
}

int TGridPrinter::PrintSelectedRows(platform::PrintSurface& surface)
{
    m_rect = TGridRect{0, 0, m_grid.ColCount() - 1, m_grid.RowCount() - 1};
    const QSizeF paper = surface.PageSize();
    const int pages = run(nullptr, TPrintMode::CountPrint, paper, true);
    PageFrom = 1;
    PageTo = pages;
    PrintNrOfPages = pages;
    return run(&surface, TPrintMode::Print, paper, true);
}

int TGridPrinter::PrintPreview(platform::PrintSurface& surface)
{
    m_rect = TGridRect{0, 0, m_grid.ColCount() - 1, m_grid.RowCount() - 1};
    const QSizeF paper = surface.PageSize();
    PageFrom = 1;
    PageTo = INT_MAX;
    PrintNrOfPages = FastPrint ? 1 : run(nullptr, TPrintMode::CountPreview, paper, false);
    int from = 1, to = PrintNrOfPages;
    if (OnPrintStart)
        OnPrintStart(PrintNrOfPages, from, to);
    if (from <= 0 || to <= 0 || to < from)
        return PrintNrOfPages;
    PageFrom = PreviewPage;
    PageTo = std::max(PreviewPage, PageTo == INT_MAX ? PrintNrOfPages : PageTo);
    PageTo = PrintNrOfPages;
    run(&surface, TPrintMode::Preview, paper, false);
    return PrintNrOfPages;
}

namespace {

platform::PaperOrientation orientationOf(const TPrintSettings& s)
{
    return s.Orientation == poLandscape ? platform::PaperOrientation::Landscape : platform::PaperOrientation::Portrait;
}

} // namespace

int TGridPrinter::PrintRectToPdf(const QString& fileName, const TGridRect& rect)
{
    int pages = 0;
    platform::printToPdf(fileName, m_grid.PrintSettings.JobName, orientationOf(m_grid.PrintSettings),
                         [&](platform::PrintSurface& surface) { pages = PrintRect(surface, rect); });
    return pages;
}

int TGridPrinter::PrintToPdf(const QString& fileName)
{
    return PrintRectToPdf(fileName, TGridRect{0, 0, m_grid.ColCount() - 1, m_grid.RowCount() - 1});
}

int TGridPrinter::ShowPreview(QWidget* parent, bool exec)
{
    return platform::printPreview(parent, m_grid.PrintSettings.JobName, orientationOf(m_grid.PrintSettings),
                                  [&](platform::PrintSurface& surface) { Print(surface); }, exec);
}

bool TGridPrinter::PrintWithDialog(QWidget* parent)
{
    return platform::printWithDialog(parent, m_grid.PrintSettings.JobName, orientationOf(m_grid.PrintSettings),
                                     [&](platform::PrintSurface& surface) { Print(surface); });
}

} // namespace controls::grid::print
