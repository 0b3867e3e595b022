#include "platform/ui/controls/Controls.h"

#include <QStringList>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

#include "support/QtPrinters.h"

using namespace platform::ctl;

namespace {

// A window with one control of each kind; every event is written to `log`.
struct Fixture : ::testing::Test {
    QWidget window;
    QStringList log;
    Edit* edit = new Edit(&window);
    CheckBox* check = new CheckBox(&window);
    ComboBox* combo = new ComboBox(&window);

    Fixture()
    {
        edit->setObjectName(QStringLiteral("E"));
        edit->setGeometry(10, 10, 100, 21);
        check->setGeometry(10, 40, 100, 17);
        check->setCaption(QStringLiteral("tick"));
        combo->setGeometry(10, 70, 100, 22);
        edit->onChange = [this](Edit& e) { log << QStringLiteral("change:") + e.text(); };
        check->onClick = [this](CheckBox& c) { log << QStringLiteral("click:%1").arg(c.checked()); };
        combo->onChange = [this](ComboBox& c) { log << QStringLiteral("select:%1").arg(c.itemIndex()); };
        combo->setItems({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
    }
};

TEST_F(Fixture, CodeChangesRaiseEventsExceptAListChoice)
{
    edit->setText(QStringLiteral("12"));
    edit->setText(QStringLiteral("12")); // same text: nothing
    check->setChecked(true);
    check->setChecked(true); // same state: nothing
    check->setChecked(false);
    combo->setItemIndex(2);
    combo->setItems({QStringLiteral("X"), QStringLiteral("Y")});
    EXPECT_EQ(log, (QStringList{"change:12", "click:1", "click:0"}));
    EXPECT_EQ(combo->itemIndex(), -1); // new items: nothing chosen
    EXPECT_EQ(combo->text(), QString());
}

TEST_F(Fixture, EventsRunBeforeTheCallReturnsAndNest)
{
    // A handler that changes another control sees that control's handler run inside it.
    edit->onChange = [this](Edit& e) {
        log << QStringLiteral("change-begin");
        check->setChecked(e.text() == QStringLiteral("on"));
        log << QStringLiteral("change-end");
    };
    edit->setText(QStringLiteral("on"));
    log << QStringLiteral("after");
    EXPECT_EQ(log, (QStringList{"change-begin", "click:1", "change-end", "after"}));
}

TEST_F(Fixture, ListPositionOutsideTheItemsChoosesNothing)
{
    for (int index : {-5, -1, 3, 100}) {
        combo->setItemIndex(1);
        combo->setItemIndex(index);
        EXPECT_EQ(combo->itemIndex(), -1) << index;
    }
    combo->setItemIndex(2);
    EXPECT_EQ(combo->text(), QStringLiteral("C"));
    EXPECT_EQ(combo->items(), (QStringList{"A", "B", "C"}));
    EXPECT_TRUE(log.isEmpty());
}

TEST_F(Fixture, UserActionsRaiseEvents)
{
    QTest::keyClicks(edit, QStringLiteral("ab"));
    QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(6, check->height() / 2));
    combo->setItemIndex(0);
    QTest::keyClick(combo, Qt::Key_Down);
    EXPECT_EQ(log, (QStringList{"change:a", "change:ab", "click:1", "select:1"}));
}

TEST_F(Fixture, KeyPressSeesEachCharacterFirstAndCanDropOrReplaceIt)
{
    edit->onKeyPress = [this](Edit&, QChar& key) {
        log << QStringLiteral("key:") + key;
        if (key == QLatin1Char('.'))
            key = QChar();
        else if (key == QLatin1Char(','))
            key = QLatin1Char(';');
    };
    QTest::keyClicks(edit, QStringLiteral("1.,"));
    EXPECT_EQ(edit->text(), QStringLiteral("1;"));
    EXPECT_EQ(log, (QStringList{"key:1", "change:1", "key:.", "key:,", "change:1;"}));
}

TEST_F(Fixture, LengthLimitAppliesToTypingOnly)
{
    edit->setMaxLength(3);
    QTest::keyClicks(edit, QStringLiteral("abcd"));
    EXPECT_EQ(edit->text(), QStringLiteral("abc"));

    // A longer text from a file stays whole, and the user can still shorten it.
    edit->setText(QStringLiteral("abcdef"));
    EXPECT_EQ(edit->text(), QStringLiteral("abcdef"));
    edit->end(false);
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(edit->text(), QStringLiteral("abcde"));
    QTest::keyClicks(edit, QStringLiteral("x"));
    EXPECT_EQ(edit->text(), QStringLiteral("abcde"));
}

TEST_F(Fixture, LowerCaseAppliesToTypingOnly)
{
    edit->setLowerCase(true);
    edit->setText(QStringLiteral("Dev"));
    EXPECT_EQ(edit->text(), QStringLiteral("Dev"));
    edit->end(false);
    QTest::keyClicks(edit, QStringLiteral("AbC"));
    EXPECT_EQ(edit->text(), QStringLiteral("Devabc"));
}

TEST_F(Fixture, CanFocusNeedsEveryContainerVisibleAndEnabled)
{
    auto* box = new GroupBox(&window);
    auto* inner = new Edit(box);
    window.show();
    EXPECT_TRUE(inner->canFocus());
    box->setVisible(false);
    EXPECT_FALSE(inner->canFocus());
    EXPECT_FALSE(inner->visible() == false); // its own flag stays set
    box->setVisible(true);
    box->setEnabled(false);
    EXPECT_FALSE(inner->canFocus());
    box->setEnabled(true);
    inner->setVisible(false);
    EXPECT_FALSE(inner->canFocus());
    inner->setVisible(true);
    window.hide();
    EXPECT_FALSE(inner->canFocus());

    inner->focus();
    EXPECT_TRUE(inner->focused());
    EXPECT_FALSE(edit->focused());
}

TEST(Geometry, BoundsAndBottomInWindowTerms)
{
    QWidget w;
    Label l(&w);
    l.setBounds(16, 24, 60, 13);
    l.setTop(30);
    l.setLeft(20);
    l.setHeight(15);
    EXPECT_EQ(l.left(), 20);
    EXPECT_EQ(l.top(), 30);
    EXPECT_EQ(l.bottom(), 45);
    l.setCaption(QStringLiteral("a longer caption than before"));
    EXPECT_GT(l.width(), 60); // fits its text
    GroupBox g(&w);
    g.setCaption(QStringLiteral(" BACnet "));
    EXPECT_EQ(g.caption(), QStringLiteral(" BACnet "));
}

TEST(ButtonTest, ClickInCodeOrByUserRaisesOnClick)
{
    QWidget w;
    Button b(&w);
    b.setGeometry(0, 0, 11, 11);
    int clicks = 0;
    b.onClick = [&](Button&) { ++clicks; };
    b.click();
    QTest::mouseClick(&b, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(clicks, 2);
}

} // namespace
