#pragma once
// TLTHeaderPopupMenu: a menu of a tree's columns, a check mark on each visible one, so that
// the user shows and hides columns; optionally headed by "&Resize All Columns To Fit" and a
// separator (poResizeToFitItem). It rebuilds its items each time it pops up, from the tree
// that is its popup component, in display order (collection order with poOriginalOrder). The
// last visible column's item is disabled so that it cannot be hidden, unless
// poAllowHideAll. OnAddHeaderPopupItem may leave a column out (apHidden, still counted when
// visible) or show it disabled (apDisabled); a click toggles the column's coVisible and fires
// OnColumnChange. The header makes one by itself on a right click under
// hoAutoColumnPopupMenu (its OnColumnChange then fires the tree's OnColumnVisibilityChanged).
#include "controls/tree/TreeTypes.h"

#include <QMenu>
#include <functional>

namespace controls {

class TBaseLazyTree;

enum TLTHeaderPopupOption : uint8_t { poOriginalOrder, poAllowHideAll, poResizeToFitItem };
using TLTHeaderPopupOptions = TSet<TLTHeaderPopupOption, uint8_t>;
enum TAddPopupItemType : uint8_t { apNormal, apDisabled, apHidden };

class TLTHeaderPopupMenu : public QMenu {
public:
    explicit TLTHeaderPopupMenu(QWidget* owner = nullptr);

    TLTHeaderPopupOptions Options() const { return FOptions; }
    void SetOptions(TLTHeaderPopupOptions value) { FOptions = value; }
    // The tree whose columns the menu lists (the popup component).
    TBaseLazyTree* PopupComponent() const { return FPopupComponent; }
    void SetPopupComponent(TBaseLazyTree* tree) { FPopupComponent = tree; }

    // Rebuilds the items (when the popup component is a tree) and shows the menu at the
    // screen point.
    virtual void Popup(int X, int Y);
    // The rebuilding alone.
    void RebuildItems();
    // The column index an item stands for (its tag), -1 for the fit-all item and separators.
    static int ItemTag(const QAction* item);

    std::function<void(TBaseLazyTree* Sender, TColumnIndex Column, TAddPopupItemType& Cmd)> OnAddHeaderPopupItem;
    std::function<void(TBaseLazyTree* Sender, TColumnIndex Column, bool Visible)> OnColumnChange;

protected:
    virtual void QueryPopupItemKind(TColumnIndex Column, TAddPopupItemType& Cmd);
    virtual void NotifyColumnChange(TColumnIndex Column, bool Visible);
    void ItemClick(QAction* item);

private:
    TLTHeaderPopupOptions FOptions;
    TBaseLazyTree* FPopupComponent = nullptr;
};

} // namespace controls
