#pragma once
// The look-up rules of the list drop-downs (detail, multi-column and grid drop-downs): type-ahead
// completion of the edit text from a list of entries, the step keys through the items, the popup
// height that shows whole rows only, and the column widths that follow the popup's width.
#include <QString>
#include <QStringList>
#include <vector>

namespace controls::grid::dropdown {

// The result of completing a typed text.
struct TCompletion {
    bool matched = false;  // an entry begins with the typed part
    int index = -1;        // that entry
    QString text;          // the new text: the typed part as typed, then the rest of the entry
    int keyLength = 0;     // length of the typed part (the completed tail starts here)
    bool cutBack = false;  // no entry matched: the text is cut back to the typed part
};
// The text before the caret, compared without case unless matchCase, against the entries in
// order; an empty typed part matches nothing. At most 255 characters of an entry's tail are taken.
TCompletion CompleteText(const QString& text, int caret, const QStringList& entries, bool matchCase);

// The first entry that begins with s (without case unless caseSensitive); -1 when none.
int FindEntryStartingWith(const QStringList& entries, const QString& s, bool caseSensitive);
// The first entry equal to s, ignoring case; -1 when none.
int IndexOfIgnoringCase(const QStringList& entries, const QString& s);

// Step keys: Down, Up, Page Down (ten on), Page Up (ten back); from no item each goes to item 0.
// -1 when there is nothing to step to.
int StepNext(int index, int count);
int StepPrevious(int index, int count);
int StepPageDown(int index, int count);
int StepPageUp(int index, int count);

// The popup height that shows only whole rows below the header row: the bars' heights, the header
// row, whole item rows of the rest, and `extra` (2 for the multi-column list, 6 for the grid).
int WholeRowsPopupHeight(int proposed, int barsHeight, int headerHeight, int rowHeight, int extra);
// Column widths scaled to fill `width`, the rounding carried from column to column.
std::vector<int> ScaleColumnWidths(const std::vector<int>& widths, int width);

} // namespace controls::grid::dropdown
