#pragma once
// The customer configuration of the M-Bus master models (device types 1001-1003) without its
// window: the converter variants and their capacities, the checks of a device's fields and of the
// whole configuration, adding and modifying a device from its template, the bytes a PROFINET
// configuration uses (1002) and the byte limit and count kept in ParGen.xml, and the list of
// templates the window offers.
//
// A device's variables are the variables of its template (those whose `FrameNumber` is not "0"),
// in template order; see mbus/DeviceList.h.
#include "mbus/DeviceList.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <vector>

namespace mbus::master {

// --- converter variants ---------------------------------------------------------------------

constexpr int kConverterVariants = 5;

// The five order codes the variant list holds for the device type (1002 and 1003 have their own).
QStringList converterCodes(int32_t deviceType);

struct Capacity {
    int heatingControllers;
    int devices;
};
// The capacities of a variant; an index outside 0..4 (no variant chosen) gets those of index 0.
Capacity converterCapacity(int index);

// A device whose template's kind is 1 or above 5 is a heating controller.
bool isHeatingController(int32_t deviceKind);

// --- a device's fields ------------------------------------------------------------------------

// What the left panel of the window holds.
struct DeviceFields {
    QString templateName; // the template list's text
    QString description;
    int32_t idType = 0;   // 0 primary, 1 secondary address
    QString idMBus = QStringLiteral("1");
    bool nodeState = false;
    bool ideNumber = false;
    QString msb = QStringLiteral("1");
    QString sst = QStringLiteral("1");
    QString thirdField = QStringLiteral("1");
};

// The fields of a device as the window shows them.
DeviceFields fieldsOf(const TDevice_QV& device);

// The UI text of the first field that fails (1215 .. 1220), or none.
std::optional<int> checkDeviceFields(const DeviceFields& fields);

// A new device from the fields (`Add_Device`): the template's kind and variables when its file is
// in `templateDir`, no variables otherwise. Throws platform::UserError when the template cannot be
// read.
TDevice_QV deviceFromFields(const DeviceFields& fields, const QString& templateDir);

// Overwrites a device with the fields (`Modify_Device`). When the template's file is there, its
// kind is taken and its variables rewrite the device's in place (keeping each `Enable`), new ones
// are appended and surplus ones removed from the end; otherwise the variables stay. Throws
// platform::UserError, leaving the device unchanged, when the template cannot be read.
void modifyDevice(TDevice_QV& device, const DeviceFields& fields, const QString& templateDir);

// --- the grids' rows --------------------------------------------------------------------------

// The nine cells of a device's row: template, ID type, ID, NS, IN, MSB, SST, third field,
// description ("Y" / "N" for the two flags; `primary` and `secondary` are the ID type texts).
QStringList deviceRowTexts(const TDevice_QV& device, const QString& primary, const QString& secondary);
// The ten cells of a variable's row, numbered from 1: N, Enable, frame, position, object type,
// post operation, write frame, unit, object name, description.
QStringList variableRowTexts(const TVar_Dev& variable, int number);

// --- bytes (device type 1002) -----------------------------------------------------------------

// 4 bytes per Node State and Identification Number a device publishes and per variable of object
// type 2, 13 or 23 (analog value, multi-state input, accumulator).
int32_t Used_Bytes(const std::vector<TDevice_QV>& devices);

constexpr int32_t kDefaultByteLimit = 1439;

struct ByteLimit {
    int32_t Num_Byte_Max = kDefaultByteLimit;
    bool Auto_Calc_Byte = false; // the count is written back into ParGen.xml
};
// The limit kept in ParGen.xml ("PROFINET_NB_OUT", "PROFINET_AUTO_CALC_BYTE_USED"); with the
// automatic count on the limit is 1439 whatever the file says. A missing or damaged file gives the
// defaults.
ByteLimit Load_Num_Byte_ParGen(const QString& parGenPath);

// Writes the count into "PROFINET_NB_OUT" of ParGen.xml (appending the key at the end of the root
// when it is missing) and saves the file whole, every other node as it was. Nothing happens when
// the file does not exist. Throws platform::UserError, leaving the file as it was, when it cannot
// be read, is damaged or cannot be written.
void Save_Num_Byte_ParGen(const QString& parGenPath, int32_t usedBytes);

// --- the whole configuration ----------------------------------------------------------------

// The message of the first failure of the OK check (`Check_Configuration`): too many heating
// controllers (1280), too many devices (1281), and for device type 1002 a count not below the
// limit (1927 followed by the limit). None when the configuration passes.
std::optional<QString> Check_Configuration(const std::vector<TDevice_QV>& devices, int converterIndex,
                                           int32_t deviceType, const ByteLimit& limit);

// --- templates -------------------------------------------------------------------------------

// The templates the window offers: the "*.xml" files of the folder (letter case of the extension
// ignored), no folders, no read-only files, sorted by name ignoring letter case.
QStringList templateFileList(const QString& templateDir);

// The devices of a device list whose template is no longer in the folder, one line each
// ("device 2 (ID 7): Meter.xml"), in list order.
QStringList devicesWithoutTemplate(const DeviceListTexts& texts, const QString& templateDir);

} // namespace mbus::master
