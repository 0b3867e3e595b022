#pragma once
// Runs a small Python program on a file we wrote and returns what it prints: the outside
// readers (csv, html.parser, zipfile) that must accept our files.
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
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

// The readers of readers/outside_readers.py (Python's csv, html5lib, lxml), always through
// Debian's /usr/bin/python3, where scripts/setup installs the modules.
inline QString readersScript()
{
    return QStringLiteral(VN_SOURCE_DIR "/tests/controls/grid/io/readers/outside_readers.py");
}

// Why the readers cannot run here (empty when they can): /usr/bin/python3 or a module missing.
inline QString missingReaders(const QStringList& modules)
{
    const QString python = QStringLiteral("/usr/bin/python3");
    if (!QFile::exists(python))
        return QStringLiteral("/usr/bin/python3 is missing (scripts/setup installs it)");
    QProcess p;
    p.start(python, QStringList{readersScript(), QStringLiteral("check")} + modules);
    if (p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 3)
        return QString::fromUtf8(p.readAllStandardOutput()).trimmed()
               + QStringLiteral(" in /usr/bin/python3 (scripts/setup installs python3-html5lib and python3-lxml)");
    return QString();
}

// What a reader prints (JSON); ok false with the reader's error text in error.
inline QJsonValue runReader(const QStringList& args, bool& ok, QString& error)
{
    QProcess p;
    p.start(QStringLiteral("/usr/bin/python3"), QStringList{readersScript()} + args);
    ok = p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    error = QString::fromUtf8(p.readAllStandardError());
    if (!ok)
        return QJsonValue();
    QJsonParseError parse;
    const QJsonDocument doc = QJsonDocument::fromJson(p.readAllStandardOutput(), &parse);
    if (parse.error != QJsonParseError::NoError) {
        ok = false;
        error = parse.errorString();
        return QJsonValue();
    }
    return doc.isArray() ? QJsonValue(doc.array()) : QJsonValue(doc.object());
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

// Skips the test, naming what is missing, when the outside readers cannot run here.
#define SKIP_WITHOUT_OUTSIDE_READERS(...)                                                                  \
    do {                                                                                                   \
        const QString missing_ = iotest::missingReaders(QStringList{__VA_ARGS__});                         \
        if (!missing_.isEmpty())                                                                           \
            GTEST_SKIP() << missing_.toStdString();                                                        \
    } while (false)
