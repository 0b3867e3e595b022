#include "app/UpdateCheck.h"

#include <QUrl>

#include "app/UpdateServer.h"
#include "platform/text/Text.h"

namespace app {

namespace {

struct VersionLine {
    int32_t type;
    const char* swCode;
    const char* version;
    const char* anchor;
};
// The software code and version the server knows this build by, and the model's anchor on the
// download page. Device type 20 is compared with "1.102" and has no anchor of its own.
constexpr VersionLine kVersions[] = {
    {0, "GS30113", "1.702", "GX30113"},     {1, "GS30102", "1.509", "GX30102"},
    {2, "GS30114", "1.301", "GX30114"},     {3, "GS30115", "1.405", "GX30115"},
    {4, "GS30116", "1.103", "GX30116"},     {6, "GS30117", "1.203", "GX30117"},
    {7, "GS30118", "1.201", "GX30118"},     {8, "GS30119", "1.002", "GX30119"},
    {9, "GS30120", "1.302", "GX30120"},     {10, "GS30121", "1.000", "GX30121"},
    {11, "GS30122", "1.001", "GX30122"},    {12, "GS30123", "1.004", "GX30123"},
    {13, "GS30124", "1.000", "GX30124"},    {14, "GS30125", "1.000", "GX30125"},
    {15, "GS30126", "1.000", "GX30126"},    {16, "GS30132", "1.009", "GX30132"},
    {17, "GS30127", "1.302", "GX30127"},    {18, "GS30112", "1.003", "GX30112"},
    {19, "GS30107", "1.201", "GX30107"},    {20, "GS30133", "1.102", nullptr},
    {21, "GS30104", "1.005", "GX30104"},    {1001, "GS30128", "1.102", "GX30128"},
    {1002, "GS30130", "1.001", "GX30130"},  {1003, "GS30129", "1.001", "GX30129"},
};
constexpr const char* kFallbackAnchor = "GX30113";

const VersionLine* lineOf(int32_t type)
{
    for (const VersionLine& l : kVersions)
        if (l.type == type)
            return &l;
    return nullptr;
}

bool isDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

} // namespace

LocalVersion localVersion(int32_t deviceType)
{
    const VersionLine* l = lineOf(deviceType);
    if (!l)
        return {};
    return {QLatin1String(l->swCode), QLatin1String(l->version)};
}

QString downloadAnchor(int32_t deviceType)
{
    const VersionLine* l = lineOf(deviceType);
    return QLatin1String(l && l->anchor ? l->anchor : kFallbackAnchor);
}

QString downloadLink(int32_t deviceType)
{
    return QLatin1String(update_server::kDownloadPage) + QLatin1Char('#') + downloadAnchor(deviceType);
}

int Conv_Version(const QString& Ver_str)
{
    const qsizetype blank = Ver_str.indexOf(QLatin1Char(' '));
    const QString v = platform::trim(blank >= 0 ? Ver_str.mid(blank + 1) : Ver_str);
    if (v.size() < 5)
        return -1;
    // The second character is the point of "1.405" and is skipped, whatever it is.
    const QChar digits[] = {v[0], v[2], v[3], v[4]};
    int n = 0;
    for (QChar c : digits) {
        if (!isDigit(c))
            return -1;
        n = n * 10 + (c.unicode() - '0');
    }
    return n;
}

bool replyOffersUpdate(const QString& reply, const QString& local)
{
    const QString r = platform::upperAscii(platform::trim(reply));
    if (r.isEmpty() || r == QLatin1String("VER. 0.000"))
        return false;
    const int localNumber = Conv_Version(local);
    const int remoteNumber = Conv_Version(platform::trim(reply));
    return localNumber != -1 && remoteNumber != -1 && localNumber < remoteNumber;
}

UpdateServer defaultUpdateServer()
{
    return {QLatin1String(update_server::kHost), update_server::kPort, update_server::kTimeoutMs};
}

platform::HttpGetRequest versionQuery(int32_t deviceType, const UpdateServer& server)
{
    platform::HttpGetRequest r;
    r.host = server.host;
    r.port = server.port;
    r.timeoutMs = server.timeoutMs;
    r.target = QByteArray(update_server::kVersionPage) + "?nomesw=" +
               QUrl::toPercentEncoding(localVersion(deviceType).swCode);
    r.headers = {
        {"Accept", "text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8"},
        {"User-Agent", "Mozilla/3.0 (compatible; Indy Library)"},
    };
    return r;
}

UpdateCheckResult checkForUpdate(int32_t deviceType, const UpdateServer& server)
{
    const platform::HttpResult answer = platform::httpGet(versionQuery(deviceType, server));
    if (answer.outcome != platform::HttpOutcome::Ok)
        return {UpdateAnswer::ServerUnreachable, answer.error};
    const bool newer = replyOffersUpdate(QString::fromLatin1(answer.body), localVersion(deviceType).version);
    return {newer ? UpdateAnswer::NewVersion : UpdateAnswer::NoUpdate, {}};
}

bool Check_Version(int32_t deviceType, const UpdateServer& server)
{
    return checkForUpdate(deviceType, server).answer == UpdateAnswer::NewVersion;
}

} // namespace app
