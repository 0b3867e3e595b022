#pragma once
// What the update wizards hand on for each device type: the model code of the address prompt,
// which updater takes the images, and the file names involved.
#include <QString>
#include <cstdint>

namespace update {

enum class UpdaterKind {
    None,             // not a model: Update does nothing
    CommonXml,        // Ethernet_Update.xml through Compile_XML_Parameter, then Ethernet_Update.exe
    CommonXml102,     // the same through Compile_XML_Parameter_102
    OwnBankImage,     // the model's own updater, given bank1.bin and the BACnet type
    OwnBinFolder,     // the model's own updater, given the project's bin folder
};

struct EthernetTarget {
    UpdaterKind kind = UpdaterKind::None;
    QString modelCode;    // " GX30115": shown after text 58, begins with a blank
    QString updaterFile;  // own updater's file name in the program folder
    QString firmwareFile; // firmware image in the MASTER folder ("sim30115.sim")
};

EthernetTarget ethernetTarget(int32_t deviceType);

// The wizards' four check boxes: what to write and what to read back after writing.
struct UpdateChoices {
    bool firmware = true;          // CB_Firmware
    bool readFirmware = true;      // CB_Read_Firm
    bool configuration = true;     // CB_Conf
    bool readConfiguration = true; // CB_Read_Conf
};

// The common Ethernet updater and its settings file, both in the program folder.
inline QString commonUpdaterFile() { return QStringLiteral("Ethernet_Update.exe"); }
inline QString commonUpdaterSettingsFile() { return QStringLiteral("Ethernet_Update.xml"); }

// The serial updater (device types 1 and 20) and its firmware image.
inline QString serialUpdaterFile() { return QStringLiteral("Ser_30102_Update.exe"); }
inline QString serialFirmwareFile() { return QStringLiteral("sim30102_Ser.sim"); }

// The gateway's boot port that the own Ethernet updaters are given.
inline QString bootPort() { return QStringLiteral("2007"); }

} // namespace update
