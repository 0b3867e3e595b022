// The tables of the CAN, CANopen, DeviceNet master, J1939 and NMEA 2000 models on arbitrary
// bytes. The first byte picks what the rest is:
//   0 .. 10  a table file, loaded by the table frame with the description of one of the tables
//            (CAN receive and send frames, CAN byte map, SDO server, SDO client, PDO, DeviceNet
//            network, J1939 and NMEA 2000 receive and transmit): loading never crashes, a damaged
//            load names the file, the checks run on what was loaded, and the table saved from the
//            loaded rows loads back to the same rows and saves to the same bytes;
//   11       a CAN receive frame file under a fixed byte map, and
//   12       a CAN byte map over three fixed frames: the map holds one entry per listed frame,
//            every position is none or inside the byte array (so the duplicate check never
//            indexes outside its table), and the map written back loads to the same positions.
#include "tables/can/CanTables.h"
#include "tables/canopen/CanopenTables.h"
#include "tables/devicenet/DeviceNetTables.h"
#include "tables/frame/TableModel.h"
#include "tables/j1939/J1939Tables.h"
#include "tables/nmea/NmeaTables.h"
#include "workspace/LangTexts.h"
#include "workspace/Workspace.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>
#include <iterator>

namespace {

using namespace tables;

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        std::abort();
    f.write(bytes);
}

void tableRoundTrip(const TableDescription& desc, const RowCheck& check, const QByteArray& bytes)
{
    constexpr int kCapacity = 70; // the tables' capacities run from 30 to 500: enough to hold a seed
    const LoadResult r = loadTableBytes(desc, bytes, QStringLiteral("t.xml"), kCapacity);
    if (r.damaged() && !r.error.contains(QStringLiteral("t.xml")))
        std::abort();
    const CheckResult checked = Controllo_dati(desc, r.model, check);
    if (!checked.ok && checked.message.isEmpty())
        std::abort();
    const QByteArray saved = tableXml(desc, r.model, 7);
    const LoadResult again = loadTableBytes(desc, saved, QStringLiteral("t.xml"), kCapacity);
    if (again.damaged() || tableXml(desc, again.model, 7) != saved)
        std::abort();
}

void checkMap(const can::ByteMap& m, const QString& infoPath)
{
    if (m.Data_arr.size() != size_t(m.cobIds.size()))
        std::abort();
    for (const can::TRecInfo& f : m.Data_arr)
        for (uint16_t p : f.PosB)
            if (p != can::kNoPosition && p >= can::kNumByteMax)
                std::abort();
    (void)can::Controlla_dati(m);
    (void)can::mapCountWarning(can::Direction::Receive, m);
    writeFile(infoPath, can::byteMapXml(can::Direction::Receive, m.Data_arr, 7));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    static const bool texts = [] {
        workspace::Default_Texts();
        return true;
    }();
    (void)texts;
    using can::Direction;
    static const RowCheck kJ1939Rec = [](const RowView& r) {
        int total = 0;
        return j1939::checkJ1939Row(r, j1939::Direction::Receive, total);
    };
    static const RowCheck kJ1939Send = [](const RowView& r) {
        int total = 0;
        return j1939::checkJ1939Row(r, j1939::Direction::Transmit, total);
    };
    static const RowCheck kNmeaRec = [](const RowView& r) {
        int total = 0;
        return nmea::checkNmeaRow(r, j1939::Direction::Receive, total);
    };
    static const RowCheck kNmeaSend = [](const RowView& r) {
        int total = 0;
        return nmea::checkNmeaRow(r, j1939::Direction::Transmit, total);
    };
    struct Table {
        const TableDescription* desc;
        RowCheck check;
    };
    static const Table kTables[] = {
        {&can::canFramesTable(Direction::Receive), [](const RowView& r) { return can::checkCanFrameRow(r, Direction::Receive); }},
        {&can::canFramesTable(Direction::Send), [](const RowView& r) { return can::checkCanFrameRow(r, Direction::Send); }},
        {&can::canInfoTable(Direction::Receive), RowCheck()},
        {&canopen::sdoServerTable(), [](const RowView& r) { return canopen::checkSdoServerRow(r, canopen::kByteLimits); }},
        {&canopen::sdoClientTable(), [](const RowView& r) { return canopen::checkSdoClientRow(r, canopen::kByteLimits); }},
        {&canopen::pdoTable(), [](const RowView& r) { return canopen::checkPdoRow(r, canopen::kByteLimits); }},
        {&devicenet::dnetTable(), devicenet::checkDNetRow},
        {&j1939::j1939Table(j1939::Direction::Receive), kJ1939Rec},
        {&j1939::j1939Table(j1939::Direction::Transmit), kJ1939Send},
        {&nmea::nmeaTable(j1939::Direction::Receive), kNmeaRec},
        {&nmea::nmeaTable(j1939::Direction::Transmit), kNmeaSend},
    };
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    const size_t pick = data[0] % (std::size(kTables) + 2);
    if (pick < std::size(kTables)) {
        tableRoundTrip(*kTables[pick].desc, kTables[pick].check, bytes);
        return 0;
    }
    static QTemporaryDir dir;
    const QString frames = dir.filePath(QStringLiteral("CAN_Rec_Frames.xml"));
    const QString info = dir.filePath(QStringLiteral("CAN_Rec_Info.xml"));
    const QString again = dir.filePath(QStringLiteral("again.xml"));
    static const QByteArray kFrames =
        "<PROFINET_to_Receive_CAN><Receive_Frames>"
        "<row Cob_Id=\"1\" Type=\"2.0A (11 bits)\" Dimension=\"3\" TimeOut=\"0\" Mnemonic=\"\"/>"
        "<row Cob_Id=\"2\" Type=\"2.0A (11 bits)\" Dimension=\"8\" TimeOut=\"0\" Mnemonic=\"\"/>"
        "<row Cob_Id=\"3\" Type=\"2.0A (11 bits)\" Dimension=\"0\" TimeOut=\"0\" Mnemonic=\"\"/>"
        "</Receive_Frames></PROFINET_to_Receive_CAN>";
    static const QByteArray kInfo = "<Receive_Frames_Info><row B1=\"5\" B2=\"6\" B3=\"7\" B4=\"8\"/></Receive_Frames_Info>";
    writeFile(frames, pick == std::size(kTables) ? bytes : kFrames);
    writeFile(info, pick == std::size(kTables) ? kInfo : bytes);
    const can::ByteMap m = can::loadByteMap(Direction::Receive, frames, info);
    checkMap(m, again);
    const can::ByteMap back = can::loadByteMap(Direction::Receive, frames, again);
    if (!back.error.isEmpty() && m.error.isEmpty())
        std::abort();
    for (size_t i = 0; m.error.isEmpty() && i < m.Data_arr.size(); ++i)
        if (back.Data_arr[i].PosB != m.Data_arr[i].PosB)
            std::abort();
    return 0;
}
