#pragma once
// The update check: asks the maker's web server for the latest version of this software by
// its software code, and compares the answer ("VER. 1.407") with the version of this build.
// Everything here works on plain data; the options window and the main window's timer show
// the result.
#include <QString>
#include <cstdint>

#include "platform/net/HttpGet.h"

namespace app {

// The software code sent to the server and the version this build compares with; both empty
// for a device type outside the table (the partner-branded model).
struct LocalVersion {
    QString swCode;
    QString version;
};
LocalVersion localVersion(int32_t deviceType);

// The model's anchor on the download page (its hardware code).
QString downloadAnchor(int32_t deviceType);
// The address of the download page at the model's anchor.
QString downloadLink(int32_t deviceType);

// A version text to a number: the text after the first blank (the whole text without one),
// trimmed; its 1st, 3rd, 4th and 5th characters read as four decimal digits ("1.405" and
// "VER. 1.4059" give 1405). -1 when the text is shorter than five characters or those four
// are not digits ("VER. 10.01").
int Conv_Version(const QString& Ver_str);

// Whether the server's reply names a newer version than `local`: an empty reply or
// "VER. 0.000" (in any letter case) never does; otherwise both must be versions and the
// reply's the larger.
bool replyOffersUpdate(const QString& reply, const QString& local);

// Where the version query goes.
struct UpdateServer {
    QString host;
    quint16 port = 80;
    int timeoutMs = 10000;
};
UpdateServer defaultUpdateServer();

// The GET of the version query for a device type.
platform::HttpGetRequest versionQuery(int32_t deviceType, const UpdateServer& server);

// What a check found. The server could not be reached when there was no connection, no
// complete reply within the time-out, an error status or no HTTP reply at all; a reply that
// names no newer version is no update.
enum class UpdateAnswer { NewVersion, NoUpdate, ServerUnreachable };
struct UpdateCheckResult {
    UpdateAnswer answer = UpdateAnswer::NoUpdate;
    QString error; // why the server could not be reached
};
UpdateCheckResult checkForUpdate(int32_t deviceType, const UpdateServer& server);

// True when a newer version is available; a server that could not be reached counts as no
// update (the timer's check stays silent).
bool Check_Version(int32_t deviceType, const UpdateServer& server);

} // namespace app
