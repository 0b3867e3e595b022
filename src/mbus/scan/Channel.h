#pragma once
// The scan's way to the gateway: requests out (the gateway's text commands, M-Bus frames, radio
// module commands), replies in, each reply whole. Two transports: UDP to the gateway, or a
// serial port of this machine.
//
// The gateway's text commands are plain ASCII without terminator. A confirming reply is the
// whole of one datagram: LF CR, the text, LF CR. During a secondary-address search the gateway
// answers a selection that no meter acknowledged with the ten bytes "NO_SLAVE" LF CR.
#include "mbus/scan/ScanTypes.h"
#include "platform/net/Udp.h"
#include "platform/serial/CommInt.h"

#include <QString>

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace platform {
class Clock;
}

namespace mbus::scan {

inline constexpr std::string_view kEnableAnalyzer = "Ostrel_Enable_Analyzer_Mode";
inline constexpr std::string_view kDisableAnalyzer = "Ostrel_Disable_Analyzer_Mode";
inline constexpr std::string_view kEnableConfiguration = "Ostrel_Enable_Configuration_Mode";
inline constexpr std::string_view kDisableConfiguration = "Ostrel_Disable_Configuration_Mode";
inline constexpr std::string_view kTypeRadioModule = "Ostrel_Type_Radio_Module";
inline constexpr std::string_view kAnalyzerEnabled = "Analyzer_Mode Enabled!";
inline constexpr std::string_view kAnalyzerDisabled = "Analyzer_Mode Disabled!";
inline constexpr std::string_view kConfigurationEnabled = "Configuration_Mode Enabled!";
inline constexpr std::string_view kConfigurationDisabled = "Configuration_Mode Disabled!";
inline constexpr std::string_view kTelit = "TELIT";
inline constexpr std::string_view kRadioCrafts = "RADIOCRAFTS";

// The gateway's port of the wired scan.
inline constexpr uint16_t kWiredGatewayPort = 10000;
// The longest reply the scan keeps; no reply of the gateway is longer.
inline constexpr size_t kAnswerSize = 2051;

// The reply is LF CR text LF CR, nothing more.
bool isConfirmation(std::span<const uint8_t> reply, std::string_view text);
// "NO_SLAVE" LF CR.
bool isNoSlave(std::span<const uint8_t> reply);

struct ChannelSettings {
    TSelectHard hardware = TSelectHard::shEthernet;
    uint32_t gateway = 0;     // IPv4, host order
    // Where requests go. Replies are taken from the gateway's address whatever their source
    // port: nothing says which port a gateway answers from.
    uint16_t gatewayPort = 0;
    // The local port the gateway sends to (wireless scan): a binding to another port is
    // replaced; no value keeps whatever binding there is.
    std::optional<uint16_t> localPort;
    QString comPort;          // device path of the serial port
};

class GatewayChannel {
public:
    // Receives each reply whole, on whatever thread the transport receives on.
    using ReplySink = std::function<void(std::span<const uint8_t>)>;

    virtual ~GatewayChannel() = default;
    // Raises platform::UserError (ECommError for the serial port) when it cannot be opened.
    virtual void open(const ChannelSettings& settings, ReplySink sink) = 0;
    // False when the request could not be sent.
    virtual bool send(std::span<const uint8_t> bytes) = 0;
    // Stops sending and receiving.
    virtual void close() = 0;
    // Called by the scan before each step: a transport that completes replies by a pause does
    // it here.
    virtual void poll(uint32_t tickMs) { (void)tickMs; }
    // Requests sent, and replies handed on (datagrams; bytes read for the serial port), for
    // tests that keep in step with a stand-in gateway.
    virtual uint64_t sentCount() const = 0;
    virtual uint64_t receivedCount() const = 0;
};

// UDP: the server stays with the channel from scan to scan, so its binding outlives a scan.
class UdpGatewayChannel final : public GatewayChannel {
public:
    UdpGatewayChannel();
    ~UdpGatewayChannel() override;

    void open(const ChannelSettings& settings, ReplySink sink) override;
    bool send(std::span<const uint8_t> bytes) override;
    void close() override;
    uint64_t sentCount() const override { return server_.sentCount(); }
    uint64_t receivedCount() const override { return server_.handledCount(); }

    const platform::UdpServer& server() const { return server_; }

private:
    void received(std::span<const uint8_t> data, const platform::UdpSender& from, bool truncated);

    platform::UdpServer server_;
    std::mutex m_;
    ReplySink sink_;
    std::atomic<uint32_t> gateway_{0};
    std::atomic<uint16_t> gatewayPort_{0};
};

// Gathers the bytes of a serial line into replies by the M-Bus frame's own start and length:
// - bytes before a frame start (E5, 10, or 68 L L 68) are line noise and dropped;
// - a long frame 68 L L 68 ends after L + 6 bytes, a short frame 10 .. 16 after five;
// - E5 is an acknowledgement only when the line then stays quiet for `gapMs`: anything that
//   follows it before that pause makes the whole burst one garbled reply (several meters
//   answering at once);
// - bytes that hold no frame start end with the pause, whole, or when they fill the answer
//   buffer.
class SerialReplyGatherer {
public:
    explicit SerialReplyGatherer(uint32_t gapMs = 100) : gapMs_(gapMs) {}
    // Bytes received at tick; the replies they complete.
    std::vector<std::vector<uint8_t>> add(std::span<const uint8_t> bytes, uint32_t tickMs);
    // The bytes pending, when the pause has passed since the last of them.
    std::optional<std::vector<uint8_t>> poll(uint32_t tickMs);
    void clear()
    {
        buf_.clear();
        garbled_ = false;
    }
    bool pending() const { return !buf_.empty(); }

private:
    void complete(std::vector<std::vector<uint8_t>>& out);

    uint32_t gapMs_;
    std::vector<uint8_t> buf_;
    bool garbled_ = false; // an acknowledgement with more bytes after it: one reply up to the pause
    uint32_t last_ = 0;
};

// A serial port at 115200 baud, 8 data bits, no parity, one stop bit, no flow control, queues
// of 4096 bytes. Bytes are read as the port reports them, on the user-interface thread.
class SerialGatewayChannel final : public GatewayChannel {
public:
    explicit SerialGatewayChannel(platform::Clock& clock);
    ~SerialGatewayChannel() override;

    void open(const ChannelSettings& settings, ReplySink sink) override;
    bool send(std::span<const uint8_t> bytes) override;
    void close() override;
    void poll(uint32_t tickMs) override;
    uint64_t sentCount() const override { return sent_.load(); }
    uint64_t receivedCount() const override { return received_.load(); }

    platform::TComm& Comm() { return comm_; }

private:
    void Comm_RxChar(int Count);
    void deliver(std::vector<std::vector<uint8_t>> replies);

    platform::Clock& clock_;
    platform::TComm comm_;
    std::mutex m_;
    SerialReplyGatherer gather_;
    ReplySink sink_;
    std::atomic<uint64_t> sent_{0};
    std::atomic<uint64_t> received_{0};
};

} // namespace mbus::scan
