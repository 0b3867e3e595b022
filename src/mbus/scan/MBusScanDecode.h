#pragma once
// The scan engine: a thread that finds and reads M-Bus meters through the gateway (UDP) or a
// serial port. It runs one of two state machines, stepped every 40 ms while a scan runs and its
// run event is signalled:
// - the wired scan (Scan_Decode) switches the gateway into analyzer mode, reads every meter by
//   primary address 0..250 or by a depth-first search over the eight BCD digits of the
//   secondary address, files each meter that answers in List_Slave_MBus, and ends by switching
//   analyzer mode off;
// - the wireless scan (Scan_Decode_Wireless) puts the gateway into configuration mode, sets up
//   its radio module (Telit by AT commands, RadioCrafts by register blocks) and listens: the
//   UDP listener decodes each telegram into List_Slave_wMBus as it arrives. A key given with
//   Insert_Wireless_Key is programmed into the module, then listening goes on.
// The state is one integer; each state is a small action with explicit transitions; every
// request is answered or times out inside a reply window measured from its send on the
// injected clock's 32-bit tick, so the engine's sleeps and time are the clock's.
//
// Wired notifications (Event, Value, Found, Kind): (1, 0, 0, 1) at the start of a primary scan,
// (1, 0, 0, 2) of a secondary one; (2, address, 1 or 0, 1) after each primary address;
// (2, secondary address read as hexadecimal, 1, 2) after each meter read by secondary address;
// (3, 0, 0, kind) at the normal end. An abort, and a stop during the secondary search, end
// without the end notification. Both notifications run on the user-interface thread in the
// order of the calls, the calling thread waiting until each has run.
//
// Stopping and aborting act at the next step, and the scan always ends through its closing
// states (analyzer or configuration mode off, channel closed); only the engine clears InScan.
//
// A line that delays, repeats or garbles replies must not move a meter to another address: a
// datagram is the reply to the request in flight only when it is the first to come inside that
// request's window and looks like what the request is answered with - a long frame only when
// it names the address asked (the primary address, or at FD the digits of the selection), an
// acknowledgement where one is awaited. Everything else is dropped; a radio telegram that
// comes while the module is being set up or given a key goes to the decoder, not into the
// reply.
#include "mbus/scan/Channel.h"
#include "mbus/scan/ScanTypes.h"
#include "platform/serial/CommObjs.h"

#include <QChar>
#include <QString>

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <thread>
#include <vector>

namespace platform {
class Clock;
}

namespace mbus::scan {

struct ScanEnvironment {
    platform::Clock* clock = nullptr;            // the system's clock when none
    QChar decimalSeparator = QChar();            // of value texts; the system locale's when null
    uint16_t wiredGatewayPort = kWiredGatewayPort;
    // Where the wireless scan sends; 0 sends to the scan's own port, as the gateway expects.
    // (A stand-in gateway on this machine cannot share that port with us.)
    uint16_t wirelessGatewayPort = 0;
    GatewayChannel* channel = nullptr;           // in place of UDP and the serial port
    bool startThread = true;                     // false: the owner calls Step itself
};

class TMBusScanDecode {
public:
    explicit TMBusScanDecode(ScanLists& lists, ScanEnvironment env = {});
    // Lets a running scan close (bounded), then ends the thread.
    ~TMBusScanDecode();
    TMBusScanDecode(const TMBusScanDecode&) = delete;
    TMBusScanDecode& operator=(const TMBusScanDecode&) = delete;

    // False, and nothing else, while a scan runs. Raises platform::UserError for a gateway
    // address that is not four numbers 0..255 or a UDP port that cannot be bound, and the
    // serial port's ECommError when it cannot be opened; the scan does not start then.
    bool Start_Scan(TScanType ScanT, TSelectHard SelHard, const QString& IP_COM, int Baud, int Par, bool AppReset,
                    bool SNDNKE, int CutAfter, bool FixCField, uint8_t FixCFieldValue, bool RemoteTimeout,
                    TSlaveListProc Proc_Slave_List);
    bool Start_Scan_Wireless(TSelectHard SelHard, const QString& IP_COM, uint16_t Port, int wMBus_Mode,
                             int wMBus_Radio_Channel, bool RemoteTimeout, TWirelessSlaveProc Proc_Wireless,
                             bool FromDLL);
    void Stop_Scan() { FStopScan.store(true); }
    void Abort_Scan() { FAbortScan.store(true); }
    // For a window that closes: no notification is awaited any more, the scan is aborted and the
    // engine steps through its closing states; waits at most waitMs for it. True when no scan
    // runs any longer. Not from a notification.
    bool Close_Scan(int waitMs);

    // Gives the meter at Index of List_Slave_wMBus its key. True when the key goes to the radio
    // module now; false while the module is being set up or given another key, for a meter that
    // does not exist, and when the RadioCrafts key table (64 entries) is full.
    bool Insert_Wireless_Key(int Index, const Key128& Key);

    // Write the meters into the project's M-Bus network file (see ScanFiles.h).
    bool Save_XML_Conf_Wired(const TSaveConfXML& DataIn, bool Check_BCD, const TreeChecks& checks = {});
    bool Save_XML_Conf_Wireless(const TSaveConfXML& DataIn, bool Check_BCD);

    // The three letters of a manufacturer code.
    static QString Trova_Man(int num);

    bool Exit() const { return FExit.load(); }
    bool InScan() const { return FInScan.load(std::memory_order_acquire); }
    int Result() const { return FResult.load(); }
    bool StopScan() const { return FStopScan.load(); }
    bool AbortScan() const { return FAbortScan.load(); }
    uint32_t Step_Scan() const { return FStep.load(); }
    TRadioModule RadioModule() const { return FRadioModule.load(); }
    // The run event: the engine steps only while it is signalled.
    platform::TEvent& Event_Run() { return Event_Run_; }
    // When not empty, the scan result file written at the end of each scan. Set while idle.
    void setSaveXMLFile(const QString& path);

    // One step of the running state machine; the engine's thread calls it every 40 ms.
    void Step();
    // A reply or wireless telegram from the gateway (the channel's receive handler).
    void UDP_Read(std::span<const uint8_t> data);
    // Puts the state machine into a state; for tests and the fuzz harness that start mid-way.
    void setStepForTest(uint32_t step) { FStep.store(step); }

    GatewayChannel& channel() { return *channel_.load(); }

private:
    struct Answer {
        bool arrived = false;
        std::vector<uint8_t> bytes;
    };

    void Execute();
    void Scan_Decode();
    void Scan_Decode_Wireless();
    void wirelessTelit(uint32_t step);
    void wirelessRadioCrafts(uint32_t step);
    void closeScan(bool wireless);

    uint32_t tick() const;
    void sleep(int ms);
    bool Check_TimeOut() const;
    void Set_Window(uint32_t k);
    Answer Answer_Snapshot();
    // What the reply to a request must look like.
    enum class Expect : uint8_t {
        Any,   // any datagram but a long frame (gateway texts, radio-module replies, selections)
        Ack,   // the acknowledgement E5 alone
        Frame, // a long frame from the address asked (FD: matching the selection's digits)
    };
    void Send_Command(std::span<const uint8_t> bytes, Expect expect = Expect::Any, int address = -1);
    void Send_Command(std::string_view text);
    void Send_Req(Expect expect = Expect::Any, int address = -1);
    // Whether a datagram is the reply to the request in flight (ansLock_ held).
    bool isReplyToRequest(std::span<const uint8_t> data) const;
    int fileFrame(const std::vector<uint8_t>& frame, bool& done);
    void Notify_Slave_List(int Event, int Value, int Found, int Kind);
    void Notify_Wireless_Slave(int Index);
    void selectFrame();
    void failWireless();

    ScanLists& lists_;
    platform::Clock& clock_;
    QChar decimalSeparator_;
    uint16_t wiredGatewayPort_;
    uint16_t wirelessGatewayPort_;
    std::unique_ptr<UdpGatewayChannel> udp_;
    std::unique_ptr<SerialGatewayChannel> serial_;
    GatewayChannel* injected_ = nullptr;
    std::atomic<GatewayChannel*> channel_{nullptr};
    platform::MainThreadCalls calls_;
    platform::TEvent Event_Run_;

    // Control flags, written by the user-interface thread and read at the next step.
    std::atomic<bool> FExit{false};
    std::atomic<bool> FInScan{false};
    std::atomic<bool> FStopScan{false};
    std::atomic<bool> FAbortScan{false};
    std::atomic<int> FResult{-1};
    std::atomic<uint32_t> FStep{0};

    // Settings, written by the start operations while idle.
    TScanType ScanType = TScanType::saPrimaryAddress;
    TSelectHard Select_Hardware = TSelectHard::shEthernet;
    std::atomic<TMBusType> MBusType{TMBusType::mtWired};
    std::atomic<TRadioModule> FRadioModule{TRadioModule::rmTelit};
    QString IP_Address;
    QString ComPort;
    int Baudrate = 2400;
    int Parity = 1;
    bool App_Reset = false;
    bool SND_NKE = false;
    int Cut_After = 0;
    bool Fix_C_Field = false;
    uint8_t Fix_C_Field_Value = 0;
    int wMBusMode = 0;
    int wMBusRadioChannel = 0;
    uint16_t Port_Wireless = 0;
    int Add_TimeOut = 0;
    bool From_DLL = false;
    TSlaveListProc Update_Slave_List;
    TWirelessSlaveProc UpdateListWirelessSlave;
    QString SaveXMLFile;

    // The last reply, filed by the receiving thread and read by the state machine, and what the
    // request in flight awaits (set at each send).
    std::mutex ansLock_;
    bool Answer_Arrived = false;
    std::vector<uint8_t> Ans_Array;
    bool requestOpen_ = false;
    Expect expect_ = Expect::Any;
    int expectAddress_ = -1;
    std::array<int32_t, 8> expectDigits_{};
    uint32_t requestStart_ = 0;
    uint32_t requestWindow_ = 0;

    std::vector<uint8_t> Req_Array;
    uint32_t TimeOut_Calc = 0;
    uint32_t Start_Send = 0;

    // Wired scan.
    int32_t ID_Dev_Primary = 0;
    bool ID_Dev_Found = false;
    int32_t Num_Frame_Read = 0;
    int32_t Index_Device = -1;
    std::array<int32_t, 8> Index{}; // Index_A .. Index_H, -1 a wildcard
    uint32_t Sec_Add_Next_Step = 0;
    int32_t Count_Disable_Analyzer = 0;
    bool Enable_Send_In_Last_Step = false;
    int32_t Type_To_Send_In_Last_Step = 0;

    // Wireless scan.
    std::atomic<bool> Wireless_Receive_Message{false};
    std::mutex keyLock_;
    Key128 Wireless_Key{};
    std::atomic<int> Wireless_Key_Index{0};
    int32_t Index_Key_Send = 0;
    int32_t Index_RadioCrafts_Erase_Position = 0;
    std::atomic<int32_t> Index_RadioCrafts_Position_Used{1};

    std::thread thread_;
};

// Reply windows in milliseconds: a wired request at the M-Bus speed (K = 3245000 for REQ_UD2,
// 330000 for the other frames); a speed below 1 counts as 2400.
uint32_t wiredReplyWindow(uint32_t k, int baudrate, int addTimeOut);
inline constexpr uint32_t kReqUd2Factor = 3245000;
inline constexpr uint32_t kShortFrameFactor = 330000;

// Whether the reply window that began at `startTick` has passed at `nowTick` (32-bit ticks
// that may wrap between the two).
inline bool replyWindowPassed(uint32_t startTick, uint32_t nowTick, uint32_t windowMs)
{
    return static_cast<uint32_t>(nowTick - startTick) > windowMs;
}

// The RadioCrafts module's blocks.
std::vector<uint8_t> Build_RC_Config(int wMBusMode);
std::vector<uint8_t> Build_RC_Key_Address(const TSlave_wMBus& meter);

} // namespace mbus::scan
