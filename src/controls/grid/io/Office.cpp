#include "controls/grid/io/Office.h"

#include "controls/grid/io/IsolatedRead.h"
#include "controls/grid/io/TextCodec.h"
#include "controls/grid/io/XlsCheck.h"
#include "controls/grid/io/XlsxReader.h"
#include "platform/core/Errors.h"
#include "platform/fs/Files.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstring>
#include <limits>
#include <map>
#include <memory>
#include <optional>

#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>

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

// --- reading workbooks -------------------------------------------------------------------------

namespace {

// Larger workbooks are refused rather than read into memory.
constexpr qint64 kMaxWorkbookBytes = qint64(512) * 1024 * 1024;

QByteArray readWorkbook(const QString& fileName)
{
    QString error;
    const auto bytes = platform::readWholeFile(fileName, &error, kMaxWorkbookBytes);
    if (!bytes) {
        if (error.isEmpty())
            error = QStringLiteral("it is larger than %1 MiB").arg(kMaxWorkbookBytes >> 20);
        throw platform::EExtGridError(QStringLiteral("Cannot open file %1: %2").arg(fileName, error));
    }
    return *bytes;
}

// A sheet's values as the grid loads them: texts by 0-based row and column.
struct SheetValues {
    struct Value {
        unsigned row, col;
        QString text;
    };
    std::vector<Value> values;
};

void loadValues(TExtStringGridPaint& g, const SheetValues& sheet)
{
    // The used range: from the first row and column that hold a value.
    unsigned r0 = UINT_MAX, c0 = UINT_MAX, r1 = 0, c1 = 0;
    for (const auto& v : sheet.values) {
        r0 = std::min(r0, v.row);
        c0 = std::min(c0, v.col);
        r1 = std::max(r1, v.row);
        c1 = std::max(c1, v.col);
    }
    const int fixedCols = g.FixedCols(), fixedRows = g.FixedRows();
    const int startCol = g.SaveFixedCells || g.SaveFixedCols ? 0 : fixedCols;
    const int startRow = g.SaveFixedCells || g.SaveFixedRows ? 0 : fixedRows;
    if (sheet.values.empty()) {
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
    for (const auto& v : sheet.values)
        g.LoadCell(startCol + int(v.col - c0), startRow + int(v.row - r0), v.text);
    g.CellsChanged(QRect(0, 0, g.ColCount(), g.RowCount()));
    g.CellsLoaded();
}

// --- .xls through libfreexl, after the structural check --------------------------------------

[[noreturn]] void incorrectXls(const QString& why)
{
    throw platform::EExtGridError(why.isEmpty() ? QStringLiteral("Incorrect XLS file")
                                                : QStringLiteral("Incorrect XLS file: ") + why);
}

// libfreexl opens files by name: it gets the checked bytes in a memory file of this process,
// so what it reads is what was checked, and nothing is left on disk.
class Xls {
public:
    Xls(const QByteArray& bytes, const QString& fileName, XlsFacts& facts)
    {
        const QString why = CheckXlsFile(bytes, facts);
        if (!why.isEmpty())
            incorrectXls(why);
        fd_.fd = ::memfd_create("varnetor-xls", MFD_CLOEXEC);
        if (fd_.fd < 0)
            throw platform::EExtGridError(QStringLiteral("Cannot open file %1: %2").arg(fileName, QString::fromLocal8Bit(std::strerror(errno))));
        for (qsizetype done = 0; done < bytes.size();) {
            const ssize_t n = ::write(fd_.fd, bytes.constData() + done, size_t(bytes.size() - done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                throw platform::EExtGridError(QStringLiteral("Cannot open file %1: %2").arg(fileName, QString::fromLocal8Bit(std::strerror(errno))));
            done += n;
        }
        const QByteArray path = "/proc/self/fd/" + QByteArray::number(fd_.fd);
        if (freexl_open(path.constData(), &handle_.h) != FREEXL_OK || !handle_.h) {
            // libfreexl refuses a whole workbook for one text it cannot read: say which.
            if (facts.longTextLength > 0)
                incorrectXls(QStringLiteral("the text %1of %2 characters is longer than libfreexl reads (a text may "
                                            "span at most two records of the file: up to about 16,400 characters "
                                            "of Latin-1 letters, 8,200 of others)")
                                 .arg(facts.longTextCell.isEmpty() ? QString() : QStringLiteral("in ") + facts.longTextCell + u' ')
                                 .arg(facts.longTextLength));
            incorrectXls(QString());
        }
    }
    Xls(const Xls&) = delete;
    Xls& operator=(const Xls&) = delete;

    const void* handle() const { return handle_.h; }

    QStringList sheets() const
    {
        unsigned count = 0;
        QStringList names;
        if (freexl_get_info(handle_.h, FREEXL_BIFF_SHEET_COUNT, &count) != FREEXL_OK)
            return names;
        for (unsigned i = 0; i < count; ++i) {
            const char* name = nullptr;
            names << (freexl_get_worksheet_name(handle_.h, (unsigned short)i, &name) == FREEXL_OK && name
                          ? QString::fromUtf8(name)
                          : QString());
        }
        return names;
    }

private:
    // Released also when the constructor ends in an error.
    struct Fd {
        int fd = -1;
        ~Fd()
        {
            if (fd >= 0)
                ::close(fd);
        }
    } fd_;
    struct Handle {
        const void* h = nullptr;
        ~Handle()
        {
            if (h)
                freexl_close(h);
        }
    } handle_;
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

SheetValues readXlsSheet(const QByteArray& bytes, const QString& fileName, const QString& sheetName)
{
    XlsFacts facts;
    Xls xls(bytes, fileName, facts);
    const QStringList names = xls.sheets();
    int index = facts.activeSheet < names.size() ? facts.activeSheet : 0;
    if (!sheetName.isEmpty()) {
        index = int(names.indexOf(sheetName));
        if (index < 0)
            throw platform::EExtGridError(QStringLiteral("Excel worksheet %1 not found").arg(sheetName));
    }
    unsigned rows = 0;
    unsigned short cols = 0;
    if (names.isEmpty() || freexl_select_active_worksheet(xls.handle(), (unsigned short)index) != FREEXL_OK
        || freexl_worksheet_dimensions(xls.handle(), &rows, &cols) != FREEXL_OK)
        incorrectXls(QString());
    SheetValues sheet;
    for (unsigned r = 0; r < rows; ++r)
        for (unsigned short c = 0; c < cols; ++c) {
            FreeXL_CellValue v;
            if (freexl_get_cell_value(xls.handle(), r, c, &v) != FREEXL_OK)
                incorrectXls(QStringLiteral("cell %1 cannot be read").arg(XlsxCellName(c, int(r))));
            if (v.type != FREEXL_CELL_NULL)
                sheet.values.push_back({r, c, cellText(v)});
        }
    return sheet;
}

// --- .xlsx through the workbook reader ---------------------------------------------------------

SheetValues readXlsxSheet(const QByteArray& bytes, const QString& sheetName)
{
    const XlsxBook book = ReadXlsx(bytes);
    const XlsxSheet* sheet = &book.sheets[size_t(book.activeSheet)];
    if (!sheetName.isEmpty()) {
        sheet = nullptr;
        for (const XlsxSheet& s : book.sheets)
            if (s.name == sheetName)
                sheet = &s;
        if (!sheet)
            throw platform::EExtGridError(QStringLiteral("Excel worksheet %1 not found").arg(sheetName));
    }
    SheetValues out;
    out.values.reserve(sheet->cells.size());
    for (const XlsxCell& c : sheet->cells)
        out.values.push_back({unsigned(c.row), unsigned(c.col), XlsxDisplayText(c, book.date1904)});
    return out;
}

void readSheet(TExtStringGridPaint& g, const QString& fileName, const QString& sheetName)
{
    const QByteArray bytes = readWorkbook(fileName);
    if (LooksLikeZip(bytes))
        loadValues(g, readXlsxSheet(bytes, sheetName));
    else
        loadValues(g, readXlsSheet(bytes, fileName, sheetName));
}

} // namespace

QStringList GetXLSSheets(const QString& fileName)
{
    const QByteArray bytes = readWorkbook(fileName);
    if (LooksLikeZip(bytes)) {
        QStringList names;
        for (const XlsxSheet& s : ReadXlsx(bytes).sheets)
            names << s.name;
        return names;
    }
    XlsFacts facts;
    return Xls(bytes, fileName, facts).sheets();
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

bool processAlive(qint64 pid)
{
    if (pid <= 0 || pid > std::numeric_limits<pid_t>::max())
        return false;
    return ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
}

// Each export works in a folder "<process id>-<letters>" below the root; an export that was
// killed leaves its folder, which the next export removes once that process has ended.
void removeStaleExportFolders(const QString& root)
{
    static const QRegularExpression name(QStringLiteral("^([0-9]+)-"));
    const qint64 self = ::getpid();
    for (const QString& entry : QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden)) {
        const QRegularExpressionMatch m = name.match(entry);
        if (!m.hasMatch())
            continue;
        const qint64 pid = m.captured(1).toLongLong();
        if (pid != self && !processAlive(pid))
            QDir(root + u'/' + entry).removeRecursively();
    }
}

// The characters XML cannot carry are written as "_xHHHH_", the workbook's own escape (the
// library escapes the control characters itself); a literal "_xHHHH_" in a text escapes its
// underscore so that it is not read as one.
QString xlsxText(const QString& text)
{
    QString out = XlsxEscapeLiteral(text);
    for (qsizetype i = 0; i < out.size(); ++i) {
        const char16_t u = out[i].unicode();
        const bool pair = QChar::isHighSurrogate(u) && i + 1 < out.size() && out[i + 1].isLowSurrogate();
        if (pair) {
            ++i;
            continue;
        }
        if (QChar::isSurrogate(u) || u == 0xFFFE || u == 0xFFFF) {
            const QString esc = QStringLiteral("_x%1_").arg(int(u), 4, 16, QLatin1Char('0')).toUpper().replace(QLatin1String("_X"), QLatin1String("_x"));
            out.replace(i, 1, esc);
            i += esc.size() - 1;
        }
    }
    return out;
}

// Line breaks in a worksheet cell are LF alone: CR LF and a lone CR become LF.
QString withoutCR(QString text)
{
    if (!text.contains(u'\r'))
        return text;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(u'\r', u'\n');
    return text;
}

class XlsxWriter {
public:
    XlsxWriter(const QString& fileName) : fileName_(fileName)
    {
        const QString root = XlsxExportTempRoot();
        if (!platform::makeFolder(root))
            fail(QStringLiteral("the temporary folder %1 cannot be made").arg(root));
        QFile::setPermissions(root, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        removeStaleExportFolders(root);
        tmp_ = std::make_unique<QTemporaryDir>(root + u'/' + QString::number(qint64(::getpid())) + QStringLiteral("-XXXXXX"));
        if (!tmp_->isValid())
            fail(QStringLiteral("the temporary folder cannot be made: %1").arg(tmp_->errorString()));
        path_ = QFile::encodeName(tmp_->filePath(QStringLiteral("book.xlsx")));
        tmpdir_ = QFile::encodeName(tmp_->path());
        lxw_workbook_options options{};
        options.tmpdir = tmpdir_.data();
        wb_ = workbook_new_opt(path_.constData(), &options);
        if (!wb_)
            fail(QStringLiteral("the workbook cannot be started"));
    }
    ~XlsxWriter()
    {
        if (wb_)
            workbook_close(wb_); // after an error: frees it; the folder goes with tmp_
    }
    XlsxWriter(const XlsxWriter&) = delete;
    XlsxWriter& operator=(const XlsxWriter&) = delete;

    [[noreturn]] void fail(const QString& why) const
    {
        throw platform::EExtGridError(QStringLiteral("Cannot Create file %1: %2").arg(fileName_, why));
    }

    lxw_worksheet* addSheet(const QString& name)
    {
        const QByteArray n = name.toUtf8();
        lxw_worksheet* ws = workbook_add_worksheet(wb_, name.isEmpty() ? nullptr : n.constData());
        if (!ws)
            throw platform::EExtGridError(QStringLiteral("Invalid worksheet name ") + name);
        return ws;
    }

    void check(lxw_error e, const QString& sheet, int col, int row) const
    {
        if (e != LXW_NO_ERROR)
            fail(QStringLiteral("cell %1%2: %3")
                     .arg(sheet.isEmpty() ? QString() : sheet + u'!', XlsxCellName(col, row),
                          QString::fromUtf8(lxw_strerror(e))));
    }

    lxw_format* numberFormat(int id, const QString& code)
    {
        if (id == 0)
            return nullptr;
        const QString key = QString::number(id) + u'|' + code;
        auto it = formats_.find(key);
        if (it != formats_.end())
            return it->second;
        lxw_format* f = workbook_add_format(wb_);
        if (id < 164 || code.isEmpty())
            format_set_num_format_index(f, uint8_t(std::min(id, 255)));
        else
            format_set_num_format(f, code.toUtf8().constData());
        formats_[key] = f;
        return f;
    }

    // Closes the workbook and replaces the target with it whole.
    void finish()
    {
        const lxw_error e = workbook_close(wb_);
        wb_ = nullptr;
        if (e != LXW_NO_ERROR)
            fail(QString::fromUtf8(lxw_strerror(e)));
        QString error;
        const auto bytes = platform::readWholeFile(QFile::decodeName(path_), &error);
        if (!bytes)
            fail(error);
        if (!platform::writeWholeFile(fileName_, *bytes, &error))
            fail(error);
    }

    lxw_workbook* workbook() const { return wb_; }

private:
    QString fileName_;
    std::unique_ptr<QTemporaryDir> tmp_;
    QByteArray path_, tmpdir_;
    lxw_workbook* wb_ = nullptr;
    std::map<QString, lxw_format*> formats_;
};

// The save range as texts, checked against the format's limits before anything is written.
struct GridCells {
    struct Cell {
        int row, col;
        QByteArray text;
    };
    std::vector<Cell> cells;
};

GridCells gridCells(TExtStringGridPaint& g, const QString& fileName, const QString& sheet)
{
    GridCells out;
    auto name = [&](int col, int row) {
        return (sheet.isEmpty() ? QString() : sheet + u'!') + XlsxCellName(col, row);
    };
    const int rows = g.RowCount() - g.SaveStartRow();
    const int cols = g.ColCount() - g.SaveStartCol();
    if (rows > kXlsxMaxRows || cols > kXlsxMaxCols)
        throw platform::EExtGridError(QStringLiteral("Cannot Create file %1: the grid has %2 rows and %3 columns; a "
                                                     "worksheet holds at most %4 rows and %5 columns")
                                          .arg(fileName)
                                          .arg(rows)
                                          .arg(cols)
                                          .arg(kXlsxMaxRows)
                                          .arg(kXlsxMaxCols));
    g.ExportNotification(esExportStart, g.SaveStartRow());
    for (int r = g.SaveStartRow(); r < g.RowCount(); ++r) {
        g.ExportNotification(esExportNextRow, r);
        for (int c = g.SaveStartCol(); c < g.ColCount(); ++c) {
            QString t;
            g.SaveCell(g.RealColIndex(c), r, t);
            if (t.isEmpty())
                continue;
            t = withoutCR(t);
            const int row = r - g.SaveStartRow(), col = c - g.SaveStartCol();
            if (t.size() > kXlsxMaxTextLength)
                throw platform::EExtGridError(QStringLiteral("Cannot Create file %1: cell %2 holds %3 characters; a "
                                                             "worksheet cell holds at most %4")
                                                  .arg(fileName, name(col, row))
                                                  .arg(t.size())
                                                  .arg(kXlsxMaxTextLength));
            out.cells.push_back({row, col, xlsxText(t).toUtf8()});
        }
    }
    g.ExportNotification(esExportDone, -1);
    return out;
}

void writeGrid(XlsxWriter& w, lxw_worksheet* ws, const QString& sheet, const GridCells& cells)
{
    for (const auto& c : cells.cells)
        w.check(worksheet_write_string(ws, lxw_row_t(c.row), lxw_col_t(c.col), c.text.constData(), nullptr), sheet,
                c.col, c.row);
}

bool parseRange(const QString& ref, int& c1, int& r1, int& c2, int& r2)
{
    static const QRegularExpression re(QStringLiteral("^\\$?([A-Z]{1,3})\\$?([0-9]+)(?::\\$?([A-Z]{1,3})\\$?([0-9]+))?$"));
    const QRegularExpressionMatch m = re.match(ref);
    if (!m.hasMatch())
        return false;
    auto col = [](const QString& l) {
        int n = 0;
        for (QChar c : l)
            n = n * 26 + (c.unicode() - 'A' + 1);
        return n - 1;
    };
    c1 = col(m.captured(1));
    r1 = m.captured(2).toInt() - 1;
    c2 = m.captured(3).isEmpty() ? c1 : col(m.captured(3));
    r2 = m.captured(4).isEmpty() ? r1 : m.captured(4).toInt() - 1;
    return c1 >= 0 && r1 >= 0 && c2 >= c1 && r2 >= r1 && c2 < kXlsxMaxCols && r2 < kXlsxMaxRows;
}

// A sheet of the existing workbook written again: values with their kinds, formulas and
// number formats.
void writeKept(XlsxWriter& w, lxw_worksheet* ws, const XlsxSheet& sheet)
{
    struct Area {
        int c1, r1, c2, r2;
    };
    std::vector<Area> arrays;
    for (const XlsxCell& c : sheet.cells) {
        Area a{};
        if (!c.arrayRef.isEmpty() && parseRange(c.arrayRef, a.c1, a.r1, a.c2, a.r2))
            arrays.push_back(a);
    }
    for (const XlsxCell& c : sheet.cells) {
        const lxw_row_t row = lxw_row_t(c.row);
        const lxw_col_t col = lxw_col_t(c.col);
        lxw_format* fmt = w.numberFormat(c.numFmtId, c.numFmtCode);
        const QByteArray formula = c.formula.toUtf8();
        const double number = c.value.toDouble();
        lxw_error e = LXW_NO_ERROR;
        Area a{};
        if (!c.arrayRef.isEmpty() && parseRange(c.arrayRef, a.c1, a.r1, a.c2, a.r2)) {
            const QByteArray f = "{=" + formula + "}";
            e = worksheet_write_array_formula_num(ws, lxw_row_t(a.r1), lxw_col_t(a.c1), lxw_row_t(a.r2), lxw_col_t(a.c2),
                                                  f.constData(), fmt, number);
        } else if (std::any_of(arrays.begin(), arrays.end(), [&](const Area& x) {
                       return c.col >= x.c1 && c.col <= x.c2 && c.row >= x.r1 && c.row <= x.r2;
                   })) {
            continue; // a value the array formula of its range gives
        } else if (!c.formula.isEmpty()) {
            if (c.kind == XlsxCell::Number || c.kind == XlsxCell::Boolean)
                e = worksheet_write_formula_num(ws, row, col, formula.constData(), fmt, number);
            else
                e = worksheet_write_formula_str(ws, row, col, formula.constData(), fmt, xlsxText(c.value).toUtf8().constData());
        } else {
            switch (c.kind) {
            case XlsxCell::Text:
                e = worksheet_write_string(ws, row, col, xlsxText(c.value).toUtf8().constData(), fmt);
                break;
            case XlsxCell::Number:
                e = worksheet_write_number(ws, row, col, number, fmt);
                break;
            case XlsxCell::Boolean:
                e = worksheet_write_boolean(ws, row, col, XlsxDisplayText(c, false) == QLatin1String("TRUE"), fmt);
                break;
            case XlsxCell::Error:
                e = worksheet_write_formula(ws, row, col, c.value.toUtf8().constData(), fmt);
                break;
            }
        }
        w.check(e, sheet.name, c.col, c.row);
    }
    if (sheet.hidden)
        worksheet_hide(ws);
}

void checkSheetName(const QString& name)
{
    if (name.size() > 31)
        throw platform::EExtGridError(QStringLiteral("Invalid worksheet name %1: a worksheet name has at most 31 characters").arg(name));
}

} // namespace

QString XlsxExportTempRoot()
{
    return QDir::tempPath() + QStringLiteral("/varnetor-xlsx-") + QString::number(::getuid());
}

void SaveToXLS(TExtStringGridPaint& grid, const QString& fileName)
{
    XlsxWriter w(fileName);
    const GridCells cells = gridCells(grid, fileName, QString());
    writeGrid(w, w.addSheet(QString()), QString(), cells);
    w.finish();
}

void SaveToXLSSheet(TExtStringGridPaint& grid, const QString& fileName, const QString& sheetName)
{
    checkSheetName(sheetName);
    // An existing workbook keeps its other sheets: they are read and written again with this
    // one. What cannot be written again makes the save refuse, leaving the file as it was.
    std::optional<XlsxBook> book;
    if (QFileInfo::exists(fileName)) {
        const QByteArray bytes = readWorkbook(fileName);
        if (!bytes.isEmpty()) {
            if (!LooksLikeZip(bytes))
                throw platform::EExtGridError(QStringLiteral("Cannot Create file %1: it exists and is no .xlsx workbook; "
                                                             "replacing it would lose its content")
                                                  .arg(fileName));
            try {
                book = ReadXlsx(bytes);
            } catch (const platform::EExtGridError& e) {
                throw platform::EExtGridError(QStringLiteral("Cannot Create file %1: its sheets cannot be kept (%2)")
                                                  .arg(fileName, e.message()));
            }
            if (!book->unkept.isEmpty())
                throw platform::EExtGridError(QStringLiteral("Cannot Create file %1: the workbook holds what this program "
                                                             "cannot write again (%2); it was left as it was")
                                                  .arg(fileName, book->unkept.join(QStringLiteral(", "))));
        }
    }
    XlsxWriter w(fileName);
    const GridCells cells = gridCells(grid, fileName, sheetName);
    bool written = false;
    if (book) {
        for (size_t i = 0; i < book->sheets.size(); ++i) {
            const XlsxSheet& s = book->sheets[i];
            lxw_worksheet* ws = w.addSheet(s.name);
            if (!written && s.name.compare(sheetName, Qt::CaseInsensitive) == 0) {
                writeGrid(w, ws, s.name, cells);
                written = true;
            } else {
                writeKept(w, ws, s);
            }
            if (int(i) == book->activeSheet && !s.hidden)
                worksheet_activate(ws);
        }
    }
    if (!written)
        writeGrid(w, w.addSheet(sheetName), sheetName, cells);
    w.finish();
}

// --- RTF document ----------------------------------------------------------------------------

namespace {

QString rtfText(const QString& s)
{
    // Line breaks of every kind (CR LF, LF, a lone CR) are \line; control characters and
    // everything past ASCII go as \uN with "?" for readers without Unicode.
    QString r;
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        const char16_t u = c.unicode();
        if (u == '\\' || u == '{' || u == '}')
            r += u'\\', r += c;
        else if (u == '\r' && i + 1 < s.size() && s[i + 1] == u'\n')
            continue;
        else if (u == '\n' || u == '\r')
            r += QLatin1String("\\line ");
        else if (u == '\t')
            r += QLatin1String("\\tab ");
        else if (u >= 0x20 && u < 0x7F)
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
    QString error;
    if (!platform::writeWholeFile(fileName, GridToRTFTable(g, caption).toLatin1(), &error))
        throw platform::EExtGridError(QStringLiteral("Cannot Create file %1: %2").arg(fileName, error));
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
    if (!platform::writeWholeFile(fileName, doc.toLatin1(), &error))
        throw platform::EExtGridError(QStringLiteral("Cannot Create file %1: %2").arg(fileName, error));
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
    // mdbtools follows the file's page numbers and lengths without checking them: a damaged
    // database crashes it. So it reads in a child process and sends the field names, then the
    // rows; the grid changes only once everything has come.
    const QByteArray name = QFile::encodeName(fileName);
    const QByteArray text = sql.toUtf8();
    const IsolatedResult read = RunIsolated([&](IsolatedSink& sink) {
        MdbSQL* q = mdb_sql_init();
        QByteArray path = name;
        if (!mdb_sql_open(q, path.data()))
            return sink.fail(QStringLiteral("Cannot open the database %1").arg(fileName));
        mdb_sql_run_query(q, text.constData());
        if (mdb_sql_has_error(q))
            return sink.fail(QString::fromUtf8(mdb_sql_last_error(q)));
        if (!q->cur_table)
            return sink.fail(QStringLiteral("The query gives no table"));
        const int n = int(q->num_columns);
        QStringList names;
        for (int i = 0; i < n; ++i)
            names << QString::fromUtf8(static_cast<MdbSQLColumn*>(g_ptr_array_index(q->columns, i))->name);
        sink.send(names);
        while (mdb_sql_fetch_row(q, q->cur_table)) {
            QStringList values;
            for (int i = 0; i < n; ++i) {
                const char* value = static_cast<const char*>(g_ptr_array_index(q->bound_values, i));
                values << (value ? QString::fromUtf8(value) : QString());
            }
            sink.send(values);
        }
    });
    if (read.outcome == IsolatedResult::ReaderError)
        throw platform::Exception(read.message);
    if (read.outcome != IsolatedResult::Done || read.lists.empty())
        throw platform::Exception(QStringLiteral("Incorrect database file %1: %2").arg(fileName, read.message));
    const QStringList& names = read.lists.front();
    const int n = int(names.size());
    g.SetColCount(n + g.FixedCols());
    if (g.FixedRows() > 0)
        for (int i = 0; i < n; ++i)
            g.LoadCell(g.FixedCols() + i, g.FixedRows() - 1, names[i]);
    const int records = int(read.lists.size()) - 1;
    if (records > 0)
        g.SetRowCount(g.FixedRows() + records);
    else if (g.RowCount() <= g.FixedRows())
        g.SetRowCount(g.FixedRows() + 1);
    for (int r = 0; r < records; ++r) {
        const QStringList& values = read.lists[size_t(r) + 1];
        for (int i = 0; i < n && i < values.size(); ++i)
            g.LoadCell(g.FixedCols() + i, g.FixedRows() + r, values[i]);
    }
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
