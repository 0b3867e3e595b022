#pragma once
// The gateway models one program serves: each model's identity (software code, main window
// caption, description) and the layout of the main window's steps and buttons.
//
// The main window numbers the work in rows 44 pixels apart, the first at top 112; a row's step
// label sits at left 16, 16 pixels below the row's top. Rows 1 and 2 are fixed (New and Open;
// general parameters); the model's buttons fill rows 3 onwards and `Btn_CreateBin` ("Update
// Device") always takes the last shown row.
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <vector>

namespace workspace {

struct StepButton {
    QString name; // the button's object name, e.g. "Btn_ModTCPM_SetAccess"
    int left = 80;
    int top = 0; // the top of its row
    bool operator==(const StepButton&) const = default;
};

struct StepLayout {
    bool known = false; // false for a device type outside the table: no identity, no buttons

    QString SW_Code;
    QString Window_Title;
    QString SW_Desc;

    int stepCount = 0;               // L_Step_1 .. L_Step_<stepCount> are shown
    std::vector<StepButton> buttons; // the model's buttons; its other step buttons stay hidden
    int createBinTop = 332;          // row of Btn_CreateBin (left 80)
    bool showScanButton = false;     // Btn_ScanDecode at kScanButtonPos
    int profinetMapTextIndex = 1928; // caption text of Btn_PROFINET_Map

    bool showOstrel = false; // the maker's link label, on the Btn_CreateBin row
    QPoint ostrelPos;
    bool showLogo = false; // the partner's logo in place of the maker's label
    QPoint logoPos;
    QRect separator; // Shape1: a line 1 pixel high
    QSize clientSize;
};

inline constexpr QPoint kScanButtonPos{516, 70};

// Top of step label 1..9.
constexpr int stepLabelTop(int step) { return 128 + 44 * (step - 1); }

// The device types of the table, in the table's order.
const std::vector<int>& deviceTypes();

// The layout and identity of a device type; `known` false (and an empty layout) for any other.
StepLayout layoutFor(int deviceType);

// Sets `Window_Title`, `SW_Code` and `SW_Desc` of the workspace from its device type.
void setDeviceIdentity();

} // namespace workspace
