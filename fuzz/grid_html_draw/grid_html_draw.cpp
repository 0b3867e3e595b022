// The mini-HTML renderer on any cell text: measured, drawn into an offscreen picture and
// hit-tested. The first byte chooses word wrap, the width of the rectangle and the point; the
// rest is the text (UTF-8). Whatever the text, the call ends, gives the canvas back as it was,
// and agrees with itself: a drawn text is never taller or wider than the same text measured
// without a bottom, and a hit anchor is one of the anchors counted (a hit without a reference
// needs an anchor or a control).
#include "controls/grid/html/HTMLDraw.h"
#include "controls/grid/html/PictureContainer.h"
#include "platform/draw/Graphics.h"

#include <QBuffer>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <cstdint>
#include <cstdlib>

namespace {

struct Fixture {
    platform::TImageList images{16, 16};
    controls::grid::TPictureContainer container;
    Fixture()
    {
        images.Add(platform::Bitmap(16, 16, platform::clRed));
        images.Add(platform::Bitmap(16, 16, platform::clBlue));
        QImage dot(5, 3, QImage::Format_RGB32);
        dot.fill(Qt::green);
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        dot.save(&buffer, "PNG");
        auto* item = container.Items().Add();
        item->Name = QStringLiteral("dot");
        item->Picture().LoadFromStream(png);
    }
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(11);
    QGuiApplication::setFont(f);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace controls::grid;
    if (size == 0)
        return 0;
    static Fixture fixture;
    const uint8_t mode = data[0];
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));

    platform::Bitmap bitmap(160, 48, platform::clWhite);
    platform::Canvas canvas(bitmap);
    canvas.font().font.setPixelSize(11);
    canvas.pen().color = platform::clGreen;
    canvas.brush().color = platform::clAqua;
    const platform::Pen pen = canvas.pen();
    const platform::Brush brush = canvas.brush();
    const platform::Font font = canvas.font();

    const Rect r{0, 0, 20 + (mode & 0x7F), 48};
    THTMLPictureCache cache;
    THTMLDrawParams p;
    p.Images = &fixture.images;
    p.Container = &fixture.container;
    p.ImageCache = &cache;
    p.WordWrap = (mode & 0x80) != 0;
    p.PointX = mode & 0x3F;
    p.PointY = (mode >> 2) & 0x1F;
    p.HoverAnchor = 1;
    p.FocusAnchor = 0;
    p.ShadowOffset = 1;

    THTMLDrawResult measured;
    p.CalcOnly = true;
    HTMLDrawText(canvas, text, r, p, measured);
    p.CalcOnly = false;
    THTMLDrawResult drawn;
    HTMLDrawText(canvas, text, r, p, drawn);
    THTMLDrawResult hit;
    p.NoDraw = true;
    const bool onAnchor = HTMLDrawText(canvas, text, r, p, hit);

    if (!(canvas.pen() == pen) || !(canvas.brush() == brush) || !(canvas.font() == font))
        std::abort();
    if (drawn.TextHeight > measured.TextHeight || drawn.TextWidth > measured.TextWidth || measured.TextWidth < 0)
        std::abort();
    if (hit.AnchorIndex < -1 || hit.AnchorIndex > hit.AnchorCount || (onAnchor && hit.AnchorVal.isNull()
                                                                        && hit.ControlID.isNull() && hit.AnchorCount == 0))
        std::abort();
    return 0;
}
