#include "mbus/decode/Records.h"

#include "mbus/decode/Frames.h"
#include "mbus/decode/Values.h"
#include "mbus/decode/VifTable.h"

#include <string_view>

namespace mbus::decode {

namespace {

struct DataFieldInfo {
    uint8_t length;
    bool bcd;
    std::u16string_view text;
};

// By the DIF's data field; 13 (variable length) takes its length from the LVAR byte.
constexpr DataFieldInfo kDataFields[16] = {
    {0, false, u""},
    {1, false, u"8 Bit Integer"},
    {2, false, u"16 Bit Integer"},
    {3, false, u"24 Bit Integer"},
    {4, false, u"32 Bit Integer"},
    {4, false, u"32 Bit Real"},
    {6, false, u"48 Bit Integer"},
    {8, false, u"64 Bit Integer"},
    {0, false, u""},
    {1, true, u"2 Digit BCD"},
    {2, true, u"4 Digit BCD"},
    {3, true, u"6 Digit BCD"},
    {4, true, u"8 Digit BCD"},
    {0, false, u""},
    {6, true, u"12 Digit BCD"},
    {0, false, u"Special Function"},
};

constexpr std::u16string_view kFunctionFields[4] = {u"Istantaneous value", u"Maximum value", u"Minimum value",
                                                    u"Value during error state"};

constexpr uint8_t kReservedLvar = 0xFB;

// Data length of a variable-length record: characters, then BCD, binary and float lengths.
int lvarLength(uint8_t lvar)
{
    if (lvar < 0xC0)
        return lvar;
    return lvar & 0x0F;
}

QString lvarText(uint8_t lvar)
{
    const int n = lvarLength(lvar);
    if (lvar < 0xC0)
        return QStringLiteral("Variable Length - ASCII String with %1characters").arg(n);
    if (lvar < 0xD0)
        return QStringLiteral("Variable Length - Positive BCD Number with %1 digits").arg(2 * n);
    if (lvar < 0xE0)
        return QStringLiteral("Variable Length - Negative BCD Number with %1 digits").arg(2 * n);
    if (lvar < 0xF0)
        return QStringLiteral("Variable Length - Binary Number with %1 Bytes").arg(n);
    if (lvar < kReservedLvar)
        return QStringLiteral("Variable Length - Floating Point Number with %1 Bytes").arg(n);
    return QStringLiteral("Variable Length - Reserved");
}

void appendHex(QString& s, uint8_t b)
{
    static constexpr char16_t digits[] = u"0123456789ABCDEF";
    s += QChar(digits[b >> 4]);
    s += QChar(digits[b & 0x0F]);
}

// "$0B $3B ": the bytes each as "$", two hex digits and a blank.
QString dollarList(std::span<const uint8_t> bytes)
{
    QString s;
    s.reserve(static_cast<qsizetype>(bytes.size() * 4));
    for (uint8_t b : bytes) {
        s += u'$';
        appendHex(s, b);
        s += u' ';
    }
    return s;
}

} // namespace

namespace {

enum class Step { Keep, Skip, Stop };

// Reads the record at p into r and moves p past it. Stop sets end.
Step readRecord(std::span<const uint8_t> bytes, size_t& p, TMBusType type, MBusRecord& r, RecordsEnd& end)
{
    const size_t n = bytes.size();
    auto stop = [&](RecordsEnd e) {
        end = e;
        return Step::Stop;
    };
    r.dif = bytes[p++];
    const uint8_t df = r.dif & 0x0F;

    if (r.dif != 0x0F && r.dif != 0x1F && r.dif != 0x2F) {
        if (r.dif & 0x80) {
            do {
                if (p >= n)
                    return stop(RecordsEnd::Truncated);
                if (r.difeCount == kMaxDife)
                    return stop(RecordsEnd::TooManyExtensions);
                r.dife[r.difeCount++] = bytes[p++];
            } while (r.dife[r.difeCount - 1] & 0x80);
        }
        if (p >= n)
            return stop(RecordsEnd::Truncated);
        r.vif = bytes[p++];
        if ((r.vif & 0x7F) == kPlainTextVif) {
            if (p >= n)
                return stop(RecordsEnd::Truncated);
            const size_t len = bytes[p++];
            if (len > kMaxPlainUnit || len > n - p)
                return stop(RecordsEnd::PlainUnitTooLong);
            // Sent last character first.
            r.plainUnit.resize(static_cast<qsizetype>(len));
            for (size_t i = 0; i < len; ++i)
                r.plainUnit[static_cast<qsizetype>(i)] = QChar(char16_t(bytes[p + len - 1 - i]));
            p += len;
        }
        if (r.vif & 0x80) {
            do {
                if (p >= n)
                    return stop(RecordsEnd::Truncated);
                if (r.vifeCount == r.vife.size())
                    return stop(RecordsEnd::TooManyExtensions);
                r.vife[r.vifeCount++] = bytes[p++];
            } while (r.vife[r.vifeCount - 1] & 0x80);
        }
    }

    size_t len = kDataFields[df].length;
    if (df == 13) {
        if (p >= n)
            return stop(RecordsEnd::Truncated);
        r.lvar = bytes[p++];
        if (r.lvar >= kReservedLvar)
            return stop(RecordsEnd::ReservedLvar);
        len = static_cast<size_t>(lvarLength(r.lvar));
    }
    if (len > n - p)
        return stop(RecordsEnd::Truncated);
    r.dataOffset = static_cast<uint32_t>(p);
    p += len;

    if (df == 15) {
        if (r.dif == 0x0F)
            return stop(RecordsEnd::ManufacturerData);
        if (r.dif == 0x1F)
            return stop(RecordsEnd::MoreRecords);
        if (r.dif >= 0x3F && r.dif <= 0x7F)
            return stop(RecordsEnd::SpecialFunction);
        // Idle filler (2F) or a special DIF with extension bit: nothing to keep, except the
        // filler's place in a telegram.
        if (r.dif == 0x2F && type == TMBusType::mtWireless) {
            r = MBusRecord{};
            r.dif = 0x2F;
            r.dataField = df;
            r.placeholder = true;
            return Step::Keep;
        }
        return Step::Skip;
    }
    if (df == 8)
        return stop(RecordsEnd::ReadoutSelection);
    if (r.vif == 0x7E || r.vif == 0xFE)
        return stop(RecordsEnd::AnyVif);

    r.dataField = df;
    r.nbyte = static_cast<int32_t>(len);
    r.isBcd = kDataFields[df].bcd;
    r.functionField = (r.dif >> 4) & 0x03;
    r.storageNumber = (r.dif >> 6) & 1;
    if (r.difeCount > 0) {
        // Each DIFE adds the next digits: storage 4 bits, tariff 2 bits, subunit 1 bit.
        uint64_t storage = 0;
        uint32_t tariff = 0, subunit = 0;
        for (size_t k = 0; k < r.difeCount; ++k) {
            storage |= static_cast<uint64_t>(r.dife[k] & 0x0F) << (4 * k);
            tariff |= static_cast<uint32_t>((r.dife[k] >> 4) & 0x03) << (2 * k);
            subunit |= static_cast<uint32_t>((r.dife[k] >> 6) & 0x01) << k;
        }
        r.storageNumber += 2 * static_cast<int64_t>(storage);
        r.tariff = static_cast<uint16_t>(tariff);
        r.subunit = static_cast<uint16_t>(subunit);
    }

    ValueInfo v = describeValue(r.vif, std::span<const uint8_t>(r.vife.data(), r.vifeCount), df, r.lvar,
                                bytes.subspan(r.dataOffset, len));
    r.value = v.value;
    r.description = std::move(v.description);
    r.valueText = std::move(v.valueText);
    r.hasValueText = v.hasValueText;
    r.vifClass = v.vifClass;
    r.typeCode = v.typeCode == -1 ? 0 : v.typeCode;
    return Step::Keep;
}

} // namespace

RecordsEnd decodeRecords(std::span<const uint8_t> bytes, size_t begin, TMBusType type, std::vector<MBusRecord>& out)
{
    size_t p = begin;
    while (p < bytes.size()) {
        // Read in place; a record that is not kept is taken off again.
        RecordsEnd end = RecordsEnd::End;
        const Step step = readRecord(bytes, p, type, out.emplace_back(), end);
        if (step != Step::Keep)
            out.pop_back();
        if (step == Step::Stop)
            return end;
    }
    return RecordsEnd::End;
}

bool decodeFrame(std::span<const uint8_t> frame, DecodedFrame& out)
{
    if (!isLongFrame(frame))
        return false;
    FrameHeader& h = out.header;
    h.address = frame[5];
    h.identification = static_cast<uint32_t>(frame[7]) | static_cast<uint32_t>(frame[8]) << 8 |
                       static_cast<uint32_t>(frame[9]) << 16 | static_cast<uint32_t>(frame[10]) << 24;
    h.manufacturer = static_cast<uint16_t>(frame[11] | frame[12] << 8);
    h.version = frame[13];
    h.medium = frame[14];
    out.records.clear();
    // The records end before the checksum and the stop byte.
    out.end = decodeRecords(frame.first(frame.size() - 2), kRecordsStart, TMBusType::mtWired, out.records);
    return true;
}

TVariable_MBus toVariable(const MBusRecord& r, std::span<const uint8_t> bytes, QChar decimalSeparator)
{
    TVariable_MBus v;
    v.DIF = QStringLiteral("$");
    appendHex(v.DIF, r.dif);
    v.DataFieldStr = tableText(kDataFields[r.dataField & 0x0F].text);
    if (r.placeholder)
        return v;
    v.Real_Wireless_Var = true;
    v.Is_BCD = r.isBcd;
    if (r.dataField == 13)
        v.DataFieldStr = lvarText(r.lvar);
    v.dimension = r.dataField;
    v.nbyte = r.nbyte;
    v.function_fild = r.functionField;
    v.FunctionFieldStr = tableText(kFunctionFields[r.functionField & 3]);
    v.storage_number = r.storageNumber;
    v.tarif = r.tariff;
    v.device = r.subunit;
    v.DIFE = dollarList(std::span<const uint8_t>(r.dife.data(), r.difeCount));
    v.VIF = r.vif;
    v.VIF_ASCII = r.plainUnit;
    v.VIFE = dollarList(std::span<const uint8_t>(r.vife.data(), r.vifeCount));
    const std::span<const uint8_t> data = r.data(bytes);
    v.totdati.reserve(static_cast<qsizetype>(data.size() * 2));
    for (uint8_t b : data)
        appendHex(v.totdati, b);
    v.type_data = r.vifClass;
    v.Type_Data_Vife = r.typeCode;
    v.Desc_Type_Data = r.description;
    v.ValueStr = r.hasValueText ? r.valueText : formatValue(r.value, decimalSeparator);
    return v;
}

bool Decode_Records(std::vector<TVariable_MBus>& List, int Last, std::span<const uint8_t> Data,
                    const DecodeOptions& options)
{
    if (Last < 0)
        return true;
    if (static_cast<size_t>(Last) < Data.size())
        Data = Data.first(static_cast<size_t>(Last) + 1);
    std::vector<MBusRecord> records;
    const RecordsEnd end = decodeRecords(Data, 0, options.busType, records);
    List.reserve(List.size() + records.size());
    for (const MBusRecord& r : records)
        List.push_back(toVariable(r, Data, options.decimalSeparator));
    return end != RecordsEnd::MoreRecords;
}

int Add_Slave_Frame(std::vector<TSlave_MBus>& list, int Index, std::span<const uint8_t> frame, bool& Done,
                    const DecodeOptions& options)
{
    Done = true;
    if (frame.size() < kRecordsStart + 2)
        return -1;
    if (Index >= 0 && static_cast<size_t>(Index) >= list.size())
        return -1;
    if (Index < 0) {
        TSlave_MBus m;
        m.Primary_Addresss = frame[5];
        const uint32_t id = static_cast<uint32_t>(frame[7]) | static_cast<uint32_t>(frame[8]) << 8 |
                            static_cast<uint32_t>(frame[9]) << 16 | static_cast<uint32_t>(frame[10]) << 24;
        m.Secondary_Addresss = QString::number(id, 16).toUpper().rightJustified(2, u'0');
        m.Manufacture = static_cast<uint32_t>(frame[11] | frame[12] << 8);
        m.Version = frame[13];
        m.Medium = frame[14];
        m.descManufacture = Trova_Man(m.Manufacture);
        list.push_back(std::move(m));
        Index = static_cast<int>(list.size() - 1);
    }
    // Records from the end of the fixed header to the byte before the checksum.
    const int last = static_cast<int>(frame.size()) - 3 - static_cast<int>(kRecordsStart);
    Done = Decode_Records(list[static_cast<size_t>(Index)].List_Var, last, frame.subspan(kRecordsStart), options);
    return Index;
}

} // namespace mbus::decode
