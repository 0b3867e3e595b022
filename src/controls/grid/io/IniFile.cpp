#include "controls/grid/io/IniFile.h"

#include "controls/grid/io/TextCodec.h"
#include "platform/core/Errors.h"
#include "platform/fs/Files.h"
#include "platform/text/Text.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace controls::grid::io {

TIniFile::TIniFile(QString fileName) : m_fileName(std::move(fileName))
{
    if (const auto bytes = platform::readWholeFile(m_fileName))
        SetText(DecodeGridText(*bytes));
}

void TIniFile::SetText(const QString& text)
{
    m_sections.clear();
    Section* current = nullptr;
    for (const QString& raw : platform::splitLines(text)) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(u';'))
            continue;
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            const QString name = line.mid(1, line.size() - 2).trimmed();
            current = find(name);
            if (!current) {
                m_sections.push_back(Section{name, {}});
                current = &m_sections.back();
            }
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (eq <= 0 || !current)
            continue;
        const QString name = line.left(eq).trimmed();
        const QString value = line.mid(eq + 1);
        bool replaced = false;
        for (auto& v : current->Values)
            if (v.first.compare(name, Qt::CaseInsensitive) == 0) {
                replaced = true;
                break;
            }
        if (!replaced)
            current->Values.emplace_back(name, value);
    }
}

QString TIniFile::Text() const
{
    QString out;
    for (const Section& s : m_sections) {
        out += u'[' + s.Name + QStringLiteral("]\r\n");
        for (const auto& v : s.Values)
            out += v.first + u'=' + v.second + QStringLiteral("\r\n");
        out += QStringLiteral("\r\n");
    }
    return out;
}

TIniFile::Section* TIniFile::find(const QString& section)
{
    for (Section& s : m_sections)
        if (s.Name.compare(section, Qt::CaseInsensitive) == 0)
            return &s;
    return nullptr;
}

const TIniFile::Section* TIniFile::find(const QString& section) const
{
    return const_cast<TIniFile*>(this)->find(section);
}

std::optional<QString> TIniFile::Read(const QString& section, const QString& name) const
{
    const Section* s = find(section);
    if (!s)
        return std::nullopt;
    for (const auto& v : s->Values)
        if (v.first.compare(name, Qt::CaseInsensitive) == 0)
            return v.second;
    return std::nullopt;
}

QString TIniFile::ReadString(const QString& section, const QString& name, const QString& def) const
{
    return Read(section, name).value_or(def);
}

int TIniFile::ReadInteger(const QString& section, const QString& name, int def) const
{
    const auto v = Read(section, name);
    if (!v)
        return def;
    return platform::toIntDef(v->trimmed(), def);
}

void TIniFile::WriteString(const QString& section, const QString& name, const QString& value)
{
    Section* s = find(section);
    if (!s) {
        m_sections.push_back(Section{section, {}});
        s = &m_sections.back();
    }
    QString clean = value;
    clean.replace(u'\r', u' ').replace(u'\n', u' ');
    for (auto& v : s->Values)
        if (v.first.compare(name, Qt::CaseInsensitive) == 0) {
            v.second = clean;
            return;
        }
    s->Values.emplace_back(name, clean);
}

void TIniFile::WriteInteger(const QString& section, const QString& name, int value)
{
    WriteString(section, name, QString::number(value));
}

void TIniFile::UpdateFile() const
{
    const QString folder = QFileInfo(m_fileName).absolutePath();
    if (!platform::folderExists(folder))
        platform::makeFolder(folder);
    QString error;
    if (!platform::writeWholeFile(m_fileName, Text().toUtf8(), &error))
        throw platform::Exception(QStringLiteral("Cannot create file %1: %2").arg(m_fileName, error));
}

QString RegistryFileName(const QString& key)
{
    QString path = key;
    path.replace(u'\\', u'/');
    QStringList parts;
    for (const QString& p : path.split(u'/', Qt::SkipEmptyParts))
        if (p != QLatin1String(".") && p != QLatin1String(".."))
            parts << p;
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
                         + QStringLiteral("/varnetor/registry/");
    return base + (parts.isEmpty() ? QStringLiteral("default") : parts.join(u'/')) + QStringLiteral(".ini");
}

} // namespace controls::grid::io
