#include "mbus/master/window/WindowParts.h"

#include "controls/button/FormButton.h"
#include "controls/grid/column/ColumnGrid.h"
#include "platform/ui/Controls.h"
#include "workspace/Workspace.h"

#include <QLabel>
#include <QPalette>

namespace mbus::master {

const QColor kWindowBackground = tables::tableBackground();

TitlePanel addTitlePanel(QWidget* window, int width)
{
    TitlePanel t = tables::addTitlePanel(window, width);
    platform::setLabelText(t.code, workspace::ws().SW_Code);
    return t;
}

controls::grid::TExtColumnGrid* addGrid(QWidget* parent, const QString& objectName, int cols, int rows,
                                        const int* widths, bool numberColumn)
{
    auto* g = new controls::grid::TExtColumnGrid(parent);
    g->setObjectName(objectName);
    g->SetColCount(cols);
    g->SetRowCount(rows);
    if (!numberColumn)
        g->SetFixedCols(0);
    g->setRowHeights(0, kHeaderHeight);
    for (int c = 0; c < cols; ++c)
        g->Columns().Items(c)->SetWidth(widths[c]);
    if (numberColumn)
        g->Columns().Items(0)->SetColor(platform::rgb(kWindowBackground.red(), kWindowBackground.green(),
                                                      kWindowBackground.blue()));
    return g;
}

controls::TFxButton* addRowButton(QWidget* parent, const QString& objectName, int index, int top)
{
    return controls::addButton(parent, objectName, 16 + index * 118, top, kButtonWidth, kButtonHeight);
}

} // namespace mbus::master
