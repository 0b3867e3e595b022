#pragma once
// What every companion-file writer shares: reading the project's files afresh (a file that is
// there but cannot be read stops the export with a message naming it, before anything is
// written) and writing the finished lines as one whole file (a failure is a message naming the
// file; an existing file is replaced only by a complete new one).
#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

#include "platform/fs/TextLines.h"
#include "platform/xml/XmlDom.h"

namespace parameters {
class ParGenFile;
}

namespace exports {

// Writes the lines (CR LF after each) through a temporary file and rename. Throws
// platform::UserError naming the file when it cannot be written.
void writeExportFile(const QString& path, const QStringList& lines, platform::LinesEncoding encoding);

// Loads a project file. False when there is no file at the path (or the path is empty); throws
// platform::UserError naming the file when it cannot be read or is not well-formed XML.
bool loadProjectFile(const QString& path, platform::XmlDocument& doc);

// Loads the project's general parameters (`Path_ParGen`). False when there is none; throws
// platform::UserError when the file is there but cannot be read.
bool loadParGen(parameters::ParGenFile& parGen);

// The `row` children of the element `section` under the document's root element, in order;
// none when the root or the section is missing.
std::vector<platform::XmlNode> sectionRows(const platform::XmlDocument& doc, const QString& section);

// "<file>, section "<name>", row <n>" for messages about one row of a table.
QString rowPlace(const QString& path, const QString& section, int number);

// A whole number a row must hold: throws platform::UserError naming the row and the attribute
// when the attribute is missing or its text is not a whole number.
int32_t requiredRowInt(const platform::XmlNode& row, const QString& attr, const QString& place);

} // namespace exports
