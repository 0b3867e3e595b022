#pragma once
// What the builds of the CAN, CANopen, fieldbus slave, DeviceNet, KNX, DMX and SNMP images keep
// beside the standard block: the parameter blocks of the KNX/DMX/DeviceNet and SNMP layouts and
// the models' own tables. Cleared by each build before its files are read.
#include "image/CanImage.h"
#include "image/CanopenImage.h"
#include "image/DmxImage.h"
#include "image/KnxImage.h"
#include "image/ParGenKnxDmxDnet.h"
#include "image/ParGenSnmp.h"
#include "image/SnmpImages.h"

namespace image {

struct FieldState {
    ParGenKDD kdd;
    ParGenSNMP snmp;
    CanFrameTable can{};
    CanopenTables canopen;
    KnxTable knx{};
    DmxDefaults dmx{};
    SnmpTrapTables traps;
    SnmpManagerTable manager{};
};

} // namespace image
