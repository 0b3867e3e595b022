#include "controls/grid/editors/XgrSpin.h"

#include "platform/core/DateTime.h"
#include "platform/core/FormatSettings.h"
#include "platform/draw/Frames.h"
#include "platform/draw/Theme.h"

#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <climits>

namespace controls::grid {

using namespace platform;

// --- TExtTimerSpeedButton ---------------------------------------------------------------------------

TExtTimerSpeedButton::TExtTimerSpeedButton(TXgrSpinButton* owner) : TSpeedButton(owner), m_owner(owner) {}

void TExtTimerSpeedButton::TimerExpired()
{
    if (!m_repeatTimer)
        return;
    m_repeatTimer->setInterval(100);
    if (Down()) {
        try {
            Click();
        } catch (...) {
            m_repeatTimer->stop();
            throw;
        }
    }
}

void TExtTimerSpeedButton::MouseDown()
{
    if (OnMouseDown)
        OnMouseDown(this);
    if (TimeBtnState.testFlag(tbAllowTimer)) {
        if (!m_repeatTimer) {
            m_repeatTimer = new QTimer(this);
            connect(m_repeatTimer, &QTimer::timeout, this, &TExtTimerSpeedButton::TimerExpired);
        }
        m_repeatTimer->setInterval(400);
        m_repeatTimer->start();
    }
    if (parentWidget())
        parentWidget()->update();
}

void TExtTimerSpeedButton::MouseUp(bool over)
{
    if (m_repeatTimer)
        m_repeatTimer->stop();
    if (parentWidget())
        parentWidget()->update();
    TSpeedButton::MouseUp(over);
}

void TExtTimerSpeedButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    Canvas canvas(painter);
    Rect r{0, 0, width(), height()};
    const bool down = Down();
    if (m_owner->ButtonColor != clNone) {
        Color face = m_owner->ButtonColor;
        if (down && m_owner->ButtonColorDown != clNone)
            face = m_owner->ButtonColorDown;
        else if (Hot() && m_owner->ButtonColorHot != clNone)
            face = m_owner->ButtonColorHot;
        canvas.pen() = Pen{face, 1, PenStyle::Solid};
        canvas.brush() = Brush{face, BrushStyle::Solid};
        canvas.rectangle(r);
        const int l = r.left, t = r.top;
        canvas.pen() = Pen{clBlack, 1, PenStyle::Solid};
        canvas.brush() = Brush{clBlack, BrushStyle::Solid};
        switch (ButtonDirection) {
        case bdLeft: canvas.polygon({QPoint(l + 5, t + 5), QPoint(l + 3, t + 7), QPoint(l + 5, t + 9)}); break;
        case bdRight: canvas.polygon({QPoint(l + 3, t + 5), QPoint(l + 5, t + 7), QPoint(l + 3, t + 9)}); break;
        case bdUp: canvas.polygon({QPoint(l + 4, t + 4), QPoint(l + 8, t + 4), QPoint(l + 6, t + 2)}); break;
        case bdDown: canvas.polygon({QPoint(l + 4, t + 2), QPoint(l + 8, t + 2), QPoint(l + 6, t + 4)}); break;
        }
        return;
    }
    if (IsWinXP) {
        if (const HTHEME theme = OpenThemeData(m_owner, QStringLiteral("spin"))) {
            int part = SPNP_UP;
            switch (ButtonDirection) {
            case bdUp: part = SPNP_UP; break;
            case bdDown: part = SPNP_DOWN; break;
            case bdRight: part = SPNP_UPHORZ; break;
            case bdLeft: part = SPNP_DOWNHORZ; break;
            }
            const int state = down ? UPS_PRESSED : Hot() ? UPS_HOT : UPS_NORMAL;
            DrawThemeBackground(theme, canvas, part, state, r);
            CloseThemeData(theme);
            return;
        }
    }
    if (ButtonDirection == bdLeft || ButtonDirection == bdRight) {
        unsigned state = ButtonDirection == bdLeft ? DFCS_SCROLLLEFT : DFCS_SCROLLRIGHT;
        if (down)
            state |= DFCS_PUSHED;
        if (Flat)
            state |= DFCS_FLAT;
        DrawFrameControl(canvas, r, DFC_SCROLL, state);
        return;
    }
    // A plain speed button with the arrow glyph.
    if (!Flat || down || Hot()) {
        Rect face = r;
        DrawFrameControl(canvas, face, DFC_BUTTON, DFCS_BUTTONPUSH | (down ? DFCS_PUSHED : 0u) | (Flat ? DFCS_FLAT : 0u));
    } else if (!Transparent) {
        canvas.brush() = Brush{clBtnFace, BrushStyle::Solid};
        canvas.fillRect(r);
    }
    PaintGlyph(canvas, r);
}

void TExtTimerSpeedButton::PaintGlyph(Canvas& canvas, const Rect& r)
{
    if (!Glyph.isEmpty()) {
        const int gx = Glyph.width() < r.width() ? r.left + (r.width() - Glyph.width()) / 2 : r.left;
        const int gy = Glyph.height() < r.height() ? r.top + (r.height() - Glyph.height()) / 2 : r.top;
        Bitmap glyph = Glyph;
        glyph.setTransparent(true);
        canvas.draw(gx + (Down() ? 1 : 0), gy + (Down() ? 1 : 0), glyph);
        return;
    }
    // The 9 x 6 arrow: an empty top and bottom row and a black triangle whose rows are 1, 3, 5
    // and 7 pixels wide, centred; one pixel right and down while the button is down.
    constexpr int gw = 9, gh = 6;
    int x = r.width() > gw ? r.left + (r.width() - gw) / 2 : r.left;
    int y = r.height() > gh ? r.top + (r.height() - gh) / 2 : r.top;
    if (Down()) {
        ++x;
        ++y;
    }
    canvas.brush() = Brush{isEnabled() ? clBlack : clGray, BrushStyle::Solid};
    for (int row = 0; row < 4; ++row) {
        const int w = 1 + 2 * row;
        const int gy = ButtonDirection == bdUp ? y + 1 + row : y + 4 - row;
        canvas.fillRect(Rect{x + (gw - w) / 2, gy, x + (gw - w) / 2 + w, gy + 1});
    }
}

// --- TXgrSpinButton -------------------------------------------------------------------------------

TXgrSpinButton::TXgrSpinButton(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
    m_up = new TExtTimerSpeedButton(this);
    m_down = new TExtTimerSpeedButton(this);
    m_up->ButtonDirection = bdUp;
    m_down->ButtonDirection = bdDown;
    for (TExtTimerSpeedButton* b : {m_up, m_down}) {
        b->TimeBtnState |= tbAllowTimer;
        b->OnMouseDown = [this](TExtTimerSpeedButton* sender) { ButtonMouseDown(sender); };
        b->OnClick = [this](TSpeedButton* sender) { ButtonClick(static_cast<TExtTimerSpeedButton*>(sender)); };
    }
    m_focusedButton = m_up;
    resize(15, 25);
}

void TXgrSpinButton::SetDirection(TSpinDirection direction)
{
    if (direction == m_direction)
        return;
    m_direction = direction;
    if (direction == spHorizontal) {
        m_up->ButtonDirection = bdRight;
        m_down->ButtonDirection = bdLeft;
        resize(20, height());
    } else {
        m_up->ButtonDirection = bdUp;
        m_down->ButtonDirection = bdDown;
        resize(15, height());
    }
    AdjustSize();
    update();
}

void TXgrSpinButton::SetIsWinXP(bool on)
{
    m_isWinXP = on;
    m_up->IsWinXP = on;
    m_down->IsWinXP = on;
    update();
}

void TXgrSpinButton::SetUpGlyph(const Bitmap& glyph)
{
    m_up->Glyph = glyph;
    m_up->NumGlyphs = 1;
    m_up->update();
}

void TXgrSpinButton::SetDownGlyph(const Bitmap& glyph)
{
    m_down->Glyph = glyph;
    m_down->NumGlyphs = 1;
    m_down->update();
}

void TXgrSpinButton::AdjustSize()
{
    int w = width();
    const int h = height();
    if (m_direction == spVertical) {
        if (w < 15) {
            resize(15, h);
            return;
        }
        const int upHeight = h / 2;
        m_up->setGeometry(0, 0, w, upHeight);
        m_down->setGeometry(0, upHeight - 1, w, h - upHeight + 1);
    } else {
        if (w < 20) {
            resize(20, h);
            return;
        }
        m_down->setGeometry(0, 0, w / 2, h);
        m_up->setGeometry(w / 2 + 1, 0, w / 2, h);
    }
}

void TXgrSpinButton::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    AdjustSize();
}

void TXgrSpinButton::ButtonMouseDown(TExtTimerSpeedButton* button)
{
    if (focusPolicy() != Qt::NoFocus && button != m_focusedButton) {
        m_focusedButton = button;
        if (hasFocus())
            update();
    }
    if (FocusControl && FocusControl->focusPolicy() != Qt::NoFocus && FocusControl->isEnabled()
        && FocusControl->isVisible() && !FocusControl->hasFocus())
        FocusControl->setFocus(Qt::MouseFocusReason);
    else if (focusPolicy() != Qt::NoFocus && !hasFocus() && isEnabled() && isVisible())
        setFocus(Qt::MouseFocusReason);
}

void TXgrSpinButton::ButtonClick(TExtTimerSpeedButton* button)
{
    if (button == m_up) {
        if (OnUpClick)
            OnUpClick(this);
    } else if (OnDownClick) {
        OnDownClick(this);
    }
}

void TXgrSpinButton::keyPressEvent(QKeyEvent* e)
{
    switch (e->key()) {
    case Qt::Key_Space: m_focusedButton->Click(); break;
    case Qt::Key_Up:
        m_focusedButton = m_up;
        m_up->Click();
        break;
    case Qt::Key_Down:
        m_focusedButton = m_down;
        m_down->Click();
        break;
    default: QWidget::keyPressEvent(e); return;
    }
    e->accept();
}

// --- TXgrSpinEdit -----------------------------------------------------------------------------------

TXgrSpinEdit::TXgrSpinEdit(QWidget* parent) : TExtMaskEdit(parent)
{
    m_button = new TXgrSpinButton(this);
    m_button->setCursor(Qt::ArrowCursor);
    m_button->FocusControl = this;
    m_button->OnUpClick = [this](QObject* sender) { UpClick(sender); };
    m_button->OnDownClick = [this](QObject* sender) { DownClick(sender); };
    setText(QStringLiteral("0"));
    SetEditRect();
}

TXgrSpinEdit::~TXgrSpinEdit()
{
    // The arrow pair goes with the editor; its events must not reach a half-destroyed editor.
    m_button->OnUpClick = nullptr;
    m_button->OnDownClick = nullptr;
}

// --- values -----------------------------------------------------------------------------------------

int TXgrSpinEdit::Value() const { return SpinTextToInt(text(), MinValue); }

void TXgrSpinEdit::SetValue(int value)
{
    setText(QString::number(SpinClampInt(value, MinValue, MaxValue)));
    if (!m_editorEnabled)
        selectAll();
}

double TXgrSpinEdit::FloatValue() const { return SpinTextToFloat(text(), MinFloatValue, FormatSettings()); }

void TXgrSpinEdit::SetFloatValue(double value)
{
    setText(SpinFloatToText(SpinClampFloat(value, MinFloatValue, MaxFloatValue), m_precision, FormatSettings()));
}

TDateTime TXgrSpinEdit::DateValue() const
{
    const QString t = text();
    if (t == QStringLiteral("0") || t.isEmpty())
        return Now();
    TDateTime d = 0;
    return TryStrToDate(t, d, FormatSettings()) ? d : MinDateValue;
}

void TXgrSpinEdit::SetDateValue(TDateTime value)
{
    m_dateValue = value;
    if (m_loading)
        return;
    SetTextKeepCaret(DateToStr(SpinClampDate(value, MinDateValue, MaxDateValue)));
}

TDateTime TXgrSpinEdit::TimeValue() const
{
    TDateTime t = 0;
    return TryStrToTime(text(), t, FormatSettings()) ? t : 0;
}

void TXgrSpinEdit::SetTimeValue(TDateTime value)
{
    m_timeValue = value;
    if (m_loading)
        return;
    const TDateTime v = SpinClampDate(value, MinDateValue, MaxDateValue);
    SetTextKeepCaret(ShowSeconds ? TimeToStr(v) : FormatDateTime(QStringLiteral("h:nn"), v));
}

void TXgrSpinEdit::SetTextKeepCaret(const QString& t)
{
    const int caret = cursorPosition();
    setText(t);
    setCursorPosition(std::min(caret, int(t.size())));
}

void TXgrSpinEdit::SetSpinType(TXgrSpinType type)
{
    m_spinType = type;
    switch (type) {
    case sptNormal: SetValue(Value()); break;
    case sptFloat: SetFloatValue(FloatValue()); break;
    case sptDate: SetDateValue(DateValue()); break;
    case sptTime: SetTimeValue(TimeValue()); break;
    }
}

void TXgrSpinEdit::SetPrecision(int digits)
{
    m_precision = digits;
    if (m_spinType == sptFloat)
        SetFloatValue(FloatValue());
}

void TXgrSpinEdit::Loaded()
{
    m_loading = false;
    if (m_spinType == sptDate)
        setText(DateToStr(m_dateValue));
    if (m_spinType == sptTime)
        setText(ShowSeconds ? TimeToStr(m_timeValue) : FormatDateTime(QStringLiteral("h:nn"), m_timeValue));
    SetSpinType(m_spinType);
}

// --- stepping ------------------------------------------------------------------------------------------

TSpinTimeSteps TXgrSpinEdit::TimeSteps() const
{
    return TSpinTimeSteps{IncrementHours, IncrementMinutes, IncrementSeconds, ShowSeconds};
}

void TXgrSpinEdit::IncreaseValue(bool page) { StepValue(true, page); }
void TXgrSpinEdit::DecreaseValue(bool page) { StepValue(false, page); }

void TXgrSpinEdit::StepValue(bool up, bool page)
{
    if (isReadOnly()) {
        MessageBeep();
        return;
    }
    const TFormatSettings& fs = FormatSettings();
    const int sign = up ? 1 : -1;
    switch (m_spinType) {
    case sptNormal:
        SetValue(int(std::clamp<qint64>(qint64(Value()) + sign * qint64(Increment), INT_MIN, INT_MAX)));
        break;
    case sptFloat: SetFloatValue(FloatValue() + sign * (page ? IncrementFloatPage : IncrementFloat)); break;
    case sptDate: {
        const QString f = fs.ShortDateFormat.toUpper();
        m_usDates = f.indexOf(u'M') < f.indexOf(u'D');
        SetDateValue(SpinStepDate(DateValue(), text(), SelStart(), up, fs));
        break;
    }
    case sptTime: SetTimeValue(SpinStepTime(TimeValue(), text(), SelStart(), up, TimeSteps(), fs)); break;
    }
}

bool TXgrSpinEdit::IsValidChar(QChar key)
{
    TSpinCharContext ctx;
    ctx.text = text();
    ctx.selStart = SelStart();
    ctx.selLength = SelLength();
    ctx.spinType = m_spinType;
    ctx.precision = m_precision;
    ctx.editorEnabled = m_editorEnabled;
    return SpinIsValidChar(key, ctx, FormatSettings());
}

void TXgrSpinEdit::UpClick(QObject*) { IncreaseValue(false); }
void TXgrSpinEdit::DownClick(QObject*) { DecreaseValue(false); }

// --- keys ------------------------------------------------------------------------------------------------

void TXgrSpinEdit::WMKeyDown(TWMKey& msg)
{
    switch (msg.CharCode) {
    case VK_PRIOR: IncreaseValue(true); break;
    case VK_NEXT: DecreaseValue(true); break;
    case VK_UP: IncreaseValue(false); break;
    case VK_DOWN: DecreaseValue(false); break;
    default: TExtMaskEdit::WMKeyDown(msg); return;
    }
    msg.CharCode = 0;
}

void TXgrSpinEdit::WMChar(TWMKey& msg)
{
    if (msg.CharCode == u'.' && (msg.KeyData & kKeyDataKeypad) && ExcelStyleDecimalSeparator)
        msg.CharCode = FormatSettings().DecimalSeparator.unicode();
    TExtMaskEdit::WMChar(msg);
}

void TXgrSpinEdit::KeyDown(quint16& key, TShiftState shift)
{
    if (key == VK_RETURN && ReturnIsTab) {
        key = VK_TAB;
        QCoreApplication::postEvent(this, new QKeyEvent(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier));
    }
    if (key == VK_DELETE && !m_editorEnabled)
        key = 0;
    TExtMaskEdit::KeyDown(key, shift);
}

void TXgrSpinEdit::KeyPress(QChar& key)
{
    if (!IsValidChar(key)) {
        key = QChar();
        MessageBeep();
        return;
    }
    TExtMaskEdit::KeyPress(key);
}

void TXgrSpinEdit::WMPaste()
{
    if (!m_editorEnabled || isReadOnly())
        return;
    // A pasted text that makes no value of the kind is refused, as a typed one would be.
    QString result = text();
    result.replace(SelStart(), SelLength(), QApplication::clipboard()->text());
    if (!SpinTextIsValue(result, m_spinType, FormatSettings())) {
        MessageBeep();
        return;
    }
    TExtMaskEdit::WMPaste();
}

void TXgrSpinEdit::WMCut()
{
    if (m_editorEnabled && !isReadOnly())
        TExtMaskEdit::WMCut();
}

void TXgrSpinEdit::DoEnter()
{
    // A click puts the caret where it lands, unless typing is off: then the value is selected.
    if (AutoSelect && FocusByLeftClick() && !m_editorEnabled)
        selectAll();
    TExtMaskEdit::DoEnter();
}

void TXgrSpinEdit::DoExit()
{
    TExtMaskEdit::DoExit();
    switch (m_spinType) {
    case sptNormal: {
        const int v = Value();
        if (SpinClampInt(v, MinValue, MaxValue) != v)
            SetValue(v);
        break;
    }
    case sptFloat: {
        const double v = FloatValue();
        if (SpinClampFloat(v, MinFloatValue, MaxFloatValue) != v)
            SetFloatValue(v);
        break;
    }
    case sptDate: {
        const TDateTime v = DateValue();
        if (SpinClampDate(v, MinDateValue, MaxDateValue) != v)
            SetDateValue(v);
        break;
    }
    case sptTime: {
        const TDateTime v = TimeValue();
        if (SpinClampDate(v, MinDateValue, MaxDateValue) != v)
            SetTimeValue(v);
        break;
    }
    }
}

// --- look and layout ---------------------------------------------------------------------------------

void TXgrSpinEdit::SetDirection(TSpinDirection direction)
{
    if (direction == m_direction)
        return;
    m_direction = direction;
    m_button->SetDirection(direction);
    resize(width() + 1, height());
    resize(width() - 1, height());
}

void TXgrSpinEdit::SetEditAlign(TEditAlign align)
{
    m_editAlign = align;
    switch (align) {
    case eaLeft: setAlignment(Qt::AlignLeft | Qt::AlignVCenter); break;
    case eaRight: setAlignment(Qt::AlignRight | Qt::AlignVCenter); break;
    case eaCenter: setAlignment(Qt::AlignHCenter | Qt::AlignVCenter); break;
    }
}

void TXgrSpinEdit::SetIsWinXP(bool on)
{
    m_isWinXP = on;
    m_button->SetIsWinXP(on);
}

void TXgrSpinEdit::SetSpinFlat(bool on)
{
    m_spinFlat = on;
    m_button->UpButton()->Flat = on;
    m_button->DownButton()->Flat = on;
    m_button->update();
}

void TXgrSpinEdit::SetSpinTransparent(bool on)
{
    m_spinTransparent = on;
    m_button->UpButton()->Transparent = on;
    m_button->DownButton()->Transparent = on;
    resize(width() + 1, height());
    resize(width() - 1, height());
}

void TXgrSpinEdit::SetBorderStyle(TBorderStyle style)
{
    TExtMaskEdit::SetBorderStyle(style);
    SetEditRect();
}

int TXgrSpinEdit::MinHeight() const
{
    const int own = QFontMetrics(font()).height();
    const int system = QFontMetrics(QApplication::font()).height();
    const int i = std::min(own, system);
    return own + i / 4 + 2 + (BorderStyle() == bsSingle ? 4 : 0);
}

void TXgrSpinEdit::resizeEvent(QResizeEvent* e)
{
    TExtMaskEdit::resizeEvent(e);
    if (PlaceRightButton(m_button, MinHeight()))
        SetEditRect();
}

void TXgrSpinEdit::SetEditRect()
{
    const int m = BorderStyle() == bsNone ? 3 : 0;
    setTextMargins(m, 0, m_button->width() + m + 2, 0);
}

} // namespace controls::grid
