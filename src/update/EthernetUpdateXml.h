#pragma once
// The settings file of the common Ethernet updater, Ethernet_Update.xml: which gateway to reach,
// which memory areas to protect and which files to write to which addresses. Written whole each
// time the user clicks Update; nothing in this program reads it back.
#include "update/IpAddress.h"
#include "update/UpdateTargets.h"

#include <QString>
#include <cstdint>
#include <optional>

namespace platform {
class XmlDocument;
}

namespace update {

struct EthernetUpdateRequest {
    int32_t deviceType = 0;
    Ipv4Address address;   // the wizard's address fields
    UpdateChoices choices;
    uint32_t bacnetType = 0; // BACnet_Type of the project's general parameters
    QString masterDir;
    QString projectDir;
    QString pathParGen;        // device type 1001: the gateway's BACnet/IP address
    QString pathMBusCustomQV;  // device types 1001-1003: the converter index
};

// Fill `doc` (cleared first) with the settings of device types 0, 2, 4, 6, 7, 8, 11, 12, 17, 19,
// 20, 21, 1001, 1002 and 1003, and of device type 1. A project file that exists but cannot be
// read as XML throws platform::UserError; missing files, elements and numbers take defaults.
void buildEthernetUpdate(const EthernetUpdateRequest& request, platform::XmlDocument& doc);
void buildEthernetUpdate102(const EthernetUpdateRequest& request, platform::XmlDocument& doc);

// Build and save to `path` through a temporary file; a failed save throws platform::UserError.
void Compile_XML_Parameter(const EthernetUpdateRequest& request, const QString& path);
void Compile_XML_Parameter_102(const EthernetUpdateRequest& request, const QString& path);

// Index of the converter variant in the project's device list (Type_Converter/Index): 0 when the
// file, an element or the number is missing. Throws platform::UserError on a file that is not XML.
int32_t readConverterIndex(const QString& pathMBusCustomQV);

// The gateway's BACnet/IP address from the general parameters (BACnet_IP1..4, defaults 192, 168,
// 0 and 5), or no value when the file does not exist. Throws on a file that is not XML.
std::optional<QString> readBACnetIpAddress(const QString& pathParGen);

} // namespace update
