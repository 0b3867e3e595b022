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
uint32_t slaveAddress(const RowValues& r)
{
    const char* attr = "IP_Address";
    const std::string_view text = r.requiredRaw(attr);
    auto bad = [&] {
        return platform::UserError(r.errorText(
            attr, QStringLiteral("must be an IPv4 address, not \"%1\".")
                      .arg(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())))));
    };
    std::string_view rest = text;
    uint8_t parts[4] = {0, 0, 0, 0};
    for (int i = 0; i < 4; ++i) {
        std::string_view part = rest;
        if (i < 3) {
            const size_t dot = rest.find('.');
            if (dot == std::string_view::npos)
                throw bad();
            part = rest.substr(0, dot);
            rest = rest.substr(dot + 1);
        }
        while (!part.empty() && static_cast<unsigned char>(part.front()) <= ' ')
            part.remove_prefix(1);
        while (!part.empty() && static_cast<unsigned char>(part.back()) <= ' ')
            part.remove_suffix(1);
        const std::optional<int32_t> v = platform::toInt(part);
        if (!v || *v < 0 || *v > 255)
            throw bad();
        parts[i] = static_cast<uint8_t>(*v);
    }
    return ipNumber(parts[0], parts[1], parts[2], parts[3]);
}

uint8_t readFunctionCode(std::string_view type)
{
    if (equalsUpperAscii(type, "COIL STATUS"))
        return 1;
    if (equalsUpperAscii(type, "INPUT STATUS"))
        return 2;
    if (equalsUpperAscii(type, "HOLDING REGISTER"))
        return 3;
    if (equalsUpperAscii(type, "INPUT REGISTER"))
        return 4;
    return 0;
}

uint8_t writeFunctionCode(std::string_view type, uint16_t nPoint)
{
    if (equalsUpperAscii(type, "COIL STATUS"))
        return nPoint == 1 ? 5 : 15;
    if (equalsUpperAscii(type, "HOLDING REGISTER"))
        return nPoint == 1 ? 6 : 16;
    return 0;
}

void readAddressAndPort(ModbusAccessRecord& rec, const RowValues& r, ModbusMaster master)
{
    if (master == ModbusMaster::Tcp) {
        rec.IP_Address = slaveAddress(r);
        rec.Port = static_cast<uint16_t>(r.intOr("Port", 502));
    } else {
        rec.IP_Address = 0;
        rec.Port = 0;
    }
}

// Float conversion, signed values and word swap, the same for read and write rows.
void readConversion(ModbusAccessRecord& rec, const RowValues& r, ModbusMaster master)
{
    rec.Conversion_Flags = 0;
    if (r.yes("Float_Conv")) {
        rec.Conversion_Flags |= 2;
        if (r.is("Endian", "LITTLE"))
            rec.Conversion_Flags |= 1;
        rec.Operation = modbusOperationCode(r.rawOr("Operation", {}), master);
    }
    if (r.yes("Signed"))
        rec.Conversion_Flags |= 4;
    if (r.yes("Swap_W"))
        rec.Access_Flags |= 8;
}

// The attributes are read in the gateway loader's order, so that a row with several bad values
// reports the same one first: the point count before the address.
ModbusAccessRecord readRow(const TableRow& row, ModbusMaster master)
{
    const RowValues r(row);
    ModbusAccessRecord rec;
    readAddressAndPort(rec, r, master);
    rec.Slave_ID = static_cast<uint8_t>(r.requiredInt("Slave_ID"));
    rec.Function_Code = readFunctionCode(r.rawOr("Type", {}));
    rec.NPoint = static_cast<uint16_t>(r.requiredInt("NPoint"));
    if (rec.Function_Code == 1 || rec.Function_Code == 2)
        rec.Byte_Count = static_cast<uint8_t>((rec.NPoint + 7) / 8);
    else
        rec.Byte_Count = static_cast<uint8_t>((rec.NPoint & 0xFF) * 2);
    rec.Address = static_cast<uint16_t>(r.requiredInt("Address"));
    rec.PollTime = static_cast<uint32_t>(r.requiredInt64("PollTime"));
    rec.MaxError = static_cast<uint32_t>(r.requiredInt64("MaxError"));
    rec.Position = static_cast<uint16_t>(r.requiredInt("Position"));
    rec.Bit = static_cast<uint16_t>(r.requiredInt("Bit"));
    readConversion(rec, r, master);
    return rec;
}

ModbusAccessRecord writeRow(const TableRow& row, ModbusMaster master)
{
    const RowValues r(row);
    ModbusAccessRecord rec;
    readAddressAndPort(rec, r, master);
    rec.Slave_ID = static_cast<uint8_t>(r.requiredInt("Slave_ID"));
    rec.NPoint = static_cast<uint16_t>(r.requiredInt("NPoint"));
    rec.Function_Code = writeFunctionCode(r.rawOr("Type", {}), rec.NPoint);
    rec.Address = static_cast<uint16_t>(r.requiredInt("Address"));
    rec.PollTime = static_cast<uint32_t>(r.requiredInt64("PollTime"));
    rec.Access_Flags = r.yes("OnChange") ? 1 : 0;
    rec.MaxError = static_cast<uint32_t>(r.requiredInt64("MaxError"));
    rec.Position = static_cast<uint16_t>(r.requiredInt("Position"));
    rec.Bit = static_cast<uint16_t>(r.requiredInt("Bit"));
    readConversion(rec, r, master);
    if (master == ModbusMaster::Rtu && r.yes("Force_F16")) {
        if (rec.Function_Code == 5)
            rec.Function_Code = 15;
        else if (rec.Function_Code == 6)
            rec.Function_Code = 16;
    }
    return rec;
}

} // namespace

uint8_t modbusOperationCode(std::string_view operation, ModbusMaster master)
{
    const int known = master == ModbusMaster::Rtu ? 15 : 9;
    for (int code = 0; code < known; ++code)
        if (equalsUpperAscii(operation, kOperations[code]))
            return static_cast<uint8_t>(code);
    return 0;
}

uint8_t modbusOperationCode(const QString& operation, ModbusMaster master)
{
    const QByteArray utf8 = operation.toUtf8();
    return modbusOperationCode(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())), master);
}

void Clear_Modbus_Access(ModbusAccessTable& t) { t.fill(ModbusAccessRecord{}); }

void loadModbusAccess(ModbusAccessTable& t, ParGenStd& p, const QString& path, ModbusMaster master)
{
    p.Modbus_Access_Count = 0;
    if (!platform::fileExists(path))
        return;
    const TableFile file(path);
    const std::vector<TableRow> readRows = file.section("Modbus_Read");
    const std::vector<TableRow> writeRows = file.section("Modbus_Write");
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
