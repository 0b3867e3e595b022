// Text on the canvas: the line layout of drawText (prefixes, line breaks, word breaking, tab
// stops, ellipses) and the placed text of textOut and textRect. The layout is our own rather
// than Qt's so that measuring and drawing break lines at the same places and the flags mean
// what the controls' code expects of them.
#include "platform/draw/Canvas.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

namespace platform {

struct Canvas::TextLine {
    QString text;       // as shown
    int underline = -1; // index in `text` of the character after a prefix "&"
    int width = 0;
};

namespace {

const QString kEllipsis = QStringLiteral("...");


// Widths with tab stops: a tab moves to the next multiple of `tabWidth` from the line start.
struct Measure {
    const QFontMetrics& fm;
    bool expandTabs = false;
    int tabWidth = 0;

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

bool isBreakSpace(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); }

// Takes the prefix characters out: "&&" is one "&", "&x" shows x underlined (the first such
// character counts), a lone "&" at the end disappears.
QString removePrefixes(const QString& text, int& underline)
{
    underline = -1;
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

// Shortest prefix cut so that text + "..." fits; "..." alone when nothing fits.
QString elide(const QString& text, int width, const Measure& m, bool always)
{
    if (!always && m.width(text) <= width)
        return text;
    if (always && m.width(text + kEllipsis) <= width)
        return text + kEllipsis;
    qsizetype lo = 0, hi = text.size();
    while (lo < hi) { // the longest prefix whose cut fits
        const qsizetype mid = (lo + hi + 1) / 2;
        if (m.width(text.left(mid) + kEllipsis) <= width)
            lo = mid;
        else
            hi = mid - 1;
    }
    if (lo > 0 && text[lo - 1].isHighSurrogate())
        --lo;
    return text.left(lo) + kEllipsis;
}

} // namespace

std::vector<Canvas::TextLine> Canvas::layoutText(const QString& text, unsigned flags, int tabChars, int width,
                                                 const QFontMetrics& fm, int& lineHeight) const
{
    const Measure m{fm, (flags & DT_EXPANDTABS) != 0, std::max(1, tabChars * std::max(1, fm.averageCharWidth()))};
    lineHeight = fm.height() + ((flags & DT_EXTERNALLEADING) ? std::max(0, fm.leading()) : 0);

    int underline = -1;
    const QString shown = (flags & DT_NOPREFIX) ? text : removePrefixes(text, underline);
    std::vector<TextLine> lines;
    auto emit = [&](const QString& line, qsizetype start) {
        TextLine l;
        l.text = line;
        if (underline >= start && underline < start + line.size())
            l.underline = int(underline - start);
        l.width = m.width(line);
        lines.push_back(std::move(l));
    };

    if (flags & DT_SINGLELINE) {
        // Line breaks do not break the line; they show as nothing.
        QString line;
        int u = -1;
        for (qsizetype i = 0; i < shown.size(); ++i) {
            if (shown[i] == QLatin1Char('\r') || shown[i] == QLatin1Char('\n'))
                continue;
            if (i == underline)
                u = int(line.size());
            line += shown[i];
        }
        TextLine l;
        l.text = line;
        l.underline = u;
        l.width = m.width(line);
        lines.push_back(std::move(l));
        return lines;
    }

    const bool wrap = (flags & DT_WORDBREAK) != 0;
    const bool breakWords = (flags & DT_EDITCONTROL) != 0;
    qsizetype paraStart = 0;
    const qsizetype total = shown.size();
    while (paraStart <= total) {
        qsizetype paraEnd = paraStart;
        while (paraEnd < total && shown[paraEnd] != QLatin1Char('\r') && shown[paraEnd] != QLatin1Char('\n'))
            ++paraEnd;
        const QString para = shown.mid(paraStart, paraEnd - paraStart);
        if (!wrap || para.isEmpty()) {
            emit(para, paraStart);
        } else {
            const qsizetype n = para.size();
            qsizetype pos = 0;
            while (pos < n) {
                qsizetype end = -1, next = -1;
                for (qsizetype j = pos; j < n;) {
                    qsizetype k = j;
                    while (k < n && !isBreakSpace(para[k]))
                        ++k;
                    qsizetype after = k;
                    while (after < n && isBreakSpace(para[after]))
                        ++after;
                    if (k > j) { // a word
                        if (m.width(para.mid(pos, k - pos)) > width)
                            break;
                        end = k;
                        next = after;
                    }
                    j = after;
                }
                if (end < 0) {
                    // Even the first word does not fit: it goes on a line of its own, or is
                    // broken where the line is full when the text behaves like an edit control.
                    qsizetype k = pos;
                    while (k < n && isBreakSpace(para[k]))
                        ++k;
                    while (k < n && !isBreakSpace(para[k]))
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
                emit(para.mid(pos, end - pos), paraStart + pos);
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
    }
    return m_cachedFont;
}

const QFontMetrics& Canvas::metrics() const
{
    drawFont();
    return *m_cachedMetrics;
}

int Canvas::textWidth(const QString& text) const { return metrics().horizontalAdvance(text); }

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

std::vector<Canvas::TextLine> Canvas::visibleLines(const QString& text, const Rect& r, unsigned flags, int tabChars,
                                                   const QFontMetrics& fm, int& lineHeight, int& top) const
{
    std::vector<TextLine> lines = layoutText(text, flags, tabChars, r.width(), fm, lineHeight);
    const bool single = (flags & DT_SINGLELINE) != 0;
    top = r.top;
    if (single && (flags & DT_VCENTER))
        top = r.top + (r.height() - lineHeight) / 2;
    else if (single && (flags & DT_BOTTOM))
        top = r.bottom - lineHeight;

    // Which lines show: with an ellipsis or like an edit control, only whole lines inside the
    // rect (the first always), the last of them ending in "..." when more text follows.
    size_t shown = lines.size();
    if (!single && !(flags & DT_NOCLIP) && (flags & (DT_EDITCONTROL | DT_END_ELLIPSIS))) {
        size_t whole = 0;
        while (whole < lines.size() && top + int(whole + 1) * lineHeight <= r.bottom)
            ++whole;
        shown = std::max<size_t>(1, whole);
    }
    const Measure m{fm, (flags & DT_EXPANDTABS) != 0, std::max(1, tabChars * std::max(1, fm.averageCharWidth()))};
    if (flags & DT_END_ELLIPSIS) {
        for (size_t i = 0; i < shown; ++i) {
            TextLine& l = lines[i];
            const bool more = i + 1 == shown && shown < lines.size() && (flags & DT_WORDBREAK);
            const QString cut = elide(l.text, r.width(), m, more);
            if (cut != l.text) {
                if (l.underline >= cut.size() - kEllipsis.size())
                    l.underline = -1;
                l.text = cut;
                l.width = m.width(cut);
            }
        }
    }
    lines.resize(shown);
    return lines;
}

QStringList Canvas::drawnLines(const QString& text, const Rect& r, unsigned flags) const
{
    const QFontMetrics& fm = metrics();
    QStringList out;
    if (text.isEmpty())
        return out;
    const int tabChars = tabStopChars(flags);
    int lineHeight = 0, top = 0;
    for (const TextLine& l : visibleLines(text, r, flags, tabChars, fm, lineHeight, top))
        out << l.text;
    return out;
}

int Canvas::drawText(const QString& text, Rect& r, unsigned flags)
{
    const int tabChars = tabStopChars(flags);
    const QFont& f = drawFont();
    const QFontMetrics& fm = metrics();
    if (text.isEmpty()) {
        if (flags & DT_CALCRECT) {
            r.right = r.left;
            r.bottom = r.top;
        }
        return 0;
    }
    if (flags & DT_CALCRECT) {
        int lineHeight = 0;
        const std::vector<TextLine> lines = layoutText(text, flags, tabChars, r.width(), fm, lineHeight);
        int widest = 0;
        for (const TextLine& l : lines)
            widest = std::max(widest, l.width);
        r.right = r.left + widest;
        r.bottom = r.top + int(lines.size()) * lineHeight;
        return r.height();
    }
    if (!m_painter->isActive())
        return 0;
    log(QStringLiteral("drawText \"%1\" %2 $%3").arg(text, logRect(r)).arg(flags, 0, 16));

    int lineHeight = 0, top = 0;
    const std::vector<TextLine> lines = visibleLines(text, r, flags, tabChars, fm, lineHeight, top);
    const Measure m{fm, (flags & DT_EXPANDTABS) != 0, std::max(1, tabChars * std::max(1, fm.averageCharWidth()))};
    m_painter->save();
    if (!(flags & DT_NOCLIP))
        m_painter->setClipRect(r.toQRect(), Qt::IntersectClip);
    m_painter->setFont(f);
    if (flags & DT_RTLREADING)
        m_painter->setLayoutDirection(Qt::RightToLeft);
    const QColor ink = toQColor(m_font.color == clNone ? clBlack : m_font.color);
    const bool opaque = textBackgroundOpaque();
    for (size_t i = 0; i < lines.size(); ++i) {
        const TextLine& l = lines[i];
        const int y = top + int(i) * lineHeight;
        int x = r.left;
        if (flags & DT_CENTER)
            x = r.left + (r.width() - l.width) / 2;
        else if (flags & DT_RIGHT)
            x = r.right - l.width;
        if (opaque && !l.text.isEmpty())
            m_painter->fillRect(QRect(x, y, l.width, lineHeight), toQColor(m_brush.color));
        m_painter->setPen(ink);
        if (m.expandTabs && l.text.contains(QLatin1Char('\t'))) {
            qsizetype start = 0;
            for (;;) {
                const qsizetype tab = l.text.indexOf(QLatin1Char('\t'), start);
                const QString part = l.text.mid(start, (tab < 0 ? l.text.size() : tab) - start);
                m_painter->drawText(QPoint(x + m.width(l.text.left(start)), y + fm.ascent()), part);
                if (tab < 0)
                    break;
                start = tab + 1;
            }
        } else {
            m_painter->drawText(QPoint(x, y + fm.ascent()), l.text);
        }
        if (l.underline >= 0 && !(flags & DT_HIDEPREFIX)) {
            const int ux = x + m.width(l.text.left(l.underline));
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
    const int w = fm.horizontalAdvance(text);
    if (m_painter->isActive() && !text.isEmpty()) {
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
