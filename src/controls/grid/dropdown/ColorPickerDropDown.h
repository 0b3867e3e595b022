#pragma once
// TExtColorPickerDropDown: a drop-down whose edit shows a colour box and the colour's name or
// value, and whose popup offers colours as a list of named colours (csList), the 60 theme
// colours (csDiscrete), the colour cube (csColorCube) or the spectrum (csSpectrum). Picking closes
// the popup; keys move in the list or palette, typed letters look a colour name up (the search
// text is forgotten 500 ms after the last key). Cancelling the popup (Escape, a click elsewhere)
// puts back the colour and the item it had when it opened.
#include "controls/grid/dropdown/ColorPanels.h"
#include "controls/grid/dropdown/ExtDropDown.h"
#include "controls/grid/dropdown/ItemSelector.h"
#include "controls/grid/dropdown/rules/ColorTexts.h"
#include "platform/ui/Timer.h"

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

using TOnDrawSelectedItem = std::function<void(QObject* sender, platform::Canvas& canvas, const platform::Rect& r)>;

class TExtColorPickerDropDown : public TExtCustomDropDown {
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
    void SelectFirst();
    void SelectLast();
    void SelectNext();
    void SelectPrevious();

    bool ShowText() const { return m_showText; }
    void SetShowText(bool on);
    int Columns = 1;
    TItemLayout Layout = ilCaptionRight;
    int ColorBoxWidth = 14;
    int ColorBoxHeight = 14;
    TColorValueText ColorValueText = cvtNone;
    TItemAppearance& ItemAppearance() { return m_itemAppearance; }
    void SetItemAppearance(const TItemAppearance& a) { m_itemAppearance.Assign(&a); }
    TColorSelectionStyle ColorSelectionStyle() const { return m_style; }
    void SetColorSelectionStyle(TColorSelectionStyle style);

    NotifyEvent OnSelect;
    TOnDrawSelectedItem OnDrawSelectedColor;
    TDrawItemEvent OnDrawColor;

    TExtCustomItemSelector* ListSelector() const { return m_list; }
    TCustomColorSelector* BoxSelector() const { return m_boxes; }
    TExtColorCubePanel* CubePanel() const { return m_cube; }
    TExtColorSpectrumPanel* SpectrumPanel() const { return m_spectrum; }
    QString SearchText() const { return m_search; }
    platform::Timer* KeyTimer() const { return m_keyTimer; }

    void CreateDropDownForm() override;
    void BeforeDropDown() override;
    void PlaceDropDownControl() override;
    void SizeDropDownForm() override;
    void DoHideDropDown(bool cancel) override;
    void SelectNextValue() override;
    void SelectPreviousValue() override;
    void SetSelectionColorStyle(TSelectionColorStyle style) override;
    void SetComponentStyle(TVekkoStyle style) override;
    void WMKeyDown(platform::TWMKey& msg, TShiftState shift) override;

protected:
    void PaintContent(platform::Canvas& canvas) override;

private:
    void CreateListSelector();
    void CreateColorSelector();
    void CreateCubePanel();
    void CreateSpectrumPanel();
    void PreparePanel(TColorSelectionStyle style);
    void UpdateSelector();
    void HideOtherPanels(QWidget* keep);
    void MoveListIndex(int index);
    void SelectorItemSelected();

    TColorItems m_colors;
    int m_itemIndex = -1;
    Color m_selectedColor = clNone;
    bool m_showText = true;
    TItemAppearance m_itemAppearance;
    TColorSelectionStyle m_style = csList;
    TExtCustomItemSelector* m_list = nullptr;
    TCustomColorSelector* m_boxes = nullptr;
    TExtColorCubePanel* m_cube = nullptr;
    TExtColorSpectrumPanel* m_spectrum = nullptr;
    bool m_internalCall = false;
    platform::Timer* m_keyTimer = nullptr;
    QString m_search;
    int m_oldItemIndex = -1;
    Color m_oldSelectedColor = clNone;
};

} // namespace controls::grid::dropdown
