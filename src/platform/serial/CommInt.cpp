#include "platform/serial/CommInt.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <linux/serial.h>
#include <mutex>
#include <poll.h>
#include <sys/epoll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace platform {

ECommError::ECommError(const QString& text, int code)
    : UserError(text + QStringLiteral(" (Error: %1) ").arg(code)), code_(code)
{
}

namespace {

[[noreturn]] void RaiseCommError(const char* text, int code)
{
    throw ECommError(QString::fromLatin1(text), code);
}

constexpr const char* kPortOpen = "Port already assigned (open)";
constexpr const char* kNotOpen = "Port not open, unable to complete operation";

} // namespace

uint32_t baudRateValue(TBaudrate b)
{
    static constexpr uint32_t kRates[] = {110,   300,    600,    1200,   2400,   4800,    9600,    14400,  19200,
                                          38400, 56000,  57600,  115200, 128000, 256000, 1500000, 3000000};
    return kRates[static_cast<int>(b)];
}

// ---- TCommEventChars ----

void TCommEventChars::changed()
{
    if (FOwner)
        FOwner->ApplyDCB();
}
void TCommEventChars::setXonChar(uint8_t c) { FXonChar = c; changed(); }
void TCommEventChars::setXoffChar(uint8_t c) { FXoffChar = c; changed(); }
void TCommEventChars::setErrorChar(uint8_t c) { FErrorChar = c; changed(); }
void TCommEventChars::setEofChar(uint8_t c) { FEofChar = c; changed(); }
void TCommEventChars::setEvtChar(uint8_t c) { FEvtChar = c; changed(); }

void TCommEventChars::Assign(const TCommEventChars& other)
{
    FXonChar = other.FXonChar;
    FXoffChar = other.FXoffChar;
    FErrorChar = other.FErrorChar;
    FEofChar = other.FEofChar;
    FEvtChar = other.FEvtChar;
}

// ---- TCommEventThread ----

struct TCommEventThread::Impl {
    int fd;
    TCommEventTypes events;
    Signal onSignal;
    TSimpleEvent stop;
    MainThreadCalls calls;
    std::atomic<bool> terminated{false};
    std::thread thread;
};

TCommEventThread::TCommEventThread(int handle, TCommEventTypes events, Signal OnSignal) : d_(std::make_unique<Impl>())
{
    d_->fd = handle;
    d_->events = events;
    d_->onSignal = std::move(OnSignal);
    d_->thread = std::thread([this] { Execute(); });
}

TCommEventThread::~TCommEventThread() { Stop(); }

void TCommEventThread::Stop()
{
    d_->terminated.store(true);
    d_->calls.cancel();
    d_->stop.SetEvent();
    if (d_->thread.joinable() && d_->thread.get_id() != std::this_thread::get_id())
        d_->thread.join();
}

void TCommEventThread::Execute()
{
    Impl& d = *d_;
    const int fd = d.fd;
    int modem = 0;
    const bool haveModem = ::ioctl(fd, TIOCMGET, &modem) == 0;
    serial_icounter_struct counts{};
    const bool haveCounts = ::ioctl(fd, TIOCGICOUNT, &counts) == 0;

    // Edge-triggered: every arrival of bytes is one readiness, whether or not the bytes before
    // them have been read, as a receive event should be.
    const int ep = ::epoll_create1(EPOLL_CLOEXEC);
    epoll_event stopEv{};
    stopEv.events = EPOLLIN;
    stopEv.data.fd = d.stop.Handle();
    epoll_event rxEv{};
    rxEv.events = EPOLLIN | EPOLLET;
    rxEv.data.fd = fd;
    bool rxWatched = ep >= 0 && ::epoll_ctl(ep, EPOLL_CTL_ADD, d.stop.Handle(), &stopEv) == 0 &&
                     ::epoll_ctl(ep, EPOLL_CTL_ADD, fd, &rxEv) == 0;
    bool pendingRx = true; // bytes already queued at the start count as received

    while (!d.terminated.load()) {
        uint32_t mask = 0;
        uint32_t errors = 0;
        int queued = 0;
        if (pendingRx && ::ioctl(fd, FIONREAD, &queued) == 0 && queued > 0)
            mask |= evRxChar;
        pendingRx = false;
        if (haveModem) {
            int now = 0;
            if (::ioctl(fd, TIOCMGET, &now) == 0) {
                const int changed = now ^ modem;
                if (changed & TIOCM_CTS)
                    mask |= evCts;
                if (changed & TIOCM_DSR)
                    mask |= evDsr;
                if (changed & TIOCM_RNG)
                    mask |= evRing;
                if (changed & TIOCM_CAR)
                    mask |= evRlsd;
                modem = now;
            }
        }
        if (haveCounts) {
            serial_icounter_struct now{};
            if (::ioctl(fd, TIOCGICOUNT, &now) == 0) {
                if (now.brk != counts.brk) {
                    mask |= evBreak;
                    errors |= ceBreak;
                }
                if (now.frame != counts.frame)
                    errors |= ceFrame;
                if (now.overrun != counts.overrun)
                    errors |= ceOverrun;
                if (now.parity != counts.parity)
                    errors |= ceRxParity;
                if (now.buf_overrun != counts.buf_overrun)
                    errors |= ceRxOver;
                if (errors & ~static_cast<uint32_t>(ceBreak))
                    mask |= evError;
                counts = now;
            }
        }
        if (txPending_.load()) {
            int out = 0;
            if (::ioctl(fd, TIOCOUTQ, &out) == 0 && out == 0) {
                txPending_.store(false);
                mask |= evTxEmpty;
            }
        }
        mask &= d.events;
        if (mask != 0) {
            const Signal sig = d.onSignal;
            if (!d.calls.call([sig, mask, errors] { sig(mask, errors); }))
                break;
        }

        // Lines, counters and the output queue are looked at every 20 ms; without them, and
        // with the device watched, the wait has no limit.
        const bool periodic = haveModem || haveCounts || txPending_.load() || !rxWatched;
        const int timeout = periodic ? 20 : -1;
        if (rxWatched) {
            epoll_event evs[2];
            const int n = ::epoll_wait(ep, evs, 2, timeout);
            if (n < 0 && errno != EINTR) {
                rxWatched = false;
                continue;
            }
            for (int i = 0; i < n; ++i) {
                if (evs[i].data.fd == fd)
                    pendingRx = true;
            }
        } else {
            // No event interface for this device: look at the queue every 20 ms.
            d.stop.WaitFor(timeout);
            pendingRx = true;
        }
    }
    if (ep >= 0)
        ::close(ep);
    ::tcflush(fd, TCIOFLUSH);
}

// ---- TCustomComm ----

TCustomComm::TCustomComm() = default;

TCustomComm::~TCustomComm()
{
    try {
        Close();
    } catch (...) {
    }
}

bool TCustomComm::Enabled() const { return FHandle.load() >= 0; }

void TCustomComm::CheckClosed()
{
    if (Enabled())
        RaiseCommError(kPortOpen, -1);
}

int TCustomComm::OpenDeviceHandle()
{
    const QByteArray path = FDeviceName.toLocal8Bit();
    const int fd = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        RaiseCommError("Error accessing specified device", errno);
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISCHR(st.st_mode)) {
        ::close(fd);
        RaiseCommError("Invalid device handle, access denied", -1);
    }
    // No sharing: other opens of the terminal are refused while we hold it.
    ::ioctl(fd, TIOCEXCL);
    return fd;
}

void TCustomComm::Open()
{
    CheckClosed();
    const int fd = OpenDeviceHandle();
    {
        std::lock_guard lk(FCriticalSection);
        FHandle.store(fd);
    }
    // From here on every failure closes the port again, so that the next Open is not refused
    // as "already open".
    try {
        FEventThread = std::make_unique<TCommEventThread>(
            fd, FMonitorEvents, [this](uint32_t mask, uint32_t errors) { HandleCommEvent(mask, errors); });
        ApplyTimeouts();
        ApplyDCB();
        SetupComm();
    } catch (...) {
        Close();
        throw;
    }
}

void TCustomComm::ApplyTimeouts()
{
    LineSettings s;
    int err = 0;
    if (!readLine(FHandle.load(), s, err))
        RaiseCommError("Error updating CommTimeouts", err);
    makeRaw(s);
    if (!writeLine(FHandle.load(), s, err))
        RaiseCommError("Error updating CommTimeouts", err);
    written_ = s;
    FDCB = lineToDcb(s, TDCB{0, dcb::fBinary | dcb::fDtrControlEnable | dcb::fRtsControlEnable});
}

void TCustomComm::ApplyDCB()
{
    std::lock_guard lk(FCriticalSection);
    const int fd = FHandle.load();
    if (fd < 0)
        return;
    LineSettings s;
    int err = 0;
    if (!readLine(fd, s, err))
        RaiseCommError("Error updating DataControlBlock", err);
    TDCB d = lineToDcb(s, FDCB);
    d.BaudRate = baudRateValue(FBaudRate);
    d.Parity = static_cast<uint8_t>(FParity);
    d.StopBits = static_cast<uint8_t>(FStopbits);
    d.ByteSize = static_cast<uint8_t>(4 + static_cast<int>(FDatabits));
    d.XonChar = FEventChars.XonChar();
    d.XoffChar = FEventChars.XoffChar();
    d.ErrorChar = FEventChars.ErrorChar();
    d.EofChar = FEventChars.EofChar();
    d.EvtChar = FEventChars.EvtChar();
    d.XonLim = static_cast<uint16_t>(FReadBufSize / 4);
    d.XoffLim = static_cast<uint16_t>(FReadBufSize / 4);
    switch (FFlowControl) {
    case TFlowControl::fcNone: d.Flags = dcb::fBinary; break;
    case TFlowControl::fcCTS: d.Flags |= dcb::fOutxCtsFlow | dcb::fRtsControlHandshake; break;
    case TFlowControl::fcDTR: d.Flags |= dcb::fOutxDsrFlow | dcb::fDtrControlHandshake; break;
    case TFlowControl::fcSoftware: d.Flags |= dcb::fOutX | dcb::fInX; break;
    case TFlowControl::fcDefault: break;
    }
    for (const uint32_t option : {coParityCheck, coDsrSensitivity, coIgnoreXOff, coErrorChar, coNullStrip}) {
        if (FOptions & option)
            d.Flags |= option;
        else
            d.Flags &= ~option;
    }
    if (!dcbToLine(d, s))
        RaiseCommError("Error updating DataControlBlock", EINVAL);
    if (!writeLine(fd, s, err))
        RaiseCommError("Error updating DataControlBlock", err);
    written_ = s;
    FDCB = d;
}

void TCustomComm::SetupComm()
{
    // The kernel sizes its own queues; only sizes that no queue can have are refused.
    if (FReadBufSize <= 0 || FWriteBufSize <= 0)
        RaiseCommError("Error initializing Read/Write Buffers", EINVAL);
}

void TCustomComm::CloseDeviceHandle()
{
    std::lock_guard lk(FCriticalSection);
    const int fd = FHandle.exchange(-1);
    if (fd >= 0)
        ::close(fd);
}

void TCustomComm::Close()
{
    if (!Enabled())
        return;
    if (FEventThread) {
        FEventThread->Stop();
        FEventThread.reset();
    }
    CloseDeviceHandle();
}

int TCustomComm::Write(const void* Buf, int Count)
{
    std::lock_guard lk(FCriticalSection);
    const int fd = FHandle.load();
    const auto* p = static_cast<const uint8_t*>(Buf);
    int done = 0;
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(FWriteTimeout < 0 ? 0 : FWriteTimeout);
    while (done < Count) {
        const ssize_t n = ::write(fd, p + done, static_cast<size_t>(Count - done));
        if (n > 0) {
            done += static_cast<int>(n);
            if (FEventThread)
                FEventThread->noteWrite();
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            RaiseCommError("Write error", errno);
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0)
            return -1; // the bytes not yet queued are not sent
        pollfd pf{fd, POLLOUT, 0};
        ::poll(&pf, 1, static_cast<int>(left));
    }
    return done;
}

int TCustomComm::Read(void* Buf, int Count)
{
    std::lock_guard lk(FCriticalSection);
    if (Count <= 0) {
        if (FHandle.load() < 0)
            RaiseCommError("Read error", EBADF);
        return 0;
    }
    for (;;) {
        const ssize_t n = ::read(FHandle.load(), Buf, static_cast<size_t>(Count));
        if (n >= 0)
            return static_cast<int>(n);
        if (errno == EINTR)
            continue;
        if (errno == EAGAIN)
            return 0;
        RaiseCommError("Read error", errno);
    }
}

int TCustomComm::InQueCount()
{
    std::lock_guard lk(FCriticalSection);
    int n = 0;
    if (FHandle.load() < 0 || ::ioctl(FHandle.load(), FIONREAD, &n) != 0)
        return -1;
    return n;
}

int TCustomComm::OutQueCount()
{
    std::lock_guard lk(FCriticalSection);
    int n = 0;
    if (FHandle.load() < 0 || ::ioctl(FHandle.load(), TIOCOUTQ, &n) != 0)
        return -1;
    return n;
}

void TCustomComm::PurgeIn()
{
    std::lock_guard lk(FCriticalSection);
    if (FHandle.load() >= 0)
        ::tcflush(FHandle.load(), TCIFLUSH);
}

void TCustomComm::PurgeOut()
{
    std::lock_guard lk(FCriticalSection);
    if (FHandle.load() >= 0)
        ::tcflush(FHandle.load(), TCOFLUSH);
}

namespace {
bool modemBit(int fd, int bit)
{
    int bits = 0;
    return fd >= 0 && ::ioctl(fd, TIOCMGET, &bits) == 0 && (bits & bit) != 0;
}
} // namespace

bool TCustomComm::CTS() { return modemBit(FHandle.load(), TIOCM_CTS); }
bool TCustomComm::DSR() { return modemBit(FHandle.load(), TIOCM_DSR); }
bool TCustomComm::RING() { return modemBit(FHandle.load(), TIOCM_RNG); }
bool TCustomComm::RLSD() { return modemBit(FHandle.load(), TIOCM_CAR); }

bool TCustomComm::CtsHold()
{
    const int fd = FHandle.load();
    if (fd < 0)
        return false;
    LineSettings s;
    int err = 0;
    int bits = 0;
    return readLine(fd, s, err) && (s.cflag & CRTSCTS) && ::ioctl(fd, TIOCMGET, &bits) == 0 && !(bits & TIOCM_CTS);
}
bool TCustomComm::DsrHold() { return false; }
bool TCustomComm::RlsdHold() { return false; }
bool TCustomComm::XoffHold() { return false; }
bool TCustomComm::XOffSent() { return false; }

void TCustomComm::SetDTRState(bool State)
{
    std::lock_guard lk(FCriticalSection);
    const int fd = FHandle.load();
    if (fd < 0)
        RaiseCommError(kNotOpen, -1);
    int bit = TIOCM_DTR;
    if (::ioctl(fd, State ? TIOCMBIS : TIOCMBIC, &bit) != 0)
        RaiseCommError("EscapeCommFunction failure", errno);
}

void TCustomComm::SetRTSState(bool State)
{
    std::lock_guard lk(FCriticalSection);
    const int fd = FHandle.load();
    if (fd < 0)
        RaiseCommError(kNotOpen, -1);
    int bit = TIOCM_RTS;
    if (::ioctl(fd, State ? TIOCMBIS : TIOCMBIC, &bit) != 0)
        RaiseCommError("EscapeCommFunction failure", errno);
}

void TCustomComm::SetBREAKState(bool State)
{
    std::lock_guard lk(FCriticalSection);
    const int fd = FHandle.load();
    if (fd < 0)
        RaiseCommError(kNotOpen, -1);
    if (::ioctl(fd, State ? TIOCSBRK : TIOCCBRK) != 0)
        RaiseCommError("EscapeCommFunction failure", errno);
    ::tcflush(fd, TCIOFLUSH);
}

void TCustomComm::SetXONState(bool State)
{
    std::lock_guard lk(FCriticalSection);
    const int fd = FHandle.load();
    if (fd < 0)
        RaiseCommError(kNotOpen, -1);
    if (::tcflow(fd, State ? TCOON : TCOOFF) != 0)
        RaiseCommError("EscapeCommFunction failure", errno);
}

void TCustomComm::setDeviceName(const QString& v)
{
    if (v == FDeviceName)
        return;
    CheckClosed();
    FDeviceName = v;
}

void TCustomComm::setReadBufSize(int v)
{
    if (v == FReadBufSize)
        return;
    CheckClosed();
    FReadBufSize = v;
}

void TCustomComm::setWriteBufSize(int v)
{
    if (v == FWriteBufSize)
        return;
    CheckClosed();
    FWriteBufSize = v;
}

void TCustomComm::setMonitorEvents(TCommEventTypes v)
{
    if (v == FMonitorEvents)
        return;
    CheckClosed();
    FMonitorEvents = v;
}

void TCustomComm::setBaudRate(TBaudrate v)
{
    if (v == FBaudRate)
        return;
    FBaudRate = v;
    ApplyDCB();
}

void TCustomComm::setParity(TParity v)
{
    if (v == FParity)
        return;
    FParity = v;
    ApplyDCB();
}

void TCustomComm::setStopbits(TStopbits v)
{
    if (v == FStopbits)
        return;
    FStopbits = v;
    ApplyDCB();
}

void TCustomComm::setDatabits(TDatabits v)
{
    if (v == FDatabits)
        return;
    FDatabits = v;
    ApplyDCB();
}

void TCustomComm::setOptions(TCommOptions v)
{
    if (v == FOptions)
        return;
    FOptions = v;
    ApplyDCB();
}

void TCustomComm::setFlowControl(TFlowControl v)
{
    if (v == FFlowControl)
        return;
    FFlowControl = v;
    ApplyDCB();
}

TDCB TCustomComm::DCB() const
{
    std::lock_guard lk(FCriticalSection);
    return FDCB;
}

LineSettings TCustomComm::WrittenLine() const
{
    std::lock_guard lk(FCriticalSection);
    return written_;
}

void TCustomComm::HandleCommEvent(uint32_t mask, uint32_t errors)
{
    const int queued = InQueCount();
    if ((mask & evBreak) && OnBreak)
        OnBreak(this);
    if ((mask & evCts) && OnCts)
        OnCts(this);
    if ((mask & evDsr) && OnDsr)
        OnDsr(this);
    if ((mask & evError) && OnError)
        OnError(this, static_cast<int>(errors));
    if ((mask & evRing) && OnRing)
        OnRing(this);
    if ((mask & evRlsd) && OnRlsd)
        OnRlsd(this);
    if ((mask & evRxChar) && OnRxChar && queued > 0)
        OnRxChar(this, queued);
    if ((mask & evRxFlag) && OnRxFlag)
        OnRxFlag(this);
    if ((mask & evTxEmpty) && OnTxEmpty)
        OnTxEmpty(this);
}

} // namespace platform
