#pragma once
// TXgrDateTimePicker: the grid's date editor, the platform's date and time picker with the
// combo box's flat look: with MetroStyle it paints its own drop-down button (in ButtonColor,
// themed, or the classic frame control; none for times, which keep their up-down arrows) and
// its own border (BorderColor, FocusBorderColor while focused, the flat two-colour ring, or
// RGB(127, 157, 185) when it is disabled and themed without DisabledBorder). Without
// MetroStyle and with Ctl3D it looks exactly like the platform's picker.
//
// TFlatDateTimePicker holds what the flat pickers share; TCustomDateTimePicker (ExtDateTimePicker.h)
// is the other one. They differ where the table below says (the descendant answers through the
// virtual operations):
//                                TXgrDateTimePicker          TCustomDateTimePicker
//   Ctl3D, BorderColor at start  on, none                    off, black
//   own painting (MetroActive)   MetroStyle                  MetroStyle and not SuppressOwnPainting
//   flat edge when Ctl3D is off  only with a BorderColor     always
//   fill left of the button      ButtonWidth + 15            ButtonWidth + 4
//   outline with Ctl3D off       none                        drawn
#include "platform/picker/DateTimePicker.h"

#include <QString>

namespace controls::grid {

using platform::Color;
using platform::TDateTime;

enum TPickerBorderStyle { pbsNone, pbsSingle };

// "a.b.c.d" from the four bytes of a version number, highest first.
QString VersionText(quint32 version);

class TFlatDateTimePicker : public platform::TDateTimePicker {
    Q_OBJECT

public:
    explicit TFlatDateTimePicker(QWidget* parent = nullptr);

    TPickerBorderStyle BorderStyle() const { return m_borderStyle; }
    virtual void SetBorderStyle(TPickerBorderStyle style);
    Color BorderColor() const { return m_borderColor; }
    void SetBorderColor(Color c);
    bool MetroStyle() const { return m_metroStyle; }
    void SetMetroStyle(bool on);
    Color FocusBorderColor = platform::clNone;
    bool DisabledBorder = false;
    bool FocusBorder = false;
    bool IsWinXP = true;
    Color ButtonColor = platform::clNone;
    Color ButtonColorHot = platform::clNone;
    Color ButtonColorDown = platform::clNone;
    Color ButtonTextColor = platform::clNone;
    Color ButtonTextColorHot = platform::clNone; // kept; nothing paints with it
    Color ButtonTextColorDown = platform::clNone;
    Color ButtonBorderColor = platform::clNone;

    bool IsThemed() const { return m_isThemed; }
    bool HasFocusState() const { return m_hasFocus; }
    bool MouseInControl() const { return m_mouseInControl; }
    bool ButtonHover() const { return m_buttonHover; }
    // The own painting is on.
    virtual bool MetroActive() const;
    // The own painting is held back (the picker with a time field paints itself).
    virtual bool SuppressOwnPainting() const { return false; }

protected:
    // Whether a mouse button is held now; tests replace it.
    virtual bool IsMouseButtonDown() const;
    virtual bool FlatEdgeWanted() const;
    virtual int ButtonFillOffset() const { return 15; }
    // The outline the picker with a time field draws after its own painting.
    virtual void PaintOutline(platform::Canvas& canvas);
    bool DoVisualStyles() const;
    bool IsActive() const;
    Color ParentBrushColor() const;
    void DrawFlatEdge(platform::Canvas& canvas);
    void DrawBorders(platform::Canvas& canvas);
    void DrawPickerButton(platform::Canvas& canvas);
    // The pen of the flat edge.
    Color FlatEdgeColor() const;

    void paintEvent(QPaintEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void enterEvent(QEnterEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void changeEvent(QEvent* e) override;

    TPickerBorderStyle m_borderStyle = pbsNone;
    Color m_borderColor = platform::clNone;

private:
    bool m_isThemed = true;
    bool m_metroStyle = false;
    bool m_hasFocus = false;
    bool m_mouseInControl = false;
    bool m_buttonHover = false;
};

class TXgrDateTimePicker : public TFlatDateTimePicker {
    Q_OBJECT

public:
    explicit TXgrDateTimePicker(QWidget* parent = nullptr);
    QString Version() const { return VersionText(0x01000000); }
};

} // namespace controls::grid
