#include "controls/grid/editors/XgrEdit.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

using namespace controls::grid;

namespace {

class EditBtnTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        parent.resize(300, 120);
        edit = new TXgrEditBtn(&parent);
        edit->setGeometry(10, 10, 140, 24);
        unit = new TXgrUnitEditBtn(&parent);
        unit->setGeometry(10, 50, 140, 24);
        unit->SetUnits({"mm", "m", "kWh"});
        edit->OnClickBtn = [this](QObject*) { ++clicks; };
        unit->OnClickBtn = [this](QObject*) { ++clicks; };
        unit->OnUnitChanged = [this](QObject*, const QString& u) { changes << u; };
        parent.show();
        QApplication::setActiveWindow(&parent);
        edit->setFocus();
        QCoreApplication::processEvents();
    }

    QWidget parent;
    TXgrEditBtn* edit = nullptr;
    TXgrUnitEditBtn* unit = nullptr;
    int clicks = 0;
    QStringList changes;
};

TEST_F(EditBtnTest, F4AloneClicksTheButton)
{
    EXPECT_EQ(edit->text(), "0");
    QTest::keyClick(edit, Qt::Key_F4);
    EXPECT_EQ(clicks, 1);
    QTest::keyClick(edit, Qt::Key_F4, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_F4, Qt::AltModifier);
    EXPECT_EQ(clicks, 1);
    // A release on the button clicks it too, and the edit keeps the focus.
    TExtSpeedButton* b = edit->Button()->Button();
    QTest::mouseClick(b, Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
    EXPECT_EQ(clicks, 2);
    EXPECT_TRUE(edit->hasFocus());
    EXPECT_EQ(edit->Button()->geometry().right(), edit->width() - 5 - 1) << "the button at the right edge";
}

TEST_F(EditBtnTest, WithoutTheEditorNothingIsTypedPastedOrCut)
{
    edit->setText("abc");
    edit->SetEditorEnabled(false);
    edit->setCursorPosition(3);
    QTest::keyClicks(edit, "xy");
    QTest::keyClick(edit, Qt::Key_Backspace);
    QApplication::clipboard()->setText("PASTE");
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Insert, Qt::ShiftModifier);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_X, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Delete, Qt::ShiftModifier);
    EXPECT_EQ(edit->text(), "abc");
    QTest::keyClick(edit, Qt::Key_F4);
    EXPECT_EQ(clicks, 1) << "the button still works";
    edit->SetEditorEnabled(true);
    edit->setCursorPosition(3);
    QTest::keyClicks(edit, "d");
    EXPECT_EQ(edit->text(), "abcd");
}

TEST_F(EditBtnTest, TextAndUnitSplitAndJoin)
{
    EXPECT_TRUE(unit->RightAlign());
    EXPECT_EQ(unit->UnitSpace(), 20);
    unit->SetTextAndUnit("12mm");
    EXPECT_EQ(unit->text(), "12");
    EXPECT_EQ(unit->UnitID(), "mm");
    unit->SetTextAndUnit("5m");
    EXPECT_EQ(unit->text(), "5");
    EXPECT_EQ(unit->UnitID(), "m");
    EXPECT_EQ(unit->TextAndUnit(), "5m");
    unit->SetTextAndUnit("7V"); // no unit of the list: unchanged
    EXPECT_EQ(unit->TextAndUnit(), "5m");
    unit->SetTextAndUnit("12.5kWh");
    EXPECT_EQ(unit->text(), "12.5");
    EXPECT_EQ(unit->UnitID(), "kWh");
    unit->SetUnits({"m", "mm"});
    unit->SetTextAndUnit("12mm");
    EXPECT_EQ(unit->UnitID(), "mm");
    unit->SetTextAndUnit("m5m");
    EXPECT_EQ(unit->TextAndUnit(), "12mm");
    unit->SetUnitID("");
    EXPECT_EQ(unit->TextAndUnit(), "12");
}

TEST_F(EditBtnTest, TheUnitMenuChoosesAUnit)
{
    unit->SetTextAndUnit("3m");
    unit->UnitCommand(2); // m again: no change reported
    EXPECT_TRUE(changes.isEmpty());
    unit->UnitCommand(0);
    unit->UnitCommand(4);
    EXPECT_EQ(unit->UnitID(), "m");
    unit->UnitCommand(3);
    EXPECT_EQ(unit->UnitID(), "kWh");
    EXPECT_EQ(changes, QStringList{"kWh"});

    // The button opens the menu after OnClickBtn; the first item is chosen.
    QStringList items;
    QTimer::singleShot(0, [&]() {
        QMenu* menu = unit->UnitMenu();
        ASSERT_NE(menu, nullptr);
        for (QAction* a : menu->actions())
            items << a->text();
        QTest::keyClick(menu, Qt::Key_Down);
        QTest::keyClick(menu, Qt::Key_Return);
    });
    unit->setFocus();
    QTest::keyClick(unit, Qt::Key_F4);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(items, (QStringList{"mm", "m", "kWh"}));
    EXPECT_EQ(unit->UnitID(), "mm");
    EXPECT_EQ(changes, (QStringList{"kWh", "mm"}));
    EXPECT_EQ(unit->UnitMenu(), nullptr) << "the menu exists only while it is open";
}

} // namespace
