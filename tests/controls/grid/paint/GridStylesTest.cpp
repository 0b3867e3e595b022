// The grid's component styles, colour tones and colour schemes: what each preset writes and
// what it leaves.
#include "controls/grid/paint/GridPaint.h"

#include <QWidget>
#include <gtest/gtest.h>

using namespace controls::grid;
using platform::clNone;

namespace {

class GridStylesTest : public ::testing::Test {
protected:
    GridStylesTest()
    {
        grid = new TExtStringGridPaint(&window);
        grid->setGeometry(0, 0, 300, 200);
    }
    QWidget window;
    TExtStringGridPaint* grid = nullptr;
};

} // namespace

TEST_F(GridStylesTest, EachStyleWritesItsMainColours)
{
    struct Case {
        TVekkoStyle style;
        TGridLook look;
        Color gradFrom, gradTo, activeFrom, line, fixedLine, selection, selectionText, footer, footerTo;
        bool controlLookGradient;
    } cases[] = {
        {tsOffice2003Blue, glXP, 0xFCE1CB, 0xE0A57D, 0x94E6FB, 0xC0C0C0, 0x808080, 0x94E6FB, 0, 0xFCE1CB, clNone, true},
        {tsOffice2003Olive, glXP, 0xCFF0EA, 0x8CC0B1, 0x94E6FB, 0xC0C0C0, 0x808080, 0x94E6FB, 0, 0xCFF0EA, clNone, true},
        {tsOffice2003Classic, glXP, 0xFFFFFF, 0xCCD4D8, 0xD8D5D4, 0xC0C0C0, 0x808080, platform::clHighlight,
         platform::clHighlightText, 0xFFFFFF, clNone, false},
        {tsOffice2007Luna, glOffice2007, 0xFBF9F6, 0xE8DBD2, 0x9DD8F9, 0xF1EDEB, 0xD1BBA4, 0x5EC1F1, 0, 0xFBF9F6, clNone,
         true},
        {tsOffice2007Silver, glOffice2007, 0xF3F3F1, 0xCAC9C8, 0x99CCFF, 0xE5D7D0, 0x808080, 0x95C7F5, 0, 0xF3F3F1, clNone,
         true},
        {tsWindowsVista, glVista, 0xFFFFFF, 0xFFFFFF, 0xFDF8F1, 0xECECF0, 0xD4D2D1, 0xEACAB6, 0, 0xFFFFFF, 0xF4F2F1, false},
        {tsWindows7, glWin7, 0xFDFCFA, 0xFAF0E6, 0xFCEBDC, 0xECECF0, 0xD4D2D1, 0xEACAB6, 0, 0xFDFCFA, 0xF7E9DD, false},
        {tsOffice2010Black, glOffice2007, 0x6A6A6A, 0x6A6A6A, 0x5BD5FF, 0xC0C0C0, 0x444444, 0xFFDBB7, 0, 0x6A6A6A,
         0x6A6A6A, false},
    };
    for (const Case& c : cases) {
        grid->SetComponentStyle(c.style);
        EXPECT_EQ(grid->Style(), c.style);
        EXPECT_EQ(grid->Look(), c.look) << c.style;
        EXPECT_EQ(grid->VekkoGradientFrom(), c.gradFrom) << c.style;
        EXPECT_EQ(grid->VekkoGradientTo(), c.gradTo) << c.style;
        EXPECT_EQ(grid->ActiveCellColor(), c.activeFrom) << c.style;
        EXPECT_EQ(grid->GridLineColor(), c.line) << c.style;
        EXPECT_EQ(grid->GridFixedLineColor(), c.fixedLine) << c.style;
        EXPECT_EQ(grid->SelectionColor(), c.selection) << c.style;
        EXPECT_EQ(grid->SelectionTextColor(), c.selectionText) << c.style;
        EXPECT_EQ(grid->SearchFooter.Color(), c.footer) << c.style;
        EXPECT_EQ(grid->SearchFooter.ColorTo(), c.footerTo) << c.style;
        EXPECT_EQ(grid->ControlLook.FixedGradientFrom(), c.controlLookGradient ? c.gradFrom : clNone) << c.style;
    }
    // The selection styles and sort headers of the styles that set them.
    grid->SetComponentStyle(tsOffice2007Luna);
    EXPECT_EQ(grid->SelectionStyle(), ssOffice2007);
    EXPECT_EQ(grid->ControlLook.FixedGradientDownBorder, 0xE4C19Du);
    grid->SetComponentStyle(tsWindowsVista);
    EXPECT_EQ(grid->SelectionStyle(), ssVista);
    EXPECT_EQ(grid->SortSettings.HeaderMirrorColorTo, 0xF6ECD8u);
    EXPECT_EQ(grid->ControlLook.FixedGradientMirrorFrom(), 0xFAF8F7u);
    grid->SetComponentStyle(tsOffice2010Silver);
    EXPECT_EQ(grid->SortSettings.HeaderColor, 0xAAAAAAu);
    EXPECT_EQ(grid->ControlLook.FixedGradientMirrorTo(), 0xE8E3DFu);
    EXPECT_EQ(grid->VekkoGradHoverFrom, clNone);
}

TEST_F(GridStylesTest, LaterStylesKeepWhatTheyDoNotSet)
{
    grid->SetComponentStyle(tsWindowsVista);
    grid->SetComponentStyle(tsOffice2003Blue);
    // ControlLook hover and down back at their defaults, the grid's hover fields still Vista's.
    EXPECT_EQ(grid->ControlLook.FixedGradientHoverFrom, 0xFFFFFFu);
    EXPECT_EQ(grid->ControlLook.FixedGradientHoverTo, 0x808080u);
    EXPECT_EQ(grid->ControlLook.FixedGradientDownFrom, 0xC0C0C0u);
    EXPECT_EQ(grid->ControlLook.FixedGradientDownBorder, 0x808080u);
    EXPECT_EQ(grid->VekkoGradHoverFrom, 0xFFF7E3u);
    EXPECT_EQ(grid->VekkoGradHoverBorder, 0xE3C993u);
    EXPECT_EQ(grid->SortSettings.HeaderColor, clNone);

    // Whidbey and Custom keep the look.
    grid->SetLook(glSoft);
    grid->SetComponentStyle(tsWhidbey);
    EXPECT_EQ(grid->Look(), glSoft);
    EXPECT_EQ(grid->VekkoGradientFrom(), 0xFFFFFFu);
    grid->SetComponentStyle(tsCustom);
    EXPECT_EQ(grid->Look(), glSoft);
    EXPECT_EQ(grid->VekkoGradientFrom(), 0xFFFFFFu);
    EXPECT_EQ(grid->SelectionColor(), platform::clHighlight);
}

TEST_F(GridStylesTest, ColourTonesMakeAFlatMetroLook)
{
    TColorTones t;
    t.Background = TColorTone{0xFAFAFA, 0xDDDDDD, 0x111111};
    t.Foreground = TColorTone{0x646464, 0x505050, 0xFFFFFF};
    t.Selected = TColorTone{0xCC8844, 0xAA6622, 0xFFFFFF};
    t.Hover = TColorTone{0xEEDDCC, 0xDDCCBB, 0x000000};
    grid->SetColorTones(t);
    EXPECT_EQ(grid->Tones, t);
    EXPECT_EQ(grid->Look(), glClassic);
    EXPECT_TRUE(grid->Flat());
    EXPECT_EQ(grid->ScrollType(), ssMetro);
    EXPECT_EQ(grid->fixedColor(), 0x646464u);
    EXPECT_EQ(grid->FixedFontColor, 0xFFFFFFu);
    EXPECT_EQ(grid->color(), 0xFAFAFAu);
    EXPECT_EQ(grid->FontColor(), 0x111111u);
    EXPECT_EQ(grid->SelectionColor(), 0xCC8844u);
    EXPECT_EQ(grid->SelectionTextColor(), 0xFFFFFFu);
    EXPECT_EQ(grid->GridLineColor(), 0xE6E6E6u);
    EXPECT_EQ(grid->GridFixedLineColor(), 0x505050u); // 20 % darker
    EXPECT_EQ(grid->borderStyle(), platform::TBorderStyle::bsNone);
    EXPECT_EQ(grid->ControlLook.ControlStyle(), csGlyph);
    EXPECT_FALSE(grid->ControlLook.CheckedGlyph.isEmpty());
    EXPECT_TRUE(grid->ControlLook.FlatButton());
    EXPECT_EQ(grid->SearchFooter.ColorTo(), 0x646464u);
    EXPECT_EQ(grid->CellNode.NodeType(), cnFlat);

    // Custom keeps the Metro bars; any other style ends them.
    grid->SetComponentStyle(tsCustom);
    EXPECT_EQ(grid->ScrollType(), ssMetro);
    grid->SetComponentStyle(tsOffice2003Silver);
    EXPECT_EQ(grid->ScrollType(), ssNormal);
}

TEST_F(GridStylesTest, ColourSchemesAndTheOfficeTheme)
{
    const TGridLook look = grid->Look();
    grid->SetTheme(vistaAero);
    EXPECT_EQ(grid->Look(), look);
    EXPECT_EQ(grid->VekkoGradientMirrorFrom(), 0xFAF8F7u);
    EXPECT_EQ(grid->SearchFooter.Color(), 0xECE2E1u); // the gray scheme's, not white
    EXPECT_EQ(grid->SearchFooter.ColorTo(), 0xB39698u);
    EXPECT_EQ(grid->ControlLook.FixedGradientFrom(), 0xFFFFFFu);
    grid->SetTheme(xpNone);
    EXPECT_EQ(grid->ActiveCellColorTo(), 0xFFD9B3u);
    EXPECT_EQ(grid->ControlLook.FixedGradientFrom(), clNone);
    grid->SetTheme(xpGreen);
    EXPECT_EQ(grid->VekkoGradientTo(), 0x8CC0B1u);

    // The scheme found applies its style once.
    EXPECT_EQ(grid->OldOfficeTheme(), otUnknown);
    grid->AdaptToOfficeTheme();
    EXPECT_EQ(grid->OldOfficeTheme(), GetOfficeTheme());
    EXPECT_EQ(grid->Style(), tsOffice2003Classic);
    grid->SetComponentStyle(tsWindows7);
    grid->AdaptToOfficeTheme();
    EXPECT_EQ(grid->Style(), tsWindows7);
}

TEST_F(GridStylesTest, SwitchingAutoThemeAdaptOnFollowsTheOfficeSchemeAtOnce)
{
    // A grid that is already up (not loading) adapts when the setting goes on, not only at loading.
    ASSERT_FALSE(grid->AutoThemeAdapt());
    grid->SetComponentStyle(tsWindows7);
    grid->SetAutoThemeAdapt(true);
    EXPECT_EQ(grid->OldOfficeTheme(), GetOfficeTheme());
    EXPECT_EQ(grid->Style(), tsOffice2003Classic);
    EXPECT_EQ(grid->Look(), glXP);
    // Off and on again with the same scheme installed: the style chosen since stays.
    grid->SetAutoThemeAdapt(false);
    grid->SetComponentStyle(tsWindowsVista);
    grid->SetAutoThemeAdapt(true);
    EXPECT_EQ(grid->Style(), tsWindowsVista);
}

namespace {

struct FakeEditor : IVekkoStyle, IVekkoTones {
    std::vector<TVekkoStyle> styles;
    std::vector<TColorTones> tones;
    void SetComponentStyle(TVekkoStyle s) override { styles.push_back(s); }
    void SetColorTones(const TColorTones& t) override { tones.push_back(t); }
};

} // namespace

TEST_F(GridStylesTest, RegisteredEditorsTakeTheGridsStyleAndTonesAlsoWhenMadeAfterThem)
{
    FakeEditor early, late, tonesOnly;
    grid->SetComponentStyle(tsOffice2007Silver);
    grid->RegisterEditor(&early, &early);
    grid->RegisterEditor(&early, &early); // once only
    ASSERT_EQ(early.styles, std::vector<TVekkoStyle>{tsOffice2007Silver}) << "the style at once";
    EXPECT_TRUE(early.tones.empty()) << "no tones given yet";
    EXPECT_EQ(grid->StyledEditors.size(), 1u);

    TColorTones t;
    t.Background = TColorTone{0xFAFAFA, 0x999999, 0x111111};
    grid->SetColorTones(t);
    ASSERT_EQ(early.tones.size(), 1u);
    EXPECT_EQ(early.tones[0], t);

    grid->RegisterEditor(&late, &late);
    ASSERT_EQ(late.tones.size(), 1u) << "made after the tones: dressed in them at once";
    EXPECT_EQ(late.tones[0], t);
    grid->RegisterEditor(nullptr, &tonesOnly);
    EXPECT_EQ(tonesOnly.tones.size(), 1u);

    grid->SetComponentStyle(tsWindows7);
    EXPECT_EQ(early.styles.back(), tsWindows7);
    EXPECT_EQ(late.styles.back(), tsWindows7);
    EXPECT_TRUE(tonesOnly.styles.empty());
    EXPECT_EQ(early.styles.size(), 2u);
}
