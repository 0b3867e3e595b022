#include "platform/draw/Frames.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {

constexpr Color kGround = rgb(10, 20, 30);

// Pixels as letters: w white (window, highlight), f face, s shadow, d dark shadow, l 3-D light,
// k black (text), m window frame, '.' untouched, '?' anything else.
std::string picture(const Bitmap& b)
{
    std::string out;
    for (int y = 0; y < b.height(); ++y) {
        for (int x = 0; x < b.width(); ++x) {
            const Color p = b.pixel(x, y);
            char ch = '?';
            if (p == kGround)
                ch = '.';
            else if (p == colorToRgb(clWindow))
                ch = 'w';
            else if (p == colorToRgb(clBtnFace))
                ch = 'f';
            else if (p == colorToRgb(clBtnShadow))
                ch = 's';
            else if (p == colorToRgb(cl3DDkShadow))
                ch = 'd';
            else if (p == colorToRgb(cl3DLight))
                ch = 'l';
            else if (p == clBlack)
                ch = 'k';
            else if (p == colorToRgb(clWindowFrame))
                ch = 'm';
            out += ch;
        }
        out += '\n';
    }
    return out;
}

Bitmap frame(int w, int h, unsigned type, unsigned state, Rect* adjusted = nullptr)
{
    Bitmap b(w, h, kGround);
    Canvas c(b);
    Rect r{0, 0, w, h};
    EXPECT_TRUE(DrawFrameControl(c, r, type, state));
    if (adjusted)
        *adjusted = r;
    return b;
}

} // namespace

TEST(DrawEdge, SideColoursByEdgeAndFlags)
{
    struct Case {
        unsigned edge, flags;
        const char* picture;
    };
    const Case cases[] = {
        {EDGE_RAISED, BF_RECT, "llllld\n"
                               "lwwwsd\n"
                               "lw..sd\n"
                               "lssssd\n"
                               "dddddd\n"},
        {EDGE_RAISED, BF_RECT | BF_SOFT, "wwwwwd\n"
                                         "wlllsd\n"
                                         "wl..sd\n"
                                         "wssssd\n"
                                         "dddddd\n"},
        {EDGE_SUNKEN, BF_RECT, "sssssw\n"
                               "sdddlw\n"
                               "sd..lw\n"
                               "sllllw\n"
                               "wwwwww\n"},
        {EDGE_ETCHED, BF_RECT, "sssssw\n"
                               "swwwsw\n"
                               "sw..sw\n"
                               "sssssw\n"
                               "wwwwww\n"},
        {BDR_SUNKENOUTER, BF_TOP | BF_LEFT, "ssssss\n"
                                            "s.....\n"
                                            "s.....\n"
                                            "s.....\n"
                                            "s.....\n"},
        {BDR_RAISEDINNER, BF_BOTTOM | BF_RIGHT, ".....s\n"
                                                ".....s\n"
                                                ".....s\n"
                                                ".....s\n"
                                                "ssssss\n"},
        {EDGE_RAISED, BF_RECT | BF_FLAT | BF_MIDDLE, "ssssss\n"
                                                     "sffffs\n"
                                                     "sffffs\n"
                                                     "sffffs\n"
                                                     "ssssss\n"},
        {EDGE_SUNKEN, BF_RECT | BF_MONO, "mmmmmm\n"
                                         "mwwwwm\n"
                                         "mw..wm\n"
                                         "mwwwwm\n"
                                         "mmmmmm\n"},
    };
    for (const Case& cs : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << cs.edge << "/" << cs.flags);
        Bitmap b(6, 5, kGround);
        {
            Canvas c(b);
            Rect r{0, 0, 6, 5};
            EXPECT_TRUE(DrawEdge(c, r, cs.edge, cs.flags));
            EXPECT_EQ(r, (Rect{0, 0, 6, 5})); // no BF_ADJUST: the rect stays
        }
        EXPECT_EQ(picture(b), std::string(cs.picture));
    }
}

TEST(DrawEdge, AdjustAndMiddle)
{
    struct Case {
        unsigned edge, flags;
        Rect left;
    };
    const Case cases[] = {
        {EDGE_SUNKEN, BF_RECT | BF_ADJUST, {2, 2, 4, 3}},
        {BDR_SUNKENOUTER, BF_RECT | BF_ADJUST, {1, 1, 5, 4}},
        {EDGE_RAISED, BF_TOPLEFT | BF_ADJUST, {2, 2, 6, 5}},
        {BDR_RAISEDINNER, BF_BOTTOM | BF_ADJUST, {0, 0, 6, 4}},
    };
    for (const Case& cs : cases) {
        Bitmap b(6, 5, kGround);
        Canvas c(b);
        Rect r{0, 0, 6, 5};
        EXPECT_TRUE(DrawEdge(c, r, cs.edge, cs.flags));
        EXPECT_EQ(r, cs.left);
    }
    Bitmap b(6, 5, kGround);
    {
        Canvas c(b);
        Rect r{0, 0, 6, 5};
        EXPECT_TRUE(DrawEdge(c, r, EDGE_SUNKEN, BF_RECT | BF_MIDDLE));
        Rect d{0, 0, 6, 5};
        EXPECT_FALSE(DrawEdge(c, d, EDGE_SUNKEN, BF_DIAGONAL | BF_TOP));
    }
    EXPECT_EQ(b.pixel(2, 2), colorToRgb(clBtnFace));
    EXPECT_EQ(b.pixel(3, 2), colorToRgb(clBtnFace));
}

TEST(FrameControl, ThirteenByThirteenCheckBox)
{
    EXPECT_EQ(picture(frame(13, 13, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED)),
              "ssssssssssssw\n"
              "sddddddddddlw\n"
              "sdwwwwwwwwwlw\n"
              "sdwwwwwwwkwlw\n"
              "sdwwwwwwkkwlw\n"
              "sdwkwwwkkkwlw\n"
              "sdwkkwkkkwwlw\n"
              "sdwkkkkkwwwlw\n"
              "sdwwkkkwwwwlw\n"
              "sdwwwkwwwwwlw\n"
              "sdwwwwwwwwwlw\n"
              "slllllllllllw\n"
              "wwwwwwwwwwwww\n");
    // Unchecked: the empty box; inactive: grey mark on the face; three-state: grey on the face.
    const std::string unchecked = picture(frame(13, 13, DFC_BUTTON, DFCS_BUTTONCHECK));
    EXPECT_EQ(unchecked.find('k'), std::string::npos);
    EXPECT_EQ(unchecked.substr(14 * 6, 14), "sdwwwwwwwwwlw\n");
    EXPECT_EQ(picture(frame(13, 13, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED | DFCS_INACTIVE)).substr(14 * 6, 14),
              "sdfssfsssfflw\n");
    EXPECT_EQ(picture(frame(13, 13, DFC_BUTTON, DFCS_BUTTON3STATE | DFCS_CHECKED)).substr(14 * 6, 14), "sdfssfsssfflw\n");
    // Flat: a one-pixel shadow frame round a white box.
    const std::string flat = picture(frame(13, 13, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_FLAT));
    EXPECT_EQ(flat.substr(0, 14), "sssssssssssss\n");
    EXPECT_EQ(flat.substr(14, 14), "swwwwwwwwwwws\n");
    // A wider rect: the square is centred.
    const std::string wide = picture(frame(17, 13, DFC_BUTTON, DFCS_BUTTONCHECK));
    EXPECT_EQ(wide.substr(0, 18), "..ssssssssssssw..\n");
}

TEST(FrameControl, RadioPushAndArrows)
{
    const std::string radio = picture(frame(12, 12, DFC_BUTTON, DFCS_BUTTONRADIO | DFCS_CHECKED));
    EXPECT_EQ(radio.substr(0, 13), "....ssss....\n");                     // the top of the ring
    EXPECT_EQ(radio[13 * 5 + 5], 'k');                                     // the dot in the middle
    EXPECT_EQ(radio[13 * 11 + 6], 'w');                                    // the bottom of the ring: highlight
    EXPECT_EQ(radio[0], '.');                                              // corners stay
    EXPECT_EQ(picture(frame(12, 12, DFC_BUTTON, DFCS_BUTTONRADIO)).find('k'), std::string::npos);

    Rect inside;
    const std::string push = picture(frame(8, 6, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT, &inside));
    EXPECT_EQ(push, "wwwwwwwd\n"
                    "wlllllsd\n"
                    "wlffffsd\n"
                    "wlffffsd\n"
                    "wssssssd\n"
                    "dddddddd\n");
    EXPECT_EQ(inside, (Rect{2, 2, 6, 4}));
    EXPECT_EQ(picture(frame(8, 6, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_PUSHED)), "dddddddd\n"
                                                                          "dssssssd\n"
                                                                          "dsffffsd\n"
                                                                          "dsffffsd\n"
                                                                          "dssssssd\n"
                                                                          "dddddddd\n");

    // The combo box arrow: 7 wide and 4 high, centred in a 16 x 16 face.
    const std::string combo = picture(frame(16, 16, DFC_SCROLL, DFCS_SCROLLCOMBOBOX));
    EXPECT_EQ(combo.substr(17 * 5 + 3, 9), "fffffffff");
    EXPECT_EQ(combo.substr(17 * 6 + 3, 9), "fkkkkkkkf");
    EXPECT_EQ(combo.substr(17 * 7 + 4, 7), "fkkkkkf");
    EXPECT_EQ(combo.substr(17 * 8 + 5, 5), "fkkkf");
    EXPECT_EQ(combo.substr(17 * 9 + 6, 3), "fkf");
    EXPECT_EQ(combo.substr(17 * 10 + 3, 9), "fffffffff");
    // Up points the other way; inactive arrows are grey with a white shadow.
    const std::string up = picture(frame(16, 16, DFC_SCROLL, DFCS_SCROLLUP));
    EXPECT_EQ(up.substr(17 * 6 + 6, 3), "fkf");
    EXPECT_EQ(up.substr(17 * 9 + 3, 9), "fkkkkkkkf");
    const std::string inactive = picture(frame(16, 16, DFC_SCROLL, DFCS_SCROLLDOWN | DFCS_INACTIVE));
    EXPECT_EQ(inactive.find('k'), std::string::npos);
    EXPECT_EQ(inactive.substr(17 * 6 + 4, 7), "sssssss");
    EXPECT_EQ(inactive.substr(17 * 7 + 9, 3), "sww");

    Bitmap b(4, 4, kGround);
    Canvas c(b);
    Rect r{0, 0, 4, 4};
    EXPECT_FALSE(DrawFrameControl(c, r, DFC_CAPTION, 0));
    EXPECT_FALSE(DrawFrameControl(c, r, DFC_SCROLL, 8));
}
