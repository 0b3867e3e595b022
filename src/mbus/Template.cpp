#include "mbus/Template.h"

#include "mbus/ProjectFiles.h"
#include "platform/fs/Files.h"
#include "platform/text/Text.h"
#include "platform/text/UserError.h"
#include "platform/xml/XmlDom.h"

#include <QDir>
#include <QFileInfo>

namespace mbus {

namespace {

QString dec(int64_t v) { return QString::number(v); }

void appendFrame(platform::XmlNode parent, const std::vector<uint8_t>& bytes)
{
    platform::XmlNode frame = parent.appendElement(QStringLiteral("Frame"));
    for (uint8_t b : bytes)
        frame.appendTextElement(QStringLiteral("Byte_Frame"), dec(b));
}

TemplateItemTexts itemTexts(const platform::XmlNode& item)
{
    TemplateItemTexts t;
    const int n = item.elementCount();
    for (int i = 0; i < n; ++i) {
        const platform::XmlNode e = item.elementAt(i);
        const QString name = e.name();
        if (name == QLatin1String("Frame")) {
            if (t.hasFrame())
                continue; // the first Frame is the frame
            QStringList bytes;
            const int k = e.elementCount();
            for (int j = 0; j < k; ++j) {
                const platform::XmlNode b = e.elementAt(j);
                if (b.name() == QLatin1String("Byte_Frame"))
                    bytes << b.text();
            }
            t.setFrame(bytes);
        } else {
            t.set(name, e.text());
        }
    }
    return t;
}

std::vector<TemplateItemTexts> itemsOf(const platform::XmlNode& list, const QString& itemName)
{
    std::vector<TemplateItemTexts> items;
    const int n = list.elementCount();
    for (int i = 0; i < n; ++i) {
        const platform::XmlNode e = list.elementAt(i);
        if (e.name() == itemName)
            items.push_back(itemTexts(e));
    }
    return items;
}

int32_t numberOr(const TemplateItemTexts& t, const QString& element, int32_t def)
{
    const std::optional<QString> v = t.value(element);
    if (!v)
        return def;
    return platform::toInt(*v).value_or(def);
}

} // namespace

QByteArray templateXml(const std::vector<TStruct_BACnet>& variables, const std::vector<TStruct_MBus>& requests)
{
    platform::XmlDocument doc;
    platform::XmlNode root = doc.appendElement(QStringLiteral("Template"));
    platform::XmlNode vars = root.appendElement(QStringLiteral("List_Variables"));
    for (const TStruct_BACnet& v : variables) {
        platform::XmlNode e = vars.appendElement(QStringLiteral("Var"));
        e.appendTextElement(QStringLiteral("FrameNumber"), dec(v.FrameNumber));
        e.appendTextElement(QStringLiteral("PositionInFrame"), dec(v.PositionInFrame));
        e.appendTextElement(QStringLiteral("Dimension"), dec(v.Dimension));
        e.appendTextElement(QStringLiteral("UsedInMoreVars"), dec(v.UsedInMoreVars));
        e.appendTextElement(QStringLiteral("ObjectType"), dec(v.ObjectType));
        e.appendTextElement(QStringLiteral("PostOperation"), dec(v.PostOperation));
        e.appendTextElement(QStringLiteral("LengthWriteFrame"), dec(v.LengthWriteFrame));
        appendFrame(e, v.WriteFrame);
        e.appendTextElement(QStringLiteral("Units"), dec(v.Units));
        e.appendTextElement(QStringLiteral("Options"), dec(v.Options));
        e.appendTextElement(QStringLiteral("ObjectName"), v.ObjectName);
        e.appendTextElement(QStringLiteral("ON_Split1"), v.ON_Split1);
        e.appendTextElement(QStringLiteral("ON_Split2"), v.ON_Split2);
        e.appendTextElement(QStringLiteral("ON_Split3"), v.ON_Split3);
        e.appendTextElement(QStringLiteral("ON_Split4"), v.ON_Split4);
        e.appendTextElement(QStringLiteral("Description"), v.Description);
    }
    platform::XmlNode reqs = root.appendElement(QStringLiteral("List_Requests"));
    for (const TStruct_MBus& r : requests) {
        platform::XmlNode e = reqs.appendElement(QStringLiteral("Request"));
        e.appendTextElement(QStringLiteral("Step"), dec(r.Step));
        e.appendTextElement(QStringLiteral("FrameNumber"), dec(r.FrameNumber));
        e.appendTextElement(QStringLiteral("FrameLength"), dec(r.FrameLength));
        appendFrame(e, r.Frame);
        e.appendTextElement(QStringLiteral("ByteToChange"), dec(r.ByteToChange));
        e.appendTextElement(QStringLiteral("Reply"), dec(r.Reply));
        e.appendTextElement(QStringLiteral("NextStep"), dec(r.NextStep));
        e.appendTextElement(QStringLiteral("VariablesForFrame"), dec(r.VariablesForFrame));
    }
    root.appendElement(QStringLiteral("Device_Type")).appendTextElement(QStringLiteral("Type"), QStringLiteral("0"));
    return savedBytes(doc);
}

void Create_Template_XML_File(const QString& file_Template, const std::vector<TStruct_BACnet>& variables,
                              const std::vector<TStruct_MBus>& requests)
{
    writeFileBytes(file_Template, templateXml(variables, requests));
}

std::optional<std::array<QString, 4>> Split_Object_Name(const QString& pattern, int* failedSplit)
{
    static const QString kMarkers[3] = {QStringLiteral("xx'"), QStringLiteral("yy'"), QStringLiteral("zzz'")};
    std::array<QString, 4> pieces;
    QString rest = platform::trim(pattern);
    for (int k = 0; k < 3; ++k) {
        const qsizetype at = rest.indexOf(kMarkers[k]);
        if (at < 0) {
            if (failedSplit)
                *failedSplit = k + 1;
            return std::nullopt;
        }
        pieces[static_cast<size_t>(k)] = platform::trim(rest.left(at));
        // The marker's apostrophe opens the next piece.
        rest = platform::trim(rest.mid(at + kMarkers[k].size() - 1));
    }
    pieces[3] = rest;
    if (failedSplit)
        *failedSplit = 0;
    return pieces;
}

QString Pad_Zero_Left(const QString& text, int width)
{
    if (text.size() >= width)
        return text;
    return QString(width - text.size(), QLatin1Char('0')) + text;
}

QString completedObjectName(const std::array<QString, 4>& s, const QString& msb, const QString& sst,
                            const QString& thirdField)
{
    return s[0] + Pad_Zero_Left(msb, 2) + s[1] + Pad_Zero_Left(sst, 2) + s[2] + Pad_Zero_Left(thirdField, 3) + s[3];
}

QString frameDisplayText(const std::vector<int32_t>& bytes)
{
    QString s;
    for (int32_t b : bytes)
        s += platform::intToHex(static_cast<uint32_t>(b), 2) + QLatin1Char(' ');
    return s;
}

std::optional<std::vector<uint8_t>> frameFromHexText(const QString& text)
{
    QString t = platform::trim(text);
    if (t.size() % 2 != 0)
        t.prepend(QLatin1Char('0'));
    std::vector<uint8_t> bytes;
    bytes.reserve(static_cast<size_t>(t.size() / 2));
    for (qsizetype i = 0; i < t.size(); i += 2) {
        const std::optional<int32_t> v = platform::toInt(QStringLiteral("0x") + t.mid(i, 2));
        if (!v || *v < 0 || *v > 255)
            return std::nullopt;
        bytes.push_back(static_cast<uint8_t>(*v));
    }
    return bytes;
}

std::optional<QString> ElementTexts::value(const QString& element) const
{
    for (const auto& [name, text] : values_)
        if (name == element)
            return text;
    return std::nullopt;
}

void ElementTexts::set(const QString& element, const QString& text)
{
    if (!value(element))
        values_.emplace_back(element, text);
}

void TemplateItemTexts::setFrame(const QStringList& bytes)
{
    frame_ = bytes;
    hasFrame_ = true;
}

bool isLeadingRow(const TemplateItemTexts& var) { return var.value(QStringLiteral("FrameNumber")) == QStringLiteral("0"); }

TemplateTexts parseTemplateTexts(const QByteArray& bytes, const QString& fileName)
{
    platform::XmlDocument doc;
    parseFileBytes(doc, bytes, fileName, "template");
    TemplateTexts t;
    const platform::XmlNode root = doc.rootElement();
    if (!root)
        return t;
    if (const platform::XmlNode kind = root.element(QStringLiteral("Device_Type")))
        t.deviceType = kind.elementText(QStringLiteral("Type"));
    if (const platform::XmlNode vars = root.element(QStringLiteral("List_Variables"))) {
        t.hasListVariables = true;
        t.variables = itemsOf(vars, QStringLiteral("Var"));
    }
    if (const platform::XmlNode reqs = root.element(QStringLiteral("List_Requests"))) {
        t.hasListRequests = true;
        t.requests = itemsOf(reqs, QStringLiteral("Request"));
    }
    return t;
}

TemplateTexts readTemplateTexts(const QString& path)
{
    return parseTemplateTexts(readFileBytes(path, "template"), QFileInfo(path).fileName());
}

QString findTemplateFile(const QString& templateDir, const QString& name)
{
    if (templateDir.isEmpty() || name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..") ||
        name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')))
        return {};
    const QString exact = platform::joinPath(templateDir, name);
    if (platform::fileExists(exact))
        return exact;
    const QStringList files = QDir(templateDir).entryList(QDir::Files, QDir::Name);
    for (const QString& f : files)
        if (f.compare(name, Qt::CaseInsensitive) == 0)
            return platform::joinPath(templateDir, f);
    return {};
}

int32_t templateDeviceKind(const TemplateTexts& t)
{
    return t.deviceType ? platform::toInt(*t.deviceType).value_or(0) : 0;
}

std::vector<TemplateVariable> templateVariables(const TemplateTexts& t)
{
    std::vector<TemplateVariable> vars;
    for (const TemplateItemTexts& x : t.variables) {
        if (isLeadingRow(x))
            continue;
        TemplateVariable v;
        v.FrameNumber = numberOr(x, QStringLiteral("FrameNumber"), 1);
        v.PositionInFrame = numberOr(x, QStringLiteral("PositionInFrame"), 1);
        v.ObjectType = numberOr(x, QStringLiteral("ObjectType"), 0);
        v.PostOperation = numberOr(x, QStringLiteral("PostOperation"), 0);
        v.Units = numberOr(x, QStringLiteral("Units"), 0);
        std::vector<int32_t> frame;
        for (const QString& b : x.frame())
            frame.push_back(platform::toInt(b).value_or(0));
        v.Frame = frameDisplayText(frame);
        for (int k = 0; k < 4; ++k)
            v.splits[static_cast<size_t>(k)] = x.value(QStringLiteral("ON_Split%1").arg(k + 1)).value_or(QString());
        v.Options = x.value(QStringLiteral("Options")).value_or(QString());
        v.Description = x.value(QStringLiteral("Description")).value_or(QString());
        vars.push_back(v);
    }
    return vars;
}

} // namespace mbus
