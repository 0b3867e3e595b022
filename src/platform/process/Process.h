#pragma once
// Starting other programs. Always with an argument vector, never through a shell.
#include <QString>
#include <QStringList>
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

} // namespace platform
