#pragma once
// How the M-Bus project files (the network, the device list, the templates) go to and from the
// disk: read and written whole, a failure a message that names the file.
#include <QByteArray>
#include <QString>

namespace platform {
class XmlDocument;
}

namespace mbus {

// The bytes of the file. Throws platform::UserError "The <noun> <name> cannot be read: <why>".
QByteArray readFileBytes(const QString& path, const char* noun = "file");
// The bytes of the file `fileName` into `doc`; throws the message above when they are not
// well-formed XML.
void parseFileBytes(platform::XmlDocument& doc, const QByteArray& bytes, const QString& fileName,
                    const char* noun = "file");
// The document as the editors save it, two blanks per level.
QByteArray savedBytes(const platform::XmlDocument& doc);
// Writes the bytes whole. Throws platform::UserError "The file <name> cannot be written: <why>".
void writeFileBytes(const QString& path, const QByteArray& bytes);

} // namespace mbus
