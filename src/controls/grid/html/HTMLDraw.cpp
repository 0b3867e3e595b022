#include "controls/grid/html/HTMLDraw.h"

#include "controls/grid/html/HTMLUtil.h"
#include "controls/grid/html/PictureContainer.h"
#include "platform/draw/Frames.h"
#include "platform/draw/Graphics.h"
#include "platform/draw/Theme.h"
#include "platform/text/Text.h"

#include <QFileInfo>
#include <QIcon>
#include <QLocale>
#include <QMimeDatabase>
#include <QPixmap>
#include <algorithm>
#include <vector>

namespace controls::grid {

using platform::Brush;
using platform::BrushStyle;
using platform::Font;
using platform::Pen;
using platform::PenStyle;

namespace {

Color g_highlight = platform::clHighlight;
Color g_highlightText = platform::clHighlightText;

constexpr int kMaxFontPoints = 400;
constexpr int kMaxExtent = 32767; // widths and heights of images and controls
constexpr int kListIndent = 12;

// --- text preparation --------------------------------------------------------------------------

// The named signs, replaced until nothing changes: "&amp;" leaves "&&", whose second "&" may
// begin another name with what follows it, so the scan tries again at every "&" it writes.
QString replaceEntities(const QString& text)
{
    if (!text.contains(u'&'))
        return text;
    struct Sign {
        QLatin1String name;
        const char16_t* replacement;
    };
    static const Sign kSigns[] = {
        {QLatin1String("amp;"), u"&&"},     {QLatin1String("quot;"), u"\""},   {QLatin1String("sect;"), u"\u00A7"},
        {QLatin1String("permil;"), u"\u2030"}, {QLatin1String("reg;"), u"\u00AE"}, {QLatin1String("copy;"), u"\u00A9"},
        {QLatin1String("para;"), u"\u00B6"}, {QLatin1String("trade;"), u"\u2122"}, {QLatin1String("euro;"), u"\u20AC"},
    };
    QString out;
    out.reserve(text.size());
    const QStringView in(text);
    qsizetype i = 0;
    while (i < in.size()) {
        if (in[i] != u'&') {
            out += in[i++];
            continue;
        }
        out += u'&';
        ++i;
        bool replaced = true;
        while (replaced && out.endsWith(u'&')) {
            replaced = false;
            for (const Sign& s : kSigns) {
                if (in.mid(i).startsWith(s.name, Qt::CaseInsensitive)) {
                    out.chop(1);
                    out += QString::fromUtf16(s.replacement);
                    i += s.name.size();
                    replaced = true;
                    break;
                }
            }
        }
    }
    return out;
}

QString chunkEntities(QString chunk)
{
    if (chunk.contains(u'&')) {
        chunk.replace(QLatin1String("&nbsp;"), QLatin1String(" "));
        chunk.replace(QLatin1String("&lt;"), QLatin1String("<"));
        chunk.replace(QLatin1String("&gt;"), QLatin1String(">"));
    }
    return chunk;
}

// --- tag attributes --------------------------------------------------------------------------------

// The value between the first two double quotes after the first NAME in the upper-cased tag
// (from `from` on); empty when the name or a quote is missing. The value comes from `source`,
// which is the tag as written or upper-cased.
QString attribute(const QString& source, const QString& upper, qsizetype from, QLatin1String name)
{
    const qsizetype p = upper.indexOf(name, from);
    if (p < 0)
        return QString();
    const qsizetype q1 = source.indexOf(u'"', p + name.size());
    if (q1 < 0)
        return QString();
    const qsizetype q2 = source.indexOf(u'"', q1 + 1);
    if (q2 < 0)
        return QString();
    return source.mid(q1 + 1, q2 - q1 - 1);
}

// A whole number, or fallback when the text is not one.
int toIntOr(const QString& s, int fallback)
{
    bool ok = false;
    const int v = s.trimmed().toInt(&ok);
    return ok ? v : fallback;
}

// The quoted integer after the first letter `letter` (any case) of the tag.
int quotedIntAfter(const QString& tag, QChar letter)
{
    const qsizetype p = tag.indexOf(letter, 0, Qt::CaseInsensitive);
    if (p < 0)
        return 0;
    const qsizetype q1 = tag.indexOf(u'"', p + 1);
    if (q1 < 0)
        return 0;
    return IntValue(tag.mid(q1 + 1));
}

Color parseColor(const QString& value)
{
    if (value.startsWith(u'#'))
        return HTMLHexColorToColor(value) & 0xFFFFFFu;
    return HTMLColorNameToColor(value.toLower());
}

bool isMiddleEastLocale() { return QLocale().textDirection() == Qt::RightToLeft; }

// --- the renderer ------------------------------------------------------------------------------

class Renderer {
public:
    Renderer(Canvas& canvas, const Rect& area, const THTMLDrawParams& params, THTMLDrawResult& result)
        : m_c(canvas)
        , m_area(area)
        , m_p(params)
        , m_res(result)
    {
    }

    bool run(const QString& input);

private:
    // What one pass found out about its line.
    struct Line {
        int width = 0;
        int height = 0;
        int supExtra = 0;
        int subExtra = 0;
        int baseOffset = 0;
        bool textAnchorHit = false;
        bool imageHit = false;
        bool controlHit = false;
        bool dropRest = false;
    };
    // Where a pass lays its line: x starts at left; the drawing pass also knows the line's
    // final height and bottoms.
    struct Geometry {
        int left = 0;
        int top = 0;
        int right = 0;
        int bottom = 0;       // top + height + both extras
        int textBottom = 0;   // bottom - the subscript extra
        int height = 0;       // the line height without extras
        int supExtra = 0;
        int subExtra = 0;
        int baseOffset = 0;
    };
    enum class Step { Go, EndAfter, EndBefore };

    qsizetype pass(bool layout, bool draw, qsizetype pos, qsizetype end, const Geometry& g, Line& ln);
    Step openTag(const QString& tag, bool layout, bool draw, qsizetype pos, qsizetype lineStart, const Geometry& g,
                 Line& ln, int& x, bool& liOnLine);
    Step closeTag(const QString& name, bool draw, const Geometry& g, Line& ln, int& x);
    Step image(const QString& tag, const QString& upper, bool layout, bool draw, bool lineHasItems, const Geometry& g,
               Line& ln, int& x);
    Step control(const QString& tag, bool layout, bool draw, bool lineHasItems, const Geometry& g, Line& ln, int& x);
    void drawChunk(const QString& chunk, int x, int width, const Geometry& g);
    void drawControl(const TControlTag& t, int x, int w, int h, const Geometry& g, bool hot);
    THTMLPicture* findPicture(const QString& source);
    void tilePicture(THTMLPicture* picture);

    int lineHeightOfFont();
    int chunkWidth(const QString& chunk);
    int mirrored(int x, int width) const { return m_rtl ? m_area.left + m_area.right - x - width : x; }
    bool pointIn(int left, int top, int right, int bottom) const
    {
        return m_p.PointX >= left && m_p.PointX < right && m_p.PointY >= top && m_p.PointY < bottom;
    }
    void setBrush(Color c)
    {
        if (c == platform::clNone)
            m_c.brush().style = BrushStyle::Clear;
        else
            m_c.brush() = Brush{c, BrushStyle::Solid};
    }
    Color brushColor() const
    {
        return m_c.brush().style == BrushStyle::Clear ? platform::clNone : m_c.brush().color;
    }
    struct Search {
        qsizetype from = -1;
        qsizetype found = -1;
    };
    qsizetype nextOf(QChar ch, qsizetype from, Search& cache);

    Canvas& m_c;
    const Rect m_area;
    const THTMLDrawParams& m_p;
    THTMLDrawResult& m_res;
    QString m_text;
    unsigned m_flags = 0;
    bool m_rtl = false;
    Font m_defaultFont;
    Color m_startBrush = platform::clNone;
    QString m_inputControlID;
    std::vector<std::pair<QFont, int>> m_heights;
    Search m_nextLt;
    Search m_nextSpace;
    int m_lineNo = 0;

    // The render state of the call. Both passes over a line start from the state the line
    // started with, so that the second pass sees every tag as the first did.
    struct State {
        int listLevel = 0;
        bool inAnchor = false;
        QString href;
        QString title;
        int anchorCount = 0;
        int imageCount = 0;
        bool hidden = false;
        bool sup = false;
        bool sub = false;
        bool shadow = false;
        bool error = false;
        bool paraBackground = false;
        Color paraColor = platform::clNone;
        int paraAlign = 0;
        int paraIndent = 0;
        Color fontBrush = platform::clNone;   // remembered by FONT BGCOLOR
        Color hiFont = platform::clNone;      // remembered by HI
        Color hiBrush = platform::clNone;
        Color paraBrush = platform::clNone;   // remembered by P BGCOLOR
        Color anchorFont = platform::clNone;  // remembered by a hovered anchor
        Color anchorBrush = platform::clNone;
        int anchorStartX = 0;
        int anchorStartLine = -1;
        bool inFocus = false;
        int focusStartX = 0;
        int rotatedFrom = 0; // the font's orientation before R turned it
        Font font;           // the canvas' font and brush
        Brush brush;
    };
    State m_s;
    // Outside the state: what a pass found for the next pass to use.
    int m_hoveredImage = -1;
    bool m_anchorHitPending = false;
};

qsizetype Renderer::nextOf(QChar ch, qsizetype from, Search& cache)
{
    // The text never changes during a call: a search that started at or before `from` and found
    // its character at or after it (or found none) still answers.
    if (cache.from < 0 || cache.from > from || (cache.found >= 0 && cache.found < from)) {
        cache.from = from;
        cache.found = m_text.indexOf(ch, from);
    }
    return cache.found;
}

int Renderer::lineHeightOfFont()
{
    const QFont& f = m_c.font().font;
    for (const auto& [font, h] : m_heights)
        if (font == f)
            return h;
    Rect r{0, 0, 1000, 1000};
    m_c.drawText(QStringLiteral("gh"), r, m_flags | platform::DT_CALCRECT);
    const int h = r.height();
    if (m_heights.size() < 16)
        m_heights.emplace_back(f, h);
    return h;
}

int Renderer::chunkWidth(const QString& chunk)
{
    if (!chunk.contains(u'&') && !chunk.contains(u'\t'))
        return m_c.textWidth(chunk);
    Rect r{0, 0, 100000, 1000};
    m_c.drawText(chunk, r, m_flags | platform::DT_CALCRECT);
    return r.width();
}

bool Renderer::run(const QString& input)
{
    const Pen oldPen = m_c.pen();
    const Brush oldBrush = m_c.brush();
    const Font oldFont = m_c.font();
    const platform::BkMode oldMode = m_c.bkMode();

    m_inputControlID = m_p.NoDraw ? m_res.ControlID : QString();
    m_res = THTMLDrawResult{};
    m_res.ControlID = m_inputControlID;

    m_startBrush = oldBrush.style == BrushStyle::Clear ? platform::clNone : oldBrush.color;
    m_c.brush() = Brush{platform::clNone, BrushStyle::Clear};
    m_c.setBkMode(platform::BkMode::Transparent);

    m_flags = platform::DT_BOTTOM | platform::DT_SINGLELINE | platform::DT_EXPANDTABS | platform::DT_EXTERNALLEADING;
    m_flags = BiDiDrawTextFlags(m_flags, m_p.BiDiMode);
    if (!m_p.WordWrap)
        m_flags |= platform::DT_END_ELLIPSIS;
    m_rtl = (m_flags & platform::DT_RTLREADING) != 0;

    m_text = LineBreaksToBR(UnwrapHashTags(replaceEntities(input)), true);
    m_defaultFont = oldFont;

    const int gh = lineHeightOfFont();
    const int left0 = m_area.left + 1;
    const int available = m_area.right - left0;
    int top = m_area.top;
    bool hit = false;
    bool laidOut = false;
    qsizetype pos = 0;
    const qsizetype total = m_text.size();

    while (pos < total) {
        laidOut = true;
        // Each line starts with the font it had at the end of the previous one; superscript,
        // subscript and the baseline offset start afresh.
        m_s.sup = m_s.sub = false;
        m_s.font = m_c.font();
        m_s.brush = m_c.brush();
        const State lineStart = m_s;

        // Measuring: as much text as fits from the area's left.
        Line ln;
        ln.height = lineHeightOfFont();
        const int lineGh = ln.height;
        Geometry gm;
        gm.left = left0;
        gm.top = top;
        gm.right = m_area.right;
        qsizetype consumed = pass(true, false, pos, total, gm, ln);
        if (consumed <= pos && !ln.dropRest)
            ln.dropRest = true; // nothing could be taken: the rest cannot be laid out either

        int left = left0;
        if (m_s.paraAlign == 1 && m_area.right - ln.width > left)
            left = m_area.right - ln.width;
        else if (m_s.paraAlign == 2 && (available - ln.width) / 2 > 0)
            left += (available - ln.width) / 2;
        left += m_s.paraIndent;
        const int bottom = top + ln.height + ln.subExtra + ln.supExtra;

        if (!m_p.CalcOnly) {
            m_s = lineStart;
            m_c.font() = m_s.font;
            m_c.brush() = m_s.brush;
            Geometry gd;
            gd.left = left;
            gd.top = top;
            gd.right = m_area.right;
            gd.bottom = bottom;
            gd.textBottom = bottom - ln.subExtra;
            gd.height = ln.height;
            gd.supExtra = ln.supExtra;
            gd.subExtra = ln.subExtra;
            gd.baseOffset = ln.baseOffset;
            Line second = ln;
            second.textAnchorHit = second.imageHit = second.controlHit = false;
            pass(false, !m_p.NoDraw, pos, consumed, gd, second);
            const int band = bottom - ln.baseOffset;
            if (second.textAnchorHit && m_p.PointY < band && m_p.PointY > band - lineGh)
                hit = true;
            if (second.imageHit || second.controlHit)
                hit = true;
        }

        pos = ln.dropRest ? total : consumed;
        const int step = ln.height + ln.subExtra + ln.supExtra;
        top += step;
        m_res.TextHeight += step;
        ++m_lineNo;
        if (!m_p.CalcOnly && top + gh > m_area.bottom)
            break;
    }
    if (!laidOut)
        m_res.TextHeight = gh;
    m_res.AnchorCount = m_s.anchorCount;

    m_c.pen() = oldPen;
    m_c.brush() = oldBrush;
    m_c.font() = oldFont;
    m_c.setBkMode(oldMode);
    return hit;
}

qsizetype Renderer::pass(bool layout, bool draw, qsizetype pos, const qsizetype end, const Geometry& g, Line& ln)
{
    const bool measure = !draw;
    const int available = m_area.right - (m_area.left + 1);
    const qsizetype lineStart = pos;
    int x = g.left;
    int trailingSpace = 0;
    bool liOnLine = false;
    QString lineText;
    ln.width = 0;
    if (layout) {
        ln.supExtra = ln.subExtra = ln.baseOffset = 0;
        ln.dropRest = false;
    }
    if (m_s.inFocus)
        m_s.focusStartX = g.left;
    if (m_s.paraBackground && draw) {
        m_c.pen().color = m_s.paraColor;
        m_c.brush() = Brush{m_s.paraColor, BrushStyle::Solid};
        m_c.fillRect(Rect{m_area.left, g.top, m_area.right, g.top + g.height});
    }

    while (pos < end) {
        if (m_text[pos] != u'<') {
            // A chunk: up to the next tag, with word wrap up to and including the next space.
            qsizetype lt = nextOf(u'<', pos, m_nextLt);
            if (lt < 0 || lt > end)
                lt = end;
            qsizetype chunkEnd = lt;
            if (m_p.WordWrap) {
                const qsizetype sp = nextOf(u' ', pos, m_nextSpace);
                if (sp >= 0 && sp < lt)
                    chunkEnd = sp + 1;
            }
            const QString chunk = chunkEntities(m_text.mid(pos, chunkEnd - pos));
            if (m_s.hidden) {
                m_res.StripVal += chunk;
                pos = chunkEnd;
                continue;
            }
            const int cw = chunkWidth(chunk);
            bool dropAfter = false;
            if (layout) {
                bool fits = ln.width + cw < available || cw >= available;
                if (!fits && !lineText.endsWith(u' '))
                    fits = true; // a word split by tags stays together
                if (!fits) {
                    if (m_p.WordWrap)
                        break;
                    dropAfter = lineText.isEmpty() && pos == lineStart;
                }
                if (!m_p.WordWrap && pos == lineStart && cw >= available)
                    dropAfter = true;
            }
            const int h = lineHeightOfFont();
            ln.height = std::max(ln.height, h);
            if (m_s.sub)
                ln.subExtra = std::max(ln.subExtra, h / 4);
            if (m_s.sup)
                ln.supExtra = std::max(ln.supExtra, h / 4);
            m_res.StripVal += chunk;
            lineText += chunk;

            if (measure && m_s.inAnchor) {
                const int px = m_rtl ? m_area.left + m_area.right - m_p.PointX : m_p.PointX;
                if (px >= x && px < x + cw) {
                    ln.textAnchorHit = true;
                    if (m_p.PointY > g.top) {
                        m_res.AnchorVal = m_s.href;
                        m_res.AnchorTitle = m_s.title;
                        m_anchorHitPending = true;
                    }
                }
            }
            if (draw) {
                drawChunk(chunk, x, cw, g);
                if (m_s.inFocus)
                    m_res.FocusAnchor = m_s.href;
            }
            x += cw;
            ln.width += cw;
            trailingSpace = chunk.endsWith(u' ') ? m_c.textWidth(QStringLiteral(" ")) : 0;
            pos = chunkEnd;
            if (dropAfter) {
                ln.dropRest = true;
                break;
            }
            continue;
        }

        // "<" with at most one character after it ends the text.
        if (end - pos <= 2) {
            pos = end;
            break;
        }
        const qsizetype gt = m_text.indexOf(u'>', pos);
        if (gt < 0 || gt >= end) {
            ln.dropRest = true;
            break;
        }
        const QString tag = m_text.mid(pos + 1, gt - pos - 1);
        Step step = Step::Go;
        if (tag.startsWith(u'/') && gt - pos + 1 > 3)
            step = closeTag(platform::upperAscii(tag.mid(1)), draw, g, ln, x);
        else
            step = openTag(tag, layout, draw, pos, lineStart, g, ln, x, liOnLine);
        if (step == Step::EndBefore && layout && pos > lineStart)
            break;
        pos = gt + 1;
        if (step == Step::EndAfter)
            break;
    }

    ln.width -= trailingSpace;
    m_res.TextWidth = std::max(m_res.TextWidth, ln.width);
    if (draw && m_s.inFocus) {
        const int fx = mirrored(m_s.focusStartX, x - m_s.focusStartX);
        m_c.drawFocusRect(Rect{fx, g.top, fx + (x - m_s.focusStartX), g.bottom});
    }
    return pos;
}

Renderer::Step Renderer::openTag(const QString& tag, bool layout, bool draw, qsizetype pos, qsizetype lineStart,
                                 const Geometry& g, Line& ln, int& x, bool& liOnLine)
{
    const QString u = platform::upperAscii(tag);
    Font& font = m_c.font();
    auto is = [&](const char* name) { return u == QLatin1String(name); };
    auto starts = [&](const char* name) { return u.startsWith(QLatin1String(name)); };

    if (starts("A")) {
        if (u.indexOf(QLatin1String("HREF"), 1) >= 0)
            m_s.inAnchor = true;
        if (draw && m_p.FocusAnchor >= 0 && m_p.FocusAnchor == m_s.anchorCount) {
            m_s.inFocus = true;
            m_s.focusStartX = x;
        }
        ++m_s.anchorCount;
        const bool hovered = m_s.anchorCount == m_p.HoverAnchor;
        if ((!m_p.HoverUnderlineOnly || hovered) && draw) {
            font.font.setUnderline(true);
            if (m_p.HoverColor != platform::clNone) {
                m_s.anchorBrush = brushColor();
                setBrush(m_p.HoverColor);
            }
            if (m_p.HoverFontColor != platform::clNone) {
                m_s.anchorFont = font.color;
                font.color = m_p.HoverFontColor;
            }
        }
        if (!m_p.KeepColors && !(hovered && m_p.HoverFontColor != platform::clNone && m_p.HoverUnderlineOnly))
            font.color = m_p.AnchorColor;
        m_s.href = attribute(tag, u, 1, QLatin1String("HREF"));
        m_s.title = attribute(tag, u, 1, QLatin1String("TITLE"));
        m_s.anchorStartX = x;
        m_s.anchorStartLine = m_lineNo;
        return Step::Go;
    }
    if (is("B")) {
        font.font.setBold(true);
        return Step::Go;
    }
    if (starts("BR")) {
        m_res.StripVal += u'\r';
        return Step::EndAfter;
    }
    if (starts("BL")) {
        if (!m_p.KeepColors && !m_p.BlinkPhase && m_startBrush != platform::clNone)
            font.color = m_startBrush;
        return Step::Go;
    }
    if (starts("BO")) {
        if (draw) {
            const QString background = attribute(tag, u, 2, QLatin1String("BACKGROUND"));
            if (!background.isEmpty())
                tilePicture(findPicture(background));
            const QString color = attribute(u, u, 2, QLatin1String("BGCOLOR"));
            if (!color.isEmpty() && !m_p.KeepColors) {
                const Brush keep = m_c.brush();
                m_c.brush() = Brush{parseColor(color), BrushStyle::Solid};
                m_c.fillRect(m_area);
                m_c.brush() = keep;
            }
        }
        return Step::Go;
    }
    if (starts("C"))
        return control(tag, layout, draw, pos > lineStart, g, ln, x);
    if (starts("E")) {
        m_s.error = true;
        return Step::Go;
    }
    if (starts("F")) {
        const QString face = attribute(u, u, 1, QLatin1String("FACE"));
        if (!face.isEmpty())
            font.font.setFamily(face);
        const QString color = attribute(u, u, 1, QLatin1String(" COLOR"));
        if (!color.isEmpty() && !m_p.KeepColors)
            font.color = parseColor(color);
        const QString bg = attribute(u, u, 1, QLatin1String("BGCOLOR"));
        if (!bg.isEmpty() && draw && !m_p.KeepColors) {
            m_s.fontBrush = brushColor();
            setBrush(parseColor(bg));
        }
        const qsizetype sp = u.indexOf(QLatin1String("SIZE"), 1);
        if (sp >= 0) {
            qsizetype i = sp + 4;
            while (i < u.size() && (u[i] == u' ' || u[i] == u'=' || u[i] == u'"'))
                ++i;
            int size = IntValue(u.mid(i, 12));
            static const int kSizes[] = {8, 10, 12, 14, 16};
            if (size >= 1 && size <= 5)
                size = kSizes[size - 1];
            if (size > 0)
                font.font.setPointSize(std::min(size, kMaxFontPoints));
        }
        return Step::Go;
    }
    if (starts("HI")) {
        if (draw) {
            m_s.hiFont = font.color;
            m_s.hiBrush = brushColor();
            setBrush(g_highlight);
            font.color = g_highlightText;
        }
        return Step::Go;
    }
    if (starts("HR")) {
        if (draw) {
            m_c.pen() = Pen{platform::clBlack, 1, PenStyle::Solid};
            m_c.moveTo(g.left, g.bottom + 1);
            m_c.lineTo(g.right, g.bottom + 1);
        }
        return Step::EndAfter;
    }
    if (is("I")) {
        font.font.setItalic(true);
        return Step::Go;
    }
    if (starts("IN")) {
        const int indent = std::clamp(quotedIntAfter(tag, u'x'), 0, kMaxExtent);
        if (ln.width < indent) {
            ln.width = indent;
            x = m_area.left + indent;
        }
        return Step::Go;
    }
    if (starts("IM"))
        return image(tag, u, layout, draw, pos > lineStart, g, ln, x);
    if (starts("L")) {
        if (liOnLine)
            return Step::EndBefore;
        liOnLine = true;
        ln.width += m_s.listLevel * kListIndent;
        x += m_s.listLevel * kListIndent - kListIndent;
        if (draw) {
            const Font keep = font;
            font.font.setFamily(QStringLiteral("Symbol"));
            Rect r{mirrored(x, kListIndent), g.top, mirrored(x, kListIndent) + kListIndent, g.textBottom};
            m_c.drawText(m_s.listLevel % 2 == 1 ? QStringLiteral("\u00B7") : QStringLiteral("o"), r,
                         m_flags | platform::DT_NOCLIP);
            font = keep;
        }
        x += kListIndent;
        return Step::Go;
    }
    if (starts("P")) {
        const QString align = attribute(u, u, 1, QLatin1String("ALIGN"));
        if (align.contains(QLatin1String("RIGHT")))
            m_s.paraAlign = 1;
        else if (align.contains(QLatin1String("LEFT")))
            m_s.paraAlign = 0;
        else if (align.contains(QLatin1String("CENTER")))
            m_s.paraAlign = 2;
        const QString indent = attribute(u, u, 1, QLatin1String("INDENT"));
        if (!indent.isEmpty())
            m_s.paraIndent = std::clamp(toIntOr(indent, 0), -kMaxExtent, kMaxExtent);
        const QString bg = attribute(u, u, 1, QLatin1String("BGCOLOR"));
        if (!bg.isEmpty() && draw && !m_p.KeepColors) {
            m_s.paraBrush = brushColor();
            m_s.paraColor = parseColor(bg);
            m_s.paraBackground = true;
            m_c.pen().color = m_s.paraColor;
            m_c.brush() = Brush{m_s.paraColor, BrushStyle::Solid};
            m_c.fillRect(Rect{m_area.left, g.top, m_area.right, g.top + g.height});
        }
        return Step::Go;
    }
    if (starts("R")) {
        const int angle = std::clamp(quotedIntAfter(tag, u'a'), -3600, 3600);
        m_s.rotatedFrom = font.orientation;
        font.orientation = angle * 10;
        return Step::Go;
    }
    if (is("S")) {
        font.font.setStrikeOut(true);
        return Step::Go;
    }
    if (starts("SH")) {
        m_s.shadow = true;
        return Step::Go;
    }
    if (is("SUB")) {
        m_s.sub = true;
        return Step::Go;
    }
    if (is("SUP")) {
        m_s.sup = true;
        return Step::Go;
    }
    if (is("U")) {
        font.font.setUnderline(true);
        return Step::Go;
    }
    if (starts("U")) {
        m_s.listLevel = std::min(m_s.listLevel + 1, 64);
        return Step::EndAfter;
    }
    if (starts("Z")) {
        m_s.hidden = true;
        return Step::Go;
    }
    return Step::Go;
}

Renderer::Step Renderer::closeTag(const QString& name, bool draw, const Geometry& g, Line& ln, int& x)
{
    Font& font = m_c.font();
    auto starts = [&](const char* n) { return name.startsWith(QLatin1String(n)); };

    if (starts("A")) {
        const bool hovered = m_s.anchorCount == m_p.HoverAnchor;
        if ((!m_p.HoverUnderlineOnly || hovered) && draw) {
            font.font.setUnderline(false);
            if (m_p.HoverColor != platform::clNone)
                setBrush(m_s.anchorBrush);
            if (m_p.HoverFontColor != platform::clNone)
                font.color = m_s.anchorFont;
        }
        if (!m_p.KeepColors)
            font.color = m_defaultFont.color;
        m_s.inAnchor = false;
        if (m_anchorHitPending) {
            const int from = m_s.anchorStartLine == m_lineNo ? m_s.anchorStartX : g.left;
            const int bottom = g.bottom > g.top ? g.bottom : g.top + ln.height;
            const int left = mirrored(from, x - from);
            m_res.AnchorRect = Rect{left, g.top, left + (x - from), bottom};
            m_res.AnchorIndex = m_s.anchorCount;
            m_anchorHitPending = false;
        }
        if (m_s.inFocus && draw) {
            const int fx = mirrored(m_s.focusStartX, x - m_s.focusStartX);
            m_c.drawFocusRect(Rect{fx, g.top, fx + (x - m_s.focusStartX), g.bottom});
            m_s.inFocus = false;
        }
        return Step::Go;
    }
    if (name == QLatin1String("B")) {
        font.font.setBold(false);
        return Step::Go;
    }
    if (starts("B")) {
        font.color = m_defaultFont.color;
        return Step::Go;
    }
    if (starts("E")) {
        m_s.error = false;
        return Step::Go;
    }
    if (starts("F")) {
        font.font.setFamily(m_defaultFont.font.family());
        if (m_defaultFont.font.pointSize() > 0)
            font.font.setPointSize(m_defaultFont.font.pointSize());
        else if (m_defaultFont.font.pixelSize() > 0)
            font.font.setPixelSize(m_defaultFont.font.pixelSize());
        if (draw && !m_p.KeepColors) {
            font.color = m_defaultFont.color;
            setBrush(m_s.fontBrush);
        }
        return Step::Go;
    }
    if (starts("H")) {
        if (draw) {
            font.color = m_s.hiFont;
            setBrush(m_s.hiBrush);
        }
        return Step::Go;
    }
    if (starts("I")) {
        font.font.setItalic(false);
        return Step::Go;
    }
    if (starts("L"))
        return Step::EndAfter;
    if (starts("P")) {
        if (draw) {
            setBrush(m_s.paraBrush);
            m_s.paraBackground = false;
        }
        return Step::EndAfter;
    }
    if (starts("R")) {
        font.orientation = m_s.rotatedFrom;
        m_s.rotatedFrom = 0;
        return Step::Go;
    }
    if (starts("SU")) {
        m_s.sup = m_s.sub = false;
        return Step::Go;
    }
    if (starts("SH")) {
        m_s.shadow = false;
        return Step::Go;
    }
    if (starts("S")) {
        font.font.setStrikeOut(false);
        return Step::Go;
    }
    if (name == QLatin1String("U") || (starts("U") && m_s.listLevel == 0)) {
        font.font.setUnderline(false);
        return Step::Go;
    }
    if (starts("U")) {
        m_s.listLevel = std::max(0, m_s.listLevel - 1);
        return Step::Go;
    }
    if (starts("Z")) {
        m_s.hidden = false;
        return Step::Go;
    }
    return Step::Go;
}

void Renderer::drawChunk(const QString& chunk, int x, int width, const Geometry& g)
{
    int bottom = g.textBottom - g.baseOffset;
    if (m_s.sup)
        bottom -= g.supExtra;
    if (m_s.sub)
        bottom += g.subExtra;
    const int dx = mirrored(x, width);
    Font& font = m_c.font();
    auto put = [&](int px, int py) {
        if (font.orientation != 0) {
            m_c.textOut(px, py - lineHeightOfFont(), chunk);
            return;
        }
        Rect r{px, g.top, m_rtl ? px + width : m_area.right, py};
        m_c.drawText(chunk, r, m_flags);
    };
    if (m_s.shadow) {
        const Color keep = font.color;
        font.color = m_p.ShadowColor;
        put(dx + m_p.ShadowOffset, bottom + m_p.ShadowOffset);
        font.color = keep;
    }
    put(dx, bottom);
    if (m_s.error) {
        const Pen keep = m_c.pen();
        m_c.pen() = Pen{platform::clRed, 1, PenStyle::Solid};
        std::vector<QPoint> zigzag;
        const int right = dx + width;
        for (int px = dx & ~1; px <= right; px += 2)
            zigzag.emplace_back(px, (px & 3) == 0 ? bottom + 1 : bottom - 1);
        if (zigzag.size() >= 2)
            m_c.polyline(std::span<const QPoint>(zigzag.data(), zigzag.size()));
        m_c.pen() = keep;
    }
}

THTMLPicture* Renderer::findPicture(const QString& source)
{
    if (source.isEmpty())
        return nullptr;
    if (!source.contains(u':'))
        return m_p.Container ? m_p.Container->FindPicture(source) : nullptr;
    if (!source.contains(QLatin1String("://")) || !m_p.ImageCache)
        return nullptr;
    THTMLPicture* picture = m_p.ImageCache->FindPicture(source);
    if (!picture) {
        picture = m_p.ImageCache->AddPicture();
        picture->Asynch = false;
        try {
            picture->LoadFromURL(source);
        } catch (const std::exception&) {
            // A picture that does not decode draws nothing and stays in the cache as such.
        }
    }
    return picture;
}

void Renderer::tilePicture(THTMLPicture* picture)
{
    if (!picture || picture->Empty() || picture->Image().isNull())
        return;
    const int w = picture->Width();
    const int h = picture->Height();
    if (w <= 0 || h <= 0)
        return;
    const platform::Bitmap bitmap = platform::Bitmap::fromImage(picture->Image(), platform::PixelFormat::pf32bit);
    const int state = m_c.saveState();
    m_c.intersectClipRect(m_area);
    for (int y = m_area.top; y < m_area.bottom; y += h)
        for (int x = m_area.left; x < m_area.right; x += w)
            m_c.draw(x, y, bitmap);
    m_c.restoreState(state);
}

Renderer::Step Renderer::image(const QString& tag, const QString& upper, bool layout, bool draw, bool lineHasItems,
                               const Geometry& g, Line& ln, int& x)
{
    ++m_s.imageCount;
    // Sources keep the case they are written in: names of files are case-sensitive here.
    QString source = attribute(tag, upper, 2, QLatin1String("SRC"));
    if (upper.indexOf(QLatin1String("ALT"), 2) >= 0 && m_hoveredImage == m_s.imageCount)
        source = attribute(tag, upper, 2, QLatin1String("ALT"));
    const int width = std::clamp(toIntOr(attribute(upper, upper, 2, QLatin1String("WIDTH")), 0), 0, kMaxExtent);
    const int height = std::clamp(toIntOr(attribute(upper, upper, 2, QLatin1String("HEIGHT")), 0), 0, kMaxExtent);

    enum class Kind { None, List, Shell, Picture } kind = Kind::None;
    int w = 0, h = 0, listIndex = -1;
    bool large = false;
    QString shellSource;
    THTMLPicture* picture = nullptr;
    if (source.startsWith(QLatin1String("IDX:"), Qt::CaseInsensitive)) {
        listIndex = toIntOr(source.mid(4), -1);
        if (m_p.Images && listIndex >= 0 && listIndex < m_p.Images->Count()) {
            kind = Kind::List;
            w = m_p.Images->Width();
            h = m_p.Images->Height();
        }
    } else if (source.startsWith(QLatin1String("SSYS:"), Qt::CaseInsensitive)
               || source.startsWith(QLatin1String("LSYS:"), Qt::CaseInsensitive)) {
        kind = Kind::Shell;
        large = source.startsWith(u'L', Qt::CaseInsensitive);
        shellSource = source.mid(5);
        QSize size;
        DrawShellIcon(m_c, 0, 0, size, m_p.ResFactor, m_p.Printing, false, large, shellSource);
        w = size.width();
        h = size.height();
    } else {
        picture = findPicture(source);
        if (picture && !picture->Empty() && !picture->Image().isNull()) {
            kind = Kind::Picture;
            const int pw = std::max(1, picture->Width());
            const int ph = std::max(1, picture->Height());
            if (width > 0 && height > 0) {
                w = width;
                h = height;
            } else if (width > 0) {
                w = width;
                h = int(std::min<qint64>(kMaxExtent, qint64(ph) * width / pw));
            } else if (height > 0) {
                h = height;
                w = int(std::min<qint64>(kMaxExtent, qint64(pw) * height / ph));
            } else {
                w = std::min(kMaxExtent, picture->MaxWidth());
                h = std::min(kMaxExtent, picture->MaxHeight());
            }
        }
    }
    if (kind == Kind::None)
        return Step::Go;

    const int available = m_area.right - (m_area.left + 1);
    if (layout && lineHasItems && ln.width + w > available && w <= available) {
        --m_s.imageCount;
        return Step::EndBefore;
    }

    if (m_s.inAnchor && pointIn(mirrored(x, w), g.top, mirrored(x, w) + w, g.top + h)) {
        ln.imageHit = true;
        m_res.AnchorVal = m_s.href;
        m_res.AnchorTitle = m_s.title;
        m_hoveredImage = m_s.imageCount;
    }

    if (draw) {
        const int dx = mirrored(x, w);
        switch (kind) {
        case Kind::List:
            if (m_p.Printing) {
                platform::Bitmap bitmap;
                m_p.Images->GetBitmap(listIndex, bitmap);
                StretchBitmap(m_c, Rect{dx, g.top, dx + int(w * m_p.ResFactor), g.top + int(h * m_p.ResFactor)}, bitmap);
            } else {
                m_p.Images->Draw(m_c, dx, g.top, listIndex);
            }
            break;
        case Kind::Shell: {
            QSize size;
            DrawShellIcon(m_c, dx, g.top, size, m_p.ResFactor, m_p.Printing, true, large, shellSource);
            break;
        }
        case Kind::Picture:
            if (width > 0 || height > 0) {
                const bool keep = picture->Stretch;
                picture->Stretch = true;
                picture->Draw(m_c, Rect{dx, g.top, dx + w, g.top + h});
                picture->Stretch = keep;
            } else {
                if (picture->FrameCount() > 1 && m_startBrush != platform::clNone) {
                    const Brush keep = m_c.brush();
                    m_c.brush() = Brush{m_startBrush, BrushStyle::Solid};
                    m_c.fillRect(Rect{dx, g.top, dx + w, g.top + h});
                    m_c.brush() = keep;
                }
                const int fx = dx + picture->FrameXPos();
                const int fy = g.top + picture->FrameYPos();
                picture->Draw(m_c, Rect{fx, fy, fx + picture->Width(), fy + picture->Height()});
            }
            break;
        case Kind::None:
            break;
        }
    }

    x += w;
    ln.width += w;
    if (layout) {
        ln.height = std::max(ln.height, h);
        if (upper.indexOf(QLatin1String("ALIGN"), 2) >= 0) {
            const int gh = lineHeightOfFont();
            if (upper.contains(QLatin1String("\"TOP")))
                ln.baseOffset = ln.height - gh;
            else if (upper.contains(QLatin1String("\"MIDDLE")))
                ln.baseOffset = (ln.height - gh) / 2;
        }
    }
    return Step::Go;
}

Renderer::Step Renderer::control(const QString& tag, bool layout, bool draw, bool lineHasItems, const Geometry& g,
                                 Line& ln, int& x)
{
    const TControlTag t = ParseControlTag(tag);
    if (t.Width.isEmpty())
        return Step::Go;
    const int w = std::clamp(IntValue(t.Width), 0, kMaxExtent);
    const int boxHeight = std::clamp(toIntOr(t.Height, 25), 0, kMaxExtent);
    const bool check = t.Type == QLatin1String("CHECK") || t.Type == QLatin1String("RADIO");
    int h = 0;
    if (check)
        h = 16;
    else if (t.Type == QLatin1String("BUTTON") || t.Type == QLatin1String("COMBO"))
        h = 25;
    else
        h = lineHeightOfFont() + 10;

    const int available = m_area.right - (m_area.left + 1);
    if (layout && lineHasItems && ln.width + w > available && w <= available)
        return Step::EndBefore;

    if (layout) {
        const int base = check ? 16 : (boxHeight > 25 ? boxHeight - 2 : 23);
        ln.height = std::max({ln.height, base, h});
    }
    const int dx = mirrored(x, w);
    const bool over = pointIn(dx, g.top, dx + w, g.top + h);
    if (over || (m_p.NoDraw && !m_inputControlID.isEmpty() && t.ID == m_inputControlID)) {
        ln.controlHit = true;
        m_res.AnchorVal = QStringLiteral("ctrl");
        m_res.ControlType = t.Type;
        m_res.ControlValue = t.Value;
        m_res.ControlID = t.ID;
        m_res.ControlRect = Rect{dx, g.top, dx + w, g.top + h};
    }
    if (draw)
        drawControl(t, dx, w, boxHeight, g, over);
    x += w;
    ln.width += w;
    return Step::Go;
}

void Renderer::drawControl(const TControlTag& t, int x, int w, int buttonHeight, const Geometry& g, bool hot)
{
    const int b = g.textBottom;
    const int s = g.height;
    const bool themed = platform::IsThemeActive();
    const Pen keepPen = m_c.pen();
    const Brush keepBrush = m_c.brush();
    const Font keepFont = m_c.font();
    const bool checked = t.Value.compare(QLatin1String("TRUE"), Qt::CaseInsensitive) == 0;
    auto box = [&](const Rect& r) {
        m_c.pen() = Pen{themed ? Color(0xB99D7F) : Color(0x808080), 1, PenStyle::Solid};
        m_c.brush() = Brush{platform::clWhite, BrushStyle::Solid};
        m_c.rectangle(r);
    };
    auto value = [&](const QString& text, Rect r) {
        m_c.brush().style = BrushStyle::Clear;
        m_c.font().color = platform::clWindowText;
        m_c.drawText(text, r, platform::DT_SINGLELINE | platform::DT_VCENTER | platform::DT_NOPREFIX);
    };

    if (t.Type == QLatin1String("EDIT") || t.Type == QLatin1String("PASSWORD") || t.Type == QLatin1String("MASK")) {
        box(Rect{x, b - s + 4, x + w, b + 2});
        value(t.Type == QLatin1String("PASSWORD") ? PasswordMask(t.Value) : t.Value, Rect{x + 2, b - s + 4, x + w, b});
    } else if (t.Type == QLatin1String("COMBO")) {
        box(Rect{x, b - s + 4, x + w, b + 2});
        value(t.Value, Rect{x + 4, b - s + 4, x + w - 18, b});
        Rect button{x + w - 18, b - s + 5, x + w - 1, b + 1};
        const platform::HTHEME theme = themed ? platform::OpenThemeData(m_p.Window, QStringLiteral("combobox")) : 0;
        if (theme) {
            platform::DrawThemeBackground(theme, m_c, platform::CP_DROPDOWNBUTTON,
                                          hot ? platform::CBXS_HOT : platform::CBXS_NORMAL, button);
            platform::CloseThemeData(theme);
        } else {
            platform::DrawFrameControl(m_c, button, platform::DFC_SCROLL, platform::DFCS_SCROLLCOMBOBOX);
        }
    } else if (t.Type == QLatin1String("CHECK") || t.Type == QLatin1String("RADIO")) {
        const bool radio = t.Type == QLatin1String("RADIO");
        Rect r = radio ? Rect{x + 2, b - 14, x + 14, b} : Rect{x + 2, b - 15, x + 15, b};
        const platform::HTHEME theme = themed ? platform::OpenThemeData(m_p.Window, QStringLiteral("button")) : 0;
        if (theme) {
            const int state = radio ? int(checked ? platform::RBS_CHECKEDNORMAL : platform::RBS_UNCHECKEDNORMAL)
                                    : int(checked ? platform::CBS_CHECKEDNORMAL : platform::CBS_UNCHECKEDNORMAL);
            platform::DrawThemeBackground(theme, m_c, radio ? platform::BP_RADIOBUTTON : platform::BP_CHECKBOX, state, r);
            platform::CloseThemeData(theme);
        } else {
            const unsigned kind = radio ? platform::DFCS_BUTTONRADIO : platform::DFCS_BUTTONCHECK;
            platform::DrawFrameControl(m_c, r, platform::DFC_BUTTON,
                                       kind | platform::DFCS_FLAT | (checked ? platform::DFCS_CHECKED : 0u));
        }
    } else if (t.Type == QLatin1String("BUTTON")) {
        Rect r{x + 2, b - buttonHeight, x + w - 2, b};
        const bool pressed = hot && m_p.MouseDown;
        const platform::HTHEME theme = themed ? platform::OpenThemeData(m_p.Window, QStringLiteral("button")) : 0;
        if (theme) {
            const int state = pressed ? platform::PBS_PRESSED : (hot ? platform::PBS_HOT : platform::PBS_NORMAL);
            platform::DrawThemeBackground(theme, m_c, platform::BP_PUSHBUTTON, state, r);
            platform::CloseThemeData(theme);
        } else {
            Rect frame = r;
            platform::DrawFrameControl(m_c, frame, platform::DFC_BUTTON,
                                       platform::DFCS_BUTTONPUSH | (pressed ? platform::DFCS_PUSHED : 0u));
        }
        Rect caption = r.inflated(-2, -2);
        m_c.brush().style = BrushStyle::Clear;
        m_c.font().color = platform::clBtnText;
        m_c.drawText(t.Value, caption,
                     platform::DT_SINGLELINE | platform::DT_VCENTER | platform::DT_CENTER | platform::DT_NOPREFIX);
    }
    m_c.pen() = keepPen;
    m_c.brush() = keepBrush;
    m_c.font() = keepFont;
}

} // namespace

bool HTMLDrawText(Canvas& canvas, const QString& text, const Rect& r, const THTMLDrawParams& params,
                  THTMLDrawResult& result)
{
    Renderer renderer(canvas, r, params, result);
    return renderer.run(text);
}

void SetHighlightColors(Color background, Color text)
{
    g_highlight = background;
    g_highlightText = text;
}

Color HTMLHighlightColor() { return g_highlight; }
Color HTMLHighlightTextColor() { return g_highlightText; }

unsigned BiDiDrawTextFlags(unsigned flags, int biDiMode)
{
    if (!isMiddleEastLocale())
        return flags;
    if (biDiMode == 1) {
        if (flags & platform::DT_RIGHT)
            flags &= ~platform::DT_RIGHT;
        else if (!(flags & platform::DT_CENTER))
            flags |= platform::DT_RIGHT;
    }
    if (biDiMode != 0)
        flags |= platform::DT_RTLREADING;
    return flags;
}

platform::Font SelectRotatedFont(Canvas& canvas, int angle)
{
    const platform::Font old = canvas.font();
    canvas.font().orientation = angle * 10;
    return old;
}

void RestoreFont(Canvas& canvas, const platform::Font& old) { canvas.font() = old; }

void StretchBitmap(Canvas& canvas, const Rect& r, const platform::Bitmap& bitmap)
{
    if (!bitmap.isEmpty() && !r.isEmpty())
        canvas.stretchDraw(r, bitmap);
}

void DrawShellIcon(Canvas& canvas, int x, int y, QSize& size, double resFactor, bool printing, bool draw,
                   bool large, const QString& source)
{
    const int side = large ? 32 : 16;
    size = QSize(side, side);
    if (!draw)
        return;
    bool isNumber = false;
    source.toInt(&isNumber);
    if (isNumber)
        return; // the system's image list has no numbered icons here
    static QMimeDatabase mimes;
    const QFileInfo info(source);
    const QMimeType type = info.exists() ? mimes.mimeTypeForFile(info)
                                         : mimes.mimeTypeForFile(info.fileName(), QMimeDatabase::MatchExtension);
    QIcon icon = QIcon::fromTheme(type.iconName());
    if (icon.isNull())
        icon = QIcon::fromTheme(type.genericIconName());
    if (icon.isNull())
        return;
    const QImage image = icon.pixmap(side, side).toImage();
    if (image.isNull())
        return;
    const platform::Bitmap bitmap = platform::Bitmap::fromImage(image, platform::PixelFormat::pf32bit);
    if (printing)
        StretchBitmap(canvas, Rect{x, y, x + int(side * resFactor), y + int(side * resFactor)}, bitmap);
    else
        canvas.draw(x, y, bitmap);
}

} // namespace controls::grid
