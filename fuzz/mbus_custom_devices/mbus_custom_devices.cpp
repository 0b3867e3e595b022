// A device description file on arbitrary bytes: devices come out, never a crash; every device has
// a variable, a header value has frame and position 0, any other value data position 0.
#include "mbus/master/CustomDevices.h"
#include "mbus/master/TextInput.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    for (const mbus::master::TDevice_MBus& d :
         mbus::master::parseDeviceDescriptions(mbus::master::decodeTextInput(bytes))) {
        if (d.MBusVars.empty())
            std::abort();
        for (const mbus::master::TMBusVariable& v : d.MBusVars) {
            if (v.Header_Frame() && (v.Frame() != 0 || v.Position() != 0))
                std::abort();
            if (!v.Header_Frame() && v.Position_Data() != 0)
                std::abort();
            if (!v.ReadWrite() && (!v.Frame_Write().isEmpty() || v.FrameW_Len() != 0))
                std::abort();
        }
    }
    return 0;
}
