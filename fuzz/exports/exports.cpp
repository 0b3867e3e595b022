// The companion-file writers on arbitrary project files: the first byte picks the file and the
// model, the rest is the file's content. An export either writes a whole file of CR LF lines or
// stops with a message (platform::UserError) and leaves the previous file; anything else - a
// crash, another exception, a half file - is a finding.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

#include "exports/Ede.h"
#include "exports/Eds.h"
#include "exports/Gsdml.h"
#include "exports/Mib.h"
#include "exports/ObjectsMap.h"
#include "platform/fs/Files.h"
#include "platform/text/UserError.h"
#include "workspace/Folders.h"
#include "workspace/Workspace.h"

namespace {

struct Target {
    int deviceType;
    const char* file; // the project file the input becomes
    void (*write)(const QString&);
};

const Target kTargets[] = {
    {3, "ModbusTCPM_BACnet_SetAccess.xml", exports::Write_BACnet_Objects_Map},
    {3, "ModbusTCPM_BACnet_SetAccess.xml", exports::Write_BACnet_EDE_File},
    {18, "ParGen.xml", exports::Write_BACnet_Objects_Map},
    {8, "PDO_CANopen.xml", exports::Write_EDS_File},
    {8, "SDO_Server_CANopen.xml", exports::Write_EDS_File},
    {17, "SNMP_Trap.xml", [](const QString& f) { exports::Write_MIB_File(f, exports::Read_Trap_Table()); }},
    {1, "M_Bus.xml", exports::Write_BACnet_Objects_Map},
    {21, "M_Bus.xml", exports::Write_BACnet_EDE_File},
    {1001, "M_Bus_Custom_QV.xml", exports::Write_BACnet_EDE_File},
    {1001, "../../TEMPLATE/T.xml", exports::Write_BACnet_EDE_File},
    {9, "ParGen.xml", exports::Write_GSDML_BACnet},
};
constexpr size_t kTargetCount = sizeof(kTargets) / sizeof(kTargets[0]);

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    static QTemporaryDir dir;
    const Target& t = kTargets[data[0] % kTargetCount];
    const QString project = dir.path() + QStringLiteral("/PROJECTS/P1");
    const QString templates = dir.path() + QStringLiteral("/TEMPLATE");
    QDir(project).removeRecursively();
    QDir(templates).removeRecursively();
    QDir().mkpath(project);
    QDir().mkpath(templates);

    workspace::ScopedWorkspace scoped(t.deviceType);
    workspace::Workspace& w = *scoped;
    w.Project_Name = QStringLiteral("P1");
    w.Project_Dir = project;
    w.Template_Dir = templates;
    workspace::Set_Files();

    // The device list names the template the last target fills.
    if (t.deviceType == 1001 && QByteArray(t.file) != "M_Bus_Custom_QV.xml")
        writeFile(project + QStringLiteral("/M_Bus_Custom_QV.xml"),
                  "<C><List_Devices><Device><Template>T.xml</Template><Node_State>1</Node_State>"
                  "<Identification_Number>1</Identification_Number></Device></List_Devices></C>");
    writeFile(project + QLatin1Char('/') + QLatin1String(t.file),
              QByteArray(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1)));

    const QString out = project + QStringLiteral("/out.txt");
    writeFile(out, "previous");
    try {
        t.write(out);
    } catch (const platform::UserError&) {
        if (platform::readWholeFile(out) != QByteArray("previous"))
            std::abort();
        return 0;
    }
    const std::optional<QByteArray> written = platform::readWholeFile(out);
    if (!written || !written->endsWith("\r\n"))
        std::abort();
    return 0;
}
