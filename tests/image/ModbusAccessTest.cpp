#include "ImageFixture.h"
#include "image/ModbusAccess.h"
#include "platform/text/UserError.h"

#include <gtest/gtest.h>

using namespace image;
using image_test::Attrs;
using image_test::Project;
using image_test::Rows;
using testing_support::toHex;

namespace {

// A read row of the TCP master's table; `set` overrides attributes (an empty value removes it).
Attrs tcpRead(const std::vector<std::pair<QString, QString>>& set = {})
{
    Attrs a = {{"IP_Address", "192.168.0.10"}, {"Port", "502"},       {"Slave_ID", "1"},
               {"Type", "Holding Register"},   {"Address", "100"},    {"NPoint", "10"},
               {"PollTime", "1000"},           {"MaxError", "3"},     {"Position", "0"},
               {"Bit", "0"},                   {"Float_Conv", "N"},   {"Endian", "Little"},
               {"Operation", "None"},          {"Signed", "N"},       {"Swap_W", "N"},
               {"Mnemonic", "m"}};
    for (const auto& [k, v] : set) {
        bool found = false;
        for (auto it = a.begin(); it != a.end(); ++it)
            if (it->first == k) {
                found = true;
                if (v == QLatin1String("<none>"))
                    a.erase(it);
                else
                    it->second = v;
                break;
            }
        if (!found)
            a.push_back({k, v});
    }
    return a;
}

Attrs tcpWrite(const std::vector<std::pair<QString, QString>>& set = {})
{
    auto all = set;
    all.insert(all.begin(), {QStringLiteral("OnChange"), QStringLiteral("N")});
    return tcpRead(all);
}

class ModbusAccess : public ::testing::Test {
protected:
    Project prj{3};
    ModbusAccessTable& table() { return prj.st().access; }
    ParGenStd& par() { return prj.st().Par_Gen; }

    void load(const Rows& readRows, const Rows& writeRows = {}, ModbusMaster master = ModbusMaster::Tcp)
    {
        const QString path = prj.dir().file(master == ModbusMaster::Tcp ? QStringLiteral("ModbusTCPM_SetAccess.xml")
                                                                         : QStringLiteral("ModbusM_SetAccess.xml"));
        prj.modbus(path, readRows, writeRows);
        Clear_Modbus_Access(table());
        loadModbusAccess(table(), par(), path, master);
    }
    QString record(int i)
    {
        BankBuffer bank(kModbusAccessRecords * kModbusAccessRecordSize);
        Write_Modbus_Access(bank, table(), 0);
        return toHex(QByteArray(reinterpret_cast<const char*>(bank.data()) + i * 32, 32));
    }
    QString loadError(const Rows& readRows, const Rows& writeRows = {}, ModbusMaster master = ModbusMaster::Tcp)
    {
        try {
            load(readRows, writeRows, master);
        } catch (const platform::UserError& e) {
            return e.message();
        }
        return QString();
    }
};

} // namespace

TEST_F(ModbusAccess, TcpReadRowGivesTheDocumentedRecord)
{
    load({tcpRead()});
    EXPECT_EQ(record(0), QStringLiteral("00 00 00 00 E8 03 00 00 01 03 64 00 0A 00 F6 01 "
                                        "0A 00 A8 C0 00 00 00 00 03 00 00 00 00 00 14 00"));
    EXPECT_EQ(par().Modbus_Access_Count, 1u);
}

TEST_F(ModbusAccess, WriteFunctionCodesFollowThePointCount)
{
    load({}, {tcpWrite({{"NPoint", "1"}}), tcpWrite({{"NPoint", "2"}}), tcpWrite({{"Type", "Coil Status"}, {"NPoint", "1"}}),
              tcpWrite({{"Type", "coil status"}, {"NPoint", "8"}}), tcpWrite({{"Type", "Input Register"}})});
    const struct {
        uint8_t fn;
    } want[] = {{6}, {16}, {5}, {15}, {0}};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(table()[static_cast<size_t>(i)].Function_Code, want[i].fn) << i;
        EXPECT_EQ(table()[static_cast<size_t>(i)].Byte_Count, 0) << i;
    }
    EXPECT_EQ(par().Modbus_Access_Count, 5u); // an unknown type is still stored and counted
}

TEST_F(ModbusAccess, RtuForceF16AndNoAddress)
{
    auto rtu = [](Attrs a) {
        Attrs out;
        for (auto& kv : a)
            if (kv.first != QLatin1String("IP_Address") && kv.first != QLatin1String("Port"))
                out.push_back(kv);
        return out;
    };
    load({}, {rtu(tcpWrite({{"Type", "Coil Status"}, {"NPoint", "1"}, {"Force_F16", "Y"}})),
              rtu(tcpWrite({{"NPoint", "1"}, {"Force_F16", "y"}})), rtu(tcpWrite({{"NPoint", "1"}, {"Force_F16", "N"}}))},
         ModbusMaster::Rtu);
    EXPECT_EQ(table()[0].Function_Code, 15);
    EXPECT_EQ(table()[1].Function_Code, 16);
    EXPECT_EQ(table()[2].Function_Code, 6);
    EXPECT_EQ(table()[0].Port, 0);
    EXPECT_EQ(table()[0].IP_Address, 0u);
    // The TCP master ignores Force_F16.
    load({}, {tcpWrite({{"NPoint", "1"}, {"Force_F16", "Y"}})});
    EXPECT_EQ(table()[0].Function_Code, 6);
}

TEST_F(ModbusAccess, ByteCountOfReadRows)
{
    const struct {
        const char* type;
        const char* npoint;
        uint8_t bytes;
    } cases[] = {{"Coil Status", "17", 3}, {"Input Status", "8", 1}, {"Input Status", "2000", 250},
                 {"Holding Register", "125", 250}, {"Input Register", "200", 144}, {"Holding Register", "300", 88}};
    Rows rows;
    for (const auto& c : cases)
        rows.push_back(tcpRead({{"Type", c.type}, {"NPoint", c.npoint}}));
    load(rows);
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(table()[i].Byte_Count, cases[i].bytes) << cases[i].type << " " << cases[i].npoint;
}

TEST_F(ModbusAccess, ConversionFlagsAndOperations)
{
    load({tcpRead({{"Float_Conv", "Y"}, {"Operation", "x 100"}, {"Endian", "Little"}, {"Signed", "Y"}}),
          tcpRead({{"Float_Conv", "N"}, {"Operation", "x 100"}, {"Endian", "Little"}, {"Signed", "Y"}}),
          tcpRead({{"Float_Conv", "y"}, {"Operation", ": 256"}, {"Endian", "Big"}, {"Swap_W", "Y"}}),
          tcpRead({{"Float_Conv", "Y"}, {"Operation", "<none>"}, {"Endian", "<none>"}})},
         {tcpWrite({{"OnChange", "Y"}, {"Swap_W", "Y"}})});
    EXPECT_EQ(table()[0].Operation, 6);
    EXPECT_EQ(table()[0].Conversion_Flags, 7);
    EXPECT_EQ(table()[1].Operation, 0);
    EXPECT_EQ(table()[1].Conversion_Flags, 4);
    EXPECT_EQ(table()[2].Operation, 0); // the TCP master knows no ": 256"
    EXPECT_EQ(table()[2].Conversion_Flags, 2);
    EXPECT_EQ(table()[2].Access_Flags, 8);
    EXPECT_EQ(table()[3].Operation, 0);
    EXPECT_EQ(table()[3].Conversion_Flags, 2);
    EXPECT_EQ(table()[4].Access_Flags, 9);

    const char* ops[] = {"None", ": 10", ": 100", ": 1000", ": 10000", "x 10", "x 100", "x 1000",
                         "x 10000", ": 256", "x 256", ": 0.08", "x 0.08", ": 0.008", "x 0.008"};
    for (int code = 0; code < 15; ++code) {
        EXPECT_EQ(modbusOperationCode(QString::fromLatin1(ops[code]), ModbusMaster::Rtu), code) << ops[code];
        EXPECT_EQ(modbusOperationCode(QString::fromLatin1(ops[code]), ModbusMaster::Tcp), code < 9 ? code : 0)
            << ops[code];
    }
    EXPECT_EQ(modbusOperationCode(QStringLiteral("x  10"), ModbusMaster::Rtu), 0);
}

TEST_F(ModbusAccess, ReadRowsComeFirstAndCountAll)
{
    load({tcpRead({{"Position", "1"}}), tcpRead({{"Position", "2"}})}, {tcpWrite({{"Position", "3"}})});
    EXPECT_EQ(table()[0].Position, 1);
    EXPECT_EQ(table()[1].Position, 2);
    EXPECT_EQ(table()[2].Position, 3);
    EXPECT_EQ(par().Modbus_Access_Count, 3u);
}

TEST_F(ModbusAccess, PortDefaultsAndValuesKeepTheirLowBits)
{
    load({tcpRead({{"Port", "<none>"}, {"PollTime", "4294967297"}, {"Slave_ID", "300"}}),
          tcpRead({{"Port", "abc"}, {"IP_Address", " 10 . 0.0.1"}})});
    EXPECT_EQ(table()[0].Port, 502);
    EXPECT_EQ(table()[0].PollTime, 1u);
    EXPECT_EQ(table()[0].Slave_ID, 44);
    EXPECT_EQ(table()[1].Port, 502);
    EXPECT_EQ(table()[1].IP_Address, 0x0A000001u);
}

TEST_F(ModbusAccess, BadNumbersAndAddressesStopTheLoadNamingFileRowAndAttribute)
{
    const struct {
        const char* attr;
        const char* value;
        bool write;
    } cases[] = {{"Slave_ID", "one", false}, {"NPoint", "", false}, {"Address", "<none>", false},
                 {"PollTime", "1s", true}, {"MaxError", "x", true}, {"Position", "1.5", true},
                 {"Bit", "<none>", false}, {"IP_Address", "192.168.0", false}, {"IP_Address", "1.2.3.4.5", true},
                 {"IP_Address", "192.168.0.266", false}, {"IP_Address", "<none>", true}};
    for (const auto& c : cases) {
        const QString err = c.write ? loadError({tcpRead()}, {tcpWrite(), tcpWrite({{c.attr, c.value}})})
                                    : loadError({tcpRead(), tcpRead({{c.attr, c.value}})});
        EXPECT_TRUE(err.contains(QStringLiteral("ModbusTCPM_SetAccess.xml"))) << err.toStdString();
        EXPECT_TRUE(err.contains(c.write ? QStringLiteral("Modbus_Write") : QStringLiteral("Modbus_Read")))
            << err.toStdString();
        EXPECT_TRUE(err.contains(QStringLiteral("row 2"))) << err.toStdString();
        EXPECT_TRUE(err.contains(QLatin1String(c.attr))) << err.toStdString();
    }
    // A row with several bad numbers reports the first one the loader reads: the point count
    // before the address, the poll time before the error limit, then position and bit.
    const struct {
        std::vector<std::pair<QString, QString>> bad;
        const char* first;
    } orders[] = {{{{"Address", "x"}, {"NPoint", "y"}}, "\"NPoint\""},
                  {{{"PollTime", "x"}, {"Address", "y"}}, "\"Address\""},
                  {{{"MaxError", "x"}, {"PollTime", "y"}}, "\"PollTime\""},
                  {{{"Bit", "x"}, {"Position", "y"}, {"MaxError", "z"}}, "\"MaxError\""},
                  {{{"Bit", "x"}, {"Position", "y"}}, "\"Position\""}};
    for (const auto& o : orders) {
        for (bool write : {false, true}) {
            const QString err = write ? loadError({}, {tcpWrite(o.bad)}) : loadError({tcpRead(o.bad)});
            EXPECT_TRUE(err.contains(QLatin1String(o.first))) << (write ? "write: " : "read: ") << err.toStdString();
        }
    }

    // The RTU master reads no address at all.
    Attrs rtu = tcpRead({{"IP_Address", "<none>"}, {"Port", "<none>"}});
    EXPECT_EQ(loadError({rtu}, {}, ModbusMaster::Rtu), QString());
}

TEST_F(ModbusAccess, NoFileMissingSectionAndCapacity)
{
    Clear_Modbus_Access(table());
    par().Modbus_Access_Count = 7;
    Load_Modbus_TCP_Access(table(), par(), prj.ws().Path_ModbusTCPM_SetAccess);
    EXPECT_EQ(par().Modbus_Access_Count, 0u);

    prj.write(prj.ws().Path_ModbusTCPM_SetAccess, "<BACnet_to_Modbus><Modbus_Read/></BACnet_to_Modbus>");
    try {
        Load_Modbus_TCP_Access(table(), par(), prj.ws().Path_ModbusTCPM_SetAccess);
        FAIL() << "no error";
    } catch (const platform::UserError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("Modbus_Write")));
    }

    const Rows full(1000, tcpRead());
    const Rows rest(24, tcpWrite());
    EXPECT_EQ(loadError(full, rest), QString());
    EXPECT_EQ(par().Modbus_Access_Count, 1024u);
    const QString err = loadError(full, Rows(25, tcpWrite()));
    EXPECT_TRUE(err.contains(QStringLiteral("1025"))) << err.toStdString();
    EXPECT_TRUE(err.contains(QStringLiteral("1024"))) << err.toStdString();
}
