#include "mbus/scan/window/ScanDecodeTexts.h"

#include "parameters/ParGenFile.h"
#include "platform/net/Udp.h"
#include "platform/text/Text.h"

#include <QLocale>

namespace mbus::scan {

namespace {

QString hex(uint32_t value, int digits) { return QStringLiteral("%1").arg(value, digits, 16, QLatin1Char('0')).toUpper(); }

QString decimalAndHex(uint8_t value) { return QStringLiteral("%1 (%2)").arg(value).arg(hex(value, 2)); }

} // namespace

QString meterCaption(const TSlave_MBus& m)
{
    return QStringLiteral("Primary Address = %1 - Secondary Address = %2 - Manufacturer = %3(%4) - Version = %5 - "
                          "Type = %6")
        .arg(m.Primary_Addresss)
        .arg(m.Secondary_Addresss, m.descManufacture)
        .arg(m.Manufacture)
        .arg(m.Version)
        .arg(m.Medium);
}

QString recordCaption(const TVariable_MBus& r)
{
    return QStringLiteral("Value = %1 - Type = %2 (U%3S%4T%5)")
        .arg(r.ValueStr, r.Desc_Type_Data)
        .arg(r.device)
        .arg(r.storage_number)
        .arg(r.tarif);
}

QString recordLine(const TVariable_MBus& r, int line)
{
    switch (line) {
    case 0: return QStringLiteral("Storage Number = %1").arg(r.storage_number);
    case 1: return QStringLiteral("Tariff = %1").arg(r.tarif);
    case 2: return QStringLiteral("Unit = %1").arg(r.device);
    case 3: return QStringLiteral("Data Field = ") + r.DataFieldStr;
    case 4: return QStringLiteral("Function Field = ") + r.FunctionFieldStr;
    case 5: return QStringLiteral("Type = ") + r.Desc_Type_Data;
    case 6: return QStringLiteral("Value = ") + r.ValueStr;
    case 7: return QStringLiteral("DIF = ") + r.DIF;
    case 8: return QStringLiteral("VIF = $") + hex(r.VIF, 2);
    case 9: return QStringLiteral("DIFE = ") + r.DIFE;
    case 10: return QStringLiteral("VIFE = ") + r.VIFE;
    case 11: return QStringLiteral("DATA = $") + r.totdati;
    default: return QString();
    }
}

QString wirelessMeterCaption(const TSlave_wMBus& m)
{
    QString s = QStringLiteral("Manufacturer = %1 - Address = %2 - Version = %3 - Device Type = %4 - ")
                    .arg(m.ALA_Manu_str, hex(m.ALA_Address, 8))
                    .arg(m.ALA_Version)
                    .arg(m.ALA_DeviceType);
    if (m.Cripted)
        s += QStringLiteral("CRIPTED!!");
    return s;
}

QString wirelessRecordCaption(const TVariable_MBus& r)
{
    return r.Real_Wireless_Var ? recordCaption(r) : QStringLiteral("Idle Filler");
}

QStringList wirelessHeaders()
{
    return {QStringLiteral("N"),
            QStringLiteral("Date Time"),
            QStringLiteral("Message Type"),
            QStringLiteral("Manufacturer (LLA)"),
            QStringLiteral("Address (LLA)"),
            QStringLiteral("Version (LLA)"),
            QStringLiteral("Device Type (LLA)"),
            QStringLiteral("Manufacturer (ALA)"),
            QStringLiteral("Address (ALA)"),
            QStringLiteral("Version (ALA)"),
            QStringLiteral("Device Type (ALA)"),
            QStringLiteral("RSSI"),
            QStringLiteral("Cripted")};
}

std::array<int, kWirelessColumns> wirelessWidths() { return {40, 65, 90, 120, 90, 85, 110, 120, 90, 85, 110, 50, 70}; }

QStringList wirelessRowCells(int index, const TSlave_wMBus& m)
{
    return {QString::number(index + 1),
            QLocale::system().toString(m.DateTime, QLocale::ShortFormat),
            QStringLiteral("0x") + hex(m.Message_Type, 2),
            QStringLiteral("%1(%2)").arg(m.LLA_Manu_str, hex(m.LLA_Manufacturer, 4)),
            hex(m.LLA_Address, 8),
            decimalAndHex(m.LLA_Version),
            decimalAndHex(m.LLA_DeviceType),
            QStringLiteral("%1(%2)").arg(m.ALA_Manu_str, hex(m.ALA_Manufacturer, 4)),
            hex(m.ALA_Address, 8),
            decimalAndHex(m.ALA_Version),
            decimalAndHex(m.ALA_DeviceType),
            QString::number(m.RSSI),
            QString()};
}

platform::Color wirelessRowColour(bool cripted)
{
    return cripted ? platform::rgb(0xFF, 0xBB, 0xB9) : platform::rgb(0xA8, 0xFF, 0xA8);
}

std::optional<QString> progressLine(int Event, int Value, int Found, int Kind, QString (*texts)(int))
{
    switch (Event) {
    case 1:
        if (Kind != 1)
            return texts(1327);
        return std::nullopt;
    case 2:
        if (Kind == 1) {
            QString s = QStringLiteral("ID = %1\t").arg(Value);
            if (Found == 0)
                s += QLatin1String(kNotFound);
            return s;
        }
        return QStringLiteral("ID = ") + hex(static_cast<uint32_t>(Value), 8);
    case 3:
        if (Kind != 1)
            return texts(1328);
        return std::nullopt;
    default:
        return std::nullopt;
    }
}

ProgressLook progressLook(const QString& line)
{
    ProgressLook look;
    if (!line.contains(QLatin1String(kNotFound))) {
        look.first = line;
        return look;
    }
    look.notFound = true;
    const qsizetype bracket = line.indexOf(QLatin1Char('['));
    look.first = line.left(bracket).trimmed();
    look.rest = line.mid(bracket).trimmed();
    return look;
}

std::array<QString, 4> gatewayAddressKeys(int code)
{
    QString stem;
    bool underscore = false;
    switch (code) {
    case 15: stem = QStringLiteral("Modbus_TCP_Slave_IP"); break;
    case 11: case 17: case 20: stem = QStringLiteral("PROFINET_IP"); break;
    case 6: stem = QStringLiteral("BACnet_IP"); break;
    case 10: case 16: case 19: stem = QStringLiteral("Eth_IP"); break;
    case 18: stem = QStringLiteral("Ethernet_IP"); break;
    default:
        stem = QStringLiteral("IP");
        underscore = true;
        break;
    }
    std::array<QString, 4> keys;
    for (int i = 0; i < 4; ++i)
        keys[static_cast<size_t>(i)] = stem + (underscore ? QStringLiteral("_") : QString()) + QString::number(i + 1);
    return keys;
}

std::array<std::optional<QString>, 4> readGatewayAddress(const QString& parGenPath, int code)
{
    std::array<std::optional<QString>, 4> out;
    parameters::ParGenFile file;
    if (file.load(parGenPath) != parameters::ParGenFile::Status::Loaded)
        return out;
    const std::array<QString, 4> keys = gatewayAddressKeys(code);
    for (size_t i = 0; i < 4; ++i)
        out[i] = file.keyText(keys[i]);
    return out;
}

int wirelessModeCode(int index)
{
    static constexpr int kCodes[] = {1, 5, 15, 17, 11};
    return index >= 0 && index < 5 ? kCodes[index] : 1;
}

bool isGatewayAddress(const QString& address) { return platform::parseIpv4(address).has_value(); }

int numberOr(const QString& text, int def) { return platform::toIntDef(text, def); }

std::optional<int> keyError(const QString& key)
{
    if (key.size() != 32)
        return 1704;
    for (const QChar c : key)
        if (!((c >= QLatin1Char('0') && c <= QLatin1Char('9')) || (c >= QLatin1Char('A') && c <= QLatin1Char('F'))))
            return 1703;
    return std::nullopt;
}

Key128 keyBytes(const QString& key)
{
    auto digit = [](QChar c) -> int {
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            return c.unicode() - '0';
        if (c >= QLatin1Char('A') && c <= QLatin1Char('F'))
            return c.unicode() - 'A' + 10;
        if (c >= QLatin1Char('a') && c <= QLatin1Char('f'))
            return c.unicode() - 'a' + 10;
        return -1;
    };
    Key128 out{};
    for (int i = 0; i < 16 && 2 * i + 1 < key.size(); ++i) {
        const int hi = digit(key[2 * i]);
        const int lo = digit(key[2 * i + 1]);
        out[static_cast<size_t>(i)] = hi >= 0 && lo >= 0 ? static_cast<uint8_t>(hi * 16 + lo) : 0;
    }
    return out;
}

std::optional<int> startRegister(const QString& text)
{
    const int v = platform::toIntDef(text, -1);
    if (v < 1 || v > 65535)
        return std::nullopt;
    return v;
}

std::optional<QString> nodeStartError(const QStringList& addresses, QString (*texts)(int))
{
    for (qsizetype i = 0; i < addresses.size(); ++i) {
        const QString row = QString::number(i + 1);
        if (addresses[i].isEmpty())
            return texts(2208) + row + texts(2209);
        const int v = platform::toIntDef(addresses[i], -1);
        if (v < 1 || v > 59999)
            return texts(2208) + row + texts(2210);
    }
    return std::nullopt;
}

QString shownCaption(const QString& caption)
{
    QString out;
    out.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&') && i + 1 < caption.size())
            ++i;
        out += caption[i];
    }
    return out;
}

} // namespace mbus::scan
