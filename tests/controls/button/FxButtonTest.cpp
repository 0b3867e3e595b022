#include "controls/button/FxButton.h"
#include "controls/button/FxButtonFace.h"
#include "controls/button/FormButton.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QEnterEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

using namespace controls;
using namespace platform;

namespace {

constexpr Color kFace = rgb(248, 247, 237);
constexpr Color kHot = rgb(255, 255, 0);

// A window that counts the keys (not the modifier keys themselves) that reach it.
class Window : public QWidget {
public:
    int keysSeen = 0;

protected:
    void keyPressEvent(QKeyEvent* e) override
    {
        const int k = e->key();
        if (k != Qt::Key_Shift && k != Qt::Key_Control && k != Qt::Key_Alt && k != Qt::Key_Meta)
            ++keysSeen;
        QWidget::keyPressEvent(e);
    }
};

void enter(QWidget* w)
{
    QEnterEvent e(QPointF(5, 5), QPointF(5, 5), w->mapToGlobal(QPointF(5, 5)));
    QApplication::sendEvent(w, &e);
}

void leave(QWidget* w)
{
    QEvent e(QEvent::Leave);
    QApplication::sendEvent(w, &e);
}

void keyRelease(QWidget* w, Qt::Key key, bool autoRepeat)
{
    QKeyEvent e(QEvent::KeyRelease, key, Qt::NoModifier, QString(), autoRepeat);
    QApplication::sendEvent(w, &e);
}

class FxButtonTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        window = std::make_unique<Window>();
        window->resize(300, 200);
        button = new TFxButton(window.get());
        button->setGeometry(10, 10, 80, 25);
        button->setCaption(QStringLiteral("Go"));
        button->setColor(kFace);
        button->setHotTrackColor(kHot);
        button->onClick = [this](TFxButton* sender) {
            ++clicks;
            lastSender = sender;
        };
        window->show();
        window->activateWindow();
        QApplication::setActiveWindow(window.get());
    }

    Color faceAt(int x, int y) const { return Bitmap(button->renderFace()).pixel(x, y); }

    std::unique_ptr<Window> window;
    TFxButton* button = nullptr;
    int clicks = 0;
    TFxButton* lastSender = nullptr;
};

} // namespace

TEST(FxButtonDefaults, ConstructorValues)
{
    Window w;
    TFxButton b(&w);
    EXPECT_EQ(b.size(), QSize(100, 23));
    EXPECT_TRUE(b.tabStop());
    EXPECT_EQ(b.focusPolicy(), Qt::TabFocus);
    EXPECT_EQ(b.alignment(), Alignment::taCenter);
    EXPECT_EQ(b.shadowColor(), rgb(128, 128, 128));
    EXPECT_EQ(b.lightColor(), clWhite);
    EXPECT_EQ(b.colorWhenDown(), clNone);
    EXPECT_EQ(b.hotTrackColor(), clNone);
    EXPECT_EQ(b.color(), clBtnFace);
    EXPECT_EQ(b.style(), TFxButtonStyle::bsNormal);
    EXPECT_EQ(b.kind(), TFxButtonKind::bkCustom);
    EXPECT_EQ(b.layout(), TFxButtonLayout::blGlyphLeft);
    EXPECT_EQ(b.colorStyle(), TFxColorStyle::lcsCustom);
    EXPECT_EQ(b.modalResult(), 0);
    EXPECT_EQ(b.numGlyphs(), 0);
    EXPECT_FALSE(b.flat() || b.wordWrap() || b.isDefault() || b.cancel() || b.slowDecease() || b.useHotTrackFont());
    EXPECT_FALSE(b.isDown());
    EXPECT_EQ(b.hotTrackStep(), 0);
    EXPECT_FALSE(b.isFadeRunning());
    EXPECT_EQ(b.fadeIntervalMs(), 30);
    EXPECT_EQ(b.hotTrackFont().font, b.font());
}

TEST_F(FxButtonTest, PointerEnterAndLeaveLightTheFace)
{
    int entered = 0, exited = 0;
    button->onMouseEnter = [&](TFxButton* s) { entered += s == button; };
    button->onMouseExit = [&](TFxButton* s) { exited += s == button; };
    EXPECT_EQ(faceAt(3, 3), kFace);
    enter(button);
    EXPECT_TRUE(button->isCursorOnButton());
    EXPECT_EQ(button->hotTrackStep(), 8);
    EXPECT_EQ(faceAt(3, 3), kHot);
    EXPECT_EQ(entered, 1);
    leave(button);
    EXPECT_FALSE(button->isCursorOnButton());
    EXPECT_EQ(button->hotTrackStep(), 0);
    EXPECT_FALSE(button->isFadeRunning()); // no slow fade: the highlight goes at once
    EXPECT_EQ(faceAt(3, 3), kFace);
    EXPECT_EQ(exited, 1);
    EXPECT_EQ(clicks, 0);
}

TEST_F(FxButtonTest, ADialogClosedUnderThePointerOpensAgainWithoutTheHighlight)
{
    for (bool slow : {false, true}) {
        QDialog dialog(window.get());
        auto* ok = new TFxButton(&dialog);
        ok->setGeometry(10, 10, 80, 25);
        ok->setColor(kFace);
        ok->setHotTrackColor(kHot);
        ok->setSlowDecease(slow);
        int exits = 0;
        ok->onMouseExit = [&](TFxButton*) { ++exits; };
        dialog.show();
        enter(ok);
        EXPECT_EQ(ok->hotTrackStep(), 8);
        dialog.hide(); // closed by a click on it: no leave comes
        EXPECT_FALSE(ok->isCursorOnButton());
        EXPECT_EQ(ok->hotTrackStep(), 0);
        EXPECT_FALSE(ok->isFadeRunning());
        EXPECT_EQ(exits, 1);
        dialog.show();
        EXPECT_EQ(Bitmap(ok->renderFace()).pixel(3, 3), kFace) << slow;
    }
}

TEST_F(FxButtonTest, DisabledButtonIgnoresPointerKeysAndClicks)
{
    int entered = 0;
    button->onMouseEnter = [&](TFxButton*) { ++entered; };
    button->setEnabled(false);
    enter(button);
    EXPECT_EQ(entered, 0);
    EXPECT_EQ(button->hotTrackStep(), 0);
    EXPECT_EQ(faceAt(3, 3), kFace);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::keyClick(button, Qt::Key_Space);
    button->click();
    EXPECT_EQ(clicks, 0);
    EXPECT_FALSE(button->isDown()); // a refused click leaves no pressed look behind
    // A button on a disabled panel is disabled too.
    button->setEnabled(true);
    window->setEnabled(false);
    button->click();
    EXPECT_EQ(clicks, 0);
}

TEST_F(FxButtonTest, LeftPressTakesFocusReleaseClicksOnce)
{
    auto* edit = new QLineEdit(window.get());
    edit->setGeometry(100, 10, 80, 20);
    edit->show();
    edit->setFocus();
    ASSERT_TRUE(edit->hasFocus());
    QStringList order;
    struct FocusProbe : QObject {
        QStringList* order;
        bool eventFilter(QObject*, QEvent* e) override
        {
            if (e->type() == QEvent::FocusOut)
                *order << QStringLiteral("edit left");
            return false;
        }
    } probe;
    probe.order = &order;
    edit->installEventFilter(&probe);
    button->onClick = [&](TFxButton*) { order << QStringLiteral("click"); };
    QSignalSpy spy(button, &TFxButton::clicked);

    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(button->isDown());
    EXPECT_TRUE(button->hasFocus());
    EXPECT_TRUE(order == QStringList{QStringLiteral("edit left")});
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(button->isDown());
    EXPECT_TRUE(order == (QStringList{QStringLiteral("edit left"), QStringLiteral("click")}));
    EXPECT_EQ(spy.count(), 1);
    edit->removeEventFilter(&probe);
}

TEST_F(FxButtonTest, ReleaseAnywhereClicksOnlyAfterLeftPress)
{
    // Press, drag away, release outside: still a click.
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(5, 5));
    leave(button);
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(-40, 90));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(lastSender, button);
    // Right and middle presses do not press the button.
    for (const auto b : {Qt::RightButton, Qt::MiddleButton}) {
        QTest::mousePress(button, b, {}, QPoint(5, 5));
        EXPECT_FALSE(button->isDown());
        QTest::mouseRelease(button, b, {}, QPoint(5, 5));
    }
    EXPECT_EQ(clicks, 1);
    // A second press of a double click is a press like the first.
    QTest::mouseDClick(button, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(button->isDown());
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(clicks, 2);
}

TEST_F(FxButtonTest, SpaceAndEnterPressOnKeyDownClickOnKeyUp)
{
    button->setFocus();
    ASSERT_TRUE(button->hasFocus());
    for (const auto key : {Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter}) {
        const int before = clicks;
        QTest::keyPress(button, key);
        EXPECT_TRUE(button->isDown());
        EXPECT_EQ(clicks, before);
        keyRelease(button, key, true); // auto-repeat: still held
        EXPECT_EQ(clicks, before);
        QTest::keyRelease(button, key);
        EXPECT_EQ(clicks, before + 1);
        EXPECT_FALSE(button->isDown());
    }
    QTest::keyClick(button, Qt::Key_A);
    EXPECT_EQ(clicks, 3);
}

// A dialog opened by the button closes on Enter going down; the focus comes back to the
// button before the key comes up. That release is not a press of the button.
TEST_F(FxButtonTest, KeyReleaseWithoutItsPressDoesNothing)
{
    button->setFocus();
    ASSERT_TRUE(button->hasFocus());
    for (const auto key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space}) {
        QTest::keyRelease(button, key);
        EXPECT_EQ(clicks, 0) << key;
    }
    // Pressed by one key, released by another: no click, and the first key's release later
    // still clicks once.
    QTest::keyPress(button, Qt::Key_Space);
    QTest::keyRelease(button, Qt::Key_Return);
    EXPECT_EQ(clicks, 0);
    // The whole road: a modal dialog shown from onClick closes on Enter going down.
    button->onClick = [this](TFxButton*) {
        ++clicks;
        QDialog dialog(window.get());
        auto* ok = new QPushButton(QStringLiteral("OK"), &dialog);
        ok->setDefault(true);
        QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
        QTimer::singleShot(0, &dialog, [&dialog] {
            QKeyEvent down(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
            QApplication::sendEvent(&dialog, &down); // QDialog accepts on Enter going down
        });
        dialog.exec();
    };
    button->setFocus();
    QTest::keyPress(button, Qt::Key_Return);
    QTest::keyRelease(button, Qt::Key_Return);
    EXPECT_EQ(clicks, 1); // the dialog ran once
    button->setFocus();
    QTest::keyRelease(button, Qt::Key_Return); // the release after the dialog closed
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(button->isDown());
}

TEST_F(FxButtonTest, PropertyWritesNeverClick)
{
    QSignalSpy spy(button, &TFxButton::clicked);
    button->setCaption(QStringLiteral("&Other"));
    button->setModalResult(mrOk);
    button->setKind(TFxButtonKind::bkYes);
    button->setColorStyle(TFxColorStyle::lcsGold);
    button->setEnabled(false);
    button->setEnabled(true);
    button->setDefault(true);
    button->setCancel(true);
    button->setStyle(TFxButtonStyle::bsEncarta);
    button->setGlyph(QImage(20, 10, QImage::Format_RGB32));
    button->setSlowDecease(true);
    button->setVisible(false);
    button->setVisible(true);
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(spy.count(), 0);
}

TEST_F(FxButtonTest, EnabledChangeReleasesThePress)
{
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(5, 5));
    ASSERT_TRUE(button->isDown());
    button->setEnabled(false);
    EXPECT_FALSE(button->isDown());
    button->setEnabled(true);
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(clicks, 0);
}

TEST_F(FxButtonTest, DefaultButtonTakesEnterFromOtherControls)
{
    auto* edit = new QLineEdit(window.get());
    edit->setGeometry(100, 10, 80, 20);
    edit->show();
    button->setDefault(true);
    edit->setFocus();
    ASSERT_TRUE(edit->hasFocus());
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(clicks, 1);
    QTest::keyClick(edit, Qt::Key_Enter, Qt::ShiftModifier); // Shift does not matter for Enter
    EXPECT_EQ(clicks, 2);
    QTest::keyClick(edit, Qt::Key_Escape); // not a cancel button
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(window->keysSeen, 1); // only Escape went on to the window

    auto* radio = new QRadioButton(QStringLiteral("r"), window.get());
    radio->setGeometry(100, 40, 80, 20);
    radio->show();
    radio->setFocus();
    QTest::keyClick(radio, Qt::Key_Return);
    EXPECT_EQ(clicks, 3);
}

// A focused button keeps Enter from the default button, but not Escape from the cancel button:
// it has no use for Escape, and left to the window Escape would close it past the cancel
// button's handler and the question it may ask.
TEST_F(FxButtonTest, FocusedButtonKeepsEnterFromTheDefaultButtonButNotEscape)
{
    button->setDefault(true);
    auto* other = new TFxButton(window.get());
    other->setGeometry(10, 50, 80, 25);
    other->show();
    int otherClicks = 0;
    other->onClick = [&](TFxButton*) { ++otherClicks; };
    other->setFocus();
    ASSERT_TRUE(other->hasFocus());
    QTest::keyPress(other, Qt::Key_Return);
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(otherClicks, 0);
    QTest::keyRelease(other, Qt::Key_Return);
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(otherClicks, 1);

    button->setDefault(false);
    button->setCancel(true);
    const int seen = window->keysSeen;
    QTest::keyClick(other, Qt::Key_Escape);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(otherClicks, 1);
    EXPECT_EQ(window->keysSeen, seen) << "Escape went on to the window";
}

TEST_F(FxButtonTest, CancelButtonTakesPlainEscapeOnly)
{
    auto* edit = new QLineEdit(window.get());
    edit->show();
    edit->setFocus();
    button->setCancel(true);
    QTest::keyClick(edit, Qt::Key_Escape, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Escape, Qt::AltModifier);
    QTest::keyClick(edit, Qt::Key_Escape, Qt::ShiftModifier);
    EXPECT_EQ(clicks, 0);
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_EQ(clicks, 1);
    QTest::keyClick(edit, Qt::Key_Return); // not a default button
    EXPECT_EQ(clicks, 1);
    button->setEnabled(false); // a disabled cancel button lets Escape through
    const int seen = window->keysSeen;
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_EQ(window->keysSeen, seen + 1);
}

TEST_F(FxButtonTest, DisabledDefaultButtonSwallowsEnterWithoutClicking)
{
    auto* edit = new QLineEdit(window.get());
    edit->show();
    edit->setFocus();
    button->setDefault(true);
    button->setEnabled(false);
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(window->keysSeen, 0);
    EXPECT_FALSE(button->isDown());
}

TEST_F(FxButtonTest, AcceleratorClicksAtOnce)
{
    button->setCaption(QStringLiteral("&Save"));
    QTest::keyClick(window.get(), Qt::Key_S, Qt::AltModifier);
    EXPECT_EQ(clicks, 1);
    QTest::keyClick(window.get(), Qt::Key_X, Qt::AltModifier);
    EXPECT_EQ(clicks, 1);
    button->setCaption(QStringLiteral("Save")); // no accelerator any more
    QTest::keyClick(window.get(), Qt::Key_S, Qt::AltModifier);
    EXPECT_EQ(clicks, 1);
}

TEST_F(FxButtonTest, HintShowsOnlyWithShowHint)
{
    button->setHint(QStringLiteral("Saves the project"));
    EXPECT_TRUE(button->toolTip().isEmpty());
    button->setShowHint(true);
    EXPECT_EQ(button->toolTip(), QStringLiteral("Saves the project"));
    button->setShowHint(false);
    EXPECT_TRUE(button->toolTip().isEmpty());
    EXPECT_EQ(button->hint(), QStringLiteral("Saves the project"));
}

TEST_F(FxButtonTest, SlowFadeTakesEightTicksThroughSevenMixes)
{
    button->setSlowDecease(true);
    enter(button);
    leave(button);
    EXPECT_EQ(button->hotTrackStep(), 8); // the fade has started, nothing ticked yet
    ASSERT_TRUE(button->isFadeRunning());
    auto* timer = button->findChild<QTimer*>();
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(timer->interval(), TFxButton::kFadeIntervalMs);
    EXPECT_EQ(TFxButton::kFadeIntervalMs, 30);
    for (int step = 7; step >= 1; --step) {
        button->hotTrackTick();
        EXPECT_EQ(button->hotTrackStep(), step);
        EXPECT_TRUE(button->isFadeRunning());
        EXPECT_EQ(faceAt(3, 3), BlendHotTrackColor(kFace, kHot, step));
    }
    button->hotTrackTick();
    EXPECT_EQ(button->hotTrackStep(), 0);
    EXPECT_FALSE(button->isFadeRunning());
    EXPECT_EQ(faceAt(3, 3), kFace);
    button->hotTrackTick(); // a stray tick keeps the plain face
    EXPECT_EQ(button->hotTrackStep(), 0);
}

TEST_F(FxButtonTest, FadeTimerDrivesTheTicks)
{
    button->setSlowDecease(true);
    enter(button);
    leave(button);
    auto* timer = button->findChild<QTimer*>();
    ASSERT_NE(timer, nullptr);
    int ticks = 0;
    while (timer->isActive() && ticks < 20) {
        ASSERT_TRUE(QMetaObject::invokeMethod(timer, "timeout"));
        ++ticks;
    }
    EXPECT_EQ(ticks, 8);
    EXPECT_EQ(button->hotTrackStep(), 0);
}

TEST_F(FxButtonTest, PointerBackDuringFadeKeepsTheHighlight)
{
    button->setSlowDecease(true);
    enter(button);
    leave(button);
    button->hotTrackTick();
    button->hotTrackTick();
    EXPECT_EQ(button->hotTrackStep(), 6);
    enter(button);
    EXPECT_EQ(button->hotTrackStep(), 8);
    EXPECT_FALSE(button->isFadeRunning());
    EXPECT_EQ(faceAt(3, 3), kHot);
    leave(button); // a new leave fades from full highlight
    EXPECT_TRUE(button->isFadeRunning());
    button->hotTrackTick();
    EXPECT_EQ(button->hotTrackStep(), 7);
}

TEST_F(FxButtonTest, SwitchingSlowFadeOffEndsItAndDestroyingMidFadeIsSafe)
{
    button->setSlowDecease(true);
    enter(button);
    leave(button);
    button->hotTrackTick();
    button->setSlowDecease(false);
    EXPECT_FALSE(button->isFadeRunning());
    EXPECT_EQ(button->hotTrackStep(), 0);
    enter(button);
    leave(button);
    EXPECT_FALSE(button->isFadeRunning());
    EXPECT_EQ(button->hotTrackStep(), 0);

    // Switched on again, the fade works as before.
    button->setSlowDecease(true);
    enter(button);
    leave(button);
    EXPECT_TRUE(button->isFadeRunning());
    QPointer<TFxButton> guard(button);
    delete button;
    button = nullptr;
    QTest::qWait(50); // a pending timer tick must not reach the deleted button
    EXPECT_TRUE(guard.isNull());
}

TEST_F(FxButtonTest, ModalResultClosesAModalDialogAfterOnClick)
{
    QDialog dialog(window.get());
    auto* cancel = new TFxButton(&dialog);
    cancel->setModalResult(mrCancel);
    bool wasOpenInHandler = false;
    cancel->onClick = [&](TFxButton*) { wasOpenInHandler = dialog.isVisible(); };
    QTimer::singleShot(0, &dialog, [&] {
        QApplication::setActiveWindow(&dialog);
        QTest::mouseClick(cancel, Qt::LeftButton, {}, QPoint(5, 5));
    });
    QTimer::singleShot(2000, &dialog, [&] { dialog.done(99); }); // safety net
    EXPECT_EQ(dialog.exec(), mrCancel);
    EXPECT_TRUE(wasOpenInHandler);
}

TEST_F(FxButtonTest, ModalResultOnAModelessDialogOnlySetsTheResult)
{
    QDialog dialog(window.get());
    auto* ok = new TFxButton(&dialog);
    ok->setModalResult(mrOk);
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    QTest::mouseClick(ok, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(dialog.result(), mrOk);
    EXPECT_TRUE(dialog.isVisible());
    // A plain window has no modal result; the click just happens.
    button->setModalResult(mrOk);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(window->isVisible());
}

TEST_F(FxButtonTest, KindAndColourPresets)
{
    button->setKind(TFxButtonKind::bkCancel);
    EXPECT_EQ(button->kind(), TFxButtonKind::bkCancel);
    EXPECT_EQ(button->modalResult(), mrCancel);
    EXPECT_EQ(button->caption(), QStringLiteral("Abbrechen"));
    EXPECT_EQ(button->numGlyphs(), 2);
    EXPECT_EQ(button->glyph().width(), 36);
    EXPECT_EQ(button->glyph().height(), 18);
    button->setModalResult(mrOk);
    EXPECT_EQ(button->kind(), TFxButtonKind::bkCustom);
    EXPECT_EQ(button->caption(), QStringLiteral("Abbrechen")); // the preset's values stay

    button->setKind(TFxButtonKind::bkClose);
    EXPECT_EQ(button->caption(), QStringLiteral("Schließen"));
    EXPECT_EQ(button->modalResult(), mrNone);
    button->setKind(TFxButtonKind::bkAll);
    EXPECT_EQ(button->modalResult(), mrAll);
    EXPECT_EQ(button->glyph().height(), 19);
    button->setGlyph(QImage(40, 16, QImage::Format_RGB32));
    EXPECT_EQ(button->kind(), TFxButtonKind::bkCustom);
    EXPECT_EQ(button->numGlyphs(), 2);
    button->setGlyph(QImage());
    EXPECT_EQ(button->numGlyphs(), 0);
    EXPECT_TRUE(button->glyph().isEmpty());
    button->setKind(TFxButtonKind::bkCustom);
    EXPECT_EQ(button->modalResult(), mrAll); // bkCustom changes nothing else
    EXPECT_EQ(button->caption(), QStringLiteral("Alle"));

    button->setColorStyle(TFxColorStyle::lcsQuicken);
    EXPECT_EQ(button->colorStyle(), TFxColorStyle::lcsCustom);
    EXPECT_EQ(button->color(), rgb(0, 48, 96));
    EXPECT_EQ(button->fontColor(), clWhite);
    EXPECT_EQ(button->lightColor(), rgb(192, 192, 192));
    EXPECT_EQ(button->colorWhenDown(), rgb(41, 101, 173));
    EXPECT_EQ(button->hotTrackColor(), rgb(156, 174, 206));
    EXPECT_EQ(button->style(), TFxButtonStyle::bsQuicken);
    button->setColorStyle(TFxColorStyle::lcsUltraFlatXP);
    EXPECT_EQ(button->shadowColor(), rgb(133, 146, 181));
    EXPECT_TRUE(button->flat());
    EXPECT_EQ(button->fontColor(), clBlack);
    button->setColorStyle(TFxColorStyle::lcsCustom); // nothing at all
    EXPECT_TRUE(button->flat());
    EXPECT_EQ(button->style(), TFxButtonStyle::bsNormal);
}

TEST_F(FxButtonTest, FaceShowsPressAndFocus)
{
    button->setColorWhenDown(rgb(255, 128, 0));
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(faceAt(10, 3), rgb(255, 128, 0));
    EXPECT_EQ(faceAt(0, 0), rgb(128, 128, 128)); // edge inverted
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(5, 5));
    ASSERT_TRUE(button->hasFocus());
    // Focused: a dotted focus rectangle from (4, 4) inverts every other pixel.
    EXPECT_NE(faceAt(4, 4), kFace);
    EXPECT_EQ(faceAt(5, 4), kFace);
    EXPECT_EQ(faceAt(3, 3), kFace);
    button->clearFocus();
    EXPECT_EQ(faceAt(4, 4), kFace);

    button->setStyle(TFxButtonStyle::bsOld);
    button->setFocus();
    EXPECT_EQ(faceAt(0, 0), clBlack); // the focused classic button wears a black frame
    EXPECT_EQ(faceAt(79, 24), clBlack);
}

TEST_F(FxButtonTest, HotTrackFontIsUsedWhileHot)
{
    button->clearFocus(); // hot by focus would count as hot too
    button->setCaption(QStringLiteral("Apply"));
    QFont big = button->font();
    big.setBold(true);
    button->setHotTrackFont(Font{big, rgb(0, 0, 255)});
    button->setUseHotTrackFont(true);
    auto blue = [&] {
        const Bitmap b(button->renderFace());
        int n = 0;
        for (int y = 0; y < b.height(); ++y)
            for (int x = 0; x < b.width(); ++x)
                n += b.pixel(x, y) == rgb(0, 0, 255);
        return n;
    };
    EXPECT_EQ(blue(), 0);
    enter(button);
    EXPECT_GT(blue(), 0);
    leave(button);
    EXPECT_EQ(blue(), 0);
}

TEST_F(FxButtonTest, PopupMenuOpensBelowAfterTheClick)
{
    QMenu menu;
    menu.addAction(QStringLiteral("One"));
    button->setPopupMenu(&menu);
    EXPECT_EQ(faceAt(80 - 11, 25 / 2 - 1), clBlack); // drop-down arrow
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(menu.isVisible());
    EXPECT_EQ(menu.pos(), button->mapToGlobal(QPoint(0, 25)));
    menu.close();
}

TEST_F(FxButtonTest, LinkedActionFollowsAndRunsAfterOnClick)
{
    QAction action(QStringLiteral("&Run"));
    QStringList order;
    QObject::connect(&action, &QAction::triggered, [&] { order << QStringLiteral("action"); });
    button->onClick = [&](TFxButton*) { order << QStringLiteral("click"); };
    QPixmap icon(16, 16);
    icon.fill(Qt::blue);
    action.setIcon(QIcon(icon));
    button->setAction(&action);
    EXPECT_EQ(button->caption(), QStringLiteral("&Run"));
    EXPECT_EQ(button->numGlyphs(), 1);
    EXPECT_EQ(button->glyph().pixel(8, 8), rgb(0, 0, 255));
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(order == (QStringList{QStringLiteral("click"), QStringLiteral("action")}));

    action.setEnabled(false);
    EXPECT_FALSE(button->isEnabled());
    action.setVisible(false);
    EXPECT_TRUE(button->isHidden());
    action.setVisible(true);
    EXPECT_FALSE(button->isHidden());
    action.setText(QStringLiteral("Stop"));
    EXPECT_EQ(button->caption(), QStringLiteral("Stop"));
}

TEST_F(FxButtonTest, SmallPictureButtonAndEmptyButton)
{
    // The fold buttons: 11 by 11, a picture and no caption.
    auto* fold = new TFxButton(window.get());
    fold->setGeometry(10, 60, 11, 11);
    QImage picture(7, 7, QImage::Format_RGB32);
    picture.fill(QColor(255, 0, 255));
    for (int i = 0; i < 7; ++i)
        picture.setPixel(i, 3, qRgb(0, 0, 0));
    fold->setGlyph(picture);
    EXPECT_EQ(fold->numGlyphs(), 1);
    fold->show();
    const Bitmap face(fold->renderFace());
    EXPECT_EQ(face.pixel(5, 5), clBlack); // centred: (11 - 7) div 2 + 3
    EXPECT_EQ(face.pixel(2, 5), clBlack);
    EXPECT_EQ(face.pixel(5, 4), colorToRgb(clBtnFace));
    int folds = 0;
    fold->onClick = [&](TFxButton*) { ++folds; };
    QTest::mouseClick(fold, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(folds, 1);

    button->resize(0, 0);
    EXPECT_TRUE(button->renderFace().isNull());
    button->repaint();
}

// The windows' buttons: face in the window colour, yellow under the pointer, orange while
// pressed, probed on the painted face away from the caption.
TEST(FormButton, WindowLookByPixel)
{
    Window w;
    w.resize(200, 100);
    TFxButton* b = addButton(&w, QStringLiteral("Btn_OK"), 10, 10, 110, 28);
    b->setCaption(QStringLiteral("OK"));
    w.show();
    EXPECT_EQ(b->objectName(), QStringLiteral("Btn_OK"));
    EXPECT_EQ(b->geometry(), QRect(10, 10, 110, 28));
    EXPECT_EQ(b->style(), TFxButtonStyle::bsEncarta);
    const auto probe = [b] { return Bitmap(b->renderFace()).pixel(6, 6); };
    EXPECT_EQ(probe(), rgb(248, 247, 237));
    EXPECT_EQ(Bitmap(b->renderFace()).pixel(0, 0), clGray); // the flat grey edge
    enter(b);
    EXPECT_EQ(probe(), clYellow);
    QTest::mousePress(b, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(probe(), rgb(255, 128, 0));
    QTest::mouseRelease(b, Qt::LeftButton, {}, QPoint(5, 5));
    leave(b);
    b->clearFocus();
    EXPECT_EQ(probe(), rgb(248, 247, 237));
}
