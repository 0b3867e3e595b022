#include "app/ProjectDialog.h"

#include <QLabel>

#include "app/Button.h"
#include "platform/ui/Controls.h"
#include "workspace/Workspace.h"

namespace app {

using workspace::text;
using workspace::ws;

ProjectDialog::ProjectDialog(const QString& objectName, int promptTop, QWidget* parent) : platform::Form(parent)
{
    setObjectName(objectName);
    const QFont normal = platform::uiFont(QStringLiteral("Verdana"), 8);
    setFont(normal);
    const platform::Heading heading = platform::addHeading(this);
    L_SW_Code = heading.code;
    L_SW_Desc = heading.description;
    Label1 = platform::addLabel(this, QStringLiteral("Label1"), 8, promptTop, normal);
}

void ProjectDialog::addButtons(int left, int top)
{
    Btn_OK = addButton(this, QStringLiteral("Btn_OK"), left, top, 75, 30);
    Btn_Cancel = addButton(this, QStringLiteral("Btn_Cancel"), left + 86, top, 75, 30);
    Btn_Cancel->setModalResult(platform::mrCancel);
}

void ProjectDialog::FormCreate(int width, int height)
{
    platform::setLabelText(L_SW_Code, ws().SW_Code);
    setClientSize(width, height);
    Set_Lang();
}

void ProjectDialog::setTexts(int first)
{
    setWindowTitle(text(first));
    platform::setLabelText(L_SW_Desc, text(first + 1));
    platform::setLabelText(Label1, text(first + 2));
    Btn_OK->setCaption(text(first + 3));
    Btn_Cancel->setCaption(text(first + 4));
}

} // namespace app
