// Column and row calculations, group results, the floating footer's cells and auto-numbering.
// Values are read with the typed float access: decoration stripped, an empty text or "-" reads
// as 0. Sums, averages and counts skip texts that are no number; the first value of a minimum
// or maximum and every value of a standard deviation must be numbers. A column's walk reports
// its progress through ExportNotification: start (with the first row), each row it takes in,
// done - also when it stops on a text that must be a number and is not.
#include "controls/grid/core/ExtStringGrid.h"

#include "platform/core/Errors.h"

#include <QSet>
#include <algorithm>
#include <cmath>

namespace controls::grid {

namespace {

void dataRows(const TExtStringGrid& g, int& fromRow, int& toRow)
{
    if (fromRow == -1 || toRow == -1) {
        fromRow = g.FixedRows();
        toRow = g.RowCount() - g.FixedFooters() - 1;
    }
}

// Runs a column walk between its start and done reports (done also when the walk raises); the
// walk reports each row it takes in through the function it is given.
template <class Walk>
double reportedWalk(TExtStringGrid& g, int fromRow, bool on, Walk&& walk)
{
    const auto row = [&g, on](int r) {
        if (on)
            g.ExportNotification(esExportNextRow, r);
    };
    if (on)
        g.ExportNotification(esExportStart, fromRow);
    double result = 0;
    try {
        result = walk(row);
    } catch (...) {
        if (on)
            g.ExportNotification(esExportDone, -1);
        throw;
    }
    if (on)
        g.ExportNotification(esExportDone, -1);
    return result;
}

} // namespace

// --- reading the values of a column ----------------------------------------------------------------------

// Beyond mode: the range reaches past the shown rows, so it is taken as real rows, hidden ones
// included.
static bool beyondRows(const TExtStringGrid& g, int toRow)
{
    return g.FloatingFooter.Visible ? toRow > g.RowCount() - 1 : toRow > g.RowCount();
}

double TExtStringGrid::calcValue(int c, int r, bool beyond) const
{
    return beyond ? AllFloats(c, r) : Floats(c, r);
}

bool TExtStringGrid::calcCounts(int c, int r, bool beyond)
{
    if (beyond) {
        if (r >= TotalRowCount())
            return false;
        if (IsHiddenRow(r)) {
            const TCellProperties* p = GetRealCellObject(c, r);
            return !p || p->IsBaseCell;
        }
        r = DisplRowIndex(r);
    }
    if (r < 0 || r >= RowCount())
        return false;
    if (m_groupColumn != -1 && (IsNode(r) || IsSummary(r)))
        return false;
    return IsBaseCell(c, r);
}

// Sums start at 0, minima and maxima at the range's first value (which must be a number);
// counted texts that are no number are passed over.
static double fold(int mode, double a, double b)
{
    return mode == 0 ? a + b : mode == 1 ? std::min(a, b) : std::max(a, b);
}

double TExtStringGrid::columnFold(int c, int fromRow, int toRow, int mode, bool report)
{
    dataRows(*this, fromRow, toRow);
    const bool beyond = beyondRows(*this, toRow);
    return reportedWalk(*this, fromRow, report, [&](const auto& reportRow) {
        double result = mode == 0 ? 0 : calcValue(c, fromRow, beyond);
        for (int r = fromRow; r <= toRow; ++r) {
            if (!calcCounts(c, r, beyond))
                continue;
            reportRow(r);
            try {
                result = fold(mode, result, calcValue(c, r, beyond));
            } catch (const platform::EExtGridError&) {
            }
        }
        return result;
    });
}

double TExtStringGrid::ColumnSum(int c, int fromRow, int toRow) { return columnFold(c, fromRow, toRow, 0); }

double TExtStringGrid::ColumnAvg(int c, int fromRow, int toRow)
{
    dataRows(*this, fromRow, toRow);
    if (toRow < fromRow)
        return 0;
    return ColumnSum(c, fromRow, toRow) / (toRow - fromRow + 1);
}

double TExtStringGrid::ColumnMin(int c, int fromRow, int toRow) { return columnFold(c, fromRow, toRow, 1); }

double TExtStringGrid::ColumnMax(int c, int fromRow, int toRow) { return columnFold(c, fromRow, toRow, 2); }

double TExtStringGrid::ColumnStdDev(int c, int fromRow, int toRow)
{
    dataRows(*this, fromRow, toRow);
    // An empty range has no spread (the formula would divide by zero).
    if (toRow < fromRow)
        return 0;
    const bool beyond = beyondRows(*this, toRow);
    // One report for the whole calculation: the average's walk runs quietly.
    return reportedWalk(*this, fromRow, true, [&](const auto& reportRow) {
        const double avg = columnFold(c, fromRow, toRow, 0, false) / (toRow - fromRow + 1);
        double sum = 0;
        for (int r = fromRow; r <= toRow; ++r) {
            reportRow(r);
            const double d = calcValue(c, r, beyond) - avg;
            sum += d * d;
        }
        return std::sqrt(sum / (toRow - fromRow + 1));
    });
}

double TExtStringGrid::ColumnDistinct(int c, int fromRow, int toRow)
{
    dataRows(*this, fromRow, toRow);
    const bool beyond = beyondRows(*this, toRow);
    return reportedWalk(*this, fromRow, true, [&](const auto& reportRow) {
        QSet<QString> seen;
        for (int r = fromRow; r <= toRow; ++r) {
            reportRow(r);
            seen.insert((beyond ? AllCells(c, r) : Cells(c, r)).toUpper());
        }
        return double(seen.size());
    });
}

double TExtStringGrid::ColumnCustomCalc(int c, int fromRow, int toRow)
{
    dataRows(*this, fromRow, toRow);
    double res = 0;
    if (OnColumnCalc)
        OnColumnCalc(this, c, fromRow, toRow, res);
    return res;
}

// --- a row's columns -----------------------------------------------------------------------------------------

double TExtStringGrid::rowFold(int r, int fromCol, int toCol, int mode)
{
    double result = mode == 0 ? 0 : Floats(fromCol, r);
    for (int c = fromCol; c <= toCol; ++c) {
        if (!IsBaseCell(c, r))
            continue;
        try {
            result = fold(mode, result, Floats(c, r));
        } catch (const platform::EExtGridError&) {
        }
    }
    return result;
}

double TExtStringGrid::RowSum(int r, int fromCol, int toCol) { return rowFold(r, fromCol, toCol, 0); }

double TExtStringGrid::RowAvg(int r, int fromCol, int toCol)
{
    if (toCol < fromCol)
        return 0;
    return RowSum(r, fromCol, toCol) / (toCol - fromCol + 1);
}

double TExtStringGrid::RowMin(int r, int fromCol, int toCol) { return rowFold(r, fromCol, toCol, 1); }

double TExtStringGrid::RowMax(int r, int fromCol, int toCol) { return rowFold(r, fromCol, toCol, 2); }

// --- groups --------------------------------------------------------------------------------------------------

void TExtStringGrid::GroupCalc(int c, int method)
{
    int r = FixedRows();
    while (r < RowCount()) {
        if (!IsNode(r) || GetNodeState(r)) {
            ++r;
            continue;
        }
        const int h = r;
        const int s = std::max(1, nodeEndDisplay(h) - h);
        const int target = Grouping.Summary ? h + s : h;
        const int from = h + 1, to = h + s - 1;
        r = h + s;
        if (target >= RowCount())
            continue;
        // With summary rows the result belongs in the group's summary row; the row after a node
        // without one (the next group's header, the footer, a data row below an application's
        // node) holds data that must not be overwritten.
        if (Grouping.Summary && !IsSummary(target))
            continue;
        switch (method) {
        case 1:
            SetFloats(c, target, ColumnSum(c, from, to));
            break;
        case 2:
            SetFloats(c, target, ColumnAvg(c, from, to));
            break;
        case 3:
            SetFloats(c, target, ColumnMin(c, from, to));
            break;
        case 4:
            SetFloats(c, target, ColumnMax(c, from, to));
            break;
        case 5:
            SetInts(c, target, s - 1);
            break;
        case 6: {
            double res = 0;
            if (OnGroupCalc)
                OnGroupCalc(this, c, from, to, res);
            SetFloats(c, target, res);
            break;
        }
        case 7:
            SetFloats(c, target, ColumnDistinct(c, from, to));
            break;
        case 8:
            SetFloats(c, target, ColumnStdDev(c, from, to));
            break;
        default:
            break;
        }
    }
}

static void footerCalc(TExtStringGrid& g, int c, TColumnCalcType type)
{
    if (g.FloatingFooter.Visible)
        g.FloatingFooter.SetColumnCalc(c, type);
}

void TExtStringGrid::GroupSum(int c)
{
    GroupCalc(c, 1);
    footerCalc(*this, c, acSUM);
}

void TExtStringGrid::GroupAvg(int c)
{
    GroupCalc(c, 2);
    footerCalc(*this, c, acAVG);
}

void TExtStringGrid::GroupMin(int c)
{
    GroupCalc(c, 3);
    footerCalc(*this, c, acMIN);
}

void TExtStringGrid::GroupMax(int c)
{
    GroupCalc(c, 4);
    footerCalc(*this, c, acMAX);
}

void TExtStringGrid::GroupCount(int c)
{
    GroupCalc(c, 5);
    footerCalc(*this, c, acCOUNT);
}

// --- the footer row --------------------------------------------------------------------------------------------

void TExtStringGrid::CalcFooter(int c)
{
    if (m_isGrouping)
        return;
    CalcFooterCells(c);
}

void TExtStringGrid::CalcFooterCells(int col)
{
    const TFloatingFooter& f = FloatingFooter;
    if (!f.Visible || f.FooterStyle != fsFixedLastRow || !f.EnableCalculation || RowCount() < 1)
        return;
    const int first = col == -1 ? 0 : col;
    const int last = col == -1 ? ColCount() + NumHiddenColumns() - 1 : col;
    const int L = RowCount() - 1;
    const int h = f.CalculateHiddenRows ? NumHiddenRows() : 0;
    const int fr = FixedRows();
    for (int c = first; c <= last && c < TotalColCount(); ++c) {
        if (c < 0 || !HasCellProperties(c, L))
            continue;
        // A footer that cannot be computed (a text where a number must stand) keeps its old
        // value: the footer follows every change of the grid and must not stop it.
        try {
            switch (GetGridObject(c, L)->CalcType) {
            case acSUM:
                SetFloats(c, L, ColumnSum(c, fr, L - 1 + h));
                break;
            case acAVG:
                SetFloats(c, L, ColumnAvg(c, fr, L - 1 + h));
                break;
            case acCOUNT:
                SetInts(c, L, L - fr + h);
                break;
            case acMIN:
                SetFloats(c, L, ColumnMin(c, fr, L - 1 + h));
                break;
            case acMAX:
                SetFloats(c, L, ColumnMax(c, fr, L - 1 + h));
                break;
            case acCUSTOM: {
                QString value;
                if (OnFooterCalc)
                    OnFooterCalc(this, c, L + h, value);
                else if (FloatingFooter.OnCalcFooter)
                    FloatingFooter.OnCalcFooter(&FloatingFooter, c, L + h, value);
                SetCells(c, L, value);
                break;
            }
            case acDISTINCT:
                SetFloats(c, L, ColumnDistinct(c, fr, L - 1 + h));
                break;
            case acSTDDEV:
                SetFloats(c, L, ColumnStdDev(c, fr, L - 1 + h));
                break;
            case acNONE:
            case acSPREAD:
                break;
            }
        } catch (const platform::EExtGridError&) {
        }
    }
    UpdateFooter();
}

// --- numbering -----------------------------------------------------------------------------------------------

void TExtStringGrid::AutoNumberCol(int c)
{
    if (RowCount() <= 0)
        return;
    const int last = RowCount() - FixedFooters() - 1;
    for (int r = FixedRows() + AutoNumberStart; r <= last; ++r) {
        const int n = r - FixedRows() + 1 + AutoNumberOffset;
        if (AutoNumberDirection == sdAscending)
            SetInts(c, r, n);
        else
            SetInts(c, FixedRows() + (RowCount() - 1 - FixedFooters() - r), n);
    }
}

void TExtStringGrid::AutoNumberRow(int r)
{
    if (ColCount() <= 0)
        return;
    const int last = ColCount() - FixedRightCols() - 1;
    for (int c = FixedCols() + AutoNumberStart; c <= last; ++c) {
        const int n = c - FixedCols() + 1 + AutoNumberOffset;
        if (AutoNumberDirection == sdAscending)
            SetInts(c, r, n);
        else
            SetInts(FixedCols() + (ColCount() - 1 - FixedRightCols() - c), r, n);
    }
}

} // namespace controls::grid
