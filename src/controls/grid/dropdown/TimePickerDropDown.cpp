#include "controls/grid/dropdown/TimePickerDropDown.h"

#include "controls/grid/dropdown/rules/TimeText.h"
#include "platform/core/FormatSettings.h"
#include "platform/grid/Keys.h"

#include <QVBoxLayout>
#include <cmath>

namespace controls::grid::dropdown {

using namespace platform;

namespace {
QChar Sep() { return FormatSettings().TimeSeparator; }
bool StepKey(quint16 key) { return key == VK_PRIOR || key == VK_NEXT || key == VK_UP || key == VK_DOWN; }
QTime ToQTime(TDateTime t)
{
    int h = 0, m = 0, s = 0, ms = 0;
    DecodeTime(t, h, m, s, ms);
    return QTime(h, m, s);
}
} // namespace

TExtTimePickerDropDown::TExtTimePickerDropDown(QWidget* parent) : TExtCustomDropDown(parent)
{
    CreateDropDownForm();
    ShowTimePicker = false;
    SetEditorEnabled(false);
    DropDownEnabled = true;
    m_showSeconds = true;
    m_internalCall = true;
    SetEditMask(TimeEditMask(true, Sep()));
    SetEditText(dropdown::FormatTimeText(0, 0, 0, true, Sep()));
    m_internalCall = false;
    DropDownHeader().SetVisible(false);
    DropDownFooter().SetVisible(false);
    SetComponentStyle(GetComponentStyle());
}

TExtTimePickerDropDown::~TExtTimePickerDropDown() = default;

QString TExtTimePickerDropDown::FormatTimeText(int hour, int minute, int second) const
{
    return dropdown::FormatTimeText(hour, minute, second, m_showSeconds, Sep());
}

void TExtTimePickerDropDown::WriteTimeText(const QString& text)
{
    const bool was = m_internalCall;
    m_internalCall = true;
    SetEditText(text);
    m_internalCall = was;
}

void TExtTimePickerDropDown::SetTime(TDateTime t)
{
    if (t == m_time)
        return;
    m_time = t;
    int h = 0, m = 0, s = 0, ms = 0;
    DecodeTime(t, h, m, s, ms);
    WriteTimeText(FormatTimeText(h, m, s));
    if (DroppedDown() && m_watch) {
        auto notice = m_watch->OnChange;
        m_watch->OnChange = nullptr;
        m_watch->SetTime(t);
        m_watch->OnChange = notice;
        if (ShowTimePicker && m_picker) {
            const QSignalBlocker block(m_picker);
            m_picker->setTime(ToQTime(t));
        }
    }
}

void TExtTimePickerDropDown::SetShowSeconds(bool on)
{
    if (on == m_showSeconds)
        return;
    const TDateTime keep = m_time;
    m_internalCall = true;
    SetEditMask(QString());
    SetEditText(QString());
    m_showSeconds = on;
    SetEditMask(TimeEditMask(on, Sep()));
    m_internalCall = false;
    m_time = keep + 1;
    SetTime(keep);
}

void TExtTimePickerDropDown::SetParts(int hour, int minute, int second)
{
    SetTime(std::trunc(m_time) + EncodeTime(hour, minute, second, 0));
    if (OnTimeChange)
        OnTimeChange(this);
}

void TExtTimePickerDropDown::SetTimeHour(int hour)
{
    int h = 0, m = 0, s = 0, ms = 0;
    DecodeTime(m_time, h, m, s, ms);
    if (hour == h || hour < 0 || hour > 23)
        return;
    SetParts(hour, m, s);
}

void TExtTimePickerDropDown::SetTimeMinute(int minute)
{
    int h = 0, m = 0, s = 0, ms = 0;
    DecodeTime(m_time, h, m, s, ms);
    if (minute == m || minute < 0 || minute > 59)
        return;
    SetParts(h, minute, s);
}

void TExtTimePickerDropDown::SetTimeSecond(int second)
{
    int h = 0, m = 0, s = 0, ms = 0;
    DecodeTime(m_time, h, m, s, ms);
    if (second == s || second < 0 || second > 59)
        return;
    SetParts(h, m, second);
}

void TExtTimePickerDropDown::KeyDown(quint16& key, TShiftState shift)
{
    TExtCustomDropDown::KeyDown(key, shift);
    if (AltDown() || (shift & (ssAlt | ssCtrl)) || (key != VK_UP && key != VK_DOWN))
        return;
    const QString text = GetText();
    const int caret = InputSelStart();
    int h = 0, m = 0, s = 0, ms = 0;
    DecodeTime(m_time, h, m, s, ms);
    const bool up = key == VK_UP;
    switch (TimeFieldAt(text, caret, m_showSeconds, Sep())) {
    case tfHour:
        SetTimeHour(up ? (h == 0 ? 23 : h - 1) : (h == 23 ? 0 : h + 1));
        break;
    case tfSecond:
        SetTimeSecond(up ? (s == 0 ? 59 : s - 1) : (s == 59 ? 0 : s + 1));
        break;
    case tfMinute:
        SetTimeMinute(up ? (m == 0 ? 59 : m - 1) : (m == 59 ? 0 : m + 1));
        break;
    }
    InputSetCaret(caret);
}

void TExtTimePickerDropDown::Change()
{
    TExtCustomDropDown::Change();
    if (m_internalCall || GetText().isEmpty())
        return;
    const auto fields = ParseTimeText(GetText(), m_showSeconds, Sep());
    if (!fields)
        return;
    TDateTime t = 0;
    // A field out of range is refused and the time stays.
    if (!TryEncodeTime(fields->hour, fields->minute, fields->second, 0, t))
        return;
    m_time = t;
    const QString formatted = FormatTimeText(fields->hour, fields->minute, fields->second);
    if (fields->minute == 0 && fields->second == 0 && formatted != text()) {
        m_internalCall = true;
        SetText(formatted);
        m_internalCall = false;
    }
}

// --- the popup -------------------------------------------------------------------------------------------

void TExtTimePickerDropDown::CreateDropDownForm()
{
    TExtCustomDropDown::CreateDropDownForm();
    if (!m_panel) {
        m_panel = new QWidget(DropDownForm());
        m_panel->setAutoFillBackground(true);
        m_panel->move(0, 0);
        m_panel->resize(180, 180);
        auto* layout = new QVBoxLayout(m_panel);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        m_watch = new TExtWatch(m_panel);
        layout->addWidget(m_watch, 1);
    }
    SetControl(m_panel);
}

void TExtTimePickerDropDown::BeforeDropDown()
{
    TExtCustomDropDown::BeforeDropDown();
    m_panel->resize(170, 170);
    DropDownForm()->CancelOnDeActivate = false;
    QPalette p = m_panel->palette();
    p.setColor(QPalette::Window, toQColor(DropDownColor));
    m_panel->setPalette(p);
    m_watch->SetAppearance(m_watchAppearance);
    m_watch->SetSettings(m_watchSettings);
    m_watch->SetShowAMPM(ShowWatchAMPM);
    m_watch->SetShowNumbers(ShowWatchNumbers);
    m_watch->SetAnimation(Animation);
    m_watch->SetAnimationFactor(AnimationFactor);
    m_watch->OnChange = nullptr;
    m_watch->SetTime(m_time);
    m_watch->OnChange = [this](QObject*) { WatchChanged(); };
    m_openTime = m_time;
    int h = 0, m = 0, s = 0, ms = 0;
    DecodeTime(m_time, h, m, s, ms);
    FOldText = FormatTimeText(h, m, s);
    if (!ShowTimePicker) {
        if (m_picker)
            m_picker->hide();
        return;
    }
    if (!m_picker) {
        m_picker = new QTimeEdit(m_panel);
        static_cast<QVBoxLayout*>(m_panel->layout())->addWidget(m_picker, 0);
        connect(m_picker, &QTimeEdit::timeChanged, this, [this](QTime t) {
            if (m_watch && !m_watchSettings.Auto())
                m_watch->SetTime(EncodeTime(t.hour(), t.minute(), t.second(), 0));
        });
        HookKeys(m_picker);
    }
    {
        const QSignalBlocker block(m_picker);
        m_picker->setTime(ToQTime(m_time));
    }
    m_picker->setDisplayFormat(m_showSeconds ? QStringLiteral("HH:mm:ss") : QStringLiteral("HH:mm"));
    m_picker->show();
    m_panel->resize(170, m_picker->sizeHint().height() + 170);
}

void TExtTimePickerDropDown::WatchChanged()
{
    if (m_picker && ShowTimePicker && m_picker->time() != ToQTime(m_watch->Time())) {
        const QSignalBlocker block(m_picker);
        m_picker->setTime(ToQTime(m_watch->Time()));
        if (OnTimeChange)
            OnTimeChange(this);
    }
    SetTime(m_watch->Time());
}

void TExtTimePickerDropDown::DoHideDropDown(bool cancel)
{
    const bool wasDropped = DroppedDown();
    m_cancelling = cancel;
    TExtCustomDropDown::DoHideDropDown(cancel);
    m_cancelling = false;
    if (!wasDropped || !m_watch)
        return;
    if (cancel) {
        m_watch->SetTime(m_openTime);
        SetTime(m_openTime);
    } else {
        SetTime(m_watch->Time());
    }
}

void TExtTimePickerDropDown::DropUpDone()
{
    TExtCustomDropDown::DropUpDone();
    if (!m_cancelling && m_watch)
        SetTime(m_watch->Time());
}

void TExtTimePickerDropDown::DropDownFormKeyDown(quint16& key, TShiftState shift)
{
    const quint16 pressed = key;
    if (!StepKey(key) || (shift & ssAlt))
        TExtCustomDropDown::DropDownFormKeyDown(key, shift);
    if (DropDownForm() && DropDownForm()->isVisible() && m_watch)
        m_watch->HandleKey(pressed);
}

void TExtTimePickerDropDown::DropDownFormKeyUp(quint16& key, TShiftState shift)
{
    if (!StepKey(key) || (shift & ssAlt))
        TExtCustomDropDown::DropDownFormKeyUp(key, shift);
}

void TExtTimePickerDropDown::ControlKeyDown(quint16& key, TShiftState shift)
{
    if (!StepKey(key) || (shift & ssAlt))
        TExtCustomDropDown::ControlKeyDown(key, shift);
}

void TExtTimePickerDropDown::ControlKeyUp(quint16& key, TShiftState shift)
{
    if (!StepKey(key) || (shift & ssAlt))
        TExtCustomDropDown::ControlKeyUp(key, shift);
}

void TExtTimePickerDropDown::ControlKeyPress(QChar& key) { TExtCustomDropDown::ControlKeyPress(key); }

void TExtTimePickerDropDown::SetComponentStyle(TVekkoStyle style)
{
    TExtCustomDropDown::SetComponentStyle(style);
    ApplyWatchComponentStyle(m_watchAppearance, style);
}

} // namespace controls::grid::dropdown
