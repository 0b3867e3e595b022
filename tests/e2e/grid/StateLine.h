#pragma once
// Files a test window writes for its end-to-end script. Each is written whole (a temporary file
// renamed over it), so that a script polling it never reads half of it.
//
// The state line a test window keeps in "state.txt" for its end-to-end script, rewritten whole
// (a temporary file renamed over it) whenever it changes, so that a script waits for what it
// needs instead of pausing: "cell <col> <row> focus <class> popup <0|1> text <text>", the text
// being that of the focused editor (a line or plain-text edit, a combo box), "-" for another
// control.
#include "controls/grid/column/ColumnGrid.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSaveFile>
#include <QTimer>

inline bool WriteWhole(const QString& name, const QString& text)
{
    QSaveFile f(name);
    return f.open(QIODevice::WriteOnly) && f.write(text.toUtf8()) >= 0 && f.commit();
}

// Rows 0..lastRow of columns 0..cols-1, tab-separated, a line per row: the file a script reads
// back after closing a window.
template <class CellText>
QString CellLines(int lastRow, int cols, CellText cellText)
{
    QString text;
    for (int r = 0; r <= lastRow; ++r) {
        QStringList cells;
        for (int c = 0; c < cols; ++c)
            cells << cellText(c, r);
        text += cells.join(u'\t') + u'\n';
    }
    return text;
}

class StateLine : public QObject {
public:
    explicit StateLine(controls::grid::TExtColumnGrid* grid) : QObject(grid), m_grid(grid)
    {
        auto* watch = new QTimer(this);
        connect(watch, &QTimer::timeout, this, [this]() { write(); });
        watch->start(20);
    }

private:
    static QString focusText(QWidget* focus)
    {
        if (const auto* edit = qobject_cast<const QLineEdit*>(focus))
            return edit->text();
        if (const auto* plain = qobject_cast<const QPlainTextEdit*>(focus))
            return plain->toPlainText();
        if (const auto* combo = qobject_cast<const QComboBox*>(focus))
            return combo->currentText();
        return QStringLiteral("-");
    }

    void write()
    {
        QWidget* focus = QApplication::focusWidget();
        const QString now = QStringLiteral("cell %1 %2 focus %3 popup %4 text %5\n")
                                .arg(m_grid->col())
                                .arg(m_grid->row())
                                .arg(QString::fromLatin1(focus ? focus->metaObject()->className() : "none"))
                                .arg(QApplication::activePopupWidget() ? 1 : 0)
                                .arg(focusText(focus));
        if (now == m_last)
            return;
        if (WriteWhole(QStringLiteral("state.txt"), now))
            m_last = now;
    }

    controls::grid::TExtColumnGrid* m_grid;
    QString m_last;
};
