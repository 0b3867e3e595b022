#pragma once
// Starting other programs. Always with an argument vector, never through a shell.
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>

namespace platform {

class RunningProcess {
public:
    virtual ~RunningProcess() = default;
    virtual bool finished() = 0;   // polls, never blocks
    virtual int exitCode() = 0;    // valid once finished
};

class ProcessLauncher {
public:
    virtual ~ProcessLauncher() = default;
    // Starts `program` with `arguments` in `workingFolder`. Null with `error` set when the
    // program is missing or cannot be started.
    virtual std::unique_ptr<RunningProcess> start(const QString& program, const QStringList& arguments,
                                                  const QString& workingFolder, QString* error) = 0;
    // Opens a web address in the user's browser.
    virtual bool openUrl(const QString& url) = 0;
};

ProcessLauncher& processes();
void setProcesses(ProcessLauncher* p); // nullptr restores the system launcher

// Starts a program and waits for it: the program is polled every 10 ms until it ends (then
// one more 10 ms pause) or until `capMs` have passed since the start, when the wait gives up
// and the program keeps running. `duringWait` runs after every pause (the windows use it to
// keep painting). Time goes through clock(), so a test's fake clock makes the cap instant.
struct WaitOutcome {
    enum Kind { NotStarted, Ended, TimedOut };
    Kind kind = NotStarted;
    int exitCode = 0;  // when Ended
    QString error;     // when NotStarted: why
};
WaitOutcome startAndWait(const QString& program, const QStringList& arguments, const QString& workingFolder,
                         uint64_t capMs, const std::function<void()>& duringWait = {});

} // namespace platform
