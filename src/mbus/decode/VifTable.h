#pragma once
// Everything the decoder knows about value information codes, in one table: the primary VIFs,
// the two extension tables reached through VIF FD and FB, the combinable VIFEs with their
// correction factors, the qualifiers after VIFE 7C and the time points. Value scaling, the
// description with its unit, the VIF class and the type code of a record all come from here.
#include <QString>

#include <cstdint>
#include <string_view>

namespace mbus::decode {

// How the power of ten that scales a value follows from a code's low bits.
enum class ExpRule : uint8_t {
    None,  // the value is not scaled
    N,     // low three bits + offset
    NN,    // low two bits + offset
    Bit0,  // bit 0 + offset
    Low4,  // low four bits + offset
    Fixed, // offset alone
};

struct VifEntry {
    uint8_t first;          // codes first..last (bit 7 cleared) share the entry
    uint8_t last;
    int16_t code;           // VIF class in the primary table, type code elsewhere; -1 none
    ExpRule rule;
    int8_t offset;
    std::u16string_view text;
    bool date = false;      // a combinable VIFE whose record holds a date (type G or F)

    int exponent(uint8_t c) const
    {
        switch (rule) {
        case ExpRule::None: return 0;
        case ExpRule::N: return (c & 7) + offset;
        case ExpRule::NN: return (c & 3) + offset;
        case ExpRule::Bit0: return (c & 1) + offset;
        case ExpRule::Low4: return (c & 15) + offset;
        case ExpRule::Fixed: return offset;
        }
        return 0;
    }
    bool scales() const { return rule != ExpRule::None; }
};

enum class VifTable : uint8_t {
    Primary,    // VIF with bit 7 cleared
    ExtFD,      // first VIFE after VIF FD
    ExtFB,      // first VIFE after VIF FB
    Combinable, // VIFEs that refine the unit
    Qualifier,  // the VIFE after a combinable 7C
};

// The entry of a code (bit 7 is ignored). Codes the standard reserves give an entry with the
// text "Reserved" (" - Reserved" for a combinable VIFE) and code -1; an unknown qualifier gives
// an empty text.
const VifEntry& vifEntry(VifTable table, uint8_t code);

// The description of a time point (VIF 6C/6D) for its data field, empty for a field that
// holds no date or time.
std::u16string_view timePointText(uint8_t dataField);

// A table text as a string that refers to the table's own storage (no copy).
inline QString tableText(std::u16string_view t)
{
    return QString::fromRawData(reinterpret_cast<const QChar*>(t.data()), static_cast<qsizetype>(t.size()));
}

inline constexpr uint8_t kPlainTextVif = 0x7C;
inline constexpr uint8_t kCombinableQualifier = 0x7C;

} // namespace mbus::decode
