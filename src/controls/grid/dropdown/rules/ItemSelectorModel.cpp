#include "controls/grid/dropdown/rules/ItemSelectorModel.h"

#include "controls/grid/dropdown/rules/EditInput.h"
#include "controls/grid/html/HTMLUtil.h"
#include "platform/text/Text.h"

namespace controls::grid::dropdown {

QSize ArrangeGridItems(std::vector<Rect>& rects, int count, QSize itemSize, int offsetX, int offsetY, int columns)
{
    rects.assign(size_t(std::max(count, 0)), Rect{});
    if (count <= 0)
        return QSize(100, 50);
    int x = offsetX, y = offsetY, inRow = 0, maxLeft = offsetX;
    for (int i = 0; i < count; ++i) {
        rects[size_t(i)] = Rect{x, y, x + itemSize.width(), y + itemSize.height()};
        maxLeft = std::max(maxLeft, x);
        if (i + 1 == count)
            break;
        if (++inRow < columns) {
            x += itemSize.width();
        } else {
            x = offsetX;
            y += itemSize.height();
            inRow = 0;
        }
    }
    return QSize(maxLeft + itemSize.width() + offsetX, y + itemSize.height() + offsetY);
}

QString LookupCaption(const QString& caption)
{
    return CaseText(platform::trim(controls::grid::StripHTMLTags(caption)), false);
}

void TItemSelectorState::SetItemIndex(int index)
{
    if (index >= 0 && index < N() && !IsEnabled(index))
        return;
    if (ItemIndex >= 0 && ItemIndex != index) {
        const int old = ItemIndex;
        ItemIndex = -1;
        if (InvalidateItem)
            InvalidateItem(old);
    }
    ItemIndex = index;
    if (index < 0)
        return;
    if (DrawItem)
        DrawItem(index);
    if (OnItemSelect)
        OnItemSelect();
}

void TItemSelectorState::SetItemHot(int index)
{
    if (index == ItemHot || (index >= 0 && index < N() && !IsEnabled(index)))
        return;
    if (ItemHot >= 0) {
        const int old = ItemHot;
        ItemHot = -1;
        if (InvalidateItem)
            InvalidateItem(old);
    }
    ItemHot = index;
    if (index >= 0 && DrawItem)
        DrawItem(index);
}

void TItemSelectorState::SelectFirst()
{
    if (N() > 0)
        SetItemIndex(0);
}

void TItemSelectorState::SelectLast()
{
    if (N() > 0)
        SetItemIndex(N() - 1);
}

void TItemSelectorState::SelectNext()
{
    if (ItemIndex < 0)
        SetItemIndex(0);
    else if (ItemIndex + 1 < N())
        SetItemIndex(ItemIndex + 1);
}

void TItemSelectorState::SelectPrevious()
{
    if (ItemIndex < 0)
        SetItemIndex(0);
    else if (ItemIndex - 1 >= 0)
        SetItemIndex(ItemIndex - 1);
}

void TItemSelectorState::HotNext()
{
    if (ItemHot < 0)
        SetItemHot(0);
    else if (ItemHot + 1 < N())
        SetItemHot(ItemHot + 1);
}

void TItemSelectorState::HotPrevious()
{
    if (ItemHot < 0)
        SetItemHot(0);
    else if (ItemHot - 1 >= 0)
        SetItemHot(ItemHot - 1);
}

int TItemSelectorState::ItemAtPos(int x, int y) const
{
    for (int i = 0; i < N(); ++i)
        if (ItemRect && ItemRect(i).contains(x, y))
            return i;
    return -1;
}

bool TItemSelectorState::LookupItem(const QString& s, const QStringList& captions)
{
    if (captions.isEmpty() || s.isEmpty())
        return false;
    for (int i = 0; i < captions.size(); ++i) {
        if (LookupCaption(captions.at(i)).startsWith(s)) {
            SetItemIndex(i);
            return true;
        }
    }
    return false;
}

} // namespace controls::grid::dropdown
