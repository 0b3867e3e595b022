#include "controls/grid/dropdown/rules/ColorPanels.h"
#include "controls/grid/dropdown/rules/ColorTexts.h"
#include "support/QtPrinters.h"

#include <QColor>
#include <QSet>
#include <gtest/gtest.h>

using namespace controls::grid::dropdown;
using namespace platform;

namespace {

TEST(ColorTexts, EveryKindOfText)
{
    const struct {
        Color color;
        TColorValueText kind;
        const char* text;
    } cases[] = {
        {0x807CFF, cvtNone, ""},
        {0x807CFF, cvtHTML, "#FF7C80"},
        {0x807CFF, cvtHex, "807CFF"},
        {0x807CFF, cvtRGB, "Red:255,Green:124,Blue:128"},
        {0x0000FF, cvtHex, "0000FF"},
        {0x00D7FF, cvtWebName, "clWebGold"},
        {0x2100A5, cvtWebName, "#A50021"},
        {0x000000, cvtWebName, "clWebBlack"},
        {0x008000, cvtWebName, "clWebGreen"},
        {0x006400, cvtWebName, "clWebDarkgreen"},
        {0xD3D3D3, cvtWebName, "clWebLightgrey"},
        {0xFFFF00, cvtWebName, "clWebCyan"}, // Cyan comes before any other name of that value
        {clBtnFace, cvtHex, "FF00000F"},     // the value as it is stored
        {clWhite, cvtHTML, "#FFFFFF"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ColorValueText(c.color, c.kind), QString::fromUtf8(c.text)) << c.color << " " << c.kind;
    // System colours resolve before they are named.
    EXPECT_EQ(ColorValueText(clBtnFace, cvtHTML).length(), 7);
    EXPECT_NE(ColorValueText(clBtnFace, cvtHTML), QStringLiteral("#0F0000"));
}

TEST(ColorTexts, WebNamesBothWays)
{
    const auto web = WebColors();
    ASSERT_EQ(web.size(), 138u);
    QSet<Color> seen;
    QSet<QString> names;
    for (const TNamedColor& c : web) {
        const QString name = QString::fromLatin1(c.name);
        EXPECT_TRUE(name.startsWith(QStringLiteral("clWeb"))) << c.name;
        EXPECT_FALSE(names.contains(name)) << c.name;
        names.insert(name);
        // A name's colour gives that name back unless an earlier name holds the same colour.
        const QString back = ColorValueText(c.color, cvtWebName);
        if (seen.contains(c.color)) {
            EXPECT_NE(back, name) << c.name;
        } else {
            EXPECT_EQ(back, name) << c.name;
        }
        seen.insert(c.color);
    }
    // Each value is the colour its CSS keyword names (Qt knows the keywords as SVG colour names).
    for (const TNamedColor& c : web) {
        const QColor css(QString::fromLatin1(c.name).mid(5).toLower());
        ASSERT_TRUE(css.isValid()) << c.name;
        EXPECT_EQ(c.color, Color(css.red() | css.green() << 8 | css.blue() << 16)) << c.name;
    }
    EXPECT_EQ(QString::fromLatin1(web.front().name), QStringLiteral("clWebSnow"));
    EXPECT_EQ(QString::fromLatin1(web.back().name), QStringLiteral("clWebBlack"));
    const auto defaults = DefaultPickerColors();
    ASSERT_EQ(defaults.size(), 16u);
    EXPECT_STREQ(defaults[9].name, "Red");
    EXPECT_EQ(defaults[9].color, 0x0000FFu);
    EXPECT_STREQ(defaults[13].name, "Fuchsia");
}

TEST(ColorCube, CellLayout)
{
    const auto& cells = CubeCells();
    EXPECT_EQ(cells[0].center, QPoint(55, 20));
    EXPECT_EQ(cells[0].color, 0x663300u);
    EXPECT_EQ(cells[63].color, 0xFFFFFFu); // cell 64, the white centre
    EXPECT_EQ(cells[63].center, QPoint(19 + 6 * 12, 80));
    EXPECT_EQ(cells[126].color, 0x2100A5u);
    EXPECT_EQ(cells[126].center, QPoint(55 + 6 * 12, 140));
    // Row lengths 7..13..7.
    int perRow[13] = {};
    for (const auto& c : cells)
        ++perRow[(c.center.y() - 20) / 10];
    const int expected[13] = {7, 8, 9, 10, 11, 12, 13, 12, 11, 10, 9, 8, 7};
    for (int r = 0; r < 13; ++r)
        EXPECT_EQ(perRow[r], expected[r]) << r;
}

TEST(ColorCube, HitTestAtCentresAndEdges)
{
    const struct {
        int x, y;
        int cell;
    } cases[] = {
        {55, 20, 1},          // centre of cell 1
        {55 + 7, 20, 2},      // 7 right of cell 1 lies 5 from cell 2's centre
        {55, 14, 1},          // 6 straight above: inside (the hexagon's tip)
        {60, 24, -1},         // (cx + 5, cy + 4): squared distance 41, outside
        {49 + 6, 30 - 6, 1},  // nearer cell 1 than the cell below it: the first cell wins
        {91, 80, 64},         // the white centre
        {0, 0, -1},
        {181, 159, -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CubeCellAtPos(c.x, c.y), c.cell) << c.x << "," << c.y;
    for (int i = 0; i < 127; ++i) {
        const QPoint p = CubeCells()[size_t(i)].center;
        EXPECT_EQ(CubeCellAtPos(p.x(), p.y()), i + 1);
    }
    const auto hex = CubeHexagon(QPoint(10, 10), 3, 6);
    EXPECT_EQ(hex[0], QPoint(4, 7));
    EXPECT_EQ(hex[1], QPoint(10, 4));
    EXPECT_EQ(hex[4], QPoint(10, 16));
}

TEST(ColorCube, SelectionByColourOrCell)
{
    TCubeSelection s;
    s.Set(0xFFFFFF, -1);
    EXPECT_EQ(s.SelectedIndex, 64);
    s.Set(0x123456, -1);
    EXPECT_EQ(s.SelectedIndex, -1);
    EXPECT_EQ(s.SelectedColor, 0x123456u);
    s.Set(0x663300, 5); // a given cell wins
    EXPECT_EQ(s.SelectedIndex, 5);
}

TEST(ColorSpectrum, Layout)
{
    const TSpectrumLayout l = ArrangeSpectrum();
    EXPECT_EQ(l.panel, QSize(150, 174));
    EXPECT_EQ(l.picture, (Rect{11, 10, 139, 138}));
    EXPECT_EQ(l.selectedSwatch, (Rect{10, 146, 73, 166}));
    EXPECT_EQ(l.hotSwatch, (Rect{77, 146, 140, 166}));
}

TEST(ColorBoxes, ThemeLayoutAndSelection)
{
    TColorBoxModel m;
    m.AddThemeColors();
    ASSERT_EQ(m.Items.size(), 60u);
    EXPECT_EQ(m.ArrangeBoxes(), QSize(165, 84));
    const int rowTops[6] = {4, 20, 32, 44, 56, 68};
    for (int r = 0; r < 6; ++r)
        EXPECT_EQ(m.Items[size_t(r * 10)].rect.top, rowTops[r]) << r;
    EXPECT_EQ(m.Items[9].rect.left, 148);
    int selects = 0;
    m.OnItemSelect = [&] { ++selects; };
    m.SetSelectedColor(0x7F7F7F);
    EXPECT_EQ(m.ItemIndex, 11); // the first of the two boxes holding it
    m.SetSelectedColor(clNone);
    EXPECT_EQ(m.ItemIndex, -1);
    m.SetSelectedColor(0x123456);
    EXPECT_EQ(m.ItemIndex, -1);
    m.SetItemIndex(3);
    m.SetItemIndex(3);
    EXPECT_EQ(selects, 3); // selecting the same box raises the event again
    m.Items[4].enabled = false;
    m.SetItemIndex(4);
    EXPECT_EQ(m.ItemIndex, 3);
    EXPECT_EQ(m.BoxAtPos(5, 5), 0);
    EXPECT_EQ(m.BoxAtPos(17, 5), -1); // the gap between boxes
    TColorBoxModel empty;
    EXPECT_EQ(empty.ArrangeBoxes(), QSize(100, 50));
}

TEST(ColorBoxes, Keys)
{
    TColorBoxModel m;
    m.AddThemeColors();
    m.ArrangeBoxes();
    m.SetItemIndex(15);
    m.HandleKey(VK_LEFT, true, false); // closed popup, editor on: nothing
    EXPECT_EQ(m.ItemIndex, 15);
    m.HandleKey(VK_RIGHT, true, false);
    EXPECT_EQ(m.ItemIndex, 15);
    m.HandleKey(VK_UP, true, false); // closed: the previous box
    EXPECT_EQ(m.ItemIndex, 14);
    m.HandleKey(VK_DOWN, false, true); // open: a row down
    EXPECT_EQ(m.ItemIndex, 24);
    m.HandleKey(VK_UP, false, true);
    EXPECT_EQ(m.ItemIndex, 14);
    m.HandleKey(VK_UP, false, true); // would leave the boxes: stays
    EXPECT_EQ(m.ItemIndex, 4);
    m.HandleKey(VK_UP, false, true);
    EXPECT_EQ(m.ItemIndex, 4);
    m.HandleKey(VK_END, false, true);
    EXPECT_EQ(m.ItemIndex, 59);
    m.HandleKey(VK_PRIOR, false, true);
    EXPECT_EQ(m.ItemIndex, 0);
    m.SetItemIndex(-1);
    m.SelectPrevious(); // from no selection: nothing
    EXPECT_EQ(m.ItemIndex, -1);
    m.SelectNext();
    EXPECT_EQ(m.ItemIndex, 0);
    m.MouseMove(21, 5);
    EXPECT_EQ(m.ItemHot, 1);
    m.MouseLeave();
    EXPECT_EQ(m.ItemHot, -1);
}

} // namespace
