#include "image/BacnetObjects.h"
#include "image/Bdt.h"
#include "parameters/ParGenFile.h"
#include "support/TableFiles.h"
#include "support/TempDir.h"
#include "tables/bacnet/BacnetTables.h"
#include "workspace/Folders.h"
#include "workspace/LangTexts.h"
#include "workspace/Workspace.h"

#include <gtest/gtest.h>

#include <QFileInfo>
#include <memory>

using namespace tables;
using namespace tables::bacnet;
using testing_support::TempDir;
namespace tf = testing_support::tables;

namespace {

class BacnetTablesTest : public ::testing::Test {
protected:
    void SetUp() override { workspace::Default_Texts(); }
    workspace::ScopedWorkspace scoped{3};
    TempDir dir;
};

// An object row of the Modbus master table: type, unit, position, bit, length, mnemonic.
RowCells obj(const QString& type, const QString& unit, const QString& pos, const QString& bit, const QString& len)
{
    return RowCells{type, unit, pos, bit, len, QStringLiteral("m")};
}
// The same with `Swap` for the fieldbus-slave table.
RowCells slaveObj(const QString& type, const QString& unit, const QString& pos, const QString& bit,
                  const QString& len)
{
    return RowCells{type, unit, pos, bit, len, QStringLiteral("N"), QStringLiteral("m")};
}

QString check(const TableDescription& desc, const TableModel& m, const RowCheck& rc, const TableCheck& tc = {})
{
    const CheckResult r = Controllo_dati(desc, m, rc, tc);
    return r.ok ? QStringLiteral("ok") : r.message;
}

// The row and table checks as the frame's check takes them.
RowCheck masterCheck(const ByteLimits& limits)
{
    return [limits](const RowView& r) { return checkBacnetSetAccessRow(r, limits); };
}
RowCheck slaveCheck(int type, const ByteLimits& limits)
{
    return [type, limits](const RowView& r) { return checkBacnetModSlaveRow(r, type, limits); };
}
const RowCheck bdtCheck = checkBdtRow;
TableCheck countCheck(int capacity)
{
    return [capacity](const std::vector<int>& checked) { return checkObjectCount(checked, capacity); };
}

// The description limit as the object tables read it from a general parameters file.
bool descLimitIn(const QString& path)
{
    parameters::ParGenFile f;
    f.load(path);
    return descLimitSet(f);
}

std::unique_ptr<parameters::ParGenFile> parGen(const std::vector<std::pair<QString, QString>>& keys)
{
    auto f = std::make_unique<parameters::ParGenFile>();
    f->loadBytes(tf::parGenXml(keys));
    return f;
}

} // namespace

// Each file as the editors write it loads without a message and is written back byte for byte.
TEST_F(BacnetTablesTest, GoldenFilesLoadAndSaveBackUnchanged)
{
    struct Case {
        const char* file;
        int type;
        TableDescription desc;
    } cases[] = {
        {"ModbusM_BACnet_SetAccess.xml", 0, bacnetSetAccessTable()},
        {"ModbusTCPM_BACnet_SetAccess.xml", 3, bacnetSetAccessTable()},
        {"ModbusS_BACnet_SetAccess.xml", 2, bacnetModSlaveTable(2)},
        {"ModbusTCPS_BACnet_SetAccess.xml", 4, bacnetModSlaveTable(4)},
        {"BACnet_BDT.xml", 0, bdtTable()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const TableDescription& desc = c.desc;
        const QByteArray bytes = testing_support::dataFile(QStringLiteral("tables/") + QLatin1String(c.file));
        ASSERT_FALSE(bytes.isEmpty());
        const LoadResult r = loadTableBytes(desc, bytes, QLatin1String(c.file), desc.capacity);
        EXPECT_EQ(r.error, QString());
        EXPECT_EQ(QString::fromUtf8(tableXml(desc, r.model, c.type)), QString::fromUtf8(bytes));
    }
}

// The object table of every other fieldbus model, as its editor writes it with the default byte
// limits: loads without a message, passes the checks, is written back byte for byte, and the
// image builder takes each of its objects (the swap flag only where the model keeps it).
TEST_F(BacnetTablesTest, GoldenObjectTablesOfTheFieldbusModels)
{
    struct Case {
        int type;
        const char* file;
        int objects;
        int swapped; // objects built with the swap flag
    } cases[] = {
        {6, "PROFIBUSs_BACnet_SetAccess.xml", 4, 2},  {7, "CAN_BACnet_SetAccess.xml", 4, 0},
        {8, "CANopen_BACnet_SetAccess.xml", 4, 0},    {9, "PROFINET_BACnet_SetAccess.xml", 4, 2},
        {10, "DeviceNetM_BACnet_SetAccess.xml", 4, 0}, {11, "DeviceNetS_BACnet_SetAccess.xml", 4, 0},
        {12, "EtherNetIP_BACnet_SetAccess.xml", 4, 0}, {13, "J1939_BACnet_SetAccess.xml", 4, 0},
        {14, "NMEA_BACnet_SetAccess.xml", 4, 0},      {15, "Ethernet_BACnet_SetAccess.xml", 4, 0},
        {16, "KNX_BACnet_SetAccess.xml", 6, 2},       {2016, "KNX_BACnet_SetAccess.xml", 4, 0},
        {17, "SNMP_BACnet_SetAccess.xml", 4, 0},      {18, "SNMP_BACnet_SetAccess.xml", 4, 2},
        {19, "SNMP_BACnet_SetAccess.xml", 4, 0},
    };
    const parameters::ParGenFile none;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        const QString name = QStringLiteral("tables/objects/type%1/").arg(c.type) + QLatin1String(c.file);
        const QByteArray bytes = testing_support::dataFile(name);
        ASSERT_FALSE(bytes.isEmpty()) << name.toStdString();
        workspace::ScopedWorkspace typed(c.type);
        workspace::Default_Texts();
        typed->Project_Dir = dir.path();
        workspace::Set_Files();
        EXPECT_EQ(QFileInfo(typed->Path_BACnet_SetAccess_ModSlave).fileName(), QLatin1String(c.file));
        const TableDescription desc = bacnetModSlaveTable(c.type);
        const LoadResult r = loadTableBytes(desc, bytes, QLatin1String(c.file), 2000);
        EXPECT_EQ(r.error, QString());
        EXPECT_EQ(QString::fromUtf8(tableXml(desc, r.model, c.type)), QString::fromUtf8(bytes));
        EXPECT_EQ(check(desc, r.model, slaveCheck(c.type, modSlaveByteLimits(c.type, none)), countCheck(2000)),
                  QStringLiteral("ok"));
        const QString path = dir.write(QLatin1String(c.file), bytes);
        auto table = std::make_unique<image::BacnetObjectTable>();
        std::array<uint32_t, image::kObjectTypeCodes> counts{};
        image::Load_BACnet_Objects(*table, counts, 0, c.type, path);
        EXPECT_EQ(table->count, c.objects);
        int swapped = 0;
        for (int i = 0; i < table->count; ++i)
            swapped += (table->entries[size_t(i)].Flags & 2) ? 1 : 0;
        EXPECT_EQ(swapped, c.swapped);
    }
}

TEST_F(BacnetTablesTest, VersionCommentsFollowTheDeviceType)
{
    EXPECT_EQ(bacnetSetAccessTable().versionComment(0), QStringLiteral("SW_VERSION = 1.702"));
    EXPECT_EQ(bacnetSetAccessTable().versionComment(3), QStringLiteral("SW_VERSION = 1.405"));
    const std::pair<int, const char*> slave[] = {{2, "1.301"},  {4, "1.103"},  {6, "1.203"},  {7, "1.201"},
                                                 {8, "1.002"},  {9, "1.302"},  {10, "1.000"}, {11, "1.001"},
                                                 {12, "1.004"}, {13, "1.000"}, {15, "1.000"}, {16, "1.009"},
                                                 {2016, "1.009"}, {17, "1.302"}, {18, "1.003"}, {19, "1.201"},
                                                 {5, "1.301"}};
    for (const auto& [type, version] : slave)
        EXPECT_EQ(bacnetModSlaveTable(type).versionComment(type), QStringLiteral("SW_VERSION = ") + QLatin1String(version))
            << type;
    EXPECT_EQ(bdtTable().versionComment(2), QStringLiteral("SW_VERSION = 1.301"));
    EXPECT_EQ(bdtTable().versionComment(1001), QStringLiteral("SW_VERSION = 1.102"));
}

TEST_F(BacnetTablesTest, AbsentAttributesGetTheirDefaultsOrStopTheLoad)
{
    // Fieldbus-slave table: a row without Swap loads "N" and is written back with it.
    TableDescription slave = bacnetModSlaveTable(2);
    tf::Attrs row = tf::objectRow({.mnemonic = QStringLiteral("a")});
    LoadResult r = loadTableBytes(slave, tf::objectTableXml({tf::without(row, QStringLiteral("Swap"))}, {}),
                                  QStringLiteral("x.xml"), 2000);
    EXPECT_EQ(r.error, QString());
    EXPECT_EQ(r.model.cell(ReadPage, 1, kColSwap), QStringLiteral("N"));
    EXPECT_TRUE(tableXml(slave, r.model, 2).contains("Swap=\"N\" Mnemonic=\"a\""));

    // Any other missing attribute stops the load at that row; the rows before it stay.
    r = loadTableBytes(slave, tf::objectTableXml({row, tf::without(row, QStringLiteral("Length")), row}, {}),
                       QStringLiteral("x.xml"), 2000);
    EXPECT_TRUE(r.damaged());
    EXPECT_TRUE(r.error.contains(QStringLiteral("Length"))) << r.error.toStdString();
    EXPECT_EQ(r.model.cell(ReadPage, 1, ColType), QStringLiteral("Analog Input"));
    EXPECT_EQ(r.model.cell(ReadPage, 2, ColType), QString());
    EXPECT_EQ(r.model.cell(ReadPage, 3, ColType), QString());

    // BDT: a missing Enable loads enabled, any other missing attribute leaves its cell empty.
    const TableDescription bdt = bdtTable();
    const QByteArray bdtFile = "<BACnet_BDT><row IP_Address=\"1.2.3.4\" SubNet_Mask=\"255.0.0.0\" Mnemonic=\"x\"/></BACnet_BDT>";
    r = loadTableBytes(bdt, bdtFile, QStringLiteral("BACnet_BDT.xml"), 10);
    EXPECT_EQ(r.error, QString());
    EXPECT_EQ(r.model.sections[0][0], (RowCells{"Y", "1.2.3.4", "255.0.0.0", "", "x"}));
    // Fresh rows are enabled.
    EXPECT_EQ(r.model.cell(0, 2, BdtEnable), QStringLiteral("Y"));
    // The empty port fails the check of an enabled row.
    EXPECT_EQ(check(bdt, r.model, bdtCheck), QStringLiteral("Error row 1!! Port must be between 0 and 65535"));
}

TEST_F(BacnetTablesTest, MasterObjectTableMessages)
{
    const TableDescription desc = bacnetSetAccessTable();
    const RowCheck rc = masterCheck(desc.limits);
    struct Case {
        int page;
        RowCells row;
        const char* message;
    } cases[] = {
        {ReadPage, obj("Analog Input", "-1", "0", "0", "4"), "Error row 1!! [BACnet in Read] Eng. Unit must be between 0 and 65535"},
        {ReadPage, obj("Analog Input", "95", "1439", "0", "4"), "Error row 1!! [BACnet in Read] Position must be between 0 and 1438"},
        {ReadPage, obj("Analog Input", "95", "1436", "0", "4"), "Error row 1!! [BACnet in Read] Too many bytes to save starting from the Position indicate"},
        {ReadPage, obj("Analog Input", "95", "1436", "0", "3"), "ok"},
        {ReadPage, obj("Analog Input", "95", "0", "0", "5"), "Error row 1!! [BACnet in Read] Length with variable \"Analog Input\" must be between 1 and 4"},
        {ReadPage, obj("Life Safety Zone", "95", "0", "0", "3"), "Error row 1!! [BACnet in Read] Length with variable \"Life Safety Zone\" must be 1 or 2"},
        {ReadPage, obj("Access Door", "95", "0", "0", "2"), "Error row 1!! [BACnet in Read] Length with variable \"Access Door\" must be equal to 1"},
        // A binary input needs its start bit, whatever its length.
        {ReadPage, obj("Binary Input", "95", "0", "", "99"), "Error row 1!! [BACnet in Read] Bit must be between 0 and 7"},
        {ReadPage, obj("Binary Input", "95", "1438", "7", "99"), "ok"},
        // ... but a Length the image builder can store, a whole number.
        {ReadPage, obj("Binary Input", "95", "4", "3", ""), "Error row 1!! [BACnet in Read] Length with variable \"Binary Input\" must be a number"},
        {ReadPage, obj("Binary Value", "95", "4", "3", "one"), "Error row 1!! [BACnet in Read] Length with variable \"Binary Value\" must be a number"},
        // Types are compared exactly: a lower-case type has no length rule.
        {ReadPage, obj("analog input", "95", "0", "0", "4"), "ok"},
        // An integer or a string needs at least one byte.
        {ReadPage, obj("Integer Value", "95", "0", "0", "4"), "ok"},
        {ReadPage, obj("Integer Value", "95", "0", "0", ""), "Error row 1!! [BACnet in Read] Length with variable \"Integer Value\" must be 1 or more"},
        {ReadPage, obj("Octet String", "95", "5", "0", "0"), "Error row 1!! [BACnet in Read] Length with variable \"Octet String\" must be 1 or more"},
        {WritePage, obj("Analog Out", "95", "0", "0", "4"), "ok"},
        {WritePage, obj("Analog Out", "65536", "0", "0", "4"), "Error row 1!! [BACnet in Write] Eng. Unit must be between 0 and 65535"},
        {WritePage, obj("Analog Out", "95", "", "0", "4"), "Error row 1!! [BACnet in Write] Position must be between 0 and 1438"},
        {WritePage, obj("Large Analog Value", "95", "0", "0", "7"), "Error row 1!! [BACnet in Write] Length value not valid for this BACnet object. It Must be equal to 8"},
        {WritePage, obj("Octet String", "95", "0", "0", "50"), "ok"},
        {WritePage, obj("Octet String", "95", "0", "0", "51"), "Error row 1!! [BACnet in Write] Length value Must be between 1 and 50"},
        {WritePage, obj("Octet String", "95", "0", "0", ""), "Error row 1!! [BACnet in Write] Length value Must be between 1 and 50"},
        {WritePage, obj("Binary Out", "95", "3", "", "1"), "Error row 1!! [BACnet in Write] Bit must be between 0 and 7"},
        {WritePage, obj("Analog Value", "95", "1436", "0", "4"), "Error row 1!! [BACnet in Write] Too many bytes to save starting from the Position indicate"},
    };
    for (const Case& c : cases) {
        TableModel m = TableModel::fresh(desc, 2000);
        m.sections[size_t(c.page)][0] = c.row;
        EXPECT_EQ(check(desc, m, rc), QString::fromUtf8(c.message)) << c.row.join('|').toStdString();
    }

    // The row number stands between the prefix and the text; the failing row is named.
    TableModel m = TableModel::fresh(desc, 2000);
    for (int r = 0; r < 11; ++r)
        m.sections[WritePage][size_t(r)] = obj("Analog Out", "95", QString::number(r * 4), "0", "4");
    m.sections[WritePage][11] = obj("Analog Out", "95", "2000", "0", "4");
    EXPECT_EQ(check(desc, m, rc), QStringLiteral("Error row 12!! [BACnet in Write] Position must be between 0 and 1438"));
}

TEST_F(BacnetTablesTest, BothPagesTogetherStayWithinOnePagesCapacity)
{
    const TableDescription desc = bacnetSetAccessTable();
    const RowCheck rc = masterCheck(desc.limits);
    TableModel m = TableModel::fresh(desc, 2000);
    for (int r = 0; r < 1500; ++r)
        m.sections[ReadPage][size_t(r)] = obj("Analog Input", "95", "0", "0", "4");
    for (int r = 0; r < 600; ++r)
        m.sections[WritePage][size_t(r)] = obj("Analog Out", "95", "0", "0", "4");
    EXPECT_EQ(check(desc, m, rc, countCheck(2000)), QStringLiteral("Error!! Too many Requests. Max requests 2000"));
    m.sections[WritePage][500] = RowCells(7);
    EXPECT_EQ(check(desc, m, rc, countCheck(2000)), QStringLiteral("ok"));

    // With the description limit one page holds 1000 rows, and both together as many.
    TableModel small = TableModel::fresh(desc, 1000);
    for (int r = 0; r < 700; ++r)
        small.sections[ReadPage][size_t(r)] = obj("Analog Input", "95", "0", "0", "4");
    for (int r = 0; r < 301; ++r)
        small.sections[WritePage][size_t(r)] = obj("Analog Out", "95", "0", "0", "4");
    EXPECT_EQ(check(desc, small, rc, countCheck(1000)), QStringLiteral("Error!! Too many Requests. Max requests 1000"));
}

TEST_F(BacnetTablesTest, DescriptionLimitComesFromTheGeneralParameters)
{
    EXPECT_FALSE(descLimitIn(dir.file(QStringLiteral("missing.xml"))));
    EXPECT_TRUE(descLimitIn(dir.write(QStringLiteral("a.xml"), tf::parGenXml({{"BACnet_Desc_Chars_Limit", "1"}}))));
    EXPECT_FALSE(descLimitIn(dir.write(QStringLiteral("b.xml"), tf::parGenXml({{"BACnet_Desc_Chars_Limit", " 1"}}))));
    EXPECT_FALSE(descLimitIn(dir.write(QStringLiteral("c.xml"), "<Par_Gen><BACnet_Desc_Chars_Limit>1")));
    EXPECT_EQ(objectCapacity(true), 1000);
    EXPECT_EQ(objectCapacity(false), 2000);
}

TEST_F(BacnetTablesTest, PickingAWriteTypeFillsItsLength)
{
    const std::pair<const char*, const char*> cases[] = {
        {"Large Analog Value", "8"}, {"Analog Out", "4"},   {"Binary Value", "1"},  {"Multi State Output", "4"},
        {"Octet String", "1"},       {"Access Door", "1"},  {"Integer Value", "4"}, {"Positive Integer Value", "4"},
    };
    for (const auto& [type, len] : cases) {
        EXPECT_EQ(lengthForPickedType(QLatin1String(type), false), std::optional<QString>(QLatin1String(len))) << type;
        EXPECT_EQ(CheckLengthData(QLatin1String(type)), type == std::string_view("Octet String") ? -1 : QString(QLatin1String(len)).toInt())
            << type;
    }
    EXPECT_EQ(lengthForPickedType(QStringLiteral("CharacterString Value"), false), std::nullopt);
    EXPECT_EQ(lengthForPickedType(QStringLiteral("CharacterString Value"), true), std::optional<QString>(QStringLiteral("1")));
    EXPECT_EQ(lengthForPickedType(QStringLiteral("Analog Input"), true), std::nullopt);
    EXPECT_EQ(CheckLengthData(QStringLiteral("  large analog VALUE ")), 8);
    EXPECT_EQ(CheckLengthData(QStringLiteral("Analog Input")), 0);
}

TEST_F(BacnetTablesTest, SlaveByteLimitsAndPagesByDeviceType)
{
    const parameters::ParGenFile none;
    struct Case {
        int type;
        std::vector<std::pair<QString, QString>> keys;
        int in, out;
    } cases[] = {
        {2, {}, 1439, 1439},
        {6, {}, 244, 244},
        {6, {{"PROFIBUS_SLAVE_NB_IN", "32"}, {"PROFIBUS_SLAVE_NB_OUT", "x"}}, 32, 244},
        {6, {{"PROFIBUS_SLAVE_NB_IN", "100"}, {"PROFIBUS_SLAVE_NB_OUT", "200"}}, 100, 200},
        {11, {}, 455, 455},
        {11, {{"DNETS_NB_IN", "100"}, {"DNETS_NB_OUT", "200"}}, 100, 200},
        {12, {}, 496, 500},
        {12, {{"EtherNetIP_NB_IN", "100"}, {"EtherNetIP_NB_OUT", "200"}}, 100, 200},
        // Hand-edited counts that no pick list could hold keep the fixed numbers.
        {12, {{"EtherNetIP_NB_IN", "2000000000"}, {"EtherNetIP_NB_OUT", "-5"}}, 496, 500},
        {11, {{"DNETS_NB_IN", "0"}, {"DNETS_NB_OUT", "1440"}}, 455, 1440},
        {18, {{"DMX_Num_Channels", "513"}}, 512, 512},
        {17, {{"DMX_Num_Channels", "24"}}, 1024, 1024},
        {18, {}, 512, 512},
        {18, {{"DMX_Num_Channels", "24"}}, 24, 24},
        {19, {}, 1440, 1440},
    };
    for (const Case& c : cases) {
        const ByteLimits l = modSlaveByteLimits(c.type, *parGen(c.keys));
        EXPECT_EQ(l.in, c.in) << c.type;
        EXPECT_EQ(l.out, c.out) << c.type;
    }
    EXPECT_EQ(dmxDirection(none), 1);
    EXPECT_EQ(dmxDirection(*parGen({{"DMX_DMX", "0"}})), 0);

    // Swap shown on four models; the write Length editable on three.
    for (int t : {2, 4, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 2016}) {
        const TableDescription s = bacnetModSlaveTable(t);
        const bool swap = t == 6 || t == 9 || t == 16 || t == 18;
        EXPECT_EQ(!s.sections[ReadPage].columns[kColSwap - 1].hidden, swap) << t;
        EXPECT_EQ(s.window.clientWidth, swap ? 804 : 764) << t;
        EXPECT_EQ(!s.sections[WritePage].columns[ColLength - 1].readOnly, t == 16 || t == 18 || t == 19) << t;
        EXPECT_FALSE(s.sections[ReadPage].columns[ColLength - 1].readOnly);
        const qsizetype extra = t == 16 ? 2 : t == 19 ? 1 : 0;
        EXPECT_EQ(s.sections[ReadPage].columns[0].items.size(), 13 + extra) << t;
        EXPECT_EQ(s.sections[WritePage].columns[0].items.size(), 10 + extra) << t;
    }
    EXPECT_EQ(bacnetModSlaveTable(16).sections[WritePage].columns[0].items.last(), QStringLiteral("CharacterString Value"));
    EXPECT_EQ(bacnetSetAccessTable().sections[ReadPage].columns[0].items.size(), 14);
    EXPECT_EQ(bacnetSetAccessTable().sections[WritePage].columns[0].items.size(), 11);
}

TEST_F(BacnetTablesTest, SlaveObjectTableMessages)
{
    struct Case {
        int type;
        ByteLimits limits;
        int page;
        RowCells row;
        const char* message;
    } cases[] = {
        {12, {100, 200}, WritePage, slaveObj("Binary Value", "95", "150", "3", "1"), "ok"},
        {12, {100, 200}, WritePage, slaveObj("Analog Out", "95", "250", "0", "4"), "Error row 1!! [BACnet in Write] Position must be between 0 and 199"},
        {12, {100, 200}, ReadPage, slaveObj("Analog Input", "95", "99", "0", "1"), "ok"},
        {12, {100, 200}, ReadPage, slaveObj("Analog Input", "95", "99", "0", "2"), "Error row 1!! [BACnet in Read] Too many bytes to save starting from the Position indicate"},
        {2, {1439, 1439}, ReadPage, slaveObj("Accumulator", "95", "0", "0", "5"), "Error row 1!! [BACnet in Read] Length with variable \"Accumulator\" must be between 1 and 4"},
        {2, {1439, 1439}, ReadPage, slaveObj("Binary Value", "95", "0", "", "1"), "Error row 1!! [BACnet in Read] Bit must be between 0 and 7"},
        {16, {1439, 1439}, ReadPage, slaveObj("CharacterString Value", "95", "0", "0", "x"), "Error row 1!! [BACnet in Read] Length with variable \"CharacterString Value\" must be 1 or more"},
        // No write-length rule outside the DMX and SNMP manager models.
        {4, {1439, 1439}, WritePage, slaveObj("Multi State Output", "95", "0", "0", "9"), "ok"},
        {18, {512, 512}, WritePage, slaveObj("Multi State Output", "95", "0", "0", "9"), "Error row 1!! [BACnet in Write] Length with variable \"Multi State Output\" must be between 1 and 4"},
        {19, {1440, 1440}, WritePage, slaveObj("Access Door", "95", "0", "0", "2"), "Error row 1!! [BACnet in Write] Length with variable \"Access Door\" must be equal to 1"},
        {19, {1440, 1440}, WritePage, slaveObj("Octet String", "95", "0", "0", "51"), "Error row 1!! [BACnet in Write] Length with variable \"Octet String\" must be between 1 and 50"},
        {19, {1440, 1440}, WritePage, slaveObj("Octet String", "95", "0", "0", "50"), "ok"},
        {19, {1440, 1440}, WritePage, slaveObj("Octet String", "95", "1391", "0", "50"), "Error row 1!! [BACnet in Write] Too many bytes to save starting from the Position indicate"},
        {19, {1440, 1440}, WritePage, slaveObj("Binary Out", "95", "1439", "0", "1"), "ok"},
        {19, {1440, 1440}, ReadPage, slaveObj("Analog Input", "95", "1440", "0", "1"), "Error row 1!! [BACnet in Read] Position must be between 0 and 1439"},
        {18, {512, 512}, WritePage, slaveObj("Binary Out", "95", "1", "", "1"), "Error row 1!! [BACnet in Write] Bit must be between 0 and 7"},
        {2, {1439, 1439}, ReadPage, slaveObj("Binary Input", "95", "0", "0", ""), "Error row 1!! [BACnet in Read] Length with variable \"Binary Input\" must be a number"},
        {4, {1439, 1439}, WritePage, slaveObj("Binary Value", "95", "0", "0", " "), "Error row 1!! [BACnet in Write] Length with variable \"Binary Value\" must be a number"},
        {4, {1439, 1439}, WritePage, slaveObj("Binary Value", "95", "0", "0", "1"), "ok"},
        {18, {512, 512}, WritePage, slaveObj("Analog Out", "x", "1", "", "1"), "Error row 1!! [BACnet in Write] Eng. Unit must be between 0 and 65535"},
        // The other models whose write Length is typed: DMX and KNX.
        {18, {24, 24}, WritePage, slaveObj("Analog Out", "95", "23", "0", "1"), "ok"},
        {18, {24, 24}, WritePage, slaveObj("Analog Out", "95", "23", "0", "2"), "Error row 1!! [BACnet in Write] Too many bytes to save starting from the Position indicate"},
        {18, {24, 24}, WritePage, slaveObj("Analog Out", "95", "24", "0", "1"), "Error row 1!! [BACnet in Write] Position must be between 0 and 23"},
        {16, {1439, 1439}, WritePage, slaveObj("Analog Out", "95", "0", "0", "0"), "Error row 1!! [BACnet in Write] Length with variable \"Analog Out\" must be between 1 and 4"},
        {16, {1439, 1439}, WritePage, slaveObj("Large Analog Value", "95", "0", "0", "8"), "ok"},
        {16, {1439, 1439}, WritePage, slaveObj("Octet String", "95", "0", "0", "51"), "Error row 1!! [BACnet in Write] Length with variable \"Octet String\" must be between 1 and 50"},
        {16, {1439, 1439}, WritePage, slaveObj("CharacterString Value", "95", "0", "0", "0"), "Error row 1!! [BACnet in Write] Length with variable \"CharacterString Value\" must be 1 or more"},
        {16, {1439, 1439}, WritePage, slaveObj("CharacterString Value", "95", "1400", "0", "39"), "ok"},
        {16, {1439, 1439}, WritePage, slaveObj("CharacterString Value", "95", "1400", "0", "40"), "Error row 1!! [BACnet in Write] Too many bytes to save starting from the Position indicate"},
        // The limits of the models without general parameters for them.
        {17, {1024, 1024}, ReadPage, slaveObj("Analog Input", "95", "1020", "0", "4"), "ok"},
        {17, {1024, 1024}, ReadPage, slaveObj("Analog Input", "95", "1021", "0", "4"), "Error row 1!! [BACnet in Read] Too many bytes to save starting from the Position indicate"},
        {17, {1024, 1024}, WritePage, slaveObj("Binary Out", "95", "1024", "0", "1"), "Error row 1!! [BACnet in Write] Position must be between 0 and 1023"},
        {6, {244, 244}, ReadPage, slaveObj("Analog Input", "95", "244", "0", "1"), "Error row 1!! [BACnet in Read] Position must be between 0 and 243"},
        {11, {100, 200}, ReadPage, slaveObj("Analog Input", "95", "100", "0", "1"), "Error row 1!! [BACnet in Read] Position must be between 0 and 99"},
        {11, {100, 200}, WritePage, slaveObj("Analog Out", "95", "196", "0", "4"), "ok"},
    };
    for (const Case& c : cases) {
        const TableDescription desc = bacnetModSlaveTable(c.type);
        TableModel m = TableModel::fresh(desc, 2000);
        m.sections[size_t(c.page)][0] = c.row;
        EXPECT_EQ(check(desc, m, slaveCheck(c.type, c.limits)), QString::fromUtf8(c.message))
            << c.type << " " << c.row.join('|').toStdString();
    }
}

TEST_F(BacnetTablesTest, HiddenSwapIsKeptAndSaved)
{
    const TableDescription desc = bacnetModSlaveTable(2);
    ASSERT_TRUE(desc.sections[ReadPage].columns[kColSwap - 1].hidden);
    const tf::Attrs yes = tf::objectRow({.swap = QStringLiteral("Y"), .mnemonic = QStringLiteral("a")});
    const LoadResult r = loadTableBytes(desc, tf::objectTableXml({yes}, {}), QStringLiteral("x.xml"), 2000);
    EXPECT_TRUE(tableXml(desc, r.model, 2).contains("Length=\"4\" Swap=\"Y\" Mnemonic=\"a\""));
    // A fresh row's Swap is empty and saved so.
    TableModel m = TableModel::fresh(desc, 2000);
    m.sections[WritePage][0] = RowCells{"Analog Out", "95", "0", "0", "4", "", "w"};
    EXPECT_TRUE(tableXml(desc, m, 2).contains("Swap=\"\" Mnemonic=\"w\""));
    EXPECT_EQ(TableModel::freshRow(desc.sections[ReadPage]), RowCells(7));
}

TEST_F(BacnetTablesTest, BroadcastTableChecksEveryRowWithAnAddressAndKeepsThemAll)
{
    const TableDescription desc = bdtTable();
    const RowCheck rc = bdtCheck;
    struct Case {
        RowCells row;
        const char* message;
    } cases[] = {
        {{"Y", "192.168.1.1", "255.0.255.0", "47808", ""}, "ok"},
        {{"y", "192.168.1.1", "255.255.255", "47808", ""}, "Error row 2!! SubNet Mask must be a valid Mask (Ex. 255.255.255.0)"},
        {{"Y", "192.168.1.1", "", "47808", ""}, "Error row 2!! SubNet Mask must be a valid Mask (Ex. 255.255.255.0)"},
        {{"Y", "192.168.1.1", "255.255.255.256", "47808", ""}, "Error row 2!! SubNet Mask must be a valid Mask (Ex. 255.255.255.0)"},
        {{"Y", "1..2.3", "255.255.255.0", "47808", ""}, "Error row 2!! IP Address must be a valid TCP IP Address (Ex. 192.168.1.125)"},
        {{"Y", "1.2.3.4", "255.255.255.0", "65536", ""}, "Error row 2!! Port must be between 0 and 65535"},
        // Disabled rows, also those whose Enable was cleared by Insert Row, are not checked.
        {{"N", "300.1.1.1", "", "", ""}, "ok"},
        {{"", "300.1.1.1", "", "", ""}, "ok"},
    };
    for (const Case& c : cases) {
        TableModel m = TableModel::fresh(desc, 10);
        m.sections[0][0] = RowCells{"Y", "10.0.0.1", "255.255.255.0", "47808", "first"};
        m.sections[0][1] = c.row;
        EXPECT_EQ(check(desc, m, rc), QString::fromUtf8(c.message)) << c.row.join('|').toStdString();
    }

    // An empty address in the middle: the row below it is checked and also saved.
    TableModel m = TableModel::fresh(desc, 10);
    m.sections[0][0] = RowCells{"Y", "10.0.0.1", "255.255.255.0", "47808", "a"};
    m.sections[0][2] = RowCells{"Y", "10.0.0.3", "255.255.255.0", "x", "c"};
    EXPECT_EQ(check(desc, m, rc), QStringLiteral("Error row 3!! Port must be between 0 and 65535"));
    m.sections[0][2][3] = QStringLiteral("47808");
    EXPECT_EQ(check(desc, m, rc), QStringLiteral("ok"));
    const QString xml = QString::fromUtf8(tableXml(desc, m, 0));
    EXPECT_TRUE(xml.contains(QStringLiteral("Mnemonic=\"a\""))) << xml.toStdString();
    EXPECT_TRUE(xml.contains(QStringLiteral("Mnemonic=\"c\""))) << xml.toStdString();
    EXPECT_EQ(xml.count(QStringLiteral("<row ")), 2);
}

// What OK writes is what Update Device reads: the object table of each model, saved after its
// checks pass, gives the image's entries grouped by data type code, read rows before write
// rows, numbered on after the read section, written objects flagged, the names in the pool.
TEST_F(BacnetTablesTest, TheImageBuilderReadsTheObjectTablesTheEditorsWrote)
{
    struct Case {
        int type;
        bool slave;
    };
    for (const Case& c : {Case{0, false}, Case{3, false}, Case{2, true}, Case{4, true}}) {
        SCOPED_TRACE(c.type);
        const TableDescription desc = c.slave ? bacnetModSlaveTable(c.type) : bacnetSetAccessTable();
        auto row = [&](const char* type, const char* unit, const char* pos, const char* bit, const char* len,
                       const char* name) {
            RowCells cells{QLatin1String(type), QLatin1String(unit), QLatin1String(pos), QLatin1String(bit),
                           QLatin1String(len)};
            if (c.slave)
                cells << QStringLiteral("Y"); // Swap, ticked: not a swap on these models
            return cells << QString::fromUtf8(name);
        };
        TableModel m = TableModel::fresh(desc, 2000);
        m.sections[ReadPage][0] = row("Binary Input", "95", "4", "3", "1", "Pump");
        m.sections[ReadPage][1] = row("Analog Input", "62", "0", "0", "4", "T1");
        m.sections[WritePage][0] = row("Analog Out", "98", "0", "0", "4", "Valve");
        m.sections[WritePage][1] = row("Binary Out", "95", "4", "7", "1", "");
        const RowCheck rc = c.slave ? slaveCheck(c.type, desc.limits) : masterCheck(desc.limits);
        ASSERT_EQ(check(desc, m, rc, countCheck(2000)), QStringLiteral("ok"));
        const QString path = dir.file(QStringLiteral("objects.xml"));
        ASSERT_TRUE(saveTable(desc, m, path, c.type, nullptr));

        auto table = std::make_unique<image::BacnetObjectTable>();
        std::array<uint32_t, image::kObjectTypeCodes> counts{};
        image::Load_BACnet_Objects(*table, counts, 0, c.type, path);
        ASSERT_EQ(table->count, 4);
        struct Entry {
            uint32_t position;
            uint16_t unit;
            uint8_t length, flags;
            uint16_t rowNumber;
            uint8_t bit;
        };
        const Entry expected[] = {
            {0, 62, 4, 0, 2, 0}, // Analog Input (code 0), read row 2
            {0, 98, 4, 1, 3, 0}, // Analog Out (code 1), write row 1 after two read rows
            {4, 95, 1, 0, 1, 3}, // Binary Input (code 2)
            {4, 95, 1, 1, 4, 7}, // Binary Out (code 3)
        };
        for (int i = 0; i < 4; ++i) {
            const image::BacnetObjectEntry& e = table->entries[size_t(i)];
            const Entry& x = expected[i];
            EXPECT_EQ(e.Position, x.position) << i;
            EXPECT_EQ(e.Eng_Unit, x.unit) << i;
            EXPECT_EQ(e.Length, x.length) << i;
            EXPECT_EQ(e.Flags, x.flags) << i;
            EXPECT_EQ(e.Row_Number, x.rowNumber) << i;
            EXPECT_EQ(e.Bit, x.bit) << i;
        }
        EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(table->pool.data()), 16), QByteArray("\0T1\0Valve\0Pump\0\0", 16));
        EXPECT_EQ(counts[0] + counts[1] + counts[2] + counts[3], 4u);
    }

    // The golden files are read as they stand: each passes its editor's checks and the builder
    // takes every object of it.
    struct Golden {
        const char* file;
        int type;
        int objects;
    };
    for (const Golden& g : {Golden{"ModbusM_BACnet_SetAccess.xml", 0, 5}, Golden{"ModbusTCPM_BACnet_SetAccess.xml", 3, 5},
                            Golden{"ModbusS_BACnet_SetAccess.xml", 2, 4}, Golden{"ModbusTCPS_BACnet_SetAccess.xml", 4, 4}}) {
        SCOPED_TRACE(g.file);
        const bool slave = g.type == 2 || g.type == 4;
        const TableDescription desc = slave ? bacnetModSlaveTable(g.type) : bacnetSetAccessTable();
        const QByteArray bytes = testing_support::dataFile(QStringLiteral("tables/") + QLatin1String(g.file));
        const LoadResult r = loadTableBytes(desc, bytes, QLatin1String(g.file), 2000);
        const RowCheck rc = slave ? slaveCheck(g.type, desc.limits) : masterCheck(desc.limits);
        EXPECT_EQ(check(desc, r.model, rc, countCheck(2000)), QStringLiteral("ok"));
        const QString path = dir.write(QLatin1String(g.file), bytes);
        auto table = std::make_unique<image::BacnetObjectTable>();
        std::array<uint32_t, image::kObjectTypeCodes> counts{};
        image::Load_BACnet_Objects(*table, counts, 0, g.type, path);
        EXPECT_EQ(table->count, g.objects);
    }
}

// A full table as the editors allow it (both pages together within one page's capacity) fits
// the image's object area, with and without the description limit.
TEST_F(BacnetTablesTest, AFullObjectTableFitsTheImage)
{
    for (const bool limit : {false, true}) {
        SCOPED_TRACE(limit);
        const int capacity = objectCapacity(limit);
        const TableDescription desc = bacnetSetAccessTable();
        TableModel m = TableModel::fresh(desc, capacity);
        const int reads = capacity * 3 / 5;
        for (int r = 0; r < reads; ++r)
            m.sections[ReadPage][size_t(r)] = obj("Analog Input", "95", QString::number(r % 1436), "0", "4");
        for (int r = 0; r < capacity - reads; ++r)
            m.sections[WritePage][size_t(r)] = obj("Analog Out", "95", QString::number(r % 1436), "0", "4");
        ASSERT_EQ(check(desc, m, masterCheck(desc.limits), countCheck(capacity)), QStringLiteral("ok"));
        const QString path = dir.file(QStringLiteral("full.xml"));
        ASSERT_TRUE(saveTable(desc, m, path, 3, nullptr));
        auto table = std::make_unique<image::BacnetObjectTable>();
        std::array<uint32_t, image::kObjectTypeCodes> counts{};
        image::Load_BACnet_Objects(*table, counts, limit ? 1 : 0, 3, path);
        EXPECT_EQ(table->count, capacity);
        EXPECT_EQ(table->entries[size_t(capacity - 1)].Row_Number, capacity);
    }
}

// The broadcast table as saved, an empty row in the middle passed over, is what the BBMD table
// of the image holds: enabled rows (any case) enabled, disabled ones kept with what they hold.
TEST_F(BacnetTablesTest, TheImageBuilderReadsTheBroadcastTableTheEditorWrote)
{
    const TableDescription desc = bdtTable();
    TableModel m = TableModel::fresh(desc, 10);
    m.sections[0][0] = RowCells{"Y", "192.168.1.10", "255.255.255.0", "47808", "a"};
    m.sections[0][1] = RowCells{"Y", "", "255.255.255.0", "47808", "no address"};
    m.sections[0][2] = RowCells{"N", "300.1.1.1", "255.0.0.0", "47809", "old"};
    m.sections[0][3] = RowCells{"y", "10.0.0.1", "255.255.255.255", "47808", "c"};
    ASSERT_EQ(check(desc, m, bdtCheck), QStringLiteral("ok"));
    const QString path = dir.file(QStringLiteral("BACnet_BDT.xml"));
    ASSERT_TRUE(saveTable(desc, m, path, 2, nullptr));

    image::BdtTable t;
    image::Clear_BDT(t);
    image::Load_BDT(t, path);
    EXPECT_EQ(t[0].Enable, 1);
    EXPECT_EQ(t[0].IP_Address, 0xC0A8010Au);
    EXPECT_EQ(t[0].SubNet_Mask, 0xFFFFFF00u);
    EXPECT_EQ(t[0].Port, 47808);
    EXPECT_EQ(t[1].Enable, 0);
    EXPECT_EQ(t[1].IP_Address, 0u); // not an address
    EXPECT_EQ(t[1].SubNet_Mask, 0xFF000000u);
    EXPECT_EQ(t[1].Port, 47809);
    EXPECT_EQ(t[2].Enable, 1);
    EXPECT_EQ(t[2].IP_Address, 0x0A000001u);
    EXPECT_EQ(t[3].Enable, 0);
    EXPECT_EQ(t[3].IP_Address, 0u);

    // The golden file too.
    const QString golden = dir.write(QStringLiteral("golden.xml"), testing_support::dataFile(QStringLiteral("tables/BACnet_BDT.xml")));
    image::Clear_BDT(t);
    image::Load_BDT(t, golden);
    EXPECT_EQ(t[2].Enable, 1);
    EXPECT_EQ(t[2].SubNet_Mask, 0xFF00FF00u);
    EXPECT_EQ(t[2].Port, 47809);
}
