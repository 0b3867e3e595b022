#include "parameters/ParGen.h"

#include <QFileInfo>

#include "platform/text/Text.h"
#include "workspace/Validators.h"
#include "workspace/Workspace.h"

#include <array>
#include <utility>

namespace parameters {

namespace {

bool knownType(int32_t t)
{
    return (t >= 0 && t <= 21 && t != 5) || (t >= 1001 && t <= 1003) || t == 2016;
}

bool isMBusType(int32_t t) { return t == 1 || t == 20 || t == 21 || (t >= 1001 && t <= 1003); }

// Rules of the key groups, in the shape of `KeyDesc::applies`.
bool group1(int32_t, int, bool) { return true; } // every device type, an unknown one included
bool group2(int32_t t, int, bool) { return hasBacnetType(t); }
bool group3(int32_t t, int bt, bool) { return (t == 1 || t == 20) && bt == 2; }
bool group4(int32_t t, int, bool) { return t == 0; }
bool group5(int32_t t, int, bool) { return isMBusType(t); }
bool group6(int32_t t, int, bool) { return t == 2; }
bool group7(int32_t t, int, bool) { return t == 3; }
bool group8(int32_t t, int, bool) { return t == 4 || t == 1003; }
bool group9(int32_t t, int, bool) { return t == 6; }
bool group10(int32_t t, int, bool) { return t == 7; }
bool group11(int32_t t, int, bool) { return t == 8; }
bool group12(int32_t t, int, bool) { return t == 9 || t == 1002; }
bool group13(int32_t t, int, bool) { return t == 10; }
bool group14(int32_t t, int, bool) { return t == 11; }
bool group15(int32_t t, int, bool) { return t == 12; }
bool group16(int32_t t, int, bool) { return t == 13; }
bool group17(int32_t t, int, bool) { return t == 14; }
bool group18(int32_t t, int, bool) { return t == 15; }
bool group19(int32_t t, int, bool) { return t == 16 || t == 2016; }
bool group20(int32_t t, int, bool) { return t == 17; }
bool group21(int32_t t, int, bool) { return t == 18; }
bool group22(int32_t t, int, bool) { return t == 19; }

// The description limit sits after the BACnet/IP keys while BACnet/IP is in use (or the type
// offers no choice), after the MS/TP keys otherwise; a reader takes the first element anyway,
// so it is read once, for every device type but 1001.
bool descLimitIp(int32_t t, int bt, bool reading)
{
    if (t == 1001)
        return false;
    return reading || !hasBacnetType(t) || bt == 0;
}
bool descLimitMstp(int32_t t, int bt, bool reading)
{
    return !reading && hasBacnetType(t) && (bt == 1 || bt == 2);
}
bool notType1001(int32_t t, int, bool) { return isMBusType(t) && t != 1001; }
bool type21(int32_t t, int, bool) { return t == 21; }
bool mbusMaster(int32_t t, int, bool) { return t >= 1001 && t <= 1003; }
bool type9(int32_t t, int, bool) { return t == 9; }
bool type1002(int32_t t, int, bool) { return t == 1002; }

QStringList bacnetTypeItems(int32_t t)
{
    QStringList l{QStringLiteral("BACnet/IP"), QStringLiteral("BACnet MS/TP")};
    if (t == 1)
        l << QStringLiteral("BACnet MS/TP (NEW B244)");
    return l;
}
QStringList bacnetBaudItems(int32_t t)
{
    if (t == 1)
        return {QStringLiteral("1200"),  QStringLiteral("2400"),  QStringLiteral("4800"),
                QStringLiteral("9600"),  QStringLiteral("19200"), QStringLiteral("38400"),
                QStringLiteral("57600"), QStringLiteral("115200"), QStringLiteral("76800")};
    return {QStringLiteral("9600"),  QStringLiteral("19200"), QStringLiteral("38400"),
            QStringLiteral("57600"), QStringLiteral("76800"), QStringLiteral("115200")};
}
QStringList parityItems(int32_t)
{
    return {QStringLiteral("NONE"), QStringLiteral("ODD"), QStringLiteral("EVEN")};
}
QStringList serialItems(int32_t) { return {QStringLiteral("RS232"), QStringLiteral("RS485")}; }
QStringList modbusBaudItems(int32_t)
{
    return {QStringLiteral("1200"),  QStringLiteral("2400"),  QStringLiteral("4800"),
            QStringLiteral("9600"),  QStringLiteral("19200"), QStringLiteral("38400"),
            QStringLiteral("57600"), QStringLiteral("115200")};
}
QStringList stopBitsItems(int32_t) { return {QStringLiteral("1 Stop Bits"), QStringLiteral("2 Stop Bits")}; }
QStringList mbusBaudItems(int32_t)
{
    return {QStringLiteral("300"),  QStringLiteral("600"),  QStringLiteral("1200"),
            QStringLiteral("2400"), QStringLiteral("4800"), QStringLiteral("9600"),
            QStringLiteral("19200"), QStringLiteral("38400")};
}
QStringList cFieldItems(int32_t) { return {QStringLiteral("0x5X"), QStringLiteral("0x7X")}; }
QStringList wirePresentItems(int32_t) { return {workspace::text(1226), workspace::text(1227)}; }
QStringList wmbusModeItems(int32_t)
{
    return {QStringLiteral("S"), QStringLiteral("T"), QStringLiteral("N1"), QStringLiteral("N2"),
            QStringLiteral("C")};
}
QStringList wmbusChannelItems(int32_t)
{
    return {QStringLiteral("1a @ 4800 bps"), QStringLiteral("1b @ 4800 bps"), QStringLiteral("2a @ 2400 bps"),
            QStringLiteral("2b @ 2400 bps"), QStringLiteral("3a @ 4800 bps"), QStringLiteral("3b @ 4800 bps"),
            QStringLiteral("0 @ 19200 bps"), QStringLiteral("2a @ 4800 bps"), QStringLiteral("2b @ 4800 bps")};
}
QStringList profibusBaudItems(int32_t) { return {QStringLiteral("Auto Baudrate")}; }
QStringList canBaudItems(int32_t)
{
    return {QStringLiteral("10K"),  QStringLiteral("20K"),  QStringLiteral("50K"),  QStringLiteral("62.5K"),
            QStringLiteral("100K"), QStringLiteral("125K"), QStringLiteral("250K"), QStringLiteral("500K"),
            QStringLiteral("800K"), QStringLiteral("1000K"), QStringLiteral("90909")};
}
QStringList canopenBaudItems(int32_t)
{
    return {QStringLiteral("10K"),  QStringLiteral("20K"),  QStringLiteral("50K"),
            QStringLiteral("100K"), QStringLiteral("125K"), QStringLiteral("250K"),
            QStringLiteral("500K"), QStringLiteral("800K"), QStringLiteral("1000K")};
}
QStringList dnetBaudItems(int32_t) { return {QStringLiteral("125K"), QStringLiteral("250K"), QStringLiteral("500K")}; }
QStringList knxTypeItems(int32_t) { return {QStringLiteral("KNX TP"), QStringLiteral("KNXnet/IP")}; }
QStringList snmpLevelItems(int32_t)
{
    return {QStringLiteral("NoAuth NoPriv"), QStringLiteral("Auth NoPriv"), QStringLiteral("Auth Priv")};
}
QStringList snmpAuthItems(int32_t) { return {QStringLiteral("MD5"), QStringLiteral("SHA")}; }
QStringList snmpPrivItems(int32_t) { return {QStringLiteral("DES"), QStringLiteral("AES")}; }
QStringList dmxItems(int32_t) { return {QStringLiteral("IN"), QStringLiteral("OUT")}; }

const std::vector<KeyDesc> kKeys = {
    {"BACnet_IP1", KeyForm::Text, "E_IP1", &ParGen::BACnet_IP1, group1, nullptr},
    {"BACnet_IP2", KeyForm::Text, "E_IP2", &ParGen::BACnet_IP2, group1, nullptr},
    {"BACnet_IP3", KeyForm::Text, "E_IP3", &ParGen::BACnet_IP3, group1, nullptr},
    {"BACnet_IP4", KeyForm::Text, "E_IP4", &ParGen::BACnet_IP4, group1, nullptr},
    {"BACnet_SM1", KeyForm::Text, "E_SM1", &ParGen::BACnet_SM1, group1, nullptr},
    {"BACnet_SM2", KeyForm::Text, "E_SM2", &ParGen::BACnet_SM2, group1, nullptr},
    {"BACnet_SM3", KeyForm::Text, "E_SM3", &ParGen::BACnet_SM3, group1, nullptr},
    {"BACnet_SM4", KeyForm::Text, "E_SM4", &ParGen::BACnet_SM4, group1, nullptr},
    {"BACnet_GAT1", KeyForm::Text, "E_GAT1", &ParGen::BACnet_GAT1, group1, nullptr},
    {"BACnet_GAT2", KeyForm::Text, "E_GAT2", &ParGen::BACnet_GAT2, group1, nullptr},
    {"BACnet_GAT3", KeyForm::Text, "E_GAT3", &ParGen::BACnet_GAT3, group1, nullptr},
    {"BACnet_GAT4", KeyForm::Text, "E_GAT4", &ParGen::BACnet_GAT4, group1, nullptr},
    {"BACnet_EN_GAT", KeyForm::Flag, "CB_EN_GAT", &ParGen::BACnet_EN_GAT, group1, nullptr},
    {"BACnet_PORT", KeyForm::Text, "E_PORT", &ParGen::BACnet_PORT, group1, nullptr},
    {"BACnet_NAME_STA", KeyForm::Text, "E_BACnet_Name_Station", &ParGen::BACnet_NAME_STA, group1, nullptr},
    {"BACnet_DEV_IDE", KeyForm::Text, "E_BACnet_Dev_Ide", &ParGen::BACnet_DEV_IDE, group1, nullptr},
    {"BACnet_Desc_Chars_Limit", KeyForm::Flag, "CB_BACnet_IP_Desc_Limit", &ParGen::BACnet_Desc_Chars_Limit, descLimitIp, nullptr},
    {"BACnet_EN_BBMD", KeyForm::Flag, "CB_BACnet_IP_EN_BBMD", &ParGen::BACnet_EN_BBMD, group1, nullptr},
    {"BACnet_EN_FDR", KeyForm::Flag, "CB_BACnet_IP_EN_FDR", &ParGen::BACnet_EN_FDR, group1, nullptr},
    {"BACnet_Type", KeyForm::Index, "CB_BACnet_Type", &ParGen::BACnet_Type, group2, bacnetTypeItems},
    {"BACnet_Ser_Baudrate", KeyForm::Index, "CB_BACnet_Ser_Baud", &ParGen::BACnet_Ser_Baudrate, group2, bacnetBaudItems},
    {"BACnet_Ser_Parity", KeyForm::Index, "CB_BACnet_Ser_Parity", &ParGen::BACnet_Ser_Parity, group2, parityItems},
    {"BACnet_Ser_ID", KeyForm::Text, "E_BACnet_Ser_ID", &ParGen::BACnet_Ser_ID, group2, nullptr},
    {"BACnet_Ser_NAME_STA", KeyForm::Text, "E_BACnet_Ser_Name_Station", &ParGen::BACnet_Ser_NAME_STA, group2, nullptr},
    {"BACnet_Ser_Max_Master", KeyForm::Text, "E_BACnet_Ser_MaxMaster", &ParGen::BACnet_Ser_Max_Master, group2, nullptr},
    {"BACnet_Ser_Max_Info_Frames", KeyForm::Text, "E_BACnet_Ser_MaxInfoFrames", &ParGen::BACnet_Ser_Max_Info_Frames, group2, nullptr},
    {"BACnet_Ser_DEV_IDE", KeyForm::Text, "E_BACnet_Ser_Dev_Ide", &ParGen::BACnet_Ser_DEV_IDE, group2, nullptr},
    {"BACnet_Ser_Network", KeyForm::Text, "E_BACnet_Ser_Network", &ParGen::BACnet_Ser_Network, group2, nullptr},
    {"BACnet_Desc_Chars_Limit", KeyForm::Flag, "CB_BACnet_MSTP_Desc_Limit", &ParGen::BACnet_Desc_Chars_Limit, descLimitMstp, nullptr},
    {"Eth2_IP1", KeyForm::Text, "E_Eth2_IP1", &ParGen::Eth2_IP1, group3, nullptr},
    {"Eth2_IP2", KeyForm::Text, "E_Eth2_IP2", &ParGen::Eth2_IP2, group3, nullptr},
    {"Eth2_IP3", KeyForm::Text, "E_Eth2_IP3", &ParGen::Eth2_IP3, group3, nullptr},
    {"Eth2_IP4", KeyForm::Text, "E_Eth2_IP4", &ParGen::Eth2_IP4, group3, nullptr},
    {"Eth2_SM1", KeyForm::Text, "E_Eth2_SM1", &ParGen::Eth2_SM1, group3, nullptr},
    {"Eth2_SM2", KeyForm::Text, "E_Eth2_SM2", &ParGen::Eth2_SM2, group3, nullptr},
    {"Eth2_SM3", KeyForm::Text, "E_Eth2_SM3", &ParGen::Eth2_SM3, group3, nullptr},
    {"Eth2_SM4", KeyForm::Text, "E_Eth2_SM4", &ParGen::Eth2_SM4, group3, nullptr},
    {"Eth2_GAT1", KeyForm::Text, "E_Eth2_GAT1", &ParGen::Eth2_GAT1, group3, nullptr},
    {"Eth2_GAT2", KeyForm::Text, "E_Eth2_GAT2", &ParGen::Eth2_GAT2, group3, nullptr},
    {"Eth2_GAT3", KeyForm::Text, "E_Eth2_GAT3", &ParGen::Eth2_GAT3, group3, nullptr},
    {"Eth2_GAT4", KeyForm::Text, "E_Eth2_GAT4", &ParGen::Eth2_GAT4, group3, nullptr},
    {"Eth2_EN_GAT", KeyForm::Flag, "CB_Eth2_GAT", &ParGen::Eth2_EN_GAT, group3, nullptr},
    {"ModbusM_SERIAL", KeyForm::Index, "CB_Serial_Modbus_Master", &ParGen::ModbusM_SERIAL, group4, serialItems},
    {"ModbusM_BAUDRATE", KeyForm::Index, "CB_Baud_Modbus_Master", &ParGen::ModbusM_BAUDRATE, group4, modbusBaudItems},
    {"ModbusM_PARITY", KeyForm::Index, "CB_Par_Modbus_Master", &ParGen::ModbusM_PARITY, group4, parityItems},
    {"ModbusM_STOPBITS", KeyForm::Index, "CB_StopBits_Modbus_Master", &ParGen::ModbusM_STOPBITS, group4, stopBitsItems},
    {"ModbusM_TIMEOUT", KeyForm::Text, "E_TO_Modbus_Master", &ParGen::ModbusM_TIMEOUT, group4, nullptr},
    {"ModbusM_CYCLIC", KeyForm::Text, "E_CD_Modbus_Master", &ParGen::ModbusM_CYCLIC, group4, nullptr},
    {"ModbusM_Slaves_Present", KeyForm::Flag, "CB_Modbus_Master_Slaves_Present", &ParGen::ModbusM_Slaves_Present, group4, nullptr},
    {"ModbusM_Slaves_Present_Array_Position", KeyForm::Text, "E_Modbus_Master_Array_Pos", &ParGen::ModbusM_Slaves_Present_Array_Position, group4, nullptr},
    {"Meter_Baud", KeyForm::Index, "CB_Baud_Mbus", &ParGen::Meter_Baud, group5, mbusBaudItems},
    {"Meter_Par", KeyForm::Index, "CB_Parity_Mbus", &ParGen::Meter_Par, group5, parityItems},
    {"Meter_Req_Delay", KeyForm::Text, "E_CD_Mbus", &ParGen::Meter_Req_Delay, group5, nullptr},
    {"Meter_NS_Error_Code", KeyForm::Text, "E_NSE_MBus", &ParGen::Meter_NS_Error_Code, notType1001, nullptr},
    {"Enable_Use_Fix_C_Field", KeyForm::Flag, "CB_MBus_Fix_CField", &ParGen::Enable_Use_Fix_C_Field, group5, nullptr},
    {"Use_Fix_C_Field_Value", KeyForm::Index, "CB_MBus_Fix_CField_Val", &ParGen::Use_Fix_C_Field_Value, group5, cFieldItems},
    {"Sel_Dev_MBus_Present", KeyForm::Index, "CB_SD_Wire_Present_MBus", &ParGen::Sel_Dev_MBus_Present, type21, wirePresentItems},
    {"wMBus_Mode", KeyForm::Index, "CB_wMBus_Mode", &ParGen::wMBus_Mode, type21, wmbusModeItems},
    {"wMBus_Radio_Channel", KeyForm::Index, "CB_wMBus_Radio_Channel", &ParGen::wMBus_Radio_Channel, type21, wmbusChannelItems},
    {"Enable_Wait_Answer", KeyForm::Flag, "CB_MBus_WaitAnswer", &ParGen::Enable_Wait_Answer, mbusMaster, nullptr},
    {"Wait_Answer", KeyForm::Text, "E_MBus_WaitAnswer", &ParGen::Wait_Answer, mbusMaster, nullptr},
    {"Enable_Idle_Time", KeyForm::Flag, "CB_MBus_IdleTime", &ParGen::Enable_Idle_Time, mbusMaster, nullptr},
    {"Idle_Time", KeyForm::Text, "E_MBus_IdleTime", &ParGen::Idle_Time, mbusMaster, nullptr},
    {"MODBUS_SLAVE_SERIAL", KeyForm::Index, "CB_Serial_Modbus_Slave", &ParGen::MODBUS_SLAVE_SERIAL, group6, serialItems},
    {"MODBUS_SLAVE_BAUDRATE", KeyForm::Index, "CB_Baud_Modbus_Slave", &ParGen::MODBUS_SLAVE_BAUDRATE, group6, modbusBaudItems},
    {"MODBUS_SLAVE_PARITY", KeyForm::Index, "CB_Par_Modbus_Slave", &ParGen::MODBUS_SLAVE_PARITY, group6, parityItems},
    {"MODBUS_SLAVE_IDDEVICE", KeyForm::Text, "E_ID_Modbus_Slave", &ParGen::MODBUS_SLAVE_IDDEVICE, group6, nullptr},
    {"Modbus_TCP_Master_IP1", KeyForm::Text, "E_Modbus_TCP_Master_IP1", &ParGen::Modbus_TCP_Master_IP1, group7, nullptr},
    {"Modbus_TCP_Master_IP2", KeyForm::Text, "E_Modbus_TCP_Master_IP2", &ParGen::Modbus_TCP_Master_IP2, group7, nullptr},
    {"Modbus_TCP_Master_IP3", KeyForm::Text, "E_Modbus_TCP_Master_IP3", &ParGen::Modbus_TCP_Master_IP3, group7, nullptr},
    {"Modbus_TCP_Master_IP4", KeyForm::Text, "E_Modbus_TCP_Master_IP4", &ParGen::Modbus_TCP_Master_IP4, group7, nullptr},
    {"Modbus_TCP_Master_SM1", KeyForm::Text, "E_Modbus_TCP_Master_SM1", &ParGen::Modbus_TCP_Master_SM1, group7, nullptr},
    {"Modbus_TCP_Master_SM2", KeyForm::Text, "E_Modbus_TCP_Master_SM2", &ParGen::Modbus_TCP_Master_SM2, group7, nullptr},
    {"Modbus_TCP_Master_SM3", KeyForm::Text, "E_Modbus_TCP_Master_SM3", &ParGen::Modbus_TCP_Master_SM3, group7, nullptr},
    {"Modbus_TCP_Master_SM4", KeyForm::Text, "E_Modbus_TCP_Master_SM4", &ParGen::Modbus_TCP_Master_SM4, group7, nullptr},
    {"Modbus_TCP_Master_GAT1", KeyForm::Text, "E_Modbus_TCP_Master_GAT1", &ParGen::Modbus_TCP_Master_GAT1, group7, nullptr},
    {"Modbus_TCP_Master_GAT2", KeyForm::Text, "E_Modbus_TCP_Master_GAT2", &ParGen::Modbus_TCP_Master_GAT2, group7, nullptr},
    {"Modbus_TCP_Master_GAT3", KeyForm::Text, "E_Modbus_TCP_Master_GAT3", &ParGen::Modbus_TCP_Master_GAT3, group7, nullptr},
    {"Modbus_TCP_Master_GAT4", KeyForm::Text, "E_Modbus_TCP_Master_GAT4", &ParGen::Modbus_TCP_Master_GAT4, group7, nullptr},
    {"Modbus_TCP_Master_EN_GAT", KeyForm::Flag, "CB_Modbus_TCP_Master_GAT_En", &ParGen::Modbus_TCP_Master_EN_GAT, group7, nullptr},
    {"ModbusTCPM_PORT", KeyForm::Text, "E_Port_Modbus_TCP_Master", &ParGen::ModbusTCPM_PORT, group7, nullptr},
    {"ModbusTCPM_TIMEOUT", KeyForm::Text, "E_TO_Modbus_TCP_Master", &ParGen::ModbusTCPM_TIMEOUT, group7, nullptr},
    {"ModbusTCPM_CYCLIC", KeyForm::Text, "E_CD_Modbus_TCP_Master", &ParGen::ModbusTCPM_CYCLIC, group7, nullptr},
    {"Modbus_TCP_Slave_IP1", KeyForm::Text, "E_Modbus_TCP_Slave_IP1", &ParGen::Modbus_TCP_Slave_IP1, group8, nullptr},
    {"Modbus_TCP_Slave_IP2", KeyForm::Text, "E_Modbus_TCP_Slave_IP2", &ParGen::Modbus_TCP_Slave_IP2, group8, nullptr},
    {"Modbus_TCP_Slave_IP3", KeyForm::Text, "E_Modbus_TCP_Slave_IP3", &ParGen::Modbus_TCP_Slave_IP3, group8, nullptr},
    {"Modbus_TCP_Slave_IP4", KeyForm::Text, "E_Modbus_TCP_Slave_IP4", &ParGen::Modbus_TCP_Slave_IP4, group8, nullptr},
    {"Modbus_TCP_Slave_SM1", KeyForm::Text, "E_Modbus_TCP_Slave_SM1", &ParGen::Modbus_TCP_Slave_SM1, group8, nullptr},
    {"Modbus_TCP_Slave_SM2", KeyForm::Text, "E_Modbus_TCP_Slave_SM2", &ParGen::Modbus_TCP_Slave_SM2, group8, nullptr},
    {"Modbus_TCP_Slave_SM3", KeyForm::Text, "E_Modbus_TCP_Slave_SM3", &ParGen::Modbus_TCP_Slave_SM3, group8, nullptr},
    {"Modbus_TCP_Slave_SM4", KeyForm::Text, "E_Modbus_TCP_Slave_SM4", &ParGen::Modbus_TCP_Slave_SM4, group8, nullptr},
    {"Modbus_TCP_Slave_GAT1", KeyForm::Text, "E_Modbus_TCP_Slave_GAT1", &ParGen::Modbus_TCP_Slave_GAT1, group8, nullptr},
    {"Modbus_TCP_Slave_GAT2", KeyForm::Text, "E_Modbus_TCP_Slave_GAT2", &ParGen::Modbus_TCP_Slave_GAT2, group8, nullptr},
    {"Modbus_TCP_Slave_GAT3", KeyForm::Text, "E_Modbus_TCP_Slave_GAT3", &ParGen::Modbus_TCP_Slave_GAT3, group8, nullptr},
    {"Modbus_TCP_Slave_GAT4", KeyForm::Text, "E_Modbus_TCP_Slave_GAT4", &ParGen::Modbus_TCP_Slave_GAT4, group8, nullptr},
    {"Modbus_TCP_Slave_EN_GAT", KeyForm::Flag, "CB_Modbus_TCP_Slave_GAT_En", &ParGen::Modbus_TCP_Slave_EN_GAT, group8, nullptr},
    {"ModbusTCPS_PORT", KeyForm::Text, "E_Port_Modbus_TCP_Slave", &ParGen::ModbusTCPS_PORT, group8, nullptr},
    {"PROFIBUS_SLAVE_ID_DEV", KeyForm::Text, "E_ID_DEV_PROFI_Slave", &ParGen::PROFIBUS_SLAVE_ID_DEV, group9, nullptr},
    {"PROFIBUS_SLAVE_BAUDRATE", KeyForm::FixedIndex, "CB_Baud_PROFI_Slave", &ParGen::PROFIBUS_SLAVE_BAUDRATE, group9, profibusBaudItems},
    {"PROFIBUS_SLAVE_NB_IN", KeyForm::Text, "E_B_IN_PROFI_Slave", &ParGen::PROFIBUS_SLAVE_NB_IN, group9, nullptr},
    {"PROFIBUS_SLAVE_NB_OUT", KeyForm::Text, "E_B_OUT_PROFI_Slave", &ParGen::PROFIBUS_SLAVE_NB_OUT, group9, nullptr},
    {"CAN_BAUDRATE", KeyForm::Index, "CAN_Baud", &ParGen::CAN_BAUDRATE, group10, canBaudItems},
    {"CANopen_IDDev", KeyForm::Text, "E_ID_CANopen", &ParGen::CANopen_IDDev, group11, nullptr},
    {"CANopen_BAUDRATE", KeyForm::Index, "CB_Baud_CANopen", &ParGen::CANopen_BAUDRATE, group11, canopenBaudItems},
    {"CANopen_Set_Operational", KeyForm::Flag, "CB_Set_Ope_CANopen", &ParGen::CANopen_Set_Operational, group11, nullptr},
    {"CANopen_Network_Start", KeyForm::Flag, "CB_Net_Ope_CANopen", &ParGen::CANopen_Network_Start, group11, nullptr},
    {"CANopen_Delay", KeyForm::Text, "E_NO_Delay_CANopen", &ParGen::CANopen_Delay, group11, nullptr},
    {"CANopen_SDO_TimeOut", KeyForm::Text, "E_SDO_TO_CANopen", &ParGen::CANopen_SDO_TimeOut, group11, nullptr},
    {"PROFINET_PORT", KeyForm::FixedText, "E_PORT_PROFINET", &ParGen::PROFINET_PORT, group12, nullptr},
    {"PROFINET_NB_IN", KeyForm::Text, "E_B_IN_PROFINET", &ParGen::PROFINET_NB_IN, type9, nullptr},
    {"PROFINET_NB_OUT", KeyForm::Text, "E_B_OUT_PROFINET", &ParGen::PROFINET_NB_OUT, group12, nullptr},
    {"PROFINET_IP1", KeyForm::Text, "E_PROFINET_IP1", &ParGen::PROFINET_IP1, group12, nullptr},
    {"PROFINET_IP2", KeyForm::Text, "E_PROFINET_IP2", &ParGen::PROFINET_IP2, group12, nullptr},
    {"PROFINET_IP3", KeyForm::Text, "E_PROFINET_IP3", &ParGen::PROFINET_IP3, group12, nullptr},
    {"PROFINET_IP4", KeyForm::Text, "E_PROFINET_IP4", &ParGen::PROFINET_IP4, group12, nullptr},
    {"PROFINET_SM1", KeyForm::Text, "E_PROFINET_SM1", &ParGen::PROFINET_SM1, group12, nullptr},
    {"PROFINET_SM2", KeyForm::Text, "E_PROFINET_SM2", &ParGen::PROFINET_SM2, group12, nullptr},
    {"PROFINET_SM3", KeyForm::Text, "E_PROFINET_SM3", &ParGen::PROFINET_SM3, group12, nullptr},
    {"PROFINET_SM4", KeyForm::Text, "E_PROFINET_SM4", &ParGen::PROFINET_SM4, group12, nullptr},
    {"PROFINET_GAT1", KeyForm::Text, "E_PROFINET_GAT1", &ParGen::PROFINET_GAT1, group12, nullptr},
    {"PROFINET_GAT2", KeyForm::Text, "E_PROFINET_GAT2", &ParGen::PROFINET_GAT2, group12, nullptr},
    {"PROFINET_GAT3", KeyForm::Text, "E_PROFINET_GAT3", &ParGen::PROFINET_GAT3, group12, nullptr},
    {"PROFINET_GAT4", KeyForm::Text, "E_PROFINET_GAT4", &ParGen::PROFINET_GAT4, group12, nullptr},
    {"PROFINET_EN_GAT", KeyForm::Flag, "CB_PROFINET_En_Gat", &ParGen::PROFINET_EN_GAT, group12, nullptr},
    {"PROFINET_NAME_STA", KeyForm::Text, "E_PROFINET_Name", &ParGen::PROFINET_NAME_STA, group12, nullptr},
    {"PROFINET_AUTO_CALC_BYTE_USED", KeyForm::Flag, "CB_PROFINET_Auto_Calc_Bytes", &ParGen::PROFINET_AUTO_CALC_BYTE_USED, type1002, nullptr},
    {"DNETM_ID_DEV", KeyForm::Text, "E_ID_DNET_Master", &ParGen::DNETM_ID_DEV, group13, nullptr},
    {"DNETM_BAUDRATE", KeyForm::Index, "CB_Baud_DNET_Master", &ParGen::DNETM_BAUDRATE, group13, dnetBaudItems},
    {"DNETS_ID_DEV", KeyForm::Text, "E_ID_DNET_Slave", &ParGen::DNETS_ID_DEV, group14, nullptr},
    {"DNETS_BAUDRATE", KeyForm::Index, "CB_Baud_DNET_Slave", &ParGen::DNETS_BAUDRATE, group14, dnetBaudItems},
    {"DNETS_NB_IN", KeyForm::Text, "E_NB_IN_DNET_Slave", &ParGen::DNETS_NB_IN, group14, nullptr},
    {"DNETS_NB_OUT", KeyForm::Text, "E_NB_OUT_DNET_Slave", &ParGen::DNETS_NB_OUT, group14, nullptr},
    {"EtherNetIP_IP1", KeyForm::Text, "E_EtherNetIP_IP1", &ParGen::EtherNetIP_IP1, group15, nullptr},
    {"EtherNetIP_IP2", KeyForm::Text, "E_EtherNetIP_IP2", &ParGen::EtherNetIP_IP2, group15, nullptr},
    {"EtherNetIP_IP3", KeyForm::Text, "E_EtherNetIP_IP3", &ParGen::EtherNetIP_IP3, group15, nullptr},
    {"EtherNetIP_IP4", KeyForm::Text, "E_EtherNetIP_IP4", &ParGen::EtherNetIP_IP4, group15, nullptr},
    {"EtherNetIP_SM1", KeyForm::Text, "E_EtherNetIP_SM1", &ParGen::EtherNetIP_SM1, group15, nullptr},
    {"EtherNetIP_SM2", KeyForm::Text, "E_EtherNetIP_SM2", &ParGen::EtherNetIP_SM2, group15, nullptr},
    {"EtherNetIP_SM3", KeyForm::Text, "E_EtherNetIP_SM3", &ParGen::EtherNetIP_SM3, group15, nullptr},
    {"EtherNetIP_SM4", KeyForm::Text, "E_EtherNetIP_SM4", &ParGen::EtherNetIP_SM4, group15, nullptr},
    {"EtherNetIP_GAT1", KeyForm::Text, "E_EtherNetIP_GAT1", &ParGen::EtherNetIP_GAT1, group15, nullptr},
    {"EtherNetIP_GAT2", KeyForm::Text, "E_EtherNetIP_GAT2", &ParGen::EtherNetIP_GAT2, group15, nullptr},
    {"EtherNetIP_GAT3", KeyForm::Text, "E_EtherNetIP_GAT3", &ParGen::EtherNetIP_GAT3, group15, nullptr},
    {"EtherNetIP_GAT4", KeyForm::Text, "E_EtherNetIP_GAT4", &ParGen::EtherNetIP_GAT4, group15, nullptr},
    {"EtherNetIP_EN_GAT", KeyForm::Flag, "CB_EtherNetIP_GAT_En", &ParGen::EtherNetIP_EN_GAT, group15, nullptr},
    {"EtherNetIP_PORT", KeyForm::FixedText, "E_Port_EtherNetIP", &ParGen::EtherNetIP_PORT, group15, nullptr},
    {"EtherNetIP_NB_IN", KeyForm::Text, "E_B_IN_EtherNetIP", &ParGen::EtherNetIP_NB_IN, group15, nullptr},
    {"EtherNetIP_NB_OUT", KeyForm::Text, "E_B_OUT_EtherNetIP", &ParGen::EtherNetIP_NB_OUT, group15, nullptr},
    {"J1939_BAUDRATE", KeyForm::Index, "CB_Baud_J1939", &ParGen::J1939_BAUDRATE, group16, canopenBaudItems},
    {"J1939_TIMEOUT", KeyForm::Text, "E_TO_J1939", &ParGen::J1939_TIMEOUT, group16, nullptr},
    {"J1939_PEER_TO_PEER", KeyForm::Flag, "CB_En_Peer_J1939", &ParGen::J1939_PEER_TO_PEER, group16, nullptr},
    {"NMEA2000_BAUDRATE", KeyForm::Index, "CB_Baud_NMEA2000", &ParGen::NMEA2000_BAUDRATE, group17, canopenBaudItems},
    {"NMEA2000_TIMEOUT", KeyForm::Text, "E_TO_NMEA2000", &ParGen::NMEA2000_TIMEOUT, group17, nullptr},
    {"NMEA2000_PEER_TO_PEER", KeyForm::Flag, "CB_En_Peer_NMEA2000", &ParGen::NMEA2000_PEER_TO_PEER, group17, nullptr},
    {"Ethernet_PORT", KeyForm::Text, "E_Port_Ethernet", &ParGen::Ethernet_PORT, group18, nullptr},
    {"KNX_TYPE", KeyForm::Index, "CB_KNX_Type", &ParGen::KNX_TYPE, group19, knxTypeItems},
    {"KNX_ID_DEV", KeyForm::Text, "E_ID_DEV_KNX", &ParGen::KNX_ID_DEV, group19, nullptr},
    {"SNMP_Name_of_Station", KeyForm::Text, "E_SNMP_Name_of_Station", &ParGen::SNMP_Name_of_Station, group20, nullptr},
    {"SNMP_Contact", KeyForm::Text, "E_SNMP_Contact", &ParGen::SNMP_Contact, group20, nullptr},
    {"SNMP_Location", KeyForm::Text, "E_SNMP_Location", &ParGen::SNMP_Location, group20, nullptr},
    {"SNMP_VERSION1", KeyForm::Flag, "CB_PROFI_SNMP_Ver1", &ParGen::SNMP_VERSION1, group20, nullptr},
    {"SNMP_VERSION2", KeyForm::Flag, "CB_PROFI_SNMP_Ver2", &ParGen::SNMP_VERSION2, group20, nullptr},
    {"SNMP_VERSION3", KeyForm::Flag, "CB_PROFI_SNMP_Ver3", &ParGen::SNMP_VERSION3, group20, nullptr},
    {"SNMP_VER3_USER", KeyForm::Text, "E_PROFI_SNMP_User", &ParGen::SNMP_VER3_USER, group20, nullptr},
    {"SNMP_VER3_SECURITY_LEVEL", KeyForm::Choice, "CB_PROFI_SNMP_Secure_Lev", &ParGen::SNMP_VER3_SECURITY_LEVEL, group20, snmpLevelItems},
    {"SNMP_VER3_AUTHORITY", KeyForm::Text, "E_PROFI_SNMP_Auth_Pass", &ParGen::SNMP_VER3_AUTHORITY, group20, nullptr},
    {"SNMP_VER3_AUTHORITY_MODE", KeyForm::Choice, "CB_PROFI_SNMP_Auth_Mode", &ParGen::SNMP_VER3_AUTHORITY_MODE, group20, snmpAuthItems},
    {"SNMP_VER3_PRIVACY", KeyForm::Text, "E_PROFI_SNMP_Priv_Pass", &ParGen::SNMP_VER3_PRIVACY, group20, nullptr},
    {"SNMP_VER3_PRIVACY_MODE", KeyForm::Choice, "CB_PROFI_SNMP_Priv_Mode", &ParGen::SNMP_VER3_PRIVACY_MODE, group20, snmpPrivItems},
    {"DMX_DMX", KeyForm::Index, "CB_DMX_DMX", &ParGen::DMX_DMX, group21, dmxItems},
    {"DMX_Num_Channels", KeyForm::Text, "E_DMX_Num_Channel", &ParGen::DMX_Num_Channels, group21, nullptr},
    {"SNMP_Agent_IP1", KeyForm::Text, "E_IP1_SNMP_Manager", &ParGen::SNMP_Agent_IP1, group22, nullptr},
    {"SNMP_Agent_IP2", KeyForm::Text, "E_IP2_SNMP_Manager", &ParGen::SNMP_Agent_IP2, group22, nullptr},
    {"SNMP_Agent_IP3", KeyForm::Text, "E_IP3_SNMP_Manager", &ParGen::SNMP_Agent_IP3, group22, nullptr},
    {"SNMP_Agent_IP4", KeyForm::Text, "E_IP4_SNMP_Manager", &ParGen::SNMP_Agent_IP4, group22, nullptr},
    {"SNMP_Agent_SM1", KeyForm::Text, "E_SM1_SNMP_Manager", &ParGen::SNMP_Agent_SM1, group22, nullptr},
    {"SNMP_Agent_SM2", KeyForm::Text, "E_SM2_SNMP_Manager", &ParGen::SNMP_Agent_SM2, group22, nullptr},
    {"SNMP_Agent_SM3", KeyForm::Text, "E_SM3_SNMP_Manager", &ParGen::SNMP_Agent_SM3, group22, nullptr},
    {"SNMP_Agent_SM4", KeyForm::Text, "E_SM4_SNMP_Manager", &ParGen::SNMP_Agent_SM4, group22, nullptr},
    {"SNMP_Agent_GAT1", KeyForm::Text, "E_GAT1_SNMP_Manager", &ParGen::SNMP_Agent_GAT1, group22, nullptr},
    {"SNMP_Agent_GAT2", KeyForm::Text, "E_GAT2_SNMP_Manager", &ParGen::SNMP_Agent_GAT2, group22, nullptr},
    {"SNMP_Agent_GAT3", KeyForm::Text, "E_GAT3_SNMP_Manager", &ParGen::SNMP_Agent_GAT3, group22, nullptr},
    {"SNMP_Agent_GAT4", KeyForm::Text, "E_GAT4_SNMP_Manager", &ParGen::SNMP_Agent_GAT4, group22, nullptr},
    {"SNMP_Agent_EN_GAT", KeyForm::Flag, "CB_SNMP_Manager_En_GAT", &ParGen::SNMP_Agent_EN_GAT, group22, nullptr},
};

const ParGen& missingDefaults()
{
    static const ParGen d;
    return d;
}

} // namespace

const std::vector<KeyDesc>& parGenKeys() { return kKeys; }

QStringList keyItems(const QString& key, int32_t converterType)
{
    for (const KeyDesc& k : kKeys)
        if (k.items && key == QLatin1String(k.key))
            return k.items(converterType);
    return {};
}

QString versionComment(int32_t t)
{
    static const std::array<std::pair<int32_t, const char*>, 25> versions{{
        {0, "1.702"},    {1, "1.509"},    {2, "1.301"},    {3, "1.405"},    {4, "1.103"},
        {6, "1.203"},    {7, "1.201"},    {8, "1.002"},    {9, "1.302"},    {10, "1.000"},
        {11, "1.001"},   {12, "1.004"},   {13, "1.000"},   {14, "1.000"},   {15, "1.000"},
        {16, "1.009"},   {17, "1.302"},   {18, "1.003"},   {19, "1.201"},   {20, "2.001"},
        {21, "1.005"},   {1001, "1.102"}, {1002, "1.001"}, {1003, "1.001"}, {2016, "1.009"},
    }};
    for (const auto& [type, version] : versions)
        if (type == t)
            return QStringLiteral("SW_VERSION = ") + QLatin1String(version);
    return {};
}

bool hasBacnetType(int32_t t)
{
    return knownType(t) && !(t == 10 || t == 13 || t == 14 || t == 15 || (t >= 1001 && t <= 1003));
}

int effectiveBacnetType(const ParGen& p, int32_t t)
{
    if (!hasBacnetType(t) || t == 20)
        return 0;
    if (p.BACnet_Type < 0 || p.BACnet_Type >= bacnetTypeItems(t).size())
        return missingDefaults().BACnet_Type;
    return p.BACnet_Type;
}

namespace {

int snmpChoiceIndex(const QString& key, const QString& text)
{
    if (key == QLatin1String("SNMP_VER3_SECURITY_LEVEL"))
        return workspace::SNMPv3_Level_Index(text);
    if (key == QLatin1String("SNMP_VER3_AUTHORITY_MODE"))
        return workspace::SNMPv3_Auth_Index(text);
    return workspace::SNMPv3_Priv_Index(text);
}

void readKey(const KeyDesc& k, const ParGenFile& file, int32_t type, ParGen& p)
{
    const ParGen& def = missingDefaults();
    switch (k.form) {
    case KeyForm::FixedText: {
        auto m = std::get<QString ParGen::*>(k.member);
        p.*m = def.*m;
        return;
    }
    case KeyForm::FixedIndex: {
        auto m = std::get<int ParGen::*>(k.member);
        p.*m = def.*m;
        return;
    }
    default:
        break;
    }
    const QString name = QLatin1String(k.key);
    const std::optional<QString> text = file.keyText(name);
    if (!text)
        return; // the model already holds the missing default
    switch (k.form) {
    case KeyForm::Text:
        p.*std::get<QString ParGen::*>(k.member) = *text;
        break;
    case KeyForm::Flag:
        p.*std::get<bool ParGen::*>(k.member) = (*text == QLatin1String("1"));
        break;
    case KeyForm::Index: {
        auto m = std::get<int ParGen::*>(k.member);
        const std::optional<int32_t> v = platform::toInt(*text);
        p.*m = (v && *v >= 0 && *v < k.items(type).size()) ? int(*v) : def.*m;
        break;
    }
    case KeyForm::Choice:
        p.*std::get<int ParGen::*>(k.member) = snmpChoiceIndex(name, *text);
        break;
    default:
        break;
    }
}

QString keyValueText(const KeyDesc& k, const ParGen& p, int32_t type)
{
    const ParGen& def = missingDefaults();
    switch (k.form) {
    case KeyForm::Text:
        return p.*std::get<QString ParGen::*>(k.member);
    case KeyForm::FixedText:
        return def.*std::get<QString ParGen::*>(k.member);
    case KeyForm::Flag:
        return (p.*std::get<bool ParGen::*>(k.member)) ? QStringLiteral("1") : QStringLiteral("0");
    case KeyForm::FixedIndex:
        return QString::number(def.*std::get<int ParGen::*>(k.member));
    case KeyForm::Index: {
        auto m = std::get<int ParGen::*>(k.member);
        const int v = p.*m;
        return QString::number(v >= 0 && v < k.items(type).size() ? v : def.*m);
    }
    case KeyForm::Choice: {
        const QStringList items = k.items(type);
        const int v = p.*std::get<int ParGen::*>(k.member);
        return items.value(v >= 0 && v < items.size() ? v : 0);
    }
    }
    return {};
}

bool isBacnetTypeKey(const KeyDesc& k) { return k.member == KeyMember(&ParGen::BACnet_Type); }

} // namespace

ParGen readParGen(const ParGenFile& file, int32_t type)
{
    ParGen p;
    // The BACnet type decides which of the later keys belong to the file, so it comes first.
    int bt = 0;
    for (const KeyDesc& k : kKeys) {
        if (isBacnetTypeKey(k)) {
            if (k.applies(type, 0, true) && type != 20)
                readKey(k, file, type, p);
            bt = effectiveBacnetType(p, type);
            break;
        }
    }
    for (const KeyDesc& k : kKeys) {
        if (isBacnetTypeKey(k) || !k.applies(type, bt, true))
            continue;
        readKey(k, file, type, p);
    }
    return p;
}

ParGenLoad loadParGen(const QString& path, int32_t type)
{
    ParGenLoad r;
    ParGenFile file;
    r.status = file.load(path, &r.error);
    if (r.status == ParGenFile::Status::Loaded)
        r.values = readParGen(file, type);
    return r;
}

void writeParGen(const ParGen& p, int32_t type, platform::XmlDocument& doc)
{
    doc.clear();
    platform::XmlNode root = doc.appendElement(QStringLiteral("Par_Gen"));
    const QString comment = versionComment(type);
    if (!comment.isEmpty())
        doc.appendComment(comment);
    const int bt = effectiveBacnetType(p, type);
    for (const KeyDesc& k : kKeys) {
        if (!k.applies(type, bt, false))
            continue;
        const QString value = isBacnetTypeKey(k) ? QString::number(bt) : keyValueText(k, p, type);
        root.appendTextElement(QLatin1String(k.key), value);
    }
}

QByteArray parGenBytes(const ParGen& p, int32_t type)
{
    platform::XmlDocument doc;
    writeParGen(p, type, doc);
    return doc.toBytes();
}

bool saveParGen(const QString& path, const ParGen& p, int32_t type, QString* error)
{
    platform::XmlDocument doc;
    writeParGen(p, type, doc);
    QString why;
    if (doc.save(path, {}, &why))
        return true;
    // The reason alone ("Operation not permitted") does not say which file.
    if (error)
        *error = QStringLiteral("Error! The file %1 cannot be written: %2").arg(QFileInfo(path).fileName(), why);
    return false;
}

} // namespace parameters
