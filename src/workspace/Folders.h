#pragma once
// The program's folders and the project's file paths.
#include <QString>

namespace workspace {

// Sets `Program_Dir` to the program's folder and `Master_Dir`, `Projects_Dir`, `Language_Dir`
// to its sub-folders MASTER, PROJECTS and LANGUAGE, creating each one that is missing; for
// the M-Bus master models (1001-1003) also `Template_Dir` (TEMPLATE), which stays empty for the
// other models. A folder that cannot be created is not reported: its readers find no files.
// Paths have no trailing separator.
void setupFolders(const QString& programDir);

// Sets every project file path of the device type from `Project_Dir` and empties the others.
// With no project open (`Project_Dir` empty) every path is empty.
void Set_Files();

} // namespace workspace
