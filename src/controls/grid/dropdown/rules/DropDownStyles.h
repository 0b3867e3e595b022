#pragma once
// The colour tables of the drop-down family's sixteen component styles: what a style gives the
// popup, its header and footer bars and the bar buttons, the item colours of the picker lists, and
// the presets of the selected-item colours. tsCustom has no row: it changes no colour.
#include "controls/grid/dropdown/rules/DropDownTypes.h"

#include <optional>

namespace controls::grid::dropdown {

struct TBarColors {
    Color color, colorTo, borderColor, fontColor;
};

// The popup and its bars. dropDownBorderColor is empty where the style leaves it as it is.
struct TPopupStyleColors {
    Color dropDownColor, dropDownColorTo;
    std::optional<Color> dropDownBorderColor;
    TBarColors header, footer;
};

// The bar buttons, in the order the style sets them.
struct TBarButtonStyleColors {
    Color color, colorTo, borderColor;
    Color colorHot, colorHotTo, borderColorHot;
    Color colorDown, colorDownTo, borderColorDown;
    Color colorDisabled, colorDisabledTo;
    Color colorChecked, colorCheckedTo, borderColorChecked;
};

// The item colours of the picker lists (SetItemAppearanceStyle).
struct TItemStyleColors {
    Color colorHot, colorHotTo, colorMirrorHot, colorMirrorHotTo;
    Color colorSelected, colorSelectedTo, colorMirrorSelected, colorMirrorSelectedTo;
    Color borderColor, borderColorTop, borderColorBottom, edgeColor;
    Color colorSelectedText;
};

// The frame of a selected item painted as a block (DrawSelectionBackground).
struct TSelectionBlockColors {
    Color corner, outer, lowerInner, upperInner;
    Color mirror, mirrorTo; // clNone: one gradient over the whole block
};

// The header, lines and selection of the list drop-downs' grids (multi-column and grid
// drop-down). font and selectionColor are empty where the style leaves them as they are.
struct TListGridStyleColors {
    Color header, headerTo;
    TSelectionColorStyle selection;
    std::optional<Color> font;
    Color line, fixedLine;
    std::optional<Color> selectionColor;
    Color selectionText;
};

// Empty for tsCustom.
std::optional<TPopupStyleColors> PopupStyleColors(TVekkoStyle style);
std::optional<TBarButtonStyleColors> BarButtonStyleColors(TVekkoStyle style);
std::optional<TItemStyleColors> ItemStyleColors(TVekkoStyle style);
// Empty for tsCustom, and for the three Office 2010 styles unless withOffice2010.
std::optional<TListGridStyleColors> ListGridStyleColors(TVekkoStyle style, bool withOffice2010);
// The selection colours of a preset; empty for scCustom (the colours stay).
std::optional<std::pair<Color, Color>> SelectionPresetColors(TSelectionColorStyle style);
// The block colours of a preset; empty for scCustom (a plain fill).
std::optional<TSelectionBlockColors> SelectionBlockColors(TSelectionColorStyle style);

} // namespace controls::grid::dropdown
