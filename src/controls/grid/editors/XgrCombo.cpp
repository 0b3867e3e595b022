#include "controls/grid/editors/XgrCombo.h"

#include "controls/grid/editors/FlatLook.h"

#include "controls/grid/style/ExtStyle.h"
#include "platform/draw/Frames.h"
#include "platform/draw/Theme.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QVariant>

namespace controls::grid {

using platform::Canvas;
using platform::clNone;
using platform::Rect;

namespace {

// The platform's vertical scroll bar width; the button is two pixels wider by default.
constexpr int kScrollBarWidth = 17;
constexpr int kItemObjectRole = Qt::UserRole + 7;

} // namespace

TXgrCustomCombo::TXgrCustomCombo(QWidget* owner) : QComboBox(owner)
{
    setMouseTracking(true);
    setInsertPolicy(QComboBox::NoInsert);
    m_buttonWidth = kScrollBarWidth + 2;
    m_isThemed = IsComCtl32Version6();
    SetStyle(csDropDown);
    ApplyColor();
}

TXgrCustomCombo::~TXgrCustomCombo()
{
    m_destroying = true;
}

// --- the framework combo's properties ----------------------------------------------------------

void TXgrCustomCombo::SetStyle(TComboBoxStyle style)
{
    m_style = style;
    const bool editable = style == csDropDown || style == csSimple;
    if (editable != isEditable()) {
        // The line edit passes its focus on to the combo; the combo would lose the focus when
        // the dropped line edit is deleted later, whatever has the focus by then.
        if (QLineEdit* dropped = editable ? nullptr : lineEdit())
            dropped->setFocusProxy(nullptr);
        setEditable(editable);
    }
    if (editable && lineEdit()) {
        lineEdit()->setMaxLength(m_maxLength > 0 ? m_maxLength : 32767);
        // Typing completes to the first item that starts with the typed text (the platform
        // combo's AutoComplete); an item is never inserted by the combo itself.
        if (completer())
            completer()->setCaseSensitivity(Qt::CaseInsensitive);
    }
    update();
}

QString TXgrCustomCombo::Text() const
{
    if (isEditable())
        return lineEdit() ? lineEdit()->text() : currentText();
    return currentIndex() >= 0 ? itemText(currentIndex()) : QString();
}

void TXgrCustomCombo::SetText(const QString& text)
{
    if (isEditable()) {
        setEditText(text);
        return;
    }
    // A pick list shows items only: a text that is no item leaves the selection alone.
    const int i = IndexOfItem(text);
    if (i >= 0)
        setCurrentIndex(i);
}

void TXgrCustomCombo::SetItemIndex(int index)
{
    setCurrentIndex(index >= 0 && index < count() ? index : -1);
}

platform::TObject* TXgrCustomCombo::ItemObject(int index) const
{
    if (index < 0 || index >= count())
        return nullptr;
    return reinterpret_cast<platform::TObject*>(itemData(index, kItemObjectRole).value<quintptr>());
}

int TXgrCustomCombo::AddItem(const QString& text, platform::TObject* object)
{
    // Adding an item changes neither the selection nor what is typed in an editable combo.
    const QString keep = isEditable() ? Text() : QString();
    const int before = currentIndex();
    const QSignalBlocker block(this);
    addItem(text);
    setItemData(count() - 1, QVariant::fromValue(reinterpret_cast<quintptr>(object)), kItemObjectRole);
    if (currentIndex() != before) {
        setCurrentIndex(before);
        if (isEditable())
            setEditText(keep);
    }
    return count() - 1;
}

void TXgrCustomCombo::ClearItems()
{
    const QString keep = isEditable() ? Text() : QString();
    clear();
    if (isEditable())
        setEditText(keep);
}

int TXgrCustomCombo::IndexOfItem(const QString& text) const
{
    for (int i = 0; i < count(); ++i)
        if (itemText(i) == text)
            return i;
    return -1;
}

platform::TStringList TXgrCustomCombo::Items() const
{
    platform::TStringList list;
    for (int i = 0; i < count(); ++i)
        list.AddObject(itemText(i), ItemObject(i));
    return list;
}

void TXgrCustomCombo::SetItems(const platform::TStringList& items)
{
    const QString keep = isEditable() ? Text() : QString();
    const QSignalBlocker block(this);
    clear();
    for (int i = 0; i < items.Count(); ++i) {
        addItem(items.Strings(i));
        setItemData(i, QVariant::fromValue(reinterpret_cast<quintptr>(items.Objects(i))), kItemObjectRole);
    }
    setCurrentIndex(-1);
    if (isEditable())
        setEditText(keep);
}

void TXgrCustomCombo::SetMaxLength(int length)
{
    m_maxLength = length < 0 ? 0 : length;
    if (lineEdit())
        lineEdit()->setMaxLength(m_maxLength > 0 ? m_maxLength : 32767);
}

void TXgrCustomCombo::SetDroppedDown(bool down)
{
    if (down == m_droppedDown)
        return;
    if (down)
        showPopup();
    else
        hidePopup();
}

int TXgrCustomCombo::SelStart() const
{
    if (!lineEdit())
        return 0;
    return lineEdit()->hasSelectedText() ? lineEdit()->selectionStart() : lineEdit()->cursorPosition();
}

void TXgrCustomCombo::SetSelStart(int start)
{
    if (lineEdit())
        lineEdit()->setCursorPosition(start);
}

int TXgrCustomCombo::SelLength() const
{
    return lineEdit() && lineEdit()->hasSelectedText() ? int(lineEdit()->selectedText().size()) : 0;
}

void TXgrCustomCombo::SetSelLength(int length)
{
    if (!lineEdit())
        return;
    const int start = SelStart();
    lineEdit()->setSelection(start, length);
}

void TXgrCustomCombo::SelectAll()
{
    if (lineEdit())
        lineEdit()->selectAll();
}

void TXgrCustomCombo::showPopup()
{
    m_droppedDown = true;
    if (m_dropWidth > 0)
        view()->setMinimumWidth(m_dropWidth);
    QComboBox::showPopup();
    update(Rect{width() - m_buttonWidth, 0, width(), height()}.toQRect());
}

void TXgrCustomCombo::hidePopup()
{
    const bool wasDown = m_droppedDown;
    m_droppedDown = false;
    QComboBox::hidePopup();
    if (!wasDown)
        return;
    update(Rect{width() - m_buttonWidth, 0, width(), height()}.toQRect());
    if (OnDropUp)
        OnDropUp(this);
}

// --- published additions -----------------------------------------------------------------------

void TXgrCustomCombo::SetBorderColor(Color c)
{
    if (c == m_borderColor)
        return;
    m_borderColor = c;
    update();
}

void TXgrCustomCombo::SetButtonWidth(int width)
{
    if (width < 14 || width > 32)
        return;
    m_buttonWidth = width;
    update();
}

void TXgrCustomCombo::SetFlat(bool on)
{
    if (on == m_flat)
        return;
    m_flat = on;
    m_ctl3D = !on;
    if (m_flatParentColor && on && parentWidget())
        SetColor(ParentBrushColor());
    else
        SetColor(m_loadedColor);
    update();
}

void TXgrCustomCombo::SetFlatLineColor(Color c)
{
    m_flatLineColor = c;
    update();
}

void TXgrCustomCombo::SetFlatParentColor(bool on)
{
    m_flatParentColor = on;
    update();
}

void TXgrCustomCombo::SetEtched(bool on)
{
    if (on == m_etched)
        return;
    m_etched = on;
    update();
}

void TXgrCustomCombo::SetDropWidth(int width)
{
    m_dropWidth = width;
    if (width > 0)
        view()->setMinimumWidth(width);
}

QString TXgrCustomCombo::LabelCaption() const { return m_label.Caption(); }

void TXgrCustomCombo::SetLabelCaption(const QString& caption)
{
    m_label.SetCaption(caption);
    UpdateLabel();
}

void TXgrCustomCombo::SetLabelPosition(TLabelPosition position)
{
    m_label.Position = position;
    UpdateLabel();
}

void TXgrCustomCombo::SetLabelMargin(int margin)
{
    m_label.Margin = margin;
    UpdateLabel();
}

void TXgrCustomCombo::SetLabelTransparent(bool on)
{
    m_label.Transparent = on;
    UpdateLabel();
}

void TXgrCustomCombo::SetLabelAlwaysEnabled(bool on)
{
    m_label.AlwaysEnabled = on;
    UpdateLabel();
}

void TXgrCustomCombo::SetLabelFont(const QFont& f)
{
    if (!m_parentFont)
        m_label.Font = f;
    UpdateLabel();
}

void TXgrCustomCombo::SetParentFont(bool on)
{
    m_parentFont = on;
    UpdateLabel();
}

Color TXgrCustomCombo::GetColor() const { return m_parentColor ? ParentBrushColor() : m_color; }

void TXgrCustomCombo::SetColor(Color c)
{
    if (m_loading)
        m_loadedColor = c;
    SetPlainColor(c);
}

void TXgrCustomCombo::SetPlainColor(Color c)
{
    m_color = c;
    m_parentColor = false;
    ApplyColor();
}

void TXgrCustomCombo::SetParentColor(bool on)
{
    m_parentColor = on;
    ApplyColor();
}

void TXgrCustomCombo::SetEnabled(bool on)
{
    const bool changed = on != isEnabled();
    setEnabled(on);
    if (m_loading || !changed)
        return;
    if (m_label.Label() && !m_label.AlwaysEnabled) {
        m_label.FollowEnabled(on);
        UpdateLabel();
    }
}

void TXgrCustomCombo::SetVisible(bool on)
{
    m_visible = on;
    setVisible(on);
    if (QLabel* label = m_label.Label())
        label->setVisible(on);
}

void TXgrCustomCombo::Init() { m_normalColor = GetColor(); }

void TXgrCustomCombo::SelectItem(const QString& text)
{
    const int i = IndexOfItem(text);
    if (i >= 0)
        setCurrentIndex(i);
}

void TXgrCustomCombo::Loaded()
{
    m_loading = false;
    if (m_dropWidth > 0)
        view()->setMinimumWidth(m_dropWidth);
    m_oldColor = m_loadedColor;
    if (!m_flatParentColor || m_flat)
        SetPlainColor(m_loadedColor);
    m_label.FollowEnabled(isEnabled());
    UpdateLabel();
    Init();
}

// --- painting -----------------------------------------------------------------------------------

bool TXgrCustomCombo::DoVisualStyles() const { return m_isThemed && platform::IsThemeActive(); }

bool TXgrCustomCombo::IsMouseButtonDown() const
{
    return QGuiApplication::mouseButtons() & (Qt::LeftButton | Qt::RightButton);
}

bool TXgrCustomCombo::IsActive() const
{
    return m_mouseInControl || hasFocus() || QApplication::focusWidget() == this;
}

bool TXgrCustomCombo::IsFocusBorderActive() const { return IsActive() && m_focusBorder; }

bool TXgrCustomCombo::OwnPainting() const
{
    if (IsVista && ButtonColor == clNone)
        return false;
    return m_flat || ButtonColor != clNone || m_borderColor != clNone
           || (m_focusBorderColor != clNone && m_hasFocus) || (!isEnabled() && DoVisualStyles() && !m_disabledBorder);
}

void TXgrCustomCombo::paintEvent(QPaintEvent* e)
{
    QComboBox::paintEvent(e);
    const bool ltr = layoutDirection() == Qt::LeftToRight;
    const bool own = OwnPainting();
    // What the border painting of the window frame adds in every case.
    const bool frame = m_flat || (!isEnabled() && DoVisualStyles() && !m_disabledBorder)
                       || (m_focusBorderColor != clNone && hasFocus()) || m_borderColor != clNone;
    if (!own && !frame)
        return;
    QPainter painter(this);
    Canvas canvas(painter);
    if (own && m_style != csSimple) {
        // The band of the button is the control's own: the style's arrow does not show there.
        canvas.brush() = platform::Brush{GetColor(), platform::BrushStyle::Solid};
        canvas.fillRect(Rect{width() - m_buttonWidth - 4, 0, width(), height()});
        if (ltr)
            DrawComboButton(canvas);
    }
    if ((own && ltr) || frame)
        DrawBorders(canvas);
}

void TXgrCustomCombo::DrawComboButton(Canvas& canvas)
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
    b.dropped = m_droppedDown;
    b.enabled = isEnabled();
    b.visualStyles = DoVisualStyles();
    DrawDropButton(canvas, this, width(), height(), m_buttonWidth, b, false);
}

void TXgrCustomCombo::DrawBorders(Canvas& canvas)
{
    if (isEnabled() && !m_flat && m_borderColor == clNone && m_focusBorderColor == clNone)
        return;
    if (IsVista && m_borderColor == clNone)
        return;
    const int state = canvas.saveState();
    DrawControlBorder(canvas);
    if (!(m_style == csSimple || (IsWinXP && DoVisualStyles())))
        DrawFlatButtonFrame(canvas, width(), height(), m_buttonWidth, IsActive(), false, m_droppedDown);
    canvas.restoreState(state);
}

void TXgrCustomCombo::DrawControlBorder(Canvas& canvas)
{
    TFlatBorder b;
    b.enabled = isEnabled();
    b.themed = m_isThemed;
    b.disabledBorder = m_disabledBorder;
    b.borderColor = m_borderColor;
    b.focusBorderColor = m_focusBorderColor;
    b.hasFocus = m_hasFocus;
    b.focusBorderActive = IsFocusBorderActive();
    b.parentColor = ParentBrushColor();
    b.controlColor = GetColor();
    b.buttonWidth = m_buttonWidth;
    b.flat = m_flat;
    b.flatLineColor = m_flatLineColor;
    DrawFlatControlBorder(canvas, width(), height(), b);
}

// --- label --------------------------------------------------------------------------------------

void TXgrCustomCombo::UpdateLabel()
{
    if (!m_destroying)
        m_label.Place(m_parentFont, m_visible && !isHidden());
}

// --- colours ------------------------------------------------------------------------------------

Color TXgrCustomCombo::ParentBrushColor() const
{
    if (!parentWidget())
        return platform::clBtnFace;
    return platform::fromQColor(parentWidget()->palette().color(QPalette::Window));
}

void TXgrCustomCombo::ApplyColor()
{
    QPalette p = palette();
    const QColor c = platform::toQColor(platform::colorToRgb(GetColor()));
    if (!c.isValid())
        return;
    p.setColor(QPalette::Base, c);
    p.setColor(QPalette::Button, c);
    setPalette(p);
    update();
}

// --- focus, mouse and state changes ---------------------------------------------------------

void TXgrCustomCombo::WMSetFocus()
{
    m_hasFocus = true;
    if (m_focusColor != clNone)
        SetPlainColor(m_focusColor);
    m_label.SetBold(true);
    update();
}

void TXgrCustomCombo::WMKillFocus()
{
    m_hasFocus = false;
    if (m_focusColor != clNone && m_normalColor != clNone)
        SetPlainColor(m_normalColor);
    m_label.SetBold(false);
    update();
}

void TXgrCustomCombo::focusInEvent(QFocusEvent* e)
{
    QComboBox::focusInEvent(e);
    // The list's own window takes the focus while it is open; the control keeps it.
    if (e->reason() != Qt::PopupFocusReason)
        WMSetFocus();
}

void TXgrCustomCombo::focusOutEvent(QFocusEvent* e)
{
    QComboBox::focusOutEvent(e);
    if (e->reason() != Qt::PopupFocusReason)
        WMKillFocus();
}

void TXgrCustomCombo::enterEvent(QEnterEvent* e)
{
    QComboBox::enterEvent(e);
    if (!m_mouseInControl && isEnabled()) {
        m_mouseInControl = true;
        update();
    }
    if (m_autoFocus && (!window() || window()->isActiveWindow()))
        setFocus(Qt::MouseFocusReason);
}

void TXgrCustomCombo::leaveEvent(QEvent* e)
{
    QComboBox::leaveEvent(e);
    if (m_mouseInControl && isEnabled())
        m_mouseInControl = false;
    m_buttonHover = false;
    update();
}

void TXgrCustomCombo::mouseMoveEvent(QMouseEvent* e)
{
    QComboBox::mouseMoveEvent(e);
    const int x = int(e->position().x());
    const bool over = width() - m_buttonWidth < x && x < width();
    if (over != m_buttonHover) {
        m_buttonHover = over;
        update();
    }
}

void TXgrCustomCombo::changeEvent(QEvent* e)
{
    if (e->type() == QEvent::EnabledChange && m_flat && !m_loading) {
        // A flat control wears its parent's colour while it is disabled.
        if (isEnabled()) {
            m_parentColor = m_oldParentColor;
            if (!m_parentColor)
                m_color = m_oldColor;
        } else {
            m_oldParentColor = m_parentColor;
            m_oldColor = m_color;
            m_parentColor = true;
        }
        ApplyColor();
    }
    if (e->type() == QEvent::FontChange && m_label.Label() && m_parentFont)
        m_label.Label()->setFont(font());
    QComboBox::changeEvent(e);
}

void TXgrCustomCombo::resizeEvent(QResizeEvent* e)
{
    QComboBox::resizeEvent(e);
    if (!m_destroying && m_label.Label())
        UpdateLabel();
}

void TXgrCustomCombo::moveEvent(QMoveEvent* e)
{
    QComboBox::moveEvent(e);
    if (!m_destroying && m_label.Label())
        UpdateLabel();
}

} // namespace controls::grid
