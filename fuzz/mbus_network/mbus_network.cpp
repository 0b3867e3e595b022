// M_Bus.xml on arbitrary bytes: reading ends in a network or a UserError, never a crash; a
// network that reads is written and read back unchanged, for both layouts of the file.
#include "mbus/MBusNetwork.h"
#include "platform/text/UserError.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    mbus::NetworkTexts texts;
    try {
        texts = mbus::parseNetworkTexts(bytes);
    } catch (const platform::UserError&) {
        return 0;
    }
    for (int32_t type : {1, 21}) {
        try {
            const mbus::MBusNetwork net = mbus::networkFromTexts(texts, type);
            if (mbus::networkFromTexts(mbus::parseNetworkTexts(mbus::networkXml(net, type)), type) != net)
                std::abort();
        } catch (const platform::UserError&) {
        }
    }
    return 0;
}
