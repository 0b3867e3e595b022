#include "image/ImageBuilder.h"

#include "image/CanImage.h"
#include "image/CanopenImage.h"
#include "image/DeviceNetImage.h"
#include "image/DmxImage.h"
#include "image/FieldbusSlaveImages.h"
#include "image/KnxImage.h"
#include "image/MBusImages.h"
#include "image/ModbusImages.h"
#include "image/SnmpImages.h"
#include "parameters/ParGen.h"
#include "parameters/ParGenCheck.h"
#include "parameters/ParGenFile.h"
#include "platform/fs/Files.h"
#include "platform/text/UserError.h"
#include "workspace/Workspace.h"

#include <QByteArray>
#include <memory>
#include <optional>
#include <vector>

namespace image {

namespace {

using BuildRoutine = void (*)(ImageState&);

struct BankFile {
    QString name;
    QByteArray bytes;
};

void buildMasterImages(ImageState& st) { Build_Bin_QV(st.qv, workspace::ws().Converter_Type); }

// The files of the M-Bus master models: bank3.bin, and bank4.bin with the object names of the
// BACnet model 1001. Written, and their failures reported, like every other bank file.
void Save_Bin_QV(const ImageState& st, std::vector<BankFile>& files)
{
    files.push_back({QStringLiteral("bank3.bin"), st.qv.bank3.filled()});
    if (workspace::ws().Converter_Type == 1001)
        files.push_back({QStringLiteral("bank4.bin"), st.qv.bank4.filled()});
}

// The build routine of each device type; none for the models without an image of this program
// (10, 13, 14, 15) and for unknown types.
BuildRoutine buildRoutine(int32_t type)
{
    switch (type) {
    case 0: return &Build_Bin_Modbus_Master;
    case 2: return &Build_Bin_Modbus_Slave;
    case 3: return &Build_Bin_Modbus_TCP_Master;
    case 4: return &Build_Bin_Modbus_TCP_Slave;
    case 6: return &Build_Bin_PROFIBUS;
    case 7: return &Build_Bin_CAN;
    case 8: return &Build_Bin_CANopen;
    case 9: return &Build_Bin_PROFINET;
    case 11: return &Build_Bin_DeviceNet;
    case 12: return &Build_Bin_EtherNetIP;
    case 16: case 2016: return &Build_Bin_KNX;
    case 17: return &Build_Bin_SNMP_Agent;
    case 18: return &Build_Bin_DMX;
    case 19: return &Build_Bin_SNMP_Manager;
    case 1: case 20: return &Build_Bin_MBus;
    case 21: return &Build_MBus_Bank;
    case 1001: case 1002: case 1003: return &buildMasterImages;
    default: return nullptr;
    }
}

// The bank files of each device type, in the order they are written; none where the type has
// no build routine.
std::vector<BankFile> bankFiles(int32_t type, const ImageState& st)
{
    std::vector<BankFile> files;
    switch (type) {
    case 0:
    case 2:
    case 3:
    case 4:
    case 6:
    case 7:
    case 8:
    case 9:
    case 11:
    case 12:
    case 16:
    case 2016:
    case 17:
    case 18:
    case 19:
        files.push_back({QStringLiteral("bank1.bin"), st.bank1.filled()});
        break;
    case 1:
    case 20:
        // Only the BACnet/IP build makes a bank2.
        files.push_back({QStringLiteral("bank1.bin"), st.bank1.filled()});
        if (st.mbusBacnetType == 0)
            files.push_back({QStringLiteral("bank2.bin"), st.bank2.filled()});
        files.push_back({QStringLiteral("bank3.bin"), st.bank3.filled()});
        break;
    case 21:
        files.push_back({QStringLiteral("bank1.bin"), st.bank3.filled()});
        files.push_back({QStringLiteral("bank_T.bin"), QByteArray("\x01\x00\x00\x00", 4)});
        break;
    case 1001:
    case 1002:
    case 1003:
        Save_Bin_QV(st, files);
        break;
    default:
        break;
    }
    return files;
}

// A device instance that the general parameters refuse (a file edited by hand) is refused here
// with their message: the image would carry it wrapped into 32 bits. A file that cannot be read
// is left to the build routines, which name it.
std::optional<QString> deviceInstanceError(int32_t type)
{
    parameters::ParGenFile file;
    if (file.load(workspace::ws().Path_ParGen) != parameters::ParGenFile::Status::Loaded)
        return std::nullopt;
    const parameters::CheckResult r = parameters::checkDeviceInstance(parameters::readParGen(file, type), type);
    if (r.ok)
        return std::nullopt;
    return r.message();
}

} // namespace

ImageState& state()
{
    static const std::unique_ptr<ImageState> s = std::make_unique<ImageState>();
    return *s;
}

BuildResult Build_Bin(ImageState& st)
{
    const int32_t type = workspace::ws().Converter_Type;
    st.Desc_Chars_Limit_Flag = 0;
    st.builtType.reset();
    const BuildRoutine routine = buildRoutine(type);
    if (!routine) {
        st.builtType = type;
        return {};
    }
    if (const std::optional<QString> error = deviceInstanceError(type))
        return {false, *error};
    // A build that fails is never saved. The routines read and check every file before they
    // write the first byte of a bank (the M-Bus converters build their bank3 before they check
    // their BACnet side).
    try {
        routine(st);
    } catch (const platform::UserError& e) {
        return {false, e.message()};
    }
    st.builtType = type;
    return {};
}

SaveResult Save_Bin(ImageState& st)
{
    const workspace::Workspace& w = workspace::ws();
    const int32_t type = w.Converter_Type;
    const std::vector<BankFile> files = bankFiles(type, st);
    if (files.empty())
        return {};
    if (st.builtType != type)
        return {false, QStringLiteral("The configuration image has not been built; no bank file was written."), {}};
    if (w.Project_Dir.isEmpty())
        return {false, QStringLiteral("No project is open; no bank file was written."), {}};
    const QString binDir = platform::joinPath(w.Project_Dir, QStringLiteral("bin"));
    if (!platform::folderExists(binDir))
        return {false, QStringLiteral("The folder %1 does not exist; no bank file was written.").arg(binDir), {}};

    SaveResult result;
    for (const BankFile& f : files) {
        const QString path = platform::joinPath(binDir, f.name);
        QString why;
        if (!platform::writeWholeFile(path, f.bytes, &why)) {
            result.ok = false;
            result.error = QStringLiteral("The file %1 cannot be written: %2").arg(path, why);
            return result;
        }
        result.files.append(path);
    }
    return result;
}

} // namespace image
