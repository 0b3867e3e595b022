#pragma once
// What the drop-down window tests share: a top-level window to put edits on, keys and clicks
// sent the way the platform delivers them, and a fake clock for the popup's re-open guard.
#include "controls/grid/dropdown/ExtDropDown.h"
#include "support/FakeProcess.h"
#include "support/QtPrinters.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QWheelEvent>
#include <QWidget>
#include <gtest/gtest.h>

namespace dropdown_test {

using namespace controls::grid;
using namespace controls::grid::dropdown;

// A key press and release sent to a widget (the edit, its popup, or a control in the popup).
inline void Key(QWidget* w, int qtKey, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString& text = QString())
{
    QKeyEvent press(QEvent::KeyPress, qtKey, mods, text);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, qtKey, mods, text);
    QApplication::sendEvent(w, &release);
}

// Characters typed one after the other.
inline void Type(QWidget* w, const QString& text)
{
    for (QChar c : text) {
        int key = c.toUpper().unicode();
        if (c == u'\r')
            key = Qt::Key_Return;
        Key(w, key, Qt::NoModifier, QString(c));
    }
}

inline void Click(QWidget* w, QPoint p, Qt::MouseButton b = Qt::LeftButton)
{
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(p), w->mapToGlobal(QPointF(p)), b, b, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(p), w->mapToGlobal(QPointF(p)), b, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(w, &release);
}

inline void MoveMouse(QWidget* w, QPoint p)
{
    QMouseEvent move(QEvent::MouseMove, QPointF(p), w->mapToGlobal(QPointF(p)), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(w, &move);
}

// One notch of the mouse wheel over a widget: down (towards the user) or up.
inline void Wheel(QWidget* w, bool down)
{
    const QPointF at(w->width() / 2.0, w->height() / 2.0);
    QWheelEvent e(at, w->mapToGlobal(at), QPoint(), QPoint(0, down ? -120 : 120), Qt::NoButton, Qt::NoModifier,
                  Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &e);
}

// The window the edits of a test stand on; the screen is 1280 x 1024.
class DropDownWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        window.setGeometry(0, 0, 1280, 1024);
        window.show();
    }
    void TearDown() override { QApplication::processEvents(); }

    // Places an edit at window coordinates and gives it the focus.
    template <typename T>
    void Put(T* edit, int x, int y, int w = 150, int h = 21)
    {
        edit->setGeometry(x, y, w, h);
        edit->show();
        edit->setFocus();
    }
    static QRect ScreenRect() { return QGuiApplication::primaryScreen()->geometry(); }

    testing_support::FakeClock clock;
    QWidget window;
};

} // namespace dropdown_test
