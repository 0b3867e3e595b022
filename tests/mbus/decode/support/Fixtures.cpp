#include "Fixtures.h"

#include "Hex.h"
#include "mbus/decode/Frames.h"

namespace mbustest {

using mbus::decode::TRadioModule;

namespace {

void put16(std::vector<uint8_t>& v, uint16_t x)
{
    v.push_back(static_cast<uint8_t>(x));
    v.push_back(static_cast<uint8_t>(x >> 8));
}
void put32(std::vector<uint8_t>& v, uint32_t x)
{
    for (int i = 0; i < 4; ++i)
        v.push_back(static_cast<uint8_t>(x >> (8 * i)));
}
// Application-layer address of a long transport header: identification first.
void putAppAddr(std::vector<uint8_t>& v, const Addr& a)
{
    put32(v, a.id);
    put16(v, a.manufacturer);
    v.push_back(a.version);
    v.push_back(a.deviceType);
}

} // namespace

std::vector<uint8_t> longFrame(uint8_t address, const Addr& a, std::span<const uint8_t> records)
{
    std::vector<uint8_t> body{0x08, address, 0x72};
    put32(body, a.id);
    put16(body, a.manufacturer);
    body.push_back(a.version);
    body.push_back(a.deviceType);
    body.insert(body.end(), {0x01, 0x00, 0x00, 0x00}); // access number, status, signature
    body.insert(body.end(), records.begin(), records.end());
    // Sized once and filled in place: growing a four-byte vector by insert trips a false
    // bounds warning of the optimiser.
    std::vector<uint8_t> f;
    f.reserve(body.size() + 6);
    f.push_back(0x68);
    f.push_back(static_cast<uint8_t>(body.size()));
    f.push_back(static_cast<uint8_t>(body.size()));
    f.push_back(0x68);
    f.insert(f.end(), body.begin(), body.end());
    f.push_back(mbus::decode::checksum(body));
    f.push_back(0x16);
    return f;
}

std::vector<uint8_t> telegram(Layout layout, const TelegramRecipe& s)
{
    std::vector<uint8_t> t{0x00, s.c}; // L is set at the end
    put16(t, s.link.manufacturer);
    put32(t, s.link.id);
    t.push_back(s.link.version);
    t.push_back(s.link.deviceType);

    std::vector<uint8_t> data = s.records;
    uint8_t blocks = 0;
    if (s.mode == 5) {
        data.insert(data.begin(), {0x2F, 0x2F});
        while (data.size() % 16 != 0)
            data.push_back(0x2F);
        blocks = static_cast<uint8_t>(data.size() / 16);
    }
    auto shortHeader = [&] {
        t.insert(t.end(), {0x7A, s.access, 0x00, static_cast<uint8_t>(blocks << 4), s.mode});
    };
    auto longHeader = [&] {
        t.push_back(0x72);
        putAppAddr(t, s.app);
        t.insert(t.end(), {s.access, 0x00, static_cast<uint8_t>(blocks << 4), s.mode});
    };
    switch (layout) {
    case Layout::Short7A: shortHeader(); break;
    case Layout::Long72: longHeader(); break;
    case Layout::Ext8C_78: t.insert(t.end(), {0x8C, 0x20, s.access, 0x78}); break;
    case Layout::Ext8C_7A: t.insert(t.end(), {0x8C, 0x20, s.access}); shortHeader(); break;
    case Layout::Ext8C_72: t.insert(t.end(), {0x8C, 0x20, s.access}); longHeader(); break;
    case Layout::Ext8D_78:
    case Layout::Ext8D_7A:
    case Layout::Ext8D_72:
        // CC, ACC, session number (4), payload CRC (2)
        t.insert(t.end(), {0x8D, 0x20, s.access, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66});
        if (layout == Layout::Ext8D_78)
            t.push_back(0x78);
        else if (layout == Layout::Ext8D_7A)
            shortHeader();
        else
            longHeader();
        break;
    case Layout::Ext8F_7A:
        // A 16-byte extended link layer; the inner CI sits at byte 27.
        t.push_back(0x8F);
        t.insert(t.end(), 16, 0x00);
        shortHeader();
        break;
    }
    if (s.encrypt) {
        const size_t accessAt = t.size() - 4; // the short header's access number
        Block iv{};
        for (size_t i = 0; i < 8; ++i)
            iv[i] = t[2 + i];
        for (size_t i = 8; i < 16; ++i)
            iv[i] = t[accessAt];
        data = aesCbcEncrypt(data, s.key, iv);
    }
    t.insert(t.end(), data.begin(), data.end());
    t.push_back(0x00); // the module's link quality byte
    t.push_back(s.rssi);
    t[0] = static_cast<uint8_t>(t.size() - (s.module == TRadioModule::rmTelit ? 3 : 1));
    return t;
}

Key testKey()
{
    return {0x51, 0x72, 0x89, 0x10, 0xE6, 0x6D, 0x83, 0xF8, 0x51, 0x72, 0x89, 0x10, 0xE6, 0x6D, 0x83, 0xF8};
}

std::vector<Seed> seeds()
{
    std::vector<Seed> out;
    auto add = [&](std::string name, uint8_t selector, std::vector<uint8_t> b) {
        b.insert(b.begin(), selector);
        out.push_back({std::move(name), std::move(b)});
    };
    const auto records = bytes(kMeterRecords);
    const auto rich = bytes("8C 40 13 01 00 00 00 CC 01 13 02 00 00 00 2F 2F 84 80 40 FD 17 05 00 00 00 "
                            "04 FB 80 3A 07 00 00 00 02 FC 03 'h 'W 'k 74 34 12 0D 7C 02 'V 'm 03 'a 'b 'c "
                            "04 93 3B 10 27 00 00 06 6D 05 07 69 2F 36 00 8B 81 52 3B 45 23 01 0A 16 12 F4 1F");
    add("frame_water", 0, longFrame(5, Addr{}, records));
    add("frame_rich", 0, longFrame(1, Addr{0x0442, 0x00000005, 2, 4}, rich));
    add("records_wired", 1, rich);
    add("records_wireless", 2, rich);
    const Key key = testKey();
    auto withKey = [&](std::vector<uint8_t> t) {
        t.insert(t.begin(), key.begin(), key.end());
        return t;
    };
    const std::pair<const char*, Layout> layouts[] = {
        {"short_7a", Layout::Short7A},   {"long_72", Layout::Long72},     {"ext8c_78", Layout::Ext8C_78},
        {"ext8c_7a", Layout::Ext8C_7A},  {"ext8c_72", Layout::Ext8C_72},  {"ext8d_78", Layout::Ext8D_78},
        {"ext8d_7a", Layout::Ext8D_7A},  {"ext8d_72", Layout::Ext8D_72},  {"ext8f_7a", Layout::Ext8F_7A},
    };
    for (const auto& [name, layout] : layouts) {
        TelegramRecipe s;
        s.records = records;
        add(std::string("telegram_") + name, 3, withKey(telegram(layout, s)));
    }
    TelegramRecipe enc;
    enc.records = records;
    enc.mode = 5;
    enc.encrypt = true;
    enc.key = key;
    add("telegram_ext8c_7a_encrypted", 3, withKey(telegram(Layout::Ext8C_7A, enc)));
    enc.module = TRadioModule::rmRadioCrafts;
    enc.rssi = 0x9C;
    add("telegram_ext8c_7a_encrypted_radiocrafts", 7, withKey(telegram(Layout::Ext8C_7A, enc)));
    return out;
}

} // namespace mbustest
