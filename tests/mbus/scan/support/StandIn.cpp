#include "StandIn.h"

#include "Hex.h"
#include "mbus/decode/Frames.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace scantest {

std::vector<uint8_t> framed(const std::string& text)
{
    // Sized once: growing a two-byte vector by insert trips a false bounds warning of the
    // optimiser.
    std::vector<uint8_t> out;
    out.reserve(text.size() + 4);
    out.push_back(0x0A);
    out.push_back(0x0D);
    out.insert(out.end(), text.begin(), text.end());
    out.insert(out.end(), {0x0A, 0x0D});
    return out;
}

std::string asText(const std::vector<uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

SimMeter meterAt(uint8_t primary, uint32_t id)
{
    SimMeter m;
    m.primary = primary;
    m.addr.id = id;
    m.frames.push_back(mbustest::bytes(mbustest::kMeterRecords));
    return m;
}

namespace {
void resetLink(SimMeter& m)
{
    m.current = -1;
    m.lastFcb = -1;
}
} // namespace

SimBus::Reply SimBus::handle(std::span<const uint8_t> f)
{
    lastAnswering = nullptr;
    auto single = [&](std::vector<SimMeter*> targets, auto&& then) -> Reply {
        if (targets.empty())
            return {};
        if (targets.size() > 1)
            return {Kind::Collision, {}};
        lastAnswering = targets.front();
        return then(*targets.front());
    };
    auto at = [&](uint8_t a) {
        std::vector<SimMeter*> t;
        for (SimMeter& m : meters)
            if (a == 0xFD ? m.selected : m.primary == a)
                t.push_back(&m);
        return t;
    };
    const Reply ack{Kind::Bytes, {0xE5}};

    if (f.size() == 5 && f[0] == 0x10 && f[4] == 0x16 && mbus::decode::checksum(f.subspan(1, 2)) == f[3]) {
        const uint8_t c = f[1];
        const uint8_t a = f[2];
        if (c == 0x40) {
            if (a == 0xFF) {
                for (SimMeter& m : meters)
                    resetLink(m);
                return {};
            }
            return single(at(a), [&](SimMeter& m) {
                resetLink(m);
                return ack;
            });
        }
        if (c == 0x5B || c == 0x7B) {
            const int fcb = (c >> 5) & 1;
            return single(at(a), [&](SimMeter& m) {
                if (m.lastFcb < 0)
                    m.current = 0;
                else if (fcb != m.lastFcb)
                    m.current = (m.current + 1) % static_cast<int>(m.frames.size());
                m.lastFcb = fcb;
                return Reply{Kind::Bytes, mbustest::longFrame(m.primary, m.addr, m.frames[static_cast<size_t>(m.current)])};
            });
        }
        return {};
    }
    if (f.size() >= 9 && f[0] == 0x68 && f[3] == 0x68 && f[1] == f[2] && f.size() == f[1] + 6u && f.back() == 0x16) {
        const uint8_t a = f[5];
        const uint8_t ci = f[6];
        if (ci == 0x50) {
            if (a == 0xFF) {
                for (SimMeter& m : meters)
                    resetLink(m);
                return {};
            }
            return single(at(a), [&](SimMeter& m) {
                resetLink(m);
                return ack;
            });
        }
        if (ci == 0x52 && a == 0xFD && f[1] == 0x0B) {
            size_t matches = 0;
            for (SimMeter& m : meters) {
                bool match = true;
                for (int i = 0; i < 8; ++i) {
                    const int p = (f[7 + i / 2] >> (4 * (i % 2))) & 0xF;
                    const int d = static_cast<int>((m.addr.id >> (4 * i)) & 0xF);
                    if (p != 0xF && p != d)
                        match = false;
                }
                m.selected = match;
                if (match) {
                    resetLink(m);
                    ++matches;
                }
            }
            if (matches == 0)
                return {Kind::NoSlave, {}};
            if (matches == 1)
                for (const SimMeter& m : meters)
                    if (m.selected)
                        lastAnswering = &m;
            return matches == 1 ? ack : Reply{Kind::Collision, {}};
        }
    }
    return {};
}

// ---- gateway ----

StandInGateway::StandInGateway(GatewayOptions options) : options_(options)
{
    fd_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t len = sizeof a;
    ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len);
    port_ = ntohs(a.sin_port);
    if (options_.answerFromOtherPort) {
        otherFd_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_in o{};
        o.sin_family = AF_INET;
        o.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(otherFd_, reinterpret_cast<sockaddr*>(&o), sizeof o);
    }
    stopFd_ = ::eventfd(0, EFD_CLOEXEC);
    thread_ = std::thread([this] { serve(); });
}

StandInGateway::~StandInGateway()
{
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t w = ::write(stopFd_, &one, sizeof one);
    thread_.join();
    ::close(stopFd_);
    ::close(fd_);
    if (otherFd_ >= 0)
        ::close(otherFd_);
}

void StandInGateway::setClock(std::function<uint64_t()> clock)
{
    std::lock_guard lk(m_);
    clock_ = std::move(clock);
}

uint16_t StandInGateway::replyPort() const
{
    if (otherFd_ < 0)
        return port_;
    sockaddr_in a{};
    socklen_t len = sizeof a;
    ::getsockname(otherFd_, reinterpret_cast<sockaddr*>(&a), &len);
    return ntohs(a.sin_port);
}

void StandInGateway::sendReply(const std::vector<uint8_t>& bytes, const void* to, unsigned toLen)
{
    sent_.fetch_add(1);
    ::sendto(otherFd_ >= 0 ? otherFd_ : fd_, bytes.data(), bytes.size(), 0, static_cast<const sockaddr*>(to),
             static_cast<socklen_t>(toLen));
}

void StandInGateway::releaseDue(uint64_t nowMs)
{
    std::vector<Held> due;
    {
        std::lock_guard lk(m_);
        for (auto it = held_.begin(); it != held_.end();) {
            if (it->dueMs <= nowMs) {
                due.push_back(*it);
                it = held_.erase(it);
            } else {
                ++it;
            }
        }
    }
    for (const Held& h : due)
        sendReply(h.bytes, &h.to, h.toLen);
}

std::vector<std::vector<uint8_t>> StandInGateway::received() const
{
    std::lock_guard lk(m_);
    return received_;
}

std::vector<std::string> StandInGateway::receivedTexts() const
{
    std::vector<std::string> out;
    for (const std::vector<uint8_t>& d : received())
        out.push_back(asText(d));
    return out;
}

void StandInGateway::setMeters(std::vector<SimMeter> meters)
{
    std::lock_guard lk(m_);
    bus_.meters = std::move(meters);
}

void StandInGateway::setOnDatagram(std::function<void(const std::vector<uint8_t>&)> f)
{
    std::lock_guard lk(m_);
    onDatagram_ = std::move(f);
}

void StandInGateway::sendToScan(const std::vector<uint8_t>& bytes, uint16_t port)
{
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    to.sin_port = htons(port);
    sent_.fetch_add(1);
    ::sendto(fd_, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
}

std::optional<std::vector<uint8_t>> StandInGateway::answer(const std::vector<uint8_t>& d)
{
    const std::string text = asText(d);
    if (text == "Ostrel_Enable_Analyzer_Mode") {
        analyzer_ = true;
        if (!options_.confirmAnalyzerOn)
            return std::nullopt;
        if (options_.unframedAnalyzerOn) {
            const std::string t = "Analyzer_Mode Enabled!";
            return std::vector<uint8_t>(t.begin(), t.end());
        }
        return framed("Analyzer_Mode Enabled!");
    }
    if (text == "Ostrel_Disable_Analyzer_Mode") {
        analyzer_ = false;
        if (!options_.confirmAnalyzerOff)
            return std::nullopt;
        return framed("Analyzer_Mode Disabled!");
    }
    if (text == "Ostrel_Enable_Configuration_Mode") {
        configuration_ = true;
        return framed("Configuration_Mode Enabled!");
    }
    if (text == "Ostrel_Disable_Configuration_Mode") {
        configuration_ = false;
        if (!options_.confirmConfigurationOff)
            return std::nullopt;
        return framed("Configuration_Mode Disabled!");
    }
    if (text == "Ostrel_Type_Radio_Module") {
        switch (options_.module) {
        case RadioModule::Telit: return framed("TELIT");
        case RadioModule::RadioCrafts: return framed("RADIOCRAFTS");
        case RadioModule::None: return std::nullopt;
        }
    }
    if (analyzer_) {
        const SimBus::Reply r = bus_.handle(d);
        answerLateMs_ = bus_.lastAnswering ? bus_.lastAnswering->lateMs : 0;
        switch (r.kind) {
        case SimBus::Kind::Bytes: return r.bytes;
        case SimBus::Kind::NoSlave: return std::vector<uint8_t>{'N', 'O', '_', 'S', 'L', 'A', 'V', 'E', 0x0A, 0x0D};
        case SimBus::Kind::Collision: return std::vector<uint8_t>{0xE5, 0x10, 0xA5}; // replies on top of each other
        case SimBus::Kind::None: return std::nullopt;
        }
    }
    if (configuration_ && options_.module == RadioModule::Telit)
        return std::vector<uint8_t>{'O', 'K', '\r'};
    if (configuration_ && options_.module == RadioModule::RadioCrafts) {
        const bool position = positionNext_ && d.size() == 1;
        const bool block = memoryWrite_ && d.size() == 16;
        positionNext_ = false;
        memoryWrite_ = d == std::vector<uint8_t>{0x4D};
        if (position || block || d == std::vector<uint8_t>{0x58})
            return std::nullopt; // a key-table position, the configuration block, leaving
        if (d == std::vector<uint8_t>{0x30}) {
            std::vector<uint8_t> memory(options_.radioCraftsReadLength, 0x11);
            if (!memory.empty())
                memory.back() = 0x3E;
            return memory;
        }
        if (d == std::vector<uint8_t>{0x42} || d == std::vector<uint8_t>{0x4B} || d == std::vector<uint8_t>{0x41})
            positionNext_ = true;
        return std::vector<uint8_t>{0x3E};
    }
    return std::nullopt;
}

void StandInGateway::serve()
{
    std::vector<uint8_t> buf(65536);
    for (;;) {
        pollfd p[2] = {{stopFd_, POLLIN, 0}, {fd_, POLLIN, 0}};
        if (::poll(p, 2, -1) < 0)
            continue;
        if (p[0].revents)
            return;
        sockaddr_in from{};
        socklen_t len = sizeof from;
        const ssize_t n = ::recvfrom(fd_, buf.data(), buf.size(), 0, reinterpret_cast<sockaddr*>(&from), &len);
        if (n < 0)
            continue;
        const std::vector<uint8_t> d(buf.begin(), buf.begin() + n);
        std::function<void(const std::vector<uint8_t>&)> hook;
        {
            std::lock_guard lk(m_);
            received_.push_back(d);
            hook = onDatagram_;
        }
        scanPort_.store(ntohs(from.sin_port));
        if (hook)
            hook(d);
        std::optional<std::vector<uint8_t>> reply;
        bool mbus = false;
        uint32_t late = 0;
        uint64_t now = 0;
        {
            std::lock_guard lk(m_);
            answerLateMs_ = 0;
            const bool wasAnalyzer = analyzer_;
            reply = answer(d);
            mbus = wasAnalyzer && analyzer_ && !reply.value_or(std::vector<uint8_t>{}).empty() &&
                   asText(d).rfind("Ostrel_", 0) != 0;
            late = options_.lateMs + answerLateMs_;
            now = clock_ ? clock_() : 0;
            if (reply && mbus && (late > 0 || options_.duplicateAfterMs > 0)) {
                // Held replies go out in the order of their time.
                auto hold = [&](uint64_t due) {
                    Held h{due, *reply, {}, static_cast<unsigned>(len)};
                    std::memcpy(&h.to, &from, len);
                    held_.push_back(std::move(h));
                };
                if (late > 0)
                    hold(now + late);
                if (options_.duplicateAfterMs > 0)
                    hold(now + late + options_.duplicateAfterMs);
                if (late > 0)
                    reply.reset();
            }
        }
        if (reply)
            sendReply(*reply, &from, len);
        if (asText(d) == "ATO\r" && reply && !options_.telegramAfterAto.empty())
            sendReply(options_.telegramAfterAto, &from, len);
        handled_.fetch_add(1);
    }
}

// ---- serial ----

SerialStandIn::SerialStandIn(int master, std::vector<uint8_t> noise, std::vector<uint8_t> collision)
    : master_(master), noise_(std::move(noise)), collision_(std::move(collision))
{
    stopFd_ = ::eventfd(0, EFD_CLOEXEC);
    thread_ = std::thread([this] { serve(); });
}

SerialStandIn::~SerialStandIn()
{
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t w = ::write(stopFd_, &one, sizeof one);
    thread_.join();
    ::close(stopFd_);
}

void SerialStandIn::setMeters(std::vector<SimMeter> meters)
{
    std::lock_guard lk(m_);
    bus_.meters = std::move(meters);
}

std::vector<std::vector<uint8_t>> SerialStandIn::received() const
{
    std::lock_guard lk(m_);
    return received_;
}

void SerialStandIn::serve()
{
    std::vector<uint8_t> pending;
    auto writeAll = [&](const std::vector<uint8_t>& bytes) {
        size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
            if (n > 0) {
                done += static_cast<size_t>(n);
                continue;
            }
            pollfd p{master_, POLLOUT, 0};
            ::poll(&p, 1, 50);
        }
        bytes_.fetch_add(bytes.size());
    };
    for (;;) {
        pollfd p[2] = {{stopFd_, POLLIN, 0}, {master_, POLLIN, 0}};
        if (::poll(p, 2, 50) < 0)
            continue;
        if (p[0].revents)
            return;
        uint8_t buf[4096];
        const ssize_t n = ::read(master_, buf, sizeof buf);
        if (n > 0)
            pending.insert(pending.end(), buf, buf + n);
        for (;;) {
            size_t length = 0;
            if (!pending.empty() && pending[0] == 0x10)
                length = pending.size() >= 5 ? 5 : 0;
            else if (!pending.empty() && pending[0] == 0x68)
                length = pending.size() >= 4 && pending.size() >= pending[1] + 6u ? pending[1] + 6u : 0;
            else if (!pending.empty()) {
                pending.erase(pending.begin()); // no frame starts here
                continue;
            }
            if (length == 0)
                break;
            const std::vector<uint8_t> frame(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(length));
            pending.erase(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(length));
            SimBus::Reply r;
            {
                std::lock_guard lk(m_);
                received_.push_back(frame);
                r = bus_.handle(frame);
            }
            std::vector<uint8_t> out;
            if (r.kind == SimBus::Kind::Bytes)
                out = r.bytes;
            else if (r.kind == SimBus::Kind::Collision)
                out = collision_; // replies on top of each other
            if (!out.empty()) {
                out.insert(out.begin(), noise_.begin(), noise_.end());
                writeAll(out);
            }
            frames_.fetch_add(1);
        }
    }
}

} // namespace scantest
