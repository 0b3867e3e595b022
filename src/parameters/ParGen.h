#pragma once
// The general parameters of a gateway project, as plain data, and their file ParGen.xml.
//
// `ParGen` holds one value per key of the file, named after the key. A default-constructed
// `ParGen` holds, for every key, the value a reader takes when the key is missing, so a project
// without the file and a file without a key read the same.
//
// Forms of the values:
// - text (QString): the field's text as the user left it, written and read unchanged;
// - flag (bool): written "1" or "0"; read as set only when the text is exactly "1";
// - index (int): the position of the chosen item in the key's list (`keyItems`), written as
//   decimal text; a text that is not a whole number, or a position outside the list, reads as
//   the missing default, and such a position is written as that default, never as "-1";
// - choice (int): the position of the chosen item, written as the item's own text and read
//   back through the SNMPv3 code tables;
// - fixed: the window never lets the user change these values; they are always written and
//   read as their fixed value (`PROFINET_PORT` "34964", `EtherNetIP_PORT` "44818",
//   `PROFIBUS_SLAVE_BAUDRATE` 0).
//
// Which keys a file holds depends on the device type (and, for the BACnet description limit
// and the second Ethernet port, on the BACnet type); `parGenKeys()` lists every key in file
// order with the rule that decides it. Device type 20 always stores BACnet type 0.
#include "parameters/ParGenFile.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <variant>
#include <vector>

namespace parameters {

struct ParGen {
    // keys 1
    QString BACnet_IP1 = QStringLiteral("192");
    QString BACnet_IP2 = QStringLiteral("168");
    QString BACnet_IP3 = QStringLiteral("0");
    QString BACnet_IP4 = QStringLiteral("5");
    QString BACnet_SM1 = QStringLiteral("255");
    QString BACnet_SM2 = QStringLiteral("255");
    QString BACnet_SM3 = QStringLiteral("255");
    QString BACnet_SM4 = QStringLiteral("0");
    QString BACnet_GAT1 = QStringLiteral("192");
    QString BACnet_GAT2 = QStringLiteral("168");
    QString BACnet_GAT3 = QStringLiteral("0");
    QString BACnet_GAT4 = QStringLiteral("1");
    bool BACnet_EN_GAT = false;
    QString BACnet_PORT = QStringLiteral("47808");
    QString BACnet_NAME_STA = QStringLiteral("devicename1");
    QString BACnet_DEV_IDE = QStringLiteral("1");
    bool BACnet_Desc_Chars_Limit = false;
    bool BACnet_EN_BBMD = false;
    bool BACnet_EN_FDR = false;
    // keys 2
    int BACnet_Type = 0;
    int BACnet_Ser_Baudrate = 3;
    int BACnet_Ser_Parity = 0;
    QString BACnet_Ser_ID = QStringLiteral("0");
    QString BACnet_Ser_NAME_STA = QStringLiteral("devicename1");
    QString BACnet_Ser_Max_Master = QStringLiteral("1");
    QString BACnet_Ser_Max_Info_Frames = QStringLiteral("1");
    QString BACnet_Ser_DEV_IDE = QStringLiteral("1");
    QString BACnet_Ser_Network = QStringLiteral("1");
    // keys 3
    QString Eth2_IP1 = QStringLiteral("192");
    QString Eth2_IP2 = QStringLiteral("168");
    QString Eth2_IP3 = QStringLiteral("0");
    QString Eth2_IP4 = QStringLiteral("10");
    QString Eth2_SM1 = QStringLiteral("255");
    QString Eth2_SM2 = QStringLiteral("255");
    QString Eth2_SM3 = QStringLiteral("255");
    QString Eth2_SM4 = QStringLiteral("0");
    QString Eth2_GAT1 = QStringLiteral("192");
    QString Eth2_GAT2 = QStringLiteral("168");
    QString Eth2_GAT3 = QStringLiteral("0");
    QString Eth2_GAT4 = QStringLiteral("1");
    bool Eth2_EN_GAT = false;
    // keys 4
    int ModbusM_SERIAL = 0;
    int ModbusM_BAUDRATE = 7;
    int ModbusM_PARITY = 0;
    int ModbusM_STOPBITS = 0;
    QString ModbusM_TIMEOUT = QStringLiteral("1000");
    QString ModbusM_CYCLIC = QStringLiteral("100");
    bool ModbusM_Slaves_Present = false;
    QString ModbusM_Slaves_Present_Array_Position = QStringLiteral("200");
    // keys 5
    int Meter_Baud = 0;
    int Meter_Par = 2;
    QString Meter_Req_Delay = QStringLiteral("100");
    QString Meter_NS_Error_Code = QStringLiteral("0");
    bool Enable_Use_Fix_C_Field = false;
    int Use_Fix_C_Field_Value = 0;
    int Sel_Dev_MBus_Present = 0;
    int wMBus_Mode = 0;
    int wMBus_Radio_Channel = 0;
    bool Enable_Wait_Answer = false;
    QString Wait_Answer = QStringLiteral("100");
    bool Enable_Idle_Time = false;
    QString Idle_Time = QStringLiteral("100");
    // keys 6
    int MODBUS_SLAVE_SERIAL = 0;
    int MODBUS_SLAVE_BAUDRATE = 7;
    int MODBUS_SLAVE_PARITY = 0;
    QString MODBUS_SLAVE_IDDEVICE = QStringLiteral("10");
    // keys 7
    QString Modbus_TCP_Master_IP1 = QStringLiteral("192");
    QString Modbus_TCP_Master_IP2 = QStringLiteral("168");
    QString Modbus_TCP_Master_IP3 = QStringLiteral("0");
    QString Modbus_TCP_Master_IP4 = QStringLiteral("6");
    QString Modbus_TCP_Master_SM1 = QStringLiteral("255");
    QString Modbus_TCP_Master_SM2 = QStringLiteral("255");
    QString Modbus_TCP_Master_SM3 = QStringLiteral("255");
    QString Modbus_TCP_Master_SM4 = QStringLiteral("0");
    QString Modbus_TCP_Master_GAT1 = QStringLiteral("192");
    QString Modbus_TCP_Master_GAT2 = QStringLiteral("168");
    QString Modbus_TCP_Master_GAT3 = QStringLiteral("0");
    QString Modbus_TCP_Master_GAT4 = QStringLiteral("1");
    bool Modbus_TCP_Master_EN_GAT = false;
    QString ModbusTCPM_PORT = QStringLiteral("502");
    QString ModbusTCPM_TIMEOUT = QStringLiteral("1000");
    QString ModbusTCPM_CYCLIC = QStringLiteral("100");
    // keys 8
    QString Modbus_TCP_Slave_IP1 = QStringLiteral("192");
    QString Modbus_TCP_Slave_IP2 = QStringLiteral("168");
    QString Modbus_TCP_Slave_IP3 = QStringLiteral("0");
    QString Modbus_TCP_Slave_IP4 = QStringLiteral("5");
    QString Modbus_TCP_Slave_SM1 = QStringLiteral("255");
    QString Modbus_TCP_Slave_SM2 = QStringLiteral("255");
    QString Modbus_TCP_Slave_SM3 = QStringLiteral("255");
    QString Modbus_TCP_Slave_SM4 = QStringLiteral("0");
    QString Modbus_TCP_Slave_GAT1 = QStringLiteral("192");
    QString Modbus_TCP_Slave_GAT2 = QStringLiteral("168");
    QString Modbus_TCP_Slave_GAT3 = QStringLiteral("0");
    QString Modbus_TCP_Slave_GAT4 = QStringLiteral("1");
    bool Modbus_TCP_Slave_EN_GAT = false;
    QString ModbusTCPS_PORT = QStringLiteral("502");
    // keys 9
    QString PROFIBUS_SLAVE_ID_DEV = QStringLiteral("10");
    int PROFIBUS_SLAVE_BAUDRATE = 0;
    QString PROFIBUS_SLAVE_NB_IN = QStringLiteral("244");
    QString PROFIBUS_SLAVE_NB_OUT = QStringLiteral("244");
    // keys 10
    int CAN_BAUDRATE = 9;
    // keys 11
    QString CANopen_IDDev = QStringLiteral("1");
    int CANopen_BAUDRATE = 5;
    bool CANopen_Set_Operational = false;
    bool CANopen_Network_Start = false;
    QString CANopen_Delay = QStringLiteral("0");
    QString CANopen_SDO_TimeOut = QStringLiteral("10000");
    // keys 12
    QString PROFINET_PORT = QStringLiteral("34964");
    QString PROFINET_NB_IN = QStringLiteral("1439");
    QString PROFINET_NB_OUT = QStringLiteral("1439");
    QString PROFINET_IP1 = QStringLiteral("192");
    QString PROFINET_IP2 = QStringLiteral("168");
    QString PROFINET_IP3 = QStringLiteral("0");
    QString PROFINET_IP4 = QStringLiteral("10");
    QString PROFINET_SM1 = QStringLiteral("255");
    QString PROFINET_SM2 = QStringLiteral("255");
    QString PROFINET_SM3 = QStringLiteral("255");
    QString PROFINET_SM4 = QStringLiteral("0");
    QString PROFINET_GAT1 = QStringLiteral("192");
    QString PROFINET_GAT2 = QStringLiteral("168");
    QString PROFINET_GAT3 = QStringLiteral("0");
    QString PROFINET_GAT4 = QStringLiteral("1");
    bool PROFINET_EN_GAT = false;
    QString PROFINET_NAME_STA = QStringLiteral("devicename2");
    bool PROFINET_AUTO_CALC_BYTE_USED = false;
    // keys 13
    QString DNETM_ID_DEV = QStringLiteral("0");
    int DNETM_BAUDRATE = 2;
    // keys 14
    QString DNETS_ID_DEV = QStringLiteral("10");
    int DNETS_BAUDRATE = 2;
    QString DNETS_NB_IN = QStringLiteral("455");
    QString DNETS_NB_OUT = QStringLiteral("455");
    // keys 15
    QString EtherNetIP_IP1 = QStringLiteral("192");
    QString EtherNetIP_IP2 = QStringLiteral("168");
    QString EtherNetIP_IP3 = QStringLiteral("0");
    QString EtherNetIP_IP4 = QStringLiteral("11");
    QString EtherNetIP_SM1 = QStringLiteral("255");
    QString EtherNetIP_SM2 = QStringLiteral("255");
    QString EtherNetIP_SM3 = QStringLiteral("255");
    QString EtherNetIP_SM4 = QStringLiteral("0");
    QString EtherNetIP_GAT1 = QStringLiteral("192");
    QString EtherNetIP_GAT2 = QStringLiteral("168");
    QString EtherNetIP_GAT3 = QStringLiteral("0");
    QString EtherNetIP_GAT4 = QStringLiteral("1");
    bool EtherNetIP_EN_GAT = false;
    QString EtherNetIP_PORT = QStringLiteral("44818");
    QString EtherNetIP_NB_IN = QStringLiteral("496");
    QString EtherNetIP_NB_OUT = QStringLiteral("500");
    // keys 16
    int J1939_BAUDRATE = 5;
    QString J1939_TIMEOUT = QStringLiteral("0");
    bool J1939_PEER_TO_PEER = false;
    // keys 17
    int NMEA2000_BAUDRATE = 5;
    QString NMEA2000_TIMEOUT = QStringLiteral("0");
    bool NMEA2000_PEER_TO_PEER = false;
    // keys 18
    QString Ethernet_PORT = QStringLiteral("10001");
    // keys 19
    int KNX_TYPE = 0;
    QString KNX_ID_DEV = QStringLiteral("1.1.200");
    // keys 20
    QString SNMP_Name_of_Station = QStringLiteral("SNMPdevice1");
    QString SNMP_Contact;
    QString SNMP_Location;
    bool SNMP_VERSION1 = false;
    bool SNMP_VERSION2 = false;
    bool SNMP_VERSION3 = false;
    QString SNMP_VER3_USER;
    int SNMP_VER3_SECURITY_LEVEL = 0;
    QString SNMP_VER3_AUTHORITY;
    int SNMP_VER3_AUTHORITY_MODE = 0;
    QString SNMP_VER3_PRIVACY;
    int SNMP_VER3_PRIVACY_MODE = 0;
    // keys 21
    int DMX_DMX = 1;
    QString DMX_Num_Channels = QStringLiteral("512");
    // keys 22
    QString SNMP_Agent_IP1 = QStringLiteral("192");
    QString SNMP_Agent_IP2 = QStringLiteral("168");
    QString SNMP_Agent_IP3 = QStringLiteral("0");
    QString SNMP_Agent_IP4 = QStringLiteral("10");
    QString SNMP_Agent_SM1 = QStringLiteral("255");
    QString SNMP_Agent_SM2 = QStringLiteral("255");
    QString SNMP_Agent_SM3 = QStringLiteral("255");
    QString SNMP_Agent_SM4 = QStringLiteral("0");
    QString SNMP_Agent_GAT1 = QStringLiteral("192");
    QString SNMP_Agent_GAT2 = QStringLiteral("168");
    QString SNMP_Agent_GAT3 = QStringLiteral("0");
    QString SNMP_Agent_GAT4 = QStringLiteral("1");
    bool SNMP_Agent_EN_GAT = false;

    bool operator==(const ParGen&) const = default;
};

enum class KeyForm { Text, Flag, Index, Choice, FixedText, FixedIndex };

using KeyMember = std::variant<QString ParGen::*, bool ParGen::*, int ParGen::*>;

// One key of ParGen.xml.
struct KeyDesc {
    const char* key;   // element name
    KeyForm form;
    const char* field; // the control of the general parameters window that shows the value
    KeyMember member;
    // Whether the key belongs to a file of this device type and effective BACnet type; the
    // rule for reading can differ from the one for writing (the description limit).
    bool (*applies)(int32_t converterType, int bacnetType, bool reading);
    // The list of an index, choice or fixed-index key; null for the other forms.
    QStringList (*items)(int32_t converterType);
};

// Every key in file order. `BACnet_Desc_Chars_Limit` appears twice: a file holds it either
// after the BACnet/IP keys or after the MS/TP keys.
const std::vector<KeyDesc>& parGenKeys();

// The list items of an index or choice key for a device type, position 0 first; empty for
// other keys. `Sel_Dev_MBus_Present` takes its items from the UI-text table.
QStringList keyItems(const QString& key, int32_t converterType);

// The comment written after the root, "SW_VERSION = x.yyy"; empty for an unknown device type.
QString versionComment(int32_t converterType);

// True for the device types whose window offers the BACnet type (and the MS/TP keys).
bool hasBacnetType(int32_t converterType);
// The BACnet type the file stores and the checks follow: 0 for the device types without the
// choice and for device type 20, the missing default for a position outside the list.
int effectiveBacnetType(const ParGen& p, int32_t converterType);

// The model of a loaded file. Keys that do not belong to the device type are ignored.
ParGen readParGen(const ParGenFile& file, int32_t converterType);

struct ParGenLoad {
    ParGenFile::Status status = ParGenFile::Status::NoFile;
    QString error;  // why a Damaged file could not be read
    ParGen values;  // the missing defaults unless the status is Loaded
};
// Reads the file at `path` (usually `workspace::ws().Path_ParGen`). A missing or damaged file
// gives the missing defaults; a damaged file is left untouched on disk.
ParGenLoad loadParGen(const QString& path, int32_t converterType);

// Replaces the document's contents with the file of this device type.
void writeParGen(const ParGen& p, int32_t converterType, platform::XmlDocument& doc);
QByteArray parGenBytes(const ParGen& p, int32_t converterType);
// Writes the whole file through a temp file and rename; false on failure, with the message
// "Error! The file ParGen.xml cannot be written: <reason>" (the previous file stays).
bool saveParGen(const QString& path, const ParGen& p, int32_t converterType, QString* error = nullptr);

} // namespace parameters
