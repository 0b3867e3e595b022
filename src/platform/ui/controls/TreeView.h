#pragma once
// The standard tree view of the windows (a read-only list of captioned items in levels) and
// the two standard controls that go with choosing: radio buttons and pop-up menus. Events
// follow the rule of Controls.h:
//
//   TreeView    onChange  whenever the selected item changes: by the user or by select().
//               onClick   when the user clicks an item (after onChange, when it changed).
//               A right click selects the item under the pointer first, then opens the
//               pop-up menu (setPopupMenu) at the pointer; the menu key opens it under the
//               selected item.
//   RadioButton onClick   whenever it becomes checked: clicked by the user or setChecked().
//   PopupMenu   each item runs its handler when chosen.
#include "platform/ui/controls/Controls.h"

#include <QAction>
#include <QMenu>
#include <QRadioButton>
#include <QTreeWidget>
#include <functional>

namespace platform::ctl {

class PopupMenu : public QMenu {
public:
    explicit PopupMenu(QWidget* parent = nullptr);
    // An item named `name` with its caption and handler, at the end.
    QAction* addItem(const QString& name, const QString& caption, std::function<void()> onClick);
    // The item of that name, null when none.
    QAction* item(const QString& name) const;
};

class TreeView : public QTreeWidget, public Control {
public:
    explicit TreeView(QWidget* parent = nullptr);

    std::function<void(TreeView&)> onChange;
    std::function<void(TreeView&)> onClick;

    // A new item at the end of `parent`'s items (the top level for none).
    QTreeWidgetItem* addItem(QTreeWidgetItem* parent, const QString& caption);
    QTreeWidgetItem* selected() const;
    // Selects the item (none clears the selection) and raises onChange when it changed.
    void select(QTreeWidgetItem* item);
    void setPopupMenu(PopupMenu* menu) { popup_ = menu; }
    PopupMenu* popupMenu() const { return popup_; }

protected:
    void contextMenuEvent(QContextMenuEvent* e) override;

private:
    PopupMenu* popup_ = nullptr;
};

class RadioButton : public QRadioButton, public Control {
public:
    explicit RadioButton(QWidget* parent = nullptr);
    std::function<void(RadioButton&)> onClick;
    QString caption() const { return text(); }
    void setCaption(const QString& c) { setText(c); }
    bool checked() const { return isChecked(); }
};

} // namespace platform::ctl
