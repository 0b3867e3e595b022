// Grouping on the column grid: the column items follow the cell columns, and the grouped
// column's own item comes back when the grouping is undone.
#include "controls/grid/column/ColumnGrid.h"

namespace controls::grid {

void TExtColumnGrid::Group(int colIndex)
{
    if (GroupColumn() != -1)
        UnGroup();
    if (colIndex < 0 || colIndex >= m_columns->Count()) {
        TExtStringGridAux::Group(colIndex);
        return;
    }
    // The removal of the column takes a stand-in item; the real one waits for UnGroup.
    std::unique_ptr<TGridColumnItem> item = m_columns->TakeAt(colIndex);
    m_columns->InsertAt(colIndex, std::make_unique<TGridColumnItem>(m_columns.get()));
    TExtStringGridAux::Group(colIndex);
    if (GroupColumn() == colIndex) {
        m_groupItem = std::move(item);
        return;
    }
    m_columns->TakeAt(colIndex);
    m_columns->InsertAt(colIndex, std::move(item));
}

void TExtColumnGrid::UnGroup()
{
    const int col = GroupColumn();
    TExtStringGridAux::UnGroup();
    if (m_groupItem && col >= 0 && col < m_columns->Count()) {
        m_columns->TakeAt(col);
        m_columns->InsertAt(col, std::move(m_groupItem));
    }
    m_groupItem.reset();
}

} // namespace controls::grid
