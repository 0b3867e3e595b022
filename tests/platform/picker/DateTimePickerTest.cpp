#include "platform/picker/DateTimePicker.h"

#include "support/QtPrinters.h"

#include <QApplication>
#include <QAbstractItemView>
#include <QCalendarWidget>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QTextCharFormat>
#include <QTest>
#include <QWidget>
#include <cstdlib>
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

TEST_F(PickerTest, HoursStepAndWrapBothWays)
{
    picker->SetKind(dtkTime);
    picker->SetFormat("HH:mm");
    const struct {
        int hour;
        Qt::Key key;
        const char* after;
    } cases[] = {
        {0, Qt::Key_Up, "01:30"}, {0, Qt::Key_Down, "23:30"}, {23, Qt::Key_Up, "00:30"}, {23, Qt::Key_Down, "22:30"},
    };
    for (const auto& c : cases) {
        picker->SetDateTime(EncodeDate(2024, 3, 15) + EncodeTime(c.hour, 30, 0, 0));
        picker->SelectField(0);
        key(c.key);
        EXPECT_EQ(picker->Text(), QString::fromLatin1(c.after)) << c.hour;
    }
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

namespace {

// Pixels of a pure red (the ring of today's date) in a picture of the widget.
int redPixels(QWidget* w)
{
    const QImage img = w->grab().toImage();
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QColor c = img.pixelColor(x, y);
            n += c.red() > 200 && c.green() < 80 && c.blue() < 80;
        }
    return n;
}

} // namespace

TEST_F(PickerTest, TheCalendarTakesItsAlignmentColoursWeekNumbersAndTodayMarks)
{
    // The defaults: left-aligned, no week numbers, the "Today:" line, today ringed.
    picker->SetDateTime(Now());
    key(Qt::Key_F4);
    QCalendarWidget* cal = picker->Calendar();
    ASSERT_NE(cal, nullptr);
    QWidget* popup = cal->window();
    // (The offscreen screen places windows by a constant offset: the edges are compared with
    // each other.)
    const int pickerLeft = popup->frameGeometry().left();
    EXPECT_LE(std::abs(pickerLeft - picker->mapToGlobal(QPoint(0, 0)).x()), 2);
    EXPECT_EQ(cal->verticalHeaderFormat(), QCalendarWidget::NoVerticalHeader);
    auto* today = popup->findChild<QPushButton*>("today");
    ASSERT_NE(today, nullptr);
    EXPECT_EQ(today->text(), "Today: " + DateToStr(Now()));
    EXPECT_GT(redPixels(cal), 0) << "today's date is ringed";
    picker->SetDroppedDown(false);
    QCoreApplication::processEvents();

    picker->CalAlignment = dtaRight;
    picker->WeekNumbers = true;
    picker->ShowToday = false;
    picker->ShowTodayCircle = false;
    picker->CalColors.TitleBackColor = 0x00FF00;  // green
    picker->CalColors.TitleTextColor = 0xFF0000;  // blue
    picker->CalColors.MonthBackColor = 0xF0F0F0;
    picker->CalColors.TrailingTextColor = 0x808080;
    picker->CalColors.TextColor = 0x400000;
    picker->CalColors.BackColor = 0xE0E0E0;
    key(Qt::Key_F4);
    cal = picker->Calendar();
    ASSERT_NE(cal, nullptr);
    popup = cal->window();
    EXPECT_EQ(popup->frameGeometry().right(), pickerLeft + picker->width() - 1) << "the picker's right edge";
    EXPECT_EQ(cal->verticalHeaderFormat(), QCalendarWidget::ISOWeekNumbers);
    EXPECT_EQ(popup->findChild<QPushButton*>("today"), nullptr);
    const QPalette pal = cal->palette();
    EXPECT_EQ(pal.color(QPalette::Active, QPalette::Highlight), QColor(0, 255, 0));
    EXPECT_EQ(pal.color(QPalette::Active, QPalette::HighlightedText), QColor(0, 0, 255));
    EXPECT_EQ(pal.color(QPalette::Active, QPalette::Base), QColor(0xF0, 0xF0, 0xF0));
    EXPECT_EQ(pal.color(QPalette::Disabled, QPalette::Text), QColor(0x80, 0x80, 0x80));
    EXPECT_EQ(pal.color(QPalette::Active, QPalette::Text), QColor(0, 0, 0x40));
    EXPECT_EQ(pal.color(QPalette::Active, QPalette::Window), QColor(0xE0, 0xE0, 0xE0));
    EXPECT_EQ(cal->headerTextFormat().foreground().color(), QColor(0, 255, 0)) << "day names in the title colour";
    EXPECT_EQ(cal->weekdayTextFormat(Qt::Sunday).foreground().color(), QColor(0, 0, 0x40));
    EXPECT_EQ(redPixels(cal), 0) << "no ring, and the weekend is not red";
    picker->SetDroppedDown(false);
    QCoreApplication::processEvents();
}

TEST_F(PickerTest, TheTodayLineChoosesTodayKeepingTheTime)
{
    key(Qt::Key_F4);
    ASSERT_NE(picker->Calendar(), nullptr);
    auto* today = picker->Calendar()->window()->findChild<QPushButton*>("today");
    ASSERT_NE(today, nullptr);
    today->click();
    QCoreApplication::processEvents();
    EXPECT_FALSE(picker->DroppedDown());
    EXPECT_EQ(DateToStr(picker->DateTime()), DateToStr(Now()));
    EXPECT_EQ(iso(picker->DateTime()).mid(11), "10:30:00");
    ASSERT_EQ(events.size(), 3);
    EXPECT_EQ(events[1], "change " + iso(picker->DateTime()));
}

TEST_F(PickerTest, ParseInputTakesTypedTextThroughOnUserInput)
{
    key(Qt::Key_F2);
    EXPECT_EQ(picker->InputEdit(), nullptr) << "only with ParseInput";
    picker->ParseInput = true;

    struct Case {
        const char* name;
        TDateTimeKind kind;
        QString text;
        Qt::Key end;
        QString expected; // the value afterwards
        bool changed;
    };
    const QString april = DateToStr(EncodeDate(2024, 4, 20));
    const Case cases[] = {
        {"a date keeps the time", dtkDate, april, Qt::Key_Return, "2024-04-20 10:30:00", true},
        {"a date and a time", dtkDate, april + " 08:15", Qt::Key_Return, "2024-04-20 08:15:00", true},
        {"no date", dtkDate, "soon", Qt::Key_Return, "2024-03-15 10:30:00", false},
        {"a time alone is no date", dtkDate, "08:15", Qt::Key_Return, "2024-03-15 10:30:00", false},
        {"Escape drops the text", dtkDate, april, Qt::Key_Escape, "2024-03-15 10:30:00", false},
        {"a time keeps the date", dtkTime, "11:45", Qt::Key_Return, "2024-03-15 11:45:00", true},
    };
    for (const Case& c : cases) {
        picker->SetKind(c.kind);
        picker->SetDateTime(EncodeDate(2024, 3, 15) + EncodeTime(10, 30, 0, 0));
        events.clear();
        key(Qt::Key_F2);
        QLineEdit* edit = picker->InputEdit();
        ASSERT_NE(edit, nullptr) << c.name;
        EXPECT_EQ(edit->text(), picker->Text()) << c.name;
        EXPECT_TRUE(edit->hasFocus()) << c.name;
        edit->clear();
        QTest::keyClicks(edit, c.text);
        QTest::keyClick(edit, c.end);
        QCoreApplication::processEvents();
        EXPECT_EQ(picker->InputEdit(), nullptr) << c.name;
        EXPECT_TRUE(picker->hasFocus()) << c.name;
        EXPECT_EQ(iso(picker->DateTime()), c.expected) << c.name;
        EXPECT_EQ(events.size(), c.changed ? 1 : 0) << c.name;
    }

    // The application reads what the format settings cannot, or refuses what they can.
    picker->SetKind(dtkDate);
    picker->SetDateTime(EncodeDate(2024, 3, 15) + EncodeTime(10, 30, 0, 0));
    QStringList seen;
    picker->OnUserInput = [&](QObject*, const QString& text, TDateTime& value, bool& allow) {
        seen << text + (allow ? " readable" : " unreadable");
        if (text == "new year") {
            value = EncodeDate(2025, 1, 1);
            allow = true;
        } else {
            allow = false;
        }
    };
    for (const QString& text : {QString("new year"), april}) {
        key(Qt::Key_F2);
        ASSERT_NE(picker->InputEdit(), nullptr);
        picker->InputEdit()->setText(text);
        QTest::keyClick(picker->InputEdit(), Qt::Key_Return);
    }
    EXPECT_EQ(seen, (QStringList{"new year unreadable", april + " readable"}));
    EXPECT_EQ(iso(picker->DateTime()), "2025-01-01 00:00:00");

    // Leaving the text field for another control hands the text over and leaves the picker.
    picker->OnUserInput = nullptr;
    int exits = 0;
    picker->OnExit = [&](QObject*) { ++exits; };
    QLineEdit other(&window);
    other.show();
    key(Qt::Key_F2);
    ASSERT_NE(picker->InputEdit(), nullptr);
    picker->InputEdit()->setText(april);
    other.setFocus();
    QCoreApplication::processEvents();
    EXPECT_EQ(picker->InputEdit(), nullptr);
    EXPECT_EQ(iso(picker->DateTime()), "2024-04-20 00:00:00");
    EXPECT_EQ(exits, 1);
}
