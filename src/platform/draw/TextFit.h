#pragma once
// Measuring text in time that grows with what a question needs, not with the whole text: the
// width of a piece of text, how much of a text fits in a width, and a text cut to fit with "..."
// after it. A user's file can hold a word of a megabyte while a cell, a caption or a hint shows
// one line of it; measuring the whole word for every line, or every shorter prefix in turn, froze
// the program for minutes.
//
// A width is QFontMetrics::horizontalAdvance of the piece; with tabs expanded, a tab moves to the
// next multiple of the tab width from the piece's start. To find how much fits, the characters'
// own advances (kept per character, so a long text costs one pass of table look-ups) estimate
// the place, and the exact widths of a few prefixes around it decide. The answers are those of
// trying every prefix in turn, since a longer prefix is never narrower than a shorter one.
#include <QFont>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QHash>
#include <QString>
#include <QStringView>
#include <array>

class QPaintDevice;

namespace platform {

class TextFit {
public:
    explicit TextFit(const QFont& font, const QPaintDevice* device = nullptr);

    // Tabs move to the next multiple of tabWidth (pixels) instead of being measured as glyphs.
    void setTabs(bool expand, int tabWidth);
    bool expandsTabs() const { return m_expandTabs; }
    int tabWidth() const { return m_tabWidth; }
    const QFontMetrics& metrics() const { return m_fm; }

    // The width of s (with tabs expanded when set). A very long text is measured piece by
    // piece, so its cost is linear in its length.
    int width(QStringView s) const;
    // width(s) when it is at most `limit`; otherwise some value above `limit`, found without
    // measuring more of s than fits in about twice the limit.
    int widthUpTo(QStringView s, int limit) const;
    bool fits(QStringView s, int limit) const { return widthUpTo(s, limit) <= limit; }

    // The largest number of UTF-16 units of s, from its start, whose width with `suffix` after
    // them is at most `limit` (0 when not even one fits). May end inside a surrogate pair.
    qsizetype fit(QStringView s, int limit, QStringView suffix = {}) const;

    // s when it fits in `limit` (and `always` is false); else the longest prefix, not ending
    // inside a surrogate pair, that fits with "..." after it, and the "..."; "..." alone when
    // nothing fits. With `always` the "..." follows s even when all of s fits.
    QString elide(QStringView s, int limit, bool always = false) const;

    // The estimated advance from the start of s to the end of its unit `i` (tabs expanded when
    // set), summed from the characters' own advances: close to width() but not equal to it.
    // Steps over s from `from` (whose estimated position is `x`) and returns the position of
    // the end of unit `to - 1`.
    qreal estimate(QStringView s, qsizetype from, qsizetype to, qreal x = 0) const;
    // The advance of one character (a surrogate pair counts at its first unit, its second
    // unit adds nothing).
    qreal advanceOf(QStringView s, qsizetype i) const;

private:
    int exactWidth(QStringView s) const;
    int exactWidthWith(QStringView s, QStringView suffix) const;
    qreal tabStop(qreal x) const;

    QFontMetrics m_fm;
    QFontMetricsF m_fmf;
    bool m_expandTabs = false;
    int m_tabWidth = 8;
    mutable std::array<qreal, 256> m_latin;
    mutable QHash<char32_t, qreal> m_other;
};

} // namespace platform
