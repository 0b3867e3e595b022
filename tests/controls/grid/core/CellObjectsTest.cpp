#include "controls/grid/core/ExtStringGrid.h"

#include "controls/grid/base/UndoRedo.h"
#include "controls/grid/core/RichText.h"
#include "controls/grid/util/ExtDraw.h"
#include "platform/core/Errors.h"
#include "platform/draw/Graphics.h"

#include <QBuffer>
#include <QImage>
#include <gtest/gtest.h>

using namespace controls::grid;

namespace {

// The way the column grid makes every cell of a data-check-box column a virtual check box
// with the column's own texts.
class ColumnLikeGrid : public TExtStringGrid {
public:
    int checkColumn = 2;
    TCellGraphic shared;
    ColumnLikeGrid() { shared.CellType = ctVirtCheckBox; }
    TCellGraphic* GetCellGraphic(int c, int r) override
    {
        TCellGraphic* own = TExtStringGrid::GetCellGraphic(c, r);
        if (!own && c == checkColumn && r >= fixedRows())
            return &shared;
        return own;
    }
    TCellType GetCellType(int c, int r) override
    {
        const TCellType t = TExtStringGrid::GetCellType(c, r);
        return t == ctEmpty && c == checkColumn && r >= fixedRows() ? ctDataCheckBox : t;
    }
    void GetCheckTrue(int c, int r, QString& v) override
    {
        TExtStringGrid::GetCheckTrue(c, r, v);
        if (c == checkColumn)
            v = QStringLiteral("ON");
    }
    void GetCheckFalse(int c, int r, QString& v) override
    {
        TExtStringGrid::GetCheckFalse(c, r, v);
        if (c == checkColumn)
            v = QStringLiteral("OFF");
    }
};

} // namespace

TEST(CheckBoxTest, ColumnGridTogglesDataCheckBoxes)
{
    ColumnLikeGrid g;
    TExtGridUndoRedo undo;
    g.SetUndoRedo(&undo);
    std::vector<std::tuple<int, int, bool>> changes;
    g.OnCheckBoxChange = [&](TExtStringGrid*, int c, int r, bool s) { changes.emplace_back(c, r, s); };
    g.SetCells(2, 3, QStringLiteral("ON"));
    bool state = false;
    EXPECT_TRUE(g.GetCheckBoxState(2, 3, state));
    EXPECT_TRUE(state);
    EXPECT_TRUE(g.ToggleCheckBox(2, 3));
    EXPECT_EQ(g.Cells(2, 3), QStringLiteral("OFF"));
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0], std::make_tuple(2, 3, false));
    ASSERT_EQ(undo.Count(), 1);
    EXPECT_EQ(undo.Items(0).OrigValue, QStringLiteral("ON"));
    EXPECT_EQ(undo.Items(0).Value, QStringLiteral("OFF"));
    EXPECT_TRUE(g.ToggleCheckBox(2, 4)); // an empty cell is unchecked: it becomes checked
    EXPECT_EQ(g.Cells(2, 4), QStringLiteral("ON"));
    EXPECT_EQ(undo.Items(1).OrigValue, QString());
    undo.Undo();
    EXPECT_EQ(g.Cells(2, 4), QString());
    EXPECT_FALSE(g.ToggleCheckBox(1, 3)); // no check box there
    // A plain check box keeps its state in the graphic: nothing to undo.
    g.AddCheckBox(1, 1, false, false);
    EXPECT_TRUE(g.ToggleCheckBox(1, 1));
    EXPECT_EQ(undo.Count(), 2);
    EXPECT_TRUE(g.IsChecked(1, 1));
}

TEST(CheckBoxTest, AddingChecksTheCellsAndItsTexts)
{
    TExtStringGrid g;
    g.AddCheckBox(1, 2, true, true);
    EXPECT_EQ(g.Cells(1, 2), QStringLiteral("Y"));
    g.SetCells(1, 3, QStringLiteral("N"));
    g.AddCheckBox(1, 3, true, true);
    EXPECT_EQ(g.Cells(1, 3), QStringLiteral("N"));
    g.SetCells(1, 4, QStringLiteral("yes"));
    g.AddCheckBox(1, 4, true, true);
    EXPECT_EQ(g.Cells(1, 4), QStringLiteral("Y"));
    g.SetCells(1, 4, QStringLiteral("y"));
    bool state = true;
    EXPECT_TRUE(g.GetCheckBoxState(1, 4, state));
    EXPECT_FALSE(state);
    TCheckBoxState tri = cbGrayed;
    EXPECT_TRUE(g.GetCheckBoxState(1, 2, tri));
    EXPECT_EQ(tri, cbChecked);

    EXPECT_THROW(g.AddCheckBox(g.TotalColCount(), 1, true, false), platform::Exception);
    EXPECT_THROW(g.AddCheckBox(-1, 1, true, false), platform::Exception);
    EXPECT_THROW(g.AddCheckBox(1, -1, cbChecked), platform::Exception);
    EXPECT_THROW(g.AddRadioButton(-2, 1), platform::Exception);

    int events = 0;
    g.OnCheckBoxChange = [&](TExtStringGrid*, int, int, bool) { ++events; };
    g.SetCheckBoxState(1, 3, true);
    EXPECT_EQ(events, 0);
    EXPECT_EQ(g.Cells(1, 3), QStringLiteral("Y"));
    g.SetCellCheckState(1, 3, true); // already checked
    EXPECT_EQ(events, 0);
    g.SetCellCheckState(1, 3, false);
    EXPECT_EQ(events, 1);
}

TEST(CheckBoxTest, TriStateAndRadios)
{
    TExtStringGrid g;
    std::vector<bool> reported;
    g.OnCheckBoxChange = [&](TExtStringGrid*, int, int, bool s) { reported.push_back(s); };
    g.AddCheckBox(1, 1, cbUnchecked);
    std::vector<TCheckBoxState> cycle;
    for (int i = 0; i < 3; ++i) {
        g.ToggleCheckBox(1, 1);
        cycle.push_back(g.GetCellGraphic(1, 1)->CellCheckBoxState);
    }
    EXPECT_EQ(cycle, (std::vector<TCheckBoxState>{cbGrayed, cbChecked, cbUnchecked}));
    EXPECT_EQ(reported, (std::vector<bool>{false, false, false}));

    g.AddRadioButtonColumn(2);
    g.SetRadioButtonState(2, 5, true);
    EXPECT_TRUE(g.CheckRadioButton(2, 3, false));
    EXPECT_TRUE(g.IsRadioButtonChecked(2, 3));
    EXPECT_FALSE(g.IsRadioButtonChecked(2, 5));
    EXPECT_EQ(g.GetRadioButtonColumnIndex(2), 3);

    platform::TStringList* items = g.CreateRadio(3, 1, 0, 2);
    items->Add(QStringLiteral("a"));
    items->Add(QStringLiteral("b"));
    items->Add(QStringLiteral("c"));
    g.SelectNextRadio(3, 1, false);
    int idx = -5;
    EXPECT_TRUE(g.GetRadioIdx(3, 1, idx));
    EXPECT_EQ(idx, 0);
    EXPECT_EQ(g.Cells(3, 1), QStringLiteral("a"));
    g.SetRadioIdx(3, 1, -1);
    g.SetCells(3, 1, QStringLiteral("b"));
    g.SelectNextRadio(3, 1, false);
    EXPECT_EQ(g.Cells(3, 1), QStringLiteral("c"));
}

TEST(CellObjectsTest, ImagesNeedTheGridImages)
{
    TExtStringGrid g;
    g.SetColCount(14);
    g.AddImageIdx(12, 3, 1, haCenter, vaCenter);
    EXPECT_EQ(g.CellTypes(12, 3), ctEmpty);
    int idx = -1;
    EXPECT_FALSE(g.GetImageIdx(12, 3, idx));
    platform::TImageList images(16, 16);
    g.SetGridImages(&images);
    g.AddImageIdx(12, 3, 1, haCenter, vaCenter);
    EXPECT_EQ(g.CellTypes(12, 3), ctImageList);
    EXPECT_TRUE(g.GetImageIdx(12, 3, idx));
    EXPECT_EQ(idx, 1);
    EXPECT_EQ(g.Cells(12, 3), QString());

    g.AddDataImage(2, 1, 4, haLeft, vaTop);
    EXPECT_EQ(g.Cells(2, 1), QStringLiteral("4"));
    g.SetCells(2, 2, QStringLiteral("7"));
    g.AddDataImage(2, 2, 4, haLeft, vaTop);
    EXPECT_EQ(g.Cells(2, 2), QStringLiteral("7"));
    g.SetCells(3, 3, QStringLiteral("keep"));
    g.RemoveDataImage(3, 3); // no data image: the text stays
    EXPECT_EQ(g.Cells(3, 3), QStringLiteral("keep"));
    g.RemoveDataImage(2, 2);
    EXPECT_EQ(g.Cells(2, 2), QString());
    EXPECT_EQ(g.CellTypes(2, 2), ctEmpty);
}

TEST(CellObjectsTest, PictureSizeByStretchMode)
{
    struct Case {
        int w, h;
        TStretchMode mode;
        QPoint expected;
    } cases[] = {
        {100, 50, StretchWithAspectRatio, {60, 30}}, {100, 50, ShrinkWithAspectRatio, {60, 30}},
        {100, 50, Shrink, {60, 60}},                 {100, 50, noStretch, {100, 50}},
        {40, 20, ShrinkWithAspectRatio, {40, 20}},   {40, 20, StretchWithAspectRatio, {60, 30}},
        {40, 20, Stretch, {60, 60}},
    };
    for (const auto& c : cases) {
        platform::Picture picture;
        QImage img(c.w, c.h, QImage::Format_RGB32);
        img.fill(Qt::white);
        QByteArray png;
        {
            QBuffer buffer(&png);
            buffer.open(QIODevice::WriteOnly);
            img.save(&buffer, "PNG");
        }
        picture.LoadFromData(png);
        TCellGraphic g;
        g.SetPicture(&picture, false, c.mode, 0, haLeft, vaTop);
        QPoint size(-1, -1);
        g.GetPictureSize(60, 60, false, size);
        EXPECT_EQ(size, c.expected) << c.w << "x" << c.h << " mode " << c.mode;
    }
    TCellGraphic other;
    other.SetImageIdx(1, haLeft, vaTop);
    QPoint untouched(7, 7);
    other.GetPictureSize(60, 60, false, untouched);
    EXPECT_EQ(untouched, QPoint(7, 7));
    TCellGraphic angle;
    angle.SetAngle(-90);
    EXPECT_EQ(angle.CellAngle, 270);
    angle.SetAngle(720);
    EXPECT_EQ(angle.CellAngle, 360);
}

TEST(CellObjectsTest, OwnershipOfCellObjects)
{
    auto g = std::make_unique<TExtStringGrid>();
    platform::Bitmap mine(4, 4);
    g->AddBitmap(1, 1, &mine, false, haLeft, vaTop);
    platform::Bitmap* owned = g->CreateBitmap(1, 2, false, haLeft, vaTop);
    owned->setSize(3, 3);
    EXPECT_EQ(g->GetBitmap(1, 1), &mine);
    g->CreateRadio(2, 2, 0, 0)->Add(QStringLiteral("x"));
    g->AddMultiImage(3, 1, 0, haLeft, vaTop); // without images: nothing
    EXPECT_EQ(g->CellTypes(3, 1), ctEmpty);
    g->AddBalloon(1, 3, QStringLiteral("t"), QStringLiteral("x"), biInfo);
    g.reset(); // the created ones go (LeakSanitizer watches), the caller's bitmap stays
    EXPECT_EQ(mine.width(), 4);
}

TEST(CellObjectsTest, MarkersKeepTheirOwnSpan)
{
    TExtStringGrid g;
    g.AddProgressFormatted(1, 1, platform::clRed, 0, platform::clWhite, 0, QStringLiteral("%d"), 10, 90);
    g.AddMarker(1, 1, 3, 2);
    int pos = 0, len = 0;
    g.GetMarker(1, 1, pos, len);
    EXPECT_EQ(QPoint(pos, len), QPoint(3, 2));
    g.RemoveAllMarkers();
    const TCellGraphic* bar = g.GetCellGraphic(1, 1);
    EXPECT_EQ(bar->CellErrFrom, 10); // the bar's range stays
    EXPECT_EQ(bar->CellErrLen, 90);
    g.GetMarker(1, 1, pos, len);
    EXPECT_EQ(QPoint(pos, len), QPoint(0, 0));
    g.AddMarker(2, 2, 1, 1);
    EXPECT_EQ(g.CellTypes(2, 2), ctEmpty);
    EXPECT_NE(g.GetCellGraphic(2, 2), nullptr);
    g.RemoveMarker(2, 2);
    EXPECT_EQ(g.GetCellGraphic(2, 2), nullptr);
}

TEST(CellObjectsTest, OtherKinds)
{
    TExtStringGrid g;
    g.AddCheckBox(1, 1, true, false);
    g.AddBalloon(1, 1, QStringLiteral("Title"), QStringLiteral("Text"), biWarning);
    QString title, text;
    TBalloonIcon icon = biNone;
    EXPECT_TRUE(g.IsBalloon(1, 1, title, text, icon));
    EXPECT_EQ(title, QStringLiteral("Title"));
    EXPECT_EQ(icon, biWarning);
    EXPECT_FALSE(g.HasBalloon(1, 1));
    g.RemoveBalloon(1, 1);
    EXPECT_TRUE(g.HasCheckBox(1, 1));
    EXPECT_FALSE(g.IsBalloon(1, 1, title, text, icon));

    g.SetRotated(1, 1, 45);
    EXPECT_FALSE(g.HasCheckBox(1, 1));
    int angle = 0;
    EXPECT_TRUE(g.IsRotated(1, 1, angle));
    EXPECT_EQ(angle, 45);

    EXPECT_EQ(g.GetScrollProp(2, 2), (TScrollProp{-1, -1}));
    g.AddScrollBar(2, 2, false);
    g.SetScrollProp(2, 2, TScrollProp{20, 300});
    EXPECT_EQ(g.GetScrollProp(2, 2), (TScrollProp{20, 300}));
    EXPECT_EQ(g.GetExpandHeight(3, 3, true), g.DefaultRowHeight());
    g.AddExpand(3, 3, 60);
    EXPECT_EQ(g.GetExpandHeight(3, 3, true), 60);
    EXPECT_TRUE(g.ToggleExpand(3, 3));
    EXPECT_EQ(g.GetShapeColor(1, 1), platform::clNone);
    g.AddShape(4, 4, csStar, platform::clYellow, platform::clBlack, haLeft, vaTop);
    EXPECT_EQ(g.GetShapeColor(4, 4), platform::clYellow);
    g.SetComment(4, 5, QStringLiteral("note"));
    EXPECT_EQ(g.GetComment(4, 5), QStringLiteral("note"));
    g.SetComment(4, 4, QStringLiteral("ignored")); // another kind is left alone
    EXPECT_EQ(g.CellTypes(4, 4), ctShape);
}

TEST(CellQueriesTest, ColumnFilterListsDistinctValues)
{
    TExtStringGrid g;
    g.SetRowCount(4);
    g.SetCells(1, 1, QStringLiteral("New York"));
    g.SetCells(1, 2, QStringLiteral("Rome"));
    g.SetCells(1, 3, QStringLiteral("Rome"));
    g.FilterDropDownAuto = true;
    EXPECT_TRUE(g.GetColumnFilter(1));
    EXPECT_EQ(g.FilterList().ToStringList(),
              QStringList({QStringLiteral("(All)"), QStringLiteral("New York=\"New York\""), QStringLiteral("Rome")}));
    EXPECT_FALSE(g.GetColumnFilter(0)); // a fixed column
    g.OnGetColumnFilter = [](TExtStringGrid*, int, platform::TStringList& list) { list.Add(QStringLiteral("x")); };
    EXPECT_TRUE(g.GetColumnFilter(0));
}

TEST(CellQueriesTest, FormatsOfFixedAndBandedCellsHaveNoColour)
{
    TExtStringGrid g;
    TCellFormat f;
    g.GetCellFormat(0, 0, f);
    EXPECT_EQ(f.brush.color, platform::clNone);
    g.GetCellFormat(2, 2, f);
    EXPECT_NE(f.brush.color, platform::clNone);
    g.Bands.SetActive(true);
    g.GetCellFormat(2, 2, f);
    EXPECT_EQ(f.brush.color, platform::clNone);
    EXPECT_FALSE(g.HasSpinEdit(0, 2));
}

TEST(RichTextTest, CellsConvertToAndFromRichText)
{
    TExtStringGrid g;
    const QString text = QStringLiteral("caf\u00E9 \u03A9 {x}\\\r\nline 2");
    g.RichToCell(1, 1, text);
    const QString stored = g.Cells(1, 1);
    EXPECT_TRUE(stored.startsWith(QStringLiteral("{\\rtf1")));
    EXPECT_TRUE(stored.contains(QStringLiteral("\\u937?")));
    EXPECT_TRUE(stored.contains(QStringLiteral("\\'e9")));
    EXPECT_EQ(g.CellToRich(1, 1), text);
    g.SetCells(1, 2, QStringLiteral("plain \u03A9"));
    EXPECT_EQ(g.CellToRich(1, 2), QStringLiteral("plain \u03A9"));
    EXPECT_EQ(RichTextToPlain(QStringLiteral("{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\*\\gen x}\\b bold\\b0 \\u-3913?\\'e9}")),
              QStringLiteral("bold\uF0B7\u00E9"));
    EXPECT_EQ(RichTextToPlain(QStringLiteral("{\\rtf1 cut \\'e")), QStringLiteral("cut "));
    g.SetCells(1, 3, QStringLiteral("a\rb"));
    EXPECT_EQ(g.LinesInCell(1, 3), 2);
}

TEST(CellQueriesTest, RowColoursOffTakeOnlyTheColours)
{
    TExtStringGrid g;
    g.AddCheckBox(2, 5, true, false);
    g.SetRowColor(5, platform::clRed);
    g.SetRowColorTo(5, platform::clBlue);
    g.SetRowFontColor(5, platform::clGreen);
    EXPECT_EQ(g.Colors(3, 5), platform::clRed);
    g.SetRowColorTo(5, platform::clNone);
    g.SetRowColor(5, platform::clNone);
    g.SetRowFontColor(5, platform::clNone);
    EXPECT_EQ(g.GetCellType(2, 5), ctCheckBox); // the check box stays
    EXPECT_EQ(g.Colors(2, 5), platform::clNone);
    EXPECT_EQ(g.ColorsTo(3, 5), platform::clNone);
    EXPECT_EQ(g.FontColors(3, 5), platform::clNone);
    EXPECT_EQ(g.Colors(0, 5), platform::clNone); // fixed columns are not coloured
}
