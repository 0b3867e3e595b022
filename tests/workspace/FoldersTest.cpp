#include "workspace/DeviceTypes.h"
#include "workspace/Folders.h"
#include "workspace/Workspace.h"
#include "support/TempDir.h"

#include <QFileInfo>
#include <gtest/gtest.h>
#include <map>

using testing_support::TempDir;
using workspace::ScopedWorkspace;
using workspace::Workspace;

namespace {

// Every project file path of the workspace, by name.
const std::map<QString, QString Workspace::*>& pathFields()
{
    static const std::map<QString, QString Workspace::*> fields = {
        {"Path_ParGen", &Workspace::Path_ParGen},
        {"Path_BACnet_BDT", &Workspace::Path_BACnet_BDT},
        {"Path_M_Bus", &Workspace::Path_M_Bus},
        {"Path_ModbusM_SetAccess", &Workspace::Path_ModbusM_SetAccess},
        {"Path_ModbusTCPM_SetAccess", &Workspace::Path_ModbusTCPM_SetAccess},
        {"Path_BACnet_SetAccess", &Workspace::Path_BACnet_SetAccess},
        {"Path_BACnet_SetAccess_ModSlave", &Workspace::Path_BACnet_SetAccess_ModSlave},
        {"Path_CAN_Rec_Frames", &Workspace::Path_CAN_Rec_Frames},
        {"Path_CAN_Send_Frames", &Workspace::Path_CAN_Send_Frames},
        {"Path_CAN_Rec_Info", &Workspace::Path_CAN_Rec_Info},
        {"Path_CAN_Send_Info", &Workspace::Path_CAN_Send_Info},
        {"Path_SDO_Server_CANopen", &Workspace::Path_SDO_Server_CANopen},
        {"Path_SDO_Client_CANopen", &Workspace::Path_SDO_Client_CANopen},
        {"Path_PDO_CANopen", &Workspace::Path_PDO_CANopen},
        {"Path_DNETM_Net", &Workspace::Path_DNETM_Net},
        {"Path_DNETM_DefOff", &Workspace::Path_DNETM_DefOff},
        {"Path_J1939_Rec_Frames", &Workspace::Path_J1939_Rec_Frames},
        {"Path_J1939_Send_Frames", &Workspace::Path_J1939_Send_Frames},
        {"Path_NMEA_Rec_Frames", &Workspace::Path_NMEA_Rec_Frames},
        {"Path_NMEA_Send_Frames", &Workspace::Path_NMEA_Send_Frames},
        {"Path_KNX_SetAccess", &Workspace::Path_KNX_SetAccess},
        {"Path_SNMP_Trap", &Workspace::Path_SNMP_Trap},
        {"Path_DMX_Default_Values", &Workspace::Path_DMX_Default_Values},
        {"Path_SNMP_Manager", &Workspace::Path_SNMP_Manager},
        {"Path_M_Bus_Custom_QV", &Workspace::Path_M_Bus_Custom_QV},
    };
    return fields;
}

// The non-empty paths of the workspace, by field name.
std::map<QString, QString> setPaths(const Workspace& w)
{
    std::map<QString, QString> out;
    for (const auto& [name, field] : pathFields())
        if (!(w.*field).isEmpty())
            out[name] = w.*field;
    return out;
}

} // namespace

TEST(Folders, FirstStartCreatesTheProgramFolders)
{
    for (int type : {3, 1001, 1002, 1003, 21}) {
        TempDir dir;
        ScopedWorkspace w(type);
        workspace::setupFolders(dir.path() + QStringLiteral("/")); // a trailing separator is dropped
        const bool mbusMaster = type >= 1001;
        EXPECT_EQ(w->Program_Dir, dir.path());
        EXPECT_EQ(w->Master_Dir, dir.file(QStringLiteral("MASTER")));
        EXPECT_EQ(w->Projects_Dir, dir.file(QStringLiteral("PROJECTS")));
        EXPECT_EQ(w->Language_Dir, dir.file(QStringLiteral("LANGUAGE")));
        EXPECT_EQ(w->Template_Dir, mbusMaster ? dir.file(QStringLiteral("TEMPLATE")) : QString()) << type;
        for (const char* sub : {"MASTER", "PROJECTS", "LANGUAGE"})
            EXPECT_TRUE(QFileInfo(dir.file(QLatin1String(sub))).isDir()) << sub;
        EXPECT_EQ(QFileInfo::exists(dir.file(QStringLiteral("TEMPLATE"))), mbusMaster) << type;

        // Existing folders are kept as they are.
        dir.write(QStringLiteral("PROJECTS/P1/ParGen.xml"), "<Par_Gen/>");
        workspace::setupFolders(dir.path());
        EXPECT_EQ(dir.read(QStringLiteral("PROJECTS/P1/ParGen.xml")), QByteArray("<Par_Gen/>"));
    }
}

TEST(Folders, SetFilesGivesEachModelItsFiles)
{
    const struct {
        int type;
        std::map<QString, QString> files; // field -> file name in the project folder
    } cases[] = {
        {3,
         {{"Path_ParGen", "ParGen.xml"},
          {"Path_BACnet_BDT", "BACnet_BDT.xml"},
          {"Path_ModbusTCPM_SetAccess", "ModbusTCPM_SetAccess.xml"},
          {"Path_BACnet_SetAccess", "ModbusTCPM_BACnet_SetAccess.xml"},
          {"Path_BACnet_SetAccess_ModSlave", "ModbusTCPM_BACnet_SetAccess.xml"}}},
        {18,
         {{"Path_ParGen", "ParGen.xml"},
          {"Path_BACnet_BDT", "BACnet_BDT.xml"},
          {"Path_DMX_Default_Values", "DMX_Default_Values.xml"},
          {"Path_BACnet_SetAccess", "SNMP_BACnet_SetAccess.xml"},
          {"Path_BACnet_SetAccess_ModSlave", "SNMP_BACnet_SetAccess.xml"}}},
        {1002,
         {{"Path_ParGen", "ParGen.xml"},
          {"Path_BACnet_BDT", "BACnet_BDT.xml"},
          {"Path_M_Bus_Custom_QV", "M_Bus_Custom_QV.xml"}}},
        {21,
         {{"Path_ParGen", "ParGen.xml"}, {"Path_BACnet_BDT", "BACnet_BDT.xml"}, {"Path_M_Bus", "M_Bus.xml"}}},
        {7,
         {{"Path_ParGen", "ParGen.xml"},
          {"Path_BACnet_BDT", "BACnet_BDT.xml"},
          {"Path_CAN_Rec_Frames", "CAN_Rec_Frames.xml"},
          {"Path_CAN_Send_Frames", "CAN_Send_Frames.xml"},
          {"Path_CAN_Rec_Info", "CAN_Rec_Info.xml"},
          {"Path_CAN_Send_Info", "CAN_Send_Info.xml"},
          {"Path_BACnet_SetAccess", "CAN_BACnet_SetAccess.xml"},
          {"Path_BACnet_SetAccess_ModSlave", "CAN_BACnet_SetAccess.xml"}}},
        {0,
         {{"Path_ParGen", "ParGen.xml"},
          {"Path_BACnet_BDT", "BACnet_BDT.xml"},
          {"Path_ModbusM_SetAccess", "ModbusM_SetAccess.xml"},
          {"Path_BACnet_SetAccess", "ModbusM_BACnet_SetAccess.xml"},
          {"Path_BACnet_SetAccess_ModSlave", "ModbusM_BACnet_SetAccess.xml"}}},
        {8,
         {{"Path_ParGen", "ParGen.xml"},
          {"Path_BACnet_BDT", "BACnet_BDT.xml"},
          {"Path_SDO_Server_CANopen", "SDO_Server_CANopen.xml"},
          {"Path_SDO_Client_CANopen", "SDO_Client_CANopen.xml"},
          {"Path_PDO_CANopen", "PDO_CANopen.xml"},
          {"Path_BACnet_SetAccess", "CANopen_BACnet_SetAccess.xml"},
          {"Path_BACnet_SetAccess_ModSlave", "CANopen_BACnet_SetAccess.xml"}}},
        {10,
         {{"Path_ParGen", "ParGen.xml"},
          {"Path_BACnet_BDT", "BACnet_BDT.xml"},
          {"Path_DNETM_Net", "DNETM_Net.xml"},
          {"Path_DNETM_DefOff", "DNETM_DefOff.xml"},
          {"Path_BACnet_SetAccess", "DeviceNetM_BACnet_SetAccess.xml"},
          {"Path_BACnet_SetAccess_ModSlave", "DeviceNetM_BACnet_SetAccess.xml"}}},
        {13,
         {{"Path_ParGen", "ParGen.xml"},
          {"Path_BACnet_BDT", "BACnet_BDT.xml"},
          {"Path_J1939_Rec_Frames", "J1939_Rec_Frames.xml"},
          {"Path_J1939_Send_Frames", "J1939_Send_Frames.xml"},
          {"Path_BACnet_SetAccess", "J1939_BACnet_SetAccess.xml"},
          {"Path_BACnet_SetAccess_ModSlave", "J1939_BACnet_SetAccess.xml"}}},
        {14,
         {{"Path_ParGen", "ParGen.xml"},
          {"Path_BACnet_BDT", "BACnet_BDT.xml"},
          {"Path_NMEA_Rec_Frames", "NMEA_Rec_Frames.xml"},
          {"Path_NMEA_Send_Frames", "NMEA_Send_Frames.xml"},
          {"Path_BACnet_SetAccess", "NMEA_BACnet_SetAccess.xml"},
          {"Path_BACnet_SetAccess_ModSlave", "NMEA_BACnet_SetAccess.xml"}}},
        {17,
         {{"Path_ParGen", "ParGen.xml"},
          {"Path_BACnet_BDT", "BACnet_BDT.xml"},
          {"Path_SNMP_Trap", "SNMP_Trap.xml"},
          {"Path_BACnet_SetAccess", "SNMP_BACnet_SetAccess.xml"},
          {"Path_BACnet_SetAccess_ModSlave", "SNMP_BACnet_SetAccess.xml"}}},
        {19,
         {{"Path_ParGen", "ParGen.xml"},
          {"Path_BACnet_BDT", "BACnet_BDT.xml"},
          {"Path_SNMP_Manager", "SNMP_Manager.xml"},
          {"Path_BACnet_SetAccess", "SNMP_BACnet_SetAccess.xml"},
          {"Path_BACnet_SetAccess_ModSlave", "SNMP_BACnet_SetAccess.xml"}}},
        {1,
         {{"Path_ParGen", "ParGen.xml"}, {"Path_BACnet_BDT", "BACnet_BDT.xml"}, {"Path_M_Bus", "M_Bus.xml"}}},
        {2016,
         {{"Path_ParGen", "ParGen.xml"},
          {"Path_BACnet_BDT", "BACnet_BDT.xml"},
          {"Path_KNX_SetAccess", "KNX_SetAccess.xml"},
          {"Path_BACnet_SetAccess", "KNX_BACnet_SetAccess.xml"},
          {"Path_BACnet_SetAccess_ModSlave", "KNX_BACnet_SetAccess.xml"}}},
    };
    for (const auto& c : cases) {
        TempDir dir;
        ScopedWorkspace w(c.type);
        workspace::setupFolders(dir.path());
        w->Project_Dir = w->Projects_Dir + QStringLiteral("/P1");
        workspace::Set_Files();
        std::map<QString, QString> expected;
        for (const auto& [field, name] : c.files)
            expected[field] = dir.path() + QStringLiteral("/PROJECTS/P1/") + name;
        EXPECT_EQ(setPaths(*w), expected) << "device type " << c.type;
    }
}

TEST(Folders, EveryModelHasParametersAndBdtAndNothingWithoutAProject)
{
    for (int type : workspace::deviceTypes()) {
        ScopedWorkspace w(type);
        w->Project_Dir = QStringLiteral("/p/PROJECTS/X/"); // a trailing separator is not doubled
        workspace::Set_Files();
        EXPECT_EQ(w->Path_ParGen, QStringLiteral("/p/PROJECTS/X/ParGen.xml")) << type;
        EXPECT_EQ(w->Path_BACnet_BDT, QStringLiteral("/p/PROJECTS/X/BACnet_BDT.xml")) << type;
        EXPECT_EQ(w->Path_BACnet_SetAccess, w->Path_BACnet_SetAccess_ModSlave) << type;

        // Closing the project: no path may point at a file, least of all at the root folder.
        w->Project_Dir.clear();
        workspace::Set_Files();
        EXPECT_TRUE(setPaths(*w).empty()) << type;
    }
}

TEST(Folders, SetFilesForgetsThePreviousProject)
{
    ScopedWorkspace w(3);
    w->Project_Dir = QStringLiteral("/p/A");
    workspace::Set_Files();
    w->Path_KNX_SetAccess = QStringLiteral("/stale/KNX_SetAccess.xml"); // not a file of model 3
    w->Project_Dir = QStringLiteral("/p/B");
    workspace::Set_Files();
    EXPECT_EQ(w->Path_ModbusTCPM_SetAccess, QStringLiteral("/p/B/ModbusTCPM_SetAccess.xml"));
    EXPECT_EQ(w->Path_KNX_SetAccess, QString());
}
