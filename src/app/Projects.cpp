#include "app/Projects.h"

#include <QDir>
#include <QFileInfo>

#include "platform/fs/Files.h"
#include "platform/text/Text.h"

namespace app {

bool isPlainFolderEntryName(const QString& name)
{
    if (name.isEmpty() || name == QStringLiteral(".") || name == QStringLiteral(".."))
        return false;
    for (const QChar c : name)
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.unicode() < 0x20 || c.unicode() == 0x7F)
            return false;
    const QChar last = name.back();
    return last != QLatin1Char(' ') && last != QLatin1Char('.');
}

QString existingProjectFolder(const QString& projectsDir, const QString& name)
{
    if (name.isEmpty() || name == QStringLiteral(".") || name == QStringLiteral("..") ||
        name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')))
        return {};
    const QString folder = platform::joinPath(projectsDir, name);
    return platform::folderExists(folder) ? folder : QString();
}

namespace {
bool entryExistsIgnoringCase(const QString& folder, const QString& name)
{
    const QDir dir(folder);
    if (dir.exists(name))
        return true;
    const QStringList entries = dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& e : entries)
        if (e.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}
} // namespace

int createProjectFolder(const QString& projectsDir, const QString& name)
{
    if (name.isEmpty())
        return txt::NameEmpty;
    if (!isPlainFolderEntryName(name) || projectsDir.isEmpty())
        return txt::NameNotValid;
    const QFileInfo exact(platform::joinPath(projectsDir, name));
    if (exact.exists() && !exact.isDir())
        return txt::NameNotValid; // a file of that name: the name is not usable, not taken
    if (entryExistsIgnoringCase(projectsDir, name))
        return txt::NameExists;
    if (!QDir(projectsDir).mkdir(name))
        return txt::NameNotValid;
    // The images' folder; a failure here shows only when the images are written.
    platform::makeFolder(platform::joinPath(platform::joinPath(projectsDir, name), QStringLiteral("bin")));
    return 0;
}

int checkTemplateName(const QString& templateDir, const QString& typed, QString* path)
{
    const QString name = platform::trim(typed);
    if (name.isEmpty())
        return txt::TemplateNameEmpty;
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    QString file = name;
    if (dot >= 0) {
        if (platform::upperAscii(name.mid(dot)) != QStringLiteral(".XML"))
            return txt::TemplateExtension;
    } else {
        file += QStringLiteral(".xml");
    }
    if (!isPlainFolderEntryName(file) || templateDir.isEmpty())
        return txt::TemplateNameEmpty;
    const QString full = platform::joinPath(templateDir, file);
    if (QFileInfo::exists(full))
        return txt::TemplateExists;
    if (path)
        *path = full;
    return 0;
}

QStringList Load_Existing_Configuration(const QString& projectsDir)
{
    if (projectsDir.isEmpty())
        return {};
    return QDir(projectsDir).entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Unsorted);
}

int Search_Open_Conf(const QStringList& names, const QString& name)
{
    const QString wanted = platform::upperAscii(name);
    for (int i = 0; i < names.size(); ++i)
        if (platform::upperAscii(names[i]) == wanted)
            return i;
    return -1;
}

QString openProjectName(const QString& projectDir, const QString& projectsDir)
{
    if (projectDir.isEmpty() || projectsDir.isEmpty())
        return {};
    const QString prefix = projectsDir + QLatin1Char('/');
    if (!projectDir.startsWith(prefix))
        return {};
    return projectDir.mid(prefix.size());
}

} // namespace app
