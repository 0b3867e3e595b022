#pragma once
// A web server of one connection on 127.0.0.1, on a thread of its own, for the HTTP client's
// tests: it accepts one connection, keeps what the client sent up to the end of its headers,
// then behaves as told. Each object listens on a free port of its own.
#include <QByteArray>
#include <atomic>
#include <mutex>
#include <thread>

namespace testing_support {

class StubHttpServer {
public:
    enum class Mode {
        Reply,      // sends `reply`, then closes
        Silent,     // reads the request and never answers
        ReplyThenStall, // sends `reply`, then keeps the connection open without a word more
    };

    StubHttpServer(Mode mode, QByteArray reply = {});
    ~StubHttpServer();
    StubHttpServer(const StubHttpServer&) = delete;
    StubHttpServer& operator=(const StubHttpServer&) = delete;

    quint16 port() const { return port_; }
    // What the client sent, up to and including the empty line that ends its headers.
    QByteArray request() const;
    int connections() const { return connections_; }

    // A port on 127.0.0.1 that nobody listens on (a connection to it is refused).
    static quint16 closedPort();

private:
    void serve();

    Mode mode_;
    QByteArray reply_;
    int listenFd_ = -1;
    quint16 port_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<int> connections_{0};
    mutable std::mutex mutex_;
    QByteArray request_;
    std::thread thread_;
};

} // namespace testing_support
