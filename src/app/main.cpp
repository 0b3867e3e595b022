#include <QApplication>
#include <QCoreApplication>

#include "app/Program.h"
#include "app/VarnetoreFirmWare.h"
#include "platform/ui/Application.h"
#include "platform/ui/Controls.h"

int main(int argc, char** argv)
{
    // Its event delivery shows any error that escapes a window's handler and goes on.
    platform::Application application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Varnetor"));
    QApplication::setFont(platform::uiFont(QStringLiteral("Verdana"), 8));
    app::Program program(QCoreApplication::applicationDirPath());
    program.mainWindow().show();
    return QApplication::exec();
}
