// A window made for the end-to-end run of the grid's auxiliary windows: a column grid with Metro
// scroll indicators, columns that move by mouse, and a cell whose hint is mini-HTML, placed at
// the right edge of the screen so that the hint must be kept inside it. Its title names the top
// row (and "thumb.txt" the place of the indicator's thumb); it writes what a script needs to aim
// the mouse into "layout.txt", the hint window's place
// and sizes into "hint.txt" while a hint shows, and its header row, first data rows and column
// widths into "cells.txt" when it closes.
#include "controls/grid/column/ColumnGrid.h"
#include "controls/grid/html/HTMLDraw.h"
#include "StateLine.h"

#include <QApplication>
#include <QCloseEvent>
#include <QScreen>
#include <QScrollBar>
#include <QTextStream>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

using namespace controls::grid;

namespace {

constexpr int kRows = 200;

constexpr int kCols = 8;
const QString kHint = QStringLiteral("<b>Boiler</b> flow temperature, <font color=\"clred\">read only</font>");

class GridLooksWindow : public QWidget {
public:
    GridLooksWindow()
    {
        setWindowTitle(QStringLiteral("Grid Looks Test"));
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        grid = new TExtColumnGrid(this);
        layout->addWidget(grid);
        grid->SetColCount(kCols);
        grid->SetRowCount(kRows + 1);
        grid->setOptions(grid->options() | platform::goColMoving);
        grid->DragDropSettings.ShowCells = false; // the floating header follows the mouse
        for (int c = 0; c < kCols; ++c) {
            grid->Columns().Items(c)->SetHeader(QStringLiteral("Col%1").arg(c));
            grid->Columns().Items(c)->SetWidth(c == 2 ? 95 : 55);
        }
        for (int r = 1; r <= kRows; ++r)
            for (int c = 0; c < kCols; ++c)
                grid->SetCells(c, r, QStringLiteral("c%1r%2").arg(c).arg(r));
        grid->OnGridHint = [](TExtStringGrid*, int row, int col, QString& hint) {
            if (col == 6 && row == 3)
                hint = kHint;
        };
        grid->SetScrollType(ssMetro);
        grid->onTopLeftChanged = [this](platform::TStringGrid*) { updateTitle(); };
        updateTitle();
        QTimer::singleShot(300, this, [this]() { writeLayout(); });
        auto* watch = new QTimer(this);
        connect(watch, &QTimer::timeout, this, [this]() { writeHint(); });
        watch->start(100);
    }

protected:
    void closeEvent(QCloseEvent* e) override
    {
        // Four rows of cells, then the column widths as a last line.
        QString text = CellLines(3, kCols, [this](int c, int r) { return grid->Cells(c, r); });
        text += CellLines(0, kCols, [this](int c, int) { return QString::number(grid->colWidths(c)); });
        WriteWhole(QStringLiteral("cells.txt"), text);
        e->accept();
    }

private:
    // The title names the top row; "thumb.txt" keeps where the indicator's thumb is now.
    void updateTitle()
    {
        // The thumb's place first: a script that sees the new title reads it.
        if (TScrollControl* bar = grid->VScrollControl())
            WriteWhole(QStringLiteral("thumb.txt"), QStringLiteral("%1 %2\n").arg(bar->ThumbPos()).arg(bar->ThumbSize()));
        setWindowTitle(QStringLiteral("Grid Looks Test - top %1").arg(grid->TopRow()));
    }

    // Client positions (in the window) of the header cells, the cell with the hint and the
    // vertical indicator with its thumb.
    void writeLayout()
    {
        QString text;
        QTextStream out(&text);
        const QPoint origin = grid->viewport()->mapTo(this, QPoint(0, 0));
        for (int c = 0; c < kCols; ++c) {
            const platform::Rect r = grid->CellRect(c, 0);
            out << "header_" << c << ' ' << origin.x() + (r.left + r.right) / 2 << ' ' << origin.y() + (r.top + r.bottom) / 2
                << '\n';
        }
        const platform::Rect hintCell = grid->CellRect(6, 3);
        out << "hint_cell " << origin.x() + (hintCell.left + hintCell.right) / 2 << ' '
            << origin.y() + (hintCell.top + hintCell.bottom) / 2 << '\n';
        if (TScrollControl* bar = grid->VScrollControl()) {
            const QPoint at = bar->mapTo(this, QPoint(0, 0));
            out << "vbar " << at.x() + bar->width() / 2 << ' ' << at.y() << ' ' << bar->height() << ' ' << bar->ThumbPos()
                << ' ' << bar->ThumbSize() << '\n';
        }
        out << "visible_rows " << grid->visibleRowCount() << '\n';
        out << "scrollbars " << (grid->verticalScrollBar()->isVisible() ? 1 : 0) << '\n';
        out.flush();
        WriteWhole(QStringLiteral("layout.txt"), text);
    }

    void writeHint()
    {
        THTMLHintWindow* hint = GridHintWindow();
        if (!hint->isVisible() || hint->Text() != kHint)
            return;
        // The plain text's width in the hint's font: drawn as HTML, the bold word makes it wider.
        platform::Bitmap scratch(1, 1);
        platform::Canvas canvas(scratch);
        canvas.font().font = hint->font();
        const QRect g = hint->geometry();
        const QRect screen = hint->screen() ? hint->screen()->geometry() : QRect();
        QString text;
        QTextStream out(&text);
        out << g.x() << ' ' << g.y() << ' ' << g.width() << ' ' << g.height() << ' ' << screen.width() << ' '
            << screen.height() << ' ' << hint->TextWidth() << ' '
            << canvas.textWidth(QStringLiteral("Boiler flow temperature, read only")) << '\n';
        out.flush();
        WriteWhole(QStringLiteral("hint.txt"), text);
    }

    TExtColumnGrid* grid;
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    GridLooksWindow w;
    w.resize(480, 420);
    // At the right edge of the screen: the hint of a cell near it would pass the edge.
    if (QScreen* s = QGuiApplication::primaryScreen())
        w.move(s->geometry().right() - 490, 120);
    w.show();
    return app.exec();
}
