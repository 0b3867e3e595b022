#pragma once
// The look every window of the program gives its buttons, in one place: a face in the windows'
// own background colour, an Encarta face (flat grey edge; pressed, the caption turns bold
// instead of moving), yellow while the pointer is on it and orange while it is pressed.
// A TFxButton made with `new` keeps the component's neutral defaults (system grey, no
// highlight); the windows create theirs through addButton() below, so a change of the look is
// a change here.
//
//     auto* ok = controls::addButton(this, QStringLiteral("Btn_OK"), 16, 6, 110, 28);
#include "controls/button/FxButton.h"

#include <QString>

namespace controls {

struct ButtonLook {
    TFxButtonStyle style = TFxButtonStyle::bsEncarta;
    platform::Color face = platform::rgb(248, 247, 237); // the windows' background
    platform::Color down = platform::rgb(255, 128, 0);
    platform::Color hotTrack = platform::clYellow;
    platform::Color light = platform::clGray;
};

// The look of the program's windows.
const ButtonLook& windowButtonLook();

// Gives an existing button the look.
void applyLook(TFxButton& button, const ButtonLook& look = windowButtonLook());

// A button of a window: named, placed, with the window look, its hint shown as a tool tip.
TFxButton* addButton(QWidget* parent, const QString& objectName, int left, int top, int width, int height);

} // namespace controls
