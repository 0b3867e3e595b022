#include "image/SnmpImages.h"

#include "image/CodeMemo.h"
#include "image/ImageState.h"
#include "image/TableFile.h"
#include "platform/fs/Files.h"
#include "platform/text/Text.h"
#include "platform/text/UserError.h"
#include "workspace/Validators.h"
#include "workspace/Workspace.h"

#include <algorithm>
#include <memory>
#include <string_view>

namespace image {

namespace {

constexpr uint32_t kFirstTableAddress = kSnmpObjectBaseAddress + kSnmpTableOffset; // 0x68800
constexpr uint32_t kWriteTrapAddress = kFirstTableAddress + kSnmpTrapEntries * kSnmpTrapEntrySize; // 0x6B800
static_assert(kObjectAreaSize == kSnmpParGenOffset);
static_assert(kSnmpParGenOffset + kParGenRecordSize == kSnmpTableOffset);
static_assert(kSnmpTableOffset + 2 * kSnmpTrapEntries * kSnmpTrapEntrySize == kSnmpAgentBankLength);
static_assert(kSnmpTableOffset + kSnmpManagerEntries * kSnmpManagerEntrySize == kSnmpManagerBankLength);

// A text field of `N` bytes holding at most `maxChars` characters.
template <size_t N>
void storeText(std::array<uint8_t, N>& field, const QString& text, int maxChars)
{
    copyTextField(field.data(), static_cast<int>(N), text.left(maxChars));
}

// The same from a row's UTF-8 text; plain ASCII, as nearly every cell is, is copied as it stands.
template <size_t N>
void storeText(std::array<uint8_t, N>& field, std::string_view utf8, int maxChars)
{
    for (char ch : utf8) {
        if (static_cast<unsigned char>(ch) >= 0x80)
            return storeText(field, QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())), maxChars);
    }
    const size_t n = std::min(utf8.size(), static_cast<size_t>(maxChars));
    field.fill(0);
    std::copy_n(utf8.begin(), n, field.begin());
}

std::string_view trimmed(std::string_view v)
{
    while (!v.empty() && static_cast<unsigned char>(v.front()) <= ' ')
        v.remove_prefix(1);
    while (!v.empty() && static_cast<unsigned char>(v.back()) <= ' ')
        v.remove_suffix(1);
    return v;
}


// A dotted address as the number a·2^24 + b·2^16 + c·2^8 + d; a bad part counts as 0 and a
// missing or empty address as 0.0.0.0.
uint32_t addressNumber(const std::optional<std::string_view>& text)
{
    uint8_t b[4] = {0, 0, 0, 0};
    if (text)
        workspace::IP_Text_To_Bytes(*text, b[0], b[1], b[2], b[3]);
    return ipNumber(b[0], b[1], b[2], b[3]);
}

uint8_t conversionCode(std::string_view text, bool withDivisions)
{
    static const char* const kTexts[5] = {"FLOAT", "FLOAT * 10", "FLOAT * 100", "FLOAT / 10", "FLOAT / 100"};
    const std::string_view t = trimmed(text);
    const int known = withDivisions ? 5 : 3;
    for (int i = 0; i < known; ++i)
        if (equalsUpperAscii(t, kTexts[i]))
            return static_cast<uint8_t>(i + 1);
    return 0;
}

uint8_t conversionCode(const QString& text, bool withDivisions)
{
    const QByteArray utf8 = text.toUtf8();
    return conversionCode(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())), withDivisions);
}

SnmpTrapEntry trapEntry(const RowValues& r, bool read)
{
    SnmpTrapEntry e;
    storeText(e.Community_Name, r.rawOr("Community_Name", {}), 16);
    const bool integer = r.is("Type", "INT");
    if (integer)
        e.Flags |= 8;
    if (read) {
        if (r.yes("On_Change"))
            e.Flags |= 1;
        if (r.yes("On_Command"))
            e.Flags |= 2;
        if (r.yes("On_Timer"))
            e.Flags |= 4;
        e.Time = static_cast<uint32_t>(r.intOr("Time", 0));
    }
    e.Position = static_cast<uint16_t>(r.intOr("Position", 0));
    e.Bit = static_cast<uint16_t>(r.intOr("Bit", 0));
    e.NumBits = static_cast<uint16_t>(r.raw("NumBits") ? r.intOr("NumBits", 1) : 0);
    // A string's length is given in bytes; the gateway counts bits.
    if (!integer)
        e.NumBits = static_cast<uint16_t>(e.NumBits * 8);
    storeText(e.Description, r.rawOr("Description", {}), 16);
    if (read)
        e.IP_Address = addressNumber(r.raw("IP_Address"));
    e.Conversion = conversionCode(r.rawOr("Conversion", {}), true);
    return e;
}

uint32_t loadTrapSection(const TableFile& file, const char* section, bool read, SnmpTrapEntry* entries)
{
    if (!file.hasSection(section))
        return 0;
    uint32_t count = 0;
    for (const TableRow& row : file.section(section)) {
        const RowValues r(row);
        if (!r.yes("Enable"))
            continue;
        if (count == kSnmpTrapEntries)
            break; // the table is full: further rows are not sent to the gateway
        entries[count++] = trapEntry(r, read);
    }
    return count;
}

struct SnmpV3Codes {
    CodeMemo level{&workspace::SNMPv3_Level_Code};
    CodeMemo auth{&workspace::SNMPv3_Auth_Code};
    CodeMemo priv{&workspace::SNMPv3_Priv_Code};
};

SnmpManagerEntry managerEntry(const RowValues& r, SnmpV3Codes& codes)
{
    SnmpManagerEntry e;
    e.IP_Address = addressNumber(r.raw("IP_Address"));
    const int32_t version = r.intOr("Version", 1);
    e.Flags |= version == 1 ? 0x10u : version == 2 ? 0x20u : 0x40u;
    storeText(e.Community, r.rawOr("Community_String", "kelpie"), 15);
    storeText(e.OID, r.rawOr("OID", {}), 62);
    if (r.is("Type", "INT"))
        e.Flags |= 0x8;
    e.Mode = r.is("Mode", "GET") ? 0 : r.is("Mode", "SET") ? 1 : 2;
    if (r.yes("On_Change"))
        e.Flags |= 0x1;
    if (r.yes("On_Command"))
        e.Flags |= 0x2;
    if (r.yes("On_Timer"))
        e.Flags |= 0x4;
    e.Time = static_cast<uint32_t>(r.intOr("Time", 1000));
    e.Position = static_cast<uint16_t>(r.intOr("Position", 0));
    // The gateway keeps the byte count in one byte while the editor allows up to 1024: a larger
    // count would reach it cut (256 as 0), so it is refused.
    const int32_t bytes = r.intOr("Number_Bytes", 1);
    if (bytes < 0 || bytes > 255)
        throw platform::UserError(r.errorText(
            "Number_Bytes", QStringLiteral("must lie between 0 and 255 for the gateway, not %1.").arg(bytes)));
    e.Number_Bytes = static_cast<uint8_t>(bytes);
    e.Conversion = conversionCode(r.rawOr("ConvertFrom", {}), false);
    if (e.Flags & 0x40) {
        e.Community.fill(0);
        storeText(e.Community, r.rawOr("User", "admin"), 15);
        storeText(e.Auth_Pass, r.rawOr("Auth_Pass", "Vusterlanoke"), 15);
        storeText(e.Priv_Pass, r.rawOr("Priv_Pass", "Dransolipech"), 15);
        const int level = codes.level(r.rawOr("Security_Level", {}));
        if (level > 0) {
            if (level & 1)
                e.Flags |= 0x1000;
            if (level & 2)
                e.Flags |= 0x2000;
        }
        if (e.Flags & 0x1000)
            e.Flags |= (codes.auth(r.rawOr("Auth_Mode", {})) & 1) ? 0x4000u : 0x8000u;
        if (e.Flags & 0x2000)
            e.Flags |= (codes.priv(r.rawOr("Priv_Mode", {})) & 1) ? 0x10000u : 0x20000u;
    }
    return e;
}

} // namespace

uint8_t SNMP_Conversion_Code(const QString& text) { return conversionCode(text, true); }

uint8_t SNMP_Manager_Conversion_Code(const QString& text) { return conversionCode(text, false); }

void Load_ParGen_SNMP_Agent(ImageState& st)
{
    ParGenSNMP& p = st.field.snmp;
    p.Object_Base_Address = kSnmpObjectBaseAddress;
    p.Protocol_Code = 0x26;
    p.Option_Word = 0;
    ParGenKeys keys;
    if (!openParGen(keys))
        return;
    readBacnetSideSNMP(keys, p, st.Desc_Chars_Limit_Flag, false);
    p.NB_In = 1024;
    p.NB_Out = 1024;
    storeText(p.SNMP_Name_of_Station, keys.keyTextOr(QStringLiteral("SNMP_Name_of_Station"), QStringLiteral("SNMPdevice1")), 15);
    storeText(p.SNMP_Contact, keys.keyTextOr(QStringLiteral("SNMP_Contact"), QString()), 16);
    storeText(p.SNMP_Location, keys.keyTextOr(QStringLiteral("SNMP_Location"), QString()), 16);
    if (keys.keyFlag(QStringLiteral("SNMP_VERSION1")))
        p.SNMP_Options |= 0x1;
    if (keys.keyFlag(QStringLiteral("SNMP_VERSION2")))
        p.SNMP_Options |= 0x2;
    if (keys.keyFlag(QStringLiteral("SNMP_VERSION3")))
        p.SNMP_Options |= 0x4;
    if (p.SNMP_Options & 0x4) {
        storeText(p.SNMP_VER3_USER, keys.keyTextOr(QStringLiteral("SNMP_VER3_USER"), QString()), 20);
        const int level = workspace::SNMPv3_Level_Index(keys.keyTextOr(QStringLiteral("SNMP_VER3_SECURITY_LEVEL"), QString()));
        if (level >= 1)
            p.SNMP_Options |= 0x10;
        if (level == 2)
            p.SNMP_Options |= 0x20;
    }
    if (p.SNMP_Options & 0x10) {
        storeText(p.SNMP_VER3_AUTHORITY, keys.keyTextOr(QStringLiteral("SNMP_VER3_AUTHORITY"), QString()), 16);
        const int mode = workspace::SNMPv3_Auth_Index(keys.keyTextOr(QStringLiteral("SNMP_VER3_AUTHORITY_MODE"), QString()));
        p.SNMP_Options |= mode == 1 ? 0x80 : 0x40;
    }
    if (p.SNMP_Options & 0x20) {
        storeText(p.SNMP_VER3_PRIVACY, keys.keyTextOr(QStringLiteral("SNMP_VER3_PRIVACY"), QString()), 16);
        const int mode = workspace::SNMPv3_Priv_Index(keys.keyTextOr(QStringLiteral("SNMP_VER3_PRIVACY_MODE"), QString()));
        p.SNMP_Options |= mode == 1 ? 0x200 : 0x100;
    }
}

void Load_ParGen_SNMP_Manager(ImageState& st)
{
    ParGenSNMP& p = st.field.snmp;
    p.Protocol_Code = 0x26;
    p.Option_Word = 0;
    ParGenKeys keys;
    if (!openParGen(keys))
        return;
    const int32_t bacnetType = readBacnetSideSNMP(keys, p, st.Desc_Chars_Limit_Flag, true);
    p.NB_In = 1440;
    p.NB_Out = 1440;
    // With BACnet/IP the first address block is the BACnet one, so the SNMP side takes the
    // second; otherwise the SNMP side is the gateway's only Ethernet address.
    const QString prefix = QStringLiteral("SNMP_Agent_");
    const AddressDefaults defaults{{192, 168, 0, 10}, {255, 255, 255, 0}, {192, 168, 0, 1}};
    if (bacnetType == 0)
        readAddressKeys(keys, prefix, defaults, p.Eth2_IP, p.Eth2_SM, p.Eth2_GAT);
    else
        readAddressKeys(keys, prefix, defaults, p.BACnet_IP, p.BACnet_SM, p.BACnet_GAT);
}

void Clear_SNMP_Traps(SnmpTrapTables& t)
{
    t.read.fill(SnmpTrapEntry{});
    t.write.fill(SnmpTrapEntry{});
}

void Load_SNMP_Traps(SnmpTrapTables& t, ParGenSNMP& p, const QString& path)
{
    p.Trap_Read_Count = 0;
    p.Trap_Write_Count = 0;
    p.Trap_Read_Address = kFirstTableAddress;
    p.Trap_Write_Address = kWriteTrapAddress;
    if (!platform::fileExists(path))
        return;
    const TableFile file(path);
    const uint32_t reads = loadTrapSection(file, "SNMP_Trap_Read", true, t.read.data());
    const uint32_t writes = loadTrapSection(file, "SNMP_Trap_Write", false, t.write.data());
    p.Trap_Read_Count = reads;
    p.Trap_Write_Count = writes;
}

int32_t Write_SNMP_Traps(BankBuffer& bank, const SnmpTrapTables& t, int32_t offset)
{
    BankWriter w(bank, offset);
    for (const auto* table : {&t.read, &t.write}) {
        for (const SnmpTrapEntry& e : *table) {
            w.u16(e.Position).u16(e.Bit).u16(e.NumBits).u8(e.Conversion).u8(e.Flags).u32(e.Time);
            w.bytes(e.Community_Name.data(), 16).bytes(e.Description.data(), 16).u32(e.IP_Address);
        }
    }
    return w.offset();
}

void Clear_SNMP_Manager(SnmpManagerTable& t) { t.fill(SnmpManagerEntry{}); }

void Load_SNMP_Manager(SnmpManagerTable& t, ParGenSNMP& p, const QString& path)
{
    p.Manager_Table_Address = kFirstTableAddress;
    if (!platform::fileExists(path)) {
        p.Manager_Row_Count = 0;
        return;
    }
    const TableFile file(path);
    uint32_t count = 0;
    SnmpV3Codes codes;
    for (const TableRow& row : file.rootRows()) {
        const RowValues r(row);
        const std::optional<std::string_view> enable = r.raw("Enable");
        if (enable && !equalsUpperAscii(trimmed(*enable), "Y"))
            continue;
        if (count == kSnmpManagerEntries)
            break; // the table is full: further rows are not sent to the gateway
        t[count++] = managerEntry(r, codes);
    }
    p.Manager_Row_Count = count;
}

int32_t Write_SNMP_Manager(BankBuffer& bank, const SnmpManagerTable& t, int32_t offset)
{
    BankWriter w(bank, offset);
    for (const SnmpManagerEntry& e : t) {
        w.u32(e.Time).u32(e.IP_Address).u32(e.Flags);
        w.bytes(e.Community.data(), 16).bytes(e.Auth_Pass.data(), 16).bytes(e.Priv_Pass.data(), 16);
        w.u16(e.Position).u8(e.Conversion).u8(e.Mode).u8(e.Number_Bytes).u8(0).bytes(e.OID.data(), 62);
    }
    return w.offset();
}

void Build_Bin_SNMP_Agent(ImageState& st)
{
    const workspace::Workspace& w = workspace::ws();
    Init_Par_Gen_SNMP(st.field.snmp);
    startStandardBuild(st);
    Clear_SNMP_Traps(st.field.traps);
    Load_ParGen_SNMP_Agent(st);
    loadProjectObjects(st);
    Copy_Object_Counts_SNMP(st.field.snmp, st.Par_Gen);
    Load_SNMP_Traps(st.field.traps, st.field.snmp, w.Path_SNMP_Trap);

    st.bank1.setLength(0);
    int32_t offset = Write_BACnet_Objects(st.bank1, st.objects, st.Desc_Chars_Limit_Flag, 0);
    offset = Write_Par_Gen_SNMP(st.bank1, st.field.snmp, offset);
    st.bank1.setLength(Write_SNMP_Traps(st.bank1, st.field.traps, offset));
}

void Build_Bin_SNMP_Manager(ImageState& st)
{
    const workspace::Workspace& w = workspace::ws();
    Init_Par_Gen_SNMP(st.field.snmp);
    startStandardBuild(st);
    Clear_SNMP_Manager(st.field.manager);
    Load_ParGen_SNMP_Manager(st);
    loadProjectObjects(st);
    Copy_Object_Counts_SNMP(st.field.snmp, st.Par_Gen);
    Load_SNMP_Manager(st.field.manager, st.field.snmp, w.Path_SNMP_Manager);
    st.field.snmp.Object_Base_Address = kSnmpObjectBaseAddress;

    st.bank1.setLength(0);
    int32_t offset = Write_BACnet_Objects(st.bank1, st.objects, st.Desc_Chars_Limit_Flag, 0);
    offset = Write_Par_Gen_SNMP(st.bank1, st.field.snmp, offset);
    st.bank1.setLength(Write_SNMP_Manager(st.bank1, st.field.manager, offset));
}

} // namespace image
