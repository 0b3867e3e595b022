// The pictures of the mini-HTML renderer on any bytes: loaded, counted and stepped through
// their GIF frames, copied and drawn. A picture that does not decode raises EInvalidGraphic and
// draws nothing; no frame block, delay or descriptor is read past the data.
#include "controls/grid/html/PictureContainer.h"
#include "platform/core/Errors.h"

#include <QGuiApplication>
#include <cstdint>
#include <algorithm>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace controls::grid;
    using platform::Rect;
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    platform::Bitmap target(32, 32);
    platform::Canvas canvas(target);
    THTMLPicture picture;
    try {
        picture.LoadFromStream(bytes);
    } catch (const platform::EInvalidGraphic&) {
    }
    picture.Draw(canvas, Rect{0, 0, 32, 32});
    if (picture.Width() > 16384 || picture.Height() > 16384)
        std::abort();
    const int frames = picture.FrameCount();
    if (frames != -1 && !picture.IsGIF())
        std::abort();
    for (int i = 1; i <= std::min(frames, 8); ++i) {
        picture.SetFrame(i);
        (void)picture.FrameTime(i);
        picture.Draw(canvas, Rect{picture.FrameXPos() % 32, picture.FrameYPos() % 32, 32, 32});
    }
    for (int tick = 0; tick < 6; ++tick)
        picture.Step();
    THTMLPicture copy;
    copy.Assign(&picture);
    copy.Stretch = true;
    copy.Draw(canvas, Rect{0, 0, 8, 8});
    if (copy.SaveToStream() != picture.SaveToStream())
        std::abort();
    return 0;
}
