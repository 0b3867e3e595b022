#pragma once
// What the scan window shows and checks, as plain functions on the scan's data: the captions of
// the meter trees, the cells and colour of a wireless meter's row, the lines of the progress
// list, the gateway address in the project's general parameters, and the checks of the scan
// dialogs. The windows only put these texts into their controls.
#include "mbus/scan/ScanTypes.h"
#include "platform/draw/Color.h"

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace mbus::scan {

// --- trees ---------------------------------------------------------------------------------------

// A wired meter (level 0): "Primary Address = 5 - Secondary Address = 11111111 -
// Manufacturer = KAM(11309) - Version = 1 - Type = 7".
QString meterCaption(const TSlave_MBus& meter);
// A record (level 1): "Value = 12345.678 - Type = Volume m3 (U0S0T0)".
QString recordCaption(const TVariable_MBus& record);
// The twelve lines under a record (level 2), in their order: storage number, tariff, unit, data
// field, function field, type, value, DIF, VIF, DIFE, VIFE, data.
inline constexpr int kRecordLineCount = 12;
QString recordLine(const TVariable_MBus& record, int line);
// A wireless meter (level 0): "Manufacturer = KAM - Address = 12345678 - Version = 1 -
// Device Type = 7 - ", then "CRIPTED!!" when its last telegram could not be read.
QString wirelessMeterCaption(const TSlave_wMBus& meter);
// A wireless record (level 1): the record caption, or "Idle Filler" for a filler's place-holder.
QString wirelessRecordCaption(const TVariable_MBus& record);

// --- the wireless grid ---------------------------------------------------------------------------

inline constexpr int kWirelessColumns = 13;
// Headers and widths of the 13 columns.
QStringList wirelessHeaders();
std::array<int, kWirelessColumns> wirelessWidths();
// The cells of the meter at `index` (row index + 1); the last column holds an image, no text.
QStringList wirelessRowCells(int index, const TSlave_wMBus& meter);
// Light red (FF BB B9) for a meter whose telegram could not be read, light green (A8 FF A8)
// otherwise.
platform::Color wirelessRowColour(bool cripted);
// The image of the last column: 0 encrypted, 1 read.
inline int wirelessRowImage(bool cripted) { return cripted ? 0 : 1; }

// --- progress ------------------------------------------------------------------------------------

// The line a wired notification adds to the progress list, if any: text 1327 at the start of a
// secondary scan, "ID = 5" TAB ("[NOT FOUND]") for a primary address, "ID = 12345678" for a
// meter read by secondary address, text 1328 at the end of a secondary scan. `texts(i)` gives
// text i of the UI-text table.
std::optional<QString> progressLine(int Event, int Value, int Found, int Kind, QString (*texts)(int));
inline constexpr const char* kNotFound = "[NOT FOUND]";
// How a progress line is drawn: whole in blue, or - with "[NOT FOUND]" - in red in two parts,
// the text before the first "[" and the rest from it, each trimmed.
struct ProgressLook {
    bool notFound = false;
    QString first;
    QString rest;
};
ProgressLook progressLook(const QString& line);

// --- set-up --------------------------------------------------------------------------------------

// The four elements of ParGen.xml that hold the gateway's address, by device code.
std::array<QString, 4> gatewayAddressKeys(int xmlCodeDev);
// Their texts in the project's ParGen.xml (a missing file or element: no value).
std::array<std::optional<QString>, 4> readGatewayAddress(const QString& parGenPath, int xmlCodeDev);
// The wireless mode code of the mode list's entry ("S" 1, "T" 5, "N1" 15, "N2" 17, "C" 11).
int wirelessModeCode(int index);
// The gateway address typed into the four fields: four decimal parts 0..255.
bool isGatewayAddress(const QString& address);
// A whole number, or `def` when the text is none.
int numberOr(const QString& text, int def);

// --- the scan dialogs ----------------------------------------------------------------------------

// The key of a wireless meter: 32 characters, each 0-9 or A-F. The text of the first failure:
// 1704 for a length other than 32, 1703 for another character; none when valid.
std::optional<int> keyError(const QString& key);
// The 16 bytes of a key text, two characters a byte; a pair that is not hexadecimal gives 0.
Key128 keyBytes(const QString& key);
// The first Modbus register: 1..65535 (text 1806 otherwise).
std::optional<int> startRegister(const QString& text);
// The per-node start addresses (one text per data row, row 1 first): the message of the first
// row that is empty (2208, the row, 2209) or not a whole number 1..59999 (2208, the row, 2210).
std::optional<QString> nodeStartError(const QStringList& addresses, QString (*texts)(int));

// A label's caption as shown: "&&" is one "&", "&x" shows x.
QString shownCaption(const QString& caption);

} // namespace mbus::scan
