#pragma once
// The value, description, class and type code of one data record, from its VIF, VIFEs, data
// field and data bytes (EN 13757-3 value information); the value texts; manufacturer letters.
#include "mbus/decode/Meters.h"

#include <QChar>
#include <QString>

#include <cstdint>
#include <span>

namespace mbus::decode {

struct ValueInfo {
    long double value = 0;       // scaled by the VIF's and the VIFEs' powers of ten
    QString description;         // quantity and unit, e.g. "Volume m3"
    QString valueText;           // dates and plain text; valid when hasValueText
    bool hasValueText = false;
    int16_t vifClass = -1;       // class of the primary VIF, -1 when none
    int32_t typeCode = -1;       // code from the extension tables or the VIFEs, -1 when none
};

// At most this many VIFEs are looked at, as many as the record decoder keeps.
inline constexpr size_t kMaxVife = 10;

// vifes: the VIFE bytes as received; data: the record's data bytes (missing bytes read as 0).
ValueInfo describeValue(uint8_t vif, std::span<const uint8_t> vifes, uint8_t dataField, uint8_t lvar,
                        std::span<const uint8_t> data);

// Fills type_data, Type_Data_Vife, Desc_Type_Data and ValueStr of var. nbyte bytes of data are
// the record's (fewer when data holds fewer).
void Desc_VIF(uint8_t VIF, std::span<const uint8_t> vifes, TVariable_MBus& var, int32_t nbyte, uint8_t lvar,
              uint8_t dataField, std::span<const uint8_t> data, QChar decimalSeparator);

// General number text with up to 15 significant digits: fixed notation from 0.0001 up to 15
// integer digits, otherwise "1.5E-7" / "1E20"; trailing zeros dropped.
QString formatValue(long double value, QChar decimalSeparator);

// Sum of the nibbles at face value (low nibble of byte i is digit 2i); a last high nibble F
// adds nothing and makes the whole number negative.
int64_t BCD_To_Int64(std::span<const uint8_t> bytes);

// Decimal, with a leading "0" below 10.
QString Two_Digit_Text(int n);

// The three letters of a manufacturer code: bits 10-14, 5-9 and 0-4, each plus 64; a group
// that is no letter A-Z gives "?".
QString Trova_Man(uint32_t num);

} // namespace mbus::decode
