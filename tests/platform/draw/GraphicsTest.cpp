#include "platform/core/Errors.h"
#include "platform/draw/Graphics.h"

#include "support/QtPrinters.h"
#include "support/TempDir.h"

#include <QBuffer>
#include <QImageWriter>
#include <QtEndian>
#include <gtest/gtest.h>

using namespace platform;

namespace {

constexpr Color kGround = rgb(10, 20, 30);
constexpr Color kInk = rgb(200, 0, 0);

// A 4 x 3 image: red, with a transparent top-left pixel and a blue bottom-right one.
QImage sample()
{
    QImage img(4, 3, QImage::Format_ARGB32);
    img.fill(qRgb(200, 0, 0));
    img.setPixel(0, 0, qRgba(0, 0, 0, 0));
    img.setPixel(3, 2, qRgb(0, 0, 200));
    return img;
}

QByteArray encoded(const QImage& img, const char* format)
{
    QByteArray bytes;
    QBuffer b(&bytes);
    b.open(QIODevice::WriteOnly);
    QImageWriter w(&b, format);
    EXPECT_TRUE(w.write(img)) << format << " " << w.errorString().toStdString();
    return bytes;
}

// GIF89a, 2 x 1: a red and a transparent pixel (colour 1 of the table is transparent).
const char* kGifHex = "47 49 46 38 39 61 02 00 01 00 80 00 00 FF 00 00 00 00 00 "
                      "21 F9 04 01 00 00 01 00 2C 00 00 00 00 02 00 01 00 00 02 02 44 0A 00 3B";

std::string shape(const Bitmap& b)
{
    std::string s;
    for (int y = 0; y < b.height(); ++y) {
        for (int x = 0; x < b.width(); ++x) {
            const Color p = b.pixel(x, y);
            s += p == kGround ? '.' : p == kInk ? '#' : p == colorToRgb(clBtnShadow) ? 's' : p == colorToRgb(clBtnHighlight) ? 'w' : '?';
        }
        s += '\n';
    }
    return s;
}

// A list of 4 x 3 images: a strip of three, the mask colour fuchsia.
TImageList strip()
{
    TImageList list(4, 3);
    Bitmap b(12, 3, clFuchsia);
    for (int i = 0; i < 3; ++i)
        for (int x = 0; x <= i; ++x)
            b.setPixel(i * 4 + x, 1, kInk); // image i: a bar of i + 1 pixels in row 1
    EXPECT_EQ(list.AddMasked(b, clFuchsia), 0);
    return list;
}

} // namespace

TEST(Picture, ReadsTheFormatsByTheirContent)
{
    struct Case {
        const char* format;
        QByteArray data;
        bool lossy;
        bool alpha;
    };
    const Case cases[] = {
        {"bmp", encoded(sample(), "bmp"), false, false},
        {"png", encoded(sample(), "png"), false, true},
        {"jpeg", encoded(sample(), "jpeg"), true, false},
        {"ico", encoded(sample(), "ico"), false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.format);
        Picture p;
        p.LoadFromData(c.data);
        EXPECT_EQ(p.format(), QByteArray(c.format));
        EXPECT_EQ(p.width(), 4);
        EXPECT_EQ(p.height(), 3);
        EXPECT_EQ(p.bitmap().pixelFormat(), c.alpha ? PixelFormat::pf32bit : PixelFormat::pf24bit);
        const Color red = p.bitmap().pixel(1, 1);
        EXPECT_NEAR(redOf(red), 200, c.lossy ? 40 : 0);
        EXPECT_NEAR(blueOf(red), 0, c.lossy ? 40 : 0);
        if (c.alpha) {
            EXPECT_EQ(p.bitmap().scanLine(0)[0] >> 24, 0u); // the transparent pixel
            Bitmap target(6, 5, kGround);
            {
                Canvas canvas(target);
                p.draw(canvas, 1, 1);
            }
            EXPECT_EQ(target.pixel(1, 1), kGround);
            EXPECT_EQ(target.pixel(2, 2), kInk);
        }
    }
    Picture gif;
    gif.LoadFromData(testing_support::hexBytes(kGifHex));
    EXPECT_EQ(gif.format(), QByteArray("gif"));
    EXPECT_EQ(gif.bitmap().pixel(0, 0), rgb(255, 0, 0));
    EXPECT_EQ(gif.bitmap().scanLine(0)[1] >> 24, 0u);

    // Stretched: each pixel becomes a block.
    Picture bmp;
    bmp.LoadFromData(encoded(sample(), "bmp"));
    Bitmap big(8, 6, kGround);
    {
        Canvas canvas(big);
        bmp.stretchDraw(canvas, Rect{0, 0, 8, 6});
    }
    EXPECT_EQ(big.pixel(7, 5), rgb(0, 0, 200));
    EXPECT_EQ(big.pixel(6, 4), rgb(0, 0, 200));
    EXPECT_EQ(big.pixel(5, 4), kInk);
}

TEST(Picture, BadDataRaisesAndKeepsThePicture)
{
    Picture p;
    p.LoadFromData(encoded(sample(), "png"));
    QByteArray bmp = encoded(sample(), "bmp");
    // A bitmap header that claims 100000 x 100000 pixels is refused before anything is made.
    QByteArray huge = bmp;
    const char side[4] = {char(0xA0), char(0x86), 0x01, 0x00}; // 100000
    huge.replace(18, 4, QByteArray(side, 4));
    huge.replace(22, 4, QByteArray(side, 4));
    struct Case {
        const char* name;
        QByteArray data;
        const char* message;
    };
    const Case cases[] = {
        {"empty", QByteArray(), "Unknown picture format"},
        {"text", QByteArray("hello, world"), "Unknown picture format"},
        {"xpm", QByteArray("/* XPM */\nstatic char *x[] = {\"1 1 1 1\", \"a c #FF0000\", \"a\"};\n"), "Unknown picture format"},
        {"truncated bmp", bmp.left(40), "Invalid image"},
        {"huge bmp", huge, "Invalid image"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            p.LoadFromData(c.data);
            ADD_FAILURE() << "no error";
        } catch (const EInvalidGraphic& e) {
            EXPECT_EQ(e.message(), QString::fromLatin1(c.message));
        }
        EXPECT_EQ(p.format(), QByteArray("png")); // still the picture loaded before
        EXPECT_EQ(p.width(), 4);
    }
    testing_support::TempDir dir;
    try {
        p.LoadFromFile(dir.file(QStringLiteral("missing.bmp")));
        FAIL() << "no error";
    } catch (const EInvalidGraphic&) {
        FAIL() << "wrong class";
    } catch (const Exception& e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("Cannot open file"))) << e.message().toStdString();
    }
    p.LoadFromFile(dir.write(QStringLiteral("pic.bmp"), bmp));
    EXPECT_EQ(p.format(), QByteArray("bmp"));
    p.clear();
    EXPECT_TRUE(p.isEmpty());
}

// A bitmap header is held against the file: a picture whose rows the file does not hold is
// refused before anything is decoded, rows stored top to bottom (a negative height) included;
// a whole file with its rows either way reads as the same picture.
TEST(Picture, ABitmapMustHoldTheRowsItsHeaderGives)
{
    const QByteArray bottomUp = encoded(sample(), "bmp");
    auto le32 = [](const QByteArray& b, int at) { return qFromLittleEndian<qint32>(b.constData() + at); };
    const int offset = le32(bottomUp, 10), width = le32(bottomUp, 18), height = le32(bottomUp, 22);
    const int bits = qFromLittleEndian<quint16>(bottomUp.constData() + 28);
    ASSERT_EQ(height, 3);
    const int row = (width * bits + 31) / 32 * 4;
    // The same picture with its rows top to bottom.
    QByteArray topDown = bottomUp;
    for (int y = 0; y < height; ++y)
        topDown.replace(offset + y * row, row, bottomUp.mid(offset + (height - 1 - y) * row, row));
    const qint32 negative = -height;
    topDown.replace(22, 4, QByteArray(reinterpret_cast<const char*>(&negative), 4));
    Picture up, down;
    up.LoadFromData(bottomUp);
    down.LoadFromData(topDown);
    ASSERT_EQ(down.width(), 4);
    ASSERT_EQ(down.height(), 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(down.bitmap().pixel(x, y), up.bitmap().pixel(x, y)) << x << "," << y;

    // A 70-byte file whose header asks for 5000 x 5000 pixels, either way up; and the sample
    // short of a row.
    auto header = [](qint32 w, qint32 h) {
        QByteArray b(70, '\0');
        b[0] = 'B';
        b[1] = 'M';
        qToLittleEndian<quint32>(70, b.data() + 2);
        qToLittleEndian<quint32>(54, b.data() + 10);
        qToLittleEndian<quint32>(40, b.data() + 14);
        qToLittleEndian<qint32>(w, b.data() + 18);
        qToLittleEndian<qint32>(h, b.data() + 22);
        qToLittleEndian<quint16>(1, b.data() + 26);
        qToLittleEndian<quint16>(32, b.data() + 28);
        return b;
    };
    for (const auto& [name, data] : {std::pair{"top-down", header(5000, -5000)}, std::pair{"bottom-up", header(5000, 5000)},
                                     std::pair{"a row short", bottomUp.chopped(row)},
                                     std::pair{"top-down a row short", topDown.chopped(row)}}) {
        SCOPED_TRACE(name);
        Picture p;
        try {
            p.LoadFromData(data);
            ADD_FAILURE() << "no error";
        } catch (const EInvalidGraphic& e) {
            EXPECT_EQ(e.message(), QStringLiteral("Invalid image"));
        }
        EXPECT_TRUE(p.isEmpty());
    }
}

TEST(ImageList, StripsMasksAndDrawingStyles)
{
    TImageList list = strip();
    EXPECT_EQ(list.Count(), 3);
    Bitmap b(6, 5, kGround);
    {
        Canvas c(b);
        EXPECT_TRUE(list.Draw(c, 1, 1, 2)); // three pixels of ink, the rest transparent
        EXPECT_FALSE(list.Draw(c, 0, 0, 3));
        EXPECT_FALSE(list.Draw(c, 0, 0, -1));
    }
    EXPECT_EQ(shape(b), "......\n"
                        "......\n"
                        ".###..\n"
                        "......\n"
                        "......\n");

    // A background colour fills the transparent pixels; ILD_TRANSPARENT ignores it.
    Bitmap filled(4, 3, kGround), transparent(4, 3, kGround);
    {
        Canvas c(filled);
        list.DrawEx(c, 0, 0, 0, 0, 0, clWhite, CLR_NONE, ILD_NORMAL);
        Canvas t(transparent);
        list.DrawEx(t, 0, 0, 0, 0, 0, clWhite, CLR_NONE, ILD_TRANSPARENT);
    }
    EXPECT_EQ(filled.pixel(3, 0), clWhite);
    EXPECT_EQ(filled.pixel(0, 1), kInk);
    EXPECT_EQ(transparent.pixel(3, 0), kGround);

    // Blending with a colour by a half, or with what lies below.
    Bitmap blended(4, 3, kGround), ghost(4, 3, kGround);
    {
        Canvas c(blended);
        list.DrawEx(c, 0, 0, 0, 0, 0, CLR_NONE, rgb(0, 0, 200), ILD_BLEND50);
        Canvas g(ghost);
        list.DrawEx(g, 0, 0, 0, 0, 0, CLR_NONE, CLR_NONE, ILD_BLEND50);
    }
    EXPECT_NEAR(redOf(blended.pixel(0, 1)), 100, 2);
    EXPECT_NEAR(blueOf(blended.pixel(0, 1)), 100, 2);
    EXPECT_EQ(blended.pixel(3, 1), kGround);
    EXPECT_NEAR(redOf(ghost.pixel(0, 1)), (200 + 10) / 2, 2);

    // The mask: black where the image is, white elsewhere.
    Bitmap mask(4, 3, kGround);
    {
        Canvas c(mask);
        list.DrawEx(c, 1, 0, 0, 0, 0, CLR_NONE, CLR_NONE, ILD_MASK);
    }
    EXPECT_EQ(mask.pixel(1, 1), clBlack);
    EXPECT_EQ(mask.pixel(2, 1), clWhite);

    // Part of an image, grey, and an overlay on top.
    TImageList overlays = strip();
    EXPECT_TRUE(overlays.Overlay(0, 0));
    Bitmap over(6, 3, kGround);
    {
        Canvas c(over);
        overlays.DrawEx(c, 2, 0, 0, 2, 0, CLR_NONE, CLR_NONE, ILD_TRANSPARENT, ILS_SATURATE);
        overlays.DrawEx(c, 2, 3, 0, 0, 0, CLR_NONE, CLR_NONE, ILD_TRANSPARENT | INDEXTOOVERLAYMASK(1));
    }
    const Color grey = over.pixel(0, 1);
    EXPECT_EQ(redOf(grey), greenOf(grey));
    EXPECT_EQ(redOf(grey), (200 * 299 + 500) / 1000);
    EXPECT_EQ(over.pixel(2, 1), kGround); // only two columns drawn
    EXPECT_EQ(over.pixel(3, 1), kInk);

    Bitmap got(1, 1, clWhite);
    EXPECT_TRUE(list.GetBitmap(1, got));
    EXPECT_EQ(got.width(), 4);
    EXPECT_EQ(got.pixel(1, 1), kInk);
    EXPECT_EQ(got.pixel(2, 1), clWhite);
    EXPECT_TRUE(list.Delete(0));
    EXPECT_EQ(list.Count(), 2);
    list.SetSize(8, 8);
    EXPECT_EQ(list.Count(), 0);
}

TEST(ImageList, GreyedDrawIsTheEmbossedShape)
{
    TImageList list = strip();
    Bitmap b(7, 5, kGround);
    {
        Canvas c(b);
        EXPECT_TRUE(list.Draw(c, 1, 1, 2, false));
    }
    EXPECT_EQ(shape(b), ".......\n"
                        ".......\n"
                        ".sss...\n"
                        "..www..\n"
                        ".......\n");
}

TEST(ImageList, AlphaBitmapsMasksAndIcons)
{
    TImageList list(2, 1);
    Bitmap alpha(2, 1, kInk, PixelFormat::pf32bit);
    alpha.scanLine(0)[1] = 0; // transparent
    EXPECT_EQ(list.Add(alpha), 0);
    Bitmap opaque(2, 1, kInk);
    Bitmap mask(2, 1, clBlack);
    mask.setPixel(0, 0, clWhite);
    EXPECT_EQ(list.Add(opaque, &mask), 1);
    Icon icon;
    icon.LoadFromData(encoded(sample(), "ico"));
    EXPECT_EQ(icon.width(), 4);
    EXPECT_EQ(list.AddIcon(icon), 2); // scaled to the list's size
    EXPECT_EQ(list.Image(2).size(), QSize(2, 1));
    EXPECT_EQ(list.Add(Bitmap()), -1);

    Bitmap b(2, 2, kGround);
    {
        Canvas c(b);
        list.Draw(c, 0, 0, 0);
        list.Draw(c, 0, 1, 1);
    }
    EXPECT_EQ(b.pixel(0, 0), kInk);
    EXPECT_EQ(b.pixel(1, 0), kGround);
    EXPECT_EQ(b.pixel(0, 1), kGround);
    EXPECT_EQ(b.pixel(1, 1), kInk);

    EXPECT_EQ(ColorToImageListColor(clNone), CLR_NONE);
    EXPECT_EQ(ColorToImageListColor(clDefault), CLR_DEFAULT);
    EXPECT_EQ(ColorToImageListColor(clWindow), clWhite);
}
