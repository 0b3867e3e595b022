#include "controls/grid/io/Xml.h"

#include "platform/core/Errors.h"
#include "platform/fs/Files.h"
#include "platform/xml/XmlDom.h"

#include <QRegularExpression>
#include <QStringEncoder>

namespace controls::grid::io {

namespace {

bool isXmlName(const QString& s)
{
    static const QRegularExpression name(QStringLiteral("^[A-Za-z_][A-Za-z0-9_.-]*$"));
    return name.match(s).hasMatch() && !s.startsWith(QLatin1String("xml"), Qt::CaseInsensitive);
}

// XML 1.0 has no place for these characters, not even as references.
bool xmlChar(char32_t c)
{
    return c == 9 || c == 10 || c == 13 || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD)
           || (c >= 0x10000 && c <= 0x10FFFF);
}

QString escapeText(const QString& t)
{
    QString r;
    r.reserve(t.size() + 8);
    const bool allBlank = !t.isEmpty() && t.trimmed().isEmpty();
    bool first = true;
    for (char32_t c : t.toUcs4()) {
        // A character XML cannot hold (a control character, U+FFFE, U+FFFF, half a surrogate
        // pair) becomes U+FFFD: the document stays well-formed and the reader sees where one was.
        if (!xmlChar(c))
            c = 0xFFFD;
        if (first && allBlank) {
            // A text of blanks only: its first blank as a reference, so parsers keep the text.
            r += QStringLiteral("&#%1;").arg(uint(c));
            first = false;
            continue;
        }
        first = false;
        switch (c) {
        case U'&':
            r += QLatin1String("$amp;");
            break;
        case U'>':
            r += QLatin1String("&gt;");
            break;
        case U'<':
            r += QLatin1String("&lt;");
            break;
        case U'"':
            r += QLatin1String("&quot;");
            break;
        case U'\r':
            r += QLatin1String("&#13;");
            break;
        default:
            r += QChar::fromUcs4(c); // (QString::fromUcs4 would take a U+FEFF for a byte-order mark)
        }
    }
    return r;
}

// The document in its declared encoding; characters outside an 8-bit one as references.
QByteArray encodeDocument(const QString& text, const QString& encoding)
{
    const QString e = encoding.trimmed().toUpper();
    if (e == QLatin1String("ISO-8859-1") || e == QLatin1String("LATIN1") || e == QLatin1String("US-ASCII")) {
        const uint limit = e == QLatin1String("US-ASCII") ? 0x7F : 0xFF;
        QByteArray out;
        out.reserve(text.size());
        for (char32_t c : text.toUcs4()) {
            if (c <= limit)
                out.append(char(c));
            else
                out.append(QStringLiteral("&#%1;").arg(uint(c)).toLatin1());
        }
        return out;
    }
    if (e == QLatin1String("UTF-16")) {
        QStringEncoder enc(QStringEncoder::Utf16LE, QStringEncoder::Flag::WriteBom);
        return enc.encode(text);
    }
    return text.toUtf8();
}

QString declaredEncoding(const QString& encoding)
{
    const QString e = encoding.trimmed().toUpper();
    if (e == QLatin1String("ISO-8859-1") || e == QLatin1String("LATIN1") || e == QLatin1String("US-ASCII")
        || e == QLatin1String("UTF-16") || e == QLatin1String("UTF-8"))
        return encoding.trimmed();
    return QStringLiteral("UTF-8");
}

} // namespace

QByteArray SaveToXMLBytes(TExtStringGridPaint& g, const QString& listDescr, const QString& recordDescr,
                          const QStringList* fieldDescr, bool exportEmptyCells)
{
    if (!isXmlName(listDescr) || !isXmlName(recordDescr))
        throw platform::EExtGridError(QStringLiteral("Invalid XML element name"));
    const QString encoding = declaredEncoding(g.XMLEncoding);
    QString out = QStringLiteral("<?xml version=\"1.0\" encoding=\"%1\" ?>\r\n").arg(encoding);
    out += QStringLiteral("<%1>\r\n").arg(listDescr);
    g.ExportNotification(esExportStart, g.SaveStartRow());
    const int h = g.SaveHiddenCells ? g.NumHiddenColumns() : 0;
    int last = -1;
    for (int r = g.SaveStartRow(); r <= g.SaveEndRow(); ++r) {
        g.ExportNotification(esExportNextRow, r);
        out += QStringLiteral("<%1>\r\n").arg(recordDescr);
        for (int b = g.SaveStartCol(); b <= g.SaveEndCol() + h; ++b) {
            const int rc = g.RealColIndex(b);
            if (g.IsMergedNonBaseCell(rc, r))
                continue;
            QString t;
            g.SaveCell(b, r, t);
            if (t.isEmpty() && !exportEmptyCells)
                continue;
            if (t.isEmpty() && g.QuoteEmptyCells)
                t = QStringLiteral("\"\"");
            const int pos = b - g.SaveStartCol();
            QString name = fieldDescr && pos < fieldDescr->size() ? fieldDescr->at(pos) : QString();
            if (!isXmlName(name))
                name = QStringLiteral("FIELD%1").arg(pos);
            out += QStringLiteral("<%1>%2</%1>\r\n").arg(name, escapeText(t));
        }
        out += QStringLiteral("</%1>\r\n").arg(recordDescr);
        if (g.OnFileProgress) {
            const int p = int(std::lround(double(r) / std::max(1, g.SaveEndRow() - g.SaveStartRow()) * 100));
            if (p != last) {
                last = p;
                g.OnFileProgress(&g, p);
            }
        }
    }
    out += QStringLiteral("</%1>\r\n").arg(listDescr);
    g.ExportNotification(esExportDone, -1);
    return encodeDocument(out, encoding);
}

void SaveToXML(TExtStringGridPaint& g, const QString& fileName, const QString& listDescr, const QString& recordDescr,
               const QStringList* fieldDescr, bool exportEmptyCells)
{
    const QByteArray bytes = SaveToXMLBytes(g, listDescr, recordDescr, fieldDescr, exportEmptyCells);
    if (!platform::writeWholeFile(fileName, bytes))
        throw platform::EExtGridError(QStringLiteral("Cannot Create file ") + fileName);
}

namespace {

QString textContent(const platform::XmlNode& n)
{
    if (n.kind() == platform::XmlNodeKind::Text)
        return n.text();
    QString t;
    for (int i = 0; i < n.childCount(); ++i) {
        const platform::XmlNode c = n.child(i);
        if (c.kind() == platform::XmlNodeKind::Text || c.kind() == platform::XmlNodeKind::Element)
            t += textContent(c);
    }
    return t;
}

QString unescape(QString t)
{
    return t.replace(QLatin1String("$amp;"), QLatin1String("&"));
}

struct Reader {
    TExtStringGridPaint& g;
    bool levelToRow;
    bool loadFieldDescr;
    int sc, sr;
    int co = 0, ro = 0, mc, mr, lv = 1;
    int depth = 0;

    static constexpr int kMaxDepth = 256;
    static constexpr int kMaxCells = 1 << 24;

    void grow(int c, int r)
    {
        if (c >= g.ColCount())
            g.SetColCount(c + 1);
        if (r >= g.RowCount())
            g.SetRowCount(r + 1);
    }

    bool fits(int c, int r) const { return c >= 0 && r >= 0 && qint64(c + 1) * (r + 1) <= kMaxCells; }

    void header(int c, const QString& name)
    {
        if ((g.SaveFixedCells || g.SaveFixedRows) && g.Cells(c, 0).isEmpty())
            g.LoadCell(c, 0, name);
    }

    void node(const platform::XmlNode& n)
    {
        if (++depth > kMaxDepth) {
            --depth;
            return;
        }
        bool advanced = false;
        if (n.isElement() && n.attributeCount() > 0) {
            for (int i = 0; i < n.attributeCount(); ++i) {
                const int c = sc + co, r = sr + ro;
                if (fits(c, r)) {
                    grow(c, r);
                    header(c, n.attributeName(i));
                    g.LoadCell(c, r, unescape(n.attributeValue(i)));
                    mc = std::max(mc, c);
                    mr = std::max(mr, r);
                }
                ++co;
            }
            if (levelToRow) {
                ++ro;
                co = lv;
                advanced = true;
            }
        }
        const int count = n.childCount();
        if (count > 1) {
            if (levelToRow && !advanced) {
                ++ro;
                co = 0;
            }
            ++lv;
            for (int i = 0; i < count; ++i) {
                const platform::XmlNode c = n.child(i);
                if (c.kind() == platform::XmlNodeKind::Element || c.kind() == platform::XmlNodeKind::Text)
                    node(c);
            }
        } else if (count == 0) {
            const int c = sc + co, r = sr + ro;
            if (c < g.ColCount() && r < g.RowCount() && c >= 0 && r >= 0)
                g.LoadCell(c, r, n.kind() == platform::XmlNodeKind::Text ? unescape(n.text()) : QString());
            ++co;
        } else {
            const int c = sc + co, r = sr + ro;
            if (fits(c, r)) {
                grow(c, r);
                if (loadFieldDescr)
                    header(c, n.name());
                QString t = unescape(textContent(n));
                if (g.QuoteEmptyCells && t == QLatin1String("\"\""))
                    t.clear();
                g.LoadCell(c, r, t);
                mc = std::max(mc, c);
                mr = std::max(mr, r);
            }
            ++co;
        }
        --depth;
    }
};

} // namespace

void LoadFromXMLData(TExtStringGridPaint& g, const QByteArray& bytes, bool levelToRow, bool loadFieldDescr)
{
    platform::XmlDocument doc;
    QString error;
    if (!doc.loadBytes(bytes, &error)) {
        const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("offset (\\d+)")).match(error);
        const qsizetype offset = m.hasMatch() ? m.captured(1).toLongLong() : 0;
        const int line = 1 + int(bytes.left(offset).count('\n'));
        throw platform::Exception(QStringLiteral("XMLDOM Parsing error %1 on line %2").arg(error).arg(line));
    }
    Reader rd{g, levelToRow, loadFieldDescr, g.SaveStartCol(),
              (g.SaveFixedCells || g.SaveFixedRows) && !loadFieldDescr ? 0 : g.FixedRows(), 0, 0, 0, 0, 1, 0};
    rd.mc = rd.sc;
    rd.mr = rd.sr;
    const platform::XmlNode root = doc.rootElement();
    int index = 0;
    for (int i = 0; root && i < root.childCount(); ++i) {
        const platform::XmlNode child = root.child(i);
        if (!child.isElement())
            continue;
        rd.co = 0;
        rd.lv = 1;
        if (levelToRow && index == 0 && child.attributeCount() == 0)
            rd.ro = -1;
        rd.node(child);
        if (!levelToRow)
            ++rd.ro;
        ++index;
    }
    g.SetColCount(rd.mc + 1);
    g.SetRowCount(rd.mr + 1);
    g.CellsLoaded();
}

void LoadFromXML(TExtStringGridPaint& g, const QString& fileName, bool levelToRow, bool loadFieldDescr)
{
    const auto bytes = platform::readWholeFile(fileName);
    if (!bytes)
        throw platform::Exception(QStringLiteral("XML file not found"));
    LoadFromXMLData(g, *bytes, levelToRow, loadFieldDescr);
}

} // namespace controls::grid::io
