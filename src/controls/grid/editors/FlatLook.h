#pragma once
// The flat look the combo box and the date pickers share: the control's border (a disabled
// themed frame, a border colour, a focus border colour, or the flat two-colour ring), the
// frame around the drop-down button, and the drop-down button itself (in the owner's colours,
// themed, or the classic frame control).
#include "platform/draw/Canvas.h"

class QWidget;

namespace controls::grid {

using platform::Color;

// What the border painting needs to know of the control.
struct TFlatBorder {
    bool enabled = true;
    bool themed = true;          // common controls 6 or later
    bool disabledBorder = true;  // keep the normal border when disabled
    Color borderColor = platform::clNone;
    Color focusBorderColor = platform::clNone;
    bool hasFocus = false;
    bool focusBorderActive = false; // FocusBorder on and the control hovered or active
    Color parentColor = platform::clBtnFace;
    Color controlColor = platform::clWindow;
    int buttonWidth = 19;
    bool flat = false;
    Color flatLineColor = platform::clNone; // the combo's underline in flat mode
};

// The first rule that matches: disabled themed without DisabledBorder - a RGB(127, 157, 185)
// frame; a border colour (unless focused with a focus border colour) - that frame; a focus
// border colour - that frame while focused, nothing otherwise; else the flat ring.
void DrawFlatControlBorder(platform::Canvas& canvas, int width, int height, const TFlatBorder& b);

// Excludes the inner button area from the clip region, then paints the frame around the
// button: inactive, a flat button-face band; active, with raisedEdge, a raised edge (flat while
// dropped down). The frame's rectangle is excluded from the clip region last.
void DrawFlatButtonFrame(platform::Canvas& canvas, int width, int height, int buttonWidth, bool active,
                         bool raisedEdge, bool dropped);

struct TDropButton {
    Color buttonColor = platform::clNone;
    Color buttonColorHot = platform::clNone;
    Color buttonColorDown = platform::clNone;
    Color buttonBorderColor = platform::clNone;
    Color buttonTextColor = platform::clNone;
    Color buttonTextColorDown = platform::clNone;
    bool hover = false;
    bool mouseDown = false;
    bool dropped = false;
    bool enabled = true;
    bool visualStyles = true;
};

// The drop-down button at the right edge of a control of (width, height) whose button is
// buttonWidth wide: the picker's shape (pickerShape) places the arrow one pixel further right,
// fills its user colour from 2 pixels inside the left edge and draws the classic button in the
// unchanged rectangle.
void DrawDropButton(platform::Canvas& canvas, QWidget* window, int width, int height, int buttonWidth,
                    const TDropButton& b, bool pickerShape);

} // namespace controls::grid
