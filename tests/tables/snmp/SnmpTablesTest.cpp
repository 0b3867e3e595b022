#include "image/SnmpImages.h"
#include "support/TableFiles.h"
#include "support/TempDir.h"
#include "tables/snmp/SnmpTables.h"
#include "workspace/LangTexts.h"
#include "workspace/Workspace.h"

#include <gtest/gtest.h>

#include <memory>

using namespace tables;
using namespace tables::snmp;
using testing_support::TempDir;

namespace {

class SnmpTablesTest : public ::testing::Test {
protected:
    void SetUp() override { workspace::Default_Texts(); }
    workspace::ScopedWorkspace scoped{19};
    TempDir dir;
};

QString result(const CheckResult& r)
{
    return r.ok ? QStringLiteral("ok") : r.message;
}

// A manager row that passes: version 1, on a timer.
RowCells managerCells()
{
    RowCells c(21);
    c[MgrEnable - 1] = "Y";
    c[MgrIp - 1] = "192.168.2.20";
    c[MgrVersion - 1] = "1";
    c[MgrCommunity - 1] = "Kelpie";
    c[MgrOid - 1] = "1.3.6.1.2.1.1.3.0";
    c[MgrType - 1] = "Int";
    c[MgrMode - 1] = "Get";
    c[MgrOnChange - 1] = "N";
    c[MgrOnCommand - 1] = "N";
    c[MgrOnTimer - 1] = "Y";
    c[MgrTime - 1] = "1000";
    c[MgrPosition - 1] = "0";
    c[MgrNumBytes - 1] = "4";
    c[MgrConvert - 1] = "None";
    return c;
}

// The same row as a version-3 request with its credentials.
RowCells v3Cells(const QString& level, const QString& authMode = "MD5", const QString& privMode = "DES")
{
    RowCells c = managerCells();
    c[MgrVersion - 1] = "3";
    c[MgrUser - 1] = "monitor";
    c[MgrAuthPass - 1] = "authPass1";
    c[MgrPrivPass - 1] = "privPass1";
    c[MgrSecurityLevel - 1] = level;
    c[MgrAuthMode - 1] = authMode;
    c[MgrPrivMode - 1] = privMode;
    return c;
}

RowCells with(RowCells c, int col, const QString& text)
{
    c[col - 1] = text;
    return c;
}

// Trap rows that pass: an integer read on change, an integer write.
RowCells trapRead(const QString& description = "value")
{
    return RowCells{"Y", "Kelpie", "Int", "Y", "N", "N", "", "0", "0", "8", description, "192.168.2.10", "None", ""};
}
RowCells trapWrite(const QString& description = "command")
{
    return RowCells{"Y", "Brindle", "Int", "0", "0", "8", description, "None", ""};
}

} // namespace

// Each file as the editor writes it loads without a message and is written back byte for byte;
// its rows pass the editor's checks.
TEST_F(SnmpTablesTest, GoldenFilesLoadCheckAndSaveBackUnchanged)
{
    struct Case {
        const char* file;
        int type;
        TableDescription desc;
    };
    for (const Case& c : {Case{"SNMP_Manager.xml", 19, managerTable()}, Case{"SNMP_Trap.xml", 17, trapTable()}}) {
        SCOPED_TRACE(c.file);
        const QByteArray bytes = testing_support::dataFile(QStringLiteral("tables/") + QLatin1String(c.file));
        ASSERT_FALSE(bytes.isEmpty());
        const LoadResult r = loadTableBytes(c.desc, bytes, QLatin1String(c.file), c.desc.capacity);
        EXPECT_EQ(r.error, QString());
        EXPECT_EQ(r.warning, QString());
        EXPECT_EQ(QString::fromUtf8(tableXml(c.desc, r.model, c.type)), QString::fromUtf8(bytes));
        const CheckResult checked = c.type == 19 ? Controllo_dati(c.desc, r.model, checkManagerRow)
                                                 : checkTrapTable(c.desc, r.model);
        EXPECT_EQ(result(checked), QStringLiteral("ok"));
    }
}

TEST_F(SnmpTablesTest, ManagerTableShape)
{
    const TableDescription d = managerTable();
    ASSERT_EQ(d.sections.size(), 1u);
    const SectionDescription& g = d.sections[0];
    EXPECT_TRUE(g.element.isEmpty()); // rows directly in the root
    EXPECT_EQ(g.columns.size(), 21u);
    EXPECT_EQ(d.capacity, 496);
    EXPECT_EQ(g.keyColumn, MgrIp);
    EXPECT_EQ(g.enableColumn, MgrEnable);
    EXPECT_EQ(TableModel::freshRow(g), with(RowCells(21), MgrEnable, "Y"));
    EXPECT_EQ(g.columns[MgrPosition - 1].fill, ListFill::BytesIn);
    EXPECT_EQ(d.limits.in, 1440); // "0" .. "1439"
    EXPECT_FALSE(d.autoSizeOnDoubleClick);
    EXPECT_FALSE(d.enterMovesToNextCell);
    EXPECT_EQ(d.versionComment(19), QStringLiteral("SW_VERSION = 1.201"));

    // Every attribute is optional: a bare row loads with the column defaults.
    const QByteArray bare = "<SNMP_Agent_Access><row IP_Address=\"10.0.0.1\" /></SNMP_Agent_Access>";
    const LoadResult r = loadTableBytes(d, bare, QStringLiteral("SNMP_Manager.xml"), 496);
    EXPECT_EQ(r.error, QString());
    RowCells expected(21);
    expected[MgrEnable - 1] = "Y";
    expected[MgrIp - 1] = "10.0.0.1";
    expected[MgrOnChange - 1] = expected[MgrOnCommand - 1] = expected[MgrOnTimer - 1] = "N";
    expected[MgrConvert - 1] = "None";
    EXPECT_EQ(r.model.sections[0][0], expected);
}

TEST_F(SnmpTablesTest, ManagerMessages)
{
    struct Case {
        RowCells row;
        const char* message;
    } cases[] = {
        {managerCells(), "ok"},
        {with(managerCells(), MgrIp, "192.168.2"), "Error row 1!! IP Address must be a valid TCP IP Address (Ex. 192.168.1.125)"},
        {with(managerCells(), MgrIp, "192.168.2.256"), "Error row 1!! IP Address must be a valid TCP IP Address (Ex. 192.168.1.125)"},
        // The object-identifier codes 1 .. 6.
        {with(managerCells(), MgrOid, QString(63, '1')), "Error row 1!! OID string is too much length"},
        {with(managerCells(), MgrOid, "1.3.a"), "Error row 1!! OID string can contains only number and \".\""},
        {with(managerCells(), MgrOid, ".1.3"), "Error row 1!! OID string cannot start with a \".\""},
        {with(managerCells(), MgrOid, "1.3."), "Error row 1!! OID string cannot finish with a \".\""},
        {with(managerCells(), MgrOid, "1..3"), "Error row 1!! OID string cannot contains two or more consecutive \".\""},
        {with(managerCells(), MgrOid, "1.65536"), "Error row 1!! OID string cannot contains number major of 65535 between two \".\""},
        {with(managerCells(), MgrOid, "1.65535"), "ok"},
        // Time only on a timer.
        {with(managerCells(), MgrTime, "100000001"), "Error row 1!! Time must be between 0 and 100000000 ms"},
        {with(managerCells(), MgrTime, "0"), "ok"},
        {with(with(managerCells(), MgrOnTimer, "N"), MgrTime, ""), "ok"},
        {with(with(managerCells(), MgrOnTimer, " y "), MgrTime, ""), "Error row 1!! Time must be between 0 and 100000000 ms"},
        {with(managerCells(), MgrNumBytes, "1025"), "Error row 1!! Number bytes must be between 0 and 1024"},
        {with(managerCells(), MgrNumBytes, ""), "Error row 1!! Number bytes must be between 0 and 1024"},
        {with(managerCells(), MgrConvert, " "), "Error row 1!! Convertion not selected"},
        // Versions 1 and 2 need no credentials.
        {with(managerCells(), MgrVersion, "2"), "ok"},
        // Version 3.
        {v3Cells("Auth Priv"), "ok"},
        {with(v3Cells("Auth Priv"), MgrUser, "monitor_1"), "Error row 1!! User string can contains only number and letters"},
        {with(v3Cells("Auth Priv"), MgrUser, ""), "Error row 1!! User string can not be empty"},
        {with(v3Cells("Auth Priv"), MgrUser, QString(16, 'u')), "Error row 1!! User string is too much length"},
        {with(v3Cells("Auth Priv"), MgrAuthPass, QString(16, 'a')), "Error row 1!! Auth Pass string is too much length"},
        {with(v3Cells("Auth Priv"), MgrAuthPass, "short7x"), "Error row 1!! Auth Pass string must have at least 8 characters"},
        {with(v3Cells("Auth Priv"), MgrAuthPass, "pass word"), "Error row 1!! Auth Pass string can contains only number and letters"},
        {with(v3Cells("Auth Priv"), MgrPrivPass, QString(16, 'p')), "Error row 1!! Priv Pass string is too much length"},
        {with(v3Cells("Auth Priv"), MgrPrivPass, ""), "Error row 1!! Priv Pass string must have at least 8 characters"},
        {with(v3Cells("Auth Priv"), MgrPrivPass, "privPass-1"), "Error row 1!! Priv Pass string can contains only number and letters"},
        {v3Cells(""), "Error row 1!! Security Level must be selected"},
        {v3Cells("Auth NoPriv", ""), "Error row 1!! Auth Mode must be selected"},
        {v3Cells("Auth NoPriv", "SHA", ""), "ok"},
        {v3Cells("Auth Priv", "SHA", ""), "Error row 1!! Priv Mode must be selected"},
        {v3Cells("Auth Priv", "", ""), "Error row 1!! Auth Mode must be selected"},
        // "NoAuth NoPriv" needs no modes, yet both pass phrases.
        {v3Cells("NoAuth NoPriv", "", ""), "ok"},
        {with(v3Cells("NoAuth NoPriv", "", ""), MgrAuthPass, ""), "Error row 1!! Auth Pass string must have at least 8 characters"},
        {with(v3Cells("NoAuth NoPriv", "", ""), MgrPrivPass, "1234567"), "Error row 1!! Priv Pass string must have at least 8 characters"},
    };
    const TableDescription d = managerTable();
    for (const Case& c : cases) {
        TableModel m = TableModel::fresh(d, 496);
        m.sections[0][0] = c.row;
        EXPECT_EQ(result(Controllo_dati(d, m, checkManagerRow)), QString::fromUtf8(c.message))
            << c.row.join('|').toStdString();
    }
}

// Disabled rows are saved but not checked; rows below the first empty IP address are neither.
TEST_F(SnmpTablesTest, ManagerSkipsDisabledRowsAndEndsAtTheFirstEmptyAddress)
{
    const TableDescription d = managerTable();
    TableModel m = TableModel::fresh(d, 496);
    m.sections[0][0] = with(managerCells(), MgrEnable, "N");
    m.sections[0][0][MgrOid - 1] = "bad";
    m.sections[0][1] = with(managerCells(), MgrEnable, ""); // as Insert Row leaves it
    m.sections[0][1][MgrOid - 1] = ".1";
    m.sections[0][2] = managerCells();
    m.sections[0][4] = with(managerCells(), MgrIp, "bad"); // below the empty row 4
    EXPECT_EQ(result(Controllo_dati(d, m, checkManagerRow)), QStringLiteral("ok"));
    const QString xml = QString::fromUtf8(tableXml(d, m, 19));
    EXPECT_EQ(xml.count(QStringLiteral("<row ")), 3);
    EXPECT_TRUE(xml.contains(QStringLiteral("<row Enable=\"\" IP_Address=\"192.168.2.20\"")));
    // Ticking Enable makes the row checked.
    m.sections[0][0][MgrEnable - 1] = "Y";
    EXPECT_EQ(result(Controllo_dati(d, m, checkManagerRow)),
              QStringLiteral("Error row 1!! OID string can contains only number and \".\""));
    // A hand-edited lower-case tick counts, as it does for the image builder.
    m.sections[0][0][MgrEnable - 1] = " y";
    EXPECT_FALSE(Controllo_dati(d, m, checkManagerRow).ok);
    // Row 496 is the last; a file of 500 rows shows 496 and says so.
    testing_support::tables::Rows rows(500, testing_support::tables::managerRow({}));
    const LoadResult big = loadTableBytes(d, testing_support::tables::snmpManagerXml(rows), "SNMP_Manager.xml", 496);
    EXPECT_EQ(big.model.rowCount(0), 496);
    EXPECT_EQ(big.notShown[0], 4);
    EXPECT_FALSE(big.warning.isEmpty());
}

TEST_F(SnmpTablesTest, TrapTableShape)
{
    const TableDescription d = trapTable();
    ASSERT_EQ(d.sections.size(), 2u);
    EXPECT_EQ(d.sections[TrapRead].columns.size(), 14u);
    EXPECT_EQ(d.sections[TrapWrite].columns.size(), 9u);
    EXPECT_EQ(d.capacity, 256);
    EXPECT_EQ(d.limits.in, 1024);
    EXPECT_EQ(d.limits.out, 1024);
    EXPECT_FALSE(d.firstPageOnShow);
    EXPECT_TRUE(d.autoSizeOnDoubleClick);
    EXPECT_TRUE(d.enterMovesToNextCell);
    EXPECT_EQ(d.sections[TrapRead].columns[TrCommunity - 1].maxLength, 15);
    EXPECT_EQ(d.sections[TrapWrite].columns[TwDescription - 1].maxLength, 15);
    EXPECT_EQ(d.sections[TrapWrite].columns[TwPosition - 1].fill, ListFill::BytesOut);
    EXPECT_EQ(d.sections[TrapRead].columns[TrConversion - 1].items.size(), 6);
    // A file row without attributes loads enabled, unticked and with the conversion "None".
    const QByteArray bare = "<SNMP_Trap><SNMP_Trap_Read><row /></SNMP_Trap_Read><SNMP_Trap_Write><row /></SNMP_Trap_Write></SNMP_Trap>";
    const LoadResult r = loadTableBytes(d, bare, QStringLiteral("SNMP_Trap.xml"), 256);
    EXPECT_EQ(r.error, QString());
    EXPECT_EQ(r.model.sections[TrapRead][0],
              (RowCells{"Y", "", "", "N", "N", "N", "", "", "", "", "", "", "None", ""}));
    EXPECT_EQ(r.model.sections[TrapWrite][0], (RowCells{"Y", "", "", "", "", "", "", "None", ""}));
}

TEST_F(SnmpTablesTest, NamingRuleOfCommunitiesAndDescriptions)
{
    struct Case {
        const char* text;
        bool community, description; // breaks the rule
    } cases[] = {
        {"", false, false},           {"kelpie2", false, false},  {"Kelpie", false, true},
        {"2kelpie", false, true},     {"tank_level", true, true}, {"tank level", true, true},
        {"tank-level", true, true},   {"caf\xc3\xa9", true, true}, {"aZ09", false, false},
    };
    for (const Case& c : cases) {
        const QString t = QString::fromUtf8(c.text);
        EXPECT_EQ(Check_Error_CommName_Desc(t, 0), c.community) << c.text;
        EXPECT_EQ(Check_Error_CommName_Desc(t, 1), c.description) << c.text;
    }
}

TEST_F(SnmpTablesTest, TrapMessages)
{
    auto r = [](int col, const QString& text, RowCells cells = trapRead()) {
        cells[col - 1] = text;
        return cells;
    };
    auto w = [](int col, const QString& text, RowCells cells = trapWrite()) {
        cells[col - 1] = text;
        return cells;
    };
    RowCells readString = r(TrType, "String");
    RowCells writeString = w(TwType, "String");
    struct Case {
        int section;
        RowCells row;
        const char* message;
    } cases[] = {
        {TrapRead, trapRead(), "ok"},
        {TrapRead, r(TrCommunity, "my-community"), "Error row 1!! [SNMP Read] Community Name is not correct (allowed characters are \"a\"..\"z\", \"A\"..\"Z\" and \"0\"..\"9\")"},
        {TrapRead, r(TrType, " "), "Error row 1!! [SNMP Read] Type must be selected"},
        {TrapRead, r(TrTime, "", r(TrOnTimer, "N")), "ok"},
        {TrapRead, r(TrTime, "0", r(TrOnTimer, "Y")), "Error row 1!! [SNMP Read] Time must be between 1 and 1000000000 ms"},
        {TrapRead, r(TrTime, "1000000000", r(TrOnTimer, "y")), "ok"},
        {TrapRead, r(TrPosition, ""), "Error row 1!! [SNMP Read] Position must be selected"},
        {TrapRead, r(TrBit, " "), "Error row 1!! [SNMP Read] Start Bit must be selected"},
        {TrapRead, r(TrBit, "3", readString), "Error row 1!! [SNMP Read] Start Bit must be 0 if Type is String"},
        {TrapRead, r(TrNumBits, "17", readString), "Error row 1!! [SNMP Read] Num Bits/Bytes must be between 1 and 16 bytes"},
        {TrapRead, r(TrNumBits, "16", readString), "ok"},
        {TrapRead, r(TrNumBits, "32"), "ok"},
        {TrapRead, r(TrNumBits, "33"), "Error row 1!! [SNMP Read] Num Bits/Bytes must be between 1 and 32 bits"},
        {TrapRead, r(TrNumBits, "0"), "Error row 1!! [SNMP Read] Num Bits/Bytes must be between 1 and 32 bits"},
        {TrapRead, r(TrDescription, "Tank"), "Error row 1!! [SNMP Read] Description is not correct (allowed characters are \"a\"..\"z\", \"A\"..\"Z\" and \"0\"..\"9\"). First character must be a letter and must be lowercase"},
        {TrapRead, r(TrDescription, "tank_1"), "Error row 1!! [SNMP Read] Description is not correct (allowed characters are \"a\"..\"z\", \"A\"..\"Z\" and \"0\"..\"9\"). First character must be a letter and must be lowercase"},
        {TrapRead, r(TrIp, ""), "Error row 1!! [SNMP Read] IP Address must be a valid TCP IP Address (Ex. 192.168.1.125)"},
        {TrapRead, r(TrConversion, ""), "Error row 1!! [SNMP Read] Conversion must be selected"},
        {TrapWrite, trapWrite(), "ok"},
        {TrapWrite, w(TwCommunity, "Kelpie 2"), "Error row 1!! [SNMP Write] Community Name is not correct (allowed characters are \"a\"..\"z\", \"A\"..\"Z\" and \"0\"..\"9\")"},
        {TrapWrite, w(TwType, ""), "Error row 1!! [SNMP Write] Type must be selected"},
        {TrapWrite, w(TwPosition, " "), "Error row 1!! [SNMP Write] Position must be selected"},
        {TrapWrite, w(TwBit, ""), "Error row 1!! [SNMP Write] Start Bit must be selected"},
        {TrapWrite, w(TwBit, "1", writeString), "Error row 1!! [SNMP Write] Start Bit must be 0 if Type is String"},
        {TrapWrite, w(TwNumBits, "33"), "Error row 1!! [SNMP Write] Num Bits/Bytes must be between 1 and 32 bits"},
        {TrapWrite, w(TwNumBits, "", writeString), "Error row 1!! [SNMP Write] Num Bits/Bytes must be between 1 and 16 bytes"},
        {TrapWrite, w(TwDescription, "9lives"), "Error row 1!! [SNMP Write] Descrtiption is not correct (allowed characters are \"a\"..\"z\", \"A\"..\"Z\" and \"0\"..\"9\"). First character must be a letter and must be lowercase"},
        {TrapWrite, w(TwConversion, " "), "Error row 1!! [SNMP Write] Conversion must be selected"},
    };
    const TableDescription d = trapTable();
    for (const Case& c : cases) {
        TableModel m = TableModel::fresh(d, 256);
        m.sections[size_t(c.section)][0] = c.row;
        EXPECT_EQ(result(checkTrapTable(d, m)), QString::fromUtf8(c.message)) << c.row.join('|').toStdString();
    }
}

// The descriptions of the checked rows of both grids must differ, exactly compared.
TEST_F(SnmpTablesTest, TrapDescriptionsDifferOverBothGrids)
{
    const QString unique = QStringLiteral("ok");
    const QString same = QStringLiteral("Error!! The Descriptions must be all differents");
    struct Case {
        std::vector<RowCells> read, write;
        QString expected;
    } cases[] = {
        {{trapRead("tank")}, {trapWrite("tank")}, same},
        {{trapRead("tank"), trapRead("tank")}, {}, same},
        {{trapRead("tank")}, {trapWrite("Tank")}, same}, // the write description breaks the rule first
        {{trapRead("tank")}, {trapWrite("tANK")}, unique},
        {{trapRead("tank"), with(trapRead("tank"), TrEnable, "N")}, {}, unique}, // not collected
        {{trapRead(""), trapRead("")}, {}, same},
        {{trapRead("")}, {trapWrite("")}, same},
        {{trapRead("a1"), trapRead("a2")}, {trapWrite("a3")}, unique},
    };
    cases[2].expected = QStringLiteral("Error row 1!! [SNMP Write] Descrtiption is not correct (allowed characters are "
                                       "\"a\"..\"z\", \"A\"..\"Z\" and \"0\"..\"9\"). First character must be a letter and "
                                       "must be lowercase");
    const TableDescription d = trapTable();
    for (const Case& c : cases) {
        TableModel m = TableModel::fresh(d, 256);
        for (size_t i = 0; i < c.read.size(); ++i)
            m.sections[TrapRead][i] = c.read[i];
        for (size_t i = 0; i < c.write.size(); ++i)
            m.sections[TrapWrite][i] = c.write[i];
        EXPECT_EQ(result(checkTrapTable(d, m)), c.expected);
    }
}

TEST_F(SnmpTablesTest, IndexColumnNumbersTheEnabledRows)
{
    EXPECT_EQ(Index_Row_Build({"Y", "N", "y", "", "Y"}), (QStringList{"1", "", "2", "", "3"}));
    // The enable text is not trimmed here.
    EXPECT_EQ(Index_Row_Build({" Y", "Y"}), (QStringList{"", "1"}));
    EXPECT_EQ(Index_Row_Build(QStringList(256, "Y")).last(), QStringLiteral("256"));
}

// What the editors write, the image builder reads: every enabled row, in order.
TEST_F(SnmpTablesTest, TheImageBuilderReadsWhatTheEditorsWrote)
{
    {
        const TableDescription d = managerTable();
        TableModel m = TableModel::fresh(d, 496);
        m.sections[0][0] = managerCells();
        m.sections[0][1] = with(managerCells(), MgrEnable, "N");
        m.sections[0][2] = with(v3Cells("Auth Priv", "SHA", "AES"), MgrPosition, "1439");
        m.sections[0][2][MgrConvert - 1] = "Float * 100";
        ASSERT_TRUE(Controllo_dati(d, m, checkManagerRow).ok);
        const QString path = dir.file(QStringLiteral("SNMP_Manager.xml"));
        ASSERT_TRUE(saveTable(d, m, path, 19, nullptr));
        auto table = std::make_unique<image::SnmpManagerTable>();
        image::ParGenSNMP p;
        image::Load_SNMP_Manager(*table, p, path);
        EXPECT_EQ(p.Manager_Row_Count, 2u);
        const image::SnmpManagerEntry& v1 = (*table)[0];
        EXPECT_EQ(v1.IP_Address, 0xC0A80214u);
        EXPECT_EQ(v1.Flags, 0x10u | 0x8u | 0x4u); // version 1, integer, on timer
        EXPECT_EQ(v1.Time, 1000u);
        EXPECT_EQ(v1.Number_Bytes, 4);
        EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(v1.OID.data())), QByteArray("1.3.6.1.2.1.1.3.0"));
        const image::SnmpManagerEntry& v3 = (*table)[1];
        EXPECT_EQ(v3.Position, 1439);
        EXPECT_EQ(v3.Conversion, 3);
        EXPECT_EQ(v3.Flags, 0x40u | 0x8u | 0x4u | 0x1000u | 0x2000u | 0x8000u | 0x20000u);
        EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(v3.Community.data())), QByteArray("monitor"));
        EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(v3.Priv_Pass.data())), QByteArray("privPass1"));
    }
    {
        const TableDescription d = trapTable();
        TableModel m = TableModel::fresh(d, 256);
        m.sections[TrapRead][0] = with(trapRead("level"), TrOnTimer, "Y");
        m.sections[TrapRead][0][TrTime - 1] = "5000";
        m.sections[TrapRead][1] = with(trapRead("off"), TrEnable, "N");
        m.sections[TrapRead][2] = with(with(with(trapRead("name"), TrType, "String"), TrNumBits, "16"), TrPosition, "1008");
        m.sections[TrapWrite][0] = with(trapWrite("start"), TwPosition, "1023");
        ASSERT_TRUE(checkTrapTable(d, m).ok);
        const QString path = dir.file(QStringLiteral("SNMP_Trap.xml"));
        ASSERT_TRUE(saveTable(d, m, path, 17, nullptr));
        auto tables = std::make_unique<image::SnmpTrapTables>();
        image::ParGenSNMP p;
        image::Load_SNMP_Traps(*tables, p, path);
        EXPECT_EQ(p.Trap_Read_Count, 2u);
        EXPECT_EQ(p.Trap_Write_Count, 1u);
        EXPECT_EQ(tables->read[0].Flags, 1 | 4 | 8); // on change, on timer, integer
        EXPECT_EQ(tables->read[0].Time, 5000u);
        EXPECT_EQ(tables->read[0].IP_Address, 0xC0A8020Au);
        EXPECT_EQ(tables->read[1].NumBits, 128); // 16 bytes
        EXPECT_EQ(tables->read[1].Position, 1008);
        EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(tables->read[1].Description.data())), QByteArray("name"));
        EXPECT_EQ(tables->write[0].Position, 1023);
        EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(tables->write[0].Community_Name.data())), QByteArray("Brindle"));
    }
}
