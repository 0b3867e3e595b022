#include "DropDownFixture.h"
#include "controls/grid/dropdown/DropDownBars.h"
#include "platform/draw/Theme.h"

#include <QLabel>

using namespace dropdown_test;
using namespace platform;

namespace {

// The base with a plain panel as its popup content.
class PanelDropDown : public TExtCustomDropDown {
public:
    explicit PanelDropDown(QWidget* parent) : TExtCustomDropDown(parent)
    {
        CreateDropDownForm();
        SetDropDownHeader(THeaderAppearance());
        DropDownHeader().SetVisible(false);
        DropDownFooter().SetVisible(false);
    }
    void CreateDropDownForm() override
    {
        TExtCustomDropDown::CreateDropDownForm();
        if (!panel) {
            panel = new QWidget(DropDownForm());
            panel->resize(180, 120);
            SetControl(panel);
        }
    }
    QWidget* panel = nullptr;
};

class ExtDropDownTest : public DropDownWindowTest {
protected:
    void SetUp() override
    {
        DropDownWindowTest::SetUp();
        dd = new PanelDropDown(&window);
        Put(dd, 100, 100);
    }
    PanelDropDown* dd = nullptr;
};

TEST_F(ExtDropDownTest, ButtonAndEditRectangle)
{
    PanelDropDown* e = new PanelDropDown(&window);
    e->setGeometry(10, 10, 200, 21);
    e->show();
    // A control 200 x 21 with a single border: the button stands at client 179, 0, 17 x 17,
    // which is 181, 2 in the control (the border is two pixels).
    EXPECT_EQ(e->Button()->geometry(), QRect(181, 2, 17, 17));
    EXPECT_EQ(e->EditRect().right, 196 - 17 - 3);
    e->SetDropDownButtonWidth(24);
    EXPECT_EQ(e->Button()->geometry(), QRect(174, 2, 24, 17));
    e->Button()->setGeometry(150, 2, 40, 17); // the button keeps its width
    EXPECT_EQ(e->Button()->width(), 24);
    EXPECT_EQ(e->Button()->SpeedButton()->geometry(), QRect(0, 0, 24, 17));
    e->resize(200, 8); // below the minimum height of its font: raised
    EXPECT_GT(e->height(), 8);
    EXPECT_EQ(e->Version(), QStringLiteral("1.2.1.4"));
}

TEST_F(ExtDropDownTest, F4OpensBelowAndKeysClose)
{
    dd->SetText(QStringLiteral("abc"));
    dd->end(false);
    Key(dd, Qt::Key_F4);
    ASSERT_TRUE(dd->DroppedDown());
    TDropDownForm* form = dd->DropDownForm();
    EXPECT_TRUE(form->isVisible());
    const QPoint at = dd->mapToGlobal(QPoint(0, 0));
    EXPECT_EQ(form->geometry().topLeft(), QPoint(at.x(), at.y() + dd->height() - 1));
    EXPECT_EQ(form->size(), QSize(180, 120 + 2)); // the panel and the popup's border
    // Typing in the popup reaches the edit; Escape puts back the value last written.
    Type(form, QStringLiteral("xy"));
    EXPECT_EQ(dd->GetText(), QStringLiteral("abcxy"));
    Key(form, Qt::Key_Escape);
    EXPECT_FALSE(dd->DroppedDown());
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(dd->GetText(), QStringLiteral("abc"));
    // Return keeps what was typed; F4 closes keeping it too.
    Key(dd, Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(dd->DroppedDown());
    dd->end(false);
    Type(form, QStringLiteral("d"));
    Key(form, Qt::Key_Return);
    EXPECT_FALSE(dd->DroppedDown());
    EXPECT_EQ(dd->GetText(), QStringLiteral("abcd"));
    Key(dd, Qt::Key_F4);
    dd->end(false);
    Type(form, QStringLiteral("e"));
    Key(form, Qt::Key_F4);
    EXPECT_FALSE(dd->DroppedDown());
    EXPECT_EQ(dd->GetText(), QStringLiteral("abcde"));
}

TEST_F(ExtDropDownTest, ButtonOpensButNotRightAfterAClickClosedThePopup)
{
    Click(dd->Button()->SpeedButton(), QPoint(5, 5));
    ASSERT_TRUE(dd->DroppedDown());
    int dropUps = 0;
    bool lastCancelled = false;
    dd->OnDropUp = [&](QObject*, bool cancelled) {
        ++dropUps;
        lastCancelled = cancelled;
    };
    dd->DropDownForm()->hide(); // a click elsewhere takes the popup away
    EXPECT_FALSE(dd->DroppedDown());
    EXPECT_EQ(dropUps, 1);
    EXPECT_TRUE(lastCancelled);
    Click(dd->Button()->SpeedButton(), QPoint(5, 5)); // the same click reaching the button
    EXPECT_FALSE(dd->DroppedDown());
    clock.advance(251);
    Click(dd->Button()->SpeedButton(), QPoint(5, 5));
    EXPECT_TRUE(dd->DroppedDown());
    // With CancelOnDeActivate off, losing the popup keeps the value.
    dd->DropDownForm()->CancelOnDeActivate = false;
    dd->DropDownForm()->hide();
    EXPECT_FALSE(lastCancelled);
}

TEST_F(ExtDropDownTest, RefusedDropDownStaysHidden)
{
    int dropUps = 0;
    dd->OnDropDown = [](QObject*, bool& accept) { accept = false; };
    dd->OnDropUp = [&](QObject*, bool) { ++dropUps; };
    dd->ShowDropDown();
    EXPECT_FALSE(dd->DroppedDown());
    EXPECT_FALSE(dd->DropDownForm()->isVisible());
    dd->HideDropDown(false);
    EXPECT_EQ(dropUps, 0);
}

TEST_F(ExtDropDownTest, UserSizeSurvivesUntilTheSizeIsSet)
{
    dd->ShowDropDown();
    dd->DropDownForm()->SizeFromGrip(QSize(300, 200));
    dd->HideDropDown(false);
    dd->ShowDropDown();
    EXPECT_EQ(dd->DropDownForm()->size(), QSize(300, 200));
    dd->HideDropDown(false);
    dd->SetDropDownWidth(250);
    dd->ShowDropDown();
    EXPECT_EQ(dd->DropDownForm()->width(), 250); // the height follows the panel, which filled the popup
    dd->HideDropDown(false);
    dd->DropDownForm()->SizeFromGrip(QSize(10, 10)); // never below 80 x 50
    EXPECT_GE(dd->DropDownForm()->width(), 80);
}

TEST_F(ExtDropDownTest, ReadOnlyOrDisabledNeverOpens)
{
    dd->SetReadOnly(true);
    dd->ShowDropDown();
    EXPECT_FALSE(dd->DroppedDown());
    dd->SetReadOnly(false);
    dd->setEnabled(false);
    dd->ShowDropDown();
    EXPECT_FALSE(dd->DroppedDown());
}

TEST_F(ExtDropDownTest, EditorOffSwallowsKeysButPopupKeysAndClickOpen)
{
    dd->SetText(QStringLiteral("12"));
    dd->SetEditorEnabled(false);
    Type(dd, QStringLiteral("3"));
    EXPECT_EQ(dd->GetText(), QStringLiteral("12"));
    Click(dd, QPoint(10, 10));
    EXPECT_TRUE(dd->DroppedDown());
    Key(dd->DropDownForm(), Qt::Key_Return);
    EXPECT_FALSE(dd->DroppedDown());
    Key(dd, Qt::Key_F4);
    EXPECT_TRUE(dd->DroppedDown());
}

TEST_F(ExtDropDownTest, PopupInsideTheScreenAtEveryCorner)
{
    ASSERT_EQ(ScreenRect(), QRect(0, 0, 1280, 1024));
    const QPoint corners[] = {{0, 0}, {1280 - 150, 0}, {0, 1024 - 21}, {1280 - 150, 1024 - 21}};
    for (const QPoint& at : corners) {
        dd->move(at);
        dd->ShowDropDown();
        ASSERT_TRUE(dd->DroppedDown());
        const QRect popup = dd->DropDownForm()->geometry();
        EXPECT_TRUE(ScreenRect().contains(popup)) << at.x() << "," << at.y();
        const QRect edit(dd->mapToGlobal(QPoint(0, 0)), dd->size());
        EXPECT_TRUE(popup.top() >= edit.bottom() || popup.bottom() <= edit.top()) << at.y();
        dd->HideDropDown(false);
    }
}

TEST_F(ExtDropDownTest, LabelPositions)
{
    dd->SetLabelCaption(QStringLiteral("Name"));
    QLabel* label = dd->Label();
    ASSERT_NE(label, nullptr);
    const int w = QFontMetrics(label->font()).horizontalAdvance(QStringLiteral("Name"));
    EXPECT_EQ(label->pos(), QPoint(100 - w - 4, 100));
    dd->SetLabelPosition(lpTopLeft);
    EXPECT_EQ(label->pos(), QPoint(100, 100 - label->height() - 4));
    dd->SetLabelPosition(lpBottomRight);
    EXPECT_EQ(label->pos(), QPoint(100 + 150 - label->width(), 100 + 21 + 4));
    dd->SetLabelPosition(lpRightCenter);
    dd->SetLabelMargin(6);
    EXPECT_EQ(label->pos(), QPoint(100 + 150 + 6, 100 + (21 - label->height()) / 2));
    // The label takes the edit's font while ParentFont is on, its own LabelFont after.
    QFont big = dd->font();
    big.setPointSize(big.pointSize() + 6);
    dd->setFont(big);
    EXPECT_EQ(label->font().pointSize(), big.pointSize());
    QFont bold = dd->font();
    bold.setBold(true);
    dd->SetLabelFont(bold);
    EXPECT_FALSE(label->font().bold()) << "LabelFont is not taken while ParentFont is on";
    dd->SetParentFont(false);
    dd->SetLabelFont(bold);
    EXPECT_TRUE(label->font().bold());
    dd->SetLabelPosition(lpLeftTop);
    const int wb = QFontMetrics(bold).horizontalAdvance(QStringLiteral("Name"));
    EXPECT_EQ(label->x(), 100 - wb - 6) << "placed by the width in its font";
    // The label shows and hides with the edit.
    dd->hide();
    EXPECT_FALSE(label->isVisible());
    dd->show();
    EXPECT_TRUE(label->isVisible());
    // An edit labelled before its window opens shows its label when the window does.
    QWidget dialog;
    auto* e = new PanelDropDown(&dialog);
    e->setGeometry(120, 10, 100, 21);
    e->SetLabelCaption(QStringLiteral("Port"));
    dialog.show();
    ASSERT_NE(e->Label(), nullptr);
    EXPECT_TRUE(e->Label()->isVisible());
}

TEST_F(ExtDropDownTest, HeaderAndFooterBars)
{
    dd->DropDownHeader().SetVisible(true);
    dd->DropDownHeader().Caption = QStringLiteral("<b>Pick</b>");
    for (const char* caption : {"A", "B", "C"})
        dd->DropDownHeader().Buttons().Add()->SetCaption(QString::fromLatin1(caption));
    dd->DropDownHeader().Buttons()[0]->Height = 40;
    dd->DropDownFooter().SetVisible(true);
    TFooterButton* cancel = dd->DropDownFooter().Buttons().Add();
    cancel->SetCaption(QStringLiteral("Cancel"));
    cancel->ModalResult = mrCancel;
    TFooterButton* retry = dd->DropDownFooter().Buttons().Add();
    retry->SetCaption(QStringLiteral("Retry"));
    retry->ModalResult = mrRetry;
    QList<int> footerClicks;
    dd->OnDropDownFooterButtonClick = [&](QObject*, int index) { footerClicks << index; };
    dd->DropDownBorderWidth = 3;
    dd->SetText(QStringLiteral("kept"));
    dd->ShowDropDown();
    TDropDownForm* form = dd->DropDownForm();
    TExtHeader* header = form->Header();
    TExtFooter* footer = form->Footer();
    ASSERT_TRUE(header && footer);
    EXPECT_TRUE(header->isVisible() && footer->isVisible());
    // A three-pixel frame on every side.
    EXPECT_EQ(header->geometry().topLeft(), QPoint(3, 3));
    EXPECT_EQ(footer->geometry().bottom(), form->height() - 4);
    EXPECT_EQ(dd->panel->geometry().left(), 3);
    EXPECT_EQ(dd->panel->geometry().top(), 3 + header->height());
    // Buttons right to left in collection order; a tall one cut to the button area (22 - 5).
    const auto& hb = header->ButtonControls();
    ASSERT_EQ(hb.size(), 3u);
    EXPECT_LT(hb[1]->x(), hb[0]->x());
    EXPECT_LT(hb[2]->x(), hb[1]->x());
    EXPECT_EQ(hb[0]->x() + hb[0]->width(), header->width() - 2);
    EXPECT_EQ(hb[0]->height(), 17);
    // The footer's buttons stop before the grip; without a sizeable popup they may go to right - 2.
    const auto& fb = footer->ButtonControls();
    EXPECT_EQ(fb[0]->x() + fb[0]->width(), footer->width() - 14);
    dd->SetEditText(QStringLiteral("changed"));
    Click(fb[1], QPoint(3, 3)); // retry: the popup stays open
    EXPECT_TRUE(dd->DroppedDown());
    Click(fb[0], QPoint(3, 3)); // cancel: closes and restores
    EXPECT_FALSE(dd->DroppedDown());
    EXPECT_EQ(dd->GetText(), QStringLiteral("kept"));
    EXPECT_EQ(footerClicks, (QList<int>{1, 0}));
    dd->DropDownSizeable = false;
    dd->ShowDropDown();
    EXPECT_EQ(footer->ButtonControls()[0]->x() + footer->ButtonControls()[0]->width(), footer->width() - 2);
}

// The bars as painted: the header's border line along its bottom under the popup's own frame,
// the footer's grip dots (white, the border colour one pixel up and left), and a background
// handler that takes the place of everything but the buttons.
TEST_F(ExtDropDownTest, BarsPaintTheirBorderGripAndBackgroundHandler)
{
    const Color face = 0xC0C0C0, border = 0x0000FF; // red
    for (TBarAppearance* a : {static_cast<TBarAppearance*>(&dd->DropDownHeader()),
                              static_cast<TBarAppearance*>(&dd->DropDownFooter())}) {
        a->SetVisible(true);
        a->Color = face;
        a->ColorTo = clNone;
        a->BorderColor = border;
        a->BorderWidth = 1;
    }
    dd->DropDownBorderWidth = 1;
    dd->DropDownBorderColor = 0x000000;
    dd->ShowDropDown();
    TExtHeader* header = dd->DropDownForm()->Header();
    TExtFooter* footer = dd->DropDownForm()->Footer();
    ASSERT_TRUE(header && footer);
    auto pixel = [](QWidget* w, int x, int y) { return fromQColor(w->grab().toImage().pixelColor(x, y)); };
    const int hw = header->width(), hh = header->height();
    EXPECT_EQ(pixel(header, hw / 2, hh - 1), border) << "the bottom line";
    EXPECT_EQ(pixel(header, hw / 2, hh / 2), face);
    EXPECT_NE(pixel(header, hw / 2, 0), border) << "no top line under the popup's frame";
    // The grip in the rectangle right - 17 .. right - 2 of the footer: the dot of row 2, column 13.
    const int fw = footer->width(), fh = footer->height();
    const int gx = fw - 1 - 16 + 13, gy = fh - 2;
    EXPECT_EQ(pixel(footer, gx + 1, gy + 1), clWhite);
    EXPECT_EQ(pixel(footer, gx - 1, gy - 1), border);
    dd->HideDropDown(true);

    // A background handler paints the bar alone: no border, no grip.
    dd->OnDrawFooter = [](QObject*, Canvas& c, const Rect& r) {
        c.brush() = Brush{clGreen, BrushStyle::Solid};
        c.fillRect(r);
    };
    dd->ShowDropDown();
    EXPECT_EQ(pixel(footer, gx + 1, gy + 1), clGreen);
    EXPECT_EQ(pixel(footer, fw / 2, 0), clGreen);
    dd->HideDropDown(true);
}

// Bar buttons: Return on a focused footer button closes by its modal result without the button
// event; the hot face is plain ColorHot; pressing one button of a group releases the other.
TEST_F(ExtDropDownTest, BarButtonsKeysHotFaceAndGroups)
{
    dd->DropDownFooter().SetVisible(true);
    TFooterButton* ok = dd->DropDownFooter().Buttons().Add();
    ok->SetCaption(QStringLiteral("OK"));
    ok->ModalResult = mrOk;
    int events = 0;
    dd->OnDropDownFooterButtonClick = [&](QObject*, int) { ++events; };
    dd->SetText(QStringLiteral("old"));
    dd->ShowDropDown();
    dd->SetEditText(QStringLiteral("new"));
    TExtButton* button = dd->DropDownForm()->Footer()->ButtonControls().at(0);
    Key(button, Qt::Key_Return);
    EXPECT_FALSE(dd->DroppedDown());
    EXPECT_EQ(dd->GetText(), QStringLiteral("new")) << "OK keeps the value";
    EXPECT_EQ(events, 0) << "no button event for a key";

    QWidget bar;
    bar.resize(100, 30);
    TExtButtonAppearance look;
    look.SetColor(clWhite);
    look.SetColorHot(0x00FF00);
    look.SetColorHotTo(0x0000FF);
    TExtButton a(&bar), b(&bar);
    for (TExtButton* x : {&a, &b}) {
        x->SetAppearance(&look);
        x->SetGroupIndex(1);
        x->resize(30, 20);
    }
    b.move(40, 0);
    bar.show();
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(&a, &enter);
    ASSERT_TRUE(a.Hot());
    EXPECT_EQ(fromQColor(a.grab().toImage().pixelColor(15, 3)), Color(0x00FF00)) << "plain, not towards ColorHotTo";
    EXPECT_EQ(fromQColor(a.grab().toImage().pixelColor(15, 16)), Color(0x00FF00));
    Click(&a, QPoint(5, 5));
    EXPECT_TRUE(a.Down());
    Click(&b, QPoint(5, 5));
    EXPECT_TRUE(b.Down());
    EXPECT_FALSE(a.Down()) << "the group's other button went up";
}

// "&" in a bar button's caption marks its accelerator: Alt and that letter in the popup or its
// control clicks the button (with the button event); without Alt the letter is typed.
TEST_F(ExtDropDownTest, BarButtonAcceleratorsClick)
{
    EXPECT_EQ(CaptionAccelerator(QStringLiteral("&OK")), QChar(u'O'));
    EXPECT_EQ(CaptionAccelerator(QStringLiteral("Salt && &pepper")), QChar(u'p'));
    EXPECT_TRUE(CaptionAccelerator(QStringLiteral("A && B")).isNull());
    EXPECT_TRUE(CaptionAccelerator(QStringLiteral("End&")).isNull());

    dd->DropDownHeader().SetVisible(true);
    dd->DropDownHeader().Buttons().Add()->SetCaption(QStringLiteral("&Reset"));
    THeaderButton* off = dd->DropDownHeader().Buttons().Add();
    off->SetCaption(QStringLiteral("&Xtra"));
    off->SetEnabled(false);
    dd->DropDownFooter().SetVisible(true);
    TFooterButton* cancel = dd->DropDownFooter().Buttons().Add();
    cancel->SetCaption(QStringLiteral("&Cancel"));
    cancel->ModalResult = mrCancel;
    QList<int> headerClicks, footerClicks;
    dd->OnDropDownHeaderButtonClick = [&](QObject*, int i) { headerClicks << i; };
    dd->OnDropDownFooterButtonClick = [&](QObject*, int i) { footerClicks << i; };
    dd->SetText(QStringLiteral("v"));
    dd->end(false);
    dd->ShowDropDown();
    TDropDownForm* form = dd->DropDownForm();
    Key(form, Qt::Key_R, Qt::AltModifier, QStringLiteral("r"));
    EXPECT_EQ(headerClicks, QList<int>{0});
    EXPECT_EQ(dd->GetText(), QStringLiteral("v")) << "the letter is not typed";
    Key(form, Qt::Key_R, Qt::NoModifier, QStringLiteral("r"));
    EXPECT_EQ(headerClicks, QList<int>{0});
    EXPECT_EQ(dd->GetText(), QStringLiteral("vr")) << "without Alt the letter is typed";
    Key(form, Qt::Key_X, Qt::AltModifier, QStringLiteral("x"));
    EXPECT_EQ(headerClicks, QList<int>{0}) << "a disabled button does not click";
    dd->SetEditText(QStringLiteral("w"));
    // From the popup's control: Cancel closes, restoring the value, and raises its event.
    Key(dd->panel, Qt::Key_C, Qt::AltModifier, QStringLiteral("c"));
    EXPECT_FALSE(dd->DroppedDown());
    EXPECT_EQ(dd->GetText(), QStringLiteral("v")) << "the value last written is back";
    EXPECT_EQ(footerClicks, QList<int>{0});
    // A letter typed on a focused bar button is its accelerator without Alt.
    dd->ShowDropDown();
    TExtButton* reset = form->Header()->ButtonControls().at(0);
    reset->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), reset);
    Key(reset, Qt::Key_C, Qt::NoModifier, QStringLiteral("c"));
    EXPECT_FALSE(dd->DroppedDown());
    EXPECT_EQ(footerClicks, (QList<int>{0, 0}));
}

// The drop-down button as a push button without visual styles: flat, its glyph stands on the
// face colour (the glyph's top-left colour left out) in the face shrunk by 3 and moves with a
// press; not flat, a raised push button.
TEST_F(ExtDropDownTest, PushButtonFacesWithoutVisualStyles)
{
    SetThemeActive(false);
    TExtDropDownSpeedButton* b = dd->Button()->SpeedButton();
    b->SetButtonStyle(bsButton);
    b->Flat = true;
    Bitmap glyph(11, 11, clRed);
    glyph.setPixel(0, 0, clFuchsia); // the top-left pixel gives the transparent colour
    dd->SetDropDownButtonGlyph(glyph);
    auto pixel = [b](int x, int y) { return fromQColor(b->grab().toImage().pixelColor(x, y)); };
    const Color face = colorToRgb(clBtnFace);
    EXPECT_EQ(pixel(3, 3), face) << "the glyph's transparent pixel shows the face";
    EXPECT_EQ(pixel(3, 13), clRed);
    EXPECT_EQ(pixel(8, 8), clRed);
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), b->mapToGlobal(QPointF(5, 5)), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(b, &press);
    EXPECT_EQ(pixel(4, 4), face) << "pressed, the glyph moves one pixel right and down";
    EXPECT_EQ(pixel(4, 14), clRed);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(50, 50), b->mapToGlobal(QPointF(50, 50)), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(b, &release);
    dd->HideDropDown(false);
    b->Flat = false;
    dd->SetDropDownButtonGlyph(Bitmap());
    EXPECT_EQ(pixel(b->width() - 1, b->height() - 1), colorToRgb(cl3DDkShadow)) << "the raised push button's dark outer edge";
    SetThemeActive(true);
}

TEST_F(ExtDropDownTest, StylesColourPopupBarsAndButtons)
{
    dd->SetComponentStyle(tsOffice2003Blue);
    EXPECT_EQ(dd->DropDownHeader().BorderColor, 0x000000u);
    EXPECT_EQ(dd->DropDownFooter().BorderColor, 0x962D00u);
    EXPECT_EQ(dd->ButtonAppearance().ColorHot(), 0xEBFDFFu);
    const Color border = dd->DropDownBorderColor;
    dd->SetComponentStyle(tsCustom);
    EXPECT_EQ(dd->GetComponentStyle(), tsCustom);
    EXPECT_EQ(dd->DropDownBorderColor, border);
    dd->SetComponentStyle(tsWindowsVista);
    EXPECT_EQ(dd->DropDownBorderColor, 0x979797u);
    TColorTones tones;
    tones.Background.BrushColor = 0x102030;
    tones.Background.BorderColor = 0x405060;
    dd->SetColorTones(tones);
    EXPECT_EQ(dd->Button()->ButtonColor, 0x102030u);
    EXPECT_EQ(dd->BorderColor(), 0x405060u);
    EXPECT_EQ(dd->Button()->ButtonTextColor, clNone);
    dd->SetSelectionColorStyle(scWindows7);
    EXPECT_EQ(dd->SelectionColor, 0xFCEBDCu);
}

} // namespace
