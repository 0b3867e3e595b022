#include "app/WebLinks.h"

#include "platform/process/Process.h"
#include "platform/ui/Dialogs.h"

namespace app {

QString webPageNotOpenedText(const QString& url)
{
    return QStringLiteral("Error! The web page could not be opened in a browser:\n") + url;
}

void openWebPage(const QString& url)
{
    if (!url.isEmpty() && !platform::processes().openUrl(url))
        platform::showError(webPageNotOpenedText(url));
}

} // namespace app
