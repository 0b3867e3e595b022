// A window made for the end-to-end run of the grid's editors: a small table with a number
// column, then a spin column (0..100), a date column, an energy column with a value and a unit,
// and a note column; Tab walks the cells and opens each editor. It writes the positions a script
// needs into "layout.txt" and, when it is closed, every cell into "cells.txt" (one row a line,
// cells separated by tabs). While it runs, "state.txt" tells what a script waits for (StateLine.h).
#include "controls/grid/column/ColumnGrid.h"
#include "controls/grid/edit/GridEditors.h"
#include "StateLine.h"

#include <QApplication>
#include <QCloseEvent>
#include <QTextStream>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

using namespace controls::grid;

namespace {

enum Cols { cNo, cCount, cDate, cEnergy, cNote, cColumns };
constexpr int kRows = 5;

class EditorsWindow : public QWidget {
public:
    EditorsWindow()
    {
        setWindowTitle(QStringLiteral("Grid Editors Test"));
        resize(640, 240);
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        grid = new TExtColumnGrid(this);
        layout->addWidget(grid);
        grid->SetColCount(cColumns);
        grid->SetRowCount(kRows + 1);
        grid->setOptions(grid->options() | platform::goTabs);
        const QStringList headers{"No", "Count", "Date", "Energy", "Note"};
        const TEditorType kinds[cColumns] = {edNormal, edSpinEdit, edDateEdit, edUnitEditBtn, edNormal};
        for (int c = 0; c < cColumns; ++c) {
            grid->Columns().Items(c)->SetHeader(headers[c]);
            grid->Columns().Items(c)->SetWidth(c == cNo ? 40 : 130);
            grid->Columns().Items(c)->SetEditor(kinds[c]);
        }
        grid->Columns().Items(cNo)->ReadOnly = true;
        grid->Columns().Items(cCount)->SpinMin = 0;
        grid->Columns().Items(cCount)->SpinMax = 100;
        grid->OnGetEditorProp = [this](TExtStringGridEdit*, int col, int) {
            if (col == cEnergy)
                grid->UnitEditBtn()->SetUnits({"kWh", "Wh", "W"});
        };
        for (int r = 1; r <= kRows; ++r) {
            grid->SetCells(cNo, r, QString::number(r));
            grid->SetCells(cCount, r, QStringLiteral("10"));
            grid->SetCells(cDate, r, QStringLiteral("15/03/2024"));
            grid->SetCells(cEnergy, r, QStringLiteral("1kWh"));
        }
        QTimer::singleShot(300, this, [this]() { writeLayout(); });
        new StateLine(grid);
    }

protected:
    void closeEvent(QCloseEvent* e) override
    {
        WriteWhole(QStringLiteral("cells.txt"),
                   CellLines(kRows, grid->ColCount(), [this](int c, int r) { return grid->Cells(c, r); }));
        e->accept();
    }

private:
    // Client positions (in the window) of the cells, and of the up arrow of the spin editor over
    // the first spin cell.
    void writeLayout()
    {
        QString text;
        QTextStream out(&text);
        const QPoint origin = grid->viewport()->mapTo(this, QPoint(0, 0));
        for (int c = 0; c < cColumns; ++c)
            for (int r = 0; r <= kRows; ++r) {
                const platform::Rect rect = grid->CellRect(c, r);
                out << "cell_" << c << "_" << r << " " << origin.x() + (rect.left + rect.right) / 2 << " "
                    << origin.y() + (rect.top + rect.bottom) / 2 << '\n';
            }
        // The spin editor lies over the cell less its grid line; its arrows at its right edge,
        // the up arrow in the upper half.
        const platform::Rect cell = grid->CellRect(cCount, 1);
        TGridSpin* spin = grid->SpinEdit();
        const int arrowWidth = spin->Button()->width();
        const int editorRight = cell.left + cell.width() - 1;
        out << "spin_up " << origin.x() + editorRight - 1 - arrowWidth / 2 - 1 << " "
            << origin.y() + cell.top + (cell.height() - 1) / 4 << '\n';
        out.flush();
        WriteWhole(QStringLiteral("layout.txt"), text);
    }

    TExtColumnGrid* grid;
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    EditorsWindow w;
    w.show();
    return app.exec();
}
