#include "mbus/scan/ScanFiles.h"

#include "mbus/MBusNetwork.h"
#include "platform/text/Text.h"
#include "platform/text/UserError.h"
#include "platform/xml/XmlDom.h"

#include <QFileInfo>

namespace mbus::scan {

namespace {

QString dec(int64_t v) { return QString::number(v); }
QString flag(bool on) { return on ? QStringLiteral("1") : QStringLiteral("0"); }
QString hex2(uint32_t v) { return QStringLiteral("%1").arg(v, 2, 16, QLatin1Char('0')).toUpper(); }

void save(const platform::XmlDocument& doc, const QString& file)
{
    platform::XmlSaveOptions options;
    options.indent = QStringLiteral("  ");
    QString error;
    if (!doc.save(file, options, &error))
        throw platform::UserError(
            QStringLiteral("The file %1 cannot be written: %2").arg(QFileInfo(file).fileName(), error));
}

// One record of a result file.
void resultVariable(platform::XmlNode node, const TVariable_MBus& v)
{
    platform::XmlNode x = node.appendElement(QStringLiteral("Variable"));
    x.setAttribute(QStringLiteral("Value"), v.ValueStr);
    x.setAttribute(QStringLiteral("Type"), v.Desc_Type_Data);
    x.setAttribute(QStringLiteral("UST"),
                   QStringLiteral("(U%1S%2T%3)").arg(v.device).arg(v.storage_number).arg(v.tarif));
    x.appendTextElement(QStringLiteral("Storage_Number"), dec(v.storage_number));
    x.appendTextElement(QStringLiteral("Tariff"), dec(v.tarif));
    x.appendTextElement(QStringLiteral("Unit"), dec(v.device));
    x.appendTextElement(QStringLiteral("Data_Field"), v.DataFieldStr);
    x.appendTextElement(QStringLiteral("Function_Field"), v.FunctionFieldStr);
    x.appendTextElement(QStringLiteral("Type"), v.Desc_Type_Data);
    x.appendTextElement(QStringLiteral("Value"), v.ValueStr);
    x.appendTextElement(QStringLiteral("DIF"), v.DIF);
    x.appendTextElement(QStringLiteral("VIF"), QStringLiteral("$") + hex2(v.VIF));
    x.appendTextElement(QStringLiteral("DIFE"), v.DIFE);
    x.appendTextElement(QStringLiteral("VIFE"), v.VIFE);
    x.appendTextElement(QStringLiteral("DATA"), QStringLiteral("$") + v.totdati);
}

bool hasId(int code) { return code == 2 || code == 4 || code == 5 || code == 7 || code == 8 || code == 10; }
bool inGroup(int code) { return code == 4 || code == 7; }
bool nodeRegisters(int code) { return code == 0 || code == 1 || code == 9 || code == 13 || code == 14; }

// The network document: the loaded file to append to, or a new one.
platform::XmlNode openNetwork(platform::XmlDocument& doc, const TSaveConfXML& in)
{
    if (in.Append == 1) {
        QString error;
        if (!doc.load(in.File_Name, &error))
            throw platform::UserError(
                QStringLiteral("The file %1 cannot be read: %2").arg(QFileInfo(in.File_Name).fileName(), error));
        // The nodes go under the document's element, even when a declaration or a comment comes
        // first (under those they would be lost).
        if (platform::XmlNode root = doc.rootElement())
            return root;
    }
    doc.clear();
    return doc.appendElement(QStringLiteral("M-Bus_Network"));
}

// The attributes of one "Variabile" that both writers share, from "Fun_Field" on. R is the
// register counter; `counts`: the record takes registers.
void networkVariable(platform::XmlNode x, const TVariable_MBus& v, int code, bool Check_BCD, int32_t& R, bool counts)
{
    const uint16_t fun = v.function_fild;
    x.setAttribute(QStringLiteral("Fun_Field"), fun == 1 ? QStringLiteral("2") : fun == 2 ? QStringLiteral("1") : dec(fun));
    x.setAttribute(QStringLiteral("Length"), v.dimension == 13 ? dec(v.nbyte) : QStringLiteral("0"));
    if (code != 12)
        x.setAttribute(QStringLiteral("ModReg"), dec(R));
    x.setAttribute(QStringLiteral("Dim"), dec(recordDim(v.dimension)));
    if (counts)
        R += recordRegisters(v.dimension, v.nbyte);
    x.setAttribute(QStringLiteral("Unit"), dec(v.device));
    x.setAttribute(QStringLiteral("StoNumber"), dec(v.storage_number));
    x.setAttribute(QStringLiteral("Tariff"), dec(v.tarif));
    x.setAttribute(QStringLiteral("VIFE"), dec(v.Type_Data_Vife));
    if (code == 12) {
        x.setAttribute(QStringLiteral("BACnet_EngUnits"), dec(mbus::Found_BACnet_EngUnits(v.type_data, v.Type_Data_Vife)));
        x.setAttribute(QStringLiteral("BACnet_DataType"), QStringLiteral("0"));
        x.setAttribute(QStringLiteral("Post_Operation"), QStringLiteral("0"));
    } else {
        x.setAttribute(QStringLiteral("ModScale"), QStringLiteral("0"));
    }
    x.setAttribute(QStringLiteral("BCDtoINT"), flag(v.Is_BCD && Check_BCD));
    x.setAttribute(QStringLiteral("SWAP"), QStringLiteral("0"));
}

void variableHead(platform::XmlNode x, const TVariable_MBus& v, bool enabled, int position)
{
    x.setAttribute(QStringLiteral("Enable"), flag(enabled));
    x.setAttribute(QStringLiteral("Position"), dec(position));
    x.setAttribute(QStringLiteral("Desc"), v.Desc_Type_Data + QStringLiteral(" (U%1S%2T%3)")
                                                                  .arg(v.device)
                                                                  .arg(v.storage_number)
                                                                  .arg(v.tarif));
    x.setAttribute(QStringLiteral("Type"), dec(v.type_data));
    x.setAttribute(QStringLiteral("VIF_ASCII"), v.type_data == 21 ? v.VIF_ASCII : QString());
}

// "Node_State" and "Ident_Num" as register numbers, for the codes that number them.
void nodeStateRegisters(platform::XmlNode e, const TSaveConfXML& in, int32_t& R)
{
    if (in.StartModnode != 1 || !nodeRegisters(in.XML_Code_Dev))
        return;
    if (in.En_NodeState) {
        e.setAttribute(QStringLiteral("Node_State"), dec(R));
        R += 2;
    } else {
        e.setAttribute(QStringLiteral("Node_State"), QStringLiteral("0"));
    }
    if (in.En_IdeNum) {
        e.setAttribute(QStringLiteral("Ident_Num"), dec(R));
        R += 1;
    } else {
        e.setAttribute(QStringLiteral("Ident_Num"), QStringLiteral("0"));
    }
}

void zeroNodeAttributes(platform::XmlNode e)
{
    for (const char* name : {"Node_State", "Ident_Num", "BCDtoINT_IN", "Swap_IN", "Var_List_Type", "NS_VarType", "IN_VarType"})
        e.setAttribute(QString::fromLatin1(name), QStringLiteral("0"));
}

int32_t startRegister(const TSaveConfXML& in, size_t meter, int32_t R)
{
    if (in.StartModnode != 1)
        return R;
    // A node without an entry of its own goes on from the last register.
    return meter < in.SMN_Array.size() ? in.SMN_Array[meter] : R;
}

} // namespace

int32_t recordDim(int dataField)
{
    switch (dataField) {
    case 1: case 9: return 0;
    case 2: case 10: return 1;
    case 3: case 11: return 4;
    case 4: case 12: return 2;
    case 5: return 6;
    case 6: case 14: return 5;
    case 7: return 3;
    case 13: return 7;
    default: return 255;
    }
}

int32_t recordRegisters(int dataField, int32_t nbyte)
{
    switch (dataField) {
    case 1: case 9: case 2: case 10: return 1;
    case 3: case 11: case 4: case 12: case 5: return 2;
    case 6: case 14: return 3;
    case 7: return 4;
    case 13: return static_cast<int32_t>(platform::roundHalfEven((static_cast<double>(nbyte) + 1.0) / 2.0));
    default: return 0;
    }
}

void Save_XML_File_DLL(const std::vector<TSlave_MBus>& meters, const QString& file)
{
    platform::XmlDocument doc;
    platform::XmlNode root = doc.appendElement(QStringLiteral("SCAN_M-Bus_Wired"));
    for (const TSlave_MBus& m : meters) {
        platform::XmlNode n = root.appendElement(QStringLiteral("Node"));
        n.setAttribute(QStringLiteral("Primary_Address"), dec(m.Primary_Addresss));
        n.setAttribute(QStringLiteral("Secondary_Address"), m.Secondary_Addresss);
        n.setAttribute(QStringLiteral("Manufacturer"), QStringLiteral("%1 (%2)").arg(m.descManufacture).arg(m.Manufacture));
        n.setAttribute(QStringLiteral("Version"), dec(m.Version));
        n.setAttribute(QStringLiteral("Type"), dec(m.Medium));
        for (const TVariable_MBus& v : m.List_Var)
            resultVariable(n, v);
    }
    save(doc, file);
}

void Save_Wireless_XML_File_DLL(const std::vector<TSlave_wMBus>& meters, const QString& file)
{
    platform::XmlDocument doc;
    platform::XmlNode root = doc.appendElement(QStringLiteral("SCAN_M-Bus_Wireless"));
    for (const TSlave_wMBus& m : meters) {
        platform::XmlNode n = root.appendElement(QStringLiteral("Node"));
        n.setAttribute(QStringLiteral("Manufacturer"), m.ALA_Manu_str);
        n.setAttribute(QStringLiteral("Address"), QStringLiteral("%1").arg(m.ALA_Address, 8, 16, QLatin1Char('0')).toUpper());
        n.setAttribute(QStringLiteral("Version"), dec(m.ALA_Version));
        n.setAttribute(QStringLiteral("Device_Type"), dec(m.ALA_DeviceType));
        n.setAttribute(QStringLiteral("Cripted"), m.Cripted ? QStringLiteral("True") : QStringLiteral("False"));
        for (const TVariable_MBus& v : m.List_Var)
            resultVariable(n, v);
    }
    save(doc, file);
}

bool Save_XML_Conf_Wired(const std::vector<TSlave_MBus>& meters, const TSaveConfXML& in, bool Check_BCD,
                         const TreeChecks& checks)
{
    if (meters.empty())
        return false;
    const int code = in.XML_Code_Dev;
    auto checked = [&](int meter, int record) {
        if (!checks)
            return true;
        return checks(meter, record).value_or(true);
    };
    platform::XmlDocument doc;
    platform::XmlNode root = openNetwork(doc, in);
    platform::XmlNode parent = root;
    int32_t R = in.Mod_Start;
    for (size_t i = 0; i < meters.size(); ++i) {
        const TSlave_MBus& m = meters[i];
        R = startRegister(in, i, R);
        if (inGroup(code) && i == 0) {
            parent = root.appendElement(QStringLiteral("Group"));
            parent.setAttribute(QStringLiteral("Baudrate"), dec(in.Index_Baud));
            parent.setAttribute(QStringLiteral("Parity"), dec(in.Index_Par));
        }
        platform::XmlNode e = parent.appendElement(QStringLiteral("Nodo"));
        e.setAttribute(QStringLiteral("Enable_Node"), flag(checked(static_cast<int>(i), -1)));
        if (hasId(code))
            e.setAttribute(QStringLiteral("ID"), dec(m.Primary_Addresss));
        if (inGroup(code))
            e.setAttribute(QStringLiteral("Secondary_address"), m.Secondary_Addresss);
        e.setAttribute(QStringLiteral("ID_Primary"), dec(m.Primary_Addresss));
        e.setAttribute(QStringLiteral("ID_Secondary"), m.Secondary_Addresss);
        e.setAttribute(QStringLiteral("Node_ID_Type"), dec(in.Node_ID_Type));
        e.setAttribute(QStringLiteral("Descrizione"), m.descManufacture);
        e.setAttribute(QStringLiteral("Send_SND_NKE"), flag(in.SND_NKE == 1));
        e.setAttribute(QStringLiteral("Reset_App"), flag(in.Reset_App == 1));
        e.setAttribute(QStringLiteral("Cut_After"), dec(in.Cut_After));
        if (code == 12) {
            e.setAttribute(QStringLiteral("MBus_Type"), QStringLiteral("1"));
            zeroNodeAttributes(e);
        } else {
            if (code == 13 || code == 14)
                e.setAttribute(QStringLiteral("MBus_Type"), QStringLiteral("1"));
            nodeStateRegisters(e, in, R);
        }
        for (size_t r = 0; r < m.List_Var.size(); ++r) {
            const TVariable_MBus& v = m.List_Var[r];
            const bool enabled = checked(static_cast<int>(i), static_cast<int>(r));
            platform::XmlNode x = e.appendElement(QStringLiteral("Variabile"));
            variableHead(x, v, enabled, static_cast<int>(r) + 1);
            networkVariable(x, v, code, Check_BCD, R, in.StartModnode != 1 || enabled);
        }
    }
    save(doc, in.File_Name);
    return true;
}

bool Save_XML_Conf_Wireless(const std::vector<TSlave_wMBus>& meters, const TSaveConfXML& in, bool Check_BCD)
{
    if (meters.empty())
        return false;
    const int code = in.XML_Code_Dev;
    platform::XmlDocument doc;
    platform::XmlNode root = openNetwork(doc, in);
    int32_t R = in.Mod_Start;
    const QString one = QStringLiteral("1");
    const QString zero = QStringLiteral("0");
    for (size_t i = 0; i < meters.size(); ++i) {
        const TSlave_wMBus& m = meters[i];
        R = startRegister(in, i, R);
        platform::XmlNode e = root.appendElement(QStringLiteral("Nodo"));
        e.setAttribute(QStringLiteral("Enable_Node"), flag(m.Enable));
        if (hasId(code))
            e.setAttribute(QStringLiteral("ID"), one);
        if (inGroup(code))
            e.setAttribute(QStringLiteral("Secondary_address"), one);
        e.setAttribute(QStringLiteral("ID_Primary"), one);
        e.setAttribute(QStringLiteral("ID_Secondary"), one);
        e.setAttribute(QStringLiteral("Node_ID_Type"), zero);
        e.setAttribute(QStringLiteral("Descrizione"), m.ALA_Manu_str);
        e.setAttribute(QStringLiteral("Send_SND_NKE"), zero);
        e.setAttribute(QStringLiteral("Reset_App"), zero);
        e.setAttribute(QStringLiteral("Cut_After"), QStringLiteral("3"));
        // A wireless node is never "MBus_Type" 1: its type is written once, below.
        if (code == 12)
            zeroNodeAttributes(e);
        else
            nodeStateRegisters(e, in, R);
        e.setAttribute(QStringLiteral("MBus_Type"), zero);
        e.setAttribute(QStringLiteral("wMBus_ManID"), dec(m.ALA_Manufacturer));
        e.setAttribute(QStringLiteral("wMBus_Add"), dec(static_cast<int32_t>(m.ALA_Address)));
        e.setAttribute(QStringLiteral("wMBus_Ver"), dec(m.ALA_Version));
        e.setAttribute(QStringLiteral("wMBus_DevType"), dec(m.ALA_DeviceType));
        e.setAttribute(QStringLiteral("wMBus_En_Key"), flag(m.Enable_Key));
        for (size_t k = 0; k < m.Key.size(); ++k)
            e.setAttribute(QStringLiteral("wMBus_Key_%1").arg(k + 1), dec(m.Key[k]));
        for (size_t r = 0; r < m.List_Var.size(); ++r) {
            const TVariable_MBus& v = m.List_Var[r];
            if (!v.Real_Wireless_Var)
                continue; // an idle filler: it keeps its position, but is no variable
            platform::XmlNode x = e.appendElement(QStringLiteral("Variabile"));
            variableHead(x, v, v.Enable, static_cast<int>(r) + 1);
            networkVariable(x, v, code, Check_BCD, R, in.StartModnode != 1 || v.Enable);
        }
    }
    save(doc, in.File_Name);
    return true;
}

} // namespace mbus::scan
