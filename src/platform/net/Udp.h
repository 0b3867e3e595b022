#pragma once
// A UDP server for talking to a device on the local network: bound to one local port (or any
// free one), a listener thread that hands each received datagram with its sender to a
// handler, and sending to an IPv4 address and port from the same socket.
//
// The binding is kept while the server is inactive, so deactivating and activating again binds
// the same port; `setBinding` while active rebinds at once.
#include <QString>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>

namespace platform {

// Four decimal numbers 0..255 separated by dots, nothing else: the address in host order.
std::optional<uint32_t> parseIpv4(const QString& text);
QString ipv4Text(uint32_t address);

struct UdpSender {
    uint32_t address = 0; // host order
    uint16_t port = 0;
};

class UdpServer {
public:
    // Runs on the listener thread, one datagram at a time. A datagram longer than the receive
    // buffer arrives cut to the buffer's size, with `truncated` set.
    using Handler = std::function<void(std::span<const uint8_t> data, const UdpSender& from, bool truncated)>;

    explicit UdpServer(int receiveBufferSize = 8192);
    ~UdpServer(); // deactivates
    UdpServer(const UdpServer&) = delete;
    UdpServer& operator=(const UdpServer&) = delete;

    // Set before activating.
    void setHandler(Handler h);

    // The local port to bind; 0 binds any free port. No binding: any free port too.
    bool hasBinding() const { return hasBinding_; }
    uint16_t bindingPort() const { return bindingPort_; }
    // Replaces the binding; an active server rebinds at once (false, with the reason, and
    // inactive when the new port cannot be bound).
    bool setBinding(uint16_t port, QString* error = nullptr);
    void clearBindings();

    // Binds and starts the listener; true when active afterwards. False with the reason when
    // the port cannot be bound.
    bool activate(QString* error = nullptr);
    // Stops the listener (waits for a handler that is running to return) and closes the socket.
    // Not from the handler itself.
    void deactivate();
    bool active() const { return fd_.load() >= 0; }
    // The port actually bound while active, else 0.
    uint16_t localPort() const { return localPort_.load(); }

    // One datagram; false when the server is inactive or the system refuses it.
    bool send(uint32_t address, uint16_t port, std::span<const uint8_t> data);

    // Datagrams sent, and datagrams received whose handler has returned.
    uint64_t sentCount() const { return sent_.load(); }
    uint64_t handledCount() const { return handled_.load(); }

private:
    void listen(int fd, int stopFd);

    int bufferSize_;
    Handler handler_;
    bool hasBinding_ = false;
    uint16_t bindingPort_ = 0;
    std::atomic<int> fd_{-1};
    std::atomic<uint16_t> localPort_{0};
    std::atomic<uint64_t> sent_{0};
    std::atomic<uint64_t> handled_{0};
    struct Listener;
    std::unique_ptr<Listener> listener_;
};

} // namespace platform
