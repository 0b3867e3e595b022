#pragma once
// The windows of the program, numbered in the order in which the program creates them at
// start (the main window is 1). The main window reaches the others through these numbers; a
// window that is not part of this build yet is simply not registered.
#include <QString>

namespace app {

enum class WindowId : int {
    FVarnetoreFirmWare = 1,    // main window
    FNew_Project,              // new configuration (or template) name
    FOpenConf,                 // open an existing configuration
    FAbout,                    // about box
    FBootTCP,                  // Ethernet update wizard
    FParGen,                   // general parameters
    FMeter_Bus,                // M-Bus network editor
    FNewIDNode,                // new node identification of the M-Bus editor
    FBACnet_Eng_Unit,          // BACnet engineering-unit picker
    FSetAccess,                // Modbus RTU master access table
    FBACnetSetAccess,          // BACnet object table of the Modbus master models
    FBACnetSetAccess_ModSlave, // BACnet object table of the other models
    FSetAccessTCP,             // Modbus TCP master access table
    F_Rec_Info,                // CAN receive-frame byte map
    F_Sen_Info,                // CAN send-frame byte map
    FCAN_Rec_Frames,           // CAN receive frames
    FCAN_Send_Frame,           // CAN send frames
    FSet_PDO_Access,           // CANopen PDO table
    FSet_SDO_Client_Access,    // CANopen SDO client table
    FSet_SDO_Server_Access,    // CANopen SDO server table
    FDefOffset,                // DeviceNet slave offsets
    FDNet,                     // DeviceNet network
    FReceiveJ1939,             // J1939 receive frames
    FTransmitJ1939,            // J1939 transmit frames
    FReceiveNMEA,              // NMEA 2000 receive frames
    FTransmitNMEA,             // NMEA 2000 transmit frames
    FBootSer,                  // serial update wizard
    FProfinetFileName,         // GSDML file-name dialog
    FSoftOptions,              // software options
    FKNXAccess,                // KNX access table
    FMBus_Custom,              // custom M-Bus device window
    FDMXDefVal,                // DMX default values
    FSNMPManagerAccess,        // SNMP manager access table
    FConf_BAC_MBus_Pelvarta,   // device list of the M-Bus master models
    FScanDecode,               // scan and decode of meters
    FTemplate_Creation,        // M-Bus device template editor
    FInsertKeyWireless,        // key of a wireless meter
    FScanModbusStart,          // Modbus start register after a scan
    FSNMP_Trap_Access,         // SNMP trap table
    FBACnet_BDT,               // BACnet broadcast distribution table
    FModbusStartAdd_SD,        // per-node Modbus start address
};

constexpr int kWindowCount = 41;

constexpr int windowIndex(WindowId id) { return static_cast<int>(id) - 1; }

// The order in which a change of language re-labels the windows (the main window first; the
// about box and the custom M-Bus window have fixed texts).
inline constexpr WindowId kLanguageOrder[] = {
    WindowId::FVarnetoreFirmWare, WindowId::FNew_Project, WindowId::FOpenConf, WindowId::FSoftOptions,
    WindowId::FBootTCP, WindowId::FBootSer, WindowId::FParGen, WindowId::FNewIDNode,
    WindowId::FBACnet_Eng_Unit, WindowId::FMeter_Bus, WindowId::FBACnetSetAccess, WindowId::FSetAccess,
    WindowId::FBACnetSetAccess_ModSlave, WindowId::FSetAccessTCP, WindowId::FCAN_Rec_Frames,
    WindowId::FCAN_Send_Frame, WindowId::F_Rec_Info, WindowId::F_Sen_Info, WindowId::FSet_PDO_Access,
    WindowId::FSet_SDO_Client_Access, WindowId::FSet_SDO_Server_Access, WindowId::FProfinetFileName,
    WindowId::FDefOffset, WindowId::FDNet, WindowId::FReceiveJ1939, WindowId::FTransmitJ1939,
    WindowId::FReceiveNMEA, WindowId::FTransmitNMEA, WindowId::FKNXAccess, WindowId::FSNMPManagerAccess,
    WindowId::FConf_BAC_MBus_Pelvarta, WindowId::FTemplate_Creation, WindowId::FDMXDefVal,
    WindowId::FSNMP_Trap_Access, WindowId::FBACnet_BDT, WindowId::FScanDecode, WindowId::FInsertKeyWireless,
    WindowId::FScanModbusStart, WindowId::FModbusStartAdd_SD,
};

} // namespace app
