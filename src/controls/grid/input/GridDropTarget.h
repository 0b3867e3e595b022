#pragma once
// The string grid as a drop target: where a drop lands (the cell under the mouse, or below the
// last row to append), the drop arrows, auto-scrolling at the edges, and what each kind of
// content does: text is pasted as TAB/line text (rows inserted first with OleInsertRows), the
// grid's cells are placed with their first cell at the target, RTF and URLs become the cell's
// text, a single dropped file whose name holds ".CSV" is loaded as CSV (".XLS" as a worksheet),
// and a dropped column moves to the target position (a hidden column dragged from a list is
// shown there). The grid's OnOleDrop... events may refuse each step.
#include "platform/exchange/DropTarget.h"

#include <QPointer>
#include <functional>

namespace controls::grid {

class TExtStringGridInput;
class TArrowWindow;

class TGridDropTarget : public platform::DropTarget {
public:
    explicit TGridDropTarget(TExtStringGridInput* grid);
    ~TGridDropTarget() override;
    // Whether a drop arrow shows (for tests), and hiding them all (the end of a drag).
    bool ArrowsShown() const;
    void HideArrows() { hideArrows(); }

protected:
    void DropText(QPoint screen, const QString& text) override;
    void DropStream(QPoint screen, const QByteArray& stream) override;
    void DropCol(QPoint screen, int col) override;
    void DropRTF(QPoint screen, const QString& rtf) override;
    void DropFiles(QPoint screen, const QStringList& files) override;
    void DropURL(QPoint screen, const QString& url) override;
    void DragMouseMove(QPoint screen, bool& allow, platform::DropFormats formats) override;
    void DragMouseLeave() override;

private:
    // The cell under a screen point; append is set for a point below the last row.
    void target(QPoint screen, int& col, int& row, bool& append) const;
    void hideArrows();
    // RTF and URL drops: the text becomes the text of the cell under the point, unless the event
    // refuses it.
    void intoCell(QPoint screen, const QString& text,
                  const std::function<void(TExtStringGridInput*, int, int, const QString&, bool&)>& event);
    TExtStringGridInput* m_grid;
    QPointer<TArrowWindow> m_arwL, m_arwD, m_arwU;
};

} // namespace controls::grid
