// Painting, checked on grabbed pixels: dotted tree lines against the brush origin, the expand
// glyph's place, check images by index, images blended only with focus, the empty-list
// message, themed parts inside their rectangles; and the drawing utilities.
#include "TreeTestSupport.h"

#include "controls/tree/LazyStringTree.h"
#include "controls/tree/LazyTreeUtils.h"
#include "platform/draw/Graphics.h"
#include "platform/draw/PatternBrush.h"
#include "platform/draw/Theme.h"

#include <QApplication>
#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>

using namespace controls;
using namespace treetest;
using platform::Color;
using platform::Rect;

namespace {

// Reaches the hot node for the tests.
class ProbeTree : public TBaseLazyTree {
public:
    void SetHot(PLazyNode node) { FCurrentHotNode = node; }
};

QImage grab(TBaseLazyTree* t) { return t->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32); }

Color at(const QImage& img, int x, int y) { return platform::fromQColor(QColor(img.pixel(x, y))); }

Color rgbOf(Color c) { return platform::colorToRgb(c); }

// A shown tree with themes off (classic glyphs and frames).
template <typename T = ProbeTree>
std::unique_ptr<T> classicTree(int count, int width = 220, int height = 120)
{
    platform::SetThemeActive(false);
    auto tree = std::unique_ptr<T>(TBaseLazyTree::create<T>());
    tree->resize(width, height);
    tree->SetRootNodeCount(uint32_t(count));
    tree->show();
    platform::SetThemeActive(true);
    return tree;
}

} // namespace

TEST(PatternBrush, PixelsFollowTheDeviceOrigin)
{
    QImage img(8, 4, QImage::Format_RGB32);
    img.fill(Qt::white);
    {
        platform::Canvas c(&img);
        platform::FillPatternRect(c, Rect{0, 0, 8, 4}, platform::kDottedPattern, QPoint(0, 0), platform::clBlack,
                                  platform::clWhite);
    }
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(at(img, x, y), (x + y) % 2 == 0 ? platform::clBlack : platform::clWhite) << x << "," << y;
    // Drawn through a translated canvas, the phase stays with the device.
    img.fill(Qt::white);
    {
        platform::Canvas c(&img);
        SetCanvasOrigin(c, 3, 0);
        platform::FillPatternRect(c, Rect{3, 0, 11, 1}, platform::kDottedPattern, QPoint(1, 0), platform::clBlack,
                                  platform::clWhite);
    }
    EXPECT_EQ(at(img, 0, 0), platform::clWhite) << "device 0 is pattern column 7";
    EXPECT_EQ(at(img, 1, 0), platform::clBlack);
}

TEST(TreePainting, DottedLinesKeepTheirParityAcrossRowsAndScrolls)
{
    auto tree = classicTree(30);
    const Color line = rgbOf(tree->Colors().TreeLineColor());
    const Color back = rgbOf(tree->Colors().BackGroundColor());
    // Top-level leaves: the vertical line at x = Indent / 2 = 9 runs through every row.
    for (int scroll : {0, -7, -18, -33}) {
        tree->SetOffsetY(scroll);
        const QImage img = grab(tree.get());
        for (int y = 20; y < 80; ++y) {
            const int absY = y - tree->OffsetY();
            const Color expected = (9 + absY) % 2 == 0 ? line : back;
            ASSERT_EQ(at(img, 9, y), expected) << "scroll " << scroll << " y " << y;
        }
    }
}

TEST(TreePainting, AnyWindowOfTheTreePaintsIntoAnImageAsOnTheScreen)
{
    auto tree = classicTree(30);
    PLazyNode n10 = tree->RootNode()->FirstChild;
    for (int i = 0; i < 10; ++i)
        n10 = n10->NextSibling;
    tree->SetChildCount(n10, 2);
    tree->SetExpanded(n10, true);
    tree->SetSelected(n10->FirstChild, true);
    const int w = tree->ClientWidth();
    const int h = 54;
    // Rows 10 to 12 lie below the client area; painted at (10, 6) into an image.
    QImage img(w + 20, h + 20, QImage::Format_RGB32);
    img.fill(Qt::magenta);
    {
        platform::Canvas canvas(&img);
        tree->PaintTree(canvas, Rect{0, 180, w, 180 + h}, QPoint(10, 6),
                        {poBackground, poColumnColor, poDrawFocusRect, poDrawSelection, poDrawDropMark, poGridLines});
    }
    EXPECT_EQ(img.pixel(5, 3), QColor(Qt::magenta).rgb()) << "nothing outside the target";
    EXPECT_EQ(img.pixel(w + 15, h + 12), QColor(Qt::magenta).rgb());
    tree->SetOffsetY(-180);
    const QImage screen = grab(tree.get());
    int differing = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            differing += img.pixel(x + 10, y + 6) != screen.pixel(x, y);
    EXPECT_EQ(differing, 0);
}

TEST(TreePainting, GlyphSitsAtButtonXAndButtonY)
{
    auto tree = classicTree(3);
    PLazyNode second = tree->RootNode()->FirstChild->NextSibling;
    tree->AddChild(second);
    const QImage img = grab(tree.get());
    const int top = 18;
    const Color frame = rgbOf(tree->Colors().TreeLineColor());
    const Color sign = rgbOf(tree->Colors().NodeFontColor());
    // ButtonX 5, ButtonY 4: a 9 x 9 frame from (5, top + 4) to (13, top + 12).
    EXPECT_EQ(at(img, 5, top + 4), frame);
    EXPECT_EQ(at(img, 13, top + 12), frame);
    EXPECT_EQ(at(img, 13, top + 4), frame);
    EXPECT_NE(at(img, 4, top + 8), frame);
    EXPECT_EQ(at(img, 9, top + 8), sign) << "the plus sign's centre";
    EXPECT_EQ(at(img, 7, top + 8), sign);
    EXPECT_EQ(at(img, 9, top + 6), sign);
    EXPECT_EQ(at(img, 6, top + 5), rgbOf(tree->Colors().BackGroundColor())) << "inside the frame";
}

TEST(TreePainting, CheckImagesByIndex)
{
    auto tree = classicTree(0, 220, 400);
    // 25 images, each one solid colour: the colour painted tells the index.
    platform::TImageList custom(13, 13);
    std::vector<Color> colors;
    for (int i = 0; i < 25; ++i) {
        const Color c = platform::rgb(10 * i, 255 - 10 * i, (37 * i) % 256);
        colors.push_back(c);
        custom.Add(platform::Bitmap(13, 13, c));
    }
    tree->SetCustomCheckImages(&custom);
    tree->SetCheckImageKind(ckCustom);
    tree->TreeOptions().SetMiscOptions(tree->TreeOptions().MiscOptions() + toCheckSupport);
    struct Row {
        TCheckType type;
        TCheckState state;
        bool disabled;
        bool hot;
        int index;
    };
    const Row rows[] = {
        {ctCheckBox, csUncheckedNormal, false, false, 9},   {ctCheckBox, csUncheckedNormal, false, true, 10},
        {ctCheckBox, csUncheckedPressed, false, true, 11},  {ctCheckBox, csCheckedNormal, false, false, 13},
        {ctCheckBox, csCheckedNormal, false, true, 14},     {ctTriStateCheckBox, csMixedNormal, false, false, 17},
        {ctTriStateCheckBox, csMixedPressed, false, false, 19}, {ctRadioButton, csUncheckedNormal, false, true, 2},
        {ctRadioButton, csCheckedPressed, false, false, 7}, {ctButton, csUncheckedNormal, false, false, 21},
        {ctButton, csCheckedPressed, false, false, 23},
        // disabled: 12, 16, 20, 4, 8, 24, and never hot
        {ctCheckBox, csUncheckedNormal, true, true, 12},    {ctCheckBox, csCheckedNormal, true, false, 16},
        {ctTriStateCheckBox, csMixedNormal, true, true, 20}, {ctRadioButton, csUncheckedNormal, true, false, 4},
        {ctRadioButton, csCheckedNormal, true, true, 8},    {ctButton, csUncheckedPressed, true, false, 24},
        {ctCheckBox, csCheckedDisabled, false, false, 16},  {ctRadioButton, csMixedDisabled, false, true, 20},
    };
    std::vector<PLazyNode> nodes;
    for (const Row& r : rows) {
        PLazyNode n = tree->AddChild(nullptr);
        n->CheckType = r.type;
        n->CheckState = r.state;
        if (r.disabled)
            n->States += vsDisabled;
        nodes.push_back(n);
    }
    for (size_t i = 0; i < nodes.size(); ++i) {
        SCOPED_TRACE(i);
        tree->SetHot(rows[i].hot ? nodes[i] : nullptr);
        EXPECT_EQ(tree->GetCheckImage(nodes[i]), rows[i].index);
        const QImage img = grab(tree.get());
        // Margin 4 less one, plus the root's indent: x 21; centred on the row.
        const int top = int(i) * 18;
        EXPECT_EQ(at(img, 21 + 6, top + 9), colors[size_t(rows[i].index)]);
    }
}

TEST(TreePainting, OnlyTopLevelNodeShowsTheShortLine)
{
    auto tree = classicTree(1);
    const QImage img = grab(tree.get());
    const Color line = rgbOf(tree->Colors().TreeLineColor());
    const Color back = rgbOf(tree->Colors().BackGroundColor());
    // ltRight: from Half (9) to the indent (18) at VAlign - 1 = 8, no vertical part.
    EXPECT_EQ(at(img, 9, 8), (9 + 8) % 2 == 0 ? line : back);
    EXPECT_EQ(at(img, 10, 8), (10 + 8) % 2 == 0 ? line : back);
    for (int y : {2, 3, 12, 13})
        EXPECT_EQ(at(img, 9, y), back) << y;
}

TEST(TreePainting, OddIndentsCentreLinesWithTiesToEven)
{
    for (auto [indent, half] : {std::pair{17, 8}, std::pair{19, 10}, std::pair{18, 9}}) {
        auto tree = classicTree(4);
        tree->SetIndent(uint32_t(indent));
        const QImage img = grab(tree.get());
        const Color line = rgbOf(tree->Colors().TreeLineColor());
        // The second row's vertical line: a line pixel at (half, y) for the parity of the row.
        int hits = 0;
        for (int y = 18; y < 36; ++y)
            if (at(img, half, y) == line)
                ++hits;
        EXPECT_EQ(hits, 9) << "indent " << indent;
    }
}

TEST(TreePainting, SelectedImagesAreBlendedOnlyWithFocus)
{
    auto tree = classicTree(2);
    platform::TImageList images(16, 16);
    const Color green = platform::rgb(0, 200, 0);
    images.Add(platform::Bitmap(16, 16, green));
    tree->SetImages(&images);
    tree->OnGetImageIndex = [](TBaseLazyTree*, PLazyNode, TLTImageKind, TColumnIndex, bool&, int& index) { index = 0; };
    PLazyNode first = tree->RootNode()->FirstChild;
    tree->SetSelected(first, true);
    // Images sit after the margin and the root's indent: x 21, 1 pixel above the centre.
    const int x = 21 + 8;
    const int y = 9;
    tree->clearFocus();
    EXPECT_FALSE(tree->Focused());
    EXPECT_EQ(at(grab(tree.get()), x, y), green) << "unfocused: drawn as it is";
    QApplication::setActiveWindow(tree.get());
    tree->setFocus();
    QApplication::processEvents();
    ASSERT_TRUE(tree->Focused());
    EXPECT_NE(at(grab(tree.get()), x, y), green) << "focused: half blended in the selection colour";
    EXPECT_EQ(at(grab(tree.get()), x, y + 18), green) << "an unselected node's image is not blended";
}

// A selected row is filled with the focused selection colour while the tree has the focus and
// with the unfocused one when it has not (a scan window whose tree lost the focus to a button).
TEST(TreePainting, ASelectedRowTakesTheUnfocusedSelectionColourWithoutTheFocus)
{
    auto tree = classicTree(3);
    const Color focusedFill = platform::rgb(0, 0, 160);
    const Color unfocusedFill = platform::rgb(200, 120, 40);
    tree->Colors().SetColor(TLTColors::FocusedSelectionColorIndex, focusedFill);
    tree->Colors().SetColor(TLTColors::FocusedSelectionBorderColorIndex, focusedFill);
    tree->Colors().SetColor(TLTColors::UnfocusedSelectionColorIndex, unfocusedFill);
    tree->Colors().SetColor(TLTColors::UnfocusedSelectionBorderColorIndex, unfocusedFill);
    tree->TreeOptions().SetSelectionOptions({toFullRowSelect});
    PLazyNode second = tree->RootNode()->FirstChild->NextSibling;
    tree->SetSelected(second, true);
    // Row 2 (18 pixels a row), well right of any text.
    const int x = 200;
    const int y = 18 + 9;
    tree->clearFocus();
    ASSERT_FALSE(tree->Focused());
    EXPECT_EQ(rgbOf(at(grab(tree.get()), x, y)), unfocusedFill) << "without the focus";
    EXPECT_NE(rgbOf(at(grab(tree.get()), x, 9)), unfocusedFill) << "an unselected row";
    QApplication::setActiveWindow(tree.get());
    tree->setFocus();
    QApplication::processEvents();
    ASSERT_TRUE(tree->Focused());
    EXPECT_EQ(rgbOf(at(grab(tree.get()), x, y)), focusedFill) << "with the focus";
    tree->clearFocus();
    QApplication::processEvents();
    EXPECT_EQ(rgbOf(at(grab(tree.get()), x, y)), unfocusedFill) << "the focus gone again";
}

TEST(TreePainting, EmptyListMessageIsGrey)
{
    auto tree = classicTree(0);
    tree->SetEmptyListMessage(QStringLiteral("Nothing here yet"));
    const QImage img = grab(tree.get());
    const Color grey = rgbOf(platform::clGrayText);
    int greyPixels = 0;
    int other = 0;
    const Color back = rgbOf(tree->Colors().BackGroundColor());
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const Color c = at(img, x, y);
            if (c == grey) {
                ++greyPixels;
                EXPECT_GE(x, 2);
                EXPECT_GE(y, 2);
            } else if (c != back) {
                ++other;
            }
        }
    EXPECT_GT(greyPixels, 20);
    EXPECT_EQ(other, 0);
}

TEST(TreePainting, ThemedGlyphAndCheckStayInsideTheirRectangles)
{
    // Themes on: the glyph and the check box come from the widget style.
    auto tree = std::unique_ptr<ProbeTree>(TBaseLazyTree::create<ProbeTree>());
    tree->resize(220, 120);
    tree->TreeOptions().SetPaintOptions(tree->TreeOptions().PaintOptions() - toShowTreeLines);
    tree->TreeOptions().SetMiscOptions(tree->TreeOptions().MiscOptions() + toCheckSupport);
    PLazyNode node = tree->AddChild(nullptr);
    tree->show();
    ASSERT_TRUE(tree->TreeStates().contains(tsUseThemes));
    const QImage blank = grab(tree.get());
    tree->AddChild(node);
    node->CheckType = ctCheckBox;
    node->CheckState = csCheckedNormal;
    const QImage drawn = grab(tree.get());
    const Rect glyph{5, 4, 14, 13};
    const int size = tree->CheckImages()->Width();
    const Rect check{21, 9 - size / 2, 21 + size, 9 - size / 2 + size};
    int changedInGlyph = 0;
    int changedInCheck = 0;
    for (int y = 0; y < 18; ++y)
        for (int x = 0; x < 60; ++x) {
            if (drawn.pixel(x, y) == blank.pixel(x, y))
                continue;
            if (glyph.contains(x, y))
                ++changedInGlyph;
            else if (check.contains(x, y))
                ++changedInCheck;
            else
                ADD_FAILURE() << "drawn outside both parts at " << x << "," << y;
        }
    EXPECT_GT(changedInGlyph, 0);
    EXPECT_GT(changedInCheck, 0);
}

// --- the drawing utilities ----------------------------------------------------------------------

TEST(DrawingUtilities, ShortenTextWithEllipsis)
{
    QImage img(1, 1, QImage::Format_RGB32);
    platform::Canvas c(&img);
    c.font().font = QApplication::font();
    const int abc = c.textWidth(QStringLiteral("abc"));
    const int dots = c.textWidth(QStringLiteral("..."));
    struct Row {
        QString text;
        int width;
        int ellipsis;
        QString expected;
    };
    const Row rows[] = {
        {QStringLiteral("abc"), abc + dots, dots, QStringLiteral("abc")},
        {QStringLiteral("abc"), abc + dots - 1, dots, QStringLiteral("ab...")},
        {QStringLiteral("abc"), abc + dots - 1, 0, QStringLiteral("ab...")},
        {QStringLiteral("abc"), dots, dots, QString()},
        {QStringLiteral("abc"), dots - 1, dots, QString()},
        {QString(), 100, dots, QString()},
        {QStringLiteral("abc"), 0, dots, QString()},
    };
    for (const Row& r : rows)
        EXPECT_EQ(ShortenTextWithEllipsis(c, r.text, r.width, r.ellipsis), r.expected) << r.width;
}

TEST(DrawingUtilities, WrapCaptionText)
{
    QImage img(1, 1, QImage::Format_RGB32);
    platform::Canvas c(&img);
    c.font().font = QApplication::font();
    const int alpha = c.textWidth(QStringLiteral("Alpha"));
    struct Row {
        QString caption;
        int width;
        bool reverse;
        QString expected;
    };
    const Row rows[] = {
        {QStringLiteral("Alpha Beta"), alpha, false, QStringLiteral("Alpha\nBeta")},
        {QStringLiteral("Alpha Beta"), 1000, false, QStringLiteral("Alpha Beta")},
        {QStringLiteral("  Alpha  "), 1000, false, QStringLiteral("Alpha")},
        {QStringLiteral("Alpha Beta"), alpha, true, QStringLiteral("Beta\nAlpha")},
        {QString(), 100, false, QString()},
    };
    for (const Row& r : rows)
        EXPECT_EQ(WrapCaptionText(c, r.caption, Rect{0, 0, r.width, 100}, platform::DT_SINGLELINE, r.reverse), r.expected)
            << r.caption.toStdString();
    // A word wider than the line is cut, at least one character per line.
    const QString cut = WrapCaptionText(c, QStringLiteral("Alphabet"), Rect{0, 0, alpha, 100}, platform::DT_SINGLELINE, false);
    EXPECT_TRUE(cut.startsWith(QStringLiteral("Alpha")));
    EXPECT_EQ(QString(cut).remove(QLatin1Char('\n')), QStringLiteral("Alphabet"));
}

// A caption with a word of 64 KiB breaks into lines of what fits, which give the
// word back, and shortens to what fits with "...": measured no further than the width (the
// rest of the word was measured and copied for every line, for hours).
TEST(DrawingUtilities, AVeryLongCaptionWrapsAndShortensInTheTimeOfReadingIt)
{
    QImage img(1, 1, QImage::Format_RGB32);
    platform::Canvas c(&img);
    c.font().font = QApplication::font();
    QString word;
    for (int i = 0; word.size() < 64 * 1024; ++i)
        word += QLatin1Char(char('a' + i % 26));
    const int width = 100;
    for (unsigned format : {unsigned(platform::DT_NOPREFIX), unsigned(platform::DT_SINGLELINE)})
        for (bool reverse : {false, true}) {
            SCOPED_TRACE(::testing::Message() << format << " " << reverse);
            const QStringList lines = WrapCaptionText(c, QStringLiteral("Alpha ") + word, Rect{0, 0, width, 100}, format,
                                                      reverse)
                                          .split(QLatin1Char('\n'));
            ASSERT_GT(lines.size(), 1000);
            EXPECT_EQ(lines.contains(QStringLiteral("Alpha")), true);
            QStringList ordered = lines; // taken from the end with reversed words
            if (reverse)
                std::reverse(ordered.begin(), ordered.end());
            QString joined = ordered.join(QString());
            joined.remove(QStringLiteral("Alpha"));
            EXPECT_EQ(joined, word);
            for (const QString& l : lines)
                ASSERT_LE(c.textWidth(l), width) << l.toStdString();
        }
    const QString shortened = ShortenTextWithEllipsis(c, word, width, 0);
    EXPECT_TRUE(shortened.endsWith(QStringLiteral("...")));
    EXPECT_TRUE(word.startsWith(shortened.chopped(3)));
    EXPECT_LE(c.textWidth(shortened), width);
}

TEST(DrawingUtilities, AlphaBlendRect)
{
    using platform::Bitmap;
    struct Row {
        const char* name;
        TAlphaBlendMode mode;
        int alpha;
        int bias;
        uint32_t source;
        uint32_t dest;
        uint32_t expected;
    };
    const Row rows[] = {
        {"alpha 0 leaves the destination", abmConstantAlpha, 0, 0, 0xFF204060, 0xFF102030, 0xFF102030},
        {"alpha 255: almost the source", abmConstantAlpha, 255, 0, 0xFF204060, 0xFF102030, 0xFF204060 - 0x00000000},
        {"a bias of -50 darkens and clips", abmConstantAlpha, 0, -50, 0xFF000000, 0xFF102080, 0xCD00004E},
        {"per-pixel alpha", abmPerPixelAlpha, 0, 0, 0x80FF0000, 0xFF000000, 0xBF7F0000},
        {"master alpha", abmMasterAlpha, 128, 0, 0x80FF0000, 0xFF000000, 0xDF3F0000},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        Bitmap src(2, 2, platform::clBlack, platform::PixelFormat::pf32bit);
        Bitmap dst(2, 2, platform::clBlack, platform::PixelFormat::pf32bit);
        src.scanLine(0)[0] = r.source;
        dst.scanLine(1)[1] = r.dest;
        AlphaBlendRect(&src, dst, Rect{0, 0, 1, 1}, QPoint(1, 1), r.mode, r.alpha, r.bias);
        const uint32_t got = dst.scanLine(1)[1];
        if (r.alpha == 255)
            for (int b = 0; b < 4; ++b) {
                const int s = int((r.source >> (8 * b)) & 0xFF);
                const int d = int((r.dest >> (8 * b)) & 0xFF);
                EXPECT_EQ(int((got >> (8 * b)) & 0xFF), (d + 255 * s) / 256) << "byte " << b;
            }
        else
            EXPECT_EQ(got, r.expected) << std::hex << got;
    }
    // Constant alpha and colour tints the destination; an empty rectangle does nothing.
    Bitmap dst(2, 1, platform::clWhite, platform::PixelFormat::pf24bit);
    AlphaBlendRect(nullptr, dst, Rect{0, 0, 1, 1}, QPoint(), abmConstantAlphaAndColor, 128, int(platform::clRed));
    EXPECT_EQ(dst.pixel(0, 0), platform::rgb(255, 127, 127));
    EXPECT_EQ(dst.pixel(1, 0), platform::clWhite);
    AlphaBlendRect(nullptr, dst, Rect{1, 0, 1, 1}, QPoint(), abmConstantAlphaAndColor, 128, int(platform::clRed));
    EXPECT_EQ(dst.pixel(1, 0), platform::clWhite);
    // Bottom-up and top-down rows are the same rows here: the result does not depend on the
    // order of the lines.
    EXPECT_EQ(NormalizeRect(Rect{5, 6, 1, 2}), (Rect{1, 2, 5, 6}));
}
