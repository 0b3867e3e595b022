#include "controls/grid/io/Clipboard.h"

#include "controls/grid/io/CellStream.h"
#include "controls/grid/io/Html.h"
#include "controls/grid/util/ExtUtil.h"
#include "platform/core/DateTime.h"
#include "platform/core/Format.h"
#include "platform/text/Text.h"

#include <cmath>
#include <optional>

namespace controls::grid::io {

namespace {

bool rowTaken(TExtStringGridEdit& g, int r, bool disjunct)
{
    if (!g.MouseActions.DisjunctRowSelect() || !disjunct || g.MouseActions.DisjunctColSelect())
        return true;
    const int idx = g.MouseActions.RowSelectPersistent ? g.RealRowIndex(r) : r;
    return g.RowSelect(idx);
}

bool colTaken(TExtStringGridEdit& g, int c, bool disjunct)
{
    return !(g.MouseActions.DisjunctColSelect() && !g.ColSelect(c) && disjunct);
}

// A cell's clipboard text. A text that a reader of TAB/line text would take apart (a line
// break, a TAB, a quote at its start) goes in double quotes with its quotes doubled, as
// spreadsheets exchange it; its line breaks as LF (CR LF of a stripped or RTF text as
// character 11 with ExcelClipboardFormat and Multilinecells).
QString cellClipText(TExtStringGridEdit& g, int c, int r)
{
    const int rc = g.RealColIndex(c);
    QString t;
    g.SaveCell(rc, r, t);
    if (t.startsWith(QLatin1String("|\\")))
        t = DecodeWideCellText(t);
    bool converted = true;
    if (!g.Navigation.CopyHTMLTagsToClipboard && t.contains(QLatin1String("</")))
        t = g.StrippedCells(rc, r);
    else if (t.contains(QLatin1String("{\\")))
        t = g.RichToString(g.CellToRich(rc, r));
    else
        converted = false;
    bool quote = false;
    if (converted && g.ExcelClipboardFormat && CountLines(t, g.Multilinecells) > 1) {
        t.replace(QStringLiteral("\r\n"), QString(QChar(11)));
        quote = true;
    }
    if (t.contains(u'\r') || t.contains(u'\n')) {
        t.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
        quote = true;
    }
    if (quote || t.contains(u'\t') || t.startsWith(u'"'))
        t = u'"' + DoubleQuotes(t) + u'"';
    return t;
}

void fireBefore(TExtStringGridEdit& g, int c, int r, QString& v, bool& allow)
{
    if (g.OnClipboardBeforePasteCell)
        g.OnClipboardBeforePasteCell(&g, c, r, v, allow);
}

void fireAfter(TExtStringGridEdit& g, int c, int r, const QString& v)
{
    if (g.OnClipboardAfterPasteCell)
        g.OnClipboardAfterPasteCell(&g, c, r, v);
}

void rangeModified(TExtStringGridEdit& g, QPoint from, const TGridRect& to, int operation)
{
    g.PasteRangeModified(from, to, operation);
}

int usableRows(TExtStringGridEdit& g)
{
    return g.FloatingFooter.Visible && g.FloatingFooter.FooterStyle == fsFixedLastRow ? g.RowCount() - 1
                                                                                       : g.RowCount();
}

bool pasteAllowed(TExtStringGridEdit& g)
{
    return g.options().testFlag(platform::goEditing) || g.Navigation.AllowClipboardAlways
           || g.MouseActions.RangeSelectAndEdit;
}

// Whether every quote of a text is one of a doubled pair.
bool quotesDoubled(QStringView t)
{
    for (qsizetype i = 0; i < t.size(); ++i)
        if (t[i] == u'"') {
            if (i + 1 >= t.size() || t[i + 1] != u'"')
                return false;
            ++i;
        }
    return true;
}

// A field as pasted: a field in double quotes (its inner quotes doubled) is the text between
// them with each doubled quote single; otherwise, for a field holding an LF, a quote at each end
// is dropped (texts of older copies). Character 11 becomes CR LF.
QString pastedField(QString f)
{
    if (f.size() >= 2 && f.startsWith(u'"') && f.endsWith(u'"') && quotesDoubled(QStringView(f).mid(1, f.size() - 2))) {
        f = f.mid(1, f.size() - 2).replace(QStringLiteral("\"\""), QStringLiteral("\""));
    } else if (f.contains(u'\n')) {
        if (f.startsWith(u'"'))
            f.remove(0, 1);
        if (f.endsWith(u'"'))
            f.chop(1);
    }
    VTToCRLF(f);
    return f;
}

// The last field of a line is stored when the line ended with a line break, when it is not
// empty, or when a TAB came before it: a copied row whose last cell is empty empties that cell.
// Only the empty rest after a final line break stores nothing.
bool storeLastField(const TPasteLine& line)
{
    return line.Ended || !line.Fields.last().isEmpty() || line.Fields.size() > 1;
}

// Whether line index starts at the end of the text: the empty rest after a final line break.
bool atTextEnd(const std::vector<TPasteLine>& lines, size_t index)
{
    return index + 1 == lines.size() && lines[index].Text.isEmpty() && !lines[index].Ended;
}

} // namespace

// --- copy ------------------------------------------------------------------------------------

QString RectToText(TExtStringGridEdit& g, const TGridRect& r, bool disjunct)
{
    g.ClipTopLeft = QPoint(r.Left, r.Top);
    g.ExportNotification(esExportStart, -1);
    QString out;
    for (int row = r.Top; row <= r.Bottom; ++row) {
        g.ExportNotification(esExportNewRow, row);
        if (!rowTaken(g, row, disjunct))
            continue;
        for (int c = r.Left; c <= r.Right; ++c) {
            if (!colTaken(g, c, disjunct))
                continue;
            out += cellClipText(g, c, row);
            if (c < r.Right)
                out += u'\t';
        }
        if (r.Top < r.Bottom)
            out += QStringLiteral("\r\n");
    }
    g.ExportNotification(esExportDone, -1);
    return out;
}

QString GetSelectionAsText(TExtStringGridEdit& g)
{
    return RectToText(g, g.Selection(), false);
}

platform::ExchangeData RectToExchangeData(TExtStringGridEdit& g, const TGridRect& r, bool disjunct)
{
    platform::ExchangeData d;
    d.setText(RectToText(g, r, disjunct));
    if (g.Navigation.AllowRTFClipboard) {
        const QString t = g.GetCellEx(r.Left, r.Top);
        if (t.contains(QLatin1String("{\\")))
            d.setBytes(platform::ExchangeFormat::Rtf, t.toUtf8());
    }
    if (g.Navigation.AllowFmtClipboard) {
        QByteArray cells;
        SaveRectToBinStream(g, r, cells);
        d.setBytes(platform::ExchangeFormat::GridCells, cells);
    }
    return d;
}

void CopyRectToClipboard(TExtStringGridEdit& g, const TGridRect& r, bool disjunct)
{
    platform::setClipboardData(RectToExchangeData(g, r, disjunct));
}

void ExtendSelectionToMerged(TExtStringGridEdit& g)
{
    TGridRect s = g.Selection();
    const TGridRect before = s;
    if (g.IsMergedCell(s.Left, s.Top)) {
        const QPoint b = g.BaseCell(s.Left, s.Top);
        s.Left = std::min(s.Left, b.x());
        s.Top = std::min(s.Top, b.y());
    }
    if (g.IsMergedCell(s.Right, s.Bottom)) {
        const QPoint b = g.BaseCell(s.Right, s.Bottom);
        const QPoint span = g.CellSpan(b.x(), b.y());
        s.Right = std::max(s.Right, b.x() + span.x());
        s.Bottom = std::max(s.Bottom, b.y() + span.y());
    }
    if (s.Left != before.Left || s.Top != before.Top || s.Right != before.Right || s.Bottom != before.Bottom)
        g.SetSelection(s);
}

void CopySelectionToClipboard(TExtStringGridEdit& g)
{
    ExtendSelectionToMerged(g);
    if (g.MouseActions.DisjunctRowSelect() && !g.Navigation.AllowFmtClipboard)
        CopyRectToClipboard(g, TGridRect{g.FixedCols(), g.SaveStartRow(), g.ColCount() - g.FixedRightCols() - 1,
                                         g.SaveEndRow()},
                            true);
    else if (g.MouseActions.DisjunctColSelect() && !g.Navigation.AllowFmtClipboard)
        CopyRectToClipboard(g, TGridRect{g.SaveStartCol(), g.SaveStartRow(), g.SaveEndCol(), g.SaveEndRow()}, true);
    else
        CopyRectToClipboard(g, g.Selection(), false);
    g.ClipLastOp = coCopy;
}

void CopyToClipBoard(TExtStringGridEdit& g)
{
    CopyRectToClipboard(g, TGridRect{g.SaveStartCol(), g.SaveStartRow(), g.SaveEndCol(), g.SaveEndRow()}, false);
    g.ClipLastOp = coCopy;
}

void CutToClipboard(TExtStringGridEdit& g)
{
    CopyRectToClipboard(g, TGridRect{g.SaveStartCol(), g.SaveStartRow(), g.SaveEndCol(), g.SaveEndRow()}, false);
    for (int r = g.SaveStartRow(); r <= g.SaveEndRow(); ++r)
        for (int c = g.SaveStartCol(); c <= g.SaveEndCol(); ++c) {
            const int rc = g.RealColIndex(c);
            if (g.IsEditable(rc, r) || g.Navigation.AllowClipboardAlways)
                g.SetCellEx(rc, r, QString());
        }
    if (g.ShowModified.Enabled)
        for (int r = g.SaveStartRow(); r <= g.SaveEndRow(); ++r)
            g.SetRowModified(r, true);
    g.ClipLastOp = coCut;
}

void CutSelectionToClipboard(TExtStringGridEdit& g)
{
    const TGridRect r0 = g.Selection();
    CopySelectionToClipboard(g);
    if (g.MouseActions.DisjunctRowSelect()) {
        for (int r = g.FixedRows(); r < g.RowCount(); ++r) {
            const int idx = g.MouseActions.RowSelectPersistent ? g.RealRowIndex(r) : r;
            if (!g.RowSelect(idx))
                continue;
            g.ClearRows(r, 1);
            if (g.ShowModified.Enabled)
                g.SetRowModified(r, true);
        }
    } else if (g.MouseActions.DisjunctColSelect()) {
        for (int c = g.FixedCols(); c < g.ColCount(); ++c)
            if (g.ColSelect(c))
                g.ClearCols(c, 1);
    } else {
        const TGridRect s = g.Selection();
        TExtGridUndoRedo* undo = g.UndoRedo();
        if (undo)
            undo->StartSequence();
        for (int c = s.Left; c <= s.Right; ++c) {
            const int rc = g.RealColIndex(c);
            for (int r = s.Top; r <= s.Bottom; ++r) {
                if (!g.IsEditable(rc, r) && !g.Navigation.AllowClipboardAlways)
                    continue;
                if (undo)
                    undo->RegisterChange(rc, r, g.Cells(rc, r), QString());
                g.SetCellEx(rc, r, QString());
            }
        }
        if (g.ShowModified.Enabled)
            for (int r = s.Top; r <= s.Bottom; ++r)
                g.SetRowModified(r, true);
        if (undo)
            undo->StopSequence();
        if (g.Navigation.AllowFmtClipboard)
            for (int c = s.Left; c <= s.Right; ++c)
                for (int r = s.Top; r <= s.Bottom; ++r)
                    if (g.GetGridObject(g.RealColIndex(c), r) && !g.IsMergedCell(g.RealColIndex(c), r))
                        g.SetCellProperties(g.RealColIndex(c), r, nullptr);
    }
    g.ClipLastOp = coCut;
    if (g.OnCellsChanged)
        g.OnCellsChanged(&g, QRect(QPoint(r0.Left, r0.Top), QPoint(r0.Right, r0.Bottom)));
    if (g.NumHiddenColumns() > 0)
        g.invalidate();
}

void CopyToClipBoardAsHTML(TExtStringGridEdit& g)
{
    // The clipboard's HTML is the document itself (UTF-8); a reader that wants the fragment
    // header of the "HTML Format" convention finds the same HTML wrapped, its offsets counting
    // UTF-8 bytes. The plain text is the cells' text, never the HTML source or the header.
    platform::ExchangeData d;
    const QString html = SaveToHTMLString(g, QString(), false);
    d.setBytes(platform::ExchangeFormat::Html, html.toUtf8());
    QString wrapped = html;
    WrapCFHTML(wrapped);
    d.setBytes(platform::ExchangeFormat::HtmlFormat, wrapped.toUtf8());
    d.setText(RectToText(g, TGridRect{g.SaveStartCol(), g.SaveStartRow(), g.SaveEndCol(), g.SaveEndRow()}, false));
    platform::setClipboardData(d);
}

// --- paste -----------------------------------------------------------------------------------

std::vector<TPasteLine> SplitPasteLines(const QString& text)
{
    std::vector<TPasteLine> lines;
    TPasteLine cur;
    QString field;
    bool inQuotes = false;
    bool fieldStart = true;
    auto endField = [&]() {
        cur.Fields << field;
        field.clear();
        fieldStart = true;
        inQuotes = false;
    };
    auto endLine = [&](bool ended) {
        endField();
        cur.Ended = ended;
        lines.push_back(std::move(cur));
        cur = TPasteLine();
    };
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        // A CR always ends the line; an LF or a TAB only outside a quoted field.
        if (c == u'\r' || ((c == u'\n' || c == u'\t') && !inQuotes)) {
            if (c == u'\t') {
                cur.Text += c;
                endField();
                continue;
            }
            endLine(true);
            if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n')
                ++i;
            continue;
        }
        cur.Text += c;
        field += c;
        if (c == u'"') {
            if (fieldStart) {
                inQuotes = true;
            } else if (inQuotes) {
                if (i + 1 < n && text[i + 1] == u'"') {
                    cur.Text += text[++i];
                    field += text[i];
                } else {
                    inQuotes = false;
                }
            }
        }
        fieldStart = false;
    }
    // The loop stops after the line that ended at the end of the text: a text ending in a line
    // break has one more, empty line.
    endLine(false);
    return lines;
}

QPoint TextExtent(const QString& text)
{
    int cols = 0, rows = 0;
    for (const TPasteLine& l : SplitPasteLines(text)) {
        cols = std::max(cols, int(l.Fields.size()));
        if (l.Text.isEmpty())
            --rows;
        if (l.Ended)
            ++rows;
    }
    return QPoint(cols, rows);
}

void PasteCell(TExtStringGridEdit& g, int col, int row, const QString& value)
{
    const int rc = g.RealColIndex(col);
    if (TExtGridUndoRedo* undo = g.UndoRedo())
        undo->RegisterChange(col, row, g.Cells(rc, row), value);
    if (g.HasCheckBox(rc, row))
        g.SetCellCheckState(rc, row, value == g.CheckTrue);
    else
        g.SetCellEx(rc, row, value);
    if (rc != col)
        g.RepaintCell(col, row);
}

int PasteText(TExtStringGridEdit& g, int col, int row, int& rows, int& cols, const QString& text, bool pasteAll)
{
    if (col < 0 || row < 0 || !pasteAllowed(g))
        return 0;
    TExtGridUndoRedo* undo = g.UndoRedo();
    if (undo)
        undo->StartSequence();
    rows = 0;
    int maxC = col, maxR = row, count = 0;
    int c = col, r = row;
    const std::vector<TPasteLine> lines = SplitPasteLines(text);
    auto store = [&](int at, QString f) {
        f = pastedField(f);
        if (at >= g.ColCount() && at == g.ColCount() && g.Navigation.AllowClipboardColGrow)
            g.SetColCount(at + 1);
        if (at >= g.ColCount() || r >= usableRows(g))
            return;
        if (!g.IsEditable(g.RealColIndex(at), r) && !g.Navigation.AllowClipboardAlways)
            return;
        bool allow = true;
        // A field in the wide-text coding goes to the wide events decoded, and back coded.
        const bool wide = f.startsWith(QLatin1String("|\\"));
        if (wide) {
            QString w = DecodeWideCellText(f);
            if (g.OnClipboardBeforePasteWideCell)
                g.OnClipboardBeforePasteWideCell(&g, at, r, w, allow);
            f = EncodeWideCellText(w);
        } else {
            fireBefore(g, at, r, f, allow);
        }
        if (!allow)
            return;
        PasteCell(g, at, r, f);
        maxC = std::max(maxC, at);
        maxR = std::max(maxR, r);
        if (!wide)
            fireAfter(g, at, r, f);
        else if (g.OnClipboardAfterPasteWideCell)
            g.OnClipboardAfterPasteWideCell(&g, at, r, DecodeWideCellText(f));
    };
    for (size_t li = 0; li < lines.size(); ++li) {
        const TPasteLine& line = lines[li];
        ++rows;
        g.ImportNotification(pasteAll ? isImportNewRow : isImportSelRow, r);
        if (!line.Text.isEmpty() && g.Navigation.ClipboardPasteAction == paInsert)
            g.InsertRows(r, 1);
        cols = 1;
        const QStringList& fields = line.Fields;
        for (qsizetype k = 0; k + 1 < fields.size(); ++k) {
            store(c, fields[k]);
            ++cols;
            ++count;
            ++c;
        }
        if (storeLastField(line))
            store(c, fields.last());
        ++count;
        if (li + 1 == lines.size())
            break;
        c = col;
        // The empty rest after a final line break starts no row of its own (a copied block
        // grows the grid by its own rows only).
        if (!atTextEnd(lines, li + 1)) {
            ++r;
            if (r == usableRows(g) && line.Ended && g.Navigation.AllowClipboardRowGrow)
                g.SetRowCount(g.RowCount() + 1);
        }
    }
    if (undo)
        undo->StopSequence();
    rangeModified(g, g.ClipTopLeft, TGridRect{col, row, maxC, maxR}, g.ClipLastOp);
    g.CellsChanged(QRect(QPoint(g.RealColIndex(col), row), QPoint(g.RealColIndex(std::min(maxC, g.ColCount() - 1)), maxR)));
    return count;
}

int PasteData(TExtStringGridEdit& g, int col, int row, int& rows, int& cols, const platform::ExchangeData& d,
              bool pasteAll)
{
    using platform::ExchangeFormat;
    if (g.Navigation.AllowFmtClipboard && d.has(ExchangeFormat::GridCells)) {
        g.BeforePaste();
        const QByteArray data = d.bytes(ExchangeFormat::GridCells);
        qsizetype pos = 0;
        const TGridPropIO h = ReadBinHeader(data, pos);
        if (g.Navigation.AllowClipboardRowGrow || g.Navigation.AllowClipboardColGrow
            || g.Navigation.ClipboardPasteAction == paInsert) {
            if (qint64(col) + h.ColCount >= g.ColCount() && g.Navigation.AllowClipboardColGrow)
                g.SetColCount(int(std::min<qint64>(qint64(col) + h.ColCount, INT32_MAX / 2)));
            if (qint64(row) + h.RowCount >= g.RowCount() && g.Navigation.AllowClipboardRowGrow)
                g.SetRowCount(int(std::min<qint64>(qint64(row) + h.RowCount, INT32_MAX / 2)));
            cols = g.ColCount();
            rows = g.RowCount();
            if (g.Navigation.ClipboardPasteAction == paInsert)
                g.InsertRows(row, h.RowCount);
        }
        // A grid-format paste honours IsEditable as a text paste does: cells that may not be
        // edited keep their text and properties.
        LoadAtPointFromBinStream(
            g, QPoint(col, row), data, 0,
            [&g](int c, int r) { return g.IsEditable(g.RealColIndex(c), r) || g.Navigation.AllowClipboardAlways; },
            false);
        // Cells copied from this grid tell where they came from.
        const QPoint from = h.ID == GridStreamID(g) ? g.ClipTopLeft : QPoint(-1, -1);
        rangeModified(g, from, TGridRect{col, row, col + h.ColCount - 1, row + h.RowCount - 1}, g.ClipLastOp);
        g.AfterPaste();
        return h.ColCount * h.RowCount;
    }
    if (g.Navigation.AllowRTFClipboard && d.has(ExchangeFormat::Rtf)) {
        const QString rtf = QString::fromUtf8(d.bytes(ExchangeFormat::Rtf));
        if (g.IsEditable(g.RealColIndex(col), row))
            PasteCell(g, col, row, rtf);
        rows = 1;
        cols = 1;
        return 0;
    }
    if (d.has(ExchangeFormat::Text) && !d.text().isEmpty())
        return PasteText(g, col, row, rows, cols, d.text(), pasteAll);
    return 0;
}

int PasteAt(TExtStringGridEdit& g, int col, int row, int& rows, int& cols, bool pasteAll)
{
    return PasteData(g, col, row, rows, cols, platform::clipboardData(), pasteAll);
}

void PasteFromClipboard(TExtStringGridEdit& g)
{
    g.ImportNotification(isImportStart, -1);
    int rows = 0, cols = 0;
    PasteAt(g, g.SaveStartCol(), g.SaveStartRow(), rows, cols, true);
    g.ImportNotification(isImportDone, -1);
    g.CellsLoaded();
}

namespace {

std::optional<double> readTime(const QString& s)
{
    const QStringList parts = s.trimmed().split(GetTimeSeparator());
    if (parts.size() < 2 || parts.size() > 3)
        return std::nullopt;
    double v = 0;
    const int scale[] = {3600, 60, 1};
    for (qsizetype i = 0; i < parts.size(); ++i) {
        bool ok = false;
        const int n = parts[i].trimmed().toInt(&ok);
        if (!ok || n < 0)
            return std::nullopt;
        v += n * scale[i];
    }
    return v / 86400.0;
}

std::optional<double> readDateTime(const QString& s)
{
    platform::TDateTime d = 0;
    if (s.contains(GetDateSeparator())) {
        const QString datePart = s.trimmed().section(u' ', 0, 0);
        if (!platform::TryStrToDate(datePart, d, platform::FormatSettings()))
            return std::nullopt;
        const QString timePart = s.trimmed().section(u' ', 1);
        if (!timePart.isEmpty()) {
            const auto t = readTime(timePart);
            if (!t)
                return std::nullopt;
            return double(d) + *t;
        }
        return double(d);
    }
    return readTime(s);
}

} // namespace

void PasteSelectionFromClipboard(TExtStringGridEdit& g)
{
    g.ImportNotification(isImportStart, -1);
    ExtendSelectionToMerged(g);
    const TGridRect s = g.Selection();
    int rows = 0, cols = 0;
    const platform::ExchangeData clip = platform::clipboardData();
    const int n = g.options().testFlag(platform::goRowSelect)
                      ? PasteData(g, g.FixedCols(), s.Top, rows, cols, clip, false)
                      : PasteData(g, s.Left, s.Top, rows, cols, clip, false);
    auto finish = [&]() {
        g.ImportNotification(isImportDone, -1);
        g.CellsChanged(QRect(QPoint(s.Left, s.Top), QPoint(s.Right, s.Bottom)));
        g.CellsLoaded();
    };
    if (!g.Navigation.AllowSmartClipboard) {
        finish();
        return;
    }
    const int k = (s.Right - s.Left + 1) * (s.Bottom - s.Top + 1);
    if (n == k + 1) {
        finish();
        return;
    }
    auto editable = [&](int c, int r) { return g.IsEditable(g.RealColIndex(c), r); };
    // One cell of a fill: the before-event, the value, then the range hook and the after-event
    // (the series of numbers report only allowed cells; the repeat reports its range once).
    enum class Report { Always, WhenAllowed, RangeOnce };
    auto writeCell = [&](int c, int r, QString v, bool events, Report report = Report::Always) {
        bool allow = true;
        if (events)
            fireBefore(g, c, r, v, allow);
        if (allow)
            PasteCell(g, c, r, v);
        if (report == Report::WhenAllowed && !allow)
            return;
        if (report != Report::RangeOnce)
            rangeModified(g, g.ClipTopLeft, TGridRect{c, r, c, r}, coCopy);
        if (events)
            fireAfter(g, c, r, v);
    };
    if (n == 1 && k > 1) {
        const int rc = g.RealColIndex(s.Left);
        QString v = g.Cells(rc, s.Top);
        if (g.HasCheckBox(rc, s.Top)) {
            bool state = false;
            // The check box state is kept by real rows (rows may be hidden).
            g.GetCheckBoxState(rc, g.RealRowIndex(s.Top), state);
            v = state ? g.CheckTrue : g.CheckFalse;
        }
        g.BeforePaste();
        for (int i = s.Left; i <= s.Right; ++i)
            for (int j = s.Top; j <= s.Bottom; ++j)
                if (editable(i, j) || g.Navigation.AllowClipboardAlways)
                    writeCell(i, j, v, !(i == s.Left && j == s.Top));
        g.AfterPaste();
        finish();
        return;
    }
    const bool singleCol = s.Left == s.Right && s.Bottom > s.Top;
    const bool singleRow = s.Top == s.Bottom && s.Right > s.Left;
    if (n > 1 && (singleCol || singleRow)) {
        const QString c1 = g.Cells(g.RealColIndex(s.Left), s.Top);
        const QString c2 = singleCol ? g.Cells(g.RealColIndex(s.Left), s.Top + 1)
                                     : g.Cells(g.RealColIndex(s.Left + 1), s.Top);
        auto visit = [&](const std::function<QString()>& value, const std::function<void()>& step, Report report) {
            for (int i = s.Left; i <= s.Right; ++i)
                for (int j = s.Top; j <= s.Bottom; ++j) {
                    if (editable(i, j))
                        writeCell(i, j, value(), !(i == s.Left && j == s.Top), report);
                    step();
                }
        };
        const QChar ts = GetTimeSeparator();
        if (LooksLikeDate(c1) || LooksLikeDate(c2) || c1.contains(ts) || c2.contains(ts)) {
            const auto d1 = readDateTime(c1);
            const auto d2 = readDateTime(c2);
            if (d1 && d2) {
                int y1, m1, dd1, y2, m2, dd2;
                platform::DecodeDate(platform::TDateTime(*d1), y1, m1, dd1);
                platform::DecodeDate(platform::TDateTime(*d2), y2, m2, dd2);
                const double step = *d2 - *d1;
                const bool timeOnly = !c1.contains(GetDateSeparator());
                double d = *d1;
                visit([&]() { return timeOnly ? platform::TimeToStr(d) : platform::DateToStr(d); },
                      [&]() {
                          d = AdvanceDate(y2 - y1, m2 - m1, unsigned(std::abs(dd2 - dd1)), d, step);
                      },
                      Report::Always);
            }
        } else if (c1.contains(GetDecimalSeparator()) || c2.contains(GetDecimalSeparator())) {
            const auto f1 = platform::toFloat(c1);
            const auto f2 = platform::toFloat(c2);
            if (f1 && f2) {
                double f = *f1;
                visit([&]() { return platform::Format(g.FloatFormat, {f}); }, [&]() { f += *f2 - *f1; },
                      Report::WhenAllowed);
            }
        } else if (const auto i1 = platform::toInt(c1), i2 = platform::toInt(c2); i1 && i2) {
            int64_t v = *i1;
            visit([&]() { return QString::number(v); }, [&]() { v += *i2 - *i1; }, Report::WhenAllowed);
        } else if (singleCol) {
            for (int j = s.Top + n - 1; j <= s.Bottom; ++j)
                if (editable(s.Left, j) && j - n + 1 >= s.Top)
                    writeCell(s.Left, j, g.Cells(g.RealColIndex(s.Left), j - n + 1), j != s.Top, Report::RangeOnce);
            rangeModified(g, QPoint(s.Left, s.Top), TGridRect{s.Left, s.Top + n - 1, s.Left, s.Bottom}, coCopy);
        } else {
            for (int i = s.Left + n - 1; i <= s.Right; ++i)
                if (editable(i, s.Top) && i - n + 1 >= s.Left)
                    writeCell(i, s.Top, g.Cells(g.RealColIndex(i - n + 1), s.Top), i != s.Left, Report::RangeOnce);
            rangeModified(g, QPoint(s.Left, s.Top), TGridRect{s.Left + n - 1, s.Top, s.Right, s.Bottom}, coCopy);
        }
        finish();
        return;
    }
    if (s.Bottom > s.Top && s.Right > s.Left) {
        if (rows == 1) {
            for (int r = s.Top + 1; r <= s.Bottom; ++r) {
                int rr = 0, cc = 0;
                PasteData(g, s.Left, r, rr, cc, clip, false);
            }
            g.SetSelection(s);
        } else if (cols == 1) {
            for (int c = s.Left + 1; c <= s.Right; ++c) {
                int rr = 0, cc = 0;
                PasteData(g, c, s.Top, rr, cc, clip, false);
            }
            g.SetSelection(s);
        }
    }
    finish();
}

void SetSelectionAsText(TExtStringGridEdit& g, const QString& value)
{
    const TGridRect s = g.Selection();
    int c = s.Left, r = s.Top, maxC = s.Left, maxR = s.Top;
    const std::vector<TPasteLine> lines = SplitPasteLines(value);
    auto store = [&](QString f) {
        f = pastedField(f);
        if (f.startsWith(QLatin1String("|\\")))
            f = EncodeWideCellText(DecodeWideCellText(f));
        if (c >= g.ColCount())
            g.SetColCount(c + 1);
        if (r < g.RowCount()) {
            g.SetGridCell(g.RealColIndex(c), r, f);
            maxC = std::max(maxC, c);
            maxR = std::max(maxR, r);
        }
        ++c;
    };
    for (size_t li = 0; li < lines.size(); ++li) {
        const QStringList& fields = lines[li].Fields;
        for (qsizetype k = 0; k + 1 < fields.size(); ++k)
            store(fields[k]);
        if (storeLastField(lines[li]))
            store(fields.last());
        if (li + 1 == lines.size() || atTextEnd(lines, li + 1))
            break;
        c = s.Left;
        ++r;
        if (r == usableRows(g))
            g.SetRowCount(g.RowCount() + 1);
    }
    g.CellsChanged(QRect(QPoint(g.RealColIndex(s.Left), s.Top), QPoint(g.RealColIndex(std::min(maxC, g.ColCount() - 1)), maxR)));
}

} // namespace controls::grid::io
