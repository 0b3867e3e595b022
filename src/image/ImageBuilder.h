#pragma once
// The two entries of the configuration image builder, called one after the other by the main
// window's Update Device action:
//
//     const image::BuildResult built = image::Build_Bin();
//     if (!built.ok) { show built.error; return; }
//     const image::SaveResult saved = image::Save_Bin();
//     if (!saved.ok) { show saved.error; return; }   // no wizard
//     open the update wizard with saved.files
//
// `Build_Bin` reads the project files of the device type (`Converter_Type` of the workspace)
// and fills the bank buffers; it never touches the disk otherwise. `Save_Bin` writes the bank
// files of the device type into the project's `bin` folder, each whole through a temporary
// file, so a failed save leaves every earlier bank file as it was.
#include "image/ImageState.h"

#include <QString>
#include <QStringList>

namespace image {

struct BuildResult {
    bool ok = true;
    QString error; // the message for the user when !ok
};

struct SaveResult {
    bool ok = true;
    QString error;     // the message for the user when !ok; names the file
    QStringList files; // the bank files written, in order
};

// Clears the description-limit flag and runs the build routine of the device type. A bad
// project file or a table larger than the image ends the build with an error; the bank buffers
// are then left as they were.
// Device types 10, 13, 14 and 15 (and types without an entry) build nothing, successfully.
BuildResult Build_Bin(ImageState& st = state());

// Writes the bank files of the device type. Refuses when the last build of this type did not
// succeed; stops at the first file that cannot be written.
SaveResult Save_Bin(ImageState& st = state());

} // namespace image
