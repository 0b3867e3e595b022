// Sorting the rows of the string grid: the comparison of two cells by the column's sort style,
// ties broken by further columns or by the sort index list, and the sorts themselves.
//
// A sort never exchanges rows one pair at a time. It reads each row's cell of the sort column
// once (text, number, date ... as the comparison asks for them), orders the row numbers with a
// stable merge sort, then applies the order to the grid in one permutation of whole rows
// (PermuteRows: cell-store references, heights, flags, controls). Until that last step nothing
// in the grid has changed, so a comparison event that raises leaves the grid exactly as it was.
#include "controls/grid/core/ExtStringGrid.h"

#include "controls/grid/util/ExtUtil.h"
#include "controls/grid/util/FilterExpression.h"
#include "platform/core/Conversions.h"
#include "platform/core/DateTime.h"
#include "platform/core/Errors.h"
#include "platform/core/FormatSettings.h"
#include "platform/text/Text.h"

#include <QElapsedTimer>
#include <algorithm>
#include <memory>

namespace controls::grid {

namespace {

int signOf(double a, double b) { return a > b ? 1 : (a < b ? -1 : 0); }
int signOf(int v) { return v > 0 ? 1 : (v < 0 ? -1 : 0); }

bool isNumberKind(int kind) { return kind == 0 || kind == 1 || kind == 5; }

// A stable merge sort of the positions 0 .. n - 1 by before(a, b) (a strictly before b). Every
// loop is bounded by its indexes, so a comparison that contradicts itself cannot run it off its
// ends.
template <typename Before>
std::vector<int> stableOrder(int n, Before before)
{
    std::vector<int> order(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        order[size_t(i)] = i;
    constexpr int kRun = 16;
    for (int lo = 0; lo < n; lo += kRun) {
        const int hi = std::min(n, lo + kRun);
        for (int i = lo + 1; i < hi; ++i) {
            const int x = order[size_t(i)];
            int j = i;
            while (j > lo && before(x, order[size_t(j - 1)])) {
                order[size_t(j)] = order[size_t(j - 1)];
                --j;
            }
            order[size_t(j)] = x;
        }
    }
    std::vector<int> buffer(static_cast<size_t>(n));
    for (int width = kRun; width < n; width *= 2) {
        for (int lo = 0; lo < n; lo += 2 * width) {
            const int mid = std::min(n, lo + width), hi = std::min(n, lo + 2 * width);
            int i = lo, j = mid, k = lo;
            if (mid >= hi || !before(order[size_t(mid)], order[size_t(mid - 1)])) {
                std::copy(order.begin() + lo, order.begin() + hi, buffer.begin() + lo);
                continue;
            }
            while (i < mid && j < hi)
                buffer[size_t(k++)] = before(order[size_t(j)], order[size_t(i)]) ? order[size_t(j++)] : order[size_t(i++)];
            while (i < mid)
                buffer[size_t(k++)] = order[size_t(i++)];
            while (j < hi)
                buffer[size_t(k++)] = order[size_t(j++)];
        }
        order.swap(buffer);
    }
    return order;
}

// One column's cells as a sort reads them: each value is worked out the first time a
// comparison asks for it and kept for the rest of the sort. Rows first .. last are kept in a
// table; a single comparison keeps its two rows.
class SortColumn {
public:
    SortColumn(TExtStringGrid& grid, int col, int first, int last, bool prefetch) : m_grid(grid), m_col(col)
    {
        const TSortSettings& s = grid.SortSettings;
        int style = s.AutoFormat ? ssAutomatic : (s.IgnoreCase ? ssAlphaNoCase : ssAlphabetic);
        grid.GetColFormat(col, style, m_prefix, m_suffix);
        m_style = style;
        m_virtual = s.SortOnVirtualCells;
        m_ignoreCase = s.IgnoreCase;
        m_first = first;
        if (last >= first) {
            m_entries.resize(size_t(last - first + 1));
            if (prefetch)
                readTexts(first, last);
        }
    }

    // When one kind of key decides every comparison of rows first .. last (a number column, a
    // text column without numbers, dates or times), the keys of the rows: numbers, or texts with
    // their first eight units packed in two numbers for quick comparison; and which are blank. Such
    // a comparison gives exactly what compare() gives, without its questions per pair.
    struct Keys {
        enum Kind { None, Number, Text } kind = None;
        std::vector<double> numbers;
        std::vector<const QString*> texts;
        std::vector<std::pair<quint64, quint64>> prefixes;
        std::vector<char> blanks;
    };
    Keys uniformKeys(int first, int last)
    {
        Keys k;
        const int n = last - first + 1;
        if (m_entries.empty() || n <= 0)
            return k;
        int style = m_style;
        bool upperKeys = false;
        if (style == ssAutomatic || style == ssAlphaNumeric || style == ssAlphaNumericNoCase) {
            bool allNumbers = true, noNumbers = true, noDates = true;
            for (int r = first; r <= last; ++r) {
                Entry& e = entry(r);
                if (style == ssAutomatic) {
                    const TCellType t = m_grid.GetCellType(m_col, r);
                    if (t == ctCheckBox || t == ctDataCheckBox || t == ctVirtCheckBox || t == ctRowCheckBox)
                        return k;
                }
                if (!(e.flags & HaveKind))
                    kindOf(r, e);
                const bool number = isNumberKind(e.kind);
                allNumbers = allNumbers && number;
                noNumbers = noNumbers && !number;
                noDates = noDates && e.autoKind == akNone;
            }
            if (allNumbers)
                style = ssNumeric;
            else if (noNumbers && (noDates || style != ssAutomatic))
                style = style == ssAlphaNumeric ? ssAlphabetic
                        : style == ssAlphaNumericNoCase ? ssAlphaNoCase
                        : (m_ignoreCase ? ssAlphaNoCase : ssAlphabetic);
            else
                return k;
        }
        k.blanks.resize(size_t(n));
        if (style == ssNumeric || style == ssFinancial) {
            k.kind = Keys::Number;
            k.numbers.resize(size_t(n));
            for (int i = 0; i < n; ++i) {
                Entry& e = entry(first + i);
                number(first + i, e, style == ssFinancial);
                k.numbers[size_t(i)] = e.number;
                k.blanks[size_t(i)] = (e.flags & NumBlank) ? 1 : 0;
            }
            return k;
        }
        if (style == ssAlphaNoCase)
            upperKeys = true;
        else if (style != ssAlphabetic && style != ssAlphaCase)
            return k;
        k.kind = Keys::Text;
        k.texts.resize(size_t(n));
        k.prefixes.resize(size_t(n));
        for (int i = 0; i < n; ++i) {
            Entry& e = entry(first + i);
            const QString& t = upperKeys ? upper(first + i, e) : text(first + i, e);
            k.texts[size_t(i)] = &t;
            quint64 p = 0, q = 0;
            for (qsizetype j = 0; j < 4; ++j)
                p = (p << 16) | (j < t.size() ? t[j].unicode() : 0u);
            for (qsizetype j = 4; j < 8; ++j)
                q = (q << 16) | (j < t.size() ? t[j].unicode() : 0u);
            k.prefixes[size_t(i)] = {p, q};
            k.blanks[size_t(i)] = text(first + i, e).isEmpty() ? 1 : 0;
        }
        return k;
    }

    int compare(int row1, TSortDirection direction, int row2)
    {
        Entry& a = entry(row1);
        Entry& b = entry(row2);
        int style = m_style;
        if (style == ssAutomatic)
            style = automaticStyle(row1, a, row2, b);
        if (style == ssAlphaNumeric || style == ssAlphaNumericNoCase) {
            if (isNumberKind(numberKind(row1, a)) && isNumberKind(numberKind(row2, b)))
                style = ssNumeric;
            else
                style = style == ssAlphaNumeric ? ssAlphabetic : ssAlphaNoCase;
        }
        bool blank1 = false, blank2 = false;
        int r = 1;
        switch (style) {
        case ssAlphabetic:
        case ssAlphaCase:
            r = signOf(text(row1, a).compare(text(row2, b)));
            blank1 = text(row1, a).isEmpty();
            blank2 = text(row2, b).isEmpty();
            break;
        case ssAlphaNoCase:
            r = signOf(upper(row1, a).compare(upper(row2, b)));
            blank1 = text(row1, a).isEmpty();
            blank2 = text(row2, b).isEmpty();
            break;
        case ssAnsiAlphaCase:
            r = signOf(platform::AnsiCompareStr(text(row1, a), text(row2, b)));
            blank1 = text(row1, a).isEmpty();
            blank2 = text(row2, b).isEmpty();
            break;
        case ssAnsiAlphaNoCase:
            r = signOf(platform::AnsiCompareText(text(row1, a), text(row2, b)));
            blank1 = text(row1, a).isEmpty();
            blank2 = text(row2, b).isEmpty();
            break;
        case ssNumeric:
        case ssFinancial: {
            number(row1, a, style == ssFinancial);
            number(row2, b, style == ssFinancial);
            r = (a.flags & NumFailed) && (b.flags & NumFailed) ? 0 : signOf(a.number, b.number);
            blank1 = a.flags & NumBlank;
            blank2 = b.flags & NumBlank;
            break;
        }
        case ssDate:
        case ssDateTime:
        case ssShortDateEU:
        case ssShortDateUS:
        case ssTime:
            r = signOf(dateValue(row1, a, style), dateValue(row2, b, style));
            blank1 = text(row1, a).isEmpty();
            blank2 = text(row2, b).isEmpty();
            break;
        case ssCustom: {
            int res = 0;
            if (m_grid.OnCustomCompare)
                m_grid.OnCustomCompare(&m_grid, text(row1, a), text(row2, b), res);
            r = res;
            blank1 = text(row1, a).isEmpty();
            blank2 = text(row2, b).isEmpty();
            break;
        }
        case ssRaw: {
            int res = 0;
            if (m_grid.OnRawCompare)
                m_grid.OnRawCompare(&m_grid, m_col, row1, row2, res);
            r = res;
            blank1 = text(row1, a).isEmpty();
            blank2 = text(row2, b).isEmpty();
            break;
        }
        case ssHTML:
            r = signOf(stripped(row1, a).compare(stripped(row2, b)));
            blank1 = stripped(row1, a).isEmpty();
            blank2 = stripped(row2, b).isEmpty();
            break;
        case ssImages: {
            const int k1 = graphicKey(row1, a), k2 = graphicKey(row2, b);
            r = k1 > k2 ? 1 : (k1 == k2 ? 0 : -1);
            blank1 = text(row1, a).isEmpty();
            blank2 = text(row2, b).isEmpty();
            break;
        }
        case ssCheckBox: {
            const bool c1 = checked(row1, a), c2 = checked(row2, b);
            r = c1 == c2 ? 0 : (c1 ? 1 : -1);
            blank1 = text(row1, a).isEmpty();
            blank2 = text(row2, b).isEmpty();
            break;
        }
        default:
            return 1;
        }
        const TSortSettings& s = m_grid.SortSettings;
        if (s.IgnoreBlanks && blank1 != blank2) {
            const bool first = s.BlankPos == blFirst;
            const int emptyFirst = direction == sdAscending ? (first ? -1 : 1) : (first ? 1 : -1);
            r = blank1 ? emptyFirst : -emptyFirst;
        }
        return r;
    }

private:
    enum Flags : unsigned {
        HaveText = 1, HaveNumber = 2, NumFailed = 4, NumBlank = 8, HaveDate = 16, HaveKind = 32, HaveKey = 64,
        Checked = 128, HaveUpper = 256, HaveStripped = 512, CheckType = 1024
    };
    enum AutoKind : signed char { akNone, akDate, akDateTime, akTime };
    struct Entry {
        QString text;
        double number = 0;
        double date = 0;
        int key = 0;
        unsigned flags = 0;
        signed char kind = 2; // DetectNumberType
        signed char autoKind = akNone;
        bool hasDateSep = false, hasTimeSep = false;
    };

    Entry& entry(int row)
    {
        if (!m_entries.empty() && row >= m_first && row < m_first + int(m_entries.size()))
            return m_entries[size_t(row - m_first)];
        for (int i = 0; i < 2; ++i)
            if (m_spareRow[i] == row)
                return m_spare[i];
        const int i = m_spareNext;
        m_spareNext = 1 - m_spareNext;
        m_spareRow[i] = row;
        m_spare[i] = Entry();
        return m_spare[i];
    }

    // The texts of rows first .. last in one pass over the stored rows, then the display hooks
    // (the same text GetCellEx gives, without a search per row).
    void readTexts(int first, int last)
    {
        const bool direct = m_grid.MergeCount() == 0 && !m_grid.OnGetDisplWideText;
        if (!direct && m_virtual)
            return; // merged cells or wide-text hooks: GetCellEx row by row, on demand
        m_grid.cellStore().forEachRow(first, last + 1, [&](int r, const platform::GridRow& row) {
            if (const QString* t = row.findText(m_col))
                m_entries[size_t(r - first)].text = *t;
            return true;
        });
        for (int r = first; r <= last; ++r) {
            Entry& e = m_entries[size_t(r - first)];
            if (m_virtual && r < m_grid.NormalRowCount())
                m_grid.DisplayTextOf(m_col, r, e.text);
            e.flags |= HaveText;
        }
    }

    const QString& text(int row, Entry& e)
    {
        if (!(e.flags & HaveText)) {
            e.text = m_virtual ? m_grid.GetCellEx(m_col, row) : m_grid.GridCells(m_col, row);
            e.flags |= HaveText;
        }
        return e.text;
    }

    int numberKind(int row, Entry& e)
    {
        if (!(e.flags & HaveKind))
            kindOf(row, e);
        return e.kind;
    }

    void kindOf(int row, Entry& e)
    {
        const QString& t = text(row, e);
        e.kind = static_cast<signed char>(DetectNumberType(t));
        e.hasDateSep = t.contains(GetDateSeparator());
        e.hasTimeSep = t.contains(GetTimeSeparator());
        e.autoKind = akNone;
        // A separator at the second or third place with a digit on each side.
        auto placed = [&](QChar sep, int& p) {
            p = int(t.indexOf(sep)) + 1;
            return p > 1 && p < t.size() && p < 4;
        };
        auto digitsAround = [&](int p) { return IsDigitChar(t[p - 2]) && IsDigitChar(t[p]); };
        int p = 0;
        if (placed(GetDateSeparator(), p)) {
            if (digitsAround(p))
                e.autoKind = e.hasTimeSep ? akDateTime : akDate;
        } else if (placed(GetTimeSeparator(), p) && digitsAround(p)) {
            e.autoKind = akTime;
        }
        e.flags |= HaveKind;
    }

    int automaticStyle(int row1, Entry& a, int row2, Entry& b)
    {
        if (!(a.flags & HaveKey)) {
            const TCellType t = m_grid.GetCellType(m_col, row1);
            if (t == ctCheckBox || t == ctDataCheckBox || t == ctVirtCheckBox || t == ctRowCheckBox)
                a.flags |= CheckType;
        }
        if (a.flags & CheckType)
            return ssCheckBox;
        if (!(a.flags & HaveKind))
            kindOf(row1, a);
        if (isNumberKind(a.kind))
            return ssNumeric;
        const int base = m_ignoreCase ? ssAlphaNoCase : ssAlphabetic;
        if (a.autoKind == akNone)
            return base;
        if (!(b.flags & HaveKind))
            kindOf(row2, b);
        if (a.autoKind == akTime)
            return b.hasTimeSep ? ssTime : base;
        if (!b.hasDateSep)
            return base;
        return a.autoKind == akDateTime ? ssDateTime : ssDate;
    }

    void number(int row, Entry& e, bool financial)
    {
        if (e.flags & HaveNumber)
            return;
        QString t = text(row, e);
        if (!m_suffix.isEmpty())
            if (const qsizetype p = t.indexOf(m_suffix); p >= 0)
                t.remove(p, m_suffix.size());
        if (!m_prefix.isEmpty())
            if (const qsizetype p = t.indexOf(m_prefix); p >= 0)
                t.remove(p, m_prefix.size());
        if (financial)
            t.remove(GetThousandSeparator());
        if (const QChar dec = GetDecimalSeparator(); dec != u'.')
            if (const qsizetype p = t.indexOf(dec); p >= 0)
                t[p] = u'.';
        double v = 0;
        if (TryDecimalLiteral(t, v)) {
            e.number = v;
        } else {
            e.number = 0;
            const QString shown = m_virtual ? text(row, e) : m_grid.GetCellEx(m_col, row);
            if (!shown.isEmpty())
                e.flags |= NumFailed;
        }
        if (t.isEmpty())
            e.flags |= NumBlank;
        e.flags |= HaveNumber;
    }

    double dateValue(int row, Entry& e, int style)
    {
        if (e.flags & HaveDate)
            return e.date;
        const QString& t = text(row, e);
        const platform::TFormatSettings& fs = platform::FormatSettings();
        double v = 0;
        switch (style) {
        case ssShortDateEU:
        case ssShortDateUS:
            try {
                v = style == ssShortDateEU ? ParseDMYDate(t) : ParseMDYDate(t);
            } catch (const platform::EConvertError&) {
                v = 0;
            }
            break;
        case ssTime:
            if (!platform::TryStrToTime(t, v, fs))
                v = 0;
            break;
        default:
            if (t.isEmpty() || !platform::TryStrToDateTime(t, v, fs))
                v = 0;
            break;
        }
        e.date = v;
        e.flags |= HaveDate;
        return v;
    }

    const QString& upper(int row, Entry& e)
    {
        // Kept in its own table: only case-free columns pay for it.
        std::vector<QString>& table = m_upper;
        QString& slot = slotFor(table, row, e);
        if (!(e.flags & HaveUpper)) {
            slot = platform::upperAscii(text(row, e));
            e.flags |= HaveUpper;
        }
        return slot;
    }

    const QString& stripped(int row, Entry& e)
    {
        QString& slot = slotFor(m_stripped, row, e);
        if (!(e.flags & HaveStripped)) {
            slot = m_grid.StrippedCells(m_col, row);
            e.flags |= HaveStripped;
        }
        return slot;
    }

    QString& slotFor(std::vector<QString>& table, int row, Entry& e)
    {
        if (!m_entries.empty() && &e >= m_entries.data() && &e < m_entries.data() + m_entries.size()) {
            if (table.empty())
                table.resize(m_entries.size());
            return table[size_t(row - m_first)];
        }
        if (table.size() < m_entries.size() + 2)
            table.resize(m_entries.size() + 2);
        return table[m_entries.size() + size_t(&e == &m_spare[0] ? 0 : 1)];
    }

    int graphicKey(int row, Entry& e)
    {
        if (!(e.flags & HaveKey)) {
            e.key = m_grid.GetCellGraphicKey(m_col, row);
            e.flags |= HaveKey;
        }
        return e.key;
    }

    bool checked(int row, Entry& e)
    {
        if (!(e.flags & HaveKey)) {
            bool state = false;
            if (m_grid.GetCheckBoxState(m_col, m_grid.RealRowIndex(row), state) && state)
                e.flags |= Checked;
            e.flags |= HaveKey;
        }
        return e.flags & Checked;
    }

    TExtStringGrid& m_grid;
    int m_col;
    int m_style = ssAutomatic;
    QString m_prefix, m_suffix;
    bool m_virtual = true;
    bool m_ignoreCase = false;
    int m_first = 0;
    std::vector<Entry> m_entries;
    std::vector<QString> m_upper, m_stripped;
    Entry m_spare[2];
    int m_spareRow[2] = {-1, -1};
    int m_spareNext = 0;
};

} // namespace

// The columns of one sort (or of one comparison), made as the comparisons reach them.
struct TExtStringGrid::TSortFrame {
    TExtStringGrid& grid;
    int first, last;
    std::vector<std::unique_ptr<SortColumn>> columns;

    TSortFrame(TExtStringGrid& g, int f, int l) : grid(g), first(f), last(l) {}

    SortColumn& column(int c)
    {
        if (int(columns.size()) <= c)
            columns.resize(size_t(c) + 1);
        if (!columns[size_t(c)])
            columns[size_t(c)] = std::make_unique<SortColumn>(grid, c, first, last, last >= first);
        return *columns[size_t(c)];
    }

    // A column outside the grid has nothing to compare: its cells are equal.
    bool inGrid(int c) const { return c >= 0 && c < grid.TotalColCount(); }

    int cells(int c, int row1, TSortDirection direction, int row2)
    {
        return inGrid(c) ? column(c).compare(row1, direction, row2) : 0;
    }

    int rows(int col, int row1, int row2)
    {
        // Ties go to the next column while there is one (hidden columns included).
        const int total = grid.TotalColCount();
        if (!inGrid(col))
            return 0;
        for (int c = col;; ++c) {
            const int r = grid.IsIgnoredColumn(c) ? 0 : cells(c, row1, grid.SortSettings.Direction, row2);
            if (r != 0 || !grid.SortSettings.Full || c > total - 2)
                return r;
        }
    }

    int indexed(int index, int row1, int row2)
    {
        const TSortIndexList& list = grid.SortIndexes;
        for (int i = std::max(0, index); i < list.Count(); ++i) {
            const int c = list.GetSortColumns(i);
            const bool descending = !list.GetSortDirections(i);
            const int r = grid.IsIgnoredColumn(c) ? 0 : cells(c, row1, descending ? sdDescending : sdAscending, row2);
            if (r != 0 || !grid.SortSettings.Full)
                return descending ? -r : r;
        }
        return 0;
    }
};

// --- comparisons ------------------------------------------------------------------------------------------

int TExtStringGrid::CompareCells(int col, int row1, TSortDirection direction, int row2)
{
    TSortFrame frame(*this, 0, -1);
    return frame.cells(col, row1, direction, row2);
}

int TExtStringGrid::CompareRows(int col, int row1, int row2)
{
    TSortFrame frame(*this, 0, -1);
    return frame.rows(col, row1, row2);
}

int TExtStringGrid::CompareRowsIndexed(int index, int row1, int row2)
{
    TSortFrame frame(*this, 0, -1);
    return frame.indexed(index, row1, row2);
}

void TExtStringGrid::DisplayTextOf(int col, int row, QString& text) const { GetDisplText(col, row, text); }

// --- sorting -------------------------------------------------------------------------------------------------

void TExtStringGrid::InitSortXRef()
{
    std::vector<int>& x = m_sortRowXRef.RawValues();
    x.resize(size_t(RowCount()));
    for (size_t i = 0; i < x.size(); ++i)
        x[i] = int(i);
}

void TExtStringGrid::applyRowOrder(int first, const std::vector<int>& order)
{
    const int n = int(order.size());
    // Column 0 of fixed columns stays where it is (row numbers) with NormalCellsOnly.
    const bool keepFirstColumn = SortSettings.NormalCellsOnly && FixedCols() > 0;
    std::vector<QString> texts;
    std::vector<void*> objects;
    if (keepFirstColumn) {
        texts.reserve(size_t(n));
        objects.reserve(size_t(n));
        for (int i = 0; i < n; ++i) {
            texts.push_back(cells(0, first + i));
            objects.push_back(this->objects(0, first + i));
        }
    }
    const int sortRow = SortRow >= 0 && !IsHiddenRow(SortRow) ? DisplRowIndex(SortRow) : -1;
    // The cross-reference goes with the moved cells, so that QUnSort can bring them back.
    auto moveXRef = [&] {
        std::vector<int>& x = m_sortRowXRef.RawValues();
        if (int(x.size()) != RowCount())
            return;
        std::vector<int> moved(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i)
            moved[size_t(i)] = x[size_t(first + order[size_t(i)])];
        std::copy(moved.begin(), moved.end(), x.begin() + first);
    };
    if (SortSettings.SingleColumn && SortSettings.Column >= 0) {
        // Only the sort column's cells change places; the rest of each row stays.
        const int c = SortSettings.Column;
        std::vector<QString> columnTexts(static_cast<size_t>(n));
        std::vector<void*> columnObjects(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i) {
            columnTexts[size_t(i)] = cells(c, first + order[size_t(i)]);
            columnObjects[size_t(i)] = this->objects(c, first + order[size_t(i)]);
        }
        for (int i = 0; i < n; ++i) {
            setObjects(c, first + i, columnObjects[size_t(i)]);
            setCells(c, first + i, columnTexts[size_t(i)]);
        }
        moveXRef();
        CellsChanged(QRect(QPoint(0, first), QPoint(ColCount() - 1, first + n - 1)));
        return;
    }
    PermuteRows(first, order);
    if (keepFirstColumn)
        for (int i = 0; i < n; ++i) {
            setObjects(0, first + i, objects[size_t(i)]);
            setCells(0, first + i, texts[size_t(i)]);
        }
    // The cross-reference and the followed row go with their rows.
    moveXRef();
    if (sortRow >= first && sortRow < first + n)
        for (int i = 0; i < n; ++i)
            if (first + order[size_t(i)] == sortRow) {
                SortRow = RealRowIndex(first + i);
                break;
            }
}

void TExtStringGrid::sortRows(int first, int last, bool indexed)
{
    m_sortDir = SortSettings.Direction == sdDescending ? -1 : 1;
    const int column = SortSettings.Column;
    if (last <= first || first < 0 || last >= RowCount() || (!indexed && (column < 0 || column >= TotalColCount())))
        return;
    TSortFrame frame(*this, first, last);
    const int dir = m_sortDir;
    std::vector<int> order;
    if (indexed)
        order = stableOrder(last - first + 1,
                            [&](int a, int b) { return frame.indexed(0, first + a, first + b) < 0; });
    else if (column >= 0 && !IsIgnoredColumn(column) && !OnCustomCompare && !OnRawCompare)
        order = keyOrder(frame, first, last);
    if (!indexed && order.empty())
        order = stableOrder(last - first + 1,
                            [&](int a, int b) { return dir * frame.rows(column, first + a, first + b) < 0; });
    bool moves = false;
    for (size_t i = 0; i < order.size() && !moves; ++i)
        moves = order[i] != int(i);
    if (moves)
        applyRowOrder(first, order);
}

std::vector<int> TExtStringGrid::keyOrder(TSortFrame& frame, int first, int last)
{
    const int column = SortSettings.Column;
    const SortColumn::Keys keys = frame.column(column).uniformKeys(first, last);
    if (keys.kind == SortColumn::Keys::None)
        return {};
    const int dir = m_sortDir;
    const bool blanks = SortSettings.IgnoreBlanks;
    const bool first_ = SortSettings.BlankPos == blFirst;
    const int emptyFirst = SortSettings.Direction == sdAscending ? (first_ ? -1 : 1) : (first_ ? 1 : -1);
    const bool ties = SortSettings.Full && column <= TotalColCount() - 2;
    auto compare = [&](int a, int b) {
        int r = 0;
        if (blanks && keys.blanks[size_t(a)] != keys.blanks[size_t(b)]) {
            r = keys.blanks[size_t(a)] ? emptyFirst : -emptyFirst;
        } else if (keys.kind == SortColumn::Keys::Number) {
            r = signOf(keys.numbers[size_t(a)], keys.numbers[size_t(b)]);
        } else {
            const auto& pa = keys.prefixes[size_t(a)];
            const auto& pb = keys.prefixes[size_t(b)];
            r = pa < pb ? -1 : pa > pb ? 1 : signOf(keys.texts[size_t(a)]->compare(*keys.texts[size_t(b)]));
        }
        if (r == 0 && ties)
            r = frame.rows(column + 1, first + a, first + b);
        return r;
    };
    return stableOrder(last - first + 1, [&](int a, int b) { return dir * compare(a, b) < 0; });
}

void TExtStringGrid::sortGroups(bool indexed)
{
    const int last = RowCount() - FixedFooters() - 1;
    int deepest = -1;
    for (int r = FixedRows(); r <= last; ++r)
        if (IsNode(r))
            deepest = std::max(deepest, GetNodeLevel(r));
    if (deepest < 0)
        return;
    for (int r = FixedRows(); r <= last; ++r) {
        if (!IsNode(r) || GetNodeState(r) || GetNodeLevel(r) != deepest)
            continue;
        int end = 0;
        if (const int span = GetNodeSpan(r); span > 0) {
            // The span counts real rows: its last shown row is the one before the display row
            // of the first real row after it.
            end = std::min(last, DisplRowIndex(RealRowIndex(r) + span) - 1);
        } else {
            // Up to the next node row.
            end = r;
            while (end + 1 <= last && !IsNode(end + 1))
                ++end;
        }
        if (end - (r + 1) >= 1)
            sortRows(r + 1, end, indexed);
    }
}

namespace {
// Restores what a sort changes around the rows: the current row and the top row.
struct SortRestore {
    TExtStringGrid& grid;
    int top;
    bool keepTop;
    ~SortRestore()
    {
        if (keepTop && top < grid.RowCount())
            grid.SetTopRow(top);
        grid.invalidate();
    }
};

// The framing every sort shares: the cross-reference made to match the rows, the current row
// followed (MoveRowOnSort) or kept at its place, the top row kept when asked, a repaint; the
// top row and the repaint also when the sort raises. Gives the real row that was current.
template <typename Sort>
int framedSort(TExtStringGrid& g, bool keepTop, bool placeCurrent, Sort sort)
{
    if (g.RowCount() != g.SortRowXRef().Count())
        g.InitSortXRef();
    const int realRow = g.RealRow();
    g.SortRow = realRow;
    SortRestore restore{g, g.TopRow(), keepTop};
    sort();
    if (placeCurrent) {
        const int target = g.Navigation.MoveRowOnSort ? g.SortRow : realRow;
        if (!g.IsHiddenRow(target) && g.DisplRowIndex(target) < g.RowCount())
            g.SetRow(g.DisplRowIndex(target));
    }
    return realRow;
}

} // namespace

void TExtStringGrid::QSort()
{
    if (SortSettings.Column < 0)
        return;
    SortIndexes.Clear();
    const int realRow = framedSort(*this, Navigation.KeepScrollOnSort, !MouseActions.DisjunctRowSelect(),
                                   [&] { sortRows(FixedRows(), RowCount() - FixedFooters() - 1, false); });
    if (OnRowChanged && !Navigation.MoveRowOnSort)
        OnRowChanged(this, realRow, Row());
}

void TExtStringGrid::QSortIndexed()
{
    if (SortIndexes.Count() == 0)
        throw platform::EExtGridError(QStringLiteral("No indexes specified for indexed sort"));
    framedSort(*this, Navigation.KeepScrollOnSort, true,
               [&] { sortRows(FixedRows(), RowCount() - FixedFooters() - 1, true); });
}

void TExtStringGrid::QSortGroup()
{
    framedSort(*this, true, true, [&] { sortGroups(false); });
}

void TExtStringGrid::QSortGroupIndexed()
{
    framedSort(*this, true, true, [&] { sortGroups(true); });
}

void TExtStringGrid::QUnSort()
{
    // The rows go back to the ascending order of the indexes they had when the recording
    // began; a recording of another row count (rows came or went since) is no order to return to.
    const std::vector<int> keys = m_sortRowXRef.Values();
    if (int(keys.size()) != RowCount())
        return;
    SortRestore restore{*this, TopRow(), false};
    const std::vector<int> order =
        stableOrder(int(keys.size()), [&](int a, int b) { return keys[size_t(a)] < keys[size_t(b)]; });
    bool moves = false;
    for (size_t i = 0; i < order.size() && !moves; ++i)
        moves = order[i] != int(i);
    const int saved = SortRow;
    SortRow = -1;
    if (moves)
        applyRowOrder(0, order);
    SortRow = saved;
    InitSortXRef();
}

void TExtStringGrid::Sort(int column, TSortDirection direction)
{
    SortSettings.Column = column;
    SortSettings.Direction = direction;
    QSort();
}

void TExtStringGrid::SortByColumn(int col)
{
    if (RowCount() > 1) {
        SortSettings.Column = col;
        QSort();
    }
}

void TExtStringGrid::QuickSort(int col, int left, int right)
{
    const int keep = SortSettings.Column;
    SortSettings.Column = col;
    try {
        sortRows(std::max(0, left), std::min(right, RowCount() - 1), false);
    } catch (...) {
        SortSettings.Column = keep;
        throw;
    }
    SortSettings.Column = keep;
    invalidate();
}

void TExtStringGrid::QuickSortIndexed(int left, int right)
{
    sortRows(std::max(0, left), std::min(right, RowCount() - 1), true);
    invalidate();
}

bool TExtStringGrid::SortLine(int col, int row1, int row2)
{
    const int total = TotalColCount();
    if (col < 0 || row1 < 0 || row2 < 0 || row1 >= RowCount() || row2 >= RowCount())
        return false;
    for (int c = col; c < total; ++c) {
        const int r = CompareCells(c, row1, SortSettings.Direction, row2);
        if (r == 0)
            continue;
        if (r != m_sortDir)
            return false;
        SwapRows(row1, row2);
        std::vector<int>& x = m_sortRowXRef.RawValues();
        if (row1 < int(x.size()) && row2 < int(x.size()))
            std::swap(x[size_t(row1)], x[size_t(row2)]);
        return true;
    }
    return false;
}

// --- sort settings -----------------------------------------------------------------------------------------

void TSortSettings::SetShow(bool on)
{
    Show = on;
    if (m_grid)
        m_grid->invalidate();
}

void TSortSettings::SetRow(int row)
{
    if (m_grid && row >= m_grid->FixedRows())
        throw platform::Exception(QStringLiteral("Sort row should be smaller than number of fixed rows"));
    Row = row;
}

void TSortSettings::repaintHeader()
{
    if (m_grid && m_grid->FixedRows() > 0)
        m_grid->RepaintRow(m_grid->FixedRows() - 1);
}

void TSortSettings::setHeaderColour(Color& field, Color c)
{
    if (c != field) {
        field = c;
        repaintHeader();
    }
}

void TSortSettings::SetHeaderColor(Color c) { setHeaderColour(HeaderColor, c); }
void TSortSettings::SetHeaderColorTo(Color c) { setHeaderColour(HeaderColorTo, c); }
void TSortSettings::SetHeaderMirrorColor(Color c) { setHeaderColour(HeaderMirrorColor, c); }
void TSortSettings::SetHeaderMirrorColorTo(Color c) { setHeaderColour(HeaderMirrorColorTo, c); }

QString TSortSettings::SaveToString() const
{
    if (IndexShow)
        return QStringLiteral("i;") + (m_grid ? m_grid->SortIndexes.SaveToString() : QString());
    return (Direction == sdDescending ? QStringLiteral("d") : QStringLiteral("u")) + QString::number(Column);
}

void TSortSettings::LoadFromString(const QString& value)
{
    if (value.isEmpty())
        return;
    Show = true;
    if (value.size() < 2)
        throw platform::Exception(QStringLiteral("Invalid sort settings specifier"));
    if (!value.contains(QStringLiteral("i;"))) {
        IndexShow = false;
        Direction = value.contains(u'u') ? sdAscending : sdDescending;
        int column = 0;
        if (platform::TryStrToInt(value.mid(1), column)) {
            Column = column;
            if (m_grid)
                m_grid->QSort();
        }
        return;
    }
    IndexShow = true;
    const QString rest = value.mid(2);
    if (!rest.isEmpty() && m_grid) {
        m_grid->SortIndexes.LoadFromString(rest);
        m_grid->QSortIndexed();
    }
}

void TSortSettings::Remove()
{
    Column = -1;
    if (m_grid) {
        m_grid->SortIndexes.Clear();
        repaintHeader();
    }
}

void TSortSettings::Assign(const platform::TPersistent* source)
{
    const auto* s = dynamic_cast<const TSortSettings*>(source);
    if (!s)
        return;
    AutoSortForGrouping = s->AutoSortForGrouping;
    AutoColumnMerge = s->AutoColumnMerge;
    Column = s->Column;
    Show = s->Show;
    IndexShow = s->IndexShow;
    IndexColor = s->IndexColor;
    Full = s->Full;
    SingleColumn = s->SingleColumn;
    IgnoreBlanks = s->IgnoreBlanks;
    BlankPos = s->BlankPos;
    AutoFormat = s->AutoFormat;
    Direction = s->Direction;
    UpGlyph = s->UpGlyph;
    DownGlyph = s->DownGlyph;
    IndexUpGlyph = s->IndexUpGlyph;
    IndexDownGlyph = s->IndexDownGlyph;
    IndexSortKey = s->IndexSortKey;
    InitSortDirection = s->InitSortDirection;
    FixedCols = s->FixedCols;
    NormalCellsOnly = s->NormalCellsOnly;
    Row = s->Row;
    UndoSort = s->UndoSort;
    HeaderColor = s->HeaderColor;
    HeaderColorTo = s->HeaderColorTo;
    HeaderMirrorColor = s->HeaderMirrorColor;
    HeaderMirrorColorTo = s->HeaderMirrorColorTo;
}

} // namespace controls::grid
