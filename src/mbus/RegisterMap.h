#pragma once
// The register map of an M-Bus master project with PROFINET (device type 1002) or Modbus TCP
// (1003) on its other side: where each published value lies in the gateway's data, one line per
// value, as a semicolon-separated text file (Windows-1252, CR LF after every line).
//
// Each value takes four byte addresses (1002, and every type but 1003) or two 16-bit registers
// (1003), counted from 0 across all devices in list order: the Node State and Identification
// Number values a device publishes, then its variables of object type 2, 13 or 23.
#include <QString>
#include <QStringList>
#include <cstdint>

namespace mbus {

// The lines of the map for the device list at `deviceListPath` and the templates in
// `templateDir`. Without a device list only the header. Throws platform::UserError when the
// list or a template cannot be read.
QStringList registerMapLines(int32_t converterType, const QString& deviceListPath, const QString& templateDir);

// Writes the map of the workspace's project to `path`, replacing the file whole. Throws
// platform::UserError when a file cannot be read or the map cannot be written; a file that was
// there stays as it was.
void Write_PROFINET_Map_File(const QString& path);

} // namespace mbus
