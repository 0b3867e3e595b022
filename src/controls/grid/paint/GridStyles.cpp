// The looks the grid can be dressed in at once: the sixteen component styles of the suite, a
// flat look from five colour tones, the five colour schemes and the following of the Office
// colour scheme. Each writes a family of colour properties; the painter only reads them.
#include "controls/grid/paint/GridPaint.h"

#include "controls/grid/util/ExtUtil.h"

#include <algorithm>

namespace controls::grid {

namespace {

constexpr Color kNone = platform::clNone;
constexpr Color kBtnFace = platform::clBtnFace;

// One component style. A field set to kKeep, or a group switched off, leaves the grid's value.
constexpr Color kKeep = 0xFEFEFEFEu;
constexpr int kKeepLook = -1;

struct StylePreset {
    TVekkoStyle style;
    int look;
    Color gradFrom, gradTo, mirrorFrom, mirrorTo; // the fixed cells' gradient
    Color activeFrom, activeTo;                   // the active cell's headers
    Color line, fixedLine;
    bool ownSelection; // else the common start's selection colours
    Color selection, selectionTo, selectionText;
    Color footer, footerTo;
    bool controlLookGradient; // the ControlLook fixed gradient takes the style's gradient
};

// The sixteen styles, in the order of TVekkoStyle.
constexpr StylePreset kStyles[] = {
    {tsOffice2003Blue, glXP, 0xFCE1CB, 0xE0A57D, kNone, kNone, 0x94E6FB, 0x1595EE, 0xC0C0C0, 0x808080, true, 0x94E6FB,
     0x1595EE, 0x000000, 0xFCE1CB, kNone, true},
    {tsOffice2003Silver, glXP, 0xECE2E1, 0xB39698, kNone, kNone, 0x94E6FB, 0x1595EE, 0xC0C0C0, 0x808080, true, 0x94E6FB,
     0x1595EE, 0x000000, 0xECE2E1, kNone, true},
    {tsOffice2003Olive, glXP, 0xCFF0EA, 0x8CC0B1, kNone, kNone, 0x94E6FB, 0x1595EE, 0xC0C0C0, 0x808080, true, 0x94E6FB,
     0x1595EE, 0x000000, 0xCFF0EA, kNone, true},
    {tsOffice2003Classic, glXP, 0xFFFFFF, 0xCCD4D8, kNone, kNone, 0xD8D5D4, 0xD8D5D4, 0xC0C0C0, 0x808080, false, 0, 0, 0,
     0xFFFFFF, kNone, false},
    {tsOffice2007Luna, glOffice2007, 0xFBF9F6, 0xE8DBD2, kNone, kNone, 0x9DD8F9, 0x5EC1F1, 0xF1EDEB, 0xD1BBA4, true,
     0x5EC1F1, kNone, 0x000000, 0xFBF9F6, kNone, true},
    {tsOffice2007Obsidian, glOffice2007, 0xF7F7F7, 0xDEDEDE, kNone, kNone, 0x9DD8F9, 0x5EC1F1, 0xE5D7D0, 0x808080, true,
     0x5EC1F1, kNone, 0x000000, 0xF7F7F7, kNone, true},
    {tsWindowsXP, glXP, kBtnFace, kBtnFace, kNone, kNone, kBtnFace, kBtnFace, 0xC0C0C0, 0x808080, false, 0, 0, 0, kBtnFace,
     kNone, false},
    {tsWhidbey, kKeepLook, 0xFFFFFF, kBtnFace, kNone, kNone, 0x94E6FB, 0x1595EE, 0xC0C0C0, 0x808080, false, 0, 0, 0,
     0xFFFFFF, kNone, false},
    {tsCustom, kKeepLook, kKeep, kKeep, kKeep, kKeep, kKeep, kKeep, kKeep, kKeep, false, 0, 0, 0, kKeep, kKeep, false},
    {tsOffice2007Silver, glOffice2007, 0xF3F3F1, 0xCAC9C8, kNone, kNone, 0x99CCFF, 0x699CFF, 0xE5D7D0, 0x808080, true,
     0x95C7F5, kNone, 0x000000, 0xF3F3F1, kNone, true},
    {tsWindowsVista, glVista, 0xFFFFFF, 0xFFFFFF, 0xFAF8F7, 0xF4F2F1, 0xFDF8F1, 0xFCEFD5, 0xECECF0, 0xD4D2D1, true,
     0xEACAB6, kNone, 0x000000, 0xFFFFFF, 0xF4F2F1, false},
    {tsWindows7, glWin7, 0xFDFCFA, 0xFAF0E6, 0xF4E6DC, 0xF7E9DD, 0xFCEBDC, 0xFCDBC1, 0xECECF0, 0xD4D2D1, true, 0xEACAB6,
     kNone, 0x000000, 0xFDFCFA, 0xF7E9DD, false},
    {tsTerminal, glStandard, kKeep, kKeep, kKeep, kKeep, kKeep, kKeep, kKeep, kKeep, false, 0, 0, 0, kKeep, kKeep, false},
    {tsOffice2010Blue, glOffice2007, 0xF5E7DA, 0xF5E7DA, 0xF5E7DA, 0xF5E7DA, 0x5BD5FF, 0x71EFFF, 0xC0C0C0, 0xC7B0A0, true,
     0xFFDBB7, kNone, 0x000000, 0xF5E7DA, 0xF5E7DA, false},
    {tsOffice2010Silver, glOffice2007, 0xE8E3DF, 0xE8E3DF, 0xE8E3DF, 0xE8E3DF, 0x5BD5FF, 0x71EFFF, 0xC0C0C0, 0xBAB5B1,
     true, 0xFFDBB7, kNone, 0x000000, 0xE8E3DF, 0xE8E3DF, false},
    {tsOffice2010Black, glOffice2007, 0x6A6A6A, 0x6A6A6A, 0x6A6A6A, 0x6A6A6A, 0x5BD5FF, 0x71EFFF, 0xC0C0C0, 0x444444,
     true, 0xFFDBB7, kNone, 0x000000, 0x6A6A6A, 0x6A6A6A, false},
};
static_assert(std::size(kStyles) == 16);

// Hover and pressed header gradients: from, to, mirror from, mirror to, border.
struct Gradient5 {
    Color from, to, mirrorFrom, mirrorTo, border;
};

// The colour schemes: gradient, mirror, active cell, search footer, and whether the ControlLook
// fixed gradient follows the gradient (else none).
struct SchemePreset {
    Color gradFrom, gradTo, mirrorFrom, mirrorTo, activeFrom, activeTo, footer, footerTo;
    bool controlLookGradient;
};
constexpr SchemePreset kSchemes[] = {
    {0xFFFFFF, kBtnFace, kNone, kNone, 0xFFFFFF, 0xFFD9B3, 0xFFFFFF, 0xFFD9B3, false}, // xpNone
    {0xFCE1CB, 0xE0A57D, kNone, kNone, 0x94E6FB, 0x1595EE, 0xFCE1CB, 0xE0A57D, true},  // xpBlue
    {0xCFF0EA, 0x8CC0B1, kNone, kNone, 0x94E6FB, 0x1595EE, 0xCFF0EA, 0x8CC0B1, true},  // xpGreen
    {0xECE2E1, 0xB39698, kNone, kNone, 0x94E6FB, 0x1595EE, 0xECE2E1, 0xB39698, true},  // xpGray
    {0xFFFFFF, 0xFFFFFF, 0xFAF8F7, 0xF4F2F1, 0x94E6FB, 0x1595EE, 0xECE2E1, 0xB39698, true}, // vistaAero
};

bool keep(Color c) { return c == kKeep; }

// A check or radio glyph of the flat look: a box or circle, filled when on.
platform::Bitmap metroGlyph(bool radio, bool on)
{
    platform::Bitmap b(16, 16, platform::clFuchsia);
    platform::Canvas c(b);
    c.pen() = platform::Pen{0x5A5A5A, 1, platform::PenStyle::Solid};
    c.brush() = platform::Brush{platform::clWhite, platform::BrushStyle::Solid};
    const Rect box{2, 2, 15, 15};
    if (radio)
        c.ellipse(box);
    else
        c.rectangle(box);
    if (on) {
        c.pen().color = 0x333333;
        c.brush().color = 0x333333;
        if (radio) {
            c.ellipse(Rect{5, 5, 12, 12});
        } else {
            for (int d = 0; d < 2; ++d) {
                c.moveTo(4, 8 + d);
                c.lineTo(7, 11 + d);
                c.lineTo(13, 5 + d);
            }
        }
    }
    b.setTransparent(true);
    return b;
}

} // namespace

void TExtStringGridPaint::SetComponentStyle(TVekkoStyle style)
{
    SetStyle(style);
    TExtStringGrid::SetStyle(style); // the style the grid remembers
    if (!m_designing)
        SetEditorsStyle(style);
    if (style != tsCustom && ScrollType() == ssMetro)
        SetScrollType(ssNormal);
}

void TExtStringGridPaint::SetEditorsStyle(TVekkoStyle style)
{
    for (IVekkoStyle* editor : StyledEditors)
        if (editor)
            editor->SetComponentStyle(style);
}

void TExtStringGridPaint::RegisterEditor(IVekkoStyle* styled, IVekkoTones* toned)
{
    if (styled && std::find(StyledEditors.begin(), StyledEditors.end(), styled) == StyledEditors.end()) {
        StyledEditors.push_back(styled);
        styled->SetComponentStyle(Style());
    }
    if (toned && std::find(TonedEditors.begin(), TonedEditors.end(), toned) == TonedEditors.end()) {
        TonedEditors.push_back(toned);
        // Tones are given once the background brush is set (the painter reads them the same way).
        if (!m_designing && Tones.Background.BrushColor != kNone)
            toned->SetColorTones(Tones);
    }
}

void TExtStringGridPaint::SetStyle(TVekkoStyle style)
{
    // The common start of every style.
    SetSelectionColor(platform::clHighlight);
    SetSelectionColorTo(kNone);
    SetSelectionTextColor(platform::clHighlightText);
    SetSelectionStyle(ssDefault);
    SortSettings.HeaderColor = SortSettings.HeaderColorTo = kNone;
    SortSettings.HeaderMirrorColor = SortSettings.HeaderMirrorColorTo = kNone;
    ControlLook.Init();

    const StylePreset& p = kStyles[int(style)];
    if (p.look != kKeepLook)
        SetLookField(TGridLook(p.look));
    if (!keep(p.gradFrom)) {
        SetVekkoGradientFrom(p.gradFrom);
        SetVekkoGradientTo(p.gradTo);
        SetVekkoGradientMirrorFrom(p.mirrorFrom);
        SetVekkoGradientMirrorTo(p.mirrorTo);
    }
    if (!keep(p.activeFrom)) {
        SetActiveCellColor(p.activeFrom);
        SetActiveCellColorTo(p.activeTo);
    }
    if (!keep(p.line)) {
        SetGridLineColor(p.line);
        SetGridFixedLineColor(p.fixedLine);
    }
    if (p.ownSelection) {
        SetSelectionColor(p.selection);
        SetSelectionColorTo(p.selectionTo);
        SetSelectionTextColor(p.selectionText);
    }
    if (!keep(p.footer)) {
        SearchFooter.SetColor(p.footer);
        SearchFooter.SetColorTo(p.footerTo);
    }
    ControlLook.SetFixedGradientFrom(p.controlLookGradient ? p.gradFrom : kNone);
    ControlLook.SetFixedGradientTo(p.controlLookGradient ? p.gradTo : kNone);

    auto setHover = [this](const Gradient5& g) {
        VekkoGradHoverFrom = g.from;
        VekkoGradHoverTo = g.to;
        VekkoGradHoverMirrorFrom = g.mirrorFrom;
        VekkoGradHoverMirrorTo = g.mirrorTo;
        VekkoGradHoverBorder = g.border;
    };
    auto setLookHover = [this](const Gradient5& g, bool border) {
        ControlLook.FixedGradientHoverFrom = g.from;
        ControlLook.FixedGradientHoverTo = g.to;
        ControlLook.FixedGradientHoverMirrorFrom = g.mirrorFrom;
        ControlLook.FixedGradientHoverMirrorTo = g.mirrorTo;
        if (border)
            ControlLook.FixedGradientHoverBorder = g.border;
    };
    auto setLookDown = [this](const Gradient5& g) {
        ControlLook.FixedGradientDownFrom = g.from;
        ControlLook.FixedGradientDownTo = g.to;
        ControlLook.FixedGradientDownMirrorFrom = g.mirrorFrom;
        ControlLook.FixedGradientDownMirrorTo = g.mirrorTo;
        ControlLook.FixedGradientDownBorder = g.border;
    };
    auto setSortHeader = [this](Color c, Color to, Color mirror, Color mirrorTo) {
        SortSettings.HeaderColor = c;
        SortSettings.HeaderColorTo = to;
        SortSettings.HeaderMirrorColor = mirror;
        SortSettings.HeaderMirrorColorTo = mirrorTo;
    };
    switch (style) {
    case tsOffice2007Luna:
        SetSelectionStyle(ssOffice2007);
        setLookHover({0xE4E2DF, 0xDBD3CD, 0xDBD3CD, 0xD2C5BC, 0xB79F87}, true);
        setLookDown({0xE4C19D, 0xE4C19D, 0xE4C19D, 0xE4C19D, 0xE4C19D});
        break;
    case tsWindowsVista: {
        SetSelectionStyle(ssVista);
        const Gradient5 hover{0xFFF7E3, 0xFFF7E3, 0xFFEDBD, 0xFBE7B7, 0xE3C993};
        setHover(hover);
        ControlLook.SetFixedGradientMirrorFrom(p.mirrorFrom);
        ControlLook.SetFixedGradientMirrorTo(p.mirrorTo);
        setSortHeader(0xFCF9F2, 0xFCF9F2, 0xF9F1E1, 0xF6ECD8);
        setLookHover(hover, false);
        setLookDown({0xF9E4BC, 0xF9E4BC, 0xF7D68D, 0xF5D18A, 0xAE904F});
        break;
    }
    case tsWindows7:
        SetSelectionStyle(ssWin7);
        setHover({0xFDF8F3, 0xF9F3EF, kNone, kNone, 0xEEE8E3});
        ControlLook.SetFixedGradientMirrorFrom(p.mirrorFrom);
        ControlLook.SetFixedGradientMirrorTo(p.mirrorTo);
        setSortHeader(0xFCF9F2, 0xFCF9F2, 0xF9F1E1, 0xF6ECD8);
        setLookHover({0xFEFBF8, 0xFAF2ED, 0xF4E4D7, 0xE8D2C1, 0}, false);
        setLookDown({0xF1E8DD, 0xF1E4D8, 0xECDBCF, 0xEDDCCF, 0xD5BCAA});
        break;
    case tsOffice2010Blue:
    case tsOffice2010Silver:
    case tsOffice2010Black: {
        setHover({kNone, kNone, kNone, kNone, kNone});
        ControlLook.SetFixedGradientMirrorFrom(p.gradFrom);
        ControlLook.SetFixedGradientMirrorTo(p.gradFrom);
        const Color sort = style == tsOffice2010Blue ? 0xD6CEC7 : (style == tsOffice2010Silver ? 0xAAAAAA : 0xBABABA);
        setSortHeader(sort, sort, sort, sort);
        setLookHover({0x6BDFFF, 0xAFEFFF, 0xAFEFFF, 0xE6FCFF, 0x3ABFE8}, true);
        setLookDown({0x5BD5FF, 0x64E0FF, 0x64E0FF, 0x71EFFF, 0x308AC2});
        break;
    }
    default:
        break;
    }
    invalidate();
}

void TExtStringGridPaint::SetColorTones(const TColorTones& tones)
{
    Tones = tones;
    SetLook(glClassic);
    SetFlat(true);
    SetScrollType(ssMetro);
    const QString fontName = GetDefaultFontName();
    setFixedColor(tones.Foreground.BrushColor);
    FixedFontColor = tones.Foreground.TextColor;
    QFont fixed = FixedFont();
    fixed.setFamily(fontName);
    SetFixedFont(fixed);
    setColor(tones.Background.BrushColor);
    QFont cellFont = font();
    cellFont.setFamily(fontName);
    setFont(cellFont);
    SetFontColor(tones.Background.TextColor);
    SetSelectionColor(tones.Selected.BrushColor);
    SetSelectionTextColor(tones.Selected.TextColor);
    SetSelectionColorTo(kNone);
    SetGridLineColor(0xE6E6E6);
    SetGridFixedLineColor(AdjustColorBrightness(tones.Foreground.BrushColor, -20));
    setBorderStyle(platform::TBorderStyle::bsNone);
    ControlLook.SetControlStyle(csGlyph);
    ControlLook.CheckedGlyph = metroGlyph(false, true);
    ControlLook.UnCheckedGlyph = metroGlyph(false, false);
    ControlLook.RadioOffGlyph = metroGlyph(true, false);
    ControlLook.RadioOnGlyph = metroGlyph(true, true);
    if (!m_designing)
        for (IVekkoTones* editor : TonedEditors)
            if (editor)
                editor->SetColorTones(tones);
    ControlLook.SetFlatButton(true);
    FloatingFooter.Color = tones.Foreground.BrushColor;
    SearchFooter.SetColor(tones.Foreground.BrushColor);
    SearchFooter.SetColorTo(tones.Foreground.BrushColor);
    CellNode.SetNodeType(cnFlat);
    invalidate();
}

void TExtStringGridPaint::SetTheme(TXPColorScheme scheme)
{
    const SchemePreset& p = kSchemes[int(scheme)];
    SetVekkoGradientFrom(p.gradFrom);
    SetVekkoGradientTo(p.gradTo);
    SetVekkoGradientMirrorFrom(p.mirrorFrom);
    SetVekkoGradientMirrorTo(p.mirrorTo);
    SetActiveCellColor(p.activeFrom);
    SetActiveCellColorTo(p.activeTo);
    SearchFooter.SetColor(p.footer);
    SearchFooter.SetColorTo(p.footerTo);
    ControlLook.SetFixedGradientFrom(p.controlLookGradient ? p.gradFrom : kNone);
    ControlLook.SetFixedGradientTo(p.controlLookGradient ? p.gradTo : kNone);
}

void TExtStringGridPaint::Loaded()
{
    TExtStringGrid::Loaded();
    if (AutoThemeAdapt())
        AdaptToOfficeTheme();
}

void TExtStringGridPaint::AdaptToOfficeTheme()
{
    if (m_designing)
        return;
    const TOfficeTheme theme = GetOfficeTheme();
    if (theme == m_oldOfficeTheme)
        return;
    static const TVekkoStyle kFor[] = {tsOffice2003Blue,   tsOffice2003Silver, tsOffice2003Olive,  tsOffice2003Classic,
                                       tsOffice2007Luna,   tsOffice2007Silver, tsOffice2007Obsidian, tsOffice2010Blue,
                                       tsOffice2010Silver, tsOffice2010Black};
    if (theme != otUnknown)
        SetComponentStyle(kFor[int(theme)]);
    m_oldOfficeTheme = theme;
}

} // namespace controls::grid
