// The largest device type 0 project (every table of the image full: 2047 BACnet objects, 1024
// Modbus requests, 10 BBMD peers, every ParGen.xml key): building and saving its bank1.bin
// against merely parsing the XML files it is built from. Like with like: on every iteration
// both sides read the same four files from disk (from the page cache after the first pass):
// the parse through XmlDocument::load, the build through the streaming row reader for its
// table files and the DOM for ParGen.xml. The target is a build that costs no more than twice
// the parse: the counter build_per_parse of BM_BuildToParseRatio (at most 2).
#include "BuildBench.h"

#include <QDir>
#include <cstdlib>

namespace {

struct LargestProject : image_bench::BenchProject {
    LargestProject() : BenchProject(0)
    {
        workspace::Workspace& w = *ws;
        const QString d = dir.path();
        w.Path_ParGen = d + QStringLiteral("/ParGen.xml");
        w.Path_BACnet_BDT = d + QStringLiteral("/BACnet_BDT.xml");
        w.Path_ModbusM_SetAccess = d + QStringLiteral("/ModbusM_SetAccess.xml");
        w.Path_BACnet_SetAccess = d + QStringLiteral("/ModbusM_BACnet_SetAccess.xml");
        w.Path_BACnet_SetAccess_ModSlave = w.Path_BACnet_SetAccess;
        writeParGen(w.Path_ParGen);
        writeObjects(w.Path_BACnet_SetAccess);
        writeAccess(w.Path_ModbusM_SetAccess);
        writeBdt(w.Path_BACnet_BDT);
        files = {w.Path_ParGen, w.Path_BACnet_SetAccess, w.Path_ModbusM_SetAccess, w.Path_BACnet_BDT};
    }

    static void saveTable(platform::XmlDocument& d, const QString& path)
    {
        d.appendComment(QStringLiteral("SW_VERSION = 1.702"));
        if (!d.save(path, {QStringLiteral("  "), false}))
            std::abort();
    }

    static void writeParGen(const QString& path)
    {
        platform::XmlDocument d;
        platform::XmlNode r = d.appendElement(QStringLiteral("Par_Gen"));
        const char* keys[][2] = {{"BACnet_Type", "0"}, {"BACnet_Desc_Chars_Limit", "0"}, {"BACnet_IP1", "192"},
                                 {"BACnet_IP2", "168"}, {"BACnet_IP3", "0"}, {"BACnet_IP4", "5"}, {"BACnet_SM1", "255"},
                                 {"BACnet_SM2", "255"}, {"BACnet_SM3", "255"}, {"BACnet_SM4", "0"},
                                 {"BACnet_GAT1", "192"}, {"BACnet_GAT2", "168"}, {"BACnet_GAT3", "0"},
                                 {"BACnet_GAT4", "1"}, {"BACnet_EN_GAT", "1"}, {"BACnet_PORT", "47808"},
                                 {"BACnet_NAME_STA", "gateway"}, {"BACnet_DEV_IDE", "1234"}, {"BACnet_EN_BBMD", "1"},
                                 {"BACnet_EN_FDR", "0"}, {"ModbusM_SERIAL", "1"}, {"ModbusM_BAUDRATE", "7"},
                                 {"ModbusM_PARITY", "0"}, {"ModbusM_STOPBITS", "0"}, {"ModbusM_TIMEOUT", "1000"},
                                 {"ModbusM_CYCLIC", "100"}, {"ModbusM_Slaves_Present", "1"},
                                 {"ModbusM_Slaves_Present_Array_Position", "1000"}};
        for (const auto& k : keys)
            r.appendTextElement(QString::fromLatin1(k[0]), QString::fromLatin1(k[1]));
        saveTable(d, path);
    }

    static void writeObjects(const QString& path)
    {
        platform::XmlDocument d;
        platform::XmlNode r = d.appendElement(QStringLiteral("BACnet_to_Modbus"));
        platform::XmlNode read = r.appendElement(QStringLiteral("BACnet_in_Read"));
        platform::XmlNode write = r.appendElement(QStringLiteral("BACnet_in_Write"));
        for (int i = 0; i < 2047; ++i) {
            const bool isRead = i < 1024;
            platform::XmlNode row = (isRead ? read : write).appendElement(QStringLiteral("row"));
            row.setAttribute(QStringLiteral("Data_Type"), isRead ? QStringLiteral("Analog Input") : QStringLiteral("Analog Out"));
            row.setAttribute(QStringLiteral("Eng_Unit"), QStringLiteral("62"));
            row.setAttribute(QStringLiteral("Position"), QString::number(i % 1436));
            row.setAttribute(QStringLiteral("Bit"), QStringLiteral("0"));
            row.setAttribute(QStringLiteral("Length"), QStringLiteral("4"));
            row.setAttribute(QStringLiteral("Mnemonic"), QStringLiteral("Temperature_%1").arg(i, 4, 10, QLatin1Char('0')));
        }
        saveTable(d, path);
    }

    static void writeAccess(const QString& path)
    {
        platform::XmlDocument d;
        platform::XmlNode r = d.appendElement(QStringLiteral("BACnet_to_Modbus"));
        platform::XmlNode read = r.appendElement(QStringLiteral("Modbus_Read"));
        platform::XmlNode write = r.appendElement(QStringLiteral("Modbus_Write"));
        for (int i = 0; i < 1024; ++i) {
            const bool isRead = i < 512;
            platform::XmlNode row = (isRead ? read : write).appendElement(QStringLiteral("row"));
            const char* attrs[][2] = {{"Slave_ID", "1"}, {"Type", "Holding Register"}, {"Address", "100"},
                                      {"NPoint", "2"}, {"PollTime", "1000"}, {"OnChange", "Y"}, {"MaxError", "3"},
                                      {"Position", "0"}, {"Bit", "0"}, {"Float_Conv", "Y"}, {"Endian", "Little"},
                                      {"Operation", "x 10"}, {"Signed", "N"}, {"Swap_W", "N"}, {"Force_F16", "N"},
                                      {"Mnemonic", "request"}};
            for (const auto& a : attrs) {
                if (isRead && (qstrcmp(a[0], "OnChange") == 0 || qstrcmp(a[0], "Force_F16") == 0))
                    continue;
                row.setAttribute(QString::fromLatin1(a[0]), QString::fromLatin1(a[1]));
            }
        }
        saveTable(d, path);
    }

    static void writeBdt(const QString& path)
    {
        platform::XmlDocument d;
        platform::XmlNode r = d.appendElement(QStringLiteral("BACnet_BDT"));
        for (int i = 0; i < 10; ++i) {
            platform::XmlNode row = r.appendElement(QStringLiteral("row"));
            row.setAttribute(QStringLiteral("Enable"), QStringLiteral("Y"));
            row.setAttribute(QStringLiteral("IP_Address"), QStringLiteral("10.0.%1.1").arg(i));
            row.setAttribute(QStringLiteral("SubNet_Mask"), QStringLiteral("255.255.255.0"));
            row.setAttribute(QStringLiteral("Port"), QStringLiteral("47808"));
            row.setAttribute(QStringLiteral("Mnemonic"), QStringLiteral("peer"));
        }
        saveTable(d, path);
    }
};

void BM_ParseLargestType0Project(benchmark::State& state)
{
    LargestProject p;
    for (auto _ : state)
        p.parseOnly();
}
BENCHMARK(BM_ParseLargestType0Project)->Unit(benchmark::kMillisecond);

void BM_BuildLargestType0Project(benchmark::State& state)
{
    LargestProject p;
    for (auto _ : state)
        p.build();
}
BENCHMARK(BM_BuildLargestType0Project)->Unit(benchmark::kMillisecond);

void BM_BuildAndSaveLargestType0Project(benchmark::State& state)
{
    LargestProject p;
    for (auto _ : state) {
        p.build();
        p.save();
    }
}
BENCHMARK(BM_BuildAndSaveLargestType0Project)->Unit(benchmark::kMillisecond);

// All three in one run, with the ratios the target is about (build / parse at most 2).
void BM_BuildToParseRatio(benchmark::State& state)
{
    LargestProject p;
    image_bench::timeParseBuildSave(state, p);
}
BENCHMARK(BM_BuildToParseRatio)->Unit(benchmark::kMillisecond);

} // namespace
