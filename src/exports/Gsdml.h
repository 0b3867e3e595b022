#pragma once
// The PROFINET GSDML file (the XML device description of PROFINET IO) of the two PROFINET
// models: device type 9 (BACnet / PROFINET) and 1002 (PROFINET / M-Bus master). One fixed
// document per model with the station name and the lengths of the input and output data item
// from the general parameters; UTF-8 text with a byte-order mark and CR LF lines.
//
// The file is named after the GSDML convention, "GSDML-V2.31-<vendor>-<device>", an optional
// free part and the date: the name window composes it, Create_PROFINET_XML asks for the folder.
#include <QDate>
#include <QString>
#include <QStringList>
#include <cstdint>

namespace exports {

namespace gsdml_txt {
constexpr int FileExists = 790; // "File already exists! Do you want to overwrite the file?"
} // namespace gsdml_txt

struct GsdmlValues {
    int32_t inputLength = 1439;
    int32_t outputLength = 1439;
    QString stationName;
};

// The values of device type 9 (output length from PROFINET_NB_IN) and of 1002 (both lengths
// from PROFINET_NB_OUT). Throws platform::UserError when ParGen.xml cannot be read.
GsdmlValues Read_PROFINET_Parameters();
GsdmlValues Read_PROFINET_MBus_Parameters();

// The station name as an attribute value: the five XML special characters as entities, and
// every character outside ASCII as a character reference, so the file reads the same whether
// a reader goes by its byte-order mark or by its declaration.
QString xmlAttributeText(const QString& text);

// The document's lines for device type 1002, or for 9 given any other type.
QStringList gsdmlLines(int32_t deviceType, const GsdmlValues& values);

// Write the document; throw platform::UserError naming the file when it cannot be written.
void Write_GSDML_BACnet(const QString& fileName);
void Write_GSDML_MBus(const QString& fileName);

// The parts of the file name: the fixed prefix of the device type and the date suffix
// ("-yyyyMMdd.xml").
QString gsdmlFileNamePrefix(int32_t deviceType);
QString gsdmlFileNameSuffix(const QDate& date);
// The composed name: prefix and suffix alone when the free part is empty or only blanks; the
// free part as typed after the prefix when it begins with "_", else after an added "_".
QString composeGsdmlFileName(const QString& prefix, const QString& freePart, const QString& suffix);

// The request: the save dialog (only its folder is used), the overwrite question, the file.
// A name holding "/" is refused with an error naming it.
void Create_PROFINET_XML(const QString& fileName);

} // namespace exports
