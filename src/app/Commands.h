#pragma once
// The decisions behind the main window's commands, on plain data: which update wizard a
// model gets, the BACnet type of the open project, the state of the BDT button, the naming of
// CSV exports and the maker's web page. The window only shows and asks.
#include <QString>
#include <cstdint>
#include <optional>

namespace app {

// Texts of the main window's messages (indexes into the UI-text table).
namespace txt {
constexpr int NoConfiguration = 9;      // "None Configuration Opened "
constexpr int UseStep1 = 10;            // "Use Step1 to open or create new configuration"
constexpr int OpenedConfiguration = 11; // "Opened Configuration of the Converter : "
constexpr int ProjectNotValid = 18;     // "Error! Project not Valid"
constexpr int NewVersion = 19;          // "New Version Available. Click Here for more Details"
constexpr int FileExists = 21;          // "The File already exists! Do you want to overwrite the file?"
constexpr int MBusExists = 1278;        // "M_Bus network configuration already exists ..."
} // namespace txt

// Shown for a command whose window or writer is not part of this build.
QString notAvailableText();

enum class UpdateWizard { Ethernet, Serial };
struct WizardChoice {
    UpdateWizard wizard = UpdateWizard::Ethernet;
    bool setsBACnetType = false; // the Ethernet wizard is told the project's BACnet type first
    bool operator==(const WizardChoice&) const = default;
};
// The wizard that takes the images of a device type whose project has `bacnetType`.
WizardChoice chooseUpdateWizard(int32_t deviceType, int bacnetType);

// Device types whose gateway takes a configuration image from this program.
bool hasConfigurationImage(int32_t deviceType);

// "BACnet_Type" of the project's ParGen.xml (`Path_ParGen`): 0 when the file is missing,
// unreadable, not well-formed, has no such key or a text that is not a whole number.
int Get_Type_BACnet();

// The state of Btn_BACnet_BDT_Access for the open project; no value for the device types whose
// button keeps its state (all but 8). Enabled unless ParGen.xml says "BACnet_Type" is a text
// other than "0" (BACnet/IP is 0; the table serves only BACnet/IP).
std::optional<bool> bdtButtonEnabled(int32_t deviceType);

// The file a CSV export writes when the user chose `chosen`: ".csv" is appended unless the
// name already ends in ".csv" in any letter case.
QString csvExportFileName(const QString& chosen);

// The maker's web page of a model, carrying its software code; empty for the partner-branded
// model and for unknown types (the click then does nothing).
QString makerPageUrl(int32_t deviceType);

} // namespace app
