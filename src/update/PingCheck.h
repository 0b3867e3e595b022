#pragma once
// The Ethernet wizard's check that the gateway answers: echoes one at a time until two have
// been answered or more than 10 s have gone by. Only the last echo decides, so a gateway that
// wakes up just before the end is found, and one that stops answering is not.
#include <QString>
#include <functional>

namespace platform {
class Clock;
class Pinger;
} // namespace platform

namespace update {

enum class PingOutcome { Found, NotFound, Error };

struct PingCheckResult {
    PingOutcome outcome = PingOutcome::NotFound;
    QString error; // PingOutcome::Error: the reason
    int echoes = 0;
    int answered = 0;
};

constexpr int kEchoTimeoutMs = 400;
constexpr int kPingCheckMs = 10000;

// `serviceEvents` runs after every 10 ms pause between echoes (the window repaints there).
PingCheckResult runPingCheck(platform::Pinger& pinger, platform::Clock& clock, const QString& address,
                             const std::function<void()>& serviceEvents = {});

} // namespace update
