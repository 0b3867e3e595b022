#include "workspace/Validators.h"
#include "workspace/Workspace.h"

#include <gtest/gtest.h>

using namespace workspace;

TEST(Validators, KnxIndividualAddress)
{
    const struct {
        const char* text;
        bool allowZero;
        int expected;
    } cases[] = {
        {"1.1.1", false, 0},     {"15.15.255", false, 0}, {" 1 . 2 . 3 ", false, 0}, {"0.0.0", false, 1},
        {"0.0.0", true, 0},      {"0.0.1", false, 0},     {"16.0.1", false, 1},      {"1.16.1", false, 1},
        {"1.1.256", false, 1},   {"1.-1.1", true, 1},     {"1.2", false, 1},         {"1.2.3.4", false, 1},
        {"1/2/3", false, 1},     {"1.2/3", true, 1},      {"1", false, 0},           {"65535", false, 0},
        {"65536", false, 1},     {"0", true, 1},          {"", true, 1},             {"a.b.c", true, 1},
        {"1..1", true, 1},       {"$F.$F.$FF", false, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Check_KNX_Address(QString::fromLatin1(c.text), false, c.allowZero), c.expected)
            << '"' << c.text << "\" allowZero " << c.allowZero;
}

TEST(Validators, KnxGroupAddress)
{
    const struct {
        const char* text;
        int expected;
    } cases[] = {
        {"31/7/255", 0}, {"31/2047", 0}, {"65535", 0}, {"1", 0},    {"0/0/1", 0},   {"0/1", 0},
        {" 2 / 3 ", 0},  {"0/0/0", 1},   {"0/0", 1},   {"32/0", 1}, {"1/8/0", 1},   {"1/0/256", 1},
        {"1/2048", 1},   {"0", 1},       {"65536", 1}, {"1.2", 1},  {"1/2/3/4", 1}, {"1//2", 1},
        {"", 1},         {"x/1", 1},
    };
    for (const auto& c : cases) {
        // The allow-zero flag plays no part in the group form.
        EXPECT_EQ(Check_KNX_Address(QString::fromLatin1(c.text), true, false), c.expected) << c.text;
        EXPECT_EQ(Check_KNX_Address(QString::fromLatin1(c.text), true, true), c.expected) << c.text;
    }
    EXPECT_TRUE(Is_KNX_Group_Address(QStringLiteral("1/2/3")));
    EXPECT_TRUE(Is_KNX_Group_Address(QStringLiteral("")));
    EXPECT_FALSE(Is_KNX_Group_Address(QStringLiteral("1.2.3")));
}

TEST(Validators, KnxRowCodes)
{
    const struct {
        const char* text;
        int apci, priority, conversion;
    } cases[] = {
        {"write", 128, 2, 0},
        {"READ", 0, 2, 0},
        {"7", 7, 2, 0},
        {"$10", 16, 2, 0},
        {"word", 0, 2, 0},
        {" write", 0, 2, 0}, // not trimmed
        {"low", 0, 3, 0},
        {"System", 0, 0, 0},
        {"NORMAL", 0, 1, 0},
        {"urgent", 0, 2, 0},
        {"low ", 0, 2, 0},
        {"none", 0, 2, 0x0000},
        {"Swap16", 0, 2, 0x1000},
        {"SWAP32", 0, 2, 0x2000},
        {"swap all", 0, 2, 0x3000},
        {"INT TO FLOAT", 0, 2, 0x4000},
        {"FLOAT TO INT", 0, 2, 0x5000},
        {"float16 to float32", 0, 2, 0x6000},
        {"FLOAT16 TO INT", 0, 2, 0x7000},
        {"FLOAT16 TO INT * 10", 0, 2, 0x8000},
        {"FLOAT16 TO INT * 100", 0, 2, 0x9000},
        {"FLOAT16 TO INT*10", 0, 2, 0},
        {"", 0, 2, 0},
    };
    for (const auto& c : cases) {
        const QString t = QString::fromLatin1(c.text);
        EXPECT_EQ(APCI_Code(t), c.apci) << c.text;
        EXPECT_EQ(KNX_Priority_Code(t), c.priority) << c.text;
        EXPECT_EQ(Conversion_Code(t), c.conversion) << c.text;
    }
}

TEST(Validators, IpTextToBytes)
{
    const struct {
        const char* text;
        uint8_t b[4];
        bool bad;
    } cases[] = {
        {"192.168.1.10", {192, 168, 1, 10}, false},
        {"0.0.0.0", {0, 0, 0, 0}, false},
        {"255.255.255.255", {255, 255, 255, 255}, false},
        {"192.168.1", {192, 168, 0, 1}, true},
        {"192.168.1.256", {192, 168, 1, 0}, true},
        {"1.2.3.4.5", {1, 2, 3, 0}, true},
        {"1..3.4", {1, 0, 3, 4}, true},
        {"a.2.3.4", {0, 2, 3, 4}, true},
        {"1.2.3.-1", {1, 2, 3, 0}, true},
        {"1.2.3.4 ", {1, 2, 3, 0}, true}, // parts are not trimmed
        {"1", {0, 0, 0, 1}, true},
    };
    for (const auto& c : cases) {
        uint8_t b[4] = {9, 9, 9, 9};
        EXPECT_EQ(IP_Text_To_Bytes(QString::fromLatin1(c.text), b[0], b[1], b[2], b[3]), c.bad) << c.text;
        EXPECT_EQ(std::vector<int>(b, b + 4), std::vector<int>(c.b, c.b + 4)) << c.text;
        uint8_t v[4] = {9, 9, 9, 9};
        EXPECT_EQ(IP_Text_To_Bytes(std::string_view(c.text), v[0], v[1], v[2], v[3]), c.bad) << c.text;
        EXPECT_EQ(std::vector<int>(v, v + 4), std::vector<int>(c.b, c.b + 4)) << c.text << " (UTF-8)";
    }
    uint8_t b[4] = {9, 8, 7, 6};
    EXPECT_TRUE(IP_Text_To_Bytes(QString(), b[0], b[1], b[2], b[3]));
    EXPECT_EQ(std::vector<int>(b, b + 4), (std::vector<int>{9, 8, 7, 6})); // untouched
}

TEST(Validators, SnmpOid)
{
    const struct {
        QString text;
        int expected;
    } cases[] = {
        {"1.3.6.1.4.1", 0},
        {"1", 0},
        {"1.3.65535", 0},
        {"1.3.0065535", 0},
        {QString(62, QLatin1Char('1')), 6},
        {QString(63, QLatin1Char('1')), 1},
        {QString(63, QLatin1Char('x')), 1}, // length comes first
        {".1.3", 3},
        {"1.3.", 4},
        {"1..3", 5},
        {"1.3.65536", 6},
        {"1.99999999999999999999999.1", 6},
        {"1.3.a", 2},
        {"x", 2},
        {"1.3 .6", 2},
        {"1,3", 2},
        {".", 3},
        {"", 2},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Check_SNMP_OID(c.text), c.expected) << c.text.toStdString();
}

TEST(Validators, Snmpv3TextsAndCodes)
{
    const struct {
        const char* text;
        bool user;
        int expected;
    } texts[] = {
        {"", true, 2},          {"a", true, 0},           {"", false, 2},
        {"abcdefg", false, 2},  {"abcdefgh", false, 0},   {"abcdefghijklmno", false, 0},
        {"abcdefghijklmnop", false, 1}, {"abcdefghijklmnop", true, 1}, {"pass_word", false, 3},
        {"user name", true, 3}, {"Zz09", true, 0},        {"ab\xE9", true, 3},
    };
    for (const auto& c : texts)
        EXPECT_EQ(Check_SNMPv3_Text(QString::fromLatin1(c.text), c.user), c.expected) << c.text << ' ' << c.user;

    const struct {
        const char* text;
        int levelIndex, authIndex, privIndex, levelCode, authCode, privCode;
    } choices[] = {
        {"  auth priv ", 2, 0, 0, 3, 0, 0},
        {"AUTH NOPRIV", 1, 0, 0, 1, 0, 0},
        {"noauth nopriv", 0, 0, 0, 0, 0, 0},
        {"", 0, 0, 0, -1, 0, 0},
        {"   ", 0, 0, 0, -1, 0, 0},
        {"sha", 0, 1, 0, 0, 2, 0},
        {"MD5", 0, 0, 0, 0, 1, 0},
        {" aes", 0, 0, 1, 0, 0, 2},
        {"des", 0, 0, 0, 0, 0, 1},
        {"AUTH  PRIV", 0, 0, 0, 0, 0, 0},
    };
    for (const auto& c : choices) {
        const QString t = QString::fromLatin1(c.text);
        EXPECT_EQ(SNMPv3_Level_Index(t), c.levelIndex) << c.text;
        EXPECT_EQ(SNMPv3_Auth_Index(t), c.authIndex) << c.text;
        EXPECT_EQ(SNMPv3_Priv_Index(t), c.privIndex) << c.text;
        EXPECT_EQ(SNMPv3_Level_Code(t), c.levelCode) << c.text;
        EXPECT_EQ(SNMPv3_Auth_Code(t), c.authCode) << c.text;
        EXPECT_EQ(SNMPv3_Priv_Code(t), c.privCode) << c.text;
    }
}

TEST(Validators, ScanWindowValuesFollowTheDeviceType)
{
    const struct {
        int type, xmlCode, formType;
    } cases[] = {{1, 6, 0}, {21, 12, 1}, {20, 0, 0}, {3, 0, 0}, {1001, 0, 0}, {-5, 0, 0}};
    for (const auto& c : cases) {
        ScopedWorkspace w(c.type);
        EXPECT_EQ(Get_XML_Code_Dev(), c.xmlCode) << c.type;
        EXPECT_EQ(Get_Form_Type(), c.formType) << c.type;
    }
}

TEST(Validators, ObjectCountersPerType)
{
    ScopedWorkspace w;
    for (int t : {0, 2, 2, 48, 48, 48, 6, -1, 1000})
        Inc_Obj_Counter(t);
    EXPECT_EQ(Get_Obj_Counter(0), 1);
    EXPECT_EQ(Get_Obj_Counter(1), 0);
    EXPECT_EQ(Get_Obj_Counter(2), 2);
    EXPECT_EQ(Get_Obj_Counter(48), 3);
    EXPECT_EQ(Get_Obj_Counter(6), 0); // not a counted type
    EXPECT_EQ(Get_Obj_Counter(-1), 0);
    for (int t : {0, 1, 2, 3, 4, 5, 13, 14, 19, 23, 40, 44, 45, 46, 48}) {
        Inc_Obj_Counter(t);
        EXPECT_GE(Get_Obj_Counter(t), 1) << t;
    }
    Reset_Obj_Counters();
    for (int t : {0, 2, 48, 19})
        EXPECT_EQ(Get_Obj_Counter(t), 0) << t;

    // Counters belong to the workspace: a fresh one starts at zero.
    Inc_Obj_Counter(5);
    ScopedWorkspace fresh;
    EXPECT_EQ(Get_Obj_Counter(5), 0);
}

TEST(Validators, ComPortsAreDevicePaths)
{
    for (const QString& port : List_COM_Ports())
        EXPECT_TRUE(port.startsWith(QLatin1String("/dev/tty"))) << port.toStdString();
}
