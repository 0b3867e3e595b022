#include "controls/grid/editors/XgrDateTimePicker.h"

#include "controls/grid/editors/FlatLook.h"
#include "controls/grid/style/ExtStyle.h"
#include "platform/draw/Theme.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>

namespace controls::grid {

using namespace platform;

QString VersionText(quint32 version)
{
    return QStringLiteral("%1.%2.%3.%4")
        .arg(version >> 24)
        .arg((version >> 16) & 0xFF)
        .arg((version >> 8) & 0xFF)
        .arg(version & 0xFF);
}

TFlatDateTimePicker::TFlatDateTimePicker(QWidget* parent) : TDateTimePicker(parent)
{
    setMouseTracking(true);
    m_isThemed = IsComCtl32Version6();
    IsWinXP = IsWinXPOrLater();
    SetButtonWidth(17 + 2);
}

void TFlatDateTimePicker::SetBorderStyle(TPickerBorderStyle style)
{
    if (style == m_borderStyle)
        return;
    m_borderStyle = style;
    update();
}

void TFlatDateTimePicker::SetBorderColor(Color c)
{
    if (c == m_borderColor)
        return;
    m_borderColor = c;
    update();
}

void TFlatDateTimePicker::SetMetroStyle(bool on)
{
    if (on == m_metroStyle)
        return;
    m_metroStyle = on;
    update();
}

bool TFlatDateTimePicker::MetroActive() const { return m_metroStyle; }

bool TFlatDateTimePicker::IsMouseButtonDown() const
{
    return QGuiApplication::mouseButtons() & (Qt::LeftButton | Qt::RightButton);
}

bool TFlatDateTimePicker::FlatEdgeWanted() const { return !Ctl3D && m_borderColor != clNone; }

bool TFlatDateTimePicker::DoVisualStyles() const { return m_isThemed && IsThemeActive(); }

bool TFlatDateTimePicker::IsActive() const
{
    return m_mouseInControl || hasFocus() || QApplication::focusWidget() == this;
}

Color TFlatDateTimePicker::ParentBrushColor() const
{
    if (!parentWidget())
        return clBtnFace;
    return fromQColor(parentWidget()->palette().color(QPalette::Window));
}

Color TFlatDateTimePicker::FlatEdgeColor() const
{
    if (m_borderStyle == pbsNone && parentWidget())
        return ParentBrushColor();
    return m_isThemed ? rgb(127, 157, 185) : m_borderColor;
}

void TFlatDateTimePicker::DrawFlatEdge(Canvas& canvas)
{
    const int w = width(), h = height();
    canvas.pen() = Pen{FlatEdgeColor(), 1, PenStyle::Solid};
    canvas.moveTo(0, h);
    canvas.lineTo(0, 0);
    canvas.lineTo(w - 1, 0);
    canvas.lineTo(w - 1, h - 1);
    canvas.lineTo(0, h - 1);
    if (!parentWidget())
        return;
    if (m_borderStyle == pbsSingle)
        canvas.pen() = Pen{ParentBrushColor(), 1, PenStyle::Solid};
    canvas.moveTo(1, h - 2);
    canvas.lineTo(1, 1);
    canvas.lineTo(w - 1, 1);
}

void TFlatDateTimePicker::DrawBorders(Canvas& canvas)
{
    if (SuppressOwnPainting() || !MetroActive())
        return;
    if (isEnabled() && m_borderColor == clNone && FocusBorderColor == clNone)
        return;
    const int state = canvas.saveState();
    TFlatBorder b;
    b.enabled = isEnabled();
    b.themed = m_isThemed;
    b.disabledBorder = DisabledBorder;
    b.borderColor = m_borderColor;
    b.focusBorderColor = FocusBorderColor;
    b.hasFocus = m_hasFocus;
    b.focusBorderActive = IsActive() && FocusBorder;
    b.parentColor = ParentBrushColor();
    b.controlColor = GetColor();
    b.buttonWidth = ButtonWidth();
    DrawFlatControlBorder(canvas, width(), height(), b);
    if (!(IsWinXP && DoVisualStyles()))
        DrawFlatButtonFrame(canvas, width(), height(), ButtonWidth(), IsActive(), true, DroppedDown());
    canvas.restoreState(state);
}

void TFlatDateTimePicker::DrawPickerButton(Canvas& canvas)
{
    TDropButton b;
    b.buttonColor = ButtonColor;
    b.buttonColorHot = ButtonColorHot;
    b.buttonColorDown = ButtonColorDown;
    b.buttonBorderColor = ButtonBorderColor;
    b.buttonTextColor = ButtonTextColor;
    b.buttonTextColorDown = ButtonTextColorDown;
    b.hover = m_buttonHover;
    b.mouseDown = IsMouseButtonDown();
    b.dropped = DroppedDown();
    b.enabled = isEnabled();
    b.visualStyles = DoVisualStyles();
    DrawDropButton(canvas, this, width(), height(), ButtonWidth(), b, true);
    canvas.excludeClipRect(Rect{width() - ButtonWidth() - 4, 0, width() + 2, height()});
}

void TFlatDateTimePicker::PaintOutline(Canvas&) {}

void TFlatDateTimePicker::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    Canvas canvas(painter);
    // The platform control paints its fields and its button first.
    PaintControl(canvas);
    // The border around them.
    if (FlatEdgeWanted())
        DrawFlatEdge(canvas);
    if (!isEnabled() && DoVisualStyles() && !DisabledBorder)
        DrawBorders(canvas);
    if ((FocusBorderColor != clNone && hasFocus()) || m_borderColor != clNone)
        DrawBorders(canvas);
    // The own drop-down button, and the outline of the picker with a time field.
    if (Ctl3D && !MetroActive())
        return;
    if (MetroActive() && Kind() != dtkTime) {
        const int state = canvas.saveState();
        canvas.brush() = Brush{GetColor(), BrushStyle::Solid};
        if (IsComCtl32Version6() && IsThemeActive())
            canvas.fillRect(Rect{width() - ButtonWidth() - ButtonFillOffset(), 1, width(), height()});
        else
            canvas.fillRect(Rect{width() - ButtonWidth() - 2, 4, width() - 2, height() - 4});
        DrawPickerButton(canvas);
        canvas.restoreState(state);
    }
    PaintOutline(canvas);
    DrawBorders(canvas);
}

void TFlatDateTimePicker::focusInEvent(QFocusEvent* e)
{
    TDateTimePicker::focusInEvent(e);
    m_hasFocus = true;
    update();
}

void TFlatDateTimePicker::focusOutEvent(QFocusEvent* e)
{
    TDateTimePicker::focusOutEvent(e);
    if (DroppedDown())
        return;
    m_hasFocus = false;
    update();
}

void TFlatDateTimePicker::enterEvent(QEnterEvent* e)
{
    TDateTimePicker::enterEvent(e);
    if (!m_mouseInControl && isEnabled()) {
        m_mouseInControl = true;
        update();
    }
}

void TFlatDateTimePicker::leaveEvent(QEvent* e)
{
    TDateTimePicker::leaveEvent(e);
    if (m_mouseInControl && isEnabled())
        m_mouseInControl = false;
    m_buttonHover = false;
    update();
}

void TFlatDateTimePicker::mouseMoveEvent(QMouseEvent* e)
{
    TDateTimePicker::mouseMoveEvent(e);
    const int x = int(e->position().x());
    const bool over = width() - ButtonWidth() < x && x < width();
    if (over != m_buttonHover) {
        m_buttonHover = over;
        update();
    }
}

void TFlatDateTimePicker::changeEvent(QEvent* e)
{
    TDateTimePicker::changeEvent(e);
    if (e->type() == QEvent::EnabledChange)
        update();
}

// --- TXgrDateTimePicker ------------------------------------------------------------------------------

TXgrDateTimePicker::TXgrDateTimePicker(QWidget* parent) : TFlatDateTimePicker(parent)
{
    Ctl3D = true;
    // The border style goes through the setter as single, then is kept as none.
    SetBorderStyle(pbsSingle);
    m_borderStyle = pbsNone;
}

} // namespace controls::grid
