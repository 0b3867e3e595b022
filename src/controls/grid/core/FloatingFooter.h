#pragma once
// TFooterPanel: the strip of the floating footer along the bottom of a string grid, below its
// scrolled rows (the grid keeps a viewport margin for it). It paints by the footer's style: the
// grid's last row aligned with the columns (fsFixedLastRow), one cell of the current row
// (fsColumnPreview), a template filled from the current row (fsCustomPreview) or only what the
// grid's OnPaintFooter paints (fsCustomPaint); then the footer's top border line. A click tells
// the grid the column under it; hints ask the grid's OnGridHint for the last row's cell.
//
// The parts that need no window are plain functions: the template expansion and the column
// under an x position.
#include "platform/draw/Canvas.h"

#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>

namespace controls::grid {

class TExtStringGrid;

// "<#n>" stands for cellText(n); a tag whose n is no integer gives nothing; the text between
// tags is kept. A "<#" without a closing ">" takes the rest of the template as its tag.
QString ExpandFooterTemplate(const QString& tmpl, const std::function<QString(int col)>& cellText);

class TFooterPanel : public QWidget {
public:
    explicit TFooterPanel(TExtStringGrid* grid);
    TExtStringGrid* Grid() const { return m_grid; }
    // The column under client x: the fixed columns, then the columns from the grid's left
    // column; -1 beyond the last column.
    int ColumnAt(int x) const;
    // The painted width W: the fixed columns plus the columns from the left column on.
    int FooterWidth() const;
    // The column of the last hint, -1 when none.
    int LastHintX() const { return m_lastHintX; }
    // The hint the panel would show at x (empty when none is shown); asks OnGridHint.
    QString HintAt(int x);
    // Paints onto any canvas of the panel's size (the paint event draws through this).
    void PaintTo(platform::Canvas& canvas);
    // Places the strip at the bottom of the grid's viewport.
    void Place();

protected:
    void paintEvent(QPaintEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void leaveEvent(QEvent* e) override;
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    int paintFixedLastRow(platform::Canvas& canvas);
    int paintPreview(platform::Canvas& canvas, bool custom);
    TExtStringGrid* m_grid;
    QPointer<QWidget> m_viewport;
    int m_lastHintX = -1;
};

} // namespace controls::grid
