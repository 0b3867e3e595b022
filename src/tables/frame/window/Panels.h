#pragma once
// The title and button panels of the table windows, on their own for the windows that take only
// these from the table dialog (the CAN byte maps, the DeviceNet offsets): the title panel along
// the top, 69 high, with the software code (L_SW_Code, grey Verdana 32 pixels at 16,8) and the
// description (L_SW_Desc, grey bold Verdana 11 pixels at 16,42); the button panel, 40 high,
// whose buttons are 110 x 28 at y = 6, from x = 16 in slots 118 apart. Both in the windows'
// background colour #F8F7ED.
#include <QColor>
#include <QString>

class QLabel;
class QWidget;

namespace controls {
class TFxButton;
}

namespace tables {

constexpr int kTitlePanelHeight = 69;
constexpr int kButtonPanelHeight = 40;

// #F8F7ED, the background of the table windows and their panels.
QColor tableBackground();

struct TitlePanel {
    QWidget* panel = nullptr; // P_Title
    QLabel* code = nullptr;   // L_SW_Code
    QLabel* description = nullptr; // L_SW_Desc
};
TitlePanel addTitlePanel(QWidget* window, int width);

// P_Button at `top`, as wide as the window.
QWidget* addButtonPanel(QWidget* window, int top, int width);
// A button of the panel in slot 0, 1, 2 ... from the left.
controls::TFxButton* addPanelButton(QWidget* panel, const QString& name, int slot);

} // namespace tables
