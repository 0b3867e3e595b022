#include "controls/grid/io/TextCellFile.h"

#include "controls/grid/io/FileAccess.h"
#include "controls/grid/io/TextCodec.h"
#include "controls/grid/util/ExtUtil.h"
#include "platform/core/Errors.h"
#include "platform/fs/Files.h"
#include "platform/text/Text.h"

#include <QStringList>
#include <cmath>
#include <limits>

namespace controls::grid::io {

namespace {

constexpr QChar kEsc = QChar(2);

bool needsCoding(const QString& s)
{
    for (QChar c : s) {
        const char16_t u = c.unicode();
        if (u == 13 || u == 10 || u == 0 || u == 9 || u == 8 || u == 1 || u == 2)
            return true;
    }
    return false;
}

QString widthLine(int col, int width)
{
    return QStringLiteral("cw %1,%2").arg(col).arg(width);
}

} // namespace

QString EncodeCellText(const QString& text)
{
    if (!needsCoding(text))
        return text;
    QString out;
    out.reserve(text.size() + 4);
    bool marked = false;
    for (QChar c : text) {
        switch (c.unicode()) {
        case 13:
            out += QChar(9);
            break;
        case 10:
            out += QChar(8);
            marked = true;
            break;
        case 0:
            out += QChar(1);
            break;
        case 9:
            out += kEsc + QLatin1Char('t');
            marked = true;
            break;
        case 8:
            out += kEsc + QLatin1Char('b');
            marked = true;
            break;
        case 1:
            out += kEsc + QLatin1Char('a');
            marked = true;
            break;
        case 2:
            out += kEsc + QLatin1Char('e');
            marked = true;
            break;
        default:
            out += c;
        }
    }
    if (!marked)
        out += kEsc + QLatin1Char('.');
    return out;
}

QString DecodeCellText(const QString& coded, bool multiLine)
{
    QString out;
    if (!coded.contains(QChar(8)) && !coded.contains(kEsc)) {
        out = coded;
    } else {
        out.reserve(coded.size());
        for (qsizetype i = 0; i < coded.size(); ++i) {
            const char16_t u = coded[i].unicode();
            if (u == 9)
                out += QChar(13);
            else if (u == 8)
                out += QChar(10);
            else if (u == 1)
                out += QChar(0);
            else if (u == 2 && i + 1 < coded.size()) {
                const QChar next = coded[++i];
                if (next == u't')
                    out += QChar(9);
                else if (next == u'b')
                    out += QChar(8);
                else if (next == u'a')
                    out += QChar(1);
                else if (next == u'e')
                    out += QChar(2);
                else if (next != u'.') {
                    out += QChar(2);
                    out += next;
                }
            } else
                out += coded[i];
        }
    }
    if (!multiLine) {
        const qsizetype cr = out.indexOf(QChar(13));
        if (cr >= 0)
            out.truncate(cr);
    }
    return out;
}

int LenientStrToInt(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i] == u' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        negative = text[i++] == u'-';
    int base = 10;
    if (i < text.size() && text[i] == u'$') {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X')) {
        base = 16;
        i += 2;
    }
    int64_t v = 0;
    for (; i < text.size(); ++i) {
        const int d = QChar(text[i]).isDigit() && text[i].unicode() < 128 ? text[i].unicode() - '0'
                      : base == 16 && text[i].toLower() >= u'a' && text[i].toLower() <= u'f'
                          ? text[i].toLower().unicode() - 'a' + 10
                          : -1;
        if (d < 0)
            break;
        v = v * base + d;
        if (v > int64_t(std::numeric_limits<int32_t>::max()) + 1)
            v = int64_t(std::numeric_limits<int32_t>::max()) + 1;
    }
    v = negative ? -v : v;
    return int(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

void SaveToFile(TExtStringGridPaint& grid, const QString& fileName, bool unicode)
{
    const int h = grid.SaveHiddenCells ? grid.NumHiddenColumns() : 0;
    QStringList lines;
    lines << QStringLiteral("%1,%2").arg(h + grid.SaveColCount()).arg(grid.SaveRowCount());
    for (int i = grid.SaveStartCol(); i <= grid.SaveEndCol() + h; ++i)
        lines << widthLine(i, grid.AllColWidths(i));
    grid.ExportNotification(esExportStart, grid.SaveStartRow());
    int last = -1;
    for (int r = grid.SaveStartRow(); r <= grid.SaveEndRow(); ++r) {
        grid.ExportNotification(esExportNextRow, r);
        for (int c = grid.SaveStartCol(); c <= grid.SaveEndCol() + h; ++c) {
            QString t;
            grid.SaveCell(c, r, t);
            if (!t.isEmpty())
                lines << QStringLiteral("%1,%2,").arg(c).arg(r) + EncodeCellText(t);
        }
        ReportProgress(grid, last, double(r) / std::max(1, grid.SaveRowCount() - 1));
    }
    grid.ExportNotification(esExportDone, -1);
    QString text = lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
    QByteArray bytes;
    bytes = unicode ? EncodeUtf16WithBom(text) : text.toUtf8();
    WriteFileOrThrow(fileName, bytes);
}

void LoadFromFile(TExtStringGridPaint& grid, const QString& fileName)
{
    LoadFromFileData(grid, ReadFileOrThrow(fileName), fileName);
}

void LoadFromFileData(TExtStringGridPaint& grid, const QByteArray& bytes, const QString& fileName)
{
    const QStringList lines = platform::splitLines(DecodeGridText(bytes));
    const int a = grid.SaveFixedCells || grid.SaveFixedCols ? 0 : grid.FixedCols();
    const int b = grid.SaveFixedCells || grid.SaveFixedRows ? 0 : grid.FixedRows();
    const QString corrupt = QStringLiteral("File contains no data or corrupt file ") + fileName;
    if (!lines.isEmpty() && !lines[0].isEmpty()) {
        const qsizetype comma = lines[0].indexOf(u',');
        const int c = LenientStrToInt(comma < 0 ? lines[0] : lines[0].left(comma));
        const int r = comma < 0 ? 0 : LenientStrToInt(lines[0].mid(comma + 1));
        if (c < 0 || r < 0 || c > kMaxFileCols || r > kMaxFileRows || a + c == 0 || b + r == 0)
            throw platform::EExtGridError(corrupt);
        grid.SetColCount(a + c);
        grid.SetRowCount(b + r);
    }
    if (grid.ColCount() == 0 || grid.RowCount() == 0)
        throw platform::EExtGridError(corrupt);
    int last = -1;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.startsWith(QLatin1String("cw"))) {
            const qsizetype comma = line.indexOf(u',');
            const int index = LenientStrToInt(line.mid(3, comma < 0 ? -1 : comma - 3));
            const int width = comma < 0 ? 0 : LenientStrToInt(line.mid(comma + 1));
            if (index >= 0 && index < grid.ColCount() && width >= 0 && width <= kMaxCellExtent)
                grid.SetAllColWidths(index, width);
            continue;
        }
        const int x = LenientStrToInt(CutToken(u',', line));
        const int y = LenientStrToInt(CutToken(u',', line));
        if (x >= 0 && x < grid.ColCount() && y >= 0 && y < grid.RowCount())
            grid.LoadCell(x, y, DecodeCellText(line, grid.Multilinecells));
        ReportProgress(grid, last, double(y) / std::max(1, grid.RowCount() - 1));
    }
    grid.CellsChanged(QRect(0, 0, grid.ColCount(), grid.RowCount()));
    grid.CellsLoaded();
}

void SaveToStream(TExtStringGridPaint& grid, QByteArray& out)
{
    auto put = [&out](const QString& line) {
        out.append(reinterpret_cast<const char*>(line.utf16()), line.size() * 2);
        out.append("\x0D\x00\x0A\x00", 4);
    };
    put(QStringLiteral("%1,%2").arg(grid.SaveColCount()).arg(grid.SaveRowCount()));
    for (int i = 0; i < grid.ColCount(); ++i)
        put(widthLine(i, grid.colWidths(i)));
    grid.ExportNotification(esExportStart, grid.SaveStartRow());
    for (int r = grid.SaveStartRow(); r <= grid.SaveEndRow(); ++r) {
        grid.ExportNotification(esExportNextRow, r);
        for (int c = grid.SaveStartCol(); c <= grid.SaveEndCol(); ++c) {
            QString t;
            grid.SaveCell(c, r, t);
            if (!t.isEmpty())
                put(QStringLiteral("%1,%2,").arg(c - grid.SaveStartCol()).arg(r - grid.SaveStartRow())
                    + EncodeCellText(t));
        }
    }
    grid.ExportNotification(esExportDone, -1);
}

namespace {

// One UTF-16 line from pos: up to the unit 13 (dropped, with the one unit after it) or the end.
QString readLine(const QByteArray& data, qsizetype& pos)
{
    QString line;
    while (pos + 1 < data.size()) {
        const char16_t u = char16_t(uint8_t(data[pos]) | uint8_t(data[pos + 1]) << 8);
        pos += 2;
        if (u == 13) {
            pos = std::min(pos + 2, data.size());
            break;
        }
        line += QChar(u);
    }
    if (pos + 1 >= data.size())
        pos = data.size();
    return line;
}

int strictInt(const QString& s)
{
    const auto v = platform::toInt(s);
    if (!v)
        throw platform::EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(s));
    return *v;
}

} // namespace

void LoadFromStream(TExtStringGridPaint& grid, const QByteArray& data, qsizetype& pos)
{
    if (pos + 1 < data.size()) {
        const QString first = readLine(data, pos);
        if (!first.isEmpty()) {
            const qsizetype comma = first.indexOf(u',');
            const int c = strictInt(comma < 0 ? first : first.left(comma));
            const int r = comma < 0 ? 0 : strictInt(first.mid(comma + 1));
            if (c < 0 || r < 0 || c > kMaxFileCols || r > kMaxFileRows)
                throw platform::EConvertError(QStringLiteral("Cell counts out of range: %1").arg(first));
            grid.SetColCount(c + grid.SaveStartCol());
            grid.SetRowCount(r + grid.SaveStartRow());
        }
    }
    while (pos + 1 < data.size()) {
        const qsizetype start = pos;
        QString line = readLine(data, pos);
        if (line.startsWith(QLatin1String("cw"))) {
            line.remove(0, 3);
            const qsizetype comma = line.indexOf(u',');
            const int index = strictInt(line.left(comma));
            const int width = strictInt(comma < 0 ? QString() : line.mid(comma + 1));
            if (index >= 0 && index < grid.ColCount() && width >= 0 && width <= kMaxCellExtent)
                grid.setColWidths(index, width);
            continue;
        }
        const qsizetype c1 = line.indexOf(u',');
        const qsizetype c2 = c1 < 0 ? -1 : line.indexOf(u',', c1 + 1);
        if (c1 < 0 || c2 < 0) {
            pos = start;
            break;
        }
        const qint64 x = qint64(strictInt(line.left(c1))) + grid.SaveStartCol();
        const qint64 y = qint64(strictInt(line.mid(c1 + 1, c2 - c1 - 1))) + grid.SaveStartRow();
        if (x >= 0 && x < grid.ColCount() && y >= 0 && y < grid.RowCount())
            grid.LoadCell(int(x), int(y), DecodeCellText(line.mid(c2 + 1), grid.Multilinecells));
    }
    grid.CellsChanged(QRect(0, 0, grid.ColCount(), grid.RowCount()));
    grid.CellsLoaded();
}

double CellToReal(TExtStringGridPaint& grid, int col, int row)
{
    const QString t = grid.GetCellEx(col, row);
    if (t.isEmpty())
        return 0;
    const QString s = CleanFloatText(t);
    // Val: sign, digits, a point and digits, an exponent; the first character that does not fit
    // is the error position (1-based).
    qsizetype i = 0;
    auto digits = [&]() {
        const qsizetype from = i;
        while (i < s.size() && s[i] >= u'0' && s[i] <= u'9')
            ++i;
        return i > from;
    };
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-'))
        ++i;
    bool any = digits();
    if (i < s.size() && s[i] == u'.') {
        ++i;
        any = digits() || any;
    }
    if (any && i < s.size() && (s[i] == u'e' || s[i] == u'E')) {
        const qsizetype mark = i++;
        if (i < s.size() && (s[i] == u'+' || s[i] == u'-'))
            ++i;
        if (!digits())
            i = std::max(mark + 1, i);
    }
    if (!any || i < s.size())
        throw platform::EExtGridError(
            QStringLiteral("Error at position: %1 in Cell [%2, %3].").arg(any ? i + 1 : std::max<qsizetype>(1, i + 1)).arg(col).arg(row));
    return s.toDouble();
}

} // namespace controls::grid::io
