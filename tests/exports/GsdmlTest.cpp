#include <QFileInfo>
#include <gtest/gtest.h>

#include "exports/ExportFixture.h"
#include "exports/Gsdml.h"
#include "platform/text/UserError.h"
#include "platform/xml/XmlDom.h"
#include "support/QtPrinters.h"

using namespace exports;
using namespace exports_test;

namespace {

const QString kOddStation = QString::fromUtf8("Plant & Hall \"A\" <1> 'x' Stação € 😀");

QString parGenXml(const char* nbIn, const char* nbOut, const QString& station)
{
    QString s = QStringLiteral("<Par_Gen>");
    if (nbIn)
        s += QStringLiteral("<PROFINET_NB_IN>%1</PROFINET_NB_IN>").arg(QLatin1String(nbIn));
    if (nbOut)
        s += QStringLiteral("<PROFINET_NB_OUT>%1</PROFINET_NB_OUT>").arg(QLatin1String(nbOut));
    if (!station.isNull())
        s += QStringLiteral("<PROFINET_NAME_STA>%1</PROFINET_NAME_STA>").arg(station.toHtmlEscaped());
    return s + QStringLiteral("</Par_Gen>");
}

// The device access point of a document read from `bytes`.
platform::XmlNode accessPoint(const platform::XmlDocument& doc)
{
    return doc.rootElement()
        .element(QStringLiteral("ProfileBody"))
        .element(QStringLiteral("ApplicationProcess"))
        .element(QStringLiteral("DeviceAccessPointList"))
        .element(QStringLiteral("DeviceAccessPointItem"));
}

// The file is well-formed XML read either way a reader may choose: by its byte-order mark
// (UTF-8) or by its declaration (ISO-8859-1); the station name reads the same both ways.
void expectReadableBothWays(const QByteArray& bytes, const QString& station)
{
    ASSERT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
    platform::XmlDocument utf8, latin1;
    QString error;
    ASSERT_TRUE(utf8.loadBytes(bytes, &error)) << error.toStdString();
    ASSERT_TRUE(latin1.loadBytes(bytes.mid(3), &error)) << error.toStdString();
    EXPECT_EQ(accessPoint(utf8).attribute(QStringLiteral("ImplementationType")), station);
    EXPECT_EQ(accessPoint(latin1).attribute(QStringLiteral("ImplementationType")), station);
    EXPECT_EQ(accessPoint(latin1).attribute(QStringLiteral("DNS_CompatibleName")), station);
    EXPECT_EQ(utf8.rootElement().name(), QStringLiteral("ISO15745Profile"));
    EXPECT_EQ(bytes.mid(3).count('\n'), 167);
}

} // namespace

TEST(Gsdml, TheTwoReadingsReallyDiffer)
{
    // Without the character references, a byte above 127 reads differently by mark and by
    // declaration: what expectReadableBothWays guards against.
    const QByteArray raw = "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?><a b=\"\xC3\xA9\"/>";
    platform::XmlDocument utf8, latin1;
    ASSERT_TRUE(utf8.loadBytes(QByteArray("\xEF\xBB\xBF") + raw));
    ASSERT_TRUE(latin1.loadBytes(raw));
    EXPECT_NE(utf8.rootElement().attribute(QStringLiteral("b")), latin1.rootElement().attribute(QStringLiteral("b")));
}

TEST(Gsdml, GoldenFiles)
{
    {
        Project p(9);
        p.put(QStringLiteral("ParGen.xml"), parGenXml("100", "200", kOddStation));
        Write_GSDML_BACnet(p.path(QStringLiteral("g.xml")));
        const QByteArray bytes = p.read(QStringLiteral("g.xml"));
        expectGolden(bytes, QStringLiteral("gsdml_9.xml"));
        expectCrLfLines(bytes);
        expectReadableBothWays(bytes, kOddStation);
    }
    {
        Project p(1002);
        Write_GSDML_MBus(p.path(QStringLiteral("g.xml")));
        const QByteArray bytes = p.read(QStringLiteral("g.xml"));
        expectGolden(bytes, QStringLiteral("gsdml_1002.xml"));
        expectCrLfLines(bytes);
        expectReadableBothWays(bytes, QStringLiteral("disptorvanelo"));
    }
}

TEST(Gsdml, ValuesFromTheGeneralParameters)
{
    struct Case {
        const char* what;
        int type;
        QString parGen; // empty: no file
        int input, output;
        QString station;
    };
    const Case cases[] = {
        {"BACnet lengths cross", 9, parGenXml("100", "200", QStringLiteral("ST1")), 200, 100, QStringLiteral("ST1")},
        {"M-Bus both from NB_OUT", 1002, parGenXml("100", "300", QStringLiteral("ST1")), 300, 300, QStringLiteral("ST1")},
        {"no file", 9, {}, 1439, 1439, QStringLiteral("DNSLAVE")},
        {"no file, M-Bus", 1002, {}, 1439, 1439, QStringLiteral("disptorvanelo")},
        {"not numbers", 9, parGenXml("x", "", QString()), 1439, 1439, QStringLiteral("DNSLAVE")},
        {"blanks only", 9, parGenXml("1", "2", QStringLiteral("   ")), 2, 1, QStringLiteral("DNSLAVE")},
        {"blanks kept", 9, parGenXml("1", "2", QStringLiteral(" st 1 ")), 2, 1, QStringLiteral(" st 1 ")},
        {"beyond what the device announces", 9, parGenXml("5000", "-1", QStringLiteral("a")), -1, 5000, QStringLiteral("a")},
    };
    for (const Case& c : cases) {
        Project p(c.type);
        if (!c.parGen.isEmpty())
            p.put(QStringLiteral("ParGen.xml"), c.parGen);
        const GsdmlValues v = c.type == 1002 ? Read_PROFINET_MBus_Parameters() : Read_PROFINET_Parameters();
        EXPECT_EQ(v.inputLength, c.input) << c.what;
        EXPECT_EQ(v.outputLength, c.output) << c.what;
        EXPECT_EQ(v.stationName, c.station) << c.what;
        const QStringList lines = gsdmlLines(c.type, v);
        EXPECT_TRUE(lines[75].contains(QStringLiteral("Length=\"%1\"").arg(c.input))) << c.what;
        EXPECT_TRUE(lines[76].contains(QStringLiteral("Length=\"%1\"").arg(c.output))) << c.what;
    }
}

TEST(Gsdml, StationNamesAsAttributeText)
{
    struct Case {
        QString name;
        const char* written;
    } cases[] = {
        {QStringLiteral("DNSLAVE"), "DNSLAVE"},
        {QStringLiteral("a&b<c>d\"e'f"), "a&amp;b&lt;c&gt;d&quot;e&apos;f"},
        {QString::fromUtf8("é€😀"), "&#233;&#8364;&#128512;"},
        {QStringLiteral("tab\there"), "tab&#9;here"},
        {QStringLiteral("{model code}"), "{model code}"},
        {QString(QChar(1)) + QStringLiteral("x"), "?x"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(xmlAttributeText(c.name), QLatin1String(c.written)) << c.written;
    // A name that looks like one of the document's values stays a name.
    GsdmlValues v;
    v.stationName = QStringLiteral("{model code}{input line}");
    EXPECT_TRUE(gsdmlLines(9, v)[25].contains(QStringLiteral("ImplementationType=\"{model code}{input line}\"")));
}

TEST(Gsdml, FileNames)
{
    const QString prefix = gsdmlFileNamePrefix(9);
    const QString suffix = gsdmlFileNameSuffix(QDate(2025, 3, 5));
    EXPECT_EQ(prefix, QStringLiteral("GSDML-V2.31-Ostrel-GX30120"));
    EXPECT_EQ(gsdmlFileNamePrefix(1002), QStringLiteral("GSDML-V2.31-Ostrel-GX30130"));
    EXPECT_EQ(suffix, QStringLiteral("-20250305.xml"));
    struct Case {
        const char* free;
        const char* name;
    } cases[] = {
        {"", "GSDML-V2.31-Ostrel-GX30120-20250305.xml"},
        {"   ", "GSDML-V2.31-Ostrel-GX30120-20250305.xml"},
        {"Plant1", "GSDML-V2.31-Ostrel-GX30120_Plant1-20250305.xml"},
        {"_Plant1", "GSDML-V2.31-Ostrel-GX30120_Plant1-20250305.xml"},
        {" Plant1", "GSDML-V2.31-Ostrel-GX30120_ Plant1-20250305.xml"},
        {"Plant1 ", "GSDML-V2.31-Ostrel-GX30120_Plant1 -20250305.xml"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(composeGsdmlFileName(prefix, QLatin1String(c.free), suffix), QLatin1String(c.name)) << "'" << c.free << "'";
}

TEST(Gsdml, TheRequestWritesTheComposedNameInTheChosenFolder)
{
    Project p(1002);
    testing_support::FakeMessageBoxes boxes;
    testing_support::FakeFileDialogs files;
    const QString name = QStringLiteral("GSDML-V2.31-Ostrel-GX30130_P-20250305.xml");

    Create_PROFINET_XML(name); // cancelled
    ASSERT_EQ(files.requests().size(), 1u);
    EXPECT_EQ(files.requests()[0].initialFolder, workspace::ws().Project_Dir);
    EXPECT_EQ(files.requests()[0].fileName, name);
    EXPECT_EQ(files.requests()[0].filter, QStringLiteral("PROFINET XML (*.xml) (%1)").arg(name));
    EXPECT_TRUE(QDir(workspace::ws().Project_Dir).entryList(QDir::Files).isEmpty());

    // Another name typed in the dialog changes only the folder.
    QDir().mkpath(p.path(QStringLiteral("out")));
    files.choose(p.path(QStringLiteral("out/other.xml")));
    Create_PROFINET_XML(name);
    EXPECT_EQ(QDir(p.path(QStringLiteral("out"))).entryList(QDir::Files), QStringList{name});
    const QByteArray first = p.read(QStringLiteral("out/") + name);
    EXPECT_TRUE(first.contains("disptorvanelo"));
    EXPECT_TRUE(boxes.shown().empty());

    p.put(QStringLiteral("ParGen.xml"), parGenXml("1", "2", QStringLiteral("NEW")));
    files.choose(p.path(QStringLiteral("out/other.xml")));
    Create_PROFINET_XML(name); // No
    EXPECT_EQ(p.read(QStringLiteral("out/") + name), first);
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].kind, platform::MsgKind::Confirm);
    EXPECT_EQ(boxes.shown()[0].text, QStringLiteral("File already exists! Do you want to overwrite the file?"));

    files.choose(p.path(QStringLiteral("out/other.xml")));
    boxes.answer(platform::MsgAnswer::Yes);
    Create_PROFINET_XML(name);
    EXPECT_TRUE(p.read(QStringLiteral("out/") + name).contains("ImplementationType=\"NEW\""));
}

TEST(Gsdml, ANameThatCannotBeAFileIsRefusedNamingIt)
{
    Project p(9);
    testing_support::FakeFileDialogs files;
    const QString name = QStringLiteral("GSDML-V2.31-Ostrel-GX30120_a/../b-20250305.xml");
    files.choose(p.path(QStringLiteral("x.xml")));
    try {
        Create_PROFINET_XML(name);
        ADD_FAILURE() << "no error";
    } catch (const platform::UserError& e) {
        EXPECT_TRUE(e.message().contains(name)) << e.message().toStdString();
    }
    EXPECT_TRUE(QDir(p.path(QString())).entryList(QDir::Files).isEmpty());

    // A folder that is gone by the time of writing.
    try {
        Write_GSDML_BACnet(p.path(QStringLiteral("gone/g.xml")));
        ADD_FAILURE() << "no error";
    } catch (const platform::UserError& e) {
        EXPECT_TRUE(e.message().contains(p.path(QStringLiteral("gone/g.xml"))));
    }
}
