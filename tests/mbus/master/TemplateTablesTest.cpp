#include "mbus/master/TemplateTables.h"
#include "mbus/master/TextInput.h"
#include "support/TempDir.h"
#include "platform/text/UserError.h"
#include "workspace/LangTexts.h"
#include "workspace/Workspace.h"

#include <gtest/gtest.h>

using namespace mbus::master;

namespace {

class TemplateTablesTest : public ::testing::Test {
protected:
    void SetUp() override { workspace::Default_Texts(); }
    workspace::ScopedWorkspace scoped{1002};
};

// An objects row: frame, position, dimension, use in more vars, type, post operation, write
// length, write frame, unit, options, name, description (column 0 holds a row number).
QStringList obj(const char* frame, const char* pos, const char* name = "N xx'yy'zzz'", const char* wlen = "0",
                const char* wframe = "", const char* unit = "62", const char* options = "0", const char* dim = "4",
                const char* more = "0", const char* type = "2", const char* post = "0")
{
    return {QStringLiteral("9"), frame, pos, dim, more, type, post, wlen, wframe, unit, options, name,
            QStringLiteral(" Flow ")};
}

// The two leading rows and the rows given.
std::vector<QStringList> objects(std::vector<QStringList> more)
{
    std::vector<QStringList> rows{obj("0", "0"), obj("0", "0")};
    rows.insert(rows.end(), more.begin(), more.end());
    return rows;
}

// A requests row: frame number, length, frame, change byte, reply, next step, vars.
QStringList req(const char* frame, const char* len = "5", const char* bytes = "105BFE5916", const char* change = "3",
                const char* reply = "229", const char* next = "0", const char* vars = "2")
{
    return {QStringLiteral("77"), frame, len, bytes, change, reply, next, vars};
}

} // namespace

TEST_F(TemplateTablesTest, EachCheckReportsPrefixRowAndMessageOfItsFirstFailure)
{
    struct Case {
        const char* what;
        std::vector<QStringList> objects;
        std::vector<QStringList> requests;
        const char* message; // "" passes
    };
    const Case cases[] = {
        {"frame not a number", objects({obj("x", "0")}), {}, "[BACnet Objects] Error row 3!! Frame must be a number greater than or equal to 0"},
        {"negative frame", {obj("-1", "0")}, {}, "[BACnet Objects] Error row 1!! Frame must be a number greater than or equal to 0"},
        {"row 2 not frame 0", {obj("0", "0"), obj("1", "0")}, {},
         "[BACnet Objects] Error row 2!! Frame must be 0 for the first and second row (Node State and Identification Number)"},
        {"frames descending", objects({obj("2", "0"), obj("1", "9")}), {}, "[BACnet Objects] Error row 4!! Frames must be in ascending order"},
        {"row 3 may have frame 0 again", objects({obj("0", "1")}), {}, ""},
        {"position above 100", objects({obj("1", "101")}), {}, "[BACnet Objects] Error row 3!! Position in Frame must be between 0 and 100"},
        {"positions 5, 5 in one frame", objects({obj("1", "5"), obj("1", "5")}), {}, ""},
        {"positions 5, 4 in one frame", objects({obj("1", "5"), obj("1", "4")}), {},
         "[BACnet Objects] Error row 4!! Position in Frame must be in ascending order"},
        {"9 in frame 1, 0 in frame 2", objects({obj("1", "9"), obj("2", "0")}), {}, ""},
        {"dimension 193", objects({obj("1", "0", "N xx'yy'zzz'", "0", "", "62", "0", "193")}), {},
         "[BACnet Objects] Error row 3!! Dimension must be between 0 and 192"},
        {"empty use in more vars", objects({obj("1", "0", "N xx'yy'zzz'", "0", "", "62", "0", "4", "")}), {},
         "[BACnet Objects] Error row 3!! Use in More Variables must be 0"},
        {"object type 1025", objects({obj("1", "0", "N xx'yy'zzz'", "0", "", "62", "0", "4", "0", "1025")}), {},
         "[BACnet Objects] Error row 3!! Object Type must be between 0 and 1024"},
        {"post operation 13", objects({obj("1", "0", "N xx'yy'zzz'", "0", "", "62", "0", "4", "0", "2", "13")}), {},
         "[BACnet Objects] Error row 3!! Post Operation must be between 0 and 12"},
        {"write length 11", objects({obj("1", "0", "N xx'yy'zzz'", "11")}), {},
         "[BACnet Objects] Error row 3!! Length Write Frame must be between 0 and 10"},
        {"write length without frame", objects({obj("1", "0", "N xx'yy'zzz'", "2", "  ")}), {},
         "[BACnet Objects] Error row 3!! Write Frame cannot be empty"},
        {"write frame 0x12", objects({obj("1", "0", "N xx'yy'zzz'", "2", "0x12")}), {},
         "[BACnet Objects] Error row 3!! Write Frame is not correct"},
        {"write frame GG", objects({obj("1", "0", "N xx'yy'zzz'", "1", "GG")}), {},
         "[BACnet Objects] Error row 3!! Write Frame is not correct"},
        {"unit 65536", objects({obj("1", "0", "N xx'yy'zzz'", "0", "", "65536")}), {},
         "[BACnet Objects] Error row 3!! Unit must be between 0 and 65535"},
        {"options 1", objects({obj("1", "0", "N xx'yy'zzz'", "0", "", "62", "1")}), {},
         "[BACnet Objects] Error row 3!! Options must be 0 or 3"},
        {"no xx'", objects({obj("1", "0", "N x'yy'zzz'")}), {}, "[BACnet Objects] Error row 3!! OBject Name problem in Split 1"},
        {"yy' before xx'", objects({obj("1", "0", "N yy' xx' zzz'")}), {}, "[BACnet Objects] Error row 3!! OBject Name problem in Split 2"},
        {"no zzz'", objects({obj("1", "0", "N xx'yy'zz'")}), {}, "[BACnet Objects] Error row 3!! OBject Name problem in Split 3"},
        {"request frame number", {}, {req("-1")}, "[MBus Request] Error row 1!! Frame Num must be a number"},
        {"request length 0", {}, {req("1", "0")}, "[MBus Request] Error row 1!! Frame Length must be between 1 and 26"},
        {"request length 27", {}, {req("1"), req("2", "27")}, "[MBus Request] Error row 2!! Frame Length must be between 1 and 26"},
        {"request without frame", {}, {req("1", "5", " ")}, "[MBus Request] Error row 1!! Frame cannot be empty"},
        {"request frame not hex", {}, {req("1", "5", "10 5B")}, "[MBus Request] Error row 1!! Frame is not correct"},
        {"change byte 0", {}, {req("1", "5", "10", "0")}, "[MBus Request] Error row 1!! Change Byte must be between 1 and 26"},
        {"reply 228", {}, {req("1", "5", "10", "3", "228")}, "[MBus Request] Error row 1!! Reply must be 229 or 255"},
        {"reply 255", {}, {req("1", "5", "10", "3", "255")}, ""},
        {"next step -1", {}, {req("1", "5", "10", "3", "229", "-1")}, "[MBus Request] Error row 1!! Next Step must be a valid Step"},
        {"vars 101", {}, {req("1", "5", "10", "3", "229", "0", "101")}, "[MBus Request] Error row 1!! Vars Frame must be between 0 and 100"},
        {"objects before requests", {obj("-1", "0")}, {req("-1")}, "[BACnet Objects] Error row 1!! Frame must be a number greater than or equal to 0"},
        {"rows after the first empty frame are not read", {obj("0", "0"), obj(" ", "0"), obj("-5", "0")}, {}, ""},
    };
    for (const Case& c : cases) {
        const TemplateCheck r = checkTemplateTables(c.objects, c.requests);
        EXPECT_EQ(r.ok, *c.message == 0) << c.what;
        EXPECT_EQ(r.message, QString::fromUtf8(c.message)) << c.what;
    }
}

TEST_F(TemplateTablesTest, PassingRowsBecomeTheTemplateLists)
{
    const TemplateCheck r = checkTemplateTables(
        objects({obj("1", "19", "  Meter xx'.yy'.zzz' flow ", "3", "ABC", "", "3"),
                 obj("1", "20", "Meterxx'yy'zzz'", "0", "", " 7 ")}),
        {req("0", "5", "105BFE5916", "3", "229", "2"), req("$10", "2", "0x", "1", "255", "0", "0")});
    // "0x" is one pair of characters that is not a hexadecimal number.
    ASSERT_FALSE(r.ok);
    EXPECT_EQ(r.message, QStringLiteral("[MBus Request] Error row 2!! Frame is not correct"));

    const TemplateCheck ok = checkTemplateTables(
        objects({obj("1", "19", "  Meter xx'.yy'.zzz' flow ", "3", "ABC", "", "3"),
                 obj("1", "20", "Meterxx'yy'zzz'", "0", "", " 7 ")}),
        {req("0", "5", "105BFE5916", "3", "229", "2"), req("$10", "2", "1", "1", "255", "0", "0")});
    ASSERT_TRUE(ok.ok) << ok.message.toStdString();
    ASSERT_EQ(ok.variables.size(), 4u);
    const mbus::TStruct_BACnet& v = ok.variables[2];
    EXPECT_EQ(v.FrameNumber, 1);
    EXPECT_EQ(v.PositionInFrame, 19);
    EXPECT_EQ(v.Dimension, 4);
    EXPECT_EQ(v.ObjectType, 2);
    EXPECT_EQ(v.LengthWriteFrame, 3);
    EXPECT_EQ(v.WriteFrame, (std::vector<uint8_t>{0x0A, 0xBC})); // "ABC" -> 0A BC
    EXPECT_EQ(v.Units, 95);                                       // an empty unit
    EXPECT_EQ(v.Options, 3);
    EXPECT_EQ(v.ObjectName, QStringLiteral("Meter xx'.yy'.zzz' flow"));
    EXPECT_EQ(v.ON_Split1, QStringLiteral("Meter"));
    EXPECT_EQ(v.ON_Split2, QStringLiteral("'."));
    EXPECT_EQ(v.ON_Split3, QStringLiteral("'."));
    EXPECT_EQ(v.ON_Split4, QStringLiteral("' flow"));
    EXPECT_EQ(v.Description, QStringLiteral("Flow"));
    const mbus::TStruct_BACnet& w = ok.variables[3];
    EXPECT_EQ(w.Units, 7);
    EXPECT_TRUE(w.WriteFrame.empty());
    EXPECT_EQ(w.ON_Split1, QStringLiteral("Meter"));
    EXPECT_EQ(w.ON_Split2, QStringLiteral("'"));
    EXPECT_EQ(w.ON_Split3, QStringLiteral("'"));
    EXPECT_EQ(w.ON_Split4, QStringLiteral("'"));

    ASSERT_EQ(ok.requests.size(), 2u);
    // Steps count the rows whatever column 0 shows.
    EXPECT_EQ(ok.requests[0].Step, 1);
    EXPECT_EQ(ok.requests[1].Step, 2);
    EXPECT_EQ(ok.requests[0].Frame, (std::vector<uint8_t>{0x10, 0x5B, 0xFE, 0x59, 0x16}));
    EXPECT_EQ(ok.requests[0].NextStep, 2);
    EXPECT_EQ(ok.requests[1].FrameNumber, 16);
    EXPECT_EQ(ok.requests[1].Frame, (std::vector<uint8_t>{0x01}));
    EXPECT_EQ(ok.requests[1].Reply, 255);

    const TemplateCheck empty = checkTemplateTables({}, {});
    EXPECT_TRUE(empty.ok);
    EXPECT_TRUE(empty.variables.empty() && empty.requests.empty());
}

TEST_F(TemplateTablesTest, UsedRowsEndAtTheFirstEmptyFrameCell)
{
    const QStringList cells[] = {{"N", "F", "P"}, {"1", "0", "5"}, {"2", " 1", ""}, {"3", "  ", "7"}, {"4", "3", "8"}};
    const auto rows = usedTemplateRows([&](int c, int r) { return cells[r][c]; }, 5, 3);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1], (QStringList{"2", " 1", ""}));
}

TEST_F(TemplateTablesTest, CsvLinesSplitIntoTrimmedFieldsWithoutAnEmptyLastOne)
{
    const std::pair<const char*, QStringList> cases[] = {
        {"a;b;c", {"a", "b", "c"}},   {" a ; b ;", {"a", "b"}}, {"a;;b", {"a", "", "b"}},
        {";a", {"", "a"}},             {"a", {"a"}},              {"", {}},
        {";", {""}},                   {" x y ; 1 2 ", {"x y", "1 2"}},
    };
    for (const auto& [line, fields] : cases)
        EXPECT_EQ(csvFields(QString::fromUtf8(line)), fields) << line;

    const std::vector<CsvRow> rows = csvRows(QStringLiteral("h1;h2\r\n1;2\r\n  \r\n3;4;\n"));
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].row, 1);
    EXPECT_EQ(rows[1].row, 3); // the blank line 2 fills nothing
    EXPECT_EQ(rows[1].fields, (QStringList{"3", "4"}));
    EXPECT_TRUE(csvRows(QStringLiteral("only;a;header")).empty());
}

TEST_F(TemplateTablesTest, TextInputIsReadByItsMarkElseAsUtf8ElseAsWindows1252)
{
    EXPECT_EQ(decodeTextInput(QByteArray("\xEF\xBB\xBF" "caf\xC3\xA9")), QStringLiteral("caf\u00E9"));
    EXPECT_EQ(decodeTextInput(QByteArray("\xFF\xFE" "a\0\xAC\x20", 6)), QStringLiteral("a\u20AC"));
    EXPECT_EQ(decodeTextInput(QByteArray("caf\xC3\xA9")), QStringLiteral("caf\u00E9"));
    EXPECT_EQ(decodeTextInput(QByteArray("caf\xE9 \x80")), QStringLiteral("caf\u00E9 \u20AC"));

    testing_support::TempDir dir;
    EXPECT_EQ(readTextInput(dir.write(QStringLiteral("t.csv"), "x;\xE9")), QStringLiteral("x;\u00E9"));
    try {
        readTextInput(dir.file(QStringLiteral("gone.csv")));
        FAIL() << "no error";
    } catch (const platform::UserError& e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("The file gone.csv cannot be read: "))) << e.message().toStdString();
    }
}
