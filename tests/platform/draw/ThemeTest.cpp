#include "platform/draw/Theme.h"

#include "support/DrawChecks.h"
#include "support/QtPrinters.h"

#include <QStyle>
#include <QStyleFactory>
#include <gtest/gtest.h>
#include <memory>

using namespace platform;
using testing_support::samePixels;

namespace {

constexpr Color kGround = rgb(10, 20, 30);

// Draws with the Fusion style and restores the defaults afterwards.
struct FusionTheme {
    std::unique_ptr<QStyle> style{QStyleFactory::create(QStringLiteral("Fusion"))};
    FusionTheme() { SetThemeStyle(style.get()); }
    ~FusionTheme()
    {
        SetThemeStyle(nullptr);
        SetThemeActive(true);
        ThemeApi().InitThemeLibrary();
    }
};

struct Drawn {
    Bitmap bitmap;
    bool result = false;
    int inside = 0;  // changed pixels inside the part's rect
    int outside = 0; // changed pixels outside it
};

Drawn drawPart(const char* cls, int part, int state, const Rect& r, const Rect* clip = nullptr)
{
    Drawn d{Bitmap(60, 44, kGround)};
    {
        Canvas c(d.bitmap);
        const HTHEME h = OpenThemeData(nullptr, QString::fromLatin1(cls));
        EXPECT_NE(h, 0u) << cls;
        d.result = DrawThemeBackground(h, c, part, state, r, clip);
        EXPECT_TRUE(CloseThemeData(h));
    }
    for (int y = 0; y < d.bitmap.height(); ++y)
        for (int x = 0; x < d.bitmap.width(); ++x)
            if (d.bitmap.pixel(x, y) != kGround)
                ++(r.contains(x, y) ? d.inside : d.outside);
    return d;
}

} // namespace

TEST(Theme, EveryPartDrawsInsideItsRectangle)
{
    FusionTheme fusion;
    struct Case {
        const char* cls;
        int part;
        int states;
        Rect rect;
    };
    const Case cases[] = {
        {"button", BP_PUSHBUTTON, 5, {8, 6, 52, 30}},
        {"button", BP_CHECKBOX, 12, {10, 10, 23, 23}},
        {"button", BP_RADIOBUTTON, 8, {10, 10, 23, 23}},
        {"button", BP_GROUPBOX, 1, {5, 5, 50, 40}},
        {"combobox", CP_DROPDOWNBUTTON, 4, {20, 4, 37, 24}},
        {"spin", SPNP_UP, 4, {20, 4, 35, 14}},
        {"spin", SPNP_DOWN, 4, {20, 14, 35, 24}},
        {"spin", SPNP_UPHORZ, 4, {20, 4, 35, 24}},
        {"spin", SPNP_DOWNHORZ, 4, {20, 4, 35, 24}},
        {"header", HP_HEADERITEM, 3, {0, 0, 50, 22}},
        {"header", HP_HEADERITEMLEFT, 3, {0, 0, 50, 22}},
        {"header", HP_HEADERITEMRIGHT, 3, {0, 0, 50, 22}},
        {"header", HP_HEADERSORTARROW, 2, {20, 4, 32, 12}},
        {"progress", PP_BAR, 1, {4, 10, 56, 26}},
        {"progress", PP_BARVERT, 1, {20, 2, 36, 42}},
        {"progress", PP_CHUNK, 1, {6, 12, 40, 24}},
        {"progress", PP_CHUNKVERT, 1, {22, 4, 34, 40}},
        {"progress", PP_FILL, 1, {6, 12, 40, 24}},
        {"progress", PP_FILLVERT, 1, {22, 4, 34, 40}},
    };
    for (const Case& cs : cases)
        for (int state = 1; state <= cs.states; ++state) {
            SCOPED_TRACE(testing::Message() << cs.cls << " part " << cs.part << " state " << state);
            const Drawn d = drawPart(cs.cls, cs.part, state, cs.rect);
            EXPECT_TRUE(d.result);
            EXPECT_GT(d.inside, 0);
            EXPECT_EQ(d.outside, 0);
        }
}

TEST(Theme, StatesLookDifferentAndTheClipHolds)
{
    FusionTheme fusion;
    const Rect box{10, 10, 23, 23};
    const Bitmap unchecked = drawPart("button", BP_CHECKBOX, CBS_UNCHECKEDNORMAL, box).bitmap;
    const Bitmap checked = drawPart("button", BP_CHECKBOX, CBS_CHECKEDNORMAL, box).bitmap;
    const Bitmap mixed = drawPart("button", BP_CHECKBOX, CBS_MIXEDNORMAL, box).bitmap;
    EXPECT_FALSE(samePixels(unchecked, checked));
    EXPECT_FALSE(samePixels(unchecked, mixed));
    EXPECT_FALSE(samePixels(checked, mixed));
    EXPECT_FALSE(samePixels(drawPart("button", BP_RADIOBUTTON, RBS_UNCHECKEDNORMAL, box).bitmap,
                            drawPart("button", BP_RADIOBUTTON, RBS_CHECKEDNORMAL, box).bitmap));
    const Rect button{8, 6, 52, 30};
    EXPECT_FALSE(samePixels(drawPart("button", BP_PUSHBUTTON, PBS_NORMAL, button).bitmap,
                            drawPart("button", BP_PUSHBUTTON, PBS_PRESSED, button).bitmap));
    EXPECT_FALSE(samePixels(drawPart("header", HP_HEADERSORTARROW, HSAS_SORTEDUP, Rect{20, 4, 32, 12}).bitmap,
                            drawPart("header", HP_HEADERSORTARROW, HSAS_SORTEDDOWN, Rect{20, 4, 32, 12}).bitmap));

    const Rect clip{8, 6, 20, 30};
    const Drawn clipped = drawPart("button", BP_PUSHBUTTON, PBS_NORMAL, button, &clip);
    for (int y = 0; y < 44; ++y)
        for (int x = 20; x < 60; ++x)
            ASSERT_EQ(clipped.bitmap.pixel(x, y), kGround) << x << "," << y;

    // Unknown parts and states draw nothing.
    EXPECT_FALSE(drawPart("button", 9, 1, button).result);
    EXPECT_FALSE(drawPart("button", BP_CHECKBOX, 13, box).result);
    EXPECT_FALSE(drawPart("spin", 7, 1, button).result);
}

TEST(Theme, HandlesTheSwitchAndTheLoaderFlag)
{
    FusionTheme fusion;
    EXPECT_TRUE(ThemeApi().Loaded());
    EXPECT_TRUE(IsThemeActive());
    EXPECT_EQ(OpenThemeData(nullptr, QStringLiteral("treeview")), 0u);
    const HTHEME listed = OpenThemeData(nullptr, QStringLiteral("Explorer::TreeView; COMBOBOX"));
    EXPECT_NE(listed, 0u);
    EXPECT_TRUE(CloseThemeData(listed));
    EXPECT_FALSE(CloseThemeData(listed)); // closing twice is harmless
    Bitmap b(10, 10, kGround);
    Canvas c(b);
    EXPECT_FALSE(DrawThemeBackground(listed, c, 1, 1, Rect{0, 0, 10, 10}));

    SetThemeActive(false);
    EXPECT_FALSE(IsThemeActive());
    EXPECT_EQ(OpenThemeData(nullptr, QStringLiteral("button")), 0u);
    SetThemeActive(true);
    ThemeApi().FreeThemeLibrary();
    EXPECT_FALSE(ThemeApi().Loaded());
    EXPECT_EQ(OpenThemeData(nullptr, QStringLiteral("button")), 0u);
    EXPECT_TRUE(ThemeApi().InitThemeLibrary());
    EXPECT_NE(OpenThemeData(nullptr, QStringLiteral("button")), 0u);

    CanvasCallLog log;
    const HTHEME h = OpenThemeData(nullptr, QStringLiteral("spin"));
    DrawThemeBackground(h, c, SPNP_UP, UPS_HOT, Rect{0, 0, 10, 5});
    CloseThemeData(h);
    EXPECT_EQ(log.calls(), QStringList({"DrawThemeBackground spin 1/2 0,0,10,5"}));
}
