#include "platform/picker/DateTimePicker.h"

#include "support/QtPrinters.h"

#include <QApplication>
#include <QAbstractItemView>
#include <QCalendarWidget>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

using namespace platform;

namespace {

QString iso(TDateTime dt)
{
    int y, m, d, h, n, s, ms;
    DecodeDate(dt, y, m, d);
    DecodeTime(dt, h, n, s, ms);
    return QString::asprintf("%04d-%02d-%02d %02d:%02d:%02d", y, m, d, h, n, s);
}

class PickerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        window.resize(300, 100);
        picker = new TDateTimePicker(&window);
        picker->setGeometry(10, 10, 160, 22);
        picker->SetDateTime(EncodeDate(2024, 3, 15) + EncodeTime(10, 30, 0, 0));
        picker->OnChange = [this](QObject*) { events << "change " + iso(picker->DateTime()); };
        picker->OnDropDown = [this](QObject*) { events << "dropdown"; };
        picker->OnCloseUp = [this](QObject*) { events << "closeup"; };
        window.show();
        QApplication::setActiveWindow(&window);
        picker->setFocus();
        QCoreApplication::processEvents();
    }
    void TearDown() override { ResetFormatSettings(); }
    void key(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) { QTest::keyClick(picker, k, m); }
    void type(const char* s) { QTest::keyClicks(picker, QString::fromLatin1(s)); }

    QWidget window;
    TDateTimePicker* picker = nullptr;
    QStringList events;
};

TEST_F(PickerTest, FieldsFollowTheFormat)
{
    EXPECT_EQ(picker->Text(), "15/03/2024") << "the locale's short date format";
    picker->SetFormat("dd MMM yyyy");
    EXPECT_EQ(picker->Text(), "15 Mar 2024");
    picker->SetFormat("dddd, d'.' MMMM yy");
    EXPECT_EQ(picker->Text(), "Friday, 15. March 24");
    picker->SetFormat("");
    picker->SetKind(dtkTime);
    EXPECT_EQ(picker->Text(), "10:30:00");
    picker->SetFormat("h:mm tt");
    EXPECT_EQ(picker->Text(), "10:30 AM");
    TFormatSettings fs;
    fs.ShortDateFormat = "yyyy-mm-dd";
    fs.DateSeparator = u'-';
    SetFormatSettings(fs);
    picker->SetKind(dtkDate);
    picker->SetFormat("");
    EXPECT_EQ(picker->Text(), "2024-03-15") << "the locale is read at each use";
}

TEST_F(PickerTest, ArrowsMoveBetweenAndStepTheFields)
{
    key(Qt::Key_Up); // day
    EXPECT_EQ(iso(picker->DateTime()), "2024-03-16 10:30:00");
    key(Qt::Key_Right);
    key(Qt::Key_Down); // month
    EXPECT_EQ(iso(picker->DateTime()), "2024-02-16 10:30:00");
    key(Qt::Key_Right);
    key(Qt::Key_Right); // stays on the year, the last field
    key(Qt::Key_Up);
    EXPECT_EQ(iso(picker->DateTime()), "2025-02-16 10:30:00");
    key(Qt::Key_Left);
    key(Qt::Key_Left);
    picker->SetDate(EncodeDate(2024, 1, 31));
    key(Qt::Key_Up); // the day wraps within its month
    EXPECT_EQ(iso(picker->DateTime()), "2024-01-01 10:30:00");
    key(Qt::Key_Right);
    picker->SetDate(EncodeDate(2024, 1, 31));
    key(Qt::Key_Up); // a month on: the day is cut
    EXPECT_EQ(iso(picker->DateTime()), "2024-02-29 10:30:00");
    EXPECT_EQ(events.size(), 5);
}

TEST_F(PickerTest, DigitsTypeIntoTheSelectedField)
{
    type("1");
    EXPECT_EQ(iso(picker->DateTime()), "2024-03-15 10:30:00") << "a 1 may start 1x: held";
    EXPECT_TRUE(events.isEmpty());
    type("2");
    EXPECT_EQ(iso(picker->DateTime()), "2024-03-12 10:30:00");
    type("4"); // no day 4x: set at once
    EXPECT_EQ(iso(picker->DateTime()), "2024-03-04 10:30:00");
    key(Qt::Key_Right);
    type("1");
    key(Qt::Key_Right); // leaving the field sets what was typed
    EXPECT_EQ(iso(picker->DateTime()), "2024-01-04 10:30:00");
    type("20");
    EXPECT_EQ(iso(picker->DateTime()), "2024-01-04 10:30:00") << "a year takes four digits";
    type("31");
    EXPECT_EQ(iso(picker->DateTime()), "2031-01-04 10:30:00");
    EXPECT_EQ(events, (QStringList{"change 2024-03-12 10:30:00", "change 2024-03-04 10:30:00",
                                   "change 2024-01-04 10:30:00", "change 2031-01-04 10:30:00"}));
    // Days beyond the month's end are cut to it; letters type nothing.
    picker->SetDate(EncodeDate(2024, 4, 10));
    picker->SelectField(0);
    type("3x1");
    EXPECT_EQ(iso(picker->DateTime()), "2024-04-30 10:30:00");
}

TEST_F(PickerTest, TimesAndTheTwelveHourClock)
{
    picker->SetKind(dtkTime);
    picker->SetFormat("hh:mm tt");
    type("3");
    EXPECT_EQ(iso(picker->DateTime()), "2024-03-15 03:30:00");
    key(Qt::Key_Right);
    key(Qt::Key_Right);
    type("p");
    EXPECT_EQ(iso(picker->DateTime()), "2024-03-15 15:30:00");
    key(Qt::Key_Down);
    EXPECT_EQ(iso(picker->DateTime()), "2024-03-15 03:30:00");
    picker->SetFormat("HH:mm:ss");
    type("23");
    key(Qt::Key_Up);
    EXPECT_EQ(iso(picker->DateTime()), "2024-03-15 00:30:00") << "hours wrap";
}

TEST_F(PickerTest, LimitsHoldTheValue)
{
    picker->SetMinDate(EncodeDate(2024, 3, 10));
    picker->SetMaxDate(EncodeDate(2024, 3, 20));
    picker->SetDate(EncodeDate(2024, 5, 1));
    EXPECT_EQ(iso(picker->DateTime()), "2024-03-20 00:00:00");
    picker->SetDate(EncodeDate(2024, 3, 12));
    picker->SelectField(2);
    key(Qt::Key_Down);
    EXPECT_EQ(iso(picker->DateTime()), "2024-03-10 00:00:00");
}

TEST_F(PickerTest, TheCalendarPicksADay)
{
    key(Qt::Key_F4);
    ASSERT_TRUE(picker->DroppedDown());
    QCalendarWidget* cal = picker->Calendar();
    ASSERT_NE(cal, nullptr);
    EXPECT_EQ(cal->selectedDate(), QDate(2024, 3, 15));
    // A week on with the keyboard, taken with Enter.
    QAbstractItemView* days = cal->findChild<QAbstractItemView*>();
    ASSERT_NE(days, nullptr);
    QTest::keyClick(days, Qt::Key_Down);
    QTest::keyClick(days, Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_FALSE(picker->DroppedDown());
    EXPECT_EQ(iso(picker->DateTime()), "2024-03-22 10:30:00") << "the time stays";
    EXPECT_EQ(events, (QStringList{"dropdown", "change 2024-03-22 10:30:00", "closeup"}));
    // Alt+Down drops it too; closing it without a choice changes nothing.
    events.clear();
    key(Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(picker->DroppedDown());
    picker->SetDroppedDown(false);
    QCoreApplication::processEvents();
    EXPECT_EQ(events, (QStringList{"dropdown", "closeup"}));
    // A time has no calendar.
    picker->SetKind(dtkTime);
    key(Qt::Key_F4);
    EXPECT_FALSE(picker->DroppedDown());
}

TEST_F(PickerTest, TheCheckBoxClearsAndSetsTheValue)
{
    std::vector<int> flags;
    picker->OnChange = nullptr;
    picker->SetShowCheckbox(true);
    EXPECT_TRUE(picker->Checked());
    struct Spy : TDateTimePicker {
        using TDateTimePicker::TDateTimePicker;
        std::vector<int>* flags = nullptr;
        void WMNotify(TDTNotify& msg) override
        {
            if (msg.Code == DTN_DATETIMECHANGE)
                flags->push_back(msg.Flags);
            TDateTimePicker::WMNotify(msg);
        }
    };
    auto* spy = new Spy(&window);
    spy->flags = &flags;
    spy->SetShowCheckbox(true);
    spy->show();
    spy->setFocus();
    QTest::keyClick(spy, Qt::Key_Space);
    EXPECT_FALSE(spy->Checked());
    QTest::keyClick(spy, Qt::Key_Up); // stepping checks it again
    EXPECT_TRUE(spy->Checked());
    EXPECT_EQ(flags, (std::vector<int>{GDT_NONE, GDT_VALID}));
    spy->SetChecked(false); // from code: no notification
    EXPECT_FALSE(spy->Checked());
    EXPECT_EQ(flags.size(), 2u);
}

} // namespace
