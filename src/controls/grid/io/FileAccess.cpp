#include "controls/grid/io/FileAccess.h"

#include "controls/grid/core/ExtStringGrid.h"
#include "platform/core/Errors.h"
#include "platform/fs/Files.h"
#include "platform/text/Text.h"

namespace controls::grid::io {

QByteArray ReadFileOrThrow(const QString& fileName)
{
    QString error;
    const auto bytes = platform::readWholeFile(fileName, &error);
    if (!bytes)
        throw platform::Exception(QStringLiteral("Cannot open file %1: %2").arg(fileName, error));
    return *bytes;
}

void WriteFileOrThrow(const QString& fileName, const QByteArray& bytes)
{
    QString error;
    if (!platform::writeWholeFile(fileName, bytes, &error))
        throw platform::Exception(QStringLiteral("Cannot create file %1: %2").arg(fileName, error));
}

void ReportProgress(TExtStringGrid& grid, int& last, double fraction)
{
    if (!grid.OnFileProgress)
        return;
    const int p = int(platform::roundHalfEven(fraction * 100));
    if (p != last) {
        last = p;
        grid.OnFileProgress(&grid, p);
    }
}

} // namespace controls::grid::io
