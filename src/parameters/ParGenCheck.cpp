#include "parameters/ParGenCheck.h"

#include "platform/text/Text.h"
#include "workspace/Validators.h"
#include "workspace/Workspace.h"

#include <array>

namespace parameters {

namespace {

constexpr int32_t kNotANumber = -1;

int32_t number(const QString& text) { return platform::toIntDef(text, kNotANumber); }

// The device types whose BACnet checks follow the BACnet type; every other type is checked
// as BACnet/IP (device type 21 also runs the MS/TP checks when MS/TP is chosen).
bool isSwitchable(int32_t t) { return hasBacnetType(t) && t != 21; }

// Four boxes of one address, tested in the order 1..4, each with its own text.
using Address = std::array<QString ParGen::*, 4>;

// The control of a value, as the key table names it.
const char* fieldOf(QString ParGen::*member)
{
    for (const KeyDesc& k : parGenKeys())
        if (k.member == KeyMember(member))
            return k.field;
    return "";
}

class Checker {
public:
    const CheckResult& result() const { return r_; }
    bool failed() const { return !r_.ok; }

    void fail(int text, const char* field, const QString& appended = {}, int trailing = -1)
    {
        if (failed())
            return;
        r_.ok = false;
        r_.textIndex = text;
        r_.field = QLatin1String(field);
        r_.appended = appended;
        r_.trailingTextIndex = trailing;
    }

    void range(const QString& value, const char* field, int64_t lo, int64_t hi, int text)
    {
        if (failed())
            return;
        const int32_t n = number(value);
        if (n < lo || n > hi)
            fail(text, field);
    }

    // 0..255 for each octet; texts firstText .. firstText + 3.
    void octets(const ParGen& p, const Address& a, int firstText)
    {
        for (size_t i = 0; i < a.size() && !failed(); ++i)
            range(p.*a[i], fieldOf(a[i]), 0, 255, firstText + int(i));
    }

    // A port 0..65535 that is not 10000 and not the BACnet/IP port; the message ends with it.
    void fieldPort(const QString& value, const char* field, int32_t bacnetPort, int text)
    {
        if (failed())
            return;
        const int32_t n = number(value);
        if (n < 0 || n > 65535 || n == 10000 || n == bacnetPort)
            fail(text, field, QString::number(bacnetPort));
    }

private:
    CheckResult r_;
};

constexpr int64_t kMaxDeviceInstance = 4194303;     // the BACnet object identifier's instance field
constexpr int64_t kMaxFixedDeviceInstance = 65536;  // the models without the BACnet type choice

constexpr Address kBacnetIp = {&ParGen::BACnet_IP1, &ParGen::BACnet_IP2, &ParGen::BACnet_IP3, &ParGen::BACnet_IP4};
constexpr Address kBacnetSm = {&ParGen::BACnet_SM1, &ParGen::BACnet_SM2, &ParGen::BACnet_SM3, &ParGen::BACnet_SM4};
constexpr Address kBacnetGat = {&ParGen::BACnet_GAT1, &ParGen::BACnet_GAT2, &ParGen::BACnet_GAT3, &ParGen::BACnet_GAT4};

// BACnet/IP of the device types with a BACnet type choice.
void checkBacnetIpSwitchable(Checker& c, const ParGen& p, int32_t type)
{
    c.octets(p, kBacnetIp, 206);
    c.octets(p, kBacnetSm, 210);
    if (p.BACnet_EN_GAT)
        c.octets(p, kBacnetGat, 214);
    if (!c.failed()) {
        const int32_t port = number(p.BACnet_PORT);
        if (port < 0 || port > 65535 || port == 10000 || port == 10001)
            c.fail(218, "E_PORT");
    }
    if (type == 9 && !c.failed() && Check_Device_Name(p.BACnet_NAME_STA))
        c.fail(219, "E_BACnet_Name_Station");
    c.range(p.BACnet_DEV_IDE, "E_BACnet_Dev_Ide", 0, kMaxDeviceInstance, 220);
}

// BACnet/IP of the device types without the choice: other texts and bounds.
void checkBacnetIpFixedAddresses(Checker& c, const ParGen& p)
{
    c.octets(p, kBacnetIp, 223);
    c.octets(p, kBacnetSm, 227);
    if (p.BACnet_EN_GAT)
        c.octets(p, kBacnetGat, 231);
}

void checkBacnetIpFixed(Checker& c, const ParGen& p)
{
    checkBacnetIpFixedAddresses(c, p);
    if (!c.failed()) {
        const int32_t port = number(p.BACnet_PORT);
        if (port < 0 || port > 65535 || port == 10000)
            c.fail(235, "E_PORT");
    }
    c.range(p.BACnet_DEV_IDE, "E_BACnet_Dev_Ide", 0, kMaxFixedDeviceInstance, 237);
}

void checkMstp(Checker& c, const ParGen& p, int32_t type)
{
    if (type == 1 || type == 20) {
        if (!c.failed() && p.BACnet_Ser_Baudrate >= 0 && p.BACnet_Ser_Baudrate <= 2)
            c.fail(221, "CB_BACnet_Ser_Baud");
        c.octets(p, {&ParGen::Eth2_IP1, &ParGen::Eth2_IP2, &ParGen::Eth2_IP3, &ParGen::Eth2_IP4}, 1985);
        c.octets(p, {&ParGen::Eth2_SM1, &ParGen::Eth2_SM2, &ParGen::Eth2_SM3, &ParGen::Eth2_SM4}, 1989);
        if (p.Eth2_EN_GAT)
            c.octets(p, {&ParGen::Eth2_GAT1, &ParGen::Eth2_GAT2, &ParGen::Eth2_GAT3, &ParGen::Eth2_GAT4}, 1993);
    }
    c.range(p.BACnet_Ser_ID, "E_BACnet_Ser_ID", 0, 127, 222);
    c.range(p.BACnet_Ser_Max_Master, "E_BACnet_Ser_MaxMaster", 1, 127, 1053);
    c.range(p.BACnet_Ser_Max_Info_Frames, "E_BACnet_Ser_MaxInfoFrames", 1, 100, 1054);
    c.range(p.BACnet_Ser_DEV_IDE, "E_BACnet_Ser_Dev_Ide", 0, kMaxDeviceInstance, 1050);
    c.range(p.BACnet_Ser_Network, "E_BACnet_Ser_Network", 1, 65534, 1056);
}

// Wait-answer and idle-time limits follow the M-Bus baud rate: the answer may come 330 bit
// times plus 50 ms after the request, the idle time must cover 33 bit times. A box that is
// not a number fails.
void checkMBusTiming(Checker& c, const ParGen& p)
{
    if (c.failed() || !(p.Enable_Wait_Answer || p.Enable_Idle_Time))
        return;
    static constexpr std::array<int, 8> kBauds{300, 600, 1200, 2400, 4800, 9600, 19200, 38400};
    const int baud = (p.Meter_Baud >= 0 && p.Meter_Baud < int(kBauds.size())) ? kBauds[size_t(p.Meter_Baud)] : 2400;
    // Divided rather than multiplied by 1/baud: every minimum of the list is then exact.
    if (p.Enable_Wait_Answer) {
        const double min = 330.0 * 1000.0 / baud + 50.0;
        const auto n = platform::toInt(p.Wait_Answer);
        if (!n || *n < min || *n > 2000) {
            c.fail(1282, "E_MBus_WaitAnswer", QString::number(platform::roundHalfEven(min)), 1283);
            return;
        }
    }
    if (p.Enable_Idle_Time) {
        const double min = 33.0 * 1000.0 / baud;
        const auto n = platform::toInt(p.Idle_Time);
        if (!n || *n < min || *n > 2000)
            c.fail(1284, "E_MBus_IdleTime", QString::number(platform::roundHalfEven(min)), 1285);
    }
}

void checkProfinet(Checker& c, const ParGen& p, int32_t type)
{
    if (!c.failed() && number(p.PROFINET_PORT) != 34964)
        c.fail(254, "E_PORT_PROFINET");
    if (type == 9)
        c.range(p.PROFINET_NB_IN, "E_B_IN_PROFINET", 1, 1439, 255);
    c.range(p.PROFINET_NB_OUT, "E_B_OUT_PROFINET", 1, 1439, 256);
    c.octets(p, {&ParGen::PROFINET_IP1, &ParGen::PROFINET_IP2, &ParGen::PROFINET_IP3, &ParGen::PROFINET_IP4}, 1904);
    c.octets(p, {&ParGen::PROFINET_SM1, &ParGen::PROFINET_SM2, &ParGen::PROFINET_SM3, &ParGen::PROFINET_SM4}, 1908);
    if (p.PROFINET_EN_GAT)
        c.octets(p,
                 {&ParGen::PROFINET_GAT1, &ParGen::PROFINET_GAT2, &ParGen::PROFINET_GAT3, &ParGen::PROFINET_GAT4},
                 1912);
    if (!c.failed() && Check_Device_Name(p.PROFINET_NAME_STA))
        c.fail(236, "E_PROFINET_Name");
}

void checkFieldSide(Checker& c, const ParGen& p, int32_t type, int32_t bacnetPort)
{
    switch (type) {
    case 0:
        if (p.ModbusM_STOPBITS > 0 && p.ModbusM_PARITY > 0)
            c.fail(238, "CB_StopBits_Modbus_Master");
        c.range(p.ModbusM_TIMEOUT, "E_TO_Modbus_Master", 0, 100000, 239);
        c.range(p.ModbusM_CYCLIC, "E_CD_Modbus_Master", 0, 10000, 240);
        if (p.ModbusM_Slaves_Present && !c.failed()) {
            const int32_t n = number(p.ModbusM_Slaves_Present_Array_Position);
            if (n < 0 || n > 1422)
                c.fail(2315, "E_Modbus_Master_Array_Pos", QStringLiteral("1422"));
        }
        break;
    case 1:
    case 20:
    case 1001:
    case 1002:
        c.range(p.Meter_Req_Delay, "E_CD_Mbus", 0, 65535, 241);
        if (type != 1001)
            c.range(p.Meter_NS_Error_Code, "E_NSE_MBus", 0, 255, 242);
        if (type == 1001 || type == 1002)
            checkMBusTiming(c, p);
        if (type == 1002)
            checkProfinet(c, p, type);
        break;
    case 2:
        c.range(p.MODBUS_SLAVE_IDDEVICE, "E_ID_Modbus_Slave", 1, 247, 243);
        break;
    case 3:
        c.octets(p,
                 {&ParGen::Modbus_TCP_Master_IP1, &ParGen::Modbus_TCP_Master_IP2, &ParGen::Modbus_TCP_Master_IP3,
                  &ParGen::Modbus_TCP_Master_IP4},
                 2300);
        c.octets(p,
                 {&ParGen::Modbus_TCP_Master_SM1, &ParGen::Modbus_TCP_Master_SM2, &ParGen::Modbus_TCP_Master_SM3,
                  &ParGen::Modbus_TCP_Master_SM4},
                 2304);
        if (p.Modbus_TCP_Master_EN_GAT)
            c.octets(p,
                     {&ParGen::Modbus_TCP_Master_GAT1, &ParGen::Modbus_TCP_Master_GAT2,
                      &ParGen::Modbus_TCP_Master_GAT3, &ParGen::Modbus_TCP_Master_GAT4},
                     2308);
        c.fieldPort(p.ModbusTCPM_PORT, "E_Port_Modbus_TCP_Master", bacnetPort, 244);
        c.range(p.ModbusTCPM_TIMEOUT, "E_TO_Modbus_TCP_Master", 0, 100000, 245);
        c.range(p.ModbusTCPM_CYCLIC, "E_CD_Modbus_TCP_Master", 0, 10000, 246);
        break;
    case 4:
    case 1003:
        c.octets(p,
                 {&ParGen::Modbus_TCP_Slave_IP1, &ParGen::Modbus_TCP_Slave_IP2, &ParGen::Modbus_TCP_Slave_IP3,
                  &ParGen::Modbus_TCP_Slave_IP4},
                 1968);
        c.octets(p,
                 {&ParGen::Modbus_TCP_Slave_SM1, &ParGen::Modbus_TCP_Slave_SM2, &ParGen::Modbus_TCP_Slave_SM3,
                  &ParGen::Modbus_TCP_Slave_SM4},
                 1972);
        if (p.Modbus_TCP_Slave_EN_GAT)
            c.octets(p,
                     {&ParGen::Modbus_TCP_Slave_GAT1, &ParGen::Modbus_TCP_Slave_GAT2, &ParGen::Modbus_TCP_Slave_GAT3,
                      &ParGen::Modbus_TCP_Slave_GAT4},
                     1976);
        c.fieldPort(p.ModbusTCPS_PORT, "E_Port_Modbus_TCP_Slave", bacnetPort, 247);
        break;
    case 6:
        c.range(p.PROFIBUS_SLAVE_ID_DEV, "E_ID_DEV_PROFI_Slave", 1, 125, 248);
        c.range(p.PROFIBUS_SLAVE_NB_IN, "E_B_IN_PROFI_Slave", 0, 244, 249);
        c.range(p.PROFIBUS_SLAVE_NB_OUT, "E_B_OUT_PROFI_Slave", 0, 244, 250);
        break;
    case 8:
        c.range(p.CANopen_IDDev, "E_ID_CANopen", 1, 127, 251);
        if (p.CANopen_Network_Start)
            c.range(p.CANopen_Delay, "E_NO_Delay_CANopen", 0, 255, 252);
        c.range(p.CANopen_SDO_TimeOut, "E_SDO_TO_CANopen", 0, 100000, 253);
        break;
    case 9:
        checkProfinet(c, p, type);
        break;
    case 10:
        c.range(p.DNETM_ID_DEV, "E_ID_DNET_Master", 0, 63, 257);
        break;
    case 11:
        c.range(p.DNETS_ID_DEV, "E_ID_DNET_Slave", 0, 63, 258);
        c.range(p.DNETS_NB_IN, "E_NB_IN_DNET_Slave", 0, 455, 259);
        c.range(p.DNETS_NB_OUT, "E_NB_OUT_DNET_Slave", 0, 455, 260);
        break;
    case 12:
        c.octets(p,
                 {&ParGen::EtherNetIP_IP1, &ParGen::EtherNetIP_IP2, &ParGen::EtherNetIP_IP3, &ParGen::EtherNetIP_IP4},
                 2320);
        c.octets(p,
                 {&ParGen::EtherNetIP_SM1, &ParGen::EtherNetIP_SM2, &ParGen::EtherNetIP_SM3, &ParGen::EtherNetIP_SM4},
                 2324);
        if (p.EtherNetIP_EN_GAT)
            c.octets(p,
                     {&ParGen::EtherNetIP_GAT1, &ParGen::EtherNetIP_GAT2, &ParGen::EtherNetIP_GAT3,
                      &ParGen::EtherNetIP_GAT4},
                     2328);
        if (!c.failed() && number(p.EtherNetIP_PORT) != 44818)
            c.fail(261, "E_Port_EtherNetIP");
        c.range(p.EtherNetIP_NB_IN, "E_B_IN_EtherNetIP", 0, 496, 262);
        c.range(p.EtherNetIP_NB_OUT, "E_B_OUT_EtherNetIP", 0, 500, 263);
        break;
    case 13:
        c.range(p.J1939_TIMEOUT, "E_TO_J1939", 0, 100000, 264);
        break;
    case 14:
        c.range(p.NMEA2000_TIMEOUT, "E_TO_NMEA2000", 0, 100000, 265);
        break;
    case 15:
        c.fieldPort(p.Ethernet_PORT, "E_Port_Ethernet", bacnetPort, 266);
        break;
    case 16:
    case 2016:
        if (workspace::Check_KNX_Address(platform::trim(p.KNX_ID_DEV), false, false) != 0)
            c.fail(1017, "E_ID_DEV_KNX");
        break;
    case 18:
        c.range(p.DMX_Num_Channels, "E_DMX_Num_Channel", 24, 512, 1061);
        break;
    case 19:
        c.octets(p,
                 {&ParGen::SNMP_Agent_IP1, &ParGen::SNMP_Agent_IP2, &ParGen::SNMP_Agent_IP3, &ParGen::SNMP_Agent_IP4},
                 1081);
        c.octets(p,
                 {&ParGen::SNMP_Agent_SM1, &ParGen::SNMP_Agent_SM2, &ParGen::SNMP_Agent_SM3, &ParGen::SNMP_Agent_SM4},
                 1085);
        if (p.SNMP_Agent_EN_GAT)
            c.octets(p,
                     {&ParGen::SNMP_Agent_GAT1, &ParGen::SNMP_Agent_GAT2, &ParGen::SNMP_Agent_GAT3,
                      &ParGen::SNMP_Agent_GAT4},
                     1089);
        break;
    default: // 7, 17, 21 and unknown types have nothing more to check
        break;
    }
}

} // namespace

QString CheckResult::message() const
{
    if (ok)
        return {};
    QString m = workspace::text(textIndex) + appended;
    if (trailingTextIndex >= 0)
        m += workspace::text(trailingTextIndex);
    return m;
}

bool Check_Device_Name(const QString& str)
{
    for (const QChar ch : str) {
        const char16_t u = ch.unicode();
        const bool ok = (u >= u'0' && u <= u'9') || (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z');
        if (!ok)
            return true;
    }
    return false;
}

CheckResult checkDeviceInstance(const ParGen& p, int32_t type)
{
    // The branches of Controllo_Dati below.
    Checker c;
    const bool bacnetIp = effectiveBacnetType(p, type) == 0;
    if ((isSwitchable(type) || type == 21) && !bacnetIp)
        c.range(p.BACnet_Ser_DEV_IDE, "E_BACnet_Ser_Dev_Ide", 0, kMaxDeviceInstance, 1050);
    else if (isSwitchable(type))
        c.range(p.BACnet_DEV_IDE, "E_BACnet_Dev_Ide", 0, kMaxDeviceInstance, 220);
    else
        c.range(p.BACnet_DEV_IDE, "E_BACnet_Dev_Ide", 0, kMaxFixedDeviceInstance, 237);
    return c.result();
}

CheckResult Controllo_Dati(const ParGen& p, int32_t type)
{
    Checker c;
    const bool bacnetIp = effectiveBacnetType(p, type) == 0;
    if (isSwitchable(type)) {
        if (bacnetIp)
            checkBacnetIpSwitchable(c, p, type);
        else
            checkMstp(c, p, type);
    } else if (type == 21 && !bacnetIp) {
        // The Ethernet box stays in view for updates; the MS/TP values need the same checks
        // as on every other MS/TP model.
        checkBacnetIpFixedAddresses(c, p);
        checkMstp(c, p, type);
    } else {
        checkBacnetIpFixed(c, p);
    }
    if (c.failed())
        return c.result();

    // The field-side port must not take the BACnet/IP port. With MS/TP chosen the BACnet/IP
    // port box is hidden but still holds the port the gateway's Ethernet side keeps, so it
    // stays reserved (its default when the box holds no valid port).
    int32_t bacnetPort = number(p.BACnet_PORT);
    if (!bacnetIp && (bacnetPort < 0 || bacnetPort > 65535))
        bacnetPort = number(ParGen{}.BACnet_PORT);
    checkFieldSide(c, p, type, bacnetPort);
    return c.result();
}

CheckResult Controllo_Dati(const ParGen& p) { return Controllo_Dati(p, workspace::ws().Converter_Type); }

} // namespace parameters
