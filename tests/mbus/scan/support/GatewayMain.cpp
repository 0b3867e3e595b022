// The stand-in gateway as a program of its own, for the end-to-end runs of the scan window
// (tests/e2e/scan_window.sh); built only with the tests.
//
//   scan_gateway wired      three wired meters on the line, by primary address 1, 2, 3 and
//                           identification numbers 12345678, 23456789, 34567890
//   scan_gateway wireless   a Telit radio module that, once listening, passes on the encrypted
//                           telegram of one meter (11223344, key 00 01 .. 0F) every second
//
// It answers on 127.0.0.1 at a free port, prints "port <n>" first, then one line per datagram it
// gets ("got <text>", "got <hex>" for bytes that are not text), and runs until it is ended.
#include "Fixtures.h"
#include "Hex.h"
#include "StandIn.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <thread>

using namespace scantest;

namespace {

std::atomic<bool> stop{false};

void onSignal(int) { stop.store(true); }

std::vector<SimMeter> wiredMeters()
{
    // Record areas from the decoder's examples: an 8-digit BCD volume, a 6-digit BCD flow, a
    // 16-bit temperature and a type F date; a volume of 12.345 m3, an energy in Wh and the error
    // flags; a date and a volume.
    SimMeter a = meterAt(1, 0x12345678);
    SimMeter b = meterAt(2, 0x23456789);
    b.frames = {mbustest::bytes("0C 13 45 23 01 00 04 06 10 27 00 00 02 FD 17 00 00")};
    SimMeter c = meterAt(3, 0x34567890);
    c.frames = {mbustest::bytes("04 6D 1E 0C BF 2A 0C 13 78 56 34 12")};
    return {a, b, c};
}

std::vector<uint8_t> encryptedTelegram(uint8_t access)
{
    mbustest::TelegramRecipe t;
    t.link.id = 0x11223344;
    t.access = access;
    t.mode = 5;
    t.encrypt = true;
    for (size_t i = 0; i < t.key.size(); ++i)
        t.key[i] = static_cast<uint8_t>(i); // 00 01 .. 0F
    t.records = mbustest::bytes(mbustest::kMeterRecords);
    return mbustest::telegram(mbustest::Layout::Ext8C_7A, t);
}

bool printable(const std::vector<uint8_t>& d)
{
    for (uint8_t c : d)
        if (c < 0x20 && c != '\r')
            return false;
    return !d.empty();
}

} // namespace

int main(int argc, char** argv)
{
    const bool wireless = argc > 1 && std::strcmp(argv[1], "wireless") == 0;
    std::signal(SIGTERM, onSignal);
    std::signal(SIGINT, onSignal);

    GatewayOptions o;
    o.module = RadioModule::Telit;
    StandInGateway gw(o);
    if (!wireless)
        gw.setMeters(wiredMeters());

    std::mutex out;
    std::atomic<bool> listening{false};
    gw.setOnDatagram([&](const std::vector<uint8_t>& d) {
        std::string line = printable(d) ? asText(d) : mbustest::hexOf(d);
        for (char& c : line)
            if (c == '\r')
                c = ' ';
        {
            std::lock_guard lk(out);
            std::printf("got %s\n", line.c_str());
            std::fflush(stdout);
        }
        const std::string text = asText(d);
        if (text == "ATO\r")
            listening.store(true);
        else if (text == "+++" || text == "Ostrel_Disable_Configuration_Mode")
            listening.store(false);
    });
    {
        std::lock_guard lk(out);
        std::printf("port %u\n", unsigned(gw.port()));
        std::fflush(stdout);
    }

    uint8_t access = 0x20;
    while (!stop.load()) {
        std::this_thread::sleep_for(std::chrono::seconds(1));
        if (wireless && listening.load() && gw.scanPort() != 0)
            gw.sendToScan(encryptedTelegram(access++), gw.scanPort());
    }
    return 0;
}
