#pragma once
// Runs a reader of outside files that cannot be trusted with damaged input (a library that
// follows the file's own offsets without checking them) in a child process: the child is a
// fork of this one that runs the reader, sends what it read through a pipe and ends. A damaged
// file can then crash or corrupt only the child; the caller gets an error instead.
//
// The child runs nothing but the reader and the pipe writes, and ends with _exit, so no
// handler of this process runs in it. A child that sends nothing for the time limit is killed.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace controls::grid::io {

// What the child sends: lists of texts, in order, or the reader's own error.
class IsolatedSink {
public:
    explicit IsolatedSink(int fd) : fd_(fd) {}
    void send(const QStringList& texts);
    void fail(const QString& message);

private:
    void put(char kind, const QByteArray& bytes);
    int fd_;
};

struct IsolatedResult {
    enum Outcome { Done, ReaderError, Died };
    Outcome outcome = Died;
    QString message;                 // ReaderError: the reader's; Died: how the child ended
    std::vector<QStringList> lists;  // as sent
};

// At most this much data comes back, and the child may go this long without sending.
constexpr qint64 kIsolatedMaxBytes = qint64(512) * 1024 * 1024;
constexpr int kIsolatedSilenceMs = 60'000;

IsolatedResult RunIsolated(const std::function<void(IsolatedSink&)>& reader);

} // namespace controls::grid::io
