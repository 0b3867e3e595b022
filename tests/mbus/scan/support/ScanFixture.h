#pragma once
// A scan engine against the stand-in gateway on 127.0.0.1, on the step clock, with the wired
// notifications recorded as they reach this (the user-interface) thread.
#include "StandIn.h"
#include "StepClock.h"
#include "mbus/scan/MBusScanDecode.h"
#include "support/Pump.h"

#include <array>
#include <atomic>
#include <memory>
#include <vector>

namespace scantest {

using Note = std::array<int, 4>;

struct WirelessNote {
    int index;
    bool withMeter;
    bool cripted;
    size_t records;
};

class UdpScan {
public:
    explicit UdpScan(GatewayOptions options = {}, uint64_t clockStart = 1'000'000) : gw(options), clock(clockStart)
    {
        gw.setClock([this] { return clock.tickMs(); });
        clock.setQuiet([this] {
            mbus::scan::TMBusScanDecode* e = eng.load();
            if (!e)
                return true;
            mbus::scan::GatewayChannel& c = e->channel();
            if (gw.handled() != c.sentCount())
                return false;
            // A faulty line's held replies whose time has come go out before time moves on,
            // after the gateway's answer to the last request.
            gw.releaseDue(clock.tickMs());
            return c.receivedCount() >= gw.sent() + foreign.load();
        });
        mbus::scan::ScanEnvironment env;
        env.clock = &clock;
        env.decimalSeparator = QLatin1Char('.');
        env.wiredGatewayPort = gw.port();
        env.wirelessGatewayPort = gw.port();
        engine = std::make_unique<mbus::scan::TMBusScanDecode>(lists, env);
        eng.store(engine.get());
        engine->Event_Run().SetEvent();
    }
    ~UdpScan()
    {
        eng.store(nullptr);
        engine.reset();
    }

    mbus::scan::TSlaveListProc recorder()
    {
        return [this](int e, int v, int f, int k) {
            notes.push_back({e, v, f, k});
            if (onNote)
                onNote(notes.back());
        };
    }
    mbus::scan::TWirelessSlaveProc wirelessRecorder()
    {
        return [this](int index, const mbus::scan::TSlave_wMBus* m) {
            size_t records = 0; // decoded ones; idle fillers are kept as place-holders
            if (m)
                for (const mbus::scan::TVariable_MBus& v : m->List_Var)
                    records += v.Real_Wireless_Var ? 1 : 0;
            wirelessNotes.push_back({index, m != nullptr, m && m->Cripted, records});
        };
    }

    bool startPrimary(int cutAfter = 1, bool appReset = false, bool sndNke = false, bool fixC = false,
                      uint8_t fixValue = 0)
    {
        return engine->Start_Scan(mbus::scan::TScanType::saPrimaryAddress, mbus::scan::TSelectHard::shEthernet,
                                  QStringLiteral("127.0.0.1"), 2400, 1, appReset, sndNke, cutAfter, fixC, fixValue, false,
                                  recorder());
    }
    bool startSecondary(int cutAfter = 1)
    {
        return engine->Start_Scan(mbus::scan::TScanType::saSecondaryAddress, mbus::scan::TSelectHard::shEthernet,
                                  QStringLiteral("127.0.0.1"), 2400, 1, false, false, cutAfter, false, 0, false,
                                  recorder());
    }

    // Handles events until the scan has ended and its last step has returned.
    bool runToEnd(int maxMs = 30000)
    {
        if (!testing_support::pumpUntil([&] { return !engine->InScan(); }, maxMs))
            return false;
        const int s = clock.sleeps();
        return testing_support::pumpUntil([&] { return clock.sleeps() >= s + 2; }, 5000);
    }

    StandInGateway gw;
    StepClock clock;
    mbus::scan::ScanLists lists;
    std::atomic<int> foreign{0}; // datagrams the engine gets from others than the gateway
    std::unique_ptr<mbus::scan::TMBusScanDecode> engine;
    std::atomic<mbus::scan::TMBusScanDecode*> eng{nullptr};
    std::vector<Note> notes;
    std::function<void(const Note&)> onNote;
    std::vector<WirelessNote> wirelessNotes;
};

} // namespace scantest
