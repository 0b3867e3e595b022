#pragma once
// TExtColorPickerDropDown: a drop-down whose edit shows a colour box and the colour's name or
// value, and whose popup offers colours as a list of named colours (csList), the 60 theme
// colours (csDiscrete), the colour cube (csColorCube) or the spectrum (csSpectrum). Picking closes
// the popup; keys move in the list or palette, typed letters look a colour name up (the search
// text is forgotten 500 ms after the last key). Cancelling the popup (Escape, a click elsewhere)
// puts back the colour and the item it had when it opened.
#include "controls/grid/dropdown/ColorPanels.h"
#include "controls/grid/dropdown/ListPickerDropDown.h"
#include "controls/grid/dropdown/rules/ColorTexts.h"

namespace controls::grid::dropdown {

class TColorItem : public TCollectionItem {
public:
    QString Caption() const { return m_caption; }
    void SetCaption(const QString& caption);
    Color GetColor() const { return m_color; }
    void SetColor(Color c);
    bool Enabled = true;
    QString Hint;
    void Assign(const platform::TPersistent* source) override;

private:
    QString m_caption;
    Color m_color = clNone;
};
using TColorItems = TCollection<TColorItem>;

class TExtColorPickerDropDown : public TListPickerDropDown {
    Q_OBJECT

public:
    explicit TExtColorPickerDropDown(QWidget* parent = nullptr);
    ~TExtColorPickerDropDown() override;

    TColorItems& Colors() { return m_colors; }
    // Appends the 16 standard colours.
    void AddDefaultColors();
    int ItemIndex() const { return m_itemIndex; }
    void SetItemIndex(int index);
    Color SelectedColor() const { return m_selectedColor; }
    void SetSelectedColor(Color c);
    QString SelectedColorText() const { return GetSelectedColorText(); }
    virtual QString GetSelectedColorText() const;

    bool ShowText() const { return m_showText; }
    void SetShowText(bool on);
    int ColorBoxWidth = 14;
    int ColorBoxHeight = 14;
    TColorValueText ColorValueText = cvtNone;
    TColorSelectionStyle ColorSelectionStyle() const { return m_style; }
    void SetColorSelectionStyle(TColorSelectionStyle style);

    TOnDrawSelectedItem OnDrawSelectedColor;
    TDrawItemEvent OnDrawColor;

    TCustomColorSelector* BoxSelector() const { return m_boxes; }
    TExtColorCubePanel* CubePanel() const { return m_cube; }
    TExtColorSpectrumPanel* SpectrumPanel() const { return m_spectrum; }

    void CreateDropDownForm() override;
    void BeforeDropDown() override;
    void PlaceDropDownControl() override;
    void SizeDropDownForm() override;
    void DoHideDropDown(bool cancel) override;
    void SelectNextValue() override;
    void SelectPreviousValue() override;
    void WMKeyDown(platform::TWMKey& msg, TShiftState shift) override;

protected:
    void PaintContent(platform::Canvas& canvas) override;
    int PickerItemCount() const override { return m_colors.Count(); }
    int PickerItemIndex() const override { return m_itemIndex; }
    void SetPickerItemIndex(int index) override { SetItemIndex(index); }
    void FillListItems() override;

private:
    void CreateColorSelector();
    void CreateCubePanel();
    void CreateSpectrumPanel();
    void PreparePanel(TColorSelectionStyle style);
    void HideOtherPanels(QWidget* keep);

    TColorItems m_colors;
    int m_itemIndex = -1;
    Color m_selectedColor = clNone;
    bool m_showText = true;
    TColorSelectionStyle m_style = csList;
    TCustomColorSelector* m_boxes = nullptr;
    TExtColorCubePanel* m_cube = nullptr;
    TExtColorSpectrumPanel* m_spectrum = nullptr;
    Color m_oldSelectedColor = clNone;
};

} // namespace controls::grid::dropdown
