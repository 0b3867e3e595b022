#include "app/NewProject.h"

#include <QLabel>
#include <QLineEdit>

#include "app/Button.h"
#include "app/Projects.h"
#include "platform/fs/Files.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Dialogs.h"
#include "workspace/Folders.h"
#include "workspace/Workspace.h"

namespace app {

using workspace::text;
using workspace::ws;

TFNew_Project::TFNew_Project(QWidget* parent) : platform::Form(parent)
{
    setObjectName(QStringLiteral("FNew_Project"));
    const QFont normal = platform::uiFont(QStringLiteral("Verdana"), 8);
    setFont(normal);
    QPalette grey;
    grey.setColor(QPalette::WindowText, QColor(128, 128, 128));
    L_SW_Code = platform::addLabel(this, QStringLiteral("L_SW_Code"), 8, 6, platform::uiFont(QStringLiteral("Verdana"), 12, true));
    L_SW_Code->setPalette(grey);
    L_SW_Desc = platform::addLabel(this, QStringLiteral("L_SW_Desc"), 8, 34, platform::uiFont(QStringLiteral("Verdana"), 8, true));
    Label1 = platform::addLabel(this, QStringLiteral("Label1"), 8, 62, normal);
    E_New_Proj = new QLineEdit(this);
    E_New_Proj->setObjectName(QStringLiteral("E_New_Proj"));
    E_New_Proj->setGeometry(8, 80, 315, 22);
    Btn_OK = addButton(this, QStringLiteral("Btn_OK"), 160, 120, 75, 30);
    Btn_OK->onClick = [this](AppButton*) { Btn_OKClick(); };
    Btn_Cancel = addButton(this, QStringLiteral("Btn_Cancel"), 246, 120, 75, 30);
    Btn_Cancel->setModalResult(platform::mrCancel);
    // Enter in the name field does what OK does.
    connect(E_New_Proj, &QLineEdit::returnPressed, this, [this] { Btn_OKClick(); });
    FormCreate();
}

void TFNew_Project::FormCreate()
{
    platform::setLabelText(L_SW_Code, ws().SW_Code);
    setClientSize(331, 162);
    Type_Form = 0;
    Set_Lang();
}

void TFNew_Project::Set_Lang()
{
    const int base = Type_Form == 1 ? 1600 : 25;
    setWindowTitle(text(base));
    platform::setLabelText(L_SW_Desc, text(base + 1));
    platform::setLabelText(Label1, text(base + 2));
    Btn_OK->setCaption(text(base + 3));
    Btn_Cancel->setCaption(text(base + 4));
}

void TFNew_Project::FormShow()
{
    Set_Lang();
    E_New_Proj->clear();
    E_New_Proj->setFocus();
}

void TFNew_Project::Btn_OKClick()
{
    workspace::Workspace& w = ws();
    if (Type_Form == 1) {
        QString path;
        if (const int refusal = checkTemplateName(w.Template_Dir, E_New_Proj->text(), &path)) {
            platform::showError(text(refusal));
            return;
        }
        Template_Name = path;
        setModalResult(platform::mrOk);
        return;
    }
    const QString name = E_New_Proj->text(); // exactly as typed
    if (const int refusal = createProjectFolder(w.Projects_Dir, name)) {
        platform::showError(text(refusal));
        return;
    }
    w.Project_Name = name;
    w.Project_Dir = platform::joinPath(w.Projects_Dir, name);
    workspace::Set_Files();
    setModalResult(platform::mrOk);
}

} // namespace app
