#include "support/FakeProcess.h"

#include <memory>

namespace testing_support {

FakeClock::FakeClock()
    : start_(QDateTime(QDate(2024, 1, 15), QTime(10, 0, 0))), previous_(&platform::clock())
{
    platform::setClock(this);
}

FakeClock::~FakeClock() { platform::setClock(previous_); }

void FakeClock::sleepMs(int ms)
{
    ++sleeps_;
    if (ms > 0) {
        ms_ += static_cast<uint64_t>(ms);
        slept_ += static_cast<uint64_t>(ms);
    }
}

namespace {
class FakeRunning final : public platform::RunningProcess {
public:
    FakeRunning(int pollsUntilEnd, int exitCode, std::shared_ptr<int> polls)
        : left_(pollsUntilEnd), exitCode_(exitCode), polls_(std::move(polls))
    {
    }
    bool finished() override
    {
        ++*polls_;
        if (left_ < 0)
            return false;
        if (left_ == 0)
            return true;
        --left_;
        return false;
    }
    int exitCode() override { return exitCode_; }

private:
    int left_;
    int exitCode_;
    std::shared_ptr<int> polls_;
};
} // namespace

FakeProcesses::FakeProcesses() : previous_(&platform::processes()) { platform::setProcesses(this); }

FakeProcesses::~FakeProcesses() { platform::setProcesses(previous_); }

std::unique_ptr<platform::RunningProcess> FakeProcesses::start(const QString& program, const QStringList& arguments,
                                                               const QString& workingFolder, QString* error)
{
    started_.push_back({program, arguments, workingFolder});
    if (!failWith.isEmpty()) {
        if (error)
            *error = failWith;
        return nullptr;
    }
    return std::make_unique<FakeRunning>(pollsUntilEnd, exitCode, polls_);
}

bool FakeProcesses::openUrl(const QString& url)
{
    urls_ << url;
    return urlOpens;
}

} // namespace testing_support
