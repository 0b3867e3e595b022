#pragma once
// What every companion-file writer shares: reading the project's files afresh (a file that is
// there but cannot be read stops the export with a message naming it, before anything is
// written) and writing the finished lines as one whole file (a failure is a message naming the
// file; an existing file is replaced only by a complete new one).
#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

#include "image/TableFile.h"
#include "platform/fs/TextLines.h"

#include <memory>

namespace parameters {
class ParGenFile;
}

namespace exports {

// Writes the lines (CR LF after each) through a temporary file and rename. Throws
// platform::UserError naming the file when it cannot be written.
void writeExportFile(const QString& path, const QStringList& lines, platform::LinesEncoding encoding);

// Loads a project table, read by the same reader and with the same messages as the image
// builder's. None when there is no file at the path (or the path is empty); throws
// platform::UserError naming the file when it cannot be read or is not well-formed XML.
std::unique_ptr<image::TableFile> openProjectTable(const QString& path);

// The `row` elements of a section of the table, numbered among themselves; none when the
// section is missing. Unlike the image builder, which takes every element of a section as a
// row, the writers pass over elements of other names: a hand-edited note in a table moves no
// object of the companion file.
std::vector<image::TableRow> sectionRows(const image::TableFile& table, const char* section);

// Loads the project's general parameters (`Path_ParGen`). False when there is none; throws
// platform::UserError when the file is there but cannot be read.
bool loadParGen(parameters::ParGenFile& parGen);

// For the writers of the BACnet device instance: throws platform::UserError with the general
// parameters' own message when the instance of the loaded file is outside their bounds (a file
// edited by hand), rather than writing it.
void checkDeviceInstance(const parameters::ParGenFile& parGen);

} // namespace exports
