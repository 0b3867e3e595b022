#pragma once
// The DMX default values of the DMX model (device type 18, DMX_Default_Values.xml) as data: one
// row per DMX channel with its default value (a byte) and a free description.
//
// The number of channels is `DMX_Num_Channels` of the general parameters, 512 when the file,
// the key or its number is missing; a number outside 1..512 (only a hand-edited file holds one)
// also gives 512, the channels of a DMX universe and of the image's default table. The file's
// rows are `Row` elements directly in the root; there is no key: every row is checked (0..255)
// and written, so a saved file always holds one element per channel. A file with more rows than
// channels shows the first ones and says how many it leaves out; OK asks before dropping them.
#include "tables/frame/TableDescription.h"
#include "tables/frame/TableModel.h"

#include <optional>

namespace parameters {
class ParGenFile;
}

namespace tables::dmx {

enum DmxColumn { DmxValue = 1, DmxMnemonic = 2 };

constexpr int kDmxChannels = 512;

TableDescription dmxDefaultsTable(); // TFDMXDefVal
int dmxChannelCount(const parameters::ParGenFile& parGen);
std::optional<Failure> checkDmxRow(const RowView& row);

} // namespace tables::dmx
