#pragma once
// What every exchange format of the grid does around its bytes: whole-file reads and writes
// with the system's reason in the error, and the progress event of long loads and saves.
#include <QByteArray>
#include <QString>

namespace controls::grid {
class TExtStringGrid;
}

namespace controls::grid::io {

// platform::Exception "Cannot open file <name>: <reason>".
QByteArray ReadFileOrThrow(const QString& fileName);
// Through a temporary file and rename; platform::Exception "Cannot create file <name>: <reason>".
void WriteFileOrThrow(const QString& fileName, const QByteArray& bytes);

// The grid's OnFileProgress with fraction (0..1) as a percentage rounded half to even, fired
// only when it differs from last.
void ReportProgress(TExtStringGrid& grid, int& last, double fraction);

} // namespace controls::grid::io
