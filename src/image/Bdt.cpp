#include "image/Bdt.h"

#include "image/TableFile.h"
#include "platform/fs/Files.h"
#include "platform/text/UserError.h"
#include "workspace/Validators.h"

namespace image {

namespace {

// The address of a dotted text, or no value when the text is not a valid address.
std::optional<uint32_t> addressOf(const std::optional<QString>& text)
{
    if (!text)
        return std::nullopt;
    uint8_t b[4] = {0, 0, 0, 0};
    if (workspace::IP_Text_To_Bytes(*text, b[0], b[1], b[2], b[3]))
        return std::nullopt;
    return ipNumber(b[0], b[1], b[2], b[3]);
}

} // namespace

void Clear_BDT(BdtTable& t) { t.fill(BdtEntry{}); }

void Load_BDT(BdtTable& t, const QString& path, BdtExtraRows extra)
{
    if (!platform::fileExists(path))
        return;
    const TableFile file(path);
    std::vector<TableRow> rows = file.rootRows();
    if (extra == BdtExtraRows::Ignore && rows.size() > static_cast<size_t>(kBdtEntries))
        rows.erase(rows.begin() + kBdtEntries, rows.end());
    if (rows.size() > static_cast<size_t>(kBdtEntries))
        throw platform::UserError(
            QStringLiteral("The file %1 holds %2 rows; the broadcast distribution table of the image has room "
                           "for %3.")
                .arg(file.fileName())
                .arg(rows.size())
                .arg(kBdtEntries));
    for (size_t k = 0; k < rows.size(); ++k) {
        const RowValues r(rows[k]);
        BdtEntry& e = t[k];
        e.Enable = r.yes("Enable") ? 1 : 0;
        if (const auto ip = addressOf(r.text("IP_Address")))
            e.IP_Address = *ip;
        if (const auto mask = addressOf(r.text("SubNet_Mask")))
            e.SubNet_Mask = *mask;
        if (r.text("Port"))
            e.Port = static_cast<uint16_t>(r.intOr("Port", 0));
    }
}

int32_t Write_BDT(BankBuffer& bank, const BdtTable& t, int32_t offset)
{
    BankWriter w(bank, offset);
    for (const BdtEntry& e : t)
        w.u8(e.Enable).u8(0).u16(e.Port).u32(e.IP_Address).u32(e.SubNet_Mask);
    return w.offset();
}

} // namespace image
