#include "support/TableFiles.h"

#include "platform/xml/XmlDom.h"

namespace testing_support::tables {

namespace {

void addRow(platform::XmlNode parent, const QString& element, const Attrs& attrs)
{
    platform::XmlNode row = parent.appendElement(element);
    for (const auto& [k, v] : attrs)
        row.setAttribute(k, v);
}

QString at(const QStringList& list, int i) { return i < list.size() ? list[i] : QString(); }

void addresses(Attrs& a, const QStringList& list, int n)
{
    for (int i = 0; i < n; ++i)
        a.push_back({QStringLiteral("Address_B%1").arg(i + 1), at(list, i)});
}

const QString kCanComment = QStringLiteral("SW_VERSION = 1.201");
const QString kCanopenRoot = QStringLiteral("EtherNetIP_to_SDO_CANopen");

} // namespace

Attrs with(Attrs row, const QString& name, const QString& value)
{
    for (auto& [k, v] : row) {
        if (k == name) {
            v = value;
            return row;
        }
    }
    row.push_back({name, value});
    return row;
}

Attrs without(Attrs row, const QString& name)
{
    Attrs out;
    for (const auto& a : row)
        if (a.first != name)
            out.push_back(a);
    return out;
}

QByteArray tableXml(const QString& root, const std::vector<Section>& sections, const Rows& rootRows,
                    const QString& comment, const QString& rowElement)
{
    platform::XmlDocument d;
    platform::XmlNode r = d.appendElement(root);
    for (const Section& s : sections) {
        platform::XmlNode section = r.appendElement(s.name);
        for (const Attrs& a : s.rows)
            addRow(section, QStringLiteral("row"), a);
    }
    for (const Attrs& a : rootRows)
        addRow(r, rowElement, a);
    if (!comment.isEmpty())
        d.appendComment(comment);
    return d.toBytes();
}

QByteArray parGenXml(const std::vector<std::pair<QString, QString>>& keys, const QString& comment)
{
    platform::XmlDocument d;
    platform::XmlNode r = d.appendElement(QStringLiteral("Par_Gen"));
    for (const auto& [k, v] : keys)
        r.appendTextElement(k, v);
    d.appendComment(comment);
    return d.toBytes();
}

Attrs objectRow(const ObjectRow& r)
{
    return {{QStringLiteral("Data_Type"), r.type}, {QStringLiteral("Eng_Unit"), r.unit},
            {QStringLiteral("Position"), r.position}, {QStringLiteral("Bit"), r.bit},
            {QStringLiteral("Length"), r.length}, {QStringLiteral("Swap"), r.swap},
            {QStringLiteral("Mnemonic"), r.mnemonic}};
}

QByteArray objectTableXml(const Rows& readRows, const Rows& writeRows, const QString& comment)
{
    return tableXml(QStringLiteral("BACnet_to_Modbus"),
                    {{QStringLiteral("BACnet_in_Read"), readRows}, {QStringLiteral("BACnet_in_Write"), writeRows}}, {},
                    comment);
}

Attrs canReceiveFrame(const CanFrame& f)
{
    return {{QStringLiteral("Cob_Id"), f.cobId}, {QStringLiteral("Type"), f.type},
            {QStringLiteral("Dimension"), f.dimension}, {QStringLiteral("TimeOut"), f.timeOut},
            {QStringLiteral("Mnemonic"), f.mnemonic}};
}

Attrs canSendFrame(const CanFrame& f)
{
    return {{QStringLiteral("Cob_Id"), f.cobId},         {QStringLiteral("Type"), f.type},
            {QStringLiteral("Dimension"), f.dimension}, {QStringLiteral("Send_Type"), f.sendType},
            {QStringLiteral("Timer_Send"), f.timerSend}, {QStringLiteral("Mnemonic"), f.mnemonic}};
}

QByteArray canReceiveFramesXml(const Rows& frames)
{
    return tableXml(QStringLiteral("PROFINET_to_Receive_CAN"), {{QStringLiteral("Receive_Frames"), frames}}, {},
                    kCanComment);
}

QByteArray canSendFramesXml(const Rows& frames)
{
    return tableXml(QStringLiteral("PROFINET_to_Send_CAN"), {{QStringLiteral("Send_Frames"), frames}}, {},
                    kCanComment);
}

Attrs canInfoRow(const std::vector<int>& positions)
{
    Attrs a;
    for (size_t i = 0; i < 8; ++i)
        a.push_back({QStringLiteral("B%1").arg(i + 1), QString::number(i < positions.size() ? positions[i] : 65535)});
    return a;
}

QByteArray canReceiveInfoXml(const Rows& rows)
{
    return tableXml(QStringLiteral("Receive_Frames_Info"), {}, rows, kCanComment);
}

QByteArray canSendInfoXml(const Rows& rows)
{
    return tableXml(QStringLiteral("Send_Frames_Info"), {}, rows, kCanComment);
}

Attrs sdoServerRow(const SdoRow& r)
{
    Attrs a{{QStringLiteral("Index"), r.index}, {QStringLiteral("SubIndex"), r.subIndex},
            {QStringLiteral("NByte"), r.nByte}};
    addresses(a, r.addresses, 4);
    a.push_back({QStringLiteral("Mnemonic"), r.mnemonic});
    return a;
}

Attrs sdoClientRow(const SdoRow& r, bool write)
{
    Attrs a{{QStringLiteral("Device_ID"), r.deviceId}, {QStringLiteral("Index"), r.index},
            {QStringLiteral("SubIndex"), r.subIndex},  {QStringLiteral("NByte"), r.nByte},
            {QStringLiteral("Poll_Time"), r.pollTime}};
    if (write)
        a.push_back({QStringLiteral("On_Change"), r.onChange});
    addresses(a, r.addresses, 4);
    a.push_back({QStringLiteral("Mnemonic"), r.mnemonic});
    return a;
}

QByteArray sdoXml(const Rows& readRows, const Rows& writeRows)
{
    return tableXml(kCanopenRoot, {{QStringLiteral("SDO_Read"), readRows}, {QStringLiteral("SDO_Write"), writeRows}});
}

Attrs pdoReceiveRow(const PdoRow& r)
{
    Attrs a{{QStringLiteral("COB-ID"), r.cobId}, {QStringLiteral("Dimension"), r.dimension}};
    addresses(a, r.addresses, 8);
    a.push_back({QStringLiteral("TimeOut"), r.timeOut});
    a.push_back({QStringLiteral("Mnemonic"), r.mnemonic});
    return a;
}

Attrs pdoTransmitRow(const PdoRow& r)
{
    Attrs a{{QStringLiteral("COB-ID"), r.cobId}, {QStringLiteral("Dimension"), r.dimension}};
    addresses(a, r.addresses, 8);
    a.push_back({QStringLiteral("Send_Time"), r.sendTime});
    a.push_back({QStringLiteral("On_Change"), r.onChange});
    a.push_back({QStringLiteral("Mnemonic"), r.mnemonic});
    return a;
}

QByteArray pdoXml(const Rows& receiveRows, const Rows& transmitRows)
{
    return tableXml(kCanopenRoot,
                    {{QStringLiteral("Receive_PDO"), receiveRows}, {QStringLiteral("Transmit_PDO"), transmitRows}});
}

Attrs knxRow(const KnxRow& r)
{
    return {{QStringLiteral("Enable"), r.enable},
            {QStringLiteral("Source_Address"), r.source},
            {QStringLiteral("Destination_Address"), r.destination},
            {QStringLiteral("APCI"), r.apci},
            {QStringLiteral("Priority"), r.priority},
            {QStringLiteral("Format"), r.format},
            {QStringLiteral("Extended"), r.extended},
            {QStringLiteral("ReTest"), r.reTest},
            {QStringLiteral("On_Command"), r.onCommand},
            {QStringLiteral("On_Change"), r.onChange},
            {QStringLiteral("On_Timer"), r.onTimer},
            {QStringLiteral("Poll_Time"), r.pollTime},
            {QStringLiteral("Position"), r.position},
            {QStringLiteral("Bit_Mode"), r.bitMode},
            {QStringLiteral("Length"), r.length},
            {QStringLiteral("Mnemonic"), r.mnemonic}};
}

QByteArray knxXml(const Rows& rows)
{
    return tableXml(QStringLiteral("BACnet_to_KNX"),
                    {{QStringLiteral("KNX_in_Read"), {}}, {QStringLiteral("KNX_in_Write"), rows}}, {},
                    QStringLiteral("SW_VERSION = 1.009"));
}

Attrs dmxRow(const QString& value, const QString& mnemonic)
{
    return {{QStringLiteral("Default_Value"), value}, {QStringLiteral("Mnemonic"), mnemonic}};
}

QByteArray dmxXml(const Rows& rows)
{
    return tableXml(QStringLiteral("DMX_Default_Values"), {}, rows, QStringLiteral("SW_VERSION = 1.003"),
                    QStringLiteral("Row"));
}

Attrs trapReadRow(const TrapRow& r)
{
    return {{QStringLiteral("Enable"), r.enable},       {QStringLiteral("Community_Name"), r.community},
            {QStringLiteral("Type"), r.type},           {QStringLiteral("On_Change"), r.onChange},
            {QStringLiteral("On_Command"), r.onCommand}, {QStringLiteral("On_Timer"), r.onTimer},
            {QStringLiteral("Time"), r.time},           {QStringLiteral("Position"), r.position},
            {QStringLiteral("Bit"), r.bit},             {QStringLiteral("NumBits"), r.numBits},
            {QStringLiteral("Description"), r.description}, {QStringLiteral("IP_Address"), r.ipAddress},
            {QStringLiteral("Conversion"), r.conversion}, {QStringLiteral("Mnemonic"), r.mnemonic}};
}

Attrs trapWriteRow(const TrapRow& r)
{
    return {{QStringLiteral("Enable"), r.enable},   {QStringLiteral("Community_Name"), r.community},
            {QStringLiteral("Type"), r.type},       {QStringLiteral("Position"), r.position},
            {QStringLiteral("Bit"), r.bit},         {QStringLiteral("NumBits"), r.numBits},
            {QStringLiteral("Description"), r.description}, {QStringLiteral("Conversion"), r.conversion},
            {QStringLiteral("Mnemonic"), r.mnemonic}};
}

QByteArray snmpTrapXml(const Rows& readRows, const Rows& writeRows)
{
    return tableXml(QStringLiteral("SNMP_Trap"),
                    {{QStringLiteral("SNMP_Trap_Read"), readRows}, {QStringLiteral("SNMP_Trap_Write"), writeRows}}, {},
                    QStringLiteral("SW_VERSION = 1.302"));
}

Attrs managerRow(const ManagerRow& r)
{
    return {{QStringLiteral("Enable"), r.enable},
            {QStringLiteral("IP_Address"), r.ipAddress},
            {QStringLiteral("Version"), r.version},
            {QStringLiteral("Community_String"), r.community},
            {QStringLiteral("OID"), r.oid},
            {QStringLiteral("Type"), r.type},
            {QStringLiteral("Mode"), r.mode},
            {QStringLiteral("On_Change"), r.onChange},
            {QStringLiteral("On_Command"), r.onCommand},
            {QStringLiteral("On_Timer"), r.onTimer},
            {QStringLiteral("Time"), r.time},
            {QStringLiteral("Position"), r.position},
            {QStringLiteral("Number_Bytes"), r.numberBytes},
            {QStringLiteral("ConvertFrom"), r.convertFrom},
            {QStringLiteral("User"), r.user},
            {QStringLiteral("Auth_Pass"), r.authPass},
            {QStringLiteral("Priv_Pass"), r.privPass},
            {QStringLiteral("Security_Level"), r.securityLevel},
            {QStringLiteral("Auth_Mode"), r.authMode},
            {QStringLiteral("Priv_Mode"), r.privMode},
            {QStringLiteral("Mnemonic"), r.mnemonic}};
}

QByteArray snmpManagerXml(const Rows& rows)
{
    return tableXml(QStringLiteral("SNMP_Agent_Access"), {}, rows, QStringLiteral("SW_VERSION = 1.201"));
}

Attrs dnetSlaveRow(const QString& id, const QString& nbIn, const QString& nbOut, const QString& mnemonic)
{
    return {{QStringLiteral("ID"), id}, {QStringLiteral("NB_IN"), nbIn}, {QStringLiteral("NB_OUT"), nbOut},
            {QStringLiteral("Mnemonic"), mnemonic}};
}

QByteArray dnetNetXml(const Rows& rows)
{
    return tableXml(QStringLiteral("DNET_Net"), {}, rows, QStringLiteral("SW_VERSION = 1.000"));
}

Attrs dnetOffsetRow(const QString& offset, const QString& mnemonic)
{
    return {{QStringLiteral("Offset"), offset}, {QStringLiteral("Mnemonic"), mnemonic}};
}

QByteArray dnetDefOffXml(const std::vector<DnetOffsets>& nodes)
{
    platform::XmlDocument d;
    platform::XmlNode r = d.appendElement(QStringLiteral("Define_Offset"));
    for (const DnetOffsets& n : nodes) {
        platform::XmlNode node = r.appendElement(QStringLiteral("Nodo_DNET"));
        platform::XmlNode in = node.appendElement(QStringLiteral("ByteIN"));
        for (const Attrs& a : n.byteIn)
            addRow(in, QStringLiteral("row"), a);
        platform::XmlNode out = node.appendElement(QStringLiteral("ByteOUT"));
        for (const Attrs& a : n.byteOut)
            addRow(out, QStringLiteral("row"), a);
    }
    d.appendComment(QStringLiteral("SW_VERSION = 1.000"));
    return d.toBytes();
}

Attrs j1939ReceiveRow(const PgnRow& r)
{
    return {{QStringLiteral("DP"), r.dataPage},        {QStringLiteral("PGN"), r.pgn},
            {QStringLiteral("SA"), r.sourceAddress},    {QStringLiteral("TP"), r.tp},
            {QStringLiteral("TP_Start"), r.tpStart},    {QStringLiteral("TP_NByte"), r.tpNByte},
            {QStringLiteral("Delete"), r.cancelData},   {QStringLiteral("Mnemonic"), r.mnemonic}};
}

Attrs j1939TransmitRow(const PgnRow& r)
{
    return {{QStringLiteral("Priority"), r.priority},  {QStringLiteral("DP"), r.dataPage},
            {QStringLiteral("PGN"), r.pgn},            {QStringLiteral("SA"), r.sourceAddress},
            {QStringLiteral("TP"), r.tp},              {QStringLiteral("TP_NByte"), r.tpNByte},
            {QStringLiteral("T_Type"), r.transmitType}, {QStringLiteral("SendTimer"), r.sendTimer},
            {QStringLiteral("Mnemonic"), r.mnemonic}};
}

QByteArray j1939Xml(const Rows& rows)
{
    return tableXml(QStringLiteral("Receive_J1939"), {}, rows, QStringLiteral("SW_VERSION = 1.000"));
}

Attrs nmeaReceiveRow(const PgnRow& r)
{
    return {{QStringLiteral("PGN"), r.pgn},           {QStringLiteral("SA"), r.sourceAddress},
            {QStringLiteral("TP"), r.tp},             {QStringLiteral("FP"), r.fp},
            {QStringLiteral("TP_Start"), r.tpStart},  {QStringLiteral("TP_NByte"), r.tpNByte},
            {QStringLiteral("Delete"), r.cancelData}, {QStringLiteral("Mnemonic"), r.mnemonic}};
}

Attrs nmeaTransmitRow(const PgnRow& r)
{
    return {{QStringLiteral("Priority"), r.priority},  {QStringLiteral("PGN"), r.pgn},
            {QStringLiteral("SA"), r.sourceAddress},    {QStringLiteral("TP"), r.tp},
            {QStringLiteral("FP"), r.fp},              {QStringLiteral("TP_NByte"), r.tpNByte},
            {QStringLiteral("T_Type"), r.transmitType}, {QStringLiteral("SendTimer"), r.sendTimer},
            {QStringLiteral("Mnemonic"), r.mnemonic}};
}

QByteArray nmeaXml(const Rows& rows)
{
    return tableXml(QStringLiteral("Receive_NMEA_2000"), {}, rows, QStringLiteral("SW_VERSION = 1.000"));
}

} // namespace testing_support::tables
