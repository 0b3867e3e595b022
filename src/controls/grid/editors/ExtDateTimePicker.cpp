#include "controls/grid/editors/ExtDateTimePicker.h"

#include "controls/grid/style/ExtStyle.h"
#include "platform/core/Messages.h"
#include "platform/draw/Theme.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <cmath>

namespace controls::grid {

using namespace platform;

namespace {

QEvent::Type shiftFocusMessage() { return RegisterWindowMessage(QStringLiteral("DTPShiftFocus")); }

bool isDigit(QChar c) { return c.unicode() >= u'0' && c.unicode() <= u'9'; }

// The value without its milliseconds.
TDateTime withoutMilliseconds(TDateTime value)
{
    int h = 0, n = 0, s = 0, ms = 0;
    DecodeTime(value, h, n, s, ms);
    TDateTime t = 0;
    TryEncodeTime(h, n, s, 0, t);
    return ComposeDateTime(value, t);
}

} // namespace

// --- TCustomDateTimePicker ------------------------------------------------------------------------------

TCustomDateTimePicker::TCustomDateTimePicker(QWidget* parent) : TFlatDateTimePicker(parent)
{
    Ctl3D = false;
    m_borderColor = clBlack;
    SetBorderStyle(pbsSingle);
    m_borderStyle = pbsNone;
}

bool TCustomDateTimePicker::MetroActive() const { return MetroStyle() && !SuppressOwnPainting(); }

void TCustomDateTimePicker::KeyPress(QChar& key)
{
    const bool digit = isDigit(key) && m_autoTab;
    if (digit && Kind() == dtkTime)
        m_savedTime = TimePartsOf(DateTime());
    TFlatDateTimePicker::KeyPress(key);
    if (digit && !key.isNull())
        PostShiftFocus();
}

void TCustomDateTimePicker::PostShiftFocus()
{
    QCoreApplication::postEvent(this, new QEvent(shiftFocusMessage()));
}

void TCustomDateTimePicker::PostNextField()
{
    QCoreApplication::postEvent(this, new QKeyEvent(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier));
}

void TCustomDateTimePicker::ShiftFocus()
{
    if (Kind() == dtkTime && TimePickerShift(m_savedTime, TimePartsOf(DateTime())) == TShiftAction::NextField)
        PostNextField();
}

bool TCustomDateTimePicker::event(QEvent* e)
{
    if (e->type() == shiftFocusMessage()) {
        ShiftFocus();
        return true;
    }
    return TFlatDateTimePicker::event(e);
}

void TCustomDateTimePicker::PaintOutline(Canvas& canvas)
{
    if (Ctl3D)
        return;
    const int w = width(), h = height();
    canvas.pen() = Pen{FlatEdgeColor(), 1, PenStyle::Solid};
    canvas.polyline({QPoint(0, h), QPoint(0, 0), QPoint(w - 1, 0), QPoint(w - 1, h - 1), QPoint(0, h - 1)});
    if (!DoVisualStyles())
        canvas.polyline({QPoint(1, h), QPoint(1, 1), QPoint(w - 2, 1), QPoint(w - 2, h - 2), QPoint(0, h - 2)});
}

// --- TExtDateTimePicker ------------------------------------------------------------------------------------

TExtDateTimePicker::TExtDateTimePicker(QWidget* parent) : TCustomDateTimePicker(parent)
{
    SetBorderStyle(pbsSingle);
    Ctl3D = true;
    SetMetroStyle(false);
    m_focusTimer = new QTimer(this);
    m_focusTimer->setInterval(20);
    m_focusTimer->setSingleShot(true);
    m_label.OnClick = [this]() {
        if (OnLabelClick)
            OnLabelClick(this);
    };
    m_label.OnDblClick = [this]() {
        if (OnLabelDblClick)
            OnLabelDblClick(this);
    };
    // The stored kind is applied through its setter once the window exists.
    m_kind = dkDate;
    SetExtKind(dkDateTime);
}

TExtDateTimePicker::~TExtDateTimePicker()
{
    // The time field goes first, while this picker is still whole (it filters its events).
    FreeTimePicker();
}

void TExtDateTimePicker::SetExtKind(TExtDateTimeKind kind)
{
    if (kind == m_kind)
        return;
    m_kind = kind;
    SetKind(kind == dkTime ? dtkTime : dtkDate);
    if (kind == dkDateTime)
        CreateTimePicker();
    UpdateTimePicker();
}

TDateTime TExtDateTimePicker::DateTime()
{
    if (m_timePicker)
        StoreValue(ComposeDateTime(TDateTimePicker::DateTime(), m_timePicker->Time()));
    return TDateTimePicker::DateTime();
}

void TExtDateTimePicker::SetDateTime(TDateTime value)
{
    const TDateTime v = withoutMilliseconds(value);
    TDateTimePicker::SetDateTime(v);
    CreateTimePicker();
    if (m_timePicker)
        m_timePicker->TDateTimePicker::SetDateTime(v);
}

void TExtDateTimePicker::SetDate(TDateTime value)
{
    SetDateTime(ComposeDateTime(value, withoutMilliseconds(DateTime())));
}

TDateTime TExtDateTimePicker::Time() const
{
    if (m_kind == dkDateTime && m_timePicker)
        return m_timePicker->Time();
    return TDateTimePicker::Time();
}

void TExtDateTimePicker::SetTime(TDateTime value)
{
    TDateTimePicker::SetTime(value);
    UpdateTimePicker();
}

void TExtDateTimePicker::SetTimeFormat(const QString& format)
{
    if (m_timePicker)
        m_timePicker->SetFormat(format);
    if (m_kind == dkTime)
        SetFormat(format);
    m_timeFormat = format;
    UpdateTimePicker();
}

void TExtDateTimePicker::SetAutoTab(bool on)
{
    TCustomDateTimePicker::SetAutoTab(on);
    if (m_timePicker)
        m_timePicker->SetAutoTab(on);
}

void TExtDateTimePicker::SetBorderStyle(TPickerBorderStyle style)
{
    TCustomDateTimePicker::SetBorderStyle(style);
    UpdateTimePicker();
}

void TExtDateTimePicker::SetColor(Color c)
{
    TCustomDateTimePicker::SetColor(c);
    UpdateTimePicker();
}

// --- the time field -----------------------------------------------------------------------------------------

void TExtDateTimePicker::CreateTimePicker()
{
    if (m_timePicker || m_kind != dkDateTime)
        return;
    auto* tp = new TCustomDateTimePicker(this);
    m_timePicker = tp;
    tp->resize(90, 17);
    tp->hide();
    tp->setEnabled(isEnabled());
    tp->SetKind(dtkTime);
    tp->SetAutoTab(AutoTab());
    tp->OnChange = [this](QObject*) { TimeChanged(); };
    tp->OnClick = [this](QObject*) { DoClick(); };
    tp->OnKeyPress = [this](QObject*, QChar& key) { TimePickerKeyPress(key); };
    tp->OnKeyDown = [this](QObject*, quint16& key, TShiftState shift) { KeyDown(key, shift); };
    tp->installEventFilter(this);
}

void TExtDateTimePicker::UpdateTimePicker()
{
    if (!m_timePicker || m_updating)
        return;
    m_updating = true;
    TCustomDateTimePicker* tp = m_timePicker;
    tp->SetColor(GetColor());
    tp->setEnabled(isEnabled() && (Checked() || !ShowCheckbox()));
    const bool visible = m_kind == dkDateTime;
    tp->setVisible(visible);
    tp->TDateTimePicker::SetTime(Time());
    tp->TDateTimePicker::SetDateTime(DateTime());
    tp->SetFormat(m_timeFormat);
    tp->setFont(font());
    if (!visible && !m_loading) {
        FreeTimePicker();
        m_updating = false;
        return;
    }
    const int a = QFontMetrics(font()).horizontalAdvance(tp->Text().left(255)) + 31;
    const int w = width(), h = height(), b = 0;
    if (!IsComCtl32Version6())
        tp->setGeometry(w - a - b - 23, -2, a, h - b);
    else if (!IsThemeActive())
        tp->setGeometry(w - a - b - 21, 2, a, h - b - 4);
    else if (MetroActive())
        tp->setGeometry(w - a - b - 21, 1, a, h - b - 2);
    else
        tp->setGeometry(w - a - b - 34, 1, a, h - b - 2);
    m_updating = false;
}

void TExtDateTimePicker::FreeTimePicker()
{
    TCustomDateTimePicker* tp = m_timePicker;
    m_timePicker = nullptr;
    if (!tp)
        return;
    tp->removeEventFilter(this);
    delete tp;
}

void TExtDateTimePicker::TimeChanged()
{
    DoChange();
    if (OnTimeChange)
        OnTimeChange(this);
}

void TExtDateTimePicker::DoChange()
{
    if (OnChange)
        OnChange(this);
}

void TExtDateTimePicker::DoClick()
{
    if (OnClick)
        OnClick(this);
}

void TExtDateTimePicker::TimePickerKeyPress(QChar&) {}

void TExtDateTimePicker::Change() { DoChange(); }

// --- field advance ---------------------------------------------------------------------------------------------

void TExtDateTimePicker::KeyPress(QChar& key)
{
    if (isDigit(key) && AutoTab())
        m_savedDate = DatePartsOf(DateTime());
    TCustomDateTimePicker::KeyPress(key);
}

void TExtDateTimePicker::ShiftFocus()
{
    if (m_kind == dkTime) {
        TCustomDateTimePicker::ShiftFocus();
        return;
    }
    switch (DateTimePickerShift(Format(), m_savedDate, DatePartsOf(DateTime()))) {
    case TShiftAction::TimeField:
        if (m_timePicker)
            m_timePicker->setFocus(Qt::TabFocusReason);
        break;
    case TShiftAction::NextField: PostNextField(); break;
    case TShiftAction::None: break;
    }
}

// --- the check box ------------------------------------------------------------------------------------------------

void TExtDateTimePicker::WMNotify(TDTNotify& msg)
{
    TCustomDateTimePicker::WMNotify(msg);
    // Every notification is handled as usual first; a change of the check box couples the time
    // field to it.
    if (!ShowCheckbox() || msg.Code != DTN_DATETIMECHANGE)
        return;
    if (!m_ignoreTimePickerCheck && m_timePicker) {
        m_timePicker->setEnabled(isEnabled() && Checked());
        if (msg.Flags == GDT_NONE)
            m_timePicker->setEnabled(false);
    }
    m_ignoreTimePickerCheck = false;
    m_focusTimer->start();
}

void TExtDateTimePicker::SetSystemTime(int flag, TDateTime value)
{
    TCustomDateTimePicker::SetSystemTime(flag, value);
    if (!ShowCheckbox() || !m_timePicker)
        return;
    m_timePicker->setEnabled(isEnabled() && Checked());
    if (flag == GDT_VALID)
        m_ignoreTimePickerCheck = m_timePicker->isEnabled();
}

// --- loading --------------------------------------------------------------------------------------------------------

void TExtDateTimePicker::Loaded()
{
    m_loading = false;
    CreateTimePicker();
    UpdateTimePicker();
    if (ShowCheckbox() && !Checked()) {
        SetChecked(false);
        if (m_timePicker)
            m_timePicker->setEnabled(false);
    }
    m_label.FollowEnabled(isEnabled());
    UpdateLabel();
    m_parentFnt = true;
    UpdateLabel();
}

// --- label -------------------------------------------------------------------------------------------------------------

QString TExtDateTimePicker::LabelCaption() const { return m_label.Caption(); }

void TExtDateTimePicker::SetLabelCaption(const QString& caption)
{
    m_label.SetCaption(caption);
    UpdateLabel();
}

void TExtDateTimePicker::SetLabelPosition(TLabelPosition position)
{
    m_label.Position = position;
    UpdateLabel();
}

void TExtDateTimePicker::SetLabelMargin(int margin)
{
    m_label.Margin = margin;
    UpdateLabel();
}

void TExtDateTimePicker::SetLabelTransparent(bool on)
{
    m_label.Transparent = on;
    UpdateLabel();
}

void TExtDateTimePicker::SetLabelAlwaysEnabled(bool on)
{
    m_label.AlwaysEnabled = on;
    if (on && m_label.Label())
        m_label.Label()->setEnabled(true);
    update();
}

void TExtDateTimePicker::SetLabelFont(const QFont& f)
{
    m_label.Font = f;
    UpdateLabel();
}

void TExtDateTimePicker::UpdateLabel() { m_label.Place(m_parentFnt, isVisible()); }

// --- Qt events --------------------------------------------------------------------------------------------------------

void TExtDateTimePicker::paintEvent(QPaintEvent* e)
{
    if (m_firstRun) {
        m_firstRun = false;
        UpdateTimePicker();
    }
    TCustomDateTimePicker::paintEvent(e);
}

void TExtDateTimePicker::resizeEvent(QResizeEvent* e)
{
    TCustomDateTimePicker::resizeEvent(e);
    UpdateTimePicker();
    UpdateLabel();
}

void TExtDateTimePicker::moveEvent(QMoveEvent* e)
{
    TCustomDateTimePicker::moveEvent(e);
    UpdateLabel();
}

void TExtDateTimePicker::changeEvent(QEvent* e)
{
    TCustomDateTimePicker::changeEvent(e);
    if (e->type() == QEvent::EnabledChange) {
        if (m_timePicker)
            m_timePicker->setEnabled(isEnabled() && (Checked() || !ShowCheckbox()));
        m_label.FollowEnabled(isEnabled());
    }
    if (e->type() == QEvent::ParentChange)
        UpdateLabel();
}

void TExtDateTimePicker::focusInEvent(QFocusEvent* e)
{
    TCustomDateTimePicker::focusInEvent(e);
    if (!m_loading)
        m_label.SetBold(true);
}

void TExtDateTimePicker::focusOutEvent(QFocusEvent* e)
{
    TCustomDateTimePicker::focusOutEvent(e);
    if (!m_loading)
        m_label.SetBold(false);
}

bool TExtDateTimePicker::eventFilter(QObject* watched, QEvent* e)
{
    // Tab in the time field is the picker's when the picker takes Tab.
    if (watched == m_timePicker && e->type() == QEvent::KeyPress && isFocusTab(*static_cast<QKeyEvent*>(e))
        && WantSpecialKey(VK_TAB)) {
        quint16 key = VK_TAB;
        KeyDown(key, shiftStateOf(static_cast<QKeyEvent*>(e)->modifiers()));
        return true;
    }
    return TCustomDateTimePicker::eventFilter(watched, e);
}

void TExtDateTimePicker::showEvent(QShowEvent* e)
{
    TCustomDateTimePicker::showEvent(e);
    if (QLabel* label = m_label.Label())
        label->setVisible(true);
}

void TExtDateTimePicker::hideEvent(QHideEvent* e)
{
    TCustomDateTimePicker::hideEvent(e);
    if (QLabel* label = m_label.Label())
        label->setVisible(false);
}

} // namespace controls::grid
