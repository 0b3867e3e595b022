#include "controls/button/KindGlyphs.h"

#include "controls/button/FxButton.h"

#include <cstring>
#include <vector>

namespace controls {

using namespace platform;

namespace {

using Pattern = std::vector<const char*>;

const Pattern kCheck = {
    "..........##",
    ".........###",
    "........###.",
    ".......###..",
    "#.....###...",
    "##...###....",
    "###.###.....",
    ".#####......",
    "..###.......",
    "...#........",
};
const Pattern kCross = {
    "##......##",
    "###....###",
    ".###..###.",
    "..######..",
    "...####...",
    "...####...",
    "..######..",
    ".###..###.",
    "###....###",
    "##......##",
};
const Pattern kQuestion = {
    "..####..",
    ".##..##.",
    ".##..##.",
    ".....##.",
    "....##..",
    "...##...",
    "...##...",
    "........",
    "...##...",
    "...##...",
};
const Pattern kDoor = {
    "#########",
    "#.......#",
    "#.......#",
    "#.....#.#",
    "#.......#",
    "#.......#",
    "#.......#",
    "#########",
};
const Pattern kStop = {
    "..######..",
    ".#......#.",
    "#........#",
    "#.######.#",
    "#.######.#",
    "#........#",
    ".#......#.",
    "..######..",
};
const Pattern kRetry = {
    "...####.#",
    "..#....##",
    ".#....###",
    "#........",
    "#........",
    "#.......#",
    ".#.....#.",
    "..#####..",
};
const Pattern kArrow = {
    ".....#...",
    ".....##..",
    "#######..",
    "########.",
    "#######..",
    ".....##..",
    ".....#...",
};
const Pattern kDoubleCheck = {
    "..........##",
    ".........###",
    "#.......###.",
    "##.....###..",
    "###...###...",
    ".###.###....",
    "..#####.....",
    "...###......",
    "....#.......",
    "..........##",
    ".........###",
    "#.......###.",
    "##.....###..",
    "###...###...",
    ".###.###....",
    "..#####.....",
    "...###......",
};

void stamp(Bitmap& b, int left, int height, const Pattern& p, Color c, int dx, int dy)
{
    const int ph = int(p.size());
    const int pw = ph ? int(std::strlen(p[0])) : 0;
    const int ox = left + (18 - pw) / 2 + dx;
    const int oy = (height - ph) / 2 + dy;
    for (int y = 0; y < ph; ++y)
        for (int x = 0; p[y][x]; ++x)
            if (p[y][x] == '#')
                b.setPixel(ox + x, oy + y, c);
}

} // namespace

Bitmap kindGlyph(TFxButtonKind kind)
{
    const Pattern* pattern = nullptr;
    Color color = clBlack;
    int height = 18;
    switch (kind) {
    case TFxButtonKind::bkCustom: return Bitmap();
    case TFxButtonKind::bkOK: pattern = &kCheck; color = rgb(0, 128, 0); break;
    case TFxButtonKind::bkCancel: pattern = &kCross; color = rgb(255, 0, 0); break;
    case TFxButtonKind::bkHelp: pattern = &kQuestion; color = rgb(0, 0, 255); break;
    case TFxButtonKind::bkYes: pattern = &kCheck; color = rgb(0, 128, 0); break;
    case TFxButtonKind::bkNo: pattern = &kCross; color = rgb(128, 0, 0); break;
    case TFxButtonKind::bkClose: pattern = &kDoor; color = rgb(128, 128, 0); break;
    case TFxButtonKind::bkAbort: pattern = &kStop; color = rgb(255, 0, 0); break;
    case TFxButtonKind::bkRetry: pattern = &kRetry; color = rgb(0, 128, 128); break;
    case TFxButtonKind::bkIgnore: pattern = &kArrow; color = rgb(0, 0, 128); break;
    case TFxButtonKind::bkAll: pattern = &kDoubleCheck; color = rgb(0, 128, 0); height = 19; break;
    }
    Bitmap b(36, height, clFuchsia);
    stamp(b, 0, height, *pattern, color, 0, 0);
    // Disabled look: engraved grey.
    stamp(b, 18, height, *pattern, clWhite, 1, 1);
    stamp(b, 18, height, *pattern, rgb(128, 128, 128), 0, 0);
    return b;
}

} // namespace controls
