#include <gtest/gtest.h>

#include "exports/ExportFixture.h"
#include "exports/ObjectsMap.h"
#include "platform/text/UserError.h"
#include "support/Csv.h"
#include "support/QtPrinters.h"

using namespace exports;
using namespace exports_test;

namespace {

// A BACnet object table with a read and a write section.
QString table(const QString& readRows, const QString& writeRows)
{
    return QStringLiteral("<BACnet_SetAccess><BACnet_in_Read>%1</BACnet_in_Read><BACnet_in_Write>%2</BACnet_in_Write>"
                          "</BACnet_SetAccess>")
        .arg(readRows, writeRows);
}
QString row(const char* type, const char* unit, const char* name)
{
    return QStringLiteral("<row Data_Type=\"%1\" Eng_Unit=\"%2\" Mnemonic=\"%3\"/>")
        .arg(QString::fromUtf8(type), QString::fromUtf8(unit), QString::fromUtf8(name));
}

const char* const kForty = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789abcd";

QString tablePathOf(int type)
{
    return type == 2 || type == 4 ? workspace::ws().Path_BACnet_SetAccess_ModSlave : workspace::ws().Path_BACnet_SetAccess;
}

QByteArray writeMap(Project& p)
{
    Write_BACnet_Objects_Map(p.path(QStringLiteral("map.csv")));
    return p.read(QStringLiteral("map.csv"));
}

} // namespace

TEST(ObjectsMap, TableVariantGolden)
{
    Project p(3);
    p.put(QStringLiteral("ParGen.xml"), parGen({{"BACnet_Desc_Chars_Limit", "1"}}));
    p.put(QStringLiteral("ModbusTCPM_BACnet_SetAccess.xml"),
          table(row("ANALOG INPUT", "62", "Supply temperature") + row("analog input", "98", "Valve; percent") +
                    row("BINARY INPUT", "95", "Pompe arrêtée") + row("PUMP STATE", "300", kForty) +
                    row("multi state value", "$5F", "Mode"),
                row("ANALOG OUT", "62", "Setpoint") + row("ANALOG INPUT", "62", "Offset") +
                    row(" ANALOG INPUT", "0", "Padded type")));
    const QByteArray bytes = writeMap(p);
    expectGolden(bytes, QStringLiteral("objects_map_table.csv"));
    expectCrLfLines(bytes);
    EXPECT_TRUE(bytes.contains("Pompe arr\xEAt\xE9" "e")) << "Windows-1252, not UTF-8";
}

TEST(ObjectsMap, SlaveModelsGolden)
{
    Project p(4);
    p.put(QStringLiteral("ParGen.xml"), parGen({{"BACnet_Desc_Chars_Limit", "1"}}));
    p.put(QStringLiteral("ModbusTCPS_BACnet_SetAccess.xml"),
          table(row("ANALOG VALUE", "62", kForty) + row("BINARY VALUE", "95", "Alarm"),
                row("ANALOG VALUE", "19", "Energy counter total")));
    expectGolden(writeMap(p), QStringLiteral("objects_map_modslave.csv"));
}

TEST(ObjectsMap, NameLengthAndSectionsByModel)
{
    struct Case {
        int type;
        QString parGen; // empty: no file
        QStringList names;
    };
    const QString forty = QLatin1String(kForty);
    const QString limit = parGen({{"BACnet_Desc_Chars_Limit", "1"}});
    const Case cases[] = {
        {3, limit, {forty.left(32), QStringLiteral("W")}},
        {3, parGen({{"BACnet_Desc_Chars_Limit", "0"}}), {forty.left(16), QStringLiteral("W")}},
        {3, parGen({{"BACnet_Desc_Chars_Limit", "1 "}}), {forty.left(16), QStringLiteral("W")}},
        {3, {}, {forty.left(16), QStringLiteral("W")}},
        {2, limit, {forty.left(16), QStringLiteral("W")}},
        {4, limit, {forty.left(16), QStringLiteral("W")}},
        // Models whose objects map the table variant writes although no list was defined for them.
        {10, limit, {forty.left(32), QStringLiteral("W")}},
        {13, {}, {forty.left(16), QStringLiteral("W")}},
        {14, parGen({{"BACnet_Desc_Chars_Limit", "0"}}), {forty.left(16), QStringLiteral("W")}},
        {15, limit, {forty.left(32), QStringLiteral("W")}},
        // The DMX model lists one direction: read rows with DMX_DMX 0, else (also without the file
        // or with a text that is no number) the written ones; its counters start at 0.
        {18, parGen({{"DMX_DMX", "0"}}), {forty.left(16)}},
        {18, parGen({{"DMX_DMX", "1"}}), {QStringLiteral("W")}},
        {18, parGen({{"DMX_DMX", "x"}}), {QStringLiteral("W")}},
        {18, {}, {QStringLiteral("W")}},
        {18, parGen({{"DMX_DMX", "2"}, {"BACnet_Desc_Chars_Limit", "1"}}), {QStringLiteral("W")}},
    };
    for (const Case& c : cases) {
        Project p(c.type);
        if (!c.parGen.isEmpty())
            p.put(QStringLiteral("ParGen.xml"), c.parGen);
        platform::writeWholeFile(tablePathOf(c.type),
                                 table(row("ANALOG INPUT", "62", kForty), row("ANALOG INPUT", "62", "W")).toUtf8());
        const QStringList lines = cp1252Lines(writeMap(p));
        QStringList names;
        for (qsizetype i = 1; i < lines.size(); ++i)
            names << lines[i].section(QStringLiteral("; "), 0, 0);
        EXPECT_EQ(names, c.names) << "type " << c.type << " " << c.parGen.toStdString();
        if (c.type == 18) {
            EXPECT_EQ(lines.value(1).section(QStringLiteral("; "), 1, 1), QStringLiteral("0")) << c.parGen.toStdString();
        }
    }
}

TEST(ObjectsMap, MissingTableGivesTheHeaderOnly)
{
    Project p(3);
    EXPECT_EQ(writeMap(p), QByteArray("Var Description; Istance; BACnet Data Type; BACnet Eng. Unit; Read/Write\r\n"));
}

TEST(ObjectsMap, ModelsWithoutObjectsMapSaySo)
{
    for (int type : {11, 1001, 1002, 1003, 5}) {
        Project p(type);
        EXPECT_THROW(writeMap(p), platform::UserError) << type;
        EXPECT_FALSE(QFileInfo::exists(p.path(QStringLiteral("map.csv")))) << type;
    }
}

TEST(ObjectsMap, BadRowsAndFilesStopBeforeAnythingIsWritten)
{
    struct Case {
        const char* what;
        QString tableText;
        QString message;
    } cases[] = {
        {"unit not a number", table(row("ANALOG INPUT", "62", "A"), row("ANALOG OUT", "kWh", "B")),
         QStringLiteral("ModbusTCPM_BACnet_SetAccess.xml, section \"BACnet_in_Write\", row 1: the attribute "
                        "\"Eng_Unit\" must be a whole number, not \"kWh\".")},
        {"unit missing", table(QStringLiteral("<row Data_Type=\"ANALOG INPUT\" Mnemonic=\"A\"/>"), {}),
         QStringLiteral("ModbusTCPM_BACnet_SetAccess.xml, section \"BACnet_in_Read\", row 1: the attribute "
                        "\"Eng_Unit\" is missing.")},
        {"not well-formed", QStringLiteral("<BACnet_SetAccess><BACnet_in_Read>"),
         QStringLiteral("The file ModbusTCPM_BACnet_SetAccess.xml cannot be read")},
    };
    for (const Case& c : cases) {
        Project p(3);
        p.put(QStringLiteral("ModbusTCPM_BACnet_SetAccess.xml"), c.tableText);
        p.put(QStringLiteral("map.csv"), QStringLiteral("previous"));
        try {
            writeMap(p);
            ADD_FAILURE() << c.what << ": no error";
        } catch (const platform::UserError& e) {
            EXPECT_TRUE(e.message().startsWith(c.message)) << c.what << ": " << e.message().toStdString();
        }
        EXPECT_EQ(p.read(QStringLiteral("map.csv")), QByteArray("previous")) << c.what;
    }
}

TEST(ObjectsMap, AFileThatCannotBeWrittenIsNamedInTheError)
{
    // A missing folder, a read-only file (left as it was) and a folder in the file's place.
    Project p(3);
    const QString readOnly = p.put(QStringLiteral("locked.csv"), QStringLiteral("previous"));
    ASSERT_TRUE(QFile::setPermissions(readOnly, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    QDir().mkpath(p.path(QStringLiteral("folder.csv")));
    for (const QString& target : {p.path(QStringLiteral("no folder/map.csv")), readOnly, p.path(QStringLiteral("folder.csv"))}) {
        try {
            Write_BACnet_Objects_Map(target);
            ADD_FAILURE() << "no error for " << target.toStdString();
        } catch (const platform::UserError& e) {
            EXPECT_TRUE(e.message().contains(target)) << e.message().toStdString();
        }
    }
    EXPECT_EQ(p.read(QStringLiteral("locked.csv")), QByteArray("previous"));
    EXPECT_EQ(QFileInfo(readOnly).permissions() & QFileDevice::WriteOwner, 0);
}

TEST(ObjectsMap, UnitTexts)
{
    EXPECT_EQ(unitText(62), QStringLiteral("degrees-Celsius"));
    EXPECT_EQ(unitText(95), QStringLiteral("no-units"));
    EXPECT_EQ(unitText(300), QStringLiteral("unknown (300)"));
    EXPECT_EQ(unitText(-1), QStringLiteral("unknown (-1)"));
}

namespace {

TMBus_Var var(uint8_t type, const char* desc, uint16_t unit = 95, uint8_t dim = 2, uint8_t vife = 0)
{
    TMBus_Var v;
    v.Type_Of_Data = type;
    v.Desc = QString::fromUtf8(desc);
    v.BACnet_EngUnit = unit;
    v.Dimension = dim;
    v.VIFE = vife;
    return v;
}

QStringList mbusLines(const std::vector<TMBus_Nod>& nodes)
{
    QStringList l = objectsMapMBusLines(Build_MBus_Object_List(nodes));
    return l;
}

} // namespace

TEST(ObjectsMap, MBusObjectsOfTwoMeters)
{
    TMBus_Nod a;
    a.ID = 5;
    a.Node_State = 1;
    a.Ident_Num = 1;
    a.Desc = QStringLiteral("Heat meter");
    a.Vars = {var(0, "Energy", 19), var(20, "Time point"), var(19, "Volume", 80, 2, 40)};
    TMBus_Nod b;
    b.ID = 12345678;
    b.ID_Type = 1;
    b.Node_State = 129;
    b.Desc = QStringLiteral("A meter with a long name");
    b.Vars = {var(3, "Flow temperature", 62, 7), var(19, "Unknown VIFE", 95, 2, 126), var(22, "Counter")};
    const QStringList expected = {
        "M-Bus ID Node; Var Description; Istance; BACnet Data Type; BACnet Eng. Unit; Read/Write;",
        "Primary ID Node - 5; NS_Heat meter; 0; Positive Integer Value Object; no-units; Read;",
        "Primary ID Node - 5; IN_Heat meter; 1; Positive Integer Value Object; no-units; Read;",
        "Primary ID Node - 5; Energy; 0; Analog Input Object; kilowatt-hours; Read;",
        "Primary ID Node - 5; Time point; 0; DateTime Value Object; no-units; Read;",
        "Primary ID Node - 5; Volume; 2; Positive Integer Value Object; cubic-meters; Read;",
        // "NS_" and 13 characters of the description; a text variable whatever its data type; no
        // object for type code 126.
        "Secondary ID Node - 12345678; NS_A meter with ; 1; Analog Input Object; no-units; Read;",
        "Secondary ID Node - 12345678; Flow temperature; 0; CharacterString Value Object; degrees-Celsius; Read;",
        "Secondary ID Node - 12345678; Counter; 3; Positive Integer Value Object; no-units; Read;",
        "; AppReset_SUBCODE; 0; Multi State Value Object; no-units; Write;",
        "; Address; 1; Multi State Value Object; no-units; Write;",
        "; Execute_Command; 2; Multi State Value Object; no-units; Write;",
        "; Reset_Converter; 3; Multi State Value Object; no-units; Write;",
    };
    EXPECT_EQ(mbusLines({a, b}), expected);
}

TEST(ObjectsMap, DescriptionsHoldingTheSeparatorOrAQuoteAreQuotedForTheReaders)
{
    TMBus_Nod a;
    a.ID = 7;
    a.Desc = QStringLiteral("x");
    a.Vars = {var(0, "Energy; total", 19), var(0, "Say \"hi\"", 19)};
    const QStringList lines = mbusLines({a});
    ASSERT_GE(lines.size(), 3);
    EXPECT_EQ(lines[1], QStringLiteral("Primary ID Node - 7;\"Energy; total\"; 0; Analog Input Object; kilowatt-hours; Read;"));
    for (int i = 1; i < 3; ++i) {
        const QStringList f = testing_support::readCsvLine(lines[i]);
        ASSERT_EQ(f.size(), 7) << lines[i].toStdString();
        EXPECT_EQ(f[1], i == 1 ? QStringLiteral("Energy; total") : QStringLiteral("Say \"hi\""));
        EXPECT_EQ(f[2], QStringLiteral(" ") + QString::number(i - 1));
    }
    // The table variant: the golden file holds a name with "; " (objects_map_table.csv).
    const QStringList table = objectsMapTableLines({{QStringLiteral("A;B"), QStringLiteral("3"),
                                                     QStringLiteral("analog input"), QStringLiteral("percent"),
                                                     QStringLiteral("Read")}});
    EXPECT_EQ(table.at(1), QStringLiteral("\"A;B\"; 3; analog input; percent;Read;"));
}

TEST(ObjectsMap, MBusClassification)
{
    using K = MBusObjectKind;
    struct Case {
        uint8_t varType; // node's Var_List_Type
        uint8_t type, dim, vife;
        uint16_t bacnetType;
        K map, ede;
    } cases[] = {
        {0, 0, 2, 0, 0, K::AnalogInput, K::AnalogInput},
        {0, 18, 2, 0, 0, K::AnalogInput, K::AnalogInput},
        {0, 19, 2, 0, 0, K::None, K::None},
        {0, 19, 2, 1, 0, K::PositiveIntegerValue, K::PositiveIntegerValue},
        {0, 19, 2, 38, 0, K::AnalogInput, K::AnalogInput},
        {0, 19, 2, 50, 0, K::DateTimeValue, K::DateTimeValue},
        {0, 19, 2, 69, 0, K::AnalogInput, K::AnalogInput},
        {0, 19, 2, 125, 0, K::PositiveIntegerValue, K::PositiveIntegerValue},
        {0, 19, 2, 126, 0, K::None, K::PositiveIntegerValue},
        {0, 19, 2, 131, 0, K::None, K::AnalogInput},
        {0, 19, 2, 136, 0, K::None, K::PositiveIntegerValue},
        {0, 19, 2, 146, 0, K::None, K::AnalogInput},
        {0, 19, 2, 147, 0, K::None, K::None},
        {0, 20, 2, 0, 0, K::DateTimeValue, K::DateTimeValue},
        {0, 25, 2, 0, 0, K::PositiveIntegerValue, K::PositiveIntegerValue},
        {0, 26, 2, 0, 0, K::None, K::None},
        {0, 26, 7, 0, 0, K::CharacterStringValue, K::CharacterStringValue},
        {1, 0, 2, 0, 1, K::DateTimeValue, K::DateTimeValue},
        {1, 30, 2, 0, 2, K::PositiveIntegerValue, K::PositiveIntegerValue},
        {1, 0, 2, 0, 3, K::None, K::None},
        {1, 0, 7, 0, 3, K::CharacterStringValue, K::CharacterStringValue},
    };
    for (const Case& c : cases) {
        TMBus_Nod n;
        n.Var_Type = c.varType;
        TMBus_Var v = var(c.type, "", 95, c.dim, c.vife);
        v.BACnet_DataType = c.bacnetType;
        EXPECT_EQ(classifyForObjectsMap(n, v), c.map) << int(c.type) << "/" << int(c.vife);
        EXPECT_EQ(classifyForEde(n, v), c.ede) << int(c.type) << "/" << int(c.vife);
    }
}
