#include "mbus/scan/MBusScanDecode.h"

#include "mbus/decode/Frames.h"
#include "mbus/decode/Values.h"
#include "mbus/decode/Wireless.h"
#include "mbus/scan/ScanFiles.h"
#include "platform/process/Clock.h"
#include "platform/text/UserError.h"

#include <QLocale>

#include <chrono>

namespace mbus::scan {

uint32_t wiredReplyWindow(uint32_t k, int baudrate, int addTimeOut)
{
    const uint32_t baud = baudrate > 0 ? static_cast<uint32_t>(baudrate) : 2400u;
    return k / baud + 400u + static_cast<uint32_t>(addTimeOut) + 50u;
}

TMBusScanDecode::TMBusScanDecode(ScanLists& lists, ScanEnvironment env)
    : lists_(lists),
      clock_(env.clock ? *env.clock : platform::clock()),
      decimalSeparator_(env.decimalSeparator.isNull() ? QLocale::system().decimalPoint().at(0)
                                                      : env.decimalSeparator),
      wiredGatewayPort_(env.wiredGatewayPort),
      wirelessGatewayPort_(env.wirelessGatewayPort),
      injected_(env.channel),
      Event_Run_(true, false, QStringLiteral("EVENT_SCAN_DECODE_MBUS"))
{
    if (!injected_) {
        udp_ = std::make_unique<UdpGatewayChannel>();
        serial_ = std::make_unique<SerialGatewayChannel>(clock_);
    }
    channel_.store(injected_ ? injected_ : udp_.get());
    Ans_Array.reserve(kAnswerSize);
    if (env.startThread)
        thread_ = std::thread([this] { Execute(); });
}

TMBusScanDecode::~TMBusScanDecode()
{
    // With a thread of its own the engine closes a running scan properly; an owner that steps
    // the engine itself has stopped stepping.
    if (thread_.joinable())
        Close_Scan(5000);
    else
        calls_.cancel();
    FExit.store(true);
    Event_Run_.SetEvent();
    if (thread_.joinable())
        thread_.join();
    if (udp_)
        udp_->close();
    if (serial_)
        serial_->close();
}

void TMBusScanDecode::Execute()
{
    while (!FExit.load()) {
        if (InScan()) {
            try {
                Step();
            } catch (...) {
                // Nothing leaves the scan's thread; the next step goes on from the state reached.
            }
            clock_.sleepMs(40);
        } else {
            clock_.sleepMs(10);
        }
        Event_Run_.WaitFor(-1);
    }
}

void TMBusScanDecode::Step()
{
    channel_.load()->poll(tick());
    if (MBusType.load() == TMBusType::mtWireless)
        Scan_Decode_Wireless();
    else
        Scan_Decode();
}

bool TMBusScanDecode::Start_Scan(TScanType ScanT, TSelectHard SelHard, const QString& IP_COM, int Baud, int Par,
                                 bool AppReset, bool SNDNKE, int CutAfter, bool FixCField, uint8_t FixCFieldValue,
                                 bool RemoteTimeout, TSlaveListProc Proc_Slave_List)
{
    if (InScan())
        return false;
    ChannelSettings cs;
    cs.hardware = SelHard;
    if (SelHard == TSelectHard::shEthernet) {
        const std::optional<uint32_t> ip = platform::parseIpv4(IP_COM);
        if (!ip)
            throw platform::UserError(
                QStringLiteral("The gateway address \"%1\" is not valid: four numbers from 0 to 255 are expected.")
                    .arg(IP_COM));
        cs.gateway = *ip;
        cs.gatewayPort = wiredGatewayPort_;
    }
    Update_Slave_List = std::move(Proc_Slave_List);
    MBusType.store(TMBusType::mtWired);
    ScanType = ScanT;
    Select_Hardware = SelHard;
    ComPort.clear();
    IP_Address.clear();
    if (SelHard == TSelectHard::shSerial)
        ComPort = IP_COM;
    else
        IP_Address = IP_COM;
    cs.comPort = ComPort;
    Baudrate = Baud;
    Parity = Par;
    App_Reset = AppReset;
    SND_NKE = SNDNKE;
    Cut_After = CutAfter;
    Fix_C_Field = FixCField;
    Fix_C_Field_Value = FixCFieldValue;
    Add_TimeOut = RemoteTimeout ? 10000 : 0;

    {
        std::lock_guard lk(ansLock_);
        requestOpen_ = false;
        Answer_Arrived = false;
    }
    channel_.store(injected_ ? injected_
                             : (SelHard == TSelectHard::shSerial ? static_cast<GatewayChannel*>(serial_.get())
                                                                 : udp_.get()));
    channel_.load()->open(cs, [this](std::span<const uint8_t> d) { UDP_Read(d); });

    FStep.store(0);
    FStopScan.store(false);
    FAbortScan.store(false);
    calls_.resume();
    FInScan.store(true, std::memory_order_release);
    return true;
}

bool TMBusScanDecode::Start_Scan_Wireless(TSelectHard SelHard, const QString& IP_COM, uint16_t Port, int wMBus_Mode,
                                          int wMBus_Radio_Channel, bool RemoteTimeout,
                                          TWirelessSlaveProc Proc_Wireless, bool FromDLL)
{
    if (InScan())
        return false;
    ChannelSettings cs;
    cs.hardware = SelHard;
    if (SelHard == TSelectHard::shEthernet) {
        const std::optional<uint32_t> ip = platform::parseIpv4(IP_COM);
        if (!ip)
            throw platform::UserError(
                QStringLiteral("The gateway address \"%1\" is not valid: four numbers from 0 to 255 are expected.")
                    .arg(IP_COM));
        cs.gateway = *ip;
        cs.gatewayPort = wirelessGatewayPort_ ? wirelessGatewayPort_ : Port;
        cs.localPort = Port;
    }
    UpdateListWirelessSlave = std::move(Proc_Wireless);
    MBusType.store(TMBusType::mtWireless);
    Select_Hardware = SelHard;
    IP_Address = IP_COM;
    wMBusMode = wMBus_Mode;
    wMBusRadioChannel = wMBus_Radio_Channel;
    Port_Wireless = Port;
    Add_TimeOut = RemoteTimeout ? 10000 : 0;
    Wireless_Receive_Message.store(false);
    From_DLL = FromDLL;
    // Over a serial port the wireless scan sends nothing; the port named by the last wired scan
    // is opened all the same.
    cs.comPort = ComPort;

    {
        std::lock_guard lk(ansLock_);
        requestOpen_ = false;
        Answer_Arrived = false;
    }
    channel_.store(injected_ ? injected_
                             : (SelHard == TSelectHard::shSerial ? static_cast<GatewayChannel*>(serial_.get())
                                                                 : udp_.get()));
    channel_.load()->open(cs, [this](std::span<const uint8_t> d) { UDP_Read(d); });

    FStep.store(0);
    FStopScan.store(false);
    FAbortScan.store(false);
    calls_.resume();
    FInScan.store(true, std::memory_order_release);
    return true;
}

bool TMBusScanDecode::Close_Scan(int waitMs)
{
    calls_.cancel();
    if (!InScan())
        return true;
    FAbortScan.store(true);
    Event_Run_.SetEvent();
    if (!thread_.joinable())
        return false; // the owner steps the engine
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    while (InScan() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return !InScan();
}

QString TMBusScanDecode::Trova_Man(int num) { return decode::Trova_Man(static_cast<uint32_t>(num)); }

void TMBusScanDecode::setSaveXMLFile(const QString& path)
{
    if (!InScan())
        SaveXMLFile = path;
}

uint32_t TMBusScanDecode::tick() const { return static_cast<uint32_t>(clock_.tickMs()); }

void TMBusScanDecode::sleep(int ms) { clock_.sleepMs(ms); }

bool TMBusScanDecode::Check_TimeOut() const { return replyWindowPassed(Start_Send, tick(), TimeOut_Calc); }

void TMBusScanDecode::Set_Window(uint32_t k) { TimeOut_Calc = wiredReplyWindow(k, Baudrate, Add_TimeOut); }

TMBusScanDecode::Answer TMBusScanDecode::Answer_Snapshot()
{
    std::lock_guard lk(ansLock_);
    Answer a;
    a.arrived = Answer_Arrived;
    if (a.arrived)
        a.bytes = Ans_Array;
    return a;
}

void TMBusScanDecode::Send_Command(std::span<const uint8_t> bytes, Expect expect, int address)
{
    {
        std::lock_guard lk(ansLock_);
        Answer_Arrived = false;
        requestOpen_ = true;
        expect_ = expect;
        expectAddress_ = address;
        expectDigits_ = Index;
        requestWindow_ = TimeOut_Calc;
        // The window counts from before the send: a reply never comes before its request.
        requestStart_ = tick();
    }
    // A request that cannot be sent is answered by nobody: its reply window runs out.
    channel_.load()->send(bytes);
    Start_Send = tick();
}

void TMBusScanDecode::Send_Command(std::string_view text)
{
    Send_Command(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}

void TMBusScanDecode::Send_Req(Expect expect, int address) { Send_Command(std::span<const uint8_t>(Req_Array), expect, address); }

namespace {

// 68 L L 68: the start of a long frame, whatever follows.
bool looksLikeLongFrame(std::span<const uint8_t> d)
{
    return d.size() >= 4 && d[0] == 0x68 && d[3] == 0x68 && d[1] == d[2];
}

// The identification number of a long frame (bytes 7-10, BCD, least significant first) against
// the eight digits of a selection, most significant first; a digit below 0 matches any.
bool matchesSelection(std::span<const uint8_t> frame, const std::array<int32_t, 8>& digits)
{
    if (frame.size() < 11)
        return false;
    for (int k = 0; k < 8; ++k) {
        const uint8_t byte = frame[static_cast<size_t>(10 - k / 2)];
        const int digit = (k % 2 == 0) ? (byte >> 4) : (byte & 0x0F);
        if (digits[static_cast<size_t>(k)] >= 0 && digits[static_cast<size_t>(k)] != digit)
            return false;
    }
    return true;
}

} // namespace

bool TMBusScanDecode::isReplyToRequest(std::span<const uint8_t> data) const
{
    if (!requestOpen_ || Answer_Arrived)
        return false; // nothing asked, or this request has had its reply
    if (replyWindowPassed(requestStart_, tick(), requestWindow_))
        return false; // too late for the request in flight, and not for any other
    switch (expect_) {
    case Expect::Ack:
        return decode::isAck(data);
    case Expect::Frame:
        if (!looksLikeLongFrame(data) || data.size() < 11)
            return false;
        return expectAddress_ == 0xFD ? matchesSelection(data, expectDigits_) : data[5] == expectAddress_;
    case Expect::Any:
        break;
    }
    return !looksLikeLongFrame(data);
}

void TMBusScanDecode::UDP_Read(std::span<const uint8_t> data)
{
    if (data.size() > kAnswerSize)
        return; // no reply of the gateway is this long
    const TRadioModule module = FRadioModule.load();
    const bool wireless = MBusType.load() == TMBusType::mtWireless;
    bool telegram = wireless && Wireless_Receive_Message.load();
    if (!telegram) {
        // While the radio module is set up or given a key, a telegram that slips in between the
        // module's replies is data, never the reply (module known: states 100-499).
        const uint32_t step = FStep.load();
        const bool moduleKnown = wireless && step >= 100 && step < 500;
        if (moduleKnown && decode::Wireless_Telegram_Length_Ok(data, module)) {
            telegram = true;
        } else {
            std::lock_guard lk(ansLock_);
            if (isReplyToRequest(data)) {
                Ans_Array.assign(data.begin(), data.end());
                Answer_Arrived = true;
            }
            return;
        }
    }
    if (!decode::Wireless_Telegram_Length_Ok(data, module))
        return;
    const QDateTime now = clock_.now();
    const decode::WirelessResult r = lists_.List_Slave_wMBus.with([&](std::vector<TSlave_wMBus>& list) {
        return decode::Decode_Wireless_Telegram(list, data, module, now, decimalSeparator_);
    });
    if (r.index >= 0)
        Notify_Wireless_Slave(r.index);
}

void TMBusScanDecode::Notify_Slave_List(int Event, int Value, int Found, int Kind)
{
    const TSlaveListProc proc = Update_Slave_List;
    if (!proc)
        return;
    calls_.call([proc, Event, Value, Found, Kind] { proc(Event, Value, Found, Kind); });
}

void TMBusScanDecode::Notify_Wireless_Slave(int Index)
{
    const TWirelessSlaveProc proc = UpdateListWirelessSlave;
    if (!proc)
        return;
    // The window gets the meter as filed: a copy, so that nothing the scan's threads do later
    // can change it under the window's eyes.
    std::shared_ptr<const TSlave_wMBus> meter;
    if (!From_DLL) {
        meter = lists_.List_Slave_wMBus.with([&](const std::vector<TSlave_wMBus>& list) {
            return Index < static_cast<int>(list.size()) ? std::make_shared<const TSlave_wMBus>(list[static_cast<size_t>(Index)])
                                                         : nullptr;
        });
        if (!meter)
            return;
    }
    calls_.call([proc, Index, meter] { proc(Index, meter.get()); });
}

bool TMBusScanDecode::Insert_Wireless_Key(int Index, const Key128& Key)
{
    const TRadioModule module = FRadioModule.load();
    // A RadioCrafts meter gets its key-table position whether or not its key can go to the
    // module now; the table has 64 positions.
    const bool known = lists_.List_Slave_wMBus.with([&](std::vector<TSlave_wMBus>& list) {
        if (Index < 0 || Index >= static_cast<int>(list.size()))
            return false;
        TSlave_wMBus& m = list[static_cast<size_t>(Index)];
        if (module == TRadioModule::rmRadioCrafts && m.RadioCrafts_Ind_Tab_Decript <= 0) {
            const int32_t used = Index_RadioCrafts_Position_Used.load();
            if (used > 64)
                return false;
            m.RadioCrafts_Ind_Tab_Decript = used;
            Index_RadioCrafts_Position_Used.store(used + 1);
        }
        return true;
    });
    if (!known || !InScan() || MBusType.load() != TMBusType::mtWireless)
        return false;
    // The key and the meter being programmed are taken only when the programming starts, so a
    // key entered meanwhile cannot replace them half-way; the engine reads them under this lock.
    std::lock_guard lk(keyLock_);
    uint32_t listening = module == TRadioModule::rmTelit ? 134u : 320u;
    const uint32_t programming = module == TRadioModule::rmTelit ? 200u : 400u;
    if (!FStep.compare_exchange_strong(listening, programming))
        return false;
    Wireless_Key = Key;
    Wireless_Key_Index.store(Index);
    lists_.List_Slave_wMBus.with([&](std::vector<TSlave_wMBus>& list) {
        if (Index < static_cast<int>(list.size())) {
            TSlave_wMBus& m = list[static_cast<size_t>(Index)];
            m.Enable_Key = true;
            m.Key = Key;
        }
    });
    return true;
}

bool TMBusScanDecode::Save_XML_Conf_Wired(const TSaveConfXML& DataIn, bool Check_BCD, const TreeChecks& checks)
{
    return lists_.List_Slave_MBus.with([&](const std::vector<TSlave_MBus>& list) {
        return mbus::scan::Save_XML_Conf_Wired(list, DataIn, Check_BCD, checks);
    });
}

bool TMBusScanDecode::Save_XML_Conf_Wireless(const TSaveConfXML& DataIn, bool Check_BCD)
{
    return lists_.List_Slave_wMBus.with([&](const std::vector<TSlave_wMBus>& list) {
        return mbus::scan::Save_XML_Conf_Wireless(list, DataIn, Check_BCD);
    });
}

void TMBusScanDecode::closeScan(bool wireless)
{
    // What the end of the scan needs is taken before InScan is cleared: a new scan may start as
    // soon as it is.
    const bool notify = !wireless && Enable_Send_In_Last_Step;
    const int kind = Type_To_Send_In_Last_Step;
    const TSlaveListProc proc = Update_Slave_List;
    const QString file = SaveXMLFile;
    channel_.load()->close();
    Wireless_Receive_Message.store(false);
    FInScan.store(false, std::memory_order_release);
    if (!file.isEmpty()) {
        try {
            if (wireless)
                lists_.List_Slave_wMBus.with(
                    [&](const std::vector<TSlave_wMBus>& list) { Save_Wireless_XML_File_DLL(list, file); });
            else
                lists_.List_Slave_MBus.with([&](const std::vector<TSlave_MBus>& list) { Save_XML_File_DLL(list, file); });
        } catch (...) {
            // The result file is for a caller that reads it afterwards; a failed write leaves the
            // previous file, and the scan ends all the same.
        }
    }
    if (notify && proc)
        calls_.call([proc, kind] { proc(3, 0, 0, kind); });
}

} // namespace mbus::scan
