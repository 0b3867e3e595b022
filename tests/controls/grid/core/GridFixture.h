#pragma once
// A string grid on a shown window, for the tests that need geometry or painting.
#include "controls/grid/core/ExtStringGrid.h"

#include <QApplication>
#include <QWidget>
#include <memory>

struct ShownGrid {
    std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
    controls::grid::TExtStringGrid* grid = new controls::grid::TExtStringGrid(window.get());
    ShownGrid(int cols, int rows, int width = 560, int height = 360)
    {
        window->resize(width + 40, height + 40);
        grid->setGeometry(0, 0, width, height);
        grid->SetColCount(cols);
        grid->SetRowCount(rows);
        window->show();
        QApplication::processEvents();
    }
};
