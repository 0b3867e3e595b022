#pragma once
// A settings file of sections and name=value lines (the INI files of the grid's layout and
// print settings, and the per-user file that stands in for the registry). Names are found
// without regard to case; the file is read whole and written whole through a temporary file.
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace controls::grid::io {

class TIniFile {
public:
    // Reads the file when it exists (a missing file is an empty one).
    explicit TIniFile(QString fileName);
    const QString& FileName() const { return m_fileName; }

    std::optional<QString> Read(const QString& section, const QString& name) const;
    QString ReadString(const QString& section, const QString& name, const QString& def) const;
    int ReadInteger(const QString& section, const QString& name, int def) const;
    void WriteString(const QString& section, const QString& name, const QString& value);
    void WriteInteger(const QString& section, const QString& name, int value);
    bool ValueExists(const QString& section, const QString& name) const { return Read(section, name).has_value(); }
    // Writes the file; raises platform::Exception with the system's reason.
    void UpdateFile() const;

    QString Text() const;
    void SetText(const QString& text);

private:
    struct Section {
        QString Name;
        std::vector<std::pair<QString, QString>> Values;
    };
    Section* find(const QString& section);
    const Section* find(const QString& section) const;
    QString m_fileName;
    std::vector<Section> m_sections;
};

// The settings file that stands for a registry key of the current user: <config>/registry/
// <key with its separators as folders>.ini.
QString RegistryFileName(const QString& key);

} // namespace controls::grid::io
