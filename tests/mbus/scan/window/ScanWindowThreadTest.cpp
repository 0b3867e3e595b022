// The scan window with the engine on its own thread against the stand-in gateway on 127.0.0.1:
// the window's poll of the engine, its notifications and its closing while the engine's thread
// and UDP listener run (scripts/tsan runs these under ThreadSanitizer).
#include "ScanFixture.h"
#include "controls/button/FxButton.h"
#include "controls/tree/LazyStringTree.h"
#include "mbus/scan/window/UScanDecode.h"
#include "platform/ui/Timer.h"
#include "platform/ui/controls/Controls.h"
#include "support/FakeDialogs.h"
#include "workspace/DeviceTypes.h"
#include "workspace/LangTexts.h"
#include "workspace/Workspace.h"

#include <QListWidget>
#include <gtest/gtest.h>

using namespace mbus::scan;
using namespace scantest;

namespace {

struct ThreadedWindow {
    ThreadedWindow()
    {
        workspace::setDeviceIdentity();
        workspace::Default_Texts();
        keepInStep(clock, gw, eng);
        ScanEnvironment env;
        env.clock = &clock;
        env.decimalSeparator = QLatin1Char('.');
        env.wiredGatewayPort = gw.port();
        env.wirelessGatewayPort = gw.port();
        previous = platform::setModalDriver([](platform::Form&) {});
        window = std::make_unique<TFScanDecode>(env, nullptr);
        eng.store(&window->engine());
        window->showModal();
        for (platform::ctl::Edit* e : {window->E_IP1, window->E_IP2, window->E_IP3, window->E_IP4})
            e->setText(QString());
        window->E_IP1->setText(QStringLiteral("127"));
        window->E_IP2->setText(QStringLiteral("0"));
        window->E_IP3->setText(QStringLiteral("0"));
        window->E_IP4->setText(QStringLiteral("1"));
    }
    ~ThreadedWindow()
    {
        eng.store(nullptr);
        window.reset();
        platform::setModalDriver(previous);
    }

    workspace::ScopedWorkspace scoped{3};
    testing_support::FakeMessageBoxes boxes;
    StandInGateway gw;
    StepClock clock;
    std::atomic<TMBusScanDecode*> eng{nullptr};
    std::unique_ptr<TFScanDecode> window;
    platform::ModalDriver previous;
};

TEST(ScanWindowThread, TheTimerSeesTheScanEndAndTheTreeShowsItsMeters)
{
    ThreadedWindow t;
    t.gw.setMeters({meterAt(1, 0x12345678), meterAt(2, 0x23456789), meterAt(3, 0x34567890)});
    TFScanDecode& w = *t.window;
    w.CB_ScanBy->setItemIndex(1);
    w.BtnClick(w.Btn_StartScan);
    // The window's own timer, once a second, sees the scan end and shows the tree.
    ASSERT_TRUE(testing_support::pumpUntil([&] { return w.VST->isVisibleTo(&w); }, 30000));
    EXPECT_EQ(w.L_Num_Slave->text(), QStringLiteral("3"));
    EXPECT_EQ(w.LB_AvailableDevice->count(), 5);
    EXPECT_TRUE(t.boxes.texts().isEmpty());
    w.FormClose();
}

TEST(ScanWindowThread, ClosingMidScanSendsTheClosingCommandsWithoutWaitingLong)
{
    ThreadedWindow t;
    TFScanDecode& w = *t.window;
    w.BtnClick(w.Btn_StartScan);
    ASSERT_TRUE(testing_support::pumpUntil([&] { return w.LB_AvailableDevice->count() >= 3; }, 30000));
    const auto before = std::chrono::steady_clock::now();
    w.FormClose();
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(2));
    ASSERT_TRUE(testing_support::pumpUntil([&] { return !w.engine().InScan(); }, 30000));
    EXPECT_EQ(t.gw.receivedTexts().back(), "Ostrel_Disable_Analyzer_Mode");
    // Parked once the closing commands are done.
    ASSERT_TRUE(testing_support::pumpUntil(
        [&] { return w.engine().Event_Run().WaitFor(0) == platform::TEventWaitResult::wrTimeout; }, 10000));
}

} // namespace
