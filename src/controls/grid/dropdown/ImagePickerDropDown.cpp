#include "controls/grid/dropdown/ImagePickerDropDown.h"

#include "platform/grid/Keys.h"

#include <QDir>
#include <QFileInfo>

namespace controls::grid::dropdown {

using namespace platform;

void TImageItem::Assign(const TPersistent* source)
{
    TPickerItem::Assign(source);
    if (const auto* s = dynamic_cast<const TImageItem*>(source))
        Hint = s->Hint;
}

TExtImagePickerDropDown::TExtImagePickerDropDown(QWidget* parent) : TListPickerDropDown(parent)
{
    CreateDropDownForm();
    m_items.OnChange = [] {};
    SetEditorEnabled(false);
    DropDownEnabled = true;
    setCursor(Qt::ArrowCursor);
    SetComponentStyle(GetComponentStyle());
}

void TExtImagePickerDropDown::SetItemIndex(int index)
{
    if (index == m_itemIndex || index >= m_items.Count())
        return;
    m_itemIndex = index;
    update();
    if (OnChange)
        OnChange(this);
    if (OnSelect)
        OnSelect(this);
}

int TExtImagePickerDropDown::ImageIndex() const
{
    if (m_itemIndex < 0 || m_itemIndex >= m_items.Count())
        return -1;
    return m_items[m_itemIndex]->ImageIndex();
}

void TExtImagePickerDropDown::SetImageIndex(int index)
{
    for (int i = 0; i < m_items.Count(); ++i) {
        if (m_items[i]->ImageIndex() == index) {
            SetItemIndex(i);
            return;
        }
    }
    SetItemIndex(-1);
}

void TExtImagePickerDropDown::AddImagesFromImageList()
{
    if (!Images())
        return;
    for (int i = 0; i < Images()->Count(); ++i)
        m_items.Add()->SetImageIndex(i);
}

void TExtImagePickerDropDown::AddImagesFromFolder(const QString& mask, bool setImageCaption)
{
    const QFileInfo info(mask);
    const QDir dir = info.dir();
    const QFileInfoList entries = dir.entryInfoList(QStringList{info.fileName()}, QDir::Files | QDir::NoDotAndDotDot,
                                                    QDir::Name);
    for (const QFileInfo& entry : entries) {
        Picture picture;
        try {
            picture.LoadFromFile(entry.absoluteFilePath());
        } catch (const platform::UserError&) {
            continue; // not a picture this program reads
        }
        if (picture.isEmpty())
            continue;
        TImageItem* item = m_items.Add();
        item->Image = picture;
        if (setImageCaption)
            item->SetCaption(entry.fileName());
    }
}

void TExtImagePickerDropDown::CreateDropDownForm()
{
    TExtCustomDropDown::CreateDropDownForm();
    CreateList(stImage);
}

void TExtImagePickerDropDown::FillListItems()
{
    for (int i = 0; i < m_items.Count(); ++i) {
        TSelectorItem* item = m_list->Items().Add();
        item->SetCaption(m_items[i]->Caption());
        item->Image = m_items[i]->Image;
        item->SetImageIndex(m_items[i]->ImageIndex());
        item->Hint = m_items[i]->Hint;
    }
}

void TExtImagePickerDropDown::BeforeDropDown()
{
    TListPickerDropDown::BeforeDropDown();
    UpdateSelector();
    m_list->OnDrawItem = OnDrawItem ? TDrawItemEvent([this](QObject*, Canvas& c, const Rect& r, int i) {
        OnDrawItem(this, c, r, i);
    })
                                    : TDrawItemEvent();
    m_oldItemIndex = m_itemIndex;
}

void TExtImagePickerDropDown::DoHideDropDown(bool cancel)
{
    const bool wasDropped = DroppedDown();
    TListPickerDropDown::DoHideDropDown(cancel);
    if (wasDropped && cancel && m_list)
        SetItemIndex(m_oldItemIndex);
}

void TExtImagePickerDropDown::WMKeyDown(TWMKey& msg, TShiftState shift)
{
    const quint16 key = msg.CharCode;
    bool handled = false;
    if (isEnabled() && DroppedDown() && key == VK_RETURN)
        handled = SelectHotItem();
    const bool dropped = DroppedDown();
    TListPickerDropDown::WMKeyDown(msg, shift);
    if (isEnabled() && !AltDown() && !(shift & ssAlt))
        ListKeys(key, shift, dropped, handled, Columns);
}

void TExtImagePickerDropDown::SelectNextValue()
{
    TListPickerDropDown::SelectNextValue();
    ListWheel(true);
}

void TExtImagePickerDropDown::SelectPreviousValue()
{
    TListPickerDropDown::SelectPreviousValue();
    ListWheel(false);
}

void TExtImagePickerDropDown::PaintContent(Canvas& c)
{
    TListPickerDropDown::PaintContent(c);
    const Rect r = EditRect().offset(hasFrame() ? 2 : 0, hasFrame() ? 2 : 0);
    if (OnDrawSelectedImage) {
        OnDrawSelectedImage(this, c, r);
        return;
    }
    if (m_itemIndex < 0 || m_itemIndex >= m_items.Count())
        return;
    const TImageItem* item = m_items[m_itemIndex];
    if (!item->Image.isEmpty()) {
        item->Image.draw(c, r.left + (r.width() - item->Image.width()) / 2,
                         r.top + (r.height() - item->Image.height()) / 2);
    } else if (Images() && item->ImageIndex() >= 0) {
        Images()->Draw(c, r.left + (r.width() - Images()->Width()) / 2, r.top + (r.height() - Images()->Height()) / 2,
                       item->ImageIndex(), true);
    }
}

} // namespace controls::grid::dropdown
