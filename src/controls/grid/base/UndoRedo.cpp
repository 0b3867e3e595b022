#include "controls/grid/base/UndoRedo.h"

#include "controls/grid/base/BaseGrid.h"

namespace controls::grid {

TExtGridUndoRedo::TExtGridUndoRedo(QObject* owner) : QObject(owner) {}

void TExtGridUndoRedo::append(TUndoRedoItem item)
{
    if (MaxLevel > 0 && Count() >= MaxLevel)
        m_items.erase(m_items.begin());
    m_items.push_back(std::move(item));
    m_level = Count();
}

void TExtGridUndoRedo::RegisterChange(int col, int row, const QString& oldValue, const QString& newValue)
{
    TUndoRedoItem item;
    item.Col = col;
    item.Row = row;
    item.Value = newValue;
    item.OrigValue = oldValue;
    append(std::move(item));
}

void TExtGridUndoRedo::StartSequence()
{
    TUndoRedoItem item;
    item.SequenceStart = true;
    m_items.push_back(item);
    m_level = Count();
}

void TExtGridUndoRedo::StopSequence()
{
    TUndoRedoItem item;
    item.SequenceStop = true;
    m_items.push_back(item);
    m_level = Count();
}

void TExtGridUndoRedo::writeBack(const TUndoRedoItem& item, const QString& text, const UndoRedoEvent& event)
{
    TBaseGrid* grid = m_grid.data();
    if (event)
        event(this, grid, item.Col, item.Row, grid->GetCellEx(item.Col, item.Row), text);
    grid->SetCellEx(item.Col, item.Row, text);
    const int col = grid->DisplColIndex(item.Col);
    if (col >= 0 && col < grid->colCount() && item.Row >= 0 && item.Row < grid->rowCount()) {
        grid->setCol(col);
        grid->setRow(item.Row);
    }
}

void TExtGridUndoRedo::Undo()
{
    if (!m_grid || m_level <= 0 || m_level > Count())
        return;
    const TUndoRedoItem& top = m_items[size_t(m_level - 1)];
    if (top.SequenceStop) {
        --m_level;
        while (m_level > 0 && !m_items[size_t(m_level - 1)].SequenceStart) {
            const TUndoRedoItem& item = m_items[size_t(m_level - 1)];
            if (!item.isMarker())
                writeBack(item, item.OrigValue, OnUndo);
            --m_level;
        }
        if (m_level > 0)
            --m_level; // past the start marker
        m_grid->invalidate();
        return;
    }
    if (!top.isMarker()) {
        writeBack(top, top.OrigValue, OnUndo);
        m_grid->RepaintCell(m_grid->col(), top.Row);
    }
    --m_level;
}

void TExtGridUndoRedo::Redo()
{
    if (!m_grid || m_level >= Count() || m_level < 0)
        return;
    ++m_level;
    const TUndoRedoItem& item = m_items[size_t(m_level - 1)];
    if (item.SequenceStart) {
        ++m_level;
        while (m_level <= Count() && !m_items[size_t(m_level - 1)].SequenceStop) {
            const TUndoRedoItem& next = m_items[size_t(m_level - 1)];
            if (!next.isMarker())
                writeBack(next, next.Value, OnRedo);
            ++m_level;
        }
        if (m_level > Count())
            m_level = Count();
        m_grid->invalidate();
        return;
    }
    if (!item.isMarker())
        writeBack(item, item.Value, OnRedo);
}

void TExtGridUndoRedo::Reset()
{
    m_items.clear();
    m_level = 0;
}

} // namespace controls::grid
