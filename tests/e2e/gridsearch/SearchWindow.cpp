// A window made for the end-to-end run of the grid's search bar: a 300-row column grid of
// equipment names where Ctrl+F opens the search bar (the grid itself focuses the bar's edit when
// the bar is shown already). The bar highlights every match as the text is typed
// (AlwaysHighLight). Its title tells a script the state to wait for:
//   "Grid Search Test - bar shown|hidden - focus edit|grid|other - cell C,R - lit N - edit white|red"
// (N: cells holding a highlight). It writes the client positions of a few cells into
// "layout.txt".
#include "../grid/StateLine.h"
#include "controls/grid/column/ColumnGrid.h"

#include <QApplication>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

using namespace controls::grid;

namespace {

constexpr int kRows = 300;

class SearchWindow : public QWidget {
public:
    SearchWindow()
    {
        setWindowTitle(QStringLiteral("Grid Search Test"));
        resize(760, 520);
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        grid = new TExtColumnGrid(this);
        layout->addWidget(grid);
        grid->SetColCount(5);
        grid->SetRowCount(kRows + 1);
        const QStringList headers{"No", "Name", "Type", "Remark", "Address"};
        for (int c = 0; c < 5; ++c) {
            grid->Columns().Items(c)->SetHeader(headers[c]);
            grid->Columns().Items(c)->SetWidth(c == 0 ? 50 : 140);
        }
        grid->ControlLook.SetControlStyle(csWinXP);
        for (int r = 1; r <= kRows; ++r) {
            grid->SetCells(0, r, QString::number(r));
            grid->SetCells(1, r, QStringLiteral("Pump %1").arg(r));
            grid->SetCells(2, r, r % 2 ? QStringLiteral("Register") : QStringLiteral("Coil"));
            grid->SetCells(4, r, QStringLiteral("A%1").arg(r));
        }
        grid->SetCells(1, 5, QStringLiteral("Valve inlet"));
        grid->SetCells(1, 14, QStringLiteral("Valve outlet"));
        grid->SetCells(1, 120, QStringLiteral("Bypass valve"));
        grid->SetCells(3, 9, QStringLiteral("check the valve & the pump"));
        TSearchFooter& f = grid->SearchFooter;
        f.SetFindNextCaption(QStringLiteral("Find &next"));
        f.SetFindPrevCaption(QStringLiteral("Find &previous"));
        f.SetHighLightCaption(QStringLiteral("Highlight"));
        f.SetMatchCaseCaption(QStringLiteral("Match case"));
        f.SetAlwaysHighLight(true);
        grid->onKeyDown = [this](platform::TStringGrid*, quint16& key, platform::TShiftState shift) {
            if (key == 'F' && shift.testFlag(platform::ssCtrl) && !grid->SearchFooter.Visible()) {
                grid->SearchFooter.SetVisible(true);
                grid->FocusSearchFooter();
            }
        };
        auto* timer = new QTimer(this);
        QObject::connect(timer, &QTimer::timeout, this, [this]() { showState(); });
        timer->start(50);
        QTimer::singleShot(300, this, [this]() { writeLayout(); });
    }

private:
    void showState()
    {
        int lit = 0;
        for (int r = 0; r < grid->RowCount(); ++r)
            for (int c = 0; c < grid->ColCount(); ++c)
                lit += grid->Cells(c, r).contains(QStringLiteral("<hi>")) ? 1 : 0;
        const QWidget* focus = QApplication::focusWidget();
        TSearchPanel* bar = grid->SearchPanel();
        const QString focusName = focus && focus == bar->Edit() ? QStringLiteral("edit")
                                  : focus == grid                ? QStringLiteral("grid")
                                                                 : QStringLiteral("other");
        const QString title = QStringLiteral("Grid Search Test - bar %1 - focus %2 - cell %3,%4 - lit %5 - edit %6")
                                  .arg(bar->isVisible() ? QStringLiteral("shown") : QStringLiteral("hidden"))
                                  .arg(focusName)
                                  .arg(grid->Col())
                                  .arg(grid->Row())
                                  .arg(lit)
                                  .arg(bar->EditColor() == platform::clWindow ? QStringLiteral("white")
                                                                              : QStringLiteral("red"));
        if (title != windowTitle())
            setWindowTitle(title);
    }

    // Client positions (in the window) of the cells the script uses: centre, then top-left and
    // size of the cell's inside.
    void writeLayout()
    {
        QString text;
        const QPoint origin = grid->viewport()->mapTo(this, QPoint(0, 0));
        for (int c = 0; c < 5; ++c)
            for (int r = 1; r <= 15; ++r) {
                const platform::Rect rect = grid->CellRect(c, r);
                text += QStringLiteral("cell_%1_%2 %3 %4 %5 %6 %7 %8\n")
                            .arg(c)
                            .arg(r)
                            .arg(origin.x() + (rect.left + rect.right) / 2)
                            .arg(origin.y() + (rect.top + rect.bottom) / 2)
                            .arg(origin.x() + rect.left + 2)
                            .arg(origin.y() + rect.top + 2)
                            .arg(rect.width() - 4)
                            .arg(rect.height() - 4);
            }
        WriteWhole(QStringLiteral("layout.txt"), text);
    }

    TExtColumnGrid* grid;
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    SearchWindow w;
    w.show();
    return app.exec();
}
