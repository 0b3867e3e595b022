#include "controls/grid/editors/XgrEdit.h"

#include "controls/grid/editors/EditorRules.h"
#include "platform/draw/Frames.h"
#include "platform/draw/Theme.h"

#include <QAction>
#include <QApplication>
#include <QFontMetrics>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

namespace controls::grid {

using namespace platform;

// --- TExtSpeedButton ----------------------------------------------------------------------------

TExtSpeedButton::TExtSpeedButton(TXgrEditButton* owner) : TSpeedButton(owner), m_owner(owner) {}

void TExtSpeedButton::SetCaption(const QString& caption)
{
    m_caption = caption;
    update();
}

void TExtSpeedButton::SetGlyph(const Bitmap& glyph)
{
    m_glyph = glyph;
    update();
}

void TExtSpeedButton::MouseUp(bool)
{
    if (OnMouseUp)
        OnMouseUp(this);
}

void TExtSpeedButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    Canvas canvas(painter);
    Rect r{0, 0, width(), height()};
    const bool down = Down();
    if (m_owner->ButtonColor != clNone) {
        Flat = true;
        Color face = m_owner->ButtonColor;
        if (down && m_owner->ButtonColorDown != clNone)
            face = m_owner->ButtonColorDown;
        else if (Hot() && m_owner->ButtonColorHot != clNone)
            face = m_owner->ButtonColorHot;
        canvas.brush() = Brush{face, BrushStyle::Solid};
        canvas.fillRect(r);
    } else if (IsWinXP && IsThemeActive()) {
        const HTHEME theme = OpenThemeData(parentWidget(), QStringLiteral("button"));
        DrawThemeBackground(theme, canvas, BP_PUSHBUTTON, down ? PBS_PRESSED : Hot() ? PBS_HOT : PBS_NORMAL, r);
        CloseThemeData(theme);
    } else if (Flat) {
        DrawEdge(canvas, r, down ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT | BF_MIDDLE);
        r = r.inflated(-1, -1);
    } else {
        DrawFrameControl(canvas, r, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT | (down ? DFCS_PUSHED : 0u));
    }
    if (!m_glyph.isEmpty()) {
        const int gx = m_glyph.width() < width() ? (width() - m_glyph.width()) / 2 : 0;
        const int gy = m_glyph.height() < height() ? (height() - m_glyph.height()) / 2 : 0;
        Bitmap glyph = m_glyph;
        glyph.setTransparent(true);
        canvas.draw(gx + (down ? 1 : 0), gy + (down ? 1 : 0), glyph);
    }
    if (!m_caption.isEmpty()) {
        Rect t = r;
        if (down)
            t = Rect{t.left + 1, t.top + 1, t.right + 1, t.bottom + 1};
        canvas.font() = Font{font(), clBlack, 0};
        canvas.setBkMode(BkMode::Transparent);
        canvas.drawText(m_caption, t, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    }
}

// --- TXgrEditButton ----------------------------------------------------------------------------------

TXgrEditButton::TXgrEditButton(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
    m_button = new TExtSpeedButton(this);
    m_button->OnMouseUp = [this](TExtSpeedButton*) { ButtonMouseUp(); };
    resize(20, 25);
}

void TXgrEditButton::SetFlat(bool on)
{
    m_flat = on;
    m_button->Flat = on;
}

void TXgrEditButton::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    m_button->setGeometry(0, 0, width(), height());
}

void TXgrEditButton::ButtonMouseUp()
{
    if (OnClick)
        OnClick(this);
    if (FocusControl && FocusControl->focusPolicy() != Qt::NoFocus && FocusControl->isEnabled()
        && FocusControl->isVisible() && !FocusControl->hasFocus())
        FocusControl->setFocus(Qt::MouseFocusReason);
    else if (focusPolicy() != Qt::NoFocus && !hasFocus() && isEnabled() && isVisible())
        setFocus(Qt::MouseFocusReason);
}

// --- TXgrEditBtn -----------------------------------------------------------------------------------------

TXgrEditBtn::TXgrEditBtn(QWidget* parent) : TExtMaskEdit(parent)
{
    m_button = new TXgrEditButton(this);
    m_button->setCursor(Qt::ArrowCursor);
    m_button->resize(18, 18);
    m_button->FocusControl = this;
    m_button->OnClick = [this](QObject*) { ClickBtn(this); };
    setText(QStringLiteral("0"));
    SetEditRect();
}

TXgrEditBtn::~TXgrEditBtn() { m_button->OnClick = nullptr; }

void TXgrEditBtn::SetButtonWidth(int width)
{
    m_buttonWidth = width;
    m_button->resize(width, m_button->height());
    SetEditRect();
}

void TXgrEditBtn::SetIsWinXP(bool on)
{
    m_isWinXP = on;
    m_button->Button()->IsWinXP = on;
    m_button->Button()->update();
}

void TXgrEditBtn::SetRightAlign(bool on)
{
    if (on == m_rightAlign)
        return;
    m_rightAlign = on;
    setAlignment((on ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
}

void TXgrEditBtn::SetBorderStyle(TBorderStyle style)
{
    TExtMaskEdit::SetBorderStyle(style);
    SetEditRect();
}

void TXgrEditBtn::ClickBtn(QObject*)
{
    if (OnClickBtn)
        OnClickBtn(this);
}

void TXgrEditBtn::WMChar(TWMKey& msg)
{
    if (m_editorEnabled)
        TExtMaskEdit::WMChar(msg);
}

void TXgrEditBtn::KeyDown(quint16& key, TShiftState shift)
{
    TExtMaskEdit::KeyDown(key, shift);
    if (key == VK_F4 && !shift.testFlag(ssCtrl) && !shift.testFlag(ssAlt))
        ClickBtn(this);
}

void TXgrEditBtn::WMPaste()
{
    if (m_editorEnabled && !isReadOnly())
        TExtMaskEdit::WMPaste();
}

void TXgrEditBtn::WMCut()
{
    if (m_editorEnabled && !isReadOnly())
        TExtMaskEdit::WMCut();
}

int TXgrEditBtn::MinHeight() const
{
    const int own = QFontMetrics(font()).height();
    const int system = QFontMetrics(QApplication::font()).height();
    return own + std::min(own, system) / 4;
}

void TXgrEditBtn::resizeEvent(QResizeEvent* e)
{
    TExtMaskEdit::resizeEvent(e);
    if (PlaceRightButton(m_button, MinHeight()))
        SetEditRect();
}

void TXgrEditBtn::SetEditRect()
{
    const int m = BorderStyle() == bsNone ? 3 : 1;
    int right = m_button->width() + m_unitSize + 5;
    if (m_unitSize > 0)
        right += 3;
    setTextMargins(m, 0, right, 0);
}

// --- TXgrUnitEditBtn -----------------------------------------------------------------------------------

TXgrUnitEditBtn::TXgrUnitEditBtn(QWidget* parent) : TXgrEditBtn(parent)
{
    m_unitSize = 20;
    SetRightAlign(true);
    SetEditRect();
}

void TXgrUnitEditBtn::SetUnitID(const QString& unit)
{
    m_unitID = unit;
    update();
}

void TXgrUnitEditBtn::SetUnitSpace(int pixels)
{
    m_unitSize = pixels;
    SetEditRect();
    update();
}

void TXgrUnitEditBtn::SetTextAndUnit(const QString& value)
{
    QString t, u;
    if (!SplitTextAndUnit(value, m_units, t, u))
        return;
    setText(t);
    SetUnitID(u);
}

void TXgrUnitEditBtn::ClickBtn(QObject* sender)
{
    TXgrEditBtn::ClickBtn(sender);
    auto* menu = new QMenu(this);
    m_menu = menu;
    for (int i = 0; i < m_units.size(); ++i)
        menu->addAction(m_units[i])->setData(i + 1);
    const QPoint at = mapToGlobal(QPoint(width() - 15, height()));
    QAction* chosen = menu->exec(at);
    const int id = chosen ? chosen->data().toInt() : 0;
    delete menu;
    if (id > 0)
        UnitCommand(id);
}

void TXgrUnitEditBtn::UnitCommand(int id)
{
    if (id < 1 || id > m_units.size())
        return;
    const QString previous = m_unitID;
    SetUnitID(m_units[id - 1]);
    if (m_unitID != previous && OnUnitChanged)
        OnUnitChanged(this, m_unitID);
}

void TXgrUnitEditBtn::paintEvent(QPaintEvent* e)
{
    TXgrEditBtn::paintEvent(e);
    QPainter painter(this);
    Canvas canvas(painter);
    canvas.font() = Font{font(), colorToRgb(clWindowText), 0};
    canvas.setBkMode(BkMode::Transparent);
    const int right = width() - Button()->width() - 3;
    Rect r{right - m_unitSize, 2, right, height()};
    canvas.drawText(m_unitID, r, DT_EDITCONTROL);
}

} // namespace controls::grid
