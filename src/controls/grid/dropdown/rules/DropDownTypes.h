#pragma once
// The vocabulary of the drop-down family: the enumerations every drop-down edit, its popup and
// its kinds share. The family lives in its own namespace (controls::grid::dropdown) because the
// grid and its combo box have types of the same names with other values (the combo's label has
// thirteen positions, the drop-down's fifteen).
#include "controls/grid/style/ExtStyle.h"
#include "platform/draw/Color.h"

namespace controls::grid::dropdown {

using platform::Color;
using platform::clNone;
using controls::grid::TVekkoStyle;
using controls::grid::TColorTones;

// What a key press may type into the edit (EditInput.h).
enum TDropDownEditType {
    etString, etNumeric, etFloat, etUppercase, etMixedCase, etLowerCase, etPassword, etMoney, etRange, etHex,
    etAlphaNumeric, etValidChars
};

// Where the popup opens: below the edit when it fits on the screen (dpAuto), always below, always
// above.
enum TDropPosition { dpAuto, dpDown, dpUp };

// Preset colours of a selected item in the list-like popups.
enum TSelectionColorStyle { scCustom, scOffice2007, scWindowsVista, scWindows7 };

// gdHorizontal: the colour changes from left to right; gdVertical: from top to bottom.
enum TGradientDirection { gdHorizontal, gdVertical };

enum TLabelPosition {
    lpLeftTop, lpLeftCenter, lpLeftBottom, lpTopLeft, lpBottomLeft, lpLeftTopLeft, lpLeftCenterLeft,
    lpLeftBottomLeft, lpTopCenter, lpBottomCenter, lpRightTop, lpRightCenter, lpRighBottom, lpTopRight,
    lpBottomRight
};

// Side of a header or footer bar its buttons stand on.
enum TButtonAlignment { baLeft, baRight };

// Layout of a caption beside its picture in the item lists and the calculator keypad.
enum TItemLayout { ilCaptionLeft, ilCaptionRight, ilCaptionTop, ilCaptionBottom };

// Modal results of the footer buttons (the values of the platform's dialog results).
enum TModalResult {
    mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5, mrYes = 6, mrNo = 7, mrClose = 8,
    mrHelp = 9, mrTryAgain = 10, mrContinue = 11, mrAll = 12, mrNoToAll = 13, mrYesToAll = 14
};

// Whether a footer button with this modal result closes the popup, and whether that closing
// cancels (restores the edit's last value).
bool ModalResultCloses(int modalResult);
bool ModalResultCancels(int modalResult);

} // namespace controls::grid::dropdown
