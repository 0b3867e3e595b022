// The wireless scan, one step at a time.
//
//   0-3      configuration mode on; which radio module the gateway carries
//   100-134  Telit: AT commands, each sent in an even state and answered "OK\r" in the odd
//            state after it; registers 421, 442 and 454 are not set in the N modes; 134 listens
//   200-220  Telit key of one meter: its address into registers 461-468, the key into 470-485,
//            460 = 5, then back to 132 ("ATO") and listening
//   300-320  RadioCrafts: configuration memory read (257 bytes ending in the prompt) and
//            written, key-table entries 1..63 emptied, configuration left; 320 listens
//   400-419  RadioCrafts key of one meter at its key-table position, then back to 318
//   500-503  configuration mode off (three attempts at most), channel closed, InScan cleared
// Every unexpected reply or missed reply window during set-up and key programming ends the scan
// with Result 2.
#include "mbus/scan/MBusScanDecode.h"

#include <string>

namespace mbus::scan {

namespace {

constexpr uint8_t kPrompt = 0x3E; // '>'

bool isNMode(int mode) { return mode == 15 || mode == 17; }

bool isOk(const std::vector<uint8_t>& reply)
{
    return reply.size() == 3 && reply[0] == 'O' && reply[1] == 'K' && reply[2] == '\r';
}

bool isPrompt(const std::vector<uint8_t>& reply) { return reply.size() == 1 && reply[0] == kPrompt; }

std::string atRegister(int reg, int value) { return "ATS" + std::to_string(reg) + "=" + std::to_string(value) + "\r"; }

} // namespace

std::vector<uint8_t> Build_RC_Config(int wMBusMode)
{
    uint8_t m = 0x03; // S
    switch (wMBusMode) {
    case 5: m = 0x01; break;   // T
    case 11: m = 0x0A; break;  // C
    case 15: m = 0x11; break;  // N1
    case 17: m = 0x10; break;  // N2
    default: break;
    }
    return {0x03, m, 0x04, 0x00, 0x05, 0x01, 0x12, 0x01, 0x16, 0x17, 0x3A, 0x01, 0x3D, 0x02, 0x37, 0x01};
}

std::vector<uint8_t> Build_RC_Key_Address(const TSlave_wMBus& meter)
{
    const uint32_t id = meter.ALA_Address;
    const uint16_t man = meter.ALA_Manufacturer;
    return {static_cast<uint8_t>(id), static_cast<uint8_t>(id >> 8), static_cast<uint8_t>(id >> 16),
            static_cast<uint8_t>(id >> 24), static_cast<uint8_t>(man), static_cast<uint8_t>(man >> 8),
            meter.ALA_Version, meter.ALA_DeviceType};
}

void TMBusScanDecode::failWireless()
{
    FResult.store(2);
    FStep.store(500);
}

void TMBusScanDecode::Scan_Decode_Wireless()
{
    if (FAbortScan.load() || FStopScan.load())
        FStep.store(500);
    const uint32_t step = FStep.load();
    const bool serial = Select_Hardware == TSelectHard::shSerial;
    // Over a serial port nothing is sent: the scan waits in state 0 until it is stopped.
    if (serial && step < 500)
        return;

    if (step >= 100 && step < 300) {
        wirelessTelit(step);
        return;
    }
    if (step >= 300 && step < 500) {
        wirelessRadioCrafts(step);
        return;
    }

    switch (step) {
    case 0:
        Wireless_Receive_Message.store(false);
        FResult.store(1);
        TimeOut_Calc = static_cast<uint32_t>(Add_TimeOut) + 1000;
        FStep.store(1);
        Send_Command(kEnableConfiguration);
        break;
    case 1: {
        const Answer a = Answer_Snapshot();
        if (a.arrived) {
            if (isConfirmation(a.bytes, kConfigurationEnabled))
                FStep.store(2);
            else
                failWireless();
        }
        if (Check_TimeOut())
            failWireless();
        break;
    }
    case 2:
        FResult.store(1);
        TimeOut_Calc = static_cast<uint32_t>(Add_TimeOut) + 1000;
        FStep.store(3);
        Send_Command(kTypeRadioModule);
        break;
    case 3: {
        const Answer a = Answer_Snapshot();
        if (a.arrived) {
            if (isConfirmation(a.bytes, kTelit)) {
                FRadioModule.store(TRadioModule::rmTelit);
                FStep.store(100);
            } else if (isConfirmation(a.bytes, kRadioCrafts)) {
                FRadioModule.store(TRadioModule::rmRadioCrafts);
                FStep.store(300);
            } else {
                failWireless();
            }
        }
        if (Check_TimeOut())
            failWireless();
        break;
    }

    case 500:
        // No telegram is wanted any more, and the gateway's confirmation must not be taken for
        // one.
        Wireless_Receive_Message.store(false);
        Count_Disable_Analyzer = 0;
        FAbortScan.store(false);
        FStopScan.store(false);
        FStep.store(501);
        break;
    case 501:
        if (serial || Count_Disable_Analyzer >= 3) {
            FStep.store(503);
            break;
        }
        Count_Disable_Analyzer += 1;
        TimeOut_Calc = static_cast<uint32_t>(Add_TimeOut) + 1000;
        FStep.store(502);
        Send_Command(kDisableConfiguration);
        break;
    case 502: {
        const Answer a = Answer_Snapshot();
        if (a.arrived)
            FStep.store(isConfirmation(a.bytes, kConfigurationDisabled) ? 503 : 501);
        if (Check_TimeOut())
            FStep.store(501);
        break;
    }
    case 503:
        closeScan(true);
        break;
    default:
        failWireless();
        break;
    }
}

void TMBusScanDecode::wirelessTelit(uint32_t step)
{
    if (step == 134)
        return; // listening: telegrams are decoded as they arrive

    // The meter whose key is being programmed, by its application-layer address.
    auto keyMeter = [&](TSlave_wMBus& out) {
        std::lock_guard lk(keyLock_);
        const int index = Wireless_Key_Index.load();
        return lists_.List_Slave_wMBus.with([&](const std::vector<TSlave_wMBus>& list) {
            if (index < 0 || index >= static_cast<int>(list.size()))
                return false;
            out = list[static_cast<size_t>(index)];
            return true;
        });
    };

    if (step % 2 == 0) {
        std::string cmd;
        switch (step) {
        case 100: cmd = "+++"; break;
        case 102: cmd = "ATR\r"; break;
        case 104: cmd = atRegister(400, wMBusMode); break;
        case 106: cmd = "ATS401=0\r"; break;
        case 108: cmd = "ATS402=191\r"; break;
        case 110: cmd = atRegister(420, wMBusRadioChannel); break;
        case 112: cmd = "ATS421=0\r"; break;
        case 114: cmd = "ATS422=3\r"; break;
        case 116: cmd = "ATS430=5\r"; break;
        case 118: cmd = "ATS431=5\r"; break;
        case 120: cmd = "ATS440=0\r"; break;
        case 122: cmd = "ATS441=0\r"; break;
        case 124: cmd = "ATS442=0\r"; break;
        case 126: cmd = "ATS452=0\r"; break;
        case 128: cmd = "ATS453=0\r"; break;
        case 130: cmd = "ATS454=0\r"; break;
        case 132: cmd = "ATO\r"; break;
        case 200:
            Wireless_Receive_Message.store(false);
            cmd = "+++";
            break;
        case 202: case 204: case 206: case 208: case 210: case 212: case 214: case 216: {
            TSlave_wMBus m;
            if (!keyMeter(m)) {
                failWireless();
                return;
            }
            const uint32_t id = m.ALA_Address;
            const int values[] = {m.ALA_Manufacturer & 0xFF, m.ALA_Manufacturer >> 8,
                                  static_cast<int>(id & 0xFF), static_cast<int>((id >> 8) & 0xFF),
                                  static_cast<int>((id >> 16) & 0xFF), static_cast<int>(id >> 24),
                                  m.ALA_Version, m.ALA_DeviceType};
            const int i = static_cast<int>(step - 202) / 2;
            cmd = atRegister(461 + i, values[i]);
            break;
        }
        case 218: {
            uint8_t byte = 0;
            {
                std::lock_guard lk(keyLock_);
                byte = Wireless_Key[static_cast<size_t>(Index_Key_Send & 15)];
            }
            cmd = atRegister(470 + Index_Key_Send, byte);
            break;
        }
        case 220: cmd = "ATS460=5\r"; break;
        default:
            failWireless();
            return;
        }
        TimeOut_Calc = static_cast<uint32_t>(Add_TimeOut) + 1000;
        FStep.store(step + 1);
        Send_Command(cmd);
        return;
    }

    // Odd: the answer to the command of the state before.
    const uint32_t sent = step - 1;
    const bool n = isNMode(wMBusMode);
    uint32_t next = sent + 2;
    switch (sent) {
    case 110: next = n ? 114 : 112; break;
    case 122: next = n ? 126 : 124; break;
    case 128: next = n ? 132 : 130; break;
    case 132: next = 134; break;
    case 218: next = Index_Key_Send >= 15 ? 220 : 218; break;
    case 220: next = 132; break;
    default: break;
    }
    const Answer a = Answer_Snapshot();
    if (a.arrived) {
        if (isOk(a.bytes)) {
            if (sent == 132)
                Wireless_Receive_Message.store(true);
            else if (sent == 216 || sent == 220)
                Index_Key_Send = 0;
            else if (sent == 218)
                Index_Key_Send += 1;
            FStep.store(next);
        } else {
            failWireless();
        }
    }
    if (Check_TimeOut())
        failWireless();
}

void TMBusScanDecode::wirelessRadioCrafts(uint32_t step)
{
    auto sendBytes = [&](std::vector<uint8_t> bytes, uint32_t window, uint32_t next) {
        TimeOut_Calc = static_cast<uint32_t>(Add_TimeOut) + window;
        FStep.store(next);
        Req_Array = std::move(bytes);
        Send_Req();
    };
    // A reply that must pass `ok` to go on; any other reply, or none in time, fails.
    auto expect = [&](auto ok, uint32_t next) {
        const Answer a = Answer_Snapshot();
        if (a.arrived) {
            if (ok(a.bytes))
                FStep.store(next);
            else
                failWireless();
        }
        if (Check_TimeOut())
            failWireless();
    };
    auto anyOrPassed = [&](uint32_t next) {
        if (Answer_Snapshot().arrived || Check_TimeOut())
            FStep.store(next);
    };
    auto firstIsPrompt = [](const std::vector<uint8_t>& r) { return !r.empty() && r[0] == kPrompt; };
    auto position = [&]() -> uint8_t {
        std::lock_guard lk(keyLock_);
        const int index = Wireless_Key_Index.load();
        return lists_.List_Slave_wMBus.with([&](const std::vector<TSlave_wMBus>& list) -> uint8_t {
            if (index < 0 || index >= static_cast<int>(list.size()))
                return 0;
            return static_cast<uint8_t>(list[static_cast<size_t>(index)].RadioCrafts_Ind_Tab_Decript);
        });
    };

    switch (step) {
    case 300:
        Index_RadioCrafts_Position_Used.store(1);
        sendBytes({0x00}, 1000, 301);
        break;
    case 301: expect(isPrompt, 302); break;
    case 302: sendBytes({0x30}, 1000, 303); break;
    case 303:
        expect([](const std::vector<uint8_t>& r) { return r.size() == 257 && r.back() == kPrompt; }, 304);
        break;
    case 304: sendBytes({0x4D}, 1000, 305); break;
    case 305: expect(isPrompt, 306); break;
    case 306: sendBytes(Build_RC_Config(wMBusMode), 500, 307); break;
    case 307: anyOrPassed(308); break;
    case 308: sendBytes({0xFF}, 1000, 309); break;
    case 309: {
        const Answer a = Answer_Snapshot();
        if (a.arrived) {
            if (isPrompt(a.bytes)) {
                Index_RadioCrafts_Erase_Position = 0;
                FStep.store(310);
            } else {
                failWireless();
            }
        }
        if (Check_TimeOut())
            failWireless();
        break;
    }
    case 310:
        if (Index_RadioCrafts_Erase_Position >= 63)
            FStep.store(318);
        else
            sendBytes({0x42}, 1000, 311);
        break;
    case 311: expect(isPrompt, 313); break;
    case 313:
        if (Index_RadioCrafts_Erase_Position >= 64) {
            FStep.store(318);
        } else {
            Index_RadioCrafts_Erase_Position += 1;
            FStep.store(314);
        }
        break;
    case 314: sendBytes({static_cast<uint8_t>(Index_RadioCrafts_Erase_Position)}, 100, 315); break;
    case 315: anyOrPassed(316); break;
    case 316: sendBytes(std::vector<uint8_t>(8, 0x00), 1000, 317); break;
    case 317: expect(firstIsPrompt, 310); break;
    case 318: sendBytes({0x58}, 1000, 319); break;
    case 319:
        Wireless_Receive_Message.store(true);
        FStep.store(320);
        break;
    case 320: break; // listening

    case 400:
        Wireless_Receive_Message.store(false);
        sendBytes({0x00}, 1000, 401);
        break;
    case 401: expect(isPrompt, 402); break;
    case 402: sendBytes({0x42}, 1000, 403); break;
    case 403: expect(isPrompt, 404); break;
    case 404: sendBytes({position()}, 100, 405); break;
    case 405: anyOrPassed(406); break;
    case 406: {
        TSlave_wMBus m;
        bool found = false;
        {
            std::lock_guard lk(keyLock_);
            const int index = Wireless_Key_Index.load();
            found = lists_.List_Slave_wMBus.with([&](const std::vector<TSlave_wMBus>& list) {
                if (index < 0 || index >= static_cast<int>(list.size()))
                    return false;
                m = list[static_cast<size_t>(index)];
                return true;
            });
        }
        if (!found) {
            failWireless();
            break;
        }
        sendBytes(Build_RC_Key_Address(m), 1000, 407);
        break;
    }
    case 407: expect(firstIsPrompt, 408); break;
    case 408: sendBytes({0x4B}, 1000, 409); break;
    case 409: expect(isPrompt, 410); break;
    case 410: sendBytes({position()}, 100, 411); break;
    case 411: anyOrPassed(412); break;
    case 412: {
        Key128 key;
        {
            std::lock_guard lk(keyLock_);
            key = Wireless_Key;
        }
        sendBytes(std::vector<uint8_t>(key.begin(), key.end()), 1000, 413);
        break;
    }
    case 413: expect(firstIsPrompt, 414); break;
    case 414: sendBytes({0x41}, 1000, 415); break;
    case 415: expect(isPrompt, 416); break;
    case 416: sendBytes({position()}, 100, 417); break;
    case 417: anyOrPassed(418); break;
    case 418: sendBytes({0x00, 0x40}, 1000, 419); break;
    case 419: expect(isPrompt, 318); break;
    default:
        failWireless();
        break;
    }
}

} // namespace mbus::scan
