#pragma once
// TExtGridUndoRedo records changes of cell texts of one grid and undoes and redoes them, singly
// or in sequences bracketed by StartSequence / StopSequence. Undo and redo write the recorded
// texts back through the grid's Cells, so merged cells, display hooks and repaints work as for
// any write, and make the changed cell the current one.
//
// Items 0 .. Level - 1 are done (can be undone), Level .. Count - 1 undone (can be redone). A
// new change is appended after all items, done or not, and makes every item done. MaxLevel > 0
// keeps at most that many items (the oldest goes first). Reset removes every item and the
// level with them.
//
// Markers (column and row -1) never write a cell: an undo or redo that meets a marker where it
// expects a change steps over it, and a sequence without its other marker (one still open, or
// one whose start fell off the MaxLevel limit) ends at the end of the list.
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <vector>

namespace controls::grid {

class TBaseGrid;

struct TUndoRedoItem {
    int Row = -1;
    int Col = -1;
    QString Value;     // the text after the change
    QString OrigValue; // the text before
    bool SequenceStart = false;
    bool SequenceStop = false;
    bool isMarker() const { return SequenceStart || SequenceStop; }
};

class TExtGridUndoRedo : public QObject {
public:
    // For undo and redo alike: the cell's current display text and the text about to be written.
    using UndoRedoEvent = std::function<void(TExtGridUndoRedo* sender, TBaseGrid* grid, int col, int row,
                                             const QString& origValue, const QString& newValue)>;

    explicit TExtGridUndoRedo(QObject* owner = nullptr);

    virtual void RegisterChange(int col, int row, const QString& oldValue, const QString& newValue);
    virtual void StartSequence();
    virtual void StopSequence();
    void Undo();
    void Redo();
    void Reset();
    bool CanUndo() const { return m_level > 0; }
    bool CanRedo() const { return m_level < Count(); }

    int Count() const { return int(m_items.size()); }
    const TUndoRedoItem& Items(int index) const { return m_items.at(size_t(index)); }
    int Level() const { return m_level; }
    void SetLevel(int level) { m_level = level; }
    int MaxLevel = 0;
    TBaseGrid* Grid() const { return m_grid.data(); }
    void SetGrid(TBaseGrid* grid) { m_grid = grid; }

    UndoRedoEvent OnUndo;
    UndoRedoEvent OnRedo;

private:
    void append(TUndoRedoItem item);
    void writeBack(const TUndoRedoItem& item, const QString& text, const UndoRedoEvent& event);

    std::vector<TUndoRedoItem> m_items;
    QPointer<TBaseGrid> m_grid;
    int m_level = 0;
};

} // namespace controls::grid
