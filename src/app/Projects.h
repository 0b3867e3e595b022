#pragma once
// Project folders on plain data: the checks of a new project or template name, the creation
// of a project folder, and the listing and look-up of the existing projects.
#include <QString>
#include <QStringList>

namespace app {

// Texts of the new-project dialog's refusals (indexes into the UI-text table).
namespace txt {
constexpr int NameNotValid = 30;        // "Error! Name project is not valid"
constexpr int NameExists = 31;          // "... because directory already exists"
constexpr int NameEmpty = 32;           // "Error! Name Project is not valid"
constexpr int TemplateExists = 1605;    // "Error! Template already exists, change name"
constexpr int TemplateExtension = 1606; // "Error! File Extension not Valie (It must be .xml)"
constexpr int TemplateNameEmpty = 1607; // "Error! Template Name is not valid"
} // namespace txt

// True when `name` names one entry directly inside a folder: not empty, not "." or "..", no
// "/" or "\", no control character, and no trailing blank or dot (which other systems drop,
// making the name another folder's). Anything else could reach outside the folder.
bool isPlainFolderEntryName(const QString& name);

// The folder of the existing project `name` under `projectsDir`, or empty when there is none.
// A name that could reach outside `projectsDir` ("." or "..", a "/" or a backslash) never gives one,
// whatever the settings file or a dialog hands in.
QString existingProjectFolder(const QString& projectsDir, const QString& name);

// Creates the project `name` (exactly as typed) under `projectsDir` with its "bin" folder.
// 0 on success, else the index of the refusal's text: an empty name 32; a name that is not a
// plain entry name, or that the file system refuses, 30; a folder of that name, in any letter
// case, that exists already 31. Nothing is created on a refusal.
int createProjectFolder(const QString& projectsDir, const QString& name);

// The template file for the name typed in template mode (trimmed here): `path` gets
// `templateDir`/name, with ".xml" added when the name has no extension. 0 when the file may
// be written, else the text index: empty or not a plain name 1607, an extension other than
// ".xml" 1606, an existing file 1605.
int checkTemplateName(const QString& templateDir, const QString& typed, QString* path);

// The names of the project folders, in the order in which the file system lists them.
QStringList Load_Existing_Configuration(const QString& projectsDir);

// Index of `name` in `names`, comparing upper-case forms; -1 when absent.
int Search_Open_Conf(const QStringList& names, const QString& name);

// The name of the open project: the part of `projectDir` after `projectsDir` and its
// separator; empty when no project is open.
QString openProjectName(const QString& projectDir, const QString& projectsDir);

} // namespace app
