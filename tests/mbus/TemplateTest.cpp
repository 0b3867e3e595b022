#include "Golden.h"
#include "TemplateFixture.h"
#include "platform/text/Text.h"
#include "platform/text/UserError.h"
#include "support/TempDir.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace mbus;
using mbus_test::request;
using mbus_test::var;
using testing_support::TempDir;

namespace {

std::vector<TStruct_BACnet> sampleVars()
{
    return {var(0, 0, 13, "NS_xx'yy'zzz'", "Node State"), var(0, 0, 23, "IN_xx'yy'zzz'", "Identification Number"),
            var(1, 19, 2, "Meter xx'.yy'.zzz' flow", "Flow & <return>", 3, {0x10, 0xFB}),
            var(2, 5, 23, "Ex xx' yy' zzz'", "Energy")};
}

std::vector<TStruct_MBus> sampleRequests()
{
    return {request(1, {0x10, 0x40, 0xFE, 0x3E, 0x16}, 2), request(2, {0x10, 0x5B, 0xFE, 0x59, 0x16}, 0)};
}

int32_t num(const ElementTexts& t, const char* name) { return platform::toInt(t.value(name).value_or("")).value_or(-999); }

std::vector<uint8_t> bytesOf(const TemplateItemTexts& t)
{
    std::vector<uint8_t> b;
    for (const QString& s : t.frame())
        b.push_back(static_cast<uint8_t>(platform::toInt(s).value_or(-1)));
    return b;
}

// Every value of the file back into the two lists.
std::pair<std::vector<TStruct_BACnet>, std::vector<TStruct_MBus>> structsOf(const TemplateTexts& t)
{
    std::vector<TStruct_BACnet> vars;
    for (const TemplateItemTexts& x : t.variables) {
        TStruct_BACnet v;
        v.FrameNumber = num(x, "FrameNumber");
        v.PositionInFrame = num(x, "PositionInFrame");
        v.Dimension = num(x, "Dimension");
        v.UsedInMoreVars = num(x, "UsedInMoreVars");
        v.ObjectType = num(x, "ObjectType");
        v.PostOperation = num(x, "PostOperation");
        v.LengthWriteFrame = num(x, "LengthWriteFrame");
        v.WriteFrame = bytesOf(x);
        v.Units = num(x, "Units");
        v.Options = num(x, "Options");
        v.ObjectName = x.value("ObjectName").value_or("?");
        v.ON_Split1 = x.value("ON_Split1").value_or("?");
        v.ON_Split2 = x.value("ON_Split2").value_or("?");
        v.ON_Split3 = x.value("ON_Split3").value_or("?");
        v.ON_Split4 = x.value("ON_Split4").value_or("?");
        v.Description = x.value("Description").value_or("?");
        vars.push_back(v);
    }
    std::vector<TStruct_MBus> reqs;
    for (const TemplateItemTexts& x : t.requests) {
        TStruct_MBus r;
        r.Step = num(x, "Step");
        r.FrameNumber = num(x, "FrameNumber");
        r.FrameLength = num(x, "FrameLength");
        r.Frame = bytesOf(x);
        r.ByteToChange = num(x, "ByteToChange");
        r.Reply = num(x, "Reply");
        r.NextStep = num(x, "NextStep");
        r.VariablesForFrame = num(x, "VariablesForFrame");
        reqs.push_back(r);
    }
    return {vars, reqs};
}

} // namespace

TEST(TemplateFile, GoldenFileAndReadBack)
{
    const QByteArray xml = templateXml(sampleVars(), sampleRequests());
    mbus_test::expectGolden("mbus/Template_Meter.xml", xml);
    const TemplateTexts t = parseTemplateTexts(xml, "Meter.xml");
    EXPECT_EQ(t.deviceType, QStringLiteral("0"));
    EXPECT_EQ(templateDeviceKind(t), 0);
    const auto [vars, reqs] = structsOf(t);
    EXPECT_EQ(vars, sampleVars());
    EXPECT_EQ(reqs, sampleRequests());
}

TEST(TemplateFile, DeviceVariablesLeaveOutTheLeadingRows)
{
    // Only the two leading rows: no device variable, but both Var elements are in the file.
    const TemplateTexts only = parseTemplateTexts(templateXml(mbus_test::meterVars({}), {}), "t");
    EXPECT_EQ(only.variables.size(), 2u);
    EXPECT_TRUE(templateVariables(only).empty());

    const std::vector<TemplateVariable> v = templateVariables(parseTemplateTexts(templateXml(sampleVars(), {}), "t"));
    ASSERT_EQ(v.size(), 2u);
    EXPECT_EQ(v[0].FrameNumber, 1);
    EXPECT_EQ(v[0].PositionInFrame, 19);
    EXPECT_EQ(v[0].ObjectType, 2);
    EXPECT_EQ(v[0].PostOperation, 2);
    EXPECT_EQ(v[0].Units, 62);
    EXPECT_EQ(v[0].Frame, "10 FB ");
    EXPECT_EQ(v[0].Options, "3");
    EXPECT_EQ(v[0].Description, "Flow & <return>");
    EXPECT_EQ(v[0].splits, (std::array<QString, 4>{"Meter", "'.", "'.", "' flow"}));
    EXPECT_EQ(v[1].Frame, ""); // no write frame: an empty Frame element, shown as nothing
}

// "00" is no leading row: the rule compares the text. Texts that are no numbers take the
// reader's defaults; comments inside the lists are no items.
TEST(TemplateFile, LeadingRowTextAndDefaults)
{
    const QByteArray xml = "<?xml version=\"1.0\"?><!-- hand made --><Template><List_Variables>"
                           "<Var><FrameNumber>0</FrameNumber></Var><!-- c -->"
                           "<Var><FrameNumber>00</FrameNumber><PositionInFrame>7</PositionInFrame></Var>"
                           "<Var><FrameNumber>x</FrameNumber><PositionInFrame/><ObjectType>y</ObjectType>"
                           "<Frame><Byte_Frame>300</Byte_Frame><Byte_Frame>z</Byte_Frame><!-- c --></Frame></Var>"
                           "<Var><FrameNumber> 0</FrameNumber></Var>"
                           "</List_Variables><Device_Type><Type>6</Type></Device_Type></Template>";
    const TemplateTexts t = parseTemplateTexts(xml, "t");
    EXPECT_EQ(t.variables.size(), 4u);
    EXPECT_EQ(templateDeviceKind(t), 6);
    const std::vector<TemplateVariable> v = templateVariables(t);
    ASSERT_EQ(v.size(), 3u);
    EXPECT_EQ(v[0].FrameNumber, 0);
    EXPECT_EQ(v[0].PositionInFrame, 7);
    EXPECT_EQ(v[1].FrameNumber, 1);
    EXPECT_EQ(v[1].PositionInFrame, 1);
    EXPECT_EQ(v[1].ObjectType, 0);
    EXPECT_EQ(v[1].Frame, "12C 00 ");
    EXPECT_EQ(v[2].FrameNumber, 0); // " 0" reads as 0 but is no leading row

    EXPECT_EQ(templateDeviceKind(parseTemplateTexts("<Template><Device_Type><Type>A</Type></Device_Type></Template>", "t")), 0);
    EXPECT_EQ(templateDeviceKind(parseTemplateTexts("<Template/>", "t")), 0);
    EXPECT_THROW(parseTemplateTexts("<Template><List_Variables>", "t"), platform::UserError);
}

TEST(TemplateFile, ObjectNamePattern)
{
    struct Case {
        const char* pattern;
        std::array<QString, 4> pieces;
        int failed;
    };
    const Case cases[] = {
        {"Meter xx'.yy'.zzz' flow", {"Meter", "'.", "'.", "' flow"}, 0},
        {"Meterxx'yy'zzz'", {"Meter", "'", "'", "'"}, 0},
        {"  AI_xx'_yy'_zzz'  ", {"AI_", "'_", "'_", "'"}, 0},
        {"xx'yy'zzz'", {"", "'", "'", "'"}, 0},
        {"A yy' xx' zzz'", {}, 2},
        {"A xx' zzz'", {}, 2},
        {"A xx' yy'", {}, 3},
        {"plain", {}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pattern);
        int failed = -1;
        const auto pieces = Split_Object_Name(QLatin1String(c.pattern), &failed);
        EXPECT_EQ(failed, c.failed);
        if (c.failed == 0) {
            ASSERT_TRUE(pieces);
            EXPECT_EQ(*pieces, c.pieces);
        } else {
            EXPECT_FALSE(pieces);
        }
    }
    const std::array<QString, 4> s{"Meter", "'.", "'.", "' flow"};
    EXPECT_EQ(completedObjectName(s, "1", "2", "3"), "Meter01'.02'.003' flow");
    EXPECT_EQ(completedObjectName({"AI_", "_", "_", ""}, "7", "12", "1234"), "AI_07_12_1234");
    EXPECT_EQ(Pad_Zero_Left("", 2), "00");
    EXPECT_EQ(Pad_Zero_Left("123", 2), "123");
}

TEST(TemplateFile, FramesAsText)
{
    EXPECT_EQ(frameDisplayText({16, 251}), "10 FB ");
    EXPECT_EQ(frameDisplayText({}), "");
    EXPECT_EQ(frameDisplayText({4660}), "1234 ");
    struct Case {
        const char* text;
        std::optional<std::vector<uint8_t>> bytes;
    };
    const Case cases[] = {
        {"ABC", std::vector<uint8_t>{0x0A, 0xBC}},
        {"10fb", std::vector<uint8_t>{0x10, 0xFB}},
        {"", std::vector<uint8_t>{}},
        {"0x12", std::nullopt},
        {"1G", std::nullopt},
        {"1 2", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(frameFromHexText(QLatin1String(c.text)), c.bytes) << c.text;
}

TEST(TemplateFile, TemplatesAreFoundInTheirFolderWhateverTheLetterCase)
{
    TempDir dir;
    dir.write("TEMPLATE/Meter.xml", "<Template/>");
    dir.write("outside.xml", "<Template/>");
    const QString folder = dir.file("TEMPLATE");
    EXPECT_EQ(findTemplateFile(folder, "Meter.xml"), folder + "/Meter.xml");
    EXPECT_EQ(findTemplateFile(folder, "METER.XML"), folder + "/Meter.xml");
    for (const char* name : {"Missing.xml", "../outside.xml", "..\\outside.xml", "..", ".", ""})
        EXPECT_TRUE(findTemplateFile(folder, QLatin1String(name)).isEmpty()) << name;
    EXPECT_TRUE(findTemplateFile(QString(), "Meter.xml").isEmpty());
}

TEST(TemplateFile, WritingAFileAndItsFailure)
{
    TempDir dir;
    const QString path = dir.file("T.xml");
    Create_Template_XML_File(path, sampleVars(), sampleRequests());
    EXPECT_EQ(structsOf(readTemplateTexts(path)).first, sampleVars());
    EXPECT_THROW(Create_Template_XML_File(dir.file("no/such/folder/T.xml"), {}, {}), platform::UserError);
    EXPECT_THROW(readTemplateTexts(dir.file("missing.xml")), platform::UserError);
}
