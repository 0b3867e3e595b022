// The binary cell stream: round trips of random grids, placement at a point, the records each
// kind of cell writes, the sound limits (wide coordinates, carried colours and check states,
// a full-grid load that checks before it clears), damaged streams, and AssignCells.
#include "IoFixture.h"
#include "controls/grid/io/CellStream.h"
#include "controls/grid/io/ComponentStream.h"
#include "support/TempDir.h"

#include "platform/draw/Graphics.h"

#include <QBuffer>
#include <QImage>

using namespace iotest;
using namespace controls::grid::io;
using testing_support::TempDir;

namespace {

QStringList recordClasses(const QByteArray& data)
{
    QStringList out;
    TComponentReader reader(data);
    while (!reader.AtEnd())
        out << reader.ReadObject().ClassName;
    return out;
}

void decorate(TExtStringGrid& g)
{
    g.SetColors(1, 1, 0x00FF00);
    g.SetColorsTo(1, 1, 0x0000FF);
    g.SetGradients(1, 1, GradientHorizontal);
    g.SetFontStyles(2, 1, fsBold | fsItalic);
    g.SetFontColors(2, 1, 0x123456);
    g.SetAlignments(0, 2, platform::Alignment::taRightJustify);
    g.SetReadOnly(3, 2, true);
    g.MergeCells(0, 3, 2, 2);
    g.AddCheckBox(3, 0, true, false);
    g.AddCheckBox(3, 1, cbGrayed);
    g.AddCheckBox(3, 3, false, true);
}

} // namespace

// Node rows that come in with a stream count as nodes of the grid, also over a node it had.
TEST(CellStream, LoadedNodeRowsAreCounted)
{
    auto a = makeGrid(3, 6);
    a->AddNode(1, 2);
    a->AddNode(3, 3);
    const QByteArray data = SaveToBinStream(*a);
    auto b = makeGrid(3, 6);
    b->AddNode(1, 4);
    LoadFromBinStream(*b, data);
    EXPECT_EQ(b->NumNodes(), 2);
    EXPECT_TRUE(b->IsNode(3));
    auto c = makeGrid(3, 6);
    LoadFromBinStream(*c, data);
    EXPECT_EQ(c->NumNodes(), 2);
    EXPECT_TRUE(c->HasNodes());
}

TEST(CellStream, RandomGridsRoundTripTextsPropertiesMergesAndCheckBoxes)
{
    for (quint32 seed : {1u, 2u, 3u, 77u}) {
        auto a = makeGrid(5, 7);
        fillRandom(*a, seed);
        decorate(*a);
        const QByteArray data = SaveToBinStream(*a);
        auto b = makeGrid(2, 2);
        b->SetCells(1, 1, QStringLiteral("old"));
        LoadFromBinStream(*b, data);
        ASSERT_EQ(b->ColCount(), 5);
        ASSERT_EQ(b->RowCount(), 7);
        expectSameTexts(*a, *b);
        EXPECT_EQ(b->Colors(1, 1), 0x00FF00u);
        EXPECT_EQ(b->ColorsTo(1, 1), 0x0000FFu);
        EXPECT_EQ(b->Gradients(1, 1), GradientHorizontal);
        EXPECT_EQ(b->FontStyles(2, 1), fsBold | fsItalic);
        EXPECT_EQ(b->FontColors(2, 1), 0x123456u);
        EXPECT_EQ(b->Alignments(0, 2), platform::Alignment::taRightJustify);
        EXPECT_TRUE(b->ReadOnly(3, 2));
        EXPECT_TRUE(b->IsMergedCell(1, 4));
        EXPECT_EQ(b->BaseCell(1, 4), QPoint(0, 3));
        EXPECT_EQ(b->CellSpan(0, 3), QPoint(1, 1));
        bool state = false;
        ASSERT_TRUE(b->GetCheckBoxState(3, 0, state));
        EXPECT_TRUE(state);
        TCheckBoxState tri = cbUnchecked;
        ASSERT_TRUE(b->GetCheckBoxState(3, 1, tri));
        EXPECT_EQ(tri, cbGrayed);
        EXPECT_TRUE(b->HasDataCheckBox(3, 3));
        EXPECT_EQ(b->GetCellType(3, 3), ctDataCheckBox);
        // Written again, the loaded grid gives the same bytes but for the writer's id.
        QByteArray again = SaveToBinStream(*b);
        qsizetype p1 = 0, p2 = 0;
        ReadBinHeader(data, p1);
        ReadBinHeader(again, p2);
        EXPECT_EQ(again.mid(p2), data.mid(p1));
    }
}

TEST(CellStream, RectangleLoadsAtAPointWithoutTouchingSizes)
{
    auto a = makeGrid(6, 6);
    for (int r = 0; r < 6; ++r)
        for (int c = 0; c < 6; ++c)
            a->SetCells(c, r, QStringLiteral("%1:%2").arg(c).arg(r));
    a->setColWidths(2, 99);
    QByteArray data;
    SaveRectToBinStream(*a, TGridRect{2, 3, 4, 4}, data);
    auto b = makeGrid(10, 10);
    const int width = b->colWidths(5);
    LoadAtPointFromBinStream(*b, QPoint(5, 7), data);
    EXPECT_EQ(b->Cells(5, 7), "2:3");
    EXPECT_EQ(b->Cells(7, 8), "4:4");
    EXPECT_EQ(b->Cells(4, 7), "");
    EXPECT_EQ(b->Cells(8, 9), "");
    EXPECT_EQ(b->colWidths(5), width);
    // Past the grid's edge the cells are dropped, not wrapped.
    LoadAtPointFromBinStream(*b, QPoint(8, 9), data);
    EXPECT_EQ(b->Cells(8, 9), "2:3");
    EXPECT_EQ(b->Cells(9, 9), "3:3");
}

TEST(CellStream, EachKindWritesItsRecords)
{
    auto g = makeGrid(4, 1);
    g->SetColors(0, 0, 0xFF);          // properties, no graphic
    g->AddCheckBox(1, 0, true, false); // graphic, no picture
    platform::Bitmap own(4, 4);
    g->AddBitmap(2, 0, &own, false, haLeft, vaTop); // the program's bitmap: not copied
    platform::Bitmap* made = g->CreateBitmap(3, 0, false, haLeft, vaTop);
    *made = platform::Bitmap(3, 2, 0x0000FF);
    QByteArray data;
    SaveRectToBinStream(*g, TGridRect{0, 0, 3, 0}, data);
    EXPECT_EQ(recordClasses(data),
              (QStringList{"TGridPropIO", "TGridCellIO", "TGridCellPropIO", "TGridCellIO", "TGridCellPropIO",
                           "TGridGraphicIO", "TGridCellIO", "TGridCellPropIO", "TGridCellIO", "TGridCellPropIO",
                           "TGridGraphicIO", "TGridBMPIO"}));
    auto b = makeGrid(4, 1);
    LoadFromBinStream(*b, data);
    ASSERT_NE(b->GetBitmap(3, 0), nullptr);
    EXPECT_EQ(b->GetBitmap(3, 0)->width(), 3);
    EXPECT_EQ(b->GetBitmap(3, 0)->height(), 2);
    EXPECT_EQ(b->GetCellType(2, 0), ctEmpty);
}

TEST(CellStream, RadioItemsImageIndexesAndPicturesTravel)
{
    auto g = makeGrid(3, 1);
    platform::TStringList* items = g->CreateRadio(0, 0, 1, 2);
    items->AddStrings(QStringList{"one", "two", "three"});
    platform::TImageList images;
    g->SetGridImages(&images);
    g->AddMultiImage(1, 0, 0, haLeft, vaTop);
    g->CellImages(1, 0)->Add(4);
    g->CellImages(1, 0)->Add(7);
    platform::Picture* pic = g->CreatePicture(2, 0, false, noStretch, 0, haLeft, vaTop);
    QImage image(5, 3, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray png;
    {
        QBuffer buf(&png);
        buf.open(QIODevice::WriteOnly);
        image.save(&buf, "PNG");
    }
    pic->LoadFromData(png);
    const QByteArray data = SaveToBinStream(*g);
    auto b = makeGrid(1, 1);
    b->SetGridImages(&images);
    LoadFromBinStream(*b, data);
    ASSERT_NE(b->GetRadioStrings(0, 0), nullptr);
    EXPECT_EQ(b->GetRadioStrings(0, 0)->Count(), 3);
    EXPECT_EQ(b->GetRadioStrings(0, 0)->Strings(2), "three");
    ASSERT_NE(b->CellImages(1, 0), nullptr);
    EXPECT_EQ(b->CellImages(1, 0)->Count(), 2);
    EXPECT_EQ(b->CellImages(1, 0)->GetInteger(1), 7);
    ASSERT_NE(b->GetPicture(2, 0), nullptr);
    EXPECT_EQ(b->GetPicture(2, 0)->width(), 5);
    g->SetGridImages(nullptr);
    b->SetGridImages(nullptr);
}

TEST(CellStream, CoordinatesAboveSixteenBitsAreKeptWhole)
{
    auto g = makeGrid(2, 70002);
    g->SetCells(1, 70000, QStringLiteral("far"));
    QByteArray data;
    SaveRectToBinStream(*g, TGridRect{1, 70000, 1, 70000}, data);
    qsizetype pos = 0;
    ReadBinHeader(data, pos);
    TComponentReader reader(data, pos);
    const TStreamObject cell = reader.ReadObject();
    EXPECT_EQ(ValueInt(cell.Find("Row"), 0), 70000);
    auto b = makeGrid(2, 70002);
    // Loaded at its own place: the row is 70,000, not 4,464.
    LoadAtPointFromBinStream(*b, QPoint(1, 70000), data);
    EXPECT_EQ(b->Cells(1, 70000), "far");
    EXPECT_EQ(b->Cells(1, 4464), "");
}

TEST(CellStream, AnEmptyTextAfterAFullOneStaysEmpty)
{
    auto g = makeGrid(3, 1);
    g->SetCells(0, 0, QStringLiteral("full"));
    const QByteArray data = SaveToBinStream(*g);
    auto b = makeGrid(3, 1);
    b->SetCells(1, 0, QStringLiteral("stale"));
    LoadAtPointFromBinStream(*b, QPoint(0, 0), data);
    EXPECT_EQ(b->Cells(0, 0), "full");
    EXPECT_EQ(b->Cells(1, 0), "");
}

TEST(CellStream, AFullGridLoadChecksItsHeaderBeforeClearing)
{
    auto b = makeGrid(3, 3);
    b->SetCells(1, 1, QStringLiteral("keep"));
    // Table of damaged headers: widths missing, heights not numbers, no first cell.
    struct Case {
        const char* widths;
        const char* heights;
        bool withCell;
    } cases[] = {{"64", "24,24", true}, {"64,64", "24,x", true}, {"64,64", "24,24", false}};
    for (const Case& c : cases) {
        QByteArray data;
        TComponentWriter w(data);
        w.BeginObject("TGridPropIO");
        w.Integer("ColCount", 2);
        w.Integer("RowCount", 2);
        w.Text("ColWidths", c.widths);
        w.Text("RowHeights", c.heights);
        w.Boolean("FullGrid", true);
        w.Integer("ID", 1);
        w.EndObject();
        if (c.withCell) {
            w.BeginObject("TGridCellIO");
            w.Integer("Col", 0);
            w.Integer("Row", 0);
            w.Boolean("HasProp", false);
            w.EndObject();
        }
        EXPECT_THROW(LoadFromBinStream(*b, data), EReadError) << c.widths << " " << c.heights;
        EXPECT_EQ(b->Cells(1, 1), "keep");
        EXPECT_EQ(b->ColCount(), 3);
    }
}

TEST(CellStream, EveryTruncationOrByteFlipEndsInAnErrorOrACleanLoad)
{
    auto g = makeGrid(4, 5);
    fillRandom(*g, 5);
    decorate(*g);
    const QByteArray data = SaveToBinStream(*g);
    // One target grid for all: a load that fails leaves a grid the next load may use.
    auto b = makeGrid(3, 3);
    int failed = 0;
    for (qsizetype n = 0; n < data.size(); n += 3) {
        try {
            LoadFromBinStream(*b, data.left(n));
        } catch (const platform::Exception&) {
            ++failed;
        }
    }
    for (qsizetype i = 0; i < data.size(); i += 5) {
        QByteArray bad = data;
        bad[i] = char(bad[i] ^ 0x5A);
        try {
            LoadFromBinStream(*b, bad);
        } catch (const platform::Exception&) {
            ++failed;
        }
    }
    EXPECT_GT(failed, 0);
    // The whole stream still loads into the grid the damaged ones went through.
    LoadFromBinStream(*b, data);
    expectSameTexts(*g, *b);
}

TEST(CellStream, CellObjectsOfTheWriterAreNotRestored)
{
    auto g = makeGrid(1, 1);
    int marker = 42;
    g->SetObjects(0, 0, &marker);
    auto b = makeGrid(1, 1);
    LoadFromBinStream(*b, SaveToBinStream(*g));
    EXPECT_EQ(b->Objects(0, 0), nullptr);
}

TEST(CellStream, BinFilesRoundTripAndAMissingFileRaises)
{
    TempDir dir;
    auto g = makeGrid(4, 4);
    fillRandom(*g, 9);
    SaveToBinFile(*g, dir.file("cells.bin"));
    auto b = makeGrid(1, 1);
    LoadFromBinFile(*b, dir.file("cells.bin"));
    expectSameTexts(*g, *b);
    EXPECT_THROW(LoadFromBinFile(*b, dir.file("none.bin")), platform::Exception);
}

TEST(CellStream, GoldenStreamOfTwoCells)
{
    // Header, a plain cell and a cell with a check box, byte for byte as the format describes.
    auto g = makeGrid(2, 1);
    g->setColWidths(0, 64);
    g->setColWidths(1, 80);
    g->setRowHeights(0, 24);
    g->SetCells(0, 0, QStringLiteral("a\u00E9"));
    const QByteArray data = SaveToBinStream(*g);
    qsizetype pos = 0;
    ReadBinHeader(data, pos);
    const QByteArray expected = testing_support::hexBytes(
        "54 50 46 30 0B 54 47 72 69 64 43 65 6C 6C 49 4F 00"       // TPF0, "TGridCellIO", no name
        "03 43 6F 6C 02 00"                                        // Col = 0 (8-bit)
        "03 52 6F 77 02 00"                                        // Row = 0
        "04 43 65 6C 6C 14 03 00 00 00 61 C3 A9"                   // Cell = UTF-8 "a\u00E9"
        "07 48 61 73 50 72 6F 70 08 00 00"                         // HasProp = false, ends
        "54 50 46 30 0B 54 47 72 69 64 43 65 6C 6C 49 4F 00"
        "03 43 6F 6C 02 01 03 52 6F 77 02 00 07 48 61 73 50 72 6F 70 08 00 00");
    EXPECT_EQ(data.mid(pos), expected);
    EXPECT_EQ(data.mid(pos), testing_support::dataFile("grid/cellstream_two_cells.bin"));
}

TEST(CellStream, AssignCellsCopiesTextsPropertiesAndGraphics)
{
    auto a = makeGrid(4, 5);
    fillRandom(*a, 12);
    decorate(*a);
    auto b = makeGrid(1, 1);
    b->AssignCells(a.get());
    expectSameTexts(*a, *b);
    EXPECT_EQ(b->Colors(1, 1), 0x00FF00u);
    EXPECT_TRUE(b->HasCheckBox(3, 0));
}
