// A whole image build of the CAN, CANopen, fieldbus slave, DeviceNet, KNX, DMX and SNMP models
// over one fuzzed project file. The first byte of the input picks the device type and the file
// (the rest of the input is that file; the other files of the project are small valid ones).
// A build must either succeed with the model's image length and a valid record checksum, or
// fail with a message and leave bank1 exactly as it was.
#include "image/ImageBuilder.h"
#include "workspace/Folders.h"
#include "workspace/Workspace.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>
#include <memory>

namespace {

enum class File { ParGen, Objects, CanRecFrames, CanRecInfo, CanSendFrames, SdoServer, SdoClient, Pdo, Knx, Dmx, Trap, Manager };

struct Case {
    int32_t type;
    File file;
    int32_t length;       // of bank1 after a good build
    int32_t recordOffset; // of the general parameter record in bank1
};

const Case kCases[] = {
    {7, File::CanRecFrames, 102520, 0x18800},  {7, File::CanRecInfo, 102520, 0x18800},
    {7, File::CanSendFrames, 102520, 0x18800}, {7, File::ParGen, 102520, 0x18800},
    {8, File::SdoServer, 127096, 0x18800},     {8, File::SdoClient, 127096, 0x18800},
    {8, File::Pdo, 127096, 0x18800},           {8, File::ParGen, 127096, 0x18800},
    {9, File::ParGen, 102520, 0x18800},        {9, File::Objects, 102520, 0x18800},
    {6, File::ParGen, 102400, 0x18800},        {12, File::ParGen, 102400, 0x18800},
    {11, File::ParGen, 102400, 0x18800},       {11, File::Objects, 102400, 0x18800},
    {16, File::Knx, 79872, 0x13000},           {2016, File::ParGen, 79872, 0x13000},
    {18, File::Dmx, 70144, 0x10800},           {18, File::ParGen, 70144, 0x10800},
    {18, File::Objects, 70144, 0x10800},       {17, File::Trap, 94208, 0x10800},
    {17, File::ParGen, 94208, 0x10800},        {19, File::Manager, 133120, 0x10800},
    {19, File::ParGen, 133120, 0x10800},
};
constexpr size_t kCaseCount = sizeof(kCases) / sizeof(kCases[0]);

QString pathOf(const workspace::Workspace& w, File f)
{
    switch (f) {
    case File::ParGen: return w.Path_ParGen;
    case File::Objects: return w.Path_BACnet_SetAccess;
    case File::CanRecFrames: return w.Path_CAN_Rec_Frames;
    case File::CanRecInfo: return w.Path_CAN_Rec_Info;
    case File::CanSendFrames: return w.Path_CAN_Send_Frames;
    case File::SdoServer: return w.Path_SDO_Server_CANopen;
    case File::SdoClient: return w.Path_SDO_Client_CANopen;
    case File::Pdo: return w.Path_PDO_CANopen;
    case File::Knx: return w.Path_KNX_SetAccess;
    case File::Dmx: return w.Path_DMX_Default_Values;
    case File::Trap: return w.Path_SNMP_Trap;
    case File::Manager: return w.Path_SNMP_Manager;
    }
    return {};
}

void put(const QString& path, const QByteArray& bytes)
{
    if (path.isEmpty())
        return;
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        std::abort();
}

// The small valid project every input starts from.
void writeProject(const workspace::Workspace& w)
{
    put(w.Path_ParGen, "<Par_Gen><BACnet_EN_BBMD>1</BACnet_EN_BBMD><BACnet_NAME_STA>fz</BACnet_NAME_STA></Par_Gen>");
    put(w.Path_BACnet_SetAccess,
        "<BACnet_to_Modbus><BACnet_in_Read><row Data_Type=\"Analog Input\" Eng_Unit=\"62\" Position=\"0\" Bit=\"0\" "
        "Length=\"4\" Swap=\"N\" Mnemonic=\"t\"/></BACnet_in_Read><BACnet_in_Write/></BACnet_to_Modbus>");
    put(w.Path_BACnet_BDT, "<BACnet_BDT><row Enable=\"Y\" IP_Address=\"10.0.0.1\" SubNet_Mask=\"255.0.0.0\" "
                           "Port=\"47808\" Mnemonic=\"\"/></BACnet_BDT>");
    put(w.Path_CAN_Rec_Frames, "<PROFINET_to_Receive_CAN><Receive_Frames><row Cob_Id=\"1\" Type=\"2.0A (11 bits)\" "
                               "Dimension=\"2\" TimeOut=\"10\" Mnemonic=\"\"/></Receive_Frames></PROFINET_to_Receive_CAN>");
    put(w.Path_CAN_Rec_Info, "<Receive_Frames_Info><row B1=\"1\" B2=\"2\" B3=\"65535\" B4=\"65535\" B5=\"65535\" "
                             "B6=\"65535\" B7=\"65535\" B8=\"65535\"/></Receive_Frames_Info>");
}

struct Fixture {
    QTemporaryDir dir;
    std::unique_ptr<image::ImageState> st = std::make_unique<image::ImageState>();
};

Fixture& fixture()
{
    static Fixture* f = new Fixture; // lives for the whole run
    return *f;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const Case& c = kCases[data[0] % kCaseCount];
    Fixture& fx = fixture();
    workspace::ScopedWorkspace ws(c.type);
    ws->Project_Dir = fx.dir.path();
    for (const QString& name : QDir(fx.dir.path()).entryList(QDir::Files))
        QFile::remove(fx.dir.filePath(name));
    workspace::Set_Files();
    writeProject(*ws);
    put(pathOf(*ws, c.file), QByteArray(reinterpret_cast<const char*>(data) + 1, static_cast<qsizetype>(size - 1)));

    const QByteArray before = fx.st->bank1.filled();
    const image::BuildResult r = image::Build_Bin(*fx.st);
    const image::BankBuffer& bank = fx.st->bank1;
    if (!r.ok) {
        if (r.error.isEmpty() || bank.filled() != before)
            std::abort();
        return 0;
    }
    if (bank.length() != c.length)
        std::abort();
    const uint8_t* rec = bank.data() + c.recordOffset;
    if (image::byteSum(rec, 2044) != image::readLE32(rec + 2044))
        std::abort();
    return 0;
}
