#include "platform/net/HttpGet.h"

#include <QEventLoop>
#include <QNetworkProxy>
#include <QTcpSocket>
#include <QTimer>

#include <memory>

namespace platform {

namespace {

// The status line and the headers together; a server that sends more is not one we talk to.
constexpr qsizetype kMaxHeaderBytes = 64 * 1024;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool isTokenChar(char c)
{
    // The characters of a header name (RFC 9110 "token").
    if (c >= 'a' && c <= 'z')
        return true;
    if (c >= 'A' && c <= 'Z')
        return true;
    if (isDigit(c))
        return true;
    switch (c) {
    case '!': case '#': case '$': case '%': case '&': case '\'': case '*': case '+': case '-': case '.':
    case '^': case '_': case '`': case '|': case '~':
        return true;
    default:
        return false;
    }
}

HttpReply malformed(const QString& why)
{
    HttpReply r;
    r.state = HttpReply::State::Malformed;
    r.error = why;
    return r;
}

// "HTTP/" digit "." digit SP 3DIGIT [SP reason]
bool parseStatusLine(const QByteArray& line, int* status)
{
    if (line.size() < 12 || !line.startsWith("HTTP/"))
        return false;
    if (!isDigit(line[5]) || line[6] != '.' || !isDigit(line[7]) || line[8] != ' ')
        return false;
    if (!isDigit(line[9]) || !isDigit(line[10]) || !isDigit(line[11]))
        return false;
    if (line.size() > 12 && line[12] != ' ')
        return false;
    *status = (line[9] - '0') * 100 + (line[10] - '0') * 10 + (line[11] - '0');
    return true;
}

QByteArray trimmedBlanks(const QByteArray& v)
{
    qsizetype b = 0, e = v.size();
    while (b < e && (v[b] == ' ' || v[b] == '\t'))
        ++b;
    while (e > b && (v[e - 1] == ' ' || v[e - 1] == '\t'))
        --e;
    return v.mid(b, e - b);
}

} // namespace

HttpReply parseHttpReply(const QByteArray& bytes, bool closed)
{
    // The header block ends at the first empty line; lines end in CR LF or a lone LF.
    qsizetype pos = 0;
    qsizetype bodyStart = -1;
    QList<QByteArray> lines;
    while (pos < bytes.size()) {
        const qsizetype nl = bytes.indexOf('\n', pos);
        if (nl < 0)
            break;
        QByteArray line = bytes.mid(pos, nl - pos);
        if (line.endsWith('\r'))
            line.chop(1);
        pos = nl + 1;
        if (line.isEmpty()) {
            bodyStart = pos;
            break;
        }
        lines.append(line);
        if (pos > kMaxHeaderBytes)
            break;
    }
    if (bodyStart < 0) {
        if (pos > kMaxHeaderBytes || bytes.size() > kMaxHeaderBytes)
            return malformed(QStringLiteral("The reply's headers are too long."));
        // What has come so far must at least be able to become a status line.
        const QByteArray head = bytes.left(5);
        if (!QByteArray("HTTP/").startsWith(head))
            return malformed(QStringLiteral("The reply is not an HTTP reply."));
        if (closed)
            return malformed(QStringLiteral("The reply ends inside its headers."));
        return {};
    }
    if (bodyStart > kMaxHeaderBytes)
        return malformed(QStringLiteral("The reply's headers are too long."));
    if (lines.isEmpty())
        return malformed(QStringLiteral("The reply has no status line."));

    HttpReply r;
    if (!parseStatusLine(lines[0], &r.status))
        return malformed(QStringLiteral("The reply is not an HTTP reply."));
    qint64 contentLength = -1;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray& line = lines[i];
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            return malformed(QStringLiteral("The reply holds a header line without a name."));
        const QByteArray name = line.left(colon);
        for (char c : name)
            if (!isTokenChar(c))
                return malformed(QStringLiteral("The reply holds a header line without a name."));
        const QByteArray value = trimmedBlanks(line.mid(colon + 1));
        const QByteArray lower = name.toLower();
        if (lower == "transfer-encoding")
            return malformed(QStringLiteral("The reply uses a transfer encoding."));
        if (lower == "content-length") {
            if (value.isEmpty() || value.size() > 15)
                return malformed(QStringLiteral("The reply's length is not a number."));
            qint64 n = 0;
            for (char c : value) {
                if (!isDigit(c))
                    return malformed(QStringLiteral("The reply's length is not a number."));
                n = n * 10 + (c - '0');
            }
            if (contentLength >= 0 && contentLength != n)
                return malformed(QStringLiteral("The reply gives two lengths."));
            contentLength = n;
        }
        r.headers.append({name, value});
    }

    const qsizetype available = bytes.size() - bodyStart;
    if (contentLength >= 0) {
        if (available >= contentLength) {
            r.body = bytes.mid(bodyStart, static_cast<qsizetype>(contentLength));
            r.state = HttpReply::State::Complete;
            return r;
        }
        if (closed)
            return malformed(QStringLiteral("The reply ends before its announced length."));
        r.state = HttpReply::State::Incomplete;
        return r;
    }
    // Without a length the body runs to the end of the connection.
    if (!closed) {
        r.state = HttpReply::State::Incomplete;
        return r;
    }
    r.body = bytes.mid(bodyStart);
    r.state = HttpReply::State::Complete;
    return r;
}

QByteArray httpRequestBytes(const HttpGetRequest& request)
{
    QByteArray target = request.target.isEmpty() ? QByteArray("/") : request.target;
    QByteArray host = request.host.toUtf8();
    if (request.port != 80)
        host += ':' + QByteArray::number(request.port);
    QByteArray out = "GET " + target + " HTTP/1.0\r\nHost: " + host + "\r\n";
    for (const auto& h : request.headers)
        out += h.first + ": " + h.second + "\r\n";
    out += "\r\n";
    return out;
}

namespace {

bool safeForTheRequest(const QByteArray& b)
{
    for (char c : b)
        if (c == '\r' || c == '\n' || c == '\0')
            return false;
    return true;
}

// One exchange: the socket's signals drive it, a single-shot timer bounds it, and `loop`
// runs until `finish` was called.
class Exchange {
public:
    explicit Exchange(const HttpGetRequest& r) : request_(r) {}

    HttpResult run()
    {
        socket_.setProxy(QNetworkProxy::NoProxy);
        QObject::connect(&socket_, &QTcpSocket::connected, [this] { socket_.write(httpRequestBytes(request_)); });
        QObject::connect(&socket_, &QTcpSocket::readyRead, [this] { readMore(false); });
        QObject::connect(&socket_, &QTcpSocket::disconnected, [this] { readMore(true); });
        QObject::connect(&socket_, &QTcpSocket::errorOccurred, [this](QAbstractSocket::SocketError e) {
            if (e == QAbstractSocket::RemoteHostClosedError)
                return readMore(true);
            finish({HttpOutcome::NoConnection, 0, {}, socket_.errorString()});
        });
        timer_.setSingleShot(true);
        timer_.setTimerType(Qt::PreciseTimer); // the bound is a promise, not a hint
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            finish({HttpOutcome::TimedOut, 0, {},
                    QStringLiteral("No complete reply within %1 ms.").arg(request_.timeoutMs)});
        });
        timer_.start(request_.timeoutMs > 0 ? request_.timeoutMs : 0);
        socket_.connectToHost(request_.host, request_.port);
        if (!done_)
            loop_.exec(QEventLoop::ExcludeUserInputEvents);
        // Leaves nothing behind that could still call into this object.
        timer_.stop();
        QObject::disconnect(&socket_, nullptr, nullptr, nullptr);
        socket_.abort();
        return result_;
    }

private:
    void readMore(bool closed)
    {
        if (done_)
            return;
        received_ += socket_.readAll();
        if (received_.size() > request_.maxReplyBytes)
            return finish({HttpOutcome::Malformed, 0, {}, QStringLiteral("The reply is larger than allowed.")});
        const HttpReply reply = parseHttpReply(received_, closed);
        switch (reply.state) {
        case HttpReply::State::Incomplete:
            return;
        case HttpReply::State::Malformed:
            return finish({HttpOutcome::Malformed, 0, {}, reply.error});
        case HttpReply::State::Complete:
            break;
        }
        if (reply.status >= 200 && reply.status <= 299)
            return finish({HttpOutcome::Ok, reply.status, reply.body, {}});
        finish({HttpOutcome::ErrorStatus, reply.status, reply.body,
                QStringLiteral("The server answered with status %1.").arg(reply.status)});
    }

    void finish(HttpResult r)
    {
        if (done_)
            return;
        done_ = true;
        result_ = std::move(r);
        loop_.quit();
    }

    const HttpGetRequest& request_;
    QTcpSocket socket_;
    QTimer timer_;
    QEventLoop loop_;
    QByteArray received_;
    HttpResult result_;
    bool done_ = false;
};

} // namespace

HttpResult httpGet(const HttpGetRequest& request)
{
    if (request.host.isEmpty())
        return {HttpOutcome::NoConnection, 0, {}, QStringLiteral("No server named.")};
    if (!safeForTheRequest(request.host.toUtf8()) || !safeForTheRequest(request.target))
        return {HttpOutcome::NoConnection, 0, {}, QStringLiteral("The address cannot be sent.")};
    for (const auto& h : request.headers)
        if (!safeForTheRequest(h.first) || !safeForTheRequest(h.second))
            return {HttpOutcome::NoConnection, 0, {}, QStringLiteral("A header cannot be sent.")};
    Exchange exchange(request);
    return exchange.run();
}

} // namespace platform
