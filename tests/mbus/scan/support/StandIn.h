#pragma once
// Stand-ins for what the scan talks to: meters on an M-Bus line, the gateway on 127.0.0.1 (UDP)
// with its analyzer and configuration modes and a Telit or RadioCrafts radio module, and a
// level converter on a pseudo-terminal that passes raw M-Bus.
#include "Fixtures.h"

#include <QByteArray>

#include <sys/socket.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <thread>
#include <vector>

namespace scantest {

// One wired meter: its primary address, identification and the record areas of its reply
// frames; every frame but the last is meant to end with the more-records mark 1F.
struct SimMeter {
    uint8_t primary = 0;
    mbustest::Addr addr;
    std::vector<std::vector<uint8_t>> frames;

    // This meter's replies come this long after the request (on the scan's clock; see
    // GatewayOptions::lateMs).
    uint32_t lateMs = 0;

    int current = -1; // frame last sent
    int lastFcb = -1;
    bool selected = false;
};

// A meter with one frame of a few records.
SimMeter meterAt(uint8_t primary, uint32_t id);

// How the meters of one line answer a link frame.
class SimBus {
public:
    enum class Kind { None, Bytes, NoSlave, Collision };
    struct Reply {
        Kind kind = Kind::None;
        std::vector<uint8_t> bytes;
    };
    std::vector<SimMeter> meters;
    Reply handle(std::span<const uint8_t> frame);
    // The meter that answered the last frame handled (none: nullptr).
    const SimMeter* lastAnswering = nullptr;
};

enum class RadioModule { None, Telit, RadioCrafts };

struct GatewayOptions {
    bool confirmAnalyzerOn = true;
    bool unframedAnalyzerOn = false; // the confirmation without its LF CR framing
    bool confirmAnalyzerOff = true;
    bool confirmConfigurationOff = true;
    RadioModule module = RadioModule::Telit;
    size_t radioCraftsReadLength = 257; // bytes of the answer to the memory read, the prompt included

    // A faulty line. Times are on the scan's clock (setClock); a held reply goes out when the
    // gateway is asked to release what is due (releaseDue), which the tests do before the
    // scan's clock moves, so that it reaches the scan at a known moment.
    uint32_t lateMs = 0;          // every reply to an M-Bus frame this late
    uint32_t duplicateAfterMs = 0; // every reply to an M-Bus frame sent again this long after
    // The radio module's telegram that follows the "OK" to "ATO" at once (the module is
    // listening again before the gateway has passed its answer on).
    std::vector<uint8_t> telegramAfterAto;
    bool answerFromOtherPort = false; // replies leave from a second socket of the gateway
};

// The gateway on 127.0.0.1: answers on a port of its own, records every datagram it gets.
class StandInGateway {
public:
    explicit StandInGateway(GatewayOptions options = {});
    ~StandInGateway();

    uint16_t port() const { return port_; }
    void setMeters(std::vector<SimMeter> meters);

    // Every datagram received, in order.
    std::vector<std::vector<uint8_t>> received() const;
    // Those that were text, as text.
    std::vector<std::string> receivedTexts() const;
    uint64_t handled() const { return handled_.load(); }
    uint64_t sent() const { return sent_.load(); }
    // The port the scan sends from (known after the first datagram).
    uint16_t scanPort() const { return scanPort_.load(); }

    // Sends a datagram to the scan, as the radio module passes a telegram on.
    void sendToScan(const std::vector<uint8_t>& bytes, uint16_t port);

    // Runs on the gateway's thread for each datagram, before the gateway answers it.
    void setOnDatagram(std::function<void(const std::vector<uint8_t>&)> f);

    // The scan's clock, for the held replies of a faulty line.
    void setClock(std::function<uint64_t()> clock);
    // Sends the held replies whose time has come at `nowMs`.
    void releaseDue(uint64_t nowMs);
    // The port the replies leave from.
    uint16_t replyPort() const;

private:
    struct Held {
        uint64_t dueMs;
        std::vector<uint8_t> bytes;
        sockaddr_storage to;
        unsigned toLen;
    };
    void serve();
    std::optional<std::vector<uint8_t>> answer(const std::vector<uint8_t>& d);
    void sendReply(const std::vector<uint8_t>& bytes, const void* to, unsigned toLen);

    GatewayOptions options_;
    SimBus bus_;
    int fd_ = -1;
    int otherFd_ = -1;
    int stopFd_ = -1;
    uint16_t port_ = 0;
    std::function<uint64_t()> clock_;
    std::vector<Held> held_;
    uint32_t answerLateMs_ = 0; // of the answer being made (a late meter's own delay)
    std::atomic<uint64_t> handled_{0};
    std::atomic<uint64_t> sent_{0};
    std::atomic<uint16_t> scanPort_{0};
    mutable std::mutex m_;
    std::vector<std::vector<uint8_t>> received_;
    std::function<void(const std::vector<uint8_t>&)> onDatagram_;
    bool analyzer_ = false;
    bool configuration_ = false;
    bool positionNext_ = false;
    bool memoryWrite_ = false;
    std::thread thread_;
};

// A level converter on the master side of a pseudo-terminal: raw M-Bus frames in, raw replies
// out; no gateway texts, silence for no meter.
class SerialStandIn {
public:
    // `noise`: bytes the line puts before every reply; `collision`: what two meters answering
    // at once leave on the line.
    explicit SerialStandIn(int master, std::vector<uint8_t> noise = {},
                           std::vector<uint8_t> collision = {0xA5, 0x1F});
    ~SerialStandIn();
    void setMeters(std::vector<SimMeter> meters);
    std::vector<std::vector<uint8_t>> received() const;
    uint64_t framesHandled() const { return frames_.load(); }
    uint64_t bytesSent() const { return bytes_.load(); }

private:
    void serve();

    int master_;
    std::vector<uint8_t> noise_;
    std::vector<uint8_t> collision_;
    int stopFd_ = -1;
    SimBus bus_;
    std::atomic<uint64_t> frames_{0};
    std::atomic<uint64_t> bytes_{0};
    mutable std::mutex m_;
    std::vector<std::vector<uint8_t>> received_;
    std::thread thread_;
};

// LF CR text LF CR.
std::vector<uint8_t> framed(const std::string& text);
std::string asText(const std::vector<uint8_t>& bytes);

} // namespace scantest
