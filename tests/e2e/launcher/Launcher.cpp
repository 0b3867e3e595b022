// The program of any device type, for the end-to-end runs only: the shipped program's device
// type is fixed when it is built, and building the whole tree once per type would cost CI far
// too much. This starts the very same program object after setting the type it is given
// (`varnetor_type <type>`); the libraries read the type at run time.
#include <QApplication>
#include <QCoreApplication>
#include <QString>
#include <cstdio>

#include "app/Program.h"
#include "app/VarnetoreFirmWare.h"
#include "platform/ui/Application.h"
#include "platform/ui/Controls.h"
#include "workspace/DeviceTypes.h"
#include "workspace/Workspace.h"

int main(int argc, char** argv)
{
    bool ok = false;
    const int type = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt(&ok) : 0;
    if (!ok || !workspace::layoutFor(type).known) {
        std::fprintf(stderr, "usage: %s <device type>\n", argv[0]);
        return 2;
    }
    platform::Application application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Varnetor"));
    QApplication::setFont(platform::uiFont(QStringLiteral("Verdana"), 8));
    workspace::ws().Converter_Type = type;
    app::Program program(QCoreApplication::applicationDirPath());
    program.mainWindow().show();
    return QApplication::exec();
}
