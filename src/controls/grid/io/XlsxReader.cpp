#include "controls/grid/io/XlsxReader.h"

#include "platform/core/Errors.h"

#include <QDate>
#include <QHash>
#include <QRegularExpression>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <optional>
#include <pugixml.hpp>
#include <zip.h>

namespace controls::grid::io {

namespace {

[[noreturn]] void incorrect(const QString& why)
{
    throw platform::EExtGridError(QStringLiteral("Incorrect XLSX file: ") + why);
}

// --- the zip container ---------------------------------------------------------------------

class Zip {
public:
    explicit Zip(const QByteArray& bytes)
    {
        zip_error_t error;
        zip_error_init(&error);
        zip_source_t* source = zip_source_buffer_create(bytes.constData(), zip_uint64_t(bytes.size()), 0, &error);
        if (source)
            zip_ = zip_open_from_source(source, ZIP_RDONLY, &error);
        if (!zip_) {
            if (source)
                zip_source_free(source);
            const QString why = QString::fromUtf8(zip_error_strerror(&error));
            zip_error_fini(&error);
            incorrect(QStringLiteral("not a readable zip container (%1)").arg(why));
        }
        zip_error_fini(&error);
    }
    ~Zip() { zip_discard(zip_); }
    Zip(const Zip&) = delete;
    Zip& operator=(const Zip&) = delete;

    QStringList names() const
    {
        QStringList out;
        const zip_int64_t n = zip_get_num_entries(zip_, 0);
        for (zip_int64_t i = 0; i < n; ++i)
            if (const char* name = zip_get_name(zip_, zip_uint64_t(i), 0))
                out << QString::fromUtf8(name);
        return out;
    }

    bool has(const QString& name) const { return index(name) >= 0; }

    // The whole part; no value when the container lacks it. Read in pieces up to the cap, so
    // a size the directory misstates (or a part that unpacks to far more) costs nothing extra.
    std::optional<QByteArray> read(const QString& name) const
    {
        const zip_int64_t i = index(name);
        if (i < 0)
            return std::nullopt;
        zip_file_t* f = zip_fopen_index(zip_, zip_uint64_t(i), 0);
        if (!f)
            incorrect(QStringLiteral("part %1 cannot be opened (%2)").arg(name, QString::fromUtf8(zip_strerror(zip_))));
        QByteArray out;
        char buffer[65536];
        for (;;) {
            const zip_int64_t got = zip_fread(f, buffer, sizeof buffer);
            if (got < 0) {
                const QString why = QString::fromUtf8(zip_file_strerror(f));
                zip_fclose(f);
                incorrect(QStringLiteral("part %1 cannot be unpacked (%2)").arg(name, why));
            }
            if (got == 0)
                break;
            if (out.size() + got > kXlsxMaxPartBytes) {
                zip_fclose(f);
                incorrect(QStringLiteral("part %1 unpacks to more than %2 MiB").arg(name).arg(kXlsxMaxPartBytes >> 20));
            }
            out.append(buffer, qsizetype(got));
        }
        zip_fclose(f);
        return out;
    }

private:
    // Part names in the container are matched without regard to letter case, as the package
    // format asks.
    zip_int64_t index(const QString& name) const
    {
        const QByteArray n = name.toUtf8();
        return zip_name_locate(zip_, n.constData(), ZIP_FL_NOCASE);
    }
    zip_t* zip_ = nullptr;
};

// --- XML parts -----------------------------------------------------------------------------

const char* localName(const pugi::xml_node& n)
{
    const char* name = n.name();
    const char* colon = std::strrchr(name, ':');
    return colon ? colon + 1 : name;
}

bool is(const pugi::xml_node& n, const char* name) { return n.type() == pugi::node_element && std::strcmp(localName(n), name) == 0; }

pugi::xml_node child(const pugi::xml_node& n, const char* name)
{
    for (pugi::xml_node c = n.first_child(); c; c = c.next_sibling())
        if (is(c, name))
            return c;
    return {};
}

// An attribute by its local name ("r:id" is found as "id").
const char* attr(const pugi::xml_node& n, const char* name)
{
    for (pugi::xml_attribute a = n.first_attribute(); a; a = a.next_attribute()) {
        const char* an = a.name();
        const char* colon = std::strrchr(an, ':');
        if (std::strcmp(colon ? colon + 1 : an, name) == 0)
            return a.value();
    }
    return nullptr;
}

QString attrText(const pugi::xml_node& n, const char* name)
{
    const char* v = attr(n, name);
    return v ? QString::fromUtf8(v) : QString();
}

// Every text inside an element (its text children and those of its descendants), walked
// without recursion: a file may nest elements as deep as it likes.
QString innerText(const pugi::xml_node& n)
{
    QString out;
    pugi::xml_node c = n.first_child();
    while (c) {
        if (c.type() == pugi::node_pcdata || c.type() == pugi::node_cdata)
            out += QString::fromUtf8(c.value());
        if (c.type() == pugi::node_element && c.first_child()) {
            c = c.first_child();
            continue;
        }
        while (c && c != n && !c.next_sibling())
            c = c.parent();
        if (!c || c == n)
            break;
        c = c.next_sibling();
    }
    return out;
}

class Part {
public:
    Part(const Zip& zip, const QString& name, bool required)
    {
        const auto bytes = zip.read(name);
        if (!bytes) {
            if (required)
                incorrect(QStringLiteral("part %1 is missing").arg(name));
            return;
        }
        // Texts keep their blanks (a cell of spaces is a value); no DTD is ever loaded.
        const pugi::xml_parse_result r = doc_.load_buffer(bytes->constData(), size_t(bytes->size()),
                                                          pugi::parse_default | pugi::parse_ws_pcdata, pugi::encoding_auto);
        if (!r)
            incorrect(QStringLiteral("part %1 is not well-formed XML (%2 at byte %3)")
                          .arg(name, QString::fromUtf8(r.description()))
                          .arg(qint64(r.offset)));
        present_ = true;
    }
    bool present() const { return present_; }
    pugi::xml_node root() const { return doc_.document_element(); }

private:
    pugi::xml_document doc_;
    bool present_ = false;
};

// Part names: a relationship target is relative to the folder of the part that names it,
// or absolute from the package root.
QString resolve(const QString& base, const QString& target)
{
    QString path = target.startsWith(u'/') ? target.mid(1) : base + target;
    QStringList out;
    for (const QString& seg : path.split(u'/')) {
        if (seg.isEmpty() || seg == u'.')
            continue;
        if (seg == QLatin1String("..")) {
            if (!out.isEmpty())
                out.removeLast();
        } else {
            out << seg;
        }
    }
    return out.join(u'/');
}

QString folderOf(const QString& part)
{
    const qsizetype slash = part.lastIndexOf(u'/');
    return slash < 0 ? QString() : part.left(slash + 1);
}

QString relsOf(const QString& part)
{
    const qsizetype slash = part.lastIndexOf(u'/');
    return part.left(slash + 1) + QStringLiteral("_rels/") + part.mid(slash + 1) + QStringLiteral(".rels");
}

struct Relationship {
    QString type; // the last segment of the type ("worksheet", "sharedStrings" ...)
    QString target;
    bool external = false;
};

QHash<QString, Relationship> readRels(const Zip& zip, const QString& part)
{
    QHash<QString, Relationship> out;
    const Part rels(zip, relsOf(part), false);
    if (!rels.present())
        return out;
    for (pugi::xml_node r = rels.root().first_child(); r; r = r.next_sibling()) {
        if (!is(r, "Relationship"))
            continue;
        Relationship rel;
        const QString type = attrText(r, "Type");
        rel.type = type.mid(type.lastIndexOf(u'/') + 1);
        rel.external = attrText(r, "TargetMode") == QLatin1String("External");
        rel.target = rel.external ? attrText(r, "Target") : resolve(folderOf(part), attrText(r, "Target"));
        out.insert(attrText(r, "Id"), rel);
    }
    return out;
}

// "B12" -> column 1, row 11; false for anything else or past the format's limits.
bool parseRef(const char* s, int& col, int& row)
{
    if (!s)
        return false;
    qint64 c = 0, r = 0;
    int letters = 0, digits = 0;
    while (*s >= 'A' && *s <= 'Z' && letters < 4) {
        c = c * 26 + (*s - 'A' + 1);
        ++s, ++letters;
    }
    while (*s >= '0' && *s <= '9' && digits < 8) {
        r = r * 10 + (*s - '0');
        ++s, ++digits;
    }
    if (*s || letters == 0 || digits == 0 || c > kXlsxMaxCols || r < 1 || r > kXlsxMaxRows)
        return false;
    col = int(c - 1);
    row = int(r - 1);
    return true;
}

bool parseIndex(const char* s, qint64 limit, qint64& out)
{
    if (!s || !*s)
        return false;
    out = 0;
    for (; *s; ++s) {
        if (*s < '0' || *s > '9')
            return false;
        out = out * 10 + (*s - '0');
        if (out > limit)
            return false;
    }
    return true;
}

struct Style {
    int numFmtId = 0;
};

// Parts of a workbook that a rewrite carries over (or rebuilds) itself.
bool knownPart(const QString& name)
{
    static const QRegularExpression kept(QStringLiteral(
        "^(\\[Content_Types\\]\\.xml|_rels/\\.rels|docProps/[^/]+|xl/workbook\\.xml|xl/_rels/workbook\\.xml\\.rels|"
        "xl/worksheets/[^/]+\\.xml|xl/sharedStrings\\.xml|xl/styles\\.xml|xl/theme/[^/]+|xl/calcChain\\.xml|"
        "xl/printerSettings/[^/]+|xl/worksheets/_rels/[^/]+\\.rels)$"),
        QRegularExpression::CaseInsensitiveOption);
    return name.endsWith(u'/') || kept.match(name).hasMatch();
}

} // namespace

bool LooksLikeZip(const QByteArray& bytes)
{
    return bytes.startsWith(QByteArrayLiteral("PK\x03\x04")) || bytes.startsWith(QByteArrayLiteral("PK\x05\x06"));
}

QString XlsxUnescape(const QString& s)
{
    if (!s.contains(QLatin1String("_x")))
        return s;
    static const QRegularExpression esc(QStringLiteral("_x([0-9A-Fa-f]{4})_"));
    QString out;
    qsizetype at = 0;
    for (auto it = esc.globalMatch(s); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        out += QStringView(s).mid(at, m.capturedStart() - at);
        out += QChar(char16_t(m.captured(1).toUShort(nullptr, 16)));
        at = m.capturedEnd();
    }
    out += QStringView(s).mid(at);
    return out;
}

QString XlsxEscapeLiteral(const QString& s)
{
    if (!s.contains(QLatin1String("_x")))
        return s;
    static const QRegularExpression esc(QStringLiteral("_(x[0-9A-Fa-f]{4}_)"));
    QString out = s;
    return out.replace(esc, QStringLiteral("_x005F_\\1"));
}

QString XlsxColumnName(int col)
{
    QString out;
    for (int n = col + 1; n > 0; n = (n - 1) / 26)
        out.prepend(QChar(u'A' + (n - 1) % 26));
    return out;
}

QString XlsxCellName(int col, int row)
{
    return XlsxColumnName(col) + QString::number(qint64(row) + 1);
}

bool ShiftXlsxFormula(const QString& f, int rows, int cols, QString& out)
{
    static const QRegularExpression ref(QStringLiteral("^(\\$?)([A-Za-z]{1,3})(\\$?)([0-9]{1,7})$"));
    out.clear();
    const qsizetype n = f.size();
    qsizetype i = 0;
    auto identChar = [](QChar c) { return c.isLetterOrNumber() || c == u'_' || c == u'.' || c == u'$' || c == u'\\'; };
    while (i < n) {
        const QChar c = f[i];
        if (c == u'"' || c == u'\'') { // a text or a quoted sheet name, doubled quotes inside
            qsizetype j = i + 1;
            while (j < n) {
                if (f[j] == c) {
                    if (j + 1 < n && f[j + 1] == c) {
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            out += f.mid(i, j + 1 - i);
            i = j + 1;
            continue;
        }
        if (c == u'[') { // structured references and external book indexes stay as they are
            int depth = 0;
            qsizetype j = i;
            for (; j < n; ++j) {
                if (f[j] == u'[')
                    ++depth;
                else if (f[j] == u']' && --depth == 0)
                    break;
            }
            out += f.mid(i, j + 1 - i);
            i = j + 1;
            continue;
        }
        if (c.isDigit() || (c == u'.' && i + 1 < n && f[i + 1].isDigit())) { // a number
            qsizetype j = i;
            while (j < n && (f[j].isDigit() || f[j] == u'.'))
                ++j;
            if (j < n && (f[j] == u'E' || f[j] == u'e') && j + 1 < n
                && (f[j + 1].isDigit() || ((f[j + 1] == u'+' || f[j + 1] == u'-') && j + 2 < n && f[j + 2].isDigit()))) {
                j += 2;
                while (j < n && f[j].isDigit())
                    ++j;
            }
            if (j < n && f[j] == u':') // a range of whole rows ("3:7")
                return false;
            out += f.mid(i, j - i);
            i = j;
            continue;
        }
        if (!identChar(c)) {
            out += c;
            ++i;
            continue;
        }
        qsizetype j = i;
        while (j < n && identChar(f[j]))
            ++j;
        const QString token = f.mid(i, j - i);
        const QChar next = j < n ? f[j] : QChar();
        const QRegularExpressionMatch m = ref.match(token);
        if (m.hasMatch() && next != u'(' && next != u'!') {
            int col = 0;
            for (QChar l : m.captured(2).toUpper())
                col = col * 26 + (l.unicode() - 'A' + 1);
            const qint64 row = m.captured(4).toLongLong();
            if (col <= kXlsxMaxCols && row >= 1 && row <= kXlsxMaxRows) {
                const qint64 newCol = m.captured(1).isEmpty() ? qint64(col) + cols : col;
                const qint64 newRow = m.captured(3).isEmpty() ? row + rows : row;
                if (newCol < 1 || newCol > kXlsxMaxCols || newRow < 1 || newRow > kXlsxMaxRows)
                    out += QStringLiteral("#REF!");
                else
                    out += m.captured(1) + XlsxColumnName(int(newCol - 1)) + m.captured(3) + QString::number(newRow);
                i = j;
                continue;
            }
        }
        static const QRegularExpression column(QStringLiteral("^\\$?[A-Za-z]{1,3}$"));
        if (next == u':' && column.match(token).hasMatch()) // a range of whole columns ("A:C")
            return false;
        out += token;
        i = j;
    }
    return true;
}

namespace {

bool isDateFormat(int id, const QString& code)
{
    if ((id >= 14 && id <= 22) || (id >= 27 && id <= 36) || (id >= 45 && id <= 47) || (id >= 50 && id <= 58))
        return true;
    if (code.isEmpty())
        return false;
    // Letters inside quotes, after a backslash and in brackets (colours, conditions) are no
    // date parts; [h], [m] and [s] (elapsed time) are.
    QString plain;
    bool quoted = false;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code[i];
        if (c == u'"') {
            quoted = !quoted;
        } else if (quoted) {
            continue;
        } else if (c == u'\\' || c == u'_' || c == u'*') {
            ++i;
        } else if (c == u'[') {
            const qsizetype end = code.indexOf(u']', i);
            const QString inside = code.mid(i + 1, end < 0 ? -1 : end - i - 1).toLower();
            if (!inside.isEmpty() && (inside[0] == u'h' || inside[0] == u'm' || inside[0] == u's')
                && inside.count(inside[0]) == inside.size())
                plain += inside;
            i = end < 0 ? code.size() : end;
        } else {
            plain += c.toLower();
        }
    }
    if (plain.startsWith(QLatin1String("general")))
        return false;
    return plain.contains(u'd') || plain.contains(u'y') || plain.contains(u'h') || plain.contains(u's')
           || plain.contains(u'm');
}

QString dateText(double serial, bool date1904, int id, const QString& code)
{
    QString lower = code.toLower();
    lower.remove(QRegularExpression(QStringLiteral("\"[^\"]*\"|\\[[^\\]]*\\]")));
    const bool builtinTime = (id >= 18 && id <= 21) || (id >= 45 && id <= 47);
    const bool builtinBoth = id == 22;
    const bool hasTime = builtinTime || builtinBoth || lower.contains(u'h') || lower.contains(u's');
    const bool hasDate = (!builtinTime && id != 0 && id < 164) || lower.contains(u'd') || lower.contains(u'y')
                         || (lower.contains(u'm') && !hasTime);
    if (!std::isfinite(serial) || serial < 0 || serial > 2958465.0)
        return QString::number(serial, 'g', 15);
    qint64 days = qint64(std::floor(serial));
    qint64 seconds = qint64(std::llround((serial - double(days)) * 86400.0));
    if (seconds >= 86400) {
        ++days;
        seconds -= 86400;
    }
    QString date;
    if (date1904)
        date = QDate(1904, 1, 1).addDays(days).toString(Qt::ISODate);
    else if (days == 60)
        date = QStringLiteral("1900-02-29"); // the day the 1900 date system counts and the calendar has not
    else
        date = QDate(1899, 12, days < 60 ? 31 : 30).addDays(days).toString(Qt::ISODate);
    const QString time = QStringLiteral("%1:%2:%3")
                             .arg(seconds / 3600, 2, 10, QLatin1Char('0'))
                             .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
                             .arg(seconds % 60, 2, 10, QLatin1Char('0'));
    if (hasDate && hasTime)
        return date + u' ' + time;
    if (hasTime)
        return time;
    return date;
}

} // namespace

QString XlsxDisplayText(const XlsxCell& cell, bool date1904)
{
    switch (cell.kind) {
    case XlsxCell::Text:
    case XlsxCell::Error:
        return cell.value;
    case XlsxCell::Boolean:
        return cell.value == QLatin1String("1") || cell.value.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0
                   ? QStringLiteral("TRUE")
                   : QStringLiteral("FALSE");
    case XlsxCell::Number: {
        bool ok = false;
        const double d = cell.value.trimmed().toDouble(&ok);
        if (!ok)
            return cell.value;
        if (isDateFormat(cell.numFmtId, cell.numFmtCode))
            return dateText(d, date1904, cell.numFmtId, cell.numFmtCode);
        return QString::number(d, 'g', 15);
    }
    }
    return cell.value;
}

XlsxBook ReadXlsx(const QByteArray& bytes)
{
    if (!LooksLikeZip(bytes))
        incorrect(QStringLiteral("not a zip container"));
    const Zip zip(bytes);
    XlsxBook book;

    // The workbook part, from the package's relationships.
    QString workbookPart = QStringLiteral("xl/workbook.xml");
    for (const Relationship& r : readRels(zip, QString()))
        if (r.type == QLatin1String("officeDocument") && !r.external)
            workbookPart = r.target;
    const Part workbook(zip, workbookPart, true);
    if (!is(workbook.root(), "workbook"))
        incorrect(QStringLiteral("part %1 holds no workbook").arg(workbookPart));
    const QHash<QString, Relationship> rels = readRels(zip, workbookPart);

    if (const pugi::xml_node pr = child(workbook.root(), "workbookPr")) {
        const QString v = attrText(pr, "date1904");
        book.date1904 = v == QLatin1String("1") || v == QLatin1String("true");
    }
    qint64 activeTab = 0; // counts every kind of sheet
    if (const pugi::xml_node views = child(workbook.root(), "bookViews"))
        if (const pugi::xml_node view = child(views, "workbookView"))
            if (!parseIndex(attr(view, "activeTab"), 65535, activeTab))
                activeTab = 0;
    if (const pugi::xml_node names = child(workbook.root(), "definedNames"))
        for (pugi::xml_node n = names.first_child(); n; n = n.next_sibling())
            if (is(n, "definedName") && !attrText(n, "name").startsWith(QLatin1String("_xlnm."), Qt::CaseInsensitive)) {
                book.unkept << QStringLiteral("defined names");
                break;
            }

    // Shared strings and the number formats of the cell styles.
    QString stringsPart, stylesPart;
    for (const Relationship& r : rels) {
        if (r.type == QLatin1String("sharedStrings"))
            stringsPart = r.target;
        else if (r.type == QLatin1String("styles"))
            stylesPart = r.target;
    }
    std::vector<QString> strings;
    if (!stringsPart.isEmpty()) {
        const Part sst(zip, stringsPart, false);
        for (pugi::xml_node si = sst.root().first_child(); si; si = si.next_sibling()) {
            if (!is(si, "si"))
                continue;
            QString text;
            for (pugi::xml_node part = si.first_child(); part; part = part.next_sibling()) {
                if (is(part, "t"))
                    text += innerText(part);
                else if (is(part, "r"))
                    if (const pugi::xml_node t = child(part, "t"))
                        text += innerText(t); // phonetic runs (rPh) are no part of the value
            }
            strings.push_back(XlsxUnescape(text));
        }
    }
    std::vector<Style> styles;
    QHash<int, QString> formatCodes;
    if (!stylesPart.isEmpty()) {
        const Part st(zip, stylesPart, false);
        if (const pugi::xml_node fmts = child(st.root(), "numFmts"))
            for (pugi::xml_node f = fmts.first_child(); f; f = f.next_sibling()) {
                qint64 id = 0;
                if (is(f, "numFmt") && parseIndex(attr(f, "numFmtId"), 65535, id))
                    formatCodes.insert(int(id), attrText(f, "formatCode"));
            }
        if (const pugi::xml_node xfs = child(st.root(), "cellXfs"))
            for (pugi::xml_node xf = xfs.first_child(); xf; xf = xf.next_sibling()) {
                if (!is(xf, "xf"))
                    continue;
                qint64 id = 0;
                styles.push_back(Style{parseIndex(attr(xf, "numFmtId"), 65535, id) ? int(id) : 0});
            }
    }

    // Parts that a rewrite would lose.
    for (const QString& name : zip.names())
        if (!knownPart(name))
            book.unkept << name;

    qint64 cellCount = 0;
    const pugi::xml_node sheetList = child(workbook.root(), "sheets");
    qint64 position = -1;
    for (pugi::xml_node s = sheetList.first_child(); s; s = s.next_sibling()) {
        if (!is(s, "sheet"))
            continue;
        if (++position == activeTab)
            book.activeSheet = int(book.sheets.size());
        const QString name = attrText(s, "name");
        const auto rel = rels.constFind(attrText(s, "id"));
        if (rel == rels.constEnd() || rel->external)
            incorrect(QStringLiteral("sheet %1 has no part").arg(name));
        if (rel->type != QLatin1String("worksheet")) { // chart and dialog sheets
            book.unkept << QStringLiteral("%1 sheet %2").arg(rel->type, name);
            continue;
        }
        XlsxSheet sheet;
        sheet.name = name;
        sheet.hidden = !attrText(s, "state").isEmpty() && attrText(s, "state") != QLatin1String("visible");
        for (const Relationship& r : readRels(zip, rel->target))
            book.unkept << QStringLiteral("%1 of sheet %2").arg(r.type, name);
        const Part part(zip, rel->target, true);
        const pugi::xml_node data = child(part.root(), "sheetData");
        int nextRow = 0;
        for (pugi::xml_node row = data.first_child(); row; row = row.next_sibling()) {
            if (!is(row, "row"))
                continue;
            qint64 r = 0;
            int rowIndex = nextRow;
            if (const char* ra = attr(row, "r")) {
                if (!parseIndex(ra, kXlsxMaxRows, r) || r < 1)
                    incorrect(QStringLiteral("sheet %1 has a row numbered \"%2\"").arg(name, QString::fromUtf8(ra)));
                rowIndex = int(r - 1);
            }
            if (rowIndex >= kXlsxMaxRows)
                incorrect(QStringLiteral("sheet %1 has more rows than the format allows").arg(name));
            nextRow = rowIndex + 1;
            int nextCol = 0;
            for (pugi::xml_node c = row.first_child(); c; c = c.next_sibling()) {
                if (!is(c, "c"))
                    continue;
                XlsxCell cell;
                cell.row = rowIndex;
                cell.col = nextCol;
                if (const char* ref = attr(c, "r")) {
                    if (!parseRef(ref, cell.col, cell.row))
                        incorrect(QStringLiteral("sheet %1 has a cell named \"%2\"").arg(name, QString::fromUtf8(ref)));
                }
                if (cell.col >= kXlsxMaxCols)
                    incorrect(QStringLiteral("sheet %1 has more columns than the format allows").arg(name));
                nextCol = cell.col + 1;
                if (++cellCount > kXlsxMaxCells)
                    incorrect(QStringLiteral("more than %1 cells").arg(kXlsxMaxCells));
                qint64 styleIndex = 0;
                if (parseIndex(attr(c, "s"), std::numeric_limits<int>::max(), styleIndex) && styleIndex < qint64(styles.size())) {
                    cell.numFmtId = styles[size_t(styleIndex)].numFmtId;
                    cell.numFmtCode = formatCodes.value(cell.numFmtId);
                }
                const pugi::xml_node v = child(c, "v");
                const pugi::xml_node f = child(c, "f");
                const QString type = attrText(c, "t");
                const bool hasValue = bool(v) || type == QLatin1String("inlineStr");
                if (f) {
                    cell.formula = innerText(f);
                    const QString ft = attrText(f, "t");
                    if (ft == QLatin1String("array")) {
                        cell.arrayRef = attrText(f, "ref");
                    } else if (ft == QLatin1String("shared")) {
                        // The first cell of a shared formula holds its text; the others move it.
                        // Kept as the marker "\x01si" + index until the sheet is read.
                        cell.formula = QStringLiteral("\x01") + attrText(f, "si") + u'\x01' + cell.formula;
                    } else if (!ft.isEmpty() && ft != QLatin1String("normal")) {
                        book.unkept << QStringLiteral("%1 formula in %2!%3").arg(ft, name, XlsxCellName(cell.col, cell.row));
                    }
                }
                if (!hasValue && cell.formula.isEmpty())
                    continue; // a cell with a style only
                if (type == QLatin1String("s")) {
                    qint64 index = 0;
                    if (!parseIndex(v.child_value(), std::numeric_limits<int>::max(), index)
                        || index >= qint64(strings.size()))
                        incorrect(QStringLiteral("cell %1!%2 names a text the workbook lacks")
                                      .arg(name, XlsxCellName(cell.col, cell.row)));
                    cell.value = strings[size_t(index)];
                } else if (type == QLatin1String("inlineStr")) {
                    QString text;
                    if (const pugi::xml_node is_ = child(c, "is"))
                        for (pugi::xml_node part = is_.first_child(); part; part = part.next_sibling()) {
                            if (is(part, "t"))
                                text += innerText(part);
                            else if (is(part, "r"))
                                if (const pugi::xml_node t = child(part, "t"))
                                    text += innerText(t);
                        }
                    cell.value = XlsxUnescape(text);
                } else if (type == QLatin1String("str") || type == QLatin1String("d")) {
                    cell.value = XlsxUnescape(innerText(v));
                } else if (type == QLatin1String("b")) {
                    cell.kind = XlsxCell::Boolean;
                    cell.value = innerText(v).trimmed();
                } else if (type == QLatin1String("e")) {
                    cell.kind = XlsxCell::Error;
                    cell.value = innerText(v);
                } else {
                    cell.kind = XlsxCell::Number;
                    cell.value = innerText(v).trimmed();
                }
                sheet.cells.push_back(std::move(cell));
            }
        }
        // Shared formulas: every cell of a group gets the first cell's formula, moved.
        struct Master {
            int row, col;
            QString formula;
        };
        QHash<QString, Master> masters;
        for (XlsxCell& cell : sheet.cells) {
            if (!cell.formula.startsWith(u'\x01'))
                continue;
            const qsizetype sep = cell.formula.indexOf(u'\x01', 1);
            const QString si = cell.formula.mid(1, sep - 1);
            const QString text = cell.formula.mid(sep + 1);
            if (!text.isEmpty() && !masters.contains(si))
                masters.insert(si, Master{cell.row, cell.col, text});
            const auto m = masters.constFind(si);
            if (m == masters.constEnd()) {
                book.unkept << QStringLiteral("shared formula in %1!%2").arg(name, XlsxCellName(cell.col, cell.row));
                cell.formula.clear();
                continue;
            }
            QString moved;
            if (!ShiftXlsxFormula(m->formula, cell.row - m->row, cell.col - m->col, moved)) {
                book.unkept << QStringLiteral("shared formula in %1!%2").arg(name, XlsxCellName(cell.col, cell.row));
                moved.clear();
            }
            cell.formula = moved;
        }
        book.sheets.push_back(std::move(sheet));
    }
    if (book.sheets.empty())
        incorrect(QStringLiteral("the workbook has no worksheet"));
    if (book.activeSheet >= int(book.sheets.size()))
        book.activeSheet = 0;
    return book;
}

} // namespace controls::grid::io
