// The grid's text cell file and stream: the reversible line-break coding, round trips of random
// grids in both variants, fixed cells, lenient and strict numbers, where a stream reader stops,
// damaged files, CellToReal.
#include "IoFixture.h"
#include "controls/grid/io/TextCellFile.h"
#include "platform/core/Errors.h"
#include "support/TempDir.h"

using namespace iotest;
using namespace controls::grid::io;
using testing_support::TempDir;

TEST(TextCellFile, LineBreakCodingReadsBackEveryText)
{
    const QString texts[] = {"plain",        "a\r\nb",          "a\nb",        "a\rb",  "a\tb", QString(QChar(8)),
                             QString(QChar(1)), QString(QChar(2)) + "x", QString(QChar(0)), "\t\r\n\x02.", "",
                             "end\r"};
    for (const QString& t : texts) {
        const QString coded = EncodeCellText(t);
        EXPECT_FALSE(coded.contains(u'\r') || coded.contains(u'\n')) << t.toStdString();
        EXPECT_EQ(DecodeCellText(coded, true), t);
    }
    // The older coding of a CR LF text reads the same.
    EXPECT_EQ(DecodeCellText(QString("x") + QChar(9) + QChar(8) + "y", true), "x\r\ny");
    // Without Multilinecells only the first line comes back.
    EXPECT_EQ(DecodeCellText(EncodeCellText("one\r\ntwo"), false), "one");
}

TEST(TextCellFile, RandomGridsRoundTripThroughFileAndStream)
{
    TempDir dir;
    for (bool unicode : {false, true}) {
        auto a = makeGrid(5, 6);
        fillRandom(*a, unicode ? 21 : 22);
        a->Multilinecells = true;
        a->setColWidths(3, 117);
        SaveToFile(*a, dir.file("cells.txt"), unicode);
        auto b = makeGrid(1, 1);
        b->Multilinecells = true;
        LoadFromFile(*b, dir.file("cells.txt"));
        ASSERT_EQ(b->ColCount(), 5);
        ASSERT_EQ(b->RowCount(), 6);
        expectSameTexts(*a, *b);
        EXPECT_EQ(b->colWidths(3), 117);
    }
    auto a = makeGrid(4, 4);
    fillRandom(*a, 23);
    a->Multilinecells = true;
    QByteArray stream;
    SaveToStream(*a, stream);
    auto b = makeGrid(1, 1);
    b->Multilinecells = true;
    qsizetype pos = 0;
    LoadFromStream(*b, stream, pos);
    EXPECT_EQ(pos, stream.size());
    expectSameTexts(*a, *b);
}

TEST(TextCellFile, GoldenFileOfTheFormat)
{
    auto g = makeGrid(2, 2);
    g->setColWidths(0, 64);
    g->setColWidths(1, 80);
    g->SetCells(0, 0, QStringLiteral("Name"));
    g->SetCells(1, 1, QStringLiteral("two\r\nlines"));
    TempDir dir;
    SaveToFile(*g, dir.file("g.txt"), false);
    EXPECT_EQ(dir.read("g.txt"), testing_support::dataFile("grid/cellfile_two_lines.txt"));
}

TEST(TextCellFile, FixedCellsAreLeftOutWhenAsked)
{
    TempDir dir;
    auto a = makeGrid(3, 3);
    a->SetFixedRows(1);
    a->SetFixedCols(1);
    a->SaveFixedCells = false;
    a->SetCells(0, 0, QStringLiteral("corner"));
    a->SetCells(1, 1, QStringLiteral("data"));
    SaveToFile(*a, dir.file("f.txt"), false);
    EXPECT_TRUE(dir.read("f.txt").startsWith("2,2\r\n"));
    auto b = makeGrid(1, 1);
    b->SetFixedRows(0);
    b->SaveFixedCells = false;
    b->SetColCount(2);
    b->SetRowCount(2);
    b->SetFixedRows(1);
    b->SetFixedCols(1);
    LoadFromFile(*b, dir.file("f.txt"));
    EXPECT_EQ(b->ColCount(), 3);
    EXPECT_EQ(b->RowCount(), 3);
    EXPECT_EQ(b->Cells(1, 1), "data");
    EXPECT_EQ(b->Cells(0, 0), "");
}

TEST(TextCellFile, LenientLinesAndDamagedFiles)
{
    TempDir dir;
    auto g = makeGrid(1, 1);
    // A line without any comma: column 0, row 0, the whole line.
    dir.write("nocomma.txt", "2,2\r\nwhole line\r\n");
    LoadFromFile(*g, dir.file("nocomma.txt"));
    EXPECT_EQ(g->Cells(0, 0), "whole line");
    // Cells and widths outside the grid are ignored; numbers are read up to a bad character.
    dir.write("outside.txt", "2,2\r\ncw 9,50\r\ncw 0,99999999999\r\n5,5,far\r\n1x,1,near\r\n");
    const int width0 = g->colWidths(0);
    LoadFromFile(*g, dir.file("outside.txt"));
    EXPECT_EQ(g->Cells(1, 1), "near");
    EXPECT_EQ(g->colWidths(0), width0); // a width beyond any screen is not applied
    struct Case {
        const char* content;
    } damaged[] = {{"0,0\r\n"}, {"3,0\r\n"}, {"99999999,99999999\r\n"}, {"-3,2\r\n"}};
    for (const Case& c : damaged) {
        auto e = makeGrid(0, 0);
        dir.write("bad.txt", c.content);
        try {
            LoadFromFile(*e, dir.file("bad.txt"));
            ADD_FAILURE() << c.content;
        } catch (const platform::EExtGridError& err) {
            EXPECT_EQ(err.message(), "File contains no data or corrupt file " + dir.file("bad.txt"));
        }
    }
    EXPECT_THROW(LoadFromFile(*g, dir.file("missing.txt")), platform::Exception);
}

TEST(TextCellFile, StreamStopsAtForeignDataAndReadsNumbersStrictly)
{
    auto a = makeGrid(2, 2);
    a->SetCells(1, 1, QStringLiteral("x"));
    QByteArray stream;
    SaveToStream(*a, stream);
    const qsizetype end = stream.size();
    const QString foreign = QStringLiteral("other data\r\n");
    stream.append(reinterpret_cast<const char*>(foreign.utf16()), foreign.size() * 2);
    auto b = makeGrid(1, 1);
    qsizetype pos = 0;
    LoadFromStream(*b, stream, pos);
    EXPECT_EQ(pos, end);
    EXPECT_EQ(b->Cells(1, 1), "x");

    const QString bad = QStringLiteral("2,2\r\n1x,1,y\r\n");
    QByteArray badStream(reinterpret_cast<const char*>(bad.utf16()), bad.size() * 2);
    pos = 0;
    EXPECT_THROW(LoadFromStream(*b, badStream, pos), platform::EConvertError);
}

TEST(TextCellFile, LenientIntegersAndCellNumbers)
{
    const struct {
        const char* text;
        int value;
    } ints[] = {{"", 0}, {"  42", 42}, {"-7x", -7}, {"$1F", 31}, {"0x10", 16}, {"abc", 0}, {"99999999999", INT32_MAX}};
    for (const auto& c : ints)
        EXPECT_EQ(LenientStrToInt(QString::fromLatin1(c.text)), c.value) << c.text;

    auto g = makeGrid(3, 1);
    g->SetCells(0, 0, QStringLiteral("(1,234.50)"));
    g->SetCells(2, 0, QStringLiteral("12.5.3"));
    EXPECT_DOUBLE_EQ(CellToReal(*g, 0, 0), -1234.5);
    EXPECT_DOUBLE_EQ(CellToReal(*g, 1, 0), 0);
    try {
        CellToReal(*g, 2, 0);
        ADD_FAILURE();
    } catch (const platform::EExtGridError& e) {
        EXPECT_EQ(e.message(), "Error at position: 5 in Cell [2, 0].");
    }
}
