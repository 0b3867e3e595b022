#include "controls/grid/edit/EditRules.h"

#include "controls/grid/util/ExtUtil.h"
#include "platform/grid/Keys.h"

#include <algorithm>

namespace controls::grid {

bool IsTextEditorKind(TEditorType kind)
{
    switch (kind) {
    case edNormal:
    case edNumeric:
    case edPositiveNumeric:
    case edFloat:
    case edCapital:
    case edMixedCase:
    case edPassword:
    case edLowerCase:
    case edUpperCase:
    case edValidChars:
    case edPositiveFloat:
        return true;
    default:
        return false;
    }
}

bool IsSpinKind(TEditorType kind)
{
    return kind == edSpinEdit || kind == edFloatSpinEdit || kind == edTimeSpinEdit || kind == edDateSpinEdit;
}

namespace {

bool isControlChar(char16_t c) { return c == 8 || c == 9 || c == 13 || c == 27; }
bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

} // namespace

TCharAction FilterEditorChar(TEditorType kind, QChar& ch, const TCharContext& ctx)
{
    const char16_t c = ch.unicode();
    switch (kind) {
    case edNormal:
    case edPassword:
        return TCharAction::Pass;
    case edNumeric:
        if (isControlChar(c) || isDigit(c))
            return TCharAction::Pass;
        if (c == u'-')
            return !ctx.text.contains(u'-') && ctx.selStart == 0 ? TCharAction::Pass : TCharAction::Refuse;
        return TCharAction::Refuse;
    case edPositiveNumeric:
        return isControlChar(c) || isDigit(c) ? TCharAction::Pass : TCharAction::Refuse;
    case edFloat:
    case edPositiveFloat: {
        const bool known = isControlChar(c) || isDigit(c) || c == u',' || c == u'.' || (c == u'-' && kind == edFloat);
        if (!known)
            return ctx.ctrl ? TCharAction::Pass : TCharAction::Drop;
        const QString selected = ctx.text.mid(ctx.selStart, ctx.selLength);
        if (ch == ctx.decimalSeparator && ctx.text.contains(ctx.decimalSeparator)
            && !selected.contains(ctx.decimalSeparator))
            return TCharAction::Drop;
        if (ch == ctx.thousandSeparator)
            return TCharAction::Drop;
        if (c == u'-' && (ctx.selStart != 0 || ctx.text.contains(u'-')) && !selected.contains(u'-'))
            return TCharAction::Refuse;
        return TCharAction::Pass;
    }
    case edCapital:
    case edUpperCase:
        ch = ch.toUpper();
        return TCharAction::Pass;
    case edLowerCase:
        ch = ch.toLower();
        return TCharAction::Pass;
    case edMixedCase:
        return TCharAction::Pass;
    case edValidChars:
        if (c == 8 || c == 13)
            return TCharAction::Pass;
        if (!ctx.validChars.isEmpty())
            return ctx.validChars.contains(ch) ? TCharAction::Pass : TCharAction::Refuse;
        return c <= 255 && ctx.validCharSet.contains(ch) ? TCharAction::Pass : TCharAction::Refuse;
    default:
        return TCharAction::Drop;
    }
}

std::optional<QString> PastedEditorText(TEditorType kind, const QString& editorText, int selStart, int selLength,
                                        QString s, int limit, const QString& validChars)
{
    // A line break that only ends the copied text (a copied cell) is not pasted.
    const int lineBreak = int(s.indexOf(QStringLiteral("\r\n")));
    if (lineBreak >= 0 && lineBreak == s.size() - 2)
        s.chop(2);
    if (limit > 0 && s.size() > limit)
        return std::nullopt;
    const int start = std::clamp(selStart, 0, int(editorText.size()));
    const int length = std::clamp(selLength, 0, int(editorText.size()) - start);
    QString n = editorText;
    n.replace(start, length, s);
    if (limit > 0 && n.size() > limit)
        return std::nullopt;
    switch (kind) {
    case edNumeric:
    case edPositiveNumeric:
        if (DetectNumberType(n) != 0 || (kind == edPositiveNumeric && n.contains(u'-')))
            return std::nullopt;
        return n;
    case edFloat:
    case edPositiveFloat: {
        const int type = DetectNumberType(n);
        if ((type != 0 && type != 1) || (kind == edPositiveFloat && n.contains(u'-')))
            return std::nullopt;
        return n;
    }
    case edMixedCase:
        return ProperCase(n);
    case edLowerCase:
        return n.toLower();
    case edUpperCase:
        return n.toUpper();
    case edValidChars:
        for (QChar c : n)
            if (!validChars.contains(c))
                return std::nullopt;
        return n;
    default:
        return n;
    }
}

TAdvanceStep AdvanceStep(const TAdvanceGrid& g, int col, int row, int spanX, TAdvanceDirection direction,
                         bool forward, bool advanceInsert, bool advanceOnEnterLoop)
{
    TAdvanceStep s{col, row, TAdvanceAction::Move, false};
    const int lastDataRow = g.LastDataRow();
    if (forward) {
        if (direction == adLeftRight || direction == adLeftRightInRow) {
            if (col + spanX < g.ColCount - g.VisibleFixedRightCols - 1) {
                s.Col = col + spanX + 1;
            } else if (direction == adLeftRightInRow) {
                if (advanceOnEnterLoop)
                    s.Col = g.FirstNavigableCol;
                else
                    s.Action = TAdvanceAction::Stay;
            } else if (row + 1 != g.RowCount - g.FixedFooters) {
                s.Row = row + 1;
                s.Col = g.FirstNavigableCol;
            } else if (advanceInsert) {
                s.Col = g.FirstNavigableCol;
                s.Row = row + 1;
                s.Action = TAdvanceAction::AddRow;
            } else if (advanceOnEnterLoop) {
                s.Row = g.FixedRows;
                s.Col = g.FirstNavigableCol;
            } else {
                s.Action = TAdvanceAction::Stay;
            }
            return s;
        }
        // Down the column.
        if (row != lastDataRow) {
            s.Row = row + 1;
            return s;
        }
        if (direction == adTopBottomInCol) {
            s.Row = g.FixedRows;
            return s;
        }
        s.Repaint = true;
        if (col + 1 != g.ColCount - g.FixedRightCols) {
            s.Row = g.FixedRows;
            s.Col = col + 1 >= g.ColCount ? g.FirstNavigableCol : col + 1;
        } else if (advanceInsert) {
            s.Col = col + spanX + 1;
            s.Row = g.FixedRows;
            s.Action = TAdvanceAction::AddColumn;
        } else {
            s.Row = g.FixedRows;
            s.Col = g.FirstNavigableCol;
        }
        return s;
    }
    // Backward: only the two plain directions move.
    if (direction == adLeftRight) {
        if (col > g.FirstNavigableCol) {
            s.Col = col - 1;
        } else {
            s.Col = g.ColCount - g.FixedRightCols - 1;
            s.Row = row == g.FixedRows ? lastDataRow : row - 1;
        }
        return s;
    }
    if (direction == adTopBottom) {
        if (row > g.FixedRows) {
            s.Row = row - 1;
        } else {
            s.Row = lastDataRow;
            s.Col = col == g.FirstNavigableCol ? g.ColCount - g.FixedRightCols - 1 : col - 1;
        }
        return s;
    }
    s.Action = TAdvanceAction::Stay;
    return s;
}

bool ComboKeyLeaves(quint16 key, bool listStyleOrDropped)
{
    using namespace platform;
    if (listStyleOrDropped)
        return key == VK_TAB || key == VK_RETURN || key == VK_ESCAPE || key == VK_LEFT || key == VK_RIGHT;
    return key == VK_TAB || key == VK_RETURN || key == VK_ESCAPE || key == VK_PRIOR || key == VK_NEXT
           || key == VK_END || key == VK_UP || key == VK_DOWN;
}

} // namespace controls::grid
