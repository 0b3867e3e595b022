#pragma once
// Device templates of the M-Bus master models (device types 1001-1003): one XML file per kind of
// meter in the TEMPLATE folder, shared by every project. A template says which values the
// gateway takes out of the meter's answer frames (`TStruct_BACnet`, one per data point) and
// which request frames it sends to get them (`TStruct_MBus`, one per request step).
//
// The file: a root `Template` holding `List_Variables` (one `Var` per variable), `List_Requests`
// (one `Request` per step) and `Device_Type`/`Type`; every value is the text of an element,
// frames are one `Byte_Frame` element per byte. The first two variables stand for the meter's
// Node State and Identification Number and carry `FrameNumber` "0": every reader recognises
// such a leading row by that exact text and leaves it out of the device's variables, which are
// the remaining `Var` elements in file order. Device lists and images pair their variables by
// this rule.
//
// The readers take the document element as the root, and only elements named `Var`, `Request`
// and `Byte_Frame` as items of their lists (a comment among them is not an item).
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace mbus {

// One template variable (a data point).
struct TStruct_BACnet {
    int32_t FrameNumber = 0; // answer frame holding the value; 0 for the two leading rows
    int32_t PositionInFrame = 0;
    int32_t Dimension = 0;   // bytes
    int32_t UsedInMoreVars = 0;
    int32_t ObjectType = 0;  // BACnet object type number
    int32_t PostOperation = 0;
    int32_t LengthWriteFrame = 0;
    std::vector<uint8_t> WriteFrame;
    int32_t Units = 0;
    int32_t Options = 0;     // 3: the variable has a write frame
    QString ObjectName;      // the pattern as typed, markers included
    QString ON_Split1;
    QString ON_Split2;
    QString ON_Split3;
    QString ON_Split4;
    QString Description;

    bool operator==(const TStruct_BACnet&) const = default;
};

// One request step.
struct TStruct_MBus {
    int32_t Step = 0;
    int32_t FrameNumber = 0;
    int32_t FrameLength = 0;
    std::vector<uint8_t> Frame;
    int32_t ByteToChange = 0;
    int32_t Reply = 0; // 229 (E5, the single-character acknowledgement) or 255
    int32_t NextStep = 0;
    int32_t VariablesForFrame = 0;

    bool operator==(const TStruct_MBus&) const = default;
};

// The bytes of a template file for the two lists; the device kind is always written as "0".
QByteArray templateXml(const std::vector<TStruct_BACnet>& variables, const std::vector<TStruct_MBus>& requests);
// Writes the file whole; throws platform::UserError when it cannot be written.
void Create_Template_XML_File(const QString& file_Template, const std::vector<TStruct_BACnet>& variables,
                              const std::vector<TStruct_MBus>& requests);

// --- object names ---------------------------------------------------------------------------

// The pieces of an object-name pattern around its markers "xx'", "yy'" and "zzz'" (looked for in
// this order, each after the previous one). The apostrophe of each marker stays at the head of
// the following piece; every piece is trimmed. No value when a marker is missing; `failedSplit`
// then gets 1, 2 or 3 (the marker not found).
std::optional<std::array<QString, 4>> Split_Object_Name(const QString& pattern, int* failedSplit = nullptr);
// The text with "0" put in front until it has at least `width` characters.
QString Pad_Zero_Left(const QString& text, int width);
// ON_Split1 + MSB + ON_Split2 + SST + ON_Split3 + third field + ON_Split4, with MSB and SST
// padded to 2 characters and the third field to 3.
QString completedObjectName(const std::array<QString, 4>& splits, const QString& msb, const QString& sst,
                            const QString& thirdField);

// --- frames as text ---------------------------------------------------------------------------

// Each byte as two upper-case hexadecimal digits (more above 255) and a blank: "10 FB ".
QString frameDisplayText(const std::vector<int32_t>& bytes);
// A frame typed in hexadecimal, two characters per byte without blanks; an odd count gets a "0"
// in front. No value when a pair is not a hexadecimal number; the empty text gives no bytes.
std::optional<std::vector<uint8_t>> frameFromHexText(const QString& text);

// --- reading ----------------------------------------------------------------------------------

// The texts of an element's child elements, the first of each name.
class ElementTexts {
public:
    std::optional<QString> value(const QString& element) const;
    void set(const QString& element, const QString& text);

private:
    std::vector<std::pair<QString, QString>> values_;
};

// The texts of a `Var` or a `Request`, and for `Frame` the texts of its `Byte_Frame` children.
// Readers apply their own defaults and checks.
class TemplateItemTexts : public ElementTexts {
public:
    bool hasFrame() const { return hasFrame_; }
    const QStringList& frame() const { return frame_; }
    void setFrame(const QStringList& bytes);

private:
    QStringList frame_;
    bool hasFrame_ = false;
};

struct TemplateTexts {
    std::optional<QString> deviceType; // Device_Type/Type
    bool hasListVariables = false;
    bool hasListRequests = false;
    std::vector<TemplateItemTexts> variables; // every Var, the leading rows included
    std::vector<TemplateItemTexts> requests;
};

// True for a leading row: a `FrameNumber` text of exactly "0" ("00" is not one).
bool isLeadingRow(const TemplateItemTexts& var);

// Parses the bytes of a template; throws platform::UserError with the parser's message when
// they are not well-formed XML.
TemplateTexts parseTemplateTexts(const QByteArray& bytes, const QString& fileName);
// Reads a template file; throws platform::UserError when it cannot be read or parsed.
TemplateTexts readTemplateTexts(const QString& path);

// The path of a template in the template folder. A file of exactly that name wins; otherwise a
// file whose name differs only in letter case (projects come from case-insensitive file
// systems). Empty when there is none, and for a name that is not a plain file name (holding a
// "/" or "\", or "." or ".."), so a device list never reaches a file outside the folder.
QString findTemplateFile(const QString& templateDir, const QString& name);

// A device variable as the windows and the register map show it (the variables whose
// `FrameNumber` is not "0").
struct TemplateVariable {
    int32_t FrameNumber = 1;
    int32_t PositionInFrame = 1;
    int32_t ObjectType = 0;
    int32_t PostOperation = 0;
    int32_t Units = 0;
    QString Frame;   // frameDisplayText of the write frame
    std::array<QString, 4> splits;
    QString Options; // the text, as the register map reads it
    QString Description;
};

// The device kind (`Device_Type`/`Type`, 0 when it is not a number) and the device variables of
// a template.
int32_t templateDeviceKind(const TemplateTexts& t);
std::vector<TemplateVariable> templateVariables(const TemplateTexts& t);

} // namespace mbus
