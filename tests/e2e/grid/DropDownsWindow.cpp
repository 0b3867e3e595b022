// A window made for the end-to-end run of the grid's drop-down editors: a small table with a
// number column, then a colour column, a time column (the clock), a city column (a grid
// drop-down of cities) and an amount column (the calculator); Tab walks the cells and opens each
// editor. It writes the cell centres into "layout.txt"; while it runs, its state into
// "state.txt" (the current cell, whether an editor is open and its popup dropped, the editor's
// value, the cells of row 1) whenever that changes; while a popup is open, the screen positions a
// script needs in it into "popup.txt" (the colour list's items, the clock's centre and radius,
// the city grid's rows); when it is closed, every cell into "cells.txt" (one row a line, cells
// separated by tabs, the colour cell as its colour in hex).
#include "controls/grid/column/ColumnGrid.h"
#include "controls/grid/dropdown/ItemSelector.h"
#include "controls/grid/dropdown/grid/GridExtGridEditor.h"
#include "controls/grid/edit/GridDropDownEditors.h"
#include "StateLine.h"

#include <QApplication>
#include <QCloseEvent>
#include <QTextStream>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

using namespace controls::grid;

namespace {

enum Cols { cNo, cColour, cTime, cCity, cAmount, cColumns };
constexpr int kRows = 4;

class DropDownsWindow : public QWidget {
public:
    DropDownsWindow()
    {
        setWindowTitle(QStringLiteral("Grid DropDowns Test"));
        resize(700, 220);
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        grid = new TExtColumnGrid(this);
        layout->addWidget(grid);
        grid->SetColCount(cColumns);
        grid->SetRowCount(kRows + 1);
        grid->setOptions(grid->options() | platform::goTabs);
        const QStringList headers{"No", "Colour", "Time", "City", "Amount"};
        const TEditorType kinds[cColumns] = {edNormal, edColorPickerDropDown, edTimePickerDropDown, edExtGridDropDown,
                                             edCalculatorDropDown};
        for (int c = 0; c < cColumns; ++c) {
            grid->Columns().Items(c)->SetHeader(headers[c]);
            grid->Columns().Items(c)->SetWidth(c == cNo ? 40 : 140);
            grid->Columns().Items(c)->SetEditor(kinds[c]);
        }
        grid->Columns().Items(cNo)->ReadOnly = true;
        for (int r = 1; r <= kRows; ++r) {
            grid->SetCells(cNo, r, QString::number(r));
            grid->SetColors(cColour, r, platform::clWhite);
            grid->SetCells(cTime, r, QStringLiteral("09:15:00"));
            grid->SetCells(cCity, r, QStringLiteral("Oslo"));
            grid->SetCells(cAmount, r, QStringLiteral("1"));
        }
        grid->OnGetEditorProp = [this](TExtStringGridEdit*, int col, int) { prepare(col); };
        QTimer::singleShot(300, this, [this]() { writeLayout(); });
        auto* watch = new QTimer(this);
        connect(watch, &QTimer::timeout, this, [this]() { report(); });
        watch->start(40);
    }

protected:
    void closeEvent(QCloseEvent* e) override
    {
        WriteWhole(QStringLiteral("cells.txt"),
                   CellLines(kRows, grid->ColCount(), [this](int c, int r) { return cellText(c, r); }));
        e->accept();
    }

private:
    // The editors as the application sets them up when their cells open.
    void prepare(int col)
    {
        dropdown::TExtCustomDropDown* d = nullptr;
        if (col == cColour) {
            d = grid->ColorPickerDropDown();
        } else if (col == cTime) {
            d = grid->TimePickerDropDown();
        } else if (col == cCity) {
            TGridExtGridDropDown* g = grid->ExtGridPicker();
            d = g;
            if (g->Items().Count() == 0) {
                g->Columns().Add()->Header = QStringLiteral("City");
                g->Columns().Add()->Header = QStringLiteral("Country");
                const char* cities[][2] = {{"Oslo", "Norway"}, {"Berlin", "Germany"}, {"Rome", "Italy"},
                                           {"Madrid", "Spain"}};
                for (const auto& c : cities)
                    g->Items().Add()->Text = QStringList{QString::fromLatin1(c[0]), QString::fromLatin1(c[1])};
            }
        } else if (col == cAmount) {
            d = grid->CalculatorDropDown();
        }
        (void)d;
    }

    // Writes a file whole when its text changed (a reader never sees half of it).
    static void writeIfChanged(const QString& name, const QString& text, QString& last)
    {
        if (text != last && WriteWhole(name, text))
            last = text;
    }

    QString cellText(int c, int r) const
    {
        return c == cColour && r > 0 ? QString::number(grid->Colors(c, r), 16) : grid->Cells(c, r);
    }

    // The window's state, and the popup's positions while one is open.
    void report()
    {
        dropdown::TExtCustomDropDown* d = grid->EditMode() ? grid->DropDownEditor(grid->EditControl()) : nullptr;
        const bool dropped = d && d->DroppedDown() && d->DropDownForm()->isVisible();
        QString state;
        QTextStream out(&state);
        out << "current " << grid->col() << " " << grid->row() << '\n';
        out << "editing " << (grid->EditMode() ? 1 : 0) << '\n';
        out << "dropped " << (dropped ? 1 : 0) << '\n';
        // The editor's value: the colour editor's colour in hex, any other editor's text.
        QString value = d ? d->GetText() : QString();
        if (d && grid->EditControl() == edColorPickerDropDown)
            value = QString::number(grid->ColorPickerDropDown()->SelectedColor(), 16);
        out << "edit " << value << '\n';
        for (int c = 1; c < cColumns; ++c)
            out << "cell " << c << " 1 " << cellText(c, 1) << '\n';
        out.flush();
        writeIfChanged(QStringLiteral("state.txt"), state, m_lastState);
        if (dropped)
            writeIfChanged(QStringLiteral("popup.txt"), popupText(grid->col()), m_lastPopup);
        else if (!m_lastPopup.isEmpty())
            writeIfChanged(QStringLiteral("popup.txt"), QStringLiteral("closed\n"), m_lastPopup);
    }

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
        out.flush();
        WriteWhole(QStringLiteral("layout.txt"), text);
    }

    // Screen positions inside the open popup.
    QString popupText(int col)
    {
        QString text;
        QTextStream out(&text);
        if (col == cColour) {
            dropdown::TExtCustomItemSelector* list = grid->ColorPickerDropDown()->ListSelector();
            for (int i = 0; i < list->Items().Count(); ++i) {
                const platform::Rect r = list->Items()[i]->ItemRect;
                const QPoint at((r.left + r.right) / 2, (r.top + r.bottom) / 2);
                // Only the items in sight of the list.
                if (!list->viewport()->rect().contains(list->Panel()->mapTo(list->viewport(), at)))
                    continue;
                const QPoint p = list->Panel()->mapToGlobal(at);
                out << "colour_" << i << " " << p.x() << " " << p.y() << " " << list->Items()[i]->Caption() << '\n';
            }
        } else if (col == cTime) {
            dropdown::TExtWatch* watch = grid->TimePickerDropDown()->Watch();
            const auto g = watch->Geometry();
            const QPoint c = watch->mapToGlobal(g.center);
            out << "clock " << c.x() << " " << c.y() << " " << g.radius << '\n';
        } else if (col == cCity) {
            TExtStringGrid* inner = grid->ExtGridPicker()->Grid();
            for (int r = 1; r < inner->RowCount(); ++r) {
                const platform::Rect rect = inner->CellRect(0, r);
                const QPoint p = inner->viewport()->mapToGlobal(QPoint(rect.left + 10, (rect.top + rect.bottom) / 2));
                out << "city_" << r << " " << p.x() << " " << p.y() << " " << inner->Cells(0, r) << '\n';
            }
        }
        out << "open\n";
        out.flush();
        return text;
    }

    TExtColumnGrid* grid;
    QString m_lastState;
    QString m_lastPopup;
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    DropDownsWindow w;
    w.show();
    return app.exec();
}
