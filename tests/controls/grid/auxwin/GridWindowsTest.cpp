// The grid's auxiliary windows on their own: the Metro scroll indicator's arithmetic and mouse
// steps, the HTML hint window's size and place, the drop-down lists, the floating header, the
// rich edit's scripts and the fixed-cell editors' stop.
#include "controls/grid/auxwin/CellControls.h"
#include "controls/grid/auxwin/GridAux.h"
#include "controls/grid/util/ExtUtil.h"

#include "support/DrawChecks.h"

#include <QApplication>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

using namespace controls::grid;

namespace {

// A grid whose viewport is 300 pixels high with a 20-pixel fixed row and 14-pixel rows and no
// grid lines: 20 rows fit below the fixed row.
class ScrollFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        window.resize(500, 400);
        grid = new TExtStringGridAux(&window);
        grid->setGridLineWidth(0);
        grid->SetRowCount(100);
        grid->SetColCount(4);
        grid->SetDefaultRowHeight(14);
        grid->setRowHeights(0, 20);
        grid->SetScrollBars(platform::TScrollStyle::ssNone);
        grid->setFrameShape(QFrame::NoFrame);
        grid->setGeometry(0, 0, 300, 300);
        window.show();
        QCoreApplication::processEvents();
    }

    QWidget window;
    TExtStringGridAux* grid = nullptr;
};

} // namespace

TEST_F(ScrollFixture, ThumbArithmeticFollowsTheGrid)
{
    ASSERT_EQ(grid->viewport()->height(), 300);
    ASSERT_EQ(grid->visibleRowCount(), 20);
    TScrollControl bar(grid, sdVertical);
    EXPECT_EQ(bar.Length(), 300);
    EXPECT_EQ(bar.TrackLength(), 280);
    EXPECT_EQ(bar.ThumbSize(), 56);
    EXPECT_EQ(bar.ThumbPos(), 20);
    EXPECT_TRUE(bar.ThumbShown());
    grid->SetTopRow(41);
    // 20 + round(280 * 40 / 99) = 20 + 113.
    EXPECT_EQ(bar.ThumbPos(), 133);
    // Never past the control's end.
    grid->SetTopRow(81);
    EXPECT_LE(bar.ThumbPos() + bar.ThumbSize(), bar.Length());

    // A small thumb is 20 pixels.
    grid->SetRowCount(1000);
    EXPECT_EQ(bar.ThumbSize(), 20);
    // Nothing to scroll: no thumb.
    grid->SetRowCount(15);
    EXPECT_FALSE(bar.ThumbShown());
}

TEST_F(ScrollFixture, PressesPageAndTheThumbDrags)
{
    TScrollControl bar(grid, sdVertical);
    grid->SetTopRow(1);
    bar.PressAt(250); // below the thumb
    EXPECT_EQ(grid->TopRow(), 21);
    for (int i = 0; i < 6; ++i)
        bar.PressAt(299);
    EXPECT_EQ(grid->TopRow(), 80); // never beyond total - visible
    bar.PressAt(0);                // above the thumb
    EXPECT_EQ(grid->TopRow(), 60);

    grid->SetTopRow(1);
    bar.PressAt(bar.ThumbPos() + 5);
    EXPECT_TRUE(bar.Dragging());
    // round(28 / (300 - 20) * 100) = 10 rows.
    bar.DragTo(bar.ThumbPos() + 5 + 28);
    EXPECT_EQ(grid->TopRow(), 11);
    bar.DragTo(-500);
    EXPECT_EQ(grid->TopRow(), 1); // not into the fixed rows
    bar.Release();
    EXPECT_FALSE(bar.Dragging());

    // The thumb is drawn in the control's colour, the rest shows the cells.
    grid->SetTopRow(1);
    bar.SetColor(platform::clRed);
    const QImage shot = bar.grab().toImage();
    EXPECT_EQ(shot.pixelColor(1, 30), QColor(Qt::red));
    EXPECT_NE(shot.pixelColor(1, 5), QColor(Qt::red));
}

TEST_F(ScrollFixture, MetroScrollTypeShowsTheIndicatorsInsteadOfTheBars)
{
    grid->SetScrollBars(platform::TScrollStyle::ssBoth);
    grid->SetScrollType(ssMetro);
    ASSERT_NE(grid->VScrollControl(), nullptr);
    ASSERT_NE(grid->HScrollControl(), nullptr);
    EXPECT_EQ(grid->VScrollControl()->width(), 6);
    EXPECT_EQ(grid->VScrollControl()->geometry().right(), grid->viewport()->width() - 1);
    EXPECT_EQ(grid->scrollBars(), platform::TScrollStyle::ssNone);
    grid->SetScrollType(ssNormal);
    EXPECT_EQ(grid->VScrollControl(), nullptr);
    EXPECT_EQ(grid->scrollBars(), platform::TScrollStyle::ssBoth);
}

TEST(HTMLHintWindowTest, SizesToTheTextAndStaysOnTheMonitor)
{
    THTMLHintWindow hint;
    const QRect monitor = QGuiApplication::primaryScreen()->geometry();
    hint.ActivateHint(QRect(monitor.left() + 10, monitor.top() + 10, 1, 1), QStringLiteral("<b>Bold</b> text"));
    EXPECT_TRUE(hint.isVisible());
    EXPECT_EQ(hint.width(), hint.TextWidth() + 16);
    EXPECT_EQ(hint.height(), hint.TextHeight() + 4);
    EXPECT_EQ(hint.pos(), QPoint(monitor.left() + 10, monitor.top() + 10));

    // Too far right or down: moved to end 2 pixels inside.
    hint.ActivateHint(QRect(monitor.right() - 5, monitor.bottom() - 3, 1, 1), QStringLiteral("a long hint<br>on two lines"));
    EXPECT_EQ(hint.geometry().right(), monitor.right() - 2);
    EXPECT_EQ(hint.geometry().bottom(), monitor.bottom() - 2);

    // The HTML is drawn: bold text is wider than plain.
    const QRect plain = hint.CalcHintRect(1008, QStringLiteral("Bold"), nullptr);
    const QRect bold = hint.CalcHintRect(1008, QStringLiteral("<b>Bold</b>"), nullptr);
    EXPECT_GT(bold.width(), plain.width());
    // A wide-coded hint is one line with a smaller margin.
    hint.ActivateHint(QRect(monitor.left() + 10, monitor.top() + 10, 1, 1), EncodeWideCellText(QStringLiteral("wide")));
    EXPECT_EQ(hint.WideCaption(), QStringLiteral("wide"));
    EXPECT_EQ(hint.width(), hint.TextWidth() + 8);

    // The window is painted in its colour with the text on it.
    hint.SetColor(platform::clYellow);
    hint.ActivateHint(QRect(monitor.left() + 10, monitor.top() + 10, 1, 1), QStringLiteral("<font color=\"clred\">RED</font>"));
    const QImage shot = hint.grab().toImage();
    EXPECT_EQ(shot.pixelColor(5, 2), QColor(Qt::yellow));
    bool red = false;
    for (int y = 0; y < shot.height() && !red; ++y)
        for (int x = 0; x < shot.width() && !red; ++x)
            red = shot.pixelColor(x, y) == QColor(Qt::red);
    EXPECT_TRUE(red);
}

TEST(DropListTest, EnterReportsTheItemAndAClickOutsideCancels)
{
    TDropList list;
    list.addItems({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    int selected = -2, cancelled = 0;
    list.OnSelect = [&](QObject*, int index) { selected = index; };
    list.OnCancel = [&](QObject*) { ++cancelled; };
    list.setGeometry(100, 100, 80, 80);
    list.show();
    list.setCurrentRow(1);
    QTest::keyClick(&list, Qt::Key_Return);
    EXPECT_EQ(selected, 1);
    EXPECT_FALSE(list.isVisible());

    selected = -2;
    list.show();
    list.CancelMode(list.mapToGlobal(QPoint(200, 200)));
    EXPECT_EQ(cancelled, 1);
    EXPECT_EQ(selected, -2);
    EXPECT_FALSE(list.isVisible());
    // Inside the list the cancel mode keeps it.
    list.show();
    list.CancelMode(list.mapToGlobal(QPoint(5, 5)));
    EXPECT_TRUE(list.isVisible());

    TDropCheckList checks;
    checks.AddCheckItem(QStringLiteral("x"), false);
    int toggled = 0, index = 0;
    checks.OnSelect = [&](QObject*, int i) {
        ++toggled;
        index = i;
    };
    checks.item(0)->setCheckState(Qt::Checked);
    EXPECT_EQ(toggled, 1);
    EXPECT_EQ(index, -1);
}

TEST(HeaderDragButtonTest, DrawsTheCaptionPlainOrAsHTML)
{
    THeaderDragButton button(nullptr);
    button.resize(80, 20);
    int headers = 0;
    button.PaintHeader = [&](platform::Canvas& c, const platform::Rect& r) {
        ++headers;
        c.brush() = platform::Brush{platform::clSilver, platform::BrushStyle::Solid};
        c.fillRect(r);
    };
    platform::Bitmap plain(80, 20);
    {
        platform::Canvas c(plain);
        button.SetCaption(QStringLiteral("Name"));
        button.PaintTo(c);
    }
    EXPECT_EQ(headers, 1);
    EXPECT_EQ(plain.pixel(3, 10), platform::clSilver);
    EXPECT_FALSE(testing_support::inkBox(plain, platform::colorToRgb(platform::clBtnText)).empty());
    platform::Bitmap html(80, 20);
    {
        platform::Canvas c(html);
        button.SetCaption(QStringLiteral("<font color=\"clred\">Name</font>"));
        button.PaintTo(c);
    }
    EXPECT_FALSE(testing_support::inkBox(html, platform::clRed).empty());
}

TEST(NoActiveFormTest, ShowsItsPictureBlended)
{
    TNoActiveForm form;
    QImage image(30, 20, QImage::Format_RGB32);
    image.fill(Qt::blue);
    form.SetPicture(image);
    form.SetAlphaBlendValue(192);
    EXPECT_EQ(form.size(), QSize(30, 20));
    EXPECT_EQ(form.AlphaBlendValue(), 192);
    EXPECT_TRUE(form.testAttribute(Qt::WA_ShowWithoutActivating));
    EXPECT_EQ(form.grab().toImage().pixelColor(10, 10), QColor(Qt::blue));
}

TEST(RichEditTest, SubAndSuperscriptOfTheSelection)
{
    TExtRichEdit edit(nullptr);
    edit.setPlainText(QStringLiteral("H2O"));
    QTextCursor c = edit.textCursor();
    c.setPosition(1);
    c.setPosition(2, QTextCursor::KeepAnchor);
    edit.setTextCursor(c);
    EXPECT_TRUE(edit.IsSelNormal());
    edit.SelSuperscript();
    EXPECT_TRUE(edit.IsSelSuperscript());
    EXPECT_FALSE(edit.IsSelNormal());
    edit.SelSubscript();
    EXPECT_TRUE(edit.IsSelSubscript());
    edit.SelNormal();
    EXPECT_TRUE(edit.IsSelNormal());
    // The other characters keep their place.
    c.setPosition(0);
    c.setPosition(1, QTextCursor::KeepAnchor);
    edit.setTextCursor(c);
    EXPECT_TRUE(edit.IsSelNormal());
    edit.Lock();
    EXPECT_TRUE(edit.Locked());
    edit.Unlock();
    EXPECT_FALSE(edit.Locked());
}
