#include "support/StubHttpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

namespace testing_support {

namespace {

// Binds a TCP socket to a free port of 127.0.0.1; returns the descriptor and sets `port`.
int bindLoopback(quint16* port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        throw std::runtime_error("socket");
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
        ::close(fd);
        throw std::runtime_error("bind");
    }
    socklen_t len = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    *port = ntohs(a.sin_port);
    return fd;
}

// Waits up to 20 ms for `fd` to become readable.
bool readable(int fd)
{
    pollfd p{fd, POLLIN, 0};
    return ::poll(&p, 1, 20) > 0;
}

} // namespace

StubHttpServer::StubHttpServer(Mode mode, QByteArray reply) : mode_(mode), reply_(std::move(reply))
{
    listenFd_ = bindLoopback(&port_);
    if (::listen(listenFd_, 4) != 0) {
        ::close(listenFd_);
        throw std::runtime_error("listen");
    }
    thread_ = std::thread([this] { serve(); });
}

StubHttpServer::~StubHttpServer()
{
    stop_ = true;
    thread_.join();
    ::close(listenFd_);
}

QByteArray StubHttpServer::request() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return request_;
}

quint16 StubHttpServer::closedPort()
{
    quint16 port = 0;
    const int fd = bindLoopback(&port);
    ::close(fd); // bound but never listening: refused, and the port stays unused for a while
    return port;
}

void StubHttpServer::serve()
{
    int fd = -1;
    while (!stop_ && fd < 0) {
        if (readable(listenFd_))
            fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    }
    if (fd < 0)
        return;
    ++connections_;
    QByteArray got;
    while (!stop_ && !got.contains("\r\n\r\n")) {
        if (!readable(fd))
            continue;
        char buf[1024];
        const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
        if (n <= 0)
            break;
        got.append(buf, static_cast<qsizetype>(n));
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        const qsizetype end = got.indexOf("\r\n\r\n");
        request_ = end >= 0 ? got.left(end + 4) : got;
    }
    if (mode_ != Mode::Silent) {
        qsizetype sent = 0;
        while (sent < reply_.size()) {
            const ssize_t n = ::send(fd, reply_.constData() + sent, static_cast<size_t>(reply_.size() - sent),
                                     MSG_NOSIGNAL);
            if (n <= 0)
                break;
            sent += n;
        }
    }
    if (mode_ != Mode::Reply) {
        // Holds the connection open until the test is over.
        while (!stop_)
            ::usleep(20000);
    }
    ::close(fd);
}

} // namespace testing_support
