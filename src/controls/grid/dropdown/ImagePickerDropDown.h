#pragma once
// TExtImagePickerDropDown: a drop-down whose popup lists images (entries of Images or pictures
// of the items, with optional captions) and whose edit shows the selected image centred. Keys
// and typed captions move as in the other pickers; a cancelled popup puts back the item it opened
// with.
#include "controls/grid/dropdown/ListPickerDropDown.h"

namespace controls::grid::dropdown {

class TImageItem : public TPickerItem {
public:
    QString Hint;
    void Assign(const platform::TPersistent* source) override;
};
using TImageItems = TCollection<TImageItem>;

class TExtImagePickerDropDown : public TListPickerDropDown {
    Q_OBJECT

public:
    explicit TExtImagePickerDropDown(QWidget* parent = nullptr);

    TImageItems& Items() { return m_items; }
    int ItemIndex() const { return m_itemIndex; }
    void SetItemIndex(int index);
    // The image index of the selected item (-1 without one); setting selects the first item
    // showing that image, or none.
    int ImageIndex() const;
    void SetImageIndex(int index);
    // One item per image of Images (nothing without an image list).
    void AddImagesFromImageList();
    // One item per picture file matching the mask ("dir/*.png"); folders and files that do not
    // load as a picture are skipped. With setImageCaption the file name is the caption.
    void AddImagesFromFolder(const QString& mask, bool setImageCaption);
    TOnDrawSelectedItem OnDrawSelectedImage;
    TDrawItemEvent OnDrawItem;

    void CreateDropDownForm() override;
    void BeforeDropDown() override;
    void SizeDropDownForm() override { SizeListForm(); }
    void DoHideDropDown(bool cancel) override;
    void SelectNextValue() override;
    void SelectPreviousValue() override;
    void WMKeyDown(platform::TWMKey& msg, TShiftState shift) override;

protected:
    void PaintContent(platform::Canvas& canvas) override;
    int PickerItemCount() const override { return m_items.Count(); }
    int PickerItemIndex() const override { return m_itemIndex; }
    void SetPickerItemIndex(int index) override { SetItemIndex(index); }
    void FillListItems() override;

private:
    TImageItems m_items;
    int m_itemIndex = -1;
};

} // namespace controls::grid::dropdown
