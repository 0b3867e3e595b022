#include "app/LanguagePages.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

#include "platform/fs/Files.h"

namespace app {

QStringList languageFileList(const QString& languageDir)
{
    if (languageDir.isEmpty())
        return {};
    // Regular files (and links to them), hidden ones included; exact ".lng", since that is
    // the name the language is loaded by.
    const QFileInfoList entries = QDir(languageDir).entryInfoList(
        {QStringLiteral("*.lng")}, QDir::Files | QDir::Hidden | QDir::CaseSensitive, QDir::Name);
    QStringList names;
    for (const QFileInfo& e : entries) {
        // A read-only file is not offered: the owner's write permission counts, whoever runs
        // the program.
        if (!(e.permissions() & QFileDevice::WriteOwner))
            continue;
        if (!e.fileName().endsWith(QLatin1String(".lng")))
            continue;
        names.append(e.fileName());
    }
    std::stable_sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    return names;
}

int languagePageCount(int count) { return count > 0 ? (count + kLanguageSlots - 1) / kLanguageSlots : 0; }

LanguagePage languagePage(const QStringList& files, int page)
{
    LanguagePage p;
    p.page = page;
    p.pages = languagePageCount(static_cast<int>(files.size()));
    p.prevVisible = page != 1;
    p.nextVisible = page != p.pages;
    const int first = (page - 1) * kLanguageSlots;
    for (int k = 0; k < kLanguageSlots; ++k) {
        const int i = first + k;
        if (i < 0 || i >= files.size())
            break;
        p.names.append(files[i].chopped(4));
    }
    return p;
}

int turnPage(int page, int pages, bool forward)
{
    if (forward)
        return pages >= page + 1 ? page + 1 : page;
    return page - 1 > 0 ? page - 1 : page;
}

QStringList flagPictures(const QString& languageDir, const QString& name)
{
    QStringList out;
    for (const QString& file : {name + QStringLiteral(".bmp"), QStringLiteral("DefaultFlag.bmp")}) {
        const QString path = platform::joinPath(languageDir, file);
        if (platform::fileExists(path))
            out.append(path);
    }
    return out;
}

} // namespace app
