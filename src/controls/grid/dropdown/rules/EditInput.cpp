#include "controls/grid/dropdown/rules/EditInput.h"

#include "controls/grid/util/ExtUtil.h"
#include "platform/core/Conversions.h"
#include "platform/core/Format.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace controls::grid::dropdown {

using namespace platform;

namespace {

QChar DS() { return FormatSettings().DecimalSeparator; }
QChar TS() { return FormatSettings().ThousandSeparator; }
bool IsAsciiDigit(QChar c) { return c >= u'0' && c <= u'9'; }
bool IsHexLetter(QChar c) { return (c >= u'A' && c <= u'F') || (c >= u'a' && c <= u'f'); }
bool IsLatinLetter(QChar c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'); }

// Fixed notation with `decimals` decimals, with thousand separators when `thousands`. The
// decimals are capped where a double has no more digits to show.
QString FormatFixed(double value, int decimals, bool thousands)
{
    return FloatToStrF(value, thousands ? ffNumber : ffFixed, 18, qBound(0, decimals, 18));
}

QString FormatGeneral(double value) { return Format(QStringLiteral("%g"), {value}); }

// Trunc into 64 bits, saturated at the ends of the range.
qint64 TruncToInt64(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= 9.2e18)
        return std::numeric_limits<qint64>::max();
    if (value <= -9.2e18)
        return std::numeric_limits<qint64>::min();
    return qint64(std::trunc(value));
}

} // namespace

int DetectEditNumberType(const QString& text)
{
    const bool any = !text.isEmpty();
    bool isInt = any, isFloat = any, isHex = any;
    int separators = 0, minus = 0, lastTS = -1;
    const QChar ds = DS(), ts = TS();
    for (int i = 1; i <= text.length(); ++i) {
        const QChar c = text.at(i - 1);
        const bool digit = IsAsciiDigit(c);
        if (!(c == u'-' || digit))
            isInt = false;
        if (!(c == u',' || c == u'-' || c == u'.' || digit))
            isFloat = false;
        if (!(c == u'-' || digit || IsHexLetter(c)))
            isHex = false;
        if (c == ts) {
            if (i - lastTS < 3)
                isFloat = false;
            lastTS = i;
        }
        if (c == ds)
            ++separators;
        if (c == u'-')
            ++minus;
    }
    int result = 2;
    if (isHex && !isInt)
        result = 5;
    if (isInt)
        result = 0;
    else if (isFloat)
        result = 1;
    if (minus > 1 || separators > 1)
        result = 2;
    return result;
}

QString StripThousandSeparators(const QString& text)
{
    QString s = text;
    s.remove(TS());
    return s;
}

bool IsRangeSeparator(QChar ch) { return ch == u',' || ch == u'-' || ch == u';'; }

int HexDigitValue(QChar ch)
{
    if (IsAsciiDigit(ch))
        return ch.unicode() - u'0';
    if (ch >= u'A' && ch <= u'F')
        return ch.unicode() - u'A' + 10;
    if (ch >= u'a' && ch <= u'f')
        return ch.unicode() - u'a' + 10;
    return 0;
}

int HexToInt(const QString& text)
{
    quint32 sum = 0, weight = 1;
    for (int i = text.length() - 1; i >= 0; --i) {
        sum += quint32(HexDigitValue(text.at(i))) * weight;
        weight *= 16;
    }
    return int(qint32(sum));
}

QString CaseText(const QString& text, bool keepCase) { return keepCase ? text : AnsiUpperCase(text); }

QString IntToHex(qint64 value, int digits, bool is64)
{
    const quint64 u = is64 ? quint64(value) : quint64(quint32(qint32(value)));
    QString s = QString::number(u, 16).toUpper();
    while (s.length() < digits)
        s.prepend(u'0');
    return s;
}

// --- value -------------------------------------------------------------------------------------------

QString TDropDownInput::GetText() const
{
    QString t = BoxText();
    if (!Prefix.isEmpty() && t.startsWith(Prefix))
        t.remove(0, Prefix.length());
    if (!Suffix.isEmpty())
        t.chop(Suffix.length());
    return t;
}

int TDropDownInput::ValueEnd() const { return Prefix.length() + GetText().length(); }

TDropDownInput::TFixedSelection TDropDownInput::KeepSelectionInValue(bool deleting)
{
    if ((Prefix.isEmpty() && Suffix.isEmpty()) || !BoxText().startsWith(Prefix))
        return fsInValue;
    const int lo = Prefix.length();
    const int hi = qMax(lo, ValueEnd());
    const int start = BoxSelStart();
    const int end = start + BoxSelLength();
    const int s2 = qBound(lo, start, hi);
    const int e2 = qBound(lo, end, hi);
    if (s2 == start && e2 == end)
        return fsInValue;
    // What a deletion would take lies wholly in a fixed text: nothing is deleted.
    if (deleting && (start < end ? s2 == e2 : true))
        return fsInFixedText;
    BoxSetSel(s2, e2);
    return fsClamped;
}

void TDropDownInput::WriteEditText(const QString& text)
{
    if (text == BoxText())
        return;
    BoxWrite(text);
    EnChange();
}

void TDropDownInput::EnChange()
{
    if (FBlockChange) {
        FBlockChange = false;
        return;
    }
    Change();
}

void TDropDownInput::SetText(const QString& valueIn)
{
    QString value = valueIn;
    if (value.isEmpty() && (FEditType == etNumeric || FEditType == etFloat || FEditType == etMoney || FEditType == etHex))
        value = QStringLiteral("0");
    if (FPrecision > 0 && !value.isEmpty() && value != QLatin1String("Error")) {
        if (FEditType == etMoney)
            value = FormatFixed(TextToFloat(value), FPrecision, true);
        else if (FEditType == etFloat)
            value = FormatFixed(TextToFloat(value), FPrecision, false);
    }
    if (FEditType == etHex)
        value = AnsiUpperCase(value);
    WriteValue(value);
    FOldText = value;
    SetIsModified(false);
}

double TDropDownInput::TextToFloat(const QString& text)
{
    double v = 0;
    if (TryStrToFloat(StripThousandSeparators(text), v))
        return v;
    return 0;
}

double TDropDownInput::GetFloatValue() const
{
    QString value = GetText();
    switch (FEditType) {
    case etString: {
        // The platform's plain conversion: "." as decimal separator whatever the locale.
        TFormatSettings fs = FormatSettings();
        fs.DecimalSeparator = u'.';
        double v = 0;
        return TryStrToFloat(value, v, fs) ? v : 0;
    }
    case etNumeric:
    case etFloat:
        if (value.isEmpty() || value == QLatin1String("Error") || value == QLatin1String("-"))
            return 0;
        return TextToFloat(value);
    case etMoney:
        if (!value.isEmpty()) {
            value = StripThousandSeparators(value);
            if (value.endsWith(DS()))
                value.chop(1);
        }
        if (value.isEmpty() || value == QLatin1String("-"))
            return 0;
        return TextToFloat(value);
    case etHex:
        return value.isEmpty() ? 0 : HexToInt(value);
    default:
        return 0;
    }
}

void TDropDownInput::SetFloatValue(double value)
{
    switch (FEditType) {
    case etString:
    case etFloat:
        SetText(FPrecision < 0 ? FormatGeneral(value) : FormatFixed(value, FPrecision, false));
        break;
    case etNumeric:
        SetText(FPrecision < 0 ? FormatGeneral(value) : FormatFixed(value, FPrecision, true));
        break;
    case etMoney:
        SetText(FPrecision < 0 ? FormatGeneral(value) : FormatFixed(value, FPrecision, false));
        FormatMoneyText();
        break;
    case etHex:
        SetText(IntToHex(TruncToInt64(value), 0, true));
        break;
    default:
        break;
    }
    SetIsModified(true);
}

void TDropDownInput::SetIntValue(int value)
{
    switch (FEditType) {
    case etNumeric:
    case etFloat:
        SetText(IntToStr(value));
        break;
    case etMoney:
        SetText(IntToStr(value));
        FormatMoneyText();
        break;
    case etHex:
        SetText(IntToHex(value, 0, false));
        break;
    default:
        break;
    }
    SetIsModified(true);
}

void TDropDownInput::FormatMoneyText()
{
    const QString v = GetText();
    if (v.isEmpty())
        return;
    const int oldLength = v.length();
    const int caret = BoxSelStart();
    const QString sign = v.startsWith(u'-') ? QStringLiteral("-") : QString();
    const QChar ds = DS();
    const int dsPos = v.indexOf(ds);
    const QString fraction = dsPos >= 0 ? v.mid(dsPos, 255) : QString();
    // The integer part is regrouped from its digits as typed: through a floating-point number a
    // long one would lose digits or turn into an exponent.
    QString digits = dsPos >= 0 ? v.left(dsPos) : v;
    digits.remove(TS());
    if (!sign.isEmpty())
        digits.remove(0, 1);
    QString integer;
    if (std::all_of(digits.begin(), digits.end(), [](QChar c) { return IsAsciiDigit(c); })) {
        while (digits.length() > 1 && digits.startsWith(u'0'))
            digits.remove(0, 1);
        if (digits.isEmpty())
            digits = QStringLiteral("0");
        for (int i = 0; i < digits.length(); ++i) {
            if (AutoThousandSeparator && i > 0 && (digits.length() - i) % 3 == 0)
                integer += TS();
            integer += digits.at(i);
        }
    } else {
        const double whole = std::trunc(std::fabs(GetFloatValue()));
        integer = FormatFixed(whole, 2, AutoThousandSeparator);
        const int cut = integer.indexOf(ds);
        if (cut >= 0)
            integer.truncate(cut);
    }
    const int saved = FPrecision;
    FPrecision = 0;
    const QString newValue = sign + integer + fraction;
    const QString text = Prefix + newValue + Suffix;
    if (text != BoxText())
        FBlockChange = true;
    WriteEditText(text);
    FPrecision = saved;
    SetCaret(qBound(0, caret + (newValue.length() - oldLength), BoxText().length()));
}

void TDropDownInput::SetIsModified(bool value)
{
    if (IsLoading() || !FEditorEnabled || BoxReadOnly())
        return;
    BoxSetModified(value);
    FIsModified = value;
}

void TDropDownInput::SelectAll() { BoxSetSel(Prefix.length(), ValueEnd()); }

void TDropDownInput::SelectAfterDecimal()
{
    const int p = GetText().indexOf(DS());
    SetCaret(Prefix.length() + (p >= 0 ? p + 1 : 0));
}

void TDropDownInput::SelectBeforeDecimal()
{
    const int p = GetText().indexOf(DS());
    SetCaret(Prefix.length() + (p >= 0 ? p : 0));
}

void TDropDownInput::SetEditType(TDropDownEditType type)
{
    if (type == FEditType)
        return;
    const bool wasPassword = FEditType == etPassword;
    FEditType = type;
    if (type == etPassword) {
        CanUndo = false;
        PasswordChanged(true);
    } else if (wasPassword) {
        PasswordChanged(false);
    }
    const int kind = DetectEditNumberType(GetText());
    if (type == etNumeric && kind != 0)
        SetIntValue(0);
    else if ((type == etFloat || type == etMoney) && kind != 0 && kind != 1)
        SetFloatValue(0);
    else if (type == etHex && kind != 0 && kind != 5)
        SetIntValue(0);
    if (IsDesigning() && type == etFloat && FPrecision == 0)
        SetPrecision(2);
}

void TDropDownInput::SetPrecision(int precision)
{
    if (precision == FPrecision || !(FEditType == etString || FEditType == etFloat || FEditType == etMoney))
        return;
    FPrecision = precision;
    const int kind = DetectEditNumberType(GetText());
    if (kind != 0 && kind != 1)
        SetFloatValue(0);
    else
        SetFloatValue(GetFloatValue());
}

// --- helpers of the filter --------------------------------------------------------------------

int TDropDownInput::IntegerPartEnd(const QString& text) const
{
    const QString t = StripThousandSeparators(text);
    const int d = t.indexOf(DS());
    int end = d >= 0 ? d + 1 : t.length() + 1;
    if (Signed && IsNumberType() && t.contains(u'-'))
        --end;
    return end;
}

int TDropDownInput::DecimalPosition() const
{
    const QString value = GetText();
    const int d = value.indexOf(DS());
    if (d >= 0)
        return d + 1 + Prefix.length();
    return Prefix.length() + value.length() + Suffix.length() + 1;
}

bool TDropDownInput::DecimalsFull(const QString& value, int caret) const
{
    const int p = caret - Prefix.length();
    const int d = value.indexOf(DS()) + 1;
    if (FPrecision <= 0 || value.length() - p > FPrecision || d == 0)
        return false;
    return p >= d && value.length() - d >= FPrecision;
}

bool TDropDownInput::ThousandSeparatorMisplaced(const QString& value, int caret) const
{
    const QChar ts = TS();
    if (!value.contains(ts))
        return false;
    int p = caret - Prefix.length();
    int m = value.length();
    QString s = value;
    for (;;) {
        const int t = s.indexOf(ts) + 1;
        if (t == 0)
            break;
        const int distance = qAbs(t - p);
        m = qMin(m, distance);
        if (distance < 3)
            return true;
        if (p > t)
            p -= t;
        s.remove(0, t);
    }
    return m > 3;
}

void TDropDownInput::FrameworkChar(QChar ch)
{
    QChar c = ch;
    KeyPress(c);
    if (!c.isNull())
        BoxChar(c);
}

void TDropDownInput::ToggleSign(bool numericRule)
{
    const QString value = GetText();
    if (numericRule && BoxSelLength() == value.length()) {
        WriteValue(QStringLiteral("-"));
        SetCaret(Prefix.length() + 1);
        return;
    }
    const int p = BoxSelStart();
    if (!value.contains(u'-')) {
        WriteValue(u'-' + value);
        SetCaret(p + 1);
        SetIsModified(true);
    } else {
        // The sign is the value's first character; should it stand elsewhere, that one goes (and
        // never a digit).
        QString withoutSign = value;
        withoutSign.remove(value.indexOf(u'-'), 1);
        WriteValue(withoutSign);
        SetCaret(p > 0 && p > Prefix.length() ? p - 1 : Prefix.length());
    }
}

// --- WM_CHAR ---------------------------------------------------------------------------------------

void TDropDownInput::WMChar(TWMKey& msg)
{
    if (!FEditorEnabled) {
        msg.CharCode = 0;
        return;
    }
    QChar k(msg.CharCode);
    // A character typed while the caret stands in the prefix or the suffix (where a write of the
    // text leaves it) goes into the value; Backspace takes nothing out of them.
    if (k.unicode() >= 32 || k == QChar(8)) {
        if (KeepSelectionInValue(k == QChar(8)) == fsInFixedText) {
            msg.CharCode = 0;
            return;
        }
    }
    // Nothing goes in front of a number's sign: a character typed there lands after it.
    if (IsNumberType() && k.unicode() >= 32 && k != u'-' && BoxSelLength() == 0 && BoxSelStart() == Prefix.length() &&
        GetText().startsWith(u'-'))
        SetCaret(Prefix.length() + 1);
    const bool ctrl = CtrlDown();
    const QString value = GetText();
    const bool wholeSelected = BoxSelLength() == value.length() && !value.isEmpty();
    if (wholeSelected)
        FBlockChange = true;
    const QChar ds = DS();

    if (ctrl && k == QChar(13)) {
        msg.CharCode = 0;
        msg.Result = 1;
        return;
    }
    if (k == QChar(13)) {
        QChar copy(13);
        KeyPressEvent(copy);
        msg.CharCode = 0;
        if (!DefaultHandling && HasParentWindow()) {
            PostKeyToParent(platform::VK_RETURN, true);
            if (!ParentKeyPreview())
                PostKeyToParent(platform::VK_RETURN, false);
        }
        return;
    }
    if (k == QChar(27) && !DefaultHandling && HasParentWindow()) {
        if (ParentKeyPreview()) {
            FrameworkChar(k);
            return;
        }
        PostKeyToParent(platform::VK_ESCAPE, true);
        PostKeyToParent(platform::VK_ESCAPE, false);
    }
    if (k == QChar(27) && !CanUndo) {
        FrameworkChar(k);
        return;
    }
    if (ctrl && (k == QChar(3) || k == QChar(22) || k == QChar(24))) {
        FrameworkChar(k);
        return;
    }
    if (ExcelStyleDecimalSeparator && (k == u'.' || k == u',') && (msg.KeyData & platform::kKeyDataKeypad))
        k = ds;
    if (k == QChar(8) && !Prefix.isEmpty() && BoxSelStart() <= Prefix.length() && BoxSelLength() == 0)
        return;
    if (LengthLimit > 0) {
        const int n = IntegerPartEnd(value);
        if (LengthLimit < n && BoxSelLength() == 0 && BoxSelStart() < DecimalPosition() && k != QChar(8)) {
            const bool allowedSign = Signed && IsNumberType() && k == u'-';
            if (!(k == ds || allowedSign))
                return;
        }
    }
    if (k == QChar(8)) {
        FrameworkChar(k);
        if (wholeSelected && GetText().isEmpty())
            Change();
        return;
    }
    if (ctrl && k == QChar(10))
        return;
    if (k == u'-' && IsNumberType() && !Signed)
        return;
    if (!TypeStep(k))
        return;
    if (BoxModified())
        SetIsModified(true);
}

bool TDropDownInput::TypeStep(QChar& k)
{
    const QChar ds = DS(), ts = TS();
    const QString value = GetText();
    const bool digit = IsAsciiDigit(k);
    const bool plainKey = k == QChar(8) || k == QChar(9) || k == QChar(13);
    auto accept = [&]() {
        SetIsModified(true);
        FrameworkChar(k);
    };
    // Steps the float and money filters share: misplaced separators, full decimals, a leading
    // "0" before a first decimal separator, the sign toggle. False: the key went no further.
    auto floatSteps = [&]() -> bool {
        if ((k == ts || k == ds) && ThousandSeparatorMisplaced(value, BoxSelStart()))
            return false;
        if (DecimalsFull(value, BoxSelStart()) && (digit || k == ds) && BoxSelLength() == 0) {
            const int p = BoxSelStart() - Prefix.length();
            const int d = value.indexOf(ds) + 1;
            if (FPrecision >= 1 && p >= d && digit && BoxSelStart() < ValueEnd())
                BoxSetSel(BoxSelStart(), BoxSelStart() + 1);
            else
                return false;
        }
        if (BoxSelStart() == 0 && value.isEmpty() && k == ds) {
            WriteValue(QStringLiteral("0") + ds);
            SetCaret(Prefix.length() + 2);
            SetIsModified(true);
            return false;
        }
        // "-" toggles the sign also over a part of the value selected (it would land inside the
        // number); only over the whole value it replaces it.
        if (k == u'-' && BoxSelLength() < value.length()) {
            SetCaret(BoxSelStart());
            const int saved = FPrecision;
            FPrecision = 0;
            ToggleSign(false);
            SetIsModified(true);
            FPrecision = saved;
            return false;
        }
        return true;
    };

    switch (FEditType) {
    case etString:
    case etPassword:
        accept();
        return true;
    case etUppercase:
        k = AnsiUpperCase(QString(k)).at(0);
        FrameworkChar(k);
        return true;
    case etLowerCase:
        k = AnsiLowerCase(QString(k)).at(0);
        FrameworkChar(k);
        return true;
    case etMixedCase: {
        const int p = BoxSelStart();
        FrameworkChar(k);
        WriteValue(ProperCase(GetText()));
        SetCaret(p + 1);
        return true;
    }
    case etNumeric:
        if (k == u'-') {
            ToggleSign(true);
            return false;
        }
        if (plainKey || digit || CtrlDown())
            FrameworkChar(k);
        return true;
    case etFloat: {
        if (k == u',' && ds != u',' && ts != u',')
            return false;
        if (k == u'.' && ds != u'.' && ts != u'.')
            return false;
        if (!(plainKey || k == u',' || k == u'-' || k == u'.' || digit))
            return true;
        const QString selected = BoxText().mid(BoxSelStart(), BoxSelLength());
        if (k == ds && !selected.contains(ds) && (value.contains(ds) || FPrecision == 0)) {
            if (FPrecision > 0)
                SelectAfterDecimal();
            return false;
        }
        if (k == u',' && value.contains(u',') && !selected.contains(u',') && ts != u',')
            return false;
        if (!floatSteps())
            return false;
        accept();
        return true;
    }
    case etMoney: {
        if (k == ds && (value.contains(ds) || FPrecision == 0)) {
            if (FPrecision > 0) {
                if (BoxSelLength() == value.length())
                    SetText(QStringLiteral("0,0"));
                SelectAfterDecimal();
            }
            return false;
        }
        if (!(plainKey || k == u'-' || digit || k == ds))
            return true;
        if (!floatSteps())
            return false;
        FrameworkChar(k);
        const QString now = GetText();
        if (!now.isEmpty() && now != QLatin1String("-") && k != ds) {
            if (BoxModified())
                SetIsModified(true);
            FormatMoneyText();
        }
        return true;
    }
    case etRange:
        if (!(plainKey || k == u',' || k == u'-' || digit || k == u';'))
            return true;
        SetIsModified(true);
        if (IsRangeSeparator(k)) {
            const int s = BoxSelStart();
            const QString t = BoxText();
            if (s <= Prefix.length())
                return false;
            if (s - 1 < t.length() && IsRangeSeparator(t.at(s - 1)))
                return false;
            if (s < t.length() && IsRangeSeparator(t.at(s)))
                return false;
        }
        FrameworkChar(k);
        return true;
    case etHex:
        if (plainKey || k == u'-' || digit || IsHexLetter(k)) {
            accept();
            return true;
        }
        return false;
    case etAlphaNumeric:
        if (plainKey || digit || IsLatinLetter(k)) {
            accept();
            return true;
        }
        return false;
    case etValidChars:
        if (ValidChars.contains(k) || k == QChar(8)) {
            accept();
            return true;
        }
        return false;
    }
    return true;
}

// --- WM_KEYDOWN ------------------------------------------------------------------------------------

void TDropDownInput::PopupKeysAtEnd(quint16 key)
{
    if (key == platform::VK_F4) {
        if (IsDroppedDown())
            DoHideDropDown(false);
        else
            DoShowDropDown();
    } else if (key == platform::VK_RETURN) {
        DoHideDropDown(false);
    } else if (key == platform::VK_ESCAPE) {
        DoHideDropDown(true);
    }
}

void TDropDownInput::WMKeyDown(TWMKey& msg, TShiftState shift)
{
    if (IsDesigning())
        return;
    quint16& k = msg.CharCode;
    if (AltDown() && (k == platform::VK_UP || k == platform::VK_DOWN)) {
        if (IsDroppedDown())
            DoHideDropDown(false);
        else
            DoShowDropDown();
        k = 0;
        return;
    }
    if (!FEditorEnabled && ControlEnabled()) {
        if (!BoxReadOnly() && (k == platform::VK_RETURN || k == platform::VK_ESCAPE || k == platform::VK_F4)) {
            const quint16 key = k;
            PopupKeysAtEnd(key);
            if (key == platform::VK_F4)
                k = 0;
            else
                BoxKeyDown(k, shift);
            return;
        }
        k = 0;
        return;
    }
    if ((shift & platform::ssCtrl) && (k == platform::VK_TAB || k == platform::VK_RETURN)) {
        BoxKeyDown(k, shift);
        return;
    }
    if (k == platform::VK_RETURN && ReturnIsTab) {
        k = platform::VK_TAB;
        if (EditVisible())
            PostKeyToSelf(platform::VK_TAB);
    }
    // Delete and Backspace never take the prefix or the suffix out.
    if ((k == platform::VK_DELETE || k == platform::VK_BACK) && KeepSelectionInValue(true) == fsInFixedText) {
        k = 0;
        return;
    }
    const int pl = Prefix.length();
    const int selEnd = BoxSelStart() + BoxSelLength();
    if (!Suffix.isEmpty()) {
        if (k == platform::VK_RIGHT && selEnd >= ValueEnd()) {
            k = 0;
            return;
        }
        if (k == platform::VK_DELETE) {
            if (selEnd >= ValueEnd() && BoxSelLength() == 0) {
                k = 0;
                return;
            }
            SetIsModified(true);
        }
    }
    if (!Prefix.isEmpty() && k == platform::VK_LEFT && selEnd <= pl) {
        k = 0;
        return;
    }
    if (k == platform::VK_END && !Suffix.isEmpty()) {
        if (shift & platform::ssShift)
            BoxSetSel(BoxSelStart(), ValueEnd());
        else
            SetCaret(ValueEnd());
        k = 0;
        return;
    }
    if (k == platform::VK_HOME && !Prefix.isEmpty()) {
        if (shift & platform::ssShift)
            BoxSetSel(ValueEnd(), pl);
        else
            SetCaret(pl);
        k = 0;
        return;
    }
    if (k == platform::VK_BACK && !Prefix.isEmpty()) {
        if (BoxSelStart() <= pl + 1) {
            k = 0;
            return;
        }
        SetIsModified(true);
    }
    if (k == platform::VK_DELETE && BoxSelStart() >= pl) {
        QString copy = GetText();
        copy.remove(BoxSelStart() - pl, BoxSelLength() > 0 ? BoxSelLength() : 1);
        if (LengthLimit > 0 && IntegerPartEnd(copy) - 1 > LengthLimit) {
            k = 0;
            return;
        }
        SetIsModified(true);
    }
    BoxKeyDown(k, shift);
    if (k == platform::VK_DELETE && FEditType == etMoney)
        FormatMoneyText();
    if (BoxSelStart() < pl)
        SetCaret(pl);
    PopupKeysAtEnd(k);
}

void TDropDownInput::KeyDown(quint16& key, TShiftState shift)
{
    if ((shift & platform::ssAlt) && (key == platform::VK_UP || key == platform::VK_DOWN)) {
        if (IsDroppedDown())
            DoHideDropDown(false);
        else
            DoShowDropDown();
    }
    KeyDownEvent(key, shift);
}

void TDropDownInput::KeyPress(QChar& key)
{
    KeyPressEvent(key);
    if (key == QChar(13))
        key = QChar(0);
}

// --- mouse -----------------------------------------------------------------------------------------

bool TDropDownInput::LButtonDown(int charIndex)
{
    if (!FEditorEnabled)
        return true;
    const int s = BoxSelStart(), l = BoxSelLength();
    if (l > 0 && charIndex >= s && charIndex <= s + l && Focused()) {
        FButtonDown = true;
        return false;
    }
    return true;
}

void TDropDownInput::LButtonUpBefore(int charIndex)
{
    if (!FEditorEnabled || BoxReadOnly())
        DrawEditContent();
    if (FButtonDown)
        SetCaret(charIndex);
    FButtonDown = false;
}

void TDropDownInput::LButtonUpAfter()
{
    const int pl = Prefix.length();
    if (BoxSelStart() < pl)
        BoxSetSel(pl, ValueEnd());
    if (!Suffix.isEmpty()) {
        const int end = ValueEnd();
        if (BoxSelLength() == 0 && BoxSelStart() > end)
            SetCaret(end);
        else if (BoxSelStart() + BoxSelLength() > end)
            BoxSetSel(qMin(BoxSelStart(), end), end);
    }
}

// --- clipboard -------------------------------------------------------------------------------------

void TDropDownInput::WMCopy()
{
    bool allow = true;
    if (OnClipboardCopy && !FBlockCopy) {
        const QString part = GetText().mid(BoxSelStart() - Prefix.length(), BoxSelLength());
        OnClipboardCopy(EventSender(), part, allow);
    }
    FBlockCopy = false;
    if (allow)
        BoxCopy();
}

void TDropDownInput::WMCut()
{
    if (!FEditorEnabled || BoxReadOnly())
        return;
    FBlockCopy = true;
    bool allow = true;
    if (OnClipboardCut) {
        const QString part = GetText().mid(BoxSelStart() - Prefix.length(), BoxSelLength());
        OnClipboardCut(EventSender(), part, allow);
    }
    if (allow)
        BoxCut();
    FBlockCopy = false;
}

void TDropDownInput::WMPaste()
{
    if (BoxReadOnly() || !BoxClipboardHasText())
        return;
    const QString clip = BoxClipboardText();
    const QString value = GetText();
    const int pl = Prefix.length();
    const int start = BoxSelStart(), selLength = BoxSelLength();
    const int p = qBound(0, start - pl, value.length());
    QString result = value;
    result.replace(p, qMin(selLength, value.length() - p), clip);
    // Where the caret and selection go after the paste.
    const int newAnchor = selLength > 0 ? start : start + clip.length();
    const int newCaret = start + clip.length();
    bool allow = true;
    if (OnClipboardPaste)
        OnClipboardPaste(EventSender(), result, allow);
    if (!allow)
        return;
    if (BoxMaxLength() > 0 && clip.length() + value.length() - selLength > BoxMaxLength())
        return;
    const QChar ds = DS();
    // A minus sign anywhere but in front makes a pasted text no number (the classification alone
    // would take "5-3").
    const bool signInside = result.indexOf(u'-') > 0;
    auto allOf = [&](auto pred) {
        for (QChar c : result)
            if (!pred(c))
                return false;
        return true;
    };
    switch (FEditType) {
    case etString:
    case etPassword:
        SetText(result);
        break;
    case etNumeric:
        if (DetectEditNumberType(result) == 0 && !signInside && (Signed || !result.contains(u'-'))) {
            SetText(result);
            SetIsModified(true);
        }
        break;
    case etFloat:
    case etMoney: {
        const int kind = DetectEditNumberType(result);
        if ((kind == 0 || kind == 1) && !signInside && (FPrecision != 0 || !clip.contains(ds)) &&
            (Signed || !result.contains(u'-'))) {
            SetText(result);
            SetFloatValue(GetFloatValue());
            SetIsModified(true);
        }
        break;
    }
    case etUppercase:
        SetText(AnsiUpperCase(result));
        break;
    case etMixedCase:
        SetText(ProperCase(result));
        break;
    case etLowerCase:
        SetText(AnsiLowerCase(result));
        break;
    case etAlphaNumeric:
        if (allOf([](QChar c) { return IsAsciiDigit(c) || IsLatinLetter(c); })) {
            SetText(result);
            SetIsModified(true);
        }
        break;
    case etValidChars:
        if (allOf([this](QChar c) { return ValidChars.contains(c); })) {
            SetText(result);
            SetIsModified(true);
        }
        break;
    case etRange:
    case etHex:
        break;
    }
    if (FEditType == etMoney && GetText().length() > 3) {
        SelectAll();
    } else {
        // Within the value: a refused paste would otherwise leave the caret in the suffix.
        const int lo = BoxText().startsWith(Prefix) ? int(Prefix.length()) : 0;
        const int hi = qMax(lo, BoxText().startsWith(Prefix) ? ValueEnd() : int(BoxText().length()));
        BoxSetSel(qBound(lo, newAnchor, hi), qBound(lo, newCaret, hi));
    }
    if (FEditType == etString || (FEditType >= etUppercase && FEditType <= etPassword))
        SetIsModified(true);
}

// --- leaving the control ---------------------------------------------------------------------------

void TDropDownInput::KillFocusRules()
{
    if (IsLoading())
        return;
    const bool floatLike = FEditType == etFloat || FEditType == etMoney;
    QString value = GetText();
    // A sign or separators without a digit are no number: they are left as an empty value.
    if (IsNumberType() && !value.isEmpty() && std::none_of(value.begin(), value.end(), [](QChar c) { return c.isDigit(); })) {
        value.clear();
        WriteValue(value);
    }
    if (floatLike && FPrecision > 0 && (!value.isEmpty() || !AllowNumericNullValue)) {
        const bool modified = FIsModified;
        SetFloatValue(GetFloatValue());
        SetIsModified(modified);
    } else if (FEditType == etNumeric && value.isEmpty() && !AllowNumericNullValue) {
        SetText(QStringLiteral("0"));
    } else if (floatLike && value.isEmpty() && !AllowNumericNullValue) {
        SetFloatValue(0);
    }
}

} // namespace controls::grid::dropdown
