#pragma once
// The looks a drop-down edit owns and hands to its popup: the header and footer bars with their
// buttons, the shared look of the bar buttons, the hot and selected look of list items, and the
// look of the calculator's keypad. Plain data with change notices; the controls read them when
// they paint.
#include "controls/grid/dropdown/rules/Collection.h"
#include "controls/grid/dropdown/rules/DropDownTypes.h"

#include <QFont>
#include <QString>
#include <functional>

namespace controls::grid::dropdown {

using TChangeNotice = std::function<void()>;

// --- bar buttons -------------------------------------------------------------------------------------

// The colours of the header and footer buttons (one set shared by all of them).
class TExtButtonAppearance : public platform::TPersistent {
public:
    TExtButtonAppearance();

    TChangeNotice OnChange;

#define VN_BTN_COLOR(Name)                                                                                             \
    platform::Color Name() const { return m_##Name; }                                                                            \
    void Set##Name(platform::Color c)                                                                                            \
    {                                                                                                                  \
        if (c == m_##Name)                                                                                             \
            return;                                                                                                    \
        m_##Name = c;                                                                                                  \
        changed();                                                                                                     \
    }
    VN_BTN_COLOR(BorderColor)
    VN_BTN_COLOR(BorderColorHot)
    VN_BTN_COLOR(BorderColorDown)
    VN_BTN_COLOR(BorderColorDisabled)
    VN_BTN_COLOR(BorderColorChecked)
    VN_BTN_COLOR(Color)
    VN_BTN_COLOR(ColorTo)
    VN_BTN_COLOR(ColorDown)
    VN_BTN_COLOR(ColorDownTo)
    VN_BTN_COLOR(ColorHot)
    VN_BTN_COLOR(ColorHotTo)
    VN_BTN_COLOR(ColorCheckedTo)
    VN_BTN_COLOR(ColorDisabled)
    VN_BTN_COLOR(ColorDisabledTo)
    VN_BTN_COLOR(ColorChecked)
#undef VN_BTN_COLOR
    TGradientDirection Gradient() const { return m_gradient; }
    void SetGradient(TGradientDirection g);
    const QFont& Font() const { return m_font; }
    void SetFont(const QFont& font) { m_font = font; }

    // Every colour and the gradient, through the setters; not the font.
    void Assign(const platform::TPersistent* source) override;

private:
    void changed()
    {
        if (OnChange)
            OnChange();
    }
    platform::Color m_BorderColor = clNone;
    platform::Color m_BorderColorHot = 0x808080;
    platform::Color m_BorderColorDown = 0x800000;
    platform::Color m_BorderColorDisabled = 0x808080;
    platform::Color m_BorderColorChecked = 0xFF0000;
    platform::Color m_Color = clNone;
    platform::Color m_ColorTo = clNone;
    platform::Color m_ColorDown = 0xF5D8CA;
    platform::Color m_ColorDownTo = 0xF9BDA0;
    platform::Color m_ColorHot = 0xF5F0E1;
    platform::Color m_ColorHotTo = 0xF9D2B2;
    platform::Color m_ColorCheckedTo;
    platform::Color m_ColorDisabled = 0xF2F2F2;
    platform::Color m_ColorDisabledTo = clNone;
    platform::Color m_ColorChecked;
    TGradientDirection m_gradient = gdVertical;
    QFont m_font;
};

class THeaderButton : public TCollectionItem {
public:
    QString Caption() const { return m_caption; }
    void SetCaption(const QString& caption);
    int ImageIndex = -1;
    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool on);
    // 0: sized to its content. A change of Height does not refresh an open popup.
    int Height = 0;
    int Width() const { return m_width; }
    void SetWidth(int width);
    void Assign(const platform::TPersistent* source) override;

private:
    QString m_caption;
    bool m_enabled = true;
    int m_width = 0;
};

class TFooterButton : public THeaderButton {
public:
    // A closing modal result hides the popup when the button is clicked (TModalResult).
    int ModalResult = mrNone;
    void Assign(const platform::TPersistent* source) override;
};

using THeaderButtons = TCollection<THeaderButton>;
using TFooterButtons = TCollection<TFooterButton>;

// --- header and footer bars --------------------------------------------------------------------------

class TBarAppearance : public platform::TPersistent {
public:
    // Raised when Visible changes.
    TChangeNotice OnChange;
    // Raised when a button's caption, enabled state or width changes.
    TChangeNotice OnButtonsChanged;

    bool Visible() const { return m_visible; }
    void SetVisible(bool on);
    int Height = 22;
    int BorderWidth = 1;
    int ImageIndex = -1;
    QString Caption; // mini-HTML
    platform::Color ColorTo = 0xFFFFFF;
    platform::Color Color = 0xC0C0C0;
    platform::Color BorderColor = 0x000000;
    QFont Font;
    platform::Color FontColor = platform::clWindowText;
    TGradientDirection GradientDirection = gdVertical;
    TButtonAlignment ButtonAlignment = baRight;

    // ColorTo, Color, BorderColor, Font and GradientDirection of another bar look of the same kind.
    virtual void AssignColors(const TBarAppearance* source);

protected:
    void AssignBar(const TBarAppearance* source);

private:
    bool m_visible = true;
};

class THeaderAppearance : public TBarAppearance {
public:
    THeaderAppearance();
    THeaderButtons& Buttons() { return m_buttons; }
    const THeaderButtons& Buttons() const { return m_buttons; }
    void SetButtons(const THeaderButtons& buttons) { m_buttons.Assign(&buttons); }
    void Assign(const platform::TPersistent* source) override;
    void AssignColors(const TBarAppearance* source) override;

private:
    THeaderButtons m_buttons;
};

class TFooterAppearance : public TBarAppearance {
public:
    TFooterAppearance();
    // The footer shows its size grip when the edit's popup is sizeable too.
    bool SizeGrip = true;
    TFooterButtons& Buttons() { return m_buttons; }
    const TFooterButtons& Buttons() const { return m_buttons; }
    void SetButtons(const TFooterButtons& buttons) { m_buttons.Assign(&buttons); }
    void Assign(const platform::TPersistent* source) override;
    void AssignColors(const TBarAppearance* source) override;

private:
    TFooterButtons m_buttons;
};

// --- list items --------------------------------------------------------------------------------------

// Hot and selected colours and the font of the items of the picker lists.
class TItemAppearance : public platform::TPersistent {
public:
    TItemAppearance();

    TChangeNotice OnChange; // kept for the owner; nothing raises it
    platform::Color ColorMirrorHotTo = clNone;
    platform::Color BorderColor = clNone;
    platform::Color ColorMirrorHot = clNone;
    platform::Color ColorSelectedTo = clNone;
    platform::Color ColorSelected = clNone;
    platform::Color EdgeColor = clNone;
    platform::Color ColorHotTo = clNone;
    platform::Color BorderColorBottom = clNone;
    platform::Color ColorHot = clNone;
    platform::Color BorderColorTop = clNone;
    platform::Color ColorMirrorSelectedTo = clNone;
    platform::Color ColorMirrorSelected = clNone;
    platform::Color ColorSelectedText = 0;
    platform::Color ColorHotText = 0;
    QFont Font;
    platform::Color BorderColorHot = clNone;
    platform::Color BorderColorSelected = clNone;

    TSelectionColorStyle ColorStyle() const { return m_colorStyle; }
    // Loads the preset of the style (scCustom keeps the colours); nothing when it is the same.
    void SetColorStyle(TSelectionColorStyle style);
    void Assign(const platform::TPersistent* source) override;

private:
    TSelectionColorStyle m_colorStyle = scCustom;
};

// --- the calculator keypad ---------------------------------------------------------------------------

class TButtonAppearance : public platform::TPersistent {
public:
    TButtonAppearance();

    TChangeNotice OnChange;

#define VN_CALC_COLOR(Name, initial)                                                                                   \
    platform::Color Name() const { return m_##Name; }                                                                            \
    void Set##Name(platform::Color c)                                                                                            \
    {                                                                                                                  \
        if (c == m_##Name)                                                                                             \
            return;                                                                                                    \
        m_##Name = c;                                                                                                  \
        changed();                                                                                                     \
    }                                                                                                                  \
                                                                                                                       \
private:                                                                                                               \
    platform::Color m_##Name = initial;                                                                                          \
                                                                                                                       \
public:
    VN_CALC_COLOR(BorderColor, 0)
    VN_CALC_COLOR(BorderColorHot, 0)
    VN_CALC_COLOR(BorderColorDown, 0)
    VN_CALC_COLOR(BorderColorChecked, 0xFF0000)
    VN_CALC_COLOR(Color, 0x9A915F)
    VN_CALC_COLOR(ColorTo, 0xB0A170)
    VN_CALC_COLOR(ColorDown, 0x4B2F08)
    VN_CALC_COLOR(ColorDownTo, 0xADB514)
    VN_CALC_COLOR(ColorHot, 0x9F6F1C)
    VN_CALC_COLOR(ColorHotTo, 0xD5C244)
    VN_CALC_COLOR(ColorCheckedTo, 0xF9BDA0)
    VN_CALC_COLOR(ColorDisabled, 0xF2F2F2)
    VN_CALC_COLOR(ColorDisabledTo, 0xF2F2F2)
    VN_CALC_COLOR(ColorChecked, 0xF5D8CA)
    VN_CALC_COLOR(TextColor, 0)
    VN_CALC_COLOR(SpecialTextColor, 0x000080)
#undef VN_CALC_COLOR
    // Plain fields.
    platform::Color ShineColor = 0xFFFFFF;
    platform::Color GlowColorHot = 0xD5C244;
    platform::Color GlowColorDown = 0xD5C244;
    QFont Font;

    void Assign(const platform::TPersistent* source) override;

private:
    void changed()
    {
        if (OnChange)
            OnChange();
    }
};

} // namespace controls::grid::dropdown
