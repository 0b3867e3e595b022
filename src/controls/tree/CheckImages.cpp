#include "controls/tree/CheckImages.h"
#include "platform/draw/Frames.h"
#include "platform/draw/Graphics.h"

#include <array>
#include <memory>
#include <mutex>

namespace controls {

using namespace platform;

namespace {

// Frame-control flags of images 1..20 (i = image - 1).
unsigned checkState(int i)
{
    unsigned state = i < 8 ? DFCS_BUTTONRADIO : (i < 16 ? DFCS_BUTTONCHECK : DFCS_BUTTON3STATE);
    if ((i >= 4 && i <= 7) || i >= 12)
        state |= DFCS_CHECKED;
    switch (i % 4) {
    case 1:
        state |= DFCS_HOT;
        break;
    case 2:
        state |= DFCS_PUSHED;
        break;
    case 3:
        state |= DFCS_INACTIVE;
        break;
    default:
        break;
    }
    return state;
}

unsigned buttonState(int i)
{
    unsigned state = DFCS_BUTTONPUSH;
    switch (i % 4) {
    case 1:
        state |= DFCS_HOT;
        break;
    case 2:
        state |= DFCS_PUSHED;
        break;
    case 3:
        state |= DFCS_INACTIVE;
        break;
    default:
        break;
    }
    return state;
}

// A list of `size`, its boxes drawn in `inner` with `extra` flags.
std::unique_ptr<TImageList> drawList(int size, Rect inner, unsigned extra)
{
    auto list = std::make_unique<TImageList>(size, size);
    Bitmap work(size, size, clRed);
    list->AddMasked(work, clRed); // 0: empty
    for (int i = 0; i < 24; ++i) {
        work.fill(clRed);
        {
            Canvas canvas(work);
            Rect r = inner;
            if (i < 20)
                DrawFrameControl(canvas, r, DFC_BUTTON, checkState(i) | extra);
            else
                DrawFrameControl(canvas, r, DFC_BUTTON, buttonState(i) | (extra & ~DFCS_MONO));
        }
        list->AddMasked(work, clRed);
    }
    return list;
}

// The system lists: boxes from the frame controls, push buttons from `buttons` centred.
std::unique_ptr<TImageList> systemList(bool flat, const TImageList& buttons)
{
    const int size = kMenuCheckSize;
    auto list = std::make_unique<TImageList>(size, size);
    Bitmap work(size, size, clRed);
    list->AddMasked(work, clRed);
    for (int i = 0; i < 20; ++i) {
        work.fill(clRed);
        {
            Canvas canvas(work);
            Rect r{0, 0, size, size};
            DrawFrameControl(canvas, r, DFC_BUTTON, checkState(i) | (flat ? DFCS_FLAT : 0u));
        }
        list->AddMasked(work, clRed);
    }
    for (int i = 21; i <= 24; ++i) {
        work.fill(clRed);
        {
            Canvas canvas(work);
            buttons.Draw(canvas, (size - buttons.Width()) / 2, (size - buttons.Height()) / 2, i);
        }
        list->AddMasked(work, clRed);
    }
    return list;
}

struct Lists {
    std::array<std::unique_ptr<TImageList>, 9> byKind;
};

Lists& lists()
{
    static Lists l;
    return l;
}

} // namespace

TImageList* SharedCheckImages(TCheckImageKind kind)
{
    if (kind == ckCustom)
        return nullptr;
    static std::recursive_mutex lock;
    const std::lock_guard<std::recursive_mutex> guard(lock);
    auto& slot = lists().byKind[size_t(kind)];
    if (slot)
        return slot.get();
    const Rect inner{1, 1, 15, 15};
    switch (kind) {
    case ckLightCheck:
    case ckLightTick:
        slot = drawList(16, inner, DFCS_FLAT);
        break;
    case ckDarkCheck:
    case ckDarkTick:
    case ckXP:
        slot = drawList(16, inner, 0);
        break;
    case ckFlat:
        slot = drawList(16, inner, DFCS_FLAT | DFCS_MONO);
        break;
    case ckSystemDefault:
        slot = systemList(false, *SharedCheckImages(ckDarkCheck));
        break;
    case ckSystemFlat:
        slot = systemList(true, *SharedCheckImages(ckFlat));
        break;
    case ckCustom:
        break;
    }
    return slot.get();
}

} // namespace controls
