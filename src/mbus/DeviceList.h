#pragma once
// The device list of an M-Bus master project (device types 1001-1003), M_Bus_Custom_QV.xml:
// the converter variant and, per configured meter, its template, its M-Bus address and the
// three numbers that complete the object names of its variables.
//
// The file: a root `Configuration_MBus_BACnet` holding `Type_Converter`/`Index` and
// `List_Devices` with one `Device` per meter; after the root the comment "SW_VERSION = 2.001".
// Every value is the text of an element. A device's `List_Vars` holds one `Var` (with `Enable`)
// per variable of its template (the template variables whose `FrameNumber` is not "0"), paired
// by order.
//
// The readers take the document element as the root, and only `Device` and `Var` elements as
// items of their lists.
#include "mbus/Template.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace mbus {

// One variable of a configured device, built from a template variable.
struct TVar_Dev {
    bool Enable = true;
    int32_t Frame_Num = 0;
    int32_t Position = 0;
    int32_t Object_Type = 0;
    int32_t Post_Ope = 0;
    QString Frame; // write frame, "10 FB "
    int32_t Units = 0;
    QString ObjectName; // completed with the device's MSB, SST and third field
    QString Description;

    bool operator==(const TVar_Dev&) const = default;
};

// One configured device.
struct TDevice_QV {
    QString Template_File; // file name in the template folder
    QString Description;
    int32_t ID_Type = 0;   // 0 primary, 1 secondary address
    QString ID_MBus = QStringLiteral("1");
    bool Node_State = false;
    bool Ide_Number = false;
    QString MSB = QStringLiteral("0");
    QString SST = QStringLiteral("0");
    QString Third_Field = QStringLiteral("0");
    int32_t Device_Type = 0; // the template's device kind
    std::vector<TVar_Dev> Vars_List;

    void Delete_Vars_List() { Vars_List.clear(); }
    bool operator==(const TDevice_QV&) const = default;
};

// A device variable made from a template variable, its object name completed with the device's
// MSB, SST and third field; `Enable` true.
TVar_Dev deviceVariable(const TemplateVariable& variable, const QString& msb, const QString& sst,
                        const QString& thirdField);

// The bytes of the file for the devices and the converter variant's index.
QByteArray deviceListXml(const std::vector<TDevice_QV>& devices, int32_t converterIndex);
// Writes the file whole; throws platform::UserError when it cannot be written.
void Save_Configuration(const QString& path, const std::vector<TDevice_QV>& devices, int32_t converterIndex);

// The device list as its texts; readers apply their own defaults and checks.
struct DeviceTexts {
    ElementTexts values; // Template, Description, ID_Type, ID_MBus ...
    bool hasListVars = false;
    std::vector<std::optional<QString>> vars; // `Enable` of each `Var` of `List_Vars`
};

struct DeviceListTexts {
    std::optional<QString> index; // Type_Converter/Index
    std::vector<DeviceTexts> devices;
};

// Parses the bytes of a device list; throws platform::UserError with the parser's message when
// they are not well-formed XML.
DeviceListTexts parseDeviceListTexts(const QByteArray& bytes, const QString& fileName);
// Reads the file; no file gives no value, a file that cannot be read or parsed throws.
std::optional<DeviceListTexts> readDeviceListTexts(const QString& path);

struct DeviceList {
    // The converter variant: no value when there is no file (the window keeps its choice),
    // 0 when the file holds no index or no number.
    std::optional<int32_t> converterIndex;
    std::vector<TDevice_QV> devices;
};

// The window's reading: the devices of the file whose template is in `templateDir`, each with
// the variables of its template as it is now. A device whose template is missing is left out.
// Throws platform::UserError when the list or a template cannot be read.
DeviceList devicesFromTexts(const DeviceListTexts& texts, const QString& templateDir);
DeviceList Load_Configuration(const QString& path, const QString& templateDir);

} // namespace mbus
