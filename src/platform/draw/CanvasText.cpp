// Text on the canvas: the line layout of drawText (prefixes, line breaks, word breaking, tab
// stops, ellipses) and the placed text of textOut and textRect. The layout is our own rather
// than Qt's so that measuring and drawing break lines at the same places and the flags mean
// what the controls' code expects of them.
#include "platform/draw/Canvas.h"

#include "platform/draw/TextFit.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <limits>

namespace platform {

struct Canvas::TextLine {
    QString text;       // as shown
    int underline = -1; // index in `text` of the character after a prefix "&"
    int width = -1;     // measured when first needed

    int measured(const TextFit& m)
    {
        if (width < 0)
            width = m.width(text);
        return width;
    }
};

namespace {

// A line longer than this (in UTF-16 units) that runs past its rect is shaped and drawn only
// where it shows, placed by the characters' own advances.
constexpr qsizetype kLongLine = 1024;

bool isBreakSpace(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); }

// Takes the prefix characters out: "&&" is one "&", "&x" shows x underlined (the first such
// character counts), a lone "&" at the end disappears.
QString removePrefixes(const QString& text, int& underline)
{
    underline = -1;
    if (!text.contains(QLatin1Char('&')))
        return text;
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != QLatin1Char('&')) {
            out += text[i];
            continue;
        }
        if (i + 1 >= text.size())
            break;
        ++i;
        if (text[i] != QLatin1Char('&') && underline < 0)
            underline = int(out.size());
        out += text[i];
    }
    return out;
}

// Where the line of `para` that starts at `pos` ends (`end`, after its last character) and
// where the text after it goes on (`next`, before the blanks at the break). A line takes
// the words that fit; a first word that does not fit goes on a line of its own, or is broken
// where the line is full when the text behaves like an edit control (at least one character a
// line). Measures no more of the paragraph than the line and about as much again.
void breakLine(QStringView para, qsizetype pos, int width, const TextFit& m, bool breakWords, qsizetype& end,
               qsizetype& next)
{
    const qsizetype n = para.size();
    const qsizetype fitting = pos + m.fit(para.mid(pos), width);
    // The last word that ends inside what fits.
    qsizetype e = fitting;
    if (e < n && !isBreakSpace(para[e]))
        while (e > pos && !isBreakSpace(para[e - 1]))
            --e;
    while (e > pos && isBreakSpace(para[e - 1]))
        --e;
    if (e > pos) {
        end = next = e;
        return;
    }
    // Not even the first word fits. Its end (after the blanks before it), looked for no
    // further than needed.
    auto firstWordEnd = [&](qsizetype stopAt) {
        qsizetype k = pos;
        while (k < stopAt && isBreakSpace(para[k]))
            ++k;
        while (k < stopAt && !isBreakSpace(para[k]))
            ++k;
        return k;
    };
    if (breakWords) {
        qsizetype c = firstWordEnd(std::max(pos + 1, fitting));
        if (c < n && para[c].isLowSurrogate())
            ++c;
        end = next = c;
    } else {
        end = next = firstWordEnd(n);
    }
}

int lineHeightOf(const QFontMetrics& fm, unsigned flags)
{
    return fm.height() + ((flags & DT_EXTERNALLEADING) ? std::max(0, fm.leading()) : 0);
}

// Whether the text holds characters that bidirectional reordering may move, so that what shows
// at a place is no longer the text's prefix up to it.
bool hasRightToLeft(QStringView s)
{
    const char16_t* p = s.utf16();
    const qsizetype n = s.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (p[i] < 0x0590)
            continue;
        char32_t u = p[i];
        if (QChar::isHighSurrogate(u) && i + 1 < n && QChar::isLowSurrogate(p[i + 1])) {
            u = QChar::surrogateToUcs4(p[i], p[i + 1]);
            ++i;
        }
        switch (QChar::direction(u)) {
        case QChar::DirR:
        case QChar::DirAL:
        case QChar::DirAN:
        case QChar::DirRLE:
        case QChar::DirRLO:
        case QChar::DirRLI:
        case QChar::DirFSI:
            return true;
        default:
            break;
        }
    }
    return false;
}

// Units that belong to the character before them: the second half of a surrogate pair and
// combining marks.
bool continuesCharacter(QStringView s, qsizetype i) { return s[i].isLowSurrogate() || s[i].isMark(); }

// Draws `run` (a line or a part of one) with its first character `rel` pixels right of the
// line's start `lineX`; expanded tabs move to the stops counted from lineX. Parts starting after
// stopX are left out.
void drawRun(QPainter& p, const TextFit& m, QStringView run, int lineX, int rel, int baseline, int stopX)
{
    if (!m.expandsTabs() || !run.contains(QLatin1Char('\t'))) {
        p.drawText(QPoint(lineX + rel, baseline), run.toString());
        return;
    }
    qsizetype start = 0;
    for (;;) {
        const qsizetype tab = run.indexOf(QLatin1Char('\t'), start);
        const QStringView part = run.mid(start, (tab < 0 ? run.size() : tab) - start);
        if (!part.isEmpty())
            p.drawText(QPoint(lineX + rel, baseline), part.toString());
        if (tab < 0)
            break;
        rel = ((rel + m.width(part)) / m.tabWidth() + 1) * m.tabWidth();
        if (lineX > stopX - rel)
            break;
        start = tab + 1;
    }
}

int clampedWidth(qreal w) { return int(std::min<qreal>(w, std::numeric_limits<int>::max() / 4)); }

} // namespace

const TextFit& Canvas::textFit(unsigned flags, int tabChars) const
{
    drawFont();
    m_cachedFit->setTabs((flags & DT_EXPANDTABS) != 0,
                         std::max(1, tabChars * std::max(1, m_cachedMetrics->averageCharWidth())));
    return *m_cachedFit;
}

const TextFit& Canvas::textFit() const { return textFit(0, 8); }

std::vector<Canvas::TextLine> Canvas::layoutText(const QString& text, unsigned flags, int width, const TextFit& m,
                                                 size_t maxLines, bool* more) const
{
    if (more)
        *more = false;
    int underline = -1;
    const QString shown = (flags & DT_NOPREFIX) ? text : removePrefixes(text, underline);
    std::vector<TextLine> lines;

    if (flags & DT_SINGLELINE) {
        // Line breaks do not break the line; they show as nothing.
        TextLine l;
        if (!shown.contains(QLatin1Char('\r')) && !shown.contains(QLatin1Char('\n'))) {
            l.text = shown;
            l.underline = underline;
        } else {
            l.text.reserve(shown.size());
            for (qsizetype i = 0; i < shown.size(); ++i) {
                if (shown[i] == QLatin1Char('\r') || shown[i] == QLatin1Char('\n'))
                    continue;
                if (i == underline)
                    l.underline = int(l.text.size());
                l.text += shown[i];
            }
        }
        lines.push_back(std::move(l));
        return lines;
    }

    // False once maxLines lines are out and another would follow.
    auto emit = [&](qsizetype start, qsizetype length) {
        if (lines.size() >= maxLines) {
            if (more)
                *more = true;
            return false;
        }
        TextLine l;
        l.text = shown.mid(start, length);
        if (underline >= start && underline < start + length)
            l.underline = int(underline - start);
        lines.push_back(std::move(l));
        return true;
    };

    const bool wrap = (flags & DT_WORDBREAK) != 0;
    const bool breakWords = (flags & DT_EDITCONTROL) != 0;
    const QStringView all(shown);
    qsizetype paraStart = 0;
    const qsizetype total = shown.size();
    // The next CR and LF, each looked for again only once passed, so that a text of many
    // paragraphs is searched once.
    qsizetype nextCR = -1, nextLF = -1;
    auto find = [&](QChar c, qsizetype from) {
        const qsizetype i = all.indexOf(c, from);
        return i < 0 ? total : i;
    };
    auto nextBreak = [&](qsizetype from) {
        if (nextCR < from)
            nextCR = find(QLatin1Char('\r'), from);
        if (nextLF < from)
            nextLF = find(QLatin1Char('\n'), from);
        return std::min(nextCR, nextLF);
    };
    while (paraStart <= total) {
        const qsizetype paraEnd = nextBreak(paraStart);
        const QStringView para = all.mid(paraStart, paraEnd - paraStart);
        if (!wrap || para.isEmpty()) {
            if (!emit(paraStart, para.size()))
                return lines;
        } else {
            const qsizetype n = para.size();
            qsizetype pos = 0;
            while (pos < n) {
                qsizetype end = 0, next = 0;
                breakLine(para, pos, width, m, breakWords, end, next);
                if (!emit(paraStart + pos, end - pos))
                    return lines;
                // The blanks at a break belong to neither line.
                while (next < n && isBreakSpace(para[next]))
                    ++next;
                pos = next;
            }
        }
        if (paraEnd >= total)
            break;
        paraStart = paraEnd + ((shown[paraEnd] == QLatin1Char('\r') && paraEnd + 1 < total && shown[paraEnd + 1] == QLatin1Char('\n')) ? 2 : 1);
        if (paraStart == total)
            break; // a break at the very end starts no further line
    }
    return lines;
}

const QFont& Canvas::drawFont() const
{
    if (!m_cachedMetrics || !(m_cachedFor == m_font.font)) {
        m_cachedFor = m_font.font;
        m_cachedFont = m_font.font;
        m_cachedFont.setStyleStrategy(QFont::NoAntialias);
        m_cachedMetrics = std::make_unique<QFontMetrics>(m_cachedFont, m_painter->device());
        m_cachedFit = std::make_unique<TextFit>(m_cachedFont, m_painter->device());
    }
    return m_cachedFont;
}

const QFontMetrics& Canvas::metrics() const
{
    drawFont();
    return *m_cachedMetrics;
}

int Canvas::textWidth(const QString& text) const { return textFit().width(text); }

int Canvas::textWidth(const QString& text, int limit) const { return textFit().widthUpTo(text, limit); }

int Canvas::textHeight(const QString&) const { return metrics().height(); }

QSize Canvas::textExtent(const QString& text) const { return QSize(textWidth(text), textHeight(text)); }

namespace {
int tabStopChars(unsigned& flags)
{
    int tabChars = 8;
    if (flags & DT_TABSTOP) {
        tabChars = int((flags >> 8) & 0xFF); // those bits hold the tab size, not flags
        flags &= ~0xFF00u;
        if (tabChars == 0)
            tabChars = 8;
    }
    return tabChars;
}
} // namespace

std::vector<Canvas::TextLine> Canvas::visibleLines(const QString& text, const Rect& r, unsigned flags, const TextFit& m,
                                                   int& lineHeight, int& top, bool onlyInRect) const
{
    lineHeight = lineHeightOf(m.metrics(), flags);
    const bool single = (flags & DT_SINGLELINE) != 0;
    top = r.top;
    if (single && (flags & DT_VCENTER))
        top = r.top + (r.height() - lineHeight) / 2;
    else if (single && (flags & DT_BOTTOM))
        top = r.bottom - lineHeight;

    // Which lines show: with an ellipsis or like an edit control, only whole lines inside the
    // rect (the first always), the last of them ending in "..." when more text follows. Lines
    // the clip hides need no laying out.
    const int room = std::max(0, r.bottom - top);
    size_t limit = size_t(-1);
    if (!single && !(flags & DT_NOCLIP)) {
        if (flags & (DT_EDITCONTROL | DT_END_ELLIPSIS))
            limit = size_t(std::max(1, room / std::max(1, lineHeight)));
        else if (onlyInRect)
            limit = size_t(std::max(1, (room + lineHeight - 1) / std::max(1, lineHeight)));
    }
    bool more = false;
    std::vector<TextLine> lines = layoutText(text, flags, r.width(), m, limit, &more);
    if (flags & DT_END_ELLIPSIS) {
        for (size_t i = 0; i < lines.size(); ++i) {
            TextLine& l = lines[i];
            const bool cutOff = i + 1 == lines.size() && more && (flags & DT_WORDBREAK);
            QString cut = m.elide(l.text, r.width(), cutOff);
            if (cut.size() != l.text.size() || cut != l.text) {
                if (l.underline >= cut.size() - 3)
                    l.underline = -1;
                l.text = std::move(cut);
                l.width = -1;
            }
        }
    }
    return lines;
}

QStringList Canvas::drawnLines(const QString& text, const Rect& r, unsigned flags) const
{
    QStringList out;
    if (text.isEmpty())
        return out;
    const int tabChars = tabStopChars(flags);
    int lineHeight = 0, top = 0;
    for (const TextLine& l : visibleLines(text, r, flags, textFit(flags, tabChars), lineHeight, top, false))
        out << l.text;
    return out;
}

int Canvas::textLineCount(const QString& text, int width, unsigned flags, int atMost) const
{
    if (text.isEmpty() || atMost <= 0)
        return 0;
    const int tabChars = tabStopChars(flags);
    return int(layoutText(text, flags, width, textFit(flags, tabChars), size_t(atMost)).size());
}

int Canvas::drawText(const QString& text, Rect& r, unsigned flags)
{
    const int tabChars = tabStopChars(flags);
    const QFont& f = drawFont();
    const QFontMetrics& fm = metrics();
    const TextFit& m = textFit(flags, tabChars);
    if (text.isEmpty()) {
        if (flags & DT_CALCRECT) {
            r.right = r.left;
            r.bottom = r.top;
        }
        return 0;
    }
    if (flags & DT_CALCRECT) {
        const int lineHeight = lineHeightOf(fm, flags);
        std::vector<TextLine> lines = layoutText(text, flags, r.width(), m);
        int widest = 0;
        for (TextLine& l : lines)
            widest = std::max(widest, l.measured(m));
        r.right = r.left + widest;
        r.bottom = r.top + int(lines.size()) * lineHeight;
        return r.height();
    }
    if (!m_painter->isActive())
        return 0;
    if (logging())
        log(QStringLiteral("drawText \"%1\" %2 $%3").arg(text, logRect(r)).arg(flags, 0, 16));

    int lineHeight = 0, top = 0;
    std::vector<TextLine> lines = visibleLines(text, r, flags, m, lineHeight, top, true);
    m_painter->save();
    const bool clip = !(flags & DT_NOCLIP);
    if (clip)
        m_painter->setClipRect(r.toQRect(), Qt::IntersectClip);
    m_painter->setFont(f);
    if (flags & DT_RTLREADING)
        m_painter->setLayoutDirection(Qt::RightToLeft);
    const QColor ink = toQColor(m_font.color == clNone ? clBlack : m_font.color);
    const bool opaque = textBackgroundOpaque();
    const int margin = 2 * std::max(fm.maxWidth(), m.expandsTabs() ? m.tabWidth() : 0) + 8;
    for (size_t i = 0; i < lines.size(); ++i) {
        TextLine& l = lines[i];
        const int y = top + int(i) * lineHeight;
        const int baseline = y + fm.ascent();
        const qsizetype n = l.text.size();
        const QStringView line(l.text);

        // A long line that runs past the rect shows a small part of itself. Left-aligned, that
        // part starts with the line; centred or right-aligned, the characters' own advances
        // place it. Text that reordering may move is drawn whole.
        bool partial = false;
        if (l.width < 0 && n > kLongLine && clip && !(flags & DT_RTLREADING)) {
            const int upTo = m.widthUpTo(line, r.width());
            if (upTo <= r.width())
                l.width = upTo;
            else
                partial = !hasRightToLeft(line);
        }
        if (!partial) {
            int x = r.left;
            if (flags & DT_CENTER)
                x = r.left + (r.width() - l.measured(m)) / 2;
            else if (flags & DT_RIGHT)
                x = r.right - l.measured(m);
            if (opaque && !l.text.isEmpty())
                m_painter->fillRect(QRect(x, y, l.measured(m), lineHeight), toQColor(m_brush.color));
            m_painter->setPen(ink);
            drawRun(*m_painter, m, line, x, 0, baseline, std::numeric_limits<int>::max());
            if (l.underline >= 0 && !(flags & DT_HIDEPREFIX)) {
                const int ux = x + m.width(line.first(l.underline));
                const int uw = fm.horizontalAdvance(l.text.mid(l.underline, 1));
                m_painter->fillRect(QRect(ux, y + fm.ascent() + fm.underlinePos(), uw, std::max(1, fm.lineWidth())), ink);
            }
            continue;
        }

        int x = r.left;
        int w = r.right - x; // as far as it shows
        if (flags & (DT_CENTER | DT_RIGHT)) {
            w = clampedWidth(m.estimate(line, 0, n));
            x = (flags & DT_CENTER) ? r.left + (r.width() - w) / 2 : r.right - w;
        }
        if (opaque)
            m_painter->fillRect(QRect(x, y, w, lineHeight), toQColor(m_brush.color));
        // The characters from a little left of the rect to a little right of it.
        qsizetype a = 0;
        qreal ax = 0;
        while (a < n) {
            const qreal next = m.estimate(line, a, a + 1, ax);
            if (x + next >= r.left - margin)
                break;
            ax = next;
            ++a;
        }
        while (a > 0 && continuesCharacter(line, a))
            ax -= m.advanceOf(line, --a);
        qsizetype b = a;
        qreal bx = ax;
        while (b < n && x + bx <= r.right + margin)
            bx = m.estimate(line, b, b + 1, bx), ++b;
        while (b < n && continuesCharacter(line, b))
            ++b;
        const int rel = int(std::lround(ax));
        m_painter->setPen(ink);
        drawRun(*m_painter, m, line.mid(a, b - a), x, rel, baseline, r.right);
        if (l.underline >= a && l.underline < b && !(flags & DT_HIDEPREFIX)) {
            const int ux = x + rel + m.width(line.mid(a, l.underline - a));
            const int uw = fm.horizontalAdvance(l.text.mid(l.underline, 1));
            m_painter->fillRect(QRect(ux, y + fm.ascent() + fm.underlinePos(), uw, std::max(1, fm.lineWidth())), ink);
        }
    }
    m_painter->restore();
    return int(lines.size()) * lineHeight;
}

void Canvas::textOut(int x, int y, const QString& text)
{
    const QFont& f = drawFont();
    const QFontMetrics& fm = metrics();
    const int w = textWidth(text);
    if (m_painter->isActive() && !text.isEmpty()) {
        if (logging())
            log(QStringLiteral("textOut %1,%2 \"%3\"").arg(x).arg(y).arg(text));
        m_painter->save();
        m_painter->translate(x, y);
        if (m_font.orientation != 0)
            m_painter->rotate(-m_font.orientation / 10.0);
        if (textBackgroundOpaque())
            m_painter->fillRect(QRect(0, 0, w, fm.height()), toQColor(m_brush.color));
        m_painter->setFont(f);
        m_painter->setPen(toQColor(m_font.color == clNone ? clBlack : m_font.color));
        m_painter->drawText(QPoint(0, fm.ascent()), text);
        m_painter->restore();
    }
    m_penPos = QPoint(x + w, y);
}

void Canvas::textRect(const Rect& r, int x, int y, const QString& text)
{
    if (!m_painter->isActive() || r.isEmpty())
        return;
    if (logging())
        log(QStringLiteral("textRect %1 %2,%3 \"%4\"").arg(logRect(r)).arg(x).arg(y).arg(text));
    const QFont& f = drawFont();
    const QFontMetrics& fm = metrics();
    m_painter->save();
    m_painter->setClipRect(r.toQRect(), Qt::IntersectClip);
    if (textBackgroundOpaque())
        m_painter->fillRect(r.toQRect(), toQColor(m_brush.color));
    m_painter->translate(x, y);
    if (m_font.orientation != 0)
        m_painter->rotate(-m_font.orientation / 10.0);
    m_painter->setFont(f);
    m_painter->setPen(toQColor(m_font.color == clNone ? clBlack : m_font.color));
    m_painter->drawText(QPoint(0, fm.ascent()), text);
    m_painter->restore();
}

} // namespace platform
