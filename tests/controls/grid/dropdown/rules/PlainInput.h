#pragma once
// A drop-down input over a plain text buffer: the edit box without a window, with the keys of a
// one-line edit (Left, Right, Home, End with Shift selecting, Delete, Backspace), a clipboard of
// its own and counters of the events it raised.
#include "controls/grid/dropdown/rules/EditInput.h"
#include "platform/core/FormatSettings.h"

#include <QStringList>

namespace dropdown_test {

using namespace controls::grid::dropdown;
using platform::TShiftState;
using platform::TWMKey;

class PlainInput : public TDropDownInput {
public:
    QString clipboard;
    bool readOnly = false;
    int maxLength = 0;
    bool ctrlDown = false;
    bool altDown = false;
    bool loading = false;
    bool dropped = false;
    int changeCount = 0;
    QStringList log; // "show", "hide", "hide cancel", "post ..." in order

    // Types a key as the platform delivers it: WM_KEYDOWN, then WM_CHAR for a key that types a
    // character (also when the key-down was consumed).
    void TypeKey(quint16 key, TShiftState shift = {})
    {
        TWMKey msg;
        msg.CharCode = key;
        WMKeyDown(msg, shift);
        if (key == platform::VK_BACK)
            TypeChar(QChar(8));
    }
    void TypeChar(QChar ch, unsigned keyData = 0)
    {
        TWMKey msg;
        msg.CharCode = ch.unicode();
        msg.KeyData = keyData;
        WMChar(msg);
    }
    void TypeText(const QString& text)
    {
        for (QChar c : text)
            TypeChar(c);
    }
    void SetSel(int start, int length) { BoxSetSel(start, start + length); }
    void SetCaretAt(int pos) { BoxSetSel(pos, pos); }
    int SelStart() const { return BoxSelStart(); }
    int SelLength() const { return BoxSelLength(); }
    QString EditText() const { return m_text; }
    bool Modified() const { return m_modified; }
    // Puts a text into the box as if the user had typed it (no filter, a change notice).
    void UserText(const QString& text)
    {
        m_text = text;
        m_anchor = m_caret = text.length();
        m_modified = true;
        EnChange();
    }

protected:
    QString BoxText() const override { return m_text; }
    void BoxWrite(const QString& text) override
    {
        m_text = text;
        m_anchor = m_caret = 0;
        m_modified = false;
    }
    int BoxSelStart() const override { return qMin(m_anchor, m_caret); }
    int BoxSelLength() const override { return qAbs(m_caret - m_anchor); }
    void BoxSetSel(int anchor, int caret) override
    {
        m_anchor = qBound(0, anchor, int(m_text.length()));
        m_caret = qBound(0, caret, int(m_text.length()));
    }
    bool BoxModified() const override { return m_modified; }
    void BoxSetModified(bool on) override { m_modified = on; }
    void BoxChar(QChar ch) override
    {
        if (readOnly)
            return;
        if (ch == QChar(8)) {
            if (BoxSelLength() > 0)
                Replace(QString());
            else if (m_caret > 0) {
                m_anchor = m_caret - 1;
                Replace(QString());
            }
            return;
        }
        if (ch == QChar(3)) {
            WMCopy();
            return;
        }
        if (ch == QChar(22)) {
            WMPaste();
            return;
        }
        if (ch == QChar(24)) {
            WMCut();
            return;
        }
        if (ch.unicode() < 32)
            return;
        if (maxLength > 0 && m_text.length() - BoxSelLength() >= maxLength)
            return;
        Replace(QString(ch));
    }
    void BoxKeyDown(quint16& key, TShiftState shift) override
    {
        KeyDown(key, shift);
        const bool sh = shift & platform::ssShift;
        auto moveTo = [&](int pos) {
            pos = qBound(0, pos, int(m_text.length()));
            m_caret = pos;
            if (!sh)
                m_anchor = pos;
        };
        switch (key) {
        case platform::VK_LEFT:
            moveTo(!sh && BoxSelLength() > 0 ? BoxSelStart() : m_caret - 1);
            break;
        case platform::VK_RIGHT:
            moveTo(!sh && BoxSelLength() > 0 ? BoxSelStart() + BoxSelLength() : m_caret + 1);
            break;
        case platform::VK_HOME:
            moveTo(0);
            break;
        case platform::VK_END:
            moveTo(m_text.length());
            break;
        case platform::VK_DELETE:
            if (readOnly)
                break;
            if (BoxSelLength() == 0 && m_caret < m_text.length())
                m_anchor = m_caret + 1;
            Replace(QString());
            break;
        default:
            break;
        }
    }
    void BoxCut() override
    {
        clipboard = m_text.mid(BoxSelStart(), BoxSelLength());
        Replace(QString());
    }
    void BoxCopy() override { clipboard = m_text.mid(BoxSelStart(), BoxSelLength()); }
    bool BoxClipboardHasText() const override { return !clipboard.isEmpty(); }
    QString BoxClipboardText() const override { return clipboard; }
    bool BoxReadOnly() const override { return readOnly; }
    int BoxMaxLength() const override { return maxLength; }
    bool CtrlDown() const override { return ctrlDown; }
    bool AltDown() const override { return altDown; }
    bool IsLoading() const override { return loading; }
    void ChangeEvent() override { ++changeCount; }
    bool IsDroppedDown() const override { return dropped; }
    void DoShowDropDown() override
    {
        if (!dropped)
            log << QStringLiteral("show");
        dropped = true;
    }
    void DoHideDropDown(bool cancel) override
    {
        if (!dropped)
            return;
        dropped = false;
        log << (cancel ? QStringLiteral("hide cancel") : QStringLiteral("hide"));
        if (cancel)
            SetText(FOldText);
    }
    void PostKeyToSelf(quint16 key) override { log << QStringLiteral("post self %1").arg(key); }

private:
    void Replace(const QString& s)
    {
        const int start = BoxSelStart();
        const QString before = m_text;
        m_text.replace(start, BoxSelLength(), s);
        m_anchor = m_caret = start + s.length();
        if (m_text != before) {
            m_modified = true;
            EnChange();
        }
    }

    QString m_text;
    int m_anchor = 0;
    int m_caret = 0;
    bool m_modified = false;
};

// Keeps the format settings of a test and puts the default back afterwards.
struct ScopedSeparators {
    ScopedSeparators(QChar decimal, QChar thousand)
    {
        platform::TFormatSettings fs = platform::DefaultFormatSettings();
        fs.DecimalSeparator = decimal;
        fs.ThousandSeparator = thousand;
        platform::SetFormatSettings(fs);
    }
    ~ScopedSeparators() { platform::ResetFormatSettings(); }
};

} // namespace dropdown_test
