#pragma once
// A serial port: a device path ("/dev/ttyUSB0") opened for reading and writing, its line
// settings, transfers bounded in time, queue counts, purges and modem lines, and one event
// thread per open port that hands the port's events to the user-interface thread, where the
// component calls its handlers.
//
// Every failure raises ECommError, whose message is the failure's text followed by
// " (Error: <code>) " and whose ErrorCode is the system's error number, or -1 for the
// component's own checks. A transfer that does not finish in its time-out is no error: it
// gives -1.
//
// How the port's events are found: received bytes (evRxChar) when the input queue has grown;
// an emptied output queue after a write (evTxEmpty); the modem lines (evCts, evDsr, evRing,
// evRlsd) and the line's break and error counters (evBreak, evError) by looking at them every
// 20 ms where the device reports them. evRxFlag is never raised: the queue cannot be looked
// into without taking the bytes from the reader.
#include "platform/serial/CommLine.h"
#include "platform/serial/CommObjs.h"
#include "platform/text/UserError.h"

#include <QString>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

namespace platform {

class ECommError : public UserError {
public:
    ECommError(const QString& text, int code);
    int ErrorCode() const { return code_; }

private:
    int code_;
};

enum class TBaudrate {
    br110, br300, br600, br1200, br2400, br4800, br9600, br14400, br19200, br38400, br56000, br57600,
    br115200, br128000, br256000, br1500000, br3000000,
};
uint32_t baudRateValue(TBaudrate b);

enum class TParity { paNone = 0, paOdd = 1, paEven = 2, paMark = 3, paSpace = 4 };
enum class TStopbits { sb10 = 0, sb15 = 1, sb20 = 2 };
enum class TDatabits { da4, da5, da6, da7, da8 };
enum class TFlowControl { fcNone, fcCTS, fcDTR, fcSoftware, fcDefault };

// Options and event types are bit sets; each value is the bit of the control block or of the
// event mask it stands for.
enum TCommOption : uint32_t {
    coParityCheck = 0x0002,
    coDsrSensitivity = 0x0040,
    coIgnoreXOff = 0x0080,
    coErrorChar = 0x0400,
    coNullStrip = 0x0800,
};
using TCommOptions = uint32_t;

enum TCommEventType : uint32_t {
    evRxChar = 0x0001,
    evRxFlag = 0x0002,
    evTxEmpty = 0x0004,
    evCts = 0x0008,
    evDsr = 0x0010,
    evRlsd = 0x0020,
    evBreak = 0x0040,
    evError = 0x0080,
    evRing = 0x0100,
};
using TCommEventTypes = uint32_t;
inline constexpr TCommEventTypes kAllCommEvents = 0x01FF;

// Error flags handed to OnError.
enum TCommErrorFlag : uint32_t { ceRxOver = 0x01, ceOverrun = 0x02, ceRxParity = 0x04, ceFrame = 0x08, ceBreak = 0x10 };

class TCustomComm;

class TCommEventChars {
public:
    explicit TCommEventChars(TCustomComm* owner = nullptr) : FOwner(owner) {}
    uint8_t XonChar() const { return FXonChar; }
    uint8_t XoffChar() const { return FXoffChar; }
    uint8_t ErrorChar() const { return FErrorChar; }
    uint8_t EofChar() const { return FEofChar; }
    uint8_t EvtChar() const { return FEvtChar; }
    // Each setter stores the character and applies the settings of an open port.
    void setXonChar(uint8_t c);
    void setXoffChar(uint8_t c);
    void setErrorChar(uint8_t c);
    void setEofChar(uint8_t c);
    void setEvtChar(uint8_t c);
    // Copies the five characters without applying them.
    void Assign(const TCommEventChars& other);

private:
    void changed();
    TCustomComm* FOwner;
    uint8_t FXonChar = 17;
    uint8_t FXoffChar = 19;
    uint8_t FErrorChar = 0;
    uint8_t FEofChar = 0;
    uint8_t FEvtChar = 0;
};

// Waits for the port's events while the port is open; see the header comment.
class TCommEventThread {
public:
    using Signal = std::function<void(uint32_t mask, uint32_t errors)>;
    // Starts at once. OnSignal runs on the user-interface thread while this thread waits.
    TCommEventThread(int handle, TCommEventTypes events, Signal OnSignal);
    ~TCommEventThread(); // stops
    // Ends the current wait and the thread; delivers no event afterwards. Returns when the
    // thread has ended.
    void Stop();
    // A write has queued bytes: the next empty output queue is an event.
    void noteWrite() { txPending_.store(true); }

private:
    void Execute();
    struct Impl;
    std::unique_ptr<Impl> d_;
    std::atomic<bool> txPending_{false};
};

class TCustomComm {
public:
    TCustomComm();
    virtual ~TCustomComm(); // closes
    TCustomComm(const TCustomComm&) = delete;
    TCustomComm& operator=(const TCustomComm&) = delete;

    bool Enabled() const;
    int Handle() const { return FHandle.load(); }

    void Open();
    void Close();

    // The bytes moved, or -1 when the transfer did not finish within its time-out. A read takes
    // what is queued and returns at once.
    int Write(const void* Buf, int Count);
    int Read(void* Buf, int Count);

    // Bytes in the input / output queue; -1 when the port is closed.
    int InQueCount();
    int OutQueCount();
    void PurgeIn();
    void PurgeOut();

    // Modem lines; false when the port is closed or the device does not report them.
    bool CTS();
    bool DSR();
    bool RING();
    bool RLSD();
    // Transmission held back: by CTS (CTS flow control on and CTS off); the other holds are
    // never reported by the kernel and are false.
    bool CtsHold();
    bool DsrHold();
    bool RlsdHold();
    bool XoffHold();
    bool XOffSent();

    void SetDTRState(bool State);
    void SetRTSState(bool State);
    // Then purges both directions.
    void SetBREAKState(bool State);
    // True resumes transmission as if XON had come, false suspends it as if XOFF had.
    void SetXONState(bool State);

    const QString& DeviceName() const { return FDeviceName; }
    void setDeviceName(const QString& v);
    int ReadTimeout() const { return FReadTimeout; }
    void setReadTimeout(int v) { FReadTimeout = v; }
    int WriteTimeout() const { return FWriteTimeout; }
    void setWriteTimeout(int v) { FWriteTimeout = v; }
    int ReadBufSize() const { return FReadBufSize; }
    void setReadBufSize(int v);
    int WriteBufSize() const { return FWriteBufSize; }
    void setWriteBufSize(int v);
    TCommEventTypes MonitorEvents() const { return FMonitorEvents; }
    void setMonitorEvents(TCommEventTypes v);
    TBaudrate BaudRate() const { return FBaudRate; }
    void setBaudRate(TBaudrate v);
    TParity Parity() const { return FParity; }
    void setParity(TParity v);
    TStopbits Stopbits() const { return FStopbits; }
    void setStopbits(TStopbits v);
    TDatabits Databits() const { return FDatabits; }
    void setDatabits(TDatabits v);
    TCommOptions Options() const { return FOptions; }
    void setOptions(TCommOptions v);
    TFlowControl FlowControl() const { return FFlowControl; }
    void setFlowControl(TFlowControl v);
    TCommEventChars& EventChars() { return FEventChars; }
    void setEventChars(const TCommEventChars& v) { FEventChars.Assign(v); }

    // The control block last written to the open port (or read, before the first write).
    TDCB DCB() const;
    // What the block's translation wrote to the line: framing settings that a device drops
    // (pseudo-terminals drop parity and small data sizes) still show here.
    LineSettings WrittenLine() const;

    std::function<void(TCustomComm*)> OnBreak, OnCts, OnDsr, OnRing, OnRlsd, OnRxFlag, OnTxEmpty;
    std::function<void(TCustomComm*, int Errors)> OnError;
    std::function<void(TCustomComm*, int Count)> OnRxChar;

protected:
    // Opens the device; raises on failure. Returns the handle.
    virtual int OpenDeviceHandle();

private:
    friend class TCommEventChars;
    void CheckClosed();
    void CloseDeviceHandle();
    void ApplyTimeouts();
    void ApplyDCB();
    void SetupComm();
    void HandleCommEvent(uint32_t mask, uint32_t errors);

    std::atomic<int> FHandle{-1};
    TDCB FDCB;
    LineSettings written_;
    QString FDeviceName = QStringLiteral("Com2");
    TSimpleEvent FEvent;
    mutable TCriticalSection FCriticalSection;
    int FReadTimeout = 1000;
    int FWriteTimeout = 1000;
    int FReadBufSize = 4096;
    int FWriteBufSize = 2048;
    TCommEventTypes FMonitorEvents = kAllCommEvents;
    TBaudrate FBaudRate = TBaudrate::br9600;
    TParity FParity = TParity::paNone;
    TStopbits FStopbits = TStopbits::sb10;
    TDatabits FDatabits = TDatabits::da8;
    std::unique_ptr<TCommEventThread> FEventThread;
    TCommEventChars FEventChars{this};
    TCommOptions FOptions = 0;
    TFlowControl FFlowControl = TFlowControl::fcDefault;
};

class TComm : public TCustomComm {};

} // namespace platform
