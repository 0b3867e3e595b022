#pragma once
// What the three windows of the M-Bus master models share: the title panel with the software code
// and the description, the look of their column grids, and the panel of buttons at the bottom.
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

constexpr int kTitleHeight = 69;
constexpr int kHeaderHeight = 22;
constexpr int kButtonWidth = 110;
constexpr int kButtonHeight = 28;

struct TitlePanel {
    QWidget* panel = nullptr;
    QLabel* code = nullptr;        // L_SW_Code, the software code in large grey letters
    QLabel* description = nullptr; // L_SW_Desc
};
// The title panel across the top of a window of this width.
TitlePanel addTitlePanel(QWidget* window, int width);

// A column grid of `cols` columns and `rows` rows (row 0 the header), 22-pixel header, with the
// given widths; column 0 in the window's colour when it is a fixed number column.
controls::grid::TExtColumnGrid* addGrid(QWidget* parent, const QString& objectName, int cols, int rows,
                                        const int* widths, bool numberColumn);

// A button of the bottom row: the n-th (from 0) of a row starting at 16, 118 apart.
controls::TFxButton* addRowButton(QWidget* parent, const QString& objectName, int index, int top);

} // namespace mbus::master
