// What the painting grid does around its cells: the frame of the edited cell, the empty area, the
// coloured control border, selection-change repaints, and the per-cell export and import hooks.
#include "controls/grid/paint/GridPaint.h"

#include "controls/grid/core/RichText.h"
#include "controls/grid/html/HTMLDraw.h"
#include "controls/grid/html/HTMLUtil.h"
#include "controls/grid/util/ExtUtil.h"

#include <QEvent>
#include <QPainter>

namespace controls::grid {

using platform::Brush;
using platform::BrushStyle;
using platform::clNone;
using platform::Pen;
using platform::PenStyle;

TExtStringGridPaint::TExtStringGridPaint(QWidget* parent) : TExtStringGrid(parent)
{
    SearchFooter.OnChange = [this](platform::TObject*) { UpdateSearchFooter(); };
    CreateSearchPanel();
    UpdateSearchFooter();
}

TExtStringGridPaint::~TExtStringGridPaint() = default;

bool TExtStringGridPaint::CanShowFixedDropDown(int col)
{
    bool canShow = true;
    if (OnCanShowFixedDropDown)
        OnCanShowFixedDropDown(this, col, canShow);
    return canShow;
}

// --- the paint cycle --------------------------------------------------------------------------

void TExtStringGridPaint::paint()
{
    Canvas& c = canvas();
    c.pen().style = PenStyle::Solid;
    c.brush().style = BrushStyle::Solid;
    TExtStringGrid::paint();

    if (m_editing) {
        const bool lines = GridLineWidth() >= 1
                           && (options().testFlag(platform::goHorzLine) || options().testFlag(platform::goVertLine));
        c.pen() = Pen{lines ? GridLineColor() : color(), 1, PenStyle::Solid};
        c.brush().style = BrushStyle::Clear;
        c.rectangle(CellRect(col(), row()));
        c.brush().style = BrushStyle::Solid;
    }
    c.pen().color = platform::clBlack;
    if (!BackGround.Bitmap().isEmpty() || BackGround.ColorTo() != clNone)
        PaintEmptyArea(c);
    // The dotted lines of a border being sized.
    if (m_colSizingLine >= 0 || m_rowSizingLine >= 0) {
        const Pen keep = c.pen();
        c.pen() = Pen{platform::clBlack, 1, PenStyle::Dot};
        if (m_colSizingLine >= 0) {
            c.moveTo(m_colSizingLine, 0);
            c.lineTo(m_colSizingLine, viewport()->height());
        }
        if (m_rowSizingLine >= 0) {
            c.moveTo(0, m_rowSizingLine);
            c.lineTo(viewport()->width(), m_rowSizingLine);
        }
        c.pen() = keep;
    }
    if (m_designing && ShowDesignHelper())
        PaintDesignHelper(c);
    if (OnPainted)
        OnPainted(this);
}

void TExtStringGridPaint::PaintEmptyArea(Canvas& canvas)
{
    const int lastCol = ColCount() - 1;
    const int lastRow = RowCount() - 1;
    if (topRow() + visibleRowCount() < RowCount() && leftCol() + visibleColCount() < ColCount())
        return;
    const bool gradient = BackGround.Display() == bdGradientHorz || BackGround.Display() == bdGradientVert;
    if (gradient && BackGround.ColorTo() == clNone)
        return;
    const int cw = viewport()->width();
    const int ch = viewport()->height();
    platform::Region area;
    bool any = false;
    const Rect lastColRect = cellRect(lastCol, topRow()).inflated(GridLineWidth(), GridLineWidth());
    if (!lastColRect.isEmpty() && lastColRect.right < cw) {
        area = platform::Region(Rect{lastColRect.right, 0, cw, ch});
        any = true;
    }
    const Rect lastRowRect = cellRect(leftCol(), lastRow).inflated(GridLineWidth(), GridLineWidth());
    if (!lastRowRect.isEmpty() && lastRowRect.bottom < ch) {
        const platform::Region below(Rect{0, lastRowRect.bottom, cw, ch});
        area = any ? platform::CombineRgn(area, below, platform::RGN_OR) : below;
        any = true;
    }
    if (!any)
        return;
    // The search bar and the floating footer have their room outside the rows' area.
    const Rect target{0, 0, cw, ch};
    canvas.saveState();
    canvas.selectClipRegion(&area);
    const platform::Bitmap& bmp = BackGround.Bitmap();
    if (bmp.isEmpty() && gradient) {
        DrawGradientSteps(canvas, BackGround.Color(), BackGround.ColorTo(), BackGround.Display() == bdGradientHorz,
                          target, 128);
    } else if (!bmp.isEmpty() && BackGround.Display() != bdTile) {
        DrawCellBackgroundFixed(canvas, target);
    } else if (!bmp.isEmpty() && BackGround.Cells() != bcFixed) {
        Rect r = target;
        if (BackGround.Cells() == bcNormal) {
            const Rect first = cellRect(FixedCols(), FixedRows());
            r.left = first.left + XYOffset.x();
            r.top = first.top + XYOffset.y();
        }
        platform::Bitmap copy = bmp;
        const Canvas source(copy);
        for (int y = r.top - 1; y < r.bottom; y += bmp.height())
            for (int x = r.left - 1; x < r.right; x += bmp.width())
                canvas.copyRect(Rect{x, y, x + bmp.width(), y + bmp.height()}, source, Rect{0, 0, bmp.width(), bmp.height()});
    }
    canvas.restoreState();
}

bool TExtStringGridPaint::event(QEvent* e)
{
    const bool result = TExtStringGrid::event(e);
    if (e->type() == QEvent::Paint && m_updateCount < 1) {
        QPainter painter(this);
        PaintBorder(painter);
    }
    return result;
}

void TExtStringGridPaint::PaintBorder(QPainter& painter)
{
    const TGridLook look = Look();
    const bool coloured = look == glSoft || look == glVekko || look == glXP || look == glListView || look == glVista
                          || look == glWin7 || look == glOffice2007;
    if (!coloured || borderStyle() == platform::TBorderStyle::bsNone || BorderColor() == clNone || Flat())
        return;
    Canvas c(painter);
    const int w = width();
    const int h = height();
    c.pen() = Pen{BorderColor(), 1, PenStyle::Solid};
    c.moveTo(1, h);
    c.lineTo(1, 1);
    c.lineTo(w - 2, 1);
    c.lineTo(w - 2, h - 2);
    c.lineTo(1, h - 2);
    if (parentWidget()) {
        c.pen().color = platform::fromQColor(parentWidget()->palette().color(QPalette::Window));
        c.moveTo(0, h);
        c.lineTo(0, 0);
        c.lineTo(w - 1, 0);
        c.lineTo(w - 1, h - 1);
        c.lineTo(0, h - 1);
    }
}

void TExtStringGridPaint::SelectionChanged(int left, int top, int right, int bottom)
{
    const TGridLook look = Look();
    if (look == glVista || look == glWin7 || look == glOffice2007)
        RepaintRect(Selection());
    m_selChange = true;
    if (OnSelectionChanged)
        OnSelectionChanged(this, left, top, right, bottom);
}

void TExtStringGridPaint::RepaintActiveHeaders(int col1, int row1, int col2, int row2)
{
    const int cells[2][2] = {{col1, row1}, {col2, row2}};
    for (const auto& c : cells) {
        if (FixedRows() > 0)
            RepaintCell(c[0], FixedRows() - 1);
        if (FixedCols() > 0)
            RepaintCell(FixedCols() - 1, c[1]);
    }
}

// --- hooks ----------------------------------------------------------------------------------

void TExtStringGridPaint::FixedEdit(int col, int row, TGridFixedCellEditor& editor, platform::TStringList& values)
{
    if (OnFixedEdit)
        OnFixedEdit(this, col, row, editor, values);
}

void TExtStringGridPaint::EditorCaretMoved(const QString&, QPoint, int) {}

void TExtStringGridPaint::InsertRowAt(int row) { InsertRows(row, 1); }

void TExtStringGridPaint::AutoDeleteRow(int row)
{
    if (RowCount() - FixedRows() - FixedFooters() != 1 || FixedRowAlways())
        FreeAndDeleteRows(row, 1);
    else
        ClearRows(row, 1);
    if (OnAutoDeleteRow)
        OnAutoDeleteRow(this, row);
}

QString TExtStringGridPaint::FilterDisplayValue(int col, int row)
{
    QString text;
    GetCellDisplayValue(col, row, text);
    return text;
}

void TExtStringGridPaint::GetCellDisplayValue(int col, int row, QString& text) { text = Cells(col, row); }

void TExtStringGridPaint::SaveCell(int col, int row, QString& text)
{
    text = SaveVirtCells ? GetFormattedCell(col, row) : GetGridCell(col, row);
    if (text.isEmpty()) {
        switch (GetCellType(col, row)) {
        case ctCheckBox: {
            bool state = false;
            GetCheckBoxState(col, RealRowIndex(row), state);
            state ? GetCheckTrue(col, row, text) : GetCheckFalse(col, row, text);
            break;
        }
        case ctTriStateCheckBox: {
            TCheckBoxState state = cbUnchecked;
            GetCheckBoxState(col, RealRowIndex(row), state);
            state == cbChecked ? GetCheckTrue(col, row, text) : GetCheckFalse(col, row, text);
            break;
        }
        default:
            break;
        }
    }
    switch (GetTextKind(text, true)) {
    case 1:
        if (!SaveWithHTML)
            text = StripHTMLTags(text);
        break;
    case 2:
        if (SaveWithRTF)
            text.remove(u'\r').remove(u'\n');
        else
            text = RichTextToPlain(text);
        break;
    default:
        break;
    }
    if (OnSaveCell)
        OnSaveCell(this, col, row, text);
}

void TExtStringGridPaint::LoadCell(int col, int row, const QString& text)
{
    QString value = text;
    if (OnLoadCell)
        OnLoadCell(this, col, row, value);
    SetGridCell(col, row, value);
}

void TExtStringGridPaint::ExportNotification(TGridExportState, int) {}

void TExtStringGridPaint::HTMLPictureSources(THTMLDrawParams& params)
{
    params.Container = PictureContainer;
    params.ImageCache = &m_imageCache;
}
void TExtStringGridPaint::ImportNotification(TGridImportState, int) {}

} // namespace controls::grid
