#include "mbus/master/TextInput.h"

#include "mbus/ProjectFiles.h"
#include "platform/text/Text.h"
#include "platform/xml/XmlEncoding.h"

namespace mbus::master {

QString decodeTextInput(const QByteArray& bytes)
{
    if (platform::detectBom(bytes).length > 0)
        return platform::decodeTextFile(bytes);
    if (platform::xml::isValidUtf8(std::string_view(bytes.constData(), size_t(bytes.size()))))
        return QString::fromUtf8(bytes);
    return platform::decodeCp1252(bytes);
}

QString readTextInput(const QString& path) { return decodeTextInput(readFileBytes(path)); }

} // namespace mbus::master
