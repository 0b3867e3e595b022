#include "image/ModbusImages.h"

#include "image/ParGenKeys.h"
#include "workspace/Workspace.h"

namespace image {

namespace {

constexpr int32_t kBdtOffset = kModbusBankLength; // 0x19000

// Serial line codes of the Modbus models' editors to bit/s; any other code 9600.
uint32_t modbusBaudRate(int32_t code)
{
    static const uint32_t kRates[8] = {1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};
    return code >= 0 && code < 8 ? kRates[code] : 9600;
}

void startBuild(ImageState& st)
{
    startStandardBuild(st);
    Clear_Modbus_Access(st.access);
}

// The BBMD table closes the images of types 0 and 2 whether or not the function is on.
void writeWithBdt(ImageState& st)
{
    Write_Bank_Modbus(st.bank1, st.objects, st.Desc_Chars_Limit_Flag, st.access, st.Par_Gen);
    st.bank1.setLength(Write_BDT(st.bank1, st.bdt, kBdtOffset));
}

} // namespace

void Read_Par_Gen_Modbus_TCP_Master(ImageState& st)
{
    ParGenStd& p = st.Par_Gen;
    p.Protocol_Code = 0x25;
    p.Option_Word = 0;
    ParGenKeys keys;
    if (!openParGen(keys))
        return;
    readBacnetSide(keys, p, st.Desc_Chars_Limit_Flag, false);
    readAddressKeys(keys, QStringLiteral("Modbus_TCP_Master_"), {{192, 168, 0, 6}}, p.Eth2_IP, p.Eth2_SM, p.Eth2_GAT);
    p.Modbus_TCP_Port = static_cast<uint16_t>(keys.keyInt(QStringLiteral("ModbusTCPM_PORT"), 502));
    p.Modbus_TCP_Port_2 = p.Modbus_TCP_Port;
    p.Modbus_Timeout = static_cast<uint32_t>(keys.keyInt(QStringLiteral("ModbusTCPM_TIMEOUT"), 1000));
    p.Modbus_Cyclic = static_cast<uint32_t>(keys.keyInt(QStringLiteral("ModbusTCPM_CYCLIC"), 100));
}

void Read_Par_Gen_Modbus_Master(ImageState& st)
{
    ParGenStd& p = st.Par_Gen;
    p.Protocol_Code = 0x24;
    p.Option_Word = 0;
    p.Serial_Mode = 0x10;
    ParGenKeys keys;
    if (!openParGen(keys))
        return;
    const int32_t bacnetType = readBacnetSide(keys, p, st.Desc_Chars_Limit_Flag, true);
    // With BACnet/IP the MS/TP line is free and carries the Modbus line's settings as well.
    const bool copyToLine1 = bacnetType == 0;

    p.Serial_Mode = keys.keyText(QStringLiteral("ModbusM_SERIAL")) == QStringLiteral("0") ? 0x11 : 0x10;
    p.Port2_Baud_Rate = modbusBaudRate(keys.keyInt(QStringLiteral("ModbusM_BAUDRATE"), 7));
    if (copyToLine1)
        p.Port1_Baud_Rate = p.Port2_Baud_Rate;
    p.Port2_Parity = static_cast<uint16_t>(keys.keyInt(QStringLiteral("ModbusM_PARITY"), 0));
    if (copyToLine1)
        p.Port1_Parity = p.Port2_Parity;
    const int32_t stopBits = keys.keyInt(QStringLiteral("ModbusM_STOPBITS"), 0);
    p.Port2_Stop_Bits = static_cast<uint32_t>(stopBits == 1 ? 2 : stopBits);
    if (copyToLine1)
        p.Port1_Stop_Bits = p.Port2_Stop_Bits;
    p.Modbus_Timeout = static_cast<uint32_t>(keys.keyInt(QStringLiteral("ModbusM_TIMEOUT"), 1000));
    p.Modbus_Cyclic = static_cast<uint32_t>(keys.keyInt(QStringLiteral("ModbusM_CYCLIC"), 100));
    if (keys.keyFlag(QStringLiteral("ModbusM_Slaves_Present")))
        p.Slaves_Present_Position = keys.keyInt(QStringLiteral("ModbusM_Slaves_Present_Array_Position"), -1);
    else
        p.Slaves_Present_Position = -1;
}

void Read_Par_Gen_Modbus_Slave(ImageState& st)
{
    ParGenStd& p = st.Par_Gen;
    p.Protocol_Code = 0x24;
    p.Option_Word = 0;
    p.Serial_Mode = 0x40;
    ParGenKeys keys;
    if (!openParGen(keys))
        return;
    const int32_t bacnetType = readBacnetSide(keys, p, st.Desc_Chars_Limit_Flag, true);

    p.Serial_Mode = keys.keyText(QStringLiteral("MODBUS_SLAVE_SERIAL")) == QStringLiteral("0") ? 0x41 : 0x40;
    p.Port2_Baud_Rate = modbusBaudRate(keys.keyInt(QStringLiteral("MODBUS_SLAVE_BAUDRATE"), 7));
    p.Port2_Parity = static_cast<uint16_t>(keys.keyInt(QStringLiteral("MODBUS_SLAVE_PARITY"), 0));
    p.Modbus_Slave_ID = static_cast<uint32_t>(keys.keyInt(QStringLiteral("MODBUS_SLAVE_IDDEVICE"), 10));
    if (bacnetType == 0) {
        p.Port1_Baud_Rate = p.Port2_Baud_Rate;
        p.Port1_Parity = p.Port2_Parity;
    }
}

void Read_Par_Gen_Modbus_TCP_Slave(ImageState& st)
{
    ParGenStd& p = st.Par_Gen;
    p.Protocol_Code = 0x64;
    p.Option_Word = 0;
    p.Serial_Mode = 0;
    ParGenKeys keys;
    if (!openParGen(keys))
        return;
    const int32_t bacnetType = readBacnetTypeAndLimit(keys, st.Desc_Chars_Limit_Flag);
    if (bacnetType == 0) {
        readBacnetAddress(keys, p);
        readBacnetIpKeys(keys, p, false);
    } else if (bacnetType == 1) {
        readBacnetMstpKeys(keys, p);
    }
    // With BACnet MS/TP the Modbus TCP side is the only Ethernet interface: its address goes
    // into the main block; otherwise into the second one.
    const QString prefix = QStringLiteral("Modbus_TCP_Slave_");
    const AddressDefaults defaults{{192, 168, 0, 5}};
    if (bacnetType == 1)
        readAddressKeys(keys, prefix, defaults, p.BACnet_IP, p.BACnet_SM, p.BACnet_GAT);
    else
        readAddressKeys(keys, prefix, defaults, p.Eth2_IP, p.Eth2_SM, p.Eth2_GAT);
    p.Modbus_TCP_Port = static_cast<uint16_t>(keys.keyInt(QStringLiteral("ModbusTCPS_PORT"), 502));
    p.Modbus_TCP_Port_2 = p.Modbus_TCP_Port;
}

void Build_Bin_Modbus_TCP_Master(ImageState& st)
{
    startBuild(st);
    Read_Par_Gen_Modbus_TCP_Master(st);
    loadProjectObjects(st);
    Load_Modbus_TCP_Access(st.access, st.Par_Gen, workspace::ws().Path_ModbusTCPM_SetAccess);
    Write_Bank_Modbus(st.bank1, st.objects, st.Desc_Chars_Limit_Flag, st.access, st.Par_Gen);
}

void Build_Bin_Modbus_Master(ImageState& st)
{
    startBuild(st);
    Clear_BDT(st.bdt);
    Read_Par_Gen_Modbus_Master(st);
    loadProjectObjects(st);
    Load_Modbus_Access(st.access, st.Par_Gen, workspace::ws().Path_ModbusM_SetAccess);
    loadProjectBdt(st, kBdtAddressAt0x19000);
    writeWithBdt(st);
}

void Build_Bin_Modbus_Slave(ImageState& st)
{
    startBuild(st);
    Clear_BDT(st.bdt);
    Read_Par_Gen_Modbus_Slave(st);
    loadProjectObjects(st);
    loadProjectBdt(st, kBdtAddressAt0x19000);
    writeWithBdt(st);
}

void Build_Bin_Modbus_TCP_Slave(ImageState& st)
{
    startBuild(st);
    Read_Par_Gen_Modbus_TCP_Slave(st);
    loadProjectObjects(st);
    Write_Bank_Modbus(st.bank1, st.objects, st.Desc_Chars_Limit_Flag, st.access, st.Par_Gen);
}

} // namespace image
