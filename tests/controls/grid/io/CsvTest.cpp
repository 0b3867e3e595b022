// CSV, column-aligned and fixed-width text: round trips of random grids, Python's csv reading
// our files, quoting, line breaks inside quoted fields, delimiter detection, growth in blocks,
// the first-line and append options, and the fixed-width reader.
#include "IoFixture.h"
#include "OutsideReaders.h"
#include "controls/grid/io/Csv.h"
#include "platform/core/Errors.h"
#include "support/TempDir.h"

#include <QJsonArray>
#include <QJsonDocument>

using namespace iotest;
using namespace controls::grid::io;
using testing_support::TempDir;

namespace {

QString csvOf(const QStringList& cells)
{
    auto g = makeGrid(int(cells.size()), 1);
    for (int c = 0; c < cells.size(); ++c)
        g->SetCells(c, 0, cells[c]);
    g->QuoteEmptyCells = false;
    return SaveToCSVString(*g);
}

} // namespace

TEST(Csv, RandomGridsRoundTripWithEveryDelimiterAndQuoting)
{
    TempDir dir;
    const QChar delimiters[] = {QChar(u','), QChar(u';'), QChar(u'\t'), QChar(u'|')};
    quint32 seed = 40;
    for (QChar d : delimiters)
        for (bool always : {false, true})
            for (bool unicode : {false, true}) {
                auto a = makeGrid(5, 8);
                fillRandom(*a, ++seed);
                a->Delimiter = d;
                a->AlwaysQuotes = always;
                SaveToCSV(*a, dir.file("t.csv"), unicode);
                auto b = makeGrid(2, 2);
                b->Delimiter = d;
                LoadFromCSV(*b, dir.file("t.csv"));
                ASSERT_EQ(b->RowCount(), 8) << seed;
                ASSERT_EQ(b->ColCount(), 5) << seed;
                expectSameTexts(*a, *b);
            }
}

TEST(Csv, PythonsCsvReadsOurFilesToTheSameCells)
{
    TempDir dir;
    auto a = makeGrid(6, 9);
    fillRandom(*a, 99);
    SaveToCSV(*a, dir.file("py.csv"), true);
    bool ok = false;
    const QString out = runPython(QStringLiteral("import csv, json, sys\n"
                                                 "with open(sys.argv[1], newline='', encoding='utf-8-sig') as f:\n"
                                                 "    print(json.dumps(list(csv.reader(f))))\n"),
                                  {dir.file("py.csv")}, &ok);
    ASSERT_TRUE(ok) << out.toStdString();
    const QJsonArray rows = QJsonDocument::fromJson(out.toUtf8()).array();
    ASSERT_EQ(rows.size(), 9);
    for (int r = 0; r < 9; ++r) {
        const QJsonArray fields = rows[r].toArray();
        ASSERT_EQ(fields.size(), 6) << r;
        for (int c = 0; c < 6; ++c)
            EXPECT_EQ(fields[c].toString(), a->Cells(c, r)) << c << "," << r;
    }
}

TEST(Csv, QuotingOfTheWrittenFields)
{
    const struct {
        QStringList cells;
        const char* csv;
    } cases[] = {
        {{"a\"b", "x"}, "\"a\"\"b\",x\r\n"},      // an inner quote doubled, the field enclosed
        {{"a,b", "x"}, "\"a,b\",x\r\n"},          // the delimiter enclosed
        {{"two\r\nlines", ""}, "\"two\r\nlines\",\r\n"}, // a line break stays inside the quotes
        {{" lead", "trail "}, "\" lead\",\"trail \"\r\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(csvOf(c.cells), QString::fromUtf8(c.csv));
    auto g = makeGrid(2, 1);
    EXPECT_EQ(SaveToCSVString(*g), "\"\",\"\"\r\n"); // QuoteEmptyCells
    g->JavaCSV = true;
    g->SetCells(0, 0, QStringLiteral("a\r\nb"));
    EXPECT_EQ(SaveToCSVString(*g), "a~b,^\r\n");
}

TEST(Csv, GoldenFileOfQuotedFields)
{
    auto g = makeGrid(3, 2);
    g->SetFixedRows(0);
    g->SetFixedCols(0);
    const QStringList cells{"a\"b", "plain", "", "a,b", "two\r\nlines", " edge"};
    for (int i = 0; i < 6; ++i)
        g->SetCells(i % 3, i / 3, cells[i]);
    TempDir dir;
    SaveToCSV(*g, dir.file("g.csv"), false);
    EXPECT_EQ(dir.read("g.csv"), testing_support::dataFile("grid/csv_quoting.csv"));
    auto b = makeGrid(1, 1);
    LoadFromCSV(*b, dir.file("g.csv"));
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(b->Cells(i % 3, i / 3), cells[i]) << i;
}

TEST(Csv, ReadingQuotedLineBreaksOlderCodingAndJavaStyle)
{
    auto g = makeGrid(1, 1);
    g->Delimiter = u',';
    LoadFromCSVStream(*g, "\"first\r\nsecond\",x\r\n\"a\x0B" "b\",\"q\"\"q\"\r\n");
    EXPECT_EQ(g->RowCount(), 2);
    EXPECT_EQ(g->Cells(0, 0), "first\r\nsecond");
    EXPECT_EQ(g->Cells(1, 0), "x");
    EXPECT_EQ(g->Cells(0, 1), "a\r\nb");
    EXPECT_EQ(g->Cells(1, 1), "q\"q");
    g->JavaCSV = true;
    LoadFromCSVStream(*g, "a~b,^\r\n");
    EXPECT_EQ(g->Cells(0, 0), "a\r\nb");
    EXPECT_EQ(g->Cells(1, 0), "");
}

TEST(Csv, DelimiterDetection)
{
    const struct {
        const char* l1;
        const char* l2;
        QChar expected;
    } cases[] = {
        {"a;b;c", "d;e;f", u';'},
        {"a,b;c;d", "e,f;g;h", u';'}, // equal counts in both lines, the larger count
        {"a,b,c|x", "d,e|y", u'|'},    // "," counts differ, so it is not taken in the first pass
        {"a\tb", "c\td", u'\t'},
        {"plain", "", QChar()},
        {"\"a;b;c\",x", "\"d;e;f\",y", u','}, // delimiters inside quotes are no evidence
    };
    for (const auto& c : cases)
        EXPECT_EQ(DetectDelimiter(c.l1, c.l2), c.expected) << c.l1;
    auto g = makeGrid(1, 1);
    LoadFromCSVStream(*g, "a;b;c\r\nd;e;f\r\n");
    EXPECT_EQ(g->Cells(2, 1), "f");
    EXPECT_TRUE(g->Delimiter.isNull());
}

TEST(Csv, EmptyInputsFirstLineGrowthAndAppend)
{
    TempDir dir;
    auto g = makeGrid(2, 2);
    g->SetCells(0, 0, QStringLiteral("keep"));
    dir.write("empty.csv", "");
    LoadFromCSV(*g, dir.file("empty.csv"));
    EXPECT_EQ(g->Cells(0, 0), "keep");
    try {
        LoadFromCSVStream(*g, QByteArray());
        ADD_FAILURE();
    } catch (const platform::Exception& e) {
        EXPECT_EQ(e.message(), "File is empty");
    }
    EXPECT_THROW(LoadFromCSV(*g, dir.file("missing.csv")), platform::Exception);

    g->LoadFirstRow = false;
    LoadFromCSVStream(*g, "head1,head2\r\nv1,v2\r\n");
    EXPECT_EQ(g->Cells(0, 0), "v1");
    EXPECT_EQ(g->RowCount(), 1);

    auto big = makeGrid(2, 1);
    big->SetFixedFooters(1);
    QByteArray lines;
    for (int i = 0; i < 2500; ++i)
        lines += QByteArray::number(i) + ",x\r\n";
    LoadFromCSVStream(*big, lines);
    EXPECT_EQ(big->RowCount(), 2501);
    EXPECT_EQ(big->Cells(0, 2499), "2499");

    auto a = makeGrid(2, 1);
    a->SetCells(0, 0, QStringLiteral("first"));
    EXPECT_THROW(AppendToCSV(*a, dir.file("none.csv"), false), platform::Exception);
    SaveToCSV(*a, dir.file("app.csv"), false);
    a->SetCells(0, 0, QStringLiteral("second"));
    AppendToCSV(*a, dir.file("app.csv"), false);
    EXPECT_EQ(dir.read("app.csv"), "first,\"\"\r\nsecond,\"\"\r\n");
}

TEST(Csv, ColumnAlignedTextUsesFullWidths)
{
    auto g = makeGrid(2, 2);
    g->SetCells(0, 0, QString(300, u'w'));
    g->SetCells(0, 1, QStringLiteral("s"));
    g->SetCells(1, 0, QStringLiteral("r"));
    g->SetAlignments(1, 0, platform::Alignment::taRightJustify);
    g->SetCells(1, 1, QStringLiteral("long"));
    const QStringList lines = ColumnAlignedLines(*g);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[1], "s" + QString(300, u' ') + "long ");
    EXPECT_EQ(lines[0], QString(300, u'w') + " " + "   r ");
    g->Multilinecells = true;
    g->SetCells(1, 1, QStringLiteral("a\r\nbb"));
    const QStringList multi = ColumnAlignedLines(*g);
    ASSERT_EQ(multi.size(), 3);
    EXPECT_EQ(multi[2], QString(301, u' ') + "bb ");
}

TEST(Csv, FixedWidthWriteAndRead)
{
    TempDir dir;
    dir.write("fixed.txt", "abcdefghijklmno\r\n1234567\r\n");
    auto g = makeGrid(1, 1);
    LoadFromFixed(*g, dir.file("fixed.txt"), {12, 1, 5}, -1, false);
    EXPECT_EQ(g->ColCount(), 2);
    EXPECT_EQ(g->Cells(0, 0), "abcd");
    EXPECT_EQ(g->Cells(1, 0), "efghijk");
    EXPECT_EQ(g->Cells(1, 1), "567");
    EXPECT_EQ(g->RowCount(), 2);
    QList<int> widths{3};
    g->SetCells(1, 0, QStringLiteral("xy"));
    SaveToFixed(*g, dir.file("out.txt"), widths);
    ASSERT_EQ(widths.size(), 2);
    EXPECT_EQ(widths[1], 4);
    EXPECT_EQ(dir.read("out.txt"), "abcxy  \r\n123567 \r\n");
    try {
        LoadFromFixed(*g, dir.file("nope.txt"), {1, 2}, -1, false);
        ADD_FAILURE();
    } catch (const platform::EExtGridError& e) {
        EXPECT_EQ(e.message(), "File " + dir.file("nope.txt") + " not found");
    }
}

TEST(Csv, JavaCsvQuotesTheDelimiterAndMarksEveryLineBreak)
{
    auto g = makeGrid(3, 1);
    g->JavaCSV = true;
    g->SetCells(0, 0, QStringLiteral("x,y"));
    g->SetCells(1, 0, QStringLiteral("a\nb\rc\r\nd"));
    g->SetCells(2, 0, QStringLiteral("\"q\""));
    EXPECT_EQ(SaveToCSVString(*g), "\"x,y\",a~b~c~d,\"\"\"q\"\"\"\r\n");
    auto b = makeGrid(1, 1);
    b->JavaCSV = true;
    b->Delimiter = u',';
    LoadFromCSVStream(*b, SaveToCSVBytes(*g, false));
    EXPECT_EQ(b->ColCount(), 3);
    EXPECT_EQ(b->Cells(0, 0), "x,y");
    EXPECT_EQ(b->Cells(1, 0), "a\r\nb\r\nc\r\nd");
    EXPECT_EQ(b->Cells(2, 0), "\"q\"");
}

TEST(Csv, ALineEndingInTheDelimiterEndsInAnEmptyField)
{
    auto g = makeGrid(3, 2);
    g->Delimiter = u',';
    for (int c = 0; c < 3; ++c) {
        g->SetCells(c, 0, QStringLiteral("old"));
        g->SetCells(c, 1, QStringLiteral("old"));
    }
    LoadFromCSVStream(*g, "a,\r\n\"b\",,\r\n");
    EXPECT_EQ(g->Cells(1, 0), "");
    EXPECT_EQ(g->Cells(2, 0), "old") << "a column the line does not reach keeps its text";
    EXPECT_EQ(g->Cells(0, 1), "b");
    EXPECT_EQ(g->Cells(2, 1), "");
}

TEST(Csv, FixedWidthTextCutsEachCellAtItsFirstLineBreak)
{
    TempDir dir;
    auto g = makeGrid(2, 20);
    g->SetFixedRows(0);
    g->SetFixedCols(0);
    for (int r = 0; r < 20; ++r) {
        g->SetCells(0, r, r % 3 == 0 ? QStringLiteral("row %1\r\nmore").arg(r) : QStringLiteral("row %1").arg(r));
        g->SetCells(1, r, r % 4 == 0 ? QStringLiteral("x\ny") : r % 5 == 0 ? QStringLiteral("x\ry") : QStringLiteral("x"));
    }
    QList<int> widths;
    SaveToFixed(*g, dir.file("f.txt"), widths);
    EXPECT_EQ(widths, QList<int>({7, 2}));
    auto b = makeGrid(1, 1);
    b->SetFixedRows(0);
    b->SetFixedCols(0);
    LoadFromFixed(*b, dir.file("f.txt"), {1, 8, 10}, -1, true);
    EXPECT_EQ(b->RowCount(), 20);
    for (int r = 0; r < 20; ++r) {
        EXPECT_EQ(b->Cells(0, r), QStringLiteral("row %1").arg(r));
        EXPECT_EQ(b->Cells(1, r), "x");
    }
    // The column-aligned text cuts the same way, at any kind of line break.
    EXPECT_EQ(ColumnAlignedLines(*g).size(), 20);
}
