// The table files on arbitrary bytes, through a whole image build: the first byte picks the
// device type (0, 2, 3 or 4: the Modbus models) and the table the rest of the input becomes
// (the BACnet objects, the Modbus access table or the broadcast-distribution table; the
// others are absent). The build ends in images or in a message, never in a crash, and a refused
// build leaves the bank buffers as they were.
#include "image/ImageBuilder.h"
#include "parameters/ParGen.h"
#include "workspace/Folders.h"
#include "workspace/Workspace.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

namespace {
void writeFile(const QString& path, const char* data, size_t size)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        std::abort();
    f.write(data, qint64(size));
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    constexpr int32_t kTypes[] = {0, 2, 3, 4};
    const int32_t type = kTypes[data[0] & 3];
    const int table = (data[0] >> 2) % 3;

    static QTemporaryDir dir;
    const QString project = dir.filePath(QStringLiteral("project"));
    QDir(project).removeRecursively();
    QDir().mkpath(project + QStringLiteral("/bin"));

    workspace::ScopedWorkspace scoped(type);
    scoped->Project_Dir = project;
    workspace::Set_Files();
    // General parameters with the broadcast-distribution table switched on, so it is read.
    parameters::ParGen p;
    p.BACnet_EN_BBMD = true;
    if (!parameters::saveParGen(scoped->Path_ParGen, p, type))
        std::abort();
    const QString target = table == 0   ? scoped->Path_BACnet_SetAccess
                           : table == 1 ? (type == 3 ? scoped->Path_ModbusTCPM_SetAccess : scoped->Path_ModbusM_SetAccess)
                                        : scoped->Path_BACnet_BDT;
    if (target.isEmpty())
        return 0; // a table this model does not have
    writeFile(target, reinterpret_cast<const char*>(data + 1), size - 1);

    image::ImageState st;
    const QByteArray before = st.bank1.filled();
    const image::BuildResult built = image::Build_Bin(st);
    if (!built.ok && (built.error.isEmpty() || st.bank1.filled() != before))
        std::abort();
    return 0;
}
