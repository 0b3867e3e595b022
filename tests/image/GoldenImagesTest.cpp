// One small project per device type of the CAN, CANopen, fieldbus slave, DeviceNet, KNX, DMX
// and SNMP models, built and compared byte for byte with tests/data/image/bank1_<type>.hex.
// Those files hold the image as hex lines of 32 bytes, runs of equal lines written once, lines
// of zeros left out. To rewrite
// them after a deliberate change of a layout, run the test with VN_UPDATE_GOLDEN=1 and review
// the difference.
#include "FieldImageFixture.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QStringList>
#include <map>

using namespace field_test;

namespace {

QString goldenPath(int32_t type)
{
    return QStringLiteral(VN_TEST_DATA_DIR "/image/bank1_%1.hex").arg(type);
}

// The project files each golden image is built from, kept beside the images so that
// tests/data/image/check/layout_check.py can compute the images from them on its own.
QString projectDir(int32_t type)
{
    return QStringLiteral(VN_TEST_DATA_DIR "/image/check/projects/%1").arg(type);
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
QByteArray dump(const QByteArray& image, int32_t type)
{
    QByteArray out = QStringLiteral("# bank1.bin of device type %1 built from its project in GoldenImagesTest.cpp: "
                                    "lines of 32 bytes, \"first-last:\" for a run of equal lines, lines of zeros "
                                    "left out\nsize %2\n")
                         .arg(type)
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

} // namespace

TEST(GoldenImages, EachModelBuildsItsImageByteForByte)
{
    const bool update = qEnvironmentVariableIsSet("VN_UPDATE_GOLDEN");
    for (int32_t type : {6, 7, 8, 9, 11, 12, 16, 2016, 17, 18, 19}) {
        Project prj(type);
        fillProject(prj, type);
        const QByteArray image = build(prj);
        ASSERT_TRUE(image::Save_Bin(prj.st()).ok) << type;
        EXPECT_EQ(prj.dir().read(QStringLiteral("bin/bank1.bin")), image) << type;
        const std::map<QString, QByteArray> files = projectFiles(prj.dir().path());
        QFile golden(goldenPath(type));
        if (update) {
            ASSERT_TRUE(golden.open(QIODevice::WriteOnly)) << type;
            golden.write(dump(image, type));
            QDir(projectDir(type)).removeRecursively();
            ASSERT_TRUE(QDir().mkpath(projectDir(type))) << type;
            for (const auto& [name, bytes] : files) {
                QFile f(projectDir(type) + QLatin1Char('/') + name);
                ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << name.toStdString();
                f.write(bytes);
            }
            continue;
        }
        EXPECT_EQ(files, projectFiles(projectDir(type)))
            << "device type " << type << ": the project kept beside the golden image differs from the one built";
        ASSERT_TRUE(golden.open(QIODevice::ReadOnly)) << goldenPath(type).toStdString();
        const QByteArray expected = undump(golden.readAll());
        ASSERT_EQ(image.size(), expected.size()) << type;
        for (int i = 0; i < image.size(); ++i) {
            if (image[i] != expected[i]) {
                ADD_FAILURE() << "device type " << type << ": first difference at offset 0x" << std::hex << i
                              << "\nbuilt:  " << toHex(image.mid(i & ~15, 16)).toStdString()
                              << "\ngolden: " << toHex(expected.mid(i & ~15, 16)).toStdString();
                break;
            }
        }
    }
}
