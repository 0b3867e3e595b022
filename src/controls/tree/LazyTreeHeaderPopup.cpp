// The header's column menu.
#include "controls/tree/LazyTreeHeaderPopup.h"
#include "controls/tree/LazyTree.h"
#include "platform/draw/Graphics.h"

#include <QAction>
#include <QIcon>
#include <QPixmap>

namespace controls {

namespace {
const char* const kFitAllName = "LT_ResizeToFitMenuItem";
const char* const kTagProperty = "columnTag";
} // namespace

TLTHeaderPopupMenu::TLTHeaderPopupMenu(QWidget* owner)
    : QMenu(owner)
{
    connect(this, &QMenu::triggered, this, [this](QAction* item) { ItemClick(item); });
}

int TLTHeaderPopupMenu::ItemTag(const QAction* item)
{
    const QVariant tag = item->property(kTagProperty);
    return tag.isValid() ? tag.toInt() : -1;
}

void TLTHeaderPopupMenu::QueryPopupItemKind(TColumnIndex Column, TAddPopupItemType& Cmd)
{
    Cmd = apNormal;
    if (OnAddHeaderPopupItem && FPopupComponent)
        OnAddHeaderPopupItem(FPopupComponent, Column, Cmd);
}

void TLTHeaderPopupMenu::NotifyColumnChange(TColumnIndex Column, bool Visible)
{
    if (OnColumnChange && FPopupComponent)
        OnColumnChange(FPopupComponent, Column, Visible);
}

void TLTHeaderPopupMenu::RebuildItems()
{
    if (!FPopupComponent)
        return;
    clear();
    TLTHeader& header = FPopupComponent->Header();
    TLazyTreeColumns& columns = header.Columns();
    if (FOptions.contains(poResizeToFitItem)) {
        QAction* fit = addAction(QStringLiteral("&Resize All Columns To Fit"));
        fit->setObjectName(QString::fromLatin1(kFitAllName));
        addSeparator();
    }
    platform::TImageList* images = header.Options().contains(hoShowImages) ? header.Images() : nullptr;
    int visibleCount = 0;
    QAction* lastVisibleItem = nullptr;
    for (int i = 0; i < columns.Count(); ++i) {
        const TColumnIndex index = FOptions.contains(poOriginalOrder) ? i : columns.ColumnFromPosition(TColumnPosition(i));
        if (!columns.IsValidColumn(index))
            continue;
        TLazyTreeColumn* column = columns.Items(index);
        const bool visible = column->Options().contains(coVisible);
        if (visible)
            ++visibleCount;
        TAddPopupItemType cmd = apNormal;
        QueryPopupItemKind(index, cmd);
        if (cmd == apHidden)
            continue;
        QAction* item = addAction(column->Text());
        item->setProperty(kTagProperty, index);
        item->setToolTip(column->Hint());
        item->setStatusTip(column->Hint());
        item->setCheckable(true);
        item->setChecked(visible);
        if (images && column->ImageIndex() >= 0 && column->ImageIndex() < images->Count())
            item->setIcon(QIcon(QPixmap::fromImage(images->Image(column->ImageIndex()))));
        if (cmd == apDisabled)
            item->setEnabled(false);
        else if (visible)
            lastVisibleItem = item;
    }
    // The last visible column stays.
    if (visibleCount == 1 && lastVisibleItem && !FOptions.contains(poAllowHideAll))
        lastVisibleItem->setEnabled(false);
}

void TLTHeaderPopupMenu::Popup(int X, int Y)
{
    RebuildItems();
    popup(QPoint(X, Y));
}

void TLTHeaderPopupMenu::ItemClick(QAction* item)
{
    if (!FPopupComponent || !item)
        return;
    if (item->objectName() == QLatin1String(kFitAllName)) {
        FPopupComponent->Header().AutoFitColumns(true, smaUseColumnOption, -1, -1);
        return;
    }
    const int tag = ItemTag(item);
    TLazyTreeColumns& columns = FPopupComponent->Header().Columns();
    if (!columns.IsValidColumn(tag))
        return;
    TLazyTreeColumn* column = columns.Items(tag);
    // The check mark shows the state before the click (the next popup rebuilds it).
    const bool wasVisible = column->Options().contains(coVisible);
    column->SetOptions(wasVisible ? column->Options() - coVisible : column->Options() + coVisible);
    NotifyColumnChange(tag, !wasVisible);
}

} // namespace controls
