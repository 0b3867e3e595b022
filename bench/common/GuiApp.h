#pragma once
// The application object the drawing benchmarks need, on the offscreen platform, made on first
// use and kept to the end of the process: an application destroyed by the exit handlers would
// outlive the platform plugin it uses.
#include <QApplication>
#include <QByteArray>

namespace bench_common {

inline void ensureGuiApp()
{
    static QApplication* app = nullptr;
    if (!app) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "bench";
        static char* argv[] = {name, nullptr};
        app = new QApplication(argc, argv);
    }
}

} // namespace bench_common
