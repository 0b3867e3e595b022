#include "exports/Gsdml.h"

#include <QFileInfo>

#include "exports/CompanyInfo.h"
#include "exports/ExportFile.h"
#include "parameters/ParGenFile.h"
#include "platform/fs/Files.h"
#include "platform/text/Text.h"
#include "platform/text/UserError.h"
#include "platform/ui/Dialogs.h"
#include "workspace/Workspace.h"

namespace exports {

namespace {

// The document, line by line: the indentation as runs of tabs (T) and blanks (B) ("3T 2B":
// three tabs, then two blanks; "-": none) and the text, with the values in braces.
struct Line {
    const char* indent;
    const char* text;
};
constexpr Line kDocument[] = {
    /*   1 */ {"-", R"(<?xml version="1.0" encoding="iso-8859-1"?>)"},
    /*   2 */ {"-", R"(<!-- A fieldbus integration example. -->)"},
    /*   3 */ {"-", R"(<ISO15745Profile xmlns="{GSDML namespace}" xmlns:xsi="{XML Schema instance namespace}" xsi:schemaLocation="{GSDML namespace} ..\xsd\GSDML-DeviceProfile-v2.31.xsd">)"},
    /*   4 */ {"1T", R"(<ProfileHeader>)"},
    /*   5 */ {"2T", R"(<ProfileIdentification>PROFINET Device Profile</ProfileIdentification>)"},
    /*   6 */ {"2T", R"(<ProfileRevision>1.00</ProfileRevision>)"},
    /*   7 */ {"2T", R"(<ProfileName>Device Profile for PROFINET Devices</ProfileName>)"},
    /*   8 */ {"2T", R"(<ProfileSource>PROFIBUS Nutzerorganisation e. V. (PNO)</ProfileSource>)"},
    /*   9 */ {"2T", R"(<ProfileClassID>Device</ProfileClassID>)"},
    /*  10 */ {"2T", R"(<ISO15745Reference>)"},
    /*  11 */ {"3T", R"(<ISO15745Part>4</ISO15745Part>)"},
    /*  12 */ {"3T", R"(<ISO15745Edition>1</ISO15745Edition>)"},
    /*  13 */ {"3T", R"(<ProfileTechnology>GSDML</ProfileTechnology>)"},
    /*  14 */ {"2T", R"(</ISO15745Reference>)"},
    /*  15 */ {"1T", R"(</ProfileHeader>)"},
    /*  16 */ {"1T", R"(<ProfileBody>)"},
    /*  17 */ {"2T", R"(<DeviceIdentity VendorID="{vendor identifier}" DeviceID="{device identifier}">)"},
    /*  18 */ {"3T", R"(<InfoText TextId="IDT_INFO_Device"/>)"},
    /*  19 */ {"3T", R"(<VendorName Value="OstrelCorp"/>)"},
    /*  20 */ {"2T", R"(</DeviceIdentity>)"},
    /*  21 */ {"2T", R"(<DeviceFunction>)"},
    /*  22 */ {"3T", R"(<Family MainFamily="Gateway" ProductFamily="{model code}"/>)"},
    /*  23 */ {"2T", R"(</DeviceFunction>)"},
    /*  24 */ {"2T", R"(<ApplicationProcess>)"},
    /*  25 */ {"3T", R"(<DeviceAccessPointList>)"},
    /*  26 */ {"3T 2B", R"({device access point})"},
    /*  27 */ {"5T", R"(<ModuleInfo>)"},
    /*  28 */ {"6T", R"(<Name TextId="IDT_NAME_DAP1"/>)"},
    /*  29 */ {"6T", R"(<InfoText TextId="IDT_INFO_DAP1"/>)"},
    /*  30 */ {"6T", R"(<VendorName Value="OstrelCorp"/>)"},
    /*  31 */ {"6T", R"(<OrderNumber Value="{order number}"/>)"},
    /*  32 */ {"5T", R"(</ModuleInfo>)"},
    /*  33 */ {"5T", R"(<SubslotList>)"},
    /*  34 */ {"6T", R"(<SubslotItem SubslotNumber="0" TextId="IDT_SUBSLOT_1"/>)"},
    /*  35 */ {"6T", R"(<SubslotItem SubslotNumber="32768" TextId="IDT_SUBSLOT_Interface"/>)"},
    /*  36 */ {"6T", R"(<SubslotItem SubslotNumber="32769" TextId="IDT_SUBSLOT_Port1"/>)"},
    /*  37 */ {"6T", R"(<SubslotItem SubslotNumber="32770" TextId="IDT_SUBSLOT_Port2"/>)"},
    /*  38 */ {"5T", R"(</SubslotList>)"},
    /*  39 */ {"5T", R"(<IOConfigData MaxInputLength="1440" MaxOutputLength="1440" MaxDataLength="2880"/>)"},
    /*  40 */ {"5T", R"(<UseableModules>)"},
    /*  41 */ {"6T", R"(<ModuleItemRef ModuleItemTarget="IDM_1" FixedInSlots="1"/>)"},
    /*  42 */ {"5T", R"(</UseableModules>)"},
    /*  43 */ {"5T", R"(<VirtualSubmoduleList>)"},
    /*  44 */ {"6T", R"(<VirtualSubmoduleItem ID="IDS_V1" SubmoduleIdentNumber="0x00000000" >)"},
    /*  45 */ {"5T 4B", R"(<IOData IOPS_Length="1" IOCS_Length="1"/>)"},
    /*  46 */ {"7T", R"(<ModuleInfo>)"},
    /*  47 */ {"8T", R"(<Name TextId="IDT_NAME_VS1"/>)"},
    /*  48 */ {"8T", R"(<InfoText TextId="IDT_INFO_VS1"/>)"},
    /*  49 */ {"7T", R"(</ModuleInfo>)"},
    /*  50 */ {"6T", R"(</VirtualSubmoduleItem>)"},
    /*  51 */ {"5T", R"(</VirtualSubmoduleList>)"},
    /*  52 */ {"5T", R"(<SystemDefinedSubmoduleList>)"},
    /*  53 */ {"6T", R"(<InterfaceSubmoduleItem ID="IDS_I" SubmoduleIdentNumber="0x00000001" SubslotNumber="32768" TextId="IDT_NAME_IS" SupportedRT_Classes="RT_CLASS_1" SupportedProtocols="SNMP;LLDP" SupportedMibs="MIB2">)"},
    /*  54 */ {"7T", R"(<ApplicationRelations>)"},
    /*  55 */ {"8T", R"(<TimingProperties SendClock="32" ReductionRatio="1 2 4 8 16 32 64 128 256 512"/>)"},
    /*  56 */ {"7T", R"(</ApplicationRelations>)"},
    /*  57 */ {"6T", R"(</InterfaceSubmoduleItem>)"},
    /*  58 */ {"6T", R"(<PortSubmoduleItem ID="IDS_P1" SubmoduleIdentNumber="0x00000002" SubslotNumber="32769" TextId="IDT_NAME_PS1" MaxPortRxDelay="350" MaxPortTxDelay="160"/>)"},
    /*  59 */ {"6T", R"(<PortSubmoduleItem ID="IDS_P2" SubmoduleIdentNumber="0x00000002" SubslotNumber="32770" TextId="IDT_NAME_PS2" MaxPortRxDelay="350" MaxPortTxDelay="160"/>)"},
    /*  60 */ {"5T", R"(</SystemDefinedSubmoduleList>)"},
    /*  61 */ {"5T", R"(<!-- This element tells the engineering tool that the DAP supports fieldbus integration (slot clusters). -->)"},
    /*  62 */ {"5T", R"(<!-- FieldbusIntegrationSlots MaxSupported="127" Range="100..9999"/-->)"},
    /*  63 */ {"4T", R"(</DeviceAccessPointItem>)"},
    /*  64 */ {"3T", R"(</DeviceAccessPointList>)"},
    /*  65 */ {"3T", R"(<ModuleList>)"},
    /*  66 */ {"4T", R"(<!-- The "normal" module carrying the FAP. -->)"},
    /*  67 */ {"4T", R"(<ModuleItem ID="IDM_1" ModuleIdentNumber="0x00000001">)"},
    /*  68 */ {"5T", R"(<ModuleInfo>)"},
    /*  69 */ {"6T", R"(<Name TextId="IDT_NAME_M1"/>)"},
    /*  70 */ {"6T", R"(<InfoText TextId="IDT_INFO_M1"/>)"},
    /*  71 */ {"6T", R"(<OrderNumber Value="12345-0040-M"/>)"},
    /*  72 */ {"5T", R"(</ModuleInfo>)"},
    /*  73 */ {"5T", R"(<VirtualSubmoduleList>)"},
    /*  74 */ {"3T 2B 2T", R"(<VirtualSubmoduleItem ID="IDM_1" SubmoduleIdentNumber="0x00000001" >)"},
    /*  75 */ {"3T 2B 2T 2B", R"(<IOData IOPS_Length="1" IOCS_Length="1" >)"},
    /*  76 */ {"3B 3T 2B 2T 5B", R"({input line})"},
    /*  77 */ {"3T 2B 2T 5B", R"({output line})"},
    /*  78 */ {"3T 2B 2T 2B", R"(</IOData>)"},
    /*  79 */ {"3T 2B 1T 3B 1T 2B", R"(<RecordDataList>)"},
    /*  80 */ {"44B", R"(<ParameterRecordDataItem Index="128" Length="2" >)"},
    /*  81 */ {"6T", R"(<Name TextId="IDT_NAME_M1_IDT_REF_channel"/>)"},
    /*  82 */ {"48B", R"(<Const ByteOffset="0" Data="0x00,0x00"/>)"},
    /*  83 */ {"48B", R"(<Ref TextId="IDT_REF_reaction_to_cpu_stop" Visible="true" DataType="BitArea" ByteOffset="0" BitOffset="0" BitLength="2" DefaultValue="2" AllowedValues="0..2" ValueItemTarget="IDV_reaction_to_cpu_stop" ID="IDT_REF_reaction_to_cpu_stop" />)"},
    /*  84 */ {"47B", R"(<MenuList>)"},
    /*  85 */ {"22B 3T 10B", R"(<MenuItem ID="IDT_NAME_M1_IDT_REF_channel">)"},
    /*  86 */ {"7T", R"(<Name TextId="IDT_NAME_M1_IDT_REF_channel"/>)"},
    /*  87 */ {"7T", R"(<MenuRef MenuTarget="IDT_NAME_M1_Base_Parameters"/>)"},
    /*  88 */ {"6T 2B", R"(</MenuItem>)"},
    /*  89 */ {"6T 2B", R"(<MenuItem ID="IDT_NAME_M1_Base_Parameters">)"},
    /*  90 */ {"7T", R"(<Name TextId="IDT_NAME_M1_Base_Parameters"/>)"},
    /*  91 */ {"7T", R"(<ParameterRef ParameterTarget="IDT_REF_reaction_to_cpu_stop"/>)"},
    /*  92 */ {"6T 2B", R"(</MenuItem>)"},
    /*  93 */ {"5T 7B", R"(</MenuList>)"},
    /*  94 */ {"43B", R"(</ParameterRecordDataItem>)"},
    /*  95 */ {"38B", R"(</RecordDataList>)"},
    /*  96 */ {"3T 2B 1T 4B", R"(<ModuleInfo>)"},
    /*  97 */ {"3T 2B 1T 2B 1T 2B", R"(<Name TextId="IDT_NAME_M1"/>)"},
    /*  98 */ {"3T 2B 2T 4B", R"(<InfoText TextId="IDT_INFO_M1"/>)"},
    /*  99 */ {"1T 3B 2T 2B 1T 2B", R"(</ModuleInfo>)"},
    /* 100 */ {"2T 5B 2T", R"(</VirtualSubmoduleItem>)"},
    /* 101 */ {"5T", R"(</VirtualSubmoduleList>)"},
    /* 102 */ {"4T", R"(</ModuleItem>)"},
    /* 103 */ {"3T", R"(</ModuleList>)"},
    /* 104 */ {"9B", R"(<ValueList>)"},
    /* 105 */ {"4T 1B", R"(<ValueItem ID="IDV_reaction_to_cpu_stop">)"},
    /* 106 */ {"5T", R"(<Assignments>)"},
    /* 107 */ {"6T", R"(<Assign TextId="IDT_ASSIGN_do_set_substitude_values" Content="0"/>)"},
    /* 108 */ {"6T", R"(<Assign TextId="IDT_ASSIGN_do_values_will_hold" Content="1"/>)"},
    /* 109 */ {"6T", R"(<Assign TextId="IDT_ASSIGN_do_continue_counting" Content="2"/>)"},
    /* 110 */ {"5T", R"(</Assignments>)"},
    /* 111 */ {"3T 8B", R"(</ValueItem>)"},
    /* 112 */ {"9B", R"(</ValueList>)"},
    /* 113 */ {"3T", R"(<CategoryList>)"},
    /* 114 */ {"4T", R"(<CategoryItem ID="IDC_DI" TextId="IDT_CATEGORY_DI">)"},
    /* 115 */ {"5T", R"(<InfoText TextId="IDT_INFO_DI"/>)"},
    /* 116 */ {"4T", R"(</CategoryItem>)"},
    /* 117 */ {"4T", R"(<CategoryItem ID="IDC_DO" TextId="IDT_CATEGORY_DO">)"},
    /* 118 */ {"5T", R"(<InfoText TextId="IDT_INFO_DO"/>)"},
    /* 119 */ {"4T", R"(</CategoryItem>)"},
    /* 120 */ {"3T", R"(</CategoryList>)"},
    /* 121 */ {"3T", R"(<ExternalTextList>)"},
    /* 122 */ {"4T", R"(<PrimaryLanguage>)"},
    /* 123 */ {"5T", R"(<Text TextId="IDT_INFO_Device" Value="Ostrel Gateways"/>)"},
    /* 124 */ {"5T", R"(<Text TextId="IDT_NAME_DAP1" Value="{model text}"/>)"},
    /* 125 */ {"5T", R"(<Text TextId="IDT_INFO_DAP1" Value="{model text}"/>)"},
    /* 126 */ {"5T", R"(<Text TextId="IDT_SUBSLOT_1" Value="Subslot 1"/>)"},
    /* 127 */ {"5T", R"(<Text TextId="IDT_SUBSLOT_Interface" Value="Interface"/>)"},
    /* 128 */ {"5T", R"(<Text TextId="IDT_SUBSLOT_Port1" Value="Port 1"/>)"},
    /* 129 */ {"5T", R"(<Text TextId="IDT_SUBSLOT_Port2" Value="Port 2"/>)"},
    /* 130 */ {"5T", R"(<Text TextId="IDT_RECORD_NAME_Head" Value="Parameters of head module"/>)"},
    /* 131 */ {"5T", R"(<Text TextId="IDT_REF_Power" Value="Percent power"/>)"},
    /* 132 */ {"5T", R"(<Text TextId="IDT_NAME_VS1" Value="Submodule V1"/>)"},
    /* 133 */ {"5T", R"(<Text TextId="IDT_INFO_VS1" Value="Description of submodule V1"/>)"},
    /* 134 */ {"5T", R"(<Text TextId="IDT_NAME_IS" Value="I"/>)"},
    /* 135 */ {"5T", R"(<Text TextId="IDT_NAME_PS1" Value="P1"/>)"},
    /* 136 */ {"5T", R"(<Text TextId="IDT_NAME_PS2" Value="P2"/>)"},
    /* 137 */ {"5T", R"(<Text TextId="IDT_NAME_M1" Value="Module"/>)"},
    /* 138 */ {"5T", R"(<Text TextId="IDT_INFO_M1" Value="{model text}"/>)"},
    /* 139 */ {"5T", R"(<Text TextId="IDT_NAME_FAP" Value="{model text}"/>)"},
    /* 140 */ {"5T", R"(<Text TextId="IDT_INFO_FAP" Value="{model text}"/>)"},
    /* 141 */ {"5T", R"(<Text TextId="IDT_RECORD_NAME_SlotCluster" Value="Parameters of the FAP"/>)"},
    /* 142 */ {"5T", R"(<Text TextId="IDT_REF_SlotClusterBegin" Value="Beginning of slot cluster"/>)"},
    /* 143 */ {"5T", R"(<Text TextId="IDT_NAME_M_PB1" Value="{model text}"/>)"},
    /* 144 */ {"5T", R"(<Text TextId="IDT_INFO_M_PB1" Value="{model text}"/>)"},
    /* 145 */ {"5T", R"(<Text TextId="IDT_NAME_S_PB1" Value="{model text}"/>)"},
    /* 146 */ {"5T", R"(<Text TextId="IDT_INFO_S_PB1" Value="{model text}"/>)"},
    /* 147 */ {"5T", R"(<Text TextId="IDT_PB_Input" Value="{model text}"/>)"},
    /* 148 */ {"5T", R"(<Text TextId="IDT_PB_InputBit0" Value="{model text}"/>)"},
    /* 149 */ {"5T", R"(<Text TextId="IDT_NAME_S1" Value="Submodule 1"/>)"},
    /* 150 */ {"5T", R"(<Text TextId="IDT_INFO_S1" Value="Description of submodule 1"/>)"},
    /* 151 */ {"5T", R"(<Text TextId="IDT_Input_1" Value="Input byte"/>)"},
    /* 152 */ {"5T", R"(<Text TextId="IDT_Output_1" Value="Output word"/>)"},
    /* 153 */ {"5T", R"(<Text TextId="IDT_CATEGORY_DI" Value="Digital Input"/>)"},
    /* 154 */ {"5T", R"(<Text TextId="IDT_INFO_DI" Value="Description of digital input"/>)"},
    /* 155 */ {"5T", R"(<Text TextId="IDT_CATEGORY_DO" Value="Digital output"/>)"},
    /* 156 */ {"5T", R"(<Text TextId="IDT_INFO_DO" Value="Description of digital output"/>)"},
    /* 157 */ {"5T", R"(<Text TextId="IDT_NAME_M1_IDT_REF_channel" Value="Canale x"/>)"},
    /* 158 */ {"10B", R"(<Text TextId="IDT_REF_reaction_to_cpu_stop" Value="Reaction to CPU STOP"/>)"},
    /* 159 */ {"10B", R"(<Text TextId="IDT_NAME_M1_Base_Parameters" Value="Base Parameters"/>)"},
    /* 160 */ {"10B", R"(<Text Value="Output substitute value" TextId="IDT_ASSIGN_do_set_substitude_values"/>)"},
    /* 161 */ {"5T", R"(<Text Value="Keep last value" TextId="IDT_ASSIGN_do_values_will_hold"/>)"},
    /* 162 */ {"5T", R"(<Text Value="Continue operation" TextId="IDT_ASSIGN_do_continue_counting"/>)"},
    /* 163 */ {"4T", R"(</PrimaryLanguage>)"},
    /* 164 */ {"3T", R"(</ExternalTextList>)"},
    /* 165 */ {"2T", R"(</ApplicationProcess>)"},
    /* 166 */ {"1T", R"(</ProfileBody>)"},
    /* 167 */ {"-", R"(</ISO15745Profile>)"},
};

QString indentOf(const char* spec)
{
    QString out;
    const QString s = QLatin1String(spec);
    if (s == QLatin1String("-"))
        return out;
    for (const QString& run : s.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const int n = run.left(run.size() - 1).toInt();
        out += QString(n, run.endsWith(QLatin1Char('T')) ? QLatin1Char('\t') : QLatin1Char(' '));
    }
    return out;
}

struct ModelText {
    const char* textId;
    const char* bacnet; // device type 9
    const char* mbus;   // device type 1002
};
constexpr ModelText kModelTexts[] = {
    {"IDT_NAME_DAP1", "BACdev", "MBmaster"},
    {"IDT_INFO_DAP1", "Profinet BACNET Adapter", "Profinet MBUS master Adapter"},
    {"IDT_INFO_M1", "device BACNET", "dispositivo MBUS"},
    {"IDT_NAME_FAP", "FAP for BACNET", "FAP for MBUS"},
    {"IDT_INFO_FAP", "Description of FAP for BACNET", "Description of FAP for MBUS"},
    {"IDT_NAME_M_PB1", "BACNET", "MBUS master "},
    {"IDT_INFO_M_PB1", "Description of BACNET", "Description of MBUS master"},
    {"IDT_NAME_S_PB1", "Module of a BACNET", "Module of a MBUS master"},
    {"IDT_INFO_S_PB1", "Description of module of a BACNET", "Description of module of a MBUS master"},
    {"IDT_PB_Input", "Digital input BACNET", "Digital input MBUS master"},
    {"IDT_PB_InputBit0", "Digital input bit BACNET", "Digital input bit MBUS master"},
};

const QString kNamespace = QStringLiteral("http://www.profibus.com/GSDML/2003/11/DeviceProfile");
const QString kXsiNamespace = QStringLiteral("http://www.w3.org/2001/XMLSchema-instance");

QString hex4(int v) { return QStringLiteral("0x") + platform::intToHex(static_cast<uint32_t>(v), 4); }

GsdmlValues readValues(bool mbus)
{
    GsdmlValues v;
    parameters::ParGenFile parGen;
    QString station;
    if (loadParGen(parGen)) {
        v.inputLength = parGen.keyInt(QStringLiteral("PROFINET_NB_OUT"), 1439);
        v.outputLength = mbus ? v.inputLength : parGen.keyInt(QStringLiteral("PROFINET_NB_IN"), 1439);
        station = parGen.keyTextOr(QStringLiteral("PROFINET_NAME_STA"), {});
    }
    v.stationName = platform::trim(station).isEmpty() ? (mbus ? QStringLiteral("disptorvanelo") : QStringLiteral("DNSLAVE"))
                                                       : station;
    return v;
}

void writeDocument(const QString& fileName, int32_t deviceType, const GsdmlValues& values)
{
    writeExportFile(fileName, gsdmlLines(deviceType, values), platform::LinesEncoding::Utf8Bom);
}

} // namespace

GsdmlValues Read_PROFINET_Parameters() { return readValues(false); }
GsdmlValues Read_PROFINET_MBus_Parameters() { return readValues(true); }

QString xmlAttributeText(const QString& text)
{
    QString out;
    const QList<uint> codes = text.toUcs4();
    for (const uint c : codes) {
        switch (c) {
        case '&': out += QStringLiteral("&amp;"); continue;
        case '<': out += QStringLiteral("&lt;"); continue;
        case '>': out += QStringLiteral("&gt;"); continue;
        case '"': out += QStringLiteral("&quot;"); continue;
        case '\'': out += QStringLiteral("&apos;"); continue;
        default: break;
        }
        // Tab, LF and CR as references keep their meaning in an attribute; the other control
        // characters, lone surrogates and the non-characters FFFE/FFFF cannot stand in XML at
        // all, not even as references.
        const bool forbidden = (c < 0x20 && c != 0x09 && c != 0x0A && c != 0x0D) || (c >= 0xD800 && c <= 0xDFFF) ||
                               c == 0xFFFE || c == 0xFFFF;
        if (forbidden)
            out += QLatin1Char('?');
        else if (c < 0x20 || c >= 0x80)
            out += QStringLiteral("&#%1;").arg(c);
        else
            out += QChar(static_cast<char16_t>(c));
    }
    return out;
}

QStringList gsdmlLines(int32_t deviceType, const GsdmlValues& values)
{
    const bool mbus = deviceType == 1002;
    const QString station = xmlAttributeText(values.stationName);
    const QString dap =
        QStringLiteral("<DeviceAccessPointItem PNIO_Version=\"V2.3\" RequiredSchemaVersion=\"V2.25\" ID=\"IDD_1\" "
                       "PhysicalSlots=\"0..4\" ModuleIdentNumber=\"0x00000001\" MinDeviceInterval=\"64\" "
                       "ImplementationType=\"%1\" DNS_CompatibleName=\"%1\" FixedInSlots=\"0\" "
                       "ObjectUUID_LocalIndex=\"1\" MultipleWriteSupported=\"true\" MaxSupportedRecordSize=\"8192\" "
                       "ParameterizationSpeedupSupported=\"true\" PowerOnToCommReady=\"350\" "
                       "DeviceAccessSupported=\"true\" SharedDeviceSupported=\"true\" CheckDeviceID_Allowed=\"false\" "
                       "NameOfStationNotTransferable=\"true\">")
            .arg(station);
    const QString input = QStringLiteral("<Input> <DataItem DataType=\"OctetString\" Length=\"%1\" "
                                         "TextId=\"IDT_Input_1\"/> </Input>")
                              .arg(values.inputLength);
    const QString output = QStringLiteral("<Output><DataItem DataType=\"OctetString\" Length=\"%1\" "
                                          "TextId=\"IDT_Output_1\"/></Output>")
                               .arg(values.outputLength);
    const std::pair<QString, QString> fills[] = {
        {QStringLiteral("{GSDML namespace}"), kNamespace},
        {QStringLiteral("{XML Schema instance namespace}"), kXsiNamespace},
        {QStringLiteral("{vendor identifier}"), hex4(company::kProfinetVendorId)},
        {QStringLiteral("{device identifier}"),
         hex4(mbus ? company::kProfinetDeviceIdMBus : company::kProfinetDeviceIdBacnet)},
        {QStringLiteral("{model code}"), mbus ? QStringLiteral("GX30130") : QStringLiteral("GX30120")},
        {QStringLiteral("{order number}"), mbus ? QStringLiteral("GX30130-B2") : QStringLiteral("GX30120-A1")},
    };
    QStringList out;
    for (const Line& l : kDocument) {
        QString text = QLatin1String(l.text);
        for (const auto& [key, value] : fills)
            text.replace(key, value);
        if (text.contains(QLatin1String("{model text}")))
            for (const ModelText& m : kModelTexts)
                if (text.contains(QStringLiteral("TextId=\"%1\"").arg(QLatin1String(m.textId))))
                    text.replace(QStringLiteral("{model text}"), QLatin1String(mbus ? m.mbus : m.bacnet));
        // The lines with the user's station name last, so nothing in it is taken for a value.
        text.replace(QStringLiteral("{input line}"), input);
        text.replace(QStringLiteral("{output line}"), output);
        text.replace(QStringLiteral("{device access point}"), dap);
        out << indentOf(l.indent) + text;
    }
    return out;
}

void Write_GSDML_BACnet(const QString& fileName) { writeDocument(fileName, 9, Read_PROFINET_Parameters()); }
void Write_GSDML_MBus(const QString& fileName) { writeDocument(fileName, 1002, Read_PROFINET_MBus_Parameters()); }

QString gsdmlFileNamePrefix(int32_t deviceType)
{
    return deviceType == 1002 ? QStringLiteral("GSDML-V2.31-Ostrel-GX30130") : QStringLiteral("GSDML-V2.31-Ostrel-GX30120");
}

QString gsdmlFileNameSuffix(const QDate& date) { return date.toString(QStringLiteral("-yyyyMMdd")) + QStringLiteral(".xml"); }

QString composeGsdmlFileName(const QString& prefix, const QString& freePart, const QString& suffix)
{
    if (platform::trim(freePart).isEmpty())
        return prefix + suffix;
    if (freePart.startsWith(QLatin1Char('_')))
        return prefix + freePart + suffix;
    return prefix + QLatin1Char('_') + freePart + suffix;
}

void Create_PROFINET_XML(const QString& fileName)
{
    // The name goes into the chosen folder as it is: a "/" would make it a path elsewhere.
    if (fileName.contains(QLatin1Char('/')) || fileName.contains(QChar(0)))
        throw platform::UserError(
            QStringLiteral("The file %1 cannot be written: a file name cannot hold \"/\".").arg(fileName));
    platform::FileDialogRequest r;
    r.initialFolder = workspace::ws().Project_Dir;
    r.filter = QStringLiteral("PROFINET XML (*.xml) (%1)").arg(fileName);
    r.fileName = fileName;
    const QString chosen = platform::fileDialogs().saveFile(r);
    if (chosen.isEmpty())
        return;
    const QString target = platform::joinPath(QFileInfo(chosen).absolutePath(), fileName);
    if (platform::fileExists(target) && !platform::askYesNo(workspace::text(gsdml_txt::FileExists)))
        return;
    if (workspace::ws().Converter_Type == 1002)
        Write_GSDML_MBus(target);
    else
        Write_GSDML_BACnet(target);
}

} // namespace exports
