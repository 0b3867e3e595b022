#pragma once
// TExtCalculatorDropdown: a floating-point drop-down (two decimals) whose popup is a pocket
// calculator keypad (TCustomButtonPanel); the calculator itself is rules/CalculatorEngine.h.
// Digits and operators work typed into the edit, typed while the popup is open and clicked on
// the keypad; "=" or Return computes, Return in the popup also closes it keeping the result,
// Escape closes it putting back the value from before it opened.
#include "controls/grid/dropdown/ExtDropDown.h"
#include "controls/grid/dropdown/rules/CalculatorEngine.h"

#include <QPointer>

namespace controls::grid::dropdown {

enum TButtonPanelType { plCalculator, plCustom };

class TButtonItem : public TCollectionItem {
public:
    QString Caption;
    Color CaptionColor = 0xFFFFFF; // kept; the keypad paints with its appearance's text colours
    int ImageIndex = -1;
    bool Enabled = true;
    platform::Picture Image;
    int Tag = 0;
    platform::Rect ButtonRect{-1, -1, -1, -1};
    QString Name;
    bool Special = false;
    void Assign(const platform::TPersistent* source) override;
};
using TButtonItems = TCollection<TButtonItem>;

class TExtCalculatorDropdown;

class TCustomButtonPanel : public QWidget {
    Q_OBJECT

public:
    explicit TCustomButtonPanel(QWidget* parent = nullptr);

    TButtonItems& Buttons() { return m_buttons; }
    void SetButtons(const TButtonItems& buttons);
    TButtonAppearance& ButtonAppearance() { return m_appearance; }
    void SetButtonAppearance(const TButtonAppearance& a) { m_appearance.Assign(&a); }
    TItemLayout ButtonLayout = ilCaptionRight;
    TSelectionColorStyle ItemColorStyle = scOffice2007;
    TButtonPanelType ButtonPanelType() const { return m_type; }
    void SetButtonPanelType(TButtonPanelType type);
    const platform::TImageList* Images() const { return m_images; }
    void SetImages(const platform::TImageList* images);
    int OffSetX = 8;
    int OffSetY = 8;
    int ButtonOffSetX = 4;
    int ButtonOffSetY = 4;
    int CaptionGap = 0;
    int ButtonHot() const { return m_hot; }
    int ButtonDown() const { return m_down; }
    // The calculator that hosts the keypad (no frame of its own then).
    TExtCalculatorDropdown* ExtDropDown = nullptr;
    // An edit kept with the panel for its owner (the panel itself does not use it).
    QPointer<QWidget> Edit;
    std::function<void(QObject* sender, int index)> OnButtonClick;

    virtual void DrawButton(int index, platform::Canvas& canvas);
    virtual platform::Rect GetButtonsRect();
    virtual QSize GetButtonSize();
    virtual void ClearButtons() { m_buttons.Clear(); }
    virtual void ResetButtons();
    virtual void BuildButtons();
    virtual void ArrangeButtons();
    virtual void InvalidateButton(int index);
    virtual void ButtonClick(int index);
    int ButtonAtPos(QPoint p) const;

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void leaveEvent(QEvent* e) override;

private:
    void SetHot(int index);
    void SetDown(int index);

    TButtonItems m_buttons;
    TButtonAppearance m_appearance;
    TButtonPanelType m_type = plCalculator;
    const platform::TImageList* m_images = nullptr;
    int m_hot = -1;
    int m_down = -1;
};

class TExtCalculatorDropdown : public TExtCustomDropDown {
    Q_OBJECT

public:
    explicit TExtCalculatorDropdown(QWidget* parent = nullptr);

    TCalculatorEngine& Engine() { return m_engine; }
    TCustomButtonPanel* Keypad() const { return m_keypad; }
    TButtonAppearance& CalcButtonAppearance() { return m_calcAppearance; }
    void SetCalcButtonAppearance(const TButtonAppearance& a) { m_calcAppearance.Assign(&a); }
    bool ShowThousandSeparator() const { return m_showThousands; }
    void SetShowThousandSeparator(bool on);
    double Value() { return m_engine.Value(); }
    void SetValue(double value) { m_engine.SetValue(value); }
    // Computes what is pending (as "=" does); the grid reads the result after it.
    void CalcResult() { m_engine.DoEquals(); }
    // Called before every key or button the calculator handles.
    virtual void BeforeCalcAction() {}
    void CalcButtonClick(int index);

    void CreateDropDownForm() override;
    void BeforeDropDown() override;
    void DoHideDropDown(bool cancel) override;
    void DropDownFormKeyPress(QChar& key) override;
    void DropDownFormKeyDown(quint16& key, TShiftState shift) override;
    void SetComponentStyle(TVekkoStyle style) override;
    void KeyPress(QChar& key) override;
    void WMChar(platform::TWMKey& msg) override;
    void WMKeyDown(platform::TWMKey& msg, TShiftState shift) override;

private:
    TButtonAppearance m_calcAppearance;
    TCalculatorEngine m_engine;
    TCustomButtonPanel* m_keypad = nullptr;
    bool m_showThousands = false;
};

} // namespace controls::grid::dropdown
