#include "app/Program.h"

#include "app/About.h"
#include "app/NewProject.h"
#include "app/OpenConf.h"
#include "app/SoftOptions.h"
#include "app/VarnetoreFirmWare.h"
#include "exports/Ede.h"
#include "exports/Eds.h"
#include "exports/Gsd.h"
#include "exports/Gsdml.h"
#include "exports/Mib.h"
#include "exports/ObjectsMap.h"
#include "exports/window/UProfinetFileName.h"
#include "image/ImageBuilder.h"
#include "mbus/RegisterMap.h"
#include "mbus/master/window/UConf_BAC_MBus_Pelvarta.h"
#include "mbus/master/window/UMBus_Custom.h"
#include "mbus/master/window/UTemplate_Creation.h"
#include "mbus/window/UMeter_Bus.h"
#include "mbus/window/UNewIDNode.h"
#include "mbus/scan/window/ScanDialogs.h"
#include "mbus/scan/window/UScanDecode.h"
#include "parameters/window/UParGen.h"
#include "platform/text/UserError.h"
#include "tables/bacnet/window/BacnetDialogs.h"
#include "tables/bacnet/window/EngUnitPicker.h"
#include "tables/can/window/CanDialogs.h"
#include "tables/canopen/window/CanopenDialogs.h"
#include "tables/devicenet/window/DeviceNetDialogs.h"
#include "tables/dmx/window/DmxDefVal.h"
#include "tables/j1939/window/PgnDialogs.h"
#include "tables/knx/window/KnxAccess.h"
#include "tables/modbus/window/SetAccess.h"
#include "tables/nmea/window/NmeaDialogs.h"
#include "tables/snmp/window/SnmpDialogs.h"
#include "update/BootSer.h"
#include "update/BootTCP.h"

namespace app {

Program::Program(const QString& programDir)
{
    // The windows in the order of their creation. The main window's creation prepares the
    // workspace (texts, software code, folders, settings) that every later window's creation
    // relies on. Each later window is owned by the main window and registered under its
    // number; the ones still to come join this list in their place.
    main_ = std::make_unique<TFVarnetoreFirmWare>(programDir);            //  1 main window
    TFVarnetoreFirmWare* m = main_.get();
    m->registerWindow(WindowId::FNew_Project, new TFNew_Project(m));    //  2
    m->registerWindow(WindowId::FOpenConf, new TFOpenConf(m));          //  3
    m->registerWindow(WindowId::FAbout, new TFAbout(m));                //  4
    auto* bootTcp = new update::TFBootTCP(m);
    m->registerWindow(WindowId::FBootTCP, bootTcp);                     //  5
    m->registerWindow(WindowId::FParGen, new parameters::TFParGen(m));  //  6
    auto* meterBus = new mbus::TFMeter_Bus(m);
    m->registerWindow(WindowId::FMeter_Bus, meterBus);                  //  7
    meterBus->FNewIDNode = new mbus::TFNewIDNode(meterBus, m);
    m->registerWindow(WindowId::FNewIDNode, meterBus->FNewIDNode);      //  8
    meterBus->engUnitPicker = [m] {
        return static_cast<tables::TFBACnet_Eng_Unit*>(m->window(WindowId::FBACnet_Eng_Unit));
    };
    auto* engUnit = new tables::TFBACnet_Eng_Unit(m);
    m->registerWindow(WindowId::FBACnet_Eng_Unit, engUnit);                           //  9
    m->registerWindow(WindowId::FSetAccess, new tables::modbus::TFSetAccess(m));       // 10
    m->registerWindow(WindowId::FBACnetSetAccess, new tables::TFBACnetSetAccess(engUnit, m)); // 11
    m->registerWindow(WindowId::FBACnetSetAccess_ModSlave,
                      new tables::TFBACnetSetAccess_ModSlave(engUnit, m));               // 12
    m->registerWindow(WindowId::FSetAccessTCP, new tables::modbus::TFSetAccessTCP(m)); // 13
    m->registerWindow(WindowId::F_Rec_Info, new tables::can::TF_Rec_Info(m));                         // 14
    m->registerWindow(WindowId::F_Sen_Info, new tables::can::TF_Sen_Info(m));                         // 15
    m->registerWindow(WindowId::FCAN_Rec_Frames, new tables::can::TFCAN_Rec_Frames(m));               // 16
    m->registerWindow(WindowId::FCAN_Send_Frame, new tables::can::TFCAN_Send_Frame(m));               // 17
    m->registerWindow(WindowId::FSet_PDO_Access, new tables::canopen::TFSet_PDO_Access(m));           // 18
    m->registerWindow(WindowId::FSet_SDO_Client_Access, new tables::canopen::TFSet_SDO_Client_Access(m)); // 19
    m->registerWindow(WindowId::FSet_SDO_Server_Access, new tables::canopen::TFSet_SDO_Server_Access(m)); // 20
    m->registerWindow(WindowId::FDefOffset, new tables::devicenet::TFDefOffset(m));                   // 21
    m->registerWindow(WindowId::FDNet, new tables::devicenet::TFDNet(m));                             // 22
    m->registerWindow(WindowId::FReceiveJ1939, new tables::j1939::TFReceiveJ1939(m));                 // 23
    m->registerWindow(WindowId::FTransmitJ1939, new tables::j1939::TFTransmitJ1939(m));               // 24
    m->registerWindow(WindowId::FReceiveNMEA, new tables::nmea::TFReceiveNMEA(m));                    // 25
    m->registerWindow(WindowId::FTransmitNMEA, new tables::nmea::TFTransmitNMEA(m));                  // 26
    m->registerWindow(WindowId::FBootSer, new update::TFBootSer(m));    // 27
    auto* profinetFileName = new exports::TFProfinetFileName(m);
    m->registerWindow(WindowId::FProfinetFileName, profinetFileName); // 28
    auto* options = new TFSoftOptions(m);
    m->registerWindow(WindowId::FSoftOptions, options);                 // 29
    m->registerWindow(WindowId::FKNXAccess, new tables::knx::TFKNXAccess(m));          // 30
    m->registerWindow(WindowId::FMBus_Custom, new mbus::master::TFMBus_Custom(m));     // 31
    m->registerWindow(WindowId::FDMXDefVal, new tables::dmx::TFDMXDefVal(m));          // 32
    m->registerWindow(WindowId::FSNMPManagerAccess, new tables::snmp::TFSNMPManagerAccess(m)); // 33
    auto* confQV = new mbus::master::TFConf_BAC_MBus_Pelvarta(m);
    m->registerWindow(WindowId::FConf_BAC_MBus_Pelvarta, confQV);                     // 34
    auto* scan = new mbus::scan::TFScanDecode(m);
    m->registerWindow(WindowId::FScanDecode, scan);                     // 35
    auto* templateCreation = new mbus::master::TFTemplate_Creation(m);
    m->registerWindow(WindowId::FTemplate_Creation, templateCreation);                 // 36
    confQV->templateWindow = templateCreation;
    // The template's name comes from the new-project dialog in its template mode.
    templateCreation->askTemplateName = [newProject = qobject_cast<TFNew_Project*>(m->window(WindowId::FNew_Project))]()
        -> std::optional<QString> {
        newProject->Type_Form = 1;
        const bool ok = newProject->showModal() == platform::mrOk;
        newProject->Type_Form = 0;
        if (!ok)
            return std::nullopt;
        return newProject->Template_Name;
    };
    auto* scanKey = new mbus::scan::TFInsertKeyWireless(m);
    m->registerWindow(WindowId::FInsertKeyWireless, scanKey);           // 37
    auto* scanStart = new mbus::scan::TFScanModbusStart(m);
    m->registerWindow(WindowId::FScanModbusStart, scanStart);           // 38
    m->registerWindow(WindowId::FSNMP_Trap_Access, new tables::snmp::TFSNMP_Trap_Access(m)); // 39
    m->registerWindow(WindowId::FBACnet_BDT, new tables::TFBACnet_BDT(m));            // 40
    auto* scanPerNode = new mbus::scan::TFModbusStartAdd_SD(m);
    m->registerWindow(WindowId::FModbusStartAdd_SD, scanPerNode);       // 41
    scan->setDialogs(scanKey, scanStart, scanPerNode);

    TFVarnetoreFirmWare::Services& s = m->services();
    s.buildImages = [] {
        const image::BuildResult built = image::Build_Bin();
        if (!built.ok)
            throw platform::UserError(built.error);
        const image::SaveResult saved = image::Save_Bin();
        if (!saved.ok)
            throw platform::UserError(saved.error);
        return saved.files;
    };
    s.setBootTcpBACnetType = [bootTcp](int bacnetType) { bootTcp->BACnetType = static_cast<uint32_t>(bacnetType); };
    s.setScanFields = [scan](int xmlCodeDev, const QString& fileNameMBus, int formType) {
        scan->XML_Code_Dev = static_cast<uint32_t>(xmlCodeDev);
        scan->FileName_MBus = fileNameMBus;
        scan->Form_Type = static_cast<uint32_t>(formType);
    };
    s.Write_PROFINET_Map_File = [](const QString& file) { mbus::Write_PROFINET_Map_File(file); };
    s.Write_BACnet_Objects_Map = [](const QString& file) { exports::Write_BACnet_Objects_Map(file); };
    s.Write_BACnet_EDE_File = [](const QString& file) { exports::Write_BACnet_EDE_File(file); };
    s.Write_EDS_File = [](const QString& file) { exports::Write_EDS_File(file); };
    s.Create_GSD_File = [] { exports::Create_GSD_File(); };
    s.Create_MIB_File = [] { exports::Create_MIB_File(); };
    s.profinetFileName = [profinetFileName] { return profinetFileName->Name_File_XML; };
    s.Create_PROFINET_XML = [](const QString& file) { exports::Create_PROFINET_XML(file); };
    s.Check_Version = [options] { return options->Check_Version(); };
    options->changeLanguage = [m] { m->Change_Language(); };
}

Program::~Program() = default;

} // namespace app
