#include "controls/grid/base/GridControls.h"

#include "platform/core/Errors.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QWidget>
#include <gtest/gtest.h>

using namespace controls::grid;

TEST(GridControlsTest, ArrowOutlines)
{
    QWidget owner;
    TArrowWindow left(&owner, arrLeft);
    const QPolygon a = left.Arrow();
    ASSERT_EQ(a.size(), 7);
    EXPECT_EQ(a[4], QPoint(8, 5)); // the tip points right, towards the drop place
    EXPECT_FALSE(left.isVisible());
    EXPECT_EQ(left.ArrowColor(), platform::clLime);
    EXPECT_EQ(TArrowWindow::Outline(arrUp)[0], QPoint(5, 0));
    EXPECT_EQ(TArrowWindow::Outline(arrDown)[4], QPoint(5, 8));
}

TEST(GridControlsTest, ButtonLooksAndDownRules)
{
    QWidget parent;
    TExtGridButton a(&parent), b(&parent);
    EXPECT_EQ(a.size(), QSize(22, 23));
    EXPECT_TRUE(a.Flat());
    EXPECT_EQ(a.Margin(), -1);
    a.SetMargin(-5);
    EXPECT_EQ(a.Margin(), -1);
    a.SetFlat(false);
    a.SetLook(2);
    EXPECT_EQ(a.ColorHotTo, 0x91D0FFu);
    EXPECT_EQ(a.BorderColor, platform::clNone);
    EXPECT_TRUE(a.Flat());

    a.SetDown(true); // neither grouped nor a check button
    EXPECT_FALSE(a.Down());
    a.SetGroupIndex(1);
    b.SetGroupIndex(1);
    a.SetDown(true);
    b.SetDown(true);
    EXPECT_TRUE(b.Down());
    EXPECT_FALSE(a.Down()); // the group lifts the other one
    b.SetDown(false);       // no AllowAllUp: stays down
    EXPECT_TRUE(b.Down());

    platform::Bitmap glyph(2, 1, platform::rgb(30, 60, 90));
    a.SetGlyph(glyph);
    const int grey = 60 / 2 + 96;
    EXPECT_EQ(a.GlyphDisabled().pixel(0, 0), platform::rgb(grey, grey, grey));
}

TEST(GridControlsTest, MasksAndBlur)
{
    platform::Bitmap mask;
    MakeRoundRectMask(mask, 40, 30, 0, 5, 0);
    EXPECT_EQ(mask.pixelFormat(), platform::PixelFormat::pf24bit);
    EXPECT_EQ(mask.pixel(1, 15), platform::clBlack);
    EXPECT_EQ(mask.pixel(2, 15), platform::clWhite); // filled from the 2-pixel inset
    EXPECT_EQ(mask.pixel(20, 15), platform::clWhite);
    EXPECT_EQ(mask.pixel(2, 2), platform::clBlack);  // a curved corner
    MakeRoundRectMask(mask, 40, 30, 4, 5, 0);
    EXPECT_EQ(mask.pixel(1, 15), platform::clBlack);
    EXPECT_EQ(mask.pixel(4, 15), platform::clWhite); // an outline inset 4 pixels
    EXPECT_EQ(mask.pixel(20, 15), platform::clBlack);

    const std::vector<double> kernel = BlurKernel(3);
    EXPECT_LT(kernel.size(), 21u);
    EXPECT_EQ(kernel.size() % 2, 1u);
    double sum = 0;
    for (double w : kernel)
        sum += w;
    EXPECT_NEAR(sum, 1.0, 1e-9);

    platform::Bitmap uniform(60, 50, platform::rgb(200, 100, 50));
    BlurBitmap(uniform, 3);
    for (int y = 0; y < 50; y += 7)
        for (int x = 0; x < 60; x += 7)
            ASSERT_EQ(uniform.pixel(x, y), platform::rgb(200, 100, 50));

    platform::Bitmap wide(10, 10, platform::clWhite, platform::PixelFormat::pf32bit);
    EXPECT_THROW(BlurBitmap(wide, 3), platform::Exception);

    TGridAlphaMask alpha;
    platform::Bitmap grey(4, 4, platform::rgb(128, 128, 128));
    platform::Bitmap colour(4, 4, platform::rgb(200, 100, 0));
    alpha.MergeMask(grey, colour, platform::clNone);
    EXPECT_EQ(alpha.Bitmap().pixelFormat(), platform::PixelFormat::pf32bit);
    EXPECT_EQ(qAlpha(alpha.Bitmap().scanLine(0)[0]), 128);
    EXPECT_EQ(qRed(alpha.Bitmap().scanLine(0)[0]), 100); // premultiplied
    TGridAlphaMask untouched;
    untouched.MergeMask(grey, wide, platform::clNone); // not 24-bit: nothing
    EXPECT_TRUE(untouched.Bitmap().isEmpty());
}

TEST(GridControlsTest, CheckBoxToggles)
{
    TExtCheckBox box;
    EXPECT_EQ(box.size(), QSize(98, 20));
    EXPECT_EQ(box.Caption(), QStringLiteral("TExtCheckBox"));
    box.Toggle();
    EXPECT_TRUE(box.Checked());
    box.ReadOnly = true;
    box.Toggle();
    EXPECT_TRUE(box.Checked());
    box.SetState(cbGrayed);
    EXPECT_FALSE(box.Checked());
}

TEST(GridControlsTest, ButtonFollowsItsLinkedActionAndPopsItsMenu)
{
    TExtGridButton button;
    button.SetCaption(QStringLiteral("Find"));
    QAction action(QStringLiteral("Find"));
    action.setCheckable(true);
    button.SetAction(&action);
    int triggered = 0;
    QObject::connect(&action, &QAction::triggered, [&]() { ++triggered; });
    // The caption follows while it equals the action's.
    action.setText(QStringLiteral("Search"));
    EXPECT_EQ(button.Caption(), QStringLiteral("Search"));
    button.SetCaption(QStringLiteral("Own"));
    action.setText(QStringLiteral("Other"));
    EXPECT_EQ(button.Caption(), QStringLiteral("Own"));
    // The checked state follows only a grouped button that allows all up.
    action.setChecked(true);
    EXPECT_FALSE(button.Down());
    button.SetGroupIndex(1);
    button.AllowAllUp = true;
    action.setChecked(false);
    action.setChecked(true);
    EXPECT_TRUE(button.Down());
    button.Click();
    EXPECT_EQ(triggered, 1);
    button.SetAction(nullptr);
    EXPECT_EQ(button.Action(), nullptr);

    // The drop-down part pops the menu up under the button.
    QWidget parent;
    TExtGridButton drop(&parent);
    drop.resize(40, 22);
    drop.DropDownButton = true;
    QMenu menu;
    menu.addAction(QStringLiteral("item"));
    drop.DropDownMenu = &menu;
    int dropped = 0;
    drop.OnDropDown = [&](TExtGridButton*) { ++dropped; };
    parent.show();
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(35, 10), QPointF(35, 10), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(&drop, &press);
    EXPECT_EQ(dropped, 1);
    EXPECT_TRUE(menu.isVisible());
    menu.hide();
}
