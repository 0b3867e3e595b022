#include "parameters/ParGenCheck.h"
#include "support/QtPrinters.h"
#include "workspace/LangTexts.h"
#include "workspace/Workspace.h"

#include <gtest/gtest.h>

#include <functional>

using namespace parameters;

namespace {

const int32_t kAllTypes[] = {0, 1, 2, 3, 4, 6, 7, 8, 9, 10, 11, 12, 13,
                             14, 15, 16, 17, 18, 19, 20, 21, 1001, 1002, 1003, 2016};

struct Case {
    const char* name;
    int32_t type;
    std::function<void(ParGen&)> change;
    int text;            // -1: the checks pass
    const char* field;   // control to focus
    const char* appended = "";
};

class ParGenCheck : public testing::Test {
protected:
    ParGenCheck() { workspace::Default_Texts(); }

    static void run(const std::vector<Case>& cases)
    {
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << c.name << " (device type " << c.type << ")");
            ParGen p;
            c.change(p);
            const CheckResult r = Controllo_Dati(p, c.type);
            if (c.text < 0) {
                EXPECT_TRUE(r.ok) << "text " << r.textIndex << " " << r.field.toStdString();
                EXPECT_EQ(r.message(), QString());
                continue;
            }
            EXPECT_FALSE(r.ok);
            EXPECT_EQ(r.textIndex, c.text);
            EXPECT_EQ(r.field, QLatin1String(c.field));
            EXPECT_EQ(r.appended, QLatin1String(c.appended));
        }
    }

    workspace::ScopedWorkspace scoped_;
};

} // namespace

TEST_F(ParGenCheck, DefaultsPassForEveryDeviceType)
{
    for (int32_t type : kAllTypes) {
        const CheckResult r = Controllo_Dati(ParGen{}, type);
        EXPECT_TRUE(r.ok) << type << ": text " << r.textIndex;
    }
}

TEST_F(ParGenCheck, BacnetIpStep)
{
    run({
        {"IP octet above 255", 3, [](ParGen& p) { p.BACnet_IP1 = "256"; }, 206, "E_IP1"},
        {"empty IP octet", 3, [](ParGen& p) { p.BACnet_IP3 = ""; }, 208, "E_IP3"},
        {"IP octet with blank after", 3, [](ParGen& p) { p.BACnet_IP4 = "5 "; }, 209, "E_IP4"},
        {"hex octet", 3, [](ParGen& p) { p.BACnet_IP4 = "$FF"; }, -1, ""},
        {"mask octet", 3, [](ParGen& p) { p.BACnet_SM4 = "-1"; }, 213, "E_SM4"},
        {"gateway unused", 3, [](ParGen& p) { p.BACnet_GAT2 = "300"; }, -1, ""},
        {"gateway used", 3, [](ParGen& p) { p.BACnet_GAT2 = "300"; p.BACnet_EN_GAT = true; }, 215, "E_GAT2"},
        {"port 10001", 3, [](ParGen& p) { p.BACnet_PORT = "10001"; }, 218, "E_PORT"},
        {"port 10000", 3, [](ParGen& p) { p.BACnet_PORT = "10000"; }, 218, "E_PORT"},
        {"port 65536", 3, [](ParGen& p) { p.BACnet_PORT = "65536"; }, 218, "E_PORT"},
        {"empty port", 3, [](ParGen& p) { p.BACnet_PORT = ""; }, 218, "E_PORT"},
        {"port 0", 3, [](ParGen& p) { p.BACnet_PORT = "0"; }, -1, ""},
        {"identifier top", 3, [](ParGen& p) { p.BACnet_DEV_IDE = "4194303"; }, -1, ""},
        {"identifier past top", 3, [](ParGen& p) { p.BACnet_DEV_IDE = "4194304"; }, 220, "E_BACnet_Dev_Ide"},
        {"name of capitals, small letters, digits", 9, [](ParGen& p) { p.BACnet_NAME_STA = "Dev1abcZ9"; }, -1, ""},
        {"name with hyphen", 9, [](ParGen& p) { p.BACnet_NAME_STA = "dev-1"; }, 219, "E_BACnet_Name_Station"},
        {"name with blank", 9, [](ParGen& p) { p.BACnet_NAME_STA = "dev 1"; }, 219, "E_BACnet_Name_Station"},
        {"empty name", 9, [](ParGen& p) { p.BACnet_NAME_STA = ""; }, -1, ""},
        {"name unchecked elsewhere", 3, [](ParGen& p) { p.BACnet_NAME_STA = "dev-1"; }, -1, ""},
        {"first failure only", 3, [](ParGen& p) { p.BACnet_SM1 = "x"; p.BACnet_IP2 = "x"; }, 207, "E_IP2"},
        // Device types without the choice: their own texts and bounds.
        {"fixed: port 10001 allowed", 10, [](ParGen& p) { p.BACnet_PORT = "10001"; }, -1, ""},
        {"fixed: port 10000", 10, [](ParGen& p) { p.BACnet_PORT = "10000"; }, 235, "E_PORT"},
        {"fixed: IP", 10, [](ParGen& p) { p.BACnet_IP1 = "x"; }, 223, "E_IP1"},
        {"fixed: mask", 13, [](ParGen& p) { p.BACnet_SM2 = "256"; }, 228, "E_SM2"},
        {"fixed: gateway", 14, [](ParGen& p) { p.BACnet_GAT4 = ""; p.BACnet_EN_GAT = true; }, 234, "E_GAT4"},
        {"fixed: identifier top", 15, [](ParGen& p) { p.BACnet_DEV_IDE = "65536"; }, -1, ""},
        {"fixed: identifier past top", 15, [](ParGen& p) { p.BACnet_DEV_IDE = "65537"; }, 237, "E_BACnet_Dev_Ide"},
        {"fixed: hidden box still checked", 1002, [](ParGen& p) { p.BACnet_IP1 = ""; }, 223, "E_IP1"},
        {"fixed: hidden box still checked", 1003, [](ParGen& p) { p.BACnet_DEV_IDE = "-1"; }, 237, "E_BACnet_Dev_Ide"},
        {"fixed: name unchecked", 1001, [](ParGen& p) { p.BACnet_NAME_STA = "a-b"; }, -1, ""},
        {"21 with BACnet/IP is fixed", 21, [](ParGen& p) { p.BACnet_PORT = "10001"; }, -1, ""},
        {"21 with BACnet/IP", 21, [](ParGen& p) { p.BACnet_DEV_IDE = "65537"; }, 237, "E_BACnet_Dev_Ide"},
        {"21 ignores MS/TP values under BACnet/IP", 21, [](ParGen& p) { p.BACnet_Ser_ID = "200"; }, -1, ""},
        // An index outside the type list is BACnet/IP, as it is written.
        {"BACnet type outside list", 3, [](ParGen& p) { p.BACnet_Type = 5; p.BACnet_PORT = "10001"; }, 218, "E_PORT"},
        {"20 always BACnet/IP", 20, [](ParGen& p) { p.BACnet_Type = 1; p.BACnet_PORT = "10001"; }, 218, "E_PORT"},
    });
}

TEST_F(ParGenCheck, MstpStep)
{
    run({
        {"slow baud on device type 1", 1, [](ParGen& p) { p.BACnet_Type = 1; p.BACnet_Ser_Baudrate = 2; }, 221,
         "CB_BACnet_Ser_Baud"},
        {"1200 baud", 1, [](ParGen& p) { p.BACnet_Type = 2; p.BACnet_Ser_Baudrate = 0; }, 221, "CB_BACnet_Ser_Baud"},
        {"9600 baud, then the second port", 1,
         [](ParGen& p) { p.BACnet_Type = 1; p.BACnet_Ser_Baudrate = 3; p.Eth2_IP2 = "256"; }, 1986, "E_Eth2_IP2"},
        {"second port mask", 1, [](ParGen& p) { p.BACnet_Type = 2; p.Eth2_SM4 = ""; }, 1992, "E_Eth2_SM4"},
        {"second port gateway unused", 1, [](ParGen& p) { p.BACnet_Type = 2; p.Eth2_GAT1 = "x"; }, -1, ""},
        {"second port gateway", 1, [](ParGen& p) { p.BACnet_Type = 2; p.Eth2_GAT1 = "x"; p.Eth2_EN_GAT = true; },
         1993, "E_Eth2_GAT1"},
        {"low baud position fine on other types", 8, [](ParGen& p) { p.BACnet_Type = 1; p.BACnet_Ser_Baudrate = 0; },
         -1, ""},
        {"no second port checks on other types", 8, [](ParGen& p) { p.BACnet_Type = 1; p.Eth2_IP1 = "x"; }, -1, ""},
        {"BACnet/IP unchecked under MS/TP", 3, [](ParGen& p) { p.BACnet_Type = 1; p.BACnet_PORT = "10001"; }, -1, ""},
        {"MAC address", 8, [](ParGen& p) { p.BACnet_Type = 1; p.BACnet_Ser_ID = "128"; }, 222, "E_BACnet_Ser_ID"},
        {"MAC address 127", 8, [](ParGen& p) { p.BACnet_Type = 1; p.BACnet_Ser_ID = "127"; }, -1, ""},
        {"Max Master 0", 0, [](ParGen& p) { p.BACnet_Type = 1; p.BACnet_Ser_Max_Master = "0"; }, 1053,
         "E_BACnet_Ser_MaxMaster"},
        {"Max Info Frames 101", 2, [](ParGen& p) { p.BACnet_Type = 1; p.BACnet_Ser_Max_Info_Frames = "101"; }, 1054,
         "E_BACnet_Ser_MaxInfoFrames"},
        {"Max Info Frames 100", 2, [](ParGen& p) { p.BACnet_Type = 1; p.BACnet_Ser_Max_Info_Frames = "100"; }, -1, ""},
        {"device instance", 16, [](ParGen& p) { p.BACnet_Type = 1; p.BACnet_Ser_DEV_IDE = "4194304"; }, 1050,
         "E_BACnet_Ser_Dev_Ide"},
        {"network 65535", 17, [](ParGen& p) { p.BACnet_Type = 1; p.BACnet_Ser_Network = "65535"; }, 1056,
         "E_BACnet_Ser_Network"},
        {"network 65534", 17, [](ParGen& p) { p.BACnet_Type = 1; p.BACnet_Ser_Network = "65534"; }, -1, ""},
        {"network 0", 1, [](ParGen& p) { p.BACnet_Type = 1; p.BACnet_Ser_Network = "0"; }, 1056, "E_BACnet_Ser_Network"},
        // Device type 21 with MS/TP: its Ethernet box and then the MS/TP values.
        {"21: MS/TP MAC address", 21, [](ParGen& p) { p.BACnet_Type = 1; p.BACnet_Ser_ID = "128"; }, 222,
         "E_BACnet_Ser_ID"},
        {"21: MS/TP network", 21, [](ParGen& p) { p.BACnet_Type = 1; p.BACnet_Ser_Network = ""; }, 1056,
         "E_BACnet_Ser_Network"},
        {"21: Ethernet box address", 21, [](ParGen& p) { p.BACnet_Type = 1; p.BACnet_IP1 = "256"; }, 223, "E_IP1"},
        {"21: hidden BACnet/IP port", 21, [](ParGen& p) { p.BACnet_Type = 1; p.BACnet_PORT = "10000"; }, -1, ""},
    });
}

TEST_F(ParGenCheck, FieldSideStep)
{
    run({
        {"2 stop bits, no parity", 0, [](ParGen& p) { p.ModbusM_STOPBITS = 1; }, -1, ""},
        {"2 stop bits, odd parity, before the time-out", 0,
         [](ParGen& p) { p.ModbusM_STOPBITS = 1; p.ModbusM_PARITY = 1; p.ModbusM_TIMEOUT = "x"; }, 238,
         "CB_StopBits_Modbus_Master"},
        {"Modbus time-out", 0, [](ParGen& p) { p.ModbusM_TIMEOUT = "100001"; }, 239, "E_TO_Modbus_Master"},
        {"Modbus cyclic delay", 0, [](ParGen& p) { p.ModbusM_CYCLIC = "10001"; }, 240, "E_CD_Modbus_Master"},
        {"array position unused", 0, [](ParGen& p) { p.ModbusM_Slaves_Present_Array_Position = "1423"; }, -1, ""},
        {"array position", 0,
         [](ParGen& p) { p.ModbusM_Slaves_Present = true; p.ModbusM_Slaves_Present_Array_Position = "1423"; }, 2315,
         "E_Modbus_Master_Array_Pos", "1422"},
        {"array position top", 0,
         [](ParGen& p) { p.ModbusM_Slaves_Present = true; p.ModbusM_Slaves_Present_Array_Position = "1422"; }, -1, ""},
        {"M-Bus cyclic delay", 1, [](ParGen& p) { p.Meter_Req_Delay = "65536"; }, 241, "E_CD_Mbus"},
        {"M-Bus node state", 20, [](ParGen& p) { p.Meter_NS_Error_Code = "256"; }, 242, "E_NSE_MBus"},
        {"1001 has no node state", 1001, [](ParGen& p) { p.Meter_NS_Error_Code = "256"; }, -1, ""},
        {"1002 node state", 1002, [](ParGen& p) { p.Meter_NS_Error_Code = ""; }, 242, "E_NSE_MBus"},
        {"Modbus slave ID 0", 2, [](ParGen& p) { p.MODBUS_SLAVE_IDDEVICE = "0"; }, 243, "E_ID_Modbus_Slave"},
        {"Modbus slave ID 247", 2, [](ParGen& p) { p.MODBUS_SLAVE_IDDEVICE = "247"; }, -1, ""},
        {"TCP master mask", 3, [](ParGen& p) { p.Modbus_TCP_Master_SM3 = "256"; }, 2306, "E_Modbus_TCP_Master_SM3"},
        {"TCP master gateway", 3,
         [](ParGen& p) { p.Modbus_TCP_Master_GAT4 = "x"; p.Modbus_TCP_Master_EN_GAT = true; }, 2311,
         "E_Modbus_TCP_Master_GAT4"},
        {"TCP master port = BACnet port", 3, [](ParGen& p) { p.ModbusTCPM_PORT = "47808"; }, 244,
         "E_Port_Modbus_TCP_Master", "47808"},
        {"TCP master port = other BACnet port", 3,
         [](ParGen& p) { p.BACnet_PORT = "1234"; p.ModbusTCPM_PORT = "1234"; }, 244, "E_Port_Modbus_TCP_Master", "1234"},
        {"TCP master port 10000", 3, [](ParGen& p) { p.ModbusTCPM_PORT = "10000"; }, 244, "E_Port_Modbus_TCP_Master",
         "47808"},
        {"TCP master port under MS/TP", 3,
         [](ParGen& p) { p.BACnet_Type = 1; p.BACnet_PORT = ""; p.ModbusTCPM_PORT = "47808"; }, 244,
         "E_Port_Modbus_TCP_Master", "47808"},
        {"TCP master port 502", 3, [](ParGen& p) { p.ModbusTCPM_PORT = "502"; }, -1, ""},
        {"TCP master time-out", 3, [](ParGen& p) { p.ModbusTCPM_TIMEOUT = "-1"; }, 245, "E_TO_Modbus_TCP_Master"},
        {"TCP master cyclic", 3, [](ParGen& p) { p.ModbusTCPM_CYCLIC = "10001"; }, 246, "E_CD_Modbus_TCP_Master"},
        {"TCP slave port", 4, [](ParGen& p) { p.ModbusTCPS_PORT = "47808"; }, 247, "E_Port_Modbus_TCP_Slave", "47808"},
        {"TCP slave IP on 1003", 1003, [](ParGen& p) { p.Modbus_TCP_Slave_IP1 = "256"; }, 1968,
         "E_Modbus_TCP_Slave_IP1"},
        {"TCP slave gateway on 1003", 1003,
         [](ParGen& p) { p.Modbus_TCP_Slave_GAT1 = ""; p.Modbus_TCP_Slave_EN_GAT = true; }, 1976,
         "E_Modbus_TCP_Slave_GAT1"},
        {"1003 checks no M-Bus value", 1003, [](ParGen& p) { p.Meter_Req_Delay = "x"; }, -1, ""},
        {"PROFIBUS ID", 6, [](ParGen& p) { p.PROFIBUS_SLAVE_ID_DEV = "126"; }, 248, "E_ID_DEV_PROFI_Slave"},
        {"PROFIBUS bytes in", 6, [](ParGen& p) { p.PROFIBUS_SLAVE_NB_IN = "245"; }, 249, "E_B_IN_PROFI_Slave"},
        {"PROFIBUS bytes out", 6, [](ParGen& p) { p.PROFIBUS_SLAVE_NB_OUT = "-1"; }, 250, "E_B_OUT_PROFI_Slave"},
        {"CANopen ID", 8, [](ParGen& p) { p.CANopen_IDDev = "128"; }, 251, "E_ID_CANopen"},
        {"CANopen delay unused", 8, [](ParGen& p) { p.CANopen_Delay = "256"; }, -1, ""},
        {"CANopen delay", 8, [](ParGen& p) { p.CANopen_Delay = "256"; p.CANopen_Network_Start = true; }, 252,
         "E_NO_Delay_CANopen"},
        {"CANopen SDO time-out", 8, [](ParGen& p) { p.CANopen_SDO_TimeOut = "100001"; }, 253, "E_SDO_TO_CANopen"},
        {"PROFINET port", 9, [](ParGen& p) { p.PROFINET_PORT = "34965"; }, 254, "E_PORT_PROFINET"},
        {"PROFINET bytes in", 9, [](ParGen& p) { p.PROFINET_NB_IN = "0"; }, 255, "E_B_IN_PROFINET"},
        {"1002 has no bytes in", 1002, [](ParGen& p) { p.PROFINET_NB_IN = "0"; }, -1, ""},
        {"PROFINET bytes out", 1002, [](ParGen& p) { p.PROFINET_NB_OUT = "1440"; }, 256, "E_B_OUT_PROFINET"},
        {"PROFINET IP", 9, [](ParGen& p) { p.PROFINET_IP4 = "256"; }, 1907, "E_PROFINET_IP4"},
        {"PROFINET gateway", 9, [](ParGen& p) { p.PROFINET_GAT2 = "256"; p.PROFINET_EN_GAT = true; }, 1913,
         "E_PROFINET_GAT2"},
        {"PROFINET name", 1002, [](ParGen& p) { p.PROFINET_NAME_STA = "dev_2"; }, 236, "E_PROFINET_Name"},
        {"DeviceNet master ID", 10, [](ParGen& p) { p.DNETM_ID_DEV = "64"; }, 257, "E_ID_DNET_Master"},
        {"DeviceNet slave ID", 11, [](ParGen& p) { p.DNETS_ID_DEV = "64"; }, 258, "E_ID_DNET_Slave"},
        {"DeviceNet slave in", 11, [](ParGen& p) { p.DNETS_NB_IN = "456"; }, 259, "E_NB_IN_DNET_Slave"},
        {"DeviceNet slave out", 11, [](ParGen& p) { p.DNETS_NB_OUT = "456"; }, 260, "E_NB_OUT_DNET_Slave"},
        {"EtherNet/IP mask", 12, [](ParGen& p) { p.EtherNetIP_SM1 = "x"; }, 2324, "E_EtherNetIP_SM1"},
        {"EtherNet/IP port", 12, [](ParGen& p) { p.EtherNetIP_PORT = "44819"; }, 261, "E_Port_EtherNetIP"},
        {"EtherNet/IP in", 12, [](ParGen& p) { p.EtherNetIP_NB_IN = "497"; }, 262, "E_B_IN_EtherNetIP"},
        {"EtherNet/IP out 500", 12, [](ParGen& p) { p.EtherNetIP_NB_OUT = "500"; }, -1, ""},
        {"EtherNet/IP out", 12, [](ParGen& p) { p.EtherNetIP_NB_OUT = "501"; }, 263, "E_B_OUT_EtherNetIP"},
        {"J1939 time-out", 13, [](ParGen& p) { p.J1939_TIMEOUT = "100001"; }, 264, "E_TO_J1939"},
        {"NMEA 2000 time-out", 14, [](ParGen& p) { p.NMEA2000_TIMEOUT = ""; }, 265, "E_TO_NMEA2000"},
        {"Ethernet port = BACnet port", 15, [](ParGen& p) { p.Ethernet_PORT = "47808"; }, 266, "E_Port_Ethernet",
         "47808"},
        {"KNX 0.0.0", 16, [](ParGen& p) { p.KNX_ID_DEV = "0.0.0"; }, 1017, "E_ID_DEV_KNX"},
        {"KNX area 16", 2016, [](ParGen& p) { p.KNX_ID_DEV = "16.0.1"; }, 1017, "E_ID_DEV_KNX"},
        {"KNX group form", 16, [](ParGen& p) { p.KNX_ID_DEV = "1/2/3"; }, 1017, "E_ID_DEV_KNX"},
        {"KNX trimmed", 2016, [](ParGen& p) { p.KNX_ID_DEV = " 15.15.255 "; }, -1, ""},
        {"DMX 23 channels", 18, [](ParGen& p) { p.DMX_Num_Channels = "23"; }, 1061, "E_DMX_Num_Channel"},
        {"DMX 24 channels", 18, [](ParGen& p) { p.DMX_Num_Channels = "24"; }, -1, ""},
        {"SNMP manager IP", 19, [](ParGen& p) { p.SNMP_Agent_IP4 = "256"; }, 1084, "E_IP4_SNMP_Manager"},
        {"SNMP manager gateway", 19, [](ParGen& p) { p.SNMP_Agent_GAT3 = "x"; p.SNMP_Agent_EN_GAT = true; }, 1091,
         "E_GAT3_SNMP_Manager"},
        {"BACnet side first", 3, [](ParGen& p) { p.BACnet_IP1 = "x"; p.ModbusTCPM_PORT = "x"; }, 206, "E_IP1"},
    });
    // Device types with nothing to check on the field side.
    for (int32_t type : {7, 17, 21}) {
        ParGen p;
        p.ModbusM_TIMEOUT = p.Meter_Req_Delay = p.DMX_Num_Channels = p.KNX_ID_DEV = QStringLiteral("x");
        p.SNMP_Name_of_Station = QStringLiteral("a-b");
        EXPECT_TRUE(Controllo_Dati(p, type).ok) << type;
    }
}

TEST_F(ParGenCheck, MBusTimingLimitsFollowTheBaudRate)
{
    struct Row {
        int baudIndex;
        int waitLowest; // lowest wait answer that passes
        const char* waitShown;
        int idleLowest;
        const char* idleShown;
    } rows[] = {
        {0, 1150, "1150", 110, "110"}, {1, 600, "600", 55, "55"},   {2, 325, "325", 28, "28"},
        {3, 188, "188", 14, "14"},     {4, 119, "119", 7, "7"},     {5, 85, "84", 4, "3"},
        {6, 68, "67", 2, "2"},         {7, 59, "59", 1, "1"},       {-1, 188, "188", 14, "14"}, // nothing chosen
    };
    for (int32_t type : {1001, 1002}) {
        for (const Row& row : rows) {
            SCOPED_TRACE(testing::Message() << "type " << type << " baud index " << row.baudIndex);
            ParGen p;
            p.Meter_Baud = row.baudIndex;
            p.Enable_Wait_Answer = true;
            for (int v : {row.waitLowest, 2000}) {
                p.Wait_Answer = QString::number(v);
                EXPECT_TRUE(Controllo_Dati(p, type).ok) << v;
            }
            for (int v : {row.waitLowest - 1, 2001}) {
                p.Wait_Answer = QString::number(v);
                const CheckResult r = Controllo_Dati(p, type);
                EXPECT_EQ(r.field, QStringLiteral("E_MBus_WaitAnswer")) << v;
                EXPECT_EQ(r.message(),
                          QStringLiteral("Error M-Bus!! Wait Answer must be between %1 and 2000 ms").arg(row.waitShown));
            }
            p = ParGen{};
            p.Meter_Baud = row.baudIndex;
            p.Enable_Idle_Time = true;
            p.Wait_Answer = QStringLiteral("x"); // not ticked: not looked at
            for (int v : {row.idleLowest, 2000}) {
                p.Idle_Time = QString::number(v);
                EXPECT_TRUE(Controllo_Dati(p, type).ok) << v;
            }
            for (int v : {row.idleLowest - 1, 2001}) {
                p.Idle_Time = QString::number(v);
                const CheckResult r = Controllo_Dati(p, type);
                EXPECT_EQ(r.field, QStringLiteral("E_MBus_IdleTime")) << v;
                EXPECT_EQ(r.message(),
                          QStringLiteral("Error M-Bus!! Idle Time must be between %1 and 2000 ms").arg(row.idleShown));
            }
        }
    }
}

TEST_F(ParGenCheck, MBusTimingBoxesThatAreNotNumbersFail)
{
    run({
        {"wait answer text", 1002, [](ParGen& p) { p.Meter_Baud = 1; p.Enable_Wait_Answer = true; p.Wait_Answer = "x"; },
         1282, "E_MBus_WaitAnswer", "600"},
        {"wait answer empty", 1001, [](ParGen& p) { p.Meter_Baud = 7; p.Enable_Wait_Answer = true; p.Wait_Answer = ""; },
         1282, "E_MBus_WaitAnswer", "59"},
        {"idle time text", 1001, [](ParGen& p) { p.Meter_Baud = 5; p.Enable_Idle_Time = true; p.Idle_Time = "1000ms"; },
         1284, "E_MBus_IdleTime", "3"},
        {"wait answer checked before idle time", 1001,
         [](ParGen& p) { p.Enable_Wait_Answer = p.Enable_Idle_Time = true; p.Wait_Answer = p.Idle_Time = "0"; }, 1282,
         "E_MBus_WaitAnswer", "1150"},
        {"1003 has no timing checks", 1003,
         [](ParGen& p) { p.Enable_Wait_Answer = true; p.Wait_Answer = "x"; }, -1, ""},
        {"cyclic delay before timing", 1002,
         [](ParGen& p) { p.Meter_Req_Delay = "x"; p.Enable_Wait_Answer = true; p.Wait_Answer = "x"; }, 241, "E_CD_Mbus"},
        {"timing before PROFINET", 1002,
         [](ParGen& p) { p.PROFINET_NB_OUT = "0"; p.Enable_Idle_Time = true; p.Idle_Time = "1"; }, 1284,
         "E_MBus_IdleTime", "110"},
    });
    ParGen p;
    p.Enable_Wait_Answer = true;
    p.Wait_Answer = QStringLiteral("1000");
    EXPECT_EQ(Controllo_Dati(p, 1002).message(), QStringLiteral("Error M-Bus!! Wait Answer must be between 1150 and 2000 ms"));
}

TEST_F(ParGenCheck, MessagesAppendTheirNumberWithoutSeparator)
{
    ParGen p;
    p.ModbusTCPM_PORT = QStringLiteral("47808");
    EXPECT_EQ(Controllo_Dati(p, 3).message(),
              QStringLiteral("Error Modbus TCP Master!! Port must be between 0 and 65535, and different from 10000 and 47808"));
    p = ParGen{};
    p.ModbusM_Slaves_Present = true;
    p.ModbusM_Slaves_Present_Array_Position = QStringLiteral("-5");
    EXPECT_EQ(Controllo_Dati(p, 0).message(),
              QStringLiteral("Error Modbus Master!! Slave Present Array Position must be between 0 and 1422"));
    p = ParGen{};
    p.BACnet_PORT = QStringLiteral("10000");
    EXPECT_EQ(Controllo_Dati(p, 13).message(),
              QStringLiteral("Error BACnet!! PORT must be between 0 and 65535, and different from 10000"));
    // The program's device type when none is given.
    workspace::ws().Converter_Type = 15;
    p = ParGen{};
    p.Ethernet_PORT = QStringLiteral("10000");
    EXPECT_EQ(Controllo_Dati(p).textIndex, 266);
}

TEST(CheckDeviceName, TrueWhenACharacterIsNotAnAsciiLetterOrDigit)
{
    struct {
        const char16_t* name;
        bool bad;
    } cases[] = {
        {u"", false},       {u"abcXYZ019", false}, {u"a-b", true},  {u" a", true},
        {u"a_b", true},     {u"caf\u00e9", true},  {u"a.b", true},  {u"Z", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Check_Device_Name(QString::fromUtf16(c.name)), c.bad) << QString::fromUtf16(c.name).toStdString();
}
