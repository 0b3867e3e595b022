// Decoding typical reply frames of 100 to 200 bytes (a heat meter, a water meter with its
// history, an electricity meter) against merely copying the same bytes and computing their
// checksum, in the same run. The target: decoding to values and unit texts through the public
// entry costs at most 150 times that pass (counter decode_per_copy of BM_DecodePerCopy). The
// second row gives the full records with every text of the scan window, without a target.
#include "mbus/decode/Frames.h"
#include "mbus/decode/Records.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

using namespace mbus::decode;

namespace {

std::vector<uint8_t> hexBytes(std::string_view hex)
{
    std::vector<uint8_t> out;
    auto digit = [](char c) { return c <= '9' ? c - '0' : c - 'A' + 10; };
    for (size_t i = 0; i + 1 < hex.size(); ++i) {
        if (hex[i] == ' ')
            continue;
        out.push_back(static_cast<uint8_t>(digit(hex[i]) << 4 | digit(hex[i + 1])));
        ++i;
    }
    return out;
}

// RSP_UD with the fixed header of a variable data structure around the records.
std::vector<uint8_t> frame(uint8_t address, std::string_view header, std::string_view records)
{
    std::vector<uint8_t> body{0x08, address, 0x72};
    for (auto* part : {&header, &records}) {
        const auto b = hexBytes(*part);
        body.insert(body.end(), b.begin(), b.end());
    }
    std::vector<uint8_t> f(body.size() + 6);
    f[0] = f[3] = 0x68;
    f[1] = f[2] = static_cast<uint8_t>(body.size());
    std::memcpy(f.data() + 4, body.data(), body.size());
    f[f.size() - 2] = checksum(body);
    f[f.size() - 1] = 0x16;
    // Every record of a typical frame decodes.
    DecodedFrame d;
    if (f.size() < 100 || f.size() > 200 || !decodeFrame(f, d) ||
        (d.end != RecordsEnd::End && d.end != RecordsEnd::ManufacturerData))
        std::abort();
    return f;
}

const std::vector<std::vector<uint8_t>>& frames()
{
    static const std::vector<std::vector<uint8_t>> all = {
        // Heat meter: energy, volume, power, flow, temperatures, times, fabrication number, the
        // values at the last due date, error flags.
        frame(1, "78 56 34 12 2D 2C 01 04 2A 00 00 00",
              "0C 06 45 23 01 00 0C 14 12 47 03 00 0B 2D 45 01 00 0B 3B 20 03 00 0A 5A 45 06 0A 5E 12 03 "
              "0A 62 33 03 4C 06 23 01 00 00 4C 14 34 22 01 00 42 6C 1F 3C 04 6D 1E 0C BF 2A 0C 78 78 56 34 "
              "12 0C 22 56 34 00 00 01 FD 17 00 84 40 06 00 00 00 00 84 80 40 06 00 00 00 00 8C 10 06 00 00 "
              "00 00 02 FD 74 E8 0F 0F 01 02 03"),
        // Water meter with twelve monthly values (storage numbers through DIFEs).
        frame(2, "21 43 65 87 B4 09 30 07 11 00 00 00",
              "0C 13 78 56 34 12 04 6D 32 0B A1 2B 4C 13 11 22 33 00 42 6C 1F 2B 8C 01 13 12 22 33 00 82 01 "
              "6C 1F 2A CC 01 13 13 22 33 00 8C 02 13 14 22 33 00 CC 02 13 15 22 33 00 8C 03 13 16 22 "
              "33 00 CC 03 13 17 22 33 00 8C 04 13 18 22 33 00 CC 04 13 19 22 33 00 8C 05 13 20 22 33 00 CC "
              "05 13 21 22 33 00 02 FD 17 00 00 02 59 2C 09 02 65 C8 08 2F 2F"),
        // Electricity meter: energies per tariff, extension tables, volts and amps per phase.
        frame(3, "99 88 77 66 33 4C 10 02 2A 00 00 00",
              "0E 84 00 56 34 12 00 00 00 8E 10 84 00 11 22 33 00 00 00 8E 20 84 00 44 33 22 00 00 00 0E 84 "
              "3C 12 00 00 00 00 00 04 FB 82 75 78 56 00 00 04 FB 0B 15 00 00 00 04 A9 FF 01 C8 00 00 00 04 "
              "A9 FF 02 D2 00 00 00 04 A9 FF 03 DC 00 00 00 02 FD C8 FC 01 E1 08 02 FD C8 FC 02 E2 08 02 FD C8 "
              "FC 03 E3 08 02 FD D9 FC 01 2C 01 02 FD D9 FC 02 2D 01 02 FD D9 FC 03 2E 01 02 FB 2E 88 13 01 "
              "FD 1B 00 0D FD 0C 05 41 42 43 44 45 0C 78 99 88 77 66"),
    };
    return all;
}

using Clock = std::chrono::steady_clock;
constexpr int kCopyRepeats = 64; // the copy pass is short: repeat it so the clock can see it

// Copies every frame and computes its checksum; ns per frame.
double copyPass(std::vector<uint8_t>& buffer)
{
    const auto& fs = frames();
    const auto t0 = Clock::now();
    for (int r = 0; r < kCopyRepeats; ++r) {
        for (const auto& f : fs) {
            std::memcpy(buffer.data(), f.data(), f.size());
            benchmark::DoNotOptimize(buffer.data());
            uint8_t cs = checksum(std::span<const uint8_t>(buffer.data(), f.size()));
            benchmark::DoNotOptimize(cs);
        }
    }
    const auto t1 = Clock::now();
    return std::chrono::duration<double, std::nano>(t1 - t0).count() / (kCopyRepeats * static_cast<double>(fs.size()));
}

void BM_CopyAndChecksum(benchmark::State& state)
{
    std::vector<uint8_t> buffer(256);
    for (auto _ : state)
        copyPass(buffer);
}
BENCHMARK(BM_CopyAndChecksum);

void BM_DecodeFrames(benchmark::State& state)
{
    DecodedFrame out;
    for (auto _ : state) {
        for (const auto& f : frames()) {
            if (!decodeFrame(f, out))
                std::abort();
            benchmark::DoNotOptimize(out.records.data());
        }
    }
    state.counters["records"] = static_cast<double>(out.records.size());
}
BENCHMARK(BM_DecodeFrames);

// Decoding through the public entry against the copy pass, both measured in each iteration.
void BM_DecodePerCopy(benchmark::State& state)
{
    std::vector<uint8_t> buffer(256);
    DecodedFrame out;
    double copyNs = 0, decodeNs = 0;
    size_t records = 0;
    for (auto _ : state) {
        copyNs += copyPass(buffer);
        const auto t0 = Clock::now();
        for (const auto& f : frames()) {
            if (!decodeFrame(f, out))
                std::abort();
            benchmark::DoNotOptimize(out.records.data());
            records += out.records.size();
        }
        decodeNs += std::chrono::duration<double, std::nano>(Clock::now() - t0).count() /
                    static_cast<double>(frames().size());
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["copy_ns_per_frame"] = copyNs / n;
    state.counters["decode_ns_per_frame"] = decodeNs / n;
    state.counters["decode_per_copy"] = decodeNs / copyNs;
    state.counters["records_per_frame"] = static_cast<double>(records) / (n * static_cast<double>(frames().size()));
}
BENCHMARK(BM_DecodePerCopy);

// The full records of the scan window (TVariable_MBus with all its texts).
void BM_FullVariablesPerCopy(benchmark::State& state)
{
    std::vector<uint8_t> buffer(256);
    double copyNs = 0, fullNs = 0;
    const DecodeOptions options{TMBusType::mtWired, u','};
    for (auto _ : state) {
        copyNs += copyPass(buffer);
        std::vector<TSlave_MBus> meters;
        const auto t0 = Clock::now();
        for (const auto& f : frames()) {
            bool done;
            if (Add_Slave_Frame(meters, -1, f, done, options) < 0)
                std::abort();
        }
        fullNs += std::chrono::duration<double, std::nano>(Clock::now() - t0).count() /
                  static_cast<double>(frames().size());
        benchmark::DoNotOptimize(meters.data());
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["copy_ns_per_frame"] = copyNs / n;
    state.counters["full_ns_per_frame"] = fullNs / n;
    state.counters["full_per_copy"] = fullNs / copyNs;
}
BENCHMARK(BM_FullVariablesPerCopy);

} // namespace
