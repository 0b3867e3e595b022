#include "image/BacnetObjects.h"

#include "image/TableFile.h"
#include "platform/fs/Files.h"
#include "platform/text/UserError.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace image {

namespace {

const char* const kTypeTexts[kObjectTypeCodes] = {
    "ANALOG INPUT",         "ANALOG OUT",        "BINARY INPUT",          "BINARY OUT",
    "LARGE ANALOG VALUE",   "DATETIME VALUE",    "POSITIVE INTEGER VALUE", "CHARACTERSTRING VALUE",
    "INTEGER VALUE",        "MULTI STATE INPUT", "MULTI STATE OUTPUT",    "MULTI STATE VALUE",
    "ANALOG VALUE",         "BINARY VALUE",      "LIFE SAFETY POINT",     "LIFE SAFETY ZONE",
    "ACCESS DOOR",          "ACCUMULATOR",       "OCTET STRING",
};

// A row of a known data type, waiting for its place in the table.
struct Candidate {
    const TableRow* row;
    uint16_t rowNumber;
    bool written;
};

// Stores a name at the next free pool byte, one byte per character (the low 8 bits of its
// UTF-16 code unit), cut to `limit` characters, with its zero byte; returns its length.
int storeName(BacnetObjectTable& t, std::string_view utf8, int limit, const QString& fileName)
{
    bool ascii = true;
    for (char ch : utf8)
        if (static_cast<unsigned char>(ch) >= 0x80)
            ascii = false;
    QString wide;
    if (!ascii)
        wide = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    const int full = ascii ? static_cast<int>(utf8.size()) : static_cast<int>(wide.size());
    const int len = std::min(full, limit);
    if (len == 0)
        return 0;
    if (t.poolNext + len + 1 > kMnemonicPoolSize)
        throw platform::UserError(QStringLiteral("The object names of %1 do not fit the name pool of the image (%2 bytes).")
                                      .arg(fileName)
                                      .arg(kMnemonicPoolSize));
    uint8_t* out = t.pool.data() + t.poolNext;
    for (int i = 0; i < len; ++i)
        out[i] = ascii ? static_cast<uint8_t>(utf8[static_cast<size_t>(i)])
                       : static_cast<uint8_t>(wide[i].unicode() & 0xFF);
    out[len] = 0;
    return len;
}

bool swapApplies(int32_t converterType)
{
    return converterType == 6 || converterType == 9 || converterType == 16 || converterType == 18;
}

} // namespace

int objectTableSize(uint8_t flag) { return flag ? 1023 : 2047; }

int objectNameLimit(uint8_t flag) { return flag ? 32 : 16; }

uint32_t objectBaseAddress(int32_t converterType)
{
    if (converterType == 16 || converterType == 2016)
        return 0x55000;
    if (converterType == 17 || converterType == 18 || converterType == 19)
        return 0x57800;
    return 0x4F800;
}

int objectTypeCode(std::string_view dataType)
{
    // Only a-z change case, so a text with any other byte than the table's ASCII never
    // matches, whatever its encoding.
    for (int c = 0; c < kObjectTypeCodes; ++c)
        if (equalsUpperAscii(dataType, kTypeTexts[c]))
            return c;
    return -1;
}

int objectTypeCode(const QString& dataType)
{
    const QByteArray utf8 = dataType.toUtf8();
    return objectTypeCode(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())));
}

void Clear_BACnet_Objects(BacnetObjectTable& t)
{
    t.entries.fill(BacnetObjectEntry{});
    t.pool.fill(0);
    t.count = 0;
    t.poolNext = 1;
}

void Load_BACnet_Objects(BacnetObjectTable& t, std::array<uint32_t, kObjectTypeCodes>& counts, uint8_t flag,
                         int32_t converterType, const QString& path, ObjectSections sections)
{
    const int n = objectTableSize(flag);
    const int nameLimit = objectNameLimit(flag);
    t.Object_Base_Address = objectBaseAddress(converterType);
    const uint32_t poolAddress = t.Object_Base_Address + static_cast<uint32_t>(n) * kObjectEntrySize;
    if (!platform::fileExists(path))
        return;

    const TableFile file(path);
    std::vector<TableRow> readRows;
    std::vector<TableRow> writeRows;
    if (sections != ObjectSections::WriteOnly)
        readRows = file.section("BACnet_in_Read");
    if (sections != ObjectSections::ReadOnly)
        writeRows = file.section("BACnet_in_Write");

    // Group the rows by data type code (read rows, then write rows, each in file order) and
    // count them against the table before anything is stored.
    std::array<std::vector<Candidate>, kObjectTypeCodes> byCode;
    int objects = 0;
    auto classify = [&](const std::vector<TableRow>& rows, int rowBase, bool written) {
        for (const TableRow& row : rows) {
            const int code = objectTypeCode(RowValues(row).rawOr("Data_Type", {}));
            if (code < 0)
                continue; // a type the gateway does not know is not an object
            byCode[static_cast<size_t>(code)].push_back(
                {&row, static_cast<uint16_t>(rowBase + row.number()), written});
            ++objects;
        }
    };
    classify(readRows, 0, false);
    classify(writeRows, static_cast<int>(readRows.size()), true);
    if (objects > n)
        throw platform::UserError(
            QStringLiteral("The file %1 holds %2 BACnet objects; the BACnet object table of the image has room "
                           "for %3.")
                .arg(file.fileName())
                .arg(objects)
                .arg(n));

    // The values are converted code by code, in the order the entries are filled, so that of
    // several bad rows the one the gateway's own loader meets first is reported.
    const bool swaps = swapApplies(converterType);
    auto filledPtr = std::make_unique<BacnetObjectTable>();
    BacnetObjectTable& filled = *filledPtr;
    filled.Object_Base_Address = t.Object_Base_Address;
    std::array<uint32_t, kObjectTypeCodes> added{};
    for (int code = 0; code < kObjectTypeCodes; ++code) {
        for (const Candidate& c : byCode[static_cast<size_t>(code)]) {
            const RowValues r(*c.row);
            BacnetObjectEntry& e = filled.entries[static_cast<size_t>(filled.count)];
            e.Eng_Unit = static_cast<uint16_t>(r.requiredInt("Eng_Unit"));
            e.Position = static_cast<uint32_t>(r.requiredInt("Position"));
            e.Bit = static_cast<uint8_t>(r.intOr("Bit", 0));
            e.Length = static_cast<uint8_t>(r.requiredInt("Length"));
            e.Row_Number = c.rowNumber;
            const int len =
                storeName(filled, r.rawOr("Mnemonic", {}), nameLimit, file.fileName());
            e.Mnemonic_Address = len == 0 ? poolAddress : poolAddress + static_cast<uint32_t>(filled.poolNext);
            filled.poolNext += len == 0 ? 0 : len + 1;
            e.Flags = c.written ? 1 : 0;
            if (swaps && r.raw("Swap") == std::string_view("Y"))
                e.Flags |= 2;
            ++added[static_cast<size_t>(code)];
            ++filled.count;
        }
    }
    // Only a table read without error reaches the image and the counts.
    t = filled;
    for (int code = 0; code < kObjectTypeCodes; ++code)
        counts[static_cast<size_t>(code)] += added[static_cast<size_t>(code)];
}

int32_t Write_BACnet_Objects(BankBuffer& bank, const BacnetObjectTable& t, uint8_t flag, int32_t offset)
{
    const int n = objectTableSize(flag);
    BankWriter w(bank, offset);
    for (int i = 0; i < n; ++i) {
        const BacnetObjectEntry& e = t.entries[static_cast<size_t>(i)];
        w.u32(e.Position).u16(e.Eng_Unit).u8(e.Length).u8(e.Flags);
        w.u32(e.Mnemonic_Address).u16(e.Row_Number).u8(e.Bit).u8(0);
    }
    w.bytes(t.pool.data(), kMnemonicPoolSize);
    w.zeros(offset + kObjectAreaSize - w.offset());
    return w.offset();
}

} // namespace image
