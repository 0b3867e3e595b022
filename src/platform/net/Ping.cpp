#include "platform/net/Ping.h"

#include "platform/process/Process.h"

#include <QFileInfo>
#include <QStandardPaths>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>

namespace platform {

namespace {

using SteadyClock = std::chrono::steady_clock;

EchoResult fail(const QString& why) { return {EchoStatus::Error, why}; }

// Only dotted-decimal IPv4 addresses: no name look-up, and nothing that a program could take
// for one of its options.
bool parseIpv4(const QString& text, in_addr* out)
{
    const QByteArray a = text.toLatin1();
    if (a.isEmpty() || a.size() > 15 || text.size() != a.size())
        return false;
    return inet_pton(AF_INET, a.constData(), out) == 1;
}

uint16_t nextSequence()
{
    static std::atomic<uint16_t> seq{0};
    return ++seq;
}

class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

int msLeft(SteadyClock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SteadyClock::now()).count();
    return left > 0 ? int(left) : 0;
}

QString findPingProgram()
{
    QString p = QStandardPaths::findExecutable(QStringLiteral("ping"));
    if (!p.isEmpty())
        return p;
    for (const char* candidate : {"/usr/bin/ping", "/bin/ping", "/usr/sbin/ping", "/sbin/ping"})
        if (QFileInfo(QLatin1String(candidate)).isExecutable())
            return QLatin1String(candidate);
    return {};
}

class SystemPinger final : public Pinger {
public:
    EchoResult echo(const QString& ipv4, int timeoutMs) override
    {
        bool refused = false;
        EchoResult r = echoBySocket(ipv4, timeoutMs, &refused);
        if (!refused)
            return r;
        return echoByProgram(ipv4, timeoutMs);
    }
};

Pinger* g_pinger = nullptr;

} // namespace

Pinger& pinger()
{
    static SystemPinger system;
    return g_pinger ? *g_pinger : system;
}

void setPinger(Pinger* p) { g_pinger = p; }

EchoResult echoBySocket(const QString& ipv4, int timeoutMs, bool* refused)
{
    if (refused)
        *refused = false;
    in_addr target{};
    if (!parseIpv4(ipv4, &target))
        return fail(QStringLiteral("\"%1\" is not an IPv4 address").arg(ipv4));

    Fd fd(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_ICMP));
    if (fd.get() < 0) {
        const int err = errno;
        // The system allows these sockets only to the groups in net.ipv4.ping_group_range.
        if (refused && (err == EACCES || err == EPERM || err == EPROTONOSUPPORT || err == EAFNOSUPPORT))
            *refused = true;
        return fail(QStringLiteral("Cannot open an ICMP socket: %1").arg(QString::fromLocal8Bit(std::strerror(err))));
    }

    // Echo request: type 8, code 0. The kernel fills in the identifier and the checksum of a
    // datagram ICMP socket and hands back only the replies that belong to this socket.
    const uint16_t seq = nextSequence();
    unsigned char request[8 + 32] = {8, 0, 0, 0, 0, 0, uint8_t(seq >> 8), uint8_t(seq & 0xFF)};
    for (size_t i = 8; i < sizeof request; ++i)
        request[i] = uint8_t('a' + (i - 8) % 26);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr = target;
    const auto deadline = SteadyClock::now() + std::chrono::milliseconds(timeoutMs > 0 ? timeoutMs : 0);
    if (::sendto(fd.get(), request, sizeof request, 0, reinterpret_cast<const sockaddr*>(&to), sizeof to) < 0) {
        // No route to the address, for instance: reported like the ping program reports it.
        const int err = errno;
        return fail(QStringLiteral("Cannot send the echo request: %1").arg(QString::fromLocal8Bit(std::strerror(err))));
    }

    for (;;) {
        pollfd p{fd.get(), POLLIN, 0};
        const int n = ::poll(&p, 1, msLeft(deadline));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return {EchoStatus::NoAnswer, {}};
        unsigned char reply[1500];
        const ssize_t got = ::recv(fd.get(), reply, sizeof reply, 0);
        if (got < 0) {
            if (errno == EINTR || errno == EAGAIN)
                continue;
            // An ICMP error about our request (unreachable, for instance): no answer.
            if (msLeft(deadline) == 0)
                return {EchoStatus::NoAnswer, {}};
            continue;
        }
        // Echo reply (type 0) to this request's sequence number.
        if (got >= 8 && reply[0] == 0 && reply[6] == request[6] && reply[7] == request[7])
            return {EchoStatus::Answered, {}};
        if (msLeft(deadline) == 0)
            return {EchoStatus::NoAnswer, {}};
    }
}

EchoResult echoByProgram(const QString& ipv4, int timeoutMs)
{
    in_addr target{};
    if (!parseIpv4(ipv4, &target))
        return fail(QStringLiteral("\"%1\" is not an IPv4 address").arg(ipv4));
    const QString program = findPingProgram();
    if (program.isEmpty())
        return fail(QStringLiteral("The ping program is not installed."));
    const int seconds = timeoutMs <= 1000 ? 1 : (timeoutMs + 999) / 1000;
    // ping ends by itself after its own wait; the margin covers a slow start.
    const WaitOutcome out = startAndWait(
        program, {QStringLiteral("-c"), QStringLiteral("1"), QStringLiteral("-W"), QString::number(seconds), ipv4},
        QString(), uint64_t(seconds) * 1000 + 2000);
    switch (out.kind) {
    case WaitOutcome::NotStarted:
        return fail(QStringLiteral("Cannot start %1: %2").arg(program, out.error));
    case WaitOutcome::TimedOut:
        return {EchoStatus::NoAnswer, {}};
    case WaitOutcome::Ended:
        break;
    }
    switch (out.exitCode) {
    case 0:
        return {EchoStatus::Answered, {}};
    case 1:
        return {EchoStatus::NoAnswer, {}};
    default:
        return fail(QStringLiteral("%1 failed with exit status %2").arg(program).arg(out.exitCode));
    }
}

} // namespace platform
