#pragma once
// The offscreen grid of the tests: 5 columns x 10 rows (1 fixed row and column) with the
// default sizes, in a window of its own next to a second focusable control, focused.
//
// Geometry with these defaults: the grid is 400 x 250 with a 2-pixel border, so its client
// area is 396 x 246 less a vertical scroll bar; columns are 64 + 1 pixels of line wide (column
// c starts at 65 x c), rows 24 + 1 high (row r starts at 25 x r while TopRow is 1).
#include "platform/grid/InplaceEdit.h"
#include "platform/grid/StringGrid.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTest>
#include <QWheelEvent>
#include <QWidget>
#include <gtest/gtest.h>
#include <map>
#include <ostream>
#include <memory>
#include <utility>

namespace platform {
inline void PrintTo(const TGridCoord& c, std::ostream* os) { *os << "(" << c.X << "," << c.Y << ")"; }
inline void PrintTo(const TGridRect& r, std::ostream* os)
{
    *os << "[" << r.Left << "," << r.Top << " - " << r.Right << "," << r.Bottom << "]";
}
inline void PrintTo(const Rect& r, std::ostream* os)
{
    *os << "{" << r.left << "," << r.top << "," << r.right << "," << r.bottom << "}";
}
} // namespace platform

namespace gridtest {

using namespace platform;

// A grid that counts its DrawCell calls and lets tests reach the protected steps.
class TestGrid : public TStringGrid {
public:
    using TStringGrid::TStringGrid;
    std::map<std::pair<int, int>, int> drawn;
    int editLimit = 0;
    QString editMask;
    int editorsCreated = 0;
    bool refuseEditor = false;

    void tick() { scrollTimerTick(); }
    int dropPlace() const { return movePos(); }
    using TStringGrid::wmVScroll;
    using TStringGrid::wmHScroll;

protected:
    void drawCell(int col, int row, const Rect& rect, TGridDrawState state) override
    {
        ++drawn[{col, row}];
        TStringGrid::drawCell(col, row, rect, state);
    }
    int getEditLimit() override { return editLimit; }
    TInplaceEdit* createEditor() override
    {
        ++editorsCreated;
        return TStringGrid::createEditor();
    }
    bool canEditShow() override { return !refuseEditor && TStringGrid::canEditShow(); }
    QString getEditMask(int col, int row) override
    {
        return editMask.isEmpty() ? TStringGrid::getEditMask(col, row) : editMask;
    }
};

class GridTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        window = std::make_unique<QWidget>();
        window->resize(600, 400);
        grid = new TestGrid(window.get());
        grid->setGeometry(10, 10, 400, 250);
        grid->setColCount(5);
        grid->setRowCount(10);
        other = new QLineEdit(window.get());
        other->setGeometry(10, 300, 100, 20);
        window->show();
        QApplication::setActiveWindow(window.get());
        grid->setFocus();
        QApplication::processEvents();
    }
    void TearDown() override { window.reset(); }

    void key(Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString& text = QString())
    {
        QKeyEvent press(QEvent::KeyPress, k, mods, text);
        QApplication::sendEvent(grid, &press);
        QKeyEvent release(QEvent::KeyRelease, k, mods, text);
        QApplication::sendEvent(grid, &release);
    }
    void type(QWidget* target, const QString& text)
    {
        for (const QChar ch : text) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
            QApplication::sendEvent(target, &press);
            QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(ch));
            QApplication::sendEvent(target, &release);
        }
    }
    void mouse(QEvent::Type type, QPoint p, Qt::MouseButton button, Qt::MouseButtons buttons,
               Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QMouseEvent e(type, QPointF(p), QPointF(grid->viewport()->mapToGlobal(p)), button, buttons, mods);
        QApplication::sendEvent(grid->viewport(), &e);
    }
    void press(QPoint p, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        mouse(QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton, mods);
    }
    void dragTo(QPoint p) { mouse(QEvent::MouseMove, p, Qt::NoButton, Qt::LeftButton); }
    void hover(QPoint p) { mouse(QEvent::MouseMove, p, Qt::NoButton, Qt::NoButton); }
    void release(QPoint p) { mouse(QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton); }
    void click(QPoint p)
    {
        press(p);
        release(p);
    }
    QPoint centre(int col, int row) const
    {
        const Rect r = grid->cellRect(col, row);
        return QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
    TGridCoord current() const { return TGridCoord{grid->col(), grid->row()}; }

    std::unique_ptr<QWidget> window;
    TestGrid* grid = nullptr;
    QLineEdit* other = nullptr;
};

} // namespace gridtest
