#pragma once
// TExtDetailDropDown: an editable drop-down whose popup lists detail items: one row each with an
// image, the caption in CaptionFont and mini-HTML notes under it in NotesFont. Typing completes
// the text to the first caption that begins with it (without case unless MatchCase), the
// completed tail selected; Backspace and Delete do not complete. Return on a text equal to a
// caption selects that item.
#include "controls/grid/dropdown/ListPickerDropDown.h"

namespace controls::grid::dropdown {

class TDetailItem : public TPickerItem {
public:
    QString Notes; // mini-HTML
    QObject* ItemObject = nullptr;
    int Tag = 0;
    void Assign(const platform::TPersistent* source) override;
};

class TDetailItems : public TCollection<TDetailItem> {
public:
    // The first item whose caption equals value (case-sensitive), or -1.
    int IndexOf(const QString& value) const;
};

class TExtDetailDropDown : public TListPickerDropDown {
    Q_OBJECT

public:
    explicit TExtDetailDropDown(QWidget* parent = nullptr);

    TDetailItems& Items() { return m_items; }
    int ItemIndex() const { return m_itemIndex; }
    void SetItemIndex(int index);
    int ItemHeight = 22;
    QFont CaptionFont;
    QFont NotesFont;
    bool MatchCase = false;
    bool MatchStart = false;
    TOnDrawSelectedItem OnDrawSelectedImage;

    void CreateDropDownForm() override;
    void BeforeDropDown() override;
    void DoShowDropDown() override;
    void SizeDropDownForm() override;
    void DoHideDropDown(bool cancel) override;
    void DropDownSizing() override;
    void SelectNextValue() override;
    void SelectPreviousValue() override;
    void WMKeyDown(platform::TWMKey& msg, TShiftState shift) override;
    void KeyDown(quint16& key, TShiftState shift) override;
    void Change() override;

protected:
    void KeyUp(quint16& key, TShiftState shift) override;
    int PickerItemCount() const override { return m_items.Count(); }
    int PickerItemIndex() const override { return m_itemIndex; }
    void SetPickerItemIndex(int index) override { SetItemIndex(index); }
    void FillListItems() override;
    void SelectorItemSelected() override;

private:
    void DrawSelectorItem(platform::Canvas& c, const platform::Rect& r, int index);
    QSize SelectorItemSize() const;
    void StepOpenList(int delta);

    TDetailItems m_items;
    int m_itemIndex = -1;
    bool m_workMode = true;
    bool m_itemChange = false;
    int m_itemIdx = -1;
    int m_itemSel = 0;
};

} // namespace controls::grid::dropdown
