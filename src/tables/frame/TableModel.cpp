#include "tables/frame/TableModel.h"

#include "platform/fs/Files.h"
#include "platform/text/Text.h"
#include "platform/xml/XmlDom.h"
#include "workspace/Workspace.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace tables {

QString TableDescription::versionComment(int converterType) const
{
    for (const auto& [type, text] : comments)
        if (type == converterType)
            return text;
    return otherComment;
}

// --- model -----------------------------------------------------------------------------------

RowCells TableModel::freshRow(const SectionDescription& section)
{
    RowCells cells;
    cells.reserve(qsizetype(section.columns.size()));
    for (const ColumnDescription& c : section.columns)
        cells.push_back(c.fresh);
    return cells;
}

TableModel TableModel::fresh(const TableDescription& desc, int capacity)
{
    TableModel m;
    m.sections.reserve(desc.sections.size());
    for (const SectionDescription& s : desc.sections)
        m.sections.emplace_back(size_t(std::max(capacity, 0)), freshRow(s));
    return m;
}

QString TableModel::cell(int section, int row, int col) const
{
    if (section < 0 || size_t(section) >= sections.size())
        return {};
    const auto& rows = sections[size_t(section)];
    if (row < 1 || size_t(row) > rows.size())
        return {};
    const RowCells& cells = rows[size_t(row - 1)];
    if (col < 1 || col > cells.size())
        return {};
    return cells[col - 1];
}

void TableModel::setCell(int section, int row, int col, const QString& text)
{
    if (section < 0 || size_t(section) >= sections.size())
        return;
    auto& rows = sections[size_t(section)];
    if (row < 1 || size_t(row) > rows.size())
        return;
    RowCells& cells = rows[size_t(row - 1)];
    if (col < 1 || col > cells.size())
        return;
    cells[col - 1] = text;
}

// --- load ------------------------------------------------------------------------------------

namespace {

QString sectionName(const SectionDescription& s, const TableDescription& desc)
{
    return s.element.isEmpty() ? desc.root : s.element;
}

// The line of a parse error from the parser's "... at offset N" (1 when it names none).
int errorLine(const QByteArray& bytes, const QString& why)
{
    static const QRegularExpression re(QStringLiteral("at offset (\\d+)$"));
    const QRegularExpressionMatch m = re.match(why);
    if (!m.hasMatch())
        return 1;
    const qsizetype offset = std::min<qsizetype>(m.captured(1).toLongLong(), bytes.size());
    return int(std::count(bytes.constBegin(), bytes.constBegin() + offset, '\n')) + 1;
}

QString extraRowsWarning(const QString& name, int extra)
{
    if (extra <= 0)
        return {};
    return QStringLiteral("Warning! The file %1 holds %2 rows more than the table shows; they are not "
                          "shown and OK would not save them.")
        .arg(name)
        .arg(extra);
}

} // namespace

LoadResult loadTable(const TableDescription& desc, const QString& path, int capacity)
{
    const QString name = QFileInfo(path).fileName();
    if (!platform::fileExists(path)) {
        LoadResult r;
        r.model = TableModel::fresh(desc, capacity);
        r.notShown.assign(desc.sections.size(), 0);
        r.rowsRead.assign(desc.sections.size(), 0);
        return r;
    }
    QString why;
    const std::optional<QByteArray> bytes = platform::readWholeFile(path, &why);
    if (!bytes) {
        LoadResult r;
        r.exists = true;
        r.model = TableModel::fresh(desc, capacity);
        r.notShown.assign(desc.sections.size(), 0);
        r.rowsRead.assign(desc.sections.size(), 0);
        r.error = QStringLiteral("Error! The file %1 cannot be read: %2.").arg(name, why);
        return r;
    }
    return loadTableBytes(desc, *bytes, name, capacity);
}

LoadResult loadTableBytes(const TableDescription& desc, const QByteArray& bytes, const QString& name, int capacity)
{
    LoadResult r;
    r.exists = true;
    r.model = TableModel::fresh(desc, capacity);
    r.notShown.assign(desc.sections.size(), 0);
    r.rowsRead.assign(desc.sections.size(), 0);

    platform::XmlDocument doc;
    QString why;
    if (!doc.loadBytes(bytes, &why)) {
        r.error = QStringLiteral("Error! The file %1 cannot be read (line %2): %3.")
                      .arg(name)
                      .arg(errorLine(bytes, why))
                      .arg(why);
        return r;
    }
    // The root is the first element: a declaration or a remark before it is passed over.
    const platform::XmlNode root = doc.rootElement();
    if (!root || root.name() != desc.root) {
        r.error = QStringLiteral("Error! The file %1 does not hold the table %2.").arg(name, desc.root);
        return r;
    }

    int extra = 0;
    for (size_t s = 0; s < desc.sections.size(); ++s) {
        const SectionDescription& sec = desc.sections[s];
        platform::XmlNode node = root;
        if (!sec.element.isEmpty()) {
            node = root.element(sec.element);
            if (!node) {
                if (r.error.isEmpty())
                    r.error = QStringLiteral("Error! The file %1 has no section %2.").arg(name, sec.element);
                continue;
            }
        }
        const int n = node.elementCount();
        auto& rows = r.model.sections[s];
        const int shown = std::min(n, int(rows.size()));
        r.notShown[s] = n - shown;
        extra += n - shown;
        // One walk over the section's elements (indexing each row would walk them again).
        platform::XmlNode e = node.elementAt(0);
        for (int i = 0; i < shown; ++i, e = e.nextSibling()) {
            while (!e.isElement())
                e = e.nextSibling();
            RowCells& cells = rows[size_t(i)];
            for (size_t c = 0; c < sec.columns.size(); ++c) {
                const ColumnDescription& col = sec.columns[c];
                if (std::optional<QString> v = e.attribute(col.attribute)) {
                    cells[qsizetype(c)] = *v;
                } else if (col.absent) {
                    cells[qsizetype(c)] = *col.absent;
                } else {
                    // Stop here: this row and the ones after it stay fresh.
                    cells = TableModel::freshRow(sec);
                    r.error = QStringLiteral("Error! The file %1: row %2 of %3 lacks the attribute %4; the rows "
                                             "from there on were not loaded.")
                                  .arg(name)
                                  .arg(i + 1)
                                  .arg(sectionName(sec, desc), col.attribute);
                    r.notShown[s] = 0;
                    return r;
                }
            }
            r.rowsRead[s] = i + 1;
        }
    }
    r.warning = extraRowsWarning(name, extra);
    return r;
}

LoadResult loadedRows(const TableDescription& desc, const std::vector<std::vector<RowCells>>& rows,
                      const QString& fileName, int capacity, bool exists, const QString& error)
{
    LoadResult r;
    r.exists = exists;
    r.error = error;
    r.model = TableModel::fresh(desc, capacity);
    r.notShown.assign(desc.sections.size(), 0);
    r.rowsRead.assign(desc.sections.size(), 0);
    int extra = 0;
    for (size_t s = 0; s < desc.sections.size() && s < rows.size(); ++s) {
        auto& model = r.model.sections[s];
        const int shown = std::min(int(rows[s].size()), int(model.size()));
        for (int i = 0; i < shown; ++i) {
            RowCells& cells = model[size_t(i)];
            const RowCells& from = rows[s][size_t(i)];
            for (qsizetype c = 0; c < cells.size() && c < from.size(); ++c)
                cells[c] = from[c];
        }
        r.notShown[s] = int(rows[s].size()) - shown;
        r.rowsRead[s] = shown;
        extra += r.notShown[s];
    }
    r.warning = extraRowsWarning(fileName, extra);
    return r;
}

// --- check -----------------------------------------------------------------------------------

QString RowView::trimmed(int col) const { return platform::trim(cell(col)); }
QString RowView::upper(int col) const { return platform::upperAscii(trimmed(col)); }
int RowView::number(int col, int def) const { return platform::toIntDef(cell(col), def); }

QString failureMessage(const Failure& f, int row)
{
    QString m;
    if (f.prefixText >= 0)
        m = workspace::text(f.prefixText) + QString::number(row);
    return m + workspace::text(f.messageText) + f.bound;
}

bool keyEmpty(const TableDescription& desc, const TableModel& model, int section, int row)
{
    const SectionDescription& sec = desc.sections[size_t(section)];
    if (sec.keyColumn <= 0)
        return false;
    const QString key = model.cell(section, row, sec.keyColumn);
    return sec.keyTrimmed ? platform::trim(key).isEmpty() : key.isEmpty();
}

std::vector<int> usedRows(const TableDescription& desc, const TableModel& model, int section)
{
    std::vector<int> rows;
    const int n = model.rowCount(section);
    for (int r = 1; r <= n; ++r) {
        if (keyEmpty(desc, model, section, r)) {
            if (desc.skipEmptyKeys)
                continue;
            break;
        }
        rows.push_back(r);
    }
    return rows;
}

CheckResult Controllo_dati(const TableDescription& desc, const TableModel& model, const RowCheck& rowCheck,
                           const TableCheck& tableCheck)
{
    std::vector<int> checked(desc.sections.size(), 0);
    for (size_t s = 0; s < desc.sections.size(); ++s) {
        const SectionDescription& sec = desc.sections[s];
        for (int r : usedRows(desc, model, int(s))) {
            if (sec.enableColumn > 0 &&
                platform::upperAscii(platform::trim(model.cell(int(s), r, sec.enableColumn))) != QLatin1String("Y"))
                continue;
            ++checked[s];
            if (!rowCheck)
                continue;
            if (const std::optional<Failure> f = rowCheck(RowView(desc, model, int(s), r)))
                return CheckResult{false, failureMessage(*f, r), int(s), r};
        }
    }
    if (tableCheck)
        if (const std::optional<Failure> f = tableCheck(checked))
            return CheckResult{false, failureMessage(*f, 0), -1, 0};
    return {};
}

bool rowInUse(const SectionDescription& section, const RowCells& cells)
{
    for (size_t c = 0; c < section.columns.size() && qsizetype(c) < cells.size(); ++c) {
        const ColumnDescription& column = section.columns[c];
        const QString text = platform::trim(cells[qsizetype(c)]);
        if (column.editor != Editor::DataCheckBox && !text.isEmpty() && text != platform::trim(column.fresh))
            return true;
    }
    return false;
}

std::optional<RowRef> firstKeylessRow(const TableDescription& desc, const TableModel& model)
{
    for (size_t s = 0; s < desc.sections.size(); ++s) {
        const int n = model.rowCount(int(s));
        for (int r = 1; r <= n; ++r) {
            if (!keyEmpty(desc, model, int(s), r))
                continue;
            if (rowInUse(desc.sections[s], model.sections[s][size_t(r - 1)]))
                return RowRef{int(s), r};
            if (!desc.skipEmptyKeys)
                break; // the rows below are firstDroppedRow's
        }
    }
    return std::nullopt;
}

std::optional<RowRef> firstDroppedRow(const TableDescription& desc, const TableModel& model)
{
    if (desc.skipEmptyKeys)
        return std::nullopt;
    for (size_t s = 0; s < desc.sections.size(); ++s) {
        const int n = model.rowCount(int(s));
        int r = 1;
        while (r <= n && !keyEmpty(desc, model, int(s), r))
            ++r;
        for (++r; r <= n; ++r)
            if (rowInUse(desc.sections[s], model.sections[s][size_t(r - 1)]))
                return RowRef{int(s), r};
    }
    return std::nullopt;
}

// --- save ------------------------------------------------------------------------------------

QByteArray tableXml(const TableDescription& desc, const TableModel& model, int converterType)
{
    platform::XmlDocument doc;
    platform::XmlNode root = doc.appendElement(desc.root);
    const QString comment = desc.versionComment(converterType);
    if (!comment.isEmpty())
        doc.appendComment(comment);
    for (const QString& empty : desc.emptySections)
        root.appendElement(empty);
    for (size_t s = 0; s < desc.sections.size(); ++s) {
        const SectionDescription& sec = desc.sections[s];
        platform::XmlNode node = sec.element.isEmpty() ? root : root.appendElement(sec.element);
        for (int r : usedRows(desc, model, int(s))) {
            platform::XmlNode e = node.appendElement(desc.rowElement);
            for (size_t c = 0; c < sec.columns.size(); ++c)
                e.setAttribute(sec.columns[c].attribute, model.cell(int(s), r, int(c) + 1));
        }
    }
    platform::XmlSaveOptions options;
    options.indent = QStringLiteral("  ");
    return doc.toBytes(options);
}

bool saveTable(const TableDescription& desc, const TableModel& model, const QString& path, int converterType,
               QString* error)
{
    QString why;
    if (path.isEmpty())
        why = QStringLiteral("no project is open");
    else if (platform::writeWholeFile(path, tableXml(desc, model, converterType), &why))
        return true;
    if (error)
        *error = QStringLiteral("Error! The file %1 cannot be written: %2").arg(QFileInfo(path).fileName(), why);
    return false;
}

} // namespace tables
