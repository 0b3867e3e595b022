#pragma once
// The pictures of the main window and the about box, drawn at start: the three icon buttons,
// the step buttons' glyph and the two logos.
#include <QImage>

namespace app::artwork {

QImage infoIcon();      // 32 x 32
QImage optionsIcon();   // 32 x 32
QImage closeIcon();     // 32 x 32
QImage stepGlyph();     // 16 x 16 arrow
QImage makerLogo();     // 120 x 48
QImage partnerLogo();   // 120 x 48

} // namespace app::artwork
