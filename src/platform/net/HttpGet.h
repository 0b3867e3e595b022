#pragma once
// One HTTP/1.0 GET over a plain TCP connection, bounded in time as a whole.
//
// The request is the request line, "Host", the caller's headers in the caller's order and an
// empty line; the reply is read until the server closes the connection or, when it names a
// Content-Length, until that many body bytes have come. Only a complete reply with a status
// in 200..299 counts as an answer. No proxy, no cookies, no redirects, no chunked bodies.
//
// `httpGet` runs on the calling thread: it waits in a local event loop that handles timers,
// sockets and painting but holds back the user's input until it returns, so a window stays
// painted without being driven while the request runs.
#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

namespace platform {

using HttpHeaders = QList<QPair<QByteArray, QByteArray>>;

struct HttpGetRequest {
    QString host; // a name or a dotted IPv4 address
    quint16 port = 80;
    QByteArray target;   // the path and query as sent ("/a/b.asp?key=value"), already encoded
    HttpHeaders headers; // sent after "Host", in this order
    int timeoutMs = 10000; // the whole exchange: look-up, connection, request and reply
    qsizetype maxReplyBytes = 1024 * 1024;
};

enum class HttpOutcome {
    Ok,          // a complete reply with a status in 200..299
    ErrorStatus, // a complete reply with any other status
    Malformed,   // not an HTTP reply, cut short, or larger than allowed
    NoConnection, // the name was not found, the connection was refused or lost
    TimedOut,    // no complete reply within the time allowed
};

struct HttpResult {
    HttpOutcome outcome = HttpOutcome::NoConnection;
    int status = 0;    // when the status line could be read
    QByteArray body;   // the reply's body, for Ok and ErrorStatus
    QString error;     // why, for anything but Ok
};

// The bytes of the request that httpGet sends.
QByteArray httpRequestBytes(const HttpGetRequest& request);

HttpResult httpGet(const HttpGetRequest& request);

// The reply reader on its own, for the bytes received so far. `closed`: the server has closed
// the connection, so nothing more will come.
struct HttpReply {
    enum class State {
        Incomplete, // more bytes are needed (never when `closed`)
        Complete,
        Malformed,
    };
    State state = State::Incomplete;
    int status = 0;
    HttpHeaders headers;
    QByteArray body;
    QString error; // for Malformed
};
HttpReply parseHttpReply(const QByteArray& bytes, bool closed);

} // namespace platform
