#pragma once
// What the picker drop-downs with an item list in their popup share (the colour picker's list,
// the image picker, the detail drop-down): the list (TExtCustomItemSelector), filled from the
// picker's own items before each opening, the picker's selected item, its keys and wheel, the
// typed look-up forgotten 500 ms after the last key, and the index to put back when the popup
// is cancelled.
#include "controls/grid/dropdown/ExtDropDown.h"
#include "controls/grid/dropdown/ItemSelector.h"
#include "platform/ui/Timer.h"

namespace controls::grid::dropdown {

// An item of a picker's own list: its caption, image index, picture and whether it can be chosen.
class TPickerItem : public TCollectionItem {
public:
    QString Caption() const { return m_caption; }
    void SetCaption(const QString& caption);
    int ImageIndex() const { return m_imageIndex; }
    void SetImageIndex(int index);
    bool Enabled = true;
    platform::Picture Image;
    // Copies the caption, image index, picture and Enabled of another picker item.
    void Assign(const platform::TPersistent* source) override;

private:
    QString m_caption;
    int m_imageIndex = -1;
};

// Paints the edit's value (the selected colour or image) instead of the picker.
using TOnDrawSelectedItem = std::function<void(QObject* sender, platform::Canvas& canvas, const platform::Rect& r)>;

class TListPickerDropDown : public TExtCustomDropDown {
    Q_OBJECT

public:
    explicit TListPickerDropDown(QWidget* parent = nullptr);
    ~TListPickerDropDown() override;

    int Columns = 1;
    TItemLayout Layout = ilCaptionRight;
    // Whether the popup's list shows the hint of the item under the mouse.
    bool ShowHint = true;
    NotifyEvent OnSelect;
    TItemAppearance& ItemAppearance() { return m_itemAppearance; }
    void SetItemAppearance(const TItemAppearance& a) { m_itemAppearance.Assign(&a); }
    TExtCustomItemSelector* ListSelector() const { return m_list; }
    QString SearchText() const { return m_search; }
    platform::Timer* KeyTimer() const { return m_keyTimer; }

    // The picker's own item (not the list's): first, last, next, previous, within range.
    void SelectFirst();
    void SelectLast();
    void SelectNext();
    void SelectPrevious();

    void SetSelectionColorStyle(TSelectionColorStyle style) override;
    void SetComponentStyle(TVekkoStyle style) override;

protected:
    virtual int PickerItemCount() const = 0;
    virtual int PickerItemIndex() const = 0;
    virtual void SetPickerItemIndex(int index) = 0;
    // Fills the list with one list item per picker item.
    virtual void FillListItems() = 0;
    // A list item was selected (by the user, or by the picker's keys).
    virtual void SelectorItemSelected();

    // Makes the list once, then gives it the popup colour and makes it the hosted control.
    void CreateList(TSelectorType type);
    // The list again from the picker: settings, items, look and the picker's index.
    void UpdateSelector();
    // The list's panel size where no popup size is set, then the base's sizing, wider by a
    // scroll bar where the list needs one.
    void SizeListForm();
    // The keys of the list (Return included) as the picker drop-downs have them; with
    // endsNeedEditorOff Home and End of the closed popup work only while the editor is off.
    void ListKeys(quint16 key, TShiftState shift, bool dropped, bool returnHandled, int step,
                  bool endsNeedEditorOff = false);
    // The hot item becomes the selection (Return in the open popup); true when there was one.
    bool SelectHotItem();
    // The wheel over the popup: the hot item moves while open, the selection while closed.
    void ListWheel(bool next);
    void RunInternally(const std::function<void()>& f);

    TExtCustomItemSelector* m_list = nullptr;
    bool m_internalCall = false;
    int m_oldItemIndex = -1;

private:
    TItemAppearance m_itemAppearance;
    platform::Timer* m_keyTimer = nullptr;
    QString m_search;
};

} // namespace controls::grid::dropdown
