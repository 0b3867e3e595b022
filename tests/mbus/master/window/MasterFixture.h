#pragma once
// A project of an M-Bus master model in a temporary folder: the workspace of the device type with
// its TEMPLATE folder and project file paths, the built-in texts, and message boxes and file
// dialogs that answer as the test says.
#include "platform/xml/XmlDom.h"
#include "support/FakeDialogs.h"
#include "support/TempDir.h"
#include "workspace/Folders.h"
#include "workspace/LangTexts.h"
#include "workspace/Workspace.h"

#include <QDir>

namespace master_test {

struct MasterProject {
    explicit MasterProject(int deviceType) : scoped(deviceType)
    {
        workspace::Default_Texts();
        workspace::Workspace& w = workspace::ws();
        w.SW_Code = QStringLiteral("GX-TEST");
        w.Template_Dir = dir.file(QStringLiteral("TEMPLATE"));
        w.Projects_Dir = dir.file(QStringLiteral("PROJECTS"));
        w.Project_Name = QStringLiteral("P");
        w.Project_Dir = dir.file(QStringLiteral("PROJECTS/P"));
        QDir().mkpath(w.Template_Dir);
        QDir().mkpath(w.Project_Dir + QStringLiteral("/bin"));
        workspace::Set_Files();
    }
    QString templateFile(const QString& name) const { return workspace::ws().Template_Dir + QLatin1Char('/') + name; }

    testing_support::TempDir dir;
    workspace::ScopedWorkspace scoped;
    testing_support::FakeMessageBoxes boxes;
    testing_support::FakeFileDialogs files;
};

// The document as its nodes, one a line, so that two files that differ only in layout compare
// equal.
inline QString canonicalXml(const QByteArray& bytes)
{
    platform::XmlDocument d;
    if (!d.loadBytes(bytes))
        return QStringLiteral("<not well-formed>");
    platform::XmlSaveOptions o;
    o.indent = QStringLiteral(" ");
    return QString::fromUtf8(d.toBytes(o));
}

} // namespace master_test
