// ParGen.xml on arbitrary bytes, for the device type the first byte picks: loading never
// crashes, the checks run on whatever was loaded, and a file saved from the loaded values reads
// back to the same values and saves to the same bytes.
#include "parameters/ParGen.h"
#include "parameters/ParGenCheck.h"
#include "workspace/DeviceTypes.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const std::vector<int>& types = workspace::deviceTypes();
    const int32_t type = types[data[0] % types.size()];
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ParGen.xml"));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        std::abort();
    f.write(reinterpret_cast<const char*>(data + 1), qint64(size - 1));
    f.close();

    const parameters::ParGenLoad loaded = parameters::loadParGen(path, type);
    const parameters::CheckResult checked = parameters::Controllo_Dati(loaded.values, type);
    if (!checked.ok && checked.message().isEmpty())
        std::abort();
    if (loaded.status == parameters::ParGenFile::Status::Damaged && loaded.error.isEmpty())
        std::abort();

    const QString again = dir.filePath(QStringLiteral("ParGen2.xml"));
    if (!parameters::saveParGen(again, loaded.values, type))
        std::abort();
    const parameters::ParGenLoad reread = parameters::loadParGen(again, type);
    if (reread.status != parameters::ParGenFile::Status::Loaded)
        std::abort();
    if (parameters::parGenBytes(reread.values, type) != parameters::parGenBytes(loaded.values, type))
        std::abort();
    return 0;
}
