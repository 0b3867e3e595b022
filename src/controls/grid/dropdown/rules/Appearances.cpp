#include "controls/grid/dropdown/rules/Appearances.h"

#include "controls/grid/dropdown/rules/DropDownDraw.h"
#include "controls/grid/dropdown/rules/DropDownStyles.h"

namespace controls::grid::dropdown {

namespace {
QFont TahomaFont()
{
    QFont f;
    f.setFamily(QStringLiteral("Tahoma"));
    return f;
}
} // namespace

// --- bar buttons -------------------------------------------------------------------------------------

TExtButtonAppearance::TExtButtonAppearance()
    : m_ColorCheckedTo(AdjustColorPercent(0xF9D2B2, -10, -10, 0)),
      m_ColorChecked(AdjustColorPercent(0xF5F0E1, -10, -10, 0)), m_font(TahomaFont())
{
}

void TExtButtonAppearance::SetGradient(TGradientDirection g)
{
    if (g == m_gradient)
        return;
    m_gradient = g;
    changed();
}

void TExtButtonAppearance::Assign(const platform::TPersistent* source)
{
    const auto* s = dynamic_cast<const TExtButtonAppearance*>(source);
    if (!s) {
        platform::TPersistent::Assign(source);
        return;
    }
    SetColor(s->m_Color);
    SetColorTo(s->m_ColorTo);
    SetColorHot(s->m_ColorHot);
    SetColorHotTo(s->m_ColorHotTo);
    SetColorDown(s->m_ColorDown);
    SetColorDownTo(s->m_ColorDownTo);
    SetColorChecked(s->m_ColorChecked);
    SetColorCheckedTo(s->m_ColorCheckedTo);
    SetColorDisabled(s->m_ColorDisabled);
    SetColorDisabledTo(s->m_ColorDisabledTo);
    SetBorderColor(s->m_BorderColor);
    SetBorderColorHot(s->m_BorderColorHot);
    SetBorderColorDown(s->m_BorderColorDown);
    SetBorderColorChecked(s->m_BorderColorChecked);
    SetBorderColorDisabled(s->m_BorderColorDisabled);
    SetGradient(s->m_gradient);
}

void THeaderButton::SetCaption(const QString& caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    Changed();
}

void THeaderButton::SetEnabled(bool on)
{
    m_enabled = on;
    Changed();
}

void THeaderButton::SetWidth(int width)
{
    if (width == m_width)
        return;
    m_width = width;
    Changed();
}

void THeaderButton::Assign(const platform::TPersistent* source)
{
    const auto* s = dynamic_cast<const THeaderButton*>(source);
    if (!s || (dynamic_cast<const TFooterButton*>(source) != nullptr) != (dynamic_cast<TFooterButton*>(this) != nullptr)) {
        platform::TPersistent::Assign(source);
        return;
    }
    SetCaption(s->m_caption);
    ImageIndex = s->ImageIndex;
    SetEnabled(s->m_enabled);
    SetWidth(s->m_width);
    Height = s->Height;
}

void TFooterButton::Assign(const platform::TPersistent* source)
{
    const auto* s = dynamic_cast<const TFooterButton*>(source);
    if (!s) {
        platform::TPersistent::Assign(source);
        return;
    }
    SetCaption(s->Caption());
    ImageIndex = s->ImageIndex;
    ModalResult = s->ModalResult;
    SetEnabled(s->Enabled());
    SetWidth(s->Width());
    Height = s->Height;
}

// --- header and footer bars --------------------------------------------------------------------------

void TBarAppearance::SetVisible(bool on)
{
    if (on == m_visible)
        return;
    m_visible = on;
    if (OnChange)
        OnChange();
}

void TBarAppearance::AssignColors(const TBarAppearance* source)
{
    ColorTo = source->ColorTo;
    Color = source->Color;
    BorderColor = source->BorderColor;
    Font = source->Font;
    FontColor = source->FontColor;
    GradientDirection = source->GradientDirection;
}

void TBarAppearance::AssignBar(const TBarAppearance* s)
{
    ColorTo = s->ColorTo;
    Color = s->Color;
    BorderColor = s->BorderColor;
    Caption = s->Caption;
    Font = s->Font;
    FontColor = s->FontColor;
    ImageIndex = s->ImageIndex;
    BorderWidth = s->BorderWidth;
    GradientDirection = s->GradientDirection;
    Height = s->Height;
    SetVisible(s->Visible());
    ButtonAlignment = s->ButtonAlignment;
}

THeaderAppearance::THeaderAppearance()
{
    Font = TahomaFont();
    m_buttons.OnChange = [this] {
        if (OnButtonsChanged)
            OnButtonsChanged();
    };
}

void THeaderAppearance::Assign(const platform::TPersistent* source)
{
    const auto* s = dynamic_cast<const THeaderAppearance*>(source);
    if (!s)
        return;
    AssignBar(s);
    m_buttons.Assign(&s->m_buttons);
}

void THeaderAppearance::AssignColors(const TBarAppearance* source)
{
    if (dynamic_cast<const THeaderAppearance*>(source))
        TBarAppearance::AssignColors(source);
}

TFooterAppearance::TFooterAppearance()
{
    m_buttons.OnChange = [this] {
        if (OnButtonsChanged)
            OnButtonsChanged();
    };
}

void TFooterAppearance::Assign(const platform::TPersistent* source)
{
    const auto* s = dynamic_cast<const TFooterAppearance*>(source);
    if (!s)
        return;
    SizeGrip = s->SizeGrip;
    AssignBar(s);
    m_buttons.Assign(&s->m_buttons);
}

void TFooterAppearance::AssignColors(const TBarAppearance* source)
{
    if (dynamic_cast<const TFooterAppearance*>(source))
        TBarAppearance::AssignColors(source);
}

// --- list items --------------------------------------------------------------------------------------

TItemAppearance::TItemAppearance() : Font(TahomaFont()) { SetColorStyle(scOffice2007); }

void TItemAppearance::SetColorStyle(TSelectionColorStyle style)
{
    if (style == m_colorStyle)
        return;
    m_colorStyle = style;
    struct Preset {
        platform::Color hot, hotTo, mirrorHot, mirrorHotTo, top, bottom, border, edge, sel, selTo, mirrorSel, mirrorSelTo;
    };
    Preset p{};
    switch (style) {
    case scOffice2007:
        p = {0xD7FFFD, 0x58D4FC, 0x58D4FC, 0xB3F1FC, 0xF4FEFF, 0xCAF8FF,
             0x8DD7D3, 0xC3D9DF, 0xA6FFFB, 0x04B9F4, 0x15C1FB, 0x68E3F9};
        break;
    case scWindowsVista:
        p = {0xFDF8F1, 0xFCEFD5, clNone, clNone, 0xFDFBF6, 0xFDF5E7, 0xFDDE99, 0xFCEDCB, 0xFAEEDE, 0xFAE3B4, clNone, clNone};
        break;
    case scWindows7:
        p = {0xFCEBDC, 0xFCDBC1, clNone, clNone, 0xFDF4EB, 0xFDEADB, 0xCEA27D, 0xE0C5AE, 0xF9D8B9, 0xFBCAA2, clNone, clNone};
        break;
    case scCustom:
        return;
    }
    ColorHot = p.hot;
    ColorHotTo = p.hotTo;
    ColorMirrorHot = p.mirrorHot;
    ColorMirrorHotTo = p.mirrorHotTo;
    BorderColorTop = p.top;
    BorderColorBottom = p.bottom;
    BorderColor = p.border;
    EdgeColor = p.edge;
    ColorSelected = p.sel;
    ColorSelectedTo = p.selTo;
    ColorMirrorSelected = p.mirrorSel;
    ColorMirrorSelectedTo = p.mirrorSelTo;
}

void TItemAppearance::Assign(const platform::TPersistent* source)
{
    const auto* s = dynamic_cast<const TItemAppearance*>(source);
    if (!s) {
        platform::TPersistent::Assign(source);
        return;
    }
    ColorMirrorHotTo = s->ColorMirrorHotTo;
    BorderColor = s->BorderColor;
    ColorMirrorHot = s->ColorMirrorHot;
    ColorSelectedTo = s->ColorSelectedTo;
    ColorSelected = s->ColorSelected;
    EdgeColor = s->EdgeColor;
    ColorHotTo = s->ColorHotTo;
    BorderColorBottom = s->BorderColorBottom;
    ColorHot = s->ColorHot;
    BorderColorTop = s->BorderColorTop;
    ColorMirrorSelectedTo = s->ColorMirrorSelectedTo;
    ColorMirrorSelected = s->ColorMirrorSelected;
    Font = s->Font;
    SetColorStyle(s->m_colorStyle);
    ColorSelectedText = s->ColorSelectedText;
    ColorHotText = s->ColorHotText;
    BorderColorHot = s->BorderColorHot;
    BorderColorSelected = s->BorderColorSelected;
}

// --- the calculator keypad ---------------------------------------------------------------------------

TButtonAppearance::TButtonAppearance()
{
    Font.setPointSize(10);
    Font.setBold(true);
}

void TButtonAppearance::Assign(const platform::TPersistent* source)
{
    const auto* s = dynamic_cast<const TButtonAppearance*>(source);
    if (!s) {
        platform::TPersistent::Assign(source);
        return;
    }
    SetBorderColor(s->m_BorderColor);
    SetBorderColorHot(s->m_BorderColorHot);
    SetBorderColorDown(s->m_BorderColorDown);
    SetBorderColorChecked(s->m_BorderColorChecked);
    SetColor(s->m_Color);
    SetColorTo(s->m_ColorTo);
    SetColorDown(s->m_ColorDown);
    SetColorDownTo(s->m_ColorDownTo);
    SetColorHot(s->m_ColorHot);
    SetColorHotTo(s->m_ColorHotTo);
    SetColorCheckedTo(s->m_ColorCheckedTo);
    SetColorDisabled(s->m_ColorDisabled);
    SetColorDisabledTo(s->m_ColorDisabledTo);
    SetColorChecked(s->m_ColorChecked);
    SetTextColor(s->m_TextColor);
    SetSpecialTextColor(s->m_SpecialTextColor);
    ShineColor = s->ShineColor;
    GlowColorHot = s->GlowColorHot;
    GlowColorDown = s->GlowColorDown;
    Font = s->Font;
}

} // namespace controls::grid::dropdown
