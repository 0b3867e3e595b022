#include "mbus/master/CustomerConfig.h"

#include "parameters/ParGenFile.h"
#include "platform/fs/Files.h"
#include "platform/text/Text.h"
#include "platform/text/UserError.h"
#include "workspace/Workspace.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace mbus::master {

using workspace::text;

namespace {

constexpr Capacity kCapacities[kConverterVariants] = {{1, 10}, {3, 25}, {15, 50}, {30, 75}, {50, 100}};

bool numberIn(const QString& t, int32_t lo, int32_t hi)
{
    const int32_t v = platform::toInt(t).value_or(-1);
    return v >= lo && v <= hi;
}

QString yesNo(bool on) { return on ? QStringLiteral("Y") : QStringLiteral("N"); }

// The template's kind and variables when its file is in the folder.
struct TemplateRead {
    bool found = false;
    int32_t kind = 0;
    std::vector<TemplateVariable> variables;
};

TemplateRead readTemplate(const QString& templateDir, const QString& name)
{
    TemplateRead t;
    const QString path = findTemplateFile(templateDir, name);
    if (path.isEmpty())
        return t;
    const TemplateTexts texts = readTemplateTexts(path);
    t.found = true;
    t.kind = templateDeviceKind(texts);
    t.variables = templateVariables(texts);
    return t;
}

void takeFields(TDevice_QV& d, const DeviceFields& f)
{
    d.Template_File = f.templateName;
    d.Description = f.description;
    d.ID_Type = f.idType;
    d.ID_MBus = f.idMBus;
    d.Node_State = f.nodeState;
    d.Ide_Number = f.ideNumber;
    d.MSB = f.msb;
    d.SST = f.sst;
    d.Third_Field = f.thirdField;
}

} // namespace

QStringList converterCodes(int32_t deviceType)
{
    const QLatin1String model = deviceType == 1002   ? QLatin1String("GX30130")
                                : deviceType == 1003 ? QLatin1String("GX30129")
                                                     : QLatin1String("GX30128");
    QStringList codes;
    for (const Capacity& c : kCapacities)
        codes << QStringLiteral("%1-IP-B2-%2-%3").arg(model).arg(c.heatingControllers).arg(c.devices);
    return codes;
}

Capacity converterCapacity(int index)
{
    return index >= 0 && index < kConverterVariants ? kCapacities[index] : kCapacities[0];
}

bool isHeatingController(int32_t deviceKind) { return deviceKind == 1 || deviceKind > 5; }

DeviceFields fieldsOf(const TDevice_QV& d)
{
    DeviceFields f;
    f.templateName = d.Template_File;
    f.description = d.Description;
    f.idType = d.ID_Type;
    f.idMBus = d.ID_MBus;
    f.nodeState = d.Node_State;
    f.ideNumber = d.Ide_Number;
    f.msb = d.MSB;
    f.sst = d.SST;
    f.thirdField = d.Third_Field;
    return f;
}

std::optional<int> checkDeviceFields(const DeviceFields& f)
{
    if (platform::trim(f.templateName).isEmpty())
        return 1215;
    if (f.idType == 1) {
        if (!numberIn(f.idMBus, 0, 99999999))
            return 1217;
    } else if (!numberIn(f.idMBus, 0, 255)) {
        return 1216;
    }
    if (!numberIn(f.msb, 0, 99))
        return 1218;
    if (!numberIn(f.sst, 0, 99))
        return 1219;
    if (!numberIn(f.thirdField, 0, 999))
        return 1220;
    return std::nullopt;
}

TDevice_QV deviceFromFields(const DeviceFields& fields, const QString& templateDir)
{
    TDevice_QV d;
    takeFields(d, fields);
    const TemplateRead t = readTemplate(templateDir, d.Template_File);
    d.Device_Type = t.kind;
    for (const TemplateVariable& v : t.variables)
        d.Vars_List.push_back(deviceVariable(v, d.MSB, d.SST, d.Third_Field));
    return d;
}

void modifyDevice(TDevice_QV& d, const DeviceFields& fields, const QString& templateDir)
{
    const TemplateRead t = readTemplate(templateDir, fields.templateName);
    takeFields(d, fields);
    if (!t.found)
        return;
    d.Device_Type = t.kind;
    const size_t n = d.Vars_List.size();
    for (size_t k = 0; k < t.variables.size(); ++k) {
        TVar_Dev v = deviceVariable(t.variables[k], d.MSB, d.SST, d.Third_Field);
        if (k < n) {
            v.Enable = d.Vars_List[k].Enable;
            d.Vars_List[k] = std::move(v);
        } else {
            d.Vars_List.push_back(std::move(v));
        }
    }
    if (t.variables.size() < n)
        d.Vars_List.resize(t.variables.size());
}

QStringList deviceRowTexts(const TDevice_QV& d, const QString& primary, const QString& secondary)
{
    return {d.Template_File, d.ID_Type != 0 ? secondary : primary, d.ID_MBus, yesNo(d.Node_State),
            yesNo(d.Ide_Number), d.MSB, d.SST, d.Third_Field, d.Description};
}

QStringList variableRowTexts(const TVar_Dev& v, int number)
{
    return {QString::number(number), yesNo(v.Enable), QString::number(v.Frame_Num), QString::number(v.Position),
            QString::number(v.Object_Type), QString::number(v.Post_Ope), v.Frame, QString::number(v.Units),
            v.ObjectName, v.Description};
}

int32_t Used_Bytes(const std::vector<TDevice_QV>& devices)
{
    int32_t sum = 0;
    for (const TDevice_QV& d : devices) {
        if (d.Node_State)
            sum += 4;
        if (d.Ide_Number)
            sum += 4;
        for (const TVar_Dev& v : d.Vars_List)
            if (v.Object_Type == 2 || v.Object_Type == 13 || v.Object_Type == 23)
                sum += 4;
    }
    return sum;
}

ByteLimit Load_Num_Byte_ParGen(const QString& parGenPath)
{
    ByteLimit limit;
    parameters::ParGenFile file;
    if (file.load(parGenPath) != parameters::ParGenFile::Status::Loaded)
        return limit;
    limit.Num_Byte_Max = file.keyInt(QStringLiteral("PROFINET_NB_OUT"), kDefaultByteLimit);
    limit.Auto_Calc_Byte = file.keyFlag(QStringLiteral("PROFINET_AUTO_CALC_BYTE_USED"));
    if (limit.Auto_Calc_Byte)
        limit.Num_Byte_Max = kDefaultByteLimit;
    return limit;
}

void Save_Num_Byte_ParGen(const QString& parGenPath, int32_t usedBytes)
{
    if (!platform::fileExists(parGenPath))
        return;
    const QString name = QFileInfo(parGenPath).fileName();
    parameters::ParGenFile file;
    QString why;
    if (file.load(parGenPath, &why) != parameters::ParGenFile::Status::Loaded)
        throw platform::UserError(
            QStringLiteral("The file %1 cannot be read: %2. The bytes used were not written into it.").arg(name, why));
    if (!file.setKeyText(QStringLiteral("PROFINET_NB_OUT"), QString::number(usedBytes)))
        throw platform::UserError(
            QStringLiteral("The file %1 holds no parameters. The bytes used were not written into it.").arg(name));
    if (!file.save(parGenPath, &why))
        throw platform::UserError(QStringLiteral("The file %1 cannot be written: %2").arg(name, why));
}

std::optional<QString> Check_Configuration(const std::vector<TDevice_QV>& devices, int converterIndex,
                                           int32_t deviceType, const ByteLimit& limit)
{
    const Capacity capacity = converterCapacity(converterIndex);
    const auto heating = std::count_if(devices.begin(), devices.end(),
                                       [](const TDevice_QV& d) { return isHeatingController(d.Device_Type); });
    if (heating > capacity.heatingControllers)
        return text(1280);
    if (int(devices.size()) > capacity.devices)
        return text(1281);
    if (deviceType == 1002 && Used_Bytes(devices) >= limit.Num_Byte_Max)
        return text(1927) + QString::number(limit.Num_Byte_Max);
    return std::nullopt;
}

QStringList templateFileList(const QString& templateDir)
{
    if (templateDir.isEmpty())
        return {};
    QStringList names;
    const QFileInfoList entries =
        QDir(templateDir).entryInfoList(QDir::Files | QDir::Hidden | QDir::System, QDir::NoSort);
    for (const QFileInfo& fi : entries) {
        // A read-only file is not offered: it is nobody's template to pick.
        if (!fi.fileName().endsWith(QLatin1String(".xml"), Qt::CaseInsensitive) ||
            !(fi.permissions() & QFileDevice::WriteOwner))
            continue;
        names << fi.fileName();
    }
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
    return names;
}

QStringList devicesWithoutTemplate(const DeviceListTexts& texts, const QString& templateDir)
{
    QStringList lines;
    for (size_t i = 0; i < texts.devices.size(); ++i) {
        const ElementTexts& v = texts.devices[i].values;
        const QString name = v.value(QStringLiteral("Template")).value_or(QString());
        if (findTemplateFile(templateDir, name).isEmpty())
            lines << QStringLiteral("device %1 (ID %2): %3")
                         .arg(i + 1)
                         .arg(v.value(QStringLiteral("ID_MBus")).value_or(QString()), name);
    }
    return lines;
}

} // namespace mbus::master
