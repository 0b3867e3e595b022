#include "controls/grid/print/GridPrint.h"

#include "controls/grid/core/RichText.h"
#include "controls/grid/html/HTMLDraw.h"
#include "controls/grid/html/HTMLUtil.h"
#include "controls/grid/util/ExtDraw.h"
#include "controls/grid/util/ExtUtil.h"
#include "platform/core/DateTime.h"
#include "platform/draw/Frames.h"
#include "platform/draw/Graphics.h"

#include <QImage>
#include <QPainter>
#include <climits>
#include <cmath>
#include <numbers>

namespace controls::grid::print {

using platform::Bitmap;
using platform::Canvas;
using platform::Rect;

namespace {

constexpr int kUnknownCount = INT_MAX;

QColor qcolor(Color c)
{
    return platform::toQColor(c);
}

// Cells whose graphic shows the cell's text as a state print no text.
bool hidesText(TCellType t)
{
    return t == ctDataCheckBox || t == ctDataImage || t == ctVirtCheckBox || t == ctRowCheckBox;
}

bool isCheckKind(TCellType t)
{
    return t == ctCheckBox || t == ctDataCheckBox || t == ctVirtCheckBox || t == ctRowCheckBox || t == ctRadioButton
           || t == ctTriStateCheckBox;
}

bool atTop(TPrintPosition p)
{
    return p >= ppTopLeft && p <= ppTopCenter;
}

bool atBottom(TPrintPosition p)
{
    return p >= ppBottomLeft && p <= ppBottomCenter;
}

Qt::PenStyle qtPenStyle(TPenStyleKind s)
{
    switch (s) {
    case psDash:
        return Qt::DashLine;
    case psDot:
    case psAlternate:
        return Qt::DotLine;
    case psDashDot:
        return Qt::DashDotLine;
    case psDashDotDot:
        return Qt::DashDotDotLine;
    case psClear:
        return Qt::NoPen;
    default:
        return Qt::SolidLine;
    }
}

// A surface to measure on at the output's resolution (point sizes in its pixels).
QImage measureDevice(double dpi)
{
    QImage image(1, 1, QImage::Format_RGB32);
    const int dpm = int(std::lround(dpi / 0.0254));
    image.setDotsPerMeterX(dpm);
    image.setDotsPerMeterY(dpm);
    return image;
}

// The lines a plain cell text prints in: split at CR with multi-line cells, else its first line.
QStringList textLines(QString text, bool multiLine)
{
    if (!multiLine)
        return {ExtractFirstLine(text, false)};
    QStringList lines = text.split(u'\r');
    for (QString& l : lines)
        if (l.startsWith(u'\n'))
            l.remove(0, 1);
    return lines;
}

// A cell graphic's own size in screen pixels (a node glyph's is fixed on paper).
QSize graphicScreenSize(TExtStringGridPaint& grid, int col, int row)
{
    const TCellGraphicInfo info = grid.GetCellGraphicInfo(col, row);
    const QSize own(info.Width, info.Height);
    return own.isEmpty() ? grid.GetCellGraphicSize(col, row) : own;
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

void TGridPrinter::inDevice(const QRect& paper, const std::function<void(Canvas&, const Rect&)>& draw)
{
    QPainter& p = *m_painter;
    const QRect device = p.transform().mapRect(paper);
    p.save();
    p.resetTransform();
    {
        Canvas canvas(p);
        draw(canvas, Rect::fromQRect(device));
    }
    p.restore();
}

// --- measuring ---------------------------------------------------------------------------------

QSize TGridPrinter::MeasureCell(int col, int row)
{
    const TPrintSettings& s = m_grid.PrintSettings;
    const int displ = m_grid.DisplColIndex(col);
    const TCellType type = m_grid.GetCellType(col, row);
    QString text = hidesText(type) ? QString() : m_grid.GetFormattedCell(col, row);
    const int kind = GetTextKind(text, m_grid.EnableHTML);
    TCellFormat f;
    f.wordWrap = m_grid.WordWrap(); // as on screen: the grid's, then the cell's and the query's
    TGridDrawState state;
    m_grid.GetVisualProperties(displ, row, state, true, false, true, f);

    if (kind == 1) {
        // Laid out by the HTML renderer in the output's pixels, in a box as wide as the column
        // on paper with NoAutoSize, else without a limit.
        QImage device = measureDevice(m_deviceDpi);
        Canvas canvas(&device);
        canvas.font() = f.font;
        canvas.font().font.setPointSize(std::max(1, int(std::lround(FontPointSize(f.font.font) * FontScaleFactor))));
        const int width =
            s.NoAutoSize ? int(std::lround((m_grid.colWidths(displ) + 12) * resFactor())) : 65535;
        THTMLDrawParams params;
        params.Images = m_grid.GetGridImageList();
        params.Printing = true;
        params.ResFactor = resFactor();
        params.CalcOnly = true;
        params.WordWrap = f.wordWrap;
        params.Container = m_grid.PictureContainer;
        params.ImageCache = &m_grid.ImageCache();
        THTMLDrawResult result;
        HTMLDrawText(canvas, text, Rect{0, 0, width, 65535}, params, result);
        const double toPaper = 254.0 / m_deviceDpi;
        const int h = int(std::lround(result.TextHeight * toPaper)) - int(std::lround(m_p * m_unit));
        return QSize(int(std::lround(result.TextWidth * toPaper)), std::max(0, h));
    }

    if (kind == 2)
        text = RichTextToPlain(text);
    else if (kind == 3)
        m_grid.GetCellDisplayValue(col, row, text);
    if (m_grid.URLShow() && !m_grid.URLFull() && IsURL(text))
        StripURLProtocol(text);
    int angle = 0;
    const bool rotated = m_grid.IsRotated(col, row, angle);
    QImage surface(1, 1, QImage::Format_RGB32);
    Canvas canvas(&surface);
    canvas.font() = f.font;
    canvas.font().font = mapped(f.font.font, FontScaleFactor);
    int gw = 0, gh = 0;
    if (s.PrintGraphics && type != ctRotated) {
        const QSize g = type == ctNode ? QSize(20, 20) / m_unit : graphicScreenSize(m_grid, col, row);
        gw = int(std::lround(g.width() * m_unit));
        gh = int(std::lround(g.height() * m_unit));
    }
    if (text.isEmpty())
        text = QStringLiteral("gh");
    QSize size;
    if (!f.wordWrap || !s.NoAutoSize || rotated) {
        const QStringList lines = textLines(text, m_grid.Multilinecells);
        int w = 0;
        for (const QString& l : lines)
            w = std::max(w, canvas.textWidth(l));
        const int h = canvas.textHeight(QStringLiteral("gh")) * int(lines.size());
        if (rotated) {
            const double a = angle * std::numbers::pi / 180.0;
            size = QSize(int(std::lround(std::abs(w * std::cos(a)) + std::abs(h * std::sin(a)))),
                         int(std::lround(std::abs(w * std::sin(a)) + std::abs(h * std::cos(a)))));
        } else {
            size = QSize(w + gw, h);
        }
    } else {
        const int width = m_grid.IsXMergedCell(col, row) ? 65535 : m_grid.MaxWidths[size_t(displ)];
        Rect box{0, 0, width, 0};
        canvas.drawText(text, box, platform::DT_CALCRECT | platform::DT_WORDBREAK | platform::DT_EDITCONTROL
                                       | platform::DT_NOPREFIX);
        size = QSize(width, box.height());
    }
    size = size.expandedTo(QSize(gw, gh));
    if (OnCustomCellSize)
        OnCustomCellSize(canvas, col, row, size, true);
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
        if (!colPrinted(c, m_selectedOnly))
            continue;
        const int rc = m_grid.RealColIndex(c);
        if (m_grid.IsYMergedCell(rc, row))
            continue;
        m_lastMeasured = MeasureCell(rc, row).height();
        h = std::max(h, m_lastMeasured);
    }
    if (h <= 0)
        h = m_lastMeasured > 0 ? m_lastMeasured : m_th;
    h += h / 8;
    if (OnPrintSetRowHeight)
        OnPrintSetRowHeight(row, h);
    m_cachedRow = row;
    m_cachedHeight = h;
    return h;
}

// --- drawing a row -----------------------------------------------------------------------------

void TGridPrinter::drawGraphic(Canvas& canvas, int col, int row, const TCellFormat& f, QRect r, QRect& text)
{
    TCellGraphic* g = m_grid.GetCellGraphic(col, row);
    if (!g)
        return;
    const TCellType type = m_grid.GetCellType(col, row);
    if (type == ctNone || type == ctEmpty || type == ctRotated)
        return;
    auto* drawn = dynamic_cast<ICellGraphic*>(g->Object);
    const int inset = int(std::lround(2 * m_unit));
    // A progress bar fills its cell; a node glyph is a square of 2 mm.
    QSize screen = graphicScreenSize(m_grid, col, row);
    if (type == ctProgress)
        screen = QSize(int(r.width() / m_unit), int(r.height() / m_unit));
    else if (type == ctNode)
        screen = QSize(int(std::lround(20 / m_unit)), int(std::lround(20 / m_unit)));
    if (screen.isEmpty())
        return;
    int gw = type == ctNode ? 20 : int(std::lround(screen.width() * m_unit));
    int gh = type == ctNode ? 20 : int(std::lround(screen.height() * m_unit));
    TCellHAlign ha = type == ctProgress ? haFull : g->CellHAlign;
    // Check boxes and radio buttons without text follow the cell's alignment.
    if (isCheckKind(type) && (hidesText(type) || m_grid.Cells(col, row).isEmpty())) {
        if (f.alignment == platform::Alignment::taRightJustify)
            ha = haRight;
        else if (f.alignment == platform::Alignment::taCenter)
            ha = haCenter;
    }
    int x = r.left() + inset;
    switch (ha) {
    case haLeft:
    case haBeforeText:
        text.setLeft(x + gw + inset);
        break;
    case haRight:
    case haAfterText:
        x = r.right() + 1 - gw - inset;
        text.setRight(x - 1);
        break;
    case haCenter:
        x = r.left() + (r.width() - gw) / 2;
        break;
    case haFull:
        x = r.left();
        gw = r.width();
        break;
    }
    int y = r.top() + inset;
    switch (type == ctProgress ? vaFull : g->CellVAlign) {
    case vaTop:
        break;
    case vaBottom:
        y = r.bottom() + 1 - gh - inset;
        break;
    case vaCenter:
        y = r.top() + (r.height() - gh) / 2;
        break;
    case vaUnderText:
        y = r.bottom() + 1 - gh - inset;
        text.setBottom(y - 1);
        break;
    case vaAboveText:
        text.setTop(y + gh);
        break;
    case vaFull:
        y = r.top();
        gh = r.height();
        break;
    }
    const Rect gr{x, y, x + gw, y + gh};
    const Color back = f.brush.color == platform::clNone ? platform::clWhite : f.brush.color;
    // A graphic drawn at its screen size on a bitmap in the cell's colour, then stretched.
    auto viaBitmap = [&](int w, int h, const Rect& to, const std::function<void(Canvas&, Rect)>& draw) {
        if (w <= 0 || h <= 0)
            return;
        Bitmap b(w, h, back);
        {
            Canvas bc(b);
            draw(bc, Rect{0, 0, w, h});
        }
        canvas.stretchDraw(to, b);
    };
    const platform::TImageList* list = m_grid.GetGridImageList();
    switch (type) {
    case ctBitmap:
        if (g->Bitmap) {
            Bitmap b = *g->Bitmap;
            b.setTransparent(g->CellTransparent);
            canvas.stretchDraw(gr, b);
        }
        break;
    case ctIcon:
        if (g->Icon)
            canvas.stretchDraw(gr, g->Icon->bitmap());
        break;
    case ctImageList:
    case ctDataImage:
        if (list) {
            const int index = type == ctDataImage ? m_grid.Ints(col, row) + g->CellIndex : g->CellIndex;
            if (index >= 0 && index < list->Count())
                viaBitmap(list->Width(), list->Height(), gr, [&](Canvas& bc, Rect) { list->Draw(bc, 0, 0, index, true); });
        }
        break;
    case ctImages:
        if (list && g->IntList()) {
            const TIntList* indexes = g->IntList();
            const int iw = int(std::lround(list->Width() * m_unit)), ih = int(std::lround(list->Height() * m_unit));
            int ix = gr.left, iy = gr.top;
            for (int i = 0; i < indexes->Count(); ++i) {
                const int index = indexes->GetInteger(i);
                viaBitmap(list->Width(), list->Height(), Rect{ix, iy, ix + iw, iy + ih},
                          [&](Canvas& bc, Rect) { list->Draw(bc, 0, 0, index, true); });
                if (g->CellBoolean)
                    ix += iw;
                else
                    iy += ih;
            }
        }
        break;
    case ctCheckBox:
    case ctDataCheckBox:
    case ctVirtCheckBox:
    case ctRowCheckBox:
    case ctTriStateCheckBox:
    case ctRadioButton: {
        bool checked = false;
        if (type == ctTriStateCheckBox) {
            TCheckBoxState st = cbUnchecked;
            m_grid.GetCheckBoxState(col, row, st);
            checked = st == cbChecked;
        } else if (type == ctRadioButton) {
            checked = g->CellBoolean;
        } else {
            m_grid.GetCheckBoxState(col, row, checked);
        }
        unsigned state = type == ctRadioButton ? platform::DFCS_BUTTONRADIO : platform::DFCS_BUTTONCHECK;
        if (checked)
            state |= platform::DFCS_CHECKED;
        if (m_grid.ControlLook.ControlStyle() == csFlat)
            state |= platform::DFCS_FLAT;
        viaBitmap(screen.width(), screen.height(), gr,
                  [&](Canvas& bc, Rect br) { platform::DrawFrameControl(bc, br, platform::DFC_BUTTON, state); });
        break;
    }
    case ctNode: {
        // A square of 2 mm in the node colour, with a minus sign (open) or a plus sign (closed).
        const Rect sq{gr.left, gr.top + (gh - 20) / 2, gr.left + 20, gr.top + (gh - 20) / 2 + 20};
        canvas.pen() = platform::Pen{m_grid.CellNode.NodeColor, 2, platform::PenStyle::Solid};
        canvas.brush() = platform::Brush{m_grid.CellNode.Color, platform::BrushStyle::Solid};
        canvas.rectangle(sq);
        const int mx = sq.left + 10, my = sq.top + 10;
        canvas.moveTo(sq.left + 4, my);
        canvas.lineTo(sq.right - 4, my);
        if (g->CellBoolean) {
            canvas.moveTo(mx, sq.top + 4);
            canvas.lineTo(mx, sq.bottom - 4);
        }
        break;
    }
    case ctRadio: {
        bool enabled = true;
        m_grid.CheckCanEdit(col, row, enabled);
        const platform::TStringList* items = g->Strings();
        const int count = m_grid.GetRadioStrings(col, row) ? m_grid.GetRadioStrings(col, row)->Count() : 0;
        viaBitmap(screen.width(), screen.height(), gr, [&](Canvas& bc, Rect br) {
            m_grid.DrawRadioGroup(bc, br, false, 1.0, m_grid.ControlLook.ControlStyle(), row, col, false, items, !enabled,
                                  g->CellBoolean, g->CellIndex, count);
        });
        break;
    }
    case ctPicture:
        if (g->Picture)
            viaBitmap(screen.width(), screen.height(), gr, [&](Canvas& bc, Rect br) { g->Picture->stretchDraw(bc, br); });
        break;
    case ctFilePicture:
        if (g->FilePicture)
            viaBitmap(screen.width(), screen.height(), gr,
                      [&](Canvas& bc, Rect br) { g->FilePicture->DrawPicture(bc, br); });
        break;
    case ctProgress: {
        // The bar reaches the cell's right edge, a little inside the graphic's height.
        const Rect bar{gr.left, gr.top + inset, r.right() + 1, std::max(gr.top + inset + 1, gr.bottom - 2 * inset)};
        const int w = int(std::lround(bar.width() / m_unit)), h = int(std::lround(bar.height() / m_unit));
        const Color fore = g->ColorBitmap, backColor = g->ColorIcon;
        const Color foreText = g->CellBoolean ? Color(g->CellIndex) : (~platform::colorToRgb(fore) & 0xFFFFFF);
        const Color backText = g->CellBoolean ? Color(g->CellAngle) : (~platform::colorToRgb(backColor) & 0xFFFFFF);
        viaBitmap(w, h, bar, [&](Canvas& bc, Rect br) {
            DrawProgressBar(bc, br, fore, foreText, backColor, backText, m_grid.Floats(col, row),
                            m_grid.ControlLook.ProgressMarginX(), m_grid.ControlLook.ProgressMarginY(), g->CellErrFrom,
                            g->CellErrLen, g->CellText, m_grid.ControlLook.ProgressBorderColor, true);
        });
        break;
    }
    case ctProgressPie:
        viaBitmap(screen.width(), screen.height(), gr,
                  [&](Canvas& bc, Rect br) { DrawProgressPie(bc, br, g->ColorBitmap, g->CellAngle, true); });
        break;
    case ctInterface:
        if (drawn)
            viaBitmap(screen.width(), screen.height(), gr,
                      [&](Canvas& bc, Rect br) { drawn->Draw(bc, br, col, row, false, &m_grid); });
        break;
    default:
        break;
    }
}

int TGridPrinter::DrawPrintedRow(int y, int firstCol, int lastCol, int row)
{
    const TPrintSettings& s = m_grid.PrintSettings;
    const int height = 2 * m_p + PrintRowHeight(row) + s.RowSpacing;
    if (!drawing() || !inRange(m_pageNr) || lastCol < firstCol)
        return height;
    Canvas canvas(*m_painter);
    std::vector<int> cols;
    if (m_repeatCols && firstCol >= m_grid.FixedCols())
        for (int c = 0; c < m_grid.FixedCols(); ++c)
            cols.push_back(c);
    for (int c = firstCol; c <= lastCol; ++c)
        cols.push_back(c);
    const int pageRight = m_grid.Indents[size_t(lastCol) + 1];
    for (int c : cols) {
        if (!colPrinted(c, m_selectedOnly))
            continue;
        const int rc = m_grid.RealColIndex(c);
        // The base cell of a merged range draws the whole range, its lines around it.
        if (!m_grid.IsBaseCell(rc, row))
            continue;
        const QPoint span = m_grid.CellSpan(rc, row);
        int width = 0;
        for (int k = 0; k <= std::max(0, span.x()) && c + k <= std::max(lastCol, c); ++k)
            width += m_grid.MaxWidths[size_t(c + k)] + m_spacing;
        int cellHeight = height;
        for (int k = 1; k <= span.y() && row + k < m_grid.RowCount(); ++k)
            cellHeight += 2 * m_p + PrintRowHeight(row + k) + s.RowSpacing;

        // Lines by the border setting, then the cell's own answer.
        const TPrintBorders b = s.Borders;
        TCellBorders borders = 0;
        if (b == pbSingle || b == pbDouble)
            borders = cbTop | cbLeft | cbRight | cbBottom;
        else if (b == pbHorizontal || b == pbAroundHorizontal)
            borders = cbTop | cbBottom;
        else if (b == pbVertical || b == pbAroundVertical)
            borders = cbLeft | cbRight;
        platform::Pen pen{s.BorderColor, 1, platform::PenStyle::Solid};
        m_grid.GetCellPrintBorder(rc, row, pen, borders);
        const int penWidth = m_mode == TPrintMode::Preview ? pen.width : std::max(1, int(std::lround(pen.width * m_unit)));

        int left = m_grid.Indents[size_t(c)];
        int right = left + width;
        int bottom = y + cellHeight;
        bool bottomLine = borders & cbBottom;
        // A range reaching below the page is cut to its row, without its bottom line.
        if (bottom > m_pageHeight - s.FooterSize && cellHeight > height) {
            bottom = y + height;
            bottomLine = false;
        }
        if (right > m_pageWidth)
            right = pageRight;
        const QRect cell(QPoint(left, y), QPoint(right - 1, bottom - 1));

        // The look in print mode.
        TCellFormat f;
        f.font = platform::Font{s.Font, platform::clBlack, 0};
        f.brush.color = platform::clWhite;
        f.wordWrap = m_grid.WordWrap();
        TGridDrawState state;
        m_grid.GetVisualProperties(c, row, state, true, false, true, f);
        Rect back = Rect::fromQRect(cell);
        if (!(borders & cbLeft))
            back.left += 2 * penWidth;
        if (!(borders & cbTop))
            back.top += 2 * penWidth;
        if (f.brush.color != platform::clNone && f.brush.style != platform::BrushStyle::Clear) {
            if (f.colorTo != platform::clNone)
                DrawGradientSteps(canvas, f.colorTo, f.brush.color, false, back, std::min(64, std::max(1, back.height())));
            else
                FillRectColor(canvas, back, f.brush.color);
        }

        const TCellType type = m_grid.GetCellType(rc, row);
        QString text = hidesText(type) ? QString() : m_grid.GetFormattedCell(rc, row);
        const int kind = GetTextKind(text, m_grid.EnableHTML);
        const platform::Font look = f.font;
        canvas.font() = look;
        canvas.font().font = mapped(look.font, FontScaleFactor);
        if (canvas.font().color == platform::clNone)
            canvas.font().color = platform::clBlack;
        QRect textRect = cell;
        if (s.PrintGraphics)
            drawGraphic(canvas, rc, row, f, cell, textRect);
        const int f2 = int(std::lround(2 * m_unit));
        const bool merged = span.x() > 0 || span.y() > 0;
        if (kind == 1 || kind == 2) {
            // HTML and RTF in the output's pixels, with the look's font at its size on paper.
            QRect area = textRect;
            if (kind == 1) {
                area.setRight(area.right() - m_margin - f2);
                area.setBottom(area.bottom() - int(std::lround(m_p * m_unit)));
            }
            inDevice(area, [&](Canvas& dc, const Rect& dr) {
                dc.font() = canvas.font();
                dc.font().font = look.font;
                dc.font().font.setPointSize(std::max(1, int(std::lround(FontPointSize(look.font) * FontScaleFactor))));
                dc.setBkMode(platform::BkMode::Transparent);
                if (kind == 2) {
                    m_grid.DrawRichCell(rc, row, dr, dc);
                    return;
                }
                THTMLDrawParams params;
                params.Images = m_grid.GetGridImageList();
                params.Printing = true;
                params.ResFactor = resFactor();
                params.WordWrap = f.wordWrap;
                params.Window = &m_grid;
                params.Container = m_grid.PictureContainer;
                params.ImageCache = &m_grid.ImageCache();
                THTMLDrawResult result;
                HTMLDrawText(dc, text, dr, params, result);
            });
        } else {
            if (kind == 3)
                m_grid.GetCellDisplayValue(rc, row, text);
            canvas.setBkMode(platform::BkMode::Transparent);
            int angle = 0;
            const bool rotated = m_grid.IsRotated(rc, row, angle);
            const bool wrapped = f.wordWrap && s.NoAutoSize && !rotated;
            const platform::Alignment al = f.alignment;
            unsigned align = al == platform::Alignment::taRightJustify ? platform::DT_RIGHT
                             : al == platform::Alignment::taCenter     ? platform::DT_CENTER
                                                                       : platform::DT_LEFT;
            const QStringList lines = textLines(text, m_grid.Multilinecells);
            if (wrapped) {
                Rect tr = Rect::fromQRect(textRect);
                tr.left += f2;
                tr.top += m_p;
                if (al != platform::Alignment::taRightJustify)
                    tr.left += m_margin;
                if (al != platform::Alignment::taLeftJustify)
                    tr.right -= m_margin;
                canvas.drawText(text, tr,
                                platform::DT_WORDBREAK | platform::DT_EDITCONTROL | platform::DT_EXPANDTABS
                                    | platform::DT_NOPREFIX | align);
            } else if (lines.size() <= 1 || rotated) {
                QString line = lines.value(0);
                if (m_grid.URLShow() && !m_grid.URLFull() && IsURL(line))
                    StripURLProtocol(line);
                if (rotated) {
                    // Turned as on screen, placed inside the cell grown by the margin.
                    Rect tr = Rect::fromQRect(textRect).inflated(0, m_margin);
                    const platform::Font keep = canvas.font();
                    canvas.font().orientation = angle * 10;
                    m_grid.DrawRotatedText(canvas, tr, angle, f.vAlignment, al, line);
                    canvas.saveState();
                    canvas.intersectClipRect(Rect::fromQRect(textRect));
                    canvas.textOut(tr.left, tr.top, line);
                    canvas.restoreState();
                    canvas.font() = keep;
                } else if (m_grid.EnhTextSize && s.NoAutoSize) {
                    Rect tr = Rect::fromQRect(textRect);
                    tr.left += int(std::lround(m_grid.XYOffset.x() * m_unit));
                    tr.top += int(std::lround(m_grid.XYOffset.y() * m_unit));
                    canvas.drawText(line, tr,
                                    platform::DT_SINGLELINE | platform::DT_END_ELLIPSIS | platform::DT_NOPREFIX | align);
                } else {
                    Rect tr = Rect::fromQRect(textRect);
                    if (al != platform::Alignment::taRightJustify)
                        tr.left += m_margin;
                    if (al != platform::Alignment::taLeftJustify)
                        tr.right -= m_margin;
                    tr.top += m_p;
                    unsigned v = f.vAlignment == vtaCenter ? platform::DT_VCENTER
                                 : f.vAlignment == vtaBottom ? platform::DT_BOTTOM
                                                             : platform::DT_TOP;
                    canvas.drawText(line, tr, platform::DT_SINGLELINE | platform::DT_NOPREFIX | align | v);
                }
            } else {
                // Several lines, each at its own place, one line step apart.
                const int lineStep = (m_th + s.RowSpacing) + (m_th + s.RowSpacing) / 8 - s.RowSpacing;
                int ty = textRect.top() + m_p;
                const int free = textRect.height() - 2 * m_p - lineStep * int(lines.size());
                if (!merged && free > 0) {
                    if (f.vAlignment == vtaCenter)
                        ty += free / 2;
                    else if (f.vAlignment == vtaBottom)
                        ty += free;
                }
                for (const QString& line : lines) {
                    const int tw = canvas.textWidth(line);
                    int tx = textRect.left() + m_margin;
                    if (al == platform::Alignment::taRightJustify)
                        tx = textRect.right() + 1 - m_margin - tw;
                    else if (al == platform::Alignment::taCenter)
                        tx = textRect.left() + (textRect.width() - tw) / 2;
                    Rect lr{tx, ty, tx + tw, ty + canvas.textHeight(line)};
                    canvas.drawText(line, lr, platform::DT_SINGLELINE | platform::DT_NOPREFIX | platform::DT_NOCLIP);
                    ty += lineStep;
                }
            }
        }
        if (m_grid.OnCustomCellDraw) {
            inDevice(cell, [&](Canvas& dc, const Rect& dr) {
                dc.font() = platform::Font{s.Font, platform::clBlack, 0};
                m_grid.OnCustomCellDraw(&m_grid, dc, rc, row, state, dr, true);
            });
        }

        // The lines; the left one of a later column one pen width further left.
        m_painter->setPen(QPen(qcolor(pen.color), penWidth, pen.style == platform::PenStyle::Dot ? Qt::DotLine
                                                                : pen.style == platform::PenStyle::Clear ? Qt::NoPen
                                                                                                          : Qt::SolidLine));
        if (borders & cbLeft) {
            const int x = left - (c > firstCol ? penWidth : 0);
            m_painter->drawLine(x, y, x, bottom);
        }
        if (borders & cbRight)
            m_painter->drawLine(right, y, right, bottom);
        if (borders & cbTop)
            m_painter->drawLine(left, y, right, y);
        if (bottomLine)
            m_painter->drawLine(left, bottom, right, bottom);
    }
    return height;
}

// --- page header, footer and frame ---------------------------------------------------------------

QString TGridPrinter::htmlTitle() const
{
    const TPrintSettings& s = m_grid.PrintSettings;
    if (!s.TitleText.isEmpty() || s.TitleLines.Count() == 0)
        return QString();
    QStringList lines;
    for (int i = 0; i < s.TitleLines.Count(); ++i)
        lines << s.TitleLines.Strings(i);
    const QString joined = lines.join(QStringLiteral("\r\n"));
    return GetTextKind(joined, true) == 1 ? joined : QString();
}

int TGridPrinter::htmlTitleHeight(int pageWidth)
{
    const QString title = htmlTitle();
    if (title.isEmpty())
        return 0;
    const TPrintSettings& s = m_grid.PrintSettings;
    QImage device = measureDevice(m_deviceDpi);
    Canvas canvas(&device);
    canvas.font() = platform::Font{atTop(s.Title) ? s.HeaderFont : s.FooterFont, platform::clBlack, 0};
    THTMLDrawParams params;
    params.Images = m_grid.GetGridImageList();
    params.Printing = true;
    params.ResFactor = resFactor();
    params.CalcOnly = true;
    params.WordWrap = true;
    THTMLDrawResult result;
    const int width = int(std::lround((pageWidth - s.LeftSize) * m_deviceDpi / 254.0));
    HTMLDrawText(canvas, title, Rect{0, 0, std::max(1, width), 65535}, params, result);
    return int(std::lround(result.TextHeight * 254.0 / m_deviceDpi));
}

void TGridPrinter::headerFooter(int rowPageNr, int colPageNr, bool columnPages, int pageCount)
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
        number = QStringLiteral("%1-%2").arg(rowPageNr).arg(colPageNr);
    else if (!s.PageNumSep.isEmpty() && pageCount > 1 && pageCount != kUnknownCount)
        number = QStringLiteral("%1%2%3").arg(m_pageNr + s.PageNumberOffset).arg(s.PageNumSep).arg(pageCount + s.MaxPagesOffset);
    else
        number = QString::number(m_pageNr + s.PageNumberOffset);
    if (OnPrintGetPageNum)
        OnPrintGetPageNum(m_pageNr, colPageNr, number);
    add(s.PageNr, (s.PagePrefix + u' ' + number + u' ' + s.PageSuffix).trimmed());
    const QString html = htmlTitle();
    QStringList titleLines;
    if (html.isEmpty())
        for (int i = 0; i < s.TitleLines.Count(); ++i)
            titleLines << s.TitleLines.Strings(i);
    add(s.Title, !s.TitleText.isEmpty() ? s.TitleText : titleLines.value(0));
    LastPageTexts.clear();
    for (int pos = ppTopLeft; pos <= ppBottomCenter; ++pos)
        if (!slots[pos].isEmpty())
            LastPageTexts << slots[pos];
    if (!html.isEmpty() && s.Title != ppNone)
        LastPageTexts << StripHTMLTags(html);
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
    // The HTML title: formatted by the HTML renderer from the left margin to the page's right
    // edge, below the header's top or above the footer.
    if (!html.isEmpty() && s.Title != ppNone) {
        const int h = htmlTitleHeight(m_pageWidth);
        const bool top = atTop(s.Title);
        const QRect area = top ? QRect(s.LeftSize, s.HeaderSize, m_pageWidth - s.LeftSize, h)
                               : QRect(s.LeftSize, m_pageHeight - s.FooterSize - h, m_pageWidth - s.LeftSize, h);
        inDevice(area, [&](Canvas& dc, const Rect& dr) {
            dc.font() = platform::Font{top ? s.HeaderFont : s.FooterFont, platform::clBlack, 0};
            dc.setBkMode(platform::BkMode::Transparent);
            THTMLDrawParams params;
            params.Images = m_grid.GetGridImageList();
            params.Printing = true;
            params.ResFactor = resFactor();
            params.WordWrap = true;
            params.Window = &m_grid;
            THTMLDrawResult result;
            HTMLDrawText(dc, html, dr, params, result);
        });
    }
}

void TGridPrinter::frame(int y1, int y2, int firstCol, int lastCol, bool repeatCols)
{
    if (!drawing() || !inRange(m_pageNr))
        return;
    const TPrintSettings& s = m_grid.PrintSettings;
    QPainter& p = *m_painter;
    const int x1 = repeatCols ? m_grid.Indents[0] : m_grid.Indents[size_t(firstCol)];
    const int x2 = m_grid.Indents[size_t(lastCol) + 1];
    p.setPen(QPen(Qt::black, s.Borders == pbDouble ? 10 : 2, qtPenStyle(s.BorderStyle)));
    p.setBrush(Qt::NoBrush);
    const TPrintBorders b = s.Borders;
    if (b == pbAround || b == pbAroundVertical || b == pbAroundHorizontal)
        p.drawRect(QRect(QPoint(x1, y1), QPoint(x2, y2)));
    if (b == pbDouble || b == pbHorizontal || b == pbAroundHorizontal)
        p.drawLine(x1, y2, x2, y2);
    if ((b == pbDouble || b == pbVertical || b == pbAroundVertical) && repeatCols)
        for (int c = 0; c < m_grid.FixedCols(); ++c)
            p.drawLine(m_grid.Indents[size_t(c)], y1, m_grid.Indents[size_t(c)], y2);
}

// --- the layout engine ---------------------------------------------------------------------------

int TGridPrinter::run(platform::PrintSurface* surface, TPrintMode mode, QSizeF paper, bool selectedOnly)
{
    TPrintSettings& s = m_grid.PrintSettings;
    m_mode = mode;
    m_selectedOnly = selectedOnly;
    m_painter = surface && (mode == TPrintMode::Print || mode == TPrintMode::Preview) ? &surface->Painter() : nullptr;
    FontScaleFactor = 1.0;
    m_cachedRow = -1;
    m_lastMeasured = 0;
    m_gridDpi = m_grid.logicalDpiX() > 0 ? m_grid.logicalDpiX() : 96.0;
    if (surface)
        m_deviceDpi = surface->Resolution() > 0 ? surface->Resolution() : m_gridDpi;
    m_unit = 254.0 / m_gridDpi;
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

    const size_t n = size_t(std::max(m_grid.ColCount(), m_rect.Right + 1)) + 2;
    m_grid.MaxWidths.assign(std::max<size_t>(n, 512), 0);
    m_grid.Indents.assign(std::max<size_t>(n, 512), 0);
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
                    w = std::max(w, s.UseFixedWidth ? s.FixedWidth : MeasureCell(rc, r).width());
            };
            for (int r = m_rect.Top; r <= m_rect.Bottom; ++r)
                if (rowPrinted(r, selectedOnly))
                    take(r);
            if (s.RepeatFixedRows)
                for (int r = 0; r < m_grid.FixedRows() && r < m_rect.Top; ++r)
                    take(r);
        }
        m_grid.MaxWidths[size_t(c)] = w;
    }
    // Fixed columns repeated on later pages print as wide as their cells.
    if (s.RepeatFixedCols)
        for (int c = 0; c < m_grid.FixedCols() && c < m_rect.Left; ++c) {
            int w = 0;
            for (int r = m_rect.Top; r <= m_rect.Bottom; ++r)
                w = std::max(w, s.UseFixedWidth ? s.FixedWidth : MeasureCell(m_grid.RealColIndex(c), r).width());
            m_grid.MaxWidths[size_t(c)] = w;
        }
    if (s.FitToPage != fpNever) {
        double total = 0, spacing = 0;
        for (int c = m_rect.Left; c <= m_rect.Right; ++c) {
            total += (colPrinted(c, selectedOnly) ? m_grid.MaxWidths[size_t(c)] : 0) + m_spacing;
            spacing += m_spacing;
        }
        double fit = 1.0;
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

    // Whole rows or a part of them.
    const TGridExportState rowState = m_rect.Top <= m_grid.FixedRows()
                                              && m_rect.Bottom >= m_grid.RowCount() - 1 - m_grid.FixedFooters()
                                          ? esExportNewRow
                                          : esExportSelRow;
    const int htmlHeight = htmlTitleHeight(m_pageWidth);
    auto topHeight = [&]() {
        const bool top = atTop(s.Time) || atTop(s.Date) || atTop(s.PageNr) || atTop(s.Title);
        if (!top)
            return s.HeaderSize;
        int e = m_p + m_hh + s.HeaderSize;
        if (atTop(s.Title) && s.TitleLines.Count() > 0 && s.TitleText.isEmpty())
            e += htmlHeight > 0 ? htmlHeight + s.HeaderSize : (s.TitleLines.Count() - 1) * m_hh;
        return e;
    };
    auto bottomHeight = [&]() {
        const bool bottom = atBottom(s.Time) || atBottom(s.Date) || atBottom(s.PageNr) || atBottom(s.Title);
        if (!bottom)
            return m_p + m_fh + s.FooterSize;
        int g = 2 * (m_p + m_fh) + s.FooterSize;
        if (atBottom(s.Title) && s.TitleLines.Count() > 0 && s.TitleText.isEmpty())
            g += htmlHeight > 0 ? htmlHeight : (s.TitleLines.Count() - 1) * m_fh;
        return g;
    };
    auto beginPage = [&](int nr) {
        m_pageNr = nr;
        if (drawing() && inRange(nr) && nr > PageFrom)
            surface->NewPage();
        if (drawing() && inRange(nr) && OnPrintPage)
            OnPrintPage(m_painter, nr, m_pageWidth, m_pageHeight);
    };
    auto pageDone = [&](int row, int y, bool& cancelled) {
        if (!drawing())
            return;
        if (OnPrintPageDone)
            OnPrintPageDone(m_painter, row, y, m_pageNr, m_pageWidth, m_pageHeight);
        if (OnPrintCancel)
            OnPrintCancel(m_pageNr, cancelled);
    };

    int first = m_rect.Left;
    m_pageNr = 1;
    int colPageNr = 0;
    bool cancelled = false;
    bool columnPages = false;
    if (drawing() && inRange(1) && OnPrintPage)
        OnPrintPage(m_painter, 1, m_pageWidth, m_pageHeight);
    const int pageCount = PrintNrOfPages;
    while (first <= m_rect.Right && !cancelled) {
        ++colPageNr;
        m_repeatCols = m_grid.FixedCols() > 0 && s.RepeatFixedCols && (colPageNr > 1 || m_rect.Left > m_grid.FixedCols());
        int fixedWidth = 0;
        if (m_repeatCols)
            for (int c = 0; c < m_grid.FixedCols(); ++c)
                fixedWidth += m_grid.MaxWidths[size_t(c)] + m_spacing;
        // The columns that fit; a page takes at least its first column.
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
        m_footer = g;
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
            m_grid.ExportNotification(rowState, r);
            if (!pageOpen) {
                pageOpen = true;
                ++rowPageNr;
                rowsOnPage = 0;
                y = e;
                headerFooter(rowPageNr, colPageNr, columnPages, pageCount);
                y += s.TitleSpacing;
                if (r != 0 && s.RepeatFixedRows && m_grid.FixedRows() > 0
                    && (rowPageNr > 1 || m_rect.Top >= m_grid.FixedRows()))
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
                pageDone(r, y, cancelled);
                pageOpen = false;
                if (cancelled)
                    break;
                // Without a page count nothing is laid out past the last page drawn.
                if (FastPrint && m_pageNr >= PageTo) {
                    cancelled = true;
                    break;
                }
                beginPage(m_pageNr + 1);
            }
        }
        if (pageOpen) {
            frame(e + s.TitleSpacing, y + m_p / 2, first, last, m_repeatCols);
            pageDone(r, y, cancelled);
        }
        first = last + 1;
        if (first <= m_rect.Right && !cancelled) {
            if (FastPrint && m_pageNr >= PageTo)
                break;
            beginPage(m_pageNr + 1);
        }
    }
    FontScaleFactor = 1.0;
    m_painter = nullptr;
    return m_pageNr;
}

// --- entry points --------------------------------------------------------------------------------

int TGridPrinter::CountPages(QSizeF paper, const TGridRect& rect, bool selectedOnly)
{
    m_rect = rect;
    PageFrom = 1;
    PageTo = INT_MAX;
    return run(nullptr, TPrintMode::CountPrint, paper, selectedOnly);
}

int TGridPrinter::printJob(platform::PrintSurface& surface, const TGridRect& rect, bool selectedOnly)
{
    m_grid.ExportNotification(esExportStart, -1);
    const QSizeF paper = surface.PageSize();
    m_deviceDpi = surface.Resolution() > 0 ? surface.Resolution() : m_deviceDpi;
    const int pages = FastPrint ? kUnknownCount : CountPages(paper, rect, selectedOnly);
    m_rect = rect;
    PageFrom = 1;
    PageTo = pages;
    PrintNrOfPages = pages;
    if (OnPrintStart) {
        OnPrintStart(pages, PageFrom, PageTo);
        if (PageFrom <= 0 || PageTo <= 0 || PageTo < PageFrom) {
            m_grid.ExportNotification(esExportDone, -1);
            return 0;
        }
        PrintNrOfPages = PageTo;
    }
    const int printed = run(&surface, TPrintMode::Print, paper, selectedOnly);
    m_grid.ExportNotification(esExportDone, -1);
    return printed;
}

int TGridPrinter::PrintRect(platform::PrintSurface& surface, const TGridRect& rect)
{
    return printJob(surface, rect, false);
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
    return printJob(surface, TGridRect{0, 0, m_grid.ColCount() - 1, m_grid.RowCount() - 1}, true);
}

int TGridPrinter::previewJob(platform::PrintSurface& surface, const TGridRect& rect, bool selectedOnly)
{
    m_grid.ExportNotification(esExportStart, -1);
    const QSizeF paper = surface.PageSize();
    m_deviceDpi = surface.Resolution() > 0 ? surface.Resolution() : m_deviceDpi;
    // The pages drawn are those of the range as last set (PreviewPage or the last print).
    const int from = PageFrom, to = PageTo;
    m_rect = rect;
    if (FastPrint) {
        PrintNrOfPages = 1;
    } else {
        PageFrom = 1;
        PageTo = INT_MAX;
        PrintNrOfPages = run(nullptr, TPrintMode::CountPreview, paper, selectedOnly);
    }
    PageFrom = from;
    PageTo = to;
    IsPrintPreview = true;
    int eventFrom = 1, eventTo = PrintNrOfPages;
    if (OnPrintStart)
        OnPrintStart(PrintNrOfPages, eventFrom, eventTo);
    if (eventFrom > 0 && eventTo > 0 && eventTo >= eventFrom)
        run(&surface, TPrintMode::Preview, paper, selectedOnly);
    m_grid.ExportNotification(esExportDone, -1);
    IsPrintPreview = false;
    return PrintNrOfPages;
}

int TGridPrinter::PrintPreview(platform::PrintSurface& surface)
{
    return PrintPreviewRect(surface, TGridRect{0, 0, m_grid.ColCount() - 1, m_grid.RowCount() - 1});
}

int TGridPrinter::PrintPreviewRect(platform::PrintSurface& surface, const TGridRect& rect)
{
    return previewJob(surface, rect, false);
}

int TGridPrinter::PrintPreviewSelection(platform::PrintSurface& surface)
{
    return PrintPreviewRect(surface, m_grid.Selection());
}

int TGridPrinter::PrintPreviewSelectedRows(platform::PrintSurface& surface)
{
    return previewJob(surface, TGridRect{0, 0, m_grid.ColCount() - 1, m_grid.RowCount() - 1}, true);
}

void TGridPrinter::PrintDrawRect(platform::PrintSurface& surface, const TGridRect& rect)
{
    m_rect = rect;
    PageFrom = PageTo = 1;
    PrintNrOfPages = 1;
    m_deviceDpi = surface.Resolution() > 0 ? surface.Resolution() : m_deviceDpi;
    run(&surface, TPrintMode::Print, surface.PageSize(), false);
}

void TGridPrinter::PrintDraw(platform::PrintSurface& surface)
{
    PrintDrawRect(surface, TGridRect{0, 0, m_grid.ColCount() - 1, m_grid.RowCount() - 1});
}

namespace {

platform::PaperOrientation orientationOf(const TPrintSettings& s)
{
    if (s.UseDefaultOrientation)
        return platform::PaperOrientation::Default;
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
