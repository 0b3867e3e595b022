#pragma once
// Where the update check asks for the latest version of this software, and where the link to a
// newer version leads. The query is plain HTTP/1.0 to this host and port; the link opens in
// the user's browser.
#include <QtGlobal>

namespace app::update_server {

inline constexpr const char* kHost = "www.ostrelcorp.com";
inline constexpr quint16 kPort = 80;
// The page that answers "VER. d.ddd" for the software code given as "nomesw".
inline constexpr const char* kVersionPage = "/home/download/GetversionSW.asp";
// The download page; the model's hardware code follows as the anchor ("#GX30115").
inline constexpr const char* kDownloadPage = "https://www.ostrelcorp.com/Home/download/download.asp";
// The whole exchange, look-up and reply included, may take this long; after it the check
// counts as "no update".
inline constexpr int kTimeoutMs = 10000;

} // namespace app::update_server
