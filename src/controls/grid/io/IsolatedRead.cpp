#include "controls/grid/io/IsolatedRead.h"

#include <QElapsedTimer>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

// Under the sanitizers, a fork inherits the parent's death hooks (a fuzzer's, which would
// file the child's expected crash as its own); the child clears them.
extern "C" __attribute__((weak)) void __sanitizer_set_death_callback(void (*)(void));

namespace controls::grid::io {

namespace {

bool writeAll(int fd, const char* data, size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= size_t(n);
    }
    return true;
}

} // namespace

void IsolatedSink::put(char kind, const QByteArray& bytes)
{
    char head[5];
    head[0] = kind;
    const uint32_t size = uint32_t(bytes.size());
    std::memcpy(head + 1, &size, 4);
    if (!writeAll(fd_, head, 5) || !writeAll(fd_, bytes.constData(), size_t(bytes.size())))
        ::_exit(3);
}

void IsolatedSink::send(const QStringList& texts)
{
    QByteArray out;
    for (const QString& t : texts) {
        const QByteArray u = t.toUtf8();
        const uint32_t size = uint32_t(u.size());
        out.append(reinterpret_cast<const char*>(&size), 4);
        out.append(u);
    }
    put('L', out);
}

void IsolatedSink::fail(const QString& message)
{
    put('E', message.toUtf8());
}

IsolatedResult RunIsolated(const std::function<void(IsolatedSink&)>& reader)
{
    IsolatedResult result;
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
        result.message = QString::fromLocal8Bit(std::strerror(errno));
        return result;
    }
    const pid_t pid = ::fork();
    if (pid < 0) {
        result.message = QString::fromLocal8Bit(std::strerror(errno));
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        return result;
    }
    if (pid == 0) {
        ::close(pipeFds[0]);
        if (__sanitizer_set_death_callback)
            __sanitizer_set_death_callback(nullptr);
        // What a crashing reader prints is no message for anyone.
        const int null = ::open("/dev/null", O_WRONLY);
        if (null >= 0)
            ::dup2(null, 2);
        IsolatedSink sink(pipeFds[1]);
        try {
            reader(sink);
        } catch (...) {
            ::_exit(2);
        }
        const char done[5] = {'D', 0, 0, 0, 0};
        ::_exit(writeAll(pipeFds[1], done, 5) ? 0 : 3);
    }
    ::close(pipeFds[1]);
    const int fd = pipeFds[0];
    QByteArray data;
    bool silent = false, tooMuch = false;
    QElapsedTimer quiet;
    quiet.start();
    for (;;) {
        pollfd p{fd, POLLIN, 0};
        const int ready = ::poll(&p, 1, 100);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready > 0) {
            char buffer[65536];
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break; // the child has ended (or closed its end)
            if (data.size() + n > kIsolatedMaxBytes) {
                tooMuch = true;
                break;
            }
            data.append(buffer, qsizetype(n));
            quiet.restart();
        } else if (quiet.elapsed() > kIsolatedSilenceMs) {
            silent = true;
            break;
        }
    }
    ::close(fd);
    if (silent || tooMuch)
        ::kill(pid, SIGKILL);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }

    // Unpack what came, whole records only.
    bool done = false;
    for (qsizetype at = 0; at + 5 <= data.size();) {
        const char kind = data[at];
        uint32_t size = 0;
        std::memcpy(&size, data.constData() + at + 1, 4);
        if (qint64(size) > data.size() - at - 5)
            break;
        const QByteArray body = data.mid(at + 5, qsizetype(size));
        at += 5 + qsizetype(size);
        if (kind == 'D') {
            done = true;
        } else if (kind == 'E') {
            result.outcome = IsolatedResult::ReaderError;
            result.message = QString::fromUtf8(body);
            return result;
        } else if (kind == 'L') {
            QStringList list;
            for (qsizetype p = 0; p + 4 <= body.size();) {
                uint32_t n = 0;
                std::memcpy(&n, body.constData() + p, 4);
                if (qint64(n) > body.size() - p - 4)
                    break;
                list << QString::fromUtf8(body.constData() + p + 4, qsizetype(n));
                p += 4 + qsizetype(n);
            }
            result.lists.push_back(std::move(list));
        }
    }
    if (done && WIFEXITED(status) && WEXITSTATUS(status) == 0) {
        result.outcome = IsolatedResult::Done;
        return result;
    }
    result.outcome = IsolatedResult::Died;
    result.lists.clear();
    if (silent)
        result.message = QStringLiteral("the reader sent nothing for %1 seconds").arg(kIsolatedSilenceMs / 1000);
    else if (tooMuch)
        result.message = QStringLiteral("the reader sent more than %1 MiB").arg(kIsolatedMaxBytes >> 20);
    else if (WIFSIGNALED(status))
        result.message = QStringLiteral("the reader stopped on damaged data (signal %1)").arg(WTERMSIG(status));
    else
        result.message = QStringLiteral("the reader stopped on damaged data");
    return result;
}

} // namespace controls::grid::io
