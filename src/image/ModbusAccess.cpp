#include "image/ModbusAccess.h"

#include "image/TableFile.h"
#include "platform/fs/Files.h"
#include "platform/text/Text.h"
#include "platform/text/UserError.h"

#include <memory>

namespace image {

namespace {

const char* const kOperations[] = {"NONE",   ": 10",   ": 100",  ": 1000",  ": 10000",
                                   "X 10",   "X 100",  "X 1000", "X 10000", ": 256",
                                   "X 256",  ": 0.08", "X 0.08", ": 0.008", "X 0.008"};

// The slave's address: four whole numbers 0..255 between the first three dots. Anything else
// stops the build: a wrong address would send the gateway's requests to another device.
uint32_t slaveAddress(const TableRow& r)
{
    const QString attr = QStringLiteral("IP_Address");
    const std::optional<QString> text = r.text(attr);
    if (!text)
        throw platform::UserError(r.errorText(attr, QStringLiteral("is missing.")));
    QString rest = *text;
    uint8_t parts[4] = {0, 0, 0, 0};
    for (int i = 0; i < 4; ++i) {
        QString part;
        if (i == 3) {
            part = rest;
        } else {
            const qsizetype dot = rest.indexOf(QLatin1Char('.'));
            if (dot < 0)
                throw platform::UserError(
                    r.errorText(attr, QStringLiteral("must be an IPv4 address, not \"%1\".").arg(*text)));
            part = rest.left(dot);
            rest = rest.mid(dot + 1);
        }
        const std::optional<int32_t> v = platform::toInt(platform::trim(part));
        if (!v || *v < 0 || *v > 255)
            throw platform::UserError(
                r.errorText(attr, QStringLiteral("must be an IPv4 address, not \"%1\".").arg(*text)));
        parts[i] = static_cast<uint8_t>(*v);
    }
    return ipNumber(parts[0], parts[1], parts[2], parts[3]);
}

uint8_t readFunctionCode(const QString& type)
{
    const QString t = platform::upperAscii(type);
    if (t == QLatin1String("COIL STATUS"))
        return 1;
    if (t == QLatin1String("INPUT STATUS"))
        return 2;
    if (t == QLatin1String("HOLDING REGISTER"))
        return 3;
    if (t == QLatin1String("INPUT REGISTER"))
        return 4;
    return 0;
}

uint8_t writeFunctionCode(const QString& type, uint16_t nPoint)
{
    const QString t = platform::upperAscii(type);
    if (t == QLatin1String("COIL STATUS"))
        return nPoint == 1 ? 5 : 15;
    if (t == QLatin1String("HOLDING REGISTER"))
        return nPoint == 1 ? 6 : 16;
    return 0;
}

void readAddressAndPort(ModbusAccessRecord& rec, const TableRow& r, ModbusMaster master)
{
    if (master == ModbusMaster::Tcp) {
        rec.IP_Address = slaveAddress(r);
        rec.Port = static_cast<uint16_t>(r.intOr(QStringLiteral("Port"), 502));
    } else {
        rec.IP_Address = 0;
        rec.Port = 0;
    }
}

// Float conversion, signed values and word swap, the same for read and write rows.
void readConversion(ModbusAccessRecord& rec, const TableRow& r, ModbusMaster master)
{
    rec.Conversion_Flags = 0;
    if (r.yes(QStringLiteral("Float_Conv"))) {
        rec.Conversion_Flags |= 2;
        rec.Operation = modbusOperationCode(r.textOr(QStringLiteral("Operation"), QString()), master);
        if (r.is(QStringLiteral("Endian"), QStringLiteral("LITTLE")))
            rec.Conversion_Flags |= 1;
    }
    if (r.yes(QStringLiteral("Signed")))
        rec.Conversion_Flags |= 4;
    if (r.yes(QStringLiteral("Swap_W")))
        rec.Access_Flags |= 8;
}

ModbusAccessRecord readRow(const TableRow& r, ModbusMaster master)
{
    ModbusAccessRecord rec;
    readAddressAndPort(rec, r, master);
    rec.Slave_ID = static_cast<uint8_t>(r.requiredInt(QStringLiteral("Slave_ID")));
    rec.Function_Code = readFunctionCode(r.textOr(QStringLiteral("Type"), QString()));
    rec.NPoint = static_cast<uint16_t>(r.requiredInt(QStringLiteral("NPoint")));
    if (rec.Function_Code == 1 || rec.Function_Code == 2)
        rec.Byte_Count = static_cast<uint8_t>((rec.NPoint + 7) / 8);
    else
        rec.Byte_Count = static_cast<uint8_t>((rec.NPoint & 0xFF) * 2);
    rec.Address = static_cast<uint16_t>(r.requiredInt(QStringLiteral("Address")));
    rec.PollTime = static_cast<uint32_t>(r.requiredInt64(QStringLiteral("PollTime")));
    rec.MaxError = static_cast<uint32_t>(r.requiredInt64(QStringLiteral("MaxError")));
    rec.Position = static_cast<uint16_t>(r.requiredInt(QStringLiteral("Position")));
    rec.Bit = static_cast<uint16_t>(r.requiredInt(QStringLiteral("Bit")));
    readConversion(rec, r, master);
    return rec;
}

ModbusAccessRecord writeRow(const TableRow& r, ModbusMaster master)
{
    ModbusAccessRecord rec;
    readAddressAndPort(rec, r, master);
    rec.Slave_ID = static_cast<uint8_t>(r.requiredInt(QStringLiteral("Slave_ID")));
    rec.NPoint = static_cast<uint16_t>(r.requiredInt(QStringLiteral("NPoint")));
    rec.Function_Code = writeFunctionCode(r.textOr(QStringLiteral("Type"), QString()), rec.NPoint);
    rec.Address = static_cast<uint16_t>(r.requiredInt(QStringLiteral("Address")));
    rec.PollTime = static_cast<uint32_t>(r.requiredInt64(QStringLiteral("PollTime")));
    rec.MaxError = static_cast<uint32_t>(r.requiredInt64(QStringLiteral("MaxError")));
    rec.Access_Flags = r.yes(QStringLiteral("OnChange")) ? 1 : 0;
    rec.Position = static_cast<uint16_t>(r.requiredInt(QStringLiteral("Position")));
    rec.Bit = static_cast<uint16_t>(r.requiredInt(QStringLiteral("Bit")));
    readConversion(rec, r, master);
    if (master == ModbusMaster::Rtu && r.yes(QStringLiteral("Force_F16"))) {
        if (rec.Function_Code == 5)
            rec.Function_Code = 15;
        else if (rec.Function_Code == 6)
            rec.Function_Code = 16;
    }
    return rec;
}

} // namespace

uint8_t modbusOperationCode(const QString& operation, ModbusMaster master)
{
    const QString op = platform::upperAscii(operation);
    const int known = master == ModbusMaster::Rtu ? 15 : 9;
    for (int code = 0; code < known; ++code)
        if (op == QLatin1String(kOperations[code]))
            return static_cast<uint8_t>(code);
    return 0;
}

void Clear_Modbus_Access(ModbusAccessTable& t) { t.fill(ModbusAccessRecord{}); }

void loadModbusAccess(ModbusAccessTable& t, ParGenStd& p, const QString& path, ModbusMaster master)
{
    p.Modbus_Access_Count = 0;
    if (!platform::fileExists(path))
        return;
    const TableFile file(path);
    const std::vector<TableRow> readRows = file.section(QStringLiteral("Modbus_Read"));
    const std::vector<TableRow> writeRows = file.section(QStringLiteral("Modbus_Write"));
    const size_t total = readRows.size() + writeRows.size();
    if (total > static_cast<size_t>(kModbusAccessRecords))
        throw platform::UserError(
            QStringLiteral("The file %1 holds %2 Modbus requests; the Modbus access table of the image has room "
                           "for %3.")
                .arg(file.fileName())
                .arg(total)
                .arg(kModbusAccessRecords));

    auto filled = std::make_unique<ModbusAccessTable>();
    size_t next = 0;
    for (const TableRow& r : readRows)
        (*filled)[next++] = readRow(r, master);
    for (const TableRow& r : writeRows)
        (*filled)[next++] = writeRow(r, master);
    t = *filled;
    p.Modbus_Access_Count = static_cast<uint32_t>(total);
}

void Load_Modbus_Access(ModbusAccessTable& t, ParGenStd& p, const QString& path)
{
    loadModbusAccess(t, p, path, ModbusMaster::Rtu);
}

void Load_Modbus_TCP_Access(ModbusAccessTable& t, ParGenStd& p, const QString& path)
{
    loadModbusAccess(t, p, path, ModbusMaster::Tcp);
}

int32_t Write_Modbus_Access(BankBuffer& bank, const ModbusAccessTable& t, int32_t offset)
{
    BankWriter w(bank, offset);
    for (const ModbusAccessRecord& r : t) {
        w.u16(r.Position).u16(r.Bit).u32(r.PollTime).u8(r.Slave_ID).u8(r.Function_Code);
        w.u16(r.Address).u16(r.NPoint).u16(r.Port).u32(r.IP_Address).u32(0).u32(r.MaxError);
        w.u8(r.Operation).u8(r.Conversion_Flags).u8(r.Byte_Count).u8(r.Access_Flags);
    }
    return w.offset();
}

void Write_Bank_Modbus(BankBuffer& bank1, const BacnetObjectTable& objects, uint8_t descCharsLimitFlag,
                       const ModbusAccessTable& access, const ParGenStd& p)
{
    bank1.setLength(0);
    int32_t offset = Write_BACnet_Objects(bank1, objects, descCharsLimitFlag, 0);
    offset = Write_Modbus_Access(bank1, access, offset);
    offset = Write_Par_Gen(bank1, p, offset);
    bank1.setLength(offset);
}

} // namespace image
