#include "support/PseudoTerminal.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace testing_support {

PseudoTerminal::PseudoTerminal()
{
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
        ADD_FAILURE() << "no pseudo-terminal: " << errno;
        return;
    }
    slavePath_ = QString::fromLocal8Bit(::ptsname(master_));
    keepOpen_ = ::open(::ptsname(master_), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    // The master side passes bytes as they are.
    termios t{};
    if (::tcgetattr(keepOpen_, &t) == 0) {
        ::cfmakeraw(&t);
        ::tcsetattr(keepOpen_, TCSANOW, &t);
    }
}

PseudoTerminal::~PseudoTerminal()
{
    if (keepOpen_ >= 0)
        ::close(keepOpen_);
    if (master_ >= 0)
        ::close(master_);
}

void PseudoTerminal::write(const QByteArray& bytes) const
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(master_, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (n > 0) {
            done += n;
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) {
            ADD_FAILURE() << "pty write failed: " << errno;
            return;
        }
        pollfd p{master_, POLLOUT, 0};
        ::poll(&p, 1, 100);
    }
}

QByteArray PseudoTerminal::read(int atLeast, int waitMs) const
{
    QByteArray out;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    for (;;) {
        char buf[4096];
        const ssize_t n = ::read(master_, buf, sizeof buf);
        if (n > 0) {
            out.append(buf, n);
            continue;
        }
        if (out.size() >= atLeast)
            return out;
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
        if (left <= 0)
            return out;
        pollfd p{master_, POLLIN, 0};
        ::poll(&p, 1, static_cast<int>(left));
    }
}

} // namespace testing_support
