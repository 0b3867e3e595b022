#include "mbus/window/WideComboBox.h"

#include <QAbstractItemView>

namespace mbus {

void WideComboBox::showPopup()
{
    platform::ctl::ComboBox::showPopup();
    QWidget* list = view() ? view()->window() : nullptr;
    if (!list || list == window())
        return;
    QRect g = list->geometry();
    if (droppedWidth_ > g.width())
        g.setWidth(droppedWidth_);
    if (opensLeft_)
        g.moveRight(mapToGlobal(QPoint(width() - 1, 0)).x());
    list->setGeometry(g);
}

QRect WideComboBox::listGeometry() const
{
    const QWidget* list = view() ? view()->window() : nullptr;
    return list && list != window() && list->isVisible() ? list->geometry() : QRect();
}

} // namespace mbus
