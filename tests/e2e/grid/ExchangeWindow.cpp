// A window made for the end-to-end run of the grid's exchange with the outside: a source grid
// with texts, a target grid that takes pastes and lets its columns be dragged to another place,
// and a grid that takes dropped CSV files. It writes the client positions a script aims at into
// "layout.txt" and, when it is closed, every grid's cells into source.txt, target.txt and
// csv.txt (one row a line, cells separated by tabs).
#include "controls/grid/input/GridInput.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QHBoxLayout>
#include <QTextStream>
#include <QTimer>
#include <QWidget>

using namespace controls::grid;

namespace {

class ExchangeWindow : public QWidget {
public:
    ExchangeWindow()
    {
        setWindowTitle(QStringLiteral("Grid Exchange Test"));
        resize(1000, 420);
        auto* layout = new QHBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        source = grid(4, 6);
        target = grid(6, 8);
        csv = grid(4, 6);
        for (auto* g : {source, target, csv})
            layout->addWidget(g);
        for (int r = 1; r < 6; ++r)
            for (int c = 0; c < 4; ++c)
                source->SetCells(c, r, QStringLiteral("s%1%2").arg(c).arg(r));
        for (int c = 0; c < 6; ++c)
            target->SetCells(c, 0, QStringLiteral("H%1").arg(c));
        target->DragDropSettings.OleDropSource = true;
        target->DragDropSettings.OleColumnDragDrop = true;
        target->DragDropSettings.OleColumnReorder = true;
        target->DragDropSettings.SetOleDropTarget(true);
        csv->DragDropSettings.SetOleDropTarget(true);
        QTimer::singleShot(300, this, [this]() { writeLayout(); });
    }

protected:
    void closeEvent(QCloseEvent* e) override
    {
        write(source, QStringLiteral("source.txt"));
        write(target, QStringLiteral("target.txt"));
        write(csv, QStringLiteral("csv.txt"));
        e->accept();
    }

private:
    TExtStringGridInput* grid(int cols, int rows)
    {
        auto* g = new TExtStringGridInput(this);
        g->SetColCount(cols);
        g->SetRowCount(rows);
        g->SetFixedCols(0);
        g->SetFixedRows(1);
        g->setOptions(g->options() | platform::goEditing | platform::goRangeSelect);
        g->Navigation.AllowClipboardShortCuts = true;
        for (int c = 0; c < cols; ++c)
            g->setColWidths(c, 70);
        return g;
    }

    void write(TExtStringGridInput* g, const QString& name)
    {
        QFile f(name);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return;
        QTextStream out(&f);
        for (int r = 0; r < g->RowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < g->ColCount(); ++c)
                cells << g->Cells(g->RealColIndex(c), r);
            out << cells.join(u'\t') << '\n';
        }
    }

    void writeLayout()
    {
        QFile f(QStringLiteral("layout.txt"));
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return;
        QTextStream out(&f);
        const struct {
            const char* name;
            TExtStringGridInput* grid;
        } grids[] = {{"source", source}, {"target", target}, {"csv", csv}};
        for (const auto& g : grids) {
            const QPoint origin = g.grid->viewport()->mapTo(this, QPoint(0, 0));
            for (int c = 0; c < g.grid->ColCount(); ++c)
                for (int r = 0; r < g.grid->RowCount(); ++r) {
                    const platform::Rect rect = g.grid->CellRect(c, r);
                    out << g.name << "_" << c << "_" << r << " " << origin.x() + (rect.left + rect.right) / 2 << " "
                        << origin.y() + (rect.top + rect.bottom) / 2 << '\n';
                }
        }
    }

    TExtStringGridInput* source;
    TExtStringGridInput* target;
    TExtStringGridInput* csv;
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    ExchangeWindow w;
    w.show();
    return app.exec();
}
