#pragma once
// The rules of the item selector list without its window: the grid layout of equally sized
// items, the selected and the hot item, stepping, the hit test and the incremental look-up by
// caption. The list itself (ItemSelector.h) keeps the items and paints them.
#include "controls/grid/dropdown/rules/DropDownTypes.h"
#include "platform/draw/Geometry.h"

#include <QSize>
#include <QStringList>
#include <functional>
#include <vector>

namespace controls::grid::dropdown {

using platform::Rect;

// Places `count` items of one size row by row, `columns` to a row, from (offsetX, offsetY);
// the size the panel needs, with the same margins on both sides (100 x 50 without items).
QSize ArrangeGridItems(std::vector<Rect>& rects, int count, QSize itemSize, int offsetX, int offsetY, int columns);

// The caption as the look-up compares it: tags stripped, trimmed, upper-cased (locale rules).
QString LookupCaption(const QString& caption);

class TItemSelectorState {
public:
    int ItemIndex = -1;
    int ItemHot = -1;

    // The list's side: its items, and the view and event hooks.
    std::function<int()> Count;
    std::function<bool(int)> Enabled;
    std::function<Rect(int)> ItemRect;
    std::function<void(int)> InvalidateItem;
    std::function<void(int)> DrawItem;
    std::function<void()> OnItemSelect;

    // Selecting raises OnItemSelect also for the index already selected; a disabled item is
    // refused; an index beyond the list is kept and shows nothing.
    void SetItemIndex(int index);
    void SetItemHot(int index);
    void SelectFirst();
    void SelectLast();
    void SelectNext();
    void SelectPrevious();
    void HotNext();
    void HotPrevious();
    int ItemAtPos(int x, int y) const;
    // Selects the first item whose look-up caption begins with s (taken as it is); an empty s
    // finds nothing.
    bool LookupItem(const QString& s, const QStringList& captions);

private:
    int N() const { return Count ? Count() : 0; }
    bool IsEnabled(int i) const { return !Enabled || Enabled(i); }
};

} // namespace controls::grid::dropdown
