// The line layout of drawText against the plain way of laying text out, which measures every
// candidate line from its start (kept here as the reference), and on texts far too long for the
// plain way: a word of a megabyte must lay out and draw in about the time of reading it.
#include "platform/draw/Canvas.h"
#include "platform/draw/TextFit.h"

#include "support/DrawChecks.h"
#include "support/QtPrinters.h"

#include <QFontMetrics>
#include <QPainter>
#include <gtest/gtest.h>
#include <random>

using namespace platform;
using testing_support::inkBox;
using testing_support::InkBox;
using testing_support::samePixels;
using testing_support::testFont;

namespace {

constexpr Color kGround = rgb(255, 255, 255);
constexpr Color kInk = rgb(0, 0, 0);

// --- the reference: every prefix measured from the line's start ---------------------------------

struct RefMeasure {
    const QFontMetrics& fm;
    bool expandTabs = false;
    int tabWidth = 8;
    int width(const QString& s) const
    {
        if (!expandTabs || !s.contains(QLatin1Char('\t')))
            return fm.horizontalAdvance(s);
        int x = 0;
        qsizetype start = 0;
        for (;;) {
            const qsizetype tab = s.indexOf(QLatin1Char('\t'), start);
            x += fm.horizontalAdvance(s.mid(start, (tab < 0 ? s.size() : tab) - start));
            if (tab < 0)
                return x;
            x = (x / tabWidth + 1) * tabWidth;
            start = tab + 1;
        }
    }
};

bool isBlank(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); }

QString refRemovePrefixes(const QString& text)
{
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != QLatin1Char('&')) {
            out += text[i];
            continue;
        }
        if (i + 1 >= text.size())
            break;
        out += text[++i];
    }
    return out;
}

QString refElide(const QString& text, int width, const RefMeasure& m, bool always)
{
    const QString dots = QStringLiteral("...");
    if (!always && m.width(text) <= width)
        return text;
    if (always && m.width(text + dots) <= width)
        return text + dots;
    qsizetype lo = 0, hi = text.size();
    while (lo < hi) {
        const qsizetype mid = (lo + hi + 1) / 2;
        if (m.width(text.left(mid) + dots) <= width)
            lo = mid;
        else
            hi = mid - 1;
    }
    if (lo > 0 && text[lo - 1].isHighSurrogate())
        --lo;
    return text.left(lo) + dots;
}

QStringList refLayout(const QString& text, unsigned flags, int width, const RefMeasure& m)
{
    const QString shown = (flags & DT_NOPREFIX) ? text : refRemovePrefixes(text);
    QStringList lines;
    if (flags & DT_SINGLELINE) {
        QString line = shown;
        line.remove(QLatin1Char('\r'));
        line.remove(QLatin1Char('\n'));
        return {line};
    }
    const bool wrap = flags & DT_WORDBREAK;
    const bool breakWords = flags & DT_EDITCONTROL;
    qsizetype paraStart = 0;
    const qsizetype total = shown.size();
    while (paraStart <= total) {
        qsizetype paraEnd = paraStart;
        while (paraEnd < total && shown[paraEnd] != QLatin1Char('\r') && shown[paraEnd] != QLatin1Char('\n'))
            ++paraEnd;
        const QString para = shown.mid(paraStart, paraEnd - paraStart);
        if (!wrap || para.isEmpty()) {
            lines << para;
        } else {
            const qsizetype n = para.size();
            qsizetype pos = 0;
            while (pos < n) {
                qsizetype end = -1, next = -1;
                for (qsizetype j = pos; j < n;) {
                    qsizetype k = j;
                    while (k < n && !isBlank(para[k]))
                        ++k;
                    qsizetype after = k;
                    while (after < n && isBlank(para[after]))
                        ++after;
                    if (k > j) {
                        if (m.width(para.mid(pos, k - pos)) > width)
                            break;
                        end = k;
                        next = after;
                    }
                    j = after;
                }
                if (end < 0) {
                    qsizetype k = pos;
                    while (k < n && isBlank(para[k]))
                        ++k;
                    while (k < n && !isBlank(para[k]))
                        ++k;
                    if (breakWords) {
                        qsizetype c = pos + 1;
                        while (c < k && m.width(para.mid(pos, c + 1 - pos)) <= width)
                            ++c;
                        if (c < n && para[c].isLowSurrogate())
                            ++c;
                        end = next = c;
                    } else {
                        end = next = k;
                    }
                }
                lines << para.mid(pos, end - pos);
                while (next < n && isBlank(para[next]))
                    ++next;
                pos = next;
            }
        }
        if (paraEnd >= total)
            break;
        paraStart = paraEnd + ((shown[paraEnd] == QLatin1Char('\r') && paraEnd + 1 < total && shown[paraEnd + 1] == QLatin1Char('\n')) ? 2 : 1);
        if (paraStart == total)
            break;
    }
    return lines;
}

// The lines shown in r: whole lines only with an ellipsis or like an edit control, the ellipses.
QStringList refShown(const QString& text, const Rect& r, unsigned flags, const RefMeasure& m, int lineHeight)
{
    QStringList lines = refLayout(text, flags, r.width(), m);
    const bool single = flags & DT_SINGLELINE;
    qsizetype shown = lines.size();
    if (!single && !(flags & DT_NOCLIP) && (flags & (DT_EDITCONTROL | DT_END_ELLIPSIS))) {
        qsizetype whole = 0;
        while (whole < lines.size() && r.top + int(whole + 1) * lineHeight <= r.bottom)
            ++whole;
        shown = std::max<qsizetype>(1, whole);
    }
    if (flags & DT_END_ELLIPSIS)
        for (qsizetype i = 0; i < shown; ++i)
            lines[i] = refElide(lines[i], r.width(), m,
                                i + 1 == shown && shown < lines.size() && (flags & DT_WORDBREAK));
    return lines.mid(0, shown);
}

// --- texts of every kind -----------------------------------------------------------------------

QString randomText(std::mt19937& rng)
{
    // Pieces with kerning pairs, ligatures, wide and narrow letters, prefixes, combining marks,
    // a surrogate pair and characters outside Latin-1.
    static const QStringList pieces = {
        "a", "b", "e", "o", "AV", "To", "Wa", "ff", "fi", "lj", "W", "M", "i", "l", "1", "9", ".", ",", "-",
        "&", "&&", QString::fromUtf8("\xC3\x84"), QString::fromUtf8("e\xCC\x81"), QString::fromUtf8("\xF0\x9F\x98\x80"),
        QString::fromUtf8("\xE6\x97\xA5\xE6\x9C\xAC"), QString::fromUtf8("\xC3\x9F")};
    static const QStringList blanks = {" ", " ", " ", " ", "  ", "\t", " \t ", "\n", "\r\n", "\r"};
    auto pick = [&](int n) { return int(std::uniform_int_distribution<int>(0, n - 1)(rng)); };
    QString text;
    const int words = 1 + pick(30);
    for (int w = 0; w < words; ++w) {
        if (w > 0 || pick(8) == 0)
            text += blanks[pick(int(blanks.size()))];
        const int length = pick(20) == 0 ? 30 + pick(90) : 1 + pick(10);
        for (int p = 0; p < length; ++p)
            text += pieces[pick(int(pieces.size()))];
    }
    if (pick(8) == 0)
        text += blanks[pick(int(blanks.size()))];
    return text;
}

struct TextCanvas {
    Bitmap bitmap;
    Canvas canvas;
    explicit TextCanvas(int w = 400, int h = 60)
        : bitmap(w, h, kGround)
        , canvas(bitmap)
    {
        canvas.font() = Font{testFont(), kInk};
        canvas.brush().style = BrushStyle::Clear;
    }
};

QFont drawingFont()
{
    QFont f = testFont();
    f.setStyleStrategy(QFont::NoAntialias);
    return f;
}

} // namespace

// Line breaks, ellipses and measured sizes are those of measuring every candidate line from its
// start, on a few thousand texts, widths and flag sets.
TEST(TextLayout, BreaksAndEllipsesAgreeWithMeasuringEveryLineFromItsStart)
{
    TextCanvas t;
    Canvas& c = t.canvas;
    const QFontMetrics fm(drawingFont(), c.painter().device());
    const int lineHeight = fm.height();
    const unsigned flagSets[] = {
        DT_WORDBREAK,
        DT_WORDBREAK | DT_EDITCONTROL,
        DT_WORDBREAK | DT_EDITCONTROL | DT_EXPANDTABS | DT_NOPREFIX,
        DT_WORDBREAK | DT_END_ELLIPSIS,
        DT_WORDBREAK | DT_EDITCONTROL | DT_END_ELLIPSIS | DT_NOPREFIX,
        DT_WORDBREAK | DT_EXPANDTABS,
        DT_SINGLELINE | DT_END_ELLIPSIS,
        DT_SINGLELINE | DT_END_ELLIPSIS | DT_EXPANDTABS | DT_NOPREFIX,
        0,
    };
    std::mt19937 rng(20240611);
    int compared = 0;
    for (int i = 0; i < 200; ++i) {
        const QString text = randomText(rng);
        const int width = std::uniform_int_distribution<int>(1, 260)(rng);
        const int height = std::uniform_int_distribution<int>(1, 8 * lineHeight)(rng);
        for (unsigned flags : flagSets) {
            SCOPED_TRACE(::testing::Message() << "text \"" << text.toStdString() << "\" width " << width << " height "
                                              << height << " flags $" << std::hex << flags);
            const RefMeasure m{fm, (flags & DT_EXPANDTABS) != 0, 8 * std::max(1, fm.averageCharWidth())};
            const Rect r{3, 5, 3 + width, 5 + height};
            ASSERT_EQ(c.drawnLines(text, r, flags), refShown(text, r, flags, m, lineHeight));

            // The measured size: the widest line, and a line height per line.
            const QStringList all = refLayout(text, flags & ~DT_END_ELLIPSIS, width, m);
            int widest = 0;
            for (const QString& l : all)
                widest = std::max(widest, m.width(l));
            Rect calc = r;
            ASSERT_EQ(c.drawText(text, calc, (flags & ~DT_END_ELLIPSIS) | DT_CALCRECT), int(all.size()) * lineHeight);
            ASSERT_EQ(calc.width(), widest);
            ++compared;
        }
    }
    EXPECT_EQ(compared, 200 * int(std::size(flagSets)));
}

// How much fits and the cut with "..." agree with trying every prefix, for texts short and long.
TEST(TextLayout, FitAndElideAgreeWithTryingEveryPrefix)
{
    const TextFit fit(drawingFont());
    const QFontMetrics& fm = fit.metrics();
    std::mt19937 rng(7);
    for (int i = 0; i < 200; ++i) {
        const QString text = randomText(rng);
        const int limit = std::uniform_int_distribution<int>(-2, 400)(rng);
        SCOPED_TRACE(::testing::Message() << "text \"" << text.toStdString() << "\" limit " << limit);
        qsizetype expected = 0;
        while (expected < text.size() && fm.horizontalAdvance(text.left(expected + 1)) <= limit)
            ++expected;
        ASSERT_EQ(fit.fit(text, limit), expected);
        const RefMeasure m{fm};
        ASSERT_EQ(fit.elide(text, limit), refElide(text, limit, m, false));
        ASSERT_EQ(fit.elide(text, limit, true), refElide(text, limit, m, true));
        const int w = fm.horizontalAdvance(text);
        ASSERT_EQ(fit.width(text), w);
        if (w <= limit)
            ASSERT_EQ(fit.widthUpTo(text, limit), w);
        else
            ASSERT_GT(fit.widthUpTo(text, limit), limit);
    }
}

// A word of a quarter megabyte: broken like an edit control it makes lines of what fits, which
// give the word back; whole, it is one line as wide as the word; cut with "..." it is what fits.
// Each laid out in about the time of reading the word (measuring the rest of the word for every
// line took hours).
TEST(TextLayout, AVeryLongWordLaysOutIntoTheLinesThatHoldIt)
{
    TextCanvas t;
    Canvas& c = t.canvas;
    QString word;
    for (int i = 0; word.size() < 256 * 1024; ++i)
        word += QLatin1Char(char('a' + i % 26));
    const int width = 120;

    const QStringList lines = c.drawnLines(word, Rect{0, 0, width, 1 << 30}, DT_WORDBREAK | DT_EDITCONTROL);
    ASSERT_GT(lines.size(), 1000);
    EXPECT_EQ(lines.join(QString()), word);
    for (const QString& l : {lines.first(), lines[lines.size() / 2], lines[lines.size() - 2]}) {
        EXPECT_LE(c.textWidth(l), width);
        EXPECT_GT(c.textWidth(l + QLatin1Char('a')), width - c.textWidth(QStringLiteral("m")));
    }
    Rect calc{0, 0, width, 0};
    EXPECT_EQ(c.drawText(word, calc, DT_WORDBREAK | DT_EDITCONTROL | DT_CALCRECT),
              int(lines.size()) * QFontMetrics(drawingFont()).height());

    Rect whole{0, 0, width, 0};
    c.drawText(word, whole, DT_WORDBREAK | DT_CALCRECT);
    EXPECT_EQ(whole.width(), c.textWidth(word));
    EXPECT_GT(whole.width(), 100 * width);

    const QStringList cut = c.drawnLines(word, Rect{0, 0, width, 20}, DT_SINGLELINE | DT_END_ELLIPSIS);
    ASSERT_EQ(cut.size(), 1);
    EXPECT_TRUE(cut[0].endsWith(QStringLiteral("...")));
    EXPECT_TRUE(word.startsWith(cut[0].chopped(3)));
    EXPECT_LE(c.textWidth(cut[0]), width);
    EXPECT_GT(c.textWidth(word.left(cut[0].size() - 2) + QStringLiteral("...")), width);

    // Only as many lines as show are laid out for drawing, and counted when asked.
    EXPECT_EQ(c.textLineCount(word, width, DT_WORDBREAK | DT_EDITCONTROL, 2), 2);
    EXPECT_EQ(c.textLineCount(QStringLiteral("short"), width, DT_WORDBREAK | DT_EDITCONTROL, 2), 1);
    EXPECT_GT(c.textWidth(word, width), width);
    EXPECT_EQ(c.textWidth(QStringLiteral("short"), width), c.textWidth(QStringLiteral("short")));
}

// A long line that runs past its rect is drawn only where it shows; what shows is what drawing
// it whole shows (drawn whole without clipping, in a rect as large as the bitmap).
TEST(TextLayout, ALongLineShowsWhatDrawingItWholeShows)
{
    QString text;
    for (int i = 0; text.size() < 300000; ++i)
        text += QStringLiteral("Word%1 ").arg(i);
    auto draw = [&](const QString& s, unsigned flags) {
        auto t = std::make_unique<TextCanvas>();
        Rect r{0, 0, t->bitmap.width(), t->bitmap.height()};
        t->canvas.drawText(s, r, flags);
        return t;
    };
    auto sameAsWhole = [&](const QString& s, unsigned flags) {
        const auto part = draw(s, flags);
        return !inkBox(part->bitmap, kInk).empty() && samePixels(part->bitmap, draw(s, flags | DT_NOCLIP)->bitmap);
    };
    // Left-aligned: the line's start; with tabs the text after each tab starts at its stop.
    EXPECT_TRUE(sameAsWhole(text, DT_SINGLELINE | DT_NOPREFIX));
    EXPECT_TRUE(sameAsWhole(text, DT_SINGLELINE | DT_VCENTER));
    EXPECT_TRUE(sameAsWhole(QStringLiteral("a\tb\tc\t") + text, DT_SINGLELINE | DT_EXPANDTABS));
    EXPECT_TRUE(sameAsWhole(QString(text).replace(QLatin1Char(' '), QLatin1Char('\t')), DT_SINGLELINE | DT_EXPANDTABS));
    EXPECT_TRUE(sameAsWhole(QString(text).remove(QLatin1Char(' ')), DT_WORDBREAK));
    // Right-to-left letters run from right to left even in a left-to-right line: what shows at
    // the left of a long run of them is its end, so such a line is drawn whole.
    QString hebrew;
    for (int i = 0; hebrew.size() < 3000; ++i)
        hebrew += QChar(0x05D0 + i % 27);
    EXPECT_TRUE(sameAsWhole(hebrew + text, DT_SINGLELINE));
    EXPECT_TRUE(sameAsWhole(text, DT_SINGLELINE | DT_RTLREADING));

    // Centred or right-aligned, some of the line shows across the whole rect.
    for (unsigned flags : {DT_SINGLELINE | DT_CENTER, DT_SINGLELINE | DT_RIGHT}) {
        const auto t = draw(text, flags);
        const InkBox box = inkBox(t->bitmap, kInk);
        ASSERT_FALSE(box.empty());
        EXPECT_LT(box.left, 20);
        EXPECT_GT(box.right, t->bitmap.width() - 20);
    }
}
