// The scan engine's reply handling on arbitrary datagrams and serial bytes: what the gateway,
// the meters or anyone on the network may send while a state machine waits. The first byte
// picks what is exercised, the second the waiting state; the rest is a sequence of datagrams,
// each with a two-byte length before it (little-endian, at most 2100, so longer than the
// answer buffer too). Before and after each datagram the state machine takes a step. No input may crash,
// and the engine must stay in a state of its own.
#include "mbus/scan/Channel.h"
#include "mbus/scan/MBusScanDecode.h"
#include "platform/process/Clock.h"

#include <QDateTime>

#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

namespace {

using namespace mbus::scan;

class FuzzClock final : public platform::Clock {
public:
    uint64_t tickMs() override { return ms; }
    void sleepMs(int m) override { ms += static_cast<uint64_t>(m > 0 ? m : 0); }
    QDateTime now() override { return QDateTime(QDate(2024, 1, 1), QTime(0, 0)); }
    uint64_t ms = (uint64_t{1} << 32) - 3000; // the tick wraps during the run
};

// Takes every request; replies come from the input.
class NullChannel final : public GatewayChannel {
public:
    void open(const ChannelSettings&, ReplySink) override {}
    bool send(std::span<const uint8_t>) override { return ++sent % 7 != 0; } // now and then a failed send
    void close() override {}
    uint64_t sentCount() const override { return sent; }
    uint64_t receivedCount() const override { return 0; }
    uint64_t sent = 0;
};

// States that send a request and go on to wait for its reply.
constexpr uint32_t kWiredSends[] = {0, 2, 5, 7, 9, 101, 103, 105, 108, 110, 116, 122, 124, 201};
constexpr uint32_t kWirelessSends[] = {0,   2,   100, 110, 128, 132, 200, 218, 220, 300, 302, 304, 306,
                                       308, 310, 314, 316, 318, 400, 402, 404, 406, 408, 412, 418, 501};

// The states of the two machines together.
bool known(uint32_t s)
{
    return s <= 10 || (s >= 100 && s <= 134) || (s >= 200 && s <= 221) || (s >= 300 && s <= 320) ||
           (s >= 400 && s <= 419) || (s >= 500 && s <= 503);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    const uint8_t mode = data[0] % 5;
    const uint8_t pick = data[1];
    std::span<const uint8_t> rest(data + 2, size - 2);

    FuzzClock clock;
    NullChannel channel;
    ScanLists lists;
    ScanEnvironment env;
    env.clock = &clock;
    env.decimalSeparator = QLatin1Char('.');
    env.channel = &channel;
    env.startThread = false;
    TMBusScanDecode engine(lists, env);

    size_t meters = 0;
    auto wired = [&](int, int, int, int) {};
    auto wireless = [&](int index, const TSlave_wMBus* m) {
        if (index < 0 || index >= static_cast<int>(lists.List_Slave_wMBus.size()))
            std::abort();
        if (m)
            meters += m->List_Var.size();
    };
    std::vector<uint8_t> serialBytes;
    uint32_t state = 0;
    switch (mode) {
    case 0: // wired, primary or secondary by the state
        engine.Start_Scan(pick & 0x80 ? TScanType::saSecondaryAddress : TScanType::saPrimaryAddress,
                          TSelectHard::shEthernet, QStringLiteral("10.0.0.1"), 2400, 1, pick & 1, pick & 2, pick % 4, false,
                          0, false, wired);
        state = kWiredSends[pick % std::size(kWiredSends)];
        break;
    case 1: // wireless set-up and key programming
        engine.Start_Scan_Wireless(TSelectHard::shEthernet, QStringLiteral("10.0.0.1"), 10001, pick & 1 ? 15 : 1, 2,
                                   false, wireless, false);
        state = kWirelessSends[pick % std::size(kWirelessSends)];
        break;
    case 2: // listening: every datagram is a telegram of the Telit or the RadioCrafts module
    case 3: {
        engine.Start_Scan_Wireless(TSelectHard::shEthernet, QStringLiteral("10.0.0.1"), 10001, 5, 0, false, wireless,
                                   pick & 1);
        const std::string reply = mode == 2 ? "\n\rTELIT\n\r" : "\n\rRADIOCRAFTS\n\r";
        engine.setStepForTest(3);
        engine.UDP_Read(std::span(reinterpret_cast<const uint8_t*>(reply.data()), reply.size()));
        engine.Step();
        engine.setStepForTest(mode == 2 ? 133 : 319);
        const uint8_t ok[] = {'O', 'K', '\r'};
        engine.UDP_Read(ok);
        engine.Step();
        state = mode == 2 ? 134 : 320;
        break;
    }
    case 4: // serial bytes gathered into replies for the wired scan
        engine.Start_Scan(TScanType::saPrimaryAddress, TSelectHard::shEthernet, QStringLiteral("10.0.0.1"), 300, 1, false,
                          false, 3, false, 0, false, wired);
        state = 9;
        break;
    }
    // The request goes out and its reply window begins; the datagrams below are its replies.
    engine.setStepForTest(state);
    if (mode != 2 && mode != 3)
        engine.Step();
    SerialReplyGatherer gather;
    uint32_t tick = 0;

    while (rest.size() >= 2 && engine.InScan()) {
        size_t n = static_cast<size_t>(rest[0] | rest[1] << 8) % 2101;
        rest = rest.subspan(2);
        n = std::min(n, rest.size());
        const std::span<const uint8_t> d = rest.first(n);
        rest = rest.subspan(n);
        engine.Step(); // a state that sends goes on to wait
        if (mode == 4) {
            for (const std::vector<uint8_t>& r : gather.add(d, tick))
                engine.UDP_Read(r);
            tick += 60;
            if (const std::optional<std::vector<uint8_t>> r = gather.poll(tick))
                engine.UDP_Read(*r);
        } else {
            engine.UDP_Read(d);
        }
        engine.Step();
        if (!known(engine.Step_Scan()))
            std::abort();
        clock.ms += 40;
        if (mode >= 2 && (pick & 2) && engine.Insert_Wireless_Key(0, Key128{}))
            engine.Step(); // programming the key reads the meter filed above
        if (mode == 0 && engine.Step_Scan() >= 200 && engine.Step_Scan() < 500 && (pick & 4)) {
            engine.setStepForTest(state); // send again and wait for the next datagram
            engine.Step();
        }
    }
    // The filed meters are whole: every record list can be walked.
    lists.List_Slave_MBus.with([&](const std::vector<TSlave_MBus>& l) {
        for (const TSlave_MBus& m : l)
            meters += m.List_Var.size();
    });
    (void)meters;
    return 0;
}
