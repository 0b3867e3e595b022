#include "image/KnxImage.h"

#include "image/CodeMemo.h"
#include "image/ImageState.h"
#include "image/TableFile.h"
#include "platform/fs/Files.h"
#include "platform/text/Text.h"
#include "platform/text/UserError.h"
#include "workspace/Validators.h"
#include "workspace/Workspace.h"

#include <string_view>

namespace image {

namespace {

constexpr uint32_t kKnxTableAddress = 0x65800; // 0x55000 + 0x10800
constexpr int32_t kKnxParGenOffset = 0x13000;
static_assert(kObjectAreaSize + kKnxRecords * kKnxRecordSize == kKnxParGenOffset);
static_assert(kKnxParGenOffset + kParGenRecordSize == kKnxBankLength);

std::string_view trimmed(std::string_view v)
{
    while (!v.empty() && static_cast<unsigned char>(v.front()) <= ' ')
        v.remove_prefix(1);
    while (!v.empty() && static_cast<unsigned char>(v.back()) <= ' ')
        v.remove_suffix(1);
    return v;
}

int32_t partValue(std::string_view s, int32_t def) { return platform::toInt(trimmed(s)).value_or(def); }

// Splits at the first `sep` into the part before it and the rest after it, both trimmed; false
// when the text holds no `sep`.
bool splitAt(std::string_view text, char sep, std::string_view& before, std::string_view& rest)
{
    const size_t at = text.find(sep);
    if (at == std::string_view::npos)
        return false;
    before = trimmed(text.substr(0, at));
    rest = trimmed(text.substr(at + 1));
    return true;
}

uint32_t addressCode(std::string_view text, bool group)
{
    const std::string_view t = trimmed(text);
    std::string_view a, rest, b, c;
    if (group) {
        if (!splitAt(t, '/', a, rest))
            return static_cast<uint32_t>(partValue(t, 0));
        if (splitAt(rest, '/', b, c))
            return static_cast<uint32_t>((partValue(a, 0) & 0x1F) * 2048 + (partValue(b, 0) & 0x07) * 256 +
                                         (partValue(c, 0) & 0xFF));
        return static_cast<uint32_t>((partValue(a, 0) & 0x1F) * 2048 + (partValue(rest, 0) & 0x7FF));
    }
    if (!splitAt(t, '.', a, rest))
        return static_cast<uint32_t>(partValue(t, 0));
    if (!splitAt(rest, '.', b, c))
        c = rest;
    return static_cast<uint32_t>((partValue(a, 0) & 0x0F) * 4096 + (partValue(b, 0) & 0x0F) * 256 +
                                 (partValue(c, 0) & 0xFF));
}

QString qs(std::string_view v) { return QString::fromUtf8(v.data(), static_cast<qsizetype>(v.size())); }

// A row is used when its "Enable", trimmed, is "Y" in any case, or when it has none.
bool enabled(const RowValues& r)
{
    const std::optional<std::string_view> e = r.raw("Enable");
    return !e || equalsUpperAscii(trimmed(*e), "Y");
}

bool yes(std::string_view v) { return equalsUpperAscii(v, "Y"); }

struct RowCodes {
    CodeMemo apci{&workspace::APCI_Code};
    CodeMemo priority{&workspace::KNX_Priority_Code};
    CodeMemo format{&workspace::Conversion_Code};
};

KnxRecord readRow(const RowValues& r, RowCodes& codes)
{
    KnxRecord k;
    k.APCI = static_cast<uint16_t>(codes.apci(r.requiredRaw("APCI")));
    k.Priority = static_cast<uint8_t>(codes.priority(r.requiredRaw("Priority")));
    uint32_t flags = 0;
    if (yes(r.requiredRaw("Extended")))
        flags |= 0x0010;
    const std::string_view destination = r.requiredRaw("Destination_Address");
    const bool group = workspace::Is_KNX_Group_Address(qs(destination));
    if (group)
        flags |= 0x0020;
    if (yes(r.requiredRaw("ReTest")))
        flags |= 0x0002;
    k.Source_Address = static_cast<uint16_t>(addressCode(r.requiredRaw("Source_Address"), false));
    k.Destination_Address = static_cast<uint16_t>(addressCode(destination, group));
    if (const std::optional<std::string_view> command = r.raw("On_Command"); command && yes(*command))
        flags |= 0x0008;
    if (yes(r.requiredRaw("On_Change")))
        flags |= 0x0001;
    if (const std::optional<std::string_view> timer = r.raw("On_Timer"); timer && yes(*timer)) {
        if (const std::optional<std::string_view> poll = r.raw("Poll_Time"))
            k.Poll_Time = static_cast<uint32_t>(platform::toInt(*poll).value_or(1000));
    }
    if (const std::optional<std::string_view> format = r.raw("Format"))
        flags |= static_cast<uint32_t>(codes.format(*format));
    const std::string_view bitMode = r.requiredRaw("Bit_Mode");
    const int32_t position = platform::toInt(r.requiredRaw("Position")).value_or(0);
    if (equalsUpperAscii(bitMode, "NO")) {
        k.Position = static_cast<uint16_t>(position);
    } else {
        flags |= 0x0040;
        k.Position = static_cast<uint16_t>(static_cast<uint32_t>(position) * 8u +
                                           static_cast<uint32_t>(platform::toInt(bitMode).value_or(0)));
    }
    k.Length = static_cast<uint8_t>(platform::toInt(r.requiredRaw("Length")).value_or(1));
    k.Flags = static_cast<uint16_t>(flags);
    return k;
}

} // namespace

uint32_t KNX_Address_Code(const QString& text, bool group)
{
    const QByteArray utf8 = text.toUtf8();
    return addressCode(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())), group);
}

uint32_t KNX_Physical_Address_Code(const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    const std::string_view t(utf8.constData(), static_cast<size_t>(utf8.size()));
    std::string_view a, rest, b, c;
    if (!splitAt(t, '.', a, rest))
        return static_cast<uint32_t>(platform::toInt(t).value_or(0x1114));
    if (!splitAt(rest, '.', b, c))
        c = rest;
    // The parts are not masked: the record keeps the low 16 bits of the sum.
    return static_cast<uint32_t>(partValue(a, 1)) * 4096u + static_cast<uint32_t>(partValue(b, 1)) * 256u +
           static_cast<uint32_t>(partValue(c, 20));
}

void Clear_KNX_Tables(KnxTable& t) { t.fill(KnxRecord{}); }

void Load_KNX_Table(KnxTable& t, ParGenKDD& p, const QString& path)
{
    p.KNX_Read_Count = 0;
    p.KNX_Write_Count = 0;
    if (!platform::fileExists(path))
        return;
    const TableFile file(path);
    // The read section is the editor's and never reaches the image.
    const std::vector<TableRow> rows = file.section("KNX_in_Write");
    size_t used = 0;
    for (const TableRow& row : rows)
        used += enabled(RowValues(row)) ? 1 : 0;
    if (used > static_cast<size_t>(kKnxRecords))
        throw platform::UserError(
            QStringLiteral("The file %1 holds %2 enabled rows in its section \"KNX_in_Write\"; the KNX table of "
                           "the image has room for %3.")
                .arg(file.fileName())
                .arg(used)
                .arg(kKnxRecords));
    uint32_t count = 0;
    RowCodes codes;
    for (const TableRow& row : rows) {
        const RowValues r(row);
        if (enabled(r))
            t[count++] = readRow(r, codes);
    }
    p.KNX_Write_Count = count;
}

int32_t Write_KNX_Table(BankBuffer& bank, const KnxTable& t, int32_t offset)
{
    BankWriter w(bank, offset);
    for (const KnxRecord& k : t) {
        w.u32(k.Poll_Time).u32(0).u8(k.Priority).u8(k.Length).u16(k.Flags);
        w.u16(k.APCI).u16(k.Source_Address).u16(k.Destination_Address).u16(k.Position);
    }
    return w.offset();
}

void Read_Par_Gen_KNX(ImageState& st)
{
    ParGenKDD& p = st.field.kdd;
    p.Object_Base_Address = objectBaseAddress(16);
    p.KNX_Read_Table_Address = kKnxTableAddress;
    p.KNX_Write_Table_Address = kKnxTableAddress;
    ParGenKeys keys;
    if (!openParGen(keys))
        return;
    readBacnetSideKDD(keys, p, st.Desc_Chars_Limit_Flag, KddModel::Knx);
    const std::optional<QString> id = keys.keyText(QStringLiteral("KNX_ID_DEV"));
    p.KNX_Physical_Address = static_cast<uint16_t>(id ? KNX_Physical_Address_Code(*id) : 0x11C8);
}

void Build_Bin_KNX(ImageState& st)
{
    const workspace::Workspace& w = workspace::ws();
    startKnxDmxDnetBuild(st);
    Clear_KNX_Tables(st.field.knx);
    Read_Par_Gen_KNX(st);
    loadProjectObjects(st);
    Copy_Object_Counts_KDD(st.field.kdd, st.Par_Gen.Object_Count, true);
    Load_KNX_Table(st.field.knx, st.field.kdd, w.Path_KNX_SetAccess);

    st.bank1.setLength(0);
    int32_t offset = Write_BACnet_Objects(st.bank1, st.objects, st.Desc_Chars_Limit_Flag, 0);
    offset = Write_KNX_Table(st.bank1, st.field.knx, offset);
    Write_Par_Gen_KNX_DMX_DNet(st.bank1, st.field.kdd, offset);
    st.bank1.setLength(offset + kParGenRecordSize);
}

} // namespace image
