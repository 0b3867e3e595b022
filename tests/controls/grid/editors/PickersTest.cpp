#include "controls/grid/editors/ExtDateTimePicker.h"
#include "controls/grid/editors/XgrDateTimePicker.h"

#include "platform/draw/Theme.h"

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

using namespace controls::grid;
using platform::EncodeDate;
using platform::EncodeTime;

namespace {

QString iso(TDateTime dt)
{
    int y, m, d, h, n, s, ms;
    platform::DecodeDate(dt, y, m, d);
    platform::DecodeTime(dt, h, n, s, ms);
    return QString::asprintf("%04d-%02d-%02d %02d:%02d:%02d.%03d", y, m, d, h, n, s, ms);
}

Color px(const QImage& img, int x, int y) { return platform::fromQColor(img.pixelColor(x, y)); }

class PickersTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        window.resize(400, 200);
        window.show();
        QApplication::setActiveWindow(&window);
    }
    void settle()
    {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }

    QWidget window;
};

TEST_F(PickersTest, TheFlatPickerLooksLikeThePlatformsUntilItsOwnPaintingIsOn)
{
    auto* plain = new platform::TDateTimePicker(&window);
    auto* flat = new TXgrDateTimePicker(&window);
    EXPECT_EQ(flat->Version(), "1.0.0.0");
    EXPECT_TRUE(flat->Ctl3D);
    EXPECT_EQ(flat->BorderStyle(), pbsNone);
    EXPECT_EQ(flat->ButtonWidth(), 19);
    plain->SetButtonWidth(19);
    for (platform::TDateTimePicker* p : {plain, static_cast<platform::TDateTimePicker*>(flat)}) {
        p->setGeometry(10, 10, 150, 22);
        p->SetDateTime(EncodeDate(2024, 3, 15));
    }
    EXPECT_EQ(plain->grab().toImage(), flat->grab().toImage());

    // Own painting with a border colour: the border, and the own button.
    flat->SetMetroStyle(true);
    flat->SetBorderColor(platform::clRed);
    flat->ButtonColor = platform::clLime;
    const QImage own = flat->grab().toImage();
    EXPECT_EQ(px(own, 0, 0), platform::clRed);
    EXPECT_EQ(px(own, 149, 21), platform::clRed);
    EXPECT_EQ(px(own, 150 - 4, 4), platform::clLime) << "the button in its own colour";

    // A time keeps the platform's up-down arrows: no own button, but the border.
    flat->SetKind(platform::dtkTime);
    plain->SetKind(platform::dtkTime);
    const QImage time = flat->grab().toImage();
    const QImage plainTime = plain->grab().toImage();
    EXPECT_EQ(px(time, 0, 0), platform::clRed);
    EXPECT_EQ(px(time, 150 - 8, 6), px(plainTime, 150 - 8, 6));
    EXPECT_NE(px(time, 150 - 8, 6), platform::clLime);
}

TEST_F(PickersTest, ADisabledThemedPickerWithoutDisabledBorderIsFramed)
{
    auto* flat = new TXgrDateTimePicker(&window);
    flat->setGeometry(10, 40, 150, 22);
    flat->SetMetroStyle(true);
    flat->setEnabled(false);
    EXPECT_FALSE(flat->DisabledBorder);
    const QImage img = flat->grab().toImage();
    EXPECT_EQ(px(img, 0, 0), platform::rgb(127, 157, 185));
    EXPECT_EQ(px(img, 149, 10), platform::rgb(127, 157, 185));
    flat->DisabledBorder = true;
    EXPECT_NE(px(flat->grab().toImage(), 0, 0), platform::rgb(127, 157, 185));
}

TEST_F(PickersTest, DateTimeValuesAndTheTimeField)
{
    TExtDateTimePicker picker(&window);
    picker.setGeometry(10, 10, 220, 22);
    picker.show();
    EXPECT_EQ(picker.Version(), "1.2.0.0");
    EXPECT_EQ(picker.ExtKind(), dkDateTime);
    ASSERT_NE(picker.TimePicker(), nullptr);
    picker.SetDateTime(EncodeDate(2024, 3, 15) + EncodeTime(10, 20, 30, 450));
    EXPECT_EQ(iso(picker.DateTime()), "2024-03-15 10:20:30.000") << "milliseconds are dropped";
    EXPECT_EQ(iso(picker.TimePicker()->DateTime()), "2024-03-15 10:20:30.000");
    picker.SetDate(EncodeDate(2025, 1, 2) + EncodeTime(23, 0, 0, 0));
    EXPECT_EQ(iso(picker.DateTime()), "2025-01-02 10:20:30.000") << "a date keeps the current time";
    // The time typed in the time field is the picker's time.
    picker.TimePicker()->setFocus();
    QTest::keyClicks(picker.TimePicker(), "08");
    EXPECT_EQ(iso(picker.DateTime()), "2025-01-02 08:20:30.000");
    EXPECT_EQ(iso(picker.Time()), "1899-12-30 08:20:30.000");
    EXPECT_TRUE(picker.TimePicker()->isVisible());
    EXPECT_LT(picker.TimePicker()->geometry().right(), picker.width());

    picker.SetExtKind(dkDate);
    EXPECT_EQ(picker.TimePicker(), nullptr) << "a date alone frees the time field";
    EXPECT_EQ(picker.Kind(), platform::dtkDate);
    picker.SetExtKind(dkTime);
    EXPECT_EQ(picker.Kind(), platform::dtkTime);
    EXPECT_EQ(picker.TimePicker(), nullptr);
    picker.SetExtKind(dkDateTime);
    EXPECT_NE(picker.TimePicker(), nullptr);
}

TEST_F(PickersTest, AutoTabMovesOnAfterADigitThatChangedTheValue)
{
    TExtDateTimePicker picker(&window);
    picker.setGeometry(10, 10, 240, 22);
    picker.SetFormat("dd/MM/yyyy");
    picker.SetAutoTab(true);
    picker.SetDateTime(EncodeDate(2024, 3, 15) + EncodeTime(9, 0, 0, 0));
    picker.show();
    picker.setFocus();
    settle();
    const int day = picker.SelectedField();
    QTest::keyClicks(&picker, "1"); // may start 1x: no change, no move
    settle();
    EXPECT_EQ(picker.SelectedField(), day);
    QTest::keyClicks(&picker, "2"); // day 12: on to the month
    settle();
    EXPECT_EQ(picker.SelectedField(), day + 2);
    QTest::keyClicks(&picker, "3"); // month 3 as it was: the value stays, nothing moves
    settle();
    EXPECT_EQ(picker.SelectedField(), day + 2);
    QTest::keyClicks(&picker, "4"); // April: on to the year
    settle();
    EXPECT_EQ(picker.SelectedField(), day + 4);
    EXPECT_EQ(iso(picker.DateTime()), "2024-04-12 09:00:00.000");
    QTest::keyClicks(&picker, "2025"); // the year, the last field: the time field takes over
    settle();
    EXPECT_TRUE(picker.TimePicker()->hasFocus());
    // In the time field a changed hour moves on to the minutes.
    const int hour = picker.TimePicker()->SelectedField();
    QTest::keyClicks(picker.TimePicker(), "7");
    settle();
    EXPECT_EQ(picker.TimePicker()->SelectedField(), hour + 2);
    EXPECT_EQ(iso(picker.DateTime()), "2025-04-12 07:00:00.000");
}

TEST_F(PickersTest, TheCheckBoxEnablesTheTimeFieldAndNotificationsGoOn)
{
    TExtDateTimePicker picker(&window);
    picker.setGeometry(10, 10, 240, 22);
    picker.SetShowCheckbox(true);
    QStringList events;
    picker.OnDropDown = [&](QObject*) { events << "dropdown"; };
    picker.OnCloseUp = [&](QObject*) { events << "closeup"; };
    picker.OnChange = [&](QObject*) { events << "change"; };
    picker.show();
    picker.setFocus();
    settle();
    ASSERT_NE(picker.TimePicker(), nullptr);
    EXPECT_TRUE(picker.TimePicker()->isEnabled());
    QTest::keyClick(&picker, Qt::Key_Space); // clears the box
    EXPECT_FALSE(picker.Checked());
    EXPECT_FALSE(picker.TimePicker()->isEnabled());
    QTest::keyClick(&picker, Qt::Key_Space);
    EXPECT_TRUE(picker.TimePicker()->isEnabled());
    picker.SetChecked(false);
    EXPECT_FALSE(picker.TimePicker()->isEnabled());
    picker.SetDateTime(EncodeDate(2024, 1, 1));
    EXPECT_TRUE(picker.TimePicker()->isEnabled()) << "a new value checks the box and enables the time field";
    // The drop-down and close-up reach their events with the check box too.
    picker.SetDroppedDown(true);
    picker.SetDroppedDown(false);
    settle();
    EXPECT_EQ(events, (QStringList{"change", "change", "dropdown", "closeup"}));
}

TEST_F(PickersTest, TheCaptionLabelStandsBesideThePicker)
{
    TExtDateTimePicker picker(&window);
    picker.setGeometry(100, 50, 200, 40);
    picker.show();
    int clicks = 0;
    picker.OnLabelClick = [&](QObject*) { ++clicks; };
    picker.SetLabelCaption("Start");
    QLabel* label = picker.PickerLabel();
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->parentWidget(), &window);
    EXPECT_EQ(label->geometry().right() + 1, 100 - 4) << "left of the picker by the margin";
    picker.SetLabelPosition(lpRightCenter);
    EXPECT_EQ(label->x(), 100 + 200 + 4);
    EXPECT_EQ(label->y(), 50 + (40 - label->height()) / 2);
    QTest::mouseClick(label, Qt::LeftButton);
    EXPECT_EQ(clicks, 1);
    picker.SetFocusLabel(true);
    picker.setFocus();
    settle();
    EXPECT_TRUE(label->font().bold());
}

} // namespace
