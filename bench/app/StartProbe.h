#pragma once
// What both start-up probes do once their window is up: when the window has been painted for
// the first time, write "shown <width> <height>" to the standard output and end at once (the
// tear-down is no part of the start-up). The benchmark times from starting the process to
// reading that line.
#include <QEvent>
#include <QObject>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <unistd.h>

namespace bench_app {

class ReportFirstPaint final : public QObject {
public:
    explicit ReportFirstPaint(QWidget* window) : QObject(window), window_(window) { window->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if (watched == window_ && e->type() == QEvent::Paint && !reported_) {
            reported_ = true;
            // After the paint has run its course.
            QTimer::singleShot(0, window_, [w = window_] {
                char line[64];
                const int n = std::snprintf(line, sizeof line, "shown %d %d\n", w->width(), w->height());
                if (n > 0 && ::write(1, line, size_t(n)) < 0)
                    _exit(2);
                _exit(0);
            });
        }
        return false;
    }

private:
    QWidget* window_;
    bool reported_ = false;
};

} // namespace bench_app
