#include "update/PingCheck.h"

#include "platform/net/Ping.h"
#include "platform/process/Clock.h"

namespace update {

PingCheckResult runPingCheck(platform::Pinger& pinger, platform::Clock& clock, const QString& address,
                             const std::function<void()>& serviceEvents)
{
    PingCheckResult result;
    const uint64_t start = clock.tickMs();
    bool lastAnswered = false;
    for (;;) {
        const platform::EchoResult r = pinger.echo(address, kEchoTimeoutMs);
        ++result.echoes;
        if (r.status == platform::EchoStatus::Error) {
            result.outcome = PingOutcome::Error;
            result.error = r.error;
            return result;
        }
        lastAnswered = r.status == platform::EchoStatus::Answered;
        // The echo has waited for its reply already; one short pause between echoes lets
        // the window repaint.
        clock.sleepMs(10);
        if (serviceEvents)
            serviceEvents();
        if (lastAnswered)
            ++result.answered;
        if (result.answered >= 2 || clock.tickMs() - start > uint64_t(kPingCheckMs))
            break;
    }
    result.outcome = lastAnswered ? PingOutcome::Found : PingOutcome::NotFound;
    return result;
}

} // namespace update
