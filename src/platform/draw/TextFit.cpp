#include "platform/draw/TextFit.h"

#include <QPaintDevice>
#include <algorithm>
#include <cmath>
#include <limits>

namespace platform {

namespace {

// Pieces longer than this are measured in parts: one call over a megabyte costs more than its
// parts together, and its cost grows faster than its length.
constexpr qsizetype kPiece = 4096;
// Texts up to this many units are measured whole first: most texts fit, and then one
// measurement answers.
constexpr qsizetype kShort = 128;

const QString kEllipsis = QStringLiteral("...");

// Qt ends a measured text at its first U+009C (the separator of a text's variants).
QStringView beforeSeparator(QStringView s)
{
    const qsizetype p = s.indexOf(QChar(0x9C));
    return p < 0 ? s : s.first(p);
}

} // namespace

TextFit::TextFit(const QFont& font, const QPaintDevice* device)
    : m_fm(font, device)
    , m_fmf(font, device)
{
    m_latin.fill(-1);
}

void TextFit::setTabs(bool expand, int tabWidth)
{
    m_expandTabs = expand;
    m_tabWidth = std::max(1, tabWidth);
}

int TextFit::exactWidth(QStringView s) const
{
    s = beforeSeparator(s);
    if (s.size() <= kPiece)
        return m_fm.horizontalAdvance(QString::fromRawData(s.data(), s.size()));
    int x = 0;
    qsizetype start = 0;
    while (start < s.size()) {
        qsizetype end = std::min(s.size(), start + kPiece);
        if (end < s.size() && s[end].isLowSurrogate())
            ++end;
        x += m_fm.horizontalAdvance(QString::fromRawData(s.data() + start, end - start));
        start = end;
    }
    return x;
}

int TextFit::width(QStringView s) const
{
    if (!m_expandTabs || !s.contains(QLatin1Char('\t')))
        return exactWidth(s);
    int x = 0;
    qsizetype start = 0;
    for (;;) {
        const qsizetype tab = s.indexOf(QLatin1Char('\t'), start);
        x += exactWidth(s.mid(start, (tab < 0 ? s.size() : tab) - start));
        if (tab < 0)
            return x;
        x = (x / m_tabWidth + 1) * m_tabWidth;
        start = tab + 1;
    }
}

int TextFit::exactWidthWith(QStringView s, QStringView suffix) const
{
    if (suffix.isEmpty())
        return width(s);
    QString joined;
    joined.reserve(s.size() + suffix.size());
    joined.append(s);
    joined.append(suffix);
    return width(joined);
}

qreal TextFit::tabStop(qreal x) const { return (std::floor(x / m_tabWidth) + 1) * m_tabWidth; }

qreal TextFit::advanceOf(QStringView s, qsizetype i) const
{
    const QChar c = s[i];
    if (c.unicode() < 256) {
        qreal& a = m_latin[c.unicode()];
        if (a < 0)
            a = m_fmf.horizontalAdvance(c);
        return a;
    }
    char32_t key = c.unicode();
    QStringView glyph = s.mid(i, 1);
    if (c.isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate()) {
        key = QChar::surrogateToUcs4(c, s[i + 1]);
        glyph = s.mid(i, 2);
    } else if (c.isLowSurrogate() && i > 0 && s[i - 1].isHighSurrogate()) {
        return 0;
    }
    const auto it = m_other.constFind(key);
    if (it != m_other.constEnd())
        return *it;
    const qreal a = glyph.size() == 1 ? m_fmf.horizontalAdvance(c) : m_fmf.horizontalAdvance(glyph.toString());
    if (m_other.size() < 4096) // a text of every character of the plane need not keep them all
        m_other.insert(key, a);
    return a;
}

qreal TextFit::estimate(QStringView s, qsizetype from, qsizetype to, qreal x) const
{
    for (qsizetype i = from; i < to; ++i)
        x = (m_expandTabs && s[i] == QLatin1Char('\t')) ? tabStop(x) : x + advanceOf(s, i);
    return x;
}

qsizetype TextFit::fit(QStringView s, int limit, QStringView suffix) const
{
    const qsizetype n = s.size();
    if (n == 0 || limit < 0)
        return 0;
    // Whether the first k units fit; no units count as fitting, so the answer is at least 0.
    auto fitsAt = [&](qsizetype k) { return k == 0 || exactWidthWith(s.first(k), suffix) <= limit; };
    if (n <= kShort && fitsAt(n))
        return n;

    // Where the characters' own advances run out of room.
    const qreal budget = limit - (suffix.isEmpty() ? 0 : estimate(suffix, 0, suffix.size()));
    qsizetype k = 0;
    qreal x = 0;
    while (k < n) {
        const qreal next = (m_expandTabs && s[k] == QLatin1Char('\t')) ? tabStop(x) : x + advanceOf(s, k);
        if (next > budget)
            break;
        x = next;
        ++k;
    }

    // From there, steps of growing size find a fitting count and a longer one that does not
    // fit; halving the gap between them ends at the answer.
    qsizetype lo = 0, hi = 0;
    if (fitsAt(k)) {
        lo = k;
        for (qsizetype step = 1;; step *= 2) {
            const qsizetype probe = k + step;
            if (probe >= n) {
                if (lo == n || fitsAt(n))
                    return n;
                hi = n;
                break;
            }
            if (!fitsAt(probe)) {
                hi = probe;
                break;
            }
            lo = probe;
        }
    } else {
        hi = k;
        for (qsizetype step = 1;; step *= 2) {
            const qsizetype probe = k - step;
            if (probe <= 0) {
                lo = 0;
                break;
            }
            if (fitsAt(probe)) {
                lo = probe;
                break;
            }
            hi = probe;
        }
    }
    while (hi - lo > 1) {
        const qsizetype mid = lo + (hi - lo) / 2;
        if (fitsAt(mid))
            lo = mid;
        else
            hi = mid;
    }
    return lo;
}

int TextFit::widthUpTo(QStringView s, int limit) const
{
    if (s.size() <= kShort || limit == std::numeric_limits<int>::max())
        return width(s);
    if (fit(s, limit) < s.size())
        return std::max(limit, 0) + 1;
    return width(s);
}

QString TextFit::elide(QStringView s, int limit, bool always) const
{
    const qsizetype n = s.size();
    if (!always && fits(s, limit))
        return s.toString();
    qsizetype k = fit(s, limit, kEllipsis);
    if (k == n)
        return s.toString() + kEllipsis;
    if (k > 0 && s[k - 1].isHighSurrogate())
        --k;
    return s.first(k).toString() + kEllipsis;
}

} // namespace platform
