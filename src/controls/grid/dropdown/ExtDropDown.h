#pragma once
// TExtCustomDropDown: the base of every drop-down edit - a one-line edit with a drop-down button
// at its right edge and a popup (TDropDownForm) that hosts a control of the kind (keypad, clock,
// list, grid). The typed input of the edit is TDropDownInput (rules/EditInput.h).
//
// Popup: F4 and Alt+Down or Alt+Up open and close it, Return closes it keeping the value, Escape
// closes it putting back the value last written through SetText; the button and, while the editor
// is off, a click in the edit open it - not within 250 ms after the popup closed by losing the
// mouse to a click elsewhere, so the click on the button that closed it does not open it again.
// Keys typed in the popup and in its control reach the edit as its own keys. The popup opens
// below the edit when it fits, else above, and always inside the screen that holds the edit; it
// takes the size the user gave it with its grip until DropDownWidth or DropDownHeight is set
// again. A click outside it closes it, cancelled unless the popup says otherwise
// (CancelOnDeActivate).
//
// Construction in two steps: the base constructor builds the edit, its popup form and its button;
// each kind's constructor then calls CreateDropDownForm() itself (its own override, which makes the
// kind's popup content once) before it sets its own defaults, and applies its style again where it
// colours more than the base.
//
// The edit's look: BorderColor (a one-pixel frame), FocusBorderColor (the frame while focused),
// a silver frame while disabled (DisabledBorder), or the flat look; a label (LabelCaption) beside it
// in one of fifteen positions. Styles and colour tones (SetComponentStyle, SetColorTones) colour
// the popup, its bars and buttons (rules/DropDownStyles.h).
#include "controls/grid/dropdown/rules/Appearances.h"
#include "controls/grid/dropdown/rules/DropDownTypes.h"
#include "controls/grid/dropdown/rules/EditInput.h"
#include "controls/grid/style/ExtStyle.h"
#include "platform/draw/Canvas.h"
#include "platform/draw/Graphics.h"

#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QWidget>
#include <functional>



namespace controls::grid::dropdown {

class TExtCustomDropDown;
class TExtHeader;
class TExtFooter;

// --- the popup ---------------------------------------------------------------------------------------

class TDropDownForm : public QWidget {
    Q_OBJECT
    friend class TExtCustomDropDown;

public:
    explicit TDropDownForm(TExtCustomDropDown* edit);
    ~TDropDownForm() override;

    TExtCustomDropDown* ExtDropDown() const { return m_edit; }
    // Clock ticks (milliseconds) of the last time the popup closed by losing the mouse or focus.
    quint64 DeActivateTime() const { return m_deactivateTime; }
    TExtHeader* Header() const { return m_header; }
    TExtFooter* Footer() const { return m_footer; }
    bool Shadow = true;
    // The bottom-right 10 x 10 pixels size the popup.
    bool Sizeable = false;
    // Closing by a click elsewhere cancels (puts back the edit's value).
    bool CancelOnDeActivate = true;
    // Losing the activation does not close the popup while this is set.
    bool BlockActivate = false;
    std::function<void()> OnSizing;
    virtual void UpdateSize() {}

    // Builds or refreshes the header and footer bars from the edit's looks.
    void InitializeAndUpdate();
    // The client area inside the popup's own border.
    QRect AdjustedClientRect() const;
    // Places the bars and the hosted control.
    void Arrange();
    // Hides the popup as the edit's hide sequence does (no deactivation).
    void HideByEdit();
    // Sizes the popup from its bottom-right corner, as a drag of the grip does.
    void SizeFromGrip(QSize size);
    // A dialog character (Alt and a letter, or a letter typed on a bar button): the first header
    // or footer button whose accelerator it is clicks. True when one did.
    bool DialogChar(QChar ch);

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void hideEvent(QHideEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    bool event(QEvent* e) override;

private:
    bool InSizingZone(QPoint p) const;

    QPointer<TExtCustomDropDown> m_edit;
    TExtHeader* m_header = nullptr;
    TExtFooter* m_footer = nullptr;
    quint64 m_deactivateTime = 0;
    bool m_hidingByEdit = false;
    bool m_sizing = false;
    QPoint m_sizeStart;
    QSize m_formStart;
};

// --- the drop-down button ----------------------------------------------------------------------------

enum TButtonStyle { bsButton, bsDropDown };

class TDropDownEditButton;

// The face of the drop-down button: the combo-box button of the visual style, the edit's own
// button colours, or a glyph.
class TExtDropDownSpeedButton : public QWidget {
    Q_OBJECT

public:
    explicit TExtDropDownSpeedButton(TDropDownEditButton* owner);
    TButtonStyle ButtonStyle() const { return m_style; }
    void SetButtonStyle(TButtonStyle style);
    bool Etched() const { return m_etched; }
    void SetEtched(bool on);
    bool Focused() const { return m_focused; }
    void SetFocused(bool on);
    // With the up flag the pressed look is never drawn.
    void SetUp(bool up) { m_up = up; }
    bool Hot() const { return m_hot; }
    bool Pressed() const { return m_pressed; }
    platform::Bitmap Glyph;
    QString Caption;
    bool Flat = false;

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void enterEvent(QEnterEvent* e) override;
    void leaveEvent(QEvent* e) override;

private:
    TDropDownEditButton* m_owner;
    TButtonStyle m_style = bsDropDown;
    bool m_etched = false;
    bool m_focused = false;
    bool m_up = false;
    bool m_hot = false;
    bool m_pressed = false;
};

class TDropDownEditButton : public QWidget {
    Q_OBJECT

public:
    explicit TDropDownEditButton(TExtCustomDropDown* edit);
    TExtDropDownSpeedButton* SpeedButton() const { return m_button; }
    TExtCustomDropDown* Edit() const { return m_edit; }
    int ButtonWidth() const { return m_width; }
    void SetButtonWidth(int width);
    QString ButtonCaption() const { return m_button->Caption; }
    void SetButtonCaption(const QString& caption);
    Color ButtonColorDown = clNone;
    Color ButtonBorderColor = clNone;
    Color ButtonTextColor = clNone;
    Color ButtonTextColorHot = clNone;
    Color ButtonColor = clNone;
    Color ButtonColorHot = clNone;
    Color ButtonTextColorDown = clNone;
    // Raised when the left button is released on the face (also after leaving it while pressed).
    std::function<void()> OnClick;

protected:
    void resizeEvent(QResizeEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    friend class TExtDropDownSpeedButton;
    TExtCustomDropDown* m_edit;
    TExtDropDownSpeedButton* m_button;
    int m_width = 16;
};

// --- the edit ---------------------------------------------------------------------------------------

// The caption label beside the edit; its clicks go to the edit.
class TDropDownLabel : public QLabel {
    Q_OBJECT

public:
    using QLabel::QLabel;
    std::function<void()> OnClick;
    std::function<void()> OnDblClick;

protected:
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
};

class TExtCustomDropDown : public QLineEdit,
                           public TDropDownInput,
                           public controls::grid::IVekkoStyle,
                           public controls::grid::IVekkoTones {
    Q_OBJECT
    friend class TDropDownForm;
    friend class TDropDownEditButton;
    friend class TExtDropDownSpeedButton;

public:
    using NotifyEvent = std::function<void(QObject* sender)>;
    using DropDownEvent = std::function<void(QObject* sender, bool& acceptDrop)>;
    using DropUpEvent = std::function<void(QObject* sender, bool cancelled)>;
    using ButtonItemClickEvent = std::function<void(QObject* sender, int buttonIndex)>;
    using DrawBackGroundEvent = std::function<void(QObject* sender, platform::Canvas& canvas, const platform::Rect& r)>;
    using GetTextEvent = std::function<void(QObject* sender, QString& text)>;
    using KeyEvent = std::function<void(QObject* sender, quint16& key, TShiftState shift)>;
    using KeyPressEventFn = std::function<void(QObject* sender, QChar& key)>;

    explicit TExtCustomDropDown(QWidget* parent = nullptr);
    ~TExtCustomDropDown() override;

    // --- popup ---------------------------------------------------------------------------------
    void ShowDropDown() { DoShowDropDown(); }
    void HideDropDown(bool cancelChanges) { DoHideDropDown(cancelChanges); }
    bool DroppedDown() const { return m_droppedDown; }
    TDropDownForm* DropDownForm() const { return m_form; }
    TDropDownEditButton* Button() const { return m_button; }
    QWidget* Control() const { return m_control; }
    void SetControl(QWidget* control);
    QPointer<QWidget> FocusControl;

    int DropDownWidth() const { return m_dropDownWidth; }
    void SetDropDownWidth(int width);
    int DropDownHeight() const { return m_dropDownHeight; }
    void SetDropDownHeight(int height);
    QSize UserDropDownSize() const { return QSize(m_userWidth, m_userHeight); }
    // The heights of the popup's header and footer bars where they show.
    int BarsHeight() const;
    TDropPosition DropPosition = dpAuto;
    bool DropDownShadow = true;
    bool ForceShadow = false;
    int DropDownBorderWidth = 1;
    Color DropDownColor = 0xFFFFFF;
    Color DropDownColorTo = clNone;
    Color DropDownBorderColor = 0x000000;
    TGradientDirection DropDownGradient = gdHorizontal;
    bool DropDownSizeable = true;
    bool DropDownEnabled = false;
    QString DropDownButtonHint() const { return m_buttonHint; }
    void SetDropDownButtonHint(const QString& hint);
    int DropDownButtonWidth() const { return m_buttonWidth; }
    void SetDropDownButtonWidth(int width);
    QString DropDownButtonCaption() const;
    void SetDropDownButtonCaption(const QString& caption);
    const platform::Bitmap& DropDownButtonGlyph() const;
    void SetDropDownButtonGlyph(const platform::Bitmap& glyph);

    THeaderAppearance& DropDownHeader() { return m_header; }
    void SetDropDownHeader(const THeaderAppearance& a) { m_header.Assign(&a); }
    TFooterAppearance& DropDownFooter() { return m_footer; }
    void SetDropDownFooter(const TFooterAppearance& a) { m_footer.Assign(&a); }
    TExtButtonAppearance& ButtonAppearance() { return m_buttonAppearance; }
    void SetButtonAppearance(const TExtButtonAppearance& a) { m_buttonAppearance.Assign(&a); }
    const platform::TImageList* Images() const { return m_images; }
    void SetImages(const platform::TImageList* images) { m_images = images; }

    // --- look ----------------------------------------------------------------------------------
    bool Flat = false;
    bool Etched = false;
    bool FocusDraw = true;
    Color BorderColor() const { return m_borderColor; }
    void SetBorderColor(Color c);
    Color FocusBorderColor = clNone;
    bool DisabledBorder() const { return m_disabledBorder; }
    void SetDisabledBorder(bool on);
    Color GetColor() const { return m_color; }
    void SetColor(Color c);
    bool IsWinXP() const { return m_isWinXP; }
    bool IsThemed() const { return m_isThemed; }
    Color SelectionColor = clNone;
    Color SelectionColorTo = clNone;
    TSelectionColorStyle SelectionColorStyle() const { return m_selectionColorStyle; }
    TVekkoStyle GetComponentStyle() const { return m_style; }
    // The value's formatting rectangle (inside the border, left of the button).
    platform::Rect EditRect() const { return m_editRect; }

    // --- label ---------------------------------------------------------------------------------
    QString LabelCaption() const;
    void SetLabelCaption(const QString& caption);
    TLabelPosition LabelPosition() const { return m_labelPosition; }
    void SetLabelPosition(TLabelPosition p);
    int LabelMargin() const { return m_labelMargin; }
    void SetLabelMargin(int margin);
    bool LabelTransparent() const { return m_labelTransparent; }
    void SetLabelTransparent(bool on);
    bool LabelAlwaysEnabled = false;
    QFont LabelFont() const { return m_labelFont; }
    // Kept only while ParentFont is off: with it on, the label shows in the edit's own font.
    void SetLabelFont(const QFont& f);
    bool ParentFont() const { return m_parentFont; }
    void SetParentFont(bool on);
    QLabel* Label() const { return m_label; }

    // --- the edit ------------------------------------------------------------------------------
    int MaxLength() const { return m_maxLength; }
    void SetMaxLength(int length);
    // An edit mask in the platform's syntax ("!90:00:00;1; "); empty for none.
    QString EditMask() const { return m_editMask; }
    void SetEditMask(const QString& mask);
    bool ReadOnly() const { return isReadOnly(); }
    void SetReadOnly(bool on);
    void SetEditorEnabled(bool on) override;
    bool AutoSelect = true;
    // "1.2.1.4" from GetVersionNr.
    QString Version() const;
    // Copies the drop-down settings of another drop-down edit.
    virtual void Assign(const TExtCustomDropDown* source);

    // --- events --------------------------------------------------------------------------------
    NotifyEvent OnBeforeDropDown;
    DropDownEvent OnDropDown;
    NotifyEvent OnBeforeDropUp;
    DropUpEvent OnDropUp;
    ButtonItemClickEvent OnDropDownHeaderButtonClick;
    ButtonItemClickEvent OnDropDownFooterButtonClick;
    DrawBackGroundEvent OnDrawHeader;
    DrawBackGroundEvent OnDrawFooter;
    GetTextEvent OnGetHeaderText;
    GetTextEvent OnGetFooterText;
    NotifyEvent OnLabelClick;
    NotifyEvent OnLabelDblClick;
    NotifyEvent OnChange;
    NotifyEvent OnEnter;
    NotifyEvent OnExit;
    KeyEvent OnKeyDown;
    KeyEvent OnKeyUp;
    KeyPressEventFn OnKeyPress;

    // --- virtual operations of the family --------------------------------------------------------
    virtual void LabelClick();
    virtual void LabelDblClick();
    virtual quint32 GetVersionNr() const { return 0x01020104; }
    // Creates the popup form once; kinds create their content after it.
    virtual void CreateDropDownForm();
    virtual void CreateDropDownButton();
    virtual void UpdateDropDownButton();
    virtual void BeforeDropDown();
    virtual void AdjustDropDownHeight(int& /*height*/) {}
    virtual void FocusDropDownControl();
    void DoShowDropDown() override;
    virtual void PlaceDropDownControl();
    virtual void SizeDropDownForm();
    void DoHideDropDown(bool cancel) override;
    virtual void DropUpDone();
    virtual void DropDownFormDestroyed() {}
    virtual void DropDownMouseWheelDown();
    virtual void DropDownMouseWheelUp();
    virtual void DropDownFormKeyPress(QChar& key);
    virtual void DropDownFormKeyDown(quint16& key, TShiftState shift);
    virtual void DropDownFormKeyUp(quint16& key, TShiftState shift);
    virtual void ControlKeyDown(quint16& key, TShiftState shift);
    virtual void ControlKeyUp(quint16& key, TShiftState shift);
    virtual void ControlKeyPress(QChar& key);
    virtual void DropDownSizing() {}
    virtual void SelectNextValue() {}
    virtual void SelectPreviousValue() {}
    void DrawEditContent() override { update(); }
    virtual void SetEditRect();
    virtual void AdjustButtonBounds();
    virtual void SetSelectionColorStyle(TSelectionColorStyle style);
    virtual void DrawSelectionBackground(platform::Canvas& canvas, const platform::Rect& r, int side, Color background);
    virtual void DrawBackgroundGradient(platform::Canvas& canvas, Color from, bool vertical, const platform::Rect& r,
                                        int steps, Color to);
    void SetComponentStyle(TVekkoStyle style) override;
    void SetColorTones(const TColorTones& tones) override;
    // The item colours of a component style, for the kinds with picker lists.
    static void SetItemAppearanceStyle(TItemAppearance* appearance, TVekkoStyle style);

    // The key messages as the platform delivers them (also the keys the popup hands on).
    void SendKeyDown(quint16 key, TShiftState shift);
    void SendChar(QChar ch, unsigned keyData = 0);
    void SendKeyUp(quint16 key, TShiftState shift);
    // The button was clicked, or the edit pressed while the editor is off: opens the popup.
    void ButtonClickRule();

protected:
    // --- the edit box of the typed input ---------------------------------------------------------
    QString BoxText() const override { return text(); }
    void BoxWrite(const QString& text) override;
    int BoxSelStart() const override;
    int BoxSelLength() const override;
    void BoxSetSel(int anchor, int caret) override;
    bool BoxModified() const override { return isModified(); }
    void BoxSetModified(bool on) override { setModified(on); }
    void BoxChar(QChar ch) override;
    void BoxKeyDown(quint16& key, TShiftState shift) override;
    void BoxCut() override;
    void BoxCopy() override { copy(); }
    bool BoxClipboardHasText() const override;
    QString BoxClipboardText() const override;
    bool BoxReadOnly() const override { return isReadOnly(); }
    int BoxMaxLength() const override { return m_maxLength; }
    bool CtrlDown() const override;
    bool AltDown() const override;
    bool ControlEnabled() const override { return isEnabled(); }
    bool Focused() const override { return hasFocus(); }
    bool HasParentWindow() const override { return parentWidget() != nullptr; }
    bool EditVisible() const override { return isVisible(); }
    void PostKeyToParent(quint16 key, bool down) override;
    void PostKeyToSelf(quint16 key) override;
    void PasswordChanged(bool on) override;
    void KeyDownEvent(quint16& key, TShiftState shift) override;
    void KeyPressEvent(QChar& key) override;
    void ChangeEvent() override;
    QObject* EventSender() override { return this; }
    bool IsDroppedDown() const override { return m_droppedDown; }

    // The framework's key release handling (OnKeyUp).
    virtual void KeyUp(quint16& key, TShiftState shift);
    // The edit took or lost the focus within its window.
    virtual void DoEnter();
    virtual void DoExit();
    // Whether the edit takes Tab itself (a grid editor does while its grid moves on Tab).
    virtual bool WantTab() const { return false; }
    // Keys that the edit hands to its window (Escape, Return with DefaultHandling) when nothing
    // took them; a grid editor keeps them.
    virtual bool PassKeyToWindow(quint16 key) const;
    // Painting on top of the edit: kinds draw their value (a colour, an image) here.
    virtual void PaintContent(platform::Canvas& canvas);
    void SetDroppedDown(bool on) { m_droppedDown = on; }
    // Keys typed in this widget of the popup reach ControlKeyDown, ControlKeyPress and
    // ControlKeyUp, as those of the hosted control do.
    void HookKeys(QObject* widget);

    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void enterEvent(QEnterEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void moveEvent(QMoveEvent* e) override;
    void changeEvent(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

    TShiftState m_keyShift;

private:
    void ApplyColor();
    void PlaceLabel();
    void PaintBorder(platform::Canvas& canvas);
    void PaintEditContentValue(platform::Canvas& canvas);
    void BarsChanged();
    // A control counts as shown unless it was hidden on purpose (a control of a popup that has
    // not opened yet is not visible but will be).
    static bool IsShown(const QWidget* w);
    void HookControl();
    void FinishHide(bool cancel);
    void FormDeactivated();

    TDropDownForm* m_form = nullptr;
    TDropDownEditButton* m_button = nullptr;
    QPointer<QWidget> m_control;
    QPointer<QObject> m_hookedControl;
    QList<QPointer<QObject>> m_keyHooks;
    QPointer<QLabel> m_label;
    THeaderAppearance m_header;
    TFooterAppearance m_footer;
    TExtButtonAppearance m_buttonAppearance;
    const platform::TImageList* m_images = nullptr;
    bool m_droppedDown = false;
    bool m_hiding = false;
    int m_dropDownWidth = 0;
    int m_dropDownHeight = 0;
    int m_userWidth = -1;
    int m_userHeight = -1;
    QString m_buttonHint;
    int m_buttonWidth = 17;
    Color m_borderColor = clNone;
    bool m_disabledBorder = true;
    Color m_color = platform::clWindow;
    bool m_isWinXP = true;
    bool m_isThemed = true;
    TSelectionColorStyle m_selectionColorStyle = scCustom;
    TVekkoStyle m_style = controls::grid::tsCustom;
    platform::Rect m_editRect;
    bool m_mouseInControl = false;
    TLabelPosition m_labelPosition = lpLeftTop;
    int m_labelMargin = 4;
    bool m_labelTransparent = false;
    QFont m_labelFont;
    bool m_parentFont = true;
    int m_maxLength = 0;
    QString m_editMask;
    bool m_inKey = false;
};

} // namespace controls::grid::dropdown
