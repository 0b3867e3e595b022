#include "controls/grid/io/Html.h"

#include "controls/grid/html/HTMLUtil.h"
#include "controls/grid/io/TextCodec.h"
#include "controls/grid/util/ExtUtil.h"
#include "platform/core/Errors.h"
#include "platform/draw/Graphics.h"
#include "platform/fs/Files.h"
#include "platform/text/Text.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <QUrl>

#include <optional>

namespace controls::grid::io {

namespace {

constexpr Color kUnset = 0x7FFFFFFF;

QString esc(const QString& s)
{
    QString r;
    r.reserve(s.size());
    for (QChar c : s) {
        switch (c.unicode()) {
        case '&':
            r += QLatin1String("&amp;");
            break;
        case '<':
            r += QLatin1String("&lt;");
            break;
        case '>':
            r += QLatin1String("&gt;");
            break;
        case '"':
            r += QLatin1String("&quot;");
            break;
        default:
            r += c;
        }
    }
    return r;
}

// The grid's HTML as XHTML: the markup with its bare ampersands as entities, or nothing when
// that is still not well-formed XML (the caller then writes the original text as characters).
std::optional<QString> asXhtml(const QString& t)
{
    static const QRegularExpression bareAmp(QStringLiteral("&(?!(#[0-9]+|#x[0-9a-fA-F]+|[A-Za-z][A-Za-z0-9]*);)"));
    QString x = t;
    x.replace(bareAmp, QStringLiteral("&amp;"));
    QXmlStreamReader r(QStringLiteral("<x>") + x + QStringLiteral("</x>"));
    while (!r.atEnd())
        r.readNext();
    if (r.hasError())
        return std::nullopt;
    return x;
}

// Characters a document cannot carry become U+FFFD: in XHTML every character XML 1.0 has no
// place for (the control characters but TAB, LF and CR, U+FFFE, U+FFFF), in HTML the NUL
// (parsers drop it); in both, halves of surrogate pairs standing alone.
QString documentSafe(const QString& text, bool xml)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            out += c;
            out += text[++i];
            continue;
        }
        const char16_t u = c.unicode();
        const bool bad = c.isSurrogate() || u == 0
                         || (xml && ((u < 0x20 && u != 9 && u != 10 && u != 13) || u == 0xFFFE || u == 0xFFFF));
        out += bad ? QChar(QChar::ReplacementCharacter) : c;
    }
    return out;
}

QString attr(const QString& name, const QString& value)
{
    return QStringLiteral(" %1=\"%2\"").arg(name, esc(value));
}

QImage imageOf(const platform::TImageList& images, int index)
{
    platform::Bitmap b;
    return images.GetBitmap(index, b) ? b.toDrawable() : QImage();
}

struct Writer {
    TExtStringGridPaint& g;
    QString dir;
    bool pictures;
    bool xhtml;
    int pictureNr = 1;
    QStringList styles;

    QString tag(const char* upper) const
    {
        return xhtml ? QString::fromLatin1(upper).toLower() : QString::fromLatin1(upper);
    }

    QString imageRef(const QImage& image)
    {
        if (!pictures || image.isNull())
            return QString();
        const QString folder = dir + QStringLiteral("images");
        if (!platform::folderExists(folder) && !platform::makeFolder(folder))
            throw platform::Exception(QStringLiteral("Cannot create ") + folder);
        const QString path = folder + QStringLiteral("/img%1.jpg").arg(pictureNr++);
        if (!image.convertToFormat(QImage::Format_RGB32).save(path, "JPEG"))
            throw platform::Exception(QStringLiteral("Cannot create ") + path);
        const QString src = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString();
        return QStringLiteral("<%1 src=\"%2\"%3>").arg(tag("IMG"), esc(src), xhtml ? QStringLiteral(" alt=\"\" /") : QString());
    }

    QString text(int c, int r, bool body)
    {
        QString t;
        g.SaveCell(g.RealColIndex(c), r, t);
        const bool isHtml = g.EnableHTML && GetTextKind(t, true) == 1;
        const QString before = t;
        if (!isHtml) {
            // Plain text is escaped: a "<" in a cell is a character, not markup.
            if (body && g.HTMLSettings.ConvertSpecialChars)
                t = EncodeHTMLEntities(t, false);
            else
                t = esc(t);
            if (body && g.HTMLSettings.NonBreakingText)
                t.replace(u' ', QLatin1String("&nbsp;"));
        }
        if (isHtml && xhtml) {
            // Escaped once: from the cell's own text, never from a half-converted one.
            const std::optional<QString> x = asXhtml(t);
            t = x ? *x : esc(t);
        }
        t.replace(u'\r', xhtml ? QStringLiteral("<br />") : QStringLiteral("<br>"));
        if (g.URLShow() && !before.contains(QLatin1String("</"))) {
            auto anchor = [&](const QString& marker) {
                const qsizetype at = before.indexOf(marker);
                if (at < 0)
                    return;
                const QString shown = g.URLFull() ? before : before.mid(at + marker.size()).left(255);
                t = QStringLiteral("<%1 href=\"%2\">%3</%1>").arg(tag("A"), esc(before), esc(shown));
            };
            anchor(QStringLiteral("://"));
            anchor(QStringLiteral("mailto:"));
        }
        // An empty cell shows as a no-break space (so that it keeps its borders); a cell of
        // blanks keeps them.
        if (before.isEmpty())
            t = QStringLiteral("&#160;");
        return t;
    }

    QString content(int c, int r, const QString& t)
    {
        if (!g.HTMLSettings.ExportImages)
            return t;
        const int rc = g.RealColIndex(c);
        TCellGraphic* gr = g.GetCellGraphic(rc, r);
        if (!gr)
            return t;
        platform::TImageList* images = g.GetGridImageList();
        switch (gr->CellType) {
        case ctBitmap:
            return gr->Bitmap ? t + imageRef(gr->Bitmap->toDrawable()) : t;
        case ctImageList:
            if (images && gr->CellIndex >= 0 && gr->CellIndex < images->Count())
                return imageRef(imageOf(*images, gr->CellIndex)) + t;
            return t;
        case ctDataImage: {
            QString saved;
            g.SaveCell(rc, r, saved);
            const int idx = platform::toIntDef(saved, -1);
            if (images && idx >= 0 && idx < images->Count())
                return imageRef(imageOf(*images, idx));
            return QString();
        }
        case ctNode:
            return QStringLiteral("+") + t;
        case ctImages: {
            if (!images || !gr->IntList())
                return t;
            QString pics;
            for (int i = 0; i < gr->IntList()->Count(); ++i) {
                const int idx = gr->IntList()->GetInteger(i);
                if (idx >= 0 && idx < images->Count())
                    pics += imageRef(imageOf(*images, idx));
            }
            return pics + t;
        }
        case ctPicture:
            return gr->Picture ? t + imageRef(gr->Picture->bitmap().toDrawable()) : t;
        default:
            return t;
        }
    }

    QString cellLine(int c, int r, bool header)
    {
        const QPoint span = g.CellSpan(g.RealColIndex(c), r);
        QString spans;
        if (span.x() > 0)
            spans += attr(xhtml ? QStringLiteral("colspan") : QStringLiteral("COLSPAN"), QString::number(span.x() + 1));
        if (span.y() > 0)
            spans += attr(xhtml ? QStringLiteral("rowspan") : QStringLiteral("ROWSPAN"), QString::number(span.y() + 1));
        const QString t = text(c, r, !header);
        TCellFormat f;
        f.font = g.GridFont();
        f.font.color = kUnset;
        ApplyFontStyles(f.font.font, 0);
        f.brush.color = kUnset;
        TGridDrawState state;
        g.GetVisualProperties(c, r, state, false, false, true, f);
        if (g.IsFixed(c, r))
            f.brush.color = g.fixedColor();
        const QString style = HTMLCellStyle(g, f.font, f.brush.color, f.alignment, f.vAlignment);
        qsizetype k = styles.indexOf(style);
        if (k < 0) {
            styles << style;
            k = styles.size() - 1;
        }
        QString extra;
        if (!f.wordWrap)
            extra += xhtml ? QStringLiteral(" style=\"white-space: nowrap\"") : QStringLiteral(" nowrap");
        const TIntList& widths = g.HTMLSettings.ColWidths;
        if (header && c < widths.Count())
            extra += attr(xhtml ? QStringLiteral("width") : QStringLiteral("WIDTH"), QString::number(widths.GetInteger(c)));
        return QStringLiteral("<%1 class=\"c%2\"%3%4>%5</%1>").arg(tag("TD")).arg(k).arg(spans, extra, content(c, r, t));
    }
};

} // namespace

QString HTMLCellStyle(const TExtStringGridPaint& grid, const platform::Font& font, Color brushColor,
                      platform::Alignment hAlign, TVAlignment vAlign)
{
    QStringList d;
    const bool save = grid.HTMLSettings.SaveColor;
    if (save && brushColor != kUnset && brushColor != platform::clNone)
        d << QStringLiteral("background-color: #") + ColorToHTMLHex(platform::colorToRgb(brushColor));
    if (save && font.color != kUnset && font.color != platform::clNone)
        d << QStringLiteral("color: #") + ColorToHTMLHex(platform::colorToRgb(font.color));
    d << QStringLiteral("font-size:%1pt").arg(FontPointSize(font.font));
    if (font.font.italic())
        d << QStringLiteral("font-style: italic");
    if (font.font.bold())
        d << QStringLiteral("font-weight: bold");
    d << QStringLiteral("font-family: ") + font.font.family();
    if (hAlign == platform::Alignment::taRightJustify)
        d << QStringLiteral("text-align: right");
    else if (hAlign == platform::Alignment::taCenter)
        d << QStringLiteral("text-align: center");
    d << (vAlign == vtaTop      ? QStringLiteral("vertical-align: top")
          : vAlign == vtaCenter ? QStringLiteral("vertical-align: middle")
                                : QStringLiteral("vertical-align: bottom"));
    return d.join(u';');
}

QString SaveToHTMLString(TExtStringGridPaint& g, const QString& dir, bool pictures)
{
    const THTMLSettings& s = g.HTMLSettings;
    Writer w{g, dir, pictures, s.XHTML, 1, {}};
    const int fc = g.SaveFixedCells || g.SaveFixedCols ? 0 : g.FixedCols();
    const int fr = g.SaveFixedCells || g.SaveFixedRows ? 0 : g.FixedRows();
    QStringList table;
    QString start = QStringLiteral("<%1").arg(w.tag("TABLE"));
    const bool x = s.XHTML;
    if (!x) {
        start += attr(QStringLiteral("BORDER"), QString::number(s.BorderSize));
        start += attr(QStringLiteral("CELLSPACING"), QString::number(s.CellSpacing));
        start += attr(QStringLiteral("CELLPADDING"), QString::number(s.CellPadding));
        if (!s.Summary.isEmpty())
            start += attr(QStringLiteral("SUMMARY"), s.Summary);
        if (!s.TableStyle.isEmpty())
            start += u' ' + s.TableStyle;
        start += attr(QStringLiteral("WIDTH"), QString::number(s.Width) + u'%');
    } else {
        start += attr(QStringLiteral("border"), QString::number(s.BorderSize));
        start += attr(QStringLiteral("cellspacing"), QString::number(s.CellSpacing));
        start += attr(QStringLiteral("cellpadding"), QString::number(s.CellPadding));
        if (!s.Summary.isEmpty())
            start += attr(QStringLiteral("summary"), s.Summary);
        start += attr(QStringLiteral("style"), QStringLiteral("width: %1%").arg(s.Width)
                                                  + (s.TableStyle.isEmpty() ? QString() : u';' + s.TableStyle));
    }
    table << start + u'>';
    int bodyStart = fr;
    const bool header = g.FixedRows() > 0 && (g.SaveFixedCells || g.SaveFixedRows);
    if (header) {
        table << QStringLiteral("<%1>").arg(w.tag("TR"));
        for (int c = fc; c < g.ColCount(); ++c)
            if (g.IsBaseCell(g.RealColIndex(c), 0))
                table << w.cellLine(c, 0, true);
        table << QStringLiteral("</%1>").arg(w.tag("TR"));
        bodyStart = std::max(bodyStart, 1);
    }
    g.ExportNotification(esExportStart, bodyStart);
    for (int r = bodyStart; r < g.RowCount(); ++r) {
        g.ExportNotification(esExportNextRow, r);
        table << QStringLiteral("<%1>").arg(w.tag("TR"));
        for (int c = fc; c < g.ColCount(); ++c)
            if (g.IsBaseCell(g.RealColIndex(c), r))
                table << w.cellLine(c, r, false);
        table << QStringLiteral("</%1>").arg(w.tag("TR"));
    }
    g.ExportNotification(esExportDone, -1);
    table << QStringLiteral("</%1>").arg(w.tag("TABLE"));
    if (!s.SuffixTag.isEmpty())
        table << s.SuffixTag;

    QString style = QStringLiteral("<style type=\"text/css\">\r\n");
    for (qsizetype k = 0; k < w.styles.size(); ++k)
        style += QStringLiteral(".c%1 {%2}\r\n").arg(k).arg(w.styles[k]);
    style += QStringLiteral("</style>\r\n");

    QString out;
    if (x) {
        out += QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
                              "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Strict//EN\"\r\n"
                              "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-strict.dtd\">\r\n"
                              "<html xmlns=\"http://www.w3.org/1999/xhtml\" xml:lang=\"en\" lang=\"en\">\r\n"
                              "<head>\r\n<title></title>\r\n");
        out += style;
        out += QStringLiteral("</head>\r\n<body>\r\n");
        out += s.PrefixTag;
        out += table.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
        out += QStringLiteral("</body>\r\n</html>\r\n");
    } else {
        out += s.PrefixTag;
        out += style;
        out += table.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
    }
    return documentSafe(out, x);
}

std::function<void(const QString& fileName)>& HtmlViewer()
{
    static std::function<void(const QString&)> viewer = [](const QString& f) {
        QDesktopServices::openUrl(QUrl::fromLocalFile(f));
    };
    return viewer;
}

namespace {

// A file says what it is written in, so that a reader that goes by the HTML rules does not
// take the UTF-8 for Windows-1252: a meta element in the head (at the start when there is no
// head), unless the text (a header file, an appended file) declares a character set already.
void declareCharset(QString& text, const QString& charset, bool xhtml)
{
    static const QRegularExpression declared(QStringLiteral("<meta\\b[^>]*charset\\s*="),
                                             QRegularExpression::CaseInsensitiveOption);
    if (declared.match(text).hasMatch())
        return;
    const QString meta = QStringLiteral("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=%1\"%2>")
                             .arg(charset, xhtml ? QStringLiteral(" /") : QString());
    static const QRegularExpression head(QStringLiteral("<head(\\s[^>]*)?>"), QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = head.match(text);
    if (m.hasMatch())
        text.insert(m.capturedEnd(), QStringLiteral("\r\n") + meta);
    else
        text.prepend(meta + QStringLiteral("\r\n"));
}

void writeHtmlFile(TExtStringGridPaint& g, const QString& fileName, bool append, bool unicode, bool show)
{
    QString text;
    if (append) {
        if (const auto old = platform::readWholeFile(fileName))
            text = DecodeGridText(*old);
    }
    auto include = [&](const QString& file) {
        if (file.isEmpty())
            return;
        QString error;
        const auto bytes = platform::readWholeFile(file, &error);
        if (!bytes)
            throw platform::Exception(QStringLiteral("Cannot open file %1: %2").arg(file, error));
        text += DecodeGridText(*bytes);
        if (!text.endsWith(u'\n'))
            text += QStringLiteral("\r\n");
    };
    include(g.HTMLSettings.HeaderFile);
    QString dir = QFileInfo(fileName).path().replace(u'\\', u'/');
    if (!dir.endsWith(u'/'))
        dir += u'/';
    QString doc = SaveToHTMLString(g, dir, true);
    if (unicode && g.HTMLSettings.XHTML)
        doc.replace(QStringLiteral("encoding=\"utf-8\""), QStringLiteral("encoding=\"utf-16\""));
    text += doc;
    include(g.HTMLSettings.FooterFile);
    declareCharset(text, unicode ? QStringLiteral("utf-16") : QStringLiteral("utf-8"), g.HTMLSettings.XHTML);
    QString error;
    if (!platform::writeWholeFile(fileName, unicode ? EncodeUtf16WithBom(text) : text.toUtf8(), &error))
        throw platform::EExtGridError(QStringLiteral("Cannot Create file ") + fileName);
    if ((show || g.HTMLSettings.AutoPreview) && HtmlViewer())
        HtmlViewer()(fileName);
}

} // namespace

void SaveToHTML(TExtStringGridPaint& g, const QString& fileName, bool show, bool unicode)
{
    writeHtmlFile(g, fileName, false, unicode, show);
}

void AppendToHTML(TExtStringGridPaint& g, const QString& fileName, bool show, bool unicode)
{
    writeHtmlFile(g, fileName, true, unicode, show);
}

} // namespace controls::grid::io
