#pragma once
// The languages the options window offers, six to a page: the language files of the language
// folder, their pages and their flag pictures. Plain data; the window shows it.
#include <QString>
#include <QStringList>

namespace app {

constexpr int kLanguageSlots = 6;

// The file names ("Deutsch.lng") of the language folder that the user may pick, sorted
// without regard to letter case. Only files ending in ".lng" that are not read-only are
// offered; folders are not.
QStringList languageFileList(const QString& languageDir);

// The number of pages for `count` languages: (count + 5) div 6, so no language gives 0 pages.
int languagePageCount(int count);

struct LanguagePage {
    int page = 1;
    int pages = 0;
    bool prevVisible = false; // hidden on page 1
    bool nextVisible = false; // hidden on the last page
    QStringList names;        // the languages of slots 1..names.size(), without ".lng"
};
// Page `page` (from 1) of the list.
LanguagePage languagePage(const QStringList& files, int page);

// The page after a click on Next (`forward`) or Previous: one further while there is one,
// else the same page.
int turnPage(int page, int pages, bool forward);

// The flag pictures to try for a language, in order: "<name>.bmp", then "DefaultFlag.bmp";
// only those that exist.
QStringList flagPictures(const QString& languageDir, const QString& name);

} // namespace app
