#include "controls/grid/editors/XgrCombo.h"

#include "platform/draw/Theme.h"

#include <QApplication>
#include <QFocusEvent>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QWidget>
#include <gtest/gtest.h>

using namespace controls::grid;
using platform::Color;
using platform::clNone;

namespace {

class ComboTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        parent.resize(320, 200);
        combo = new TXgrComboBox(&parent);
        combo->setGeometry(40, 30, 120, 22);
        parent.show();
    }

    QImage grab() { return combo->grab().toImage(); }
    static Color px(const QImage& img, int x, int y) { return platform::fromQColor(img.pixelColor(x, y)); }

    void focus(bool in, Qt::FocusReason reason = Qt::OtherFocusReason)
    {
        QFocusEvent e(in ? QEvent::FocusIn : QEvent::FocusOut, reason);
        QApplication::sendEvent(combo, &e);
    }

    void moveMouse(int x, int y)
    {
        QMouseEvent e(QEvent::MouseMove, QPointF(x, y), combo->mapToGlobal(QPointF(x, y)), Qt::NoButton, Qt::NoButton,
                      Qt::NoModifier);
        QApplication::sendEvent(combo, &e);
    }

    QWidget parent;
    TXgrComboBox* combo = nullptr;
};

TEST_F(ComboTest, ButtonWidthTakesFourteenToThirtyTwoOnly)
{
    EXPECT_EQ(combo->ButtonWidth(), 19);
    const struct {
        int value;
        int expected;
    } cases[] = {{13, 19}, {14, 14}, {33, 14}, {32, 32}, {0, 32}, {-1, 32}, {20, 20}};
    for (const auto& c : cases) {
        combo->SetButtonWidth(c.value);
        EXPECT_EQ(combo->ButtonWidth(), c.expected) << "set " << c.value;
    }
}

TEST_F(ComboTest, BorderColourAndFocusBorderColourPrecedence)
{
    const Color red = platform::clRed, blue = platform::clBlue;
    const struct {
        Color border;
        Color focusBorder;
        bool focused;
        Color expected; // clNone: neither colour shows
    } cases[] = {
        {red, clNone, false, red},  {red, clNone, true, red},   {red, blue, false, red},
        {red, blue, true, blue},    {clNone, blue, true, blue}, {clNone, blue, false, clNone},
    };
    for (const auto& c : cases) {
        combo->SetBorderColor(c.border);
        combo->SetFocusBorderColor(c.focusBorder);
        focus(c.focused);
        const QImage img = grab();
        const Color left = px(img, 0, 11), top = px(img, 60, 0), bottom = px(img, 30, 21);
        if (c.expected == clNone) {
            EXPECT_NE(left, red);
            EXPECT_NE(left, blue);
        } else {
            EXPECT_EQ(left, c.expected);
            EXPECT_EQ(top, c.expected);
            EXPECT_EQ(bottom, c.expected);
        }
        focus(false);
    }
}

TEST_F(ComboTest, DisabledThemedControlGetsItsBorderOnlyWithDisabledBorderOff)
{
    const Color themedBorder = platform::rgb(127, 157, 185);
    combo->SetEnabled(false);
    EXPECT_NE(px(grab(), 0, 11), themedBorder); // DisabledBorder is on by default
    combo->SetDisabledBorder(false);
    const QImage img = grab();
    EXPECT_EQ(px(img, 0, 11), themedBorder);
    EXPECT_EQ(px(img, 119, 11), themedBorder);
    platform::SetThemeActive(false);
    EXPECT_NE(px(grab(), 0, 11), themedBorder); // without visual styles the normal border stays
    platform::SetThemeActive(true);
}

TEST_F(ComboTest, ButtonIsDrawnThemedClassicOrInOwnColours)
{
    combo->SetBorderColor(platform::clNavy); // the control paints itself
    {
        platform::CanvasCallLog log;
        grab();
        EXPECT_TRUE(log.calls().join('\n').contains("DrawThemeBackground combobox 1/1 104,1,119,21"))
            << log.calls().join('\n').toStdString();
    }
    moveMouse(115, 10);
    EXPECT_TRUE(combo->ButtonHover());
    {
        platform::CanvasCallLog log;
        grab();
        EXPECT_TRUE(log.calls().join('\n').contains("DrawThemeBackground combobox 1/2")) << log.calls().join('\n').toStdString();
    }
    moveMouse(20, 10);
    EXPECT_FALSE(combo->ButtonHover());
    combo->SetEnabled(false);
    {
        platform::CanvasCallLog log;
        grab();
        EXPECT_TRUE(log.calls().join('\n').contains("DrawThemeBackground combobox 1/4"));
    }
    platform::SetThemeActive(false);
    {
        platform::CanvasCallLog log;
        grab();
        EXPECT_TRUE(log.calls().join('\n').contains("DrawFrameControl 100,2,119,20 3 $105")) << log.calls().join('\n').toStdString();
    }
    combo->SetEnabled(true);
    {
        platform::CanvasCallLog log;
        grab();
        EXPECT_TRUE(log.calls().join('\n').contains("DrawFrameControl 100,2,119,20 3 $4005"));
    }
    platform::SetThemeActive(true);

    // Under visual styles an XP look leaves the button frame alone.
    combo->IsWinXP = true;
    combo->ButtonColor = platform::clRed;
    combo->ButtonColorHot = platform::clLime;
    combo->ButtonBorderColor = platform::clBlack;
    QImage img = grab();
    EXPECT_EQ(px(img, 112, 5), platform::clRed);
    EXPECT_EQ(px(img, 103, 5), platform::clBlack); // the border line at the button's left edge
    moveMouse(115, 10);
    img = grab();
    EXPECT_EQ(px(img, 112, 5), platform::clLime);
}

TEST_F(ComboTest, VistaLookLeavesThePaintingToTheStyle)
{
    combo->IsVista = true;
    combo->SetFlat(true);
    platform::CanvasCallLog log;
    grab();
    EXPECT_FALSE(log.calls().join('\n').contains("combobox"));
    EXPECT_FALSE(log.calls().join('\n').contains("frameRect"));
    log.clear();
    combo->SetBorderColor(platform::clRed); // a border colour is still drawn
    EXPECT_EQ(px(grab(), 0, 11), platform::clRed);
}

TEST_F(ComboTest, ClosingTheListFiresOnDropUpOnce)
{
    int drops = 0;
    combo->OnDropUp = [&](TXgrCustomCombo* sender) {
        EXPECT_EQ(sender, combo);
        ++drops;
    };
    combo->AddItem("a");
    combo->AddItem("b");
    combo->hidePopup(); // not open: nothing closes
    EXPECT_EQ(drops, 0);
    combo->SetDroppedDown(true);
    EXPECT_TRUE(combo->DroppedDown());
    combo->SetDroppedDown(false);
    combo->hidePopup();
    EXPECT_FALSE(combo->DroppedDown());
    EXPECT_EQ(drops, 1);
}

TEST_F(ComboTest, FlatModeTakesTheParentColourAndGivesBackTheLoadedOne)
{
    QPalette p = parent.palette();
    p.setColor(QPalette::Window, QColor(10, 200, 30));
    parent.setPalette(p);
    EXPECT_EQ(combo->GetColor(), platform::clWindow);
    combo->SetFlat(true);
    EXPECT_FALSE(combo->Ctl3D());
    EXPECT_EQ(combo->GetColor(), platform::rgb(10, 200, 30));
    combo->SetFlat(false);
    EXPECT_EQ(combo->GetColor(), platform::clWindow);

    auto* loaded = new TXgrComboBox(&parent);
    loaded->BeginLoading();
    loaded->SetColor(platform::clYellow);
    loaded->Loaded();
    loaded->SetFlat(true);
    EXPECT_EQ(loaded->GetColor(), platform::rgb(10, 200, 30));
    loaded->SetFlat(false);
    EXPECT_EQ(loaded->GetColor(), platform::clYellow);

    // Disabled in flat mode it wears its parent's colour, enabled again its own.
    loaded->SetFlatParentColor(false);
    loaded->SetFlat(true);
    EXPECT_EQ(loaded->GetColor(), platform::clYellow);
    loaded->SetEnabled(false);
    EXPECT_EQ(loaded->GetColor(), platform::rgb(10, 200, 30));
    loaded->SetEnabled(true);
    EXPECT_EQ(loaded->GetColor(), platform::clYellow);
}

TEST_F(ComboTest, FocusColourWhileFocusedThenTheColourOfInit)
{
    combo->SetFocusColor(platform::clYellow);
    combo->Init();
    focus(true, Qt::PopupFocusReason); // the list opening is no focus change
    EXPECT_EQ(combo->GetColor(), platform::clWindow);
    focus(true);
    EXPECT_TRUE(combo->HasFocusState());
    EXPECT_EQ(combo->GetColor(), platform::clYellow);
    focus(false, Qt::PopupFocusReason);
    EXPECT_EQ(combo->GetColor(), platform::clYellow);
    focus(false);
    EXPECT_EQ(combo->GetColor(), platform::clWindow);
}

TEST(LabelPlaceTest, PositionsAroundTheControl)
{
    // Control at (100, 50), 120 x 21; label 40 x 14; margin 4.
    const struct {
        TLabelPosition pos;
        QPoint expected;
    } cases[] = {
        {lpLeftTop, {56, 50}},       {lpLeftCenter, {56, 53}},      {lpLeftBottom, {56, 57}},
        {lpTopLeft, {100, 32}},      {lpBottomLeft, {100, 75}},     {lpLeftTopLeft, {96, 50}},
        {lpLeftCenterLeft, {96, 53}}, {lpLeftBottomLeft, {96, 57}}, {lpTopCenter, {140, 32}},
        {lpBottomCenter, {140, 75}}, {lpRightTop, {224, 50}},       {lpRightCenter, {224, 53}},
        {lpRighBottom, {224, 57}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LabelPlace(c.pos, 100, 50, 120, 21, 40, 14, 4), c.expected) << int(c.pos);
    // A label taller than the control: half of the negative difference truncates toward zero.
    EXPECT_EQ(LabelPlace(lpRightCenter, 100, 50, 120, 10, 40, 15, 4), QPoint(224, 48));
}

TEST_F(ComboTest, LabelFollowsTheControl)
{
    combo->SetLabelPosition(lpRightCenter);
    combo->SetLabelCaption("&Unit");
    ASSERT_NE(combo->ComboLabel(), nullptr);
    QLabel* label = combo->ComboLabel();
    EXPECT_EQ(label->parentWidget(), &parent);
    EXPECT_EQ(label->x(), 40 + 120 + 4);
    EXPECT_EQ(label->y(), 30 + (22 - label->height()) / 2);
    combo->move(10, 100);
    EXPECT_EQ(label->x(), 10 + 120 + 4);
    combo->SetVisible(false);
    EXPECT_FALSE(label->isVisibleTo(&parent));
    combo->SetVisible(true);
    combo->SetEnabled(false);
    EXPECT_FALSE(label->isEnabled());
    combo->SetEnabled(true);
    EXPECT_TRUE(label->isEnabled());

    auto* other = new TXgrComboBox(&parent);
    other->SetLabelAlwaysEnabled(true);
    other->SetLabelCaption("Always");
    other->SetEnabled(false);
    EXPECT_TRUE(other->ComboLabel()->isEnabled());
}

TEST_F(ComboTest, ItemsKeepSelectionAndTypedText)
{
    struct Tag : platform::TObject {};
    Tag tag;
    combo->SetStyle(csDropDown);
    combo->SetText("free text");
    combo->AddItem("Alpha");
    combo->AddItem("Beta", &tag);
    EXPECT_EQ(combo->Text(), "free text");
    EXPECT_EQ(combo->ItemIndex(), -1);
    EXPECT_EQ(combo->ItemObject(1), &tag);
    EXPECT_EQ(combo->ItemObject(5), nullptr);
    EXPECT_EQ(combo->IndexOfItem("beta"), -1); // case matters
    combo->SelectItem("Gamma");
    EXPECT_EQ(combo->ItemIndex(), -1);
    combo->SelectItem("Beta");
    EXPECT_EQ(combo->ItemIndex(), 1);
    EXPECT_EQ(combo->Text(), "Beta");

    combo->SetStyle(csDropDownList);
    combo->SetItemIndex(0);
    combo->SetText("Gamma"); // no such item: the selection stays
    EXPECT_EQ(combo->Text(), "Alpha");
    combo->SetText("Beta");
    EXPECT_EQ(combo->ItemIndex(), 1);
    platform::TStringList items;
    items.Add("x");
    items.Add("y");
    combo->SetItems(items);
    EXPECT_EQ(combo->ItemCount(), 2);
    EXPECT_EQ(combo->ItemIndex(), -1);
    EXPECT_EQ(combo->Items().Strings(1), "y");
}

TEST_F(ComboTest, MaxLengthLimitsTheTypedText)
{
    combo->SetStyle(csDropDown);
    combo->SetMaxLength(3);
    combo->SetText("abcdef");
    EXPECT_EQ(combo->Text(), "abc");
    combo->SetMaxLength(0);
    combo->SetText("abcdef");
    EXPECT_EQ(combo->Text(), "abcdef");
}

} // namespace
