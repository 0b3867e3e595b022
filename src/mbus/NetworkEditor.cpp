#include "mbus/NetworkEditor.h"

#include "mbus/ProjectFiles.h"
#include "platform/text/Text.h"
#include "platform/text/UserError.h"

#include <QFileInfo>

namespace mbus {

namespace {

// The whole-integer rule; anything else is -1.
int64_t number64(const QString& text) { return platform::toInt64(text).value_or(-1); }
int32_t number(const QString& text) { return platform::toInt(text).value_or(-1); }

bool inRange(int64_t v, int64_t low, int64_t high) { return v >= low && v <= high; }

uint8_t flag(bool on) { return on ? 1 : 0; }

// The address a node selects itself by.
int32_t ownAddress(const TNodo& n) { return n.Node_ID_Type == 1 ? n.Node_ID_Secondary : n.Node_ID_Primary; }

bool isWired(const TNodo& n, int32_t converterType) { return converterType != 21 || n.MBus_Type != 0; }

// A text that must hold a number: its message when it holds none.
int mustBeNumber(const QString& text, int message) { return platform::toInt(text) ? 0 : message; }

} // namespace

bool Check_VIFE_PostOpe(int vife) { return !(vife == 38 || vife == 39 || (vife >= 51 && vife <= 69)); }

int Controllo_Dati_New_Var(const VariablePage& p, bool byPosition)
{
    if (!inRange(number64(p.storageNumber), 0, 4294967295LL))
        return msg::StorageNumber;
    if (!inRange(number64(p.tariff), 0, 1048575))
        return msg::Tariff;
    if (p.dimension == kVariableLength && !inRange(number(p.length), 0, 191))
        return msg::Length;
    if (!inRange(number(p.position), 1, 100))
        return msg::Position;
    if (!inRange(number(p.engUnit), 0, 65535))
        return msg::EngUnit;
    if (byPosition && p.dataType == 3 && p.dimension != kVariableLength)
        return msg::StringNeedsVariableLength;
    if (p.postOperation != 0) {
        if (byPosition) {
            if (p.dataType != 0)
                return msg::PostOpDataType;
        } else {
            if (p.typeOfData >= 20 && p.typeOfData <= 25)
                return msg::PostOpTypeOfData;
            if (p.typeOfData == 19 && Check_VIFE_PostOpe(p.vife))
                return msg::PostOpVife;
        }
    }
    return 0;
}

TVariabile variableFromPage(const VariablePage& p)
{
    TVariabile v;
    v.Enable = p.enable;
    v.Description = p.description;
    v.Type_Of_Data = p.typeOfData;
    v.Function_Field = p.functionField;
    v.Dimension = p.dimension;
    v.Unita = p.unit;
    v.Storage_Number = static_cast<uint32_t>(number64(p.storageNumber));
    v.Tariff = static_cast<int32_t>(number64(p.tariff));
    v.VIFE = static_cast<uint8_t>(p.vife);
    v.BCDtoINT = p.bcdToInt;
    v.VIF_ASCII = p.vifAscii;
    v.Length = platform::toInt(p.length).value_or(0);
    v.Position = static_cast<uint8_t>(number(p.position));
    v.BACnet_EngUnit = static_cast<uint16_t>(number(p.engUnit));
    v.BACnet_DataType = static_cast<uint8_t>(p.dataType);
    v.Post_Operation = static_cast<uint8_t>(p.postOperation);
    return v;
}

VariablePage pageOfVariable(const TVariabile& v)
{
    VariablePage p;
    p.enable = v.Enable;
    p.description = v.Description;
    p.typeOfData = v.Type_Of_Data;
    p.vifAscii = v.VIF_ASCII;
    p.functionField = v.Function_Field;
    p.dimension = v.Dimension;
    p.length = QString::number(v.Length);
    p.unit = v.Unita;
    p.storageNumber = QString::number(v.Storage_Number);
    p.tariff = QString::number(v.Tariff);
    p.vife = v.VIFE;
    p.bcdToInt = v.BCDtoINT;
    p.position = QString::number(v.Position);
    p.engUnit = QString::number(v.BACnet_EngUnit);
    p.dataType = v.BACnet_DataType;
    p.postOperation = v.Post_Operation;
    return p;
}

TNodo nodeFromPage(const NodePage& p, int32_t converterType)
{
    TNodo n;
    n.Enable = p.enable;
    n.Description = p.description;
    n.Node_ID_Primary = number(p.primary);
    n.Node_ID_Secondary = number(p.secondary);
    n.Send_SNK = flag(p.sendSnk);
    n.Reset_App = flag(p.resetApp);
    n.Node_State = flag(p.nodeState);
    n.Ident_Num = flag(p.identNum);
    n.BCDtoINT_IN = flag(p.bcdToIntIn);
    n.Swap_Ident = p.swapIdent;
    n.Var_List_Type = static_cast<uint8_t>(p.varListType);
    n.Cut_After = static_cast<uint8_t>(p.cutAfter);
    n.NS_VarType = p.nsVarType;
    n.Node_ID_Type = p.secondarySelected ? 1 : 0;
    n.IN_VarType = 0;
    n.MBus_Type = 1;
    if (converterType == 21) {
        n.MBus_Type = static_cast<uint8_t>(p.mbusType);
        n.wMBus_ManID = p.manId;
        n.wMBus_Add = p.address;
        n.wMBus_Ver = p.version;
        n.wMBus_DevType = p.devType;
        n.wMBus_Key = p.keys;
        n.wMBus_En_Key = flag(p.keyEnable);
        if (p.wireless(converterType)) {
            n.Node_State = flag(p.wNodeState);
            n.Ident_Num = flag(p.wIdentNum);
            n.NS_VarType = p.wNsVarType;
            n.BCDtoINT_IN = flag(p.wBcdToIntIn);
            n.Swap_Ident = p.wSwapIdent;
            n.Var_List_Type = static_cast<uint8_t>(p.wVarListType);
        }
    }
    return n;
}

void showNode(NodePage& p, const TNodo& n, int32_t converterType)
{
    p.enable = n.Enable;
    p.description = n.Description;
    p.primary = QString::number(n.Node_ID_Primary);
    p.secondary = QString::number(n.Node_ID_Secondary);
    p.sendSnk = n.Send_SNK == 1;
    p.resetApp = n.Reset_App == 1;
    p.nodeState = n.Node_State == 1;
    p.identNum = n.Ident_Num == 1;
    p.bcdToIntIn = n.BCDtoINT_IN == 1;
    p.swapIdent = n.Swap_Ident;
    p.secondarySelected = n.Node_ID_Type == 1;
    p.varListType = n.Var_List_Type;
    p.cutAfter = n.Cut_After;
    p.nsVarType = n.NS_VarType;
    if (converterType == 21) {
        p.mbusType = n.MBus_Type;
        p.manId = n.wMBus_ManID;
        p.address = n.wMBus_Add;
        p.version = n.wMBus_Ver;
        p.devType = n.wMBus_DevType;
        p.keyEnable = n.wMBus_En_Key == 1;
        p.keys = n.wMBus_Key;
        p.wNodeState = n.Node_State == 1;
        p.wIdentNum = n.Ident_Num == 1;
        p.wNsVarType = n.NS_VarType;
        p.wBcdToIntIn = n.BCDtoINT_IN == 1;
        p.wSwapIdent = n.Swap_Ident;
        p.wVarListType = n.Var_List_Type;
    }
}

void clearForNothingSelected(NodePage& nodes, VariablePage& variables)
{
    nodes.sendSnk = false;
    nodes.resetApp = false;
    nodes.nodeState = false;
    nodes.identNum = false;
    nodes.bcdToIntIn = false;
    nodes.enable = true;
    nodes.nsVarType = 0;
    nodes.inVarType = 0;
    variables.engUnit = QStringLiteral("95");
    variables.dataType = 0;
    variables.postOperation = 0;
}

QString nodeCaption(const TNodo& n, int32_t converterType)
{
    if (!isWired(n, converterType))
        return QStringLiteral("wM-Bus Node - Address ") + n.wMBus_Add + QStringLiteral(" - ") + n.Description;
    return QStringLiteral("ID ") + QString::number(ownAddress(n)) + QStringLiteral(" - ") + n.Description;
}

QString nodeCaption(const NodePage& p, int32_t converterType)
{
    if (p.wireless(converterType))
        return QStringLiteral("wM-Bus Node - Address ") + p.address + QStringLiteral(" - ") + p.description;
    return QStringLiteral("ID ") + (p.secondarySelected ? p.secondary : p.primary) + QStringLiteral(" - ") +
           p.description;
}

QString pastedNodeCaption(const NewNodeIdPage& a, const TNodo& copy, int32_t converterType)
{
    if (!isWired(copy, converterType))
        return QStringLiteral("wM-Bus Node - Address ") + a.wAddress + QStringLiteral(" - ") + copy.Description;
    return QStringLiteral("ID ") + (a.secondarySelected ? a.secondary : a.primary) + QStringLiteral(" - ") +
           copy.Description;
}

QString variableCaption(const QString& description) { return QStringLiteral("VAR - ") + description; }

QString variableCaption(const TVariabile& v) { return variableCaption(v.Description); }

int Check_Node_ID2(const MBusNetwork& network, int32_t address, int addressType)
{
    for (const TNodo& n : network)
        if (ownAddress(n) == address && n.Node_ID_Type == addressType)
            return msg::IdUsedByPaste;
    return 0;
}

int checkNewNodeId(const NewNodeIdPage& p, const MBusNetwork& network)
{
    if (p.Form_Type == 1) {
        const int32_t address = number(p.secondarySelected ? p.secondary : p.primary);
        if (!p.secondarySelected && !inRange(address, 0, 255))
            return msg::NewIdPrimary;
        if (p.secondarySelected && !inRange(address, 0, 99999999))
            return msg::NewIdSecondary;
        if (const int used = Check_Node_ID2(network, address, p.secondarySelected ? 1 : 0))
            return used;
    } else if (p.Form_Type == 2) {
        if (!inRange(number64(p.wAddress), 0, 4294967295LL))
            return msg::WirelessAddressNewId;
    } else {
        return 0;
    }
    // Both number boxes become the pasted node's addresses, also the one not chosen (and, for
    // a wireless address, the two hidden ones): a box without a number is refused here, with
    // its own message, so that the paste never adds a node it cannot fill.
    if (const int m = mustBeNumber(p.primary, msg::NewIdPrimary))
        return m;
    return mustBeNumber(p.secondary, msg::NewIdSecondary);
}

QByteArray readImportedNetwork(const QString& path, int32_t converterType)
{
    const QString name = QFileInfo(path).fileName();
    const QByteArray bytes = readFileBytes(path);
    const NetworkTexts texts = parseNetworkTexts(bytes, name); // its errors name the file
    try {
        networkFromTexts(texts, converterType);
    } catch (const platform::UserError& e) {
        // The reader names the place as in the project's file: "M_Bus.xml, node 2: ...".
        QString why = e.message();
        const QString projectFile = QStringLiteral("M_Bus.xml, ");
        if (why.startsWith(projectFile))
            why = why.mid(projectFile.size());
        throw platform::UserError(QStringLiteral("The file %1 is not an M-Bus network: %2").arg(name, why));
    }
    return bytes;
}

NetworkEditor::Selected NetworkEditor::selected() const
{
    if (IND_NODO < 0)
        return Selected::Nothing;
    return IND_VAR < 0 ? Selected::Node : Selected::Variable;
}

void NetworkEditor::select(int node, int variable)
{
    if (node < 0 || node >= static_cast<int>(Nodi_List.size())) {
        IND_NODO = -1;
        IND_VAR = -1;
        return;
    }
    IND_NODO = node;
    const auto& vars = Nodi_List[static_cast<size_t>(node)].Var_List;
    IND_VAR = variable >= 0 && variable < static_cast<int>(vars.size()) ? variable : -1;
}

void NetworkEditor::load(MBusNetwork network)
{
    Nodi_List = std::move(network);
    IND_NODO = -1;
    IND_VAR = -1;
    Is_Change = false;
}

int NetworkEditor::Check_Node_ID(int32_t address) const
{
    for (size_t k = 0; k < Nodi_List.size(); ++k) {
        const TNodo& n = Nodi_List[k];
        // Only wired nodes have an address on the line; a wireless node's hidden wired rows
        // never collide (also for the selected node).
        if (!isWired(n, converterType_) || ownAddress(n) != address)
            continue;
        if (static_cast<int>(k) != IND_NODO)
            return msg::IdUsedByOther;
        // The selected node is the one being modified unless a variable of it is selected.
        if (IND_VAR >= 0)
            return msg::IdUsedBySelected;
    }
    return 0;
}

int NetworkEditor::Controllo_Dati_New_Nodo(const NodePage& p) const
{
    // Both number boxes become the node's addresses, whichever is chosen, so a box without a
    // number is refused even where no check of the node applies.
    if (const int m = mustBeNumber(p.primary, msg::Primary))
        return m;
    if (const int m = mustBeNumber(p.secondary, msg::Secondary))
        return m;
    if (!p.enable)
        return 0;
    if (p.wireless(converterType_)) {
        if (!inRange(number(p.manId), 0, 65535))
            return msg::ManufacturerId;
        if (!inRange(number64(p.address), 0, 4294967295LL))
            return msg::WirelessAddress;
        if (!inRange(number(p.version), 0, 255))
            return msg::Version;
        if (!inRange(number(p.devType), 0, 255))
            return msg::DeviceType;
        if (p.keyEnable)
            for (int i = 0; i < 16; ++i)
                if (!inRange(number(p.keys[static_cast<size_t>(i)]), 0, 255))
                    return msg::KeyByte1 + i;
        return 0;
    }
    const int32_t address = number(p.secondarySelected ? p.secondary : p.primary);
    if (!p.secondarySelected && !inRange(address, 0, 255))
        return msg::Primary;
    if (p.secondarySelected && !inRange(address, 0, 99999999))
        return msg::Secondary;
    return Check_Node_ID(address);
}

NetworkEditor::Outcome NetworkEditor::btn_Add_NodeClick(const NodePage& page, bool adding)
{
    if (!adding && selected() == Selected::Nothing)
        return {};
    if (const int m = Controllo_Dati_New_Nodo(page))
        return {m, Done::Nothing};
    TNodo node = nodeFromPage(page, converterType_);
    if (adding) {
        Nodi_List.push_back(std::move(node));
        Is_Change = true;
        return {0, Done::Added};
    }
    TNodo& target = Nodi_List[static_cast<size_t>(IND_NODO)];
    node.Var_List = std::move(target.Var_List);
    target = std::move(node);
    Is_Change = true;
    return {0, Done::Modified};
}

NetworkEditor::Outcome NetworkEditor::btn_Add_VarClick(const VariablePage& page, bool adding, bool byPosition)
{
    const Selected s = selected();
    if (adding ? s == Selected::Nothing : s != Selected::Variable)
        return {};
    if (const int m = Controllo_Dati_New_Var(page, byPosition))
        return {m, Done::Nothing};
    auto& vars = Nodi_List[static_cast<size_t>(IND_NODO)].Var_List;
    if (adding)
        vars.push_back(variableFromPage(page));
    else
        vars[static_cast<size_t>(IND_VAR)] = variableFromPage(page);
    Is_Change = true;
    return {0, adding ? Done::Added : Done::Modified};
}

int NetworkEditor::deleteQuestion() const
{
    switch (selected()) {
    case Selected::Nothing: return msg::DeleteAll;
    case Selected::Node: return msg::DeleteNode;
    case Selected::Variable: return msg::DeleteVariable;
    }
    return msg::DeleteAll;
}

void NetworkEditor::deleteSelected()
{
    switch (selected()) {
    case Selected::Nothing:
        if (!Nodi_List.empty())
            Is_Change = true;
        Nodi_List.clear();
        return;
    case Selected::Node: {
        const int i = IND_NODO;
        Nodi_List.erase(Nodi_List.begin() + i);
        Is_Change = true;
        const int count = static_cast<int>(Nodi_List.size());
        select(i < count ? i : i - 1);
        return;
    }
    case Selected::Variable: {
        auto& vars = Nodi_List[static_cast<size_t>(IND_NODO)].Var_List;
        const int j = IND_VAR;
        vars.erase(vars.begin() + j);
        Is_Change = true;
        const int count = static_cast<int>(vars.size());
        select(IND_NODO, j < count ? j : j - 1);
        return;
    }
    }
}

int NetworkEditor::CopyVariable1Click()
{
    if (IND_NODO < 0 || IND_NODO >= static_cast<int>(Nodi_List.size()))
        return msg::SelectVariableOfNode;
    const auto& vars = Nodi_List[static_cast<size_t>(IND_NODO)].Var_List;
    if (IND_VAR < 0 || IND_VAR >= static_cast<int>(vars.size()))
        return msg::SelectVariable;
    Copy_Var = vars[static_cast<size_t>(IND_VAR)];
    return 0;
}

int NetworkEditor::PasteVariable1Click()
{
    if (!Copy_Var)
        return msg::CopyVariableFirst;
    if (IND_NODO < 0 || IND_NODO >= static_cast<int>(Nodi_List.size()))
        return msg::SelectNodeForPaste;
    Nodi_List[static_cast<size_t>(IND_NODO)].Var_List.push_back(*Copy_Var);
    Is_Change = true;
    return 0;
}

int NetworkEditor::CopyNode1Click()
{
    if (IND_NODO >= static_cast<int>(Nodi_List.size()))
        return msg::SelectNodeOutside;
    if (IND_NODO < 0)
        return msg::SelectNodeRoot;
    TNodo copy = Nodi_List[static_cast<size_t>(IND_NODO)];
    copy.IN_VarType = 0;
    if (converterType_ != 21) {
        copy.wMBus_ManID.clear();
        copy.wMBus_Add.clear();
        copy.wMBus_Ver.clear();
        copy.wMBus_DevType.clear();
        copy.wMBus_En_Key = 0;
        copy.wMBus_Key = {};
    }
    Copy_Node = std::move(copy);
    return 0;
}

std::optional<NewNodeIdPage> NetworkEditor::pasteNodePrompt(const NewNodeIdPage& current) const
{
    if (!Copy_Node)
        return std::nullopt;
    NewNodeIdPage p = current;
    if (isWired(*Copy_Node, converterType_)) {
        p.Form_Type = 1;
        p.secondarySelected = Copy_Node->Node_ID_Type == 1;
        p.primary = QString::number(Copy_Node->Node_ID_Primary);
        p.secondary = QString::number(Copy_Node->Node_ID_Secondary);
    } else {
        p.Form_Type = 2;
        p.wAddress = Copy_Node->wMBus_Add;
    }
    return p;
}

std::optional<int> NetworkEditor::pasteNode(const NewNodeIdPage& answer)
{
    if (!Copy_Node)
        return std::nullopt;
    const TNodo& c = *Copy_Node;
    TNodo n;
    n.Enable = c.Enable;
    n.Description = c.Description;
    n.Send_SNK = c.Send_SNK;
    n.Reset_App = c.Reset_App;
    n.Node_State = c.Node_State;
    n.Ident_Num = c.Ident_Num;
    n.BCDtoINT_IN = c.BCDtoINT_IN;
    n.Swap_Ident = c.Swap_Ident;
    n.Var_List_Type = c.Var_List_Type;
    n.Cut_After = c.Cut_After;
    n.NS_VarType = c.NS_VarType;
    n.IN_VarType = 0;
    // The dialog has refused boxes without a number; the copy's addresses stand in otherwise.
    n.Node_ID_Primary = platform::toInt(answer.primary).value_or(c.Node_ID_Primary);
    n.Node_ID_Secondary = platform::toInt(answer.secondary).value_or(c.Node_ID_Secondary);
    n.Node_ID_Type = answer.secondarySelected ? 1 : 0;
    n.MBus_Type = 1;
    if (converterType_ == 21) {
        n.MBus_Type = c.MBus_Type;
        n.wMBus_ManID = c.wMBus_ManID;
        n.wMBus_Ver = c.wMBus_Ver;
        n.wMBus_DevType = c.wMBus_DevType;
        n.wMBus_En_Key = c.wMBus_En_Key;
        n.wMBus_Key = c.wMBus_Key;
        n.wMBus_Add = isWired(c, converterType_) ? c.wMBus_Add : answer.wAddress;
    }
    n.Var_List = c.Var_List;
    Nodi_List.push_back(std::move(n));
    Is_Change = true;
    return static_cast<int>(Nodi_List.size()) - 1;
}

} // namespace mbus
