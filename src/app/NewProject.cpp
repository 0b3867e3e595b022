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

TFNew_Project::TFNew_Project(QWidget* parent) : ProjectDialog(QStringLiteral("FNew_Project"), 62, parent)
{
    E_New_Proj = new QLineEdit(this);
    E_New_Proj->setObjectName(QStringLiteral("E_New_Proj"));
    E_New_Proj->setGeometry(8, 80, 315, 22);
    addButtons(160, 120);
    Btn_OK->onClick = [this](AppButton*) { Btn_OKClick(); };
    // Enter in the name field does what OK does.
    connect(E_New_Proj, &QLineEdit::returnPressed, this, [this] { Btn_OKClick(); });
    Type_Form = 0;
    FormCreate(331, 162);
}

void TFNew_Project::Set_Lang() { setTexts(Type_Form == 1 ? 1600 : 25); }

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
