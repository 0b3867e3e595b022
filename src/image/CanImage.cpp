#include "image/CanImage.h"

#include "image/ImageState.h"
#include "image/ParGenKeys.h"
#include "image/TableFile.h"
#include "platform/fs/Files.h"
#include "platform/text/UserError.h"
#include "workspace/Workspace.h"

#include <QStringList>
#include <memory>
#include <vector>

namespace image {

namespace {

constexpr int32_t kCanTableOffset = 0x10800;
constexpr uint32_t kCanTableAddress = 0x60000; // 0x4F800 + 0x10800
constexpr int32_t kCanParGenOffset = 0x18800;
constexpr int32_t kCanBdtOffset = 0x19000;

static_assert(kCanTableOffset == kObjectAreaSize);
static_assert(kCanTableOffset + kCanFrameRecords * kCanFrameRecordSize == kCanParGenOffset);
static_assert(kCanParGenOffset + kParGenRecordSize == kCanBdtOffset);
static_assert(kCanBdtOffset + kBdtSize == kCanBankLength);

const char* const kInfoAttrs[8] = {"B1", "B2", "B3", "B4", "B5", "B6", "B7", "B8"};

// One frames file with its byte-map file, as far as they exist.
struct FrameFiles {
    std::unique_ptr<TableFile> frames, info;
    std::vector<TableRow> frameRows, infoRows;

    FrameFiles(const QString& framesPath, const char* section, const QString& infoPath)
    {
        // A byte map without its frames file maps nothing and is not read.
        if (!platform::fileExists(framesPath))
            return;
        frames = std::make_unique<TableFile>(framesPath);
        frameRows = frames->section(section);
        if (platform::fileExists(infoPath)) {
            info = std::make_unique<TableFile>(infoPath);
            infoRows = info->rootRows();
        }
    }
};

// COB-ID, type and data length, the same for both directions.
void readFrame(CanFrameRecord& f, const RowValues& r)
{
    f.Cob_Id = static_cast<uint32_t>(r.requiredInt("Cob_Id"));
    // Only the editor's exact text marks a 29-bit identifier; bit 31 is added with wrap-around.
    if (r.raw("Type") == std::string_view("2.0B (29 bits)"))
        f.Cob_Id += 0x80000000u;
    f.Data_Length = static_cast<uint8_t>(r.requiredInt("Dimension"));
}

// Byte-map row i goes to the frame at `first` + i; rows beyond the frames are not read.
void readInfo(CanFrameTable& t, int first, int frames, const std::vector<TableRow>& infoRows)
{
    const int n = std::min(frames, static_cast<int>(infoRows.size()));
    for (int i = 0; i < n; ++i) {
        const RowValues r(infoRows[static_cast<size_t>(i)]);
        CanFrameRecord& f = t[static_cast<size_t>(first + i)];
        for (int k = 0; k < 8; ++k)
            f.Position[static_cast<size_t>(k)] =
                k < f.Data_Length ? static_cast<uint16_t>(r.requiredInt(kInfoAttrs[k])) : kNoPosition;
    }
}

} // namespace

uint32_t canBitRate(int32_t code)
{
    static const uint32_t kRates[11] = {10000, 20000, 50000, 62500, 100000, 125000,
                                        250000, 500000, 800000, 1000000, 90909};
    return code >= 0 && code < 11 ? kRates[code] : 1000000;
}

void Clear_CAN_Frames(CanFrameTable& t) { t.fill(CanFrameRecord{}); }

void Load_CAN_Frames(CanFrameTable& t, ParGenStd& p, const CanFramePaths& paths)
{
    const FrameFiles rec(paths.recFrames, "Receive_Frames", paths.recInfo);
    const FrameFiles send(paths.sendFrames, "Send_Frames", paths.sendInfo);
    const size_t total = rec.frameRows.size() + send.frameRows.size();
    if (total > static_cast<size_t>(kCanFrameRecords)) {
        QStringList files;
        for (const FrameFiles* f : {&rec, &send})
            if (f->frames && !f->frameRows.empty())
                files << f->frames->fileName();
        throw platform::UserError(
            QStringLiteral("%1 %2 %3 %4 CAN frames; the CAN frame table of the image has room for %5.")
                .arg(files.size() == 1 ? QStringLiteral("The file") : QStringLiteral("The files"),
                     files.join(QStringLiteral(" and ")), files.size() == 1 ? QStringLiteral("holds")
                                                                            : QStringLiteral("hold"))
                .arg(total)
                .arg(kCanFrameRecords));
    }

    int k = 0;
    for (const TableRow& row : rec.frameRows) {
        const RowValues r(row);
        CanFrameRecord& f = t[static_cast<size_t>(k++)];
        readFrame(f, r);
        f.Rec_TimeOut = static_cast<uint32_t>(r.requiredInt("TimeOut"));
    }
    const int received = k;
    readInfo(t, 0, received, rec.infoRows);
    for (const TableRow& row : send.frameRows) {
        const RowValues r(row);
        CanFrameRecord& f = t[static_cast<size_t>(k++)];
        readFrame(f, r);
        f.Send_Timer = static_cast<uint32_t>(r.requiredInt("Timer_Send"));
        // A frame sent on data change has no timer, whatever the cell says.
        if (r.is("Send_Type", "ON DATA CHANGE"))
            f.Send_Timer = 0;
        f.Direction = 1;
    }
    readInfo(t, received, k - received, send.infoRows);
    p.CAN_Frame_Count = static_cast<uint32_t>(k);
}

int32_t Write_CAN_Frames(BankBuffer& bank, const CanFrameTable& t, int32_t offset)
{
    BankWriter w(bank, offset);
    for (const CanFrameRecord& f : t) {
        w.u32(f.Cob_Id).u32(f.Send_Timer).u32(f.Rec_TimeOut);
        w.u8(0).u8(f.Direction).u8(f.Data_Length).u8(0);
        for (uint16_t pos : f.Position)
            w.u16(pos);
    }
    return w.offset();
}

void Read_Par_Gen_CAN(ImageState& st)
{
    ParGenStd& p = st.Par_Gen;
    p.Protocol_Code = 0x24;
    p.CAN_Kind = 1;
    p.Option_Word = 0;
    p.CAN_Table_Address = kCanTableAddress;
    ParGenKeys keys;
    if (!openParGen(keys))
        return;
    readBacnetSide(keys, p, st.Desc_Chars_Limit_Flag, true);
    p.CAN_Bit_Rate = canBitRate(keys.keyInt(QStringLiteral("CAN_BAUDRATE"), 9));
}

void Build_Bin_CAN(ImageState& st)
{
    const workspace::Workspace& w = workspace::ws();
    startStandardBuild(st);
    Clear_CAN_Frames(st.field.can);
    Clear_BDT(st.bdt);
    Read_Par_Gen_CAN(st);
    loadProjectObjects(st);
    Load_CAN_Frames(st.field.can, st.Par_Gen,
                    {w.Path_CAN_Rec_Frames, w.Path_CAN_Send_Frames, w.Path_CAN_Rec_Info, w.Path_CAN_Send_Info});
    loadProjectBdt(st, kBdtAddressAt0x19000);

    st.bank1.setLength(0);
    int32_t offset = Write_BACnet_Objects(st.bank1, st.objects, st.Desc_Chars_Limit_Flag, 0);
    offset = Write_CAN_Frames(st.bank1, st.field.can, offset);
    offset = Write_Par_Gen(st.bank1, st.Par_Gen, offset);
    st.bank1.setLength(Write_BDT(st.bank1, st.bdt, offset));
}

} // namespace image
