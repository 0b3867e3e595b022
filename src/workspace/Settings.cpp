#include "workspace/Settings.h"

#include "platform/fs/Files.h"
#include "platform/xml/XmlDom.h"
#include "workspace/Workspace.h"

#include <optional>

namespace workspace {

namespace {

QString settingsPath() { return platform::joinPath(ws().Program_Dir, QLatin1String(kSettingsFileName)); }

// Text of root/group/key; no value when an element on the way is missing.
std::optional<QString> value(const platform::XmlNode& root, const char* group, const char* key)
{
    const platform::XmlNode g = root.element(QLatin1String(group));
    if (!g)
        return std::nullopt;
    return g.elementText(QLatin1String(key));
}

uint8_t flag(const platform::XmlNode& root, const char* key)
{
    const auto v = value(root, "lastinternet", key);
    return v && *v == QLatin1String("1") ? 1 : 0;
}

void setDefaults(Workspace& w)
{
    w.Project_Name.clear();
    w.Project_Dir.clear();
    w.Last_IP_Address = QLatin1String(kDefaultIpAddress);
    w.Language_Name = QLatin1String(kDefaultLanguage);
    w.Opt_Enable_Internet = 0;
    w.Opt_Enable_Update = 0;
    w.Opt_Jump_Field_Tables = 0;
    w.Opt_Double_Click_Auto_Size = 0;
}

} // namespace

void readSettings()
{
    Workspace& w = ws();
    setDefaults(w);
    const QString path = settingsPath();
    if (!platform::fileExists(path))
        return;
    platform::XmlDocument doc;
    if (!doc.load(path))
        return;
    const platform::XmlNode root = doc.firstNode();
    if (!root)
        return;
    if (auto v = value(root, "lastproj", "projectname"))
        w.Project_Name = *v;
    if (auto v = value(root, "lastipadd", "ipaddress"))
        w.Last_IP_Address = *v;
    if (auto v = value(root, "lastlang", "language"))
        w.Language_Name = *v;
    w.Opt_Enable_Internet = flag(root, "enable_internet");
    w.Opt_Enable_Update = flag(root, "enable_update");
    w.Opt_Jump_Field_Tables = flag(root, "enable_jump_field_tables");
    w.Opt_Double_Click_Auto_Size = flag(root, "Double_Click_Auto_Size");
}

bool Save_Setting()
{
    const Workspace& w = ws();
    const QString path = settingsPath();
    if (path.isEmpty())
        return false;
    const auto bit = [](uint8_t f) { return f ? QStringLiteral("1") : QStringLiteral("0"); };
    platform::XmlDocument doc;
    platform::XmlNode root = doc.appendElement(QStringLiteral("Conf_Settings"));
    root.appendElement(QStringLiteral("lastproj")).appendTextElement(QStringLiteral("projectname"), w.Project_Name);
    root.appendElement(QStringLiteral("lastipadd")).appendTextElement(QStringLiteral("ipaddress"), w.Last_IP_Address);
    root.appendElement(QStringLiteral("lastlang")).appendTextElement(QStringLiteral("language"), w.Language_Name);
    platform::XmlNode options = root.appendElement(QStringLiteral("lastinternet"));
    options.appendTextElement(QStringLiteral("enable_internet"), bit(w.Opt_Enable_Internet));
    options.appendTextElement(QStringLiteral("enable_update"), bit(w.Opt_Enable_Update));
    options.appendTextElement(QStringLiteral("enable_jump_field_tables"), bit(w.Opt_Jump_Field_Tables));
    options.appendTextElement(QStringLiteral("Double_Click_Auto_Size"), bit(w.Opt_Double_Click_Auto_Size));
    return doc.save(path);
}

} // namespace workspace
