#include "platform/net/Udp.h"

#include <QStringList>

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace platform {

std::optional<uint32_t> parseIpv4(const QString& text)
{
    const QStringList parts = text.split(QLatin1Char('.'));
    if (parts.size() != 4)
        return std::nullopt;
    uint32_t address = 0;
    for (const QString& p : parts) {
        if (p.isEmpty() || p.size() > 3)
            return std::nullopt;
        int v = 0;
        for (const QChar c : p) {
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return std::nullopt;
            v = v * 10 + (c.unicode() - '0');
        }
        if (v > 255)
            return std::nullopt;
        address = address << 8 | static_cast<uint32_t>(v);
    }
    return address;
}

QString ipv4Text(uint32_t address)
{
    return QStringLiteral("%1.%2.%3.%4")
        .arg(address >> 24)
        .arg((address >> 16) & 0xFF)
        .arg((address >> 8) & 0xFF)
        .arg(address & 0xFF);
}

struct UdpServer::Listener {
    int stopFd = -1;
    std::thread thread;
};

UdpServer::UdpServer(int receiveBufferSize) : bufferSize_(receiveBufferSize > 0 ? receiveBufferSize : 8192) {}

UdpServer::~UdpServer() { deactivate(); }

void UdpServer::setHandler(Handler h) { handler_ = std::move(h); }

bool UdpServer::setBinding(uint16_t port, QString* error)
{
    const bool wasActive = active();
    if (wasActive)
        deactivate();
    hasBinding_ = true;
    bindingPort_ = port;
    return wasActive ? activate(error) : true;
}

void UdpServer::clearBindings()
{
    hasBinding_ = false;
    bindingPort_ = 0;
}

bool UdpServer::activate(QString* error)
{
    if (active())
        return true;
    auto fail = [&](const char* what, int fd) {
        const int err = errno;
        if (error)
            *error = QStringLiteral("%1: %2").arg(QString::fromLatin1(what), QString::fromLocal8Bit(std::strerror(err)));
        if (fd >= 0)
            ::close(fd);
        return false;
    };
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return fail("socket", -1);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_ANY);
    a.sin_port = htons(hasBinding_ ? bindingPort_ : 0);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0)
        return fail("bind", fd);
    socklen_t len = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    const int stopFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (stopFd < 0)
        return fail("eventfd", fd);
    listener_ = std::make_unique<Listener>();
    listener_->stopFd = stopFd;
    localPort_.store(ntohs(a.sin_port));
    fd_.store(fd);
    listener_->thread = std::thread([this, fd, stopFd] { listen(fd, stopFd); });
    return true;
}

void UdpServer::deactivate()
{
    if (!listener_)
        return;
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t w = ::write(listener_->stopFd, &one, sizeof one);
    if (listener_->thread.joinable())
        listener_->thread.join();
    ::close(listener_->stopFd);
    const int fd = fd_.exchange(-1);
    if (fd >= 0)
        ::close(fd);
    localPort_.store(0);
    listener_.reset();
}

void UdpServer::listen(int fd, int stopFd)
{
    std::vector<uint8_t> buf(static_cast<size_t>(bufferSize_));
    for (;;) {
        pollfd p[2] = {{stopFd, POLLIN, 0}, {fd, POLLIN, 0}};
        if (::poll(p, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (p[0].revents)
            return;
        if (!(p[1].revents & POLLIN))
            continue;
        sockaddr_in from{};
        socklen_t len = sizeof from;
        const ssize_t n = ::recvfrom(fd, buf.data(), buf.size(), MSG_TRUNC | MSG_DONTWAIT,
                                     reinterpret_cast<sockaddr*>(&from), &len);
        if (n < 0)
            continue; // a pending error of an earlier send (port unreachable): nothing to hand on
        const bool truncated = static_cast<size_t>(n) > buf.size();
        const size_t got = truncated ? buf.size() : static_cast<size_t>(n);
        if (handler_) {
            try {
                handler_(std::span<const uint8_t>(buf.data(), got), UdpSender{ntohl(from.sin_addr.s_addr), ntohs(from.sin_port)},
                         truncated);
            } catch (...) {
                // The listener outlives any handler's failure.
            }
        }
        handled_.fetch_add(1);
    }
}

bool UdpServer::send(uint32_t address, uint16_t port, std::span<const uint8_t> data)
{
    const int fd = fd_.load();
    if (fd < 0)
        return false;
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(address);
    to.sin_port = htons(port);
    const ssize_t n = ::sendto(fd, data.data(), data.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
    if (n != static_cast<ssize_t>(data.size()))
        return false;
    sent_.fetch_add(1);
    return true;
}

} // namespace platform
