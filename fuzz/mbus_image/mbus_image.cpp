// The image builder's reading of M_Bus.xml on arbitrary bytes, by each of its three builds:
// the model, its objects and its node tables come out or a UserError does, never a crash, and
// the tables take exactly the bytes that were counted for them.
#include "image/MBusModel.h"
#include "image/MBusObjects.h"
#include "platform/text/UserError.h"

#include <cstdint>
#include <cstdlib>
#include <memory>

namespace {

void writeTables(const std::vector<image::TMBus_Nodo>& nodes, const std::vector<image::TMBus_Add_Nodo>& adds)
{
    const int64_t size = image::nodeTablesSize(nodes);
    if (size > (1 << 20))
        return;
    std::vector<image::TMBus_Nodo> copy = nodes;
    image::assignRecordAddresses(copy, 13);
    image::BankBuffer bank(static_cast<int32_t>(size));
    image::BankWriter w(bank, 0);
    image::writeNodeTables(w, copy, adds);
    if (w.offset() != size)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    mbus::NetworkTexts texts;
    try {
        texts = mbus::parseNetworkTexts(bytes);
    } catch (const platform::UserError&) {
        return 0;
    }
    static const auto table = std::make_unique<image::BacnetObjectTable>();
    for (image::NetworkReading reading :
         {image::NetworkReading::BacnetIp, image::NetworkReading::Mstp, image::NetworkReading::Bank}) {
        for (bool wired : {true, false}) {
            image::MBusNetworkModel m;
            image::readMBusModel(texts, reading, wired, m);
            if (m.wired.size() != m.wiredAdd.size() || m.wireless.size() != m.meters.size())
                std::abort();
            writeTables(m.wired, m.wiredAdd);
            writeTables(m.wireless, m.wirelessAdd);
            image::MBusObjectRules rules;
            rules.bank = reading == image::NetworkReading::Bank;
            rules.deviceInstance = 4294967295u;
            for (uint8_t flag : {0, 1}) {
                rules.descCharsLimitFlag = flag;
                try {
                    const image::MBusObjectCounts c = image::Make_MBus_Objects(*table, m, rules, flag ? 1024 : 2048);
                    if (static_cast<int>(c.variables() + c.command) != table->count)
                        std::abort();
                } catch (const platform::UserError&) {
                }
            }
        }
    }
    return 0;
}
