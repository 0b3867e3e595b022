// What a person types, pastes and presses in a drop-down edit, and the texts the drop-downs read
// back (a typed time, a calculator display): any sequence of keys and pasted texts must leave a
// value the edit type allows (the calculator's own display aside), and no text may stop the
// calculator or the time reader.
//
// Input: byte 0 the edit type, byte 1 flags (bit 0 Signed, bit 1 a prefix, bit 2 a suffix,
// bit 3 a length limit of 3, bits 4-6 the precision), then operations: one byte each, followed by
// the bytes they use.
//   0 n c..  types the n characters (UTF-8 read as one text) through the filter
//   1 k      presses a key (Left, Right, Home, End, Delete, Backspace, with Shift for odd k)
//   2 n c..  pastes the n bytes of text
//   3        leaves the control (the value is normalised)
//   4 n c..  writes up to 15 digits (each byte mod 10) through SetText
//   5 t      presses the calculator's keypad button t (tag mod 39)
//   6 c      types a character into the open calculator
//   7 n c..  reads the n bytes as a typed time with and without seconds
//   8 k n c..  completes the typed text (caret at byte k) from a list of entries, as the detail,
//            multi-column and grid drop-downs do: the completion keeps the typed part
#include "controls/grid/dropdown/rules/CalculatorEngine.h"
#include "controls/grid/dropdown/rules/LookupLogic.h"
#include "controls/grid/dropdown/rules/TimeText.h"
#include "controls/grid/dropdown/rules/PlainInput.h"
#include "platform/core/FormatSettings.h"

#include <QString>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

using namespace controls::grid::dropdown;
using dropdown_test::PlainInput;

namespace {

struct Reader {
    const uint8_t* data;
    size_t size;
    size_t pos = 0;
    bool more() const { return pos < size; }
    uint8_t byte() { return pos < size ? data[pos++] : 0; }
    QString text()
    {
        const size_t n = qMin<size_t>(byte(), size - pos);
        const QString s = QString::fromUtf8(reinterpret_cast<const char*>(data + pos), static_cast<qsizetype>(n));
        pos += n;
        return s;
    }
};

[[noreturn]] void Fail(const PlainInput& in, const char* what)
{
    std::fprintf(stderr, "%s: type %d, text \"%s\" (%s)\n", what, int(in.EditType()), qPrintable(in.EditText()),
                 in.EditText().toUtf8().toHex(' ').constData());
    std::abort();
}

bool AllOf(const QString& s, const char* allowed)
{
    for (QChar c : s)
        if (c.unicode() > 127 || !std::strchr(allowed, char(c.unicode())))
            return false;
    return true;
}

// The value of a number type after leaving the control holds only what its filter lets in.
void CheckValue(const PlainInput& in)
{
    const platform::TFormatSettings fs = platform::FormatSettings();
    const QString v = in.GetText();
    QString digits = v;
    digits.remove(fs.ThousandSeparator);
    digits.remove(fs.DecimalSeparator);
    switch (in.EditType()) {
    case etNumeric:
        if (!AllOf(digits, "-0123456789") || digits.lastIndexOf(u'-') > 0 || v == QStringLiteral("-"))
            Fail(in, "number");
        break;
    case etFloat:
    case etMoney: {
        // Formatted on leaving: a number, with an exponent when it has too many digits.
        QString plain = v;
        plain.remove(fs.ThousandSeparator);
        plain.replace(fs.DecimalSeparator, u'.');
        bool ok = false;
        plain.toDouble(&ok);
        if (!ok && !plain.isEmpty())
            Fail(in, "float");
        break;
    }
    case etHex:
        if (!AllOf(v, "-0123456789ABCDEFabcdef"))
            Fail(in, "hex");
        break;
    case etRange:
        if (!AllOf(v, "0123456789,-;"))
            Fail(in, "range");
        break;
    default: break;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    Reader r{data, size};
    PlainInput in;
    in.SetEditType(static_cast<TDropDownEditType>(r.byte() % 12));
    const uint8_t flags = r.byte();
    in.Signed = flags & 1;
    if (flags & 2)
        in.Prefix = QStringLiteral("$ ");
    if (flags & 4)
        in.Suffix = QStringLiteral(" kg");
    if (flags & 8)
        in.LengthLimit = 3;
    in.SetPrecision((flags >> 4) & 7);
    in.ValidChars = QStringLiteral("xyz");
    in.SetText(QString());

    TCalculatorEngine calc(in);
    bool calcOpen = false;
    bool calcUsed = false; // the calculator writes its own texts ("Error")
    calc.PopupVisible = [&] { return calcOpen; };
    calc.HidePopup = [&](bool cancelled) {
        calcOpen = false;
        calc.PopupClosed(cancelled);
    };
    calc.MaxLength = [] { return 0; };

    static const quint16 keys[] = {platform::VK_LEFT, platform::VK_RIGHT, platform::VK_HOME,
                                   platform::VK_END,  platform::VK_DELETE, platform::VK_BACK};
    static const bool trace = std::getenv("VN_FUZZ_TRACE") != nullptr;
    for (int ops = 0; r.more() && ops < 200; ++ops) {
        if (trace)
            std::fprintf(stderr, "[%s] caret %d+%d, next op %d\n", qPrintable(in.EditText()), in.SelStart(),
                         in.SelLength(), r.data[r.pos] % 9);
        switch (r.byte() % 9) {
        case 0:
            for (QChar c : r.text()) {
                in.TypeChar(c);
                if (trace)
                    std::fprintf(stderr, "  typed %04x: [%s] caret %d+%d\n", c.unicode(), qPrintable(in.EditText()),
                                 in.SelStart(), in.SelLength());
            }
            break;
        case 1: {
            const uint8_t k = r.byte();
            in.TypeKey(keys[(k / 2) % 6], k & 1 ? platform::ssShift : TShiftState{});
            break;
        }
        case 2:
            in.clipboard = r.text();
            in.SelectAll();
            in.WMPaste();
            break;
        case 3:
            in.KillFocusRules();
            if (!calcUsed)
                CheckValue(in);
            break;
        case 4: {
            // What the program writes is its own value, not typed input: a number it could hold
            // (at most 15 digits; larger numbers are shown with an exponent).
            QString v;
            for (QChar c : r.text().left(15))
                v += QChar(u'0' + c.unicode() % 10);
            in.SetText(v);
            break;
        }
        case 5:
            calcUsed = true;
            if (!calcOpen) {
                calcOpen = true;
                calc.PopupOpening();
            }
            calc.ButtonClick(r.byte() % 39);
            if (!std::isfinite(calc.Prevval) || !std::isfinite(calc.MVal))
                std::abort();
            break;
        case 6:
            if (calcOpen)
                calc.PopupKeyPress(QChar(r.byte()));
            calcUsed = true;
            break;
        case 7: {
            const QString t = r.text();
            for (bool seconds : {false, true})
                if (const auto f = ParseTimeText(t, seconds, u':'))
                    if (f->hour < 0 || f->minute < 0 || f->second < 0)
                        std::abort();
            (void)TCalculatorEngine::TextValue(t);
            break;
        }
        case 8: {
            static const QStringList entries{QStringLiteral("Alpha"), QStringLiteral("alpine"), QString(),
                                             QStringLiteral("\u00C4rger"), QStringLiteral("Beta Gamma")};
            const int caret = r.byte();
            const QString typed = r.text();
            for (bool matchCase : {false, true}) {
                const TCompletion c = CompleteText(typed, caret, entries, matchCase);
                if (c.keyLength < 0 || c.keyLength > c.text.length() || (c.matched && (c.index < 0 || c.index >= entries.size())))
                    std::abort();
                if (c.matched && !typed.left(c.keyLength).isEmpty() && c.text.left(c.keyLength) != typed.left(c.keyLength))
                    std::abort(); // the typed part stays as typed
            }
            (void)FindEntryStartingWith(entries, typed, caret & 1);
            (void)IndexOfIgnoringCase(entries, typed);
            break;
        }
        }
    }
    return 0;
}
