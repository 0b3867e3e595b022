#include "workspace/Validators.h"

#include "platform/serial/SerialPorts.h"
#include "platform/text/Text.h"
#include "workspace/Workspace.h"

#include <array>
#include <utility>

namespace workspace {

namespace {

int partValue(const QString& part) { return platform::toIntDef(platform::trim(part), -1); }

bool inRange(int v, int lo, int hi) { return v >= lo && v <= hi; }

template <size_t N>
int lookup(const QString& key, const std::array<std::pair<const char*, int>, N>& table, int other)
{
    for (const auto& [name, code] : table)
        if (key == QLatin1String(name))
            return code;
    return other;
}

QString normalized(const QString& text) { return platform::upperAscii(platform::trim(text)); }

constexpr std::array<int, kObjCounterCount> kCountedObjectTypes = {0, 1, 2, 3, 4, 5, 13, 14, 19,
                                                                   23, 40, 44, 45, 46, 48};

int counterSlot(int objectType)
{
    for (size_t i = 0; i < kCountedObjectTypes.size(); ++i)
        if (kCountedObjectTypes[i] == objectType)
            return int(i);
    return -1;
}

} // namespace

int Get_XML_Code_Dev()
{
    switch (ws().Converter_Type) {
    case 1: return 6;
    case 21: return 12;
    default: return 0;
    }
}

int Get_Form_Type() { return ws().Converter_Type == 21 ? 1 : 0; }

int APCI_Code(const QString& text)
{
    const QString u = platform::upperAscii(text);
    if (u == QLatin1String("WRITE"))
        return 128;
    if (u == QLatin1String("READ"))
        return 0;
    return platform::toIntDef(text, 0);
}

int KNX_Priority_Code(const QString& text)
{
    static constexpr std::array<std::pair<const char*, int>, 4> kTable{
        {{"SYSTEM", 0}, {"NORMAL", 1}, {"URGENT", 2}, {"LOW", 3}}};
    return lookup(platform::upperAscii(text), kTable, 2);
}

int Conversion_Code(const QString& text)
{
    static constexpr std::array<std::pair<const char*, int>, 10> kTable{{
        {"NONE", 0x0000},
        {"SWAP16", 0x1000},
        {"SWAP32", 0x2000},
        {"SWAP ALL", 0x3000},
        {"INT TO FLOAT", 0x4000},
        {"FLOAT TO INT", 0x5000},
        {"FLOAT16 TO FLOAT32", 0x6000},
        {"FLOAT16 TO INT", 0x7000},
        {"FLOAT16 TO INT * 10", 0x8000},
        {"FLOAT16 TO INT * 100", 0x9000},
    }};
    return lookup(platform::upperAscii(text), kTable, 0);
}

bool Is_KNX_Group_Address(const QString& text) { return !text.contains(QLatin1Char('.')); }

int Check_KNX_Address(const QString& text, bool group, bool allowZero)
{
    const QChar forbidden = group ? QLatin1Char('.') : QLatin1Char('/');
    const QChar separator = group ? QLatin1Char('/') : QLatin1Char('.');
    if (text.contains(forbidden))
        return 1;
    const QStringList parts = text.split(separator);
    bool valid = false;
    if (parts.size() == 1) {
        valid = inRange(partValue(parts[0]), 1, 65535);
    } else if (group && parts.size() == 2) {
        const int main = partValue(parts[0]), sub = partValue(parts[1]);
        valid = inRange(main, 0, 31) && inRange(sub, 0, 2047) && (main != 0 || sub != 0);
    } else if (parts.size() == 3) {
        const int a = partValue(parts[0]), b = partValue(parts[1]), c = partValue(parts[2]);
        const bool allZero = a == 0 && b == 0 && c == 0;
        if (group)
            valid = inRange(a, 0, 31) && inRange(b, 0, 7) && inRange(c, 0, 255) && !allZero;
        else
            valid = inRange(a, 0, 15) && inRange(b, 0, 15) && inRange(c, 0, 255) && (allowZero || !allZero);
    }
    return valid ? 0 : 1;
}

bool IP_Text_To_Bytes(std::string_view text, uint8_t& b1, uint8_t& b2, uint8_t& b3, uint8_t& b4)
{
    if (text.empty())
        return true;
    uint8_t* bytes[4] = {&b1, &b2, &b3, &b4};
    bool bad = false;
    std::string_view rest = text;
    for (int i = 0; i < 4; ++i) {
        const size_t dot = rest.find('.');
        const std::string_view part = i < 3 ? (dot == std::string_view::npos ? std::string_view() : rest.substr(0, dot))
                                            : rest;
        const int v = platform::toInt(part).value_or(-1);
        if (inRange(v, 0, 255)) {
            *bytes[i] = uint8_t(v);
        } else {
            *bytes[i] = 0;
            bad = true;
        }
        if (dot != std::string_view::npos)
            rest = rest.substr(dot + 1);
    }
    return bad;
}

bool IP_Text_To_Bytes(const QString& text, uint8_t& b1, uint8_t& b2, uint8_t& b3, uint8_t& b4)
{
    const QByteArray utf8 = text.toUtf8();
    return IP_Text_To_Bytes(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())), b1, b2, b3, b4);
}

int Check_SNMP_OID(const QString& text)
{
    if (text.size() > 62)
        return 1;
    if (text.isEmpty())
        return 2;
    for (QChar c : text)
        if (!(c.unicode() >= u'0' && c.unicode() <= u'9') && c != QLatin1Char('.'))
            return 2;
    if (text.startsWith(QLatin1Char('.')))
        return 3;
    if (text.endsWith(QLatin1Char('.')))
        return 4;
    if (text.contains(QLatin1String("..")))
        return 5;
    for (const QString& arc : text.split(QLatin1Char('.'))) {
        // Digits only by now; an arc too long for any integer type is above 65535 all the same.
        qsizetype first = 0;
        while (first < arc.size() - 1 && arc[first] == QLatin1Char('0'))
            ++first;
        const QString digits = arc.mid(first);
        if (digits.size() > 5 || digits.toInt() > 65535)
            return 6;
    }
    return 0;
}

int Check_SNMPv3_Text(const QString& text, bool user)
{
    if (text.size() > 15)
        return 1;
    if (text.size() < (user ? 1 : 8))
        return 2;
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (!((u >= u'0' && u <= u'9') || (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z')))
            return 3;
    }
    return 0;
}

int SNMPv3_Level_Index(const QString& text)
{
    static constexpr std::array<std::pair<const char*, int>, 2> kTable{{{"AUTH NOPRIV", 1}, {"AUTH PRIV", 2}}};
    return lookup(normalized(text), kTable, 0);
}

int SNMPv3_Auth_Index(const QString& text) { return normalized(text) == QLatin1String("SHA") ? 1 : 0; }

int SNMPv3_Priv_Index(const QString& text) { return normalized(text) == QLatin1String("AES") ? 1 : 0; }

int SNMPv3_Level_Code(const QString& text)
{
    static constexpr std::array<std::pair<const char*, int>, 3> kTable{
        {{"AUTH NOPRIV", 1}, {"AUTH PRIV", 3}, {"", -1}}};
    return lookup(normalized(text), kTable, 0);
}

int SNMPv3_Auth_Code(const QString& text)
{
    static constexpr std::array<std::pair<const char*, int>, 2> kTable{{{"MD5", 1}, {"SHA", 2}}};
    return lookup(normalized(text), kTable, 0);
}

int SNMPv3_Priv_Code(const QString& text)
{
    static constexpr std::array<std::pair<const char*, int>, 2> kTable{{{"DES", 1}, {"AES", 2}}};
    return lookup(normalized(text), kTable, 0);
}

QStringList List_COM_Ports() { return platform::listSerialPorts(); }

void Reset_Obj_Counters() { ws().Obj_Counters.fill(0); }

void Inc_Obj_Counter(int objectType)
{
    const int slot = counterSlot(objectType);
    if (slot < 0)
        return;
    int32_t& c = ws().Obj_Counters[size_t(slot)];
    c = int32_t(uint32_t(c) + 1u); // a 32-bit counter wraps rather than overflowing
}

int32_t Get_Obj_Counter(int objectType)
{
    const int slot = counterSlot(objectType);
    return slot < 0 ? 0 : ws().Obj_Counters[size_t(slot)];
}

} // namespace workspace
