#pragma once
// The images of the M-Bus master models (device types 1001, 1002, 1003), built from the
// project's device list and the device templates.
//
// bank3.bin: the general parameter record, then the tables the gateway walks, addressed from
// 0x51000 at bank3 offset 2048 - nodes (34 bytes), read variables (10), write variables (24),
// request steps (33, once per distinct template) and, for 1001, the BACnet objects (24, grouped
// by object type) and the BBMD table (120). bank4.bin (1001 only): the 64-byte name and the
// 64-byte description of every object, 128 bytes per object; the objects point at them from
// address 1024.
#include "image/Bank.h"
#include "image/Bdt.h"
#include "image/MasterRecord.h"

#include <QString>
#include <array>
#include <cstdint>
#include <vector>

namespace image {

constexpr int32_t kMasterBank3Capacity = 2097152;
constexpr int32_t kMasterBank4Capacity = 4194304;
constexpr uint32_t kMasterTableAddress = 0x51000; // gateway address of bank3 offset 2048

struct TVars_MBus {
    uint8_t FrameNum = 0;
    uint8_t Pos_Frame = 0;
    uint8_t Dimension = 0;
    uint8_t MoreVars = 0;
    uint32_t Pos_Array = 0;
    uint8_t ObjType = 0;
    uint8_t PostOpe = 0;
};

struct TVars_W_MBus {
    uint8_t FrameNum = 0;
    uint8_t Pos_Frame = 0;
    uint8_t LenFrame = 0;
    uint8_t ObjType = 0;
    std::array<uint8_t, 10> Frame{};
    uint32_t ObjInstance = 0;
    uint32_t Pos_Array = 0;
    uint8_t PostOpe = 0;
    uint8_t Dimension = 0;
};

struct TNodo_Bank {
    uint16_t Dev_Type = 0;
    uint8_t ID_Type = 0;
    uint32_t ID_MBus = 0;
    uint16_t Num_Vars = 0;
    uint32_t Add_Vars = 0;
    uint16_t Num_W_Vars = 0;
    uint32_t Add_W_Vars = 0;
    uint8_t Num_Reqs = 0;
    uint32_t Add_Reqs = 0;
    uint8_t Node_State = 0;
    uint32_t Add_NS = 0;
    uint8_t Ide_Number = 0;
    uint32_t Add_IN = 0;
    int NoBank_ID_Req = 0; // index of its template's requests in the template list
    std::vector<TVars_MBus> List_Vars_MBus;
    std::vector<TVars_W_MBus> List_Vars_W_MBus;
};

struct TReqs_MBus {
    uint8_t Step = 0;
    uint8_t FrameNum = 0;
    uint8_t LenFrame = 0;
    std::array<uint8_t, 26> Frame{};
    uint8_t ByteToChange = 0;
    uint8_t Reply = 0;
    uint8_t NextStep = 0;
    uint8_t VarForFrame = 0;
};

struct TDevice_Reqs {
    QString Nome_File_Xml; // the template's name as the device list writes it
    std::vector<TReqs_MBus> List_Reqs_MBus;
};

struct TVar_BACnet {
    uint8_t FrameNum = 0;
    uint8_t Pos_Frame = 0;
    uint32_t Pos_Array = 0;
    uint16_t Units = 0;
    uint8_t Dimension = 0;
    uint8_t Option = 0;
    uint32_t PointerObjName = 0;
    uint32_t PointerDesc = 0;
    int32_t ObjectType = 0; // BACnet object type; only the 15 counted types reach the table
    std::array<uint8_t, 64> ObjectName{};
    std::array<uint8_t, 64> Description{};
};

struct MasterModel {
    std::vector<TNodo_Bank> nodes;
    std::vector<TVar_BACnet> objects;
    std::vector<TDevice_Reqs> templates;
    BdtTable bdt{};
};

struct MasterImages {
    BankBuffer bank3{kMasterBank3Capacity};
    BankBuffer bank4{kMasterBank4Capacity};
    ParQV par;
    MasterModel model;
};

// Index of the first template of that name (exact, letter case included), or -1.
int Find_Device_Reqs(const MasterModel& m, const QString& name);
bool Exists_Var_MBus(const TNodo_Bank& node, uint8_t frame, uint8_t position);

// Fills the model from the workspace's device list, template folder and BACnet_BDT.xml, with
// `deviceInstance` in the name of the reset object. A device whose template is missing is left
// out. Throws platform::UserError when a file cannot be read, an element that is read is
// missing, or a device has fewer variables than its template.
void Load_Devices_QV(MasterModel& m, uint32_t deviceInstance);

// The whole build of `converterType`: record, devices, addresses, counts, bank3 and, for 1001,
// bank4. Refuses tables that exceed bank3 or bank4 before anything is written.
void Build_Bin_QV(MasterImages& q, int32_t converterType);

} // namespace image
