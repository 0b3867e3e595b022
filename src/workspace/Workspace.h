#pragma once
// The process-wide values every window reads: the device type, the program's folders, the open
// project with one path per project file, the model's identity, the user's settings and a few
// shared lists. They live in one owning object reached through `ws()`; the program creates one
// at start and each test creates a fresh one with `ScopedWorkspace`.
//
// Paths use "/". An empty path means "no file": with no project open every project file path
// is empty, so no reader or writer can reach a file at the root of the file system.
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>

namespace workspace {

constexpr int kLangTextCount = 2400;
// BACnet object types that have a counter (Validators.h).
constexpr int kObjCounterCount = 15;
// The gateway address and the language a first start (or a damaged settings file) gives.
constexpr const char* kDefaultIpAddress = "192.168.2.205";
constexpr const char* kDefaultLanguage = "English";

struct Workspace {
    // Device type (gateway model). Fixed when the program is built; tests set it per case.
    int32_t Converter_Type = VARNETOR_CONVERTER_TYPE;

    QString Project_Name;
    QString Project_Dir; // empty: no project open
    QString Projects_Dir;
    QString Program_Dir;
    QString Master_Dir;
    QString Language_Dir;
    QString Template_Dir; // only for device types 1001-1003

    QString Window_Title;
    QString SW_Code;
    QString SW_Desc;

    QString Last_IP_Address = QLatin1String(kDefaultIpAddress);
    QString Language_Name = QLatin1String(kDefaultLanguage);
    uint8_t Opt_Enable_Internet = 0;
    uint8_t Opt_Enable_Update = 0;
    uint8_t Opt_Jump_Field_Tables = 0;
    uint8_t Opt_Double_Click_Auto_Size = 0;

    // Project file paths (empty when the device type has no such file or no project is open).
    QString Path_ParGen;
    QString Path_BACnet_BDT;
    QString Path_M_Bus;
    QString Path_ModbusM_SetAccess;
    QString Path_ModbusTCPM_SetAccess;
    QString Path_BACnet_SetAccess;
    QString Path_BACnet_SetAccess_ModSlave;
    QString Path_CAN_Rec_Frames;
    QString Path_CAN_Send_Frames;
    QString Path_CAN_Rec_Info;
    QString Path_CAN_Send_Info;
    QString Path_SDO_Server_CANopen;
    QString Path_SDO_Client_CANopen;
    QString Path_PDO_CANopen;
    QString Path_DNETM_Net;
    QString Path_DNETM_DefOff;
    QString Path_J1939_Rec_Frames;
    QString Path_J1939_Send_Frames;
    QString Path_NMEA_Rec_Frames;
    QString Path_NMEA_Send_Frames;
    QString Path_KNX_SetAccess;
    QString Path_SNMP_Trap;
    QString Path_DMX_Default_Values;
    QString Path_SNMP_Manager;
    QString Path_M_Bus_Custom_QV;

    // Cell texts of the last copied grid row.
    QStringList Row_Clipboard;
    // Rows the MIB writer collects.
    QStringList MIB_Read_List;
    QStringList MIB_Write_List;

    // The UI-text table: exactly kLangTextCount entries once filled (Load_Language).
    QStringList Lang_Texts;

    // Objects per BACnet object type, counted by the image builder and the EDE writer.
    std::array<int32_t, kObjCounterCount> Obj_Counters{};
};

// The current workspace. There is always one: the program's, or the innermost ScopedWorkspace.
Workspace& ws();

// Text N of the UI-text table; an index outside 0..2399, or a table not yet filled, gives "".
QString text(int index);

// Installs a fresh workspace for the lifetime of the object (tests), restoring the previous one.
class ScopedWorkspace {
public:
    explicit ScopedWorkspace(int32_t converterType = VARNETOR_CONVERTER_TYPE);
    ~ScopedWorkspace();
    ScopedWorkspace(const ScopedWorkspace&) = delete;
    ScopedWorkspace& operator=(const ScopedWorkspace&) = delete;
    Workspace& operator*() { return own_; }
    Workspace* operator->() { return &own_; }

private:
    Workspace own_;
    Workspace* previous_;
};

} // namespace workspace
