#include "DropDownFixture.h"
#include "controls/grid/dropdown/TimePickerDropDown.h"

using namespace dropdown_test;
using namespace platform;

namespace {

QString HMS(TDateTime t)
{
    int h = 0, m = 0, s = 0, ms = 0;
    DecodeTime(t, h, m, s, ms);
    return QStringLiteral("%1:%2:%3").arg(h, 2, 10, QLatin1Char('0')).arg(m, 2, 10, QLatin1Char('0')).arg(s, 2, 10, QLatin1Char('0'));
}

class TimePickerTest : public DropDownWindowTest {
protected:
    void SetUp() override
    {
        DropDownWindowTest::SetUp();
        picker = new TExtTimePickerDropDown(&window);
        picker->Animation = false;
        Put(picker, 400, 300);
    }
    TExtTimePickerDropDown* picker = nullptr;
};

TEST_F(TimePickerTest, FieldsStepUnderTheCaret)
{
    EXPECT_EQ(picker->GetText(), QStringLiteral("00:00:00"));
    picker->SetTime(EncodeTime(23, 59, 30, 0));
    EXPECT_EQ(picker->GetText(), QStringLiteral("23:59:30"));
    picker->SetEditorEnabled(true); // as the grid has it
    int changes = 0;
    picker->OnTimeChange = [&](QObject*) { ++changes; };
    picker->InputSetCaret(0);
    Key(picker, Qt::Key_Down);
    EXPECT_EQ(picker->GetText(), QStringLiteral("00:59:30"));
    EXPECT_EQ(picker->InputSelStart(), 0);
    picker->InputSetCaret(7);
    Key(picker, Qt::Key_Up);
    EXPECT_EQ(picker->GetText(), QStringLiteral("00:59:29"));
    picker->InputSetCaret(4);
    Key(picker, Qt::Key_Down);
    EXPECT_EQ(picker->GetText(), QStringLiteral("00:00:29"));
    EXPECT_EQ(changes, 3);
}

TEST_F(TimePickerTest, TypedTimesAndRefusedFields)
{
    picker->SetShowSeconds(false);
    EXPECT_EQ(picker->EditMask(), QStringLiteral("!90:00;1; "));
    EXPECT_EQ(picker->GetText(), QStringLiteral("00:00"));
    picker->SetEditorEnabled(true);
    picker->SetEditText(QStringLiteral("12:34"));
    EXPECT_EQ(HMS(picker->Time()), QStringLiteral("12:34:00"));
    picker->SetEditText(QStringLiteral("25:00")); // out of range: refused
    EXPECT_EQ(HMS(picker->Time()), QStringLiteral("12:34:00"));
    picker->SetShowSeconds(true);
    EXPECT_EQ(picker->GetText(), QStringLiteral("12:34:00"));
}

TEST_F(TimePickerTest, ClockInThePopup)
{
    picker->SetTime(EncodeTime(9, 15, 0, 0));
    Key(picker, Qt::Key_F4);
    ASSERT_TRUE(picker->DroppedDown());
    TExtWatch* watch = picker->Watch();
    ASSERT_TRUE(watch->isVisible());
    EXPECT_EQ(HMS(watch->Time()), QStringLiteral("09:15:00"));
    const TWatchGeometry g = watch->Geometry();
    // Three o'clock on the face sets the hour in the morning half.
    Click(watch, QPoint(g.center.x() + g.radius / 2, g.center.y()));
    EXPECT_EQ(picker->GetText(), QStringLiteral("03:15:00"));
    // Escape puts back the time of the opening.
    Key(picker->DropDownForm(), Qt::Key_Escape);
    EXPECT_FALSE(picker->DroppedDown());
    EXPECT_EQ(picker->GetText(), QStringLiteral("09:15:00"));
    EXPECT_EQ(HMS(picker->Time()), QStringLiteral("09:15:00"));
    // Return keeps what the clock shows; the clock's keys work in the popup.
    Key(picker, Qt::Key_F4);
    Key(picker->DropDownForm(), Qt::Key_PageUp);
    EXPECT_EQ(picker->GetText(), QStringLiteral("10:15:00"));
    Click(watch, QPoint(g.center.x(), g.center.y() - g.radius - 3)); // above the face: minute 0
    EXPECT_EQ(picker->GetText(), QStringLiteral("10:00:00"));
    Key(picker->DropDownForm(), Qt::Key_Return);
    EXPECT_FALSE(picker->DroppedDown());
    EXPECT_EQ(HMS(picker->Time()), QStringLiteral("10:00:00"));
}

TEST_F(TimePickerTest, TimeFieldUnderTheClock)
{
    picker->ShowTimePicker = true;
    picker->SetShowSeconds(false);
    picker->ShowDropDown();
    ASSERT_NE(picker->TimePicker(), nullptr);
    EXPECT_TRUE(picker->TimePicker()->isVisible());
    EXPECT_EQ(picker->TimePicker()->displayFormat(), QStringLiteral("HH:mm"));
    picker->TimePicker()->setTime(QTime(7, 45));
    EXPECT_EQ(HMS(picker->Watch()->Time()), QStringLiteral("07:45:00"));
}

TEST_F(TimePickerTest, WatchLooks)
{
    TExtWatch watch(&window);
    EXPECT_EQ(watch.size(), QSize(180, 180));
    EXPECT_EQ(watch.Appearance().HourFont.font.family(), QStringLiteral("Tahoma"));
    watch.SetStyle(wsClassic); // the same style: nothing
    EXPECT_EQ(watch.Appearance().HourFont.font.family(), QStringLiteral("Tahoma"));
    watch.SetStyle(wsBlack);
    watch.SetStyle(wsClassic);
    EXPECT_EQ(watch.Appearance().HourFont.font.family(), QStringLiteral("Comic Sans MS"));
    const QRect box = watch.AMPMRect();
    EXPECT_TRUE(box.isValid());
    EXPECT_EQ(box.left(), 90 - box.width() / 2);
    watch.SetShowAMPM(false);
    EXPECT_FALSE(watch.AMPMRect().isValid());
    watch.Settings().SetAuto(true);
    EXPECT_TRUE(watch.RunningTimer()->enabled());
    watch.Settings().SetAuto(false);
    EXPECT_FALSE(watch.RunningTimer()->enabled());
    watch.SetComponentStyle(tsWindows7);
    EXPECT_EQ(watch.Appearance().BackgroundColorTo, 0xFDF3EBu);
}

// A click on the AM/PM box switches the half of the day; the box slides (10 ms a step) only
// when it has a fill colour.
TEST_F(TimePickerTest, AMPMBoxSlidesOnlyWithAFillColour)
{
    TExtWatch watch(&window);
    watch.show();
    watch.SetTime(EncodeTime(9, 0, 0, 0));
    const QPoint box = watch.AMPMRect().center();
    Click(&watch, box);
    EXPECT_EQ(HMS(watch.Time()), QStringLiteral("21:00:00"));
    EXPECT_GT(clock.sleeps(), 0);
    const int slid = clock.sleeps();
    watch.Appearance().AMPMColor = clNone;
    Click(&watch, box);
    EXPECT_EQ(HMS(watch.Time()), QStringLiteral("09:00:00"));
    EXPECT_EQ(clock.sleeps(), slid);
}

} // namespace

TEST_F(TimePickerTest, UpAndDownWrapAtTheEndsOfEachField)
{
    picker->SetEditorEnabled(true);
    // Up counts down and Down counts up, each field wrapping within its range.
    const struct {
        int caret;
        Qt::Key key;
        int h, m, s;
        const char* after;
    } cases[] = {
        {0, Qt::Key_Up, 0, 0, 0, "23:00:00"},   {0, Qt::Key_Up, 1, 0, 0, "00:00:00"},
        {0, Qt::Key_Down, 23, 0, 0, "00:00:00"}, {0, Qt::Key_Down, 0, 0, 0, "01:00:00"},
        {3, Qt::Key_Up, 5, 0, 0, "05:59:00"},   {3, Qt::Key_Down, 5, 59, 0, "05:00:00"},
        {6, Qt::Key_Up, 5, 0, 0, "05:00:59"},   {6, Qt::Key_Down, 5, 0, 59, "05:00:00"},
    };
    for (const auto& c : cases) {
        picker->SetTime(EncodeTime(c.h, c.m, c.s, 0));
        picker->InputSetCaret(c.caret);
        Key(picker, c.key);
        EXPECT_EQ(picker->GetText(), QString::fromLatin1(c.after)) << c.h << ":" << c.m << ":" << c.s << " caret " << c.caret;
    }
}
