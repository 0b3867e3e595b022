#pragma once
// What the M-Bus network editor does with the network, without a window: the two pages as the
// user filled them (plain data the window reads from and writes to its controls), their checks
// with the message of each, adding and modifying, the tree's selection, deleting, the copy
// buffers and pasting, and the caption of every tree item.
//
// A check answers 0 when the page may be taken, else the index of its message in the UI-text
// table; the window shows that text in an error box. A refused command leaves the network,
// the selection and the change flag as they were.
//
// Numbers typed into the pages follow the whole-integer rule (decimal, or hexadecimal after
// "$", "x" or "0x"); a text that is not such a number counts as -1 in a range check.
#include "mbus/MBusNetwork.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>

namespace mbus {

// Indexes of the editor's messages in the UI-text table.
namespace msg {
constexpr int NewIdPrimary = 284;   // new node ID dialog: primary address 0..255
constexpr int NewIdSecondary = 285; // new node ID dialog: secondary address 0..99999999
constexpr int StorageNumber = 327;
constexpr int Tariff = 328;
constexpr int Length = 329;
constexpr int Position = 330;
constexpr int EngUnit = 331;
constexpr int StringNeedsVariableLength = 332;
constexpr int PostOpDataType = 333;
constexpr int PostOpTypeOfData = 334;
constexpr int PostOpVife = 335;
constexpr int Primary = 336;
constexpr int Secondary = 337;
constexpr int IdUsedByPaste = 338; // Check_Node_ID2
constexpr int IdUsedBySelected = 339;
constexpr int IdUsedByOther = 340;
constexpr int DeleteAll = 341;
constexpr int DeleteNode = 342;
constexpr int DeleteVariable = 343;
constexpr int SelectVariable = 344;
constexpr int SelectVariableOfNode = 345;
constexpr int SelectNodeRoot = 346;
constexpr int SelectNodeOutside = 347;
constexpr int CopyVariableFirst = 348;
constexpr int SelectNodeForPaste = 349;
constexpr int ExitWithoutSaving = 350;
constexpr int OverwriteNetwork = 326;
constexpr int WirelessAddressNewId = 1230;
constexpr int ManufacturerId = 1257;
constexpr int WirelessAddress = 1258;
constexpr int Version = 1259;
constexpr int DeviceType = 1260;
constexpr int KeyByte1 = 1261; // key byte i: 1260 + i
} // namespace msg

// The node page. Selection boxes hold the position of the chosen item (-1: none).
struct NodePage {
    bool enable = true;       // "Enable Node"
    QString description;
    int mbusType = 1;         // "M-Bus Type" (device type 21): 0 "wM-Bus", 1 "M-Bus on wires"
    // The wired rows.
    bool secondarySelected = false; // "Secondary ID Node" rather than "Primary ID Node"
    QString primary = QStringLiteral("1");
    QString secondary = QStringLiteral("1");
    bool nodeState = false;
    int nsVarType = 0;
    int inVarType = 0; // never shown
    bool identNum = false;
    int swapIdent = 0;
    bool bcdToIntIn = false;
    bool sendSnk = false;
    bool resetApp = false;
    int varListType = 0;
    int cutAfter = 0; // "1" .. "250"
    // The wireless panel (device type 21 with "wM-Bus").
    QString manId;
    QString address;
    QString version;
    QString devType;
    bool keyEnable = false;
    std::array<QString, 16> keys;
    bool wNodeState = false;
    int wNsVarType = 0;
    int wInVarType = 0; // never shown
    bool wIdentNum = false;
    bool wBcdToIntIn = false;
    int wSwapIdent = 0;
    int wVarListType = 0;

    bool wireless(int32_t converterType) const { return converterType == 21 && mbusType == 0; }
    bool operator==(const NodePage&) const = default;
};

// The variable page, hidden rows included.
struct VariablePage {
    bool enable = true;
    QString description;
    int typeOfData = 0;
    QString vifAscii;
    int functionField = 0;
    int dimension = 0;
    QString length = QStringLiteral("0");
    int unit = 0;
    QString storageNumber = QStringLiteral("0");
    QString tariff = QStringLiteral("0");
    int vife = 0;
    bool bcdToInt = false;
    QString position = QStringLiteral("1");
    QString engUnit = QStringLiteral("95");
    int dataType = 0;
    int postOperation = 0;

    bool operator==(const VariablePage&) const = default;
};

// The new node ID dialog's entry.
struct NewNodeIdPage {
    int32_t Form_Type = 1; // 1 a wired address, 2 a wireless address
    bool secondarySelected = false;
    QString primary = QStringLiteral("1");
    QString secondary = QStringLiteral("1");
    QString wAddress = QStringLiteral("1");
};

// Dimension 7 takes its size from the length.
constexpr int kVariableLength = 7;

// True for every VIFE code that allows no post-operation (all but 38, 39 and 51 .. 69).
bool Check_VIFE_PostOpe(int vife);

// The variable checks in their order; `byPosition`: the page shows the "By Position" layout.
int Controllo_Dati_New_Var(const VariablePage& page, bool byPosition);
// The variable the page describes (its checks passed).
TVariabile variableFromPage(const VariablePage& page);
// The page showing a variable.
VariablePage pageOfVariable(const TVariabile& v);

// The node the page describes for the device type (its checks passed).
TNodo nodeFromPage(const NodePage& page, int32_t converterType);
// Shows a node on the page: what the device type shows is overwritten, the rest kept.
void showNode(NodePage& page, const TNodo& node, int32_t converterType);
// Nothing selected: the flags cleared, "Enable Node" checked, the object-type boxes, the unit,
// the data type and the post-operation back to their start; every other box kept.
void clearForNothingSelected(NodePage& nodes, VariablePage& variables);

// Tree captions: "ID " + the selecting address + " - " + description, or for a wireless node
// of device type 21 "wM-Bus Node - Address " + address + " - " + description.
QString nodeCaption(const TNodo& node, int32_t converterType);
// The same from the page's texts as typed.
QString nodeCaption(const NodePage& page, int32_t converterType);
// The caption of a pasted node: from the dialog's texts as typed.
QString pastedNodeCaption(const NewNodeIdPage& answer, const TNodo& copy, int32_t converterType);
QString variableCaption(const TVariabile& v);
QString variableCaption(const QString& description);

// Check_Node_ID2: 338 when a node, wired or wireless, selects itself by `address` of the same
// type (0 primary, 1 secondary); else 0.
int Check_Node_ID2(const MBusNetwork& network, int32_t address, int addressType);
// The new node ID dialog's OK: 0, or the message of the first failing check.
int checkNewNodeId(const NewNodeIdPage& page, const MBusNetwork& network);

// Import: the bytes of the chosen file once they read as a network of the device type, to be
// written over the project's file as they are. Throws platform::UserError naming the file when
// it cannot be read or is no network (the project's file is then left alone).
QByteArray readImportedNetwork(const QString& path, int32_t converterType);

// The editor's state besides its controls.
class NetworkEditor {
public:
    explicit NetworkEditor(int32_t converterType) : converterType_(converterType) {}

    int32_t converterType() const { return converterType_; }

    MBusNetwork Nodi_List;
    int32_t IND_NODO = -1; // the selected node (also when one of its variables is selected)
    int32_t IND_VAR = -1;  // the selected variable of that node
    bool Is_Change = false;
    // The copy buffers live as long as the editor: a paste takes the values as they were when
    // copied, whatever happened to the network since.
    std::optional<TVariabile> Copy_Var;
    std::optional<TNodo> Copy_Node;

    enum class Selected { Nothing, Node, Variable };
    Selected selected() const;
    // Takes over a selection of the tree; one that names no node or variable selects nothing.
    void select(int node, int variable = -1);
    // A new network (showing, import): the selection cleared, no change.
    void load(MBusNetwork network);

    // Check_Node_ID: 0, or 339/340 when a wired node already selects itself by `address`
    // (primary and secondary addresses alike). The node being modified is skipped.
    int Check_Node_ID(int32_t address) const;
    // The node checks.
    int Controllo_Dati_New_Nodo(const NodePage& page) const;

    enum class Done { Nothing, Added, Modified };
    struct Outcome {
        int message = 0; // 0 or the message of the refusal
        Done done = Done::Nothing;
    };
    // btn_Add_NodeClick: adds (`adding`) or modifies the selected node.
    Outcome btn_Add_NodeClick(const NodePage& page, bool adding);
    // btn_Add_VarClick: adds a variable to the selected node (`adding`) or modifies the
    // selected variable; `byPosition` as for the checks.
    Outcome btn_Add_VarClick(const VariablePage& page, bool adding, bool byPosition);

    // The question btn_Delete_ItemClick asks for the selection (341, 342 or 343).
    int deleteQuestion() const;
    // The deletion after Yes; the selection moves as the tree's does: to the next item of the
    // same level, else the previous one, else the parent.
    void deleteSelected();

    // Copy Variable, Paste Variable, Copy Node: 0 or the message of the refusal.
    int CopyVariable1Click();
    int PasteVariable1Click();
    int CopyNode1Click();
    // How Paste Node prepares the dialog from Copy_Node (none without a copy).
    std::optional<NewNodeIdPage> pasteNodePrompt(const NewNodeIdPage& current) const;
    // Paste Node after the dialog closed with OK: appends a duplicate of Copy_Node with the
    // dialog's address; the index of the new node, or none without a copy.
    std::optional<int> pasteNode(const NewNodeIdPage& answer);

private:
    int32_t converterType_;
};

} // namespace mbus
