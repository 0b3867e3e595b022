#include "image/CanopenImage.h"

#include "image/ImageState.h"
#include "image/ParGenKeys.h"
#include "image/TableFile.h"
#include "platform/fs/Files.h"
#include "platform/text/UserError.h"
#include "workspace/Workspace.h"

#include <vector>

namespace image {

namespace {

constexpr int32_t kServerTablesOffset = 0x10800;
constexpr int32_t kCanopenParGenOffset = 0x18800;
constexpr int32_t kCanopenBdtOffset = 0x1F000;
constexpr uint32_t kLoadAddress = 0x4F800;
// Bank offset of each table, in the order of CanopenTable.
constexpr std::array<int32_t, kCanopenTables> kTableOffset{0x10800, 0x14800, 0x19000, 0x1B000, 0x1D000, 0x1E000};
constexpr std::array<int, kCanopenTables> kFirstEntry{0, 512, 1024, 1280, 1536, 1664};

static_assert(kServerTablesOffset == kObjectAreaSize);
static_assert(kTableOffset[1] + 512 * kCanopenEntrySize == kCanopenParGenOffset);
static_assert(kCanopenParGenOffset + kParGenRecordSize == kTableOffset[2]);
static_assert(kTableOffset[5] + 128 * kCanopenEntrySize == kCanopenBdtOffset);
static_assert(kCanopenBdtOffset + kBdtSize == kCanopenBankLength);

const char* const kAddressAttrs[8] = {"Address_B1", "Address_B2", "Address_B3", "Address_B4",
                                      "Address_B5", "Address_B6", "Address_B7", "Address_B8"};

const char* const kTableNames[kCanopenTables] = {"SDO server read", "SDO server write", "SDO client read",
                                                 "SDO client write", "receive PDO", "transmit PDO"};

enum class FileKind { SdoServer, SdoClient, Pdo };

CanopenEntry sdoEntry(const RowValues& r, FileKind kind, bool write)
{
    CanopenEntry e;
    if (kind == FileKind::SdoClient)
        e.Device_ID = static_cast<uint8_t>(r.requiredInt("Device_ID"));
    e.Index = static_cast<uint16_t>(r.requiredInt("Index"));
    e.SubIndex = static_cast<uint8_t>(r.requiredInt("SubIndex"));
    e.Size = static_cast<uint8_t>(r.requiredInt("NByte"));
    if (kind == FileKind::SdoClient)
        e.Time = static_cast<uint32_t>(r.requiredInt64("Poll_Time"));
    // Positions 1..4 go to the last four words; 2 for two-byte entries, 3 and 4 for four-byte.
    e.Word.fill(0);
    const int used = e.Size >= 4 ? 4 : e.Size >= 2 ? 2 : 1;
    for (int k = 0; k < used; ++k)
        e.Word[static_cast<size_t>(4 + k)] = static_cast<uint16_t>(r.requiredInt(kAddressAttrs[k]));
    if (!write)
        e.Mode = 0;
    else if (kind == FileKind::SdoClient)
        e.Mode = r.yes("On_Change") ? 3 : 1;
    else
        e.Mode = 1;
    return e;
}

CanopenEntry pdoEntry(const RowValues& r, bool transmit)
{
    CanopenEntry e;
    e.Cob_Id = static_cast<uint32_t>(r.requiredInt64("COB-ID"));
    e.Size = static_cast<uint8_t>(r.requiredInt("Dimension"));
    e.Word.fill(0);
    for (int k = 0; k < 8; ++k)
        if (k == 0 || e.Size > k)
            e.Word[static_cast<size_t>(k)] = static_cast<uint16_t>(r.requiredInt(kAddressAttrs[k]));
    e.Time = static_cast<uint32_t>(r.requiredInt64(transmit ? "Send_Time" : "TimeOut"));
    e.Mode = transmit ? (r.yes("On_Change") ? 3 : 1) : 0;
    return e;
}

// One table file with its two sections: the rows of both are taken only when both fit.
void loadFile(CanopenTables& t, const QString& path, FileKind kind, const char* first, const char* second,
              CanopenTable firstTable)
{
    const CanopenTable tables[2] = {firstTable, static_cast<CanopenTable>(static_cast<int>(firstTable) + 1)};
    t.count[static_cast<size_t>(tables[0])] = 0;
    t.count[static_cast<size_t>(tables[1])] = 0;
    if (!platform::fileExists(path))
        return;
    const TableFile file(path);
    const std::vector<TableRow> rows[2] = {file.section(first), file.section(second)};
    const char* sections[2] = {first, second};
    for (int s = 0; s < 2; ++s) {
        const int capacity = kCanopenCapacity[static_cast<size_t>(tables[s])];
        if (rows[s].size() > static_cast<size_t>(capacity))
            throw platform::UserError(
                QStringLiteral("The file %1 holds %2 rows in its section \"%3\"; the %4 table of the image has "
                               "room for %5.")
                    .arg(file.fileName())
                    .arg(rows[s].size())
                    .arg(QString::fromLatin1(sections[s]), QString::fromLatin1(kTableNames[static_cast<int>(tables[s])]))
                    .arg(capacity));
    }
    for (int s = 0; s < 2; ++s) {
        CanopenEntry* entries = t.table(tables[s]);
        uint32_t& count = t.count[static_cast<size_t>(tables[s])];
        for (const TableRow& row : rows[s]) {
            const RowValues r(row);
            entries[count++] = kind == FileKind::Pdo ? pdoEntry(r, s == 1) : sdoEntry(r, kind, s == 1);
        }
    }
}

} // namespace

CanopenEntry* CanopenTables::table(CanopenTable which)
{
    return entries.data() + kFirstEntry[static_cast<size_t>(which)];
}

const CanopenEntry* CanopenTables::table(CanopenTable which) const
{
    return entries.data() + kFirstEntry[static_cast<size_t>(which)];
}

uint32_t canopenBitRate(int32_t code)
{
    static const uint32_t kRates[9] = {10000, 20000, 50000, 100000, 125000, 250000, 500000, 800000, 1000000};
    return code >= 0 && code < 9 ? kRates[code] : 1000000;
}

void Clear_CANopen_Tables(CanopenTables& t)
{
    t.entries.fill(CanopenEntry{});
    t.count.fill(0);
}

void Load_CANopen_Tables(CanopenTables& t, ParGenStd& p, const CanopenPaths& paths)
{
    loadFile(t, paths.sdoServer, FileKind::SdoServer, "SDO_Read", "SDO_Write", CanopenTable::SdoServerRead);
    loadFile(t, paths.sdoClient, FileKind::SdoClient, "SDO_Read", "SDO_Write", CanopenTable::SdoClientRead);
    loadFile(t, paths.pdo, FileKind::Pdo, "Receive_PDO", "Transmit_PDO", CanopenTable::PdoReceive);
    for (size_t i = 0; i < kCanopenTables; ++i)
        p.CANopen_Table_Count[i] = t.count[i];
}

int32_t Write_CANopen_Table(BankBuffer& bank, const CanopenTables& t, CanopenTable which, int32_t offset)
{
    BankWriter w(bank, offset);
    const CanopenEntry* entries = t.table(which);
    const int n = kCanopenCapacity[static_cast<size_t>(which)];
    for (int i = 0; i < n; ++i) {
        const CanopenEntry& e = entries[i];
        w.u32(e.Cob_Id).u16(e.Index).u8(e.SubIndex).u8(e.Device_ID).u32(e.Time);
        for (uint16_t word : e.Word)
            w.u16(word);
        w.u8(e.Size).u8(e.Mode).u16(0);
    }
    return w.offset();
}

void Read_Par_Gen_CANopen(ImageState& st)
{
    ParGenStd& p = st.Par_Gen;
    p.Protocol_Code = 0x24;
    p.CAN_Kind = 2;
    p.Serial_Mode = 0;
    p.Option_Word = 0;
    for (size_t i = 0; i < kCanopenTables; ++i)
        p.CANopen_Table_Address[i] = kLoadAddress + static_cast<uint32_t>(kTableOffset[i]);
    ParGenKeys keys;
    if (!openParGen(keys))
        return;
    readBacnetSide(keys, p, st.Desc_Chars_Limit_Flag, true);
    p.CANopen_Node_ID = static_cast<uint32_t>(keys.keyInt(QStringLiteral("CANopen_IDDev"), 1));
    p.CAN_Bit_Rate = canopenBitRate(keys.keyInt(QStringLiteral("CANopen_BAUDRATE"), 8));
    p.CANopen_Flags = 0;
    if (keys.keyFlag(QStringLiteral("CANopen_Set_Operational")))
        p.CANopen_Flags |= 1u;
    if (keys.keyFlag(QStringLiteral("CANopen_Network_Start")))
        p.CANopen_Flags |= 2u;
    // The editor keeps the delay in seconds; the gateway counts milliseconds.
    p.CANopen_Delay = static_cast<uint32_t>(keys.keyInt(QStringLiteral("CANopen_Delay"), 10)) * 1000u;
    p.CANopen_SDO_Timeout = static_cast<uint32_t>(keys.keyInt(QStringLiteral("CANopen_SDO_TimeOut"), 10000));
}

void Build_Bin_CANopen(ImageState& st)
{
    const workspace::Workspace& w = workspace::ws();
    startStandardBuild(st);
    Clear_CANopen_Tables(st.field.canopen);
    Clear_BDT(st.bdt);
    Read_Par_Gen_CANopen(st);
    loadProjectObjects(st);
    Load_CANopen_Tables(st.field.canopen, st.Par_Gen, {w.Path_SDO_Server_CANopen, w.Path_SDO_Client_CANopen,
                                                       w.Path_PDO_CANopen});
    loadProjectBdt(st, kLoadAddress + kCanopenBdtOffset);

    const CanopenTables& t = st.field.canopen;
    st.bank1.setLength(0);
    int32_t offset = Write_BACnet_Objects(st.bank1, st.objects, st.Desc_Chars_Limit_Flag, 0);
    offset = Write_CANopen_Table(st.bank1, t, CanopenTable::SdoServerRead, offset);
    offset = Write_CANopen_Table(st.bank1, t, CanopenTable::SdoServerWrite, offset);
    offset = Write_Par_Gen(st.bank1, st.Par_Gen, offset);
    offset = Write_CANopen_Table(st.bank1, t, CanopenTable::SdoClientRead, offset);
    offset = Write_CANopen_Table(st.bank1, t, CanopenTable::SdoClientWrite, offset);
    offset = Write_CANopen_Table(st.bank1, t, CanopenTable::PdoReceive, offset);
    offset = Write_CANopen_Table(st.bank1, t, CanopenTable::PdoTransmit, offset);
    st.bank1.setLength(Write_BDT(st.bank1, st.bdt, offset));
}

} // namespace image
