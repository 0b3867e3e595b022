// Cell access by real row, through the column order and the sort order; per-cell formatting;
// rich-text cells; typed access (integers, floats, dates, times, embedded control values),
// fills and header texts.
#include "controls/grid/core/ExtStringGrid.h"

#include "controls/grid/core/RichText.h"
#include "controls/grid/html/HTMLUtil.h"
#include "controls/grid/util/ExtUtil.h"
#include "platform/core/Conversions.h"
#include "platform/core/DateTime.h"
#include "platform/core/Errors.h"
#include "platform/core/Format.h"
#include "platform/text/Text.h"

#include <QRandomGenerator>
#include <QWidget>
#include <algorithm>

namespace controls::grid {

// --- by real row ------------------------------------------------------------------------------------

QString TExtStringGrid::AllCells(int c, int r) const
{
    if (c < 0 || r < 0)
        return QString();
    if (const int h = hiddenIndexOf(r); h >= 0) {
        QString value = HiddenRowItem(h).Text(c);
        GetDisplText(c, r, value);
        return value;
    }
    return GetCellEx(c, DisplRowIndex(r));
}

void TExtStringGrid::SetAllCells(int c, int r, const QString& value)
{
    if (c < 0 || r < 0)
        return;
    if (const int h = hiddenIndexOf(r); h >= 0) {
        setHiddenText(h, c, value);
        return;
    }
    const int d = DisplRowIndex(r);
    SetCellEx(c, d, value);
    if (DisplColIndex(c) != c)
        RepaintCell(DisplColIndex(c), d);
}

QString TExtStringGrid::AllGridCells(int c, int r) const
{
    if (const int h = hiddenIndexOf(r); h >= 0)
        return HiddenRowItem(h).Text(c);
    return cells(c, DisplRowIndex(r));
}

void TExtStringGrid::SetAllGridCells(int c, int r, const QString& value)
{
    if (const int h = hiddenIndexOf(r); h >= 0) {
        setHiddenText(h, c, value);
        return;
    }
    setCells(c, DisplRowIndex(r), value);
}

void* TExtStringGrid::AllObjects(int c, int r) const
{
    if (const int h = hiddenIndexOf(r); h >= 0) {
        const TCellProperties* p = HiddenRowItem(h).Object(c);
        return p ? p->CellObject : nullptr;
    }
    return Objects(c, DisplRowIndex(r));
}

void TExtStringGrid::SetAllObjects(int c, int r, void* value)
{
    if (const int h = hiddenIndexOf(r); h >= 0) {
        if (c < 0)
            return;
        TCellProperties* p = HiddenRowItem(h).Object(c);
        if (!p) {
            p = new TCellProperties(this, c, r);
            platform::GridRowPtr& cells = hiddenCellsForWrite(h);
            if (!cells)
                cells = std::make_unique<platform::GridRow>();
            cells->setObject(c, p);
        }
        p->CellObject = value;
        return;
    }
    SetObjects(c, DisplRowIndex(r), value);
}

QString TExtStringGrid::OriginalCells(int c, int r) const
{
    const int p = ColumnPosition(c);
    return Cells(p == -1 ? c : p, r);
}

void TExtStringGrid::SetOriginalCells(int c, int r, const QString& value)
{
    const int p = ColumnPosition(c);
    SetCells(p == -1 ? c : p, r, value);
}

QString TExtStringGrid::UnSortedCells(int c, int r) const { return Cells(c, UnSortedRowIndex(r)); }

void TExtStringGrid::SetUnSortedCells(int c, int r, const QString& value) { SetCells(c, UnSortedRowIndex(r), value); }

QString TExtStringGrid::CurrentCell() const
{
    const QPoint b = BaseCell(RealCol(), row());
    return cells(b.x(), b.y());
}

void TExtStringGrid::SetCurrentCell(const QString& value)
{
    const QPoint b = BaseCell(RealCol(), row());
    SetCellEx(b.x(), b.y(), value);
}

QString TExtStringGrid::GetCurrentCellText() const
{
    const QPoint b = BaseCell(RealCol(), row());
    return GetCellEx(b.x(), b.y());
}

void TExtStringGrid::SetCurrentCellText(const QString& value)
{
    const QPoint b = BaseCell(RealCol(), row());
    if (b == QPoint(RealCol(), row()))
        setEditText(col(), row(), value);
    else
        setEditText(b.x(), b.y(), value);
}

QString TExtStringGrid::StrippedCells(int c, int r) const { return StripHTMLTags(GetCellEx(c, r)); }

int TExtStringGrid::LinesInCell(int c, int r) const { return 1 + int(GetCellEx(c, r).count(u'\r')); }

int TExtStringGrid::AllColWidths(int c) const
{
    if (IsHiddenColumn(c))
        return c < int(m_allColWidths.size()) ? m_allColWidths[size_t(c)] : defaultColWidth();
    return colWidths(DisplColIndex(c));
}

void TExtStringGrid::SetAllColWidths(int c, int width)
{
    if (c < 0)
        return;
    if (int(m_allColWidths.size()) <= c)
        m_allColWidths.resize(size_t(c) + 1, defaultColWidth());
    m_allColWidths[size_t(c)] = width;
    if (!IsHiddenColumn(c) && DisplColIndex(c) < colCount())
        setColWidths(DisplColIndex(c), width);
}

int TExtStringGrid::SortedRowIndex(int r) const
{
    if (r >= 0 && r < m_sortRowXRef.Count())
        return RealRowIndex(m_sortRowXRef[r]);
    return r;
}

int TExtStringGrid::UnSortedRowIndex(int r) const
{
    if (m_sortRowXRef.Count() == 0)
        return r;
    for (int i = 0; i < m_sortRowXRef.Count(); ++i)
        if (m_sortRowXRef[i] == r)
            return i;
    return m_sortRowXRef.Count();
}

TCellProperties* TExtStringGrid::GetRealCellObject(int c, int r) const
{
    if (const int h = hiddenIndexOf(r); h >= 0)
        return HiddenRowItem(h).Object(c);
    return GetGridObject(c, DisplRowIndex(r));
}

bool TExtStringGrid::GetHiddenRowStrings(int idx, QStringList& texts) const
{
    const int h = hiddenIndexOf(idx);
    if (h < 0)
        return false;
    texts = HiddenRowItem(h).Texts(TotalColCount());
    return true;
}

void TExtStringGrid::setHiddenText(int index, int c, const QString& value)
{
    if (c < 0)
        return;
    platform::GridRowPtr& cells = hiddenCellsForWrite(index);
    if (!cells) {
        if (value.isEmpty())
            return;
        cells = std::make_unique<platform::GridRow>();
    }
    cells->setText(c, value);
    if (cells->isEmpty())
        cells.reset(); // a row that goes back to the store holds something or is nothing
}

// --- per-cell formatting --------------------------------------------------------------------------------

void TExtStringGrid::repaintDisplCell(int c, int r)
{
    if (!Destroying())
        RepaintCell(DisplColIndex(c), r);
}

Color TExtStringGrid::Colors(int c, int r) const
{
    const TCellProperties* p = GetGridObject(c, r);
    return p ? p->BrushColor() : platform::clNone;
}

void TExtStringGrid::SetColors(int c, int r, Color color)
{
    GetCellProperties(c, r)->SetBrushColor(color);
    repaintDisplCell(c, r);
}

Color TExtStringGrid::ColorsTo(int c, int r) const
{
    const TCellProperties* p = GetGridObject(c, r);
    return p ? p->BrushColorTo() : platform::clNone;
}

void TExtStringGrid::SetColorsTo(int c, int r, Color color)
{
    GetCellProperties(c, r)->SetBrushColorTo(color);
    repaintDisplCell(c, r);
}

TCellGradientDirection TExtStringGrid::Gradients(int c, int r) const
{
    const TCellProperties* p = GetGridObject(c, r);
    return p ? p->GradientDirection : GradientVertical;
}

void TExtStringGrid::SetGradients(int c, int r, TCellGradientDirection d)
{
    GetCellProperties(c, r)->GradientDirection = d;
    repaintDisplCell(c, r);
}

Color TExtStringGrid::FontColors(int c, int r) const
{
    const TCellProperties* p = GetGridObject(c, r);
    return p ? p->FontColor : platform::clNone;
}

void TExtStringGrid::SetFontColors(int c, int r, Color color)
{
    GetCellProperties(c, r)->FontColor = color;
    repaintDisplCell(c, r);
}

TFontStyles TExtStringGrid::FontStyles(int c, int r) const
{
    const TCellProperties* p = GetGridObject(c, r);
    return p ? p->FontStyle : 0;
}

void TExtStringGrid::SetFontStyles(int c, int r, TFontStyles s)
{
    GetCellProperties(c, r)->FontStyle = s;
    repaintDisplCell(c, r);
}

int TExtStringGrid::FontSizes(int c, int r) const
{
    const TCellProperties* p = GetGridObject(c, r);
    return p ? p->FontSize : 0;
}

void TExtStringGrid::SetFontSizes(int c, int r, int size)
{
    GetCellProperties(c, r)->FontSize = size;
    repaintDisplCell(c, r);
}

QString TExtStringGrid::FontNames(int c, int r) const
{
    const TCellProperties* p = GetGridObject(c, r);
    return p ? p->FontName : QString();
}

void TExtStringGrid::SetFontNames(int c, int r, const QString& name)
{
    GetCellProperties(c, r)->FontName = name;
    repaintDisplCell(c, r);
}

void TExtStringGrid::SetFonts(int c, int r, const platform::Font& f)
{
    TCellProperties* p = GetCellProperties(c, r);
    p->FontName = f.font.family();
    p->FontSize = FontPointSize(f.font);
    p->FontStyle = FontStylesOf(f.font);
    p->FontColor = f.color;
    repaintDisplCell(c, r);
}

platform::Alignment TExtStringGrid::Alignments(int c, int r) const
{
    const TCellProperties* p = GetGridObject(c, r);
    return p ? p->Alignment() : platform::Alignment::taLeftJustify;
}

void TExtStringGrid::SetAlignments(int c, int r, platform::Alignment a)
{
    GetCellProperties(c, r)->SetAlignment(a);
    repaintDisplCell(c, r);
}

bool TExtStringGrid::ReadOnly(int c, int r) const
{
    const TCellProperties* p = GetGridObject(c, r);
    return p && p->ReadOnly;
}

void TExtStringGrid::SetReadOnly(int c, int r, bool on)
{
    GetCellProperties(c, r)->ReadOnly = on;
    repaintDisplCell(c, r);
}

bool TExtStringGrid::WordWraps(int c, int r) { return GetCellProperties(c, r)->WordWrap(); }

void TExtStringGrid::SetWordWraps(int c, int r, bool on)
{
    GetCellProperties(c, r)->SetWordWrap(on);
    repaintDisplCell(c, r);
}

QWidget* TExtStringGrid::CellControls(int c, int r) const
{
    if (c < 0 || r < 0 || !HasCellProperties(c, r))
        return nullptr;
    return GetGridObject(c, r)->Control.data();
}

void TExtStringGrid::SetCellControls(int c, int r, QWidget* control)
{
    TCellProperties* p = GetCellProperties(c, r);
    const int idx = m_controlList.ControlIndex(c, RealRowIndex(r));
    if (!control) {
        if (p->Control) {
            if (idx >= 0)
                m_controlList.RemoveControl(idx);
            --m_numCellControls;
        }
        p->Control = nullptr;
        return;
    }
    if (idx >= 0)
        m_controlList.RemoveControl(idx);
    if (!p->Control)
        ++m_numCellControls;
    m_controlList.AddControl(c, RealRowIndex(r), control);
    p->Control = control;
    control->setParent(viewport());
    const Rect rect = CellRect(c, r);
    control->setGeometry(rect.left - 1, rect.top - 1, rect.width() + 1, rect.height() + 1);
}

void TExtStringGrid::SetRowColor(int r, Color color)
{
    // No colour takes only the colour away: a cell's other properties (its check box, object,
    // font) stay.
    for (int c = fixedCols(); c < TotalColCount(); ++c) {
        if (color == platform::clNone) {
            if (TCellProperties* p = GetGridObject(c, r))
                p->SetBrushColor(platform::clNone);
        } else {
            GetCellProperties(c, r)->SetBrushColor(color);
        }
    }
    RepaintRow(r);
}

void TExtStringGrid::SetRowColorTo(int r, Color color)
{
    for (int c = fixedCols(); c < TotalColCount(); ++c) {
        if (color == platform::clNone) {
            // Only the gradient goes: the cell's other properties stay.
            if (TCellProperties* p = GetGridObject(c, r))
                p->SetBrushColorTo(platform::clNone);
        } else {
            GetCellProperties(c, r)->SetBrushColorTo(color);
        }
    }
    RepaintRow(r);
}

void TExtStringGrid::SetRowFontColor(int r, Color color)
{
    for (int c = fixedCols(); c < TotalColCount(); ++c) {
        if (color == platform::clNone) {
            if (TCellProperties* p = GetGridObject(c, r))
                p->FontColor = platform::clNone;
        } else {
            GetCellProperties(c, r)->FontColor = color;
        }
    }
    RepaintRow(r);
}

QString TExtStringGrid::CellToRich(int c, int r) const { return RichTextToPlain(GetCellEx(c, r)); }

QString TExtStringGrid::RichToString(const QString& plainText) const
{
    return PlainToRichText(plainText, font().family(), FontPointSize(font()));
}

void TExtStringGrid::RichToCell(int c, int r, const QString& plainText) { SetCellEx(c, r, RichToString(plainText)); }

void TExtStringGrid::CellTextChanged(int c, int r)
{
    if (!HasAutoRangeScrollBar(c, r))
        return;
    TScrollProp prop;
    prop.PageSize = rowHeights(r);
    prop.Range = GetCellTextSize(c, r).height();
    SetScrollProp(c, r, prop);
}

// --- typed access -------------------------------------------------------------------------------------------

namespace {

int toCellInt(const QString& stripped)
{
    const QString t = platform::trim(stripped);
    if (t.isEmpty() || t == QStringLiteral("-"))
        return 0;
    int v = 0;
    if (!platform::TryStrToInt(t, v))
        throw platform::EExtGridError(QStringLiteral("Cell does not contain integer value"));
    return v;
}

double toCellFloat(const QString& stripped)
{
    const QString t = CleanFloatText(stripped);
    if (t.isEmpty() || t == QStringLiteral("-"))
        return 0;
    platform::TFormatSettings fs = platform::FormatSettings();
    fs.DecimalSeparator = u'.';
    double v = 0;
    if (!platform::TryStrToFloat(t, v, fs))
        throw platform::EExtGridError(QStringLiteral("Cell does not contain a float value"));
    return v;
}

// "h:n[:s]" with the locale's time separator.
platform::TDateTime toCellTime(const QString& text)
{
    const QStringList parts = platform::trim(text).split(platform::FormatSettings().TimeSeparator);
    int values[3] = {0, 0, 0};
    bool ok = parts.size() >= 2 && parts.size() <= 3;
    for (int i = 0; ok && i < parts.size(); ++i)
        ok = platform::TryStrToInt(platform::trim(parts[i]), values[i]);
    platform::TDateTime t = 0;
    if (!ok || !platform::TryEncodeTime(values[0], values[1], values[2], 0, t))
        throw platform::EConvertError(QStringLiteral("'%1' is not a valid time").arg(text));
    return t;
}

} // namespace

int TExtStringGrid::Ints(int c, int r) const { return toCellInt(StrippedCells(c, r)); }

void TExtStringGrid::SetInts(int c, int r, int value)
{
    SetCells(c, r, QString::number(value));
    if (NumHiddenColumns() > 0)
        repaintDisplCell(c, r);
}

int TExtStringGrid::AllInts(int c, int r) const { return toCellInt(StripHTMLTags(AllCells(c, r))); }

void TExtStringGrid::SetAllInts(int c, int r, int value) { SetAllCells(c, r, QString::number(value)); }

double TExtStringGrid::Floats(int c, int r) const { return toCellFloat(StrippedCells(c, r)); }

void TExtStringGrid::SetFloats(int c, int r, double value)
{
    QString fmt;
    GetColFloatFormat(c, fmt);
    SetCells(c, r, platform::Format(fmt, {value}));
}

double TExtStringGrid::AllFloats(int c, int r) const { return toCellFloat(StripHTMLTags(AllCells(c, r))); }

void TExtStringGrid::SetAllFloats(int c, int r, double value) { SetAllCells(c, r, platform::Format(FloatFormat, {value})); }

platform::TDateTime TExtStringGrid::Dates(int c, int r) const { return platform::StrToDate(Cells(c, r)); }

void TExtStringGrid::SetDates(int c, int r, platform::TDateTime value)
{
    SetCells(c, r, value > 0 || ShowNullDates ? platform::DateToStr(value) : QString());
}

platform::TDateTime TExtStringGrid::Times(int c, int r) const { return toCellTime(Cells(c, r)); }

void TExtStringGrid::SetTimes(int c, int r, platform::TDateTime value) { SetCells(c, r, platform::TimeToStr(value)); }

QString TExtStringGrid::ControlValues(int c, int r, const QString& id) const
{
    QString value;
    GetControlValue(Cells(c, r), id, value);
    return value;
}

void TExtStringGrid::SetControlValues(int c, int r, const QString& id, const QString& value)
{
    QString text = Cells(c, r);
    if (SetControlValue(text, id, value))
        SetCells(c, r, text);
}

void TExtStringGrid::GetColFloatFormat(int, QString& fmt) { fmt = FloatFormat; }

QString TExtStringGrid::Version() const
{
    const unsigned v = unsigned(GetVersionNr());
    return QStringLiteral("%1.%2.%3.%4").arg(v >> 24).arg((v >> 16) & 0xFF).arg((v >> 8) & 0xFF).arg(v & 0xFF);
}

int TExtStringGrid::PrintColWidth(int c) const
{
    if (c < 0 || c >= int(MaxWidths.size()))
        throw platform::EExtGridError(QStringLiteral("Columns is not in valid range"));
    return MaxWidths[size_t(c)];
}

int TExtStringGrid::PrintColOffset(int c) const
{
    if (c < 0 || c >= int(Indents.size()))
        throw platform::EExtGridError(QStringLiteral("Columns is not in valid range"));
    return Indents[size_t(c)];
}

void TExtStringGrid::SwapCells(TGridCoord from, TGridCoord to)
{
    const QString t = cells(from.X, from.Y);
    void* o = objects(from.X, from.Y);
    setCells(from.X, from.Y, cells(to.X, to.Y));
    setObjects(from.X, from.Y, objects(to.X, to.Y));
    setCells(to.X, to.Y, t);
    setObjects(to.X, to.Y, o);
}

void TExtStringGrid::GotoCell(int c, int r)
{
    SetRow(DisplRowIndex(r));
    SetCol(c);
}

void TExtStringGrid::FocusCell(int c, int r) { setSelection(TGridRect{c, r, c, r}); }

void TExtStringGrid::MoveToCell(int c, int r) { moveCurrent(c, r, true, true); }

int TExtStringGrid::fillFirstRow(bool doFixed) const { return doFixed ? 0 : fixedRows(); }
int TExtStringGrid::fillLastRow(bool doFixed) const { return doFixed ? rowCount() - 1 : rowCount() - m_fixedFooters - 1; }
int TExtStringGrid::fillFirstCol(bool doFixed) const { return doFixed ? 0 : fixedCols(); }
int TExtStringGrid::fillLastCol(bool doFixed) const { return doFixed ? colCount() - 1 : colCount() - m_fixedRightCols - 1; }

void TExtStringGrid::fillRange(bool doFixed, const std::function<QString(int, int)>& text)
{
    for (int r = fillFirstRow(doFixed); r <= fillLastRow(doFixed); ++r)
        for (int c = fillFirstCol(doFixed); c <= fillLastCol(doFixed); ++c)
            SetCells(c, r, text(c, r));
    CellsLoaded();
}

void TExtStringGrid::TextFill(bool doFixed, const QString& text)
{
    fillRange(doFixed, [&](int, int) { return text; });
}

void TExtStringGrid::FormatFill(bool doFixed, const QString& fmt)
{
    fillRange(doFixed, [&](int c, int r) { return platform::Format(fmt, {c, r}); });
}

void TExtStringGrid::RandomFill(bool doFixed, int range)
{
    const int bound = std::max(1, range);
    fillRange(doFixed, [&](int, int) { return QString::number(QRandomGenerator::global()->bounded(bound)); });
}

void TExtStringGrid::LinearFill(bool doFixed)
{
    fillRange(doFixed, [](int c, int r) { return QStringLiteral("%1:%2").arg(c).arg(r); });
}

// --- headers -------------------------------------------------------------------------------------------------

void TExtStringGrid::ShowColumnHeaders()
{
    if (fixedRows() == 0)
        return;
    for (int i = 0; i < m_columnHeaders.Count() && i < TotalColCount(); ++i)
        SetCells(i, 0, UnescapeNewLines(m_columnHeaders.Strings(i)));
}

void TExtStringGrid::ClearColumnHeaders()
{
    for (int i = 0; i < TotalColCount(); ++i)
        SetCells(i, 0, QString());
}

void TExtStringGrid::ShowRowHeaders()
{
    if (fixedCols() == 0)
        return;
    for (int i = 0; i < m_rowHeaders.Count() && i < rowCount(); ++i)
        SetCells(0, i, UnescapeNewLines(m_rowHeaders.Strings(i)));
}

void TExtStringGrid::ClearRowHeaders()
{
    for (int i = 0; i < rowCount(); ++i)
        SetCells(0, i, QString());
}

void TExtStringGrid::SetColumnHeaders(const QStringList& lines)
{
    m_columnHeaders.BeginUpdate();
    m_columnHeaders.Clear();
    m_columnHeaders.AddStrings(lines);
    if (fixedRows() > 0)
        ClearColumnHeaders();
    m_columnHeaders.EndUpdate(); // its change handler shows the headers
}

void TExtStringGrid::SetRowHeaders(const QStringList& lines)
{
    m_rowHeaders.BeginUpdate();
    m_rowHeaders.Clear();
    m_rowHeaders.AddStrings(lines);
    m_rowHeaders.EndUpdate();
}

void TExtStringGrid::ColumnHeadersChanged() {}

void TExtStringGrid::SplitAllColumnCells()
{
    for (int c = 0; c < colCount(); ++c)
        SplitColumnCells(c);
}

void TExtStringGrid::RemergeColumnCells()
{
    for (int i = 0; i < m_mergedColumns.Count(); ++i)
        MergeColumnCells(m_mergedColumns[i], i == 0);
}

} // namespace controls::grid
