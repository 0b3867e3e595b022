#include "controls/grid/auxwin/GridWindows.h"

#include "controls/grid/core/ExtStringGrid.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace controls::grid {

namespace {

// Nearest integer, halves to the even one.
int roundEven(double v) { return int(std::nearbyint(v)); }

constexpr int kThickness = 6;
constexpr int kMinThumb = 20;

} // namespace

TScrollControl::TScrollControl(TExtStringGrid* grid, TScrollDirection direction)
    : QWidget(grid ? grid->viewport() : nullptr)
    , m_grid(grid)
    , m_direction(direction)
{
    // Only the thumb is drawn: the cells under the control show through.
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
    setCursor(Qt::ArrowCursor);
    if (m_grid)
        m_grid->viewport()->installEventFilter(this);
    Place();
}

void TScrollControl::SetColor(platform::Color c)
{
    m_color = c;
    update();
}

void TScrollControl::Place()
{
    if (!m_grid)
        return;
    const QWidget* vp = m_grid->viewport();
    if (m_direction == sdVertical)
        setGeometry(vp->width() - kThickness, 0, kThickness, vp->height());
    else
        setGeometry(0, vp->height() - kThickness, vp->width(), kThickness);
}

bool TScrollControl::eventFilter(QObject* watched, QEvent* e)
{
    if (m_grid && watched == m_grid->viewport() && e->type() == QEvent::Resize)
        Place();
    return QWidget::eventFilter(watched, e);
}

int TScrollControl::total() const
{
    return m_direction == sdVertical ? m_grid->RowCount() : m_grid->ColCount();
}

int TScrollControl::fixed() const
{
    return m_direction == sdVertical ? m_grid->FixedRows() : m_grid->FixedCols();
}

int TScrollControl::visible() const
{
    return m_direction == sdVertical ? m_grid->visibleRowCount() : m_grid->visibleColCount();
}

int TScrollControl::top() const { return m_direction == sdVertical ? m_grid->TopRow() : m_grid->leftCol(); }

void TScrollControl::setTop(int value)
{
    if (m_direction == sdVertical)
        m_grid->SetTopRow(value);
    else
        m_grid->setLeftCol(value);
}

int TScrollControl::fixedSize() const
{
    int size = 0;
    for (int i = 0; i < fixed(); ++i)
        size += m_direction == sdVertical ? m_grid->rowHeights(i) : m_grid->colWidths(i);
    return size;
}

int TScrollControl::footerSize() const
{
    int size = 0;
    if (m_direction == sdVertical) {
        for (int i = 0; i < m_grid->FixedFooters(); ++i)
            size += m_grid->rowHeights(m_grid->RowCount() - 1 - i);
    } else {
        for (int i = 0; i < m_grid->FixedRightCols(); ++i)
            size += m_grid->colWidths(m_grid->ColCount() - 1 - i);
    }
    return size;
}

int TScrollControl::Length() const { return m_direction == sdVertical ? height() : width(); }

int TScrollControl::TrackLength() const
{
    if (!m_grid)
        return 0;
    return Length() - fixedSize() - footerSize();
}

int TScrollControl::ThumbSize() const
{
    if (!m_grid || total() <= 0)
        return kMinThumb;
    return std::max(kMinThumb, roundEven(double(TrackLength()) * visible() / total()));
}

int TScrollControl::ThumbPos() const
{
    if (!m_grid)
        return 0;
    const int span = total() - fixed();
    int pos = fixedSize();
    if (span > 0)
        pos += roundEven(double(TrackLength()) * (top() - fixed()) / span);
    if (pos + ThumbSize() > Length())
        pos = Length() - ThumbSize();
    return pos;
}

bool TScrollControl::ThumbShown() const { return m_grid && visible() < total() - fixed(); }

void TScrollControl::PressAt(int pos)
{
    if (!m_grid)
        return;
    const int thumb = ThumbPos();
    if (pos < thumb) {
        setTop(std::max(fixed(), top() - visible()));
    } else if (pos >= thumb + ThumbSize()) {
        setTop(std::min(top() + visible(), total() - visible()));
    } else {
        m_downOnScroller = true;
        m_downPos = pos;
        m_downRow = top();
    }
    update();
}

void TScrollControl::DragTo(int pos)
{
    if (!m_grid || !m_downOnScroller)
        return;
    const int first = m_direction == sdVertical ? m_grid->rowHeights(0) : m_grid->colWidths(0);
    const int span = std::max(1, Length() - first);
    const int moved = roundEven(double(pos - m_downPos) / span * total());
    const int target = std::min(moved + m_downRow, total() - visible());
    setTop(std::max(fixed(), target));
    update();
}

void TScrollControl::paintEvent(QPaintEvent*)
{
    if (!ThumbShown())
        return;
    platform::Canvas canvas(this);
    canvas.pen() = platform::Pen{m_color, 1, platform::PenStyle::Solid};
    canvas.brush() = platform::Brush{m_color, platform::BrushStyle::Solid};
    const int pos = ThumbPos();
    const int size = ThumbSize();
    if (m_direction == sdVertical)
        canvas.rectangle(Rect{0, pos, ScrollWidth, pos + size});
    else
        canvas.rectangle(Rect{pos, 0, pos + size, ScrollWidth});
}

void TScrollControl::mousePressEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton)
        PressAt(along(e->pos()));
}

void TScrollControl::mouseMoveEvent(QMouseEvent* e) { DragTo(along(e->pos())); }

void TScrollControl::mouseReleaseEvent(QMouseEvent*) { Release(); }

} // namespace controls::grid
