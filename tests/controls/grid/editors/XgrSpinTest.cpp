#include "controls/grid/editors/XgrSpin.h"

#include "platform/core/DateTime.h"
#include "support/FakeProcess.h"
#include "support/QtPrinters.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

using namespace controls::grid;
using platform::EncodeDate;
using platform::EncodeTime;

namespace {

class SpinTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        previousBeep = SetMessageBeepHandler([this] { ++beeps; });
        parent.resize(300, 120);
        spin = new TXgrSpinEdit(&parent);
        spin->setGeometry(10, 10, 120, 24);
        parent.show();
        QApplication::setActiveWindow(&parent);
        spin->setFocus();
        QCoreApplication::processEvents();
    }
    void TearDown() override
    {
        SetMessageBeepHandler(previousBeep);
        platform::ResetFormatSettings();
    }

    void key(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) { QTest::keyClick(spin, k, m); }
    void type(const QString& s)
    {
        for (QChar ch : s)
            QTest::keyClick(spin, ch.toLatin1());
    }
    void setText(const QString& s, int caret)
    {
        spin->setText(s);
        spin->setCursorPosition(caret);
    }
    void press(TExtTimerSpeedButton* b)
    {
        QTest::mousePress(b, Qt::LeftButton, Qt::NoModifier, QPoint(b->width() / 2, b->height() / 2));
    }
    void release(TExtTimerSpeedButton* b, QPoint at)
    {
        QTest::mouseRelease(b, Qt::LeftButton, Qt::NoModifier, at);
    }

    QWidget parent;
    TXgrSpinEdit* spin = nullptr;
    int beeps = 0;
    std::function<void()> previousBeep;
};

TEST_F(SpinTest, IntegerValuesReadAndClamp)
{
    EXPECT_EQ(spin->text(), "0");
    EXPECT_EQ(spin->SpinType(), sptNormal);
    spin->setText("");
    EXPECT_EQ(spin->Value(), 0);
    spin->MinValue = 5;
    spin->MaxValue = 100;
    spin->setText("12a");
    EXPECT_EQ(spin->Value(), 5);
    spin->SetValue(150);
    EXPECT_EQ(spin->text(), "100");
    spin->MinValue = spin->MaxValue = 0;
    spin->SetValue(150);
    EXPECT_EQ(spin->text(), "150");
    spin->SetValue(-7);
    EXPECT_EQ(spin->text(), "-7");
}

TEST_F(SpinTest, ArrowsAndPagesStepEachKindOfValue)
{
    spin->SetValue(10);
    key(Qt::Key_Up);
    key(Qt::Key_Up);
    key(Qt::Key_Down);
    EXPECT_EQ(spin->Value(), 11);
    spin->Increment = 5;
    key(Qt::Key_PageUp); // integers step by Increment, page or not
    EXPECT_EQ(spin->Value(), 16);
    spin->SetValue(98);
    key(Qt::Key_PageUp);
    EXPECT_EQ(spin->Value(), 100) << "the maximum holds";

    spin->SetSpinType(sptFloat);
    spin->SetFloatValue(1.5);
    key(Qt::Key_Up);
    EXPECT_EQ(spin->text(), "1.6");
    key(Qt::Key_PageDown);
    EXPECT_EQ(spin->text(), "0.6");
    key(Qt::Key_PageDown);
    EXPECT_EQ(spin->text(), "0") << "the float minimum holds";
    spin->SetPrecision(2);
    EXPECT_EQ(spin->text(), "0.00");
    spin->setText("abc");
    spin->MinFloatValue = -1;
    EXPECT_DOUBLE_EQ(spin->FloatValue(), -1.0) << "a text that is no number reads as the float minimum";

    spin->SetSpinType(sptDate);
    spin->SetDateValue(EncodeDate(2024, 1, 31));
    EXPECT_EQ(spin->text(), "31/01/2024");
    spin->setCursorPosition(4); // the month
    key(Qt::Key_Up);
    EXPECT_EQ(spin->text(), "29/02/2024");
    EXPECT_EQ(spin->cursorPosition(), 4) << "the caret stays in its field";
    spin->setCursorPosition(8); // the year
    key(Qt::Key_Up);
    EXPECT_EQ(spin->text(), "28/02/2025");
    spin->setCursorPosition(0); // the day
    key(Qt::Key_Down);
    EXPECT_EQ(spin->text(), "27/02/2025");

    spin->SetSpinType(sptTime);
    spin->SetTimeValue(0);
    EXPECT_EQ(spin->text(), "00:00:00");
    spin->setCursorPosition(0);
    key(Qt::Key_Down);
    EXPECT_EQ(spin->text(), "23:00:00");
    spin->ShowSeconds = false;
    spin->SetTimeValue(EncodeTime(9, 5, 0, 0));
    EXPECT_EQ(spin->text(), "9:05");
    spin->setCursorPosition(3);
    key(Qt::Key_Up);
    EXPECT_EQ(spin->text(), "9:06");
}

TEST_F(SpinTest, ANewDateEditorReadsToday)
{
    testing_support::FakeClock clock;
    spin->setText("0");
    EXPECT_DOUBLE_EQ(spin->DateValue(), platform::Now());
    spin->setText("");
    EXPECT_DOUBLE_EQ(spin->DateValue(), platform::Now());
    spin->MinDateValue = EncodeDate(2000, 1, 1);
    spin->setText("31/02/2024");
    EXPECT_DOUBLE_EQ(spin->DateValue(), EncodeDate(2000, 1, 1));
    spin->MinDateValue = 0;
    spin->setText("0");
    spin->SetSpinType(sptDate);
    EXPECT_EQ(spin->text(), platform::DateToStr(platform::Now())) << "the type setter rewrites the value";
}

TEST_F(SpinTest, TypedCharactersAreFilteredWithABeep)
{
    setText("", 0);
    type("-12");
    EXPECT_EQ(spin->text(), "-12");
    EXPECT_EQ(beeps, 0);
    type("-.a");
    EXPECT_EQ(spin->text(), "-12");
    EXPECT_EQ(beeps, 3);

    spin->SetSpinType(sptFloat);
    spin->SetPrecision(2);
    setText("1.25", 4);
    type("7.");
    EXPECT_EQ(spin->text(), "1.25") << "no third decimal, no second separator";
    EXPECT_EQ(beeps, 5);
    spin->setSelection(1, 1); // the separator selected: it may be typed again
    type(".");
    EXPECT_EQ(spin->text(), "1.25");
    EXPECT_EQ(beeps, 5);

    // The keypad's decimal key types the locale's separator.
    platform::TFormatSettings fs;
    fs.DecimalSeparator = u',';
    fs.ThousandSeparator = u'.';
    platform::SetFormatSettings(fs);
    spin->SetPrecision(0);
    spin->ExcelStyleDecimalSeparator = true;
    setText("3", 1);
    QTest::keyClick(spin, Qt::Key_Period, Qt::KeypadModifier);
    EXPECT_EQ(spin->text(), "3,");
}

TEST_F(SpinTest, WithoutTheEditorOnlyTheArrowsChangeTheValue)
{
    spin->SetEditorEnabled(false);
    spin->SetValue(40);
    EXPECT_EQ(spin->selectedText(), "40") << "the value is selected";
    spin->setCursorPosition(2);
    type("5");
    key(Qt::Key_Backspace);
    EXPECT_EQ(spin->text(), "40");
    EXPECT_EQ(beeps, 2);
    spin->setCursorPosition(0);
    key(Qt::Key_Delete);
    EXPECT_EQ(spin->text(), "40");
    QApplication::clipboard()->setText("77");
    key(Qt::Key_Insert, Qt::ShiftModifier);
    key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(spin->text(), "40");
    key(Qt::Key_Up);
    EXPECT_EQ(spin->text(), "41");
}

TEST_F(SpinTest, AReadOnlyEditorBeepsInsteadOfStepping)
{
    spin->SetValue(3);
    spin->setReadOnly(true);
    key(Qt::Key_Up);
    spin->Button()->UpButton()->Click();
    EXPECT_EQ(spin->text(), "3");
    EXPECT_EQ(beeps, 2);
}

TEST_F(SpinTest, LeavingWritesAValueOutsideTheLimitsBackClamped)
{
    QWidget other(&parent);
    other.setFocusPolicy(Qt::StrongFocus);
    other.show();
    setText("", 0);
    type("500");
    EXPECT_EQ(spin->text(), "500");
    other.setFocus();
    QCoreApplication::processEvents();
    EXPECT_EQ(spin->text(), "100");
    spin->setFocus();
    spin->setText("12a"); // no integer: reads as the minimum, which lies inside
    other.setFocus();
    QCoreApplication::processEvents();
    EXPECT_EQ(spin->text(), "12a");
}

TEST_F(SpinTest, ArrowButtonsStepOnReleaseAndRepeatWhileHeld)
{
    TExtTimerSpeedButton* up = spin->Button()->UpButton();
    TExtTimerSpeedButton* down = spin->Button()->DownButton();
    // Layout: up above down, overlapping by one pixel, at the right edge.
    EXPECT_EQ(spin->Button()->width(), 15);
    EXPECT_EQ(up->geometry(), QRect(0, 0, 15, spin->Button()->height() / 2));
    EXPECT_EQ(down->y(), up->height() - 1);

    spin->SetValue(10);
    press(up);
    EXPECT_EQ(spin->Value(), 10) << "a press alone does not step";
    ASSERT_NE(up->RepeatTimer(), nullptr);
    EXPECT_TRUE(up->RepeatTimer()->isActive());
    EXPECT_EQ(up->RepeatTimer()->interval(), 400);
    up->TimerExpired();
    EXPECT_EQ(up->RepeatTimer()->interval(), 100);
    up->TimerExpired();
    up->TimerExpired();
    EXPECT_EQ(spin->Value(), 13);
    release(up, QPoint(2, 2));
    EXPECT_EQ(spin->Value(), 14) << "released over itself it steps once more";
    EXPECT_FALSE(up->RepeatTimer()->isActive());

    // Released elsewhere: no step.
    press(down);
    release(down, QPoint(-30, 5));
    EXPECT_EQ(spin->Value(), 14);
    QTest::mouseClick(down, Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
    EXPECT_EQ(spin->Value(), 13);
    EXPECT_TRUE(spin->hasFocus()) << "the edit keeps the focus";
}

TEST_F(SpinTest, AnArrowGlyphOfItsOwnOrTheBuiltInOne)
{
    TExtTimerSpeedButton* up = spin->Button()->UpButton();
    up->resize(15, 12);
    const QImage builtIn = up->grab().toImage();
    EXPECT_EQ(platform::fromQColor(builtIn.pixelColor(7, 4)), platform::clBlack) << "the tip of the built-in arrow";
    platform::Bitmap glyph(5, 4, platform::clRed);
    glyph.setPixel(0, 3, platform::clOlive); // the transparent colour, as in the built-in glyphs
    spin->Button()->SetUpGlyph(glyph);
    const QImage own = up->grab().toImage();
    EXPECT_EQ(platform::fromQColor(own.pixelColor(7, 5)), platform::clRed);
    spin->Button()->SetUpGlyph(platform::Bitmap());
    EXPECT_EQ(up->grab().toImage(), builtIn);
}

TEST_F(SpinTest, HorizontalArrowsAndTheLeastHeight)
{
    spin->SetDirection(spHorizontal);
    TXgrSpinButton* b = spin->Button();
    EXPECT_EQ(b->width(), 20);
    EXPECT_EQ(b->DownButton()->geometry(), QRect(0, 0, 10, b->height()));
    EXPECT_EQ(b->UpButton()->geometry(), QRect(11, 0, 10, b->height()));
    EXPECT_EQ(b->UpButton()->ButtonDirection, bdRight);
    spin->SetBorderStyle(bsNone);
    spin->resize(120, 4);
    EXPECT_EQ(spin->height(), spin->MinHeight());
    EXPECT_EQ(b->x(), spin->width() - 20 - 1) << "one pixel from the right edge without a border";
}

TEST_F(SpinTest, ReturnActsAsTabWhenAsked)
{
    QWidget next(&parent);
    next.setFocusPolicy(Qt::StrongFocus);
    next.show();
    QWidget::setTabOrder(spin, &next);
    spin->ReturnIsTab = true;
    key(Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_TRUE(next.hasFocus());
}

} // namespace
