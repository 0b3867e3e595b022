#pragma once
// Everything the image builder keeps between the steps of a build: the three bank buffers with
// their lengths, the description-limit flag, the standard parameter block and the tables the
// loaders fill. The program has one (`state()`); tests make their own.
#include "image/BacnetObjects.h"
#include "image/Bank.h"
#include "image/Bdt.h"
#include "image/FieldState.h"
#include "image/MBusModel.h"
#include "image/MasterImages.h"
#include "image/ModbusAccess.h"
#include "image/ParGenRecord.h"
#include "image/ParGenWMBus.h"

#include <cstdint>
#include <optional>

namespace image {

constexpr int32_t kBank1Capacity = 0x30001;
constexpr int32_t kBank2Capacity = 0x30001;
constexpr int32_t kBank3Capacity = 3145730;

struct ImageState {
    BankBuffer bank1{kBank1Capacity};
    BankBuffer bank2{kBank2Capacity};
    BankBuffer bank3{kBank3Capacity};

    // Set by the parameter readers when "BACnet_Desc_Chars_Limit" is "1": the smaller object
    // table with the longer names. Cleared at the start of every build.
    uint8_t Desc_Chars_Limit_Flag = 0;
    ParGenStd Par_Gen;
    BacnetObjectTable objects;
    ModbusAccessTable access;
    BdtTable bdt;
    // The blocks and tables of the CAN, CANopen, fieldbus, KNX, DMX and SNMP images.
    FieldState field;
    // DMX direction ("DMX_DMX"): 0 reads only the BACnet read objects, else only the written.
    int32_t DMX_Direction = 1;

    // M-Bus images (device types 1, 20, 21): the bank's parameter block, the network as the
    // last build read it, and the BACnet type that build found (only BACnet/IP has a bank2).
    ParGenWMBus wMBus;
    MBusNetworkModel mbus;
    int32_t mbusBacnetType = 0;
    // M-Bus master models (1001-1003): their own two buffers, record and devices.
    MasterImages qv;

    // Device type of the last build that ended without error; a failed build clears it, so a
    // save never writes what an earlier or a broken build left in the buffers.
    std::optional<int32_t> builtType;
};

// The program's builder state.
ImageState& state();

// Steps that the builds of the models share, on the project files of the workspace.
// The standard parameter block at the defaults of the device type, and an empty object table.
void startStandardBuild(ImageState& st);
// The KNX, DMX and DeviceNet builds: their record's block at its defaults, an empty object
// table, and the object counts from 0 (the standard block serves them only as the counter).
void startKnxDmxDnetBuild(ImageState& st);
// The project's BACnet object table (`Path_BACnet_SetAccess`) into `objects`, each object
// counted in the standard block's `Object_Count`.
void loadProjectObjects(ImageState& st, ObjectSections sections = ObjectSections::Both);
// With BBMD on (bit 0 of the BACnet/IP flags) the project's BBMD table; either way the block
// gets the address at which the gateway finds the table.
void loadProjectBdt(ImageState& st, uint32_t bdtAddress);

} // namespace image
