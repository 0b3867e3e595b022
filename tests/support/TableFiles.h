#pragma once
// Generators of the project's table files as their editors write them: the root element, the
// sections in the editor's order, one element per row with every attribute of the row in column
// order, check boxes as "Y" or "N", and the version comment after the root where the editor
// writes one. Tests and benchmarks build their fixture projects from these instead of keeping
// XML files around; a test that needs a damaged file edits a row with `with` or `without`.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

namespace testing_support::tables {

using Attrs = std::vector<std::pair<QString, QString>>;
using Rows = std::vector<Attrs>;

// A row with one attribute changed (appended when missing), or taken away.
Attrs with(Attrs row, const QString& name, const QString& value);
Attrs without(Attrs row, const QString& name);

struct Section {
    QString name{};
    Rows rows{};
};

// Any table file: sections of `row` elements, or rows of `rowElement` directly in the root.
// An empty `comment` writes none.
QByteArray tableXml(const QString& root, const std::vector<Section>& sections, const Rows& rootRows = {},
                    const QString& comment = QString(), const QString& rowElement = QStringLiteral("row"));

// ParGen.xml: one element per key under "Par_Gen", then the version comment.
QByteArray parGenXml(const std::vector<std::pair<QString, QString>>& keys,
                     const QString& comment = QStringLiteral("SW_VERSION = 1.201"));

// BACnet object table of the models without a Modbus master (attribute "Swap" included).
struct ObjectRow {
    QString type = QStringLiteral("Analog Input");
    QString unit = QStringLiteral("95");
    QString position = QStringLiteral("0");
    QString bit = QStringLiteral("0");
    QString length = QStringLiteral("4");
    QString swap = QStringLiteral("N");
    QString mnemonic{};
};
Attrs objectRow(const ObjectRow& r);
QByteArray objectTableXml(const Rows& readRows, const Rows& writeRows,
                          const QString& comment = QStringLiteral("SW_VERSION = 1.201"));

// CAN_Rec_Frames.xml, CAN_Send_Frames.xml and their byte maps.
struct CanFrame {
    QString cobId = QStringLiteral("256");
    QString type = QStringLiteral("2.0A (11 bits)");
    QString dimension = QStringLiteral("8");
    QString timeOut = QStringLiteral("1000");                // receive frames
    QString sendType = QStringLiteral("On Timer");           // send frames
    QString timerSend = QStringLiteral("500");               // send frames
    QString mnemonic{};
};
Attrs canReceiveFrame(const CanFrame& f);
Attrs canSendFrame(const CanFrame& f);
QByteArray canReceiveFramesXml(const Rows& frames);
QByteArray canSendFramesXml(const Rows& frames);
// A byte-map row: B1..B8 from `positions`, 65535 ("none") for the bytes after them.
Attrs canInfoRow(const std::vector<int>& positions);
QByteArray canReceiveInfoXml(const Rows& rows);
QByteArray canSendInfoXml(const Rows& rows);

// SDO_Server_CANopen.xml, SDO_Client_CANopen.xml and PDO_CANopen.xml (no version comment).
struct SdoRow {
    QString deviceId = QStringLiteral("2"); // client only
    QString index = QStringLiteral("8192");
    QString subIndex = QStringLiteral("0");
    QString nByte = QStringLiteral("1");
    QString pollTime = QStringLiteral("100"); // client only
    QString onChange = QStringLiteral("N");   // client write rows only
    QStringList addresses{QStringLiteral("0"), QString(), QString(), QString()};
    QString mnemonic{};
};
Attrs sdoServerRow(const SdoRow& r);
Attrs sdoClientRow(const SdoRow& r, bool write);
QByteArray sdoXml(const Rows& readRows, const Rows& writeRows);
struct PdoRow {
    QString cobId = QStringLiteral("385");
    QString dimension = QStringLiteral("1");
    QStringList addresses{QStringLiteral("0"), QString(), QString(), QString(),
                          QString(), QString(), QString(), QString()};
    QString timeOut = QStringLiteral("1000");  // receive
    QString sendTime = QStringLiteral("100");  // transmit
    QString onChange = QStringLiteral("N");    // transmit
    QString mnemonic{};
};
Attrs pdoReceiveRow(const PdoRow& r);
Attrs pdoTransmitRow(const PdoRow& r);
QByteArray pdoXml(const Rows& receiveRows, const Rows& transmitRows);

// KNX_SetAccess.xml: the empty "KNX_in_Read" and the rows of "KNX_in_Write".
struct KnxRow {
    QString enable = QStringLiteral("Y");
    QString source = QStringLiteral("1.1.1");
    QString destination = QStringLiteral("1/2/3");
    QString apci = QStringLiteral("Write");
    QString priority = QStringLiteral("Normal");
    QString format = QStringLiteral("None");
    QString extended = QStringLiteral("N");
    QString reTest = QStringLiteral("N");
    QString onCommand = QStringLiteral("N");
    QString onChange = QStringLiteral("Y");
    QString onTimer = QStringLiteral("N");
    QString pollTime{};
    QString position = QStringLiteral("0");
    QString bitMode = QStringLiteral("No");
    QString length = QStringLiteral("1");
    QString mnemonic{};
};
Attrs knxRow(const KnxRow& r);
QByteArray knxXml(const Rows& rows);

// DMX_Default_Values.xml: one "Row" per channel.
Attrs dmxRow(const QString& value, const QString& mnemonic = QString());
QByteArray dmxXml(const Rows& rows);

// SNMP_Trap.xml.
struct TrapRow {
    QString enable = QStringLiteral("Y");
    QString community = QStringLiteral("Kelpie");
    QString type = QStringLiteral("Int");
    QString onChange = QStringLiteral("N");
    QString onCommand = QStringLiteral("N");
    QString onTimer = QStringLiteral("N");
    QString time{};
    QString position = QStringLiteral("0");
    QString bit = QStringLiteral("0");
    QString numBits = QStringLiteral("8");
    QString description = QStringLiteral("value");
    QString ipAddress = QStringLiteral("192.168.2.10");
    QString conversion = QStringLiteral("None");
    QString mnemonic{};
};
Attrs trapReadRow(const TrapRow& r);
Attrs trapWriteRow(const TrapRow& r);
QByteArray snmpTrapXml(const Rows& readRows, const Rows& writeRows);

// SNMP_Manager.xml.
struct ManagerRow {
    QString enable = QStringLiteral("Y");
    QString ipAddress = QStringLiteral("192.168.2.20");
    QString version = QStringLiteral("1");
    QString community = QStringLiteral("Brindle");
    QString oid = QStringLiteral("1.3.6.1.2.1.1.3.0");
    QString type = QStringLiteral("Int");
    QString mode = QStringLiteral("Get");
    QString onChange = QStringLiteral("N");
    QString onCommand = QStringLiteral("N");
    QString onTimer = QStringLiteral("Y");
    QString time = QStringLiteral("1000");
    QString position = QStringLiteral("0");
    QString numberBytes = QStringLiteral("4");
    QString convertFrom = QStringLiteral("None");
    QString user{};
    QString authPass{};
    QString privPass{};
    QString securityLevel{};
    QString authMode{};
    QString privMode{};
    QString mnemonic{};
};
Attrs managerRow(const ManagerRow& r);
QByteArray snmpManagerXml(const Rows& rows);

// DNETM_Net.xml and DNETM_DefOff.xml of the DeviceNet master.
Attrs dnetSlaveRow(const QString& id, const QString& nbIn, const QString& nbOut, const QString& mnemonic = QString());
QByteArray dnetNetXml(const Rows& rows);
struct DnetOffsets {
    Rows byteIn{};  // rows of "Offset" and "Mnemonic"
    Rows byteOut{};
};
Attrs dnetOffsetRow(const QString& offset, const QString& mnemonic = QString());
QByteArray dnetDefOffXml(const std::vector<DnetOffsets>& nodes);

// J1939 and NMEA 2000 frame tables: rows directly in the root.
struct PgnRow {
    QString priority = QStringLiteral("6");  // transmit
    QString dataPage = QStringLiteral("0");  // J1939 only
    QString pgn = QStringLiteral("65262");
    QString sourceAddress = QStringLiteral("0");
    QString tp = QStringLiteral("N");
    QString fp = QStringLiteral("N");        // NMEA 2000 only
    QString tpStart = QStringLiteral("0");   // receive
    QString tpNByte = QStringLiteral("0");
    QString cancelData = QStringLiteral("N"); // receive
    QString transmitType = QStringLiteral("On Data Change"); // transmit
    QString sendTimer{};                        // transmit
    QString mnemonic{};
};
Attrs j1939ReceiveRow(const PgnRow& r);
Attrs j1939TransmitRow(const PgnRow& r);
QByteArray j1939Xml(const Rows& rows);
Attrs nmeaReceiveRow(const PgnRow& r);
Attrs nmeaTransmitRow(const PgnRow& r);
QByteArray nmeaXml(const Rows& rows);

} // namespace testing_support::tables
