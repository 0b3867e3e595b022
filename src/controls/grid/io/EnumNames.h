#pragma once
// The identifiers under which the grid's enumerations are stored in streams and settings
// files; one table per enumeration, in the enumeration's order.
#include <QString>
#include <QStringList>
#include <array>

namespace controls::grid::io {

template <size_t N>
using TNames = std::array<const char*, N>;

inline constexpr TNames<33> kCellTypeNames{
    "ctBitmap", "ctIcon", "ctNone", "ctImageList", "ctCheckBox", "ctDataCheckBox", "ctRotated", "ctDataImage",
    "ctNode", "ctRadio", "ctEmpty", "ctImages", "ctPicture", "ctFilePicture", "ctValue", "ctProgress", "ctComment",
    "ctButton", "ctBitButton", "ctVirtCheckBox", "ctRowCheckBox", "ctProgressPie", "ctSummary", "ctRangeIndicator",
    "ctXPProgress", "ctInterface", "ctScrollbar", "ctRadioButton", "ctBalloon", "ctShape", "ctRating",
    "ctTriStateCheckBox", "ctExpand"};
inline constexpr TNames<6> kCellHAlignNames{"haLeft", "haRight", "haCenter", "haBeforeText", "haAfterText", "haFull"};
inline constexpr TNames<6> kCellVAlignNames{"vaTop", "vaBottom", "vaCenter", "vaUnderText", "vaAboveText", "vaFull"};
inline constexpr TNames<3> kCheckBoxStateNames{"cbUnchecked", "cbChecked", "cbGrayed"};
inline constexpr TNames<3> kAlignmentNames{"taLeftJustify", "taRightJustify", "taCenter"};
inline constexpr TNames<3> kVAlignmentNames{"vtaTop", "vtaCenter", "vtaBottom"};
inline constexpr TNames<2> kBrushStyleNames{"bsSolid", "bsClear"};
inline constexpr TNames<2> kGradientNames{"GradientVertical", "GradientHorizontal"};
inline constexpr TNames<4> kFontStyleNames{"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"};
inline constexpr TNames<43> kEditorNames{
    "edNormal", "edSpinEdit", "edComboEdit", "edComboList", "edEditBtn", "edCheckBox", "edDateEdit",
    "edDateEditUpDown", "edTimeEdit", "edButton", "edDataCheckBox", "edNumeric", "edPositiveNumeric", "edFloat",
    "edCapital", "edMixedCase", "edPassword", "edUnitEditBtn", "edLowerCase", "edUpperCase", "edFloatSpinEdit",
    "edTimeSpinEdit", "edDateSpinEdit", "edNumericEditBtn", "edFloatEditBtn", "edCustom", "edRichEdit", "edNone",
    "edDateTimeEdit", "edValidChars", "edTrackbarDropDown", "edMemoDropDown", "edCalculatorDropDown",
    "edTimePickerDropDown", "edDetailDropDown", "edGridDropDown", "edColorPickerDropDown", "edImagePickerDropDown",
    "edExtGridDropDown", "edPositiveFloat", "edNumericUnitEditBtn", "edFloatUnitEditBtn", "edMaskEditBtn"};

template <size_t N>
QString NameOf(const TNames<N>& names, int value)
{
    return value >= 0 && size_t(value) < N ? QString::fromLatin1(names[size_t(value)]) : QString();
}

// The index of name in the table, compared without case; -1 when it is not there.
template <size_t N>
int IndexOfName(const TNames<N>& names, const QString& name)
{
    for (size_t i = 0; i < N; ++i)
        if (name.compare(QLatin1String(names[i]), Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

// A set of bits as the names of the bits set, and back (unknown names are ignored).
template <size_t N>
QStringList SetNames(const TNames<N>& names, unsigned bits)
{
    QStringList out;
    for (size_t i = 0; i < N; ++i)
        if (bits & (1u << i))
            out << QString::fromLatin1(names[i]);
    return out;
}

template <size_t N>
unsigned SetBits(const TNames<N>& names, const QStringList& set)
{
    unsigned bits = 0;
    for (const QString& s : set) {
        const int i = IndexOfName(names, s);
        if (i >= 0)
            bits |= 1u << i;
    }
    return bits;
}

} // namespace controls::grid::io
