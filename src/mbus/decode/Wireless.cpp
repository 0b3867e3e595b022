#include "mbus/decode/Wireless.h"

#include "mbus/decode/Aes.h"
#include "mbus/decode/Records.h"
#include "mbus/decode/Values.h"

#include <algorithm>
#include <optional>

namespace mbus::decode {

namespace {

constexpr uint8_t kFiller = 0x2F;
constexpr uint8_t kCiShortHeader = 0x7A;
constexpr uint8_t kCiLongHeader = 0x72;
constexpr uint8_t kCiNoHeader = 0x78;
constexpr uint8_t kCiExtLink2 = 0x8C;
constexpr uint8_t kCiExtLink8 = 0x8D;
constexpr uint8_t kCiExtLink16 = 0x8F;
constexpr size_t kTrailer = 2;       // bytes the module appends
constexpr size_t kMinTelegram = 11;  // up to and including the CI

struct Address {
    uint16_t manufacturer;
    uint32_t id;
    uint8_t version;
    uint8_t deviceType;
};

// The telegram proper: its bytes without the module's trailer, read only below end.
struct Telegram {
    std::vector<uint8_t> b;
    size_t end;

    bool has(size_t i) const { return i < end; }
    uint16_t u16(size_t i) const { return static_cast<uint16_t>(b[i] | b[i + 1] << 8); }
    uint32_t u32(size_t i) const
    {
        return static_cast<uint32_t>(b[i]) | static_cast<uint32_t>(b[i + 1]) << 8 |
               static_cast<uint32_t>(b[i + 2]) << 16 | static_cast<uint32_t>(b[i + 3]) << 24;
    }
    // Security mode: low four bits of the configuration field's high byte; -1 when absent.
    int mode(size_t configHigh) const { return has(configHigh) ? b[configHigh] & 0x0F : -1; }
    bool fillersAt(size_t i) const { return has(i + 1) && b[i] == kFiller && b[i + 1] == kFiller; }
};

// Where the records start when the telegram can be read without a key; nothing when it
// cannot (encrypted, an unknown CI, or a header the telegram is too short for).
std::optional<size_t> readableRecords(const Telegram& t)
{
    switch (t.b[10]) {
    case kCiShortHeader: {
        const int m = t.mode(14);
        return m == 0 || (m == 5 && t.fillersAt(15)) ? std::optional<size_t>(15) : std::nullopt;
    }
    case kCiLongHeader: {
        // Security mode 0 is plain text however the records begin.
        const int m = t.mode(22);
        return m == 0 || t.fillersAt(23) ? std::optional<size_t>(23) : std::nullopt;
    }
    case kCiExtLink2:
    case kCiExtLink8: {
        const size_t inner = t.b[10] == kCiExtLink2 ? 13 : 19;
        if (!t.has(inner))
            return std::nullopt;
        size_t configHigh, records;
        switch (t.b[inner]) {
        case kCiNoHeader: return inner + 1;
        case kCiShortHeader: configHigh = inner + 4, records = inner + 5; break;
        case kCiLongHeader: configHigh = inner + 12, records = inner + 13; break;
        default: return std::nullopt;
        }
        const int m = t.mode(configHigh);
        return m == 0 || (m == 5 && t.fillersAt(records)) ? std::optional<size_t>(records) : std::nullopt;
    }
    default: return std::nullopt;
    }
}

enum class Decrypt { NotDue, Done, Failed };

// Security mode 5 behind a two-byte extended link layer with a short transport header: the
// blocks the configuration field counts, from byte 18, with the key of the meter. IV: M field,
// identification, version and device type, then the access number eight times.
Decrypt decryptIfDue(Telegram& t, const TSlave_wMBus& meter)
{
    if (t.b[10] != kCiExtLink2 || !t.has(19) || t.b[13] != kCiShortHeader || (t.b[17] & 0x05) != 0x05 ||
        t.b[18] == kFiller || t.b[19] == kFiller || !meter.Enable_Key)
        return Decrypt::NotDue;
    const size_t length = 16u * (t.b[16] >> 4);
    if (length == 0 || 18 + length > t.end)
        return Decrypt::Failed;
    AesBlock iv;
    std::copy(t.b.begin() + 2, t.b.begin() + 10, iv.begin());
    std::fill(iv.begin() + 8, iv.end(), t.b[14]);
    const std::span<uint8_t> blocks(t.b.data() + 18, length);
    aes128CbcDecrypt(blocks, meter.Key, iv, blocks);
    return Decrypt::Done;
}

} // namespace

bool Wireless_Telegram_Length_Ok(std::span<const uint8_t> datagram, TRadioModule module)
{
    if (datagram.empty())
        return false;
    const size_t extra = module == TRadioModule::rmTelit ? 3 : 1;
    return datagram.size() == datagram[0] + extra;
}

int8_t Wireless_RSSI(uint8_t raw, TRadioModule module)
{
    if (module == TRadioModule::rmTelit)
        return static_cast<int8_t>(static_cast<uint8_t>(-raw - 2));
    return static_cast<int8_t>(static_cast<int8_t>(raw) / 2 + 1);
}

int Find_Wireless_Slave(const std::vector<TSlave_wMBus>& list, uint16_t Manufacturer, uint32_t Address,
                        uint8_t Version, uint8_t DeviceType)
{
    for (size_t i = 0; i < list.size(); ++i) {
        const TSlave_wMBus& m = list[i];
        if (m.ALA_Manufacturer == Manufacturer && m.ALA_Address == Address && m.ALA_Version == Version &&
            m.ALA_DeviceType == DeviceType)
            return static_cast<int>(i);
    }
    return -1;
}

WirelessResult Decode_Wireless_Telegram(std::vector<TSlave_wMBus>& list, std::span<const uint8_t> telegram,
                                        TRadioModule module, const QDateTime& now, QChar decimalSeparator)
{
    WirelessResult result;
    if (!Wireless_Telegram_Length_Ok(telegram, module) || telegram.size() < kMinTelegram + kTrailer)
        return result;
    // A copy of this telegram alone, decrypted in place.
    Telegram t{std::vector<uint8_t>(telegram.begin(), telegram.end()), telegram.size() - kTrailer};
    const uint8_t ci = t.b[10];

    const Address lla{t.u16(2), t.u32(4), t.b[8], t.b[9]};
    Address ala = lla;
    if (ci != kCiShortHeader && ci != kCiExtLink2 && ci != kCiExtLink8) {
        if (!t.has(18))
            return result;
        ala = Address{t.u16(15), t.u32(11), t.b[17], t.b[18]};
    }
    const int8_t rssi = Wireless_RSSI(telegram.back(), module);

    int index = Find_Wireless_Slave(list, ala.manufacturer, ala.id, ala.version, ala.deviceType);
    Decrypt decrypt = Decrypt::NotDue;
    if (index < 0) {
        TSlave_wMBus m;
        m.Message_Type = t.b[1];
        m.LLA_Manufacturer = lla.manufacturer;
        m.LLA_Manu_str = Trova_Man(lla.manufacturer);
        m.LLA_Address = lla.id;
        m.LLA_Version = lla.version;
        m.LLA_DeviceType = lla.deviceType;
        m.ALA_Manufacturer = ala.manufacturer;
        m.ALA_Manu_str = Trova_Man(ala.manufacturer);
        m.ALA_Address = ala.id;
        m.ALA_Version = ala.version;
        m.ALA_DeviceType = ala.deviceType;
        m.RSSI = rssi;
        m.RadioCrafts_Ind_Tab_Decript = -1;
        list.push_back(std::move(m));
        index = static_cast<int>(list.size() - 1);
        result.created = true;
    } else {
        decrypt = decryptIfDue(t, list[static_cast<size_t>(index)]);
        if (ci == kCiExtLink8 || ci == kCiExtLink16) {
            // Behind a longer extended link layer only the known transport layers are taken;
            // the meter keeps what it has otherwise.
            const size_t inner = ci == kCiExtLink8 ? 19 : 27;
            if (!t.has(inner) || (t.b[inner] != kCiLongHeader && t.b[inner] != kCiNoHeader &&
                                  t.b[inner] != kCiShortHeader)) {
                result.index = index;
                return result;
            }
        }
    }

    TSlave_wMBus& m = list[static_cast<size_t>(index)];
    m.Cancel_Var();
    m.DateTime = now;
    m.RSSI = rssi;
    const std::optional<size_t> records = decrypt == Decrypt::Failed ? std::nullopt : readableRecords(t);
    m.Cripted = !records;
    if (records) {
        const int last = static_cast<int>(t.end) - 1 - static_cast<int>(*records);
        Decode_Records(m.List_Var, last, std::span<const uint8_t>(t.b).subspan(*records),
                       DecodeOptions{TMBusType::mtWireless, decimalSeparator});
    }
    result.index = index;
    result.taken = true;
    return result;
}

} // namespace mbus::decode
