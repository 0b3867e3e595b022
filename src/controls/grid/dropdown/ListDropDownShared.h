#pragma once
// What the two list drop-downs with a grid in their popup (the multi-column list and the grid
// drop-down) share: their header, line and selection colours and sizes with the colour schemes
// of the component styles, the type-ahead completion of the edit from the look-up column, the
// widths and heights their columns and rows take, and the width of the popup's columns.
#include "controls/grid/dropdown/DropDownColumns.h"
#include "controls/grid/dropdown/ExtDropDown.h"
#include "controls/grid/dropdown/rules/DropDownStyles.h"

#include <QFont>
#include <QStringList>
#include <functional>

namespace platform {
class TStringGrid;
class TImageList;
} // namespace platform

namespace controls::grid::dropdown {

class TListDropDownLook {
public:
    bool CaseSensitive = false;
    bool ColumnSizing = false;
    int LookupColumn = 0;
    Color HeaderColorTo = 0x808080;
    Color HeaderColor = 0xFFFFFF;
    Color LineColor = 0xF1EDEB;
    Color FixedLineColor = 0xD1BBA4;
    int HeaderHeight = 25;
    QFont HeaderFont;
    Color HeaderFontColor = 0x000000;
    bool DropDownAutoWidth = true;
    bool ColumnSizeWithDropDown = true;
    Color SelectionTextColor = 0x000000;
    int DropDownRowHeight = 22;
    bool MatchCase = false;
    bool MatchStart = true;

protected:
    // The line and selection colours of a selection preset, before the drop-down's own preset.
    void ApplyListSelectionStyle(TExtCustomDropDown& d, TSelectionColorStyle style);
    // A component style's row of the colour table (the selection preset through the drop-down).
    void ApplyListGridStyle(TExtCustomDropDown& d, const TListGridStyleColors& r);
    void AssignLook(const TListDropDownLook& source) { *this = source; }
};

// Type-ahead completion of a list drop-down's edit from its look-up texts: the typed part stays
// as typed, the rest of the first entry that begins with it is added and selected; when the key
// is released the item's own letter case is taken. Backspace, Delete and Escape complete nothing.
class TListCompletion {
public:
    QStringList LookupItems;
    bool WorkMode = true;
    // After a change of the edit's text; itemIndex becomes the completed entry.
    void Changed(TExtCustomDropDown& d, bool matchCase, int& itemIndex);
    // On a key's release: true when a completion waits for the item's own case (index is the
    // entry, selStart where the completed tail starts).
    bool TakeRelease(int& index, int& selStart);
    void KeyPressed(quint16 key);

private:
    bool m_itemChange = false;
    int m_itemIdx = -1;
    int m_itemSel = 0;
};

// A turn of the wheel over a list drop-down's grid moves its row without choosing it.
template <typename Step>
bool WheelWithoutChoice(bool& wheelSelection, bool& confirmSelection, Step step)
{
    wheelSelection = true;
    confirmSelection = false;
    const bool handled = step();
    wheelSelection = false;
    return handled;
}

// The width a column of items takes: its widest text (and image) and 6 pixels.
int ItemsColumnWidth(const TDropDownColumn& column, int index, const TDropDownItems& items,
                     const platform::TImageList* images);
// Sizes the AutoSize columns (one, or all for index -1) to their items: the column's Width and
// setWidth(col, width).
void AutoSizeItemColumns(TDropDownColumns& columns, const TDropDownItems& items, const platform::TImageList* images,
                         int index, const std::function<void(int col, int width)>& setWidth);
bool HasWrappedColumn(const TDropDownColumns& columns);
// The height of a row with wrapped columns: at least 24, each wrapped column's text at its width
// and 6 pixels.
int WrappedRowHeight(const TDropDownColumns& columns, const std::function<int(int col)>& width,
                     const std::function<QString(int col)>& text);
// The width of a grid's columns, and of its scroll bar when not all rows show.
int GridTotalWidth(const platform::TStringGrid& grid, bool allRowsVisible);
// Scales the grid's first `count` columns to fill `width` (less a scroll bar when not all rows
// show).
void SizeGridColumnsTo(platform::TStringGrid& grid, int count, int width, bool allRowsVisible);

} // namespace controls::grid::dropdown
