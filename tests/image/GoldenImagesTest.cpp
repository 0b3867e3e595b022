// Small projects of each device type of the CAN, CANopen, fieldbus slave, DeviceNet, KNX, DMX
// and SNMP models (a first one, and the variants "empty", "mstp", "type2" and "edge"), built and
// compared byte for byte with tests/data/image/bank1_<type>[_<variant>].hex. Those files hold
// the image as hex lines of 32 bytes, runs of equal lines written once, lines of zeros left out.
// Each project's files are kept in tests/data/image/check/projects/<name>, where the ctest
// image_layout_check computes the same images a second way. To rewrite both after a deliberate
// change of a layout or a project, run this test with VN_UPDATE_GOLDEN=1 and review the
// difference.
#include "FieldImageFixture.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QStringList>
#include <map>

using namespace field_test;

namespace {

QString goldenPath(const QString& name)
{
    return QStringLiteral(VN_TEST_DATA_DIR "/image/bank1_%1.hex").arg(name);
}

// The project files each golden image is built from, kept beside the images so that
// tests/data/image/check/layout_check.py can compute the images from them on its own.
QString projectDir(const QString& name)
{
    return QStringLiteral(VN_TEST_DATA_DIR "/image/check/projects/%1").arg(name);
}

// Relative path -> bytes of every file below `root`, the bank files excepted.
std::map<QString, QByteArray> projectFiles(const QString& root)
{
    std::map<QString, QByteArray> files;
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString name = QDir(root).relativeFilePath(path);
        if (name.startsWith(QStringLiteral("bin/")))
            continue;
        QFile f(path);
        if (f.open(QIODevice::ReadOnly))
            files[name] = f.readAll();
    }
    return files;
}

constexpr int kLine = 32;

QByteArray hexOffset(int offset) { return QByteArray::number(offset, 16).rightJustified(6, '0').toUpper(); }

// Lines of 32 bytes as "offset: bytes"; a run of equal lines as "first-last: bytes" with the
// offsets of its first and last line; lines of zeros left out.
QByteArray dump(const QByteArray& image, const QString& name)
{
    QByteArray out = QStringLiteral("# bank1.bin of the project check/projects/%1 built in GoldenImagesTest.cpp: "
                                    "lines of 32 bytes, \"first-last:\" for a run of equal lines, lines of zeros "
                                    "left out\nsize %2\n")
                         .arg(name)
                         .arg(image.size())
                         .toLatin1();
    for (int offset = 0; offset < image.size(); offset += kLine) {
        const QByteArray line = image.mid(offset, kLine);
        int last = offset;
        while (last + kLine < image.size() && image.mid(last + kLine, kLine) == line)
            last += kLine;
        if (!allZero(line)) {
            out += hexOffset(offset);
            if (last != offset)
                out += "-" + hexOffset(last);
            out += ": " + line.toHex(' ').toUpper() + "\n";
        }
        offset = last;
    }
    return out;
}

// The image a dump describes; empty when the text is not a dump.
QByteArray undump(const QByteArray& text)
{
    QByteArray image;
    for (const QByteArray& raw : text.split('\n')) {
        const QByteArray line = raw.trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        if (line.startsWith("size ")) {
            image = QByteArray(line.mid(5).toInt(), '\0');
            continue;
        }
        const int colon = line.indexOf(':');
        const QList<QByteArray> range = line.left(colon).split('-');
        bool ok = colon > 0 && range.size() <= 2;
        const int first = range.front().toInt(&ok, 16);
        bool lastOk = true;
        const int last = range.size() == 2 ? range.back().toInt(&lastOk, 16) : first;
        const QByteArray bytes = QByteArray::fromHex(line.mid(colon + 1));
        if (!ok || !lastOk || first < 0 || last < first || last + bytes.size() > image.size())
            return {};
        for (int offset = first; offset <= last; offset += kLine)
            image.replace(offset, bytes.size(), bytes);
    }
    return image;
}

std::vector<std::pair<QString, QString>> bacnetIp()
{
    return {{"BACnet_Type", "0"},     {"BACnet_IP1", "192"},   {"BACnet_IP2", "168"},  {"BACnet_IP3", "1"},
            {"BACnet_IP4", "40"},     {"BACnet_SM1", "255"},   {"BACnet_SM2", "255"},  {"BACnet_SM3", "255"},
            {"BACnet_SM4", "0"},      {"BACnet_GAT1", "192"},  {"BACnet_GAT2", "168"}, {"BACnet_GAT3", "1"},
            {"BACnet_GAT4", "1"},     {"BACnet_EN_GAT", "1"},  {"BACnet_PORT", "47809"}, {"BACnet_NAME_STA", "gateway"},
            {"BACnet_DEV_IDE", "4711"}, {"BACnet_EN_BBMD", "1"}, {"BACnet_EN_FDR", "0"}};
}

void objects(Project& prj)
{
    writeObjects(prj,
                 {tf::objectRow({.type = "Analog Input", .unit = "62", .position = "0", .length = "4", .mnemonic = "temp"}),
                  tf::objectRow({.type = "Binary Input", .position = "4", .bit = "2", .length = "1", .swap = "Y",
                                 .mnemonic = "alarm"}),
                  tf::objectRow({.type = "Octet String", .position = "8", .length = "6", .mnemonic = "label"})},
                 {tf::objectRow({.type = "Analog Out", .unit = "98", .position = "0", .length = "2", .mnemonic = "set"}),
                  tf::objectRow({.type = "Multi State Value", .position = "2", .length = "1"})});
    prj.bdt({{{"Enable", "Y"}, {"IP_Address", "10.0.0.1"}, {"SubNet_Mask", "255.255.255.0"}, {"Port", "47808"},
              {"Mnemonic", "peer"}}});
}

// The project of each device type: its ParGen.xml keys and a few rows of each of its tables.
void fillProject(Project& prj, int32_t type)
{
    objects(prj);
    auto keys = bacnetIp();
    const workspace::Workspace& w = prj.ws();
    switch (type) {
    case 6:
        keys.insert(keys.end(), {{"PROFIBUS_SLAVE_ID_DEV", "12"}, {"PROFIBUS_SLAVE_NB_IN", "32"}, {"PROFIBUS_SLAVE_NB_OUT", "16"}});
        break;
    case 7:
        keys.push_back({"CAN_BAUDRATE", "6"});
        prj.write(w.Path_CAN_Rec_Frames, tf::canReceiveFramesXml({tf::canReceiveFrame({.cobId = "291", .type = "2.0B (29 bits)", .dimension = "2"}),
                                                                  tf::canReceiveFrame({.cobId = "0x181", .dimension = "4"})}));
        prj.write(w.Path_CAN_Rec_Info, tf::canReceiveInfoXml({tf::canInfoRow({10, 11}), tf::canInfoRow({12, 13, 14, 15})}));
        prj.write(w.Path_CAN_Send_Frames, tf::canSendFramesXml({tf::canSendFrame({.cobId = "513", .dimension = "1"})}));
        prj.write(w.Path_CAN_Send_Info, tf::canSendInfoXml({tf::canInfoRow({0})}));
        break;
    case 8:
        keys.insert(keys.end(), {{"CANopen_IDDev", "5"}, {"CANopen_BAUDRATE", "5"}, {"CANopen_Set_Operational", "1"},
                                 {"CANopen_Network_Start", "1"}, {"CANopen_Delay", "3"}, {"CANopen_SDO_TimeOut", "500"}});
        prj.write(w.Path_SDO_Server_CANopen, tf::sdoXml({tf::sdoServerRow({.nByte = "2", .addresses = {"0", "1", "", ""}})},
                                                         {tf::sdoServerRow({.index = "8193", .nByte = "4", .addresses = {"2", "3", "4", "5"}})}));
        prj.write(w.Path_SDO_Client_CANopen, tf::sdoXml({tf::sdoClientRow({.deviceId = "3"}, false)},
                                                         {tf::sdoClientRow({.onChange = "Y"}, true)}));
        prj.write(w.Path_PDO_CANopen, tf::pdoXml({tf::pdoReceiveRow({.dimension = "2", .addresses = {"6", "7", "", "", "", "", "", ""}})},
                                                 {tf::pdoTransmitRow({.cobId = "641", .onChange = "Y"})}));
        break;
    case 9:
        keys.insert(keys.end(), {{"PROFINET_NB_IN", "64"}, {"PROFINET_NB_OUT", "32"}, {"PROFINET_IP1", "192"},
                                 {"PROFINET_IP2", "168"}, {"PROFINET_IP3", "1"}, {"PROFINET_IP4", "41"},
                                 {"PROFINET_EN_GAT", "0"}, {"PROFINET_NAME_STA", "pn-station"}});
        break;
    case 11:
        keys.insert(keys.end(), {{"DNETS_ID_DEV", "7"}, {"DNETS_BAUDRATE", "1"}, {"DNETS_NB_IN", "24"}, {"DNETS_NB_OUT", "12"}});
        break;
    case 12:
        keys.insert(keys.end(), {{"EtherNetIP_IP1", "192"}, {"EtherNetIP_IP2", "168"}, {"EtherNetIP_IP3", "1"},
                                 {"EtherNetIP_IP4", "42"}, {"EtherNetIP_EN_GAT", "1"}, {"EtherNetIP_NB_IN", "100"},
                                 {"EtherNetIP_NB_OUT", "50"}});
        break;
    case 16:
    case 2016:
        keys.push_back({"KNX_ID_DEV", "1.1.200"});
        prj.write(w.Path_KNX_SetAccess,
                  tf::knxXml({tf::knxRow({.destination = "1/2/3", .onTimer = "Y", .pollTime = "2000"}),
                              tf::knxRow({.enable = "N"}),
                              tf::knxRow({.source = "1.1.2", .destination = "2/0/7", .apci = "Read", .format = "Swap16",
                                          .position = "4", .bitMode = "3", .length = "1"})}));
        break;
    case 17:
        keys.insert(keys.end(), {{"SNMP_Name_of_Station", "agent"}, {"SNMP_Contact", "service"}, {"SNMP_Location", "plant"},
                                 {"SNMP_VERSION1", "1"}, {"SNMP_VERSION3", "1"}, {"SNMP_VER3_USER", "operator"},
                                 {"SNMP_VER3_SECURITY_LEVEL", "Auth NoPriv"}, {"SNMP_VER3_AUTHORITY", "authority1"}});
        prj.write(w.Path_SNMP_Trap,
                  tf::snmpTrapXml({tf::trapReadRow({.onChange = "Y", .position = "0", .numBits = "16", .description = "temp"}),
                                   tf::trapReadRow({.enable = "N"})},
                                  {tf::trapWriteRow({.type = "String", .position = "8", .numBits = "4", .description = "label"})}));
        break;
    case 18:
        keys.insert(keys.end(), {{"DMX_DMX", "1"}, {"DMX_Num_Channels", "24"}});
        prj.write(w.Path_DMX_Default_Values, tf::dmxXml({tf::dmxRow("0"), tf::dmxRow("128"), tf::dmxRow("255")}));
        break;
    case 19:
        keys.insert(keys.end(), {{"SNMP_Agent_IP1", "192"}, {"SNMP_Agent_IP2", "168"}, {"SNMP_Agent_IP3", "1"},
                                 {"SNMP_Agent_IP4", "43"}, {"SNMP_Agent_EN_GAT", "1"}});
        prj.write(w.Path_SNMP_Manager,
                  tf::snmpManagerXml({tf::managerRow({}),
                                      tf::managerRow({.version = "3", .mode = "Set", .user = "op", .authPass = "authpass1",
                                                      .privPass = "privpass1", .securityLevel = "Auth Priv",
                                                      .authMode = "MD5", .privMode = "AES"})}));
        break;
    default:
        break;
    }
    writeParGen(prj, keys);
}


using Keys = std::vector<std::pair<QString, QString>>;

// BACnet MS/TP with the longer object names, a first address byte too large for its field, a
// gateway byte that is no number and one that is missing, and a name longer than its field.
Keys bacnetMstp()
{
    return {{"BACnet_Type", "1"},          {"BACnet_Desc_Chars_Limit", "1"}, {"BACnet_IP1", "300"},
            {"BACnet_IP3", "7"},           {"BACnet_SM1", "255"},            {"BACnet_SM2", "255"},
            {"BACnet_SM3", "0"},           {"BACnet_SM4", "0"},              {"BACnet_GAT2", "10"},
            {"BACnet_GAT3", "gw"},         {"BACnet_GAT4", "254"},           {"BACnet_EN_GAT", "1"},
            {"BACnet_PORT", "47810"},      {"BACnet_NAME_STA", "ip-name"},   {"BACnet_DEV_IDE", "5"},
            {"BACnet_EN_BBMD", "1"},       {"BACnet_EN_FDR", "1"},           {"BACnet_Ser_Baudrate", "4"},
            {"BACnet_Ser_Parity", "1"},    {"BACnet_Ser_ID", "12"},          {"BACnet_Ser_Max_Master", "50"},
            {"BACnet_Ser_Max_Info_Frames", "3"}, {"BACnet_Ser_DEV_IDE", "99999"}, {"BACnet_Ser_Network", "70000"},
            {"BACnet_Ser_NAME_STA", "mstp-n\u00e4me-\u20ac-of-20ch"}};
}

// The second serial line, where a model has one; elsewhere neither group of keys is read.
Keys bacnetType2()
{
    return {{"BACnet_Type", "2"},       {"BACnet_IP1", "10"},          {"BACnet_IP2", "1"},
            {"BACnet_IP3", "2"},        {"BACnet_IP4", "3"},           {"BACnet_EN_GAT", "0"},
            {"BACnet_PORT", "47810"},   {"BACnet_NAME_STA", "ip-name"}, {"BACnet_DEV_IDE", "5"},
            {"BACnet_EN_BBMD", "1"},    {"BACnet_Ser_Baudrate", "7"},  {"BACnet_Ser_Parity", "2"},
            {"BACnet_Ser_ID", "300"},   {"BACnet_Ser_DEV_IDE", "77"},  {"BACnet_Ser_NAME_STA", "serial-two"},
            {"BACnet_Ser_Max_Master", "9"}, {"BACnet_Ser_Network", "9"}};
}

// BACnet/IP (by a type that is no number) with most keys missing or odd, BBMD and foreign-device registration on, and a
// name of exactly 16 characters.
Keys bacnetEdge()
{
    return {{"BACnet_Type", "ip"}, {"BACnet_IP4", "77"},  {"BACnet_GAT1", "172"}, {"BACnet_EN_GAT", "yes"}, {"BACnet_PORT", "port"},
            {"BACnet_NAME_STA", "sixteen-chars-ab"}, {"BACnet_EN_BBMD", "1"}, {"BACnet_EN_FDR", "1"}};
}

// Objects that try the loader: a type written in lower case, one that is none of the types,
// long names, an empty name, a bit that is no number, a length wider than its byte, swap
// flags on both sections, and types of many codes in an order unlike the codes'.
void objectsEdge(Project& prj)
{
    writeObjects(prj,
                 {tf::objectRow({.type = "Accumulator", .unit = "65535", .position = "70000", .length = "4",
                                 .mnemonic = "a-name-of-thirty-three-characters"}),
                  tf::objectRow({.type = "analog value", .unit = "62", .position = "1", .bit = "x", .length = "300",
                                 .swap = "Y", .mnemonic = "twenty-character-nm"}),
                  tf::objectRow({.type = "Analog Output", .position = "2", .mnemonic = "skipped"}),
                  tf::objectRow({.type = "Binary Value", .position = "3", .bit = "7", .length = "1", .swap = "y"}),
                  tf::objectRow({.type = "Analog Input", .position = "4", .mnemonic = "ai-\u00b0C\u20ac"}),
                  tf::objectRow({.type = "Octet String", .position = "8", .length = "6", .swap = "Y", .mnemonic = "os"}),
                  tf::objectRow({.type = "Life Safety Zone", .position = "20", .length = "2", .mnemonic = "lsz"}),
                  tf::objectRow({.type = "CharacterString Value", .position = "30", .length = "8", .mnemonic = "cs"})},
                 {tf::objectRow({.type = "Analog Out", .unit = "98", .position = "0", .length = "2", .swap = "Y",
                                 .mnemonic = "set"}),
                  tf::objectRow({.type = "Binary Out", .position = "2", .bit = "5", .length = "1", .mnemonic = "bo"}),
                  tf::objectRow({.type = "Analog Input", .position = "3", .mnemonic = "written-ai"}),
                  tf::objectRow({.type = "Multi State Output", .position = "7", .length = "1", .mnemonic = "R&D <1>"}),
                  tf::objectRow({.type = "Access Door", .position = "9", .length = "1", .mnemonic = "door"})});
}

// Ten peers, with a disabled row, bad addresses and a port that is no number.
void bdtEdge(Project& prj)
{
    image_test::Rows rows{{{"Enable", "y"}, {"IP_Address", "10.0.0.1"}, {"SubNet_Mask", "255.255.255.255"},
                           {"Port", "47808"}, {"Mnemonic", "a"}},
                          {{"Enable", "N"}, {"IP_Address", "192.168.0.10"}, {"SubNet_Mask", "255.255.255.0"},
                           {"Port", "47809"}, {"Mnemonic", "b"}},
                          {{"Enable", "Y"}, {"IP_Address", "10.0.0.256"}, {"SubNet_Mask", "255.255.0.0"},
                           {"Port", "x"}, {"Mnemonic", "c"}},
                          {{"Enable", "Y"}, {"IP_Address", "10.0.1"}, {"SubNet_Mask", ""}, {"Port", "70000"}}};
    for (int k = 4; k < 10; ++k)
        rows.push_back({{"Enable", "Y"}, {"IP_Address", QStringLiteral("172.16.%1.1").arg(k)},
                        {"SubNet_Mask", "255.255.255.0"}, {"Port", QString::number(47800 + k)}});
    prj.bdt(rows);
}

// The tables of each model with the cases their readers treat apart; `keys` gains the model's
// own ParGen.xml keys.
void tablesEdge(Project& prj, int32_t type, Keys& keys, bool edge)
{
    const workspace::Workspace& w = prj.ws();
    switch (type) {
    case 6:
        if (edge)
            keys.insert(keys.end(), {{"BACnet_GAT2", "x"}, {"PROFIBUS_SLAVE_ID_DEV", "300"}});
        break;
    case 7:
        keys.push_back({"CAN_BAUDRATE", edge ? "10" : "baud"});
        prj.write(w.Path_CAN_Rec_Frames,
                  tf::canReceiveFramesXml({tf::canReceiveFrame({.cobId = "2147483647", .type = "2.0B (29 bits)", .dimension = "8"}),
                                           tf::canReceiveFrame({.cobId = "100", .type = "2.0b (29 bits)", .dimension = "0"}),
                                           tf::without(tf::canReceiveFrame({.cobId = "101", .dimension = "3", .timeOut = "70000"}), "Type"),
                                           tf::canReceiveFrame({.cobId = "102", .dimension = "300"})}));
        prj.write(w.Path_CAN_Rec_Info, tf::canReceiveInfoXml({tf::canInfoRow({1, 2, 3, 4, 5, 6, 7, 8}),
                                                              tf::canInfoRow({9, 10}), tf::canInfoRow({11, 12, 13})}));
        prj.write(w.Path_CAN_Send_Frames,
                  tf::canSendFramesXml({tf::canSendFrame({.cobId = "513", .dimension = "2", .sendType = "on data change", .timerSend = "900"}),
                                        tf::without(tf::canSendFrame({.cobId = "514", .dimension = "1", .timerSend = "250"}), "Send_Type"),
                                        tf::canSendFrame({.cobId = "515", .type = "2.0B (29 bits)", .dimension = "4", .sendType = "On Timer", .timerSend = "1000"})}));
        prj.write(w.Path_CAN_Send_Info, tf::canSendInfoXml({tf::canInfoRow({20, 21, 22}), tf::canInfoRow({23}),
                                                            tf::canInfoRow({24, 25, 26, 27}), tf::canInfoRow({28})}));
        break;
    case 8:
        if (edge)
            keys.insert(keys.end(), {{"CANopen_IDDev", "127"}, {"CANopen_BAUDRATE", "9"},
                                     {"CANopen_Set_Operational", "1"}, {"CANopen_Network_Start", "0"}});
        else
            keys.insert(keys.end(), {{"CANopen_BAUDRATE", "x"}, {"CANopen_Network_Start", "1"}, {"CANopen_Delay", "5"},
                                     {"CANopen_SDO_TimeOut", "x"}});
        prj.write(w.Path_SDO_Server_CANopen,
                  tf::sdoXml({tf::sdoServerRow({.index = "4096", .subIndex = "2", .nByte = "3", .addresses = {"10", "11", "12", "13"}}),
                              tf::sdoServerRow({.index = "70000", .nByte = "1", .addresses = {"14", "15", "16", "17"}})},
                             {tf::sdoServerRow({.index = "8192", .subIndex = "1", .nByte = "2", .addresses = {"5", "6", "", ""}}),
                              tf::sdoServerRow({.index = "8193", .nByte = "4", .addresses = {"1", "2", "3", "4"}})}));
        prj.write(w.Path_SDO_Client_CANopen,
                  tf::sdoXml({tf::sdoClientRow({.deviceId = "300", .nByte = "4", .pollTime = "5000000000", .addresses = {"1", "2", "3", "4"}}, false)},
                             {tf::sdoClientRow({.onChange = "y"}, true), tf::sdoClientRow({.onChange = "N"}, true),
                              tf::without(tf::sdoClientRow({.nByte = "2", .addresses = {"7", "8", "", ""}}, true), "On_Change")}));
        prj.write(w.Path_PDO_CANopen,
                  tf::pdoXml({tf::pdoReceiveRow({.cobId = "4294967295", .dimension = "8",
                                                 .addresses = {"1", "2", "3", "4", "5", "6", "7", "8"}, .timeOut = "70000"}),
                              tf::pdoReceiveRow({.dimension = "0", .addresses = {"9", "", "", "", "", "", "", ""}})},
                             {tf::pdoTransmitRow({.cobId = "2147483648", .dimension = "3",
                                                  .addresses = {"1", "2", "3", "4", "5", "6", "7", "8"}, .onChange = "Y"}),
                              tf::pdoTransmitRow({.dimension = "5", .addresses = {"1", "2", "3", "4", "5", "", "", ""}, .onChange = "N"})}));
        break;
    case 9:
        if (edge)
            keys.insert(keys.end(), {{"PROFINET_IP4", "300"}, {"PROFINET_GAT1", "10"}, {"PROFINET_GAT4", "9"},
                                     {"PROFINET_EN_GAT", "1"}, {"PROFINET_NAME_STA", "a-very-long-station-name"}});
        else
            keys.insert(keys.end(), {{"PROFINET_NB_IN", "x"}, {"PROFINET_NAME_STA", ""}});
        break;
    case 11:
        keys.insert(keys.end(), {{"DNETS_BAUDRATE", edge ? "x" : "0"}, {"DNETS_ID_DEV", "63"}});
        break;
    case 12:
        keys.insert(keys.end(), {{"EtherNetIP_IP4", "99"}, {"EtherNetIP_GAT4", "254"}, {"EtherNetIP_EN_GAT", edge ? "0" : "1"},
                                 {"EtherNetIP_NB_OUT", "16"}});
        break;
    case 16:
    case 2016: {
        keys.push_back({"KNX_ID_DEV", edge ? "1.5" : "4660"});
        tf::Rows rows{
            tf::knxRow({.enable = " y ", .source = "1.5", .destination = "31/7/255", .apci = "write", .priority = "system",
                        .format = "float16 to int * 10", .extended = "y", .reTest = "Y", .onCommand = "Y", .onChange = "N",
                        .onTimer = "Y", .pollTime = "", .position = "2", .bitMode = "3", .length = ""}),
            tf::without(tf::knxRow({.source = "15.15.255", .destination = "1/2047", .apci = "READ", .priority = "low",
                                    .format = "Float TO int", .onTimer = "Y", .position = "1438", .bitMode = "no",
                                    .length = "300"}), "Poll_Time"),
            tf::knxRow({.enable = "n", .source = "bad row"}),
            tf::without(tf::knxRow({.source = "1.1.20", .destination = "32/0/0", .apci = "5", .priority = "Urgent",
                                    .format = "bogus", .onTimer = "N", .pollTime = "5000", .bitMode = "No"}), "Enable"),
            tf::without(tf::without(tf::knxRow({.source = "1.2.3", .destination = "2500", .apci = "abc", .priority = "bogus",
                                                .onCommand = "Y", .onTimer = "y", .pollTime = "x", .position = "7",
                                                .bitMode = "7", .length = "2"}), "Format"), "On_Command"),
            tf::knxRow({.source = "9", .destination = "1.5", .priority = "Normal", .format = "Swap All", .position = "9000"}),
            tf::knxRow({.source = "1.1", .destination = "15.15.255", .format = "INT TO FLOAT"})};
        prj.write(w.Path_KNX_SetAccess, tf::knxXml(rows));
        break;
    }
    case 17: {
        if (edge)
            keys.insert(keys.end(), {{"SNMP_Name_of_Station", "a-station-name-of-20"}, {"SNMP_Contact", "a-contact-of-twenty"},
                                     {"SNMP_VERSION2", "1"}, {"SNMP_VERSION3", "1"},
                                     {"SNMP_VER3_USER", "a-user-name-of-twenty-five"}, {"SNMP_VER3_SECURITY_LEVEL", "auth priv"},
                                     {"SNMP_VER3_AUTHORITY", "an-authority-phrase-20"}, {"SNMP_VER3_PRIVACY", "privacy"}});
        else
            keys.insert(keys.end(), {{"SNMP_Name_of_Station", ""}, {"SNMP_Location", "Halle-S\u00fcd-\u20ac"}, {"SNMP_VERSION3", "1"},
                                     {"SNMP_VER3_SECURITY_LEVEL", " AUTH NOPRIV "}, {"SNMP_VER3_AUTHORITY_MODE", "sha"},
                                     {"SNMP_VER3_PRIVACY", "not read"}, {"SNMP_VER3_PRIVACY_MODE", "AES"}});
        tf::Rows read{
            tf::trapReadRow({.enable = "y", .community = "a-community-of-twenty", .type = "String", .onChange = "Y",
                             .onCommand = "y", .onTimer = "Y", .time = "x", .position = "12", .bit = "3", .numBits = "4",
                             .description = "a-description-of-twenty", .ipAddress = "192.168.2.205", .conversion = " float / 10 "}),
            tf::without(tf::trapReadRow({.community = "skipped"}), "Enable"),
            tf::trapReadRow({.enable = "N", .community = "off"}),
            tf::without(tf::without(tf::trapReadRow({.type = "int", .time = "60000", .position = "x", .numBits = "12",
                                                     .ipAddress = "10.0.0.256", .conversion = "FLOAT * 100"}), "Bit"), "IP_Address"),
            tf::without(tf::trapReadRow({.type = "Int", .numBits = "x", .ipAddress = "10.0.0.256", .conversion = "Float"}), "Conversion"),
            tf::without(tf::trapReadRow({.type = "String", .ipAddress = ""}), "NumBits")};
        tf::Rows write{
            tf::trapWriteRow({.community = "Gemeinde-\u00e4", .type = "String", .position = "8", .numBits = "40000", .description = "Z\u00e4hler-\u20ac",
                              .conversion = "float / 100"}),
            tf::with(tf::with(tf::trapWriteRow({.type = "Int", .numBits = "16"}), "On_Change", "Y"), "Time", "5"),
            tf::trapWriteRow({.enable = "n"})};
        prj.write(w.Path_SNMP_Trap, tf::snmpTrapXml(read, write));
        break;
    }
    case 18: {
        if (edge)
            keys.insert(keys.end(), {{"DMX_DMX", "0"}, {"DMX_Num_Channels", "100"}});
        else
            keys.insert(keys.end(), {{"DMX_DMX", "2"}});
        tf::Rows rows{tf::dmxRow("300"), tf::dmxRow("-1"), tf::without(tf::dmxRow("1"), "Default_Value"), tf::dmxRow("x")};
        for (int k = 4; k < 600; ++k)
            rows.push_back(tf::dmxRow(QString::number(k % 256)));
        prj.write(w.Path_DMX_Default_Values, tf::dmxXml(edge ? rows : tf::Rows(rows.begin(), rows.begin() + 5)));
        break;
    }
    case 19: {
        keys.insert(keys.end(), {{"SNMP_Agent_IP4", "300"}, {"SNMP_Agent_GAT1", "10"}, {"SNMP_Agent_EN_GAT", edge ? "0" : "1"}});
        tf::Rows rows{
            tf::without(tf::without(tf::managerRow({.version = "2", .onChange = "Y", .onCommand = "Y"}), "Community_String"), "Time"),
            tf::without(tf::managerRow({.ipAddress = "10.0.0.256", .version = "3", .community = "ignored", .type = "int",
                                        .mode = "set", .user = "op", .authPass = "authpass1", .privPass = "privpass1",
                                        .securityLevel = "AUTH PRIV", .authMode = "SHA", .privMode = "DES"}), "Enable"),
            tf::managerRow({.enable = "n"}),
            tf::managerRow({.version = "3", .mode = "READ", .securityLevel = "", .authMode = "MD5", .privMode = "AES"}),
            tf::without(tf::without(tf::without(tf::without(tf::managerRow({.version = "3", .securityLevel = " auth nopriv ",
                                                                             .authMode = "md5", .privMode = "des"}),
                                                            "User"), "Auth_Pass"), "Priv_Pass"), "Mode"),
            tf::without(tf::managerRow({.version = "x", .community = "a-community-of-twenty", .oid = QString(70, QLatin1Char('1')),
                                        .position = "x", .numberBytes = "x", .convertFrom = " float * 100 "}), "Security_Level"),
            tf::managerRow({.version = "4", .community = "Br\u00fccke-\u20ac", .time = "x", .position = "1439", .numberBytes = "255", .convertFrom = "FLOAT / 10"}),
            tf::without(tf::managerRow({.version = "3", .securityLevel = "Auth Priv", .authMode = "", .privMode = "x"}), "Type")};
        prj.write(w.Path_SNMP_Manager, tf::snmpManagerXml(rows));
        break;
    }
    default:
        break;
    }
}

// Variants of each model's project beside its first one: "empty" has no file at all; "mstp"
// takes BACnet MS/TP with the longer object names; "type2" the BACnet type 2; "edge" BACnet/IP
// with the BBMD table, missing keys and the odd rows of every table.
void fillVariant(Project& prj, int32_t type, const QString& variant)
{
    if (variant == QLatin1String("empty"))
        return;
    Keys keys = variant == QLatin1String("mstp") ? bacnetMstp() : variant == QLatin1String("type2") ? bacnetType2() : bacnetEdge();
    objectsEdge(prj);
    bdtEdge(prj);
    tablesEdge(prj, type, keys, variant == QLatin1String("edge"));
    writeParGen(prj, keys);
}

} // namespace

TEST(GoldenImages, EachModelBuildsItsImageByteForByte)
{
    const bool update = qEnvironmentVariableIsSet("VN_UPDATE_GOLDEN");
    for (int32_t type : {6, 7, 8, 9, 11, 12, 16, 2016, 17, 18, 19}) {
        for (const QString& variant : {QString(), QStringLiteral("empty"), QStringLiteral("mstp"), QStringLiteral("type2"),
                                      QStringLiteral("edge")}) {
            SCOPED_TRACE(QStringLiteral("device type %1 %2").arg(type).arg(variant).toStdString());
            const QString name = variant.isEmpty() ? QString::number(type) : QStringLiteral("%1_%2").arg(type).arg(variant);
            Project prj(type);
            if (variant.isEmpty())
                fillProject(prj, type);
            else
                fillVariant(prj, type, variant);
            const QByteArray image = build(prj);
            ASSERT_TRUE(image::Save_Bin(prj.st()).ok);
            EXPECT_EQ(prj.dir().read(QStringLiteral("bin/bank1.bin")), image);
            std::map<QString, QByteArray> files = projectFiles(prj.dir().path());
            files[QStringLiteral("about.txt")] =
                QStringLiteral("The project of bank1_%1.hex, written by tests/image/GoldenImagesTest.cpp.\n").arg(name).toLatin1();
            QFile golden(goldenPath(name));
            if (update) {
                ASSERT_TRUE(golden.open(QIODevice::WriteOnly));
                golden.write(dump(image, name));
                QDir(projectDir(name)).removeRecursively();
                ASSERT_TRUE(QDir().mkpath(projectDir(name)));
                for (const auto& [file, bytes] : files) {
                    QFile f(projectDir(name) + QLatin1Char('/') + file);
                    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << file.toStdString();
                    f.write(bytes);
                }
                continue;
            }
            EXPECT_EQ(files, projectFiles(projectDir(name))) << "the project kept beside the golden image differs from the one built";
            ASSERT_TRUE(golden.open(QIODevice::ReadOnly)) << goldenPath(name).toStdString();
            const QByteArray expected = undump(golden.readAll());
            ASSERT_EQ(image.size(), expected.size());
            for (int i = 0; i < image.size(); ++i) {
                if (image[i] != expected[i]) {
                    ADD_FAILURE() << "first difference at offset 0x" << std::hex << i
                                  << "\nbuilt:  " << toHex(image.mid(i & ~15, 16)).toStdString()
                                  << "\ngolden: " << toHex(expected.mid(i & ~15, 16)).toStdString();
                    break;
                }
            }
        }
    }
}
