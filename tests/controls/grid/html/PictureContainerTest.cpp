// Pictures of the mini-HTML renderer: GIF frames by the byte scan, animation ticks, loading by
// URL from the program's resources and from files, the cache and the named container.
#include "controls/grid/html/HTMLDraw.h"
#include "controls/grid/html/PictureContainer.h"

#include "platform/core/Errors.h"
#include "platform/fs/Files.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace controls::grid;

namespace {

QByteArray dataFile(const char* name) { return testing_support::dataFile(QStringLiteral("html/") + QLatin1String(name)); }

} // namespace

TEST(HTMLPictureTest, GifFramesAreFoundByTheirBlocks)
{
    THTMLPicture four;
    EXPECT_THROW(four.ReadData(QByteArray("GIF8")), platform::EInvalidGraphic);
    EXPECT_FALSE(four.IsGIF());
    EXPECT_EQ(four.FrameCount(), -1);

    const QByteArray gif = dataFile("frames.gif");
    ASSERT_FALSE(gif.isEmpty());
    THTMLPicture p;
    p.LoadFromStream(gif);
    EXPECT_TRUE(p.IsGIF());
    EXPECT_EQ(p.FrameCount(), 3);
    EXPECT_EQ(p.FrameTime(1), 10);
    EXPECT_EQ(p.FrameTime(3), 30);
    EXPECT_EQ(p.FrameTime(4), -1);
    EXPECT_EQ(p.MaxWidth(), 4);
    EXPECT_EQ(p.MaxHeight(), 3);
    EXPECT_EQ(p.FrameXPos(), 0);

    // Frame 2: the header and the bytes from the second block on; its place from its descriptor.
    int changes = 0;
    p.OnFrameChange = [&](THTMLPicture*) { ++changes; };
    p.SetFrame(2);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(p.FrameXPos(), 2);
    EXPECT_EQ(p.FrameYPos(), 1);
    EXPECT_EQ(p.Width(), 1);
    EXPECT_EQ(p.Height(), 1);
    EXPECT_EQ(p.Image().pixel(0, 0), qRgb(0, 0, 0));

    // Next after the last is the first, previous before the first the last.
    p.SetFrame(3);
    p.FrameNext();
    EXPECT_EQ(p.Frame(), 1);
    p.FramePrev();
    EXPECT_EQ(p.Frame(), 3);

    // The data of a GIF says "GIF87a" or "GIF89a".
    THTMLPicture old;
    old.ReadData(QByteArray("GIF87a") + gif.mid(6));
    EXPECT_TRUE(old.IsGIF());
}

TEST(HTMLPictureTest, StepSwitchesFramesByTheirDelays)
{
    THTMLPicture p;
    p.LoadFromStream(dataFile("frames.gif"));
    EXPECT_FALSE(p.Step()); // frames not counted yet
    ASSERT_EQ(p.FrameCount(), 3);
    THTMLPicture q;
    q.LoadFromStream(dataFile("frames.gif"));
    q.FrameCount();
    // Ticks counted from -1: frame 2 when ticks x 10 reach 10, frame 3 when they reach 30.
    std::vector<int> frames;
    for (int tick = -1; tick <= 4; ++tick) {
        q.Step();
        frames.push_back(q.Frame());
    }
    EXPECT_EQ(frames, (std::vector<int>{1, 1, 2, 2, 3, 3}));

    THTMLPictureCache cache;
    THTMLPicture* a = cache.AddPicture();
    a->LoadFromStream(dataFile("frames.gif"));
    a->FrameCount();
    bool any = false;
    for (int i = 0; i < 3; ++i)
        any = cache.Animate() || any;
    EXPECT_TRUE(any);
}

TEST(HTMLPictureTest, LoadsFromResourcesAndFilesByURL)
{
    THTMLPicture res;
    res.LoadFromURL(QStringLiteral("rEs://DOT.PNG"));
    EXPECT_FALSE(res.Empty());
    EXPECT_EQ(res.Width(), 6);
    EXPECT_EQ(res.ID(), QStringLiteral("rEs://DOT.PNG"));

    THTMLPicture none;
    none.LoadFromURL(QStringLiteral("FILE://"));
    EXPECT_TRUE(none.Empty());
    EXPECT_EQ(none.ID(), QStringLiteral("FILE://"));
    none.LoadFromURL(QStringLiteral("RES://nothing.png"));
    EXPECT_TRUE(none.Empty());

    testing_support::TempDir dir;
    const QString path = dir.path() + QStringLiteral("/Pic.gif");
    ASSERT_TRUE(platform::writeWholeFile(path, dataFile("frames.gif")));
    THTMLPicture file;
    file.LoadFromURL(QStringLiteral("file://") + path);
    EXPECT_FALSE(file.Empty());
    EXPECT_TRUE(file.IsGIF());

    // A file that does not decode, or is not there, gives an empty picture and no error.
    ASSERT_TRUE(platform::writeWholeFile(dir.path() + QStringLiteral("/bad.png"), QByteArray("\x89PNG garbage")));
    THTMLPicture bad;
    bad.LoadFromFile(dir.path() + QStringLiteral("/bad.png"));
    EXPECT_TRUE(bad.Empty());
    bad.LoadFromFile(dir.path());
    EXPECT_TRUE(bad.Empty());
    // A stream that does not decode raises.
    EXPECT_THROW(bad.LoadFromStream(QByteArray("junk")), platform::EInvalidGraphic);

    // Other URLs are not fetched.
    THTMLPicture web;
    web.Asynch = false;
    web.LoadFromURL(QStringLiteral("http://example.com/a.png"));
    EXPECT_TRUE(web.Empty());
    EXPECT_EQ(web.ID(), QStringLiteral("http://example.com/a.png"));
    THTMLPicture async;
    async.LoadFromURL(QStringLiteral("http://example.com/a.png"));
    EXPECT_TRUE(async.Busy());
    EXPECT_TRUE(async.ID().isEmpty());
    EXPECT_EQ(async.URL(), QStringLiteral("http://example.com/a.png"));
}

TEST(HTMLPictureTest, CacheFindsByExactIDAndContainerByNameInAnyCase)
{
    THTMLPictureCache cache;
    THTMLPicture* p = cache.AddPicture();
    p->Asynch = false;
    p->LoadFromURL(QStringLiteral("RES://dot.png"));
    EXPECT_EQ(cache.FindPicture(QStringLiteral("RES://dot.png")), p);
    EXPECT_EQ(cache.FindPicture(QStringLiteral("res://dot.png")), nullptr);

    TPictureContainer container;
    container.Items().Add()->Name = QStringLiteral("first");
    TPictureItem* logo = container.Items().Add();
    logo->Name = QStringLiteral("Logo");
    logo->SetPicture(p);
    EXPECT_EQ(container.FindPicture(QStringLiteral("LOGO")), &logo->Picture());
    EXPECT_EQ(container.FindPicture(QStringLiteral("other")), nullptr);
    EXPECT_EQ(logo->Picture().Width(), 6);
    EXPECT_EQ(logo->Picture().SaveToStream(), p->SaveToStream());

    // Assigning nothing clears the data.
    logo->SetPicture(nullptr);
    EXPECT_TRUE(logo->Picture().Empty());
    EXPECT_TRUE(logo->Picture().SaveToStream().isEmpty());
}

TEST(HTMLPictureTest, TheRendererLoadsURLPicturesOnceIntoTheCache)
{
    platform::Bitmap b(100, 40, platform::clWhite);
    platform::Canvas canvas(b);
    THTMLPictureCache cache;
    THTMLDrawParams p;
    p.ImageCache = &cache;
    THTMLDrawResult res;
    HTMLDrawText(canvas, QStringLiteral("<img src=\"res://dot.png\">"), Rect{0, 0, 100, 40}, p, res);
    HTMLDrawText(canvas, QStringLiteral("<IMG SRC=\"res://dot.png\">"), Rect{0, 0, 100, 40}, p, res);
    EXPECT_EQ(cache.Count(), 1);
    EXPECT_EQ(res.TextWidth, 6);
    EXPECT_EQ(b.pixel(1, 0), platform::clRed);
    // A URL that is not loaded takes no room and is asked for once.
    HTMLDrawText(canvas, QStringLiteral("<img src=\"http://host/x.png\">"), Rect{0, 0, 100, 40}, p, res);
    HTMLDrawText(canvas, QStringLiteral("<img src=\"http://host/x.png\">"), Rect{0, 0, 100, 40}, p, res);
    EXPECT_EQ(cache.Count(), 2);
    EXPECT_EQ(res.TextWidth, 0);
}
