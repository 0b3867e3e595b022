#pragma once
// Wireless M-Bus telegrams (EN 13757-4) as the gateway's radio module delivers them: find or
// file the meter by its application-layer address, decrypt security mode 5 with the meter's
// key, and decode the records into it.
//
// Telegram bytes, counted from 0: L, C, M (2), identification (4), version, device type, CI,
// then what the CI defines; the module appends two bytes (the last is the RSSI), which are
// never records. Every offset is checked against the telegram's own length: a telegram too
// short for its addresses is dropped, one too short for its CI's header or for the blocks its
// configuration field announces is marked Cripted without records.
#include "mbus/decode/Meters.h"

#include <QChar>
#include <QDateTime>

#include <cstdint>
#include <span>
#include <vector>

namespace mbus::decode {

// What became of a telegram, for the scan's notification.
struct WirelessResult {
    int index = -1;       // the meter the telegram was filed under; -1 when it was dropped
    bool created = false; // the telegram created the meter
    bool taken = false;   // the meter's records, time, RSSI and Cripted were replaced
};

// A datagram holds one telegram when its length fits the module's framing: L + 3 bytes from a
// Telit module, L + 1 from a RadioCrafts module.
bool Wireless_Telegram_Length_Ok(std::span<const uint8_t> datagram, TRadioModule module);

// Signal strength from the module's raw byte: Telit -r - 2; RadioCrafts r / 2 + 1 with r
// signed and the quotient truncated toward zero.
int8_t Wireless_RSSI(uint8_t raw, TRadioModule module);

// Index of the first meter whose application-layer address matches, -1 when none does.
int Find_Wireless_Slave(const std::vector<TSlave_wMBus>& list, uint16_t Manufacturer, uint32_t Address,
                        uint8_t Version, uint8_t DeviceType);

// Files one telegram in list (see the header comment). now is the time recorded in the meter.
WirelessResult Decode_Wireless_Telegram(std::vector<TSlave_wMBus>& list, std::span<const uint8_t> telegram,
                                        TRadioModule module, const QDateTime& now, QChar decimalSeparator);

} // namespace mbus::decode
