#include "exports/Gsd.h"

#include "exports/CompanyInfo.h"
#include "exports/ExportFile.h"
#include "parameters/ParGenFile.h"
#include "platform/fs/Files.h"
#include "platform/text/Text.h"
#include "platform/ui/Dialogs.h"
#include "workspace/Workspace.h"

#include <QFileInfo>
#include <utility>

namespace exports {

namespace {

constexpr int kModuleBytes = 64;

// ";*", the text padded with blanks to 82 characters, "*".
QString boxLine(const QString& text) { return QStringLiteral(";*") + text.leftJustified(82, QLatin1Char(' ')) + QLatin1Char('*'); }

void banner(QStringList& out, const QString& title, int ruleLength)
{
    const QString rule = QLatin1Char(';') + QString(ruleLength, QLatin1Char('='));
    out << rule << (QStringLiteral(";==== ") + title + QLatin1Char(' ')).leftJustified(rule.size(), QLatin1Char('='))
        << rule;
}

int moduleCount(int32_t bytes) { return bytes <= 0 ? 0 : (bytes + kModuleBytes - 1) / kModuleBytes; }

QString hh(int v) { return platform::intToHex(static_cast<uint32_t>(v), 2); }

// Full modules of 64 bytes, then one for the rest; numbered on from `k`.
void modules(QStringList& out, const char* kind, const char* format, int32_t bytes, int& k)
{
    const int n = moduleCount(bytes);
    for (int i = 1; i <= n; ++i, ++k) {
        const int32_t length = i < n ? kModuleBytes : bytes - kModuleBytes * (n - 1);
        out << QStringLiteral("Module=\"%1  (PORT%2)    \" %3,0x%4,0x00,0x%5")
                   .arg(QLatin1String(kind))
                   .arg(k)
                   .arg(QLatin1String(format), hh(length - 1), hh(k))
            << QString::number(k) << QStringLiteral("EndModule");
    }
}

} // namespace

QStringList gsdLines(int32_t nbIn, int32_t nbOut)
{
    const int nIn = moduleCount(nbOut);
    const int nOut = moduleCount(nbIn);
    const QString blank;
    const QString pad11(11, QLatin1Char(' '));
    QStringList l;
    l << QStringLiteral(";")
      << QLatin1Char(';') + QString(22, QLatin1Char('*')) + QStringLiteral(" BACnet / PROFIBUS Slave - Converter ") +
             QString(25, QLatin1Char('*'));
    const QString equalsBox = boxLine(QLatin1Char(' ') + QString(80, QLatin1Char('=')));
    l << equalsBox << boxLine(blank);
    l << boxLine(QStringLiteral(" Vendor:   ") + QLatin1String(company::kName));
    for (const char* a : company::kAddress)
        l << boxLine(pad11 + QLatin1String(a));
    l << boxLine(pad11 + QStringLiteral("Tel. : ") + QLatin1String(company::kTelephone))
      << boxLine(pad11 + QStringLiteral("FAX. : ") + QLatin1String(company::kFax))
      << boxLine(pad11 + QStringLiteral("eMail: ") + QLatin1String(company::kEMail));
    l << boxLine(blank) << equalsBox << boxLine(blank)
      << boxLine(QStringLiteral(" Function:       BACnet / PROFIBUS Slave - Converter")) << boxLine(blank)
      << boxLine(blank) << boxLine(QStringLiteral(" Order Number : GX30117-A1")) << boxLine(blank) << boxLine(blank)
      << QLatin1Char(';') + QString(84, QLatin1Char('*'));
    l << blank << blank << QStringLiteral("#Profibus_DP") << blank << blank;

    banner(l, QStringLiteral("Prm-Text-Def-List"), 84);
    l << blank << QStringLiteral("PrmText=1") << QStringLiteral("Text(0)=\"disable\"")
      << QStringLiteral("Text(1)=\"enable\"") << QStringLiteral("EndPrmText") << blank;
    l << QStringLiteral("PrmText  = 2") << QStringLiteral("Text(0)  = \"clock up\"")
      << QStringLiteral("Text(1)  = \"clock down\"") << QStringLiteral("EndPrmText") << blank;
    l << QStringLiteral("PrmText  = 3");
    for (int i = 1; i <= 5; ++i)
        l << QStringLiteral("Text(%1)  = \"%2\"").arg(i).arg(i * 10);
    l << QStringLiteral("EndPrmText") << blank << blank;

    banner(l, QStringLiteral("Ext-User-Prm-Data-Def-List"), 85);
    l << blank;
    const QStringList blocks[] = {
        {QStringLiteral("ExtUserPrmData=1 \"[SlotNumber]\""), QStringLiteral("Unsigned8 0 0-32")},
        {QStringLiteral("ExtUserPrmData=2 \"Diagnostic Alarm\""), QStringLiteral("Bit(0) 0 0-1"),
         QStringLiteral("Prm_Text_Ref=1")},
        {QStringLiteral("ExtUserPrmData=3 \"Process Alarm\""), QStringLiteral("Bit(1) 0 0-1"),
         QStringLiteral("Prm_Text_Ref=1")},
        {QStringLiteral("ExtUserPrmData=4 \"Counter mode\""), QStringLiteral("Unsigned8 0 0-1"),
         QStringLiteral("Prm_Text_Ref=2")},
        {QStringLiteral("ExtUserPrmData=5 \"Counter timebase (ms)\""), QStringLiteral("Unsigned8 1 1-5"),
         QStringLiteral("Prm_Text_Ref=3")},
        {QStringLiteral("ExtUserPrmData=6 \"Counter high-limit\""), QStringLiteral("Unsigned16 65535 0-65535")},
        {QStringLiteral("ExtUserPrmData=7 \"Counter low-limit\""), QStringLiteral("Unsigned16 0 0-65535")},
    };
    for (const QStringList& b : blocks)
        l << b << QStringLiteral("EndExtUserPrmData") << blank;
    l << blank;

    banner(l, QStringLiteral("General DP Keywords"), 85);
    l << blank << QStringLiteral("GSD_Revision = 5") << QStringLiteral("Vendor_Name = \"OstrelCorp\"")
      << QStringLiteral("Model_Name = \"GX30117\"") << QStringLiteral("Revision = \"1.00\"")
      << QStringLiteral("Ident_Number = 0x") + platform::intToHex(company::kProfibusIdentNumber, 4)
      << QStringLiteral("Protocol_Ident = 0") << QStringLiteral("Station_Type = 0") << QStringLiteral("FMS_supp = 0")
      << QStringLiteral("Hardware_Release = \"V1.00\"") << QStringLiteral("Software_Release = \"V1.00\"")
      << QStringLiteral("Redundancy = 0") << QStringLiteral("Repeater_Ctrl_Sig = 2") << QStringLiteral("24V_Pins = 0")
      << blank << blank;

    banner(l, QStringLiteral("Supported baudrates"), 78);
    l << blank;
    const char* rates[] = {"9.6", "19.2", "45.45", "93.75", "187.5", "500", "1.5M", "3M", "6M", "12M"};
    for (const char* r : rates)
        l << QLatin1String(r) + QStringLiteral("_supp = 1");
    l << blank;
    const int tsdr[] = {15, 15, 15, 15, 15, 15, 20, 35, 50, 95};
    for (int i = 0; i < 10; ++i)
        l << QStringLiteral("MaxTsdr_%1=%2").arg(QLatin1String(rates[i])).arg(tsdr[i]);
    l << blank << blank;

    banner(l, QStringLiteral("Slave specific values"), 78);
    l << blank << QStringLiteral("OrderNumber=\"GX30117\"") << QStringLiteral("Slave_Family = 9@OstrelCorp@GX30117")
      << QStringLiteral("Implementation_Type = \"VPC3+\"")
      << QStringLiteral("Info_Text=\"OstrelCorp: BACnet / PROFIBUS Slave - Converter\"")
      << QStringLiteral("Bitmap_Device = \"DPV0_1N\"") << QStringLiteral("Bitmap_SF=\"DPV0_1S\"") << blank
      << QStringLiteral("Freeze_Mode_supp=1") << QStringLiteral("Sync_Mode_supp=1") << QStringLiteral("Fail_Safe=1")
      << QStringLiteral("Auto_Baud_supp=1") << QStringLiteral("Set_Slave_Add_supp=0") << blank
      << QStringLiteral("Min_Slave_Intervall=6") << blank << QStringLiteral("Modular_Station=1")
      << QStringLiteral("Max_Module=%1").arg(nIn + nOut) << QStringLiteral("Modul_Offset=1")
      << QStringLiteral("Max_Input_Len=%1").arg(nbOut) << QStringLiteral("Max_Output_Len=%1").arg(nbIn)
      << QStringLiteral("Max_Data_Len=%1").arg(static_cast<int64_t>(nbOut) + nbIn)
      << QStringLiteral("Max_Diag_Data_Len=15") << blank << QStringLiteral("WD_Base_1ms_supp = 1")
      << QStringLiteral("Publisher_supp = 1") << blank;

    banner(l, QStringLiteral("User-Prm-Data"), 78);
    l << blank << QStringLiteral("Max_User_Prm_Data_Len = 12")
      << QStringLiteral("Ext_User_Prm_Data_Const(0)= 0x00,0x00,0x00") << blank;

    banner(l, QStringLiteral("Modulstatus"), 78);
    l << blank;
    for (int slot : {1, 2}) {
        l << QStringLiteral("Unit_Diag_Area = %1 - %2").arg(22 + 2 * slot).arg(23 + 2 * slot)
          << QStringLiteral("Value(1)= \"Slot %1: Module error\"").arg(slot)
          << QStringLiteral("Value(2)= \"Slot %1: Wrong module\"").arg(slot)
          << QStringLiteral("Value(3)= \"Slot %1: No module\"").arg(slot) << QStringLiteral("Unit_Diag_Area_End");
    }
    l << blank << blank;

    banner(l, QStringLiteral("Module-Definition-List"), 78);
    l << blank;
    int k = 1;
    modules(l, "DI", "0x42", nbOut, k);
    modules(l, "DO", "0x82", nbIn, k);
    l << blank << blank << blank << QStringLiteral("SlotDefinition");
    for (int s = 1; s <= nIn + nOut; ++s)
        l << QStringLiteral("Slot(%1) = \"Slot %1\" %1 %1").arg(s);
    l << QStringLiteral("EndSlotDefinition") << blank << blank << blank << blank;
    return l;
}

QString gsdFileName(const QString& chosen)
{
    const qsizetype at = chosen.indexOf(QLatin1String(".gsd"), 0, Qt::CaseInsensitive);
    if (at >= 0 && at + 4 == chosen.size())
        return chosen;
    return chosen + QStringLiteral(".gsd");
}

void Write_GSD_File(const QString& fileName, int32_t NB_IN, int32_t NB_OUT)
{
    writeExportFile(fileName, gsdLines(NB_IN, NB_OUT), platform::LinesEncoding::Cp1252);
}

void Create_GSD_File()
{
    const workspace::Workspace& w = workspace::ws();
    parameters::ParGenFile parGen;
    if (!loadParGen(parGen)) {
        platform::showError(workspace::text(gsd_txt::NoParameters));
        return;
    }
    const int32_t nbIn = parGen.keyInt(QStringLiteral("PROFIBUS_SLAVE_NB_IN"), 0);
    const int32_t nbOut = parGen.keyInt(QStringLiteral("PROFIBUS_SLAVE_NB_OUT"), 0);
    // A negative count (a hand-edited file) would be written as it is: the master's tools drop
    // such lines, and Max_Data_Len would no longer match the modules.
    for (const auto& [key, value] : {std::pair{"PROFIBUS_SLAVE_NB_IN", nbIn}, std::pair{"PROFIBUS_SLAVE_NB_OUT", nbOut}})
        if (value < 0) {
            platform::showError(QStringLiteral("Error! %1 in %2 is %3: a byte count cannot be negative. Correct it "
                                               "in the general parameters before creating the GSD file.")
                                    .arg(QLatin1String(key), QFileInfo(w.Path_ParGen).fileName())
                                    .arg(value));
            return;
        }

    platform::FileDialogRequest r;
    r.initialFolder = w.Project_Dir;
    r.filter = QStringLiteral("Generic Station Description (*.gsd)");
    const QString chosen = platform::fileDialogs().saveFile(r);
    if (chosen.isEmpty())
        return;
    const QString file = gsdFileName(chosen);
    if (platform::fileExists(file) && !platform::askYesNo(workspace::text(gsd_txt::FileExists)))
        return;
    Write_GSD_File(file, nbIn, nbOut);
}

} // namespace exports
