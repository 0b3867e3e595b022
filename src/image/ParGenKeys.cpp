#include "image/ParGenKeys.h"

#include "platform/text/Text.h"
#include "platform/text/UserError.h"
#include "workspace/Workspace.h"

#include <QFileInfo>

namespace image {

bool openParGen(ParGenKeys& file)
{
    QString error;
    switch (file.load(workspace::ws().Path_ParGen, &error)) {
    case ParGenKeys::Status::NoFile:
        return false;
    case ParGenKeys::Status::Damaged:
        throw platform::UserError(QStringLiteral("The file %1 cannot be read: %2")
                                      .arg(QFileInfo(workspace::ws().Path_ParGen).fileName(), error));
    case ParGenKeys::Status::Loaded:
        break;
    }
    return true;
}

uint32_t mstpBaudRate(int32_t code)
{
    static const uint32_t kBaud[6] = {9600, 19200, 38400, 57600, 76800, 115200};
    return code >= 0 && code < 6 ? kBaud[code] : 9600;
}

void copyTextField(uint8_t* field, int size, const QString& text)
{
    for (int i = 0; i < size; ++i)
        field[i] = i < text.size() ? static_cast<uint8_t>(text[i].unicode() & 0xFF) : 0;
}

void readStationName(const ParGenKeys& keys, const char* key, std::array<uint8_t, 16>& field)
{
    copyTextField(field.data(), 16, keys.keyTextOr(QLatin1String(key), QStringLiteral("devicename1")));
}

MstpLine readMstpLine(const ParGenKeys& keys)
{
    const int32_t parity = keys.keyInt(QStringLiteral("BACnet_Ser_Parity"), 0);
    return {mstpBaudRate(keys.keyInt(QStringLiteral("BACnet_Ser_Baudrate"), 0)),
            static_cast<uint16_t>(parity == 1 ? 2 : parity)};
}

int32_t readBacnetTypeAndLimit(const ParGenKeys& keys, uint8_t& descCharsLimitFlag)
{
    const int32_t type = keys.keyInt(QStringLiteral("BACnet_Type"), 0);
    descCharsLimitFlag = keys.keyFlag(QStringLiteral("BACnet_Desc_Chars_Limit")) ? 1 : 0;
    return type;
}

void readBacnetAddress(const ParGenKeys& keys, ParGenStd& p)
{
    readAddressKeys(keys, QStringLiteral("BACnet_"), {{192, 168, 0, 5}}, p.BACnet_IP, p.BACnet_SM, p.BACnet_GAT);
}

void readBacnetIpKeys(const ParGenKeys& keys, ParGenStd& p, bool bbmdAndFdr)
{
    readBacnetIpDevice(keys, p);
    if (bbmdAndFdr) {
        if (keys.keyFlag(QStringLiteral("BACnet_EN_BBMD")))
            p.BACnet_IP_Flags |= 1u;
        if (keys.keyFlag(QStringLiteral("BACnet_EN_FDR")))
            p.BACnet_IP_Flags |= 2u;
    }
}

void readBacnetMstpKeys(const ParGenKeys& keys, ParGenStd& p)
{
    const MstpLine line = readMstpLine(keys);
    p.Port1_Baud_Rate = line.baudRate;
    p.Port1_Parity = line.parity;
    p.BACnet_Ser_MAC = static_cast<uint8_t>(keys.keyInt(QStringLiteral("BACnet_Ser_ID"), 0));
    p.BACnet_Ser_Max_Master = static_cast<uint8_t>(keys.keyInt(QStringLiteral("BACnet_Ser_Max_Master"), 1));
    p.BACnet_Ser_Max_Info_Frames =
        static_cast<uint8_t>(keys.keyInt(QStringLiteral("BACnet_Ser_Max_Info_Frames"), 1));
    p.BACnet_Ser_Device_Instance = static_cast<uint32_t>(keys.keyInt(QStringLiteral("BACnet_Ser_DEV_IDE"), 0));
    p.BACnet_Ser_Network = static_cast<uint16_t>(keys.keyInt(QStringLiteral("BACnet_Ser_Network"), 1));
    readStationName(keys, "BACnet_Ser_NAME_STA", p.BACnet_Device_Name);
}

int32_t readBacnetSide(const ParGenKeys& keys, ParGenStd& p, uint8_t& descCharsLimitFlag, bool bbmdAndFdr)
{
    const int32_t type = readBacnetTypeAndLimit(keys, descCharsLimitFlag);
    readBacnetAddress(keys, p);
    if (type == 0)
        readBacnetIpKeys(keys, p, bbmdAndFdr);
    else if (type == 1)
        readBacnetMstpKeys(keys, p);
    return type;
}

} // namespace image
