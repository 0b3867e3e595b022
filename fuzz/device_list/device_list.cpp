// The project's device list (M_Bus_Custom_QV.xml) on arbitrary bytes, as the updater settings
// read it: the converter index and the whole settings file of the M-Bus master models. A file
// that is not XML ends in the user's message; nothing crashes.
#include "platform/text/UserError.h"
#include "platform/xml/XmlDom.h"
#include "update/EthernetUpdateXml.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("M_Bus_Custom_QV.xml"));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        std::abort();
    f.write(reinterpret_cast<const char*>(data), qint64(size));
    f.close();

    bool refused = false;
    try {
        (void)update::readConverterIndex(path);
    } catch (const platform::UserError& e) {
        refused = true;
        if (e.message().isEmpty())
            std::abort();
    }
    for (int32_t type : {1001, 1002, 1003}) {
        update::EthernetUpdateRequest r;
        r.deviceType = type;
        r.masterDir = dir.path();
        r.projectDir = dir.path();
        r.pathParGen = dir.filePath(QStringLiteral("ParGen.xml")); // none: defaults
        r.pathMBusCustomQV = path;
        platform::XmlDocument doc;
        try {
            update::buildEthernetUpdate(r, doc);
            if (refused) // the same file cannot be refused once and read the next time
                std::abort();
        } catch (const platform::UserError& e) {
            if (!refused || e.message().isEmpty())
                std::abort();
        }
    }
    return 0;
}
