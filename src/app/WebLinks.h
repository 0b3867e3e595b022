#pragma once
// The web links of the windows (the maker's page, the download page of a newer version).
#include <QString>

namespace app {

// Opens `url` in the desktop's browser; an empty address does nothing. When no browser takes
// it (a desktop without one set), an error box shows the address, so the click is not lost
// without a word and the user can type the address elsewhere.
void openWebPage(const QString& url);

// The text of that error box.
QString webPageNotOpenedText(const QString& url);

} // namespace app
