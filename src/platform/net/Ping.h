#pragma once
// ICMP echo over IPv4, one echo at a time. The program reaches it through `pinger()` so that
// tests can put a double in its place; the system's pinger uses an unprivileged ICMP datagram
// socket where the system allows one (net.ipv4.ping_group_range) and otherwise runs the
// system's `ping` program with an argument vector.
#include <QString>
#include <memory>

namespace platform {

enum class EchoStatus {
    Answered, // a reply with at least one byte came back in time
    NoAnswer, // no reply within the time-out
    Error,    // not an IPv4 address, or no way to send the echo
};

struct EchoResult {
    EchoStatus status = EchoStatus::Error;
    QString error; // the reason, for EchoStatus::Error
};

class Pinger {
public:
    virtual ~Pinger() = default;
    // Sends one echo request to `ipv4` (dotted decimal, no names) and waits at most
    // `timeoutMs` for its reply.
    virtual EchoResult echo(const QString& ipv4, int timeoutMs) = 0;
};

// The installed pinger; never null. Passing nullptr restores the system's.
Pinger& pinger();
void setPinger(Pinger* p);

// The unprivileged ICMP datagram socket alone. `NoAnswer` and `Answered` as above; `Error`
// also when the system refuses such sockets, with `refused` set (optional out).
EchoResult echoBySocket(const QString& ipv4, int timeoutMs, bool* refused = nullptr);

// The system's `ping` program alone ("ping -c 1 -W <seconds> <address>"), started and waited
// for through platform/process (processes() and clock(), so tests replace both). Its exit
// status 0 means answered, 1 no answer, anything else an error; a ping that has not ended two
// seconds after its own wait counts as no answer. The program waits in whole seconds, so
// `timeoutMs` is rounded up to at least one second.
EchoResult echoByProgram(const QString& ipv4, int timeoutMs);

} // namespace platform
