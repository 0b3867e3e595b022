#include "image/MasterImages.h"

#include "image/TableFile.h"
#include "mbus/DeviceList.h"
#include "mbus/Template.h"
#include "platform/fs/Files.h"
#include "platform/text/Text.h"
#include "platform/text/UserError.h"
#include "workspace/Validators.h"
#include "workspace/Workspace.h"

#include <QFileInfo>
#include <algorithm>

namespace image {

namespace {

constexpr int32_t kNodeSize = 34;
constexpr int32_t kReadVarSize = 10;
constexpr int32_t kWriteVarSize = 24;
constexpr int32_t kRequestSize = 33;
constexpr int32_t kObjectSize = 24;
constexpr int32_t kTextEntrySize = 128;
constexpr int32_t kTablesOffset = 2048;

// The value of an element that the build reads: it must be there; a text that is no whole
// number takes the default.
class Required {
public:
    Required(const mbus::ElementTexts& t, QString where) : t_(t), where_(std::move(where)) {}
    QString text(const char* element) const
    {
        const std::optional<QString> v = t_.value(QLatin1String(element));
        if (!v)
            throw platform::UserError(QStringLiteral("%1: the element %2 is missing.").arg(where_, QLatin1String(element)));
        return *v;
    }
    int32_t number(const char* element, int32_t def) const { return platform::toInt(text(element)).value_or(def); }

private:
    const mbus::ElementTexts& t_;
    QString where_;
};

// The numbers of a frame element's bytes, at most `n`, the rest zero.
template <size_t N>
std::array<uint8_t, N> frameBytes(const mbus::TemplateItemTexts& item, const QString& where)
{
    if (!item.hasFrame())
        throw platform::UserError(QStringLiteral("%1: the element Frame is missing.").arg(where));
    std::array<uint8_t, N> out{};
    const QStringList& bytes = item.frame();
    for (qsizetype i = 0; i < bytes.size() && i < static_cast<qsizetype>(N); ++i)
        out[static_cast<size_t>(i)] = static_cast<uint8_t>(platform::toInt(bytes[i]).value_or(0));
    return out;
}

std::array<uint8_t, 64> textField(const QString& text)
{
    std::array<uint8_t, 64> f{};
    for (qsizetype i = 0; i < text.size() && i < 64; ++i)
        f[static_cast<size_t>(i)] = static_cast<uint8_t>(text[i].unicode() & 0xFF);
    return f;
}

// The MSB and SST of an object name take a "0" in front of a single character, the third field
// "00" or "0" in front of one or two.
QString twoDigits(const QString& s) { return s.size() == 1 ? QStringLiteral("0") + s : s; }
QString threeDigits(const QString& s)
{
    if (s.size() == 1)
        return QStringLiteral("00") + s;
    if (s.size() == 2)
        return QStringLiteral("0") + s;
    return s;
}

uint8_t dimensionOf(int32_t objectType) { return objectType == 3 || objectType == 4 || objectType == 5 ? 1 : 4; }

struct NameParts {
    QString msb, sst, third;
};

// An object from a template variable, at the running data position.
TVar_BACnet objectOf(const Required& v, uint8_t frame, const NameParts& np, uint32_t& position)
{
    TVar_BACnet o;
    o.FrameNum = frame;
    o.Pos_Frame = static_cast<uint8_t>(v.number("PositionInFrame", 0));
    o.Units = static_cast<uint16_t>(v.number("Units", 95));
    o.ObjectType = v.number("ObjectType", 0);
    o.Pos_Array = position;
    o.Dimension = dimensionOf(o.ObjectType);
    position += o.Dimension;
    o.Option = static_cast<uint8_t>(v.number("Options", 0));
    o.ObjectName = textField(v.text("ON_Split1") + np.msb + v.text("ON_Split2") + np.sst + v.text("ON_Split3") +
                             np.third + v.text("ON_Split4"));
    o.Description = textField(v.text("Description"));
    return o;
}

int typeGroup(int32_t objectType)
{
    const auto it = std::find(kMasterObjectTypes.begin(), kMasterObjectTypes.end(), objectType);
    return it == kMasterObjectTypes.end() ? -1 : static_cast<int>(it - kMasterObjectTypes.begin());
}

void loadDevice(MasterModel& m, const mbus::DeviceTexts& d, int index, uint32_t& position)
{
    const workspace::Workspace& w = workspace::ws();
    const Required dev(d.values, QStringLiteral("M_Bus_Custom_QV.xml, device %1").arg(index + 1));
    const QString templateName = dev.text("Template");
    const QString path = mbus::findTemplateFile(w.Template_Dir, templateName);
    if (path.isEmpty())
        return; // its template was deleted: the device is not configured
    const mbus::TemplateTexts tpl = mbus::readTemplateTexts(path);
    const QString tplWhere = QStringLiteral("Template %1").arg(QFileInfo(path).fileName());

    TNodo_Bank node;
    if (!tpl.deviceType)
        throw platform::UserError(QStringLiteral("%1: the element Device_Type/Type is missing.").arg(tplWhere));
    node.Dev_Type = static_cast<uint16_t>(platform::toInt(*tpl.deviceType).value_or(0));
    node.ID_Type = static_cast<uint8_t>(dev.number("ID_Type", 0));
    node.ID_MBus = static_cast<uint32_t>(dev.number("ID_MBus", 0));
    const int32_t nodeState = dev.number("Node_State", 0);
    const int32_t identNumber = dev.number("Identification_Number", 0);
    node.Node_State = static_cast<uint8_t>(nodeState);
    node.Ide_Number = static_cast<uint8_t>(identNumber);
    const NameParts np{twoDigits(dev.text("MSB")), twoDigits(dev.text("SST")), threeDigits(dev.text("Third_Field"))};
    if (!tpl.hasListVariables)
        throw platform::UserError(QStringLiteral("%1: the element List_Variables is missing.").arg(tplWhere));
    if (!d.hasListVars)
        throw platform::UserError(
            QStringLiteral("M_Bus_Custom_QV.xml, device %1: the element List_Vars is missing.").arg(index + 1));

    size_t c = 0;
    bool nodeStateRow = true;
    for (size_t k = 0; k < tpl.variables.size(); ++k) {
        const mbus::TemplateItemTexts& item = tpl.variables[k];
        const QString where = QStringLiteral("%1, variable %2").arg(tplWhere).arg(k + 1);
        const Required v(item, where);
        if (mbus::isLeadingRow(item)) {
            // The first leading row is the node state, every later one the identification.
            const bool first = nodeStateRow;
            nodeStateRow = false;
            if ((first ? nodeState : identNumber) != 1)
                continue;
            TVar_BACnet o = objectOf(v, 0, np, position);
            (first ? node.Add_NS : node.Add_IN) = o.Pos_Array;
            workspace::Inc_Obj_Counter(o.ObjectType);
            m.objects.push_back(o);
            continue;
        }
        if (c >= d.vars.size())
            throw platform::UserError(
                QStringLiteral("M_Bus_Custom_QV.xml, device %1: it has fewer variables than its template %2.")
                    .arg(index + 1)
                    .arg(templateName));
        const std::optional<QString> enable = d.vars[c++];
        if (!enable)
            throw platform::UserError(
                QStringLiteral("M_Bus_Custom_QV.xml, device %1, variable %2: the element Enable is missing.")
                    .arg(index + 1)
                    .arg(c));
        if (*enable != QLatin1String("1"))
            continue;
        const uint8_t frame = static_cast<uint8_t>(v.number("FrameNumber", 1));
        const uint8_t pos = static_cast<uint8_t>(v.number("PositionInFrame", 0));
        const int32_t type = v.number("ObjectType", 0);
        workspace::Inc_Obj_Counter(type);
        if (!Exists_Var_MBus(node, frame, pos)) {
            TVars_MBus r;
            r.FrameNum = frame;
            r.Pos_Frame = pos;
            r.Dimension = static_cast<uint8_t>(v.number("Dimension", 1));
            r.MoreVars = static_cast<uint8_t>(v.number("UsedInMoreVars", 0));
            r.ObjType = static_cast<uint8_t>(type);
            r.PostOpe = static_cast<uint8_t>(v.number("PostOperation", 0));
            r.Pos_Array = position;
            const int32_t lengthWrite = v.number("LengthWriteFrame", 0);
            if (lengthWrite > 0) {
                TVars_W_MBus x;
                x.FrameNum = r.FrameNum;
                x.Pos_Frame = r.Pos_Frame;
                x.ObjType = r.ObjType;
                x.PostOpe = r.PostOpe;
                x.Dimension = r.Dimension;
                x.Pos_Array = r.Pos_Array;
                x.LenFrame = static_cast<uint8_t>(lengthWrite);
                x.Frame = frameBytes<10>(item, where);
                const int32_t made = workspace::Get_Obj_Counter(type);
                x.ObjInstance = made > 0 ? static_cast<uint32_t>(made - 1) : 0;
                node.List_Vars_W_MBus.push_back(x);
            }
            node.List_Vars_MBus.push_back(r);
        }
        m.objects.push_back(objectOf(v, frame, np, position));
    }

    // Devices of one template share its request list.
    node.NoBank_ID_Req = Find_Device_Reqs(m, templateName);
    if (node.NoBank_ID_Req < 0) {
        if (!tpl.hasListRequests)
            throw platform::UserError(QStringLiteral("%1: the element List_Requests is missing.").arg(tplWhere));
        node.NoBank_ID_Req = static_cast<int>(m.templates.size());
        TDevice_Reqs reqs;
        reqs.Nome_File_Xml = templateName;
        for (size_t k = 0; k < tpl.requests.size(); ++k) {
            const QString where = QStringLiteral("%1, request %2").arg(tplWhere).arg(k + 1);
            const Required r(tpl.requests[k], where);
            TReqs_MBus q;
            q.Step = static_cast<uint8_t>(r.number("Step", 1));
            q.FrameNum = static_cast<uint8_t>(r.number("FrameNumber", 0));
            q.LenFrame = static_cast<uint8_t>(r.number("FrameLength", 0));
            q.Frame = frameBytes<26>(tpl.requests[k], where);
            q.ByteToChange = static_cast<uint8_t>(r.number("ByteToChange", 0));
            q.Reply = static_cast<uint8_t>(r.number("Reply", 0));
            q.NextStep = static_cast<uint8_t>(r.number("NextStep", 0));
            q.VarForFrame = static_cast<uint8_t>(r.number("VariablesForFrame", 0));
            reqs.List_Reqs_MBus.push_back(q);
        }
        m.templates.push_back(std::move(reqs));
    }
    m.nodes.push_back(std::move(node));
}

size_t requestsBefore(const MasterModel& m, int templateIndex)
{
    size_t n = 0;
    for (int k = 0; k < templateIndex && k < static_cast<int>(m.templates.size()); ++k)
        n += m.templates[static_cast<size_t>(k)].List_Reqs_MBus.size();
    return n;
}

} // namespace

int Find_Device_Reqs(const MasterModel& m, const QString& name)
{
    for (size_t k = 0; k < m.templates.size(); ++k)
        if (m.templates[k].Nome_File_Xml == name)
            return static_cast<int>(k);
    return -1;
}

bool Exists_Var_MBus(const TNodo_Bank& node, uint8_t frame, uint8_t position)
{
    for (const TVars_MBus& v : node.List_Vars_MBus)
        if (v.FrameNum == frame && v.Pos_Frame == position)
            return true;
    return false;
}

void Load_Devices_QV(MasterModel& m, uint32_t deviceInstance)
{
    m = MasterModel{};
    workspace::Reset_Obj_Counters();
    uint32_t position = 0;

    // The reset object takes no place in the data area: the next object starts at 0 as well.
    TVar_BACnet reset;
    reset.Units = 95;
    reset.Dimension = 1;
    reset.Option = 3;
    reset.ObjectType = 5;
    reset.ObjectName = textField(QStringLiteral("Device_%1_OSL_Reset_Converter").arg(deviceInstance));
    reset.Description = textField(QStringLiteral("OSL_Reset_Converter"));
    workspace::Inc_Obj_Counter(5);
    m.objects.push_back(reset);

    const workspace::Workspace& w = workspace::ws();
    if (const std::optional<mbus::DeviceListTexts> list = mbus::readDeviceListTexts(w.Path_M_Bus_Custom_QV))
        for (size_t k = 0; k < list->devices.size(); ++k)
            loadDevice(m, list->devices[k], static_cast<int>(k), position);

    Clear_BDT(m.bdt);
    Load_BDT(m.bdt, w.Path_BACnet_BDT, BdtExtraRows::Ignore);
}

void Build_Bin_QV(MasterImages& q, int32_t converterType)
{
    Default_Par_QV(q.par);
    if (converterType == 1002)
        Read_Par_Gen_QV_PROFINET(q.par);
    else if (converterType == 1003)
        Read_Par_Gen_QV_Modbus_TCP(q.par);
    else
        Read_Par_Gen_QV_BACnet(q.par);
    MasterModel& m = q.model;
    Load_Devices_QV(m, q.par.BACnet_Device_Instance);
    const bool bacnet = converterType != 1002 && converterType != 1003;

    // Set_Addresses_QV
    int64_t vars = 0, writes = 0, requests = 0;
    for (const TNodo_Bank& n : m.nodes) {
        vars += static_cast<int64_t>(n.List_Vars_MBus.size());
        writes += static_cast<int64_t>(n.List_Vars_W_MBus.size());
    }
    for (const TDevice_Reqs& t : m.templates)
        requests += static_cast<int64_t>(t.List_Reqs_MBus.size());
    int64_t tableObjects = 0;
    if (bacnet)
        for (const TVar_BACnet& o : m.objects)
            if (typeGroup(o.ObjectType) >= 0)
                ++tableObjects;
    const int64_t nodes = static_cast<int64_t>(m.nodes.size());
    const int64_t objectTable = kNodeSize * nodes + kReadVarSize * vars + kWriteVarSize * writes + kRequestSize * requests;
    const int64_t bank3Length = kTablesOffset + objectTable + (bacnet ? kObjectSize * tableObjects + kBdtSize : 0);
    if (bank3Length > q.bank3.capacity())
        throw platform::UserError(QStringLiteral("The devices need %1 bytes in bank3 of the image; it has room for %2.")
                                      .arg(bank3Length)
                                      .arg(q.bank3.capacity()));
    const int64_t bank4Length = kTextEntrySize * static_cast<int64_t>(m.objects.size());
    if (bacnet && bank4Length > q.bank4.capacity())
        throw platform::UserError(
            QStringLiteral("The names of the BACnet objects need %1 bytes in bank4 of the image; it has room for %2.")
                .arg(bank4Length)
                .arg(q.bank4.capacity()));

    const uint32_t t0 = kMasterTableAddress;
    q.par.Node_Table_Address = t0;
    uint32_t nextVar = t0 + static_cast<uint32_t>(kNodeSize * nodes);
    uint32_t nextWrite = nextVar + static_cast<uint32_t>(kReadVarSize * vars);
    const uint32_t requestTable = nextWrite + static_cast<uint32_t>(kWriteVarSize * writes);
    for (TNodo_Bank& n : m.nodes) {
        n.Num_Vars = static_cast<uint16_t>(n.List_Vars_MBus.size());
        n.Add_Vars = nextVar;
        nextVar += static_cast<uint32_t>(kReadVarSize * n.List_Vars_MBus.size());
        n.Num_W_Vars = static_cast<uint16_t>(n.List_Vars_W_MBus.size());
        n.Add_W_Vars = nextWrite;
        nextWrite += static_cast<uint32_t>(kWriteVarSize * n.List_Vars_W_MBus.size());
        n.Add_Reqs = requestTable + static_cast<uint32_t>(kRequestSize * requestsBefore(m, n.NoBank_ID_Req));
        n.Num_Reqs = static_cast<uint8_t>(m.templates[static_cast<size_t>(n.NoBank_ID_Req)].List_Reqs_MBus.size());
    }
    const uint32_t t = t0 + static_cast<uint32_t>(objectTable);
    q.par.Object_Table_Address = t;
    // Just after the object records as written, which is where the BBMD table of 1001 starts.
    q.par.After_Object_Table = t + static_cast<uint32_t>(kObjectSize * tableObjects);
    for (size_t k = 0; k < m.objects.size(); ++k) {
        m.objects[k].PointerObjName = 1024 + kTextEntrySize * static_cast<uint32_t>(k);
        m.objects[k].PointerDesc = 1088 + kTextEntrySize * static_cast<uint32_t>(k);
    }

    // Count_Objects_QV
    q.par.Object_Count.fill(0);
    for (const TVar_BACnet& o : m.objects)
        if (const int g = typeGroup(o.ObjectType); g >= 0)
            ++q.par.Object_Count[static_cast<size_t>(g)];
    q.par.Node_Count = static_cast<uint32_t>(nodes);

    // bank3
    Write_General_Record_QV(q.bank3, q.par, 0);
    BankWriter w(q.bank3, kTablesOffset);
    for (const TNodo_Bank& n : m.nodes) {
        w.u16(n.Dev_Type).u8(n.ID_Type).u32(n.ID_MBus).u16(n.Num_Vars).u32(n.Add_Vars).u16(n.Num_W_Vars);
        w.u32(n.Add_W_Vars).u8(n.Num_Reqs).u32(n.Add_Reqs).u8(n.Node_State).u32(n.Add_NS).u8(n.Ide_Number);
        w.u32(n.Add_IN);
    }
    for (const TNodo_Bank& n : m.nodes)
        for (const TVars_MBus& v : n.List_Vars_MBus)
            w.u8(v.FrameNum).u8(v.Pos_Frame).u8(v.Dimension).u8(v.MoreVars).u32(v.Pos_Array).u8(v.ObjType).u8(v.PostOpe);
    for (const TNodo_Bank& n : m.nodes)
        for (const TVars_W_MBus& v : n.List_Vars_W_MBus) {
            w.u8(v.FrameNum).u8(v.Pos_Frame).u8(v.LenFrame).u8(v.ObjType).bytes(v.Frame.data(), 10);
            w.u32(v.ObjInstance).u32(v.Pos_Array).u8(v.PostOpe).u8(v.Dimension);
        }
    for (const TDevice_Reqs& tpl : m.templates)
        for (const TReqs_MBus& r : tpl.List_Reqs_MBus) {
            w.u8(r.Step).u8(r.FrameNum).u8(r.LenFrame).bytes(r.Frame.data(), 26);
            w.u8(r.ByteToChange).u8(r.Reply).u8(r.NextStep).u8(r.VarForFrame);
        }
    if (bacnet) {
        for (int type : kMasterObjectTypes)
            for (const TVar_BACnet& o : m.objects)
                if (o.ObjectType == type) {
                    w.u8(o.FrameNum).u8(o.Pos_Frame).zeros(2).u32(o.Pos_Array).u16(o.Units).u8(o.Dimension);
                    w.u8(o.Option).u32(o.PointerObjName).u32(o.PointerDesc).zeros(4);
                }
        Write_BDT(q.bank3, m.bdt, w.offset());
        q.bank3.setLength(w.offset() + kBdtSize);
    } else {
        q.bank3.setLength(w.offset());
    }

    // bank4, the object texts of the BACnet model
    if (bacnet) {
        BankWriter t4(q.bank4, 0);
        for (const TVar_BACnet& o : m.objects)
            t4.bytes(o.ObjectName.data(), 64).bytes(o.Description.data(), 64);
        q.bank4.setLength(t4.offset());
    } else {
        q.bank4.setLength(0);
    }
}

} // namespace image
