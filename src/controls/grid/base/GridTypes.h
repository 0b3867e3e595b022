#pragma once
// Enumerations shared by the grid suite's classes and stored in window descriptions and
// layout files; names and order are fixed.
#include <QFont>
#include <QFlags>

namespace controls::grid {

enum TGridSelectionStyle { ssDefault, ssVista, ssWin7, ssOffice2007 };

enum THoverRowCell : unsigned { hcNormal = 1u << 0, hcFixed = 1u << 1, hcSelected = 1u << 2 };
using THoverRowCells = unsigned;

enum TCellGradientDirection { GradientVertical, GradientHorizontal };
enum TVAlignment { vtaTop, vtaCenter, vtaBottom };
enum TColumnCalcType { acNONE, acSUM, acAVG, acCOUNT, acMIN, acMAX, acSPREAD, acCUSTOM, acDISTINCT, acSTDDEV };

enum TEditorType {
    edNormal, edSpinEdit, edComboEdit, edComboList, edEditBtn, edCheckBox, edDateEdit, edDateEditUpDown,
    edTimeEdit, edButton, edDataCheckBox, edNumeric, edPositiveNumeric, edFloat, edCapital, edMixedCase,
    edPassword, edUnitEditBtn, edLowerCase, edUpperCase, edFloatSpinEdit, edTimeSpinEdit, edDateSpinEdit,
    edNumericEditBtn, edFloatEditBtn, edCustom, edRichEdit, edNone, edDateTimeEdit, edValidChars,
    edTrackbarDropDown, edMemoDropDown, edCalculatorDropDown, edTimePickerDropDown, edDetailDropDown,
    edGridDropDown, edColorPickerDropDown, edImagePickerDropDown, edExtGridDropDown, edPositiveFloat,
    edNumericUnitEditBtn, edFloatUnitEditBtn, edMaskEditBtn
};

// Font styles as a set (bit per style).
enum TFontStyle : unsigned { fsBold = 1u << 0, fsItalic = 1u << 1, fsUnderline = 1u << 2, fsStrikeOut = 1u << 3 };
using TFontStyles = unsigned;

inline TFontStyles FontStylesOf(const QFont& f)
{
    return (f.bold() ? fsBold : 0u) | (f.italic() ? fsItalic : 0u) | (f.underline() ? fsUnderline : 0u)
           | (f.strikeOut() ? fsStrikeOut : 0u);
}

inline void ApplyFontStyles(QFont& f, TFontStyles s)
{
    f.setBold(s & fsBold);
    f.setItalic(s & fsItalic);
    f.setUnderline(s & fsUnderline);
    f.setStrikeOut(s & fsStrikeOut);
}

// The size of a font in points (a font given in pixels counts at 96 pixels per inch).
inline int FontPointSize(const QFont& f)
{
    if (f.pointSize() > 0)
        return f.pointSize();
    return f.pixelSize() > 0 ? (f.pixelSize() * 72 + 48) / 96 : 0;
}

enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };

} // namespace controls::grid
