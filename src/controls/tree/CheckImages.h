#pragma once
// The check image lists that trees share: one per TCheckImageKind but ckCustom, each of 25
// images in the order the painting uses (0 empty; radio buttons unchecked 1-4 and checked 5-8;
// check boxes unchecked 9-12, checked 13-16 and mixed 17-20; push buttons 21-24; within each
// group normal, hot, pressed, disabled). Every list is drawn by us with the classic frame
// controls when it is first asked for and then kept for the life of the program:
//   ckSystemDefault, ckSystemFlat   13 x 13 (the menu check mark size); 1-20 drawn as frame
//                                   controls (ckSystemFlat flat), 21-24 taken from the dark
//                                   check list (the flat list) and centred;
//   ckLightCheck, ckLightTick       16 x 16, flat frames;
//   ckDarkCheck, ckDarkTick, ckXP   16 x 16, sunken frames;
//   ckFlat                          16 x 16, flat one-colour boxes and flat buttons.
#include "controls/tree/TreeTypes.h"

namespace platform {
class TImageList;
}

namespace controls {

// The shared list of `kind`; nullptr for ckCustom.
platform::TImageList* SharedCheckImages(TCheckImageKind kind);

// Size of the menu check mark, in pixels.
constexpr int kMenuCheckSize = 13;

} // namespace controls
