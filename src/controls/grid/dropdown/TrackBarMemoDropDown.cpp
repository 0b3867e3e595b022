#include "controls/grid/dropdown/TrackBarMemoDropDown.h"

#include "controls/grid/dropdown/rules/DropDownDraw.h"
#include "platform/core/Conversions.h"
#include "platform/grid/Keys.h"

#include <QMouseEvent>
#include <QTextCursor>
#include <QRegularExpression>

namespace controls::grid::dropdown {

using namespace platform;

// --- track bar -------------------------------------------------------------------------------------------

TExtTrackBarDropDown::TExtTrackBarDropDown(QWidget* parent) : TExtCustomDropDown(parent)
{
    CreateDropDownForm();
    SetEditorEnabled(false);
    DropDownEnabled = true;
    SetEditType(etNumeric);
    DropDownHeader().SetVisible(false);
    DropDownFooter().SetVisible(false);
    ForceShadow = true;
}

void TExtTrackBarDropDown::CreateDropDownForm()
{
    TExtCustomDropDown::CreateDropDownForm();
    if (!m_trackBar) {
        m_trackBar = new QSlider(Qt::Horizontal, DropDownForm());
        m_trackBar->move(0, 0);
        m_trackBar->resize(m_trackBar->width(), 40);
        m_trackBar->setRange(m_min, m_max);
        m_trackBar->setTickPosition(QSlider::TicksBelow);
    }
    disconnect(m_trackBar, nullptr, this, nullptr);
    connect(m_trackBar, &QSlider::valueChanged, this, [this](int v) { TrackBarChanged(v); });
}

void TExtTrackBarDropDown::BeforeDropDown()
{
    TExtCustomDropDown::BeforeDropDown();
    DropDownForm()->CancelOnDeActivate = false;
    const QSignalBlocker block(m_trackBar);
    m_trackBar->setRange(m_min, m_max);
    m_trackBar->setValue(m_position);
    m_trackBar->setPageStep(std::max(1, m_pageSize));
    m_trackBar->setTickInterval(std::max(1, m_frequency));
    m_trackBar->resize(width(), m_trackBar->height());
    SetControl(m_trackBar);
    // Escape puts back the position the popup opened with (the track bar writes the edit text
    // itself, not through SetText).
    FOldText = GetText();
}

void TExtTrackBarDropDown::SetMin(int v)
{
    m_min = v;
    m_trackBar->setMinimum(v);
    m_min = m_trackBar->minimum();
}

void TExtTrackBarDropDown::SetMax(int v)
{
    m_max = v;
    m_trackBar->setMaximum(v);
    m_max = m_trackBar->maximum();
}

void TExtTrackBarDropDown::SetPosition(int v)
{
    m_trackBar->setValue(v);
    m_position = m_trackBar->value();
}

void TExtTrackBarDropDown::SetFrequency(int v)
{
    m_frequency = v;
    m_trackBar->setTickInterval(std::max(1, v));
}

void TExtTrackBarDropDown::SetPageSize(int v)
{
    m_pageSize = v;
    m_trackBar->setPageStep(std::max(1, v));
}

void TExtTrackBarDropDown::TrackBarChanged(int value)
{
    m_position = value;
    SetEditText(QString::number(value));
    if (OnTrackChange)
        OnTrackChange(this);
}

void TExtTrackBarDropDown::Change()
{
    TExtCustomDropDown::Change();
    // A text that is no integer leaves the position as it is.
    int32_t v = 0;
    if (TryStrToInt(GetText(), v))
        SetPosition(v);
}

void TExtTrackBarDropDown::WMKeyDown(TWMKey& msg, TShiftState shift)
{
    const quint16 key = msg.CharCode;
    TExtCustomDropDown::WMKeyDown(msg, shift);
    if (EditorEnabled() || AltDown() || (shift & ssAlt))
        return;
    if (key == VK_UP && m_position - m_frequency >= m_min)
        SetPosition(m_position - m_frequency);
    else if (key == VK_DOWN && m_position + m_frequency <= m_max)
        SetPosition(m_position + m_frequency);
}

void TExtTrackBarDropDown::mousePressEvent(QMouseEvent* e)
{
    TExtCustomDropDown::mousePressEvent(e);
    if (e->button() == Qt::LeftButton && DropDownEnabled && !EditorEnabled()) {
        m_dragging = true;
        m_mouseX = int(e->position().x());
    }
}

void TExtTrackBarDropDown::mouseMoveEvent(QMouseEvent* e)
{
    TExtCustomDropDown::mouseMoveEvent(e);
    if (!m_dragging)
        return;
    const int x = int(e->position().x());
    const int step = m_pageSize > 0 ? m_pageSize : 1;
    SetPosition(m_position + (x - m_mouseX) / step);
    m_mouseX = x;
}

void TExtTrackBarDropDown::mouseReleaseEvent(QMouseEvent* e)
{
    m_dragging = false;
    TExtCustomDropDown::mouseReleaseEvent(e);
}

// --- memo ------------------------------------------------------------------------------------------------

TExtMemoDropDown::TExtMemoDropDown(QWidget* parent) : TExtCustomDropDown(parent) { CreateDropDownForm(); }

void TExtMemoDropDown::CreateDropDownForm()
{
    TExtCustomDropDown::CreateDropDownForm();
    if (!m_memo) {
        m_memo = new QPlainTextEdit(DropDownForm());
        m_memo->resize(m_memo->width(), 100);
        m_memo->setFrameShape(QFrame::NoFrame);
        connect(m_memo, &QPlainTextEdit::customContextMenuRequested, this, [this](QPoint at) {
            if (MemoPopup)
                MemoPopup->popup(m_memo->viewport()->mapToGlobal(at));
        });
        connect(m_memo, &QPlainTextEdit::textChanged, this, [this] {
            LimitMemoLength();
            if (OnMemoChange)
                OnMemoChange(this);
        });
    }
    SetControl(m_memo);
}

QStringList MemoLinesOf(const QString& text)
{
    static const QRegularExpression breaks(QStringLiteral("\r\n|\n|\r"));
    QStringList lines = text.split(breaks);
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast();
    return lines;
}

void TExtMemoDropDown::LimitMemoLength()
{
    if (MaxLength() <= 0 || !DroppedDown())
        return;
    const int over = m_memo->toPlainText().length() - MaxLength();
    if (over <= 0)
        return;
    const QSignalBlocker block(m_memo);
    QTextCursor cursor = m_memo->textCursor();
    cursor.movePosition(QTextCursor::Left, QTextCursor::KeepAnchor, std::min(over, cursor.position()));
    cursor.removeSelectedText();
    m_memo->setTextCursor(cursor);
}

QStringList TExtMemoDropDown::MemoLines() const { return MemoLinesOf(m_memo->toPlainText()); }

void TExtMemoDropDown::SetMemoText(const QStringList& lines)
{
    m_memoText = lines;
    MemoTextChanged();
    if (m_memo) {
        const QSignalBlocker block(m_memo);
        m_memo->setPlainText(lines.join(u'\n'));
    }
}

QString TExtMemoDropDown::MemoTextWithBreaks() const
{
    QString s;
    for (const QString& line : m_memoText)
        s += line + QStringLiteral("\r\n");
    return s;
}

void TExtMemoDropDown::SetMemoReadOnly(bool on)
{
    m_memoReadOnly = on;
    if (DroppedDown())
        m_memo->setReadOnly(on);
}

void TExtMemoDropDown::MemoTextChanged()
{
    QString shown;
    if (m_memoText.isEmpty() || EditorEnabled()) {
        shown = MemoTextWithBreaks();
    } else {
        const QString first = m_memoText.front();
        Bitmap probe(1, 1);
        Canvas c(probe);
        c.font().font = font();
        const int width = EditRect().width();
        if (GetTextSize(c, first).width() < width) {
            shown = first + (m_memoText.size() > 1 ? QStringLiteral("...") : QString());
        } else {
            shown = ShortenText(c, first, width, true);
        }
    }
    m_internalUpdate = true;
    SetEditText(shown);
    m_internalUpdate = false;
}

void TExtMemoDropDown::Change()
{
    if (!m_internalUpdate)
        m_memoText = MemoLinesOf(GetText());
    TExtCustomDropDown::Change();
}

void TExtMemoDropDown::BeforeDropDown()
{
    TExtCustomDropDown::BeforeDropDown();
    DropDownForm()->CancelOnDeActivate = false;
    {
        const QSignalBlocker block(m_memo);
        m_memo->setPlainText(m_memoText.join(u'\n'));
    }
    m_memo->setReadOnly(m_memoReadOnly);
    m_memo->setContextMenuPolicy(MemoPopup ? Qt::CustomContextMenu : Qt::DefaultContextMenu);
    m_memo->setHorizontalScrollBarPolicy(MemoScrollBars == ssHorizontal || MemoScrollBars == ssBoth
                                             ? Qt::ScrollBarAlwaysOn
                                             : Qt::ScrollBarAlwaysOff);
    m_memo->setVerticalScrollBarPolicy(MemoScrollBars == ssVertical || MemoScrollBars == ssBoth ? Qt::ScrollBarAlwaysOn
                                                                                                  : Qt::ScrollBarAlwaysOff);
    m_memo->setLineWrapMode(MemoScrollBars == ssHorizontal || MemoScrollBars == ssBoth ? QPlainTextEdit::NoWrap
                                                                                       : QPlainTextEdit::WidgetWidth);
    FocusControl = m_memo;
    // A cancelled popup keeps the edit as it is (the memo writes the edit text itself, not
    // through SetText).
    FOldText = GetText();
}

void TExtMemoDropDown::DoHideDropDown(bool cancel)
{
    const bool autoDrop = AutoDrop;
    AutoDrop = false;
    if (cancel && DroppedDown()) {
        const QSignalBlocker block(m_memo);
        m_memo->setPlainText(m_memoText.join(u'\n'));
    }
    TExtCustomDropDown::DoHideDropDown(cancel);
    AutoDrop = autoDrop;
}

void TExtMemoDropDown::DropUpDone()
{
    TExtCustomDropDown::DropUpDone();
    m_memoText = MemoLines();
    MemoTextChanged();
    InputSetCaret(0);
}

void TExtMemoDropDown::DoEnter()
{
    TExtCustomDropDown::DoEnter();
    if (AutoDrop)
        DoShowDropDown();
}

void TExtMemoDropDown::ControlKeyDown(quint16& key, TShiftState shift)
{
    const bool alt = shift & ssAlt;
    if (key == VK_ESCAPE) {
        DoHideDropDown(true);
        key = 0;
        return;
    }
    if (alt && (key == VK_UP || key == VK_DOWN)) {
        if (DroppedDown())
            DoHideDropDown(true);
        else
            DoShowDropDown();
        key = 0;
        return;
    }
    if ((shift & ssCtrl) && key == u'A') {
        m_memo->selectAll();
        return;
    }
    if (alt || key == VK_F4)
        TExtCustomDropDown::ControlKeyDown(key, shift);
}

void TExtMemoDropDown::ControlKeyUp(quint16& key, TShiftState shift)
{
    if ((shift & ssAlt) || key == VK_ESCAPE || key == VK_F4)
        TExtCustomDropDown::ControlKeyUp(key, shift);
}

void TExtMemoDropDown::ControlKeyPress(QChar& key)
{
    if ((m_keyShift & ssAlt) || key == QChar(27))
        TExtCustomDropDown::ControlKeyPress(key);
}

} // namespace controls::grid::dropdown
