#pragma once
// The project's M-Bus files as the BACnet object lists read them: the network of the M-Bus
// models and the device list of the M-Bus master models. The files are parsed by the M-Bus data
// layer (mbus/); the rules here are the object lists' own (which nodes and variables count,
// the defaults of missing or unreadable values).
#include <vector>

#include "exports/MBusObjects.h"
#include "mbus/MBusNetwork.h"

namespace exports {

// The meters of a network: those whose Enable_Node reads as 1 (or is missing or no number),
// each with its variables whose Enable is "1"; a meter without such a variable is left out.
std::vector<TMBus_Nod> mbusNodesFromTexts(const mbus::NetworkTexts& texts);
// The meters of `Path_M_Bus`; none when the file is missing. Throws platform::UserError when it
// cannot be read.
std::vector<TMBus_Nod> Read_MBus_Network();

} // namespace exports
