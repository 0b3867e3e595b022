#pragma once
// Runs every decoder of outside bytes on one input and checks what must hold whatever the
// bytes: no record reaches past the bytes, the text path agrees with the lean one, a telegram
// files at most one meter. Shared by the fuzz harness and the mutation test.
//
// Input: a selector byte, then the bytes. Selector bits 0-1: 0 a reply frame, 1 a wired record
// area, 2 a wireless record area, 3 a telegram (16 key bytes, then the datagram); bit 2: the
// RadioCrafts module; bit 3: first mend the framing (frame length bytes and checksum, the
// telegram's L field), so that mutated bytes get past the framing checks.
#include "mbus/decode/Frames.h"
#include "mbus/decode/Records.h"
#include "mbus/decode/Wireless.h"

#include <cstdio>
#include <cstdlib>
#include <span>
#include <vector>

namespace mbustest {

#define VN_REQUIRE(cond)                                                                                \
    do {                                                                                                \
        if (!(cond)) {                                                                                  \
            std::fprintf(stderr, "%s:%d: %s\n", __FILE__, __LINE__, #cond);                             \
            std::abort();                                                                               \
        }                                                                                               \
    } while (0)

inline void checkRecords(const std::vector<mbus::decode::MBusRecord>& records, std::span<const uint8_t> bytes)
{
    for (const auto& r : records) {
        VN_REQUIRE(r.nbyte >= 0);
        VN_REQUIRE(static_cast<size_t>(r.dataOffset) + static_cast<size_t>(r.nbyte) <= bytes.size());
        VN_REQUIRE(r.difeCount <= mbus::decode::kMaxDife && r.vifeCount <= r.vife.size());
        VN_REQUIRE(static_cast<size_t>(r.plainUnit.size()) <= mbus::decode::kMaxPlainUnit);
    }
}

inline void checkVariables(const std::vector<mbus::decode::TVariable_MBus>& vars, bool wireless)
{
    for (const auto& v : vars) {
        VN_REQUIRE(v.totdati.size() == 2 * v.nbyte);
        VN_REQUIRE(v.Real_Wireless_Var || wireless);
        VN_REQUIRE(v.Real_Wireless_Var || v.DIF == QStringLiteral("$2F"));
    }
}

inline void exerciseDecoders(std::span<const uint8_t> input)
{
    using namespace mbus::decode;
    if (input.empty())
        return;
    const uint8_t selector = input[0];
    std::vector<uint8_t> b(input.begin() + 1, input.end());
    const bool mend = selector & 8;
    const TRadioModule module = (selector & 4) ? TRadioModule::rmRadioCrafts : TRadioModule::rmTelit;

    switch (selector & 3) {
    case 0: {
        if (mend && b.size() >= 6) {
            b[0] = b[3] = 0x68;
            b[1] = b[2] = static_cast<uint8_t>(b.size() - 6);
            b[b.size() - 2] = checksum(std::span<const uint8_t>(b).subspan(4, b.size() - 6));
            b.back() = 0x16;
        }
        DecodedFrame f;
        const bool ok = decodeFrame(b, f);
        VN_REQUIRE(ok == isLongFrame(b));
        if (ok)
            checkRecords(f.records, std::span<const uint8_t>(b).first(b.size() - 2));
        std::vector<TSlave_MBus> list;
        bool done = false;
        const int i = Add_Slave_Frame(list, -1, b, done, {});
        VN_REQUIRE(i == (b.size() >= kRecordsStart + 2 ? 0 : -1));
        if (i == 0) {
            const size_t first = list[0].List_Var.size();
            VN_REQUIRE(Add_Slave_Frame(list, 0, b, done, {}) == 0);
            VN_REQUIRE(list.size() == 1 && list[0].List_Var.size() == 2 * first);
            if (ok)
                VN_REQUIRE(first == f.records.size() && done == !f.moreRecords());
            checkVariables(list[0].List_Var, false);
        }
        break;
    }
    case 1:
    case 2: {
        const TMBusType type = (selector & 3) == 2 ? TMBusType::mtWireless : TMBusType::mtWired;
        std::vector<MBusRecord> records;
        const RecordsEnd end = decodeRecords(b, 0, type, records);
        checkRecords(records, b);
        std::vector<TVariable_MBus> vars;
        const bool complete = Decode_Records(vars, static_cast<int>(b.size()) - 1, b, DecodeOptions{type, u','});
        VN_REQUIRE(vars.size() == records.size());
        VN_REQUIRE(complete == (end != RecordsEnd::MoreRecords));
        checkVariables(vars, type == TMBusType::mtWireless);
        break;
    }
    case 3: {
        if (b.size() < 16)
            return;
        Key128 key;
        std::copy(b.begin(), b.begin() + 16, key.begin());
        std::vector<uint8_t> t(b.begin() + 16, b.end());
        if (mend && !t.empty())
            t[0] = static_cast<uint8_t>(t.size() - (module == TRadioModule::rmTelit ? 3 : 1));
        const QDateTime now(QDate(2024, 1, 1), QTime(0, 0));
        std::vector<TSlave_wMBus> list;
        const WirelessResult first = Decode_Wireless_Telegram(list, t, module, now, u'.');
        VN_REQUIRE(list.size() == (first.index < 0 ? 0u : 1u));
        if (first.index < 0)
            return;
        VN_REQUIRE(first.created && first.taken);
        checkVariables(list[0].List_Var, true);
        // Again with the key: the meter is found, decrypted where due.
        list[0].Enable_Key = true;
        list[0].Key = key;
        const WirelessResult second = Decode_Wireless_Telegram(list, t, module, now.addSecs(1), u'.');
        VN_REQUIRE(list.size() == 1 && second.index == 0 && !second.created);
        VN_REQUIRE(second.taken || list[0].DateTime == now);
        VN_REQUIRE(!list[0].Cripted || list[0].List_Var.empty());
        checkVariables(list[0].List_Var, true);
        break;
    }
    }
}

} // namespace mbustest
