// A table file on arbitrary bytes, loaded by the table frame with the description of one of the
// tables (the first byte picks it: Modbus RTU or TCP master, BACnet objects of a Modbus master
// or of a fieldbus slave, broadcast distribution, KNX access, DMX default values, SNMP manager,
// SNMP traps): loading never crashes, a damaged load names
// the file, the checks run on whatever was loaded, and the table saved from the loaded rows
// loads back to the same rows and saves to the same bytes.
#include "tables/bacnet/BacnetTables.h"
#include "tables/dmx/DmxTables.h"
#include "tables/knx/KnxTables.h"
#include "tables/frame/TableModel.h"
#include "tables/modbus/ModbusTables.h"
#include "tables/snmp/SnmpTables.h"
#include "workspace/LangTexts.h"
#include "workspace/Workspace.h"

#include <cstdint>
#include <cstdlib>
#include <iterator>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    static const bool texts = [] {
        workspace::Default_Texts();
        return true;
    }();
    (void)texts;
    struct Table {
        tables::TableDescription desc;
        int converterType;
        tables::RowCheck check;
    };
    static const Table kTables[] = {
        {tables::modbus::setAccessTable(), 0,
         [](const tables::RowView& row) { return tables::modbus::checkSetAccessRow(row, {1439, 1439}); }},
        {tables::modbus::setAccessTcpTable(), 3,
         [](const tables::RowView& row) { return tables::modbus::checkSetAccessTcpRow(row, {1439, 1439}); }},
        {tables::bacnet::bacnetSetAccessTable(), 3,
         [](const tables::RowView& row) { return tables::bacnet::checkBacnetSetAccessRow(row, {1439, 1439}); }},
        {tables::bacnet::bacnetModSlaveTable(19), 19,
         [](const tables::RowView& row) { return tables::bacnet::checkBacnetModSlaveRow(row, 19, {1440, 1440}); }},
        {tables::bacnet::bdtTable(), 0, tables::bacnet::checkBdtRow},
        {tables::knx::knxAccessTable(), 16, tables::knx::checkKnxRow},
        {tables::dmx::dmxDefaultsTable(), 18, tables::dmx::checkDmxRow},
        {tables::snmp::managerTable(), 19, tables::snmp::checkManagerRow},
        {tables::snmp::trapTable(), 17, tables::snmp::checkTrapRow},
    };
    const Table& t = kTables[data[0] % std::size(kTables)];
    const tables::TableDescription& desc = t.desc;
    constexpr int kCapacity = 50; // enough rows to hold a corpus file, small enough to stay fast
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    const tables::LoadResult r = tables::loadTableBytes(desc, bytes, QStringLiteral("t.xml"), kCapacity);
    if (r.damaged() && !r.error.contains(QStringLiteral("t.xml")))
        std::abort();
    const tables::CheckResult checked = tables::Controllo_dati(desc, r.model, t.check);
    if (!checked.ok && checked.message.isEmpty())
        std::abort();

    const QByteArray saved = tables::tableXml(desc, r.model, t.converterType);
    const tables::LoadResult again = tables::loadTableBytes(desc, saved, QStringLiteral("t.xml"), kCapacity);
    if (again.damaged())
        std::abort();
    if (tables::tableXml(desc, again.model, t.converterType) != saved)
        std::abort();
    return 0;
}
