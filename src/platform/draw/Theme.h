#pragma once
// Themed parts of controls (buttons, check boxes, radio buttons, combo box and spin buttons,
// header items, progress bars), in the shape of the visual-styles functions the controls call,
// drawn by the widget style (QStyle) of the window or of the application.
//
// The theme loader: on this platform nothing is loaded; the loader's flag is set from start,
// FreeThemeLibrary clears it and InitThemeLibrary sets it again, so code that checks the flag
// before it calls a theme function keeps its shape. IsThemeActive is a process-wide switch
// (on at start): off, OpenThemeData gives no handle and the controls draw their classic frame
// controls instead.
//
// Classes and parts (a class list "a;b" takes the first class known, in any letter case):
//   "button":   BP_PUSHBUTTON (states PBS_*), BP_RADIOBUTTON (RBS_*), BP_CHECKBOX (CBS_*: 1-4
//               unchecked, 5-8 checked, 9-12 mixed; normal, hot, pressed, disabled),
//               BP_GROUPBOX
//   "combobox": CP_DROPDOWNBUTTON (CBXS_*)
//   "spin":     SPNP_UP, SPNP_DOWN, SPNP_UPHORZ, SPNP_DOWNHORZ (1 normal .. 4 disabled)
//   "header":   HP_HEADERITEM, HP_HEADERITEMLEFT, HP_HEADERITEMRIGHT (HIS_*), HP_HEADERSORTARROW
//               (HSAS_*)
//   "progress": PP_BAR, PP_BARVERT (the groove), PP_CHUNK, PP_CHUNKVERT, PP_FILL, PP_FILLVERT
//               (the filled part)
// Any other class gives no handle; an unknown part draws nothing and answers false. Every part
// is drawn inside its rectangle (and the clip rectangle when one is given).
#include "platform/draw/Canvas.h"

#include <QString>

class QStyle;
class QWidget;

namespace platform {

using HTHEME = quintptr; // 0: no theme

enum ButtonParts { BP_PUSHBUTTON = 1, BP_RADIOBUTTON = 2, BP_CHECKBOX = 3, BP_GROUPBOX = 4 };
enum PushButtonStates { PBS_NORMAL = 1, PBS_HOT = 2, PBS_PRESSED = 3, PBS_DISABLED = 4, PBS_DEFAULTED = 5 };
enum RadioButtonStates {
    RBS_UNCHECKEDNORMAL = 1, RBS_UNCHECKEDHOT, RBS_UNCHECKEDPRESSED, RBS_UNCHECKEDDISABLED,
    RBS_CHECKEDNORMAL, RBS_CHECKEDHOT, RBS_CHECKEDPRESSED, RBS_CHECKEDDISABLED
};
enum CheckBoxStates {
    CBS_UNCHECKEDNORMAL = 1, CBS_UNCHECKEDHOT, CBS_UNCHECKEDPRESSED, CBS_UNCHECKEDDISABLED,
    CBS_CHECKEDNORMAL, CBS_CHECKEDHOT, CBS_CHECKEDPRESSED, CBS_CHECKEDDISABLED,
    CBS_MIXEDNORMAL, CBS_MIXEDHOT, CBS_MIXEDPRESSED, CBS_MIXEDDISABLED
};
enum ComboBoxParts { CP_DROPDOWNBUTTON = 1 };
enum ComboBoxStates { CBXS_NORMAL = 1, CBXS_HOT = 2, CBXS_PRESSED = 3, CBXS_DISABLED = 4 };
enum SpinParts { SPNP_UP = 1, SPNP_DOWN = 2, SPNP_UPHORZ = 3, SPNP_DOWNHORZ = 4 };
enum SpinStates { UPS_NORMAL = 1, UPS_HOT = 2, UPS_PRESSED = 3, UPS_DISABLED = 4 };
enum HeaderParts { HP_HEADERITEM = 1, HP_HEADERITEMLEFT = 2, HP_HEADERITEMRIGHT = 3, HP_HEADERSORTARROW = 4 };
enum HeaderItemStates { HIS_NORMAL = 1, HIS_HOT = 2, HIS_PRESSED = 3 };
enum HeaderSortArrowStates { HSAS_SORTEDUP = 1, HSAS_SORTEDDOWN = 2 };
enum ProgressParts { PP_BAR = 1, PP_BARVERT = 2, PP_CHUNK = 3, PP_CHUNKVERT = 4, PP_FILL = 5, PP_FILLVERT = 6 };

// The theme loader's flag.
class ThemeLibrary {
public:
    bool InitThemeLibrary();
    void FreeThemeLibrary();
    bool Loaded() const { return m_loaded; }

private:
    bool m_loaded = true;
};
ThemeLibrary& ThemeApi();

bool IsThemeActive();
void SetThemeActive(bool on);
// The style that draws the parts of windows without one (and of no window); nullptr is the
// application's style.
void SetThemeStyle(QStyle* style);

HTHEME OpenThemeData(QWidget* window, const QString& classList);
bool CloseThemeData(HTHEME theme);
bool DrawThemeBackground(HTHEME theme, Canvas& canvas, int partId, int stateId, const Rect& r, const Rect* clip = nullptr);

} // namespace platform
