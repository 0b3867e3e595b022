// A window made for the end-to-end run of the column grid: a 2000-row table like the protocol
// tables (a fixed number column, then text, pick-list, editable-list, check box and read-only
// columns). Its title names the current row, so a script can tell where the grid is; it writes
// the layout a script needs to aim the mouse into "layout.txt" and, when it is closed, every
// cell into "cells.txt" (one row a line, cells separated by tabs); "state.txt" tells what a
// script waits for (StateLine.h). A header click sorts.
#include "controls/grid/column/ColumnGrid.h"
#include "StateLine.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCloseEvent>
#include <QTextStream>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

using namespace controls::grid;

namespace {

constexpr int kRows = 2000;

class GridWindow : public QWidget {
public:
    GridWindow()
    {
        setWindowTitle(QStringLiteral("Column Grid Test"));
        resize(760, 520);
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        grid = new TExtColumnGrid(this);
        layout->addWidget(grid);
        grid->SetColCount(6);
        grid->SetRowCount(kRows + 1);
        grid->setOptions(grid->options() | platform::goColSizing | platform::goTabs);
        const QStringList headers{"No", "Name", "Type", "Unit", "Enabled", "Address"};
        for (int c = 0; c < 6; ++c) {
            grid->Columns().Items(c)->SetHeader(headers[c]);
            grid->Columns().Items(c)->SetWidth(c == 0 ? 50 : 110);
        }
        grid->Columns().Items(2)->SetEditor(edComboList);
        grid->Columns().Items(2)->ComboItems().AddStrings(QStringList{"Coil", "Register", "Input"});
        grid->Columns().Items(3)->SetEditor(edComboEdit);
        grid->Columns().Items(3)->ComboItems().AddStrings(QStringList{"V", "A", "W"});
        grid->Columns().Items(4)->SetEditor(edDataCheckBox);
        grid->Columns().Items(4)->SetAlignment(platform::Alignment::taCenter);
        grid->Columns().Items(5)->ReadOnly = true;
        grid->ControlLook.SetControlStyle(csWinXP);
        for (int r = 1; r <= kRows; ++r) {
            grid->SetCells(0, r, QString::number(r));
            grid->SetCells(4, r, QStringLiteral("N"));
            grid->SetCells(5, r, QStringLiteral("A%1").arg(r));
        }
        grid->OnRowChanged = [this](TExtStringGrid*, int, int row) {
            setWindowTitle(QStringLiteral("Column Grid Test - row %1").arg(row));
        };
        // A click on a header sorts by its column; each sort writes "sort.txt": the column, the
        // direction (0 ascending, 1 descending) and the column's first three data cells.
        grid->SortSettings.SetShow(true);
        grid->OnClickSort = [this](TExtStringGridEdit*, int col) {
            QString line = QString::number(col) + u' ' + QString::number(int(grid->SortSettings.Direction));
            for (int r = 1; r <= 3 && col >= 0; ++r)
                line += u' ' + grid->Cells(col, r);
            WriteWhole(QStringLiteral("sort.txt"), line + u'\n');
        };
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
    // Client positions (in the window) of the cells the script uses, and the list item height.
    void writeLayout()
    {
        QString text;
        QTextStream out(&text);
        const QPoint origin = grid->viewport()->mapTo(this, QPoint(0, 0));
        for (int c = 0; c < 6; ++c)
            for (int r = 0; r <= 4; ++r) {
                const platform::Rect rect = grid->CellRect(c, r);
                out << "cell_" << c << "_" << r << " " << origin.x() + (rect.left + rect.right) / 2 << " "
                    << origin.y() + (rect.top + rect.bottom) / 2 << " " << origin.x() + rect.right << " "
                    << origin.y() + rect.bottom << '\n';
            }
        // The height of a list item, measured on the editor's own list with a stand-in item.
        auto* combo = grid->EditCombo();
        combo->addItem(QStringLiteral("Register"));
        out << "item_height " << combo->view()->sizeHintForRow(0) << '\n';
        combo->clear();
        out << "list_height " << grid->CellRect(2, 2).height() << '\n';
        out.flush();
        WriteWhole(QStringLiteral("layout.txt"), text);
    }

    TExtColumnGrid* grid;
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    GridWindow w;
    w.show();
    return app.exec();
}
