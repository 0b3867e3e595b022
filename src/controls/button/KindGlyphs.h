#pragma once
// The pictures of the button kinds: two images side by side (normal, disabled), 18 pixels wide
// each, 18 high (19 for bkAll), in the 16 basic colours on a fuchsia (transparent) ground.
#include "platform/draw/Canvas.h"

namespace controls {

enum class TFxButtonKind;

// Empty for bkCustom.
platform::Bitmap kindGlyph(TFxButtonKind kind);

} // namespace controls
