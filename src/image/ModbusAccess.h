#pragma once
// The Modbus access table of the Modbus master images: 1024 records of 32 bytes, one per
// request the gateway makes, filled from ModbusM_SetAccess.xml (RTU master) or
// ModbusTCPM_SetAccess.xml (TCP master); and the bank1 layout the four Modbus models share.
#include "image/BacnetObjects.h"
#include "image/Bank.h"
#include "image/ParGenRecord.h"

#include <QString>
#include <array>
#include <cstdint>
#include <string_view>

namespace image {

constexpr int kModbusAccessRecords = 1024;
constexpr int32_t kModbusAccessRecordSize = 32;
constexpr int32_t kModbusAccessOffset = 0x10800;
constexpr int32_t kModbusParGenOffset = 0x18800;
constexpr int32_t kModbusBankLength = 0x19000; // 102,400

struct ModbusAccessRecord {
    uint16_t Position = 0;
    uint16_t Bit = 0;
    uint32_t PollTime = 0;
    uint8_t Slave_ID = 0;
    uint8_t Function_Code = 0;
    uint16_t Address = 0;
    uint16_t NPoint = 0;
    uint16_t Port = 0;
    uint32_t IP_Address = 0; // first part in the most significant byte
    uint32_t MaxError = 0;
    uint8_t Operation = 0;
    uint8_t Conversion_Flags = 0; // bit 0 little endian, bit 1 float conversion, bit 2 signed
    uint8_t Byte_Count = 0;       // read records only
    uint8_t Access_Flags = 0;     // bit 0 write on change, bit 3 swap words
};

using ModbusAccessTable = std::array<ModbusAccessRecord, kModbusAccessRecords>;

enum class ModbusMaster { Rtu, Tcp };

// Scaling code of an "Operation" text (upper case); the TCP master knows codes 0..8 only.
// Any other text gives 0.
uint8_t modbusOperationCode(const QString& operation, ModbusMaster master);
uint8_t modbusOperationCode(std::string_view operation, ModbusMaster master);

void Clear_Modbus_Access(ModbusAccessTable& t);
// Fill the table from the access table file (read rows, then write rows) and set
// `Modbus_Access_Count` to the records filled (0 without a file). Throw platform::UserError
// naming file, row and attribute when a number or a slave address is not valid, a section is
// missing, or the rows do not fit the table (which is then left as it was).
void Load_Modbus_Access(ModbusAccessTable& t, ParGenStd& p, const QString& path);
void Load_Modbus_TCP_Access(ModbusAccessTable& t, ParGenStd& p, const QString& path);
void loadModbusAccess(ModbusAccessTable& t, ParGenStd& p, const QString& path, ModbusMaster master);

// Writes the 1024 records at `offset` and returns offset + 32,768.
int32_t Write_Modbus_Access(BankBuffer& bank, const ModbusAccessTable& t, int32_t offset);

// Lays out bank1 from offset 0: object area, the 1024 access records, the parameter record.
// The bank1 length becomes 102,400.
void Write_Bank_Modbus(BankBuffer& bank1, const BacnetObjectTable& objects, uint8_t descCharsLimitFlag,
                       const ModbusAccessTable& access, const ParGenStd& p);

} // namespace image
