#pragma once
// A scan engine against the stand-in gateway on 127.0.0.1, on the step clock, with the wired
// notifications recorded as they reach this (the user-interface) thread.
#include "StandIn.h"
#include "StepClock.h"
#include "mbus/scan/MBusScanDecode.h"
#include "support/PseudoTerminal.h"
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

// Keeps the step clock in step with the stand-in gateway: time moves only once the gateway has
// answered every request and the engine has taken every answer (`foreign`: datagrams the engine
// gets from others than the gateway). A faulty line's held replies whose time has come go out
// before time moves on, after the gateway's answer to the last request.
inline void keepInStep(StepClock& clock, StandInGateway& gw, std::atomic<mbus::scan::TMBusScanDecode*>& eng,
                       const std::atomic<int>* foreign = nullptr)
{
    gw.setClock([&clock] { return clock.tickMs(); });
    clock.setQuiet([&clock, &gw, &eng, foreign] {
        mbus::scan::TMBusScanDecode* e = eng.load();
        if (!e)
            return true;
        mbus::scan::GatewayChannel& c = e->channel();
        if (gw.handled() != c.sentCount())
            return false;
        gw.releaseDue(clock.tickMs());
        return c.receivedCount() >= gw.sent() + uint64_t(foreign ? foreign->load() : 0);
    });
}

class UdpScan {
public:
    explicit UdpScan(GatewayOptions options = {}, uint64_t clockStart = 1'000'000) : gw(options), clock(clockStart)
    {
        keepInStep(clock, gw, eng, &foreign);
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

// A scan engine on the slave side of a pseudo-terminal, a level converter stand-in on the master
// side (its line's noise before every reply, and what a collision leaves), on the step clock.
class SerialLine {
public:
    explicit SerialLine(std::vector<uint8_t> noise = {}, std::vector<uint8_t> collision = {0xA5, 0x1F})
        : device(pty.master(), std::move(noise), std::move(collision))
    {
        clock.setQuiet([this] {
            mbus::scan::TMBusScanDecode* e = eng.load();
            if (!e)
                return true;
            mbus::scan::GatewayChannel& c = e->channel();
            return device.framesHandled() == c.sentCount() && c.receivedCount() >= device.bytesSent();
        });
        mbus::scan::ScanEnvironment env;
        env.clock = &clock;
        env.decimalSeparator = QLatin1Char('.');
        engine = std::make_unique<mbus::scan::TMBusScanDecode>(lists, env);
        eng.store(engine.get());
        engine->Event_Run().SetEvent();
    }
    ~SerialLine()
    {
        eng.store(nullptr);
        engine.reset();
    }
    bool start(mbus::scan::TScanType type, int cutAfter = 1)
    {
        return engine->Start_Scan(type, mbus::scan::TSelectHard::shSerial, pty.slavePath(), 2400, 1, false, false,
                                  cutAfter, false, 0, false, [this](int e, int v, int f, int k) {
                                      notes.push_back({e, v, f, k});
                                      if (e == 2 && v == stopAt)
                                          engine->Stop_Scan();
                                  });
    }
    // Handles events until the scan has ended and its last step has returned.
    bool runToEnd(int maxMs = 60000)
    {
        if (!testing_support::pumpUntil([&] { return !engine->InScan(); }, maxMs))
            return false;
        const int s = clock.sleeps();
        return testing_support::pumpUntil([&] { return clock.sleeps() >= s + 2; }, 5000);
    }

    testing_support::PseudoTerminal pty;
    SerialStandIn device;
    StepClock clock;
    mbus::scan::ScanLists lists;
    std::unique_ptr<mbus::scan::TMBusScanDecode> engine;
    std::atomic<mbus::scan::TMBusScanDecode*> eng{nullptr};
    std::vector<Note> notes;
    int stopAt = -1; // the primary address after which the scan is stopped
};

} // namespace scantest
