#pragma once
// The program's settings file `Varnetor.xml` in `Program_Dir`: the last project, the last
// gateway address, the language and four option flags.
//
//   <Conf_Settings>
//     <lastproj><projectname>..</projectname></lastproj>
//     <lastipadd><ipaddress>..</ipaddress></lastipadd>
//     <lastlang><language>..</language></lastlang>
//     <lastinternet><enable_internet>1|0</enable_internet><enable_update>..</enable_update>
//       <enable_jump_field_tables>..</enable_jump_field_tables>
//       <Double_Click_Auto_Size>..</Double_Click_Auto_Size></lastinternet>
//   </Conf_Settings>
//
// Written whole, without declaration or indentation, in UTF-8.
#include <QString>

namespace workspace {

constexpr const char* kSettingsFileName = "Varnetor.xml";

// Reads the settings file of `Program_Dir` into `Project_Name`, `Last_IP_Address`,
// `Language_Name` and the four option flags, and empties `Project_Dir`. Each value is read on
// its own; a missing or unreadable one takes its default (Workspace.h). A missing file, or one that is not
// well-formed XML, gives the defaults of every value (the next save rewrites it whole).
// Texts are taken unchanged; a flag is on exactly when its text is "1".
void readSettings();

// Rewrites the settings file from the workspace. False when it cannot be written (for example
// a read-only program folder); the previous file then stays as it was.
bool Save_Setting();

} // namespace workspace
