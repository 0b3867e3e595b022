#include "image/DeviceNetImage.h"

#include "image/ImageState.h"

namespace image {

namespace {

constexpr int32_t kEmptyTableSize = 0x8000;
constexpr int32_t kDeviceNetParGenOffset = 0x18800;
static_assert(kObjectAreaSize + kEmptyTableSize == kDeviceNetParGenOffset);
static_assert(kDeviceNetParGenOffset + kParGenRecordSize == kDeviceNetBankLength);

} // namespace

uint32_t deviceNetBitRate(int32_t code)
{
    if (code == 0)
        return 125000;
    if (code == 1)
        return 250000;
    return 500000;
}

void Read_Par_Gen_DeviceNet(ImageState& st)
{
    ParGenKDD& p = st.field.kdd;
    p.Protocol_Code = 0xA4;
    ParGenKeys keys;
    if (!openParGen(keys))
        return;
    readBacnetSideKDD(keys, p, st.Desc_Chars_Limit_Flag, KddModel::DeviceNet);
    p.DeviceNet_MAC_ID = static_cast<uint32_t>(keys.keyInt(QStringLiteral("DNETS_ID_DEV"), 10));
    p.CAN_Bit_Rate = deviceNetBitRate(keys.keyInt(QStringLiteral("DNETS_BAUDRATE"), 2));
    p.NB_In = static_cast<uint32_t>(keys.keyInt(QStringLiteral("DNETS_NB_IN"), 455));
    p.NB_Out = static_cast<uint32_t>(keys.keyInt(QStringLiteral("DNETS_NB_OUT"), 455));
}

void Build_Bin_DeviceNet(ImageState& st)
{
    startKnxDmxDnetBuild(st);
    Read_Par_Gen_DeviceNet(st);
    loadProjectObjects(st);
    st.field.kdd.Object_Base_Address = st.objects.Object_Base_Address;
    Copy_Object_Counts_KDD(st.field.kdd, st.Par_Gen.Object_Count, true);

    st.bank1.setLength(0);
    int32_t offset = Write_BACnet_Objects(st.bank1, st.objects, st.Desc_Chars_Limit_Flag, 0);
    offset = BankWriter(st.bank1, offset).zeros(kEmptyTableSize).offset();
    Write_Par_Gen_KNX_DMX_DNet(st.bank1, st.field.kdd, offset);
    st.bank1.setLength(offset + kParGenRecordSize);
}

} // namespace image
