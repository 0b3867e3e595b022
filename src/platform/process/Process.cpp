#include "platform/process/Process.h"

#include "platform/process/Clock.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>
#include <vector>

namespace platform {

namespace {

// Processes that were still running when their owner let go of them. A QProcess kills its
// program when it is destroyed; an updater that is still writing to a gateway must never be
// cut off, so these objects are kept (and their programs left alone) until the program ends.
std::vector<QProcess*>& keptProcesses()
{
    static auto* kept = new std::vector<QProcess*>; // intentionally never destroyed
    return *kept;
}

class QtRunningProcess final : public RunningProcess {
public:
    explicit QtRunningProcess(std::unique_ptr<QProcess> p) : process_(std::move(p)) {}
    ~QtRunningProcess() override
    {
        if (process_->state() != QProcess::NotRunning)
            keptProcesses().push_back(process_.release());
    }
    bool finished() override
    {
        if (process_->state() == QProcess::NotRunning)
            return true;
        // A zero wait only collects a state change that has already happened.
        process_->waitForFinished(0);
        return process_->state() == QProcess::NotRunning;
    }
    int exitCode() override
    {
        if (process_->exitStatus() == QProcess::CrashExit)
            return -1;
        return process_->exitCode();
    }

private:
    std::unique_ptr<QProcess> process_;
};

class QtProcessLauncher final : public ProcessLauncher {
public:
    std::unique_ptr<RunningProcess> start(const QString& program, const QStringList& arguments,
                                          const QString& workingFolder, QString* error) override
    {
        const QFileInfo info(program);
        if (program.isEmpty() || !info.exists() || info.isDir()) {
            if (error)
                *error = QStringLiteral("The program file does not exist.");
            return nullptr;
        }
        auto p = std::make_unique<QProcess>();
        p->setProgram(info.absoluteFilePath());
        p->setArguments(arguments);
        if (!workingFolder.isEmpty())
            p->setWorkingDirectory(workingFolder);
        // The started program talks to the user itself; its output is not ours to read and
        // must never fill a pipe nobody empties.
        p->setProcessChannelMode(QProcess::ForwardedChannels);
        p->setStandardInputFile(QProcess::nullDevice());
        p->start();
        if (!p->waitForStarted(10000)) {
            if (error)
                *error = p->errorString();
            return nullptr;
        }
        return std::make_unique<QtRunningProcess>(std::move(p));
    }

    bool openUrl(const QString& url) override
    {
        const QUrl u(url, QUrl::StrictMode);
        if (!u.isValid() || u.scheme().isEmpty())
            return false;
        return QDesktopServices::openUrl(u);
    }
};

QtProcessLauncher& systemLauncher()
{
    static QtProcessLauncher l;
    return l;
}

ProcessLauncher* g_launcher = nullptr;
} // namespace

ProcessLauncher& processes() { return g_launcher ? *g_launcher : systemLauncher(); }

WaitOutcome startAndWait(const QString& program, const QStringList& arguments, const QString& workingFolder,
                         uint64_t capMs, const std::function<void()>& duringWait)
{
    constexpr int kPollMs = 10;
    WaitOutcome out;
    const uint64_t started = clock().tickMs();
    std::unique_ptr<RunningProcess> p = processes().start(program, arguments, workingFolder, &out.error);
    if (!p) {
        out.kind = WaitOutcome::NotStarted;
        if (out.error.isEmpty())
            out.error = QStringLiteral("The program could not be started.");
        return out;
    }
    for (;;) {
        if (p->finished()) {
            clock().sleepMs(kPollMs);
            if (duringWait)
                duringWait();
            out.kind = WaitOutcome::Ended;
            out.exitCode = p->exitCode();
            return out;
        }
        if (clock().tickMs() - started >= capMs) {
            out.kind = WaitOutcome::TimedOut;
            return out;
        }
        clock().sleepMs(kPollMs);
        if (duringWait)
            duringWait();
    }
}
void setProcesses(ProcessLauncher* p) { g_launcher = p; }

} // namespace platform
