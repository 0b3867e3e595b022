#pragma once
// A pinger double on the fake clock: each echo takes its time on the clock (the reply time,
// or the whole time-out when nothing answers) and answers from a script. Installs itself for
// its lifetime.
#include "platform/net/Ping.h"
#include "platform/process/Clock.h"

#include <QStringList>
#include <functional>

class FakePinger final : public platform::Pinger {
public:
    explicit FakePinger(platform::Clock& clock) : clock_(clock) { platform::setPinger(this); }
    ~FakePinger() override { platform::setPinger(nullptr); }
    FakePinger(const FakePinger&) = delete;
    FakePinger& operator=(const FakePinger&) = delete;

    // Decides echo number n (0-based); the default never answers.
    std::function<platform::EchoStatus(int n)> script = [](int) { return platform::EchoStatus::NoAnswer; };
    int replyMs = 2;
    // Runs inside every echo (a test can press buttons "during" the check).
    std::function<void()> duringEcho;

    platform::EchoResult echo(const QString& ipv4, int timeoutMs) override
    {
        addresses << ipv4;
        timeouts.push_back(timeoutMs);
        if (duringEcho)
            duringEcho();
        const platform::EchoStatus s = script(int(timeouts.size()) - 1);
        clock_.sleepMs(s == platform::EchoStatus::Answered ? replyMs : timeoutMs);
        platform::EchoResult r;
        r.status = s;
        if (s == platform::EchoStatus::Error)
            r.error = QStringLiteral("no route");
        return r;
    }

    QStringList addresses;
    std::vector<int> timeouts;

private:
    platform::Clock& clock_;
};
