#pragma once
// One toggle animation: up to two regions of the client area that slide up or down while a
// node expands or collapses. The regions move over a picture of the rows taken before the
// change; what a region uncovers shows the tree's background.
#include "platform/draw/Color.h"
#include "platform/draw/Geometry.h"

#include <QImage>

namespace controls {

struct TToggleAnimation {
    enum Mode { ScrollUp = 0, ScrollDown = 1, None = 2 };

    platform::Rect R1;
    platform::Rect R2;
    Mode Mode1 = None;
    Mode Mode2 = None;
    double ScaleFactor = 0;
    double MissedSteps = 0;

    // How far each region has slid so far (down positive), and the steps taken.
    int Shift1 = 0;
    int Shift2 = 0;
    int Steps = 0;
    QImage Snapshot;
    platform::Color Background = platform::clWindow;
};

} // namespace controls
