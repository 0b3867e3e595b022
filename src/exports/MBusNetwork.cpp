#include "exports/MBusNetwork.h"

#include "exports/Ede.h"
#include "platform/text/UserError.h"

namespace exports {

// The M-Bus network, device-list and template readers come with the M-Bus data layer.
std::vector<TMBus_Nod> Read_MBus_Network()
{
    throw platform::UserError(QStringLiteral("Error! The M-Bus network reader is not available in this build."));
}

std::vector<TBACnet_EDE_Obj> edeDeviceListObjects()
{
    throw platform::UserError(QStringLiteral("Error! The M-Bus device list reader is not available in this build."));
}

} // namespace exports
