// A device list on arbitrary bytes: the texts come out or a UserError does, never a crash. The
// window's reading of them without templates keeps no device (every template is missing).
#include "mbus/DeviceList.h"
#include "platform/text/UserError.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    try {
        const mbus::DeviceListTexts t = mbus::parseDeviceListTexts(bytes, QStringLiteral("fuzz.xml"));
        const mbus::DeviceList list = mbus::devicesFromTexts(t, QString());
        if (!list.devices.empty() || !list.converterIndex)
            std::abort();
    } catch (const platform::UserError&) {
    }
    return 0;
}
