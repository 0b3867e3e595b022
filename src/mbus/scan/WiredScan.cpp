// The wired scan, one step at a time.
//
//   0-1      analyzer mode on (skipped over a serial port)
//   2-10     primary scan: SND_NKE to FF, then for each address 0..250 the optional application
//            reset and SND_NKE, and REQ_UD2 until the meter has no more records or Cut_After
//            frames have been read, the FCB toggling from frame to frame
//   100-107  secondary scan: optional SND_NKE to FD and application reset, SND_NKE to FF
//   108-123  the depth-first search: even states set one digit (A in 108 .. H in 122), odd
//            states wait for the answer to the selection; one acknowledgement reads the meter,
//            a collision fixes the next digit, no slave or no answer tries the next value
//   124-125  reading the selected meter at FD
//   200-203  analyzer mode off (three attempts at most), channel closed, InScan cleared
#include "mbus/decode/Frames.h"
#include "mbus/decode/Records.h"
#include "mbus/scan/MBusScanDecode.h"

namespace mbus::scan {

namespace {
constexpr uint8_t kBroadcast = 0xFF;
constexpr uint8_t kSelected = 0xFD; // the meter selected by secondary address

// The digit state (even) and its answer state (odd) of digit k (0 = A .. 7 = H).
constexpr uint32_t digitState(int k) { return 108u + 2u * static_cast<uint32_t>(k); }
} // namespace

int TMBusScanDecode::fileFrame(const std::vector<uint8_t>& frame, bool& done)
{
    decode::DecodeOptions options;
    options.busType = TMBusType::mtWired;
    options.decimalSeparator = decimalSeparator_;
    const int index = Num_Frame_Read == 0 ? -1 : Index_Device;
    const int filed = lists_.List_Slave_MBus.with([&](std::vector<TSlave_MBus>& list) {
        return decode::Add_Slave_Frame(list, index, frame, done, options);
    });
    if (filed >= 0)
        Index_Device = filed;
    return filed;
}

void TMBusScanDecode::selectFrame()
{
    Req_Array.resize(decode::kSelectSecondarySize);
    const decode::CField c{Fix_C_Field, Fix_C_Field_Value};
    Req_Array.resize(decode::Build_Select_Secondary(Index, c, Req_Array));
    Send_Req();
}

void TMBusScanDecode::Scan_Decode()
{
    if (FAbortScan.load())
        FStep.store(200);
    const bool serial = Select_Hardware == TSelectHard::shSerial;
    const bool secondary = ScanType == TScanType::saSecondaryAddress;
    const decode::CField c{Fix_C_Field, Fix_C_Field_Value};
    auto shortFrame = [&](uint8_t address) {
        Req_Array.resize(decode::kShortFrameSize);
        Req_Array.resize(decode::Build_SND_NKE(address, Req_Array));
        // Meters do not answer the broadcast; one meter acknowledges its own reset.
        Send_Req(address == kBroadcast ? Expect::Any : Expect::Ack);
    };
    auto appReset = [&](uint8_t address) {
        Req_Array.resize(decode::kAppResetSize);
        Req_Array.resize(decode::Build_App_Reset(address, c, Req_Array));
        Send_Req(Expect::Ack);
    };
    auto reqUd2 = [&](uint8_t address) {
        Req_Array.resize(decode::kShortFrameSize);
        Req_Array.resize(decode::Build_REQ_UD2(address, static_cast<uint32_t>(Num_Frame_Read), c, Req_Array));
        Send_Req(Expect::Frame, address);
    };
    auto reportSecondary = [&] {
        const QString sec = lists_.List_Slave_MBus.with([&](const std::vector<TSlave_MBus>& list) {
            return Index_Device >= 0 && Index_Device < static_cast<int>(list.size())
                       ? list[static_cast<size_t>(Index_Device)].Secondary_Addresss
                       : QString();
        });
        bool ok = false;
        const uint32_t value = sec.toUInt(&ok, 16);
        Notify_Slave_List(2, ok ? static_cast<int>(value) : 0, 1, 2);
    };

    const uint32_t step = FStep.load();
    switch (step) {
    case 0:
        Enable_Send_In_Last_Step = false;
        FResult.store(1);
        if (serial) {
            FStep.store(secondary ? 100 : 2);
            break;
        }
        TimeOut_Calc = static_cast<uint32_t>(Add_TimeOut) + 1000;
        FStep.store(1);
        Send_Command(kEnableAnalyzer);
        break;
    case 1: {
        const Answer a = Answer_Snapshot();
        if (a.arrived) {
            if (isConfirmation(a.bytes, kAnalyzerEnabled)) {
                ID_Dev_Primary = -1;
                FStep.store(secondary ? 100 : 2);
            } else {
                FResult.store(2);
                FStep.store(200);
            }
        }
        if (Check_TimeOut()) {
            FResult.store(2);
            FStep.store(200);
        }
        break;
    }

    // Primary scan.
    case 2:
        Set_Window(kShortFrameFactor);
        ID_Dev_Primary = -1;
        Notify_Slave_List(1, 0, 0, 1);
        FStep.store(3);
        shortFrame(kBroadcast);
        break;
    case 3:
        if (Answer_Snapshot().arrived || Check_TimeOut())
            FStep.store(4);
        break;
    case 4:
        Set_Window(kShortFrameFactor);
        Num_Frame_Read = 0;
        ID_Dev_Primary += 1;
        if (ID_Dev_Primary > 250 || FStopScan.load()) {
            Type_To_Send_In_Last_Step = 1;
            Enable_Send_In_Last_Step = true;
            FResult.store(1);
            FStep.store(200);
        } else {
            FStep.store(App_Reset ? 5 : SND_NKE ? 7 : 9);
        }
        break;
    case 5:
        sleep(500);
        FStep.store(6);
        appReset(static_cast<uint8_t>(ID_Dev_Primary));
        break;
    case 6: {
        const Answer a = Answer_Snapshot();
        if ((a.arrived && decode::isAck(a.bytes)) || Check_TimeOut())
            FStep.store(SND_NKE ? 7 : 9);
        break;
    }
    case 7:
        sleep(500);
        FStep.store(8);
        shortFrame(static_cast<uint8_t>(ID_Dev_Primary));
        break;
    case 8: {
        const Answer a = Answer_Snapshot();
        if ((a.arrived && decode::isAck(a.bytes)) || Check_TimeOut())
            FStep.store(9);
        break;
    }
    case 9:
        Set_Window(kReqUd2Factor);
        sleep(500);
        FStep.store(10);
        reqUd2(static_cast<uint8_t>(ID_Dev_Primary));
        break;
    case 10: {
        ID_Dev_Found = false;
        bool reported = false;
        const Answer a = Answer_Snapshot();
        if (a.arrived) {
            bool done = true;
            if (decode::isLongFrame(a.bytes) && fileFrame(a.bytes, done) >= 0) {
                Num_Frame_Read += 1;
                if (done || Num_Frame_Read >= Cut_After) {
                    ID_Dev_Found = true;
                    Notify_Slave_List(2, ID_Dev_Primary, 1, 1);
                    reported = true;
                    FStep.store(4);
                } else {
                    FStep.store(9);
                }
            } else {
                Notify_Slave_List(2, ID_Dev_Primary, 0, 1);
                reported = true;
                FStep.store(4);
            }
        }
        if (Check_TimeOut() && !ID_Dev_Found) {
            FStep.store(4);
            if (!reported)
                Notify_Slave_List(2, ID_Dev_Primary, 0, 1);
        }
        break;
    }

    // Secondary scan.
    case 100:
        Set_Window(kShortFrameFactor);
        Notify_Slave_List(1, 0, 0, 2);
        FStep.store(SND_NKE ? 101 : App_Reset ? 103 : 105);
        break;
    case 101:
        FStep.store(102);
        shortFrame(kSelected);
        break;
    case 102: {
        const Answer a = Answer_Snapshot();
        if ((a.arrived && decode::isAck(a.bytes)) || Check_TimeOut())
            FStep.store(App_Reset ? 103 : 105);
        break;
    }
    case 103:
        FStep.store(104);
        appReset(kBroadcast);
        break;
    case 104: {
        const Answer a = Answer_Snapshot();
        if ((a.arrived && decode::isAck(a.bytes)) || Check_TimeOut())
            FStep.store(105);
        break;
    }
    case 105:
        FStep.store(106);
        shortFrame(kBroadcast);
        break;
    case 106:
        if (Answer_Snapshot().arrived || Check_TimeOut())
            FStep.store(107);
        break;
    case 107:
        Index.fill(-1);
        FStep.store(108);
        break;
    case 108: case 110: case 112: case 114: case 116: case 118: case 120: case 122: {
        const int k = static_cast<int>(step - 108) / 2;
        if (FStopScan.load()) {
            FStep.store(200);
            break;
        }
        Index[static_cast<size_t>(k)] += 1;
        for (size_t i = static_cast<size_t>(k) + 1; i < Index.size(); ++i)
            Index[i] = -1;
        if (Index[static_cast<size_t>(k)] > 9) {
            if (k == 0) {
                Type_To_Send_In_Last_Step = 2;
                Enable_Send_In_Last_Step = true;
                FStep.store(200);
            } else {
                FStep.store(digitState(k - 1));
            }
            break;
        }
        FStep.store(step + 1);
        selectFrame();
        break;
    }
    case 109: case 111: case 113: case 115: case 117: case 119: case 121: case 123: {
        const int k = static_cast<int>(step - 109) / 2;
        const uint32_t back = digitState(k);
        const uint32_t narrower = k < 7 ? digitState(k + 1) : digitState(7);
        if (Check_TimeOut())
            FStep.store(back);
        const Answer a = Answer_Snapshot();
        if (a.arrived) {
            if (decode::isAck(a.bytes)) {
                Num_Frame_Read = 0;
                Sec_Add_Next_Step = back;
                FStep.store(124);
            } else if (isNoSlave(a.bytes)) {
                FStep.store(back);
            } else {
                // Several meters answered at once: the next digit tells them apart.
                FStep.store(narrower);
            }
        }
        break;
    }
    case 124:
        Set_Window(kReqUd2Factor);
        FStep.store(125);
        reqUd2(kSelected);
        break;
    case 125: {
        ID_Dev_Found = false;
        if (Check_TimeOut()) {
            Set_Window(kShortFrameFactor);
            FStep.store(Sec_Add_Next_Step);
        }
        const Answer a = Answer_Snapshot();
        if (a.arrived) {
            bool done = true;
            if (decode::isLongFrame(a.bytes) && fileFrame(a.bytes, done) >= 0) {
                Num_Frame_Read += 1;
                if (done || Num_Frame_Read >= Cut_After) {
                    Set_Window(kShortFrameFactor);
                    FStep.store(Sec_Add_Next_Step);
                    ID_Dev_Found = true;
                    reportSecondary();
                } else {
                    FStep.store(124);
                }
            } else {
                Set_Window(kShortFrameFactor);
                FStep.store(Sec_Add_Next_Step);
            }
        }
        break;
    }

    // End.
    case 200:
        Count_Disable_Analyzer = 0;
        FAbortScan.store(false);
        FStep.store(201);
        break;
    case 201:
        if (serial || Count_Disable_Analyzer >= 3) {
            FStep.store(203);
            break;
        }
        Count_Disable_Analyzer += 1;
        TimeOut_Calc = static_cast<uint32_t>(Add_TimeOut) + 1000;
        FStep.store(202);
        Send_Command(kDisableAnalyzer);
        break;
    case 202: {
        const Answer a = Answer_Snapshot();
        if (a.arrived)
            FStep.store(isConfirmation(a.bytes, kAnalyzerDisabled) ? 203 : 201);
        if (Check_TimeOut())
            FStep.store(201);
        break;
    }
    case 203:
        closeScan(false);
        break;
    default:
        // No such state: end the scan properly.
        FStep.store(200);
        break;
    }
}

} // namespace mbus::scan
