#pragma once
// The rules of the cell editors that depend on nothing but their inputs: which editor kinds are
// edited as text, what a typed character does in the text editor of each kind, what a pasted
// text becomes, where an advance after an edit goes, and which keys leave the combo editor.
#include "platform/grid/StringGrid.h" // before GridLists.h, whose links hold grid pointers
#include "controls/grid/base/GridLists.h"
#include "controls/grid/base/GridTypes.h"

#include <QChar>
#include <QString>
#include <optional>

namespace controls::grid {

// edNormal, edNumeric, edPositiveNumeric, edFloat, edCapital, edMixedCase, edPassword,
// edLowerCase, edUpperCase, edValidChars and edPositiveFloat: the kinds the text editor edits.
bool IsTextEditorKind(TEditorType kind);
// edSpinEdit, edFloatSpinEdit, edTimeSpinEdit and edDateSpinEdit: the kinds with spin buttons.
bool IsSpinKind(TEditorType kind);

// What the text editor does with a typed character.
enum class TCharAction {
    Pass,   // handed to the edit control (the character may have been changed, e.g. upper-cased)
    Refuse, // dropped with a beep
    Drop,   // dropped silently
};

// The editor's state when the character arrives.
struct TCharContext {
    QString text;      // the editor's text
    int selStart = 0;  // caret, or start of the selection
    int selLength = 0; // length of the selection
    bool ctrl = false; // Ctrl held
    QChar decimalSeparator = u'.';
    QChar thousandSeparator = u',';
    QString validChars; // the grid's ValidChars (edValidChars)
    // The grid's own set of valid characters (codes 0..255) used when validChars is empty.
    QString validCharSet;
};

// The character filter of a text editor kind (Backspace 8, Tab 9, Enter 13, Escape 27 are the
// control characters every filter knows). ch may be changed (case conversion).
TCharAction FilterEditorChar(TEditorType kind, QChar& ch, const TCharContext& ctx);

// What a paste of clipboard text s into the editor's text at the selection gives for a kind:
// the new editor text, or nothing when the kind refuses it. A single line break at the very end
// of s is dropped first. limit <= 0 means no length limit; a text longer than the limit is refused.
std::optional<QString> PastedEditorText(TEditorType kind, const QString& editorText, int selStart, int selLength,
                                        QString s, int limit, const QString& validChars);

// The grid's shape as an advance after an edit sees it.
struct TAdvanceGrid {
    int ColCount = 0;
    int RowCount = 0;
    int FixedCols = 0;
    int FixedRows = 0;
    int FixedFooters = 0;
    int FixedRightCols = 0;
    int VisibleFixedRightCols = 0;
    int FirstNavigableCol = 0;
    int LastDataRow() const { return RowCount - FixedFooters - 1; }
};

enum class TAdvanceAction {
    Move,      // go to (Col, Row)
    Stay,      // the cell stays
    AddRow,    // ask for and add a row at the end, then go to (Col, Row) (Row is the new row)
    AddColumn, // add a column at the end, then go to (Col, Row)
};

struct TAdvanceStep {
    int Col = 0;
    int Row = 0;
    TAdvanceAction Action = TAdvanceAction::Stay;
    bool Repaint = false; // the whole grid repaints (top-to-bottom walks that wrapped)
    bool operator==(const TAdvanceStep&) const = default;
};

// One step of the advance from (col, row), whose merged span covers spanX further columns.
TAdvanceStep AdvanceStep(const TAdvanceGrid& g, int col, int row, int spanX, TAdvanceDirection direction,
                         bool forward, bool advanceInsert, bool advanceOnEnterLoop);

// Whether a key leaves the combo editor: with a pick list or an open list Tab, Enter, Esc, Left and
// Right; otherwise Tab, Enter, Esc, Page Up, Page Down, End, Up and Down.
bool ComboKeyLeaves(quint16 key, bool listStyleOrDropped);

} // namespace controls::grid
