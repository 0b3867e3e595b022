#include "workspace/DeviceTypes.h"

#include "workspace/Workspace.h"


namespace workspace {

namespace {

struct Button {
    const char* name = nullptr; // nullptr ends the list
    int top = 0;
    int left = 80;
};

struct DeviceType {
    int type;
    const char* swCode;
    const char* title;
    const char* desc;
    int steps;
    Button buttons[7]; // the most a model has
    int createBinTop;
    bool scanButton = false;
};

// clang-format off
const DeviceType kDeviceTypes[] = {
    {0, "GS30113", "OstrelCorp - Varnetor GS30113 - BACnet / Modbus m ", "BACnet / Modbus Master - Converter", 6,
     {{"Btn_ModM_SetAccess", 200}, {"Btn_ModM_BACnet_SetAccess", 200, 258}, {"Btn_BACnet_BDT_Access", 244},
      {"Btn_BACnet_EDE_File", 288}}, 332},
    {1, "GS30102", "OstrelCorp - Varnetor GS30102 - M-Bus / BACnet ", "M-Bus / BACnet - Converter", 5,
     {{"Btn_MBus", 200}, {"Btn_BACnet_EDE_File", 244}}, 288, true},
    {2, "GS30114", "OstrelCorp - Varnetor GS30114 - BACnet / Modbus s ", "BACnet / Modbus Slave - Converter", 6,
     {{"Btn_ModS_BACnet_SetAccess", 200}, {"Btn_BACnet_BDT_Access", 244}, {"Btn_BACnet_EDE_File", 288}}, 332},
    {3, "GS30115", "OstrelCorp - Varnetor GS30115 - BACnet / Modbus TCP m ", "BACnet / Modbus TCP Master - Converter", 5,
     {{"Btn_ModTCPM_SetAccess", 200}, {"Btn_ModTCPM_BACnet_SetAccess", 200, 258}, {"Btn_BACnet_EDE_File", 244}}, 288},
    {4, "GS30116", "OstrelCorp - Varnetor GS30116 - BACnet / Modbus TCP s ", "BACnet / Modbus TCP Slave - Converter", 5,
     {{"Btn_ModTCPS_BACnet_SetAccess", 200}, {"Btn_BACnet_Objects_Map", 244}}, 288},
    {6, "GS30117", "OstrelCorp - Varnetor GS30117 - BACnet / PROFIBUS s ", "BACnet / PROFIBUS Slave - Converter", 6,
     {{"Btn_PROFIBUSs_BACnet_SetAccess", 200}, {"Btn_BACnet_Objects_Map", 244}, {"Btn_PROFIBUS_GSD", 288}}, 332},
    {7, "GS30118", "OstrelCorp - Varnetor GS30118 - BACnet / CAN ", "BACnet / CAN - Converter", 8,
     {{"Btn_CAN_Rec_Frame", 200}, {"Btn_CAN_Rec_Info", 200, 258}, {"Btn_CAN_Send_Frame", 244},
      {"Btn_CAN_Send_Info", 244, 258}, {"Btn_CAN_BACnet_SetAccess", 288}, {"Btn_BACnet_BDT_Access", 332},
      {"Btn_BACnet_EDE_File", 376}}, 420},
    {8, "GS30119", "OstrelCorp - Varnetor GS30119 - BACnet / CANopen ", "BACnet / CANopen - Converter", 9,
     {{"Btn_SDO_Server_CANopen", 200}, {"Btn_SDO_Client_CANopen", 244}, {"Btn_PDO_CANopen", 288},
      {"Btn_CAN_BACnet_SetAccess", 332}, {"Btn_BACnet_BDT_Access", 376}, {"Btn_BACnet_Objects_Map", 420},
      {"Btn_CANopen_EDS", 420, 258}}, 464},
    {9, "GS30120", "OstrelCorp - Varnetor GS30120 - BACnet / PROFINET ", "BACnet / PROFINET - Converter", 7,
     {{"Btn_PROFINET_BACnet_SetAccess", 200}, {"Btn_BACnet_BDT_Access", 244}, {"Btn_BACnet_EDE_File", 288},
      {"Btn_PROFINET_XML", 332}}, 376},
    {10, "GS30121", "OstrelCorp - Varnetor GS30121 - BACnet / DeviceNet m ", "BACnet / DeviceNet Master - Converter", 6,
     {{"Btn_DNet_Net", 200}, {"Btn_DNet_Offset", 200, 258}, {"Btn_DeviceNetM_BACnet_SetAccess", 244},
      {"Btn_BACnet_Objects_Map", 288}}, 332},
    {11, "GS30122", "OstrelCorp - Varnetor GS30122 - BACnet / DeviceNet s ", "BACnet / DeviceNet Slave - Converter", 5,
     {{"Btn_DeviceNetS_BACnet_SetAccess", 200}, {"Btn_BACnet_EDE_File", 244}}, 288},
    {12, "GS30123", "OstrelCorp - Varnetor GS30123 - BACnet / EtherNet/IP ", "BACnet / EtherNet/IP - Converter", 5,
     {{"Btn_EtherNetIP_BACnet_SetAccess", 200}, {"Btn_BACnet_Objects_Map", 244}}, 288},
    {13, "GS30124", "OstrelCorp - Varnetor GS30124 - BACnet / J1939 ", "BACnet / J1939 - Converter", 7,
     {{"Btn_J1939_Rec_Frame", 200}, {"Btn_J1939_Send_Frame", 244}, {"Btn_J1939_BACnet_SetAccess", 288},
      {"Btn_BACnet_Objects_Map", 332}}, 376},
    {14, "GS30125", "OstrelCorp - Varnetor GS30125 - BACnet / NMEA 2000 ", "BACnet / NMEA 2000 - Converter", 7,
     {{"Btn_NMEA_Rec_Frame", 200}, {"Btn_NMEA_Send_Frame", 244}, {"Btn_NMEA_BACnet_SetAccess", 288},
      {"Btn_BACnet_Objects_Map", 332}}, 376},
    {15, "GS30126", "OstrelCorp - Varnetor GS30126 - BACnet / Ethernet ", "BACnet / Ethernet - Converter", 5,
     {{"Btn_Ethernet_BACnet_SetAccess", 200}, {"Btn_BACnet_Objects_Map", 244}}, 288},
    {16, "GS30132", "OstrelCorp - Varnetor GS30132 - BACnet / KNX ", "BACnet / KNX - Converter", 6,
     {{"Btn_KNX_Access", 200}, {"Btn_KNX_BACnet_SetAccess", 244}, {"Btn_BACnet_Objects_Map", 288}}, 332},
    {2016, "GX30134", "Quendal - Varnetor GX30134 - BACnet / KNX ", "Gateway BACnet IP/MS TP server - KNX TP", 6,
     {{"Btn_KNX_Access", 200}, {"Btn_KNX_BACnet_SetAccess", 244}, {"Btn_BACnet_Objects_Map", 288}}, 332},
    {17, "GS30127", "OstrelCorp - Varnetor GS30127 - BACnet / SNMP ", "BACnet / SNMP - Converter", 7,
     {{"Btn_PROFINET_BACnet_SetAccess", 200}, {"Btn_SNMP_Trap", 244}, {"Btn_BACnet_EDE_File", 288},
      {"Btn_SNMP_MIB", 332}}, 376},
    {18, "GS30112", "OstrelCorp - Varnetor GS30112 - BACnet / DMX ", "BACnet / DMX - Converter", 6,
     {{"Btn_DMX_BACnet_SetAccess", 200}, {"Btn_DMX_Default", 244}, {"Btn_BACnet_Objects_Map", 288}}, 332},
    {19, "GS30107", "OstrelCorp - Varnetor GS30107 - BACnet / SNMP Manager ", "BACnet / SNMP Manager - Converter", 6,
     {{"Btn_SNMP_Manager_BACnet_SetAccess", 200}, {"Btn_SNMP_Manager_Access", 244}, {"Btn_BACnet_Objects_Map", 288}}, 332},
    {20, "GS30133", "OstrelCorp - Varnetor GS30133 - M-Bus / BACnet ", "M-Bus / BACnet - Converter", 5,
     {{"Btn_MBus", 200}, {"Btn_BACnet_Objects_Map", 244}}, 288},
    {21, "GS30104", "OstrelCorp - Varnetor GS30104 - M-Bus Wireless / BACnet slave ", "M-Bus Wireless / BACnet slave - Converter", 5,
     {{"Btn_MBus", 200}, {"Btn_BACnet_EDE_File", 244}}, 288, true},
    {1001, "GS30128", "OstrelCorp - Varnetor GX30128 BACnet IP Slave / M-Bus Master ", "BACnet IP Slave / M-Bus Master - Converter", 6,
     {{"Btn_MBus", 200}, {"Btn_BACnet_BDT_Access", 244}, {"Btn_BACnet_EDE_File", 288}}, 332},
    {1002, "GS30130", "OstrelCorp - Varnetor GX30130 PROFINET / M-Bus Master ", "PROFINET / M-Bus Master - Converter", 6,
     {{"Btn_MBus", 200}, {"Btn_PROFINET_XML", 244}, {"Btn_PROFINET_Map", 288}}, 332},
    {1003, "GS30129", "OstrelCorp - Varnetor GX30129 Modbus TCP Slave / M-Bus Master ", "Modbus TCP Slave / M-Bus Master - Converter", 5,
     {{"Btn_MBus", 200}, {"Btn_PROFINET_Map", 244}}, 288},
};
// clang-format on

constexpr int kPartnerType = 2016;
constexpr int kModbusMapType = 1003;

// Everything that follows from the row of Btn_CreateBin: the maker's label on that row (or the
// partner's logo), the separator below it and the client size.
void finish(StepLayout& l, int deviceType)
{
    const int y = l.createBinTop;
    if (deviceType == kPartnerType) {
        l.showLogo = true;
        l.logoPos = QPoint(444, 310);
    } else if (l.known) {
        l.showOstrel = true;
        l.ostrelPos = QPoint(565, y + 16);
    }
    l.separator = QRect(10, y + 51, 674, 1);
    l.clientSize = QSize(694, y + 152);
}

} // namespace

const std::vector<int>& deviceTypes()
{
    static const std::vector<int> types = [] {
        std::vector<int> t;
        for (const DeviceType& d : kDeviceTypes)
            t.push_back(d.type);
        return t;
    }();
    return types;
}

StepLayout layoutFor(int deviceType)
{
    StepLayout l;
    for (const DeviceType& d : kDeviceTypes) {
        if (d.type != deviceType)
            continue;
        l.known = true;
        l.SW_Code = QLatin1String(d.swCode);
        l.Window_Title = QLatin1String(d.title);
        l.SW_Desc = QLatin1String(d.desc);
        l.stepCount = d.steps;
        for (const Button& b : d.buttons)
            if (b.name)
                l.buttons.push_back({QLatin1String(b.name), b.left, b.top});
        l.createBinTop = d.createBinTop;
        l.showScanButton = d.scanButton;
        break;
    }
    l.profinetMapTextIndex = deviceType == kModbusMapType ? 1980 : 1928;
    finish(l, deviceType);
    return l;
}

void setDeviceIdentity()
{
    const StepLayout l = layoutFor(ws().Converter_Type);
    Workspace& w = ws();
    w.Window_Title = l.Window_Title;
    w.SW_Code = l.SW_Code;
    w.SW_Desc = l.SW_Desc;
}

} // namespace workspace
