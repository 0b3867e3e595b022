#pragma once
// A column grid laid out like a protocol-table window: a fixed row-number column, then an
// edNormal, an edComboList, an edComboEdit, a centred edDataCheckBox and a read-only column.
#include "controls/grid/column/ColumnGrid.h"

#include <QApplication>
#include <QCoreApplication>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

namespace gridtest {

using namespace controls::grid;

enum Cols { cNumber = 0, cText = 1, cList = 2, cEdit = 3, cCheck = 4, cReadOnly = 5 };

class ColumnGridTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        window.resize(640, 400);
        grid = new TExtColumnGrid(&window);
        grid->setGeometry(0, 0, 620, 380);
        grid->SetColCount(6);
        grid->SetRowCount(10);
        grid->setOptions(grid->options() | platform::goColSizing);
        grid->Columns().Items(cList)->SetEditor(edComboList);
        grid->Columns().Items(cList)->ComboItems().AddStrings(QStringList{"Alpha", "Beta", "Gamma"});
        grid->Columns().Items(cEdit)->SetEditor(edComboEdit);
        grid->Columns().Items(cEdit)->ComboItems().AddStrings(QStringList{"ONE", "TWO"});
        grid->Columns().Items(cCheck)->SetEditor(edDataCheckBox);
        grid->Columns().Items(cCheck)->SetAlignment(platform::Alignment::taCenter);
        grid->Columns().Items(cReadOnly)->ReadOnly = true;
        for (int r = 1; r < 10; ++r) {
            grid->SetCells(cNumber, r, QString::number(r));
            grid->SetCells(cReadOnly, r, QStringLiteral("ro%1").arg(r));
        }
        window.show();
        QApplication::setActiveWindow(&window);
        grid->setFocus();
        QCoreApplication::processEvents();
    }

    void key(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier)
    {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : grid;
        QTest::keyClick(target, k, m);
        QCoreApplication::processEvents();
    }

    void type(const QString& text)
    {
        for (QChar ch : text) {
            QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : grid;
            QTest::keyClick(target, ch.toLatin1());
            QCoreApplication::processEvents();
        }
    }

    QPoint cellPoint(int col, int row, int dx = 0, int dy = 0) const
    {
        const platform::Rect r = grid->CellRect(col, row);
        return QPoint((r.left + r.right) / 2 + dx, (r.top + r.bottom) / 2 + dy);
    }

    void click(int col, int row, int dx = 0, int dy = 0)
    {
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, cellPoint(col, row, dx, dy));
        QCoreApplication::processEvents();
    }

    void goTo(int col, int row)
    {
        grid->MoveToCell(col, row);
        grid->setFocus();
        QCoreApplication::processEvents();
    }

    QWidget window;
    TExtColumnGrid* grid = nullptr;
};

} // namespace gridtest
