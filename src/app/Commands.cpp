#include "app/Commands.h"

#include "parameters/ParGenFile.h"
#include "platform/text/Text.h"
#include "workspace/DeviceTypes.h"
#include "workspace/Workspace.h"

namespace app {

QString notAvailableText() { return QStringLiteral("Error! This function is not available in this build."); }

WizardChoice chooseUpdateWizard(int32_t deviceType, int bacnetType)
{
    switch (deviceType) {
    case 1:
    case 20:
        // BACnet MS/TP and the other serial BACnet types go through the serial updater.
        if (bacnetType != 0 && bacnetType != 2)
            return {UpdateWizard::Serial, false};
        return {UpdateWizard::Ethernet, false};
    case 0: case 2: case 3: case 4: case 6: case 7: case 8: case 9: case 11: case 12:
    case 16: case 17: case 18: case 19: case 21: case 2016:
        return {UpdateWizard::Ethernet, true};
    default:
        return {UpdateWizard::Ethernet, false};
    }
}

bool hasConfigurationImage(int32_t deviceType)
{
    switch (deviceType) {
    case 10: case 13: case 14: case 15: return false;
    default: return true;
    }
}

namespace {
// The text of "BACnet_Type" in the project's ParGen.xml, read as every other reader of the file
// reads it; no value when the file, its root or the key is missing, or the file is damaged.
std::optional<QString> parGenBACnetTypeText()
{
    parameters::ParGenFile file;
    if (file.load(workspace::ws().Path_ParGen) != parameters::ParGenFile::Status::Loaded)
        return std::nullopt;
    return file.keyText(QStringLiteral("BACnet_Type"));
}
} // namespace

int Get_Type_BACnet()
{
    const std::optional<QString> t = parGenBACnetTypeText();
    return t ? platform::toIntDef(*t, 0) : 0;
}

std::optional<bool> bdtButtonEnabled(int32_t deviceType)
{
    if (deviceType != 8)
        return std::nullopt;
    const std::optional<QString> t = parGenBACnetTypeText();
    return !t || *t == QStringLiteral("0");
}

QString csvExportFileName(const QString& chosen)
{
    if (platform::upperAscii(chosen.right(4)) == QStringLiteral(".CSV"))
        return chosen;
    return chosen + QStringLiteral(".csv");
}

QString makerPageUrl(int32_t deviceType)
{
    if (deviceType == 2016)
        return {};
    const workspace::StepLayout l = workspace::layoutFor(deviceType);
    if (!l.known)
        return {};
    return QStringLiteral("https://www.ostrelcorp.com/products?code=") + l.SW_Code;
}

} // namespace app
