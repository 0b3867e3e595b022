#include "parameters/window/ParGenLayout.h"

#include <initializer_list>
#include <stdexcept>

namespace parameters {

namespace {

const char* const kBoxKeys[kBoxCount] = {
    "BACnet",   "BACnet_Serial", "BACnet_Type", "Modbus_Master", "Modbus_Slave", "Modbus_TCP_Master",
    "Modbus_TCP_Slave", "DNET_Master", "PROFIBUS_Slave", "CAN", "CANopen", "PROFINET", "DNET_Slave",
    "EtherNetIP", "J1939", "NMEA2000", "Ethernet", "MBus", "KNX", "DMX", "SNMP_Manager", "wMBus",
    "Sel_Dev_Wire_Present", "SNMP", "Eth2",
};

// Heights of the boxes as designed. The layout sets the height of every box it shows,
// except GB_BACnet_Type, which keeps these 58 pixels until it is folded.
const int kDesignHeights[kBoxCount] = {
    413, 350, 58, 295, 159, 258, 224, 92, 159, 58, 193, 346, 159,
    292, 124, 124, 57,  214, 91, 91,  190, 92, 58, 386, 190,
};

constexpr int kEditHeight = 21;
constexpr int kComboHeight = 22;
constexpr int kCheckHeight = 17;
constexpr int kLabelHeight = 13;

// Design rules of the rows: a label at 16, single fields and lists at 148 (126 wide) or
// 82 (192 wide), the four octets of an address at 16, 82, 148 and 214 (60 wide).
class DesignBuilder {
public:
    explicit DesignBuilder(std::vector<ControlDesign>& out) : out_(out) {}

    void label(Box b, const QString& name, int left, int top, int text, const QString& fixed = {},
               bool visible = true)
    {
        out_.push_back({name, ControlKind::Label, b, left, top, 120, kLabelHeight, text, fixed, visible});
    }
    void edit(Box b, const QString& name, int left, int top, int width, bool visible = true)
    {
        out_.push_back({name, ControlKind::Edit, b, left, top, width, kEditHeight, -1, {}, visible});
    }
    void combo(Box b, const QString& name, int left, int top, int width, bool visible = true)
    {
        out_.push_back({name, ControlKind::Combo, b, left, top, width, kComboHeight, -1, {}, visible});
    }
    void check(Box b, const QString& name, int left, int top, int width, int text, const QString& fixed = {},
               bool visible = true)
    {
        out_.push_back({name, ControlKind::Check, b, left, top, width, kCheckHeight, text, fixed, visible});
    }
    // A label left of a field at 148 (126 wide).
    void editRow(Box b, const QString& labelName, int text, const QString& editName, int top,
                 const QString& fixed = {}, bool visible = true)
    {
        label(b, labelName, 16, top + 3, text, fixed, visible);
        edit(b, editName, 148, top, 126, visible);
    }
    void comboRow(Box b, const QString& labelName, int text, const QString& comboName, int top,
                  const QString& fixed = {})
    {
        label(b, labelName, 16, top + 3, text, fixed);
        combo(b, comboName, 148, top, 126);
    }
    // Address, subnet mask and gateway: a label above each of the first two rows, the gateway
    // check box above the third; the gateway row ends at 175.
    void addressBlock(Box b, const QString& ipLabel, const QString& smLabel, const QString& gatCheck,
                      const QStringList& ip, const QStringList& sm, const QStringList& gat,
                      const int texts[3], const QStringList& fixed = {})
    {
        const auto caption = [&](int i) { return fixed.isEmpty() ? QString() : fixed.at(i); };
        label(b, ipLabel, 16, 26, texts[0], caption(0));
        octets(b, ip, 42);
        label(b, smLabel, 16, 72, texts[1], caption(1));
        octets(b, sm, 88);
        check(b, gatCheck, 16, 132, 150, texts[2], caption(2));
        octets(b, gat, 154);
    }

private:
    void octets(Box b, const QStringList& names, int top)
    {
        static const int lefts[4] = {16, 82, 148, 214};
        for (int i = 0; i < 4; ++i) {
            edit(b, names.at(i), lefts[i], top, 60);
            if (i < 3)
                label(b, QStringLiteral("L_Dot_") + names.at(i), lefts[i] + 61, top + 4, -1,
                      QStringLiteral("."));
        }
    }
    std::vector<ControlDesign>& out_;
};

QStringList numbered(const QString& prefix, const QString& suffix = {})
{
    QStringList l;
    for (int i = 1; i <= 4; ++i)
        l << prefix + QString::number(i) + suffix;
    return l;
}

std::vector<ControlDesign> buildDesign()
{
    std::vector<ControlDesign> v;
    DesignBuilder d(v);
    const QString none;

    // GB_BACnet
    {
        const int t[3] = {129, 130, 131};
        d.addressBlock(Box::BACnet, "L_BACnet_IP", "L_BACnet_SM", "CB_EN_GAT", numbered("E_IP"), numbered("E_SM"),
                       numbered("E_GAT"), t);
        d.editRow(Box::BACnet, "L_BACnet_Port", 132, "E_PORT", 190);
        d.editRow(Box::BACnet, "L_BACnet_Name_Station", 133, "E_BACnet_Name_Station", 224);
        d.editRow(Box::BACnet, "L_BACnet_Dev_Ide", 134, "E_BACnet_Dev_Ide", 258);
        d.check(Box::BACnet, "CB_BACnet_IP_Desc_Limit", 16, 313, 270, 1152);
        d.check(Box::BACnet, "CB_BACnet_IP_EN_BBMD", 16, 347, 270, 1920);
        d.check(Box::BACnet, "CB_BACnet_IP_EN_FDR", 16, 381, 270, 1921);
    }
    // GB_BACnet_Type
    d.label(Box::BACnet_Type, "L_BACnet_Type_Type", 16, 24, 141);
    d.combo(Box::BACnet_Type, "CB_BACnet_Type", 82, 21, 192);
    // GB_BACnet_Serial: rows 37 pixels apart
    d.comboRow(Box::BACnet_Serial, "L_BACnet_Serial_Baud", 136, "CB_BACnet_Ser_Baud", 21);
    d.comboRow(Box::BACnet_Serial, "L_BACnet_Serial_Parity", 137, "CB_BACnet_Ser_Parity", 58);
    d.editRow(Box::BACnet_Serial, "L_BACnet_Ser_Name_Station", 139, "E_BACnet_Ser_Name_Station", 95);
    d.editRow(Box::BACnet_Serial, "L_BACnet_Ser_ID", 138, "E_BACnet_Ser_ID", 132);
    d.editRow(Box::BACnet_Serial, "L_BACnet_Ser_MaxMaster", 1051, "E_BACnet_Ser_MaxMaster", 169);
    d.editRow(Box::BACnet_Serial, "L_BACnet_Ser_MaxInfoFrames", 1052, "E_BACnet_Ser_MaxInfoFrames", 206);
    d.editRow(Box::BACnet_Serial, "L_BACnet_Ser_Dev_Ide", 1049, "E_BACnet_Ser_Dev_Ide", 243);
    d.editRow(Box::BACnet_Serial, "L_BACnet_Ser_Network", 1055, "E_BACnet_Ser_Network", 280);
    d.check(Box::BACnet_Serial, "CB_BACnet_MSTP_Desc_Limit", 16, 318, 270, 1153);
    // GB_Modbus_Master
    d.comboRow(Box::Modbus_Master, "L_Modbus_Master_Serial", 143, "CB_Serial_Modbus_Master", 21);
    d.comboRow(Box::Modbus_Master, "L_Modbus_Master_Baud", 144, "CB_Baud_Modbus_Master", 55);
    d.comboRow(Box::Modbus_Master, "L_Modbus_Master_Parity", 145, "CB_Par_Modbus_Master", 89);
    d.comboRow(Box::Modbus_Master, "L_Modbus_Master_StopBits", 146, "CB_StopBits_Modbus_Master", 123);
    d.editRow(Box::Modbus_Master, "L_Modbus_Master_TimeOut", 147, "E_TO_Modbus_Master", 157);
    d.editRow(Box::Modbus_Master, "L_Modbus_Master_Cyclic", 148, "E_CD_Modbus_Master", 191);
    d.check(Box::Modbus_Master, "CB_Modbus_Master_Slaves_Present", 16, 227, 270, 2312);
    d.label(Box::Modbus_Master, "L_Modbus_Master_Array_Pos", 16, 258, 2313);
    d.edit(Box::Modbus_Master, "E_Modbus_Master_Array_Pos", 214, 255, 60);
    // GB_Modbus_Slave
    d.comboRow(Box::Modbus_Slave, "L_Modbus_Slave_Serial", 150, "CB_Serial_Modbus_Slave", 21);
    d.comboRow(Box::Modbus_Slave, "L_Modbus_Slave_Baud", 151, "CB_Baud_Modbus_Slave", 55);
    d.comboRow(Box::Modbus_Slave, "L_Modbus_Slave_Parity", 152, "CB_Par_Modbus_Slave", 89);
    d.editRow(Box::Modbus_Slave, "L_Modbus_Slave_ID", 153, "E_ID_Modbus_Slave", 123);
    // GB_Modbus_TCP_Master
    {
        const int t[3] = {1997, 1998, 1999};
        d.addressBlock(Box::Modbus_TCP_Master, "L_Modbus_TCP_Master_IP", "L_Modbus_TCP_Master_SM",
                       "CB_Modbus_TCP_Master_GAT_En", numbered("E_Modbus_TCP_Master_IP"),
                       numbered("E_Modbus_TCP_Master_SM"), numbered("E_Modbus_TCP_Master_GAT"), t);
        d.editRow(Box::Modbus_TCP_Master, "L_Modbus_TCP_Master_TimeOut", 155, "E_TO_Modbus_TCP_Master", 188);
        d.editRow(Box::Modbus_TCP_Master, "L_Modbus_TCP_Master_Cyclic", 156, "E_CD_Modbus_TCP_Master", 222);
        // The port is kept in the file but never shown.
        d.editRow(Box::Modbus_TCP_Master, "L_Modbus_TCP_Master_Port", -1, "E_Port_Modbus_TCP_Master", 256,
                  QStringLiteral("Port"), false);
    }
    // GB_Modbus_TCP_Slave
    {
        const int t[3] = {-1, -1, -1};
        d.addressBlock(Box::Modbus_TCP_Slave, "L_Modbus_TCP_Slave_IP", "L_Modbus_TCP_Slave_SM",
                       "CB_Modbus_TCP_Slave_GAT_En", numbered("E_Modbus_TCP_Slave_IP"),
                       numbered("E_Modbus_TCP_Slave_SM"), numbered("E_Modbus_TCP_Slave_GAT"), t,
                       {QStringLiteral("IP ADDRESS"), QStringLiteral("SUBNET Mask"), QStringLiteral("GATEWAY")});
        d.editRow(Box::Modbus_TCP_Slave, "L_Modbus_TCP_Slave_Port", 158, "E_Port_Modbus_TCP_Slave", 188);
    }
    // GB_PROFIBUS_Slave
    d.editRow(Box::PROFIBUS_Slave, "L_PROFIBUS_Slave_ID_Dev", 163, "E_ID_DEV_PROFI_Slave", 21);
    d.comboRow(Box::PROFIBUS_Slave, "L_PROFIBUS_Slave_Baud", 164, "CB_Baud_PROFI_Slave", 55);
    d.editRow(Box::PROFIBUS_Slave, "L_PROFIBUS_Slave_NB_IN", 165, "E_B_IN_PROFI_Slave", 89);
    d.editRow(Box::PROFIBUS_Slave, "L_PROFIBUS_Slave_NB_OUT", 166, "E_B_OUT_PROFI_Slave", 123);
    // GB_CAN
    d.comboRow(Box::CAN, "L_CAN_Baud", 168, "CAN_Baud", 21);
    // GB_CANopen
    d.editRow(Box::CANopen, "L_CANopen_ID_Dev", 170, "E_ID_CANopen", 21);
    d.comboRow(Box::CANopen, "L_CANopen_Baud", 171, "CB_Baud_CANopen", 55);
    d.check(Box::CANopen, "CB_Set_Ope_CANopen", 16, 92, 270, 172);
    d.check(Box::CANopen, "CB_Net_Ope_CANopen", 16, 123, 196, 173);
    d.edit(Box::CANopen, "E_NO_Delay_CANopen", 214, 121, 60);
    d.label(Box::CANopen, "L_CANopen_SDO_TO", 16, 157, 174);
    d.edit(Box::CANopen, "E_SDO_TO_CANopen", 214, 154, 60);
    // GB_PROFINET: the port and byte rows are shown at creation.
    {
        const int t[3] = {1900, 1901, 1902};
        d.addressBlock(Box::PROFINET, "L_PROFINET_IP", "L_PROFINET_SM", "CB_PROFINET_En_Gat",
                       numbered("E_PROFINET_IP"), numbered("E_PROFINET_SM"), numbered("E_PROFINET_GAT"), t);
        d.editRow(Box::PROFINET, "L_PROFINET_Port", 176, "E_PORT_PROFINET", 208, none, false);
        d.editRow(Box::PROFINET, "L_PROFINET_Name", 1903, "E_PROFINET_Name", 242);
        d.editRow(Box::PROFINET, "L_PROFINET_NByteIn", 177, "E_B_IN_PROFINET", 276, none, false);
        d.editRow(Box::PROFINET, "L_PROFINET_NByteOut", 178, "E_B_OUT_PROFINET", 310, none, false);
        d.check(Box::PROFINET, "CB_PROFINET_Auto_Calc_Bytes", 16, 279, 270, 1926, none, false);
    }
    // GB_DNET_Master
    d.editRow(Box::DNET_Master, "L_DNET_Master_ID_Dev", 160, "E_ID_DNET_Master", 21);
    d.comboRow(Box::DNET_Master, "L_DNET_Master_Baud", 161, "CB_Baud_DNET_Master", 55);
    // GB_DNET_Slave
    d.editRow(Box::DNET_Slave, "L_DNET_Slave_ID_Dev", 180, "E_ID_DNET_Slave", 21);
    d.comboRow(Box::DNET_Slave, "L_DNET_Slave_Baud", 181, "CB_Baud_DNET_Slave", 55);
    d.editRow(Box::DNET_Slave, "L_DNET_Slave_NB_IN", 182, "E_NB_IN_DNET_Slave", 89);
    d.editRow(Box::DNET_Slave, "L_DNET_Slave_NB_OUT", 183, "E_NB_OUT_DNET_Slave", 123);
    // GB_EtherNetIP
    {
        const int t[3] = {2317, 2318, 2319};
        d.addressBlock(Box::EtherNetIP, "L_EtherNetIP_IP", "L_EtherNetIP_SM", "CB_EtherNetIP_GAT_En",
                       numbered("E_EtherNetIP_IP"), numbered("E_EtherNetIP_SM"), numbered("E_EtherNetIP_GAT"), t);
        d.editRow(Box::EtherNetIP, "L_EtherNetIP_Port", 185, "E_Port_EtherNetIP", 188);
        d.editRow(Box::EtherNetIP, "L_EtherNetIP_NB_IN", 186, "E_B_IN_EtherNetIP", 222);
        d.editRow(Box::EtherNetIP, "L_EtherNetIP_NB_OUT", 187, "E_B_OUT_EtherNetIP", 256);
    }
    // GB_J1939, GB_NMEA2000
    d.comboRow(Box::J1939, "L_J1939_Baud", 189, "CB_Baud_J1939", 21);
    d.editRow(Box::J1939, "L_J1939_TimeOut", 190, "E_TO_J1939", 55);
    d.check(Box::J1939, "CB_En_Peer_J1939", 16, 91, 270, 191);
    d.comboRow(Box::NMEA2000, "L_NMEA2000_Baud", 193, "CB_Baud_NMEA2000", 21);
    d.editRow(Box::NMEA2000, "L_NMEA2000_TimeOut", 194, "E_TO_NMEA2000", 55);
    d.check(Box::NMEA2000, "CB_En_Peer_NMEA2000", 16, 91, 270, 195);
    // GB_Ethernet
    d.editRow(Box::Ethernet, "L_Ethernet_Port", 197, "E_Port_Ethernet", 21);
    // GB_MBus: the usual rows; the timing and fixed C field rows are shown by the layout.
    d.comboRow(Box::MBus, "L_MBus_Baud", 199, "CB_Baud_Mbus", 21);
    d.comboRow(Box::MBus, "L_MBus_Parity", 200, "CB_Parity_Mbus", 55);
    d.editRow(Box::MBus, "L_MBus_Cyclic", 201, "E_CD_Mbus", 89);
    d.label(Box::MBus, "L_MBus_NodeState_1", 16, 121, 202);
    d.label(Box::MBus, "L_MBus_NodeState_2", 16, 134, 203);
    d.edit(Box::MBus, "E_NSE_MBus", 214, 124, 60);
    d.check(Box::MBus, "CB_MBus_WaitAnswer", 16, 126, 190, 1286, none, false);
    d.edit(Box::MBus, "E_MBus_WaitAnswer", 214, 124, 60, false);
    d.check(Box::MBus, "CB_MBus_IdleTime", 16, 160, 190, 1287, none, false);
    d.edit(Box::MBus, "E_MBus_IdleTime", 214, 158, 60, false);
    d.check(Box::MBus, "CB_MBus_Fix_CField", 16, 179, 126, 2316, none, false);
    d.combo(Box::MBus, "CB_MBus_Fix_CField_Val", 148, 177, 126, false);
    // GB_KNX
    d.comboRow(Box::KNX, "L_KNX_Type", -1, "CB_KNX_Type", 21, QStringLiteral("Type"));
    d.editRow(Box::KNX, "L_KNX_ID_Dev", 939, "E_ID_DEV_KNX", 55);
    // GB_DMX
    d.comboRow(Box::DMX, "L_DMX_DMX", 1071, "CB_DMX_DMX", 21);
    d.editRow(Box::DMX, "L_DMX_Num_Channel", 1060, "E_DMX_Num_Channel", 55);
    // GB_SNMP_Manager
    {
        const int t[3] = {1078, 1079, 1080};
        d.addressBlock(Box::SNMP_Manager, "L_SNMP_Manager_IP_Add", "L_SNMP_Manager_SM", "CB_SNMP_Manager_En_GAT",
                       numbered("E_IP", "_SNMP_Manager"), numbered("E_SM", "_SNMP_Manager"),
                       numbered("E_GAT", "_SNMP_Manager"), t);
    }
    // GB_wMBus, GB_Sel_Dev_Wire_Present
    d.comboRow(Box::wMBus, "L_wMBus_Mode", 1222, "CB_wMBus_Mode", 21);
    d.comboRow(Box::wMBus, "L_wMBus_Radio_Channel", 1223, "CB_wMBus_Radio_Channel", 55);
    d.comboRow(Box::Sel_Dev_Wire_Present, "L_SD_Wire_Present_MBus", 1225, "CB_SD_Wire_Present_MBus", 21);
    // GB_SNMP: the name label alone in the top row, its field below it.
    d.label(Box::SNMP, "L_SNMP_Name_of_Station", 16, 18, -1, QStringLiteral("SNMP Name of Station"));
    d.edit(Box::SNMP, "E_SNMP_Name_of_Station", 82, 34, 192);
    d.label(Box::SNMP, "L_SNMP_Contact", 16, 69, -1, QStringLiteral("Contact"));
    d.edit(Box::SNMP, "E_SNMP_Contact", 82, 66, 192);
    d.label(Box::SNMP, "L_SNMP_Location", 16, 101, -1, QStringLiteral("Location"));
    d.edit(Box::SNMP, "E_SNMP_Location", 82, 98, 192);
    d.label(Box::SNMP, "L_PROFI_SNMP_Version", 16, 131, 1933);
    d.check(Box::SNMP, "CB_PROFI_SNMP_Ver1", 82, 147, 56, 1934);
    d.check(Box::SNMP, "CB_PROFI_SNMP_Ver2", 148, 147, 56, 1935);
    d.check(Box::SNMP, "CB_PROFI_SNMP_Ver3", 214, 147, 56, 1936);
    d.editRow(Box::SNMP, "L_PROFI_SNMP_User", 1937, "E_PROFI_SNMP_User", 179);
    d.comboRow(Box::SNMP, "L_PROFI_SNMP_Secure_Lev", 1938, "CB_PROFI_SNMP_Secure_Lev", 213);
    d.editRow(Box::SNMP, "L_PROFI_SNMP_Auth_Pass", 1939, "E_PROFI_SNMP_Auth_Pass", 247);
    d.comboRow(Box::SNMP, "L_PROFI_SNMP_Auth_Mode", 1940, "CB_PROFI_SNMP_Auth_Mode", 281);
    d.editRow(Box::SNMP, "L_PROFI_SNMP_Priv_Pass", 1941, "E_PROFI_SNMP_Priv_Pass", 315);
    d.comboRow(Box::SNMP, "L_PROFI_SNMP_Priv_Mode", 1942, "CB_PROFI_SNMP_Priv_Mode", 349);
    // GB_Eth2
    {
        const int t[3] = {1982, 1983, 1984};
        d.addressBlock(Box::Eth2, "L_Eth2_IP", "L_Eth2_SM", "CB_Eth2_GAT", numbered("E_Eth2_IP"),
                       numbered("E_Eth2_SM"), numbered("E_Eth2_GAT"), t);
    }
    // The fold buttons of every box: the collapse button shows while the box is unfolded.
    for (int i = 0; i < kBoxCount; ++i) {
        const Box b = boxAt(i);
        v.push_back({collapseButtonName(b), ControlKind::FoldButton, b, 280, 10, 11, 11, -1, {}, true});
        v.push_back({expandButtonName(b), ControlKind::FoldButton, b, 280, 10, 11, 11, -1, {}, false});
    }
    return v;
}

const QStringList kPortNameIdRows = {"L_BACnet_Port", "E_PORT", "L_BACnet_Name_Station", "E_BACnet_Name_Station",
                                     "L_BACnet_Dev_Ide", "E_BACnet_Dev_Ide"};
const QStringList kBbmdFdr = {"CB_BACnet_IP_EN_BBMD", "CB_BACnet_IP_EN_FDR"};
const QStringList kNodeStateRow = {"L_MBus_NodeState_1", "L_MBus_NodeState_2", "E_NSE_MBus"};
const QStringList kTimingRows = {"CB_MBus_WaitAnswer", "E_MBus_WaitAnswer", "CB_MBus_IdleTime", "E_MBus_IdleTime"};
const QStringList kFixCFieldRow = {"CB_MBus_Fix_CField", "CB_MBus_Fix_CField_Val"};
const QStringList kProfinetByteInRow = {"L_PROFINET_NByteIn", "E_B_IN_PROFINET"};
const QStringList kSnmpUserRows = {"L_PROFI_SNMP_User", "E_PROFI_SNMP_User", "L_PROFI_SNMP_Secure_Lev",
                                   "CB_PROFI_SNMP_Secure_Lev"};
const QStringList kSnmpAuthRows = {"L_PROFI_SNMP_Auth_Pass", "E_PROFI_SNMP_Auth_Pass", "L_PROFI_SNMP_Auth_Mode",
                                   "CB_PROFI_SNMP_Auth_Mode"};
const QStringList kSnmpPrivRows = {"L_PROFI_SNMP_Priv_Pass", "E_PROFI_SNMP_Priv_Pass", "L_PROFI_SNMP_Priv_Mode",
                                   "CB_PROFI_SNMP_Priv_Mode"};

bool isOneOf(int32_t t, std::initializer_list<int32_t> values)
{
    for (int32_t v : values)
        if (v == t)
            return true;
    return false;
}

int bottomPlus15(const ParGenLayout& l, const char* control) { return l.control(QString::fromLatin1(control)).bottom() + 15; }

// Unfolded heights the layout gives, -1 where it gives none.
using Heights = std::array<int, kBoxCount>;

// The M-Bus box of the M-Bus master models: node state hidden, wait answer and idle time shown.
void masterMBusRows(ParGenLayout& l, Heights& h)
{
    l.show(kNodeStateRow, false);
    l.control("CB_MBus_WaitAnswer").top = 126;
    l.control("E_MBus_WaitAnswer").top = 124;
    l.control("CB_MBus_IdleTime").top = 160;
    l.control("E_MBus_IdleTime").top = 158;
    l.show(kTimingRows, true);
    h[boxIndex(Box::MBus)] = bottomPlus15(l, "E_MBus_IdleTime");
}

void fixCFieldRows(ParGenLayout& l, Heights& h)
{
    Place& check = l.control("CB_MBus_Fix_CField");
    check.top = 179;
    check.left = 16;
    Place& value = l.control("CB_MBus_Fix_CField_Val");
    value.top = 177;
    value.left = 148;
    l.show(kFixCFieldRow, true);
    h[boxIndex(Box::MBus)] = bottomPlus15(l, "CB_MBus_Fix_CField_Val");
}

// Puts the column of boxes in place, hides every other box, and sizes the window.
void stack(ParGenLayout& l, const std::vector<Box>& column, const Heights& h)
{
    std::array<bool, kBoxCount> inColumn{};
    for (Box b : column)
        inColumn[boxIndex(b)] = true;
    for (int i = 0; i < kBoxCount; ++i)
        if (!inColumn[i])
            l.box(boxAt(i)).visible = false;
    int top = kFirstBoxTop;
    int bottom = kFirstBoxTop;
    for (Box b : column) {
        Place& p = l.box(b);
        p.visible = true;
        p.left = kBoxLeft;
        p.top = top;
        if (l.expanded(b) && h[boxIndex(b)] >= 0)
            p.height = h[boxIndex(b)];
        bottom = p.bottom();
        top = bottom + kBoxGap;
    }
    l.buttonsTop = bottom + kButtonsGap;
    l.clientWidth = kClientWidth;
    l.clientHeight = l.buttonsTop + kButtonsToClientBottom;
}

enum class BacnetSide { TypeIp, TypeSerial, TypeSerialEthernet, IpOnly, None };

BacnetSide bacnetSide(const LayoutChoices& c)
{
    const int32_t t = c.converterType;
    const bool ip = c.bacnetType == 0;
    if (isOneOf(t, {1002, 1003}))
        return BacnetSide::None;
    if (isOneOf(t, {1, 20}))
        return ip ? BacnetSide::TypeIp : BacnetSide::TypeSerial;
    if (isOneOf(t, {0, 2, 3, 6, 7, 8, 9, 11, 16, 17, 18, 21, 2016}))
        return ip ? BacnetSide::TypeIp : BacnetSide::TypeSerialEthernet;
    if (isOneOf(t, {4, 12, 19}))
        return ip ? BacnetSide::TypeIp : BacnetSide::TypeSerial;
    return BacnetSide::IpOnly; // 10, 13, 14, 15, 1001 and any other value
}

void rePosition130Or129(ParGenLayout& l, const LayoutChoices& c)
{
    Heights h;
    h.fill(-1);
    if (c.converterType == 1002) {
        l.show(kProfinetByteInRow, false);
        Place& autoCalc = l.control("CB_PROFINET_Auto_Calc_Bytes");
        autoCalc.top = 279;
        autoCalc.left = 16;
        autoCalc.visible = true;
        h[boxIndex(Box::PROFINET)] = bottomPlus15(l, "E_B_OUT_PROFINET");
    } else {
        QStringList rows = {"L_Modbus_TCP_Slave_IP", "L_Modbus_TCP_Slave_SM", "CB_Modbus_TCP_Slave_GAT_En"};
        for (const char* prefix : {"E_Modbus_TCP_Slave_IP", "E_Modbus_TCP_Slave_SM", "E_Modbus_TCP_Slave_GAT"}) {
            const QStringList octets = numbered(QString::fromLatin1(prefix));
            rows << octets;
            for (int i = 0; i < 3; ++i)
                rows << QStringLiteral("L_Dot_") + octets.at(i);
        }
        l.show(rows, true);
        l.control("L_Modbus_TCP_Slave_Port").top = 191;
        l.control("E_Port_Modbus_TCP_Slave").top = 188;
        h[boxIndex(Box::Modbus_TCP_Slave)] = bottomPlus15(l, "E_Port_Modbus_TCP_Slave");
    }
    masterMBusRows(l, h);
    stack(l, shownBoxes(c), h);
}

} // namespace

QString boxKey(Box b) { return QString::fromLatin1(kBoxKeys[boxIndex(b)]); }
QString boxName(Box b) { return QStringLiteral("GB_") + boxKey(b); }
QString collapseButtonName(Box b) { return QStringLiteral("Btn_") + boxKey(b) + QStringLiteral("_Collapse"); }
QString expandButtonName(Box b) { return QStringLiteral("Btn_") + boxKey(b) + QStringLiteral("_Expande"); }

const std::vector<ControlDesign>& designControls()
{
    static const std::vector<ControlDesign> design = buildDesign();
    return design;
}

ParGenLayout ParGenLayout::design()
{
    ParGenLayout l;
    for (int i = 0; i < kBoxCount; ++i) {
        l.boxes_[i] = Place{kBoxLeft + i * (kBoxWidth + 8), kFirstBoxTop, kBoxWidth, kDesignHeights[i], true};
        l.expanded_[i] = true;
    }
    for (const ControlDesign& d : designControls())
        l.controls_.insert(d.name, Place{d.left, d.top, d.width, d.height, d.visible});
    return l;
}

Place& ParGenLayout::control(const QString& name)
{
    auto it = controls_.find(name);
    if (it == controls_.end())
        throw std::logic_error("unknown control " + name.toStdString());
    return *it;
}

const Place& ParGenLayout::control(const QString& name) const
{
    auto it = controls_.constFind(name);
    if (it == controls_.constEnd())
        throw std::logic_error("unknown control " + name.toStdString());
    return *it;
}

void ParGenLayout::show(const QStringList& names, bool visible)
{
    for (const QString& n : names)
        control(n).visible = visible;
}

std::vector<Box> shownBoxes(const LayoutChoices& c)
{
    const int32_t t = c.converterType;
    if (t == 1002)
        return {Box::PROFINET, Box::MBus};
    if (t == 1003)
        return {Box::Modbus_TCP_Slave, Box::MBus};

    std::vector<Box> column;
    switch (bacnetSide(c)) {
    case BacnetSide::TypeIp: column = {Box::BACnet_Type, Box::BACnet}; break;
    case BacnetSide::TypeSerial: column = {Box::BACnet_Type, Box::BACnet_Serial}; break;
    case BacnetSide::TypeSerialEthernet: column = {Box::BACnet_Type, Box::BACnet_Serial, Box::BACnet}; break;
    case BacnetSide::IpOnly: column = {Box::BACnet}; break;
    case BacnetSide::None: break;
    }

    switch (t) {
    case 0: column.push_back(Box::Modbus_Master); break;
    case 1:
    case 20:
        column.push_back(Box::MBus);
        if (c.bacnetType == 2)
            column.push_back(Box::Eth2);
        break;
    case 2: column.push_back(Box::Modbus_Slave); break;
    case 3: column.push_back(Box::Modbus_TCP_Master); break;
    case 4: column.push_back(Box::Modbus_TCP_Slave); break;
    case 6: column.push_back(Box::PROFIBUS_Slave); break;
    case 7: column.push_back(Box::CAN); break;
    case 8: column.push_back(Box::CANopen); break;
    case 9: column.push_back(Box::PROFINET); break;
    case 10: column.push_back(Box::DNET_Master); break;
    case 11: column.push_back(Box::DNET_Slave); break;
    case 12: column.push_back(Box::EtherNetIP); break;
    case 13: column.push_back(Box::J1939); break;
    case 14: column.push_back(Box::NMEA2000); break;
    case 15: column.push_back(Box::Ethernet); break;
    case 16:
    case 2016: column.push_back(Box::KNX); break;
    case 17: column.push_back(Box::SNMP); break;
    case 18: column.push_back(Box::DMX); break;
    case 19: column.push_back(Box::SNMP_Manager); break;
    case 21:
        column.push_back(Box::Sel_Dev_Wire_Present);
        column.push_back(Box::wMBus);
        if (c.wirePresent == 1)
            column.push_back(Box::MBus);
        break;
    case 1001: column.push_back(Box::MBus); break;
    default: break;
    }
    return column;
}

void prepareCreation(ParGenLayout& l)
{
    l.show({"L_PROFINET_Port", "E_PORT_PROFINET", "L_PROFINET_NByteIn", "E_B_IN_PROFINET", "L_PROFINET_NByteOut",
            "E_B_OUT_PROFINET"},
           true);
    l.box(Box::PROFINET).height = bottomPlus15(l, "E_B_OUT_PROFINET");
    for (int i = 0; i < kBoxCount; ++i)
        l.box(boxAt(i)).visible = false;
}

void collapseExpandCreation(ParGenLayout& l)
{
    for (int i = 0; i < kBoxCount; ++i) {
        const Box b = boxAt(i);
        l.setExpanded(b, true);
        for (const QString& name : {collapseButtonName(b), expandButtonName(b)}) {
            Place& p = l.control(name);
            p.left = 280;
            p.top = 10;
        }
        l.control(collapseButtonName(b)).visible = true;
        l.control(expandButtonName(b)).visible = false;
    }
}

void rePositionObjects(ParGenLayout& l, const LayoutChoices& c)
{
    const int32_t t = c.converterType;
    if (t == 1002 || t == 1003) {
        rePosition130Or129(l, c);
        return;
    }

    Heights h;
    h.fill(-1);

    // The usual M-Bus rows and PROFINET byte rows, and the type box first.
    l.show(kNodeStateRow, true);
    l.show(kTimingRows, false);
    l.show(kFixCFieldRow, false);
    if (l.expanded(Box::MBus))
        l.box(Box::MBus).height = bottomPlus15(l, "E_NSE_MBus");
    l.show(kProfinetByteInRow, true);
    l.control("CB_PROFINET_Auto_Calc_Bytes").visible = false;
    l.box(Box::BACnet_Type).top = kFirstBoxTop;
    l.box(Box::BACnet_Type).left = kBoxLeft;

    // Step 1: the BACnet side.
    const int bacnet = boxIndex(Box::BACnet);
    const int serial = boxIndex(Box::BACnet_Serial);
    l.bacnetCaption = 128;
    switch (bacnetSide(c)) {
    case BacnetSide::TypeIp:
        l.show(kPortNameIdRows, true);
        if (isOneOf(t, {1, 20})) {
            h[bacnet] = bottomPlus15(l, "CB_BACnet_IP_Desc_Limit"); // BBMD and FDR lie below the box
        } else if (t == 11) {
            l.show(kBbmdFdr, false);
            h[bacnet] = bottomPlus15(l, "CB_BACnet_IP_Desc_Limit");
        } else {
            l.show(kBbmdFdr, true);
            h[bacnet] = bottomPlus15(l, "CB_BACnet_IP_EN_FDR");
        }
        break;
    case BacnetSide::TypeSerial:
        l.show({"L_BACnet_Ser_Dev_Ide", "E_BACnet_Ser_Dev_Ide"}, true);
        h[serial] = bottomPlus15(l, "CB_BACnet_MSTP_Desc_Limit");
        break;
    case BacnetSide::TypeSerialEthernet:
        h[serial] = bottomPlus15(l, "CB_BACnet_MSTP_Desc_Limit");
        l.bacnetCaption = 127;
        l.show(kPortNameIdRows, false);
        h[bacnet] = bottomPlus15(l, "E_GAT1");
        break;
    case BacnetSide::IpOnly:
        l.show(kPortNameIdRows, true);
        if (t == 1001) {
            l.control("CB_BACnet_IP_Desc_Limit").visible = false;
            l.control("CB_BACnet_IP_EN_BBMD").top = 313;
            l.control("CB_BACnet_IP_EN_FDR").top = 347;
            l.show(kBbmdFdr, true);
            h[bacnet] = bottomPlus15(l, "CB_BACnet_IP_EN_FDR");
        } else {
            h[bacnet] = bottomPlus15(l, "CB_BACnet_IP_Desc_Limit");
        }
        break;
    case BacnetSide::None: break;
    }

    // Step 2: the field side.
    switch (t) {
    case 0: h[boxIndex(Box::Modbus_Master)] = 295; break;
    case 1:
    case 20:
        fixCFieldRows(l, h);
        h[boxIndex(Box::Eth2)] = 190;
        break;
    case 2: h[boxIndex(Box::Modbus_Slave)] = 159; break;
    case 3: h[boxIndex(Box::Modbus_TCP_Master)] = bottomPlus15(l, "E_CD_Modbus_TCP_Master"); break;
    case 4: h[boxIndex(Box::Modbus_TCP_Slave)] = bottomPlus15(l, "E_Port_Modbus_TCP_Slave"); break;
    case 6: h[boxIndex(Box::PROFIBUS_Slave)] = 159; break;
    case 7: h[boxIndex(Box::CAN)] = 58; break;
    case 8: h[boxIndex(Box::CANopen)] = 193; break;
    case 9: h[boxIndex(Box::PROFINET)] = bottomPlus15(l, "E_B_OUT_PROFINET"); break;
    case 10: h[boxIndex(Box::DNET_Master)] = 92; break;
    case 11: h[boxIndex(Box::DNET_Slave)] = 159; break;
    case 12: h[boxIndex(Box::EtherNetIP)] = 292; break;
    case 13: h[boxIndex(Box::J1939)] = 124; break;
    case 14: h[boxIndex(Box::NMEA2000)] = 124; break;
    case 15: h[boxIndex(Box::Ethernet)] = 57; break;
    case 16:
    case 2016: h[boxIndex(Box::KNX)] = 91; break;
    case 17: {
        int& snmp = h[boxIndex(Box::SNMP)];
        if (!c.snmpVersion3) {
            l.show(kSnmpUserRows, false);
            l.show(kSnmpAuthRows, false);
            l.show(kSnmpPrivRows, false);
            snmp = bottomPlus15(l, "CB_PROFI_SNMP_Ver3");
        } else {
            l.show(kSnmpUserRows, true);
            if (c.snmpSecurityLevel == 0) {
                l.show(kSnmpAuthRows, false);
                l.show(kSnmpPrivRows, false);
                snmp = bottomPlus15(l, "CB_PROFI_SNMP_Secure_Lev");
            } else if (c.snmpSecurityLevel == 1) {
                l.show(kSnmpAuthRows, true);
                l.show(kSnmpPrivRows, false);
                snmp = bottomPlus15(l, "CB_PROFI_SNMP_Auth_Mode");
            } else {
                l.show(kSnmpAuthRows, true);
                l.show(kSnmpPrivRows, true);
                snmp = bottomPlus15(l, "CB_PROFI_SNMP_Priv_Mode");
            }
        }
        break;
    }
    case 18: h[boxIndex(Box::DMX)] = bottomPlus15(l, "E_DMX_Num_Channel"); break;
    case 19: h[boxIndex(Box::SNMP_Manager)] = bottomPlus15(l, "E_GAT4_SNMP_Manager"); break;
    case 21:
        h[boxIndex(Box::Sel_Dev_Wire_Present)] = bottomPlus15(l, "CB_SD_Wire_Present_MBus");
        h[boxIndex(Box::wMBus)] = bottomPlus15(l, "CB_wMBus_Radio_Channel");
        fixCFieldRows(l, h);
        break;
    case 1001: masterMBusRows(l, h); break;
    default: break;
    }

    stack(l, shownBoxes(c), h);
}

QStringList foldedControls(Box b)
{
    switch (b) {
    case Box::BACnet: return {"L_BACnet_IP"};
    case Box::BACnet_Serial: return {"L_BACnet_Serial_Baud", "CB_BACnet_Ser_Baud"};
    case Box::BACnet_Type: return {"L_BACnet_Type_Type", "CB_BACnet_Type"};
    case Box::Modbus_Master: return {"L_Modbus_Master_Serial", "CB_Serial_Modbus_Master"};
    case Box::Modbus_Slave: return {"L_Modbus_Slave_Serial", "CB_Serial_Modbus_Slave"};
    case Box::Modbus_TCP_Master:
        return {"L_Modbus_TCP_Master_IP", "L_Modbus_TCP_Master_TimeOut", "E_TO_Modbus_TCP_Master"};
    case Box::Modbus_TCP_Slave: return {"L_Modbus_TCP_Slave_Port", "E_Port_Modbus_TCP_Slave"};
    case Box::PROFIBUS_Slave: return {"L_PROFIBUS_Slave_ID_Dev", "E_ID_DEV_PROFI_Slave"};
    case Box::CAN: return {"L_CAN_Baud", "CAN_Baud"};
    case Box::CANopen: return {"L_CANopen_ID_Dev", "E_ID_CANopen"};
    case Box::PROFINET: return {"L_PROFINET_Port", "E_PORT_PROFINET"};
    case Box::DNET_Master: return {"L_DNET_Master_ID_Dev", "E_ID_DNET_Master"};
    case Box::DNET_Slave: return {"L_DNET_Slave_ID_Dev", "E_ID_DNET_Slave"};
    case Box::EtherNetIP: return {"L_EtherNetIP_IP"};
    case Box::J1939: return {"L_J1939_Baud", "CB_Baud_J1939"};
    case Box::NMEA2000: return {"L_NMEA2000_Baud", "CB_Baud_NMEA2000"};
    case Box::Ethernet: return {"L_Ethernet_Port", "E_Port_Ethernet"};
    case Box::MBus: return {"L_MBus_Baud", "CB_Baud_Mbus"};
    case Box::KNX: return {"L_KNX_Type", "CB_KNX_Type"};
    case Box::DMX: return {"L_DMX_DMX", "CB_DMX_DMX"};
    case Box::SNMP_Manager: return {"L_SNMP_Manager_IP_Add"};
    case Box::wMBus: return {"L_wMBus_Mode", "CB_wMBus_Mode"};
    case Box::Sel_Dev_Wire_Present: return {"L_SD_Wire_Present_MBus", "CB_SD_Wire_Present_MBus"};
    case Box::SNMP: return {"L_SNMP_Name_of_Station"};
    case Box::Eth2: return {"L_Eth2_IP"};
    }
    return {};
}

void collapseBox(ParGenLayout& l, Box b, const LayoutChoices& c)
{
    l.box(b).height = kFoldedHeight;
    l.show(foldedControls(b), false);
    l.control(collapseButtonName(b)).visible = false;
    l.control(expandButtonName(b)).visible = true;
    l.setExpanded(b, false);
    rePositionObjects(l, c);
}

void expandBox(ParGenLayout& l, Box b, const LayoutChoices& c)
{
    l.show(foldedControls(b), true);
    l.control(collapseButtonName(b)).visible = true;
    l.control(expandButtonName(b)).visible = false;
    l.setExpanded(b, true);
    // The one box whose height the layout never sets comes back one pixel short of its
    // designed 58, as the window always did.
    if (b == Box::BACnet_Type)
        l.box(b).height = 57;
    rePositionObjects(l, c);
}

} // namespace parameters
