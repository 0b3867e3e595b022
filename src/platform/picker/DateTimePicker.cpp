#include "platform/picker/DateTimePicker.h"

#include "platform/core/FormatSettings.h"
#include "platform/draw/Frames.h"
#include "platform/draw/Theme.h"
#include "platform/process/Clock.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QFrame>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QTextCharFormat>
#include <QVBoxLayout>
#include <cmath>

namespace platform {

namespace {

// The calendar's window: tells its owner when it closes, however it closes.
class CalendarPopup : public QFrame {
public:
    CalendarPopup(QWidget* owner, std::function<void()> closed)
        : QFrame(owner, Qt::Popup), m_closed(std::move(closed))
    {
        setFrameShape(QFrame::Box);
    }
    void disarm() { m_closed = nullptr; }

protected:
    void hideEvent(QHideEvent* e) override
    {
        QFrame::hideEvent(e);
        if (auto closed = std::exchange(m_closed, nullptr))
            closed();
    }

private:
    std::function<void()> m_closed;
};

// The drop-down calendar: rings today's date when asked.
class CalendarView : public QCalendarWidget {
public:
    CalendarView(QWidget* parent, QDate today, bool ringToday) : QCalendarWidget(parent), m_today(today), m_ring(ringToday)
    {
    }
    QDate Today() const { return m_today; }
    bool RingsToday() const { return m_ring; }

protected:
    void paintCell(QPainter* painter, const QRect& rect, QDate date) const override
    {
        QCalendarWidget::paintCell(painter, rect, date);
        if (!m_ring || date != m_today)
            return;
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing, true);
        painter->setPen(QPen(QColor(255, 0, 0), 1));
        painter->setBrush(Qt::NoBrush);
        painter->drawEllipse(QRectF(rect).adjusted(1.5, 1.5, -1.5, -1.5));
        painter->restore();
    }

private:
    QDate m_today;
    bool m_ring;
};

struct Parts {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, msec = 0;
};

Parts partsOf(TDateTime v)
{
    Parts p;
    DecodeDate(v, p.year, p.month, p.day);
    DecodeTime(v, p.hour, p.minute, p.second, p.msec);
    return p;
}

// The value of the parts; false when they make no date or time.
bool valueOf(const Parts& p, TDateTime& v)
{
    TDateTime d = 0, t = 0;
    if (!TryEncodeDate(p.year, p.month, p.day, d) || !TryEncodeTime(p.hour, p.minute, p.second, p.msec, t))
        return false;
    v = ComposeDateTime(d, t);
    return true;
}

int wrap(int v, int lo, int hi)
{
    const int n = hi - lo + 1;
    return lo + ((v - lo) % n + n) % n;
}

QDate qdateOf(TDateTime v)
{
    int y = 0, m = 0, d = 0;
    DecodeDate(v, y, m, d);
    return QDate(y, m, d);
}

} // namespace

TDateTimePicker::TDateTimePicker(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    m_value = Now();
    m_selected = FirstEditable();
    resize(186, 21);
}

TDateTimePicker::~TDateTimePicker()
{
    if (m_inputEdit)
        m_inputEdit->removeEventFilter(this);
    if (auto* popup = static_cast<CalendarPopup*>(m_popup.data())) {
        popup->disarm();
        delete popup;
    }
}

// --- properties ----------------------------------------------------------------------------------

void TDateTimePicker::SetKind(TDateTimeKind kind)
{
    if (kind == m_kind)
        return;
    m_kind = kind;
    m_pending.clear();
    m_selected = FirstEditable();
    update();
}

void TDateTimePicker::SetDateMode(TDTDateMode mode)
{
    m_dateMode = mode;
    update();
}

void TDateTimePicker::SetFormat(const QString& format)
{
    m_format = format;
    m_pending.clear();
    m_selected = FirstEditable();
    update();
}

void TDateTimePicker::SetDateTime(TDateTime value) { SetSystemTime(GDT_VALID, value); }

TDateTime TDateTimePicker::Date() const { return std::trunc(m_value); }

void TDateTimePicker::SetDate(TDateTime value) { SetDateTime(ComposeDateTime(value, m_value)); }

TDateTime TDateTimePicker::Time() const { return std::fabs(m_value - std::trunc(m_value)); }

void TDateTimePicker::SetTime(TDateTime value) { SetDateTime(ComposeDateTime(m_value, value)); }

void TDateTimePicker::SetMinDate(TDateTime value)
{
    m_minDate = value;
    m_value = Clamp(m_value);
    update();
}

void TDateTimePicker::SetMaxDate(TDateTime value)
{
    m_maxDate = value;
    m_value = Clamp(m_value);
    update();
}

void TDateTimePicker::SetShowCheckbox(bool on)
{
    m_showCheckbox = on;
    update();
}

void TDateTimePicker::SetChecked(bool on)
{
    if (on)
        SetSystemTime(GDT_VALID, m_value);
    else
        SetSystemTime(GDT_NONE, m_value);
}

void TDateTimePicker::SetSystemTime(int flag, TDateTime value)
{
    m_pending.clear();
    if (flag == GDT_NONE) {
        m_checked = false;
    } else {
        m_checked = true;
        m_value = Clamp(value);
    }
    update();
}

void TDateTimePicker::StoreValue(TDateTime value)
{
    m_value = Clamp(value);
    update();
}

void TDateTimePicker::SetColor(Color c)
{
    m_color = c;
    update();
}

void TDateTimePicker::SetButtonWidth(int width)
{
    m_buttonWidth = width;
    update();
}

bool TDateTimePicker::DroppedDown() const { return m_droppedDown; }

void TDateTimePicker::SetDroppedDown(bool down)
{
    if (down == m_droppedDown)
        return;
    if (down)
        ShowCalendar();
    else if (m_popup)
        m_popup->close();
}

QCalendarWidget* TDateTimePicker::Calendar() const { return m_popup ? m_calendar : nullptr; }

TDateTime TDateTimePicker::Clamp(TDateTime value) const
{
    if (m_minDate != 0 && value < m_minDate)
        return m_minDate;
    if (m_maxDate != 0 && value > m_maxDate)
        return m_maxDate;
    return value;
}

// --- fields --------------------------------------------------------------------------------------

std::vector<TDateTimePicker::Field> TDateTimePicker::ParseFormat(const QString& format)
{
    std::vector<Field> fields;
    auto literal = [&](const QString& s) {
        if (!fields.empty() && fields.back().kind == FieldKind::Literal)
            fields.back().literal += s;
        else
            fields.push_back(Field{FieldKind::Literal, 0, s});
    };
    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format[i];
        if (c == u'\'') {
            const qsizetype end = format.indexOf(u'\'', i + 1);
            const qsizetype stop = end < 0 ? format.size() : end;
            literal(format.mid(i + 1, stop - i - 1));
            i = stop + 1;
            continue;
        }
        qsizetype n = 1;
        while (i + n < format.size() && format[i + n] == c)
            ++n;
        FieldKind kind = FieldKind::Literal;
        switch (c.unicode()) {
        case u'd': kind = n <= 2 ? FieldKind::Day : FieldKind::DayName; break;
        case u'M': kind = n <= 2 ? FieldKind::Month : FieldKind::MonthName; break;
        case u'y': kind = FieldKind::Year; break;
        case u'h': kind = FieldKind::Hour12; break;
        case u'H': kind = FieldKind::Hour24; break;
        case u'm': kind = FieldKind::Minute; break;
        case u's': kind = FieldKind::Second; break;
        case u't': kind = FieldKind::AmPm; break;
        default: break;
        }
        if (kind == FieldKind::Literal)
            literal(format.mid(i, n));
        else
            fields.push_back(Field{kind, int(std::min<qsizetype>(n, 4)), QString()});
        i += n;
    }
    return fields;
}

QString TDateTimePicker::LocaleFormat(TDateTimeKind kind)
{
    const TFormatSettings& fs = FormatSettings();
    QString out;
    if (kind == dtkDate) {
        for (const QChar c : fs.ShortDateFormat) {
            switch (c.toLower().unicode()) {
            case u'd': out += u'd'; break;
            case u'm': out += u'M'; break;
            case u'y': out += u'y'; break;
            case u'/': out += QStringLiteral("'") + fs.DateSeparator + QStringLiteral("'"); break;
            default: out += QStringLiteral("'") + c + QStringLiteral("'"); break;
            }
        }
        return out;
    }
    QString f = fs.LongTimeFormat;
    const bool twelve = f.contains(QStringLiteral("am/pm"), Qt::CaseInsensitive)
                        || f.contains(QStringLiteral("ampm"), Qt::CaseInsensitive);
    f.remove(QStringLiteral("am/pm"), Qt::CaseInsensitive);
    f.remove(QStringLiteral("ampm"), Qt::CaseInsensitive);
    for (const QChar c : f) {
        switch (c.toLower().unicode()) {
        case u'h': out += twelve ? u'h' : u'H'; break;
        case u'n': out += u'm'; break;
        case u's': out += u's'; break;
        case u':': out += QStringLiteral("'") + fs.TimeSeparator + QStringLiteral("'"); break;
        default: out += QStringLiteral("'") + c + QStringLiteral("'"); break;
        }
    }
    if (twelve)
        out += QStringLiteral("tt");
    return out;
}

std::vector<TDateTimePicker::Field> TDateTimePicker::CurrentFields() const
{
    return ParseFormat(m_format.isEmpty() ? LocaleFormat(m_kind) : m_format);
}

std::vector<TDateTimePicker::Field> TDateTimePicker::Fields() const { return CurrentFields(); }

bool TDateTimePicker::Editable(const Field& f) const
{
    return f.kind != FieldKind::Literal && f.kind != FieldKind::DayName;
}

int TDateTimePicker::FirstEditable() const
{
    const std::vector<Field> fields = CurrentFields();
    for (size_t i = 0; i < fields.size(); ++i)
        if (Editable(fields[i]))
            return int(i);
    return -1;
}

void TDateTimePicker::SelectField(int index)
{
    const std::vector<Field> fields = CurrentFields();
    if (index < 0 || index >= int(fields.size()) || !Editable(fields[size_t(index)]))
        return;
    if (index != m_selected)
        CommitPending();
    m_selected = index;
    update();
}

void TDateTimePicker::ResetInput()
{
    m_pending.clear();
    m_selected = FirstEditable();
    update();
}

void TDateTimePicker::MoveField(int step)
{
    const std::vector<Field> fields = CurrentFields();
    for (int i = m_selected + step; i >= 0 && i < int(fields.size()); i += step)
        if (Editable(fields[size_t(i)])) {
            m_selected = i;
            break;
        }
    update();
}

QString TDateTimePicker::FieldText(const Field& f, TDateTime value) const
{
    const TFormatSettings& fs = FormatSettings();
    const Parts p = partsOf(value);
    auto num = [&](int v, bool pad) { return pad ? QString::asprintf("%02d", v) : QString::number(v); };
    switch (f.kind) {
    case FieldKind::Literal: return f.literal;
    case FieldKind::Day: return num(p.day, f.letters >= 2);
    case FieldKind::DayName: {
        const int dow = DayOfWeek(value);
        if (dow < 1)
            return QString();
        return f.letters == 3 ? fs.ShortDayNames[size_t(dow - 1)] : fs.LongDayNames[size_t(dow - 1)];
    }
    case FieldKind::Month: return num(p.month, f.letters >= 2);
    case FieldKind::MonthName:
        if (p.month < 1)
            return QString();
        return f.letters == 3 ? fs.ShortMonthNames[size_t(p.month - 1)] : fs.LongMonthNames[size_t(p.month - 1)];
    case FieldKind::Year:
        if (f.letters == 1)
            return QString::number(p.year % 10);
        if (f.letters == 2)
            return QString::asprintf("%02d", p.year % 100);
        return QString::asprintf("%04d", p.year);
    case FieldKind::Hour12: return num(p.hour % 12 == 0 ? 12 : p.hour % 12, f.letters >= 2);
    case FieldKind::Hour24: return num(p.hour, f.letters >= 2);
    case FieldKind::Minute: return num(p.minute, f.letters >= 2);
    case FieldKind::Second: return num(p.second, f.letters >= 2);
    case FieldKind::AmPm: {
        const QString s = p.hour < 12 ? fs.TimeAMString : fs.TimePMString;
        return f.letters == 1 ? s.left(1) : s;
    }
    }
    return QString();
}

QString TDateTimePicker::Text() const
{
    QString text;
    for (const Field& f : CurrentFields())
        text += FieldText(f, m_value);
    return text;
}

int TDateTimePicker::FieldMaxDigits(const Field& f) const
{
    if (f.kind == FieldKind::Year)
        return f.letters >= 3 ? 4 : 2;
    return 2;
}

int TDateTimePicker::FieldMax(const Field& f) const
{
    switch (f.kind) {
    case FieldKind::Day: return 31;
    case FieldKind::Month:
    case FieldKind::MonthName:
    case FieldKind::Hour12: return 12;
    case FieldKind::Hour24: return 23;
    case FieldKind::Minute:
    case FieldKind::Second: return 59;
    case FieldKind::Year: return 9999;
    default: return 0;
    }
}

bool TDateTimePicker::FieldValue(const Field& f, int n, TDateTime& value) const
{
    Parts p = partsOf(m_value);
    switch (f.kind) {
    case FieldKind::Day:
        if (n < 1)
            return false;
        p.day = std::min(n, DaysInAMonth(p.year, p.month));
        break;
    case FieldKind::Month:
    case FieldKind::MonthName:
        if (n < 1 || n > 12)
            return false;
        p.month = n;
        p.day = std::min(p.day, DaysInAMonth(p.year, p.month));
        break;
    case FieldKind::Year:
        if (f.letters < 3) {
            // Two digits: within the century window around the current year.
            const int base = clock().now().date().year() - FormatSettings().TwoDigitYearCenturyWindow;
            n += base / 100 * 100;
            if (FormatSettings().TwoDigitYearCenturyWindow > 0 && n < base)
                n += 100;
        }
        if (n < 1 || n > 9999)
            return false;
        p.year = n;
        p.day = std::min(p.day, DaysInAMonth(p.year, p.month));
        break;
    case FieldKind::Hour12:
        if (n < 1 || n > 12)
            return false;
        p.hour = n % 12 + (p.hour >= 12 ? 12 : 0);
        break;
    case FieldKind::Hour24:
        if (n > 23)
            return false;
        p.hour = n;
        break;
    case FieldKind::Minute:
        if (n > 59)
            return false;
        p.minute = n;
        break;
    case FieldKind::Second:
        if (n > 59)
            return false;
        p.second = n;
        break;
    default: return false;
    }
    return valueOf(p, value);
}

void TDateTimePicker::CommitPending()
{
    if (m_pending.isEmpty())
        return;
    const int n = m_pending.toInt();
    m_pending.clear();
    const std::vector<Field> fields = CurrentFields();
    TDateTime v = 0;
    if (m_selected >= 0 && m_selected < int(fields.size()) && FieldValue(fields[size_t(m_selected)], n, v))
        UserValue(v);
    update();
}

void TDateTimePicker::StepField(int step)
{
    const std::vector<Field> fields = CurrentFields();
    if (m_selected < 0 || m_selected >= int(fields.size()))
        return;
    const Field& f = fields[size_t(m_selected)];
    Parts p = partsOf(m_value);
    switch (f.kind) {
    case FieldKind::Day: p.day = wrap(p.day + step, 1, DaysInAMonth(p.year, p.month)); break;
    case FieldKind::Month:
    case FieldKind::MonthName:
        p.month = wrap(p.month + step, 1, 12);
        p.day = std::min(p.day, DaysInAMonth(p.year, p.month));
        break;
    case FieldKind::Year:
        p.year = std::clamp(p.year + step, 1, 9999);
        p.day = std::min(p.day, DaysInAMonth(p.year, p.month));
        break;
    case FieldKind::Hour12:
    case FieldKind::Hour24: p.hour = wrap(p.hour + step, 0, 23); break;
    case FieldKind::Minute: p.minute = wrap(p.minute + step, 0, 59); break;
    case FieldKind::Second: p.second = wrap(p.second + step, 0, 59); break;
    case FieldKind::AmPm: p.hour = (p.hour + 12) % 24; break;
    default: return;
    }
    TDateTime v = 0;
    if (valueOf(p, v))
        UserValue(v);
}

void TDateTimePicker::UserValue(TDateTime value)
{
    value = Clamp(value);
    const bool checkedNow = m_showCheckbox && !m_checked;
    if (value == m_value && !checkedNow) {
        update();
        return;
    }
    m_checked = true;
    m_value = value;
    update();
    Notify(DTN_DATETIMECHANGE, GDT_VALID);
}

// --- notifications ---------------------------------------------------------------------------------

void TDateTimePicker::Notify(int code, int flags)
{
    TDTNotify msg;
    msg.Code = code;
    msg.Flags = flags;
    WMNotify(msg);
}

void TDateTimePicker::WMNotify(TDTNotify& msg)
{
    switch (msg.Code) {
    case DTN_DATETIMECHANGE: Change(); break;
    case DTN_DROPDOWN: DropDown(); break;
    case DTN_CLOSEUP: CloseUp(); break;
    case DTN_USERSTRING: {
        TDateTime value = m_value;
        bool allow = ReadUserString(msg.UserString, value);
        if (OnUserInput)
            OnUserInput(this, msg.UserString, value, allow);
        msg.Value = value;
        msg.Flags = allow ? GDT_VALID : GDT_NONE;
        break;
    }
    default: break;
    }
}

bool TDateTimePicker::ReadUserString(const QString& text, TDateTime& value) const
{
    const TFormatSettings& fs = FormatSettings();
    TDateTime v = 0;
    if (m_kind == dtkTime) {
        if (!TryStrToTime(text, v, fs))
            return false;
        value = ComposeDateTime(m_value, v);
        return true;
    }
    // A date alone keeps the time of day; a date with a time takes both.
    if (TryStrToDate(text, v, fs)) {
        value = ComposeDateTime(v, m_value);
        return true;
    }
    if (TryStrToDateTime(text, v, fs) && std::trunc(v) != 0) {
        value = v;
        return true;
    }
    return false;
}

// --- typed text (ParseInput) -----------------------------------------------------------------------

void TDateTimePicker::OpenInput()
{
    if (m_inputEdit)
        return;
    CommitPending();
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QStringLiteral("input"));
    edit->setFrame(false);
    edit->setText(Text());
    edit->selectAll();
    const Rect r = FieldsRect();
    edit->setGeometry(r.left, r.top, r.width(), r.height());
    edit->installEventFilter(this);
    m_inputEdit = edit;
    edit->show();
    m_inputFocusMove = true;
    edit->setFocus(Qt::OtherFocusReason);
    m_inputFocusMove = false;
}

void TDateTimePicker::CloseInput(bool take)
{
    QLineEdit* edit = std::exchange(m_inputEdit, nullptr);
    if (!edit)
        return;
    edit->removeEventFilter(this);
    const QString text = edit->text();
    const bool hadFocus = edit->hasFocus();
    if (hadFocus) {
        m_inputFocusMove = true;
        setFocus(Qt::OtherFocusReason);
        m_inputFocusMove = false;
    }
    edit->hide();
    edit->deleteLater();
    update();
    if (!take)
        return;
    TDTNotify msg;
    msg.Code = DTN_USERSTRING;
    msg.Flags = GDT_NONE;
    msg.UserString = text;
    msg.Value = m_value;
    WMNotify(msg);
    if (msg.Flags == GDT_VALID)
        UserValue(msg.Value);
}

bool TDateTimePicker::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == m_inputEdit) {
        if (e->type() == QEvent::KeyPress) {
            const int k = static_cast<QKeyEvent*>(e)->key();
            if (k == Qt::Key_Return || k == Qt::Key_Enter || k == Qt::Key_Escape) {
                CloseInput(k != Qt::Key_Escape);
                return true;
            }
        } else if (e->type() == QEvent::FocusOut && !m_inputFocusMove) {
            // The text field lost the focus to another control: the text is handed over and the
            // control is left, as its own focus would have been.
            CloseInput(true);
            if (!hasFocus()) {
                CommitPending();
                DoExit();
            }
        }
    }
    return QWidget::eventFilter(watched, e);
}

void TDateTimePicker::Change()
{
    if (OnChange)
        OnChange(this);
}

void TDateTimePicker::DropDown()
{
    if (OnDropDown)
        OnDropDown(this);
}

void TDateTimePicker::CloseUp()
{
    if (OnCloseUp)
        OnCloseUp(this);
}

void TDateTimePicker::DoEnter()
{
    if (OnEnter)
        OnEnter(this);
}

void TDateTimePicker::DoExit()
{
    if (OnExit)
        OnExit(this);
}

bool TDateTimePicker::WantSpecialKey(quint16) { return false; }

// --- the calendar ---------------------------------------------------------------------------------

void TDateTimePicker::ShowCalendar()
{
    if (m_popup) {
        m_popup->close();
        return;
    }
    if (m_kind != dtkDate || m_dateMode != dmComboBox)
        return;
    CommitPending();
    auto* popup = new CalendarPopup(this, [this]() { CalendarClosed(); });
    m_popup = popup;
    auto* layout = new QVBoxLayout(popup);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->setSpacing(0);
    const TDateTime now = Now();
    m_calendar = new CalendarView(popup, qdateOf(now), ShowTodayCircle);
    m_calendar->setObjectName(QStringLiteral("calendar"));
    m_calendar->setVerticalHeaderFormat(WeekNumbers ? QCalendarWidget::ISOWeekNumbers
                                                    : QCalendarWidget::NoVerticalHeader);
    // The colours: the palette carries the background, the days and the title bar (whose colour
    // also marks the chosen day); the trailing days take the disabled text colour, as the
    // calendar draws the days of other months in it.
    QPalette pal = m_calendar->palette();
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive}) {
        pal.setColor(g, QPalette::Window, toQColor(CalColors.BackColor));
        pal.setColor(g, QPalette::Base, toQColor(CalColors.MonthBackColor));
        pal.setColor(g, QPalette::AlternateBase, toQColor(CalColors.MonthBackColor));
        pal.setColor(g, QPalette::Text, toQColor(CalColors.TextColor));
        pal.setColor(g, QPalette::Highlight, toQColor(CalColors.TitleBackColor));
        pal.setColor(g, QPalette::HighlightedText, toQColor(CalColors.TitleTextColor));
    }
    pal.setColor(QPalette::Disabled, QPalette::Text, toQColor(CalColors.TrailingTextColor));
    m_calendar->setPalette(pal);
    QTextCharFormat dayNames;
    dayNames.setForeground(toQColor(CalColors.TitleBackColor));
    dayNames.setBackground(toQColor(CalColors.MonthBackColor));
    m_calendar->setHeaderTextFormat(dayNames);
    QTextCharFormat weekdays;
    weekdays.setForeground(toQColor(CalColors.TextColor));
    for (Qt::DayOfWeek d : {Qt::Saturday, Qt::Sunday})
        m_calendar->setWeekdayTextFormat(d, weekdays);
    if (m_minDate != 0)
        m_calendar->setMinimumDate(qdateOf(m_minDate));
    if (m_maxDate != 0)
        m_calendar->setMaximumDate(qdateOf(m_maxDate));
    m_calendar->setSelectedDate(qdateOf(m_value));
    layout->addWidget(m_calendar);
    auto pick = [this](const QDate& d) {
        TDateTime date = 0;
        if (TryEncodeDate(d.year(), d.month(), d.day(), date))
            UserValue(ComposeDateTime(date, m_value));
        if (m_popup)
            m_popup->close();
    };
    connect(m_calendar, &QCalendarWidget::clicked, this, pick);
    connect(m_calendar, &QCalendarWidget::activated, this, pick);
    if (ShowToday) {
        auto* today = new QPushButton(QStringLiteral("Today: ") + DateToStr(now), popup);
        today->setObjectName(QStringLiteral("today"));
        today->setFlat(true);
        today->setFocusPolicy(Qt::NoFocus);
        today->setPalette(pal);
        today->setAutoFillBackground(true);
        today->setBackgroundRole(QPalette::Base);
        today->setForegroundRole(QPalette::Text);
        layout->addWidget(today);
        const QDate todayDate = qdateOf(now);
        connect(today, &QPushButton::clicked, this, [pick, todayDate] { pick(todayDate); });
    }
    popup->setPalette(pal);
    popup->setAutoFillBackground(true);
    popup->adjustSize();
    popup->move(mapToGlobal(QPoint(CalAlignment == dtaRight ? width() - popup->width() : 0, height())));
    m_droppedDown = true;
    Notify(DTN_DROPDOWN);
    popup->show();
    m_calendar->setFocus(Qt::PopupFocusReason);
}

void TDateTimePicker::CalendarClosed()
{
    m_droppedDown = false;
    m_calendar = nullptr;
    if (m_popup)
        m_popup->deleteLater();
    m_popup = nullptr;
    update();
    Notify(DTN_CLOSEUP);
}

// --- keys -------------------------------------------------------------------------------------------

void TDateTimePicker::WMKeyDown(TWMKey& msg)
{
    quint16 key = msg.CharCode;
    KeyDown(key, m_keyShift);
    msg.CharCode = key;
    if (key != 0)
        DefaultKeyDown(key, m_keyShift);
}

void TDateTimePicker::KeyDown(quint16& key, TShiftState shift)
{
    if (OnKeyDown)
        OnKeyDown(this, key, shift);
}

void TDateTimePicker::DefaultKeyDown(quint16 key, TShiftState shift)
{
    switch (key) {
    case VK_LEFT:
        CommitPending();
        MoveField(-1);
        break;
    case VK_RIGHT:
        CommitPending();
        MoveField(1);
        break;
    case VK_DOWN:
        if (shift.testFlag(ssAlt)) {
            ShowCalendar();
            break;
        }
        CommitPending();
        StepField(-1);
        break;
    case VK_UP:
        CommitPending();
        StepField(1);
        break;
    case VK_F4:
        if (!shift.testFlag(ssAlt))
            ShowCalendar();
        break;
    case VK_F2:
        if (ParseInput)
            OpenInput();
        break;
    case VK_SPACE:
        if (m_showCheckbox) {
            m_checked = !m_checked;
            update();
            Notify(DTN_DATETIMECHANGE, m_checked ? GDT_VALID : GDT_NONE);
        }
        break;
    default: break;
    }
}

void TDateTimePicker::WMChar(TWMKey& msg)
{
    QChar key(char16_t(msg.CharCode));
    KeyPress(key);
    msg.CharCode = key.unicode();
    if (!key.isNull())
        DefaultChar(key);
}

void TDateTimePicker::KeyPress(QChar& key)
{
    if (OnKeyPress)
        OnKeyPress(this, key);
}

void TDateTimePicker::DefaultChar(QChar ch)
{
    const std::vector<Field> fields = CurrentFields();
    if (m_selected < 0 || m_selected >= int(fields.size()))
        return;
    const Field& f = fields[size_t(m_selected)];
    if (f.kind == FieldKind::AmPm) {
        const Parts p = partsOf(m_value);
        const QChar lower = ch.toLower();
        const bool am = lower == FormatSettings().TimeAMString.left(1).toLower().at(0) || lower == u'a';
        const bool pm = lower == FormatSettings().TimePMString.left(1).toLower().at(0) || lower == u'p';
        if ((am && p.hour >= 12) || (pm && p.hour < 12))
            StepField(1);
        return;
    }
    if (ch.unicode() < u'0' || ch.unicode() > u'9' || f.kind == FieldKind::DayName)
        return;
    m_pending += ch;
    const int n = m_pending.toInt();
    if (m_pending.size() >= FieldMaxDigits(f) || n * 10 > FieldMax(f))
        CommitPending();
    else
        update();
}

void TDateTimePicker::WMKeyUp(TWMKey& msg)
{
    quint16 key = msg.CharCode;
    KeyUp(key, m_keyShift);
    msg.CharCode = key;
}

void TDateTimePicker::KeyUp(quint16& key, TShiftState shift)
{
    if (OnKeyUp)
        OnKeyUp(this, key, shift);
}

// --- Qt events ----------------------------------------------------------------------------------------

bool TDateTimePicker::event(QEvent* e)
{
    if (e->type() == QEvent::KeyPress && isFocusTab(*static_cast<QKeyEvent*>(e)) && WantSpecialKey(VK_TAB)) {
        keyPressEvent(static_cast<QKeyEvent*>(e));
        return true;
    }
    return QWidget::event(e);
}

void TDateTimePicker::keyPressEvent(QKeyEvent* e)
{
    m_keyShift = shiftStateOf(e->modifiers());
    e->accept();
    routeKeyPress(*e, [this](TWMKey& m) { WMKeyDown(m); }, [this](TWMKey& m) { WMChar(m); });
}

void TDateTimePicker::keyReleaseEvent(QKeyEvent* e)
{
    m_keyShift = shiftStateOf(e->modifiers());
    routeKeyRelease(*e, [this](TWMKey& m) { WMKeyUp(m); });
    e->accept();
}

void TDateTimePicker::focusInEvent(QFocusEvent* e)
{
    QWidget::focusInEvent(e);
    update();
    if (e->reason() != Qt::PopupFocusReason && !m_inputFocusMove)
        DoEnter();
}

void TDateTimePicker::focusOutEvent(QFocusEvent* e)
{
    QWidget::focusOutEvent(e);
    // The calendar, or another window taking the activation, leaves the picker the window's
    // focused control.
    if (e->reason() == Qt::PopupFocusReason || e->reason() == Qt::ActiveWindowFocusReason || m_popup
        || m_inputFocusMove)
        return;
    CommitPending();
    update();
    DoExit();
}

void TDateTimePicker::mousePressEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(e);
        return;
    }
    const QPoint p = e->position().toPoint();
    if (m_showCheckbox && CheckBoxRect().toQRect().contains(p)) {
        m_checked = !m_checked;
        update();
        Notify(DTN_DATETIMECHANGE, m_checked ? GDT_VALID : GDT_NONE);
        return;
    }
    const Rect b = ButtonRect();
    if (b.toQRect().contains(p)) {
        if (m_kind == dtkDate && m_dateMode == dmComboBox)
            ShowCalendar();
        else
            StepField(p.y() < (b.top + b.bottom) / 2 ? 1 : -1);
        return;
    }
    for (size_t i = 0; i < m_fieldX.size(); ++i)
        if (p.x() >= m_fieldX[i].first && p.x() < m_fieldX[i].second) {
            SelectField(int(i));
            break;
        }
}

void TDateTimePicker::mouseReleaseEvent(QMouseEvent* e)
{
    QWidget::mouseReleaseEvent(e);
    if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()) && OnClick)
        OnClick(this);
}

// --- painting ------------------------------------------------------------------------------------------

Rect TDateTimePicker::ButtonRect() const
{
    const int b = Ctl3D ? 2 : 1;
    return Rect{width() - b - m_buttonWidth, b, width() - b, height() - b};
}

Rect TDateTimePicker::CheckBoxRect() const
{
    const int b = Ctl3D ? 2 : 1;
    const int size = 13;
    const int top = (height() - size) / 2;
    return Rect{b + 2, top, b + 2 + size, top + size};
}

Rect TDateTimePicker::FieldsRect() const
{
    const int b = Ctl3D ? 2 : 1;
    const int left = m_showCheckbox ? CheckBoxRect().right + 3 : b + 2;
    return Rect{left, b, ButtonRect().left, height() - b};
}

void TDateTimePicker::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    Canvas canvas(painter);
    PaintControl(canvas);
}

void TDateTimePicker::PaintControl(Canvas& canvas)
{
    Rect all{0, 0, width(), height()};
    canvas.brush() = Brush{m_color, BrushStyle::Solid};
    canvas.fillRect(all);
    if (Ctl3D) {
        Rect edge = all;
        DrawEdge(canvas, edge, EDGE_SUNKEN, BF_RECT);
    }
    if (m_showCheckbox) {
        Rect box = CheckBoxRect();
        DrawFrameControl(canvas, box, DFC_BUTTON, DFCS_BUTTONCHECK | (m_checked ? DFCS_CHECKED : 0u));
    }
    // The fields.
    const Rect fr = FieldsRect();
    const QFontMetrics fm(font());
    const bool greyed = !isEnabled() || (m_showCheckbox && !m_checked);
    int x = fr.left;
    const std::vector<Field> fields = CurrentFields();
    m_fieldX.assign(fields.size(), {0, 0});
    canvas.setBkMode(BkMode::Transparent);
    for (size_t i = 0; i < fields.size(); ++i) {
        const bool selected = int(i) == m_selected && hasFocus() && !m_popup;
        const QString text = selected && !m_pending.isEmpty() ? m_pending : FieldText(fields[i], m_value);
        const int w = fm.horizontalAdvance(text);
        Rect r{x, fr.top, x + w, fr.bottom};
        if (selected && !greyed) {
            canvas.brush() = Brush{clHighlight, BrushStyle::Solid};
            canvas.fillRect(Rect{x, fr.top + 1, x + w, fr.bottom - 1});
        }
        canvas.font() = Font{font(), greyed ? clGrayText : selected ? clHighlightText : clWindowText, 0};
        canvas.setBkMode(BkMode::Transparent);
        canvas.drawText(text, r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        m_fieldX[i] = {x, x + w};
        x += w;
    }
    // The button: a drop-down for dates in combo-box mode, an up-down pair otherwise.
    Rect b = ButtonRect();
    if (m_kind == dtkDate && m_dateMode == dmComboBox) {
        if (const HTHEME theme = OpenThemeData(this, QStringLiteral("combobox"))) {
            DrawThemeBackground(theme, canvas, CP_DROPDOWNBUTTON,
                                !isEnabled() ? CBXS_DISABLED : m_droppedDown ? CBXS_PRESSED : CBXS_NORMAL, b);
            CloseThemeData(theme);
        } else {
            DrawFrameControl(canvas, b, DFC_SCROLL,
                             DFCS_SCROLLCOMBOBOX | (isEnabled() ? DFCS_FLAT : DFCS_INACTIVE));
        }
    } else {
        const int mid = (b.top + b.bottom) / 2;
        Rect up{b.left, b.top, b.right, mid};
        Rect down{b.left, mid, b.right, b.bottom};
        DrawFrameControl(canvas, up, DFC_SCROLL, DFCS_SCROLLUP | (isEnabled() ? 0u : DFCS_INACTIVE));
        DrawFrameControl(canvas, down, DFC_SCROLL, DFCS_SCROLLDOWN | (isEnabled() ? 0u : DFCS_INACTIVE));
    }
}

} // namespace platform
