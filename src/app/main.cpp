#include <QApplication>
#include <QCoreApplication>

#include "app/Program.h"
#include "app/VarnetoreFirmWare.h"
#include "platform/ui/Controls.h"

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Varnetor"));
    QApplication::setFont(platform::uiFont(QStringLiteral("Verdana"), 8));
    app::Program program(QCoreApplication::applicationDirPath());
    program.mainWindow().show();
    return QApplication::exec();
}
