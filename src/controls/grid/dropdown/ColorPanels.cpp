#include "controls/grid/dropdown/ColorPanels.h"

#include <QColor>
#include <QMouseEvent>
#include <QToolTip>

namespace controls::grid::dropdown {

using namespace platform;

// --- the cube --------------------------------------------------------------------------------------------

TExtColorCubePanel::TExtColorCubePanel(QWidget* parent) : TExtCustomColorSelectorPanel(parent)
{
    setMouseTracking(true);
    ResetPanel();
}

void TExtColorCubePanel::SetSelectedColor(Color c)
{
    m_selection.Set(c, -1);
    update();
}

void TExtColorCubePanel::SetShowRGBHint(bool on)
{
    m_showRGBHint = on;
    if (!on)
        setToolTip(QString());
}

void TExtColorCubePanel::ResetPanel()
{
    m_hot = -1;
    resize(kCubePanelWidth, kCubePanelHeight);
    update();
}

void TExtColorCubePanel::DrawCell(Canvas& c, int index)
{
    if (index < 1 || index > 127)
        return;
    const TCubeCell& cell = CubeCells()[size_t(index - 1)];
    auto hexagon = [&](int a, int b) {
        const auto pts = CubeHexagon(cell.center, a, b);
        c.polygon(std::span<const QPoint>(pts.data(), pts.size()));
    };
    c.pen() = Pen{cell.color, 1, PenStyle::Solid};
    c.brush() = Brush{cell.color, BrushStyle::Solid};
    hexagon(3, 6);
    const bool selected = index == m_selection.SelectedIndex;
    if (index == m_hot || selected) {
        c.brush().style = BrushStyle::Clear;
        c.pen() = Pen{selected ? clBlack : clRed, 1, PenStyle::Solid};
        hexagon(3, 5);
        c.pen() = Pen{clWhite, 1, PenStyle::Solid};
        hexagon(2, 4);
    }
}

void TExtColorCubePanel::paintEvent(QPaintEvent*)
{
    Canvas c(this);
    for (int i = 1; i <= 127; ++i)
        if (i != m_hot && i != m_selection.SelectedIndex)
            DrawCell(c, i);
    DrawCell(c, m_hot);
    DrawCell(c, m_selection.SelectedIndex);
}

void TExtColorCubePanel::mousePressEvent(QMouseEvent* e)
{
    const QPoint p = e->position().toPoint();
    const int cell = CubeCellAtPos(p.x(), p.y());
    if (cell > 0) {
        m_selection.Set(CubeCells()[size_t(cell - 1)].color, cell);
        update();
        if (OnSelect)
            OnSelect(this);
    }
    e->accept();
}

void TExtColorCubePanel::mouseMoveEvent(QMouseEvent* e)
{
    const QPoint p = e->position().toPoint();
    const int cell = CubeCellAtPos(p.x(), p.y());
    if (cell > 0 && cell != m_hot) {
        m_hot = cell;
        update();
        if (m_showRGBHint) {
            const Color col = CubeCells()[size_t(cell - 1)].color;
            setToolTip(QStringLiteral("Red: %1,  Green: %2,  Blue: %3")
                           .arg(col & 0xFF)
                           .arg((col >> 8) & 0xFF)
                           .arg((col >> 16) & 0xFF));
            QToolTip::hideText();
        }
    } else if (cell < 0 && m_showRGBHint) {
        setToolTip(QString());
        QToolTip::hideText();
    }
}

void TExtColorCubePanel::mouseReleaseEvent(QMouseEvent* e)
{
    e->accept();
    if (OnShouldHide)
        OnShouldHide(this);
}

// --- the spectrum ----------------------------------------------------------------------------------------

TSpectrumImage::TSpectrumImage(QWidget* parent) : QWidget(parent), m_bitmap(128, 128)
{
    setMouseTracking(true);
    setCursor(Qt::CrossCursor);
    resize(128, 128);
    // Hue from left to right; from the pale top through the full colour to the dark bottom.
    for (int y = 0; y < 128; ++y) {
        for (int x = 0; x < 128; ++x) {
            const double hue = x / 128.0;
            const double lightness = 0.95 - 0.85 * y / 127.0;
            const QColor q = QColor::fromHslF(float(hue), 1.0f, float(lightness));
            m_bitmap.setPixel(x, y, rgb(q.red(), q.green(), q.blue()));
        }
    }
}

void TSpectrumImage::paintEvent(QPaintEvent*)
{
    Canvas c(this);
    c.draw(0, 0, m_bitmap);
}

void TSpectrumImage::mousePressEvent(QMouseEvent* e)
{
    if (OnDown)
        OnDown(int(e->position().x()), int(e->position().y()));
    e->accept();
}

void TSpectrumImage::mouseMoveEvent(QMouseEvent* e)
{
    if (OnMove)
        OnMove(int(e->position().x()), int(e->position().y()));
}

void TSpectrumImage::mouseReleaseEvent(QMouseEvent* e)
{
    if (OnUp)
        OnUp(int(e->position().x()), int(e->position().y()));
    e->accept();
}

TExtColorSpectrumPanel::TExtColorSpectrumPanel(QWidget* parent)
    : TExtCustomColorSelectorPanel(parent), m_image(new TSpectrumImage(this))
{
    m_image->OnMove = [this](int x, int y) {
        m_hot = m_image->Bitmap().pixel(x, y);
        update(m_layout.hotSwatch.inflated(1, 1).toQRect());
    };
    m_image->OnDown = [this](int x, int y) {
        m_hot = m_image->Bitmap().pixel(x, y);
        m_selected = m_hot;
        update();
        if (OnSelect)
            OnSelect(this);
    };
    m_image->OnUp = [this](int, int) {
        if (OnShouldHide)
            OnShouldHide(this);
    };
    ArrangePanel();
}

void TExtColorSpectrumPanel::ArrangePanel()
{
    m_layout = ArrangeSpectrum();
    resize(m_layout.panel);
    m_image->setGeometry(m_layout.picture.toQRect());
    m_hot = clNone;
    update();
}

void TExtColorSpectrumPanel::paintEvent(QPaintEvent*)
{
    Canvas c(this);
    c.brush().style = BrushStyle::Clear;
    c.pen() = Pen{clWhite, 1, PenStyle::Solid};
    c.rectangle(m_layout.picture.inflated(1, 1));
    c.pen() = Pen{0x808080, 1, PenStyle::Solid};
    c.rectangle(m_layout.picture.inflated(2, 2));
    for (const auto& [r, col] : {std::pair{m_layout.selectedSwatch, m_selected}, std::pair{m_layout.hotSwatch, m_hot}}) {
        c.brush().style = BrushStyle::Clear;
        c.pen() = Pen{0x808080, 1, PenStyle::Solid};
        c.rectangle(r.inflated(1, 1));
        c.pen() = Pen{clWhite, 1, PenStyle::Solid};
        c.brush() = Brush{col, col == clNone ? BrushStyle::Clear : BrushStyle::Solid};
        c.rectangle(r);
    }
}

// --- the theme palette -----------------------------------------------------------------------------------

TCustomColorSelector::TCustomColorSelector(QWidget* parent) : QWidget(parent)
{
    setMouseTracking(true);
    m_model.InvalidateBox = [this](int i) { update(m_model.Items[size_t(i)].rect.inflated(1, 1).toQRect()); };
    m_model.DrawBox = m_model.InvalidateBox;
    m_model.OnItemSelect = [this] {
        if (OnItemSelect)
            OnItemSelect(this);
    };
    SetItemColorStyle(scOffice2007);
}

void TCustomColorSelector::SetItemColorStyle(TSelectionColorStyle style)
{
    if (style == m_colorStyle)
        return;
    m_colorStyle = style;
    if (style == scCustom)
        return;
    ColorBoxAppearance = TColorBoxAppearance{};
}

void TCustomColorSelector::ArrangeBoxes()
{
    resize(m_model.ArrangeBoxes());
    update();
}

void TCustomColorSelector::HandleKey(quint16 key, bool editorEnabled, bool droppedDown)
{
    if (isEnabled())
        m_model.HandleKey(key, editorEnabled, droppedDown);
}

void TCustomColorSelector::DrawColorBox(Canvas& c, int index)
{
    const TColorBox& box = m_model.Items[size_t(index)];
    const Rect r = box.rect;
    Color border = ColorBoxAppearance.BorderColor, inner = clNone;
    const bool hot = index == m_model.ItemHot, selected = index == m_model.ItemIndex;
    if (hot) {
        border = ColorBoxAppearance.OuterBorderColorHot;
        inner = ColorBoxAppearance.InnerBorderColorHot;
    }
    if (selected) {
        border = ColorBoxAppearance.OuterBorderColorSelected;
        inner = ColorBoxAppearance.InnerBorderColorSelected;
    }
    if (box.color != clNone) {
        c.pen() = Pen{box.color, 1, PenStyle::Solid};
        c.brush() = Brush{box.color, BrushStyle::Solid};
        c.rectangle(r);
    }
    if (hot || selected) {
        c.brush().style = BrushStyle::Clear;
        if (border != clNone) {
            c.pen() = Pen{border, 1, PenStyle::Solid};
            c.rectangle(r);
        }
        if (inner != clNone) {
            c.pen() = Pen{inner, 1, PenStyle::Solid};
            c.rectangle(r.inflated(-1, -1));
        }
        return;
    }
    c.pen() = Pen{ColorBoxAppearance.BorderColor, 1, PenStyle::Solid};
    const int L = r.left, T = r.top, R = r.right - 1, B = r.bottom - 1;
    switch (box.pos) {
    case ipStandAlone:
        c.polyline({QPoint(L, B), QPoint(L, T), QPoint(R, T), QPoint(R, B), QPoint(L, B), QPoint(L, B - 1)});
        break;
    case ipTop:
        c.polyline({QPoint(L, B + 1), QPoint(L, T), QPoint(R, T), QPoint(R, B + 1)});
        break;
    case ipMiddle:
        c.polyline({QPoint(L, T), QPoint(L, B + 1)});
        c.polyline({QPoint(R, T), QPoint(R, B + 1)});
        break;
    case ipBottom:
        c.polyline({QPoint(L, T), QPoint(L, B), QPoint(R, B), QPoint(R, B - 1)});
        c.polyline({QPoint(R, T), QPoint(R, B + 1)});
        break;
    }
}

void TCustomColorSelector::paintEvent(QPaintEvent*)
{
    Canvas c(this);
    for (size_t i = 0; i < m_model.Items.size(); ++i)
        DrawColorBox(c, int(i));
}

void TCustomColorSelector::mousePressEvent(QMouseEvent* e)
{
    m_model.MouseDown(int(e->position().x()), int(e->position().y()));
    e->accept();
}

void TCustomColorSelector::mouseMoveEvent(QMouseEvent* e) { m_model.MouseMove(int(e->position().x()), int(e->position().y())); }

void TCustomColorSelector::leaveEvent(QEvent*) { m_model.MouseLeave(); }

} // namespace controls::grid::dropdown
