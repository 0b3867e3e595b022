#include "controls/grid/io/Csv.h"

#include "controls/grid/io/FileAccess.h"
#include "controls/grid/io/TextCodec.h"
#include "controls/grid/util/ExtUtil.h"
#include "platform/core/Errors.h"
#include "platform/fs/Files.h"
#include "platform/text/Text.h"

#include <QStringList>
#include <algorithm>

namespace controls::grid::io {

namespace {

const QChar kCandidates[] = {u',', u';', u'#', u'\t', u'|', u'@', u'*', u'-', u'+', u'&'};

QChar writeDelimiter(const TExtStringGrid& g)
{
    return g.Delimiter.isNull() ? QChar(u',') : g.Delimiter;
}

bool hasLineBreak(const QString& t)
{
    return t.contains(u'\r') || t.contains(u'\n');
}

// JavaCSV writes every line break (CR LF, a lone CR or a lone LF) as one "~"; reading gives
// CR LF back for each.
QString lineBreaksToTilde(const QString& t)
{
    QString r;
    r.reserve(t.size());
    for (qsizetype i = 0; i < t.size(); ++i) {
        const QChar c = t[i];
        if (c == u'\r' || c == u'\n') {
            r += u'~';
            if (c == u'\r' && i + 1 < t.size() && t[i + 1] == u'\n')
                ++i;
        } else {
            r += c;
        }
    }
    return r;
}

QByteArray encodeCsv(const TExtStringGrid& g, const QString& text, bool unicode)
{
    // A first cell that begins with U+FEFF would read as a byte-order mark: the file gets a
    // real mark in front of it.
    if (unicode || (!g.OemConvert && text.startsWith(QChar(0xFEFF))))
        return EncodeUtf8WithBom(text);
    if (!g.OemConvert)
        return text.toUtf8();
    // The OEM code page holds 256 characters: a text with any other is refused rather than
    // written with "?" in its place.
    const QByteArray bytes = platform::encodeCp850(text);
    const QString back = platform::decodeCp850(bytes);
    if (back != text) {
        qsizetype i = 0;
        while (i < text.size() && i < back.size() && text[i] == back[i])
            ++i;
        const char32_t c = text[i].isHighSurrogate() && i + 1 < text.size() ? QChar::surrogateToUcs4(text[i], text[i + 1])
                                                                              : text[i].unicode();
        throw platform::EExtGridError(QStringLiteral("The OEM code page 850 has no character U+%1")
                                          .arg(QString::number(uint(c), 16).toUpper().rightJustified(4, u'0')));
    }
    return bytes;
}

QString decodeCsv(const TExtStringGrid& g, const QByteArray& bytes)
{
    if (platform::detectBom(bytes).length == 0 && g.OemConvert)
        return platform::decodeCp850(bytes);
    return DecodeGridText(bytes);
}

// The first records of a text with d as delimiter, each without the content of its quoted
// fields: what delimiter detection counts, so that a delimiter inside quotes is no evidence.
QStringList firstRecordsUnquoted(const QString& text, QChar d, int count)
{
    QStringList records;
    QString cur;
    bool inQuotes = false;
    bool fieldStart = true;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n && records.size() < count; ++i) {
        const QChar c = text[i];
        if (inQuotes) {
            if (c == u'"') {
                if (i + 1 < n && text[i + 1] == u'"')
                    ++i;
                else
                    inQuotes = false;
            }
            continue;
        }
        if (c == u'\r' || c == u'\n') {
            records << cur;
            cur.clear();
            fieldStart = true;
            if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n')
                ++i;
            continue;
        }
        if (c == u'"' && fieldStart) {
            inQuotes = true;
            fieldStart = false;
            continue;
        }
        cur += c;
        if (c == d)
            fieldStart = true;
        else if (c != u' ')
            fieldStart = false;
    }
    if (records.size() < count && !cur.isEmpty())
        records << cur;
    while (records.size() < count)
        records << QString();
    return records;
}

} // namespace

QString SaveToCSVString(TExtStringGridPaint& grid)
{
    const int h = grid.SaveHiddenCells ? grid.NumHiddenColumns() : 0;
    const QChar d = writeDelimiter(grid);
    QString out;
    grid.ExportNotification(esExportStart, grid.SaveStartRow());
    int last = -1;
    for (int r = grid.SaveStartRow(); r <= grid.SaveEndRow(); ++r) {
        grid.ExportNotification(esExportNextRow, r);
        for (int c = grid.SaveStartCol(); c <= grid.SaveEndCol() + h; ++c) {
            if (c > grid.SaveStartCol())
                out += d;
            QString t;
            grid.SaveCell(grid.SaveHiddenCells ? c : grid.RealColIndex(c), r, t);
            if (grid.JavaCSV)
                t = lineBreaksToTilde(t);
            // A field is quoted whenever a reader could take it apart otherwise: a quote, the
            // delimiter, a line break, or blanks at its ends (readers trim those).
            const bool quote = grid.AlwaysQuotes || t.contains(u'"') || t.contains(d) || hasLineBreak(t)
                               || t.startsWith(u' ') || t.endsWith(u' ');
            if (t.isEmpty()) {
                if (grid.AlwaysQuotes)
                    t = QStringLiteral("\"\"");
                else if (grid.JavaCSV)
                    t = QStringLiteral("^");
                else if (grid.QuoteEmptyCells)
                    t = QStringLiteral("\"\"");
            } else if (quote) {
                t = u'"' + DoubleQuotes(t) + u'"';
            }
            out += t;
        }
        out += QStringLiteral("\r\n");
        ReportProgress(grid, last, double(r) / std::max(1, grid.RowCount() - 1));
    }
    grid.ExportNotification(esExportDone, -1);
    return out;
}

QByteArray SaveToCSVBytes(TExtStringGridPaint& grid, bool unicode)
{
    return encodeCsv(grid, SaveToCSVString(grid), unicode);
}

void SaveToCSV(TExtStringGridPaint& grid, const QString& fileName, bool unicode)
{
    WriteFileOrThrow(fileName, SaveToCSVBytes(grid, unicode));
}

void AppendToCSV(TExtStringGridPaint& grid, const QString& fileName, bool unicode)
{
    QString before = decodeCsv(grid, ReadFileOrThrow(fileName));
    if (!before.isEmpty() && !before.endsWith(u'\n') && !before.endsWith(u'\r'))
        before += QStringLiteral("\r\n");
    WriteFileOrThrow(fileName, encodeCsv(grid, before + SaveToCSVString(grid), unicode));
}

namespace {

// The three passes of the detection over the first two records as each candidate reads them.
template <typename LinesFor>
QChar detect(LinesFor linesFor)
{
    QStringList lines[std::size(kCandidates)];
    for (size_t k = 0; k < std::size(kCandidates); ++k)
        lines[k] = linesFor(kCandidates[k]);
    QChar best;
    int bestCount = 0;
    for (size_t k = 0; k < std::size(kCandidates); ++k) {
        const QChar c = kCandidates[k];
        const int n1 = CountClosingQuotes(c, lines[k][0]);
        if (n1 == CountClosingQuotes(c, lines[k][1]) && n1 > bestCount) {
            best = c;
            bestCount = n1;
        }
    }
    if (!best.isNull())
        return best;
    for (size_t k = 0; k < std::size(kCandidates); ++k) {
        const QChar c = kCandidates[k];
        const int n1 = CountChar(c, lines[k][0]);
        if (n1 == CountChar(c, lines[k][1]) && n1 > bestCount) {
            best = c;
            bestCount = n1;
        }
    }
    if (!best.isNull())
        return best;
    for (size_t k = 0; k < std::size(kCandidates); ++k) {
        const QChar c = kCandidates[k];
        const int n = std::max(CountChar(c, lines[k][0]), CountChar(c, lines[k][1]));
        if (n > bestCount) {
            best = c;
            bestCount = n;
        }
    }
    return best;
}

} // namespace

QChar DetectDelimiter(const QString& l1, const QString& l2)
{
    return detect([&](QChar c) {
        return QStringList{firstRecordsUnquoted(l1, c, 1)[0], firstRecordsUnquoted(l2, c, 1)[0]};
    });
}

QStringList SplitCSVRecords(const QString& text, QChar d)
{
    QStringList records;
    QString cur;
    bool inQuotes = false;
    bool fieldStart = true;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (inQuotes) {
            cur += c;
            if (c == u'"') {
                if (i + 1 < n && text[i + 1] == u'"') {
                    cur += text[++i];
                } else {
                    inQuotes = false;
                }
            }
            continue;
        }
        if (c == u'\r' || c == u'\n') {
            records << cur;
            cur.clear();
            fieldStart = true;
            if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n')
                ++i;
            continue;
        }
        cur += c;
        if (c == d) {
            fieldStart = true;
        } else if (c == u'"' && fieldStart) {
            inQuotes = true;
            fieldStart = false;
        } else if (c != u' ') {
            fieldStart = false;
        }
    }
    if (!cur.isEmpty())
        records << cur;
    return records;
}

QStringList SplitCSVFields(const QString& record, QChar d)
{
    QStringList fields;
    qsizetype pos = 0;
    const qsizetype n = record.size();
    auto skipBlanks = [&]() {
        while (n - pos >= 2 && record[pos] == u' ')
            ++pos;
    };
    for (;;) {
        const qsizetype next = record.indexOf(d, pos);
        skipBlanks();
        if (pos < n && record[pos] == u'"') {
            // Up to the closing quote: a quote not followed by another.
            QString field;
            qsizetype i = pos + 1;
            bool closed = false;
            for (; i < n; ++i) {
                if (record[i] == u'"') {
                    if (i + 1 < n && record[i + 1] == u'"') {
                        field += u'"';
                        ++i;
                        continue;
                    }
                    closed = true;
                    break;
                }
                field += record[i];
            }
            const qsizetype after = closed ? record.indexOf(d, i + 1) : -1;
            if (!closed) {
                // A quote never closed: the last field without its opening quote, as written.
                fields << (next < 0 ? field : QString());
                if (next < 0)
                    return fields;
                pos = next + 1;
                continue;
            }
            fields << field;
            if (after < 0)
                return fields;
            pos = after + 1;
            if (pos >= n) {
                fields << QString();
                return fields;
            }
            continue;
        }
        if (next < 0) {
            if (pos < n)
                fields << record.mid(pos);
            return fields;
        }
        fields << record.mid(pos, next - pos);
        pos = next + 1;
        if (pos >= n) {
            // A record that ends in the delimiter ends in an empty field.
            fields << QString();
            return fields;
        }
    }
}

void ReadCSVData(TExtStringGridPaint& grid, const QByteArray& bytes, bool insert, int maxRows)
{
    const QString text = decodeCsv(grid, bytes);
    const QChar detected = grid.Delimiter.isNull() ? QChar() : grid.Delimiter;
    // Detection looks at the first two physical lines.
    QChar d = detected;
    if (d.isNull()) {
        d = detect([&](QChar c) { return firstRecordsUnquoted(text, c, 2); });
        if (d.isNull())
            d = u',';
    }
    const QStringList records = SplitCSVRecords(text, d);
    if (records.isEmpty())
        throw platform::Exception(QStringLiteral("File is empty"));
    int t = insert ? grid.RowCount() : grid.SaveStartRow();
    QStringList footer;
    const bool floating = grid.FloatingFooter.Visible && grid.RowCount() > 0;
    if (insert && floating) {
        const int last = grid.RowCount() - 1;
        for (int c = 0; c < grid.ColCount(); ++c) {
            footer << grid.Cells(c, last);
            grid.SetCells(c, last, QString());
        }
        --t;
    }
    qsizetype index = grid.LoadFirstRow ? 0 : 1;
    const qsizetype toRead = std::max<qsizetype>(0, records.size() - index);
    if (grid.OnFileProgress)
        grid.SetRowCount(insert ? grid.RowCount() + int(records.size())
                                : grid.SaveStartRow() + int(records.size()) + grid.FixedFooters());
    const int h = grid.SaveHiddenCells ? grid.NumHiddenColumns() : 0;
    int read = 0;
    int last = -1;
    for (; index < records.size() && (maxRows <= 0 || read < maxRows); ++index, ++read) {
        const QString& line = records[index];
        if (t >= grid.RowCount() - grid.FixedFooters())
            grid.SetRowCount(t + 1000);
        int c = grid.SaveStartCol();
        for (QString field : SplitCSVFields(line, d)) {
            if (grid.JavaCSV)
                field = TildeToCRLF(field);
            else
                VTToCRLF(field);
            if (c >= grid.ColCount())
                grid.SetColCount(c + 1 - h);
            if (c < grid.ColCount())
                grid.LoadCell(c, t, field);
            ++c;
        }
        ++t;
        if (grid.OnFileProgress && toRead > 0)
            ReportProgress(grid, last, double(read + 1) / double(toRead));
    }
    grid.SetRowCount(t + grid.FixedFooters());
    if (insert && floating)
        for (int c = 0; c < footer.size() && c < grid.ColCount(); ++c)
            grid.SetCells(c, grid.RowCount() - 1, footer[c]);
    grid.CellsChanged(QRect(0, 0, grid.ColCount(), grid.RowCount()));
    grid.CellsLoaded();
}

void LoadFromCSV(TExtStringGridPaint& grid, const QString& fileName, int maxRows)
{
    const QByteArray bytes = ReadFileOrThrow(fileName);
    if (bytes.isEmpty())
        return;
    ReadCSVData(grid, bytes, false, maxRows);
}

void InsertFromCSV(TExtStringGridPaint& grid, const QString& fileName, int maxRows)
{
    const QByteArray bytes = ReadFileOrThrow(fileName);
    if (bytes.isEmpty())
        return;
    ReadCSVData(grid, bytes, true, maxRows);
}

void LoadFromCSVStream(TExtStringGridPaint& grid, const QByteArray& bytes, int maxRows)
{
    ReadCSVData(grid, bytes, false, maxRows);
}

// --- column-aligned text -----------------------------------------------------------------------

namespace {

// The lines of a cell text, split at every line break (CR LF, a lone CR, a lone LF).
QStringList textLines(const QString& t)
{
    QStringList lines = platform::splitLines(t);
    if (lines.isEmpty() || t.endsWith(u'\r') || t.endsWith(u'\n'))
        lines << QString();
    return lines;
}

// Text up to its first line break: a line of a plain-text file cannot hold more.
QString firstLine(const QString& t)
{
    qsizetype i = 0;
    while (i < t.size() && t[i] != u'\r' && t[i] != u'\n')
        ++i;
    return t.left(i);
}

// Lengths and cuts count characters, so that a character beyond the basic plane takes one
// place and is never cut in half.
int charCount(const QString& s)
{
    int n = 0;
    for (qsizetype i = 0; i < s.size(); ++i, ++n)
        if (s[i].isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate())
            ++i;
    return n;
}

QString leftChars(const QString& s, int count)
{
    qsizetype i = 0;
    for (int n = 0; n < count && i < s.size(); ++n)
        i += s[i].isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate() ? 2 : 1;
    return s.left(i);
}

QString midChars(const QString& s, int from, int count)
{
    const QString rest = s.mid(leftChars(s, from).size());
    return leftChars(rest, count);
}

// The longest line of a column's export texts in characters (every line with multiLine, else
// the first).
int longestLine(TExtStringGridPaint& grid, int col, bool multiLine)
{
    int result = 0;
    for (int r = 0; r < grid.RowCount(); ++r) {
        QString t;
        grid.SaveCell(col, r, t);
        if (multiLine) {
            for (const QString& l : textLines(t))
                result = std::max(result, charCount(l));
        } else {
            result = std::max(result, charCount(firstLine(t)));
        }
    }
    return result;
}

QString pad(int count)
{
    return QString(std::max(0, count), u' ');
}

// A plain-text file in UTF-8; its first character U+FEFF would read as a byte-order mark, so
// the file then gets a real one.
QByteArray plainTextBytes(const QString& text, bool unicode)
{
    if (unicode)
        return EncodeUtf16WithBom(text);
    return text.startsWith(QChar(0xFEFF)) ? EncodeUtf8WithBom(text) : text.toUtf8();
}

} // namespace

QStringList ColumnAlignedLines(TExtStringGridPaint& grid)
{
    const int fc = grid.SaveFixedCells || grid.SaveFixedCols ? 0 : grid.FixedCols();
    const int fr = grid.SaveFixedCells || grid.SaveFixedRows ? 0 : grid.FixedRows();
    std::vector<int> cols;
    if (grid.SaveHiddenCells)
        for (int c = fc; c < grid.TotalColCount(); ++c)
            cols.push_back(c);
    else
        for (int c = fc; c < grid.ColCount(); ++c)
            cols.push_back(grid.RealColIndex(c));
    std::vector<int> widths;
    for (int c : cols)
        widths.push_back(longestLine(grid, c, grid.Multilinecells));
    QStringList lines;
    grid.ExportNotification(esExportStart, fr);
    for (int row = fr; row < grid.RowCount(); ++row) {
        grid.ExportNotification(esExportNextRow, row);
        QString main;
        QStringList more;
        int start = 0;
        for (size_t k = 0; k < cols.size(); ++k) {
            const int w = widths[k];
            QString t;
            grid.SaveCell(cols[k], row, t);
            // Further lines of a cell go to continuation lines with Multilinecells; without, the
            // text is cut at its first line break (of any kind), so every row stays one line.
            const QStringList parts = grid.Multilinecells ? textLines(t) : QStringList{firstLine(t)};
            platform::Alignment ha = platform::Alignment::taLeftJustify;
            TVAlignment va = vtaTop;
            grid.ResolveCellAlignment(cols[k], row, ha, va);
            auto align = [&](const QString& s) {
                const int n = charCount(s);
                int before = 0;
                if (ha == platform::Alignment::taRightJustify)
                    before = std::max(0, w - n);
                else if (ha == platform::Alignment::taCenter && n < w)
                    before = (w - n + 1) / 2;
                int total = n + before;
                if (ha == platform::Alignment::taCenter && n < w)
                    total += before;
                // Not longer than the width: filled up to it, and one blank between columns.
                return pad(before) + s + (total <= w ? pad(w - total + 1) : QString());
            };
            main += align(parts.value(0));
            for (qsizetype i = 1; i < parts.size(); ++i) {
                while (more.size() < i)
                    more << QString();
                QString& line = more[i - 1];
                const int have = charCount(line);
                if (have < start)
                    line += pad(start - have);
                line += align(parts[i]);
            }
            start += w + 1;
        }
        lines << main;
        lines << more;
    }
    grid.ExportNotification(esExportDone, -1);
    return lines;
}

namespace {

void writeLines(const QString& fileName, const QStringList& lines, bool unicode)
{
    const QString text = lines.isEmpty() ? QString() : lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
    WriteFileOrThrow(fileName, plainTextBytes(text, unicode));
}

} // namespace

void SaveToASCII(TExtStringGridPaint& grid, const QString& fileName, bool unicode)
{
    writeLines(fileName, ColumnAlignedLines(grid), unicode);
}

void AppendToASCII(TExtStringGridPaint& grid, const QString& fileName, bool unicode)
{
    QStringList lines;
    if (platform::fileExists(fileName))
        lines = platform::splitLines(DecodeGridText(ReadFileOrThrow(fileName)));
    lines << ColumnAlignedLines(grid);
    writeLines(fileName, lines, unicode);
}

// --- fixed width -------------------------------------------------------------------------------

void SaveToFixed(TExtStringGridPaint& grid, const QString& fileName, QList<int>& widths)
{
    const int h = grid.SaveHiddenCells ? grid.NumHiddenColumns() : 0;
    const int first = grid.SaveStartCol();
    const int lastCol = grid.SaveEndCol() + h;
    for (int c = first + int(widths.size()); c <= lastCol; ++c)
        widths << longestLine(grid, grid.SaveHiddenCells ? c : grid.RealColIndex(c), false) + 1;
    QStringList lines;
    for (int r = grid.SaveStartRow(); r <= grid.SaveEndRow(); ++r) {
        QString line;
        for (int c = first; c <= lastCol; ++c) {
            const int w = std::max(0, widths[c - first]);
            QString t;
            grid.SaveCell(grid.SaveHiddenCells ? c : grid.RealColIndex(c), r, t);
            // A field holds one line: the text is cut at its first line break, as the
            // column-aligned text does without Multilinecells, so every row stays one line.
            t = leftChars(firstLine(t), w);
            line += t + pad(w - charCount(t));
        }
        lines << line;
    }
    QString error;
    const QString text = lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
    if (!platform::writeWholeFile(fileName, plainTextBytes(text, false), &error))
        throw platform::EExtGridError(QStringLiteral("Cannot Create file ") + fileName);
}

void LoadFromFixed(TExtStringGridPaint& grid, const QString& fileName, QList<int> positions, int maxRows, bool doTrim)
{
    const auto bytes = platform::readWholeFile(fileName);
    if (!bytes)
        throw platform::EExtGridError(QStringLiteral("File ") + fileName + QStringLiteral(" not found"));
    if (positions.size() < 2)
        return;
    std::sort(positions.begin(), positions.end());
    grid.SetColCount(grid.FixedCols() + int(positions.size()) - 1);
    const QStringList lines = platform::splitLines(DecodeGridText(*bytes));
    int t = grid.SaveStartRow();
    int read = 0;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (t >= grid.RowCount())
            grid.SetRowCount(t + 1);
        for (qsizetype k = 0; k + 1 < positions.size(); ++k) {
            const int from = std::max(1, positions[k]);
            const int len = std::max(0, positions[k + 1] - from);
            QString field = midChars(lines[i], from - 1, len);
            if (doTrim)
                field = field.trimmed();
            grid.LoadCell(grid.SaveStartCol() + int(k), t, field);
        }
        ++read;
        if (maxRows != -1 && read >= std::max(1, maxRows))
            break;
        if (t + 1 >= grid.RowCount() && i + 1 < lines.size())
            grid.SetRowCount(t + 2);
        ++t;
    }
    grid.CellsChanged(QRect(0, 0, grid.ColCount(), grid.RowCount()));
    grid.CellsLoaded();
}

} // namespace controls::grid::io
