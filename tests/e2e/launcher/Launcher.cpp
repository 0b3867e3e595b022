// The program of any device type, for the end-to-end runs only: the shipped program's device
// type is fixed when it is built, and building the whole tree once per type would cost CI far
// too much. This starts the very same program object after setting the type it is given
// (`varnetor_type <type>`); the libraries read the type at run time.
//
// `varnetor_type <type> --scan-gateway-port <port>` points the scan window at a stand-in
// gateway on that port of its address: on this machine the gateway cannot listen on the ports
// a real gateway uses, since the program listens on one of them itself.
#include <QApplication>
#include <QCoreApplication>
#include <QString>
#include <cstdio>

#include "app/Program.h"
#include "app/VarnetoreFirmWare.h"
#include "mbus/scan/window/UScanDecode.h"
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
    if (argc > 3 && QString::fromLocal8Bit(argv[2]) == QLatin1String("--scan-gateway-port")) {
        const uint port = QString::fromLocal8Bit(argv[3]).toUInt(&ok);
        if (!ok || port == 0 || port > 65535) {
            std::fprintf(stderr, "%s: not a port: %s\n", argv[0], argv[3]);
            return 2;
        }
        mbus::scan::ScanEnvironment env;
        env.wiredGatewayPort = static_cast<uint16_t>(port);
        env.wirelessGatewayPort = static_cast<uint16_t>(port);
        mbus::scan::setScanWindowEnvironment(env);
    }
    platform::Application application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Varnetor"));
    QApplication::setFont(platform::uiFont(QStringLiteral("Verdana"), 8));
    workspace::ws().Converter_Type = type;
    app::Program program(QCoreApplication::applicationDirPath());
    program.mainWindow().show();
    return QApplication::exec();
}
