#include "mbus/decode/Wireless.h"

#include "Fixtures.h"
#include "Hex.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace mbus::decode;
using mbustest::Layout;
using mbustest::TelegramRecipe;
using mbustest::bytes;
using mbustest::telegram;

namespace {

const QDateTime kNow(QDate(2024, 6, 11), QTime(10, 30, 0));

TelegramRecipe meter(const char* records = mbustest::kMeterRecords)
{
    TelegramRecipe s;
    s.records = bytes(records);
    return s;
}

TelegramRecipe encrypted(const char* records = mbustest::kMeterRecords)
{
    TelegramRecipe s = meter(records);
    s.mode = 5;
    s.encrypt = true;
    s.key = mbustest::testKey();
    return s;
}

struct Listener {
    std::vector<TSlave_wMBus> list;
    TRadioModule module = TRadioModule::rmTelit;
    WirelessResult hear(const std::vector<uint8_t>& t, const QDateTime& at = kNow)
    {
        return Decode_Wireless_Telegram(list, t, module, at, u'.');
    }
    void giveKey(int index, const Key128& key)
    {
        list[static_cast<size_t>(index)].Enable_Key = true;
        list[static_cast<size_t>(index)].Key = key;
    }
};

QStringList values(const TSlave_wMBus& m)
{
    QStringList v;
    for (const TVariable_MBus& r : m.List_Var)
        v << (r.Real_Wireless_Var ? r.ValueStr : QStringLiteral("filler"));
    return v;
}

const QStringList kMeterValues = {"12345.678", "0.245", "30", "31/10/21 12:30"};

} // namespace

TEST(Wireless, EveryLayoutReadableWithoutKey)
{
    struct Case {
        const char* what;
        Layout layout;
        bool readable;
    };
    const Case cases[] = {
        {"short header", Layout::Short7A, true},
        {"long header", Layout::Long72, true},
        {"2-byte extended link, no header", Layout::Ext8C_78, true},
        {"2-byte extended link, short header", Layout::Ext8C_7A, true},
        {"2-byte extended link, long header", Layout::Ext8C_72, true},
        {"8-byte extended link, no header", Layout::Ext8D_78, true},
        {"8-byte extended link, short header", Layout::Ext8D_7A, true},
        {"8-byte extended link, long header", Layout::Ext8D_72, true},
        {"16-byte extended link", Layout::Ext8F_7A, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Listener l;
        const WirelessResult r = l.hear(telegram(c.layout, meter()));
        EXPECT_EQ(r.index, 0);
        EXPECT_TRUE(r.created);
        EXPECT_TRUE(r.taken);
        ASSERT_EQ(l.list.size(), 1u);
        const TSlave_wMBus& m = l.list[0];
        EXPECT_EQ(m.Cripted, !c.readable);
        EXPECT_EQ(values(m), c.readable ? kMeterValues : QStringList());
        EXPECT_EQ(m.Message_Type, 0x44);
        EXPECT_EQ(m.LLA_Manufacturer, 0x2C2D);
        EXPECT_EQ(m.LLA_Manu_str, QStringLiteral("KAM"));
        EXPECT_EQ(m.LLA_Address, 0x12345678u);
        EXPECT_EQ(m.LLA_Version, 1);
        EXPECT_EQ(m.LLA_DeviceType, 7);
        EXPECT_EQ(m.RSSI, -82);
        EXPECT_EQ(m.DateTime, kNow);
        EXPECT_EQ(m.RadioCrafts_Ind_Tab_Decript, -1);
        EXPECT_FALSE(m.Enable_Key);
        // The application-layer address: the link layer's, or bytes 11-18 for the other CIs
        // (behind the 16-byte extended link those are part of it).
        std::tuple<int, QString, uint32_t, int, int> ala{0x2C2D, "KAM", 0x12345678u, 1, 7};
        if (c.layout == Layout::Long72)
            ala = {0x1596, "ELV", 0x87654321u, 3, 4};
        else if (c.layout == Layout::Ext8F_7A)
            ala = {0, "???", 0u, 0, 0};
        EXPECT_EQ(std::make_tuple(int(m.ALA_Manufacturer), m.ALA_Manu_str, m.ALA_Address, int(m.ALA_Version),
                                  int(m.ALA_DeviceType)),
                  ala);
    }
}

TEST(Wireless, SecondTelegramReplacesTheRecords)
{
    Listener l;
    EXPECT_EQ(l.hear(telegram(Layout::Short7A, meter())).index, 0);
    const QDateTime later = kNow.addSecs(60);
    TelegramRecipe second = meter("02 5A 2D 01");
    second.rssi = 0x40;
    const WirelessResult r = l.hear(telegram(Layout::Short7A, second), later);
    EXPECT_EQ(r.index, 0);
    EXPECT_FALSE(r.created);
    EXPECT_TRUE(r.taken);
    ASSERT_EQ(l.list.size(), 1u);
    EXPECT_EQ(values(l.list[0]), QStringList{"30.1"});
    EXPECT_EQ(l.list[0].DateTime, later);
    EXPECT_EQ(l.list[0].RSSI, -66);
}

TEST(Wireless, RepeatedMeterIsFoundByItsApplicationAddress)
{
    Listener l;
    TelegramRecipe direct = meter();
    ASSERT_EQ(l.hear(telegram(Layout::Long72, direct)).index, 0);
    // The same meter through a repeater: another link-layer address, the same application one.
    TelegramRecipe repeated = meter("02 5A 2D 01");
    repeated.link = mbustest::Addr{0x0442, 0x99999999, 9, 0x32};
    repeated.c = 0x46;
    const WirelessResult r = l.hear(telegram(Layout::Long72, repeated));
    EXPECT_EQ(r.index, 0);
    EXPECT_FALSE(r.created);
    ASSERT_EQ(l.list.size(), 1u);
    const TSlave_wMBus& m = l.list[0];
    EXPECT_EQ(values(m), QStringList{"30.1"});
    EXPECT_EQ(m.LLA_Address, 0x12345678u);
    EXPECT_EQ(m.LLA_Manufacturer, 0x2C2D);
    EXPECT_EQ(m.Message_Type, 0x44);

    // A different application address is another meter.
    TelegramRecipe other = meter();
    other.app.id = 0x87654322;
    EXPECT_EQ(l.hear(telegram(Layout::Long72, other)).index, 1);
    EXPECT_EQ(Find_Wireless_Slave(l.list, 0x1596, 0x87654322, 3, 4), 1);
    EXPECT_EQ(Find_Wireless_Slave(l.list, 0x1596, 0x87654321, 3, 5), -1);
}

TEST(Wireless, EncryptedBeforeTheKeyAndDecodedAfterIt)
{
    Listener l;
    const auto t = telegram(Layout::Ext8C_7A, encrypted());
    EXPECT_EQ(l.hear(t).index, 0);
    EXPECT_TRUE(l.list[0].Cripted);
    EXPECT_TRUE(l.list[0].List_Var.empty());
    // Still unreadable while the meter has no key.
    EXPECT_TRUE(l.hear(t).taken);
    EXPECT_TRUE(l.list[0].Cripted);

    l.giveKey(0, mbustest::testKey());
    const WirelessResult r = l.hear(t);
    EXPECT_EQ(r.index, 0);
    EXPECT_TRUE(r.taken);
    EXPECT_FALSE(l.list[0].Cripted);
    // The two leading fillers and the padding to two whole blocks stay as place-holders.
    QStringList expected = {"filler", "filler"};
    expected += kMeterValues;
    const qsizetype padding = 32 - 2 - static_cast<qsizetype>(bytes(mbustest::kMeterRecords).size());
    for (qsizetype i = 0; i < padding; ++i)
        expected << "filler";
    EXPECT_EQ(values(l.list[0]), expected);

    // A wrong key gives no 2F 2F: unreadable, the records of the last telegram gone.
    Key128 wrong = mbustest::testKey();
    wrong[0] ^= 1;
    l.giveKey(0, wrong);
    l.hear(t);
    EXPECT_TRUE(l.list[0].Cripted);
    EXPECT_TRUE(l.list[0].List_Var.empty());
}

TEST(Wireless, PlainTextInModeFiveIsNotDecryptedAgain)
{
    Listener l;
    TelegramRecipe plain = meter();
    plain.mode = 5; // 2F 2F and padding, not encrypted: the module decrypted it
    const auto t = telegram(Layout::Ext8C_7A, plain);
    l.hear(t);
    l.giveKey(0, mbustest::testKey());
    l.hear(t);
    EXPECT_FALSE(l.list[0].Cripted);
    EXPECT_EQ(values(l.list[0]).mid(2, kMeterValues.size()), kMeterValues);
}

TEST(Wireless, ModeFiveOfAShortHeaderIsReadOnlyAfterTheModule)
{
    // The short header is never decrypted here: its mode 5 data are readable only when they
    // begin with 2F 2F.
    for (bool encrypt : {false, true}) {
        Listener l;
        TelegramRecipe s = encrypted();
        s.encrypt = encrypt;
        const auto t = telegram(Layout::Short7A, s);
        l.hear(t);
        l.giveKey(0, mbustest::testKey());
        l.hear(t);
        EXPECT_EQ(l.list[0].Cripted, encrypt);
    }
}

TEST(Wireless, LongHeaderInModeZeroIsPlainText)
{
    Listener l;
    TelegramRecipe s = meter("02 5A 2D 01");
    l.hear(telegram(Layout::Long72, s));
    EXPECT_FALSE(l.list[0].Cripted);
    EXPECT_EQ(values(l.list[0]), QStringList{"30.1"});
    // Encrypted (mode 5, not 2F 2F): unreadable.
    s = encrypted("02 5A 2D 01");
    l.hear(telegram(Layout::Long72, s));
    EXPECT_TRUE(l.list[0].Cripted);
}

TEST(Wireless, RssiOfEachRadioModule)
{
    struct Case {
        TRadioModule module;
        uint8_t raw;
        int rssi;
    };
    const Case cases[] = {
        {TRadioModule::rmTelit, 0x50, -82},       {TRadioModule::rmTelit, 0x00, -2},
        {TRadioModule::rmTelit, 0x7E, -128},      {TRadioModule::rmRadioCrafts, 0x9C, -49},
        {TRadioModule::rmRadioCrafts, 0xFF, 1},   {TRadioModule::rmRadioCrafts, 0x80, -63},
        {TRadioModule::rmRadioCrafts, 0x01, 1},   {TRadioModule::rmRadioCrafts, 0x10, 9},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.raw);
        EXPECT_EQ(Wireless_RSSI(c.raw, c.module), c.rssi);
        Listener l;
        l.module = c.module;
        TelegramRecipe s = meter();
        s.module = c.module;
        s.rssi = c.raw;
        l.hear(telegram(Layout::Short7A, s));
        ASSERT_EQ(l.list.size(), 1u);
        EXPECT_EQ(l.list[0].RSSI, c.rssi);
        EXPECT_FALSE(l.list[0].Cripted);
    }
}

TEST(Wireless, ExtendedLinkWithUnknownInnerLayerKeepsTheMeter)
{
    Listener l;
    l.hear(telegram(Layout::Ext8D_7A, meter()));
    ASSERT_EQ(values(l.list[0]), kMeterValues);
    auto t = telegram(Layout::Ext8D_7A, meter("02 5A 2D 01"));
    t[19] = 0x79; // not a transport layer this decoder knows
    const WirelessResult r = l.hear(t, kNow.addSecs(5));
    EXPECT_EQ(r.index, 0);
    EXPECT_FALSE(r.taken);
    EXPECT_EQ(values(l.list[0]), kMeterValues);
    EXPECT_EQ(l.list[0].DateTime, kNow);
}

TEST(Wireless, TelegramsThatLieAboutTheirLength)
{
    Listener l;
    l.hear(telegram(Layout::Ext8C_7A, encrypted()));
    l.giveKey(0, mbustest::testKey());

    // L field that does not match the datagram: dropped, as for the other module's framing.
    auto wrongL = telegram(Layout::Ext8C_7A, encrypted());
    wrongL[0] += 1;
    EXPECT_EQ(l.hear(wrongL).index, -1);
    l.module = TRadioModule::rmRadioCrafts;
    EXPECT_EQ(l.hear(telegram(Layout::Ext8C_7A, encrypted())).index, -1);
    l.module = TRadioModule::rmTelit;
    EXPECT_EQ(l.list.size(), 1u);

    // The configuration field announces more blocks than the telegram holds: Cripted, nothing
    // decrypted, no byte past the telegram read.
    l.hear(telegram(Layout::Ext8C_7A, encrypted()));
    ASSERT_FALSE(l.list[0].Cripted);
    auto moreBlocks = telegram(Layout::Ext8C_7A, encrypted());
    moreBlocks[16] = static_cast<uint8_t>(moreBlocks[16] + 0x10);
    const WirelessResult r = l.hear(moreBlocks);
    EXPECT_EQ(r.index, 0);
    EXPECT_TRUE(r.taken);
    EXPECT_TRUE(l.list[0].Cripted);
    EXPECT_TRUE(l.list[0].List_Var.empty());

    // Mode 5 with no block at all.
    auto noBlocks = telegram(Layout::Ext8C_7A, encrypted());
    noBlocks[16] = 0x00;
    l.hear(noBlocks);
    EXPECT_TRUE(l.list[0].Cripted);

    // Cut short before the blocks: the telegram's own length decides, with a correct L field.
    auto cut = telegram(Layout::Ext8C_7A, encrypted());
    cut.resize(30);
    cut.back() = 0x50;
    cut[0] = static_cast<uint8_t>(cut.size() - 3);
    l.hear(cut);
    EXPECT_TRUE(l.list[0].Cripted);
    EXPECT_EQ(l.list.size(), 1u);
}

TEST(Wireless, TelegramsTooShortForTheirHeaders)
{
    auto shortened = [](Layout layout, size_t telegramBytes) {
        auto t = telegram(layout, meter());
        t.resize(telegramBytes + 2); // and the module's two bytes
        t[0] = static_cast<uint8_t>(t.size() - 3);
        return t;
    };
    struct Case {
        const char* what;
        std::vector<uint8_t> t;
        int index;     // -1: dropped
        bool cripted;
    };
    const Case cases[] = {
        {"up to the CI only", shortened(Layout::Short7A, 11), 0, true},
        {"less than the link layer", shortened(Layout::Short7A, 10), -1, false},
        {"short header without its configuration", shortened(Layout::Short7A, 14), 0, true},
        {"short header without records", shortened(Layout::Short7A, 15), 0, false},
        {"long header without the application address", shortened(Layout::Long72, 18), -1, false},
        {"long header without its configuration", shortened(Layout::Long72, 22), 0, true},
        {"extended link without inner CI", shortened(Layout::Ext8C_7A, 13), 0, true},
        {"extended link, no header, no records", shortened(Layout::Ext8C_78, 14), 0, false},
        {"8-byte extended link without inner CI", shortened(Layout::Ext8D_7A, 19), 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Listener l;
        const WirelessResult r = l.hear(c.t);
        EXPECT_EQ(r.index, c.index);
        EXPECT_EQ(l.list.size(), c.index < 0 ? 0u : 1u);
        if (c.index >= 0) {
            EXPECT_EQ(l.list[0].Cripted, c.cripted);
            EXPECT_TRUE(l.list[0].List_Var.empty());
        }
    }
    // Known meters: a short telegram behind the 8-byte extended link is not taken.
    Listener l;
    l.hear(telegram(Layout::Ext8D_7A, meter()));
    const WirelessResult r = l.hear(shortened(Layout::Ext8D_7A, 19));
    EXPECT_EQ(r.index, 0);
    EXPECT_FALSE(r.taken);
    EXPECT_EQ(values(l.list[0]), kMeterValues);
}

TEST(Wireless, DatagramLengthOfEachModule)
{
    const auto telit = telegram(Layout::Short7A, meter());
    TelegramRecipe rc = meter();
    rc.module = TRadioModule::rmRadioCrafts;
    const auto radioCrafts = telegram(Layout::Short7A, rc);
    EXPECT_TRUE(Wireless_Telegram_Length_Ok(telit, TRadioModule::rmTelit));
    EXPECT_FALSE(Wireless_Telegram_Length_Ok(telit, TRadioModule::rmRadioCrafts));
    EXPECT_TRUE(Wireless_Telegram_Length_Ok(radioCrafts, TRadioModule::rmRadioCrafts));
    EXPECT_FALSE(Wireless_Telegram_Length_Ok(radioCrafts, TRadioModule::rmTelit));
    EXPECT_FALSE(Wireless_Telegram_Length_Ok({}, TRadioModule::rmTelit));
}
