#pragma once
// A project folder for one device type with its file paths set, a clock at a chosen time, and
// the checks every companion file shares: golden files, CR LF lines, the code page.
#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

#include "platform/fs/Files.h"
#include "platform/fs/TextLines.h"
#include "platform/process/Clock.h"
#include "support/FakeDialogs.h"
#include "support/TempDir.h"
#include "workspace/Folders.h"
#include "workspace/LangTexts.h"
#include "workspace/Workspace.h"

namespace exports_test {

class FixedClock final : public platform::Clock {
public:
    explicit FixedClock(const QDateTime& at) : at_(at), previous_(&platform::clock()) { platform::setClock(this); }
    ~FixedClock() override { platform::setClock(previous_); }
    FixedClock(const FixedClock&) = delete;
    FixedClock& operator=(const FixedClock&) = delete;
    uint64_t tickMs() override { return 0; }
    void sleepMs(int) override {}
    QDateTime now() override { return at_; }
    void set(const QDateTime& at) { at_ = at; }

private:
    QDateTime at_;
    platform::Clock* previous_;
};

// Project "P1" of a device type, open, with its file paths set.
struct Project {
    explicit Project(int deviceType) : scoped(deviceType)
    {
        workspace::Workspace& w = *scoped;
        w.Projects_Dir = dir.file(QStringLiteral("PROJECTS"));
        w.Project_Name = QStringLiteral("P1");
        w.Project_Dir = w.Projects_Dir + QStringLiteral("/P1");
        w.Template_Dir = dir.file(QStringLiteral("TEMPLATE"));
        QDir().mkpath(w.Project_Dir);
        QDir().mkpath(w.Template_Dir);
        workspace::Set_Files();
        workspace::Default_Texts();
    }
    // Writes a file of the project folder (UTF-8 text); returns its path.
    QString put(const QString& name, const QString& text) const
    {
        return dir.write(QStringLiteral("PROJECTS/P1/") + name, text.toUtf8());
    }
    QString path(const QString& name) const { return dir.file(QStringLiteral("PROJECTS/P1/") + name); }
    QByteArray read(const QString& name) const { return dir.read(QStringLiteral("PROJECTS/P1/") + name); }

    testing_support::TempDir dir;
    workspace::ScopedWorkspace scoped;
};

// A ParGen.xml of the given keys.
inline QString parGen(std::initializer_list<std::pair<const char*, const char*>> keys)
{
    QString s = QStringLiteral("<Par_Gen>");
    for (const auto& [k, v] : keys)
        s += QStringLiteral("<%1>%2</%1>").arg(QLatin1String(k), QString::fromUtf8(v));
    return s + QStringLiteral("</Par_Gen>");
}

// The file's bytes equal tests/data/exports/<name>. On a difference the first differing line is
// shown and the bytes are left in the build folder for a look.
inline void expectGolden(const QByteArray& actual, const QString& name)
{
    const QByteArray expected = testing_support::dataFile(QStringLiteral("exports/") + name);
    if (actual == expected)
        return;
    const QList<QByteArray> a = actual.split('\n'), e = expected.split('\n');
    qsizetype i = 0;
    while (i < a.size() && i < e.size() && a[i] == e[i])
        ++i;
    QFile out(QStringLiteral("actual_") + name);
    if (out.open(QIODevice::WriteOnly))
        out.write(actual);
    ADD_FAILURE() << name.toStdString() << " differs at line " << i + 1 << ":\n  expected: "
                  << (i < e.size() ? e[i].toStdString() : "<end>") << "\n  actual:   "
                  << (i < a.size() ? a[i].toStdString() : "<end>");
}

// Every line ends in CR LF (the last one too) and no bare LF or CR stands elsewhere.
inline void expectCrLfLines(const QByteArray& bytes)
{
    ASSERT_TRUE(bytes.endsWith("\r\n"));
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n') {
            ASSERT_TRUE(i > 0 && bytes[i - 1] == '\r') << "bare LF at " << i;
        }
        if (bytes[i] == '\r') {
            ASSERT_TRUE(i + 1 < bytes.size() && bytes[i + 1] == '\n') << "bare CR at " << i;
        }
    }
}

// The lines of a Windows-1252 file without its line ends.
inline QStringList cp1252Lines(const QByteArray& bytes)
{
    QStringList l = QString::fromLatin1(bytes).split(QStringLiteral("\r\n"));
    if (!l.isEmpty() && l.last().isEmpty())
        l.removeLast();
    return l;
}

} // namespace exports_test
