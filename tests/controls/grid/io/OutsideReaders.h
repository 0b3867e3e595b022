#pragma once
// Runs a small Python program on a file we wrote and returns what it prints: the outside
// readers (csv, html.parser, zipfile) that must accept our files.
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

namespace iotest {

// stdout of python3 -c program file; empty and ok false when python3 is missing or fails.
inline QString runPython(const QString& program, const QStringList& args, bool* ok = nullptr)
{
    // Debian's own Python first: scripts/setup installs the modules the tests use there.
    const QString python = QFile::exists(QStringLiteral("/usr/bin/python3"))
                               ? QStringLiteral("/usr/bin/python3")
                               : QStandardPaths::findExecutable(QStringLiteral("python3"));
    QProcess p;
    p.start(python, QStringList{QStringLiteral("-c"), program} + args);
    const bool done = !python.isEmpty() && p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit
                      && p.exitCode() == 0;
    if (ok)
        *ok = done;
    return done ? QString::fromUtf8(p.readAllStandardOutput()) : QString::fromUtf8(p.readAllStandardError());
}

inline int runTool(const QString& tool, const QStringList& args, QString* output = nullptr)
{
    QProcess p;
    p.start(tool, args);
    if (!p.waitForFinished(30000))
        return -1;
    if (output)
        *output = QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

} // namespace iotest
