#include "mbus/RegisterMap.h"

#include "mbus/DeviceList.h"
#include "mbus/Template.h"
#include "platform/fs/TextLines.h"
#include "platform/text/Text.h"
#include "platform/text/UserError.h"
#include "workspace/Workspace.h"

#include <QFileInfo>

namespace mbus {

namespace {

QString accessOf(const QString& options)
{
    if (options == QLatin1String("1"))
        return QStringLiteral("Read/Write");
    if (options == QLatin1String("3"))
        return QStringLiteral("Read/Write*");
    return QStringLiteral("Read Only");
}

// Only these object types take addresses: analog value, multi-state input, accumulator.
bool hasRegisters(int32_t objectType) { return objectType == 2 || objectType == 13 || objectType == 23; }

} // namespace

QStringList registerMapLines(int32_t converterType, const QString& deviceListPath, const QString& templateDir)
{
    QStringList lines{QStringLiteral("Registers; ID Type; ID; Description;ReadWrite;")};
    const bool registers = converterType == 1003;
    const int step = registers ? 2 : 4;
    const int span = step - 1;
    int64_t r = 0;
    auto add = [&](const QString& idType, const QString& id, const QString& description, const QString& access) {
        lines << platform::csvJoin({QStringLiteral("%1-%2").arg(r).arg(r + span), idType, id, description, access}) +
                     QLatin1Char(';');
        r += step;
    };

    const std::optional<DeviceListTexts> list = readDeviceListTexts(deviceListPath);
    if (!list)
        return lines;
    for (const DeviceTexts& d : list->devices) {
        const ElementTexts& v = d.values;
        const QString templatePath = findTemplateFile(templateDir, v.value(QStringLiteral("Template")).value_or(QString()));
        if (templatePath.isEmpty())
            continue;
        const QString idType = v.value(QStringLiteral("ID_Type")) == QStringLiteral("0") ? QStringLiteral("Primary")
                                                                                          : QStringLiteral("Secondary");
        const QString id = v.value(QStringLiteral("ID_MBus")).value_or(QString());
        if (v.value(QStringLiteral("Node_State")) == QStringLiteral("1"))
            add(idType, id, QStringLiteral("Node State"), QStringLiteral("Read Only"));
        if (v.value(QStringLiteral("Identification_Number")) == QStringLiteral("1"))
            add(idType, id, QStringLiteral("Identification Number"), QStringLiteral("Read Only"));
        const QString msb = v.value(QStringLiteral("MSB")).value_or(QString());
        const QString sst = v.value(QStringLiteral("SST")).value_or(QString());
        const QString third = v.value(QStringLiteral("Third_Field")).value_or(QString());
        for (const TemplateVariable& tv : templateVariables(readTemplateTexts(templatePath))) {
            if (!hasRegisters(tv.ObjectType))
                continue;
            add(idType, id, completedObjectName(tv.splits, msb, sst, third) + QStringLiteral(", ") + tv.Description,
                accessOf(tv.Options));
        }
    }
    return lines;
}

void Write_PROFINET_Map_File(const QString& path)
{
    const workspace::Workspace& w = workspace::ws();
    const QStringList lines = registerMapLines(w.Converter_Type, w.Path_M_Bus_Custom_QV, w.Template_Dir);
    QString error;
    if (!platform::writeTextLines(path, lines, platform::LinesEncoding::Cp1252, &error))
        throw platform::UserError(
            QStringLiteral("The file %1 cannot be written: %2").arg(QFileInfo(path).fileName(), error));
}

} // namespace mbus
