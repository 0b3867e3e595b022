// Datagrams go to the loopback address only.
#include "platform/net/Udp.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

using namespace platform;

namespace {

constexpr uint32_t kLoopback = 0x7F000001;

// A plain socket on 127.0.0.1 playing the device.
class Peer {
public:
    Peer()
    {
        fd_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(kLoopback);
        ::bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a);
        socklen_t len = sizeof a;
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len);
        port_ = ntohs(a.sin_port);
    }
    ~Peer() { ::close(fd_); }
    uint16_t port() const { return port_; }
    void sendTo(uint16_t port, const std::vector<uint8_t>& bytes) const
    {
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_addr.s_addr = htonl(kLoopback);
        to.sin_port = htons(port);
        ::sendto(fd_, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
    }
    // One datagram, or none within waitMs.
    std::vector<uint8_t> receive(int waitMs, uint16_t* fromPort = nullptr) const
    {
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, waitMs) <= 0)
            return {};
        std::vector<uint8_t> buf(65536);
        sockaddr_in from{};
        socklen_t len = sizeof from;
        const ssize_t n = ::recvfrom(fd_, buf.data(), buf.size(), 0, reinterpret_cast<sockaddr*>(&from), &len);
        buf.resize(n > 0 ? static_cast<size_t>(n) : 0);
        if (fromPort)
            *fromPort = ntohs(from.sin_port);
        return buf;
    }

private:
    int fd_ = -1;
    uint16_t port_ = 0;
};

struct Received {
    std::vector<uint8_t> data;
    UdpSender from;
    bool truncated;
};

class Collector {
public:
    UdpServer::Handler handler()
    {
        return [this](std::span<const uint8_t> d, const UdpSender& from, bool truncated) {
            std::lock_guard lk(m_);
            got_.push_back({{d.begin(), d.end()}, from, truncated});
        };
    }
    bool waitFor(size_t n, int ms = 2000)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (std::chrono::steady_clock::now() < deadline) {
            {
                std::lock_guard lk(m_);
                if (got_.size() >= n)
                    return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return false;
    }
    std::vector<Received> got()
    {
        std::lock_guard lk(m_);
        return got_;
    }

private:
    std::mutex m_;
    std::vector<Received> got_;
};

TEST(Udp, Ipv4TextIsFourNumbersUpTo255)
{
    struct Case {
        const char* text;
        std::optional<uint32_t> address;
    };
    const Case cases[] = {
        {"192.168.2.205", 0xC0A802CD}, {"0.0.0.0", 0u},           {"255.255.255.255", 0xFFFFFFFF},
        {"127.0.0.1", kLoopback},      {"256.1.1.1", std::nullopt}, {"1.2.3", std::nullopt},
        {"1.2.3.4.5", std::nullopt},   {"1.2..4", std::nullopt},    {" 1.2.3.4", std::nullopt},
        {"1.2.3.-4", std::nullopt},    {"1.2.3.4 ", std::nullopt},  {"a.b.c.d", std::nullopt},
        {"", std::nullopt},            {"0001.2.3.4", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(parseIpv4(QString::fromLatin1(c.text)), c.address) << c.text;
    EXPECT_EQ(ipv4Text(0xC0A802CD), QStringLiteral("192.168.2.205"));
}

TEST(Udp, SendsAndHandsEachDatagramWithItsSenderToTheHandler)
{
    Peer peer;
    Collector c;
    UdpServer server;
    server.setHandler(c.handler());
    EXPECT_FALSE(server.send(kLoopback, peer.port(), std::vector<uint8_t>{1})); // inactive
    ASSERT_TRUE(server.activate());
    ASSERT_NE(server.localPort(), 0);

    ASSERT_TRUE(server.send(kLoopback, peer.port(), std::vector<uint8_t>{0x10, 0x40, 0xFF, 0x3F, 0x16}));
    uint16_t from = 0;
    EXPECT_EQ(peer.receive(2000, &from), (std::vector<uint8_t>{0x10, 0x40, 0xFF, 0x3F, 0x16}));
    EXPECT_EQ(from, server.localPort());
    EXPECT_EQ(server.sentCount(), 1u);

    peer.sendTo(server.localPort(), {0xE5});
    ASSERT_TRUE(c.waitFor(1));
    const Received r = c.got().front();
    EXPECT_EQ(r.data, std::vector<uint8_t>{0xE5});
    EXPECT_EQ(r.from.address, kLoopback);
    EXPECT_EQ(r.from.port, peer.port());
    EXPECT_FALSE(r.truncated);
    EXPECT_EQ(server.handledCount(), 1u);
}

TEST(Udp, DatagramLongerThanTheBufferArrivesCut)
{
    Peer peer;
    Collector c;
    UdpServer server(8192);
    server.setHandler(c.handler());
    ASSERT_TRUE(server.activate());
    peer.sendTo(server.localPort(), std::vector<uint8_t>(9000, 0x68));
    ASSERT_TRUE(c.waitFor(1));
    EXPECT_EQ(c.got().front().data.size(), 8192u);
    EXPECT_TRUE(c.got().front().truncated);
}

TEST(Udp, BindingIsKeptWhileInactiveAndReplacedAtOnceWhileActive)
{
    UdpServer server;
    ASSERT_TRUE(server.activate());
    const uint16_t first = server.localPort();
    server.deactivate();
    EXPECT_FALSE(server.active());
    EXPECT_EQ(server.localPort(), 0);

    // Bind to the port we had, deactivate, activate: the same port again.
    ASSERT_TRUE(server.setBinding(first));
    ASSERT_TRUE(server.activate());
    EXPECT_EQ(server.localPort(), first);
    server.deactivate();
    ASSERT_TRUE(server.activate());
    EXPECT_EQ(server.localPort(), first);

    // A port someone else holds cannot be bound; the server is inactive then.
    Peer other;
    QString error;
    EXPECT_FALSE(server.setBinding(other.port(), &error));
    EXPECT_FALSE(server.active());
    EXPECT_TRUE(error.startsWith(QStringLiteral("bind:"))) << error.toStdString();

    server.clearBindings();
    ASSERT_TRUE(server.activate());
    EXPECT_NE(server.localPort(), 0);
}

TEST(Udp, DeactivateWaitsForTheRunningHandler)
{
    Peer peer;
    std::atomic<bool> inHandler{false};
    std::atomic<bool> finished{false};
    UdpServer server;
    server.setHandler([&](std::span<const uint8_t>, const UdpSender&, bool) {
        inHandler = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        finished = true;
    });
    ASSERT_TRUE(server.activate());
    peer.sendTo(server.localPort(), {1});
    while (!inHandler)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    server.deactivate();
    EXPECT_TRUE(finished);
}

} // namespace
