#pragma once
// A selection box of the M-Bus windows whose drop-down list can be wider than the box
// (droppedWidth) and can open towards the left, its right edge under the box's right edge, so
// that a box near the window's right side keeps its long items on the screen.
#include "platform/ui/controls/Controls.h"

namespace mbus {

class WideComboBox : public platform::ctl::ComboBox {
public:
    explicit WideComboBox(QWidget* parent = nullptr) : platform::ctl::ComboBox(parent) {}

    // 0: as wide as the box.
    int droppedWidth() const { return droppedWidth_; }
    void setDroppedWidth(int w) { droppedWidth_ = w; }
    bool opensLeft() const { return opensLeft_; }
    void setOpensLeft(bool on) { opensLeft_ = on; }

    // Where the open list lies on the screen (empty while it is closed).
    QRect listGeometry() const;

    void showPopup() override;

private:
    int droppedWidth_ = 0;
    bool opensLeft_ = false;
};

} // namespace mbus
