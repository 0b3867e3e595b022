#pragma once
// TXgrEditBtn: a one-line edit with a push button at its right edge; the button, and F4
// (without Ctrl or Alt), raise OnClickBtn so that the owner can open a dialog for the value.
// Without EditorEnabled nothing can be typed, pasted or cut; the button still works.
//
// TXgrUnitEditBtn: the same for a value with a unit: the edit holds the number, the unit
// (UnitID) is drawn in a strip (UnitSpace pixels) between the text and the button, and the
// button, after OnClickBtn, opens a menu of the allowed Units; choosing another unit than the
// one shown raises OnUnitChanged. TextAndUnit reads the text followed by the unit and splits a
// value at the first unit of the list that ends it (SplitTextAndUnit in EditorRules.h); a value
// that ends with none of the units leaves text and unit as they are.
//
// The button is a container (TXgrEditButton) holding one TExtSpeedButton that paints itself in
// the container's colours when ButtonColor is set, themed with IsWinXP, flat, or as a classic
// push button; a left-button release on it clicks the container.
#include "controls/grid/editors/MaskEdit.h"
#include "controls/grid/editors/SpeedButton.h"
#include "platform/draw/Canvas.h"

#include <QMenu>
#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <functional>

namespace controls::grid {

class TXgrEditButton;

class TExtSpeedButton : public TSpeedButton {
    Q_OBJECT

public:
    explicit TExtSpeedButton(TXgrEditButton* owner);

    QString Caption() const { return m_caption; }
    void SetCaption(const QString& caption);
    const platform::Bitmap& Glyph() const { return m_glyph; }
    void SetGlyph(const platform::Bitmap& glyph);
    int NumGlyphs = 1;
    bool IsWinXP = false;
    // Any left-button release on it (the container clicks; the button's own click does nothing).
    std::function<void(TExtSpeedButton* sender)> OnMouseUp;
    void Click() override {}

protected:
    void MouseUp(bool over) override;
    void paintEvent(QPaintEvent* e) override;

private:
    TXgrEditButton* m_owner;
    QString m_caption;
    platform::Bitmap m_glyph;
};

class TXgrEditButton : public QWidget {
    Q_OBJECT

public:
    using NotifyEvent = std::function<void(QObject* sender)>;

    explicit TXgrEditButton(QWidget* parent = nullptr);

    TExtSpeedButton* Button() const { return m_button; }
    QString ButtonCaption() const { return m_button->Caption(); }
    void SetButtonCaption(const QString& caption) { m_button->SetCaption(caption); }
    bool Flat() const { return m_flat; }
    void SetFlat(bool on);
    QPointer<QWidget> FocusControl;
    NotifyEvent OnClick;
    Color ButtonColor = platform::clNone;
    Color ButtonColorHot = platform::clNone;
    Color ButtonColorDown = platform::clNone;
    Color ButtonTextColor = platform::clNone;
    Color ButtonTextColorHot = platform::clNone;
    Color ButtonTextColorDown = platform::clNone;
    Color ButtonBorderColor = platform::clNone;

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    void ButtonMouseUp();

    TExtSpeedButton* m_button;
    bool m_flat = false;
};

class TXgrEditBtn : public TExtMaskEdit {
    Q_OBJECT

public:
    explicit TXgrEditBtn(QWidget* parent = nullptr);
    ~TXgrEditBtn() override;

    TXgrEditButton* Button() const { return m_button; }
    QString ButtonCaption() const { return m_button->ButtonCaption(); }
    void SetButtonCaption(const QString& caption) { m_button->SetButtonCaption(caption); }
    const platform::Bitmap& Glyph() const { return m_button->Button()->Glyph(); }
    void SetGlyph(const platform::Bitmap& glyph) { m_button->Button()->SetGlyph(glyph); }
    int ButtonWidth() const { return m_buttonWidth; }
    void SetButtonWidth(int width);
    bool EditorEnabled() const { return m_editorEnabled; }
    void SetEditorEnabled(bool on) { m_editorEnabled = on; }
    bool IsWinXP() const { return m_isWinXP; }
    void SetIsWinXP(bool on);
    bool RightAlign() const { return m_rightAlign; }
    void SetRightAlign(bool on);
    void SetBorderStyle(TBorderStyle style) override;
    int MinHeight() const;
    NotifyEvent OnClickBtn;

    // The button was pressed (or F4).
    virtual void ClickBtn(QObject* sender);

protected:
    void WMChar(TWMKey& msg) override;
    void KeyDown(quint16& key, TShiftState shift) override;
    void WMPaste() override;
    void WMCut() override;
    void resizeEvent(QResizeEvent* e) override;

    void SetEditRect();
    int m_unitSize = 0;

private:
    TXgrEditButton* m_button;
    bool m_editorEnabled = true;
    int m_buttonWidth = 0;
    bool m_isWinXP = false;
    bool m_rightAlign = false;
};

class TXgrUnitEditBtn : public TXgrEditBtn {
    Q_OBJECT

public:
    using UnitChangeEvent = std::function<void(QObject* sender, const QString& newUnit)>;

    explicit TXgrUnitEditBtn(QWidget* parent = nullptr);

    const QStringList& Units() const { return m_units; }
    void SetUnits(const QStringList& units) { m_units = units; }
    QString UnitID() const { return m_unitID; }
    void SetUnitID(const QString& unit);
    int UnitSpace() const { return m_unitSize; }
    void SetUnitSpace(int pixels);
    QString TextAndUnit() const { return text() + m_unitID; }
    void SetTextAndUnit(const QString& value);
    UnitChangeEvent OnUnitChanged;

    // After OnClickBtn, the menu of the units.
    void ClickBtn(QObject* sender) override;
    // A choice of the unit menu: command id 1 is the first unit. Other ids are ignored.
    void UnitCommand(int id);
    // The unit menu while it is open (none otherwise).
    QMenu* UnitMenu() const { return m_menu; }

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    QStringList m_units;
    QString m_unitID;
    QPointer<QMenu> m_menu;
};

} // namespace controls::grid
