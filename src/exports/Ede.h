#pragma once
// The BACnet EDE list (engineering data exchange, layout 2): a header of key lines, two
// comment lines and one line per BACnet object (key name, device instance, object name, object
// type number, instance, description, unit code), semicolon-separated, Windows-1252 text with
// CR LF lines. BACnet engineering tools import it.
//
// Device types 1 and 21 list their M-Bus network, 1001 its device list with the templates it
// names, every other model its BACnet object table.
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <initializer_list>
#include <vector>

#include "exports/MBusObjects.h"

namespace exports {

struct TBACnet_EDE_Obj {
    QString Keyname;
    QString DevObjInstance;
    QString ObjectName;
    QString ObjectType;     // BACnet object type number
    QString ObjectInstance;
    QString Description;
    QString UnitCode;       // BACnet engineering-unit number
};

// The gateway's BACnet device as the list names it.
struct EdeDevice {
    QString instance;        // text of the device instance; empty without general parameters
    int nameLength = 16;     // 32 with the longer object names
    int32_t numericInstance = 1; // the instance as a number (1 when it is not one)
};

// The model code in the first line ("GX30115" for device type 3; empty for unlisted types).
QString edeModelCode(int32_t deviceType);
// Lines 1 to 7: project, version, time stamp of `now`, author, layout and the two comments.
QStringList edeHeaderLines(int32_t deviceType, const QString& projectName, const QDateTime& now);

// The device from the general parameters. `serialTypes` are the BACnet types that take the
// MS/TP device instance. Throws platform::UserError when ParGen.xml cannot be read.
EdeDevice edeDevice(std::initializer_list<int> serialTypes);

// M-Bus variant: wired meters first, then wireless ones, then the four command objects.
std::vector<TBACnet_EDE_Obj> edeMBusObjects(const EdeDevice& device, const std::vector<TMBus_Nod>& nodes);
// Table variant: the rows of both sections of the BACnet object table at `tablePath`.
std::vector<TBACnet_EDE_Obj> edeTableObjects(const EdeDevice& device, const QString& tablePath);

// The object type number of a table row's data type (trimmed, any letter case); 0 for a text
// outside the known ones.
int edeObjectType(const QString& dataType);

// Device-list variant (device type 1001): the converter-reset object, then the variables of
// each device's template.
std::vector<TBACnet_EDE_Obj> edeDeviceListObjects();

QStringList edeObjectLines(const std::vector<TBACnet_EDE_Obj>& objects);

// Writes the EDE list of the open project, its time stamp from the program's clock. Throws
// platform::UserError, with nothing written, when a project file cannot be read or the file
// cannot be written.
void Write_BACnet_EDE_File(const QString& fileName);

} // namespace exports
