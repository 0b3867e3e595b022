#include "exports/ExportFile.h"

#include <QFileInfo>

#include "parameters/ParGen.h"
#include "parameters/ParGenCheck.h"
#include "parameters/ParGenFile.h"
#include "platform/fs/Files.h"
#include "platform/text/UserError.h"
#include "workspace/Workspace.h"

namespace exports {

using platform::UserError;

void writeExportFile(const QString& path, const QStringList& lines, platform::LinesEncoding encoding)
{
    QString error;
    if (!platform::writeTextLines(path, lines, encoding, &error))
        throw UserError(QStringLiteral("The file %1 could not be written: %2").arg(path, error));
}

std::unique_ptr<image::TableFile> openProjectTable(const QString& path)
{
    if (!platform::fileExists(path))
        return nullptr;
    return std::make_unique<image::TableFile>(path);
}

std::vector<image::TableRow> sectionRows(const image::TableFile& table, const char* section)
{
    return table.sectionElements(section, "row");
}

bool loadParGen(parameters::ParGenFile& parGen)
{
    const QString& path = workspace::ws().Path_ParGen;
    QString error;
    switch (parGen.load(path, &error)) {
    case parameters::ParGenFile::Status::NoFile: return false;
    case parameters::ParGenFile::Status::Damaged:
        throw UserError(QStringLiteral("The file %1 cannot be read: %2").arg(QFileInfo(path).fileName(), error));
    case parameters::ParGenFile::Status::Loaded: break;
    }
    return true;
}

void checkDeviceInstance(const parameters::ParGenFile& parGen)
{
    const int32_t type = workspace::ws().Converter_Type;
    const parameters::CheckResult r = parameters::checkDeviceInstance(parameters::readParGen(parGen, type), type);
    if (!r.ok)
        throw UserError(r.message());
}

} // namespace exports
