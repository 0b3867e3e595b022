#include "mbus/scan/Channel.h"

#include "platform/process/Clock.h"
#include "platform/text/UserError.h"

namespace mbus::scan {

bool isConfirmation(std::span<const uint8_t> reply, std::string_view text)
{
    if (reply.size() != text.size() + 4)
        return false;
    if (reply[0] != 0x0A || reply[1] != 0x0D || reply[reply.size() - 2] != 0x0A || reply[reply.size() - 1] != 0x0D)
        return false;
    for (size_t i = 0; i < text.size(); ++i)
        if (reply[i + 2] != static_cast<uint8_t>(text[i]))
            return false;
    return true;
}

bool isNoSlave(std::span<const uint8_t> reply)
{
    static constexpr uint8_t kNoSlave[] = {'N', 'O', '_', 'S', 'L', 'A', 'V', 'E', 0x0A, 0x0D};
    return reply.size() == sizeof kNoSlave && std::equal(reply.begin(), reply.end(), kNoSlave);
}

// ---- UDP ----

UdpGatewayChannel::UdpGatewayChannel()
{
    server_.setHandler([this](std::span<const uint8_t> data, const platform::UdpSender& from, bool truncated) {
        received(data, from, truncated);
    });
}

UdpGatewayChannel::~UdpGatewayChannel() { server_.deactivate(); }

void UdpGatewayChannel::open(const ChannelSettings& settings, ReplySink sink)
{
    {
        std::lock_guard lk(m_);
        sink_ = std::move(sink);
    }
    gateway_.store(settings.gateway);
    gatewayPort_.store(settings.gatewayPort);
    QString error;
    if (settings.localPort && !(server_.hasBinding() && server_.bindingPort() == *settings.localPort)) {
        if (!server_.setBinding(*settings.localPort, &error))
            throw platform::UserError(
                QStringLiteral("The UDP port %1 cannot be opened (%2).").arg(*settings.localPort).arg(error));
    }
    if (!server_.activate(&error)) {
        const uint16_t port = server_.hasBinding() ? server_.bindingPort() : 0;
        throw platform::UserError(QStringLiteral("The UDP port %1 cannot be opened (%2).").arg(port).arg(error));
    }
}

bool UdpGatewayChannel::send(std::span<const uint8_t> bytes)
{
    return server_.send(gateway_.load(), gatewayPort_.load(), bytes);
}

void UdpGatewayChannel::close() { server_.deactivate(); }

void UdpGatewayChannel::received(std::span<const uint8_t> data, const platform::UdpSender& from, bool truncated)
{
    // Only the gateway answers: a datagram from any other address is not a reply. Its source
    // port is the gateway's own business.
    if (truncated || from.address != gateway_.load())
        return;
    ReplySink sink;
    {
        std::lock_guard lk(m_);
        sink = sink_;
    }
    if (sink)
        sink(data);
}

// ---- serial ----

namespace {

constexpr size_t kNoStart = static_cast<size_t>(-1);

// Where a frame may begin: E5, 10, or 68 followed by L L 68 (or by fewer than three bytes yet).
size_t frameStart(const std::vector<uint8_t>& b)
{
    for (size_t i = 0; i < b.size(); ++i) {
        const uint8_t c = b[i];
        if (c == 0xE5 || c == 0x10)
            return i;
        if (c == 0x68 && (b.size() - i < 4 || (b[i + 1] == b[i + 2] && b[i + 3] == 0x68)))
            return i;
    }
    return kNoStart;
}

} // namespace

void SerialReplyGatherer::complete(std::vector<std::vector<uint8_t>>& out)
{
    for (;;) {
        if (buf_.empty())
            return;
        if (!garbled_) {
            const size_t s = frameStart(buf_);
            if (s != kNoStart) {
                const size_t have = buf_.size() - s;
                size_t length = 0;
                if (buf_[s] == 0xE5) {
                    // An acknowledgement is known only by the quiet after it.
                    if (have > 1)
                        garbled_ = true;
                } else if (buf_[s] == 0x10) {
                    length = have >= 5 ? 5 : 0;
                } else if (have >= 4 && have >= static_cast<size_t>(buf_[s + 1]) + 6) {
                    length = static_cast<size_t>(buf_[s + 1]) + 6;
                }
                if (length > 0) {
                    // The noise before the frame goes with it.
                    const auto begin = buf_.begin() + static_cast<std::ptrdiff_t>(s);
                    out.emplace_back(begin, begin + static_cast<std::ptrdiff_t>(length));
                    buf_.erase(buf_.begin(), begin + static_cast<std::ptrdiff_t>(length));
                    continue;
                }
            }
        }
        if (buf_.size() < kAnswerSize)
            return;
        out.emplace_back(buf_.begin(), buf_.begin() + static_cast<std::ptrdiff_t>(kAnswerSize));
        buf_.erase(buf_.begin(), buf_.begin() + static_cast<std::ptrdiff_t>(kAnswerSize));
    }
}

std::vector<std::vector<uint8_t>> SerialReplyGatherer::add(std::span<const uint8_t> bytes, uint32_t tickMs)
{
    std::vector<std::vector<uint8_t>> out;
    for (const uint8_t b : bytes) {
        buf_.push_back(b);
        complete(out);
    }
    last_ = tickMs;
    return out;
}

std::optional<std::vector<uint8_t>> SerialReplyGatherer::poll(uint32_t tickMs)
{
    if (buf_.empty() || static_cast<uint32_t>(tickMs - last_) <= gapMs_)
        return std::nullopt;
    std::vector<uint8_t> out;
    // An acknowledgement after line noise, then quiet: the acknowledgement. Anything else that
    // the pause ends is handed on whole.
    const size_t s = garbled_ ? kNoStart : frameStart(buf_);
    if (s != kNoStart && buf_[s] == 0xE5 && s + 1 == buf_.size())
        out.push_back(0xE5);
    else
        out = buf_;
    clear();
    return out;
}

SerialGatewayChannel::SerialGatewayChannel(platform::Clock& clock) : clock_(clock)
{
    comm_.setBaudRate(platform::TBaudrate::br115200);
    comm_.setDatabits(platform::TDatabits::da8);
    comm_.setFlowControl(platform::TFlowControl::fcNone);
    comm_.setParity(platform::TParity::paNone);
    comm_.setStopbits(platform::TStopbits::sb10);
    comm_.setReadBufSize(4096);
    comm_.setWriteBufSize(4096);
    comm_.OnRxChar = [this](platform::TCustomComm*, int count) { Comm_RxChar(count); };
}

SerialGatewayChannel::~SerialGatewayChannel() { comm_.Close(); }

void SerialGatewayChannel::open(const ChannelSettings& settings, ReplySink sink)
{
    {
        std::lock_guard lk(m_);
        sink_ = std::move(sink);
        gather_.clear();
    }
    comm_.setDeviceName(settings.comPort);
    comm_.Open();
}

bool SerialGatewayChannel::send(std::span<const uint8_t> bytes)
{
    try {
        if (comm_.Write(bytes.data(), static_cast<int>(bytes.size())) != static_cast<int>(bytes.size()))
            return false;
    } catch (const platform::ECommError&) {
        return false;
    }
    sent_.fetch_add(1);
    return true;
}

void SerialGatewayChannel::close()
{
    comm_.Close();
    std::lock_guard lk(m_);
    gather_.clear();
}

void SerialGatewayChannel::Comm_RxChar(int Count)
{
    std::vector<uint8_t> buf(static_cast<size_t>(Count > 0 ? Count : 0) + 256);
    int n = 0;
    try {
        n = comm_.Read(buf.data(), static_cast<int>(buf.size()));
    } catch (const platform::ECommError&) {
        return; // closed meanwhile
    }
    if (n <= 0)
        return;
    std::vector<std::vector<uint8_t>> replies;
    {
        std::lock_guard lk(m_);
        replies = gather_.add(std::span<const uint8_t>(buf.data(), static_cast<size_t>(n)),
                              static_cast<uint32_t>(clock_.tickMs()));
    }
    deliver(std::move(replies));
    received_.fetch_add(static_cast<uint64_t>(n));
}

void SerialGatewayChannel::poll(uint32_t tickMs)
{
    std::vector<std::vector<uint8_t>> replies;
    {
        std::lock_guard lk(m_);
        if (std::optional<std::vector<uint8_t>> r = gather_.poll(tickMs))
            replies.push_back(std::move(*r));
    }
    deliver(std::move(replies));
}

void SerialGatewayChannel::deliver(std::vector<std::vector<uint8_t>> replies)
{
    if (replies.empty())
        return;
    ReplySink sink;
    {
        std::lock_guard lk(m_);
        sink = sink_;
    }
    if (!sink)
        return;
    for (const std::vector<uint8_t>& r : replies)
        sink(r);
}

} // namespace mbus::scan
