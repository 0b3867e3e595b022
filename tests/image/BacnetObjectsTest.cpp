#include "ImageFixture.h"
#include "image/BacnetObjects.h"
#include "platform/text/UserError.h"

#include <gtest/gtest.h>

using namespace image;
using image_test::Attrs;
using image_test::objectRow;
using image_test::Project;
using image_test::Rows;
using testing_support::toHex;

namespace {

class BacnetObjects : public ::testing::Test {
protected:
    std::unique_ptr<Project> prj = std::make_unique<Project>(3);
    std::array<uint32_t, kObjectTypeCodes> counts{};

    void useType(int32_t type) { prj = std::make_unique<Project>(type); }

    // Loads the project's table and writes the area into a fresh bank.
    QByteArray area(uint8_t flag = 0)
    {
        BacnetObjectTable& t = prj->st().objects;
        Clear_BACnet_Objects(t);
        counts.fill(0);
        Load_BACnet_Objects(t, counts, flag, prj->ws().Converter_Type, prj->ws().Path_BACnet_SetAccess);
        BankBuffer bank(kObjectAreaSize + 16);
        EXPECT_EQ(Write_BACnet_Objects(bank, t, flag, 0), kObjectAreaSize);
        return QByteArray(reinterpret_cast<const char*>(bank.data()), kObjectAreaSize);
    }

    QString loadError()
    {
        try {
            area();
        } catch (const platform::UserError& e) {
            return e.message();
        }
        return QString();
    }
};

QString entry(const QByteArray& a, int i) { return toHex(a.mid(i * 16, 16)); }

} // namespace

TEST_F(BacnetObjects, OneAnalogInputGivesTheDocumentedEntryAndName)
{
    prj->objects({objectRow("Analog Input", "10", "62", "4", "T1")});
    const QByteArray a = area();
    EXPECT_EQ(entry(a, 0), QStringLiteral("0A 00 00 00 3E 00 04 00 F1 77 05 00 01 00 00 00"));
    EXPECT_EQ(toHex(a.mid(0x7FF0, 4)), QStringLiteral("00 54 31 00")); // pool byte 0 stays empty
    EXPECT_EQ(counts[0], 1u);
    EXPECT_EQ(entry(a, 1), toHex(QByteArray(16, '\0')));
}

TEST_F(BacnetObjects, DescriptionLimitHalvesTheTableAndKeepsTheAreaSize)
{
    const QString longName = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"); // 36 characters
    prj->objects({objectRow("Analog Input", "10", "62", "4", longName), objectRow("Analog Input", "14", "62", "4", "T2")});
    const QByteArray a = area(1);
    ASSERT_EQ(a.size(), kObjectAreaSize);
    EXPECT_EQ(toHex(a.mid(8, 4)), QStringLiteral("F1 37 05 00"));   // 0x4F800 + 0x3FF0 + 1
    EXPECT_EQ(toHex(a.mid(16 + 8, 4)), QStringLiteral("12 38 05 00")); // after 32 characters and a zero
    EXPECT_EQ(a.mid(0x3FF0 + 1, 33), longName.left(32).toLatin1() + QByteArray(1, '\0'));
    EXPECT_EQ(a.mid(0x3FF0 + 34, 3), QByteArray("T2", 3));
    // Without the limit the same names are cut at 16 characters.
    const QByteArray b = area(0);
    EXPECT_EQ(b.mid(0x7FF0 + 1, 17), longName.left(16).toLatin1() + QByteArray(1, '\0'));
    EXPECT_EQ(toHex(b.mid(16 + 8, 4)), QStringLiteral("02 78 05 00"));
}

TEST_F(BacnetObjects, EmptyNamePointsAtPoolByteZero)
{
    prj->objects({objectRow("Binary Input", "3", "95", "1", ""), objectRow("Binary Input", "3", "95", "1", "B")});
    const QByteArray a = area();
    EXPECT_EQ(toHex(a.mid(8, 4)), QStringLiteral("F0 77 05 00"));
    EXPECT_EQ(toHex(a.mid(16 + 8, 4)), QStringLiteral("F1 77 05 00")); // the pool did not advance
}

TEST_F(BacnetObjects, EntriesAreGroupedByCodeAndNumberedByTheirRows)
{
    Rows readRows;
    for (int i = 0; i < 5; ++i)
        readRows.push_back(objectRow(i % 2 ? "analog value" : "Analog Input", QString::number(i * 4)));
    const Rows writeRows = {objectRow("Analog Out", "100"), objectRow("Analog Value", "200"),
                            objectRow("Analog Output", "300"), objectRow("Octet String", "400", "95", "10")};
    prj->objects(readRows, writeRows);
    const QByteArray a = area();
    // Code 0 (read rows 1, 3, 5), code 1 (write row 1 = row 6), code 12 (read 2, 4, write 2 = row 7),
    // code 18 (write 4 = row 9). "Analog Output" matches nothing and is skipped.
    const struct {
        const char* position;
        const char* flags;
        const char* row;
    } want[] = {{"00 00", "00", "01 00"}, {"08 00", "00", "03 00"}, {"10 00", "00", "05 00"},
                {"64 00", "01", "06 00"}, {"04 00", "00", "02 00"}, {"0C 00", "00", "04 00"},
                {"C8 00", "01", "07 00"}, {"90 01", "01", "09 00"}};
    for (int i = 0; i < 8; ++i) {
        const QByteArray e = a.mid(i * 16, 16);
        EXPECT_EQ(toHex(e.mid(0, 2)), QString::fromLatin1(want[i].position)) << i;
        EXPECT_EQ(toHex(e.mid(7, 1)), QString::fromLatin1(want[i].flags)) << i;
        EXPECT_EQ(toHex(e.mid(12, 2)), QString::fromLatin1(want[i].row)) << i;
    }
    EXPECT_EQ(entry(a, 8), toHex(QByteArray(16, '\0')));
    EXPECT_EQ(counts[0], 3u);
    EXPECT_EQ(counts[1], 1u);
    EXPECT_EQ(counts[12], 3u);
    EXPECT_EQ(counts[18], 1u);
    EXPECT_EQ(counts[10], 0u);
}

TEST_F(BacnetObjects, SwapOnlyOnTheModelsThatShowIt)
{
    for (int type : {3, 9, 16, 2}) {
        useType(type);
        Attrs row = objectRow("Analog Input", "0");
        row.insert(row.end() - 1, {QStringLiteral("Swap"), QStringLiteral("Y")});
        Attrs lower = objectRow("Analog Input", "4");
        lower.insert(lower.end() - 1, {QStringLiteral("Swap"), QStringLiteral("y")});
        prj->objects({row, lower});
        const QByteArray a = area();
        const bool swaps = type == 9 || type == 16;
        EXPECT_EQ(static_cast<uint8_t>(a[7]), swaps ? 2 : 0) << type;
        EXPECT_EQ(static_cast<uint8_t>(a[16 + 7]), 0) << type; // only "Y" exactly
    }
}

TEST_F(BacnetObjects, NamesAreAddressedFromTheModelsLoadAddress)
{
    const struct {
        int32_t type;
        const char* address;
    } cases[] = {{16, "F0 CF 05 00"}, {2016, "F0 CF 05 00"}, {17, "F0 F7 05 00"}, {18, "F0 F7 05 00"},
                   {0, "F0 77 05 00"}};
    for (const auto& c : cases) {
        useType(c.type);
        prj->objects({objectRow("Analog Input", "0")});
        EXPECT_EQ(toHex(area().mid(8, 4)), QString::fromLatin1(c.address)) << c.type;
    }
}

TEST_F(BacnetObjects, BitDefaultsToZeroButUnitPositionAndLengthMustBeNumbers)
{
    prj->objects({objectRow("Binary Input", "7", "95", "1", "", "x")});
    EXPECT_EQ(toHex(area().mid(14, 1)), QStringLiteral("00"));

    const struct {
        const char* attr;
        const char* problem;
    } bad[] = {{"Eng_Unit", "must be a whole number"}, {"Position", "must be a whole number"},
               {"Length", "must be a whole number"}};
    for (const auto& b : bad) {
        Attrs row = objectRow("Analog Input", "0");
        for (auto& [k, v] : row)
            if (k == QLatin1String(b.attr))
                v = QStringLiteral("abc");
        prj->objects({objectRow("Analog Input", "0"), row});
        const QString err = loadError();
        EXPECT_TRUE(err.contains(QStringLiteral("ModbusTCPM_BACnet_SetAccess.xml"))) << err.toStdString();
        EXPECT_TRUE(err.contains(QStringLiteral("row 2"))) << err.toStdString();
        EXPECT_TRUE(err.contains(QLatin1String(b.attr))) << err.toStdString();
        EXPECT_TRUE(err.contains(QLatin1String(b.problem))) << err.toStdString();
    }
    // A row of no known type is never converted.
    prj->objects({objectRow("Analog Output", "abc")});
    EXPECT_EQ(loadError(), QString());

    // Rows are converted code by code: a bad analog input (code 0) in row 2 is met before a bad
    // binary input (code 2) in row 1, and a read row before a write row of the same code.
    prj->objects({objectRow("Binary Input", "0", "abc"), objectRow("Analog Input", "x")});
    QString err = loadError();
    EXPECT_TRUE(err.contains(QStringLiteral("row 2")) && err.contains(QStringLiteral("\"Position\"")))
        << err.toStdString();
    prj->objects({objectRow("Analog Value", "0", "95", "z")}, {objectRow("Analog Input", "0", "abc")});
    err = loadError();
    EXPECT_TRUE(err.contains(QStringLiteral("BACnet_in_Write")) && err.contains(QStringLiteral("\"Eng_Unit\"")))
        << err.toStdString();
}

TEST_F(BacnetObjects, MissingFileGivesAnEmptyAreaAndMissingSectionAnError)
{
    const QByteArray a = area();
    EXPECT_EQ(a, QByteArray(kObjectAreaSize, '\0'));
    prj->write(prj->ws().Path_BACnet_SetAccess, "<BACnet_to_Modbus><BACnet_in_Read/></BACnet_to_Modbus>");
    EXPECT_TRUE(loadError().contains(QStringLiteral("BACnet_in_Write")));
    prj->write(prj->ws().Path_BACnet_SetAccess, "<BACnet_to_Modbus><BACnet_in_Read>");
    EXPECT_TRUE(loadError().contains(QStringLiteral("cannot be read")));
}

TEST_F(BacnetObjects, MoreObjectsThanTheTableHoldsAreRefusedBeforeAnythingIsFilled)
{
    Rows readRows;
    for (int i = 0; i < 1024; ++i)
        readRows.push_back(objectRow("Analog Input", "0", "95", "4", QStringLiteral("N%1").arg(i)));
    Rows writeRows = readRows;
    for (Attrs& r : writeRows)
        r[0].second = QStringLiteral("Analog Out");
    writeRows.pop_back(); // 2047 objects: full, but fits
    prj->objects(readRows, writeRows);
    BacnetObjectTable& t = prj->st().objects;
    area();
    EXPECT_EQ(t.count, 2047);
    EXPECT_EQ(counts[0] + counts[1], 2047u);

    writeRows.push_back(writeRows.back()); // 2048
    prj->objects(readRows, writeRows);
    QString err = loadError();
    EXPECT_TRUE(err.contains(QStringLiteral("2048"))) << err.toStdString();
    EXPECT_TRUE(err.contains(QStringLiteral("2047"))) << err.toStdString();
    EXPECT_EQ(t.count, 0);
    EXPECT_EQ(counts[0] + counts[1], 0u);

    // With the description limit the table holds 1023.
    prj->objects(Rows(readRows.begin(), readRows.end() - 1));
    counts.fill(0);
    Clear_BACnet_Objects(t);
    EXPECT_NO_THROW(Load_BACnet_Objects(t, counts, 1, 3, prj->ws().Path_BACnet_SetAccess));
    EXPECT_EQ(t.count, 1023);
    prj->objects(readRows);
    Clear_BACnet_Objects(t);
    try {
        Load_BACnet_Objects(t, counts, 1, 3, prj->ws().Path_BACnet_SetAccess);
        FAIL() << "no error";
    } catch (const platform::UserError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("1023"))) << e.message().toStdString();
    }
}

TEST_F(BacnetObjects, FullTableOfLongestNamesFitsThePool)
{
    Rows readRows;
    for (int i = 0; i < 2047; ++i)
        readRows.push_back(objectRow("Analog Input", "0", "95", "4", QStringLiteral("%1").arg(i, -20, 10, QLatin1Char('x'))));
    prj->objects(readRows);
    const QByteArray a = area();
    const uint32_t last = readLE32(reinterpret_cast<const uint8_t*>(a.constData()) + 2046 * 16 + 8);
    EXPECT_EQ(last, 0x4F800u + 0x7FF0u + 1u + 2046u * 17u);
    EXPECT_EQ(a.mid(0x7FF0 + 1 + 2046 * 17, 17), QByteArray("2046xxxxxxxxxxxx", 17));
    EXPECT_EQ(a.mid(0x7FF0 + 34800, 32), QByteArray(32, '\0'));
}

TEST_F(BacnetObjects, NamesTakeOneBytePerCharacterAndAreCutByCharacters)
{
    const QString degrees = QStringLiteral("T\u00B0C");
    const QString accents = QString(20, QChar(0x00E9)); // 20 characters, 40 bytes of UTF-8
    prj->objects({objectRow("Analog Input", "0", "62", "4", degrees), objectRow("Analog Input", "4", "62", "4", accents)});
    const QByteArray a = area();
    EXPECT_EQ(toHex(a.mid(0x7FF0 + 1, 4)), QStringLiteral("54 B0 43 00"));
    EXPECT_EQ(a.mid(0x7FF0 + 5, 17), QByteArray(16, '\xE9') + QByteArray(1, '\0'));
    EXPECT_EQ(static_cast<uint8_t>(a[0x7FF0 + 22]), 0);
}
