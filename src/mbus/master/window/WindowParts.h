#pragma once
// What the three windows of the M-Bus master models share: the title panel with the software code
// and the description, the look of their column grids, and the panel of buttons at the bottom.
#include "tables/frame/window/Panels.h"

#include <QColor>
#include <QString>

class QLabel;
class QWidget;

namespace controls {
class TFxButton;
}
namespace controls::grid {
class TExtColumnGrid;
}

namespace mbus::master {

// The windows' background (#F8F7ED).
extern const QColor kWindowBackground;

constexpr int kTitleHeight = tables::kTitlePanelHeight;
constexpr int kHeaderHeight = 22;
constexpr int kButtonWidth = 110;
constexpr int kButtonHeight = 28;

// The table windows' title panel, with the project's software code already in it.
using TitlePanel = tables::TitlePanel;
TitlePanel addTitlePanel(QWidget* window, int width);

// A column grid of `cols` columns and `rows` rows (row 0 the header), 22-pixel header, with the
// given widths; column 0 in the window's colour when it is a fixed number column.
controls::grid::TExtColumnGrid* addGrid(QWidget* parent, const QString& objectName, int cols, int rows,
                                        const int* widths, bool numberColumn);

// A button of the bottom row: the n-th (from 0) of a row starting at 16, 118 apart.
controls::TFxButton* addRowButton(QWidget* parent, const QString& objectName, int index, int top);

} // namespace mbus::master
