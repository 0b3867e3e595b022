#include "controls/grid/dropdown/rules/CalculatorEngine.h"

#include "platform/core/Conversions.h"
#include "platform/core/Format.h"
#include "platform/core/FormatSettings.h"

#include <cmath>

namespace controls::grid::dropdown {

namespace {
QChar DS() { return platform::FormatSettings().DecimalSeparator; }
QChar TS() { return platform::FormatSettings().ThousandSeparator; }
const QString kError = QStringLiteral("Error");
} // namespace

const std::array<TCalcButtonDef, 28> kCalculatorButtons{{
    {"", "BTN_ON", 30, false},       {"Back", "BTN_BACK", 31, true}, {"CE", "BTN_CE", 32, true},
    {"C", "BTN_C", 16, true},        {"MC", "BTN_MC", 33, true},     {"MR", "BTN_MR", 34, true},
    {"MS", "BTN_MS", 35, true},      {"M+", "BTN_M+", 36, true},     {"0", "BTN_0", 0, false},
    {"1", "BTN_1", 1, false},        {"4", "BTN_4", 4, false},       {"7", "BTN_7", 7, false},
    {"8", "BTN_8", 8, false},        {"5", "BTN_5", 5, false},       {"2", "BTN_2", 2, false},
    {"+/-", "BTN_+/-", 14, false},   {".", "BTN_.", 15, false},      {"3", "BTN_3", 3, false},
    {"6", "BTN_6", 6, false},        {"9", "BTN_9", 9, false},       {"/", "BTN_/", 13, true},
    {"*", "BTN_*", 12, true},        {"-", "BTN_-", 11, true},       {"+", "BTN_+", 10, true},
    {"=", "BTN_=", 17, true},        {"1/x", "BTN_1/x", 38, false},  {"%", "BTN_%", 18, false},
    {"sqrt", "BTN_sqrt", 37, true},
}};

std::array<Rect, 28> ArrangeCalculatorButtons(const Rect& client, int offsetX, int offsetY)
{
    const Rect r{client.left + offsetX, client.top + offsetY, client.right - offsetX, client.bottom - offsetY};
    const int g = 4;
    const int w = (r.width() - 2 * g) / 6;
    const int h = (r.height() - g) / 5;
    const int y0 = r.top, y1 = y0 + h + g, y2 = y1 + h - 1, y3 = y2 + h - 1, y4 = y3 + h - 1;
    const int x1 = r.left, x2 = x1 + w + g, x3 = x2 + w - 1, x4 = x3 + w - 1, x5 = x4 + w + g, x6 = x5 + w - 1;
    auto at = [&](int x, int y) { return Rect{x, y, x + w, y + h}; };
    std::array<Rect, 28> b{};
    b[0] = at(x1, y0);
    const int l = x1 + w + g;
    const int bigW = (x6 + w - l - 2 * g) / 3;
    b[1] = Rect{l, y0, l + bigW, y0 + h};
    b[2] = Rect{l + bigW + g, y0, l + 2 * bigW + g, y0 + h};
    b[3] = Rect{l + 2 * bigW + 2 * g, y0, x6 + w, y0 + h};
    b[4] = at(x1, y1);
    b[5] = at(x1, y2);
    b[6] = at(x1, y3);
    b[7] = at(x1, y4);
    b[11] = at(x2, y1);
    b[12] = at(x3, y1);
    b[19] = at(x4, y1);
    b[20] = at(x5, y1);
    b[27] = at(x6, y1);
    b[10] = at(x2, y2);
    b[13] = at(x3, y2);
    b[18] = at(x4, y2);
    b[21] = at(x5, y2);
    b[26] = at(x6, y2);
    b[9] = at(x2, y3);
    b[14] = at(x3, y3);
    b[17] = at(x4, y3);
    b[22] = at(x5, y3);
    b[25] = at(x6, y3);
    b[8] = at(x2, y4);
    b[15] = at(x3, y4);
    b[16] = at(x4, y4);
    b[23] = at(x5, y4);
    b[24] = at(x6, y4);
    return b;
}

TCalculatorEngine::TCalculatorEngine(TDropDownInput& edit) : m_edit(edit) {}

double TCalculatorEngine::TextValue(const QString& text)
{
    if (text == kError)
        return 0;
    return TDropDownInput::TextToFloat(text);
}

bool TCalculatorEngine::AtMaxLength() const
{
    const int max = MaxLength ? MaxLength() : 0;
    return max > 0 && m_edit.GetText().length() >= max;
}

void TCalculatorEngine::WriteNumber(double value)
{
    if (!std::isfinite(value)) {
        m_edit.SetText(kError);
        return;
    }
    m_edit.SetFloatValue(value);
}

void TCalculatorEngine::ApplyOperation()
{
    QString text = m_edit.GetText();
    if (text.isEmpty() || text == kError) {
        m_edit.SetText(QStringLiteral("0"));
        text = QStringLiteral("0");
    }
    const double x = TextValue(text);
    switch (Prevop) {
    case 0:
        Prevval += x;
        break;
    case 1:
        Prevval *= x;
        break;
    case 2:
        Prevval -= x;
        break;
    case 3:
        if (x == 0) {
            Prevval = 0;
            m_edit.SetText(kError);
            return;
        }
        Prevval /= x;
        break;
    default:
        Prevval = x;
        break;
    }
    if (!std::isfinite(Prevval))
        Prevval = 0;
    m_edit.SetFloatValue(Prevval);
    Newval = true;
}

void TCalculatorEngine::DoAdd()
{
    ApplyOperation();
    Prevop = 0;
}

void TCalculatorEngine::DoMultiply()
{
    ApplyOperation();
    Prevop = 1;
}

void TCalculatorEngine::DoSubtract()
{
    ApplyOperation();
    Prevop = 2;
}

void TCalculatorEngine::DoDivide()
{
    ApplyOperation();
    Prevop = 3;
}

void TCalculatorEngine::DoEquals()
{
    ApplyOperation();
    if (m_edit.GetText().isEmpty())
        m_edit.SetText(QStringLiteral("0"));
    Prevop = -1;
    const QString text = m_edit.GetText();
    if (text != kError)
        Prevval = TextValue(text);
}

void TCalculatorEngine::DoPercent()
{
    const QString text = m_edit.GetText();
    if (text.isEmpty() || text == kError)
        m_edit.SetText(QStringLiteral("0"));
    const double x = TextValue(m_edit.GetText());
    const double result = Prevval * x / 100;
    if (std::isfinite(result))
        m_edit.SetText(platform::Format(QStringLiteral("%g"), {result}));
    else
        m_edit.SetText(kError);
}

void TCalculatorEngine::PopupOpening()
{
    Newval = true;
    Decim = 0;
    CalcClosed = false;
    m_openText = m_edit.GetText();
    m_openPrevval = Prevval;
    m_openPrevop = Prevop;
}

void TCalculatorEngine::PopupClosed(bool cancelled)
{
    if (!cancelled)
        return;
    m_edit.SetText(m_openText);
    Prevval = m_openPrevval;
    Prevop = m_openPrevop;
    Newval = true;
}

void TCalculatorEngine::ButtonClick(int tag)
{
    if (BeforeCalcAction)
        BeforeCalcAction();
    if ((tag >= 10 && tag <= 14) || (tag >= 16 && tag <= 18))
        Decim = 0;
    if ((tag < 10 || tag == 14 || tag == 15) && AtMaxLength())
        return;
    const QString text = m_edit.GetText();
    switch (tag) {
    case 10:
        DoAdd();
        break;
    case 11:
        DoSubtract();
        break;
    case 12:
        DoMultiply();
        break;
    case 13:
        DoDivide();
        break;
    case 14:
        if (text.contains(u'-'))
            m_edit.SetText(text.mid(1));
        else
            m_edit.SetText(u'-' + text);
        break;
    case 15:
        if (!text.contains(DS()))
            m_edit.SetText(text + DS());
        Decim = 10;
        if (Newval)
            m_edit.SetText(QStringLiteral("0"));
        Newval = false;
        break;
    case 16:
    case 30:
    case 32:
        m_edit.SetText(QStringLiteral("0"));
        Prevval = 0;
        Prevop = -1;
        break;
    case 17:
        DoEquals();
        break;
    case 18:
        DoPercent();
        break;
    case 31:
        if (Prevop == -1) {
            QString shortest = platform::FloatToStr(m_edit.GetFloatValue());
            shortest.chop(1);
            m_edit.SetText(shortest);
        }
        break;
    case 33:
        MVal = 0;
        break;
    case 34:
        WriteNumber(MVal);
        break;
    case 35:
        MVal = TextValue(text);
        break;
    case 36:
        MVal += TextValue(text);
        if (!std::isfinite(MVal))
            MVal = 0;
        break;
    case 37: {
        const double v = m_edit.GetFloatValue();
        if (v >= 0)
            WriteNumber(std::sqrt(v));
        else
            m_edit.SetText(kError);
        break;
    }
    case 38: {
        const double v = m_edit.GetFloatValue();
        if (v != 0)
            WriteNumber(1 / v);
        else
            m_edit.SetText(kError);
        break;
    }
    default:
        if (tag >= 0 && tag <= 9) {
            const double v = m_edit.GetFloatValue();
            // A digit extends the number away from zero, also a negative one (-5, 3 gives -53).
            const double d = v < 0 ? -tag : tag;
            if ((v == 0 && Decim == 0) || Newval) {
                m_edit.SetText(QString::number(tag));
                Newval = false;
            } else if (Decim == 0) {
                WriteNumber(v * 10 + d);
            } else {
                WriteNumber(v + d / Decim);
                Decim *= 10;
            }
        }
        break;
    }
    m_edit.SetIsModified(true);
}

void TCalculatorEngine::PopupKeyPress(QChar key)
{
    if (BeforeCalcAction)
        BeforeCalcAction();
    const QString text = m_edit.GetText();
    if (key == DS() && !text.contains(DS()))
        m_edit.SetText(text + DS());
    if (key.isDigit() && AtMaxLength())
        return;
    switch (key.unicode()) {
    case 13:
        DoEquals();
        if (HidePopup)
            HidePopup(false);
        break;
    case 27:
        if (HidePopup)
            HidePopup(true);
        break;
    case u'%':
        DoPercent();
        break;
    case u'*':
        DoMultiply();
        break;
    case u'+':
        DoAdd();
        break;
    case u'-':
        DoSubtract();
        break;
    case u'/':
        DoDivide();
        break;
    case u'=':
        DoEquals();
        break;
    case u'C':
    case u'c':
        m_edit.SetText(QStringLiteral("0"));
        Prevval = 0;
        Newval = true;
        Prevop = -1;
        break;
    default:
        if (key.isDigit() && (m_edit.GetText() == QLatin1String("0") || Newval))
            Newval = false;
        break;
    }
}

void TCalculatorEngine::PopupKeyDown(quint16 key)
{
    if (key == platform::VK_TAB || key == platform::VK_F4) {
        if (HidePopup)
            HidePopup(false);
    } else if (key == platform::VK_BACK) {
        QString text = m_edit.GetText();
        text.chop(1);
        if (text.isEmpty() || text == kError)
            text = QStringLiteral("0");
        m_edit.SetText(text);
    }
}

bool TCalculatorEngine::OperatorKey(QChar key)
{
    switch (key.unicode()) {
    case 13:
    case u'=':
        DoEquals();
        return true;
    case u'%':
        DoPercent();
        return true;
    case u'*':
        DoMultiply();
        return true;
    case u'+':
        DoAdd();
        return true;
    case u'-':
        DoSubtract();
        return true;
    case u'/':
        DoDivide();
        return true;
    case u'C':
    case u'c':
        m_edit.SetText(QStringLiteral("0"));
        Newval = true;
        Prevop = -1;
        return true;
    default:
        return false;
    }
}

bool TCalculatorEngine::PopupShown() const { return !CalcClosed && PopupVisible && PopupVisible(); }

bool TCalculatorEngine::ClosedEditKey(QChar key)
{
    if (PopupShown())
        return false;
    return OperatorKey(key);
}

void TCalculatorEngine::EditKeyPress(QChar& key, const std::function<void(QChar&)>& baseKeyPress)
{
    if (!PopupShown())
        OperatorKey(key);
    const QChar ds = DS();
    const bool digit = key.isDigit();
    if (!(digit || key == ds || key == QChar(8) || key == u'-')) {
        key = QChar();
        return;
    }
    const QString text = m_edit.GetText();
    const int prefixLength = m_edit.Prefix.length();
    // A digit after "Error" starts a new number too, as it does on the keypad.
    if (digit && (text == QLatin1String("0") || text == kError || Newval)) {
        m_edit.SetText(QString(key));
        m_edit.InputSetCaret(prefixLength + 1);
        Newval = false;
        key = QChar();
        return;
    }
    if (key == QChar(8) && text.length() == 1) {
        m_edit.SetText(QStringLiteral("0"));
        m_edit.InputSetCaret(prefixLength + 1);
        key = QChar();
        return;
    }
    if (key == TS() || (key == ds && text.contains(ds))) {
        key = QChar();
        return;
    }
    if (baseKeyPress)
        baseKeyPress(key);
}

void TCalculatorEngine::EditKeyDownAfter(quint16 key)
{
    if (key != platform::VK_DELETE)
        return;
    const QString text = m_edit.GetText();
    if (text.isEmpty() || text == kError)
        m_edit.SetText(QStringLiteral("0"));
}

double TCalculatorEngine::Value()
{
    if (m_edit.GetText().isEmpty())
        m_edit.SetText(QStringLiteral("0"));
    return TextValue(m_edit.GetText());
}

void TCalculatorEngine::SetValue(double value) { m_edit.SetText(platform::Format(QStringLiteral("%g"), {value})); }

} // namespace controls::grid::dropdown
