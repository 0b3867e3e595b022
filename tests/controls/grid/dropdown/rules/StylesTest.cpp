#include "controls/grid/dropdown/rules/Appearances.h"
#include "controls/grid/dropdown/rules/DropDownDraw.h"
#include "controls/grid/dropdown/rules/DropDownStyles.h"

#include <gtest/gtest.h>

using namespace controls::grid;
using namespace controls::grid::dropdown;
using namespace platform;

namespace {

TEST(DropDownStyles, CustomChangesNothingAndEveryOtherStyleHasRows)
{
    EXPECT_FALSE(PopupStyleColors(tsCustom));
    EXPECT_FALSE(BarButtonStyleColors(tsCustom));
    EXPECT_FALSE(ItemStyleColors(tsCustom));
    for (int s = 0; s <= tsOffice2010Black; ++s) {
        if (s == tsCustom)
            continue;
        EXPECT_TRUE(PopupStyleColors(TVekkoStyle(s))) << s;
        EXPECT_TRUE(BarButtonStyleColors(TVekkoStyle(s))) << s;
        EXPECT_TRUE(ItemStyleColors(TVekkoStyle(s))) << s;
    }
}

TEST(DropDownStyles, PopupRowsOfTheEdgeCases)
{
    const auto blue = *PopupStyleColors(tsOffice2003Blue);
    EXPECT_EQ(blue.header.borderColor, 0x000000u);
    EXPECT_EQ(blue.footer.borderColor, 0x962D00u);
    const auto vista = *PopupStyleColors(tsWindowsVista);
    EXPECT_EQ(vista.header.color, vista.footer.colorTo); // the footer's gradient runs the other way
    EXPECT_EQ(vista.header.colorTo, vista.footer.color);
    for (TVekkoStyle keeps : {tsWindowsXP, tsOffice2003Blue, tsOffice2003Silver})
        EXPECT_FALSE(PopupStyleColors(keeps)->dropDownBorderColor) << keeps;
    EXPECT_EQ(*PopupStyleColors(tsOffice2003Olive)->dropDownBorderColor, clNone);
    EXPECT_EQ(PopupStyleColors(tsOffice2007Luna)->header.fontColor, 0x723708u);
    EXPECT_EQ(PopupStyleColors(tsTerminal)->header.borderColor, clNone);
}

TEST(DropDownStyles, BarButtonSets)
{
    for (TVekkoStyle s : {tsOffice2010Blue, tsOffice2010Silver, tsOffice2010Black}) {
        const auto b = *BarButtonStyleColors(s);
        EXPECT_EQ(b.colorHotTo, clNone);
        EXPECT_EQ(b.colorDownTo, clNone);
        EXPECT_EQ(b.colorCheckedTo, clNone);
    }
    const auto luna = *BarButtonStyleColors(tsOffice2007Luna);
    EXPECT_EQ(luna.color, 0xFFEFE3u);
    EXPECT_EQ(luna.colorTo, 0xFFDDC4u);
    EXPECT_EQ(luna.borderColor, clNone);
    EXPECT_EQ(luna.borderColorChecked, 0x45667Bu);
    EXPECT_EQ(BarButtonStyleColors(tsWindowsXP)->colorDown, clInactiveCaption);
    EXPECT_EQ(BarButtonStyleColors(tsOffice2010Black)->borderColor, 0xD7D7D6u);
}

TEST(DropDownStyles, SelectionPresetsAndItemColours)
{
    EXPECT_EQ(SelectionPresetColors(scOffice2007)->first, 0xD7FFFDu);
    EXPECT_EQ(SelectionPresetColors(scWindows7)->second, 0xFCDBC1u);
    EXPECT_FALSE(SelectionPresetColors(scCustom));
    EXPECT_EQ(SelectionBlockColors(scOffice2007)->mirrorTo, 0xB3F1FCu);
    EXPECT_EQ(SelectionBlockColors(scWindowsVista)->mirror, clNone);
    EXPECT_EQ(ItemStyleColors(tsWindowsXP)->colorSelectedText, clHighlightText);
    EXPECT_EQ(ItemStyleColors(tsOffice2007Silver)->edgeColor, 0xC3D9DFu);
    EXPECT_EQ(ItemStyleColors(tsWhidbey)->borderColorTop, clNone);
}

TEST(DropDownStyles, ListGridRowsAndTheOffice2010Choice)
{
    EXPECT_FALSE(ListGridStyleColors(tsCustom, true));
    for (TVekkoStyle s : {tsOffice2010Blue, tsOffice2010Silver, tsOffice2010Black}) {
        EXPECT_FALSE(ListGridStyleColors(s, false)) << s; // the grid drop-down keeps its colours
        EXPECT_EQ(ListGridStyleColors(s, true)->headerTo, clNone) << s;
    }
    const auto blue = *ListGridStyleColors(tsOffice2003Blue, false);
    EXPECT_EQ(*blue.font, 0xFFFFFFu);
    EXPECT_FALSE(blue.selectionColor);
    EXPECT_EQ(blue.selection, scOffice2007);
    EXPECT_FALSE(ListGridStyleColors(tsOffice2003Silver, false)->font);
    const auto xp = *ListGridStyleColors(tsWindowsXP, false);
    EXPECT_EQ(xp.fixedLine, 0x000000u);
    EXPECT_EQ(*xp.selectionColor, clHighlight);
    EXPECT_EQ(xp.selectionText, clHighlightText);
    EXPECT_EQ(ListGridStyleColors(tsWindows7, false)->selection, scWindows7);
}

TEST(DropDownColours, BlendAndAdjust)
{
    EXPECT_EQ(AdjustColorPercent(0xF9D2B2, -10, -10, 0), 0xF9BDA0u);
    EXPECT_EQ(AdjustColorPercent(0xF5F0E1, -10, -10, 0), 0xF5D8CAu);
    EXPECT_EQ(AdjustColorPercent(0x000000, 5, 0, -5), rgb(5, 0, 0)); // a zero channel is raised
    EXPECT_EQ(AdjustColorPercent(0x000080, 20, 0, 0), 0x000080u);   // no lightening above 100 %
    EXPECT_EQ(BlendColors(0x123456, 0xFFFFFF, 100), 0x123456u);
    EXPECT_EQ(BlendColors(0x123456, 0xFFFFFF, 0), 0xFFFFFFu);
    EXPECT_EQ(BlendColors(0x000000, 0xFFFFFF, 50), 0x808080u);
    EXPECT_EQ(BlendColors(clBtnFace, 0x000000, 100), clBtnFace);
}

TEST(DropDownColours, GradientStepsCoverTheRectangle)
{
    Bitmap bmp(100, 10, clFuchsia);
    {
        Canvas c(bmp);
        DrawGradientSteps(c, clBlack, clWhite, true, Rect{0, 0, 100, 10}, 80);
    }
    EXPECT_EQ(bmp.pixel(0, 5), clBlack);
    EXPECT_EQ(bmp.pixel(99, 5), rgb(252, 252, 252)); // band 79 of 80
    EXPECT_EQ(bmp.pixel(50, 0), bmp.pixel(50, 9));   // full height
    for (int x = 0; x < 100; ++x)
        EXPECT_NE(bmp.pixel(x, 5), clFuchsia) << x;
    Bitmap v(10, 50, clFuchsia);
    {
        Canvas c(v);
        DrawGradientSteps(c, clRed, clBlue, false, Rect{0, 0, 10, 50}, 0); // 0 steps count as one
    }
    EXPECT_EQ(v.pixel(5, 0), clRed);
    EXPECT_EQ(v.pixel(5, 49), clRed);
}

TEST(DropDownAppearances, BarButtonsNotifyExceptHeight)
{
    TFooterAppearance footer;
    int notices = 0;
    footer.OnButtonsChanged = [&] { ++notices; };
    TFooterButton* b = footer.Buttons().Add();
    EXPECT_EQ(notices, 1);
    b->SetCaption(QStringLiteral("OK"));
    b->SetWidth(40);
    b->SetEnabled(false);
    EXPECT_EQ(notices, 4);
    b->Height = 30;
    b->ModalResult = mrOk;
    EXPECT_EQ(notices, 4);
    b->SetCaption(QStringLiteral("OK")); // unchanged
    EXPECT_EQ(notices, 4);

    TFooterAppearance copy;
    int visibleNotices = 0;
    copy.OnChange = [&] { ++visibleNotices; };
    footer.SetVisible(false);
    footer.SizeGrip = false;
    footer.Caption = QStringLiteral("<b>x</b>");
    copy.Assign(&footer);
    EXPECT_EQ(visibleNotices, 1);
    EXPECT_FALSE(copy.SizeGrip);
    ASSERT_EQ(copy.Buttons().Count(), 1);
    EXPECT_EQ(copy.Buttons()[0]->ModalResult, int(mrOk));
    EXPECT_EQ(copy.Buttons()[0]->Height, 30);
    EXPECT_EQ(copy.Caption, footer.Caption);
    THeaderAppearance header; // another kind of bar copies nothing
    header.Assign(&footer);
    EXPECT_TRUE(header.Visible());
    EXPECT_EQ(header.Font.family(), QStringLiteral("Tahoma"));
}

TEST(DropDownAppearances, ButtonAppearanceDefaultsAndAssign)
{
    TExtButtonAppearance a;
    EXPECT_EQ(a.ColorCheckedTo(), 0xF9BDA0u);
    EXPECT_EQ(a.ColorChecked(), 0xF5D8CAu);
    EXPECT_EQ(a.BorderColorDown(), 0x800000u);
    EXPECT_EQ(a.Gradient(), gdVertical);
    int changes = 0;
    TExtButtonAppearance b;
    b.OnChange = [&] { ++changes; };
    a.SetColorHot(0x112233);
    a.SetGradient(gdHorizontal);
    QFont f = a.Font();
    f.setPointSize(20);
    a.SetFont(f);
    b.Assign(&a);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(b.ColorHot(), 0x112233u);
    EXPECT_NE(b.Font().pointSize(), 20); // the font is not copied
}

TEST(DropDownAppearances, ItemAppearancePresets)
{
    TItemAppearance a;
    EXPECT_EQ(a.ColorStyle(), scOffice2007);
    EXPECT_EQ(a.ColorSelectedTo, 0x04B9F4u);
    a.ColorHot = 0x010203;
    a.SetColorStyle(scOffice2007); // same style: the colour stays
    EXPECT_EQ(a.ColorHot, 0x010203u);
    a.SetColorStyle(scWindows7);
    EXPECT_EQ(a.ColorHot, 0xFCEBDCu);
    EXPECT_EQ(a.ColorMirrorSelected, clNone);
    a.SetColorStyle(scCustom);
    EXPECT_EQ(a.ColorHot, 0xFCEBDCu);
    TItemAppearance b;
    a.ColorSelectedText = 0x0000FF;
    b.Assign(&a);
    EXPECT_EQ(b.ColorStyle(), scCustom);
    EXPECT_EQ(b.ColorSelectedText, 0x0000FFu);
    EXPECT_EQ(b.BorderColor, 0xCEA27Du);
}

TEST(DropDownTypes, ModalResultsThatClose)
{
    const struct {
        int result;
        bool closes, cancels;
    } cases[] = {{mrNone, false, false}, {mrOk, true, false},     {mrCancel, true, true},  {mrAbort, true, true},
                 {mrRetry, false, false}, {mrIgnore, true, true}, {mrYes, true, false},   {mrNo, true, true},
                 {mrClose, false, false}, {mrContinue, false, false}, {mrAll, true, false}, {mrNoToAll, true, true},
                 {mrYesToAll, true, false}};
    for (const auto& c : cases) {
        EXPECT_EQ(ModalResultCloses(c.result), c.closes) << c.result;
        EXPECT_EQ(ModalResultCancels(c.result), c.cancels) << c.result;
    }
}

} // namespace
