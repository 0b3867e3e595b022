#include "exports/Mib.h"

#include "exports/CompanyInfo.h"
#include "exports/ExportFile.h"
#include "platform/fs/Files.h"
#include "platform/ui/Dialogs.h"
#include "workspace/Workspace.h"

#include <QSet>

namespace exports {

namespace {

std::vector<MibEntry> readSection(const image::TableFile& table, const char* section, QStringList& warnings)
{
    std::vector<MibEntry> entries;
    bool full = false;
    for (const image::TableRow& row : sectionRows(table, section)) {
        const image::RowValues r(row);
        if (!r.yes("Enable"))
            continue;
        if (static_cast<int>(entries.size()) == kMaxMibEntries) {
            full = true;
            continue;
        }
        MibEntry e;
        e.description = r.textOr("Description", {});
        // A quote would end the DESCRIPTION string early and break the module for every reader.
        if (e.description.contains(QLatin1Char('"'))) {
            e.description.replace(QLatin1Char('"'), QLatin1Char('\''));
            warnings << QStringLiteral("Section \"%1\", row %2: the description is written with ' in place of \".")
                            .arg(QLatin1String(section))
                            .arg(row.number());
        }
        e.integer = r.is("Type", "INT");
        entries.push_back(std::move(e));
    }
    if (full)
        warnings << QStringLiteral("Section \"%1\": only the first %2 enabled rows are written.")
                        .arg(QLatin1String(section))
                        .arg(kMaxMibEntries);
    return entries;
}

QString syntax(const MibEntry& e) { return e.integer ? QStringLiteral("INTEGER") : QStringLiteral("OCTET STRING"); }

void objects(QStringList& out, const std::vector<MibEntry>& entries, const std::vector<QString>& names,
             const char* parent, const char* access)
{
    const QString p = QLatin1String(parent);
    for (size_t i = 0; i < entries.size(); ++i) {
        const MibEntry& e = entries[i];
        const QString n = QString::number(i + 1);
        out << names[i] + QStringLiteral(" OBJECT-TYPE SYNTAX ") + syntax(e) + QStringLiteral(" MAX-ACCESS ") +
                   QLatin1String(access) + QStringLiteral(" STATUS current DESCRIPTION \"") + e.description +
                   QStringLiteral("\" ::= { ") + p + QLatin1Char(' ') + n + QStringLiteral(" }");
    }
}

constexpr int kMaxDescriptorLength = 64; // the longest descriptor SMIv2 allows

// The descriptor a description is written under: letters and digits kept (accents dropped), any
// other run of characters one hyphen, no hyphen at either end, the leading capitals in lower
// case, "v-" before a leading digit, at most 64 characters. Empty when nothing is left.
QString descriptorOf(const QString& description)
{
    QString d;
    for (const QChar c : description.normalized(QString::NormalizationForm_D)) {
        if (c.category() == QChar::Mark_NonSpacing)
            continue;
        if (c.unicode() < 128 && c.isLetterOrNumber())
            d += c;
        else if (!d.isEmpty() && !d.endsWith(QLatin1Char('-')))
            d += QLatin1Char('-');
    }
    while (d.endsWith(QLatin1Char('-')))
        d.chop(1);
    if (d.isEmpty())
        return d;
    if (d[0].isDigit())
        d.prepend(QStringLiteral("v-"));
    // The leading capitals in lower case ("TEMP" temp, "CO2" co2), but a capital that begins
    // the next word keeps it ("FlowTemp" flowTemp, "HTTPServer" httpServer).
    qsizetype capitals = 0;
    while (capitals < d.size() && d[capitals].isUpper())
        ++capitals;
    if (capitals > 1 && capitals < d.size() && d[capitals].isLower())
        --capitals;
    for (qsizetype i = 0; i < capitals; ++i)
        d[i] = d[i].toLower();
    d.truncate(kMaxDescriptorLength);
    while (d.endsWith(QLatin1Char('-')))
        d.chop(1);
    return d;
}

// The words the MIB language reserves: the ASN.1 keywords, the SMI's macro names, clause
// keywords and types, and the values of the ACCESS, MAX-ACCESS, MIN-ACCESS and STATUS clauses.
// A descriptor that spells one of them stops a MIB reader from loading the whole module. The
// language tells letter case apart ("read-only" is reserved, "Read-only" is not); the
// descriptors an entry gets begin in lower case, so the lower-case values are the ones that
// can clash, but every word is listed so that the check does not depend on that.
constexpr const char* kReservedWords[] = {
    // ASN.1
    "ABSENT", "ABSTRACT-SYNTAX", "ALL", "ANY", "APPLICATION", "AUTOMATIC", "BEGIN", "BIT", "BMPString", "BOOLEAN",
    "BY", "CHARACTER", "CHOICE", "CLASS", "COMPONENT", "COMPONENTS", "CONSTRAINED", "CONTAINING", "DATE",
    "DATE-TIME", "DEFAULT", "DEFINED", "DEFINITIONS", "DURATION", "EMBEDDED", "ENCODED", "END", "ENUMERATED",
    "EXCEPT", "EXPLICIT", "EXPORTS", "EXTENSIBILITY", "EXTERNAL", "FALSE", "FROM", "GeneralizedTime",
    "GeneralString", "GraphicString", "IA5String", "IDENTIFIER", "IMPLICIT", "IMPLIED", "IMPORTS", "INCLUDES",
    "INSTANCE", "INTEGER", "INTERSECTION", "ISO646String", "MACRO", "MAX", "MIN", "MINUS-INFINITY", "NOTATION",
    "NULL", "NumericString", "OBJECT", "ObjectDescriptor", "OCTET", "OF", "OID-IRI", "OPTIONAL", "PATTERN", "PDV",
    "PLUS-INFINITY", "PRESENT", "PrintableString", "PRIVATE", "REAL", "RELATIVE-OID", "RELATIVE-OID-IRI",
    "SEQUENCE", "SET", "SETTINGS", "SIZE", "STRING", "SYNTAX", "T61String", "TAGS", "TeletexString", "TIME",
    "TIME-OF-DAY", "TRUE", "TYPE", "TYPE-IDENTIFIER", "UNION", "UNIQUE", "UNIVERSAL", "UniversalString",
    "UTCTime", "UTF8String", "VALUE", "VideotexString", "VisibleString", "WITH",
    // SMI macros
    "AGENT-CAPABILITIES", "MODULE-COMPLIANCE", "MODULE-IDENTITY", "NOTIFICATION-GROUP", "NOTIFICATION-TYPE",
    "OBJECT-GROUP", "OBJECT-IDENTITY", "OBJECT-TYPE", "TEXTUAL-CONVENTION", "TRAP-TYPE",
    // SMI clauses
    "ACCESS", "AUGMENTS", "CONTACT-INFO", "CREATION-REQUIRES", "DEFVAL", "DESCRIPTION", "DISPLAY-HINT",
    "ENTERPRISE", "GROUP", "INDEX", "LAST-UPDATED", "MANDATORY-GROUPS", "MAX-ACCESS", "MIN-ACCESS", "MODULE",
    "NOTIFICATIONS", "NUM-ENTRIES", "OBJECTS", "ORGANIZATION", "PRODUCT-RELEASE", "REFERENCE", "REVISION",
    "STATUS", "SUPPORTS", "UNITS", "VARIABLES", "VARIATION", "WRITE-SYNTAX",
    // SMI types (SMIv2 and SMIv1)
    "BITS", "Counter", "Counter32", "Counter64", "Gauge", "Gauge32", "Integer32", "IpAddress", "NetworkAddress",
    "NsapAddress", "Opaque", "TimeTicks", "UInteger32", "Unsigned32",
    // clause values
    "read-only", "read-write", "read-create", "write-only", "not-accessible", "accessible-for-notify",
    "not-implemented", "current", "deprecated", "obsolete", "mandatory", "optional",
};

bool isReservedWord(const QString& descriptor)
{
    static const QSet<QString> words = [] {
        QSet<QString> s;
        for (const char* w : kReservedWords)
            s.insert(QLatin1String(w));
        return s;
    }();
    return words.contains(descriptor);
}

// The descriptors of the module's fixed part, which an entry must not take.
QStringList fixedDescriptors(size_t notifications)
{
    QStringList l = {"identity", "ostrel", "gateway", "application", "data", "hellostring", "countin", "countout",
                     "bufferin", "bufferinval", "bufferout", "bufferoutval", "traps", "trapsval", "enterprises"};
    for (int k = 1; k <= 8; ++k)
        l << QStringLiteral("bufferinblk%1").arg(k) << QStringLiteral("bufferoutblk%1").arg(k);
    for (size_t i = 1; i <= notifications; ++i)
        l << QStringLiteral("trapval%1").arg(i);
    return l;
}

} // namespace

MibNames mibObjectNames(const MibTable& table)
{
    MibNames names;
    // Readers compare descriptors without regard to case.
    QSet<QString> taken;
    for (const QString& f : fixedDescriptors(table.read.size()))
        taken.insert(f.toLower());
    const auto name = [&](const MibEntry& e, const QString& parent, size_t i) {
        QString base = descriptorOf(e.description);
        if (base.isEmpty())
            base = parent + QString::number(i + 1);
        QString n = base;
        for (int k = 2; taken.contains(n.toLower()) || isReservedWord(n); ++k) {
            const QString suffix = QLatin1Char('-') + QString::number(k);
            QString stem = base.left(kMaxDescriptorLength - int(suffix.size()));
            while (stem.endsWith(QLatin1Char('-')))
                stem.chop(1);
            n = stem + suffix;
        }
        taken.insert(n.toLower());
        if (n != e.description && !e.description.isEmpty())
            names.renamed << QStringLiteral("\"%1\" as %2").arg(e.description, n);
        return n;
    };
    for (size_t i = 0; i < table.read.size(); ++i)
        names.read.push_back(name(table.read[i], QStringLiteral("bufferinval"), i));
    for (size_t i = 0; i < table.write.size(); ++i)
        names.write.push_back(name(table.write[i], QStringLiteral("bufferoutval"), i));
    return names;
}

MibTable Read_Trap_Table()
{
    workspace::Workspace& w = workspace::ws();
    w.MIB_Read_List.clear();
    w.MIB_Write_List.clear();
    MibTable t;
    const std::unique_ptr<image::TableFile> table = openProjectTable(w.Path_SNMP_Trap);
    if (!table)
        return t;
    t.read = readSection(*table, "SNMP_Trap_Read", t.warnings);
    t.write = readSection(*table, "SNMP_Trap_Write", t.warnings);
    for (const MibEntry& e : t.read)
        w.MIB_Read_List << e.description;
    for (const MibEntry& e : t.write)
        w.MIB_Write_List << e.description;
    // Told once, with every renamed description.
    const QStringList renamed = mibObjectNames(t).renamed;
    if (!renamed.isEmpty()) {
        constexpr int kListed = 20;
        QString list = renamed.mid(0, kListed).join(QStringLiteral(", "));
        if (renamed.size() > kListed)
            list += QStringLiteral(" and %1 more").arg(renamed.size() - kListed);
        t.warnings << QStringLiteral("%1 descriptions are not valid MIB object names and are written under other "
                                     "names (the descriptions and the object numbers stay): %2.")
                          .arg(renamed.size())
                          .arg(list);
    }
    return t;
}

QStringList mibLines(const MibTable& table)
{
    const QString b4(4, QLatin1Char(' '));
    const QString b9(9, QLatin1Char(' '));
    QStringList o;
    o << QStringLiteral("GATEWAY DEFINITIONS ::= BEGIN") << QStringLiteral("IMPORTS")
      << QString(7, QLatin1Char(' ')) + QStringLiteral("MODULE-IDENTITY,OBJECT-TYPE");
    for (const char* l : {"FROM SNMPv2-SMI", "DisplayString, TimeStamp", "FROM SNMPv2-TC", "enterprises", "FROM RFC1155-SMI;"})
        o << b9 + QLatin1String(l);
    o << QString() << QStringLiteral("identity MODULE-IDENTITY") << b4 + QStringLiteral("LAST-UPDATED \"201701310000Z\"")
      << b4 + QStringLiteral("ORGANIZATION \"") + QLatin1String(company::kWebAddress) + QLatin1Char('"')
      << b4 + QStringLiteral("CONTACT-INFO") << QStringLiteral("\t \"") + QLatin1String(company::kContactStreet)
      << b4 + QLatin1String(company::kContactTown) << b4 + QLatin1String(company::kContactCountry)
      << b4 + QStringLiteral("email:") + b4 + QLatin1String(company::kMailDomain) + QLatin1Char('"')
      << b4 + QStringLiteral("DESCRIPTION") << QStringLiteral("\t\"MIB objects for agent module \"")
      << b4 + QStringLiteral("REVISION     \"201701310000Z\"") << b4 + QStringLiteral("DESCRIPTION")
      << QStringLiteral("\t\"Corrected notification \"") << b4 + QStringLiteral("REVISION     \"200202060000Z\"")
      << b4 + QStringLiteral("DESCRIPTION") << QStringLiteral("\t\"First draft\"") << b4 + QStringLiteral("::= { ostrel 2 }")
      << QStringLiteral("ostrel          OBJECT IDENTIFIER ::= { enterprises %1 }").arg(company::kEnterpriseNumber)
      << QStringLiteral("gateway OBJECT IDENTIFIER::= { ostrel 1 }")
      << QStringLiteral("application OBJECT IDENTIFIER::= { gateway 1 }")
      << QStringLiteral("data OBJECT IDENTIFIER::= { application 1 }")
      << QStringLiteral("hellostring OBJECT-TYPE SYNTAX OCTET STRING MAX-ACCESS read-only  STATUS current  "
                        "DESCRIPTION \"\" ::= { data 1}")
      << QStringLiteral("countin  OBJECT-TYPE SYNTAX INTEGER       MAX-ACCESS read-only  STATUS current  "
                        "DESCRIPTION \"\" ::= { data 2}")
      << QStringLiteral("countout  OBJECT-TYPE SYNTAX INTEGER       MAX-ACCESS read-write STATUS current  "
                        "DESCRIPTION \"\" ::= { data 3}");
    o << QStringLiteral("bufferin OBJECT IDENTIFIER::= { data 4 }");
    for (int k = 1; k <= 8; ++k)
        o << QStringLiteral("bufferinblk%1 OBJECT-TYPE SYNTAX OCTET STRING MAX-ACCESS read-only STATUS current "
                            "DESCRIPTION \"data block n.%1\" ::= { bufferin %1 }")
                 .arg(k);
    o << QStringLiteral(" bufferinval OBJECT IDENTIFIER::= { bufferin 9 }");
    const MibNames names = mibObjectNames(table);
    objects(o, table.read, names.read, "bufferinval", "read-only");
    o << QStringLiteral("bufferout OBJECT IDENTIFIER::= { data 5 }");
    for (int k = 1; k <= 8; ++k)
        o << QStringLiteral("bufferoutblk%1 OBJECT-TYPE SYNTAX OCTET STRING MAX-ACCESS read-write STATUS current "
                            "DESCRIPTION \"data block n.%1\" ::= { bufferout %1 }")
                 .arg(k);
    o << QStringLiteral(" bufferoutval OBJECT IDENTIFIER::= { bufferout 9 }");
    objects(o, table.write, names.write, "bufferoutval", "read-write");
    o << QStringLiteral("traps OBJECT IDENTIFIER::= { application 2 }")
      << QStringLiteral(" trapsval OBJECT IDENTIFIER::= { traps 1 }");
    for (size_t i = 0; i < table.read.size(); ++i) {
        const MibEntry& e = table.read[i];
        const QString n = QString::number(i + 1);
        o << QStringLiteral("trapval") + n + QStringLiteral(" NOTIFICATION-TYPE SYNTAX ") + syntax(e) +
                 QStringLiteral(" MAX-ACCESS read-only STATUS current DESCRIPTION \"") + e.description +
                 QStringLiteral("\" ::= { trapsval ") + n + QStringLiteral(" }");
    }
    o << QStringLiteral("END");
    return o;
}

void Write_MIB_File(const QString& fileName, const MibTable& table)
{
    writeExportFile(fileName, mibLines(table), platform::LinesEncoding::Cp1252);
}

void Create_MIB_File()
{
    platform::FileDialogRequest r;
    r.initialFolder = workspace::ws().Project_Dir;
    r.filter = QStringLiteral("Management Information Base (*.mib)");
    r.defaultExtension = QStringLiteral("mib");
    const QString chosen = platform::fileDialogs().saveFile(r);
    if (chosen.isEmpty())
        return;
    if (platform::fileExists(chosen) && !platform::askYesNo(workspace::text(mib_txt::FileExists)))
        return;
    const MibTable table = Read_Trap_Table();
    Write_MIB_File(chosen, table);
    if (!table.warnings.isEmpty())
        platform::messageBoxes().show(platform::MsgKind::Information, table.warnings.join(QLatin1Char('\n')));
}

} // namespace exports
