// A bare Qt window of the size given as the arguments (width, height), started and reported
// the same way as the program.
#include "app/StartProbe.h"

#include <QApplication>
#include <QWidget>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc < 3)
        return 2;
    const int width = std::atoi(argv[1]);
    const int height = std::atoi(argv[2]);
    QApplication application(argc, argv);
    QWidget window;
    window.resize(width, height);
    new bench_app::ReportFirstPaint(&window);
    window.show();
    return QApplication::exec();
}
