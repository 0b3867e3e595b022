// How a cell looks and how much room it takes: its colours, font, gradient, alignment and word
// wrap, the text it shows, and the sizes of its text and graphic.
#include "controls/grid/paint/GridPaint.h"

#include "controls/grid/core/RichText.h"
#include "controls/grid/html/HTMLDraw.h"
#include "controls/grid/html/HTMLUtil.h"
#include "controls/grid/util/ExtUtil.h"
#include "platform/core/Format.h"
#include "platform/draw/Graphics.h"

#include <QImage>
#include <cmath>
#include <numbers>

namespace controls::grid {

using platform::Alignment;
using platform::clNone;

namespace {

bool isNumberText(const QString& text)
{
    const int type = DetectNumberType(text.trimmed());
    return type == 0 || type == 1 || type == 5;
}

// A canvas to measure on outside painting.
struct MeasureCanvas {
    QImage image{1, 1, QImage::Format_RGB32};
    Canvas canvas{&image};
};

} // namespace

// --- visual properties ----------------------------------------------------------------------

void TExtStringGridPaint::GetVisualProperties(int col, int row, TGridDrawState& state, bool print, bool select,
                                              bool remap, TCellFormat& f)
{
    const bool normalCell = col >= FixedCols() && row >= FixedRows();
    if (print && !PrintSettings.UseDisplayFont)
        f.font = platform::Font{normalCell ? PrintSettings.Font : PrintSettings.FixedFont, platform::clWindowText, 0};
    else
        f.font = normalCell ? GridFont() : platform::Font{FixedFont(), FixedFontColor, 0};

    const int realCol = remap ? RealColIndex(col) : col;
    const int realRow = RealRowIndex(row);

    f.brush.color = clNone;
    f.brush.style = platform::BrushStyle::Solid;
    f.colorTo = clNone;
    f.mirrorColor = clNone;
    f.mirrorColorTo = clNone;

    bool coloured = false;
    if (HasCellProperties(realCol, row)) {
        const TCellProperties* p = GetGridObject(realCol, row);
        const TCellType type = GetCellType(realCol, row);
        if (type == ctNone || type == ctRotated || type == ctEmpty) {
            if (p->BrushColor() != clNone) {
                f.brush.color = p->BrushColor();
                coloured = true;
            }
        } else {
            f.brush.color = p->BrushColor();
        }
        if (p->FontColor != clNone)
            f.font.color = p->FontColor;
        if (p->FontStyle != 0)
            ApplyFontStyles(f.font.font, p->FontStyle);
        if (p->FontSize != 0)
            f.font.font.setPointSize(p->FontSize);
        if (!p->FontName.isEmpty())
            f.font.font.setFamily(p->FontName);
        f.wordWrap = p->WordWrap();
        f.colorTo = p->BrushColorTo();
        f.gradient = p->GradientDirection;
    }
    if (state.testFlag(platform::gdSelected))
        f.gradient = GradientVertical;

    if (f.brush.color == clNone) {
        f.brush.color = color();
        const bool inBandArea = col >= FixedCols() && col < ColCount() - FixedRightCols() + NumHiddenColumns()
                                && row >= FixedRows() && row < RowCount() - FixedFooters();
        if (Bands.Active() && (!print || Bands.Print) && inBandArea)
            f.brush.color = BandColor(row, FixedRows(), Bands.TotalLength(), Bands.PrimaryLength(),
                                      Bands.PrimaryColor(), Bands.SecondaryColor(), color());
        if (col < FixedCols() || row < FixedRows() || col >= ColCount() - FixedRightCols()
            || row >= RowCount() - FixedFooters())
            f.brush.color = fixedColor();
    }

    const bool fixed = IsFixed(col, row) || col < FixedCols() || row < FixedRows();
    if (fixed && !coloured && !print) {
        f.brush.color = fixedColor();
        f.font = platform::Font{FixedFont(), FixedFontColor, 0};
        state |= platform::gdFixed;
    }
    if (fixed && !coloured && Look() > glClassic) {
        f.brush.color = VekkoGradientFrom();
        f.colorTo = VekkoGradientTo();
        f.mirrorColor = VekkoGradientMirrorFrom();
        f.mirrorColorTo = VekkoGradientMirrorTo();
    }

    if (print)
        GetCellPrintColor(realCol, row, state, f.brush, f.font);
    else
        GetCellColor(realCol, row, state, f.brush, f.font);

    if (OnGetCellGradient) {
        Color c = f.brush.color;
        OnGetCellGradient(this, row, realCol, c, f.colorTo, f.mirrorColor, f.mirrorColorTo, f.gradient);
        f.brush.color = c;
    }

    const Color unselectedBrush = f.brush.color;
    const Color unselectedFont = f.font.color;
    auto selectionColours = [&]() {
        f.brush.color = SelectionColor();
        f.colorTo = SelectionColorTo();
        f.mirrorColor = SelectionMirrorColor();
        f.mirrorColorTo = SelectionMirrorColorTo();
        if (SelectionTextColor() != clNone)
            f.font.color = SelectionTextColor();
    };
    const bool mouseOnRow = m_mouseDownMove && row == this->row();
    const bool mayShowSelection = normalCell && !print && select && ShowSelection() && !fixed;

    if (mayShowSelection && MouseActions.DisjunctRowSelect()) {
        const bool flagged = RowSelect(realRow);
        if ((!mouseOnRow && flagged) || (m_mouseDownMove && !flagged && state.testFlag(platform::gdSelected))) {
            state = platform::gdSelected;
            selectionColours();
        } else {
            state &= ~TGridDrawState(platform::gdSelected);
        }
    }
    if (mayShowSelection && MouseActions.DisjunctColSelect()) {
        const bool flagged = ColSelect(col);
        if (((!m_mouseDownMove || col != this->col()) && flagged)
            || (m_mouseDownMove && !flagged && state.testFlag(platform::gdSelected))) {
            state = platform::gdSelected;
            selectionColours();
        }
    }
    const bool rangeSelected = select && !print && ShowSelection() && !fixed && IsSelected(col, row)
                               && !MouseActions.DisjunctRowSelect() && !MouseActions.DisjunctColSelect();
    if (rangeSelected || (state.testFlag(platform::gdSelected) && m_mouseDownMove && ShowSelection())) {
        const Color brush = f.brush.color;
        selectionColours();
        if (SelectionColor() == clNone) {
            // Without a selection colour the selected cells show the platform's highlight; the
            // focused cell keeps its own colour.
            f.brush.color = state.testFlag(platform::gdFocused) ? brush : platform::clHighlight;
        } else if (brush != color()) {
            f.brush.color = BlendColorsIf(SelectionColor(), brush, SelectionColorMixer(), SelectionColorMixerFactor());
        }
        state |= platform::gdSelected;
    }
    if (MouseActions.DisjunctCellSelect() && ShowSelection()) {
        if (SelectedCells(col, row)) {
            selectionColours();
            state |= platform::gdSelected;
        } else if (col == this->col() && row == this->row()) {
            state &= ~TGridDrawState(platform::gdSelected);
            f.brush.color = unselectedBrush;
            f.font.color = unselectedFont;
        }
    }
    if (UseDisabledFont && (!RowEnabled(realRow) || !isEnabled()))
        f.font.color = DisabledFontColor;
    if (IsSelected(col, row) && row != this->row() && MouseActions.DisjunctRowSelect() && SelectionColorTo() == clNone)
        f.brush.color = AdjustColorBrightness(f.brush.color, 7);

    bool ww = f.wordWrap;
    GetCellWordWrap(realCol, row, ww);
    f.wordWrap = ww;
    ResolveCellAlignment(realCol, row, f.alignment, f.vAlignment);
}

TCellGraphicInfo TExtStringGridPaint::GetCellGraphicInfo(int col, int row)
{
    TCellGraphicInfo info;
    TCellGraphic* g = GetCellGraphic(col, row);
    info.Graphic = g;
    if (!g)
        return info;
    info.HAlign = g->CellHAlign;
    info.VAlign = g->CellVAlign;
    const int check = ControlLook.CheckSize();
    auto imageList = [&]() {
        if (platform::TImageList* list = GetGridImageList()) {
            info.Width = list->Width();
            info.Height = list->Height();
        }
    };
    switch (GetCellType(col, row)) {
    case ctBitmap:
        if (g->Bitmap) {
            info.Width = g->Bitmap->width();
            info.Height = g->Bitmap->height();
        }
        break;
    case ctIcon:
        if (g->Icon) {
            info.Width = g->Icon->width();
            info.Height = g->Icon->height();
        }
        break;
    case ctImageList:
        imageList();
        break;
    case ctDataImage:
        imageList();
        info.ShowText = false;
        break;
    case ctCheckBox:
    case ctTriStateCheckBox:
        info.Width = info.Height = check;
        break;
    case ctDataCheckBox:
    case ctVirtCheckBox:
    case ctRowCheckBox:
        info.Width = info.Height = check;
        info.ShowText = false;
        break;
    case ctRotated:
    case ctRadio:
    case ctProgress:
    case ctRangeIndicator:
    case ctXPProgress:
        info.ShowText = false;
        break;
    case ctImages:
        if (platform::TImageList* list = GetGridImageList()) {
            const int n = g->IntList() ? g->IntList()->Count() : 0;
            if (g->CellBoolean) {
                info.Width = n * list->Width();
                info.Height = list->Height();
            } else {
                info.Width = list->Width();
                info.Height = n * list->Height();
            }
        }
        break;
    case ctPicture:
    case ctFilePicture: {
        const QPoint cs = CellSize(DisplColIndex(col), row);
        QPoint size(0, 0);
        g->GetPictureSize(cs.x(), cs.y(), true, size);
        info.Width = size.x();
        info.Height = size.y();
        break;
    }
    case ctButton:
    case ctBitButton:
        info.Width = g->CellIndex & 0xFFFF;
        info.Height = (g->CellIndex >> 16) & 0xFFFF;
        break;
    case ctProgressPie:
        info.Width = info.Height = 20;
        break;
    case ctInterface:
        if (auto* ig = dynamic_cast<ICellGraphic*>(g->Object)) {
            info.Width = ig->GetWidth();
            info.Height = ig->GetHeight();
        }
        break;
    case ctRadioButton:
        info.Width = info.Height = ControlLook.RadioSize() + 4;
        break;
    case ctShape:
        info.Width = info.Height = rowHeights(row) - 2 * XYOffset.y();
        break;
    case ctRating:
        info.Width = g->CellAngle * 18;
        info.Height = 16;
        info.ShowText = false;
        break;
    default:
        break;
    }
    return info;
}

// --- alignment and shown text -----------------------------------------------------------------

void TExtStringGridPaint::ResolveCellAlignment(int col, int row, Alignment& hAlign, TVAlignment& vAlign)
{
    hAlign = DefaultAlignment();
    vAlign = VAlignment();
    bool formula = false;
    if (AutoNumAlign) {
        QString text = GetGridCell(col, row);
        if (text.startsWith(u'=') || (text.size() > 3 && text.startsWith(QStringLiteral("|\\")) && text.at(3) == u'=')) {
            formula = true;
            GetCellDisplayValue(col, row, text);
        }
        if (isNumberText(text))
            hAlign = Alignment::taRightJustify;
    }
    if (HasCellProperties(col, row) && !formula)
        hAlign = GetGridObject(col, row)->Alignment();
    GetCellAlignment(col, row, hAlign, vAlign);
}

QString TExtStringGridPaint::GetFormattedCell(int col, int row)
{
    QString text = Cells(col, row);
    if (!OnGetFloatFormat)
        return text;
    bool isFloat = isNumberText(text);
    QString fmt = FloatFormat;
    OnGetFloatFormat(this, col, row, isFloat, fmt);
    if (!isFloat || fmt.isEmpty())
        return text;
    try {
        if (fmt.contains(u'd'))
            return platform::Format(fmt, {Ints(col, row)});
        return platform::Format(fmt, {Floats(col, row)});
    } catch (const std::exception&) {
        return text; // a format that does not fit the value shows the text as it is
    }
}

void TExtStringGridPaint::GetDisplText(int col, int row, QString& value) const
{
    TExtStringGrid::GetDisplText(col, row, value);
    if (URLShowInText()) {
        static const char* const prefixes[] = {"HTTP://", "WWW.", "MAILTO:", "HTTPS://", "NNTP://", "FILE://", "FTP://"};
        for (const char* prefix : prefixes) {
            QString anchored;
            if (AddURLAnchor(value, QLatin1String(prefix), anchored)) {
                value = anchored;
                break;
            }
        }
    }
}

void TExtStringGridPaint::GetFontProperties(int col, int realCol, int row, TGridDrawState state, platform::Font& font,
                                            platform::Brush& brush)
{
    if (IsFixed(col, row) || col < FixedCols() || row < FixedRows())
        font = platform::Font{FixedFont(), FixedFontColor, 0};
    else
        font = GridFont();
    if (HasCellProperties(realCol, row)) {
        const TCellProperties* p = GetGridObject(realCol, row);
        if (p->FontColor != clNone)
            font.color = p->FontColor;
        if (p->FontStyle != 0)
            ApplyFontStyles(font.font, p->FontStyle);
        if (p->FontSize != 0)
            font.font.setPointSize(p->FontSize);
        if (!p->FontName.isEmpty())
            font.font.setFamily(p->FontName);
    }
    GetCellColor(realCol, row, state, brush, font);
}

// --- sizes ------------------------------------------------------------------------------------

QSize TExtStringGridPaint::GetCellTextSize(int col, int row) { return CalcCellTextSize(col, DisplColIndex(col), row, false, false); }

QSize TExtStringGridPaint::CalcCellTextSize(int realCol, int displCol, int row, bool vs, bool sb)
{
    MeasureCanvas m;
    Canvas& canvas = m.canvas;
    QString text = GetFormattedCell(realCol, row);
    const int kind = GetTextKind(text, EnableHTML);

    GetFontProperties(displCol, realCol, row, TGridDrawState(), canvas.font(), canvas.brush());
    const bool fixedArea = row < FixedRows() || displCol < FixedCols();
    if (fixedArea && ActiveCellShow() && ActiveCellFont().bold())
        canvas.font().font.setBold(true);
    if (ZoomFactor() != 0 && canvas.font().font.pointSize() > 0)
        canvas.font().font.setPointSize(std::max(1, canvas.font().font.pointSize() + ZoomFactor()));

    if (kind == 3)
        GetCellDisplayValue(realCol, row, text);

    const QPoint size = CellSize(displCol, row);
    Rect box{0, 0, size.x(), size.y()};
    if (XYOffsetTopLeftOnly) {
        box.left += XYOffset.x();
        box.top += XYOffset.y();
    } else {
        box = box.inflated(-XYOffset.x(), -XYOffset.y());
    }
    if (sb)
        box.right -= 17;

    if (kind == 1) {
        if (!vs) {
            box.right = 65535;
            box.bottom = 65535;
        }
        THTMLDrawParams params;
        params.CalcOnly = true;
        params.WordWrap = vs;
        params.Images = GetGridImageList();
        params.Container = PictureContainer;
        params.ImageCache = &m_imageCache;
        THTMLDrawResult result;
        HTMLDrawText(canvas, text, box, params, result);
        return QSize(result.TextWidth + 2, result.TextHeight + 2);
    }
    if (kind == 2)
        text = RichTextToPlain(text);

    int angle = 0;
    const bool rotated = IsRotated(realCol, row, angle);
    int w = 0, h = 0;
    if (vs) {
        Rect r = box.inflated(-2, -2);
        if (m_editing && realCol == RealColIndex(this->col()) && row == this->row() && text.endsWith(u'\n'))
            text += u'w';
        unsigned flags = platform::DT_CALCRECT | platform::DT_NOPREFIX | platform::DT_EDITCONTROL | platform::DT_EXPANDTABS;
        flags |= rotated ? platform::DT_SINGLELINE : platform::DT_WORDBREAK;
        h = canvas.drawText(text, r, flags);
        w = r.width();
    } else {
        int lines = 0;
        for (const QStringView view : SplitCellLines(text, Multilinecells)) {
            QString line = view.toString();
            if (kind == 0 && URLShow() && !URLFull())
                StripURLProtocol(line);
            w = std::max(w, canvas.textWidth(line));
            ++lines;
        }
        h = canvas.textHeight(QStringLiteral("gh")) * lines;
    }
    if (rotated) {
        const QSize s = RotatedTextSize(w, h, angle);
        w = s.width();
        h = s.height();
    }
    return QSize(w, h);
}

bool TExtStringGridPaint::PlainColumnMeasure(int, int realCol)
{
    // Hooks that may change a text or a font cell by cell, links, the active cell's header font
    // and the row check boxes of column 0 leave the column to the full measure.
    if (OnGetDisplText || OnGetDisplWideText || OnGetFloatFormat || OnGetCellColor || OnIsFixedCell)
        return false;
    if (URLShow() || URLShowInText() || ActiveCellShow())
        return false;
    return !(realCol == 0 && MouseActions.HotmailRowSelect());
}

int TExtStringGridPaint::PlainTextWidth(int col, int realCol, int row, const QString& text, TTextMeasureCache& cache)
{
    // Formulas, encoded wide text, rich text and HTML are measured the full way.
    if (text.isEmpty())
        return 0;
    const QChar first = text[0];
    if (first == u'=' || ((first == u'|' || first == u'{') && text.size() > 1 && text[1] == u'\\'))
        return -1;
    if (EnableHTML && text.contains(u'<'))
        return -1;
    const int rowClass = row < FixedRows() ? 0 : row >= RowCount() - FixedFooters() ? 2 : 1;
    std::optional<QFontMetrics>& fm = cache.Metrics[rowClass];
    if (!fm) {
        // The first plain cell of its class sets the class's font the way CalcCellTextSize sets
        // a cell's, on the same kind of surface.
        platform::Font font;
        platform::Brush brush;
        GetFontProperties(col, realCol, row, TGridDrawState(), font, brush);
        if (ZoomFactor() != 0 && font.font.pointSize() > 0)
            font.font.setPointSize(std::max(1, font.font.pointSize() + ZoomFactor()));
        font.font.setStyleStrategy(QFont::NoAntialias);
        QImage surface(1, 1, QImage::Format_RGB32);
        fm.emplace(font.font, &surface);
    }
    // The first line, or every line with Multilinecells; lines end at CR (an LF after it
    // belongs to the break).
    int w = 0;
    qsizetype start = 0;
    for (;;) {
        const qsizetype end = text.indexOf(u'\r', start);
        const qsizetype stop = end < 0 ? text.size() : end;
        w = std::max(w, fm->horizontalAdvance(QString::fromRawData(text.constData() + start, stop - start)));
        if (end < 0 || !Multilinecells)
            break;
        start = end + 1;
        if (start < text.size() && text[start] == u'\n')
            ++start;
        if (start >= text.size())
            break;
    }
    return w;
}

QSize TExtStringGridPaint::GetCellGraphicSize(int col, int row) { return CalcCellGraphicSize(col, row, 0); }

QSize TExtStringGridPaint::CalcCellGraphicSize(int col, int row, int reservedHeight)
{
    TCellGraphic* g = GetCellGraphic(col, row);
    if (!g)
        return QSize(0, 0);
    const bool hasText = !Cells(col, row).isEmpty();
    const bool beside = g->CellHAlign == haBeforeText || g->CellHAlign == haAfterText || !hasText;
    const bool above = g->CellVAlign == vaUnderText || g->CellVAlign == vaAboveText || !hasText;
    const Rect cell = CellRect(DisplColIndex(col), row);
    const QPoint cellSize = CellSize(DisplColIndex(col), row);
    int w = 0, h = 0;
    bool keepWidth = false;
    MeasureCanvas m;
    m.canvas.font() = GridFont();
    switch (GetCellType(col, row)) {
    case ctBitmap:
        if (g->Bitmap) {
            w = beside ? g->Bitmap->width() : 0;
            h = above ? g->Bitmap->height() : 0;
        }
        break;
    case ctIcon:
        if (g->Icon) {
            w = beside ? g->Icon->width() : 0;
            h = g->Icon->height();
        }
        break;
    case ctImageList:
    case ctDataImage:
        if (platform::TImageList* list = GetGridImageList()) {
            w = beside ? list->Width() : 0;
            h = above ? list->Height() : 0;
        }
        break;
    case ctCheckBox:
    case ctDataCheckBox:
    case ctVirtCheckBox:
    case ctRowCheckBox:
    case ctTriStateCheckBox:
        w = h = ControlLook.CheckSize();
        break;
    case ctRadioButton:
        w = h = ControlLook.RadioSize();
        break;
    case ctPicture:
    case ctFilePicture: {
        QPoint size(0, 0);
        g->GetPictureSize(cellSize.x() - TotalXOffset() + 1, cellSize.y() - TotalYOffset() + reservedHeight + 1, hasText,
                          size);
        w = size.x();
        h = size.y();
        break;
    }
    case ctButton:
    case ctBitButton: {
        const bool buttonAboveText = g->CellVAlign == vaUnderText || g->CellVAlign == vaAboveText;
        w = g->CellIndex & 0xFFFF;
        h = (g->CellIndex >> 16) & 0xFFFF;
        if (hasText) {
            if (g->CellHAlign == haCenter || buttonAboveText)
                w = 0;
            else if (g->CellHAlign == haFull)
                w = m.canvas.textWidth(g->CellText) + 4;
            if (!buttonAboveText)
                h = 0;
        } else if (g->CellHAlign == haFull) {
            w = m.canvas.textWidth(g->CellText) + 4;
            keepWidth = !g->CellText.isEmpty();
        }
        break;
    }
    case ctRadio: {
        const platform::TStringList* items = g->Strings();
        const int n = items ? items->Count() : 0;
        const int th = m.canvas.textHeight(QStringLiteral("gh"));
        if (g->CellBoolean) {
            for (int i = 0; i < n; ++i)
                w += m.canvas.textWidth(items->Strings(i)) + 12;
            h = th;
        } else {
            for (int i = 0; i < n; ++i)
                w = std::max(w, m.canvas.textWidth(items->Strings(i)) + 12);
            w = std::max(w, 12);
            h = std::max(16, th) * n;
        }
        break;
    }
    case ctImages:
        if (platform::TImageList* list = GetGridImageList()) {
            const int n = g->IntList() ? g->IntList()->Count() : 0;
            if (g->CellBoolean) {
                w = n * list->Width();
                h = list->Height();
            } else {
                w = list->Width();
                h = n * list->Height();
            }
        }
        break;
    case ctProgressPie:
        w = h = 20;
        break;
    case ctInterface:
        if (auto* ig = dynamic_cast<ICellGraphic*>(g->Object)) {
            w = ig->GetWidth();
            h = ig->GetHeight();
            if (w == 0 || h == 0) {
                w = cell.width();
                h = cell.height();
            }
        }
        break;
    case ctRating:
        w = g->CellAngle * 18;
        h = 16;
        keepWidth = true;
        break;
    default:
        break;
    }
    if (g->CellVAlign == vaFull)
        h = cell.height();
    if (g->CellHAlign == haFull && !(keepWidth && g->CellVAlign != vaFull))
        w = cell.width();
    return QSize(w, h);
}

QSize TExtStringGridPaint::CalcCellGraphicPos(int col, int row, int targetWidth, int targetHeight, double scale)
{
    TCellGraphic* g = GetCellGraphic(col, row);
    if (!g)
        return QSize(0, 0);
    const bool hasText = !Cells(col, row).isEmpty();
    const bool beside = g->CellHAlign == haBeforeText || g->CellHAlign == haAfterText || !hasText;
    switch (GetCellType(col, row)) {
    case ctBitmap:
        return g->Bitmap ? QSize(g->Bitmap->width(), g->Bitmap->height()) : QSize(0, 0);
    case ctIcon:
        return g->Icon ? QSize(g->Icon->width(), g->Icon->height()) : QSize(0, 0);
    case ctImageList:
        if (platform::TImageList* list = GetGridImageList())
            return QSize(beside ? list->Width() : 0, list->Height());
        return QSize(0, 0);
    case ctDataImage:
        if (platform::TImageList* list = GetGridImageList())
            return QSize(list->Width(), list->Height());
        return QSize(0, 0);
    case ctCheckBox:
    case ctDataCheckBox:
    case ctVirtCheckBox:
    case ctRowCheckBox:
    case ctTriStateCheckBox:
        return QSize(ControlLook.CheckSize(), ControlLook.CheckSize());
    case ctRadioButton:
        return QSize(ControlLook.RadioSize(), ControlLook.RadioSize());
    case ctNode:
    case ctProgressPie:
        return QSize(20, 20);
    case ctRadio:
    case ctImages:
        return CalcCellGraphicSize(col, row, 0);
    case ctPicture:
    case ctFilePicture: {
        QPoint size(0, 0);
        g->GetPictureSize(targetWidth, targetHeight, hasText, size);
        const double s = scale > 0 ? scale : 1.0;
        return QSize(int(std::lround(size.x() / s)), int(std::lround(size.y() / s)));
    }
    case ctProgress:
    case ctXPProgress:
        return QSize(colWidths(DisplColIndex(col)), rowHeights(row));
    case ctButton:
    case ctBitButton:
        return QSize(g->CellIndex & 0xFFFF, (g->CellIndex >> 16) & 0xFFFF);
    case ctInterface:
        if (auto* ig = dynamic_cast<ICellGraphic*>(g->Object)) {
            const Rect cell = CellRect(DisplColIndex(col), row);
            return QSize(ig->GetWidth() ? ig->GetWidth() : cell.width(), ig->GetHeight() ? ig->GetHeight() : cell.height());
        }
        return QSize(0, 0);
    case ctShape: {
        const int s = rowHeights(row) - 2 * XYOffset.y();
        return QSize(s, s);
    }
    default:
        return QSize(0, 0);
    }
}

bool TExtStringGridPaint::IsSortGlyphRow(int col, int row)
{
    int r = row;
    if (IsMergedCell(col, row))
        r += CellSpan(col, row).y();
    return r == SortSettings.Row && SortSettings.Show && RowCount() > FixedRows() + 1;
}

int TExtStringGridPaint::TotalXOffset() const { return XYOffsetTopLeftOnly ? XYOffset.x() : 2 * XYOffset.x(); }
int TExtStringGridPaint::TotalYOffset() const { return XYOffsetTopLeftOnly ? XYOffset.y() : 2 * XYOffset.y(); }

int TExtStringGridPaint::MaxLineLengthInColumn(int col)
{
    int result = 0;
    for (int r = 0; r < RowCount(); ++r) {
        QString text;
        SaveCell(col, r, text);
        for (const QStringView line : SplitCellLines(text, Multilinecells))
            result = std::max(result, int(line.size()));
    }
    return result;
}

int TExtStringGridPaint::MaxLinesInRow(int row)
{
    if (ColCount() == 0 || !Multilinecells)
        return 1;
    // Every visible column, by its real index.
    int result = 1;
    for (int c = 0; c < ColCount(); ++c)
        result = std::max(result, CountLines(GetGridCell(RealColIndex(c), row), true));
    return result;
}

void TExtStringGridPaint::DrawRotatedText(Canvas& canvas, Rect& r, int angle, TVAlignment vAlign, Alignment hAlign,
                                          const QString& text)
{
    const QSize extent = canvas.textExtent(text);
    r = r.inflated(-2, -2);
    const double rad = angle * std::numbers::pi / 180.0;
    const int a = std::abs(int(std::cos(rad) * extent.height()));
    const int b = std::abs(int(std::sin(rad) * extent.width()));
    const int c = std::abs(int(std::sin(rad) * extent.height()));
    const int d = std::abs(int(std::cos(rad) * extent.width()));
    const QPoint origin = RotatedTextOrigin(r, hAlign, vAlign, a, b, c, d, angle);
    r.left = origin.x();
    r.top = origin.y();
}

void TExtStringGridPaint::InvalidateCellRange(const TGridRect& range)
{
    const Rect a = CellRect(range.Left, range.Top);
    const Rect b = CellRect(range.Right, range.Bottom);
    const Rect u = a.united(b);
    if (!u.isEmpty())
        viewport()->update(u.toQRect());
}

} // namespace controls::grid
