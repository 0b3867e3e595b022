// The floating footer: its settings' effects on the grid (FixedFooters, HideLastRow, the strip's
// room below the rows) and the strip that paints the last row, a preview of the current row or
// the application's own footer.
#include "controls/grid/core/FloatingFooter.h"

#include "controls/grid/core/ExtStringGrid.h"
#include "controls/grid/html/HTMLDraw.h"
#include "platform/core/Conversions.h"

#include <QEvent>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

namespace controls::grid {

using platform::Brush;
using platform::BrushStyle;
using platform::Pen;
using platform::PenStyle;

// --- the settings ----------------------------------------------------------------------------------------

void TFloatingFooter::changed(bool layout)
{
    if (!m_grid)
        return;
    if (layout)
        m_grid->FloatingFooterChanged();
    else
        m_grid->UpdateFooter();
}

void TFloatingFooter::SetVisible(bool on)
{
    Visible = on;
    changed(true);
}

void TFloatingFooter::SetFooterStyle(TFloatingFooterStyle style)
{
    FooterStyle = style;
    changed(true);
}

void TFloatingFooter::SetHeight(int h)
{
    Height = h;
    if (h > 0)
        changed(true);
}

void TFloatingFooter::SetColor(platform::Color c)
{
    Color = c;
    changed(false);
}

void TFloatingFooter::SetBorderColor(platform::Color c)
{
    if (c == BorderColor)
        return;
    BorderColor = c;
    changed(false);
}

void TFloatingFooter::SetColumn(int col)
{
    Column = col;
    changed(false);
}

void TFloatingFooter::SetCustomTemplate(const QString& text)
{
    CustomTemplate = text;
    changed(false);
}

void TFloatingFooter::SetShowHint(bool on) { ShowHint = on; }

TColumnCalcType TFloatingFooter::ColumnCalc(int col) const
{
    if (!m_grid || m_grid->RowCount() < 1 || col < 0 || col >= m_grid->TotalColCount())
        return acNONE;
    const int last = m_grid->RowCount() - 1;
    const TCellProperties* p = m_grid->GetGridObject(col, last);
    return p ? p->CalcType : acNONE;
}

void TFloatingFooter::SetColumnCalc(int col, TColumnCalcType type)
{
    if (!m_grid || m_grid->RowCount() < 1 || col < 0 || col >= m_grid->TotalColCount())
        return;
    m_grid->GetCellProperties(col, m_grid->RowCount() - 1)->CalcType = type;
    m_grid->ColumnValueChanged(col);
}

void TFloatingFooter::Invalidate() { changed(false); }

void TFloatingFooter::Assign(const platform::TPersistent* source)
{
    const auto* s = dynamic_cast<const TFloatingFooter*>(source);
    if (!s)
        return;
    CalculateHiddenRows = s->CalculateHiddenRows;
    Color = s->Color;
    Column = s->Column;
    CustomTemplate = s->CustomTemplate;
    FooterStyle = s->FooterStyle;
    SetVisible(s->Visible);
    ShowHint = s->ShowHint;
}

// --- the grid's side --------------------------------------------------------------------------------------

QWidget* TExtStringGrid::FooterPanel() const { return m_footerPanel; }

void TExtStringGrid::FloatingFooterChanged()
{
    const bool lastRow = FloatingFooter.Visible && FloatingFooter.FooterStyle == fsFixedLastRow;
    SetFixedFooters(lastRow ? 1 : 0);
    SetHideLastRow(lastRow);
    if (FloatingFooter.Visible && !m_footerPanel) {
        m_footerPanel = new TFooterPanel(this);
        if (OnCreatedFloatingFooter)
            OnCreatedFloatingFooter(this);
    }
    // The rows' area gives up the strip's room; a search bar's room below it stays.
    const int h = FloatingFooter.Visible ? std::max(0, FloatingFooter.Height - 1) : 0;
    QMargins m = viewportMargins();
    m.setBottom(std::max(0, m.bottom() - m_footerMargin) + h);
    m_footerMargin = h;
    setViewportMargins(m);
    if (auto* panel = static_cast<TFooterPanel*>(m_footerPanel.data())) {
        panel->setVisible(FloatingFooter.Visible);
        panel->Place();
        panel->update();
    }
    invalidate();
}

void TExtStringGrid::UpdateFooter()
{
    if (m_footerPanel)
        m_footerPanel->update();
}

void TExtStringGrid::LastRowChanged()
{
    TBaseGrid::LastRowChanged();
    UpdateFooter();
}

void TExtStringGrid::HTMLPictureSources(THTMLDrawParams&) {}

void TExtStringGrid::FooterPanelClick(int)
{
    if (onClick)
        onClick(this);
}

// --- the template ------------------------------------------------------------------------------------------

QString ExpandFooterTemplate(const QString& tmpl, const std::function<QString(int col)>& cellText)
{
    QString result;
    QString rest = tmpl;
    for (qsizetype at = rest.indexOf(QStringLiteral("<#")); at >= 0; at = rest.indexOf(QStringLiteral("<#"))) {
        result += rest.left(at);
        const qsizetype close = rest.indexOf(u'>', at);
        const QString tag = close < 0 ? rest.mid(at + 2) : rest.mid(at + 2, close - at - 2);
        rest = close < 0 ? QString() : rest.mid(close + 1);
        int n = 0;
        if (platform::TryStrToInt(tag, n))
            result += cellText(n);
    }
    return result + rest;
}

// --- the strip ----------------------------------------------------------------------------------------------

TFooterPanel::TFooterPanel(TExtStringGrid* grid) : QWidget(grid), m_grid(grid)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_viewport = m_grid->viewport();
    m_viewport->installEventFilter(this);
    Place();
}

bool TFooterPanel::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == m_viewport && (e->type() == QEvent::Resize || e->type() == QEvent::Move))
        Place();
    return QWidget::eventFilter(watched, e);
}

void TFooterPanel::Place()
{
    const QRect vp = m_grid->viewport()->geometry();
    const int h = std::max(0, m_grid->FloatingFooter.Height - 1);
    setGeometry(vp.left(), vp.bottom() + 1, vp.width(), m_grid->FloatingFooter.Visible ? h : 0);
}

int TFooterPanel::FooterWidth() const
{
    int w = 0;
    for (int c = 0; c < m_grid->fixedCols(); ++c)
        w += m_grid->colWidths(c);
    for (int c = m_grid->leftCol(); c < m_grid->ColCount(); ++c)
        w += m_grid->colWidths(c);
    return w;
}

int TFooterPanel::ColumnAt(int x) const
{
    int sum = 0;
    for (int c = 0; c < m_grid->fixedCols(); ++c) {
        sum += m_grid->colWidths(c);
        if (x < sum)
            return c;
    }
    for (int c = m_grid->leftCol(); c < m_grid->ColCount(); ++c) {
        sum += m_grid->colWidths(c);
        if (x < sum)
            return c;
    }
    return -1;
}

QString TFooterPanel::HintAt(int x)
{
    const int c = ColumnAt(x);
    QString hint;
    if (c >= 0 && m_grid->OnGridHint)
        m_grid->OnGridHint(m_grid, m_grid->RowCount() - 1, c, hint);
    m_lastHintX = m_grid->FloatingFooter.ShowHint && c >= 0 ? c : -1;
    return m_grid->FloatingFooter.ShowHint ? hint : QString();
}

bool TFooterPanel::event(QEvent* e)
{
    if (e->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(e);
        const QString hint = HintAt(help->pos().x());
        if (hint.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), hint, this);
        return true;
    }
    return QWidget::event(e);
}

void TFooterPanel::mouseMoveEvent(QMouseEvent* e)
{
    const int c = ColumnAt(e->position().toPoint().x());
    if (m_grid->FloatingFooter.ShowHint && m_lastHintX != -1 && c != m_lastHintX) {
        QToolTip::hideText();
        m_lastHintX = c;
    }
    QWidget::mouseMoveEvent(e);
}

void TFooterPanel::leaveEvent(QEvent* e)
{
    m_lastHintX = -1;
    QWidget::leaveEvent(e);
}

void TFooterPanel::mouseReleaseEvent(QMouseEvent* e)
{
    QWidget::mouseReleaseEvent(e);
    m_grid->FooterPanelClick(ColumnAt(e->position().toPoint().x()));
}

void TFooterPanel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    platform::Canvas canvas(painter);
    PaintTo(canvas);
}

void TFooterPanel::PaintTo(platform::Canvas& canvas)
{
    const TFloatingFooter& f = m_grid->FloatingFooter;
    int painted = width();
    switch (f.FooterStyle) {
    case fsFixedLastRow:
        painted = paintFixedLastRow(canvas);
        break;
    case fsColumnPreview:
        painted = paintPreview(canvas, false);
        break;
    case fsCustomPreview:
        painted = paintPreview(canvas, true);
        break;
    case fsCustomPaint:
        if (m_grid->OnPaintFooter)
            m_grid->OnPaintFooter(this, f.Column, canvas, Rect{0, 0, width(), height()});
        break;
    }
    if (f.BorderColor != platform::clNone) {
        canvas.pen() = Pen{f.BorderColor, 1, PenStyle::Solid};
        canvas.moveTo(0, 0);
        canvas.lineTo(painted, 0);
    }
}

int TFooterPanel::paintFixedLastRow(platform::Canvas& canvas)
{
    // The grid lays its columns out from the left in either reading order (the reading order
    // turns only the texts), so the strip does the same: a mirrored strip would put each
    // footer cell under another column, and clicks and hints would name columns it does not show.
    TExtStringGrid& g = *m_grid;
    const int w = std::min(FooterWidth(), width());
    canvas.brush() = Brush{g.FloatingFooter.Color, BrushStyle::Solid};
    canvas.fillRect(Rect{0, 0, w, height()});
    canvas.brush() = Brush{g.color(), BrushStyle::Solid};
    canvas.fillRect(Rect{w, 0, width(), height()});

    const bool vert = g.options().testFlag(platform::goFixedVertLine);
    const bool horz = g.options().testFlag(platform::goFixedHorzLine);
    const TGridLook look = g.Look();
    const bool softLook = (look == glSoft || look == glVekko || look == glXP || look == glVista) && !g.Flat();
    const int lastRow = g.RowCount() - 1;
    if (lastRow < 0)
        return w;
    std::vector<int> cols;
    for (int c = 0; c < g.fixedCols(); ++c)
        cols.push_back(c);
    for (int c = std::max(g.leftCol(), g.fixedCols()); c < g.ColCount(); ++c)
        cols.push_back(c);

    // Column lines.
    int x = 0;
    Color pen = g.GridLineColor();
    for (int c : cols) {
        const int left = x;
        const int right = x + g.colWidths(c);
        if (c >= g.fixedCols() && look != glVista)
            pen = 0x808080;
        if (vert && softLook) {
            canvas.pen() = Pen{platform::clWhite, 1, PenStyle::Solid};
            canvas.moveTo(left, 0);
            canvas.lineTo(left, height());
        }
        if (horz) {
            canvas.pen() = Pen{pen, 1, PenStyle::Solid};
            canvas.moveTo(left, 0);
            canvas.lineTo(right, 0);
        }
        if (vert) {
            canvas.pen() = Pen{pen, 1, PenStyle::Solid};
            canvas.moveTo(right - 1, 0);
            canvas.lineTo(right - 1, height());
        }
        x = right;
    }

    // Cells.
    const int top = horz ? 1 : 0;
    x = 0;
    for (int c : cols) {
        int cw = g.colWidths(c);
        const int real = g.RealColIndex(c);
        if (g.HasCellProperties(real, lastRow) && g.IsBaseCell(real, lastRow)) {
            const QPoint span = g.CellSpan(real, lastRow);
            for (int i = 1; i <= span.x() && c + i < g.ColCount(); ++i)
                cw += g.colWidths(c + i);
        }
        Rect r{x, top, x + cw, height()};
        if (horz && softLook)
            r.left += 1;
        if (c >= g.fixedCols()) {
            if (g.OnGetCellColor) {
                Brush brush{platform::clNone, BrushStyle::Solid};
                platform::Font font;
                g.OnGetCellColor(&g, lastRow, real, TGridDrawState(platform::gdFixed), brush, font);
                if (brush.color != platform::clNone) {
                    canvas.brush() = brush;
                    canvas.fillRect(r);
                }
            }
            const Color cellColor = g.Colors(real, lastRow);
            if (cellColor != platform::clNone) {
                canvas.brush() = Brush{cellColor, BrushStyle::Solid};
                canvas.fillRect(r);
            }
        }
        if (g.IsBaseCell(real, lastRow)) {
            if (g.OnPaintFooter && c >= g.fixedCols())
                g.OnPaintFooter(this, c, canvas, r);
            else
                g.DrawCellContents(canvas, c, lastRow, r, TGridDrawState(platform::gdFixed));
        }
        x += g.colWidths(c);
    }
    return w;
}

int TFooterPanel::paintPreview(platform::Canvas& canvas, bool custom)
{
    TExtStringGrid& g = *m_grid;
    const TFloatingFooter& f = g.FloatingFooter;
    const int w = std::min(FooterWidth(), width());
    const Rect area{0, 0, w, height()};
    canvas.brush() = Brush{f.Color, BrushStyle::Solid};
    canvas.fillRect(area);
    canvas.pen() = Pen{0x808080, 1, PenStyle::Solid};
    canvas.moveTo(0, height() - 1);
    canvas.lineTo(w - 1, height() - 1);
    canvas.lineTo(w - 1, 0);
    canvas.pen() = Pen{platform::clWhite, 1, PenStyle::Solid};
    canvas.moveTo(w - 1, 0);
    canvas.lineTo(0, 0);
    canvas.lineTo(0, height() - 1);
    if (!custom) {
        const Color selText = g.SelectionTextColor();
        g.SetSelectionTextColor(platform::clBlack);
        if (g.OnPaintFooter)
            g.OnPaintFooter(this, f.Column, canvas, area);
        else if (f.Column >= 0 && f.Column < g.ColCount() && g.Row() < g.RowCount())
            g.DrawCellContents(canvas, f.Column, g.Row(), area, TGridDrawState());
        g.SetSelectionTextColor(selText);
    } else {
        const int row = g.Row();
        const QString text = ExpandFooterTemplate(f.CustomTemplate, [&g, row](int n) {
            if (n < 0 || n >= g.ColCount() || row < 0 || row >= g.RowCount())
                return QString();
            QString value = g.Cells(g.RealColIndex(n), row);
            g.GetDisplText(n, row, value);
            return value;
        });
        THTMLDrawParams params;
        params.Images = g.GridImages();
        g.HTMLPictureSources(params);
        params.AnchorColor = g.URLColor();
        params.ShadowColor = platform::clGray;
        params.Window = this;
        THTMLDrawResult result;
        Rect r = area;
        r.top += 2;
        HTMLDrawText(canvas, text, r, params, result);
    }
    canvas.brush() = Brush{g.color(), BrushStyle::Solid};
    canvas.fillRect(Rect{w, 0, width(), height()});
    return w;
}

} // namespace controls::grid
