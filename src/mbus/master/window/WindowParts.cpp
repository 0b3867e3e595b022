#include "mbus/master/window/WindowParts.h"

#include "controls/button/FormButton.h"
#include "controls/grid/column/ColumnGrid.h"
#include "platform/ui/Controls.h"
#include "workspace/Workspace.h"

#include <QLabel>
#include <QPalette>

namespace mbus::master {

const QColor kWindowBackground(0xF8, 0xF7, 0xED);

TitlePanel addTitlePanel(QWidget* window, int width)
{
    TitlePanel t;
    t.panel = new QWidget(window);
    t.panel->setObjectName(QStringLiteral("P_Title"));
    t.panel->setGeometry(0, 0, width, kTitleHeight);
    platform::setBackgroundColor(t.panel, kWindowBackground);
    QFont codeFont = platform::uiFont(QStringLiteral("Verdana"), 8);
    codeFont.setPixelSize(32);
    QFont descFont = platform::uiFont(QStringLiteral("Verdana"), 8, true);
    descFont.setPixelSize(11);
    t.code = platform::addLabel(t.panel, QStringLiteral("L_SW_Code"), 16, 8, codeFont);
    t.description = platform::addLabel(t.panel, QStringLiteral("L_SW_Desc"), 16, 42, descFont);
    for (QLabel* l : {t.code, t.description}) {
        QPalette p = l->palette();
        p.setColor(QPalette::WindowText, Qt::gray);
        l->setPalette(p);
    }
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
