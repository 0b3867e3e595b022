#pragma once
// The scan window with its engine on a fake channel: the gateway's answers come back at once,
// inside the send, from meters on a simulated line (StandIn.h) or a Telit radio module; the
// engine has no thread of its own and the test steps it, 40 ms of the fake clock a step. The
// engine's notifications then run at once on this thread, as they do on the program's
// user-interface thread. Message boxes are answered by FakeMessageBoxes, the dialogs by a
// modal driver the test gives.
#include "Fixtures.h"
#include "Hex.h"
#include "StandIn.h"
#include "controls/button/FxButton.h"
#include "controls/tree/LazyStringTree.h"
#include "mbus/scan/window/ScanDialogs.h"
#include "mbus/scan/window/UScanDecode.h"
#include "platform/ui/Timer.h"
#include "platform/ui/controls/Controls.h"
#include "support/FakeDialogs.h"
#include "support/FakeProcess.h"
#include "support/QtPrinters.h"
#include "support/TempDir.h"
#include "workspace/DeviceTypes.h"
#include "workspace/LangTexts.h"
#include "workspace/Workspace.h"

#include <QListWidget>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

namespace scanwindow {

using namespace mbus::scan;

class FakeGateway final : public GatewayChannel {
public:
    void open(const ChannelSettings& s, ReplySink sink) override
    {
        settings = s;
        sink_ = std::move(sink);
        open_ = true;
    }
    bool send(std::span<const uint8_t> bytes) override
    {
        const std::vector<uint8_t> d(bytes.begin(), bytes.end());
        sent.push_back(d);
        ++sentCount_;
        if (const std::optional<std::vector<uint8_t>> r = answer(d))
            deliver(*r);
        return true;
    }
    void close() override { open_ = false; }
    uint64_t sentCount() const override { return sentCount_; }
    uint64_t receivedCount() const override { return received_; }

    // A datagram from the gateway, as the radio module passes a telegram on.
    void deliver(const std::vector<uint8_t>& d)
    {
        ++received_;
        if (sink_ && open_)
            sink_(d);
    }
    std::vector<std::string> sentTexts() const
    {
        std::vector<std::string> out;
        for (const std::vector<uint8_t>& d : sent)
            out.push_back(scantest::asText(d));
        return out;
    }
    bool isOpen() const { return open_; }

    scantest::SimBus bus; // the wired meters
    bool confirmAnalyzer = true;
    ChannelSettings settings;
    std::vector<std::vector<uint8_t>> sent;

private:
    std::optional<std::vector<uint8_t>> answer(const std::vector<uint8_t>& d)
    {
        const std::string t = scantest::asText(d);
        if (t == "Ostrel_Enable_Analyzer_Mode") {
            analyzer_ = true;
            return confirmAnalyzer ? std::optional(scantest::framed("Analyzer_Mode Enabled!")) : std::nullopt;
        }
        if (t == "Ostrel_Disable_Analyzer_Mode") {
            analyzer_ = false;
            return scantest::framed("Analyzer_Mode Disabled!");
        }
        if (t == "Ostrel_Enable_Configuration_Mode") {
            configuration_ = true;
            return scantest::framed("Configuration_Mode Enabled!");
        }
        if (t == "Ostrel_Disable_Configuration_Mode") {
            configuration_ = false;
            return scantest::framed("Configuration_Mode Disabled!");
        }
        if (t == "Ostrel_Type_Radio_Module")
            return scantest::framed("TELIT");
        if (analyzer_) {
            const scantest::SimBus::Reply r = bus.handle(d);
            switch (r.kind) {
            case scantest::SimBus::Kind::Bytes: return r.bytes;
            case scantest::SimBus::Kind::NoSlave:
                return std::vector<uint8_t>{'N', 'O', '_', 'S', 'L', 'A', 'V', 'E', 0x0A, 0x0D};
            case scantest::SimBus::Kind::Collision: return std::vector<uint8_t>{0xE5, 0x10, 0xA5};
            case scantest::SimBus::Kind::None: return std::nullopt;
            }
        }
        if (configuration_)
            return std::vector<uint8_t>{'O', 'K', '\r'};
        return std::nullopt;
    }

    ReplySink sink_;
    bool open_ = false;
    bool analyzer_ = false;
    bool configuration_ = false;
    uint64_t sentCount_ = 0;
    uint64_t received_ = 0;
};

// A meter with records whose values tell them apart.
inline scantest::SimMeter meter(uint8_t primary, uint32_t id)
{
    return scantest::meterAt(primary, id);
}

// The telegram of a wireless meter with the test key (encrypted) or without encryption.
inline std::vector<uint8_t> telegramOf(uint32_t id, bool encrypted, uint8_t access = 0x2A)
{
    mbustest::TelegramRecipe t;
    t.link.id = id;
    t.access = access;
    t.records = mbustest::bytes(mbustest::kMeterRecords);
    if (encrypted) {
        t.mode = 5;
        t.encrypt = true;
        t.key = mbustest::testKey();
    }
    return mbustest::telegram(encrypted ? mbustest::Layout::Ext8C_7A : mbustest::Layout::Short7A, t);
}

struct Env {
    explicit Env(int type = 3) : scoped(type)
    {
        workspace::setDeviceIdentity();
        workspace::Default_Texts();
        previous = platform::setModalDriver([this](platform::Form& f) {
            shownDialogs.push_back(f.objectName());
            auto it = actions.find(f.objectName());
            if (it != actions.end() && it->second)
                it->second(f);
        });
        ScanEnvironment e;
        e.clock = &clock;
        e.decimalSeparator = QLatin1Char('.');
        e.channel = &gw;
        e.startThread = false;
        window = std::make_unique<TFScanDecode>(e, nullptr);
        key = std::make_unique<TFInsertKeyWireless>();
        start = std::make_unique<TFScanModbusStart>();
        perNode = std::make_unique<TFModbusStartAdd_SD>();
        window->setDialogs(key.get(), start.get(), perNode.get());
        window->FileName_MBus = dir.file(QStringLiteral("M_Bus.xml"));
    }
    ~Env()
    {
        window.reset();
        platform::setModalDriver(previous);
    }

    TFScanDecode& w() { return *window; }
    TMBusScanDecode& engine() { return window->engine(); }

    // Shows the window as the main window does (FormShow), leaving it shown.
    void show(uint32_t code = 0, uint32_t formType = 0)
    {
        window->XML_Code_Dev = code;
        window->Form_Type = formType;
        actions[QStringLiteral("FScanDecode")] = {};
        window->showModal();
        shownDialogs.removeAll(QStringLiteral("FScanDecode"));
    }
    // Steps the engine until `done` holds or the scan ends; false when it did not hold.
    bool stepUntil(const std::function<bool()>& done, int maxSteps = 200000)
    {
        for (int i = 0; i < maxSteps; ++i) {
            if (done())
                return true;
            if (!engine().InScan())
                return done();
            engine().Step();
            clock.advance(40);
        }
        return false;
    }
    bool runScan() { return stepUntil([this] { return !engine().InScan(); }); }
    // One second on the clock, and the window's timer fires.
    void tick()
    {
        clock.advance(1000);
        platform::fireDueTimers();
    }

    workspace::ScopedWorkspace scoped;
    testing_support::FakeClock clock;
    platform::ManualTimers timers;
    testing_support::FakeMessageBoxes boxes;
    testing_support::TempDir dir;
    FakeGateway gw;
    std::unique_ptr<TFScanDecode> window;
    std::unique_ptr<TFInsertKeyWireless> key;
    std::unique_ptr<TFScanModbusStart> start;
    std::unique_ptr<TFModbusStartAdd_SD> perNode;
    std::map<QString, std::function<void(platform::Form&)>> actions;
    QStringList shownDialogs;
    platform::ModalDriver previous;
};

// The texts of a tree's nodes, depth first, each indented by two blanks per level.
inline QStringList treeTexts(controls::TLazyStringTree* tree)
{
    QStringList out;
    for (controls::PLazyNode n = tree->GetFirst(); n; n = tree->GetNext(n))
        out << QString(int(tree->GetNodeLevel(n)) * 2, QLatin1Char(' ')) + tree->Text(n);
    return out;
}

} // namespace scanwindow
