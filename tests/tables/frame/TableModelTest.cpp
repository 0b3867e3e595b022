#include "support/TableFiles.h"
#include "support/TempDir.h"
#include "tables/frame/RowOrigins.h"
#include "tables/frame/TableModel.h"
#include "workspace/LangTexts.h"
#include "workspace/Workspace.h"

#include <gtest/gtest.h>

using namespace tables;
using testing_support::TempDir;
namespace tf = testing_support::tables;

namespace {

// Two sections: "A" with a key, an optional text and a check box; "B" with a key and a
// required text.
TableDescription smallTable()
{
    TableDescription s;
    s.root = QStringLiteral("Root");
    s.comments = {{0, QStringLiteral("SW_VERSION = 1.702")}, {3, QStringLiteral("SW_VERSION = 1.405")}};
    s.capacity = 4;
    SectionDescription a{.element = QStringLiteral("A"), .keyColumn = 1};
    a.columns = {{.attribute = QStringLiteral("Key")},
                 {.attribute = QStringLiteral("Opt"), .absent = QStringLiteral("D")},
                 {.attribute = QStringLiteral("Chk"), .editor = Editor::DataCheckBox, .absent = QStringLiteral("N")}};
    SectionDescription b{.element = QStringLiteral("B"), .keyColumn = 1};
    b.columns = {{.attribute = QStringLiteral("Key")}, {.attribute = QStringLiteral("Req")}};
    s.sections = {a, b};
    return s;
}

tf::Attrs rowA(const QString& key, const QString& opt = QStringLiteral("o"), const QString& chk = QStringLiteral("Y"))
{
    return {{QStringLiteral("Key"), key}, {QStringLiteral("Opt"), opt}, {QStringLiteral("Chk"), chk}};
}
tf::Attrs rowB(const QString& key, const QString& req = QStringLiteral("r"))
{
    return {{QStringLiteral("Key"), key}, {QStringLiteral("Req"), req}};
}

class TableModelTest : public ::testing::Test {
protected:
    void SetUp() override { workspace::Default_Texts(); }
    workspace::ScopedWorkspace scoped{0};
    TempDir dir;
    TableDescription desc = smallTable();
};

} // namespace

TEST_F(TableModelTest, SavesRootFirstCommentAfterItAndOnlyTheRowsAboveTheFirstEmptyKey)
{
    TableModel m = TableModel::fresh(desc, desc.capacity);
    m.sections[0][0] = RowCells{QStringLiteral(" k1 "), QStringLiteral(""), QStringLiteral("Y")};
    m.sections[0][1] = RowCells{QStringLiteral("k2"), QStringLiteral("é"), QStringLiteral("")};
    m.sections[0][3] = RowCells{QStringLiteral("k4"), QStringLiteral("x"), QStringLiteral("N")}; // below an empty key
    const QByteArray xml = tableXml(desc, m, 3);
    EXPECT_EQ(QString::fromUtf8(xml),
              QStringLiteral("<Root>\n"
                             "  <A>\n"
                             "    <row Key=\" k1 \" Opt=\"\" Chk=\"Y\" />\n"
                             "    <row Key=\"k2\" Opt=\"é\" Chk=\"\" />\n"
                             "  </A>\n"
                             "  <B />\n"
                             "</Root>\n"
                             "<!--SW_VERSION = 1.405-->\n"));
    // A device type without a comment of its own writes none.
    EXPECT_FALSE(tableXml(desc, m, 7).contains("SW_VERSION"));
}

TEST_F(TableModelTest, LoadsTextsUnchangedWithDefaultsAndSavesThemBack)
{
    const QString path = dir.write(QStringLiteral("t.xml"),
                                   tf::tableXml(QStringLiteral("Root"),
                                                {{QStringLiteral("A"), {rowA(QStringLiteral(" a ")), tf::without(rowA(QStringLiteral("b")), QStringLiteral("Opt"))}},
                                                 {QStringLiteral("B"), {rowB(QStringLiteral("c"), QString())}}},
                                                {}, QStringLiteral("SW_VERSION = 1.702")));
    const LoadResult r = loadTable(desc, path, desc.capacity);
    EXPECT_TRUE(r.exists);
    EXPECT_EQ(r.error, QString());
    EXPECT_EQ(r.model.sections[0][0], (RowCells{QStringLiteral(" a "), QStringLiteral("o"), QStringLiteral("Y")}));
    EXPECT_EQ(r.model.sections[0][1], (RowCells{QStringLiteral("b"), QStringLiteral("D"), QStringLiteral("Y")}));
    EXPECT_EQ(r.model.sections[0][2], (RowCells{QString(), QString(), QString()}));
    EXPECT_EQ(r.model.sections[1][0], (RowCells{QStringLiteral("c"), QString()}));
    ASSERT_TRUE(saveTable(desc, r.model, path, 0, nullptr));
    const LoadResult again = loadTable(desc, path, desc.capacity);
    EXPECT_EQ(again.model.sections, r.model.sections);
}

TEST_F(TableModelTest, AMissingRequiredAttributeStopsTheLoadAtItsRow)
{
    const QString path = dir.write(QStringLiteral("t.xml"),
                                   tf::tableXml(QStringLiteral("Root"),
                                                {{QStringLiteral("A"), {rowA(QStringLiteral("a")), rowA(QStringLiteral("b"))}},
                                                 {QStringLiteral("B"),
                                                  {rowB(QStringLiteral("c")), tf::without(rowB(QStringLiteral("d")), QStringLiteral("Req")),
                                                   rowB(QStringLiteral("e"))}}}));
    const LoadResult r = loadTable(desc, path, desc.capacity);
    EXPECT_TRUE(r.damaged());
    EXPECT_EQ(r.error, QStringLiteral("Error! The file t.xml: row 2 of B lacks the attribute Req; the rows from "
                                      "there on were not loaded."));
    EXPECT_EQ(r.model.cell(0, 2, 1), QStringLiteral("b"));
    EXPECT_EQ(r.model.cell(1, 1, 1), QStringLiteral("c"));
    EXPECT_EQ(r.model.cell(1, 2, 1), QString());
    EXPECT_EQ(r.model.cell(1, 3, 1), QString());
}

TEST_F(TableModelTest, DamagedFilesNameTheFileAndTheLineOrSection)
{
    struct Case {
        const char* bytes;
        const char* error;
        const char* keyOfFirstRow; // what the model holds afterwards
    };
    const Case cases[] = {
        {"<Root>\n  <A>\n    <row Key=\"a\" Opt=\"o\" Chk=\"Y\">\n  </A>\n</Root>",
         "Error! The file t.xml cannot be read (line 4): Start-end tags mismatch at offset 51.", ""},
        {"", "Error! The file t.xml cannot be read (line 1): No document element found at offset 0.", ""},
        {"<Other><A><row Key=\"a\" Opt=\"\" Chk=\"\"/></A><B/></Other>",
         "Error! The file t.xml does not hold the table Root.", ""},
        {"<Root><A><row Key=\"a\" Opt=\"\" Chk=\"\"/></A></Root>", "Error! The file t.xml has no section B.", "a"},
        {"<?xml version=\"1.0\"?><!--x--><Root><A><row Key=\"a\" Opt=\"\" Chk=\"\"/></A><B/></Root>", "", "a"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        const QString path = dir.write(QStringLiteral("t.xml"), QByteArray(c.bytes));
        const LoadResult r = loadTable(desc, path, desc.capacity);
        EXPECT_EQ(r.error, QString::fromUtf8(c.error));
        EXPECT_EQ(r.damaged(), *c.error != 0);
        EXPECT_EQ(r.model.cell(0, 1, 1), QString::fromUtf8(c.keyOfFirstRow));
        EXPECT_EQ(r.model.rowCount(0), desc.capacity);
    }
    const LoadResult none = loadTable(desc, dir.file(QStringLiteral("none.xml")), desc.capacity);
    EXPECT_FALSE(none.exists);
    EXPECT_FALSE(none.damaged());
}

TEST_F(TableModelTest, RowsBeyondTheCapacityAreCountedAndNotShown)
{
    tf::Rows rows;
    for (int i = 1; i <= 7; ++i)
        rows.push_back(rowA(QString::number(i)));
    const QString path = dir.write(QStringLiteral("t.xml"),
                                   tf::tableXml(QStringLiteral("Root"), {{QStringLiteral("A"), rows}, {QStringLiteral("B"), {}}}));
    const LoadResult r = loadTable(desc, path, 4);
    EXPECT_FALSE(r.damaged());
    EXPECT_EQ(r.notShown, (std::vector<int>{3, 0}));
    EXPECT_EQ(r.warning, QStringLiteral("Warning! The file t.xml holds 3 rows more than the table shows; they are not "
                                        "shown and OK would not save them."));
    EXPECT_EQ(r.model.cell(0, 4, 1), QStringLiteral("4"));
    EXPECT_EQ(r.rowsRead, (std::vector<int>{4, 0}));

    // A table whose file has a reader of its own gets the same model and warning from its rows.
    std::vector<std::vector<RowCells>> read(2);
    for (int i = 1; i <= 7; ++i)
        read[0].push_back(RowCells{QString::number(i), QStringLiteral("o")}); // a row shorter than the columns
    const LoadResult own = loadedRows(desc, read, QStringLiteral("t.xml"), 4, true, QStringLiteral("oops"));
    EXPECT_EQ(own.warning, r.warning);
    EXPECT_EQ(own.error, QStringLiteral("oops"));
    EXPECT_EQ(own.notShown, r.notShown);
    EXPECT_EQ(own.rowsRead, r.rowsRead);
    EXPECT_EQ(own.model.sections[0][3], (RowCells{"4", "o", ""}));
    EXPECT_EQ(own.model.rowCount(1), 4);
}

TEST_F(TableModelTest, AnUntrimmedKeyCountsBlanksAsAUsedRow)
{
    TableModel m = TableModel::fresh(desc, desc.capacity);
    m.sections[0][0] = RowCells{QStringLiteral("1"), QString(), QString()};
    m.sections[0][1] = RowCells{QStringLiteral("  "), QString(), QString()};
    m.sections[0][2] = RowCells{QStringLiteral("3"), QString(), QString()};
    EXPECT_EQ(usedRows(desc, m, 0), std::vector<int>{1});
    desc.sections[0].keyTrimmed = false;
    EXPECT_EQ(usedRows(desc, m, 0), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(tableXml(desc, m, 0).count("<row "), 3);
}

TEST(RowOrigins, InsertAndDeleteMoveTheOriginsAsTheyMoveTheRows)
{
    RowOrigins o;
    o.reset(4);
    EXPECT_FALSE(o.moved());
    o.deleted(4); // the last row: only cleared
    EXPECT_EQ(o.origin(4), RowOrigins::kNew);
    o.reset(4);
    o.deleted(1);
    o.inserted(2);
    EXPECT_TRUE(o.moved());
    EXPECT_EQ(o.origin(1), 1);
    EXPECT_EQ(o.origin(2), RowOrigins::kNew);
    EXPECT_EQ(o.origin(3), 2);
    EXPECT_EQ(o.origin(4), 3);
    EXPECT_EQ(o.origin(5), RowOrigins::kNew);
    o.inserted(0); // outside the rows: nothing
    EXPECT_EQ(o.origin(1), 1);
}

TEST_F(TableModelTest, CheckMessagesJoinPrefixRowTextAndBound)
{
    TableModel m = TableModel::fresh(desc, desc.capacity);
    m.sections[0][0] = RowCells{QStringLiteral("1"), QString(), QString()};
    m.sections[0][1] = RowCells{QStringLiteral("2"), QString(), QString()};
    m.sections[0][3] = RowCells{QStringLiteral("bad below an empty key"), QString(), QString()};
    m.sections[1][0] = RowCells{QStringLiteral("0"), QString()};
    std::vector<std::pair<int, int>> visited;
    const RowCheck check = [&](const RowView& r) -> std::optional<Failure> {
        visited.emplace_back(r.section(), r.row());
        if (r.number(1) == 0)
            return Failure{418, 419};
        if (r.number(1) < 0)
            return Failure{418, 422, QStringLiteral("125")};
        return std::nullopt;
    };
    CheckResult res = Controllo_dati(desc, m, check);
    EXPECT_FALSE(res.ok);
    EXPECT_EQ(res.message, QStringLiteral("Error row 1!! [Modbus Read] Slave ID must be between 1 and 247"));
    EXPECT_EQ(res.section, 1);
    EXPECT_EQ(visited, (std::vector<std::pair<int, int>>{{0, 1}, {0, 2}, {1, 1}}));

    m.sections[1][0][0] = QStringLiteral("x");
    res = Controllo_dati(desc, m, check);
    EXPECT_EQ(res.message, QStringLiteral("Error row 1!! [Modbus Read] NPoint must be between 1 and 125"));

    m.sections[1][0][0] = QStringLiteral("5");
    std::vector<int> counts;
    res = Controllo_dati(desc, m, check, [&](const std::vector<int>& checked) -> std::optional<Failure> {
        counts = checked;
        return Failure{-1, 1154, QStringLiteral("2000")};
    });
    EXPECT_EQ(counts, (std::vector<int>{2, 1}));
    EXPECT_EQ(res.message, QStringLiteral("Error!! Too many Requests. Max requests 2000"));
    EXPECT_EQ(res.section, -1);
}

TEST_F(TableModelTest, TheEnableColumnPassesRowsOverAndSkipEmptyKeysVisitsEveryKeyedRow)
{
    desc.sections.resize(1);
    desc.sections[0].enableColumn = 3;
    desc.skipEmptyKeys = true;
    TableModel m = TableModel::fresh(desc, desc.capacity);
    m.sections[0][0] = RowCells{QStringLiteral("1"), QString(), QStringLiteral(" y ")};
    m.sections[0][2] = RowCells{QStringLiteral("3"), QString(), QStringLiteral("N")};
    m.sections[0][3] = RowCells{QStringLiteral("4"), QString(), QStringLiteral("Y")};
    std::vector<int> rows;
    EXPECT_TRUE(Controllo_dati(desc, m, [&](const RowView& r) -> std::optional<Failure> {
                    rows.push_back(r.row());
                    return std::nullopt;
                }).ok);
    EXPECT_EQ(rows, (std::vector<int>{1, 4}));
    EXPECT_EQ(usedRows(desc, m, 0), (std::vector<int>{1, 3, 4}));
    EXPECT_FALSE(firstDroppedRow(desc, m).has_value());
    EXPECT_EQ(tableXml(desc, m, 0).count("<row "), 3);
}

TEST_F(TableModelTest, TheFirstRowInUseBelowAnEmptyKeyIsNamedCheckBoxesAlonePassUnnoticed)
{
    TableModel m = TableModel::fresh(desc, desc.capacity);
    m.sections[0][0] = RowCells{QStringLiteral("1"), QString(), QString()};
    m.sections[0][2] = RowCells{QString(), QStringLiteral(" "), QStringLiteral("Y")};
    EXPECT_FALSE(firstDroppedRow(desc, m).has_value());
    m.sections[1][3] = RowCells{QString(), QStringLiteral("r")};
    ASSERT_TRUE(firstDroppedRow(desc, m).has_value());
    EXPECT_EQ(firstDroppedRow(desc, m)->section, 1);
    EXPECT_EQ(firstDroppedRow(desc, m)->row, 4);
    m.sections[0][3] = RowCells{QString(), QStringLiteral("x"), QString()};
    EXPECT_EQ(firstDroppedRow(desc, m)->section, 0);
    EXPECT_EQ(firstDroppedRow(desc, m)->row, 4);
}

TEST_F(TableModelTest, ARowInUseWithAnEmptyKeyIsNamed)
{
    TableModel m = TableModel::fresh(desc, desc.capacity);
    m.sections[0][0] = RowCells{QStringLiteral("1"), QString(), QString()};
    EXPECT_FALSE(firstKeylessRow(desc, m).has_value());
    // The first empty key of a section holds a value elsewhere.
    m.sections[1][0] = RowCells{QStringLiteral(" "), QStringLiteral("r")};
    ASSERT_TRUE(firstKeylessRow(desc, m).has_value());
    EXPECT_EQ(firstKeylessRow(desc, m)->section, 1);
    EXPECT_EQ(firstKeylessRow(desc, m)->row, 1);
    // Below the first empty key it is the dropped rows' question, not this one.
    m.sections[1][0] = RowCells{QStringLiteral("1"), QStringLiteral("r")};
    m.sections[1][2] = RowCells{QString(), QStringLiteral("r")};
    EXPECT_FALSE(firstKeylessRow(desc, m).has_value());
    EXPECT_EQ(firstDroppedRow(desc, m)->row, 3);
    // Skipping rows without a key, every such row counts.
    desc.skipEmptyKeys = true;
    EXPECT_EQ(firstKeylessRow(desc, m)->row, 3);
    // A column's fresh-row text is no value of the user's.
    desc.sections[1].columns[1].fresh = QStringLiteral("r");
    EXPECT_FALSE(firstKeylessRow(desc, m).has_value());
}

TEST_F(TableModelTest, AFailedWriteNamesTheFileAndLeavesThePreviousOne)
{
    const QString path = dir.write(QStringLiteral("t.xml"), QByteArray("<Root><A/><B/></Root>"));
    TableModel m = TableModel::fresh(desc, desc.capacity);
    QString error;
    EXPECT_FALSE(saveTable(desc, m, dir.file(QStringLiteral("gone/t.xml")), 0, &error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("Error! The file t.xml cannot be written: "))) << error.toStdString();
    EXPECT_FALSE(saveTable(desc, m, QString(), 0, &error));
    EXPECT_EQ(dir.read(QStringLiteral("t.xml")), QByteArray("<Root><A/><B/></Root>"));
    (void)path;
}

// A table whose rows stand in the root under another element name, without a key column, after
// an element written empty and never read: every row is used, checked and saved.
TEST_F(TableModelTest, RowsWithoutAKeyUnderTheirOwnNameAfterAnAlwaysEmptyElement)
{
    TableDescription t;
    t.root = QStringLiteral("Root");
    t.rowElement = QStringLiteral("Row");
    t.emptySections = {QStringLiteral("Spare")};
    SectionDescription g;
    g.keyColumn = 0;
    g.columns = {{.attribute = QStringLiteral("V"), .fresh = QStringLiteral("0"), .absent = QStringLiteral("0")}};
    t.sections = {g};
    const QByteArray file = "<Root><Spare><Row V=\"9\" /></Spare><Row V=\"\" /><Row /></Root>";
    const LoadResult r = loadTableBytes(t, file, QStringLiteral("f.xml"), 3);
    EXPECT_EQ(r.error, QString());
    // "Spare" is the root's first element: it fills row 1 like any other child; its text is
    // never looked into.
    EXPECT_EQ(r.rowsRead, std::vector<int>{3});
    EXPECT_EQ(r.model.sections[0], (std::vector<RowCells>{{"0"}, {""}, {"0"}}));
    EXPECT_EQ(usedRows(t, r.model, 0), (std::vector<int>{1, 2, 3}));
    EXPECT_FALSE(firstDroppedRow(t, r.model));
    int checked = 0;
    Controllo_dati(t, r.model, [&](const RowView&) {
        ++checked;
        return std::nullopt;
    });
    EXPECT_EQ(checked, 3);
    EXPECT_EQ(QString::fromUtf8(tableXml(t, r.model, 0)),
              QStringLiteral("<Root>\n  <Spare />\n  <Row V=\"0\" />\n  <Row V=\"\" />\n  <Row V=\"0\" />\n</Root>\n"));
}
