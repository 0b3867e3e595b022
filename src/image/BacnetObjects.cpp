#include "image/BacnetObjects.h"

#include "image/TableFile.h"
#include "platform/fs/Files.h"
#include "platform/text/Text.h"
#include "platform/text/UserError.h"

#include <QHash>
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

struct Candidate {
    const TableRow* row;
    uint16_t rowNumber;
    bool written; // a row of the write section
};

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

int objectTypeCode(const QString& dataType)
{
    static const QHash<QString, int> codes = [] {
        QHash<QString, int> h;
        for (int c = 0; c < kObjectTypeCodes; ++c)
            h.insert(QString::fromLatin1(kTypeTexts[c]), c);
        return h;
    }();
    return codes.value(platform::upperAscii(dataType), -1);
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
        readRows = file.section(QStringLiteral("BACnet_in_Read"));
    if (sections != ObjectSections::ReadOnly)
        writeRows = file.section(QStringLiteral("BACnet_in_Write"));

    // Group the objects by data type code first (read rows, then write rows, each in file
    // order) and count them against the table before anything is written.
    std::array<std::vector<Candidate>, kObjectTypeCodes> byCode;
    int objects = 0;
    const QString dataType = QStringLiteral("Data_Type");
    for (const TableRow& r : readRows) {
        const int code = objectTypeCode(r.textOr(dataType, QString()));
        if (code >= 0) {
            byCode[static_cast<size_t>(code)].push_back({&r, static_cast<uint16_t>(r.number()), false});
            ++objects;
        }
    }
    const int readCount = static_cast<int>(readRows.size());
    for (const TableRow& r : writeRows) {
        const int code = objectTypeCode(r.textOr(dataType, QString()));
        if (code >= 0) {
            byCode[static_cast<size_t>(code)].push_back(
                {&r, static_cast<uint16_t>(readCount + r.number()), true});
            ++objects;
        }
    }
    if (objects > n)
        throw platform::UserError(
            QStringLiteral("The file %1 holds %2 BACnet objects; the BACnet object table of the image has room "
                           "for %3.")
                .arg(file.fileName())
                .arg(objects)
                .arg(n));

    auto filledPtr = std::make_unique<BacnetObjectTable>();
    BacnetObjectTable& filled = *filledPtr;
    filled.Object_Base_Address = t.Object_Base_Address;
    std::array<uint32_t, kObjectTypeCodes> added{};
    for (int code = 0; code < kObjectTypeCodes; ++code) {
        for (const Candidate& c : byCode[static_cast<size_t>(code)]) {
            BacnetObjectEntry& e = filled.entries[static_cast<size_t>(filled.count)];
            e.Eng_Unit = static_cast<uint16_t>(c.row->requiredInt(QStringLiteral("Eng_Unit")));
            e.Position = static_cast<uint32_t>(c.row->requiredInt(QStringLiteral("Position")));
            e.Bit = static_cast<uint8_t>(c.row->intOr(QStringLiteral("Bit"), 0));
            e.Length = static_cast<uint8_t>(c.row->requiredInt(QStringLiteral("Length")));
            e.Row_Number = c.rowNumber;

            const QString name = c.row->textOr(QStringLiteral("Mnemonic"), QString()).left(nameLimit);
            if (name.isEmpty()) {
                e.Mnemonic_Address = poolAddress;
            } else {
                const int len = static_cast<int>(name.size());
                if (filled.poolNext + len + 1 > kMnemonicPoolSize)
                    throw platform::UserError(
                        QStringLiteral("The object names of %1 do not fit the name pool of the image (%2 bytes).")
                            .arg(file.fileName())
                            .arg(kMnemonicPoolSize));
                e.Mnemonic_Address = poolAddress + static_cast<uint32_t>(filled.poolNext);
                for (int i = 0; i < len; ++i)
                    filled.pool[static_cast<size_t>(filled.poolNext + i)] =
                        static_cast<uint8_t>(name[i].unicode() & 0xFF);
                filled.pool[static_cast<size_t>(filled.poolNext + len)] = 0;
                filled.poolNext += len + 1;
            }

            e.Flags = c.written ? 1 : 0;
            if (swapApplies(converterType) && c.row->text(QStringLiteral("Swap")) == QStringLiteral("Y"))
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
