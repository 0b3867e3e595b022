#include "mbus/DeviceList.h"

#include "mbus/ProjectFiles.h"
#include "platform/fs/Files.h"
#include "platform/text/Text.h"
#include "platform/xml/XmlDom.h"

#include <QFileInfo>

namespace mbus {

namespace {

QString flag(bool on) { return on ? QStringLiteral("1") : QStringLiteral("0"); }

ElementTexts childTexts(const platform::XmlNode& e)
{
    ElementTexts t;
    const int n = e.elementCount();
    for (int i = 0; i < n; ++i) {
        const platform::XmlNode c = e.elementAt(i);
        t.set(c.name(), c.text());
    }
    return t;
}

} // namespace

TVar_Dev deviceVariable(const TemplateVariable& tv, const QString& msb, const QString& sst, const QString& thirdField)
{
    TVar_Dev x;
    x.Frame_Num = tv.FrameNumber;
    x.Position = tv.PositionInFrame;
    x.Object_Type = tv.ObjectType;
    x.Post_Ope = tv.PostOperation;
    x.Frame = tv.Frame;
    x.Units = tv.Units;
    x.ObjectName = completedObjectName(tv.splits, msb, sst, thirdField);
    x.Description = tv.Description;
    return x;
}

QByteArray deviceListXml(const std::vector<TDevice_QV>& devices, int32_t converterIndex)
{
    platform::XmlDocument doc;
    platform::XmlNode root = doc.appendElement(QStringLiteral("Configuration_MBus_BACnet"));
    doc.appendComment(QStringLiteral("SW_VERSION = 2.001"));
    root.appendElement(QStringLiteral("Type_Converter"))
        .appendTextElement(QStringLiteral("Index"), QString::number(converterIndex));
    platform::XmlNode list = root.appendElement(QStringLiteral("List_Devices"));
    for (const TDevice_QV& d : devices) {
        platform::XmlNode e = list.appendElement(QStringLiteral("Device"));
        e.appendTextElement(QStringLiteral("Template"), d.Template_File);
        e.appendTextElement(QStringLiteral("Description"), d.Description);
        e.appendTextElement(QStringLiteral("ID_Type"), QString::number(d.ID_Type));
        e.appendTextElement(QStringLiteral("ID_MBus"), d.ID_MBus);
        e.appendTextElement(QStringLiteral("Node_State"), flag(d.Node_State));
        e.appendTextElement(QStringLiteral("Identification_Number"), flag(d.Ide_Number));
        e.appendTextElement(QStringLiteral("MSB"), d.MSB);
        e.appendTextElement(QStringLiteral("SST"), d.SST);
        e.appendTextElement(QStringLiteral("Third_Field"), d.Third_Field);
        e.appendTextElement(QStringLiteral("Num_Variables"), QString::number(d.Vars_List.size()));
        platform::XmlNode vars = e.appendElement(QStringLiteral("List_Vars"));
        for (size_t i = 0; i < d.Vars_List.size(); ++i)
            vars.appendElement(QStringLiteral("Var")).appendTextElement(QStringLiteral("Enable"), QStringLiteral("1"));
    }
    return savedBytes(doc);
}

void Save_Configuration(const QString& path, const std::vector<TDevice_QV>& devices, int32_t converterIndex)
{
    writeFileBytes(path, deviceListXml(devices, converterIndex));
}

DeviceListTexts parseDeviceListTexts(const QByteArray& bytes, const QString& fileName)
{
    platform::XmlDocument doc;
    parseFileBytes(doc, bytes, fileName);
    DeviceListTexts t;
    const platform::XmlNode root = doc.rootElement();
    if (!root)
        return t;
    if (const platform::XmlNode conv = root.element(QStringLiteral("Type_Converter")))
        t.index = conv.elementText(QStringLiteral("Index"));
    const platform::XmlNode list = root.element(QStringLiteral("List_Devices"));
    const int n = list ? list.elementCount() : 0;
    for (int i = 0; i < n; ++i) {
        const platform::XmlNode e = list.elementAt(i);
        if (e.name() != QLatin1String("Device"))
            continue;
        DeviceTexts d;
        d.values = childTexts(e);
        if (const platform::XmlNode vars = e.element(QStringLiteral("List_Vars"))) {
            d.hasListVars = true;
            const int k = vars.elementCount();
            for (int j = 0; j < k; ++j) {
                const platform::XmlNode v = vars.elementAt(j);
                if (v.name() == QLatin1String("Var"))
                    d.vars.push_back(v.elementText(QStringLiteral("Enable")));
            }
        }
        t.devices.push_back(std::move(d));
    }
    return t;
}

std::optional<DeviceListTexts> readDeviceListTexts(const QString& path)
{
    if (!platform::fileExists(path))
        return std::nullopt;
    return parseDeviceListTexts(readFileBytes(path), QFileInfo(path).fileName());
}

DeviceList devicesFromTexts(const DeviceListTexts& texts, const QString& templateDir)
{
    DeviceList list;
    list.converterIndex = texts.index ? platform::toInt(*texts.index).value_or(0) : 0;
    for (const DeviceTexts& t : texts.devices) {
        const ElementTexts& v = t.values;
        const QString templateName = v.value(QStringLiteral("Template")).value_or(QString());
        const QString templatePath = findTemplateFile(templateDir, templateName);
        if (templatePath.isEmpty())
            continue; // its template was deleted: the device goes at the next save
        TDevice_QV d;
        d.Template_File = templateName;
        d.Description = v.value(QStringLiteral("Description")).value_or(QString());
        d.ID_Type = platform::toInt(v.value(QStringLiteral("ID_Type")).value_or(QString())).value_or(0);
        d.ID_MBus = v.value(QStringLiteral("ID_MBus")).value_or(d.ID_MBus);
        d.Node_State = v.value(QStringLiteral("Node_State")) == QStringLiteral("1");
        d.Ide_Number = v.value(QStringLiteral("Identification_Number")) == QStringLiteral("1");
        d.MSB = v.value(QStringLiteral("MSB")).value_or(d.MSB);
        d.SST = v.value(QStringLiteral("SST")).value_or(d.SST);
        d.Third_Field = v.value(QStringLiteral("Third_Field")).value_or(d.Third_Field);
        const TemplateTexts tpl = readTemplateTexts(templatePath);
        d.Device_Type = templateDeviceKind(tpl);
        // The variables follow the template as it is now, whatever the list held.
        for (const TemplateVariable& tv : templateVariables(tpl))
            d.Vars_List.push_back(deviceVariable(tv, d.MSB, d.SST, d.Third_Field));
        list.devices.push_back(std::move(d));
    }
    return list;
}

DeviceList Load_Configuration(const QString& path, const QString& templateDir)
{
    const std::optional<DeviceListTexts> texts = readDeviceListTexts(path);
    return texts ? devicesFromTexts(*texts, templateDir) : DeviceList{};
}

} // namespace mbus
