// A window made for the end-to-end run of the grid's exchange with the outside: a source grid
// with texts, a target grid that takes pastes and lets its columns be dragged to another place,
// and a grid that takes dropped CSV files. It writes the client positions a script aims at into
// "layout.txt" and, when it is closed, every grid's cells into source.txt, target.txt and
// csv.txt (one row a line, cells separated by tabs). While it runs it keeps "state.txt" up to
// date (written whole on every change): each grid's selection and cells, the clipboard's text
// and the cell a drag is over, so that the script waits for what it did to show.
#include "controls/grid/input/GridInput.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFile>
#include <QHBoxLayout>
#include <QSaveFile>
#include <QTextStream>
#include <QTimer>
#include <QWidget>
#include <array>

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
        for (auto* g : {target, csv})
            g->OnOleDragOver = [this](TExtStringGridInput* sender, int row, int col, bool&) {
                m_over = QStringLiteral("%1 %2 %3").arg(sender == target ? "target" : "csv").arg(col).arg(row);
            };
        // The layout too follows the window (a window manager may still size it once shown).
        auto* poll = new QTimer(this);
        connect(poll, &QTimer::timeout, this, [this]() {
            writeLayout();
            writeState();
        });
        poll->start(50);
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

    static QString escaped(QString text)
    {
        return text.replace(u'\\', QLatin1String("\\\\"))
            .replace(u'\t', QLatin1String("\\t"))
            .replace(u'\r', QLatin1String("\\r"))
            .replace(u'\n', QLatin1String("\\n"));
    }

    // One line a fact: "sel <grid> left top right bottom", "cell <grid> <col> <row> <text>" (col
    // the display position, the text escaped), "clip <text>" and "over <grid> <col> <row>".
    void writeState()
    {
        QString state;
        for (const auto& g : named()) {
            const TGridRect s = g.grid->Selection();
            state += QStringLiteral("sel %1 %2 %3 %4 %5\n").arg(g.name).arg(s.Left).arg(s.Top).arg(s.Right).arg(s.Bottom);
            for (int r = 0; r < g.grid->RowCount(); ++r)
                for (int c = 0; c < g.grid->ColCount(); ++c)
                    state += QStringLiteral("cell %1 %2 %3 %4\n")
                                 .arg(g.name)
                                 .arg(c)
                                 .arg(r)
                                 .arg(escaped(g.grid->Cells(g.grid->RealColIndex(c), r)));
        }
        state += QStringLiteral("clip %1\n").arg(escaped(QApplication::clipboard()->text()));
        state += QStringLiteral("over %1\n").arg(m_over);
        writeWhole(QStringLiteral("state.txt"), state, m_state);
    }

    void writeLayout()
    {
        QString layout;
        for (const auto& g : named()) {
            const QPoint origin = g.grid->viewport()->mapTo(this, QPoint(0, 0));
            for (int c = 0; c < g.grid->ColCount(); ++c)
                for (int r = 0; r < g.grid->RowCount(); ++r) {
                    const platform::Rect rect = g.grid->CellRect(c, r);
                    layout += QStringLiteral("%1_%2_%3 %4 %5\n")
                                  .arg(g.name)
                                  .arg(c)
                                  .arg(r)
                                  .arg(origin.x() + (rect.left + rect.right) / 2)
                                  .arg(origin.y() + (rect.top + rect.bottom) / 2);
                }
        }
        writeWhole(QStringLiteral("layout.txt"), layout, m_layout);
    }

    // A file written whole (a reader never sees half of it), and only when its text changed.
    static void writeWhole(const QString& name, const QString& text, QString& last)
    {
        if (text == last)
            return;
        QSaveFile f(name);
        if (!f.open(QIODevice::WriteOnly))
            return;
        f.write(text.toUtf8());
        if (f.commit())
            last = text;
    }

    struct Named {
        const char* name;
        TExtStringGridInput* grid;
    };
    std::array<Named, 3> named() const { return {{{"source", source}, {"target", target}, {"csv", csv}}}; }

    TExtStringGridInput* source;
    TExtStringGridInput* target;
    TExtStringGridInput* csv;
    QString m_over;
    QString m_state;
    QString m_layout;
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    ExchangeWindow w;
    w.show();
    return app.exec();
}
