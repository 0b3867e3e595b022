#include "mbus/decode/Values.h"

#include "mbus/decode/VifTable.h"

#include "Hex.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace mbus::decode;
using mbustest::bytes;

TEST(DescVif, ValueDescriptionClassAndCode)
{
    struct Case {
        const char* vif;   // VIF and VIFEs
        uint8_t dataField;
        const char* data;
        const char* description;
        const char* value;
        int vifClass;
        int code;
        uint8_t lvar = 0;
    };
    const Case cases[] = {
        {"13", 12, "45 23 01 00", "Volume m3", "12.345", 2, 0},
        {"06", 4, "E8 03 00 00", "Energy Wh", "1000000", 0, 0},
        {"6D", 4, "1E 0C BF 2A", "Time Point Date and Time (Type F)", "31/10/21 12:30", 20, 0},
        {"6C", 2, "01 32", "Time Point Date (Type G)", "01/02/24", 20, 0},
        {"6D", 3, "05 07 09", "Time Point Extended Time Point (Type J)", "09:07:05", 20, 0},
        {"6D", 6, "05 07 69 2F 36 00", "Time Point Extended Date and Time Point (Type I)",
         "Wednesday 15/06/25 09:07:05", 20, 0},
        {"6D", 6, "3B 3B 17 3F 0C 00", "Time Point Extended Date and Time Point (Type I)", "31/12/01 23:59:59", 20, 0},
        {"6D", 1, "07", "", "7", 20, 0}, // no time point in one byte
        {"FD 17", 2, "05 00", "Error Flag (Binary)", "5", 19, 18},
        {"FD 48", 2, "E8 03", "Electric Units Volts", "100", 19, 38},
        {"FD 5F", 4, "01 00 00 00", "Electric Units A", "1000", 19, 39},
        {"FD 50", 4, "40 42 0F 00", "Electric Units A", "1E-6", 19, 39},
        {"FD 23", 1, "01", "Reserved", "1", 19, 0},
        {"93 3B", 4, "10 27 00 00",
         "Volume m3 - Accumulation Only if Positive Contributions (Forward Flow Contribution)", "10", 2, 95},
        {"FB 80 3A", 4, "07 00 00 00",
         "Energy MWh - VIF Contains Uncorrect Unit or Value at Metering Conditions Instead of Converted Unit", "0.7",
         19, 51},
        // Only a first VIFE with its extension bit leads on to the combinable VIFEs.
        {"FB 01", 4, "07 00 00 00", "Energy MWh", "7", 19, 51},
        {"FB 06", 1, "01", "Reserved", "1", 19, 0},
        {"93 74", 4, "39 30 00 00", "Volume m3 - Moltiplicative Correction Factor: 10^(-2)", "0.12345", 2, 103},
        {"96 FD", 2, "01 00", "Volume m3 - Multiplicative Cerrection Factor: 10^(3)", "1000", 2, 105},
        {"96 78", 2, "01 00", "Volume m3 - Additive Correction Constant: 10^(-3) * Unit of VIF", "0.001", 2, 104},
        {"16", 10, "12 F4", "Volume m3", "-412", 2, 0},
        {"93 08", 4, "01 00 00 00", "Volume m3 - Reserved", "0.001", 2, 0},
        // The first code named is kept.
        {"96 A0 2D", 2, "01 00", "Volume m3 - Per Second - Per m3", "1", 2, 70},
        {"83 FC 01", 1, "05", "Energy Wh - At Phase L1", "5", 0, 0},
        {"83 FC 90 20", 1, "05",
         "Energy Wh - Accumulation of abs. Value for Both Positive and Negative Contribution (Absolute Count) - Per "
         "Second",
         "5", 0, 70},
        // A qualifier VIFE cannot follow as the tenth.
        {"83 80 80 80 80 80 80 80 80 80 7C", 1, "05",
         "Energy Wh - None - None - None - None - None - None - None - None - None", "5", 0, 108},
        {"93 42", 2, "01 32", "Volume m3 - Date(/Time) of Begin of First Lower Limit Exceed", "01/02/24", 2, 99},
        {"93 6F", 4, "1E 0C BF 2A", "Volume m3 - Date(/Time) of End of Last", "31/10/21 12:30", 2, 102},
        {"93 44", 4, "01 00 00 00", "Volume m3 - Reserved", "0.001", 2, 0},
        // No combinable VIFEs after "any VIF" or manufacturer specific.
        {"FF 20", 1, "05", "Manufacturer Specific", "5", -1, 0},
        {"6F", 1, "05", "", "5", -1, 0},
        {"6E", 2, "2C 01", "Units for H.C.A.", "300", 22, 0},
        {"78", 12, "78 56 34 12", "Fabrication No", "12345678", 23, 0},
        {"22", 2, "10 00", "On Time Hours", "16", 4, 0},
        {"5B", 2, "2C 01", "Flow Temperature °C", "300", 12, 0},
        {"7C", 13, "61 62", "Vif in following String", "ab", 21, 0, 0x02},
        {"13", 5, "00 00 C0 3F", "Volume m3", "0.0015", 2, 0},
        {"10", 3, "FF FF FF", "Volume m3", "-1E-6", 2, 0},
        {"16", 6, "FE FF FF FF FF FF", "Volume m3", "-2", 2, 0},
        {"16", 7, "00 00 00 00 00 00 00 80", "Volume m3", "-9.22337203685478E18", 2, 0},
        {"16", 13, "34 12", "Volume m3", "-1234", 2, 0, 0xD2},
        {"16", 14, "56 34 12 90 78 56", "Volume m3", "567890123456", 2, 0},
        {"16", 0, "", "Volume m3", "0", 2, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.vif) + " / " + c.data);
        const auto codes = bytes(c.vif);
        const auto data = bytes(c.data);
        TVariable_MBus v;
        Desc_VIF(codes[0], std::span<const uint8_t>(codes).subspan(1), v, static_cast<int32_t>(data.size()), c.lvar,
                 c.dataField, data, u'.');
        EXPECT_EQ(v.Desc_Type_Data, QString::fromUtf8(c.description));
        EXPECT_EQ(v.ValueStr, QString::fromUtf8(c.value));
        EXPECT_EQ(v.type_data, c.vifClass);
        EXPECT_EQ(v.Type_Data_Vife, c.code);
    }
}

TEST(DescVif, DecimalSeparatorIsTheCallers)
{
    const auto data = bytes("45 23 01 00");
    TVariable_MBus v;
    Desc_VIF(0x13, {}, v, 4, 0, 12, data, u',');
    EXPECT_EQ(v.ValueStr, QStringLiteral("12,345"));
}

TEST(DescVif, ReadsNoMoreDataThanTheRecordHas)
{
    // A record of two bytes with a 32-bit data field: the missing bytes read as 0.
    const auto data = bytes("05 00 FF FF");
    TVariable_MBus v;
    Desc_VIF(0x16, {}, v, 2, 0, 4, data, u'.');
    EXPECT_EQ(v.ValueStr, QStringLiteral("5"));
    Desc_VIF(0x6D, {}, v, 0, 0, 4, data, u'.');
    EXPECT_EQ(v.ValueStr, QStringLiteral("00/00/00 00:00"));
}

TEST(ValueText, FifteenSignificantDigits)
{
    const long double inf = std::numeric_limits<long double>::infinity();
    const std::pair<long double, const char*> cases[] = {
        {0, "0"},
        {12.345L, "12.345"},
        {-412, "-412"},
        {1.0L / 3, "0.333333333333333"},
        {2.0L / 3, "0.666666666666667"},
        {0.1L + 0.2L, "0.3"},
        {123456789012345.0L, "123456789012345"},
        {999999999999999.0L, "999999999999999"},
        {9999999999999999.0L, "1E16"},
        {1234567890123456.0L, "1.23456789012346E15"},
        {1e20L, "1E20"},
        {0.0001L, "0.0001"},
        {0.00012345L, "0.00012345"},
        {0.00001L, "1E-5"},
        {1.5e-7L, "1.5E-7"},
        {-2.5e-9L, "-2.5E-9"},
        {100, "100"},
        {std::numeric_limits<long double>::quiet_NaN(), "NAN"},
        {inf, "INF"},
        {-inf, "-INF"},
    };
    for (const auto& [value, text] : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(formatValue(value, u'.'), QString::fromLatin1(text));
    }
    EXPECT_EQ(formatValue(-0.5L, u','), QStringLiteral("-0,5"));
    EXPECT_EQ(formatValue(1.5e-7L, u','), QStringLiteral("1,5E-7"));
}

TEST(Bcd, NibblesAtFaceValueAndTheNegativeMark)
{
    const std::pair<const char*, int64_t> cases[] = {
        {"", 0},
        {"45 23 01 00", 12345},
        {"12 F4", -412},
        {"F4", -4},
        {"0A", 10},
        {"A0", 100},
        {"99 99 99 99 99 99 99 99 99", 999999999999999999},
        {"99 99 99 99 99 99 99 99 F9", -99999999999999999},
    };
    for (const auto& [hex, value] : cases) {
        SCOPED_TRACE(hex);
        EXPECT_EQ(BCD_To_Int64(bytes(hex)), value);
    }
}

TEST(Manufacturer, ThreeLettersOfFiveBitsEach)
{
    const std::pair<uint32_t, const char*> cases[] = {
        {0x2C2D, "KAM"}, {0xAC2D, "KAM"}, {0x0442, "ABB"}, {0x0000, "???"}, {0x6B7A, "Z?Z"}, {0x7FFF, "???"},
    };
    for (const auto& [code, text] : cases)
        EXPECT_EQ(Trova_Man(code), QString::fromLatin1(text)) << std::hex << code;
}

TEST(VifTables, ReservedCodesAndTheirTexts)
{
    for (uint8_t c : {0x06, 0x0A, 0x12, 0x1C, 0x27, 0x32, 0x38, 0x57, 0x68, 0x6F})
        EXPECT_EQ(vifEntry(VifTable::ExtFB, c).code, -1) << int(c);
    for (uint8_t c : {0x23, 0x76, 0x7F})
        EXPECT_EQ(tableText(vifEntry(VifTable::ExtFD, c).text), QStringLiteral("Reserved")) << int(c);
    for (uint8_t c : {0x08, 0x09, 0x0A, 0x10, 0x14, 0x19, 0x1B, 0x1D, 0x1F, 0x3F, 0x44, 0x45, 0x4C, 0x4D})
        EXPECT_EQ(tableText(vifEntry(VifTable::Combinable, c).text), QStringLiteral(" - Reserved")) << int(c);
    // Every primary VIF has a class or is one of the codes without one.
    for (int c = 0; c < 0x80; ++c) {
        const int cls = vifEntry(VifTable::Primary, static_cast<uint8_t>(c)).code;
        EXPECT_TRUE((cls >= 0 && cls <= 25) || c == 0x6F || c == 0x7E || c == 0x7F) << c;
    }
}
