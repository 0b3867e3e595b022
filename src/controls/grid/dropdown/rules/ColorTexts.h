#pragma once
// The colour picker's texts and colour sets: the text shown for a colour (hex value, web colour
// name, RGB numbers or an HTML colour), the 16 default colours of its list and the 138 web colour
// names in their search order.
#include "controls/grid/dropdown/rules/DropDownTypes.h"

#include <QString>
#include <span>

namespace controls::grid::dropdown {

enum TColorValueText { cvtNone, cvtHex, cvtWebName, cvtRGB, cvtHTML };
enum TColorSelectionStyle { csList, csDiscrete, csColorCube, csSpectrum };

struct TNamedColor {
    const char* name;
    Color color;
};

// "Black", "Maroon" ... "White" in the order the picker appends them.
std::span<const TNamedColor> DefaultPickerColors();
// "clWebSnow" ... "clWebBlack": the first name holding a colour is its name.
std::span<const TNamedColor> WebColors();

// The text of a colour (system colours resolved to RGB first, except for cvtHex, which shows
// the value as it is, at least six upper-case hex digits).
QString ColorValueText(Color color, TColorValueText kind);

} // namespace controls::grid::dropdown
