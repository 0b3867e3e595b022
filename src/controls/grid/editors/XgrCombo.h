#pragma once
// TXgrCustomCombo / TXgrComboBox: the combo box of the grid's list and editable-list editors, a
// QComboBox with four additions:
//   - its own drop-down button: themed ("combobox" part 1 through the style adapter), the
//     classic frame control when visual styles are off, or drawn in ButtonColor (hot, down)
//     with a ButtonBorderColor line and a ButtonTextColor arrow;
//   - its own border: flat (parent colour and own colour rings, a sunken ring while hovered or
//     active with FocusBorder), a one-pixel BorderColor frame, a FocusBorderColor frame while it
//     has the focus (focus wins over BorderColor), and RGB(127, 157, 185) when it is disabled
//     under visual styles with DisabledBorder off;
//   - FocusColor as background while it has the focus (the colour of the last Init returns
//     when it leaves);
//   - an optional caption label (created with the first LabelCaption) placed beside it in one of
//     thirteen positions, LabelMargin pixels away.
// The control paints itself (the style's painting first, then button and border on top) while
// Flat, ButtonColor, BorderColor, FocusBorderColor with the focus, or the disabled border asks
// for it; otherwise the style alone paints it. With IsVista and no ButtonColor the style paints
// the whole control, and the border only when BorderColor is set.
//
// Colours are platform colours; clNone means "not set" everywhere. ButtonWidth takes 14..32
// only (other values are ignored). Closing the list fires OnDropUp once.
//
// Grids built in code call BeginLoading before they set the published properties and Loaded
// afterwards, as a form would: a Color set while loading is the colour that leaving flat mode
// returns to.
#include "controls/grid/editors/ControlLabel.h"
#include "platform/core/StringList.h"
#include "platform/draw/Canvas.h"
#include "platform/draw/Color.h"

#include <QComboBox>
#include <QFont>
#include <QPointer>
#include <QString>
#include <functional>

#include <QLabel>

namespace controls::grid {

using platform::Color;

enum TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };

class TXgrCustomCombo : public QComboBox {
    Q_OBJECT

public:
    using NotifyEvent = std::function<void(TXgrCustomCombo* sender)>;

    explicit TXgrCustomCombo(QWidget* owner = nullptr);
    ~TXgrCustomCombo() override;

    // --- the framework combo's properties -------------------------------------------------
    TComboBoxStyle Style() const { return m_style; }
    void SetStyle(TComboBoxStyle style);
    QString Text() const;
    void SetText(const QString& text);
    int ItemIndex() const { return currentIndex(); }
    void SetItemIndex(int index);
    int ItemCount() const { return count(); }
    QString Item(int index) const { return itemText(index); }
    // The object stored with item index (nullptr for none or an index outside the list).
    platform::TObject* ItemObject(int index) const;
    int AddItem(const QString& text, platform::TObject* object = nullptr);
    void ClearItems();
    // Index of the first item equal to text (case-sensitive), -1 when absent.
    int IndexOfItem(const QString& text) const;
    platform::TStringList Items() const;
    void SetItems(const platform::TStringList& items);
    int DropDownCount() const { return maxVisibleItems(); }
    void SetDropDownCount(int count) { setMaxVisibleItems(count < 1 ? 1 : count); }
    // 0 = no limit; only an editable combo has a text to limit.
    int MaxLength() const { return m_maxLength; }
    void SetMaxLength(int length);
    int ItemHeight() const { return m_itemHeight; }
    void SetItemHeight(int height) { m_itemHeight = height; }
    bool DroppedDown() const { return m_droppedDown; }
    void SetDroppedDown(bool down);
    int SelStart() const;
    void SetSelStart(int start);
    int SelLength() const;
    void SetSelLength(int length);
    void SelectAll();

    // --- published additions -------------------------------------------------------------
    bool AutoFocus() const { return m_autoFocus; }
    void SetAutoFocus(bool on) { m_autoFocus = on; }
    Color BorderColor() const { return m_borderColor; }
    void SetBorderColor(Color c);
    int ButtonWidth() const { return m_buttonWidth; }
    void SetButtonWidth(int width);
    bool DisabledBorder() const { return m_disabledBorder; }
    void SetDisabledBorder(bool on) { m_disabledBorder = on; update(); }
    bool Flat() const { return m_flat; }
    void SetFlat(bool on);
    bool Ctl3D() const { return m_ctl3D; }
    Color FlatLineColor() const { return m_flatLineColor; }
    void SetFlatLineColor(Color c);
    bool FlatParentColor() const { return m_flatParentColor; }
    void SetFlatParentColor(bool on);
    bool Etched() const { return m_etched; }
    void SetEtched(bool on);
    bool FocusBorder() const { return m_focusBorder; }
    void SetFocusBorder(bool on) { m_focusBorder = on; update(); }
    Color FocusBorderColor() const { return m_focusBorderColor; }
    void SetFocusBorderColor(Color c) { m_focusBorderColor = c; update(); }
    Color FocusColor() const { return m_focusColor; }
    void SetFocusColor(Color c) { m_focusColor = c; }
    bool FocusLabel() const { return m_label.FocusBold; }
    void SetFocusLabel(bool on) { m_label.FocusBold = on; }
    int DropWidth() const { return m_dropWidth; }
    void SetDropWidth(int width);
    QString LabelCaption() const;
    void SetLabelCaption(const QString& caption);
    TLabelPosition LabelPosition() const { return m_label.Position; }
    void SetLabelPosition(TLabelPosition position);
    int LabelMargin() const { return m_label.Margin; }
    void SetLabelMargin(int margin);
    bool LabelTransparent() const { return m_label.Transparent; }
    void SetLabelTransparent(bool on);
    bool LabelAlwaysEnabled() const { return m_label.AlwaysEnabled; }
    void SetLabelAlwaysEnabled(bool on);
    QFont LabelFont() const { return m_label.Font; }
    void SetLabelFont(const QFont& font);
    // The label takes the control's font while this is on (the default).
    bool ParentFont() const { return m_parentFont; }
    void SetParentFont(bool on);
    // Background colour; while ParentColor is on the parent's colour is shown instead.
    Color GetColor() const;
    void SetColor(Color c);
    bool ParentColor() const { return m_parentColor; }
    void SetParentColor(bool on);
    bool Enabled() const { return isEnabled(); }
    void SetEnabled(bool on);
    bool Visible() const { return m_visible; }
    void SetVisible(bool on);
    NotifyEvent OnDropUp;

    // --- run-time properties (plain fields) -------------------------------------------------
    Color ButtonColor = platform::clNone;
    Color ButtonColorHot = platform::clNone;
    Color ButtonColorDown = platform::clNone;
    Color ButtonTextColor = platform::clNone;
    Color ButtonTextColorHot = platform::clNone; // kept; nothing paints with it
    Color ButtonTextColorDown = platform::clNone;
    Color ButtonBorderColor = platform::clNone;
    bool IsWinXP = false;
    bool IsVista = false;
    QLabel* ComboLabel() const { return m_label.Label(); }
    // FNormalColor := the current colour (the colour restored when the focus leaves).
    void Init();
    // Makes the item equal to text current; nothing when it is absent.
    void SelectItem(const QString& text);

    // --- loading from a description ----------------------------------------------------------
    void BeginLoading() { m_loading = true; }
    virtual void Loaded();
    bool IsLoading() const { return m_loading; }

    // State the painting follows.
    bool HasFocusState() const { return m_hasFocus; }
    bool MouseInControl() const { return m_mouseInControl; }
    bool ButtonHover() const { return m_buttonHover; }
    bool IsThemed() const { return m_isThemed; }

    void showPopup() override;
    void hidePopup() override;

protected:
    // The focus handlers; a grid editor deriving from the combo runs them from its own.
    virtual void WMSetFocus();
    virtual void WMKillFocus();
    // Whether a mouse button is held now (the painter's "button down"); tests replace it.
    virtual bool IsMouseButtonDown() const;

    void paintEvent(QPaintEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void enterEvent(QEnterEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void changeEvent(QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void moveEvent(QMoveEvent* e) override;

private:
    bool DoVisualStyles() const;
    bool IsActive() const;
    bool IsFocusBorderActive() const;
    bool OwnPainting() const;
    void DrawComboButton(platform::Canvas& canvas);
    void DrawBorders(platform::Canvas& canvas);
    void DrawControlBorder(platform::Canvas& canvas);
    void UpdateLabel();
    void ApplyColor();
    Color ParentBrushColor() const;
    // The colour setter without the loading record.
    void SetPlainColor(Color c);

    TComboBoxStyle m_style = csDropDown;
    int m_maxLength = 0;
    int m_itemHeight = 16;
    bool m_droppedDown = false;

    bool m_autoFocus = false;
    bool m_flat = false;
    bool m_ctl3D = true;
    bool m_etched = false;
    Color m_oldColor = platform::clWindow;
    Color m_loadedColor = platform::clWindow;
    bool m_oldParentColor = false;
    int m_buttonWidth = 19;
    bool m_focusBorder = false;
    bool m_mouseInControl = false;
    int m_dropWidth = 0;
    bool m_isThemed = true;
    bool m_buttonHover = false;
    TControlLabel m_label{this};
    Color m_flatLineColor = platform::clNone;
    bool m_flatParentColor = true;
    Color m_focusColor = platform::clNone;
    Color m_focusBorderColor = platform::clNone;
    Color m_borderColor = platform::clNone;
    bool m_disabledBorder = true;
    Color m_normalColor = platform::clNone;
    bool m_hasFocus = false;

    Color m_color = platform::clWindow;
    bool m_parentColor = false;
    bool m_parentFont = true;
    bool m_visible = true;
    bool m_loading = false;
    bool m_destroying = false;
};

// The published form: the same control under the name the window descriptions use.
class TXgrComboBox : public TXgrCustomCombo {
    Q_OBJECT

public:
    using TXgrCustomCombo::TXgrCustomCombo;
};

} // namespace controls::grid
