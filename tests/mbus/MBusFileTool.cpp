// Reads an M-Bus project file with the program's reader and writes it again with its writer, so
// that a checker outside the program can compare both with its own reading of the formats.
//
//   mbus_file_tool network TYPE IN OUT           M_Bus.xml read and written for device type TYPE
//   mbus_file_tool devices TEMPLATE_DIR IN OUT   M_Bus_Custom_QV.xml read against the templates
//                                                of TEMPLATE_DIR and written again
//
// Exit status: 0 written, 3 the reader refused the file (its message on standard output), 4 the
// file could not be written, 2 bad arguments.
#include "mbus/DeviceList.h"
#include "mbus/MBusNetwork.h"
#include "platform/text/UserError.h"

#include <QCoreApplication>
#include <QString>
#include <cstdio>

namespace {

int usage()
{
    std::fputs("usage: mbus_file_tool network TYPE IN OUT | devices TEMPLATE_DIR IN OUT\n", stderr);
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 5)
        return usage();
    const QString& in = args[3];
    const QString& out = args[4];
    try {
        if (args[1] == QLatin1String("network")) {
            bool ok = false;
            const int32_t type = args[2].toInt(&ok);
            if (!ok)
                return usage();
            const mbus::MBusNetwork net = mbus::Read_MBus_Network(in, type);
            try {
                mbus::Write_MBus_Network(out, net, type);
            } catch (const platform::UserError& e) {
                std::printf("WRITE-FAILED: %s\n", e.message().toUtf8().constData());
                return 4;
            }
        } else if (args[1] == QLatin1String("devices")) {
            const mbus::DeviceList list = mbus::Load_Configuration(in, args[2]);
            try {
                mbus::Save_Configuration(out, list.devices, list.converterIndex.value_or(0));
            } catch (const platform::UserError& e) {
                std::printf("WRITE-FAILED: %s\n", e.message().toUtf8().constData());
                return 4;
            }
        } else {
            return usage();
        }
    } catch (const platform::UserError& e) {
        std::printf("READ-REFUSED: %s\n", e.message().toUtf8().constData());
        return 3;
    }
    return 0;
}
