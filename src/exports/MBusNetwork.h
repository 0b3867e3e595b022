#pragma once
// The project's M-Bus network as the object lists read it.
#include <vector>

#include "exports/MBusObjects.h"

namespace exports {

// The enabled meters of `Path_M_Bus` that have at least one enabled variable, in file order;
// none when the file is missing. Throws platform::UserError when it cannot be read.
std::vector<TMBus_Nod> Read_MBus_Network();

} // namespace exports
