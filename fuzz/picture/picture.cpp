// Pictures and icons read from any bytes: a loaded picture or EInvalidGraphic, never a crash,
// never a picture larger than the reader allows; a picture that loaded draws on a canvas.
#include "platform/core/Errors.h"
#include "platform/draw/Graphics.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace platform;
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    Picture p;
    try {
        p.LoadFromData(bytes);
        if (p.width() > 16384 || p.height() > 16384 || p.isEmpty())
            std::abort();
        Bitmap target(8, 8);
        Canvas c(target);
        p.stretchDraw(c, Rect{0, 0, 8, 8});
    } catch (const EInvalidGraphic&) {
    }
    Icon icon;
    try {
        icon.LoadFromData(bytes);
        TImageList list(4, 4);
        list.AddIcon(icon);
    } catch (const EInvalidGraphic&) {
    }
    return 0;
}
