// A table file on arbitrary bytes, loaded by the table frame with the description of the
// Modbus RTU or TCP master table (the first byte picks it): loading never crashes, a damaged
// load names the file, the checks run on whatever was loaded, and the table saved from the
// loaded rows loads back to the same rows and saves to the same bytes.
#include "tables/frame/TableModel.h"
#include "tables/modbus/ModbusTables.h"
#include "workspace/LangTexts.h"
#include "workspace/Workspace.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    static const bool texts = [] {
        workspace::Default_Texts();
        return true;
    }();
    (void)texts;
    const bool tcp = (data[0] & 1) != 0;
    const tables::TableDescription& desc = tcp ? tables::modbus::setAccessTcpTable() : tables::modbus::setAccessTable();
    constexpr int kCapacity = 50; // enough rows to hold a corpus file, small enough to stay fast
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    const tables::LoadResult r = tables::loadTableBytes(desc, bytes, QStringLiteral("t.xml"), kCapacity);
    if (r.damaged() && !r.error.contains(QStringLiteral("t.xml")))
        std::abort();
    const tables::CheckResult checked = tables::Controllo_dati(desc, r.model, [&](const tables::RowView& row) {
        return tcp ? tables::modbus::checkSetAccessTcpRow(row, desc.limits)
                   : tables::modbus::checkSetAccessRow(row, desc.limits);
    });
    if (!checked.ok && checked.message.isEmpty())
        std::abort();

    const QByteArray saved = tables::tableXml(desc, r.model, tcp ? 3 : 0);
    const tables::LoadResult again = tables::loadTableBytes(desc, saved, QStringLiteral("t.xml"), kCapacity);
    if (again.damaged())
        std::abort();
    if (tables::tableXml(desc, again.model, tcp ? 3 : 0) != saved)
        std::abort();
    return 0;
}
