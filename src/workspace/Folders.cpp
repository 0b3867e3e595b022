#include "workspace/Folders.h"

#include "platform/fs/Files.h"
#include "workspace/Workspace.h"

namespace workspace {

namespace {

bool isMBusMaster(int type) { return type == 1001 || type == 1002 || type == 1003; }

QString withoutTrailingSeparator(QString dir)
{
    while (dir.size() > 1 && dir.endsWith(QLatin1Char('/')))
        dir.chop(1);
    return dir;
}

QString makeSubFolder(const QString& programDir, const char* name)
{
    const QString dir = platform::joinPath(programDir, QLatin1String(name));
    if (!dir.isEmpty())
        platform::makeFolder(dir);
    return dir;
}

// File name of the BACnet object table by device type; empty for the models without one.
const char* bacnetTableName(int type)
{
    switch (type) {
    case 0: return "ModbusM_BACnet_SetAccess.xml";
    case 2: return "ModbusS_BACnet_SetAccess.xml";
    case 3: return "ModbusTCPM_BACnet_SetAccess.xml";
    case 4: return "ModbusTCPS_BACnet_SetAccess.xml";
    case 6: return "PROFIBUSs_BACnet_SetAccess.xml";
    case 7: return "CAN_BACnet_SetAccess.xml";
    case 8: return "CANopen_BACnet_SetAccess.xml";
    case 9: return "PROFINET_BACnet_SetAccess.xml";
    case 10: return "DeviceNetM_BACnet_SetAccess.xml";
    case 11: return "DeviceNetS_BACnet_SetAccess.xml";
    case 12: return "EtherNetIP_BACnet_SetAccess.xml";
    case 13: return "J1939_BACnet_SetAccess.xml";
    case 14: return "NMEA_BACnet_SetAccess.xml";
    case 15: return "Ethernet_BACnet_SetAccess.xml";
    case 16:
    case 2016: return "KNX_BACnet_SetAccess.xml";
    case 17:
    case 18: // the DMX model shares the SNMP models' file name
    case 19: return "SNMP_BACnet_SetAccess.xml";
    default: return nullptr;
    }
}

} // namespace

void setupFolders(const QString& programDir)
{
    Workspace& w = ws();
    w.Program_Dir = withoutTrailingSeparator(programDir);
    w.Master_Dir = makeSubFolder(w.Program_Dir, "MASTER");
    w.Projects_Dir = makeSubFolder(w.Program_Dir, "PROJECTS");
    w.Language_Dir = makeSubFolder(w.Program_Dir, "LANGUAGE");
    w.Template_Dir = isMBusMaster(w.Converter_Type) ? makeSubFolder(w.Program_Dir, "TEMPLATE") : QString();
}

void Set_Files()
{
    Workspace& w = ws();
    const int type = w.Converter_Type;
    const auto file = [&w](const char* name) { return platform::joinPath(w.Project_Dir, QLatin1String(name)); };

    for (QString* p : {&w.Path_ParGen, &w.Path_BACnet_BDT, &w.Path_M_Bus, &w.Path_ModbusM_SetAccess,
                       &w.Path_ModbusTCPM_SetAccess, &w.Path_BACnet_SetAccess,
                       &w.Path_BACnet_SetAccess_ModSlave, &w.Path_CAN_Rec_Frames, &w.Path_CAN_Send_Frames,
                       &w.Path_CAN_Rec_Info, &w.Path_CAN_Send_Info, &w.Path_SDO_Server_CANopen,
                       &w.Path_SDO_Client_CANopen, &w.Path_PDO_CANopen, &w.Path_DNETM_Net,
                       &w.Path_DNETM_DefOff, &w.Path_J1939_Rec_Frames, &w.Path_J1939_Send_Frames,
                       &w.Path_NMEA_Rec_Frames, &w.Path_NMEA_Send_Frames, &w.Path_KNX_SetAccess,
                       &w.Path_SNMP_Trap, &w.Path_DMX_Default_Values, &w.Path_SNMP_Manager,
                       &w.Path_M_Bus_Custom_QV})
        p->clear();

    w.Path_ParGen = file("ParGen.xml");
    w.Path_BACnet_BDT = file("BACnet_BDT.xml");
    if (const char* table = bacnetTableName(type)) {
        w.Path_BACnet_SetAccess = file(table);
        w.Path_BACnet_SetAccess_ModSlave = w.Path_BACnet_SetAccess;
    }
    switch (type) {
    case 0:
        w.Path_ModbusM_SetAccess = file("ModbusM_SetAccess.xml");
        break;
    case 1:
    case 20:
    case 21:
        w.Path_M_Bus = file("M_Bus.xml");
        break;
    case 3:
        w.Path_ModbusTCPM_SetAccess = file("ModbusTCPM_SetAccess.xml");
        break;
    case 7:
        w.Path_CAN_Rec_Frames = file("CAN_Rec_Frames.xml");
        w.Path_CAN_Send_Frames = file("CAN_Send_Frames.xml");
        w.Path_CAN_Rec_Info = file("CAN_Rec_Info.xml");
        w.Path_CAN_Send_Info = file("CAN_Send_Info.xml");
        break;
    case 8:
        w.Path_SDO_Server_CANopen = file("SDO_Server_CANopen.xml");
        w.Path_SDO_Client_CANopen = file("SDO_Client_CANopen.xml");
        w.Path_PDO_CANopen = file("PDO_CANopen.xml");
        break;
    case 10:
        w.Path_DNETM_Net = file("DNETM_Net.xml");
        w.Path_DNETM_DefOff = file("DNETM_DefOff.xml");
        break;
    case 13:
        w.Path_J1939_Rec_Frames = file("J1939_Rec_Frames.xml");
        w.Path_J1939_Send_Frames = file("J1939_Send_Frames.xml");
        break;
    case 14:
        w.Path_NMEA_Rec_Frames = file("NMEA_Rec_Frames.xml");
        w.Path_NMEA_Send_Frames = file("NMEA_Send_Frames.xml");
        break;
    case 16:
    case 2016:
        w.Path_KNX_SetAccess = file("KNX_SetAccess.xml");
        break;
    case 17:
        w.Path_SNMP_Trap = file("SNMP_Trap.xml");
        break;
    case 18:
        w.Path_DMX_Default_Values = file("DMX_Default_Values.xml");
        break;
    case 19:
        w.Path_SNMP_Manager = file("SNMP_Manager.xml");
        break;
    case 1001:
    case 1002:
    case 1003:
        w.Path_M_Bus_Custom_QV = file("M_Bus_Custom_QV.xml");
        break;
    default:
        break;
    }
}

} // namespace workspace
