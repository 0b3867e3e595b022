#include <gtest/gtest.h>

#include "exports/Ede.h"
#include "exports/ExportFixture.h"
#include "platform/text/UserError.h"
#include "support/Csv.h"
#include "support/QtPrinters.h"

using namespace exports;
using namespace exports_test;

namespace {

const QDateTime kFivePastNine(QDate(2025, 1, 1), QTime(9, 5, 3));

QString row(const char* type, const char* unit, const char* name)
{
    return QStringLiteral("<row Data_Type=\"%1\" Eng_Unit=\"%2\" Mnemonic=\"%3\"/>")
        .arg(QString::fromUtf8(type), QString::fromUtf8(unit), QString::fromUtf8(name));
}

QByteArray writeEde(Project& p)
{
    Write_BACnet_EDE_File(p.path(QStringLiteral("ede.csv")));
    return p.read(QStringLiteral("ede.csv"));
}

QStringList objectLines(const QByteArray& bytes) { return cp1252Lines(bytes).mid(7); }

} // namespace

TEST(Ede, TableVariantGolden)
{
    FixedClock clock(kFivePastNine);
    Project p(3);
    p.put(QStringLiteral("ParGen.xml"),
          parGen({{"BACnet_Type", "1"}, {"BACnet_DEV_IDE", "100"}, {"BACnet_Ser_DEV_IDE", "200"}}));
    p.put(QStringLiteral("ModbusTCPM_BACnet_SetAccess.xml"),
          QStringLiteral("<T><BACnet_in_Read>") + row("ANALOG INPUT", "62", "Supply temperature sensor") +
              row(" multi state value ", "95", "Mode") + row("MULTI STATE VALUE", "95", "Mode 2") +
              row("Odd type", "$13", "Odd type") + row("BINARY INPUT", "95", "Pompe arrêtée") +
              QStringLiteral("</BACnet_in_Read><BACnet_in_Write>") + row("ANALOG OUT", "62", "Setpoint") +
              row("analog input", "62", "Offset") + row("POSITIVE INTEGER VALUE", "95", "Count") +
              QStringLiteral("</BACnet_in_Write></T>"));
    const QByteArray bytes = writeEde(p);
    expectGolden(bytes, QStringLiteral("ede_table.csv"));
    expectCrLfLines(bytes);
    EXPECT_TRUE(bytes.contains("Pompe arr\xEAt\xE9" "e;")) << "Windows-1252, not UTF-8";
}

TEST(Ede, HeaderLines)
{
    EXPECT_EQ(edeHeaderLines(3, QStringLiteral("Plant"), kFivePastNine),
              (QStringList{"PROJECT_NAME; OstrelCorp-GX30115-Plant;;;;;;", "VERSION_OF_REFERENCEFILE;1.0;;;;;;",
                           "TIMESTAMP_OF_LAST_CHANGE;09:05:03 01/01/2025;;;;;;",
                           "AUTHOR_OF_LAST_CHANGE;OstrelCorp;;;;;;", "VERSION_OF_LAYOUT;2;;;;;;",
                           "# mandatory;mandatory;mandatory;mandatory;mandatory;optional;optional;",
                           "# keyname;device obj.-instance;object-name;object-type;object-instance;description;"
                           "unit-code;"}));
    EXPECT_EQ(edeHeaderLines(1, {}, QDateTime(QDate(2031, 12, 24), QTime(23, 59, 58))).at(2),
              QStringLiteral("TIMESTAMP_OF_LAST_CHANGE;23:59:58 24/12/2031;;;;;;"));
    struct Case {
        int type;
        const char* code;
    } codes[] = {{0, "GX30113"}, {1, "GX30102"}, {2, "GX30114"}, {9, "GX30120"}, {16, "GX30132"}, {17, "GX30127"},
                 {18, "GX30112"}, {19, "GX30107"}, {20, "GX30133"}, {21, "GX30104"}, {5, ""}, {2016, ""},
                 {1001, ""}, {1002, ""}, {1003, ""}};
    for (const Case& c : codes)
        EXPECT_EQ(edeModelCode(c.type), QLatin1String(c.code)) << c.type;
}

TEST(Ede, DeviceInstanceAndNameLength)
{
    struct Case {
        const char* what;
        int type;
        QString parGen; // empty: no file
        const char* firstLine;
    };
    const QString dev = QStringLiteral("<BACnet_DEV_IDE>100</BACnet_DEV_IDE><BACnet_Ser_DEV_IDE>200</BACnet_Ser_DEV_IDE>");
    const auto pg = [&](const char* more) { return QStringLiteral("<Par_Gen>") + dev + QLatin1String(more) + QStringLiteral("</Par_Gen>"); };
    const Case cases[] = {
        {"BACnet/IP", 3, pg("<BACnet_Type>0</BACnet_Type>"), "100_Long mnemonic of the row_0;100;Long mnemonic of;0;0;Long mnemonic of;62;"},
        {"MS/TP", 3, pg("<BACnet_Type>1</BACnet_Type>"), "200_Long mnemonic of the row_0;200;Long mnemonic of;0;0;Long mnemonic of;62;"},
        // The third choice exists for the M-Bus model only; the table models take the IP instance.
        {"MS/TP new", 3, pg("<BACnet_Type>2</BACnet_Type>"), "100_Long mnemonic of the row_0;100;Long mnemonic of;0;0;Long mnemonic of;62;"},
        {"type not a number", 3, pg("<BACnet_Type>x</BACnet_Type>"), "100_Long mnemonic of the row_0;100;Long mnemonic of;0;0;Long mnemonic of;62;"},
        {"long names", 3, pg("<BACnet_Desc_Chars_Limit>1</BACnet_Desc_Chars_Limit>"),
         "100_Long mnemonic of the row_0;100;Long mnemonic of the row;0;0;Long mnemonic of the row;62;"},
        {"no general parameters", 3, {}, "_Long mnemonic of the row_0;;Long mnemonic of;0;0;Long mnemonic of;62;"},
        {"missing key", 0, QStringLiteral("<Par_Gen/>"), "_Long mnemonic of the row_0;;Long mnemonic of;0;0;Long mnemonic of;62;"},
    };
    for (const Case& c : cases) {
        Project p(c.type);
        if (!c.parGen.isEmpty())
            p.put(QStringLiteral("ParGen.xml"), c.parGen);
        platform::writeWholeFile(workspace::ws().Path_BACnet_SetAccess_ModSlave,
                                 (QStringLiteral("<T><BACnet_in_Read>") + row("ANALOG INPUT", "62", "Long mnemonic of the row") +
                                  QStringLiteral("</BACnet_in_Read></T>")).toUtf8());
        EXPECT_EQ(objectLines(writeEde(p)), QStringList{QLatin1String(c.firstLine)}) << c.what;
    }

    // Each export reads the general parameters afresh: after an export with long names, one of a
    // project without the key cuts to 16 again.
    Project p(3);
    p.put(QStringLiteral("ParGen.xml"), pg("<BACnet_Desc_Chars_Limit>1</BACnet_Desc_Chars_Limit>"));
    EXPECT_EQ(edeDevice({1}).nameLength, 32);
    p.put(QStringLiteral("ParGen.xml"), pg(""));
    EXPECT_EQ(edeDevice({1}).nameLength, 16);
    // The M-Bus models take the MS/TP instance for both serial choices.
    p.put(QStringLiteral("ParGen.xml"), pg("<BACnet_Type>2</BACnet_Type>"));
    EXPECT_EQ(edeDevice({1, 2}).instance, QStringLiteral("200"));
    EXPECT_EQ(edeDevice({1, 2}).numericInstance, 200);
}

// An instance the general parameters refuse (a file edited by hand) stops the export with their
// message; the previous file stays.
TEST(Ede, ADeviceInstanceOutsideItsBoundsStopsTheExport)
{
    struct Case {
        int type;
        const char* parGen;
        const char* message;
    } cases[] = {
        {3, "<BACnet_Type>0</BACnet_Type><BACnet_DEV_IDE>-5</BACnet_DEV_IDE>",
         "Error BACnet!! Device Identifier must be between 0 and 4194303"},
        {3, "<BACnet_Type>1</BACnet_Type><BACnet_Ser_DEV_IDE>4194304</BACnet_Ser_DEV_IDE>",
         "Error BACnet!! Device Instance must be between 0 and 4194303"},
        {3, "<BACnet_DEV_IDE>dev</BACnet_DEV_IDE>", "Error BACnet!! Device Identifier must be between 0 and 4194303"},
        {1, "<BACnet_Type>0</BACnet_Type><BACnet_DEV_IDE>-5</BACnet_DEV_IDE>",
         "Error BACnet!! Device Identifier must be between 0 and 4194303"},
        {1001, "<BACnet_DEV_IDE>-5</BACnet_DEV_IDE>", "Error BACnet!! Device Identifier must be between 0 and 65536"},
    };
    for (const Case& c : cases) {
        Project p(c.type);
        p.put(QStringLiteral("ParGen.xml"), QStringLiteral("<Par_Gen>%1</Par_Gen>").arg(QLatin1String(c.parGen)));
        p.put(QStringLiteral("ede.csv"), QStringLiteral("previous"));
        try {
            Write_BACnet_EDE_File(p.path(QStringLiteral("ede.csv")));
            ADD_FAILURE() << "exported " << c.parGen;
        } catch (const platform::UserError& e) {
            EXPECT_EQ(e.message(), QLatin1String(c.message)) << c.parGen;
        }
        EXPECT_EQ(p.read(QStringLiteral("ede.csv")), QByteArray("previous"));
    }
}

TEST(Ede, ObjectTypesOfTheTableRows)
{
    struct Case {
        const char* text;
        int type;
    } cases[] = {
        {"ANALOG INPUT", 0}, {"ANALOG OUT", 1}, {"ANALOG VALUE", 2}, {"BINARY INPUT", 3}, {"BINARY OUT", 4},
        {"BINARY VALUE", 5}, {"MULTI STATE INPUT", 13}, {"MULTI STATE OUTPUT", 14}, {" multi state value ", 19},
        {"LIFE SAFETY POINT", 21}, {"LIFE SAFETY ZONE", 22}, {"ACCUMULATOR", 23}, {"ACCESS DOOR", 30},
        {"CHARACTERSTRING VALUE", 40}, {"DATETIME VALUE", 44}, {"INTEGER VALUE", 45}, {"LARGE ANALOG VALUE", 46},
        {"OCTET STRING", 47}, {"Positive Integer Value", 48}, {"ANALOG  INPUT", 0}, {"", 0}, {"TREND LOG", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(edeObjectType(QString::fromUtf8(c.text)), c.type) << c.text;
}

TEST(Ede, NamesHoldingTheSeparatorOrAQuoteAreQuotedForTheReaders)
{
    FixedClock clock(kFivePastNine);
    Project p(3);
    p.put(QStringLiteral("ParGen.xml"), parGen({{"BACnet_Type", "0"}, {"BACnet_DEV_IDE", "100"}}));
    p.put(QStringLiteral("ModbusTCPM_BACnet_SetAccess.xml"),
          QStringLiteral("<T><BACnet_in_Read>") + row("ANALOG INPUT", "62", "Valve; percent") +
              row("ANALOG INPUT", "62", "12&quot; pipe") + row("ANALOG INPUT", "62", "Plain") +
              QStringLiteral("</BACnet_in_Read></T>"));
    const QStringList lines = objectLines(writeEde(p));
    ASSERT_EQ(lines.size(), 3);
    const QStringList names = {"Valve; percent", "12\" pipe", "Plain"};
    for (int i = 0; i < 3; ++i) {
        const QStringList f = testing_support::readCsvLine(lines[i]);
        ASSERT_EQ(f.size(), 8) << lines[i].toStdString(); // seven fields and the closing ";"
        EXPECT_EQ(f[0], QStringLiteral("100_") + names[i] + QStringLiteral("_") + QString::number(i));
        EXPECT_EQ(f[2], names[i]);
        EXPECT_EQ(f[5], names[i]);
    }
    EXPECT_EQ(lines[2], QStringLiteral("100_Plain_2;100;Plain;0;2;Plain;62;")) << "other fields stay as they are";
}

TEST(Ede, AProjectNameHoldingTheSeparatorOrAQuoteStaysOneHeaderField)
{
    FixedClock clock(kFivePastNine);
    struct Case {
        const char* name;
        const char* field; // as a reader reads it back from the Windows-1252 file
        const char* line;  // nullptr: not checked character for character
    } cases[] = {
        {"Plant", "OstrelCorp-GX30115-Plant", "PROJECT_NAME; OstrelCorp-GX30115-Plant;;;;;;"}, // unchanged
        {"Gr\xC3\xB6\xC3\x9F" "e \"Q\" \xF0\x9D\x84\x9E;x", "OstrelCorp-GX30115-Gr\xC3\xB6\xC3\x9F" "e \"Q\" ??;x",
         "PROJECT_NAME;\"OstrelCorp-GX30115-Gr\xC3\xB6\xC3\x9F" "e \"\"Q\"\" ??;x\";;;;;;"},
        {"a;b;c", "OstrelCorp-GX30115-a;b;c", nullptr},
        {"\"quoted\"", "OstrelCorp-GX30115-\"quoted\"", nullptr},
    };
    for (const Case& c : cases) {
        Project p(3);
        workspace::ws().Project_Name = QString::fromUtf8(c.name);
        const QStringList lines = cp1252Lines(writeEde(p));
        ASSERT_FALSE(lines.isEmpty());
        const QStringList f = testing_support::readCsvLine(lines[0]);
        ASSERT_EQ(f.size(), 8) << lines[0].toStdString(); // the key, the name and six empty fields
        EXPECT_EQ(f[0], QStringLiteral("PROJECT_NAME"));
        EXPECT_EQ(f[1].trimmed(), QString::fromUtf8(c.field)) << c.name;
        if (c.line) {
            EXPECT_EQ(lines[0], QString::fromUtf8(c.line));
        }
    }
}

TEST(Ede, MissingTableGivesTheHeaderOnly)
{
    FixedClock clock(kFivePastNine);
    Project p(0);
    const QByteArray bytes = writeEde(p);
    EXPECT_EQ(cp1252Lines(bytes).size(), 7);
    expectCrLfLines(bytes);
}

TEST(Ede, ADamagedFileStopsTheExportAndKeepsThePreviousFile)
{
    for (const char* damaged : {"ParGen.xml", "ModbusTCPM_BACnet_SetAccess.xml"}) {
        Project p(3);
        p.put(QLatin1String(damaged), QStringLiteral("<open>"));
        p.put(QStringLiteral("ede.csv"), QStringLiteral("previous"));
        try {
            writeEde(p);
            ADD_FAILURE() << damaged << ": no error";
        } catch (const platform::UserError& e) {
            EXPECT_TRUE(e.message().contains(QLatin1String(damaged))) << e.message().toStdString();
        }
        EXPECT_EQ(p.read(QStringLiteral("ede.csv")), QByteArray("previous"));
    }
}

namespace {

TMBus_Nod meter(uint8_t mbusType, uint32_t id, const char* desc)
{
    TMBus_Nod n;
    n.MBus_Type = mbusType;
    n.ID = id;
    n.wMBus_Add = id;
    n.Desc = QString::fromUtf8(desc);
    TMBus_Var v;
    v.Type_Of_Data = 0;
    v.BACnet_EngUnit = 19;
    v.Desc = QStringLiteral("Energy");
    n.Vars.push_back(v);
    return n;
}

} // namespace

TEST(Ede, MBusObjects)
{
    EdeDevice dev;
    dev.instance = QStringLiteral("7");
    dev.numericInstance = 7;
    TMBus_Nod wireless = meter(0, 0x8123ABCDu, "Water");
    wireless.Node_State = 129; // an analog node state
    wireless.Ident_Num = 129;  // the EDE list knows only 1 here
    TMBus_Nod wired = meter(1, 5, "Heat");
    wired.Node_State = 1;
    wired.Ident_Num = 1;
    TMBus_Var v131;
    v131.Type_Of_Data = 19;
    v131.VIFE = 131;
    v131.Desc = QStringLiteral("Code 131");
    wired.Vars.push_back(v131);
    TMBus_Nod secondary = meter(1, 12345678, "Gas");
    secondary.ID_Type = 1;
    const TMBus_Nod other = meter(2, 9, "Not listed");
    const QStringList expected = {
        "7_P-5_NS_Heat_0;7;NS_Heat;48;0;NS_Heat;95;",
        "7_P-5_IN_Heat_1;7;IN_Heat;48;1;IN_Heat;95;",
        "7_P-5_Energy_0;7;Energy;0;0;Energy;19;",
        "7_P-5_Code 131_1;7;Code 131;0;1;Code 131;95;",
        "7_S-12345678_Energy_2;7;Energy;0;2;Energy;19;",
        "7_W-8123ABCD_NS_Water_3;7;NS_Water;0;3;NS_Water;95;",
        "7_W-8123ABCD_Energy_4;7;Energy;0;4;Energy;19;",
        "7_Dev7_ApReS_0;7;Dev7_ApReS;14;0;Dev7_ApReS;95;",
        "7_Dev7_Addr_1;7;Dev7_Addr;14;1;Dev7_Addr;95;",
        "7_Dev7_ExCom_2;7;Dev7_ExCom;14;2;Dev7_ExCom;95;",
        "7_Dev7_ResCo_3;7;Dev7_ResCo;14;3;Dev7_ResCo;95;",
    };
    EXPECT_EQ(edeObjectLines(edeMBusObjects(dev, {wireless, wired, other, secondary})), expected);

    dev.nameLength = 32;
    const QStringList commands = edeObjectLines(edeMBusObjects(dev, {}));
    EXPECT_EQ(commands, (QStringList{"7_Device7_AppReset_SUBCODE_0;7;Device7_AppReset_SUBCODE;14;0;Device7_AppReset_SUBCODE;95;",
                                     "7_Device7_Address_1;7;Device7_Address;14;1;Device7_Address;95;",
                                     "7_Device7_Execute_Command_2;7;Device7_Execute_Command;14;2;Device7_Execute_Command;95;",
                                     "7_Device7_Reset_Converter_3;7;Device7_Reset_Converter;14;3;Device7_Reset_Converter;95;"}));
}

TEST(Ede, MBusNamesAreCutToTheNameLength)
{
    EdeDevice dev;
    TMBus_Nod n = meter(1, 1, "A description longer than any limit");
    n.Node_State = 1;
    n.Vars[0].Desc = QStringLiteral("A variable description longer than any limit");
    const QStringList lines = edeObjectLines(edeMBusObjects(dev, {n}));
    EXPECT_EQ(lines.at(0).section(QLatin1Char(';'), 2, 2), QStringLiteral("NS_A description"));
    EXPECT_EQ(lines.at(1).section(QLatin1Char(';'), 2, 2), QStringLiteral("A variable descr"));
    dev.nameLength = 32;
    const QStringList longer = edeObjectLines(edeMBusObjects(dev, {n}));
    EXPECT_EQ(longer.at(0).section(QLatin1Char(';'), 2, 2), QStringLiteral("NS_A description longer than any"));
}
