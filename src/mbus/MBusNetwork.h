#pragma once
// The M-Bus network of a project (device types 1, 20 and 21): nodes (`TNodo`), each with its
// variables (`TVariabile`), kept in the project file M_Bus.xml.
//
// The file: a root element "M-Bus_Network" holding one `Nodo` element per node, each holding
// one `Variabile` element per variable; every value is an attribute, numbers in decimal, flags
// "1" or "0"; after the root one comment "SW_VERSION = 1.005" (device type 21) or
// "SW_VERSION = 1.509" (every other type). The wireless attributes are written for device type
// 21 only. The network editor writes the whole file; the editor, the image builder and the
// exports read it.
//
// Every reader takes the document element as the root, so a declaration or a comment before it
// never makes the network look empty (an editor would then save the empty network over the
// user's one). The children of the root are the nodes and the children of a node its
// variables, whatever their element names.
#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace mbus {

// One variable of a node: a value taken out of the meter's answer.
struct TVariabile {
    bool Enable = false;
    QString Description;
    int32_t Type_Of_Data = 0;   // index in typeOfDataTexts()
    int32_t Function_Field = 0; // index in functionFieldTexts()
    int32_t Dimension = 0;      // index in dimensionTexts(); 7 takes its size from Length
    int32_t Unita = 0;          // M-Bus unit 0..10
    uint32_t Storage_Number = 0;
    int32_t Tariff = 0;
    uint8_t VIFE = 0;           // index in vifeTexts()
    bool BCDtoINT = false;
    int32_t Length = 0;         // bytes of a value of variable length
    QString VIF_ASCII;          // unit text when the type of data is "VIF is in ASCII"
    uint8_t Position = 0;       // 1..100, used by nodes whose list type is "By Position"
    uint16_t BACnet_EngUnit = 0;
    uint8_t BACnet_DataType = 0; // index in bacnetDataTypeTexts()
    uint8_t Post_Operation = 0;  // index in postOperationTexts()

    bool operator==(const TVariabile&) const = default;
};

// One node: a meter or other M-Bus slave; for device type 21 wired or wireless.
struct TNodo {
    bool Enable = false;
    QString Description;
    int32_t Node_ID_Primary = 0;
    int32_t Node_ID_Secondary = 0;
    uint8_t Send_SNK = 0;
    uint8_t Reset_App = 0;
    std::vector<TVariabile> Var_List;
    uint8_t Node_State = 0;
    uint8_t Ident_Num = 0;
    uint8_t BCDtoINT_IN = 0;
    int32_t Swap_Ident = 0;    // index in swapIdentTexts()
    uint8_t Node_ID_Type = 0;  // 0 primary address, 1 secondary address
    uint8_t Var_List_Type = 0; // index in varListTypeTexts()
    uint8_t Cut_After = 0;     // 0..249: the readout stops after Cut_After + 1 answer frames
    int32_t NS_VarType = 0;    // index in nsVarTypeTexts()
    int32_t IN_VarType = 0;    // always 0
    uint8_t MBus_Type = 0;     // index in mbusTypeTexts(); 1 for every node of types 1 and 20
    // Wireless meter (device type 21), each as typed.
    QString wMBus_ManID;
    QString wMBus_Add;
    QString wMBus_Ver;
    QString wMBus_DevType;
    uint8_t wMBus_En_Key = 0;
    std::array<QString, 16> wMBus_Key; // key byte 1 first

    bool operator==(const TNodo&) const = default;
};

using MBusNetwork = std::vector<TNodo>;

// The item lists of the editor's selection boxes; a stored code is the index of its text.
const QStringList& typeOfDataTexts();    // 26 entries, "Energy (Wh)" .. "Bus Address"
const QStringList& functionFieldTexts(); // "Instantaneous Value" ..
const QStringList& dimensionTexts();     // "8", "16", "32", "64", "24", "48", "32 Real", "Variable Length"
const QStringList& bacnetDataTypeTexts(); // "Analog Input", "DateTime", "Positive Integer", "String"
const QStringList& postOperationTexts(); // "None", " : 10" .. " * 1000000"
const QStringList& vifeTexts();          // 126 entries, "Not Selected" ..
const QStringList& swapIdentTexts();     // "None", "Type 1"
const QStringList& varListTypeTexts();   // "By Type", "By Position"
const QStringList& nsVarTypeTexts();     // "Positive Integer", "Analog Input"
const QStringList& mbusTypeTexts();      // "wM-Bus", "M-Bus on wires"

// The BACnet engineering unit proposed for a type of data and a VIFE code. A pure function of
// its arguments: the scan calls it from its own thread.
int32_t Found_BACnet_EngUnits(int32_t typeOfData, int32_t vife);

// The attributes of one element, the first of each name.
class XmlAttributes {
public:
    void add(const QString& name, const QString& value);
    std::optional<QString> value(const QString& name) const;
    bool has(const QString& name) const { return values_.contains(name); }

private:
    QHash<QString, QString> values_;
};

// M_Bus.xml as its texts: the attributes of every child of the root and of every child of such
// a child. The editor's reader and the image builder's readers convert these texts each by
// their own rules.
struct NetworkNodeTexts {
    XmlAttributes attributes;
    std::vector<XmlAttributes> variables;
};
using NetworkTexts = std::vector<NetworkNodeTexts>;

// Parses the bytes of an M_Bus.xml file. Throws platform::UserError with the parser's message
// when the bytes are not well-formed XML; `fileName` names the file in it. A document without
// an element gives no nodes.
NetworkTexts parseNetworkTexts(const QByteArray& bytes, const QString& fileName = QStringLiteral("M_Bus.xml"));
// Reads the file. No file at `path` gives no value; a file that cannot be read or parsed throws.
std::optional<NetworkTexts> readNetworkTexts(const QString& path);

// The editor's reading of the texts (device type `converterType`). Throws platform::UserError
// naming the node and the attribute when a node lacks `Descrizione` or a variable lacks `Desc`
// or holds no whole number in `Type`, `Fun_Field` or `Dim`.
MBusNetwork networkFromTexts(const NetworkTexts& texts, int32_t converterType);
// The network of the file at `path`; no file gives an empty network.
MBusNetwork Read_MBus_Network(const QString& path, int32_t converterType);

// The bytes of M_Bus.xml for the network, written for device type `converterType`.
QByteArray networkXml(const MBusNetwork& network, int32_t converterType);
// Writes the file whole (temporary file and rename); throws platform::UserError when it cannot
// be written, the previous file then being left as it was.
void Write_MBus_Network(const QString& path, const MBusNetwork& network, int32_t converterType);

} // namespace mbus
