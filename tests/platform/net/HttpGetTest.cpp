// The HTTP client against a one-connection server on 127.0.0.1.
#include "platform/net/HttpGet.h"
#include "support/QtPrinters.h"
#include "support/StubHttpServer.h"

#include <QElapsedTimer>
#include <QTimer>
#include <gtest/gtest.h>

using namespace platform;
using testing_support::StubHttpServer;

namespace {

HttpGetRequest requestTo(quint16 port, int timeoutMs = 3000)
{
    HttpGetRequest r;
    r.host = QStringLiteral("127.0.0.1");
    r.port = port;
    r.target = "/home/download/GetversionSW.asp?nomesw=GS30115";
    r.headers = {{"Accept", "text/html"}, {"User-Agent", "Test/1.0"}};
    r.timeoutMs = timeoutMs;
    return r;
}

const char* stateName(HttpReply::State s)
{
    switch (s) {
    case HttpReply::State::Incomplete: return "Incomplete";
    case HttpReply::State::Complete: return "Complete";
    case HttpReply::State::Malformed: return "Malformed";
    }
    return "?";
}

} // namespace

TEST(HttpReply, ReadsCompleteRepliesAndRefusesBrokenOnes)
{
    using S = HttpReply::State;
    struct Case {
        const char* bytes;
        bool closed;
        S state;
        int status;
        const char* body;
    } cases[] = {
        {"HTTP/1.0 200 OK\r\n\r\nVER. 1.407", true, S::Complete, 200, "VER. 1.407"},
        {"HTTP/1.0 200 OK\r\n\r\nVER. 1.407", false, S::Incomplete, 0, ""},
        {"HTTP/1.1 200 OK\nServer: x\n\nVER. 1.407\n", true, S::Complete, 200, "VER. 1.407\n"},
        {"HTTP/1.1 200\r\n\r\n", true, S::Complete, 200, ""},
        {"HTTP/1.0 200 OK\r\nContent-Length: 4\r\n\r\nabcdef", false, S::Complete, 200, "abcd"},
        {"HTTP/1.0 200 OK\r\ncontent-length:  4 \r\nContent-Length: 4\r\n\r\nabcd", false, S::Complete, 200, "abcd"},
        {"HTTP/1.0 200 OK\r\nContent-Length: 10\r\n\r\nVER. 1", false, S::Incomplete, 0, ""},
        {"HTTP/1.0 404 Not Found\r\n\r\nnope", true, S::Complete, 404, "nope"},
        {"HTTP/1.0 200 OK\r\nContent-", false, S::Incomplete, 0, ""},
        {"HTT", false, S::Incomplete, 0, ""},
        {"", false, S::Incomplete, 0, ""},
        // Cut short: in the headers, or before the announced length.
        {"HTTP/1.0 200 OK\r\nContent-", true, S::Malformed, 0, ""},
        {"HTTP/1.0 200 OK\r\nContent-Length: 10\r\n\r\nVER. 1", true, S::Malformed, 0, ""},
        {"", true, S::Malformed, 0, ""},
        // Not HTTP, or not an HTTP this client reads.
        {"VER. 1.407", false, S::Malformed, 0, ""},
        {"<html>VER. 1.407</html>\r\n\r\n", true, S::Malformed, 0, ""},
        {"HTTP/1.0 20 OK\r\n\r\n", true, S::Malformed, 0, ""},
        {"HTTP/1.0 2000 OK\r\n\r\n", true, S::Malformed, 0, ""},
        {"HTTP/x.0 200 OK\r\n\r\n", true, S::Malformed, 0, ""},
        {"HTTP/1.0 200 OK\r\nno colon here\r\n\r\n", true, S::Malformed, 0, ""},
        {"HTTP/1.0 200 OK\r\n folded: x\r\n\r\n", true, S::Malformed, 0, ""},
        {"HTTP/1.0 200 OK\r\nContent-Length: -1\r\n\r\n", true, S::Malformed, 0, ""},
        {"HTTP/1.0 200 OK\r\nContent-Length: 4x\r\n\r\nabcd", true, S::Malformed, 0, ""},
        {"HTTP/1.0 200 OK\r\nContent-Length: 99999999999999999999\r\n\r\n", true, S::Malformed, 0, ""},
        {"HTTP/1.0 200 OK\r\nContent-Length: 4\r\nContent-Length: 5\r\n\r\nabcde", true, S::Malformed, 0, ""},
        {"HTTP/1.0 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n4\r\nabcd\r\n0\r\n\r\n", true, S::Malformed, 0, ""},
    };
    for (const Case& c : cases) {
        const HttpReply r = parseHttpReply(QByteArray(c.bytes), c.closed);
        SCOPED_TRACE(testing::Message() << '"' << c.bytes << "\" closed=" << c.closed);
        EXPECT_STREQ(stateName(r.state), stateName(c.state));
        if (c.state == S::Complete) {
            EXPECT_EQ(r.status, c.status);
            EXPECT_EQ(r.body, QByteArray(c.body));
        }
        if (c.state == S::Malformed) {
            EXPECT_FALSE(r.error.isEmpty());
        }
    }
}

TEST(HttpReply, HeadersWithoutAnEndAreRefusedOnceTooLong)
{
    QByteArray bytes = "HTTP/1.0 200 OK\r\n";
    while (bytes.size() < 70 * 1024)
        bytes += "X-Filler: " + QByteArray(100, 'a') + "\r\n";
    EXPECT_EQ(parseHttpReply(bytes, false).state, HttpReply::State::Malformed);
    EXPECT_EQ(parseHttpReply("HTTP/1.0 200 OK\r\n" + QByteArray(70 * 1024, 'a'), false).state,
              HttpReply::State::Malformed);
}

TEST(HttpGet, SendsTheRequestAndReadsTheBody)
{
    StubHttpServer server(StubHttpServer::Mode::Reply, "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\nVER. 1.407\r\n");
    const HttpGetRequest req = requestTo(server.port());
    const HttpResult r = httpGet(req);
    EXPECT_EQ(r.outcome, HttpOutcome::Ok) << r.error.toStdString();
    EXPECT_EQ(r.status, 200);
    EXPECT_EQ(r.body, QByteArray("VER. 1.407\r\n"));
    const QByteArray expected = "GET /home/download/GetversionSW.asp?nomesw=GS30115 HTTP/1.0\r\n"
                                "Host: 127.0.0.1:" + QByteArray::number(server.port()) + "\r\n"
                                "Accept: text/html\r\n"
                                "User-Agent: Test/1.0\r\n"
                                "\r\n";
    EXPECT_EQ(server.request(), expected);
    EXPECT_EQ(httpRequestBytes(req), expected);
}

TEST(HttpGet, TheHostHeaderNamesThePortOnlyWhenItIsNotTheDefault)
{
    HttpGetRequest r;
    r.host = QStringLiteral("www.example.com");
    r.target = "/a";
    EXPECT_EQ(httpRequestBytes(r), QByteArray("GET /a HTTP/1.0\r\nHost: www.example.com\r\n\r\n"));
    r.target.clear();
    r.port = 8080;
    EXPECT_EQ(httpRequestBytes(r), QByteArray("GET / HTTP/1.0\r\nHost: www.example.com:8080\r\n\r\n"));
}

TEST(HttpGet, FailuresAreToldApart)
{
    {
        StubHttpServer server(StubHttpServer::Mode::Reply, "HTTP/1.0 500 Server Error\r\n\r\nVER. 9.999");
        const HttpResult r = httpGet(requestTo(server.port()));
        EXPECT_EQ(r.outcome, HttpOutcome::ErrorStatus);
        EXPECT_EQ(r.status, 500);
    }
    {
        StubHttpServer server(StubHttpServer::Mode::Reply, "HTTP/1.0 200 OK\r\nContent-Length: 10\r\n\r\nVER. 1");
        EXPECT_EQ(httpGet(requestTo(server.port())).outcome, HttpOutcome::Malformed);
    }
    {
        StubHttpServer server(StubHttpServer::Mode::Reply, "VER. 1.407");
        EXPECT_EQ(httpGet(requestTo(server.port())).outcome, HttpOutcome::Malformed);
    }
    {
        StubHttpServer server(StubHttpServer::Mode::Reply, "HTTP/1.0 200 OK\r\n\r\n" + QByteArray(5000, 'x'));
        HttpGetRequest req = requestTo(server.port());
        req.maxReplyBytes = 1000;
        EXPECT_EQ(httpGet(req).outcome, HttpOutcome::Malformed);
    }
    {
        const HttpResult r = httpGet(requestTo(StubHttpServer::closedPort()));
        EXPECT_EQ(r.outcome, HttpOutcome::NoConnection);
        EXPECT_FALSE(r.error.isEmpty());
    }
}

TEST(HttpGet, NothingThatWouldSplitTheRequestIsSent)
{
    StubHttpServer server(StubHttpServer::Mode::Silent);
    HttpGetRequest req = requestTo(server.port(), 200);
    req.target = "/a?x=1\r\nX-Evil: 1";
    EXPECT_EQ(httpGet(req).outcome, HttpOutcome::NoConnection);
    req = requestTo(server.port(), 200);
    req.headers.append(qMakePair(QByteArray("User-Agent"), QByteArray("a\nb")));
    EXPECT_EQ(httpGet(req).outcome, HttpOutcome::NoConnection);
    EXPECT_EQ(server.connections(), 0);
}

TEST(HttpGet, TheWholeExchangeIsBoundedAndEventsGoOnMeanwhile)
{
    struct Case {
        StubHttpServer::Mode mode;
        const char* reply;
    } cases[] = {
        {StubHttpServer::Mode::Silent, ""},
        {StubHttpServer::Mode::ReplyThenStall, "HTTP/1.0 200 OK\r\n\r\nVER. 1.4"},
        {StubHttpServer::Mode::ReplyThenStall, "HTTP/1.0 200 OK\r\nContent-Length: 10\r\n\r\nVER. 1"},
    };
    for (const Case& c : cases) {
        StubHttpServer server(c.mode, c.reply);
        bool timerRan = false;
        QTimer::singleShot(20, [&] { timerRan = true; });
        QElapsedTimer t;
        t.start();
        const HttpResult r = httpGet(requestTo(server.port(), 400));
        const qint64 ms = t.elapsed();
        EXPECT_EQ(r.outcome, HttpOutcome::TimedOut) << c.reply;
        EXPECT_GE(ms, 390) << c.reply;
        EXPECT_LT(ms, 4000) << c.reply;
        EXPECT_TRUE(timerRan) << "the event loop runs while the request waits";
    }
}

TEST(HttpGet, AReplyOfTheAnnouncedLengthEndsTheWaitWithoutTheServerClosing)
{
    StubHttpServer server(StubHttpServer::Mode::ReplyThenStall,
                          "HTTP/1.0 200 OK\r\nContent-Length: 10\r\n\r\nVER. 1.407");
    QElapsedTimer t;
    t.start();
    const HttpResult r = httpGet(requestTo(server.port(), 5000));
    EXPECT_EQ(r.outcome, HttpOutcome::Ok);
    EXPECT_EQ(r.body, QByteArray("VER. 1.407"));
    EXPECT_LT(t.elapsed(), 4000);
}
