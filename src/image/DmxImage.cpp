#include "image/DmxImage.h"

#include "image/ImageState.h"
#include "image/TableFile.h"
#include "platform/fs/Files.h"
#include "workspace/Workspace.h"

namespace image {

namespace {

constexpr uint32_t kDmxTableAddress = 0x68800; // 0x57800 + 0x11000
constexpr int32_t kDmxParGenOffset = 0x10800;
constexpr int32_t kDmxTableOffset = 0x11000;
static_assert(kObjectAreaSize == kDmxParGenOffset);
static_assert(kDmxParGenOffset + kParGenRecordSize == kDmxTableOffset);
static_assert(kDmxTableOffset + kDmxChannels == kDmxBankLength);

} // namespace

void Clear_DMX_Defaults(DmxDefaults& t) { t.fill(0); }

void Load_DMX_Defaults(DmxDefaults& t, const QString& path)
{
    if (!platform::fileExists(path))
        return;
    const TableFile file(path);
    // The rows are taken by position, whatever their element name (the editor writes "Row").
    const std::vector<TableRow> rows = file.rootRows();
    DmxDefaults filled{};
    const size_t n = std::min(rows.size(), static_cast<size_t>(kDmxChannels));
    for (size_t i = 0; i < n; ++i)
        filled[i] = static_cast<uint8_t>(RowValues(rows[i]).intOr("Default_Value", 0));
    t = filled;
}

int32_t Write_DMX_Defaults(BankBuffer& bank, const DmxDefaults& t, int32_t offset)
{
    return BankWriter(bank, offset).bytes(t.data(), kDmxChannels).offset();
}

void Read_Par_Gen_DMX(ImageState& st)
{
    ParGenKDD& p = st.field.kdd;
    st.DMX_Direction = 1;
    p.DMX_Table_Address = kDmxTableAddress;
    p.Object_Base_Address = objectBaseAddress(18);
    ParGenKeys keys;
    if (!openParGen(keys))
        return;
    readBacnetSideKDD(keys, p, st.Desc_Chars_Limit_Flag, KddModel::Dmx);
    st.DMX_Direction = keys.keyInt(QStringLiteral("DMX_DMX"), 1);
    const uint16_t channels = static_cast<uint16_t>(keys.keyInt(QStringLiteral("DMX_Num_Channels"), kDmxChannels));
    p.DMX_In_Channels = st.DMX_Direction == 0 ? channels : 0;
    p.DMX_Out_Channels = st.DMX_Direction == 0 ? 0 : channels;
}

void Build_Bin_DMX(ImageState& st)
{
    const workspace::Workspace& w = workspace::ws();
    startKnxDmxDnetBuild(st);
    Clear_DMX_Defaults(st.field.dmx);
    Read_Par_Gen_DMX(st);
    // The gateway works in one direction: only the objects of that side reach the image.
    loadProjectObjects(st, st.DMX_Direction == 0 ? ObjectSections::ReadOnly : ObjectSections::WriteOnly);
    Load_DMX_Defaults(st.field.dmx, w.Path_DMX_Default_Values);
    Copy_Object_Counts_KDD(st.field.kdd, st.Par_Gen.Object_Count, false);

    st.bank1.setLength(0);
    int32_t offset = Write_BACnet_Objects(st.bank1, st.objects, st.Desc_Chars_Limit_Flag, 0);
    Write_Par_Gen_KNX_DMX_DNet(st.bank1, st.field.kdd, offset);
    st.bank1.setLength(Write_DMX_Defaults(st.bank1, st.field.dmx, offset + kParGenRecordSize));
}

} // namespace image
