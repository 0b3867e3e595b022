// The program started as main.cpp starts it, in the folder given as the first argument (its
// MASTER, PROJECTS and LANGUAGE folders are made there), reporting when the main window is up.
#include "app/Program.h"
#include "app/VarnetoreFirmWare.h"
#include "app/StartProbe.h"
#include "platform/ui/Application.h"
#include "platform/ui/Controls.h"

#include <QApplication>
#include <QString>

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    const QString folder = QString::fromLocal8Bit(argv[1]);
    platform::Application application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Varnetor"));
    QApplication::setFont(platform::uiFont(QStringLiteral("Verdana"), 8));
    app::Program program(folder);
    new bench_app::ReportFirstPaint(&program.mainWindow());
    program.mainWindow().show();
    return QApplication::exec();
}
