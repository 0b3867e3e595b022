// A language file on arbitrary bytes: the table keeps its 2400 texts, and reading the same
// file again changes nothing.
#include "workspace/LangTexts.h"
#include "workspace/Workspace.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Fuzz.lng"));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        std::abort();
    f.write(reinterpret_cast<const char*>(data), qint64(size));
    f.close();

    workspace::ScopedWorkspace scoped;
    workspace::Default_Texts();
    const bool read = workspace::Read_Lng_File(path);
    const QStringList once = scoped->Lang_Texts;
    if (once.size() != 2400)
        std::abort();
    if (workspace::Read_Lng_File(path) != read || scoped->Lang_Texts != once)
        std::abort();
    return 0;
}
