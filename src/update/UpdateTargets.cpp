#include "update/UpdateTargets.h"

namespace update {

namespace {

struct Row {
    int32_t deviceType;
    const char* model; // model number of the code and, unless given, of the firmware image
    UpdaterKind kind;
    const char* updater = nullptr;
    const char* firmware = nullptr; // firmware model number when it differs from the model
};

constexpr Row kRows[] = {
    {0, "30113", UpdaterKind::CommonXml},
    {1, "30102", UpdaterKind::CommonXml102},
    {2, "30114", UpdaterKind::CommonXml},
    {3, "30115", UpdaterKind::OwnBankImage, "TCP_30115_Update.exe"},
    {4, "30116", UpdaterKind::CommonXml},
    {6, "30117", UpdaterKind::CommonXml},
    {7, "30118", UpdaterKind::CommonXml},
    {8, "30119", UpdaterKind::CommonXml},
    {9, "30120", UpdaterKind::OwnBankImage, "TCP_30120_Update.exe"},
    {10, "30121", UpdaterKind::OwnBinFolder, "TCP_30121_Update.exe"},
    {11, "30122", UpdaterKind::CommonXml},
    {12, "30123", UpdaterKind::CommonXml},
    {13, "30124", UpdaterKind::OwnBinFolder, "TCP_30124_Update.exe"},
    {14, "30125", UpdaterKind::OwnBinFolder, "TCP_30125_Update.exe"},
    {15, "30126", UpdaterKind::OwnBinFolder, "TCP_30126_Update.exe"},
    {16, "30132", UpdaterKind::OwnBankImage, "TCP_30132_Update.exe"},
    {17, "30127", UpdaterKind::CommonXml},
    {18, "30112", UpdaterKind::OwnBankImage, "TCP_30112_Update.exe"},
    {19, "30107", UpdaterKind::CommonXml},
    {20, "30133", UpdaterKind::CommonXml},
    {21, "30104", UpdaterKind::CommonXml},
    {1001, "30128", UpdaterKind::CommonXml},
    {1002, "30130", UpdaterKind::CommonXml},
    {1003, "30129", UpdaterKind::CommonXml},
    {2016, "30134", UpdaterKind::OwnBankImage, "TCP_30132_Quendal_Update.exe", "30132"},
};

} // namespace

EthernetTarget ethernetTarget(int32_t deviceType)
{
    for (const Row& r : kRows) {
        if (r.deviceType != deviceType)
            continue;
        EthernetTarget t;
        t.kind = r.kind;
        t.modelCode = QStringLiteral(" GX") + QLatin1String(r.model);
        if (r.updater) {
            t.updaterFile = QLatin1String(r.updater);
            t.firmwareFile = QStringLiteral("sim%1.sim").arg(QLatin1String(r.firmware ? r.firmware : r.model));
        }
        return t;
    }
    return {};
}

} // namespace update
