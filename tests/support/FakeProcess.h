#pragma once
// Doubles for the clock and the process launcher: time moves only when the program sleeps,
// and started programs end after a chosen number of polls (or never). Each installs itself
// for its lifetime.
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <vector>

#include "platform/process/Clock.h"
#include "platform/process/Process.h"

namespace testing_support {

class FakeClock final : public platform::Clock {
public:
    FakeClock();
    ~FakeClock() override;
    FakeClock(const FakeClock&) = delete;
    FakeClock& operator=(const FakeClock&) = delete;

    uint64_t tickMs() override { return ms_; }
    void sleepMs(int ms) override;
    QDateTime now() override { return start_.addMSecs(static_cast<qint64>(ms_)); }

    void advance(uint64_t ms) { ms_ += ms; }
    int sleeps() const { return sleeps_; }
    uint64_t sleptMs() const { return slept_; }

private:
    uint64_t ms_ = 1000;
    uint64_t slept_ = 0;
    int sleeps_ = 0;
    QDateTime start_;
    platform::Clock* previous_;
};

struct StartedProgram {
    QString program;
    QStringList arguments;
    QString workingFolder;
};

class FakeProcesses final : public platform::ProcessLauncher {
public:
    FakeProcesses();
    ~FakeProcesses() override;
    FakeProcesses(const FakeProcesses&) = delete;
    FakeProcesses& operator=(const FakeProcesses&) = delete;

    std::unique_ptr<platform::RunningProcess> start(const QString& program, const QStringList& arguments,
                                                    const QString& workingFolder, QString* error) override;
    bool openUrl(const QString& url) override;

    // The next started programs run for this many polls of `finished()` (-1: never end).
    int pollsUntilEnd = 0;
    int exitCode = 0;
    // When set, every start fails with this reason.
    QString failWith;
    // Whether a web link finds a browser (it is recorded either way).
    bool urlOpens = true;

    const std::vector<StartedProgram>& started() const { return started_; }
    const QStringList& openedUrls() const { return urls_; }
    int polls() const { return *polls_; }

private:
    std::vector<StartedProgram> started_;
    QStringList urls_;
    std::shared_ptr<int> polls_ = std::make_shared<int>(0);
    platform::ProcessLauncher* previous_;
};

} // namespace testing_support
