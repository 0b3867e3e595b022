#include "controls/grid/dropdown/rules/DropDownStyles.h"

namespace controls::grid::dropdown {

using platform::clBtnFace;
using platform::clHighlight;
using platform::clHighlightText;
using platform::clInactiveCaption;

std::optional<TPopupStyleColors> PopupStyleColors(TVekkoStyle style)
{
    const std::optional<Color> keep;
    auto same = [](Color dd, Color ddTo, std::optional<Color> border, TBarColors bar) {
        return TPopupStyleColors{dd, ddTo, border, bar, bar};
    };
    switch (style) {
    case tsOffice2003Blue:
        return TPopupStyleColors{0xFFFFFF, clNone, keep, {0xFCE1CB, 0xE0A57D, 0x000000, 0x000000},
                                 {0xFCE1CB, 0xE0A57D, 0x962D00, 0x000000}};
    case tsOffice2003Silver:
        return same(0xFFFFFF, clNone, keep, {0xECE2E1, 0xB39698, 0x947C7C, 0x000000});
    case tsOffice2003Olive:
        return same(0xFFFFFF, clNone, clNone, {0xCFF0EA, 0x8CC0B1, 0x588060, 0x000000});
    case tsOffice2003Classic:
        return same(0xF2F2F2, 0xF2F2F2, clNone, {0x808080, 0x808080, 0x808080, 0xFFFFFF});
    case tsOffice2007Luna:
        return same(0xF3E5DA, 0xF0DED0, clNone, {0xFFEFE3, 0xFFD2AF, 0xFFD2AF, 0x723708});
    case tsOffice2007Obsidian:
        return same(0xFFFFFF, clNone, clNone, {0xF2F1F0, 0xC9C2BD, 0x5C534C, 0x433C37});
    case tsWindowsXP:
        return same(0xFFFFFF, clNone, keep, {0xFFFFFF, clBtnFace, 0x808080, 0x000000});
    case tsWhidbey:
        return same(0xF5F9FA, 0xF5F9FA, clNone, {0xEBEEEF, 0x7E9898, 0x962D00, 0xFFFFFF});
    case tsOffice2007Silver:
        return same(0xF8F4F1, 0xF0E8E3, clNone, {0xF8F7F6, 0xE8E0DB, 0x74706F, 0x8B4215});
    case tsWindowsVista:
        return TPopupStyleColors{0xFFFFFF, 0xFFFFFF, 0x979797, {0xFFFDF9, 0xFFFAF0, 0xFCF2DA, 0x000000},
                                 {0xFFFAF0, 0xFFFDF9, 0xFCF2DA, 0x000000}};
    case tsWindows7:
        return same(0xFFFFFF, 0xFFFFFF, 0x979797, {0xFDFBFA, 0xFDF3EB, 0xFBD6B8, 0x000000});
    case tsTerminal:
        return same(0xFFFFFF, 0xFFFFFF, 0x808080, {clBtnFace, clBtnFace, clNone, 0x000000});
    case tsOffice2010Blue:
        return same(0xFFFFFF, 0xF1EFED, 0xEDEDEC, {0xFDF6EF, 0xF0DAC7, 0xC7B29F, 0x5B391E});
    case tsOffice2010Silver:
        return same(0xFFFFFF, 0xF1EFED, 0xEDEDEC, {0xFFFFFF, 0xEDE5E0, 0xD2CDC8, 0x5B391E});
    case tsOffice2010Black:
        return same(0xFFFFFF, 0xF1EFED, 0xEDEDEC, {0xBFBFBF, 0x919191, 0x6D6D6D, 0xD7D7D6});
    case tsCustom:
        break;
    }
    return std::nullopt;
}

std::optional<TBarButtonStyleColors> BarButtonStyleColors(TVekkoStyle style)
{
    auto office = [](Color c, Color cTo) {
        return TBarButtonStyleColors{c,        cTo,      clNone,   0xEBFDFF, 0xACECFF, 0x99CEDB, 0xAAD9FF,
                                     0x6EBBFF, 0x42AEFE, 0xF2F2F2, 0xB6B6B6, 0x76AFF1, 0x4190F3, 0x45667B};
    };
    auto office2010 = [](Color c, Color cTo, Color border) {
        return TBarButtonStyleColors{c,        cTo,    border,   0x8AE3FD, clNone,   0x58CAF1, 0x6CD0FF,
                                     clNone,   0x308AC2, 0xF2F2F2, 0xB6B6B6, 0x45E1FE, clNone,   0x4FA0CE};
    };
    switch (style) {
    case tsOffice2003Blue:
        return office(0xFCE1CB, 0xE0A57D);
    case tsOffice2003Silver:
        return office(0xECE2E1, 0xB39698);
    case tsOffice2003Olive:
        return office(0xCFF0EA, 0x8CC0B1);
    case tsOffice2007Luna:
        return office(0xFFEFE3, 0xFFDDC4);
    case tsOffice2007Obsidian:
        return office(0xF2F1F0, 0xC9C2BD);
    case tsWhidbey:
        return office(0xFFFFFF, 0xDFEDF0);
    case tsOffice2007Silver:
        return office(0xF9F8F8, 0xE4E2DF);
    case tsOffice2010Blue:
        return office2010(0xFDF6EF, 0xF0DAC7, 0xC7B29F);
    case tsOffice2010Silver:
        return office2010(0xFFFFFF, 0xEDE5E0, 0xD2CDC8);
    case tsOffice2010Black:
        return office2010(0xBFBFBF, 0x919191, 0xD7D7D6);
    case tsOffice2003Classic:
        return TBarButtonStyleColors{0xFFFFFF, 0xC9D1D5, clNone,   0xD2BDB6, 0xD2BDB6, 0x808080, 0xB59285,
                                     0xB59285, 0x808080, 0xD8D5D4, 0xD8D5D4, 0xD8D5D4, 0xD8D5D4, 0x808080};
    case tsWindowsXP:
        return TBarButtonStyleColors{0xFFFFFF,          clBtnFace,   clNone,   0xEFD3C6, 0xEFD3C6,
                                     clHighlight,       clInactiveCaption, clInactiveCaption, clHighlight,
                                     0xB6B6B6,          0xB6B6B6,    0xB9D8DC, 0xB9D8DC, 0x000000};
    case tsWindowsVista:
        return TBarButtonStyleColors{0xFFFDF9, 0xFFFAF0, 0xFCF2DA, 0xFEF9F0, 0xFFFAF0, 0xFCF2DA, 0xFEF9F0,
                                     0xFDF0D7, 0xFEDF9A, 0xFFFFFF, 0xFFFFFF, 0xFEF9F0, 0xFDF0D7, 0xFEDF9A};
    case tsWindows7:
        return TBarButtonStyleColors{0xFDFBFA, 0xFDF3EB, 0xFBD6B8, 0xFDFBFA, 0xFDF3EB, 0xFBD6B8, 0xFCEBDC,
                                     0xFCDBC1, 0xCEA27D, 0xFFFFFF, 0xFFFFFF, 0xFEF9F0, 0xFCDBC1, 0xCEA27D};
    case tsTerminal:
        return TBarButtonStyleColors{clBtnFace,   clBtnFace, clNone,    0xC0C0C0,  0xC0C0C0,
                                     0x808080,    clHighlight, clHighlight, 0x808080, clBtnFace,
                                     clBtnFace,   clBtnFace, clBtnFace, clHighlight};
    case tsCustom:
        break;
    }
    return std::nullopt;
}

std::optional<TItemStyleColors> ItemStyleColors(TVekkoStyle style)
{
    auto office = [](Color top, Color bottom, Color edge) {
        return TItemStyleColors{0xEBFDFF, 0xACECFF, 0x59DAFF, 0xA4E9FF, 0xAAD9FF, 0x6EBBFF, 0x42AEFE,
                                0x7AE1FE, 0x42AEFE, top,      bottom,   edge,     0};
    };
    switch (style) {
    case tsOffice2003Blue:
    case tsOffice2003Silver:
    case tsOffice2003Olive:
    case tsWhidbey:
        return office(clNone, clNone, clNone);
    case tsOffice2007Luna:
    case tsOffice2007Obsidian:
    case tsOffice2007Silver:
        return office(0xF4FEFF, 0xCAF8FF, 0xC3D9DF);
    case tsOffice2003Classic:
        return TItemStyleColors{0xD2BDB6, 0xD2BDB6, clNone, clNone, 0xB59285, 0xB59285, clNone,
                                clNone,   0x808080, clNone, clNone, clNone,   0};
    case tsWindowsXP:
        return TItemStyleColors{0xEFD3C6,    0xEFD3C6, clNone, clNone, clHighlight, clNone,         clNone,
                                clNone,      clHighlight, clNone, clNone, clNone,     clHighlightText};
    case tsWindowsVista:
        return TItemStyleColors{0xFFFDF9, 0xFFFAF0, clNone,   clNone,   0xFEF9F0, 0xFDF0D7, clNone,
                                clNone,   0xFEDF9A, 0xFDFBF6, 0xFDF5E7, 0xFCEDCB, 0};
    case tsWindows7:
        return TItemStyleColors{0xFDFBFA, 0xFDF3EB, clNone,   clNone,   0xFCEBDC, 0xFCDBC1, clNone,
                                clNone,   0xCEA27D, 0xFDF4EB, 0xFDEADB, 0xE0C5AE, 0};
    case tsTerminal:
        return TItemStyleColors{0xC0C0C0,    0xC0C0C0, clNone, clNone, clHighlight, clNone,         clNone,
                                clNone,      0x808080, clNone, clNone, clNone,      clHighlightText};
    case tsOffice2010Blue:
    case tsOffice2010Silver:
    case tsOffice2010Black:
        return TItemStyleColors{0xD9F9FD, 0x8AE3FD, 0x8AE3FD, 0xD9F9FD, 0x7BEEFF, 0x6CD0FF, 0x6CD0FF,
                                0x7BEEFF, 0x308AC2, clNone,   clNone,   clNone,   0};
    case tsCustom:
        break;
    }
    return std::nullopt;
}

std::optional<std::pair<Color, Color>> SelectionPresetColors(TSelectionColorStyle style)
{
    switch (style) {
    case scOffice2007:
        return std::pair<Color, Color>{0xD7FFFD, 0x58D4FC};
    case scWindowsVista:
        return std::pair<Color, Color>{0xFDF8F1, 0xFCEFD5};
    case scWindows7:
        return std::pair<Color, Color>{0xFCEBDC, 0xFCDBC1};
    case scCustom:
        break;
    }
    return std::nullopt;
}

std::optional<TSelectionBlockColors> SelectionBlockColors(TSelectionColorStyle style)
{
    switch (style) {
    case scOffice2007:
        return TSelectionBlockColors{0xC3D9DF, 0x8DD7D3, 0xCAF8FF, 0xF4FEFF, 0x58D4FC, 0xB3F1FC};
    case scWindowsVista:
        return TSelectionBlockColors{0xFCEDCB, 0xFDDE99, 0xFDF5E7, 0xFDFBF6, clNone, clNone};
    case scWindows7:
        return TSelectionBlockColors{0xE0C5AE, 0xCEA27D, 0xFDEADB, 0xFDF4EB, clNone, clNone};
    case scCustom:
        break;
    }
    return std::nullopt;
}

std::optional<TListGridStyleColors> ListGridStyleColors(TVekkoStyle style, bool withOffice2010)
{
    using R = TListGridStyleColors;
    const std::optional<Color> keep;
    switch (style) {
    case tsOffice2003Blue:
        return R{0xD68759, 0x933803, scOffice2007, 0xFFFFFF, 0x962D00, 0x962D00, keep, 0};
    case tsOffice2003Silver:
        return R{0xBDA4A5, 0x957475, scOffice2007, keep, 0x947C7C, 0x947C7C, keep, 0};
    case tsOffice2003Olive:
        return R{0x82C0AF, 0x447A63, scOffice2007, keep, 0x588060, 0x588060, keep, 0};
    case tsOffice2003Classic:
        return R{0x808080, 0x808080, scOffice2007, keep, 0x808080, 0x808080, keep, 0};
    case tsOffice2007Luna:
        return R{0xFFEFE3, 0xFFD2AF, scOffice2007, 0x723708, 0xFFD2AF, 0xFFD2AF, keep, 0};
    case tsOffice2007Obsidian:
        return R{0xF2F1F0, 0xC9C2BD, scOffice2007, 0x433C37, 0x5C534C, 0x5C534C, keep, 0};
    case tsWindowsXP:
        return R{clBtnFace, clBtnFace, scCustom, 0x000000, 0xC0C0C0, 0x000000, clHighlight, clHighlightText};
    case tsWhidbey:
        return R{0xEBEEEF, 0x7E9898, scOffice2007, 0xFFFFFF, 0x962D00, 0x962D00, keep, 0};
    case tsOffice2007Silver:
        return R{0xF8F7F6, 0xE8E0DB, scOffice2007, 0x8B4215, 0x74706F, 0x74706F, keep, 0};
    case tsWindowsVista:
        return R{0xFFFDF9, 0xFFFAF0, scWindowsVista, 0x000000, 0xFCF2DA, 0xFCF2DA, keep, 0};
    case tsWindows7:
        return R{0xFDFBFA, 0xFDF3EB, scWindows7, 0x000000, 0xFBD6B8, 0xFBD6B8, keep, 0};
    case tsTerminal:
        return R{clBtnFace, clBtnFace, scCustom, 0x000000, 0x808080, 0x808080, clHighlight, clHighlightText};
    case tsOffice2010Blue:
        if (withOffice2010)
            return R{0xEDDBCD, clNone, scCustom, 0x5B391E, 0xEEDDCF, 0xEEDDCF, 0x6CD0FF, 0};
        break;
    case tsOffice2010Silver:
        if (withOffice2010)
            return R{0xEDE9E5, clNone, scCustom, 0x5B391E, 0xEEDDCF, 0xEEDDCF, 0x6CD0FF, 0};
        break;
    case tsOffice2010Black:
        if (withOffice2010)
            return R{0x828282, clNone, scCustom, 0xD7D7D6, 0xEEDDCF, 0xEEDDCF, 0x6CD0FF, 0};
        break;
    case tsCustom:
        break;
    }
    return std::nullopt;
}

} // namespace controls::grid::dropdown
