#include "controls/grid/io/Office.h"

#include "controls/grid/io/TextCodec.h"
#include "platform/core/Errors.h"
#include "platform/fs/Files.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <cmath>

#include <freexl.h>
#include <xlsxwriter.h>
extern "C" {
#include <mdbsql.h>
}

namespace controls::grid::io {

QString ColumnLetters(int col)
{
    if (col < 1 || col > 702)
        return QString();
    if (col <= 26)
        return QString(QChar(u'A' + col - 1));
    const int first = (col - 1) / 26;
    const int second = (col - 1) % 26;
    return QString(QChar(u'A' + first - 1)) + QChar(u'A' + second);
}

namespace {

// "$B$2" -> column 2, row 2; letters are optional (a whole row).
bool parseCell(const QString& half, int& col, int& row, bool& hasCol)
{
    static const QRegularExpression re(QStringLiteral("^\\$?([A-Za-z]{0,2})\\$?([0-9]+)$"));
    const QRegularExpressionMatch m = re.match(half.trimmed());
    if (!m.hasMatch())
        return false;
    const QString letters = m.captured(1).toUpper();
    hasCol = !letters.isEmpty();
    col = 0;
    for (QChar c : letters)
        col = col * 26 + (c.unicode() - 'A' + 1);
    bool ok = false;
    row = m.captured(2).toInt(&ok);
    return ok && row > 0;
}

} // namespace

bool ParseA1Range(const QString& address, QRect& range)
{
    if (!address.contains(u'$') && !address.contains(u':')) {
        range = QRect(QPoint(1, 1), QPoint(1, 1));
        return true;
    }
    const QStringList halves = address.split(u':');
    if (halves.size() > 2)
        return false;
    int c1 = 0, r1 = 0, c2 = 0, r2 = 0;
    bool h1 = false, h2 = false;
    if (!parseCell(halves[0], c1, r1, h1))
        return false;
    if (halves.size() == 1) {
        range = QRect(QPoint(h1 ? c1 : 1, r1), QPoint(h1 ? c1 : 1, r1));
        return true;
    }
    if (!parseCell(halves[1], c2, r2, h2))
        return false;
    if (!h1 || !h2) {
        c1 = 1;
        c2 = 256;
    }
    range = QRect(QPoint(c1, r1), QPoint(c2, r2));
    return true;
}

// --- .xls through libfreexl ----------------------------------------------------------------

namespace {

struct Xls {
    const void* handle = nullptr;
    explicit Xls(const QString& fileName)
    {
        if (freexl_open(QFile::encodeName(fileName).constData(), &handle) != FREEXL_OK) {
            if (handle)
                freexl_close(handle);
            handle = nullptr;
            throw platform::EExtGridError(QStringLiteral("Incorrect XLS file"));
        }
    }
    ~Xls()
    {
        if (handle)
            freexl_close(handle);
    }
    Xls(const Xls&) = delete;
    Xls& operator=(const Xls&) = delete;

    QStringList sheets() const
    {
        unsigned count = 0;
        QStringList names;
        if (freexl_get_info(handle, FREEXL_BIFF_SHEET_COUNT, &count) != FREEXL_OK)
            return names;
        for (unsigned i = 0; i < count; ++i) {
            const char* name = nullptr;
            names << (freexl_get_worksheet_name(handle, (unsigned short)i, &name) == FREEXL_OK && name
                          ? QString::fromUtf8(name)
                          : QString());
        }
        return names;
    }
};

QString cellText(const FreeXL_CellValue& v)
{
    switch (v.type) {
    case FREEXL_CELL_INT:
        return QString::number(v.value.int_value);
    case FREEXL_CELL_DOUBLE:
        return QString::number(v.value.double_value, 'g', 15);
    case FREEXL_CELL_TEXT:
    case FREEXL_CELL_SST_TEXT:
    case FREEXL_CELL_DATE:
    case FREEXL_CELL_DATETIME:
    case FREEXL_CELL_TIME:
        return v.value.text_value ? QString::fromUtf8(v.value.text_value) : QString();
    default:
        return QString();
    }
}

void readSheet(TExtStringGridPaint& g, const QString& fileName, const QString& sheetName)
{
    Xls xls(fileName);
    const QStringList names = xls.sheets();
    int index = 0;
    if (!sheetName.isEmpty()) {
        index = int(names.indexOf(sheetName));
        if (index < 0)
            throw platform::EExtGridError(QStringLiteral("Excel worksheet %1 not found").arg(sheetName));
    }
    unsigned rows = 0;
    unsigned short cols = 0;
    if (names.isEmpty() || freexl_select_active_worksheet(xls.handle, (unsigned short)index) != FREEXL_OK
        || freexl_worksheet_dimensions(xls.handle, &rows, &cols) != FREEXL_OK)
        throw platform::EExtGridError(QStringLiteral("Incorrect XLS file"));
    // The used range: from the first row and column that hold a value.
    std::vector<std::vector<QString>> values(rows, std::vector<QString>(cols));
    unsigned r0 = rows, c0 = cols, r1 = 0, c1 = 0;
    for (unsigned r = 0; r < rows; ++r)
        for (unsigned short c = 0; c < cols; ++c) {
            FreeXL_CellValue v;
            if (freexl_get_cell_value(xls.handle, r, c, &v) != FREEXL_OK)
                throw platform::EExtGridError(QStringLiteral("Incorrect XLS file"));
            values[r][c] = cellText(v);
            if (v.type != FREEXL_CELL_NULL) {
                r0 = std::min(r0, r);
                c0 = std::min<unsigned>(c0, c);
                r1 = std::max(r1, r);
                c1 = std::max<unsigned>(c1, c);
            }
        }
    const int fixedCols = g.FixedCols(), fixedRows = g.FixedRows();
    const int startCol = g.SaveFixedCells || g.SaveFixedCols ? 0 : fixedCols;
    const int startRow = g.SaveFixedCells || g.SaveFixedRows ? 0 : fixedRows;
    if (r0 > r1) {
        g.CellsChanged(QRect(0, 0, g.ColCount(), g.RowCount()));
        g.CellsLoaded();
        return;
    }
    g.SetColCount(startCol + int(c1 - c0 + 1));
    g.SetRowCount(startRow + int(r1 - r0 + 1));
    if (fixedCols < g.ColCount())
        g.SetFixedCols(fixedCols);
    if (fixedRows < g.RowCount())
        g.SetFixedRows(fixedRows);
    for (unsigned r = r0; r <= r1; ++r)
        for (unsigned c = c0; c <= c1; ++c)
            g.LoadCell(startCol + int(c - c0), startRow + int(r - r0), values[r][c]);
    g.CellsChanged(QRect(0, 0, g.ColCount(), g.RowCount()));
    g.CellsLoaded();
}

} // namespace

QStringList GetXLSSheets(const QString& fileName)
{
    return Xls(fileName).sheets();
}

void LoadFromXLS(TExtStringGridPaint& grid, const QString& fileName)
{
    readSheet(grid, fileName, QString());
}

void LoadFromXLSSheet(TExtStringGridPaint& grid, const QString& fileName, const QString& sheetName)
{
    readSheet(grid, fileName, sheetName);
}

// --- .xlsx through libxlsxwriter ---------------------------------------------------------------

namespace {

void writeXlsx(TExtStringGridPaint& g, const QString& fileName, const QString& sheetName)
{
    // The library writes a file by name: it goes to a temporary folder, and the target is
    // replaced whole from there.
    QTemporaryDir tmp;
    if (!tmp.isValid())
        throw platform::EExtGridError(QStringLiteral("Cannot Create file ") + fileName);
    const QByteArray path = QFile::encodeName(tmp.filePath(QStringLiteral("book.xlsx")));
    lxw_workbook* wb = workbook_new(path.constData());
    if (!wb)
        throw platform::EExtGridError(QStringLiteral("Cannot Create file ") + fileName);
    const QByteArray name = sheetName.left(31).toUtf8();
    lxw_worksheet* ws = workbook_add_worksheet(wb, sheetName.isEmpty() ? nullptr : name.constData());
    if (!ws) {
        workbook_close(wb);
        throw platform::EExtGridError(QStringLiteral("Invalid worksheet name ") + sheetName);
    }
    g.ExportNotification(esExportStart, g.SaveStartRow());
    for (int r = g.SaveStartRow(); r < g.RowCount(); ++r) {
        g.ExportNotification(esExportNextRow, r);
        for (int c = g.SaveStartCol(); c < g.ColCount(); ++c) {
            QString t;
            g.SaveCell(g.RealColIndex(c), r, t);
            t.remove(u'\r');
            if (t.isEmpty())
                continue;
            worksheet_write_string(ws, lxw_row_t(r - g.SaveStartRow()), lxw_col_t(c - g.SaveStartCol()),
                                   t.toUtf8().constData(), nullptr);
        }
    }
    g.ExportNotification(esExportDone, -1);
    if (workbook_close(wb) != LXW_NO_ERROR)
        throw platform::EExtGridError(QStringLiteral("Cannot Create file ") + fileName);
    const auto bytes = platform::readWholeFile(QFile::decodeName(path));
    if (!bytes || !platform::writeWholeFile(fileName, *bytes))
        throw platform::EExtGridError(QStringLiteral("Cannot Create file ") + fileName);
}

} // namespace

void SaveToXLS(TExtStringGridPaint& grid, const QString& fileName)
{
    writeXlsx(grid, fileName, QString());
}

void SaveToXLSSheet(TExtStringGridPaint& grid, const QString& fileName, const QString& sheetName)
{
    writeXlsx(grid, fileName, sheetName);
}

// --- RTF document ----------------------------------------------------------------------------

namespace {

QString rtfText(const QString& s)
{
    QString r;
    for (QChar c : s) {
        const char16_t u = c.unicode();
        if (u == '\\' || u == '{' || u == '}')
            r += u'\\', r += c;
        else if (u == '\r')
            continue;
        else if (u == '\n')
            r += QLatin1String("\\line ");
        else if (u == '\t')
            r += QLatin1String("\\tab ");
        else if (u < 0x80)
            r += c;
        else
            r += QStringLiteral("\\u%1?").arg(int(int16_t(u)));
    }
    return r;
}

QString tableRtf(TExtStringGridPaint& g)
{
    QString t;
    const int cols = g.ColCount();
    const int width = cols > 0 ? 9000 / cols : 9000;
    g.ExportNotification(esExportStart, 0);
    for (int r = 0; r < g.RowCount(); ++r) {
        g.ExportNotification(esExportNextRow, r);
        t += QStringLiteral("\\trowd\\trgaph108");
        for (int c = 0; c < cols; ++c)
            t += QStringLiteral("\\clbrdrt\\brdrs\\clbrdrl\\brdrs\\clbrdrb\\brdrs\\clbrdrr\\brdrs\\cellx%1").arg(width * (c + 1));
        t += QStringLiteral("\r\n");
        for (int c = 0; c < cols; ++c) {
            QString s;
            g.SaveCell(g.RealColIndex(c), r, s);
            platform::Alignment ha = platform::Alignment::taLeftJustify;
            TVAlignment va = vtaTop;
            g.ResolveCellAlignment(g.RealColIndex(c), r, ha, va);
            const QString align = ha == platform::Alignment::taRightJustify ? QStringLiteral("\\qr")
                                  : ha == platform::Alignment::taCenter       ? QStringLiteral("\\qc")
                                                                              : QStringLiteral("\\ql");
            t += QStringLiteral("\\pard\\intbl%1 %2\\cell\r\n").arg(align, rtfText(s));
        }
        t += QStringLiteral("\\row\r\n");
    }
    t += QStringLiteral("\\pard\r\n");
    g.ExportNotification(esExportDone, -1);
    return t;
}

} // namespace

QString GridToRTFTable(TExtStringGridPaint& g, const QString& caption)
{
    return QStringLiteral("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0 Arial;}}\r\n\\f0\\fs20 ") + rtfText(caption)
           + QStringLiteral("\\par\r\n") + tableRtf(g) + QStringLiteral("}\r\n");
}

void SaveToDOC(TExtStringGridPaint& g, const QString& fileName, const QString& caption)
{
    if (!platform::writeWholeFile(fileName, GridToRTFTable(g, caption).toLatin1()))
        throw platform::EExtGridError(QStringLiteral("Cannot Create file ") + fileName);
}

void AppendToDoc(TExtStringGridPaint& g, const QString& fileName, const QString& bookmark, const QString& caption)
{
    QString error;
    const auto bytes = platform::readWholeFile(fileName, &error);
    if (!bytes)
        throw platform::Exception(QStringLiteral("Cannot open file %1: %2").arg(fileName, error));
    QString doc = QString::fromLatin1(*bytes);
    const qsizetype end = doc.lastIndexOf(u'}');
    if (!doc.startsWith(QLatin1String("{\\rtf")) || end < 0)
        throw platform::EExtGridError(QStringLiteral("Incorrect RTF file"));
    const QString insert = rtfText(caption) + QStringLiteral("\\par\r\n") + tableRtf(g);
    qsizetype at = -1;
    if (!bookmark.isEmpty()) {
        const QString mark = QStringLiteral("{\\*\\bkmkstart ") + bookmark + u'}';
        const qsizetype found = doc.indexOf(mark);
        if (found >= 0)
            at = found + mark.size();
    }
    if (at < 0)
        at = end; // the end of the document, after a new paragraph
    doc.insert(at, (at == end ? QStringLiteral("\\par\r\n") : QString()) + insert);
    if (!platform::writeWholeFile(fileName, doc.toLatin1()))
        throw platform::EExtGridError(QStringLiteral("Cannot Create file ") + fileName);
}

// --- .mdb through mdbtools ---------------------------------------------------------------------

QString MDBTableQuery(const QString& table)
{
    QString name = table;
    name.remove(u'[').remove(u']');
    return QStringLiteral("SELECT * FROM [%1]").arg(name);
}

void LoadFromMDBSQL(TExtStringGridPaint& g, const QString& fileName, const QString& sql)
{
    if (!platform::fileExists(fileName))
        throw platform::Exception(QStringLiteral("Database file %1 not found").arg(fileName));
    MdbSQL* q = mdb_sql_init();
    struct Closer {
        MdbSQL* q;
        ~Closer() { mdb_sql_exit(q); }
    } closer{q};
    QByteArray name = QFile::encodeName(fileName);
    if (!mdb_sql_open(q, name.data()))
        throw platform::Exception(QStringLiteral("Cannot open the database %1").arg(fileName));
    const QByteArray text = sql.toUtf8();
    mdb_sql_run_query(q, text.constData());
    if (mdb_sql_has_error(q))
        throw platform::Exception(QString::fromUtf8(mdb_sql_last_error(q)));
    if (!q->cur_table)
        throw platform::Exception(QStringLiteral("The query gives no table"));
    const int n = int(q->num_columns);
    g.SetColCount(n + g.FixedCols());
    if (g.FixedRows() > 0)
        for (int i = 0; i < n; ++i) {
            const auto* col = static_cast<MdbSQLColumn*>(g_ptr_array_index(q->columns, i));
            g.LoadCell(g.FixedCols() + i, g.FixedRows() - 1, QString::fromUtf8(col->name));
        }
    int row = g.FixedRows();
    if (g.RowCount() <= row)
        g.SetRowCount(row + 1);
    while (mdb_sql_fetch_row(q, q->cur_table)) {
        if (row >= g.RowCount())
            g.SetRowCount(row + 1);
        for (int i = 0; i < n; ++i) {
            const char* value = static_cast<const char*>(g_ptr_array_index(q->bound_values, i));
            g.LoadCell(g.FixedCols() + i, row, value ? QString::fromUtf8(value) : QString());
        }
        ++row;
    }
    if (row > g.FixedRows())
        g.SetRowCount(row);
    g.CellsChanged(QRect(0, 0, g.ColCount(), g.RowCount()));
    g.CellsLoaded();
}

void LoadFromMDBTable(TExtStringGridPaint& g, const QString& fileName, const QString& table)
{
    LoadFromMDBSQL(g, fileName, MDBTableQuery(table));
}

void ChangeScale(TExtStringGrid& g, int m, int d)
{
    if (m == d || d == 0)
        return;
    auto scaled = [m, d](QFont f) {
        const int size = FontPointSize(f);
        f.setPointSize(std::max(1, int(std::lround(double(size) * m / d))));
        return f;
    };
    g.SetFixedFont(scaled(g.FixedFont()));
    g.SetActiveCellFont(scaled(g.ActiveCellFont()));
}

} // namespace controls::grid::io
