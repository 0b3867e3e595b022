#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>

#include "exports/Eds.h"
#include "exports/ExportFixture.h"
#include "platform/text/UserError.h"
#include "support/QtPrinters.h"

using namespace exports;
using namespace exports_test;

namespace {

const QDateTime kFivePastNine(QDate(2025, 1, 1), QTime(9, 5, 3));

QString pdoTable(const QString& receive, const QString& transmit)
{
    return QStringLiteral("<PDO_CANopen><Receive_PDO>%1</Receive_PDO><Transmit_PDO>%2</Transmit_PDO></PDO_CANopen>")
        .arg(receive, transmit);
}
QString pdo(const char* cob, const char* dim)
{
    return QStringLiteral("<row COB-ID=\"%1\" Dimension=\"%2\"/>").arg(QLatin1String(cob), QLatin1String(dim));
}
QString sdoTable(const QString& read, const QString& write)
{
    return QStringLiteral("<SDO_Server><SDO_Read>%1</SDO_Read><SDO_Write>%2</SDO_Write></SDO_Server>").arg(read, write);
}
QString sdo(const char* index, const char* sub, const char* bytes)
{
    return QStringLiteral("<row Index=\"%1\" SubIndex=\"%2\" NByte=\"%3\"/>")
        .arg(QLatin1String(index), QLatin1String(sub), QLatin1String(bytes));
}

QByteArray writeEds(Project& p)
{
    Write_EDS_File(p.path(QStringLiteral("dev.eds")));
    return p.read(QStringLiteral("dev.eds"));
}

// Reads the file as a CANopen tool reads an EDS: sections of key=value lines, each section once;
// every object list counts its entries and names objects that have a section; every SubNumber
// counts the sub-index sections of its object; the PDO counts match the PDO objects.
void expectReadableEds(const QByteArray& bytes)
{
    QMap<QString, QMap<QString, QString>> sections;
    QStringList order;
    QString current;
    const QStringList lines = cp1252Lines(bytes);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString& l = lines[i];
        if (l.isEmpty())
            continue;
        if (l.startsWith(QLatin1Char('['))) {
            ASSERT_TRUE(l.endsWith(QLatin1Char(']'))) << l.toStdString();
            current = l.mid(1, l.size() - 2);
            ASSERT_FALSE(sections.contains(current)) << "section twice: " << current.toStdString();
            sections[current];
            order << current;
            continue;
        }
        const qsizetype eq = l.indexOf(QLatin1Char('='));
        ASSERT_GT(eq, 0) << "line " << i + 1 << " is no key=value: " << l.toStdString();
        ASSERT_FALSE(current.isEmpty()) << "key before any section";
        ASSERT_FALSE(sections[current].contains(l.left(eq))) << "key twice in " << current.toStdString();
        sections[current].insert(l.left(eq), l.mid(eq + 1));
    }
    for (const char* fixed : {"FileInfo", "DeviceInfo", "MandatoryObjects", "OptionalObjects", "ManufacturerObjects"})
        ASSERT_TRUE(sections.contains(QLatin1String(fixed))) << fixed;
    QSet<QString> listed;
    for (const char* list : {"MandatoryObjects", "OptionalObjects", "ManufacturerObjects"}) {
        const auto& s = sections[QLatin1String(list)];
        const int n = s.value(QStringLiteral("SupportedObjects")).toInt();
        EXPECT_EQ(s.size(), n + 1) << list;
        for (int k = 1; k <= n; ++k) {
            const QString index = s.value(QString::number(k));
            ASSERT_TRUE(index.startsWith(QLatin1String("0x"))) << list << " " << k;
            const QString name = index.mid(2).toUpper();
            EXPECT_TRUE(sections.contains(name)) << list << " names " << index.toStdString() << " without a section";
            EXPECT_FALSE(listed.contains(name)) << index.toStdString() << " listed twice";
            listed.insert(name);
        }
    }
    static const QRegularExpression objectSection(QStringLiteral("^([0-9A-F]{4})(sub([0-9A-F]+))?$"));
    QMap<QString, int> subs;
    for (const QString& name : order) {
        const QRegularExpressionMatch m = objectSection.match(name);
        if (!m.hasMatch())
            continue;
        EXPECT_TRUE(sections[name].contains(QStringLiteral("ParameterName"))) << name.toStdString();
        EXPECT_TRUE(sections[name].contains(QStringLiteral("ObjectType"))) << name.toStdString();
        if (m.hasCaptured(2) && !m.captured(2).isEmpty()) {
            EXPECT_TRUE(sections.contains(m.captured(1))) << name.toStdString() << " without its object";
            ++subs[m.captured(1)];
        } else {
            EXPECT_TRUE(listed.contains(name)) << name.toStdString() << " is in no object list";
        }
    }
    int rx = 0, tx = 0;
    for (const QString& name : order) {
        if (!objectSection.match(name).hasMatch() || name.contains(QLatin1String("sub")))
            continue;
        if (sections[name].contains(QStringLiteral("SubNumber")))
            EXPECT_EQ(sections[name].value(QStringLiteral("SubNumber")).toInt(), subs.value(name)) << name.toStdString();
        else
            EXPECT_EQ(subs.value(name), 0) << name.toStdString();
        rx += name.startsWith(QLatin1String("14"));
        tx += name.startsWith(QLatin1String("18"));
    }
    EXPECT_EQ(sections[QStringLiteral("DeviceInfo")].value(QStringLiteral("NrOfRXPDO")).toInt(), rx);
    EXPECT_EQ(sections[QStringLiteral("DeviceInfo")].value(QStringLiteral("NrOfTXPDO")).toInt(), tx);
}

} // namespace

TEST(Eds, GoldenFiles)
{
    struct Case {
        const char* golden;
        QString pdos; // empty: no file
        QString sdos;
    };
    const Case cases[] = {
        {"eds_no_tables.eds", {}, {}},
        {"eds_rpdo_201.eds", pdoTable(pdo("$201", "2"), {}), {}},
        // Rows of the read section come first; sub-indexes are sorted within their index.
        {"eds_sdo_order.eds", pdoTable({}, pdo("0x181", "1")),
         sdoTable(sdo("8192", "2", "4") + sdo("$2001", "3", "1"), sdo("0x2000", "1", "2") + sdo("8193", "16", "4"))},
    };
    for (const Case& c : cases) {
        FixedClock clock(kFivePastNine);
        Project p(8);
        if (!c.pdos.isEmpty())
            p.put(QStringLiteral("PDO_CANopen.xml"), c.pdos);
        if (!c.sdos.isEmpty())
            p.put(QStringLiteral("SDO_Server_CANopen.xml"), c.sdos);
        const QByteArray bytes = writeEds(p);
        expectGolden(bytes, QLatin1String(c.golden));
        expectCrLfLines(bytes);
        expectReadableEds(bytes);
    }
}

TEST(Eds, AllThirtyPdosOfEachDirection)
{
    FixedClock clock(kFivePastNine);
    Project p(8);
    QString rx, tx;
    for (int i = 0; i < 32; ++i) {
        rx += pdo("$200", "8");
        tx += pdo("$180", "1");
    }
    p.put(QStringLiteral("PDO_CANopen.xml"), pdoTable(QStringLiteral("<note/>") + rx, tx + QStringLiteral("<note/>")));
    const QByteArray bytes = writeEds(p);
    expectReadableEds(bytes);
    const QStringList lines = cp1252Lines(bytes);
    EXPECT_TRUE(lines.contains(QStringLiteral("NrOfRXPDO=30")));
    EXPECT_TRUE(lines.contains(QStringLiteral("NrOfTXPDO=30")));
    EXPECT_TRUE(lines.contains(QStringLiteral("SupportedObjects=188")));
    EXPECT_TRUE(lines.contains(QStringLiteral("[701D]")));
    EXPECT_TRUE(lines.contains(QStringLiteral("ParameterName=av8")));
    EXPECT_TRUE(lines.contains(QStringLiteral("ParameterName=cv1")));
    EXPECT_FALSE(lines.contains(QStringLiteral("[701E]")));
}

TEST(Eds, PdoValues)
{
    struct Case {
        const char* cob;
        const char* dim;
        int cobId, dimension;
    } cases[] = {{"$201", "2", 0x201, 2}, {"513", "8", 513, 8}, {"x", "1", 0, 1}, {"$7FF", "x", 0x7FF, 8}, {"", "", 0, 8}};
    for (const Case& c : cases) {
        Project p(8);
        p.put(QStringLiteral("PDO_CANopen.xml"), pdoTable(pdo(c.cob, c.dim), {}));
        const PdoTable t = Read_PDO_Table();
        ASSERT_EQ(t.receive.size(), 1u) << c.cob;
        EXPECT_EQ(t.receive[0].cobId, c.cobId) << c.cob;
        EXPECT_EQ(t.receive[0].dimension, c.dimension) << c.dim;
    }
}

TEST(Eds, BadTablesStopTheExportNamingTheRow)
{
    struct Case {
        const char* what;
        QString pdos, sdos;
        const char* message;
    };
    const Case cases[] = {
        {"dimension 0", pdoTable(pdo("1", "8") + pdo("1", "0"), {}), {},
         "PDO_CANopen.xml, section \"Receive_PDO\", row 2: the attribute \"Dimension\" must be between 1 and 8, not 0."},
        {"dimension 9", pdoTable({}, pdo("1", "9")), {},
         "PDO_CANopen.xml, section \"Transmit_PDO\", row 1: the attribute \"Dimension\" must be between 1 and 8, not 9."},
        {"sub-index missing", {}, sdoTable(QStringLiteral("<row Index=\"8192\" NByte=\"1\"/>"), {}),
         "SDO_Server_CANopen.xml, section \"SDO_Read\", row 1: the attribute \"SubIndex\" is missing."},
        {"index no number", {}, sdoTable({}, sdo("idx", "1", "1")),
         "SDO_Server_CANopen.xml, section \"SDO_Write\", row 1: the attribute \"Index\" must be a whole number, not \"idx\"."},
        {"bytes no number", {}, sdoTable(sdo("8192", "1", "four"), {}),
         "SDO_Server_CANopen.xml, section \"SDO_Read\", row 1: the attribute \"NByte\" must be a whole number, not \"four\"."},
        {"index too large", {}, sdoTable(sdo("$12000", "1", "1"), {}),
         "SDO_Server_CANopen.xml, section \"SDO_Read\", row 1: the index 73728 is outside 0..0xFFFF."},
        {"sub-index too large", {}, sdoTable(sdo("8192", "256", "1"), {}),
         "SDO_Server_CANopen.xml, section \"SDO_Read\", row 1: the sub-index 256 is outside 0..255."},
        {"twice", {}, sdoTable(sdo("8192", "1", "1") + sdo("8193", "1", "1"), sdo("$2000", "1", "2")),
         "SDO_Server_CANopen.xml, section \"SDO_Write\", row 1: the index 0x2000 with sub-index 1 is given twice."},
        {"not well-formed", {}, QStringLiteral("<SDO_Server>"), "The file SDO_Server_CANopen.xml cannot be read"},
    };
    for (const Case& c : cases) {
        Project p(8);
        if (!c.pdos.isEmpty())
            p.put(QStringLiteral("PDO_CANopen.xml"), c.pdos);
        if (!c.sdos.isEmpty())
            p.put(QStringLiteral("SDO_Server_CANopen.xml"), c.sdos);
        p.put(QStringLiteral("dev.eds"), QStringLiteral("previous"));
        try {
            writeEds(p);
            ADD_FAILURE() << c.what << ": no error";
        } catch (const platform::UserError& e) {
            EXPECT_TRUE(e.message().startsWith(QLatin1String(c.message))) << c.what << ": " << e.message().toStdString();
        }
        EXPECT_EQ(p.read(QStringLiteral("dev.eds")), QByteArray("previous")) << c.what;
    }
}

TEST(Eds, SdoObjects)
{
    SdoList list;
    Add_SDO_Entry(list, 0x2000, 16, 4, false);
    Add_SDO_Entry(list, 0x3000, 0, 1, true);
    Add_SDO_Entry(list, 0x2000, 3, 2, true);
    Add_SDO_Entry(list, 0x3000, 1, 4, true);
    Sort_SDO_Sub_Indexes(list);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].Sub_Indexs[0].Sub, 3);
    const QStringList l = edsLines({}, list, kFivePastNine);
    const auto section = [&](const char* name) {
        const qsizetype at = l.indexOf(QLatin1String(name));
        return at < 0 ? QStringList{} : l.mid(at, l.indexOf(QString(), at) - at);
    };
    EXPECT_EQ(section("[2000]"), (QStringList{"[2000]", "SubNumber=3", "ParameterName=App Vars", "ObjectType=0x9"}));
    EXPECT_EQ(section("[2000sub0]").value(5), QStringLiteral("DefaultValue=0x10"));
    EXPECT_EQ(section("[2000sub10]").value(3), QStringLiteral("DataType=0x0007"));
    EXPECT_EQ(section("[2000sub10]").value(7), QStringLiteral("AccessType=rw"));
    EXPECT_EQ(section("[2000sub3]").value(3), QStringLiteral("DataType=0x0006"));
    // An index whose sub-indexes start at 0 has no added sub0.
    EXPECT_EQ(section("[3000]").value(1), QStringLiteral("SubNumber=2"));
    EXPECT_EQ(section("[3000sub0]").value(1), QStringLiteral("ParameterName=Application Variable"));
    EXPECT_EQ(section("[3000sub0]").value(3), QStringLiteral("DataType=0x0005"));
    expectReadableEds(platform::encodeTextLines(l, platform::LinesEncoding::Cp1252));
}

TEST(Eds, TwelveHourTimesAndDates)
{
    struct Case {
        int h, m;
        const char* text;
    } cases[] = {{0, 0, "12:00AM"},  {0, 15, "12:15AM"}, {9, 5, "09:05AM"},  {11, 59, "11:59AM"},
                 {12, 0, "12:00PM"}, {12, 30, "12:30PM"}, {13, 1, "01:01PM"}, {23, 59, "11:59PM"}};
    for (const Case& c : cases)
        EXPECT_EQ(edsTime(QTime(c.h, c.m, 42)), QLatin1String(c.text)) << c.h << ":" << c.m;
    EXPECT_EQ(edsDate(QDate(2025, 3, 5)), QStringLiteral("03-05-2025"));
    EXPECT_EQ(edsDate(QDate(2031, 12, 24)), QStringLiteral("12-24-2031"));
}
