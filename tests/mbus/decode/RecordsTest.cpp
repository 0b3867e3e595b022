#include "mbus/decode/Records.h"

#include "Fixtures.h"
#include "Hex.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using namespace mbus::decode;
using mbustest::bytes;

namespace {

struct Decoded {
    std::vector<TVariable_MBus> vars;
    bool complete;
};

Decoded decode(const std::vector<uint8_t>& area, TMBusType type = TMBusType::mtWired)
{
    Decoded d;
    d.complete = Decode_Records(d.vars, static_cast<int>(area.size()) - 1, area, DecodeOptions{type, u'.'});
    return d;
}

// Every field of a record in one line, so a table row states the whole record.
std::string summary(const TVariable_MBus& v)
{
    return QStringLiteral("DIF=%1 DIFE=[%2] VIF=%3 VIFE=[%4] data=%5 n=%6%7 fn=%8 '%9' df='%10' st=%11 tar=%12 "
                          "sub=%13 class=%14 code=%15 desc='%16' value='%17' unit='%18'%19")
        .arg(v.DIF, v.DIFE)
        .arg(v.VIF, 2, 16, QLatin1Char('0'))
        .arg(v.VIFE, v.totdati)
        .arg(v.nbyte)
        .arg(v.Is_BCD ? QStringLiteral(" bcd") : QString())
        .arg(v.function_fild)
        .arg(v.FunctionFieldStr, v.DataFieldStr)
        .arg(v.storage_number)
        .arg(v.tarif)
        .arg(v.device)
        .arg(v.type_data)
        .arg(v.Type_Data_Vife)
        .arg(v.Desc_Type_Data, v.ValueStr, v.VIF_ASCII)
        .arg(v.Real_Wireless_Var ? QString() : QStringLiteral(" placeholder"))
        .toStdString();
}

} // namespace

TEST(Records, DecodeEveryFieldOfARecord)
{
    struct Case {
        const char* area;
        std::vector<std::string> records;
    };
    const Case cases[] = {
        {"0C 13 78 56 34 12",
         {"DIF=$0C DIFE=[] VIF=13 VIFE=[] data=78563412 n=4 bcd fn=0 'Istantaneous value' df='8 Digit BCD' st=0 tar=0 "
          "sub=0 class=2 code=0 desc='Volume m3' value='12345.678' unit=''"}},
        {"8C 40 13 78 56 34 12",
         {"DIF=$8C DIFE=[$40 ] VIF=13 VIFE=[] data=78563412 n=4 bcd fn=0 'Istantaneous value' df='8 Digit BCD' st=0 "
          "tar=0 sub=1 class=2 code=0 desc='Volume m3' value='12345.678' unit=''"}},
        // Storage, tariff and subunit gather the DIFEs' digits, the first DIFE least significant.
        {"8B 81 52 3B 45 23 01",
         {"DIF=$8B DIFE=[$81 $52 ] VIF=3b VIFE=[] data=452301 n=3 bcd fn=0 'Istantaneous value' df='6 Digit BCD' "
          "st=66 tar=4 sub=2 class=8 code=0 desc='Volume Flow m3/h' value='12.345' unit=''"}},
        {"1C 13 01 00 00 00 2C 13 02 00 00 00 3C 13 03 00 00 00",
         {"DIF=$1C DIFE=[] VIF=13 VIFE=[] data=01000000 n=4 bcd fn=1 'Maximum value' df='8 Digit BCD' st=0 tar=0 "
          "sub=0 class=2 code=0 desc='Volume m3' value='0.001' unit=''",
          "DIF=$2C DIFE=[] VIF=13 VIFE=[] data=02000000 n=4 bcd fn=2 'Minimum value' df='8 Digit BCD' st=0 tar=0 "
          "sub=0 class=2 code=0 desc='Volume m3' value='0.002' unit=''",
          "DIF=$3C DIFE=[] VIF=13 VIFE=[] data=03000000 n=4 bcd fn=3 'Value during error state' df='8 Digit BCD' "
          "st=0 tar=0 sub=0 class=2 code=0 desc='Volume m3' value='0.003' unit=''"}},
        // A plain-text unit arrives last character first.
        {"02 FC 03 'h 'W 'k 74 'o 'k",
         {"DIF=$02 DIFE=[] VIF=fc VIFE=[$74 ] data=6F6B n=2 fn=0 'Istantaneous value' df='16 Bit Integer' st=0 "
          "tar=0 sub=0 class=21 code=103 desc='Vif in following String - Moltiplicative Correction Factor: "
          "10^(-2)' value='ok' unit='kWh'"}},
        {"0D 7C 02 'V 'm 03 'a 'b 'c",
         {"DIF=$0D DIFE=[] VIF=7c VIFE=[] data=616263 n=3 fn=0 'Istantaneous value' df='Variable Length - ASCII "
          "String with 3characters' st=0 tar=0 sub=0 class=21 code=0 desc='Vif in following String' value='abc' "
          "unit='mV'"}},
        {"0D 13 C2 34 12 0D 13 D2 34 12 0D 13 E2 34 12 0D 13 F4 00 00 80 3F",
         {"DIF=$0D DIFE=[] VIF=13 VIFE=[] data=3412 n=2 fn=0 'Istantaneous value' df='Variable Length - Positive "
          "BCD Number with 4 digits' st=0 tar=0 sub=0 class=2 code=0 desc='Volume m3' value='1.234' unit=''",
          "DIF=$0D DIFE=[] VIF=13 VIFE=[] data=3412 n=2 fn=0 'Istantaneous value' df='Variable Length - Negative "
          "BCD Number with 4 digits' st=0 tar=0 sub=0 class=2 code=0 desc='Volume m3' value='-1.234' unit=''",
          "DIF=$0D DIFE=[] VIF=13 VIFE=[] data=3412 n=2 fn=0 'Istantaneous value' df='Variable Length - Binary "
          "Number with 2 Bytes' st=0 tar=0 sub=0 class=2 code=0 desc='Volume m3' value='0' unit=''",
          "DIF=$0D DIFE=[] VIF=13 VIFE=[] data=0000803F n=4 fn=0 'Istantaneous value' df='Variable Length - "
          "Floating Point Number with 4 Bytes' st=0 tar=0 sub=0 class=2 code=0 desc='Volume m3' value='0' "
          "unit=''"}},
        {"04 FB 80 3A 07 00 00 00",
         {"DIF=$04 DIFE=[] VIF=fb VIFE=[$80 $3A ] data=07000000 n=4 fn=0 'Istantaneous value' df='32 Bit Integer' "
          "st=0 tar=0 sub=0 class=19 code=51 desc='Energy MWh - VIF Contains Uncorrect Unit or Value at Metering "
          "Conditions Instead of Converted Unit' value='0.7' unit=''"}},
        {"", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.area);
        const Decoded d = decode(bytes(c.area));
        EXPECT_TRUE(d.complete);
        std::vector<std::string> got;
        for (const TVariable_MBus& v : d.vars)
            got.push_back(summary(v));
        EXPECT_EQ(got, c.records);
    }
}

TEST(Records, StorageNumberFromTheDifAndItsExtensions)
{
    const std::pair<const char*, int64_t> cases[] = {
        {"0C 13 78 56 34 12", 0},
        {"4C 13 78 56 34 12", 1},
        {"CC 01 13 78 56 34 12", 3},
        {"8C 0F 13 78 56 34 12", 30},
        {"CC 8F 0F 13 78 56 34 12", 1 + 2 * 0xFF},
    };
    for (const auto& [area, storage] : cases) {
        SCOPED_TRACE(area);
        const Decoded d = decode(bytes(area));
        ASSERT_EQ(d.vars.size(), 1u);
        EXPECT_EQ(d.vars[0].storage_number, storage);
    }
}

TEST(Records, IdleFillersCountOnlyInWirelessTelegrams)
{
    const auto area = bytes("2F 2F 0C 13 78 56 34 12 2F");
    const Decoded wired = decode(area);
    ASSERT_EQ(wired.vars.size(), 1u);
    EXPECT_TRUE(wired.vars[0].Real_Wireless_Var);

    const Decoded wireless = decode(area, TMBusType::mtWireless);
    ASSERT_EQ(wireless.vars.size(), 4u);
    for (size_t i : {0u, 1u, 3u}) {
        EXPECT_EQ(summary(wireless.vars[i]),
                  "DIF=$2F DIFE=[] VIF=00 VIFE=[] data= n=0 fn=0 '' df='Special Function' st=0 tar=0 sub=0 class=0 "
                  "code=0 desc='' value='' unit='' placeholder");
    }
    EXPECT_EQ(wireless.vars[2].ValueStr, QStringLiteral("12345.678"));
}

TEST(Records, MoreRecordsFollowAfterDif1F)
{
    const Decoded d = decode(bytes("0C 13 78 56 34 12 1F 0C 13 78 56 34 12"));
    EXPECT_FALSE(d.complete);
    EXPECT_EQ(d.vars.size(), 1u);
}

// Each record that ends the decoding keeps the records before it and reads nothing past the
// bytes given; the records after it are not decoded.
TEST(Records, EndAtARecordTheyCannotUse)
{
    auto repeat = [](const char* hex, int n) {
        std::string s;
        for (int i = 0; i < n; ++i)
            s += std::string(hex) + " ";
        return s;
    };
    const std::string before = "0C 13 78 56 34 12 ";
    const std::string after = " 01 FD 0B 07";
    struct Case {
        const char* what;
        std::string record;
        RecordsEnd end;
        size_t records; // with the one before and any after
    };
    const Case cases[] = {
        {"11 DIFEs", "8C " + repeat("80", 10) + "00 13 01 00 00 00", RecordsEnd::TooManyExtensions, 1},
        {"10 DIFEs", "8C " + repeat("80", 9) + "00 13 01 00 00 00", RecordsEnd::End, 3},
        {"11 VIFEs", "04 93 " + repeat("80", 10) + "00 01 00 00 00", RecordsEnd::TooManyExtensions, 1},
        {"10 VIFEs", "04 93 " + repeat("80", 9) + "00 01 00 00 00", RecordsEnd::End, 3},
        {"reserved LVAR FB", "0D 13 FB 00 00", RecordsEnd::ReservedLvar, 1},
        {"reserved LVAR FF", "0D 13 FF 00 00", RecordsEnd::ReservedLvar, 1},
        {"plain unit of 193 characters", "02 7C C1 " + repeat("61", 193) + "00 00", RecordsEnd::PlainUnitTooLong, 1},
        {"plain unit of 192 characters", "02 7C C0 " + repeat("61", 192) + "00 00", RecordsEnd::End, 3},
        {"plain unit past the end", "02 7C 09 'a 'b", RecordsEnd::PlainUnitTooLong, 1},
        {"selection for readout", "08 13", RecordsEnd::ReadoutSelection, 1},
        {"any VIF", "04 7E 01 02 03 04", RecordsEnd::AnyVif, 1},
        {"any VIF with extension", "04 FE 00 01 02 03 04", RecordsEnd::AnyVif, 1},
        {"manufacturer data", "0F 01 02 03", RecordsEnd::ManufacturerData, 1},
        {"more records", "1F", RecordsEnd::MoreRecords, 1},
        {"reserved special function", "3F 13", RecordsEnd::SpecialFunction, 1},
        {"special function 7F", "7F 13", RecordsEnd::SpecialFunction, 1},
        {"special DIF with extension is skipped", "8F 00 13", RecordsEnd::End, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto area = bytes(before + c.record + after);
        std::vector<MBusRecord> out;
        EXPECT_EQ(decodeRecords(area, 0, TMBusType::mtWired, out), c.end);
        EXPECT_EQ(out.size(), c.records);
        // The whole chain goes through the text path as well.
        EXPECT_EQ(decode(area).vars.size(), c.records);
    }
    std::vector<MBusRecord> out;
    ASSERT_EQ(decodeRecords(bytes(before + "02 7C C0 " + repeat("61", 192) + "00 00"), 0, TMBusType::mtWired, out),
              RecordsEnd::End);
    EXPECT_EQ(out[1].plainUnit.size(), 192);
}

TEST(Records, RunningPastTheEndStopsThere)
{
    const char* cut[] = {"8C", "8C 80", "0C", "0C 93", "0C 93 80", "02 7C", "0D 13", "0D 13 05 01 02",
                         "04 13 01 02 03"};
    for (const char* rec : cut) {
        SCOPED_TRACE(rec);
        // The area ends inside the record; the bytes after it in memory are never read.
        const auto all = bytes(std::string("0C 13 78 56 34 12 ") + rec + " 01 02 03 04 05 06 07 08");
        const size_t areaLength = 6 + bytes(rec).size();
        std::vector<MBusRecord> out;
        EXPECT_EQ(decodeRecords(std::span<const uint8_t>(all).first(areaLength), 0, TMBusType::mtWired, out),
                  RecordsEnd::Truncated);
        EXPECT_EQ(out.size(), 1u);
        std::vector<TVariable_MBus> vars;
        EXPECT_TRUE(Decode_Records(vars, static_cast<int>(areaLength) - 1, all, {}));
        EXPECT_EQ(vars.size(), 1u);
    }
}

TEST(Records, PublicEntryGivesHeaderAndValues)
{
    const auto frame = mbustest::longFrame(5, mbustest::Addr{}, bytes(mbustest::kMeterRecords));
    DecodedFrame f;
    ASSERT_TRUE(decodeFrame(frame, f));
    EXPECT_EQ(f.header.address, 5);
    EXPECT_EQ(f.header.identification, 0x12345678u);
    EXPECT_EQ(f.header.manufacturer, 0x2C2D);
    EXPECT_EQ(f.header.version, 1);
    EXPECT_EQ(f.header.medium, 7);
    EXPECT_EQ(f.end, RecordsEnd::End);
    ASSERT_EQ(f.records.size(), 4u);
    EXPECT_DOUBLE_EQ(static_cast<double>(f.records[0].value), 12345.678);
    EXPECT_EQ(f.records[0].description, QStringLiteral("Volume m3"));
    EXPECT_EQ(mbustest::hexOf(f.records[0].data(frame)), "78 56 34 12");
    EXPECT_DOUBLE_EQ(static_cast<double>(f.records[1].value), 0.245);
    EXPECT_EQ(f.records[1].description, QStringLiteral("Volume Flow m3/h"));
    EXPECT_DOUBLE_EQ(static_cast<double>(f.records[2].value), 30.0);
    EXPECT_EQ(f.records[2].description, QStringLiteral("Flow Temperature °C"));
    EXPECT_TRUE(f.records[3].hasValueText);
    EXPECT_EQ(f.records[3].valueText, QStringLiteral("31/10/21 12:30"));
    EXPECT_EQ(f.records[3].vifClass, 20);

    // A frame that fails the checks leaves the result as it was.
    auto bad = frame;
    bad[bad.size() - 2] ^= 1;
    EXPECT_FALSE(decodeFrame(bad, f));
    EXPECT_EQ(f.records.size(), 4u);
}

TEST(SlaveFrame, FilesTheHeaderAsAMeterAndAddsFurtherFrames)
{
    std::vector<TSlave_MBus> list;
    bool done = false;
    const auto first = mbustest::longFrame(5, mbustest::Addr{}, bytes(std::string(mbustest::kMeterRecords) + " 1F"));
    EXPECT_EQ(Add_Slave_Frame(list, -1, first, done, {}), 0);
    EXPECT_FALSE(done);
    ASSERT_EQ(list.size(), 1u);
    const TSlave_MBus& m = list[0];
    EXPECT_EQ(m.Primary_Addresss, 5);
    EXPECT_EQ(m.Secondary_Addresss, QStringLiteral("12345678"));
    EXPECT_EQ(m.Manufacture, 0x2C2Du);
    EXPECT_EQ(m.Version, 1u);
    EXPECT_EQ(m.Medium, 7u);
    EXPECT_EQ(m.descManufacture, QStringLiteral("KAM"));
    EXPECT_EQ(m.List_Var.size(), 4u);

    const auto second = mbustest::longFrame(5, mbustest::Addr{}, bytes("02 5A 2C 01"));
    EXPECT_EQ(Add_Slave_Frame(list, 0, second, done, {}), 0);
    EXPECT_TRUE(done);
    EXPECT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].List_Var.size(), 5u);

    // Refused: an index with no meter, a frame too short for its fixed header.
    EXPECT_EQ(Add_Slave_Frame(list, 1, second, done, {}), -1);
    EXPECT_EQ(Add_Slave_Frame(list, -1, std::span<const uint8_t>(second).first(20), done, {}), -1);
    EXPECT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].List_Var.size(), 5u);
}

TEST(SlaveFrame, SecondaryAddressReadsTheBcdDigits)
{
    const std::pair<uint32_t, const char*> cases[] = {
        {0x12345678, "12345678"}, {0x00000005, "05"}, {0x00000000, "00"}, {0x00ABCDEF, "ABCDEF"}, {0x00000123, "123"}};
    for (const auto& [id, text] : cases) {
        std::vector<TSlave_MBus> list;
        bool done;
        mbustest::Addr a;
        a.id = id;
        Add_Slave_Frame(list, -1, mbustest::longFrame(1, a, bytes("0C 13 78 56 34 12")), done, {});
        ASSERT_EQ(list.size(), 1u);
        EXPECT_EQ(list[0].Secondary_Addresss, QString::fromLatin1(text));
    }
}
