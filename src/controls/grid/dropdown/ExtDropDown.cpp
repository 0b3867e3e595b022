#include "controls/grid/dropdown/ExtDropDown.h"

#include "controls/grid/dropdown/DropDownBars.h"
#include "controls/grid/dropdown/rules/DropDownDraw.h"
#include "controls/grid/dropdown/rules/DropDownStyles.h"
#include "controls/grid/dropdown/rules/PopupPlacement.h"
#include "controls/grid/util/ExtDraw.h"
#include "platform/draw/Frames.h"
#include "platform/draw/Theme.h"
#include "platform/grid/InplaceEdit.h"
#include "platform/grid/Keys.h"
#include "platform/process/Clock.h"

#include <QApplication>
#include <QClipboard>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QToolTip>
#include <QWheelEvent>

namespace controls::grid::dropdown {

using namespace platform;

namespace {

// Posts a key press or release as the platform posts WM_KEYDOWN and WM_KEYUP.
void PostKey(QWidget* target, quint16 vk, bool down)
{
    if (!target)
        return;
    int qtKey = 0;
    switch (vk) {
    case VK_RETURN:
        qtKey = Qt::Key_Return;
        break;
    case VK_ESCAPE:
        qtKey = Qt::Key_Escape;
        break;
    case VK_TAB:
        qtKey = Qt::Key_Tab;
        break;
    default:
        return;
    }
    QString text;
    if (down)
        text = vk == VK_RETURN ? QStringLiteral("\r") : vk == VK_ESCAPE ? QString(QChar(27)) : QStringLiteral("\t");
    QCoreApplication::postEvent(target, new QKeyEvent(down ? QEvent::KeyPress : QEvent::KeyRelease, qtKey,
                                                      Qt::NoModifier, text));
}

} // namespace

// =====================================================================================================
// TDropDownForm
// =====================================================================================================

TDropDownForm::TDropDownForm(TExtCustomDropDown* edit)
    : QWidget(edit, Qt::Popup | Qt::FramelessWindowHint), m_edit(edit)
{
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    hide();
}

TDropDownForm::~TDropDownForm() = default;

void TDropDownForm::InitializeAndUpdate()
{
    if (!m_edit)
        return;
    auto prepare = [this](TExtBar* bar, bool visible) {
        bar->LinkTo(m_edit);
        bar->CreateButtons();
        bar->setVisible(visible);
    };
    if (m_header) {
        prepare(m_header, m_edit->DropDownHeader().Visible());
    } else if (m_edit->DropDownHeader().Visible()) {
        m_header = new TExtHeader(this);
        m_header->resize(width(), m_edit->DropDownHeader().Height);
        prepare(m_header, true);
    }
    if (m_header) {
        m_header->OnDrawBackGround = m_edit->OnDrawHeader;
        m_header->OnGetText = m_edit->OnGetHeaderText;
    }
    if (m_footer) {
        prepare(m_footer, m_edit->DropDownFooter().Visible());
    } else if (m_edit->DropDownFooter().Visible()) {
        m_footer = new TExtFooter(this);
        m_footer->resize(width(), m_edit->DropDownFooter().Height);
        prepare(m_footer, true);
    }
    if (m_footer) {
        m_footer->OnDrawBackGround = m_edit->OnDrawFooter;
        m_footer->OnGetText = m_edit->OnGetFooterText;
    }
    Arrange();
}

QRect TDropDownForm::AdjustedClientRect() const
{
    const int b = m_edit ? std::max(0, m_edit->DropDownBorderWidth) : 0;
    return rect().adjusted(b, b, -b, -b);
}

void TDropDownForm::Arrange()
{
    // While hidden the hosted control keeps its own size: the popup is sized from it.
    if (!isVisible())
        return;
    const QRect r = AdjustedClientRect();
    int top = r.top(), bottom = r.top() + r.height();
    if (m_header && !m_header->isHidden()) {
        m_header->setGeometry(r.left(), top, r.width(), m_header->height());
        top += m_header->height();
    }
    if (m_footer && !m_footer->isHidden()) {
        bottom -= m_footer->height();
        m_footer->setGeometry(r.left(), bottom, r.width(), m_footer->height());
    }
    if (m_edit) {
        QWidget* control = m_edit->Control();
        if (control && control->parentWidget() == this)
            control->setGeometry(r.left(), top, r.width(), std::max(0, bottom - top));
    }
}

void TDropDownForm::HideByEdit()
{
    m_hidingByEdit = true;
    hide();
    m_hidingByEdit = false;
}

void TDropDownForm::SizeFromGrip(QSize size)
{
    resize(std::max(size.width(), minimumWidth()), std::max(size.height(), minimumHeight()));
    Arrange();
    if (OnSizing)
        OnSizing();
}

bool TDropDownForm::DialogChar(QChar ch)
{
    for (TExtBar* bar : {static_cast<TExtBar*>(m_header), static_cast<TExtBar*>(m_footer)}) {
        if (!bar || bar->isHidden())
            continue;
        for (TExtButton* b : bar->ButtonControls())
            if (b->DialogChar(ch))
                return true;
    }
    return false;
}

void TDropDownForm::paintEvent(QPaintEvent*)
{
    if (!m_edit)
        return;
    Canvas c(this);
    const int b = m_edit->DropDownBorderWidth;
    const Rect client = Rect::fromQRect(rect());
    const Rect inner = client.inflated(-std::max(0, b), -std::max(0, b));
    if (m_edit->DropDownColor != clNone && m_edit->DropDownColorTo != clNone) {
        DrawGradientSteps(c, m_edit->DropDownColor, m_edit->DropDownColorTo, m_edit->DropDownGradient == gdHorizontal,
                          inner, 80);
    } else if (m_edit->DropDownColor != clNone) {
        c.brush().style = BrushStyle::Solid;
        c.brush().color = m_edit->DropDownColor;
        c.fillRect(inner);
    }
    if (b > 0 && m_edit->DropDownBorderColor != clNone) {
        c.brush().style = BrushStyle::Clear;
        c.pen().style = PenStyle::Solid;
        c.pen().color = m_edit->DropDownBorderColor;
        c.pen().width = 1;
        for (int i = 0; i < b; ++i)
            c.rectangle(client.inflated(-i, -i));
    }
}

void TDropDownForm::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    Arrange();
    update();
}

void TDropDownForm::keyPressEvent(QKeyEvent* e)
{
    if (!m_edit)
        return;
    // Alt and a letter, or a letter typed while a bar button has the focus, is a dialog
    // character for the bars' buttons before it is a key of the edit.
    if (!e->text().isEmpty() && e->text().at(0).isPrint() &&
        ((e->modifiers() & Qt::AltModifier) || qobject_cast<TExtButton*>(QApplication::focusWidget())) &&
        DialogChar(e->text().at(0))) {
        e->accept();
        return;
    }
    const TShiftState shift = shiftStateOf(e->modifiers());
    m_edit->m_keyShift = shift;
    quint16 key = virtualKeyOf(*e);
    if (key) {
        m_edit->DropDownFormKeyDown(key, shift);
        if (!m_edit)
            return;
    }
    for (QChar ch : charsOf(*e)) {
        QChar c = ch;
        m_edit->DropDownFormKeyPress(c);
        if (!m_edit)
            return;
    }
    e->accept();
}

void TDropDownForm::keyReleaseEvent(QKeyEvent* e)
{
    if (!m_edit)
        return;
    const TShiftState shift = shiftStateOf(e->modifiers());
    m_edit->m_keyShift = shift;
    quint16 key = virtualKeyOf(*e);
    if (key)
        m_edit->DropDownFormKeyUp(key, shift);
    e->accept();
}

void TDropDownForm::wheelEvent(QWheelEvent* e)
{
    if (!m_edit)
        return;
    if (e->angleDelta().y() < 0)
        m_edit->DropDownMouseWheelDown();
    else if (e->angleDelta().y() > 0)
        m_edit->DropDownMouseWheelUp();
    e->accept();
}

void TDropDownForm::hideEvent(QHideEvent* e)
{
    QWidget::hideEvent(e);
    if (m_hidingByEdit || !m_edit || BlockActivate)
        return;
    // Closed by a click elsewhere: the popup lost the activation.
    m_deactivateTime = platform::clock().tickMs();
    m_edit->FormDeactivated();
}

bool TDropDownForm::InSizingZone(QPoint p) const
{
    return Sizeable && p.x() > width() - 10 && p.y() > height() - 10;
}

void TDropDownForm::mousePressEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton && InSizingZone(e->position().toPoint())) {
        m_sizing = true;
        m_sizeStart = e->globalPosition().toPoint();
        m_formStart = size();
    }
    e->accept();
}

void TDropDownForm::mouseMoveEvent(QMouseEvent* e)
{
    if (m_sizing) {
        const QPoint d = e->globalPosition().toPoint() - m_sizeStart;
        SizeFromGrip(m_formStart + QSize(d.x(), d.y()));
    }
    setCursor(m_sizing || InSizingZone(e->position().toPoint()) ? Qt::SizeFDiagCursor : Qt::ArrowCursor);
}

void TDropDownForm::mouseReleaseEvent(QMouseEvent* e)
{
    m_sizing = false;
    e->accept();
}

bool TDropDownForm::event(QEvent* e)
{
    if (e->type() == QEvent::Close && !m_hidingByEdit && BlockActivate) {
        e->ignore();
        return true;
    }
    // Tab is a key of the popup like any other (it reaches the edit), not a move of the focus.
    if (e->type() == QEvent::KeyPress) {
        auto* ke = static_cast<QKeyEvent*>(e);
        if (ke->key() == Qt::Key_Tab || ke->key() == Qt::Key_Backtab) {
            keyPressEvent(ke);
            return true;
        }
    }
    return QWidget::event(e);
}

// =====================================================================================================
// TDropDownEditButton and its face
// =====================================================================================================

TExtDropDownSpeedButton::TExtDropDownSpeedButton(TDropDownEditButton* owner) : QWidget(owner), m_owner(owner)
{
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_Hover);
}

void TExtDropDownSpeedButton::SetButtonStyle(TButtonStyle style)
{
    m_style = style;
    update();
}

void TExtDropDownSpeedButton::SetEtched(bool on)
{
    if (on == m_etched)
        return;
    m_etched = on;
    update();
}

void TExtDropDownSpeedButton::SetFocused(bool on)
{
    if (on == m_focused)
        return;
    m_focused = on;
    update();
}

void TExtDropDownSpeedButton::paintEvent(QPaintEvent*)
{
    Canvas c(this);
    const Rect r{0, 0, width(), height()};
    TExtCustomDropDown* edit = m_owner->m_edit;
    const bool pressed = m_pressed && !m_up;
    if (m_style == bsDropDown) {
        if (m_owner->ButtonColor != clNone) {
            const Color fill = pressed ? m_owner->ButtonColorDown : m_hot ? m_owner->ButtonColorHot : m_owner->ButtonColor;
            c.brush().style = BrushStyle::Solid;
            c.brush().color = fill == clNone ? m_owner->ButtonColor : fill;
            c.fillRect(r);
            if (edit && edit->BorderColor() != clNone) {
                c.pen() = Pen{edit->BorderColor(), 1, PenStyle::Solid};
                c.moveTo(0, 0);
                c.lineTo(0, r.bottom);
            }
            Color arrow = pressed ? m_owner->ButtonTextColorDown : m_hot ? m_owner->ButtonTextColorHot : m_owner->ButtonTextColor;
            if (arrow == clNone)
                arrow = clBlack;
            c.pen() = Pen{arrow, 1, PenStyle::Solid};
            c.brush() = Brush{arrow, BrushStyle::Solid};
            c.polygon({QPoint(5, 7), QPoint(11, 7), QPoint(8, 10)});
            return;
        }
        if (!Glyph.isEmpty()) {
            c.brush() = Brush{clBtnFace, BrushStyle::Solid};
            c.pen() = Pen{0x808080, 1, PenStyle::Solid};
            c.rectangle(r);
            Bitmap g = Glyph;
            g.setTransparent(true);
            c.draw(0, 0, g);
            return;
        }
        const bool enabled = edit && edit->isEnabled() && !edit->isReadOnly();
        if (edit && edit->IsThemed() && IsThemeActive()) {
            const HTHEME theme = OpenThemeData(this, QStringLiteral("combobox"));
            if (theme) {
                const int state = !enabled ? CBXS_DISABLED : pressed ? CBXS_PRESSED : m_hot ? CBXS_HOT : CBXS_NORMAL;
                Rect tr = r;
                if (controls::grid::IsVistaOrLater())
                    tr = tr.offset(1, 0);
                else
                    tr = Rect{r.left + 1, r.top - 1, r.right + 1, r.bottom + 1};
                DrawThemeBackground(theme, c, CP_DROPDOWNBUTTON, state, tr);
                CloseThemeData(theme);
                return;
            }
        }
        c.brush() = Brush{clBtnFace, BrushStyle::Solid};
        c.fillRect(r);
        Rect edge = r;
        DrawEdge(c, edge, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
        c.pen() = Pen{clBtnFace, 1, PenStyle::Solid};
        c.polyline({QPoint(width() - 2, 0), QPoint(0, 0), QPoint(0, height() - 1)});
        c.pen() = Pen{clWhite, 1, PenStyle::Solid};
        c.polyline({QPoint(width() - 3, 1), QPoint(1, 1), QPoint(1, height() - 2)});
        const Color arrow = enabled ? clBlack : clGray;
        c.pen() = Pen{arrow, 1, PenStyle::Solid};
        c.brush() = Brush{arrow, BrushStyle::Solid};
        c.polygon({QPoint(5, 7), QPoint(11, 7), QPoint(8, 10)});
        return;
    }
    // Push-button look.
    if (edit)
        c.font().font = edit->font();
    const HTHEME theme = IsThemeActive() ? OpenThemeData(this, QStringLiteral("button")) : 0;
    if (theme) {
        const bool enabled = isEnabled();
        const int state = !enabled ? PBS_DISABLED : pressed ? PBS_PRESSED : m_hot ? PBS_HOT : PBS_NORMAL;
        DrawThemeBackground(theme, c, BP_PUSHBUTTON, state, Rect{0, 0, width() + 1, height() + 1});
        CloseThemeData(theme);
    } else if (Flat) {
        // The flat face: an (etched) edge, the glyph on the face colour and the caption centred.
        c.brush() = Brush{clBtnFace, BrushStyle::Solid};
        c.fillRect(r);
        Rect edge{0, 0, width() + 1, height() + 1};
        DrawEdge(c, edge, m_etched ? EDGE_ETCHED : EDGE_RAISED, BF_RECT | (pressed ? BF_FLAT : 0u));
        const Rect at = pressed ? r.inflated(-3, -3).offset(1, 1) : r.inflated(-3, -3);
        DrawGlyphOnColor(c, Glyph, clBtnFace, at);
        if (!Caption.isEmpty()) {
            Rect tr{r.left + 3, r.top + 1, r.right - 3, r.bottom - 1};
            if (pressed)
                tr = tr.offset(1, 1);
            c.setBkMode(BkMode::Transparent);
            c.drawText(Caption, tr, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
        }
        return;
    } else {
        // The plain push button, raised or pushed in.
        Rect face = r;
        DrawFrameControl(c, face, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0u));
    }
    Rect inner = r.inflated(-2, -2);
    if (!Glyph.isEmpty()) {
        Bitmap g = Glyph;
        g.setTransparent(true);
        int x = inner.left + (Caption.isEmpty() ? std::max(0, (inner.width() - g.width()) / 2) : 2);
        int y = inner.top + std::max(0, (inner.height() - g.height()) / 2);
        if (pressed) {
            ++x;
            ++y;
        }
        c.draw(x, y, g);
    }
    if (!Caption.isEmpty()) {
        c.setBkMode(BkMode::Transparent);
        Rect tr = Glyph.isEmpty() ? Rect{r.left + 3, r.top + 1, r.right - 3, r.bottom - 1}
                                  : Rect{inner.left + Glyph.width() + 2, inner.top - 1, r.right, r.bottom};
        if (pressed)
            tr = tr.offset(1, 1);
        c.drawText(Caption, tr, DT_SINGLELINE | DT_VCENTER | (Glyph.isEmpty() ? DT_CENTER : DT_LEFT));
    }
}

void TExtDropDownSpeedButton::mousePressEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton) {
        m_pressed = true;
        update();
    }
    e->accept();
}

void TExtDropDownSpeedButton::mouseReleaseEvent(QMouseEvent* e)
{
    const bool was = m_pressed;
    m_pressed = false;
    update();
    e->accept();
    if (e->button() == Qt::LeftButton && was && m_owner->OnClick)
        m_owner->OnClick();
}

void TExtDropDownSpeedButton::enterEvent(QEnterEvent*)
{
    m_hot = true;
    update();
}

void TExtDropDownSpeedButton::leaveEvent(QEvent*)
{
    m_hot = false;
    update();
}

TDropDownEditButton::TDropDownEditButton(TExtCustomDropDown* edit) : QWidget(edit), m_edit(edit)
{
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::ArrowCursor);
    m_button = new TExtDropDownSpeedButton(this);
    resize(16, 25);
}

void TDropDownEditButton::SetButtonWidth(int width)
{
    m_width = width;
    resize(width, height());
}

void TDropDownEditButton::SetButtonCaption(const QString& caption)
{
    m_button->Caption = caption;
    m_button->update();
}

void TDropDownEditButton::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    // The button keeps its own width whatever bounds it is given.
    if (width() != m_width) {
        resize(m_width, height());
        return;
    }
    m_button->setGeometry(0, 0, width(), height());
}

void TDropDownEditButton::changeEvent(QEvent* e)
{
    QWidget::changeEvent(e);
    if (e->type() == QEvent::EnabledChange)
        m_button->setEnabled(isEnabled());
}

// =====================================================================================================
// TExtCustomDropDown
// =====================================================================================================

TExtCustomDropDown::TExtCustomDropDown(QWidget* parent) : QLineEdit(parent)
{
    setAttribute(Qt::WA_Hover);
    setMouseTracking(true);
    setFrame(true);
    resize(200, 21);
    m_labelFont = font();
    TExtCustomDropDown::CreateDropDownForm();
    TExtCustomDropDown::CreateDropDownButton();
    m_header.OnChange = [this] { BarsChanged(); };
    m_header.OnButtonsChanged = [this] { BarsChanged(); };
    m_footer.OnChange = [this] { BarsChanged(); };
    m_footer.OnButtonsChanged = [this] { BarsChanged(); };
    m_isWinXP = true;
    m_isThemed = controls::grid::IsComCtl32Version6();
    TDropDownInput::SetText(QString());
    FOldText.clear();
    TExtCustomDropDown::SetSelectionColorStyle(scOffice2007);
    TExtCustomDropDown::SetComponentStyle(controls::grid::tsOffice2007Luna);
    ApplyColor();
    SetEditRect();
    AdjustButtonBounds();
}

TExtCustomDropDown::~TExtCustomDropDown()
{
    if (m_hookedControl)
        m_hookedControl->removeEventFilter(this);
    for (const QPointer<QObject>& p : m_keyHooks)
        if (p)
            p->removeEventFilter(this);
    delete m_label;
    if (m_form) {
        TDropDownForm* form = m_form;
        m_form = nullptr;
        form->m_edit = nullptr;
        delete form;
    }
}

bool TExtCustomDropDown::IsShown(const QWidget* w)
{
    return w && !(w->isHidden() && w->testAttribute(Qt::WA_WState_ExplicitShowHide));
}

// --- the edit box ---------------------------------------------------------------------------------------

void TExtCustomDropDown::BoxWrite(const QString& t)
{
    QLineEdit::setText(t);
    setCursorPosition(0);
    setModified(false);
}

int TExtCustomDropDown::BoxSelStart() const { return hasSelectedText() ? selectionStart() : cursorPosition(); }

int TExtCustomDropDown::BoxSelLength() const { return hasSelectedText() ? int(selectedText().length()) : 0; }

void TExtCustomDropDown::BoxSetSel(int anchor, int caret)
{
    const int n = int(text().length());
    anchor = qBound(0, anchor, n);
    caret = qBound(0, caret, n);
    if (anchor == caret)
        setCursorPosition(caret);
    else
        setSelection(anchor, caret - anchor);
}

void TExtCustomDropDown::BoxChar(QChar ch)
{
    if (isReadOnly())
        return;
    const QString before = text();
    switch (ch.unicode()) {
    case 8:
        if (hasSelectedText())
            del();
        else
            backspace();
        break;
    case 1:
        selectAll();
        return;
    case 3:
        WMCopy();
        return;
    case 22:
        WMPaste();
        return;
    case 24:
        WMCut();
        return;
    case 26:
        undo();
        break;
    default:
        if (ch.unicode() < 32)
            return;
        if (m_maxLength > 0 && text().length() - BoxSelLength() >= m_maxLength)
            return;
        insert(QString(ch));
        break;
    }
    if (text() != before) {
        setModified(true);
        EnChange();
    }
}

void TExtCustomDropDown::BoxKeyDown(quint16& key, TShiftState shift)
{
    KeyDown(key, shift);
    if (key == 0)
        return;
    const QString before = text();
    const bool mark = shift & ssShift;
    const bool ctrl = shift & ssCtrl;
    switch (key) {
    case VK_LEFT:
        if (ctrl)
            cursorWordBackward(mark);
        else
            cursorBackward(mark, 1);
        break;
    case VK_RIGHT:
        if (ctrl)
            cursorWordForward(mark);
        else
            cursorForward(mark, 1);
        break;
    case VK_HOME:
        home(mark);
        break;
    case VK_END:
        end(mark);
        break;
    case VK_DELETE:
        if (isReadOnly())
            break;
        if (mark)
            WMCut();
        else
            del();
        break;
    case VK_INSERT:
        if (mark)
            WMPaste();
        else if (ctrl)
            WMCopy();
        break;
    default:
        break;
    }
    if (text() != before) {
        setModified(true);
        EnChange();
    }
}

void TExtCustomDropDown::BoxCut()
{
    if (!hasSelectedText() || isReadOnly())
        return;
    const QString before = text();
    cut();
    if (text() != before) {
        setModified(true);
        EnChange();
    }
}

bool TExtCustomDropDown::BoxClipboardHasText() const { return !QGuiApplication::clipboard()->text().isEmpty(); }

QString TExtCustomDropDown::BoxClipboardText() const { return QGuiApplication::clipboard()->text(); }

bool TExtCustomDropDown::CtrlDown() const { return m_keyShift & ssCtrl; }

bool TExtCustomDropDown::AltDown() const { return m_keyShift & ssAlt; }

void TExtCustomDropDown::PostKeyToParent(quint16 key, bool down) { PostKey(parentWidget(), key, down); }

void TExtCustomDropDown::PostKeyToSelf(quint16 key) { PostKey(this, key, true); }

void TExtCustomDropDown::PasswordChanged(bool on) { setEchoMode(on ? QLineEdit::Password : QLineEdit::Normal); }

void TExtCustomDropDown::KeyDownEvent(quint16& key, TShiftState shift)
{
    if (OnKeyDown)
        OnKeyDown(this, key, shift);
}

void TExtCustomDropDown::KeyPressEvent(QChar& key)
{
    if (OnKeyPress)
        OnKeyPress(this, key);
}

void TExtCustomDropDown::ChangeEvent()
{
    if (OnChange)
        OnChange(this);
}

void TExtCustomDropDown::KeyUp(quint16& key, TShiftState shift)
{
    if (OnKeyUp)
        OnKeyUp(this, key, shift);
}

void TExtCustomDropDown::DoEnter()
{
    if (OnEnter)
        OnEnter(this);
}

void TExtCustomDropDown::DoExit()
{
    if (OnExit)
        OnExit(this);
}

bool TExtCustomDropDown::PassKeyToWindow(quint16 key) const
{
    return DefaultHandling && (key == VK_ESCAPE || key == VK_RETURN);
}

// --- keys -----------------------------------------------------------------------------------------------

void TExtCustomDropDown::SendKeyDown(quint16 key, TShiftState shift)
{
    TWMKey msg;
    msg.CharCode = key;
    WMKeyDown(msg, shift);
}

void TExtCustomDropDown::SendChar(QChar ch, unsigned keyData)
{
    TWMKey msg;
    msg.CharCode = ch.unicode();
    msg.KeyData = keyData;
    WMChar(msg);
}

void TExtCustomDropDown::SendKeyUp(quint16 key, TShiftState shift)
{
    quint16 k = key;
    KeyUp(k, shift);
}

bool TExtCustomDropDown::event(QEvent* e)
{
    // The label shows and hides with the edit (when it has a caption).
    if ((e->type() == QEvent::ShowToParent || e->type() == QEvent::HideToParent) && m_label &&
        !m_label->text().isEmpty())
        m_label->setVisible(e->type() == QEvent::ShowToParent);
    if (e->type() == QEvent::KeyPress) {
        auto* ke = static_cast<QKeyEvent*>(e);
        if ((ke->key() == Qt::Key_Tab || ke->key() == Qt::Key_Backtab) && WantTab()) {
            keyPressEvent(ke);
            return true;
        }
    }
    return QLineEdit::event(e);
}

void TExtCustomDropDown::keyPressEvent(QKeyEvent* e)
{
    const TShiftState shift = shiftStateOf(e->modifiers());
    m_keyShift = shift;
    const quint16 vk = virtualKeyOf(*e);
    const unsigned keyData = keyDataOf(*e);
    const bool wasDropped = m_droppedDown;
    bool pass = false;
    if (vk == VK_ESCAPE && CanUndo && !wasDropped && FEditorEnabled) {
        SelectAll();
        SetIsModified(false);
    }
    QPointer<TExtCustomDropDown> alive(this);
    if (vk) {
        TWMKey msg;
        msg.CharCode = vk;
        msg.KeyData = keyData;
        WMKeyDown(msg, shift);
        if (!alive)
            return;
        pass = msg.CharCode != 0 && !wasDropped && PassKeyToWindow(vk);
    }
    for (QChar ch : charsOf(*e)) {
        SendChar(ch, keyData);
        if (!alive)
            return;
    }
    if (pass)
        e->ignore();
    else
        e->accept();
}

void TExtCustomDropDown::keyReleaseEvent(QKeyEvent* e)
{
    const TShiftState shift = shiftStateOf(e->modifiers());
    m_keyShift = shift;
    if (const quint16 vk = virtualKeyOf(*e))
        SendKeyUp(vk, shift);
    e->accept();
}

// --- mouse ----------------------------------------------------------------------------------------------

void TExtCustomDropDown::mousePressEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton && FEditorEnabled) {
        if (!LButtonDown(cursorPositionAt(e->position().toPoint()))) {
            e->accept();
            return;
        }
    }
    QLineEdit::mousePressEvent(e);
    if (e->button() == Qt::LeftButton && !FEditorEnabled)
        ButtonClickRule();
}

void TExtCustomDropDown::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton) {
        QLineEdit::mouseReleaseEvent(e);
        return;
    }
    LButtonUpBefore(cursorPositionAt(e->position().toPoint()));
    QLineEdit::mouseReleaseEvent(e);
    LButtonUpAfter();
}

void TExtCustomDropDown::mouseDoubleClickEvent(QMouseEvent* e)
{
    if (FEditorEnabled)
        QLineEdit::mouseDoubleClickEvent(e);
    else
        e->accept();
}

void TExtCustomDropDown::wheelEvent(QWheelEvent* e)
{
    e->accept();
    if (e->angleDelta().y() < 0)
        SelectNextValue();
    else if (e->angleDelta().y() > 0)
        SelectPreviousValue();
}

void TExtCustomDropDown::ButtonClickRule()
{
    if (!m_form || m_droppedDown || m_form->isVisible())
        return;
    const quint64 closed = m_form->DeActivateTime();
    if (closed != 0 && platform::clock().tickMs() - closed <= 250)
        return;
    DoShowDropDown();
}

// --- focus ----------------------------------------------------------------------------------------------

void TExtCustomDropDown::focusInEvent(QFocusEvent* e)
{
    QLineEdit::focusInEvent(e);
    if (e->reason() == Qt::PopupFocusReason)
        return;
    if (FEditorEnabled) {
        if (AutoSelect && e->reason() != Qt::MouseFocusReason)
            SelectAll();
        else if (!AutoSelect && (FEditType == etFloat || FEditType == etMoney))
            SelectBeforeDecimal();
    }
    DoEnter();
    SetEditRect();
    update();
}

void TExtCustomDropDown::focusOutEvent(QFocusEvent* e)
{
    KillFocusRules();
    QLineEdit::focusOutEvent(e);
    update();
    if (e->reason() != Qt::PopupFocusReason)
        DoExit();
}

void TExtCustomDropDown::enterEvent(QEnterEvent* e)
{
    QLineEdit::enterEvent(e);
    if (isEnabled()) {
        m_mouseInControl = true;
        update();
    }
}

void TExtCustomDropDown::leaveEvent(QEvent* e)
{
    QLineEdit::leaveEvent(e);
    m_mouseInControl = false;
    update();
}

// --- painting -------------------------------------------------------------------------------------------

void TExtCustomDropDown::paintEvent(QPaintEvent* e)
{
    QLineEdit::paintEvent(e);
    Canvas c(this);
    PaintContent(c);
    PaintBorder(c);
    if (m_button)
        m_button->SpeedButton()->SetFocused(m_mouseInControl || hasFocus());
}

void TExtCustomDropDown::PaintContent(Canvas& c)
{
    if (!FEditorEnabled && hasFocus() && FocusDraw)
        PaintEditContentValue(c);
}

void TExtCustomDropDown::PaintEditContentValue(Canvas& c)
{
    const int bw = m_button ? m_button->width() : 0;
    Rect r{2, 2, width() - bw - 1, height() - 2};
    c.pen() = Pen{clBlack, 1, PenStyle::Solid};
    c.brush() = Brush{clHighlight, BrushStyle::Solid};
    c.rectangle(r);
    r.left += 2;
    r.right -= 3;
    c.font().font = font();
    c.font().color = clHighlightText;
    c.setBkMode(BkMode::Transparent);
    c.drawText(GetText(), r, DT_SINGLELINE | DT_VCENTER);
}

void TExtCustomDropDown::PaintBorder(Canvas& c)
{
    const bool colours = m_borderColor != clNone || FocusBorderColor != clNone;
    if (isEnabled() && !Flat && !colours)
        return;
    const Rect r{0, 0, width(), height()};
    auto frame = [&](Color col) {
        c.brush() = Brush{col, BrushStyle::Solid};
        c.frameRect(r);
    };
    if (!isEnabled() && m_isThemed && m_disabledBorder) {
        frame(0xC0C0C0);
    } else if (m_borderColor != clNone && (!hasFocus() || FocusBorderColor == clNone)) {
        frame(m_borderColor);
    } else if (FocusBorderColor != clNone) {
        if (hasFocus())
            frame(FocusBorderColor);
    } else if (Flat) {
        const bool hot = m_mouseInControl || hasFocus();
        if (hot) {
            Rect e = r;
            DrawEdge(c, e, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
            c.brush() = Brush{clBtnFace, BrushStyle::Solid};
            c.frameRect(e);
        } else {
            const Color parentColor = parentWidget() ? fromQColor(parentWidget()->palette().color(QPalette::Window)) : clBtnFace;
            frame(parentColor);
            c.brush() = Brush{parentColor, BrushStyle::Solid};
            c.frameRect(r.inflated(-1, -1));
        }
    }
}

void TExtCustomDropDown::resizeEvent(QResizeEvent* e)
{
    QLineEdit::resizeEvent(e);
    AdjustButtonBounds();
    PlaceLabel();
}

void TExtCustomDropDown::moveEvent(QMoveEvent* e)
{
    QLineEdit::moveEvent(e);
    PlaceLabel();
}

void TExtCustomDropDown::changeEvent(QEvent* e)
{
    QLineEdit::changeEvent(e);
    switch (e->type()) {
    case QEvent::EnabledChange:
        if (m_button)
            m_button->setEnabled(isEnabled());
        if (m_label && !LabelAlwaysEnabled)
            m_label->setEnabled(isEnabled());
        update();
        break;
    case QEvent::FontChange:
        SetEditRect();
        AdjustButtonBounds();
        PlaceLabel(); // the label shows in the edit's font while ParentFont is on
        break;
    case QEvent::ReadOnlyChange:
        if (m_button)
            m_button->update();
        break;
    default:
        break;
    }
}

void TExtCustomDropDown::SetEditRect()
{
    const int bw = m_button ? m_button->width() : m_buttonWidth;
    const bool bordered = hasFrame();
    const int border = bordered ? 2 : 0;
    const int clientW = width() - 2 * border, clientH = height() - 2 * border;
    m_editRect = Rect{bordered ? 1 : 2, bordered ? 1 : 3, clientW - bw - 3, clientH + 1};
    setTextMargins(0, 0, bw + 1, 0);
}

void TExtCustomDropDown::AdjustButtonBounds()
{
    const int h = QFontMetrics(font()).height();
    const int hs = QFontMetrics(QApplication::font()).height();
    const int minHeight = h + std::min(h, hs) / 4;
    if (height() < minHeight) {
        resize(width(), minHeight);
        return;
    }
    if (m_button) {
        const bool bordered = hasFrame();
        const int border = bordered ? 2 : 0;
        const int a = Flat ? 3 : bordered ? 4 : 2;
        const int bw = m_buttonWidth;
        if (bordered) {
            m_button->setGeometry(border + width() - bw - a, border + (Flat ? 2 : 0), bw, height() - a);
        } else {
            m_button->setGeometry(width() - bw, 1, bw, height() - 2);
        }
    }
    SetEditRect();
    update();
}

void TExtCustomDropDown::ApplyColor()
{
    QPalette p = palette();
    p.setColor(QPalette::Base, toQColor(m_color));
    setPalette(p);
}

void TExtCustomDropDown::SetColor(Color c)
{
    m_color = c;
    ApplyColor();
}

void TExtCustomDropDown::SetBorderColor(Color c)
{
    if (c == m_borderColor)
        return;
    m_borderColor = c;
    update();
    if (m_button)
        m_button->SpeedButton()->update();
}

void TExtCustomDropDown::SetDisabledBorder(bool on)
{
    if (on == m_disabledBorder)
        return;
    m_disabledBorder = on;
    update();
}

// --- label ----------------------------------------------------------------------------------------------

void TDropDownLabel::mouseReleaseEvent(QMouseEvent* e)
{
    QLabel::mouseReleaseEvent(e);
    if (OnClick)
        OnClick();
}

void TDropDownLabel::mouseDoubleClickEvent(QMouseEvent* e)
{
    QLabel::mouseDoubleClickEvent(e);
    if (OnDblClick)
        OnDblClick();
}

QString TExtCustomDropDown::LabelCaption() const { return m_label ? m_label->text() : QString(); }

void TExtCustomDropDown::SetLabelCaption(const QString& caption)
{
    if (!m_label) {
        auto* label = new TDropDownLabel(parentWidget());
        label->OnClick = [this] { LabelClick(); };
        label->OnDblClick = [this] { LabelDblClick(); };
        m_label = label;
        m_label->setBuddy(this);
    }
    m_label->setText(caption);
    m_label->adjustSize();
    PlaceLabel();
}

void TExtCustomDropDown::SetLabelPosition(TLabelPosition p)
{
    m_labelPosition = p;
    PlaceLabel();
}

void TExtCustomDropDown::SetLabelMargin(int margin)
{
    m_labelMargin = margin;
    PlaceLabel();
}

void TExtCustomDropDown::SetLabelTransparent(bool on)
{
    m_labelTransparent = on;
    PlaceLabel();
}

void TExtCustomDropDown::SetLabelFont(const QFont& f)
{
    if (!m_parentFont)
        m_labelFont = f;
    PlaceLabel();
}

void TExtCustomDropDown::SetParentFont(bool on)
{
    m_parentFont = on;
    PlaceLabel();
}

void TExtCustomDropDown::PlaceLabel()
{
    if (!m_label)
        return;
    m_label->setAutoFillBackground(!m_labelTransparent);
    m_label->setFont(m_parentFont ? font() : m_labelFont);
    m_label->adjustSize();
    const int w = QFontMetrics(m_label->font()).horizontalAdvance(m_label->text());
    const int lh = m_label->height(), lw = m_label->width();
    const int L = x(), T = y(), W = width(), H = height(), M = m_labelMargin;
    int top = T, left = L;
    switch (m_labelPosition) {
    case lpLeftTop:
        top = T, left = L - w - M;
        break;
    case lpLeftCenter:
        top = T + (H - lh) / 2, left = L - w - M;
        break;
    case lpLeftBottom:
        top = T + H - lh, left = L - w - M;
        break;
    case lpTopLeft:
        top = T - lh - M, left = L;
        break;
    case lpBottomLeft:
        top = T + H + M, left = L;
        break;
    case lpLeftTopLeft:
        top = T, left = L - M;
        break;
    case lpLeftCenterLeft:
        top = T + (H - lh) / 2, left = L - M;
        break;
    case lpLeftBottomLeft:
        top = T + H - lh, left = L - M;
        break;
    case lpTopCenter:
        top = T - lh - M, left = L + (W - lw) / 2;
        break;
    case lpBottomCenter:
        top = T + H + M, left = L + (W - lw) / 2;
        break;
    case lpRightTop:
        top = T, left = L + W + M;
        break;
    case lpRightCenter:
        top = T + (H - lh) / 2, left = L + W + M;
        break;
    case lpRighBottom:
        top = T + H - lh, left = L + W + M;
        break;
    case lpTopRight:
        top = T - lh - M, left = L + W - lw;
        break;
    case lpBottomRight:
        top = T + H + M, left = L + W - lw;
        break;
    }
    m_label->move(left, top);
    // Shown while the edit is meant to show (also on a window that has not opened yet).
    m_label->setVisible(IsShown(this) && !m_label->text().isEmpty());
}

void TExtCustomDropDown::LabelClick()
{
    if (OnLabelClick)
        OnLabelClick(this);
}

void TExtCustomDropDown::LabelDblClick()
{
    if (OnLabelDblClick)
        OnLabelDblClick(this);
}

bool TExtCustomDropDown::eventFilter(QObject* watched, QEvent* e)
{
    const bool hooked = watched == m_hookedControl.data() ||
                        std::any_of(m_keyHooks.begin(), m_keyHooks.end(), [watched](const QPointer<QObject>& p) {
                            return p.data() == watched;
                        });
    if (hooked && (e->type() == QEvent::KeyPress || e->type() == QEvent::KeyRelease)) {
        auto* ke = static_cast<QKeyEvent*>(e);
        const TShiftState shift = shiftStateOf(ke->modifiers());
        m_keyShift = shift;
        QPointer<TExtCustomDropDown> alive(this);
        bool consumed = false;
        quint16 key = virtualKeyOf(*ke);
        if (e->type() == QEvent::KeyRelease) {
            if (key) {
                ControlKeyUp(key, shift);
                consumed = alive && key == 0;
            }
            return consumed;
        }
        if ((ke->modifiers() & Qt::AltModifier) && !ke->text().isEmpty() && m_form && m_droppedDown &&
            m_form->DialogChar(ke->text().at(0)))
            return true;
        const bool wasDropped = m_droppedDown;
        if (key) {
            ControlKeyDown(key, shift);
            if (!alive)
                return true;
            // A key that closed the popup goes no further (the popup window would hand it
            // to the edit again).
            consumed = key == 0 || (wasDropped && !m_droppedDown);
        }
        for (QChar ch : charsOf(*ke)) {
            QChar c = ch;
            ControlKeyPress(c);
            if (!alive)
                return true;
            if (c.isNull())
                consumed = true;
        }
        return consumed;
    }
    return QLineEdit::eventFilter(watched, e);
}

// --- settings -------------------------------------------------------------------------------------------

void TExtCustomDropDown::SetDropDownWidth(int width)
{
    if (width == m_dropDownWidth)
        return;
    m_dropDownWidth = width;
    m_userWidth = m_userHeight = -1;
}

void TExtCustomDropDown::SetDropDownHeight(int height)
{
    if (height == m_dropDownHeight)
        return;
    m_dropDownHeight = height;
    m_userWidth = m_userHeight = -1;
}

void TExtCustomDropDown::SetDropDownButtonHint(const QString& hint)
{
    if (hint == m_buttonHint)
        return;
    m_buttonHint = hint;
    if (m_button)
        m_button->setToolTip(hint);
}

void TExtCustomDropDown::SetDropDownButtonWidth(int width)
{
    if (!m_button || width == m_buttonWidth)
        return;
    m_buttonWidth = width;
    m_button->SetButtonWidth(width);
    AdjustButtonBounds();
}

QString TExtCustomDropDown::DropDownButtonCaption() const { return m_button ? m_button->ButtonCaption() : QString(); }

void TExtCustomDropDown::SetDropDownButtonCaption(const QString& caption)
{
    if (m_button)
        m_button->SetButtonCaption(caption);
}

const Bitmap& TExtCustomDropDown::DropDownButtonGlyph() const
{
    static const Bitmap none;
    return m_button ? m_button->SpeedButton()->Glyph : none;
}

void TExtCustomDropDown::SetDropDownButtonGlyph(const Bitmap& glyph)
{
    if (m_button) {
        m_button->SpeedButton()->Glyph = glyph;
        m_button->SpeedButton()->update();
    }
}

void TExtCustomDropDown::SetMaxLength(int length)
{
    m_maxLength = std::max(0, length);
    setMaxLength(m_maxLength > 0 ? m_maxLength : 32767);
}

void TExtCustomDropDown::SetEditMask(const QString& mask)
{
    m_editMask = mask;
    setInputMask(translateEditMask(mask).qtMask);
}

void TExtCustomDropDown::SetReadOnly(bool on)
{
    setReadOnly(on);
    if (m_button)
        m_button->update();
}

void TExtCustomDropDown::SetEditorEnabled(bool on)
{
    TDropDownInput::SetEditorEnabled(on);
    update();
}

QString TExtCustomDropDown::Version() const
{
    const quint32 v = GetVersionNr();
    return QStringLiteral("%1.%2.%3.%4").arg(v >> 24).arg((v >> 16) & 0xFF).arg((v >> 8) & 0xFF).arg(v & 0xFF);
}

void TExtCustomDropDown::SetControl(QWidget* control)
{
    if (control == m_control)
        return;
    m_control = control;
    PlaceDropDownControl();
}

void TExtCustomDropDown::Assign(const TExtCustomDropDown* s)
{
    if (!s)
        return;
    FocusDraw = s->FocusDraw;
    ForceShadow = s->ForceShadow;
    DropDownEnabled = s->DropDownEnabled;
    DropDownColor = s->DropDownColor;
    DropDownColorTo = s->DropDownColorTo;
    DropDownGradient = s->DropDownGradient;
    DropDownBorderColor = s->DropDownBorderColor;
    DropDownBorderWidth = s->DropDownBorderWidth;
    DropDownShadow = s->DropDownShadow;
    SetDropDownWidth(s->m_dropDownWidth);
    SetDropDownHeight(s->m_dropDownHeight);
    DropDownSizeable = s->DropDownSizeable;
    SetEditType(s->FEditType);
    ReturnIsTab = s->ReturnIsTab;
    LengthLimit = s->LengthLimit;
    SetPrecision(s->FPrecision);
    Prefix = s->Prefix;
    Suffix = s->Suffix;
    DefaultHandling = s->DefaultHandling;
    CanUndo = s->CanUndo;
    ExcelStyleDecimalSeparator = s->ExcelStyleDecimalSeparator;
    ValidChars = s->ValidChars;
    Signed = s->Signed;
    AutoThousandSeparator = s->AutoThousandSeparator;
    m_buttonAppearance.Assign(&s->m_buttonAppearance);
    m_header.Assign(&s->m_header);
    m_footer.Assign(&s->m_footer);
    DropPosition = s->DropPosition;
    Flat = s->Flat;
    SetDropDownButtonWidth(s->m_buttonWidth);
    SetDropDownButtonHint(s->m_buttonHint);
    FEditorEnabled = s->FEditorEnabled;
    SetDropDownButtonGlyph(s->DropDownButtonGlyph());
    SetDropDownButtonCaption(s->DropDownButtonCaption());
    Etched = s->Etched;
    m_images = s->m_images;
    m_selectionColorStyle = s->m_selectionColorStyle;
    SelectionColor = s->SelectionColor;
    SelectionColorTo = s->SelectionColorTo;
}

// --- the popup ------------------------------------------------------------------------------------------

void TExtCustomDropDown::CreateDropDownForm()
{
    if (m_form)
        return;
    m_form = new TDropDownForm(this);
    m_form->resize(std::max(1, m_dropDownWidth), std::max(1, m_dropDownHeight));
    m_form->OnSizing = [this] { DropDownSizing(); };
}

void TExtCustomDropDown::CreateDropDownButton()
{
    if (!m_button) {
        m_button = new TDropDownEditButton(this);
        m_button->OnClick = [this] { ButtonClickRule(); };
    }
    UpdateDropDownButton();
}

void TExtCustomDropDown::UpdateDropDownButton()
{
    m_button->SetButtonWidth(m_buttonWidth);
    m_button->resize(m_buttonWidth, 17);
    m_button->show();
}

void TExtCustomDropDown::BeforeDropDown()
{
    if (OnBeforeDropDown)
        OnBeforeDropDown(this);
}

void TExtCustomDropDown::FocusDropDownControl()
{
    QWidget* fc = FocusControl;
    if (fc && fc->focusPolicy() != Qt::NoFocus && fc->isEnabled() && fc->isVisible() && !fc->hasFocus()) {
        fc->setFocus(Qt::PopupFocusReason);
        return;
    }
    if (m_form && !(fc && fc->hasFocus()))
        m_form->setFocus(Qt::PopupFocusReason);
}

void TExtCustomDropDown::PlaceDropDownControl()
{
    if (!m_form || !m_control)
        return;
    if (m_control->parentWidget() != m_form)
        m_control->setParent(m_form);
    m_control->show();
    m_form->Arrange();
}

void TExtCustomDropDown::SizeDropDownForm()
{
    if (!m_form)
        return;
    int w = 0;
    if (m_dropDownWidth > 0)
        w = m_dropDownWidth;
    else if (IsShown(m_control))
        w = m_control->width();
    else
        w = width();
    int h = 0;
    if (m_dropDownHeight > 0) {
        h = m_dropDownHeight;
    } else {
        h = 2 * DropDownBorderWidth + BarsHeight();
        if (IsShown(m_control))
            h += m_control->height();
    }
    m_form->resize(std::max(1, w), std::max(1, h));
}

void TExtCustomDropDown::HookKeys(QObject* widget)
{
    for (const QPointer<QObject>& p : m_keyHooks)
        if (p.data() == widget)
            return;
    m_keyHooks.append(QPointer<QObject>(widget));
    widget->installEventFilter(this);
}

int TExtCustomDropDown::BarsHeight() const
{
    int h = 0;
    if (m_form && IsShown(m_form->Header()))
        h += m_form->Header()->height();
    if (m_form && IsShown(m_form->Footer()))
        h += m_form->Footer()->height();
    return h;
}

void TExtCustomDropDown::HookControl()
{
    if (m_hookedControl == m_control)
        return;
    if (m_hookedControl)
        m_hookedControl->removeEventFilter(this);
    m_hookedControl = m_control;
    if (m_hookedControl)
        m_hookedControl->installEventFilter(this);
}

void TExtCustomDropDown::DoShowDropDown()
{
    if (!m_form || m_form->isVisible() || m_droppedDown || !isEnabled() || isReadOnly())
        return;
    BeforeDropDown();
    m_form->Shadow = DropDownShadow;
    m_form->InitializeAndUpdate();
    SizeDropDownForm();
    PlaceDropDownControl();
    m_form->setMinimumSize(80, 50);
    HookControl();
    const QPoint anchor = parentWidget() ? parentWidget()->mapToGlobal(pos()) : mapToGlobal(QPoint(0, 0));
    bool accept = true;
    if (OnDropDown)
        OnDropDown(this, accept);
    if (!accept)
        return;
    QSize size = m_form->size();
    if (m_userWidth != -1 && m_userHeight != -1)
        size = QSize(m_userWidth, m_userHeight);
    int h = size.height();
    AdjustDropDownHeight(h);
    size.setHeight(h);
    size = size.expandedTo(m_form->minimumSize());
    QScreen* scr = screen() ? screen() : QGuiApplication::primaryScreen();
    const QRect screenRect = scr ? scr->geometry() : QRect(0, 0, 1280, 1024);
    const QRect work = scr ? scr->availableGeometry() : screenRect;
    const QPoint at = PlacePopup(anchor, height(), size, DropPosition, screenRect, work);
    m_droppedDown = true;
    m_form->setGeometry(QRect(at, size));
    m_form->show();
    m_form->raise();
    m_form->Arrange();
    FocusDropDownControl();
}

void TExtCustomDropDown::DoHideDropDown(bool cancel)
{
    if (!m_form || (!m_form->isVisible() && !m_hiding) || !m_droppedDown)
        return;
    if (OnBeforeDropUp)
        OnBeforeDropUp(this);
    m_userWidth = m_form->width();
    m_userHeight = m_form->height();
    m_form->HideByEdit();
    DropUpDone();
    QToolTip::hideText();
    if (cancel)
        SetText(FOldText);
    if (OnDropUp)
        OnDropUp(this, cancel);
}

void TExtCustomDropDown::FormDeactivated()
{
    if (!m_droppedDown)
        return;
    m_hiding = true;
    DoHideDropDown(m_form->CancelOnDeActivate);
    m_hiding = false;
}

void TExtCustomDropDown::DropUpDone()
{
    m_droppedDown = false;
    if (focusPolicy() != Qt::NoFocus && isEnabled() && isVisible() && !hasFocus())
        setFocus(Qt::PopupFocusReason);
}

void TExtCustomDropDown::DropDownMouseWheelDown() { SelectNextValue(); }

void TExtCustomDropDown::DropDownMouseWheelUp() { SelectPreviousValue(); }

void TExtCustomDropDown::DropDownFormKeyPress(QChar& key) { SendChar(key); }

void TExtCustomDropDown::DropDownFormKeyDown(quint16& key, TShiftState shift) { SendKeyDown(key, shift); }

void TExtCustomDropDown::DropDownFormKeyUp(quint16& key, TShiftState shift) { SendKeyUp(key, shift); }

void TExtCustomDropDown::ControlKeyDown(quint16& key, TShiftState shift) { SendKeyDown(key, shift); }

void TExtCustomDropDown::ControlKeyUp(quint16& key, TShiftState shift) { SendKeyUp(key, shift); }

void TExtCustomDropDown::ControlKeyPress(QChar& key) { SendChar(key); }

void TExtCustomDropDown::BarsChanged()
{
    if (m_form && m_droppedDown) {
        m_form->InitializeAndUpdate();
        m_form->Arrange();
    }
}

// --- styles ---------------------------------------------------------------------------------------------

void TExtCustomDropDown::SetSelectionColorStyle(TSelectionColorStyle style)
{
    m_selectionColorStyle = style;
    if (const auto preset = SelectionPresetColors(style)) {
        SelectionColor = preset->first;
        SelectionColorTo = preset->second;
    }
}

void TExtCustomDropDown::DrawSelectionBackground(Canvas& canvas, const Rect& r, int side, Color background)
{
    const auto block = SelectionBlockColors(m_selectionColorStyle);
    if (!block) {
        canvas.brush() = Brush{SelectionColor, BrushStyle::Solid};
        canvas.pen() = Pen{SelectionColor, 1, PenStyle::Solid};
        canvas.fillRect(r);
        return;
    }
    controls::grid::DrawSelectionBlock(canvas, SelectionColor, SelectionColorTo, block->mirror, block->mirrorTo,
                                       block->upperInner, block->lowerInner, block->outer, block->corner, background,
                                       r, side);
}

void TExtCustomDropDown::DrawBackgroundGradient(Canvas& canvas, Color from, bool vertical, const Rect& r, int steps,
                                                Color to)
{
    DrawGradientSteps(canvas, from, to, !vertical, r, steps);
}

void TExtCustomDropDown::SetComponentStyle(TVekkoStyle style)
{
    m_style = style;
    const auto popup = PopupStyleColors(style);
    if (!popup)
        return;
    DropDownColor = popup->dropDownColor;
    DropDownColorTo = popup->dropDownColorTo;
    if (popup->dropDownBorderColor)
        DropDownBorderColor = *popup->dropDownBorderColor;
    auto bar = [](TBarAppearance& a, const TBarColors& c) {
        a.Color = c.color;
        a.ColorTo = c.colorTo;
        a.BorderColor = c.borderColor;
        a.FontColor = c.fontColor;
    };
    bar(m_header, popup->header);
    bar(m_footer, popup->footer);
    const auto b = *BarButtonStyleColors(style);
    TExtButtonAppearance& a = m_buttonAppearance;
    a.SetColor(b.color);
    a.SetColorTo(b.colorTo);
    a.SetBorderColor(b.borderColor);
    a.SetColorHot(b.colorHot);
    a.SetColorHotTo(b.colorHotTo);
    a.SetBorderColorHot(b.borderColorHot);
    a.SetColorDown(b.colorDown);
    a.SetColorDownTo(b.colorDownTo);
    a.SetBorderColorDown(b.borderColorDown);
    a.SetColorDisabled(b.colorDisabled);
    a.SetColorDisabledTo(b.colorDisabledTo);
    a.SetColorChecked(b.colorChecked);
    a.SetColorCheckedTo(b.colorCheckedTo);
    a.SetBorderColorChecked(b.borderColorChecked);
}

void TExtCustomDropDown::SetColorTones(const TColorTones& tones)
{
    if (m_button) {
        m_button->ButtonColor = tones.Background.BrushColor;
        m_button->ButtonColorHot = tones.Hover.BrushColor;
        m_button->ButtonColorDown = tones.Selected.BrushColor;
        m_button->ButtonBorderColor = tones.Background.BorderColor;
        m_button->SpeedButton()->update();
    }
    SetBorderColor(tones.Background.BorderColor);
}

void TExtCustomDropDown::SetItemAppearanceStyle(TItemAppearance* a, TVekkoStyle style)
{
    if (!a)
        return;
    const auto c = ItemStyleColors(style);
    if (!c)
        return;
    a->BorderColorHot = clNone;
    a->BorderColorSelected = clNone;
    a->ColorSelectedText = 0;
    a->ColorHotText = 0;
    a->ColorHot = c->colorHot;
    a->ColorHotTo = c->colorHotTo;
    a->ColorMirrorHot = c->colorMirrorHot;
    a->ColorMirrorHotTo = c->colorMirrorHotTo;
    a->ColorSelected = c->colorSelected;
    a->ColorSelectedTo = c->colorSelectedTo;
    a->ColorMirrorSelected = c->colorMirrorSelected;
    a->ColorMirrorSelectedTo = c->colorMirrorSelectedTo;
    a->BorderColor = c->borderColor;
    a->BorderColorTop = c->borderColorTop;
    a->BorderColorBottom = c->borderColorBottom;
    a->EdgeColor = c->edgeColor;
    a->ColorSelectedText = c->colorSelectedText;
}

} // namespace controls::grid::dropdown
