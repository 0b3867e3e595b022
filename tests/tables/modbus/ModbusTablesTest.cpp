#include "image/ModbusAccess.h"
#include "support/TableFiles.h"
#include "support/TempDir.h"
#include "tables/modbus/ModbusTables.h"
#include "workspace/LangTexts.h"
#include "workspace/Workspace.h"

#include <gtest/gtest.h>

using namespace tables;
using namespace tables::modbus;
using testing_support::dataFile;
using testing_support::TempDir;
namespace tf = testing_support::tables;

namespace {

class ModbusTablesTest : public ::testing::Test {
protected:
    void SetUp() override { workspace::Default_Texts(); }
    workspace::ScopedWorkspace scoped{0};
    TempDir dir;
};

// A valid row of each grid; `set` changes cells by attribute name.
using Set = std::vector<std::pair<const char*, const char*>>;

RowCells row(const TableDescription& desc, int section, const Set& set)
{
    const SectionDescription& s = desc.sections[size_t(section)];
    RowCells cells;
    for (const ColumnDescription& c : s.columns) {
        const QString a = c.attribute;
        QString v = a == "IP_Address" ? "192.168.1.125"
                    : a == "Port"     ? "502"
                    : a == "Slave_ID" ? "1"
                    : a == "Type"     ? "Holding Register"
                    : a == "NPoint"   ? "1"
                    : a == "PollTime" ? "1000"
                    : a == "MaxError" ? "3"
                    : a == "Endian"   ? "Little"
                    : a == "Operation" ? "None"
                    : a == "Mnemonic" ? "m"
                    : c.editor == Editor::DataCheckBox ? "N"
                                                       : "0";
        for (const auto& [name, value] : set)
            if (a == QLatin1String(name))
                v = QString::fromUtf8(value);
        cells.push_back(v);
    }
    return cells;
}

QString checkOne(bool tcp, int section, const Set& set, int rowNumber = 1)
{
    const TableDescription& desc = tcp ? setAccessTcpTable() : setAccessTable();
    TableModel m = TableModel::fresh(desc, 20);
    for (int r = 1; r < rowNumber; ++r)
        m.sections[size_t(section)][size_t(r - 1)] = row(desc, section, {});
    m.sections[size_t(section)][size_t(rowNumber - 1)] = row(desc, section, set);
    const RowCheck check = [&](const RowView& r) {
        return tcp ? checkSetAccessTcpRow(r, desc.limits) : checkSetAccessRow(r, desc.limits);
    };
    const CheckResult res = Controllo_dati(desc, m, check);
    return res.ok ? QString() : res.message;
}

} // namespace

TEST_F(ModbusTablesTest, CheckMessages)
{
    struct Case {
        bool tcp;
        int section;
        Set set;
        int row;
        const char* message; // empty: the row passes
    };
    const Case cases[] = {
        {false, Read, {{"Slave_ID", "0"}}, 12, "Error row 12!! [Modbus Read] Slave ID must be between 1 and 247"},
        {false, Read, {{"Slave_ID", "248"}}, 1, "Error row 1!! [Modbus Read] Slave ID must be between 1 and 247"},
        {false, Read, {{"Position", "1400"}, {"NPoint", "20"}}, 1,
         "Error row 1!! [Modbus Read] Too many bytes to save starting from the Position indicate"},
        {false, Read, {{"Position", "1400"}, {"NPoint", "19"}}, 1, ""},
        {false, Read, {{"Type", "Coil Status"}, {"Position", "1438"}, {"Bit", "7"}, {"NPoint", "1"}}, 1, ""},
        {false, Read, {{"Type", "Coil Status"}, {"Position", "1438"}, {"Bit", "7"}, {"NPoint", "2"}}, 1,
         "Error row 1!! [Modbus Read] Too many bytes to save starting from the Position indicate"},
        {false, Read, {{"Type", "coil status "}, {"Bit", ""}}, 1, "Error row 1!! [Modbus Read] Bit must be between 0 and 7"},
        {false, Read, {{"Type", "  "}}, 1, ""}, // blanks count as a choice: a register type
        {false, Read, {{"Type", ""}}, 1,
         "Error row 1!! [Modbus Read] Type must be Coil Status or Input Status or Holding Register or Input Register"},
        {false, Read, {{"NPoint", "126"}}, 1, "Error row 1!! [Modbus Read] NPoint must be between 1 and 125"},
        {false, Read, {{"Type", "Input Status"}, {"NPoint", "2001"}}, 1,
         "Error row 1!! [Modbus Read] NPoint must be between 1 and 2000"},
        {false, Read, {{"PollTime", "0"}}, 1, "Error row 1!! [Modbus Read] Poll Time must be between 1 and 100000000"},
        {false, Read, {{"Position", "1439"}}, 1, "Error row 1!! [Modbus Read] Position must be between 0 and 1438"},
        {false, Read, {{"Float_Conv", " y"}, {"Endian", " "}}, 1, "Error row 1!! [Modbus Read] Endian must be Little or Big"},
        {false, Read, {{"Float_Conv", "Y"}, {"Operation", ""}}, 1, "Error row 1!! [Modbus Read] Operation must be selected"},
        {false, Read, {{"Float_Conv", "N"}, {"Endian", ""}, {"Operation", ""}}, 1, ""},
        {false, Write, {{"Type", "Coil Status"}, {"Position", "0"}, {"Bit", "0"}, {"NPoint", "1968"}}, 1, ""},
        {false, Write, {{"Type", "Coil Status"}, {"Position", "0"}, {"Bit", "0"}, {"NPoint", "1969"}}, 1,
         "Error row 1!! [Modbus Write] NPoint must be between 1 and 1968"},
        {false, Write, {{"NPoint", "124"}}, 1, "Error row 1!! [Modbus Write] NPoint must be between 1 and 123"},
        {false, Write, {{"PollTime", "0"}}, 1, ""},
        {false, Write, {{"Position", "1438"}, {"NPoint", "1"}}, 1,
         "Error row 1!! [Modbus Write] Too many bytes to read starting from the Position indicate"},
        {false, Write, {{"Float_Conv", "Y"}, {"Endian", ""}}, 3, "Error row 3!! [Modbus Write] Endian must be Little or Big"},
        {false, Write, {{"MaxError", "x"}}, 1, "Error row 1!! [Modbus Write] Max Error must be between 0 and 100000000"},
        {true, Read, {{"IP_Address", "1..2.3"}}, 1,
         "Error row 1!! [Modbus Read] Slave IP Address must be a valid TCP IP Address (Ex. 192.168.1.125)"},
        {true, Read, {{"IP_Address", "192.168.1.10 "}}, 1,
         "Error row 1!! [Modbus Read] Slave IP Address must be a valid TCP IP Address (Ex. 192.168.1.125)"},
        {true, Write, {{"IP_Address", "1.2.3.4.5"}}, 1,
         "Error row 1!! [Modbus Write] Slave IP Address must be a valid TCP IP Address (Ex. 192.168.1.125)"},
        {true, Read, {{"IP_Address", "192.168.001.010"}}, 1, ""},
        {true, Read, {{"Port", "65536"}}, 1, "Error row 1!! [Modbus Read] Port must be between 0 and 65535"},
        {true, Read, {{"Slave_ID", "0"}}, 1, ""},
        {true, Write, {{"Slave_ID", "255"}}, 1, ""},
        {true, Read, {{"Slave_ID", "256"}}, 1, "Error row 1!! [Modbus Read] Slave ID must be between 0 and 255"},
        {true, Write, {{"Slave_ID", "256"}}, 1, "Error row 1!! [Modbus Write] Slave ID must be between 0 and 255"},
        {true, Read, {{"Type", "Coil Status"}, {"NPoint", "2000"}, {"Bit", ""}}, 1,
         "Error row 1!! [Modbus Read] Bit must be between 0 and 7"},
        {true, Read, {{"NPoint", "125"}}, 1, ""},
        {true, Read, {{"NPoint", "126"}}, 1, "Error row 1!! [Modbus Read] NPoint must be between 1 and 125"},
        {true, Read, {{"PollTime", "0"}}, 1, "Error row 1!! [Modbus Read] Poll Time must be between 1 and 100000000"},
        {true, Write, {{"PollTime", "0"}}, 1, ""},
        {true, Read, {{"Float_Conv", "Y"}, {"Endian", ""}}, 2, "Error row 2!! [Modbus Read] Endian must be Little or Big"},
        {true, Write, {{"Float_Conv", "Y"}, {"Operation", ""}}, 1, "Error row 1!! [Modbus Write] Operation must be selected"},
    };
    for (const Case& c : cases) {
        std::string trace = std::string(c.tcp ? "tcp " : "rtu ") + (c.section == Read ? "read" : "write");
        for (const auto& [k, v] : c.set)
            trace += std::string(" ") + k + "=" + v;
        SCOPED_TRACE(trace);
        EXPECT_EQ(checkOne(c.tcp, c.section, c.set, c.row), QString::fromUtf8(c.message));
    }
}

TEST_F(ModbusTablesTest, CheckIpAddress)
{
    for (const char* good : {"192.168.1.125", "192.168.001.010", "0.0.0.0", "255.255.255.255"})
        EXPECT_FALSE(Check_IP_Address(QString::fromUtf8(good))) << good;
    for (const char* bad : {"", "192.168.1", "1.2.3.4.5", "256.1.1.1", "1..2.3", "1.2.3.4 ", "a.b.c.d"})
        EXPECT_TRUE(Check_IP_Address(QString::fromUtf8(bad))) << bad;
}

TEST_F(ModbusTablesTest, GoldenFilesLoadAndSaveBackEqual)
{
    struct Case {
        const TableDescription* desc;
        const char* file;
        int type;
    };
    for (const Case& c : {Case{&setAccessTable(), "tables/ModbusM_SetAccess.xml", 0},
                          Case{&setAccessTcpTable(), "tables/ModbusTCPM_SetAccess.xml", 3}}) {
        SCOPED_TRACE(c.file);
        const QByteArray golden = dataFile(QString::fromUtf8(c.file));
        const LoadResult r = loadTableBytes(*c.desc, golden, QStringLiteral("t.xml"), c.desc->capacity);
        EXPECT_EQ(r.error, QString());
        EXPECT_EQ(r.model.rowCount(Read), 2000);
        EXPECT_EQ(tableXml(*c.desc, r.model, c.type), golden);
        // Every golden row passes its checks.
        const RowCheck check = [&](const RowView& v) {
            return c.desc == &setAccessTable() ? checkSetAccessRow(v, c.desc->limits) : checkSetAccessTcpRow(v, c.desc->limits);
        };
        EXPECT_TRUE(Controllo_dati(*c.desc, r.model, check).ok);
    }
}

TEST_F(ModbusTablesTest, AbsentOptionalAttributesTakeTheirDefaultsAndARequiredOneStopsTheLoad)
{
    const TableDescription& desc = setAccessTcpTable();
    const tf::Attrs full = {{"IP_Address", "10.0.0.1"}, {"Port", "503"},      {"Slave_ID", "1"},  {"Type", "Holding Register"},
                            {"Address", "0"},           {"NPoint", "1"},      {"PollTime", "1"},  {"MaxError", "0"},
                            {"Position", "0"},          {"Bit", "0"},         {"Float_Conv", "Y"}, {"Endian", "Big"},
                            {"Operation", "x 10"},      {"Signed", "Y"},      {"Swap_W", "Y"},    {"Mnemonic", "m"}};
    tf::Attrs sparse = full;
    for (const char* a : {"Port", "Float_Conv", "Endian", "Operation", "Signed", "Swap_W"})
        sparse = tf::without(sparse, QString::fromUtf8(a));
    const QString path = dir.write(QStringLiteral("ModbusTCPM_SetAccess.xml"),
                                   tf::tableXml(QStringLiteral("BACnet_to_Modbus"),
                                                {{QStringLiteral("Modbus_Read"), {full, sparse, tf::without(full, QStringLiteral("Mnemonic")), full}},
                                                 {QStringLiteral("Modbus_Write"), {}}}));
    const LoadResult r = loadTable(desc, path, desc.capacity);
    EXPECT_EQ(r.model.sections[Read][1],
              (RowCells{"10.0.0.1", "502", "1", "Holding Register", "0", "1", "1", "0", "0", "0", "N", "Little", "None",
                        "N", "N", "m"}));
    EXPECT_EQ(r.error, QStringLiteral("Error! The file ModbusTCPM_SetAccess.xml: row 3 of Modbus_Read lacks the "
                                      "attribute Mnemonic; the rows from there on were not loaded."));
    EXPECT_EQ(r.model.cell(Read, 3, 1), QString());
    EXPECT_EQ(r.model.cell(Read, 4, 1), QString());

    // The RTU table: a missing Float_Conv loads as "N", a missing OnChange (required) stops.
    const TableDescription& rtu = setAccessTable();
    TableModel m = TableModel::fresh(rtu, 3);
    m.sections[Write][0] = row(rtu, Write, {});
    QByteArray bytes = tableXml(rtu, m, 0);
    bytes.replace(" Float_Conv=\"N\"", "");
    LoadResult back = loadTableBytes(rtu, bytes, QStringLiteral("t.xml"), 3);
    EXPECT_FALSE(back.damaged());
    EXPECT_EQ(back.model.cell(Write, 1, 10), QStringLiteral("N"));
    bytes.replace(" OnChange=\"N\"", "");
    back = loadTableBytes(rtu, bytes, QStringLiteral("t.xml"), 3);
    EXPECT_TRUE(back.error.contains(QStringLiteral("row 1 of Modbus_Write lacks the attribute OnChange")));
}

TEST_F(ModbusTablesTest, TheImageBuilderReadsWhatTheEditorsWrote)
{
    struct Case {
        const TableDescription* desc;
        image::ModbusMaster master;
    };
    for (const Case& c : {Case{&setAccessTable(), image::ModbusMaster::Rtu}, Case{&setAccessTcpTable(), image::ModbusMaster::Tcp}}) {
        TableModel m = TableModel::fresh(*c.desc, c.desc->capacity);
        m.sections[Read][0] = row(*c.desc, Read, {{"Slave_ID", "7"}, {"Address", "300"}, {"NPoint", "4"}, {"Position", "10"}});
        m.sections[Read][1] = row(*c.desc, Read, {{"Type", "Coil Status"}, {"Position", "40"}, {"Bit", "3"}, {"NPoint", "9"}});
        m.sections[Write][0] = row(*c.desc, Write, {{"OnChange", "Y"}, {"Position", "100"}});
        const QString path = dir.file(QStringLiteral("access.xml"));
        ASSERT_TRUE(saveTable(*c.desc, m, path, 0, nullptr));
        image::ModbusAccessTable table;
        image::ParGenStd p;
        image::loadModbusAccess(table, p, path, c.master);
        EXPECT_EQ(p.Modbus_Access_Count, 3u);
        EXPECT_EQ(table[0].Slave_ID, 7);
        EXPECT_EQ(table[0].Address, 300);
        EXPECT_EQ(table[0].NPoint, 4);
        EXPECT_EQ(table[0].Position, 10);
        EXPECT_EQ(table[1].Position, 40);
        EXPECT_EQ(table[1].Bit, 3);
        EXPECT_EQ(table[2].Position, 100);
        EXPECT_EQ(table[2].Access_Flags & 1, 1);
        if (c.master == image::ModbusMaster::Tcp) {
            EXPECT_EQ(table[0].IP_Address, 0xC0A8017Du);
            EXPECT_EQ(table[0].Port, 502);
        }
    }
}
