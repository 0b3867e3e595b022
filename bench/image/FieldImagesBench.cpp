// The largest project of each record family of the CAN, CANopen, fieldbus, KNX, DMX and SNMP
// images, built and saved against merely parsing the XML files it is built from:
// - CANopen (standard record): all six tables full (512, 512, 256, 256, 128, 128 rows), 2047
//   BACnet objects, 10 BBMD peers;
// - KNX (KNX/DMX/DeviceNet record): 512 enabled rows and 2047 BACnet objects;
// - SNMP manager (SNMP record): 496 entries and 2047 BACnet objects.
// As in the Modbus benchmark, both sides read the same files from disk on every iteration (from
// the page cache after the first pass): the parse through XmlDocument::load, the build through
// the streaming row reader for its tables and the DOM for ParGen.xml. The target is a build that
// costs no more than twice the parse: the counter build_per_parse of each BM_*Ratio (at most 2).
#include "BuildBench.h"
#include "support/TableFiles.h"
#include "workspace/Folders.h"

#include <QFile>
#include <cstdlib>
#include <memory>

namespace {

namespace tf = testing_support::tables;

void put(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        std::abort();
}

QByteArray fullObjectTable()
{
    tf::Rows read, write;
    for (int i = 0; i < 2047; ++i) {
        const QString name = QStringLiteral("Temperature_%1").arg(i, 4, 10, QLatin1Char('0'));
        if (i < 1024)
            read.push_back(tf::objectRow({.type = "Analog Input", .unit = "62", .position = QString::number(i % 1436),
                                          .mnemonic = name}));
        else
            write.push_back(tf::objectRow({.type = "Analog Out", .unit = "62", .position = QString::number(i % 1436),
                                           .mnemonic = name}));
    }
    return tf::objectTableXml(read, write);
}

std::vector<std::pair<QString, QString>> bacnetKeys()
{
    return {{"BACnet_Type", "0"},   {"BACnet_IP1", "192"},    {"BACnet_IP2", "168"},   {"BACnet_IP3", "0"},
            {"BACnet_IP4", "5"},    {"BACnet_SM1", "255"},    {"BACnet_SM2", "255"},   {"BACnet_SM3", "255"},
            {"BACnet_SM4", "0"},    {"BACnet_GAT1", "192"},   {"BACnet_GAT2", "168"},  {"BACnet_GAT3", "0"},
            {"BACnet_GAT4", "1"},   {"BACnet_EN_GAT", "1"},   {"BACnet_PORT", "47808"}, {"BACnet_NAME_STA", "gateway"},
            {"BACnet_DEV_IDE", "1234"}, {"BACnet_EN_BBMD", "1"}, {"BACnet_EN_FDR", "0"}};
}

struct LargestProject : image_bench::BenchProject {
    explicit LargestProject(int32_t type) : BenchProject(type) { workspace::Set_Files(); }

    void add(const QString& path, const QByteArray& bytes)
    {
        put(path, bytes);
        files << path;
    }
};

std::unique_ptr<LargestProject> canopenProject()
{
    auto p = std::make_unique<LargestProject>(8);
    const workspace::Workspace& w = *p->ws;
    auto keys = bacnetKeys();
    keys.insert(keys.end(), {{"CANopen_IDDev", "5"}, {"CANopen_BAUDRATE", "5"}, {"CANopen_Set_Operational", "1"},
                             {"CANopen_Network_Start", "1"}, {"CANopen_Delay", "3"}, {"CANopen_SDO_TimeOut", "500"}});
    p->add(w.Path_ParGen, tf::parGenXml(keys));
    p->add(w.Path_BACnet_SetAccess, fullObjectTable());
    tf::Rows bdt;
    for (int i = 0; i < 10; ++i)
        bdt.push_back({{"Enable", "Y"}, {"IP_Address", QStringLiteral("10.0.%1.1").arg(i)},
                       {"SubNet_Mask", "255.255.255.0"}, {"Port", "47808"}, {"Mnemonic", "peer"}});
    p->add(w.Path_BACnet_BDT, tf::tableXml(QStringLiteral("BACnet_BDT"), {}, bdt));
    const QStringList four{"10", "11", "12", "13"};
    const tf::Rows server(512, tf::sdoServerRow({.nByte = "4", .addresses = four, .mnemonic = "server entry"}));
    p->add(w.Path_SDO_Server_CANopen, tf::sdoXml(server, server));
    p->add(w.Path_SDO_Client_CANopen,
           tf::sdoXml(tf::Rows(256, tf::sdoClientRow({.nByte = "4", .addresses = four, .mnemonic = "client entry"}, false)),
                      tf::Rows(256, tf::sdoClientRow({.nByte = "4", .onChange = "Y", .addresses = four}, true))));
    const QStringList eight{"0", "1", "2", "3", "4", "5", "6", "7"};
    p->add(w.Path_PDO_CANopen,
           tf::pdoXml(tf::Rows(128, tf::pdoReceiveRow({.dimension = "8", .addresses = eight, .mnemonic = "rx"})),
                      tf::Rows(128, tf::pdoTransmitRow({.dimension = "8", .addresses = eight, .onChange = "Y"}))));
    return p;
}

std::unique_ptr<LargestProject> knxProject()
{
    auto p = std::make_unique<LargestProject>(16);
    const workspace::Workspace& w = *p->ws;
    auto keys = bacnetKeys();
    keys.push_back({"KNX_ID_DEV", "1.1.200"});
    p->add(w.Path_ParGen, tf::parGenXml(keys));
    p->add(w.Path_BACnet_SetAccess, fullObjectTable());
    tf::Rows rows;
    for (int i = 0; i < 512; ++i)
        rows.push_back(tf::knxRow({.source = "1.1.1", .destination = QStringLiteral("%1/%2/%3").arg(i / 256).arg(1).arg(i % 256),
                                   .format = "Float16 to Int * 10", .onTimer = "Y", .pollTime = "1000",
                                   .position = QString::number(i % 1400), .bitMode = "No", .length = "2",
                                   .mnemonic = QStringLiteral("knx point %1").arg(i)}));
    p->add(w.Path_KNX_SetAccess, tf::knxXml(rows));
    return p;
}

std::unique_ptr<LargestProject> snmpManagerProject()
{
    auto p = std::make_unique<LargestProject>(19);
    const workspace::Workspace& w = *p->ws;
    auto keys = bacnetKeys();
    keys.insert(keys.end(), {{"SNMP_Agent_IP1", "192"}, {"SNMP_Agent_IP2", "168"}, {"SNMP_Agent_IP3", "1"},
                             {"SNMP_Agent_IP4", "43"}, {"SNMP_Agent_EN_GAT", "1"}});
    p->add(w.Path_ParGen, tf::parGenXml(keys));
    p->add(w.Path_BACnet_SetAccess, fullObjectTable());
    tf::Rows rows;
    for (int i = 0; i < 496; ++i)
        rows.push_back(tf::managerRow({.ipAddress = QStringLiteral("192.168.%1.%2").arg(i / 200).arg(i % 200 + 1),
                                       .version = i % 2 ? "3" : "2", .oid = QStringLiteral("1.3.6.1.4.1.9999.1.%1").arg(i),
                                       .position = QString::number(i * 2), .numberBytes = "2", .user = "operator",
                                       .authPass = "authpass1", .privPass = "privpass1", .securityLevel = "Auth Priv",
                                       .authMode = "SHA", .privMode = "AES", .mnemonic = QStringLiteral("request %1").arg(i)}));
    p->add(w.Path_SNMP_Manager, tf::snmpManagerXml(rows));
    return p;
}

using Factory = std::unique_ptr<LargestProject> (*)();

void parse(benchmark::State& state, Factory make)
{
    auto p = make();
    for (auto _ : state)
        p->parseOnly();
}

void buildAndSave(benchmark::State& state, Factory make)
{
    auto p = make();
    for (auto _ : state) {
        p->build();
        p->save();
    }
}

// Parse, build and save in one run, with the ratios the target is about (build / parse at most 2).
void ratio(benchmark::State& state, Factory make)
{
    auto p = make();
    image_bench::timeParseBuildSave(state, *p);
}

BENCHMARK_CAPTURE(parse, LargestCanopenProject, &canopenProject)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(buildAndSave, LargestCanopenProject, &canopenProject)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ratio, LargestCanopenProject, &canopenProject)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(parse, LargestKnxProject, &knxProject)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(buildAndSave, LargestKnxProject, &knxProject)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ratio, LargestKnxProject, &knxProject)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(parse, LargestSnmpManagerProject, &snmpManagerProject)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(buildAndSave, LargestSnmpManagerProject, &snmpManagerProject)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ratio, LargestSnmpManagerProject, &snmpManagerProject)->Unit(benchmark::kMillisecond);

} // namespace
