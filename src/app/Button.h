#pragma once
// The push button of the program's windows: the animated button with the windows' look
// (controls/button/FormButton.h), a caption, a hint, a glyph, a click handler that receives
// the button and a modal result handed to its window.
#include <QImage>
#include <QString>

#include "controls/button/FormButton.h"

namespace app {

using AppButton = controls::TFxButton;

// Creates a button at the given place and size with the windows' look, its hint shown as a
// tool tip.
AppButton* addButton(QWidget* parent, const QString& objectName, int left, int top, int width, int height);

// A step button of the main window: glyph on the left, caption left-aligned beside it.
void makeStepButton(AppButton* b, const QImage& glyph);

} // namespace app
