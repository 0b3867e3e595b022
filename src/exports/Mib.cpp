#include "exports/Mib.h"

#include "exports/CompanyInfo.h"
#include "exports/ExportFile.h"
#include "platform/fs/Files.h"
#include "platform/ui/Dialogs.h"
#include "workspace/Workspace.h"

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

void objects(QStringList& out, const std::vector<MibEntry>& entries, const char* parent, const char* access)
{
    const QString p = QLatin1String(parent);
    for (size_t i = 0; i < entries.size(); ++i) {
        const MibEntry& e = entries[i];
        const QString n = QString::number(i + 1);
        const QString name = e.description.isEmpty() ? p + n : e.description;
        out << name + QStringLiteral(" OBJECT-TYPE SYNTAX ") + syntax(e) + QStringLiteral(" MAX-ACCESS ") +
                   QLatin1String(access) + QStringLiteral(" STATUS current DESCRIPTION \"") + e.description +
                   QStringLiteral("\" ::= { ") + p + QLatin1Char(' ') + n + QStringLiteral(" }");
    }
}

} // namespace

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
    objects(o, table.read, "bufferinval", "read-only");
    o << QStringLiteral("bufferout OBJECT IDENTIFIER::= { data 5 }");
    for (int k = 1; k <= 8; ++k)
        o << QStringLiteral("bufferoutblk%1 OBJECT-TYPE SYNTAX OCTET STRING MAX-ACCESS read-write STATUS current "
                            "DESCRIPTION \"data block n.%1\" ::= { bufferout %1 }")
                 .arg(k);
    o << QStringLiteral(" bufferoutval OBJECT IDENTIFIER::= { bufferout 9 }");
    objects(o, table.write, "bufferoutval", "read-write");
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
