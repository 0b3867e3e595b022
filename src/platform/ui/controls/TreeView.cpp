#include "platform/ui/controls/TreeView.h"

#include <QContextMenuEvent>
#include <QHeaderView>

namespace platform::ctl {

PopupMenu::PopupMenu(QWidget* parent) : QMenu(parent) {}

QAction* PopupMenu::addItem(const QString& name, const QString& caption, std::function<void()> onClick)
{
    QAction* a = addAction(caption);
    a->setObjectName(name);
    QObject::connect(a, &QAction::triggered, this, [onClick = std::move(onClick)] {
        if (onClick)
            onClick();
    });
    return a;
}

QAction* PopupMenu::item(const QString& name) const
{
    for (QAction* a : actions())
        if (a->objectName() == name)
            return a;
    return nullptr;
}

TreeView::TreeView(QWidget* parent) : QTreeWidget(parent), Control(this)
{
    setColumnCount(1);
    header()->hide();
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setContextMenuPolicy(Qt::DefaultContextMenu);
    connect(this, &QTreeWidget::itemSelectionChanged, this, [this] {
        if (onChange)
            onChange(*this);
    });
    connect(this, &QTreeWidget::itemClicked, this, [this] {
        if (onClick)
            onClick(*this);
    });
}

QTreeWidgetItem* TreeView::addItem(QTreeWidgetItem* parent, const QString& caption)
{
    auto* item = new QTreeWidgetItem(QStringList{caption});
    if (parent)
        parent->addChild(item);
    else
        addTopLevelItem(item);
    return item;
}

QTreeWidgetItem* TreeView::selected() const
{
    const QList<QTreeWidgetItem*> items = selectedItems();
    return items.isEmpty() ? nullptr : items.first();
}

void TreeView::select(QTreeWidgetItem* item)
{
    if (item) {
        setCurrentItem(item);
        item->setSelected(true);
    } else {
        clearSelection();
        setCurrentItem(nullptr);
    }
}

void TreeView::contextMenuEvent(QContextMenuEvent* e)
{
    QPoint at = e->globalPos();
    if (e->reason() == QContextMenuEvent::Mouse) {
        if (QTreeWidgetItem* under = itemAt(viewport()->mapFromGlobal(at)))
            if (under != selected())
                select(under);
    } else if (QTreeWidgetItem* item = selected()) {
        // From the keyboard: the menu opens under the selected item.
        at = viewport()->mapToGlobal(visualItemRect(item).bottomLeft());
    }
    if (popup_)
        popup_->popup(at);
    e->accept();
}

RadioButton::RadioButton(QWidget* parent) : QRadioButton(parent), Control(this)
{
    connect(this, &QRadioButton::toggled, this, [this](bool on) {
        if (on && onClick)
            onClick(*this);
    });
}

} // namespace platform::ctl
