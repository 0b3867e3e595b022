// The settings file Varnetor.xml on arbitrary bytes: reading never fails the start, and what was
// read survives a save and a second read unchanged.
#include "workspace/Settings.h"
#include "workspace/Workspace.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

namespace {
struct Values {
    QString project, ip, language;
    int flags[4];
    bool operator==(const Values&) const = default;
};
Values valuesOf(const workspace::Workspace& w)
{
    return {w.Project_Name, w.Last_IP_Address, w.Language_Name,
            {w.Opt_Enable_Internet, w.Opt_Enable_Update, w.Opt_Jump_Field_Tables, w.Opt_Double_Click_Auto_Size}};
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QTemporaryDir dir;
    QFile f(dir.filePath(QStringLiteral("Varnetor.xml")));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        std::abort();
    f.write(reinterpret_cast<const char*>(data), qint64(size));
    f.close();

    workspace::ScopedWorkspace first;
    first->Program_Dir = dir.path();
    workspace::readSettings();
    const Values read = valuesOf(*first);
    if (!workspace::Save_Setting())
        std::abort();
    workspace::ScopedWorkspace second;
    second->Program_Dir = dir.path();
    workspace::readSettings();
    if (!(valuesOf(*second) == read))
        std::abort();
    return 0;
}
