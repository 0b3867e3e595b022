#include "image/FieldbusSlaveImages.h"

#include "image/ImageState.h"
#include "image/ParGenKeys.h"

namespace image {

namespace {

constexpr int32_t kEmptyTableSize = 0x8000;
static_assert(kObjectAreaSize + kEmptyTableSize + kParGenRecordSize == kFieldbusSlaveBankLength);
static_assert(kFieldbusSlaveBankLength + kBdtSize == kProfinetBankLength);

// Object area, the unused table area and the record; the length becomes 102,400.
void Write_Bank_Empty_Table(ImageState& st)
{
    st.bank1.setLength(0);
    int32_t offset = Write_BACnet_Objects(st.bank1, st.objects, st.Desc_Chars_Limit_Flag, 0);
    offset = BankWriter(st.bank1, offset).zeros(kEmptyTableSize).offset();
    st.bank1.setLength(Write_Par_Gen(st.bank1, st.Par_Gen, offset));
}

} // namespace

void Read_Par_Gen_PROFINET(ImageState& st)
{
    ParGenStd& p = st.Par_Gen;
    p.Protocol_Code = 0x26;
    p.Option_Word = 0;
    p.Modbus_TCP_Port_2 = 34963;
    ParGenKeys keys;
    if (!openParGen(keys))
        return;
    readBacnetSide(keys, p, st.Desc_Chars_Limit_Flag, true);
    p.NB_In = static_cast<uint32_t>(keys.keyInt(QStringLiteral("PROFINET_NB_IN"), 1439));
    p.NB_Out = static_cast<uint32_t>(keys.keyInt(QStringLiteral("PROFINET_NB_OUT"), 1439));
    // The PROFINET address is always the gateway's second one.
    readAddressKeys(keys, QStringLiteral("PROFINET_"), {{192, 168, 0, 10}, {255, 255, 255, 0}, {192, 168, 0, 1}},
                    p.Eth2_IP, p.Eth2_SM, p.Eth2_GAT);
    copyTextField(p.Station_Name_2.data(), 16,
                  keys.keyTextOr(QStringLiteral("PROFINET_NAME_STA"), QStringLiteral("devicename2")));
}

void Read_Par_Gen_PROFIBUS(ImageState& st)
{
    // This reader stores no model constants: Protocol_Code and its neighbours stay 0.
    ParGenStd& p = st.Par_Gen;
    ParGenKeys keys;
    if (!openParGen(keys))
        return;
    const int32_t bacnetType = readBacnetTypeAndLimit(keys, st.Desc_Chars_Limit_Flag);
    readBacnetAddress(keys, p);
    // Unlike the other readers, a missing gateway key gives 255 for its byte; a value that is
    // not a number keeps the usual default.
    for (size_t i = 0; i < 4; ++i)
        if (!keys.keyText(QStringLiteral("BACnet_GAT%1").arg(i + 1)))
            p.BACnet_GAT[i] = 255;
    if (bacnetType == 0)
        readBacnetIpKeys(keys, p, false);
    else if (bacnetType == 1)
        readBacnetMstpKeys(keys, p);
    p.PROFIBUS_Station = static_cast<uint8_t>(keys.keyInt(QStringLiteral("PROFIBUS_SLAVE_ID_DEV"), 10));
    // Seen from the PROFIBUS master: its input bytes are the gateway's output bytes.
    p.NB_Out = static_cast<uint32_t>(keys.keyInt(QStringLiteral("PROFIBUS_SLAVE_NB_IN"), 244));
    p.NB_In = static_cast<uint32_t>(keys.keyInt(QStringLiteral("PROFIBUS_SLAVE_NB_OUT"), 244));
}

void Read_Par_Gen_EtherNetIP(ImageState& st)
{
    ParGenStd& p = st.Par_Gen;
    p.Protocol_Code = 0xA4;
    p.Option_Word = 0;
    ParGenKeys keys;
    if (!openParGen(keys))
        return;
    const int32_t bacnetType = readBacnetTypeAndLimit(keys, st.Desc_Chars_Limit_Flag);
    if (bacnetType == 0) {
        readBacnetAddress(keys, p);
        readBacnetIpKeys(keys, p, false);
    } else if (bacnetType == 1) {
        readBacnetMstpKeys(keys, p);
    } else if (bacnetType == 2) {
        // MS/TP on serial line 2.
        const MstpLine line = readMstpLine(keys);
        p.Port2_Baud_Rate = line.baudRate;
        p.Port2_Parity = line.parity;
        p.BACnet_Device_Instance = static_cast<uint32_t>(keys.keyInt(QStringLiteral("BACnet_Ser_ID"), 0));
        readStationName(keys, "BACnet_Ser_NAME_STA", p.BACnet_Device_Name);
    }
    // With BACnet/IP the EtherNet/IP address is the second one; otherwise the only one.
    const QString prefix = QStringLiteral("EtherNetIP_");
    const AddressDefaults defaults{{192, 168, 0, 11}, {255, 255, 255, 0}, {192, 168, 0, 1}};
    if (bacnetType == 0)
        readAddressKeys(keys, prefix, defaults, p.Eth2_IP, p.Eth2_SM, p.Eth2_GAT);
    else
        readAddressKeys(keys, prefix, defaults, p.BACnet_IP, p.BACnet_SM, p.BACnet_GAT);
    p.Modbus_TCP_Port = 44818;
    p.Modbus_TCP_Port_2 = 44818;
    p.NB_In = static_cast<uint32_t>(keys.keyInt(QStringLiteral("EtherNetIP_NB_IN"), 496));
    p.NB_Out = static_cast<uint32_t>(keys.keyInt(QStringLiteral("EtherNetIP_NB_OUT"), 500));
}

void Build_Bin_PROFINET(ImageState& st)
{
    startStandardBuild(st);
    Clear_BDT(st.bdt);
    Read_Par_Gen_PROFINET(st);
    loadProjectObjects(st);
    loadProjectBdt(st, kBdtAddressAt0x19000);
    Write_Bank_Empty_Table(st);
    st.bank1.setLength(Write_BDT(st.bank1, st.bdt, st.bank1.length()));
}

void Build_Bin_PROFIBUS(ImageState& st)
{
    startStandardBuild(st);
    Read_Par_Gen_PROFIBUS(st);
    loadProjectObjects(st);
    Write_Bank_Empty_Table(st);
}

void Build_Bin_EtherNetIP(ImageState& st)
{
    startStandardBuild(st);
    Read_Par_Gen_EtherNetIP(st);
    loadProjectObjects(st);
    Write_Bank_Empty_Table(st);
}

} // namespace image
