#pragma once
// Keys and moves sent to a column grid and the editor that holds the focus, the way the editor
// tests of the grid drive it: each key goes to the focused widget (the grid or its open editor)
// and the events it posts are handled before the next one.
#include "controls/grid/column/ColumnGrid.h"

#include <QApplication>
#include <QCoreApplication>
#include <QTest>
#include <QWidget>

namespace gridtest {

struct GridKeyDriver {
    controls::grid::TExtColumnGrid* grid = nullptr;

    static QWidget* focused() { return QApplication::focusWidget(); }
    void key(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier)
    {
        QTest::keyClick(focused() ? focused() : grid, k, m);
        settle();
    }
    void type(const QString& text)
    {
        for (QChar ch : text) {
            QTest::keyClick(focused() ? focused() : grid, ch.toLatin1());
            settle();
        }
    }
    static void settle()
    {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }
    void goTo(int col, int row)
    {
        grid->MoveToCell(col, row);
        grid->setFocus();
        settle();
    }
    QString cell(int col, int row) const { return grid->Cells(col, row); }
};

} // namespace gridtest
