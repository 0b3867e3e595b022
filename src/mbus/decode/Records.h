#pragma once
// Variable data records (EN 13757-3) and the long reply frames that carry them.
//
// decodeFrame is the lean entry: bytes in, values, descriptions and codes out, with no text
// built that a caller may not need. Decode_Records and Add_Slave_Frame build on it and fill
// the scan's TVariable_MBus / TSlave_MBus with every text the scan window shows.
//
// A record the decoder cannot use ends the decoding there and keeps the records before it: a
// chain of more than 10 DIFEs or VIFEs, a reserved LVAR (FB-FF), a plain-text unit longer than
// its buffer or the bytes left, or any record running past the end. Nothing is read beyond the
// bytes passed in.
#include "mbus/decode/Meters.h"

#include <QChar>
#include <QString>

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace mbus::decode {

inline constexpr size_t kMaxDife = 10;
inline constexpr size_t kMaxPlainUnit = 192; // characters of a plain-text unit

// Why the decoding of a record area ended.
enum class RecordsEnd : uint8_t {
    End,               // every byte was used
    MoreRecords,       // DIF 1F: more records follow in the next reply
    ManufacturerData,  // DIF 0F: manufacturer data to the end
    SpecialFunction,   // DIF 3F, 4F, 5F, 6F, 7F
    ReadoutSelection,  // data field 8
    AnyVif,            // VIF 7E or FE
    Truncated,         // a record runs past the end
    TooManyExtensions, // more than 10 DIFEs or VIFEs
    ReservedLvar,      // LVAR FB-FF: no length defined
    PlainUnitTooLong,  // plain-text unit longer than its buffer or the bytes left
};

struct MBusRecord {
    long double value = 0;      // scaled by the VIF's and VIFEs' powers of ten
    QString description;        // quantity and unit, e.g. "Volume m3"
    QString valueText;          // dates and plain-text values; valid when hasValueText
    QString plainUnit;          // unit of a plain-text VIF, in reading order ("kWh")
    int64_t storageNumber = 0;
    uint16_t tariff = 0;
    uint16_t subunit = 0;
    uint8_t functionField = 0;  // 0 instantaneous, 1 maximum, 2 minimum, 3 error state
    uint8_t dataField = 0;      // DIF bits 0-3
    uint8_t dif = 0;
    uint8_t vif = 0;
    uint8_t lvar = 0;           // length byte of a variable-length record
    uint8_t difeCount = 0;
    uint8_t vifeCount = 0;
    std::array<uint8_t, kMaxDife> dife{};
    std::array<uint8_t, 10> vife{};
    int32_t nbyte = 0;          // data bytes
    uint32_t dataOffset = 0;    // first data byte, as an index into the bytes decoded
    int16_t vifClass = -1;      // class of the primary VIF, -1 when none
    int32_t typeCode = 0;       // combined type code, 0 when none
    bool isBcd = false;
    bool hasValueText = false;
    bool placeholder = false;   // idle filler kept in a wireless telegram (no other field is set)

    std::span<const uint8_t> data(std::span<const uint8_t> decoded) const
    {
        return decoded.subspan(dataOffset, static_cast<size_t>(nbyte));
    }
};

// Decodes the records in bytes[begin..end of bytes] and appends them to out. A wireless
// telegram keeps each idle filler (DIF 2F) as a place-holder so that record positions count it.
RecordsEnd decodeRecords(std::span<const uint8_t> bytes, size_t begin, TMBusType type, std::vector<MBusRecord>& out);

// The fixed header of a variable data structure in a long frame (68 L L 68 C A CI ...).
struct FrameHeader {
    uint8_t address = 0;         // A field
    uint32_t identification = 0; // BCD digits as received
    uint16_t manufacturer = 0;
    uint8_t version = 0;
    uint8_t medium = 0;
};

struct DecodedFrame {
    FrameHeader header;
    std::vector<MBusRecord> records; // data offsets index into the frame
    RecordsEnd end = RecordsEnd::End;
    bool moreRecords() const { return end == RecordsEnd::MoreRecords; }
};

// The public entry: a reply frame to its header and records. False, and out untouched, when
// the bytes are no long frame (see isLongFrame). out's storage is reused from call to call.
bool decodeFrame(std::span<const uint8_t> frame, DecodedFrame& out);

struct DecodeOptions {
    TMBusType busType = TMBusType::mtWired;
    QChar decimalSeparator = u'.'; // the user's locale's, for value texts
};

// The record with every text of the scan window. bytes are those the record was decoded from.
TVariable_MBus toVariable(const MBusRecord& r, std::span<const uint8_t> bytes, QChar decimalSeparator);

// Data holds the record area from its first byte; Last is the index of its last byte (the
// area's length - 1; bytes past the end of Data are never read). Appends the records to List;
// false when a DIF 1F announced more records in the next reply.
bool Decode_Records(std::vector<TVariable_MBus>& List, int Last, std::span<const uint8_t> Data,
                    const DecodeOptions& options);

// Files the long frame's header as a new meter (Index < 0) or takes the meter at Index, and
// decodes the frame's records into its List_Var; Done is false when the frame announced more
// records. Returns the meter's index, or -1 with nothing changed when the frame is too short
// for its fixed header or Index names no meter.
int Add_Slave_Frame(std::vector<TSlave_MBus>& list, int Index, std::span<const uint8_t> frame, bool& Done,
                    const DecodeOptions& options);

// Fixed part of a long frame before its records: 68 L L 68 C A CI and the 12-byte header.
inline constexpr size_t kRecordsStart = 19;

} // namespace mbus::decode
