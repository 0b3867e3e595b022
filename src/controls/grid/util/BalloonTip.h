#pragma once
// A balloon tip: a small window with an icon, a bold title and a text that points at a place
// on the screen, shows without taking the focus and hides by itself after a delay, when it is
// clicked or when Pop is called. The grid shows one for a refused value (its InvalidEntry
// texts) and, with Balloon.Enable, for the hints of its cells.
//
// Icons: 0 none, 1 information, 2 warning, 3 error; other values show none. A title longer than
// 100 characters is cut to 97 and "..." follows; a text is shown as given. Colours clNone keep
// the tool tip colours of the style.
#include "platform/draw/Color.h"

#include <QPoint>
#include <QString>
#include <QWidget>

namespace controls::grid {

class TBalloonTip : public QWidget {
public:
    explicit TBalloonTip(QWidget* owner = nullptr);

    // Shows the tip with its stem at `at` (screen coordinates).
    void ShowAt(QPoint at, const QString& title, const QString& text, int icon);
    // Shows it below the middle of a window.
    void ShowAtWindow(QWidget* window, const QString& title, const QString& text, int icon);
    void Pop();

    QString Title() const { return m_title; }
    QString Text() const { return m_text; }
    int Icon() const { return m_icon; }
    platform::Color TextColor = platform::clNone;
    platform::Color BackgroundColor = platform::clNone;
    int MaxTipWidth = 300;
    // Milliseconds until it hides by itself (0: stays).
    int AutoHideDelay = 5000;

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void timerEvent(QTimerEvent* e) override;

private:
    QString m_title;
    QString m_text;
    int m_icon = 0;
    int m_timer = 0;
};

// The balloon the grids of this process share.
TBalloonTip* GridBalloonTip();

} // namespace controls::grid
